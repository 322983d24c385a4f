#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "drive/LuaManager.h"
#include "tests/support/TempProgramFolder.h"

namespace {

// A program folder with one drive version whose files the tests fill.
class DriveRecords : public testing::Test {
protected:
    void SetUp() override
    {
        m_folder.Write("VersionList.lua",
                       "VersionList = { { 'V 1.x', 1, 'db.lua', 'def.lua', 'desc.lua' } }\n");
        m_folder.Write("def.lua", "Default_Value = { 1, 2, 3 }\n");
        m_folder.Write("desc.lua", "ParamDescription = { 'one', 'two', 'three' }\n");
    }

    // Opens the drive database with the given DriveDB content.
    void Open(const std::string& driveDb)
    {
        m_folder.Write("db.lua", driveDb);
        ASSERT_EQ(m_db.OpenDriveDb("V 1.0"), 0);
    }

    // The variables of a single-section ParamView built from the given rows.
    std::deque<VariableInfo> Variables(const std::string& rows)
    {
        Open("ParamView = { { Title = 'S', " + rows + " } }\n");
        std::deque<SectionInfo> sections;
        EXPECT_EQ(m_db.LoadParamView(sections), 0) << m_db.GetLastErrorText();
        return sections.empty() ? std::deque<VariableInfo>() : sections[0].variables;
    }

    TempProgramFolder m_folder;
    CLuaManager m_db;
};

}  // namespace

TEST_F(DriveRecords, ParamInfoNeedsAnOpenDatabase)
{
    std::deque<ParamInfo> infos(3);
    EXPECT_EQ(m_db.LoadParamInfo(infos, 5), kLuaDbNotOpen);
    EXPECT_EQ(infos.size(), 3u);
    std::deque<SectionInfo> sections;
    EXPECT_EQ(m_db.LoadParamView(sections), kLuaDbNotOpen);
}

TEST_F(DriveRecords, DefaultsAndDescriptionsByPosition)
{
    m_folder.Write("def.lua", "Default_Value = { 10, '20', -3.9, 70000 }\n");
    m_folder.Write("desc.lua", "ParamDescription = { 'Run current', 42 }\n");
    Open("X = 1\n");
    std::deque<ParamInfo> infos;
    ASSERT_EQ(m_db.LoadParamInfo(infos, 6), 0);
    ASSERT_EQ(infos.size(), 6u);
    EXPECT_EQ(infos[0].defaultValue, 10);
    EXPECT_EQ(infos[1].defaultValue, 20);
    EXPECT_EQ(infos[2].defaultValue, -3);
    EXPECT_EQ(infos[3].defaultValue, 70000);
    EXPECT_EQ(infos[0].description, "Run current");
    EXPECT_EQ(infos[1].description, "42");
    EXPECT_TRUE(infos[3].isSet);
    EXPECT_TRUE(infos[3].description.empty());
    // Fewer values than parameters: the rest stay at zero, unset.
    EXPECT_EQ(infos[5].number, 5);
    EXPECT_FALSE(infos[5].isSet);
    EXPECT_EQ(infos[5].defaultValue, 0);
}

TEST_F(DriveRecords, ValuesBeyondTheCountArePassedOver)
{
    Open("X = 1\n");
    std::deque<ParamInfo> infos;
    ASSERT_EQ(m_db.LoadParamInfo(infos, 2), 0);
    ASSERT_EQ(infos.size(), 2u);
    EXPECT_EQ(infos[1].defaultValue, 2);
    EXPECT_EQ(infos[1].description, "two");
    ASSERT_EQ(m_db.LoadParamInfo(infos, 0), 0);
    EXPECT_TRUE(infos.empty());
}

TEST_F(DriveRecords, BadDefaultAndDescriptionValues)
{
    m_folder.Write("def.lua", "Default_Value = { 1, 2, 'three' }\n");
    Open("X = 1\n");
    std::deque<ParamInfo> infos;
    EXPECT_EQ(m_db.LoadParamInfo(infos, 5), kLuaDbContentError);
    EXPECT_TRUE(infos.empty());
    EXPECT_EQ(m_db.GetLastErrorText(), "Failed to get default value.\ndef.lua\nDefault_Value[2]");

    m_folder.Write("def.lua", "Default_Value = { 1 }\n");
    m_folder.Write("desc.lua", "ParamDescription = { 'a', {} }\n");
    EXPECT_EQ(m_db.LoadParamInfo(infos, 5), kLuaDbContentError);
    EXPECT_TRUE(infos.empty());
    EXPECT_EQ(m_db.GetLastErrorText(),
              "Failed to get parameter description.\ndesc.lua\nParamDescription[1]");
}

