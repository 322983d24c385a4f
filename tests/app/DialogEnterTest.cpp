#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

#include "app/AboutDlg.h"
#include "app/MotorListDlg.h"
#include "app/OptionDlg.h"
#include "app/ParamConverterDlg.h"
#include "tests/app/AppTestSupport.h"
#include "ui/ProgressDlg.h"

namespace {

// Enter in a dialog: the push button that has the focus takes it; the
// default button only when no other push button has the focus.
struct EnterCase {
    const char* name;
    std::function<std::unique_ptr<QDialog>()> make;
    const char* button;         // a push button that is not the default; null: none
    bool asksForAFile;          // pressing it opens a file chooser
    const char* other;          // a widget that is no push button; null: the dialog
    const char* defaultButton;  // null: the window has none
};

void PrintTo(const EnterCase& c, std::ostream* os) { *os << c.name; }

template <typename T>
std::unique_ptr<QDialog> Make()
{
    return std::make_unique<T>();
}

std::unique_ptr<QDialog> MakeProgress()
{
    auto progress = std::make_unique<CProgressDlg>();
    progress->Create(nullptr);
    return progress;
}

const EnterCase kDialogs[] = {
    {"MotorList", &Make<CMotorListDlg>, "saveToFile", true, "motorList", "close"},
    {"Converter", &Make<CParamConverterDlg>, "add", true, "fileList", "close"},
    {"Option", &Make<COptionDlg>, "browse", true, "dataFile", "ok"},
    {"About", &Make<CAboutDlg>, nullptr, false, nullptr, "ok"},
    {"Progress", &MakeProgress, "cancel", false, nullptr, nullptr},
};

class DialogEnterTest : public testing::TestWithParam<EnterCase> {
protected:
    TempProgramFolder m_folder;
};

// Focus moves only within the active window.
void Activate(QWidget* window)
{
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

}  // namespace

TEST_P(DialogEnterTest, FocusedButtonTakesEnterOtherwiseTheDefault)
{
    const EnterCase& c = GetParam();
    std::unique_ptr<QDialog> dlg = c.make();
    Activate(dlg.get());
    QPushButton* defaultButton =
        c.defaultButton ? dlg->findChild<QPushButton*>(c.defaultButton) : nullptr;
    ASSERT_EQ(defaultButton != nullptr, c.defaultButton != nullptr);
    std::unique_ptr<QSignalSpy> defaultPressed;
    if (defaultButton)
        defaultPressed = std::make_unique<QSignalSpy>(defaultButton, &QAbstractButton::clicked);

    if (c.button) {
        auto* button = dlg->findChild<QPushButton*>(c.button);
        ASSERT_NE(button, nullptr);
        QSignalSpy pressed(button, &QAbstractButton::clicked);
        button->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), button);
        if (c.asksForAFile)
            AnswerFileDialog("");
        QTest::keyClick(button, Qt::Key_Return);
        EXPECT_EQ(pressed.count(), 1);
        if (defaultPressed) {
            EXPECT_EQ(defaultPressed->count(), 0);
        }
        EXPECT_TRUE(dlg->isVisible());
        Activate(dlg.get());
    }
    if (!defaultPressed)
        return;

    QWidget* other = c.other ? dlg->findChild<QWidget*>(c.other) : dlg.get();
    ASSERT_NE(other, nullptr);
    other->setFocus();
    QTest::keyClick(other, Qt::Key_Return);
    EXPECT_EQ(defaultPressed->count(), 1);
    EXPECT_FALSE(dlg->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogEnterTest, testing::ValuesIn(kDialogs),
                         [](const auto& info) { return std::string(info.param.name); });
