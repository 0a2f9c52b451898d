// The dialogs of the player's diplomacy on the bundled game (the Oda house playing): the
// counterpart choice (158) with its province map, list, checks and pulsing castles; the envoy
// dispatch (157) with its castle map and general list; the envoy visit (160) and the vassalage
// notice (165).
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/diplomacy/counterpart.h"
#include "game/diplomacy/envoys.h"
#include "game/state/access.h"
#include "game/state/queries.h"

#include <string>
#include <vector>

#include "game/shell/dialogs/diplomacy/counterpart_dlg.h"
#include "game/shell/dialogs/diplomacy/doumei_koushou_dlg.h"
#include "game/shell/dialogs/diplomacy/shisha_raihou_dlg.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/window/status_bar.h"
#include "gui/bundled_game_fixture.h"
#include "gui/gui_test_util.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/controls.h"
#include "platform/qt/list_ctrl.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;

class DiplomacyDlgsTest : public BundledGameTest {
protected:
    // The next dialog is a message box: its text is kept and it is answered.
    void DiplomacyDlgsAnswerBox(std::string* text, int answer) {
        Script().OnDialog([text, answer](ui::Dialog& box) {
            *text = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(answer);
        });
    }
    int RowOf(ui::ListCtrl& list, int data) const {
        for (int r = 0; r < list.GetItemCount(); ++r)
            if (static_cast<int>(list.GetItemData(r)) == data) return r;
        return -1;
    }
};

