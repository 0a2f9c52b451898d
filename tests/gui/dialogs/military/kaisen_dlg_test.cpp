// The naval-battle dialog: its controls and texts, the board's fleets, labels and texts at stated
// points, the flashes of the lists, the buttons each state allows, a whole battle played by
// clicks through the battle runner and the Qt port (the result coming back through the session),
// the battle music, and the gallery pictures.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "game/military/battle_runners.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/military/kaisen_dlg.h"
#include "game/shell/music/music_player.h"
#include "game/shell/port/qt_port.h"
#include "game/state/vocabulary.h"
#include "gui/gui_test_util.h"
#include "gui/recording_music_backend.h"
#include "platform/qt/list_ctrl.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;
using Geometry = KaisenBoardGeometry;

constexpr int kGarrison1 = CKaisen::kGarrisonBit | 1;

// The player's house 織田 at 鳥羽城 with two generals against 毛利 at 能島城 with a general and
// the castle's garrison; ten soldiers a unit.
struct Fleets {
    test::TestWorld w{{.castles = 2, .houses = 2, .soldierUnit = 10}};
    int admiral = -1;  // the player's best naval commander
    int captain = -1;
    int enemy = -1;
    Fleets() {
        w.Own(1, 1);
        w.gs.DaimyouTbl[0].name = "織田";
        w.gs.DaimyouTbl[1].name = "毛利";
        w.gs.ShiroMapTbl[0].name = "鳥羽城";
        w.gs.ShiroMapTbl[1].name = "能島城";
        w.gs.ShiroTbl[1].shubihei = 40;
        captain = w.AddBushou(0, 0, {.name = "向井正綱", .foot = 60, .cavalry = 10, .chibou = 4, .buyuu = 6});
        admiral = w.AddBushou(0, 0, {.name = "九鬼嘉隆", .foot = 90, .cavalry = 20, .chibou = 7, .buyuu = 8});
        enemy = w.AddBushou(1, 1, {.name = "村上武吉", .foot = 80, .cavalry = 0, .chibou = 6, .buyuu = 7});
        w.gs.BushouTbl[captain].suigunTousotsu = 5;
        w.gs.BushouTbl[admiral].suigunTousotsu = 9;
        w.gs.BushouTbl[enemy].suigunTousotsu = 8;
    }
    // Rain this month over the battle's castle.
    void Rain() { w.gs.KuniEventFlags[w.gs.ShiroMapTbl[1].kuni] |= kKuniFlagNoTeppou; }
};

// The engine as the runner fills it: the player's side first.
struct Battle {
    CKaisen k;
    KaisenSession session;
    Battle(Fleets& f, std::array<int, 2> ships = {1, 8}, int otherShiro = -1)
        : k(f.w.gs), session{k, 1, otherShiro, {0, 1}, 1, -1} {
        k.attacker = 1;
        k.count = {2, 2};
        k.units[0][0] = f.captain;
        k.units[0][1] = f.admiral;
        k.units[1][0] = kGarrison1;
        k.units[1][1] = f.enemy;
        k.ships = ships;
        k.castles = {1, otherShiro};
    }
};

// Waits recorded instead of waited; the clock stands still, so every turn asks for 400 ms.
struct Pacing {
    std::vector<int> waits;
    std::function<void(int)> onWait;
    void Install(CKaisenDlg& dlg) {
        dlg.SetPacing(
            [this](int ms) {
                waits.push_back(ms);
                if (onWait) onWait(ms);
            },
            [] { return 1000u; });
    }
};

Rect ChildRect(ui::Wnd& dialog, ui::Wnd& child) {
    Rect r = child.GetWindowRect();
    dialog.ScreenToClient(r);
    return r;
}

bool Light(ui::COLORREF c) {
    return ui::GetRValue(c) > 200 && ui::GetGValue(c) > 200 && ui::GetBValue(c) > 200;
}

int CountColour(const MbBmp::CControlBmp& b, const Rect& r, ui::COLORREF c) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += b.GetPixelColor(x, y) == c;
    return n;
}

int CountLight(const MbBmp::CControlBmp& b, const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += Light(b.GetPixelColor(x, y));
    return n;
}

std::vector<std::string> Row(ui::ListCtrl& l, int row) {
    std::vector<std::string> out;
    for (int c = 0; c < l.GetColumnCount(); ++c)
        out.push_back(l.GetItemText(row, c));
    return out;
}

class KaisenDlgTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        shell::PictureStore().SetFolder(
            (std::filesystem::path(RYMD_GALLERY_DIR).parent_path() / "picture").string() + "/");
    }
    // The next message box is answered with OK; its text is kept.
    void ExpectBox(std::string* text) {
        Script().OnDialog([text](ui::Dialog& d) {
            *text = dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText;
            d.EndDialog(ui::IDOK);
        });
    }
};

// ---- the board's geometry --------------------------------------------------------------------------

TEST(KaisenBoardGeometryTest, FleetsStandOnTheirCellsInRotatedWedges) {
    EXPECT_EQ(Geometry::FleetX(0, 2), 143);
    EXPECT_EQ(Geometry::FleetX(1, 7), 378);
    // 13 degrees about (245, 110): x' = X cos - Y sin, y' = -(X sin + Y cos), truncated.
    EXPECT_EQ(Geometry::Rotate(245, 110), Point(245, 110));
    EXPECT_EQ(Geometry::Rotate(345, 110), Point(342, 88));
    EXPECT_EQ(Geometry::Rotate(145, 110), Point(148, 132));
    EXPECT_EQ(Geometry::Rotate(245, 127), Point(242, 94));

    // Row r holds r + 1 ships; the first row is row 2 from seven ships, row 1 for five or six.
    struct Case {
        int ships;
        int firstRowShips;
    } cases[] = {{1, 1}, {4, 1}, {5, 2}, {6, 2}, {7, 3}, {30, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ships);
        int bit = 0;
        const std::vector<KaisenShipPlace> fleet = Geometry::Fleet(200, 1, c.ships, bit);
        ASSERT_EQ(fleet.size(), static_cast<std::size_t>(c.ships));
        EXPECT_EQ(bit, 2 * c.ships);  // two jitter bits a ship
        EXPECT_TRUE(std::is_sorted(fleet.begin(), fleet.end(),
                                   [](const auto& a, const auto& b) { return a.y < b.y; }));
        // The first row's ships stand nearest the front (the smallest x of a fleet sailing left
        // to right lies behind it).
        int front = 0;
        for (const KaisenShipPlace& p : fleet)
            front += p.x + Geometry::kIconLeft >= Geometry::Rotate(200, 110).x - 20 &&
                     p.x + Geometry::kIconLeft <= Geometry::Rotate(200, 110).x + 20;
        EXPECT_GE(front, c.firstRowShips);
    }
    // One ship: its point is the rotated first row, moved by its two jitter bits.
    int bit = 0;
    const KaisenShipPlace one = Geometry::Fleet(143, -1, 1, bit)[0];
    const Point p = Geometry::Rotate(143, 110);
    EXPECT_EQ(one.x, p.x + (Geometry::JitterBit(0) ? 1 : 0) - 38);
    EXPECT_EQ(one.y, p.y + (Geometry::JitterBit(1) ? 1 : 0) - 25);
    // The jitter table restarts after its hundred bytes.
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(Geometry::JitterBit(i), Geometry::JitterBit(i + 800));
}

// ---- the dialog ------------------------------------------------------------------------------------

