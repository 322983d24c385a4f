// The master's parameter cache and whole-drive operations against a simulated
// drive: what goes on the wire, what is cached, what a failure leaves behind.

#include <gtest/gtest.h>

#include "drive/BaseDriver.h"
#include "drive/Step1x3Driver.h"
#include "drive/TarvixMaster.h"
#include "drive/VcmFile.h"
#include "tests/drive/DriverTestSupport.h"
#include "tests/drive/MasterTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

using Lines = std::vector<std::string>;

class ParameterCacheTest : public testing::Test {
protected:
    void Connect(const std::string& version, int extraParameters = 0)
    {
        DriveProfile profile = SimLink::Profile(version);
        for (int i = 0; i < extraParameters; ++i)
            profile.values.push_back(4321 + i);
        m_sim = std::make_unique<SimLink>(profile);
        ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
        m_count = m_master.GetDriver()->GetParameterCount();
        ASSERT_GT(m_count, 10);
        m_sim->ClearLines();
    }
    int ValidCount()
    {
        int valid = 0;
        for (uint16_t i = 0; i < m_count; ++i)
            valid += m_master.GetCacheEntry(i)->valid ? 1 : 0;
        return valid;
    }

    ScriptedMessageBoxes m_boxes;
    CTarvixMaster m_master;
    std::unique_ptr<SimLink> m_sim;
    uint16_t m_count = 0;
};

TEST_F(ParameterCacheTest, ReadAllSendsOneAddressThenOneReadPerParameter)
{
    Connect(kSampleBipolarVersion);
    for (uint16_t i = 0; i < m_count; ++i)
        m_sim->SetValue(i, 1000 - 3 * i);
    RecordingProgress progress;
    ASSERT_TRUE(m_master.ReadAllParameters(&progress));

    Lines expected{"MA0"};
    expected.insert(expected.end(), m_count, "MD");
    EXPECT_EQ(m_sim->Lines(), expected);
    for (uint16_t i = 0; i < m_count; ++i) {
        ASSERT_EQ(m_master.GetCacheEntry(i)->valid, 1) << i;
        EXPECT_EQ(m_master.GetCacheEntry(i)->value, m_sim->Value(i)) << i;
    }
    EXPECT_EQ(progress.lower, 0);
    EXPECT_EQ(progress.upper, m_count - 1);
    EXPECT_EQ(progress.step, 1);
    EXPECT_EQ(progress.steps, m_count);
    ASSERT_EQ(progress.statuses.size(), m_count);
    EXPECT_EQ(progress.statuses.front(), "Read Parameter #0");
    EXPECT_EQ(progress.statuses.back(), "Read Parameter #" + std::to_string(m_count - 1));
}

TEST_F(ParameterCacheTest, ValidEntryIsServedWithoutExchange)
{
    Connect(kSampleBipolarVersion);
    m_sim->SetValue(5, -42);
    int value = 0;
    ASSERT_TRUE(m_master.GetParameter(&value, 5, true));
    EXPECT_EQ(value, -42);
    EXPECT_EQ(m_sim->Lines(), (Lines{"MA5", "MD"}));

    // The drive changes behind the cache's back: the cache still answers.
    m_sim->SetValue(5, 17);
    m_sim->ClearLines();
    ASSERT_TRUE(m_master.GetParameter(&value, 5, true));
    EXPECT_EQ(value, -42);
    EXPECT_TRUE(m_sim->Lines().empty());

    // Without the cache the drive is asked and the entry refreshed.
    ASSERT_TRUE(m_master.GetParameter(&value, 5, false));
    EXPECT_EQ(value, 17);
    EXPECT_EQ(m_sim->Lines(), (Lines{"MA5", "MD"}));
    EXPECT_EQ(m_master.GetCacheEntry(5)->value, 17);
    m_sim->ClearLines();
    ASSERT_TRUE(m_master.GetParameter(&value, 5, true));
    EXPECT_EQ(value, 17);
    EXPECT_TRUE(m_sim->Lines().empty());
}

