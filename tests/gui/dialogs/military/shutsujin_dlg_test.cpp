// The sortie dialog ("出陣", on the bundled game with the Oda house playing) and the
// general-selection dialog (on a small world): the clicks on the castle map and their refusals,
// the choice of generals with its totals, sorting and limit, the orders written after OK, and
// that Cancel changes nothing.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/military/sortie.h"
#include "game/ports/ports.h"
#include "game/save/saved_game.h"
#include "game/state/access.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/turn/new_game.h"
#include "support/test_world.h"

#include <algorithm>
#include <functional>

#include "game/shell/dialogs/military/bushou_select_dlg.h"
#include "game/shell/dialogs/military/shutsujin_dlg.h"
#include "game/shell/maps/kuni_disp_switch_dlg.h"
#include "game/shell/window/status_bar.h"
#include "gui/bundled_game_fixture.h"
#include "gui/gui_test_util.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/cell_pane.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;

std::string TextOf(ui::Wnd& dlg, int id) {
    ui::Wnd* w = dlg.GetDlgItem(id);
    return w ? w->GetWindowText() : std::string("(missing)");
}

// The next dialog is a message box: its text is kept and it is closed.
void ExpectMessageBox(ui::test::Script& script, std::string* text) {
    script.OnDialog([text](ui::Dialog& box) {
        *text = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
        box.EndDialog(ui::IDOK);
    });
}

// ---- General selection ---------------------------------------------------------------------------

// Castle 0 (the player's, soldier unit 10): the head and three more generals who may go, one of a
// vassal house; one of a corps and one ordered this month who may not. Castle 1 is house 1's.
struct SelectWorld : test::TestWorld {
    int a = -1, b = -1, vassal = -1, head = -1;
    SelectWorld() : TestWorld({.castles = 2, .houses = 3, .provinces = 2, .soldierUnit = 10}) {
        Own(1, 1);
        Link(0, 1);
        MakeVassal(2, 0);
        head = AddBushou(0, 0, {.name = "当主", .foot = 5, .cavalry = 1});
        gs.DaimyouTbl[0].toushu = head;
        a = AddBushou(0, 0, {.name = "甲", .foot = 20, .cavalry = 4});
        gs.BushouTbl[a].muskets = 3;
        gs.BushouTbl[a].yasenTousotsu = 9;
        AddBushou(0, 0, {.name = "軍団", .foot = 50, .gundan = 0});
        const int ordered = AddBushou(0, 0, {.name = "済", .foot = 50});
        gs.BushouTbl[ordered].flags |= CBushou::kFlagOrdered;
        b = AddBushou(0, 0, {.name = "乙", .foot = 10, .cavalry = 7});
        vassal = AddBushou(2, 0, {.name = "丙", .foot = 1});
    }
};

class BushouSelectTest : public GuiTest {
protected:
    // Runs the dialog from castle 0 to castle 1; the step sees it open.
    std::intptr_t Run(SelectWorld& w, bool sortie, const std::function<void(CBushouSelectDlg&)>& step) {
        CBushouSelectDlg dlg(w.gs);
        dlg.m_bShutsujin = sortie;
        dlg.m_nFromShiro = 0;
        dlg.m_nToShiro = 1;
        Script().OnDialog([&](ui::Dialog& d) { step(dynamic_cast<CBushouSelectDlg&>(d)); });
        const std::intptr_t r = dlg.DoModal();
        result_ = dlg.Result();
        return r;
    }
    // Drags over the rows from..to (toggling each).
    static void DragRows(CBushouSelectDlg& d, int from, int to) {
        MbWnd::CCellPane& p = d.Grid().RightPane();
        ui::test::MouseDown(p, p.CellRect(from, 0).CenterPoint());
        for (int i = from + 1; i <= to; ++i)
            ui::test::MouseMove(p, p.CellRect(i, 0).CenterPoint(), true);
        ui::test::MouseUp(p, p.CellRect(to, 0).CenterPoint());
    }
    static std::vector<int> Rows(CBushouSelectDlg& d) {
        std::vector<int> out;
        for (int i = 0; i < d.Grid().GetLineSize(); ++i)
            out.push_back(d.Grid().GetLineData(i));
        return out;
    }
    std::vector<int> result_;
};

