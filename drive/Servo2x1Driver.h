#pragma once

#include "drive/BaseDriver.h"

// Servo drives with a test array (DriverType 200).
class CServo2x1Driver : public CBaseDriver {
public:
    explicit CServo2x1Driver(CTarvixMaster* master);

    int ReadDbConstants() override;
    uint16_t GetSaveParameterCount() override;
    uint16_t GetBaudRateParam() override;
    int ReadMotorNo() override;
    uint16_t GetMotorNoParam() override { return m_nMotorNoParam; }
    bool HasTestArray() override { return true; }
    uint16_t GetTestArrayStart() override { return m_nTestArrayStart; }
    int GetTestArrayLines() override { return m_nTestArrayLines; }
    int GetTestArrayColumns() override { return m_nTestArrayColumns; }
    bool SaveParameters(FILE* file, CProgInterface* progress) override;

protected:
    uint16_t m_nBaudRateParam = 0;
    uint16_t m_nMotorNoParam = 0;
    uint16_t m_nTestArrayStart = 0;
    uint16_t m_nTestArrayLines = 0;
    uint16_t m_nTestArrayColumns = 0;
    uint16_t m_nSaveParamCount = 0;
};
