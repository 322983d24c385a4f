#include "platform/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/ReplacingFile.h"

namespace host {

namespace {

// The file's text one unit a character: a byte of an 8-bit file, or a code
// unit of a UTF-16 file. Both are parsed alike and written back unit for unit,
// so bytes the edit does not touch stay exactly as they were.
using Units = std::u16string;

enum class Encoding { kBytes, kUtf16Le, kUtf16Be };

struct IniText {
    Encoding encoding = Encoding::kBytes;
    Units units;          // after the byte-order mark
    std::string oddByte;  // a UTF-16 file's last byte that makes no unit
};

enum class ReadResult { kRead, kMissing, kRefused };

// Only a regular file is read: a named pipe or device could block the read
// for ever, so it is refused before anything is read from it.
ReadResult ReadFileBytes(const std::string& path, std::string* bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadResult::kMissing : ReadResult::kRefused;
    struct stat info {};
    ReadResult result = ReadResult::kRefused;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
            if (n > 0)
                bytes->append(buffer, static_cast<size_t>(n));
        }
        if (n == 0)
            result = ReadResult::kRead;
    }
    ::close(fd);
    return result;
}

// A byte-order mark makes the file UTF-16, as the profile functions of the
// platform the files come from read and write it.
IniText Decode(const std::string& bytes)
{
    IniText text;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE)
        text.encoding = Encoding::kUtf16Le;
    else if (bytes.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF)
        text.encoding = Encoding::kUtf16Be;
    if (text.encoding == Encoding::kBytes) {
        for (size_t i = 0; i < bytes.size(); ++i)
            text.units.push_back(byte(i));
        return text;
    }
    const bool little = text.encoding == Encoding::kUtf16Le;
    size_t i = 2;
    for (; i + 1 < bytes.size(); i += 2)
        text.units.push_back(static_cast<char16_t>(little ? byte(i) | byte(i + 1) << 8
                                                          : byte(i) << 8 | byte(i + 1)));
    text.oddByte = bytes.substr(i);
    return text;
}

std::string Encode(const IniText& text)
{
    std::string bytes;
    if (text.encoding == Encoding::kBytes) {
        for (char16_t u : text.units)
            bytes.push_back(static_cast<char>(u));
        return bytes;
    }
    const bool little = text.encoding == Encoding::kUtf16Le;
    for (char16_t u : Units(1, u'\uFEFF') + text.units) {
        const char low = static_cast<char>(u & 0xFF);
        const char high = static_cast<char>(u >> 8);
        bytes.push_back(little ? low : high);
        bytes.push_back(little ? high : low);
    }
    return bytes + text.oddByte;
}

