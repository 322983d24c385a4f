#include "graph/FXPole.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

#include "graph/FOpenGL.h"
#include "graph/InnerArea.h"

namespace {

// Labels are formatted into 16 bytes: at most 15 characters.
std::string Label(long long value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%lld", value);
    return text;
}

}  // namespace

CFXPole::CFXPole() : m_pOpenGL(&CFOpenGL::Shared()), m_pInnerArea(&CInnerArea::Shared())
{
    Layout();
}

void CFXPole::Layout()
{
    const GraphRect& plot = m_pInnerArea->Plot();
    m_grid.Layout(plot.left, plot.right);
}

void CFXPole::SetIncrement(std::int32_t increment)
{
    m_nIncrement = std::clamp(increment, 1, kMaxIncrement);
}

std::string CFXPole::LabelText(int j) const
{
    return Label(m_grid.Value(j, m_nIncrement, m_nOffset));
}

std::array<std::string, 3> CFXPole::CompactLabels() const
{
    const std::int64_t half = static_cast<std::int64_t>(Divisions() >> 1) * m_nIncrement;
    std::string middle = Label(m_nOffset);
    if (m_bShowUnit) {
        char text[16];
        std::snprintf(text, sizeof text, "%lld %s", static_cast<long long>(m_nOffset), m_strUnit.c_str());
        middle = text;
    }
    return {Label(m_nOffset - half), middle, Label(m_nOffset + half)};
}

void CFXPole::Draw(COLORREF grid, COLORREF unit, COLORREF labels, std::uint16_t style)
{
    const GraphRect& plot = m_pInnerArea->Plot();
    const int n = Divisions();
    glLoadIdentity();
    m_grid.Draw(true, plot, grid, m_nIncrement, m_nOffset, style);
    if (n < 2)
        return;
    const bool compact = style & kStyleCompactX;
    if (compact && m_bShowLabels) {
        const std::array<std::string, 3> texts = CompactLabels();
        CFOpenGL::SetColour(labels);
        m_pOpenGL->PrintText(plot.left, plot.bottom, 1, 6, "%s", texts[0].c_str());
        m_pOpenGL->PrintText(plot.right, plot.bottom, 1, 8, "%s", texts[2].c_str());
        m_pOpenGL->PrintText(m_grid.Pos((n >> 1) - 1), plot.bottom, 1, 7, "%s", texts[1].c_str());
        return;
    }
    if (!compact && m_bShowLabels) {
        CFOpenGL::SetColour(labels);
        for (int j = 0; j + 1 < n; ++j)
            m_pOpenGL->PrintText(m_grid.Pos(j), plot.bottom, 1, 7, "%s", LabelText(j).c_str());
    }
    if (m_bShowUnit) {
        CFOpenGL::SetColour(unit);
        m_pOpenGL->PrintText(m_grid.Pos(n - 1), plot.bottom, 1, 8, "%s", m_strUnit.c_str());
    }
}
