#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ConnectDlg.h"
#include "app/MainFrame.h"
#include "app/MotorListDlg.h"
#include "app/ParamConverterDlg.h"
#include "drive/BaseDriver.h"
#include "drive/Step1x3Driver.h"
#include "drive/TarvixMaster.h"
#include "pages/FormParam.h"
#include "pages/VcmEdit.h"
#include "pages/ViewSetting.h"
#include "tests/app/AppTestSupport.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/ProgressDlg.h"
#include "ui/VcmMessages.h"

namespace {

constexpr unsigned kCom = 212;

class FrameTest : public testing::Test {
protected:
    explicit FrameTest(const char* version = kSampleBipolarVersion) : m_version(version) {}

    void SetUp() override
    {
        PlaySampleDrive(m_sim, m_version);
        m_frame = std::make_unique<CMainFrame>();
        m_frame->show();
    }
    void TearDown() override
    {
        m_log.reset();
        m_frame.reset();
        if (m_master->IsOpen())
            m_master->Close();
    }

    // Drive > Connect through the dialog with the port and rate stored.
    void Connect(int rate = 9600)
    {
        m_folder.StoreConnection(kCom, rate);
        PressConnectWhenAsked();
        m_frame->OnDriveConnect();
        ASSERT_TRUE(m_master->IsOpen());
        // Let the page's first reads run before anything is recorded.
        QCoreApplication::processEvents();
        m_sim->ClearRecord();
    }

    // Starts recording what the view is sent and the boxes shown.
    void Record() { m_log = std::make_unique<MessageLog>(m_frame->GetView(), m_boxes); }
    const Lines& Log() const { return m_log->entries; }

    QAction* Action(const char* name) const { return m_frame->findChild<QAction*>(name); }
    uint16_t BaudRateParam() const { return m_master->GetDriver()->GetBaudRateParam(); }

    const char* m_version;
    ProgramFolderWithData m_folder;
    SimulatedDriveOnCom m_sim{kCom};
    ScriptedMessageBoxes m_boxes;
    CTarvixMaster* m_master = GetTarvixMaster();
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<MessageLog> m_log;
};

std::vector<QString> ItemTexts(QMenu* menu)
{
    std::vector<QString> texts;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            texts.push_back(action->text());
    return texts;
}

}  // namespace

TEST_F(FrameTest, MenuBarCarriesTheShortMenu)
{
    EXPECT_EQ(m_frame->width(), 440);
    EXPECT_EQ(m_frame->maximumWidth(), 440);
    std::vector<QString> titles;
    for (QAction* menu : m_frame->menuBar()->actions())
        titles.push_back(menu->text());
    EXPECT_EQ(titles, (std::vector<QString>{"&Drive", "&View", "&Help"}));
    EXPECT_EQ(ItemTexts(m_frame->findChild<QMenu*>("driveMenu")),
              (std::vector<QString>{"Connect", "Disconnect", "Save to EEPROM", "E&xit"}));
    EXPECT_EQ(Action("actionConnect")->statusTip(), "Connect to Tarvix Driver");
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), "Ready");
}

TEST_F(FrameTest, CommandsAreEnabledByThePortState)
{
    auto enabled = [this] {
        return std::vector<bool>{Action("actionConnect")->isEnabled(),
                                 Action("actionDisconnect")->isEnabled(),
                                 Action("actionSaveToEeprom")->isEnabled()};
    };
    EXPECT_EQ(enabled(), (std::vector<bool>{true, false, false}));
    Connect();
    EXPECT_EQ(enabled(), (std::vector<bool>{false, true, true}));
    Action("actionDisconnect")->trigger();
    EXPECT_EQ(enabled(), (std::vector<bool>{true, false, false}));
}

TEST_F(FrameTest, ConnectReadsEveryParameterShowsTheDriveAndStartsPolling)
{
    Record();
    m_folder.StoreConnection(kCom, 9600);
    PressConnectWhenAsked();
    m_frame->OnDriveConnect();

    EXPECT_EQ(Log(), (Lines{"start"}));
    EXPECT_TRUE(m_frame->GetView()->IsDriveShown());
    EXPECT_TRUE(m_frame->GetView()->IsPollTimerActive());
    EXPECT_EQ(m_frame->GetView()->GetVersionText(), QString::fromLatin1(kSampleBipolarVersion));
    // Handshake, identification, every parameter, then the view's "VR".
    Lines wire = m_sim->ReceivedLines();
    const size_t count = m_master->GetDriver()->GetParameterCount();
    ASSERT_GE(wire.size(), 3 + 1 + count + 1);
    EXPECT_EQ(Lines(wire.begin(), wire.begin() + 4), (Lines{"", "VR", "VR", "MA0"}));
    EXPECT_EQ(Lines(wire.begin() + 4, wire.begin() + 4 + count), Lines(count, "MD"));
    EXPECT_EQ(wire[4 + count], "VR");
}

