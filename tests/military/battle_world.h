// Small worlds for the battle tests: castles, houses, generals and fleets built in memory.
#pragma once

#include <memory>

#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "game/military/placement.h"
#include "platform/core/random.h"
#include "support/rules_test_util.h"

namespace rymd::test {

struct BattleWorld {
    std::unique_ptr<GameState> state;
    GameState& gs;

    // n castles, h houses; castle c has size and maximum size 5 and plenty of provisions.
    BattleWorld(int nShiro, int nDaimyou, std::uint32_t seed = 1)
        : state(MakeState(nShiro, nDaimyou)), gs(*state) {
        gs.rng.Seed(seed);
        ResetScenarioWords(gs.ScenarioWords);
        gs.nHeiUnit = 1;
        gs.nPlayerDaimyou = nDaimyou;  // nobody's: every battle is fought automatically
        for (int c = 0; c < nShiro; ++c) {
            Castle(c).kibo = 5;
            Castle(c).hyourou = 1000000;
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].maxKibo = 5;
            gs.ShiroMapTbl[static_cast<std::size_t>(c)].ClearConnections();
        }
    }

    CShiro& Castle(int c) { return gs.ShiroTbl[static_cast<std::size_t>(c)]; }
    ShiroMapRecord& Map(int c) { return gs.ShiroMapTbl[static_cast<std::size_t>(c)]; }
    CBushou& General(int g) { return gs.BushouTbl[static_cast<std::size_t>(g)]; }

    int Add(int house, int shiro, int cavalry, int foot, int muskets = 0) {
        const int g = AddBushou(gs, house, shiro, cavalry, foot);
        General(g).muskets = static_cast<std::int16_t>(muskets);
        General(g).id = static_cast<std::int16_t>(g);
        General(g).sortieOrigin = -1;
        return g;
    }
    // A general of the house standing among the castle's besiegers.
    int AddBesieger(int house, int shiro, int cavalry, int foot, int muskets = 0) {
        const int g = Add(house, -1, cavalry, foot, muskets);
        CBushou& b = General(g);
        b.shiro = static_cast<std::int16_t>(shiro);
        b.flags = static_cast<std::uint16_t>(b.flags | CBushou::kFlagBesieging);
        CShiro& s = Castle(shiro);
        s.besieger[static_cast<std::size_t>(s.nBesieger++)] = g;
        s.besiegerDaimyou = static_cast<std::int16_t>(house);
        return g;
    }
    void Waterway(int c) { Map(c).flags = static_cast<std::uint8_t>(Map(c).flags | ShiroMapRecord::kFlagWaterway); }
    void Fleet(int house, int shiro, int ships, bool blockade) {
        auto& t = gs.GunsenTable;
        t.records[t.count++] = GunsenRecord{blockade ? GunsenRecord::kFlagBlockade : std::uint16_t{0},
                                            static_cast<std::int16_t>(house), static_cast<std::int16_t>(shiro),
                                            static_cast<std::int16_t>(ships), GunsenRecord::kNoDestination};
        if (blockade) Castle(shiro).blockadeDaimyou = static_cast<std::int16_t>(house);
    }
    void Rain(int kuni) { gs.KuniEventFlags[static_cast<std::size_t>(kuni)] |= 0x02; }
};

}  // namespace rymd::test
