#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <sstream>

#include "platform/IniFile.h"
#include "platform/ReplacingFile.h"
#include "tests/support/TempProgramFolder.h"

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(IniFileTest, ReadsWithTheProfileRules)
{
    TempProgramFolder folder;
    folder.Write("a.ini",
                 "; comment\r\n[Other]\r\nPortNo=9\r\n[ comm ]\r\n  portno =  3 \r\n"
                 "Baudrate=19200x\r\nNeg=-12\r\nText=\"quoted\"\r\nEmpty=\r\n");
    const std::string path = folder.Path() + "a.ini";
    struct Case {
        const char* section;
        const char* key;
        int def;
        int expected;
    } cases[] = {
        {"COMM", "PortNo", 1, 3},          // case and blanks do not matter
        {"COMM", "Baudrate", 0, 19200},    // leading digits only
        {"COMM", "Neg", 0, -12},
        {"COMM", "Text", 5, 0},            // no digits
        {"COMM", "Missing", 7, 7},
        {"Nowhere", "PortNo", 1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(host::GetPrivateProfileInt(c.section, c.key, c.def, path), c.expected)
            << c.section << "/" << c.key;
    EXPECT_EQ(host::GetPrivateProfileString("comm", "TEXT", "d", path), "quoted");
    EXPECT_EQ(host::GetPrivateProfileString("comm", "Empty", "d", path), "");
    EXPECT_EQ(host::GetPrivateProfileInt("COMM", "PortNo", 4, folder.Path() + "none.ini"), 4);
}

TEST(IniFileTest, WriteKeepsOtherLinesAndCreatesWhatIsMissing)
{
    TempProgramFolder folder;
    folder.Write("b.ini", "; keep me\n[COMM]\nPortNo=3\n\n[Database]\nFileName=x.lua\n");
    const std::string path = folder.Path() + "b.ini";
    ASSERT_TRUE(host::WritePrivateProfileString("comm", "portno", "5", path));
    ASSERT_TRUE(host::WritePrivateProfileString("COMM", "Baudrate", "115200", path));
    ASSERT_TRUE(host::WritePrivateProfileString("New", "Key", "v", path));
    EXPECT_EQ(ReadAll(path),
              "; keep me\n[COMM]\nPortNo=5\nBaudrate=115200\n\n[Database]\nFileName=x.lua\n"
              "\n[New]\nKey=v\n");

    const std::string fresh = folder.Path() + "fresh.ini";
    ASSERT_TRUE(host::WritePrivateProfileString("COMM", "PortNo", "2", fresh));
    EXPECT_EQ(host::GetPrivateProfileInt("COMM", "PortNo", 1, fresh), 2);
    EXPECT_FALSE(host::WritePrivateProfileString("COMM", "PortNo", "2",
                                                 folder.Path() + "no/such/folder.ini"));
}

// A UTF-16 file with its byte-order mark.
std::string Utf16(const std::u16string& text, bool little)
{
    std::string bytes = little ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t u : text) {
        const char low = static_cast<char>(u & 0xFF);
        const char high = static_cast<char>(u >> 8);
        bytes += little ? low : high;
        bytes += little ? high : low;
    }
    return bytes;
}

TEST(IniFileTest, WriteKeepsEveryOtherByte)
{
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"NUL bytes",
         "; a\0b\r\n[COMM]\r\nX=\0\0y\r\nPortNo=3\r\n[Z]\r\nQ=1\0\r\n"s,
         "; a\0b\r\n[COMM]\r\nX=\0\0y\r\nPortNo=5\r\n[Z]\r\nQ=1\0\r\n"s},
        {"UTF-16 LE",
         Utf16(u"; \u2713\r\n[COMM]\r\nPortNo=3\r\n[Other]\r\nName=Gr\u00F6\u00DFe\r\n", true),
         Utf16(u"; \u2713\r\n[COMM]\r\nPortNo=5\r\n[Other]\r\nName=Gr\u00F6\u00DFe\r\n", true)},
        // A new line ends as the others do, also after a last line without end.
        {"UTF-16 BE", Utf16(u"[COMM]\r\nBaudrate=9600", false),
         Utf16(u"[COMM]\r\nBaudrate=9600\r\nPortNo=5\r\n", false)},
    };
    TempProgramFolder folder;
    const std::string path = folder.Path() + "c.ini";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        folder.Write("c.ini", c.before);
        ASSERT_TRUE(host::WritePrivateProfileString("COMM", "PortNo", "5", path));
        EXPECT_EQ(ReadAll(path), c.after);
        EXPECT_EQ(host::GetPrivateProfileInt("COMM", "PortNo", 1, path), 5);
    }
    // The caller's texts are UTF-8.
    folder.Write("c.ini", cases[1].before);
    EXPECT_EQ(host::GetPrivateProfileString("other", "name", "", path), "Gr\u00F6\u00DFe");
}

