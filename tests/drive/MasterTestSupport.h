#pragma once

// Shared by the master's tests: a simulated drive on a pseudo-terminal mapped
// to a COM number, and temporary files.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/RecordingProgress.h"
#include "tools/drivesim/DriveProfile.h"

class SimulatedDrive;
class ComOverride;

// One simulated drive, reachable as COM <Port()> for as long as it lives.
class SimLink {
public:
    explicit SimLink(const DriveProfile& profile, int lineRate = 9600);
    ~SimLink();
    SimLink(const SimLink&) = delete;
    SimLink& operator=(const SimLink&) = delete;

    // The profile of a drive version of the sample database (fails the test
    // when it cannot be built).
    static DriveProfile Profile(const std::string& versionText);
    // A drive that knows nothing but its answer to "VR".
    static DriveProfile BareProfile(const std::string& versionText, int parameterCount = 8);

    uint8_t Port() const { return m_port; }
    SimulatedDrive& Drive() { return *m_drive; }

    // Lines the drive received, in order, without their line ends; a bare
    // CR LF is an empty string.
    std::vector<std::string> Lines();
    void ClearLines();

    int32_t Value(uint16_t number);
    void SetValue(uint16_t number, int32_t value);
    void SetVersionText(const std::string& text);
    int LineRate();

    // Faults on the nth arrival (from 1, counted from now) of a command line
    // that starts with command; ErrorOn answers the next `times` arrivals.
    void NoEchoOn(const std::string& command, int nth = 1);
    void WrongEchoOn(const std::string& command, int nth = 1);
    void NoAnswerOn(const std::string& command, int nth = 1);
    void ErrorOn(const std::string& command, const std::string& answer, int nth = 1,
                 int times = 1);
    // The device disappears once this many further command lines have arrived.
    void VanishAfter(int commands);

private:
    std::unique_ptr<SimulatedDrive> m_drive;
    uint8_t m_port = 0;
    std::unique_ptr<ComOverride> m_com;
};

// The whole contents of a file.
std::string ReadFileBytes(const std::string& path);
// A temporary file name that is removed with the object.
class TempFile {
public:
    TempFile();
    ~TempFile();
    const std::string& Path() const { return m_path; }
    FILE* OpenForWrite();  // "wb"
    FILE* OpenForRead();   // "rb"
    void Write(const std::string& bytes);

private:
    std::string m_path;
};
