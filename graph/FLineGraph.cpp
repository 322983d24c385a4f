#include "graph/FLineGraph.h"

#include <algorithm>

#include "graph/FOpenGL.h"
#include "graph/InnerArea.h"

namespace {

// Walks the samples from the oldest and folds value i of each with pick.
template <typename Pick>
std::int32_t Fold(const JDataList& samples, int i, Pick pick)
{
    if (i >= samples.ValuesPerSample())
        return 0;
    const JDataList::Node* node = samples.Head();
    std::int32_t result = node->values[i];
    for (std::int32_t k = 1; k < samples.SampleCount(); ++k) {
        node = node->next;
        result = pick(result, node->values[i]);
    }
    return result;
}

// Over channels 0 .. count - 1 (value 0 alone without a channel).
template <typename Pick>
std::int32_t FoldChannels(const JDataList& samples, int count, Pick pick)
{
    if (samples.SampleCount() == 0)
        return 0;
    std::int32_t result = Fold(samples, 0, pick);
    for (int i = 1; i < count; ++i)
        result = pick(result, Fold(samples, i, pick));
    return result;
}

std::int32_t Larger(std::int32_t a, std::int32_t b)
{
    return std::max(a, b);
}

std::int32_t Smaller(std::int32_t a, std::int32_t b)
{
    return std::min(a, b);
}

}  // namespace

std::recursive_mutex& CFLineGraph::GraphLock()
{
    static std::recursive_mutex lock;
    return lock;
}

CFLineGraph::CFLineGraph() : m_pOpenGL(&CFOpenGL::Shared()), m_pInnerArea(&CInnerArea::Shared())
{
    std::lock_guard lock(GraphLock());
    m_pInnerArea->SetFrame({0, 100, 100, 0});
    m_pInnerArea->SetMargins(10, 2, 2, 6);
}

CFLineGraph::~CFLineGraph()
{
    std::lock_guard lock(GraphLock());
    while (!m_Channels.empty())
        m_Channels.pop_back();
}

void CFLineGraph::Clear()
{
    CursorsOff();
    std::lock_guard lock(GraphLock());
    m_Samples.Reset();
    m_nCurrentChannel = 0;
    m_nChannels = 0;
    m_Channels.clear();
}

std::int16_t CFLineGraph::AddChannel(const QString& name, const QString& unit, bool showUnit,
                                     bool showLabels, COLORREF colour, std::int16_t divisions,
                                     std::int32_t yIncrement)
{
    std::lock_guard lock(GraphLock());
    {
        std::lock_guard again(GraphLock());
        ++m_nChannels;
        m_Samples.SetChannelCount(m_nChannels);
    }
    m_Channels.push_back(
        std::make_unique<CFYPole>(name, unit, showUnit, showLabels, colour, divisions, yIncrement));
    m_nCurrentChannel = 0;
    return static_cast<std::int16_t>(m_Channels.size() - 1);
}

CFYPole* CFLineGraph::Channel(int i) const
{
    if (i < 0 || i >= m_nChannels || i >= static_cast<int>(m_Channels.size()))
        return nullptr;
    return m_Channels[i].get();
}

COLORREF CFLineGraph::GetChannelColour(int i) const
{
    std::lock_guard lock(GraphLock());
    const CFYPole* channel = Channel(i);
    return channel ? channel->Colour() : 0;
}

void CFLineGraph::SetChannelYInc(int i, std::int32_t increment)
{
    std::lock_guard lock(GraphLock());
    if (CFYPole* channel = Channel(i))
        channel->SetIncrement(increment);
}

std::int32_t CFLineGraph::GetMaxX() const
{
    std::lock_guard lock(GraphLock());
    return m_Samples.SampleCount() ? m_Samples.LastX() : 0;
}

std::int32_t CFLineGraph::GetMinX() const
{
    std::lock_guard lock(GraphLock());
    return m_Samples.SampleCount() ? m_Samples.FirstX() : 0;
}

std::int32_t CFLineGraph::GetMaxY() const
{
    std::lock_guard lock(GraphLock());
    return FoldChannels(m_Samples, m_nChannels, Larger);
}

std::int32_t CFLineGraph::GetMinY() const
{
    std::lock_guard lock(GraphLock());
    return FoldChannels(m_Samples, m_nChannels, Smaller);
}

void CFLineGraph::CursorsOff()
{
    m_bCrossHair = false;
    m_bMeasuring = false;
}
