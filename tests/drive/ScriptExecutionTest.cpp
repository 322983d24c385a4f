// Executing parameter scripts against a simulated drive: the round trip from
// one drive to another, the version check, failed lines, cancel and the lines
// the lexer cannot read.

#include <gtest/gtest.h>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "tests/drive/MasterTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

using Lines = std::vector<std::string>;

const unsigned kQuestionType = host::MB_YESNO | host::MB_ICONHAND;

class ScriptExecutionTest : public testing::Test {
protected:
    void Connect(const std::string& version = kSampleBipolarVersion)
    {
        m_sim = std::make_unique<SimLink>(SimLink::Profile(version));
        ASSERT_EQ(m_master.Connect(m_sim->Port(), kBaudCode9600, true), kConnectOk);
        m_sim->ClearLines();
    }
    // Runs a script given as text; the version line is the connected drive's.
    bool Execute(const std::string& body, CProgInterface* progress = nullptr)
    {
        return ExecuteRaw(std::string("VR") + m_master.GetVersionText() + "\r\n" + body, progress);
    }
    bool ExecuteRaw(const std::string& text, CProgInterface* progress = nullptr)
    {
        TempFile file;
        file.Write(text);
        FILE* in = file.OpenForRead();
        bool result = m_master.ExecuteScriptFile(in, progress);
        std::fclose(in);
        return result;
    }
    static std::string Question(int line, const std::string& command)
    {
        return "Error of executing command.\nCheck hardware, motor, power on state, etc.\nLine : #" +
               std::to_string(line) + " \t" + command + "\n\nContinue script executing?";
    }

    ScriptedMessageBoxes m_boxes;
    CTarvixMaster m_master;
    std::unique_ptr<SimLink> m_sim;
};

// The round trip for each single-motor drive version of the sample database.
class ScriptRoundTripTest : public ScriptExecutionTest,
                            public testing::WithParamInterface<const char*> {};

TEST_P(ScriptRoundTripTest, SavedScriptRestoresTheValuesOnASecondDrive)
{
    const char* version = GetParam();
    Connect(version);
    CBaseDriver* driver = m_master.GetDriver();
    const uint16_t saveCount = driver->GetSaveParameterCount();
    const uint16_t baudParam = driver->GetBaudRateParam();
    DriveProfile profile = SimLink::Profile(version);
    ASSERT_GT(saveCount, 10);
    ASSERT_LE(saveCount, profile.values.size());
    // Values the second drive does not start with; the rate stays as it is.
    std::vector<int32_t> saved(profile.values.size());
    for (uint16_t i = 0; i < saveCount; ++i) {
        saved[i] = i == baudParam ? m_sim->Value(i) : profile.values[i] + 3 * i + 1;
        m_sim->SetValue(i, saved[i]);
    }

    TempFile file;
    FILE* out = file.OpenForWrite();
    ASSERT_TRUE(m_master.SaveParameterFile(out, nullptr));
    std::fclose(out);
    m_master.Close();

    // The second drive refuses writes to its read-only parameters: each of
    // those lines raises the exchange's box, then the question; go on.
    int refused = 0;
    for (uint16_t i = 0; i < saveCount; ++i)
        if (i != baudParam && profile.readOnly.count(i))
            ++refused;
    for (int i = 0; i < refused; ++i) {
        m_boxes.Answer(host::IDIGNORE);
        m_boxes.Answer(host::IDYES);
    }
    Connect(version);
    FILE* in = file.OpenForRead();
    RecordingProgress progress;
    EXPECT_TRUE(m_master.ExecuteScriptFile(in, &progress));
    std::fclose(in);
    EXPECT_EQ(m_boxes.Count(), 2u * refused);

    for (uint16_t i = 0; i < saveCount; ++i) {
        if (profile.readOnly.count(i))
            EXPECT_EQ(m_sim->Value(i), profile.values[i]) << i;
        else
            EXPECT_EQ(m_sim->Value(i), saved[i]) << i;
    }
    const Lines lines = m_sim->Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "VR");
    EXPECT_EQ(lines[1], "LP");
    // Parameter 0 comes first unless it is the commented-out rate.
    const int first = baudParam == 0 ? 1 : 0;
    EXPECT_EQ(lines[2], "MA" + std::to_string(first));
    EXPECT_EQ(lines.back(), "SP");
    // The commented-out rate line never reaches the drive.
    for (const std::string& line : lines)
        EXPECT_NE(line, "MA" + std::to_string(baudParam));
    EXPECT_EQ(progress.statuses.front(), "Line : #2\tLP");
    EXPECT_EQ(progress.statuses[1],
              "Line : #" + std::to_string(4 + first) + "\tMA" + std::to_string(first));
    EXPECT_EQ(m_master.GetCurrentAddress(), kNoAddress);
}

