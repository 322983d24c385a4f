#include "graph/FOpenGL.h"

#include <QOpenGLContext>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "graph/FontBitmaps.h"
#include "platform/MessageBox.h"

namespace {

constexpr int kFirstChar = 32;
constexpr int kCharCount = 96;
constexpr int kFontHeight = 16;
constexpr const char* kFontFace = "Courier New";

bool Printable(unsigned char c)
{
    return c >= kFirstChar && c < kFirstChar + kCharCount;
}

void SetUpFailed(const char* text)
{
    host::MessageBox(text, host::MB_ICONEXCLAMATION, "ERROR");
}

}  // namespace

CFOpenGL& CFOpenGL::Shared()
{
    static CFOpenGL instance;
    return instance;
}

CFOpenGL::CFOpenGL() = default;

CFOpenGL::~CFOpenGL()
{
    Release();
}

host::PixelFormatDescriptor CFOpenGL::PixelFormat(std::uint8_t colourBits)
{
    host::PixelFormatDescriptor pfd;
    pfd.dwFlags = host::PFD_DRAW_TO_WINDOW | host::PFD_SUPPORT_OPENGL | host::PFD_DOUBLEBUFFER;
    pfd.iPixelType = host::PFD_TYPE_RGBA;
    pfd.cColorBits = colourBits;
    pfd.cDepthBits = 16;
    pfd.cStencilBits = 1;
    pfd.iLayerType = host::PFD_MAIN_PLANE;
    return pfd;
}

bool CFOpenGL::Create(host::GLDeviceContext* dc, std::uint8_t colourBits, COLORREF clearColour)
{
    const host::PixelFormatDescriptor pfd = PixelFormat(colourBits);
    const int format = dc ? dc->ChoosePixelFormat(pfd) : 0;
    if (format == 0) {
        Release();
        SetUpFailed("Can't Find Suitable Pixel Format.");
        return false;
    }
    if (!dc->SetPixelFormat(format, pfd)) {
        Release();
        SetUpFailed("Can't Set the PixelFormat.");
        return false;
    }
    // Only the newest plot window's context is kept.
    Release();
    m_hRC = dc->CreateContext();
    if (m_hRC.isNull() || !dc->MakeCurrent(m_hRC)) {
        m_hRC = nullptr;
        SetUpFailed("Can't Create A GL Rendering Context.");
        return false;
    }
    glClearColor((clearColour & 0xFF) / 255.0f, ((clearColour >> 8) & 0xFF) / 255.0f,
                 ((clearColour >> 16) & 0xFF) / 255.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    host::MakeNoContextCurrent();
    return true;
}

void CFOpenGL::Release()
{
    if (m_hRC.isNull())
        return;
    host::MakeNoContextCurrent();
    // The context belongs to its surface's holder and ends with it, font lists included.
    m_hRC = nullptr;
}

void CFOpenGL::Resize(host::GLDeviceContext* dc, std::int32_t width, std::int32_t height)
{
    if (!MakeCurrent(dc))
        return;
    BuildFont(dc);
    m_nHeight = height;
    m_nWidth = width;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-50, 50, -50, 50, -3, 3);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    host::MakeNoContextCurrent();
}

void CFOpenGL::BuildFont(host::GLDeviceContext* dc)
{
    if (m_bFontBuilt)
        glDeleteLists(m_nListBase, kCharCount);
    m_nListBase = glGenLists(kCharCount);
    // Glyphs, widths and the viewport are all in device pixels.
    const double ratio = dc ? dc->DevicePixelRatio() : 1.0;
    const int height = std::max(1, static_cast<int>(std::lround(kFontHeight * ratio)));
    const QFont font = host::CreateFont(height, 400, kFontFace);
    host::UseFontBitmaps(font, kFirstChar, kCharCount, m_nListBase);
    host::GetCharWidths(font, kFirstChar, kFirstChar + kCharCount - 1, m_nCharWidth);
    m_nFontHeight = height;
    m_bFontBuilt = true;
}

void CFOpenGL::PrintText(double x, double y, double z, std::uint8_t alignment, const char* format, ...)
{
    if (!format)
        return;
    char text[256];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length <= 0)
        return;
    DrawText(x, y, z, alignment, text);
}

