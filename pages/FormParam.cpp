#include "pages/FormParam.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <utility>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/VcmButton.h"
#include "pages/VcmCombo.h"
#include "pages/VcmEdit.h"
#include "pages/VcmStatic.h"
#include "pages/VcmStyle.h"
#include "pages/VcmSwitch.h"
#include "ui/DriveGate.h"
#include "ui/VcmMessages.h"

namespace {

constexpr int kFirstRowTop = 10;
constexpr int kRowHeight = 20;
constexpr int kHeaderHeight = 18;
constexpr int kRowGap = 8;
constexpr int kDetailHeight = 40;
constexpr int kComboListHeight = 200;
constexpr int kLabelLeft = 10;
constexpr int kLabelRightInset = 130;    // label column ends at W - 130
constexpr int kControlLeftInset = 125;   // control column starts at W - 125
constexpr int kControlRightInset = 15;   // and ends at W - 15
constexpr int kLabelWidthInset = 140;    // label and header width at a layout pass
constexpr int kDetailWidthInset = 25;    // detail line width at a layout pass

// A font by its character cell height in pixels, as the platform's font
// mapper takes a positive height.
QFont CellFont(const char* face, int cellHeight, int weight, bool fixedPitch)
{
    QFont font(QString::fromLatin1(face));
    font.setPixelSize(cellHeight);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setFixedPitch(fixedPitch);
    const int cell = QFontMetrics(font).height();
    if (cell > cellHeight)
        font.setPixelSize(std::max(1, cellHeight * cellHeight / cell));
    return font;
}

// A rectangle given by its edges.
QRect Edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// Which of two pending refresh requests covers the other: a full re-read
// covers everything, a first read covers a poll.
int Stronger(int a, int b)
{
    auto rank = [](int source) { return source == kReadFromDrive ? 2 : source == kReadThroughCache ? 1 : 0; };
    return rank(a) >= rank(b) ? a : b;
}

template <typename T>
void DeleteFromLast(std::vector<T*>& list)
{
    while (!list.empty()) {
        delete list.back();
        list.pop_back();
    }
}

}  // namespace

CFormParam::CFormParam(QWidget* parent)
    : QWidget(parent),
      m_fontHeader(CellFont("Tahoma", 18, 700, false)),
      m_fontLabel(CellFont("Tahoma", 15, 400, false)),
      m_fontControl(CellFont("Tahoma", 15, 400, false)),
      m_fontCombo(CellFont("Arial", 14, 400, true))
{
    setObjectName(QStringLiteral("formParam"));
    m_pScrollBar = new QScrollBar(Qt::Vertical, this);
    m_pScrollBar->setObjectName(QStringLiteral("pageScrollBar"));
    m_pScrollBar->setSingleStep(kScrollLine);
    m_pScrollBar->setRange(0, 0);
    m_pScrollBar->setPageStep(0);
    m_pScrollBar->hide();
    connect(m_pScrollBar, &QScrollBar::actionTriggered, this, &CFormParam::OnScrollBarAction);
    m_pScrollBar->installEventFilter(this);
    hide();
}

CFormParam::~CFormParam()
{
    DestroyControls();
}

int CFormParam::ClientWidth() const
{
    return width() - (m_pScrollBar->isVisibleTo(this) ? m_pScrollBar->width() : 0);
}

QLabel* CFormParam::CreateLabel(const std::string& text, Qt::Alignment alignment, const QRect& rect,
                                int id)
{
    auto* label = new QLabel(QString::fromUtf8(text));
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(alignment);
    // A detail line wraps its words; a row label is one centred line.
    label->setWordWrap(!(alignment & Qt::AlignVCenter));
    label->setObjectName(QStringLiteral("id%1").arg(id));
    PlaceWindow(label, WS_CHILD | WS_VISIBLE, rect.x(), rect.y(), rect.width(), rect.height(), this,
                id);
    label->setFont(m_fontLabel);
    m_vecLabels.push_back(label);
    return label;
}

