#include "drive/Servo2x1Driver.h"

CServo2x1Driver::CServo2x1Driver(CTarvixMaster* master) : CBaseDriver(master) {}

int CServo2x1Driver::ReadDbConstants()
{
    return ReadDbConstantList({
        {"DB_Var_SerialComm_bps", &m_nBaudRateParam},
        {"DB_Motor_No", &m_nMotorNoParam},
        {"DB_TestArrayStart", &m_nTestArrayStart},
        {"NUMBER_OF_PARAMETERS", &m_nParamCount},
        {"NUMBER_LINE_TESTARRAY", &m_nTestArrayLines},
        {"NUMBER_COLUMN_TESTARRAY", &m_nTestArrayColumns},
        {"NUMBER_OF_PARAMETERS_EEPROM_ONLY", &m_nSaveParamCount},
    });
}

uint16_t CServo2x1Driver::GetSaveParameterCount()
{
    return m_nSaveParamCount;
}

uint16_t CServo2x1Driver::GetBaudRateParam()
{
    return m_nBaudRateParam;
}

int CServo2x1Driver::ReadMotorNo()
{
    return ReadMotorNoAt(m_nMotorNoParam);
}

bool CServo2x1Driver::SaveParameters(FILE* file, CProgInterface* progress)
{
    return SaveSingleMotorParameters(file, progress, m_nMotorNoParam);
}
