// The diplomacy phase played through the main window on the bundled game (the Oda house): each of
// the eight commands clicked on the command panel and driven through its dialogs to its accepted
// and to its refused end, the results told to the player and shown in the state dump (relations,
// masters, the houses dealt with and the bar after a change of side).
//
// The window's dialogs run through the test seam; what the rules tell the player goes to a
// scripted port, which also answers the question of independence. Where a computer house weighs
// its answer, the house is made so strong or so weak that the answer does not depend on chance.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/diplomacy/counterpart.h"
#include "game/diplomacy/envoys.h"
#include "game/diplomacy/player_gaikou.h"
#include "game/ports/scripted_port.h"
#include "game/save/saved_game.h"
#include "game/save/state_dump.h"
#include "game/state/access.h"
#include "game/state/queries.h"
#include "game/turn/new_game.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "game/shell/app/app_context.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/dialogs/diplomacy/counterpart_dlg.h"
#include "game/shell/dialogs/diplomacy/doumei_koushou_dlg.h"
#include "game/shell/dialogs/diplomacy/shisha_raihou_dlg.h"
#include "game/shell/window/command_dispatch.h"
#include "game/shell/window/command_panel.h"
#include "game/shell/window/main_game_dlg.h"
#include "game/shell/window/main_menu.h"
#include "gui/gui_test_util.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/controls.h"

namespace rymd::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace rymd::shell;

class GaikouCommandsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        // The screen the main window's first size is taken from.
        ui::test::SetScreenSize(Size(800, 600));
        root_ = fs::temp_directory_path() / ("rymd_gaikou_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "prog");
        ui::Profile::UseFile((root_ / "profile.ini").string());
        program_ = (root_ / "prog").string() + "/";
        fs::copy_file(std::string(RYMD_SOURCE_DIR) + "/data/default.smp", program_ + "default.smp");
        app_.programFolder = program_;
        app_.korMap = &map_;
        app_.settings.SetLocation(program_, program_);
        PictureStore().SetFolder(FolderOfPath(RYMD_GALLERY_DIR) + "picture/");
        told_.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
    }
    void TearDown() override {
        GuiTest::TearDown();
        ui::Profile::UseFile("");
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    // Runs the main window with a new game of the bundled scenario for the Oda house, in the
    // diplomacy phase of its first month; the rules then tell the scripted port.
    void InDiplomacyPhase(const std::function<void(CMainGameDlg&)>& body) {
        CMainGameDlg dlg(app_);
        Script().OnDialog([&](ui::Dialog& d) {
            auto& m = dynamic_cast<CMainGameDlg&>(d);
            NewGameRequest request;
            request.scenarioPath = std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr";
            request.programFolder = program_;
            request.seed = 5;
            request.house = "D_ODA";
            m.SetGamePorts(SilentPort::Instance().AsPorts());
            ASSERT_EQ(m.StartScenarioGame(request), 0);
            for (int phase = 1; phase < kPhaseGaikou; ++phase) {
                ASSERT_TRUE(ui::test::ClickControl(m.Panel(), CCommandPanelDlg::kCommandEndId));
                ui::test::ProcessEvents();
            }
            ASSERT_EQ(m.State().nPhase, kPhaseGaikou);
            Ports ports = told_.AsPorts();
            m.SetGamePorts(ports);
            m_ = &m;
            body(m);
            m_ = nullptr;
            d.EndDialog(ui::IDCANCEL);
        });
        dlg.DoModal();
    }

    GameState& Gs() { return m_->State(); }
    int Oda() { return Gs().nPlayerDaimyou; }
    CDaimyou& House(int h) { return DaimyouAt(Gs(), h); }
    int CastleOf(int house) {
        for (int s : ShiroIndexes(Gs()))
            if (ShiroAt(Gs(), s).daimyou == house) return s;
        return -1;
    }
    // Independent houses with castles, other than the player's and those given: a neighbour of
    // the player's house or not.
    int FindHouse(bool neighbour, const std::vector<int>& besides) {
        for (int h : DaimyouIndexes(Gs())) {
            if (h == Oda() || !HouseExists(Gs(), h) || House(h).bond != CDaimyou::kBondDokuritsu ||
                CastleOf(h) < 0 || std::find(besides.begin(), besides.end(), h) != besides.end())
                continue;
            if (IsDaimyouRinsetsu(Gs(), Oda(), h) == neighbour) return h;
        }
        return -1;
    }
    // The relation both ways, with no treaty countdown running.
    void Relate(int h, int state, int countdown = 0) {
        House(h).SetRelationLo(Oda(), state);
        House(Oda()).SetRelationLo(h, state);
        House(h).SetRelationHi(Oda(), countdown);
        House(Oda()).SetRelationHi(h, countdown);
    }
    // A house the player surely brings to submit: no troops, next to no yield, and every other
    // house at peace with the player's, so that the player fears nobody. With a large yield given
    // back, it surely refuses.
    void Humble(int h, std::uint32_t kokudaka = 100) {
        for (int s : ShiroIndexes(Gs()))
            if (ShiroAt(Gs(), s).daimyou == h) {
                ShiroAt(Gs(), s).kokudaka = kokudaka;
                ShiroAt(Gs(), s).shubihei = 0;
            }
        for (int g : BushouIndexes(Gs()))
            if (BushouAt(Gs(), g).daimyou == h) BushouAt(Gs(), g).cavalry = BushouAt(Gs(), g).foot = 0;
        for (int t : DaimyouIndexes(Gs()))
            if (t != Oda() && t != h && House(t).GetRelationLo(Oda()) < CDaimyou::kRelFusen)
                House(t).SetRelationLo(Oda(), CDaimyou::kRelFusen);
    }
    // A new diplomacy phase as far as the commands see it: no house dealt with, no bar.
    void NextPhase() {
        Gs().GaikouDealt.fill(0);
        Gs().bGaikouBarred = false;
        told_.ClearCalls();
    }
    // The command button i of the phase, clicked.
    void Click(int i) {
        ASSERT_TRUE(m_->Panel().CommandButton(i).IsWindowEnabled()) << i;
        ASSERT_TRUE(ui::test::ClickControl(m_->Panel(), kCommandIdTbl[static_cast<std::size_t>(i)]));
    }
    // The next dialog is a message box; its text goes to *text and it is answered.
    void AnswerBox(std::string* text, int answer = ui::IDOK) {
        Script().OnDialog([text, answer](ui::Dialog& box) {
            *text = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(answer);
        });
    }
    // The command refuses with a message box and changes nothing.
    std::string Refusal(int i) {
        const std::string before = StateHash(Gs());
        std::string text;
        AnswerBox(&text);
        Click(i);
        EXPECT_EQ(StateHash(Gs()), before) << i;
        return text;
    }
    // Inside the counterpart dialog: the house chosen and confirmed (more: steps for the dialogs
    // that follow the confirmation).
    void ChooseIn(ui::Dialog& d, int house, const std::function<void()>& more = nullptr) {
        auto& counterpart = dynamic_cast<CKoushouAiteDlg&>(d);
        std::string confirm;
        AnswerBox(&confirm);
        if (more) more();
        counterpart.OnHouseClicked(house);
        EXPECT_FALSE(confirm.empty());
    }
    // A command that opens the counterpart dialog, played to the chosen house.
    void ClickAndChoose(int i, int house, const std::function<void()>& more = nullptr) {
        Script().OnDialog([this, house, more](ui::Dialog& d) { ChooseIn(d, house, more); });
        Click(i);
    }
    // A proposal: the province of the player's castle, the castle and its first envoy in the
    // envoy dialog, then the house.
    void Propose(int i, int house, const std::function<void()>& more = nullptr) {
        const int shiro = CastleOf(Oda());
        ui::Wnd::SendCommand(m_, kIdKuniBase + ShiroMapAt(Gs(), shiro).kuni, 0, nullptr);
        Script().OnDialog([this, shiro, house, more](ui::Dialog& d) {
            auto& envoy = dynamic_cast<CDoumeiKoushouDlg&>(d);
            // The dialog covers the main window less 8 pixels on each side, never narrower than
            // its own size.
            const ui::Rect main = m_->GetWindowRect();
            EXPECT_EQ(d.GetWindowRect().left, main.left + 8);
            EXPECT_EQ(d.GetWindowRect().top, main.top + 8);
            EXPECT_GE(d.GetWindowRect().Width(), main.Width() - 16);
            envoy.Map().m_nClickShiro = shiro;
            ui::Wnd::SendCommand(&d, CDoumeiKoushouDlg::kMapId, 0, &envoy.Map());
            Script().OnDialog([this, house, more](ui::Dialog& c) { ChooseIn(c, house, more); });
            envoy.OnBushouClicked(0);
        });
        Click(i);
    }
    std::vector<std::string> Told() const {
        std::vector<std::string> out;
        for (const PortCall& c : told_.CallsOf(PortCallKind::Inform))
            out.push_back(c.text);
        return out;
    }
    // The house's entry of the state dump.
    nlohmann::json Dumped(int house) {
        const nlohmann::json j = nlohmann::json::parse(DumpStateJson(Gs(), map_, StateHash(Gs())));
        return j["houses"][static_cast<std::size_t>(house)];
    }
    bool DumpedBar() {
        return nlohmann::json::parse(DumpStateJson(Gs(), map_, StateHash(Gs())))["diplomacy_barred"];
    }

    fs::path root_;
    std::string program_;
    MbKorMap::CCtrlKorMap map_;
    AppContext app_;
    ScriptedPort told_;
    CMainGameDlg* m_ = nullptr;
};