bool CFormParam::BuildForm(const std::deque<VariableInfo>& variables)
{
    DestroyControls();

    const int W = ClientWidth();
    int top = kFirstRowTop;
    int id = kFirstControlId;
    int b = 0;
    for (const VariableInfo& record : variables) {
        // The controls keep a pointer to their record, which the drive model owns.
        const VariableInfo* variable = &record;
        const QRect labelRect = Edges(kLabelLeft, top, W - kLabelRightInset, top + kRowHeight);
        const QRect controlRect =
            Edges(W - kControlLeftInset, top, W - kControlRightInset, top + kRowHeight);
        const uint32_t shown = WS_CHILD | WS_VISIBLE;
        const auto name = [](int controlId) { return QStringLiteral("id%1").arg(controlId); };

        switch (record.kind) {
        case kVcmKindHeader: {
            auto* header = new CVcmStatic(variable);
            header->setObjectName(name(id));
            header->Create(QString::fromUtf8(record.text), shown | SS_RIGHT | SS_CENTERIMAGE,
                           Edges(kLabelLeft, top, W - kLabelRightInset, top + kHeaderHeight), this,
                           id++);
            header->setFont(m_fontHeader);
            m_vecHeaders.push_back(header);
            b = top + kHeaderHeight;
            break;
        }
        case kVcmKindEdit: {
            auto* edit = new CVcmEdit(variable);
            edit->m_pLabel = CreateLabel(record.text, Qt::AlignRight | Qt::AlignVCenter, labelRect, id++);
            b = labelRect.bottom() + 1;
            if (record.format == kVcmFormatPowerOfTen)
                edit->m_nExponentParam = static_cast<uint16_t>(record.number + 1);
            if (record.format == kVcmFormatMotorName || record.format == kVcmFormatErrorText) {
                edit->m_pDetail = CreateLabel(
                    std::string(), Qt::AlignRight | Qt::AlignTop,
                    Edges(kLabelLeft, b + kRowGap, W - kControlRightInset, b + kRowGap + kDetailHeight),
                    id++);
                edit->m_bHasDetail = 1;
                b += kRowGap + kDetailHeight;
            }
            edit->setObjectName(name(id));
            edit->Create(shown | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT, controlRect, this, id++);
            edit->setFont(m_fontControl);
            m_vecEdits.push_back(edit);
            break;
        }
        case kVcmKindButton: {
            auto* button = new CVcmButton(variable);
            button->m_pLabel = CreateLabel(record.text, Qt::AlignRight | Qt::AlignVCenter, labelRect, id++);
            b = labelRect.bottom() + 1;
            QString caption;
            if (!record.options.empty()) {
                const OptionInfo& first = record.options.front();
                caption = QString::fromUtf8(first.caption.empty() ? first.command : first.caption);
            }
            button->setObjectName(name(id));
            button->Create(caption, shown, controlRect, this, id++);
            button->setFont(m_fontControl);
            m_vecButtons.push_back(button);
            break;
        }
        case kVcmKindCombo: {
            auto* combo = new CVcmCombo(variable);
            combo->m_pLabel = CreateLabel(record.text, Qt::AlignRight | Qt::AlignVCenter, labelRect, id++);
            b = labelRect.bottom() + 1;
            combo->setObjectName(name(id));
            combo->setFont(m_fontCombo);
            combo->Create(shown | WS_VSCROLL | CBS_DROPDOWNLIST,
                          Edges(controlRect.left(), top, controlRect.right() + 1, top + kComboListHeight),
                          this, id++);
            m_vecCombos.push_back(combo);
            break;
        }
        case kVcmKindSwitch: {
            auto* bits = new CVcmSwitch(variable);
            bits->m_pLabel = CreateLabel(record.text, Qt::AlignRight | Qt::AlignVCenter, labelRect, id++);
            b = labelRect.bottom() + 1;
            bits->setObjectName(name(id));
            bits->Create(QString(), shown, controlRect, this, id++);
            bits->setFont(m_fontControl);
            m_vecSwitches.push_back(bits);
            break;
        }
        default:
            break;  // other kinds take no room
        }
        top = b + kRowGap;
    }

    m_nContentHeight = b + kRowGap;
    m_nScrollPos = 0;
    m_pScrollBar->setValue(0);
    // A hidden window gets its size message only when it is shown.
    if (testAttribute(Qt::WA_PendingResizeEvent))
        m_nPageHeight = height();
    UpdateScrollBar();
    LayoutControls();
    return true;
}

