// The siege dialog and the retreat dialog on a small siege: the controls each side sees, the
// turns played by the buttons to the end of the month, the boards and lists at stated points,
// the retreat with its refusal, the battle music, and gallery pictures at 100 % and 200 %.
#include <algorithm>
#include <set>

#include "game/military/battle_runners.h"
#include "game/military/siege_session.h"
#include "game/shell/app/help.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/military/koujousen_dlg.h"
#include "game/shell/dialogs/military/koujousen_retreat_dlg.h"
#include "game/shell/music/music_player.h"
#include "game/shell/port/qt_port.h"
#include "gui/gui_test_util.h"
#include "gui/recording_music_backend.h"
#include "mbbmp/control_bmp.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

// Castle 0 of house 0 besieged by house 1; castle 1 of house 1 and castle 2 of house 0 are
// linked to it by broad roads. player: the house the player plays.
struct SiegeWorld : test::TestWorld {
    CBattleRunner runner{gs, ports};
    std::unique_ptr<KoujousenSession> session;

    explicit SiegeWorld(int player) : TestWorld({.castles = 3, .houses = 2, .soldierUnit = 10}) {
        gs.rng.Seed(7);
        gs.nPlayerDaimyou = player;
        gs.nShiroHyourouMax = 1000;
        gs.bKeiryaku = false;
        Own(1, 1);
        Link(0, 1);
        Link(0, 2);
        gs.DaimyouTbl[0].name = "織田家";
        gs.DaimyouTbl[1].name = "今川家";
        gs.ShiroMapTbl[0].name = "清洲城";
        gs.ShiroMapTbl[1].name = "岡崎城";
        gs.ShiroMapTbl[0].maxKibo = 5;
        CShiro& s = gs.ShiroTbl[0];
        s.kibo = 3;
        s.hyourou = 3000;
        s.shubihei = 20;
        s.siegeValue = 120;
        AddBushou(0, 0, {.name = "柴田勝家", .foot = 60, .cavalry = 10, .chibou = 4, .buyuu = 9});
        AddBushou(0, 0, {.name = "丹羽長秀", .foot = 40, .cavalry = 5, .chibou = 7, .buyuu = 6});
        AddBushou(0, 0, {.name = "佐久間信盛", .foot = 30, .chibou = 5, .buyuu = 5});
        Besiege(0, 1, {.name = "今川義元", .foot = 400, .cavalry = 60, .chibou = 6, .buyuu = 7});
        Besiege(0, 1, {.name = "朝比奈泰朝", .foot = 300, .cavalry = 30, .chibou = 4, .buyuu = 8});
        for (int g = 0; g < gs.nBushou; ++g)
            gs.BushouTbl[static_cast<std::size_t>(g)].birthYear = 1530;
        session = std::make_unique<KoujousenSession>(gs, ports, runner, 0, false);
        shell::PictureStore().SetFolder(std::string(RYMD_BUILD_DIR) + "/picture/");
    }
};

Rect ChildRect(ui::Wnd& dialog, ui::Wnd& child) {
    Rect r = child.GetWindowRect();
    dialog.ScreenToClient(r);
    return r;
}
Rect ItemRect(ui::Wnd& dialog, int id) {
    return ChildRect(dialog, *dialog.GetDlgItem(id));
}
bool Visible(ui::Dialog& d, int id) {
    return d.GetDlgItem(id)->IsWindowVisible();
}
bool Enabled(ui::Dialog& d, int id) {
    return d.GetDlgItem(id)->IsWindowEnabled();
}

int DarkPixels(const QImage& img, const Rect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const ui::COLORREF c = ui::test::PixelAt(img, x, y);
            if (ui::GetRValue(c) + ui::GetGValue(c) + ui::GetBValue(c) < 384) ++n;
        }
    return n;
}

std::vector<std::string> Column(ui::ListCtrl& list, int col) {
    std::vector<std::string> out;
    for (int i = 0; i < list.GetItemCount(); ++i)
        out.push_back(list.GetItemText(i, col));
    return out;
}

void SaveGallery(ui::Wnd& w, const std::string& name) {
    EXPECT_TRUE(ui::test::GrabToPng(w, GalleryPath(name)));
    EXPECT_TRUE(ui::test::GrabToPng(w, GalleryPath(name + "@2x"), 2.0));
}

