#pragma once

#include <QPointer>
#include <QSize>

#include "graph/GLDeviceContext.h"

class QOpenGLWidget;

namespace host {

// The device context of a QOpenGLWidget. The widget's format is fixed once it
// is first shown, so the constructor gives it the format the graph asks for;
// the widget owns its context and shows its frame buffer after paintGL, so a
// pass that draws outside paintGL is seen only after the widget's next update.
class GLWidgetDeviceContext : public GLDeviceContext {
public:
    GLWidgetDeviceContext(QOpenGLWidget* widget, const PixelFormatDescriptor& pfd);

    bool SetPixelFormat(int format, const PixelFormatDescriptor& pfd) override;
    QOpenGLContext* CreateContext() override;
    bool MakeCurrent(QOpenGLContext* context) override;
    void SwapBuffers() override {}
    double DevicePixelRatio() const override;
    // The widget's frame buffer in device pixels, as its viewport covers it.
    QSize DeviceSize() const;

private:
    QPointer<QOpenGLWidget> m_widget;
};

}  // namespace host
