// The drive models on every drive version of the sample database, against a
// simulated drive that plays that version.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "drive/MotorTable.h"
#include "drive/Servo2x1Driver.h"
#include "drive/Step1x2Driver.h"
#include "drive/Step1x3Driver.h"
#include "tests/drive/DriverTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tools/drivesim/SampleDrives.h"

using namespace drivertest;

namespace {

std::unique_ptr<CBaseDriver> MakeModel(int driverType, CTarvixMaster* master)
{
    switch (driverType) {
    case kDriverTypeStep1x2:
    case kDriverTypeStep1x2Unipolar:
        return std::make_unique<CStep1x2Driver>(master);
    case kDriverTypeStep1x3:
        return std::make_unique<CStep1x3Driver>(master);
    case kDriverTypeServo2x1:
        return std::make_unique<CServo2x1Driver>(master);
    default:
        return nullptr;
    }
}

// The constants as the database file states them, read apart from the models.
struct Constants {
    int baud, motorNo, save, motorTab, reset, externSwitch, driverStart, driverEnd, motorStart,
        motorEnd;
};

Constants ReadConstants(const char* version)
{
    CLuaManager db;
    EXPECT_EQ(db.OpenDriveDb(version), kLuaDbOk);
    return {db.GetGlobalNumber("DB_Var_SerialComm_bps"),
            db.GetGlobalNumber("DB_Motor_No"),
            db.GetGlobalNumber("NUMBER_OF_PARAMETERS_EEPROM_ONLY"),
            db.GetGlobalNumber("DB_Motor_Tab"),
            db.GetGlobalNumber("DB_Var_ResetDrv_Flag"),
            db.GetGlobalNumber("DB_ExternSwitchEnable_Flags"),
            db.GetGlobalNumber("PARAM_DRIVER_START"),
            db.GetGlobalNumber("PARAM_DRIVER_END"),
            db.GetGlobalNumber("PARAM_MOTOR_START"),
            db.GetGlobalNumber("PARAM_MOTOR_END")};
}

class SampleDriveScript : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        LoadMotors();
        std::string error;
        ASSERT_TRUE(LoadDriveProfile(GetParam(), m_profile, error)) << error;
        m_sim.drive.ApplyProfile(m_profile);
        ASSERT_EQ(LookupDriverType(GetParam(), &m_driverType), kLuaDbOk);
        m_model = MakeModel(m_driverType, &m_sim.master);
        ASSERT_TRUE(m_model);
        LoadModel(*m_model, GetParam());
        m_constants = ReadConstants(GetParam());
    }

    // A known motor number for slot (or the one motor) k.
    static int MotorNumber(int k)
    {
        const auto& motors = CMotorTable::GetInstance()->m_Motors;
        return motors[static_cast<size_t>(k + 1) % motors.size()].number;
    }
    static int ValueOf(int number, int slot) { return number * 7 - 300 + slot * 1000; }

    std::string Line(int number, int value)
    {
        std::string description = m_model->GetParamDescription(number);
        if (number == m_constants.baud)
            return ParamLine(number, value, description, true);
        if (number == m_constants.motorNo)
            description += CMotorTable::GetInstance()->GetMotorName(value);
        return ParamLine(number, value, description);
    }

    DriveProfile m_profile;
    SimMaster m_sim;
    int m_driverType = 0;
    std::unique_ptr<CBaseDriver> m_model;
    Constants m_constants{};
};

}  // namespace

