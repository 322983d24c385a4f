#include "tests/graphwin/GraphWindowFixture.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QApplication>

#include <mutex>

#include "drive/TarvixMaster.h"
#include "pages/VcmMessages.h"
#include "tools/drivesim/DriveProfile.h"

void DuringTheRead(std::function<void()> action)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, action = std::move(action)] {
        if (!GetTarvixMaster()->IsReadingTestArray())
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start(0);
}

MainWindowProbe::MainWindowProbe()
{
    button = new QPushButton(QStringLiteral("Command"), this);
    QObject::connect(button, &QPushButton::clicked, [this] { ++buttonClicks; });
    resize(440, 300);
}

bool MainWindowProbe::event(QEvent* e)
{
    const int type = static_cast<int>(e->type());
    if (type == WM_POLL_START || type == WM_POLL_STOP) {
        busy.push_back(type);
        return true;
    }
    return QWidget::event(e);
}

void MainWindowProbe::closeEvent(QCloseEvent* e)
{
    ++closes;
    readingAtClose = GetTarvixMaster()->IsReadingTestArray();
    QWidget::closeEvent(e);
}

void GraphWindowTest::SetUp()
{
    m_master = GetTarvixMaster();
    m_main.show();
    SetMainWnd(&m_main);
}

void GraphWindowTest::TearDown()
{
    m_dlg.reset();
    m_master->Close();
    SetMainWnd(nullptr);
}

void GraphWindowTest::ConnectTo(const std::string& version)
{
    DriveProfile profile;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(version, profile, error)) << error;
    m_sim->ApplyProfile(profile);
    ASSERT_EQ(m_master->Connect(static_cast<uint8_t>(m_sim.Com()), kBaudCode9600, true), kConnectOk);
    m_sim->ClearRecord();
}

CGraphDlg& GraphWindowTest::OpenGraph()
{
    const size_t busy = m_main.busy.size();
    m_dlg = std::make_unique<CGraphDlg>(&m_main);
    m_dlg->show();
    // Loaded when the plot window has resumed the poll.
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_main.busy.size() >= busy + 2; }, 10000));
    if (m_dlg->isVisible())
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    QCoreApplication::processEvents();
    return *m_dlg;
}

CGraphCtrlDlg& GraphWindowTest::Plot()
{
    auto* plot = m_dlg->findChild<CGraphCtrlDlg*>();
    EXPECT_NE(plot, nullptr);
    return *plot;
}

QLineEdit& GraphWindowTest::Edit(const char* name)
{
    auto* edit = m_dlg->findChild<QLineEdit*>(QString::fromLatin1(name));
    EXPECT_NE(edit, nullptr) << name;
    return *edit;
}

QPushButton& GraphWindowTest::Button(const char* name)
{
    auto* button = m_dlg->findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return *button;
}

std::vector<std::string> GraphWindowTest::Wire() { return m_sim->ReceivedLines(); }

std::vector<std::string> GraphWindowTest::TestArrayWire(size_t values)
{
    std::vector<std::string> lines{"MA300"};
    lines.insert(lines.end(), values, "MD");
    return lines;
}

void GraphWindowTest::FillGraph(const std::vector<std::pair<int32_t, int32_t>>& samples)
{
    CFLineGraph& graph = Graph();
    graph.Clear();
    graph.AddChannel(QStringLiteral("Data 0"), QString(), false, true, kChannelColours[0], 10, 1000);
    std::lock_guard lock(CFLineGraph::GraphLock());
    for (const auto& [x, value] : samples)
        graph.Samples().AddSample(x, &value, 1);
}
