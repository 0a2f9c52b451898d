#include "game/military/placement.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/bushou_table.h"
#include "game/state/game_state.h"
#include "game/state/house_index.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/succession.h"

namespace rymd {

namespace {

constexpr int kListRoom = CShiro::kMaxBushou;  // generals (and besiegers) a castle lists

// The ruling house a general counts for.
int RulerOfBushou(const GameState& gs, int bushou) {
    return GetCountedDaimyou(gs, BushouAt(gs, bushou).daimyou);
}

bool HasRoom(const CShiro& s) {
    return s.nBushou < kListRoom;
}
bool IsBesieged(const CShiro& s) {
    return s.nBesieger != 0;
}

// The castles linked to shiro, in the order of its connection list.
template <class Fn>
void ForEachLink(const GameState& gs, int shiro, Fn&& fn) {
    const ShiroMapRecord& m = ShiroMapAt(gs, shiro);
    for (const ShiroConnection& link : m.connect) {
        if (link.shiro == 0xFFFF) break;
        fn(static_cast<int>(link.shiro), static_cast<int>(link.kind));
    }
}

// Whether castle c takes generals retreating from a castle of the side: its own, not besieged,
// with room.
bool TakesRetreat(const GameState& gs, int side, int c) {
    const CShiro& s = ShiroAt(gs, c);
    return GetCountedDaimyouOfShiro(gs, c) == side && !IsBesieged(s) && HasRoom(s);
}

// Takes the general off the list of the castle he stands in (or besieges).
void LeaveShiro(GameState& gs, int bushou) {
    CBushou& b = BushouAt(gs, bushou);
    if (!IsValidShiro(gs, b.shiro)) return;
    CShiro& s = ShiroAt(gs, b.shiro);
    if (b.flags & CBushou::kFlagBesieging)
        s.RemoveBesieger(bushou);
    else
        s.RemoveBushou(bushou);
}

void AppendBushou(CShiro& s, int bushou) {
    if (s.nBushou < 0) s.nBushou = 0;
    if (!HasRoom(s)) return;
    s.bushou[static_cast<std::size_t>(s.nBushou)] = bushou;
    ++s.nBushou;
}

void AppendBesieger(CShiro& s, int bushou) {
    if (s.nBesieger < 0) s.nBesieger = 0;
    if (s.nBesieger >= kListRoom) return;
    s.besieger[static_cast<std::size_t>(s.nBesieger)] = bushou;
    ++s.nBesieger;
}

// Every mover ends here: off the old list, into the new castle (listed while it has room).
void MoveTo(GameState& gs, int bushou, int shiro) {
    LeaveShiro(gs, bushou);
    SetBushouShiro(gs, bushou, shiro);
    CBushou& b = BushouAt(gs, bushou);
    b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);
    AppendBushou(ShiroAt(gs, shiro), bushou);
}

std::string NameOfBushou(const GameState& gs, int bushou) {
    return IsValidBushou(gs, bushou) ? BushouAt(gs, bushou).name : std::string();
}
std::string NameOfDaimyou(const GameState& gs, int daimyou) {
    return IsValidDaimyou(gs, daimyou) ? DaimyouAt(gs, daimyou).name : std::string();
}
std::string NameOfShiro(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) ? ShiroMapAt(gs, shiro).name : std::string();
}

// The castles whose owner counts for the side, in table order, from the owners' lists of the
// houses that count for it; false without an index, for a side outside the house table or for a
// house newer than the index, whose castles only the whole table shows.
bool SideShiroFromOwners(const GameState& gs, int side, const ShiroOwnerIndex* owners,
                         std::vector<int>& out) {
    const int houses = DaimyouCount(gs);
    if (!owners || side < 0 || side >= houses) return false;
    out.clear();
    for (int h = 0; h < houses; ++h) {
        if (GetCountedDaimyou(gs, h) != side) continue;
        const std::vector<int>* list = owners->Of(h);
        if (!list) return false;  // a house newer than the index
        const std::size_t had = out.size();
        out.insert(out.end(), list->begin(), list->end());
        std::inplace_merge(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(had), out.end());
    }
    return true;
}

}  // namespace

// =============================================================================================
// Movers

