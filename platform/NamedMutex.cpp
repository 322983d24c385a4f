#include "platform/NamedMutex.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace host {

namespace {

std::string LockFolder()
{
    for (const char* var : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* dir = std::getenv(var);
        if (dir && *dir)
            return dir;
    }
    return "/tmp";
}

}  // namespace

NamedMutex::NamedMutex(const std::string& name)
{
    std::string path = LockFolder() + "/" + name + ".lock";
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

NamedMutex::~NamedMutex()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool NamedMutex::Lock()
{
    if (m_fd < 0)
        return false;
    if (m_depth++ > 0)
        return true;
    while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    return true;
}

void NamedMutex::Unlock()
{
    if (m_fd < 0 || m_depth == 0)
        return;
    if (--m_depth == 0)
        ::flock(m_fd, LOCK_UN);
}

}  // namespace host
