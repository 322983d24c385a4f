#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>

#include <functional>
#include <string>
#include <vector>

#include "app/ConnectDlg.h"
#include "drive/TarvixMaster.h"
#include "tests/app/AppTestSupport.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

constexpr unsigned kCom = 211;

class ConnectDlgTest : public testing::Test {
protected:
    void SetUp() override { PlaySampleDrive(m_sim, kSampleBipolarVersion); }
    void TearDown() override
    {
        if (m_master->IsOpen())
            m_master->Close();
    }

    void WriteIni(const std::string& content) const { m_folder.Write("Connection.ini", content); }
    void StoreChoice(unsigned port, int rate) const { m_folder.StoreConnection(port, rate); }
    static QComboBox* Ports(CConnectDlg& dlg) { return dlg.findChild<QComboBox*>("portNo"); }
    static QComboBox* Rates(CConnectDlg& dlg) { return dlg.findChild<QComboBox*>("baudrate"); }

    // Opens the dialog on the stored choices and presses Connect.
    bool ConnectWithStoredChoice(CConnectDlg& dlg)
    {
        dlg.OnInitDialog();
        dlg.findChild<QPushButton*>("connect")->click();
        return dlg.result() == QDialog::Accepted;
    }

    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : m_boxes.Shown())
            texts.push_back(box.text);
        return texts;
    }

    ProgramFolderWithData m_folder;
    SimulatedDriveOnCom m_sim{kCom};
    ScriptedMessageBoxes m_boxes;
    CTarvixMaster* m_master = GetTarvixMaster();
};

struct FailureCase {
    const char* name;
    int rate;
    std::function<void(ConnectDlgTest&, SimulatedDrive&, ProgramFolderWithData&)> arrange;
    std::vector<int> answers;  // to boxes of the exchange layer
    std::vector<std::string> boxes;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ConnectFailureTest : public ConnectDlgTest, public testing::WithParamInterface<FailureCase> {};

const FailureCase kFailures[] = {
    {"NoResponse", 9600,
     [](auto&, SimulatedDrive& d, auto&) { d.InjectFault(Fault(FaultKind::Silent), -1, "VR"); },
     {},
     {"There is no response. (you may select wrong baudrate or wrong port no.)"}},
    {"NoResponseAfterTheSecondAttempt", 19200,
     [](auto&, SimulatedDrive& d, auto&) { d.InjectFault(Fault(FaultKind::Silent), -1, "VR"); },
     {},
     {"There is no response. (you may select wrong baudrate or wrong port no.)"}},
    {"NoAnswer", 9600,
     [](auto&, SimulatedDrive& d, auto&) { d.InjectFault(Fault(FaultKind::NoAnswer), 1, "VR"); },
     {},
     {"The VR command was failed."}},
    {"ErrorAnswer", 9600,
     [](auto&, SimulatedDrive& d, auto&) {
         d.InjectFault(Fault(FaultKind::ErrorAnswer, "Error 4"), 1, "VR");
     },
     {},
     {"The VR command was failed."}},
    {"VersionNotUnderstandable", 9600,
     [](auto&, SimulatedDrive& d, auto&) { d.SetVersionText("Tarvix Bipolar Version 1"); },
     {},
     {"The version string which received by VR is NOT understandable.\n\n"
      "Target Ver : Tarvix Bipolar Version 1"}},
    {"VersionNotSupported", 9600,
     [](auto&, SimulatedDrive& d, auto&) { d.SetVersionText("Morvane VCM Version 9.9.9 beta"); },
     {},
     {"The version of selected device is NOT supported yet.\n\n"
      "Target Ver : Morvane VCM Version 9.9.9 beta"}},
    {"VersionQuotedCutShort", 9600,
     [](auto&, SimulatedDrive& d, auto&) {
         d.SetVersionText("Morvane VCM Version 9.9.9 " + std::string(150, 'x'));
     },
     {},
     {"The version of selected device is NOT supported yet.\n\nTarget Ver : Morvane VCM Version "
      "9.9.9 " + std::string(119 - 26, 'x')}},
    {"BaudSwitchRefused", 19200,
     [](auto&, SimulatedDrive& d, auto&) {
         d.InjectFault(Fault(FaultKind::ErrorAnswer, "Error 9"), 1, "MD");
     },
     {host::IDIGNORE},
     {"Command \"MD6\" was failed.\nError 9", "Failed to change Baudrate."}},
    {"DatabaseFileMissing", 9600,
     [](auto&, auto&, ProgramFolderWithData& f) { f.Remove("MotorTable.lua"); },
     {},
     {"Failed to read drive database file."}},
    {"DatabaseContentError", 9600,
     [](auto&, SimulatedDrive& d, ProgramFolderWithData& f) {
         d.SetVersionText("TARVIX Bipolar Version 7.3.0");
         f.Write("VersionList.lua",
                 "VersionList = { { 'TARVIX Bipolar Version 7.3.x', 1, 'empty.lua', 'd.lua', "
                 "'s.lua' } }\n");
         f.Write("empty.lua",
                 "DB_Var_SerialComm_bps = 2\nNUMBER_OF_PARAMETERS = 8\n"
                 "NUMBER_OF_PARAMETERS_EEPROM_ONLY = 8\nParamView = {}\n");
         f.Write("d.lua", "Default_Value = { 1, 2, 3, 4, 5, 6, 7, 8 }\n");
         f.Write("s.lua", "ParamDescription = { 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h' }\n");
     },
     {},
     {"Failed to load database file.\nFailed to get section list.:\nempty.lua\nParamView"}},
};

}  // namespace