TEST_F(DiplomacyDlgsTest, CounterpartListsAProvincesHousesAndConfirmsTheChoice) {
    const int other = OtherHouse();
    ASSERT_GE(other, 0);
    const int kuni = KuniOf(CastleOf(other));
    int empty = -1;  // a province of the map without castles
    for (int k = 0; k < map_.KuniCount() && empty < 0; ++k)
        if (CountShiroInKuni(*gs_, k) == 0) empty = k;
    CKoushouAiteDlg dlg(*gs_, &map_, kKoushouShinjuuShigan);
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "臣従志願大名家選択");
        EXPECT_EQ(d.GetDlgItem(CKoushouAiteDlg::kPromptId)->GetWindowText(),
                  "国を指定し、臣従志願する大名家を選んでください");
        ui::ListCtrl& list = *dlg.HouseList();
        // A click on the map beside every province does nothing.
        dlg.MapWnd().m_nClickKuni = -1;
        ui::Wnd::SendCommand(&d, CKoushouAiteDlg::kMapId, 0, &dlg.MapWnd());
        EXPECT_EQ(list.GetItemCount(), 0);
        if (empty >= 0) {
            std::string told;
            DiplomacyDlgsAnswerBox(&told, ui::IDOK);
            dlg.OnKuniClicked(empty);
            EXPECT_EQ(told,
                      "このシナリオでは、" + KuniNameText(map_, empty, gs_.get()) + "のデータはありません");
            EXPECT_EQ(list.GetItemCount(), 0);
        }
        dlg.MapWnd().m_nClickKuni = kuni;
        ui::Wnd::SendCommand(&d, CKoushouAiteDlg::kMapId, 0, &dlg.MapWnd());
        EXPECT_EQ(d.GetDlgItem(CKoushouAiteDlg::kKuniNameId)->GetWindowText(),
                  KuniNameText(map_, kuni, gs_.get()));
        ASSERT_EQ(list.GetItemCount(), static_cast<int>(HousesInKuni(*gs_, kuni).size()));
        const int row = RowOf(list, other);
        ASSERT_GE(row, 0);
        EXPECT_EQ(list.GetItemText(row, 0), DaimyouAt(*gs_, other).name);
        EXPECT_EQ(list.GetItemText(row, 1), std::to_string(CountShiroOfDaimyou(*gs_, other)));
        EXPECT_EQ(list.GetItemText(row, 2), KokudakaText(SumKokudakaOfDaimyou(*gs_, other), gs_.get()));

        // The player's own house is refused and the dialog stays open.
        std::string told;
        DiplomacyDlgsAnswerBox(&told, ui::IDOK);
        dlg.OnHouseClicked(Oda());
        EXPECT_EQ(told, "当家以外の大名家を指定してください");
        // A click on the other house's row asks for confirmation; Cancel keeps the dialog.
        DiplomacyDlgsAnswerBox(&told, ui::IDCANCEL);
        const ui::Point p = list.ItemRect(row).CenterPoint();
        ui::test::MouseDown(list, p);
        ui::test::MouseUp(list, p);
        EXPECT_EQ(told, DaimyouAt(*gs_, other).name + "に使者を送り交渉を行います");
        EXPECT_EQ(dlg.SelectedHouse(), -1);

        // The player's castles pulse: levels 1, 2, 3, 2, 1, 0 over phases 1..5, 0. Seen on a
        // castle whose dot no later dot's rim covers on this small map.
        auto clear = [&](int c) {
            ui::Rect a = dlg.MapWnd().ShiroDotRect(c);
            a.InflateRect(1, 1);
            for (int t = c + 1; t < ShiroCount(*gs_); ++t) {
                ui::Rect b = dlg.MapWnd().ShiroDotRect(t);
                b.InflateRect(1, 1);
                if (!b.IsRectEmpty() && a.left < b.right && b.left < a.right && a.top < b.bottom &&
                    b.top < a.bottom)
                    return false;
            }
            return true;
        };
        int own = -1;
        for (int c : ShiroIndexes(*gs_))
            if (ShiroAt(*gs_, c).daimyou == Oda() && clear(c)) own = c;
        ASSERT_GE(own, 0);
        const int levels[] = {1, 2, 3, 2, 1, 0};
        for (int level : levels) {
            ASSERT_TRUE(ui::test::FireTimer(d, CKoushouAiteDlg::kBlinkTimer));
            const ui::Point dot = dlg.MapWnd().ShiroDotRect(own).CenterPoint();
            EXPECT_EQ(dlg.MapWnd().m_BackBmp.GetPixelColor(dot.x, dot.y),
                      CKoushouAiteDlg::kPulse[static_cast<std::size_t>(level)])
                << "phase " << dlg.BlinkPhase();
        }
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("koushou_aite")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("koushou_aite@2x"), 2.0));
        DiplomacyDlgsAnswerBox(&told, ui::IDOK);
        dlg.OnHouseClicked(other);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(dlg.SelectedHouse(), other);
}

TEST_F(DiplomacyDlgsTest, CounterpartCaptionsOfEveryModeAndCancel) {
    const std::pair<int, const char*> modes[] = {
        {0, "不戦同盟交渉大名家選択"}, {1, "従属要求大名家選択"},  {2, "臣従要求大名家選択"},
        {3, "主家鞍替大名家選択"},     {4, "従属志願大名家選択"},  {5, "臣従志願大名家選択"},
        {6, "捕虜交換大名家選択"},     {-1, "同盟破棄大名家選択"},
    };
    for (const auto& [mode, caption] : modes) {
        Script().OnDialog([&, mode = mode, caption = caption](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), caption);
            const std::string name = "koushou_aite_mode" + std::to_string(mode < 0 ? 9 : mode);
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name)));
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name + "@2x"), 2.0));
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
        });
        EXPECT_EQ(ChooseCounterpart(nullptr, *gs_, mode, &map_), -1);
    }
}

