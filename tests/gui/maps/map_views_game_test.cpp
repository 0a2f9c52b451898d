// The map views on the bundled game (Japan in 1560, the Oda house playing): gallery pictures of
// the country map and of a castle view, and the main window switching between them, its display
// timer and menu hover.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/queries.h"
#include "game/turn/new_game.h"

#include <QScrollBar>
#include <filesystem>
#include <utility>

#include "game/shell/app/app_context.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/corps/gundan_ryouchi_dlgs.h"
#include "game/shell/dialogs/info/shiro_info_dlg.h"
#include "game/shell/dialogs/military/bushou_move_dlg.h"
#include "game/shell/maps/kuni_disp_switch_dlg.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/shell/maps/shiro_map_wnd.h"
#include "game/shell/window/main_game_dlg.h"
#include "gui/bundled_game_fixture.h"
#include "gui/gui_test_util.h"
#include "mbkormap/kor_map.h"

namespace rymd::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace rymd::shell;

TEST_F(BundledGameTest, GalleryCountryMapInTheHousesColours) {
    ASSERT_TRUE(host_.Open(1280, 960));
    CKuniMapWnd view(&map_);
    view.SetGameState(gs_.get());
    ASSERT_TRUE(view.CreateEx(ui::WS_EX_CLIENTEDGE,
                              ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                              ui::Rect(0, 0, 1280, 960), &host_, 2001));
    const int owari = Kuni("K_OWARI");
    ASSERT_GE(owari, 0);
    view.FitAndDrawMap(owari);
    view.DrawShiroMarksRelation(gs_->nCurDaimyou, ui::RGB(50, 50, 255));
    // Every own castle's dot in the pulse colour; an enemy's in its relation colour (where no
    // later castle's dot lies over it).
    int own = 0;
    const int n = ShiroCount(*gs_);
    for (int s = 0; s < n; ++s) {
        const ui::Rect d = view.ShiroDotRect(s);
        const ui::Point mid(d.left + 1, d.top + 1);
        bool covered = false;
        for (int t = s + 1; t < n && !covered; ++t) {
            ui::Rect later = view.ShiroDotRect(t);
            later.InflateRect(1, 1);
            covered = later.PtInRect(mid) && !gs_->ShiroDisabledBits.test(static_cast<std::size_t>(t));
        }
        if (covered) continue;
        const ui::COLORREF c = view.m_BackBmp.GetPixelColor(mid.x, mid.y);
        if (ShiroAt(*gs_, s).daimyou == gs_->nCurDaimyou) {
            EXPECT_EQ(c, ui::RGB(50, 50, 255)) << s;
            ++own;
        } else if (!gs_->ShiroDisabledBits.test(static_cast<std::size_t>(s))) {
            EXPECT_EQ(c, KuniMapRelationColor(*gs_, gs_->nCurDaimyou, ShiroAt(*gs_, s).daimyou)) << s;
        }
    }
    EXPECT_GT(own, 0);
    EXPECT_TRUE(ui::test::GrabToPng(view, GalleryPath("map_country_1560_oda")));
    EXPECT_TRUE(ui::test::GrabToPng(view, GalleryPath("map_country_1560_oda@2x"), 2.0));

    // The colour display: the ten largest houses in the colour table.
    std::vector<std::pair<long long, int>> bySize;
    for (int d : DaimyouIndexes(*gs_))
        bySize.push_back({-SumKokudakaOfDaimyou(*gs_, d), d});
    std::sort(bySize.begin(), bySize.end());
    int houses[10];
    const ui::COLORREF colours[10] = {ui::RGB(255, 255, 255), ui::RGB(255, 255, 0),  ui::RGB(0, 255, 255),
                                      ui::RGB(0, 255, 0),     ui::RGB(255, 128, 64), ui::RGB(255, 0, 255),
                                      ui::RGB(162, 148, 255), ui::RGB(0, 128, 255),  ui::RGB(64, 128, 64),
                                      ui::RGB(128, 64, 0)};
    for (int i = 0; i < 10; ++i)
        houses[i] = bySize[static_cast<std::size_t>(i)].second;
    view.FitAndDrawMap(-1);
    view.DrawShiroMarksColors(houses, colours, 10);
    EXPECT_TRUE(ui::test::GrabToPng(view, GalleryPath("map_country_1560_colours")));
}

// A castle view of the bundled game filling a window of 1000 x 720.
class BundledCastleViewTest : public BundledGameTest {
protected:
    void OpenCastleView(CShiroMapWnd& view) {
        ASSERT_TRUE(host_.Open(1000, 720));
        view.SetGameState(gs_.get());
        ASSERT_TRUE(view.CreateEx(ui::WS_EX_CLIENTEDGE,
                                  ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                                  ui::Rect(0, 0, 1000, 720), &host_, 2002));
    }
};

