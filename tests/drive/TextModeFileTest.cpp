#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "drive/TextModeFile.h"

namespace {

std::string Written(const std::function<void(FILE*)>& write)
{
    FILE* f = std::tmpfile();
    write(f);
    std::fflush(f);
    std::rewind(f);
    std::string bytes;
    for (int c; (c = std::fgetc(f)) != EOF;)
        bytes += static_cast<char>(c);
    std::fclose(f);
    return bytes;
}

}  // namespace

TEST(TextModeFile, StoresEachLineFeedAsCarriageReturnLineFeed)
{
    EXPECT_EQ(Written([](FILE* f) { WriteTextModeString(f, "LP\r\nSP\n"); }), "LP\r\r\nSP\r\n");
    EXPECT_EQ(Written([](FILE* f) { WriteTextModeFormat(f, "MA\t%d\tMD\t%d\r\n", 7, -5); }),
              "MA\t7\tMD\t-5\r\r\n");
}

TEST(TextModeFile, CutsFormattedTextAtTheBufferSize)
{
    std::string longText(400, 'a');
    EXPECT_EQ(Written([&](FILE* f) { WriteTextModeFormat(f, "%s", longText.c_str()); }).size(), 255u);
}
