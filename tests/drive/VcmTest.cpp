#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "drive/Vcm.h"
#include "platform/CloseRequest.h"
#include "platform/MessageBox.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/SimulatedDriveOnCom.h"

using namespace std::chrono_literals;
using Fault = SimulatedDrive::Fault;
using FaultKind = SimulatedDrive::FaultKind;

namespace {

constexpr unsigned kCom = 210;
constexpr unsigned kBoxType = host::MB_ABORTRETRYIGNORE | host::MB_ICONEXCLAMATION;

const char kNoEchoText[] =
    "An error is occured at the communication\n which couldn't received echo command.\n"
    "Port will be disconnected.";
const char kWrongEchoText[] = "An error is occured at the communication\n which received wrong echo.";
const char kWriteFailedText[] =
    "An error is occured during writing the command.\nPort will be disconnected.";

class ProbeVcm : public CVcm {
public:
    using CVcm::m_nCurrentAddress;
    bool WriteRaw(const char* text) { return m_hPort.Write(text, std::strlen(text)); }
};

// Records close requests for the lifetime of the object.
class CloseRequests {
public:
    CloseRequests()
    {
        m_previous = host::SetCloseHandler([this] { ++m_count; });
    }
    ~CloseRequests() { host::SetCloseHandler(m_previous); }
    int Count() const { return m_count; }

private:
    int m_count = 0;
    host::CloseHandler m_previous;
};

std::string LockFilePath()
{
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    return std::string(dir ? dir : "/tmp") + "/TARVIX MUTEX.lock";
}

// Whether another holder could take the exchange lock right now.
bool ExchangeLockIsFree()
{
    int fd = ::open(LockFilePath().c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (free)
        ::flock(fd, LOCK_UN);
    ::close(fd);
    return free;
}

class VcmTest : public testing::Test {
protected:
    void SetUp() override
    {
        sim->SetParameterCount(64);
        for (uint16_t i = 0; i < 64; ++i)
            sim->SetValue(i, 100 + i);
        ASSERT_TRUE(vcm.Open(kCom, 9600));
    }

    std::vector<std::string> Received() { return sim->ReceivedLines(); }

    SimulatedDriveOnCom sim{kCom};
    ProbeVcm vcm;
};

using Lines = std::vector<std::string>;

}  // namespace

// ---- exchanges and their results ---------------------------------------------

TEST_F(VcmTest, ExchangeSendsTheLineAndKeepsTheAnswer)
{
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "Tarvix Bipolar Version 1.2.3");
    EXPECT_STREQ(vcm.GetCommandLine(), "VR\r\n");
    EXPECT_EQ(vcm.SendCommandValue("MA", 12), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "12");
    EXPECT_EQ(vcm.SendCommandValue("MD", -5), kVcmOk);
    EXPECT_STREQ(vcm.GetCommandLine(), "MD-5\r\n");
    EXPECT_EQ(Received(), (Lines{"VR", "MA12", "MD-5"}));
    EXPECT_TRUE(vcm.IsOpen());
}

TEST_F(VcmTest, ClosedPortSendsNothingAndShowsNoBox)
{
    vcm.Close();
    vcm.SetShowErrorBox(true);
    vcm.m_nCurrentAddress = 5;
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmPortNotOpen);
    EXPECT_EQ(vcm.SendCommandValue("MA", 3), kVcmPortNotOpen);
    EXPECT_EQ(vcm.GetCurrentAddress(), 5);
    EXPECT_TRUE(Received().empty());
}

TEST_F(VcmTest, MissingEchoClosesThePort)
{
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDIGNORE);
    vcm.SetShowErrorBox(true);
    vcm.m_nCurrentAddress = 5;
    sim->InjectFault({FaultKind::Silent});
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmNoEcho);
    EXPECT_FALSE(vcm.IsOpen());
    EXPECT_EQ(vcm.GetCurrentAddress(), kNoAddress);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, kNoEchoText);
    EXPECT_EQ(boxes.Shown()[0].caption, "");
    EXPECT_EQ(boxes.Shown()[0].type, kBoxType);
}