TEST_F(BushouSelectTest, ListsTheGeneralsWhoMayGoWithTotalsAndSorting) {
    SelectWorld w;
    const std::string before = StateHash(w.gs);
    const std::intptr_t r = Run(w, true, [&](CBushouSelectDlg& d) {
        EXPECT_EQ(d.GetWindowText(), "出陣武将選択");
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kRouteId), "城0 から 城1 へ出陣します");
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kPromptId),
                  "出陣武将を選択してください （マウスドラッグでまとめて選択できます）");
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kLimitId), "出陣武将数上限 = 20");
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kKibaLabelId), "騎馬兵総数");
        // The corps general and the one ordered this month are not listed; the vassal's is.
        EXPECT_EQ(Rows(d), (std::vector<int>{w.head, w.a, w.b, w.vassal}));
        MbWnd::CCellCtrl& g = d.Grid();
        EXPECT_EQ(g.GetCellText(1, 0), "甲");
        EXPECT_EQ(g.GetCellText(1, 1), "40");   // cavalry x soldier unit
        EXPECT_EQ(g.GetCellText(1, 2), "200");  // foot
        EXPECT_EQ(g.GetCellText(1, 3), "30");   // muskets
        EXPECT_EQ(g.GetCellText(1, 7), "9");    // field command
        for (int id : {CBushouSelectDlg::kKibaTotalId, CBushouSelectDlg::kAshigaruTotalId,
                       CBushouSelectDlg::kTeppouTotalId})
            EXPECT_EQ(TextOf(d, id), "0");

        // Dragging over rows 1 and 2 selects both; the totals follow at once.
        DragRows(d, 1, 2);
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kKibaTotalId), "110");
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kAshigaruTotalId), "300");
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kTeppouTotalId), "30");
        // Selected rows are painted in the selection colour, the others in white.
        ui::test::ProcessEvents();
        MbWnd::CCellPane& pane = g.RightPane();
        const QImage shot = ui::test::Grab(pane);
        auto rowPixel = [&](int line) {
            const ui::Rect cell = pane.CellRect(line, 8);
            return ui::test::PixelAt(shot, cell.left + 2, cell.top + 2);
        };
        EXPECT_EQ(rowPixel(1), MbWnd::CCellPane::kSelectedBack) << Rgb(rowPixel(1));
        EXPECT_EQ(rowPixel(2), MbWnd::CCellPane::kSelectedBack) << Rgb(rowPixel(2));
        EXPECT_EQ(rowPixel(0), ui::RGB(255, 255, 255)) << Rgb(rowPixel(0));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("bushou_select")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("bushou_select@2x"), 2.0));

        // A click on the cavalry title sorts by cavalry, larger first; the selection goes along.
        const ui::Rect title = pane.CellRect(0, 1);
        ui::test::MouseDown(pane, ui::Point(title.CenterPoint().x, g.RowHeight() / 2));
        ui::test::MouseUp(pane, ui::Point(title.CenterPoint().x, g.RowHeight() / 2));
        EXPECT_EQ(Rows(d), (std::vector<int>{w.b, w.a, w.head, w.vassal}));
        EXPECT_TRUE(g.GetSelectStat(0));
        EXPECT_TRUE(g.GetSelectStat(1));
        // Dragging over a selected row deselects it.
        DragRows(d, 0, 0);
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kKibaTotalId), "40");
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(r, ui::IDOK);
    EXPECT_EQ(result_, std::vector<int>{w.a});
    EXPECT_EQ(StateHash(w.gs), before) << "the choice writes nothing";
}

