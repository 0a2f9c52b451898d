// The personnel dialogs: prisoner treatment and exchange, surrendered generals, hostage offer and
// treatment, guest invitation and recruitment, each played to its end through the test seam on a
// state built for it; the general's house, status and holder afterwards tell what was done.
//
// The rules' headers come first (the window layer's Qt headers define "slots").
#include "game/diplomacy/horyo.h"
#include "game/diplomacy/personnel.h"
#include "game/ports/ports.h"
#include "game/ports/scripted_port.h"
#include "game/save/state_dump.h"
#include "game/state/game_state.h"
#include "game/state/invariants.h"
#include "game/turn/main_game.h"

#include <nlohmann/json.hpp>

#include "game/shell/dialogs/diplomacy/hitojichi_dlgs.h"
#include "game/shell/dialogs/diplomacy/horyo_dlgs.h"
#include "game/shell/dialogs/diplomacy/kyakushou_shousei_dlg.h"
#include "game/shell/dialogs/diplomacy/recruit_dlg.h"
#include "game/shell/port/qt_port.h"
#include "gui/gui_test_util.h"
#include "mbwnd/msg_box.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using test::TestWorld;

// The player is house 0 with its head in castle 0; houses 1 and 2 hold castles 1 and 2.
class PersonnelDlgTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        w_.Own(1, 1);
        w_.Own(2, 2);
        w_.gs.DaimyouTbl[0].toushu = w_.AddBushou(0, 0, {.name = "当主"});
        w_.gs.rng.Seed(5);
    }
    GameState& Gs() { return w_.gs; }
    CBushou& G(int g) { return w_.gs.BushouTbl[static_cast<std::size_t>(g)]; }
    int Captive(int house, int holder, int attachment, const char* name, int worth = 5) {
        const int g = w_.AddBushou(house, house, {.name = name, .chibou = worth, .buyuu = worth});
        G(g).seiji = static_cast<std::uint8_t>(worth);
        TakeHoryo(w_.gs, w_.ports, holder, g);
        G(g).counter37 = static_cast<std::uint8_t>(attachment);
        return g;
    }
    int Hostage(int house, int age, const char* name) {
        const int g = w_.AddBushou(CBushou::kDaimyouHitojichi, -1, {.name = name});
        G(g).shiro = static_cast<std::int16_t>(house);
        G(g).status = CBushou::kStatusHitojichi;
        G(g).holderDaimyou = 0;
        G(g).originDaimyou = static_cast<std::int16_t>(house);
        G(g).birthYear = static_cast<std::int16_t>(Gs().nCurYear - age);
        return g;
    }
    // The next message box: its text is checked and it is answered.
    void ExpectBox(const std::string& text, std::intptr_t answer = ui::IDOK) {
        Script().OnDialog([text, answer](ui::Dialog& box) {
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText, text);
            box.EndDialog(answer);
        });
    }
    void ExpectSound() {
        const auto broken = FindBrokenInvariant(w_.gs);
        EXPECT_FALSE(broken.has_value()) << *broken;
    }
    static void Select(ui::ListCtrl& list, std::initializer_list<int> items) {
        for (int i = 0; i < list.GetItemCount(); ++i)
            list.SetItemState(i, 0, ui::LVIS_SELECTED);
        for (int i : items)
            list.SetItemState(i, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
    }
    static bool Enabled(ui::Dialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }
    static void Gallery(ui::Dialog& d, const std::string& name) {
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name)));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name + "@2x"), 2.0));
    }
    static void ClickRow(ui::ListCtrl& list, int item) {
        const ui::Point at = list.ItemRect(item).CenterPoint();
        ui::test::MouseDown(list, at);
        ui::test::MouseUp(list, at);
    }

    TestWorld w_{{.castles = 3, .houses = 3}};
};

