#include "game/state/gunsen_table.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "platform/core/archive.h"

namespace rymd {

namespace {

constexpr std::uint16_t kNone = GunsenRecord::kNoDestination;
constexpr int kLimit = CGunsenTable::kShiroLimit;

// The ruling house of a castle; a castle outside the table belongs to nobody.
int RulerOfShiro(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) ? GetCountedDaimyouOfShiro(gs, shiro) : -1;
}

bool HasWaterway(const GameState& gs, int shiro) {
    return (ShiroMapAt(gs, shiro).flags & ShiroMapRecord::kFlagWaterway) != 0;
}

bool IsBlockaded(const GameState& gs, int shiro) {
    return ShiroAt(gs, shiro).blockadeDaimyou != -1;
}

std::string DaimyouName(const GameState& gs, int daimyou) {
    return IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).name : std::string();
}

std::int16_t I16(int v) {
    return static_cast<std::int16_t>(v);
}

}  // namespace

GunsenRecord& CGunsenTable::Append(const GunsenRecord& r) {
    GunsenRecord& slot = records[count];
    slot = r;
    ++count;
    return slot;
}

// =============================================================================================
// Sums

int CGunsenTable::GetGunsenAtShiro(int shiro) const {
    int sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord& r = records[i];
        if (r.shiro == shiro && !r.IsBlockade()) sum += r.ships;
    }
    return sum;
}

int CGunsenTable::GetGunsenBoundFor(const GameState& gs, int shiro, int daimyou) const {
    int sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord& r = records[i];
        if (r.destination == shiro && GetCountedDaimyou(gs, r.owner) == daimyou) sum += r.ships;
    }
    return sum;
}

int CGunsenTable::GetFreeGunsenAtShiro(int shiro) const {
    int sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord& r = records[i];
        if (r.shiro == shiro && !r.IsBlockade() && r.IsFree()) sum += r.ships;
    }
    return sum;
}

int CGunsenTable::GetFreeBlockadeGunsenAtShiro(int shiro) const {
    int sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord& r = records[i];
        if (r.shiro == shiro && r.IsBlockade() && r.IsFree()) sum += r.ships;
    }
    return sum;
}

int CGunsenTable::GetBlockadeGunsenAtShiro(int shiro) const {
    int sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord& r = records[i];
        if (r.shiro == shiro && r.IsBlockade()) sum += r.ships;
    }
    return sum;
}

int CGunsenTable::GetGunsenMovingBetween(int shiro, int destination) const {
    int sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord& r = records[i];
        if (r.shiro == shiro && r.destination == destination && !r.IsBlockade()) sum += r.ships;
    }
    return sum;
}

int CGunsenTable::GetGunsenOfDaimyou(int daimyou) const {
    int sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (records[i].owner == daimyou) sum += records[i].ships;
    }
    return sum;
}

// =============================================================================================
// Changes

void CGunsenTable::AddGunsen(int daimyou, int shiro, int ships) {
    for (std::uint32_t i = 0; i < count; ++i) {
        GunsenRecord& r = records[i];
        if (r.owner == daimyou && r.shiro == shiro && r.flags == 0) {
            r.ships = I16(r.ships + ships);
            return;
        }
    }
    if (Full()) return;
    Append({0, I16(daimyou), I16(shiro), I16(ships), kNone});
}

void CGunsenTable::ClearDestinations() {
    for (std::uint32_t i = 0; i < count; ++i)
        records[i].destination = kNone;
}

void CGunsenTable::MoveGunsen(int shiro, int daimyou, int newShiro, int ships) {
    int rest = ships;
    const std::uint32_t n = count;
    for (std::uint32_t i = 0; i < n && rest > 0; ++i) {
        GunsenRecord& r = records[i];
        if (r.shiro != shiro || r.IsBlockade() || r.ships < 0) continue;
        if (daimyou != -1 && r.owner != daimyou) continue;
        if (r.ships <= rest) {
            r.shiro = I16(newShiro);
            rest -= r.ships;
            continue;
        }
        // Part of this fleet goes: the part that moves becomes a fleet of its own.
        if (!Full()) {
            GunsenRecord moved = r;
            moved.shiro = I16(newShiro);
            moved.ships = I16(rest);
            r.ships = I16(r.ships - rest);
            Append(moved);
        }
        break;
    }
}

