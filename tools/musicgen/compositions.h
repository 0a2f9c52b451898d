// The game's two pieces of its own, composed here note by note:
//   "夕暮れ" (Yuugure, dusk), the standard song: a calm piece in the yo scale on D, 72 beats a
//   minute, shakuhachi over koto, strings and a soft taiko; 24 bars, about 80 seconds.
//   "合戦" (Kassen, battle), the battle piece: the miyako-bushi scale on A, 132 beats a minute,
//   taiko and drums, a shamisen ostinato, brass and strings; 40 bars, about 73 seconds.
// Both end where they begin, so they loop without a seam.
#pragma once

#include <cstdint>
#include <vector>

namespace rymd::musicgen {

std::vector<std::uint8_t> YuugureMidi();
std::vector<std::uint8_t> KassenMidi();

}  // namespace rymd::musicgen
