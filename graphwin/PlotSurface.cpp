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

void CPlotSurface::resizeGL(int, int) { SizeGraph(); }

void CPlotSurface::paintGL()
{
    // Moved to a screen of another pixel density: no resize tells of it.
    if (m_dc->DeviceSize() != m_sizedFor || m_dc->DevicePixelRatio() != m_sizedRatio)
        SizeGraph();
    m_graph.Draw(m_dc.get());
}

void CPlotSurface::SizeGraph()
{
    m_sizedFor = m_dc->DeviceSize();
    m_sizedRatio = m_dc->DevicePixelRatio();
    m_graph.Resize(m_dc.get(), m_sizedFor.width(), m_sizedFor.height());
}