class KoujousenDlgTest : public GuiTest {};

TEST_F(KoujousenDlgTest, ThePlayerBesiegesTurnByTurnToTheEndOfTheMonth) {
    SiegeWorld w(1);
    // 今川義元 outwits the defenders in the first turn: the log tells it.
    w.gs.bKeiryaku = true;
    w.gs.BushouTbl[3].chibou = 8;
    w.gs.BushouTbl[3].counter33 = 80;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CKoujousenDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "城攻略戦");
        // The besieger's buttons only; nothing to close yet.
        for (int id : {CKoujousenDlg::kAssaultId, CKoujousenDlg::kWaitId})
            EXPECT_TRUE(Visible(d, id)) << id;
        for (int id : {CKoujousenDlg::kYasenId, CKoujousenDlg::kKaisenId, CKoujousenDlg::kRetreatId,
                       CKoujousenDlg::kDefendId, CKoujousenDlg::kCloseId})
            EXPECT_FALSE(Visible(d, id)) << id;
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kWaitId)->GetWindowText(), "待機（兵糧攻め）");
        EXPECT_FALSE(Visible(d, CKoujousenDlg::kNoStarveNoteId));
        EXPECT_FALSE(Visible(d, CKoujousenDlg::kNoAssaultNoteId));
        EXPECT_FALSE(Visible(d, CKoujousenDlg::kOwnShipsId));  // no waterway
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kTurnTextId)->GetWindowText(), "ターン 1/5");
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kRouteId)->GetWindowText(), "岡崎城 → 清洲城 （主街道）");
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kBesiegerHouseId)->GetWindowText(), "今川家");
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kOwnerHouseId)->GetWindowText(), "織田家");
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kBesiegerTotalId)->GetWindowText(), "総兵数 7900");
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kDefenderTotalId)->GetWindowText(), "総兵数 1650");
        EXPECT_EQ(Column(dlg.BesiegerList(), 0), (std::vector<std::string>{"今川義元", "朝比奈泰朝"}));
        EXPECT_EQ(Column(dlg.DefenderList(), 0),
                  (std::vector<std::string>{"城守備兵", "柴田勝家", "丹羽長秀", "佐久間信盛"}));
        EXPECT_EQ(Column(dlg.DefenderList(), 2), (std::vector<std::string>{"200", "600", "400", "300"}));
        EXPECT_EQ(dlg.BesiegerList().GetColumnWidth(0), 72);
        // A click on the foot column sorts the largest first.
        ui::NMListView click;
        click.hdr.code = ui::LVN_COLUMNCLICK;
        click.iSubItem = 2;
        std::intptr_t result = 0;
        d.OnNotify(CKoujousenDlg::kDefenderListId, &click.hdr, &result);
        EXPECT_EQ(Column(dlg.DefenderList(), 2), (std::vector<std::string>{"600", "400", "300", "200"}));

        // The boards lie over their frames; the picture shows the castle picture at its centre.
        struct Board {
            int frame;
            ui::Wnd* board;
        } boards[] = {{CKoujousenDlg::kTitleFrameId, &dlg.TitleBoard()},
                      {CKoujousenDlg::kDamageFrameId, &dlg.DamageBoard()},
                      {CKoujousenDlg::kProvisionsFrameId, &dlg.ProvisionsBoard()},
                      {CKoujousenDlg::kPictureFrameId, &dlg.Picture()}};
        for (const Board& b : boards)
            EXPECT_EQ(ChildRect(d, *b.board), ItemRect(d, b.frame)) << b.frame;
        QImage img = ui::test::Grab(d);
        const Rect title = ChildRect(d, dlg.TitleBoard());
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, title.left, title.top)), Rgb(RGB(255, 255, 255)));
        const int width = PGothicTextWidth(16, "清洲城 の攻防");
        EXPECT_GT(DarkPixels(img, Rect(title.left + (title.Width() - width) / 2 - 1, title.top + 1,
                                       title.left + (title.Width() + width) / 2 + 1, title.bottom - 1)),
                  60);
        EXPECT_EQ(DarkPixels(img, Rect(title.left + 2, title.top + 2,
                                       title.left + (title.Width() - width) / 2 - 3, title.bottom - 2)),
                  0);
        // The damage board: the heading and one line per level of the size 3 castle (0%, 20%, 陥落
        // for 120 points), nothing below.
        const Rect dmg = ChildRect(d, dlg.DamageBoard());
        for (int line = 0; line < 4; ++line) {
            const int top = dmg.top + 3 + line * 13 + (line ? 2 : 0);
            EXPECT_GT(DarkPixels(img, Rect(dmg.left + 2, top, dmg.right - 2, top + 13)), 20) << line;
        }
        EXPECT_EQ(
            DarkPixels(img, Rect(dmg.left + 2, dmg.top + 3 + 4 * 13 + 4, dmg.right - 2, dmg.bottom - 3)), 0);
        const MbBmp::CControlBmp& pic = dlg.CastlePicture();
        ASSERT_FALSE(pic.IsEmpty());
        const Rect p = ChildRect(d, dlg.Picture());
        std::set<ui::COLORREF> colours;
        for (int y = p.top + 10; y < p.bottom - 10; y += 7)
            for (int x = p.left + 10; x < p.right - 10; x += 7)
                colours.insert(ui::test::PixelAt(img, x, y));
        EXPECT_GT(colours.size(), 10u);  // a picture, not a plain board
        SaveGallery(d, "siege_dialog_besieger");

        // The events before the first turn run once the dialog shows: no sally against this army.
        EXPECT_TRUE(ui::test::FireTimer(d, CKoujousenDlg::kOpeningTimer));
        EXPECT_FALSE(d.IsEnded());
        // Four assaults use up the month's supply along a broad road.
        for (int t = 1; t <= 4; ++t) {
            EXPECT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kAssaultId)) << t;
            if (t == 1) {
                EXPECT_EQ(dlg.Log().GetText().rfind(
                              "ターン1【攻略軍の流言】今川家 の 今川義元 が城内に間者を潜入させて", 0),
                          0u)
                    << dlg.Log().GetText();
                QImage shot = ui::test::Grab(d);
                const Rect log = ChildRect(d, dlg.Log());
                EXPECT_GT(DarkPixels(shot, Rect(log.left + 3, log.top + 3, log.right - 3, log.top + 18)), 60);
                // The entry is longer than the box and reads whole: it wraps, with no bar to scroll
                // sideways.
                const std::string text = dlg.Log().GetText();
                EXPECT_GT(PGothicTextWidth(12, text.substr(0, text.find('\n'))), log.Width()) << text;
                EXPECT_FALSE(dlg.Log().IsScrollBarVisible(ui::SB_HORZ));
            }
            if (d.GetDlgItem(CKoujousenDlg::kCloseId)->IsWindowVisible()) break;
        }
        if (!Visible(d, CKoujousenDlg::kCloseId)) {
            EXPECT_TRUE(Visible(d, CKoujousenDlg::kNoAssaultNoteId));
            EXPECT_FALSE(Enabled(d, CKoujousenDlg::kAssaultId));
            EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kTurnTextId)->GetWindowText(), "ターン 5/5");
            EXPECT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kWaitId));
        }
        EXPECT_TRUE(Visible(d, CKoujousenDlg::kCloseId));
        EXPECT_EQ(ui::Wnd::GetFocus(), d.GetDlgItem(CKoujousenDlg::kCloseId));
        for (int id : {CKoujousenDlg::kAssaultId, CKoujousenDlg::kWaitId})
            EXPECT_FALSE(Enabled(d, id));
        EXPECT_TRUE(w.session->Over());
        const std::string outcome = d.GetDlgItem(CKoujousenDlg::kTurnTextId)->GetWindowText();
        EXPECT_TRUE(outcome == "城攻略戦終了" || outcome == "強襲により落城しました") << outcome;
        SaveGallery(d, "siege_dialog_besieger_over");
        ui::test::PressKey(d, ui::VK_ESCAPE);  // never closes it
        EXPECT_FALSE(d.IsEnded());
        EXPECT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kCloseId));
    });
    EXPECT_EQ(RunKoujousenDlg(nullptr, *w.session, nullptr), ui::IDOK);
    EXPECT_GT(w.gs.ShiroTbl[0].siegeValue, 120);
}

