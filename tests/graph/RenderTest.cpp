#include <gtest/gtest.h>

#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QTest>

#include <mutex>
#include <vector>

#include "graph/FOpenGL.h"
#include "graph/GLWidgetDeviceContext.h"
#include "graph/InnerArea.h"
#include "tests/graph/GraphTestSupport.h"

#ifndef TARVIX_BUILD_DIR
#define TARVIX_BUILD_DIR "."
#endif

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kRed = 0x2020FF;
constexpr COLORREF kBox = 0xEFEFEF;

// One channel of 10 divisions of 10 without value labels (they would be in
// its colour), X increment 1, samples (x, value).
void OneChannel(CFLineGraph& graph, const std::vector<std::pair<int, int>>& samples, COLORREF colour = kRed)
{
    graph.Clear();
    graph.AddChannel("Data 0", "", false, false, colour, 10, 10);
    graph.XPole().SetIncrement(1);
    std::lock_guard lock(CFLineGraph::GraphLock());
    for (const auto& [x, value] : samples)
        graph.Samples().AddSample(x, &value, 1);
}

QRect PlotPixels(const OffscreenGraph& g)
{
    const GraphRect& plot = CInnerArea::Shared().Plot();
    return QRect(g.Pixel(plot.left, plot.top), g.Pixel(plot.right, plot.bottom));
}

// A plot window: the graph set up and drawn by the widget's own GL steps.
class PlotWidget : public QOpenGLWidget {
public:
    PlotWidget() : m_dc(this, CFOpenGL::PixelFormat(16)) {}

    CFLineGraph graph;
    bool created = false;
    bool noneCurrentAfterDraw = false;

protected:
    void initializeGL() override
    {
        std::lock_guard lock(CFLineGraph::GraphLock());
        created = CFOpenGL::Shared().Create(&m_dc, 16, graph.BackgroundColour());
    }
    void resizeGL(int, int) override
    {
        graph.Resize(&m_dc, m_dc.DeviceSize().width(), m_dc.DeviceSize().height());
    }
    void paintGL() override
    {
        graph.Draw(&m_dc);
        noneCurrentAfterDraw = QOpenGLContext::currentContext() == nullptr;
    }

private:
    host::GLWidgetDeviceContext m_dc;
};

}  // namespace

TEST(GraphRendering, ResizeKeepsThePlotRectangle)
{
    for (QSize size : {QSize(300, 200), QSize(640, 480), QSize(1000, 300)}) {
        OffscreenGraph g(size);
        ASSERT_TRUE(g.Ready());
        EXPECT_EQ(CInnerArea::Shared().Plot(), (GraphRect{-40, 48, 48, -44})) << size.width();
        EXPECT_EQ(CFOpenGL::Shared().Width(), size.width());
        EXPECT_EQ(CFOpenGL::Shared().Height(), size.height());
    }
}

TEST(GraphRendering, FrameAroundThePlotRectangle)
{
    OffscreenGraph g;
    const QImage image = g.Render();
    EXPECT_TRUE(ColourNear(image, g.Pixel(-40, 0), kWhite)) << "left";
    EXPECT_TRUE(ColourNear(image, g.Pixel(48, 0), kWhite)) << "right";
    EXPECT_TRUE(ColourNear(image, g.Pixel(0, 48), kWhite)) << "top";
    EXPECT_TRUE(ColourNear(image, g.Pixel(0, -44), kWhite)) << "bottom";
    EXPECT_EQ(image.pixel(g.Pixel(-45, 49)) & 0xFFFFFF, 0u) << "outside is background";
    EXPECT_EQ(QOpenGLContext::currentContext(), nullptr);
}

TEST(GraphRendering, ChannelLineInsideThePlotAndClippedOutside)
{
    OffscreenGraph g;
    // X increment 1 and 10 divisions of 10: the view shows x -5 .. 5 and
    // values -50 .. 50, value v at y 2 + 0.92 v. The line enters from the
    // left, leaves through the top and comes back level at 20.
    OneChannel(g.graph, {{-8, -30}, {0, 20}, {2, 200}, {4, 20}, {9, 20}});
    const QImage image = g.Render();
    EXPECT_TRUE(ColourNear(image, g.Pixel(44, 20.4), kRed, 2)) << "level part";
    EXPECT_GT(CountColour(image, PlotPixels(g).adjusted(1, 1, -1, -1), kRed), 100);
    EXPECT_EQ(CountColour(image, PlotPixels(g), kRed, true), 0) << "no line outside the plot rectangle";
}

TEST(GraphRendering, SamplesOutsideTheViewDrawNothing)
{
    for (int from : {100, -100}) {
        OffscreenGraph g;
        std::vector<std::pair<int, int>> samples;
        for (int x = from; x < from + 30; ++x)
            samples.push_back({x, 0});
        OneChannel(g.graph, samples);
        EXPECT_EQ(CountColour(g.Render(), QRect(QPoint(0, 0), g.dc.Size()), kRed), 0) << from;
    }
}

TEST(GraphRendering, FarScrollWithTheLargestIncrementStillDraws)
{
    // The view's right end, 35 increments of 2^26, lies beyond 32 bits.
    OffscreenGraph g;
    OneChannel(g.graph, {{1900000000, 0}, {2100000000, 0}});
    g.graph.XPole().SetIncrement(kMaxIncrement);
    g.graph.m_nXScrollPos = 30;
    EXPECT_GT(CountColour(g.Render(), PlotPixels(g), kRed), 100);
}