void CFormParam::ClearControls()
{
    // Not under a control whose handler may still be on the stack. A build
    // in the meantime has cleared the rows itself.
    m_bClearPending = true;
    CDriveGate::Instance().RunWhenFree(this, CDriveGate::kRowRemoval, [this] {
        if (m_bClearPending)
            DestroyControls();
    });
}

void CFormParam::DestroyControls()
{
    m_bClearPending = false;
    // Labels and detail lines go before the controls that point to them.
    DeleteFromLast(m_vecLabels);
    DeleteFromLast(m_vecHeaders);
    DeleteFromLast(m_vecEdits);
    DeleteFromLast(m_vecButtons);
    DeleteFromLast(m_vecCombos);
    DeleteFromLast(m_vecSwitches);
}

void CFormParam::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    PlaceScrollBar();
    OnSize(height());
}

void CFormParam::PlaceScrollBar()
{
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_pScrollBar);
    m_pScrollBar->setGeometry(width() - extent, 0, extent, height());
}

void CFormParam::OnSize(int clientHeight)
{
    m_nPageHeight = clientHeight;
    UpdateScrollBar();
    LayoutControls();
}

void CFormParam::SetVScrollStyle(bool on)
{
    m_pScrollBar->setVisible(on);
    PlaceScrollBar();
    m_pScrollBar->raise();
    // The client area changed: the size message that follows.
    OnSize(height());
}

bool CFormParam::UpdateScrollBar()
{
    const bool hasVScroll = m_pScrollBar->isVisibleTo(this);
    if (m_nContentHeight > m_nPageHeight) {
        if (!m_bScrollBar) {
            m_bScrollBar = true;
            if (!hasVScroll) {
                SetVScrollStyle(true);
                return true;
            }
        }
        const int limit = m_nContentHeight - m_nPageHeight;
        const int position = m_pScrollBar->value();
        if (position > limit) {
            ScrollContents(-(position - limit));
            m_nScrollPos = limit;
        }
        m_pScrollBar->setRange(0, limit);
        m_pScrollBar->setPageStep(m_nPageHeight);
        m_pScrollBar->setValue(m_nScrollPos);
        return false;
    }
    bool frameChanged = false;
    if (m_bScrollBar) {
        m_bScrollBar = false;
        if (hasVScroll) {
            SetVScrollStyle(false);
            frameChanged = true;
        }
    }
    if (m_nScrollPos != 0)
        ScrollContents(-m_nScrollPos);
    m_nScrollPos = 0;
    return frameChanged;
}

void CFormParam::LayoutControls()
{
    const int W = ClientWidth();
    if (W == m_nLayoutWidth)
        return;
    m_nLayoutWidth = W;

    setUpdatesEnabled(false);
    const auto sizeLabel = [W](CVcmCtrl* control) {
        if (control->m_pLabel)
            control->m_pLabel->resize(W - kLabelWidthInset, kRowHeight);
    };
    const auto moveControl = [W](QWidget* window) { window->move(W - kControlLeftInset, window->y()); };
    for (CVcmStatic* header : m_vecHeaders)
        header->resize(W - kLabelWidthInset, kRowHeight);
    for (CVcmEdit* edit : m_vecEdits) {
        sizeLabel(edit);
        moveControl(edit);
        const int format = edit->GetFormat();
        if ((format == kVcmFormatMotorName || format == kVcmFormatErrorText) && edit->m_bHasDetail &&
            edit->m_pDetail)
            edit->m_pDetail->resize(W - kDetailWidthInset, kRowHeight);
    }
    for (CVcmCombo* combo : m_vecCombos) {
        sizeLabel(combo);
        moveControl(combo);
    }
    for (CVcmButton* button : m_vecButtons) {
        sizeLabel(button);
        moveControl(button);
    }
    for (CVcmSwitch* bits : m_vecSwitches) {
        sizeLabel(bits);
        moveControl(bits);
    }
    setUpdatesEnabled(true);
    update();
}

