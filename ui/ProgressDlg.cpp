#include "ui/ProgressDlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kDefaultCaptionId = kProgressCaptionLoading;
// Fast enough to look live, slow enough that a step costs no paint.
constexpr int kDisplayIntervalMs = 50;
constexpr const char kInitialPercent[] = "0 %";

const char* CaptionText(int id)
{
    switch (id) {
    case kProgressCaptionLoading: return "Loading...";
    case kProgressCaptionLoadingFile: return "Loading file...";
    case kProgressCaptionSavingToFile: return "Saving to file...";
    default: return "";
    }
}

}  // namespace

CProgressDlg::CProgressDlg(int captionId)
    : QDialog(nullptr),
      m_nCaptionId(captionId ? captionId : kDefaultCaptionId),
      m_percent(QString::fromLatin1(kInitialPercent)),
      m_displayTimer(this)
{
    m_displayTimer.setObjectName("display");
    m_displayTimer.setSingleShot(true);
    m_displayTimer.setInterval(kDisplayIntervalMs);
    connect(&m_displayTimer, &QTimer::timeout, this, &CProgressDlg::ShowNow);

    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName("status");
    m_pStatus->setTextFormat(Qt::PlainText);
    m_pProgress = new QProgressBar(this);
    m_pProgress->setObjectName("progress");
    m_pProgress->setTextVisible(false);
    m_pProgress->setMinimumWidth(260);
    m_pPercent = new QLabel(m_percent, this);
    m_pPercent->setObjectName("percent");
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pCancel->setObjectName("cancel");
    // Cancel takes Enter while it has the focus, as every push button of a dialog.
    connect(m_pCancel, &QPushButton::clicked, this, &CProgressDlg::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pPercent);
    buttons->addStretch();
    buttons->addWidget(m_pCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pStatus);
    layout->addWidget(m_pProgress);
    layout->addLayout(buttons);
}

CProgressDlg::~CProgressDlg()
{
    DestroyWindow();
}

bool CProgressDlg::Create(QWidget* parent)
{
    if (m_bWindow)
        return false;
    DisableOwners(parent);
    // Set after the owners are disabled: a window keeps the enabled state it
    // is given then, so Cancel works while they are disabled.
    setParent(parent, windowFlags());

    BarSetRange(m_nLower, m_nUpper);
    m_bar.step = m_nStep;
    BarSetPos(m_nLower);
    setWindowTitle(QString::fromUtf8(CaptionText(m_nCaptionId)));
    m_bWindow = true;
    ShowNow();
    adjustSize();
    show();
    return true;
}

void CProgressDlg::DestroyWindow()
{
    ReleaseOwner();
    m_displayTimer.stop();
    if (m_bWindow) {
        m_bWindow = false;
        hide();
    }
}

void CProgressDlg::DisableOwners(QWidget* parent)
{
    // The chain of owners, not the parent alone: a dialog that fills itself
    // before it is shown would leave the main window open to a second
    // command in the middle of this operation.
    for (QWidget* w = parent ? parent->window() : nullptr; w;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        if (w->isEnabled()) {
            w->setEnabled(false);
            m_disabledOwners.emplace_back(w);
        }
    }
}

void CProgressDlg::ReleaseOwner()
{
    // Outermost first: enabling a window enables the windows it owns unless
    // they were disabled on their own.
    for (auto it = m_disabledOwners.rbegin(); it != m_disabledOwners.rend(); ++it) {
        if (*it)
            (*it)->setEnabled(true);
    }
    m_disabledOwners.clear();
}

void CProgressDlg::PumpEvents()
{
    QCoreApplication::processEvents();
}

bool CProgressDlg::CheckCancel()
{
    PumpEvents();
    bool cancel = m_bCancel;
    m_bCancel = false;
    return cancel;
}

void CProgressDlg::SetStatus(const char* text)
{
    if (!m_bWindow)
        return;
    m_status = QString::fromUtf8(text ? text : "");
    ShowLater();
}

