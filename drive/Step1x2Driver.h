#pragma once

#include "drive/BaseDriver.h"

// Single-motor step drives (DriverType 1 and 300).
class CStep1x2Driver : public CBaseDriver {
public:
    explicit CStep1x2Driver(CTarvixMaster* master);

    int ReadDbConstants() override;
    uint16_t GetSaveParameterCount() override;
    uint16_t GetBaudRateParam() override;
    int ReadMotorNo() override;
    uint16_t GetMotorNoParam() override { return m_nMotorNoParam; }
    bool HasTestArray() override { return false; }
    uint16_t GetTestArrayStart() override { return 0; }
    int GetTestArrayLines() override { return 0; }
    int GetTestArrayColumns() override { return 0; }
    bool SaveParameters(FILE* file, CProgInterface* progress) override;

protected:
    uint16_t m_nBaudRateParam = 0;
    uint16_t m_nMotorNoParam = 0;
    uint16_t m_nSaveParamCount = 0;
};
