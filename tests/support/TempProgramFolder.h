#pragma once

#include <string>

// A temporary folder that the program takes as its own folder while the object
// lives: the database readers find the files written into it. The previous
// program folder comes back and the folder is removed afterwards.
class TempProgramFolder {
public:
    TempProgramFolder();
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    // Writes a file (name relative to the folder; sub-folders are created).
    void Write(const std::string& name, const std::string& content) const;
    // Removes a file written before.
    void Remove(const std::string& name) const;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;      // with a trailing '/'
    std::string m_previous;  // the override in force before, empty for none
};
