#pragma once

#include <QString>

#include <cstdint>
#include <string>

#include "graph/AxisGrid.h"
#include "graph/GraphTypes.h"

class CFOpenGL;
class CInnerArea;

// The vertical axis of one channel: its grid up the plot rectangle, zero line,
// value labels, unit text, and the channel's name, colour and visibility.
class CFYPole {
public:
    CFYPole(const QString& name, const QString& unit, bool showUnit, bool showLabels, COLORREF colour,
            std::int16_t divisions, std::int32_t increment);
    virtual ~CFYPole() = default;

    // Divisions outside 2 .. 30 become 5; the increment is kept within 1 .. kMaxIncrement.
    void Set(const QString& name, const QString& unit, bool showUnit, bool showLabels, COLORREF colour,
             std::int16_t divisions, std::int32_t increment);
    std::string GetName() const { return m_strName; }
    // Grid positions up the plot rectangle of the shared inner area.
    void Layout();
    void Draw(COLORREF grid, COLORREF unit, COLORREF labels, std::int32_t baseline, std::uint16_t style);

    std::int16_t Divisions() const { return m_grid.Divisions(); }
    std::int32_t Increment() const { return m_nIncrement; }
    void SetIncrement(std::int32_t increment);
    // Data value at the middle of the plot rectangle.
    std::int64_t Offset() const { return m_nOffset; }
    void SetOffset(std::int64_t offset) { m_nOffset = offset; }
    COLORREF Colour() const { return m_colour; }
    // Shown values are raw values / divisor when it is above 1.
    std::int32_t Divisor() const { return m_nDivisor; }
    void SetDivisor(std::int32_t divisor) { m_nDivisor = divisor; }
    bool Visible() const { return m_bVisible; }
    void SetVisible(bool visible) { m_bVisible = visible; }
    const CAxisGrid& Grid() const { return m_grid; }

    // Label beside grid line j (0 .. divisions - 2), at most 19 characters.
    std::string LabelText(int j, std::int32_t baseline) const;

private:
    CFOpenGL* m_pOpenGL;
    CInnerArea* m_pInnerArea;
    CAxisGrid m_grid{2};
    std::int32_t m_nIncrement = 1;
    std::int64_t m_nOffset = 0;
    std::string m_strUnit;
    std::string m_strName;
    COLORREF m_colour = 0;
    std::int32_t m_nDivisor = 1;
    bool m_bShowUnit = false;
    bool m_bShowLabels = false;
    bool m_bVisible = true;
};
