#include "drive/LuaFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <memory>

#include "platform/ProgramFolder.h"
#include "platform/UniqueFile.h"

namespace luadb {

namespace {

using host::UniqueFile;

// Opens a regular file for reading; a pipe or device is refused before
// anything is read from it, so the open itself never waits for a writer.
UniqueFile OpenRegularFile(const std::string& path)
{
    host::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.IsOpen())
        return nullptr;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return nullptr;
    UniqueFile file(::fdopen(fd.Get(), "rb"));
    // The stream closes the descriptor from now on.
    if (file)
        fd.Release();
    return file;
}

struct ChunkReader {
    FILE* file;
    char buffer[LUAL_BUFFERSIZE];
};

const char* ReadChunk(lua_State*, void* data, size_t* size)
{
    auto* reader = static_cast<ChunkReader*>(data);
    *size = std::fread(reader->buffer, 1, sizeof reader->buffer, reader->file);
    return *size > 0 ? reader->buffer : nullptr;
}

// As the stand-alone loader does: a first line starting with '#' is skipped,
// its line feed kept so that line numbers stay right.
void SkipCommandLine(FILE* file)
{
    int c = std::fgetc(file);
    if (c == '#') {
        while ((c = std::fgetc(file)) != EOF && c != '\n') {
        }
    }
    if (c != EOF)
        std::ungetc(c, file);
}

// Fires once the budget is spent. From then on it fires at every instruction,
// so a chunk that catches the error with pcall cannot go on looping.
void StopChunk(lua_State* state, lua_Debug*)
{
    lua_sethook(state, StopChunk, LUA_MASKCOUNT, 1);
    luaL_error(state, "instruction budget exceeded");
}

// Its address is the registry key of the mark that the file called os.exit.
const char kExitCalledKey = 0;

// Takes the place of os.exit, the one standard function that ends the process:
// the call fails the chunk instead, and is remembered so that a chunk catching
// the error with pcall still fails its load.
int RefuseExit(lua_State* state)
{
    // Raw, as the file may have given the registry a metatable.
    lua_pushlightuserdata(state, const_cast<char*>(&kExitCalledKey));
    lua_pushboolean(state, 1);
    lua_rawset(state, LUA_REGISTRYINDEX);
    return luaL_error(state, "a database file cannot end the program");
}

void ReplaceExit(lua_State* state)
{
    lua_getglobal(state, LUA_OSLIBNAME);
    lua_pushcfunction(state, RefuseExit);
    lua_setfield(state, -2, "exit");
    lua_pop(state, 1);
}

bool ExitWasCalled(lua_State* state)
{
    lua_pushlightuserdata(state, const_cast<char*>(&kExitCalledKey));
    lua_rawget(state, LUA_REGISTRYINDEX);
    const bool called = lua_toboolean(state, -1) != 0;
    lua_pop(state, 1);
    return called;
}

bool LoadChunk(lua_State* state, const std::string& path)
{
    UniqueFile file = OpenRegularFile(path);
    if (!file)
        return false;
    SkipCommandLine(file.get());
    auto reader = std::make_unique<ChunkReader>();
    reader->file = file.get();
    const std::string chunkName = "@" + path;
    return lua_load(state, ReadChunk, reader.get(), chunkName.c_str()) == 0 &&
           !std::ferror(file.get());
}

}  // namespace

bool RunDatabaseFile(const char* fileName, StateHolder& holder, int instructionBudget)
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
    ReplaceExit(state);
    if (!LoadChunk(state, path)) {
        lua_settop(state, 0);
        return false;
    }
    lua_sethook(state, StopChunk, LUA_MASKCOUNT, instructionBudget > 0 ? instructionBudget : 1);
    const bool ran = lua_pcall(state, 0, LUA_MULTRET, 0) == 0;
    lua_sethook(state, nullptr, 0, 0);
    // The readers run outside any protected call, where an error raised by a
    // finalizer that a collection step runs would abort the process; the
    // finalizers run at lua_close instead, which protects them.
    lua_gc(state, LUA_GCSTOP, 0);
    lua_settop(state, 0);
    if (ExitWasCalled(state)) {
        // Not even what the file defined before its exit is read.
        holder.Reset();
        return false;
    }
    return ran;
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