bool MoveBushouToAdjacentShiro(GameState& gs, int bushou, int shiro, bool fallback) {
    if (!IsValidBushou(gs, bushou) || !IsValidShiro(gs, shiro)) return false;
    const int ruler = RulerOfBushou(gs, bushou);
    int found = -1;
    ForEachLink(gs, shiro, [&](int c, int) {
        if (found >= 0 || !IsValidShiro(gs, c)) return;
        const CShiro& s = ShiroAt(gs, c);
        if (GetCountedDaimyouOfShiro(gs, c) == ruler && !IsBesieged(s) && HasRoom(s)) found = c;
    });
    if (found < 0 && fallback) {
        ForEachLink(gs, shiro, [&](int c, int) {
            if (found >= 0 || !IsValidShiro(gs, c)) return;
            if (GetCountedDaimyouOfShiro(gs, c) == ruler && HasRoom(ShiroAt(gs, c))) found = c;
        });
    }
    if (found < 0) return false;
    MoveTo(gs, bushou, found);
    return true;
}

bool MoveBushouToFirstOwnShiro(GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return false;
    const int house = gs.BushouTbl[static_cast<std::size_t>(bushou)].daimyou;
    const int ruler = GetCountedDaimyou(gs, house);
    const int n = ShiroCount(gs);
    for (int c = 0; c < n; ++c) {
        const bool own =
            house < 0 ? ShiroAt(gs, c).daimyou == house : GetCountedDaimyouOfShiro(gs, c) == ruler;
        if (!own) continue;
        MoveTo(gs, bushou, c);
        return true;
    }
    return false;
}

void PlaceBushouInShiro(GameState& gs, int bushou, int shiro) {
    if (!IsValidBushou(gs, bushou) || !IsValidShiro(gs, shiro)) return;
    if (HasRoom(ShiroAt(gs, shiro))) {
        MoveTo(gs, bushou, shiro);
        return;
    }
    if (MoveBushouToAdjacentShiro(gs, bushou, shiro, true)) return;
    if (RelocateBushou(gs, bushou, shiro, true, false)) return;
    // Nowhere with room: he stays at the castle without being listed there.
    LeaveShiro(gs, bushou);
    SetBushouShiro(gs, bushou, shiro);
    CBushou& b = BushouAt(gs, bushou);
    b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);
}

bool RelocateBushou(GameState& gs, int bushou, int shiro, bool anyRoom, bool seaCostly,
                    const ShiroOwnerIndex* owners) {
    if (!IsValidBushou(gs, bushou)) return false;
    const int ruler = RulerOfBushou(gs, bushou);
    if (IsValidShiro(gs, shiro)) {
        const CShiro& s = ShiroAt(gs, shiro);
        if (GetCountedDaimyouOfShiro(gs, shiro) == ruler && !IsBesieged(s) && HasRoom(s)) {
            MoveTo(gs, bushou, shiro);
            return true;
        }
    }

    // The castles of his side, for the three passes: the first pass takes castles that are not
    // besieged and have room, the second any with room, the third (anyRoom) any at all. One scan
    // sorts them by the first pass that admits them.
    thread_local std::vector<std::int32_t> own;
    thread_local std::vector<std::uint8_t> ownPass;
    own.clear();
    ownPass.clear();
    int countOfPass[3] = {0, 0, 0};
    const auto consider = [&](int c, const CShiro& s) {
        const int first = !IsBesieged(s) && HasRoom(s) ? 0 : HasRoom(s) ? 1 : 2;
        if (first == 2 && !anyRoom) return;
        own.push_back(c);
        ownPass.push_back(static_cast<std::uint8_t>(first));
        for (int p = first; p < 3; ++p)
            ++countOfPass[p];
    };
    thread_local std::vector<int> sideShiro;
    if (SideShiroFromOwners(gs, ruler, owners, sideShiro)) {
        for (int c : sideShiro)
            consider(c, ShiroAt(gs, c));
    } else {
        // Whether each house counts for his side, worked out once for the scan: the scan then
        // reads no house record for each castle (on a large map those reads cost as much as the
        // castles').
        const int houses = DaimyouCount(gs);
        thread_local std::vector<std::uint8_t> ofSide;
        ofSide.resize(static_cast<std::size_t>(houses));
        for (int h = 0; h < houses; ++h)
            ofSide[static_cast<std::size_t>(h)] = GetCountedDaimyou(gs, h) == ruler ? 1 : 0;
        const auto countsForSide = [&](int owner) {
            return owner >= 0 && owner < houses ? ofSide[static_cast<std::size_t>(owner)] != 0
                                                : owner == ruler;
        };
        const int n = ShiroCount(gs);
        for (int c = 0; c < n; ++c) {
            PrefetchShiroAhead(gs, c);
            const CShiro& s = ShiroAt(gs, c);
            if (countsForSide(s.daimyou)) consider(c, s);
        }
    }
    int pass = 0;
    while (pass < 3 && countOfPass[pass] == 0)
        ++pass;
    if (pass == 3) return false;

    // The castles of the pass in table order; the nearest of them, or the first when there is
    // no castle to measure from.
    thread_local std::vector<int> candidates;
    candidates.clear();
    for (std::size_t i = 0; i < own.size(); ++i)
        if (ownPass[i] <= pass) candidates.push_back(own[i]);
    const int best =
        candidates.size() > 1 && IsValidShiro(gs, shiro)
            ? FindNearestShiro(gs, -1, shiro, candidates, seaCostly ? kRouteSeaCostly : kRouteAll)
            : candidates.front();
    if (best < 0) return false;
    MoveTo(gs, bushou, best);
    return true;
}

