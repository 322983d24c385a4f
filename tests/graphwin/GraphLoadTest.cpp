// Reading the test array into the graph, and what ends the graph window.
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <mutex>

#include "drive/TarvixMaster.h"
#include "graphwin/PlotSurface.h"
#include "platform/CloseRequest.h"
#include "tests/drive/DriverTestSupport.h"
#include "tests/graphwin/GraphWindowFixture.h"
#include "tools/drivesim/DriveProfile.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/ProgressDlg.h"
#include "ui/VcmMessages.h"

namespace {

constexpr int kLines = 4;
constexpr int kValues = 4 * 64;
const std::vector<int> kBusyAroundLoad{WM_POLL_STOP, WM_POLL_START};

// Pixels of one colour (red in the lowest byte).
int CountColour(const QImage& image, COLORREF colour)
{
    const QRgb wanted = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF) & 0xFFFFFF;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) == wanted;
    return count;
}

}  // namespace

TEST_F(GraphWindowTest, EveryValueOfTheTestArrayBecomesASampleOfItsLine)
{
    ConnectTo(kSampleServoVersion);
    // The main window takes no input meanwhile.
    DuringTheRead([&] {
        QTest::mouseClick(m_main.button, Qt::LeftButton);
        QTest::keyClick(m_main.button, Qt::Key_Space);
    });
    OpenGraph();

    EXPECT_EQ(m_main.clicks, 0);
    QTest::mouseClick(m_main.button, Qt::LeftButton);
    EXPECT_EQ(m_main.clicks, 1);
    EXPECT_EQ(m_sim->ReceivedLines(), TestArrayWire(kValues));
    EXPECT_EQ(m_main.busy, kBusyAroundLoad);
    ASSERT_TRUE(m_dlg->isVisible());
    // Auto-scaled: 64 samples over 8 divisions.
    EXPECT_EQ(Child<QLineEdit>("xInc").text(), "8");
    std::lock_guard lock(CFLineGraph::GraphLock());
    ASSERT_EQ(Graph().ChannelCount(), kLines);
    EXPECT_TRUE(Graph().m_bLegend);
    EXPECT_EQ(Child<QLineEdit>("yInc").text(), QString::number(Graph().Channel(0)->Increment()));
    EXPECT_EQ(Graph().Channel(3)->GetName(), "Data 3");
    ASSERT_EQ(Graph().Samples().SampleCount(), kValues / kLines);
    const JDataList::Node* node = Graph().Samples().Head();
    for (int j = 0; j < kValues / kLines; ++j, node = node->next) {
        ASSERT_EQ(node->x, j);
        // Value j x lines + k of the array is line k at sample j.
        for (int k = 0; k < kLines; ++k)
            EXPECT_EQ(node->values[k], int16_t(m_sim->GetValue(300 + j * kLines + k))) << j << " " << k;
    }
}

TEST_F(GraphWindowTest, PlotShowsEveryLineInItsColourAndDotsOnRequest)
{
    ConnectTo(kSampleServoVersion);
    OpenGraph();
    // The window as the X server shows it, plot included, once it has been drawn.
    const auto grab = [&] { return m_dlg->screen()->grabWindow(m_dlg->winId()).toImage(); };
    QImage window;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        window = grab();
        return CountColour(window, kChannelColours[kLines - 1]) > 20;
    }, 5000));
    EXPECT_TRUE(window.save(QStringLiteral(TARVIX_BUILD_DIR "/graph-window.png")));
    for (int k = 0; k < kLines; ++k)
        EXPECT_GT(CountColour(window, kChannelColours[k]), 20) << "line " << k;

    // Show Dot adds a dot at every sample.
    QTest::mouseClick(&Child<QCheckBox>("showDot"), Qt::LeftButton);
    EXPECT_EQ(Graph().m_nStyle, 34);
    const int lineOnly = CountColour(window, kChannelColours[3]);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return CountColour(grab(), kChannelColours[3]) > lineOnly + 64; }, 5000));
}

