#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "graph/FXPole.h"
#include "graph/FYPole.h"
#include "graph/GraphTypes.h"
#include "graph/JDataList.h"

class CFOpenGL;
class CInnerArea;
class QWidget;

namespace host {
class GLDeviceContext;
}

// The plot object of the graph library: the X axis, one Y axis per channel
// (a plotted series), the samples, and the display settings that drawing
// reads. Channels and samples are guarded by the graph lock.
class CFLineGraph {
public:
    // The process-wide graph lock; its holder may enter it again.
    static std::recursive_mutex& GraphLock();

    struct CursorPoint {
        double x = 0;  // drawing space
        double y = 0;
        std::int32_t dataX = 0;  // data units
        std::int32_t dataY = 0;
    };

    CFLineGraph();
    virtual ~CFLineGraph();
    CFLineGraph(const CFLineGraph&) = delete;
    CFLineGraph& operator=(const CFLineGraph&) = delete;

    // Removes all channels and samples; scroll positions, style, legend and X axis stay.
    void Clear();
    // Returns the new channel's number; the current channel goes back to 0.
    std::int16_t AddChannel(const QString& name, const QString& unit, bool showUnit, bool showLabels,
                            COLORREF colour, std::int16_t divisions, std::int32_t yIncrement);
    // 0 for a channel number out of range.
    COLORREF GetChannelColour(int i) const;
    // Below 1 becomes 1; a channel number out of range changes nothing.
    void SetChannelYInc(int i, std::int32_t increment);
    // Ranges over all samples (all channels for y); 0 without samples.
    std::int32_t GetMinX() const;
    std::int32_t GetMaxX() const;
    std::int32_t GetMinY() const;
    std::int32_t GetMaxY() const;

    // The client area changed to width x height pixels.
    void Resize(host::GLDeviceContext* dc, std::int32_t width, std::int32_t height);
    // Draws the whole graph and shows it; no context is current afterwards.
    void Draw(host::GLDeviceContext* dc);

    CFXPole& XPole() { return m_XPole; }
    // Channel i's axis, null when out of range; callers hold the graph lock.
    CFYPole* Channel(int i) const;
    std::int16_t ChannelCount() const { return m_nChannels; }
    std::int16_t CurrentChannel() const { return m_nCurrentChannel; }
    // Callers hold the graph lock.
    JDataList& Samples() { return m_Samples; }
    COLORREF BackgroundColour() const { return m_crBackground; }
    void CursorsOff();

    // Display settings that the plot window reads and writes.
    QWidget* m_pOwner = nullptr;
    std::int32_t m_nXScrollPos = 0;  // in X increments; x at the plot's centre = position x increment
    std::int32_t m_nYScrollPos = 0;  // in Y increments of each channel
    std::uint16_t m_nStyle = kStyleZeroLine;
    bool m_bLegend = false;
    std::int32_t m_nLegendX = 45;
    std::int32_t m_nLegendY = 45;
    bool m_bCrossHair = false;
    bool m_bMeasuring = false;
    // Nothing in the program moves the cursors; drawing reads these points.
    CursorPoint m_Cursor[2];

private:
    void DrawFrame();
    void DrawYAxis();
    void DrawLines();
    void DrawCrossHair();
    void DrawMeasuringCursors();
    void DrawReadout();
    void DrawLegend();

    CFXPole m_XPole;
    std::vector<std::unique_ptr<CFYPole>> m_Channels;
    JDataList m_Samples;
    CFOpenGL* m_pOpenGL;
    std::int16_t m_nCurrentChannel = 0;
    std::int16_t m_nChannels = 0;
    bool m_bReadout = false;
    CInnerArea* m_pInnerArea;
    std::vector<std::int32_t> m_Vertices;  // of one channel's line, kept between frames

    COLORREF m_crBackground = 0x000000;
    COLORREF m_crCursor = 0x00FFFF;
    COLORREF m_crGrid = 0x999999;
    COLORREF m_crBox = 0xEFEFEF;
    COLORREF m_crXLabels = 0xFFFFFF;
    COLORREF m_crFrame = 0xFFFFFF;
    COLORREF m_crMeasuring = 0x3399FF;
    COLORREF m_crMeasuringText = 0x99FFFF;
    COLORREF m_crCaptions = 0xCCCCCC;
};
