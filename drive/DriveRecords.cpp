// Readers of the Default, Description and DriveDB records of a drive version.
#include "drive/DriveRecords.h"

#include "drive/LuaFile.h"
#include "drive/LuaManager.h"

namespace {

const char kDefaultTable[] = "Default_Value";
const char kDescriptionTable[] = "ParamDescription";
const char kParamView[] = "ParamView";

// Longest texts an option keeps (their records hold 50 and 10 bytes with the NUL).
constexpr size_t kMaxOptionText = 49;
constexpr size_t kMaxCommand = 9;

// Field index of the table at tableIndex as a Lua number only; 0 otherwise.
double NumberField(lua_State* L, int tableIndex, int field, bool* present = nullptr)
{
    lua_rawgeti(L, tableIndex, field);
    const bool isNumber = lua_type(L, -1) == LUA_TNUMBER;
    const double v = isNumber ? lua_tonumber(L, -1) : 0.0;
    lua_pop(L, 1);
    if (present)
        *present = isNumber;
    return v;
}

// Cuts text to at most max bytes without splitting a UTF-8 sequence.
std::string CutText(std::string text, size_t max)
{
    if (text.size() <= max)
        return text;
    size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    text.resize(n);
    return text;
}

// Walks the values of a global table of the given file; for each value calls
// take(k, state) which returns false to stop with a content error at k.
template <typename Take>
LuaDbResult WalkFileTable(const char* fileName, const char* tableName, int* badPosition, Take take)
{
    luadb::StateHolder holder;
    // A file that defines its table and then fails still counts as read.
    luadb::RunDatabaseFile(fileName, holder);
    lua_State* L = holder.Get();
    if (!L || !luadb::PushGlobalTable(L, tableName))
        return kLuaDbLoadFailed;
    const int table = lua_gettop(L);
    int k = 0;
    lua_pushnil(L);
    while (lua_next(L, table) != 0) {
        if (!take(k, L)) {
            *badPosition = k;
            return kLuaDbContentError;
        }
        lua_pop(L, 1);
        ++k;
    }
    return kLuaDbOk;
}

// Pushes ParamView (nil when missing) and returns its length, 0 when it is
// no table.
int PushParamView(lua_State* L)
{
    const bool isTable = luadb::PushGlobalTable(L, kParamView);
    return isTable ? static_cast<int>(lua_objlen(L, -1)) : 0;
}

}  // namespace

LuaDbResult CLuaManager::LoadParamInfo(std::deque<ParamInfo>& infos, int count)
{
    if (!m_bDbOpen)
        return kLuaDbNotOpen;
    infos.clear();
    for (int i = 0; i < count; ++i) {
        ParamInfo info;
        info.number = i;
        infos.push_back(std::move(info));
    }
    // Values beyond count have no record and are passed over.
    const auto inRange = [&](int k) { return k >= 0 && static_cast<size_t>(k) < infos.size(); };

    int bad = 0;
    LuaDbResult r = WalkFileTable(m_szDefaultFile, kDefaultTable, &bad, [&](int k, lua_State* L) {
        if (!lua_isnumber(L, -1))
            return false;
        if (inRange(k)) {
            infos[k].defaultValue = luadb::ToInt32(lua_tonumber(L, -1));
            infos[k].isSet = true;
        }
        return true;
    });
    if (r == kLuaDbContentError) {
        m_strLastError = luadb::Format("Failed to get default value.\n%s\n%s[%d]", m_szDefaultFile,
                                       kDefaultTable, bad);
        infos.clear();
        return r;
    }
    if (r != kLuaDbOk)
        return r;

    r = WalkFileTable(m_szDescriptionFile, kDescriptionTable, &bad, [&](int k, lua_State* L) {
        if (!lua_isstring(L, -1))
            return false;
        if (inRange(k)) {
            infos[k].description = luadb::ToText(L, -1);
            infos[k].isSet = true;
        }
        return true;
    });
    if (r == kLuaDbContentError) {
        m_strLastError = luadb::Format("Failed to get parameter description.\n%s\n%s[%d]",
                                       m_szDescriptionFile, kDescriptionTable, bad);
        infos.clear();
    }
    return r;
}

