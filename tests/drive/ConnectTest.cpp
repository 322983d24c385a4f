// Connecting the master to a simulated drive: every ConnectResult with the
// lines on the wire, the port left behind, the baud switch and identification.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "drive/BaseDriver.h"
#include "drive/LuaManager.h"
#include "drive/Servo2x1Driver.h"
#include "drive/Step1x2Driver.h"
#include "drive/TarvixMaster.h"
#include "tests/drive/MasterTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TempProgramFolder.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

using Lines = std::vector<std::string>;

const char* const kNoEchoText =
    "An error is occured at the communication\n which couldn't received echo command.\n"
    "Port will be disconnected.";

class ConnectTest : public testing::Test {
protected:
    void StartDrive(const std::string& version, int lineRate = 9600)
    {
        m_sim = std::make_unique<SimLink>(SimLink::Profile(version), lineRate);
    }
    void StartBareDrive(const std::string& version)
    {
        m_sim = std::make_unique<SimLink>(SimLink::BareProfile(version));
    }
    void ExpectClosedAfterFailure()
    {
        EXPECT_FALSE(m_master.IsOpen());
    }
    void ExpectAllInvalid(uint16_t count)
    {
        for (uint16_t i = 0; i < count; ++i) {
            ParamCacheEntry* entry = m_master.GetCacheEntry(i);
            ASSERT_NE(entry, nullptr) << i;
            EXPECT_EQ(entry->valid, 0) << i;
        }
        EXPECT_EQ(m_master.GetCacheEntry(count), nullptr);
    }

    ScriptedMessageBoxes m_boxes;
    CTarvixMaster m_master;
    std::unique_ptr<SimLink> m_sim;
};

TEST_F(ConnectTest, AtNineThousandSixHundredNoSwitchIsNeeded)
{
    StartDrive(kSampleBipolarVersion);
    ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);

    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "VR"}));
    EXPECT_TRUE(m_master.IsOpen());
    EXPECT_EQ(m_master.GetBaudRate(), 9600);
    EXPECT_TRUE(m_master.GetShowErrorBox());
    EXPECT_STREQ(m_master.GetVersionText(), kSampleBipolarVersion);
    ASSERT_NE(dynamic_cast<CStep1x2Driver*>(m_master.GetDriver()), nullptr);
    EXPECT_TRUE(m_master.GetDriver()->IsLoaded());
    ExpectAllInvalid(m_master.GetDriver()->GetParameterCount());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ConnectTest, DirectlyAtTheChosenRateWithoutSwitch)
{
    StartDrive(kSampleBipolarVersion, 115200);
    ASSERT_EQ(m_master.Connect(m_sim->Port(), 9, false), kConnectOk);

    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "VR"}));
    EXPECT_TRUE(m_master.IsOpen());
    EXPECT_EQ(m_master.GetBaudRate(), 115200);
    EXPECT_EQ(m_sim->LineRate(), 115200);
}

TEST_F(ConnectTest, SwitchesTheDriveToTheChosenRate)
{
    StartDrive(kSampleBipolarVersion);
    ASSERT_EQ(m_master.Connect(m_sim->Port(), 9, true), kConnectOk);

    const uint16_t baudParam = m_master.GetDriver()->GetBaudRateParam();
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "VR", "MA" + std::to_string(baudParam), "MD9", "",
                                     "VR"}));
    EXPECT_TRUE(m_master.IsOpen());
    EXPECT_EQ(m_master.GetBaudRate(), 115200);
    EXPECT_TRUE(m_master.GetShowErrorBox());
    EXPECT_EQ(m_sim->LineRate(), 115200);
    EXPECT_EQ(m_sim->Value(baudParam), 9);

    // The drive really answers at the new rate, and only there.
    m_sim->ClearLines();
    EXPECT_STREQ(m_master.GetVersion(), kSampleBipolarVersion);
    m_master.Close();
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, false), kConnectNoEcho);
    EXPECT_FALSE(m_master.IsOpen());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ConnectTest, SwitchNeverTrustsTheAddressOfAnEarlierConnection)
{
    StartDrive(kSampleBipolarVersion);
    ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
    const uint16_t baudParam = m_master.GetDriver()->GetBaudRateParam();
    ASSERT_GT(baudParam, 0);
    int value = 0;
    ASSERT_TRUE(m_master.GetParameter(&value, baudParam - 1, false));
    ASSERT_EQ(m_master.GetCurrentAddress(), baudParam);
    m_master.Close();

    // Another drive on the line, its pointer wherever it is.
    StartDrive(kSampleBipolarVersion);
    const int32_t first = m_sim->Value(0);
    ASSERT_EQ(m_master.Connect(m_sim->Port(), 9, true), kConnectOk);
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "VR", "MA" + std::to_string(baudParam), "MD9", "",
                                     "VR"}));
    EXPECT_EQ(m_sim->Value(0), first);
    EXPECT_EQ(m_sim->Value(baudParam), 9);
}

