// The per-pixel land painting of the relief map (internal to the library).
//
// For each pixel with elevation e (from the stretched copy) and its lower-right neighbour n:
//   sea (e = 0, not fill-all): the sea texture pixel, unchanged;
//   land: w = clamp((2e q) >> 16, 0, 255), c = (low (255 - w) + high w) >> 8 per channel;
//         when e >= t(row): v = clamp((e - t) >> 1, 0, 255), c = (c (255 - v) + 160 v) >> 8;
//         s = clamp(((n - e) k) >> 11, -128, 127), c = min(c (s + 128) >> 7, 255);
//         then the brightness type.
// Textures tile from (X, Y), fixed to the map.
#pragma once

#include <algorithm>
#include <cstdint>

namespace Mb3dMap {

// Brightness types, per channel p: 0 p, 1 p - p/2, 2 p - p/4, 3 p + p/2, 4 p - p/4 + p/2 (3 and 4
// limited to 255); other types act as 0.
inline int ApplyBrightness(int type, int p) {
    switch (type) {
        case 1: return p - p / 2;
        case 2: return p - p / 4;
        case 3: return std::min(p + p / 2, 255);
        case 4: return std::min(p - p / 4 + p / 2, 255);
        default: return p;
    }
}

// Nine channel planes per texture row (see TextureEntry::planes).
struct TexturePlanes {
    const std::uint8_t* base = nullptr;
    int width = 1;
    int height = 1;
    int stride = 1;  // bytes per plane
    enum { kLowB, kLowG, kLowR, kHighB, kHighG, kHighR, kSeaB, kSeaG, kSeaR, kCount };
    const std::uint8_t* Plane(int row, int plane) const {
        return base + (static_cast<std::size_t>(row) * kCount + plane) * static_cast<std::size_t>(stride);
    }
};

// Widest vector group this processor can paint: 16, 8 or 0 (no vector instructions).
int BestVectorWidth();

struct ReliefPaint {
    const std::int16_t* stretched = nullptr;
    int stretchedWidth = 0;
    int d = 1;             // neighbour distance
    int k = 0;             // slope factor; 0 without relief shading
    int q = 0;             // blend weight scale
    std::int64_t acc = 0;  // snow line: t(row) = (acc + inc row) >> 12
    std::int64_t inc = 0;
    TexturePlanes tex;
    int originX = 0;  // tiling origin, already reduced modulo the texture size
    int originY = 0;
    bool fillAll = false;
    int brightType = 0;   // 0..4
    int pixelBytes = 3;   // 3 or 4
    int vectorWidth = 0;  // pixels a vector group: 0 (plain code), 8 or 16

    // Paints columns x1..x2 of display row `row` into out (the first byte of column x1).
    void Row(int row, int x1, int x2, std::uint8_t* out) const;

private:
    void Pixels(int row, int x1, int x2, int tx, std::int64_t t, std::uint8_t* out) const;
    int VectorPixels(int row, int x1, int x2, int tx, std::int64_t t, std::uint8_t* out) const;
};

}  // namespace Mb3dMap
