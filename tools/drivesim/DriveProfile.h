#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// What a simulated drive knows of the drive version it plays: taken from a
// version of the sample database, so the drive and the program agree.
struct DriveProfile {
    std::string versionText;          // the answer to "VR"
    std::vector<int32_t> values;      // initial parameter values; size = parameter count
    std::set<uint16_t> readOnly;      // parameters the drive refuses to write ("Error" answer)
    std::set<std::string> commandWords;  // the page buttons' commands, carried out with "OK"
    int baudRateParam = -1;           // writing a baud code here switches the line rate
    // Multi-motor drives: the motor pointer selects one of 16 banks for the motor range.
    int motorTabParam = -1;
    int motorStart = 0;
    int motorEnd = -1;
    int testArrayStart = -1;          // servo drives: first address of the test array
    int testArrayLength = 0;
};

// Builds the profile of the drive version whose "VR" answer is versionText from
// the database in the program's folder. False with a reason on failure.
bool LoadDriveProfile(const std::string& versionText, DriveProfile& profile, std::string& error);
