#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <string>

#include "drive/LuaManager.h"
#include "tests/support/TempProgramFolder.h"

namespace {

bool Match(const char* text, const char* pattern)
{
    return MatchVersionPattern(text, static_cast<unsigned>(std::strlen(text)), pattern,
                               static_cast<unsigned>(std::strlen(pattern)));
}

// A version list of one drive whose files all exist.
const char kOneVersion[] =
    "VersionList = {\n"
    "  { 'V 1.x.x', 1, 'db.lua', 'def.lua', 'desc.lua' },\n"
    "}\n";

}  // namespace

TEST(VersionPattern, DigitRunsAndEarlyEnds)
{
    EXPECT_TRUE(Match("V 1.12.3 build", "V 1.x.x"));
    EXPECT_TRUE(Match("V 1.2", "V 1.x.x"));          // text ends first
    EXPECT_FALSE(Match("V 1..3", "V 1.x.x"));        // 'x' needs at least one digit
    EXPECT_FALSE(Match("v 1.2.3", "V 1.x.x"));       // case counts
    EXPECT_FALSE(Match("V 1.2.3", "V X.x.x"));       // capital X is an ordinary character
    EXPECT_TRUE(Match("V X.2.3", "V X.x.x"));
    EXPECT_TRUE(Match("V 12.3", "V xx.x"));          // "xx" matches what "x" matches
    EXPECT_TRUE(Match("V 1.2.3 (Jan 1)", "V 1.x"));  // the text may go on beyond the pattern
    EXPECT_FALSE(Match("V 2.2.3", "V 1.x.x"));
    EXPECT_TRUE(Match("V 1.2\r\nrest", "V 1.x.x"));  // a line end ends the text
    EXPECT_TRUE(Match("V 1.2.3", "V 1.x\nzzz"));     // and the pattern
    // Outside a digit run the letter x of the text matches an 'x' as itself.
    EXPECT_TRUE(Match("Tarvix 1.2", "Tarvix 1.x"));
    EXPECT_FALSE(Match("Tarvix 2.2", "Tarvix 1.x"));
    EXPECT_FALSE(Match("Tarviy 1.2", "Tarvix 1.x"));
}

TEST(VersionPattern, LengthsAndNullArguments)
{
    EXPECT_FALSE(MatchVersionPattern(nullptr, 3, "V", 1));
    EXPECT_FALSE(MatchVersionPattern("V", 1, nullptr, 1));
    EXPECT_FALSE(MatchVersionPattern("V", 0, "V", 1));
    EXPECT_FALSE(MatchVersionPattern("V", 1, "V", 0));
    // Only the given lengths are compared.
    EXPECT_TRUE(MatchVersionPattern("ABX", 2, "ABC", 3));
    EXPECT_TRUE(MatchVersionPattern("ABC", 3, "ABZ", 2));
    EXPECT_FALSE(MatchVersionPattern("ABX", 3, "ABC", 3));
}

TEST(LookupDriverType, ResultsAndOrder)
{
    TempProgramFolder folder;
    int type = -5;
    // No '.': no file is read (the folder holds no version list at all).
    EXPECT_EQ(LookupDriverType("V 1 2 3", &type), kLuaDbBadVersion);
    EXPECT_EQ(LookupDriverType("V 1.2.3", &type), kLuaDbLoadFailed);

    folder.Write("VersionList.lua",
                 "VersionList = {\n"
                 "  'not a table',\n"
                 "  { nil, 7 },\n"
                 "  { 'B 1.x', 'oops' },\n"
                 "  { 'A 2.x', '12.9', 'a', 'b', 'c' },\n"
                 "  { 'A 2.x', 99, 'a', 'b', 'c' },\n"
                 "  { 'A x.x', -3.7 },\n"
                 "}\n");
    EXPECT_EQ(LookupDriverType("A 2.5", &type), 0);
    EXPECT_EQ(type, 12);  // first match, numeric string, truncated
    type = -5;
    EXPECT_EQ(LookupDriverType("B 1.5", &type), kLuaDbContentError);
    EXPECT_EQ(type, -5);  // untouched; later entries are not tried
    EXPECT_EQ(LookupDriverType("A 3.1", &type), 0);
    EXPECT_EQ(type, -3);
    EXPECT_EQ(LookupDriverType("C 1.1", &type), kLuaDbNoMatch);
}

TEST(LookupDriverType, BadFilesGiveLoadFailure)
{
    TempProgramFolder folder;
    int type = 0;
    folder.Write("VersionList.lua", "VersionList = { { 'A 1.x', 1 } \n");  // syntax error
    EXPECT_EQ(LookupDriverType("A 1.1", &type), kLuaDbLoadFailed);
    folder.Write("VersionList.lua", "VersionList = { { 'A 1.x', 1 } }\nerror('late')\n");
    EXPECT_EQ(LookupDriverType("A 1.1", &type), kLuaDbLoadFailed);
    folder.Write("VersionList.lua", "VersionList = 'A 1.x'\n");
    EXPECT_EQ(LookupDriverType("A 1.1", &type), kLuaDbLoadFailed);
    folder.Write("VersionList.lua", "Other = {}\n");
    EXPECT_EQ(LookupDriverType("A 1.1", &type), kLuaDbLoadFailed);
}

