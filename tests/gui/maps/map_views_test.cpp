// The map views: the country map (fitting, dots, labels, clicks, drag, blinking), the castle view
// (layout, hit testing, centres, roads, castles, labels, siege and blockade marks), their
// geometry, and the main window's part (view switch, castle information rights, display timer,
// menu hover).
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/state/access.h"
#include "support/test_world.h"

#include <chrono>
#include <cmath>

#include "game/shell/app/app_context.h"
#include "game/shell/maps/kuni_disp_switch_dlg.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/shell/maps/shiro_map_geometry.h"
#include "game/shell/maps/shiro_map_wnd.h"
#include "game/shell/maps/text_msg_dlg.h"
#include "game/shell/window/main_game_dlg.h"
#include "gui/gui_test_util.h"
#include "mbkormap/kor_map.h"
#include "support/kor_map_fixture.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;
using MbKorMap::tagMapPolygon;

constexpr int kU = MbKorMap::kKorMapUnit;

// A country of w x h relief samples: four provinces 0..3 in a 2 x 2 grid over the land
// [10, w - 10) x [10, h - 10), sea around it; the textures of the fixture country.
MbKorMap::KorMapData GridCountry(int w, int h) {
    MbKorMap::KorMapData d = kormap_fixture::MakeCountry();
    d.elvMap.CreateNewMap(w, h);
    std::uint16_t* e = d.elvMap.GetElevationData();
    for (int y = 10; y < h - 10; ++y)
        for (int x = 10; x < w - 10; ++x)
            e[y * (w + 1) + x] = 1;
    d.elvMap.FillGapOfElevationData();
    d.width = w;
    d.height = h;
    d.nodes.clear();
    d.lines.clear();
    d.linePoints.clear();
    d.polygons.clear();
    d.polygonLineList.clear();
    d.labels.clear();
    const int mx = w / 2, my = h / 2;
    kormap_fixture::AddRect(d, 10 * kU, 10 * kU, mx * kU, my * kU, tagMapPolygon::kLand, 0, 0);
    kormap_fixture::AddRect(d, mx * kU, 10 * kU, (w - 10) * kU, my * kU, tagMapPolygon::kLand, 0, 1);
    kormap_fixture::AddRect(d, 10 * kU, my * kU, mx * kU, (h - 10) * kU, tagMapPolygon::kLand, 0, 2);
    kormap_fixture::AddRect(d, mx * kU, my * kU, (w - 10) * kU, (h - 10) * kU, tagMapPolygon::kLand, 0, 3);
    return d;
}

// A parent that records commands and notifications of its children.
class Recorder : public HostWindow {
public:
    bool OnNotify(int id, ui::NotifyHeader* h, std::intptr_t*) override {
        notifies.push_back({id, h->code, h->hwndFrom});
        return true;
    }
    std::vector<Command> notifies;
};

// The world of the views' tests: a map of w x h samples, castles placed by hand, houses.
class MapViewTest : public GuiTest {
protected:
    void MakeWorld(int w, int h, int castles, int houses) {
        world_ = std::make_unique<test::TestWorld>(test::WorldOptions{.castles = castles, .houses = houses});
        ASSERT_TRUE(map_.SetData(GridCountry(w, h)));
        map_.TextureSetup();
        GameState& gs = world_->gs;
        gs.nKuni = 4;
        for (int d = 0; d < houses; ++d)
            gs.DaimyouTbl[d].toushu = 0;
        gs.nCurDaimyou = gs.nPlayerDaimyou = 0;
        for (int k = 0; k < 4; ++k)
            gs.KuniAreaTbl[k] = KuniAreaRecord{2, 10, 10, w / 2, h / 2};
    }
    void Place(int shiro, int x, int y, int kuni) {
        ShiroMapRecord& m = world_->gs.ShiroMapTbl[shiro];
        m.x = x;
        m.y = y;
        m.kuni = static_cast<std::uint8_t>(kuni);
    }
    static void Click(ui::Wnd& w, unsigned message, ui::Point p, unsigned flags = 0) {
        ui::Msg m;
        m.message = message;
        m.wnd = &w;
        m.pt = p;
        m.flags = flags;
        ui::Wnd::DispatchInput(m);
    }
    GameState& Gs() { return world_->gs; }

    std::unique_ptr<test::TestWorld> world_;
    MbKorMap::CCtrlKorMap map_;
    Recorder host_;
};

// ---- Country map --------------------------------------------------------------------------------

TEST_F(MapViewTest, CountryMapFitsItsClientArea) {
    MakeWorld(300, 200, 0, 1);
    struct Case {
        int cw, ch;
        double scale;
        ui::Size total;
        bool bars;
    } cases[] = {
        {620, 420, 2.0, {620, 420}, false},  // both ways exactly 2.0: no bars
        // Below the minimum width: 600 wide and scrolled; the horizontal bar takes room from
        // the height, so the vertical one shows too, and the second pass keeps the sizes.
        {420, 420, 2.0, {620, 420}, true},
        {1220, 820, 4.0, {1220, 820}, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(host_.Open(c.cw + 40, c.ch + 40));
        CKuniMapWnd view(&map_);
        ASSERT_TRUE(view.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                                  ui::Rect(0, 0, c.cw, c.ch), &host_, 2001));
        view.FitAndDrawMap(-1);
        EXPECT_DOUBLE_EQ(view.m_dScale, c.scale) << c.cw;
        EXPECT_EQ(view.m_TotalSize, c.total) << c.cw;
        EXPECT_EQ(view.IsScrollBarVisible(ui::SB_HORZ), c.bars) << c.cw;
        EXPECT_EQ(view.IsScrollBarVisible(ui::SB_VERT), c.bars) << c.cw;
        EXPECT_EQ(view.m_BackBmp.GetWidth(), c.total.cx - 20);
        view.DestroyWindow();
        host_.DestroyWindow();
    }
}

