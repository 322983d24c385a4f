#include "drive/TarvixMaster.h"

#include <climits>
#include <cstring>

#include "drive/BaseDriver.h"
#include "drive/ErrorTable.h"
#include "drive/LuaManager.h"
#include "drive/MotorTable.h"
#include "drive/ProgInterface.h"
#include "drive/Servo2x1Driver.h"
#include "drive/Step1x2Driver.h"
#include "drive/Step1x3Driver.h"
#include "drive/TextModeFile.h"

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

// ---------------------------------------------------------------------------
// Connection

ConnectResult CTarvixMaster::Connect(uint8_t port, int baudCode, bool startAt9600)
{
    // A code outside the table names no rate the port could be opened at.
    if (baudCode < 0 || baudCode >= kBaudRateCount)
        return kConnectOpenFailed;
    if (IsOpen())
        Close();

    if (startAt9600 && baudCode == kBaudCode9600)
        startAt9600 = false;

    if (!Open(port, kBaudRateTable[startAt9600 ? kBaudCode9600 : baudCode]))
        return kConnectOpenFailed;
    // Whatever the pointer of a drive on an earlier connection was, this one's
    // is unknown: trusting it could put the baud code into another parameter.
    ForgetCurrentAddress();

    m_bShowErrorBox = false;
    VcmResult r = RequestVersion();
    m_bShowErrorBox = true;

    switch (r) {
    case kVcmOk:
        break;
    case kVcmNoEcho:
    case kVcmWrongEcho:
        Close();
        return kConnectNoEcho;
    case kVcmNoAnswer:
        Close();
        return kConnectNoAnswer;
    case kVcmErrorAnswer:
        // The drive is there but refuses "VR": one more handshake, this time
        // with the box, so the user sees the drive's own error text.
        RequestVersion();
        Close();
        return kConnectVersionFailed;
    default:
        // Write failed (the exchange has closed the port) or the port is gone.
        Close();
        return kConnectOpenFailed;
    }

    int e = IdentifyDriver();
    if (e != 0) {
        Close();
        switch (e) {
        case kLuaDbLoadFailed:
        case kLuaDbNotOpen:
            return kConnectDbLoadFailed;
        case kLuaDbContentError:
            return kConnectDbContentError;
        case kIdentifyVersionFailed:
            return kConnectVersionFailed;
        case kLuaDbBadVersion:
            return kConnectBadVersion;
        case kIdentifyUnknownDriver:
        case kLuaDbNoMatch:
            return kConnectUnknownVersion;
        default:
            return kConnectDbLoadFailed;
        }
    }

    if (!startAt9600)
        return kConnectOk;

    if (!SetAddress(m_pDriver->GetBaudRateParam()) || !WriteData(baudCode)) {
        Close();
        return kConnectBaudSwitchFailed;
    }

    Close();
    if (!Open(port, kBaudRateTable[baudCode]))
        return kConnectOpenFailed;

    m_bShowErrorBox = false;
    r = RequestVersion();
    m_bShowErrorBox = true;
    if (r != kVcmOk) {
        Close();
        return kConnectBaudSwitchFailed;
    }
    return kConnectOk;
}

int CTarvixMaster::IdentifyDriver()
{
    if (SendCommand("VR") != kVcmOk)
        return kIdentifyVersionFailed;

    // Kept also when the version is refused below: the connect dialog shows it
    // after the port has been closed.
    KeepReplyAsVersion();

    // The cache belongs to the model it was sized for; a model that fails to
    // load must never be paired with the previous drive's cache.
    m_pDriver.reset();
    m_pParamCache.clear();

    LuaDbResult r = LoadMotorTable(m_pMotorTable->m_Motors);
    if (r != kLuaDbOk)
        return r;
    r = LoadErrorTable(m_pErrorTable->m_Errors);
    if (r != kLuaDbOk)
        return r;

    int driverType = 0;
    r = LookupDriverType(m_szVersion, &driverType);
    if (r != kLuaDbOk)
        return r;

    switch (driverType) {
    case kDriverTypeStep1x2:
    case kDriverTypeStep1x2Unipolar:
        m_pDriver = std::make_unique<CStep1x2Driver>(this);
        break;
    case kDriverTypeStep1x3:
        m_pDriver = std::make_unique<CStep1x3Driver>(this);
        break;
    case kDriverTypeServo2x1:
        m_pDriver = std::make_unique<CServo2x1Driver>(this);
        break;
    default:
        return kIdentifyUnknownDriver;
    }

    r = m_pDriver->GetLuaManager().OpenDriveDb(m_szVersion);
    if (r != kLuaDbOk)
        return r;
    r = m_pDriver->LoadDatabase();
    if (r != kLuaDbOk)
        return r;

    m_pParamCache.assign(m_pDriver->GetParameterCount(), ParamCacheEntry{});
    return 0;
}

const char* CTarvixMaster::GetVersion()
{
    if (SendCommand("VR") != kVcmOk)
        return "";
    KeepReplyAsVersion();
    return m_szVersion;
}

