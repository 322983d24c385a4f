#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "drive/ErrorTable.h"
#include "drive/MotorTable.h"
#include "tests/support/TempProgramFolder.h"

namespace {

// Fills the process-wide motor table for a test and empties it afterwards.
class MotorTableFixture : public testing::Test {
protected:
    void TearDown() override { CMotorTable::GetInstance()->m_Motors.clear(); }
    TempProgramFolder m_folder;
};

using ErrorTableFixture = MotorTableFixture;

}  // namespace

TEST_F(MotorTableFixture, RowsAndTheirFields)
{
    m_folder.Write("MotorTable.lua",
                   "glb_TableMotorType = {\n"
                   "  { 1, 100, 'TX-42 0.9A' },\n"
                   "  'not a row',\n"
                   "  { '7', '25.9', 123 },\n"
                   "  { 2 },\n"
                   "  { true, {}, {} },\n"
                   "  { -3.7, 70000.2, 'neg' },\n"
                   "}\n");
    std::deque<MotorInfo> motors{MotorInfo{9, 9, "stale"}};
    ASSERT_EQ(LoadMotorTable(motors), 0);
    ASSERT_EQ(motors.size(), 5u);
    EXPECT_EQ(motors[0].number, 1);
    EXPECT_EQ(motors[0].factor, 100);
    EXPECT_EQ(motors[0].name, "TX-42 0.9A");
    EXPECT_EQ(motors[1].number, 7);  // numeric strings count
    EXPECT_EQ(motors[1].factor, 25);
    EXPECT_EQ(motors[1].name, "123");
    EXPECT_EQ(motors[2].number, 2);
    EXPECT_EQ(motors[2].factor, 0);
    EXPECT_EQ(motors[2].name, "");
    EXPECT_EQ(motors[3].number, 0);
    EXPECT_EQ(motors[3].name, "");
    EXPECT_EQ(motors[4].number, -3);
    EXPECT_EQ(motors[4].factor, 70000);

    // Loading again replaces the rows.
    ASSERT_EQ(LoadMotorTable(motors), 0);
    EXPECT_EQ(motors.size(), 5u);
}

TEST_F(MotorTableFixture, LoadFailures)
{
    std::deque<MotorInfo> motors{MotorInfo{9, 9, "stale"}};
    EXPECT_EQ(LoadMotorTable(motors), kLuaDbLoadFailed);
    EXPECT_TRUE(motors.empty());
    for (const char* content : {"glb_TableMotorType = { { 1, 2, 'a' }\n",
                                "glb_TableMotorType = { { 1, 2, 'a' } }\nerror('x')\n",
                                "glb_TableMotorType = 5\n", "Motors = {}\n"}) {
        m_folder.Write("MotorTable.lua", content);
        EXPECT_EQ(LoadMotorTable(motors), kLuaDbLoadFailed) << content;
    }
}

TEST_F(MotorTableFixture, LookupsUseTheFirstMatchOrTheFirstRow)
{
    m_folder.Write("MotorTable.lua",
                   "glb_TableMotorType = {\n"
                   "  { 10, 4, 'first' }, { 11, 5, 'second' }, { 11, 6, 'duplicate' },\n"
                   "}\n");
    CMotorTable* table = CMotorTable::GetInstance();
    EXPECT_EQ(table, CMotorTable::GetInstance());
    ASSERT_EQ(LoadMotorTable(table->m_Motors), 0);
    EXPECT_EQ(table->GetMotorName(11), "second");
    EXPECT_EQ(table->GetMotorFactor(11), 5);
    EXPECT_EQ(&table->FindMotor(11), &table->m_Motors[1]);
    EXPECT_EQ(table->GetMotorName(99), "first");
    EXPECT_EQ(table->GetMotorFactor(-1), 4);
    EXPECT_EQ(&table->FindMotor(99), &table->m_Motors[0]);
}

TEST_F(MotorTableFixture, EmptyTableLookupsGiveNoMotor)
{
    m_folder.Write("MotorTable.lua", "glb_TableMotorType = {}\n");
    CMotorTable* table = CMotorTable::GetInstance();
    ASSERT_EQ(LoadMotorTable(table->m_Motors), 0);
    EXPECT_TRUE(table->m_Motors.empty());
    EXPECT_EQ(table->GetMotorName(3), "");
    EXPECT_EQ(table->GetMotorFactor(3), 0);
    const MotorInfo& none = table->FindMotor(3);
    EXPECT_EQ(none.number, 0);
    EXPECT_EQ(none.factor, 0);
    EXPECT_EQ(none.name, "");
}

TEST_F(ErrorTableFixture, RowsByPosition)
{
    m_folder.Write("ErrorTable.lua",
                   "glb_TableError = { 'No error', 12, true, 'Over current' }\n");
    CErrorTable* table = CErrorTable::GetInstance();
    EXPECT_EQ(table, CErrorTable::GetInstance());
    table->m_Errors = {"stale"};
    ASSERT_EQ(LoadErrorTable(table->m_Errors), 0);
    ASSERT_EQ(table->m_Errors.size(), 4u);
    EXPECT_EQ(table->GetErrorText(0), "No error");
    EXPECT_EQ(table->GetErrorText(1), "12");
    EXPECT_EQ(table->GetErrorText(2), "");
    EXPECT_EQ(table->GetErrorText(3), "Over current");
    EXPECT_EQ(table->GetErrorText(4), "");
    EXPECT_EQ(table->GetErrorText(static_cast<unsigned>(-1)), "");

    m_folder.Write("ErrorTable.lua", "glb_TableError = 'x'\n");
    EXPECT_EQ(LoadErrorTable(table->m_Errors), kLuaDbLoadFailed);
    EXPECT_TRUE(table->m_Errors.empty());
    m_folder.Write("ErrorTable.lua", "glb_TableError = {\n");
    EXPECT_EQ(LoadErrorTable(table->m_Errors), kLuaDbLoadFailed);
    m_folder.Remove("ErrorTable.lua");
    EXPECT_EQ(LoadErrorTable(table->m_Errors), kLuaDbLoadFailed);
}