TEST_F(PersonnelDlgTest, TreatmentEmploysExecutesAndReleasesTheSelected) {
    const int willing = Captive(1, 0, 0, "甲");
    const int attached = Captive(1, 0, 7, "乙");
    const int other = Captive(2, 0, 0, "丙");
    const int elsewhere = Captive(2, 1, 0, "丁");  // held by another house: not listed
    CHoryoShoguuDlg dlg(Gs(), w_.ports);
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl& list = *dlg.List();
        EXPECT_EQ(d.GetWindowText(), "捕虜処遇");
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetColumnCount(), 10);
        EXPECT_EQ(list.GetItemText(0, 1), "家1");
        EXPECT_EQ(list.GetItemText(0, 9), "登用可");
        EXPECT_EQ(list.GetItemText(1, 9), "登用拒否");
        for (int id : {CHoryoActionDlg::kExecuteId, CHoryoActionDlg::kReleaseId, CHoryoActionDlg::kEmployId})
            EXPECT_FALSE(Enabled(d, id)) << "nothing selected";
        // The employability column sorts the willing first.
        ui::NMListView click{};
        click.hdr.code = ui::LVN_COLUMNCLICK;
        click.iSubItem = 9;
        d.OnNotify(CHoryoActionDlg::kListId, &click.hdr, nullptr);
        EXPECT_EQ(list.GetItemText(2, 0), "乙");
        Select(list, {0, 1, 2});
        EXPECT_TRUE(Enabled(d, CHoryoActionDlg::kEmployId));
        Gallery(d, "horyo_shoguu");
        // Employing all three: the attached one refuses and stays.
        ExpectBox("乙 は登用を拒否しました");
        ASSERT_TRUE(ui::test::ClickControl(d, CHoryoActionDlg::kEmployId));
        ASSERT_EQ(list.GetItemCount(), 1);
        EXPECT_EQ(list.GetItemText(0, 0), "乙");
        EXPECT_TRUE(Enabled(d, CHoryoActionDlg::kEmployId)) << "he stays selected";
        // The last row executed.
        Select(list, {0});
        ASSERT_TRUE(ui::test::ClickControl(d, CHoryoActionDlg::kExecuteId));
        EXPECT_EQ(list.GetItemCount(), 0);
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(G(willing).daimyou, 0);
    EXPECT_EQ(G(willing).status, CBushou::kStatusKashin);
    EXPECT_EQ(G(other).daimyou, 0);
    EXPECT_EQ(G(attached).daimyou, CBushou::kDaimyouRounin);
    EXPECT_EQ(G(elsewhere).holderDaimyou, 1);
    EXPECT_EQ(G(elsewhere).status, CBushou::kStatusHoryo);
    ExpectSound();
}

TEST_F(PersonnelDlgTest, SurrenderedGeneralsMustAllBeDealtWithBeforeOk) {
    const int keep = Captive(1, 0, 9, "残");
    const int refuses = Captive(1, 0, 9, "拒");
    const int execute = Captive(1, 0, 9, "斬");
    const int release = Captive(2, 0, 9, "帰");
    const std::vector<int> list{keep, refuses, execute, release};
    QtPort port;
    CHoryoRules rules(Gs(), w_.ports);
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CKoufukuBushouDlg&>(d);
        ui::ListCtrl& rows = *dlg.List();
        EXPECT_EQ(d.GetWindowText(), "降伏武将の処遇");
        ASSERT_EQ(rows.GetItemCount(), 4);
        EXPECT_EQ(rows.GetColumnCount(), 7);
        EXPECT_FALSE(Enabled(d, ui::IDOK));
        EXPECT_FALSE(Enabled(d, CHoryoActionDlg::kKeepId));
        ui::test::PressKey(d, ui::VK_ESCAPE);
        EXPECT_TRUE(d.IsWindowVisible()) << "Escape does not close it";
        Select(rows, {1});
        Gallery(d, "koufuku_bushou");
        ExpectBox("拒 は登用を拒否しました");
        ASSERT_TRUE(ui::test::ClickControl(d, CHoryoActionDlg::kEmployId));
        EXPECT_EQ(rows.GetItemCount(), 4);
        EXPECT_FALSE(Enabled(d, ui::IDOK)) << "the one who refused is still to be decided";
        Select(rows, {0, 1});
        ASSERT_TRUE(ui::test::ClickControl(d, CHoryoActionDlg::kKeepId));
        Select(rows, {0});
        ASSERT_TRUE(ui::test::ClickControl(d, CHoryoActionDlg::kExecuteId));
        EXPECT_FALSE(Enabled(d, ui::IDOK));
        Select(rows, {0});
        ASSERT_TRUE(ui::test::ClickControl(d, CHoryoActionDlg::kReleaseId));
        EXPECT_EQ(rows.GetItemCount(), 0);
        EXPECT_TRUE(Enabled(d, ui::IDOK));
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    Ports ports = w_.ports;
    ports.play = &port;
    CHoryoRules played(Gs(), ports);
    played.SurrenderedGenerals(list);
    EXPECT_EQ(Script().PendingSteps(), 0u);
    for (int g : {keep, refuses}) {
        EXPECT_EQ(G(g).status, CBushou::kStatusHoryo);
        EXPECT_EQ(G(g).holderDaimyou, 0);
    }
    EXPECT_EQ(G(execute).daimyou, CBushou::kDaimyouRounin);
    EXPECT_EQ(G(release).daimyou, 2);
    EXPECT_EQ(G(release).status, CBushou::kStatusKashin);
    ExpectSound();
}

