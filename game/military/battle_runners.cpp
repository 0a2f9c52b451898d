#include "game/military/battle_runners.h"

#include <algorithm>
#include <cmath>

#include "game/military/battle_common.h"
#include "game/military/placement.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"

namespace rymd {

using namespace battle;

namespace {

void FillArmy(const GameState& gs, std::span<const int> army, int& count, std::array<int, 20>& out) {
    count = 0;
    for (int g : army) {
        if (count >= 20) break;
        if (IsValidBushou(gs, g)) out[static_cast<std::size_t>(count++)] = g;
    }
}

void FillUnits(const GameState& gs, std::span<const int> ids, int& count, std::array<int, 20>& out) {
    count = 0;
    for (int u : ids) {
        if (count >= 20) break;
        const bool ok = (u & kGarrisonBit) ? IsValidShiro(gs, u & 0x7FFF) : IsValidBushou(gs, u);
        if (ok) out[static_cast<std::size_t>(count++)] = u;
    }
}

int Swapped(int result) {
    return result == 1 ? 2 : result == 2 ? 1 : result;
}

}  // namespace

bool IsRefugeFor(const GameState& gs, int refuge, int house) {
    if (refuge == house || !IsValidDaimyou(gs, refuge)) return false;
    const CDaimyou& d = gs.DaimyouTbl[static_cast<std::size_t>(refuge)];
    return d.toushu >= 0 && d.GetRelationLo(house) > CDaimyou::kRelNothing;
}

bool CBattleRunner::PlaysInPerson() const {
    return !gs_.bAutoAdvance && !gs_.bAllAutomatic;
}

bool CBattleRunner::OwnTroopsOnLand(int house, std::span<const int> army) const {
    if (house != gs_.nPlayerDaimyou) return false;
    if (army.empty()) return true;
    return std::any_of(army.begin(), army.end(),
                       [&](int g) { return IsValidBushou(gs_, g) && BushouAt(gs_, g).gundan == -1; });
}

bool CBattleRunner::OwnTroopsAtSea(int house, std::span<const int> ids) const {
    if (house != gs_.nPlayerDaimyou) return false;
    if (ids.size() == 1 && (ids[0] & kGarrisonBit)) return true;
    bool anyGeneral = false;
    for (int u : ids) {
        if (u & kGarrisonBit) continue;
        anyGeneral = true;
        if (IsValidBushou(gs_, u) && BushouAt(gs_, u).gundan == -1) return true;
    }
    return !anyGeneral && ids.empty();
}

int CBattleRunner::RunYasen(int place, int otherPlace, std::span<const int> armyA, int shiroA,
                            std::span<const int> armyB, int shiroB, int mode,
                            const std::array<int, 2>& provinces) {
    auto sideHouse = [&](std::span<const int> army, int shiro) {
        for (int g : army)
            if (IsValidBushou(gs_, g)) return EffectiveHouseOfBushou(gs_, g);
        return EffectiveOwner(gs_, shiro);
    };
    const int houseA = sideHouse(armyA, shiroA);
    const int houseB = sideHouse(armyB, shiroB);

    auto fill = [&](CYasen& y, bool swap) {
        y.fates = &fatesText;
        y.attacker = mode == 1 ? (swap ? 2 : 1) : 0;
        FillArmy(gs_, swap ? armyB : armyA, y.count[0], y.generals[0]);
        FillArmy(gs_, swap ? armyA : armyB, y.count[1], y.generals[1]);
        y.castle = swap ? std::array<int, 2>{shiroB, shiroA} : std::array<int, 2>{shiroA, shiroB};
        y.province = provinces;
    };

    if (PlaysInPerson()) {
        const bool aIsPlayer = OwnTroopsOnLand(houseA, armyA);
        const bool bIsPlayer = !aIsPlayer && OwnTroopsOnLand(houseB, armyB);
        if (aIsPlayer || bIsPlayer) {
            CYasen battle(gs_);
            fill(battle, bIsPlayer);
            battle.playerBattle = true;
            YasenSession session{battle, place, otherPlace, mode == 1 ? (aIsPlayer ? 1 : 2) : 0, -1};
            if (ports_.play->PlayYasen(session)) return aIsPlayer ? session.result : Swapped(session.result);
        }
    }

    CYasen battle(gs_);
    fill(battle, false);
    battle.Setup();
    for (int step = 0; step < kMaxSteps; ++step) {
        const int result = battle.AutoStep();
        if (result != CYasen::kOngoing) return result;
    }
    return 0;
}

int CBattleRunner::RunKaisen(int shiro, int otherShiro, int houseA, int shipsA, std::span<const int> idsA,
                             int houseB, int shipsB, std::span<const int> idsB, int mode, bool noDialog) {
    if (shipsB <= 0 || idsB.empty()) return 1;
    if (shipsA <= 0 || idsA.empty()) return 2;

    auto fill = [&](CKaisen& k, bool swap) {
        k.attacker = mode == 1 ? (swap ? 2 : 1) : 0;
        FillUnits(gs_, swap ? idsB : idsA, k.count[0], k.units[0]);
        FillUnits(gs_, swap ? idsA : idsB, k.count[1], k.units[1]);
        k.ships = swap ? std::array<int, 2>{shipsB, shipsA} : std::array<int, 2>{shipsA, shipsB};
        k.castles = {shiro, otherShiro};
    };

    if (!noDialog && PlaysInPerson()) {
        const bool aIsPlayer = OwnTroopsAtSea(houseA, idsA);
        const bool bIsPlayer = !aIsPlayer && OwnTroopsAtSea(houseB, idsB);
        if (aIsPlayer || bIsPlayer) {
            CKaisen battle(gs_);
            fill(battle, bIsPlayer);
            KaisenSession session{
                battle,
                shiro,
                otherShiro,
                aIsPlayer ? std::array<int, 2>{houseA, houseB} : std::array<int, 2>{houseB, houseA},
                mode == 1 ? (aIsPlayer ? 1 : 2) : 0,
                -1};
            if (ports_.play->PlayKaisen(session)) return aIsPlayer ? session.result : Swapped(session.result);
        }
    }

    CKaisen battle(gs_);
    fill(battle, false);
    // Units that name nothing leave a side empty: it has not fought.
    if (battle.count[1] == 0) return 1;
    if (battle.count[0] == 0) return 2;
    battle.Setup();
    for (int step = 0; step < kMaxSteps; ++step) {
        const int result = battle.AutoStep();
        if (result != CKaisen::kOngoing) return result;
    }
    return 0;
}

void CBattleRunner::LeavePlay(int g, int house, bool isHead) {
    // He flees the country: the largest houses not hostile to his may take him in later.
    CBushou& b = BushouAt(gs_, g);
    std::vector<std::pair<long long, int>> refuges;
    for (int h = 0; h < DaimyouCount(gs_); ++h)
        if (IsRefugeFor(gs_, h, house)) refuges.emplace_back(SumKokudakaOfDaimyou(gs_, h), h);
    std::stable_sort(refuges.begin(), refuges.end(),
                     [](const auto& x, const auto& y) { return x.first > y.first; });
    for (std::size_t i = 0; i < b.joinDaimyou.size(); ++i)
        b.joinDaimyou[i] =
            i < refuges.size() ? static_cast<std::int16_t>(refuges[i].second) : std::int16_t{-1};
    b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);
    b.daimyou = CBushou::kDaimyouFree;
    b.gundan = -1;
    if (isHead) gs_.DaimyouTbl[static_cast<std::size_t>(house)].toushu = -2;
    fatesText += HouseName(gs_, house) + "の" + b.name + "は城から落ち延びて行きました\n";
}