TEST_F(DiplomacyDlgsTest, EnvoyDispatchTakesACastleOfTheHouseThenAGeneralThenTheHouse) {
    const int other = OtherHouse();
    const int own = CastleOf(Oda());
    const int foreign = CastleOf(other);
    ASSERT_GE(own, 0);
    ASSERT_GE(foreign, 0);
    const std::vector<int> envoys = EnvoyBushouOfShiro(*gs_, own);
    ASSERT_FALSE(envoys.empty());
    CDoumeiKoushouDlg dlg(*gs_, &map_, kKoushouShinjuuShigan, KuniOf(own));
    auto click = [&](ui::Dialog& d, int shiro) {
        dlg.Map().m_nClickShiro = shiro;
        ui::Wnd::SendCommand(&d, CDoumeiKoushouDlg::kMapId, 0, &dlg.Map());
    };
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "同盟交渉");
        EXPECT_EQ(dlg.PromptText(), "使者派遣元の城を指定してください");
        ui::ListCtrl& list = *dlg.BushouList();
        click(d, foreign);
        EXPECT_EQ(list.GetItemCount(), 0) << "another house's castle changes nothing";
        EXPECT_EQ(dlg.EnvoyShiro(), -1);
        click(d, own);
        EXPECT_EQ(d.GetDlgItem(CDoumeiKoushouDlg::kShiroNameId)->GetWindowText(),
                  gs_->ShiroMapTbl[static_cast<std::size_t>(own)].name);
        ASSERT_EQ(list.GetItemCount(), static_cast<int>(envoys.size()));
        EXPECT_EQ(dlg.PromptText(), "派遣する武将を指定してください");
        for (int r = 0; r < list.GetItemCount(); ++r) {
            const int b = static_cast<int>(list.GetItemData(r));
            EXPECT_EQ(list.GetItemText(r, 1), b == DaimyouAt(*gs_, Oda()).toushu ? "当主" : "　　");
            EXPECT_EQ(list.GetItemText(r, 2), std::to_string(BushouAt(*gs_, b).seiji));
        }
        dlg.OnBushouClicked(-1);
        EXPECT_EQ(dlg.PromptText(), "同盟交渉する武将を指定して下さい");
        ASSERT_TRUE(ui::test::FireTimer(d, CDoumeiKoushouDlg::kTimer));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("doumei_koushou")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("doumei_koushou@2x"), 2.0));

        // Cancelling the counterpart leaves this dialog open with nothing marked.
        Script().OnDialog([](ui::Dialog& c) { EXPECT_TRUE(ui::test::ClickControl(c, ui::IDCANCEL)); });
        dlg.OnBushouClicked(0);
        EXPECT_FALSE(BushouAt(*gs_, envoys[0]).flags & CBushou::kFlagOrdered);
        // Now the house is chosen and confirmed.
        Script().OnDialog([&](ui::Dialog& c) {
            auto& counterpart = dynamic_cast<CKoushouAiteDlg&>(c);
            EXPECT_EQ(c.GetWindowText(), "臣従志願大名家選択");
            std::string told;
            DiplomacyDlgsAnswerBox(&told, ui::IDOK);
            counterpart.OnHouseClicked(other);
        });
        dlg.OnBushouClicked(0);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(dlg.ChosenHouse(), other);
    EXPECT_TRUE(BushouAt(*gs_, envoys[0]).flags & CBushou::kFlagOrdered);

    // Every general of the castle gone: the list stays empty and the prompt asks for a castle.
    for (int b : envoys)
        BushouAt(*gs_, b).flags |= CBushou::kFlagOrdered;
    CDoumeiKoushouDlg again(*gs_, &map_, kKoushouFusen, KuniOf(own));
    Script().OnDialog([&](ui::Dialog& d) {
        again.Map().m_nClickShiro = own;
        ui::Wnd::SendCommand(&d, CDoumeiKoushouDlg::kMapId, 0, &again.Map());
        EXPECT_EQ(again.BushouList()->GetItemCount(), 0);
        EXPECT_EQ(again.PromptText(), "使者派遣元の城を指定してください");
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
    });
    EXPECT_EQ(again.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(again.ChosenHouse(), -1);
}

