#include "graphwin/GraphCtrlDlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "graph/FOpenGL.h"
#include "graph/GLWidgetDeviceContext.h"
#include "graphwin/GraphMessages.h"
#include "graphwin/PlotSurface.h"
#include "platform/CloseRequest.h"
#include "ui/ProgressDlg.h"

namespace {

constexpr uint16_t kStyleLines = kStyleZeroLine;
constexpr uint16_t kStyleLinesAndDots = kStyleZeroLine | kStyleDots;
constexpr unsigned kMaxChannels = 16;
// Drive parameters are numbered in 16 bits: no test array holds more values.
constexpr size_t kMaxTestArrayValues = 0x10000;
// A scroll bar holds at most this many steps across the data.
constexpr int64_t kMaxScrollSteps = 32767;

// Closing the main window or the graph window while the test array is read,
// or Abort in a failed exchange's box, cancels the read. The main window
// itself closes once the read is over, as it waits for the drive to be free.
class TestArrayReadGuard : public QObject {
public:
    TestArrayReadGuard(QWidget* mainWindow, QWidget* graphWindow, CProgressDlg* progress)
        : m_main(mainWindow), m_graph(graphWindow), m_progress(progress)
    {
        qApp->installEventFilter(this);
        m_closeHandler = host::SetCloseHandler([this] {
            m_progress->reject();
            if (m_closeHandler)
                m_closeHandler();
        });
    }
    ~TestArrayReadGuard() override
    {
        host::SetCloseHandler(std::move(m_closeHandler));
        qApp->removeEventFilter(this);
    }
    TestArrayReadGuard(const TestArrayReadGuard&) = delete;
    TestArrayReadGuard& operator=(const TestArrayReadGuard&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Close && watched && (watched == m_main || watched == m_graph))
            m_progress->reject();
        return false;
    }

private:
    QPointer<QWidget> m_main;
    QPointer<QWidget> m_graph;
    CProgressDlg* m_progress;
    host::CloseHandler m_closeHandler;
};

int64_t FloorDiv(int64_t a, int64_t d) { return static_cast<int64_t>(std::floor(double(a) / double(d))); }
int64_t CeilDiv(int64_t a, int64_t d) { return static_cast<int64_t>(std::ceil(double(a) / double(d))); }

// The increment that keeps the span between b and a within the bar's steps.
int64_t FitIncrement(int32_t a, int32_t b, int64_t d)
{
    while (std::llabs(a / d - b / d) >= kMaxScrollSteps)
        d *= 2;
    return d;
}

// The Qt bar holds positions nMin .. limit, where limit is the highest
// position at which a page still fits (the native bar's nMax - page + 1).
void SetBar(QScrollBar* bar, int64_t nMin, int64_t limit, int page, int64_t position)
{
    const QSignalBlocker block(bar);
    bar->setRange(static_cast<int>(nMin), static_cast<int>(limit));
    bar->setPageStep(page);
    bar->setSingleStep(1);
    bar->setValue(static_cast<int>(position));
}

int32_t ChannelYInc(const CFLineGraph& graph, int i)
{
    std::lock_guard lock(CFLineGraph::GraphLock());
    const CFYPole* channel = graph.Channel(i);
    return channel ? channel->Increment() : 0;
}

int ChannelDivisions(const CFLineGraph& graph, int i)
{
    std::lock_guard lock(CFLineGraph::GraphLock());
    const CFYPole* channel = graph.Channel(i);
    return channel ? channel->Divisions() : 0;
}

// Scroll bar commands, numbered as the native ones; the vertical bar names
// 0 .. 3 up and down, 6 top and 7 bottom.
enum ScrollCode : int {
    SB_LINELEFT = 0,
    SB_LINERIGHT = 1,
    SB_PAGELEFT = 2,
    SB_PAGERIGHT = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_LEFT = 6,
    SB_RIGHT = 7,
};

int ScrollCodeOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return SB_LINELEFT;
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINERIGHT;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGELEFT;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGERIGHT;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    case QAbstractSlider::SliderToMinimum: return SB_LEFT;
    case QAbstractSlider::SliderToMaximum: return SB_RIGHT;
    default: return -1;
    }
}

