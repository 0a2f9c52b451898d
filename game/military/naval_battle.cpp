#include "game/military/naval_battle.h"

#include <algorithm>
#include <cmath>

#include "game/military/battle_common.h"
#include "game/state/queries.h"

namespace rymd {

using namespace battle;

int CKaisen::Soldiers(int u) const {
    if (u & kGarrisonBit) {
        const int c = u & 0x7FFF;
        return IsValidShiro(gs_, c) ? std::max<int>(0, ShiroAt(gs_, c).shubihei) : 0;
    }
    return IsValidBushou(gs_, u) ? std::max(0, BushouAt(gs_, u).cavalry + BushouAt(gs_, u).foot) : 0;
}

std::array<int, 2> CKaisen::GetTotalSoldiers() const {
    std::array<int, 2> out{};
    for (int s = 0; s < 2; ++s)
        for (int i = 0; i < count[s]; ++i)
            out[s] += Soldiers(units[s][i]);
    return out;
}

double CKaisen::GetPower(int side) const {
    double p = 0.0;
    for (int i = 0; i < count[side]; ++i) {
        const int u = units[side][i];
        if (u & kGarrisonBit)
            p += static_cast<double>(Soldiers(u)) * (commanderAbility[side] + 13);
        else if (IsValidBushou(gs_, u))
            p += static_cast<double>(Soldiers(u)) * (BushouAt(gs_, u).buyuu + commanderAbility[side] + 10);
    }
    return p;
}

void CKaisen::Setup() {
    auto rainAt = [&](int c) {
        if (!IsValidShiro(gs_, c)) return false;
        const int kuni = ShiroMap(gs_, c).kuni;
        return kuni < GameState::kMaxKuni &&
               (gs_.KuniEventFlags[static_cast<std::size_t>(kuni)] & kKuniFlagNoTeppou) != 0;
    };
    rain = rainAt(castles[0]) || (castles[1] != -1 && rainAt(castles[1]));
    positions = {2, 7};
    turn = 0;
    morale = {kMaxMorale, kMaxMorale};
    trialMorale = morale;
    for (int s = 0; s < 2; ++s) {
        count[s] = std::clamp(count[s], 0, kMaxUnits);
        int best = 0;
        int place = 0;
        for (int i = 0; i < count[s]; ++i) {
            const int u = units[s][i];
            const bool general = !(u & kGarrisonBit) && IsValidBushou(gs_, u);
            const int value = general ? BushouAt(gs_, u).suigunTousotsu : 0;
            if (value > best || (value == best && general)) {
                best = value;
                place = i;
            }
        }
        commanderAbility[s] = 0;
        sideNames[s].clear();
        if (count[s] == 0) continue;
        std::swap(units[s][0], units[s][place]);
        const int u = units[s][0];
        if (u & kGarrisonBit) {
            sideNames[s] = ShiroName(gs_, u & 0x7FFF) + "守備兵";
        } else if (IsValidBushou(gs_, u)) {
            sideNames[s] = BushouAt(gs_, u).name;
            commanderAbility[s] = BushouAt(gs_, u).suigunTousotsu;
        }
    }
}

void CKaisen::FireBombs(int attackMask, bool trial) {
    const int gap = positions[1] - positions[0] - 1;
    // Fleets that closed to adjacent cells in the same turn are too near for fire bombs.
    if (gap <= 0) return;
    const double range = 1.0 / std::pow(2.0, gap - 1);
    int hit = 0;
    for (int s = 0; s < 2; ++s) {
        if (!(attackMask & (1 << s))) continue;
        const int t = 1 - s;
        const double ratio = ships[t] > 0 ? static_cast<double>(ships[s]) / ships[t] : 100000.0;
        const double base = std::pow(ratio + 1.0, 0.9) - 1.0;
        const int loss = Round(base * 50.0 * range * (gs_.rng.Unit() + 0.5));
        int& m = trial ? trialMorale[t] : morale[t];
        m = std::max(0, m - loss);
        if (trial) continue;
        hit |= 1 << t;
        const int n = GetTotalSoldiers()[t];
        const double total = ships[t] > 0
                                 ? base * (gs_.rng.Unit() * 0.2 + 0.9) *
                                       (static_cast<double>(n) * HeiUnit(gs_) / ships[t] / 1000.0) * range
                                 : 0.0;
        int order[kMaxUnits];
        for (int i = 0; i < count[t]; ++i)
            order[i] = i;
        ShuffleEqual(gs_.rng, order, count[t]);
        double counted = 0.0;
        for (int k = 0; k < count[t]; ++k) {
            const int u = units[t][order[k]];
            const int have = Soldiers(u);
            if (have <= 0 || n <= 0) continue;
            double share = static_cast<double>(have) / n * total;
            if (counted + share >= total) share = total - counted;
            if (u & kGarrisonBit) {
                CShiro& c = ShiroAt(gs_, u & 0x7FFF);
                const int lost =
                    std::clamp(Round(share + gs_.rng.Unit() * 2 - 1), 0, std::max<int>(0, c.shubihei));
                c.shubihei = ToField(c.shubihei - lost);
                counted += lost;
            } else {
                CBushou& b = BushouAt(gs_, u);
                const int cav = std::max<int>(0, b.cavalry);
                const int ft = std::max<int>(0, b.foot);
                const int lostCav = std::clamp(
                    Round(static_cast<double>(cav) / have * share + gs_.rng.Unit() * 2 - 1), 0, cav);
                const int lostFoot =
                    std::clamp(Round(static_cast<double>(ft) / have * share + gs_.rng.Unit() * 2 - 1), 0, ft);
                b.cavalry = ToField(cav - lostCav);
                b.foot = ToField(ft - lostFoot);
                CutMuskets(b);
                counted += lostCav + lostFoot;
            }
        }
    }
    if (hit && observer) observer->OnFireBomb(*this, hit);
}

void CKaisen::Boarding(bool trial) {
    const double p0 = std::max(GetPower(0), 1.0);
    const double p1 = std::max(GetPower(1), 1.0);
    const std::array<double, 2> ratio{p1 / p0, p0 / p1};
    for (int s = 0; s < 2; ++s) {
        int& m = trial ? trialMorale[s] : morale[s];
        m = std::max(0, m - Round((gs_.rng.Unit() + 0.5) * ratio[s] * 100.0));
        if (trial) continue;
        const double rate = ratio[s] * 0.02;
        auto loss = [&](int have) {
            const double r1 = gs_.rng.Unit() + 0.5;
            return std::clamp(Round(have * r1 * rate + gs_.rng.Unit() * 0.6), 0, std::max(0, have));
        };
        for (int i = 0; i < count[s]; ++i) {
            const int u = units[s][i];
            if (u & kGarrisonBit) {
                if (!IsValidShiro(gs_, u & 0x7FFF)) continue;
                CShiro& c = ShiroAt(gs_, u & 0x7FFF);
                c.shubihei = ToField(c.shubihei - loss(c.shubihei));
            } else if (IsValidBushou(gs_, u)) {
                CBushou& b = BushouAt(gs_, u);
                b.cavalry = ToField(b.cavalry - loss(b.cavalry));
                b.foot = ToField(b.foot - loss(b.foot));
                CutMuskets(b);
            }
        }
    }
    if (!trial && observer) observer->OnBoarding(*this);
}

void CKaisen::Simulate() {
    trialMorale = morale;
    if (Adjacent())
        Boarding(true);
    else
        FireBombs(3, true);
}

int CKaisen::ChooseAction(int side) {
    const int o = 1 - side;
    const int m = morale[side];
    const int mt = trialMorale[side];
    const int om = morale[o];
    const int ot = trialMorale[o];
    const double f = gs_.rng.Unit() * 0.2 + 1.0;
    if (m * f < static_cast<double>(m - mt) * (20 - turn)) {
        const int ruinOwn = m == mt ? 32767 : m / (m - mt);
        const int ruinOther = om == ot ? 32767 : om / (om - ot);
        if (turn + ruinOwn < 20 && ruinOwn < ruinOther && m < om) return kKaisenRetreat;
    }
    if (Adjacent()) return kKaisenBoard;
    const int kOwn = m - mt >= 1 ? Round(1000.0 / (m - mt)) : 1000;
    const int kOther = om - ot >= 1 ? Round(1000.0 / (om - ot)) : 1000;
    if (attacker == o + 1) {
        if (rain) return kKaisenWait;
        if (GetPower(side) > 1.2 * GetPower(o) || mt < 4) return kKaisenAdvance;
        return kOwn + turn >= 15 ? kKaisenFireBomb : kKaisenAdvance;
    }
    if (rain) return kKaisenAdvance;
    if (ot <= 3) return kKaisenFireBomb;
    if (kOther >= kOwn || kOther + turn >= 15) return kKaisenAdvance;
    return kKaisenFireBomb;
}

bool CKaisen::Beaten(int side) const {
    if (morale[side] <= 0) return true;
    for (int i = 0; i < count[side]; ++i)
        if (Soldiers(units[side][i]) > 0) return false;
    return true;
}

int CKaisen::DoTurn(const std::array<int, 2>& chosen) {
    std::array<int, 2> a = chosen;
    ++turn;
    if (a[0] == kKaisenRetreat && a[1] == kKaisenRetreat) return 0;
    if (a[0] == kKaisenRetreat) return 2;
    if (a[1] == kKaisenRetreat) return 1;
    for (int s = 0; s < 2; ++s)
        if (a[s] == kKaisenFireBomb && rain) a[s] = kKaisenWait;
    if (a[0] == kKaisenAdvance && a[1] == kKaisenAdvance && positions[1] - positions[0] == 2) {
        if (positions[0] < 4)
            a[1] = kKaisenWait;
        else
            a[0] = kKaisenWait;
    }
    if (a[0] == kKaisenAdvance && positions[0] < 9 && positions[0] + 1 < positions[1]) ++positions[0];
    if (a[1] == kKaisenAdvance && positions[1] > 0 && positions[1] - 1 > positions[0]) --positions[1];
    bool fought = false;
    const int mask = (a[0] == kKaisenFireBomb ? 1 : 0) | (a[1] == kKaisenFireBomb ? 2 : 0);
    if (mask) {
        FireBombs(mask, false);
        fought = true;
    }
    if (a[0] == kKaisenBoard || a[1] == kKaisenBoard) {
        Boarding(false);
        fought = true;
    }
    if (!fought)
        for (int s = 0; s < 2; ++s)
            morale[s] = std::min(kMaxMorale, morale[s] + Round(gs_.rng.Unit() * 10.0 + 7.0));
    const bool beaten0 = Beaten(0);
    const bool beaten1 = Beaten(1);
    if (beaten0 && beaten1) return 0;
    if (beaten1) return 1;
    if (beaten0) return 2;
    return kOngoing;
}

void CKaisen::ApplyDefeat(int result) {
    if (result != 1 && result != 2) return;
    const int loser = result == 1 ? 1 : 0;
    const double keep = morale[loser] < 1 ? 0.7 : 0.95;
    for (int i = 0; i < count[loser]; ++i)
        ShrinkUnit(gs_, units[loser][i], keep);
}

int CKaisen::Finish(int result, bool applyDefeat) {
    if (applyDefeat && (result == 1 || result == 2)) ApplyDefeat(result);
    if (result == kOngoing && turn >= kMaxTurns) result = 0;
    return result;
}

int CKaisen::AutoStep() {
    Simulate();
    const int a0 = ChooseAction(0);
    const int a1 = ChooseAction(1);
    return Finish(DoTurn({a0, a1}));
}

bool CKaisen::IsActionAllowed(int action) const {
    switch (action) {
        case kKaisenWait:
        case kKaisenAdvance: return !Adjacent();
        case kKaisenBoard: return Adjacent();
        case kKaisenFireBomb: return !Adjacent() && !rain;
        case kKaisenRetreat: return true;
        default: return false;
    }
}

std::array<int, 2> CKaisen::ChoosePlayerTurn(int playerSide, int action) {
    playerSide = playerSide == 1 ? 1 : 0;
    if (!IsActionAllowed(action)) action = Adjacent() ? kKaisenBoard : kKaisenWait;
    Simulate();
    std::array<int, 2> actions{};
    actions[static_cast<std::size_t>(playerSide)] = action;
    actions[static_cast<std::size_t>(1 - playerSide)] = ChooseAction(1 - playerSide);
    return actions;
}

int CKaisen::PlayChosenTurn(const std::array<int, 2>& actions, bool applyDefeat) {
    return Finish(DoTurn(actions), applyDefeat);
}

int CKaisen::PlayerStep(int playerSide, int action) {
    return PlayChosenTurn(ChoosePlayerTurn(playerSide, action));
}

}  // namespace rymd
