#pragma once

#include <functional>
#include <string>

// Modal message boxes raised from code below the GUI. The application installs a
// handler that shows a real box; tests install one that records and answers.
namespace host {

// Button sets and icons (combinable, values as the Windows ones).
enum : unsigned {
    MB_OK = 0x0,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNO = 0x4,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
    MB_BUTTONS_MASK = 0xF,
    MB_ICON_MASK = 0xF0,
};

// Answers.
enum : int {
    IDOK = 1,
    IDCANCEL = 2,
    IDABORT = 3,
    IDRETRY = 4,
    IDIGNORE = 5,
    IDYES = 6,
    IDNO = 7,
};

// text and caption are UTF-8; an empty caption means the application name.
using MessageBoxHandler =
    std::function<int(const std::string& text, const std::string& caption, unsigned type)>;

// Installs the handler and returns the one it replaces (may be empty).
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Shows a box through the installed handler. Without a handler the text goes to
// stderr and the least harmful answer comes back (Ignore, No or OK), so nothing
// ever blocks on a box nobody can see. While the application closes on the
// user's Abort (host::IsCloseRequested) no box is shown and that answer comes
// back at once.
int MessageBox(const std::string& text, unsigned type = MB_OK, const std::string& caption = {});

// True while a box is up. Its modal loop lets timers and posted events run, so
// code that must not start a drive exchange or delete a window in the middle of
// another one asks this first.
bool IsMessageBoxOpen();

}  // namespace host
