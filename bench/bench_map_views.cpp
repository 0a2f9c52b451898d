// The map views on the bundled game (Japan in 1560, the Oda house playing), drawn offscreen:
// the country map at 1280 x 960 (a full repaint: fitting, rendering, dots, copy to the window;
// a blink step: the dots and frames again), and a castle view of Owari at 1000 x 720 (a full
// layout with every overlay and its copy; a blink step of one castle). The display timer ticks
// every 50-100 ms; a step must stay well inside that.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/turn/new_game.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "game/shell/kuni_map_wnd.h"
#include "game/shell/shiro_map_wnd.h"
#include "mbkormap/kor_map.h"
#include "platform/qt/app.h"
#include "platform/qt/test_seam.h"

namespace {

using namespace rymd;
using namespace rymd::shell;

struct Bundled {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    std::unique_ptr<ui::Wnd> host = std::make_unique<ui::Wnd>();
    bool ok = false;

    Bundled() {
        const std::string data = std::string(RYMD_SOURCE_DIR) + "/data/";
        NewGameRequest request;
        request.scenarioPath = data + "scenario/japan1560.snr";
        request.programFolder = data;
        request.house = "D_ODA";
        ok = StartGameFromScenario(*gs, map, SilentPort::Instance().AsPorts(), request) == 0;
        gs->nCurDaimyou = gs->nPlayerDaimyou;
        map.ElvMap().EraseLandTopography();
        map.TextureSetup();
        ok = ok && host->CreateEx(0, ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(0, 0, 1300, 1000), nullptr, 0);
    }
};

Bundled& Game() {
    static Bundled b;
    return b;
}

// A view of the game as a child of the host window.
template <class View>
void Open(View& view, Bundled& g, int w, int h, int id) {
    view.SetGameState(g.gs.get());
    view.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL, ui::Rect(0, 0, w, h),
                  g.host.get(), id);
}

void BM_CountryMapFullRepaint(benchmark::State& state) {
    Bundled& g = Game();
    if (!g.ok) return state.SkipWithError("the bundled game did not start");
    CKuniMapWnd view(&g.map);
    view.m_bOwnerRefits = true;
    Open(view, g, 1280, 960, 2001);
    for (auto _ : state) {
        view.FitAndDrawMap(g.map.FindKuni("K_OWARI"));
        view.m_CleanBmp.Duplicate(&view.m_BackBmp);
        view.DrawShiroMarksRelation(g.gs->nCurDaimyou, ui::RGB(50, 50, 255));
        benchmark::DoNotOptimize(ui::test::Grab(view));
    }
}
BENCHMARK(BM_CountryMapFullRepaint)->Unit(benchmark::kMillisecond);

void BM_CountryMapBlinkStep(benchmark::State& state) {
    Bundled& g = Game();
    if (!g.ok) return state.SkipWithError("the bundled game did not start");
    CKuniMapWnd view(&g.map);
    view.m_bOwnerRefits = true;
    Open(view, g, 1280, 960, 2001);
    view.FitAndDrawMap(-1);
    int level = 0;
    for (auto _ : state) {
        view.DrawShiroMarksRelation(g.gs->nCurDaimyou, ui::RGB(50 + 60 * level, 50 + 60 * level, 255));
        view.FrameBesiegedShiro(g.gs->nCurDaimyou, level % 3, ui::RGB(255, 0, 0));
        const ui::Rect dirty = view.BitmapToClient(view.TakeDirtyRect());
        view.InvalidateRect(&dirty, false);
        view.UpdateWindow();
        level = (level + 1) % 4;
    }
}
BENCHMARK(BM_CountryMapBlinkStep)->Unit(benchmark::kMillisecond);

// Only the copy of the finished picture to the window (what a paint of the whole view costs).
void BM_CountryMapPaintOnly(benchmark::State& state) {
    Bundled& g = Game();
    if (!g.ok) return state.SkipWithError("the bundled game did not start");
    CKuniMapWnd view(&g.map);
    view.m_bOwnerRefits = true;
    Open(view, g, 1280, 960, 2001);
    view.FitAndDrawMap(-1);
    view.DrawShiroMarksRelation(g.gs->nCurDaimyou, ui::RGB(50, 50, 255));
    for (auto _ : state) benchmark::DoNotOptimize(ui::test::Grab(view));
}
BENCHMARK(BM_CountryMapPaintOnly)->Unit(benchmark::kMillisecond);

void BM_CastleViewFullLayout(benchmark::State& state) {
    Bundled& g = Game();
    if (!g.ok) return state.SkipWithError("the bundled game did not start");
    CShiroMapWnd view(&g.map);
    Open(view, g, 1000, 720, 2002);
    for (auto _ : state) {
        view.UpdateLayout(g.map.FindKuni("K_OWARI"));
        benchmark::DoNotOptimize(ui::test::Grab(view));
    }
}
BENCHMARK(BM_CastleViewFullLayout)->Unit(benchmark::kMillisecond);

void BM_CastleViewBlinkStep(benchmark::State& state) {
    Bundled& g = Game();
    if (!g.ok) return state.SkipWithError("the bundled game did not start");
    CShiroMapWnd view(&g.map);
    Open(view, g, 1000, 720, 2002);
    const int owari = g.map.FindKuni("K_OWARI");
    view.UpdateLayout(owari);
    view.m_CleanBmp.Duplicate(&view.m_BackBmp);
    for (int s : ShiroIndexes(*g.gs))
        if (ShiroMapAt(*g.gs, s).kuni == owari) view.m_nBlinkShiro = s;
    int phase = 0;
    for (auto _ : state) {
        view.m_BackBmp.Duplicate(&view.m_CleanBmp);
        view.m_nBlinkPhase = phase;
        view.DrawOverlays(true);
        const ui::Rect dirty = view.BufferToClient(view.TakeDirtyRect());
        view.InvalidateRect(&dirty, false);
        view.UpdateWindow();
        phase = (phase + 1) % 4;
    }
}
BENCHMARK(BM_CastleViewBlinkStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    rymd::ui::EnsureApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
