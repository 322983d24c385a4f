// The controls of the graph window and the plot window's scroll bars.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <mutex>

#include "graph/PlotSurface.h"
#include "tests/graphwin/GraphWindowFixture.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

int32_t YIncrement(CFLineGraph& graph)
{
    std::lock_guard lock(CFLineGraph::GraphLock());
    return graph.Channel(0)->Increment();
}

// Types over the whole text; every keystroke reaches the plot window.
void Retype(QLineEdit& edit, const QString& text)
{
    edit.selectAll();
    if (text.isEmpty())
        QTest::keyClick(&edit, Qt::Key_Delete);
    else
        QTest::keyClicks(&edit, text);
}

}  // namespace

class GraphControlsTest : public GraphWindowTest {
protected:
    void SetUp() override
    {
        GraphWindowTest::SetUp();
        ConnectTo(kSampleServoVersion);
        OpenGraph();
        ASSERT_TRUE(m_dlg->isVisible());
    }

    QScrollBar& Bar(const char* name) { return *Plot().findChild<QScrollBar*>(QString::fromLatin1(name)); }
};

TEST_F(GraphControlsTest, AutoScaleFitsTheIncrementsToTheData)
{
    struct Case {
        int columns;
        int32_t value;  // every sample
        int32_t xInc, yInc;
    };
    const Case cases[] = {
        {8, 0, 1, 1},            // (0 + 1) x 1 / 5 is raised to 1
        {7, 9, 1, 2},            // 7 / 8 is raised to 1
        {800, 32767, 100, 8000}, // p 10000: (3 + 1) x 10000 / 5
        {64, 12345, 8, 4000},
        {64, -32768, 8, 8000},   // the magnitude of the lowest value counts
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.columns) + " columns of " + std::to_string(c.value));
        std::vector<std::pair<int32_t, int32_t>> samples;
        for (int j = 0; j < c.columns; ++j)
            samples.emplace_back(j, c.value);
        FillGraph(samples);
        QTest::mouseClick(&Button("autoScale"), Qt::LeftButton);
        EXPECT_EQ(Graph().XPole().Increment(), c.xInc);
        EXPECT_EQ(YIncrement(Graph()), c.yInc);
        EXPECT_EQ(Edit("xInc").text(), QString::number(c.xInc));
        EXPECT_EQ(Edit("yInc").text(), QString::number(c.yInc));
    }
}

TEST_F(GraphControlsTest, TypedIncrementIsTakenOrReplacedByTheOneInForce)
{
    struct Case {
        const char* edit;
        QString typed;
        QString shown;  // afterwards; the axis holds the same
    };
    const QString x = Edit("xInc").text();
    const QString y = Edit("yInc").text();
    const QString capped = QString::number(kMaxIncrement);
    const Case cases[] = {
        {"xInc", "16", "16"},
        {"xInc", "0", x},                  // refused
        {"xInc", "", x},                   // cleared
        {"xInc", "99999999999", capped},   // more than an axis can take
        {"yInc", "500", "500"},
        {"yInc", "0", y},
        {"yInc", "-x", ""},                // only digits can be typed
        {"yInc", "4294967297", capped},    // not taken as 1 (modulo 32 bits)
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.edit) + " <- " + c.typed.toStdString());
        QLineEdit& edit = Edit(c.edit);
        const QString before = edit.text();
        Retype(edit, c.typed);
        const QString expected = c.shown.isEmpty() ? before : c.shown;
        EXPECT_EQ(edit.text(), expected);
        const int32_t inForce = QString(c.edit) == "xInc" ? Graph().XPole().Increment() : YIncrement(Graph());
        EXPECT_EQ(QString::number(inForce), expected);
        // Back to the loaded increments for the next case.
        Retype(Edit("xInc"), x);
        Retype(Edit("yInc"), y);
    }
}

TEST_F(GraphControlsTest, IncrementTooSmallForTheScrollBarIsDoubled)
{
    FillGraph({{0, 1}, {40000, 2}});
    Retype(Edit("xInc"), "1");
    // 40000 steps do not fit in 32766.
    EXPECT_EQ(Edit("xInc").text(), "2");
    EXPECT_EQ(Graph().XPole().Increment(), 2);
}

TEST_F(GraphControlsTest, NewIncrementKeepsTheViewOnTheSameDataFarOut)
{
    // Scroll positions times increments beyond 32 bits must not wrap around.
    FillGraph({{0, -2000000000}, {2000000000, 2000000000}});
    QTest::mouseClick(&Button("autoScale"), Qt::LeftButton);
    QScrollBar& h = Bar("hScroll");
    h.triggerAction(QAbstractSlider::SliderToMaximum);
    const int64_t centre = int64_t{Graph().m_nXScrollPos} * Graph().XPole().Increment();
    Retype(Edit("xInc"), "100000");
    const int64_t after = int64_t{Graph().m_nXScrollPos} * Graph().XPole().Increment();
    EXPECT_GT(after, 0);
    EXPECT_NEAR(static_cast<double>(after), static_cast<double>(centre), 8.0 * Graph().XPole().Increment());
    EXPECT_GE(YIncrement(Graph()), 1);
}

