#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "drive/Vcm.h"
#include "tests/support/SimulatedDriveOnCom.h"
#include "tools/drivesim/SampleDrives.h"

using namespace std::chrono_literals;
using FaultKind = SimulatedDrive::FaultKind;
using Lines = std::vector<std::string>;

namespace {

constexpr unsigned kCom = 220;
constexpr int kBaudParam = 3;

class DriveSimTest : public testing::Test {
protected:
    void SetUp() override
    {
        DriveProfile profile;
        profile.versionText = "Tarvix Unipolar Version 2.0.1";
        profile.values.resize(40);
        for (size_t i = 0; i < profile.values.size(); ++i)
            profile.values[i] = static_cast<int32_t>(i * 10);
        profile.values[kBaudParam] = 5;
        profile.readOnly = {1, 2};
        profile.baudRateParam = kBaudParam;
        profile.motorTabParam = 10;
        profile.motorStart = 20;
        profile.motorEnd = 29;
        profile.testArrayStart = 50;
        profile.testArrayLength = 8;
        sim->ApplyProfile(profile);
    }

    SimulatedDriveOnCom sim{kCom};
    CVcm vcm;
};

}  // namespace

TEST_F(DriveSimTest, ProfileSetsVersionValuesAndReadOnlyParameters)
{
    ASSERT_TRUE(vcm.Open(kCom, 9600));
    EXPECT_EQ(vcm.RequestVersion(), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "Tarvix Unipolar Version 2.0.1");
    EXPECT_EQ(sim->GetParameterCount(), 58u);  // the test array lies past the values
    EXPECT_TRUE(vcm.SetAddress(5));
    EXPECT_EQ(vcm.ReadData(), 50);
    EXPECT_FALSE(vcm.WriteParameter(1, 3, nullptr));
    EXPECT_STREQ(vcm.GetReply(), "Error: parameter is read-only");
    EXPECT_EQ(vcm.SendCommandValue("MA", 58), kVcmErrorAnswer);
}

TEST_F(DriveSimTest, SwitchesRateAfterTheAnswerAndIgnoresAHostAtAnotherRate)
{
    ASSERT_TRUE(vcm.Open(kCom, 9600));
    int answer = 0;
    EXPECT_TRUE(vcm.WriteParameter(kBaudParam, 9, &answer));  // answered at 9600
    EXPECT_EQ(answer, 9);
    EXPECT_EQ(sim->GetLineRate(), 115200);

    EXPECT_EQ(vcm.SendCommand("VR"), kVcmNoEcho);  // still at 9600: noise to the drive
    EXPECT_FALSE(vcm.IsOpen());
    EXPECT_GT(sim->GetDroppedByteCount(), 0u);
    EXPECT_EQ(sim->ReceivedLines(), (Lines{"MA3", "MD9"}));

    ASSERT_TRUE(vcm.Open(kCom, 115200));
    EXPECT_EQ(vcm.RequestVersion(), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "Tarvix Unipolar Version 2.0.1");

    // A rate without a standard speed constant.
    vcm.ForgetCurrentAddress();
    EXPECT_TRUE(vcm.WriteParameter(kBaudParam, 10, nullptr));
    EXPECT_EQ(sim->GetLineRate(), 128000);
    vcm.Close();
    ASSERT_TRUE(vcm.Open(kCom, 128000));
    EXPECT_EQ(sim->GetHostLineRate(), 128000);
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
}

TEST_F(DriveSimTest, MotorRangeIsKeptPerSlot)
{
    ASSERT_TRUE(vcm.Open(kCom, 9600));
    EXPECT_TRUE(vcm.WriteParameter(10, 3, nullptr));
    EXPECT_TRUE(vcm.WriteParameter(20, 777, nullptr));
    EXPECT_TRUE(vcm.WriteParameter(30, 888, nullptr));  // outside the range: shared
    EXPECT_TRUE(vcm.WriteParameter(10, 0, nullptr));
    EXPECT_TRUE(vcm.SetAddress(20));
    EXPECT_EQ(vcm.ReadData(), 200);
    EXPECT_TRUE(vcm.SetAddress(30));
    EXPECT_EQ(vcm.ReadData(), 888);
    EXPECT_TRUE(vcm.WriteParameter(10, 3, nullptr));
    EXPECT_TRUE(vcm.SetAddress(20));
    EXPECT_EQ(vcm.ReadData(), 777);
    EXPECT_EQ(sim->GetBankValue(3, 20), 777);
    EXPECT_EQ(sim->GetBankValue(0, 20), 200);
    EXPECT_FALSE(vcm.WriteParameter(10, 16, nullptr));  // no slot 16
}

