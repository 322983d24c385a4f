#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>

#include "drive/DriveRecords.h"
#include "drive/LuaManager.h"

class CTarvixMaster;
class CProgInterface;

// DriverType of a version-list entry.
enum : int {
    kDriverTypeStep1x2 = 1,
    kDriverTypeStep1x3 = 100,
    kDriverTypeServo2x1 = 200,
    kDriverTypeStep1x2Unipolar = 300,
};

// The model of one family of drives: its database records, special parameter
// numbers, and how its parameters are saved as a script.
class CBaseDriver {
public:
    explicit CBaseDriver(CTarvixMaster* master);
    virtual ~CBaseDriver();
    CBaseDriver(const CBaseDriver&) = delete;
    CBaseDriver& operator=(const CBaseDriver&) = delete;

    virtual int LoadDatabase();
    virtual int ReadDbConstants() = 0;
    virtual const std::deque<VariableInfo>& GetFirstSectionVariables();
    virtual const SectionInfo* GetSection(int i);
    virtual int GetSectionCount();
    virtual uint16_t GetParameterCount();
    virtual uint16_t GetSaveParameterCount();
    virtual uint16_t GetBaudRateParam() = 0;
    virtual int GetDefaultValue(int i);
    virtual std::string GetParamDescription(int i);
    virtual int ReadMotorNo() = 0;
    virtual bool HasTestArray() = 0;
    virtual uint16_t GetTestArrayStart() = 0;
    virtual int GetTestArrayLines() = 0;
    virtual int GetTestArrayColumns() = 0;
    virtual bool SaveParameters(FILE* file, CProgInterface* progress) = 0;

    CLuaManager& GetLuaManager() { return m_LuaManager; }
    bool IsLoaded() const { return m_bLoaded; }

protected:
    CTarvixMaster* m_pMaster;
    bool m_bLoaded = false;
    CLuaManager m_LuaManager;
    std::deque<SectionInfo> m_Sections;
    uint16_t m_nParamCount = 0;
    std::deque<ParamInfo> m_ParamInfos;
};
