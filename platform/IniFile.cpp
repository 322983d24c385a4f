#include "platform/IniFile.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <vector>

#include "platform/ReplacingFile.h"

namespace host {

namespace {

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// "[name]" gives name; anything else is no section line.
bool SectionName(const std::string& line, std::string* name)
{
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[')
        return false;
    size_t close = t.find(']');
    if (close == std::string::npos)
        return false;
    *name = Trim(t.substr(1, close - 1));
    return true;
}

// "key = value" gives both; comments and other lines give false.
bool KeyValue(const std::string& line, std::string* key, std::string* value)
{
    std::string t = Trim(line);
    if (t.empty() || t.front() == ';')
        return false;
    size_t eq = t.find('=');
    if (eq == std::string::npos)
        return false;
    *key = Trim(t.substr(0, eq));
    *value = Trim(t.substr(eq + 1));
    if (value->size() >= 2 && (value->front() == '"' || value->front() == '\'') &&
        value->back() == value->front())
        *value = value->substr(1, value->size() - 2);
    return true;
}

bool FindValue(const std::string& section, const std::string& key, const std::string& path,
               std::string* value)
{
    bool inSection = false;
    for (const std::string& line : ReadLines(path)) {
        std::string name, k, v;
        if (SectionName(line, &name))
            inSection = SameName(name, section);
        else if (inSection && KeyValue(line, &k, &v) && SameName(k, key)) {
            *value = v;
            return true;
        }
    }
    return false;
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
    std::vector<std::string> lines = ReadLines(path);
    bool inSection = false;
    bool written = false;
    size_t sectionEnd = lines.size();  // after the last line of the section found
    bool sectionFound = false;
    for (size_t i = 0; i < lines.size() && !written; ++i) {
        std::string name, k, v;
        if (SectionName(lines[i], &name)) {
            if (inSection)
                break;
            inSection = SameName(name, section);
            if (inSection) {
                sectionFound = true;
                sectionEnd = i + 1;
            }
        } else if (inSection) {
            if (KeyValue(lines[i], &k, &v) && SameName(k, key)) {
                lines[i] = k + "=" + value;
                written = true;
            } else if (!Trim(lines[i]).empty()) {
                sectionEnd = i + 1;
            }
        }
    }
    if (!written) {
        if (!sectionFound) {
            if (!lines.empty() && !Trim(lines.back()).empty())
                lines.push_back("");
            lines.push_back("[" + section + "]");
            sectionEnd = lines.size();
        }
        lines.insert(lines.begin() + static_cast<long>(sectionEnd), key + "=" + value);
    }

    ReplacingFile file(path);
    if (!file.Open())
        return false;
    for (const std::string& line : lines)
        std::fputs((line + "\n").c_str(), file.Stream());
    return file.Commit();
}

}  // namespace host
