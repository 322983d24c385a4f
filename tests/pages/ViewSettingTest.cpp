#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <set>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/FormParam.h"
#include "pages/VcmEdit.h"
#include "pages/VcmMessages.h"
#include "pages/VcmStatic.h"
#include "pages/ViewSetting.h"
#include "tests/pages/ViewHost.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

using Fault = SimulatedDrive::Fault;
using FaultKind = SimulatedDrive::FaultKind;

// The rows a page of these records has, each with the top of its control.
struct ExpectedRows {
    int windows = 0;
    std::vector<int> controlTops;
    int contentHeight = 8;
};

ExpectedRows RowsOf(const std::deque<VariableInfo>& records)
{
    ExpectedRows rows;
    int top = 10;
    int b = 0;
    for (const VariableInfo& r : records) {
        const bool detail = r.kind == kVcmKindEdit &&
                            (r.format == kVcmFormatMotorName || r.format == kVcmFormatErrorText);
        switch (r.kind) {
        case kVcmKindHeader:
            rows.windows += 1;
            rows.controlTops.push_back(top);
            b = top + 18;
            break;
        case kVcmKindEdit:
        case kVcmKindButton:
        case kVcmKindCombo:
        case kVcmKindSwitch:
            rows.windows += detail ? 3 : 2;
            rows.controlTops.push_back(top);
            b = top + 20 + (detail ? 48 : 0);
            break;
        default:
            break;
        }
        top = b + 8;
    }
    rows.contentHeight = b + 8;
    return rows;
}

// Every page control, in creation order (by id).
std::vector<QWidget*> ControlsById(CFormParam* page)
{
    std::vector<QWidget*> controls;
    for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->property("controlId").isValid() && !qobject_cast<QLabel*>(w))
            controls.push_back(w);
    }
    for (QWidget* w : page->GetHeaders())
        if (std::find(controls.begin(), controls.end(), w) == controls.end())
            controls.push_back(w);
    std::sort(controls.begin(), controls.end(), [](QWidget* a, QWidget* b) {
        return a->property("controlId").toInt() < b->property("controlId").toInt();
    });
    return controls;
}

class ViewTest : public testing::Test {
protected:
    explicit ViewTest(const char* version = kSampleBipolarVersion) : m_drive(version)
    {
        m_host.show();
        m_view = m_host.View();
        m_page = m_view->GetFormParam();
        m_timer = m_view->findChild<QTimer*>(QStringLiteral("pollTimer"));
    }
    ~ViewTest() override { m_view->ClearShownDrive(); }

    void ShowAndPoll()
    {
        ASSERT_TRUE(m_view->ShowConnectedDrive());
        RunPostedEvents();
        SendVcmMessage(m_view, WM_POLL_START);
        ASSERT_TRUE(m_timer->isActive());
        m_drive.ClearLines();
    }
    // Parameter numbers of the live rows a poll may read.
    std::set<int> LiveNumbers()
    {
        std::set<int> live;
        for (const VariableInfo& r : GetTarvixMaster()->GetDriver()->GetFirstSectionVariables())
            if (r.live)
                live.insert(r.number);
        return live;
    }

    ConnectedDrive m_drive;
    ViewHost m_host;
    CViewSetting* m_view = nullptr;
    CFormParam* m_page = nullptr;
    QTimer* m_timer = nullptr;
};

// --- The page of every sample drive version ---------------------------------

class SampleVersionPage : public testing::TestWithParam<const char*> {};

