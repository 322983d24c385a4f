#include "drive/MotorTable.h"

#include "drive/LuaFile.h"

LuaDbResult LoadMotorTable(std::deque<MotorInfo>& motors)
{
    motors.clear();
    luadb::StateHolder holder;
    if (!luadb::RunDatabaseFile("MotorTable.lua", holder))
        return kLuaDbLoadFailed;
    lua_State* L = holder.Get();
    if (!luadb::PushGlobalTable(L, "glb_TableMotorType"))
        return kLuaDbLoadFailed;
    const int table = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, table) != 0) {
        if (lua_type(L, -1) == LUA_TTABLE) {
            const int row = lua_gettop(L);
            MotorInfo motor;
            lua_rawgeti(L, row, 1);
            motor.number = luadb::ToInt32(lua_tonumber(L, -1));
            lua_rawgeti(L, row, 2);
            motor.factor = luadb::ToInt32(lua_tonumber(L, -1));
            lua_rawgeti(L, row, 3);
            motor.name = luadb::ToText(L, -1);
            lua_pop(L, 3);
            motors.push_back(std::move(motor));
        }
        lua_pop(L, 1);
    }
    return kLuaDbOk;
}

CMotorTable* CMotorTable::GetInstance()
{
    static CMotorTable table;
    return &table;
}

CMotorTable::~CMotorTable() = default;

const MotorInfo& CMotorTable::FindMotor(int motorNumber)
{
    for (const MotorInfo& motor : m_Motors) {
        if (motor.number == motorNumber)
            return motor;
    }
    if (!m_Motors.empty())
        return m_Motors.front();
    // No table loaded: a motor with no number, factor or name.
    static const MotorInfo kNoMotor;
    return kNoMotor;
}

std::string CMotorTable::GetMotorName(int motorNumber)
{
    return FindMotor(motorNumber).name;
}

int CMotorTable::GetMotorFactor(int motorNumber)
{
    return FindMotor(motorNumber).factor;
}
