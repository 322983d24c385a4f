#include "graph/GLDeviceContext.h"

#include <QOpenGLContext>

namespace host {

int GLDeviceContext::ChoosePixelFormat(const PixelFormatDescriptor& pfd)
{
    if (!(pfd.dwFlags & PFD_SUPPORT_OPENGL) || pfd.iPixelType != PFD_TYPE_RGBA)
        return 0;
    // A platform without OpenGL (the offscreen one without a display) fails here.
    QOpenGLContext probe;
    probe.setFormat(FormatFor(pfd));
    if (!probe.create() || !IsCompatibility(probe.format()))
        return 0;
    return 1;
}

QSurfaceFormat GLDeviceContext::FormatFor(const PixelFormatDescriptor& pfd)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(pfd.cDepthBits);
    format.setStencilBufferSize(pfd.cStencilBits);
    format.setSwapBehavior((pfd.dwFlags & PFD_DOUBLEBUFFER) ? QSurfaceFormat::DoubleBuffer
                                                            : QSurfaceFormat::SingleBuffer);
    return format;
}

bool GLDeviceContext::IsCompatibility(const QSurfaceFormat& format)
{
    if (format.renderableType() == QSurfaceFormat::OpenGLES)
        return false;
    return format.profile() != QSurfaceFormat::CoreProfile;
}

void MakeNoContextCurrent()
{
    if (QOpenGLContext* current = QOpenGLContext::currentContext())
        current->doneCurrent();
}

}  // namespace host
