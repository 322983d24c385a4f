#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace host {

uint32_t TickMs()
{
    using namespace std::chrono;
    auto now = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<uint32_t>(now);
}

void SleepMs(unsigned milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace host
