#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <utility>

#include "app/ConnectDlg.h"
#include "app/MotorListDlg.h"
#include "app/ParamConverterDlg.h"
#include "app/TarvixSettingApp.h"
#include "drive/BaseDriver.h"
#include "drive/Step1x3Driver.h"
#include "drive/TarvixMaster.h"
#include "graphwin/GraphCtrlDlg.h"
#include "graphwin/GraphDlg.h"
#include "pages/ViewSetting.h"
#include "platform/CloseRequest.h"
#include "platform/MessageBox.h"
#include "platform/ReplacingFile.h"
#include "platform/UniqueFile.h"
#include "ui/AppMessageBox.h"
#include "ui/DriveGate.h"
#include "ui/FileDialogs.h"
#include "ui/ProgressDlg.h"
#include "ui/VcmMessages.h"

namespace {

constexpr int kFrameWidth = 440;
constexpr int kMinFrameHeight = 500;
constexpr int kInitialFrameHeight = 620;
constexpr int kBaudRate9600 = 9600;

// In the spirit of the original's black office theme: dark bars and menus
// around a view that keeps the ordinary dialog colours.
constexpr const char* kBarStyle =
    "QMenuBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #4a4d53, stop:1 #2b2d31);"
    " color: #f0f0f0; border-bottom: 1px solid #17181a; }"
    "QMenuBar::item { background: transparent; padding: 3px 9px; }"
    "QMenuBar::item:selected { background: #5d6169; border-radius: 2px; }"
    "QMenuBar::item:pressed { background: #1d1e21; }"
    "QMenu { background: #2f3136; color: #f0f0f0; border: 1px solid #17181a; }"
    "QMenu::item { padding: 4px 24px 4px 22px; }"
    "QMenu::item:selected { background: #5d6169; }"
    "QMenu::item:disabled { color: #7d8087; }"
    "QMenu::separator { height: 1px; background: #4a4d53; margin: 3px 6px; }";
constexpr const char* kStatusStyle =
    "QStatusBar { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3b3e44, stop:1 #25272b);"
    " color: #e8e8e8; border-top: 1px solid #17181a; }"
    "QStatusBar::item { border: none; }"
    "QLabel#indicator { color: #e8e8e8; border: 1px solid #55585f; padding: 0 4px; }"
    "QLabel#indicator:disabled { color: #6f727a; }";

constexpr const char* kReady = "Ready";

// Runs an action once, from the event loop, after the widget's next paint.
class AfterPaint : public QObject {
public:
    AfterPaint(QWidget* widget, std::function<void()> action)
        : QObject(widget), m_action(std::move(action))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, watched, std::move(m_action));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_action;
};

void RunAfterFirstPaint(QWidget* widget, std::function<void()> action)
{
    new AfterPaint(widget, std::move(action));
}