TEST_F(VcmTest, WrongEchoKeepsThePortOpen)
{
    ScriptedMessageBoxes boxes;
    boxes.AnswerAlways(host::IDIGNORE);
    vcm.SetShowErrorBox(true);

    sim->InjectFault({FaultKind::WrongEcho, "MB12"});
    EXPECT_EQ(vcm.SendCommandValue("MA", 12), kVcmWrongEcho);
    EXPECT_TRUE(vcm.IsOpen());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, kWrongEchoText);
    EXPECT_EQ(boxes.Shown()[0].type, kBoxType);
}

TEST_F(VcmTest, EchoLongerThanTheLineIsWrong)
{
    sim->InjectFault({FaultKind::EchoLonger});
    EXPECT_EQ(vcm.SendCommandValue("MA", 12), kVcmWrongEcho);  // echo "MA120"
    EXPECT_TRUE(vcm.IsOpen());
}

TEST_F(VcmTest, EchoInOtherCaseOrCutShortPasses)
{
    sim->InjectFault({FaultKind::EchoOtherCase});
    EXPECT_EQ(vcm.SendCommandValue("MA", 12), kVcmOk);  // echo "ma12"
    EXPECT_STREQ(vcm.GetReply(), "12");
    sim->InjectFault({FaultKind::EchoCutShort});
    EXPECT_EQ(vcm.SendCommandValue("MA", 1), kVcmOk);  // echo "M"
    EXPECT_STREQ(vcm.GetReply(), "1");
    sim->InjectFault({FaultKind::WrongEcho, "MA1"});
    EXPECT_EQ(vcm.SendCommandValue("MA", 12), kVcmOk);
}

TEST_F(VcmTest, EmptyLineBeforeTheEchoIsSkipped)
{
    sim->InjectFault({FaultKind::EmptyLineBeforeEcho});
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "Tarvix Bipolar Version 1.2.3");
}

TEST_F(VcmTest, ControlAndHighBytesInLinesAreDropped)
{
    sim->InjectFault({FaultKind::Garbage});
    EXPECT_EQ(vcm.SendCommandValue("MA", 12), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "12");
}

TEST_F(VcmTest, ErrorAnswersInAnyCase)
{
    ScriptedMessageBoxes boxes;
    boxes.AnswerAlways(host::IDIGNORE);
    vcm.SetShowErrorBox(true);

    sim->InjectFault({FaultKind::ErrorAnswer, "error 7"});
    EXPECT_EQ(vcm.SendCommand("MD"), kVcmErrorAnswer);
    EXPECT_STREQ(vcm.GetReply(), "error 7");
    sim->InjectFault({FaultKind::ErrorAnswer, "ERROR"});
    EXPECT_EQ(vcm.SendCommandValue("MD", 5), kVcmErrorAnswer);
    sim->InjectFault({FaultKind::Answer, "Err"});
    EXPECT_EQ(vcm.SendCommand("MD"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "Err");
    EXPECT_TRUE(vcm.IsOpen());

    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, "Command \"MD\" was failed.\nerror 7");
    EXPECT_EQ(boxes.Shown()[1].text, "Command \"MD5\" was failed.\nERROR");
    EXPECT_EQ(boxes.Shown()[1].type, kBoxType);
}

TEST_F(VcmTest, EchoBeginningWithErrorIsOnlyCompared)
{
    sim->SetCommandHook("ERRORX", [](const SimulatedDrive::Command&) { return "done"; });
    EXPECT_EQ(vcm.SendCommand("ERRORX"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "done");
}

TEST_F(VcmTest, UnknownCommandAndReadOnlyWriteFail)
{
    sim->SetReadOnly(3);
    EXPECT_EQ(vcm.SendCommand("QQ"), kVcmErrorAnswer);
    EXPECT_EQ(vcm.SendCommandValue("MA", 3), kVcmOk);
    EXPECT_EQ(vcm.SendCommandValue("MD", 1), kVcmErrorAnswer);
    EXPECT_EQ(sim->GetValue(3), 103);
}

TEST_F(VcmTest, WriteFailureClosesThePort)
{
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDIGNORE);
    vcm.SetShowErrorBox(true);
    sim->VanishNow();
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmWriteFailed);
    EXPECT_FALSE(vcm.IsOpen());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, kWriteFailedText);
}

