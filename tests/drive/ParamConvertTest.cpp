#include <gtest/gtest.h>

#include <string>

#include "drive/Step1x3Driver.h"
#include "drive/VcmFile.h"
#include "tests/drive/DriverTestSupport.h"

using namespace drivertest;

namespace {

const char kVersion[] = "Multi Version 7.3.1";

class ParamConvert : public testing::Test {
protected:
    void SetUp() override
    {
        SmallVersion v;
        v.versionText = kVersion;
        v.pattern = "Multi Version 7.3.x";
        v.driverType = kDriverTypeStep1x3;
        v.prefix = "Conv";
        v.constants = "NUMBER_OF_PARAMETERS = 120\n";
        v.defaults.assign(120, 0);
        v.descriptions.assign(120, "");
        v.descriptions[51] = "Run current [0.1 A]";
        v.descriptions[58] = "Acceleration";
        v.descriptions[98] = "Deceleration";
        v.descriptions[62] = "Home speed";
        WriteSmallDatabase(m_folder, {v});
        LoadModel(m_model, kVersion);
    }

    // Converts an old file (its header line first) and returns the stored bytes.
    std::string Convert(const std::string& body, bool* result = nullptr)
    {
        UniqueFile in = TempFile();
        std::string text = "VR Tarvix Bipolar Version 1.0.0\r\n" + body;
        std::fwrite(text.data(), 1, text.size(), in.get());
        std::rewind(in.get());
        CVcmFile lexer;
        lexer.Load(static_cast<int>(text.size()), in.get());
        DriveVersion version;
        EXPECT_TRUE(lexer.ReadVersionLine(&version));
        UniqueFile out = TempFile();
        bool ok = m_model.ConvertParameterFile(out.get(), &lexer);
        if (result)
            *result = ok;
        else
            EXPECT_TRUE(ok);
        return Contents(out.get());
    }

    TempProgramFolder m_folder;
    CStep1x3Driver m_model{nullptr};
};

}  // namespace

TEST(ParamConvertTable, HoldsTheMappingOfEveryOldNumber)
{
    int mapped = 0;
    int dropped = 0;
    for (int old = 0; old < 69; ++old) {
        const ParamConvertRow& row = kParamConvertTable[old];
        ASSERT_NE(row.newNumber, 0) << old;
        if (row.newNumber < 0) {
            ++dropped;
            EXPECT_EQ(row.secondNumber, -1) << old;
            EXPECT_EQ(row.mode, 0) << old;
            EXPECT_EQ(row.factor, 1) << old;
        } else {
            ++mapped;
        }
    }
    EXPECT_EQ(mapped, 43);
    EXPECT_EQ(dropped, 26);
    const ParamConvertRow& end = kParamConvertTable[69];
    EXPECT_EQ(end.newNumber, 0);
    EXPECT_EQ(end.secondNumber, 0);
    EXPECT_EQ(end.mode, 0);
    EXPECT_EQ(end.factor, 0);
    for (int old = 33; old <= 47; ++old)
        EXPECT_EQ(kParamConvertTable[old].newNumber, old + 66) << old;
    // Rows with a second number or the divide mode.
    struct Expected {
        int old, first, second, mode, factor;
    };
    for (const Expected& e : {Expected{21, 58, 98, 0, 1}, Expected{24, 51, -1, 1, 10},
                              Expected{25, 52, -1, 1, 10}, Expected{26, 53, -1, 1, 10},
                              Expected{54, 64, 79, 1, 10}, Expected{55, 66, 81, 1, 10},
                              Expected{56, 65, 80, 0, 1}, Expected{62, 60, -1, 1, 10},
                              Expected{63, 62, 77, 1, 10}, Expected{64, 63, 78, 0, 1},
                              Expected{4, 94, -1, 0, 1}, Expected{51, 114, -1, 0, 1},
                              Expected{68, 96, -1, 0, 1}}) {
        const ParamConvertRow& row = kParamConvertTable[e.old];
        EXPECT_EQ(row.newNumber, e.first) << e.old;
        EXPECT_EQ(row.secondNumber, e.second) << e.old;
        EXPECT_EQ(row.mode, e.mode) << e.old;
        EXPECT_EQ(row.factor, e.factor) << e.old;
    }
}

TEST_F(ParamConvert, MapsNumbersAndValuesWithTheNewDescriptions)
{
    // 24 -> 51 divided by 10, with its description; 23 -> 50 has none.
    EXPECT_EQ(Convert("MA\t24\tMD\t1500\t// old run current\r\n"
                      "MA\t23\tMD\t7\r\n"),
              "MA\t51 \tMD\t150\t// \tRun current [0.1 A]\r\r\n"
              "MA\t50 \tMD\t7\r\r\n");
}

TEST_F(ParamConvert, WritesTheSecondNewNumberWithTheSameValue)
{
    EXPECT_EQ(Convert("MA 21 MD 3\n"),
              "MA\t58 \tMD\t3\t// \tAcceleration\r\r\n"
              "MA\t98 \tMD\t3\t// \tDeceleration\r\r\n");
    // Divided once, both lines carry the result.
    EXPECT_EQ(Convert("MA 63 MD 25\n"),
              "MA\t62 \tMD\t2\t// \tHome speed\r\r\n"
              "MA\t77 \tMD\t2\r\r\n");
}

