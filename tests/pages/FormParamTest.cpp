#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <deque>
#include <set>
#include <vector>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/FormParam.h"
#include "pages/VcmButton.h"
#include "pages/VcmCombo.h"
#include "pages/VcmEdit.h"
#include "pages/VcmMessages.h"
#include "pages/VcmStatic.h"
#include "pages/VcmSwitch.h"
#include "tests/pages/ViewHost.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

VariableInfo Record(int kind, int format = 0, uint16_t number = 1, const char* flags = "")
{
    VariableInfo v;
    v.kind = kind;
    v.format = format;
    v.number = number;
    v.text = "Row " + std::to_string(number);
    const std::string f(flags);
    v.readOnly = f.find('r') != std::string::npos;
    v.live = f.find('l') != std::string::npos;
    if (kind == kVcmKindCombo) {
        v.options.resize(2);
        v.options[0].value = 0;
        v.options[0].text = "Off";
        v.options[1].value = 1;
        v.options[1].text = "On";
    } else if (kind == kVcmKindSwitch) {
        v.options.resize(2);
        v.options[0].bit = 0;
        v.options[1].bit = 1;
    } else if (kind == kVcmKindButton) {
        v.options.resize(1);
        v.options[0].caption = "Go";
        v.options[0].command = "GO";
    }
    return v;
}

QWidget* WindowById(QWidget* page, int id)
{
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->property("controlId").toInt() == id)
            return child;
    }
    return nullptr;
}

int WindowCount(QWidget* page)
{
    int n = 0;
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        n += child->property("controlId").isValid() ? 1 : 0;
    return n;
}

// A page on its own, shown at 400 x 300, over a connected drive.
class PageTest : public testing::Test {
protected:
    PageTest() : m_drive(kSampleBipolarVersion), m_page(nullptr)
    {
        m_page.resize(400, 300);
        m_page.show();
    }

    void Build(const std::deque<VariableInfo>& records)
    {
        m_records = records;
        m_page.BuildForm(m_records);
    }
    void BuildSample()
    {
        m_page.BuildForm(GetTarvixMaster()->GetDriver()->GetFirstSectionVariables());
    }
    int RowTop(int id) { return WindowById(&m_page, id)->y() + m_page.GetScrollPos(); }

    ConnectedDrive m_drive;
    CFormParam m_page;
    std::deque<VariableInfo> m_records;
};

// --- Row geometry ---------------------------------------------------------

struct Placed {
    int id;
    int top;
};
struct GeometryCase {
    const char* name;
    std::vector<std::pair<int, int>> records;  // kind, format
    std::vector<Placed> windows;
    int contentHeight;
};

class PageGeometry : public PageTest, public testing::WithParamInterface<GeometryCase> {};