// =============================================================================================
// Retreat of a besieged castle's defenders

int RetreatRoom(const GameState& gs, int shiro) {
    if (!IsValidShiro(gs, shiro)) return 0;
    const int side = GetCountedDaimyouOfShiro(gs, shiro);
    std::vector<int> seen;
    int room = 0;
    ForEachLink(gs, shiro, [&](int c, int) {
        if (!IsValidShiro(gs, c) || c == shiro || std::find(seen.begin(), seen.end(), c) != seen.end())
            return;
        seen.push_back(c);
        if (TakesRetreat(gs, side, c)) room += kListRoom - std::max<int>(0, ShiroAt(gs, c).nBushou);
    });
    return room;
}

void RetreatBushouFromShiro(GameState& gs, const Ports& ports, int shiro, std::span<const int> generals,
                            bool messages) {
    if (!IsValidShiro(gs, shiro)) return;
    int ships = gs.GunsenTable.GetGunsenAtShiro(shiro);
    const int unit = HeiUnit(gs);

    struct Leaver {
        int bushou;
        int troops;
        bool moved = false;
        bool refused = false;  // no room for the ships at the castle he would have gone to
    };
    std::vector<Leaver> leavers;
    for (int g : generals) {
        if (!IsValidBushou(gs, g)) continue;
        bool listed = false;
        for (const Leaver& l : leavers)
            listed = listed || l.bushou == g;
        if (listed) continue;
        const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
        leavers.push_back({g, b.cavalry + b.foot});
    }
    std::stable_sort(leavers.begin(), leavers.end(),
                     [](const Leaver& a, const Leaver& b) { return a.troops > b.troops; });

    // Linked castles of the same side that can take generals; land links before sea links,
    // more free places before fewer.
    struct Candidate {
        int shiro;
        int key;
        bool seaOnly;
    };
    std::vector<Candidate> candidates;
    const int side = GetCountedDaimyouOfShiro(gs, shiro);
    ForEachLink(gs, shiro, [&](int c, int) {
        if (!IsValidShiro(gs, c) || c == shiro) return;
        for (const Candidate& k : candidates)
            if (k.shiro == c) return;
        const CShiro& s = ShiroAt(gs, c);
        if (!TakesRetreat(gs, side, c)) return;
        const bool seaOnly = GetShiroConnectType(gs, shiro, c) == kConnectSea;
        candidates.push_back({c, (kListRoom - s.nBushou) + (seaOnly ? 0 : 0x10000), seaOnly});
    });
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.key > b.key; });

    bool shortage = false;
    auto everyoneMoved = [&] {
        return std::all_of(leavers.begin(), leavers.end(), [](const Leaver& l) { return l.moved; });
    };
    for (const Candidate& cand : candidates) {
        if (everyoneMoved()) break;
        if (!cand.seaOnly) {
            for (Leaver& l : leavers) {
                if (l.moved) continue;
                if (!HasRoom(ShiroAt(gs, cand.shiro))) break;
                MoveTo(gs, l.bushou, cand.shiro);
                l.moved = true;
            }
            continue;
        }
        if (ships <= 0) {
            shortage = true;
            continue;
        }
        int load = 0;
        bool anyMoved = false;
        const int room = CGunsenTable::kShiroLimit - gs.GunsenTable.GetGunsenAtShiro(cand.shiro);
        for (Leaver& l : leavers) {
            if (l.moved) continue;
            // A castle whose list is full takes nobody more; he may still go elsewhere.
            if (!HasRoom(ShiroAt(gs, cand.shiro))) break;
            const long long need = (static_cast<long long>(load + l.troops) * unit + 999) / 1000;
            if (need > ships) {
                shortage = true;
                continue;
            }
            if (need <= room) {
                MoveTo(gs, l.bushou, cand.shiro);
                l.moved = true;
                load += l.troops;
                anyMoved = true;
            } else {
                l.refused = true;
            }
        }
        if (anyMoved) {
            const int carried =
                std::max(1, static_cast<int>((static_cast<long long>(load) * unit + 999) / 1000));
            gs.GunsenTable.MoveGunsen(shiro, -1, cand.shiro, carried);
            // The ships that sailed are no longer there for the next group.
            ships -= carried;
        }
    }

    if (!messages || gs.bAutoAdvance || gs.bAllAutomatic) return;
    const int player = gs.nPlayerDaimyou;
    const CShiro& s = ShiroAt(gs, shiro);
    if (s.besiegerDaimyou >= 0 && GetCountedDaimyou(gs, s.besiegerDaimyou) == player) {
        std::string lines;
        for (const Leaver& l : leavers) {
            if (!l.moved) continue;
            if (!lines.empty()) lines += "\n";
            lines += NameOfBushou(gs, l.bushou) + "は城から退却しました";
        }
        if (!lines.empty()) ports.inform->Inform(lines);
    }
    if (side == player) {
        if (shortage) ports.inform->Inform("軍船不足のため退却できない武将がいます");
        const bool refused = std::any_of(leavers.begin(), leavers.end(),
                                         [](const Leaver& l) { return l.refused && !l.moved; });
        if (refused) ports.inform->Inform("退却先の城の軍船数がオーバーするため退却できない武将がいます");
    }
}