TEST_F(GraphWindowTest, SixteenLinesLoadWhileNoTestArrayClosesTheWindowSilently)
{
    struct Case {
        const char* version;  // empty: not connected
        int lines, columns;
    } const cases[] = {{drivertest::kStepVersion, 4, 2}, {"", 4, 2}, {drivertest::kServoVersion, 16, 2},
                       {drivertest::kServoVersion, 17, 2}, {drivertest::kServoVersion, 4, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.version) + " " + std::to_string(c.lines) + " x " + std::to_string(c.columns));
        TempProgramFolder folder;
        std::vector<drivertest::SmallVersion> versions = drivertest::SmallVersions();
        versions[1].constants = "NUMBER_LINE_TESTARRAY = " + std::to_string(c.lines) + "\nNUMBER_COLUMN_TESTARRAY = " +
                                std::to_string(c.columns) + "\nDB_TestArrayStart = 40\nNUMBER_OF_PARAMETERS = 6\n";
        drivertest::WriteSmallDatabase(folder, versions);
        folder.Write("ErrorTable.lua", "glb_TableError = { 'none' }\n");
        DriveProfile profile;
        profile.versionText = c.version;
        profile.values.assign(80, 7);
        m_sim->ApplyProfile(profile);
        GetTarvixMaster()->Close();
        if (*c.version) {
            ASSERT_EQ(GetTarvixMaster()->Connect(uint8_t(m_sim.Com()), kBaudCode9600, true), kConnectOk);
        }
        m_sim->ClearRecord();
        OpenGraph();
        const bool loads = c.lines == 16;
        EXPECT_EQ(m_dlg->isVisible(), loads);
        EXPECT_EQ(m_sim->ReceivedLines().size(), loads ? size_t(c.lines * c.columns + 1) : 0u);
        EXPECT_EQ(Graph().ChannelCount(), loads ? c.lines : 0);
        EXPECT_EQ(m_main.busy, kBusyAroundLoad);
    }
}

TEST_F(GraphWindowTest, CancelCloseOrAbortDuringTheReadClosesTheGraph)
{
    int closeRequests = 0;
    host::CloseHandler before = host::SetCloseHandler([&] { ++closeRequests; });
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"Cancel",
         [this] {
             auto* progress = Plot().findChild<CProgressDlg*>();
             ASSERT_TRUE(progress && progress->isVisible());
             QTest::mouseClick(progress->findChild<QPushButton*>("cancel"), Qt::LeftButton);
         }},
        {"graph window closed", [this] { m_dlg->close(); }},
        {"Abort in a failed exchange's box",
         [this] {
             GetTarvixMaster()->SetShowErrorBox(true);
             m_sim->InjectFault({SimulatedDrive::FaultKind::ErrorAnswer}, 1, "MD");
             m_boxes.Answer(host::IDABORT);
         }},
    };
    ConnectTo(kSampleServoVersion);
    for (const auto& [name, cancel] : cases) {
        SCOPED_TRACE(name);
        m_sim->ClearRecord();
        DuringTheRead(cancel);
        OpenGraph();
        EXPECT_FALSE(m_dlg->isVisible());
        const std::vector<std::string> wire = m_sim->ReceivedLines();
        ASSERT_FALSE(wire.empty());
        EXPECT_EQ(wire, TestArrayWire(wire.size() - 1));
        EXPECT_LT(wire.size(), size_t{kValues + 1});
        EXPECT_EQ(m_main.busy, kBusyAroundLoad);
        EXPECT_FALSE(GetTarvixMaster()->IsReadingTestArray());
    }
    // Abort still asks the application to close, once.
    EXPECT_EQ(closeRequests, 1);
    GetTarvixMaster()->SetShowErrorBox(false);
    host::SetCloseHandler(before);
}