TEST_P(PageGeometry, RowsStandWhereTheRecordsPutThem)
{
    const GeometryCase& c = GetParam();
    std::deque<VariableInfo> records;
    uint16_t number = 1;
    for (auto [kind, format] : c.records)
        records.push_back(Record(kind, format, number++));
    Build(records);

    EXPECT_EQ(m_page.GetContentHeight(), c.contentHeight);
    EXPECT_EQ(WindowCount(&m_page), static_cast<int>(c.windows.size()));
    for (const Placed& p : c.windows) {
        QWidget* window = WindowById(&m_page, p.id);
        ASSERT_NE(window, nullptr) << "id " << p.id;
        EXPECT_EQ(window->y(), p.top) << "id " << p.id;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, PageGeometry,
    testing::Values(
        GeometryCase{"Empty", {}, {}, 8},
        GeometryCase{"HeaderEditSwitch",
                     {{kVcmKindHeader, 0}, {kVcmKindEdit, 0}, {kVcmKindSwitch, 0}},
                     {{3000, 10}, {3001, 36}, {3002, 36}, {3003, 64}, {3004, 64}},
                     92},
        // label, detail line between the label's and the edit's id, then the next row
        GeometryCase{"DetailLine",
                     {{kVcmKindEdit, kVcmFormatMotorName}, {kVcmKindHeader, 0}},
                     {{3000, 10}, {3001, 38}, {3002, 10}, {3003, 86}},
                     112},
        GeometryCase{"SkippedFirstRecord",
                     {{3, 0}, {kVcmKindEdit, 0}, {-1, 0}, {kVcmKindButton, 0}},
                     {{3000, 8}, {3001, 8}, {3002, 36}, {3003, 36}},
                     64},
        GeometryCase{"ComboTakesOneRow",
                     {{kVcmKindCombo, 0}, {kVcmKindEdit, kVcmFormatErrorText}},
                     {{3000, 10}, {3001, 10}, {3002, 38}, {3003, 66}, {3004, 38}},
                     114}),
    [](const testing::TestParamInfo<GeometryCase>& info) { return info.param.name; });

TEST_F(PageTest, ARebuildStartsTheIdsAndRowsAfresh)
{
    Build({Record(kVcmKindEdit), Record(kVcmKindEdit, 0, 2)});
    Build({Record(kVcmKindSwitch, 0, 3)});
    EXPECT_EQ(WindowCount(&m_page), 2);
    EXPECT_EQ(WindowById(&m_page, 3001)->y(), 10);
    EXPECT_EQ(m_page.GetEdits().size(), 0u);
    EXPECT_EQ(m_page.GetSwitches().size(), 1u);
}

TEST_F(PageTest, ClearingLeavesNoWindowAndKeepsTheScrollState)
{
    BuildSample();
    m_page.OnMouseWheel(-120);
    const int content = m_page.GetContentHeight();
    m_page.ClearControls();
    EXPECT_EQ(WindowCount(&m_page), 0);
    EXPECT_TRUE(m_page.GetLabels().empty());
    EXPECT_EQ(m_page.GetContentHeight(), content);
    EXPECT_EQ(m_page.GetScrollPos(), 28);
}

// --- Scrolling ------------------------------------------------------------

TEST_F(PageTest, WheelScrollsALineAtATimeBetweenTheLimits)
{
    BuildSample();
    const int limit = m_page.GetContentHeight() - m_page.GetPageHeight();
    ASSERT_GT(limit, 2 * kScrollLine);
    ASSERT_TRUE(m_page.HasScrollBar());

    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&m_page, &wheel);
    EXPECT_EQ(m_page.GetScrollPos(), kScrollLine);
    int expected = kScrollLine;
    while (expected < limit) {
        m_page.OnMouseWheel(-120);
        expected = std::min(limit, expected + kScrollLine);
        ASSERT_EQ(m_page.GetScrollPos(), expected);
    }
    m_page.OnMouseWheel(-1200);
    EXPECT_EQ(m_page.GetScrollPos(), limit);
    EXPECT_EQ(m_page.GetScrollBar()->value(), limit);
    // the rows moved with the offset
    EXPECT_EQ(WindowById(&m_page, kFirstControlId)->y(), 10 - limit);

    m_page.OnMouseWheel(240);  // a big delta still moves one line
    EXPECT_EQ(m_page.GetScrollPos(), limit - kScrollLine);
    m_page.OnMouseWheel(0);  // no delta counts as upwards
    EXPECT_EQ(m_page.GetScrollPos(), limit - 2 * kScrollLine);
}

struct ScrollCase {
    const char* name;
    int startAt;  // -1: the limit
    int code;
    int thumb;
    int expected;  // -1: the limit, -2: the limit less a page
    bool acted;
};

class PageScrollBar : public PageTest, public testing::WithParamInterface<ScrollCase> {};