TEST_F(MapViewTest, LabelSizeFollowsTheMapWidth) {
    EXPECT_EQ(KuniMapLabelHeight(20, 600, 600), 20);
    EXPECT_EQ(KuniMapLabelHeight(20, 1200, 600), 40);
    EXPECT_EQ(KuniMapLabelHeight(20, 1200, 0), 20 * 1200);  // a width of 0 counts as 1
}

TEST_F(MapViewTest, CountryMapDotsTakeTheHousesColours) {
    MakeWorld(300, 200, 4, 3);
    Place(0, 50 * kU, 50 * kU, 0);    // own
    Place(1, 200 * kU, 50 * kU, 1);   // house 1, arch-enemy
    Place(2, 50 * kU, 150 * kU, 2);   // no house (F8: neutral)
    Place(3, 200 * kU, 150 * kU, 3);  // house 2, gone from the game
    world_->Own(1, 1);
    world_->Own(2, -1);
    world_->Own(3, 2);
    Gs().DaimyouTbl[0].SetRelationLo(1, 0);
    Gs().DaimyouTbl[2].toushu = -1;
    ASSERT_TRUE(host_.Open(660, 460));
    CKuniMapWnd view(&map_);
    view.SetGameState(&Gs());
    ASSERT_TRUE(view.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                              ui::Rect(0, 0, 620, 420), &host_, 2001));
    view.FitAndDrawMap(-1);
    view.DrawShiroMarksRelation(0, ui::RGB(50, 50, 255));
    auto centre = [&](int s) { return view.ShiroDotRect(s).TopLeft() + ui::Point(1, 1); };
    EXPECT_EQ(view.ShiroDotRect(0), ui::Rect(99, 99, 102, 102));  // 50 samples x 2.0, side 3
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(centre(0).x, centre(0).y), ui::RGB(50, 50, 255));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(centre(1).x, centre(1).y), ui::RGB(150, 0, 0));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(centre(2).x, centre(2).y), kNeutralShiroColor);
    // The raised edge: light above and left, dark below and right.
    const ui::Rect d = view.ShiroDotRect(0);
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(d.left - 1, d.top), ui::RGB(75, 75, 255));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(d.right, d.top), ui::RGB(12, 12, 63));
    // A disabled castle gets no dot from the relation marks, but one from the corps marks.
    Gs().ShiroDisabledBits.set(1);
    view.FitAndDrawMap(-1);
    view.DrawShiroMarksRelation(0, ui::RGB(50, 50, 255));
    EXPECT_NE(view.m_BackBmp.GetPixelColor(centre(1).x, centre(1).y), ui::RGB(150, 0, 0));
    view.DrawShiroMarksGundan(0, -1, ui::RGB(0, 0, 0));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(centre(1).x, centre(1).y), ui::RGB(150, 0, 0));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(centre(0).x, centre(0).y), ui::RGB(50, 80, 255));
    // The colour list: the listed house in its colour, an unlisted one red, no house neutral.
    const int houses[] = {2};
    const ui::COLORREF colours[] = {ui::RGB(0, 255, 0)};
    view.DrawShiroMarksColors(houses, colours, 1);
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(centre(3).x, centre(3).y), ui::RGB(0, 255, 0));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(centre(0).x, centre(0).y), ui::RGB(255, 0, 0));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(centre(2).x, centre(2).y), kNeutralShiroColor);
    // Frames around the besieged castles of a house, margin + 2 out from the dot.
    Gs().ShiroTbl[0].nBesieger = 1;
    view.FrameBesiegedShiro(0, 1, ui::RGB(255, 0, 0));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(d.left - 3, d.top - 3), ui::RGB(255, 0, 0));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(d.right + 2, d.bottom + 2), ui::RGB(255, 0, 0));
}

TEST_F(MapViewTest, CountryMapLabelsOfOtherProvincesAreDimmed) {
    MakeWorld(300, 200, 0, 1);
    Gs().nLabel = 2;
    Gs().ColorPallet[1] = ui::RGB(250, 200, 100);
    for (int i = 0; i < 2; ++i) {
        LabelRecord& l = Gs().LabelTbl[i];
        l.text = "■■";
        l.color = 1;
        l.flags = LabelRecord::kFlagWhole | LabelRecord::kFlagBold;
        l.fontHeight = 24;
        l.x = (80 + 140 * i) * kU;
        l.y = 100 * kU;
        l.kuni = static_cast<std::int16_t>(i == 0 ? -1 : 3);
    }
    ASSERT_TRUE(host_.Open(660, 460));
    CKuniMapWnd view(&map_);
    view.SetGameState(&Gs());
    ASSERT_TRUE(view.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                              ui::Rect(0, 0, 620, 420), &host_, 2001));
    view.FitAndDrawMap(2);
    // The middle of the first square: the full colour (no province); of the second: halved.
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(160 - 6, 200), ui::RGB(250, 200, 100));
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(440 - 6, 200), ui::RGB(125, 100, 50));
    view.FitAndDrawMap(3);
    EXPECT_EQ(view.m_BackBmp.GetPixelColor(440 - 6, 200), ui::RGB(250, 200, 100));
}

