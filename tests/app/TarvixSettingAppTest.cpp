#include <gtest/gtest.h>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/AboutDlg.h"
#include "ui/AppMessageBox.h"
#include "app/ConnectDlg.h"
#include "app/MainFrame.h"
#include "app/TarvixSettingApp.h"
#include "drive/TarvixMaster.h"
#include "pages/VcmMessages.h"
#include "pages/ViewSetting.h"
#include "tests/app/AppTestSupport.h"
#include "tools/drivesim/SampleDrives.h"

namespace {

constexpr unsigned kCom = 213;

// Keeps the test run's message-box handler across an application start-up,
// which installs the real boxes.
class KeepMessageBoxHandler {
public:
    KeepMessageBoxHandler() : m_saved(host::SetMessageBoxHandler({})) { host::SetMessageBoxHandler(m_saved); }
    ~KeepMessageBoxHandler() { host::SetMessageBoxHandler(m_saved); }

private:
    host::MessageBoxHandler m_saved;
};

struct BoxCase {
    const char* name;
    unsigned type;
    const char* buttons;  // left to right on screen, without '&'
    const char* defaultButton;
    QMessageBox::Icon icon;
    const char* click;
    int answer;
};

void PrintTo(const BoxCase& c, std::ostream* os) { *os << c.name; }

const BoxCase kBoxes[] = {
    {"Ok", host::MB_OK, "OK", "OK", QMessageBox::NoIcon, "OK", host::IDOK},
    {"AbortRetryIgnore", host::MB_ABORTRETRYIGNORE | host::MB_ICONEXCLAMATION,
     "Abort Retry Ignore", "Abort", QMessageBox::Warning, "Retry", host::IDRETRY},
    {"YesNoHand", host::MB_YESNO | host::MB_ICONHAND, "Yes No", "Yes",
     QMessageBox::Critical, "No", host::IDNO},
    {"YesQuestion", host::MB_YESNO | host::MB_ICONQUESTION, "Yes No", "Yes",
     QMessageBox::Question, "Yes", host::IDYES},
};

std::string Plain(const QAbstractButton* button)
{
    return button->text().remove(QLatin1Char('&')).toStdString();
}

// The box's push buttons as they lie on screen, left to right.
std::vector<QPushButton*> ButtonsLeftToRight(QMessageBox* box)
{
    std::vector<QPushButton*> buttons;
    for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->isVisible())
            buttons.push_back(button);
    std::sort(buttons.begin(), buttons.end(), [box](QPushButton* a, QPushButton* b) {
        return a->mapTo(box, QPoint()).x() < b->mapTo(box, QPoint()).x();
    });
    return buttons;
}

class AppMessageBoxTest : public testing::TestWithParam<BoxCase> {};

}  // namespace

TEST_P(AppMessageBoxTest, ButtonsInOrderDefaultIconCaptionAndAnswer)
{
    const BoxCase& c = GetParam();
    std::string order;
    std::string defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        QPushButton* toClick = nullptr;
        for (QPushButton* button : ButtonsLeftToRight(box)) {
            order += (order.empty() ? "" : " ") + Plain(button);
            if (button->isDefault())
                defaultButton = Plain(button);
            if (Plain(button) == c.click)
                toClick = button;
        }
        icon = box->icon();
        title = box->windowTitle();
        ASSERT_NE(toClick, nullptr);
        toClick->click();
    });
    EXPECT_EQ(ShowAppMessageBox("Some text", "", c.type), c.answer);
    EXPECT_EQ(order, c.buttons);
    EXPECT_EQ(defaultButton, c.defaultButton);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(title, "TarvixSetting");
}

INSTANTIATE_TEST_SUITE_P(Types, AppMessageBoxTest, testing::ValuesIn(kBoxes),
                         [](const auto& info) { return std::string(info.param.name); });

// Abort ends the program: neither Escape nor the close box may choose it.
TEST(AppMessageBoxEscape, AbortRetryIgnoreBoxStaysOnEscapeAndClose)
{
    bool stayed = false;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        stayed = box->isVisible();
        for (QPushButton* button : ButtonsLeftToRight(box))
            if (Plain(button) == "Retry")
                button->click();
    });
    EXPECT_EQ(ShowAppMessageBox("Some text", "", host::MB_ABORTRETRYIGNORE), host::IDRETRY);
    EXPECT_TRUE(stayed);
}

TEST(TarvixSettingAppTest, StartUpShowsTheFrameWithNothingConnected)
{
    KeepMessageBoxHandler keep;
    CTarvixSettingApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* frame = app.GetMainFrame();
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->windowTitle(), "TarvixSetting");
    EXPECT_FALSE(frame->windowIcon().isNull());
    EXPECT_EQ(GetMainWnd(), frame);
    EXPECT_FALSE(GetTarvixMaster()->IsOpen());
    EXPECT_FALSE(frame->GetView()->IsPollTimerActive());
    QString version;
    WhenModal<CAboutDlg>([&](CAboutDlg* dlg) {
        version = dlg->findChild<QLabel*>("productVersion")->text();
        dlg->accept();
    });
    frame->GetAboutAction()->trigger();
    EXPECT_EQ(version, "Ver. 3.4.1.21 (rev.174)");
}

// Abort in a failed exchange closes the program, but only after the command
// that was running has unwound: nothing is deleted under it.
TEST(TarvixSettingAppTest, AbortClosesTheFrameOnceTheCommandHasReturned)
{
    ProgramFolderWithData folder;
    SimulatedDriveOnCom sim(kCom);
    PlaySampleDrive(sim, kSampleBipolarVersion);
    folder.StoreConnection(kCom, 19200);
    KeepMessageBoxHandler keep;
    CTarvixSettingApp app;
    ASSERT_TRUE(app.InitInstance());
    ScriptedMessageBoxes boxes;
    CMainFrame* frame = app.GetMainFrame();
    PressConnectWhenAsked();
    frame->OnDriveConnect();
    ASSERT_TRUE(GetTarvixMaster()->IsOpen());

    sim->InjectFault(Fault(FaultKind::ErrorAnswer), 1, "SP");
    boxes.Answer(host::IDABORT);
    boxes.WhileShown([&] { QCoreApplication::processEvents(); });
    frame->OnSaveToEeprom();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(GetTarvixMaster()->IsOpen());
    // Not even the command's own failure message follows the Abort.
    EXPECT_EQ(boxes.Count(), 1u);

    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame->isVisible(); }, 5000));
    EXPECT_FALSE(GetTarvixMaster()->IsOpen());
    // Closing at 19200 set the drive back to 9600.
    EXPECT_EQ(sim->GetLineRate(), 9600);
}