void CGunsenTable::AssignGunsen(int shiro, int daimyou, int destination, int ships) {
    int rest = ships;
    const std::uint32_t n = count;
    for (std::uint32_t i = 0; i < n && rest > 0; ++i) {
        GunsenRecord& r = records[i];
        if (r.shiro != shiro || r.IsBlockade() || !r.IsFree() || r.ships < 0) continue;
        if (daimyou != -1 && r.owner != daimyou) continue;
        if (r.ships <= rest) {
            r.destination = static_cast<std::uint16_t>(destination);
            rest -= r.ships;
            continue;
        }
        // Part of this fleet is ordered: the ordered part becomes a fleet of its own.
        if (!Full()) {
            GunsenRecord ordered = r;
            ordered.ships = I16(rest);
            ordered.destination = static_cast<std::uint16_t>(destination);
            r.ships = I16(r.ships - rest);
            Append(ordered);
        }
        break;
    }
}

void CGunsenTable::PlanGunsenMove(const GameState& gs, int shiro, int daimyou, int target, int ships,
                                  bool blockade) {
    if (!IsValidShiro(gs, shiro)) return;
    const int nShiro = ShiroCount(gs);
    // The house whose castles the ships may go to.
    const int planner =
        blockade ? GetCountedDaimyou(gs, ShiroAt(gs, shiro).blockadeDaimyou) : RulerOfShiro(gs, shiro);
    auto kindMatches = [&](const GunsenRecord& r) { return blockade ? r.flags != 0 : !r.IsBlockade(); };
    auto sendable = [&](const GunsenRecord& r) {
        return r.shiro == shiro && r.ships > 0 && r.IsFree() && kindMatches(r) &&
               (daimyou == -1 || r.owner == daimyou);
    };

    int available = 0;
    for (std::uint32_t i = 0; i < count; ++i)
        if (sendable(records[i])) available += records[i].ships;
    int n = std::min(ships, available);
    if (n < 1) return;

    // Ships lying at or bound for a candidate castle.
    auto occupied = [&](int c) {
        if (c == shiro) return 0;
        int sum = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            const GunsenRecord& r = records[i];
            if (r.shiro == c) {
                if (kindMatches(r) && (r.IsFree() || r.destination == c)) sum += r.ships;
            } else if (r.destination == c) {
                sum += r.ships;
            }
        }
        return sum;
    };
    // Orders ships to c; true when every ship to send has its order.
    auto sendTo = [&](int c) {
        int s = std::min(n, kLimit - occupied(c));
        if (s <= 0) return false;
        for (std::uint32_t i = 0; i < count && s > 0; ++i) {
            GunsenRecord& r = records[i];
            if (!sendable(r)) continue;
            r.destination = static_cast<std::uint16_t>(c);
            if (r.ships > s) {
                if (!Full()) {
                    GunsenRecord rest = r;
                    rest.ships = I16(r.ships - s);
                    rest.destination = kNone;
                    r.ships = I16(s);
                    Append(rest);
                }
                n -= s;
                break;
            }
            s -= r.ships;
            n -= r.ships;
        }
        return n < 1;
    };

    std::vector<std::uint8_t> visited(static_cast<std::size_t>(nShiro), 0);
    if (IsValidShiro(gs, target)) {
        if (sendTo(target)) return;
        visited[static_cast<std::size_t>(target)] = 1;
    }

    // The castles nearest the target by sea, cheapest first, the lowest index first on ties.
    std::vector<std::uint16_t> fromTarget(static_cast<std::size_t>(nShiro));
    std::vector<std::uint16_t> fromShiro(static_cast<std::size_t>(nShiro));
    CalcRoadCost(gs, planner, -1, IsValidShiro(gs, target) ? target : -1, fromTarget, kRouteSea);
    CalcRoadCost(gs, planner, -1, shiro, fromShiro, kRouteSea);
    std::vector<int> order;
    for (int c = 0; c < nShiro; ++c)
        if (fromTarget[static_cast<std::size_t>(c)] < kRouteUnreachable) order.push_back(c);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return fromTarget[static_cast<std::size_t>(a)] < fromTarget[static_cast<std::size_t>(b)];
    });
    for (int pass = 0; pass < 2; ++pass) {
        for (int c : order) {
            if (visited[static_cast<std::size_t>(c)]) continue;
            // First pass: only castles within one leg of the castle the ships leave.
            if (pass == 0 && fromShiro[static_cast<std::size_t>(c)] > gs.nDistanceLimit) continue;
            if (sendTo(c)) return;
            visited[static_cast<std::size_t>(c)] = 1;
        }
    }
}

