#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

#include <cstdint>

// The program's window messages. WM_APP stands at QEvent::User; each message
// keeps the number and the two parameters it has on the original platform.
enum : int { WM_APP = QEvent::User };

enum VcmMessage : int {
    WM_VCM_VALUE_CHANGED = WM_APP + 1,  // control -> page: wParam parameter number, lParam raw value
    WM_SHOW_MOTOR_LIST = WM_APP + 2,    // button -> main window: open the motor list
    WM_SHOW_GRAPH = WM_APP + 3,         // button -> main window: open the graph
    WM_POLL_START = WM_APP + 4,         // -> main window / view: resume the poll timer
    WM_POLL_STOP = WM_APP + 5,          // -> main window / view: stop the poll timer
    WM_VCM_REFRESH = WM_APP + 6,        // main window -> view -> page: wParam VcmReadSource
    WM_VCM_TOGGLE = WM_APP + 0x32,      // bit cell -> switch: wParam bit number, lParam new state
};

// VcmReadSource: argument of ReadValue and wParam of WM_VCM_REFRESH.
enum : int {
    kReadThroughCache = 0,  // the page was just built
    kReadPoll = 1,          // poll tick: the cache unless the descriptor is live
    kReadFromDrive = 2,     // re-read everything
};

// One window message: a QEvent of the message's type with its two parameters.
// A handler that answers stores its result in `result`.
class CVcmMessage : public QEvent {
public:
    CVcmMessage(int message, intptr_t w = 0, intptr_t l = 0)
        : QEvent(static_cast<QEvent::Type>(message)), wParam(w), lParam(l)
    {
    }

    const intptr_t wParam;
    const intptr_t lParam;
    intptr_t result = 0;
};

// SendMessage: handled before this returns; gives the handler's result (0 for
// no receiver).
inline intptr_t SendVcmMessage(QObject* to, int message, intptr_t w = 0, intptr_t l = 0)
{
    if (!to)
        return 0;
    CVcmMessage m(message, w, l);
    QCoreApplication::sendEvent(to, &m);
    return m.result;
}

// PostMessage: queued, handled later by the event loop (dropped with its receiver).
inline void PostVcmMessage(QObject* to, int message, intptr_t w = 0, intptr_t l = 0)
{
    if (to)
        QCoreApplication::postEvent(to, new CVcmMessage(message, w, l));
}

// The main window that controls and dialogs address; the frame registers
// itself, tests register an observer of their own. Null when none is set.
inline QPointer<QWidget>& MainWindowSlot()
{
    static QPointer<QWidget> window;
    return window;
}
inline QWidget* GetMainWnd() { return MainWindowSlot().data(); }
inline void SetMainWnd(QWidget* window) { MainWindowSlot() = window; }