TEST_F(KaisenDlgTest, TheControlsTextsAndListsOfTheOpeningTurn) {
    Fleets f;
    f.w.gs.ScenarioWords[36] = "焙烙玉攻撃";
    f.w.gs.ScenarioWords[2] = "騎兵";
    Battle b(f);
    CKaisenDlg dlg(b.session);
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "海戦");
        struct Button {
            int id;
            const char* text;
        } buttons[] = {{CKaisenDlg::kAdvanceId, "前進"},          {CKaisenDlg::kFireBombId, "焙烙玉攻撃"},
                       {CKaisenDlg::kBoardingId, "接舷乗船攻撃"}, {CKaisenDlg::kWaitId, "待機"},
                       {CKaisenDlg::kRetreatId, "退却"},          {CKaisenDlg::kCloseId, "閉じる"}};
        for (const Button& btn : buttons) {
            ASSERT_NE(d.GetDlgItem(btn.id), nullptr) << btn.id;
            EXPECT_EQ(d.GetDlgItem(btn.id)->GetWindowText(), btn.text);
        }
        EXPECT_FALSE(d.GetDlgItem(CKaisenDlg::kCloseId)->IsWindowVisible());
        EXPECT_EQ(d.GetDlgItem(CKaisenDlg::kMessageId)->GetWindowText(), "ターン 1/20");
        EXPECT_EQ(dlg.Turn(), 1);
        EXPECT_EQ(dlg.Result(), -1);
        EXPECT_EQ(dlg.TitleText(), "能島城 沿海の海戦");
        EXPECT_EQ(dlg.WeatherText(), "天候 晴れ");

        // The commander leads each list; garrisons have valour 3 and no cavalry or intellect.
        ui::ListCtrl& own = *dlg.List(0);
        ui::ListCtrl& other = *dlg.List(1);
        EXPECT_EQ(d.GetDlgItem(CKaisenDlg::kList0Id), &own);
        EXPECT_EQ(d.GetDlgItem(CKaisenDlg::kList1Id), &other);
        EXPECT_EQ(own.GetColumnCount(), 5);
        EXPECT_EQ(dlg.ColumnTitles(), (std::array<std::string, 5>{"名前", "騎兵", "足軽兵", "武勇", "智謀"}));
        EXPECT_EQ(own.GetColumnWidth(0), 100);
        EXPECT_EQ(own.GetColumnWidth(1), 50);
        EXPECT_EQ(own.GetColumnWidth(3), 42);
        ASSERT_EQ(own.GetItemCount(), 2);
        EXPECT_EQ(Row(own, 0), (std::vector<std::string>{"九鬼嘉隆", "200", "900", "8+9", "7"}));
        EXPECT_EQ(Row(own, 1), (std::vector<std::string>{"向井正綱", "100", "600", "6+9", "4"}));
        ASSERT_EQ(other.GetItemCount(), 2);
        EXPECT_EQ(Row(other, 0), (std::vector<std::string>{"村上武吉", "0", "800", "7+8", "6"}));
        EXPECT_EQ(Row(other, 1), (std::vector<std::string>{"能島城守備兵", "0", "400", "3+8", "0"}));
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

TEST_F(KaisenDlgTest, TheBoardShowsTheFleetsSeeThroughOnTheSeaWithTitleAndWeather) {
    Fleets f;
    Battle b(f, {1, 8});
    CKaisenDlg dlg(b.session);
    Script().OnDialog([&](ui::Dialog& d) {
        const MbBmp::CControlBmp& board = dlg.Board();
        const MbBmp::CControlBmp& sea = dlg.Sea();
        ASSERT_EQ(board.GetBitCount(), 24);
        ASSERT_GE(board.GetWidth(), Geometry::kWidth);
        ASSERT_GE(board.GetHeight(), Geometry::kHeight);
        // The ship unit's see-through colour is its top-left pixel's palette colour.
        const MbBmp::CControlBmp& icon = dlg.ShipIcon(0);
        ASSERT_EQ(icon.GetBitCount(), 8);
        EXPECT_EQ(icon.GetTransparentColor(), icon.GetPixelColor(0, 0));

        // Side 0's one ship: the ship's own pixels over the sea, the see-through ones show the sea.
        int bit = 0;
        const KaisenShipPlace ship = Geometry::Fleet(Geometry::FleetX(0, 2), -1, 1, bit)[0];
        int opaque = 0, clear = 0;
        for (int y = 0; y < icon.GetHeight(); ++y)
            for (int x = 0; x < icon.GetWidth(); ++x) {
                const ui::COLORREF c = icon.GetPixelColor(x, y);
                const ui::COLORREF on = board.GetPixelColor(ship.x + x, ship.y + y);
                if (c == icon.GetTransparentColor()) {
                    clear += on == sea.GetPixelColor(ship.x + x, ship.y + y);
                    EXPECT_EQ(Rgb(on), Rgb(sea.GetPixelColor(ship.x + x, ship.y + y))) << x << "," << y;
                } else {
                    opaque += on == c;
                }
            }
        EXPECT_GT(opaque, 100);
        EXPECT_GT(clear, 100);
        // Side 1's eight ships: each one's icon lies where the wedge puts it (the first pixel of
        // the ship's own colour in each place).
        const MbBmp::CControlBmp& icon1 = dlg.ShipIcon(1);
        const std::vector<KaisenShipPlace> wedge = Geometry::Fleet(Geometry::FleetX(1, 7), 1, 8, bit);
        ASSERT_EQ(wedge.size(), 8u);
        const KaisenShipPlace& last = wedge.back();  // drawn last, nothing covers it
        int matched = 0;
        for (int y = 0; y < icon1.GetHeight(); ++y)
            for (int x = 0; x < icon1.GetWidth(); ++x)
                if (icon1.GetPixelColor(x, y) != icon1.GetTransparentColor())
                    matched += board.GetPixelColor(last.x + x, last.y + y) == icon1.GetPixelColor(x, y);
        EXPECT_GT(matched, 100);
        // Far from both fleets the board is the clean sea.
        for (Point p : {Point(250, 150), Point(20, 200), Point(200, 60)})
            EXPECT_EQ(Rgb(board.GetPixelColor(p.x, p.y)), Rgb(sea.GetPixelColor(p.x, p.y)))
                << p.x << "," << p.y;

        // The title in the box (6, 5)-(240, 35) and the weather in (280, 196)-(488, 220), white
        // with a dark shadow; nothing light outside the weather's box on its row.
        EXPECT_GT(CountLight(board, Rect(6, 5, 240, 35)), CountLight(sea, Rect(6, 5, 240, 35)) + 80);
        EXPECT_GT(CountLight(board, Rect(280, 196, 488, 220)),
                  CountLight(sea, Rect(280, 196, 488, 220)) + 40);
        EXPECT_EQ(CountLight(board, Rect(6, 40, 100, 100)), CountLight(sea, Rect(6, 40, 100, 100)));

        // The board window shows the board pixel for pixel.
        QImage img = ui::test::Grab(d);
        Rect r = ChildRect(d, *d.GetDlgItem(CKaisenDlg::kBoardId));
        EXPECT_EQ(r.Width(), Geometry::kWidth);
        EXPECT_EQ(r.Height(), Geometry::kHeight);
        for (Point p : {Point(10, 10), Point(ship.x + 20, ship.y + 16), Point(300, 200), Point(489, 219)})
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, r.left + p.x, r.top + p.y)),
                      Rgb(board.GetPixelColor(p.x, p.y)))
                << p.x << "," << p.y;
        // The navy picture: 240 x 160.
        Rect pic = ChildRect(d, *d.GetDlgItem(CKaisenDlg::kPictureId));
        EXPECT_EQ(pic.Width(), 240);
        EXPECT_EQ(pic.Height(), 160);
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

