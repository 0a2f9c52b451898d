// Small worlds for the battle tests: castles, houses, generals and fleets built in memory.
#pragma once

#include <string>

#include "game/military/placement.h"
#include "game/state/game_state.h"
#include "platform/core/random.h"
#include "support/test_world.h"

namespace rymd::test {

struct BattleWorld : TestWorld {
    // n castles, h houses; castle c has size and maximum size 5 and plenty of provisions.
    BattleWorld(int nShiro, int nDaimyou, std::uint32_t seed = 1)
        : TestWorld({.castles = nShiro, .houses = nDaimyou}) {
        gs.rng.Seed(seed);
        gs.nPlayerDaimyou = nDaimyou;  // nobody's: every battle is fought automatically
        for (int c = 0; c < nShiro; ++c) {
            Castle(c).kibo = 5;
            Castle(c).hyourou = 1000000;
            Map(c).maxKibo = 5;
        }
    }

    CShiro& Castle(int c) { return gs.ShiroTbl[static_cast<std::size_t>(c)]; }
    ShiroMapRecord& Map(int c) { return gs.ShiroMapTbl[static_cast<std::size_t>(c)]; }
    CBushou& General(int g) { return gs.BushouTbl[static_cast<std::size_t>(g)]; }

    // A general 武将<index> of no particular ability, with his own scenario record, listed at the
    // castle (-1: none).
    int Add(int house, int shiro, int cavalry, int foot, int muskets = 0) {
        return Armed(AddBushou(house, shiro, Plain(cavalry, foot)), muskets);
    }
    // A general of the house standing among the castle's besiegers.
    int AddBesieger(int house, int shiro, int cavalry, int foot, int muskets = 0) {
        return Armed(Besiege(shiro, house, Plain(cavalry, foot)), muskets);
    }
    void Waterway(int c) {
        Map(c).flags = static_cast<std::uint8_t>(Map(c).flags | ShiroMapRecord::kFlagWaterway);
    }
    void Fleet(int house, int shiro, int ships, bool blockade) {
        auto& t = gs.GunsenTable;
        t.records[t.count++] = GunsenRecord{
            blockade ? GunsenRecord::kFlagBlockade : std::uint16_t{0}, static_cast<std::int16_t>(house),
            static_cast<std::int16_t>(shiro), static_cast<std::int16_t>(ships), GunsenRecord::kNoDestination};
        if (blockade) Castle(shiro).blockadeDaimyou = static_cast<std::int16_t>(house);
    }
    void Rain(int kuni) { gs.KuniEventFlags[static_cast<std::size_t>(kuni)] |= kKuniFlagNoTeppou; }

private:
    GeneralOptions Plain(int cavalry, int foot) const {
        return {.name = "武将" + std::to_string(gs.nBushou),
                .foot = foot,
                .cavalry = cavalry,
                .chibou = 0,
                .buyuu = 0};
    }
    int Armed(int g, int muskets) {
        General(g).muskets = static_cast<std::int16_t>(muskets);
        General(g).id = static_cast<std::int16_t>(g);
        General(g).sortieOrigin = -1;
        return g;
    }
};

}  // namespace rymd::test
