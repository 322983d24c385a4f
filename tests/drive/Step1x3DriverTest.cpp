#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drive/Step1x3Driver.h"
#include "tests/drive/DriverTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"

using namespace drivertest;

namespace {

// The small multi-motor version: baud 1, reset 2, switch 3, pointer 5,
// driver parameters 0..4, motor parameters 8..10 with the motor number at 8.
class Step1x3Model : public testing::Test {
protected:
    void SetUp() override
    {
        WriteSmallDatabase(m_folder, SmallVersions());
        LoadMotors();
        m_sim.SetValues({11, 5, 0, 1, 44, 0, 0, 0, 0, 0, 0, 0});
        m_sim.drive.SetMotorBanks(5, 8, 10);
        for (int slot = 0; slot < kMotorSlotCount; ++slot) {
            m_sim.drive.SetBankValue(slot, 8, MotorOf(slot));
            m_sim.drive.SetBankValue(slot, 9, 100 + slot);
            m_sim.drive.SetBankValue(slot, 10, -slot);
        }
        m_sim.StoreToEeprom();
        LoadModel(m_model, kMultiVersion);
    }

    static int MotorOf(int slot) { return slot == 0 ? 7 : slot == 1 ? 12 : slot == 2 ? 15 : 0; }
    static std::string NameOf(int motor)
    {
        return motor == 7 ? "TM-57 Step" : motor == 12 ? "TM-86 Step" : motor == 15 ? "VX-42" : "(none)";
    }

    // The stored bytes of the script up to and including slot `slots` - 1.
    static std::string ExpectedHead()
    {
        return "\r\n\r\n"
               "MA\t2\tMD\t1\t// Disconnect Motor\r\n"
               "LP\t\t\t\t// Load Parameters from EEPROM\r\n"
               "// Driver Parameters\r\n\r\n"
               "MA\t0\tMD\t11\t// Current\r\n"
               "// MA\t1\tMD\t5\t// Baud\r\n"
               "MA\t2\tMD\t0\t// Reset\r\n"
               "MA\t3\tMD\t1\t// Switch\r\n"
               "MA\t4\tMD\t44\t// Idle\r\n"
               "SD\r\n"
               "MA\t3\tMD\t0\t// Set GUI Control (Disable PCB Switch Control)\r\n"
               "\r\n\r\n"
               "\t\t\t\t// *** Start Download Motor DB ***\r\n";
    }
    static std::string ExpectedSlotHead(int slot)
    {
        std::string s = std::to_string(slot);
        return "\r\n\r\n"
               "MA\t5\tMD\t" + s + "\t// Set Motor Pointer\r\n"
               "DM\t\t\t\t// Download Motor " + s + " Default Parameters\r\n"
               "\r\n\r\n";
    }
    static std::string ExpectedSlot(int slot)
    {
        return ExpectedSlotHead(slot) +
               "MA\t8\tMD\t" + std::to_string(MotorOf(slot)) + "\t// Motor " +
               NameOf(MotorOf(slot)) + "\r\n"
               "MA\t9\tMD\t" + std::to_string(100 + slot) + "\t// Speed\r\n"
               "MA\t10\tMD\t" + std::to_string(-slot) + "\t// Accel\r\n"
               "\r\n\r\n"
               "SM\t\t\t\t// Save Motor Parameters\r\n";
    }

    std::string Save(bool expectedResult, CProgInterface* progress = nullptr)
    {
        UniqueFile file = TempFile();
        EXPECT_EQ(m_model.SaveParameters(file.get(), progress), expectedResult);
        return Contents(file.get());
    }

    TempProgramFolder m_folder;
    SimMaster m_sim;
    CStep1x3Driver m_model{&m_sim.master};
};

}  // namespace

TEST_F(Step1x3Model, SavesTheDriverBlockAndEveryMotorSlot)
{
    RecordingProgress progress;
    std::string expected = ExpectedHead();
    for (int slot = 0; slot < kMotorSlotCount; ++slot)
        expected += ExpectedSlot(slot);
    expected += "\r\n\r\n"
                "\t\t\t\t// *** Finish Download Motor DB ***\r\n"
                "\r\n\r\n"
                "LP\t\t\t\t// Load Parameters from EEPROM\r\n"
                "MA\t2\tMD\t0\t// Connect Motor\r\n";
    EXPECT_EQ(Save(true, &progress), Stored(expected));

    // Everything comes from the drive; the pointer stays at the last slot.
    // The drive's pointer stands at 5 after the driver block: no "MA" for slot 0.
    std::vector<std::string> wire = {"MA0", "MD", "MD", "MD", "MD", "MD"};
    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        if (slot > 0)
            wire.push_back("MA5");
        for (std::string line : {"MD" + std::to_string(slot), std::string("MA8"),
                                 std::string("MD"), std::string("MD"), std::string("MD")})
            wire.push_back(line);
    }
    EXPECT_EQ(m_sim.drive.ReceivedLines(), wire);
    EXPECT_EQ(m_sim.drive.GetValue(5), 15);

    std::vector<std::string> calls = {"status Save Driver Parameters", "range 0 4", "pos 0",
                                      "step 1"};
    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        calls.push_back("status Downdload Motor " + std::to_string(slot) + " Parameters");
        calls.push_back("range 8 10");
        calls.push_back("pos 8");
    }
    EXPECT_EQ(progress.calls, calls);
    EXPECT_EQ(progress.steps, 5 + 16 * 3);
}

