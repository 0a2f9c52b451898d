#include "game/ai/cpu_senryaku.h"

#include "game/ai/war_plan_helpers.h"

#include <optional>

#include "game/military/placement.h"
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"

namespace rymd {

using namespace warplan;

CCpuSenryaku::CCpuSenryaku(GameContext context) : context_(context) {}

CCpuSenryaku::~CCpuSenryaku() = default;

// --- small tests ---------------------------------------------------------------------------------

// Owners do not change while the houses plan, so the counted houses come from the index.
int CCpuSenryaku::EffShiro(int shiro) const {
    return index_.EffOf(shiro);
}

bool CCpuSenryaku::InCorps(int shiro) const {
    if (gundan_ < 0) return true;
    if (!IsValidGundan(gundan_)) return false;
    return GundanAt(context_.gs, gundan_).IsShiroInTantouKuni(context_.gs, shiro);
}

bool CCpuSenryaku::IsPlanFree(int bushou) const {
    const CBushou& b = BushouAt(context_.gs, bushou);
    return b.status != CBushou::kStatusHitojichi && b.gundan == gundan_ &&
           (b.flags & (CBushou::kFlagOrdered | CBushou::kFlagBesieging)) == 0;
}

void CCpuSenryaku::AppendArrival(int shiro, int bushou) {
    CShiro& s = ShiroAt(context_.gs, shiro);
    if (s.nArrival < 0) s.nArrival = 0;
    if (s.nArrival >= kRoster) return;
    s.arrival[static_cast<std::size_t>(s.nArrival)] = bushou;
    ++s.nArrival;
}

void CCpuSenryaku::OrderMove(int bushou, int destination) {
    CBushou& b = BushouAt(context_.gs, bushou);
    b.moveShiro = static_cast<std::int16_t>(destination);
    b.flags = static_cast<std::uint16_t>((b.flags & ~CBushou::kFlagBesieging) | CBushou::kFlagOrdered);
    AppendArrival(destination, bushou);
}

bool CCpuSenryaku::IsShiroIsolated(int shiro) const {
    const GameState& gs = context_.gs;
    if (!IsValidShiro(gs, shiro)) return true;
    bool joined = false;
    ForLinks(gs, shiro, [&](int, int n, int kind) {
        if (joined || kind == kConnectSea) return;
        if (EffShiro(n) == daimyou_ && InCorps(n) && !Besieged(gs, n)) joined = true;
    });
    return !joined;
}

int CCpuSenryaku::TraceRoute(int from, int to, std::vector<Hop>& path, int mode) {
    const GameState& gs = context_.gs;
    path.clear();
    if (from == to) return 0;
    if (!IsValidShiro(gs, from) || !IsValidShiro(gs, to)) return -1;
    const auto cost = mode == kRouteSea    ? GetRouteCostSea(to)
                      : mode == kRouteLand ? GetRouteCostLand(to)
                                           : GetRouteCostAll(to);
    int cur = from;
    // A route visits each castle at most once; a longer walk has broken off.
    for (int hops = 0; hops < ShiroCount(gs); ++hops) {
        int best = -1, bestKind = 0, bestCost = kUnreachable;
        ForLinks(gs, cur, [&](int, int n, int kind) {
            if (mode == kRouteSea && kind != kConnectSea) return;
            if (mode == kRouteLand && kind == kConnectSea) return;
            if (cost[static_cast<std::size_t>(n)] < bestCost) {
                best = n;
                bestKind = kind;
                bestCost = cost[static_cast<std::size_t>(n)];
            }
        });
        if (best < 0) return -1;
        path.push_back({best, bestKind});
        if (best == to) return static_cast<int>(path.size());
        cur = best;
    }
    return -1;
}

// --- end of the phase -------------------------------------------------------------------------------------

void CCpuSenryaku::ApplyPendingMoves() {
    GameState& gs = context_.gs;
    for (int c : ShiroIndexes(gs))
        ShiroAt(gs, c).nBushou = 0;
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || (b.flags & CBushou::kFlagOrdered) == 0) continue;
        if (b.moveShiro != -1 && b.moveShiro != b.shiro && IsValidShiro(gs, b.moveShiro))
            b.shiro = b.moveShiro;
    }
    auto value = [&](int g) {
        const CBushou& b = BushouAt(gs, g);
        return Weighted(b) + (b.gundan == -1 ? 30000 : 0);
    };
    std::vector<std::uint8_t> placed(static_cast<std::size_t>(BushouCount(gs)), 0);
    // No castle changes hands while the generals are placed: the castles of each house, taken
    // when the first displaced general needs them, serve every later one.
    std::optional<ShiroOwnerIndex> owners;
    for (int g : BushouIndexes(gs)) {
        if (g >= static_cast<int>(placed.size()) || placed[static_cast<std::size_t>(g)]) continue;
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || (b.flags & CBushou::kFlagBesieging) || !IsValidShiro(gs, b.shiro)) continue;
        const int c = b.shiro;
        CShiro& s = ShiroAt(gs, c);
        placed[static_cast<std::size_t>(g)] = 1;
        if (s.nBushou < kRoster) {
            s.bushou[static_cast<std::size_t>(s.nBushou++)] = g;
            continue;
        }
        int weakest = 0;
        for (int j = 1; j < kRoster; ++j)
            if (value(s.bushou[static_cast<std::size_t>(j)]) <
                value(s.bushou[static_cast<std::size_t>(weakest)]))
                weakest = j;
        int displaced = g;
        if (value(s.bushou[static_cast<std::size_t>(weakest)]) <= value(g)) {
            displaced = s.bushou[static_cast<std::size_t>(weakest)];
            s.bushou[static_cast<std::size_t>(weakest)] = g;  // he takes the weakest one's place
        }
        BushouAt(gs, displaced).shiro = -1;
        if (!owners) owners.emplace(gs);
        if (!RelocateBushou(gs, displaced, c, true, true, &*owners))
            BushouAt(gs, displaced).daimyou = CBushou::kDaimyouRounin;
    }
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (b.status == CBushou::kStatusHitojichi) continue;
        b.moveShiro = -1;
        b.flags &= static_cast<std::uint16_t>(~CBushou::kFlagOrdered);
    }
    gs.GunsenTable.ApplyMoves(gs, context_.ports);
    RepairBushouLocations(gs, context_.ports);
    index_.Drop();
}

}  // namespace rymd
