#pragma once

#include <functional>

// The user's Abort in a failed exchange asks the application to close in order.
// The application installs what that means for it (closing its main window).
namespace host {

using CloseHandler = std::function<void()>;

CloseHandler SetCloseHandler(CloseHandler handler);

// Asks for an orderly shutdown; calls no one when no handler is installed.
// From then on, until ClearCloseRequest, the operation that was running ends
// at once: no drive exchange starts and no message box is shown.
void RequestApplicationClose();
bool IsCloseRequested();
// The application has begun to close (its own closing steps talk to the drive
// as any close does), or the request is otherwise done with.
void ClearCloseRequest();

}  // namespace host
