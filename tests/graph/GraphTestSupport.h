#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <memory>

#include "graph/FLineGraph.h"
#include "graph/GraphTypes.h"
#include "graph/OffscreenDeviceContext.h"

// A graph with its own offscreen surface of a fixed size, its context made
// and sized, ready to draw.
class OffscreenGraph {
public:
    explicit OffscreenGraph(QSize size = {500, 400});

    bool Ready() const { return m_bReady; }
    QImage Render();
    // Pixel of the image at a point of the drawing space.
    QPoint Pixel(double x, double y) const;

    host::OffscreenDeviceContext dc;
    CFLineGraph graph;

private:
    bool m_bReady = false;
};

QRgb Rgb(COLORREF colour);
// A pixel of that colour within radius of at.
bool ColourNear(const QImage& image, QPoint at, COLORREF colour, int radius = 1);
// Pixels of that colour inside (or, with outside set, outside) the area.
int CountColour(const QImage& image, const QRect& area, COLORREF colour, bool outside = false);
// Bounding box of every pixel that is not black.
QRect LitArea(const QImage& image);
// Fills a graph with channels of the channel colours and samples 0 .. samples - 1.
void FillWaves(CFLineGraph& graph, int channels, int samples);

extern const COLORREF kTestColours[16];
