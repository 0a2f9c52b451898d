#include "game/diplomacy/bonds.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "game/diplomacy/horyo.h"
#include "game/military/placement.h"
#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/policy.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "game/state/succession.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

void SetBoth(GameState& gs, int x, int y, int state) {
    DaimyouAt(gs, x).SetRelationLo(y, state);
    DaimyouAt(gs, y).SetRelationLo(x, state);
}

// The top of a house for peace: its master whenever it is bound to one.
int PeaceTop(const GameState& gs, int d) {
    if (!IsValidDaimyou(gs, d)) return d;
    const CDaimyou& h = DaimyouAt(gs, d);
    return h.bond != CDaimyou::kBondDokuritsu ? h.masterDaimyou : d;
}

// Resets what x holds about y: arch-enemies stay arch-enemies (countdown 15), any other pair
// has no relation.
void ResetRelation(GameState& gs, int x, int y) {
    CDaimyou& h = DaimyouAt(gs, x);
    h.SetRelationLo(
        y, h.GetRelationHi(y) == CDaimyou::kNoCountdown ? CDaimyou::kRelShukuteki : CDaimyou::kRelNothing);
}
void ResetBoth(GameState& gs, int x, int y) {
    ResetRelation(gs, x, y);
    ResetRelation(gs, y, x);
}

bool IsMemberOf(const GameState& gs, int d, int master) {
    const CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(d)];
    return (h.bond == CDaimyou::kBondJuuzoku || h.bond == CDaimyou::kBondShinjuu) &&
           h.masterDaimyou == master;
}

// The state a member of a sphere takes toward another house, and that house toward it, from
// the master's state toward that house.
struct SpherePair {
    int memberAbout;
    int aboutMember;
};

SpherePair JuuzokuPair(int masterAbout, int memberAbout) {
    switch (masterAbout) {
        case CDaimyou::kRelJuuzokuMaster: return {CDaimyou::kRelJuuzokuPeer, CDaimyou::kRelJuuzokuPeer};
        case CDaimyou::kRelShinjuuMaster: return {CDaimyou::kRelShinjuuPeer, CDaimyou::kRelJuuzokuPeer};
        case CDaimyou::kRelRengou:
        case CDaimyou::kRelRengouLeader: return {CDaimyou::kRelRengou, CDaimyou::kRelRengou};
        default: break;
    }
    if (masterAbout == CDaimyou::kRelShukuteki && memberAbout != CDaimyou::kRelShukuteki)
        return {CDaimyou::kRelNothing, CDaimyou::kRelNothing};
    return {masterAbout, masterAbout};
}

SpherePair ShinjuuPair(int masterAbout, int memberAbout) {
    switch (masterAbout) {
        case CDaimyou::kRelJuuzokuMaster: return {CDaimyou::kRelJuuzokuPeer, CDaimyou::kRelShinjuuPeer};
        case CDaimyou::kRelShinjuuMaster: return {CDaimyou::kRelShinjuuPeer, CDaimyou::kRelShinjuuPeer};
        case CDaimyou::kRelRengou:
        case CDaimyou::kRelRengouLeader: return {CDaimyou::kRelRengou, CDaimyou::kRelRengou};
        default: break;
    }
    if (masterAbout == CDaimyou::kRelShukuteki && memberAbout != CDaimyou::kRelShukuteki)
        return {CDaimyou::kRelNothing, CDaimyou::kRelNothing};
    return {masterAbout, masterAbout};
}

}  // namespace

void RemoveRengou(GameState& gs, const Ports& ports, int rengou) {
    const int n = std::clamp(gs.nRengou, 0, GameState::kMaxRengou);
    if (rengou < 0 || rengou >= n) return;
    const int target = gs.RengouTbl[static_cast<std::size_t>(rengou)].target;
    const std::string name = IsValidDaimyou(gs, target) ? DaimyouAt(gs, target).name : "";
    const SuppressionPolicy policy = PolicyOf(gs);
    policy.Inform(ports, MessageKind::CoalitionMessage, "反" + name + "連合は消滅しました");
    std::move(gs.RengouTbl.begin() + rengou + 1, gs.RengouTbl.begin() + n, gs.RengouTbl.begin() + rengou);
    gs.RengouTbl[static_cast<std::size_t>(n - 1)] = CRengou{};
    gs.nRengou = n - 1;
}

