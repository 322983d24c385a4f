#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "drive/VcmFile.h"

namespace {

// Loads bytes through a real file, as the program reads scripts.
void LoadText(CVcmFile& lexer, const std::string& bytes)
{
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::rewind(file);
    lexer.Load(static_cast<int>(bytes.size()), file);
    std::fclose(file);
}

struct VersionResult {
    bool ok = false;
    DriveVersion version;
};

VersionResult ReadVersion(const std::string& bytes)
{
    CVcmFile lexer;
    LoadText(lexer, bytes);
    VersionResult result;
    result.version.type = -1;
    result.ok = lexer.ReadVersionLine(&result.version);
    return result;
}

std::string Str(const char* token)
{
    return token ? std::string(token) : std::string("<null>");
}

// An executor-like scan: every command with its number (or none) and the line
// it stands on. An empty command token ends the rest of its line.
std::vector<std::string> Scan(CVcmFile& lexer)
{
    std::vector<std::string> items;
    while (!lexer.AtEnd()) {
        const char* command = lexer.NextCommand();
        if (!command)
            break;
        std::string item = std::to_string(lexer.GetLine()) + ":" + command;
        if (item.back() == ':') {
            items.push_back(item + "<empty>");
            lexer.SkipLine();
            continue;
        }
        if (const char* number = lexer.NextNumber())
            item += std::string("=") + number;
        items.push_back(item);
    }
    return items;
}

std::vector<std::string> ScanText(const std::string& bytes)
{
    CVcmFile lexer;
    LoadText(lexer, bytes);
    return Scan(lexer);
}

using Items = std::vector<std::string>;

}  // namespace