TEST_F(VcmTest, DeviceVanishingBeforeTheEchoIsNoEcho)
{
    sim->InjectFault({FaultKind::VanishBeforeEcho});
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmNoEcho);
    EXPECT_FALSE(vcm.IsOpen());
    EXPECT_TRUE(sim->HasVanished());
}

TEST_F(VcmTest, EndlessNonPrintableBytesDoNotHoldTheReaderPastItsTimeOut)
{
    sim->InjectFault({FaultKind::NonPrintableFlood});
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmNoEcho);
    EXPECT_TRUE(sim->IsFlooding());  // the bytes were still coming
    EXPECT_FALSE(vcm.IsOpen());
    sim->ClearFaults();
}

// The one test that waits out the answer time-out.
TEST_F(VcmTest, MissingAnswerAfterFiveSeconds)
{
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDIGNORE);
    vcm.SetShowErrorBox(true);
    vcm.m_nCurrentAddress = 12;
    sim->InjectFault({FaultKind::NoAnswer});
    EXPECT_EQ(vcm.SendCommandValue("MA", 12), kVcmNoAnswer);
    EXPECT_TRUE(vcm.IsOpen());
    EXPECT_EQ(vcm.GetCurrentAddress(), kNoAddress);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Command \"MA12\" returned nothing.");
    // The line is usable afterwards.
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
}

TEST_F(VcmTest, NoBoxWhileBoxesAreOff)
{
    // The global guard fails the test on any box.
    sim->InjectFault({FaultKind::ErrorAnswer});
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmErrorAnswer);
    sim->InjectFault({FaultKind::WrongEcho});
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmWrongEcho);
}

// ---- Abort, Retry, Ignore ------------------------------------------------------

TEST_F(VcmTest, RetryRepeatsTheWholeExchange)
{
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDRETRY);
    ASSERT_TRUE(vcm.SetAddress(7));
    vcm.SetShowErrorBox(true);
    sim->InjectFault({FaultKind::ErrorAnswer});
    EXPECT_EQ(vcm.SendCommand("MD"), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "107");
    EXPECT_EQ(Received(), (Lines{"MA7", "MD", "MD"}));
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(vcm.GetCurrentAddress(), 7);  // SendCommand itself leaves it alone
}

TEST_F(VcmTest, RetryAfterTheLineWasClosedFailsToWrite)
{
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDRETRY);
    boxes.Answer(host::IDIGNORE);
    vcm.SetShowErrorBox(true);
    sim->InjectFault({FaultKind::Silent});
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmWriteFailed);
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, kNoEchoText);
    EXPECT_EQ(boxes.Shown()[1].text, kWriteFailedText);
    EXPECT_EQ(Received(), (Lines{"VR"}));
    EXPECT_FALSE(vcm.IsOpen());
}

TEST_F(VcmTest, AbortAsksTheApplicationToCloseAndKeepsTheAddress)
{
    ScriptedMessageBoxes boxes;
    CloseRequests closes;
    boxes.Answer(host::IDABORT);
    vcm.SetShowErrorBox(true);
    vcm.m_nCurrentAddress = 9;
    sim->InjectFault({FaultKind::ErrorAnswer});
    EXPECT_EQ(vcm.SendCommand("MD"), kVcmAborted);
    EXPECT_EQ(closes.Count(), 1);
    EXPECT_EQ(vcm.GetCurrentAddress(), 9);
    EXPECT_TRUE(vcm.IsOpen());
    // Until the close begins, the exchanges that follow end at once: nothing
    // on the line, no box.
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmAborted);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(Received(), (Lines{"MD"}));
    host::ClearCloseRequest();
    EXPECT_EQ(vcm.SendCommand("VR"), kVcmOk);
}