void MakePeace(GameState& gs, const Ports& ports, int a, int b, bool quiet, const PeaceKnown* known) {
    if (!IsValidDaimyou(gs, a) || !IsValidDaimyou(gs, b)) return;
    const int nDaimyou = DaimyouCount(gs);

    // 1. The two houses.
    SetBoth(gs, a, b, CDaimyou::kRelFusen);

    // 2. Coalitions of one of them against the other.
    for (int k = 0; k < std::clamp(gs.nRengou, 0, GameState::kMaxRengou);) {
        const CRengou& r = gs.RengouTbl[static_cast<std::size_t>(k)];
        const int members = std::clamp<int>(r.nMember, 0, CRengou::kMaxMember);
        auto lists = [&](int d) {
            return std::find(r.member.begin(), r.member.begin() + members, d) != r.member.begin() + members;
        };
        if ((r.target == a && lists(b)) || (r.target == b && lists(a))) {
            RemoveRengou(gs, ports, k);  // the later coalitions move down to k
        } else {
            ++k;
        }
    }

    // 3. The houses of each sphere make peace with the other side and its members.
    for (int h = 0; h < nDaimyou; ++h) {
        if (h == a || h == b || !HouseExists(gs, h)) continue;
        const int top = PeaceTop(gs, h);
        if (top != a && top != b) continue;
        const int other = top == a ? b : a;
        SetBoth(gs, h, other, CDaimyou::kRelFusen);
        for (int k = 0; k < nDaimyou; ++k) {
            if (k == h || k == other) continue;
            const int about = DaimyouAt(gs, k).GetRelationLo(other);
            if ((about == CDaimyou::kRelJuuzoku || about == CDaimyou::kRelShinjuu) && HouseExists(gs, k))
                SetBoth(gs, h, k, CDaimyou::kRelFusen);
        }
    }

    // 4. Sieges between the two sides. Lifting one siege changes no other castle's owner or
    //    besieger, so the castles besieged by the houses of either side, in table order, are
    //    all that need looking at.
    bool lifted = false;
    const auto lift = [&](int c) {
        const CShiro& s = ShiroAt(gs, c);
        if (s.besiegerDaimyou < 0) return;
        const int ownerTop = PeaceTop(gs, s.daimyou);
        const int besiegerTop = PeaceTop(gs, s.besiegerDaimyou);
        if ((ownerTop == a && besiegerTop == b) || (ownerTop == b && besiegerTop == a))
            lifted = LiftShiroHoui(gs, c) || lifted;
    };
    if (known && known->besiegedBy) {
        std::vector<int> castles;
        for (int h = 0; h < nDaimyou; ++h) {
            const int top = PeaceTop(gs, h);
            if (top != a && top != b) continue;
            const std::vector<int>& list = known->besiegedBy(h);
            castles.insert(castles.end(), list.begin(), list.end());
        }
        std::sort(castles.begin(), castles.end());
        castles.erase(std::unique(castles.begin(), castles.end()), castles.end());
        for (int c : castles)
            if (IsValidShiro(gs, c)) lift(c);
    } else {
        for (int c : ShiroIndexes(gs))
            lift(c);
    }
    if (lifted) gs.GunsenTable.CheckGunsen(gs, ports);

    // 5. Captives held between houses that are now bound.
    const auto release = [&](int g) {
        const CBushou& captive = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (captive.status != CBushou::kStatusHoryo || captive.daimyou == -1) return;
        const int holder = captive.holderDaimyou;
        const int former = captive.originDaimyou;
        if (!HouseExists(gs, holder) || !HouseExists(gs, former)) return;
        if (DaimyouAt(gs, holder).GetRelationLo(former) > CDaimyou::kRelNothing)
            ReleaseHoryo(gs, ports, g, true);
    };
    if (known && known->captives) {
        for (int g : *known->captives)
            if (IsValidBushou(gs, g)) release(g);
    } else {
        for (int g : BushouIndexes(gs))
            release(g);
    }

    // 6. The price of peace.
    if (!quiet) {
        const std::int64_t yield =
            known && known->kokudaka ? known->kokudaka(b) : SumKokudakaOfDaimyou(gs, b);
        // Wide: rice yields that events raised to the top of their range cost more than int holds.
        CDaimyou& payer = DaimyouAt(gs, a);
        const double left = static_cast<double>(payer.shikin) - std::trunc(0.1 * static_cast<double>(yield));
        payer.shikin = static_cast<std::int32_t>(std::clamp<double>(left, INT32_MIN, INT32_MAX));
    }
}

