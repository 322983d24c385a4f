#include "app/TarvixSettingApp.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QStyleFactory>
#include <QTimer>

#include "app/AboutDlg.h"
#include "app/MainFrame.h"
#include "pages/VcmColours.h"
#include "platform/CloseRequest.h"
#include "ui/AppMessageBox.h"

static void InitAppResources()
{
    // The resources live in a static library: pull them in by name.
    Q_INIT_RESOURCE(TarvixSetting);
}

CTarvixSettingApp::CTarvixSettingApp() = default;

CTarvixSettingApp::~CTarvixSettingApp()
{
    host::SetCloseHandler({});
}

QIcon CTarvixSettingApp::AppIcon()
{
    static const bool loaded = (InitAppResources(), true);
    (void)loaded;
    return QIcon(QStringLiteral(":/res/TarvixSetting.png"));
}

bool CTarvixSettingApp::InitInstance()
{
    QApplication::setApplicationName(QStringLiteral("TarvixSetting"));
    if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(style);
    InstallAppMessageBox();
    // The controls' colours come from the palette once, before any window exists.
    GetVcmColours();

    // The frame is the master's first user and so creates it.
    m_pMainFrame = std::make_unique<CMainFrame>();
    // Abort in a failed exchange closes the frame once the exchange has
    // unwound, from the top-level event loop.
    QPointer<CMainFrame> frame = m_pMainFrame.get();
    host::SetCloseHandler([frame] {
        if (frame)
            frame->RequestClose();
    });
    connect(m_pMainFrame->GetAboutAction(), &QAction::triggered, this,
            &CTarvixSettingApp::OnAppAbout);

    m_hIcon = AppIcon();
    m_pMainFrame->setWindowIcon(m_hIcon);
    m_pMainFrame->show();
    return true;
}

void CTarvixSettingApp::OnAppAbout()
{
    CAboutDlg dlg(m_pMainFrame.get());
    dlg.exec();
}
