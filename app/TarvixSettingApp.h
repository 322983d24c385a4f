#pragma once

#include <QIcon>
#include <QObject>

#include <memory>

class CMainFrame;

// The application: installs the message boxes and the close request of the
// drive layer, creates and shows the main frame, and owns Help > About. There
// is no document and no command line; after start-up no port is open.
class CTarvixSettingApp : public QObject {
    Q_OBJECT

public:
    CTarvixSettingApp();
    ~CTarvixSettingApp() override;
    CTarvixSettingApp(const CTarvixSettingApp&) = delete;
    CTarvixSettingApp& operator=(const CTarvixSettingApp&) = delete;

    // Start-up; false ends the program at once. Needs the QApplication.
    bool InitInstance();
    void OnAppAbout();

    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
    // Icon 128: the frame's icon and the about box's picture.
    static QIcon AppIcon();

private:
    std::unique_ptr<CMainFrame> m_pMainFrame;
    QIcon m_hIcon;
};
