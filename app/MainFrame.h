#pragma once

#include <QMainWindow>
#include <QPointer>

#include <cstdint>

class CTarvixMaster;
class CViewSetting;
class QAction;
class QLabel;
class QMenu;

// The program's one top-level window, 440 pixels wide: menu bar, status bar
// and the setting view. Owns the drive-wide commands, brackets each long
// drive operation with the view's busy messages, relays the controls'
// messages to the view and disconnects (baud rate back to 9600) on closing.
// Messages handled (see VcmMessages.h):
//   WM_POLL_START, WM_POLL_STOP  sent on to the view
//   WM_VCM_REFRESH               posted on to the view (wParam VcmReadSource)
//   WM_SHOW_MOTOR_LIST           runs the motor list, the poll timer stopped
//   WM_SHOW_GRAPH                opens the graph window
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    CMainFrame();
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Commands. The drive commands do nothing unless a port is open, Connect
    // nothing while one is.
    void OnDriveConnect();
    void OnDriveDisconnect();
    void OnSaveToEeprom();
    void OnLoadFromEeprom();
    void OnLoadDefault();
    void OnExecuteScriptFile();
    void OnSaveScriptFile();
    void OnParameterConverter();

    // Enables the menu's commands by the port state.
    void OnUpdateDriveConnect();
    void OnUpdateDriveCommand();

    // Asks the window to close once no drive operation, box or dialog is
    // running below the event loop. After the user's Abort in a failed
    // exchange the modal windows that are up, or come up, end at once.
    void RequestClose();

    CViewSetting* GetView() const { return m_pView; }
    QAction* GetAboutAction() const { return m_pAbout; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // Marks a command (or a modal window it runs) as under way.
    struct CommandScope;

    void OnCreate();
    void CreateMenuBar();
    void CreateStatusBar();
    void OnPollStart();
    void OnPollStop();
    void OnVcmRefresh(intptr_t source);
    void OnShowMotorList();
    void OnShowGraph();
    void OnDestroy();
    // Ends every modal window that is up, and each that comes up until the
    // frame has closed: nothing waits for the user once Abort was chosen.
    void EndModalWindows();
    // The disconnect steps shared by Disconnect and closing.
    void DisconnectDrive();
    // After an operation that moved the multi-motor drive's motor pointer:
    // the cached motor parameters are another slot's.
    void ForgetMotorSlotValues();
    bool IsPortOpen() const;

    CTarvixMaster* m_pMaster;
    CViewSetting* m_pView = nullptr;
    QPointer<QWidget> m_pGraphDlg;

    QMenu* m_pDriveMenu = nullptr;
    QAction* m_pConnect = nullptr;
    QAction* m_pDisconnect = nullptr;
    QAction* m_pSaveToEeprom = nullptr;
    QAction* m_pExit = nullptr;
    QAction* m_pStatusBar = nullptr;
    QAction* m_pAbout = nullptr;

    bool m_bClosed = false;
    bool m_bEndingModalWindows = false;
};
