#include "game/diplomacy/personnel.h"

#include <gtest/gtest.h>

#include "game/diplomacy/envoys.h"
#include "game/diplomacy/horyo.h"
#include "game/state/game_state.h"
#include "game/state/invariants.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

CBushou& PersonnelGeneral(GameState& gs, int g) {
    return gs.BushouTbl[static_cast<std::size_t>(g)];
}

// The player is house 0 (castle 0, head general 0); house 1 holds castle 1, house 2 castle 2,
// house 3 castle 3; house 4 has no castle.
struct PersonnelWorld : TestWorld {
    PersonnelWorld() : TestWorld({.castles = 4, .houses = 5}) {
        for (int c = 1; c < 4; ++c)
            Own(c, c);
        const int head = AddBushou(0, 0);
        gs.DaimyouTbl[0].toushu = head;
        gs.rng.Seed(11);
    }
    void ExpectSound() {
        const auto broken = FindBrokenInvariant(gs);
        EXPECT_FALSE(broken.has_value()) << *broken;
    }
    // A general of the house, in its castle, taken captive by the holder.
    int Captive(int house, int holder, int attachment, int worth = 5) {
        const int g = AddBushou(house, house, {.chibou = worth, .buyuu = worth});
        PersonnelGeneral(gs, g).seiji = static_cast<std::uint8_t>(worth);
        TakeHoryo(gs, ports, holder, g);
        PersonnelGeneral(gs, g).counter37 = static_cast<std::uint8_t>(attachment);
        return g;
    }
    // A hostage of the house held by the holder, aged `age`, staying at the castle.
    int Hostage(int house, int holder, int age, int shiro) {
        const int g = AddBushou(CBushou::kDaimyouHitojichi, -1);
        CBushou& b = PersonnelGeneral(gs, g);
        b.shiro = static_cast<std::int16_t>(shiro);
        b.status = CBushou::kStatusHitojichi;
        b.holderDaimyou = static_cast<std::int16_t>(holder);
        b.originDaimyou = static_cast<std::int16_t>(house);
        b.birthYear = static_cast<std::int16_t>(gs.nCurYear - age);
        b.foot = 7;
        return g;
    }
};

TEST(HeldHoryo, OnlyTheHoldersCaptivesStillInPlay) {
    PersonnelWorld w;
    const int mine = w.Captive(1, 0, 0);
    const int theirs = w.Captive(2, 1, 0);
    const int executed = w.Captive(1, 0, 0);
    ExecuteHoryo(w.gs, executed);
    const int hostage = w.Hostage(1, 0, 10, 1);
    EXPECT_EQ(HeldHoryo(w.gs, 0), std::vector<int>{mine});
    EXPECT_EQ(HeldHoryo(w.gs, 1), std::vector<int>{theirs});
    EXPECT_EQ(HeldHitojichi(w.gs, 0), std::vector<int>{hostage});
    EXPECT_TRUE(HeldHitojichi(w.gs, 1).empty());
    w.ExpectSound();
}

TEST(ExecuteHoryo, LeavesPlayAndDropsTheBesiegingMark) {
    PersonnelWorld w;
    const int g = w.Captive(1, 0, 50);
    PersonnelGeneral(w.gs, g).flags |= CBushou::kFlagBesieging;
    ExecuteHoryo(w.gs, g);
    EXPECT_EQ(PersonnelGeneral(w.gs, g).daimyou, CBushou::kDaimyouRounin);
    EXPECT_EQ(PersonnelGeneral(w.gs, g).flags & CBushou::kFlagBesieging, 0);
    EXPECT_TRUE(w.port.Calls().empty());
    w.ExpectSound();
}