TEST_F(KaisenDlgTest, TwoCastlesAndRainChangeTitleAndWeather) {
    Fleets f;
    f.Rain();
    Battle b(f, {3, 3}, 0);
    CKaisenDlg dlg(b.session);
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(dlg.TitleText(), "能島城・鳥羽城 沿海の海戦");
        EXPECT_EQ(dlg.WeatherText(), "天候 雨（焙烙火矢攻撃不可）");
        // The longer title reaches into the wider box.
        EXPECT_GT(CountLight(dlg.Board(), Rect(200, 5, 350, 35)), 20);
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

// Which actions each state of the battle allows (1 enabled): advance, fire bombs, boarding,
// wait, retreat; and where the focus goes.
TEST_F(KaisenDlgTest, TheButtonsFollowTheFleetsGapAndTheWeather) {
    struct Case {
        const char* name;
        int cell0, cell1;
        bool rain;
        std::array<bool, 5> enabled;  // advance, fire bombs, boarding, wait, retreat
        int focus;
    } cases[] = {
        {"at the start", 2, 7, false, {1, 1, 0, 1, 1}, CKaisenDlg::kAdvanceId},
        {"at the start in rain", 2, 7, true, {1, 0, 0, 1, 1}, CKaisenDlg::kAdvanceId},
        {"one cell apart", 4, 6, false, {1, 1, 0, 1, 1}, CKaisenDlg::kAdvanceId},
        {"side by side", 5, 6, false, {0, 0, 1, 0, 1}, CKaisenDlg::kBoardingId},
        {"side by side in rain", 5, 6, true, {0, 0, 1, 0, 1}, CKaisenDlg::kBoardingId},
    };
    const int ids[5] = {CKaisenDlg::kAdvanceId, CKaisenDlg::kFireBombId, CKaisenDlg::kBoardingId,
                        CKaisenDlg::kWaitId, CKaisenDlg::kRetreatId};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fleets f;
        if (c.rain) f.Rain();
        Battle b(f);
        CKaisenDlg dlg(b.session);
        Script().OnDialog([&](ui::Dialog& d) {
            dlg.Battle().positions = {c.cell0, c.cell1};
            // A focused button that is now disabled gives the focus up.
            d.GetDlgItem(CKaisenDlg::kFireBombId)->SetFocus();
            dlg.UpdateStatus();
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(d.GetDlgItem(ids[i])->IsWindowEnabled(), c.enabled[static_cast<std::size_t>(i)])
                    << ids[i];
            EXPECT_FALSE(d.GetDlgItem(CKaisenDlg::kCloseId)->IsWindowVisible());
            EXPECT_EQ(ui::Wnd::GetFocus(), d.GetDlgItem(c.enabled[1] ? CKaisenDlg::kFireBombId : c.focus));
            d.EndDialog(ui::IDOK);
        });
        dlg.DoModal();
    }
}