INSTANTIATE_TEST_SUITE_P(SampleDrives, ScriptRoundTripTest,
                         testing::Values(kSampleBipolarVersion, kSampleUnipolarVersion,
                                         kSampleServoVersion));

TEST_F(ScriptExecutionTest, OtherVersionIsRefusedWithItsMessage)
{
    Connect();
    m_boxes.Answer(host::IDOK);
    EXPECT_FALSE(ExecuteRaw("VR Tarvix Unipolar Version 9.8.7 other\r\nMA 10 MD 2\r\n"));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text,
              std::string("Incorrect Driver Software Version in script file\n"
                          "Connected driver version: ") +
                  kSampleBipolarVersion +
                  "\nDriver version in script file: Tarvix Unipolar Version 9.8.7");
    EXPECT_EQ(m_boxes.Shown()[0].type, host::MB_ICONHAND);
    EXPECT_EQ(m_boxes.Shown()[0].caption, "");
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "VR"}));
}

TEST_F(ScriptExecutionTest, OnlyTheFirstThreeNumbersAreCompared)
{
    Connect();
    m_sim->SetVersionText("Tarvix Bipolar Version 1.2.35 beta");
    EXPECT_TRUE(ExecuteRaw("vr tarvix bipolar version 1.2.3.9 other text\nMA 10 MD 2\n"));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "MA10", "MD2"}));
    EXPECT_EQ(m_sim->Value(10), 2);
}

TEST_F(ScriptExecutionTest, FileWithoutVersionLineIsRefusedSilently)
{
    Connect();
    EXPECT_FALSE(ExecuteRaw(""));
    EXPECT_FALSE(ExecuteRaw("MA 10 MD 2\r\n"));
    EXPECT_FALSE(ExecuteRaw("VR Tarvix Bipolar Version 1.2\r\nMA 10 MD 2\r\n"));
    EXPECT_TRUE(m_sim->Lines().empty());
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(ScriptExecutionTest, CommandsAreReformattedFromTheirTokens)
{
    Connect();
    RecordingProgress progress;
    EXPECT_TRUE(Execute("\r\n"
                        "MA\t12\tMD\t+0500\t// twelve\r\n"
                        "MA12MD3\r\n"
                        "SP     // store\r\n",
                        &progress));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "MA12", "MD500", "MA12", "MD3", "SP"}));
    EXPECT_EQ(progress.statuses,
              (std::vector<std::string>{"Line : #2\tMA12", "Line : #2\tMD+0500", "Line : #3\tMA12",
                                        "Line : #3\tMD3", "Line : #4\tSP"}));
    EXPECT_EQ(progress.steps, 5);
    EXPECT_EQ(m_sim->Value(12), 3);
}

TEST_F(ScriptExecutionTest, ScriptLeavesCacheInvalidAndAddressUnknown)
{
    Connect();
    ASSERT_TRUE(m_master.ReadAllParameters(nullptr));
    m_sim->ClearLines();
    EXPECT_TRUE(Execute("MA 4 MD 9\r\n"));
    for (uint16_t i = 0; i < m_master.GetDriver()->GetParameterCount(); ++i)
        ASSERT_EQ(m_master.GetCacheEntry(i)->valid, 0) << i;
    EXPECT_EQ(m_master.GetCurrentAddress(), kNoAddress);
    // The next read asks for the address again.
    m_sim->ClearLines();
    int value = 0;
    ASSERT_TRUE(m_master.GetParameter(&value, 5, true));
    EXPECT_EQ(m_sim->Lines(), (Lines{"MA5", "MD"}));
}

