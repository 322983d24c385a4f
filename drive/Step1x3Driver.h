#pragma once

#include <memory>

#include "drive/BaseDriver.h"

class CVcmFile;

constexpr int kMotorSlotCount = 16;

// One row of the old-to-new parameter mapping: first and second new number
// (-1 = none), mode (0 multiply, 1 divide, other: unchanged) and factor.
struct ParamConvertRow {
    int32_t newNumber;
    int32_t secondNumber;
    int32_t mode;
    int32_t factor;
};
extern const ParamConvertRow kParamConvertTable[70];

// Step drives with a table of 16 motor slots (DriverType 100).
class CStep1x3Driver : public CBaseDriver {
public:
    explicit CStep1x3Driver(CTarvixMaster* master);
    ~CStep1x3Driver() override;

    int ReadDbConstants() override;
    uint16_t GetBaudRateParam() override { return m_nBaudRateParam; }
    int ReadMotorNo() override;
    uint16_t GetMotorNoParam() override { return m_nMotorNoParam; }
    bool HasTestArray() override { return false; }
    uint16_t GetTestArrayStart() override { return 0; }
    int GetTestArrayLines() override { return 0; }
    int GetTestArrayColumns() override { return 0; }
    bool SaveParameters(FILE* file, CProgInterface* progress) override;

    virtual bool DownloadMotorList(CProgInterface* progress);
    virtual int GetMotorListNumber(int i);
    virtual std::string GetMotorListName(int i);
    virtual bool ConvertParameterFile(FILE* file, CVcmFile* vcmFile);

    // Fixed script lines, shared with the parameter converter.
    bool WriteDisconnectMotorLines(FILE* file);
    bool WriteStartMotorDbLines(FILE* file);
    bool WriteMotorPointerLines(FILE* file, int slot);
    bool WriteSaveMotorLine(FILE* file);
    bool WriteFinishMotorDbLines(FILE* file);

protected:
    std::unique_ptr<MotorInfo[]> m_pMotorList;
    uint16_t m_nBaudRateParam = 0;
    uint16_t m_nMotorNoParam = 0;
    uint16_t m_nMotorTabParam = 0;
    uint16_t m_nResetDrvParam = 0;
    uint16_t m_nExternSwitchParam = 0;
    uint16_t m_nDriverStart = 0;
    uint16_t m_nDriverEnd = 0;
    uint16_t m_nMotorStart = 0;
    uint16_t m_nMotorEnd = 0;
};