bool MakeJuuzoku(GameState& gs, const Ports& ports, int master, int daimyou, bool quiet) {
    if (!IsValidDaimyou(gs, master) || !IsValidDaimyou(gs, daimyou) || master == daimyou) return false;
    if (DaimyouAt(gs, master).bond != CDaimyou::kBondDokuritsu) return false;
    const int nDaimyou = DaimyouCount(gs);

    struct Member {
        int daimyou;
        bool wasVassal;
    };
    std::vector<Member> members;
    auto bind = [&](int d) {
        CDaimyou& h = DaimyouAt(gs, d);
        h.bond = CDaimyou::kBondJuuzoku;
        h.masterDaimyou = master;
        DaimyouAt(gs, master).SetRelationLo(d, CDaimyou::kRelJuuzokuMaster);
        h.SetRelationLo(master, CDaimyou::kRelJuuzoku);
    };
    // 2-3. The house and everything under it go under the new master.
    members.push_back({daimyou, false});
    bind(daimyou);
    for (int k = 0; k < nDaimyou; ++k) {
        if (k == master || k == daimyou) continue;
        const int about = DaimyouAt(gs, k).GetRelationLo(daimyou);
        if (about != CDaimyou::kRelJuuzoku && about != CDaimyou::kRelShinjuu) continue;
        members.push_back({k, DaimyouAt(gs, k).bond == CDaimyou::kBondShinjuu});
        bind(k);
    }

    // 4. Relations with every other house follow the master's.
    for (const Member& m : members) {
        for (int y = 0; y < nDaimyou; ++y) {
            if (y == master || y == m.daimyou) continue;
            const SpherePair p = JuuzokuPair(DaimyouAt(gs, master).GetRelationLo(y),
                                             DaimyouAt(gs, m.daimyou).GetRelationLo(y));
            DaimyouAt(gs, m.daimyou).SetRelationLo(y, p.memberAbout);
            DaimyouAt(gs, y).SetRelationLo(m.daimyou, p.aboutMember);
        }
    }

    // 5. Generals, fleets and sieges of the new members.
    if (!quiet) {
        const int nBushou = BushouCount(gs);
        const int nShiro = ShiroCount(gs);
        bool changed = false;
        for (const Member& m : members) {
            for (int g = 0; g < nBushou; ++g) {
                CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
                if (b.daimyou != m.daimyou) continue;
                if (b.status == CBushou::kStatusKyakushou) {
                    b.status = CBushou::kStatusKashin;
                    b.gundan = -1;
                }
                const bool besieging = (b.flags & CBushou::kFlagBesieging) != 0;
                bool place = false;
                if (besieging) {
                    place = m.wasVassal;
                } else {
                    place = b.shiro >= 0 && b.shiro < nShiro && ShiroAt(gs, b.shiro).daimyou != m.daimyou;
                }
                if (place && !RelocateBushou(gs, g, b.shiro, true, false)) RemoveBushouFromHoui(gs, g);
            }
            for (std::uint32_t i = 0; i < gs.GunsenTable.count; ++i) {
                const GunsenRecord& r = gs.GunsenTable.records[i];
                if (r.owner != m.daimyou || r.IsBlockade() || r.shiro < 0 || r.shiro >= nShiro) continue;
                if (ShiroAt(gs, r.shiro).daimyou == m.daimyou) continue;
                gs.GunsenTable.RelocateFleet(gs, static_cast<int>(i), r.shiro);
                changed = true;
            }
        }
        for (int c = 0; c < nShiro; ++c) {
            const CShiro& s = ShiroAt(gs, c);
            if (s.besiegerDaimyou < 0 || !IsValidDaimyou(gs, s.daimyou)) continue;
            if (DaimyouAt(gs, s.daimyou).GetRelationLo(s.besiegerDaimyou) > CDaimyou::kRelNothing)
                changed = LiftShiroHoui(gs, c) || changed;
        }
        if (changed) gs.GunsenTable.CheckGunsen(gs, ports);
    }

    // 6. Corps of the house whose leader has left it get a new leader.
    for (int k : GundanIndexes()) {
        const CGundan& corps = GundanAt(gs, k);
        if (corps.leader == CGundan::kLeaderFree || corps.daimyou != daimyou) continue;
        const int leader = corps.leader;
        const bool left = !IsValidBushou(gs, leader) || BushouAt(gs, leader).daimyou != daimyou;
        if (left) {
            SucceedGundanchou(gs, ports, k, IsValidBushou(gs, leader) ? BushouAt(gs, leader).name : "");
        }
    }
    return true;
}

