#include "tests/graphwin/GraphWindowFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "drive/TarvixMaster.h"
#include "tools/drivesim/DriveProfile.h"
#include "ui/VcmMessages.h"

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

MainWindowProbe::MainWindowProbe() : button(new QPushButton(QStringLiteral("Command"), this))
{
    QObject::connect(button, &QPushButton::clicked, [this] { ++clicks; });
}

bool MainWindowProbe::event(QEvent* e)
{
    const int type = static_cast<int>(e->type());
    if (type != WM_POLL_START && type != WM_POLL_STOP)
        return QWidget::event(e);
    busy.push_back(type);
    return true;
}

void GraphWindowTest::SetUp()
{
    m_main.show();
    SetMainWnd(&m_main);
}

void GraphWindowTest::TearDown()
{
    m_dlg.reset();
    GetTarvixMaster()->Close();
    SetMainWnd(nullptr);
}

void GraphWindowTest::ConnectTo(const std::string& version)
{
    DriveProfile profile;
    std::string error;
    ASSERT_TRUE(LoadDriveProfile(version, profile, error)) << error;
    m_sim->ApplyProfile(profile);
    ASSERT_EQ(GetTarvixMaster()->Connect(static_cast<uint8_t>(m_sim.Com()), kBaudCode9600, true), kConnectOk);
    m_sim->ClearRecord();
}

void GraphWindowTest::OpenGraph()
{
    m_main.busy.clear();
    m_dlg = std::make_unique<CGraphDlg>(&m_main);
    m_dlg->show();
    // Loaded once the plot window has resumed the poll.
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_main.busy.size() >= 2; }, 10000));
    if (m_dlg->isVisible()) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_dlg.get()));
    }
}

std::vector<std::string> GraphWindowTest::TestArrayWire(size_t values)
{
    std::vector<std::string> lines{"MA300"};
    lines.insert(lines.end(), values, "MD");
    return lines;
}
