#include "tests/graph/GraphTestSupport.h"

#include <cmath>
#include <mutex>
#include <vector>

#include "graph/FOpenGL.h"

const COLORREF kTestColours[16] = {0x2020FF, 0x4484FF, 0x20FFFF, 0x40FF40, 0xFFFF20, 0xFF2020,
                                   0x923030, 0xFF20FF, 0x40AF3F, 0x7F7F00, 0x6E8296, 0x660066,
                                   0x006600, 0x333399, 0xCCCCFF, 0xFFCCCC};

OffscreenGraph::OffscreenGraph(QSize size) : dc(size)
{
    {
        std::lock_guard lock(CFLineGraph::GraphLock());
        m_bReady = CFOpenGL::Shared().Create(&dc, 16, graph.BackgroundColour());
    }
    graph.Resize(&dc, size.width(), size.height());
}

QImage OffscreenGraph::Render()
{
    graph.Draw(&dc);
    return dc.Image();
}

QPoint OffscreenGraph::Pixel(double x, double y) const
{
    const QSize size = dc.Size();
    return {static_cast<int>(std::floor((x + 50) / 100 * size.width())),
            static_cast<int>(std::floor((50 - y) / 100 * size.height()))};
}

QRgb Rgb(COLORREF colour)
{
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

bool ColourNear(const QImage& image, QPoint at, COLORREF colour, int radius)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.valid(p) && (image.pixel(p) & 0xFFFFFF) == (Rgb(colour) & 0xFFFFFF))
                return true;
        }
    }
    return false;
}

int CountColour(const QImage& image, const QRect& area, COLORREF colour, bool outside)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (area.contains(x, y) != outside && (image.pixel(x, y) & 0xFFFFFF) == (Rgb(colour) & 0xFFFFFF))
                ++count;
        }
    }
    return count;
}

QRect LitArea(const QImage& image)
{
    QRect lit;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) & 0xFFFFFF)
                lit |= QRect(x, y, 1, 1);
        }
    }
    return lit;
}

void FillWaves(CFLineGraph& graph, int channels, int samples)
{
    graph.Clear();
    for (int i = 0; i < channels; ++i)
        graph.AddChannel(QString("Data %1").arg(i), "", false, true, kTestColours[i % 16], 10, 1000);
    std::lock_guard lock(CFLineGraph::GraphLock());
    std::vector<std::int32_t> row(channels);
    for (int j = 0; j < samples; ++j) {
        for (int i = 0; i < channels; ++i)
            row[i] = static_cast<std::int32_t>(4000 * std::sin(j / 40.0 + i * 0.4) + (i - 8) * 150);
        graph.Samples().AddSample(j, row.data(), static_cast<std::int16_t>(channels));
    }
}
