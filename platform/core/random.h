// The game's one random source: the C library's srand/rand contract with RAND_MAX 32767.
// state = state * 214013 + 2531011 (mod 2^32); result = (state >> 16) & 0x7FFF.
// Every draw of the rules goes through it, in the order the rules make them.
#pragma once

#include <cstdint>

namespace rymd {

class Random {
public:
    static constexpr int kRandMax = 32767;

    explicit Random(std::uint32_t seed = 1) : state_(seed) {}
    void Seed(std::uint32_t seed) { state_ = seed; }
    std::uint32_t State() const { return state_; }

    // One draw, 0..32767.
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }
    // The three scalings the rules use.
    double Unit() { return Next() / 32767.0; }          // [0, 1], 1 reachable
    double UnitOpen() { return Next() / 32768.0; }      // [0, 1)
    double Signed() { return Next() / 16383.5 - 1.0; }  // [-1, 1]
    // trunc(rand() / 32768.0 * n): an index below n (n > 0).
    int Below(int n) { return static_cast<int>(UnitOpen() * n); }

private:
    std::uint32_t state_;
};

}  // namespace rymd
