// The shared help handler: F1 in every dialog that offers help opens the help through the help
// port, whatever control has the focus; with no port installed the program's help page opens.
#include <functional>
#include <memory>

#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/corps/gundan_hensei_dlg.h"
#include "game/shell/dialogs/corps/gundan_ryouchi_dlgs.h"
#include "game/shell/dialogs/corps/gundan_shiji_dlg.h"
#include "game/shell/dialogs/corps/gundan_shisan_dlg.h"
#include "game/shell/dialogs/diplomacy/counterpart_dlg.h"
#include "game/shell/dialogs/diplomacy/doumei_koushou_dlg.h"
#include "game/shell/dialogs/diplomacy/shisha_raihou_dlg.h"
#include "game/shell/dialogs/domestic/kouekisen_dlgs.h"
#include "game/shell/dialogs/domestic/naisei_dlgs.h"
#include "game/shell/dialogs/domestic/ship_report_dlgs.h"
#include "game/shell/dialogs/domestic/shiro_fushin_dlg.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/shell/dialogs/events/long_text_dlg.h"
#include "game/shell/dialogs/flow/daimyou_select_dlg.h"
#include "game/shell/dialogs/flow/start_menu_dlg.h"
#include "game/shell/dialogs/flow/tool_dlgs.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/shell/dialogs/info/shiro_info_dlg.h"
#include "game/shell/dialogs/military/bushou_move_dlg.h"
#include "game/shell/dialogs/military/bushou_select_dlg.h"
#include "game/shell/dialogs/military/shutsujin_dlg.h"
#include "game/state/queries.h"
#include "gui/bundled_game_fixture.h"

namespace rymd::gui_test {
namespace {

using namespace rymd::shell;

// Counts the requests for help.
class DialogHelpRecorder final : public HelpPort {
public:
    bool OpenHelp() override {
        ++opened;
        return true;
    }
    int opened = 0;
};

class DialogHelpTest : public BundledGameTest {
protected:
    void SetUp() override {
        BundledGameTest::SetUp();
        before_ = SetHelpPort(&recorder_);
    }
    void TearDown() override {
        SetHelpPort(before_);
        BundledGameTest::TearDown();
    }
    // Runs the dialog, presses F1 on the window with the focus (the dialog when none), and
    // returns how many times the help was asked for; the dialog stays open and is then closed.
    int HelpRequestsOf(ui::Dialog& dlg) {
        const int before = recorder_.opened;
        bool stillOpen = false;
        Script().OnDialog([&](ui::Dialog& d) {
            ui::Wnd* focus = ui::Wnd::GetFocus();
            ui::test::PressKey(focus ? *focus : d, ui::VK_F1);
            stillOpen = !d.IsEnded();
            if (!d.IsEnded()) d.EndDialog(ui::IDCANCEL);
        });
        dlg.DoModal();
        EXPECT_TRUE(stillOpen) << dlg.GetWindowText();
        return recorder_.opened - before;
    }

    DialogHelpRecorder recorder_;
    HelpPort* before_ = nullptr;
};

TEST_F(DialogHelpTest, EveryDialogThatOffersHelpOpensItOnF1) {
    GameState& gs = *gs_;
    const int player = gs.nPlayerDaimyou;
    const int owari = Kuni("K_OWARI");
    int shiro = -1;
    for (int c = 0; c < gs.nShiro && shiro < 0; ++c)
        if (gs.ShiroTbl[c].daimyou == player) shiro = c;
    ASSERT_GE(shiro, 0);

    AskPort::EnvoyVisit visit;
    visit.game = &gs;
    visit.caption = "不戦同盟使者来訪";
    visit.counterpart = player == 0 ? 1 : 0;
    const std::vector<std::string> homeLines = {"以下の交易船が派遣先から帰港しました",
                                                "派遣先\t帰還港\t帰還船数\t収益"};
    struct Case {
        const char* name;
        std::function<std::unique_ptr<ui::Dialog>()> make;
    };
    const std::vector<Case> cases = {
        {"event message", [] { return std::make_unique<CEventMsgDlg>(); }},
        {"start menu", [] { return std::make_unique<CStartMenuDlg>(CStartMenuDlg::Hooks{}); }},
        {"house selection", [&] { return std::make_unique<CDaimyouSelectDlg>(gs, &map_); }},
        {"text viewer", [] { return std::make_unique<CLongTextDlg>(); }},
        {"version", [] { return std::make_unique<CAboutDlg>(); }},
        {"castle information", [&] { return std::make_unique<CShiroInfoDlg>(gs, &map_, shiro); }},
        {"house information", [&] { return std::make_unique<CDaimyouInfoDlg>(gs, &map_, player); }},
        {"house list", [&] { return std::make_unique<CDaimyouListDlg>(gs, &map_); }},
        {"trade-ship dispatch", [&] { return std::make_unique<CKouekisenHakenDlg>(gs, player, owari); }},
        {"trade-ship list", [&] { return std::make_unique<CKouekisenListDlg>(gs, player); }},
        {"land reclamation", [&] { return std::make_unique<CNaiseiDlg>(Development::kKaikon, gs, owari); }},
        {"castle works", [&] { return std::make_unique<CShiroFushinDlg>(gs, owari); }},
        {"provisions", [&] { return std::make_unique<CShiroHyourouDlg>(gs, owari); }},
        {"sortie", [&] { return std::make_unique<CShutsujinDlg>(gs, &map_); }},
        {"general selection", [&] { return std::make_unique<CBushouSelectDlg>(gs); }},
        {"general transfer", [&] { return std::make_unique<CBushouMoveDlg>(gs, &map_); }},
        {"corps formation", [&] { return std::make_unique<CGundanHenseiDlg>(gs, &map_); }},
        {"corps fief", [&] { return std::make_unique<CGundanShoryouDlg>(gs, &map_); }},
        {"corps orders", [&] { return std::make_unique<CGundanShijiDlg>(gs, &map_); }},
        {"corps assets", [&] { return std::make_unique<CGundanShisanDlg>(gs, &map_); }},
        {"counterpart", [&] { return std::make_unique<CKoushouAiteDlg>(gs, &map_, 0); }},
        {"alliance negotiation", [&] { return std::make_unique<CDoumeiKoushouDlg>(gs, &map_, 0, owari); }},
        {"envoy visit", [&] { return std::make_unique<CShishaRaihouDlg>(visit, &map_); }},
        {"trade ships home",
         [&] { return std::make_unique<CKouekisenKikouDlg>(gs, &map_, "交易船帰港", homeLines); }},
    };
    for (const Case& c : cases) {
        std::unique_ptr<ui::Dialog> dlg = c.make();
        EXPECT_EQ(HelpRequestsOf(*dlg), 1) << c.name;
    }
}

TEST_F(DialogHelpTest, WithoutAPortTheProgramsHelpPageOpens) {
    SetHelpPort(nullptr);
    std::vector<std::string> opened;
    SetHelpViewer([&](const std::string& page) {
        opened.push_back(page);
        return true;
    });
    const std::string folder = std::string(RYMD_SOURCE_DIR) + "/data/help/";
    SetProgramHelpAddress(HelpAddress(folder));
    EXPECT_TRUE(OpenDialogHelp());
    SetHelpViewer(nullptr);
    SetProgramHelpAddress("");
    EXPECT_EQ(opened, std::vector<std::string>{folder + "rymd_mv/01top.html"});
}

}  // namespace
}  // namespace rymd::gui_test