TEST(IniFileTest, AFileThatIsNoRegularFileReadsAsMissingAndIsNotWritten)
{
    TempProgramFolder folder;
    const std::string path = folder.Path() + "Connection.ini";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    // Nothing writes to the pipe: a read that waited for a writer would never end.
    EXPECT_EQ(host::GetPrivateProfileInt("COMM", "Baudrate", 19200, path), 19200);
    EXPECT_FALSE(host::WritePrivateProfileString("COMM", "Baudrate", "9600", path));
    EXPECT_TRUE(fs::is_fifo(path));
}

TEST(ReplacingFileTest, TargetChangesOnlyOnCommit)
{
    TempProgramFolder folder;
    folder.Write("t.txt", "earlier");
    const std::string path = folder.Path() + "t.txt";
    {
        host::ReplacingFile file(path);
        ASSERT_TRUE(file.Open());
        std::fputs("dropped", file.Stream());
    }  // no commit
    EXPECT_EQ(ReadAll(path), "earlier");

    host::ReplacingFile file(path);
    ASSERT_TRUE(file.Open());
    std::fputs("new", file.Stream());
    EXPECT_EQ(ReadAll(path), "earlier");
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadAll(path), "new");
}

TEST(ReplacingFileTest, FailureLeavesTheTargetAndNoTemporaryFile)
{
    TempProgramFolder folder;
    folder.Write("t.txt", "earlier");
    const std::string path = folder.Path() + "t.txt";
    host::ReplacingFile file(path);
    ASSERT_TRUE(file.Open());
    std::fputs("partial", file.Stream());
    // The buffered bytes cannot reach the file any more, as on a full disk.
    close(fileno(file.Stream()));
    EXPECT_FALSE(file.Commit());
    EXPECT_EQ(ReadAll(path), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(ReplacingFileTest, ALinkedTargetIsReplacedThroughItsLink)
{
    TempProgramFolder folder;
    folder.Write("real.txt", "earlier");
    const std::string link = folder.Path() + "link.txt";
    fs::create_symlink(folder.Path() + "real.txt", link);
    host::ReplacingFile file(link);
    ASSERT_TRUE(file.Open());
    std::fputs("new", file.Stream());
    ASSERT_TRUE(file.Commit());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(folder.Path() + "real.txt"), "new");
}

// Reads what a target written in place passed on, up to size bytes.
std::string ReadFrom(int fd, size_t size)
{
    std::string got;
    char buffer[256];
    pollfd source{fd, POLLIN, 0};
    while (got.size() < size && poll(&source, 1, 5000) > 0) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

bool SaveThrough(const std::string& link, const std::string& text)
{
    host::ReplacingFile file(link);
    if (!file.Open())
        return false;
    std::fputs(text.c_str(), file.Stream());
    return file.Commit();
}

TEST(ReplacingFileTest, ATargetThatIsNoRegularFileIsWrittenInPlace)
{
    TempProgramFolder folder;
    const std::string fifo = folder.Path() + "pipe";
    const std::string link = folder.Path() + "link.txt";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(fifo, link);
    const std::string text(3000, 'x');

    // No reader: refused at once rather than waiting for one.
    EXPECT_FALSE(SaveThrough(link, text));

    int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(SaveThrough(link, text));
    EXPECT_EQ(ReadFrom(reader, text.size()), text);

    // The reader goes away before the bytes come: a failure, and the program goes on.
    {
        host::ReplacingFile file(link);
        ASSERT_TRUE(file.Open());
        close(reader);
        std::fputs(text.c_str(), file.Stream());
        EXPECT_FALSE(file.Commit());
    }
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_fifo(fifo));

    // A device: a terminal whose other side the test reads.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string device = ptsname(master);
    const int slave = open(device.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    termios raw{};
    tcgetattr(slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(slave, TCSANOW, &raw);
    fs::remove(link);
    fs::create_symlink(device, link);
    EXPECT_TRUE(SaveThrough(link, "line\n"));
    EXPECT_EQ(ReadFrom(master, 5), "line\n");
    EXPECT_TRUE(fs::is_character_file(device));
    close(slave);
    close(master);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 2);
}

}  // namespace
