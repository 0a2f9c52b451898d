#include "game/state/invariants.h"

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"

namespace rymd {
namespace {

using Broken = std::optional<std::string>;

std::string Name(const char* kind, int index) {
    return std::string(kind) + " " + std::to_string(index);
}

Broken Fault(const std::string& where, const std::string& what) {
    return where + ": " + what;
}

Broken CheckCount(const char* name, long long count, long long capacity) {
    if (count >= 0 && count <= capacity) return std::nullopt;
    return Fault(name, "count " + std::to_string(count) + " outside 0.." + std::to_string(capacity));
}

// An index that must be -1 or name an entry below the count.
bool NoneOrBelow(int index, int count) {
    return index == -1 || (index >= 0 && index < count);
}

Broken CheckCounts(const GameState& gs) {
    using G = GameState;
    const struct {
        const char* name;
        long long count, capacity;
    } counts[] = {
        {"castles", gs.nShiro, G::kMaxShiro},
        {"generals", gs.nBushou, G::kMaxBushou},
        {"generals not yet appeared", gs.nMitoujouBushou, G::kMaxBushou},
        {"general records", gs.nBushouEx, G::kMaxBushou},
        {"houses", gs.nDaimyou, G::kMaxDaimyou},
        {"scenario houses", gs.nScenarioDaimyou, G::kMaxDaimyou},
        {"scheduled events", gs.nEvent, G::kMaxEvent},
        {"trade partners", gs.nTradingPartner, G::kMaxTradingPartner},
        {"coalitions", gs.nRengou, G::kMaxRengou},
        {"castle types", gs.nShiroType, G::kMaxShiroType},
        {"provinces", gs.nKuni, G::kMaxKuni},
        {"musket purchase places", gs.nTeppouKounyuu, G::kMaxTeppouKounyuu},
        {"map labels", gs.nLabel, G::kMaxLabel},
        {"route points", gs.nRoutePoint, G::kMaxRoutePoint},
        {"fleets", gs.GunsenTable.count, CGunsenTable::kMaxRecord},
    };
    for (const auto& c : counts)
        if (Broken b = CheckCount(c.name, c.count, c.capacity)) return b;
    if (gs.nConditionalEvent != static_cast<long long>(gs.ConditionalEventArray.size()))
        return Fault("conditional events", "count " + std::to_string(gs.nConditionalEvent) + " but " +
                                               std::to_string(gs.ConditionalEventArray.size()) + " held");
    return std::nullopt;
}

Broken CheckHouses(const GameState& gs) {
    for (int d : DaimyouIndexes(gs)) {
        const CDaimyou& h = DaimyouAt(gs, d);
        const std::string where = Name("house", d);
        if (h.toushu == -1) continue;  // out of play: nothing else is read
        if (h.toushu != -2) {
            if (!IsValidBushou(gs, h.toushu))
                return Fault(where, "head " + std::to_string(h.toushu) + " is not a general");
            if (BushouAt(gs, h.toushu).daimyou != d)
                return Fault(where, "head " + std::to_string(h.toushu) + " serves house " +
                                        std::to_string(BushouAt(gs, h.toushu).daimyou));
        }
        if (!IsValidDaimyou(gs, h.masterDaimyou))
            return Fault(where, "master " + std::to_string(h.masterDaimyou) + " is not a house");
    }
    return std::nullopt;
}

Broken CheckCorps(const GameState& gs) {
    for (int g : GundanIndexes()) {
        const CGundan& corps = GundanAt(gs, g);
        if (corps.IsFree()) continue;
        const std::string where = Name("corps", g);
        if (corps.leader != CGundan::kLeaderPassedOver && !IsValidBushou(gs, corps.leader))
            return Fault(where, "leader " + std::to_string(corps.leader) + " is not a general");
        if (!HouseExists(gs, corps.daimyou))
            return Fault(where, "owner " + std::to_string(corps.daimyou) + " is not a house in play");
    }
    return std::nullopt;
}

// A general list of a castle: count within 0..20 and every entry a general on stage.
Broken CheckList(const GameState& gs, const std::string& where, const char* what, int count,
                 const std::array<std::int32_t, CShiro::kMaxBushou>& list) {
    if (count < 0 || count > CShiro::kMaxBushou)
        return Fault(where, std::string(what) + " count " + std::to_string(count) + " outside 0..20");
    for (int i = 0; i < count; ++i)
        if (!IsValidBushou(gs, list[static_cast<std::size_t>(i)]))
            return Fault(where, std::string(what) + " entry " + std::to_string(i) + " (" +
                                    std::to_string(list[static_cast<std::size_t>(i)]) + ") is not a general");
    return std::nullopt;
}

Broken CheckCastles(const GameState& gs) {
    const int houses = DaimyouCount(gs);
    // The castle whose stationed or besieger list names each general; -1 none yet.
    std::vector<int> listedAt(static_cast<std::size_t>(BushouCount(gs)), -1);
    for (int s : ShiroIndexes(gs)) {
        const CShiro& c = ShiroAt(gs, s);
        const std::string where = Name("castle", s);
        if (!NoneOrBelow(c.daimyou, houses))
            return Fault(where, "owner " + std::to_string(c.daimyou) + " is not a house");
        if (c.gundan != -1) {
            if (!IsValidGundan(c.gundan) || GundanAt(gs, c.gundan).IsFree())
                return Fault(where, "corps " + std::to_string(c.gundan) + " is not a corps in use");
            if (GundanAt(gs, c.gundan).daimyou != c.daimyou)
                return Fault(where, "corps " + std::to_string(c.gundan) + " belongs to house " +
                                        std::to_string(GundanAt(gs, c.gundan).daimyou) +
                                        ", not to the owner");
        }
        if (c.commander < -2 || c.commander >= BushouCount(gs))
            return Fault(where, "lord " + std::to_string(c.commander) + " is not a general");
        if (!NoneOrBelow(c.besiegerDaimyou, houses))
            return Fault(where, "besieging house " + std::to_string(c.besiegerDaimyou) + " is not a house");
        if (!NoneOrBelow(c.blockadeDaimyou, houses))
            return Fault(where, "blockading house " + std::to_string(c.blockadeDaimyou) + " is not a house");
        if (Broken b = CheckList(gs, where, "stationed", c.nBushou, c.bushou)) return b;
        if (Broken b = CheckList(gs, where, "besieger", c.nBesieger, c.besieger)) return b;
        if (Broken b = CheckList(gs, where, "arrival", c.nArrival, c.arrival)) return b;
        for (int i = 0; i < c.nBushou + c.nBesieger; ++i) {
            const int b = i < c.nBushou ? c.bushou[static_cast<std::size_t>(i)]
                                        : c.besieger[static_cast<std::size_t>(i - c.nBushou)];
            int& at = listedAt[static_cast<std::size_t>(b)];
            if (at != -1)
                return Fault(where,
                             "general " + std::to_string(b) + " is listed twice" +
                                 (at == s ? std::string() : " (also at castle " + std::to_string(at) + ")"));
            at = s;
            if (BushouAt(gs, b).shiro != s)
                return Fault(where, "listed general " + std::to_string(b) + " stays at castle " +
                                        std::to_string(BushouAt(gs, b).shiro));
        }
    }
    // And the other way: a general in a house's service at a castle of another side is listed
    // there (as a besieger). At a castle of his own side he may wait without a place in its list:
    // the last resort of placement leaves him at a full castle, and he keeps waiting there when
    // the castle later has room, or when his side gains castles with room (his house becomes a
    // vassal), until the month start lists him again.
    for (int b : BushouIndexes(gs)) {
        const CBushou& g = BushouAt(gs, b);
        const int s = g.shiro;
        if (g.daimyou >= 0 && IsValidShiro(gs, s) && listedAt[static_cast<std::size_t>(b)] != s &&
            GetCountedDaimyouOfShiro(gs, s) != GetCountedDaimyou(gs, g.daimyou))
            return Fault(Name("general", b),
                         "stays at castle " + std::to_string(s) + " of another side but is not listed there");
    }
    return std::nullopt;
}

// The castles of a general's orders name no castle past the table (a negative value is none).
// A hostage has no orders: from the day he is handed over until he comes of age his two order
// fields keep the year and the place of appearance he brought along, also after he has left play
// (sent home, or put to death when his house broke with the house that held him) until the
// month's tidying takes him out of the table. The rules know him by his status there.
Broken CheckOrders(const GameState& gs, const std::string& where, const CBushou& g) {
    const int castles = ShiroCount(gs);
    const bool hostage = g.status == CBushou::kStatusHitojichi;
    const struct {
        const char* what;
        int castle;
        bool kept;
    } orders[] = {
        {"move castle", g.moveShiro, hostage},
        {"sortie castle", g.sortieShiro, hostage},
        {"sortie origin", g.sortieOrigin, false},
    };
    for (const auto& o : orders)
        if (!o.kept && o.castle >= castles)
            return Fault(where, std::string(o.what) + " " + std::to_string(o.castle) + " is not a castle");
    return std::nullopt;
}

// A castle's values within the bounds every rule keeps: economy, mine and rice yield within 0 and
// their maxima, the maxima within 0 and what a scenario can give, the size within 0..10, populace support
// within 0..1000, the garrison never below 0, trade ships within what a scenario may give (a port
// takes at most 10 in play, a scenario may start it with up to 100). Provisions and garrison are not
// held to the limits of the size here: a scenario may start a castle above them and the rules only
// trim what they add, so a saved game of such a scenario must still load.
Broken CheckCastleValues(const GameState& gs) {
    for (int s : ShiroIndexes(gs)) {
        const CShiro& c = ShiroAt(gs, s);
        const ShiroMapRecord& m = ShiroMapAt(gs, s);
        const struct {
            const char* what;
            std::int64_t value, low, high;
        } values[] = {
            {"size", c.kibo, 0, CShiro::kMaxKibo},
            {"maximum size", m.maxKibo, 0, CShiro::kMaxKibo},
            {"rice yield", c.kokudaka, 0, m.maxKokudaka},
            {"maximum rice yield", m.maxKokudaka, 0, INT32_MAX},
            {"economy", c.keizai, 0, m.maxKeizai},
            {"maximum economy", m.maxKeizai, 0, INT16_MAX},
            {"mine", c.kouzan, 0, m.maxKouzan},
            {"maximum mine", m.maxKouzan, 0, INT16_MAX},
            {"populace support", c.support, 0, CShiro::kMaxSupport},
            {"garrison", c.shubihei, 0, INT16_MAX},
            {"trade ships", c.kouekisen, 0, CShiro::kMaxKouekisen},
        };
        for (const auto& v : values)
            if (v.value < v.low || v.value > v.high)
                return Fault(Name("castle", s), std::string(v.what) + " " + std::to_string(v.value) +
                                                    " outside " + std::to_string(v.low) + ".." +
                                                    std::to_string(v.high));
    }
    return std::nullopt;
}

Broken CheckGenerals(const GameState& gs) {
    for (int b : BushouIndexes(gs)) {
        const CBushou& g = BushouAt(gs, b);
        const std::string where = Name("general", b);
        const bool marker = g.daimyou == CBushou::kDaimyouRounin || g.daimyou == CBushou::kDaimyouFree ||
                            g.daimyou == CBushou::kDaimyouHitojichi;
        if (!marker && !IsValidDaimyou(gs, g.daimyou))
            return Fault(where, "house " + std::to_string(g.daimyou) + " is neither a house nor -1, -2, -3");
        if (!NoneOrBelow(g.shiro, ShiroCount(gs)))
            return Fault(where, "castle " + std::to_string(g.shiro) + " is not a castle");
        if (g.gundan != -1 && !IsValidGundan(g.gundan))
            return Fault(where, "corps " + std::to_string(g.gundan) + " is not a corps slot");
        if (Broken b = CheckOrders(gs, where, g)) return b;
    }
    return std::nullopt;
}

Broken CheckFleets(const GameState& gs) {
    const CGunsenTable& t = gs.GunsenTable;
    for (std::uint32_t i = 0; i < t.count; ++i) {
        const GunsenRecord& f = t.records[i];
        const std::string where = Name("fleet", static_cast<int>(i));
        if (!IsValidDaimyou(gs, f.owner))
            return Fault(where, "owner " + std::to_string(f.owner) + " is not a house");
        if (!IsValidShiro(gs, f.shiro))
            return Fault(where, "castle " + std::to_string(f.shiro) + " is not a castle");
        if (!f.IsFree() && !IsValidShiro(gs, f.destination))
            return Fault(where, "destination " + std::to_string(f.destination) + " is not a castle");
        if (f.ships < 0) return Fault(where, "ship count " + std::to_string(f.ships) + " below 0");
    }
    return std::nullopt;
}

Broken CheckCoalitions(const GameState& gs) {
    for (int r = 0; r < gs.nRengou; ++r) {
        const CRengou& c = gs.RengouTbl[static_cast<std::size_t>(r)];
        const std::string where = Name("coalition", r);
        if (!IsValidDaimyou(gs, c.target))
            return Fault(where, "target " + std::to_string(c.target) + " is not a house");
        if (c.nMember < 0 || c.nMember > CRengou::kMaxMember)
            return Fault(where, "member count " + std::to_string(c.nMember) + " outside 0..42");
        for (int i = 0; i < c.nMember; ++i)
            if (!IsValidDaimyou(gs, c.member[static_cast<std::size_t>(i)]))
                return Fault(where, "member " + std::to_string(c.member[static_cast<std::size_t>(i)]) +
                                        " is not a house");
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FindBrokenInvariant(const GameState& gs) {
    // The counts first: every later check indexes the tables by them.
    for (Broken (*check)(const GameState&) : {CheckCounts, CheckHouses, CheckCorps, CheckCastles,
                                              CheckCastleValues, CheckGenerals, CheckFleets, CheckCoalitions})
        if (Broken b = check(gs)) return b;
    return std::nullopt;
}

}  // namespace rymd
