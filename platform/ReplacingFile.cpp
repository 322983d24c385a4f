#include "platform/ReplacingFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool ReplacingFile::Commit()
{
    if (!m_file)
        return false;
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
    if (!m_temp.empty()) {
        unlink(m_temp.c_str());
        m_temp.clear();
    }
}

}  // namespace host
