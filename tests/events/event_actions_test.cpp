// The happenings of the conditional events: operands from literals and from script variables
// (with the author told of a bad variable), relations and bonds between houses, a house
// absorbed with its castles, ownership and sieges, generals, troop and castle values within
// their limits, variables, questions, endings, subroutine calls and what reaches the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "game/events/event_run.h"
#include "game/state/access.h"
#include "game/state/event_records.h"
#include "game/state/queries.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

constexpr const char* kTitle = "試験";

// Codes of the happening table that the tests use by name.
int Code(const char* keyword) {
    const int code = FindHappeningKeyword(keyword);
    EXPECT_GE(code, 0) << keyword;
    return code;
}

// A happening item: the keyword's code, the operands given, every other field 0 or empty.
struct H {
    EventItem item;
    explicit H(const char* keyword) { item.code = static_cast<std::uint16_t>(Code(keyword)); }
    explicit H(int code) { item.code = static_cast<std::uint16_t>(code); }
    H& daimyou1(int v) { return Set(item.daimyou1, v); }
    H& daimyou2(int v) { return Set(item.daimyou2, v); }
    H& shiro1(int v) { return Set(item.shiro1, v); }
    H& shiro2(int v) { return Set(item.shiro2, v); }
    H& bushou1(int v) { return Set(item.bushou1, v); }
    H& bushou2(int v) { return Set(item.bushou2, v); }
    H& data1(std::string v) {
        item.data1 = std::move(v);
        return *this;
    }
    H& data2(std::string v) {
        item.data2 = std::move(v);
        return *this;
    }
    operator const EventItem&() const { return item; }

private:
    H& Set(std::int16_t& field, int v) {
        field = static_cast<std::int16_t>(v);
        return *this;
    }
};

CNameIndex::IdSlot Id(const std::string& name) {
    CNameIndex::IdSlot slot{};
    std::memcpy(slot.data(), name.data(), std::min(name.size(), slot.size() - 1));
    return slot;
}

// A world with conditional events: house d holds castle d with its head, general d (ids 0..),
// and the scenario names its houses H0, H1, ... (scripts address them 1 to their number).
struct EventWorld : TestWorld {
    EventRun run{GameContext{gs, map, ports}};

    explicit EventWorld(int houses = 3, int soldierUnit = 1)
        : TestWorld({.houses = houses, .soldierUnit = soldierUnit, .headsInCastles = true}) {
        for (int d = 0; d < houses; ++d)
            SetLine(d, d, 0);  // general d gets id d
    }

    // An event with the happenings; its index.
    int AddEvent(std::vector<EventItem> items, std::uint16_t flags = 0, const std::string& title = kTitle) {
        CConditionalEvent e;
        e.title = title;
        e.flags = flags;
        e.actionCount = static_cast<std::int32_t>(items.size());
        for (std::size_t i = 0; i < items.size(); ++i)
            e.actions[i] = items[i];
        gs.ConditionalEventArray.push_back(e);
        gs.nConditionalEvent = static_cast<int>(gs.ConditionalEventArray.size());
        return gs.nConditionalEvent - 1;
    }
    // One happening, in an event of its own.
    int Do(const EventItem& item) { return RunHappening(run, AddEvent({item}), 0); }

    void Set(const char* variable, double value) { gs.ScriptVariables.SetVariable(variable, value, nullptr); }
    double Var(const char* variable) const { return gs.ScriptVariables.GetTokenValue(variable); }
    int State(int a, int b) const { return gs.DaimyouTbl[a].GetRelationLo(b); }
    int Countdown(int a, int b) const { return gs.DaimyouTbl[a].GetRelationHi(b); }
    void SetRelation(int a, int b, int state, int countdown) {
        for (auto [x, y] : {std::pair{a, b}, std::pair{b, a}}) {
            gs.DaimyouTbl[x].SetRelationLo(y, state);
            gs.DaimyouTbl[x].SetRelationHi(y, countdown);
        }
    }
    // A castle of the house with its maxima, linked to its house's first castle.
    int AddCastle(int daimyou) {
        const int c = gs.nShiro++;
        CShiro& s = gs.ShiroTbl[c];
        s = gs.ShiroTbl[0];
        s.daimyou = static_cast<std::int16_t>(daimyou);
        s.nBushou = s.nBesieger = s.nArrival = 0;
        s.besiegerDaimyou = s.blockadeDaimyou = -1;
        s.commander = static_cast<std::int16_t>(gs.DaimyouTbl[daimyou].toushu);
        ShiroMapRecord& m = gs.ShiroMapTbl[c];
        m = gs.ShiroMapTbl[0];
        m.name = "城" + std::to_string(c);
        m.ClearConnections();
        Link(c, daimyou);
        return c;
    }
    std::string Message(const std::string& detail) const {
        return std::string("条件イベント(No.") + std::to_string(gs.nConditionalEvent) + " : " + kTitle +
               ")で、" + detail;
    }
};

// ---------------------------------------------------------------------------------------------
// Operands

TEST(EventActionOperands, VariablesNameHousesCastlesAndGeneralsByIndexPlusOne) {
    EventWorld w;
    w.Set("Daimyou1", 2.9);  // truncated, minus one: house 1
    w.Do(H("HAPPENING_DAIMYOU_KAIMEI").daimyou1(-1).data1("新家"));
    EXPECT_EQ(w.gs.DaimyouTbl[1].name, "新家");

    w.Set("Shiro1", 3);
    w.Do(H("HAPPENING_SHIRO_KAIMEI").shiro1(-1).data1("新城"));
    EXPECT_EQ(w.gs.ShiroMapTbl[2].name, "新城");

    // A literal general is his id; a variable general is his table index + 1.
    w.gs.BushouTbl[1].id = 2;
    w.gs.BushouTbl[2].id = 1;
    w.Do(H("HAPPENING_BUSHOU_KAIMEI").bushou1(1).data1("甲"));
    EXPECT_EQ(w.gs.BushouTbl[2].name, "甲");
    w.Set("Bushou1", 1);
    w.Do(H("HAPPENING_BUSHOU_KAIMEI").bushou1(-1).data1("乙"));
    EXPECT_EQ(w.gs.BushouTbl[0].name, "乙");
    EXPECT_TRUE(w.Informs().empty());
}

