// Frame time of CFLineGraph::Draw with 16 channels of 4096 samples each, all
// in view, on an offscreen surface of 800 x 600 in the machine's own OpenGL
// (a software renderer here). Each frame waits until it is drawn. Target:
// below 16 ms, a frame at 60 Hz. Needs a display; without one the program
// runs itself again under xvfb-run.

#include <unistd.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "graph/FLineGraph.h"
#include "graph/FOpenGL.h"
#include "graph/OffscreenDeviceContext.h"

namespace {

constexpr int kChannels = 16;
constexpr int kSamples = 4096;
constexpr int kFrames = 60;

void Fill(CFLineGraph& graph)
{
    graph.Clear();
    for (int i = 0; i < kChannels; ++i)
        graph.AddChannel(QString("Data %1").arg(i), "", false, true, 0x202020u * (i % 7 + 1), 10, 1200);
    std::lock_guard lock(CFLineGraph::GraphLock());
    std::vector<std::int32_t> row(kChannels);
    for (int j = 0; j < kSamples; ++j) {
        for (int i = 0; i < kChannels; ++i)
            row[i] = static_cast<std::int32_t>(4000 * std::sin(j / 90.0 + i * 0.4));
        graph.Samples().AddSample(j, row.data(), kChannels);
    }
    // As auto-scale leaves it: 8 divisions span the samples, all in view.
    graph.XPole().SetIncrement(kSamples / 8);
    graph.m_nXScrollPos = 4;
    graph.m_bLegend = true;
}

void Measure(CFLineGraph& graph, host::OffscreenDeviceContext& dc, const char* what)
{
    std::vector<double> ms;
    graph.Draw(&dc);  // warm-up
    for (int f = 0; f < kFrames; ++f) {
        const auto start = std::chrono::steady_clock::now();
        graph.Draw(&dc);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("%-22s mean %7.2f ms  median %7.2f ms  max %7.2f ms  (%d frames)\n", what, sum / ms.size(),
                ms[ms.size() / 2], ms.back(), kFrames);
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY") && !std::getenv("TARVIX_BENCH_UNDER_XVFB")) {
        setenv("TARVIX_BENCH_UNDER_XVFB", "1", 1);
        execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", argv[0], static_cast<char*>(nullptr));
        std::perror("xvfb-run");
        return 1;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);

    host::OffscreenDeviceContext dc({800, 600});
    CFLineGraph graph;
    bool created;
    {
        std::lock_guard lock(CFLineGraph::GraphLock());
        created = CFOpenGL::Shared().Create(&dc, 16, graph.BackgroundColour());
    }
    if (!created) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    graph.Resize(&dc, 800, 600);
    Fill(graph);
    std::printf("Draw, %d channels x %d samples, 800 x 600:\n", kChannels, kSamples);
    Measure(graph, dc, "lines (style 2)");
    graph.m_nStyle = 34;
    Measure(graph, dc, "lines and dots (34)");
    return 0;
}