TEST_F(KoujousenDlgTest, AFortressOnAnOpenWaterwayCannotBeStarved) {
    SiegeWorld w(1);
    w.gs.ShiroMapTbl[0].flags |= ShiroMapRecord::kFlagWaterway;
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kWaitId)->GetWindowText(), "待機");
        EXPECT_TRUE(Visible(d, CKoujousenDlg::kNoStarveNoteId));
        EXPECT_TRUE(Visible(d, CKoujousenDlg::kOwnShipsId));
        EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kOwnShipsId)->GetWindowText(), "軍船 0");
        // The note's two lines are written in its place, each whole on its line.
        QImage img = ui::test::Grab(d);
        const Rect note = ItemRect(d, CKoujousenDlg::kNoStarveNoteId);
        for (const char* line :
             {"水路が封鎖されていないので兵糧攻めはできません", "（水路から城内への物資補給あり）"})
            EXPECT_LE(PGothicTextWidth(12, line), note.Width()) << line;
        EXPECT_GE(note.Height(), 2 * PGothicTextHeight());
        const Rect other = ItemRect(d, CKoujousenDlg::kNoAssaultNoteId);
        EXPECT_LE(PGothicTextWidth(12, "補給物資が尽きたので今月はこれ以上の強襲はできません"),
                  other.Width());
        EXPECT_LE(note.bottom, other.top);
        EXPECT_LE(other.bottom, ItemRect(d, CKoujousenDlg::kWaitId).top);
        SaveGallery(d, "siege_dialog_waterway");
        EXPECT_GT(DarkPixels(img, Rect(note.left, note.top, note.right, note.top + note.Height() / 2)), 40);
        EXPECT_GT(DarkPixels(img, Rect(note.left, note.top + note.Height() / 2, note.right, note.bottom)),
                  40);
        d.EndDialog(ui::IDOK);
    });
    RunKoujousenDlg(nullptr, *w.session, nullptr);
}

