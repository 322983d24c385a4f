// The graph opened by the page's graph button through the main frame.
#include <gtest/gtest.h>

#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>
#include <mutex>

#include "app/ConnectDlg.h"
#include "app/MainFrame.h"
#include "drive/TarvixMaster.h"
#include "pages/ViewSetting.h"
#include "tests/app/AppTestSupport.h"
#include "tests/graphwin/GraphWindowFixture.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/VcmMessages.h"

namespace {

constexpr unsigned kCom = 214;
constexpr long kValues = 4 * 64;

class GraphFromPageTest : public testing::Test {
protected:
    void SetUp() override
    {
        PlaySampleDrive(m_sim, kSampleServoVersion);
        // The graph button's command: record, then show.
        m_sim->SetCommandHook("TR", [](const SimulatedDrive::Command&) { return std::string("OK"); });
        m_frame->show();
        m_folder.Write("Connection.ini", "[COMM]\nPortNo=" + std::to_string(kCom) + "\nBaudrate=9600\n");
        WhenModal<CConnectDlg>([](CConnectDlg* dlg) { dlg->findChild<QPushButton*>("connect")->click(); });
        m_frame->OnDriveConnect();
        ASSERT_TRUE(GetTarvixMaster()->IsOpen());
        QCoreApplication::processEvents();
        m_sim->ClearRecord();
    }
    void TearDown() override
    {
        m_frame.reset();
        GetTarvixMaster()->Close();
    }

    QPointer<CGraphDlg> PressGraphButton()
    {
        const auto buttons = m_frame->GetView()->findChildren<QPushButton*>();
        auto button = std::find_if(buttons.begin(), buttons.end(),
                                   [](QPushButton* b) { return b->text() == "Record and show"; });
        EXPECT_NE(button, buttons.end());
        QTest::mouseClick(*button, Qt::LeftButton);
        EXPECT_EQ(m_frame->findChildren<CGraphDlg*>().size(), 1);
        return m_frame->findChild<CGraphDlg*>();
    }
    // The wire from the test array's "MA" on.
    std::vector<std::string> TestArrayPart()
    {
        std::vector<std::string> wire = m_sim->ReceivedLines();
        return {std::find(wire.begin(), wire.end(), "MA300"), wire.end()};
    }
    long Samples(const std::vector<std::string>& wire, size_t count)
    {
        return std::count(wire.begin() + 1, wire.begin() + std::min(count + 1, wire.size()), "MD");
    }

    ProgramFolderWithData m_folder;
    SimulatedDriveOnCom m_sim{kCom};
    ScriptedMessageBoxes m_boxes;
    std::unique_ptr<CMainFrame> m_frame = std::make_unique<CMainFrame>();
};

}  // namespace

TEST_F(GraphFromPageTest, ButtonOpensTheGraphAndASecondPressReplacesIt)
{
    // A graph asked for while one reads leaves the reading one alone.
    DuringTheRead([&] { SendVcmMessage(m_frame.get(), WM_SHOW_GRAPH); });
    QPointer<CGraphDlg> first = PressGraphButton();
    ASSERT_TRUE(QTest::qWaitFor([&] { return TestArrayPart().size() > size_t(kValues); }, 10000));
    QTest::qWait(50);
    EXPECT_EQ(m_sim->ReceivedLines().front(), "TR");
    // The page's re-read after the command waits for the samples: one "MA",
    // then nothing but the samples.
    const std::vector<std::string> wire = TestArrayPart();
    EXPECT_EQ(Samples(wire, kValues), kValues);
    if (wire.size() > size_t(kValues) + 1) {
        EXPECT_EQ(wire[kValues + 1].rfind("MA", 0), 0u) << wire[kValues + 1];
    }
    EXPECT_TRUE(first && first->isVisible());
    EXPECT_EQ(m_frame->findChildren<CGraphDlg*>().size(), 1);

    QPointer<CGraphDlg> second = PressGraphButton();
    EXPECT_FALSE(first);
    EXPECT_TRUE(second && second->isVisible());
}

TEST_F(GraphFromPageTest, ClosingTheFrameDuringTheReadCancelsItBeforeTheGraphGoes)
{
    DuringTheRead([&] { m_frame->close(); });
    QPointer<CGraphDlg> graph = PressGraphButton();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_frame->isVisible(); }, 10000));
    EXPECT_FALSE(graph);
    const std::vector<std::string> wire = TestArrayPart();
    EXPECT_LT(Samples(wire, wire.size()), kValues);
    EXPECT_FALSE(GetTarvixMaster()->IsReadingTestArray());
    EXPECT_FALSE(GetTarvixMaster()->IsOpen());
}
