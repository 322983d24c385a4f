#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "ui/ProgressDlg.h"

namespace {

class ProgressDlgTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_owner = std::make_unique<QMainWindow>();
        m_central = new QWidget(m_owner.get());
        m_owner->setCentralWidget(m_central);
        m_owner->resize(440, 300);
        m_owner->show();
    }

    // Created over a child of the owner, as the frame's commands do.
    std::unique_ptr<CProgressDlg> Created(int captionId = 0)
    {
        auto dlg = std::make_unique<CProgressDlg>(captionId);
        EXPECT_TRUE(dlg->Create(m_central));
        return dlg;
    }

    // The display follows the numbers within its interval: events run until
    // it has caught up.
    static CProgressDlg& Shown(CProgressDlg& dlg)
    {
        auto* display = dlg.findChild<QTimer*>("display");
        EXPECT_TRUE(QTest::qWaitFor([display] { return !display->isActive(); }));
        return dlg;
    }
    static QLabel* Label(CProgressDlg& dlg, const char* name)
    {
        return Shown(dlg).findChild<QLabel*>(name);
    }
    static QString Percent(CProgressDlg& dlg) { return Label(dlg, "percent")->text(); }
    static QString Status(CProgressDlg& dlg) { return Label(dlg, "status")->text(); }
    static QProgressBar* Bar(CProgressDlg& dlg)
    {
        return Shown(dlg).findChild<QProgressBar*>("progress");
    }
    static QPushButton* Cancel(CProgressDlg& dlg) { return dlg.findChild<QPushButton*>("cancel"); }

    std::unique_ptr<QMainWindow> m_owner;
    QWidget* m_central = nullptr;
};

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    PaintCounter(QWidget* widget, int& paints) : m_paints(paints)
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_paints;
        return false;
    }

private:
    int& m_paints;
};

// Runs fn from the event queue, i.e. only when someone pumps.
template <typename Fn>
void Post(Fn fn)
{
    QMetaObject::invokeMethod(qApp, fn, Qt::QueuedConnection);
}

}  // namespace

TEST_F(ProgressDlgTest, CreateShowsTheWindowWithItsCaption)
{
    auto dlg = Created();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), "Loading...");
    EXPECT_EQ(Percent(*dlg), "0 %");
    EXPECT_EQ(Status(*dlg), "");
    EXPECT_EQ(Bar(*dlg)->minimum(), 0);
    EXPECT_EQ(Bar(*dlg)->maximum(), 100);
    EXPECT_EQ(Bar(*dlg)->value(), 0);
    EXPECT_FALSE(dlg->Create(m_central));

    EXPECT_EQ(Created(315)->windowTitle(), "Loading...");
    EXPECT_EQ(Created(316)->windowTitle(), "Loading file...");
    EXPECT_EQ(Created(317)->windowTitle(), "Saving to file...");
    EXPECT_EQ(Created(999)->windowTitle(), "");
}

TEST_F(ProgressDlgTest, RangeAndPositionSetBeforeCreateApplyAtCreate)
{
    CProgressDlg dlg;
    dlg.SetRange(5, 16);
    dlg.SetStep(3);
    ASSERT_TRUE(dlg.Create(m_central));
    EXPECT_EQ(Bar(dlg)->minimum(), 5);
    EXPECT_EQ(Bar(dlg)->maximum(), 16);
    EXPECT_EQ(Bar(dlg)->value(), 5);
    EXPECT_EQ(dlg.StepIt(), 5);
    EXPECT_EQ(Bar(dlg)->value(), 8);
    EXPECT_EQ(Percent(dlg), "27%");  // (8 - 5) * 100 / 11
}

