#include "platform/CloseRequest.h"

#include <utility>

namespace host {

namespace {
CloseHandler& InstalledHandler()
{
    static CloseHandler handler;
    return handler;
}
}  // namespace

CloseHandler SetCloseHandler(CloseHandler handler)
{
    return std::exchange(InstalledHandler(), std::move(handler));
}

void RequestApplicationClose()
{
    CloseHandler handler = InstalledHandler();
    if (handler)
        handler();
}

}  // namespace host
