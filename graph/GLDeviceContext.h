#pragma once

#include <QSurfaceFormat>

#include <cstdint>

class QOpenGLContext;

// What stands in for a window's device context with its pixel format: the
// surface that a rendering context is made current on and shown from.
namespace host {

enum : std::uint32_t {
    PFD_DOUBLEBUFFER = 0x01,
    PFD_DRAW_TO_WINDOW = 0x04,
    PFD_SUPPORT_OPENGL = 0x20,
};
enum : std::uint8_t {
    PFD_TYPE_RGBA = 0,
    PFD_MAIN_PLANE = 0,
};

// The fields of a pixel format that decide anything here.
struct PixelFormatDescriptor {
    std::uint16_t nSize = 40;
    std::uint16_t nVersion = 1;
    std::uint32_t dwFlags = 0;
    std::uint8_t iPixelType = PFD_TYPE_RGBA;
    std::uint8_t cColorBits = 0;
    std::uint8_t cDepthBits = 0;
    std::uint8_t cStencilBits = 0;
    std::uint8_t iLayerType = PFD_MAIN_PLANE;
};

class GLDeviceContext {
public:
    virtual ~GLDeviceContext() = default;

    // A pixel format number for SetPixelFormat, 0 when the platform offers no
    // compatibility-profile OpenGL surface that fits the descriptor.
    virtual int ChoosePixelFormat(const PixelFormatDescriptor& pfd);
    // Gives the surface its format; false when it has another one already.
    virtual bool SetPixelFormat(int format, const PixelFormatDescriptor& pfd) = 0;
    // The rendering context for this surface, owned by the surface's holder
    // (a widget owns its context); null when none can be made.
    virtual QOpenGLContext* CreateContext() = 0;
    // Makes context current on this surface with its frame buffer bound.
    virtual bool MakeCurrent(QOpenGLContext* context) = 0;
    // Shows what was drawn.
    virtual void SwapBuffers() = 0;
    // Device pixels per pixel of the screen's layout: the bitmap font is made
    // this much taller, so text keeps its size on a high-density screen.
    virtual double DevicePixelRatio() const { return 1.0; }

    // The surface format that a descriptor asks for: OpenGL 2.1 compatibility.
    static QSurfaceFormat FormatFor(const PixelFormatDescriptor& pfd);

protected:
    // glBegin and the other fixed-function calls work in this context format.
    static bool IsCompatibility(const QSurfaceFormat& format);
};

// Leaves no context current on this thread.
void MakeNoContextCurrent();

}  // namespace host
