#include <gtest/gtest.h>

#include <QDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "drive/BaseDriver.h"
#include "drive/TarvixMaster.h"
#include "pages/FormParam.h"
#include "pages/VcmEdit.h"
#include "pages/ViewSetting.h"
#include "platform/CloseRequest.h"
#include "tests/pages/ViewHost.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tools/drivesim/SampleDrives.h"
#include "ui/VcmMessages.h"

namespace {

using Fault = SimulatedDrive::Fault;
using FaultKind = SimulatedDrive::FaultKind;

// "page-Tarvix_Bipolar_Version_1.1.2" for "Tarvix Bipolar Version 1.1.2 (Jan 12 2026)".
std::string PageName(std::string version)
{
    version.erase(version.find(" ("));
    std::replace(version.begin(), version.end(), ' ', '_');
    return "page-" + version;
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
    void ShowAndPoll()
    {
        ASSERT_TRUE(m_view->ShowConnectedDrive());
        RunPostedEvents();
        SendVcmMessage(&m_host, WM_POLL_START);
        ASSERT_TRUE(m_timer->isActive());
        m_drive.ClearLines();
    }
    // The first edit that a tick reads (live, and locked against typing), and
    // its parameter number.
    std::pair<CVcmEdit*, uint16_t> FirstPolledEdit() const
    {
        size_t i = 0;
        for (const VariableInfo& r : GetTarvixMaster()->GetDriver()->GetFirstSectionVariables()) {
            if (r.kind != kVcmKindEdit)
                continue;
            CVcmEdit* edit = m_page->GetEdits().at(i++);
            if (r.live && (edit->isReadOnly() || !edit->isEnabled()))
                return {edit, r.number};
        }
        return {nullptr, 0};
    }
    void ExpectCleared()
    {
        EXPECT_FALSE(m_view->IsDriveShown());
        EXPECT_TRUE(m_view->GetVersionText().isEmpty());
        EXPECT_TRUE(m_page->GetLabels().empty());
        EXPECT_FALSE(m_timer->isActive());
    }

    ConnectedDrive m_drive;
    ViewHost m_host;
    CViewSetting* m_view;
    CFormParam* m_page;
    QTimer* m_timer;
};

class SampleVersionPage : public testing::TestWithParam<const char*> {};

TEST_P(SampleVersionPage, ShowsOneRowPerRecordWithItsValue)
{
    ConnectedDrive drive(GetParam());
    ViewHost host(720);
    host.show();
    ASSERT_TRUE(host.View()->ShowConnectedDrive());
    RunPostedEvents();
    CFormParam* page = host.View()->GetFormParam();
    EXPECT_EQ(host.View()->GetVersionText().toStdString(), GetParam());

    std::map<int, size_t> perKind;
    for (const VariableInfo& r : GetTarvixMaster()->GetDriver()->GetFirstSectionVariables())
        ++perKind[r.kind];
    EXPECT_EQ(page->GetEdits().size(), perKind[kVcmKindEdit]);
    EXPECT_EQ(page->GetButtons().size(), perKind[kVcmKindButton]);
    EXPECT_EQ(page->GetCombos().size(), perKind[kVcmKindCombo]);
    EXPECT_EQ(page->GetSwitches().size(), perKind[kVcmKindSwitch]);
    EXPECT_EQ(page->GetHeaders().size(), perKind[kVcmKindHeader]);
    for (CVcmEdit* edit : page->GetEdits()) {
        EXPECT_FALSE(edit->text().isEmpty()) << edit->objectName().toStdString();
        EXPECT_EQ(edit->m_pLabel->y(), edit->y());
    }
    // The whole page in one picture: the window grown until the rows fit.
    host.resize(440, page->y() + page->GetContentHeight() + 8);
    EXPECT_FALSE(page->HasScrollBar());
    const QString file = QDir(QStringLiteral(TARVIX_BUILD_DIR)).filePath(QString::fromStdString(PageName(GetParam()) + ".png"));
    EXPECT_TRUE(host.grab().save(file));
}

INSTANTIATE_TEST_SUITE_P(Versions, SampleVersionPage, testing::ValuesIn(kSampleVersions),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = PageName(info.param);
                             std::replace(name.begin(), name.end(), '.', '_');
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST_F(ViewTest, AFailedVersionRequestStillBuildsThePage)
{
    m_drive.Drive().InjectFault(Fault(FaultKind::ErrorAnswer), 1, "VR");
    ASSERT_TRUE(m_view->ShowConnectedDrive());
    EXPECT_TRUE(m_view->GetVersionText().isEmpty());
    EXPECT_FALSE(m_page->GetEdits().empty());
    EXPECT_TRUE(m_page->isVisible());
}

TEST_F(ViewTest, TheGroupAndThePageStretchWithTheWindow)
{
    m_host.resize(500, 640);
    EXPECT_EQ(m_page->width(), 500 - 8 - m_page->x());
    EXPECT_EQ(m_page->geometry().bottom() + 1, 640 - 8);
    EXPECT_EQ(m_view->findChild<QWidget*>(QStringLiteral("versionGroup"))->width(), 500 - 8 - m_page->x());
}

TEST_F(ViewTest, ATickReadsOnlyLiveRowsAndRearmsAfterThem)
{
    ShowAndPoll();
    std::set<int> live;
    for (const VariableInfo& r : GetTarvixMaster()->GetDriver()->GetFirstSectionVariables())
        if (r.live)
            live.insert(r.number);
    FireTimer(m_timer);
    const std::vector<int> read = ReadParameters(m_drive.Lines());
    ASSERT_FALSE(read.empty());
    for (int n : read)
        EXPECT_TRUE(live.count(n)) << n;
    EXPECT_TRUE(m_timer->isActive());
    // The next tick 1000 ms after the refresh, not a few ms early.
    EXPECT_EQ(m_timer->timerType(), Qt::PreciseTimer);
    SendVcmMessage(&m_host, WM_POLL_STOP);
    EXPECT_FALSE(m_timer->isActive());
}

TEST_F(ViewTest, ATickUnderABoxOnlyRearms)
{
    ShowAndPoll();
    ScriptedMessageBoxes boxes;
    bool rowsWhileShown = false;
    boxes.WhileShown([&] {
        FireTimer(m_timer);
        GetTarvixMaster()->Close();  // as a failed exchange may do
        FireTimer(m_timer);
        rowsWhileShown = !m_page->GetEdits().empty() && m_timer->isActive();
    });
    boxes.Answer(host::IDIGNORE);
    host::MessageBox("exchange failed", host::MB_ABORTRETRYIGNORE);
    EXPECT_TRUE(m_drive.Lines().empty());
    EXPECT_TRUE(rowsWhileShown);
    FireTimer(m_timer);  // the first tick after the box finds the port closed
    ExpectCleared();
}

TEST_F(ViewTest, FailedLiveReadsKeepPollingSoAPortClosedLaterClearsThePage)
{
    ShowAndPoll();
    GetTarvixMaster()->SetShowErrorBox(true);
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDIGNORE);
    m_drive.Drive().InjectFault(Fault(FaultKind::ErrorAnswer), 1, "MD");
    FireTimer(m_timer);
    EXPECT_EQ(boxes.Count(), 1u);
    ASSERT_TRUE(m_timer->isActive());

    // A write whose echo never comes closes the port.
    boxes.Answer(host::IDIGNORE);
    m_drive.Drive().InjectFault(Fault(FaultKind::Silent), 1, "MD");
    EXPECT_FALSE(GetTarvixMaster()->WriteParameter(FirstPolledEdit().second, 1, nullptr));
    ASSERT_FALSE(GetTarvixMaster()->IsOpen());
    FireTimer(m_timer);
    ExpectCleared();
}

TEST_F(ViewTest, ALiveValueOf65535ReadsAsFailedWithoutABoxAndPollingGoesOn)
{
    ShowAndPoll();
    GetTarvixMaster()->SetShowErrorBox(true);
    ScriptedMessageBoxes boxes;  // any box fails the test
    const auto [edit, number] = FirstPolledEdit();
    ASSERT_NE(edit, nullptr);
    m_drive.Drive().SetValue(number, 65535);
    FireTimer(m_timer);
    ASSERT_TRUE(m_timer->isActive());
    m_drive.Drive().SetValue(number, 12);
    FireTimer(m_timer);
    EXPECT_EQ(edit->GetShownValue(), 12);
}

TEST_F(ViewTest, AbortInALiveReadsBoxEndsTheRefreshWithoutFurtherExchangesOrBoxes)
{
    ShowAndPoll();
    FireTimer(m_timer);
    ASSERT_GT(ReadParameters(m_drive.Lines()).size(), 1u);  // reads that an Abort must skip
    m_drive.ClearLines();

    int closeRequests = 0;
    const host::CloseHandler before = host::SetCloseHandler([&] { ++closeRequests; });
    GetTarvixMaster()->SetShowErrorBox(true);
    ScriptedMessageBoxes boxes;
    boxes.Answer(host::IDABORT);
    m_drive.Drive().InjectFault(Fault(FaultKind::ErrorAnswer), 100, "MD");
    FireTimer(m_timer);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(ReadParameters(m_drive.Lines()).size(), 1u);
    EXPECT_EQ(closeRequests, 1);
    host::SetCloseHandler(before);
}

TEST_F(ViewTest, ADriveThatVanishedIsClearedByTheNextTick)
{
    ShowAndPoll();
    m_drive.Drive().VanishNow();
    FireTimer(m_timer);
    ExpectCleared();
    SendVcmMessage(&m_host, WM_POLL_START);
    EXPECT_FALSE(m_timer->isActive());
}

// Lets events run between the samples, as the progress window does.
class PumpingProgress : public RecordingProgress {
public:
    std::function<void()> onStep;
    bool CheckCancel() override
    {
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
        if (++step == 1) {
            PostVcmMessage(&m_host, WM_VCM_REFRESH, kReadFromDrive);
            PostVcmMessage(&m_host, WM_POLL_START);
        }
        RunPostedEvents();
        QTest::qWait(1);
        timerDuringRead = timerDuringRead || m_timer->isActive();
    };
    ASSERT_TRUE(GetTarvixMaster()->ReadTestArray(&progress, values.data(), values.size()));
    EXPECT_FALSE(timerDuringRead);
    const std::vector<std::string> lines = m_drive.Lines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(samples + 1));
    EXPECT_EQ(lines[0], "MA" + std::to_string(driver->GetTestArrayStart()));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), std::string("MD")), samples);
    // The re-read and the resume come after it.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return m_timer->isActive() && m_drive.Lines().size() > lines.size(); }, 5000));
}

}  // namespace
