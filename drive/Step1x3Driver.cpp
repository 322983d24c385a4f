#include "drive/Step1x3Driver.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "drive/MotorTable.h"
#include "drive/ProgInterface.h"
#include "drive/TarvixMaster.h"
#include "drive/TextModeFile.h"
#include "drive/VcmFile.h"

// Old parameter number (row index) -> new numbering of this drive family.
const ParamConvertRow kParamConvertTable[70] = {
    {-1, -1, 0, 1},    // 0
    {-1, -1, 0, 1},    // 1
    {-1, -1, 0, 1},    // 2
    {-1, -1, 0, 1},    // 3
    {94, -1, 0, 1},    // 4
    {-1, -1, 0, 1},    // 5
    {-1, -1, 0, 1},    // 6
    {-1, -1, 0, 1},    // 7
    {-1, -1, 0, 1},    // 8
    {-1, -1, 0, 1},    // 9
    {-1, -1, 0, 1},    // 10
    {-1, -1, 0, 1},    // 11
    {-1, -1, 0, 1},    // 12
    {-1, -1, 0, 1},    // 13
    {-1, -1, 0, 1},    // 14
    {-1, -1, 0, 1},    // 15
    {-1, -1, 0, 1},    // 16
    {-1, -1, 0, 1},    // 17
    {-1, -1, 0, 1},    // 18
    {-1, -1, 0, 1},    // 19
    {48, -1, 0, 1},    // 20
    {58, 98, 0, 1},    // 21
    {-1, -1, 0, 1},    // 22
    {50, -1, 0, 1},    // 23
    {51, -1, 1, 10},   // 24
    {52, -1, 1, 10},   // 25
    {53, -1, 1, 10},   // 26
    {54, -1, 0, 1},    // 27
    {57, -1, 0, 1},    // 28
    {92, -1, 0, 1},    // 29
    {93, -1, 0, 1},    // 30
    {91, -1, 0, 1},    // 31
    {97, -1, 0, 1},    // 32
    {99, -1, 0, 1},    // 33
    {100, -1, 0, 1},   // 34
    {101, -1, 0, 1},   // 35
    {102, -1, 0, 1},   // 36
    {103, -1, 0, 1},   // 37
    {104, -1, 0, 1},   // 38
    {105, -1, 0, 1},   // 39
    {106, -1, 0, 1},   // 40
    {107, -1, 0, 1},   // 41
    {108, -1, 0, 1},   // 42
    {109, -1, 0, 1},   // 43
    {110, -1, 0, 1},   // 44
    {111, -1, 0, 1},   // 45
    {112, -1, 0, 1},   // 46
    {113, -1, 0, 1},   // 47
    {-1, -1, 0, 1},    // 48
    {-1, -1, 0, 1},    // 49
    {-1, -1, 0, 1},    // 50
    {114, -1, 0, 1},   // 51
    {-1, -1, 0, 1},    // 52
    {-1, -1, 0, 1},    // 53
    {64, 79, 1, 10},   // 54
    {66, 81, 1, 10},   // 55
    {65, 80, 0, 1},    // 56
    {67, -1, 0, 1},    // 57
    {59, -1, 0, 1},    // 58
    {55, -1, 0, 1},    // 59
    {56, -1, 0, 1},    // 60
    {49, -1, 0, 1},    // 61
    {60, -1, 1, 10},   // 62
    {62, 77, 1, 10},   // 63
    {63, 78, 0, 1},    // 64
    {-1, -1, 0, 1},    // 65
    {82, -1, 0, 1},    // 66
    {95, -1, 0, 1},    // 67
    {96, -1, 0, 1},    // 68
    {0, 0, 0, 0},      // end of table
};

namespace {

// The row of an old parameter number, null when the table has none.
const ParamConvertRow* FindConvertRow(int oldNumber)
{
    unsigned key = static_cast<uint16_t>(oldNumber);
    for (unsigned row = 0; kParamConvertTable[row].newNumber != 0; ++row) {
        if (row == key)
            return &kParamConvertTable[row];
    }
    return nullptr;
}

int32_t ConvertValue(const ParamConvertRow& row, int32_t value)
{
    switch (row.mode) {
    case 0:
        return static_cast<int32_t>(static_cast<int64_t>(value) * row.factor);
    case 1:
        // Integer division truncates toward zero, as the drive's own values do.
        if (row.factor == 0 || (row.factor == -1 && value == INT32_MIN))
            return value;
        return value / row.factor;
    default:
        return value;
    }
}

}  // namespace

CStep1x3Driver::CStep1x3Driver(CTarvixMaster* master) : CBaseDriver(master) {}

CStep1x3Driver::~CStep1x3Driver() = default;