TEST_F(ParameterCacheTest, NumbersAtOrAboveTheCountAreNeverCached)
{
    // A drive that has two more parameters than its database describes.
    Connect(kSampleBipolarVersion, 2);
    int value = 0;
    for (int round = 0; round < 2; ++round) {
        m_sim->ClearLines();
        ASSERT_TRUE(m_master.GetParameter(&value, m_count + 1, true));
        EXPECT_EQ(value, 4322);
        EXPECT_EQ(m_sim->Lines(), (Lines{"MA" + std::to_string(m_count + 1), "MD"}));
    }
    EXPECT_EQ(m_master.GetCacheEntry(m_count), nullptr);
    EXPECT_EQ(ValidCount(), 0);
}

TEST_F(ParameterCacheTest, ValueOf65535ReadsAsFailure)
{
    Connect(kSampleBipolarVersion);
    m_sim->SetValue(3, 65535);
    EXPECT_FALSE(m_master.ReadAllParameters(nullptr));
    EXPECT_EQ(m_sim->Lines(), (Lines{"MA0", "MD", "MD", "MD", "MD"}));
    for (uint16_t i = 0; i < 3; ++i)
        EXPECT_EQ(m_master.GetCacheEntry(i)->valid, 1) << i;
    EXPECT_EQ(m_master.GetCacheEntry(3)->valid, 0);
    EXPECT_EQ(ValidCount(), 3);

    int value = 0;
    EXPECT_FALSE(m_master.GetParameter(&value, 3, true));
    EXPECT_EQ(value, 65535);
    EXPECT_EQ(m_master.GetCacheEntry(3)->valid, 0);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ParameterCacheTest, EepromAndDefaultLoadsInvalidateOnlyOnSuccess)
{
    Connect(kSampleBipolarVersion);
    struct Case {
        const char* command;
        bool (CTarvixMaster::*operation)();
    } cases[] = {{"LP", &CTarvixMaster::LoadParametersFromEeprom},
                 {"LD", &CTarvixMaster::LoadDefaultParameters}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        ASSERT_TRUE(m_master.ReadAllParameters(nullptr));
        ASSERT_EQ(ValidCount(), m_count);

        m_sim->ClearLines();
        m_sim->ErrorOn(c.command, "Error 5");
        m_boxes.Answer(host::IDIGNORE);
        EXPECT_FALSE((m_master.*c.operation)());
        EXPECT_EQ(m_sim->Lines(), (Lines{c.command}));
        EXPECT_EQ(ValidCount(), m_count);

        m_sim->ClearLines();
        EXPECT_TRUE((m_master.*c.operation)());
        EXPECT_EQ(m_sim->Lines(), (Lines{c.command}));
        EXPECT_EQ(ValidCount(), 0);
    }
    EXPECT_EQ(m_boxes.Count(), 2u);
}

TEST_F(ParameterCacheTest, SaveParameterFileWritesTheVersionHeader)
{
    Connect(kSampleBipolarVersion);
    TempFile file;
    FILE* out = file.OpenForWrite();
    ASSERT_TRUE(m_master.SaveParameterFile(out, nullptr));
    std::fclose(out);
    const std::string bytes = ReadFileBytes(file.Path());
    const std::string header = std::string("VR") + kSampleBipolarVersion + "\r\r\n";
    ASSERT_EQ(bytes.substr(0, header.size()), header);
    EXPECT_NE(bytes.find("\r\r\nLP\t\t\t\t// Load Parameters from EEPROM"), std::string::npos);
    EXPECT_NE(bytes.find("SP\t\t\t\t// Save Parameters"), std::string::npos);
    EXPECT_EQ(m_sim->Lines().front(), "VR");
}

TEST_F(ParameterCacheTest, SaveParameterFileWithFailedVersionStillSaves)
{
    Connect(kSampleBipolarVersion);
    m_sim->ErrorOn("VR", "Error 1");
    m_boxes.Answer(host::IDIGNORE);
    TempFile file;
    FILE* out = file.OpenForWrite();
    EXPECT_TRUE(m_master.SaveParameterFile(out, nullptr));
    std::fclose(out);
    const std::string bytes = ReadFileBytes(file.Path());
    EXPECT_EQ(bytes.substr(0, 5), "VR\r\r\n");
    EXPECT_NE(bytes.find("MA\t0\tMD\t"), std::string::npos);
}

