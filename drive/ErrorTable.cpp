#include "drive/ErrorTable.h"

#include "drive/LuaFile.h"

LuaDbResult LoadErrorTable(std::deque<std::string>& errors)
{
    errors.clear();
    luadb::StateHolder holder;
    if (!luadb::RunDatabaseFile("ErrorTable.lua", holder))
        return kLuaDbLoadFailed;
    lua_State* L = holder.Get();
    if (!luadb::PushGlobalTable(L, "glb_TableError"))
        return kLuaDbLoadFailed;
    const int table = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, table) != 0) {
        errors.push_back(luadb::ToText(L, -1));
        lua_pop(L, 1);
    }
    return kLuaDbOk;
}

CErrorTable* CErrorTable::GetInstance()
{
    static CErrorTable table;
    return &table;
}

CErrorTable::~CErrorTable() = default;

std::string CErrorTable::GetErrorText(unsigned index)
{
    return index < m_Errors.size() ? m_Errors[index] : std::string();
}