TEST_F(BundledCastleViewTest, GalleryCastleViewOfOwari) {
    CShiroMapWnd view(&map_);
    ASSERT_NO_FATAL_FAILURE(OpenCastleView(view));
    const int owari = Kuni("K_OWARI");
    ResetKuniViewCentres();
    // A siege at the first castle of Owari, for the picture's sake.
    for (int s : ShiroIndexes(*gs_))
        if (gs_->ShiroMapTbl[static_cast<std::size_t>(s)].kuni == owari) {
            ShiroAt(*gs_, s).nBesieger = 3;
            ShiroAt(*gs_, s).besiegerDaimyou = static_cast<std::int16_t>(gs_->nCurDaimyou == 0 ? 1 : 0);
            break;
        }
    view.UpdateLayout(owari);
    int shown = 0;
    for (int s : ShiroIndexes(*gs_))
        shown += gs_->ShiroMapTbl[static_cast<std::size_t>(s)].kuni == owari;
    EXPECT_GT(shown, 0);
    EXPECT_TRUE(ui::test::GrabToPng(view, GalleryPath("map_castle_view_1560_owari")));
    EXPECT_TRUE(ui::test::GrabToPng(view, GalleryPath("map_castle_view_1560_owari@2x"), 2.0));
}

// The pairs of a province's own castles whose marks or texts meet on its castle view, one
// "A/B " (empty when every castle stands apart).
std::string CrowdedCastles(const GameState& gs, CShiroMapWnd& view, int kuni) {
    std::vector<int> own;
    for (int s : ShiroIndexes(gs))
        if (gs.ShiroMapTbl[static_cast<std::size_t>(s)].kuni == kuni &&
            !gs.ShiroDisabledBits.test(static_cast<std::size_t>(s)))
            own.push_back(s);
    std::string crowded;
    for (std::size_t i = 0; i < own.size(); ++i) {
        const CShiroMapWnd::ShiroBoxes a = view.ShiroLabelBoxes(own[i]);
        for (std::size_t j = i + 1; j < own.size(); ++j) {
            const CShiroMapWnd::ShiroBoxes b = view.ShiroLabelBoxes(own[j]);
            bool meet = false;
            for (const ui::Rect& x : {a.mark, a.name, a.owner})
                for (const ui::Rect& y : {b.mark, b.name, b.owner}) {
                    ui::Rect both;
                    meet = meet || both.IntersectRect(x, y);
                }
            if (meet)
                crowded += gs.ShiroMapTbl[static_cast<std::size_t>(own[i])].name + "/" +
                           gs.ShiroMapTbl[static_cast<std::size_t>(own[j])].name + " ";
        }
    }
    return crowded;
}

TEST_F(BundledCastleViewTest, EveryCastleViewKeepsItsCastlesApart) {
    // In each province's castle view the marks, names and owners' labels of its castles do not
    // lie over one another (清洲/那古野/守山 and 鳴海/大高/沓掛 in 尾張 stand a few kilometres apart).
    CShiroMapWnd view(&map_);
    ASSERT_NO_FATAL_FAILURE(OpenCastleView(view));
    ResetKuniViewCentres();
    // Each castle's boxes lie where its mark is drawn.
    const int kiyosu = gs_->NameIndex.FindShiro("S_KIYOSU");
    ASSERT_GE(kiyosu, 0);
    view.UpdateLayout(Kuni("K_OWARI"));
    const CShiroMapWnd::ShiroBoxes boxes = view.ShiroLabelBoxes(kiyosu);
    EXPECT_EQ(boxes.mark, view.m_ShiroRect[static_cast<std::size_t>(kiyosu)]);
    EXPECT_LT(boxes.name.bottom, boxes.mark.top + 4);
    EXPECT_GT(boxes.owner.top, boxes.mark.bottom - 4);
    EXPECT_GT(boxes.name.Width(), boxes.owner.Width());  // 清洲城 over 織田

    for (int k = 0; k < map_.KuniCount(); ++k) {
        view.UpdateLayout(k);
        const std::string crowded = CrowdedCastles(*gs_, view, k);
        EXPECT_TRUE(crowded.empty()) << map_.Kuni(k).id << ": " << crowded;
    }
}