TEST_F(ConnectTest, SwitchReachesEveryRateOfTheTable)
{
    for (int code = 0; code < kBaudRateCount; ++code) {
        if (code == kBaudCode9600)
            continue;
        SCOPED_TRACE(kBaudRateTable[code]);
        StartDrive(kSampleBipolarVersion);
        ASSERT_EQ(m_master.Connect(m_sim->Port(), code, true), kConnectOk);
        EXPECT_EQ(m_master.GetBaudRate(), kBaudRateTable[code]);
        EXPECT_EQ(m_sim->LineRate(), kBaudRateTable[code]);
        EXPECT_STREQ(m_master.GetVersion(), kSampleBipolarVersion);
        m_master.Close();
    }
}

TEST_F(ConnectTest, DriveStartingAtAnyRateIsReachedDirectly)
{
    for (int code = 0; code < kBaudRateCount; ++code) {
        SCOPED_TRACE(kBaudRateTable[code]);
        StartDrive(kSampleBipolarVersion, kBaudRateTable[code]);
        ASSERT_EQ(m_master.Connect(m_sim->Port(), code, false), kConnectOk);
        EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "VR"}));
        m_master.Close();
    }
}

TEST_F(ConnectTest, OpenFailureGivesOne)
{
    // A COM number that maps to nothing, and a code outside the rate table.
    EXPECT_EQ(m_master.Connect(254, kBaudCode9600, true), kConnectOpenFailed);
    EXPECT_FALSE(m_master.IsOpen());
    StartDrive(kSampleBipolarVersion);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudRateCount, true), kConnectOpenFailed);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), -1, false), kConnectOpenFailed);
    EXPECT_FALSE(m_master.IsOpen());
    EXPECT_TRUE(m_sim->Lines().empty());

    // The device disappears at the handshake's empty line: "VR" cannot be written.
    m_sim->VanishAfter(0);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOpenFailed);
    EXPECT_FALSE(m_master.IsOpen());
    EXPECT_EQ(m_sim->Lines(), (Lines{""}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ConnectTest, MissingOrWrongEchoGivesTwoWithoutBox)
{
    StartDrive(kSampleBipolarVersion);
    m_sim->NoEchoOn("VR");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectNoEcho);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR"}));

    m_sim->ClearLines();
    m_sim->WrongEchoOn("VR");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectNoEcho);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR"}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ConnectTest, DriveAtAnotherRateGivesTwo)
{
    // What the connect dialog's second attempt is for: the drive already runs
    // at the chosen rate and does not understand 9600.
    StartDrive(kSampleBipolarVersion, 115200);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), 9, true), kConnectNoEcho);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_master.Connect(m_sim->Port(), 9, false), kConnectOk);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

// The one test of this suite that waits out the 5 s answer time-out.
TEST_F(ConnectTest, NoAnswerGivesThree)
{
    StartDrive(kSampleBipolarVersion);
    m_sim->NoAnswerOn("VR");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectNoAnswer);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR"}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ConnectTest, VersionLongerThanALineGivesThree)
{
    StartBareDrive("1" + std::string(299, '7'));
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectNoAnswer);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR"}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ConnectTest, ErrorAnswerGivesFourAfterASecondHandshakeWithBox)
{
    StartDrive(kSampleBipolarVersion);
    m_sim->ErrorOn("VR", "Error 3", 1, 2);
    m_boxes.Answer(host::IDIGNORE);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectVersionFailed);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "", "VR"}));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "Command \"VR\" was failed.\nError 3");
    EXPECT_EQ(m_boxes.Shown()[0].type, host::MB_ABORTRETRYIGNORE | host::MB_ICONEXCLAMATION);
}

TEST_F(ConnectTest, ErrorAnswerGivesFourWhateverTheSecondHandshakeGives)
{
    StartDrive(kSampleBipolarVersion);
    m_sim->ErrorOn("VR", "ERROR", 1, 1);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectVersionFailed);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "", "VR"}));
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ConnectTest, FailedIdentifyingVersionGivesFour)
{
    StartDrive(kSampleBipolarVersion);
    // The handshake's "VR" passes; the identifying one is refused.
    m_sim->ErrorOn("VR", "Error busy", 2);
    m_boxes.Answer(host::IDIGNORE);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectVersionFailed);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "VR"}));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "Command \"VR\" was failed.\nError busy");
}

