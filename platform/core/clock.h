// The system's millisecond tick count.
#pragma once

#include <cstdint>

namespace rymd {

// Milliseconds of a monotonic clock, wrapping at 2^32 (about 49.7 days). Compare two ticks
// by unsigned subtraction: later - earlier stays correct across a wrap.
std::uint32_t TickCountMs();

}  // namespace rymd
