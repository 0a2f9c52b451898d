#include "mbwnd/draw_small_number.h"

#include <array>
#include <string>
#include <vector>

#include "platform/qt/dc.h"

namespace MbMisc {

using namespace rymd::ui;

namespace {

constexpr int kGlyphHeight = 6;

struct Glyph {
    int width;
    std::array<const char*, kGlyphHeight> rows;
};

const Glyph* GlyphOf(char c) {
    static const Glyph digits[10] = {
        {4, {".##.", "#..#", "#..#", "#..#", "#..#", ".##."}},
        {3, {".#.", "##.", ".#.", ".#.", ".#.", "###"}},
        {4, {".##.", "#..#", "...#", "..#.", ".#..", "####"}},
        {4, {"###.", "...#", ".##.", "...#", "...#", "###."}},
        {4, {"..#.", ".##.", "#.#.", "####", "..#.", "..#."}},
        {4, {"####", "#...", "###.", "...#", "...#", "###."}},
        {4, {".##.", "#...", "###.", "#..#", "#..#", ".##."}},
        {4, {"####", "...#", "..#.", "..#.", ".#..", ".#.."}},
        {4, {".##.", "#..#", ".##.", "#..#", "#..#", ".##."}},
        {4, {".##.", "#..#", "#..#", ".###", "...#", ".##."}},
    };
    static const Glyph minus = {4, {"....", "....", "####", "....", "....", "...."}};
    if (c >= '0' && c <= '9') return &digits[c - '0'];
    if (c == '-') return &minus;
    return nullptr;
}

}  // namespace

int CDrawSmallNumber::NumberWidth(int number) {
    int w = 1;
    for (char c : std::to_string(number))
        w += c == '1' ? 4 : 5;
    return w;
}

void CDrawSmallNumber::DrawNumber(Dc& dc, Point topLeft, int number) {
    const std::string text = std::to_string(number);
    const int width = NumberWidth(number);
    const int height = kSmallNumberHeight;
    // The glyph pixels of the whole number, then the outline around them.
    std::vector<char> ink(static_cast<std::size_t>(width * height), 0);
    int x = 0;
    for (char c : text) {
        const Glyph* g = GlyphOf(c);
        if (!g) continue;
        for (int gy = 0; gy < kGlyphHeight; ++gy)
            for (int gx = 0; gx < g->width; ++gx)
                if (g->rows[gy][gx] == '#') ink[static_cast<std::size_t>((gy + 1) * width + x + 1 + gx)] = 1;
        x += g->width + 1;
    }
    for (int y = 0; y < height; ++y) {
        for (int xx = 0; xx < width; ++xx) {
            if (ink[static_cast<std::size_t>(y * width + xx)]) continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    int nx = xx + dx;
                    int ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < width && ny < height &&
                        ink[static_cast<std::size_t>(ny * width + nx)])
                        near = true;
                }
            if (near) dc.SetPixel(topLeft.x + xx, topLeft.y + y, GetSecondColor());
        }
    }
    for (int y = 0; y < height; ++y)
        for (int xx = 0; xx < width; ++xx)
            if (ink[static_cast<std::size_t>(y * width + xx)])
                dc.SetPixel(topLeft.x + xx, topLeft.y + y, GetDigitColor());
}

}  // namespace MbMisc
