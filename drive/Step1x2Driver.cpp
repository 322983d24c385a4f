#include "drive/Step1x2Driver.h"

CStep1x2Driver::CStep1x2Driver(CTarvixMaster* master) : CBaseDriver(master) {}

int CStep1x2Driver::ReadDbConstants()
{
    return ReadDbConstantList({
        {"DB_Var_SerialComm_bps", &m_nBaudRateParam},
        {"DB_Motor_No", &m_nMotorNoParam},
        {"NUMBER_OF_PARAMETERS", &m_nParamCount},
        {"NUMBER_OF_PARAMETERS_EEPROM_ONLY", &m_nSaveParamCount},
    });
}

uint16_t CStep1x2Driver::GetSaveParameterCount()
{
    return m_nSaveParamCount;
}

uint16_t CStep1x2Driver::GetBaudRateParam()
{
    return m_nBaudRateParam;
}

int CStep1x2Driver::ReadMotorNo()
{
    return ReadMotorNoAt(m_nMotorNoParam);
}

bool CStep1x2Driver::SaveParameters(FILE* file, CProgInterface* progress)
{
    return SaveSingleMotorParameters(file, progress, m_nMotorNoParam);
}