TEST(VcmFileVersionLine, ReadsFamilyKindNumbersAndText)
{
    auto r = ReadVersion("VR Tarvix Bipolar Version 1.2.3\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.type, 0);
    EXPECT_EQ(r.version.version[0], 1);
    EXPECT_EQ(r.version.version[1], 2);
    EXPECT_EQ(r.version.version[2], 3);
    EXPECT_EQ(r.version.version[3], 0);
    EXPECT_STREQ(r.version.text, "");

    r = ReadVersion("VR\tTarvix\tUnipolar\tVersion\t4.5.6.7\t// note\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.type, 1);
    EXPECT_EQ(r.version.version[3], 7);
    EXPECT_STREQ(r.version.text, "");
}

TEST(VcmFileVersionLine, IgnoresCase)
{
    auto r = ReadVersion("vr tarvix bipolar version 1.2.3\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.type, 0);
    EXPECT_EQ(r.version.version[0], 1);
    EXPECT_EQ(r.version.version[2], 3);
    EXPECT_EQ(r.version.version[3], 0);
    EXPECT_TRUE(ReadVersion("Vr MORVANE vcm VERSION 1.2.3").ok);
}

TEST(VcmFileVersionLine, BlanksAroundDotsFourthNumberAndText)
{
    auto r = ReadVersion("VR Morvane VCM Version 2 . 0 . 5 . 9 beta\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.type, 2);
    EXPECT_EQ(r.version.version[0], 2);
    EXPECT_EQ(r.version.version[1], 0);
    EXPECT_EQ(r.version.version[2], 5);
    EXPECT_EQ(r.version.version[3], 9);
    EXPECT_STREQ(r.version.text, "beta");
}

TEST(VcmFileVersionLine, FifthNumberIsNotRead)
{
    auto r = ReadVersion("VR Morvane VCM Version 1.2.3.4.5 rc\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.version[3], 4);
    EXPECT_STREQ(r.version.text, ".5 rc");
}

TEST(VcmFileVersionLine, FreeTextKeepsItsFirstCharacter)
{
    auto r = ReadVersion("VR Tarvix Bipolar Version 1.2.3 beta 2  // built\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.version[3], 0);
    EXPECT_STREQ(r.version.text, "beta 2  ");

    r = ReadVersion("VR Tarvix Bipolar Version 1.2.3.x\n");
    ASSERT_TRUE(r.ok);
    EXPECT_STREQ(r.version.text, ".x");
}

TEST(VcmFileVersionLine, TextIsCutAt255Characters)
{
    std::string text(400, 'x');
    auto r = ReadVersion("VR Tarvix Bipolar Version 1.2.3 " + text + "\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(std::string(r.version.text), text.substr(0, 255));
}

TEST(VcmFileVersionLine, NumbersKeepEightBitsAndSigns)
{
    auto r = ReadVersion("VR Tarvix Bipolar Version 257.-1.+3 . 99999999999999999999\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.version[0], 1);
    EXPECT_EQ(r.version.version[1], 255);
    EXPECT_EQ(r.version.version[2], 3);
    // A lone sign is a number of value 0.
    r = ReadVersion("VR Tarvix Bipolar Version 1.-.3\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.version[1], 0);
}

TEST(VcmFileVersionLine, VrDirectlyFollowedByFamily)
{
    auto r = ReadVersion("VRTarvix Bipolar Version 1.2.3\r\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.type, 0);
}

TEST(VcmFileVersionLine, CommentsAndBlankLinesBefore)
{
    auto r = ReadVersion("\r\n// saved script\r\n   \t\r\n  VR Morvane VCM Version 3.1.4\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.type, 2);
}

TEST(VcmFileVersionLine, Refusals)
{
    const char* bad[] = {
        "",
        "\r\n   // only a comment\r\n",
        "VR Tarvix Bipolar Version 1.2\n",          // two numbers
        "VR Tarvix Bipolar Version 1\n",
        "VR Tarvix Bipolar Version\n",
        "VR Tarvix Bipolar 1.2.3\n",                // no "Version"
        "VR Tarvix Bipolar Versions 1.2.3\n",
        "VR Tarvix VCM Version 1.2.3\n",            // wrong kind for the family
        "VR Morvane Bipolar Version 1.2.3\n",
        "VR Acme Bipolar Version 1.2.3\n",          // unknown family
        "VR Tarvix\nBipolar Version 1.2.3\n",       // kind on the next line
        "VR Tarvix Bipolar Version\n1.2.3\n",
        "MA 1 VR Tarvix Bipolar Version 1.2.3\n",   // first command is not VR
        "V R Tarvix Bipolar Version 1.2.3\n",
        "VR Tarvix/*x*/ Bipolar Version 1.2.3\n",
        "VR Tarvix Bipolar Version x.2.3\n",
        "\x80VR Tarvix Bipolar Version 1.2.3\n",
    };
    for (const char* text : bad)
        EXPECT_FALSE(ReadVersion(text).ok) << text;

    CVcmFile lexer;
    LoadText(lexer, "VR Tarvix Bipolar Version 1.2.3\n");
    EXPECT_FALSE(lexer.ReadVersionLine(nullptr));
}

TEST(VcmFileVersionLine, ClearsTextOnFailure)
{
    DriveVersion version;
    std::snprintf(version.text, sizeof version.text, "old");
    CVcmFile lexer;
    LoadText(lexer, "VR Tarvix Bipolar\n");
    EXPECT_FALSE(lexer.ReadVersionLine(&version));
    EXPECT_STREQ(version.text, "");
}

TEST(VcmFileVersionLine, FileEndingInsideCommentOrAfterBlankLines)
{
    CVcmFile lexer;
    LoadText(lexer, "VR Tarvix Bipolar Version 1.2.3\r\nMA 5 MD 7\r\n// trailing comment without end");
    DriveVersion version;
    ASSERT_TRUE(lexer.ReadVersionLine(&version));
    EXPECT_EQ(Scan(lexer), (Items{"1:MA=5", "1:MD=7"}));
    EXPECT_TRUE(lexer.AtEnd());
    EXPECT_EQ(lexer.NextCommand(), nullptr);

    LoadText(lexer, "VR Tarvix Bipolar Version 1.2.3\r\n\r\n\r\n   \r\n");
    ASSERT_TRUE(lexer.ReadVersionLine(&version));
    EXPECT_EQ(lexer.NextCommand(), nullptr);
    EXPECT_EQ(lexer.GetLine(), 4);
}

TEST(VcmFileFormat, FormatVersionText)
{
    char text[kVersionTextSize];
    DriveVersion version;
    version.type = 2;
    version.version[0] = 1;
    version.version[1] = 5;
    version.version[2] = 0;
    version.version[3] = 7;
    FormatVersionText(&version, text);
    EXPECT_STREQ(text, "Morvane VCM Version 1.5.0");

    version.type = 0;
    version.version[0] = 255;
    FormatVersionText(&version, text);
    EXPECT_STREQ(text, "Tarvix Bipolar Version 255.5.0");
    version.type = 1;
    FormatVersionText(&version, text);
    EXPECT_STREQ(text, "Tarvix Unipolar Version 255.5.0");

    version.type = 3;
    FormatVersionText(&version, text);
    EXPECT_STREQ(text, "");
    version.type = -1;
    std::snprintf(text, sizeof text, "kept");
    FormatVersionText(nullptr, text);
    EXPECT_STREQ(text, "kept");
}

TEST(VcmFileFormat, RoundTripThroughTheReader)
{
    DriveVersion version;
    version.type = 1;
    version.version[0] = 12;
    version.version[1] = 0;
    version.version[2] = 34;
    char text[kVersionTextSize];
    FormatVersionText(&version, text);
    auto r = ReadVersion(std::string("VR") + text + "\r\r\n");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.version.type, 1);
    EXPECT_EQ(r.version.version[0], 12);
    EXPECT_EQ(r.version.version[2], 34);
}

TEST(VcmFileLexer, CommandsNumbersAndLines)
{
    EXPECT_EQ(ScanText("MA\t12\tMD\t+0500\t// Speed\r\nLP\t// load\r\nSP   // save\r\n"),
              (Items{"0:MA=12", "0:MD=+0500", "1:LP", "2:SP"}));
    // Several commands on one line, directly joined.
    EXPECT_EQ(ScanText("MA12MD3\n"), (Items{"0:MA=12", "0:MD=3"}));
    // A command word is at most two printable characters; a blank counts.
    EXPECT_EQ(ScanText("ABCD\nX Y\n"), (Items{"0:AB", "0:CD", "1:X ", "1:Y"}));
    // "//" right behind the first character ends the command.
    EXPECT_EQ(ScanText("S//x\nT"), (Items{"0:S", "1:T"}));
}

TEST(VcmFileLexer, LoneSignsAreNumbers)
{
    EXPECT_EQ(ScanText("MD -\nMD +x\nMD - 5\n"),
              (Items{"0:MD=-", "1:MD=+", "1:x", "2:MD=-", "2:5"}));
    CVcmFile lexer;
    LoadText(lexer, "-");
    EXPECT_EQ(Str(lexer.NextNumber()), "-");
    EXPECT_TRUE(lexer.AtEnd());
}

TEST(VcmFileLexer, NumberStaysOnItsLine)
{
    EXPECT_EQ(ScanText("MD\r\n5\r\n"), (Items{"0:MD", "1:5"}));
    CVcmFile lexer;
    LoadText(lexer, "  \r\n12");
    EXPECT_EQ(lexer.NextNumber(), nullptr);
    EXPECT_EQ(lexer.NextWord(), nullptr);
    EXPECT_EQ(lexer.NextChar(), '\0');
    EXPECT_EQ(lexer.RestOfLine(), nullptr);
    EXPECT_EQ(lexer.GetLine(), 0);
}

TEST(VcmFileLexer, SlashStarEndsTokensButIsNotSkipped)
{
    CVcmFile lexer;
    LoadText(lexer, "A/* c */\nword/*x\n");
    EXPECT_EQ(Str(lexer.NextCommand()), "A");
    // At "/*" every reader stops without moving.
    EXPECT_EQ(Str(lexer.NextCommand()), "");
    EXPECT_EQ(Str(lexer.NextCommand()), "");
    EXPECT_EQ(lexer.NextWord(), nullptr);
    EXPECT_EQ(lexer.NextNumber(), nullptr);
    EXPECT_EQ(lexer.NextChar(), '/');  // a plain character to NextChar
    EXPECT_EQ(Str(lexer.NextCommand()), "* ");
    lexer.SkipLine();
    EXPECT_EQ(lexer.GetLine(), 1);
    EXPECT_EQ(Str(lexer.NextWord()), "word");
    EXPECT_EQ(lexer.RestOfLine(), nullptr);
    EXPECT_EQ(lexer.NextLine(), nullptr);
    EXPECT_FALSE(lexer.AtEnd());
}

TEST(VcmFileLexer, NonPrintableByteGivesEmptyCommand)
{
    CVcmFile lexer;
    LoadText(lexer, "MA 1 \x01\x7F\xE9 MD 2\nLP\n");
    EXPECT_EQ(Str(lexer.NextCommand()), "MA");
    EXPECT_EQ(Str(lexer.NextNumber()), "1");
    EXPECT_EQ(Str(lexer.NextCommand()), "");
    EXPECT_EQ(Str(lexer.NextCommand()), "");
    EXPECT_EQ(lexer.NextChar(), '\0');
    EXPECT_EQ(lexer.NextWord(), nullptr);
    EXPECT_FALSE(lexer.AtEnd());
    lexer.SkipLine();
    EXPECT_EQ(Str(lexer.NextCommand()), "LP");

    EXPECT_EQ(ScanText("MA 1 \x01 MD 2\nLP 3\n"), (Items{"0:MA=1", "0:<empty>", "1:LP=3"}));
}

TEST(VcmFileLexer, TokenLivesUntilTheNextToken)
{
    CVcmFile lexer;
    LoadText(lexer, "MA x 12\n");
    const char* command = lexer.NextCommand();
    // Readers that return nothing, and NextChar, keep the last token alive.
    EXPECT_EQ(lexer.NextNumber(), nullptr);
    EXPECT_EQ(lexer.NextChar(), 'x');
    EXPECT_STREQ(command, "MA");
    EXPECT_EQ(Str(lexer.NextNumber()), "12");
}

TEST(VcmFileLexer, WordsAndChars)
{
    CVcmFile lexer;
    LoadText(lexer, "  abc\tdef//c\n  ghi jkl/*\n");
    EXPECT_EQ(Str(lexer.NextWord()), "abc");
    EXPECT_EQ(Str(lexer.NextWord()), "def");
    EXPECT_EQ(lexer.NextWord(), nullptr);
    EXPECT_EQ(lexer.NextChar(), '/');
    EXPECT_EQ(lexer.NextChar(), '/');
    EXPECT_EQ(lexer.NextChar(), 'c');
    EXPECT_EQ(lexer.NextChar(), '\0');
    EXPECT_EQ(Str(lexer.NextLine()), "ghi jkl");
    EXPECT_EQ(lexer.GetLine(), 1);
}

TEST(VcmFileLexer, NextLineAndRestOfLine)
{
    CVcmFile lexer;
    LoadText(lexer, "\r\n// header\r\nVR Tarvix  \t\x80 x  // c\r\n  MA 1\r\n");
    EXPECT_EQ(Str(lexer.NextLine()), "VR Tarvix  \t\x80 x  ");
    EXPECT_EQ(lexer.GetLine(), 2);
    EXPECT_EQ(lexer.RestOfLine(), nullptr);
    EXPECT_EQ(Str(lexer.NextCommand()), "MA");
    EXPECT_EQ(Str(lexer.RestOfLine()), "1");
    EXPECT_EQ(lexer.NextLine(), nullptr);
    EXPECT_EQ(lexer.GetLine(), 4);
}

TEST(VcmFileLexer, LineEndingsReadTheSame)
{
    const std::string lines[] = {
        "VR Tarvix Bipolar Version 1.2.3 test",
        "",
        "MA\t1\tMD\t100\t// first",
        "  // only a comment",
        "LP\t// load",
        "MA 7 MD -3",
    };
    std::string lf, crlf, crcrlf;
    for (const auto& line : lines) {
        lf += line + "\n";
        crlf += line + "\r\n";
        crcrlf += line + "\r\r\n";
    }
    auto read = [](const std::string& bytes) {
        CVcmFile lexer;
        LoadText(lexer, bytes);
        DriveVersion version;
        bool ok = lexer.ReadVersionLine(&version);
        Items items = Scan(lexer);
        items.push_back(std::string(ok ? "ok " : "bad ") + version.text);
        items.push_back(std::to_string(lexer.GetLine()));
        return items;
    };
    Items expected{"2:MA=1", "2:MD=100", "4:LP", "5:MA=7", "5:MD=-3", "ok test", "6"};
    EXPECT_EQ(read(lf), expected);
    EXPECT_EQ(read(crlf), expected);
    EXPECT_EQ(read(crcrlf), expected);
    // Without the final line end only the count of line feeds differs.
    expected.back() = "5";
    EXPECT_EQ(read(lf.substr(0, lf.size() - 1)), expected);
}

TEST(VcmFileLexer, EmptyFileAndNoText)
{
    CVcmFile lexer;
    EXPECT_TRUE(lexer.AtEnd());
    EXPECT_EQ(lexer.NextCommand(), nullptr);
    EXPECT_EQ(lexer.NextNumber(), nullptr);
    EXPECT_EQ(lexer.NextWord(), nullptr);
    EXPECT_EQ(lexer.NextChar(), '\0');
    EXPECT_EQ(lexer.NextLine(), nullptr);
    EXPECT_EQ(lexer.RestOfLine(), nullptr);
    lexer.SkipBlanks();
    lexer.SkipSpaceAndComments();
    lexer.SkipLine();
    DriveVersion version;
    EXPECT_FALSE(lexer.ReadVersionLine(&version));

    LoadText(lexer, "");
    EXPECT_TRUE(lexer.AtEnd());
    EXPECT_EQ(lexer.NextCommand(), nullptr);

    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs("MA 1", file);
    std::rewind(file);
    lexer.Load(-5, file);
    EXPECT_TRUE(lexer.AtEnd());
    lexer.Load(4, nullptr);
    EXPECT_TRUE(lexer.AtEnd());
    std::fclose(file);
}

TEST(VcmFileLexer, LoadReadsAtMostLengthBytes)
{
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::fputs("MA 123 MD 4", file);
    std::rewind(file);
    CVcmFile lexer;
    lexer.Load(5, file);
    EXPECT_EQ(Scan(lexer), (Items{"0:MA=12"}));
    // A length beyond the file: the rest stays zero and ends the text.
    std::rewind(file);
    lexer.Load(1000, file);
    EXPECT_EQ(Scan(lexer), (Items{"0:MA=123", "0:MD=4"}));
    std::fclose(file);
}

TEST(VcmFileLexer, NulInTheMiddleIsNoCommandAndNoEnd)
{
    std::string bytes("MA 1\nMD 2\0MD 3\nLP\n", 18);
    CVcmFile lexer;
    LoadText(lexer, bytes);
    EXPECT_EQ(Scan(lexer), (Items{"0:MA=1", "1:MD=2", "1:<empty>", "2:LP"}));
    EXPECT_TRUE(lexer.AtEnd());
}

TEST(VcmFileLexer, LongLinesAndTokens)
{
    std::string digits(100000, '7');
    std::string word(70000, 'w');
    std::string bytes = "MD " + digits + "\r\n" + word + " " + word + "\r\n" + "LP\r\n";
    CVcmFile lexer;
    LoadText(lexer, bytes);
    EXPECT_EQ(Str(lexer.NextCommand()), "MD");
    EXPECT_EQ(Str(lexer.NextNumber()), digits);
    EXPECT_EQ(lexer.NextWord(), nullptr);
    EXPECT_EQ(Str(lexer.NextLine()), word + " " + word);
    EXPECT_EQ(Str(lexer.NextCommand()), "LP");
    EXPECT_EQ(lexer.GetLine(), 2);

    // A long line of commands is read two characters at a time.
    std::string many;
    for (int i = 0; i < 5000; ++i)
        many += "LP";
    EXPECT_EQ(ScanText(many).size(), 5000u);
}

TEST(VcmFileLexer, ResetAndReload)
{
    CVcmFile lexer;
    LoadText(lexer, "MA 1\nMD 2\n");
    EXPECT_EQ(Str(lexer.NextLine()), "MA 1");
    lexer.SkipSpaceAndComments();
    EXPECT_EQ(lexer.GetLine(), 1);
    lexer.Reset();
    EXPECT_TRUE(lexer.AtEnd());
    EXPECT_EQ(lexer.GetLine(), 0);
    EXPECT_EQ(lexer.NextCommand(), nullptr);
    LoadText(lexer, "LP\n");
    EXPECT_EQ(Str(lexer.NextCommand()), "LP");
    // Loading again starts over, line count included.
    LoadText(lexer, "\n\nSP\n");
    EXPECT_EQ(Str(lexer.NextCommand()), "SP");
    EXPECT_EQ(lexer.GetLine(), 2);
}