void CFOpenGL::DrawText(double x, double y, double z, std::uint8_t alignment, std::string_view text)
{
    glRasterPos3d(x - ShiftLeft(alignment, text), y - ShiftDown(alignment), z);
    if (!m_bFontBuilt)
        return;
    // Only characters that have a list: any other byte would call a list of
    // someone else's.
    std::string shown;
    shown.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(shown),
                 [](char c) { return Printable(static_cast<unsigned char>(c)); });
    glPushAttrib(GL_LIST_BIT);
    glListBase(m_nListBase - kFirstChar);
    glCallLists(static_cast<GLsizei>(shown.size()), GL_UNSIGNED_BYTE, shown.data());
    glPopAttrib();
}

std::int32_t CFOpenGL::TextWidth(std::string_view text) const
{
    std::int32_t width = 0;
    for (char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (Printable(code))
            width += m_nCharWidth[code - kFirstChar];
    }
    return width;
}

double CFOpenGL::ShiftLeft(std::uint8_t alignment, std::string_view text) const
{
    const std::int32_t width = TextWidth(text);
    switch (alignment) {
    case 1: case 4: case 7: return PixelsToX(width >> 1);
    case 2: case 5: case 8: return PixelsToX(width);
    default: return 0;
    }
}

double CFOpenGL::ShiftDown(std::uint8_t alignment) const
{
    if (alignment >= 3 && alignment <= 5)
        return PixelsToY(m_nFontHeight >> 1);
    if (alignment >= 6 && alignment <= 8)
        return PixelsToY(m_nFontHeight);
    return 0;
}

double CFOpenGL::PixelsToX(double p) const
{
    return m_nWidth > 0 ? p * 100 / m_nWidth : 0;
}

double CFOpenGL::PixelsToY(double p) const
{
    return m_nHeight > 0 ? p * 80 / m_nHeight : 0;
}

void CFOpenGL::DrawDottedCross(const GraphRect& rect, double cx, double cy, double z, COLORREF colour)
{
    const double ys[] = {cy};
    const double xs[] = {cx};
    DrawDottedLines(rect, ys, xs, z, colour);
}

void CFOpenGL::DrawDottedCrossPair(const GraphRect& rect, double x1, double x2, double y1, double y2,
                                   double z, COLORREF colour)
{
    const double ys[] = {y1, y2};
    const double xs[] = {x1, x2};
    DrawDottedLines(rect, ys, xs, z, colour);
}

void CFOpenGL::DrawDottedLines(const GraphRect& rect, std::span<const double> ys,
                               std::span<const double> xs, double z, COLORREF colour)
{
    glLoadIdentity();
    glEnable(GL_LINE_STIPPLE);
    glLineStipple(1, 0x5555);
    SetColour(colour);
    glLineWidth(1);
    glBegin(GL_LINES);
    for (double y : ys) {
        glVertex3d(rect.left, y, z);
        glVertex3d(rect.right, y, z);
    }
    for (double x : xs) {
        glVertex3d(x, rect.top, z);
        glVertex3d(x, rect.bottom, z);
    }
    glEnd();
    glDisable(GL_LINE_STIPPLE);
}

void CFOpenGL::DrawTextBox(std::span<const std::string> texts, std::span<const COLORREF> colours,
                           COLORREF fill, COLORREF border, std::int32_t right, std::int32_t top)
{
    const size_t n = std::min(texts.size(), colours.size());
    std::int32_t widest = 0;
    for (size_t i = 0; i < n; ++i)
        widest = std::max(widest, TextWidth(std::string_view(texts[i]).substr(0, 254)));
    const double h = PixelsToY(m_nFontHeight);
    const double w = PixelsToX(widest);
    const double left = right - (w + 4);
    const double bottom = top - (n * h + 2.0 * (static_cast<double>(n) - 1) + 4);

    auto corners = [&](GLenum mode) {
        glBegin(mode);
        glVertex3d(left, top, 3);
        glVertex3d(right, top, 3);
        glVertex3d(right, bottom, 3);
        glVertex3d(left, bottom, 3);
        glEnd();
    };
    SetColour(fill);
    corners(GL_QUADS);
    SetColour(border);
    glLineWidth(1);
    corners(GL_LINE_LOOP);
    for (size_t i = 0; i < n; ++i) {
        SetColour(colours[i]);
        DrawText(left + 2, top - 2 - h / 2 - i * (h + 2), 3, 3, std::string_view(texts[i]).substr(0, 254));
    }
    glDisable(GL_STENCIL_TEST);
}

bool CFOpenGL::MakeCurrent(host::GLDeviceContext* dc)
{
    return dc && !m_hRC.isNull() && dc->MakeCurrent(m_hRC);
}

void CFOpenGL::SetColour(COLORREF colour)
{
    glColor3ub(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}
