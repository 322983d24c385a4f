#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

// Test builds only: lets the whole-program test drive the real window. One
// command a line on stdin, one answer a line on stdout:
//   wait <name>          "ok" once a visible widget of that object name exists
//   trigger <action>     "ok", then triggers the main window's action
//   click <button>       "ok", then clicks the visible button
//   editable             the object name of the page's first writable edit field
//   type <edit> <text>   "ok", then types text into the edit field and presses Enter
//   text <name>          the text of a visible edit field or label
//   grab <file>          "ok" once the main window is saved as a PNG
//   onscreen <name> <file>  saves what the screen shows where that visible
//                        window lies as a PNG; "ok" once it is the window as
//                        drawn, else "error ..." after 10 s
//   accept <name>        "ok", then accepts the visible dialog
//   close                "ok", then closes the main window
// Anything that cannot be done answers "error ..." or, after 10 s, "timeout".
class CAutomationHook : public QObject {
    Q_OBJECT

public:
    CAutomationHook();
    ~CAutomationHook() override;

private:
    void OnInput();
    void Run(const QString& line);
    void WaitFor(const QString& name, int triesLeft);
    void CheckOnScreen(const QString& name, const QString& file, int triesLeft);
    static void Reply(const QString& text);

    QSocketNotifier* m_pNotifier;
    QByteArray m_input;
};
