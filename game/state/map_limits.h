// What the game's per-place tables can hold of a province map: provinces index 250-entry tables
// (one kept free), regions the 50 region menus. Every map the game takes (a scenario's, a saved
// game's) is tested with MapFitsTables before anything of it is used.
#pragma once

#include "mbkormap/kor_map.h"

namespace rymd {

constexpr int kMaxMapChiiki = 50;

// True when the map has at most 249 provinces and 50 regions.
bool MapFitsTables(const MbKorMap::KorMapData& map);

}  // namespace rymd