int CStep1x3Driver::ReadDbConstants()
{
    return ReadDbConstantList({
        {"DB_Var_SerialComm_bps", &m_nBaudRateParam},
        {"DB_Motor_No", &m_nMotorNoParam},
        {"DB_Motor_Tab", &m_nMotorTabParam},
        {"DB_Var_ResetDrv_Flag", &m_nResetDrvParam},
        {"DB_ExternSwitchEnable_Flags", &m_nExternSwitchParam},
        {"NUMBER_OF_PARAMETERS", &m_nParamCount},
        {"PARAM_DRIVER_START", &m_nDriverStart},
        {"PARAM_DRIVER_END", &m_nDriverEnd},
        {"PARAM_MOTOR_START", &m_nMotorStart},
        {"PARAM_MOTOR_END", &m_nMotorEnd},
    });
}

int CStep1x3Driver::ReadMotorNo()
{
    return ReadMotorNoAt(m_nMotorNoParam);
}

bool CStep1x3Driver::WriteDisconnectMotorLines(FILE* file)
{
    return WriteTextModeString(file, "\r\n\r\n") &&
           WriteTextModeFormat(file, "MA\t%d\tMD\t1\t// Disconnect Motor\r\n",
                               static_cast<int>(m_nResetDrvParam)) &&
           WriteTextModeString(file, "LP\t\t\t\t// Load Parameters from EEPROM\r\n");
}

bool CStep1x3Driver::WriteStartMotorDbLines(FILE* file)
{
    return WriteTextModeFormat(file,
                               "MA\t%d\tMD\t0\t// Set GUI Control (Disable PCB Switch Control)\r\n",
                               static_cast<int>(m_nExternSwitchParam)) &&
           WriteTextModeString(file, "\r\n\r\n") &&
           WriteTextModeString(file, "\t\t\t\t// *** Start Download Motor DB ***\r\n");
}

bool CStep1x3Driver::WriteMotorPointerLines(FILE* file, int slot)
{
    return WriteTextModeString(file, "\r\n\r\n") &&
           WriteTextModeFormat(file, "MA\t%d\tMD\t%d\t// Set Motor Pointer\r\n",
                               static_cast<int>(m_nMotorTabParam), slot) &&
           WriteTextModeFormat(file, "DM\t\t\t\t// Download Motor %d Default Parameters\r\n",
                               slot) &&
           WriteTextModeString(file, "\r\n\r\n");
}

bool CStep1x3Driver::WriteSaveMotorLine(FILE* file)
{
    return WriteTextModeString(file, "\r\n\r\n") &&
           WriteTextModeString(file, "SM\t\t\t\t// Save Motor Parameters\r\n");
}

bool CStep1x3Driver::WriteFinishMotorDbLines(FILE* file)
{
    return WriteTextModeString(file, "\r\n\r\n") &&
           WriteTextModeString(file, "\t\t\t\t// *** Finish Download Motor DB ***\r\n") &&
           WriteTextModeString(file, "\r\n\r\n") &&
           WriteTextModeString(file, "LP\t\t\t\t// Load Parameters from EEPROM\r\n") &&
           WriteTextModeFormat(file, "MA\t%d\tMD\t0\t// Connect Motor\r\n",
                               static_cast<int>(m_nResetDrvParam));
}

bool CStep1x3Driver::SaveParameters(FILE* file, CProgInterface* progress)
{
    if (!file)
        return false;
    if (!WriteDisconnectMotorLines(file) ||
        !WriteTextModeString(file, "// Driver Parameters\r\n\r\n"))
        return false;
    if (progress) {
        progress->SetStatus("Save Driver Parameters");
        progress->SetRange(m_nDriverStart, m_nDriverEnd);
        progress->SetPos(m_nDriverStart);
        progress->SetStep(1);
    }
    if (!WriteParameterRange(file, progress, m_nDriverStart, m_nDriverEnd, m_nMotorNoParam))
        return false;
    if (!WriteTextModeString(file, "SD\r\n") || !WriteStartMotorDbLines(file))
        return false;

    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        if (!WriteMotorPointerLines(file, slot))
            return false;
        if (progress) {
            char status[100];
            std::snprintf(status, sizeof(status), "Downdload Motor %d Parameters", slot);
            progress->SetStatus(status);
            progress->SetRange(m_nMotorStart, m_nMotorEnd);
            progress->SetPos(m_nMotorStart);
        }
        // The drive shows the motor parameters of the slot its pointer selects.
        if (!m_pMaster || !m_pMaster->SetAddress(m_nMotorTabParam) ||
            !m_pMaster->WriteData(slot))
            return false;
        if (!WriteParameterRange(file, progress, m_nMotorStart, m_nMotorEnd, m_nMotorNoParam))
            return false;
        if (!WriteSaveMotorLine(file))
            return false;
    }
    return WriteFinishMotorDbLines(file) && FlushTextModeFile(file);
}