// Every turn and result text of the siege reads whole in its place beside the buttons (wrapped on
// the label's lines, none cut); a castle starved out shows it.
TEST_F(KoujousenDlgTest, EveryResultTextReadsWhole) {
    SiegeWorld w(1);
    w.gs.ShiroTbl[0].hyourou = 1;
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_TRUE(ui::test::FireTimer(d, CKoujousenDlg::kOpeningTimer));
        EXPECT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kWaitId));
        ui::Wnd* label = d.GetDlgItem(CKoujousenDlg::kTurnTextId);
        EXPECT_EQ(label->GetWindowText(), "兵糧が尽きたので開城しました");
        const Rect place = label->GetClientRect();
        for (const char* text : {"ターン 5/5", "落城しました", "強襲により落城しました",
                                 "兵糧が尽きたので開城しました", "城攻略戦終了"}) {
            ui::Dc dc = ui::Dc::ForMeasure();
            dc.SelectFont(label->GetFont());
            Rect need = place;
            dc.DrawText(text, need, ui::DT_WORDBREAK | ui::DT_CALCRECT);
            EXPECT_LE(need.Width(), place.Width()) << text;
            EXPECT_LE(need.Height(), place.Height()) << text;
        }
        // The label keeps clear of the note above it and of the buttons beside it.
        const Rect r = ItemRect(d, CKoujousenDlg::kTurnTextId);
        EXPECT_LE(ItemRect(d, CKoujousenDlg::kNoAssaultNoteId).bottom, r.top);
        EXPECT_LE(r.right, ItemRect(d, CKoujousenDlg::kAssaultId).left);
        EXPECT_LE(r.bottom, d.GetClientRect().bottom);
        // Both lines are written.
        QImage img = ui::test::Grab(d);
        EXPECT_GT(DarkPixels(img, Rect(r.left, r.top, r.right, r.top + r.Height() / 2)), 20);
        EXPECT_GT(DarkPixels(img, Rect(r.left, r.top + r.Height() / 2, r.left + r.Width() / 2, r.bottom)),
                  10);
        SaveGallery(d, "siege_dialog_starved");
        EXPECT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kCloseId));
    });
    RunKoujousenDlg(nullptr, *w.session, nullptr);
}