int CGunsenTable::FindShelter(const GameState& gs, int from, int ruler, int preferOwner) const {
    const int nShiro = ShiroCount(gs);
    std::vector<std::uint16_t> cost(static_cast<std::size_t>(nShiro));
    auto search = [&](bool admitBlockaded) {
        int best = -1;
        int bestCost = 1000000;
        for (int c = 0; c < nShiro; ++c) {
            if (!HasWaterway(gs, c) || RulerOfShiro(gs, c) != ruler) continue;
            if (!admitBlockaded && IsBlockaded(gs, c)) continue;
            if (GetGunsenAtShiro(c) >= kLimit) continue;
            const int k = cost[static_cast<std::size_t>(c)];
            const bool own = preferOwner >= 0 && ShiroAt(gs, c).daimyou == preferOwner;
            if (k < bestCost || (k == bestCost && own)) {
                best = c;
                bestCost = k;
            }
        }
        return best;
    };
    // By sea first; the search by every link admits the same castles, so it is needed only to
    // order the castles under blockade, which the last pass admits.
    CalcRoadCost(gs, -1, -1, from, cost, kRouteSea);
    int found = search(false);
    if (found >= 0) return found;
    CalcRoadCost(gs, -1, -1, from, cost, kRouteAll);
    return search(true);
}

void CGunsenTable::WithdrawBlockade(GameState& gs, int shiro, int daimyou, int preferred, int ships) {
    if (!IsValidShiro(gs, shiro)) return;
    int n = ships;
    int d = IsValidShiro(gs, preferred) ? preferred : -1;
    const std::uint32_t total = count;
    for (std::uint32_t i = 0; i < total && n >= 1; ++i) {
        if (records[i].shiro != shiro || !records[i].IsBlockade()) continue;
        if (daimyou != -1 && records[i].owner != daimyou) continue;
        int m = std::min<int>(records[i].ships, n);
        while (m > 0) {
            GunsenRecord& r = records[i];
            const int ruler = GetCountedDaimyou(gs, r.owner);
            int lying = 0;
            if (d >= 0 && RulerOfShiro(gs, d) == ruler) {
                lying = GetGunsenAtShiro(d);
                if (lying >= kLimit) d = -1;
            } else {
                d = -1;
            }
            if (d < 0) {
                d = FindShelter(gs, shiro, ruler, -1);
                lying = d >= 0 ? GetGunsenAtShiro(d) : 0;
            }
            const int s = d >= 0 ? std::min(m, kLimit - lying) : m;
            if (r.ships > s) {
                if (d >= 0 && !Full()) Append({0, r.owner, I16(d), I16(s), kNone});
                records[i].ships = I16(records[i].ships - s);  // without a place these ships are lost
            } else if (d < 0) {
                r.ships = 0;
            } else {
                r.flags = 0;
                r.shiro = I16(d);
                r.destination = kNone;
            }
            if (d >= 0 && lying + s >= kLimit) d = -1;
            n -= s;
            m -= s;
        }
    }
    if (GetBlockadeGunsenAtShiro(shiro) == 0) ShiroAt(gs, shiro).blockadeDaimyou = -1;
}

void CGunsenTable::ApplyMoves(const GameState& gs, const Ports& ports) {
    for (std::uint32_t i = 0; i < count; ++i) {
        GunsenRecord& r = records[i];
        if (r.IsFree()) continue;
        r.shiro = static_cast<std::int16_t>(r.destination);
        r.destination = kNone;
        r.flags = 0;  // a blockade fleet ordered away is an ordinary fleet on arrival
    }
    CheckGunsen(gs, ports);
}