TEST_F(BushouSelectTest, EmptyOrOversizedChoicesAreRefused) {
    struct Case {
        const char* name;
        bool sortie;
        int bound;  // generals of the player already bound for castle 1
        int rows;   // rows selected (from the first)
        const char* message;
        const char* limitText;
    };
    const Case cases[] = {
        {"nothing chosen for a sortie", true, 0, 0, "出陣武将が選択されていません", "出陣武将数上限 = 20"},
        {"nothing chosen for a move", false, 0, 0, "移動武将が選択されていません", "移動武将数上限 = 20"},
        {"the target is full", true, 20, 1, "武将数が多すぎます", "出陣武将数上限 = 0"},
        {"one more than the limit", true, 18, 3, "武将数が多すぎます", "出陣武将数上限 = 2"},
    };
    for (const Case& c : cases) {
        SelectWorld w;
        for (int i = 0; i < c.bound; ++i) {
            const int g = w.AddBushou(0, -1);
            (c.sortie ? w.gs.BushouTbl[g].sortieShiro : w.gs.BushouTbl[g].moveShiro) = 1;
        }
        std::string told;
        const std::intptr_t r = Run(w, c.sortie, [&](CBushouSelectDlg& d) {
            EXPECT_EQ(TextOf(d, CBushouSelectDlg::kLimitId), c.limitText) << c.name;
            if (c.rows > 0) DragRows(d, 0, c.rows - 1);
            ExpectMessageBox(Script(), &told);
            ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            EXPECT_EQ(told, c.message) << c.name;
            // The dialog stays open with the selection as it was.
            for (int i = 0; i < d.Grid().GetLineSize(); ++i)
                EXPECT_EQ(d.Grid().GetSelectStat(i), i < c.rows) << c.name;
            d.EndDialog(ui::IDCANCEL);
        });
        EXPECT_EQ(r, ui::IDCANCEL) << c.name;
    }
}

TEST_F(BushouSelectTest, MoveModeAndTheScenariosWords) {
    SelectWorld w;
    w.gs.ScenarioWords[9] = "将士";
    w.gs.ScenarioWords[2] = "騎兵";
    w.AddBushou(1, 1);
    Run(w, false, [&](CBushouSelectDlg& d) {
        EXPECT_EQ(d.GetWindowText(), "移動将士選択");
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kRouteId), "城0 から 城1 へ移動します");
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kLimitId), "移動将士数上限 = 19") << "castle 1's own general";
        EXPECT_EQ(TextOf(d, CBushouSelectDlg::kKibaLabelId), "騎兵総数");
        d.EndDialog(ui::IDCANCEL);
    });
}

// ---- The sortie dialog on the bundled game --------------------------------------------------------

class ShutsujinTest : public BundledGameTest {
protected:
    void SetUp() override {
        BundledGameTest::SetUp();
        gs.nPhase = kPhaseShutsujin;
        player_ = gs.nPlayerDaimyou;
        origin_ = BushouAt(gs, DaimyouAt(gs, player_).toushu).shiro;
        kuni_ = gs.ShiroMapTbl[static_cast<std::size_t>(origin_)].kuni;
        // A castle of another house linked to the origin by land that may be attacked.
        ForShiroLinks(gs, origin_, [&](int to, int kind) {
            if (target_ < 0 && kind != 3 && GetCountedDaimyouOfShiro(gs, to) != player_ &&
                CheckSortieTarget(gs, player_, origin_, to, false).empty())
                target_ = to;
        });
        ASSERT_GE(target_, 0);
        ASSERT_TRUE(host_.Open(1000, 700));
    }