// The scenario's words are texts: a warship word that looks like printf conversions shows as
// written in both ship lines.
TEST_F(KoujousenDlgTest, AWarshipWordLikeConversionsIsShownAsWritten) {
    for (const std::string word : {"船%d", "%s", "%s%s%s%s%n"}) {
        SiegeWorld w(1);
        w.gs.ShiroMapTbl[0].flags |= ShiroMapRecord::kFlagWaterway;
        w.gs.ScenarioWords[kWordGunsen] = word;
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kOwnShipsId)->GetWindowText(), word + " 0");
            EXPECT_EQ(d.GetDlgItem(CKoujousenDlg::kBlockadeShipsId)->GetWindowText(), word + " 0");
            d.EndDialog(ui::IDOK);
        });
        RunKoujousenDlg(nullptr, *w.session, nullptr);
    }
}

TEST_F(KoujousenDlgTest, ThePlayerDefendsRetreatsTwoGeneralsAndHoldsTheMonth) {
    SiegeWorld w(0);
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CKoujousenDlg&>(d);
        for (int id : {CKoujousenDlg::kYasenId, CKoujousenDlg::kKaisenId, CKoujousenDlg::kRetreatId,
                       CKoujousenDlg::kDefendId})
            EXPECT_TRUE(Visible(d, id)) << id;
        for (int id : {CKoujousenDlg::kAssaultId, CKoujousenDlg::kWaitId, CKoujousenDlg::kCloseId})
            EXPECT_FALSE(Visible(d, id)) << id;
        EXPECT_TRUE(Enabled(d, CKoujousenDlg::kYasenId));
        EXPECT_FALSE(Enabled(d, CKoujousenDlg::kKaisenId));  // no waterway
        EXPECT_EQ(ui::Wnd::GetFocus(), d.GetDlgItem(CKoujousenDlg::kDefendId));
        SaveGallery(d, "siege_dialog_defender");

        // The retreat dialog: every general of the castle; two dragged over leave.
        Script().OnDialog([&](ui::Dialog& r) {
            auto& retreat = dynamic_cast<CShiroRetreatDlg&>(r);
            EXPECT_EQ(r.GetWindowText(), "城から退却");
            EXPECT_EQ(r.GetDlgItem(ui::IDOK)->GetWindowText(), "退却");
            EXPECT_EQ(r.GetDlgItem(ui::IDCANCEL)->GetWindowText(), "ｷｬﾝｾﾙ");
            MbWnd::CCellCtrl& grid = retreat.Grid();
            EXPECT_EQ(grid.GetStyle(), 133u);
            ASSERT_EQ(grid.GetLineSize(), 3);
            EXPECT_EQ(grid.GetCellText(0, 0), "柴田勝家");
            EXPECT_EQ(grid.GetCellText(0, 2), "30");
            EXPECT_EQ(grid.GetCellText(0, 4), "600");
            EXPECT_EQ(ChildRect(r, grid), ItemRect(r, CShiroRetreatDlg::kGridFrameId));
            MbWnd::CCellPane& pane = grid.RightPane();
            ui::test::MouseDown(pane, pane.CellRect(1, 0).CenterPoint());
            ui::test::MouseMove(pane, pane.CellRect(2, 0).CenterPoint(), true);
            ui::test::MouseUp(pane, pane.CellRect(2, 0).CenterPoint());
            EXPECT_EQ(retreat.Selected(), (std::vector<int>{1, 2}));
            // The chosen lines are painted in the selection colour, the first is not.
            QImage img = ui::test::Grab(r);
            const Rect grect = ChildRect(r, grid);
            auto at = [&](int line) {
                const Rect cell = pane.CellRect(line, 3);
                Rect pr = pane.GetWindowRect();
                r.ScreenToClient(pr);
                return ui::test::PixelAt(img, pr.left + cell.left + 3, pr.top + cell.top + 3);
            };
            EXPECT_NE(Rgb(at(0)), Rgb(at(1)));
            EXPECT_EQ(Rgb(at(1)), Rgb(at(2)));
            EXPECT_GT(DarkPixels(img, Rect(grect.left + 2, grect.top + 2, grect.right - 2, grect.top + 16)),
                      40);
            SaveGallery(r, "retreat_dialog");
            EXPECT_TRUE(ui::test::ClickControl(r, ui::IDOK));
            EXPECT_TRUE(r.IsEnded());
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kRetreatId));
        EXPECT_EQ(Column(dlg.DefenderList(), 0), (std::vector<std::string>{"城守備兵", "柴田勝家"}));
        EXPECT_EQ(w.gs.BushouTbl[1].shiro, 2);

        for (int t = 1; t <= 5 && !Visible(d, CKoujousenDlg::kCloseId); ++t)
            EXPECT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kDefendId)) << t;
        EXPECT_TRUE(Visible(d, CKoujousenDlg::kCloseId));
        for (int id : {CKoujousenDlg::kYasenId, CKoujousenDlg::kRetreatId, CKoujousenDlg::kDefendId})
            EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_TRUE(ui::test::ClickControl(d, CKoujousenDlg::kCloseId));
    });
    EXPECT_EQ(RunKoujousenDlg(nullptr, *w.session, nullptr), ui::IDOK);
    EXPECT_TRUE(w.session->Over());
}

