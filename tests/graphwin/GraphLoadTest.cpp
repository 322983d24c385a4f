// Reading the test array into the graph, and what ends the graph window.
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <mutex>

#include "app/ProgressDlg.h"
#include "drive/TarvixMaster.h"
#include "graph/PlotSurface.h"
#include "pages/VcmMessages.h"
#include "tests/graphwin/GraphWindowFixture.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

constexpr int kLines = 4;
constexpr int kColumns = 64;
constexpr uint16_t kStart = 300;

const std::vector<int> kBusyAroundLoad{WM_POLL_STOP, WM_POLL_START};

// Pixels of one colour (red in the lowest byte) in an image.
int CountColour(const QImage& image, COLORREF colour)
{
    const QRgb wanted = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == (wanted & 0xFFFFFF);
    return count;
}

CProgressDlg* RunningProgress(CGraphCtrlDlg& plot) { return plot.findChild<CProgressDlg*>(); }

}  // namespace

TEST_F(GraphWindowTest, EveryValueOfTheTestArrayBecomesASampleOfItsLine)
{
    ConnectTo(kSampleServoVersion);
    OpenGraph();

    EXPECT_EQ(Wire(), TestArrayWire(kLines * kColumns));
    EXPECT_EQ(m_main.busy, kBusyAroundLoad);
    EXPECT_TRUE(m_dlg->isVisible());
    CFLineGraph& graph = Graph();
    ASSERT_EQ(graph.ChannelCount(), kLines);
    EXPECT_TRUE(graph.m_bLegend);

    std::lock_guard lock(CFLineGraph::GraphLock());
    for (int k = 0; k < kLines; ++k) {
        EXPECT_EQ(graph.Channel(k)->GetName(), "Data " + std::to_string(k));
        EXPECT_EQ(graph.GetChannelColour(k), kChannelColours[k]);
    }
    const JDataList& samples = graph.Samples();
    ASSERT_EQ(samples.SampleCount(), kColumns);
    const JDataList::Node* node = samples.Head();
    for (int j = 0; j < kColumns; ++j, node = node->next) {
        ASSERT_EQ(node->x, j);
        for (int k = 0; k < kLines; ++k) {
            // Value j x lines + k of the array is line k at sample j.
            EXPECT_EQ(node->values[k], static_cast<int16_t>(m_sim->GetValue(kStart + j * kLines + k)))
                << "sample " << j << " line " << k;
        }
    }
}

TEST_F(GraphWindowTest, LoadedGraphIsAutoScaledAndShowsItsIncrements)
{
    ConnectTo(kSampleServoVersion);
    OpenGraph();

    // 64 samples over 8 divisions; the curves reach 10000 .. 19999 in magnitude.
    EXPECT_EQ(Graph().XPole().Increment(), 8);
    EXPECT_EQ(Edit("xInc").text(), "8");
    std::lock_guard lock(CFLineGraph::GraphLock());
    EXPECT_EQ(Edit("yInc").text(), QString::number(Graph().Channel(0)->Increment()));
    for (int k = 1; k < kLines; ++k)
        EXPECT_EQ(Graph().Channel(k)->Increment(), Graph().Channel(0)->Increment());
}

TEST_F(GraphWindowTest, PlotShowsEveryLineInItsColour)
{
    ConnectTo(kSampleServoVersion);
    OpenGraph();
    QTest::qWait(50);

    const QImage plot = Plot().GetSurface()->grabFramebuffer();
    for (int k = 0; k < kLines; ++k)
        EXPECT_GT(CountColour(plot, kChannelColours[k]), 20) << "line " << k;
    // The window as the X server shows it, plot included.
    const QImage window = m_dlg->screen()->grabWindow(m_dlg->winId()).toImage();
    EXPECT_EQ(window.size(), m_dlg->size());
    EXPECT_GT(CountColour(window, kChannelColours[0]), 20);
    EXPECT_TRUE(window.save(QStringLiteral(TARVIX_BUILD_DIR "/graph-window.png")));
}

TEST_F(GraphWindowTest, NoTestArrayClosesTheGraphWindowWithoutAMessage)
{
    struct Case {
        const char* name;
        const char* version;  // null: not connected
    };
    const Case cases[] = {{"step drive", kSampleBipolarVersion}, {"no drive", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_master->Close();
        if (c.version)
            ConnectTo(c.version);
        m_main.busy.clear();
        OpenGraph();
        EXPECT_FALSE(m_dlg->isVisible());
        EXPECT_TRUE(Wire().empty());
        EXPECT_EQ(m_main.busy, kBusyAroundLoad);
        EXPECT_EQ(m_boxes.Count(), 0u);
    }
}

TEST_F(GraphWindowTest, CancelDuringTheReadClosesTheGraphWindow)
{
    struct Case {
        const char* name;
        std::function<void()> cancel;
    };
    const Case cases[] = {
        {"Cancel",
         [this] {
             CProgressDlg* progress = RunningProgress(Plot());
             ASSERT_NE(progress, nullptr);
             EXPECT_TRUE(progress->isVisible());
             QTest::mouseClick(progress->findChild<QPushButton*>(QStringLiteral("cancel")), Qt::LeftButton);
         }},
        {"graph window closed", [this] { m_dlg->close(); }},
    };
    ConnectTo(kSampleServoVersion);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_sim->ClearRecord();
        m_main.busy.clear();
        DuringTheRead(c.cancel);
        OpenGraph();

        EXPECT_FALSE(m_dlg->isVisible());
        const std::vector<std::string> wire = Wire();
        ASSERT_FALSE(wire.empty());
        EXPECT_EQ(wire, TestArrayWire(wire.size() - 1));
        EXPECT_LT(wire.size(), size_t{kLines * kColumns + 1});
        EXPECT_EQ(m_main.busy, kBusyAroundLoad);
        EXPECT_EQ(m_boxes.Count(), 0u);
        EXPECT_FALSE(m_master->IsReadingTestArray());
    }
}

TEST_F(GraphWindowTest, MainWindowTakesNoInputDuringTheRead)
{
    ConnectTo(kSampleServoVersion);
    DuringTheRead([&] {
        QTest::mouseClick(m_main.button, Qt::LeftButton);
        QTest::keyClick(m_main.button, Qt::Key_Space);
    });
    OpenGraph();

    EXPECT_EQ(m_main.buttonClicks, 0);
    // The read was not disturbed: one "MA", then the samples only.
    EXPECT_EQ(Wire(), TestArrayWire(kLines * kColumns));
    EXPECT_TRUE(m_dlg->isVisible());
    // Afterwards the main window takes input again.
    QTest::mouseClick(m_main.button, Qt::LeftButton);
    EXPECT_EQ(m_main.buttonClicks, 1);
}

TEST_F(GraphWindowTest, ClosingTheMainWindowCancelsTheReadBeforeItCloses)
{
    ConnectTo(kSampleServoVersion);
    DuringTheRead([&] { m_main.close(); });
    OpenGraph();

    // The read ended first, as a cancel, and nothing has closed the main window yet.
    const std::vector<std::string> wire = Wire();
    EXPECT_LT(wire.size(), size_t{kLines * kColumns + 1});
    EXPECT_EQ(wire, TestArrayWire(wire.size() - 1));
    EXPECT_FALSE(m_dlg->isVisible());
    EXPECT_EQ(m_main.busy, kBusyAroundLoad);

    QCoreApplication::processEvents();
    EXPECT_EQ(m_main.closes, 1);
    EXPECT_FALSE(m_main.readingAtClose);
    EXPECT_FALSE(m_main.isVisible());
}