TEST(LookupDriverType, NeverReadsTheCurrentDirectory)
{
    TempProgramFolder program;
    TempProgramFolder elsewhere;  // now the program's folder; fill the other one
    program.Write("VersionList.lua", kOneVersion);
    const std::string cwd = std::filesystem::current_path().string();
    std::filesystem::current_path(program.Path());
    int type = 0;
    const LuaDbResult r = LookupDriverType("V 1.2.3", &type);
    std::filesystem::current_path(cwd);
    EXPECT_EQ(r, kLuaDbLoadFailed);
}

TEST(OpenDriveDb, OpensTheVersionsDatabase)
{
    TempProgramFolder folder;
    folder.Write("VersionList.lua",
                 "VersionList = { { 'V 1.x.x', 1, 'sub/db.lua', 'sub/def.lua', 'sub/desc.lua' } }\n");
    folder.Write("sub/db.lua",
                 "NUMBER_OF_PARAMETERS = 120\n"
                 "DB_Var_SerialComm_bps = '12'\n"
                 "Big = 70000\n"
                 "Negative = -1\n"
                 "Fraction = -2.9\n"
                 "Word = 'abc'\n");
    CLuaManager db;
    int value = -7;
    EXPECT_EQ(db.GetNumber("NUMBER_OF_PARAMETERS", &value), kLuaDbNotOpen);
    EXPECT_EQ(value, -7);
    EXPECT_EQ(db.GetGlobalNumber("NUMBER_OF_PARAMETERS"), 0);

    ASSERT_EQ(db.OpenDriveDb("V 1.2.3 (Jan 12 2026)"), 0);
    EXPECT_TRUE(db.IsDbOpen());
    EXPECT_STREQ(db.GetDriveDbFile(), "sub/db.lua");
    EXPECT_STREQ(db.GetDefaultFile(), "sub/def.lua");
    EXPECT_STREQ(db.GetDescriptionFile(), "sub/desc.lua");

    EXPECT_EQ(db.GetGlobalNumber("NUMBER_OF_PARAMETERS"), 120);
    EXPECT_EQ(db.GetGlobalNumber("DB_Var_SerialComm_bps"), 12);
    EXPECT_EQ(db.GetGlobalNumber("Big"), 4464);
    EXPECT_EQ(db.GetGlobalNumber("Negative"), 65535);
    EXPECT_EQ(db.GetGlobalNumber("Fraction"), 65534);  // -2, toward zero
    EXPECT_EQ(db.GetLastErrorText(), "");

    ASSERT_EQ(db.GetNumber("DB_Motor_Tab", &value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(db.GetLastErrorText(), "Failed to get parameter info.:\nsub/db.lua\nDB_Motor_Tab");
    EXPECT_EQ(db.GetGlobalNumber("Word"), 0);
    EXPECT_EQ(db.GetLastErrorText(), "Failed to get parameter info.:\nsub/db.lua\nWord");
    // Nothing clears the text.
    EXPECT_EQ(db.GetGlobalNumber("Big"), 4464);
    EXPECT_EQ(db.GetLastErrorText(), "Failed to get parameter info.:\nsub/db.lua\nWord");

    db.CloseDriveDb();
    EXPECT_EQ(db.GetNumber("NUMBER_OF_PARAMETERS", &value), kLuaDbNotOpen);
}

TEST(OpenDriveDb, ContentErrorsNameTheEntry)
{
    TempProgramFolder folder;
    folder.Write("VersionList.lua",
                 "VersionList = {\n"
                 "  'skipped but counted',\n"
                 "  { 'A 1.x', 1, 'a.lua', 'b.lua', 'c.lua' },\n"
                 "  { 'B 1.x', 1, 'db.lua' },\n"
                 "  { 'C 1.x', 1, {}, 'b.lua', 'c.lua' },\n"
                 "  { 'D 1.x', 1, 'a.lua', 'b.lua', true },\n"
                 "  { 'E 1.x', 1, 'a.lua', 2, 'c.lua' },\n"
                 "  { 'F 1.x', 1, string.rep('n', 256), 'b.lua', 'c.lua' },\n"
                 "}\n");
    folder.Write("db.lua", "X = 1\n");
    {
        CLuaManager db;
        EXPECT_EQ(db.OpenDriveDb("B 1.1"), kLuaDbContentError);
        EXPECT_FALSE(db.IsDbOpen());
        EXPECT_STREQ(db.GetDriveDbFile(), "db.lua");
        EXPECT_EQ(db.GetLastErrorText(),
                  "Failed to get Default File info.\nVersionList.lua\nVersionList[3][4]");
        int value = 0;
        EXPECT_EQ(db.GetNumber("X", &value), kLuaDbNotOpen);
    }
    {
        CLuaManager db;
        EXPECT_EQ(db.OpenDriveDb("C 1.1"), kLuaDbContentError);
        EXPECT_EQ(db.GetLastErrorText(),
                  "Failed to get DriveDB File info.\nVersionList.lua\nVersionList[4][3]");
    }
    {
        CLuaManager db;
        EXPECT_EQ(db.OpenDriveDb("D 1.1"), kLuaDbContentError);
        EXPECT_EQ(db.GetLastErrorText(),
                  "Failed to get Description File info.\nVersionList.lua\nVersionList[5][5]");
        EXPECT_STREQ(db.GetDefaultFile(), "b.lua");
    }
    {
        // A number counts as a string; the named file does not exist.
        CLuaManager db;
        EXPECT_EQ(db.OpenDriveDb("E 1.1"), kLuaDbLoadFailed);
        EXPECT_STREQ(db.GetDefaultFile(), "2");
        EXPECT_FALSE(db.IsDbOpen());
    }
    {
        // A name that does not fit the record is a content error of its entry.
        CLuaManager db;
        EXPECT_EQ(db.OpenDriveDb("F 1.1"), kLuaDbContentError);
        EXPECT_EQ(db.GetLastErrorText(),
                  "Failed to get DriveDB File info.\nVersionList.lua\nVersionList[7][3]");
    }
    {
        CLuaManager db;
        EXPECT_EQ(db.OpenDriveDb("Z 1.1"), kLuaDbNoMatch);
        EXPECT_EQ(db.OpenDriveDb("Z 11"), kLuaDbBadVersion);
        EXPECT_EQ(db.GetLastErrorText(), "");
    }
}

TEST(OpenDriveDb, BrokenDriveDbFileIsALoadFailure)
{
    TempProgramFolder folder;
    folder.Write("VersionList.lua", kOneVersion);
    for (const char* content : {"NUMBER_OF_PARAMETERS = = 3\n", "local t = nil\nt.x = 1\n"}) {
        folder.Write("db.lua", content);
        CLuaManager db;
        EXPECT_EQ(db.OpenDriveDb("V 1.2.3"), kLuaDbLoadFailed) << content;
        EXPECT_FALSE(db.IsDbOpen());
        int value = 0;
        EXPECT_EQ(db.GetNumber("NUMBER_OF_PARAMETERS", &value), kLuaDbNotOpen);
    }
    folder.Remove("db.lua");
    CLuaManager db;
    EXPECT_EQ(db.OpenDriveDb("V 1.2.3"), kLuaDbLoadFailed);
}

TEST(OpenDriveDb, GuardedGlobalsDoNotAbort)
{
    // A file that makes reading an undeclared global an error must not take
    // the program down: globals are read without metamethods.
    TempProgramFolder folder;
    folder.Write("VersionList.lua", kOneVersion);
    folder.Write("db.lua",
                 "NUMBER_OF_PARAMETERS = 100\n"
                 "setmetatable(_G, { __index = function(_, k) error('undeclared ' .. k) end })\n");
    CLuaManager db;
    ASSERT_EQ(db.OpenDriveDb("V 1.0.0"), 0);
    EXPECT_EQ(db.GetGlobalNumber("NUMBER_OF_PARAMETERS"), 100);
    EXPECT_EQ(db.GetGlobalNumber("DB_Motor_No"), 0);
    std::deque<SectionInfo> sections;
    EXPECT_EQ(db.LoadParamView(sections), kLuaDbContentError);
}

TEST(OpenDriveDb, LateFinalizersDoNotAbort)
{
    // A collection step during the reads would run this finalizer outside any
    // protected call, where its error aborts the program.
    TempProgramFolder folder;
    folder.Write("VersionList.lua", kOneVersion);
    folder.Write("db.lua",
                 "A = 5\n"
                 "getmetatable(newproxy(true)).__gc = function() os.exit(1) end\n");
    CLuaManager db;
    ASSERT_EQ(db.OpenDriveDb("V 1.0.0"), 0);
    for (int i = 0; i < 200000; ++i)
        ASSERT_EQ(db.GetGlobalNumber(("Missing" + std::to_string(i)).c_str()), 0);
    EXPECT_EQ(db.GetGlobalNumber("A"), 5);
}

TEST(OpenDriveDb, ReadsLeaveTheKeptStackAsFound)
{
    TempProgramFolder folder;
    folder.Write("VersionList.lua", kOneVersion);
    folder.Write("db.lua",
                 "A = 5\n"
                 "ParamView = { { Title = 'T', { 0, 0, 'x', 1, nil, 1 } } }\n");
    folder.Write("def.lua", "Default_Value = { 1 }\n");
    folder.Write("desc.lua", "ParamDescription = { 'd' }\n");
    CLuaManager db;
    ASSERT_EQ(db.OpenDriveDb("V 1.0.0"), 0);
    // Repeated reads give the same results; a leaking stack would run out of
    // slots long before this.
    for (int i = 0; i < 5000; ++i) {
        ASSERT_EQ(db.GetGlobalNumber("A"), 5);
        ASSERT_EQ(db.GetGlobalNumber("Missing"), 0);
        std::deque<SectionInfo> sections;
        ASSERT_EQ(db.LoadParamView(sections), 0);
        ASSERT_EQ(sections.at(0).variables.size(), 1u);
    }
}