// =============================================================================================
// Provisions and links

int GetHyourouMonths(const GameState& gs, int shiro, int besiegerTroops, int defenders) {
    if (!IsValidShiro(gs, shiro)) return 10000;
    const CShiro& s = ShiroAt(gs, shiro);
    if (besiegerTroops == -1 && !IsBesieged(s)) return 1000;
    if (s.hyourou < 1) return 1;
    const int strength = defenders == -1 ? s.GetDefenseStrength(gs) : defenders;
    if (strength <= 0) return 10000;
    return RoundUp(static_cast<double>(s.hyourou) / (static_cast<double>(strength) * HeiUnit(gs)));
}

int GetShiroConnectType(const GameState& gs, int a, int b) {
    if (!IsValidShiro(gs, a)) return kConnectNone;
    bool sea = false;
    int land = kConnectNone;
    ForEachLink(gs, a, [&](int c, int kind) {
        if (c != b) return;
        if (kind == kConnectSea)
            sea = true;
        else
            land = std::min(land, kind);
    });
    if (!sea) return land;
    switch (land) {
        case kConnectBroad: return kConnectBroadAndSea;
        case kConnectNarrow: return kConnectNarrowAndSea;
        case kConnectMountain: return kConnectMountainAndSea;
        default: return kConnectSea;
    }
}

// =============================================================================================
// Lifting a siege

