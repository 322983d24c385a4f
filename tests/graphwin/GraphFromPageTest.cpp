// The graph opened from the parameter page's graph button through the main frame.
#include <gtest/gtest.h>

#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/ConnectDlg.h"
#include "app/MainFrame.h"
#include "drive/TarvixMaster.h"
#include "graph/GraphCtrlDlg.h"
#include "graph/GraphDlg.h"
#include "pages/ViewSetting.h"
#include "tests/app/AppTestSupport.h"
#include "tests/graphwin/GraphWindowFixture.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

constexpr unsigned kCom = 214;
constexpr size_t kTestArrayValues = 4 * 64;

class GraphFromPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        PlaySampleDrive(m_sim, kSampleServoVersion);
        // The page's graph button records, then asks for the graph.
        m_sim->SetCommandHook("TR", [](const SimulatedDrive::Command&) { return std::string("OK"); });
        m_frame = std::make_unique<CMainFrame>();
        m_frame->show();
        m_folder.Write("Connection.ini", "[COMM]\nPortNo=" + std::to_string(kCom) + "\nBaudrate=9600\n");
        WhenModal<CConnectDlg>([](CConnectDlg* dlg) { dlg->findChild<QPushButton*>("connect")->click(); });
        m_frame->OnDriveConnect();
        ASSERT_TRUE(m_master->IsOpen());
        QCoreApplication::processEvents();
        m_sim->ClearRecord();
    }
    void TearDown() override
    {
        m_frame.reset();
        if (m_master->IsOpen())
            m_master->Close();
    }

    QPushButton* GraphButton()
    {
        for (QPushButton* button : m_frame->GetView()->findChildren<QPushButton*>())
            if (button->text() == "Record and show")
                return button;
        ADD_FAILURE() << "no graph button on the page";
        return nullptr;
    }
    QList<CGraphDlg*> Graphs() { return m_frame->findChildren<CGraphDlg*>(); }
    // Clicks the graph button and waits until the graph has read its test array.
    QPointer<CGraphDlg> PressGraphButton()
    {
        QTest::mouseClick(GraphButton(), Qt::LeftButton);
        EXPECT_EQ(Graphs().size(), 1);
        QPointer<CGraphDlg> graph = Graphs().empty() ? nullptr : Graphs().front();
        EXPECT_TRUE(QTest::qWaitFor([&] { return graph && SampleCount(graph) > 0; }, 10000));
        QTest::qWait(20);
        return graph;
    }
    static int SampleCount(CGraphDlg* graph)
    {
        std::lock_guard lock(CFLineGraph::GraphLock());
        return graph->findChild<CGraphCtrlDlg*>()->GetGraph().Samples().SampleCount();
    }
    // The test-array part of the wire: from its "MA" on.
    std::vector<std::string> WireFromTestArray()
    {
        std::vector<std::string> wire = m_sim->ReceivedLines();
        auto start = std::find(wire.begin(), wire.end(), "MA300");
        return std::vector<std::string>(start, wire.end());
    }

    ProgramFolderWithData m_folder;
    SimulatedDriveOnCom m_sim{kCom};
    ScriptedMessageBoxes m_boxes;
    CTarvixMaster* m_master = GetTarvixMaster();
    std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace

TEST_F(GraphFromPageTest, ButtonOpensTheGraphAndASecondPressReplacesIt)
{
    QPointer<CGraphDlg> first = PressGraphButton();
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    std::vector<std::string> wire = m_sim->ReceivedLines();
    ASSERT_FALSE(wire.empty());
    EXPECT_EQ(wire.front(), "TR");
    // The page's re-read after the command waits until the samples are in:
    // one "MA", then nothing but the samples.
    wire = WireFromTestArray();
    ASSERT_GT(wire.size(), kTestArrayValues);
    EXPECT_EQ(std::count(wire.begin() + 1, wire.begin() + 1 + kTestArrayValues, "MD"),
              static_cast<long>(kTestArrayValues));
    if (wire.size() > kTestArrayValues + 1)
        EXPECT_EQ(wire[kTestArrayValues + 1].rfind("MA", 0), 0u) << wire[kTestArrayValues + 1];

    m_sim->ClearRecord();
    QPointer<CGraphDlg> second = PressGraphButton();
    EXPECT_FALSE(first);
    ASSERT_TRUE(second);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(Graphs().size(), 1);
    EXPECT_EQ(m_boxes.Count(), 0u);
}

TEST_F(GraphFromPageTest, ClosingTheFrameDuringTheReadCancelsItBeforeTheGraphGoes)
{
    DuringTheRead([&] { m_frame->close(); });
    QTest::mouseClick(GraphButton(), Qt::LeftButton);
    ASSERT_EQ(Graphs().size(), 1);
    QPointer<CGraphDlg> graph = Graphs().front();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_frame->isVisible(); }, 10000));

    EXPECT_FALSE(graph);
    const std::vector<std::string> wire = WireFromTestArray();
    ASSERT_FALSE(wire.empty());
    const size_t samples = static_cast<size_t>(std::count(wire.begin() + 1, wire.end(), "MD"));
    EXPECT_LT(samples, kTestArrayValues);
    EXPECT_FALSE(m_master->IsReadingTestArray());
    EXPECT_FALSE(m_master->IsOpen());
    EXPECT_EQ(m_boxes.Count(), 0u);
}
