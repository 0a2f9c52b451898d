#include "game/state/succession.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/bushou_table.h"
#include "game/state/game_state.h"
#include "game/state/policy.h"
#include "game/state/route.h"

namespace rymd {

namespace {

// The line house of a scenario record: values below -2 carry a mark in bit 15.
int LineHouse(int value) {
    return value < -2 ? (value & 0x7FFF) : value;
}

}  // namespace

int SuccessionRank(const GameState& gs, const CBushou& b, int daimyou) {
    if (b.id < 0 || b.id >= std::clamp(gs.nBushouEx, 0, GameState::kMaxBushou)) return kNoSuccessionRank;
    const BushouExRecord& ex = gs.BushouExTbl[static_cast<std::size_t>(b.id)];
    if (LineHouse(ex.daimyou) != daimyou) return kNoSuccessionRank;
    return ex.successionRank;
}

// =============================================================================================
// Heads and corps leaders

bool SucceedToushu(GameState& gs, const Ports& ports, int daimyou, bool quiet) {
    if (!IsValidDaimyou(gs, daimyou)) return false;
    const int n = BushouCount(gs);
    int heir = -1;
    int heirRank = 0;
    for (int g = 0; g < n; ++g) {
        const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (b.daimyou != daimyou) continue;
        const int rank = SuccessionRank(gs, b, daimyou);
        if (rank == kNoSuccessionRank) continue;
        if (heir < 0 || rank < heirRank) {
            heir = g;
            heirRank = rank;
        }
    }
    if (heir < 0) {
        int best = -1;
        for (int g = 0; g < n; ++g) {
            const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
            if (b.daimyou != daimyou) continue;
            if (heir < 0 || b.chibou >= best) {
                heir = g;
                best = b.chibou;
            }
        }
    }
    SetToushu(gs, ports, daimyou, heir >= 0 ? heir : -2, quiet);
    return heir < 0;
}

void SetToushu(GameState& gs, const Ports& ports, int daimyou, int bushou, bool quiet) {
    if (!IsValidDaimyou(gs, daimyou)) return;
    CDaimyou& house = DaimyouAt(gs, daimyou);
    int head = -1;
    if (IsValidBushou(gs, bushou)) {
        head = bushou;
        house.toushu = bushou;
        CBushou& b = BushouAt(gs, bushou);
        b.status = CBushou::kStatusKashin;
        if (!quiet)
            PolicyOf(gs).Inform(ports, MessageKind::HeadSuccessionMessage,
                                b.name + "は" + house.name + "の当主になりました");
        const int corps = b.gundan;
        if (IsValidGundan(corps)) {
            // The head commands the house directly; a vassal house keeps no corps of its own.
            if (house.bond != CDaimyou::kBondShinjuu) b.gundan = -1;
            if (gs.GundanTbl[static_cast<std::size_t>(corps)].leader == bushou)
                SucceedGundanchou(gs, ports, corps, b.name);
        }
    } else {
        house.toushu = -2;
    }
    const int n = ShiroCount(gs);
    for (int c = 0; c < n; ++c) {
        CShiro& s = ShiroAt(gs, c);
        if (s.daimyou == daimyou && s.gundan == -1) s.commander = static_cast<std::int16_t>(head);
    }
}

bool SucceedGundanchou(GameState& gs, const Ports& ports, int gundan, std::string_view formerLeaderName) {
    if (!IsValidGundan(gundan)) return false;
    CGundan& corps = gs.GundanTbl[static_cast<std::size_t>(gundan)];
    if (corps.leader == CGundan::kLeaderFree) return false;
    const int owner = corps.daimyou;

    const int n = BushouCount(gs);
    int leader = -1;
    int best = -1;
    for (int g = 0; g < n; ++g) {
        const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (b.gundan != gundan) continue;
        if (b.daimyou != owner && b.status != CBushou::kStatusKyakushou) continue;
        if (leader < 0 || b.chibou >= best) {
            leader = g;
            best = b.chibou;
        }
    }
    corps.leader = leader;
    const int nShiro = ShiroCount(gs);
    for (int c = 0; c < nShiro; ++c) {
        CShiro& s = ShiroAt(gs, c);
        if (s.daimyou == owner && s.gundan == gundan) s.commander = static_cast<std::int16_t>(leader);
    }

    const bool players = owner == gs.nPlayerDaimyou;
    const SuppressionPolicy policy = PolicyOf(gs);
    const std::string former(formerLeaderName);
    if (leader >= 0) {
        if (players)
            policy.Inform(ports, MessageKind::CorpsSuccessionMessage,
                          former + " 軍団は、" + gs.BushouTbl[static_cast<std::size_t>(leader)].name +
                              " が軍団長を引き継ぎます");
        return false;
    }
    if (players)
        policy.Inform(ports, MessageKind::CorpsSuccessionMessage,
                      former + " 軍団は、軍団長後継者がいないため解体します");
    DisbandGundan(gs, gundan);
    return true;
}

// =============================================================================================
// The general table

void MoveBushouToTableEnd(GameState& gs, int bushou) {
    MoveBushouRecordToEnd(gs, bushou);
}

void ArchiveBushou(GameState& gs, const Ports& ports, int bushou, std::vector<std::uint8_t>* erasedLater) {
    if (!IsValidBushou(gs, bushou)) return;
    const int n = std::clamp(gs.nMitoujouBushou, 0, GameState::kMaxBushou);
    if (n < GameState::kMaxBushou) {
        CBushou copy = gs.BushouTbl[static_cast<std::size_t>(bushou)];
        copy.daimyou = CBushou::kDaimyouRounin;
        copy.sortieShiro = -1;  // place of appearance: none
        copy.moveShiro = 0;     // year of appearance
        gs.MitoujouBushouTbl[static_cast<std::size_t>(n)] = copy;
        gs.nMitoujouBushou = n + 1;
    }
    RemoveBushou(gs, ports, bushou, erasedLater);
}

void RemoveBushou(GameState& gs, const Ports& ports, int bushou, std::vector<std::uint8_t>* erasedLater) {
    if (!IsValidBushou(gs, bushou)) return;
    CBushou& b = BushouAt(gs, bushou);
    b.daimyou = CBushou::kDaimyouRounin;
    b.gundan = -1;
    const std::string name = b.name;

    const int nDaimyou = DaimyouCount(gs);
    for (int d = 0; d < nDaimyou; ++d)
        if (DaimyouAt(gs, d).toushu == bushou) SucceedToushu(gs, ports, d, false);
    for (int k = 0; k < GameState::kMaxGundan; ++k)
        if (gs.GundanTbl[static_cast<std::size_t>(k)].leader == bushou) SucceedGundanchou(gs, ports, k, name);

    // Closes his slot; every stored index follows, and he leaves his castle's lists.
    if (erasedLater) {
        if (erasedLater->size() <= static_cast<std::size_t>(bushou))
            erasedLater->resize(static_cast<std::size_t>(BushouCount(gs)), 0);
        (*erasedLater)[static_cast<std::size_t>(bushou)] = 1;
        return;
    }
    EraseBushouRecord(gs, bushou);
}

}  // namespace rymd
