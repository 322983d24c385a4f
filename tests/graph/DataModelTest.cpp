#include <gtest/gtest.h>

#include <climits>
#include <future>
#include <mutex>
#include <vector>

#include "graph/FLineGraph.h"
#include "graph/JDataList.h"

namespace {

void AddXs(JDataList& list, int from, int to)
{
    const std::int32_t value = 7;
    for (int x = from; x <= to; ++x)
        ASSERT_TRUE(list.AddSample(x, &value, 1));
}

void AddSamples(CFLineGraph& graph, const std::vector<std::vector<std::int32_t>>& rows)
{
    std::lock_guard lock(CFLineGraph::GraphLock());
    for (size_t j = 0; j < rows.size(); ++j)
        graph.Samples().AddSample(static_cast<std::int32_t>(j), rows[j].data(),
                                  static_cast<std::int16_t>(rows[j].size()));
}

void AddChannels(CFLineGraph& graph, int count)
{
    for (int i = 0; i < count; ++i)
        graph.AddChannel(QString("Data %1").arg(i), "", false, true, 0x100 + i, 10, 1000);
}

}  // namespace

TEST(JDataList, NodesComeTenAtATime)
{
    JDataList list;
    EXPECT_EQ(list.NodeCount(), 1);
    const std::int32_t value = 7;
    EXPECT_TRUE(list.AddSample(INT_MIN, &value, 1));  // the first sample, whatever its x
    EXPECT_EQ(list.FirstX(), INT_MIN);
    list.Reset();
    AddXs(list, 0, 0);
    EXPECT_EQ(list.NodeCount(), 1);
    AddXs(list, 1, 1);
    EXPECT_EQ(list.NodeCount(), 11);
    AddXs(list, 2, 10);
    EXPECT_EQ(list.NodeCount(), 11);
    AddXs(list, 11, 11);
    EXPECT_EQ(list.NodeCount(), 21);
    EXPECT_EQ(list.SampleCount(), 12);
    list.Reset();
    EXPECT_EQ(list.NodeCount(), 1);
    EXPECT_EQ(list.SampleCount(), 0);
    EXPECT_EQ(list.Current(), nullptr);
}

TEST(JDataList, RefusedSampleChangesNothing)
{
    struct Case {
        std::int32_t x;
        bool taken;
    };
    for (const Case& c : {Case{4, false}, Case{3, false}, Case{-100, false}, Case{5, true}}) {
        JDataList list;
        AddXs(list, 0, 4);
        const std::int32_t value = 99;
        EXPECT_EQ(list.AddSample(c.x, &value, 1), c.taken) << c.x;
        EXPECT_EQ(list.SampleCount(), c.taken ? 6 : 5);
        EXPECT_EQ(list.LastX(), c.taken ? c.x : 4);
        EXPECT_EQ(list.Current()->values[0], c.taken ? 99 : 7);
    }
}

TEST(JDataList, WideningEmptiesTheListNarrowingDoesNothing)
{
    JDataList list;
    AddXs(list, 0, 14);
    EXPECT_EQ(list.SetChannelCount(1), 1);
    EXPECT_EQ(list.SampleCount(), 15);
    EXPECT_EQ(list.SetChannelCount(3), 3);
    EXPECT_EQ(list.SampleCount(), 0);
    EXPECT_EQ(list.NodeCount(), 1);
    EXPECT_EQ(list.SetChannelCount(2), 3);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list.Baseline(i), 0);
}

TEST(JDataList, MoreValuesThanASampleHoldsAreRefused)
{
    JDataList list;
    list.SetChannelCount(2);
    const std::int32_t values[3] = {1, 2, 3};
    EXPECT_FALSE(list.AddSample(0, values, 3));
    EXPECT_EQ(list.SampleCount(), 0);
    EXPECT_TRUE(list.AddSample(0, values, 1));
    EXPECT_EQ(list.Current()->values[1], 0);
}

TEST(CFLineGraph, ChannelsAreNumberedAndWidenTheSamples)
{
    CFLineGraph graph;
    graph.Clear();
    EXPECT_EQ(graph.AddChannel("Data 0", "", false, true, 0x2020FF, 10, 1000), 0);
    EXPECT_EQ(graph.Samples().ValuesPerSample(), 1);
    EXPECT_EQ(graph.AddChannel("Data 1", "", false, true, 0x4484FF, 10, 1000), 1);
    EXPECT_EQ(graph.Samples().ValuesPerSample(), 2);
    EXPECT_EQ(graph.CurrentChannel(), 0);
    EXPECT_EQ(graph.ChannelCount(), 2);
    EXPECT_EQ(graph.Channel(1)->GetName(), "Data 1");
}

