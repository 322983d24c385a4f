#include "tests/support/TempProgramFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/ProgramFolder.h"

namespace fs = std::filesystem;

namespace {

// The folder of the executable, to tell whether an override was in force.
std::string ExecutableFolder()
{
    host::SetProgramFolderForTesting("");
    return host::ProgramFolder();
}

}  // namespace

TempProgramFolder::TempProgramFolder()
{
    const std::string current = host::ProgramFolder();
    if (current != ExecutableFolder())
        m_previous = current;
    std::string pattern = (fs::temp_directory_path() / "tarvix-db-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        ADD_FAILURE() << "cannot create a temporary program folder";
    m_path = pattern + "/";
    host::SetProgramFolderForTesting(m_path);
}

TempProgramFolder::~TempProgramFolder()
{
    host::SetProgramFolderForTesting(m_previous);
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void TempProgramFolder::Write(const std::string& name, const std::string& content) const
{
    const fs::path file = fs::path(m_path) / name;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << content;
    if (!out)
        ADD_FAILURE() << "cannot write " << file;
}

void TempProgramFolder::Remove(const std::string& name) const
{
    std::error_code ec;
    fs::remove(fs::path(m_path) / name, ec);
}
