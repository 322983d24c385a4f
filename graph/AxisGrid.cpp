#include "graph/AxisGrid.h"

#include <cmath>

#include <GL/gl.h>

#include "graph/FOpenGL.h"

CAxisGrid::CAxisGrid(std::int16_t divisions)
{
    Resize(divisions);
}

void CAxisGrid::Resize(std::int16_t divisions)
{
    m_nDivisions = divisions;
    m_pos.assign(divisions > 0 ? divisions : 0, 0.0);
}

void CAxisGrid::Layout(double low, double high)
{
    const double span = std::fabs(high - low);
    for (int j = 0; j < m_nDivisions; ++j)
        m_pos[j] = low + (j + 1) * span / m_nDivisions;
}

std::int64_t CAxisGrid::Value(int j, std::int32_t increment, std::int64_t offset) const
{
    const int half = m_nDivisions >> 1;
    return static_cast<std::int64_t>(j - half + 1) * increment + offset;
}

int CAxisGrid::ZeroLine(std::int32_t increment, std::int64_t offset, std::uint16_t style) const
{
    if ((style & kStyleNoGrid) || !(style & kStyleZeroLine) || increment < 1)
        return -1;
    const std::int64_t k = (m_nDivisions >> 1) - offset / increment;
    return (k > 0 && k < m_nDivisions) ? static_cast<int>(k - 1) : -1;
}

void CAxisGrid::Draw(bool vertical, const GraphRect& plot, COLORREF colour, std::int32_t increment,
                     std::int64_t offset, std::uint16_t style) const
{
    if (style & kStyleNoGrid)
        return;
    auto line = [&](double at) {
        if (vertical) {
            glVertex3d(at, plot.top, -1);
            glVertex3d(at, plot.bottom, -1);
        } else {
            glVertex3d(plot.left, at, -1);
            glVertex3d(plot.right, at, -1);
        }
    };
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0x1111);
    CFOpenGL::SetColour(colour);
    glBegin(GL_LINES);
    for (int j = 0; j + 1 < m_nDivisions; ++j)
        line(m_pos[j]);
    glEnd();
    glDisable(GL_LINE_STIPPLE);
    const int zero = ZeroLine(increment, offset, style);
    if (zero >= 0) {
        glBegin(GL_LINES);
        line(m_pos[zero]);
        glEnd();
    }
}
