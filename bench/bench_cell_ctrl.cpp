// The grid with 30,000 lines (the general table's capacity): scrolling by a page and painting
// the page, offscreen.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "mbwnd/cell_ctrl.h"
#include "platform/qt/app.h"
#include "platform/qt/test_seam.h"

namespace {

namespace ui = rymd::ui;

class Host : public ui::Wnd {
public:
    bool OnNotify(int, ui::NotifyHeader*, std::intptr_t*) override { return true; }
};

void BM_GridScrollAndPaintPage(benchmark::State& state) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ui::EnsureApplication();
    Host host;
    host.CreateEx(0, ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(0, 0, 640, 480), nullptr, 0);
    MbWnd::CCellCtrl grid;
    grid.SetSeparater(1);
    grid.SetStyle(0x10 | 7);
    grid.SetColumn(0, 2, 90, "武将名", 0);
    grid.SetColumn(1, 0 | MbWnd::CCellCtrl::kRightAlign, 40, "武力", 0);
    grid.SetColumn(2, 0 | MbWnd::CCellCtrl::kRightAlign, 40, "知力", 0);
    grid.SetColumn(3, 1 | MbWnd::CCellCtrl::kRightAlign, 70, "石高", 2);
    grid.SetColumn(4, 2, 90, "居城", 0);
    grid.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE, ui::Rect(0, 0, 620, 460), &host, 2006);
    const int lines = static_cast<int>(state.range(0));
    grid.SetLineSize(lines);
    for (int i = 0; i < lines; ++i) {
        grid.SetLineItem(i, 0, ("武将" + std::to_string(i)).c_str());
        grid.SetLineItem(i, 1, i % 100);
        grid.SetLineItem(i, 2, (i * 7) % 100);
        grid.SetLineItem(i, 3, i * 1.25);
        grid.SetLineItem(i, 4, "清洲城");
        grid.SetLineData(i, i);
    }
    MbWnd::CCellPane& right = grid.RightPane();
    const int page = right.GetPageSize().cy / right.GetLineSize().cy;
    int pos = 0;
    for (auto _ : state) {
        pos = (pos + page) % (lines - page);
        right.SetScrollPosition(ui::Point(0, pos));
        right.OnVScroll(ui::SB_THUMBPOSITION, pos);
        QImage a = ui::test::Grab(right);
        QImage b = ui::test::Grab(grid.LeftPane());
        benchmark::DoNotOptimize(a.bits());
        benchmark::DoNotOptimize(b.bits());
    }
    state.counters["painted_lines"] = right.LastPaintedLines();
}
BENCHMARK(BM_GridScrollAndPaintPage)->Arg(30000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
