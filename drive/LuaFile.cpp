#include "drive/LuaFile.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/ProgramFolder.h"

namespace luadb {

bool RunDatabaseFile(const char* fileName, StateHolder& holder)
{
    holder.Reset();
    if (!fileName)
        return false;
    const std::string path = host::ProgramFilePath(fileName);
    if (path.size() > kMaxPathLength)
        return false;
    holder.Reset(luaL_newstate());
    lua_State* state = holder.Get();
    if (!state)
        return false;
    luaL_openlibs(state);
    if (luaL_loadfile(state, path.c_str()) != 0) {
        lua_settop(state, 0);
        return false;
    }
    if (lua_pcall(state, 0, LUA_MULTRET, 0) != 0) {
        lua_settop(state, 0);
        return false;
    }
    lua_settop(state, 0);
    return true;
}

bool PushGlobalTable(lua_State* state, const char* name)
{
    lua_pushstring(state, name);
    lua_rawget(state, LUA_GLOBALSINDEX);
    return lua_type(state, -1) == LUA_TTABLE;
}

int64_t Truncate(double value)
{
    if (std::isnan(value))
        return 0;
    const double t = std::trunc(value);
    if (t >= 9223372036854775808.0 || t < -9223372036854775808.0)
        return INT64_MIN;
    return static_cast<int64_t>(t);
}

std::string ToText(lua_State* state, int index)
{
    if (!lua_isstring(state, index))
        return {};
    size_t length = 0;
    const char* text = lua_tolstring(state, index, &length);
    return text ? std::string(text, length) : std::string();
}

std::string Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (n > 0) {
        text.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<size_t>(n));
    }
    va_end(args);
    return text;
}

}  // namespace luadb