TEST_F(PersonnelDlgTest, ExchangeNeedsBothSidesAndStrictlyMoreWorthForThePartner) {
    const int back = Captive(0, 1, 50, "戻", 10);
    const int small = Captive(1, 0, 50, "小", 10);
    const int big = Captive(1, 0, 50, "大", 11);
    CHoryoKoukanDlg dlg(Gs(), w_.ports, 1);
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "捕虜交換");
        EXPECT_EQ(d.GetDlgItem(CHoryoKoukanDlg::kReturnedLabelId)->GetWindowText(),
                  "家1 が拘束中の 家0 武将");
        ui::ListCtrl& returned = *dlg.ReturnedList();
        ui::ListCtrl& given = *dlg.GivenList();
        ASSERT_EQ(returned.GetItemCount(), 1);
        ASSERT_EQ(given.GetItemCount(), 2);
        EXPECT_EQ(given.GetItemText(0, 1), "捕虜");
        EXPECT_FALSE(Enabled(d, ui::IDOK));
        Select(returned, {0});
        EXPECT_FALSE(Enabled(d, ui::IDOK)) << "one side only";
        Select(given, {0});
        EXPECT_TRUE(Enabled(d, ui::IDOK));
        Gallery(d, "horyo_koukan");
        ExpectBox("家1 は捕虜交換を承諾しませんでした");
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        EXPECT_TRUE(d.IsWindowVisible()) << "an equal exchange is refused and the dialog stays";
        Select(given, {1});
        // The answer comes first; the generals are freed (and their return told) after it.
        Script().OnDialog([&](ui::Dialog& box) {
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText, "家1 は捕虜交換を承諾しました");
            EXPECT_EQ(G(back).status, CBushou::kStatusHoryo) << "freed before the answer was told";
            box.EndDialog(ui::IDOK);
        });
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(G(back).daimyou, 0);
    EXPECT_EQ(G(big).daimyou, 1);
    EXPECT_EQ(G(small).status, CBushou::kStatusHoryo);
    ExpectSound();
}

