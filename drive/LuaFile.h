#pragma once

#include <cstdint>
#include <string>

#include <lua.hpp>

// Shared by the database readers: running a database file in a fresh state and
// taking values out of it. Values are read raw (no metamethods), so a file that
// guards its globals with a metatable cannot raise an error outside a protected
// call, which Lua would turn into an abort.

namespace luadb {

// Owns a Lua state and closes it on every path.
class StateHolder {
public:
    StateHolder() = default;
    explicit StateHolder(lua_State* state) : m_state(state) {}
    ~StateHolder() { Reset(); }
    StateHolder(const StateHolder&) = delete;
    StateHolder& operator=(const StateHolder&) = delete;

    lua_State* Get() const { return m_state; }
    // Hands the state over to the caller, who closes it.
    lua_State* Release()
    {
        lua_State* s = m_state;
        m_state = nullptr;
        return s;
    }
    void Reset(lua_State* state = nullptr)
    {
        if (m_state)
            lua_close(m_state);
        m_state = state;
    }

private:
    lua_State* m_state = nullptr;
};

// Restores a state's stack top when leaving a scope.
class StackGuard {
public:
    explicit StackGuard(lua_State* state) : m_state(state), m_top(lua_gettop(state)) {}
    ~StackGuard() { lua_settop(m_state, m_top); }
    StackGuard(const StackGuard&) = delete;
    StackGuard& operator=(const StackGuard&) = delete;

private:
    lua_State* m_state;
    int m_top;
};

// Longest full path of a database file that is tried.
constexpr size_t kMaxPathLength = 4095;

// Lua instructions a database chunk may run: far beyond what a database of
// any size needs, and reached within a second by a chunk that never ends.
constexpr int kInstructionBudget = 50'000'000;

// Runs the file named relative to the program's folder in a fresh state with
// the standard libraries. Only a regular file is read (a named pipe or device
// could block for ever), and a chunk that runs past its instruction budget
// fails like any other. os.exit fails the chunk instead of ending the program.
// The holder receives the state whenever one could be created, also when
// loading or running failed (some readers still look at what a failed file
// defined), but not after the file called os.exit. True when the chunk loaded
// and ran.
bool RunDatabaseFile(const char* fileName, StateHolder& holder,
                     int instructionBudget = kInstructionBudget);

// Pushes the global name (raw) and tells whether it is a table; the value stays pushed.
bool PushGlobalTable(lua_State* state, const char* name);

// Truncation toward zero; values beyond the 64-bit range and NaN give the
// bit pattern a hardware conversion gives (the lowest value) or 0.
int64_t Truncate(double value);
inline int32_t ToInt32(double value) { return static_cast<int32_t>(static_cast<uint32_t>(Truncate(value))); }
inline uint16_t ToUInt16(double value) { return static_cast<uint16_t>(Truncate(value)); }
inline uint8_t ToUInt8(double value) { return static_cast<uint8_t>(Truncate(value)); }

// The text of the value at index (a string, or a number as its text); empty
// for any other type. The stack slot of a number is converted, so never call
// this on a key that lua_next still needs.
std::string ToText(lua_State* state, int index);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace luadb