TEST_P(PageScrollBar, MovesByItsRequestUpToTheLimits)
{
    const ScrollCase& c = GetParam();
    BuildSample();
    const int limit = m_page.GetContentHeight() - m_page.GetPageHeight();
    const int start = c.startAt < 0 ? limit : c.startAt;
    m_page.OnVScroll(SB_THUMBPOSITION, start);
    ASSERT_EQ(m_page.GetScrollPos(), start);

    EXPECT_EQ(m_page.OnVScroll(c.code, c.thumb), c.acted);
    const int expected =
        c.expected == -1 ? limit : c.expected == -2 ? limit - m_page.GetPageHeight() : c.expected;
    EXPECT_EQ(m_page.GetScrollPos(), expected);
    EXPECT_EQ(RowTop(kFirstControlId), 10);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PageScrollBar,
    testing::Values(ScrollCase{"LineDown", 0, SB_LINEDOWN, 0, 28, true},
                    ScrollCase{"LineUpAtTop", 0, SB_LINEUP, 0, 0, false},
                    ScrollCase{"LineUpNearTop", 10, SB_LINEUP, 0, 0, true},
                    ScrollCase{"LineDownAtLimit", -1, SB_LINEDOWN, 0, -1, false},
                    ScrollCase{"PageDown", 0, SB_PAGEDOWN, 0, 300, true},
                    ScrollCase{"PageUpFromLimit", -1, SB_PAGEUP, 0, -2, true},
                    ScrollCase{"PageDownAtLimit", -1, SB_PAGEDOWN, 0, -1, false},
                    ScrollCase{"ThumbTrack", 0, SB_THUMBTRACK, 77, 77, true},
                    ScrollCase{"Top", 50, SB_TOP, 0, 50, false},
                    ScrollCase{"EndScroll", 50, SB_ENDSCROLL, 0, 50, false}),
    [](const testing::TestParamInfo<ScrollCase>& info) { return info.param.name; });

TEST_F(PageTest, TheScrollBarWidgetDrivesTheSameScrolling)
{
    BuildSample();
    QScrollBar* bar = m_page.GetScrollBar();
    EXPECT_EQ(bar->maximum(), m_page.GetContentHeight() - m_page.GetPageHeight());
    EXPECT_EQ(bar->pageStep(), m_page.GetPageHeight());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m_page.GetScrollPos(), kScrollLine);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);  // not a request the page knows
    EXPECT_EQ(m_page.GetScrollPos(), kScrollLine);
    EXPECT_EQ(bar->value(), kScrollLine);
}

// --- Scroll bar and width -------------------------------------------------

TEST_F(PageTest, TheScrollBarComesAndGoesWithTheContentHeight)
{
    BuildSample();
    ASSERT_TRUE(m_page.HasScrollBar());
    const int barWidth = m_page.GetScrollBar()->width();
    EXPECT_EQ(m_page.ClientWidth(), 400 - barWidth);
    EXPECT_EQ(m_page.GetEdits().front()->x(), 400 - barWidth - 125);

    m_page.OnVScroll(SB_THUMBPOSITION, 100);
    m_page.resize(400, m_page.GetContentHeight() + 50);  // everything fits
    EXPECT_FALSE(m_page.HasScrollBar());
    EXPECT_FALSE(m_page.GetScrollBar()->isVisible());
    EXPECT_EQ(m_page.GetScrollPos(), 0);
    EXPECT_EQ(WindowById(&m_page, kFirstControlId)->y(), 10);
    EXPECT_EQ(m_page.GetEdits().front()->x(), 400 - 125);
}

TEST_F(PageTest, GrowingThePageAtTheLimitPullsTheRowsDown)
{
    BuildSample();
    m_page.OnVScroll(SB_THUMBPOSITION, m_page.GetContentHeight() - 300);
    m_page.resize(400, 400);
    EXPECT_EQ(m_page.GetScrollPos(), m_page.GetContentHeight() - 400);
    EXPECT_EQ(RowTop(kFirstControlId), 10);
}

