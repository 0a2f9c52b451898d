#include "game/turn/random_order.h"

#include <algorithm>
#include <utility>

#include "platform/core/random.h"

namespace rymd {

int MakeRandomOrder(Random& random, std::span<std::int32_t> order, int n) {
    n = std::min<int>(n, static_cast<int>(order.size()));
    if (n < 1) return 0;
    for (int i = 0; i < n; ++i)
        order[static_cast<std::size_t>(i)] = i;
    for (int i = 0; i < n; ++i) {
        const int j = i + random.Below(n - i);
        std::swap(order[static_cast<std::size_t>(i)], order[static_cast<std::size_t>(j)]);
    }
    return n;
}

}  // namespace rymd
