#include "game/state/access.h"

#include <cstdio>
#include <cstdlib>

namespace rymd {

void IndexOutOfTable(const char* table, int index, int count) {
    std::fprintf(stderr, "record access: index %d outside the %s table (%d records)\n", index, table, count);
    std::abort();
}

}  // namespace rymd