TEST_F(PageTest, AWidthChangeMovesTheControlColumnAndStretchesTheLabels)
{
    Build({Record(kVcmKindHeader), Record(kVcmKindEdit, kVcmFormatErrorText, 2),
           Record(kVcmKindCombo, 0, 3), Record(kVcmKindButton, 0, 4), Record(kVcmKindSwitch, 0, 5)});
    ASSERT_FALSE(m_page.HasScrollBar());
    m_page.resize(500, 300);
    for (QWidget* control : std::vector<QWidget*>{m_page.GetEdits()[0], m_page.GetCombos()[0],
                                                  m_page.GetButtons()[0], m_page.GetSwitches()[0]})
        EXPECT_EQ(control->x(), 500 - 125) << control->objectName().toStdString();
    EXPECT_EQ(m_page.GetHeaders()[0]->width(), 500 - 140);
    EXPECT_EQ(m_page.GetLabels()[0]->width(), 500 - 140);  // the edit's label
    EXPECT_EQ(m_page.GetLabels()[1]->width(), 500 - 25);   // its detail line
    EXPECT_EQ(m_page.GetLabels()[1]->height(), 20);
    EXPECT_EQ(m_page.GetEdits()[0]->width(), 110);  // controls keep their size
}

// --- Refresh --------------------------------------------------------------

struct RefreshCase {
    const char* name;
    int source;
    bool invalidateCache;
    std::set<int> read;
};

class PageRefresh : public PageTest, public testing::WithParamInterface<RefreshCase> {};

TEST_P(PageRefresh, ReadsTheControlsTheSourceAsksFor)
{
    const RefreshCase& c = GetParam();
    // live read-only, live writable, read-only not live; for each value kind
    Build({Record(kVcmKindEdit, 0, 5, "lr"), Record(kVcmKindEdit, 0, 6, "l"),
           Record(kVcmKindEdit, 0, 7, "r"), Record(kVcmKindCombo, 0, 8, "lr"),
           Record(kVcmKindCombo, 0, 9, "l"), Record(kVcmKindSwitch, 0, 10, "lr"),
           Record(kVcmKindSwitch, 0, 11, "l"), Record(kVcmKindButton, 0, 12, "l"),
           Record(kVcmKindHeader, 0, 13, "l")});
    if (c.invalidateCache)
        GetTarvixMaster()->InvalidateParameterCache();
    m_drive.ClearLines();
    EXPECT_TRUE(m_page.OnRefresh(c.source));
    const std::vector<int> read = ReadParameters(m_drive.Lines());
    EXPECT_EQ(std::set<int>(read.begin(), read.end()), c.read);
    EXPECT_EQ(read.size(), c.read.size());
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PageRefresh,
    testing::Values(RefreshCase{"PollReadsLiveLockedRows", 1, false, {5, 8, 10}},
                    RefreshCase{"FirstReadUsesTheCache", 0, false, {}},
                    RefreshCase{"FirstReadFillsAnEmptyCache", 0, true, {5, 6, 7, 8, 9, 10, 11}},
                    RefreshCase{"FullReadReadsEveryValueControl", 2, false, {5, 6, 7, 8, 9, 10, 11}},
                    RefreshCase{"UnknownSourceReadsNothing", 3, true, {}}),
    [](const testing::TestParamInfo<RefreshCase>& info) { return info.param.name; });

TEST_F(PageTest, APollNeverOverwritesAFieldBeingEdited)
{
    Build({Record(kVcmKindEdit, 0, 5, "l")});
    m_page.OnRefresh(0);
    CVcmEdit* edit = m_page.GetEdits().front();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "77");
    m_drive.Drive().SetValue(5, 1234);
    m_page.OnRefresh(1);
    EXPECT_EQ(edit->text(), QStringLiteral("77"));
    m_page.OnRefresh(2);  // a full re-read does show the drive's value
    EXPECT_EQ(edit->text(), QStringLiteral("1234"));
}

TEST_F(PageTest, AFailedReadIsReportedAndKeepsTheShownValue)
{
    Build({Record(kVcmKindEdit, 0, 5, "lr")});
    m_page.OnRefresh(0);
    const QString shown = m_page.GetEdits().front()->text();
    m_drive.Drive().InjectFault(SimulatedDrive::Fault(SimulatedDrive::FaultKind::ErrorAnswer), 1, "MD");
    EXPECT_FALSE(m_page.OnRefresh(1));
    EXPECT_EQ(m_page.GetEdits().front()->text(), shown);
}

