#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <string>

#include "app/AboutDlg.h"
#include "app/AppMessageBox.h"
#include "app/ConnectDlg.h"
#include "app/MainFrame.h"
#include "app/TarvixSettingApp.h"
#include "drive/TarvixMaster.h"
#include "pages/VcmMessages.h"
#include "pages/ViewSetting.h"
#include "tests/app/AppTestSupport.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

using Fault = SimulatedDrive::Fault;
using FaultKind = SimulatedDrive::FaultKind;
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

struct AboutCase {
    const char* name;
    const char* productName;
    const char* productVersion;
    const char* shownName;
    const char* shownVersion;
};

void PrintTo(const AboutCase& c, std::ostream* os) { *os << c.name; }

const AboutCase kAbout[] = {
    {"Both", "TarvixSetting", "3.4.1.21", "TarvixSetting", "Ver. 3.4.1.21 (rev.174)"},
    {"NoName", nullptr, "3.4.1.21", "TarvixSetting", "Ver. 3.4.1.21 (rev.174)"},
    {"EmptyVersion", "Other", "", "Other", "Ver 1.0.0.1"},
};

class AboutTest : public testing::TestWithParam<AboutCase> {};

struct BoxCase {
    const char* name;
    unsigned type;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon;
    QMessageBox::StandardButton click;
    int answer;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

const BoxCase kBoxes[] = {
    {"Ok", host::MB_OK, QMessageBox::Ok, QMessageBox::NoIcon, QMessageBox::Ok, host::IDOK},
    {"AbortRetryIgnore", host::MB_ABORTRETRYIGNORE | host::MB_ICONEXCLAMATION,
     QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Warning,
     QMessageBox::Retry, host::IDRETRY},
    {"Abort", host::MB_ABORTRETRYIGNORE, QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
     QMessageBox::NoIcon, QMessageBox::Abort, host::IDABORT},
    {"YesNoHand", host::MB_YESNO | host::MB_ICONHAND, QMessageBox::Yes | QMessageBox::No,
     QMessageBox::Critical, QMessageBox::No, host::IDNO},
    {"YesQuestion", host::MB_YESNO | host::MB_ICONQUESTION, QMessageBox::Yes | QMessageBox::No,
     QMessageBox::Question, QMessageBox::Yes, host::IDYES},
    {"Information", host::MB_OK | host::MB_ICONINFORMATION, QMessageBox::Ok,
     QMessageBox::Information, QMessageBox::Ok, host::IDOK},
};

class AppMessageBoxTest : public testing::TestWithParam<BoxCase> {};

}  // namespace

TEST_P(AboutTest, NameAndVersionLines)
{
    const AboutCase& c = GetParam();
    CAboutDlg dlg;
    dlg.findChild<QLabel*>("productName")->setText("TarvixSetting");
    dlg.findChild<QLabel*>("productVersion")->setText("Ver 1.0.0.1");
    dlg.SetVersionText(c.productName, c.productVersion);
    EXPECT_EQ(dlg.findChild<QLabel*>("productName")->text(), c.shownName);
    EXPECT_EQ(dlg.findChild<QLabel*>("productVersion")->text(), c.shownVersion);
}

INSTANTIATE_TEST_SUITE_P(Versions, AboutTest, testing::ValuesIn(kAbout),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AboutBoxTest, ShowsTheBuildsVersion)
{
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "About TarvixSetting");
    EXPECT_EQ(dlg.findChild<QLabel*>("productVersion")->text(), "Ver. 3.4.1.21 (rev.174)");
    EXPECT_FALSE(dlg.findChild<QLabel*>("icon")->pixmap().isNull());
}

TEST_P(AppMessageBoxTest, ButtonsIconCaptionAndAnswer)
{
    const BoxCase& c = GetParam();
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        buttons = box->standardButtons();
        icon = box->icon();
        title = box->windowTitle();
        box->button(c.click)->click();
    });
    EXPECT_EQ(ShowAppMessageBox("Some text", "", c.type), c.answer);
    EXPECT_EQ(buttons, c.buttons);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(title, "TarvixSetting");
}

INSTANTIATE_TEST_SUITE_P(Types, AppMessageBoxTest, testing::ValuesIn(kBoxes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AppMessageBoxCaptionTest, OwnCaptionAndEscapeOnOk)
{
    QString title;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(ShowAppMessageBox("Failed to create file", "Error", host::MB_OK), host::IDOK);
    EXPECT_EQ(title, "Error");
}

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
    bool about = false;
    WhenModal<CAboutDlg>([&](CAboutDlg* dlg) {
        about = true;
        dlg->accept();
    });
    frame->GetAboutAction()->trigger();
    EXPECT_TRUE(about);
}

// Abort in a failed exchange closes the program, but only after the command
// that was running has unwound: nothing is deleted under it.
TEST(TarvixSettingAppTest, AbortClosesTheFrameOnceTheCommandHasReturned)
{
    ProgramFolderWithData folder;
    SimulatedDriveOnCom sim(kCom);
    PlaySampleDrive(sim, kSampleBipolarVersion);
    folder.Write("Connection.ini", "[COMM]\nPortNo=" + std::to_string(kCom) + "\nBaudrate=19200\n");
    KeepMessageBoxHandler keep;
    CTarvixSettingApp app;
    ASSERT_TRUE(app.InitInstance());
    ScriptedMessageBoxes boxes;
    CMainFrame* frame = app.GetMainFrame();
    WhenModal<CConnectDlg>([](CConnectDlg* dlg) { dlg->findChild<QPushButton*>("connect")->click(); });
    frame->OnDriveConnect();
    ASSERT_TRUE(GetTarvixMaster()->IsOpen());

    sim->InjectFault(Fault(FaultKind::ErrorAnswer), 1, "SP");
    boxes.Answer(host::IDABORT);
    boxes.Answer(host::IDOK);  // the command's own failure message
    boxes.WhileShown([&] { QCoreApplication::processEvents(); });
    frame->OnSaveToEeprom();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(GetTarvixMaster()->IsOpen());

    for (int i = 0; i < 100 && frame->isVisible(); ++i)
        QTest::qWait(10);
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(GetTarvixMaster()->IsOpen());
    // Closing at 19200 set the drive back to 9600.
    EXPECT_EQ(sim->GetLineRate(), 9600);
}