// The navy picture: the scenario's when it names one of the map's pictures, else the built-in.
TEST_F(KaisenDlgTest, TheScenariosNavyPictureReplacesTheBuiltInOne) {
    struct Case {
        const char* name;
        int named;  // the scenario's navy picture, -1 none
        int width;  // of the picture shown (0: the built-in one's)
    } cases[] = {{"the map's picture 1", 1, 64}, {"none named", -1, 0}, {"a picture the map lacks", 7, 0}};
    MbBmp::CControlBmp builtIn;
    shell::PictureStore().LoadSuigun(builtIn);
    ASSERT_FALSE(builtIn.IsEmpty());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fleets f;
        MbKorMap::KorMapData& file = f.w.map.files["world.map"];
        file.pictures.resize(2);
        ASSERT_TRUE(file.pictures[1].CreateBitmap(64, 48, 24));
        file.pictures[1].FillRect(0, 0, 64, 48, ui::RGB(20, 40, 200));
        ASSERT_EQ(f.w.map.LoadKorMap("world.map"), 0);
        f.w.gs.nGunsenLargePicture = c.named;
        Battle b(f);
        CKaisenDlg dlg(b.session, &f.w.map);
        Script().OnDialog([&](ui::Dialog& d) {
            const MbBmp::CControlBmp& shown = dlg.NavyPicture();
            EXPECT_EQ(shown.GetWidth(), c.width ? c.width : builtIn.GetWidth());
            if (c.width) {
                EXPECT_EQ(Rgb(shown.GetPixelColor(60, 2)), Rgb(ui::RGB(20, 40, 200)));
            }
            d.EndDialog(ui::IDOK);
        });
        dlg.DoModal();
    }
}

// Retreat ends the battle at once: the player's side loses 5 %, only the close button remains,
// Enter and Escape do nothing, the close button ends the dialog.
TEST_F(KaisenDlgTest, RetreatEndsTheBattleAndOnlyCloseRemains) {
    Fleets f;
    Battle b(f);
    CKaisenDlg dlg(b.session);
    Pacing pacing;
    std::string box;
    std::string footAtMessage;
    Script().OnDialog([&](ui::Dialog& d) {
        pacing.Install(dlg);
        // The message comes first: the list still shows the foot before the losses.
        Script().OnDialog([&](ui::Dialog& m) {
            box = dynamic_cast<MbWnd::CMsgBoxDlg&>(m).m_strText;
            footAtMessage = Row(*dlg.List(0), 0)[2];
            m.EndDialog(ui::IDOK);
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kRetreatId));
        EXPECT_EQ(box, "織田の軍勢は退却しました");
        EXPECT_EQ(footAtMessage, "900");
        EXPECT_EQ(dlg.Result(), 2);
        EXPECT_EQ(d.GetDlgItem(CKaisenDlg::kMessageId)->GetWindowText(), "毛利の勝利");
        for (int id : {CKaisenDlg::kAdvanceId, CKaisenDlg::kFireBombId, CKaisenDlg::kBoardingId,
                       CKaisenDlg::kWaitId, CKaisenDlg::kRetreatId})
            EXPECT_FALSE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
        EXPECT_TRUE(d.GetDlgItem(CKaisenDlg::kCloseId)->IsWindowVisible());
        EXPECT_EQ(ui::Wnd::GetFocus(), d.GetDlgItem(CKaisenDlg::kCloseId));
        EXPECT_EQ(f.w.gs.BushouTbl[f.admiral].foot, 85);  // trunc(90 x 0.95)
        EXPECT_EQ(f.w.gs.BushouTbl[f.admiral].cavalry, 19);
        EXPECT_EQ(f.w.gs.BushouTbl[f.enemy].foot, 80);
        EXPECT_EQ(Row(*dlg.List(0), 0)[2], "850");
        // A second click changes nothing; the keys do not close.
        ui::test::ClickControl(d, CKaisenDlg::kRetreatId);
        EXPECT_EQ(dlg.Result(), 2);
        ui::test::PressKey(d, ui::VK_ESCAPE);
        ui::test::PressKey(d, ui::VK_RETURN);
        EXPECT_FALSE(d.IsEnded());
        EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kCloseId));
        EXPECT_TRUE(d.IsEnded());
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(pacing.waits, std::vector<int>{400});
}

