#include "graph/FYPole.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "graph/FOpenGL.h"
#include "graph/InnerArea.h"

CFYPole::CFYPole(const QString& name, const QString& unit, bool showUnit, bool showLabels, COLORREF colour,
                 std::int16_t divisions, std::int32_t increment)
    : m_pOpenGL(&CFOpenGL::Shared()), m_pInnerArea(&CInnerArea::Shared())
{
    Layout();
    Set(name, unit, showUnit, showLabels, colour, divisions, increment);
}

void CFYPole::Set(const QString& name, const QString& unit, bool showUnit, bool showLabels, COLORREF colour,
                  std::int16_t divisions, std::int32_t increment)
{
    m_strName = name.toLocal8Bit().toStdString();
    m_strUnit = unit.toLocal8Bit().toStdString();
    m_bShowUnit = showUnit;
    m_bShowLabels = showLabels;
    m_colour = colour;
    if (divisions != m_grid.Divisions()) {
        m_grid.Resize(divisions >= 2 && divisions <= 30 ? divisions : 5);
        Layout();
    }
    SetIncrement(increment);
}

void CFYPole::Layout()
{
    const GraphRect& plot = m_pInnerArea->Plot();
    m_grid.Layout(plot.bottom, plot.top);
}

void CFYPole::SetIncrement(std::int32_t increment)
{
    m_nIncrement = std::clamp(increment, 1, kMaxIncrement);
}

std::string CFYPole::LabelText(int j, std::int32_t baseline) const
{
    const std::int64_t v = m_grid.Value(j, m_nIncrement, m_nOffset) - baseline;
    const double x = m_nDivisor > 1 ? static_cast<double>(v) / m_nDivisor : static_cast<double>(v);
    char text[20];
    if (std::fabs(x) >= 1e9)
        std::snprintf(text, sizeof text, "%.1fG", x / 1e9);
    else if (std::fabs(x) >= 1e6)
        std::snprintf(text, sizeof text, "%.1fM", x / 1e6);
    else if (std::fabs(x) >= 1000)
        std::snprintf(text, sizeof text, "%.1fK", x / 1000);
    else if (m_nDivisor > 1)
        std::snprintf(text, sizeof text, "%.3g", x);
    else
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(v));
    return text;
}

void CFYPole::Draw(COLORREF grid, COLORREF unit, COLORREF labels, std::int32_t baseline, std::uint16_t style)
{
    const GraphRect& plot = m_pInnerArea->Plot();
    const int n = Divisions();
    glLoadIdentity();
    m_grid.Draw(false, plot, grid, m_nIncrement, m_nOffset, style);
    if (m_bShowLabels) {
        CFOpenGL::SetColour(labels);
        for (int j = 0; j + 1 < n; ++j)
            m_pOpenGL->PrintText(plot.left - 0.5, m_grid.Pos(j), 1, 5, "%s", LabelText(j, baseline).c_str());
    }
    if (m_bShowUnit && n > 0) {
        CFOpenGL::SetColour(unit);
        m_pOpenGL->PrintText(plot.left, m_grid.Pos(n - 1), 1, 8, "%s", m_strUnit.c_str());
    }
}
