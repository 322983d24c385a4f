#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <functional>
#include <set>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/FormParam.h"
#include "pages/VcmButton.h"
#include "pages/VcmCombo.h"
#include "pages/VcmEdit.h"
#include "pages/VcmStatic.h"
#include "pages/VcmSwitch.h"
#include "tests/pages/ViewHost.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/VcmMessages.h"

namespace {

// A record of a kind with what the kind needs; flags 'r' read-only, 'l' live.
VariableInfo Record(int kind, int format = 0, uint16_t number = 1, const std::string& flags = "")
{
    VariableInfo v;
    v.kind = kind;
    v.format = format;
    v.number = number;
    v.text = "Row " + std::to_string(number);
    v.readOnly = flags.find('r') != std::string::npos;
    v.live = flags.find('l') != std::string::npos;
    v.options.resize(kind == kVcmKindHeader || kind == kVcmKindEdit ? 0 : 2);
    for (size_t i = 0; i < v.options.size(); ++i) {
        v.options[i] = OptionInfo{"Go", "GO", static_cast<int32_t>(i), "Item", 0, static_cast<uint8_t>(i)};
    }
    return v;
}

QWidget* WindowById(QWidget* page, int id)
{
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->property("controlId").toInt() == id)
            return child;
    return nullptr;
}

class PageTest : public testing::Test {
protected:
    PageTest() : m_drive(kSampleBipolarVersion), m_page(nullptr)
    {
        m_page.resize(400, 300);
        m_page.show();
    }
    void Build(std::deque<VariableInfo> records)
    {
        m_records = std::move(records);
        m_page.BuildForm(m_records);
    }
    void BuildSample() { m_page.BuildForm(GetTarvixMaster()->GetDriver()->GetFirstSectionVariables()); }

    ConnectedDrive m_drive;
    CFormParam m_page;
    std::deque<VariableInfo> m_records;
};

// --- Row geometry ---------------------------------------------------------

struct GeometryCase {
    const char* name;
    std::vector<std::pair<int, int>> records;  // kind, format
    std::vector<std::pair<int, int>> windows;  // id, top
    int contentHeight;
};

class PageGeometry : public PageTest, public testing::WithParamInterface<GeometryCase> {};

TEST_P(PageGeometry, RowsStandWhereTheRecordsPutThem)
{
    std::deque<VariableInfo> records;
    for (auto [kind, format] : GetParam().records)
        records.push_back(Record(kind, format, static_cast<uint16_t>(records.size() + 1)));
    Build(records);
    EXPECT_EQ(m_page.GetContentHeight(), GetParam().contentHeight);
    EXPECT_EQ(WindowById(&m_page, kFirstControlId + GetParam().windows.size()), nullptr);
    for (auto [id, top] : GetParam().windows) {
        ASSERT_NE(WindowById(&m_page, id), nullptr) << id;
        EXPECT_EQ(WindowById(&m_page, id)->y(), top) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, PageGeometry,
    testing::Values(
        GeometryCase{"Empty", {}, {}, 8},
        GeometryCase{"HeaderEditSwitch", {{8, 0}, {0, 0}, {4, 0}},
                     {{3000, 10}, {3001, 36}, {3002, 36}, {3003, 64}, {3004, 64}}, 92},
        // the detail line's id stands between the label's and the edit's
        GeometryCase{"DetailLine", {{0, kVcmFormatMotorName}, {8, 0}},
                     {{3000, 10}, {3001, 38}, {3002, 10}, {3003, 86}}, 112},
        GeometryCase{"SkippedRecords", {{3, 0}, {0, 0}, {-1, 0}, {1, 0}},
                     {{3000, 8}, {3001, 8}, {3002, 36}, {3003, 36}}, 64},
        GeometryCase{"ComboTakesOneRow", {{2, 0}, {0, kVcmFormatErrorText}},
                     {{3000, 10}, {3001, 10}, {3002, 38}, {3003, 66}, {3004, 38}}, 114}),
    [](const testing::TestParamInfo<GeometryCase>& info) { return info.param.name; });

// --- Scrolling ------------------------------------------------------------

constexpr int kWheel = 100;        // a wheel turn, with its vertical delta as `thumb`
constexpr int kSidewaysWheel = 101;  // the same with a horizontal delta
constexpr int kLimit = -1;   // the page's scroll limit

struct ScrollCase {
    const char* name;
    int from;
    int code;
    int thumb;
    int to;
};

class PageScrolling : public PageTest, public testing::WithParamInterface<ScrollCase> {};

TEST_P(PageScrolling, MovesTheRowsByTheRequestWithinTheLimits)
{
    const ScrollCase& c = GetParam();
    BuildSample();
    const int limit = m_page.GetContentHeight() - m_page.GetPageHeight();
    ASSERT_GT(limit, 300);
    m_page.OnVScroll(SB_THUMBPOSITION, c.from == kLimit ? limit : c.from);
    if (c.code == kWheel || c.code == kSidewaysWheel) {
        const QPoint delta = c.code == kWheel ? QPoint(0, c.thumb) : QPoint(c.thumb, 0);
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), delta, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&m_page, &wheel);
    } else {
        m_page.OnVScroll(c.code, c.thumb);
    }
    const int to = c.to == kLimit ? limit : c.to < -1 ? limit + c.to : c.to;
    EXPECT_EQ(m_page.GetScrollPos(), to);
    EXPECT_EQ(m_page.GetScrollBar()->value(), to);
    EXPECT_EQ(WindowById(&m_page, kFirstControlId)->y(), 10 - to);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, PageScrolling,
    testing::Values(ScrollCase{"WheelDown", 0, kWheel, -120, 28},
                    ScrollCase{"BigWheelDeltaMovesOneLine", 100, kWheel, 240, 72},
                    ScrollCase{"NoDeltaDoesNothing", 100, kWheel, 0, 100},
                    ScrollCase{"HorizontalWheelDoesNothing", 100, kSidewaysWheel, 120, 100},
                    ScrollCase{"WheelUpStopsAtTop", 10, kWheel, 120, 0},
                    ScrollCase{"WheelDownAtLimit", kLimit, kWheel, -120, kLimit},
                    ScrollCase{"LineUpAtTop", 0, SB_LINEUP, 0, 0},
                    ScrollCase{"LineDownStopsAtLimit", kLimit, SB_LINEDOWN, 0, kLimit},
                    ScrollCase{"PageDown", 0, SB_PAGEDOWN, 0, 300},
                    ScrollCase{"PageUpFromLimit", kLimit, SB_PAGEUP, 0, -300},
                    ScrollCase{"ThumbTrack", 0, SB_THUMBTRACK, 77, 77},
                    ScrollCase{"OtherCodesDoNothing", 50, SB_TOP, 0, 50}),
    [](const testing::TestParamInfo<ScrollCase>& info) { return info.param.name; });