TEST_F(Step1x3Model, StopsWhereTheDriveFails)
{
    // A failed read in slot 3 ends the file after the lines read so far.
    m_sim.drive.SetBankValue(3, 9, 65535);
    std::string expected = ExpectedHead();
    for (int slot = 0; slot < 3; ++slot)
        expected += ExpectedSlot(slot);
    expected += ExpectedSlotHead(3) + "MA\t8\tMD\t0\t// Motor (none)\r\n";
    EXPECT_EQ(Save(false), Stored(expected));

    // A slot the drive refuses to select ends it before any motor line.
    m_sim.drive.SetBankValue(3, 9, 103);
    m_sim.drive.SetReadOnly(5);
    EXPECT_EQ(Save(false), Stored(ExpectedHead() + ExpectedSlotHead(0)));

    // Cancel while the driver block is read.
    m_sim.drive.SetReadOnly(5, false);
    RecordingProgress progress(2);
    EXPECT_EQ(Save(false, &progress),
              Stored("\r\n\r\n"
                     "MA\t2\tMD\t1\t// Disconnect Motor\r\n"
                     "LP\t\t\t\t// Load Parameters from EEPROM\r\n"
                     "// Driver Parameters\r\n\r\n"
                     "MA\t0\tMD\t11\t// Current\r\n"));
}

TEST_F(Step1x3Model, DownloadsTheMotorOfEverySlot)
{
    m_sim.drive.SetBankValue(9, 8, 65535);  // a slot whose number reads as a failure
    m_sim.StoreToEeprom();
    RecordingProgress progress;
    ASSERT_TRUE(m_model.DownloadMotorList(&progress));

    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        int expected = slot == 9 ? 65535 : MotorOf(slot);
        EXPECT_EQ(m_model.GetMotorListNumber(slot), expected) << slot;
        // A number no row has shows the first row's name.
        EXPECT_EQ(m_model.GetMotorListName(slot), NameOf(expected)) << slot;
    }
    // "LP" leaves the drive's pointer alone: the switch address needs no "MA".
    std::vector<std::string> wire = {"MA2", "MD1", "LP", "MD0"};
    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        wire.push_back("MA5");
        wire.push_back("MD" + std::to_string(slot));
        wire.push_back("MA8");
        wire.push_back("MD");
    }
    for (const char* line : {"LP", "MA2", "MD0"})
        wire.push_back(line);
    EXPECT_EQ(m_sim.drive.ReceivedLines(), wire);
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"status Download Motor list", "range 0 16", "pos 0",
                                        "step 1"}));
    EXPECT_EQ(progress.steps, 16);
    EXPECT_EQ(progress.checks, 0);  // no cancel while the drive is disconnected
}

TEST_F(Step1x3Model, ASlotWhoseNumberCannotBeAddressedShowsAsUnknown)
{
    // The drive refuses the motor-number address right after slot 0 and
    // slot 4 were selected; the user ignores each box and the list goes on.
    m_sim.drive.SetWriteHook([this](uint16_t address, int32_t& value) {
        if (address == 5 && (value == 0 || value == 4))
            m_sim.drive.InjectFault({SimulatedDrive::FaultKind::ErrorAnswer, "Error 5"}, 1, "MA");
    });
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDIGNORE);
    boxes.Answer(host::IDIGNORE);
    m_sim.master.SetShowErrorBox(true);
    ASSERT_TRUE(m_model.DownloadMotorList(nullptr));
    m_sim.master.SetShowErrorBox(false);

    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(m_model.GetMotorListNumber(0), 65535);
    EXPECT_EQ(m_model.GetMotorListNumber(1), 12);
    EXPECT_EQ(m_model.GetMotorListNumber(3), 0);
    // Not the number of slot 3 before it.
    EXPECT_EQ(m_model.GetMotorListNumber(4), 65535);
    EXPECT_EQ(m_model.GetMotorListName(4), "(none)");
    EXPECT_EQ(m_model.GetMotorListNumber(5), 0);
}

TEST_F(Step1x3Model, ASecondDownloadReplacesTheList)
{
    EXPECT_EQ(m_model.GetMotorListNumber(0), 0);  // nothing downloaded yet
    EXPECT_EQ(m_model.GetMotorListName(0), "");
    ASSERT_TRUE(m_model.DownloadMotorList(nullptr));
    EXPECT_EQ(m_model.GetMotorListNumber(1), 12);

    m_sim.drive.SetBankValue(1, 8, 15);
    m_sim.drive.SetBankValue(15, 8, 7);
    m_sim.StoreToEeprom();
    ASSERT_TRUE(m_model.DownloadMotorList(nullptr));
    EXPECT_EQ(m_model.GetMotorListNumber(1), 15);
    EXPECT_EQ(m_model.GetMotorListName(1), "VX-42");
    EXPECT_EQ(m_model.GetMotorListNumber(15), 7);
    EXPECT_EQ(m_model.GetMotorListName(15), "TM-57 Step");

    for (int outside : {16, -1, 1000})
    {
        EXPECT_EQ(m_model.GetMotorListNumber(outside), 0);
        EXPECT_EQ(m_model.GetMotorListName(outside), "");
    }
}

TEST_F(Step1x3Model, WritesTheFixedScriptLines)
{
    UniqueFile file = TempFile();
    ASSERT_TRUE(m_model.WriteMotorPointerLines(file.get(), 11));
    ASSERT_TRUE(m_model.WriteSaveMotorLine(file.get()));
    EXPECT_EQ(Contents(file.get()),
              Stored(ExpectedSlotHead(11) + "\r\n\r\nSM\t\t\t\t// Save Motor Parameters\r\n"));
    EXPECT_EQ(Contents(file.get()).find('\0'), std::string::npos);
}