void CFormParam::ScrollContents(int d)
{
    if (d == 0)
        return;
    setUpdatesEnabled(false);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != m_pScrollBar)
            child->move(child->x(), child->y() - d);
    }
    setUpdatesEnabled(true);
    update();
}

void CFormParam::ScrollBy(int d)
{
    m_nScrollPos += d;
    m_pScrollBar->setValue(m_nScrollPos);
    ScrollContents(d);
}

void CFormParam::OnMouseWheel(int delta)
{
    const int limit = m_nContentHeight - m_nPageHeight;
    if (delta < 0) {
        if (m_nScrollPos < limit)
            ScrollBy(std::min(limit - m_nScrollPos, kScrollLine));
    } else if (m_nScrollPos > 0) {
        ScrollBy(-std::min(m_nScrollPos, kScrollLine));
    }
}

void CFormParam::OnWheel(const QWheelEvent* event)
{
    // Only a turn of the vertical wheel is a wheel message for the page; a
    // horizontal one, or a touchpad's start and end of a gesture, carries no
    // vertical delta and would count as upwards.
    const int delta = event->angleDelta().y();
    if (delta != 0)
        OnMouseWheel(delta);
}

void CFormParam::wheelEvent(QWheelEvent* event)
{
    OnWheel(event);
    QWidget::wheelEvent(event);
}