TEST_F(ParamConvert, MultipliesOrDividesTowardZero)
{
    EXPECT_EQ(Convert("MA 24 MD -15\n"), "MA\t51 \tMD\t-1\t// \tRun current [0.1 A]\r\r\n");
    EXPECT_EQ(Convert("MA 26 MD 19\n"), "MA\t53 \tMD\t1\r\r\n");
    EXPECT_EQ(Convert("MA 4 MD -20\nMA 56 MD 33\n"),
              "MA\t94 \tMD\t-20\r\r\n"
              "MA\t65 \tMD\t33\r\r\n"
              "MA\t80 \tMD\t33\r\r\n");
}

TEST_F(ParamConvert, DropsParametersWithoutANewNumber)
{
    // 5 and 65 are dropped, 69 is the end row, 70 has no row at all.
    EXPECT_EQ(Convert("MA 5 MD 1\nMA 65 MD 2\nMA 69 MD 3\nMA 70 MD 4\nMA -3 MD 5\n"), "");
}

TEST_F(ParamConvert, TurnsEepromCommandsIntoCommentsAndKeepsOthers)
{
    EXPECT_EQ(Convert("LP\t\t// load\r\nTN\r\nLD\r\nSP\r\n"),
              "// LP\r\r\n// TN\r\r\nLD\r\r\n// SP\r\r\n");
    // Only "MA" and "MD" take a word; other text falls apart into commands.
    EXPECT_EQ(Convert("LD 123\n"), "LD\r\r\n12\r\r\n3\r\r\n");
}

TEST_F(ParamConvert, IgnoresADataLineBeforeAnyAddress)
{
    EXPECT_EQ(Convert("MD 5\nMD 6\nMA 23 MD 1\n"), "MA\t50 \tMD\t1\r\r\n");
}

TEST_F(ParamConvert, AnAddressWithoutNumberRestartsWithTheFollowingNumber)
{
    // A further "MD" maps the last address again; after an "MA" without a
    // number each "MD" moves on to the next old number.
    EXPECT_EQ(Convert("MA 23 MD 1 MD 2\n"
                      "MA\n"
                      "MD 30\n"
                      "MD 40\n"),
              "MA\t50 \tMD\t1\r\r\n"
              "MA\t50 \tMD\t2\r\r\n"
              "MA\t51 \tMD\t3\t// \tRun current [0.1 A]\r\r\n"
              "MA\t52 \tMD\t4\r\r\n");
}

TEST_F(ParamConvert, LeavesCommentsAndBlankLinesBehind)
{
    EXPECT_EQ(Convert("\r\n// header comment\r\n\r\n   \t\r\nMA 27 MD 9 // speed\r\n\r\n"),
              "MA\t54 \tMD\t9\r\r\n");
}

TEST_F(ParamConvert, MovesOnPastTextThatIsNoCommand)
{
    // "/*", control bytes and NUL give the lexer no command; the rest of that
    // line is dropped and the scan ends normally.
    bool ok = false;
    const char text[] = "MA 23 MD 1 /* note\r\n"
                        "\x01\x02 MA 24 MD 10\r\n"
                        "\0 MA 25 MD 20\r\n"
                        "LD\r\n"
                        "/*";
    EXPECT_EQ(Convert(std::string(text, sizeof text - 1), &ok),
              "MA\t50 \tMD\t1\r\r\nLD\r\r\n");
    EXPECT_TRUE(ok);
}

TEST_F(ParamConvert, FailsOnAnEmptyOrUnreadableOldFile)
{
    UniqueFile out = TempFile();
    CVcmFile empty;  // never loaded: the file could not be read
    EXPECT_FALSE(m_model.ConvertParameterFile(out.get(), &empty));

    UniqueFile in = TempFile();
    CVcmFile loadedEmpty;
    loadedEmpty.Load(0, in.get());
    EXPECT_FALSE(m_model.ConvertParameterFile(out.get(), &loadedEmpty));
    EXPECT_EQ(Contents(out.get()), "");
}

TEST_F(ParamConvert, AFailedWriteIsNoSuccess)
{
    UniqueFile in = TempFile();
    std::string text = "VR Tarvix Bipolar Version 1.0.0\r\nMA 24 MD 1500\r\nLP\r\n";
    std::fwrite(text.data(), 1, text.size(), in.get());
    std::rewind(in.get());
    CVcmFile lexer;
    lexer.Load(static_cast<int>(text.size()), in.get());
    DriveVersion version;
    ASSERT_TRUE(lexer.ReadVersionLine(&version));

    UniqueFile full(std::fopen("/dev/full", "w"));
    if (!full)
        GTEST_SKIP() << "no /dev/full";
    std::setvbuf(full.get(), nullptr, _IONBF, 0);
    EXPECT_FALSE(m_model.ConvertParameterFile(full.get(), &lexer));
    EXPECT_TRUE(lexer.AtEnd()) << "the scan still runs to the end";
}