TEST_F(DiplomacyDlgsTest, EnvoyVisitAsksByModeAndOffersTheHostageOnlyToApplications) {
    const int other = OtherHouse();
    ASSERT_GE(other, 0);
    struct Case {
        int mode;
        bool tick;
        const char* gallery;
    };
    for (const Case c : {Case{kShishaFusen, false, "shisha_raihou_mode0"},
                         Case{kShishaJuuzokuShigan, true, "shisha_raihou_mode3"}}) {
        SCOPED_TRACE(c.mode);
        AskPort::EnvoyVisit visit;
        visit.game = gs_.get();
        visit.caption = ShishaCaption(c.mode);
        visit.mode = c.mode;
        visit.counterpart = other;
        visit.question = ShishaQuestionText(*gs_, c.mode, other);
        visit.info = ShishaInfoText(*gs_, other);
        CShishaRaihouDlg dlg(visit, &map_);
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), c.mode == 0 ? "不戦同盟交渉使者来訪" : "従属志願使者来訪");
            EXPECT_EQ(d.GetDlgItem(CShishaRaihouDlg::kQuestionId)->GetWindowText(), visit.question);
            EXPECT_EQ(d.GetDlgItem(CShishaRaihouDlg::kInfoId)->GetWindowText(), visit.info);
            auto* box = dynamic_cast<ui::Button*>(d.GetDlgItem(CShishaRaihouDlg::kHitojichiId));
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->IsWindowVisible(), c.tick);
            // Where the check box stands: the dialog's face in mode 0, its square in mode 3.
            const ui::Rect r = d.ChildRect(CShishaRaihouDlg::kHitojichiId);
            const QImage shot = ui::test::Grab(d);
            const ui::COLORREF face = ui::test::PixelAt(shot, r.left - 3, r.top + r.Height() / 2);
            bool marked = false;
            for (int x = r.left; x < r.left + r.Height(); ++x)
                marked = marked || ui::test::PixelAt(shot, x, r.top + r.Height() / 2) != face;
            EXPECT_EQ(marked, c.tick);
            // The house information of the counterpart.
            Script().OnDialog([&](ui::Dialog& info) {
                EXPECT_NE(dynamic_cast<CDaimyouInfoDlg*>(&info), nullptr);
                info.EndDialog(ui::IDOK);
            });
            EXPECT_TRUE(ui::test::ClickControl(d, CShishaRaihouDlg::kSeiryokuId));
            if (c.tick) box->SetCheck(ui::BST_CHECKED);
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(c.gallery)));
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(std::string(c.gallery) + "@2x"), 2.0));
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        EXPECT_EQ(dlg.DoModal(), ui::IDOK);
        EXPECT_EQ(dlg.DemandHostage(), c.tick);
    }
    // いいえ refuses.
    AskPort::EnvoyVisit visit;
    visit.mode = kShishaJuuzokuYoukyuu;
    Script().Answer(ui::IDCANCEL);
    const AskPort::EnvoyReply reply = RunShishaRaihou(nullptr, visit, nullptr);
    EXPECT_FALSE(reply.accept);
    EXPECT_FALSE(reply.demandHostage);
}

TEST_F(DiplomacyDlgsTest, VassalageNoticeTellsWhatThePlayerMayNowOrder) {
    CShinjuuSeikouDlg dlg(gs_->ScenarioWords, "今川家は当家に臣従しました");
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "臣従化成功");
        EXPECT_EQ(d.GetDlgItem(CShinjuuSeikouDlg::kTextId)->GetWindowText(), "今川家は当家に臣従しました");
        EXPECT_EQ(d.GetDlgItem(CShinjuuSeikouDlg::kMoveId)->GetWindowText(),
                  "臣従大名家の城には、自家の城と同様に移動が可能になります");
        EXPECT_EQ(d.GetDlgItem(CShinjuuSeikouDlg::kOrderId)->GetWindowText(),
                  "臣従大名家の当主・武将には、移動・外交使者派遣・出陣の指示が可能になります");
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shinjuu_seikou")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("shinjuu_seikou@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

}  // namespace
}  // namespace rymd::gui_test
