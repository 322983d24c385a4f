#include "platform/ProgramFolder.h"

#include <limits.h>
#include <unistd.h>

namespace host {

namespace {

std::string& OverrideFolder()
{
    static std::string folder;
    return folder;
}

std::string ExecutableFolder()
{
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0)
        return "./";
    std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

}  // namespace

std::string ProgramFolder()
{
    if (!OverrideFolder().empty())
        return OverrideFolder();
    static const std::string folder = ExecutableFolder();
    return folder;
}

std::string ProgramFilePath(const std::string& fileName)
{
    return ProgramFolder() + fileName;
}

void SetProgramFolderForTesting(const std::string& folder)
{
    std::string f = folder;
    if (!f.empty() && f.back() != '/')
        f += '/';
    OverrideFolder() = f;
}

}  // namespace host