// From inside the window's own loop: a modal window ended before its loop
// runs would leave that loop running with the window hidden.
void EndModalWindowSoon(QDialog* dialog)
{
    QTimer::singleShot(0, dialog, [dialog] {
        if (dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
}

bool IsModalDialog(QObject* object)
{
    auto* dialog = qobject_cast<QDialog*>(object);
    return dialog && dialog->isWindow() && dialog->isModal();
}

struct Prompt {
    const char* status;
    const char* tip;
};

QAction* AddCommand(QMenu* menu, const char* text, const char* name, Prompt prompt = {})
{
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setObjectName(QString::fromLatin1(name));
    if (prompt.status)
        action->setStatusTip(QString::fromUtf8(prompt.status));
    if (prompt.tip)
        action->setToolTip(QString::fromUtf8(prompt.tip));
    return action;
}

}  // namespace

// A command under way; the menu follows the port state once it is over.
struct CMainFrame::CommandScope {
    explicit CommandScope(CMainFrame& frame) : m_frame(frame) {}
    ~CommandScope()
    {
        m_frame.OnUpdateDriveConnect();
        m_frame.OnUpdateDriveCommand();
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;
    CMainFrame& m_frame;
    const CDriveGate::Scope m_command{CDriveGate::kCommand};
};

CMainFrame::CMainFrame() : m_pMaster(GetTarvixMaster())
{
    setObjectName("mainFrame");
    setWindowTitle(QStringLiteral("TarvixSetting"));
    // Fixed width, no maximize box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setMinimumSize(kFrameWidth, kMinFrameHeight);
    setMaximumWidth(kFrameWidth);
    resize(kFrameWidth, kInitialFrameHeight);
    OnCreate();
    SetMainWnd(this);
}

CMainFrame::~CMainFrame()
{
    delete m_pGraphDlg.data();
    if (GetMainWnd() == this)
        SetMainWnd(nullptr);
}

void CMainFrame::OnCreate()
{
    m_pView = new CViewSetting(this);
    setCentralWidget(m_pView);
    CreateMenuBar();
    CreateStatusBar();
    OnUpdateDriveConnect();
    OnUpdateDriveCommand();
}

void CMainFrame::CreateMenuBar()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("menuBar");
    bar->setStyleSheet(QString::fromLatin1(kBarStyle));

    m_pDriveMenu = bar->addMenu(QStringLiteral("&Drive"));
    m_pDriveMenu->setObjectName("driveMenu");
    m_pConnect = AddCommand(m_pDriveMenu, "Connect", "actionConnect",
                            {"Connect to Tarvix Driver", "Connect"});
    m_pDisconnect = AddCommand(m_pDriveMenu, "Disconnect", "actionDisconnect",
                               {"Disconnect from Tarvix Driver", "Disconnect"});
    m_pDriveMenu->addSeparator();
    m_pSaveToEeprom = AddCommand(m_pDriveMenu, "Save to EEPROM", "actionSaveToEeprom",
                                 {"Save all parameters to driver", "Save to EEPROM"});
    m_pDriveMenu->addSeparator();
    m_pExit = AddCommand(m_pDriveMenu, "E&xit", "actionExit",
                         {"Quit the application; prompts to save documents", "Exit"});

    QMenu* view = bar->addMenu(QStringLiteral("&View"));
    view->setObjectName("viewMenu");
    m_pStatusBar = AddCommand(view, "&Status Bar", "actionStatusBar",
                              {"Show or hide the status bar", "Toggle StatusBar"});
    m_pStatusBar->setCheckable(true);
    m_pStatusBar->setChecked(true);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName("helpMenu");
    m_pAbout = AddCommand(help, "&About TarvixSetting...", "actionAbout",
                          {"Display program information, version number and copyright", "About"});

    connect(m_pConnect, &QAction::triggered, this, &CMainFrame::OnDriveConnect);
    connect(m_pDisconnect, &QAction::triggered, this, &CMainFrame::OnDriveDisconnect);
    connect(m_pSaveToEeprom, &QAction::triggered, this, &CMainFrame::OnSaveToEeprom);
    connect(m_pExit, &QAction::triggered, this, &QWidget::close);
    connect(m_pStatusBar, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });
    connect(m_pDriveMenu, &QMenu::aboutToShow, this, [this] {
        OnUpdateDriveConnect();
        OnUpdateDriveCommand();
    });
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    bar->setStyleSheet(QString::fromLatin1(kStatusStyle));
    // The lock states are not visible to a program here: the panes stand
    // greyed, as the original's do while a lock is off.
    for (const char* text : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromLatin1(text), bar);
        pane->setObjectName("indicator");
        pane->setAlignment(Qt::AlignCenter);
        pane->setEnabled(false);
        bar->addPermanentWidget(pane);
    }
    // The idle text comes back whenever a prompt goes.
    connect(bar, &QStatusBar::messageChanged, this, [bar](const QString& message) {
        if (message.isEmpty())
            bar->showMessage(QString::fromLatin1(kReady));
    });
    bar->showMessage(QString::fromLatin1(kReady));
}

bool CMainFrame::IsPortOpen() const
{
    return m_pMaster->IsOpen();
}

void CMainFrame::OnUpdateDriveConnect()
{
    m_pConnect->setEnabled(!IsPortOpen());
}

void CMainFrame::OnUpdateDriveCommand()
{
    bool open = IsPortOpen();
    m_pDisconnect->setEnabled(open);
    m_pSaveToEeprom->setEnabled(open);
}

bool CMainFrame::event(QEvent* event)
{
    switch (static_cast<int>(event->type())) {
    case WM_POLL_START: OnPollStart(); break;
    case WM_POLL_STOP: OnPollStop(); break;
    case WM_VCM_REFRESH: OnVcmRefresh(static_cast<CVcmMessage*>(event)->wParam); break;
    case WM_SHOW_MOTOR_LIST: OnShowMotorList(); break;
    case WM_SHOW_GRAPH: OnShowGraph(); break;
    default: return QMainWindow::event(event);
    }
    static_cast<CVcmMessage*>(event)->result = 0;
    return true;
}