TEST_F(VcmTest, ExchangeHoldsTheLockAndTheBoxComesAfterItsRelease)
{
    vcm.SetShowErrorBox(true);
    bool freeDuringExchange = true;
    sim->SetCommandHook("LOCKED", [&](const SimulatedDrive::Command&) {
        freeDuringExchange = ExchangeLockIsFree();
        return std::string("Error: checked");
    });
    bool freeDuringBox = false;
    host::MessageBoxHandler previous = host::SetMessageBoxHandler(
        [&](const std::string&, const std::string&, unsigned) {
            freeDuringBox = ExchangeLockIsFree();
            return host::IDIGNORE;
        });
    EXPECT_EQ(vcm.SendCommand("LOCKED"), kVcmErrorAnswer);
    host::SetMessageBoxHandler(previous);
    EXPECT_FALSE(freeDuringExchange);
    EXPECT_TRUE(freeDuringBox);
}

// ---- lines ---------------------------------------------------------------------

TEST_F(VcmTest, LongLineIsCutAndTheRestIsTheNextLine)
{
    sim->InjectFault({FaultKind::LongAnswer, {}, 0ms, 300});
    ASSERT_TRUE(vcm.WriteRaw("VR\r\n"));
    EXPECT_EQ(vcm.ReadLine(kEchoTimeoutMs), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "VR");
    std::string expected(300, ' ');
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = static_cast<char>('A' + i % 26);
    EXPECT_EQ(vcm.ReadLine(kEchoTimeoutMs), kVcmOk);
    EXPECT_EQ(std::string(vcm.GetReply()), expected.substr(0, 255));
    EXPECT_EQ(vcm.ReadLine(kEchoTimeoutMs), kVcmOk);
    EXPECT_EQ(std::string(vcm.GetReply()), expected.substr(255));
}

TEST_F(VcmTest, LineNotEndedInTimeFailsAndItsBytesStayForTheNextRead)
{
    sim->InjectFault({FaultKind::SlowAnswer, {}, 500ms});
    ASSERT_TRUE(vcm.WriteRaw("VR\r\n"));
    EXPECT_EQ(vcm.ReadLine(kEchoTimeoutMs), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "VR");
    EXPECT_EQ(vcm.ReadLine(20), kVcmNoAnswer);
    EXPECT_EQ(vcm.ReadLine(kAnswerTimeoutMs), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "Tarvix Bipolar Version 1.2.3");
}

TEST_F(VcmTest, RequestVersionSendsAnEmptyLineFirst)
{
    EXPECT_EQ(vcm.RequestVersion(), kVcmOk);
    EXPECT_STREQ(vcm.GetReply(), "Tarvix Bipolar Version 1.2.3");
    EXPECT_EQ(Received(), (Lines{"", "VR"}));
}

TEST_F(VcmTest, OverlongCommandStillEndsItsLine)
{
    std::string word(300, 'Z');
    EXPECT_EQ(vcm.SendCommand(word.c_str()), kVcmErrorAnswer);
    std::string line = vcm.GetCommandLine();
    EXPECT_EQ(line.size(), 255u);
    EXPECT_EQ(line.substr(253), "\r\n");
    EXPECT_EQ(Received(), (Lines{word.substr(0, 253)}));
}

// ---- what a failed exchange leaves behind -------------------------------------------

