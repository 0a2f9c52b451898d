// The one small world the rules' tests build in memory: castles, houses, generals, corps and links
// set up by hand, a province map kept in memory and a scripted port that records every message.
//
//   TestWorld w({.castles = 3, .houses = 2});      // castles 城0.. all of house 0, no links
//   w.Own(2, 1); w.Link(0, 1); const int g = w.AddBushou(1, 2, {.foot = 30});
//
//   TestWorld w({.houses = 3, .headsInCastles = true});  // house d holds castle d with its head
//   w.Start();                                            // a new game in its first month
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/ports/scripted_port.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "platform/core/encoding.h"
#include "support/scenario_test_util.h"

namespace rymd::test {

struct WorldOptions {
    int castles = 0;  // 城0..; castle c lies in province c % provinces and belongs to house 0
    int houses =
        0;  // 家0.. (identifiers H0..); independent, no particular relation, head still to be chosen (-2)
    int provinces = 4;    // 国0.., in the province map loaded as world.map
    int regions = 2;      // province k lies in region k % regions
    int soldierUnit = 1;  // soldiers per unit of troops (nHeiUnit); 1 keeps the sums plain
    // House d holds castle d with its head, general d, in it; the castles (one per house) are
    // linked in a row, stocked with rice, money and garrison, and every general lives long.
    bool headsInCastles = false;
};

// A general's fields that the tests choose; the rest are those of a plain retainer.
struct GeneralOptions {
    std::string name = "";  // 将<index> when empty
    int foot = 0;
    int cavalry = 0;
    int chibou = 5;
    int buyuu = 5;
    int gundan = -1;
};

struct TestWorld {
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    GameState& gs = *state;
    FakeKorMap map;
    ScriptedPort port;
    Ports ports = port.AsPorts();
    std::unique_ptr<CMainGame> game;  // set by Start()

    explicit TestWorld(const WorldOptions& o) {
        port.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
        const int nShiro = o.headsInCastles ? o.houses : o.castles;
        map.files["world.map"] = FakeKorMap::Make(o.provinces, o.regions);
        for (int k = 0; k < o.provinces; ++k)
            map.files["world.map"].kuni[static_cast<std::size_t>(k)].name =
                FromUtf8("国" + std::to_string(k), TextEncoding::ShiftJis);
        EXPECT_EQ(map.LoadKorMap("world.map"), 0);
        gs.SetScenarioDefaults();
        ResetScenarioWords(gs.ScenarioWords);
        gs.nHeiUnit = o.soldierUnit;
        gs.nStartYear = gs.nCurYear = 1560;
        gs.nStartMonth = gs.nCurMonth = 4;
        gs.nPlayerDaimyou = 0;
        gs.nKuni = o.provinces;
        gs.nChiiki = o.regions;
        gs.nShiro = nShiro;
        gs.nDaimyou = gs.nScenarioDaimyou = o.houses;
        gs.nTradingPartner = 1;
        gs.TradingPartnerTbl[0].name = "航海訓練";
        for (int d = 0; d < GameState::kMaxDaimyou; ++d) {
            CDaimyou& h = gs.DaimyouTbl[d];
            h.toushu = d < o.houses ? -2 : -1;
            h.name = "家" + std::to_string(d);
            h.kindByte = CDaimyou::kKindNormal;
            h.bond = CDaimyou::kBondDokuritsu;
            h.masterDaimyou = d;
            h.relation.fill(static_cast<std::uint8_t>(CDaimyou::kRelNothing | (CDaimyou::kNoCountdown << 4)));
        }
        for (int c = 0; c < nShiro; ++c) {
            CShiro& s = gs.ShiroTbl[c];
            s.daimyou = 0;
            s.gundan = -1;
            s.commander = -1;
            s.besiegerDaimyou = -1;
            s.blockadeDaimyou = -1;
            s.support = 500;
            s.kokudaka = 10000;
            ShiroMapRecord& m = gs.ShiroMapTbl[c];
            m.name = "城" + std::to_string(c);
            m.kuni = static_cast<std::uint8_t>(c % o.provinces);
            m.maxKokudaka = 20000;
            m.initDaimyou = 0;
            m.ClearConnections();
        }
        for (CGundan& k : gs.GundanTbl) {
            k.leader = CGundan::kLeaderFree;
            k.daimyou = -1;
        }
        // The houses' scenario identifiers H0, H1, ...: scripts address the houses a scenario
        // defines by them.
        std::vector<CNameIndex::IdSlot> ids(static_cast<std::size_t>(o.houses));
        for (int d = 0; d < o.houses; ++d)
            std::snprintf(ids[static_cast<std::size_t>(d)].data(), CNameIndex::kSlotBytes, "H%d", d);
        gs.NameIndex.SetList1(o.houses, ids.data());
        if (o.headsInCastles) SeatHeads();
    }