TEST_F(PersonnelDlgTest, HostagesComeOfAgeOrGoHome) {
    w_.MakeVassal(1, 0);
    Gs().DaimyouTbl[1].toushu = w_.AddBushou(1, 1, {.name = "臣従当主"});
    Gs().DaimyouTbl[2].toushu = w_.AddBushou(2, 2, {.name = "他家当主"});
    const int young = Hostage(1, 14, "幼");
    const int grown = Hostage(1, 15, "長");
    const int foreign = Hostage(2, 16, "他");
    CHitojichiShoguuDlg dlg(Gs());
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl& list = *dlg.List();
        EXPECT_EQ(d.GetWindowText(), "人質処遇");
        ASSERT_EQ(list.GetItemCount(), 3);
        EXPECT_EQ(list.GetItemText(0, 2), "14");
        EXPECT_FALSE(Enabled(d, CHitojichiShoguuDlg::kGenpukuId));
        Select(list, {0});
        EXPECT_TRUE(Enabled(d, CHitojichiShoguuDlg::kGenpukuId));
        Gallery(d, "hitojichi_shoguu");
        ExpectBox("15歳未満は元服できません");
        ASSERT_TRUE(ui::test::ClickControl(d, CHitojichiShoguuDlg::kGenpukuId));
        Select(list, {2});
        ExpectBox("臣従大名家以外の人質を元服させることはできません");
        ASSERT_TRUE(ui::test::ClickControl(d, CHitojichiShoguuDlg::kGenpukuId));
        Select(list, {1});
        ExpectBox("家1 の 長 を元服させて客将に取立てます", ui::IDCANCEL);
        ASSERT_TRUE(ui::test::ClickControl(d, CHitojichiShoguuDlg::kGenpukuId));
        EXPECT_EQ(list.GetItemCount(), 3) << "cancelled";
        ExpectBox("家1 の 長 を元服させて客将に取立てます");
        ASSERT_TRUE(ui::test::ClickControl(d, CHitojichiShoguuDlg::kGenpukuId));
        ASSERT_EQ(list.GetItemCount(), 2);
        EXPECT_FALSE(Enabled(d, CHitojichiShoguuDlg::kReturnId));
        Select(list, {1});
        ExpectBox("他 を 家2 に返還します");
        ASSERT_TRUE(ui::test::ClickControl(d, CHitojichiShoguuDlg::kReturnId));
        EXPECT_EQ(list.GetItemCount(), 1);
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(G(young).status, CBushou::kStatusHitojichi);
    EXPECT_EQ(G(grown).status, CBushou::kStatusKyakushou);
    EXPECT_EQ(G(grown).daimyou, 1);
    EXPECT_EQ(G(foreign).daimyou, CBushou::kDaimyouRounin);
    EXPECT_EQ(Gs().MitoujouBushouTbl[static_cast<std::size_t>(Gs().nMitoujouBushou - 1)].name, "他");
    ExpectSound();
}