TEST(ApplyHoryoAction, EachActionOnSeveralCaptives) {
    struct Case {
        const char* name;
        HoryoAction action;
        std::vector<int> handled;  // positions among the three captives
        std::vector<std::string> refusals;
        int house;  // of the handled ones afterwards
        std::uint8_t status;
    };
    // Captives 0 and 2 may be employed, 1 is still attached to his house.
    const Case cases[] = {
        {"employ: the attached one refuses and stays",
         HoryoAction::Employ,
         {0, 2},
         {"将2 は登用を拒否しました"},
         0,
         CBushou::kStatusKashin},
        {"release: all go home", HoryoAction::Release, {0, 1, 2}, {}, 1, CBushou::kStatusKashin},
        {"execute: all leave play",
         HoryoAction::Execute,
         {0, 1, 2},
         {},
         CBushou::kDaimyouRounin,
         CBushou::kStatusHoryo},
        {"keep: nothing changes",
         HoryoAction::Keep,
         {0, 1, 2},
         {},
         CBushou::kDaimyouHitojichi,
         CBushou::kStatusHoryo},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PersonnelWorld w;
        const std::vector<int> captives{w.Captive(1, 0, 0), w.Captive(1, 0, 9), w.Captive(1, 0, 0)};
        const HoryoActionResult r = ApplyHoryoAction(w.gs, w.ports, c.action, captives);
        std::vector<int> want;
        for (int i : c.handled)
            want.push_back(captives[static_cast<std::size_t>(i)]);
        EXPECT_EQ(r.handled, want);
        EXPECT_EQ(r.refusals, c.refusals);
        for (int g : want) {
            EXPECT_EQ(PersonnelGeneral(w.gs, g).daimyou, c.house);
            EXPECT_EQ(PersonnelGeneral(w.gs, g).status, c.status);
        }
        if (c.action == HoryoAction::Employ) {
            EXPECT_EQ(PersonnelGeneral(w.gs, captives[1]).status, CBushou::kStatusHoryo);
            EXPECT_EQ(HeldHoryo(w.gs, 0), std::vector<int>{captives[1]});
        }
        w.ExpectSound();
    }
}

TEST(ApplyHoryoAction, ReleasingACaptiveWhoseHouseFellMakesHimMasterless) {
    PersonnelWorld w;
    const int g = w.Captive(1, 0, 30);
    w.Own(1, 2);  // his house's last castle falls while he is held
    w.gs.DaimyouTbl[2].SetRelationLo(1, CDaimyou::kRelFusen);
    const HoryoActionResult r = ApplyHoryoAction(w.gs, w.ports, HoryoAction::Release, std::vector<int>{g});
    EXPECT_EQ(r.handled, std::vector<int>{g});
    const CBushou& b = PersonnelGeneral(w.gs, g);
    EXPECT_EQ(b.daimyou, CBushou::kDaimyouFree);
    EXPECT_EQ(b.status, CBushou::kStatusKashin);
    EXPECT_EQ(b.joinDaimyou[0], 2);
    EXPECT_EQ(b.joinDaimyou[1], -1);
    EXPECT_TRUE(HeldHoryo(w.gs, 0).empty());
    w.ExpectSound();
}

TEST(HoryoEmployability, OnePerGeneral) {
    PersonnelWorld w;
    const int free = w.Captive(1, 0, 0);
    const int attached = w.Captive(1, 0, 4);
    const std::vector<std::int32_t> table = HoryoEmployability(w.gs);
    ASSERT_EQ(table.size(), static_cast<std::size_t>(w.gs.nBushou));
    EXPECT_EQ(table[static_cast<std::size_t>(free)], 1);
    EXPECT_EQ(table[static_cast<std::size_t>(attached)], 0);
    EXPECT_EQ(table[0], 0);  // the head is no captive
}

TEST(HoryoKoukan, ListsAndPartners) {
    PersonnelWorld w;
    const int back = w.Captive(0, 1, 0);
    const int handed = w.Captive(1, 0, 0);
    const int other = w.Captive(2, 0, 0);
    w.Captive(2, 1, 0);  // between two other houses
    const HoryoKoukanLists lists = CollectHoryoKoukan(w.gs, 0, 1);
    EXPECT_EQ(lists.returned, std::vector<int>{back});
    EXPECT_EQ(lists.given, std::vector<int>{handed});
    EXPECT_EQ(HoryoKoukanPartners(w.gs, 0), (std::vector<int>{1, 2}));
    EXPECT_EQ(CollectHoryoKoukan(w.gs, 0, 2).given, std::vector<int>{other});
    EXPECT_TRUE(CollectHoryoKoukan(w.gs, 0, 2).returned.empty());
}

