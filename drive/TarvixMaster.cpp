#include "drive/TarvixMaster.h"

#include "drive/BaseDriver.h"
#include "drive/ErrorTable.h"
#include "drive/MotorTable.h"

const int kBaudRateTable[kBaudRateCount] = {300,   600,   1200,   2400,   4800,   9600,
                                            19200, 38400, 57600, 115200, 128000, 230400};

CTarvixMaster::CTarvixMaster()
    : m_pMotorTable(CMotorTable::GetInstance()), m_pErrorTable(CErrorTable::GetInstance())
{
}

CTarvixMaster::~CTarvixMaster()
{
    m_pParamCache.clear();
    m_pDriver.reset();
}

CTarvixMaster* GetTarvixMaster()
{
    static CTarvixMaster master;
    return &master;
}

ParamCacheEntry* CTarvixMaster::GetCacheEntry(uint16_t number)
{
    return number < m_pParamCache.size() ? &m_pParamCache[number] : nullptr;
}
