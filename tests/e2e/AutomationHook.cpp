#include "tests/e2e/AutomationHook.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>

#include <cstdio>

#include "ui/VcmMessages.h"

namespace {

constexpr int kPollMs = 20;
constexpr int kTries = 500;

template <typename T>
T* FindVisible(const QString& name)
{
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->objectName() == name && widget->isVisible())
            if (auto* typed = qobject_cast<T*>(widget))
                return typed;
    return nullptr;
}

QLineEdit* FirstWritableEdit()
{
    QWidget* page = FindVisible<QWidget>(QStringLiteral("formParam"));
    if (!page)
        return nullptr;
    for (QLineEdit* edit : page->findChildren<QLineEdit*>()) {
        bool number = false;
        edit->text().toInt(&number);
        if (edit->isVisible() && edit->isEnabled() && !edit->isReadOnly() && number)
            return edit;
    }
    return nullptr;
}

void PressEnter(QWidget* widget)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(widget, &release);
}

// The share of the window's pixels that the screen shows as the window draws
// them, in percent; the screen's picture goes into file.
int ShownAsDrawn(QWidget* window, const QString& file)
{
    const QImage drawn = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint at = window->mapToGlobal(QPoint(0, 0));
    const QImage shown = window->screen()
                             ->grabWindow(0, at.x(), at.y(), window->width(), window->height())
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    shown.save(file);
    if (shown.size() != drawn.size() || drawn.isNull())
        return 0;
    qint64 same = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            same += drawn.pixel(x, y) == shown.pixel(x, y);
    return static_cast<int>(same * 100 / (qint64(drawn.width()) * drawn.height()));
}

}  // namespace

CAutomationHook::CAutomationHook()
    : m_pNotifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this))
{
    connect(m_pNotifier, &QSocketNotifier::activated, this, &CAutomationHook::OnInput);
}

CAutomationHook::~CAutomationHook() = default;

void CAutomationHook::Reply(const QString& text)
{
    std::fprintf(stdout, "%s\n", text.toUtf8().constData());
    std::fflush(stdout);
}

void CAutomationHook::OnInput()
{
    char buffer[512];
    ssize_t n = ::read(STDIN_FILENO, buffer, sizeof(buffer));
    if (n <= 0) {
        m_pNotifier->setEnabled(false);
        return;
    }
    m_input.append(buffer, static_cast<int>(n));
    for (int end; (end = m_input.indexOf('\n')) >= 0;) {
        QString line = QString::fromUtf8(m_input.left(end)).trimmed();
        m_input.remove(0, end + 1);
        Run(line);
    }
}

void CAutomationHook::WaitFor(const QString& name, int triesLeft)
{
    if (FindVisible<QWidget>(name)) {
        Reply(QStringLiteral("ok"));
        return;
    }
    if (triesLeft <= 0) {
        Reply(QStringLiteral("timeout"));
        return;
    }
    QTimer::singleShot(kPollMs, this, [this, name, triesLeft] { WaitFor(name, triesLeft - 1); });
}

void CAutomationHook::CheckOnScreen(const QString& name, const QString& file, int triesLeft)
{
    QWidget* window = FindVisible<QWidget>(name);
    if (!window)
        return Reply("error no window " + name);
    const int percent = ShownAsDrawn(window, file);
    if (percent >= 99)
        return Reply(QStringLiteral("ok"));
    if (triesLeft <= 0)
        return Reply(QStringLiteral("error the screen shows %1 % of the window").arg(percent));
    QTimer::singleShot(kPollMs, this, [this, name, file, triesLeft] {
        CheckOnScreen(name, file, triesLeft - 1);
    });
}

void CAutomationHook::Run(const QString& line)
{
    const QString command = line.section(' ', 0, 0);
    const QString name = line.section(' ', 1, 1);
    const QString rest = line.section(' ', 2);
    QWidget* main = GetMainWnd();

    if (command == "wait") {
        WaitFor(name, kTries);
    } else if (command == "trigger") {
        QAction* action = main ? main->findChild<QAction*>(name) : nullptr;
        if (!action)
            return Reply("error no action " + name);
        Reply(QStringLiteral("ok"));
        // The command may run a modal loop: answer first.
        QTimer::singleShot(0, action, &QAction::trigger);
    } else if (command == "click") {
        QAbstractButton* button = FindVisible<QAbstractButton>(name);
        if (!button)
            return Reply("error no button " + name);
        Reply(QStringLiteral("ok"));
        QTimer::singleShot(0, button, &QAbstractButton::click);
    } else if (command == "editable") {
        QLineEdit* edit = FirstWritableEdit();
        Reply(edit ? edit->objectName() : QStringLiteral("error no writable edit"));
    } else if (command == "type") {
        QPointer<QLineEdit> edit = FindVisible<QLineEdit>(name);
        if (!edit)
            return Reply("error no edit " + name);
        Reply(QStringLiteral("ok"));
        QTimer::singleShot(0, edit, [edit, rest] {
            edit->setFocus();
            edit->selectAll();
            edit->insert(rest);
            PressEnter(edit);
        });
    } else if (command == "text") {
        if (auto* edit = FindVisible<QLineEdit>(name))
            return Reply(edit->text());
        if (auto* label = FindVisible<QLabel>(name))
            return Reply(label->text());
        Reply("error no text " + name);
    } else if (command == "grab") {
        Reply(main && main->grab().save(name) ? QStringLiteral("ok") : "error cannot save " + name);
    } else if (command == "onscreen") {
        CheckOnScreen(name, rest, kTries);
    } else if (command == "accept") {
        QDialog* dialog = FindVisible<QDialog>(name);
        if (!dialog)
            return Reply("error no dialog " + name);
        Reply(QStringLiteral("ok"));
        QTimer::singleShot(0, dialog, &QDialog::accept);
    } else if (command == "close") {
        Reply(QStringLiteral("ok"));
        if (main)
            QTimer::singleShot(0, main, &QWidget::close);
    } else {
        Reply("error unknown command " + command);
    }
}