TEST(EventActionOperands, ABadVariableIsToldAndTheHappeningDoesNothing) {
    struct Case {
        const char* name;
        const char* variable;
        double value;
        EventItem item;
        std::string message;
    };
    const int kaimei = FindHappeningKeyword("HAPPENING_DAIMYOU_KAIMEI");
    const int shukuteki = FindHappeningKeyword("HAPPENING_SHUKUTEKI");
    const int dead = FindHappeningKeyword("HAPPENING_BUSHOU_DEAD");
    const int copy = FindHappeningKeyword("HAPPENING_BUSHOU_PARAM_COPY");
    const int route = FindHappeningKeyword("HAPPENING_HIDE_ROOT");
    const std::vector<Case> cases = {
        {"unset general", "Bushou1", 0, H(dead).bushou1(-1), "武将1指定変数(Bushou1=0)の値が不適切です"},
        {"general past the table", "Bushou1", 4, H(dead).bushou1(-1),
         "武将1指定変数(Bushou1=4)の値が不適切です"},
        {"second general", "Bushou2", -1, H(copy).bushou1(0).bushou2(-1),
         "武将2指定変数(Bushou2=-1)の値が不適切です"},
        {"house past the scenario's", "Daimyou1", 4, H(kaimei).daimyou1(-1).data1("x"),
         "大名1指定変数(Daimyou1=4)の値が不適切です"},
        {"second house", "Daimyou2", 0.5, H(shukuteki).daimyou1(0).daimyou2(-1),
         "大名2指定変数(Daimyou2=0.50000)の値が不適切です"},
        {"second castle", "Shiro2", 9, H(route).shiro1(0).shiro2(-1).data1("1"),
         "城2指定変数(Shiro2=9)の値が不適切です"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventWorld w;
        w.Set(c.variable, c.value);
        const auto before = w.gs.BushouTbl[0];
        EXPECT_EQ(w.Do(c.item), -1);
        EXPECT_EQ(w.Informs(), std::vector<std::string>{w.Message(c.message)});
        EXPECT_EQ(w.gs.nBushou, 3);
        EXPECT_EQ(w.gs.DaimyouTbl[2].name, "家2");
        EXPECT_EQ(w.State(0, 1), CDaimyou::kRelNothing);
        EXPECT_EQ(w.gs.ShiroMapTbl[0].connect[0].shiro, 1);
        EXPECT_EQ(w.gs.BushouTbl[0].buyuu, before.buyuu);
    }
}

TEST(EventActionOperands, TheSpectatorsDummyHouseIsNoHouseOfTheScenario) {
    EventWorld w;
    w.Start(-1);  // appends the dummy house 3
    ASSERT_EQ(w.gs.nDaimyou, 4);
    w.Set("Daimyou1", 4);
    w.Do(H("HAPPENING_GAME_END2").daimyou1(-1));
    EXPECT_EQ(w.run.ending, -1);
    EXPECT_EQ(w.Informs(), std::vector<std::string>{w.Message("大名1指定変数(Daimyou1=4)の値が不適切です")});
}

TEST(EventActionOperands, ARemovedGeneralOrAFallenHouseChangesNothing) {
    EventWorld w;
    w.gs.DaimyouTbl[2].toushu = -1;  // house 2 has fallen
    w.Do(H("HAPPENING_DOKURITSU").daimyou1(2));
    w.Do(H("HAPPENING_HEIDON").daimyou1(0).daimyou2(2));
    EXPECT_EQ(w.gs.ShiroTbl[2].daimyou, 2);
    // General id 1 dies; later happenings naming him find nobody.
    w.Do(H("HAPPENING_BUSHOU_DEAD").bushou1(1));
    ASSERT_EQ(w.gs.nBushou, 2);
    EXPECT_EQ(FindBushouIndexById(w.gs, 1), -1);
    for (const char* keyword :
         {"HAPPENING_BUSHOU_DEAD", "HAPPENING_BUSHOU_KAIMEI", "HAPPENING_BUSHOU_ASHIGARU_PLUS",
          "HAPPENING_TOUSHU_CHANGE", "HAPPENING_BUSHOU_MOVE", "HAPPENING_BUSHOU_SHOZOKU_CHANGE"})
        w.Do(H(keyword).bushou1(1).data1("100"));
    EXPECT_EQ(w.gs.nBushou, 2);
    EXPECT_EQ(w.gs.BushouTbl[0].name, "将0");
    EXPECT_EQ(w.gs.BushouTbl[1].name, "将2");
    EXPECT_TRUE(w.Informs().empty());
    w.ExpectIndexesConsistent();
}

// ---------------------------------------------------------------------------------------------
// Relations and bonds

TEST(EventActionRelations, ArchEnmityAndItsEnd) {
    struct Case {
        const char* name;
        const char* keyword;
        std::function<void(EventWorld&)> setup;
        int state01, state10, countdown01, countdown10;
        int bond1;  // of house 1 afterwards
    };
    const int kNo = CDaimyou::kNoCountdown;
    const auto vassalOfHouse0 = [](EventWorld& w) {
        w.MakeVassal(1, 0);
        w.gs.DaimyouTbl[0].SetRelationLo(1, CDaimyou::kRelShinjuuMaster);
        w.gs.DaimyouTbl[1].SetRelationLo(0, CDaimyou::kRelShinjuu);
    };
    const std::vector<Case> cases = {
        {"no relation becomes arch-enmity", "HAPPENING_SHUKUTEKI",
         [](EventWorld& w) { w.SetRelation(0, 1, 1, 3); }, 0, 0, kNo, kNo, 0},
        {"an alliance is dissolved first", "HAPPENING_SHUKUTEKI",
         [](EventWorld& w) { w.SetRelation(0, 1, 2, 5); }, 0, 0, kNo, kNo, 0},
        {"a vassal leaves its master first", "HAPPENING_SHUKUTEKI", vassalOfHouse0, 0, 0, kNo, kNo,
         CDaimyou::kBondDokuritsu},
        {"forced between a vassal and its master", "HAPPENING_KYOUSEI_SHUKUTEKI", vassalOfHouse0, 0, 0, kNo,
         kNo, CDaimyou::kBondDokuritsu},
        {"ended: arch-enemies have no relation, endless countdowns end", "HAPPENING_NOT_SHUKUTEKI",
         [](EventWorld& w) { w.SetRelation(0, 1, 0, kNo); }, 1, 1, 0, 0, 0},
        {"ended for an ally: only the endless side's countdown ends", "HAPPENING_NOT_SHUKUTEKI",
         [](EventWorld& w) {
             w.SetRelation(0, 1, 2, 4);
             w.gs.DaimyouTbl[1].SetRelationHi(0, kNo);
         },
         2, 2, 4, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventWorld w;
        c.setup(w);
        w.Do(H(c.keyword).daimyou1(0).daimyou2(1));
        EXPECT_EQ(w.State(0, 1), c.state01);
        EXPECT_EQ(w.State(1, 0), c.state10);
        EXPECT_EQ(w.Countdown(0, 1), c.countdown01);
        EXPECT_EQ(w.Countdown(1, 0), c.countdown10);
        EXPECT_EQ(w.gs.DaimyouTbl[1].bond, c.bond1);
    }
}

TEST(EventActionRelations, ArchEnemiesOfAllAndTheirEnd) {
    EventWorld w;
    w.SetRelation(0, 2, 2, 5);
    w.Do(H("HAPPENING_SHUKUTEKI_ALL").daimyou1(0));
    for (int d : {1, 2}) {
        EXPECT_EQ(w.State(0, d), CDaimyou::kRelShukuteki);
        EXPECT_EQ(w.State(d, 0), CDaimyou::kRelShukuteki);
        EXPECT_EQ(w.Countdown(d, 0), CDaimyou::kNoCountdown);
    }
    EXPECT_EQ(w.State(1, 2), CDaimyou::kRelNothing);
    w.Do(H("HAPPENING_NOT_SHUKUTEKI_ALL").daimyou1(0));
    for (int d : {1, 2}) {
        EXPECT_EQ(w.State(0, d), CDaimyou::kRelNothing);
        EXPECT_EQ(w.Countdown(0, d), 0);
        EXPECT_EQ(w.Countdown(d, 0), 0);
    }
}

TEST(EventActionBonds, AlliancesSubordinationAndVassalage) {
    {
        EventWorld w;
        const int funds = w.gs.DaimyouTbl[0].shikin;
        w.Do(H("HAPPENING_FUSEN_DOUMEI").daimyou1(0).daimyou2(1));
        EXPECT_EQ(w.State(0, 1), CDaimyou::kRelFusen);
        EXPECT_EQ(w.State(1, 0), CDaimyou::kRelFusen);
        EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, funds);  // no price paid
    }
    {
        EventWorld w;
        w.Do(H("HAPPENING_JUUZOKU").daimyou1(0).daimyou2(1));
        EXPECT_EQ(w.gs.DaimyouTbl[1].bond, CDaimyou::kBondJuuzoku);
        EXPECT_EQ(w.gs.DaimyouTbl[1].masterDaimyou, 0);
        EXPECT_EQ(w.State(0, 1), CDaimyou::kRelJuuzokuMaster);
        // Subordination under a subordinate does nothing.
        w.Do(H("HAPPENING_JUUZOKU").daimyou1(1).daimyou2(2));
        EXPECT_EQ(w.gs.DaimyouTbl[2].bond, CDaimyou::kBondDokuritsu);
        // The subordinate becomes a vassal.
        w.Do(H("HAPPENING_SHINJUU").daimyou1(0).daimyou2(1));
        EXPECT_EQ(w.gs.DaimyouTbl[1].bond, CDaimyou::kBondShinjuu);
        EXPECT_EQ(w.State(0, 1), CDaimyou::kRelShinjuuMaster);
        // A house of its own becomes a vassal at once.
        w.Do(H("HAPPENING_SHINJUU").daimyou1(0).daimyou2(2));
        EXPECT_EQ(w.gs.DaimyouTbl[2].bond, CDaimyou::kBondShinjuu);
        EXPECT_EQ(w.gs.DaimyouTbl[2].masterDaimyou, 0);
        // Every dependant of house 0 becomes independent.
        w.Do(H("HAPPENING_SANKA_DOKURITSU").daimyou1(0));
        EXPECT_EQ(w.gs.DaimyouTbl[1].bond, CDaimyou::kBondDokuritsu);
        EXPECT_EQ(w.gs.DaimyouTbl[2].bond, CDaimyou::kBondDokuritsu);
    }
}

// ---------------------------------------------------------------------------------------------
// A house absorbed, castles handed over, sieges lifted

TEST(EventActionHouses, AHouseIsAbsorbedWithItsCastlesAndItsBesiegedCastleIsFreed) {
    for (const char* keyword : {"HAPPENING_HEIDON", "HAPPENING_HEIDON2"}) {
        SCOPED_TRACE(keyword);
        EventWorld w;
        const int c1 = w.AddCastle(1);
        const int c2 = w.AddCastle(1);
        const int retainer = w.AddBushou(1, c1);
        const int corps = w.AddGundan(1, retainer);
        w.gs.ShiroTbl[c1].gundan = static_cast<std::int16_t>(corps);
        w.Besiege(c2, 0);  // besieged by the absorbing house: lifted
        w.Besiege(1, 2);   // besieged by a third, hostile house: stays
        w.Do(H(keyword).daimyou1(0).daimyou2(1));

        for (int c : {1, c1, c2}) {
            EXPECT_EQ(w.gs.ShiroTbl[c].daimyou, 0);
            EXPECT_EQ(w.gs.ShiroTbl[c].gundan, -1);
            EXPECT_EQ(w.gs.ShiroTbl[c].commander, w.gs.DaimyouTbl[0].toushu);
        }
        EXPECT_EQ(w.gs.ShiroTbl[c2].nBesieger, 0);
        EXPECT_EQ(w.gs.ShiroTbl[c2].besiegerDaimyou, -1);
        EXPECT_EQ(w.gs.ShiroTbl[1].nBesieger, 1);
        EXPECT_EQ(w.gs.DaimyouTbl[1].toushu, -1);
        EXPECT_TRUE(w.gs.GundanTbl[corps].IsFree());
        const int joined = std::string(keyword) == "HAPPENING_HEIDON2" ? 0 : CBushou::kDaimyouRounin;
        EXPECT_EQ(w.gs.BushouTbl[1].daimyou, joined);
        EXPECT_EQ(w.gs.BushouTbl[retainer].daimyou, joined);
        EXPECT_EQ(w.gs.BushouTbl[retainer].gundan, -1);
    }
}

TEST(EventActionHouses, ACastleChangesHandsAndItsGeneralsMoveToTheirSide) {
    EventWorld w;
    const int c = w.AddCastle(1);
    const int g = w.AddBushou(1, c);
    w.Besiege(c, 0);
    w.Do(H("HAPPENING_SHIRO_SHOZOKU_CHANGE").daimyou1(0).shiro1(c));
    EXPECT_EQ(w.gs.ShiroTbl[c].daimyou, 0);
    EXPECT_EQ(w.gs.ShiroTbl[c].commander, 0);
    EXPECT_EQ(w.gs.ShiroTbl[c].besiegerDaimyou, -1);
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 1);  // back to his own house's castle
    EXPECT_EQ(w.gs.BushouTbl[g].daimyou, 1);
    w.ExpectIndexesConsistent();

    // To a house without a head: no commander, and the house is between heads.
    w.gs.DaimyouTbl[2].toushu = -1;
    w.Do(H("HAPPENING_SHIRO_SHOZOKU_CHANGE").daimyou1(2).shiro1(c));
    EXPECT_EQ(w.gs.ShiroTbl[c].commander, -1);
    EXPECT_EQ(w.gs.DaimyouTbl[2].toushu, -2);
}

