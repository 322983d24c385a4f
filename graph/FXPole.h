#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "graph/AxisGrid.h"
#include "graph/GraphTypes.h"

class CFOpenGL;
class CInnerArea;

// The horizontal axis shared by all channels of a graph: its grid across the
// plot rectangle, zero line, value labels and unit text.
class CFXPole {
public:
    CFXPole();
    virtual ~CFXPole() = default;

    // Grid positions across the plot rectangle of the shared inner area.
    void Layout();
    void Draw(COLORREF grid, COLORREF unit, COLORREF labels, std::uint16_t style);

    std::int16_t Divisions() const { return m_grid.Divisions(); }
    std::int32_t Increment() const { return m_nIncrement; }
    // Data x units per division, kept within 1 .. kMaxIncrement.
    void SetIncrement(std::int32_t increment);
    // Data x at the centre of the plot rectangle.
    std::int64_t Offset() const { return m_nOffset; }
    void SetOffset(std::int64_t offset) { m_nOffset = offset; }
    const CAxisGrid& Grid() const { return m_grid; }

    // Label under grid line j (0 .. divisions - 2).
    std::string LabelText(int j) const;
    // Compact labels: left edge, middle, right edge.
    std::array<std::string, 3> CompactLabels() const;

private:
    CFOpenGL* m_pOpenGL;
    CInnerArea* m_pInnerArea;
    CAxisGrid m_grid{10};
    std::int32_t m_nIncrement = 1;
    std::string m_strUnit;
    std::int64_t m_nOffset = 0;
    // Nothing sets these: the value labels are shown, the empty unit text is not.
    bool m_bShowUnit = false;
    bool m_bShowLabels = true;
};