void CMainFrame::focusInEvent(QFocusEvent*)
{
    if (m_pView)
        m_pView->setFocus();
}

void CMainFrame::OnPollStart()
{
    SendVcmMessage(m_pView, WM_POLL_START);
    OnUpdateDriveConnect();
    OnUpdateDriveCommand();
}

void CMainFrame::OnPollStop()
{
    SendVcmMessage(m_pView, WM_POLL_STOP);
}

void CMainFrame::OnVcmRefresh(intptr_t source)
{
    PostVcmMessage(m_pView, WM_VCM_REFRESH, source, 0);
}

void CMainFrame::OnShowMotorList()
{
    CommandScope command(*this);
    CMotorListDlg dlg(this);
    SendVcmMessage(this, WM_POLL_STOP);
    dlg.exec();
    ForgetMotorSlotValues();
    SendVcmMessage(this, WM_POLL_START);
}

void CMainFrame::OnShowGraph()
{
    // A graph that is reading its test array stays: deleting it would pull
    // the read from under itself.
    if (CDriveGate::Instance().IsBusy(CDriveGate::kTestArrayRead))
        return;
    delete m_pGraphDlg.data();
    m_pGraphDlg = nullptr;
    auto* graph = new CGraphDlg(this);
    m_pGraphDlg = graph;
    graph->show();
}

void CMainFrame::ForgetMotorSlotValues()
{
    m_pMaster->InvalidateParameterCache();
    if (IsPortOpen())
        SendVcmMessage(m_pView, WM_VCM_REFRESH, kReadFromDrive);
}

void CMainFrame::OnDriveConnect()
{
    if (IsPortOpen())
        return;
    CommandScope command(*this);
    // A failure may have closed the port under a page that no tick has
    // cleared yet: its rows point into the drive model this connect replaces.
    if (m_pView->IsDriveShown())
        m_pView->ClearShownDrive();
    CConnectDlg dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    bool read;
    {
        CProgressDlg progress;
        progress.Create(this);
        read = m_pMaster->ReadAllParameters(&progress);
    }
    // A failed read leaves the port open with an empty page and no polling.
    if (!read)
        return;
    if (!m_pView->ShowConnectedDrive())
        return;
    SendVcmMessage(m_pView, WM_POLL_START);
    // Loading the platform's OpenGL takes a tenth of a second and more: a
    // drive with a test array has it loaded once its page is on screen, so
    // the first graph window does not wait for it.
    if (CBaseDriver* driver = m_pMaster->GetDriver(); driver && driver->HasTestArray())
        RunAfterFirstPaint(m_pView, [] { CGraphCtrlDlg::PlatformHasOpenGL(); });
}

void CMainFrame::OnDriveDisconnect()
{
    if (!IsPortOpen())
        return;
    CommandScope command(*this);
    DisconnectDrive();
}

void CMainFrame::DisconnectDrive()
{
    m_pView->ClearShownDrive();
    CBaseDriver* driver = m_pMaster->GetDriver();
    // A drive left at another rate would not hear the next first contact.
    if (IsPortOpen() && driver && m_pMaster->GetBaudRate() != kBaudRate9600) {
        if (m_pMaster->SetAddress(driver->GetBaudRateParam()))
            m_pMaster->WriteData(kBaudCode9600);
    }
    if (IsPortOpen())
        m_pMaster->Close();
}

void CMainFrame::OnSaveToEeprom()
{
    if (!IsPortOpen())
        return;
    CommandScope command(*this);
    SendVcmMessage(m_pView, WM_POLL_STOP);
    if (m_pMaster->SendCommand("SP") == kVcmOk) {
        ShowSaveSucceeded();
    } else {
        host::MessageBox("Saving parameter was failed.");
    }
    SendVcmMessage(m_pView, WM_POLL_START);
}

void CMainFrame::OnLoadFromEeprom()
{
    if (!IsPortOpen())
        return;
    CommandScope command(*this);
    SendVcmMessage(m_pView, WM_POLL_STOP);
    if (m_pMaster->LoadParametersFromEeprom()) {
        SendVcmMessage(m_pView, WM_VCM_REFRESH, kReadFromDrive);
        host::MessageBox("Loading parameters complete.");
    } else {
        host::MessageBox("Load parameters is failed.");
    }
    SendVcmMessage(m_pView, WM_POLL_START);
}

