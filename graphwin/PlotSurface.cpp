#include "graphwin/PlotSurface.h"

#include <mutex>

#include "graph/FLineGraph.h"
#include "graph/FOpenGL.h"

CPlotSurface::CPlotSurface(CFLineGraph& graph, QWidget* parent)
    : QOpenGLWidget(parent),
      m_graph(graph),
      m_dc(std::make_unique<host::GLWidgetDeviceContext>(this, CFOpenGL::PixelFormat(kColourBits)))
{
    setObjectName(QStringLiteral("plotSurface"));
}

CPlotSurface::~CPlotSurface() = default;

void CPlotSurface::initializeGL()
{
    std::lock_guard lock(CFLineGraph::GraphLock());
    CFOpenGL::Shared().Create(m_dc.get(), kColourBits, m_graph.BackgroundColour());
}

void CPlotSurface::resizeGL(int w, int h) { m_graph.Resize(m_dc.get(), w, h); }

void CPlotSurface::paintGL() { m_graph.Draw(m_dc.get()); }