void CTarvixMaster::KeepReplyAsVersion()
{
    std::memset(m_szVersion, 0, sizeof(m_szVersion));
    std::memcpy(m_szVersion, m_szReply, strnlen(m_szReply, sizeof(m_szVersion) - 1));
}

std::string CTarvixMaster::GetDbErrorText() const
{
    if (!m_pDriver)
        return {};
    return m_pDriver->GetLuaManager().GetLastErrorText();
}

// ---------------------------------------------------------------------------
// Parameter cache and drive operations

bool CTarvixMaster::HasLoadedDriver() const
{
    return m_pDriver && m_pDriver->IsLoaded();
}

uint16_t CTarvixMaster::CachedParameterCount() const
{
    if (!HasLoadedDriver())
        return 0;
    uint16_t count = m_pDriver->GetParameterCount();
    return count < m_pParamCache.size() ? count : static_cast<uint16_t>(m_pParamCache.size());
}

void CTarvixMaster::InvalidateParameterCache()
{
    for (ParamCacheEntry& entry : m_pParamCache)
        entry.valid = 0;
}

bool CTarvixMaster::ReadAllParameters(CProgInterface* progress)
{
    if (!HasLoadedDriver())
        return false;
    const uint16_t n = CachedParameterCount();
    if (progress) {
        progress->SetRange(0, n - 1);
        progress->SetPos(0);
        progress->SetStep(1);
    }
    for (uint16_t i = 0; i < n; ++i) {
        if (progress) {
            char status[64];
            std::snprintf(status, sizeof(status), "Read Parameter #%d", i);
            progress->SetStatus(status);
            progress->StepIt();
        }
        if (!SetAddress(i))
            return false;
        int v = ReadData();
        if (v == kReadFailed)
            return false;
        m_pParamCache[i].value = v;
        m_pParamCache[i].valid = 1;
        if (!m_bOpen)
            return false;
    }
    return true;
}

bool CTarvixMaster::GetParameter(int* value, uint16_t number, bool useCache)
{
    if (!value || !HasLoadedDriver())
        return false;
    ParamCacheEntry* entry = number < CachedParameterCount() ? &m_pParamCache[number] : nullptr;
    if (entry && useCache && entry->valid) {
        *value = entry->value;
        return true;
    }
    if (!SetAddress(number))
        return false;
    int v = ReadData();
    *value = v;
    if (v == kReadFailed)
        return false;
    if (entry) {
        entry->value = v;
        entry->valid = 1;
    }
    return true;
}

bool CTarvixMaster::LoadParametersFromEeprom()
{
    if (SendCommand("LP") != kVcmOk)
        return false;
    InvalidateParameterCache();
    return true;
}

bool CTarvixMaster::LoadDefaultParameters()
{
    if (SendCommand("LD") != kVcmOk)
        return false;
    InvalidateParameterCache();
    return true;
}

bool CTarvixMaster::SaveParameterFile(FILE* file, CProgInterface* progress)
{
    if (!file || !HasLoadedDriver())
        return false;
    const char* version = "";
    if (SendCommand("VR") == kVcmOk) {
        KeepReplyAsVersion();
        version = m_szVersion;
    }
    if (!WriteTextModeFormat(file, "VR%s\r\n", version))
        return false;
    return m_pDriver->SaveParameters(file, progress);
}

bool CTarvixMaster::ReadTestArray(CProgInterface* progress, int16_t* values, size_t capacity)
{
    if (!values || !HasLoadedDriver() || !m_pDriver->HasTestArray())
        return false;
    const int columns = m_pDriver->GetTestArrayColumns();
    const int lines = m_pDriver->GetTestArrayLines();
    if (columns <= 0 || lines <= 0)
        return false;
    // Two 16-bit database counts: their product does not fit an int. A test
    // array larger than the caller's buffer is refused before anything is sent.
    const size_t n = static_cast<size_t>(columns) * static_cast<size_t>(lines);
    if (n > capacity || n > static_cast<size_t>(INT_MAX))
        return false;
    m_bReadingTestArray = true;
    if (progress) {
        progress->SetStatus("Read TestArray");
        progress->SetRange(0, static_cast<int>(n));
        progress->SetPos(0);
        progress->SetStep(1);
    }
    if (!SetAddress(m_pDriver->GetTestArrayStart())) {
        m_bReadingTestArray = false;
        return false;
    }
    bool complete = true;
    for (size_t i = 0; i < n; ++i) {
        values[i] = static_cast<int16_t>(static_cast<uint16_t>(ReadData() & 0xFFFF));
        // A single failed sample is kept as 0xFFFF, but once the port is gone
        // the rest could only be filler: that is no test array.
        if (!m_bOpen) {
            complete = false;
            break;
        }
        if (progress) {
            if (progress->CheckCancel()) {
                complete = false;
                break;
            }
            progress->StepIt();
        }
    }
    m_bReadingTestArray = false;
    return complete;
}
