#include "graph/OffscreenDeviceContext.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>

namespace host {

OffscreenDeviceContext::OffscreenDeviceContext(QSize size) : m_size(size) {}

OffscreenDeviceContext::~OffscreenDeviceContext()
{
    DropFrameBuffer();
}

bool OffscreenDeviceContext::SetPixelFormat(int format, const PixelFormatDescriptor& pfd)
{
    if (format <= 0)
        return false;
    QSurfaceFormat wanted = FormatFor(pfd);
    // As with a window, the format of a surface is set once.
    if (m_bFormatSet)
        return wanted == m_format;
    m_format = wanted;
    m_surface = std::make_unique<QOffscreenSurface>();
    m_surface->setFormat(m_format);
    m_surface->create();
    m_bFormatSet = m_surface->isValid();
    return m_bFormatSet;
}

QOpenGLContext* OffscreenDeviceContext::CreateContext()
{
    if (!m_bFormatSet)
        return nullptr;
    DropFrameBuffer();
    m_context = std::make_unique<QOpenGLContext>();
    m_context->setFormat(m_format);
    if (!m_context->create() || !IsCompatibility(m_context->format())) {
        m_context.reset();
        return nullptr;
    }
    return m_context.get();
}

bool OffscreenDeviceContext::MakeCurrent(QOpenGLContext* context)
{
    if (!context || context != m_context.get() || !m_surface)
        return false;
    if (!context->makeCurrent(m_surface.get()))
        return false;
    if (!m_fbo) {
        m_fbo = std::make_unique<QOpenGLFramebufferObject>(
            m_size, QOpenGLFramebufferObject::CombinedDepthStencil);
    }
    return m_fbo->isValid() && m_fbo->bind();
}

void OffscreenDeviceContext::SwapBuffers()
{
    if (QOpenGLContext* current = QOpenGLContext::currentContext())
        current->functions()->glFinish();
}

QImage OffscreenDeviceContext::Image()
{
    if (!m_fbo || !MakeCurrent(m_context.get()))
        return {};
    QImage image = m_fbo->toImage();
    MakeNoContextCurrent();
    return image;
}

void OffscreenDeviceContext::DropFrameBuffer()
{
    if (!m_fbo)
        return;
    // The frame buffer belongs to the context: free it while that is current.
    if (m_context && m_surface && m_context->makeCurrent(m_surface.get())) {
        m_fbo.reset();
        m_context->doneCurrent();
    } else {
        m_fbo.reset();
    }
}

}  // namespace host