TEST_F(PersonnelDlgTest, GuestInvitationAsksForTheSwapOfASecondGuest) {
    w_.MakeVassal(1, 0);
    Gs().DaimyouTbl[1].toushu = w_.AddBushou(1, 1, {.name = "臣従当主"});
    const int first = w_.AddBushou(1, 1, {.name = "先", .foot = 30});
    const int second = w_.AddBushou(1, 1, {.name = "後"});
    CKyakushouShouseiDlg dlg(Gs(), &w_.map);
    Script().OnDialog([&](ui::Dialog& d) {
        ui::ListCtrl& list = *dlg.List();
        EXPECT_EQ(d.GetWindowText(), "客将招請");
        ASSERT_EQ(list.GetItemCount(), 2) << "the head is not listed";
        EXPECT_EQ(list.GetItemText(0, 1), "国1");
        EXPECT_EQ(list.GetItemText(0, 2), "城1");
        Gallery(d, "kyakushou_shousei");
        ExpectBox("家1 の 先 を客将として迎えます");
        Select(list, {0});
        ClickRow(list, 0);
        ASSERT_EQ(list.GetItemCount(), 1);
        ExpectBox(
            "家1 からは既に 先 を客将として迎えています（一つの臣従大名家からは一人の客将のみ）\n"
            "後 と客将を交代させますか？");
        ClickRow(list, 0);
        EXPECT_EQ(list.GetItemCount(), 0);
        ASSERT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(G(first).status, CBushou::kStatusKashin);
    EXPECT_EQ(G(second).status, CBushou::kStatusKyakushou);
    EXPECT_EQ(G(second).foot, 30) << "the troops of the guest who stepped down";
    ExpectSound();
}

TEST_F(PersonnelDlgTest, HostageOfferTakesAClickedHeirConfirmedOrTheRefusal) {
    HitojichiOffer offer;
    offer.demand = "家1 は人質の差し出しを要求してきました";
    offer.listTitle = "人質候補（元服前の世継）";
    offer.heirs = {{"若", "12", 3, 4, 5}, {"幼", "8?", 1, 2, 3}};
    QtPort port;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CHitojichiSashidashiDlg&>(d);
        ui::ListCtrl& list = *dlg.List();
        EXPECT_EQ(d.GetWindowText(), "人質差し出し");
        EXPECT_EQ(d.GetDlgItem(CHitojichiSashidashiDlg::kDemandId)->GetWindowText(), offer.demand);
        ASSERT_EQ(list.GetItemCount(), 2);
        EXPECT_EQ(list.GetItemText(1, 1), "8?");
        ui::test::PressKey(d, ui::VK_RETURN);
        EXPECT_TRUE(d.IsWindowVisible()) << "Enter gives no hostage";
        Gallery(d, "hitojichi_sashidashi");
        ExpectBox("幼 を人質として差し出します。よろしいですか？", ui::IDCANCEL);
        ClickRow(list, 1);
        EXPECT_TRUE(d.IsWindowVisible());
        ExpectBox("幼 を人質として差し出します。よろしいですか？");
        ClickRow(list, 1);
    });
    EXPECT_EQ(port.AskHitojichiOffer(offer), 1);
    Script().OnDialog([](ui::Dialog& d) { EXPECT_TRUE(ui::test::ClickControl(d, ui::IDCANCEL)); });
    EXPECT_EQ(port.AskHitojichiOffer(offer), -1) << "the refusal button";
}

TEST_F(PersonnelDlgTest, RecruitmentChoiceShowsTheGeneral) {
    const RecruitOffer offer{"浪人が当家を頼ってきました。家臣に登用しますか？", {"浪人", "30", 7, 6, 5}};
    QtPort port;
    for (int button : {ui::IDOK, ui::IDCANCEL}) {
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CRecruitDlg&>(d);
            EXPECT_EQ(d.GetWindowText(), "登用選択");
            EXPECT_EQ(d.GetDlgItem(CRecruitDlg::kTextId)->GetWindowText(), offer.text);
            EXPECT_EQ(dlg.List()->GetItemText(0, 2), "7");
            if (button == ui::IDOK) Gallery(d, "recruit");
            EXPECT_TRUE(ui::test::ClickControl(d, button));
        });
        EXPECT_EQ(port.AskRecruit(offer), button == ui::IDOK);
    }
}

// The rules' answers of a test; the surrendered generals go to the window's dialog when asked,
// else they are only counted (and stay captives).
class KoufukuDlgPort : public ScriptedPort {
public:
    explicit KoufukuDlgPort(bool dialog) : dialog_(dialog) {}
    bool PlayKoufukuBushou(KoufukuBushouSession& session) override {
        ++shown;
        surrendered = static_cast<int>(session.Remaining().size());
        return dialog_ && QtPort().PlayKoufukuBushou(session);
    }
    int shown = 0;
    int surrendered = 0;

private:
    bool dialog_;
};

// The month's war phase in which the player's great army marches on house 1's only castle,
// held by its head and four generals who would serve at once.
std::unique_ptr<TestWorld> KoufukuWarMonth(KoufukuDlgPort& port, std::uint32_t seed) {
    auto w = std::make_unique<TestWorld>(test::WorldOptions{.houses = 3, .headsInCastles = true});
    port.SetErrorHandler([](const std::string&) {});
    w->ports = port.AsPorts();
    w->Start(0);
    w->gs.rng.Seed(seed);
    for (int i = 0; i < 4; ++i) {
        const int g = w->AddBushou(1, 1, {.foot = 1});
        w->gs.BushouTbl[static_cast<std::size_t>(g)].chuusei = 0;
        w->SetLine(g, 1, -1);  // a scenario record: he may survive the fall
    }
    CBushou& head = w->gs.BushouTbl[0];
    head.cavalry = 500;
    head.foot = 9000;
    head.sortieShiro = 1;
    head.sortieOrigin = 0;
    w->game->BeginShutsujinPhase();
    return w;
}