// After the twentieth turn without a decision the battle is a draw.
TEST_F(KaisenDlgTest, TheTwentiethUndecidedTurnIsADraw) {
    Fleets f;
    Battle b(f, {5, 5});
    CKaisenDlg dlg(b.session);
    Pacing pacing;
    std::string box;
    Script().OnDialog([&](ui::Dialog& d) {
        pacing.Install(dlg);
        dlg.Battle().turn = 19;
        dlg.UpdateStatus();
        EXPECT_EQ(d.GetDlgItem(CKaisenDlg::kMessageId)->GetWindowText(), "ターン 20/20");
        EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kWaitId));
        EXPECT_EQ(dlg.Result(), 0);
        EXPECT_EQ(d.GetDlgItem(CKaisenDlg::kMessageId)->GetWindowText(), "引き分け");
        EXPECT_TRUE(d.GetDlgItem(CKaisenDlg::kCloseId)->IsWindowVisible());
        d.EndDialog(ui::IDOK);
    });
    ExpectBox(&box);
    dlg.DoModal();
    EXPECT_EQ(box, "両軍は退却しました");
}

// The turn's hold of 400 ms is timed from the fight: the clock is read for it once the
// computer's action is chosen and both actions stand on the board.
TEST_F(KaisenDlgTest, TheTurnsHoldIsTimedFromTheFight) {
    Fleets f;
    Battle b(f, {6, 6});
    CKaisenDlg dlg(b.session);
    std::vector<bool> labelledAtReading;  // whether side 0's label was on the board at each reading
    std::vector<int> waits;
    Script().OnDialog([&](ui::Dialog& d) {
        const Point front = Geometry::Rotate(Geometry::FleetX(0, dlg.Battle().positions[0]), 110);
        const Rect labelArea(std::max(0, front.x - 80), std::max(0, front.y - 80), front.x + 80,
                             front.y - 20);
        std::uint32_t now = 5000;
        dlg.SetPacing([&](int ms) { waits.push_back(ms); },
                      [&] {
                          labelledAtReading.push_back(
                              CountColour(dlg.Board(), labelArea, CKaisenDlg::kLabelColour0) > 40);
                          return now;
                      });
        EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kWaitId));
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
    ASSERT_FALSE(labelledAtReading.empty());
    EXPECT_TRUE(labelledAtReading.front()) << "the clock was read before both actions were shown";
    EXPECT_EQ(waits.back(), CKaisenDlg::kTurnMs);
}

// During a turn both chosen actions stand over their fleets; a fire-bomb hit flashes the hit
// side's list in orange, boarding both lists in red, each for 100 ms, then white again.
TEST_F(KaisenDlgTest, LabelsOverTheFleetsAndTheListsFlash) {
    Fleets f;
    Battle b(f, {6, 6});
    CKaisenDlg dlg(b.session);
    Pacing pacing;
    std::vector<std::pair<std::string, std::string>> flashes;  // both lists' colours at each flash
    std::vector<bool> labelled;                                // the label at each turn's hold
    Script().OnDialog([&](ui::Dialog& d) {
        pacing.Install(dlg);
        const Rect list0 = ChildRect(d, *dlg.List(0));
        const Rect list1 = ChildRect(d, *dlg.List(1));
        // A point of each list's empty area under its rows.
        auto back = [&](const QImage& img, const Rect& r) {
            return Rgb(ui::test::PixelAt(img, r.left + r.Width() / 2, r.bottom - 6));
        };
        // Above side 0's fleet, where its action is written.
        auto labelArea = [&] {
            const Point front = Geometry::Rotate(Geometry::FleetX(0, dlg.Battle().positions[0]), 110);
            return Rect(std::max(0, front.x - 80), std::max(0, front.y - 80), front.x + 80, front.y - 20);
        };
        pacing.onWait = [&](int ms) {
            if (ms == CKaisenDlg::kFlashMs) {
                QImage img = ui::test::Grab(d);
                flashes.emplace_back(back(img, list0), back(img, list1));
            } else {
                labelled.push_back(CountColour(dlg.Board(), labelArea(), CKaisenDlg::kLabelColour0) > 40);
            }
        };
        const std::string orange = Rgb(CKaisenDlg::kFireBombFlash), red = Rgb(CKaisenDlg::kBoardingFlash);
        const std::string white = Rgb(RGB(255, 255, 255));

        // Fire bombs from the start (both sides at full morale: nobody flees): the enemy's list
        // flashes orange.
        EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kFireBombId));
        EXPECT_EQ(labelled, std::vector<bool>{true});
        ASSERT_FALSE(flashes.empty());
        EXPECT_TRUE(std::any_of(flashes.begin(), flashes.end(), [&](const auto& f) {
            return f.second == orange;
        })) << ::testing::PrintToString(flashes);
        // After the turn the label is gone and both lists are white.
        QImage after = ui::test::Grab(d);
        EXPECT_EQ(back(after, list0), white);
        EXPECT_EQ(back(after, list1), white);
        EXPECT_EQ(CountColour(dlg.Board(), labelArea(), CKaisenDlg::kLabelColour0), 0);

        // Side by side at equal morale: boarding flashes both lists red.
        flashes.clear();
        dlg.Battle().positions = {5, 6};
        dlg.Battle().morale = {1000, 1000};
        dlg.UpdateStatus();
        EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kBoardingId));
        EXPECT_EQ(flashes, (std::vector<std::pair<std::string, std::string>>{{red, red}}));
        EXPECT_EQ(dlg.Result(), -1);
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

