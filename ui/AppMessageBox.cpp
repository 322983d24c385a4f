#include "ui/AppMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "ui/VcmMessages.h"

namespace {

constexpr const char* kApplicationName = "TarvixSetting";

QMessageBox::Icon IconOf(unsigned type)
{
    switch (type & host::MB_ICON_MASK) {
    case host::MB_ICONHAND: return QMessageBox::Critical;
    case host::MB_ICONQUESTION: return QMessageBox::Question;
    case host::MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case host::MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

struct BoxButton {
    QPushButton* button;
    int answer;
};

// The buttons of a box and their answers, the first one the default. Escape
// closes only a box that has a safe answer (OK, No).
std::vector<BoxButton> AddButtons(QMessageBox& box, unsigned type)
{
    switch (type & host::MB_BUTTONS_MASK) {
    case host::MB_ABORTRETRYIGNORE: {
        // Left to right as added: the style would order the standard
        // buttons by their roles (Retry, Ignore, Abort), but keeps buttons
        // of one role in the order they came. None is the escape button.
        static const std::pair<const char*, int> kButtons[] = {
            {"Abort", host::IDABORT}, {"Retry", host::IDRETRY}, {"Ignore", host::IDIGNORE}};
        std::vector<BoxButton> buttons;
        for (const auto& [text, answer] : kButtons)
            buttons.push_back(
                {box.addButton(QString::fromLatin1(text), QMessageBox::ActionRole), answer});
        box.setDefaultButton(buttons.front().button);
        return buttons;
    }
    case host::MB_YESNO: {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        return {{yes, host::IDYES}, {no, host::IDNO}};
    }
    default: {
        QPushButton* ok = box.addButton(QMessageBox::Ok);
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
        return {{ok, host::IDOK}};
    }
    }
}

// Closed some other way: the least harmful answer.
int LeastHarmfulAnswer(unsigned type)
{
    switch (type & host::MB_BUTTONS_MASK) {
    case host::MB_ABORTRETRYIGNORE: return host::IDIGNORE;
    case host::MB_YESNO: return host::IDNO;
    default: return host::IDOK;
    }
}

QWidget* BoxOwner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget* active = QApplication::activeWindow())
        return active;
    return GetMainWnd();
}

}  // namespace

int ShowAppMessageBox(const std::string& text, const std::string& caption, unsigned type)
{
    QMessageBox box(BoxOwner());
    box.setObjectName("messageBox");
    box.setWindowTitle(QString::fromUtf8(caption.empty() ? kApplicationName : caption.c_str()));
    box.setText(QString::fromUtf8(text.c_str()));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(IconOf(type));
    const std::vector<BoxButton> buttons = AddButtons(box, type);
    box.exec();
    for (const BoxButton& b : buttons)
        if (b.button == box.clickedButton())
            return b.answer;
    return LeastHarmfulAnswer(type);
}

void InstallAppMessageBox()
{
    host::SetMessageBoxHandler(&ShowAppMessageBox);
}

void ShowSaveSucceeded()
{
    host::SleepMs(300);
    host::MessageBox("Saving parameter was completed successfully.");
}
