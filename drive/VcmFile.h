#pragma once

#include <cstdint>
#include <cstdio>

// Family and kind of a drive version, the type of a DriveVersion.
enum : int {
    kVersionTarvixBipolar = 0,
    kVersionTarvixUnipolar = 1,
    kVersionMorvaneVcm = 2,
};

// The family and kind words of a version type, e.g. "Tarvix" and "Bipolar";
// both null for an unknown type.
struct VersionWords {
    const char* family;
    const char* kind;
};
VersionWords WordsOfVersionType(int type);

// The drive version named by a script file's version line.
struct DriveVersion {
    int type = kVersionTarvixBipolar;
    uint8_t version[4] = {};
    char text[256] = {};  // free text after the numbers
};

// Writes e.g. "Tarvix Bipolar Version 1.2.3" into text (a buffer of 60 characters);
// an unknown type gives an empty text, a null version leaves text alone.
void FormatVersionText(const DriveVersion* version, char* text);
constexpr int kVersionTextSize = 60;

// A lexer over a parameter file held whole in memory. A returned token stays
// valid until the next operation that returns one.
class CVcmFile {
public:
    CVcmFile();
    virtual ~CVcmFile();
    CVcmFile(const CVcmFile&) = delete;
    CVcmFile& operator=(const CVcmFile&) = delete;

    void Load(int length, FILE* file);
    void Reset();

    void SkipBlanks();
    void SkipSpaceAndComments();
    // Moves past the next line feed (or to the end of the text).
    void SkipLine();

    const char* NextCommand();
    const char* NextNumber();
    const char* NextWord();
    char NextChar();
    const char* NextLine();
    const char* RestOfLine();

    bool ReadVersionLine(DriveVersion* version);

    // No text, or the cursor stands at its end.
    bool AtEnd() const;
    int GetLine() const { return m_nLine; }

private:
    const char* SetToken(const char* begin, const char* end);
    const char* TakeLineText();

    char* m_pText = nullptr;
    char* m_pCur = nullptr;
    int m_nLine = 0;
    char* m_pToken = nullptr;
    // Behind the last byte read: a NUL before it is a byte of the file, not its end.
    char* m_pEnd = nullptr;
};