// The caller's text (UTF-8) as units of the file, and back. An 8-bit file
// takes and gives the bytes as they are.
Units ToUnits(const std::string& s, Encoding encoding)
{
    Units units;
    if (encoding == Encoding::kBytes) {
        for (char c : s)
            units.push_back(static_cast<unsigned char>(c));
        return units;
    }
    for (size_t i = 0; i < s.size();) {
        const unsigned char lead = static_cast<unsigned char>(s[i]);
        size_t length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            length = 1;
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            c = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            c = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            c = lead & 0x07;
        }
        bool valid = length > 0 && i + length <= s.size();
        for (size_t k = 1; valid && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(s[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = c << 6 | (next & 0x3F);
        }
        if (!valid || c > 0x10FFFF) {
            units.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += length;
        if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
    }
    return units;
}

std::string FromUnits(const Units& units, Encoding encoding)
{
    std::string s;
    if (encoding == Encoding::kBytes) {
        for (char16_t u : units)
            s.push_back(static_cast<char>(u));
        return s;
    }
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD;
        if (c < 0x80) {
            s.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            s.push_back(static_cast<char>(0xC0 | c >> 6));
            s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            s.push_back(static_cast<char>(0xE0 | c >> 12));
            s.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            s.push_back(static_cast<char>(0xF0 | c >> 18));
            s.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            s.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            s.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return s;
}

// One line: its text and its own line end ("\r\n", "\n", or none on the last).
struct Line {
    Units text;
    Units end;
};

std::vector<Line> SplitLines(const Units& units)
{
    std::vector<Line> lines;
    size_t start = 0;
    while (start < units.size()) {
        size_t feed = units.find(u'\n', start);
        if (feed == Units::npos) {
            lines.push_back({units.substr(start), {}});
            break;
        }
        const size_t textEnd = feed > start && units[feed - 1] == u'\r' ? feed - 1 : feed;
        lines.push_back(
            {units.substr(start, textEnd - start), units.substr(textEnd, feed + 1 - textEnd)});
        start = feed + 1;
    }
    return lines;
}

bool IsBlank(char16_t u)
{
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n';
}

Units Trim(const Units& s)
{
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b]))
        ++b;
    size_t e = s.size();
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool SameName(const Units& a, const Units& b)
{
    if (a.size() != b.size())
        return false;
    const auto fold = [](char16_t u) {
        return u < 0x80 ? static_cast<char16_t>(std::tolower(u)) : u;
    };
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

// "[name]" gives name; anything else is no section line.
bool SectionName(const Units& line, Units* name)
{
    Units t = Trim(line);
    if (t.size() < 2 || t.front() != u'[')
        return false;
    size_t close = t.find(u']');
    if (close == Units::npos)
        return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// "key = value" gives both; comments and other lines give false.
bool KeyValue(const Units& line, Units* key, Units* value)
{
    Units t = Trim(line);
    if (t.empty() || t.front() == u';')
        return false;
    size_t eq = t.find(u'=');
    if (eq == Units::npos)
        return false;
    *key = Trim(t.substr(0, eq));
    *value = Trim(t.substr(eq + 1));
    if (value->size() >= 2 && (value->front() == u'"' || value->front() == u'\'') &&
        value->back() == value->front())
        *value = value->substr(1, value->size() - 2);
    return true;
}

bool FindValue(const std::string& section, const std::string& key, const std::string& path,
               std::string* value)
{
    std::string bytes;
    if (ReadFileBytes(path, &bytes) != ReadResult::kRead)
        return false;
    const IniText text = Decode(bytes);
    const Units wantedSection = ToUnits(section, text.encoding);
    const Units wantedKey = ToUnits(key, text.encoding);
    bool inSection = false;
    for (const Line& line : SplitLines(text.units)) {
        Units name, k, v;
        if (SectionName(line.text, &name))
            inSection = SameName(name, wantedSection);
        else if (inSection && KeyValue(line.text, &k, &v) && SameName(k, wantedKey)) {
            *value = FromUnits(v, text.encoding);
            return true;
        }
    }
    return false;
}

// Sets the key in the lines; only the key's line changes, or new lines come in.
void SetKey(std::vector<Line>& lines, const Units& section, const Units& key, const Units& value)
{
    // New lines end as the file's lines do.
    Units newline = u"\n";
    for (const Line& line : lines) {
        if (!line.end.empty()) {
            newline = line.end;
            break;
        }
    }
    bool inSection = false;
    bool sectionFound = false;
    size_t sectionEnd = lines.size();  // after the last line of the section found
    for (size_t i = 0; i < lines.size(); ++i) {
        Units name, k, v;
        if (SectionName(lines[i].text, &name)) {
            if (inSection)
                break;
            inSection = SameName(name, section);
            if (inSection) {
                sectionFound = true;
                sectionEnd = i + 1;
            }
        } else if (inSection) {
            if (KeyValue(lines[i].text, &k, &v) && SameName(k, key)) {
                lines[i].text = k + u"=" + value;
                return;
            }
            if (!Trim(lines[i].text).empty())
                sectionEnd = i + 1;
        }
    }
    std::vector<Line> added;
    if (!sectionFound) {
        if (!lines.empty() && !Trim(lines.back().text).empty())
            added.push_back({{}, newline});
        added.push_back({u"[" + section + u"]", newline});
    }
    added.push_back({key + u"=" + value, newline});
    if (sectionEnd > 0 && lines[sectionEnd - 1].end.empty())
        lines[sectionEnd - 1].end = newline;
    lines.insert(lines.begin() + static_cast<long>(sectionEnd), added.begin(), added.end());
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path)
{
    std::string value;
    return FindValue(section, key, path, &value) ? value : def;
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int def,
                         const std::string& path)
{
    std::string value;
    if (!FindValue(section, key, path, &value))
        return def;
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+'))
        negative = value[i++] == '-';
    long long n = 0;
    for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > 0x7FFFFFFFLL)
            n = 0x7FFFFFFFLL;
    }
    return static_cast<int>(negative ? -n : n);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path)
{
    // A file that cannot be read whole is not rewritten: its other lines would be lost.
    std::string bytes;
    if (ReadFileBytes(path, &bytes) == ReadResult::kRefused)
        return false;
    IniText text = Decode(bytes);
    std::vector<Line> lines = SplitLines(text.units);
    SetKey(lines, ToUnits(section, text.encoding), ToUnits(key, text.encoding),
           ToUnits(value, text.encoding));
    text.units.clear();
    for (const Line& line : lines)
        text.units += line.text + line.end;
    bytes = Encode(text);

    ReplacingFile file(path);
    if (!file.Open())
        return false;
    std::fwrite(bytes.data(), 1, bytes.size(), file.Stream());
    return file.Commit();
}

}  // namespace host
