#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "drive/Servo2x1Driver.h"
#include "drive/Step1x2Driver.h"
#include "drive/Step1x3Driver.h"
#include "drive/VcmFile.h"
#include "tests/drive/DriverTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"

using namespace drivertest;

namespace {

const char kLpBlock[] = "\r\r\nLP\t\t\t\t// Load Parameters from EEPROM\r\r\n\r\r\n";
const char kSpLine[] = "\r\r\nSP\t\t\t\t// Save Parameters";

class DriverModel : public testing::Test {
protected:
    void SetUp() override
    {
        WriteSmallDatabase(m_folder, SmallVersions());
        LoadMotors();
    }

    TempProgramFolder m_folder;
};

}  // namespace

TEST_F(DriverModel, ReadsEachModelsConstants)
{
    CStep1x2Driver step(nullptr);
    LoadModel(step, kStepVersion);
    EXPECT_EQ(step.GetParameterCount(), 8);
    EXPECT_EQ(step.GetSaveParameterCount(), 6);
    EXPECT_EQ(step.GetBaudRateParam(), 2);
    EXPECT_FALSE(step.HasTestArray());
    EXPECT_EQ(step.GetTestArrayStart(), 0);

    CServo2x1Driver servo(nullptr);
    LoadModel(servo, kServoVersion);
    EXPECT_EQ(servo.GetParameterCount(), 6);
    EXPECT_EQ(servo.GetSaveParameterCount(), 6);
    EXPECT_EQ(servo.GetBaudRateParam(), 5);
    EXPECT_TRUE(servo.HasTestArray());
    EXPECT_EQ(servo.GetTestArrayStart(), 40);
    EXPECT_EQ(servo.GetTestArrayLines(), 4);
    EXPECT_EQ(servo.GetTestArrayColumns(), 3);

    // Missing globals read as 0 and do not fail the load.
    CStep1x2Driver bare(nullptr);
    LoadModel(bare, kBareVersion);
    EXPECT_EQ(bare.GetBaudRateParam(), 0);
    EXPECT_EQ(bare.GetParameterCount(), 3);

    // The multi-motor model saves by ranges: its save count is the whole count.
    CStep1x3Driver multi(nullptr);
    LoadModel(multi, kMultiVersion);
    EXPECT_EQ(multi.GetParameterCount(), 12);
    EXPECT_EQ(multi.GetSaveParameterCount(), 12);
    EXPECT_EQ(multi.GetBaudRateParam(), 1);
}

TEST_F(DriverModel, KeepsRecordsAndClosesTheDatabaseOnceLoaded)
{
    CStep1x2Driver step(nullptr);
    LoadModel(step, kStepVersion);
    EXPECT_TRUE(step.IsLoaded());
    EXPECT_FALSE(step.GetLuaManager().IsDbOpen());
    EXPECT_EQ(step.GetDefaultValue(5), 300);
    EXPECT_EQ(step.GetParamDescription(0), "Run current");
    EXPECT_EQ(step.GetParamDescription(3), "");
    // At and beyond the count, and negative numbers taken as large.
    EXPECT_EQ(step.GetDefaultValue(8), 0);
    EXPECT_EQ(step.GetParamDescription(8), "");
    EXPECT_EQ(step.GetDefaultValue(-1), 0);
    EXPECT_EQ(step.GetParamDescription(-1), "");

    ASSERT_EQ(step.GetSectionCount(), 1);
    EXPECT_EQ(step.GetSection(0)->title, "Main");
    EXPECT_EQ(step.GetSection(1), nullptr);
    ASSERT_EQ(step.GetFirstSectionVariables().size(), 1u);
    EXPECT_EQ(step.GetFirstSectionVariables().front().text, "First");

    // A second load reads nothing, even with the files gone.
    m_folder.Remove("B12_DB.lua");
    m_folder.Remove("B12_Default.lua");
    EXPECT_EQ(step.LoadDatabase(), kLuaDbOk);
    EXPECT_EQ(step.GetDefaultValue(5), 300);
}

TEST_F(DriverModel, AFailedLoadKeepsTheDatabaseOpenForAnotherTry)
{
    CStep1x2Driver step(nullptr);
    EXPECT_EQ(step.LoadDatabase(), kLuaDbNotOpen);
    EXPECT_TRUE(step.GetFirstSectionVariables().empty());

    ASSERT_EQ(step.GetLuaManager().OpenDriveDb(kStepVersion), kLuaDbOk);
    m_folder.Write("B12_Default.lua", "Default_Value = {1, \"x\"}\n");
    EXPECT_EQ(step.LoadDatabase(), kLuaDbContentError);
    EXPECT_FALSE(step.IsLoaded());
    EXPECT_TRUE(step.GetLuaManager().IsDbOpen());

    m_folder.Write("B12_Default.lua", "Default_Value = {1, 2}\n");
    EXPECT_EQ(step.LoadDatabase(), kLuaDbOk);
    EXPECT_TRUE(step.IsLoaded());
    EXPECT_EQ(step.GetDefaultValue(1), 2);
}