void CBattleRunner::DecideBushouFate(std::span<const int> ids) {
    captives.clear();
    if (ids.empty() || !IsValidBushou(gs_, ids[0])) return;
    const int castle = BushouAt(gs_, ids[0]).shiro;
    const bool castleValid = IsValidShiro(gs_, castle);
    const int victor = castleValid ? EffectiveOwner(gs_, castle) : -1;
    const double v = castleValid ? ShiroAt(gs_, castle).GetWeightedDefenseStrength(gs_) : 0.0;
    const int sk = gs_.nSeppukuKakuritsu;
    const ScenarioWordArray& words = gs_.ScenarioWords;

    for (int g : ids) {
        if (!IsValidBushou(gs_, g)) continue;
        CBushou& b = BushouAt(gs_, g);
        if (b.daimyou < 0) continue;
        const int house = b.daimyou;
        const bool isHead =
            IsValidDaimyou(gs_, house) && gs_.DaimyouTbl[static_cast<std::size_t>(house)].toushu == g;
        const bool hasRecord = b.id >= 0;

        const bool escaped = MoveBushouToAdjacentShiro(gs_, g, castle, false);
        const double keep = escaped ? 0.7 : 0.3;
        b.cavalry = ToField(static_cast<long long>(b.cavalry * keep));
        b.foot = ToField(static_cast<long long>(b.foot * keep));
        b.muskets = ToField(static_cast<long long>(b.muskets * keep));
        CutMuskets(b);
        const double s = 3.0 * b.cavalry + b.foot;
        double free = 1.0;
        double survive = 1.0;
        if (v > 0.0) {
            free = escaped ? s / v * 3.0 + 0.7 : s / v * 1.0 + 0.3;
            survive = sk < 1 ? 1.0 : std::pow(escaped ? 0.9 : 0.7, sk / 5.0) + s / v * 5.0;
        }

        if (!escaped && !RelocateBushou(gs_, g, castle, false, false, owners_) && hasRecord &&
            gs_.rng.Unit() < (isHead ? 0.6 : 0.25)) {
            LeavePlay(g, house, isHead);
            continue;
        }

        // A certain survival needs no luck.
        if (hasRecord && (gs_.rng.Unit() < survive || survive >= 1.0)) {
            if (gs_.rng.Unit() < free) {
                // Left free, he never stays in the castle his house has lost: he goes to his
                // house's nearest castle, or leaves the country when it holds none.
                if (b.shiro == castle && GetCountedDaimyou(gs_, house) != victor &&
                    !RelocateBushou(gs_, g, castle, true, false, owners_))
                    LeavePlay(g, house, isHead);
                continue;
            }
            captives.push_back(g);
            if (horyo_) horyo_->TakeHoryo(victor, g);
            continue;
        }
        b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);
        if (isHead) gs_.DaimyouTbl[static_cast<std::size_t>(house)].toushu = -2;
        fatesText += ReplaceWordSeppuku(HouseName(gs_, house) + "の" + b.name + "は切腹しました\n", words);
        if (IsValidShiro(gs_, b.shiro)) ShiroAt(gs_, b.shiro).RemoveBushou(g);
        b.daimyou = CBushou::kDaimyouRounin;
    }

    for (int g : ids)
        if (IsValidBushou(gs_, g) && BushouAt(gs_, g).daimyou < 0) MoveBushouToFirstOwnShiro(gs_, g);

    if (captives.empty()) return;
    const bool playerWon = victor == gs_.nPlayerDaimyou && !gs_.bSpectator;
    if (playerWon) {
        // During the automatic advance they stay captives until the player decides.
        if (PlaysInPerson() && horyo_) horyo_->SurrenderedGenerals(captives);
        return;
    }
    for (int g : captives) {
        const CBushou& b = BushouAt(gs_, g);
        if (horyo_ && horyo_->CanEmployHoryo(g) && horyo_->EmployHoryo(g))
            fatesText +=
                b.name + "は" + HouseName(gs_, GetCountedDaimyou(gs_, b.daimyou)) + "の家臣になりました\n";
        else
            fatesText += b.name + "は" + HouseName(gs_, victor) + "の捕虜になりました\n";
    }
}