namespace {

struct LeftoverCase {
    const char* name;
    Fault fault;
    const char* command;  // the fault meets only this command
    int faultyReads;      // reads of parameters 20, 21, ... that meet the fault
    int firstBox;         // answer to the first box; later boxes are ignored
    const char* firstBoxText;
    bool mayFailFirst;    // the first read after the drive is well again
};

const char kMdNothingText[] = "Command \"MD\" returned nothing.";

const LeftoverCase kLeftoverCases[] = {
    {"AnswerAfterTheTimeOut", {FaultKind::SlowAnswer, {}, 5200ms}, "MD", 1, host::IDIGNORE,
     kMdNothingText, false},
    {"OverlongEchoes", {FaultKind::EchoLonger}, "MD", 2, host::IDIGNORE, kWrongEchoText, false},
    {"GarbageLines", {FaultKind::RawReply, "\x01#?\x80\r\n@@ 7\r\n\xff\xfezz 120\r\n"}, "MD", 3,
     host::IDIGNORE, kWrongEchoText, false},
    {"AnswerLongerThanALine", {FaultKind::LongAnswer, {}, 0ms, 600}, "MD", 1, host::IDIGNORE,
     kMdNothingText, false},
    // Its first 255 digits would read as a value.
    {"DigitsLongerThanALine", {FaultKind::Answer, "1" + std::string(299, '7')}, "MD", 1,
     host::IDIGNORE, kMdNothingText, false},
    {"MoreThanTheReceiveQueueAtOnce", {FaultKind::RawReply, std::string(6000, '#')}, "MD", 1,
     host::IDIGNORE, kWrongEchoText, false},
    // The second read comes while the drive still floods: the line never
    // goes quiet, and its command is what stops the drive.
    {"LinesWithoutEnd", {FaultKind::LineFlood, {}, 10min}, "MD", 2, host::IDIGNORE, kWrongEchoText,
     true},
    {"GarbledEchoThenRetry", {FaultKind::WrongEcho, "X#q"}, "MA", 1, host::IDRETRY, kWrongEchoText,
     false},
};

void PrintTo(const LeftoverCase& c, std::ostream* os) { *os << c.name; }

class LeftoverTest : public VcmTest, public testing::WithParamInterface<LeftoverCase> {
protected:
    int Read(uint16_t parameter) { return vcm.SetAddress(parameter) ? vcm.ReadData() : kReadFailed; }
};

}  // namespace

// Whatever a drive sends late, garbled or in a flood costs the exchange it
// belongs to and its box, never a later exchange's value.
TEST_P(LeftoverTest, CostsOnlyTheExchangeItBelongsTo)
{
    const LeftoverCase& c = GetParam();
    ScriptedMessageBoxes boxes;
    boxes.Answer(c.firstBox);
    boxes.AnswerAlways(host::IDIGNORE);
    vcm.SetShowErrorBox(true);

    sim->InjectFault(c.fault, c.faultyReads, c.command);
    for (int i = 0; i < c.faultyReads; ++i) {
        int value = Read(static_cast<uint16_t>(20 + i));
        if (c.firstBox == host::IDRETRY) {
            EXPECT_EQ(value, 120 + i);  // the Retry started on a clean line
        } else if (i == 0) {
            EXPECT_EQ(value, kReadFailed);
        }
    }
    EXPECT_TRUE(vcm.IsOpen());
    ASSERT_GE(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, c.firstBoxText);

    sim->ClearFaults();
    ASSERT_TRUE(sim->WaitUntilIdle(10s));
    const size_t boxesBefore = boxes.Count();
    size_t failures = 0;
    for (uint16_t parameter = 30; parameter < 38; ++parameter) {
        int value = Read(parameter);
        if (value == kReadFailed && parameter == 30 && c.mayFailFirst) {
            ++failures;
            continue;
        }
        EXPECT_EQ(value, 100 + parameter) << "parameter " << parameter;
    }
    EXPECT_EQ(boxes.Count() - boxesBefore, failures);
}