TEST_F(DriveRecords, MissingOrFailingDefaultFiles)
{
    Open("X = 1\n");
    std::deque<ParamInfo> infos;
    m_folder.Remove("def.lua");
    EXPECT_EQ(m_db.LoadParamInfo(infos, 3), kLuaDbLoadFailed);
    m_folder.Write("def.lua", "Default_Value = 5\n");
    EXPECT_EQ(m_db.LoadParamInfo(infos, 3), kLuaDbLoadFailed);
    m_folder.Write("def.lua", "Default_Value = { 4 }\n");
    m_folder.Write("desc.lua", "ParamDescription = { 'a' \n");  // syntax error: no table
    EXPECT_EQ(m_db.LoadParamInfo(infos, 3), kLuaDbLoadFailed);
    // A file that defines its table and then fails still counts as read.
    m_folder.Write("def.lua", "Default_Value = { 4, 5 }\nerror('after the table')\n");
    m_folder.Write("desc.lua", "ParamDescription = { 'a' }\n");
    ASSERT_EQ(m_db.LoadParamInfo(infos, 3), 0);
    EXPECT_EQ(infos[1].defaultValue, 5);
}

TEST_F(DriveRecords, SectionTitlesAndErrors)
{
    Open("ParamView = { { { 8, 0, 'Head' } }, { Title = 'Motor', { 0 } } }\n");
    std::deque<SectionInfo> sections;
    ASSERT_EQ(m_db.LoadParamView(sections), 0);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].index, 0);
    EXPECT_EQ(sections[0].title, "");
    EXPECT_EQ(sections[1].index, 1);
    EXPECT_EQ(sections[1].title, "Motor");
    EXPECT_EQ(sections[1].variables.size(), 1u);
}

TEST_F(DriveRecords, SectionListErrors)
{
    struct Case {
        const char* driveDb;
        const char* error;
    } cases[] = {
        {"X = 1\n", "Failed to get section list.:\ndb.lua\nParamView"},
        {"ParamView = {}\n", "Failed to get section list.:\ndb.lua\nParamView"},
        {"ParamView = 'abc'\n", "Failed to get section list.:\ndb.lua\nParamView"},
        {"ParamView = { { Title = 'A', { 0 } }, { Title = 5, { 0 } } }\n",
         "Failed to get section title.:\ndb.lua\nParamView"},
        {"ParamView = { { Title = 'A', { 0 } }, { Title = 'B' } }\n",
         "Failed to access variable.:\ndb.lua\nParamView[2]"},
        // A section that is not a table is reported by its number.
        {"ParamView = { { Title = 'A', { 0 } }, 'B', { { 0 } } }\n",
         "Failed to access variable.:\ndb.lua\nParamView[2]"},
    };
    for (const Case& c : cases) {
        CLuaManager db;
        m_folder.Write("db.lua", c.driveDb);
        ASSERT_EQ(db.OpenDriveDb("V 1.0"), 0);
        std::deque<SectionInfo> sections;
        EXPECT_EQ(db.LoadParamView(sections), kLuaDbContentError) << c.driveDb;
        EXPECT_EQ(db.GetLastErrorText(), c.error) << c.driveDb;
    }
}

TEST_F(DriveRecords, FailuresKeepWhatTheyMust)
{
    Open("ParamView = { { Title = 'A', { 0 } }, { Title = 5, { 0 } } }\n");
    std::deque<SectionInfo> sections;
    EXPECT_EQ(m_db.ReadSections(sections), kLuaDbContentError);
    EXPECT_TRUE(sections.empty());

    CLuaManager db;
    m_folder.Write("db.lua", "ParamView = { { Title = 'A', { 0, 0, 'a' } }, { Title = 'B' } }\n");
    ASSERT_EQ(db.OpenDriveDb("V 1.0"), 0);
    EXPECT_EQ(db.LoadParamView(sections), kLuaDbContentError);
    ASSERT_EQ(sections.size(), 2u);  // read before the failing section: kept
    ASSERT_EQ(sections[0].variables.size(), 1u);
    EXPECT_EQ(sections[0].variables[0].text, "a");

    std::deque<VariableInfo> variables;
    EXPECT_EQ(db.ReadSectionVariables(2, variables), kLuaDbContentError);
    EXPECT_EQ(db.GetLastErrorText(), "Failed to access variable.:\ndb.lua\nParamView");
    EXPECT_EQ(db.ReadSectionVariables(-1, variables), kLuaDbContentError);
}