void CGunsenTable::CheckGunsen(const GameState& gs, const Ports& ports) {
    const int nShiro = ShiroCount(gs);
    // Every record is checked, the last one included.
    for (std::uint32_t i = 0; i < count; ++i) {
        GunsenRecord& r = records[i];
        if (r.ships == 0) continue;
        if (r.ships < 0) {
            ports.inform->Inform("軍船数がマイナスです");
            continue;
        }
        const bool houseGone = !HouseExists(gs, r.owner);
        if (!r.IsBlockade() && houseGone) {
            r.ships = 0;
            continue;
        }
        if (!IsValidShiro(gs, r.shiro)) {
            r.ships = 0;  // a fleet at no castle cannot be kept
            continue;
        }
        const std::string& shiroName = ShiroMapAt(gs, r.shiro).name;
        if (HasWaterway(gs, r.shiro)) {
            const int owner = ShiroAt(gs, r.shiro).daimyou;
            if (!r.IsBlockade() && GetCountedDaimyou(gs, r.owner) != GetCountedDaimyou(gs, owner)) {
                ports.inform->Inform("Debug Message : " + shiroName + "で、軍船(" + DaimyouName(gs, r.owner) +
                                     ")と城(" + DaimyouName(gs, owner) +
                                     ")の所有大名が異なり、臣従関係でもありません");
            }
            for (std::uint32_t j = i + 1; j < count; ++j) {
                GunsenRecord& later = records[j];
                if (later.ships == 0 || later.shiro != r.shiro || later.owner != r.owner ||
                    later.flags != r.flags)
                    continue;
                r.ships = I16(r.ships + later.ships);
                later.ships = 0;
            }
        } else {
            ports.inform->Inform("Debug Message : 水路がない城（" + shiroName + "）に軍船が存在します");
            r.ships = 0;
        }
    }

    // Compaction, with the ships per castle of both kinds.
    std::vector<int> ordinary(static_cast<std::size_t>(nShiro), 0);
    std::vector<int> blockading(static_cast<std::size_t>(nShiro), 0);
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord r = records[i];
        if (r.ships == 0) continue;
        records[kept++] = r;
        if (r.shiro >= 0 && r.shiro < nShiro)
            (r.IsBlockade() ? blockading : ordinary)[static_cast<std::size_t>(r.shiro)] += r.ships;
    }
    count = kept;

    for (int c = 0; c < nShiro; ++c) {
        const std::string& name = ShiroMapAt(gs, c).name;
        if (ordinary[static_cast<std::size_t>(c)] > kLimit)
            ports.inform->Inform(name + "で軍船数が多すぎます");
        if (blockading[static_cast<std::size_t>(c)] > kLimit)
            ports.inform->Inform(name + "で海上封鎖軍船数が多すぎます");
    }
}

void CGunsenTable::GetFreeGunsenForGundan(const GameState& gs, std::span<std::uint16_t> out,
                                          int gundan) const {
    const int nShiro = std::min(ShiroCount(gs), static_cast<int>(out.size()));
    std::fill(out.begin(), out.begin() + nShiro, std::uint16_t{0});
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord& r = records[i];
        if (r.IsBlockade() || !r.IsFree() || r.shiro < 0 || r.shiro >= nShiro) continue;
        if (IsBlockaded(gs, r.shiro)) continue;
        out[static_cast<std::size_t>(r.shiro)] =
            static_cast<std::uint16_t>(out[static_cast<std::size_t>(r.shiro)] + r.ships);
    }
    if (!IsValidGundan(gundan)) return;

    const CGundan& corps = GundanAt(gs, gundan);
    const int ruler = GetCountedDaimyou(gs, corps.daimyou);
    const int nBushou = BushouCount(gs);
    const int unit = HeiUnit(gs);
    auto activeLaterCorps = [&](int k) {
        if (k <= gundan || !IsValidGundan(k)) return false;
        const CGundan& other = GundanAt(gs, k);
        if ((other.order & (CGundan::kOrderShinkou | CGundan::kOrderNaisei)) == 0) return false;
        return std::any_of(other.tantouKuni.begin(), other.tantouKuni.end(),
                           [](std::int16_t p) { return p >= 0 && p < 255; });
    };
    for (int c = 0; c < nShiro; ++c) {
        std::uint16_t& ships = out[static_cast<std::size_t>(c)];
        if (ships == 0 || RulerOfShiro(gs, c) != ruler) continue;
        const CShiro& s = ShiroAt(gs, c);
        const int listed = std::clamp<int>(s.nBushou, 0, CShiro::kMaxBushou);
        if (corps.IsShiroInTantouKuni(gs, c)) {
            // Ships kept back for the troops of later corps that act from this castle.
            std::int64_t soldiers = 0;
            for (int j = 0; j < listed; ++j) {
                const int g = s.bushou[static_cast<std::size_t>(j)];
                if (g < 0 || g >= nBushou) continue;
                const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
                if (activeLaterCorps(b.gundan)) soldiers += b.cavalry + b.foot;
            }
            const std::int64_t reserve = std::min<std::int64_t>((soldiers * unit + 999) / 1000, ships);
            ships = static_cast<std::uint16_t>(ships - reserve);
        } else {
            bool ours = false;
            for (int j = 0; j < listed && !ours; ++j) {
                const int g = s.bushou[static_cast<std::size_t>(j)];
                ours = g >= 0 && g < nBushou && gs.BushouTbl[static_cast<std::size_t>(g)].gundan == gundan;
            }
            if (!ours) ships = 0;
        }
    }
}

