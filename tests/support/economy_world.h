// A small world built in memory for the economy and month-start tests: a province map, castles,
// houses, corps and generals, with a scripted port that records every message.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "game/ports/scripted_port.h"
#include "support/scenario_test_util.h"

namespace rymd::test {

struct EconomyWorld {
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    GameState& gs = *state;
    FakeKorMap map;
    ScriptedPort port;
    Ports ports = port.AsPorts();

    // nShiro castles 城0.. (castle c in province c % nKuni, owned by house 0, 10000 koku of
    // 20000 at most, 50 % support), nDaimyou houses 家0.. with a head to be set (-2), all
    // independent with no particular relation; province k lies in region k % nChiiki.
    EconomyWorld(int nShiro, int nDaimyou, int nKuni = 4, int nChiiki = 2) {
        port.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
        map.files["world.map"] = FakeKorMap::Make(nKuni, nChiiki);
        for (int k = 0; k < nKuni; ++k)
            map.files["world.map"].kuni[static_cast<std::size_t>(k)].name =
                FromUtf8("国" + std::to_string(k), TextEncoding::ShiftJis);
        EXPECT_EQ(map.LoadKorMap("world.map"), 0);
        ResetScenarioWords(gs.ScenarioWords);
        gs.nShiro = nShiro;
        gs.nDaimyou = nDaimyou;
        gs.nScenarioDaimyou = nDaimyou;
        gs.nKuni = nKuni;
        gs.nChiiki = nChiiki;
        gs.nHeiUnit = 1;
        gs.nDistanceLimit = 1000;
        gs.RoadCost = {10, 20, 30, 15};
        gs.nCurYear = 1560;
        gs.nCurMonth = 4;
        gs.nStartYear = 1560;
        gs.nStartMonth = 4;
        gs.nPlayerDaimyou = 0;
        gs.nTradingPartner = 1;
        gs.TradingPartnerTbl[0].name = "航海訓練";
        for (int d = 0; d < GameState::kMaxDaimyou; ++d) {
            CDaimyou& h = gs.DaimyouTbl[d];
            h.toushu = d < nDaimyou ? -2 : -1;
            h.name = "家" + std::to_string(d);
            h.kindByte = CDaimyou::kKindNormal;
            h.masterDaimyou = d;
            h.relation.fill(0xF1);
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
            m.kuni = static_cast<std::uint8_t>(c % nKuni);
            m.maxKokudaka = 20000;
            m.initDaimyou = 0;
            m.ClearConnections();
        }
        for (CGundan& k : gs.GundanTbl) {
            k.leader = CGundan::kLeaderFree;
            k.daimyou = -1;
        }
    }

    void Own(int shiro, int daimyou, int gundan = -1) {
        gs.ShiroTbl[shiro].daimyou = static_cast<std::int16_t>(daimyou);
        gs.ShiroTbl[shiro].gundan = static_cast<std::int16_t>(gundan);
    }

    // A link both ways.
    void Link(int a, int b, int kind = 0) {
        AddLink(a, b, kind);
        AddLink(b, a, kind);
    }
    void AddLink(int a, int b, int kind) {
        ShiroMapRecord& m = gs.ShiroMapTbl[a];
        const int n = m.ConnectionCount();
        m.connect[n] =
            ShiroConnection{static_cast<std::uint16_t>(b), 0xFFFF, static_cast<std::uint8_t>(kind), 0};
    }

    // A general of the house at the castle, listed there unless besieging.
    int AddBushou(int daimyou, int shiro, int foot = 0, int cavalry = 0, std::string name = "") {
        const int g = gs.nBushou++;
        CBushou& b = gs.BushouTbl[g];
        b = CBushou{};
        b.name = name.empty() ? "将" + std::to_string(g) : name;
        b.daimyou = static_cast<std::int16_t>(daimyou);
        b.shiro = static_cast<std::int16_t>(shiro);
        b.sortieOrigin = static_cast<std::int16_t>(shiro);
        b.gundan = -1;
        b.id = -1;
        b.holderDaimyou = -1;
        b.originDaimyou = -1;
        b.moveShiro = -1;
        b.sortieShiro = -1;
        b.foot = static_cast<std::int16_t>(foot);
        b.cavalry = static_cast<std::int16_t>(cavalry);
        b.buyuu = b.chibou = 5;
        b.birthYear = 1520;
        b.deathYear = 1600;
        CShiro& s = gs.ShiroTbl[shiro];
        if (s.nBushou < CShiro::kMaxBushou) s.bushou[static_cast<std::size_t>(s.nBushou++)] = g;
        return g;
    }

    // Marks the castle besieged by a general of another house.
    void Besiege(int shiro, int byDaimyou) {
        const int g = AddBushou(byDaimyou, shiro);
        CShiro& s = gs.ShiroTbl[shiro];
        --s.nBushou;
        gs.BushouTbl[g].flags |= CBushou::kFlagBesieging;
        s.besieger[static_cast<std::size_t>(s.nBesieger++)] = g;
        s.besiegerDaimyou = static_cast<std::int16_t>(byDaimyou);
    }

    int AddGundan(int daimyou, int leader) {
        for (int k = 0; k < GameState::kMaxGundan; ++k) {
            if (gs.GundanTbl[k].leader != CGundan::kLeaderFree) continue;
            gs.GundanTbl[k].leader = leader;
            gs.GundanTbl[k].daimyou = daimyou;
            gs.BushouTbl[leader].gundan = static_cast<std::int16_t>(k);
            return k;
        }
        return -1;
    }

    // Texts of the recorded calls of one kind.
    std::vector<std::string> Texts(PortCallKind kind) const {
        std::vector<std::string> out;
        for (const PortCall& c : port.CallsOf(kind))
            out.push_back(c.text);
        return out;
    }
};

}  // namespace rymd::test
