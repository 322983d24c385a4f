#include "drive/LuaManager.h"

#include <cstring>

#include "drive/LuaFile.h"

namespace {

const char kVersionListFile[] = "VersionList.lua";
const char kVersionListTable[] = "VersionList";

// Walks VersionList for the first entry matching versionText. On a match the
// entry is left on top of the stack and *position holds its place among all
// values (tables or not) counting from 1.
LuaDbResult FindVersionEntry(const char* versionText, luadb::StateHolder& holder, int* position)
{
    if (!luadb::RunDatabaseFile(kVersionListFile, holder))
        return kLuaDbLoadFailed;
    lua_State* L = holder.Get();
    if (!luadb::PushGlobalTable(L, kVersionListTable))
        return kLuaDbLoadFailed;
    const int list = lua_gettop(L);
    const unsigned textLength = static_cast<unsigned>(std::strlen(versionText));
    int n = 0;
    lua_pushnil(L);
    while (lua_next(L, list) != 0) {
        ++n;
        if (lua_type(L, -1) == LUA_TTABLE) {
            lua_rawgeti(L, -1, 1);
            bool match = false;
            if (lua_isstring(L, -1)) {
                size_t length = 0;
                const char* pattern = lua_tolstring(L, -1, &length);
                match = MatchVersionPattern(versionText, textLength, pattern,
                                            static_cast<unsigned>(length));
            }
            lua_pop(L, 1);
            if (match) {
                *position = n;
                return kLuaDbOk;  // entry on top, key below it
            }
        }
        lua_pop(L, 1);
    }
    return kLuaDbNoMatch;
}

bool HasDot(const char* text)
{
    return text && std::strchr(text, '.') != nullptr;
}

// Copies field of the entry on top into name; false when it is not a string
// or does not fit.
bool CopyFileName(lua_State* L, int field, char (&name)[256])
{
    lua_rawgeti(L, -1, field);
    bool ok = false;
    if (lua_isstring(L, -1)) {
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        if (length < sizeof(name)) {
            std::memcpy(name, text, length);
            name[length] = '\0';
            ok = true;
        }
    }
    lua_pop(L, 1);
    return ok;
}

}  // namespace

bool MatchVersionPattern(const char* text, unsigned textLength, const char* pattern,
                         unsigned patternLength)
{
    if (!text || !pattern || textLength == 0 || patternLength == 0)
        return false;
    unsigned i = 0;
    unsigned j = 0;
    bool digitRun = false;
    while (text[i] != '\0') {
        const char t = text[i];
        if (t == '\n' || t == '\r' || i >= textLength || j >= patternLength)
            return true;
        const char p = pattern[j];
        if (p == '\0' || p == '\n' || p == '\r')
            return true;
        if (p == 'x') {
            if (t >= '0' && t <= '9') {
                digitRun = true;
                ++i;
            } else if (digitRun) {
                ++j;
            } else if (t == 'x') {
                // The family word "Tarvix" holds the letter: outside a digit run
                // an 'x' of the text is matched as itself, or no pattern could
                // name a Tarvix version.
                ++i;
                ++j;
            } else {
                return false;
            }
        } else {
            if (t != p)
                return false;
            digitRun = false;
            ++i;
            ++j;
        }
    }
    return true;
}

LuaDbResult LookupDriverType(const char* versionText, int* driverType)
{
    if (!HasDot(versionText))
        return kLuaDbBadVersion;
    luadb::StateHolder holder;
    int position = 0;
    const LuaDbResult r = FindVersionEntry(versionText, holder, &position);
    if (r != kLuaDbOk)
        return r;
    lua_State* L = holder.Get();
    lua_rawgeti(L, -1, 2);
    if (!lua_isnumber(L, -1))
        return kLuaDbContentError;
    if (driverType)
        *driverType = luadb::ToInt32(lua_tonumber(L, -1));
    return kLuaDbOk;
}

CLuaManager::CLuaManager() = default;

CLuaManager::~CLuaManager()
{
    CloseDriveDb();
}

void CLuaManager::CloseDriveDb()
{
    if (m_pDbState)
        lua_close(m_pDbState);
    m_pDbState = nullptr;
    m_bDbOpen = false;
}

LuaDbResult CLuaManager::OpenDriveDb(const char* versionText)
{
    if (!HasDot(versionText))
        return kLuaDbBadVersion;
    // A state left open by an earlier call is not kept twice.
    CloseDriveDb();
    {
        luadb::StateHolder list;
        int position = 0;
        const LuaDbResult r = FindVersionEntry(versionText, list, &position);
        if (r != kLuaDbOk)
            return r;
        lua_State* L = list.Get();
        if (!CopyFileName(L, 3, m_szDriveDbFile)) {
            m_strLastError = luadb::Format("Failed to get DriveDB File info.\n%s\n%s[%d][%d]",
                                           kVersionListFile, kVersionListTable, position, 3);
            return kLuaDbContentError;
        }
        if (!CopyFileName(L, 4, m_szDefaultFile)) {
            m_strLastError = luadb::Format("Failed to get Default File info.\n%s\n%s[%d][%d]",
                                           kVersionListFile, kVersionListTable, position, 4);
            return kLuaDbContentError;
        }
        if (!CopyFileName(L, 5, m_szDescriptionFile)) {
            m_strLastError = luadb::Format("Failed to get Description File info.\n%s\n%s[%d][%d]",
                                           kVersionListFile, kVersionListTable, position, 5);
            return kLuaDbContentError;
        }
    }
    luadb::StateHolder db;
    if (!luadb::RunDatabaseFile(m_szDriveDbFile, db))
        return kLuaDbLoadFailed;
    m_pDbState = db.Release();
    m_bDbOpen = true;
    return kLuaDbOk;
}

uint16_t CLuaManager::GetGlobalNumber(const char* name)
{
    if (!m_bDbOpen || !m_pDbState)
        return 0;
    lua_State* L = m_pDbState;
    luadb::StackGuard guard(L);
    lua_pushstring(L, name ? name : "");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_isnumber(L, -1))
        return luadb::ToUInt16(lua_tonumber(L, -1));
    m_strLastError = luadb::Format("Failed to get parameter info.:\n%s\n%s", m_szDriveDbFile,
                                   name ? name : "");
    return 0;
}

LuaDbResult CLuaManager::GetNumber(const char* name, int* value)
{
    if (!m_bDbOpen)
        return kLuaDbNotOpen;
    const uint16_t v = GetGlobalNumber(name);
    if (value)
        *value = v;
    return kLuaDbOk;
}