TEST_F(PageTest, TheScrollBarAsksForTheSameRequests)
{
    BuildSample();
    QScrollBar* bar = m_page.GetScrollBar();
    EXPECT_EQ(bar->maximum(), m_page.GetContentHeight() - m_page.GetPageHeight());
    EXPECT_EQ(bar->pageStep(), m_page.GetPageHeight());
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(m_page.GetScrollPos(), kScrollLine);
    EXPECT_EQ(bar->value(), kScrollLine);
}

TEST_F(PageTest, AWheelOverTheScrollBarMovesOneLineAndOnlyVertically)
{
    BuildSample();
    m_page.OnVScroll(SB_THUMBPOSITION, 100);
    for (QPoint delta : {QPoint(0, -120), QPoint(120, 0), QPoint(0, 0)}) {
        QWheelEvent wheel(QPointF(2, 2), QPointF(2, 2), QPoint(), delta, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(m_page.GetScrollBar(), &wheel);
        EXPECT_EQ(m_page.GetScrollPos(), 100 + kScrollLine);
        EXPECT_EQ(m_page.GetScrollBar()->value(), 100 + kScrollLine);
    }
}

TEST_F(PageTest, TheScrollBarFollowsTheContentAndTheControlColumnTheWidth)
{
    BuildSample();
    const int barWidth = m_page.GetScrollBar()->width();
    ASSERT_TRUE(m_page.HasScrollBar());
    EXPECT_EQ(m_page.GetEdits().front()->x(), 400 - barWidth - 125);
    m_page.OnVScroll(SB_THUMBPOSITION, m_page.GetContentHeight() - 300);
    m_page.resize(400, 400);  // grown at the limit: the rows come down
    EXPECT_EQ(m_page.GetScrollPos(), m_page.GetContentHeight() - 400);

    m_page.resize(500, m_page.GetContentHeight() + 50);  // everything fits
    EXPECT_FALSE(m_page.HasScrollBar());
    EXPECT_EQ(m_page.GetScrollPos(), 0);
    EXPECT_EQ(WindowById(&m_page, kFirstControlId)->y(), 10);
    for (QWidget* control : std::vector<QWidget*>{m_page.GetEdits()[0], m_page.GetCombos()[0],
                                                  m_page.GetButtons()[0], m_page.GetSwitches()[0]})
        EXPECT_EQ(control->x(), 500 - 125) << control->objectName().toStdString();
    EXPECT_EQ(m_page.GetHeaders()[0]->width(), 500 - 140);
    EXPECT_EQ(m_page.GetLabels()[0]->width(), 500 - 140);
    EXPECT_EQ(m_page.GetEdits()[0]->width(), 110);
}

TEST_F(PageTest, AWheelOverAComboGoesOnToThePageAndWritesNothing)
{
    BuildSample();
    CVcmCombo* combo = m_page.GetCombos().front();
    const int index = combo->currentIndex();
    m_drive.ClearLines();
    QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    EXPECT_FALSE(wheel.isAccepted());  // a real wheel event goes on to the page
    EXPECT_EQ(combo->currentIndex(), index);
    EXPECT_TRUE(m_drive.Lines().empty());
}

// --- Refresh --------------------------------------------------------------

struct RefreshCase {
    const char* name;
    int source;
    bool emptyCache;
    std::multiset<int> read;
};

class PageRefresh : public PageTest, public testing::WithParamInterface<RefreshCase> {};

TEST_P(PageRefresh, ReadsTheControlsTheSourceAsksFor)
{
    // live read-only, live writable, read-only only; each value kind; never read: button, header
    Build({Record(0, 0, 5, "lr"), Record(0, 0, 6, "l"), Record(0, 0, 7, "r"), Record(2, 0, 8, "lr"),
           Record(2, 0, 9, "l"), Record(4, 0, 10, "lr"), Record(4, 0, 11, "l"), Record(1, 0, 12, "l"),
           Record(8, 0, 13, "l")});
    if (GetParam().emptyCache)
        GetTarvixMaster()->InvalidateParameterCache();
    m_drive.ClearLines();
    m_page.OnRefresh(GetParam().source);
    const std::vector<int> read = ReadParameters(m_drive.Lines());
    EXPECT_EQ(std::multiset<int>(read.begin(), read.end()), GetParam().read);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PageRefresh,
    testing::Values(
        RefreshCase{"PollReadsLiveLockedRows", 1, false, {5, 8, 10}},
        RefreshCase{"FirstReadUsesTheCache", 0, false, {}},
        RefreshCase{"FirstReadFillsAnEmptyCache", 0, true, {5, 6, 7, 8, 9, 10, 11}},
        RefreshCase{"FullReadReadsEveryValue", 2, false, {5, 6, 7, 8, 9, 10, 11}},
        RefreshCase{"UnknownSourceReadsNothing", 3, true, {}}),
    [](const testing::TestParamInfo<RefreshCase>& info) { return info.param.name; });

TEST_F(PageTest, APollNeverOverwritesAFieldBeingEdited)
{
    Build({Record(0, 0, 5, "l")});
    CVcmEdit* edit = m_page.GetEdits().front();
    edit->selectAll();
    QTest::keyClicks(edit, "77");
    m_drive.Drive().SetValue(5, 1234);
    m_page.OnRefresh(kReadPoll);
    EXPECT_EQ(edit->text(), QStringLiteral("77"));
    m_page.OnRefresh(kReadFromDrive);
    EXPECT_EQ(edit->text(), QStringLiteral("1234"));
}

TEST_F(PageTest, AMotorFactorFieldReadsTheMotorNumberOnlyForANewValue)
{
    using Reads = std::vector<int>;
    // The factor field comes first: the motor number's own row is read after it.
    Build({Record(0, kVcmFormatMotorFactor, 69, "lr"), Record(0, kVcmFormatMotorName, 20)});
    m_drive.Drive().SetValue(20, 3);  // factor 4
    m_drive.Drive().SetValue(69, 15);
    GetTarvixMaster()->InvalidateParameterCache();
    m_page.OnRefresh(kReadThroughCache);
    CVcmEdit* factor = m_page.GetEdits().front();
    ASSERT_EQ(factor->text(), QStringLiteral("60"));
    m_drive.ClearLines();
    m_page.OnRefresh(kReadPoll);
    EXPECT_EQ(ReadParameters(m_drive.Lines()), Reads{69});
    m_drive.ClearLines();
    m_page.OnRefresh(kReadFromDrive);
    EXPECT_EQ(ReadParameters(m_drive.Lines()), (Reads{69, 20}));

    m_drive.Drive().SetValue(20, 5);  // factor 8
    GetTarvixMaster()->InvalidateParameterCache();
    m_drive.ClearLines();
    m_page.OnRefresh(kReadFromDrive);
    EXPECT_EQ(ReadParameters(m_drive.Lines()), (Reads{69, 20}));
    EXPECT_EQ(factor->text(), QStringLiteral("120"));
    EXPECT_EQ(factor->GetEnteredValue(), 15);
}

TEST_F(PageTest, ValueNewsReachOnlyTheDependentControls)
{
    std::deque<VariableInfo> records{Record(0, 0, 20), Record(4, 0, 21), Record(8, 0, 22), Record(0, 0, 23)};
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
    EXPECT_TRUE(m_page.GetLabels()[0]->isHidden());   // the edit's label goes with it
    EXPECT_FALSE(m_page.GetLabels()[1]->isHidden());  // the switch's stays
}

// --- Under a control's own command -------------------------------------------

// Stands in for the frame: its motor list ends with a resume that may find the
// port closed and clear the page, still inside the button's click.
class MotorListWindow : public QWidget {
public:
    std::function<void()> onMotorList;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != static_cast<QEvent::Type>(WM_SHOW_MOTOR_LIST))
            return QWidget::event(e);
        onMotorList();
        return true;
    }
};