TEST_F(MapViewTest, CountryMapClicksAndRightDrag) {
    MakeWorld(300, 200, 0, 1);
    ASSERT_TRUE(host_.Open(460, 500));
    CKuniMapWnd view(&map_);
    // Narrower than the map's 620 pixels, higher than its 420: only the width scrolls.
    ASSERT_TRUE(view.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                              ui::Rect(0, 0, 420, 460), &host_, 2001));
    view.FitAndDrawMap(-1);
    ui::test::Grab(view);
    const ui::Point o = view.m_rcMap.TopLeft();
    ASSERT_EQ(o.x, 10);  // scrolled maps start 10 pixels in
    // Province 1 lies right of sample 150 (pixel 300) in the top half.
    Click(view, ui::WM_LBUTTONDOWN, o + ui::Point(320, 60));
    ASSERT_EQ(host_.commands.size(), 1u);
    EXPECT_EQ(host_.commands[0].id, 2001);
    EXPECT_EQ(view.m_nClickKuni, 1);
    // The sea: nothing sent, the last province kept.
    Click(view, ui::WM_LBUTTONDOWN, o + ui::Point(2, 2));
    EXPECT_EQ(host_.commands.size(), 1u);
    EXPECT_EQ(view.m_nClickKuni, 1);
    // A right click on province 2 notifies and starts a drag; the sea starts one too.
    Click(view, ui::WM_RBUTTONDOWN, o + ui::Point(60, 300), ui::MK_RBUTTON);
    ASSERT_EQ(host_.notifies.size(), 1u);
    EXPECT_EQ(host_.notifies[0].code, ui::NM_RCLICK);
    EXPECT_EQ(view.m_nClickKuni, 2);
    EXPECT_TRUE(view.m_bRDrag);
    // The map moves by the mouse's travel, along the horizontal axis only.
    Click(view, ui::WM_MOUSEMOVE, o + ui::Point(60 - 50, 300 - 40), ui::MK_RBUTTON);
    EXPECT_EQ(view.GetScrollPosition(), ui::Point(50, 0));
    Click(view, ui::WM_MOUSEMOVE, ui::Point(0, 0), 0);  // released without a button-up
    EXPECT_FALSE(view.m_bRDrag);
    Click(view, ui::WM_RBUTTONDOWN, o + ui::Point(2, 2), ui::MK_RBUTTON);
    EXPECT_EQ(host_.notifies.size(), 1u);
    EXPECT_TRUE(view.m_bRDrag);
}

TEST_F(MapViewTest, CountryMapBlinksBetweenItsTwoPictures) {
    MakeWorld(300, 200, 0, 1);
    ASSERT_TRUE(host_.Open(660, 460));
    CKuniMapWnd view(&map_);
    ASSERT_TRUE(view.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                              ui::Rect(0, 0, 620, 420), &host_, 2001));
    EXPECT_TRUE(view.HasTimer(CKuniMapWnd::kBlinkTimer));
    view.FitAndDrawMap(-1);
    view.m_CleanBmp.Duplicate(&view.m_BackBmp);
    view.PaintKuni(1, ui::RGB(255, 0, 0), true, 0, false);
    view.m_bBlink = true;
    const auto shot = [&] { return ui::test::Grab(view).pixel(10 + 400, 10 + 100) & 0xFFFFFF; };
    view.OnTimer(CKuniMapWnd::kBlinkTimer);
    const QRgb off = shot();
    view.OnTimer(CKuniMapWnd::kBlinkTimer);
    const QRgb on = shot();
    const ui::COLORREF painted = view.m_BackBmp.GetPixelColor(400, 100),
                       clean = view.m_CleanBmp.GetPixelColor(400, 100);
    EXPECT_EQ(on, (ui::GetRValue(painted) << 16u) | (ui::GetGValue(painted) << 8u) | ui::GetBValue(painted));
    EXPECT_EQ(off, (ui::GetRValue(clean) << 16u) | (ui::GetGValue(clean) << 8u) | ui::GetBValue(clean));
    EXPECT_NE(off, on);
}

// ---- Castle view --------------------------------------------------------------------------------

class CastleViewTest : public MapViewTest {
protected:
    // Castles 0..n-1 at the given sample points, every one in province 0.
    void Open(int cw, int ch, const std::vector<ui::Point>& samples) {
        MakeWorld(300, 200, static_cast<int>(samples.size()), 3);
        for (std::size_t i = 0; i < samples.size(); ++i)
            Place(static_cast<int>(i), samples[i].x * kU, samples[i].y * kU, 0);
        ResetKuniViewCentres();
        ASSERT_TRUE(host_.Open(cw + 40, ch + 40));
        view_ = std::make_unique<CShiroMapWnd>(&map_);
        view_->SetGameState(&Gs());
        ASSERT_TRUE(view_->CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                                    ui::Rect(0, 0, cw, ch), &host_, 2002));
    }
    void TearDown() override {
        view_.reset();
        MapViewTest::TearDown();
    }
    // The back-buffer pixel of a sample point.
    ui::Point Px(int sx, int sy) const { return view_->FloorPoint(sx * kU, sy * kU); }
    ui::COLORREF At(ui::Point p) const { return view_->m_BackBmp.GetPixelColor(p.x, p.y); }

    std::unique_ptr<CShiroMapWnd> view_;
};