LuaDbResult CLuaManager::LoadParamView(std::deque<SectionInfo>& sections)
{
    if (!m_bDbOpen)
        return kLuaDbNotOpen;
    LuaDbResult r = ReadSections(sections);
    if (r != kLuaDbOk)
        return r;
    for (SectionInfo& section : sections) {
        r = ReadSectionVariables(section.index, section.variables);
        if (r != kLuaDbOk)
            return r;
    }
    return kLuaDbOk;
}

LuaDbResult CLuaManager::ReadSections(std::deque<SectionInfo>& sections)
{
    if (!m_bDbOpen || !m_pDbState)
        return kLuaDbNotOpen;
    lua_State* L = m_pDbState;
    luadb::StackGuard guard(L);
    const int n = PushParamView(L);
    const int view = lua_gettop(L);
    if (n == 0) {
        m_strLastError =
            luadb::Format("Failed to get section list.:\n%s\n%s", m_szDriveDbFile, kParamView);
        return kLuaDbContentError;
    }
    for (int k = 1; k <= n; ++k) {
        lua_rawgeti(L, view, k);
        SectionInfo section;
        section.index = k - 1;
        // A section that is not a table has no title here; reading its
        // variables then reports it by its number.
        if (lua_type(L, -1) == LUA_TTABLE) {
            lua_pushstring(L, "Title");
            lua_rawget(L, -2);
            const int type = lua_type(L, -1);
            if (type == LUA_TSTRING) {
                section.title = luadb::ToText(L, -1);
            } else if (type != LUA_TNIL) {
                m_strLastError = luadb::Format("Failed to get section title.:\n%s\n%s",
                                               m_szDriveDbFile, kParamView);
                sections.clear();
                return kLuaDbContentError;
            }
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
        sections.push_back(std::move(section));
    }
    return kLuaDbOk;
}

LuaDbResult CLuaManager::ReadSectionVariables(int sectionIndex, std::deque<VariableInfo>& variables)
{
    if (!m_bDbOpen || !m_pDbState)
        return kLuaDbNotOpen;
    lua_State* L = m_pDbState;
    luadb::StackGuard guard(L);
    const int n = PushParamView(L);
    const int view = lua_gettop(L);
    if (sectionIndex < 0 || sectionIndex >= n) {
        m_strLastError =
            luadb::Format("Failed to access variable.:\n%s\n%s", m_szDriveDbFile, kParamView);
        return kLuaDbContentError;
    }
    lua_rawgeti(L, view, sectionIndex + 1);
    const int section = lua_gettop(L);
    if (lua_type(L, section) != LUA_TTABLE || lua_objlen(L, section) == 0) {
        m_strLastError = luadb::Format("Failed to access variable.:\n%s\n%s[%d]", m_szDriveDbFile,
                                       kParamView, sectionIndex + 1);
        return kLuaDbContentError;
    }
    variables.clear();
    lua_pushnil(L);
    while (lua_next(L, section) != 0) {
        if (lua_type(L, -1) == LUA_TTABLE) {
            const int t = lua_gettop(L);
            VariableInfo v;
            v.kind = luadb::ToInt32(NumberField(L, t, 1));
            v.format = luadb::ToInt32(NumberField(L, t, 2));
            if (const char* text = GetStringField(3))
                v.text = text;
            v.number = luadb::ToUInt16(NumberField(L, t, 4));
            ReadVariableOptions(v.options, *this, v.kind, v.format);
            v.readOnly = luadb::Truncate(NumberField(L, t, 6)) != 0;
            v.live = luadb::Truncate(NumberField(L, t, 7)) != 0;
            v.notify = luadb::Truncate(NumberField(L, t, 8)) != 0;
            for (int c = 0; c < 2; ++c) {
                const int base = 9 + 4 * c;
                v.conditions[c].op = luadb::ToUInt8(NumberField(L, t, base));
                v.conditions[c].param = luadb::ToUInt16(NumberField(L, t, base + 1));
                v.conditions[c].reference = luadb::ToInt32(NumberField(L, t, base + 2));
                v.conditions[c].effect = luadb::ToUInt8(NumberField(L, t, base + 3));
            }
            variables.push_back(std::move(v));
        }
        lua_pop(L, 1);
    }
    return kLuaDbOk;
}

const char* CLuaManager::GetStringField(int index)
{
    if (!m_pDbState)
        return nullptr;
    lua_State* L = m_pDbState;
    if (lua_type(L, -1) != LUA_TTABLE)
        return nullptr;
    lua_rawgeti(L, -1, index);
    // The table still holds the string, so the pointer outlives the pop.
    const char* text = lua_type(L, -1) == LUA_TSTRING ? lua_tostring(L, -1) : nullptr;
    lua_pop(L, 1);
    return text;
}

void ReadVariableOptions(std::deque<OptionInfo>& options, CLuaManager& db, int kind, int format)
{
    options.clear();
    lua_State* L = db.m_pDbState;
    if (!L || lua_type(L, -1) != LUA_TTABLE)
        return;
    luadb::StackGuard guard(L);
    lua_rawgeti(L, -1, 5);
    const int list = lua_gettop(L);
    if (lua_type(L, list) != LUA_TTABLE)
        return;

    switch (kind) {
    case kVcmKindButton: {
        OptionInfo option;
        if (const char* caption = db.GetStringField(1))
            option.caption = CutText(caption, kMaxOptionText);
        // A command that does not fit is dropped rather than sent cut short.
        if (const char* command = db.GetStringField(2)) {
            std::string c = command;
            if (c.size() <= kMaxCommand)
                option.command = std::move(c);
        }
        options.push_back(std::move(option));
        break;
    }
    case kVcmKindCombo: {
        const bool paramList = format == kVcmFormatTwoDecimals || format == kVcmFormatPowerOfTen;
        int n = 0;
        lua_pushnil(L);
        while (lua_next(L, list) != 0) {
            // Entries that are not tables are passed over but keep their place,
            // so the values by position stay those of the file.
            if (lua_type(L, -1) == LUA_TTABLE) {
                const int e = lua_gettop(L);
                OptionInfo option;
                lua_rawgeti(L, e, 1);
                if (paramList) {
                    if (lua_type(L, -1) == LUA_TNUMBER)
                        option.param = luadb::ToUInt16(lua_tonumber(L, -1));
                } else if (lua_type(L, -1) == LUA_TNUMBER) {
                    option.text = std::to_string(luadb::ToInt32(lua_tonumber(L, -1)));
                } else if (lua_type(L, -1) == LUA_TSTRING) {
                    std::string text = luadb::ToText(L, -1);
                    if (text.size() <= kMaxOptionText)
                        option.text = std::move(text);
                }
                lua_pop(L, 1);
                lua_rawgeti(L, e, 2);
                if (lua_type(L, -1) == LUA_TNUMBER)
                    option.value = luadb::ToInt32(lua_tonumber(L, -1));
                else if (lua_type(L, -1) == LUA_TNIL)
                    option.value = n;
                lua_pop(L, 1);
                options.push_back(std::move(option));
            }
            lua_pop(L, 1);
            ++n;
        }
        break;
    }
    case kVcmKindSwitch: {
        lua_pushnil(L);
        while (lua_next(L, list) != 0) {
            if (lua_type(L, -1) == LUA_TTABLE) {
                const int e = lua_gettop(L);
                bool isNumber = false;
                const double bit = NumberField(L, e, 1, &isNumber);
                if (isNumber) {
                    lua_rawgeti(L, e, 2);
                    const double on = lua_tonumber(L, -1);
                    lua_pop(L, 1);
                    if (luadb::Truncate(on) != 0) {
                        OptionInfo option;
                        option.bit = luadb::ToUInt8(bit);
                        options.push_back(std::move(option));
                    }
                }
            }
            lua_pop(L, 1);
        }
        break;
    }
    default:
        break;
    }
}
