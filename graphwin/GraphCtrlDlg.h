#pragma once

#include <QWidget>

#include <cstdint>

#include "graph/FLineGraph.h"
#include "graph/GraphTypes.h"

class CTarvixMaster;
class CPlotSurface;
class QScrollBar;

// Colours of channels 0 to 15 (red in the lowest byte).
inline constexpr COLORREF kChannelColours[16] = {
    0x2020FF, 0x4484FF, 0x20FFFF, 0x40FF40, 0xFFFF20, 0xFF2020, 0x923030, 0xFF20FF,
    0x40AF3F, 0x7F7F00, 0x6E8296, 0x660066, 0x006600, 0x333399, 0xCCCCFF, 0xFFCCCC,
};

// The plot window inside the graph window: the OpenGL surface that shows the
// line graph, with a scroll bar on each axis. It reads the drive's test array
// into the graph when its graph window asks for it, one channel per line of
// the array.
class CGraphCtrlDlg : public QWidget {
    Q_OBJECT

public:
    explicit CGraphCtrlDlg(QWidget* parent);
    ~CGraphCtrlDlg() override;

    // Whether the platform offers the OpenGL the plot needs. The first call
    // loads the platform's OpenGL, which takes a tenth of a second and more
    // with a software renderer; later calls cost nothing.
    static bool PlatformHasOpenGL();

    CFLineGraph& GetGraph() { return m_graph; }
    // Null where the platform has no OpenGL.
    CPlotSurface* GetSurface() const { return m_pSurface; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // Reads the test array behind a progress window into channels and samples;
    // false when there is none to read, or the read failed or was cancelled.
    bool LoadTestArray();
    // Scroll bar ranges for the data between min and max, at the wanted
    // position in increments; an increment too small for the bar is doubled.
    bool SetXScrollRange(int32_t maxX, int32_t minX, int64_t wanted);
    bool SetYScrollRange(int32_t maxY, int32_t minY, int64_t wanted);
    intptr_t OnSetXInc(intptr_t requested, int32_t* inForce);
    intptr_t OnSetYInc(intptr_t requested, int32_t* inForce);
    intptr_t OnAutoScale();
    intptr_t OnShowDots(intptr_t state);
    intptr_t OnLoadData();
    // code: the native scroll command, 0 .. 7 (line, page, thumb, ends).
    void OnHScroll(int code, int thumb);
    void OnVScroll(int code, int thumb);
    void OnScrollAction(QScrollBar* bar, int action);
    void Repaint();
    // Puts the plot of the samples just read on the screen at once.
    void ShowLoadedData();

    CTarvixMaster* m_pMaster;
    CFLineGraph m_graph;
    CPlotSurface* m_pSurface = nullptr;
    QScrollBar* m_pHBar = nullptr;
    QScrollBar* m_pVBar = nullptr;
};
