#include "tests/pages/ViewHost.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QResizeEvent>
#include <QTimerEvent>
#include <QTimer>

#include "drive/TarvixMaster.h"
#include "pages/ViewSetting.h"
#include "tools/drivesim/DriveProfile.h"
#include "ui/VcmMessages.h"

ViewHost::ViewHost(int height) : m_pView(new CViewSetting(this))
{
    setObjectName(QStringLiteral("viewHost"));
    resize(440, height);
    SetMainWnd(this);
}

ViewHost::~ViewHost()
{
    if (GetMainWnd() == this)
        SetMainWnd(nullptr);
}

bool ViewHost::event(QEvent* event)
{
    switch (static_cast<int>(event->type())) {
    case WM_POLL_START:
    case WM_POLL_STOP:
        SendVcmMessage(m_pView, event->type());
        return true;
    case WM_VCM_REFRESH:
        PostVcmMessage(m_pView, WM_VCM_REFRESH, static_cast<CVcmMessage*>(event)->wParam, 0);
        return true;
    default:
        return QWidget::event(event);
    }
}

void ViewHost::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_pView->setGeometry(rect());
}

ConnectedDrive::ConnectedDrive(const std::string& versionText)
{
    DriveProfile profile;
    std::string error;
    if (!LoadDriveProfile(versionText, profile, error)) {
        ADD_FAILURE() << "no profile for " << versionText << ": " << error;
        return;
    }
    m_sim->ApplyProfile(profile);
    CTarvixMaster* master = GetTarvixMaster();
    master->SetShowErrorBox(false);
    if (master->Connect(static_cast<uint8_t>(m_sim.Com()), kBaudCode9600, true) != kConnectOk) {
        ADD_FAILURE() << "connect failed";
        return;
    }
    EXPECT_TRUE(master->ReadAllParameters(nullptr)) << "reading all parameters failed";
    // Tests that want the exchange's error box turn it on themselves.
    master->SetShowErrorBox(false);
    m_sim->ClearRecord();
}

ConnectedDrive::~ConnectedDrive()
{
    GetTarvixMaster()->SetShowErrorBox(false);
    GetTarvixMaster()->Close();
}

void FireTimer(QObject* timer)
{
    auto* qtimer = qobject_cast<QTimer*>(timer);
    ASSERT_NE(qtimer, nullptr);
    ASSERT_TRUE(qtimer->isActive());
    QTimerEvent tick(qtimer->timerId());
    QCoreApplication::sendEvent(qtimer, &tick);
}

void RunPostedEvents()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

std::vector<int> ReadParameters(const std::vector<std::string>& lines)
{
    std::vector<int> read;
    int address = -1;
    for (const std::string& line : lines) {
        if (line.rfind("MA", 0) == 0)
            address = std::stoi(line.substr(2));
        else if (line == "MD")
            read.push_back(address++);
        else if (line.rfind("MD", 0) == 0)
            ++address;
    }
    return read;
}