TEST_F(PageTest, AClearFromInsideAControlsCommandWaitsUntilItHasReturned)
{
    Build({Record(kVcmKindButton, 1, 5)});
    QPointer<CVcmButton> button(m_page.GetButtons().front());
    MotorListWindow main;
    bool keptDuringClick = false;
    main.onMotorList = [&] {
        m_page.ClearControls();
        keptDuringClick = !button.isNull();
    };
    SetMainWnd(&main);
    QTest::mouseClick(button.data(), Qt::LeftButton);
    SetMainWnd(nullptr);
    EXPECT_TRUE(keptDuringClick);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_page.HasDeferredWork(); }, 5000));
    EXPECT_TRUE(button.isNull());
    EXPECT_TRUE(m_page.GetButtons().empty());
}

// --- Under the box of a failed exchange ---------------------------------------

class PageUnderBox : public PageTest {
protected:
    // Runs the action while a box is up, as its modal loop would.
    void WhileABoxIsUp(std::function<void()> action)
    {
        ScriptedMessageBoxes boxes;
        boxes.WhileShown([&] {
            action();
            RunPostedEvents();
            m_rowsWhileShown = m_page.GetEdits().size();
            m_linesWhileShown = m_drive.Lines().size();
        });
        boxes.Answer(host::IDIGNORE);
        host::MessageBox("exchange failed", host::MB_ABORTRETRYIGNORE);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !m_page.HasDeferredWork(); }, 5000));
    }
    size_t m_rowsWhileShown = 0;
    size_t m_linesWhileShown = 0;
};