TEST_F(FrameTest, FailedReadAfterConnectLeavesThePortOpenAndThePageEmpty)
{
    Record();
    m_sim->InjectFault(Fault(FaultKind::ErrorAnswer), 1, "MD");
    m_boxes.Answer(host::IDIGNORE);
    m_folder.StoreConnection(kCom, 9600);
    PressConnectWhenAsked();
    m_frame->OnDriveConnect();

    EXPECT_EQ(Log(), (Lines{"box Command \"MD\" was failed.\nError 1"}));
    EXPECT_TRUE(m_master->IsOpen());
    EXPECT_FALSE(m_frame->GetView()->IsDriveShown());
    EXPECT_FALSE(m_frame->GetView()->IsPollTimerActive());
    EXPECT_TRUE(Action("actionDisconnect")->isEnabled());
}

// A failure has closed the port under the shown page, and Drive > Connect
// comes before any tick: the connect replaces the drive model that the page's
// rows point into. Refused, or with a failed read of all parameters, it must
// leave no row of the earlier drive (a typed key would reach freed records).
class ConnectOverAClosedPort : public FrameTest, public testing::WithParamInterface<bool> {};

TEST_P(ConnectOverAClosedPort, LeavesNoRowOfTheEarlierDrive)
{
    const bool refused = GetParam();
    Connect();
    CViewSetting* view = m_frame->GetView();
    QPointer<CVcmEdit> edit;
    for (CVcmEdit* e : view->GetFormParam()->GetEdits())
        if (e->isEnabled() && !e->isReadOnly()) {
            edit = e;
            break;
        }
    ASSERT_TRUE(edit);
    const auto typeOne = [&] {
        edit->selectAll();
        QTest::keyClicks(edit.data(), "1");
        QTest::keyClick(edit.data(), Qt::Key_Return);
    };
    // A write whose echo never comes closes the port.
    m_boxes.Answer(host::IDIGNORE);
    m_sim->InjectFault(Fault(FaultKind::Silent), 1, "MD");
    typeOne();
    ASSERT_FALSE(m_master->IsOpen());
    ASSERT_TRUE(view->IsDriveShown());

    if (refused) {
        m_sim->SetVersionText("Morvane VCM Version 9.9.9 beta");
        m_boxes.Answer(host::IDOK);  // not supported
        WhenModal<CConnectDlg>([](CConnectDlg* dlg) {
            dlg->findChild<QPushButton*>("connect")->click();
            dlg->reject();
        });
    } else {
        m_sim->InjectFault(Fault(FaultKind::ErrorAnswer), 1, "MD");
        m_boxes.Answer(host::IDIGNORE);
        PressConnectWhenAsked();
    }
    m_frame->OnDriveConnect();
    EXPECT_EQ(m_master->IsOpen(), !refused);
    if (edit)
        typeOne();
    EXPECT_TRUE(edit.isNull());
    EXPECT_TRUE(view->GetFormParam()->GetLabels().empty());
    EXPECT_TRUE(view->GetVersionText().isEmpty());
    EXPECT_FALSE(view->IsPollTimerActive());
    EXPECT_EQ(m_boxes.Count(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Connects, ConnectOverAClosedPort, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Refused" : "ReadOfAllParametersFails"; });

TEST_F(FrameTest, DisconnectAtAnotherRateWritesCode5First)
{
    Connect(19200);
    EXPECT_EQ(m_master->GetBaudRate(), 19200);
    EXPECT_EQ(m_sim->GetLineRate(), 19200);
    Record();
    m_frame->OnDriveDisconnect();
    EXPECT_EQ(m_sim->ReceivedLines(), (Lines{"MA" + std::to_string(BaudRateParam()), "MD5"}));
    EXPECT_EQ(m_sim->GetLineRate(), 9600);
    EXPECT_FALSE(m_master->IsOpen());
    EXPECT_FALSE(m_frame->GetView()->IsDriveShown());
    EXPECT_EQ(m_frame->GetView()->GetVersionText(), "");
    // No busy messages around a disconnect.
    EXPECT_TRUE(Log().empty());

    // At 9600 nothing is sent.
    Connect(9600);
    m_frame->OnDriveDisconnect();
    EXPECT_TRUE(m_sim->ReceivedLines().empty());
}

TEST_F(FrameTest, ClosingTheFrameDisconnectsLikeTheCommand)
{
    Connect(38400);
    EXPECT_TRUE(m_frame->close());
    EXPECT_EQ(m_sim->ReceivedLines(), (Lines{"MA" + std::to_string(BaudRateParam()), "MD5"}));
    EXPECT_FALSE(m_master->IsOpen());
}

namespace {

struct CommandCase {
    const char* name;
    void (CMainFrame::*command)();
    const char* word;  // the command line on the wire
    bool fail;
    Lines log;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

const CommandCase kCommands[] = {
    {"SaveToEeprom", &CMainFrame::OnSaveToEeprom, "SP", false,
     {"stop", "box Saving parameter was completed successfully.", "start"}},
    {"SaveToEepromFails", &CMainFrame::OnSaveToEeprom, "SP", true,
     {"stop", "box Command \"SP\" was failed.\nError 1", "box Saving parameter was failed.",
      "start"}},
    {"LoadFromEeprom", &CMainFrame::OnLoadFromEeprom, "LP", false,
     {"stop", "refresh 2", "box Loading parameters complete.", "start"}},
    {"LoadFromEepromFails", &CMainFrame::OnLoadFromEeprom, "LP", true,
     {"stop", "box Command \"LP\" was failed.\nError 1", "box Load parameters is failed.",
      "start"}},
    {"LoadDefault", &CMainFrame::OnLoadDefault, "LD", false, {"stop", "refresh 2", "start"}},
    {"LoadDefaultFails", &CMainFrame::OnLoadDefault, "LD", true,
     {"stop", "box Command \"LD\" was failed.\nError 1",
      "box Setting parameters to default is failed.", "start"}},
};

class FrameCommandTest : public FrameTest, public testing::WithParamInterface<CommandCase> {};

}  // namespace

TEST_P(FrameCommandTest, BusyMessagesResultAndWire)
{
    const CommandCase& c = GetParam();
    Connect();
    if (c.fail) {
        m_sim->InjectFault(Fault(FaultKind::ErrorAnswer), 1, c.word);
        m_boxes.Answer(host::IDIGNORE);
    }
    m_boxes.AnswerAlways(host::IDOK);
    Record();
    (m_frame.get()->*c.command)();
    EXPECT_EQ(Log(), c.log);
    for (const auto& box : m_boxes.Shown())
        EXPECT_EQ(box.caption, "");
    ASSERT_FALSE(m_sim->ReceivedLines().empty());
    EXPECT_EQ(m_sim->ReceivedLines()[0], c.word);
    EXPECT_TRUE(m_frame->GetView()->IsPollTimerActive());
}

INSTANTIATE_TEST_SUITE_P(Commands, FrameCommandTest, testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FrameTest, SaveScriptFileThenExecuteIt)
{
    Connect();
    const std::string typed = m_folder.Path() + "script";
    const std::string saved = typed + ".txt";
    m_boxes.AnswerAlways(host::IDOK);
    Record();
    AnswerFileDialog(typed);
    m_frame->OnSaveScriptFile();
    EXPECT_EQ(Log(), (Lines{"stop", "box Saving parameter was completed successfully.", "start"}));
    const std::string script = ReadWholeFile(saved);
    EXPECT_EQ(script.rfind(std::string("VR") + kSampleBipolarVersion + "\r\r\n", 0), 0u);

    m_log->entries.clear();
    m_sim->ClearRecord();
    AnswerFileDialog(saved);
    m_frame->OnExecuteScriptFile();
    EXPECT_EQ(Log(), (Lines{"stop", "refresh 2", "start"}));
    EXPECT_EQ(m_sim->ReceivedLines().at(0), "VR");
}

TEST_F(FrameTest, ScriptThatFailsIsReportedAndThePageReRead)
{
    Connect();
    const std::string path = m_folder.Path() + "empty.txt";
    WriteWholeFile(path, "");
    m_boxes.AnswerAlways(host::IDOK);
    Record();
    AnswerFileDialog(path);
    m_frame->OnExecuteScriptFile();
    EXPECT_EQ(Log(), (Lines{"stop", "box Load parameter is failed.", "refresh 2", "start"}));
}

TEST_F(FrameTest, CancelledFileDialogsSendNothing)
{
    Connect();
    Record();
    AnswerFileDialog("");
    m_frame->OnSaveScriptFile();
    AnswerFileDialog("");
    m_frame->OnExecuteScriptFile();
    EXPECT_TRUE(Log().empty());
    EXPECT_TRUE(m_sim->ReceivedLines().empty());
}

TEST_F(FrameTest, FailedScriptSaveLeavesTheEarlierFileIntact)
{
    Connect();
    const std::string path = m_folder.Path() + "earlier.txt";
    WriteWholeFile(path, "VRearlier script\nMA 5\n");
    // A read in the middle of the save is refused.
    m_sim->InjectFault(Fault(FaultKind::ErrorAnswer), 1, "MD");
    m_boxes.Answer(host::IDIGNORE);
    m_boxes.Answer(host::IDOK);
    Record();
    AnswerFileDialog(path);
    m_frame->OnSaveScriptFile();
    EXPECT_EQ(Log(), (Lines{"stop", "box Command \"MD\" was failed.\nError 1",
                            "box Saving parameter was failed.", "start"}));
    EXPECT_EQ(ReadWholeFile(path), "VRearlier script\nMA 5\n");
    // No half-written file is left beside it.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path()))
        files += entry.is_regular_file() && entry.path().extension() != ".lua" &&
                 entry.path().filename() != "Connection.ini";
    EXPECT_EQ(files, 1u);
}

namespace {

class MultiMotorFrameTest : public FrameTest {
protected:
    MultiMotorFrameTest() : FrameTest(kSampleMultiMotorVersion) {}
};

std::string ExpectedMotorFile(const std::string& version, QTreeWidget* rows)
{
    std::string bytes = "Drive Version: " + version + "\r\r\n\r\r\n\r\r\n\t\t\tMotors List\r\r\n";
    for (int i = 0; i < rows->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = rows->topLevelItem(i);
        bytes += "\r\r\n\r\r\n" + row->text(0).toStdString() + " \t " + row->text(1).toStdString() +
                 " \t " + row->text(2).toStdString();
    }
    return bytes;
}

}  // namespace

TEST_F(MultiMotorFrameTest, MotorListShowsSixteenSlotsAndSavesThemByteForByte)
{
    Connect();
    const std::string path = m_folder.Path() + "motors.txt";
    WriteWholeFile(path, "an earlier list");
    std::string expected;
    std::vector<QString> numbers;
    m_boxes.AnswerAlways(host::IDOK);
    Record();
    WhenModal<CMotorListDlg>([&](CMotorListDlg* dlg) {
        auto* rows = dlg->findChild<QTreeWidget*>("motorList");
        for (int i = 0; i < rows->topLevelItemCount(); ++i) {
            numbers.push_back(rows->topLevelItem(i)->text(0));
            EXPECT_FALSE(rows->topLevelItem(i)->text(2).isEmpty());
        }
        expected = ExpectedMotorFile(kSampleMultiMotorVersion, rows);
        AnswerFileDialog(path);
        dlg->findChild<QPushButton*>("saveToFile")->click();
        dlg->accept();
    });
    SendVcmMessage(m_frame.get(), WM_SHOW_MOTOR_LIST);

    ASSERT_EQ(numbers.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(numbers[i], QString::number(i));
    EXPECT_EQ(ReadWholeFile(path), expected);
    // The download left the motor pointer at the last slot: the cache is
    // forgotten and the page re-read before polling resumes.
    EXPECT_EQ(Log(), (Lines{"stop", "box Saving parameter was completed successfully.",
                            "refresh 2", "start"}));
    EXPECT_FALSE(m_master->GetCacheEntry(0)->valid);
}

TEST_F(MultiMotorFrameTest, SavingTheScriptForgetsTheMotorSlotValues)
{
    Connect();
    m_boxes.AnswerAlways(host::IDOK);
    Record();
    AnswerFileDialog(m_folder.Path() + "multi.txt");
    m_frame->OnSaveScriptFile();
    EXPECT_EQ(Log(), (Lines{"stop", "box Saving parameter was completed successfully.",
                            "refresh 2", "start"}));
    EXPECT_FALSE(m_master->GetCacheEntry(0)->valid);
}

TEST_F(MultiMotorFrameTest, MotorListNotWhollyWrittenIsAFailure)
{
    Connect();
    CMotorListDlg dlg;
    FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::setvbuf(full, nullptr, _IONBF, 0);
    EXPECT_FALSE(dlg.WriteMotorList(full));
    std::fclose(full);
}

TEST_F(MultiMotorFrameTest, TheMainWindowTakesNoInputDuringTheMotorListDownload)
{
    Connect();
    CVcmEdit* edit = nullptr;
    for (CVcmEdit* e : m_frame->GetView()->findChildren<CVcmEdit*>())
        if (!edit && e->isVisible() && e->isEnabled() && !e->isReadOnly())
            edit = e;
    ASSERT_NE(edit, nullptr);

    // Once the download's progress window is up, the user types a value
    // into the page and presses Enter.
    bool typed = false, frameEnabled = true;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (typed || !qobject_cast<CProgressDlg*>(w) || !w->isVisible())
                continue;
            typed = true;
            frameEnabled = m_frame->isEnabled();
            QTest::keyClicks(edit, "4314");
            QTest::keyClick(edit, Qt::Key_Return);
        }
    });
    user.start(0);
    WhenModal<CMotorListDlg>([](CMotorListDlg* dlg) { dlg->reject(); });
    m_master->ForgetCurrentAddress();
    m_sim->ClearRecord();
    SendVcmMessage(m_frame.get(), WM_SHOW_MOTOR_LIST);
    user.stop();
    const Lines wire = m_sim->ReceivedLines();

    ASSERT_TRUE(typed);
    EXPECT_FALSE(frameEnabled);
    // The wire carries the download and nothing else.
    m_master->ForgetCurrentAddress();
    m_sim->ClearRecord();
    ASSERT_TRUE(dynamic_cast<CStep1x3Driver*>(m_master->GetDriver())->DownloadMotorList(nullptr));
    EXPECT_EQ(wire, m_sim->ReceivedLines());
    EXPECT_TRUE(m_frame->isEnabled());
}

TEST_F(FrameTest, MotorListOfADriveWithoutOneIsEmpty)
{
    Connect();
    WhenModal<CMotorListDlg>([](CMotorListDlg* dlg) {
        EXPECT_EQ(dlg->findChild<QTreeWidget*>("motorList")->topLevelItemCount(), 0);
        EXPECT_FALSE(dlg->findChild<QPushButton*>("saveToFile")->isEnabled());
        dlg->reject();
    });
    SendVcmMessage(m_frame.get(), WM_SHOW_MOTOR_LIST);
}

namespace {

// "Tarvix Bipolar Version 1.1.2 (Jan 12 2026)" -> "Tarvix-Bipolar-1.1.2"
std::string PictureName(const std::string& version)
{
    std::string name = version.substr(0, version.find(" ("));
    if (size_t at = name.find(" Version"); at != std::string::npos)
        name.erase(at, 8);
    for (char& c : name)
        if (c == ' ')
            c = '-';
    return name;
}

class FramePictureTest : public FrameTest, public testing::WithParamInterface<const char*> {
protected:
    FramePictureTest() : FrameTest(GetParam()) {}
};

}  // namespace

TEST_P(FramePictureTest, MainWindowConnectedToEachSampleDrive)
{
    Connect(19200);
    QTest::qWait(50);
    const QString file = QStringLiteral(TARVIX_BUILD_DIR "/main-%1.png")
                             .arg(QString::fromStdString(PictureName(GetParam())));
    QImage picture = m_frame->grab().toImage();
    ASSERT_TRUE(picture.save(file)) << file.toStdString();
    EXPECT_EQ(picture.width(), 440 * picture.devicePixelRatio());
    EXPECT_EQ(m_frame->GetView()->GetVersionText(), QString::fromLatin1(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(SampleDrives, FramePictureTest, testing::ValuesIn(kSampleVersions),
                         [](const auto& info) {
                             std::string name = PictureName(info.param);
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST_F(FrameTest, ConverterRunsWithoutADrive)
{
    bool shown = false;
    WhenModal<CParamConverterDlg>([&](CParamConverterDlg* dlg) {
        shown = true;
        dlg->reject();
    });
    m_frame->OnParameterConverter();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(m_master->IsOpen());
}