TEST_F(CastleViewTest, LayoutWidensANarrowAreaAndShowsTheCheckerPastTheMap) {
    Open(700, 500, {{40, 40}});
    // Province area (10, 10)-(150, 100) at 2: 280 x 180 pixels in room for 672 x 472.
    view_->UpdateLayout(0);
    // Widened by 392 / 2 / 2 = 98 samples to the left, past the map's edge by 88 samples; by
    // 292 / 2 / 2 = 73 samples upwards, past the top by 63.
    EXPECT_EQ(view_->MapOffset(), ui::Point(176, 126));
    EXPECT_EQ(view_->AreaPixelSize(), ui::Size(672, 472));
    EXPECT_EQ(view_->View().left, 0);
    EXPECT_EQ(view_->TotalSize(), ui::Size(700, 500));
    const QImage shot = ui::test::Grab(*view_);
    const ui::Rect a = view_->AreaRect();
    EXPECT_EQ(a.TopLeft(), ui::Point(14, 14));
    // The checkerboard left of the map: light where x and y are both even or both odd.
    EXPECT_EQ(shot.pixel(a.left + 2, a.top + 2) & 0xFFFFFF, 0xC0C0C0u);
    EXPECT_EQ(shot.pixel(a.left + 3, a.top + 2) & 0xFFFFFF, 0x606060u);
    // The white and black frame lines.
    EXPECT_EQ(shot.pixel(a.left - 1, a.top + 5) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(shot.pixel(a.left - 2, a.top + 5) & 0xFFFFFF, 0u);
    EXPECT_EQ(view_->GetScrollPosition(), ui::Point(0, 0));
}

TEST_F(CastleViewTest, CastleHitEdgesAreExclusiveAndCastlesWinOverProvinces) {
    Open(400, 300, {{60, 60}});
    view_->UpdateLayout(0);
    view_->RedrawWindow();
    const ui::Rect r = view_->m_ShiroRect[0];
    const ui::Point c((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const ui::Point to = view_->AreaRect().TopLeft() + view_->MapOffset();
    struct Case {
        int dx, dy;
        int shiro;
    } cases[] = {{-10, -10, 0}, {9, 9, 0}, {10, 0, -1}, {0, 10, -1}, {-11, 0, -1}};
    for (const Case& k : cases) {
        host_.commands.clear();
        Click(*view_, ui::WM_LBUTTONDOWN, to + c + ui::Point(k.dx, k.dy));
        EXPECT_EQ(view_->m_nClickShiro, k.shiro) << k.dx << "," << k.dy;
        // Off the castle the click lands in province 0 (the castle's own).
        EXPECT_EQ(view_->m_nClickKuni, k.shiro == -1 ? 0 : -1) << k.dx << "," << k.dy;
        EXPECT_EQ(host_.commands.size(), 1u);
    }
    // The sea reports nothing.
    host_.commands.clear();
    Click(*view_, ui::WM_LBUTTONDOWN, to + ui::Point(2, 2));
    EXPECT_EQ(view_->m_nClickKuni, -1);
    EXPECT_TRUE(host_.commands.empty());
}

TEST_F(CastleViewTest, TheCentreOfAProvinceIsRememberedAfterADrag) {
    Open(300, 200, {{60, 60}});
    Gs().KuniAreaTbl[0].type = 4;
    view_->UpdateLayout(0);
    const ui::Point first = view_->GetScrollPosition();
    Click(*view_, ui::WM_RBUTTONDOWN, ui::Point(150, 100), ui::MK_RBUTTON);
    Click(*view_, ui::WM_MOUSEMOVE, ui::Point(110, 80), ui::MK_RBUTTON);
    const ui::Point moved = view_->GetScrollPosition();
    EXPECT_EQ(moved, first + ui::Point(40, 20));
    EXPECT_EQ(view_->m_nBlinkPause, 2);
    Click(*view_, ui::WM_RBUTTONUP, ui::Point(110, 80));
    view_->UpdateLayout(1);
    view_->UpdateLayout(0);
    EXPECT_EQ(view_->GetScrollPosition(), moved);
    ResetKuniViewCentres();
    view_->UpdateLayout(0);
    EXPECT_EQ(view_->GetScrollPosition(), first);
}

TEST_F(CastleViewTest, RoadsFollowTheirRoutes) {
    // Castles in a row; each case draws one connection and checks pixels on and off it.
    Open(700, 500, {{30, 30}, {110, 30}, {30, 90}, {110, 90}});
    GameState& gs = Gs();
    const ui::COLORREF road = ui::RGB(230, 215, 150);
    auto route = [&](std::vector<ui::Point> pts) {
        // The entry before a run names its rectangle: the whole map here.
        int first = gs.nRoutePoint == 0 ? 1 : gs.nRoutePoint;
        gs.ShiroRoutePoints[first - 1].y = static_cast<int>(gs.ShiroRouteRects.size());
        gs.ShiroRouteRects.push_back(RouteRect{0, 0, 300 * kU, 200 * kU});
        int i = first;
        for (ui::Point p : pts)
            gs.ShiroRoutePoints[i++] = RoutePoint{p.x * kU, p.y * kU};
        gs.ShiroRoutePoints[i++] = RoutePoint{-1, -1};
        gs.nRoutePoint = i + 1;
        return first;
    };
    auto link = [&](int a, int b, int routeIndex, std::uint8_t flags) {
        ShiroMapRecord& m = gs.ShiroMapTbl[a];
        m.connect[m.ConnectionCount()] =
            ShiroConnection{static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(routeIndex), 0, flags};
    };
    auto clear = [&] {
        for (int s = 0; s < 4; ++s)
            gs.ShiroMapTbl[s].ClearConnections();
        gs.nRoutePoint = 0;
        gs.ShiroRouteRects.clear();
    };
    struct Probe {
        int sx, sy;
        bool road;
    };
    auto check = [&](const char* name, std::vector<Probe> probes) {
        view_->UpdateLayout(0);
        for (const Probe& p : probes)
            EXPECT_EQ(At(Px(p.sx, p.sy)) == road, p.road) << name << " at " << p.sx << "," << p.sy;
    };

    clear();
    link(0, 1, 0xFFFF, 0);
    check("straight", {{70, 30, true}, {70, 40, false}});
    clear();
    link(0, 1, 0xFFFF, 0x10);
    check("straight, hidden at this end", {{70, 30, false}});
    clear();
    link(0, 1, 0xFFFF, 0x20);
    check("straight, hidden at the other end", {{70, 30, false}});
    // A polyline through (70, 50): pieces 0 -> (70, 50) -> 1.
    clear();
    link(0, 1, route({{70, 50}}), 0x10);
    check("polyline, first piece hidden", {{50, 40, false}, {90, 40, true}, {70, 30, false}});
    // Held by the other castle: drawn once, along the route of castle 1.
    clear();
    link(0, 1, 0xFFFE, 0);
    link(1, 0, route({{70, 50}}), 0);
    check("held by the neighbour", {{50, 40, true}, {90, 40, true}, {70, 30, false}});
    // Curved: one point (odd) is one arc to the neighbour; two points end straight.
    clear();
    link(0, 1, route({{70, 14}}), 0x01);
    check("arc through one point", {{70, 14, true}, {70, 30, false}});
    clear();
    link(2, 3, route({{50, 75}, {70, 90}}), 0x01);
    check("arc and a straight end", {{90, 90, true}, {50, 75, true}});
}

TEST_F(CastleViewTest, AWrappingRoadRunsOffBothEdges) {
    Open(900, 500, {{12, 40}, {288, 40}});
    GameState& gs = Gs();
    gs.KuniAreaTbl[0] = KuniAreaRecord{2, 0, 0, 300, 100};
    gs.ShiroMapTbl[0].connect[0] = ShiroConnection{1, 0xFFFF, 0, 0x40};
    view_->UpdateLayout(0);
    const ui::COLORREF road = ui::RGB(230, 215, 150);
    EXPECT_EQ(At(Px(6, 40)), road);
    EXPECT_EQ(At(Px(294, 40)), road);
    EXPECT_NE(At(Px(150, 40)), road);
}

TEST_F(CastleViewTest, StylesFollowTheRelationToTheCurrentHouse) {
    Open(400, 300, {{40, 40}});
    GameState& gs = Gs();
    struct Case {
        int owner, state, masterState;
        bool far;
        int style, colourIndex;
    } cases[] = {
        {0, 1, 1, false, 0, 5},  {0, 1, 1, true, 6, 5},   {1, 0, 0, false, 2, 11}, {1, 1, 1, false, 1, 7},
        {1, 1, 0, false, 2, 11}, {1, 2, 2, false, 3, 8},  {1, 4, 4, false, 4, 9},  {1, 7, 7, false, 5, 6},
        {1, 8, 8, true, 6, 6},   {1, 9, 9, false, 0, 10}, {-1, 0, 0, false, 6, 0},
    };
    for (const Case& c : cases) {
        world_->Own(0, c.owner);
        gs.DaimyouTbl[1].bond = CDaimyou::kBondShinjuu;
        gs.DaimyouTbl[1].masterDaimyou = 2;
        gs.DaimyouTbl[0].SetRelationLo(1, c.state);
        gs.DaimyouTbl[0].SetRelationLo(2, c.masterState);
        view_->m_bShowDistance = c.far;
        view_->m_Distance[0] = static_cast<std::int16_t>(c.far ? 1000 : 0);
        EXPECT_EQ(view_->GetShiroStyle(0), c.style) << c.owner << " state " << c.state;
        EXPECT_EQ(view_->GetRelationColorIndex(c.owner), c.colourIndex) << c.owner << " state " << c.state;
    }
}

TEST_F(CastleViewTest, CastlesLabelsAndBlinking) {
    Open(700, 500, {{40, 40}, {120, 40}, {200, 150}});
    GameState& gs = Gs();
    gs.ShiroMapTbl[2].kuni = 3;  // a castle of another province
    world_->Own(1, -1);          // a castle without a house
    gs.nLabel = 1;
    gs.ColorPallet[2] = ui::RGB(200, 100, 60);
    gs.LabelTbl[0] = LabelRecord{"■", 2, LabelRecord::kFlagBold, 30, 80 * kU, 80 * kU, 3};
    view_->UpdateLayout(0);
    const ui::Rect r0 = view_->m_ShiroRect[0];
    const ui::Point c0((r0.left + r0.right) / 2, (r0.top + r0.bottom) / 2);
    // The own castle's square in style 0, its bevel lighter at the top-left corner.
    EXPECT_EQ(At(c0 + ui::Point(-5, 5)), ShiroStyleColor(0));
    EXPECT_EQ(At(c0 + ui::Point(-10, -10)), ui::RGB((60 + 460) / 3, (70 + 460) / 3, (255 + 460) / 3));
    // The castle without a house in the neutral style.
    const ui::Rect r1 = view_->m_ShiroRect[1];
    EXPECT_EQ(At(ui::Point(r1.left + 5, r1.top + 13)), ShiroStyleColor(6));
    // The label of another province at half brightness.
    EXPECT_EQ(At(Px(80, 80) + ui::Point(-4, 0)), ui::RGB(100, 50, 30));
    // The blinking castle at phase 3 is white.
    view_->m_CleanBmp.Duplicate(&view_->m_BackBmp);
    view_->m_nBlinkShiro = 0;
    view_->m_nBlinkPhase = 3;
    view_->TakeDirtyRect();
    view_->DrawOverlays(true);
    EXPECT_EQ(At(c0 + ui::Point(-5, 5)), ui::RGB(255, 255, 255));
    const ui::Rect dirty = view_->TakeDirtyRect();
    EXPECT_TRUE(dirty.PtInRect(c0));
    EXPECT_LT(dirty.Width(), 400);
}

// ---- Siege and blockade marks ---------------------------------------------------------------------

TEST(SiegeGeometry, SegmentAndArcCrossings) {
    const double pi = std::acos(-1.0);
    struct Case {
        const char* name;
        double got, want;
    } cases[] = {
        {"end on the circle", SegmentCrossAngle(0, 0, 10, 0, 10, 50, 50), pi / 2},
        {"both inside", SegmentCrossAngle(0, 0, 10, 1, 1, 2, 2), kNoCrossAngle},
        {"both outside", SegmentCrossAngle(0, 0, 10, 20, 0, 0, 20), kNoCrossAngle},
        {"leaving to the right", SegmentCrossAngle(0, 0, 10, 0, 0, 30, 0), 0.0},
        {"leaving downwards", SegmentCrossAngle(0, 0, 10, 0, 0, 0, 30), pi / 2},
        // From outside in: the crossing further along the direction, beyond the end point.
        {"coming in from the left", SegmentCrossAngle(0, 0, 10, -30, 0, 0, 0), 0.0},
        {"arc end on the circle", ArcCrossAngle(0, 0, 10, 10, 0, 20, 5, 30, 0), 0.0},
        {"arc both outside", ArcCrossAngle(0, 0, 10, 20, 0, 25, 5, 30, 0), kNoCrossAngle},
        {"arc collinear", ArcCrossAngle(0, 0, 10, 0, 0, 10, 0, 30, 0), kNoCrossAngle},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.got, c.want, 1e-9) << c.name;
    // An arc from the centre out through (20, 20) to (40, 0) leaves below the x axis.
    const double a = ArcCrossAngle(0, 0, 10, 0, 0, 20, 20, 40, 0);
    EXPECT_GT(a, 0.0);
    EXPECT_LT(a, pi / 2);
    Circle k;
    ASSERT_TRUE(CircleThroughPoints(0, 0, 10, 10, 20, 0, k));
    EXPECT_NEAR(k.cx, 10, 1e-9);
    EXPECT_NEAR(k.cy, 0, 1e-9);
    EXPECT_NEAR(k.r, 10, 1e-9);
    const Shift s = WrapShift(590, 0, 10, 0, true, false, 600, 400);
    EXPECT_EQ(s.dx, 600);
    EXPECT_TRUE(WrapShift(590, 0, 10, 0, false, true, 600, 400).IsZero());
}

TEST_F(CastleViewTest, SiegeCircleAndBlockadeArcs) {
    Open(700, 500, {{40, 40}, {100, 40}, {40, 90}});
    GameState& gs = Gs();
    // Castle 0 besieged by the current house (circle colour 5), castle 2 blockaded by house 1
    // (arch-enemy: colour 11) with a sea route to castle 1 shorter than nothing: the arcs
    // point at the neighbour.
    gs.ShiroTbl[0].nBesieger = 2;
    gs.ShiroTbl[0].besiegerDaimyou = 0;
    world_->Own(0, 1);
    gs.ShiroTbl[2].blockadeDaimyou = 1;
    gs.DaimyouTbl[0].SetRelationLo(1, 0);
    gs.ShiroMapTbl[2].connect[0] = ShiroConnection{1, 0xFFFF, 3, 0};
    view_->UpdateLayout(0);
    const ui::Point p0 = Px(40, 40);
    // Siege radius 20 (the built-in type): the ring passes 20 pixels left of the castle.
    EXPECT_EQ(At(p0 + ui::Point(-20, 0)), ui::RGB(50, 60, 255));
    EXPECT_EQ(At(p0 + ui::Point(20, 0)), ui::RGB(50, 60, 255));
    // Blockade radius 30: arcs 30 +- 2 pixels out towards castle 1 (up and right).
    const ui::Point p2 = Px(40, 90);
    const double th = std::atan2(-50.0, 60.0);
    const ui::Point onArc(p2.x + static_cast<int>(std::lround(std::cos(th) * 32)),
                          p2.y + static_cast<int>(std::lround(std::sin(th) * 32)));
    EXPECT_EQ(At(onArc), ui::RGB(150, 0, 0));
    const ui::Point away(p2.x - 32, p2.y);
    EXPECT_NE(At(away), ui::RGB(150, 0, 0));
}

TEST_F(CastleViewTest, OwnerLabelsNameTheHouseOrTheCorps) {
    Open(700, 500, {{60, 60}});
    Gs().DaimyouTbl[0].name = "■■■■";
    world_->Own(0, 0, 3);
    // The label's text sits at the bottom of a 48-pixel box centred on the castle, 1 pixel up
    // (thin strokes of the kanji are never wholly covered: near the colour is enough).
    auto Near = [](ui::COLORREF a, ui::COLORREF b) {
        return std::abs(int(ui::GetRValue(a)) - int(ui::GetRValue(b))) < 30 &&
               std::abs(int(ui::GetGValue(a)) - int(ui::GetGValue(b))) < 30 &&
               std::abs(int(ui::GetBValue(a)) - int(ui::GetBValue(b))) < 30;
    };
    auto labelled = [&] {
        view_->UpdateLayout(0);
        const ui::Point p = Px(60, 60);
        for (int y = p.y + 8; y < p.y + 24; ++y)
            for (int x = p.x - 30; x < p.x + 30; ++x)
                if (Near(At(ui::Point(x, y)), ui::RGB(180, 220, 200))) return true;
        return false;
    };
    EXPECT_TRUE(labelled());
    view_->m_bShowDaimyouName = false;
    view_->m_nGundan = -1;
    EXPECT_FALSE(labelled());  // corps mode without a corps: no labels at all
    view_->m_nGundan = 3;
    Gs().DaimyouTbl[0].name = "";
    EXPECT_TRUE(labelled());  // 軍団所領
}

TEST_F(CastleViewTest, BlockadeArcsFaceWhereTheSeaRouteLeaves) {
    // Castle 0 at (40, 90); castle 1 holds the route to it through (70, 40) and (40, 60);
    // castle 2 lies inside the blockade circle; castle 3 holds a route with no way back.
    Open(700, 500, {{40, 90}, {100, 40}, {50, 95}, {120, 120}});
    GameState& gs = Gs();
    const double pi = std::acos(-1.0);
    gs.ShiroRoutePoints[0].y = 0;
    gs.ShiroRouteRects.push_back(RouteRect{0, 0, 300 * kU, 200 * kU});
    gs.ShiroRoutePoints[1] = RoutePoint{70 * kU, 40 * kU};
    gs.ShiroRoutePoints[2] = RoutePoint{40 * kU, 60 * kU};
    gs.ShiroRoutePoints[3] = RoutePoint{-1, -1};
    gs.nRoutePoint = 4;
    gs.ShiroMapTbl[0].connect[0] = ShiroConnection{1, 0xFFFE, 3, 0};
    gs.ShiroMapTbl[0].connect[1] = ShiroConnection{2, 0xFFFF, 3, 0};
    gs.ShiroMapTbl[0].connect[2] = ShiroConnection{3, 0xFFFE, 3, 0};
    gs.ShiroMapTbl[0].connect[3] = ShiroConnection{1, 0xFFFF, 3, 0};
    gs.ShiroMapTbl[1].connect[0] = ShiroConnection{0, 1, 3, 0};
    gs.ShiroMapTbl[3].connect[0] = ShiroConnection{0, 0xFFFE, 3, 0};
    view_->UpdateLayout(0);
    const ui::Point p = view_->DoublePoint(40 * kU, 90 * kU);
    const double rb = 60;
    struct Case {
        const char* name;
        int conn;
        double want;
    } cases[] = {
        {"held by the neighbour: walked backwards, up to (40, 60)", 0, -pi / 2},
        {"inside the circle: straight at the neighbour", 1, std::atan2(5.0, 10.0)},
        {"no way back", 2, kNoCrossAngle},
        {"straight", 3, std::atan2(-50.0, 60.0)},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(view_->BlockadeAngle(0, c.conn, p, rb), c.want, 0.02) << c.name;
}

TEST_F(CastleViewTest, OddStatesDrawWithoutFault) {
    // Castles of a vanished house, of no house, outside the map's provinces, of an unknown type,
    // linked to castles that do not exist, by routes that do not exist; a province without castles
    // and one without a display area.
    Open(500, 400, {{40, 40}, {120, 40}, {200, 150}, {5, 5}});
    GameState& gs = Gs();
    gs.DaimyouTbl[2].toushu = -1;
    world_->Own(0, 2);
    world_->Own(1, -1);
    world_->Own(2, 999);
    gs.ShiroMapTbl[2].kuni = 200;
    gs.ShiroMapTbl[3].shiroType = 777;
    gs.ShiroMapTbl[0].connect[0] = ShiroConnection{9000, 0xFFFF, 0, 0};
    gs.ShiroMapTbl[0].connect[1] = ShiroConnection{1, 50000, 3, 1};
    gs.ShiroMapTbl[1].connect[0] = ShiroConnection{0, 0xFFFE, 3, 0};
    for (int s = 0; s < 4; ++s) {
        gs.ShiroTbl[s].nBesieger = 1;
        gs.ShiroTbl[s].besiegerDaimyou = static_cast<std::int16_t>(s == 0 ? -5 : 998);
        gs.ShiroTbl[s].blockadeDaimyou = static_cast<std::int16_t>(s == 1 ? 1 : -1);
    }
    gs.KuniAreaTbl[1] = KuniAreaRecord{0, 0, 0, 0, 0};
    gs.nCurDaimyou = -1;
    for (int k = -1; k < 5; ++k) {
        view_->UpdateLayout(k);
        view_->Redraw();
        ui::test::Grab(*view_);
    }
    view_->UpdateLayout(1);
    EXPECT_EQ(view_->Zoom(), 1.0);  // no display area: the whole map at magnification 1
    CKuniMapWnd country(&map_);
    country.SetGameState(&Gs());
    ASSERT_TRUE(country.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, ui::Rect(0, 0, 300, 200), &host_, 2001));
    country.FitAndDrawMap(-1);
    country.DrawShiroMarksRelation(2, ui::RGB(1, 2, 3));
    country.DrawShiroMarksGundan(999, 5, ui::RGB(1, 2, 3));
    const int houses[] = {-1, 2, 999};
    const ui::COLORREF colours[] = {1, 2, 3};
    country.DrawShiroMarksColors(houses, colours, 3);
    country.FrameBesiegedShiro(2, 1, ui::RGB(255, 0, 0));
    ui::test::Grab(country);
}

TEST_F(MapViewTest, ImposeDiagnosticsListBothBitmaps) {
    MbBmp::CControlBmp dst, src;
    dst.CreateBitmap(40, 30, 24);
    const std::string text = CShiroMapWnd::ImposeDumpText(
        "step の MbBmp::Impose8BitBmpWithCompress()でエラー発生", &dst, &src, 3, -4, 1);
    EXPECT_EQ(text.rfind(
                  "step の MbBmp::Impose8BitBmpWithCompress()でエラー発生\r\nOffset X=3, Y=-4\r\nStep = 1\r\n"
                  "DST Width = 40, Height = 30\r\nDST BufferAddress = ",
                  0),
              0u);
    EXPECT_NE(text.find("DST BmpWidth = 40, BmpHeight = 30\r\nSRC hbmp = NULL\r\n"), std::string::npos);
    CTextMsgDlg dlg;
    dlg.m_strText = text;
    Script().OnDialog([](ui::Dialog& d) {
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("impose_diagnostics")));
        d.EndDialog(ui::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

// ---- Province switch dialog ------------------------------------------------------------------------

TEST_F(MapViewTest, ProvinceSwitchTakesOnlyProvincesWithCastles) {
    MakeWorld(300, 200, 1, 1);
    Place(0, 200 * kU, 50 * kU, 1);
    // Province 0 has no castle, the sea no province: the dialog stays; province 1 ends it.
    CKuniDispSwitchDlg dlg(&map_, &Gs());
    Script().OnDialog([&](ui::Dialog& d) {
        auto& s = dynamic_cast<CKuniDispSwitchDlg&>(d);
        CKuniMapWnd& m = s.Map();
        ui::test::Grab(m);
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("province_switch")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("province_switch@2x"), 2.0));
        const ui::Point o = m.m_rcMap.TopLeft();
        const double k = m.m_dScale;
        auto at = [&](int sx, int sy) {
            return o + ui::Point(static_cast<int>(sx * k), static_cast<int>(sy * k));
        };
        Click(m, ui::WM_LBUTTONDOWN, at(50, 50));
        EXPECT_FALSE(s.IsEnded());
        Click(m, ui::WM_LBUTTONDOWN, at(2, 2));
        EXPECT_FALSE(s.IsEnded());
        EXPECT_EQ(s.m_nKuni, -1);
        Click(m, ui::WM_LBUTTONDOWN, at(200, 50));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(dlg.m_nKuni, 1);
    CKuniDispSwitchDlg cancelled(&map_, &Gs());
    Script().OnDialog([](ui::Dialog& d) { d.EndDialog(ui::IDCANCEL); });
    EXPECT_EQ(cancelled.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(cancelled.m_nKuni, -1);
}

// ---- The main window's part -----------------------------------------------------------------------

TEST_F(MapViewTest, CastleInformationRestrictions) {
    MakeWorld(300, 200, 3, 3);
    GameState& gs = Gs();
    world_->Own(1, 1);
    gs.ShiroTbl[1].besiegerDaimyou = 0;
    world_->Own(2, -1);
    auto restrict = [&](int shiro, int kind) {
        gs.ExclusionList.push_back(static_cast<int>((static_cast<std::uint32_t>(kind) << 28) | shiro));
    };
    EXPECT_EQ(ShiroInfoAccessFor(gs, 1), ShiroInfoAccess::kAllowed);  // no entry
    restrict(0, 0);
    restrict(1, 2);
    restrict(2, 0);
    EXPECT_EQ(ShiroInfoAccessFor(gs, 0), ShiroInfoAccess::kAllowed);  // the player's own
    EXPECT_EQ(ShiroInfoAccessFor(gs, 1), ShiroInfoAccess::kAllowed);  // besieged by the player
    EXPECT_EQ(ShiroInfoAccessFor(gs, 2), ShiroInfoAccess::kRefused);  // nobody's: not the player's side
    gs.ShiroTbl[1].besiegerDaimyou = -1;
    EXPECT_EQ(ShiroInfoAccessFor(gs, 1), ShiroInfoAccess::kRefused);
    gs.ExclusionList.insert(gs.ExclusionList.begin(), static_cast<int>((3u << 28) | 1u));
    EXPECT_EQ(ShiroInfoAccessFor(gs, 1), ShiroInfoAccess::kSilent);  // the first entry decides
}

TEST(DisplayTimer, PeriodLessTheTicksOwnTime) {
    struct Case {
        bool castleView;
        int elapsed, period;
    } cases[] = {{false, 0, 100}, {false, 30, 70}, {false, 95, 10}, {false, 400, 10},
                 {true, 0, 70},   {true, 55, 15},  {true, 61, 10}};
    for (const Case& c : cases)
        EXPECT_EQ(NextDisplayTimerPeriod(c.castleView, c.elapsed), c.period)
            << c.castleView << " " << c.elapsed;
}

}  // namespace
}  // namespace rymd::gui_test
