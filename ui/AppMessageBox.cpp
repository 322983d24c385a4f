#include "ui/AppMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "pages/VcmMessages.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

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

struct ButtonAnswer {
    QMessageBox::StandardButton button;
    int answer;
};

// The buttons of a box in their order, the first one the default. Escape
// closes only a box that has a safe answer (OK, No).
void AddButtons(QMessageBox& box, unsigned type)
{
    switch (type & host::MB_BUTTONS_MASK) {
    case host::MB_ABORTRETRYIGNORE:
        box.setStandardButtons(QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore);
        box.setDefaultButton(QMessageBox::Abort);
        break;
    case host::MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    }
}

int AnswerOf(int clicked, unsigned type)
{
    static const ButtonAnswer answers[] = {
        {QMessageBox::Ok, host::IDOK},         {QMessageBox::Abort, host::IDABORT},
        {QMessageBox::Retry, host::IDRETRY},   {QMessageBox::Ignore, host::IDIGNORE},
        {QMessageBox::Yes, host::IDYES},       {QMessageBox::No, host::IDNO},
    };
    for (const ButtonAnswer& a : answers)
        if (a.button == clicked)
            return a.answer;
    // Closed some other way: the least harmful answer.
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
    AddButtons(box, type);
    return AnswerOf(box.exec(), type);
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