TEST_F(BundledGameTest, ProvinceSwitchShowsTheWholeCountry) {
    // The small country map of the province switch: the whole map within the view, no part of
    // it scrolled out of sight (a map wider than the view opens on the empty sea of its corner).
    CKuniDispSwitchDlg dlg(&map_, gs_.get());
    Script().OnDialog([&](ui::Dialog& d) {
        CKuniMapWnd& m = dynamic_cast<CKuniDispSwitchDlg&>(d).Map();
        const ui::Rect client = m.GetClientRect();
        EXPECT_LE(m.m_TotalSize.cx, client.Width());
        EXPECT_LE(m.m_TotalSize.cy, client.Height());
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("province_switch_1560")));
        d.EndDialog(ui::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
}

TEST_F(BundledGameTest, MainWindowSwitchesViewsAndAnimatesThem) {
    // The window loads the program folder's default.smp: the bundled one, into the game's map.
    const fs::path program = fs::temp_directory_path() / ("rymd_mapviews_" + std::to_string(::getpid()));
    fs::create_directories(program);
    fs::copy_file(std::string(RYMD_SOURCE_DIR) + "/data/default.smp", program / "default.smp",
                  fs::copy_options::overwrite_existing);
    ui::Profile::UseFile((program / "profile.ini").string());
    AppContext app;
    app.programFolder = program.string() + "/";
    app.korMap = &map_;
    app.settings.SetLocation(app.programFolder, app.programFolder);
    CMainGameDlg dlg(app);
    const int owari = Kuni("K_OWARI");
    Script().OnDialog([&](ui::Dialog& d) {
        auto& m = dynamic_cast<CMainGameDlg&>(d);
        ASSERT_TRUE(m.ChildrenReady());
        m.AttachGameState(gs_.get());
        // In a window of the program's first size the whole country fits the map: no part of it
        // is scrolled out of sight.
        m.MoveWindow(ui::Rect(0, 0, 1000, 740));
        m.SwitchMapView(-1);
        const ui::Rect client = m.KuniMap().GetClientRect();
        EXPECT_LE(m.KuniMap().m_TotalSize.cx, client.Width());
        EXPECT_LE(m.KuniMap().m_TotalSize.cy, client.Height());
        EXPECT_TRUE(ui::test::GrabToPng(m, GalleryPath("main_window_1560")));
        m.MoveWindow(ui::Rect(0, 0, 1280, 960));
        m.SwitchMapView(-1);
        EXPECT_TRUE(m.KuniMap().IsWindowVisible());
        EXPECT_FALSE(m.ShiroMap().IsWindowVisible());
        // Country map ticks: the pulse steps, the timer is re-armed within its period.
        for (int i = 0; i < 3; ++i)
            m.DisplayTimerTick();
        EXPECT_EQ(m.MapViews().blinkPhase, 3);
        EXPECT_GE(m.MapViews().lastTimerPeriod, 10);
        EXPECT_LE(m.MapViews().lastTimerPeriod, 100);
        EXPECT_TRUE(m.HasTimer(CMainGameDlg::kDisplayTimer));
        // Hovering a province item selects it on the country map.
        m.OnMenuSelect(3000 + static_cast<unsigned>(owari));
        EXPECT_EQ(m.MapViews().curKuni, owari);
        EXPECT_EQ(m.KuniMap().m_nSelKuni, owari);
        // A click on the country map opens the castle view.
        m.KuniMap().m_nClickKuni = owari;
        m.OnCommand(CMainGameDlg::kKuniMapId, 0, &m.KuniMap());
        EXPECT_EQ(m.MapViews().viewMode, 1);
        EXPECT_TRUE(m.ShiroMap().IsWindowVisible());
        EXPECT_FALSE(m.KuniMap().IsWindowVisible());
        EXPECT_FALSE(m.LogWindow().IsWindowVisible());
        // A province item while the castle view is shown changes nothing on the maps.
        m.OnMenuSelect(3000 + static_cast<unsigned>(Kuni("K_MINO")));
        EXPECT_EQ(m.MapViews().curKuni, owari);
        EXPECT_EQ(m.KuniMap().m_nSelKuni, owari);
        // Hovering castle items blinks them; closing the menu ends it.
        int castle = -1;
        for (int s : ShiroIndexes(*gs_))
            if (gs_->ShiroMapTbl[static_cast<std::size_t>(s)].kuni == owari) castle = s;
        ASSERT_GE(castle, 0);
        // A click on a castle of the view shows its information.
        Script().OnDialog([&](ui::Dialog& info) {
            EXPECT_NE(dynamic_cast<CShiroInfoDlg*>(&info), nullptr);
            EXPECT_EQ(dynamic_cast<CShiroInfoDlg&>(info).NameBoard().GetBoardWidth() > 0, true);
            info.EndDialog(ui::IDOK);
        });
        m.ShiroMap().m_nClickShiro = castle;
        m.OnCommand(CMainGameDlg::kShiroMapId, 0, &m.ShiroMap());
        m.ShiroMap().m_nBlinkPause = 0;
        m.OnMenuSelect(4000 + static_cast<unsigned>(castle));
        EXPECT_EQ(m.ShiroMap().m_nBlinkShiro, castle);
        EXPECT_EQ(m.MapViews().castleBlinkStep, 3);
        m.DisplayTimerTick();
        EXPECT_LE(m.MapViews().lastTimerPeriod, 70);
        m.OnMenuSelect(0);
        EXPECT_EQ(m.ShiroMap().m_nBlinkShiro, -1);
        EXPECT_EQ(m.ShiroMap().m_nBlinkPhase, 0);
        // A scroll pauses the blinking for two ticks.
        m.ShiroMap().m_nBlinkPause = 2;
        m.DisplayTimerTick();
        EXPECT_EQ(m.ShiroMap().m_nBlinkPause, 1);
        m.SwitchMapView(-1);
        EXPECT_EQ(m.MapViews().viewMode, 0);
        EXPECT_TRUE(m.KuniMap().IsWindowVisible());
        m.KillTimer(CMainGameDlg::kDisplayTimer);
        d.EndDialog(ui::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
    ui::Profile::UseFile("");
    fs::remove_all(program);
}

// A click on a castle view's scroll arrow moves it one pixel, a click beside the thumb 64: the
// fief view of a corps and the move dialog's view step as the main window's castle view does.
TEST_F(BundledGameTest, EveryCastleViewStepsItsArrowsAsTheMainViewDoes) {
    const int kuni = Kuni("K_MUTSU");  // a large province: every view scrolls it both ways
    struct Steps {
        ui::Point line, page;
        bool operator==(const Steps&) const = default;
    };
    int views = 0;
    const auto stepsOf = [&views](CShiroMapWnd& view) {
        ++views;
        Steps s;
        for (QScrollBar* bar : view.GetWidget()->findChildren<QScrollBar*>()) {
            const bool across = bar->orientation() == Qt::Horizontal;
            EXPECT_TRUE(bar->isVisible()) << (across ? "across" : "down");
            for (auto [action, step] : {std::pair{QAbstractSlider::SliderSingleStepAdd, &s.line},
                                        std::pair{QAbstractSlider::SliderPageStepAdd, &s.page}}) {
                view.SetScrollPosition(ui::Point(0, 0));
                bar->triggerAction(action);
                (across ? step->x : step->y) =
                    across ? view.GetScrollPosition().x : view.GetScrollPosition().y;
            }
        }
        return s;
    };
    const Steps expected{ui::Point(1, 1), ui::Point(64, 64)};

    ui::Profile::UseFile(
        (std::filesystem::temp_directory_path() / ("rymd_steps_" + std::to_string(::getpid()) + ".ini"))
            .string());
    AppContext app;
    app.programFolder = std::string(RYMD_SOURCE_DIR) + "/data/";
    app.korMap = &map_;
    CMainGameDlg main(app);
    Script().OnDialog([&](ui::Dialog& d) {
        auto& m = dynamic_cast<CMainGameDlg&>(d);
        ASSERT_TRUE(m.ChildrenReady());
        m.AttachGameState(gs_.get());
        m.MoveWindow(ui::Rect(0, 0, 1000, 740));
        m.KuniMap().m_nClickKuni = kuni;
        m.OnCommand(CMainGameDlg::kKuniMapId, 0, &m.KuniMap());
        ASSERT_TRUE(m.ShiroMap().IsWindowVisible());
        EXPECT_EQ(stepsOf(m.ShiroMap()), expected) << "main window";
        d.EndDialog(ui::IDCANCEL);
    });
    main.DoModal();

    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(stepsOf(dynamic_cast<CGundanShoryouDlg&>(d).Map()), expected) << "fief view";
        d.EndDialog(ui::IDCANCEL);
    });
    CGundanShoryouDlg fief(*gs_, &map_);
    fief.m_nKuni = kuni;
    fief.m_nGundan = 0;
    fief.DoModal();

    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(stepsOf(dynamic_cast<CBushouMoveDlg&>(d).Map()), expected) << "move dialog";
        d.EndDialog(ui::IDCANCEL);
    });
    CBushouMoveDlg move(*gs_, &map_);
    move.m_nKuni = kuni;
    move.DoModal();
    EXPECT_EQ(views, 3);
}

}  // namespace
}  // namespace rymd::gui_test
