#include "drive/LuaFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <memory>

#include "platform/ProgramFolder.h"

namespace luadb {

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<FILE, FileCloser>;

// Opens a regular file for reading; a pipe or device is refused before
// anything is read from it, so the open itself never waits for a writer.
UniqueFile OpenRegularFile(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    FILE* file = ::fdopen(fd, "rb");
    if (!file)
        ::close(fd);
    return UniqueFile(file);
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
    if (!LoadChunk(state, path)) {
        lua_settop(state, 0);
        return false;
    }
    lua_sethook(state, StopChunk, LUA_MASKCOUNT, instructionBudget > 0 ? instructionBudget : 1);
    const bool ran = lua_pcall(state, 0, LUA_MULTRET, 0) == 0;
    lua_sethook(state, nullptr, 0, 0);
    lua_settop(state, 0);
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
