#include "graph/JDataList.h"

#include <algorithm>

namespace {

constexpr int kGrowBy = 10;

}  // namespace

JDataList::JDataList()
{
    Reset();
}

void JDataList::Reset()
{
    StartChain(1);
}

std::int16_t JDataList::SetChannelCount(std::int16_t n)
{
    if (m_nValues >= n)
        return m_nValues;
    StartChain(n);
    return n;
}

void JDataList::StartChain(std::int16_t values)
{
    m_blocks.clear();
    m_baseline.assign(values, 0);
    m_nValues = values;
    Node* node = NewBlock(1);
    node->prev = node;
    node->next = node;
    m_pHead = m_pTail = node;
    m_pCurrent = nullptr;
    m_nNodes = 1;
    m_nSamples = 0;
    m_nFirstX = m_nLastX = 0;
}

JDataList::Node* JDataList::NewBlock(int nodes)
{
    Block block;
    block.nodes = std::make_unique<Node[]>(nodes);
    // Zeroed: a value that a sample leaves out reads as 0, not as garbage.
    block.values = std::make_unique<std::int32_t[]>(static_cast<size_t>(nodes) * m_nValues);
    for (int k = 0; k < nodes; ++k)
        block.nodes[k].values = &block.values[static_cast<size_t>(k) * m_nValues];
    Node* first = block.nodes.get();
    m_blocks.push_back(std::move(block));
    return first;
}

void JDataList::Grow()
{
    Node* nodes = NewBlock(kGrowBy);
    for (int k = 0; k < kGrowBy; ++k) {
        Node* node = &nodes[k];
        node->prev = m_pTail;
        m_pTail->next = node;
        node->next = node;
        m_pTail = node;
        ++m_nNodes;
    }
}

bool JDataList::AddSample(std::int32_t x, const std::int32_t* values, std::int16_t n)
{
    if (n < 0 || n > m_nValues || (n > 0 && !values))
        return false;
    Node* target = m_pHead;
    if (m_nSamples == 0) {
        m_nFirstX = m_nLastX = x;
    } else {
        if (x <= m_nLastX)
            return false;
        if (m_nSamples >= m_nNodes)
            Grow();
        target = m_pCurrent->next;
    }
    target->x = x;
    std::copy(values, values + n, target->values);
    ++m_nSamples;
    m_pCurrent = target;
    m_nFirstX = m_pHead->x;
    m_nLastX = x;
    return true;
}

std::int32_t JDataList::Baseline(int i) const
{
    return (i >= 0 && i < m_nValues) ? m_baseline[i] : 0;
}
