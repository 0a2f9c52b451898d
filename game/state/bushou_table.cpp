#include "game/state/bushou_table.h"

#include <algorithm>
#include <vector>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/house_index.h"
#include "game/state/route.h"

namespace rymd {

namespace {

// The new index of a stored general index.
struct IndexMap {
    int from;
    int to;  // -1: he left the table
    int lo;  // indexes in lo..hi move by step
    int hi;
    int step;

    int operator()(int x) const {
        if (x < 0) return x;
        if (x == from) return to;
        if (x >= lo && x <= hi) return x + step;
        return x;
    }
};

// The new index of a stored general index when the records are rearranged at once: newIndex[x]
// for a record of the table, anything else unchanged.
struct PermutationMap {
    const std::vector<int>& newIndex;

    int operator()(int x) const {
        return x >= 0 && static_cast<std::size_t>(x) < newIndex.size() ? newIndex[static_cast<std::size_t>(x)]
                                                                       : x;
    }
};

// Renumbers one castle list; entries of a general who left the table are dropped.
template <std::size_t N, class Count, class Map>
void RenumberList(std::array<std::int32_t, N>& list, Count& count, const Map& map) {
    const int n = std::clamp<int>(count, 0, static_cast<int>(N));
    int kept = 0;
    for (int i = 0; i < n; ++i) {
        const int g = list[static_cast<std::size_t>(i)];
        const int mapped = map(g);
        if (g >= 0 && mapped < 0) continue;
        list[static_cast<std::size_t>(kept++)] = mapped;
    }
    for (int i = kept; i < n; ++i)
        list[static_cast<std::size_t>(i)] = 0;
    count = static_cast<Count>(kept);
}

template <class Map>
void RenumberShiro(CShiro& s, const Map& map) {
    if (s.commander >= 0) s.commander = static_cast<std::int16_t>(map(s.commander));
    RenumberList(s.bushou, s.nBushou, map);
    RenumberList(s.besieger, s.nBesieger, map);
    RenumberList(s.arrival, s.nArrival, map);
}

// Every stored general index through the map.
template <class Map>
void RenumberStoredIndexes(GameState& gs, const Map& map) {
    if (ShiroBushouIndex* watch = gs.shiroBushouWatch.get()) watch->Stale();
    const int nShiro = ShiroCount(gs);
    for (int c = 0; c < nShiro; ++c) {
        RenumberShiro(ShiroAt(gs, c), map);
        RenumberShiro(gs.ShiroSnapTbl[static_cast<std::size_t>(c)], map);
    }
    const int nDaimyou = DaimyouCount(gs);
    for (int d = 0; d < nDaimyou; ++d) {
        CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(d)];
        if (house.toushu < 0) continue;
        const int mapped = map(house.toushu);
        house.toushu = mapped >= 0 ? mapped : -2;  // a head who left: no head at the moment
    }
    for (CGundan& corps : gs.GundanTbl) {
        if (corps.leader >= 0) corps.leader = map(corps.leader);
    }
}

}  // namespace

void RenumberBushouIndexes(GameState& gs, int from, int to) {
    const int nBushou = BushouCount(gs);
    IndexMap map{from, to, 0, -1, 0};
    if (to < 0) {
        map = {from, -1, from + 1, std::max(nBushou, from + 1) - 1, -1};
    } else if (to > from) {
        map = {from, to, from + 1, to, -1};
    } else if (to < from) {
        map = {from, to, to, from - 1, +1};
    }
    RenumberStoredIndexes(gs, map);
}

bool EraseBushouRecord(GameState& gs, int bushou) {
    const int n = BushouCount(gs);
    if (bushou < 0 || bushou >= n) return false;
    for (int k = 0; k < GameState::kMaxGundan; ++k)
        if (gs.GundanTbl[static_cast<std::size_t>(k)].leader == bushou) DisbandGundan(gs, k);
    RenumberBushouIndexes(gs, bushou, -1);
    std::move(gs.BushouTbl.begin() + bushou + 1, gs.BushouTbl.begin() + n, gs.BushouTbl.begin() + bushou);
    gs.BushouTbl[static_cast<std::size_t>(n - 1)] = CBushou{};
    gs.nBushou = n - 1;
    return true;
}

