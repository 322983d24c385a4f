#pragma once

#include <cstdint>

#include "graph/GraphTypes.h"

// The part of the drawing space that the graph occupies (the frame) and,
// inside its margins, the plot rectangle where grid and lines go. One per
// process, shared by every graph and axis.
class CInnerArea {
public:
    static CInnerArea& Shared();

    CInnerArea() = default;
    virtual ~CInnerArea() = default;

    // Takes rect only while the frame held so far is larger than the margins.
    void SetFrame(const GraphRect& rect);
    // Widens a frame too small for the margins, then places the plot rectangle.
    void SetMargins(std::uint32_t left, std::uint32_t right, std::uint32_t top, std::uint32_t bottom);

    const GraphRect& Frame() const { return m_rcFrame; }
    const GraphRect& Plot() const { return m_rcPlot; }

private:
    GraphRect m_rcFrame{-5, -5, 5, 5};
    GraphRect m_rcPlot{-4, -4, 4, 4};
    std::uint32_t m_nLeft = 1;
    std::uint32_t m_nRight = 1;
    std::uint32_t m_nTop = 1;
    std::uint32_t m_nBottom = 1;
};