bool MakeShinjuu(GameState& gs, int master, int daimyou) {
    if (!IsValidDaimyou(gs, master) || !IsValidDaimyou(gs, daimyou) || master == daimyou) return false;
    if (DaimyouAt(gs, master).bond != CDaimyou::kBondDokuritsu) return false;
    if (DaimyouAt(gs, daimyou).GetRelationLo(master) != CDaimyou::kRelJuuzoku) return false;
    const int nDaimyou = DaimyouCount(gs);

    // 2. A vassal keeps no corps of its own.
    DisbandGundanOfDaimyou(gs, daimyou);

    // 3. The bond.
    CDaimyou& h = DaimyouAt(gs, daimyou);
    h.bond = CDaimyou::kBondShinjuu;
    h.masterDaimyou = master;
    DaimyouAt(gs, master).SetRelationLo(daimyou, CDaimyou::kRelShinjuuMaster);
    h.SetRelationLo(master, CDaimyou::kRelShinjuu);

    // 4. Relations with every other house follow the master's.
    for (int y = 0; y < nDaimyou; ++y) {
        if (y == master || y == daimyou) continue;
        const SpherePair p = ShinjuuPair(DaimyouAt(gs, master).GetRelationLo(y), h.GetRelationLo(y));
        h.SetRelationLo(y, p.memberAbout);
        DaimyouAt(gs, y).SetRelationLo(daimyou, p.aboutMember);
    }
    return true;
}

bool NegotiateFusenDoumei(GameState& gs, const Ports& ports, int proposer, int target,
                          const FusenDoumeiKnown& known) {
    if (!IsValidDaimyou(gs, proposer) || !IsValidDaimyou(gs, target) || proposer == target) return false;
    CDaimyou& t = DaimyouAt(gs, target);
    if (t.bond != CDaimyou::kBondDokuritsu || t.GetRelationHi(proposer) != 0) return false;
    if (t.GetKind() == CDaimyou::kKindAinu) {
        MakePeace(gs, ports, proposer, target, false, known.peace);
        return true;
    }

    // The houses whose castles border the target's (vassals count as their master).
    const auto kokudaka = [&](int d) {
        return known.kokudaka ? known.kokudaka(d) : SumKokudakaOfDaimyou(gs, d);
    };
    std::vector<int> neighbours;
    const auto borders = [&](int c) {
        for (const ShiroConnection& link : ShiroMapAt(gs, c).connect) {
            if (link.shiro == 0xFFFF) break;
            if (!IsValidShiro(gs, link.shiro)) continue;
            const int other = GetCountedDaimyouOfShiro(gs, link.shiro);
            if (other == target || !IsValidDaimyou(gs, other)) continue;
            if (std::find(neighbours.begin(), neighbours.end(), other) == neighbours.end())
                neighbours.push_back(other);
        }
    };
    if (known.targetShiro) {
        for (int c : *known.targetShiro)
            borders(c);
    } else {
        for (int c : ShiroIndexes(gs))
            if (GetCountedDaimyouOfShiro(gs, c) == target) borders(c);
    }
    if (neighbours.size() < 2) return false;

    const bool otherEnemy = std::any_of(neighbours.begin(), neighbours.end(), [&](int n) {
        return n != proposer && t.GetRelationLo(n) < CDaimyou::kRelFusen;
    });
    if (!otherEnemy) {
        CSortList list(static_cast<int>(neighbours.size()));
        list.SetCount(0);
        for (int n : neighbours)
            list.Append(n, static_cast<std::int32_t>(std::min<std::int64_t>(kokudaka(n), INT32_MAX)));
        list.SortSmall();
        list.Randomize(gs.rng);
        if (list.Id(0) == proposer) return false;
    }

    const double mine = static_cast<double>(kokudaka(target));
    const double theirs = static_cast<double>(kokudaka(proposer));
    // A target without rice yield stands below any proposer that has some.
    const double p = mine > 0.0 ? theirs / mine * 0.5 : (theirs > 0.0 ? 1.0 : 0.0);
    if (gs.rng.Unit() <= p) {
        MakePeace(gs, ports, proposer, target, false, known.peace);
        return true;
    }
    return false;
}

