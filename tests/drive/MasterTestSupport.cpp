#include "tests/drive/MasterTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/SimulatedDriveOnCom.h"
#include "tools/drivesim/SimulatedDrive.h"

namespace {

using Fault = SimulatedDrive::Fault;
using FaultKind = SimulatedDrive::FaultKind;

// COM numbers of the tests' drives; each drive gets a number of its own.
uint8_t NextPort()
{
    static int next = 100;
    int port = next;
    next = next >= 250 ? 100 : next + 1;
    return static_cast<uint8_t>(port);
}

Fault MakeFault(FaultKind kind, const std::string& text = {})
{
    Fault fault{kind, text, std::chrono::milliseconds(0), 300};
    return fault;
}

}  // namespace

SimLink::SimLink(const DriveProfile& profile, int lineRate)
    : m_drive(std::make_unique<SimulatedDrive>()), m_port(NextPort())
{
    m_drive->ApplyProfile(profile);
    m_drive->SetLineRate(lineRate);
    if (!m_drive->Start()) {
        ADD_FAILURE() << "the simulated drive did not start";
        return;
    }
    m_com = std::make_unique<ComOverride>(m_port, m_drive->SlavePath());
}

SimLink::~SimLink()
{
    m_com.reset();
    m_drive->Stop();
}

DriveProfile SimLink::Profile(const std::string& versionText)
{
    DriveProfile profile;
    std::string error;
    if (!LoadDriveProfile(versionText, profile, error))
        ADD_FAILURE() << "no profile for " << versionText << ": " << error;
    return profile;
}

DriveProfile SimLink::BareProfile(const std::string& versionText, int parameterCount)
{
    DriveProfile profile;
    profile.versionText = versionText;
    profile.values.assign(parameterCount, 0);
    return profile;
}

std::vector<std::string> SimLink::Lines()
{
    return m_drive->ReceivedLines();
}

void SimLink::ClearLines()
{
    m_drive->ClearRecord();
}

int32_t SimLink::Value(uint16_t number)
{
    return m_drive->GetValue(number);
}

void SimLink::SetValue(uint16_t number, int32_t value)
{
    m_drive->SetValue(number, value);
}

void SimLink::SetVersionText(const std::string& text)
{
    m_drive->SetVersionText(text);
}

int SimLink::LineRate()
{
    return m_drive->GetLineRate();
}

// Faults are taken by the first matching line, in order; a line that should
// pass unharmed gets an empty line before its echo, which the protocol skips.
static void PassUnharmed(SimulatedDrive& drive, const std::string& command, int count)
{
    if (count > 0)
        drive.InjectFault(MakeFault(FaultKind::EmptyLineBeforeEcho), count, command);
}

void SimLink::NoEchoOn(const std::string& command, int nth)
{
    PassUnharmed(*m_drive, command, nth - 1);
    m_drive->InjectFault(MakeFault(FaultKind::Silent), 1, command);
}

void SimLink::WrongEchoOn(const std::string& command, int nth)
{
    PassUnharmed(*m_drive, command, nth - 1);
    m_drive->InjectFault(MakeFault(FaultKind::WrongEcho), 1, command);
}

void SimLink::NoAnswerOn(const std::string& command, int nth)
{
    PassUnharmed(*m_drive, command, nth - 1);
    m_drive->InjectFault(MakeFault(FaultKind::NoAnswer), 1, command);
}

void SimLink::ErrorOn(const std::string& command, const std::string& answer, int nth, int times)
{
    PassUnharmed(*m_drive, command, nth - 1);
    m_drive->InjectFault(MakeFault(FaultKind::ErrorAnswer, answer), times, command);
}

void SimLink::VanishAfter(int commands)
{
    PassUnharmed(*m_drive, {}, commands);
    m_drive->InjectFault(MakeFault(FaultKind::VanishBeforeEcho), 1);
}

std::string ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TempFile::TempFile()
{
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir ? dir : "/tmp") + "/tarvix-script-XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0) {
        ADD_FAILURE() << "no temporary file";
        return;
    }
    ::close(fd);
    m_path = pattern;
}

TempFile::~TempFile()
{
    if (!m_path.empty())
        std::remove(m_path.c_str());
}

FILE* TempFile::OpenForWrite()
{
    return std::fopen(m_path.c_str(), "wb");
}

FILE* TempFile::OpenForRead()
{
    return std::fopen(m_path.c_str(), "rb");
}

void TempFile::Write(const std::string& bytes)
{
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out << bytes;
}