TEST(EventActionHouses, SiegesAreLiftedByCastleByDefenderAndByBesieger) {
    struct Case {
        const char* keyword;
        int daimyou1;
        std::vector<bool> lifted;  // castles 0, 1, 2
    };
    const std::vector<Case> cases = {
        {"HAPPENING_TETTAI1", 0, {false, true, false}},  // castle 1 given as castle 1
        {"HAPPENING_TETTAI2", 2, {false, false, true}},  // sieges of house 2's castles
        {"HAPPENING_TETTAI3", 2, {true, false, false}},  // sieges that house 2 lays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyword);
        EventWorld w;
        w.Besiege(0, 2);
        w.Besiege(1, 0);
        w.Besiege(2, 1);
        w.Do(H(c.keyword).daimyou1(c.daimyou1).shiro1(1));
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(w.gs.ShiroTbl[s].nBesieger == 0, c.lifted[s]) << "castle " << s;
    }
}

TEST(EventActionHouses, BehaviourFundsNonAggressionAndEndings) {
    EventWorld w;
    w.gs.DaimyouTbl[1].kindByte = 0x71;
    w.Do(H("HAPPENING_DAIMYO_KOUDOU_TYPE_NOATTACK").daimyou1(1));
    EXPECT_EQ(w.gs.DaimyouTbl[1].kindByte, 0x21);
    w.Do(H("HAPPENING_DAIMYO_KOUDOU_TYPE_STATIC").daimyou1(1));
    EXPECT_EQ(w.gs.DaimyouTbl[1].GetBehaviour(), CDaimyou::kBehaviourStatic);
    w.Do(H("HAPPENING_DAIMYO_KOUDOU_TYPE_NORMAL").daimyou1(1));
    EXPECT_EQ(w.gs.DaimyouTbl[1].kindByte, 0x01);
    w.Do(H("HAPPENING_DAIMYO_NONAGGRESSION").daimyou1(1).data1("1"));
    EXPECT_TRUE(w.gs.DaimyouTbl[1].IsUnattackable());
    w.Do(H("HAPPENING_DAIMYO_NONAGGRESSION").daimyou1(1).data1("0"));
    EXPECT_FALSE(w.gs.DaimyouTbl[1].IsUnattackable());
    w.Do(H("HAPPENING_DAIMYOU_SHIKIN").daimyou1(1).data1("1500*2"));
    EXPECT_EQ(w.gs.DaimyouTbl[1].shikin, 3000);

    // Endings: the later one of the month wins.
    w.Set("Daimyou1", 3);
    w.Do(H("HAPPENING_GAME_END2").daimyou1(-1));
    EXPECT_EQ(w.run.ending, 2);
    w.Do(H("HAPPENING_GAME_END"));
    EXPECT_EQ(w.run.ending, -2);
    w.Do(H("HAPPENING_GAME_END2").daimyou1(0));
    EXPECT_EQ(w.run.ending, 0);
    EXPECT_TRUE(w.Informs().empty());
}

