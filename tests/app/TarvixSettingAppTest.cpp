#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>

#include "app/AboutDlg.h"
#include "app/ConnectDlg.h"
#include "app/MainFrame.h"
#include "app/TarvixSettingApp.h"
#include "drive/TarvixMaster.h"
#include "pages/ViewSetting.h"
#include "tests/app/AppTestSupport.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/VcmMessages.h"

namespace {

constexpr unsigned kCom = 213;

// Keeps the test run's message-box handler across an application start-up,
// which installs the real boxes.
class KeepMessageBoxHandler {
public:
    KeepMessageBoxHandler() : m_saved(host::SetMessageBoxHandler({})) { host::SetMessageBoxHandler(m_saved); }
    ~KeepMessageBoxHandler() { host::SetMessageBoxHandler(m_saved); }

private:
    host::MessageBoxHandler m_saved;
};

}  // namespace

TEST(TarvixSettingAppTest, StartUpShowsTheFrameWithNothingConnected)
{
    KeepMessageBoxHandler keep;
    CTarvixSettingApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.GetMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), "TarvixSetting");
    EXPECT_FALSE(frame->windowIcon().isNull());
    EXPECT_EQ(GetMainWnd(), frame);
    EXPECT_FALSE(GetTarvixMaster()->IsOpen());
    EXPECT_FALSE(frame->GetView()->IsPollTimerActive());
    QString version;
    WhenModal<CAboutDlg>([&](CAboutDlg* dlg) {
        version = dlg->findChild<QLabel*>("productVersion")->text();
        dlg->accept();
    });
    frame->GetAboutAction()->trigger();
    EXPECT_EQ(version, "Ver. 3.4.1.21 (rev.174)");
}

// Abort in a failed exchange closes the program, but only after the command
// that was running has unwound: nothing is deleted under it.
TEST(TarvixSettingAppTest, AbortClosesTheFrameOnceTheCommandHasReturned)
{
    ProgramFolderWithData folder;
    SimulatedDriveOnCom sim(kCom);
    PlaySampleDrive(sim, kSampleBipolarVersion);
    folder.StoreConnection(kCom, 19200);
    KeepMessageBoxHandler keep;
    CTarvixSettingApp app;
    ASSERT_TRUE(app.InitInstance());
    ScriptedMessageBoxes boxes;
    CMainFrame* frame = app.GetMainFrame();
    PressConnectWhenAsked();
    frame->OnDriveConnect();
    ASSERT_TRUE(GetTarvixMaster()->IsOpen());

    sim->InjectFault(Fault(FaultKind::ErrorAnswer), 1, "SP");
    boxes.Answer(host::IDABORT);
    boxes.WhileShown([&] { QCoreApplication::processEvents(); });
    frame->OnSaveToEeprom();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(GetTarvixMaster()->IsOpen());
    // Not even the command's own failure message follows the Abort.
    EXPECT_EQ(boxes.Count(), 1u);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));
    EXPECT_FALSE(GetTarvixMaster()->IsOpen());
    // Closing at 19200 set the drive back to 9600.
    EXPECT_EQ(sim->GetLineRate(), 9600);
}
