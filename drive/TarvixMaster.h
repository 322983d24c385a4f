#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "drive/Vcm.h"

class CBaseDriver;
class CMotorTable;
class CErrorTable;
class CProgInterface;

// Baud rates by baud code; code 5 (9600) is the rate of every first contact.
constexpr int kBaudRateCount = 12;
extern const int kBaudRateTable[kBaudRateCount];
constexpr int kBaudCode9600 = 5;

// Result of Connect, 0 to 9.
using ConnectResult = int;
enum : int {
    kConnectOk = 0,
    kConnectOpenFailed = 1,
    kConnectNoEcho = 2,
    kConnectNoAnswer = 3,
    kConnectVersionFailed = 4,
    kConnectBadVersion = 5,
    kConnectUnknownVersion = 6,
    kConnectBaudSwitchFailed = 7,
    kConnectDbLoadFailed = 8,
    kConnectDbContentError = 9,
};

// What IdentifyDriver returns besides 0 and the database results (kLuaDb...).
enum : int {
    kIdentifyVersionFailed = 4,  // the identifying "VR" failed
    kIdentifyUnknownDriver = 6,  // the version list names a driver type no model serves
};

// One cached parameter value.
struct ParamCacheEntry {
    uint8_t valid = 0;
    int32_t value = 0;
};

// The program's one connection to a drive: port, protocol, drive model and
// parameter cache.
class CTarvixMaster : public CVcm {
public:
    CTarvixMaster();
    ~CTarvixMaster() override;

    // Connection and identification.
    ConnectResult Connect(uint8_t port, int baudCode, bool startAt9600);
    int IdentifyDriver();
    const char* GetVersion();
    std::string GetDbErrorText() const;

    // Parameter cache and drive operations.
    void InvalidateParameterCache();
    bool ReadAllParameters(CProgInterface* progress);
    bool GetParameter(int* value, uint16_t number, bool useCache);
    bool LoadParametersFromEeprom();
    bool LoadDefaultParameters();
    bool SaveParameterFile(FILE* file, CProgInterface* progress);
    // capacity: how many samples the values buffer holds.
    bool ReadTestArray(CProgInterface* progress, int16_t* values, size_t capacity);

    // Script execution.
    bool ExecuteScriptFile(FILE* file, CProgInterface* progress);

    CBaseDriver* GetDriver() const { return m_pDriver.get(); }
    // The cache entry of a parameter number, null at or above the count.
    ParamCacheEntry* GetCacheEntry(uint16_t number);
    const char* GetVersionText() const { return m_szVersion; }
    bool IsReadingTestArray() const { return m_bReadingTestArray; }
    CMotorTable* GetMotorTable() const { return m_pMotorTable; }
    CErrorTable* GetErrorTable() const { return m_pErrorTable; }

protected:
    // A model whose database has loaded; the cache is sized for it.
    bool HasLoadedDriver() const;
    // Copies the last answer line into m_szVersion.
    void KeepReplyAsVersion();
    // Parameters that have a cache entry (0 without a loaded model).
    uint16_t CachedParameterCount() const;

    std::unique_ptr<CBaseDriver> m_pDriver;
    std::vector<ParamCacheEntry> m_pParamCache;
    char m_szVersion[256] = {};
    bool m_bReadingTestArray = false;
    CMotorTable* m_pMotorTable;
    CErrorTable* m_pErrorTable;
};

// The single master, built on first use and destroyed at exit.
CTarvixMaster* GetTarvixMaster();
