// When rendering a piece counts as stuck. A busy or slow machine only makes the render late (a
// build step must not fail for that), so there is no limit on the time it takes as a whole: the
// render is given up only when its output has not grown for ten minutes.
#pragma once

#include <cstdint>

namespace rymd::musicgen {

class StallWatch {
public:
    static constexpr double kStallSeconds = 10 * 60;

    // start: the time the render begins, in seconds on a clock that only goes forward.
    explicit StallWatch(double start) : lastChange_(start) {}

    // Called now and then with the bytes written so far; true once they have stood still for the
    // whole stall time.
    bool Stalled(std::uint64_t written, double now) {
        if (written != written_) {
            written_ = written;
            lastChange_ = now;
            return false;
        }
        return now - lastChange_ >= kStallSeconds;
    }

private:
    std::uint64_t written_ = 0;
    double lastChange_;
};

}  // namespace rymd::musicgen
