#pragma once

#include <string>

// The folder of the running executable, where the drive database and the ini
// files live. The current directory plays no part.
namespace host {

// The folder with a trailing '/'.
std::string ProgramFolder();

// The full path of a file named relative to the program's folder (the name may
// hold a sub-folder).
std::string ProgramFilePath(const std::string& fileName);

// Tests point the program at a folder of their own; an empty path restores the
// executable's folder.
void SetProgramFolderForTesting(const std::string& folder);

}  // namespace host