TEST_F(ConnectTest, VersionWithoutDotGivesFiveAndIsKept)
{
    StartBareDrive("Tarvix Bipolar Version 1");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectBadVersion);
    ExpectClosedAfterFailure();
    EXPECT_STREQ(m_master.GetVersionText(), "Tarvix Bipolar Version 1");
    EXPECT_EQ(m_sim->Lines(), (Lines{"", "VR", "VR"}));
    EXPECT_EQ(m_master.GetDriver(), nullptr);
}

TEST_F(ConnectTest, UnlistedVersionGivesSixAndIsKept)
{
    StartBareDrive("Morvane VCM Version 9.9.9 unknown");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectUnknownVersion);
    ExpectClosedAfterFailure();
    EXPECT_STREQ(m_master.GetVersionText(), "Morvane VCM Version 9.9.9 unknown");
    EXPECT_EQ(m_master.GetDriver(), nullptr);
}

TEST_F(ConnectTest, BaudWriteRefusedGivesSeven)
{
    StartDrive(kSampleBipolarVersion);
    m_sim->ErrorOn("MD", "Error 9");
    m_boxes.Answer(host::IDIGNORE);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), 9, true), kConnectBaudSwitchFailed);
    ExpectClosedAfterFailure();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "Command \"MD9\" was failed.\nError 9");
    EXPECT_EQ(m_sim->LineRate(), 9600);
}

TEST_F(ConnectTest, DriveSilentAtTheNewRateGivesSeven)
{
    StartDrive(kSampleBipolarVersion);
    // The drive confirms the new code but the check at the new rate meets no echo.
    m_sim->NoEchoOn("VR", 3);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), 8, true), kConnectBaudSwitchFailed);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_boxes.Count(), 0u);
}

const char kGoodDriveDb[] =
    "DB_Var_SerialComm_bps = 2\nNUMBER_OF_PARAMETERS = 8\n"
    "NUMBER_OF_PARAMETERS_EEPROM_ONLY = 8\nParamView = { { Title = 'S', { 0, 0, 'A', 1 } } }\n";

// Drive databases written by the tests into a program folder of their own.
class ConnectDatabaseTest : public ConnectTest {
protected:
    void SetUp() override
    {
        m_folder.Write("MotorTable.lua", "glb_TableMotorType = { { 1, 100, 'M1' } }\n");
        m_folder.Write("ErrorTable.lua", "glb_TableError = { 'none' }\n");
        m_folder.Write("VersionList.lua",
                       "VersionList = {\n"
                       " { 'TARVIX Bipolar Version 7.1.x', 999, 'a.lua', 'ad.lua', 'ads.lua' },\n"
                       " { 'TARVIX Bipolar Version 7.2.x', 1, 'missing.lua', 'd.lua', 's.lua' },\n"
                       " { 'TARVIX Bipolar Version 7.3.x', 1, 'empty.lua', 'd.lua', 's.lua' },\n"
                       " { 'TARVIX Bipolar Version 7.4.x', 1, 'good.lua', 'd.lua', 's.lua' },\n"
                       "}\n");
        m_folder.Write("empty.lua",
                       "DB_Var_SerialComm_bps = 2\nNUMBER_OF_PARAMETERS = 8\n"
                       "NUMBER_OF_PARAMETERS_EEPROM_ONLY = 8\nParamView = {}\n");
        m_folder.Write("good.lua", kGoodDriveDb);
        m_folder.Write("d.lua", "Default_Value = { 1, 2, 3, 4, 5, 6, 7, 8 }\n");
        m_folder.Write("s.lua", "ParamDescription = { 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h' }\n");
    }

    TempProgramFolder m_folder;
};

TEST_F(ConnectDatabaseTest, UnsupportedDriverTypeGivesSix)
{
    // The version is listed, with a type no model has.
    int driverType = 0;
    ASSERT_EQ(LookupDriverType("TARVIX Bipolar Version 7.1.0", &driverType), kLuaDbOk);
    ASSERT_EQ(driverType, 999);
    StartBareDrive("TARVIX Bipolar Version 7.1.0");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectUnknownVersion);
    EXPECT_EQ(m_master.GetDriver(), nullptr);
    ExpectClosedAfterFailure();
    EXPECT_STREQ(m_master.GetVersionText(), "TARVIX Bipolar Version 7.1.0");
}