// ---------------------------------------------------------------------------------------------
// Generals

TEST(EventActionGenerals, DeathHeadsHouseChangesMovesAndRenames) {
    EventWorld w;
    const int g = w.AddBushou(1, 1, {.chibou = 9});
    // The head of house 1 (id 1) dies: he leaves play and his house gets a new head.
    w.Do(H("HAPPENING_BUSHOU_DEAD").bushou1(1));
    EXPECT_EQ(w.gs.nBushou, 3);
    EXPECT_EQ(w.gs.DaimyouTbl[1].toushu, g - 1);
    w.ExpectIndexesConsistent();

    // The head of house 2 (id 2, now index 1) joins house 0: house 2 is between heads.
    w.Do(H("HAPPENING_BUSHOU_SHOZOKU_CHANGE").daimyou1(0).bushou1(2));
    EXPECT_EQ(w.gs.BushouTbl[1].daimyou, 0);
    EXPECT_EQ(w.gs.BushouTbl[1].shiro, 0);
    EXPECT_EQ(w.gs.DaimyouTbl[2].toushu, -2);

    // He becomes head of house 0 and is sent to castle 2 ... which house 0 does not hold.
    w.Do(H("HAPPENING_TOUSHU_CHANGE").bushou1(2));
    EXPECT_EQ(w.gs.DaimyouTbl[0].toushu, 1);
    w.Do(H("HAPPENING_BUSHOU_MOVE").shiro1(2).bushou1(2));
    EXPECT_EQ(w.gs.BushouTbl[1].shiro, 0);

    // A name is cut to 20 bytes.
    w.Do(H("HAPPENING_BUSHOU_KAIMEI").bushou1(0).data1("abcdefghijklmnopqrstuvwxyz0123"));
    EXPECT_EQ(w.gs.BushouTbl[0].name, "abcdefghijklmnopqrst");
    w.ExpectIndexesConsistent();
}

TEST(EventActionGenerals, ScenarioRecordsAbilitiesAndAppearance) {
    EventWorld w;
    // A general waiting off stage, id 3, to appear at castle 2 for house 2.
    w.gs.nBushouEx = 4;
    CBushou waiting = w.gs.BushouTbl[0];
    waiting.name = "待";
    waiting.id = 3;
    waiting.daimyou = 2;
    waiting.sortieShiro = 0;
    w.gs.MitoujouBushouTbl[0] = waiting;
    w.gs.nMitoujouBushou = 1;
    w.gs.BushouExTbl[3].buyuu = 9;
    w.gs.BushouExTbl[3].chuusei = 8;

    w.Do(H("HAPPENING_BUSHOU_INIT_SHIRO").shiro1(2).bushou1(3));
    EXPECT_EQ(w.gs.MitoujouBushouTbl[0].sortieShiro, 2);
    EXPECT_EQ(w.gs.BushouExTbl[3].location, 2);
    w.Do(H("HAPPENING_BUSHOU_SOUZOKU_DAIMYO").daimyou1(2).bushou1(3));
    EXPECT_EQ(w.gs.BushouExTbl[3].daimyou, 2);
    w.Do(H("HAPPENING_BUSHOU_KEISHOU").bushou1(3).data1("-1+3"));
    EXPECT_EQ(w.gs.BushouExTbl[3].successionRank, 2);

    // The abilities of id 3's scenario record go to general 0.
    w.Do(H("HAPPENING_BUSHOU_PARAM_COPY").bushou1(0).bushou2(3));
    EXPECT_EQ(w.gs.BushouTbl[0].buyuu, 9);
    EXPECT_EQ(w.gs.BushouTbl[0].chuusei, 8);

    // He appears; house 2 without a head takes him, its ranked heir, as head.
    w.gs.BushouExTbl[2].successionRank = -1;
    w.gs.DaimyouTbl[2].toushu = -2;
    w.gs.ShiroTbl[2].commander = -1;
    w.Do(H("HAPPENING_BUSHOU_APPEAR").bushou1(3));
    const int g = FindBushouIndexById(w.gs, 3);
    ASSERT_GE(g, 0);
    EXPECT_EQ(w.gs.nMitoujouBushou, 0);
    EXPECT_EQ(w.gs.BushouTbl[g].shiro, 2);
    EXPECT_EQ(w.gs.DaimyouTbl[2].toushu, g);
    w.ExpectIndexesConsistent();
}

// ---------------------------------------------------------------------------------------------
// Troop and castle values

TEST(EventActionValues, TroopsStayWithinTheirLimits) {
    struct Case {
        const char* keyword;
        const char* formula;
        int foot, cavalry, muskets;  // before
        int footAfter, cavalryAfter, musketsAfter;
    };
    // Soldier unit 10: 500 foot units, 200 cavalry units at most.
    const std::vector<Case> cases = {
        {"HAPPENING_BUSHOU_ASHIGARU_PLUS", "1000", 450, 0, 0, 500, 0, 0},
        {"HAPPENING_BUSHOU_ASHIGARU_PLUS", "-5000", 30, 0, 20, 0, 0, 20},  // muskets stay
        {"HAPPENING_BUSHOU_KIBA_PLUS", "-99999", 0, 150, 0, 0, 0, 0},
        {"HAPPENING_BUSHOU_KIBA_PLUS", "999", 0, 150, 0, 0, 200, 0},
        {"HAPPENING_BUSHOU_TEPPOU_PLUS", "500", 0, 0, 0, 0, 0, 0},
        {"HAPPENING_BUSHOU_TEPPOU_PLUS", "500", 30, 0, 0, 30, 0, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keyword) + " " + c.formula);
        EventWorld w(3, 10);
        CBushou& b = w.gs.BushouTbl[1];
        b.foot = static_cast<std::int16_t>(c.foot);
        b.cavalry = static_cast<std::int16_t>(c.cavalry);
        b.muskets = static_cast<std::int16_t>(c.muskets);
        w.Do(H(c.keyword).bushou1(1).data1(c.formula));
        EXPECT_EQ(b.foot, c.footAfter);
        EXPECT_EQ(b.cavalry, c.cavalryAfter);
        EXPECT_EQ(b.muskets, c.musketsAfter);
    }
}