// ---- through the runner and the Qt port -----------------------------------------------------------

// The Qt port with a music player over the recording backend, and the battle runner over it.
struct Front {
    RecordingMusicBackend backend;
    shell::MusicPlayer music{backend};
    QtPort port;
    Front() { port.SetMusic(&music); }
    // The battle off 能島城 between the player's units (6 ships) and the other house's (8 ships),
    // the player as side A or side B.
    int Fight(Fleets& f, bool playerIsB, const std::vector<int>& own, const std::vector<int>& theirs,
              int mode) {
        CBattleRunner runner(f.w.gs, port.AsPorts());
        return playerIsB ? runner.RunKaisen(1, -1, 1, 8, theirs, 0, 6, own, mode, false)
                         : runner.RunKaisen(1, -1, 0, 6, own, 1, 8, theirs, mode, false);
    }
};

class KaisenThroughPortTest : public KaisenDlgTest {
protected:
    // A front whose music has files for both situations and plays the one given.
    std::unique_ptr<Front> MakeFront(int situation) {
        folder_ = std::filesystem::temp_directory_path() / ("rymd_kaisen_" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        for (const char* name : {"n.mp3", "b.mp3"})
            std::ofstream(folder_ / name) << "music";
        auto front = std::make_unique<Front>();
        front->music.Settings().useDefault = false;
        front->music.Settings().normal = (folder_ / "n.mp3").string();
        front->music.Settings().battle = (folder_ / "b.mp3").string();
        front->music.RequestSituation(situation);
        return front;
    }
    void TearDown() override {
        std::error_code ec;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ec);
        KaisenDlgTest::TearDown();
    }
    std::filesystem::path folder_;
};

// A whole battle by clicks: advance until the fleets meet, then board until it is decided. The
// dialog's result comes back through the session, exchanged when the player is the second party;
// the battle music is asked for once.
TEST_F(KaisenThroughPortTest, AWholeBattlePlayedByClicksReturnsItsResult) {
    for (bool playerIsB : {false, true}) {
        SCOPED_TRACE(playerIsB ? "the player is side B" : "the player is side A");
        Fleets f;
        std::unique_ptr<Front> front = MakeFront(shell::MusicPlayer::kNormal);
        const shell::MusicPlayer& music = front->music;
        std::string box, message;
        int dialogResult = -1;
        std::vector<int> clicked;
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CKaisenDlg&>(d);
            EXPECT_EQ(music.Situation(), shell::MusicPlayer::kBattle);
            Pacing pacing;
            pacing.Install(dlg);
            // The player's side is side 0 whichever party he is.
            EXPECT_EQ(dlg.List(0)->GetItemText(0, 0), "九鬼嘉隆");
            for (int turn = 0; turn < 20 && dlg.Result() == -1; ++turn) {
                const int id = dlg.Battle().Adjacent() ? CKaisenDlg::kBoardingId : CKaisenDlg::kAdvanceId;
                EXPECT_TRUE(d.GetDlgItem(id)->IsWindowEnabled());
                EXPECT_TRUE(ui::test::ClickControl(d, id));
                clicked.push_back(id);
            }
            dialogResult = dlg.Result();
            message = d.GetDlgItem(CKaisenDlg::kMessageId)->GetWindowText();
            EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kCloseId));
        });
        ExpectBox(&box);
        const int r = front->Fight(f, playerIsB, {f.captain, f.admiral}, {kGarrison1, f.enemy}, 1);
        ASSERT_NE(dialogResult, -1);
        EXPECT_FALSE(clicked.empty());
        EXPECT_EQ(r, playerIsB && dialogResult != 0 ? 3 - dialogResult : dialogResult);
        const std::map<int, std::pair<std::string, std::string>> outcome = {
            {0, {"引き分け", "両軍は退却しました"}},
            {1, {"織田の勝利", "毛利の軍勢は退却しました"}},
            {2, {"毛利の勝利", "織田の軍勢は退却しました"}}};
        EXPECT_EQ(message, outcome.at(dialogResult).first);
        EXPECT_EQ(box, outcome.at(dialogResult).second);
        // Soldiers were lost in the boarding.
        EXPECT_LT(f.w.gs.BushouTbl[f.admiral].foot + f.w.gs.BushouTbl[f.enemy].foot, 170);
        EXPECT_EQ(front->backend.Plays(),
                  (std::vector<std::string>{"play " + music.Settings().normal + " stream",
                                            "play " + music.Settings().battle + " stream"}));
    }
}

