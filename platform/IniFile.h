#pragma once

#include <string>

// Private-profile (ini) files with the semantics the program relies on from its
// original platform: sections and keys match without regard to case, values are
// trimmed, a missing file, section or key gives the caller's default, and a write
// creates the file and section when missing and keeps every other byte. A file
// with a UTF-16 byte-order mark is read and written as UTF-16; the caller's
// texts are UTF-8 then. Only a regular file is used: anything else (a named
// pipe, a device) reads as missing and is not written.
namespace host {

// The value of key in section, or def when the file, section or key is missing.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path);

// The leading decimal number of the value (optional sign, then digits; 0 when
// the value starts with none), or def when the key is missing.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int def,
                         const std::string& path);

// Sets key in section to value. The file is replaced whole only once the new
// content is written, so a failure leaves the earlier file as it was.
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

}  // namespace host