TEST_P(SampleDriveScript, SavesEveryParameterAsTheDriveHoldsIt)
{
    const int count = static_cast<int>(m_profile.values.size());
    ASSERT_EQ(m_model->GetParameterCount(), count);
    bool multi = m_driverType == kDriverTypeStep1x3;
    for (int i = 0; i < count; ++i) {
        bool banked = multi && i >= m_constants.motorStart && i <= m_constants.motorEnd;
        if (!banked)
            m_sim.drive.SetValue(static_cast<uint16_t>(i),
                                 i == m_constants.motorNo ? MotorNumber(0) : ValueOf(i, 0));
    }
    if (multi) {
        for (int slot = 0; slot < kMotorSlotCount; ++slot) {
            for (int a = m_constants.motorStart; a <= m_constants.motorEnd; ++a)
                m_sim.drive.SetBankValue(slot, static_cast<uint16_t>(a),
                                         a == m_constants.motorNo ? MotorNumber(slot)
                                                                  : ValueOf(a, slot));
        }
    }

    UniqueFile file = TempFile();
    ASSERT_TRUE(m_model->SaveParameters(file.get(), nullptr));

    std::string expected;
    if (!multi) {
        ASSERT_GT(m_constants.save, 0);
        ASSERT_EQ(m_model->GetSaveParameterCount(), m_constants.save);
        expected = "\r\r\nLP\t\t\t\t// Load Parameters from EEPROM\r\r\n\r\r\n";
        for (int i = 0; i < m_constants.save; ++i)
            expected += Line(i, i == m_constants.motorNo ? MotorNumber(0) : ValueOf(i, 0));
        expected += "\r\r\nSP\t\t\t\t// Save Parameters";
    } else {
        const Constants& c = m_constants;
        std::string text = "\r\n\r\nMA\t" + std::to_string(c.reset) +
                           "\tMD\t1\t// Disconnect Motor\r\n"
                           "LP\t\t\t\t// Load Parameters from EEPROM\r\n"
                           "// Driver Parameters\r\n\r\n";
        expected = Stored(text);
        for (int i = c.driverStart; i <= c.driverEnd; ++i)
            expected += Line(i, ValueOf(i, 0));
        expected += Stored("SD\r\nMA\t" + std::to_string(c.externSwitch) +
                           "\tMD\t0\t// Set GUI Control (Disable PCB Switch Control)\r\n"
                           "\r\n\r\n\t\t\t\t// *** Start Download Motor DB ***\r\n");
        for (int slot = 0; slot < kMotorSlotCount; ++slot) {
            std::string s = std::to_string(slot);
            expected += Stored("\r\n\r\nMA\t" + std::to_string(c.motorTab) + "\tMD\t" + s +
                               "\t// Set Motor Pointer\r\n"
                               "DM\t\t\t\t// Download Motor " + s + " Default Parameters\r\n"
                               "\r\n\r\n");
            for (int a = c.motorStart; a <= c.motorEnd; ++a)
                expected += Line(a, a == c.motorNo ? MotorNumber(slot) : ValueOf(a, slot));
            expected += Stored("\r\n\r\nSM\t\t\t\t// Save Motor Parameters\r\n");
        }
        expected += Stored("\r\n\r\n\t\t\t\t// *** Finish Download Motor DB ***\r\n"
                           "\r\n\r\nLP\t\t\t\t// Load Parameters from EEPROM\r\n"
                           "MA\t" + std::to_string(c.reset) + "\tMD\t0\t// Connect Motor\r\n");
    }
    EXPECT_EQ(Contents(file.get()), expected);
}

INSTANTIATE_TEST_SUITE_P(SampleDatabase, SampleDriveScript, testing::ValuesIn(kSampleVersions));

TEST(SampleMultiMotorDrive, ListsTheMotorOfEachSlot)
{
    LoadMotors();
    DriveProfile profile;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(kSampleMultiMotorVersion, profile, error)) << error;
    SimMaster sim;
    sim.drive.ApplyProfile(profile);
    Constants c = ReadConstants(kSampleMultiMotorVersion);
    const auto& motors = CMotorTable::GetInstance()->m_Motors;
    for (int slot = 0; slot < kMotorSlotCount; ++slot)
        sim.drive.SetBankValue(slot, static_cast<uint16_t>(c.motorNo),
                               motors[static_cast<size_t>(slot) % motors.size()].number);
    sim.StoreToEeprom();

    CStep1x3Driver model(&sim.master);
    LoadModel(model, kSampleMultiMotorVersion);
    ASSERT_TRUE(model.DownloadMotorList(nullptr));
    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        const MotorInfo& motor = motors[static_cast<size_t>(slot) % motors.size()];
        EXPECT_EQ(model.GetMotorListNumber(slot), motor.number) << slot;
        EXPECT_EQ(model.GetMotorListName(slot), motor.name) << slot;
    }
}

