#pragma once

#include <cstdio>
#include <string>

// Saves a file without ever losing the one it replaces: everything is written
// to a temporary file in the target's folder, which takes the target's place
// only when every byte has reached the disk. On any failure, or when the object
// goes without Commit, the temporary file is removed and the target is untouched.
//
// A target that is not a regular file (a device, a named pipe, also through a
// link) cannot be replaced and is written in place instead: what is written is
// kept in memory and reaches the target at Commit, so a discarded save sends
// it nothing.
namespace host {

class ReplacingFile {
public:
    explicit ReplacingFile(std::string target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file, or opens a target written in place without
    // waiting for it; false when the folder cannot take the file, or the target
    // cannot be opened (a named pipe that no one reads).
    bool Open();
    // The stream to write to (null before Open or after Commit/Discard).
    FILE* Stream() const { return m_file; }
    // Flushes, syncs and closes the stream, then renames it over the target,
    // or writes it to a target written in place. False when any write failed,
    // not every byte reached the target, or the rename did not happen.
    bool Commit();
    // Drops what was written; the target stays as it was.
    void Discard();

    const std::string& Target() const { return m_target; }

private:
    bool OpenInPlace();
    bool CommitInPlace();

    std::string m_target;
    std::string m_temp;
    FILE* m_file = nullptr;
    // A target written in place: its descriptor and the memory the stream fills.
    int m_inPlace = -1;
    char* m_buffer = nullptr;
    size_t m_bufferSize = 0;
};

}  // namespace host