bool CFormParam::eventFilter(QObject* watched, QEvent* event)
{
    // The bar is part of the page: a wheel over it moves the rows by one line
    // too, not by the bar's own steps.
    if (watched == m_pScrollBar && event->type() == QEvent::Wheel) {
        OnWheel(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool CFormParam::OnVScroll(int code, int thumbPosition)
{
    const int limit = m_nContentHeight - m_nPageHeight;
    const int page = m_nPageHeight;
    switch (code) {
    case SB_LINEUP:
        if (m_nScrollPos <= 0)
            return false;
        ScrollBy(-std::min(m_nScrollPos, kScrollLine));
        return true;
    case SB_LINEDOWN:
        if (m_nScrollPos >= limit)
            return false;
        ScrollBy(std::min(limit - m_nScrollPos, kScrollLine));
        return true;
    case SB_PAGEUP:
        if (m_nScrollPos <= 0)
            return false;
        ScrollBy(-std::min(page, m_nScrollPos));
        return true;
    case SB_PAGEDOWN:
        if (m_nScrollPos >= limit)
            return false;
        ScrollBy(std::min(page, limit - m_nScrollPos));
        return true;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        ScrollBy(thumbPosition - m_nScrollPos);
        return true;
    default:
        return false;
    }
}

void CFormParam::OnScrollBarAction(int action)
{
    int code = -1;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
    case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
    default: break;
    }
    OnVScroll(code, m_pScrollBar->sliderPosition());
    // The bar shows where the rows are, whatever it computed itself.
    m_pScrollBar->setSliderPosition(m_nScrollPos);
}

void CFormParam::OnValueChanged(uint16_t param)
{
    const CDriveGate::Scope loop(CDriveGate::kPageLoop);
    for (size_t i = 0; i < m_vecEdits.size(); ++i) {
        if (m_vecEdits[i]->DependsOn(param))
            m_vecEdits[i]->UpdateStyle();
    }
    for (size_t i = 0; i < m_vecCombos.size(); ++i) {
        if (m_vecCombos[i]->DependsOn(param))
            m_vecCombos[i]->UpdateControlStyle();
    }
    for (size_t i = 0; i < m_vecButtons.size(); ++i) {
        if (m_vecButtons[i]->DependsOn(param))
            m_vecButtons[i]->UpdateControlStyle();
    }
    for (size_t i = 0; i < m_vecSwitches.size(); ++i) {
        CVcmSwitch* bits = m_vecSwitches[i];
        if (!bits->DependsOn(param))
            continue;
        const uint32_t style = bits->ApplyConditions(GetWindowStyle(bits));
        if (style != bits->m_dwAppliedStyle) {
            SetWindowStyle(bits, style);
            bits->raise();
            bits->m_dwAppliedStyle = style;
        }
    }
    for (size_t i = 0; i < m_vecHeaders.size(); ++i) {
        if (m_vecHeaders[i]->DependsOn(param))
            m_vecHeaders[i]->UpdateStyle();
    }
}

void CFormParam::OnRefresh(int source)
{
    if (source != kReadThroughCache && source != kReadPoll && source != kReadFromDrive)
        return;
    const bool poll = source == kReadPoll;
    const CDriveGate::Scope loop(CDriveGate::kPageLoop);
    // A poll never overwrites a control that the user may be typing in or
    // choosing from. A control whose read fails keeps what it shows.
    for (size_t i = 0; i < m_vecEdits.size(); ++i) {
        CVcmEdit* edit = m_vecEdits[i];
        if (!poll || (edit->IsLive() && (GetWindowStyle(edit) & (WS_DISABLED | ES_READONLY))))
            edit->ReadValue(source);
    }
    for (size_t i = 0; i < m_vecCombos.size(); ++i) {
        CVcmCombo* combo = m_vecCombos[i];
        if (!poll || (combo->IsLive() && (GetWindowStyle(combo) & WS_DISABLED)))
            combo->ReadValue(source);
    }
    for (size_t i = 0; i < m_vecSwitches.size(); ++i) {
        CVcmSwitch* bits = m_vecSwitches[i];
        if (!poll || (bits->IsLive() && (GetWindowStyle(bits) & WS_DISABLED)))
            bits->ReadValue(source);
    }
    // After a first or full read the cache holds what the drive holds now; a
    // poll leaves older entries in it that a field's own read may have passed.
    if (!poll)
        ShowInMotorScale();
}

void CFormParam::ShowInMotorScale()
{
    CTarvixMaster* master = GetTarvixMaster();
    CBaseDriver* driver = master->GetDriver();
    const ParamCacheEntry* motorNo = driver ? master->GetCacheEntry(driver->GetMotorNoParam()) : nullptr;
    if (!motorNo || !motorNo->valid)
        return;
    for (size_t i = 0; i < m_vecEdits.size(); ++i)
        m_vecEdits[i]->ShowInMotorScale(motorNo->value);
}

void CFormParam::QueueValueNews(uint16_t param)
{
    if (std::find(m_vecDeferredNews.begin(), m_vecDeferredNews.end(), param) == m_vecDeferredNews.end())
        m_vecDeferredNews.push_back(param);
    // Conditions may read from the drive: news handled in a box's loop would
    // put "MA"/"MD" between a failed exchange and its Retry.
    CDriveGate::Instance().RunWhenFree(this, CDriveGate::kExchange, [this] {
        const std::vector<uint16_t> news = std::exchange(m_vecDeferredNews, {});
        for (uint16_t number : news)
            OnValueChanged(number);
    });
}

void CFormParam::QueueRefresh(int source)
{
    m_nDeferredSource = m_nDeferredSource < 0 ? source : Stronger(m_nDeferredSource, source);
    // No exchange in the middle of another one (its box is up) or of the
    // test-array read, and no re-read under the page's own loop.
    CDriveGate::Instance().RunWhenFree(this, CDriveGate::kExchange | CDriveGate::kRowRemoval, [this] {
        OnRefresh(std::exchange(m_nDeferredSource, -1));
    });
}

bool CFormParam::event(QEvent* event)
{
    switch (static_cast<int>(event->type())) {
    case WM_VCM_VALUE_CHANGED: {
        auto* message = static_cast<CVcmMessage*>(event);
        QueueValueNews(static_cast<uint16_t>(message->wParam));
        message->result = 0;
        return true;
    }
    case WM_VCM_REFRESH: {
        auto* message = static_cast<CVcmMessage*>(event);
        QueueRefresh(static_cast<int>(message->wParam));
        message->result = 0;
        return true;
    }
    default:
        return QWidget::event(event);
    }
}

void CFormParam::keyPressEvent(QKeyEvent* event)
{
    // Enter and Escape end at the page, whichever control they came from.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