TEST_F(ProgressDlgTest, ElevenStepsOnTheDefaultRange)
{
    auto dlg = Created();
    std::vector<int> previous;
    std::vector<std::string> labels;
    for (int i = 0; i < 11; ++i) {
        previous.push_back(dlg->StepIt());
        labels.push_back(Percent(*dlg).toStdString());
    }
    EXPECT_EQ(previous, (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
    EXPECT_EQ(labels, (std::vector<std::string>{"10%", "20%", "30%", "40%", "50%", "60%", "70%",
                                                "80%", "90%", "100%", "10%"}));
    // The bar started over after passing its upper bound.
    EXPECT_EQ(Bar(*dlg)->value(), 0);
    EXPECT_EQ(dlg->StepIt(), 0);
}

TEST_F(ProgressDlgTest, TenthStepOfARangeOfNineShowsEleven)
{
    auto dlg = Created();
    dlg->SetRange(0, 9);
    dlg->SetStep(1);
    dlg->SetPos(0);
    for (int i = 0; i < 9; ++i)
        dlg->StepIt();
    EXPECT_EQ(Percent(*dlg), "100%");
    EXPECT_EQ(dlg->StepIt(), 9);
    EXPECT_EQ(Percent(*dlg), "11%");
    EXPECT_EQ(Bar(*dlg)->value(), 0);
}

TEST_F(ProgressDlgTest, SetPosAndOffsetPos)
{
    auto dlg = Created();
    EXPECT_EQ(dlg->SetPos(42), 0);
    EXPECT_EQ(Percent(*dlg), "42%");
    EXPECT_EQ(Bar(*dlg)->value(), 42);
    EXPECT_EQ(dlg->SetPos(100), 42);
    EXPECT_EQ(Percent(*dlg), "100%");
    // Beyond the bounds: the bar stays inside, the label follows the number.
    EXPECT_EQ(dlg->SetPos(150), 100);
    EXPECT_EQ(Bar(*dlg)->value(), 100);
    EXPECT_EQ(Percent(*dlg), "50%");
    EXPECT_EQ(dlg->SetPos(-20), 100);
    EXPECT_EQ(Bar(*dlg)->value(), 0);
    EXPECT_EQ(Percent(*dlg), "-20%");

    EXPECT_EQ(dlg->SetPos(30), 0);
    EXPECT_EQ(dlg->OffsetPos(25), 30);
    EXPECT_EQ(Bar(*dlg)->value(), 55);
    EXPECT_EQ(Percent(*dlg), "55%");
    EXPECT_EQ(dlg->OffsetPos(-60), 55);
    EXPECT_EQ(Bar(*dlg)->value(), 0);
    EXPECT_EQ(Percent(*dlg), "-5%");
}

TEST_F(ProgressDlgTest, RangeIsKeptInSixteenBits)
{
    auto dlg = Created();
    dlg->SetRange(0, 70000);  // the bar sees 70000 - 65536
    EXPECT_EQ(Bar(*dlg)->maximum(), 4464);
    dlg->SetPos(35000);
    EXPECT_EQ(Bar(*dlg)->value(), 4464);
    EXPECT_EQ(Percent(*dlg), "50%");  // the label counts on the full numbers
    dlg->SetRange(0, 1000);
    EXPECT_EQ(Bar(*dlg)->maximum(), 1000);
    dlg->SetPos(2147483647);  // no overflow in the percent arithmetic
    EXPECT_EQ(Percent(*dlg), QString::number(2147483647LL * 100 / 1000 % 100) + "%");
}

TEST_F(ProgressDlgTest, EmptyRangeDoesNotDivideByZero)
{
    auto dlg = Created();
    dlg->SetRange(7, 7);
    dlg->SetPos(7);
    EXPECT_EQ(Percent(*dlg), "100%");
    dlg->SetPos(3);
    EXPECT_EQ(Percent(*dlg), "0%");
    dlg->SetStep(1);
    dlg->StepIt();
    EXPECT_EQ(Percent(*dlg), "100%");
}

TEST_F(ProgressDlgTest, StatusLineTakesUtf8)
{
    auto dlg = Created(kProgressCaptionLoadingFile);
    dlg->SetStatus("Line : #2\tMA12");
    EXPECT_EQ(Status(*dlg), "Line : #2\tMA12");
    dlg->SetStatus("Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(Status(*dlg), QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e"));
    dlg->SetStatus(nullptr);
    EXPECT_EQ(Status(*dlg), "");
}

TEST_F(ProgressDlgTest, OnlyProgressAndCancelChecksPumpEvents)
{
    auto dlg = Created();
    int ran = 0;
    Post([&] { ++ran; });
    dlg->SetStatus("x");
    dlg->SetRange(0, 50);
    dlg->SetStep(5);
    EXPECT_EQ(ran, 0);
    dlg->SetPos(1);
    EXPECT_EQ(ran, 1);
    Post([&] { ++ran; });
    dlg->OffsetPos(1);
    EXPECT_EQ(ran, 2);
    Post([&] { ++ran; });
    dlg->StepIt();
    EXPECT_EQ(ran, 3);
    Post([&] { ++ran; });
    dlg->CheckCancel();
    EXPECT_EQ(ran, 4);
}

TEST_F(ProgressDlgTest, CancelClickedWhileAnOperationSteps)
{
    auto dlg = Created();
    CProgInterface* progress = dlg.get();
    ASSERT_FALSE(m_owner->isEnabled());
    // The click arrives while the operation pumps events between its steps.
    Post([&] { QTest::mouseClick(Cancel(*dlg), Qt::LeftButton); });
    int cancelledAt = -1;
    for (int step = 0; step < 20 && cancelledAt < 0; ++step) {
        progress->SetStatus("working");
        progress->StepIt();
        if (progress->CheckCancel())
            cancelledAt = step;
    }
    EXPECT_EQ(cancelledAt, 0);
    EXPECT_FALSE(progress->CheckCancel());
    // Only a request: the window stays.
    EXPECT_TRUE(dlg->isVisible());
}

// Enter on the focused Cancel is in the dialogs' Enter table.
TEST_F(ProgressDlgTest, EscapeAndCloseRequestCancel)
{
    auto dlg = Created();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->CheckCancel());
    EXPECT_FALSE(dlg->CheckCancel());

    EXPECT_FALSE(dlg->close());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->CheckCancel());
    EXPECT_FALSE(dlg->CheckCancel());
}