TEST(CFLineGraph, SixteenChannels)
{
    CFLineGraph graph;
    AddChannels(graph, 16);
    ASSERT_EQ(graph.ChannelCount(), 16);
    std::vector<std::int32_t> row(16, 0);
    row[15] = 32767;
    row[9] = -32768;
    AddSamples(graph, {row, std::vector<std::int32_t>(16, 5)});
    EXPECT_EQ(graph.GetMaxY(), 32767);
    EXPECT_EQ(graph.GetMinY(), -32768);
    EXPECT_EQ(graph.GetChannelColour(15), 0x10Fu);
    EXPECT_EQ(graph.GetChannelColour(16), 0u);
    EXPECT_EQ(graph.GetChannelColour(-1), 0u);
    EXPECT_EQ(graph.Samples().Current()->values[15], 5);
}

TEST(CFLineGraph, Ranges)
{
    struct Case {
        const char* name;
        std::vector<std::vector<std::int32_t>> rows;
        std::int32_t minX, maxX, minY, maxY;
    };
    std::vector<std::vector<std::int32_t>> hundred;
    for (int j = 0; j < 100; ++j)
        hundred.push_back({j * 3, -j});
    const Case cases[] = {
        {"empty", {}, 0, 0, 0, 0},
        {"x 0 .. 99", hundred, 0, 99, -99, 297},
        {"all negative", {{-5, -9}, {-7, -3}}, 0, 1, -9, -3},
        {"all positive", {{5, 9}, {7, 3}}, 0, 1, 3, 9},
    };
    for (const Case& c : cases) {
        CFLineGraph graph;
        AddChannels(graph, 2);
        AddSamples(graph, c.rows);
        EXPECT_EQ(graph.GetMinX(), c.minX) << c.name;
        EXPECT_EQ(graph.GetMaxX(), c.maxX) << c.name;
        EXPECT_EQ(graph.GetMinY(), c.minY) << c.name;
        EXPECT_EQ(graph.GetMaxY(), c.maxY) << c.name;
    }
}

TEST(CFLineGraph, ChannelYIncrement)
{
    struct Case {
        int channel;
        std::int32_t increment;
        std::int32_t channel0, channel1;
    };
    const Case cases[] = {
        {0, 250, 250, 1000},    {1, 0, 1000, 1},      {1, -5, 1000, 1},
        {-1, 7, 1000, 1000},    {2, 7, 1000, 1000},   {0, INT_MAX, kMaxIncrement, 1000},
    };
    for (const Case& c : cases) {
        CFLineGraph graph;
        AddChannels(graph, 2);
        graph.SetChannelYInc(c.channel, c.increment);
        EXPECT_EQ(graph.Channel(0)->Increment(), c.channel0) << c.channel << " " << c.increment;
        EXPECT_EQ(graph.Channel(1)->Increment(), c.channel1) << c.channel << " " << c.increment;
    }
}

TEST(CFLineGraph, ClearKeepsTheDisplaySettings)
{
    CFLineGraph graph;
    AddChannels(graph, 3);
    AddSamples(graph, {{1, 2, 3}});
    graph.m_nXScrollPos = 12;
    graph.m_nYScrollPos = -4;
    graph.m_nStyle = 34;
    graph.m_bLegend = true;
    graph.m_bCrossHair = graph.m_bMeasuring = true;
    graph.XPole().SetIncrement(50);
    graph.Clear();
    EXPECT_EQ(graph.ChannelCount(), 0);
    EXPECT_EQ(graph.Channel(0), nullptr);
    EXPECT_EQ(graph.Samples().SampleCount(), 0);
    EXPECT_EQ(graph.Samples().ValuesPerSample(), 1);
    EXPECT_FALSE(graph.m_bCrossHair || graph.m_bMeasuring);
    EXPECT_EQ(graph.m_nXScrollPos, 12);
    EXPECT_EQ(graph.m_nYScrollPos, -4);
    EXPECT_EQ(graph.m_nStyle, 34);
    EXPECT_TRUE(graph.m_bLegend);
    EXPECT_EQ(graph.XPole().Increment(), 50);
}

TEST(CFLineGraph, HolderEntersTheLockAgain)
{
    CFLineGraph graph;
    std::lock_guard lock(CFLineGraph::GraphLock());
    AddChannels(graph, 2);
    AddSamples(graph, {{1, -1}});
    EXPECT_EQ(graph.GetMaxY(), 1);
    // Another thread has to wait for it.
    auto other = std::async(std::launch::async, [] { return CFLineGraph::GraphLock().try_lock(); });
    EXPECT_FALSE(other.get());
}

TEST(CFYPole, DivisionsAndIncrementAreKeptInRange)
{
    struct Case {
        std::int16_t divisions;
        std::int32_t increment;
        std::int16_t keptDivisions;
        std::int32_t keptIncrement;
    };
    const Case cases[] = {{1, 10, 5, 10}, {31, 10, 5, 10}, {0, 10, 5, 10}, {30, 10, 30, 10},
                          {2, 0, 2, 1},   {10, -3, 10, 1}, {10, INT_MAX, 10, kMaxIncrement}};
    for (const Case& c : cases) {
        CFYPole pole("name", "", false, true, 0, c.divisions, c.increment);
        EXPECT_EQ(pole.Divisions(), c.keptDivisions) << c.divisions;
        EXPECT_EQ(pole.Increment(), c.keptIncrement) << c.increment;
    }
}