TEST_F(DriveSimTest, EepromCommandsAndHooks)
{
    ASSERT_TRUE(vcm.Open(kCom, 9600));
    EXPECT_TRUE(vcm.WriteParameter(5, 1, nullptr));
    EXPECT_EQ(vcm.SendCommand("SP"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "OK");
    EXPECT_TRUE(vcm.WriteParameter(5, 2, nullptr));
    EXPECT_EQ(vcm.SendCommand("LP"), kVcmOk);
    EXPECT_EQ(sim->GetValue(5), 1);
    EXPECT_EQ(vcm.SendCommand("LD"), kVcmOk);
    EXPECT_EQ(sim->GetValue(5), 50);

    std::vector<std::string> seen;
    sim->SetCommandHook("TN", [&](const SimulatedDrive::Command& c) {
        seen.push_back(c.rest);
        return c.hasValue ? "T" + std::to_string(c.value * 2) : std::string("Error: no value");
    });
    EXPECT_EQ(vcm.SendCommandValue("TN", 21), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "T42");
    EXPECT_EQ(vcm.SendCommand("TN"), kVcmErrorAnswer);
    EXPECT_EQ(seen, (Lines{"21", ""}));
    sim->RemoveCommandHook("TN");
    EXPECT_EQ(vcm.SendCommand("TN"), kVcmErrorAnswer);
    EXPECT_STREQ(vcm.GetReply(), "Error: unknown command");

    // A write hook that sets a flag elsewhere, as a reset request would.
    sim->SetWriteHook([&](uint16_t address, int32_t&) {
        if (address == 6)
            sim->SetValue(7, 1);
    });
    EXPECT_TRUE(vcm.WriteParameter(6, 0, nullptr));
    EXPECT_EQ(sim->GetValue(7), 1);
}

TEST_F(DriveSimTest, CarriesOutTheCommandsOfThePageButtons)
{
    const struct {
        const char* version;
        Lines words;
    } samples[] = {
        {kSampleBipolarVersion, {"CA", "HM"}},
        {kSampleServoVersion, {"AT", "CA", "HM", "TR"}},
    };
    ASSERT_TRUE(vcm.Open(kCom, 9600));
    for (const auto& sample : samples) {
        SCOPED_TRACE(sample.version);
        DriveProfile profile;
        std::string error;
        ASSERT_TRUE(LoadDriveProfile(sample.version, profile, error)) << error;
        EXPECT_EQ(Lines(profile.commandWords.begin(), profile.commandWords.end()), sample.words);
        sim->ApplyProfile(profile);
        for (const std::string& word : sample.words) {
            EXPECT_EQ(vcm.SendCommand(word.c_str()), kVcmOk) << word;
            EXPECT_STREQ(vcm.GetReply(), "OK");
        }
        EXPECT_EQ(vcm.SendCommand("XY"), kVcmErrorAnswer);
        EXPECT_EQ(vcm.SendCommandValue("CA", 1), kVcmErrorAnswer);
    }
}

TEST_F(DriveSimTest, FaultsCountExchangesAndCanWaitForACommand)
{
    ASSERT_TRUE(vcm.Open(kCom, 9600));
    sim->InjectFault({FaultKind::ErrorAnswer}, 2, "MD");
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
    EXPECT_EQ(vcm.SendCommand("MD"), kVcmErrorAnswer);
    EXPECT_EQ(vcm.SendCommand("MD"), kVcmErrorAnswer);
    EXPECT_EQ(vcm.SendCommand("MD"), kVcmOk);
    sim->InjectFault({FaultKind::Answer, "x"}, -1);
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "x");
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "x");
    sim->ClearFaults();
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "Tarvix Unipolar Version 2.0.1");
    EXPECT_EQ(sim->SentLines().back(), "Tarvix Unipolar Version 2.0.1");
    sim->ClearRecord();
    EXPECT_TRUE(sim->ReceivedLines().empty());
}

TEST_F(DriveSimTest, PacedLineStillAnswers)
{
    sim->SetPacing(true);
    sim->SetLineRate(115200);
    ASSERT_TRUE(vcm.Open(kCom, 115200));
    EXPECT_TRUE(vcm.SetAddress(4));
    EXPECT_EQ(vcm.ReadData(), 40);
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
}

// Runs the drivesim program with the given options, asks it "VR" on its device
// and returns the answer; the program must end cleanly on SIGTERM.
std::string VersionAnswerOfProgram(std::vector<const char*> options)
{
    std::filesystem::path exe =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "drivesim";
    int out[2];
    if (::pipe(out) != 0)
        return "pipe failed";
    options.insert(options.begin(), "drivesim");
    options.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execv(exe.c_str(), const_cast<char* const*>(options.data()));
        ::_exit(127);
    }
    ::close(out[1]);
    FILE* stream = ::fdopen(out[0], "r");
    char line[256] = {};
    std::string answer = "no device printed";
    if (std::fgets(line, sizeof line, stream)) {
        std::string path(line);
        while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
            path.pop_back();
        ComOverride com(kCom + 1, path);
        CVcm vcm;
        if (vcm.Open(kCom + 1, 9600))
            answer = vcm.RequestVersion() == kVcmOk ? vcm.GetReply() : "no version";
    }
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::fclose(stream);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    return answer;
}

TEST(DriveSimProgram, PrintsItsDeviceAndAnswersUntilTerminated)
{
    EXPECT_EQ(VersionAnswerOfProgram({"--version-text", "Sim Text 9.9.9"}), "Sim Text 9.9.9");
}

TEST(DriveSimProgram, PlaysADriveVersionOfTheDatabase)
{
    EXPECT_EQ(VersionAnswerOfProgram({}), kSampleBipolarVersion);
    EXPECT_EQ(VersionAnswerOfProgram({"--drive", "servo"}), kSampleServoVersion);
}
