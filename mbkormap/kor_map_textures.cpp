// The province map library's own land textures, 60 x 60 pixels, 24 bits, drawn by code. Maps of
// the "RYUUMONDEN MAP " format carry no textures and get six sets made of these. Every picture
// repeats seamlessly with a period of 60 pixels, because the map tiles them.
#include <algorithm>
#include <cmath>

#include "mbkormap/kor_map.h"

namespace MbKorMap {

namespace {

constexpr int kSize = 60;
constexpr double kTwoPi = 6.283185307179586;
constexpr std::int32_t kInitialValue = 1500;

// Repeatable grain in -1..1 from the pixel position.
double Grain(int x, int y, unsigned salt) {
    unsigned h =
        static_cast<unsigned>(x) * 2654435761u ^ static_cast<unsigned>(y) * 40503u ^ salt * 2246822519u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return static_cast<double>(h & 0xFFFF) / 32767.5 - 1.0;
}

struct Look {
    int r, g, b;       // base colour
    double wave;       // strength of the smooth pattern
    double grain;      // strength of the grain
    int fx[3], fy[3];  // whole periods per tile of three waves
    unsigned salt;
};

void Paint(MbBmp::CControlBmp& out, const Look& look) {
    out.CreateBitmap(kSize, kSize, 24);
    for (int y = 0; y < kSize; ++y) {
        std::uint8_t* row = out.GetLinePtr(y);
        for (int x = 0; x < kSize; ++x) {
            double v = 0.0;
            for (int i = 0; i < 3; ++i)
                v += std::sin(kTwoPi * (look.fx[i] * x + look.fy[i] * y) / kSize + i * 1.3);
            const double n = v / 3.0 * look.wave + Grain(x, y, look.salt) * look.grain;
            auto ch = [&](int base) { return static_cast<std::uint8_t>(std::clamp(base + n, 0.0, 255.0)); };
            row[x * 3] = ch(look.b);
            row[x * 3 + 1] = ch(look.g);
            row[x * 3 + 2] = ch(look.r);
        }
    }
}

}  // namespace

bool LoadKorMapTextureBitmap(int id, MbBmp::CControlBmp& out) {
    static const Look kLooks[8] = {
        {112, 146, 78, 14.0, 6.0, {1, 3, -2}, {2, -1, 5}, 11},  // 3000 plains
        {38, 80, 146, 10.0, 4.0, {1, 2, 0}, {3, 5, 2}, 12},     // 3001 sea
        {62, 104, 58, 18.0, 12.0, {2, -3, 4}, {1, 4, 3}, 13},   // 3002 forest
        {142, 124, 92, 20.0, 9.0, {3, 1, -4}, {-1, 2, 5}, 14},  // 3003 highland
        {},                                                     // 3004 not used
        {196, 178, 128, 10.0, 8.0, {1, 4, 2}, {2, 1, -3}, 15},  // 3005 sand
        {228, 232, 238, 6.0, 5.0, {2, 1, 3}, {1, -2, 4}, 16},   // 3006 snow
        {96, 118, 88, 16.0, 10.0, {4, -1, 2}, {1, 3, -2}, 17},  // 3007 marsh
    };
    if (id < 3000 || id > 3007 || id == 3004) return false;
    // Painted once; every caller gets its own copy.
    static MbBmp::CControlBmp cache[8];
    static const bool painted = [] {
        for (int i = 0; i < 8; ++i)
            if (i != 4) Paint(cache[i], kLooks[i]);
        return true;
    }();
    (void)painted;
    return out.Duplicate(&cache[id - 3000]);
}

std::vector<Mb3dMap::tagTEXTURE_SET> MakeInitialTextureSets() {
    static const int kLand[6] = {3000, 3002, 3003, 3005, 3006, 3007};
    std::vector<Mb3dMap::tagTEXTURE_SET> sets(6);
    for (int i = 0; i < 6; ++i) {
        Mb3dMap::tagTEXTURE_SET& set = sets[static_cast<std::size_t>(i)];
        LoadKorMapTextureBitmap(kLand[i], set.first[0]);
        LoadKorMapTextureBitmap(kLand[i], set.second[0]);
        LoadKorMapTextureBitmap(3001, set.third[0]);
        set.firstValue[0] = set.secondValue[0] = set.thirdValue[0] = kInitialValue;
        set.flags = 0;
        set.name = "T_INITIAL";
    }
    return sets;
}

}  // namespace MbKorMap