TEST(EventActionValues, AHousesTroopsChangeForItsOwnGeneralsOnly) {
    EventWorld w;
    const int other = w.AddBushou(1, 0, {.foot = 40});
    w.Do(H("HAPPENING_DAIMYOU_ASHIGARU_PLUS").daimyou1(0).data1("25"));
    EXPECT_EQ(w.gs.BushouTbl[0].foot, 75);
    EXPECT_EQ(w.gs.BushouTbl[other].foot, 40);
    EXPECT_EQ(w.gs.BushouTbl[1].foot, 50);
}

TEST(EventActionValues, CastleValuesStayWithinTheirLimits) {
    struct Case {
        const char* keyword;
        const char* formula;
        std::function<int(const CShiro&, const ShiroMapRecord&)> value;
        int expected;
    };
    // Castle 1: size 3 of at most 5, provisions 3000, garrison 30, support 500, rice 10000 of at
    // most 20000; ShiroHyourouMax 2000 (provisions 2000 and garrison 200 per size step).
    auto kibo = [](const CShiro& c, const ShiroMapRecord&) { return static_cast<int>(c.kibo); };
    auto hyourou = [](const CShiro& c, const ShiroMapRecord&) { return static_cast<int>(c.hyourou); };
    auto shubihei = [](const CShiro& c, const ShiroMapRecord&) { return static_cast<int>(c.shubihei); };
    auto support = [](const CShiro& c, const ShiroMapRecord&) { return static_cast<int>(c.support); };
    auto kokudaka = [](const CShiro& c, const ShiroMapRecord&) { return static_cast<int>(c.kokudaka); };
    auto keizai = [](const CShiro& c, const ShiroMapRecord&) { return static_cast<int>(c.keizai); };
    auto maxKibo = [](const CShiro&, const ShiroMapRecord& m) { return static_cast<int>(m.maxKibo); };
    auto ships = [](const CShiro& c, const ShiroMapRecord&) { return static_cast<int>(c.kouekisen); };
    const std::vector<Case> cases = {
        {"HAPPENING_SHIRO_LEVEL_PLUS", "-20", kibo, 1},
        {"HAPPENING_SHIRO_LEVEL_PLUS", "-20", hyourou, 2000},
        {"HAPPENING_SHIRO_LEVEL_PLUS", "9", kibo, 5},
        {"HAPPENING_SHIRO_HYOUROU_PLUS", "99999", hyourou, 6000},
        {"HAPPENING_SHIRO_HYOUROU_PLUS", "-99999", hyourou, 0},
        {"HAPPENING_SHIRO_SHUBIHEI_PLUS", "9999", shubihei, 600},
        {"HAPPENING_SHIRO_MINSHUU_PLUS", "12.5", support, 625},
        {"HAPPENING_SHIRO_MINSHUU_PLUS", "90", support, 1000},
        {"HAPPENING_SHIRO_KOKUDAKA_PLUS", "15000", kokudaka, 20000},
        {"HAPPENING_SHIRO_KEIZAI_PLUS", "-500", keizai, 0},
        {"HAPPENING_SHIRO_KOUEKISEN_PLUS", "3", ships, 0},  // no port
        {"HAPPENING_SHIRO_MAX_LEVEL", "15", maxKibo, 10},
        {"HAPPENING_SHIRO_MAX_LEVEL", "-3", maxKibo, 1},
        {"HAPPENING_SHIRO_MAX_LEVEL", "2", kibo, 2},
        {"HAPPENING_SHIRO_MAX_LEVEL", "1", hyourou, 2000},
        {"HAPPENING_SHIRO_MAX_KOKUDAKA", "7000", kokudaka, 7000},
        {"HAPPENING_SHIRO_MAX_KEIZAI", "40", keizai, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.keyword) + " " + c.formula);
        EventWorld w;
        w.gs.ShiroTbl[1].shubihei = 150;
        w.Do(H(c.keyword).shiro1(1).data1(c.formula));
        EXPECT_EQ(c.value(w.gs.ShiroTbl[1], w.gs.ShiroMapTbl[1]), c.expected);
        EXPECT_LE(w.gs.ShiroTbl[1].hyourou, static_cast<std::uint32_t>(w.gs.ShiroTbl[1].kibo) * 2000);
        EXPECT_LE(w.gs.ShiroTbl[1].shubihei, w.gs.ShiroTbl[1].kibo * 200);
    }
}

TEST(EventActionValues, AHousesCastlesAreThoseItOwnsItselfAndTradeShipsNeedAPort) {
    EventWorld w;
    w.MakeVassal(1, 0);
    const int port = w.AddCastle(0);
    w.gs.ShiroMapTbl[port].flags |= ShiroMapRecord::kFlagPort;
    for (int c : {0, 1, port})
        w.gs.ShiroMapTbl[c].maxKeizai = 1000;
    w.Do(H("HAPPENING_DAIMYOU_KEIZAI_PLUS").daimyou1(0).data1("7"));
    w.Do(H("HAPPENING_DAIMYOU_KOUEKISEN_PLUS").daimyou1(0).data1("12"));
    EXPECT_EQ(w.gs.ShiroTbl[0].keizai, 107);
    EXPECT_EQ(w.gs.ShiroTbl[port].keizai, 107);
    EXPECT_EQ(w.gs.ShiroTbl[1].keizai, 100);  // the vassal's castle
    EXPECT_EQ(w.gs.ShiroTbl[0].kouekisen, 0);
    EXPECT_EQ(w.gs.ShiroTbl[port].kouekisen, 10);
}

// ---------------------------------------------------------------------------------------------
// Script

TEST(EventActionScript, VariablesAreAssignedAndAdded) {
    EventWorld w;
    const int dainyuu = Code("HAPPENING_DAINYUU");
    const int add = Code("HAPPENING_ADD");
    w.Do(H(dainyuu).data1("x").data2("1+2*3"));
    EXPECT_EQ(w.Var("x"), 7.0);
    w.Do(H(add).data1("x").data2("-2"));
    EXPECT_EQ(w.Var("x"), 5.0);
    w.Do(H(add).data1("y").data2("2"));
    EXPECT_EQ(w.Var("y"), 2.0);
    w.Do(H(add).data1("a[x]").data2("4"));
    int status = 0;
    EXPECT_EQ(w.gs.ScriptVariables.GetArrayValue("a", 5, status), 4.0);
    EXPECT_TRUE(w.Informs().empty());

    w.Do(H(dainyuu).data1("1x").data2("3"));
    EXPECT_EQ(w.Informs(), std::vector<std::string>{w.Message("変数名(1x)が不適切です")});
    w.port.ClearCalls();
    w.Do(H(dainyuu).data1("x").data2("1/0"));  // a failing formula is reported
    EXPECT_EQ(w.Var("x"), 5.0);
    ASSERT_EQ(w.Informs().size(), 1U);
    EXPECT_NE(w.Informs()[0].find("1/0"), std::string::npos);
}