void DissolveDaimyouBond(GameState& gs, const Ports& ports, int x, int y) {
    if (!IsValidDaimyou(gs, x) || !IsValidDaimyou(gs, y) || x == y) return;
    const int nDaimyou = DaimyouCount(gs);

    // 1-2. The bond itself.
    const int yAboutX = DaimyouAt(gs, y).GetRelationLo(x);
    const bool yAbove = yAboutX == CDaimyou::kRelJuuzokuMaster || yAboutX == CDaimyou::kRelShinjuuMaster;
    const int u = yAbove ? y : x;
    const int l = yAbove ? x : y;
    const int uAboutL = DaimyouAt(gs, u).GetRelationLo(l);
    if (uAboutL == CDaimyou::kRelJuuzokuMaster || uAboutL == CDaimyou::kRelShinjuuMaster) {
        const bool vassal = uAboutL == CDaimyou::kRelShinjuuMaster;
        if (DaimyouAt(gs, u).GetRelationHi(l) != CDaimyou::kNoCountdown)
            DaimyouAt(gs, u).SetRelationHi(l, 12);
        DaimyouAt(gs, l).bond = CDaimyou::kBondDokuritsu;
        DaimyouAt(gs, l).masterDaimyou = l;
        for (int z = 0; z < nDaimyou; ++z)
            ResetBoth(gs, l, z);
        for (int g : BushouIndexes(gs)) {
            CBushou& b = BushouAt(gs, g);
            if (b.daimyou != l) continue;
            b.status = CBushou::kStatusKashin;
            if (!vassal) continue;
            b.gundan = -1;
            if ((b.flags & CBushou::kFlagBesieging) && !RelocateBushou(gs, g, b.shiro, true, false))
                RemoveBushouFromHoui(gs, g);
        }
    } else {
        ResetBoth(gs, u, l);
    }

    // 3. The members of each sphere and the other side.
    for (int z = 0; z < nDaimyou; ++z) {
        if (!HouseExists(gs, z)) continue;
        if (z != u && IsMemberOf(gs, z, u)) {
            ResetBoth(gs, z, l);
            for (int k = 0; k < nDaimyou; ++k)
                if (k != l && HouseExists(gs, k) && IsMemberOf(gs, k, l)) ResetBoth(gs, z, k);
        }
        if (z != l && IsMemberOf(gs, z, l)) {
            ResetBoth(gs, u, z);
            for (int k = 0; k < nDaimyou; ++k)
                if (k != u && HouseExists(gs, k) && IsMemberOf(gs, k, u)) ResetBoth(gs, z, k);
        }
    }

    // 4. Generals left in castles of the other side.
    auto concerned = [&](int d) {
        return d == u || d == l || (d >= 0 && (PeaceTop(gs, d) == u || PeaceTop(gs, d) == l));
    };
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (!concerned(b.daimyou) || (b.flags & CBushou::kFlagBesieging) || !IsValidShiro(gs, b.shiro))
            continue;
        if (GetCountedDaimyouOfShiro(gs, b.shiro) == GetCountedDaimyou(gs, b.daimyou)) continue;
        if (!RelocateBushou(gs, g, b.shiro, true, false)) RemoveBushouFromHoui(gs, g);
    }

    // 5. Fleets likewise.
    bool moved = false;
    for (std::uint32_t i = 0; i < gs.GunsenTable.count; ++i) {
        const GunsenRecord& r = gs.GunsenTable.records[i];
        if (!concerned(r.owner) || r.IsBlockade() || !IsValidShiro(gs, r.shiro)) continue;
        if (GetCountedDaimyouOfShiro(gs, r.shiro) == GetCountedDaimyou(gs, r.owner)) continue;
        gs.GunsenTable.RelocateFleet(gs, static_cast<int>(i), r.shiro);
        moved = true;
    }
    if (moved) gs.GunsenTable.CheckGunsen(gs, ports);
}

void DeclareDokuritsu(GameState& gs, const Ports& ports, int daimyou) {
    if (!IsValidDaimyou(gs, daimyou)) return;
    const int master = DaimyouAt(gs, daimyou).masterDaimyou;
    if (DaimyouAt(gs, daimyou).bond == CDaimyou::kBondDokuritsu || master == daimyou ||
        !IsValidDaimyou(gs, master))
        return;
    DissolveDaimyouBond(gs, ports, master, daimyou);
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou != CBushou::kDaimyouHitojichi || b.status != CBushou::kStatusHitojichi ||
            b.originDaimyou != daimyou || b.holderDaimyou != master)
            continue;
        if (daimyou == gs.nPlayerDaimyou)
            ports.inform->Inform(FormatWithWords(gs.ScenarioWords, {ReplaceWordShokei},
                                                 "%s に人質となっていた %s は処刑されました",
                                                 DaimyouAt(gs, master).name.c_str(), b.name.c_str()));
        b.daimyou = CBushou::kDaimyouRounin;
    }
}

}  // namespace rymd
