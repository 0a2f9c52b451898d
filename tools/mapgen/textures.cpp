#include "tools/mapgen/textures.h"

#include <algorithm>
#include <cmath>

namespace rymd::mapgen {

namespace {

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u ^ (c + 0x165667B1u) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Layered noise: broad patches with finer grain on top, in [0, 1).
double Patches(int x, int y, std::uint32_t seed) {
    return 0.5 * TileNoise(x, y, 4, seed) + 0.3 * TileNoise(x, y, 10, seed + 1) +
           0.2 * TileNoise(x, y, 20, seed + 2);
}

struct Recipe {
    Rgb a;            // the ground colour
    Rgb b;            // the colour of the patches
    Rgb dot;          // scattered dots (blossom, maples, snow)
    double dotShare;  // share of the area in dots, 0 none
    double contrast;  // how far the patches reach toward b
    std::uint32_t seed;
};

void Paint(MbBmp::CControlBmp& bmp, const Recipe& r) {
    bmp.CreateBitmap(kTextureSide, kTextureSide, 24);
    for (int y = 0; y < kTextureSide; ++y) {
        for (int x = 0; x < kTextureSide; ++x) {
            const double p = Patches(x, y, r.seed);
            Rgb c = Mix(r.a, r.b, 0.5 + (p - 0.5) * 2.0 * r.contrast);
            // A little grain so that the tiles do not look flat.
            const double grain = (TileNoise(x, y, 30, r.seed + 7) - 0.5) * 14.0;
            c = {c.r + grain, c.g + grain, c.b + grain};
            if (r.dotShare > 0.0 && TileNoise(x, y, 30, r.seed + 11) > 1.0 - r.dotShare) {
                c = Mix(c, r.dot, 0.75);
            }
            auto ch = [](double v) { return static_cast<int>(std::clamp(std::lround(v), 0L, 255L)); };
            bmp.SetPixelColor(x, y, MbBmp::RGB(ch(c.r), ch(c.g), ch(c.b)));
        }
    }
}

}  // namespace

double TileNoise(int x, int y, int period, std::uint32_t seed) {
    if (period <= 0) return 0.0;
    const double fx =
        static_cast<double>(((x % kTextureSide) + kTextureSide) % kTextureSide) * period / kTextureSide;
    const double fy =
        static_cast<double>(((y % kTextureSide) + kTextureSide) % kTextureSide) * period / kTextureSide;
    const int ix = static_cast<int>(std::floor(fx));
    const int iy = static_cast<int>(std::floor(fy));
    const double tx = Smooth(fx - ix);
    const double ty = Smooth(fy - iy);
    auto lattice = [&](int i, int j) {
        const auto u = static_cast<std::uint32_t>(((i % period) + period) % period);
        const auto v = static_cast<std::uint32_t>(((j % period) + period) % period);
        return (Hash(u, v, seed) >> 8) / 16777216.0;
    };
    const double a = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * tx;
    const double b = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * tx;
    return a + (b - a) * ty;
}

std::uint32_t WaterColour() {
    return MbBmp::RGB(44, 104, 150);
}

Mb3dMap::tagTEXTURE_SET MakeSeasonTextureSet() {
    Mb3dMap::tagTEXTURE_SET set;
    set.flags = Mb3dMap::tagTEXTURE_SET::kFourSeasons;
    set.name = "T_JAPAN";
    struct Season {
        Recipe low, high, sea;
        int fullHigh, snowTop, snowBottom;
    };
    const Season seasons[4] = {
        // Spring: young green with cherry blossom; mountains still brown-grey.
        {{{112, 160, 72}, {150, 182, 90}, {240, 190, 210}, 0.05, 0.8, 101},
         {{118, 122, 92}, {146, 140, 112}, {235, 235, 240}, 0.04, 0.8, 102},
         {{40, 98, 148}, {52, 114, 160}, {0, 0, 0}, 0.0, 0.6, 103},
         1600,
         1500,
         2600},
        // Summer: deep green, dark forest on the heights.
        {{{72, 138, 56}, {98, 160, 64}, {0, 0, 0}, 0.0, 0.8, 111},
         {{56, 100, 50}, {84, 112, 70}, {0, 0, 0}, 0.0, 0.8, 112},
         {{32, 98, 152}, {46, 118, 166}, {0, 0, 0}, 0.0, 0.6, 113},
         1600,
         9000,
         9000},
        // Autumn: ripe rice fields and maples.
        {{{176, 158, 74}, {136, 142, 66}, {200, 80, 40}, 0.06, 0.8, 121},
         {{170, 96, 48}, {132, 100, 56}, {210, 160, 60}, 0.06, 0.8, 122},
         {{36, 88, 136}, {48, 104, 148}, {0, 0, 0}, 0.0, 0.6, 123},
         1600,
         2200,
         3200},
        // Winter: bare fields under light snow, white mountains, a grey sea.
        {{{190, 188, 176}, {150, 140, 116}, {246, 246, 250}, 0.10, 0.8, 131},
         {{236, 238, 244}, {200, 204, 214}, {0, 0, 0}, 0.0, 0.8, 132},
         {{50, 80, 112}, {64, 94, 124}, {0, 0, 0}, 0.0, 0.6, 133},
         1600,
         300,
         1400},
    };
    for (int s = 0; s < 4; ++s) {
        Paint(set.first[s], seasons[s].low);
        Paint(set.second[s], seasons[s].high);
        Paint(set.third[s], seasons[s].sea);
        set.firstValue[s] = seasons[s].fullHigh;
        set.secondValue[s] = seasons[s].snowTop;
        set.thirdValue[s] = seasons[s].snowBottom;
    }
    return set;
}

}  // namespace rymd::mapgen
