#pragma once

#include <cstdint>

namespace host {

// Milliseconds of a monotonic clock; wraps like a 32-bit tick counter, so
// differences must be taken in unsigned arithmetic.
uint32_t TickMs();

// A real wait of the given length.
void SleepMs(unsigned milliseconds);

}  // namespace host
