// Small game states built in memory for the rules tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "game/state/game_state.h"
#include "game/ports/scripted_port.h"

namespace rymd::test {

// A state with n castles and h houses: every castle owned by house 0,
// no corps, no siege, no blockade; houses independent and existing (head -2); no links.
inline std::unique_ptr<GameState> MakeState(int nShiro, int nDaimyou) {
    auto gs = std::make_unique<GameState>();
    gs->SetScenarioDefaults();
    gs->nShiro = nShiro;
    gs->nDaimyou = nDaimyou;
    gs->nCurYear = 1560;
    gs->nCurMonth = 4;
    for (int c = 0; c < nShiro; ++c) {
        CShiro& s = gs->ShiroTbl[static_cast<std::size_t>(c)];
        s.daimyou = 0;
        s.gundan = -1;
        s.commander = -1;
        s.besiegerDaimyou = -1;
        s.blockadeDaimyou = -1;
        gs->ShiroMapTbl[static_cast<std::size_t>(c)].name = "城" + std::to_string(c);
    }
    for (int d = 0; d < nDaimyou; ++d) {
        CDaimyou& h = gs->DaimyouTbl[static_cast<std::size_t>(d)];
        h.toushu = -2;
        h.bond = CDaimyou::kBondDokuritsu;
        h.masterDaimyou = d;
        h.name = "家" + std::to_string(d);
        for (int o = 0; o < nDaimyou; ++o)
            h.SetRelationLo(o, CDaimyou::kRelNothing);
    }
    for (CGundan& k : gs->GundanTbl) {
        k.leader = CGundan::kLeaderFree;
        k.daimyou = -1;
    }
    return gs;
}

// Appends a one-way link from a to b.
inline void Link(GameState& gs, int a, int b, int kind) {
    auto& connect = gs.ShiroMapTbl[static_cast<std::size_t>(a)].connect;
    for (auto& c : connect) {
        if (c.shiro == 0xFFFF) {
            c.shiro = static_cast<std::uint16_t>(b);
            c.kind = static_cast<std::uint8_t>(kind);
            return;
        }
    }
}

inline void LinkBoth(GameState& gs, int a, int b, int kind) {
    Link(gs, a, b, kind);
    Link(gs, b, a, kind);
}

inline void SetOwner(GameState& gs, int shiro, int daimyou) {
    gs.ShiroTbl[static_cast<std::size_t>(shiro)].daimyou = static_cast<std::int16_t>(daimyou);
}

inline void MakeVassal(GameState& gs, int vassal, int master) {
    CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(vassal)];
    h.bond = CDaimyou::kBondShinjuu;
    h.masterDaimyou = master;
}

inline void MakeSubordinate(GameState& gs, int sub, int master) {
    CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(sub)];
    h.bond = CDaimyou::kBondJuuzoku;
    h.masterDaimyou = master;
}

// Appends a general of the house stationed (listed) in the castle; returns his index.
inline int AddBushou(GameState& gs, int daimyou, int shiro, int cavalry, int foot, int gundan = -1) {
    const int g = gs.nBushou++;
    CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
    b = CBushou{};
    b.name = "武将" + std::to_string(g);
    b.daimyou = static_cast<std::int16_t>(daimyou);
    b.shiro = static_cast<std::int16_t>(shiro);
    b.gundan = static_cast<std::int16_t>(gundan);
    b.cavalry = static_cast<std::int16_t>(cavalry);
    b.foot = static_cast<std::int16_t>(foot);
    b.moveShiro = -1;
    b.sortieShiro = -1;
    b.sortieOrigin = -1;
    if (shiro >= 0) {
        CShiro& s = gs.ShiroTbl[static_cast<std::size_t>(shiro)];
        if (s.nBushou < CShiro::kMaxBushou) s.bushou[static_cast<std::size_t>(s.nBushou++)] = g;
    }
    return g;
}

}  // namespace rymd::test