TEST(HoryoKoukan, ThePartnerWantsStrictlyMoreWorth) {
    struct Case {
        const char* name;
        int returnedWorth;  // intellect = valour = politics of the general coming back
        int givenWorth;
        bool accepted;
    };
    const Case cases[] = {
        {"equal worth is refused", 10, 10, false},
        {"less given is refused", 11, 10, false},
        {"more given is accepted", 10, 11, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PersonnelWorld w;
        const int back = w.Captive(0, 1, 50, c.returnedWorth);
        const int handed = w.Captive(1, 0, 50, c.givenWorth);
        EXPECT_EQ(HoryoKoukanWorth(w.gs, std::vector<int>{back}), 3 * c.returnedWorth + 30);
        w.port.ClearCalls();
        const std::vector<int> returned{back}, given{handed};
        const HoryoKoukanOutcome o = AnswerHoryoKoukan(w.gs, 1, returned, given);
        EXPECT_EQ(PersonnelGeneral(w.gs, back).status, CBushou::kStatusHoryo) << "the answer frees nobody";
        if (o.accepted) CarryOutHoryoKoukan(w.gs, w.ports, returned, given);
        EXPECT_EQ(o.accepted, c.accepted);
        EXPECT_EQ(o.text, c.accepted ? "家1 は捕虜交換を承諾しました" : "家1 は捕虜交換を承諾しませんでした");
        EXPECT_EQ(PersonnelGeneral(w.gs, back).daimyou, c.accepted ? 0 : CBushou::kDaimyouHitojichi);
        EXPECT_EQ(PersonnelGeneral(w.gs, handed).daimyou, c.accepted ? 1 : CBushou::kDaimyouHitojichi);
        EXPECT_EQ(PersonnelGeneral(w.gs, handed).status,
                  c.accepted ? CBushou::kStatusKashin : CBushou::kStatusHoryo);
        w.ExpectSound();
    }
}

TEST(CheckGenpuku, RefusalsAndQuestions) {
    struct Case {
        const char* name;
        int age;
        int bond;    // of house 1 towards the player's house
        bool gone;   // house 1 has fallen
        bool guest;  // house 1 already has a guest general
        const char* refusal;
        const char* question;
    };
    const Case cases[] = {
        {"14 is too young", 14, CDaimyou::kBondShinjuu, false, false, "15歳未満は元服できません", ""},
        {"15 comes of age", 15, CDaimyou::kBondShinjuu, false, false, "",
         "家1 の 将1 を元服させて客将に取立てます"},
        {"a subordinate house's hostage may not", 20, CDaimyou::kBondJuuzoku, false, false,
         "臣従大名家以外の人質を元服させることはできません", ""},
        {"an independent house's hostage may not", 20, CDaimyou::kBondDokuritsu, false, false,
         "臣従大名家以外の人質を元服させることはできません", ""},
        {"a fallen house's hostage may", 20, CDaimyou::kBondDokuritsu, true, false, "",
         "家1 の 将1 を元服させて客将に取立てます"},
        {"a second guest from one house asks for the swap", 16, CDaimyou::kBondShinjuu, false, true, "",
         "家1 からは既に 将2 を客将として迎えています（一つの臣従大名家からは一人の客将のみ）\n"
         "将1 を元服させて客将交代させますか？"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PersonnelWorld w;
        if (c.bond != CDaimyou::kBondDokuritsu) {
            w.gs.DaimyouTbl[1].bond = static_cast<std::uint8_t>(c.bond);
            w.gs.DaimyouTbl[1].masterDaimyou = 0;
        }
        w.gs.DaimyouTbl[1].toushu = c.gone ? -1 : -2;
        const int hostage = w.Hostage(1, 0, c.age, 1);
        if (c.guest) PersonnelGeneral(w.gs, w.AddBushou(1, 1)).status = CBushou::kStatusKyakushou;
        if (!c.gone) {
            const int head = w.AddBushou(1, 1);
            w.gs.DaimyouTbl[1].toushu = head;
        }
        const PersonnelCheck check = CheckGenpuku(w.gs, hostage);
        EXPECT_EQ(check.refusal, c.refusal);
        EXPECT_EQ(check.question, c.question);
    }
}

TEST(Genpuku, BecomesTheHousesOnlyGuestOrJoinsThePlayerWhenHisHouseFell) {
    for (bool gone : {false, true}) {
        SCOPED_TRACE(gone ? "house gone" : "vassal house");
        PersonnelWorld w;
        w.MakeVassal(1, 0);
        const int head = w.AddBushou(1, 1);
        w.gs.DaimyouTbl[1].toushu = head;
        const int earlier = w.AddBushou(1, 1, {.foot = 40});
        PersonnelGeneral(w.gs, earlier).status = CBushou::kStatusKyakushou;
        if (gone) w.gs.DaimyouTbl[1].toushu = -1;
        const int hostage = w.Hostage(1, 0, 16, 1);
        Genpuku(w.gs, hostage);
        const CBushou& b = PersonnelGeneral(w.gs, hostage);
        if (gone) {
            EXPECT_EQ(b.daimyou, 0);
            EXPECT_EQ(b.status, CBushou::kStatusKashin);
        } else {
            EXPECT_EQ(b.daimyou, 1);
            EXPECT_EQ(b.status, CBushou::kStatusKyakushou);
            EXPECT_EQ(b.foot, 40);  // the troops of the guest who stepped down
            EXPECT_EQ(PersonnelGeneral(w.gs, earlier).status, CBushou::kStatusKashin);
            EXPECT_EQ(PersonnelGeneral(w.gs, earlier).foot, 0);
            EXPECT_EQ(KyakushouOf(w.gs, 1), hostage);
        }
        EXPECT_TRUE(HeldHitojichi(w.gs, 0).empty());
        if (!gone) w.ExpectSound();
    }
}

TEST(HitojichiReturn, RefusedForAFallenHouseElseAwaitsHisHouseOffStage) {
    PersonnelWorld w;
    w.gs.DaimyouTbl[4].toushu = -1;
    const int orphan = w.Hostage(4, 0, 10, 0);
    EXPECT_EQ(CheckHitojichiReturn(w.gs, orphan).refusal, "滅亡した大名家の武将なので返還できません");

    const int hostage = w.Hostage(1, 0, 10, 0);
    const PersonnelCheck check = CheckHitojichiReturn(w.gs, hostage);
    EXPECT_EQ(check.refusal, "");
    EXPECT_EQ(check.question, "将2 を 家1 に返還します");
    w.gs.nMitoujouBushou = 3;
    ReturnHitojichi(w.gs, hostage);
    EXPECT_EQ(PersonnelGeneral(w.gs, hostage).daimyou, CBushou::kDaimyouRounin);
    ASSERT_EQ(w.gs.nMitoujouBushou, 4);
    EXPECT_EQ(w.gs.MitoujouBushouTbl[3].name, "将2");
    EXPECT_EQ(w.gs.MitoujouBushouTbl[3].daimyou, 1);
    EXPECT_EQ(w.gs.MitoujouBushouTbl[3].status, CBushou::kStatusHitojichi);
    EXPECT_EQ(HeldHitojichi(w.gs, 0), std::vector<int>{orphan});
    w.ExpectSound();

    // With the table of generals not yet appeared full he still leaves play.
    const int last = w.Hostage(1, 0, 10, 0);
    w.gs.nMitoujouBushou = GameState::kMaxBushou;
    ReturnHitojichi(w.gs, last);
    EXPECT_EQ(PersonnelGeneral(w.gs, last).daimyou, CBushou::kDaimyouRounin);
    EXPECT_EQ(w.gs.nMitoujouBushou, GameState::kMaxBushou);
}

TEST(KyakushouKouho, RetainersOfVassalHousesButNotTheirHeads) {
    PersonnelWorld w;
    w.MakeVassal(1, 0);
    const int head = w.AddBushou(1, 1);
    w.gs.DaimyouTbl[1].toushu = head;
    const int first = w.AddBushou(1, 1);
    const int second = w.AddBushou(1, 1);
    const int guest = w.AddBushou(1, 1);
    PersonnelGeneral(w.gs, guest).status = CBushou::kStatusKyakushou;
    w.AddBushou(2, 2);  // not a vassal
    w.AddBushou(0, 0);  // the player's own
    EXPECT_EQ(KyakushouKouho(w.gs, 0), (std::vector<int>{first, second}));
    EXPECT_EQ(KyakushouQuestion(w.gs, first),
              "家1 からは既に 将4 を客将として迎えています（一つの臣従大名家からは一人の客将のみ）\n"
              "将2 と客将を交代させますか？");
    PersonnelGeneral(w.gs, guest).status = CBushou::kStatusKashin;
    EXPECT_EQ(KyakushouQuestion(w.gs, first), "家1 の 将2 を客将として迎えます");
    // No vassal houses: nobody.
    PersonnelWorld alone;
    EXPECT_TRUE(KyakushouKouho(alone.gs, 0).empty());
}

TEST(HitojichiOffer, GenericHeirWhenNoCandidateAndTheRefusalIsTheLastChoice) {
    PersonnelWorld w;
    const HitojichiOffer offer = MakeHitojichiOffer(w.gs, 1, 0, {});
    EXPECT_EQ(offer.demand, "家1 は人質の差し出しを要求してきました");
    EXPECT_EQ(offer.listTitle, "人質候補（元服前の世継）");
    ASSERT_EQ(offer.heirs.size(), 1u);
    EXPECT_EQ(offer.heirs[0].name, "家0" + w.gs.ScenarioWords[kWordSeishi]);
    // A front without the dialog: the plain choice box, its last button refusing.
    w.port.PushChoice(1);
    EXPECT_EQ(w.ports.ask->AskHitojichiOffer(offer), -1);
    w.port.PushChoice(0);
    EXPECT_EQ(w.ports.ask->AskHitojichiOffer(offer), 0);
    const auto choices = w.port.CallsOf(PortCallKind::AskChoice);
    ASSERT_EQ(choices.size(), 2u);
    EXPECT_EQ(choices[0].text, offer.demand);
}

}  // namespace
}  // namespace rymd