TEST_F(DriverModel, StepModelSavesTheParametersBelowTheEepromCount)
{
    SimMaster sim;
    sim.SetValues({12, -3, 5, 0, 12, 1500, 99, 1});
    CStep1x2Driver step(&sim.master);
    LoadModel(step, kStepVersion);

    UniqueFile file = TempFile();
    RecordingProgress progress;
    ASSERT_TRUE(step.SaveParameters(file.get(), &progress));
    EXPECT_EQ(Contents(file.get()), std::string(kLpBlock) +
                                        "MA\t0\tMD\t12\t// Run current\r\r\n"
                                        "MA\t1\tMD\t-3\t// Stop current\r\r\n"
                                        "// MA\t2\tMD\t5\t// Baud rate\r\r\n"
                                        "MA\t3\tMD\t0\t// \r\r\n"
                                        "MA\t4\tMD\t12\t// Motor: TM-86 Step\r\r\n"
                                        "MA\t5\tMD\t1500\t// Max speed\r\r\n" +
                                        kSpLine);
    EXPECT_EQ(Contents(file.get()).find('\0'), std::string::npos);
    // One address, then the drive's pointer runs on by itself.
    EXPECT_EQ(sim.drive.ReceivedLines(),
              (std::vector<std::string>{"MA0", "MD", "MD", "MD", "MD", "MD", "MD"}));
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"status Save Parameters", "range 0 5",
                                                        "pos 0", "step 1"}));
    EXPECT_EQ(progress.steps, 6);
    EXPECT_EQ(progress.checks, 6);
}

TEST_F(DriverModel, ServoModelNamesTheMotorAndCommentsTheBaudRate)
{
    SimMaster sim;
    sim.SetValues({-40, 99, 3, 0, 2, 7});
    CServo2x1Driver servo(&sim.master);
    LoadModel(servo, kServoVersion);

    UniqueFile file = TempFile();
    ASSERT_TRUE(servo.SaveParameters(file.get(), nullptr));
    // Motor 99 is in no row: the first row stands in for it.
    EXPECT_EQ(Contents(file.get()), std::string(kLpBlock) +
                                        "MA\t0\tMD\t-40\t// Gain\r\r\n"
                                        "MA\t1\tMD\t99\t// Motor (none)\r\r\n"
                                        "MA\t2\tMD\t3\t// Filter\r\r\n"
                                        "MA\t3\tMD\t0\t// Limit\r\r\n"
                                        "MA\t4\tMD\t2\t// Mode\r\r\n"
                                        "// MA\t5\tMD\t7\t// Baud\r\r\n" +
                                        kSpLine);
}

TEST_F(DriverModel, ParameterZeroIsTheBaudRateWhenTheDatabaseNamesNone)
{
    SimMaster sim;
    sim.SetValues({7, 8, 9});
    CStep1x2Driver bare(&sim.master);
    LoadModel(bare, kBareVersion);

    UniqueFile file = TempFile();
    ASSERT_TRUE(bare.SaveParameters(file.get(), nullptr));
    // Commented out, and without a motor name although it is also the motor number.
    EXPECT_EQ(Contents(file.get()), std::string(kLpBlock) +
                                        "// MA\t0\tMD\t7\t// Zero\r\r\n"
                                        "MA\t1\tMD\t8\t// One\r\r\n"
                                        "MA\t2\tMD\t9\t// Two\r\r\n" + kSpLine);
}

TEST_F(DriverModel, SaveStopsAtAFailedReadWithoutTheSaveLine)
{
    SimMaster sim;
    // 65535 is what a failed read gives: the drive's value cannot be told apart.
    sim.SetValues({12, -3, 5, 65535, 12, 1500, 99, 1});
    CStep1x2Driver step(&sim.master);
    LoadModel(step, kStepVersion);

    UniqueFile file = TempFile();
    EXPECT_FALSE(step.SaveParameters(file.get(), nullptr));
    EXPECT_EQ(Contents(file.get()), std::string(kLpBlock) +
                                        "MA\t0\tMD\t12\t// Run current\r\r\n"
                                        "MA\t1\tMD\t-3\t// Stop current\r\r\n"
                                        "// MA\t2\tMD\t5\t// Baud rate\r\r\n");

    // An "Error" answer stops it the same way; the box offers Ignore.
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDIGNORE);
    sim.master.SetShowErrorBox(true);
    sim.drive.SetValue(3, 0);
    sim.drive.InjectFault({SimulatedDrive::FaultKind::ErrorAnswer, "Error 9"}, 1, "MA");
    UniqueFile second = TempFile();
    EXPECT_FALSE(step.SaveParameters(second.get(), nullptr));
    EXPECT_EQ(Contents(second.get()), kLpBlock);
    EXPECT_EQ(boxes.Count(), 1u);
}

