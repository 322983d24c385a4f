#include "drive/TextModeFile.h"

#include <cstdarg>

bool WriteTextModeString(FILE* file, const char* text)
{
    if (!file || !text)
        return false;
    for (const char* p = text; *p; ++p) {
        if (*p == '\n' && std::fputc('\r', file) == EOF)
            return false;
        if (std::fputc(static_cast<unsigned char>(*p), file) == EOF)
            return false;
    }
    return true;
}

bool WriteTextModeFormat(FILE* file, const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    if (n < 0)
        return false;
    return WriteTextModeString(file, buffer);
}

bool FlushTextModeFile(FILE* file)
{
    if (!file)
        return false;
    return std::fflush(file) == 0 && !std::ferror(file);
}

bool WriteTextModeComment(FILE* file, const std::string& text)
{
    std::string line = text.c_str();  // a NUL ends the text, as it always has
    for (char& c : line) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return WriteTextModeString(file, line.c_str());
}