    // Runs the dialog over the host window showing the head's province.
    std::intptr_t Run(const std::function<void(CShutsujinDlg&)>& step) {
        CShutsujinDlg dlg(gs, &map_, &host_);
        dlg.m_nKuni = kuni_;
        Script().OnDialog([&](ui::Dialog& d) { step(dynamic_cast<CShutsujinDlg&>(d)); });
        return dlg.DoModal();
    }
    // A click on the castle as the map view reports it.
    static void ClickShiro(CShutsujinDlg& d, int shiro) {
        d.Map().m_nClickShiro = shiro;
        d.Map().m_nClickKuni = -1;
        ui::Wnd::SendCommand(&d, CShutsujinDlg::kMapId, 0, &d.Map());
    }
    // A real mouse click on the castle's mark.
    static void MouseOnShiro(CShutsujinDlg& d, int shiro) {
        const ui::Rect r = d.Map().m_ShiroRect[static_cast<std::size_t>(shiro)];
        const ui::Point c((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        const ui::Rect at = d.Map().BufferToClient(ui::Rect(c.x, c.y, c.x + 1, c.y + 1));
        ui::test::MouseDown(d.Map(), at.TopLeft());
        ui::test::MouseUp(d.Map(), at.TopLeft());
    }
    bool IsOrdered(int g) const { return (BushouAt(gs, g).flags & CBushou::kFlagOrdered) != 0; }

    GameState& gs = *gs_;
    int player_ = -1, origin_ = -1, target_ = -1, kuni_ = -1;
};

TEST_F(ShutsujinTest, OriginTargetGeneralsAndTheOrders) {
    const std::vector<int> selectable = SelectableBushou(gs, player_, origin_);
    ASSERT_GE(selectable.size(), 2u);
    const unsigned ticksBefore = CShutsujinDlg::BlinkTicks();
    const std::intptr_t r = Run([&](CShutsujinDlg& d) {
        EXPECT_EQ(d.GetWindowText(), "出陣 （陸路）");
        EXPECT_EQ(d.BoardText(), "出陣元の城を指定してください");
        EXPECT_EQ(TextOf(d, CShutsujinDlg::kKuniNameId), "現在の表示国 : " + KuniNameText(map_, kuni_, &gs));
        EXPECT_EQ(d.Map().m_nKuni, kuni_);
        // The dialog, its frame included, takes the main window's place less 8 pixels each side;
        // the controls on the right keep their distance to the right edge.
        const ui::Rect host = host_.GetWindowRect();
        const ui::Rect placed = d.GetWindowRect();
        EXPECT_EQ(placed, ui::Rect(host.left + 8, host.top + 8, host.right - 8, host.bottom - 8));
        EXPECT_GT(placed.Width(), d.GetClientRect().Width()) << "the frame";
        const int margin = d.MapDialogRect(ui::Rect(0, 0, 7, 7)).Width();
        auto rightGap = [&](int id) {
            ui::Rect c = d.GetDlgItem(id)->GetWindowRect();
            d.ScreenToClient(c);
            return d.GetClientRect().right - c.right;
        };
        EXPECT_NEAR(rightGap(ui::IDCANCEL), margin, 1);
        EXPECT_NEAR(rightGap(CShutsujinDlg::kKuniSwitchId), margin, 1);
        EXPECT_GT(d.Map().GetClientRect().Width(), 700);

        // The board: dark text centred on its light ground.
        ui::test::ProcessEvents();
        const QImage board = ui::test::Grab(d.Board());
        EXPECT_EQ(ui::test::PixelAt(board, 2, board.height() / 2),
                  ui::test::PixelAt(board, board.width() - 3, board.height() / 2));
        int dark = 0;
        for (int x = 0; x < board.width(); ++x) {
            const ui::COLORREF c = ui::test::PixelAt(board, x, board.height() / 2);
            dark += ui::GetRValue(c) + ui::GetGValue(c) + ui::GetBValue(c) < 200;
        }
        EXPECT_GT(dark, 10);

        // The origin: clicked on its mark, it blinks and the board asks for the target.
        MouseOnShiro(d, origin_);
        ASSERT_TRUE(d.OriginChosen());
        EXPECT_EQ(d.OriginShiro(), origin_);
        EXPECT_EQ(d.Map().m_nBlinkShiro, origin_);
        EXPECT_EQ(d.BoardText(), "出陣先の城を指定してください");
        // The blink steps: the level moves on every second step (0, 1, 2, 3, 2, 1, ...) and a lit
        // level draws the castle's mark anew over the clean copy of the map; each step re-arms the
        // timer with at most 70 ms.
        const ui::Rect mark = d.Map().m_ShiroRect[static_cast<std::size_t>(origin_)];
        std::vector<int> levels;
        int changedAtTop = 0;
        for (int i = 0; i < 8; ++i) {
            ASSERT_TRUE(ui::test::FireTimer(d, CShutsujinDlg::kBlinkTimer));
            levels.push_back(d.Map().m_nBlinkPhase);
            EXPECT_GE(d.LastBlinkPeriod(), 10);
            EXPECT_LE(d.LastBlinkPeriod(), 70);
            if (d.Map().m_nBlinkPhase != 3) continue;
            for (int y = mark.top; y < mark.bottom; ++y)
                for (int x = mark.left; x < mark.right; ++x)
                    changedAtTop +=
                        d.Map().m_BackBmp.GetPixelColor(x, y) != d.Map().m_CleanBmp.GetPixelColor(x, y);
        }
        EXPECT_EQ(CShutsujinDlg::BlinkTicks(), ticksBefore + 8);
        const std::vector<int> expected = (ticksBefore % 2 == 0) ? std::vector<int>{1, 1, 2, 2, 3, 3, 2, 2}
                                                                 : std::vector<int>{0, 1, 1, 2, 2, 3, 3, 2};
        EXPECT_EQ(levels, expected);
        EXPECT_GT(changedAtTop, 0);
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shutsujin")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shutsujin@2x"), 2.0));

        // The origin again gives it up.
        ClickShiro(d, origin_);
        EXPECT_FALSE(d.OriginChosen());
        EXPECT_EQ(d.Map().m_nBlinkShiro, -1);
        EXPECT_EQ(d.BoardText(), "出陣元の城を指定してください");
        ClickShiro(d, origin_);
        ASSERT_TRUE(d.OriginChosen());

        // The target: the general selection opens for the two castles; the first two rows go.
        Script().OnDialog([&](ui::Dialog& s) {
            auto& select = dynamic_cast<CBushouSelectDlg&>(s);
            EXPECT_EQ(select.m_nFromShiro, origin_);
            EXPECT_EQ(select.m_nToShiro, target_);
            EXPECT_TRUE(select.m_bShutsujin);
            // Centred on the main window.
            const ui::Point mid = select.GetWindowRect().CenterPoint();
            EXPECT_NEAR(mid.x, host_.GetWindowRect().CenterPoint().x, 4);
            EXPECT_NEAR(mid.y, host_.GetWindowRect().CenterPoint().y, 4);
            select.Grid().MultiLineSelect(0, true);
            select.Grid().MultiLineSelect(1, true);
            ASSERT_TRUE(ui::test::ClickControl(select, ui::IDOK));
        });
        ClickShiro(d, target_);
    });
    EXPECT_EQ(r, ui::IDOK);
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        const bool chosen = g == selectable[0] || g == selectable[1];
        EXPECT_EQ(IsOrdered(g), chosen) << g;
        if (!chosen) continue;
        EXPECT_EQ(b.sortieShiro, target_);
        EXPECT_EQ(b.sortieOrigin, origin_);
        EXPECT_EQ(b.flags & CBushou::kFlagByWater, 0);
    }
}

