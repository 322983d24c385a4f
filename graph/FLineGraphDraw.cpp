// Resizing and drawing of a CFLineGraph.

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "graph/FLineGraph.h"
#include "graph/FOpenGL.h"
#include "graph/GLDeviceContext.h"
#include "graph/InnerArea.h"

namespace {

constexpr GraphRect kWholeSpace{-50, 50, 50, -50};

GLint PlottedValue(std::int32_t value, std::int32_t baseline)
{
    const std::int64_t sum = static_cast<std::int64_t>(value) + baseline;
    return static_cast<GLint>(std::clamp<std::int64_t>(sum, std::numeric_limits<GLint>::min(),
                                                       std::numeric_limits<GLint>::max()));
}

// From the first node toward older ones, at most count samples as integer
// vertices (x, value + baseline, z); the first sample left of the visible
// range is the last one taken. Returns the number of vertices.
GLsizei GatherVertices(const JDataList::Node* first, std::int32_t count, int channel, std::int32_t baseline,
                       GLint z, std::int64_t leftEnd, std::vector<GLint>& vertices)
{
    vertices.resize(static_cast<size_t>(count) * 3);
    GLint* out = vertices.data();
    const JDataList::Node* node = first;
    GLsizei sent = 0;
    while (sent < count) {
        *out++ = node->x;
        *out++ = PlottedValue(node->values[channel], baseline);
        *out++ = z;
        ++sent;
        if (node->x < leftEnd)
            break;
        node = node->prev;
    }
    return sent;
}

// The two lines of a readout: x (or its difference) and y, divided by the
// divisor when it is above 1.
void ReadoutLines(bool difference, long long x, long long y, std::int32_t divisor, std::string lines[2])
{
    char text[64];
    std::snprintf(text, sizeof text, difference ? "dX = %lld" : "X = %lld", x);
    lines[0] = text;
    if (divisor > 1)
        std::snprintf(text, sizeof text, difference ? "dY = %g" : "Y = %g", static_cast<double>(y) / divisor);
    else
        std::snprintf(text, sizeof text, difference ? "dY = %lld" : "Y = %lld", y);
    lines[1] = text;
}

}  // namespace

void CFLineGraph::Resize(host::GLDeviceContext* dc, std::int32_t width, std::int32_t height)
{
    m_pOpenGL->Resize(dc, width, height);
    CursorsOff();
    if (m_pInnerArea->Frame() == kWholeSpace)
        return;
    std::lock_guard lock(GraphLock());
    m_pInnerArea->SetFrame(kWholeSpace);
    m_XPole.Layout();
    for (int i = 0; i < m_nChannels; ++i) {
        if (CFYPole* channel = Channel(i))
            channel->Layout();
    }
}

void CFLineGraph::Draw(host::GLDeviceContext* dc)
{
    // Without a context there is nothing to draw with.
    if (!m_pOpenGL->MakeCurrent(dc))
        return;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glLoadIdentity();
    DrawFrame();
    m_XPole.SetOffset(static_cast<std::int64_t>(m_XPole.Increment()) * m_nXScrollPos);
    m_XPole.Draw(m_crGrid, m_crCaptions, m_crXLabels, m_nStyle);
    DrawYAxis();

    // Lines and dots only inside the plot rectangle.
    const GraphRect& plot = m_pInnerArea->Plot();
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NEVER, 1, 1);
    glStencilOp(GL_REPLACE, GL_REPLACE, GL_REPLACE);
    glRecti(plot.left, plot.bottom, plot.right, plot.top);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    DrawLines();
    glDisable(GL_STENCIL_TEST);

    if (m_bMeasuring) {
        DrawMeasuringCursors();
        if (m_bReadout)
            DrawReadout();
    } else if (m_bCrossHair) {
        DrawCrossHair();
        if (m_bReadout)
            DrawReadout();
    }
    if (m_bLegend)
        DrawLegend();
    glFlush();
    dc->SwapBuffers();
    host::MakeNoContextCurrent();
}

void CFLineGraph::DrawFrame()
{
    const GraphRect& plot = m_pInnerArea->Plot();
    glLoadIdentity();
    glLineWidth(1);
    CFOpenGL::SetColour(m_crFrame);
    glBegin(GL_LINE_LOOP);
    glVertex3i(plot.left, plot.bottom, -1);
    glVertex3i(plot.right, plot.bottom, -1);
    glVertex3i(plot.right, plot.top, -1);
    glVertex3i(plot.left, plot.top, -1);
    glEnd();
}

void CFLineGraph::DrawYAxis()
{
    std::lock_guard lock(GraphLock());
    CFYPole* channel = Channel(m_nCurrentChannel);
    if (!channel)
        return;
    const std::int32_t baseline = m_Samples.Baseline(m_nCurrentChannel);
    channel->SetOffset(static_cast<std::int64_t>(m_nYScrollPos) * channel->Increment());
    channel->Draw(m_crGrid, m_crCaptions, channel->Colour(), baseline, m_nStyle);
}