void CMainFrame::OnLoadDefault()
{
    if (!IsPortOpen())
        return;
    CommandScope command(*this);
    SendVcmMessage(m_pView, WM_POLL_STOP);
    if (m_pMaster->LoadDefaultParameters())
        SendVcmMessage(m_pView, WM_VCM_REFRESH, kReadFromDrive);
    else
        host::MessageBox("Setting parameters to default is failed.");
    SendVcmMessage(m_pView, WM_POLL_START);
}

void CMainFrame::OnExecuteScriptFile()
{
    if (!IsPortOpen())
        return;
    CommandScope command(*this);
    QString path = AskOpenParameterFile(this);
    if (path.isEmpty())
        return;
    host::UniqueFile file(std::fopen(path.toLocal8Bit().constData(), "r"));
    if (!file) {
        host::MessageBox("Failed to read file", host::MB_OK, "Error");
        return;
    }
    SendVcmMessage(m_pView, WM_POLL_STOP);
    bool executed;
    {
        CProgressDlg progress(kProgressCaptionLoadingFile);
        progress.Create(this);
        executed = m_pMaster->ExecuteScriptFile(file.get(), &progress);
        file.reset();
    }
    if (!executed)
        host::MessageBox("Load parameter is failed.");
    SendVcmMessage(m_pView, WM_VCM_REFRESH, kReadFromDrive);
    SendVcmMessage(m_pView, WM_POLL_START);
}

void CMainFrame::OnSaveScriptFile()
{
    if (!IsPortOpen())
        return;
    CommandScope command(*this);
    std::unique_ptr<host::ReplacingFile> file = CreateParameterFile(this);
    if (!file)
        return;
    SendVcmMessage(m_pView, WM_POLL_STOP);
    bool saved;
    {
        CProgressDlg progress(kProgressCaptionSavingToFile);
        progress.Create(this);
        saved = m_pMaster->SaveParameterFile(file->Stream(), &progress);
        if (saved)
            saved = file->Commit();
        else
            file->Discard();
    }
    if (saved) {
        ShowSaveSucceeded();
    } else {
        host::MessageBox("Saving parameter was failed.");
    }
    // The multi-motor drive's script walks every motor slot.
    if (dynamic_cast<CStep1x3Driver*>(m_pMaster->GetDriver()))
        ForgetMotorSlotValues();
    SendVcmMessage(m_pView, WM_POLL_START);
}

void CMainFrame::OnParameterConverter()
{
    CommandScope command(*this);
    CParamConverterDlg dlg(this);
    dlg.exec();
}

void CMainFrame::RequestClose()
{
    // Once the close has begun (an Abort in its own disconnect), there is
    // nothing left to end or to close.
    if (m_bClosed)
        return;
    if (host::IsCloseRequested())
        EndModalWindows();
    // Never from under the handler that asks: from the event loop.
    QTimer::singleShot(0, this, [this] {
        CDriveGate::Instance().RunWhenFree(this, CDriveGate::kClose, [this] {
            if (!m_bClosed)
                close();
        });
    });
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_bClosed) {
        event->accept();
        return;
    }
    // Closing in the middle of a drive operation would pull the windows from
    // under it: the window goes once the operation is over.
    if (CDriveGate::Instance().IsBusy(CDriveGate::kClose)) {
        event->ignore();
        RequestClose();
        return;
    }
    OnDestroy();
    event->accept();
}

void CMainFrame::EndModalWindows()
{
    if (!m_bEndingModalWindows) {
        m_bEndingModalWindows = true;
        qApp->installEventFilter(this);
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && IsModalDialog(window))
            EndModalWindowSoon(static_cast<QDialog*>(window));
        else if (window->isVisible() && window->windowType() == Qt::Popup)
            window->close();
    }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && IsModalDialog(watched))
        EndModalWindowSoon(static_cast<QDialog*>(watched));
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::OnDestroy()
{
    m_bClosed = true;
    if (m_bEndingModalWindows) {
        qApp->removeEventFilter(this);
        m_bEndingModalWindows = false;
    }
    // An Abort has ended what was running; the close's own steps talk to the
    // drive as every close does.
    host::ClearCloseRequest();
    delete m_pGraphDlg.data();
    m_pGraphDlg = nullptr;
    if (IsPortOpen()) {
        CommandScope command(*this);
        DisconnectDrive();
    }
}
