// The controls of the graph window and the plot window's scroll bars.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <mutex>

#include "graphwin/PlotSurface.h"
#include "tests/graphwin/GraphWindowFixture.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/DialogUnits.h"

class GraphControlsTest : public GraphWindowTest {
protected:
    void SetUp() override
    {
        GraphWindowTest::SetUp();
        ConnectTo(kSampleServoVersion);
        OpenGraph();
        ASSERT_TRUE(m_dlg->isVisible());
    }
    // Types over the whole text; every keystroke reaches the plot window.
    void Retype(const char* edit, const QString& text)
    {
        auto& e = Child<QLineEdit>(edit);
        e.selectAll();
        text.isEmpty() ? QTest::keyClick(&e, Qt::Key_Delete) : QTest::keyClicks(&e, text);
    }
    QString Text(const char* edit) { return Child<QLineEdit>(edit).text(); }
    int32_t XInc() { return Graph().XPole().Increment(); }
    int32_t YInc()
    {
        std::lock_guard lock(CFLineGraph::GraphLock());
        return Graph().Channel(0)->Increment();
    }
    // One channel holding these samples (x, value).
    void FillGraph(const std::vector<std::pair<int32_t, int32_t>>& samples)
    {
        Graph().Clear();
        Graph().AddChannel("Data 0", "", false, true, kChannelColours[0], 10, 1000);
        std::lock_guard lock(CFLineGraph::GraphLock());
        for (const auto& [x, value] : samples)
            Graph().Samples().AddSample(x, &value, 1);
    }
    void AutoScale() { QTest::mouseClick(&Child<QPushButton>("autoScale"), Qt::LeftButton); }
};

TEST_F(GraphControlsTest, AutoScaleFitsTheIncrementsToTheData)
{
    struct Case {
        int columns;
        int32_t value, xInc, yInc;
    } const cases[] = {
        {8, 0, 1, 1},             // (0 + 1) x 1 / 5 is raised to 1
        {7, 9, 1, 2},             // 7 / 8 is raised to 1
        {800, 32767, 100, 8000},  // p 10000: (3 + 1) x 10000 / 5
        {64, -32768, 8, 8000},    // the magnitude of the lowest value counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.columns) + " x " + std::to_string(c.value));
        std::vector<std::pair<int32_t, int32_t>> samples;
        for (int j = 0; j < c.columns; ++j)
            samples.emplace_back(j, c.value);
        FillGraph(samples);
        AutoScale();
        EXPECT_EQ(XInc(), c.xInc);
        EXPECT_EQ(YInc(), c.yInc);
        EXPECT_EQ(Text("xInc"), QString::number(c.xInc));
        EXPECT_EQ(Text("yInc"), QString::number(c.yInc));
    }
}

TEST_F(GraphControlsTest, TypedIncrementIsTakenOrReplacedByTheOneInForce)
{
    const QString x = Text("xInc"), y = Text("yInc"), capped = QString::number(kMaxIncrement);
    struct Case {
        const char* edit;
        QString typed, shown;
    } const cases[] = {
        {"xInc", "16", "16"},       {"xInc", "0", x},          {"xInc", "", x},
        {"xInc", "99999999999", capped},                       // more than an axis takes
        {"yInc", "500", "500"},     {"yInc", "0", y},          {"yInc", "-x", y},  // digits only
        {"yInc", "4294967297", capped},                        // not 1 modulo 32 bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " <- " + c.typed.toStdString());
        Retype(c.edit, c.typed);
        EXPECT_EQ(Text(c.edit), c.shown);
        EXPECT_EQ(QString::number(c.edit == std::string("xInc") ? XInc() : YInc()), c.shown);
        Retype("xInc", x);
        Retype("yInc", y);
    }
}

TEST_F(GraphControlsTest, IncrementsStayWithinTheScrollBarAndThe64BitAxis)
{
    // 40000 steps of 1 do not fit in the bar's 32766.
    FillGraph({{0, 1}, {40000, 2}});
    Retype("xInc", "1");
    EXPECT_EQ(Text("xInc"), "2");
    // Far out, position times increment goes beyond 32 bits and must not wrap.
    FillGraph({{0, -2000000000}, {2000000000, 2000000000}});
    AutoScale();
    Child<QScrollBar>("hScroll").triggerAction(QAbstractSlider::SliderToMaximum);
    const double centre = double(Graph().m_nXScrollPos) * XInc();
    Retype("xInc", "100000");
    EXPECT_NEAR(double(Graph().m_nXScrollPos) * XInc(), centre, 8.0 * XInc());
}