void EraseBushouRecords(GameState& gs, std::span<const std::uint8_t> erased) {
    const int n = BushouCount(gs);
    const int flagged = std::min(n, static_cast<int>(erased.size()));
    auto gone = [&](int g) { return g < flagged && erased[static_cast<std::size_t>(g)] != 0; };
    bool any = false;
    bool leads = false;
    for (int g = 0; g < flagged; ++g)
        any = any || gone(g);
    if (!any) return;
    for (const CGundan& corps : gs.GundanTbl)
        leads = leads || (corps.leader >= 0 && gone(corps.leader));
    if (leads) {
        // The corps they still lead are dissolved in table order, as erasing them one by one
        // does: a dissolved corps' castles go to the head as he stands then, no head (-2) when
        // the head was erased before the leader.
        for (int g = 0; g < flagged; ++g) {
            if (!gone(g)) continue;
            for (int k = 0; k < GameState::kMaxGundan; ++k)
                if (gs.GundanTbl[static_cast<std::size_t>(k)].leader == g) DisbandGundan(gs, k);
            for (int d = 0; d < DaimyouCount(gs); ++d) {
                CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(d)];
                if (house.toushu == g) house.toushu = -2;
            }
        }
    }
    std::vector<int> newIndex(static_cast<std::size_t>(n), -1);
    int kept = 0;
    for (int g = 0; g < n; ++g) {
        if (gone(g)) continue;
        newIndex[static_cast<std::size_t>(g)] = kept;
        if (kept != g) BushouAt(gs, kept) = std::move(BushouAt(gs, g));
        ++kept;
    }
    RenumberStoredIndexes(gs, PermutationMap{newIndex});
    for (int g = kept; g < n; ++g)
        gs.BushouTbl[static_cast<std::size_t>(g)] = CBushou{};
    gs.nBushou = kept;
}

void MoveBushouRecordsToEnd(GameState& gs, std::span<const std::uint8_t> moved) {
    const int n = std::min(BushouCount(gs), static_cast<int>(moved.size()));
    std::vector<int> movers;
    for (int g = 0; g < n; ++g)
        if (moved[static_cast<std::size_t>(g)]) movers.push_back(g);
    // One mover in the last slot stays where he is, and nothing is renumbered, as with
    // MoveBushouRecordToEnd.
    if (movers.empty() || (movers.size() == 1 && movers.front() == BushouCount(gs) - 1)) return;
    if (n < BushouCount(gs)) {
        // Generals beyond the flags stay in front of the movers: move them one by one.
        for (std::size_t i = 0; i < movers.size(); ++i)
            MoveBushouRecordToEnd(gs, movers[i] - static_cast<int>(i));
        return;
    }
    // The others keep their order in front, the movers theirs behind them.
    std::vector<int> newIndex(static_cast<std::size_t>(n));
    std::vector<CBushou> records;
    records.reserve(static_cast<std::size_t>(n));
    for (int pass = 0; pass < 2; ++pass) {
        for (int g = 0; g < n; ++g) {
            if ((moved[static_cast<std::size_t>(g)] != 0) != (pass == 1)) continue;
            newIndex[static_cast<std::size_t>(g)] = static_cast<int>(records.size());
            records.push_back(std::move(gs.BushouTbl[static_cast<std::size_t>(g)]));
        }
    }
    RenumberStoredIndexes(gs, PermutationMap{newIndex});
    std::move(records.begin(), records.end(), gs.BushouTbl.begin());
}

bool MoveBushouRecordToEnd(GameState& gs, int bushou) {
    const int n = BushouCount(gs);
    if (bushou < 0 || bushou >= n) return false;
    if (bushou == n - 1) return true;
    RenumberBushouIndexes(gs, bushou, n - 1);
    std::rotate(gs.BushouTbl.begin() + bushou, gs.BushouTbl.begin() + bushou + 1, gs.BushouTbl.begin() + n);
    return true;
}

}  // namespace rymd
