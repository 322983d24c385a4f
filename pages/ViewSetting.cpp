#include "pages/ViewSetting.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QResizeEvent>
#include <QTabBar>
#include <QTimer>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/FormParam.h"
#include "pages/VcmCtrl.h"
#include "ui/DialogUnits.h"
#include "ui/DriveGate.h"
#include "ui/VcmMessages.h"

namespace {

// The form's template: 240 x 112 dialog units in "Tahoma" 9 points.
constexpr int kTemplateWidthDlu = 240;
constexpr int kTemplateHeightDlu = 112;
constexpr int kMargin = 8;

QFont TemplateFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(9);
    return font;
}

}  // namespace

CViewSetting::CViewSetting(QWidget* parent) : QWidget(parent), m_pMaster(GetTarvixMaster())
{
    setObjectName(QStringLiteral("viewSetting"));
    setFont(TemplateFont());
    const CDialogUnits dlu(font());
    resize(dlu.X(kTemplateWidthDlu), dlu.Y(kTemplateHeightDlu));

    m_tabCtrl = new QTabBar(this);
    m_tabCtrl->setObjectName(QStringLiteral("tab1000"));
    m_tabCtrl->setGeometry(dlu.Rect(110, 55, 50, 30));
    m_tabCtrl->setFocusPolicy(Qt::NoFocus);
    m_tabCtrl->hide();

    m_pVersionGroup = new QGroupBox(QStringLiteral("Drive Version"), this);
    m_pVersionGroup->setObjectName(QStringLiteral("versionGroup"));
    m_pVersionGroup->setGeometry(dlu.Rect(5, 5, 230, 30));

    m_pVersionText = new QLabel(this);
    m_pVersionText->setObjectName(QStringLiteral("versionText"));
    m_pVersionText->setAlignment(Qt::AlignCenter);
    m_pVersionText->setGeometry(dlu.Rect(10, 15, 220, 15));

    m_pPagePlace = new QWidget(this);
    m_pPagePlace->setObjectName(QStringLiteral("pagePlace"));
    m_pPagePlace->setGeometry(dlu.Rect(5, 40, 230, 65));
    m_pPagePlace->hide();

    m_pPollTimer = new QTimer(this);
    m_pPollTimer->setObjectName(QStringLiteral("pollTimer"));
    m_pPollTimer->setSingleShot(true);
    // A coarse timer may fire a few per cent early.
    m_pPollTimer->setTimerType(Qt::PreciseTimer);
    m_pPollTimer->setInterval(kPollPeriodMs);
    connect(m_pPollTimer, &QTimer::timeout, this, &CViewSetting::OnTimer);

    OnInitialUpdate();
}

CViewSetting::~CViewSetting()
{
    m_pPollTimer->stop();
    delete m_pFormParam;
    m_pFormParam = nullptr;
}

void CViewSetting::OnInitialUpdate()
{
    const QRect rc = rect();
    const QRect r = m_pPagePlace->geometry();
    m_nRightMargin = kMargin;
    m_nBottomMargin = kMargin;
    m_nPageLeft = r.left();

    m_pFormParam = new CFormParam(this);
    m_pFormParam->setGeometry(r.left(), r.top(), r.width(), (rc.bottom() + 1 - kMargin) - r.top());
    m_pFormParam->setWindowTitle(QStringLiteral("Parameters"));
    // Empty and hidden until a drive has been shown; the real size comes with
    // the first size change the owner gives the view.
}

QSize CViewSetting::sizeHint() const
{
    const CDialogUnits dlu(font());
    return QSize(dlu.X(kTemplateWidthDlu), dlu.Y(kTemplateHeightDlu));
}

bool CViewSetting::IsPollTimerActive() const
{
    return m_pPollTimer->isActive();
}

QString CViewSetting::GetVersionText() const
{
    return m_pVersionText->text();
}

bool CViewSetting::event(QEvent* event)
{
    switch (static_cast<int>(event->type())) {
    case WM_POLL_START:
        OnPollStart();
        static_cast<CVcmMessage*>(event)->result = 0;
        return true;
    case WM_POLL_STOP:
        OnPollStop();
        static_cast<CVcmMessage*>(event)->result = 0;
        return true;
    case WM_VCM_REFRESH:
        OnForwardRefresh(static_cast<CVcmMessage*>(event)->wParam);
        static_cast<CVcmMessage*>(event)->result = 0;
        return true;
    default:
        return QWidget::event(event);
    }
}

void CViewSetting::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    OnSize(event->size().width(), event->size().height());
}

void CViewSetting::OnSize(int cx, int cy)
{
    m_pVersionGroup->resize(cx - m_nRightMargin - m_nPageLeft, m_pVersionGroup->height());
    m_pVersionText->resize(cx - 2 * (m_nRightMargin + m_nPageLeft), m_pVersionText->height());
    if (m_pFormParam)
        m_pFormParam->resize(cx - m_nRightMargin - m_nPageLeft,
                             cy - m_nBottomMargin - m_pFormParam->y());
}

void CViewSetting::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    // The page's thin sunken edge, drawn just around it.
    if (m_pFormParam && m_pFormParam->isVisible()) {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(m_pFormParam->geometry().adjusted(-1, -1, 0, 0));
    }
}

bool CViewSetting::ShowConnectedDrive()
{
    if (!m_pMaster->IsOpen())
        return false;
    // The reply line as the drive sent it; empty when "VR" failed.
    m_pVersionText->setText(QString::fromUtf8(m_pMaster->GetVersion()));
    CBaseDriver* driver = m_pMaster->GetDriver();
    if (m_pFormParam && driver) {
        m_pFormParam->BuildForm(driver->GetFirstSectionVariables());
        m_pFormParam->show();
        PostVcmMessage(m_pFormParam, WM_VCM_REFRESH, kReadThroughCache, 0);
    }
    m_bDriveShown = true;
    update();
    return true;
}

void CViewSetting::ClearShownDrive()
{
    // Nothing left to poll.
    m_pPollTimer->stop();
    m_bDriveShown = false;
    m_pVersionText->setText(QString());
    if (m_pFormParam)
        m_pFormParam->ClearControls();
}

void CViewSetting::OnPollStart()
{
    // Nothing may talk to the drive between the samples of a test-array read;
    // a stop in the meantime cancels the resume.
    m_bPollStartPending = true;
    CDriveGate::Instance().RunWhenFree(this, CDriveGate::kTestArrayRead, [this] {
        if (!m_bPollStartPending)
            return;
        m_bPollStartPending = false;
        if (m_pMaster->IsOpen())
            m_pPollTimer->start();
        else if (m_bDriveShown)
            ClearShownDrive();
    });
}

void CViewSetting::OnPollStop()
{
    m_bPollStartPending = false;
    m_pPollTimer->stop();
}

void CViewSetting::OnForwardRefresh(intptr_t source)
{
    if (m_pFormParam)
        PostVcmMessage(m_pFormParam, WM_VCM_REFRESH, source, 0);
}

void CViewSetting::OnTimer()
{
    m_pPollTimer->stop();
    // A tick from inside a failed exchange's box (or during the test-array
    // read) must not talk to the drive or clear the page under the exchange:
    // it waits for the next one.
    if (CDriveGate::Instance().IsBusy(CDriveGate::kExchange)) {
        m_pPollTimer->start();
        return;
    }
    if (m_pMaster->IsOpen()) {
        if (m_pFormParam)
            m_pFormParam->OnRefresh(kReadPoll);
        // Armed again whatever the reads gave; a port that they closed
        // clears the view here instead.
        OnPollStart();
    } else if (m_bDriveShown) {
        ClearShownDrive();
    }
}
