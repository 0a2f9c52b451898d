// The random order of the houses in a phase.
#pragma once

#include <cstdint>
#include <span>

namespace rymd {

class Random;

// Fills order[0..n-1] with 0..n-1 and shuffles it (Fisher-Yates from the bottom: for i = 0 up to
// n-1, j = i + trunc(rand() / 32768.0 x (n - i)), then order[i] and order[j] are exchanged; one
// draw for every position). n is limited to the span; the result is the number of entries filled
// (0 for n below 1).
int MakeRandomOrder(Random& random, std::span<std::int32_t> order, int n);

}  // namespace rymd