void CBattleRunner::WithdrawBushou(int house, int shiro, std::span<const int> ids, bool bySea) {
    if (!IsValidShiro(gs_, shiro)) return;
    struct Group {
        int shiro;
        long long troops;
    };
    std::vector<Group> groups;
    for (int g : ids) {
        if (!IsValidBushou(gs_, g)) continue;
        CBushou& b = BushouAt(gs_, g);
        int home = b.sortieOrigin;
        if (bySea && !OnWaterway(gs_, home)) {
            const int side = EffectiveHouseOfBushou(gs_, g);
            for (const ShiroConnection& link : ShiroMap(gs_, shiro).connect) {
                if (link.shiro == 0xFFFF) break;
                const int c = link.shiro;
                if (IsValidShiro(gs_, c) && EffectiveOwner(gs_, c) == side && OnWaterway(gs_, c) &&
                    ShiroAt(gs_, c).nBushou < CShiro::kMaxBushou) {
                    home = c;
                    break;
                }
            }
        }
        auto it = std::find_if(groups.begin(), groups.end(), [&](const Group& x) { return x.shiro == home; });
        if (it == groups.end()) groups.push_back({home, 0}), it = groups.end() - 1;
        it->troops += b.cavalry + b.foot;

        // A general whose side holds no castle to take him back leaves the siege houseless.
        if (!RelocateBushou(gs_, g, home, false, false, owners_)) RemoveBushouFromHoui(gs_, g);
        b.sortieShiro = -1;
        b.flags = static_cast<std::uint16_t>(b.flags | CBushou::kFlagNotDefending);
        b.sortieOrigin = static_cast<std::int16_t>(shiro);
    }

    CShiro& s = ShiroAt(gs_, shiro);
    if (s.blockadeDaimyou < 0 || s.blockadeDaimyou != house) return;
    int remaining = gs_.GunsenTable.GetBlockadeGunsenAtShiro(shiro);
    const long long unit = HeiUnit(gs_);
    std::vector<int> seaHomes;
    for (const Group& grp : groups) {
        if (!IsValidShiro(gs_, grp.shiro) || GetShiroConnectType(gs_, shiro, grp.shiro) != kConnectSea)
            continue;
        seaHomes.push_back(grp.shiro);
        const int need = static_cast<int>(std::min<long long>((grp.troops * unit + 999) / 1000, remaining));
        if (need > 0) gs_.GunsenTable.WithdrawBlockade(gs_, shiro, -1, grp.shiro, need);
        remaining -= std::max(0, need);
    }
    for (std::size_t i = 0; i < seaHomes.size() && remaining > 0; ++i) {
        const int share = remaining / static_cast<int>(seaHomes.size() - i);
        if (share > 0) gs_.GunsenTable.WithdrawBlockade(gs_, shiro, -1, seaHomes[i], share);
        remaining -= share;
    }
    if (remaining > 0) gs_.GunsenTable.WithdrawBlockade(gs_, shiro, -1, shiro, remaining);
    s.blockadeDaimyou = -1;
}