// New bar position for a scroll command. The vertical bar's Top goes to the
// highest position and Bottom to the lowest.
int ScrollTarget(const QScrollBar* bar, int code, int thumb, bool vertical)
{
    const int64_t pos = bar->value();
    const int64_t min = bar->minimum();
    const int64_t limit = bar->maximum();
    const int64_t page = bar->pageStep();
    int64_t target = pos;
    switch (code) {
    case SB_LINELEFT: target = pos > min ? pos - 1 : pos; break;
    case SB_LINERIGHT: target = pos < limit ? pos + 1 : pos; break;
    case SB_PAGELEFT: target = pos > min ? std::max(pos - page, min) : pos; break;
    case SB_PAGERIGHT: target = pos < limit ? std::min(pos + page, limit) : pos; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: target = thumb; break;
    case SB_LEFT: target = vertical ? limit : min; break;
    case SB_RIGHT: target = vertical ? min : limit; break;
    default: break;
    }
    return static_cast<int>(target);
}

}  // namespace

CGraphCtrlDlg::CGraphCtrlDlg(QWidget* parent)
    : QWidget(parent), m_pMaster(GetTarvixMaster())
{
    setObjectName(QStringLiteral("graphCtrl"));
    QWidget* plot = nullptr;
    if (PlatformHasOpenGL()) {
        m_pSurface = new CPlotSurface(m_graph, this);
        plot = m_pSurface;
    } else {
        host::GLWidgetDeviceContext probe(nullptr, CFOpenGL::PixelFormat(CPlotSurface::kColourBits));
        // Without OpenGL an OpenGL surface takes the whole window down when it
        // is shown: the set-up fails here with its box and the plot stays empty.
        plot = new QWidget(this);
        std::lock_guard lock(CFLineGraph::GraphLock());
        CFOpenGL::Shared().Create(&probe, CPlotSurface::kColourBits, m_graph.BackgroundColour());
    }
    m_pHBar = new QScrollBar(Qt::Horizontal, this);
    m_pHBar->setObjectName(QStringLiteral("hScroll"));
    m_pVBar = new QScrollBar(Qt::Vertical, this);
    m_pVBar->setObjectName(QStringLiteral("vScroll"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(plot, 0, 0);
    layout->addWidget(m_pVBar, 0, 1);
    layout->addWidget(m_pHBar, 1, 0);

    connect(m_pHBar, &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(m_pHBar, action); });
    connect(m_pVBar, &QScrollBar::actionTriggered, this,
            [this](int action) { OnScrollAction(m_pVBar, action); });
    m_graph.m_pOwner = this;
}

CGraphCtrlDlg::~CGraphCtrlDlg() = default;

bool CGraphCtrlDlg::PlatformHasOpenGL()
{
    // The platform's OpenGL is chosen at start-up: one probe context answers
    // for the whole run.
    static const bool hasOpenGL = [] {
        const host::PixelFormatDescriptor pfd = CFOpenGL::PixelFormat(CPlotSurface::kColourBits);
        host::GLWidgetDeviceContext probe(nullptr, pfd);
        return probe.ChoosePixelFormat(pfd) != 0;
    }();
    return hasOpenGL;
}

bool CGraphCtrlDlg::event(QEvent* e)
{
    // Only the graph's own messages are CVcmMessages.
    const auto message = [e] { return static_cast<CVcmMessage*>(e); };
    switch (static_cast<int>(e->type())) {
    case WM_GRAPH_SET_XINC: {
        CVcmMessage* m = message();
        m->result = OnSetXInc(m->wParam, reinterpret_cast<int32_t*>(m->lParam));
        return true;
    }
    case WM_GRAPH_SET_YINC: {
        CVcmMessage* m = message();
        m->result = OnSetYInc(m->wParam, reinterpret_cast<int32_t*>(m->lParam));
        return true;
    }
    case WM_GRAPH_AUTO_SCALE:
        message()->result = OnAutoScale();
        return true;
    case WM_GRAPH_SHOW_DOTS:
        message()->result = OnShowDots(message()->wParam);
        return true;
    case WM_GRAPH_LOAD_DATA:
        message()->result = OnLoadData();
        return true;
    default:
        return QWidget::event(e);
    }
}

void CGraphCtrlDlg::keyPressEvent(QKeyEvent* e)
{
    // Enter and Escape stay here: they would end the graph window.
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter || e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

void CGraphCtrlDlg::Repaint()
{
    if (m_pSurface)
        m_pSurface->update();
}

void CGraphCtrlDlg::ShowLoadedData()
{
    // Drawn before anything else gets its turn: the page's re-read after
    // the graph button's command waits for the drive to be free, and would
    // otherwise run first and hold the plot back by a whole page of
    // exchanges; the progress window's object goes only after this frame.
    if (m_pSurface)
        m_pSurface->repaint();
}

void CGraphCtrlDlg::OnScrollAction(QScrollBar* bar, int action)
{
    if (bar == m_pHBar)
        OnHScroll(ScrollCodeOf(action), bar->sliderPosition());
    else
        OnVScroll(ScrollCodeOf(action), bar->sliderPosition());
}

void CGraphCtrlDlg::OnHScroll(int code, int thumb)
{
    const int pos = ScrollTarget(m_pHBar, code, thumb, false);
    // The bar takes the slider position once the action is over.
    m_pHBar->setSliderPosition(pos);
    m_graph.CursorsOff();
    m_graph.m_nXScrollPos = pos;
    Repaint();
}

void CGraphCtrlDlg::OnVScroll(int code, int thumb)
{
    const int pos = ScrollTarget(m_pVBar, code, thumb, true);
    m_pVBar->setSliderPosition(pos);
    m_graph.CursorsOff();
    // The top of the bar shows the highest values.
    m_graph.m_nYScrollPos =
        static_cast<int32_t>(int64_t{m_pVBar->minimum()} + m_pVBar->maximum() - pos);
    Repaint();
}

intptr_t CGraphCtrlDlg::OnSetXInc(intptr_t requested, int32_t* inForce)
{
    CFXPole& axis = m_graph.XPole();
    if (requested > 0) {
        const int64_t a = std::min<int64_t>(requested, kMaxIncrement);
        const int64_t old = axis.Increment();
        if (a != old) {
            const int64_t wanted = int64_t{m_graph.m_nXScrollPos} * old / a;
            axis.SetIncrement(static_cast<int32_t>(a));
            SetXScrollRange(m_graph.GetMaxX(), m_graph.GetMinX(), wanted);
            Repaint();
        }
    }
    if (inForce)
        *inForce = axis.Increment();
    return 0;
}

intptr_t CGraphCtrlDlg::OnSetYInc(intptr_t requested, int32_t* inForce)
{
    const int channels = m_graph.ChannelCount();
    if (requested > 0 && channels > 0) {
        const int64_t a = std::min<int64_t>(requested, kMaxIncrement);
        const int64_t old = ChannelYInc(m_graph, 0);
        if (a != old) {
            const int64_t w = int64_t{m_graph.m_nYScrollPos} * old;
            for (int i = 0; i < channels; ++i)
                m_graph.SetChannelYInc(i, static_cast<int32_t>(a));
            SetYScrollRange(m_graph.GetMaxY(), m_graph.GetMinY(), w / a);
            Repaint();
        }
    }
    if (inForce)
        *inForce = channels > 0 ? ChannelYInc(m_graph, 0) : 0;
    return 0;
}

bool CGraphCtrlDlg::SetXScrollRange(int32_t maxX, int32_t minX, int64_t wanted)
{
    CFXPole& axis = m_graph.XPole();
    const int n = axis.Divisions();
    const int64_t target = int64_t{axis.Increment()} * wanted;
    const int64_t d = FitIncrement(maxX, minX, axis.Increment());
    axis.SetIncrement(static_cast<int32_t>(d));
    const int64_t nMax = CeilDiv(maxX, d) + n;
    const int64_t nMin = FloorDiv(minX, d) + n / 2 - 1;
    const int64_t limit = std::max(nMin, nMax - n + 1);
    // Kept where the bar can show it, so the first scroll does not jump.
    const int64_t pos = std::clamp(target / d, nMin, limit);
    m_graph.m_nXScrollPos = static_cast<int32_t>(pos);
    m_graph.CursorsOff();
    SetBar(m_pHBar, nMin, limit, n, pos);
    return true;
}

bool CGraphCtrlDlg::SetYScrollRange(int32_t maxY, int32_t minY, int64_t wanted)
{
    const int divisions = ChannelDivisions(m_graph, 0);
    const int64_t increment = ChannelYInc(m_graph, 0);
    if (increment <= 0)
        return true;  // no channel, no vertical range
    const int64_t target = increment * wanted;
    const int64_t d = FitIncrement(maxY, minY, increment);
    if (d != increment) {
        for (int i = 0; i < m_graph.ChannelCount(); ++i)
            m_graph.SetChannelYInc(i, static_cast<int32_t>(d));
    }
    const int64_t nMax = CeilDiv(maxY, d) + divisions;
    const int64_t nMin = FloorDiv(minY, d);
    const int64_t limit = std::max(nMin, nMax - divisions + 1);
    const int64_t pos = std::clamp(target / d, nMin, limit);
    m_graph.m_nYScrollPos = static_cast<int32_t>(pos);
    m_graph.CursorsOff();
    SetBar(m_pVBar, nMin, limit, divisions, nMin + limit - pos);
    return true;
}

intptr_t CGraphCtrlDlg::OnAutoScale()
{
    const int channels = m_graph.ChannelCount();
    if (channels <= 0)
        return 0;
    CFXPole& axis = m_graph.XPole();
    const int64_t n = std::max<int64_t>(axis.Divisions() - 2, 1);
    const int64_t span = std::llabs(int64_t{m_graph.GetMaxX()} - m_graph.GetMinX() + 1);
    const int64_t xInc = std::clamp<int64_t>(span / n, 1, kMaxIncrement);
    axis.SetIncrement(static_cast<int32_t>(xInc));

    const int64_t halfDivisions = std::max(ChannelDivisions(m_graph, 0) / 2, 1);
    const int64_t mag = std::max(std::llabs(m_graph.GetMaxY()), std::llabs(m_graph.GetMinY()));
    int64_t p = 1;
    while (mag / p >= 10)
        p *= 10;
    const int64_t yInc = std::clamp<int64_t>((mag / p + 1) * p / halfDivisions, 1, kMaxIncrement);
    for (int i = 0; i < channels; ++i)
        m_graph.SetChannelYInc(i, static_cast<int32_t>(yInc));

    const int64_t oldX = m_graph.m_nXScrollPos;
    const int64_t oldY = m_graph.m_nYScrollPos;
    SetXScrollRange(m_graph.GetMaxX(), m_graph.GetMinX(), oldX / xInc);
    SetYScrollRange(m_graph.GetMaxY(), m_graph.GetMinY(), oldY / yInc);
    Repaint();
    SendVcmMessage(parentWidget(), WM_GRAPH_INC_CHANGED, axis.Increment(), static_cast<intptr_t>(yInc));
    return 0;
}

intptr_t CGraphCtrlDlg::OnShowDots(intptr_t state)
{
    m_graph.m_nStyle = state ? kStyleLinesAndDots : kStyleLines;
    Repaint();
    return 0;
}

intptr_t CGraphCtrlDlg::OnLoadData()
{
    QPointer<QWidget> mainWindow = GetMainWnd();
    SendVcmMessage(mainWindow, WM_POLL_STOP);
    if (!LoadTestArray())
        window()->hide();
    SendVcmMessage(mainWindow, WM_POLL_START);
    return 0;
}

bool CGraphCtrlDlg::LoadTestArray()
{
    CBaseDriver* driver = m_pMaster->GetDriver();
    if (!driver || !driver->HasTestArray())
        return false;
    const unsigned lines = static_cast<unsigned>(driver->GetTestArrayLines());
    const unsigned columns = static_cast<unsigned>(driver->GetTestArrayColumns());
    if (lines == 0 || columns == 0 || lines > kMaxChannels || size_t{lines} * columns > kMaxTestArrayValues)
        return false;

    std::vector<int16_t> values(size_t{lines} * columns);
    std::vector<int32_t> row(lines);
    m_graph.Clear();
    for (unsigned i = 0; i < lines; ++i) {
        m_graph.AddChannel(QString::asprintf("Data %d", static_cast<int>(i)).left(10), QString(), false, true,
                           kChannelColours[i], 10, 1000);
    }

    CProgressDlg progress;
    progress.Create(this);
    {
        TestArrayReadGuard guard(GetMainWnd(), window(), &progress);
        if (!m_pMaster->ReadTestArray(&progress, values.data(), values.size()))
            return false;
    }

    for (unsigned j = 0; j < columns; ++j) {
        std::copy_n(values.begin() + ptrdiff_t{j} * lines, lines, row.begin());
        std::lock_guard lock(CFLineGraph::GraphLock());
        if (m_graph.ChannelCount() == static_cast<int>(lines))
            m_graph.Samples().AddSample(static_cast<int32_t>(j), row.data(), static_cast<int16_t>(lines));
    }
    progress.DestroyWindow();

    m_graph.m_bLegend = true;
    OnAutoScale();
    ShowLoadedData();
    return true;
}
