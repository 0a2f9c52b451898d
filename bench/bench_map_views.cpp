// The map views on the bundled game (Japan in 1560, the Oda house playing), drawn offscreen:
// the country map at 1280 x 960 (a full repaint of an unchanged view: fitting, rendering, dots,
// copy to the window; a fresh draw after a change of season; a blink step: the dots and frames
// again), and a castle view of Owari at 1000 x 720 (a full layout with every overlay and its copy,
// of the same province again and of another province each time; a blink step of one castle). The
// display timer ticks every 50-100 ms; a step must stay well inside that. Each figure has its goal
// beside it (goal_ms).
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/turn/new_game.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include <filesystem>

#include "game/shell/app/app_context.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/shell/maps/shiro_map_wnd.h"
#include "game/shell/window/command_panel.h"
#include "game/shell/window/main_game_dlg.h"
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

// The game is let go before the program ends, while the window layer is still there.
std::unique_ptr<Bundled>& GameSlot() {
    static std::unique_ptr<Bundled> b;
    return b;
}

Bundled& Game() {
    std::unique_ptr<Bundled>& b = GameSlot();
    if (!b) b = std::make_unique<Bundled>();
    return *b;
}

// A view of the game as a child of the host window.
template <class View>
void Open(View& view, Bundled& g, int w, int h, int id) {
    view.SetGameState(g.gs.get());
    view.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL, ui::Rect(0, 0, w, h),
                  g.host.get(), id);
}

// A full repaint of the country map: fitting and rendering, the clean copy, the dots, the copy
// to the window. Fresh: in another season each time (more seasons than the map keeps pictures
// of), so that the map is drawn anew.
void CountryMapRepaint(benchmark::State& state, bool fresh) {
    Bundled& g = Game();
    if (!g.ok) return state.SkipWithError("the bundled game did not start");
    CKuniMapWnd view(&g.map);
    view.m_bOwnerRefits = true;
    Open(view, g, 1280, 960, 2001);
    const int season = g.map.GetSeason();
    int step = season;
    for (auto _ : state) {
        if (fresh) step = (step + 1) % 4;
        g.map.SetSeason(step);
        view.FitAndDrawMap(g.map.FindKuni("K_OWARI"));
        view.m_CleanBmp.Duplicate(&view.m_BackBmp);
        view.DrawShiroMarksRelation(g.gs->nCurDaimyou, ui::RGB(50, 50, 255));
        benchmark::DoNotOptimize(ui::test::Grab(view));
    }
    g.map.SetSeason(season);
    state.counters["goal_ms"] = fresh ? 6.0 : 2.0;
}

void BM_CountryMapFullRepaint(benchmark::State& state) {
    CountryMapRepaint(state, false);
}
BENCHMARK(BM_CountryMapFullRepaint)->Unit(benchmark::kMillisecond);

void BM_CountryMapFreshDraw(benchmark::State& state) {
    CountryMapRepaint(state, true);
}
BENCHMARK(BM_CountryMapFreshDraw)->Unit(benchmark::kMillisecond);

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
    state.counters["goal_ms"] = 0.3;
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
    for (auto _ : state)
        benchmark::DoNotOptimize(ui::test::Grab(view));
    state.counters["goal_ms"] = 1.0;  // about one frame copy
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
    state.counters["goal_ms"] = 10.0;
}
BENCHMARK(BM_CastleViewFullLayout)->Unit(benchmark::kMillisecond);

// Another province each time, round four of them (more than the map keeps pictures of).
void BM_CastleViewFreshLayout(benchmark::State& state) {
    Bundled& g = Game();
    if (!g.ok) return state.SkipWithError("the bundled game did not start");
    CShiroMapWnd view(&g.map);
    Open(view, g, 1000, 720, 2002);
    const int kuni[] = {g.map.FindKuni("K_OWARI"), g.map.FindKuni("K_MINO"), g.map.FindKuni("K_MIKAWA"),
                        g.map.FindKuni("K_OMI")};
    for (int k : kuni)
        if (k < 0) return state.SkipWithError("a province is missing");
    int step = 0;
    for (auto _ : state) {
        step = (step + 1) % 4;
        view.UpdateLayout(kuni[step]);
        benchmark::DoNotOptimize(ui::test::Grab(view));
    }
    state.counters["goal_ms"] = 10.0;
}
BENCHMARK(BM_CastleViewFreshLayout)->Unit(benchmark::kMillisecond);

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
    state.counters["goal_ms"] = 0.5;
}
BENCHMARK(BM_CastleViewBlinkStep)->Unit(benchmark::kMillisecond);

// A phase end in the main window at 1100 x 860: "コマンド終了" clicked, then the events until the
// next phase is painted. Only the ends of phases 1 to 5 are timed; the sixth ends the month, which
// is the rules' part. No dialog comes in between (the questions have their silent answers).
void BM_PhaseEndInTheWindow(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("rymd_bench_phase_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "prog");
    const std::string program = (root / "prog").string() + "/";
    fs::copy_file(std::string(RYMD_SOURCE_DIR) + "/data/default.smp", program + "default.smp");
    ui::Profile::UseFile((root / "profile.ini").string());
    ui::Profile::WriteProfileInt("Window", "Left", 0);
    ui::Profile::WriteProfileInt("Window", "Top", 0);
    ui::Profile::WriteProfileInt("Window", "Right", 1100);
    ui::Profile::WriteProfileInt("Window", "Bottom", 860);
    MbKorMap::CCtrlKorMap map;
    AppContext app;
    app.programFolder = program;
    app.korMap = &map;
    app.settings.SetLocation(program, program);
    {
        CMainGameDlg dlg(app);
        ui::test::Script script;
        std::string error;
        script.SetErrorHandler([&](const std::string& m) { error = m; });
        script.OnDialog([&](ui::Dialog& d) {
            auto& m = dynamic_cast<CMainGameDlg&>(d);
            NewGameRequest request;
            request.scenarioPath = std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr";
            request.programFolder = program;
            request.seed = 11;
            request.house = "D_ODA";
            m.SetGamePorts(SilentPort::Instance().AsPorts());
            if (m.StartScenarioGame(request) != 0) {
                error = "the bundled game did not start";
            } else {
                ui::test::ProcessEvents();
                for (auto _ : state) {
                    if (m.State().nPhase == 6) {
                        state.PauseTiming();
                        ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kCommandEndId);
                        ui::test::ProcessEvents();
                        state.ResumeTiming();
                    }
                    const int phase = m.State().nPhase;
                    ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kCommandEndId);
                    ui::test::ProcessEvents();
                    if (m.State().nPhase != phase + 1) error = "the phase did not end";
                }
                state.counters["month"] = m.State().nCurMonth;
            }
            d.EndDialog(ui::IDCANCEL);
        });
        dlg.DoModal();
        if (!error.empty()) state.SkipWithError(error.c_str());
    }
    ui::Profile::UseFile("");
    std::error_code ec;
    fs::remove_all(root, ec);
    state.counters["goal_ms"] = 100.0;
}
BENCHMARK(BM_PhaseEndInTheWindow)->Unit(benchmark::kMillisecond)->Iterations(25);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    rymd::ui::EnsureApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    GameSlot().reset();
    return 0;
}