TEST(GraphRendering, DotsOnlyWithTheDotStyle)
{
    struct Case {
        std::uint16_t style;
        bool dots;
    };
    for (const Case& c : {Case{2, false}, Case{34, true}}) {
        OffscreenGraph g;
        OneChannel(g.graph, {{-2, 0}, {2, 0}});
        g.graph.m_nStyle = c.style;
        const QImage image = g.Render();
        // The left sample, where the one-pixel line starts.
        const QPoint sample = g.Pixel(4 - 2 * 8.8, 2);
        const int lit = CountColour(image, QRect(sample - QPoint(3, 3), QSize(7, 7)), kRed);
        if (c.dots)
            EXPECT_GE(lit, 9) << c.style;
        else
            EXPECT_LE(lit, 6) << c.style;
    }
}

TEST(GraphRendering, HiddenChannelKeepsItsLegendLine)
{
    OffscreenGraph g;
    g.graph.Clear();
    const COLORREF colours[3] = {kTestColours[0], kTestColours[1], kTestColours[3]};
    for (int i = 0; i < 3; ++i)
        g.graph.AddChannel(QString("Data %1").arg(i), "", false, true, colours[i], 10, 10);
    {
        std::lock_guard lock(CFLineGraph::GraphLock());
        for (int x = -6; x <= 6; ++x) {
            const std::int32_t row[3] = {-20, 0, 20};
            g.graph.Samples().AddSample(x, row, 3);
        }
        g.graph.Channel(1)->SetVisible(false);
    }
    g.graph.m_bLegend = true;
    const QImage image = g.Render();
    const CFOpenGL& gl = CFOpenGL::Shared();
    const double boxLeft = 45 - (gl.TextWidth("Data 0") * 100.0 / 500 + 4);
    const double boxBottom = 45 - (3 * 3.2 + 4 + 4);
    const QRect legend(g.Pixel(boxLeft, 45), g.Pixel(45, boxBottom));
    EXPECT_TRUE(ColourNear(image, g.Pixel(45, 40), kBox)) << "box border";
    EXPECT_TRUE(ColourNear(image, g.Pixel(boxLeft, 40), kBox)) << "box border";
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(CountColour(image, legend, colours[i]), 10) << "legend line " << i;
    // Lines: in the plot rectangle but not in the legend (the value labels
    // left of the plot are in channel 0's colour too).
    auto line = [&](COLORREF colour) {
        return CountColour(image, PlotPixels(g), colour) - CountColour(image, legend, colour);
    };
    EXPECT_GT(line(colours[0]), 100) << "line of channel 0";
    EXPECT_EQ(line(colours[1]), 0) << "no line of the hidden channel";
    EXPECT_GT(line(colours[2]), 100) << "line of channel 2";
}

TEST(GraphRendering, CursorsDrawTheirReadoutInsteadOfTheLegend)
{
    struct Case {
        bool measuring;
        COLORREF colour;
    };
    for (const Case& c : {Case{false, 0x00FFFF}, Case{true, 0x3399FF}}) {
        OffscreenGraph g;
        OneChannel(g.graph, {{0, 0}});
        g.graph.m_bLegend = true;
        g.graph.m_bCrossHair = !c.measuring;
        g.graph.m_bMeasuring = c.measuring;
        g.graph.m_Cursor[0] = {-20, -10, 3, 40};
        g.graph.m_Cursor[1] = {10, 30, 10, -5};
        const QImage image = g.Render();
        const int row = g.Pixel(0, -10).y();
        EXPECT_GT(CountColour(image, QRect(0, row - 1, image.width(), 3), c.colour), 100) << c.measuring;
        EXPECT_EQ(CountColour(image, QRect(0, g.Pixel(0, 30).y() - 1, image.width(), 3), c.colour) > 100,
                  c.measuring);
        EXPECT_TRUE(ColourNear(image, g.Pixel(45, 42), kBox)) << "readout box";
        EXPECT_GT(CountColour(image, QRect(g.Pixel(25, 45), g.Pixel(45, 32)), kRed), 10) << "readout text";
        EXPECT_FALSE(g.graph.m_bLegend);
    }
}

TEST(GraphRendering, PlotWindowDrawsSixteenChannelsWithLegendAndAxes)
{
    PlotWidget widget;
    widget.resize(800, 600);
    FillWaves(widget.graph, 16, 400);
    widget.graph.XPole().SetIncrement(50);
    widget.graph.m_nXScrollPos = 4;
    widget.graph.m_bLegend = true;
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    const QImage image = widget.grabFramebuffer();
    ASSERT_TRUE(widget.created);
    ASSERT_EQ(image.size(), QSize(800, 600));
    image.save(TARVIX_BUILD_DIR "/graph-library.png");
    EXPECT_TRUE(widget.noneCurrentAfterDraw);

    auto pixel = [&](double x, double y) {
        return QPoint(int((x + 50) / 100 * 800), int((50 - y) / 100 * 600));
    };
    EXPECT_TRUE(ColourNear(image, pixel(-40, 0), kWhite)) << "frame";
    EXPECT_TRUE(ColourNear(image, pixel(48, -20), kWhite)) << "frame";
    EXPECT_TRUE(ColourNear(image, pixel(45, 40), kBox)) << "legend";
    for (COLORREF colour : kTestColours)
        EXPECT_GT(CountColour(image, QRect(QPoint(0, 0), image.size()), colour), 20) << std::hex << colour;
    // Labels under the plot and left of it.
    EXPECT_GT(CountColour(image, QRect(pixel(-40, -44.5), pixel(48, -50)), kWhite), 50) << "X labels";
    EXPECT_GT(CountColour(image, QRect(pixel(-50, 48), pixel(-40.5, -44)), kRed), 50) << "Y labels";
}
