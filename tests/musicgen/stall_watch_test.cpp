// When the build's render of a piece gives up: only when its output stands still for ten minutes,
// never because the whole render takes long on a slow or busy machine.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tools/musicgen/stall_watch.h"

namespace rymd::musicgen {
namespace {

struct Check {
    double at;  // seconds after the start
    std::uint64_t written;
    bool stalled;
};

struct StallCase {
    const char* name;
    std::vector<Check> checks;
};

TEST(StallWatchTest, OnlyTenMinutesWithoutOutputIsAStall) {
    const double start = 5000;
    for (const StallCase& c : std::vector<StallCase>{
             {"a render of an hour that keeps writing",
              {{540, 1, false}, {1080, 2, false}, {1620, 3, false}, {2160, 4, false}, {3600, 5, false}}},
             {"two minutes without output, then on",
              {{10, 100, false}, {130, 100, false}, {131, 200, false}}},
             {"nothing written for nine minutes", {{540, 0, false}}},
             {"nothing written for ten minutes", {{540, 0, false}, {600, 0, true}}},
             {"stuck after writing", {{60, 4096, false}, {659, 4096, false}, {660, 4096, true}}},
             {"the time counts from the last growth", {{590, 1, false}, {1100, 1, false}, {1190, 1, true}}},
         }) {
        StallWatch watch(start);
        for (const Check& check : c.checks)
            EXPECT_EQ(watch.Stalled(check.written, start + check.at), check.stalled)
                << c.name << " at " << check.at;
    }
    EXPECT_GE(StallWatch::kStallSeconds, 600);
}

}  // namespace
}  // namespace rymd::musicgen
