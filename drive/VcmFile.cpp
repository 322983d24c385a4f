#include "drive/VcmFile.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <strings.h>

namespace {

// Character classes work on the byte value: text is 8-bit and may hold bytes
// above 0x7F, which are neither white space nor printable here.
bool IsPrintable(char c)
{
    unsigned char u = static_cast<unsigned char>(c);
    return u >= 0x20 && u <= 0x7E;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Ends the line for the readers that stay on it. CR counts as a line end so
// that CR LF and CR CR LF lines read like LF lines.
bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

bool StartsComment(const char* p)
{
    return p[0] == '/' && (p[1] == '/' || p[1] == '*');
}

// atoi without the undefined overflow: huge numbers saturate, then the caller
// keeps 8 bits.
int NumberValue(const char* text)
{
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

}  // namespace

VersionWords WordsOfVersionType(int type)
{
    switch (type) {
    case kVersionTarvixBipolar: return {"Tarvix", "Bipolar"};
    case kVersionTarvixUnipolar: return {"Tarvix", "Unipolar"};
    case kVersionMorvaneVcm: return {"Morvane", "VCM"};
    default: return {nullptr, nullptr};
    }
}

void FormatVersionText(const DriveVersion* version, char* text)
{
    if (!version || !text)
        return;
    const VersionWords words = WordsOfVersionType(version->type);
    if (!words.family) {
        text[0] = '\0';
        return;
    }
    std::snprintf(text, kVersionTextSize, "%s %s %s %d.%d.%d", words.family, words.kind,
                  "Version", version->version[0], version->version[1], version->version[2]);
}

CVcmFile::CVcmFile() = default;

CVcmFile::~CVcmFile()
{
    Reset();
}

void CVcmFile::Load(int length, FILE* file)
{
    delete[] m_pText;
    m_pText = nullptr;
    m_pCur = nullptr;
    m_pEnd = nullptr;
    m_nLine = 0;
    if (!file || length <= 0)
        return;
    // A file too large for memory leaves the lexer without text, as an empty one.
    m_pText = new (std::nothrow) char[static_cast<size_t>(length) + 1]();
    if (!m_pText)
        return;
    int read = 0;
    for (; read < length; ++read) {
        int c = std::fgetc(file);
        if (c == EOF)
            break;
        m_pText[read] = static_cast<char>(c);
    }
    m_pCur = m_pText;
    m_pEnd = m_pText + read;
}

void CVcmFile::Reset()
{
    delete[] m_pText;
    delete[] m_pToken;
    m_pText = nullptr;
    m_pToken = nullptr;
    m_pCur = nullptr;
    m_pEnd = nullptr;
    m_nLine = 0;
}

bool CVcmFile::AtEnd() const
{
    return !m_pCur || m_pCur >= m_pEnd;
}

const char* CVcmFile::SetToken(const char* begin, const char* end)
{
    size_t length = static_cast<size_t>(end - begin);
    char* token = new char[length + 1];
    std::memcpy(token, begin, length);
    token[length] = '\0';
    delete[] m_pToken;
    m_pToken = token;
    return m_pToken;
}

void CVcmFile::SkipBlanks()
{
    if (!m_pCur)
        return;
    while (IsSpace(*m_pCur) && !IsLineEnd(*m_pCur))
        ++m_pCur;
}

void CVcmFile::SkipSpaceAndComments()
{
    if (!m_pCur)
        return;
    for (;;) {
        if (IsSpace(*m_pCur)) {
            if (*m_pCur == '\n')
                ++m_nLine;
            ++m_pCur;
        } else if (m_pCur[0] == '/' && m_pCur[1] == '/') {
            m_pCur += 2;
            while (!IsLineEnd(*m_pCur))
                ++m_pCur;
        } else {
            return;
        }
    }
}

void CVcmFile::SkipLine()
{
    if (!m_pCur)
        return;
    while (m_pCur < m_pEnd) {
        if (*m_pCur++ == '\n') {
            ++m_nLine;
            return;
        }
    }
}

const char* CVcmFile::NextCommand()
{
    SkipSpaceAndComments();
    if (AtEnd())
        return nullptr;
    const char* begin = m_pCur;
    while (m_pCur - begin < 2 && IsPrintable(*m_pCur) && !StartsComment(m_pCur))
        ++m_pCur;
    return SetToken(begin, m_pCur);
}

const char* CVcmFile::NextNumber()
{
    SkipBlanks();
    if (AtEnd() || IsLineEnd(*m_pCur))
        return nullptr;
    char c = *m_pCur;
    if (c != '+' && c != '-' && (c < '0' || c > '9'))
        return nullptr;
    const char* begin = m_pCur++;
    while (*m_pCur >= '0' && *m_pCur <= '9')
        ++m_pCur;
    return SetToken(begin, m_pCur);
}

const char* CVcmFile::NextWord()
{
    SkipBlanks();
    if (AtEnd() || IsLineEnd(*m_pCur))
        return nullptr;
    const char* begin = m_pCur;
    while (IsPrintable(*m_pCur) && *m_pCur != ' ' && !StartsComment(m_pCur))
        ++m_pCur;
    if (m_pCur == begin)
        return nullptr;
    return SetToken(begin, m_pCur);
}

char CVcmFile::NextChar()
{
    SkipBlanks();
    if (AtEnd())
        return '\0';
    char c = *m_pCur;
    if (!IsPrintable(c) || c == ' ')
        return '\0';
    ++m_pCur;
    return c;
}

// The rest of the current line up to its end or a comment; the cursor stays
// in front of what ended it.
const char* CVcmFile::TakeLineText()
{
    const char* begin = m_pCur;
    while (!IsLineEnd(*m_pCur) && !StartsComment(m_pCur))
        ++m_pCur;
    if (m_pCur == begin)
        return nullptr;
    return SetToken(begin, m_pCur);
}

const char* CVcmFile::NextLine()
{
    SkipSpaceAndComments();
    if (AtEnd())
        return nullptr;
    return TakeLineText();
}

const char* CVcmFile::RestOfLine()
{
    SkipBlanks();
    if (AtEnd() || IsLineEnd(*m_pCur))
        return nullptr;
    return TakeLineText();
}

bool CVcmFile::ReadVersionLine(DriveVersion* version)
{
    if (!version)
        return false;
    version->text[0] = '\0';

    const char* command = NextCommand();
    if (!command || strncasecmp(command, "VR", 2) != 0)
        return false;

    const char* family = NextWord();
    if (!family)
        return false;
    if (strcasecmp(family, "Tarvix") == 0) {
        const char* kind = NextWord();
        if (kind && strcasecmp(kind, "Bipolar") == 0)
            version->type = kVersionTarvixBipolar;
        else if (kind && strcasecmp(kind, "Unipolar") == 0)
            version->type = kVersionTarvixUnipolar;
        else
            return false;
    } else if (strcasecmp(family, "Morvane") == 0) {
        const char* kind = NextWord();
        if (!kind || strcasecmp(kind, "VCM") != 0)
            return false;
        version->type = kVersionMorvaneVcm;
    } else {
        return false;
    }

    const char* word = NextWord();
    if (!word || strcasecmp(word, "Version") != 0)
        return false;

    const char* number = NextNumber();
    if (!number)
        return false;
    version->version[0] = static_cast<uint8_t>(NumberValue(number));
    int count = 1;
    while (count < 4) {
        // What does not continue the numbers belongs to the free text: a
        // character taken by the look-ahead goes back.
        char* before = m_pCur;
        if (NextChar() != '.') {
            m_pCur = before;
            break;
        }
        number = NextNumber();
        if (!number) {
            m_pCur = before;
            break;
        }
        version->version[count++] = static_cast<uint8_t>(NumberValue(number));
    }
    if (count < 3)
        return false;
    if (count == 3)
        version->version[3] = 0;

    if (const char* rest = RestOfLine()) {
        std::strncpy(version->text, rest, sizeof version->text - 1);
        version->text[sizeof version->text - 1] = '\0';
    }
    return true;
}