TEST_F(GaikouCommandsTest, EveryCommandOfThePhaseIsEnabled) {
    InDiplomacyPhase([&](CMainGameDlg& m) {
        for (int i = 0; i < 8; ++i)
            EXPECT_TRUE(m.Panel().CommandButton(i).IsWindowEnabled()) << CommandCaption(kPhaseGaikou, i);
        for (int i = 0; i < 8; ++i)
            EXPECT_NE(FindCommandDialog(kPhaseGaikou, i), nullptr) << i;
        EXPECT_TRUE(ui::test::GrabToPng(m.Panel(), GalleryPath("command_panel_gaikou")));
        EXPECT_TRUE(ui::test::GrabToPng(m.Panel(), GalleryPath("command_panel_gaikou@2x"), 2.0));
    });
}

// The computer's envoys reach the player in the window's envoy-visit dialog, no longer in a
// Yes/No or choice box; the hostage box's answer comes back with the acceptance.
TEST_F(GaikouCommandsTest, AnEnvoyToThePlayerIsAnsweredInTheEnvoyVisitDialog) {
    InDiplomacyPhase([&](CMainGameDlg& m) {
        const int h = FindHouse(false, {});
        ASSERT_GE(h, 0);
        const Ports window = m.Port().AsPorts();
        for (const bool demand : {false, true}) {
            Script().OnDialog([&](ui::Dialog& d) {
                EXPECT_NE(dynamic_cast<CShishaRaihouDlg*>(&d), nullptr);
                EXPECT_EQ(d.GetWindowText(), "従属志願使者来訪");
                auto* box = dynamic_cast<ui::Button*>(d.GetDlgItem(CShishaRaihouDlg::kHitojichiId));
                ASSERT_NE(box, nullptr);
                EXPECT_TRUE(box->IsWindowVisible());
                if (demand) box->SetCheck(ui::BST_CHECKED);
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            });
            const ShishaAnswer answer = AskShishaRaihou(Gs(), window, kShishaJuuzokuShigan, h);
            EXPECT_TRUE(answer.accept);
            EXPECT_EQ(answer.demandHitojichi, demand);
        }
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "不戦同盟交渉使者来訪");
            EXPECT_FALSE(d.GetDlgItem(CShishaRaihouDlg::kHitojichiId)->IsWindowVisible());
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
        });
        EXPECT_FALSE(AskShishaRaihou(Gs(), window, kShishaFusen, h).accept);
    });
}

