#include "platform/core/clock.h"

#include <gtest/gtest.h>

namespace rymd {
namespace {

TEST(Clock, TickCountNeverRunsBackwards) {
    std::uint32_t last = TickCountMs();
    for (int i = 0; i < 1000; ++i) {
        const std::uint32_t now = TickCountMs();
        // Differences are taken modulo 2^32, as a stopwatch does; a step back would show
        // up as a huge difference.
        EXPECT_LT(static_cast<std::uint32_t>(now - last), 0x80000000u);
        last = now;
    }
}

}  // namespace
}  // namespace rymd
