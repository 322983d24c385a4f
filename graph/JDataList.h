#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// The samples of a graph: one x and one value per channel each, in a doubly
// linked chain of nodes that grows ten nodes at a time and is only emptied as a
// whole. The head's previous and the tail's next pointer point to the node
// itself. Callers hold the graph lock.
class JDataList {
public:
    struct Node {
        std::int32_t x = 0;
        std::int32_t* values = nullptr;
        Node* prev = nullptr;
        Node* next = nullptr;
    };

    JDataList();
    virtual ~JDataList() = default;
    JDataList(const JDataList&) = delete;
    JDataList& operator=(const JDataList&) = delete;

    // Empties the list down to one value per sample and one node.
    void Reset();
    // Links ten more empty nodes behind the tail.
    void Grow();
    // Takes a sample whose x is above the last one (the first is always
    // taken); n values, at most the values per sample.
    bool AddSample(std::int32_t x, const std::int32_t* values, std::int16_t n);
    // Widens the list to n values per sample, which empties it; a list that
    // is wide enough is left alone. Returns the values per sample.
    std::int16_t SetChannelCount(std::int16_t n);

    std::int16_t ValuesPerSample() const { return m_nValues; }
    std::int32_t NodeCount() const { return m_nNodes; }
    std::int32_t SampleCount() const { return m_nSamples; }
    std::int32_t FirstX() const { return m_nFirstX; }
    std::int32_t LastX() const { return m_nLastX; }
    const Node* Head() const { return m_pHead; }
    // The newest sample's node; null while the list is empty.
    const Node* Current() const { return m_pCurrent; }
    // Added to channel i's plotted values, 0 beyond the values per sample.
    std::int32_t Baseline(int i) const;

private:
    // Nodes and their values are allocated together, a block at a time.
    struct Block {
        std::unique_ptr<Node[]> nodes;
        std::unique_ptr<std::int32_t[]> values;
    };

    Node* NewBlock(int nodes);
    void StartChain(std::int16_t values);

    std::int16_t m_nValues = 1;
    Node* m_pTail = nullptr;
    Node* m_pHead = nullptr;
    Node* m_pCurrent = nullptr;
    std::int32_t m_nNodes = 0;
    std::int32_t m_nSamples = 0;
    std::vector<std::int32_t> m_baseline;
    std::int32_t m_nFirstX = 0;
    std::int32_t m_nLastX = 0;
    std::vector<Block> m_blocks;
};