void CFLineGraph::DrawLines()
{
    std::lock_guard lock(GraphLock());
    if (m_nChannels == 0 || m_Samples.SampleCount() == 0)
        return;
    const GraphRect& a = m_pInnerArea->Plot();
    const std::int64_t nx = m_XPole.Divisions();
    const std::int64_t ix = m_XPole.Increment();
    const std::int64_t p = m_nXScrollPos;
    const double cx = std::abs(a.right - a.left) / static_cast<double>(nx * ix);
    const double tx = (a.left + a.right) / 2 - cx * static_cast<double>(p * ix);
    const std::int64_t rightEnd = ((nx >> 1) + p) * ix;
    const std::int64_t leftEnd = rightEnd - ix * nx;

    // The newest sample inside the view, or the one just right of it.
    const JDataList::Node* first = m_Samples.Current();
    std::int32_t count = m_Samples.SampleCount();
    while (count > 0 && first->x > rightEnd) {
        first = first->prev;
        --count;
    }
    if (count == 0)
        return;
    if (first != m_Samples.Current()) {
        first = first->next;
        ++count;
    }

    // One vertex array per channel, drawn as a strip (and as dots); the
    // buffer is kept between frames, so drawing allocates nothing.
    glPushMatrix();
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (int i = m_nChannels - 1; i >= 0; --i) {
        const CFYPole* channel = Channel(i);
        if (!channel || !channel->Visible())
            continue;
        const double units = static_cast<double>(channel->Divisions()) * channel->Increment();
        const double cy = std::abs(a.bottom - a.top) / units;
        const double ty = (a.top + a.bottom) / 2 - m_nYScrollPos * cy * channel->Increment();
        glLoadIdentity();
        glTranslated(tx, ty, 0);
        glScaled(cx, cy, 1);
        const std::int32_t baseline = m_Samples.Baseline(i);
        const GLint z = (i == m_nCurrentChannel) ? 1 : 0;
        glLineWidth(1);
        CFOpenGL::SetColour(channel->Colour());
        const GLsizei sent = GatherVertices(first, count, i, baseline, z, leftEnd, m_Vertices);
        glVertexPointer(3, GL_INT, 0, m_Vertices.data());
        glDrawArrays(GL_LINE_STRIP, 0, sent);
        if (m_nStyle & kStyleDots) {
            glPointSize(3);
            glDrawArrays(GL_POINTS, 0, sent);
        }
    }
    glPopClientAttrib();
    glPopMatrix();
}

void CFLineGraph::DrawCrossHair()
{
    m_pOpenGL->DrawDottedCross(m_pInnerArea->Plot(), m_Cursor[0].x, m_Cursor[0].y, 2, m_crCursor);
    m_bReadout = true;
    m_bLegend = false;
}

void CFLineGraph::DrawMeasuringCursors()
{
    m_pOpenGL->DrawDottedCrossPair(m_pInnerArea->Plot(), m_Cursor[0].x, m_Cursor[1].x, m_Cursor[0].y,
                                   m_Cursor[1].y, 2, m_crMeasuring);
    CFOpenGL::SetColour(m_crMeasuringText);
    m_bReadout = true;
    m_bLegend = false;
}

void CFLineGraph::DrawReadout()
{
    std::int32_t divisor = 0;
    {
        std::lock_guard lock(GraphLock());
        if (const CFYPole* channel = Channel(m_nCurrentChannel))
            divisor = channel->Divisor();
    }
    std::string lines[2];
    const CursorPoint& one = m_Cursor[0];
    const CursorPoint& two = m_Cursor[1];
    if (m_bMeasuring) {
        ReadoutLines(true, std::llabs(static_cast<long long>(one.dataX) - two.dataX),
                     std::llabs(static_cast<long long>(one.dataY) - two.dataY), divisor, lines);
    } else if (m_bCrossHair) {
        ReadoutLines(false, one.dataX, one.dataY, divisor, lines);
    } else {
        return;
    }
    const COLORREF colour = GetChannelColour(m_nCurrentChannel);
    const COLORREF colours[2] = {colour, colour};
    m_pOpenGL->DrawTextBox(lines, colours, m_crBackground, m_crBox, m_nLegendX, m_nLegendY);
}

void CFLineGraph::DrawLegend()
{
    std::vector<std::string> names;
    std::vector<COLORREF> colours;
    {
        std::lock_guard lock(GraphLock());
        if (m_nChannels == 0)
            return;
        for (int i = 0; i < m_nChannels; ++i) {
            const CFYPole* channel = Channel(i);
            names.push_back(channel ? channel->GetName() : std::string());
            colours.push_back(channel ? channel->Colour() : 0);
        }
    }
    m_pOpenGL->DrawTextBox(names, colours, m_crBackground, m_crBox, m_nLegendX, m_nLegendY);
}
