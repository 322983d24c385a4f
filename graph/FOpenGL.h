#pragma once

#include <QPointer>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "graph/GLDeviceContext.h"
#include "graph/GraphTypes.h"

class QOpenGLContext;

// The drawing surface of the graph library, one per process: the rendering
// context, the fixed drawing space of -50 .. 50 (x, y) and -3 .. 3 (z), a
// bitmap font of the characters 32 .. 127 and text output at nine alignments.
class CFOpenGL {
public:
    // The one instance, made by the first graph object that needs it.
    static CFOpenGL& Shared();

    CFOpenGL();
    virtual ~CFOpenGL();
    CFOpenGL(const CFOpenGL&) = delete;
    CFOpenGL& operator=(const CFOpenGL&) = delete;

    // The pixel format that Create asks for: double buffered RGBA, depth 16, stencil 1.
    static host::PixelFormatDescriptor PixelFormat(std::uint8_t colourBits);

    // Sets the surface's pixel format and takes its rendering context; each
    // failure shows its box and leaves no context.
    bool Create(host::GLDeviceContext* dc, std::uint8_t colourBits, COLORREF clearColour);
    // Drops the rendering context.
    void Release();
    // Viewport, projection and font for a client area of width x height pixels.
    void Resize(host::GLDeviceContext* dc, std::int32_t width, std::int32_t height);
    // (Re)builds the 96 font display lists and the width table; context current.
    void BuildFont(host::GLDeviceContext* dc);

    // printf-style text at (x, y, z) in the current colour. Alignment 0..8:
    // column start / centre / end, row baseline / half a font height lower /
    // one font height lower; any larger value is 0.
    void PrintText(double x, double y, double z, std::uint8_t alignment, const char* format, ...)
        __attribute__((format(printf, 6, 7)));
    // A dotted horizontal line at cy and vertical line at cx across rect.
    void DrawDottedCross(const GraphRect& rect, double cx, double cy, double z, COLORREF colour);
    // Dotted horizontal lines at y1 and y2, vertical lines at x1 and x2.
    void DrawDottedCrossPair(const GraphRect& rect, double x1, double x2, double y1, double y2,
                             double z, COLORREF colour);
    // A filled, bordered box whose top-right corner is (right, top), one line
    // of text per entry in its colour.
    void DrawTextBox(std::span<const std::string> texts, std::span<const COLORREF> colours,
                     COLORREF fill, COLORREF border, std::int32_t right, std::int32_t top);

    // Makes the context current on dc for a drawing pass; false (draw nothing)
    // when there is no context.
    bool MakeCurrent(host::GLDeviceContext* dc);
    static void SetColour(COLORREF colour);

    bool HasContext() const { return !m_hRC.isNull(); }
    std::int32_t Width() const { return m_nWidth; }
    std::int32_t Height() const { return m_nHeight; }
    std::int32_t FontHeight() const { return m_nFontHeight; }
    bool FontBuilt() const { return m_bFontBuilt; }
    // Pixels: the advance widths of the characters 32 .. 127 of the text.
    std::int32_t TextWidth(std::string_view text) const;
    // Drawing-space units that text at an alignment moves left and down.
    double ShiftLeft(std::uint8_t alignment, std::string_view text) const;
    double ShiftDown(std::uint8_t alignment) const;
    // Drawing-space units of p pixels.
    double PixelsToX(double p) const;
    double PixelsToY(double p) const;

private:
    // Horizontal lines at ys and vertical lines at xs across rect.
    static void DrawDottedLines(const GraphRect& rect, std::span<const double> ys,
                                std::span<const double> xs, double z, COLORREF colour);
    void DrawText(double x, double y, double z, std::uint8_t alignment, std::string_view text);

    QPointer<QOpenGLContext> m_hRC;
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    std::int32_t m_nCharWidth[96] = {};
    std::int32_t m_nFontHeight = 0;
    std::uint32_t m_nListBase = 0;
    bool m_bFontBuilt = false;
};
