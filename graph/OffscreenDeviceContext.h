#pragma once

#include <QImage>
#include <QSize>
#include <QSurfaceFormat>

#include <memory>

#include "graph/GLDeviceContext.h"

class QOffscreenSurface;
class QOpenGLFramebufferObject;

namespace host {

// A device context without a window: an offscreen surface with a frame buffer
// object of a fixed size (colour, depth and stencil), and a context of its own.
// Serves tests and benchmarks, which read back what was drawn.
class OffscreenDeviceContext : public GLDeviceContext {
public:
    explicit OffscreenDeviceContext(QSize size);
    ~OffscreenDeviceContext() override;
    OffscreenDeviceContext(const OffscreenDeviceContext&) = delete;
    OffscreenDeviceContext& operator=(const OffscreenDeviceContext&) = delete;

    bool SetPixelFormat(int format, const PixelFormatDescriptor& pfd) override;
    // A new context replaces the one made before.
    QOpenGLContext* CreateContext() override;
    bool MakeCurrent(QOpenGLContext* context) override;
    // Waits until everything drawn is in the frame buffer.
    void SwapBuffers() override;

    // What the frame buffer holds; leaves no context current.
    QImage Image();
    QSize Size() const { return m_size; }

private:
    void DropFrameBuffer();

    QSize m_size;
    QSurfaceFormat m_format;
    bool m_bFormatSet = false;
    std::unique_ptr<QOffscreenSurface> m_surface;
    std::unique_ptr<QOpenGLContext> m_context;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
};

}  // namespace host
