// A small world built in memory for the tests of placement and life events: castles with links,
// houses, corps and generals, with a scripted port that records every message.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "game/ports/scripted_port.h"

namespace rymd::test {

struct LifeWorld {
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    GameState& gs = *state;
    ScriptedPort port;
    Ports ports = port.AsPorts();

    // nShiro castles named 城0.., nDaimyou houses named 家0.. (independent, no head yet), every
    // castle owned by house 0 unless changed; no links; every corps slot free.
    LifeWorld(int nShiro, int nDaimyou) {
        port.SetErrorHandler([](const std::string& e) { ADD_FAILURE() << e; });
        ResetScenarioWords(gs.ScenarioWords);
        gs.nShiro = nShiro;
        gs.nDaimyou = nDaimyou;
        gs.nScenarioDaimyou = nDaimyou;
        gs.nHeiUnit = 1;
        gs.nDistanceLimit = 1000;
        gs.RoadCost = {10, 20, 30, 15};
        gs.nCurYear = 1560;
        gs.nCurMonth = 4;
        gs.nStartYear = 1560;
        gs.nStartMonth = 4;
        gs.nPlayerDaimyou = 0;
        gs.nKuni = 3;
        for (int d = 0; d < nDaimyou; ++d) {
            CDaimyou& h = gs.DaimyouTbl[d];
            h.toushu = -2;
            h.name = "家" + std::to_string(d);
            h.masterDaimyou = d;
            for (int o = 0; o < nDaimyou; ++o)
                h.relation[o] = 0xF1;
        }
        for (int c = 0; c < nShiro; ++c) {
            CShiro& s = gs.ShiroTbl[c];
            s.daimyou = 0;
            s.gundan = -1;
            s.commander = -1;
            s.besiegerDaimyou = -1;
            s.blockadeDaimyou = -1;
            s.support = 500;
            ShiroMapRecord& m = gs.ShiroMapTbl[c];
            m.name = "城" + std::to_string(c);
            m.ClearConnections();
        }
        for (CGundan& k : gs.GundanTbl) {
            k.leader = CGundan::kLeaderFree;
            k.daimyou = -1;
        }
    }

    void Own(int shiro, int daimyou) { gs.ShiroTbl[shiro].daimyou = static_cast<std::int16_t>(daimyou); }

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

    // A general of the house at the castle, listed there (or among its besiegers).
    int AddBushou(int daimyou, int shiro, std::string name = "", int chibou = 5, bool besieging = false) {
        const int g = gs.nBushou++;
        CBushou& b = gs.BushouTbl[g];
        b = CBushou{};
        b.name = name.empty() ? "将" + std::to_string(g) : name;
        b.daimyou = static_cast<std::int16_t>(daimyou);
        b.shiro = static_cast<std::int16_t>(shiro);
        b.gundan = -1;
        b.id = -1;
        b.chibou = static_cast<std::uint8_t>(chibou);
        b.moveShiro = -1;
        b.sortieShiro = -1;
        b.sortieOrigin = -1;
        b.joinDaimyou.fill(-1);
        if (shiro >= 0) {
            CShiro& s = gs.ShiroTbl[shiro];
            if (besieging) {
                b.flags |= CBushou::kFlagBesieging;
                s.besieger[s.nBesieger++] = g;
                s.besiegerDaimyou = static_cast<std::int16_t>(daimyou);
            } else {
                s.bushou[s.nBushou++] = g;
            }
        }
        return g;
    }

    // A scenario record for the general, with its line house and succession rank.
    void SetLine(int bushou, int lineHouse, int rank) {
        const int id = gs.nBushouEx++;
        gs.BushouExTbl[id].daimyou = static_cast<std::int16_t>(lineHouse);
        gs.BushouExTbl[id].successionRank = static_cast<std::int8_t>(rank);
        gs.BushouTbl[bushou].id = static_cast<std::int16_t>(id);
    }

    // Fills the castle's general list with n extra generals of its owner.
    void Fill(int shiro, int n = CShiro::kMaxBushou) {
        while (gs.ShiroTbl[shiro].nBushou < n)
            AddBushou(gs.ShiroTbl[shiro].daimyou, shiro);
    }

    // A corps of the house led by the general.
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
    std::vector<std::string> Informs() const {
        std::vector<std::string> out;
        for (const PortCall& c : port.CallsOf(PortCallKind::Inform))
            out.push_back(c.text);
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
};

}  // namespace rymd::test
