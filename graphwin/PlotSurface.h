#pragma once

#include <QOpenGLWidget>

#include <cstdint>
#include <memory>

#include "graph/GLWidgetDeviceContext.h"

class CFLineGraph;

// The OpenGL surface of the plot window: the graph's rendering context is made
// on it when it first appears, and the graph draws itself on every paint.
class CPlotSurface : public QOpenGLWidget {
    Q_OBJECT

public:
    // Colour depth that the surface asks for.
    static constexpr std::uint8_t kColourBits = 16;

    CPlotSurface(CFLineGraph& graph, QWidget* parent);
    ~CPlotSurface() override;

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

private:
    // Sizes the graph to the frame buffer in device pixels, which the
    // viewport and the glyph bitmaps are in.
    void SizeGraph();

    CFLineGraph& m_graph;
    std::unique_ptr<host::GLWidgetDeviceContext> m_dc;
    // The device size and ratio the graph was last sized for.
    QSize m_sizedFor;
    double m_sizedRatio = 0;
};