TEST_F(PageUnderBox, AClearWaitsUntilTheBoxIsGone)
{
    BuildSample();
    WhileABoxIsUp([&] { m_page.ClearControls(); });
    EXPECT_GT(m_rowsWhileShown, 0u);
    EXPECT_TRUE(m_page.GetEdits().empty());
    EXPECT_EQ(WindowById(&m_page, kFirstControlId), nullptr);
}

TEST_F(PageUnderBox, ARebuildCancelsAWaitingClear)
{
    WhileABoxIsUp([&] {
        m_page.ClearControls();
        BuildSample();
    });
    EXPECT_FALSE(m_page.GetEdits().empty());
}

TEST_F(PageUnderBox, AReReadRunsAfterTheBox)
{
    Build({Record(0, 0, 5)});
    m_drive.ClearLines();
    WhileABoxIsUp([&] { PostVcmMessage(&m_page, WM_VCM_REFRESH, kReadFromDrive); });
    EXPECT_EQ(m_linesWhileShown, 0u);
    EXPECT_EQ(ReadParameters(m_drive.Lines()), std::vector<int>{5});
}

TEST_F(PageUnderBox, ValueNewsWaitUntilTheBoxIsGone)
{
    std::deque<VariableInfo> records{Record(0, 0, 20)};
    records[0].conditions[0] = VcmCondition{30, 1, 1, 4};  // hidden while 30 == 1
    Build(records);
    m_drive.Drive().SetValue(30, 1);
    GetTarvixMaster()->InvalidateParameterCache();
    m_drive.ClearLines();
    WhileABoxIsUp([&] { PostVcmMessage(&m_page, WM_VCM_VALUE_CHANGED, 30, 1); });
    EXPECT_EQ(m_linesWhileShown, 0u);
    EXPECT_EQ(ReadParameters(m_drive.Lines()), std::vector<int>{30});
    EXPECT_TRUE(m_page.GetEdits()[0]->isHidden());
}

}  // namespace