TEST_P(SampleVersionPage, HasOneRowPerRecordAndIsSavedAsPicture)
{
    ConnectedDrive drive(GetParam());
    ViewHost host(720);
    host.show();
    CViewSetting* view = host.View();
    ASSERT_TRUE(view->ShowConnectedDrive());
    RunPostedEvents();
    CFormParam* page = view->GetFormParam();
    EXPECT_TRUE(page->isVisible());
    EXPECT_EQ(view->GetVersionText().toStdString(), std::string(GetParam()));

    const auto& records = GetTarvixMaster()->GetDriver()->GetFirstSectionVariables();
    const ExpectedRows expected = RowsOf(records);
    EXPECT_EQ(page->GetContentHeight(), expected.contentHeight);
    const std::vector<QWidget*> controls = ControlsById(page);
    ASSERT_EQ(controls.size(), expected.controlTops.size());
    for (size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ(controls[i]->y(), expected.controlTops[i]) << "row " << i;
    int lastId = kFirstControlId - 1;
    for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        lastId = std::max(lastId, w->property("controlId").toInt());
    EXPECT_EQ(lastId - kFirstControlId + 1, expected.windows);
    // every edit shows its value after the first refresh
    for (CVcmEdit* edit : page->GetEdits())
        EXPECT_FALSE(edit->text().isEmpty()) << edit->objectName().toStdString();

    const QString file = QDir(QStringLiteral(TARVIX_BUILD_DIR))
                             .filePath(QString::fromStdString("page-" + VersionTag(GetParam()) + ".png"));
    EXPECT_TRUE(host.grab().save(file));
}

INSTANTIATE_TEST_SUITE_P(Versions, SampleVersionPage, testing::ValuesIn(kSampleVersions),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string tag = VersionTag(info.param);
                             std::replace_if(tag.begin(), tag.end(),
                                             [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return tag;
                         });

// --- Showing a drive --------------------------------------------------------

TEST_F(ViewTest, ShowingNeedsAnOpenPort)
{
    GetTarvixMaster()->Close();
    EXPECT_FALSE(m_view->ShowConnectedDrive());
    EXPECT_FALSE(m_view->IsDriveShown());
    EXPECT_FALSE(m_page->isVisible());
    EXPECT_TRUE(m_view->GetVersionText().isEmpty());
}

TEST_F(ViewTest, AFailedVersionRequestStillBuildsThePage)
{
    m_drive.Drive().InjectFault(Fault(FaultKind::ErrorAnswer), 1, "VR");
    ASSERT_TRUE(m_view->ShowConnectedDrive());
    EXPECT_TRUE(m_view->GetVersionText().isEmpty());
    EXPECT_FALSE(m_page->GetEdits().empty());
}

TEST_F(ViewTest, AReReadBeforeThePageWasBuiltFindsNothingToRead)
{
    SendVcmMessage(&m_host, WM_VCM_REFRESH, 2);
    RunPostedEvents();
    EXPECT_TRUE(m_drive.Lines().empty());
}

TEST_F(ViewTest, TheViewStretchesWithItsWindow)
{
    m_host.resize(440, 500);
    m_host.resize(500, 640);
    EXPECT_EQ(m_page->width(), 500 - 8 - m_page->x());
    EXPECT_EQ(m_page->geometry().bottom() + 1, 640 - 8);
    EXPECT_EQ(m_view->findChild<QWidget*>(QStringLiteral("versionGroup"))->width(),
              500 - 8 - m_page->x());
}

// --- The poll timer ---------------------------------------------------------

TEST_F(ViewTest, ATickReadsTheLiveLockedRowsThenRearms)
{
    ShowAndPoll();
    FireTimer(m_timer);
    const std::vector<int> read = ReadParameters(m_drive.Lines());
    ASSERT_FALSE(read.empty());
    const std::set<int> live = LiveNumbers();
    for (int n : read)
        EXPECT_TRUE(live.count(n)) << "parameter " << n << " is not live";
    EXPECT_TRUE(m_timer->isActive());
    EXPECT_EQ(m_timer->interval(), kPollPeriodMs);
}

TEST_F(ViewTest, StopAndResumeStopAndRestartTheTimer)
{
    ShowAndPoll();
    SendVcmMessage(&m_host, WM_POLL_STOP);
    EXPECT_FALSE(m_timer->isActive());
    SendVcmMessage(&m_host, WM_POLL_STOP);
    SendVcmMessage(&m_host, WM_POLL_START);
    SendVcmMessage(&m_host, WM_POLL_START);
    EXPECT_TRUE(m_timer->isActive());
    EXPECT_TRUE(m_view->IsDriveShown());
}

TEST_F(ViewTest, ATickUnderABoxOnlyRearms)
{
    ShowAndPoll();
    ScriptedMessageBoxes boxes;
    size_t linesWhileShown = 99;
    bool rowsWhileShown = false;
    boxes.WhileShown([&] {
        m_drive.ClearLines();
        FireTimer(m_timer);
        GetTarvixMaster()->Close();  // the failed exchange closed the port
        FireTimer(m_timer);
        linesWhileShown = m_drive.Lines().size();
        rowsWhileShown = !m_page->GetEdits().empty();
    });
    boxes.Answer(host::IDIGNORE);
    host::MessageBox("exchange failed", host::MB_ABORTRETRYIGNORE);
    EXPECT_EQ(linesWhileShown, 0u);
    EXPECT_TRUE(rowsWhileShown);
    // once the box is gone the next tick finds the port closed
    FireTimer(m_timer);
    QTest::qWait(60);
    EXPECT_FALSE(m_view->IsDriveShown());
    EXPECT_TRUE(m_page->GetEdits().empty());
    EXPECT_FALSE(m_timer->isActive());
}

TEST_F(ViewTest, AFailedLiveReadStopsPollingUntilTheNextResume)
{
    ShowAndPoll();
    GetTarvixMaster()->SetShowErrorBox(true);
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDIGNORE);
    m_drive.Drive().InjectFault(Fault(FaultKind::ErrorAnswer), 1, "MD");
    FireTimer(m_timer);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_FALSE(m_timer->isActive());
    EXPECT_TRUE(m_view->IsDriveShown());
    SendVcmMessage(&m_host, WM_POLL_START);
    EXPECT_TRUE(m_timer->isActive());
}

TEST_F(ViewTest, ADriveThatVanishedIsClearedByTheNextTick)
{
    ShowAndPoll();
    m_drive.Drive().VanishNow();
    FireTimer(m_timer);
    EXPECT_FALSE(GetTarvixMaster()->IsOpen());
    EXPECT_FALSE(m_view->IsDriveShown());
    EXPECT_TRUE(m_view->GetVersionText().isEmpty());
    EXPECT_TRUE(m_page->GetEdits().empty());
    EXPECT_FALSE(m_timer->isActive());
    SendVcmMessage(&m_host, WM_POLL_START);
    EXPECT_FALSE(m_timer->isActive());
}

TEST_F(ViewTest, AResumeAfterThePortClosedClearsTheView)
{
    ShowAndPoll();
    SendVcmMessage(&m_host, WM_POLL_STOP);
    GetTarvixMaster()->Close();
    SendVcmMessage(&m_host, WM_POLL_START);
    EXPECT_FALSE(m_view->IsDriveShown());
    EXPECT_TRUE(m_page->GetLabels().empty());
    EXPECT_FALSE(m_timer->isActive());
}

// --- The test-array read ------------------------------------------------------

// Progress that lets events run between the samples, as the progress window does.
class PumpingProgress : public RecordingProgress {
public:
    std::function<void()> onStep;
    bool CheckCancel() override
    {
        if (onStep)
            onStep();
        return RecordingProgress::CheckCancel();
    }
};

class ServoViewTest : public ViewTest {
protected:
    ServoViewTest() : ViewTest(kSampleServoVersion) {}
};

TEST_F(ServoViewTest, ReReadsAndResumesWaitForTheTestArrayRead)
{
    ShowAndPoll();
    SendVcmMessage(&m_host, WM_POLL_STOP);
    CBaseDriver* driver = GetTarvixMaster()->GetDriver();
    const int samples = driver->GetTestArrayLines() * driver->GetTestArrayColumns();
    std::vector<int16_t> values(samples);
    PumpingProgress progress;
    bool timerDuringRead = false;
    int step = 0;
    progress.onStep = [&] {
        if (++step == 2) {
            PostVcmMessage(&m_host, WM_VCM_REFRESH, 2);
            PostVcmMessage(&m_host, WM_POLL_START);
        }
        RunPostedEvents();
        QTest::qWait(1);
        timerDuringRead = timerDuringRead || m_timer->isActive();
    };
    m_drive.ClearLines();
    ASSERT_TRUE(GetTarvixMaster()->ReadTestArray(&progress, values.data()));
    EXPECT_FALSE(timerDuringRead);
    // one "MA" and nothing but "MD" while the read ran
    const std::vector<std::string> lines = m_drive.Lines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(samples + 1));
    EXPECT_EQ(lines[0], "MA" + std::to_string(driver->GetTestArrayStart()));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("MD")), samples);

    QTest::qWait(120);
    EXPECT_TRUE(m_timer->isActive());
    EXPECT_GT(m_drive.Lines().size(), lines.size());  // the re-read came afterwards
}

}  // namespace
