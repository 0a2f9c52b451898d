// Where the keyboard focus stands when a dialog opens, and what Enter then does: the focus is on
// the dialog's first button, so that Enter answers the dialog's question or closes it and never
// opens another window (the house information, the variable list, the province switch, the
// cipher, the general list). Each dialog runs over the bundled game with the Oda house playing.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/diplomacy/counterpart.h"
#include "game/diplomacy/envoys.h"
#include "game/military/sortie.h"
#include "game/state/access.h"
#include "game/state/queries.h"

#include <functional>
#include <memory>
#include <string>

#include "game/shell/dialogs/diplomacy/doumei_koushou_dlg.h"
#include "game/shell/dialogs/diplomacy/shisha_raihou_dlg.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/shell/dialogs/flow/daimyou_select_dlg.h"
#include "game/shell/dialogs/flow/tool_dlgs.h"
#include "game/shell/dialogs/info/bushou_list_dlg.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/dialogs/info/shiro_info_dlg.h"
#include "game/shell/dialogs/military/bushou_move_dlg.h"
#include "game/shell/dialogs/military/shutsujin_dlg.h"
#include "game/shell/maps/kuni_disp_switch_dlg.h"
#include "gui/bundled_game_fixture.h"
#include "gui/gui_test_util.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;

class DialogFocusTest : public BundledGameTest {
protected:
    void SetUp() override {
        BundledGameTest::SetUp();
        ASSERT_TRUE(host_.Open(1000, 760, 0, 0));
    }
    int OdaKuni() const { return KuniOf(CastleOf(Oda())); }
    // The sortie dialog or one built on it, showing the province of an Oda castle.
    template <class Dlg>
    std::unique_ptr<ui::Dialog> ShowingOdaProvince() {
        auto dlg = std::make_unique<Dlg>(*gs_, &map_, &host_);
        dlg->m_nKuni = OdaKuni();
        return dlg;
    }
    AskPort::EnvoyVisit Envoy(int mode) const {
        AskPort::EnvoyVisit visit;
        visit.game = gs_.get();
        visit.caption = ShishaCaption(mode);
        visit.mode = mode;
        visit.counterpart = OtherHouse();
        visit.question = ShishaQuestionText(*gs_, mode, visit.counterpart);
        visit.info = ShishaInfoText(*gs_, visit.counterpart);
        return visit;
    }
    std::unique_ptr<CEventMsgDlg> EventMessage(bool ok) {
        auto dlg = std::make_unique<CEventMsgDlg>(&host_);
        dlg->m_bOK = ok;
        dlg->m_bVariableList = true;
        dlg->m_strTitle = "桶狭間の戦い";
        dlg->m_strText = "今川義元が尾張へ攻め込んできました。";
        return dlg;
    }
};

