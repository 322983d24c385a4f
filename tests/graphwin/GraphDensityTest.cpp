// The plot's text on a screen of any pixel density. A second run of this case
// with QT_SCALE_FACTOR=2 checks a density of 2.
#include <QImage>
#include <QTest>

#include <cmath>
#include <utility>

#include "graph/FOpenGL.h"
#include "graphwin/PlotSurface.h"
#include "tests/graphwin/GraphWindowFixture.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

constexpr COLORREF kBoxBorder = 0xEFEFEF;

// Leftmost and rightmost column of the area holding a pixel of the colour.
std::pair<int, int> ColumnsOf(const QImage& image, const QRect& area, COLORREF colour)
{
    const QRgb wanted = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF) & 0xFFFFFF;
    std::pair<int, int> columns{-1, -1};
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if ((image.pixel(x, y) & 0xFFFFFF) != wanted)
                continue;
            columns.first = columns.first < 0 ? x : std::min(columns.first, x);
            columns.second = std::max(columns.second, x);
        }
    }
    return columns;
}

}  // namespace

TEST_F(GraphWindowTest, TextIsSizedAndPlacedForTheDevicePixelRatio)
{
    ConnectTo(kSampleServoVersion);
    OpenGraph();
    CPlotSurface* surface = Plot().GetSurface();
    ASSERT_NE(surface, nullptr);
    const double ratio = surface->devicePixelRatioF();
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
    }
    // Labels 96.0K .. 104.0K, none of them short; no line in the label colour.
    Graph().Clear();
    Graph().AddChannel("Data 0", "", false, true, kChannelColours[0], 10, 1000);
    Graph().m_nYScrollPos = 100;
    Graph().m_bLegend = true;
    const QImage image = surface->grabFramebuffer();
    image.save(QStringLiteral(TARVIX_BUILD_DIR "/graph-density-%1.png").arg(ratio));

    const CFOpenGL& gl = CFOpenGL::Shared();
    EXPECT_EQ(QSize(gl.Width(), gl.Height()), image.size());
    EXPECT_EQ(gl.FontHeight(), std::lround(16 * ratio));
    const auto px = [&](double x) { return static_cast<int>((x + 50) / 100 * image.width()); };
    const auto py = [&](double y) { return static_cast<int>((50 - y) / 100 * image.height()); };
    // The value labels end half a unit left of the plot.
    const int labelsEnd =
        ColumnsOf(image, QRect(QPoint(0, py(48)), QPoint(px(-40) - 1, py(-44))), kChannelColours[0]).second;
    EXPECT_NEAR(labelsEnd, px(-40.5), gl.FontHeight() / 4);
    // The legend box is its text and two units of margin on each side wide.
    const auto [boxLeft, boxRight] = ColumnsOf(image, QRect(0, py(45) - 1, image.width(), 3), kBoxBorder);
    EXPECT_NEAR(boxRight - boxLeft, gl.TextWidth("Data 0") + 4 * image.width() / 100.0, 2);
}