// During the automatic advance an envoy to the player's house opens its dialog as at any other
// time, and the player's refusal stands: nobody accepts in his name. The all-automatic run, which
// has no player's house, asks nobody and takes the safe answer.
TEST_F(GaikouCommandsTest, DuringTheAutomaticAdvanceAnEnvoyOpensItsDialogAndTheAnswerStands) {
    InDiplomacyPhase([&](CMainGameDlg& m) {
        const int h = FindHouse(true, {});
        ASSERT_GE(h, 0);
        const Ports window = m.Port().AsPorts();
        Gs().bAutoAdvance = true;
        std::vector<std::string> captions;
        auto refuse = [&](ui::Dialog& d) {
            EXPECT_NE(dynamic_cast<CShishaRaihouDlg*>(&d), nullptr);
            captions.push_back(d.GetWindowText());
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
        };
        Script().OnDialog(refuse);
        EXPECT_FALSE(SendJuuzokuYoukyuuShisha(Gs(), window, h, Oda()));
        EXPECT_EQ(House(Oda()).bond, CDaimyou::kBondDokuritsu);
        Script().OnDialog(refuse);
        EXPECT_FALSE(SendJuuzokuShiganShisha(Gs(), window, Oda(), h));
        EXPECT_EQ(House(h).bond, CDaimyou::kBondDokuritsu);
        EXPECT_EQ(captions, (std::vector<std::string>{"従属要求使者来訪", "従属志願使者来訪"}));
        EXPECT_EQ(Script().PendingSteps(), 0u);

        Gs().bAllAutomatic = true;
        const std::size_t shown = Script().DialogsShown().size();
        const ShishaAnswer safe = AskShishaRaihou(Gs(), window, kShishaJuuzokuYoukyuu, h);
        EXPECT_TRUE(safe.accept);
        EXPECT_FALSE(safe.demandHitojichi);
        EXPECT_EQ(Script().DialogsShown().size(), shown);
        Gs().bAllAutomatic = false;
        Gs().bAutoAdvance = false;
    });
}

