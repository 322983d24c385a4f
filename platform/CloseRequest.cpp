#include "platform/CloseRequest.h"

#include <utility>

namespace host {

namespace {
CloseHandler& InstalledHandler()
{
    static CloseHandler handler;
    return handler;
}

bool& CloseRequested()
{
    static bool requested = false;
    return requested;
}
}  // namespace

CloseHandler SetCloseHandler(CloseHandler handler)
{
    return std::exchange(InstalledHandler(), std::move(handler));
}

void RequestApplicationClose()
{
    CloseRequested() = true;
    CloseHandler handler = InstalledHandler();
    if (handler)
        handler();
}

bool IsCloseRequested()
{
    return CloseRequested();
}

void ClearCloseRequest()
{
    CloseRequested() = false;
}

}  // namespace host
