#include "game/diplomacy/bonds.h"

#include <algorithm>
#include <string>
#include <vector>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/military/placement.h"
#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"
#include "game/state/policy.h"
#include "game/state/succession.h"

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

// Not built yet: the release of a captive by treaty (ReleaseHoryo) arrives with the captive
// rules. Until then the captive stays held.
void ReleaseHoryoNotBuiltYet(GameState&, const Ports&, int /*bushou*/, bool /*byTreaty*/) {}

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

void MakePeace(GameState& gs, const Ports& ports, int a, int b, bool quiet) {
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
            if (k == h || k == other || !HouseExists(gs, k)) continue;
            const int about = DaimyouAt(gs, k).GetRelationLo(other);
            if (about == CDaimyou::kRelJuuzoku || about == CDaimyou::kRelShinjuu)
                SetBoth(gs, h, k, CDaimyou::kRelFusen);
        }
    }

    // 4. Sieges between the two sides.
    bool lifted = false;
    const int nShiro = ShiroCount(gs);
    for (int c = 0; c < nShiro; ++c) {
        const CShiro& s = gs.ShiroTbl[static_cast<std::size_t>(c)];
        if (s.besiegerDaimyou < 0) continue;
        const int ownerTop = PeaceTop(gs, s.daimyou);
        const int besiegerTop = PeaceTop(gs, s.besiegerDaimyou);
        if ((ownerTop == a && besiegerTop == b) || (ownerTop == b && besiegerTop == a))
            lifted = LiftShiroHoui(gs, c) || lifted;
    }
    if (lifted) gs.GunsenTable.CheckGunsen(gs, ports);

    // 5. Captives held between houses that are now bound.
    const int nBushou = BushouCount(gs);
    for (int g = 0; g < nBushou; ++g) {
        const CBushou& captive = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (captive.status != CBushou::kStatusHoryo || captive.daimyou == -1) continue;
        const int holder = captive.holderDaimyou;
        const int former = captive.originDaimyou;
        if (!HouseExists(gs, holder) || !HouseExists(gs, former)) continue;
        if (DaimyouAt(gs, holder).GetRelationLo(former) > CDaimyou::kRelNothing)
            ReleaseHoryoNotBuiltYet(gs, ports, g, true);
    }

    // 6. The price of peace.
    if (!quiet)
        DaimyouAt(gs, a).shikin -=
            static_cast<std::int32_t>(0.1 * static_cast<double>(SumKokudakaOfDaimyou(gs, b)));
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
                    place = b.shiro >= 0 && b.shiro < nShiro &&
                            gs.ShiroTbl[static_cast<std::size_t>(b.shiro)].daimyou != m.daimyou;
                }
                if (place && !RelocateBushou(gs, g, b.shiro, true, false))
                    RemoveBushouFromHoui(gs, g);
            }
            for (std::uint32_t i = 0; i < gs.GunsenTable.count; ++i) {
                const GunsenRecord& r = gs.GunsenTable.records[i];
                if (r.owner != m.daimyou || r.IsBlockade() || r.shiro < 0 || r.shiro >= nShiro) continue;
                if (gs.ShiroTbl[static_cast<std::size_t>(r.shiro)].daimyou == m.daimyou) continue;
                gs.GunsenTable.RelocateFleet(gs, static_cast<int>(i), r.shiro);
                changed = true;
            }
        }
        for (int c = 0; c < nShiro; ++c) {
            const CShiro& s = gs.ShiroTbl[static_cast<std::size_t>(c)];
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
    for (int k : GundanIndexes()) {
        const CGundan& corps = GundanAt(gs, k);
        if (corps.leader != CGundan::kLeaderFree && corps.daimyou == daimyou) DisbandGundan(gs, k);
    }

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

}  // namespace rymd