TEST_F(GraphControlsTest, HorizontalBarMovesTheViewAlongX)
{
    QScrollBar& h = Bar("hScroll");
    struct Case {
        QAbstractSlider::SliderAction action;
        int expected;  // X scroll position afterwards, from the lowest one
    };
    const int min = h.minimum();
    const int limit = h.maximum();
    ASSERT_GT(limit - min, 1);
    const Case cases[] = {
        {QAbstractSlider::SliderToMinimum, min},
        {QAbstractSlider::SliderSingleStepAdd, min + 1},
        {QAbstractSlider::SliderSingleStepSub, min},
        {QAbstractSlider::SliderSingleStepSub, min},  // not below the range
        {QAbstractSlider::SliderToMaximum, limit},
        {QAbstractSlider::SliderPageStepAdd, limit},
        {QAbstractSlider::SliderPageStepSub, std::max(limit - 10, min)},
    };
    for (const Case& c : cases) {
        h.triggerAction(c.action);
        EXPECT_EQ(Graph().m_nXScrollPos, c.expected) << "action " << c.action;
        EXPECT_EQ(h.value(), c.expected);
    }
}

TEST_F(GraphControlsTest, VerticalBarTopShowsTheLowestValuesAndLineUpHigherOnes)
{
    QScrollBar& v = Bar("vScroll");
    const int min = v.minimum();
    const int limit = v.maximum();
    ASSERT_GT(limit - min, 1);

    // Right after loading, Line Up moves the view up by one increment.
    const int32_t loaded = Graph().m_nYScrollPos;
    v.triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Graph().m_nYScrollPos, loaded + 1);

    v.triggerAction(QAbstractSlider::SliderToMinimum);  // Top
    EXPECT_EQ(Graph().m_nYScrollPos, min);
    v.triggerAction(QAbstractSlider::SliderToMaximum);  // Bottom
    EXPECT_EQ(Graph().m_nYScrollPos, limit);
    v.triggerAction(QAbstractSlider::SliderSingleStepAdd);  // Line Down
    EXPECT_EQ(Graph().m_nYScrollPos, limit - 1);
}

TEST_F(GraphControlsTest, ShowDotSwitchesTheDotsOnAndOff)
{
    QCheckBox* dots = m_dlg->findChild<QCheckBox*>(QStringLiteral("showDot"));
    ASSERT_NE(dots, nullptr);
    QTest::mouseClick(dots, Qt::LeftButton);
    EXPECT_EQ(Graph().m_nStyle, 34);
    QTest::mouseClick(dots, Qt::LeftButton);
    EXPECT_EQ(Graph().m_nStyle, 2);
}

TEST_F(GraphControlsTest, CloseEnterAndEscapeOnlyHideTheWindow)
{
    struct Case {
        const char* name;
        std::function<void()> act;
        bool hides;
    };
    const Case cases[] = {
        {"Close", [&] { QTest::mouseClick(&Button("close"), Qt::LeftButton); }, true},
        {"Enter in X Inc", [&] { QTest::keyClick(&Edit("xInc"), Qt::Key_Return); }, true},
        {"Escape in Y Inc", [&] { QTest::keyClick(&Edit("yInc"), Qt::Key_Escape); }, true},
        {"Enter in the plot", [&] { QTest::keyClick(Plot().GetSurface(), Qt::Key_Return); }, false},
        {"Escape in the plot", [&] { QTest::keyClick(Plot().GetSurface(), Qt::Key_Escape); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_dlg->show();
        c.act();
        EXPECT_EQ(m_dlg->isVisible(), !c.hides);
        // The window and its graph stay for the main frame.
        EXPECT_EQ(Graph().ChannelCount(), 4);
    }
}

TEST_F(GraphControlsTest, ResizingKeepsTheBottomRowDownAndCloseRight)
{
    const QSize start = m_dlg->size();
    auto bottomGap = [&](const char* name) {
        return m_dlg->height() - m_dlg->findChild<QWidget*>(QString::fromLatin1(name))->y();
    };
    const int closeRight = m_dlg->width() - Button("close").x();
    const int xIncLeft = Edit("xInc").x();
    const int gap = bottomGap("autoScale");
    const QSize plotMargin = start - Plot().size();

    m_dlg->resize(start + QSize(300, 200));
    QTest::qWait(20);
    EXPECT_EQ(m_dlg->width() - Button("close").x(), closeRight);
    for (const char* name : {"xIncLabel", "xInc", "yIncLabel", "yInc", "autoScale", "showDot", "close"})
        EXPECT_EQ(bottomGap(name), gap) << name;
    EXPECT_EQ(Edit("xInc").x(), xIncLeft);
    EXPECT_EQ(m_dlg->size() - Plot().size(), plotMargin);

    m_dlg->resize(300, 200);
    EXPECT_GE(m_dlg->width(), 600);
    EXPECT_GE(m_dlg->height(), 500);
}
