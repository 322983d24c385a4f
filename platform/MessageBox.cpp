#include "platform/MessageBox.h"

#include <cstdio>
#include <utility>

#include "platform/CloseRequest.h"

namespace host {

namespace {

MessageBoxHandler& InstalledHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

int& OpenBoxes()
{
    static int count = 0;
    return count;
}

int DefaultAnswer(unsigned type)
{
    switch (type & MB_BUTTONS_MASK) {
    case MB_ABORTRETRYIGNORE: return IDIGNORE;
    case MB_YESNO: return IDNO;
    default: return IDOK;
    }
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(InstalledHandler(), std::move(handler));
}

int MessageBox(const std::string& text, unsigned type, const std::string& caption)
{
    // After the user's Abort the program closes without another word.
    if (IsCloseRequested())
        return DefaultAnswer(type);
    // Copy first: a handler may install another one while it runs.
    MessageBoxHandler handler = InstalledHandler();
    if (handler) {
        struct Open {
            Open() { ++OpenBoxes(); }
            ~Open() { --OpenBoxes(); }
        } open;
        return handler(text, caption, type);
    }
    std::fprintf(stderr, "%s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ", text.c_str());
    return DefaultAnswer(type);
}

bool IsMessageBoxOpen()
{
    return OpenBoxes() > 0;
}

}  // namespace host