TEST_F(ConnectDatabaseTest, MissingFilesGiveEight)
{
    StartBareDrive("TARVIX Bipolar Version 7.2.0");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectDbLoadFailed);
    ExpectClosedAfterFailure();

    m_folder.Remove("VersionList.lua");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectDbLoadFailed);
    ExpectClosedAfterFailure();
}

TEST_F(ConnectDatabaseTest, ADatabaseFileThatNeverEndsGivesEight)
{
    StartBareDrive("TARVIX Bipolar Version 7.2.0");
    const std::string endless[] = {
        "while true do end\n",
        // The budget's error caught inside the chunk does not let it go on.
        "while true do pcall(function() while true do end end) end\n",
    };
    for (const std::string& chunk : endless) {
        SCOPED_TRACE(chunk);
        m_folder.Write("missing.lua", chunk);
        EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectDbLoadFailed);
        ExpectClosedAfterFailure();
    }

    // A named pipe that no one ever writes to.
    m_folder.Remove("missing.lua");
    ASSERT_EQ(::mkfifo((m_folder.Path() + "missing.lua").c_str(), 0600), 0);
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectDbLoadFailed);
    ExpectClosedAfterFailure();
    m_folder.Remove("missing.lua");
}

TEST_F(ConnectDatabaseTest, ADatabaseFileThatCallsExitGivesEight)
{
    StartBareDrive("TARVIX Bipolar Version 7.4.0");
    ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
    m_master.Close();
    const struct {
        const char* file;
        std::string content;
    } files[] = {
        {"MotorTable.lua", "glb_TableMotorType = { { 1, 100, 'M1' } }\n"},
        {"ErrorTable.lua", "glb_TableError = { 'none' }\n"},
        {"VersionList.lua", "VersionList = { { 'TARVIX', 1, 'good.lua', 'd.lua', 's.lua' } }\n"},
        {"good.lua", kGoodDriveDb},
        // These two readers take a table that a failing file defined; not after an exit.
        {"d.lua", "Default_Value = { 1, 2, 3, 4, 5, 6, 7, 8 }\n"},
        {"s.lua", "ParamDescription = { 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h' }\n"},
    };
    for (const auto& f : files) {
        // Also when the chunk catches the error and ends normally.
        for (const char* exit : {"os.exit(0)\n", "pcall(os.exit, 1)\n"}) {
            SCOPED_TRACE(std::string(f.file) + ": " + exit);
            m_folder.Write(f.file, f.content + exit);
            EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectDbLoadFailed);
            ExpectClosedAfterFailure();
        }
        m_folder.Write(f.file, f.content);
    }
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
}

TEST_F(ConnectDatabaseTest, ContentErrorGivesNineWithTheKeptText)
{
    StartBareDrive("TARVIX Bipolar Version 7.3.0");
    EXPECT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectDbContentError);
    ExpectClosedAfterFailure();
    EXPECT_EQ(m_master.GetDbErrorText(), "Failed to get section list.:\nempty.lua\nParamView");
}

TEST(ConnectStateTest, NoDatabaseErrorTextWithoutAModel)
{
    CTarvixMaster master;
    EXPECT_EQ(master.GetDbErrorText(), "");
    EXPECT_EQ(master.GetDriver(), nullptr);
    EXPECT_STREQ(master.GetVersionText(), "");
}

TEST_F(ConnectTest, SecondDriveReplacesTheModelWithAFreshCache)
{
    StartDrive(kSampleBipolarVersion);
    ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
    ASSERT_TRUE(m_master.ReadAllParameters(nullptr));
    ASSERT_EQ(m_master.GetCacheEntry(0)->valid, 1);
    const uint16_t firstCount = m_master.GetDriver()->GetParameterCount();
    m_master.Close();

    StartDrive(kSampleServoVersion);
    ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
    ASSERT_NE(dynamic_cast<CServo2x1Driver*>(m_master.GetDriver()), nullptr);
    const uint16_t secondCount = m_master.GetDriver()->GetParameterCount();
    ASSERT_NE(firstCount, secondCount) << "the sample drives should differ in size";
    ExpectAllInvalid(secondCount);
}

TEST_F(ConnectTest, FailedIdentificationLeavesNoStaleCache)
{
    StartDrive(kSampleBipolarVersion);
    ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
    ASSERT_TRUE(m_master.ReadAllParameters(nullptr));
    m_master.Close();

    StartBareDrive("Morvane VCM Version 9.9.9");
    ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectUnknownVersion);
    // The old drive's values are not offered for the next one.
    EXPECT_EQ(m_master.GetCacheEntry(0), nullptr);
    int value = 0;
    EXPECT_FALSE(m_master.GetParameter(&value, 0, true));
}

}  // namespace
