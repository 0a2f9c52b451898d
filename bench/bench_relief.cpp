// Relief drawing per frame: a 1000 x 800 relief shown on a 1280 x 960 target, the way the
// province map draws every tick of the display timer: the view (cached), the sea, a few hundred
// textured province polygons with relief shading, and their borders.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "mb3dmap/elv_map.h"
#include "platform/core/random.h"

namespace {

using Mb3dMap::CCtrlElvMap;
using Mb3dMap::POINT;

constexpr int kMapW = 1000;
constexpr int kMapH = 800;
constexpr int kDispW = 1280;
constexpr int kDispH = 960;
constexpr int kCellsX = 20;
constexpr int kCellsY = 15;  // 300 provinces

// Hills and valleys with a coast: sea where the height falls below 0.
std::vector<std::uint16_t> MakeRelief() {
    std::vector<std::uint16_t> v(static_cast<std::size_t>(kMapW) * kMapH);
    for (int y = 0; y < kMapH; ++y) {
        for (int x = 0; x < kMapW; ++x) {
            const double fx = x / 1000.0, fy = y / 800.0;
            double h = 900 * std::sin(fx * 7.1 + 0.3) * std::cos(fy * 5.3) +
                       600 * std::sin(fx * 23 + fy * 17) + 250 * std::cos(fx * 61 - fy * 43) + 700 -
                       1400 * ((fx - 0.5) * (fx - 0.5) + (fy - 0.5) * (fy - 0.5));
            v[static_cast<std::size_t>(y) * kMapW + x] = static_cast<std::uint16_t>(h < 0 ? 0 : h + 1);
        }
    }
    return v;
}

struct Scene {
    std::unique_ptr<CCtrlElvMap> map = std::make_unique<CCtrlElvMap>();
    std::vector<std::vector<POINT>> polygons;
};

// A jittered grid of provinces in display pixels, each cell an outline of 12 points whose shared
// sides match their neighbours'.
std::unique_ptr<Scene> MakeScene() {
    auto scene = std::make_unique<Scene>();
    CCtrlElvMap& map = *scene->map;
    map.CreateNewMap(kMapW, kMapH);
    const auto relief = MakeRelief();
    std::uint16_t* r = map.GetElevationData();
    for (int y = 0; y < kMapH; ++y)
        for (int x = 0; x < kMapW; ++x)
            r[y * (kMapW + 1) + x] = relief[static_cast<std::size_t>(y) * kMapW + x];
    map.FillGapOfElevationData();
    map.ElevationDataModified();

    // A texture set from the library's own pictures with a snow line across the map.
    Mb3dMap::tagTEXTURE_SET set;
    Mb3dMap::LoadDefaultTextureBitmap(2000, set.first[0]);
    Mb3dMap::LoadDefaultTextureBitmap(2001, set.second[0]);
    Mb3dMap::LoadDefaultTextureBitmap(2002, set.third[0]);
    set.firstValue[0] = 1500;
    set.secondValue[0] = 1300;
    set.thirdValue[0] = 2200;
    map.RemoveAllTexture();
    map.AddTexture(&set);

    rymd::Random rnd(7);
    const double cw = static_cast<double>(kDispW) / kCellsX, ch = static_cast<double>(kDispH) / kCellsY;
    // Corner and side points shared by neighbouring cells.
    std::vector<POINT> corner((kCellsX + 1) * (kCellsY + 1));
    for (int j = 0; j <= kCellsY; ++j)
        for (int i = 0; i <= kCellsX; ++i)
            corner[j * (kCellsX + 1) + i] = {static_cast<int>(i * cw) + rnd.Below(11) - 5,
                                             static_cast<int>(j * ch) + rnd.Below(11) - 5};
    auto side = [&](POINT a, POINT b, int k, int salt) {
        const double t = k / 3.0;
        const int wobble = ((salt * 7919 + k * 104729) % 9) - 4;
        return POINT{static_cast<int>(a.x + (b.x - a.x) * t) + wobble,
                     static_cast<int>(a.y + (b.y - a.y) * t) - wobble};
    };
    for (int j = 0; j < kCellsY; ++j) {
        for (int i = 0; i < kCellsX; ++i) {
            const POINT tl = corner[j * (kCellsX + 1) + i], tr = corner[j * (kCellsX + 1) + i + 1];
            const POINT bl = corner[(j + 1) * (kCellsX + 1) + i],
                        br = corner[(j + 1) * (kCellsX + 1) + i + 1];
            const int top = j * 100 + i, bottom = (j + 1) * 100 + i, left = 5000 + j * 100 + i,
                      right = 5000 + j * 100 + i + 1;
            std::vector<POINT> p = {tl, side(tl, tr, 1, top),    side(tl, tr, 2, top),
                                    tr, side(tr, br, 1, right),  side(tr, br, 2, right),
                                    br, side(bl, br, 2, bottom), side(bl, br, 1, bottom),
                                    bl, side(tl, bl, 2, left),   side(tl, bl, 1, left)};
            scene->polygons.push_back(std::move(p));
        }
    }
    map.StretchElevationData(0, 0, kMapW, kMapH, kDispW, kDispH);
    return scene;
}

Scene& SharedScene() {
    static std::unique_ptr<Scene> scene = MakeScene();
    return *scene;
}

// One whole frame as the province map draws it.
void BM_ReliefFrame(benchmark::State& state) {
    Scene& s = SharedScene();
    CCtrlElvMap& map = *s.map;
    for (auto _ : state) {
        map.StretchElevationData(0, 0, kMapW, kMapH, kDispW, kDispH);
        map.FillSeaColorOnBitmapBuffer();
        for (std::size_t i = 0; i < s.polygons.size(); ++i) {
            const auto& p = s.polygons[i];
            map.DrawPolygonOnBitmapBuffer(p.data(), static_cast<int>(p.size()), i == 17 ? 3 : 2, true, true,
                                          0, false);
        }
        for (const auto& p : s.polygons)
            for (std::size_t k = 0; k < p.size(); ++k)
                map.DrawLineOnBitmapBuffer(p[k], p[(k + 1) % p.size()], 0x202020);
        benchmark::DoNotOptimize(map.GetTargetBmp()->GetBufferPtr());
    }
    state.counters["polygons"] = static_cast<double>(s.polygons.size());
    state.counters["pixels"] = kDispW * kDispH;
}
BENCHMARK(BM_ReliefFrame)->Unit(benchmark::kMillisecond);

// The land painting alone: the whole view as one span per row.
void BM_ReliefSpans(benchmark::State& state) {
    Scene& s = SharedScene();
    CCtrlElvMap& map = *s.map;
    std::vector<Mb3dMap::tagHorzLine> spans;
    for (int y = 0; y < kDispH; ++y)
        spans.push_back({static_cast<std::int16_t>(y), 0, kDispW - 1});
    for (auto _ : state) {
        map.DrawPolygonOnBitmapBuffer(spans.data(), kDispH, 2, true, true, 0, false);
        benchmark::DoNotOptimize(map.GetTargetBmp()->GetBufferPtr());
    }
}
BENCHMARK(BM_ReliefSpans)->Unit(benchmark::kMillisecond);

// Scan conversion of every polygon, without painting.
void BM_PolygonSpans(benchmark::State& state) {
    Scene& s = SharedScene();
    std::vector<Mb3dMap::tagHorzLine> spans(Mb3dMap::kMaxPolygonSpans);
    for (auto _ : state) {
        int total = 0;
        for (const auto& p : s.polygons)
            total += s.map->CalcPolygon(p.data(), static_cast<int>(p.size()), spans.data(),
                                        Mb3dMap::kMaxPolygonSpans);
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_PolygonSpans)->Unit(benchmark::kMillisecond);

// A new view (scrolling or zooming): the stretched copy is rebuilt.
void BM_StretchNewView(benchmark::State& state) {
    Scene& s = SharedScene();
    CCtrlElvMap& map = *s.map;
    int shift = 0;
    for (auto _ : state) {
        shift ^= 1;
        map.StretchElevationData(shift, 0, kMapW - 1, kMapH, kDispW, kDispH);
        benchmark::DoNotOptimize(map.GetStretchedData().data());
    }
    map.StretchElevationData(0, 0, kMapW, kMapH, kDispW, kDispH);
}
BENCHMARK(BM_StretchNewView)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
