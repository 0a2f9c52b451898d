// Where the keyboard focus stands when a dialog opens, and what Enter then does: the focus is on
// the dialog's first button, so that Enter answers the dialog's question or closes it and never
// opens another window (the house information, the variable list, the province switch, the
// cipher, the general list). Each dialog runs over the bundled game with the Oda house playing.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/diplomacy/counterpart.h"
#include "game/diplomacy/envoys.h"
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
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
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

}  // namespace
}  // namespace rymd::gui_test