TEST_F(GraphControlsTest, ScrollBarsMoveTheView)
{
    QScrollBar& h = Child<QScrollBar>("hScroll");
    const int min = h.minimum(), limit = h.maximum();
    ASSERT_GT(limit - min, 1);
    using A = QAbstractSlider;
    const std::pair<A::SliderAction, int> steps[] = {
        {A::SliderToMinimum, min}, {A::SliderSingleStepAdd, min + 1}, {A::SliderToMaximum, limit},
        {A::SliderPageStepSub, std::max(limit - 10, min)},
    };
    for (const auto& [action, expected] : steps) {
        h.triggerAction(action);
        EXPECT_EQ(Graph().m_nXScrollPos, expected) << "action " << action;
    }

    QScrollBar& v = Child<QScrollBar>("vScroll");
    // Right after loading, Line Up shows higher values rather than jumping.
    const int32_t loaded = Graph().m_nYScrollPos;
    v.triggerAction(A::SliderSingleStepSub);
    EXPECT_EQ(Graph().m_nYScrollPos, loaded + 1);
    v.triggerAction(A::SliderToMinimum);  // Top: the lowest values
    EXPECT_EQ(Graph().m_nYScrollPos, v.minimum());
    v.triggerAction(A::SliderToMaximum);  // Bottom: the highest
    EXPECT_EQ(Graph().m_nYScrollPos, v.maximum());
}

TEST_F(GraphControlsTest, CloseEnterAndEscapeOnlyHideTheWindow)
{
    QSignalSpy autoScale(&Child<QPushButton>("autoScale"), &QAbstractButton::clicked);
    const std::tuple<const char*, QWidget*, Qt::Key, bool> cases[] = {
        {"Enter on Auto Scale", &Child("autoScale"), Qt::Key_Return, false},
        {"Enter in X Inc", &Child("xInc"), Qt::Key_Return, true},
        {"Escape in Y Inc", &Child("yInc"), Qt::Key_Escape, true},
        {"Enter in the plot", Plot().GetSurface(), Qt::Key_Return, false},
    };
    for (const auto& [name, widget, key, hides] : cases) {
        m_dlg->show();
        QTest::keyClick(widget, key);
        EXPECT_EQ(m_dlg->isVisible(), !hides) << name;
    }
    EXPECT_EQ(autoScale.count(), 1);
    m_dlg->show();
    QTest::mouseClick(&Child<QPushButton>("close"), Qt::LeftButton);
    EXPECT_FALSE(m_dlg->isVisible());
    // The window and its graph stay for the main frame.
    EXPECT_EQ(Graph().ChannelCount(), 4);
}

TEST_F(GraphControlsTest, ResizingKeepsTheBottomRowDownAndCloseRight)
{
    auto gaps = [&] {
        std::vector<int> g{m_dlg->width() - Child("close").x(), m_dlg->width() - Plot().width(),
                           m_dlg->height() - Plot().height(), Child("xInc").x()};
        for (const char* name : {"xIncLabel", "xInc", "yIncLabel", "yInc", "autoScale", "showDot", "close"})
            g.push_back(m_dlg->height() - Child(name).y());
        return g;
    };
    const std::vector<int> before = gaps();
    // As the template has them, also where the smallest size made the window
    // open larger than the template.
    const CDialogUnits du(m_dlg->font());
    EXPECT_EQ(before[0], du.X(422) - du.X(365));
    EXPECT_EQ(before[2], du.Y(267) - du.Y(240));
    EXPECT_EQ(before.back(), du.Y(267) - du.Y(246));
    m_dlg->resize(m_dlg->size() + QSize(300, 200));
    EXPECT_EQ(gaps(), before);
    m_dlg->resize(300, 200);
    EXPECT_GE(m_dlg->width(), 600);
    EXPECT_GE(m_dlg->height(), 500);
}