TEST_F(ParameterCacheTest, SavingIntoAFullDiskIsAFailure)
{
    // A buffer larger than any saved file: nothing reaches the device before the end.
    std::vector<char> buffer(1 << 20);
    auto openFull = [&buffer] {
        FILE* file = std::fopen("/dev/full", "w");
        if (file)
            std::setvbuf(file, buffer.data(), _IOFBF, buffer.size());
        return drivertest::UniqueFile(file);
    };
    for (const char* version : {kSampleBipolarVersion, kSampleMultiMotorVersion}) {
        SCOPED_TRACE(version);
        Connect(version);
        drivertest::UniqueFile full = openFull();
        ASSERT_NE(full, nullptr);
        EXPECT_FALSE(m_master.SaveParameterFile(full.get(), nullptr));
    }

    auto* multi = dynamic_cast<CStep1x3Driver*>(m_master.GetDriver());
    ASSERT_NE(multi, nullptr);
    TempFile old;
    old.Write("VR Tarvix Bipolar Version 1.0.0\r\nMA 24 MD 1500\r\nLD\r\n");
    FILE* in = old.OpenForRead();
    CVcmFile lexer;
    lexer.Load(64, in);
    std::fclose(in);
    DriveVersion header;
    ASSERT_TRUE(lexer.ReadVersionLine(&header));
    drivertest::UniqueFile full = openFull();
    EXPECT_FALSE(multi->ConvertParameterFile(full.get(), &lexer));
}

TEST_F(ParameterCacheTest, TestArrayIsReadFromItsStartAddress)
{
    Connect(kSampleServoVersion);
    CBaseDriver* driver = m_master.GetDriver();
    ASSERT_TRUE(driver->HasTestArray());
    const int n = driver->GetTestArrayLines() * driver->GetTestArrayColumns();
    ASSERT_GT(n, 10);
    const uint16_t start = driver->GetTestArrayStart();
    for (int i = 0; i < n; ++i)
        m_sim->SetValue(static_cast<uint16_t>(start + i), (i * 37) % 2000 - 1000);

    std::vector<int16_t> values(n, 0);
    RecordingProgress progress;
    ASSERT_TRUE(m_master.ReadTestArray(&progress, values.data(), values.size()));
    for (int i = 0; i < n; ++i)
        EXPECT_EQ(values[i], (i * 37) % 2000 - 1000) << i;
    Lines expected{"MA" + std::to_string(start)};
    expected.insert(expected.end(), n, "MD");
    EXPECT_EQ(m_sim->Lines(), expected);
    EXPECT_EQ(progress.statuses, (std::vector<std::string>{"Read TestArray"}));
    EXPECT_EQ(progress.upper, n);
    EXPECT_FALSE(m_master.IsReadingTestArray());
}

TEST_F(ParameterCacheTest, TestArrayCancelKeepsWhatWasRead)
{
    Connect(kSampleServoVersion);
    CBaseDriver* driver = m_master.GetDriver();
    const int n = driver->GetTestArrayLines() * driver->GetTestArrayColumns();
    const uint16_t start = driver->GetTestArrayStart();
    for (int i = 0; i < n; ++i)
        m_sim->SetValue(static_cast<uint16_t>(start + i), i + 1);

    std::vector<int16_t> values(n, 0);
    RecordingProgress progress;
    progress.cancelAt = 10;
    EXPECT_FALSE(m_master.ReadTestArray(&progress, values.data(), values.size()));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(values[i], i + 1) << i;
    EXPECT_EQ(values[10], 0);
    EXPECT_FALSE(m_master.IsReadingTestArray());
}

TEST_F(ParameterCacheTest, TestArrayOfAVanishedDeviceIsNoTestArray)
{
    Connect(kSampleServoVersion);
    CBaseDriver* driver = m_master.GetDriver();
    const int n = driver->GetTestArrayLines() * driver->GetTestArrayColumns();
    std::vector<int16_t> values(n, 0);
    m_sim->VanishAfter(10);
    m_boxes.AnswerAlways(host::IDIGNORE);
    // Single failed samples would be kept as 0xFFFF; a closed port ends the read.
    EXPECT_FALSE(m_master.ReadTestArray(nullptr, values.data(), values.size()));
    EXPECT_FALSE(m_master.IsOpen());
    EXPECT_FALSE(m_master.IsReadingTestArray());
    EXPECT_EQ(m_sim->Lines().size(), 11u);
}

