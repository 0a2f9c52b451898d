// The province map: loading a map, drawing the whole country and one magnified province the way
// the map windows do, and hit testing clicks.
//
// The synthetic country is an island of 24 x 18 cells of 40 relief samples (1040 x 800 samples,
// about 340 provinces with jagged borders of 8 inner points, lakes and shadows), stored as a
// "KorMap" file. The bundled map is data/default.smp when it exists.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"
#include "platform/core/random.h"
#include "support/kor_map_fixture.h"

namespace {

constexpr int kDispW = 1280;
constexpr int kDispH = 960;

const std::vector<std::uint8_t>& SyntheticBytes() {
    static const std::vector<std::uint8_t> bytes = [] {
        rymd::ArchiveWriter ar;
        MbKorMap::WriteKorMap(ar, kormap_fixture::MakeSyntheticCountry(24, 18, 40, 8));
        return ar.Take();
    }();
    return bytes;
}

std::string BundledMapPath() {
    return std::string(RYMD_SOURCE_DIR) + "/data/default.smp";
}

// A map loaded and set up as the game does after every load.
std::unique_ptr<MbKorMap::CCtrlKorMap> LoadedMap(const std::vector<std::uint8_t>& bytes) {
    auto map = std::make_unique<MbKorMap::CCtrlKorMap>();
    rymd::ArchiveReader ar(bytes);
    if (!map->Serialize(ar)) return nullptr;
    map->ElvMap().EraseLandTopography();
    map->TextureSetup();
    return map;
}

void BM_LoadSyntheticMap(benchmark::State& state) {
    const auto& bytes = SyntheticBytes();
    MbKorMap::CCtrlKorMap map;
    for (auto _ : state) {
        rymd::ArchiveReader ar(bytes);
        if (!map.Serialize(ar)) state.SkipWithError("refused");
        benchmark::DoNotOptimize(map.KuniCount());
    }
    state.counters["provinces"] = map.KuniCount();
    state.counters["polygons"] = static_cast<double>(map.Data().polygons.size());
    state.counters["KiB"] = static_cast<double>(bytes.size()) / 1024.0;
}
BENCHMARK(BM_LoadSyntheticMap)->Unit(benchmark::kMillisecond);

void BM_LoadBundledMap(benchmark::State& state) {
    const std::string path = BundledMapPath();
    if (!rymd::FileExists(path)) {
        state.SkipWithError("data/default.smp is not there yet");
        return;
    }
    MbKorMap::CCtrlKorMap map;
    for (auto _ : state) {
        if (map.LoadKorMap(path.c_str()) != 0) state.SkipWithError("refused");
        benchmark::DoNotOptimize(map.KuniCount());
    }
    state.counters["provinces"] = map.KuniCount();
    state.counters["polygons"] = static_cast<double>(map.Data().polygons.size());
}
BENCHMARK(BM_LoadBundledMap)->Unit(benchmark::kMillisecond);

// The whole country at 1280 x 960. Fresh: each draw in another season than the one before (the
// map keeps only its last few pictures, fewer than the four seasons), as after a change of season
// or zoom; goal 6 ms. Again: the same view and season, as a repaint of an unchanged view.
void DrawWhole(benchmark::State& state, const std::vector<std::uint8_t>& bytes, bool fresh) {
    auto map = LoadedMap(bytes);
    if (!map) {
        state.SkipWithError("refused");
        return;
    }
    MbBmp::CControlBmp target;
    map->SetExternalBmp(&target);
    map->SetSelectedKuni(map->KuniCount() / 2);
    int season = 0;
    for (auto _ : state) {
        if (fresh) season = (season + 1) % 4;
        map->SetSeason(season);
        map->DrawMap(0, 0, map->GetMapWidth(), map->GetMapHeight(), kDispW, kDispH);
        benchmark::DoNotOptimize(target.GetBufferPtr());
    }
    state.counters["goal_ms"] = fresh ? 6.0 : 2.0;
}

void BM_DrawMapWholeCountry(benchmark::State& state) {
    DrawWhole(state, SyntheticBytes(), true);
}
BENCHMARK(BM_DrawMapWholeCountry)->Unit(benchmark::kMillisecond);

void BM_DrawMapWholeCountryAgain(benchmark::State& state) {
    DrawWhole(state, SyntheticBytes(), false);
}
BENCHMARK(BM_DrawMapWholeCountryAgain)->Unit(benchmark::kMillisecond);

void BM_DrawMapWholeBundled(benchmark::State& state) {
    std::vector<std::uint8_t> bytes;
    if (!rymd::ReadFileBytes(BundledMapPath(), bytes)) {
        state.SkipWithError("data/default.smp is not there yet");
        return;
    }
    DrawWhole(state, bytes, true);
}
BENCHMARK(BM_DrawMapWholeBundled)->Unit(benchmark::kMillisecond);

// One province filling the view: its bounding rectangle in relief samples, magnified to the
// display, then painted and its borders drawn again, as the castle view does.
void BM_DrawMapOneProvinceMagnified(benchmark::State& state) {
    auto map = LoadedMap(SyntheticBytes());
    if (!map) {
        state.SkipWithError("refused");
        return;
    }
    const int kuni = map->KuniCount() / 2;
    const auto& d = map->Data();
    int x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    for (std::size_t i = 0; i < d.polygons.size(); ++i)
        if (d.polygons[i].kuni == kuni) {
            x0 = std::min(x0, d.polygonRects[i].left / d.unit);
            y0 = std::min(y0, d.polygonRects[i].top / d.unit);
            x1 = std::max(x1, d.polygonRects[i].right / d.unit + 1);
            y1 = std::max(y1, d.polygonRects[i].bottom / d.unit + 1);
        }
    // The view keeps the display's proportions.
    const int w = std::max(x1 - x0, (y1 - y0) * kDispW / kDispH);
    const int h = w * kDispH / kDispW;
    MbBmp::CControlBmp target;
    map->SetExternalBmp(&target);
    map->SetSelectedKuni(kuni);
    map->SetBrightType(0, 1);
    int season = 0;
    for (auto _ : state) {
        season = (season + 1) % 4;  // a fresh picture each time
        map->SetSeason(season);
        map->DrawMap(x0, y0, w, h, kDispW, kDispH);
        benchmark::DoNotOptimize(target.GetBufferPtr());
    }
    state.counters["samples"] = w;
    state.counters["zoom"] = static_cast<double>(kDispW) / w;
}
BENCHMARK(BM_DrawMapOneProvinceMagnified)->Unit(benchmark::kMillisecond);

void BM_PaintKuniAndDrawLine(benchmark::State& state) {
    auto map = LoadedMap(SyntheticBytes());
    if (!map) {
        state.SkipWithError("refused");
        return;
    }
    MbBmp::CControlBmp target;
    map->SetExternalBmp(&target);
    map->DrawMap(0, 0, map->GetMapWidth(), map->GetMapHeight(), kDispW, kDispH);
    int kuni = 0;
    for (auto _ : state) {
        map->PaintKuni(kuni, 0x2080FF, true, 3, true);
        kuni = (kuni + 1) % map->KuniCount();
    }
}
BENCHMARK(BM_PaintKuniAndDrawLine)->Unit(benchmark::kMillisecond);

// 10,000 clicks at random relief samples.
void BM_DetectKuni10000(benchmark::State& state) {
    auto map = LoadedMap(SyntheticBytes());
    if (!map) {
        state.SkipWithError("refused");
        return;
    }
    rymd::Random random(7);
    std::vector<MbBmp::POINT> points(10000);
    for (auto& p : points)
        p = {random.Below(map->GetMapWidth()), random.Below(map->GetMapHeight())};
    int hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const auto& p : points)
            hits += map->DetectKuni(p) >= 0;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits"] = hits;
}
BENCHMARK(BM_DetectKuni10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
