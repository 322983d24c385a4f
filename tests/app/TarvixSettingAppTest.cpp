#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
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

// Abort in a failed exchange closes the program once the command that was
// running has unwound (nothing is deleted under it), whatever modal window it
// had up, without further input; closing sets the drive back to 9600.
struct AbortCase {
    const char* name;
    const char* failingCommand;
    std::function<void(CMainFrame*)> run;
};

void PrintTo(const AbortCase& c, std::ostream* os) { *os << c.name; }

class AbortTest : public testing::TestWithParam<AbortCase> {};

TEST_P(AbortTest, EndsTheProgramOnceTheCommandHasReturned)
{
    ProgramFolderWithData folder;
    SimulatedDriveOnCom sim(kCom);
    PlaySampleDrive(sim, kSampleMultiMotorVersion);
    folder.StoreConnection(kCom, 19200);
    KeepMessageBoxHandler keep;
    CTarvixSettingApp app;
    ASSERT_TRUE(app.InitInstance());
    ScriptedMessageBoxes boxes;
    CMainFrame* frame = app.GetMainFrame();
    PressConnectWhenAsked();
    frame->OnDriveConnect();
    ASSERT_TRUE(GetTarvixMaster()->IsOpen());

    // A modal window still up after the Abort would wait for the user: the
    // test ends it itself, and fails.
    bool waitedForTheUser = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            waitedForTheUser = true;
            dialog->reject();
        }
    });
    watchdog.start(5000);

    sim->InjectFault(Fault(FaultKind::ErrorAnswer, "Error 9"), 1, GetParam().failingCommand);
    boxes.Answer(host::IDABORT);
    boxes.WhileShown([&] { QCoreApplication::processEvents(); });
    GetParam().run(frame);
    EXPECT_FALSE(waitedForTheUser);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(GetTarvixMaster()->IsOpen());
    // Not even the command's own failure message follows the Abort.
    EXPECT_EQ(boxes.Count(), 1u);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));
    EXPECT_FALSE(GetTarvixMaster()->IsOpen());
    EXPECT_EQ(sim->GetLineRate(), 9600);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AbortTest,
    testing::Values(AbortCase{"SaveToEeprom", "SP", [](CMainFrame* f) { f->OnSaveToEeprom(); }},
                    AbortCase{"MotorListDialog", "LP",
                              [](CMainFrame* f) { SendVcmMessage(f, WM_SHOW_MOTOR_LIST); }}),
    [](const testing::TestParamInfo<AbortCase>& info) { return std::string(info.param.name); });