TEST(SampleMultiMotorDrive, ASavedScriptSetsUpAnotherDriveTheSameWay)
{
    LoadMotors();
    DriveProfile profile;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(kSampleMultiMotorVersion, profile, error)) << error;
    Constants c = ReadConstants(kSampleMultiMotorVersion);

    // The drive whose parameters are saved: every value its own.
    SimulatedDriveOnCom source(201);
    source->ApplyProfile(profile);
    for (int i = c.driverStart; i <= c.driverEnd; ++i) {
        if (i != c.baud)
            source->SetValue(static_cast<uint16_t>(i), 5000 + i);
    }
    // A connected drive under switch control, showing slot 7.
    source->SetValue(static_cast<uint16_t>(c.motorTab), 7);
    source->SetValue(static_cast<uint16_t>(c.reset), 0);
    source->SetValue(static_cast<uint16_t>(c.externSwitch), 1);
    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        for (int a = c.motorStart; a <= c.motorEnd; ++a)
            source->SetBankValue(slot, static_cast<uint16_t>(a), slot * 1000 + a);
    }
    UniqueFile script = TempFile();
    {
        CTarvixMaster master;
        ASSERT_EQ(master.Connect(201, kBaudCode9600, true), kConnectOk);
        ASSERT_TRUE(master.SaveParameterFile(script.get(), nullptr));
    }

    // A drive of the same version with its factory values takes the script.
    // Its own motor commands only acknowledge here, and "LP" keeps the values
    // the script has set, since this drive has no separate store for them.
    SimulatedDriveOnCom target(202);
    target->ApplyProfile(profile);
    for (const char* word : {"DM", "SM", "SD", "LP"})
        target->SetCommandHook(word, [](const SimulatedDrive::Command&) { return "OK"; });
    // The drive refuses its live values; the user goes on past each of them.
    auto refused = [&](int i) { return profile.readOnly.count(static_cast<uint16_t>(i)) != 0; };
    int refusals = 0;
    for (int i = c.driverStart; i <= c.driverEnd; ++i)
        refusals += refused(i) && i != c.baud;
    for (int a = c.motorStart; a <= c.motorEnd; ++a)
        refusals += refused(a) ? kMotorSlotCount : 0;
    ScriptedMessageBoxes boxes;
    for (int k = 0; k < refusals; ++k) {
        boxes.Answer(host::IDIGNORE);
        boxes.Answer(host::IDYES);
    }
    {
        CTarvixMaster master;
        ASSERT_EQ(master.Connect(202, kBaudCode9600, true), kConnectOk);
        target->ClearRecord();
        ASSERT_TRUE(master.ExecuteScriptFile(script.get(), nullptr));
    }
    EXPECT_EQ(boxes.Count(), 2u * refusals);

    for (int i = c.driverStart; i <= c.driverEnd; ++i) {
        if (i == c.baud || refused(i))
            EXPECT_EQ(target->GetValue(static_cast<uint16_t>(i)), profile.values[i]);
        else if (i == c.reset || i == c.externSwitch)  // connected, under this program
            EXPECT_EQ(target->GetValue(static_cast<uint16_t>(i)), 0) << i;
        else if (i == c.motorTab)  // left at the last slot
            EXPECT_EQ(target->GetValue(static_cast<uint16_t>(i)), kMotorSlotCount - 1);
        else
            EXPECT_EQ(target->GetValue(static_cast<uint16_t>(i)), 5000 + i) << i;
    }
    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        for (int a = c.motorStart; a <= c.motorEnd; ++a)
            ASSERT_EQ(target->GetBankValue(slot, static_cast<uint16_t>(a)),
                      refused(a) ? profile.values[a] : slot * 1000 + a)
                << "slot " << slot << " parameter " << a;
    }
    // Each slot is selected, reset to its defaults, then stored.
    std::vector<std::string> lines = target->ReceivedLines();
    int dm = 0, sm = 0, sd = 0;
    for (const std::string& line : lines) {
        dm += line == "DM";
        sm += line == "SM";
        sd += line == "SD";
    }
    EXPECT_EQ(dm, kMotorSlotCount);
    EXPECT_EQ(sm, kMotorSlotCount);
    EXPECT_EQ(sd, 1);
    EXPECT_EQ(lines.back(), "MD0");
}