void CGunsenTable::RelocateFleet(const GameState& gs, int record, int shiro) {
    if (record < 0 || static_cast<std::uint32_t>(record) >= count || !IsValidShiro(gs, shiro)) return;
    const std::size_t ri = static_cast<std::size_t>(record);
    const int owner = records[ri].owner;
    const int ruler = GetCountedDaimyou(gs, owner);
    int n = records[ri].ships;
    int d = -1;
    if (IsValidShiro(gs, shiro) && RulerOfShiro(gs, shiro) == ruler && !IsBlockaded(gs, shiro) &&
        GetGunsenAtShiro(shiro) < kLimit)
        d = shiro;
    while (n >= 1) {
        if (d < 0) {
            d = FindShelter(gs, shiro, ruler, owner);
            if (d < 0) {
                // Nowhere to go: the ships are lost.
                records[ri].ships = 0;
                records[ri].destination = kNone;
                records[ri].flags = 0;
                return;
            }
        }
        const int s = std::min(n, kLimit - GetGunsenAtShiro(d));
        GunsenRecord& r = records[ri];
        if (r.ships <= s) {
            r.flags = 0;
            r.shiro = I16(d);
            r.destination = kNone;
            return;
        }
        if (!Full()) Append({0, I16(owner), I16(d), I16(s), kNone});
        records[ri].ships = I16(records[ri].ships - s);
        n -= s;
        d = -1;
    }
}

void CGunsenTable::RemoveGunsenWithoutPort(const GameState& gs, const Ports& ports) {
    for (std::uint32_t i = 0; i < count; ++i) {
        GunsenRecord& r = records[i];
        if (!IsValidShiro(gs, r.shiro) || !HasWaterway(gs, r.shiro)) r.ships = 0;
    }
    CheckGunsen(gs, ports);
}

// =============================================================================================
// Saved game

void CGunsenTable::Save(ArchiveWriter& ar) const {
    ar.WriteU32(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const GunsenRecord& r = records[i];
        ar.WriteU16(r.flags);
        ar.WriteI16(r.owner);
        ar.WriteI16(r.shiro);
        ar.WriteI16(r.ships);
        ar.WriteU16(r.destination);
    }
}

bool CGunsenTable::Load(ArchiveReader& ar) {
    const std::uint32_t n = ar.ReadU32();
    if (!ar.Ok()) return false;
    if (n > static_cast<std::uint32_t>(kMaxRecord) ||
        static_cast<std::size_t>(n) * kStoredRecordSize > ar.Remaining()) {
        ar.Fail();
        return false;
    }
    std::vector<GunsenRecord> staged(n);
    for (GunsenRecord& r : staged) {
        r.flags = ar.ReadU16();
        r.owner = ar.ReadI16();
        r.shiro = ar.ReadI16();
        r.ships = ar.ReadI16();
        r.destination = ar.ReadU16();
    }
    if (!ar.Ok()) return false;
    std::copy(staged.begin(), staged.end(), records.begin());
    std::fill(records.begin() + n, records.end(), GunsenRecord{});
    count = n;
    return true;
}

}  // namespace rymd