TEST_F(DriverModel, CancelLeavesTheLinesSoFar)
{
    SimMaster sim;
    sim.SetValues({12, -3, 5, 0, 12, 1500, 99, 1});
    CStep1x2Driver step(&sim.master);
    LoadModel(step, kStepVersion);

    UniqueFile file = TempFile();
    RecordingProgress progress(3);  // Cancel pressed while the second line is written
    EXPECT_FALSE(step.SaveParameters(file.get(), &progress));
    EXPECT_EQ(Contents(file.get()), std::string(kLpBlock) +
                                        "MA\t0\tMD\t12\t// Run current\r\r\n"
                                        "MA\t1\tMD\t-3\t// Stop current\r\r\n");
    EXPECT_EQ(progress.steps, 2);
    EXPECT_EQ(sim.drive.ReceivedLines().size(), 3u);
}

TEST_F(DriverModel, RefusesToSaveWithoutASaveCount)
{
    m_folder.Write("B12_DB.lua",
                   "DB_Var_SerialComm_bps = 2\nNUMBER_OF_PARAMETERS = 8\n"
                   "ParamView = { { Title = \"Main\", {0, 0, \"First\", 0} } }\n");
    SimMaster sim;
    sim.SetValues({1, 2, 3, 4, 5, 6, 7, 8});
    CStep1x2Driver step(&sim.master);
    LoadModel(step, kStepVersion);
    ASSERT_EQ(step.GetSaveParameterCount(), 0);

    UniqueFile file = TempFile();
    RecordingProgress progress;
    EXPECT_FALSE(step.SaveParameters(file.get(), &progress));
    EXPECT_EQ(Contents(file.get()), "");
    EXPECT_TRUE(sim.drive.ReceivedLines().empty());
}

TEST_F(DriverModel, ReadsTheMotorNumberFromTheDriveEachTime)
{
    SimMaster sim;
    sim.SetValues({12, -3, 5, 0, 12, 1500, 99, 1});
    CStep1x2Driver step(&sim.master);
    LoadModel(step, kStepVersion);

    EXPECT_EQ(step.ReadMotorNo(), 12);
    sim.drive.SetValue(4, 7);
    EXPECT_EQ(step.ReadMotorNo(), 7);
    sim.drive.SetValue(4, 65535);
    EXPECT_EQ(step.ReadMotorNo(), 0);
    sim.drive.SetValue(4, 15);
    sim.drive.InjectFault({SimulatedDrive::FaultKind::ErrorAnswer, "Error 2"}, 1, "MA");
    EXPECT_EQ(step.ReadMotorNo(), 0);
    EXPECT_EQ(step.ReadMotorNo(), 15);
}

TEST_F(DriverModel, AFailedWriteIsNoSuccess)
{
    SimMaster sim;
    sim.SetValues({12, -3, 5, 0, 12, 1500, 99, 1});
    CStep1x2Driver step(&sim.master);
    LoadModel(step, kStepVersion);

    // A full disk: every byte written fails at once.
    UniqueFile full(std::fopen("/dev/full", "w"));
    if (!full)
        GTEST_SKIP() << "no /dev/full";
    std::setvbuf(full.get(), nullptr, _IONBF, 0);
    EXPECT_FALSE(step.SaveParameters(full.get(), nullptr));
}

TEST_F(DriverModel, LineBreaksOfADescriptionStayInsideItsComment)
{
    std::vector<SmallVersion> versions = SmallVersions();
    versions[0].descriptions[0] = "x\nLD";
    versions[0].descriptions[4] = "Motor\r\nSP ";
    WriteSmallDatabase(m_folder, versions);
    SimMaster sim;
    sim.SetValues({12, -3, 5, 0, 12, 1500, 99, 1});
    CStep1x2Driver step(&sim.master);
    LoadModel(step, kStepVersion);

    UniqueFile file = TempFile();
    ASSERT_TRUE(step.SaveParameters(file.get(), nullptr));
    const std::string bytes = Contents(file.get());
    EXPECT_NE(bytes.find("MA\t0\tMD\t12\t// x LD\r\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("MA\t4\tMD\t12\t// Motor  SP TM-86 Step\r\r\n"), std::string::npos);
    // Read back, the script holds no command but its own.
    std::rewind(file.get());
    CVcmFile lexer;
    lexer.Load(static_cast<int>(bytes.size()), file.get());
    std::vector<std::string> commands;
    while (const char* command = lexer.NextCommand()) {
        commands.emplace_back(command);
        lexer.NextNumber();
    }
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "LD"), 0);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), "SP"), 1);
}