bool CStep1x3Driver::DownloadMotorList(CProgInterface* progress)
{
    if (progress) {
        progress->SetStatus("Download Motor list");
        progress->SetRange(0, kMotorSlotCount);
        progress->SetPos(0);
        progress->SetStep(1);
    }
    m_pMotorList = std::make_unique<MotorInfo[]>(kMotorSlotCount);
    if (!m_pMaster)
        return false;

    // Disconnect the motor and take control from the board switches while
    // the slots are walked; failures here are shown by the exchange itself.
    if (m_pMaster->SetAddress(m_nResetDrvParam))
        m_pMaster->WriteData(1);
    m_pMaster->SendCommand("LP");
    if (m_pMaster->SetAddress(m_nExternSwitchParam))
        m_pMaster->WriteData(0);

    CMotorTable* motors = CMotorTable::GetInstance();
    for (int slot = 0; slot < kMotorSlotCount; ++slot) {
        if (m_pMaster->SetAddress(m_nMotorTabParam))
            m_pMaster->WriteData(slot);
        // A slot whose number cannot be read shows as unknown, never as the
        // motor of another slot.
        int number = kReadFailed;
        if (m_pMaster->SetAddress(m_nMotorNoParam))
            number = m_pMaster->ReadData();
        const MotorInfo& row = motors->FindMotor(number);
        MotorInfo& record = m_pMotorList[slot];
        record.number = number;
        record.factor = row.factor;
        record.name = row.name;
        if (progress)
            progress->StepIt();
    }

    m_pMaster->SendCommand("LP");
    if (m_pMaster->SetAddress(m_nResetDrvParam))
        m_pMaster->WriteData(0);
    return true;
}

int CStep1x3Driver::GetMotorListNumber(int i)
{
    unsigned slot = static_cast<unsigned>(i);
    if (slot >= kMotorSlotCount || !m_pMotorList)
        return 0;
    return m_pMotorList[slot].number;
}

std::string CStep1x3Driver::GetMotorListName(int i)
{
    unsigned slot = static_cast<unsigned>(i);
    if (slot >= kMotorSlotCount || !m_pMotorList)
        return {};
    return m_pMotorList[slot].name;
}

bool CStep1x3Driver::ConvertParameterFile(FILE* file, CVcmFile* vcmFile)
{
    if (!file || !vcmFile || vcmFile->AtEnd())
        return false;

    int oldNumber = -1;
    int32_t value = -1;
    bool addressGiven = false;
    bool written = true;

    auto writeMapped = [&](int newNumber, int32_t newValue) {
        int number = static_cast<uint16_t>(newNumber);
        std::string description = GetParamDescription(number);
        if (description.empty()) {
            written = written &&
                      WriteTextModeFormat(file, "MA\t%d \tMD\t%d\r\n", number, newValue);
        } else {
            // The description is written whole, not cut at the format buffer.
            written = written &&
                      WriteTextModeFormat(file, "MA\t%d \tMD\t%d\t// \t", number, newValue) &&
                      WriteTextModeComment(file, description) &&
                      WriteTextModeString(file, "\r\n");
        }
    };

    while (const char* token = vcmFile->NextCommand()) {
        std::string command = token;
        if (command.empty()) {
            // Something the lexer cannot take as a command ("/*", a control
            // byte): drop the rest of that line so the scan moves on.
            vcmFile->SkipLine();
            continue;
        }
        if (command == "MA") {
            const char* word = vcmFile->NextWord();
            if (!word) {
                addressGiven = false;
                value = -1;
                continue;
            }
            oldNumber = static_cast<int>(std::strtol(word, nullptr, 10));
            addressGiven = true;
        } else if (command == "MD") {
            if (const char* word = vcmFile->NextWord())
                value = static_cast<int32_t>(std::strtol(word, nullptr, 10));
            if (!addressGiven) {
                if (oldNumber <= 0)
                    continue;
                oldNumber = static_cast<int>(static_cast<unsigned>(oldNumber) + 1u);
            }
            const ParamConvertRow* row = FindConvertRow(oldNumber);
            if (!row || row->newNumber < 0)
                continue;
            int32_t newValue = ConvertValue(*row, value);
            writeMapped(row->newNumber, newValue);
            if (row->secondNumber >= 0)
                writeMapped(row->secondNumber, newValue);
        } else if (command == "TN" || command == "SP" || command == "LP") {
            // The converted lines go into a script that has its own "LP" and
            // "SP" frame; these stay visible but do nothing.
            written = written && WriteTextModeString(file, "// ") &&
                      WriteTextModeFormat(file, "%s\r\n", command.c_str());
        } else {
            written = written && WriteTextModeFormat(file, "%s\r\n", command.c_str());
        }
    }
    return written && FlushTextModeFile(file);
}
