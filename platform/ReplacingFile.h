#pragma once

#include <cstdio>
#include <string>

// Saves a file without ever losing the one it replaces: everything is written
// to a temporary file in the target's folder, which takes the target's place
// only when every byte has reached the disk. On any failure, or when the object
// goes without Commit, the temporary file is removed and the target is untouched.
namespace host {

class ReplacingFile {
public:
    explicit ReplacingFile(std::string target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file; false when the folder cannot take it.
    bool Open();
    // The stream to write to (null before Open or after Commit/Discard).
    FILE* Stream() const { return m_file; }
    // Flushes, syncs and closes the stream, then renames it over the target.
    // False when any write failed or the rename did not happen.
    bool Commit();
    // Drops what was written; the target stays as it was.
    void Discard();

    const std::string& Target() const { return m_target; }

private:
    std::string m_target;
    std::string m_temp;
    FILE* m_file = nullptr;
};

}  // namespace host