    // Starts the game in the personnel phase of its first month with the player's house (-1: the
    // computer plays every house and the player watches).
    void Start(int player = 0) {
        EXPECT_TRUE(StartNewGame(gs, ports, player));
        gs.nPhase = kPhaseJinji;
        game = std::make_unique<CMainGame>(gs, map, ports);
    }

    // The castle passes to the house (and to one of its corps).
    void Own(int shiro, int daimyou, int gundan = -1) {
        gs.ShiroTbl[shiro].daimyou = static_cast<std::int16_t>(daimyou);
        gs.ShiroTbl[shiro].gundan = static_cast<std::int16_t>(gundan);
    }

    // A link both ways: road kind 0 broad, 1 narrow, 2 mountain, 3 sea; drawn straight.
    void Link(int a, int b, int kind = 0, std::uint8_t drawFlags = 0) {
        AddLink(a, b, kind, drawFlags);
        AddLink(b, a, kind, drawFlags);
    }
    // A link from a to b only.
    void AddLink(int a, int b, int kind = 0, std::uint8_t drawFlags = 0) {
        ShiroMapRecord& m = gs.ShiroMapTbl[a];
        m.connect[m.ConnectionCount()] = ShiroConnection{static_cast<std::uint16_t>(b), 0xFFFF,
                                                         static_cast<std::uint8_t>(kind), drawFlags};
    }

    void MakeVassal(int vassal, int master) { Bind(vassal, master, CDaimyou::kBondShinjuu); }
    // Arch-enemies both ways: no envoy passes between the two houses.
    void MakeShukuteki(int a, int b) {
        for (auto [x, y] : {std::pair{a, b}, std::pair{b, a}}) {
            gs.DaimyouTbl[x].SetRelationLo(y, CDaimyou::kRelShukuteki);
            gs.DaimyouTbl[x].SetRelationHi(y, CDaimyou::kNoCountdown);
        }
    }
    // Every house an arch-enemy of the player's: the computer houses send the player no envoys.
    void NoEnvoysToPlayer() {
        for (int d = 0; d < gs.nDaimyou; ++d)
            if (d != gs.nPlayerDaimyou) MakeShukuteki(d, gs.nPlayerDaimyou);
    }
    void MakeSubordinate(int sub, int master) { Bind(sub, master, CDaimyou::kBondJuuzoku); }

    // A general of the house at the castle (-1: none), listed there while the list has room.
    int AddBushou(int daimyou, int shiro, const GeneralOptions& o = {}) {
        const int g = gs.nBushou++;
        CBushou& b = gs.BushouTbl[g];
        b = CBushou{};
        b.name = o.name.empty() ? "将" + std::to_string(g) : o.name;
        b.daimyou = static_cast<std::int16_t>(daimyou);
        b.shiro = static_cast<std::int16_t>(shiro);
        b.sortieOrigin = static_cast<std::int16_t>(shiro);
        b.gundan = static_cast<std::int16_t>(o.gundan);
        b.id = -1;
        b.holderDaimyou = -1;
        b.originDaimyou = -1;
        b.moveShiro = -1;
        b.sortieShiro = -1;
        b.joinDaimyou.fill(-1);
        b.foot = static_cast<std::int16_t>(o.foot);
        b.cavalry = static_cast<std::int16_t>(o.cavalry);
        b.chibou = static_cast<std::uint8_t>(o.chibou);
        b.buyuu = static_cast<std::uint8_t>(o.buyuu);
        b.birthYear = 1520;
        b.deathYear = 1600;
        if (shiro >= 0) {
            CShiro& s = gs.ShiroTbl[shiro];
            if (s.nBushou < CShiro::kMaxBushou) s.bushou[static_cast<std::size_t>(s.nBushou++)] = g;
        }
        return g;
    }

    // A general of the house besieging the castle; the house becomes its besieger.
    int Besiege(int shiro, int byDaimyou, const GeneralOptions& o = {}) {
        const int g = AddBushou(byDaimyou, -1, o);
        CBushou& b = gs.BushouTbl[g];
        b.shiro = b.sortieOrigin = static_cast<std::int16_t>(shiro);
        b.flags |= CBushou::kFlagBesieging;
        CShiro& s = gs.ShiroTbl[shiro];
        s.besieger[static_cast<std::size_t>(s.nBesieger++)] = g;
        s.besiegerDaimyou = static_cast<std::int16_t>(byDaimyou);
        return g;
    }

    // A scenario record for the general, with its line house and succession rank.
    void SetLine(int bushou, int lineHouse, int rank) {
        const int id = gs.nBushouEx++;
        gs.BushouExTbl[id].daimyou = static_cast<std::int16_t>(lineHouse);
        gs.BushouExTbl[id].successionRank = static_cast<std::int8_t>(rank);
        gs.BushouTbl[bushou].id = static_cast<std::int16_t>(id);
    }

    // Fills the castle's general list up to n with generals of its owner.
    void Fill(int shiro, int n = CShiro::kMaxBushou) {
        while (gs.ShiroTbl[shiro].nBushou < n)
            AddBushou(gs.ShiroTbl[shiro].daimyou, shiro);
    }

