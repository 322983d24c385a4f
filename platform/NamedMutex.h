#pragma once

#include <string>

// An inter-process lock known by name: an exclusive flock on a lock file in
// $XDG_RUNTIME_DIR (or the temp folder). Every running copy of the program
// shares it, and it is released when a copy dies. Recursive use from one object
// never blocks.
namespace host {

class NamedMutex {
public:
    explicit NamedMutex(const std::string& name);
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Waits without time-out. Returns false only when the lock file could not
    // be opened; the caller then goes on unlocked, as a failed create would.
    bool Lock();
    void Unlock();

private:
    int m_fd = -1;
    int m_depth = 0;
};

}  // namespace host