TEST_F(ShutsujinTest, CancelLeavesEveryRecordAsItWas) {
    const std::string before = StateHash(gs);
    const std::intptr_t r = Run([&](CShutsujinDlg& d) {
        ClickShiro(d, origin_);
        Script().Answer(ui::IDCANCEL);  // the general selection
        ClickShiro(d, target_);
        // Still awaiting the target, the origin blinking.
        EXPECT_TRUE(d.OriginChosen());
        EXPECT_EQ(d.Map().m_nBlinkShiro, origin_);
        EXPECT_EQ(d.BoardText(), "出陣先の城を指定してください");
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
    });
    EXPECT_EQ(r, ui::IDCANCEL);
    EXPECT_EQ(StateHash(gs), before);
}

TEST_F(ShutsujinTest, RefusedClicksTellWhyOrNothing) {
    // A castle beyond the head's province and its neighbours, and one of another house within reach.
    int far = -1, near = -1, unlinked = -1;
    for (int s : ShiroIndexes(gs)) {
        const int k = gs.ShiroMapTbl[static_cast<std::size_t>(s)].kuni;
        const bool reach = IsKuniNearHead(gs, player_, k);
        if (!reach && far < 0) far = s;
        if (reach && near < 0 && GetCountedDaimyouOfShiro(gs, s) != player_) near = s;
        if (unlinked < 0 && SortieLinkKind(gs, origin_, s, false) < 0 && s != origin_) unlinked = s;
    }
    ASSERT_GE(far, 0);
    ASSERT_GE(near, 0);
    ASSERT_GE(unlinked, 0);
    struct Case {
        const char* name;
        int origin;  // -1: the head's castle
        int target;  // -1: none
        std::function<void(GameState&)> setUp;
        const char* message;  // "" none
        bool originChosen;
    };
    const int owner = ShiroAt(gs, target_).daimyou;
    const Case cases[] = {
        {"origin too far", far, -1, nullptr, kSortieTooFarMessage, false},
        {"origin of another house", near, -1, nullptr, "", false},
        {"origin besieged", -1, -1, [&](GameState& g) { ShiroAt(g, origin_).nBesieger = 1; }, "", false},
        {"target not linked", -1, unlinked, nullptr, "隣接した城しか出陣できません", true},
        {"target of an ally nobody besieges", -1, target_,
         [&](GameState& g) { DaimyouAt(g, owner).SetRelationLo(player_, CDaimyou::kRelFusen); },
         "敵に包囲されていない同盟大名家および従属大名家の城へは出陣できません", true},
        {"target of a house that may not be attacked", -1, target_,
         [&](GameState& g) { DaimyouAt(g, owner).kindByte |= 0x08; }, "この大名家の城は攻撃できません", true},
    };
    CShiro& o = ShiroAt(gs, origin_);
    CDaimyou& house = DaimyouAt(gs, owner);
    const auto besiegers = o.nBesieger;
    const std::uint8_t relation = house.relation[static_cast<std::size_t>(player_)];
    const std::uint8_t kind = house.kindByte;
    for (const Case& c : cases) {
        if (c.setUp) c.setUp(gs);
        const std::string before = StateHash(gs);
        Run([&](CShutsujinDlg& d) {
            std::string told;
            if (c.message[0] != '\0' && c.target < 0) ExpectMessageBox(Script(), &told);
            ClickShiro(d, c.origin < 0 ? origin_ : c.origin);
            if (c.target >= 0) {
                ExpectMessageBox(Script(), &told);
                ClickShiro(d, c.target);
            }
            EXPECT_EQ(told, c.message) << c.name;
            EXPECT_EQ(d.OriginChosen(), c.originChosen) << c.name;
            d.EndDialog(ui::IDCANCEL);
        });
        EXPECT_EQ(StateHash(gs), before) << c.name;
        o.nBesieger = besiegers;
        house.relation[static_cast<std::size_t>(player_)] = relation;
        house.kindByte = kind;
    }
}

