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
#include "drive/ProgInterface.h"
#include "tests/support/TempProgramFolder.h"

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

struct FileCloser {
    void operator()(FILE* f) const
    {
        if (f)
            std::fclose(f);
    }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

inline UniqueFile TempFile()
{
    return UniqueFile(std::tmpfile());
}

// Records every progress call as text; CheckCancel answers true on the
// cancelAt-th call (counting from 1; 0 never).
class RecordingProgress : public CProgInterface {
public:
    explicit RecordingProgress(int cancelAt = 0) : m_cancelAt(cancelAt) {}

    bool Create(QWidget*) override { return true; }
    bool CheckCancel() override
    {
        ++checks;
        return m_cancelAt != 0 && checks == m_cancelAt;
    }
    void SetStatus(const char* text) override { calls.push_back(std::string("status ") + text); }
    void SetRange(int lower, int upper) override
    {
        calls.push_back("range " + std::to_string(lower) + " " + std::to_string(upper));
    }
    void SetStep(int step) override { calls.push_back("step " + std::to_string(step)); }
    int SetPos(int pos) override
    {
        calls.push_back("pos " + std::to_string(pos));
        return 0;
    }
    int OffsetPos(int delta) override
    {
        calls.push_back("offset " + std::to_string(delta));
        return 0;
    }
    int StepIt() override
    {
        ++steps;
        return 0;
    }

    std::vector<std::string> calls;  // everything but StepIt and CheckCancel
    int checks = 0;
    int steps = 0;

private:
    int m_cancelAt;
};

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

}  // namespace drivertest
