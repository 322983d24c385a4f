#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <initializer_list>
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
    virtual uint16_t GetMotorNoParam() = 0;
    virtual bool HasTestArray() = 0;
    virtual uint16_t GetTestArrayStart() = 0;
    virtual int GetTestArrayLines() = 0;
    virtual int GetTestArrayColumns() = 0;
    virtual bool SaveParameters(FILE* file, CProgInterface* progress) = 0;

    CLuaManager& GetLuaManager() { return m_LuaManager; }
    bool IsLoaded() const { return m_bLoaded; }

protected:
    // Shared rules of the models.
    // The motor number read from the drive at motorNoParam; 0 on any failure.
    int ReadMotorNoAt(uint16_t motorNoParam);
    // One saved parameter line: the baud-rate line commented out, the
    // motor-number line followed by the motor's name.
    bool WriteParameterLine(FILE* file, uint16_t number, int value, uint16_t motorNoParam);
    // Reads parameters start..end (inclusive) from the drive and writes their
    // lines; false on cancel, a failed exchange or a failed write.
    bool WriteParameterRange(FILE* file, CProgInterface* progress, int start, int end,
                             uint16_t motorNoParam);
    // The script of a single-motor drive: "LP", every saved parameter, "SP".
    bool SaveSingleMotorParameters(FILE* file, CProgInterface* progress, uint16_t motorNoParam);
    // Reads the named DriveDB constants in order into the members given.
    struct DbConstant {
        const char* name;
        uint16_t* member;
    };
    int ReadDbConstantList(std::initializer_list<DbConstant> constants);

    CTarvixMaster* m_pMaster;
    bool m_bLoaded = false;
    CLuaManager m_LuaManager;
    std::deque<SectionInfo> m_Sections;
    uint16_t m_nParamCount = 0;
    std::deque<ParamInfo> m_ParamInfos;
};