TEST(EventActionScript, ASubroutineCallGivesTheCalledEvent) {
    EventWorld w;
    const int sub = w.AddEvent({}, CConditionalEvent::kFlagSubRoutine);
    const int plain = w.AddEvent({});
    const CNameIndex::IdSlot ids[] = {Id("SUB"), Id("PLAIN")};
    w.gs.NameIndex.SetList6(2, ids);
    const int call = Code("HAPPENING_SUBROUTINE_CALL");
    EXPECT_EQ(w.Do(H(call).data1("SUB")), sub);
    EXPECT_TRUE(w.Informs().empty());
    EXPECT_EQ(w.Do(H(call).data1("PLAIN")), -1);
    EXPECT_EQ(w.Do(H(call).data1("NONE")), -1);
    EXPECT_EQ(w.Informs(),
              (std::vector<std::string>{
                  "条件イベント(No.4 : 試験)で、呼び出し条件イベントID(PLAIN)がサブルーチンではありません",
                  "条件イベント(No.5 : 試験)で、呼び出し条件イベントID(NONE)が不適切です"}));
    EXPECT_EQ(plain, 1);
}

TEST(EventActionScript, QuestionsAskThroughThePortsAndStoreTheAnswer) {
    EventWorld w;
    const int multi = Code("HAPPENING_QUESTION_MULTI");
    w.Set("n", 3);
    w.port.PushChoice(1);
    w.Do(H(multi).data1("q").data2("兵は%n%/進む/退く"));
    EXPECT_EQ(w.Var("q"), 1.0);
    w.port.PushChoice(0);
    w.Do(H(multi).data1("r").data2("選べ"));
    EXPECT_EQ(w.Var("r"), 0.0);
    w.port.PushNumber(7.5);
    w.Do(H("HAPPENING_INPUT_NUMBER").data1("s").data2("数は?"));
    EXPECT_EQ(w.Var("s"), 7.5);
    const auto choices = w.port.CallsOf(PortCallKind::AskChoice);
    ASSERT_EQ(choices.size(), 2U);
    EXPECT_EQ(choices[0].text, "兵は3");
    EXPECT_EQ(choices[0].details, (std::vector<std::string>{"進む", "退く"}));
    EXPECT_EQ(choices[1].details, std::vector<std::string>{"選択肢がありません"});
    EXPECT_EQ(w.Texts(PortCallKind::AskNumber), std::vector<std::string>{"数は?"});

    // The all-automatic run asks nobody: the first choice and the number 0.
    w.gs.bAllAutomatic = true;
    w.Do(H(multi).data1("q").data2("A/B/C"));
    w.Do(H("HAPPENING_INPUT_NUMBER").data1("s").data2("?"));
    EXPECT_EQ(w.Var("q"), 0.0);
    EXPECT_EQ(w.Var("s"), 0.0);
    EXPECT_EQ(w.port.CallsOf(PortCallKind::AskChoice).size(), 2U);
}

TEST(EventActionScript, AScheduledEventFiresByItsNameWithFreshMarks) {
    EventWorld w;
    w.gs.nEvent = 1;
    CEventRecord& flood = w.gs.EventTbl[0];
    flood.name = "洪水";
    flood.message = "大雨";
    flood.firstMonth = flood.lastMonth = CEventRecord::kMonthOpen;
    for (auto& month : flood.probability)
        month.fill(10000);
    flood.effectCount = 1;
    flood.effectKind[0] = CEventRecord::kEffectKokudaka;
    flood.effectValue1[0] = -5000;  // -50 %, no spread
    const CNameIndex::IdSlot ids[] = {Id("FLOOD")};
    w.gs.NameIndex.SetList5(1, ids);
    const int season = Code("HAPPENING_SEASON_EVENT");
    w.Do(H(season).data1("NONE"));
    EXPECT_EQ(w.gs.ShiroTbl[0].kokudaka, 10000U);
    w.Do(H(season).data1("FLOOD"));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(w.gs.ShiroTbl[c].kokudaka, 5000U);
    EXPECT_EQ(w.Texts(PortCallKind::Report), std::vector<std::string>{"洪水"});
    EXPECT_TRUE(w.Informs().empty());
}

// ---------------------------------------------------------------------------------------------
// Presentation and map

TEST(EventActionScreen, MusicTitleAndSaveGoThroughTheViewPort) {
    EventWorld w;
    w.port.SetRecordViewCalls(true);
    w.gs.ScenarioFolder = "/s/";
    w.Do(H("HAPPENING_CHANGE_NORMAL_BGM").data1("peace.mid"));
    w.Do(H("HAPPENING_CHANGE_BATTLE_BGM").data1("war.mid"));
    w.Do(H("HAPPENING_CHANGE_TITLE").data1("新題"));
    w.Do(H("HAPPENING_SAVE_READ_ONLY_DATA"));
    EXPECT_EQ(w.gs.ScenarioBgmNormal, "/s/peace.mid");
    EXPECT_EQ(w.gs.ScenarioBgmBattle, "/s/war.mid");
    EXPECT_EQ(w.gs.ScenarioTitle, "新題");
    EXPECT_EQ(w.Texts(PortCallKind::View),
              (std::vector<std::string>{"music: stop", "music: 0", "music: stop", "music: 0", "title: 新題",
                                        "save: view-only"}));
}

// While the game runs by itself the view-only save is left out, whatever the skip option says:
// its questions would stop the run. The main log says so and why.
TEST(EventActionScreen, TheViewOnlySaveIsLeftOutWhileTheGameRunsByItself) {
    struct Case {
        bool autoAdvance, allAutomatic, skip;
        const char* why;
    };
    const Case cases[] = {
        {true, false, false, "自動進行中"},
        {true, false, true, "自動進行中"},
        {false, true, false, "全自動モードで実行中"},
        {true, true, true, "全自動モードで実行中"},
    };
    for (const Case& c : cases) {
        EventWorld w;
        w.port.SetRecordViewCalls(true);
        w.gs.bAutoAdvance = c.autoAdvance;
        w.gs.bAllAutomatic = c.allAutomatic;
        w.run.skipMessages = c.skip;
        w.Do(H("HAPPENING_SAVE_READ_ONLY_DATA"));
        EXPECT_EQ(
            w.Texts(PortCallKind::View),
            std::vector<std::string>{"log 0 line: " + w.Message(std::string("閲覧専用形式でのセーブは、") +
                                                                c.why + "のため行いませんでした")})
            << c.why;
        EXPECT_TRUE(w.Informs().empty());
    }
}

