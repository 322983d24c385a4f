#pragma once

// Shared pieces of the drive-model tests: small drive versions written into a
// temporary program folder, a recording progress interface, file helpers.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drive/BaseDriver.h"
#include "drive/MotorTable.h"
#include "drive/TarvixMaster.h"
#include "platform/UniqueFile.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/SimulatedDriveOnCom.h"
#include "tests/support/TempProgramFolder.h"
#include "tools/drivesim/SimulatedDrive.h"

namespace drivertest {

// What a stored text-mode file holds for text written with "\r\n" line ends.
inline std::string Stored(const std::string& text)
{
    std::string bytes;
    for (char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}

// The whole content of a stream, read from its start.
inline std::string Contents(FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    std::string bytes;
    for (int c; (c = std::fgetc(file)) != EOF;)
        bytes += static_cast<char>(c);
    return bytes;
}

using host::UniqueFile;

inline UniqueFile TempFile()
{
    return UniqueFile(std::tmpfile());
}

// One drive version of a small test database.
struct SmallVersion {
    std::string versionText;  // the "VR" answer
    std::string pattern;      // its VersionList pattern
    int driverType = 1;
    std::string prefix;       // file-name prefix of its three files
    std::string constants;    // Lua lines defining the DriveDB globals
    std::vector<int> defaults;
    std::vector<std::string> descriptions;
};

inline std::string LuaQuoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\0' || c == '\n' || c == '\r') {
            out += c == '\0' ? "\\0" : c == '\n' ? "\\n" : "\\r";
            continue;
        }
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Writes the version list, a motor table and each version's files.
inline void WriteSmallDatabase(const TempProgramFolder& folder,
                               const std::vector<SmallVersion>& versions)
{
    std::string list = "VersionList = {\n";
    for (const SmallVersion& v : versions) {
        list += "  {" + LuaQuoted(v.pattern) + ", " + std::to_string(v.driverType) + ", " +
                LuaQuoted(v.prefix + "_DB.lua") + ", " + LuaQuoted(v.prefix + "_Default.lua") +
                ", " + LuaQuoted(v.prefix + "_Desc.lua") + "},\n";
        folder.Write(v.prefix + "_DB.lua",
                     v.constants +
                         "\nParamView = {\n  { Title = \"Main\", {0, 0, \"First\", 0} },\n}\n");
        std::string defaults = "Default_Value = {";
        for (int d : v.defaults)
            defaults += std::to_string(d) + ", ";
        folder.Write(v.prefix + "_Default.lua", defaults + "}\n");
        std::string descriptions = "ParamDescription = {";
        for (const std::string& d : v.descriptions)
            descriptions += LuaQuoted(d) + ", ";
        folder.Write(v.prefix + "_Desc.lua", descriptions + "}\n");
    }
    folder.Write("VersionList.lua", list + "}\n");
    folder.Write("MotorTable.lua",
                 "glb_TableMotorType = {\n"
                 "  {0, 1, \"(none)\"},\n"
                 "  {7, 100, \"TM-57 Step\"},\n"
                 "  {12, 200, \"TM-86 Step\"},\n"
                 "  {15, 400, \"VX-42\"},\n"
                 "}\n");
}

// Fills the process-wide motor table from the folder's "MotorTable.lua".
inline void LoadMotors()
{
    ASSERT_EQ(LoadMotorTable(CMotorTable::GetInstance()->m_Motors), kLuaDbOk);
}

// Opens the model's DriveDB for versionText and loads it.
inline void LoadModel(CBaseDriver& model, const std::string& versionText)
{
    ASSERT_EQ(model.GetLuaManager().OpenDriveDb(versionText.c_str()), kLuaDbOk);
    ASSERT_EQ(model.LoadDatabase(), kLuaDbOk) << model.GetLuaManager().GetLastErrorText();
}

// "MA\t<n>\tMD\t<v>\t// <description>" lines as the models store them.
inline std::string ParamLine(int number, int value, const std::string& description,
                             bool commented = false)
{
    return (commented ? "// MA\t" : "MA\t") + std::to_string(number) + "\tMD\t" +
           std::to_string(value) + "\t// " + description + "\r\r\n";
}

// An 'x' in a version pattern stands for digits, so these texts leave out the
// family word "Tarvix".
inline const char kStepVersion[] = "Bipolar Version 9.1.4";
inline const char kServoVersion[] = "Morvane VCM Version 9.2.0";
inline const char kBareVersion[] = "Unipolar Version 9.3.1";
inline const char kMultiVersion[] = "Multi Version 9.4.2";


// The small drive versions of the model tests, one of each model.
inline std::vector<SmallVersion> SmallVersions()
{
    SmallVersion step;
    step.versionText = kStepVersion;
    step.pattern = "Bipolar Version 9.1.x";
    step.driverType = kDriverTypeStep1x2;
    step.prefix = "B12";
    step.constants =
        "DB_Var_SerialComm_bps = 2\nDB_Motor_No = 4\nNUMBER_OF_PARAMETERS = 8\n"
        "NUMBER_OF_PARAMETERS_EEPROM_ONLY = 6\n";
    step.defaults = {10, 20, 5, 0, 7, 300, 0, 0};
    // A NUL inside a description never reaches a saved file.
    step.descriptions = {"Run current", "Stop current", "Baud rate", "", "Motor: ",
                         std::string("Max speed\0 [rpm]", 16), "Position", "Status"};

    SmallVersion servo;
    servo.versionText = kServoVersion;
    servo.pattern = "Morvane VCM Version 9.2.x";
    servo.driverType = kDriverTypeServo2x1;
    servo.prefix = "S21";
    // Listed out of order: the model reads them by name.
    servo.constants =
        "NUMBER_COLUMN_TESTARRAY = 3\nNUMBER_LINE_TESTARRAY = 4\nDB_TestArrayStart = 40\n"
        "NUMBER_OF_PARAMETERS = 6\nNUMBER_OF_PARAMETERS_EEPROM_ONLY = 6\n"
        "DB_Motor_No = 1\nDB_Var_SerialComm_bps = 5\n";
    servo.defaults = {1, 2, 3, 4, 5, 6};
    servo.descriptions = {"Gain", "Motor ", "Filter", "Limit", "Mode", "Baud"};

    // Neither a baud-rate nor a motor-number parameter: both read as 0.
    SmallVersion bare;
    bare.versionText = kBareVersion;
    bare.pattern = "Unipolar Version 9.3.x";
    bare.driverType = kDriverTypeStep1x2Unipolar;
    bare.prefix = "U12";
    bare.constants = "NUMBER_OF_PARAMETERS = 3\nNUMBER_OF_PARAMETERS_EEPROM_ONLY = 3\n";
    bare.defaults = {0, 0, 0};
    bare.descriptions = {"Zero", "One", "Two"};

    SmallVersion multi;
    multi.versionText = kMultiVersion;
    multi.pattern = "Multi Version 9.4.x";
    multi.driverType = kDriverTypeStep1x3;
    multi.prefix = "M13";
    multi.constants =
        "DB_Var_SerialComm_bps = 1\nDB_Motor_No = 8\nDB_Motor_Tab = 5\n"
        "DB_Var_ResetDrv_Flag = 2\nDB_ExternSwitchEnable_Flags = 3\n"
        "NUMBER_OF_PARAMETERS = 12\nPARAM_DRIVER_START = 0\nPARAM_DRIVER_END = 4\n"
        "PARAM_MOTOR_START = 8\nPARAM_MOTOR_END = 10\n";
    multi.defaults.assign(12, 0);
    multi.descriptions = {"Current", "Baud", "Reset", "Switch", "Idle",  "Pointer",
                          "",        "",     "Motor ", "Speed", "Accel", "Spare"};
    return {step, servo, bare, multi};
}

// A simulated drive and a master that talks to it as COM 200.
class SimMaster {
public:
    SimMaster() { EXPECT_TRUE(master.Open(static_cast<uint8_t>(m_sim.Com()), 9600)); }
    ~SimMaster() { master.Close(); }
    SimMaster(const SimMaster&) = delete;
    SimMaster& operator=(const SimMaster&) = delete;

    // Parameters 0.. with these values; everything else as the drive starts.
    void SetValues(const std::vector<int32_t>& values)
    {
        drive.SetParameterCount(values.size());
        for (size_t i = 0; i < values.size(); ++i)
            drive.SetValue(static_cast<uint16_t>(i), values[i]);
    }

    // Makes the drive's current values those of its EEPROM ("LP" reloads them).
    void StoreToEeprom()
    {
        EXPECT_EQ(master.SendCommand("SP"), kVcmOk);
        drive.ClearRecord();
    }

private:
    SimulatedDriveOnCom m_sim;

public:
    SimulatedDrive& drive = m_sim.Drive();
    CTarvixMaster master;
};

}  // namespace drivertest