bool LiftShiroHoui(GameState& gs, int shiro) {
    if (!IsValidShiro(gs, shiro)) return false;
    CShiro& s = ShiroAt(gs, shiro);
    const int nBesieger = std::clamp<int>(s.nBesieger, 0, kListRoom);
    if (nBesieger == 0) return false;

    // The troops going back to each castle the sorties came from, in order of first mention.
    struct Origin {
        int shiro;
        int troops;
    };
    std::vector<Origin> origins;
    const std::vector<int> besiegers(s.besieger.begin(), s.besieger.begin() + nBesieger);
    for (int g : besiegers) {
        if (!IsValidBushou(gs, g)) continue;
        CBushou& b = BushouAt(gs, g);
        const int origin = b.sortieOrigin;
        auto it =
            std::find_if(origins.begin(), origins.end(), [&](const Origin& o) { return o.shiro == origin; });
        if (it == origins.end())
            origins.push_back({origin, b.cavalry + b.foot});
        else
            it->troops += b.cavalry + b.foot;
        // Without a castle of origin the search for his nearest castle starts from the siege.
        const int home = IsValidShiro(gs, origin) ? origin : shiro;
        const bool placed = RelocateBushou(gs, g, home, true, false);
        BushouAt(gs, g).sortieShiro = -1;
        if (!placed) RemoveBushouFromHoui(gs, g);
    }
    if (ShiroAt(gs, shiro).nBesieger == 0) ShiroAt(gs, shiro).besiegerDaimyou = -1;

    // The blockade ships carry the troops home where only the sea links them, the rest return
    // to their owners' nearest castles.
    int n = gs.GunsenTable.GetBlockadeGunsenAtShiro(shiro);
    const int unit = HeiUnit(gs);
    std::vector<int> seaOrigins;
    for (const Origin& o : origins) {
        if (!IsValidShiro(gs, o.shiro) || GetShiroConnectType(gs, shiro, o.shiro) != kConnectSea) continue;
        seaOrigins.push_back(o.shiro);
        const long long need = (static_cast<long long>(o.troops) * unit + 999) / 1000;
        const int share = static_cast<int>(std::min<long long>(n, need));
        gs.GunsenTable.WithdrawBlockade(gs, shiro, -1, o.shiro, share);
        n -= share;
    }
    const int k = static_cast<int>(seaOrigins.size());
    if (n > 0) {
        for (int j = 0; j < k; ++j) {
            const int share = n / (k - j);
            gs.GunsenTable.WithdrawBlockade(gs, shiro, -1, seaOrigins[static_cast<std::size_t>(j)], share);
            n -= share;
        }
    }
    if (n >= 1) gs.GunsenTable.WithdrawBlockade(gs, shiro, -1, shiro, n);
    return true;
}

// =============================================================================================
// Repair

