#include "drive/BaseDriver.h"

#include "drive/MotorTable.h"
#include "drive/ProgInterface.h"
#include "drive/TarvixMaster.h"
#include "drive/TextModeFile.h"

CBaseDriver::CBaseDriver(CTarvixMaster* master) : m_pMaster(master) {}

CBaseDriver::~CBaseDriver() = default;

int CBaseDriver::LoadDatabase()
{
    if (m_bLoaded)
        return kLuaDbOk;
    // On failure the DriveDB state stays open, so a later call starts again
    // with the same state.
    int r = ReadDbConstants();
    if (r != kLuaDbOk)
        return r;
    r = m_LuaManager.LoadParamInfo(m_ParamInfos, GetParameterCount());
    if (r != kLuaDbOk)
        return r;
    r = m_LuaManager.LoadParamView(m_Sections);
    if (r != kLuaDbOk)
        return r;
    m_bLoaded = true;
    m_LuaManager.CloseDriveDb();
    return kLuaDbOk;
}

const std::deque<VariableInfo>& CBaseDriver::GetFirstSectionVariables()
{
    // A database without sections gives an empty page rather than a crash.
    static const std::deque<VariableInfo> kNoVariables;
    return m_Sections.empty() ? kNoVariables : m_Sections.front().variables;
}

const SectionInfo* CBaseDriver::GetSection(int i)
{
    if (i < 0 || static_cast<size_t>(i) >= m_Sections.size())
        return nullptr;
    return &m_Sections[static_cast<size_t>(i)];
}

int CBaseDriver::GetSectionCount()
{
    return static_cast<int>(m_Sections.size());
}

uint16_t CBaseDriver::GetParameterCount()
{
    return m_nParamCount;
}

uint16_t CBaseDriver::GetSaveParameterCount()
{
    return m_nParamCount;
}

int CBaseDriver::GetDefaultValue(int i)
{
    uint16_t n = static_cast<uint16_t>(i);
    if (n >= GetParameterCount() || n >= m_ParamInfos.size())
        return 0;
    return m_ParamInfos[n].defaultValue;
}

std::string CBaseDriver::GetParamDescription(int i)
{
    uint16_t n = static_cast<uint16_t>(i);
    if (n >= GetParameterCount() || n >= m_ParamInfos.size())
        return {};
    return m_ParamInfos[n].description;
}

int CBaseDriver::ReadDbConstantList(std::initializer_list<DbConstant> constants)
{
    for (const DbConstant& c : constants) {
        int value = 0;
        int r = m_LuaManager.GetNumber(c.name, &value);
        if (r != kLuaDbOk)
            return r;
        *c.member = static_cast<uint16_t>(value);
    }
    return kLuaDbOk;
}

int CBaseDriver::ReadMotorNoAt(uint16_t motorNoParam)
{
    if (!m_pMaster || !m_pMaster->SetAddress(motorNoParam))
        return 0;
    int value = m_pMaster->ReadData();
    return value == kReadFailed ? 0 : value;
}

bool CBaseDriver::WriteParameterLine(FILE* file, uint16_t number, int value,
                                     uint16_t motorNoParam)
{
    // Executing the script must not change the rate of the running connection.
    bool baudRate = number == GetBaudRateParam();
    if (!WriteTextModeFormat(file, baudRate ? "// MA\t%d\tMD\t%d\t// " : "MA\t%d\tMD\t%d\t// ",
                             static_cast<int>(number), value))
        return false;
    // Written whole: a long description is not cut at the format buffer.
    if (!WriteTextModeComment(file, GetParamDescription(number)))
        return false;
    if (!baudRate && number == motorNoParam &&
        !WriteTextModeComment(file, CMotorTable::GetInstance()->GetMotorName(value)))
        return false;
    return WriteTextModeString(file, "\r\n");
}

bool CBaseDriver::WriteParameterRange(FILE* file, CProgInterface* progress, int start, int end,
                                      uint16_t motorNoParam)
{
    for (int i = start; i <= end; ++i) {
        if (progress && progress->CheckCancel())
            return false;
        uint16_t number = static_cast<uint16_t>(i);
        if (!m_pMaster || !m_pMaster->SetAddress(number))
            return false;
        int value = m_pMaster->ReadData();
        if (value == kReadFailed)
            return false;
        if (!WriteParameterLine(file, number, value, motorNoParam))
            return false;
        if (progress)
            progress->StepIt();
    }
    return true;
}

bool CBaseDriver::SaveSingleMotorParameters(FILE* file, CProgInterface* progress,
                                            uint16_t motorNoParam)
{
    uint16_t n = GetSaveParameterCount();
    // Without a count there is nothing to save; a script of "LP" and "SP"
    // alone would pass for a backup of the drive.
    if (!file || n == 0)
        return false;
    if (!WriteTextModeString(file, "\r\nLP\t\t\t\t// Load Parameters from EEPROM\r\n\r\n"))
        return false;
    if (progress) {
        progress->SetStatus("Save Parameters");
        progress->SetRange(0, n - 1);
        progress->SetPos(0);
        progress->SetStep(1);
    }
    if (!WriteParameterRange(file, progress, 0, n - 1, motorNoParam))
        return false;
    return WriteTextModeString(file, "\r\nSP\t\t\t\t// Save Parameters") &&
           FlushTextModeFile(file);
}
