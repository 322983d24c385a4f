#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "tests/support/ModalWindows.h"
#include "ui/AppMessageBox.h"

namespace {

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
