// The land and sea textures of the bundled map: one texture set with the four seasons, drawn by
// the generator itself (tileable 60 x 60 pictures of seamless noise).
#pragma once

#include <cstdint>

#include "mb3dmap/elv_map.h"

namespace rymd::mapgen {

inline constexpr int kTextureSide = 60;

// The season set "T_JAPAN": per season a low-land, a high-land and a sea picture (24 bits,
// kTextureSide square, tileable) and the heights of the high land and of the snow line.
Mb3dMap::tagTEXTURE_SET MakeSeasonTextureSet();

// Tileable noise in [0, 1) on a kTextureSide square: `period` lattice cells across, smoothly
// interpolated. The same arguments always give the same value.
double TileNoise(int x, int y, int period, std::uint32_t seed);

// The colour of lakes and other water polygons, close to the sea texture's.
std::uint32_t WaterColour();

}  // namespace rymd::mapgen