TEST_F(ParameterCacheTest, TestArrayLargerThanTheBufferIsRefusedUnsent)
{
    struct Case {
        int lines, columns;
        size_t capacity;
    };
    // 65535 x 65535 overflows an int; the others are one sample too many and none at all.
    const Case cases[] = {{65535, 65535, size_t{1} << 20}, {4, 3, 11}, {0, 3, 64}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lines) + " x " + std::to_string(c.columns));
        TempProgramFolder folder;
        std::vector<drivertest::SmallVersion> versions = drivertest::SmallVersions();
        versions[1].constants = "NUMBER_LINE_TESTARRAY = " + std::to_string(c.lines) +
                                "\nNUMBER_COLUMN_TESTARRAY = " + std::to_string(c.columns) +
                                "\nDB_TestArrayStart = 40\nNUMBER_OF_PARAMETERS = 6\n";
        drivertest::WriteSmallDatabase(folder, versions);
        folder.Write("ErrorTable.lua", "glb_TableError = { 'none' }\n");
        m_sim = std::make_unique<SimLink>(SimLink::BareProfile(drivertest::kServoVersion, 64));
        ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
        m_sim->ClearLines();

        std::vector<int16_t> values(c.capacity, 7);
        EXPECT_FALSE(m_master.ReadTestArray(nullptr, values.data(), values.size()));
        EXPECT_TRUE(m_sim->Lines().empty());
        EXPECT_FALSE(m_master.IsReadingTestArray());
        EXPECT_EQ(values.back(), 7);
        m_master.Close();
    }
}

TEST_F(ParameterCacheTest, StepDriveHasNoTestArray)
{
    Connect(kSampleBipolarVersion);
    int16_t values[4] = {};
    EXPECT_FALSE(m_master.ReadTestArray(nullptr, values, 4));
    EXPECT_TRUE(m_sim->Lines().empty());
    EXPECT_FALSE(m_master.IsReadingTestArray());
}

TEST_F(ParameterCacheTest, DeviceVanishingDuringReadAllEndsItClosed)
{
    Connect(kSampleBipolarVersion);
    m_sim->VanishAfter(20);
    m_boxes.AnswerAlways(host::IDIGNORE);
    EXPECT_FALSE(m_master.ReadAllParameters(nullptr));
    EXPECT_FALSE(m_master.IsOpen());
    EXPECT_LT(ValidCount(), m_count);
    ASSERT_GE(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].type, host::MB_ABORTRETRYIGNORE | host::MB_ICONEXCLAMATION);
    // Nothing more goes out on a closed port.
    int value = 0;
    EXPECT_FALSE(m_master.GetParameter(&value, 0, false));
}

TEST(ParameterCacheWithoutDriveTest, OperationsFailWithoutAModel)
{
    ScriptedMessageBoxes boxes;
    CTarvixMaster master;
    int value = 7;
    int16_t samples[4] = {};
    EXPECT_FALSE(master.ReadAllParameters(nullptr));
    EXPECT_FALSE(master.GetParameter(&value, 0, true));
    EXPECT_EQ(value, 7);
    EXPECT_FALSE(master.ReadTestArray(nullptr, samples, 4));
    TempFile file;
    FILE* out = file.OpenForWrite();
    EXPECT_FALSE(master.SaveParameterFile(out, nullptr));
    std::fclose(out);
    EXPECT_EQ(ReadFileBytes(file.Path()), "");
    EXPECT_FALSE(master.LoadParametersFromEeprom());
    EXPECT_FALSE(master.LoadDefaultParameters());
    master.InvalidateParameterCache();
    EXPECT_EQ(master.GetCacheEntry(0), nullptr);
    EXPECT_EQ(boxes.Count(), 0u);
}

}  // namespace
