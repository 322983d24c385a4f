#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

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

}  // namespace