TEST_F(GaikouCommandsTest, TheThreeProposalsToTheirAcceptedAndRefusedEnds) {
    InDiplomacyPhase([&](CMainGameDlg&) {
        House(Oda()).shikin = 1000000;
        const int a = FindHouse(true, {});
        const int b = FindHouse(true, {a});
        ASSERT_GE(a, 0);
        ASSERT_GE(b, 0);
        const std::string nameA = House(a).name, nameB = House(b).name;

        // Peace refused: a still counts down a treaty about the player's house.
        Relate(a, CDaimyou::kRelNothing, 5);
        Propose(kGaikouFusenDoumei, a);
        EXPECT_EQ(Told(), std::vector<std::string>{nameA + "は不戦同盟に応じませんでした"});
        EXPECT_EQ(Dumped(a)["relation_to_player"], CDaimyou::kRelNothing);
        EXPECT_EQ(Dumped(a)["dealt_with"], 1);

        // Peace accepted: b, of the Ainu kind, accepts at once and takes its price.
        NextPhase();
        Relate(b, CDaimyou::kRelNothing);
        House(b).kindByte = static_cast<std::uint8_t>((House(b).kindByte & ~0x07) | CDaimyou::kKindAinu);
        const std::int64_t funds = House(Oda()).shikin - FusenDoumeiCost(Gs(), b);
        Propose(kGaikouFusenDoumei, b);
        std::vector<std::string> expected{nameB + "と不戦同盟を結びました"};
        if (House(b).GetBehaviour() == CDaimyou::kBehaviourNormal)
            expected.push_back("当家は" + nameB + "との交易を開始しました");
        EXPECT_EQ(Told(), expected);
        EXPECT_EQ(House(Oda()).shikin, funds);
        EXPECT_EQ(Dumped(b)["relation_to_player"], CDaimyou::kRelFusen);

        // The demand of subordination, refused by b as it stands, then accepted by b humbled.
        NextPhase();
        Propose(kGaikouJuuzokuYoukyuu, b);
        EXPECT_EQ(Told(), std::vector<std::string>{nameB + "は従属要求に応じませんでした"});
        EXPECT_EQ(Dumped(b)["bond"], CDaimyou::kBondDokuritsu);
        NextPhase();
        Humble(b);
        Propose(kGaikouJuuzokuYoukyuu, b);
        ASSERT_FALSE(Told().empty());
        EXPECT_EQ(Told().back(), nameB + "は当家に従属しました");
        EXPECT_EQ(Dumped(b)["bond"], CDaimyou::kBondJuuzoku);
        EXPECT_EQ(Dumped(b)["master"], Oda());
        EXPECT_EQ(Dumped(b)["relation_to_player"], CDaimyou::kRelJuuzoku);

        // The demand of vassalage, refused by b grown rich, then accepted with the notice.
        NextPhase();
        Humble(b, 5000000);
        Propose(kGaikouShinjuuYoukyuu, b);
        EXPECT_EQ(Told(), std::vector<std::string>{nameB + "は臣従要求に応じませんでした"});
        EXPECT_EQ(Dumped(b)["bond"], CDaimyou::kBondJuuzoku);
        NextPhase();
        Humble(b);
        std::string notice;
        Propose(kGaikouShinjuuYoukyuu, b, [&] {
            Script().OnDialog([&](ui::Dialog& d) {
                EXPECT_EQ(d.GetWindowText(), "臣従化成功");
                notice = d.GetDlgItem(CShinjuuSeikouDlg::kTextId)->GetWindowText();
                EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            });
        });
        EXPECT_EQ(notice, nameB + "は当家に臣従しました");
        EXPECT_EQ(Dumped(b)["bond"], CDaimyou::kBondShinjuu);
        EXPECT_EQ(Dumped(b)["relation_to_player"], CDaimyou::kRelShinjuu);
        EXPECT_EQ(Dumped(b)["dealt_with"], 1);
    });
}

TEST_F(GaikouCommandsTest, BreakingABondRefusedForAnEnemyAndDoneForAnAlly) {
    InDiplomacyPhase([&](CMainGameDlg&) {
        const int ally = FindHouse(false, {});
        const int enemy = FindHouse(false, {ally});
        ASSERT_GE(ally, 0);
        ASSERT_GE(enemy, 0);
        Relate(ally, CDaimyou::kRelFusen);
        Relate(enemy, CDaimyou::kRelShukuteki);
        // An arch-enemy is refused in the counterpart dialog, which stays open until cancelled.
        const std::string before = StateHash(Gs());
        std::string refusal;
        Script().OnDialog([&](ui::Dialog& d) {
            AnswerBox(&refusal);
            dynamic_cast<CKoushouAiteDlg&>(d).OnHouseClicked(enemy);
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL));
        });
        Click(kGaikouKankeiHaki);
        EXPECT_EQ(refusal, House(enemy).name + "とは同盟を結んでいません");
        EXPECT_EQ(StateHash(Gs()), before);
        // The ally's bond is broken.
        ClickAndChoose(kGaikouKankeiHaki, ally);
        ASSERT_FALSE(Told().empty());
        EXPECT_EQ(Told().front(), House(ally).name + "との外交関係を破棄しました");
        EXPECT_NE(Dumped(ally)["relation_to_player"], CDaimyou::kRelFusen);
        EXPECT_EQ(Dumped(ally)["dealt_with"], 1);
    });
}