TEST_F(ShutsujinTest, AnotherProvinceByTheSwitchOrByAClickBesideItsCastles) {
    int other = -1, third = -1;
    for (int k = 0; k < gs.nKuni; ++k) {
        if (k == kuni_ || CountShiroInKuni(gs, k) == 0) continue;
        (other < 0 ? other : third) = k;
        if (third >= 0) break;
    }
    ASSERT_GE(third, 0);
    Run([&](CShutsujinDlg& d) {
        Script().OnDialog([&](ui::Dialog& s) {
            dynamic_cast<CKuniDispSwitchDlg&>(s).m_nKuni = other;
            s.EndDialog(ui::IDOK);
        });
        ASSERT_TRUE(ui::test::ClickControl(d, CShutsujinDlg::kKuniSwitchId));
        EXPECT_EQ(d.Map().m_nKuni, other);
        EXPECT_EQ(TextOf(d, CShutsujinDlg::kKuniNameId), "現在の表示国 : " + KuniNameText(map_, other, &gs));
        // Cancelling the switch keeps the province.
        Script().Answer(ui::IDCANCEL);
        ASSERT_TRUE(ui::test::ClickControl(d, CShutsujinDlg::kKuniSwitchId));
        EXPECT_EQ(d.Map().m_nKuni, other);
        // A click beside the castles of a province shows it.
        d.Map().m_nClickShiro = -1;
        d.Map().m_nClickKuni = third;
        ui::Wnd::SendCommand(&d, CShutsujinDlg::kMapId, 0, &d.Map());
        EXPECT_EQ(d.Map().m_nKuni, third);
        EXPECT_EQ(TextOf(d, CShutsujinDlg::kKuniNameId), "現在の表示国 : " + KuniNameText(map_, third, &gs));
        d.EndDialog(ui::IDCANCEL);
    });
}

}  // namespace
}  // namespace rymd::gui_test
