#include "platform/ReplacingFile.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <utility>

namespace host {

namespace {

// The mode a newly created file would get, so the replacement looks like any
// other file the user saves (mkstemp makes its files private).
mode_t NewFileMode(const std::string& target)
{
    struct stat st;
    if (stat(target.c_str(), &st) == 0)
        return st.st_mode & 07777;
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// How long a target written in place may take no byte before the save fails,
// so that a pipe whose reader stopped reading cannot hold the program for ever.
constexpr int kStallLimitMs = 5000;

// Following links; a missing target is made as a regular file.
bool IsRegularOrMissing(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode);
}

// Writes everything to a descriptor opened without blocking. A pipe whose
// reader has gone gives a failure, not the signal that would end the program.
bool WriteAll(int fd, const char* data, size_t size)
{
    sigset_t pipeSignal, previous, pending;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigpending(&pending);
    const bool wasPending = sigismember(&pending, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    bool ok = true;
    while (ok && size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            pollfd target{fd, POLLOUT, 0};
            const int ready = poll(&target, 1, kStallLimitMs);
            ok = ready > 0 || (ready < 0 && errno == EINTR);
        } else {
            ok = n < 0 && errno == EINTR;
        }
    }
    // Takes back the signal that a write to a pipe without reader raised.
    if (!wasPending) {
        sigpending(&pending);
        if (sigismember(&pending, SIGPIPE)) {
            const timespec now{};
            sigtimedwait(&pipeSignal, nullptr, &now);
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ok;
}

}  // namespace

ReplacingFile::ReplacingFile(std::string target) : m_target(std::move(target)) {}

ReplacingFile::~ReplacingFile()
{
    Discard();
}

bool ReplacingFile::Open()
{
    if (m_file)
        return false;
    // A file the user may not write stays as it is, as if it could not be created.
    if (access(m_target.c_str(), F_OK) == 0 && access(m_target.c_str(), W_OK) != 0)
        return false;
    // Through a link the file it names is replaced, not the link.
    if (char* real = realpath(m_target.c_str(), nullptr)) {
        m_target = real;
        free(real);
    }
    if (!IsRegularOrMissing(m_target))
        return OpenInPlace();
    std::string pattern = m_target + ".XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0)
        return false;
    fchmod(fd, NewFileMode(m_target));
    m_file = fdopen(fd, "w");
    if (!m_file) {
        close(fd);
        unlink(pattern.c_str());
        return false;
    }
    m_temp = pattern;
    return true;
}

bool ReplacingFile::OpenInPlace()
{
    // Without O_NONBLOCK the open of a pipe that no one reads would wait for ever.
    m_inPlace = open(m_target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_inPlace < 0)
        return false;
    m_file = open_memstream(&m_buffer, &m_bufferSize);
    if (!m_file) {
        Discard();
        return false;
    }
    return true;
}

bool ReplacingFile::CommitInPlace()
{
    bool ok = !ferror(m_file);
    ok = fclose(m_file) == 0 && ok;
    m_file = nullptr;
    ok = ok && WriteAll(m_inPlace, m_buffer, m_bufferSize);
    // A block device holds what it took; pipes and terminals have nothing to sync.
    ok = ok && (fsync(m_inPlace) == 0 || errno == EINVAL || errno == EROFS);
    ok = close(m_inPlace) == 0 && ok;
    m_inPlace = -1;
    Discard();
    return ok;
}

bool ReplacingFile::Commit()
{
    if (!m_file)
        return false;
    if (m_inPlace >= 0)
        return CommitInPlace();
    bool ok = fflush(m_file) == 0 && !ferror(m_file) && fsync(fileno(m_file)) == 0;
    ok = fclose(m_file) == 0 && ok;
    m_file = nullptr;
    if (ok && rename(m_temp.c_str(), m_target.c_str()) == 0) {
        m_temp.clear();
        return true;
    }
    unlink(m_temp.c_str());
    m_temp.clear();
    return false;
}

void ReplacingFile::Discard()
{
    if (m_file) {
        fclose(m_file);
        m_file = nullptr;
    }
    free(m_buffer);
    m_buffer = nullptr;
    m_bufferSize = 0;
    if (m_inPlace >= 0) {
        close(m_inPlace);
        m_inPlace = -1;
    }
    if (!m_temp.empty()) {
        unlink(m_temp.c_str());
        m_temp.clear();
    }
}

}  // namespace host