TEST_F(GaikouCommandsTest, RequestsAndIndependenceWithTheBarAfterAChangeOfSide) {
    InDiplomacyPhase([&](CMainGameDlg&) {
        const int x = FindHouse(false, {});
        const int y = FindHouse(false, {x});
        const int z = FindHouse(false, {x, y});
        ASSERT_GE(z, 0);
        const std::string nameX = House(x).name, nameY = House(y).name, nameZ = House(z).name;
        const std::string barred = "今回のターンではこれ以上外交コマンドは実行できません";
        EXPECT_EQ(Refusal(kGaikouKuragae), "当家は独立大名家なのでこのコマンドは使用できません");
        EXPECT_EQ(Refusal(kGaikouDokuritsu), "当家は既に独立大名家です");

        // The application for subordination: refused while x counts down, then accepted.
        Relate(x, CDaimyou::kRelNothing, 7);
        ClickAndChoose(kGaikouJuuzokuShigan, x);
        EXPECT_EQ(Told(), std::vector<std::string>{nameX + "は当家の従属志願を拒否しました"});
        EXPECT_FALSE(DumpedBar());
        NextPhase();
        Relate(x, CDaimyou::kRelNothing);
        ClickAndChoose(kGaikouJuuzokuShigan, x);
        ASSERT_FALSE(Told().empty());
        EXPECT_EQ(Told().back(), "当家は" + nameX + "に従属しました");
        EXPECT_EQ(Dumped(Oda())["bond"], CDaimyou::kBondJuuzoku);
        EXPECT_EQ(Dumped(Oda())["master"], x);
        EXPECT_TRUE(DumpedBar());
        // Barred for the rest of the phase; a subordinate gets the subordinate's message.
        EXPECT_EQ(Refusal(kGaikouDokuritsu), barred);
        EXPECT_EQ(Refusal(kGaikouShinjuuShigan), barred);
        EXPECT_EQ(Refusal(kGaikouKuragae), barred);
        EXPECT_EQ(Refusal(kGaikouKankeiHaki), "当家は従属大名家なので外交交渉できません");

        // The change of master: refused while y counts down, then accepted.
        NextPhase();
        Relate(y, CDaimyou::kRelNothing, 7);
        ClickAndChoose(kGaikouKuragae, y);
        EXPECT_EQ(Told(), std::vector<std::string>{nameY + "は主家鞍替えに応じませんでした"});
        EXPECT_EQ(Dumped(Oda())["master"], x);
        NextPhase();
        Relate(y, CDaimyou::kRelNothing);
        ClickAndChoose(kGaikouKuragae, y);
        ASSERT_FALSE(Told().empty());
        EXPECT_EQ(Told().back(), "当家は主家を" + nameY + "に鞍替えしました");
        EXPECT_EQ(Dumped(Oda())["master"], y);
        EXPECT_TRUE(DumpedBar());

        // Independence: No changes nothing; Yes leaves the master and bars nothing.
        NextPhase();
        const std::string before = StateHash(Gs());
        told_.PushNo();
        Click(kGaikouDokuritsu);
        EXPECT_EQ(StateHash(Gs()), before);
        told_.PushYes();
        Click(kGaikouDokuritsu);
        EXPECT_EQ(told_.CallsOf(PortCallKind::AskYesNo).back().text, nameY + "から独立しますか？");
        EXPECT_EQ(Dumped(Oda())["bond"], CDaimyou::kBondDokuritsu);
        EXPECT_FALSE(DumpedBar());
        EXPECT_EQ(Dumped(y)["dealt_with"], 1);

        // The application for vassalage: refused, then accepted; a vassal's message follows.
        Relate(z, CDaimyou::kRelNothing, 7);
        ClickAndChoose(kGaikouShinjuuShigan, z);
        EXPECT_EQ(Told().back(), nameZ + "は当家の臣従志願を拒否しました");
        NextPhase();
        Relate(z, CDaimyou::kRelNothing);
        ClickAndChoose(kGaikouShinjuuShigan, z);
        ASSERT_FALSE(Told().empty());
        EXPECT_EQ(Told().back(), "当家は" + nameZ + "に臣従しました");
        EXPECT_EQ(Dumped(Oda())["bond"], CDaimyou::kBondShinjuu);
        EXPECT_EQ(Dumped(Oda())["master"], z);
        EXPECT_EQ(Refusal(kGaikouKankeiHaki), "当家は臣従大名家なので外交交渉できません");
    });
}

}  // namespace
}  // namespace rymd::gui_test
