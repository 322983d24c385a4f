#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "graph/FLineGraph.h"
#include "graph/FXPole.h"
#include "graph/FYPole.h"
#include "graph/InnerArea.h"

namespace {

std::vector<std::string> XLabels(const CFXPole& pole)
{
    std::vector<std::string> labels;
    for (int j = 0; j + 1 < pole.Divisions(); ++j)
        labels.push_back(pole.LabelText(j));
    return labels;
}

std::vector<std::string> YLabels(const CFYPole& pole)
{
    std::vector<std::string> labels;
    for (int j = 0; j + 1 < pole.Divisions(); ++j)
        labels.push_back(pole.LabelText(j, 0));
    return labels;
}

}  // namespace

TEST(CInnerArea, MarginsPlaceThePlotRectangle)
{
    CInnerArea area;
    area.SetFrame({-50, 50, 50, -50});
    area.SetMargins(10, 2, 2, 6);
    EXPECT_EQ(area.Plot(), (GraphRect{-40, 48, 48, -44}));
    EXPECT_EQ(area.Frame(), (GraphRect{-50, 50, 50, -50}));
}

TEST(CInnerArea, FrameTooSmallForTheMarginsIsWidened)
{
    CInnerArea area;  // frame -5, -5, 5, 5
    area.SetMargins(10, 2, 2, 6);
    EXPECT_EQ(area.Frame(), (GraphRect{-5, -5, 8, 5}));
    area.SetMargins(10, 2, 6, 6);
    EXPECT_EQ(area.Frame(), (GraphRect{-5, -5, 8, 8}));
    EXPECT_EQ(area.Plot(), (GraphRect{5, -11, 6, 14}));
}

TEST(CFXPole, LabelsAndZeroLineFollowTheOffset)
{
    struct Case {
        std::int64_t offset;
        std::vector<std::string> labels;
        int zeroLine;
    };
    const Case cases[] = {
        {0, {"-100", "-75", "-50", "-25", "0", "25", "50", "75", "100"}, 4},
        {75, {"-25", "0", "25", "50", "75", "100", "125", "150", "175"}, 1},
    };
    for (const Case& c : cases) {
        CFXPole pole;
        pole.SetIncrement(25);
        pole.SetOffset(c.offset);
        EXPECT_EQ(XLabels(pole), c.labels) << c.offset;
        EXPECT_EQ(pole.Grid().ZeroLine(25, c.offset, kStyleZeroLine), c.zeroLine) << c.offset;
    }
}

TEST(CFXPole, CompactLabels)
{
    CFXPole pole;
    pole.SetIncrement(25);
    EXPECT_EQ(pole.CompactLabels(), (std::array<std::string, 3>{"-125", "0", "125"}));
}

TEST(CFXPole, ZeroLineOnlyWhenVisibleAndAskedFor)
{
    struct Case {
        std::int64_t offset;
        std::uint16_t style;
        int zeroLine;
    };
    const Case cases[] = {
        {0, kStyleZeroLine, 4},
        {100, kStyleZeroLine, 0},    // k = 1: the first grid line
        {125, kStyleZeroLine, -1},   // k = 0
        {-125, kStyleZeroLine, -1},  // k = n
        {0, 0, -1},
        {0, kStyleZeroLine | kStyleNoGrid, -1},
    };
    CFXPole pole;
    for (const Case& c : cases)
        EXPECT_EQ(pole.Grid().ZeroLine(25, c.offset, c.style), c.zeroLine) << c.offset << " " << c.style;
}

TEST(CFXPole, GridEndsAtTheRightEdgeOfThePlot)
{
    CFLineGraph graph;  // the graph's margins
    CInnerArea::Shared().SetFrame({-50, 50, 50, -50});
    CFXPole pole;
    EXPECT_DOUBLE_EQ(pole.Grid().Pos(0), -31.2);
    EXPECT_DOUBLE_EQ(pole.Grid().Pos(9), 48.0);
}

TEST(CFYPole, LabelsOfAChannel)
{
    CFYPole thousands("Data 0", "", false, true, 0, 10, 1000);
    EXPECT_EQ(YLabels(thousands), (std::vector<std::string>{"-4.0K", "-3.0K", "-2.0K", "-1.0K", "0", "1.0K",
                                                           "2.0K", "3.0K", "4.0K"}));
    CFYPole hundreds("Data 0", "", false, true, 0, 10, 100);
    EXPECT_EQ(YLabels(hundreds), (std::vector<std::string>{"-400", "-300", "-200", "-100", "0", "100", "200",
                                                          "300", "400"}));
}

TEST(CFYPole, LabelForms)
{
    struct Case {
        std::int64_t value;
        std::int32_t divisor;
        const char* text;
    };
    const Case cases[] = {
        {999, 1, "999"},          {1000, 1, "1.0K"},           {1500000, 1, "1.5M"},
        {-2000000000, 1, "-2.0G"}, {-999, 1, "-999"},          {7, 4, "1.75"},
        {4000, 4, "1.0K"},        {4LL * INT_MAX, 1, "8.6G"},
    };
    // With two divisions, the one label shows the offset less the baseline.
    for (const Case& c : cases) {
        CFYPole pole("Data 0", "", false, true, 0, 2, 1);
        pole.SetDivisor(c.divisor);
        pole.SetOffset(c.value + 5);
        EXPECT_EQ(pole.LabelText(0, 5), c.text) << c.value;
    }
}

TEST(CFXPole, LargestIncrementAtTheFarthestScrollDoesNotOverflow)
{
    CFXPole pole;
    pole.SetIncrement(INT_MAX);
    ASSERT_EQ(pole.Increment(), kMaxIncrement);
    const std::int64_t offset = static_cast<std::int64_t>(INT_MAX) * kMaxIncrement;
    pole.SetOffset(offset);
    EXPECT_EQ(pole.LabelText(8), std::to_string(offset + 4LL * kMaxIncrement).substr(0, 15));
    EXPECT_EQ(pole.Grid().ZeroLine(kMaxIncrement, offset, kStyleZeroLine), -1);
    pole.SetOffset(-offset);
    EXPECT_EQ(pole.CompactLabels()[0], std::to_string(-offset - 5LL * kMaxIncrement).substr(0, 15));
}