void RepairBushouLocations(GameState& gs, const Ports& ports) {
    const int nShiro = ShiroCount(gs);
    for (int c = 0; c < nShiro; ++c) {
        CShiro& s = ShiroAt(gs, c);
        s.nBushou = 0;
        s.nBesieger = 0;
        s.bushou.fill(0);
        s.besieger.fill(0);
        s.besiegerDaimyou = -1;
        s.blockadeDaimyou = -1;
    }

    // The generals who leave the table keep their slots (as masterless generals, listed
    // nowhere) until the walk ends, and then leave it together: one renumbering of the stored
    // indexes instead of one a general.
    std::vector<std::uint8_t> erased;
    for (int g = 0; g < BushouCount(gs);) {
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou == CBushou::kDaimyouRounin) {
            RemoveBushou(gs, ports, g++, &erased);
            continue;
        }
        if (b.daimyou == CBushou::kDaimyouFree) {
            ArchiveBushou(gs, ports, g++, &erased);
            continue;
        }
        if (b.daimyou < 0) {  // held as captive or hostage: not stationed anywhere
            ++g;
            continue;
        }
        const int ruler = GetCountedDaimyou(gs, b.daimyou);
        if ((b.flags & CBushou::kFlagBesieging) && IsValidShiro(gs, b.shiro)) {
            CShiro& s = ShiroAt(gs, b.shiro);
            AppendBesieger(s, g);
            s.besiegerDaimyou = static_cast<std::int16_t>(ruler);
            ++g;
            continue;
        }
        // A besieger without a castle to besiege is an ordinary general without a place.
        b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);
        if (IsValidShiro(gs, b.shiro) && GetCountedDaimyouOfShiro(gs, b.shiro) == ruler) {
            AppendBushou(ShiroAt(gs, b.shiro), g);
            ++g;
            continue;
        }

        const int house = b.daimyou;
        const int castle = b.shiro;
        if (HouseHasHead(gs, house) && !gs.bAllAutomatic) {
            const int owner = IsValidShiro(gs, castle) ? ShiroAt(gs, castle).daimyou : -1;
            ports.inform->Inform("Debug Message : " + b.name + "の所属大名 " + NameOfDaimyou(gs, house) +
                                 "(主家:" + NameOfDaimyou(gs, ruler) + ")と現在いる城(" +
                                 NameOfShiro(gs, castle) + ")の所有大名 " + NameOfDaimyou(gs, owner) +
                                 "(主家:" + NameOfDaimyou(gs, GetCountedDaimyou(gs, owner)) +
                                 ")が食い違っていますので武将を強制移動します");
        }
        if (RelocateBushou(gs, g, castle, true, false)) {
            ++g;
            continue;
        }
        if (HouseHasHead(gs, house) && !gs.bAutoAdvance && !gs.bAllAutomatic)
            ports.inform->Inform("Debug Message : 移動可能な城が無いので" + BushouAt(gs, g).name +
                                 "は削除されました");
        RemoveBushou(gs, ports, g++, &erased);
    }
    EraseBushouRecords(gs, erased);

    // Blockades only stand while the castle is besieged.
    for (std::uint32_t i = 0; i < gs.GunsenTable.count && i < CGunsenTable::kMaxRecord; ++i) {
        const GunsenRecord r = gs.GunsenTable.records[i];
        if (!r.IsBlockade() || r.ships == 0 || !IsValidShiro(gs, r.shiro)) continue;
        CShiro& s = ShiroAt(gs, r.shiro);
        if (s.nBesieger == 0)
            gs.GunsenTable.WithdrawBlockade(gs, r.shiro, -1, r.shiro, 10000);
        else
            s.blockadeDaimyou = s.besiegerDaimyou;
    }
}

// =============================================================================================
// Sieges and guests

void RemoveBushouFromHoui(GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return;
    CBushou& b = BushouAt(gs, bushou);
    if (IsValidShiro(gs, b.shiro)) {
        CShiro& s = ShiroAt(gs, b.shiro);
        if (b.flags & CBushou::kFlagBesieging)
            s.RemoveBesieger(bushou);
        else
            s.RemoveBushou(bushou);
    }
    // A head who leaves his house leaves it without a head; the succession at the end of the war
    // phase gives it a new one, or ends it when it has nothing left.
    if (IsValidDaimyou(gs, b.daimyou) && DaimyouAt(gs, b.daimyou).toushu == bushou)
        DaimyouAt(gs, b.daimyou).toushu = -2;
    b.daimyou = CBushou::kDaimyouRounin;
    b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);
}

void AppointKyakushou(GameState& gs, int bushou) {
    if (bushou < 0 || bushou >= BushouCount(gs)) return;
    CBushou& b = gs.BushouTbl[static_cast<std::size_t>(bushou)];
    if (b.status == CBushou::kStatusHitojichi) {
        b.moveShiro = -1;
        b.sortieShiro = -1;
        if (!HouseExists(gs, b.daimyou)) {
            // His own house is gone: he serves the house that held him.
            b.daimyou = b.holderDaimyou;
            b.status = CBushou::kStatusKashin;
            RelocateBushou(gs, bushou, b.shiro, true, false);
            return;
        }
        RelocateBushou(gs, bushou, b.shiro, true, false);
    }
    // One guest general per house: an earlier guest steps down and hands over his troops.
    const int n = BushouCount(gs);
    for (int g = 0; g < n; ++g) {
        if (g == bushou) continue;
        CBushou& other = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (other.daimyou != b.daimyou || other.status != CBushou::kStatusKyakushou) continue;
        std::swap(other.cavalry, b.cavalry);
        std::swap(other.foot, b.foot);
        std::swap(other.muskets, b.muskets);
        other.status = CBushou::kStatusKashin;
        break;
    }
    b.status = CBushou::kStatusKyakushou;
}

}  // namespace rymd