// A castle taken in a played month: the generals who surrender there come before the player in
// the surrendered-generals dialog. The first is employed, the second released, the third
// executed, the rest kept as captives; the dump shows each fate.
TEST_F(PersonnelDlgTest, ACastleTakenInAPlayedMonthOpensTheSurrenderedGenerals) {
    std::uint32_t seed = 1;
    for (; seed <= 40; ++seed) {
        KoufukuDlgPort counting(false);
        auto w = KoufukuWarMonth(counting, seed);
        w->game->EndShutsujinPhase();
        if (counting.surrendered >= 4) break;  // enough for each of the four fates
    }
    ASSERT_LE(seed, 40u) << "no seed let the castle fall with four generals surrendering";

    KoufukuDlgPort port(true);
    auto w = KoufukuWarMonth(port, seed);
    std::vector<std::string> decided;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CKoufukuBushouDlg&>(d);
        ui::ListCtrl& rows = *dlg.List();
        for (int i = 0; i < rows.GetItemCount(); ++i)
            decided.push_back(rows.GetItemText(i, 0));
        for (int action :
             {CHoryoActionDlg::kEmployId, CHoryoActionDlg::kReleaseId, CHoryoActionDlg::kExecuteId}) {
            if (rows.GetItemCount() == 0) break;
            Select(rows, {0});
            EXPECT_TRUE(ui::test::ClickControl(d, action));
        }
        for (int i = 0; i < rows.GetItemCount(); ++i)
            rows.SetItemState(i, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
        if (rows.GetItemCount() > 0) {
            EXPECT_TRUE(ui::test::ClickControl(d, CHoryoActionDlg::kKeepId));
        }
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    w->game->EndShutsujinPhase();
    EXPECT_EQ(port.shown, 1);
    ASSERT_GE(decided.size(), 4u);
    EXPECT_EQ(w->gs.ShiroTbl[1].daimyou, 0);
    const auto dump = nlohmann::json::parse(DumpStateJson(w->gs, w->map, "0"));
    // The generals by name: the table is tidied after the war phase, an executed general leaves it.
    auto find = [&](const std::string& name) -> const nlohmann::json* {
        for (const auto& g : dump["generals"])
            if (g["name"] == name) return &g;
        return nullptr;
    };
    for (std::size_t i = 0; i < decided.size(); ++i) {
        SCOPED_TRACE(decided[i]);
        const nlohmann::json* g = find(decided[i]);
        if (i == 2) {
            EXPECT_TRUE(g == nullptr || (*g)["house"] == CBushou::kDaimyouRounin) << "executed";
            continue;
        }
        if (i == 1 && g == nullptr) {
            // Released with his house fallen: masterless, he waits off stage for a new lord.
            bool waiting = false;
            for (int k = 0; k < w->gs.nMitoujouBushou; ++k)
                waiting |= w->gs.MitoujouBushouTbl[static_cast<std::size_t>(k)].name == decided[i];
            EXPECT_TRUE(waiting) << "released";
            continue;
        }
        ASSERT_NE(g, nullptr);
        if (i == 0) {
            EXPECT_EQ((*g)["house"], 0) << "employed";
            EXPECT_EQ((*g)["status"], CBushou::kStatusKashin);
        } else if (i == 1) {
            EXPECT_EQ((*g)["status"], CBushou::kStatusKashin) << "released";
            EXPECT_NE((*g)["house"], CBushou::kDaimyouHitojichi);
        } else {
            EXPECT_EQ((*g)["status"], CBushou::kStatusHoryo) << "kept";
            EXPECT_EQ((*g)["holder"], 0);
        }
    }
}

}  // namespace
}  // namespace rymd::gui_test
