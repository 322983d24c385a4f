#pragma once

#include <functional>

// The user's Abort in a failed exchange asks the application to close in order.
// The application installs what that means for it (closing its main window).
namespace host {

using CloseHandler = std::function<void()>;

CloseHandler SetCloseHandler(CloseHandler handler);

// Asks for an orderly shutdown; does nothing when no handler is installed.
void RequestApplicationClose();

}  // namespace host