TEST_F(DialogFocusTest, ADialogOpensOnItsFirstButtonAndEnterAnswersIt) {
    ASSERT_GE(OtherHouse(), 0);
    ASSERT_GE(OdaKuni(), 0);
    struct Case {
        const char* name;
        std::function<std::unique_ptr<ui::Dialog>()> make;
        int focus;              // the control that has the focus when the dialog opens
        std::intptr_t onEnter;  // how Enter ends the dialog
    };
    const Case cases[] = {
        {"envoy's proposal",
         [&] { return std::make_unique<CShishaRaihouDlg>(Envoy(kShishaFusen), &map_, &host_); }, ui::IDOK,
         ui::IDOK},
        {"envoy's application",
         [&] { return std::make_unique<CShishaRaihouDlg>(Envoy(kShishaJuuzokuShigan), &map_, &host_); },
         ui::IDOK, ui::IDOK},
        {"event message with the variable list", [&] { return EventMessage(false); }, CEventMsgDlg::kCloseId,
         ui::IDCANCEL},
        {"event question with the variable list", [&] { return EventMessage(true); }, ui::IDOK, ui::IDOK},
        {"utility", [&] { return std::make_unique<CUtilityDlg>(&host_); }, ui::IDOK, ui::IDOK},
        {"house information",
         [&] { return std::make_unique<CDaimyouInfoDlg>(*gs_, &map_, OtherHouse(), &host_); }, ui::IDOK,
         ui::IDOK},
        {"land sortie", [&] { return ShowingOdaProvince<CShutsujinDlg>(); }, ui::IDCANCEL, ui::IDCANCEL},
        {"general transfer", [&] { return ShowingOdaProvince<CBushouMoveDlg>(); }, ui::IDCANCEL,
         ui::IDCANCEL},
        {"alliance negotiation",
         [&] { return std::make_unique<CDoumeiKoushouDlg>(*gs_, &map_, kKoushouFusen, OdaKuni(), &host_); },
         ui::IDCANCEL, ui::IDCANCEL},
        {"house selection", [&] { return std::make_unique<CDaimyouSelectDlg>(*gs_, &map_, &host_); },
         ui::IDCANCEL, ui::IDCANCEL},
        {"province switch", [&] { return std::make_unique<CKuniDispSwitchDlg>(&map_, gs_.get(), &host_); },
         ui::IDCANCEL, ui::IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<ui::Dialog> dlg = c.make();
        int focus = 0;
        Script().OnDialog([&](ui::Dialog& d) {
            ui::Wnd* f = ui::Wnd::GetFocus();
            focus = f && d.IsChild(f) ? f->GetDlgCtrlID() : -1;
            ui::test::PressKey(d, ui::VK_RETURN);
        });
        const std::intptr_t result = dlg->DoModal();
        EXPECT_EQ(focus, c.focus);
        EXPECT_EQ(result, c.onEnter);
        EXPECT_EQ(Script().PendingSteps(), 0u);
    }
}

// A click as the player makes it on a row of a cell grid or of a list.
void ClickGridLine(MbWnd::CCellCtrl& grid, int line) {
    MbWnd::CCellPane& pane = grid.PaneOf(0);
    const ui::Point p = pane.CellRect(line, 0).CenterPoint();
    ui::test::MouseDown(pane, p);
    ui::test::MouseUp(pane, p);
}
void ClickListRow(ui::ListCtrl& list, int row) {
    const ui::Point p = list.ItemRect(row).CenterPoint();
    ui::test::MouseDown(list, p);
    ui::test::MouseUp(list, p);
}

// A dialog opened from another (by a click on a row or a button, or a message box) and closed
// leaves the keys with the outer dialog: the focus is in it again, and Escape cancels it.
TEST_F(DialogFocusTest, AfterADialogOpenedFromAnotherClosesEscapeCancelsTheOuterOne) {
    GameState& gs = *gs_;
    const int odaCastle = CastleOf(Oda());
    ASSERT_GE(odaCastle, 0);
    // Commentaries for the castle and for the generals the lists show first.
    gs.ScenarioTextPool.push_back("解説の本文です。");
    const int text = static_cast<int>(gs.ScenarioTextPool.size()) - 1;
    gs.ShiroMapTbl[static_cast<std::size_t>(odaCastle)].textIndex = static_cast<std::uint16_t>(text);
    for (int b : BushouIndexes(gs))
        gs.BushouExTbl[static_cast<std::size_t>(BushouAt(gs, b).id)].textIndex =
            static_cast<std::uint16_t>(text);
    // A castle the Oda castle has no way to: a sortie there is refused with a message.
    int unlinked = -1;
    for (int s : ShiroIndexes(gs))
        if (unlinked < 0 && s != odaCastle && SortieLinkKind(gs, odaCastle, s, false) < 0) unlinked = s;
    ASSERT_GE(unlinked, 0);

    enum class Close { kEscape, kButton };
    struct Case {
        const char* name;
        std::function<std::unique_ptr<ui::Dialog>()> make;
        std::function<void(ui::Dialog&)> openInner;  // as the player opens it
        Close close;                                 // how the player closes the inner one
    };
    auto houseList = [&] { return std::make_unique<CDaimyouListDlg>(gs, &map_, &host_); };
    auto castleInfo = [&] { return std::make_unique<CShiroInfoDlg>(gs, &map_, odaCastle, &host_); };
    auto clickHouseRow = [](ui::Dialog& d) { ClickGridLine(dynamic_cast<CDaimyouListDlg&>(d).Grid(), 0); };
    const Case cases[] = {
        {"house list, a row: house information closed by Escape", houseList, clickHouseRow, Close::kEscape},
        {"house list, a row: house information closed by its button", houseList, clickHouseRow,
         Close::kButton},
        {"castle information: the castle's commentary", castleInfo,
         [](ui::Dialog& d) { ui::test::ClickControl(d, CShiroInfoDlg::kKaisetsuId); }, Close::kEscape},
        {"castle information: the house information", castleInfo,
         [](ui::Dialog& d) { ui::test::ClickControl(d, CShiroInfoDlg::kDaimyouInfoId); }, Close::kEscape},
        {"castle information, a general: his commentary", castleInfo,
         [](ui::Dialog& d) { ClickListRow(*dynamic_cast<CShiroInfoDlg&>(d).BushouList(), 0); },
         Close::kEscape},
        {"general list, a general: his commentary",
         [&] { return std::make_unique<CBushouListDlg>(gs, &map_, Oda(), &host_); },
         [](ui::Dialog& d) { ClickListRow(*dynamic_cast<CBushouListDlg&>(d).List(), 0); }, Close::kButton},
        {"land sortie, a castle out of reach: the refusal",
         [&] { return ShowingOdaProvince<CShutsujinDlg>(); },
         [&](ui::Dialog& d) {
             auto& sortie = dynamic_cast<CShutsujinDlg&>(d);
             for (int shiro : {odaCastle, unlinked}) {
                 sortie.Map().m_nClickShiro = shiro;
                 sortie.Map().m_nClickKuni = -1;
                 ui::Wnd::SendCommand(&d, CShutsujinDlg::kMapId, 0, &sortie.Map());
             }
         },
         Close::kButton},
        {"house selection, a house: its confirmation cancelled",
         [&] { return std::make_unique<CDaimyouSelectDlg>(gs, &map_, &host_); },
         [&](ui::Dialog& d) {
             auto& select = dynamic_cast<CDaimyouSelectDlg&>(d);
             select.OnKuniClicked(OdaKuni());
             ClickListRow(select.List(), 0);
         },
         Close::kEscape},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<ui::Dialog> outer = c.make();
        std::size_t shown = 0;
        bool focusInOuter = false;
        Script().OnDialog([&](ui::Dialog& d) {
            Script().OnDialog([&](ui::Dialog& inner) {
                if (c.close == Close::kEscape)
                    ui::test::PressKey(inner, ui::VK_ESCAPE);
                else
                    ui::test::ClickControl(inner, ui::IDOK);
            });
            shown = Script().DialogsShown().size();
            c.openInner(d);
            EXPECT_EQ(Script().DialogsShown().size(), shown + 1) << "no dialog opened";
            ui::Wnd* focus = ui::Wnd::GetFocus();
            focusInOuter = focus && d.IsChild(focus);
            ui::test::PressKey(d, ui::VK_ESCAPE);
            if (!d.IsEnded()) d.EndDialog(-2);
        });
        EXPECT_EQ(outer->DoModal(), ui::IDCANCEL);
        EXPECT_TRUE(focusInOuter) << "the focus is not in the outer dialog";
        EXPECT_EQ(Script().PendingSteps(), 0u);
    }
}

}  // namespace
}  // namespace rymd::gui_test