TEST_F(ProgressDlgTest, OwnerIsDisabledWhileTheWindowExists)
{
    auto dlg = Created();
    EXPECT_FALSE(m_owner->isEnabled());
    EXPECT_TRUE(dlg->isEnabled());
    EXPECT_TRUE(Cancel(*dlg)->isEnabled());
    dlg.reset();
    EXPECT_TRUE(m_owner->isEnabled());

    // Through the interface, as the users delete it.
    CProgInterface* progress = new CProgressDlg;
    ASSERT_TRUE(progress->Create(m_owner.get()));
    EXPECT_FALSE(m_owner->isEnabled());
    delete progress;
    EXPECT_TRUE(m_owner->isEnabled());

    // Hiding the window gives the owner back too.
    dlg = Created();
    dlg->hide();
    EXPECT_TRUE(m_owner->isEnabled());
    dlg->StepIt();  // harmless now
    dlg.reset();
    EXPECT_TRUE(m_owner->isEnabled());
}

TEST_F(ProgressDlgTest, OwnerAlreadyDisabledIsLeftAsItWas)
{
    m_owner->setEnabled(false);
    auto dlg = Created();
    EXPECT_TRUE(dlg->isEnabled());
    dlg.reset();
    EXPECT_FALSE(m_owner->isEnabled());
}

TEST_F(ProgressDlgTest, EveryWindowUpToTheMainWindowIsDisabled)
{
    // Over a dialog that fills itself before it is shown: the main window
    // behind it takes no input either.
    auto hidden = std::make_unique<QDialog>(m_owner.get());
    auto dlg = std::make_unique<CProgressDlg>();
    ASSERT_TRUE(dlg->Create(hidden.get()));
    EXPECT_FALSE(hidden->isEnabled());
    EXPECT_FALSE(m_owner->isEnabled());
    EXPECT_TRUE(Cancel(*dlg)->isEnabled());
    dlg.reset();
    EXPECT_TRUE(hidden->isEnabled());
    EXPECT_TRUE(m_owner->isEnabled());

    // A window of the chain that was disabled already stays so.
    hidden->show();
    hidden->setEnabled(false);
    dlg = std::make_unique<CProgressDlg>();
    ASSERT_TRUE(dlg->Create(hidden.get()));
    EXPECT_FALSE(m_owner->isEnabled());
    dlg.reset();
    EXPECT_TRUE(m_owner->isEnabled());
    EXPECT_FALSE(hidden->isEnabled());
}

TEST_F(ProgressDlgTest, RepaintsAreSpreadOutCancelWorksAtOnceTheLastStateIsShown)
{
    auto dlg = Created();
    CProgInterface* progress = dlg.get();
    progress->SetRange(0, 1000);
    progress->SetStep(1);
    int paints = 0;
    PaintCounter counter(Label(*dlg, "status"), paints);
    QElapsedTimer clock;
    clock.start();

    constexpr int kCancelAt = 150;
    int cancelledAt = -1;
    for (int step = 0; step < 1000 && cancelledAt < 0; ++step) {
        // The click arrives in the pump of this very step.
        if (step == kCancelAt)
            Post([&] { QTest::mouseClick(Cancel(*dlg), Qt::LeftButton); });
        progress->SetStatus(("Step " + std::to_string(step)).c_str());
        progress->StepIt();
        if (progress->CheckCancel())
            cancelledAt = step;
    }
    EXPECT_EQ(cancelledAt, kCancelAt);
    // Not a paint per step: at most one per 30 ms, and two to spare.
    EXPECT_LE(paints, 2 + clock.elapsed() / 30) << "in " << clock.elapsed() << " ms";

    // Once the calls pause, the window shows where the operation stopped.
    EXPECT_EQ(Status(*dlg), QString("Step %1").arg(kCancelAt));
    EXPECT_EQ(Bar(*dlg)->value(), kCancelAt + 1);
    EXPECT_EQ(Percent(*dlg), "15%");
}

TEST_F(ProgressDlgTest, HarmlessWithoutAWindow)
{
    CProgressDlg dlg;
    dlg.SetStatus("nothing");
    dlg.SetRange(0, 10);
    dlg.SetStep(1);
    EXPECT_EQ(dlg.SetPos(5), 0);
    EXPECT_EQ(dlg.OffsetPos(2), 0);
    EXPECT_EQ(dlg.StepIt(), 0);
    EXPECT_FALSE(dlg.CheckCancel());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(Percent(dlg), "0 %");
    EXPECT_TRUE(m_owner->isEnabled());

    // Without a parent there is no owner to disable.
    CProgressDlg lone;
    ASSERT_TRUE(lone.Create(nullptr));
    EXPECT_TRUE(lone.isVisible());
    EXPECT_TRUE(m_owner->isEnabled());
    EXPECT_EQ(lone.StepIt(), 0);
    EXPECT_EQ(Percent(lone), "10%");
}