TEST(EventActionScreen, TheViewAreaIsKeptInsideTheMap) {
    struct Case {
        const char* data;
        std::array<std::int32_t, 5> area;
    };
    // The map is 100 x 80.
    const std::vector<Case> cases = {
        {"0,0,0,0", {0, 0, 0, 100, 80}},
        {"10,20,60,70", {1, 10, 20, 60, 70}},
        {"50,20,30,10", {1, 50, 20, 51, 21}},
        {"-5,300,500,500", {1, 0, 78, 99, 79}},
        {"7", {1, 7, 0, 8, 1}},
        // Numbers beyond the range of int stand at its ends.
        {"2147483648,2147483648,99999999999999999999,2147483647", {1, 98, 78, 99, 79}},
        {"-2147483649,-2147483648,-99999999999999999999,-2147483649", {1, 0, 0, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        EventWorld w;
        w.port.SetRecordViewCalls(true);
        w.Do(H("HAPPENING_CHANGE_VIEW_AREA").data1(c.data));
        EXPECT_EQ(w.gs.MainMapKakudai, c.area);
        EXPECT_EQ(w.Texts(PortCallKind::View), std::vector<std::string>{"map-view: -1"});
    }
}

TEST(EventActionScreen, CastleVisibilityTypesAndHiddenRoutes) {
    EventWorld w;
    const int info = Code("HAPPENING_SHIRO_INFO_ENABLE");
    w.Do(H(info).shiro1(2).data1("3"));
    EXPECT_EQ(w.gs.ExclusionList, std::vector<int>{2 | (3 << 28)});
    EXPECT_TRUE(w.gs.ShiroDisabledBits.test(2));
    w.Do(H(info).shiro1(2).data1("0"));
    EXPECT_EQ(w.gs.ExclusionList, std::vector<int>{2});
    EXPECT_FALSE(w.gs.ShiroDisabledBits.test(2));
    w.Do(H(info).shiro1(2).data1("1"));
    EXPECT_TRUE(w.gs.ExclusionList.empty());

    w.gs.nShiroType = 3;
    const CNameIndex::IdSlot types[] = {Id("T0"), Id("T1"), Id("T2")};
    w.gs.NameIndex.SetList2(3, types);
    const int type = Code("HAPPENING_SHIRO_TYPE_CHANGE");
    w.Do(H(type).shiro1(1).data1("2"));
    EXPECT_EQ(w.gs.ShiroMapTbl[1].shiroType, 1);
    w.Do(H(type).shiro1(1).data1("T2"));
    EXPECT_EQ(w.gs.ShiroMapTbl[1].shiroType, 2);
    EXPECT_TRUE(w.Informs().empty());
    w.Do(H(type).shiro1(1).data1("4"));
    EXPECT_EQ(w.gs.ShiroMapTbl[1].shiroType, 2);
    EXPECT_EQ(w.Informs(), std::vector<std::string>{w.Message("城タイプ値(4)が不適切です")});

    // Castle 1 is linked to 0 and 2; the route 1-2 is hidden and comes back first in both.
    const int hide = Code("HAPPENING_HIDE_ROOT");
    auto targets = [&](int c) {
        std::vector<int> out;
        for (int i = 0; i < w.gs.ShiroMapTbl[c].ConnectionCount(); ++i)
            out.push_back(w.gs.ShiroMapTbl[c].connect[i].shiro);
        return out;
    };
    ASSERT_EQ(targets(1), (std::vector<int>{0, 2}));
    w.Do(H(hide).shiro1(1).shiro2(2).data1("1"));
    EXPECT_EQ(targets(1), std::vector<int>{0});
    EXPECT_TRUE(targets(2).empty());
    EXPECT_EQ(w.gs.ShiroMapTbl[1].connect[10].shiro, 2);
    w.Do(H(hide).shiro1(1).shiro2(2).data1("1"));  // hidden twice: no change
    EXPECT_EQ(targets(1), std::vector<int>{0});
    w.Do(H(hide).shiro1(2).shiro2(1).data1("0"));
    EXPECT_EQ(targets(1), (std::vector<int>{2, 0}));
    EXPECT_EQ(targets(2), std::vector<int>{1});
}

// ---------------------------------------------------------------------------------------------
// Extreme values

// Data texts at and beyond the ends of int and of double, with the side of the range they
// stand for. A formula never gives NaN: 0/0 is a division by zero, reported, changing nothing.
struct Extreme {
    const char* text;
    bool high;
};
constexpr Extreme kExtremes[] = {
    {"2147483647", true},   {"2147483648", true},   {"1e308", true},
    {"-2147483648", false}, {"-2147483649", false}, {"-1e308", false},
};

// Every happening with every extreme in both data texts, its operands naming house 1, castle 1
// and general 1 (id 1) and their second ones house 2, castle 2 and general 2: the values of the
// number happenings end at the limits of their rule, and no happening leaves a value outside
// the limits that the rest of the game assumes. Soldier unit 10: 500 foot and 200 cavalry
// units; castle 1 (size 3 of at most 5, a port) keeps 6000 provisions and 60 garrison units.
TEST(EventActionValues, EveryHappeningKeepsItsValuesWithinTheirLimitsAtTheEndsOfTheRanges) {
    using Get = std::function<std::int64_t(const GameState&)>;
    struct Expected {
        Get value;
        std::int64_t high, low;
    };
    const Get foot = [](const GameState& gs) { return gs.BushouTbl[1].foot; };
    const Get cavalry = [](const GameState& gs) { return gs.BushouTbl[1].cavalry; };
    const Get muskets = [](const GameState& gs) { return gs.BushouTbl[1].muskets; };
    const Get kibo = [](const GameState& gs) { return gs.ShiroTbl[1].kibo; };
    const Get kokudaka = [](const GameState& gs) { return gs.ShiroTbl[1].kokudaka; };
    const Get keizai = [](const GameState& gs) { return gs.ShiroTbl[1].keizai; };
    const Get kouzan = [](const GameState& gs) { return gs.ShiroTbl[1].kouzan; };
    const Get support = [](const GameState& gs) { return gs.ShiroTbl[1].support; };
    const Get shubihei = [](const GameState& gs) { return gs.ShiroTbl[1].shubihei; };
    const Get hyourou = [](const GameState& gs) { return gs.ShiroTbl[1].hyourou; };
    const Get ships = [](const GameState& gs) { return gs.ShiroTbl[1].kouekisen; };
    const std::map<std::string, Expected> expected = {
        {"HAPPENING_BUSHOU_ASHIGARU_PLUS", {foot, 500, 0}},
        {"HAPPENING_BUSHOU_KIBA_PLUS", {cavalry, 200, 0}},
        {"HAPPENING_BUSHOU_TEPPOU_PLUS", {muskets, 50, 0}},
        {"HAPPENING_DAIMYOU_ASHIGARU_PLUS", {foot, 500, 0}},
        {"HAPPENING_DAIMYOU_KIBA_PLUS", {cavalry, 200, 0}},
        {"HAPPENING_DAIMYOU_TEPPOU_PLUS", {muskets, 50, 0}},
        {"HAPPENING_SHIRO_MAX_LEVEL", {[](const GameState& gs) { return gs.ShiroMapTbl[1].maxKibo; }, 10, 1}},
        // The maxima stop at 0 (the value under them with them) and at the ends of their fields.
        {"HAPPENING_SHIRO_MAX_KOKUDAKA",
         {[](const GameState& gs) { return gs.ShiroMapTbl[1].maxKokudaka; }, INT_MAX, 0}},
        {"HAPPENING_SHIRO_MAX_KEIZAI",
         {[](const GameState& gs) { return gs.ShiroMapTbl[1].maxKeizai; }, 32767, 0}},
        {"HAPPENING_SHIRO_MAX_KOUZAN",
         {[](const GameState& gs) { return gs.ShiroMapTbl[1].maxKouzan; }, 32767, 0}},
        {"HAPPENING_SHIRO_LEVEL_PLUS", {kibo, 5, 1}},
        {"HAPPENING_SHIRO_KOKUDAKA_PLUS", {kokudaka, 20000, 0}},
        {"HAPPENING_SHIRO_KEIZAI_PLUS", {keizai, 1000, 0}},
        {"HAPPENING_SHIRO_KOUZAN_PLUS", {kouzan, 1000, 0}},
        {"HAPPENING_SHIRO_MINSHUU_PLUS", {support, 1000, 0}},
        {"HAPPENING_SHIRO_SHUBIHEI_PLUS", {shubihei, 60, 0}},
        {"HAPPENING_SHIRO_HYOUROU_PLUS", {hyourou, 6000, 0}},
        {"HAPPENING_SHIRO_KOUEKISEN_PLUS", {ships, 10, 0}},
        {"HAPPENING_DAIMYOU_SHIRO_LEVEL_PLUS", {kibo, 5, 1}},
        {"HAPPENING_DAIMYOU_KOKUDAKA_PLUS", {kokudaka, 20000, 0}},
        {"HAPPENING_DAIMYOU_KEIZAI_PLUS", {keizai, 1000, 0}},
        {"HAPPENING_DAIMYOU_KOUZAN_PLUS", {kouzan, 1000, 0}},
        {"HAPPENING_DAIMYOU_MINSHUU_PLUS", {support, 1000, 0}},
        {"HAPPENING_DAIMYOU_SHUBIHEI_PLUS", {shubihei, 60, 0}},
        {"HAPPENING_DAIMYOU_HYOUROU_PLUS", {hyourou, 6000, 0}},
        {"HAPPENING_DAIMYOU_KOUEKISEN_PLUS", {ships, 10, 0}},
        {"HAPPENING_SHIRO_TYPE_CHANGE",
         {[](const GameState& gs) { return gs.ShiroMapTbl[1].shiroType; }, 0, 0}},
        {"HAPPENING_BUSHOU_KEISHOU",
         {[](const GameState& gs) { return gs.BushouExTbl[1].successionRank; }, 127, -128}},
        {"HAPPENING_DAIMYOU_SHIKIN",
         {[](const GameState& gs) { return gs.DaimyouTbl[1].shikin; }, INT_MAX, INT_MIN}},
        // The mode keeps its lowest four bits.
        {"HAPPENING_SHIRO_INFO_ENABLE",
         {[](const GameState& gs) { return gs.ExclusionList.empty() ? -1 : gs.ExclusionList[0] >> 28 & 0xF; },
          15, 0}},
        {"HAPPENING_DAIMYO_NONAGGRESSION",
         {[](const GameState& gs) { return gs.DaimyouTbl[1].kindByte & 0x08; }, 8, 8}},
    };
    EventWorld w(3, 10);
    w.gs.ShiroMapTbl[1].flags |= ShiroMapRecord::kFlagPort;
    w.gs.ShiroMapTbl[1].maxKeizai = 1000;
    w.gs.ShiroMapTbl[1].maxKouzan = 1000;
    w.gs.nShiroType = 3;
    const GameState fresh = w.gs;
    int checked = 0;
    for (int code = 0; code < kHappeningCount; ++code) {
        for (const Extreme& x : kExtremes) {
            SCOPED_TRACE(std::string(kHappeningTable[code].keyword) + " " + x.text);
            w.gs = fresh;
            // The player answers the questions with the first choice and the extreme number.
            if (code == Code("HAPPENING_QUESTION_MULTI")) w.port.PushChoice(0);
            if (code == Code("HAPPENING_INPUT_NUMBER")) w.port.PushNumber(std::strtod(x.text, nullptr));
            w.Do(
                H(code).daimyou1(1).daimyou2(2).shiro1(1).shiro2(2).bushou1(1).bushou2(2).data1(x.text).data2(
                    x.text));
            const auto row = expected.find(kHappeningTable[code].keyword);
            if (row != expected.end()) {
                EXPECT_EQ(row->second.value(w.gs), x.high ? row->second.high : row->second.low);
                ++checked;
            }
            for (int b = 0; b < BushouCount(w.gs); ++b) {
                const CBushou& g = w.gs.BushouTbl[b];
                EXPECT_TRUE(g.foot >= 0 && g.foot <= 500 && g.cavalry >= 0 && g.cavalry <= 200) << b;
                EXPECT_TRUE(g.muskets >= 0 && g.muskets <= std::max<int>(g.foot, 50)) << b;
            }
            for (int c = 0; c < ShiroCount(w.gs); ++c) {
                const CShiro& s = w.gs.ShiroTbl[c];
                EXPECT_TRUE(s.kibo >= 1 && s.kibo <= w.gs.ShiroMapTbl[c].maxKibo) << c;
                EXPECT_LE(s.hyourou, s.kibo * 2000u) << c;
                EXPECT_TRUE(s.shubihei >= 0 && s.shubihei <= s.kibo * 20) << c;
                EXPECT_TRUE(s.support >= 0 && s.support <= 1000) << c;
                EXPECT_LE(s.kouekisen, 10) << c;
                EXPECT_LE(s.kokudaka, w.gs.ShiroMapTbl[c].maxKokudaka) << c;
            }
        }
    }
    EXPECT_EQ(checked, static_cast<int>(expected.size() * std::size(kExtremes)));
}

// Operands given as VARIABLE whose variables hold values far outside every table (NaN too, as
// a script may not write it but the store holds doubles): each happening that reads one tells
// the author and changes nothing.
TEST(EventActionOperands, VariablesAtTheEndsOfTheRangesAreBadValues) {
    const double values[] = {2147483648.0, -2147483649.0, 1e308, -1e308,
                             std::numeric_limits<double>::quiet_NaN()};
    EventWorld w;
    const GameState fresh = w.gs;
    for (int code = 0; code < kHappeningCount; ++code) {
        const std::uint8_t operands = kHappeningTable[code].mask & 0x3F;
        if (operands == 0) continue;
        for (double v : values) {
            SCOPED_TRACE(std::string(kHappeningTable[code].keyword) + " " + std::to_string(v));
            w.gs = fresh;
            w.port.ClearCalls();
            for (const char* name : {"Daimyou1", "Daimyou2", "Shiro1", "Shiro2", "Bushou1", "Bushou2"})
                w.Set(name, v);
            const std::int32_t funds = w.gs.DaimyouTbl[0].shikin;
            const std::int16_t support = w.gs.ShiroTbl[0].support;
            EXPECT_EQ(
                w.Do(H(code).daimyou1(-1).daimyou2(-1).shiro1(-1).shiro2(-1).bushou1(-1).bushou2(-1).data1(
                    "1")),
                -1);
            EXPECT_EQ(w.Informs().size(), 1u);
            EXPECT_EQ(w.gs.DaimyouTbl[0].shikin, funds);
            EXPECT_EQ(w.gs.ShiroTbl[0].support, support);
        }
    }
}

}  // namespace
}  // namespace rymd::test
