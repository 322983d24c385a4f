#include "graph/GLWidgetDeviceContext.h"

#include <QOpenGLContext>
#include <QOpenGLWidget>

namespace host {

GLWidgetDeviceContext::GLWidgetDeviceContext(QOpenGLWidget* widget, const PixelFormatDescriptor& pfd)
    : m_widget(widget)
{
    if (widget && !widget->context())
        widget->setFormat(FormatFor(pfd));
}

bool GLWidgetDeviceContext::SetPixelFormat(int format, const PixelFormatDescriptor& pfd)
{
    if (!m_widget || format <= 0)
        return false;
    if (QOpenGLContext* context = m_widget->context())
        return IsCompatibility(context->format());
    m_widget->setFormat(FormatFor(pfd));
    return true;
}

QOpenGLContext* GLWidgetDeviceContext::CreateContext()
{
    return m_widget ? m_widget->context() : nullptr;
}

bool GLWidgetDeviceContext::MakeCurrent(QOpenGLContext* context)
{
    if (!m_widget || !context || context != m_widget->context())
        return false;
    m_widget->makeCurrent();
    return QOpenGLContext::currentContext() == context;
}

double GLWidgetDeviceContext::DevicePixelRatio() const
{
    return m_widget ? m_widget->devicePixelRatioF() : 1.0;
}

QSize GLWidgetDeviceContext::DeviceSize() const
{
    if (!m_widget)
        return {};
    // Truncated as the widget truncates its viewport before each paint.
    const double ratio = DevicePixelRatio();
    return QSize(static_cast<int>(m_widget->width() * ratio), static_cast<int>(m_widget->height() * ratio));
}

}  // namespace host