TEST_F(KoujousenDlgTest, ARetreatWithNowhereToGoIsRefusedAndTheDialogStays) {
    SiegeWorld w(0);
    w.Fill(2, 20);
    ShiroRetreatChoice choice(w.gs, w.ports, 0);
    Script().OnDialog([&](ui::Dialog& r) {
        auto& retreat = dynamic_cast<CShiroRetreatDlg&>(r);
        retreat.Grid().MultiLineSelect(0, true);
        EXPECT_TRUE(ui::test::ClickControl(r, ui::IDOK));
        EXPECT_FALSE(r.IsEnded());
        EXPECT_TRUE(ui::test::ClickControl(r, ui::IDCANCEL));
    });
    EXPECT_EQ(RunShiroRetreatDlg(nullptr, choice), ui::IDCANCEL);
    EXPECT_EQ(w.Informs(), std::vector<std::string>{"退却できる城がありません"});
    EXPECT_EQ(w.gs.ShiroTbl[0].nBushou, 3);
}

// F1 in the siege dialog and in the retreat dialog opens the help's top page; both stay open.
TEST_F(KoujousenDlgTest, F1InBothDialogsOpensTheHelp) {
    std::vector<std::string> opened;
    shell::SetHelpViewer([&](const std::string& page) {
        opened.push_back(page);
        return true;
    });
    shell::SetProgramHelpAddress(std::string(RYMD_SOURCE_DIR) + "/data/help/rymd_mv.chm::/01top.html");
    SiegeWorld w(0);
    ShiroRetreatChoice choice(w.gs, w.ports, 0);
    Script().OnDialog([&](ui::Dialog& r) {
        ui::test::PressKey(r, ui::VK_F1);
        EXPECT_FALSE(r.IsEnded());
        EXPECT_TRUE(ui::test::ClickControl(r, ui::IDCANCEL));
    });
    RunShiroRetreatDlg(nullptr, choice);
    Script().OnDialog([&](ui::Dialog& d) {
        ui::test::PressKey(d, ui::VK_F1);
        EXPECT_FALSE(d.IsEnded());
        d.EndDialog(ui::IDOK);
    });
    RunKoujousenDlg(nullptr, *w.session, nullptr);
    shell::SetHelpViewer(nullptr);
    shell::SetProgramHelpAddress("");
    const std::string top = std::string(RYMD_SOURCE_DIR) + "/data/help/rymd_mv/01top.html";
    EXPECT_EQ(opened, (std::vector<std::string>{top, top}));
}

TEST_F(KoujousenDlgTest, TheQtPortPlaysTheSiegeToTheBattleMusic) {
    SiegeWorld w(1);
    RecordingMusicBackend backend;
    shell::MusicPlayer music(backend);
    QtPort port;
    port.SetMusic(&music);
    EXPECT_NE(music.Situation(), shell::MusicPlayer::kBattle);
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(music.Situation(), shell::MusicPlayer::kBattle);
        d.EndDialog(ui::IDOK);
    });
    EXPECT_TRUE(port.PlayKoujousen(*w.session));
    EXPECT_EQ(Script().DialogsShown(), std::vector<std::string>{"城攻略戦"});
}

}  // namespace
}  // namespace rymd::gui_test