TEST_F(ScriptExecutionTest, YesAfterAFailedLineGoesOn)
{
    Connect();
    m_sim->ErrorOn("XY", "Error 12");
    m_boxes.Answer(host::IDIGNORE);
    m_boxes.Answer(host::IDYES);
    EXPECT_TRUE(Execute("MA 10 MD 7\r\nXY 5\r\nMA 11 MD 8\r\n"));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "MA10", "MD7", "XY5", "MA11", "MD8"}));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "Command \"XY5\" was failed.\nError 12");
    EXPECT_EQ(m_boxes.Shown()[1].text, Question(2, "XY5"));
    EXPECT_EQ(m_boxes.Shown()[1].type, kQuestionType);
    EXPECT_EQ(m_sim->Value(11), 8);
}

TEST_F(ScriptExecutionTest, NoAfterAFailedLineStops)
{
    Connect();
    m_sim->ErrorOn("XY", "Error 12");
    m_boxes.Answer(host::IDIGNORE);
    m_boxes.Answer(host::IDNO);
    EXPECT_FALSE(Execute("MA 10 MD 7\r\nXY\r\nMA 11 MD 8\r\n"));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "MA10", "MD7", "XY"}));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Shown()[1].text, Question(2, "XY"));
    EXPECT_EQ(m_master.GetCurrentAddress(), kNoAddress);
}

TEST_F(ScriptExecutionTest, ClosedPortAsksForEveryFurtherLine)
{
    Connect();
    m_sim->NoEchoOn("LP");
    m_boxes.Answer(host::IDIGNORE);  // the exchange's box; the port is closed now
    m_boxes.Answer(host::IDYES);
    m_boxes.Answer(host::IDYES);     // "MA" fails at once, no exchange box
    m_boxes.Answer(host::IDNO);      // "MD" likewise; stop here
    EXPECT_FALSE(Execute("LP\r\nMA 10 MD 2\r\nSP\r\n"));
    EXPECT_FALSE(m_master.IsOpen());
    ASSERT_EQ(m_boxes.Count(), 4u);
    EXPECT_EQ(m_boxes.Shown()[2].text, Question(2, "MA10"));
    EXPECT_EQ(m_boxes.Shown()[3].text, Question(2, "MD2"));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "LP"}));
}

TEST_F(ScriptExecutionTest, CancelStopsBeforeTheNextCommand)
{
    Connect();
    RecordingProgress progress;
    progress.cancelAt = 3;
    EXPECT_FALSE(Execute("MA 10 MD 7\r\nMA 11 MD 8\r\n", &progress));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "MA10", "MD7"}));
    EXPECT_EQ(m_master.GetCurrentAddress(), kNoAddress);
}

TEST_F(ScriptExecutionTest, UnreadableTextStopsWithItsLine)
{
    Connect();
    m_boxes.Answer(host::IDOK);
    EXPECT_FALSE(Execute("MA 10 MD 7\r\n\r\nMA 11 /* old */ MD 8\r\nSP\r\n"));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "MA10", "MD7", "MA11"}));
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.Shown()[0].text, "Unreadable text in script file.\nLine : #3");
    EXPECT_EQ(m_boxes.Shown()[0].type, host::MB_ICONHAND);

    m_sim->ClearLines();
    m_boxes.Answer(host::IDOK);
    EXPECT_FALSE(Execute(std::string("MA 10\r\n\x01\x02 MD 3\r\n")));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "MA10"}));
    ASSERT_EQ(m_boxes.Count(), 2u);
    EXPECT_EQ(m_boxes.Shown()[1].text, "Unreadable text in script file.\nLine : #2");

    // A NUL byte is unreadable too, not the end of the file.
    m_sim->ClearLines();
    m_boxes.Answer(host::IDOK);
    EXPECT_FALSE(Execute(std::string("MA 10\r\nMD 3\0\r\nLD\r\n", 16)));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR", "MA10", "MD3"}));
    ASSERT_EQ(m_boxes.Count(), 3u);
    EXPECT_EQ(m_boxes.Shown()[2].text, "Unreadable text in script file.\nLine : #2");
}

TEST_F(ScriptExecutionTest, CommentsAndBlankLinesOnlyEndNormally)
{
    Connect();
    EXPECT_TRUE(Execute("\r\n// nothing to do\r\n\r\n   \t\r\n// end"));
    EXPECT_EQ(m_sim->Lines(), (Lines{"VR"}));
}

}  // namespace