INSTANTIATE_TEST_SUITE_P(Faults, LeftoverTest, testing::ValuesIn(kLeftoverCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- address tracking ------------------------------------------------------------

TEST_F(VcmTest, RepeatedSetAddressSendsOneMa)
{
    EXPECT_TRUE(vcm.SetAddress(12));
    EXPECT_TRUE(vcm.SetAddress(12));
    EXPECT_EQ(vcm.GetCurrentAddress(), 12);
    EXPECT_EQ(Received(), (Lines{"MA12"}));
}

TEST_F(VcmTest, FailedExchangeForgetsTheAddress)
{
    EXPECT_TRUE(vcm.SetAddress(12));
    sim->InjectFault({FaultKind::ErrorAnswer});
    EXPECT_EQ(vcm.ReadData(), kReadFailed);
    EXPECT_EQ(vcm.GetCurrentAddress(), kNoAddress);
    EXPECT_TRUE(vcm.SetAddress(12));
    EXPECT_EQ(Received(), (Lines{"MA12", "MD", "MA12"}));
}

TEST_F(VcmTest, ReadDataAdvancesTheAddress)
{
    EXPECT_TRUE(vcm.SetAddress(7));
    EXPECT_EQ(vcm.ReadData(), 107);
    EXPECT_EQ(vcm.GetCurrentAddress(), 8);
    EXPECT_TRUE(vcm.SetAddress(8));
    EXPECT_EQ(vcm.ReadData(), 108);
    EXPECT_EQ(Received(), (Lines{"MA7", "MD", "MD"}));
    EXPECT_EQ(sim->GetAddress(), 9);
}

TEST_F(VcmTest, ReadDataWithoutKnownAddressStaysUnknown)
{
    sim->SetValue(0, -42);
    EXPECT_EQ(vcm.ReadData(), -42);  // the drive starts at address 0
    EXPECT_EQ(vcm.GetCurrentAddress(), kNoAddress);
}

TEST_F(VcmTest, AddressFFFFIsNeverSent)
{
    EXPECT_TRUE(vcm.SetAddress(0xFFFF));
    EXPECT_TRUE(Received().empty());
}

TEST_F(VcmTest, DriveSelectingAnotherAddressIsKept)
{
    sim->InjectFault({FaultKind::Answer, "13"});
    EXPECT_FALSE(vcm.SetAddress(12));
    EXPECT_EQ(vcm.GetCurrentAddress(), 13);
    sim->InjectFault({FaultKind::Answer, "  14"});
    EXPECT_TRUE(vcm.SetAddress(14));
}

TEST_F(VcmTest, ValueOf65535ReadsAsFailure)
{
    sim->SetValue(4, 65535);
    EXPECT_TRUE(vcm.SetAddress(4));
    EXPECT_EQ(vcm.ReadData(), kReadFailed);
    EXPECT_EQ(vcm.GetCurrentAddress(), 5);  // the exchange itself succeeded
}

TEST_F(VcmTest, WriteDataComparesTheStoredValue)
{
    sim->SetWriteHook([](uint16_t, int32_t& value) { value = std::min(value, 1000); });
    EXPECT_TRUE(vcm.SetAddress(20));
    EXPECT_TRUE(vcm.WriteData(500));
    EXPECT_EQ(vcm.GetCurrentAddress(), 21);
    EXPECT_FALSE(vcm.WriteData(5000));  // clamped by the drive
    EXPECT_EQ(vcm.GetCurrentAddress(), 22);
    EXPECT_EQ(sim->GetValue(20), 500);
    EXPECT_EQ(sim->GetValue(21), 1000);
    EXPECT_EQ(Received(), (Lines{"MA20", "MD500", "MD5000"}));
}

TEST_F(VcmTest, WriteParameterGivesTheAnswer)
{
    int answer = -1;
    EXPECT_TRUE(vcm.WriteParameter(30, -77, &answer));
    EXPECT_EQ(answer, -77);
    EXPECT_EQ(sim->GetValue(30), -77);
    EXPECT_TRUE(vcm.WriteParameter(31, 5, nullptr));

    sim->SetReadOnly(40);
    answer = 123;
    EXPECT_FALSE(vcm.WriteParameter(40, 1, &answer));
    EXPECT_EQ(answer, 123);
    EXPECT_EQ(Received(), (Lines{"MA30", "MD-77", "MD5", "MA40", "MD1"}));
}

TEST_F(VcmTest, HugeAnswersSaturate)
{
    sim->InjectFault({FaultKind::Answer, "99999999999"});
    EXPECT_EQ(vcm.ReadData(), 2147483647);
    sim->InjectFault({FaultKind::Answer, "-99999999999"});
    EXPECT_EQ(vcm.ReadData(), -2147483647 - 1);
}