TEST_F(DriveRecords, VariableFields)
{
    const auto vars = Variables(
        "{ 0, 3, 'Run current [A]', 12, nil, 1, 1, 1, 2, 30, -5, 4, 7, 70000, 3.9, 258 },"
        "{ },"
        "{ '2', 2.9, 17, -1, nil, '1', 0.5, -0.5, 1 },"
        "'not a row',"
        "{ 8, 0, 'Header', 65536 + 9 }");
    ASSERT_EQ(vars.size(), 4u);
    const VariableInfo& a = vars[0];
    EXPECT_EQ(a.kind, 0);
    EXPECT_EQ(a.format, 3);
    EXPECT_EQ(a.text, "Run current [A]");
    EXPECT_EQ(a.number, 12);
    EXPECT_TRUE(a.readOnly);
    EXPECT_TRUE(a.live);
    EXPECT_TRUE(a.notify);
    EXPECT_EQ(a.conditions[0].op, 2);
    EXPECT_EQ(a.conditions[0].param, 30);
    EXPECT_EQ(a.conditions[0].reference, -5);
    EXPECT_EQ(a.conditions[0].effect, 4);
    EXPECT_EQ(a.conditions[1].op, 7);
    EXPECT_EQ(a.conditions[1].param, 4464);
    EXPECT_EQ(a.conditions[1].reference, 3);
    EXPECT_EQ(a.conditions[1].effect, 2);  // 258, low 8 bits

    // Missing fields read as zero: an edit field of format 0.
    const VariableInfo& b = vars[1];
    EXPECT_EQ(b.kind, 0);
    EXPECT_EQ(b.format, 0);
    EXPECT_EQ(b.text, "");
    EXPECT_EQ(b.number, 0);
    EXPECT_FALSE(b.readOnly);
    EXPECT_EQ(b.conditions[0].op, 0);

    // Numeric strings are not numbers here; a numeric label is no label.
    const VariableInfo& c = vars[2];
    EXPECT_EQ(c.kind, 0);
    EXPECT_EQ(c.format, 2);
    EXPECT_EQ(c.text, "");
    EXPECT_EQ(c.number, 65535);
    EXPECT_FALSE(c.readOnly);  // "1"
    EXPECT_FALSE(c.live);      // 0.5
    EXPECT_FALSE(c.notify);    // -0.5
    EXPECT_EQ(c.conditions[0].op, 1);

    EXPECT_EQ(vars[3].kind, 8);
    EXPECT_EQ(vars[3].number, 9);
}

TEST_F(DriveRecords, TraversalOrderOfVariables)
{
    std::string rows;
    for (int i = 0; i < 40; ++i)
        rows += "{ 0, 0, 'p" + std::to_string(i) + "', " + std::to_string(i) + " },";
    const auto vars = Variables(rows);
    ASSERT_EQ(vars.size(), 40u);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(vars[i].number, i);
}

TEST_F(DriveRecords, ButtonOptions)
{
    const auto vars = Variables(
        "{ 1, 0, 'b', 0, { 'Clear alarm', 'CA' } },"
        "{ 1, 1, 'b', 0 },"
        "{ 1, 0, 'b', 0, { } },"
        "{ 1, 0, 'b', 0, { 5, {} } },"
        "{ 1, 2, 'b', 0, { string.rep('c', 60), 'TOOLONGCMD' } },"
        "{ 1, 0, 'b', 0, { 'ok', 'ABCDEFGHI' } }");
    ASSERT_EQ(vars.size(), 6u);
    ASSERT_EQ(vars[0].options.size(), 1u);
    EXPECT_EQ(vars[0].options[0].caption, "Clear alarm");
    EXPECT_EQ(vars[0].options[0].command, "CA");
    EXPECT_TRUE(vars[1].options.empty());
    ASSERT_EQ(vars[2].options.size(), 1u);
    EXPECT_EQ(vars[2].options[0].caption, "");
    EXPECT_EQ(vars[2].options[0].command, "");
    ASSERT_EQ(vars[3].options.size(), 1u);  // string only
    EXPECT_EQ(vars[3].options[0].caption, "");
    EXPECT_EQ(vars[3].options[0].command, "");
    ASSERT_EQ(vars[4].options.size(), 1u);
    EXPECT_EQ(vars[4].options[0].caption, std::string(49, 'c'));  // cut to fit
    EXPECT_EQ(vars[4].options[0].command, "");                    // never sent cut short
    EXPECT_EQ(vars[5].options[0].command, "ABCDEFGHI");
}