    // A corps of the house led by the general (-1: no leader yet), in the first free slot.
    int AddGundan(int daimyou, int leader, std::uint16_t order = 0) {
        for (int k = 0; k < GameState::kMaxGundan; ++k) {
            if (gs.GundanTbl[k].leader != CGundan::kLeaderFree) continue;
            gs.GundanTbl[k].leader = leader;
            gs.GundanTbl[k].daimyou = daimyou;
            gs.GundanTbl[k].order = order;
            if (leader >= 0) gs.BushouTbl[leader].gundan = static_cast<std::int16_t>(k);
            return k;
        }
        return -1;
    }

    std::vector<int> List(int shiro) const {
        const CShiro& s = gs.ShiroTbl[shiro];
        return std::vector<int>(s.bushou.begin(), s.bushou.begin() + s.nBushou);
    }
    std::vector<int> Besiegers(int shiro) const {
        const CShiro& s = gs.ShiroTbl[shiro];
        return std::vector<int>(s.besieger.begin(), s.besieger.begin() + s.nBesieger);
    }
    // Texts of the recorded calls of one kind.
    std::vector<std::string> Texts(PortCallKind kind) const {
        std::vector<std::string> out;
        for (const PortCall& c : port.CallsOf(kind))
            out.push_back(c.text);
        return out;
    }
    std::vector<std::string> Informs() const { return Texts(PortCallKind::Inform); }
    // The houses in their order of play.
    std::vector<int> Order() const {
        return {gs.DaimyouOrder.begin(), gs.DaimyouOrder.begin() + gs.nDaimyou};
    }

    // Every planner entry the started game runs, as (phase, house, corps or kWholeHouse).
    struct PlannerCall {
        int phase;
        int daimyou;
        int gundan;
        bool operator==(const PlannerCall&) const = default;
    };
    std::vector<PlannerCall> calls;
    void RecordPlanners() {
        game->SetPlannerObserver([this](int phase, int d, int g) { calls.push_back({phase, d, g}); });
    }
    // The houses that acted as a whole in a phase, in order.
    std::vector<int> HousesActed(int phase) const {
        std::vector<int> out;
        for (const PlannerCall& c : calls)
            if (c.phase == phase && c.gundan == CMainGame::kWholeHouse) out.push_back(c.daimyou);
        return out;
    }

    // Every stored general index names a general on stage, every listed general names the castle
    // that lists him, and no castle lists more than 20.
    void ExpectIndexesConsistent() const {
        for (int c = 0; c < gs.nShiro; ++c) {
            const CShiro& s = gs.ShiroTbl[c];
            EXPECT_LE(s.nBushou, CShiro::kMaxBushou);
            EXPECT_LE(s.nBesieger, CShiro::kMaxBushou);
            EXPECT_LT(s.commander, gs.nBushou) << "castle " << c;
            for (int i = 0; i < s.nBushou; ++i) {
                ASSERT_GE(s.bushou[i], 0);
                ASSERT_LT(s.bushou[i], gs.nBushou) << "castle " << c;
                EXPECT_EQ(gs.BushouTbl[s.bushou[i]].shiro, c);
            }
            for (int i = 0; i < s.nBesieger; ++i) {
                ASSERT_LT(s.besieger[i], gs.nBushou);
                EXPECT_EQ(gs.BushouTbl[s.besieger[i]].shiro, c);
            }
        }
        for (int d = 0; d < gs.nDaimyou; ++d)
            EXPECT_LT(gs.DaimyouTbl[d].toushu, gs.nBushou);
        for (const CGundan& k : gs.GundanTbl)
            EXPECT_LT(k.leader, gs.nBushou);
    }

private:
    void Bind(int house, int master, std::uint8_t bond) {
        gs.DaimyouTbl[house].bond = bond;
        gs.DaimyouTbl[house].masterDaimyou = master;
    }

    void SeatHeads() {
        const int n = gs.nDaimyou;
        for (int d = 0; d < n; ++d) {
            CDaimyou& h = gs.DaimyouTbl[d];
            h.toushu = d;
            h.shikin = 10000;
            h.strengthHistory.fill(5);
            ShiroMapRecord& m = gs.ShiroMapTbl[d];
            m.maxKibo = 5;
            m.initDaimyou = static_cast<std::int16_t>(d);
            if (d > 0) AddLink(d, d - 1);
            if (d + 1 < n) AddLink(d, d + 1);
            CShiro& c = gs.ShiroTbl[d];
            c.daimyou = static_cast<std::int16_t>(d);
            c.commander = static_cast<std::int16_t>(d);
            c.kibo = 3;
            c.hyourou = 3000;
            c.keizai = 100;
            c.shubihei = 30;
            c.harvestRate = 10000;
            const int g = AddBushou(d, d, {.foot = 50, .cavalry = 10});
            gs.BushouTbl[g].birthYear = 1530;
            gs.BushouTbl[g].deathYear = 9000;
        }
    }
};

}  // namespace rymd::test