void CProgressDlg::SetRange(int lower, int upper)
{
    m_nLower = lower;
    m_nUpper = upper;
    if (m_bWindow)
        BarSetRange(lower, upper);
}

void CProgressDlg::SetStep(int step)
{
    m_nStep = step;
    if (m_bWindow)
        m_bar.step = step;
}

int CProgressDlg::SetPos(int pos)
{
    PumpEvents();
    if (!m_bWindow)
        return 0;
    int previous = BarSetPos(pos);
    UpdatePercent(pos);
    return previous;
}

int CProgressDlg::OffsetPos(int delta)
{
    PumpEvents();
    if (!m_bWindow)
        return 0;
    int previous = m_bar.pos;
    long long target = static_cast<long long>(previous) + delta;
    BarSetPos(static_cast<int>(std::clamp<long long>(target, m_bar.lower, m_bar.upper)));
    UpdatePercent(target);
    return previous;
}

int CProgressDlg::StepIt()
{
    PumpEvents();
    if (!m_bWindow)
        return 0;
    int previous = m_bar.pos;
    long long next = static_cast<long long>(previous) + m_bar.step;
    // Past either end the bar starts over.
    if (next > m_bar.upper)
        next = m_bar.lower;
    else if (next < m_bar.lower)
        next = m_bar.upper;
    BarSetPos(static_cast<int>(next));
    UpdatePercent(static_cast<long long>(previous) + m_nStep);
    return previous;
}

void CProgressDlg::BarSetRange(int lower, int upper)
{
    // The native control keeps both bounds in 16 bits.
    m_bar.lower = static_cast<uint16_t>(lower);
    m_bar.upper = static_cast<uint16_t>(upper);
    BarSetPos(m_bar.pos);
}

int CProgressDlg::BarSetPos(int pos)
{
    int previous = m_bar.pos;
    m_bar.pos = std::min(std::max(pos, m_bar.lower), m_bar.upper);
    ShowLater();
    return previous;
}

void CProgressDlg::ShowLater()
{
    if (!m_displayTimer.isActive())
        m_displayTimer.start();
}

void CProgressDlg::ShowNow()
{
    m_displayTimer.stop();
    if (m_pStatus->text() != m_status)
        m_pStatus->setText(m_status);
    int low = std::min(m_bar.lower, m_bar.upper);
    int high = std::max(m_bar.lower, m_bar.upper);
    // The bar repaints itself at once on a new value; held back, it goes to
    // the screen with the label in one frame, at the next pump.
    m_pProgress->setUpdatesEnabled(false);
    if (m_pProgress->minimum() != low || m_pProgress->maximum() != high)
        m_pProgress->setRange(low, high);
    m_pProgress->setValue(m_bar.pos);
    m_pProgress->setUpdatesEnabled(true);
    // Compared first, so an unchanged label does not flicker.
    if (m_pPercent->text() != m_percent)
        m_pPercent->setText(m_percent);
}

void CProgressDlg::UpdatePercent(long long pos)
{
    long long range = static_cast<long long>(m_nUpper) - m_nLower;
    long long shown;
    if (range == 0) {
        // Nothing to measure: reaching the bound counts as done.
        shown = pos >= m_nLower ? 100 : 0;
    } else {
        long long percent = (pos - m_nLower) * 100 / range;
        shown = percent == 100 ? 100 : percent % 100;
    }
    m_percent = QString::number(shown) + QLatin1Char('%');
    ShowLater();
}

void CProgressDlg::accept()
{
    // Enter does not close the window.
}

void CProgressDlg::reject()
{
    m_bCancel = true;
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    m_bCancel = true;
    event->ignore();
}

void CProgressDlg::hideEvent(QHideEvent* event)
{
    // Hidden by its user (not minimised): the window is gone for the owner.
    if (!event->spontaneous()) {
        ReleaseOwner();
        m_displayTimer.stop();
        m_bWindow = false;
    }
    QDialog::hideEvent(event);
}