// A retreat through the runner: the player's side is beaten, as side A and as side B. The battle
// music that already plays goes on.
TEST_F(KaisenThroughPortTest, ARetreatComesBackAsTheOtherSidesVictory) {
    for (bool playerIsB : {false, true}) {
        SCOPED_TRACE(playerIsB ? "B" : "A");
        Fleets f;
        std::unique_ptr<Front> front = MakeFront(shell::MusicPlayer::kBattle);
        front->backend.calls.clear();
        std::string box;
        Script().OnDialog([&](ui::Dialog& d) {
            Pacing pacing;
            pacing.Install(dynamic_cast<CKaisenDlg&>(d));
            EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kRetreatId));
            EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kCloseId));
        });
        ExpectBox(&box);
        const int r = front->Fight(f, playerIsB, {f.admiral}, {f.enemy}, 0);
        EXPECT_EQ(r, playerIsB ? 1 : 2);
        EXPECT_EQ(box, "織田の軍勢は退却しました");
        EXPECT_EQ(f.w.gs.BushouTbl[f.admiral].foot, 85);
        EXPECT_TRUE(front->backend.calls.empty());
        EXPECT_EQ(front->music.Situation(), shell::MusicPlayer::kBattle);
    }
}

// Corps generals only, a battle marked for no dialog, or the automatic advance: no dialog.
TEST_F(KaisenThroughPortTest, BattlesWithoutThePlayersOwnTroopsStayAutomatic) {
    struct Case {
        const char* name;
        bool corps, noDialog, autoAdvance;
    } cases[] = {
        {"corps", true, false, false}, {"no dialog", false, true, false}, {"advance", false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fleets f;
        if (c.corps) f.w.AddGundan(0, f.admiral);
        f.w.gs.bAutoAdvance = c.autoAdvance;
        QtPort port;
        CBattleRunner runner(f.w.gs, port.AsPorts());
        const std::vector<int> own{f.admiral};
        const std::vector<int> theirs{f.enemy};
        const int r = runner.RunKaisen(1, -1, 0, 6, own, 1, 8, theirs, 0, c.noDialog);
        EXPECT_GE(r, 0);
        EXPECT_TRUE(Script().DialogsShown().empty());
    }
}

// ---- gallery -------------------------------------------------------------------------------------

TEST_F(KaisenDlgTest, Gallery) {
    for (double ratio : {1.0, 2.0}) {
        ui::Bitmap::SetScreenPixelRatio(ratio == 1.0 ? 0.0 : ratio);
        const std::string suffix = ratio == 1.0 ? "" : "@2x";
        Fleets f;
        Battle b(f, {12, 20});
        CKaisenDlg dlg(b.session);
        Pacing pacing;
        Script().OnDialog([&](ui::Dialog& d) {
            pacing.Install(dlg);
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kaisen" + suffix), ratio));
            // Mid-turn: the actions over the fleets.
            pacing.onWait = [&](int ms) {
                if (ms == CKaisenDlg::kTurnMs) {
                    EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kaisen_turn" + suffix), ratio));
                }
            };
            EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kAdvanceId));
            pacing.onWait = nullptr;
            EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kRetreatId));
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kaisen_over" + suffix), ratio));
            EXPECT_TRUE(ui::test::ClickControl(d, CKaisenDlg::kCloseId));
        });
        Script().OnDialog([](ui::Dialog& d) { d.EndDialog(ui::IDOK); });
        dlg.DoModal();
    }
    ui::Bitmap::SetScreenPixelRatio(0);
}

}  // namespace
}  // namespace rymd::gui_test
