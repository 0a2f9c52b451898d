// The relief library's own textures: low land, high land and sea, 60 x 60 pixels, drawn by code.
// Every picture repeats seamlessly with a period of 60 pixels in both directions, because the
// map tiles them.
#include <algorithm>
#include <cmath>

#include "mb3dmap/elv_map.h"

namespace Mb3dMap {

namespace {

constexpr int kSize = 60;
constexpr double kTwoPi = 6.283185307179586;

// Small repeatable grain in -1..1 from the pixel position.
double Grain(int x, int y, unsigned salt) {
    unsigned h =
        static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u ^ salt * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<double>(h & 0xFFFF) / 32767.5 - 1.0;
}

// A smooth pattern in about -1..1 that repeats every kSize pixels: waves of whole periods.
double Waves(int x, int y, const int (*waves)[3], int count) {
    double v = 0.0;
    for (int i = 0; i < count; ++i) {
        const double a = kTwoPi * (waves[i][0] * x + waves[i][1] * y) / kSize + waves[i][2] * 0.7;
        v += std::sin(a);
    }
    return v / count;
}

struct Look {
    int r, g, b;      // base colour
    double wave;      // strength of the smooth pattern
    double grain;     // strength of the grain
    int waves[4][3];  // x and y frequency (periods per tile) and phase step
};

void Paint(MbBmp::CControlBmp& out, const Look& look, unsigned salt) {
    out.CreateBitmap(kSize, kSize, 24);
    for (int y = 0; y < kSize; ++y) {
        std::uint8_t* row = out.GetLinePtr(y);
        for (int x = 0; x < kSize; ++x) {
            const double n = Waves(x, y, look.waves, 4) * look.wave + Grain(x, y, salt) * look.grain;
            auto ch = [&](int base) { return static_cast<std::uint8_t>(std::clamp(base + n, 0.0, 255.0)); };
            row[x * 3] = ch(look.b);
            row[x * 3 + 1] = ch(look.g);
            row[x * 3 + 2] = ch(look.r);
        }
    }
}

}  // namespace

bool LoadDefaultTextureBitmap(int id, MbBmp::CControlBmp& out) {
    switch (id) {
        case 2000: {  // low land: fields and meadows
            const Look look{104, 138, 72, 18.0, 7.0, {{1, 2, 0}, {3, -1, 1}, {2, 5, 2}, {-4, 3, 3}}};
            Paint(out, look, 1);
            return true;
        }
        case 2001: {  // high land: bare rock and scrub
            const Look look{138, 118, 88, 22.0, 10.0, {{2, 1, 0}, {-1, 3, 1}, {5, 2, 2}, {3, -4, 3}}};
            Paint(out, look, 2);
            return true;
        }
        case 2002: {  // sea: long low swell
            const Look look{42, 86, 150, 12.0, 4.0, {{1, 3, 0}, {2, 6, 1}, {-1, 4, 2}, {0, 2, 3}}};
            Paint(out, look, 3);
            return true;
        }
        default: return false;
    }
}

}  // namespace Mb3dMap