TEST_F(DriveRecords, ComboOptionsWithFixedTexts)
{
    const auto vars = Variables(
        "{ 2, 0, 'c', 1, { { 'Off' }, { 'On' } } },"
        "{ 2, 1, 'c', 1, { { 10, 5 }, { -7.8 }, { 'x', '3' }, { true, 9 },"
        "                 { string.rep('t', 50), 4 }, 'flat', { 'last' } } }");
    ASSERT_EQ(vars.size(), 2u);
    const auto& a = vars[0].options;
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].text, "Off");
    EXPECT_EQ(a[0].value, 0);
    EXPECT_EQ(a[1].text, "On");
    EXPECT_EQ(a[1].value, 1);

    const auto& b = vars[1].options;
    ASSERT_EQ(b.size(), 6u);
    EXPECT_EQ(b[0].text, "10");
    EXPECT_EQ(b[0].value, 5);
    EXPECT_EQ(b[1].text, "-7");
    EXPECT_EQ(b[1].value, 1);
    // Unusable fields are empty or zero, not those of the entry before.
    EXPECT_EQ(b[2].text, "x");
    EXPECT_EQ(b[2].value, 0);
    EXPECT_EQ(b[3].text, "");
    EXPECT_EQ(b[3].value, 9);
    EXPECT_EQ(b[4].text, "");
    EXPECT_EQ(b[4].value, 4);
    // A non-table entry is passed over but keeps its place.
    EXPECT_EQ(b[5].text, "last");
    EXPECT_EQ(b[5].value, 6);
    for (const OptionInfo& o : b)
        EXPECT_EQ(o.param, 0);
}

TEST_F(DriveRecords, ComboOptionsNamingParameters)
{
    const auto vars = Variables(
        "{ 2, 2, 'c', 1, { { 120 }, { 121, 7 }, { '122', 8 } } },"
        "{ 2, 4, 'c', 1, { { 65536 + 130, -2 } } }");
    const auto& a = vars[0].options;
    ASSERT_EQ(a.size(), 3u);
    EXPECT_EQ(a[0].param, 120);
    EXPECT_EQ(a[0].value, 0);
    EXPECT_EQ(a[1].param, 121);
    EXPECT_EQ(a[1].value, 7);
    EXPECT_EQ(a[2].param, 0);  // numeric string: no parameter
    EXPECT_EQ(a[2].value, 8);
    for (const OptionInfo& o : a)
        EXPECT_EQ(o.text, "");
    ASSERT_EQ(vars[1].options.size(), 1u);
    EXPECT_EQ(vars[1].options[0].param, 130);
    EXPECT_EQ(vars[1].options[0].value, -2);
}

TEST_F(DriveRecords, SwitchOptionsListTheEnabledBits)
{
    const auto vars = Variables(
        "{ 4, 0, 's', 3, { { 3, 1 }, { 5, 0 }, { 7, 1 }, { '9', 1 }, { 10 }, { 11, '2' },"
        "                 { 12, 'on' }, { 259, 0.5 }, { 260, -1.5 }, 'x' } },"
        "{ 0, 0, 'e', 3, { { 1, 1 } } },"
        "{ 16, 0, 'other', 3, { { 1, 1 } } }");
    ASSERT_EQ(vars.size(), 3u);
    const auto& s = vars[0].options;
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].bit, 3);
    EXPECT_EQ(s[1].bit, 7);
    EXPECT_EQ(s[2].bit, 11);  // numeric string in [2] counts
    EXPECT_EQ(s[3].bit, 4);   // 260, low 8 bits
    EXPECT_TRUE(vars[1].options.empty());
    EXPECT_TRUE(vars[2].options.empty());
}