void CBattleRunner::EndBlockade(int shiro) {
    if (!IsValidShiro(gs_, shiro)) return;
    gs_.GunsenTable.WithdrawBlockade(gs_, shiro, -1, shiro, gs_.GunsenTable.GetBlockadeGunsenAtShiro(shiro));
    ShiroAt(gs_, shiro).blockadeDaimyou = -1;
}

void CBattleRunner::CheckWithdrawn(int shiro, int house) {
    for (int g = 0; g < BushouCount(gs_); ++g)
        ReportIfLeft(g, shiro, house);
}

void CBattleRunner::CheckWithdrawn(int shiro, int house, std::span<const int> candidates) {
    for (int g : candidates)
        if (IsValidBushou(gs_, g)) ReportIfLeft(g, shiro, house);
}

void CBattleRunner::ReportIfLeft(int bushou, int shiro, int house) {
    const CBushou& b = BushouAt(gs_, bushou);
    if (b.shiro != shiro || !(b.flags & CBushou::kFlagBesieging) ||
        EffectiveHouseOfBushou(gs_, bushou) != house)
        return;
    ports_.inform->Inform("Debug Message : 撤退したはずの武将が残っています " + ShiroName(gs_, shiro) + " " +
                          HouseName(gs_, house));
}

}  // namespace rymd