TEST_F(PageTest, EnterOnAComboOrButtonEndsAtThePage)
{
    Build({Record(kVcmKindCombo, 0, 8), Record(kVcmKindButton, 0, 12)});
    m_drive.ClearLines();
    for (QWidget* control : std::vector<QWidget*>{m_page.GetCombos()[0], m_page.GetButtons()[0]}) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(control, &enter);
        EXPECT_TRUE(enter.isAccepted());
    }
    EXPECT_TRUE(m_drive.Lines().empty());
}

// --- Value news and conditions ----------------------------------------------

TEST_F(PageTest, ValueNewsReachOnlyTheDependentControls)
{
    std::deque<VariableInfo> records{Record(kVcmKindEdit, 0, 20), Record(kVcmKindSwitch, 0, 21),
                                     Record(kVcmKindHeader, 0, 22), Record(kVcmKindEdit, 0, 23)};
    for (int i = 0; i < 3; ++i)
        records[i].conditions[0] = VcmCondition{30, 1, 1, 4};  // hidden while 30 == 1
    Build(records);
    m_drive.Drive().SetValue(30, 1);
    GetTarvixMaster()->InvalidateParameterCache();
    SendVcmMessage(&m_page, WM_VCM_VALUE_CHANGED, 30, 1);
    EXPECT_TRUE(m_page.GetEdits()[0]->isHidden());
    EXPECT_TRUE(m_page.GetSwitches()[0]->isHidden());
    EXPECT_TRUE(m_page.GetHeaders()[0]->isHidden());
    EXPECT_FALSE(m_page.GetEdits()[1]->isHidden());
    EXPECT_TRUE(m_page.GetLabels()[0]->isHidden());  // the edit's label went with it
    EXPECT_FALSE(m_page.GetLabels()[1]->isHidden());  // the switch's label stays
}

// --- Re-entrancy ------------------------------------------------------------

TEST_F(PageTest, AClearAskedForUnderABoxWaitsUntilTheBoxIsGone)
{
    BuildSample();
    ScriptedMessageBoxes boxes;
    size_t rowsWhileShown = 0;
    boxes.WhileShown([&] {
        m_page.ClearControls();
        QCoreApplication::processEvents();
        rowsWhileShown = m_page.GetEdits().size();
    });
    boxes.Answer(host::IDIGNORE);
    host::MessageBox("exchange failed", host::MB_ABORTRETRYIGNORE);
    EXPECT_GT(rowsWhileShown, 0u);
    QTest::qWait(60);
    EXPECT_TRUE(m_page.GetEdits().empty());
    EXPECT_EQ(WindowCount(&m_page), 0);
}

TEST_F(PageTest, ARebuildCancelsAClearStillWaiting)
{
    ScriptedMessageBoxes boxes;
    boxes.WhileShown([&] { m_page.ClearControls(); });
    boxes.Answer(host::IDIGNORE);
    host::MessageBox("exchange failed", host::MB_ABORTRETRYIGNORE);
    BuildSample();
    QTest::qWait(60);
    EXPECT_FALSE(m_page.GetEdits().empty());
}

TEST_F(PageTest, ARereadPostedUnderABoxRunsAfterIt)
{
    Build({Record(kVcmKindEdit, 0, 5)});
    ScriptedMessageBoxes boxes;
    std::vector<std::string> linesWhileShown;
    boxes.WhileShown([&] {
        m_drive.ClearLines();
        PostVcmMessage(&m_page, WM_VCM_REFRESH, 2);
        RunPostedEvents();
        linesWhileShown = m_drive.Lines();
    });
    boxes.Answer(host::IDIGNORE);
    host::MessageBox("exchange failed", host::MB_ABORTRETRYIGNORE);
    EXPECT_TRUE(linesWhileShown.empty());
    QTest::qWait(60);
    EXPECT_EQ(ReadParameters(m_drive.Lines()), std::vector<int>{5});
}

}  // namespace