TEST_P(ConnectFailureTest, ShowsTheResultsMessageAndKeepsTheIni)
{
    const FailureCase& c = GetParam();
    StoreChoice(kCom, c.rate);
    c.arrange(*this, m_sim.Drive(), m_folder);
    for (int answer : c.answers)
        m_boxes.Answer(answer);
    m_boxes.AnswerAlways(host::IDOK);
    const std::string iniBefore = m_folder.Read("Connection.ini");

    CConnectDlg dlg;
    EXPECT_FALSE(ConnectWithStoredChoice(dlg));
    EXPECT_EQ(BoxTexts(), c.boxes);
    // The result's own message carries the caption "Error".
    EXPECT_EQ(m_boxes.Shown().back().caption, "Error");
    EXPECT_FALSE(m_master->IsOpen());
    EXPECT_EQ(m_folder.Read("Connection.ini"), iniBefore);
    // The dialog stays usable for another try.
    EXPECT_TRUE(dlg.findChild<QPushButton*>("connect")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Results, ConnectFailureTest, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectDlgTest, PortThatCannotBeOpenedIsReported)
{
    ComOverride noDevice(kCom + 1, "/dev/null");
    StoreChoice(kCom + 1, 9600);
    m_boxes.Answer(host::IDOK);
    CConnectDlg dlg;
    EXPECT_FALSE(ConnectWithStoredChoice(dlg));
    EXPECT_EQ(BoxTexts(), (Lines{"Can NOT connect selected port."}));
}

TEST_F(ConnectDlgTest, SuccessWritesTheIniAndTheNextDialogPreselectsIt)
{
    WriteIni("[Other]\nKey=1\n");
    {
        CConnectDlg dlg;
        dlg.OnInitDialog();
        Ports(dlg)->setCurrentIndex(Ports(dlg)->findText(QString::number(kCom)));
        Rates(dlg)->setCurrentIndex(Rates(dlg)->findText("38400"));
        dlg.OnBnClickedConnect();
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(m_master->IsOpen());
    EXPECT_EQ(m_master->GetBaudRate(), 38400);
    const std::string ini = m_folder.Read("Connection.ini");
    EXPECT_NE(ini.find("[Other]"), std::string::npos);
    EXPECT_NE(ini.find("PortNo=" + std::to_string(kCom)), std::string::npos);
    EXPECT_NE(ini.find("Baudrate=38400"), std::string::npos);

    m_master->Close();
    CConnectDlg next;
    next.OnInitDialog();
    EXPECT_EQ(Ports(next)->currentText(), QString::number(kCom));
    EXPECT_EQ(Rates(next)->currentText(), "38400");
}

TEST_F(ConnectDlgTest, DriveAlreadyAtTheChosenRateAnswersTheSecondAttempt)
{
    m_sim->SetLineRate(115200);
    StoreChoice(kCom, 115200);
    CConnectDlg dlg;
    EXPECT_TRUE(ConnectWithStoredChoice(dlg));
    EXPECT_EQ(m_boxes.Count(), 0u);
    EXPECT_EQ(m_master->GetBaudRate(), 115200);
    // Nothing was heard at 9600; then one handshake straight at 115200, no switch.
    EXPECT_EQ(m_sim->ReceivedLines(), (Lines{"", "VR", "VR"}));
    EXPECT_NE(m_folder.Read("Connection.ini").find("Baudrate=115200"), std::string::npos);
}

TEST_F(ConnectDlgTest, NoResponseAt9600IsReportedWithoutASecondAttempt)
{
    m_sim->InjectFault(Fault(FaultKind::Silent), -1, "VR");
    StoreChoice(kCom, 9600);
    m_boxes.Answer(host::IDOK);
    CConnectDlg dlg;
    EXPECT_FALSE(ConnectWithStoredChoice(dlg));
    EXPECT_EQ(m_sim->ReceivedLines(), (Lines{"", "VR"}));
}

struct PreselectCase {
    const char* name;
    const char* ini;  // nullptr: no file
    const char* rate;
};

void PrintTo(const PreselectCase& c, std::ostream* os) { *os << c.name; }

class ConnectPreselectTest : public ConnectDlgTest,
                             public testing::WithParamInterface<PreselectCase> {};

const PreselectCase kPreselect[] = {
    {"DamagedFileGivesDefaults", "\x01\x02garbage=\n[COMM\nBaudrate\n", "19200"},
    {"UnknownRateSelectsTheFirst", "[COMM]\nBaudrate=4800\n", "9600"},
    {"RateFoundByItsLeadingText", "[comm]\nbaudrate=5760\n", "57600"},
};

TEST_P(ConnectPreselectTest, RateAndPortFromTheIni)
{
    const PreselectCase& c = GetParam();
    if (c.ini)
        WriteIni(c.ini);
    CConnectDlg dlg;
    dlg.OnInitDialog();
    EXPECT_EQ(Rates(dlg)->currentText(), c.rate);
    // No stored port (or none listed) selects the first item.
    QString stored = QString::number(1);
    int match = Ports(dlg)->findText(stored, Qt::MatchStartsWith);
    EXPECT_EQ(Ports(dlg)->currentIndex(), match < 0 ? 0 : match);
}

INSTANTIATE_TEST_SUITE_P(Ini, ConnectPreselectTest, testing::ValuesIn(kPreselect),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectDlgTest, PortListIsTheEnumerationWithDevicePaths)
{
    CConnectDlg dlg;
    dlg.OnInitDialog();
    std::vector<unsigned> ports;
    CTarvixMaster::EnumeratePorts(ports);
    QStringList expected;
    for (unsigned port : ports)
        expected << QString::number(port);
    QStringList shown;
    for (int i = 0; i < Ports(dlg)->count(); ++i)
        shown << Ports(dlg)->itemText(i);
    EXPECT_EQ(shown, expected);
    Ports(dlg)->setCurrentIndex(Ports(dlg)->findText(QString::number(kCom)));
    EXPECT_EQ(Ports(dlg)->toolTip(), QString::fromStdString(m_sim.Path()));
}
