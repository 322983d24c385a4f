#pragma once

#include <cstdint>
#include <vector>

#include "graph/GraphTypes.h"

// The grid of one axis: divisions, their edges in the drawing space, the value
// at each grid line and the zero line. Values are 64-bit: a scroll position
// times an increment does not fit 32 bits.
class CAxisGrid {
public:
    explicit CAxisGrid(std::int16_t divisions);

    // Edges of every division between low and high (drawing space).
    void Layout(double low, double high);
    // Changes the number of divisions; the edges need a Layout afterwards.
    void Resize(std::int16_t divisions);

    std::int16_t Divisions() const { return m_nDivisions; }
    double Pos(int j) const { return m_pos[j]; }
    // Value at grid line j for an axis centred on offset.
    std::int64_t Value(int j, std::int32_t increment, std::int64_t offset) const;
    // Grid line of the value zero, -1 when it is not drawn for this style.
    int ZeroLine(std::int32_t increment, std::int64_t offset, std::uint16_t style) const;
    // Stippled grid lines 0 .. n - 2 across plot (vertical ones for the X
    // axis), then the solid zero line; nothing with kStyleNoGrid.
    void Draw(bool vertical, const GraphRect& plot, COLORREF colour, std::int32_t increment,
              std::int64_t offset, std::uint16_t style) const;

private:
    std::int16_t m_nDivisions;
    std::vector<double> m_pos;
};
