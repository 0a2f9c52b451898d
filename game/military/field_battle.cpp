#include "game/military/field_battle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/military/battle_common.h"
#include "game/state/queries.h"
#include "game/state/sort_list.h"
#include "platform/core/format_text.h"

namespace rymd {

using namespace battle;

namespace {

constexpr int kLines = 3;
constexpr int kHeadquarters = 2;
constexpr const char* kLineNames[kLines] = {"先陣", "第二陣", "本陣"};

bool RainAt(const GameState& gs, int kuni) {
    return kuni >= 0 && kuni < GameState::kMaxKuni &&
           (gs.KuniEventFlags[static_cast<std::size_t>(kuni)] & kKuniFlagNoTeppou) != 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Units

int CYasen::Troops(int u) const {
    if (u & kGarrisonBit) {
        const int c = u & 0x7FFF;
        return IsValidShiro(gs_, c) ? std::max<int>(0, ShiroAt(gs_, c).shubihei) : 0;
    }
    return IsValidBushou(gs_, u) ? BushouAt(gs_, u).cavalry + BushouAt(gs_, u).foot : 0;
}

int CYasen::Strength(int u) const {
    if (u & kGarrisonBit) return Troops(u);
    return IsValidBushou(gs_, u) ? BushouAt(gs_, u).cavalry * 3 + BushouAt(gs_, u).foot : 0;
}

int CYasen::Valour(int u) const {
    if (u & kGarrisonBit) return 3;
    return IsValidBushou(gs_, u) ? BushouAt(gs_, u).buyuu : 0;
}

int CYasen::GetLineTroops(int side, int line) const {
    if (line < 0 || line >= kLines) return 0;
    int sum = 0;
    for (int i = 0; i < lineCount[side][line]; ++i)
        if (morale[side][line][i] > 0) sum += Troops(unit[side][line][i]);
    return sum;
}

int CYasen::CountLiveUnits(int side, int line) const {
    if (line < 0 || line >= kLines) return 0;
    int n = 0;
    for (int i = 0; i < lineCount[side][line]; ++i)
        if (morale[side][line][i] > 0) ++n;
    return n;
}

int CYasen::GetLineTeppou(int side, int line) const {
    if (line < 0 || line >= kLines) return 0;
    int sum = 0;
    for (int i = 0; i < lineCount[side][line]; ++i) {
        const int u = unit[side][line][i];
        if (morale[side][line][i] > 0 && !(u & kGarrisonBit) && IsValidBushou(gs_, u))
            sum += BushouAt(gs_, u).muskets;
    }
    return sum;
}

int CYasen::GetAverageMorale(int side, int line, bool fromEstimate) const {
    if (line < 0 || line >= kLines || lineCount[side][line] == 0) return 0;
    int sum = 0;
    for (int i = 0; i < lineCount[side][line]; ++i)
        sum += fromEstimate ? estimate[side][line][i] : morale[side][line][i];
    return sum / lineCount[side][line];
}

std::array<int, 2> CYasen::GetTotalTroops() const {
    std::array<int, 2> out{};
    for (int s = 0; s < 2; ++s) {
        if (castle[s] >= 0) out[s] += Troops(castle[s] | kGarrisonBit);
        for (int i = 0; i < count[s]; ++i)
            out[s] += Troops(generals[s][i]);
    }
    return out;
}

int CYasen::FindFrontLine(int side) const {
    for (int line = 0; line < kLines; ++line)
        if (CountLiveUnits(side, line) > 0) return line;
    return -1;
}

bool CYasen::CanSwapLines(int side) const {
    if (SurprisedSide() == side) return false;
    return CountLiveUnits(side, 0) > 0 && CountLiveUnits(side, 1) > 0;
}

int CYasen::OwnLine(int side) const {
    return SurprisedSide() == side ? kHeadquarters : front[side];
}

int CYasen::EnemyLine(int side) const {
    const int e = 1 - side;
    return SurprisedSide() == e ? kHeadquarters : front[e];
}

void CYasen::Message(const std::string& text) {
    if (playerBattle && observer) observer->OnMessage(*this, text);
}

// ---------------------------------------------------------------------------------------------
// Set-up

void CYasen::AddToLine(int side, int line, int u) {
    int& n = lineCount[side][line];
    if (n >= kMaxUnits) return;
    unit[side][line][n] = u;
    // A garrison without soldiers takes the field already routed.
    morale[side][line][n] = ((u & kGarrisonBit) && Troops(u) == 0) ? 0 : 100;
    ++n;
}

// The commander: the head of a house that is not a vassal, first in musket order; else the best
// field command among the side's own generals and guests (the later on ties); else the weakest
// of the last run of equal keys. Returns his place in the sorted list, or -1.
int CYasen::DeployAuto(int side) {
    const int n = std::clamp(count[side], 0, kMaxUnits);
    if (n == 0) {
        if (castle[side] >= 0) AddToLine(side, kHeadquarters, castle[side] | kGarrisonBit);
        return -1;
    }
    CSortList list(n);
    for (int i = 0; i < n; ++i) {
        const int g = generals[side][i];
        list.Set(i, g, IsValidBushou(gs_, g) ? BushouAt(gs_, g).muskets : 0);
    }
    list.SortLarge();
    list.Randomize(gs_.rng);

    int chosen = -1;
    for (int i = 0; i < n && chosen < 0; ++i) {
        const int g = list.Id(i);
        if (!IsValidBushou(gs_, g)) continue;
        const int h = BushouAt(gs_, g).daimyou;
        if (IsValidDaimyou(gs_, h) && gs_.DaimyouTbl[static_cast<std::size_t>(h)].toushu == g &&
            gs_.DaimyouTbl[static_cast<std::size_t>(h)].bond != CDaimyou::kBondShinjuu)
            chosen = i;
    }
    if (chosen < 0) {
        int best = -1;
        for (int i = 0; i < n; ++i) {
            const int g = list.Id(i);
            if (!IsValidBushou(gs_, g)) continue;
            const CBushou& b = BushouAt(gs_, g);
            if (b.daimyou != house[side] && b.status != CBushou::kStatusKyakushou) continue;
            if (best < 0 || b.yasenTousotsu >= best) {
                best = b.yasenTousotsu;
                chosen = i;
            }
        }
    }
    if (chosen < 0) {
        const int lastKey = list.Key(n - 1);
        int weakest = -1;
        for (int i = n - 1; i >= 0 && list.Key(i) == lastKey; --i) {
            const int s = Strength(list.Id(i));
            if (chosen < 0 || s < weakest) {
                weakest = s;
                chosen = i;
            }
        }
    }
    AddToLine(side, kHeadquarters, list.Id(chosen));

    int rest[kMaxUnits + 1];
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (i != chosen) rest[m++] = list.Id(i);
    if (castle[side] >= 0) rest[m++] = castle[side] | kGarrisonBit;
    const int vanguard = (m + 1) / 2;
    for (int i = 0; i < m; ++i)
        AddToLine(side, i < vanguard ? 0 : 1, rest[i]);
    return chosen;
}

void CYasen::Setup() {
    turn = 0;
    rain = RainAt(gs_, province[0]) || (province[1] != -1 && RainAt(gs_, province[1]));
    for (int s = 0; s < 2; ++s) {
        count[s] = std::clamp(count[s], 0, kMaxUnits);
        if (castle[s] >= 0 && !IsValidShiro(gs_, castle[s])) castle[s] = -1;
        house[s] =
            count[s] > 0 ? EffectiveHouseOfBushou(gs_, generals[s][0]) : EffectiveOwner(gs_, castle[s]);
        cavalry[s] = foot[s] = muskets[s] = 0;
        for (int i = 0; i < count[s]; ++i) {
            const int g = generals[s][i];
            if (!IsValidBushou(gs_, g)) continue;
            cavalry[s] += BushouAt(gs_, g).cavalry;
            foot[s] += BushouAt(gs_, g).foot;
            muskets[s] += BushouAt(gs_, g).muskets;
        }
        if (castle[s] >= 0) foot[s] += Troops(castle[s] | kGarrisonBit);
    }

    surprise = 0;
    surpriseLeader = -1;
    confusionTurns = 0;
    if (gs_.nKishuu != 0) {
        const int t0 = cavalry[0] + foot[0];
        const int t1 = cavalry[1] + foot[1];
        if (t0 != t1) {
            const int weak = t0 < t1 ? 0 : 1;
            const int strong = 1 - weak;
            int best = 0;
            for (int i = 0; i < count[strong]; ++i)
                if (IsValidBushou(gs_, generals[strong][i]))
                    best = std::max<int>(best, BushouAt(gs_, generals[strong][i]).chibou);
            for (int i = 0; i < count[weak]; ++i) {
                const int g = generals[weak][i];
                if (!IsValidBushou(gs_, g)) continue;
                CBushou& b = BushouAt(gs_, g);
                if (b.counter33 >= 100 && b.counter34 == 0 && b.chibou >= best + 3) {
                    surprise = weak + 1;
                    surpriseLeader = g;
                    b.counter33 = static_cast<std::uint8_t>(b.counter33 - 100);
                    b.counter34 = static_cast<std::uint8_t>(2 + static_cast<int>(gs_.rng.Unit() * 3));
                    break;
                }
            }
        }
        confusionTurns = 3 + gs_.rng.Below(3);
    }

    for (int s = 0; s < 2; ++s) {
        lineCount[s] = {};
        YasenDeployment d;
        if (playerBattle && observer && house[s] == gs_.nPlayerDaimyou &&
            observer->DeployPlayerSide(*this, s, d)) {
            for (int line = 0; line < kLines; ++line)
                for (int i = 0; i < std::clamp(d.count[line], 0, kMaxUnits); ++i)
                    AddToLine(s, line, d.units[line][i]);
        } else {
            DeployAuto(s);
        }
        for (int line = 0; line < kLines; ++line)
            estimate[s][line] = morale[s][line];
        front[s] = FindFrontLine(s);
    }
    pos = surprise ? std::array<int, 2>{4, 5} : std::array<int, 2>{2, 7};
    for (int s = 0; s < 2; ++s) {
        command[s] = 0;
        if (lineCount[s][kHeadquarters] == 0) continue;
        const int u = unit[s][kHeadquarters][0];
        if ((u & kGarrisonBit) || !IsValidBushou(gs_, u)) continue;
        const CBushou& b = BushouAt(gs_, u);
        if (b.daimyou == house[s] || b.status == CBushou::kStatusKyakushou) command[s] = b.yasenTousotsu;
    }
}

// ---------------------------------------------------------------------------------------------
// The computer's choice

void CYasen::PredictTurn() {
    estimate = morale;
    if (Adjacent()) {
        std::array<int, 2> confused{-1, -1};
        Attack({false, false}, confused, true);
        return;
    }
    int mask = 0;
    for (int s = 0; s < 2; ++s)
        if (GetLineTeppou(s, OwnLine(s)) > 0) mask |= 1 << s;
    if (mask) FireTeppou(mask, true);
}

int CYasen::SideStrength(int side, bool headquartersOnly) const {
    int sum = 0;
    for (int line = headquartersOnly ? kHeadquarters : 0; line < kLines; ++line)
        for (int i = 0; i < lineCount[side][line]; ++i)
            if (morale[side][line][i] > 0) sum += Strength(unit[side][line][i]);
    return sum;
}

int CYasen::TurnsToBreak(int side, int line) const {
    const int cur = GetAverageMorale(side, line, false);
    const int est = GetAverageMorale(side, line, true);
    if (cur <= est) return 100;
    const int all = GetLineTroops(side, 0) + GetLineTroops(side, 1) + GetLineTroops(side, 2);
    const double share = all > 0 ? static_cast<double>(GetLineTroops(side, line)) / all : 1.0;
    // A line without soldiers never breaks by this count.
    if (share <= 0.0) return 100;
    return Round((100.0 / (cur - est)) / share);
}

int CYasen::ChooseAction(int side) {
    const int e = 1 - side;
    const int surprised = SurprisedSide();
    const bool surpriser = surprised == e;
    const bool confused = surprised == side && turn <= confusionTurns;
    if (!surpriser && !confused) {
        const int own = SideStrength(side, surprised == side);
        const int enemy = SideStrength(e, surprised == e);
        if (own * Between(gs_.rng, 2.0, 2.5) < enemy) return kYasenRetreat;
    }
    if (CanSwapLines(side) && 2 * GetAverageMorale(side, 0, true) - GetAverageMorale(side, 0, false) <= 5 &&
        GetAverageMorale(side, 1, false) >= 30)
        return kYasenSwap;
    if (Adjacent()) return kYasenAttack;

    const int ownLine = OwnLine(side);
    const int enemyLine = EnemyLine(side);
    const bool ownFire = GetLineTeppou(side, ownLine) > 0 && !rain;
    const bool enemyFire = GetLineTeppou(e, enemyLine) > 0 && !rain;
    if (attacker == 0 || attacker == side + 1) {
        if (ownFire) {
            if (GetAverageMorale(e, enemyLine, true) < 4) return kYasenFire;
            const int enemyBreak = TurnsToBreak(e, enemyLine);
            if (GetLineTeppou(e, enemyLine) > 0 && TurnsToBreak(side, ownLine) <= enemyBreak)
                return kYasenAdvance;
            if (enemyBreak + turn < 15) return kYasenFire;
        }
        return kYasenAdvance;
    }
    if (ownFire) return kYasenFire;
    if (enemyFire) {
        if ((cavalry[e] * 3.0 + foot[e]) * 1.1 < cavalry[side] * 3.0 + foot[side] ||
            GetAverageMorale(side, ownLine, true) < 4 || TurnsToBreak(side, ownLine) + turn < 15)
            return kYasenAdvance;
    }
    return kYasenWait;
}

// ---------------------------------------------------------------------------------------------
// Fire and melee

void CYasen::LoseSoldiers(int u, double cavalryLoss, double footLoss, double garrisonLoss) {
    if (u & kGarrisonBit) {
        const int c = u & 0x7FFF;
        if (!IsValidShiro(gs_, c)) return;
        CShiro& s = ShiroAt(gs_, c);
        const int have = std::max<int>(0, s.shubihei);
        s.shubihei = ToField(have - std::clamp(Round(garrisonLoss), 0, have));
        return;
    }
    if (!IsValidBushou(gs_, u)) return;
    CBushou& b = BushouAt(gs_, u);
    b.cavalry = ToField(b.cavalry - std::clamp(Round(cavalryLoss), 0, std::max<int>(0, b.cavalry)));
    b.foot = ToField(b.foot - std::clamp(Round(footLoss), 0, std::max<int>(0, b.foot)));
    CutMuskets(b);
}

bool CYasen::FireTeppou(int mask, bool predict) {
    const int gap = std::max(1, pos[1] - pos[0] - 1);
    const double range = std::pow(2.0, gap - 1);
    std::array<double, 2> ratio{};
    std::array<int, 2> skill{};
    for (int s = 0; s < 2; ++s) {
        const int e = 1 - s;
        const int troops = GetLineTroops(e, EnemyLine(s));
        ratio[s] = troops < 1 ? 100000.0 : static_cast<double>(GetLineTeppou(s, OwnLine(s))) / troops;
        int best = 0;
        const int line = front[e];
        if (line >= 0)
            for (int i = 0; i < lineCount[e][line]; ++i) {
                if (morale[e][line][i] <= 0) continue;
                const int u = unit[e][line][i];
                best = std::max(best, (u & kGarrisonBit) ? command[e] + 3 : Valour(u) + command[e]);
            }
        skill[e] = best;
    }
    const double k1 = gs_.TeppouKouka[0] / 10.0;
    const double k2 = gs_.TeppouKouka[1] / 10.0;
    const double k3 = gs_.TeppouKouka[2];
    bool stopped = false;
    for (int s = 0; s < 2; ++s) {
        if (!(mask & (1 << s))) continue;
        const int e = 1 - s;
        const int line = EnemyLine(s);
        // A predicting volley draws as the real one does (the stop chance, the budget, the order
        // of the units); only its result is no stop and no soldier is lost.
        if (!(mask & (1 << e))) {
            const double c =
                std::min((k3 / 10.0) * (ratio[s] / ((skill[e] + 10) / 20.0)) / 3.0, k3 / 100.0 * 0.7 + 0.3);
            if (gs_.rng.Unit() < c / gap) stopped = true;
        }
        if (line < 0) continue;
        const double blow = (std::pow(ratio[s] + 1.0, 0.9) - 1.0) * 150.0 * k1 / range;
        const double shot = static_cast<double>(GetLineTeppou(s, OwnLine(s)));
        const double budget = std::pow(shot, 0.9) * Between(gs_.rng, 0.9, 1.1) / 2.0 * k2 / range;

        int order[kMaxUnits];
        const int n = lineCount[e][line];
        for (int i = 0; i < n; ++i)
            order[i] = i;
        ShuffleEqual(gs_.rng, order, n);
        int lineTroops = 0;
        for (int i = 0; i < n; ++i)
            lineTroops += Troops(unit[e][line][i]);
        double counted = 0.0;
        for (int k = 0; k < n; ++k) {
            const int i = order[k];
            int& m = predict ? estimate[e][line][i] : morale[e][line][i];
            if (m <= 0) continue;
            m = std::max(0, m - Round(Between(gs_.rng, 0.5, 1.5) * blow));
            if (predict) continue;
            const int u = unit[e][line][i];
            const int troops = Troops(u);
            double share = lineTroops > 0 ? static_cast<double>(troops) / lineTroops * budget : 0.0;
            // Cut to what is left of the budget and not raised to 0: once the jitter of earlier
            // units has spent more than the budget, the share is below 0 and offsets this
            // unit's own jitter, so a unit well past the budget loses nothing.
            if (counted + share > budget) share = budget - counted;
            const int before = troops;
            if (u & kGarrisonBit) {
                LoseSoldiers(u, 0, 0, share + Between(gs_.rng, -1.0, 1.0));
            } else if (IsValidBushou(gs_, u)) {
                const CBushou& b = BushouAt(gs_, u);
                const double cavShare = troops > 0 ? static_cast<double>(b.cavalry) / troops * share : 0.0;
                const double footShare = troops > 0 ? static_cast<double>(b.foot) / troops * share : 0.0;
                const double cavLoss = cavShare + Between(gs_.rng, -1.0, 1.0);
                const double footLoss = footShare + Between(gs_.rng, -1.0, 1.0);
                LoseSoldiers(u, cavLoss, footLoss, 0);
            }
            counted += before - Troops(u);
            if (Troops(u) == 0) m = 0;
        }
        if (!predict && observer) observer->OnVolley(*this, e, line);
    }
    return !predict && stopped;
}

void CYasen::Attack(const std::array<bool, 2>& swapped, std::array<int, 2>& confusedLine, bool predict) {
    std::array<double, 2> power{};
    std::array<double, 2> cavPower{};
    std::array<long long, 2> cav{};
    std::array<long long, 2> ft{};
    std::array<int, 2> lines{};
    for (int s = 0; s < 2; ++s) {
        const int line = OwnLine(s);
        lines[s] = line;
        if (line < 0) continue;
        for (int i = 0; i < lineCount[s][line]; ++i) {
            if (morale[s][line][i] <= 0) continue;
            const int u = unit[s][line][i];
            if (u & kGarrisonBit) {
                power[s] += static_cast<double>(Troops(u)) * (command[s] + 13);
                ft[s] += Troops(u);
            } else if (IsValidBushou(gs_, u)) {
                const CBushou& b = BushouAt(gs_, u);
                power[s] += static_cast<double>(Strength(u)) * (b.buyuu + 10 + command[s]);
                cavPower[s] += b.cavalry * 3.0 * (b.buyuu + 10 + command[s]);
                cav[s] += b.cavalry;
                ft[s] += b.foot;
            }
        }
        if (power[s] == 0.0) power[s] = 1.0;
    }
    for (int s = 0; s < 2; ++s) {
        const int e = 1 - s;
        const int line = lines[s];
        if (line < 0) continue;
        const double loss = power[e] / power[s];
        for (int i = 0; i < lineCount[s][line]; ++i) {
            int& m = predict ? estimate[s][line][i] : morale[s][line][i];
            if (morale[s][line][i] <= 0) continue;
            m = std::max(0, m - Round(Between(gs_.rng, 0.5, 1.5) * loss * 13.0));
            if (predict) continue;
            const int u = unit[s][line][i];
            const double rate = loss * 0.03;
            if (u & kGarrisonBit) {
                const double g = Troops(u) * Between(gs_.rng, 0.5, 1.5) * rate;
                LoseSoldiers(u, 0, 0, g + Between(gs_.rng, 0.0, 0.6));
            } else if (IsValidBushou(gs_, u)) {
                const CBushou& b = BushouAt(gs_, u);
                const double c = b.cavalry * Between(gs_.rng, 0.5, 1.5) * rate;
                const double cavLoss = c + Between(gs_.rng, 0.0, 0.6);
                const double f = b.foot * Between(gs_.rng, 0.5, 1.5) * rate;
                const double footLoss = f + Between(gs_.rng, 0.0, 0.6);
                LoseSoldiers(u, cavLoss, footLoss, 0);
            }
            if (Troops(u) == 0) m = 0;
        }
    }
    if (predict) return;
    if (observer) observer->OnMelee(*this, lines[0], lines[1]);
    if (surprise != 0) return;
    for (int s = 0; s < 2; ++s) {
        const int e = 1 - s;
        if (cav[s] <= 0 || swapped[s] || (front[e] != 0 && front[e] != 1)) continue;
        int target = front[e] + 1;
        if (target < kLines && CountLiveUnits(e, target) == 0) ++target;
        if (target >= kLines) continue;
        if (gs_.rng.Unit() > static_cast<double>(cav[s]) / static_cast<double>(cav[s] + ft[s])) continue;
        const double blow = 2.0 * cavPower[s] / power[e] * 13.0;
        for (int i = 0; i < lineCount[e][target]; ++i)
            if (morale[e][target][i] > 0)
                morale[e][target][i] =
                    std::max(0, morale[e][target][i] - Round(Between(gs_.rng, 0.5, 1.5) * blow));
        confusedLine[e] = target;
        if (observer) observer->OnBreakThrough(*this, e, target);
        const std::string text = house[s] == gs_.nPlayerDaimyou
                                     ? FormatText("我軍の騎馬兵が敵軍の%sを突破し、%sを混乱させました",
                                                  kLineNames[front[e]], kLineNames[target])
                                     : FormatText("敵軍の騎馬兵が我軍の%sを突破し、%sを混乱させました",
                                                  kLineNames[front[e]], kLineNames[target]);
        if (house[s] == gs_.nPlayerDaimyou || house[e] == gs_.nPlayerDaimyou) Message(text);
    }
}

// ---------------------------------------------------------------------------------------------
// The turn

void CYasen::SwapLines(int side) {
    std::swap(unit[side][0], unit[side][1]);
    std::swap(morale[side][0], morale[side][1]);
    std::swap(lineCount[side][0], lineCount[side][1]);
}

void CYasen::TrackUpdate(const std::array<int, 2>& frontBefore) {
    for (int s = 0; s < 2; ++s)
        front[s] = FindFrontLine(s);
    if (front[0] != frontBefore[0]) pos[0] = std::max(0, pos[0] - 1);
    if (front[1] != frontBefore[1]) pos[1] = std::min(9, pos[1] + 1);
    if (surprise == 1 && CountLiveUnits(1, kHeadquarters) == 0) pos[1] = std::min(9, pos[1] + 1);
    if (surprise == 2 && CountLiveUnits(0, kHeadquarters) == 0) pos[0] = std::max(0, pos[0] - 1);
}

bool CYasen::HeadquartersBeaten(int side) const {
    return CountLiveUnits(side, kHeadquarters) == 0;
}

int CYasen::ExecuteTurn(const std::array<int, 2>& chosen) {
    std::array<int, 2> a = chosen;
    ++turn;
    if (a[0] == kYasenRetreat && a[1] == kYasenRetreat) return 0;
    if (a[0] == kYasenRetreat) {
        CheckUchijini(2);
        return 2;
    }
    if (a[1] == kYasenRetreat) {
        CheckUchijini(1);
        return 1;
    }
    for (int s = 0; s < 2; ++s) {
        // No musket fire in the rain.
        if (a[s] == kYasenFire && rain) a[s] = kYasenWait;
        if (a[s] == kYasenSwap && !CanSwapLines(s)) a[s] = kYasenWait;
    }
    if (a[0] == kYasenAdvance && a[1] == kYasenAdvance && pos[1] - pos[0] == 2) {
        if (pos[0] < 4)
            a[1] = kYasenWait;
        else
            a[0] = kYasenWait;
    }
    bool fought = false;
    std::array<int, 2> confused{-1, -1};
    const int mask = (a[0] == kYasenFire ? 1 : 0) | (a[1] == kYasenFire ? 2 : 0);
    if (mask) {
        const std::array<int, 2> before = front;
        if (FireTeppou(mask, false)) {
            for (int s = 0; s < 2; ++s) {
                if (a[s] != kYasenAdvance) continue;
                a[s] = kYasenWait;
                const bool player = house[s] == gs_.nPlayerDaimyou;
                Message(std::string(player ? "我軍" : "敵軍") + "は鉄砲に阻まれ前進できませんでした");
            }
        }
        TrackUpdate(before);
        fought = true;
    }
    if (a[0] == kYasenAdvance && pos[0] < 9 && pos[0] + 1 < pos[1]) ++pos[0];
    if (a[1] == kYasenAdvance && pos[1] > 0 && pos[1] - 1 > pos[0]) --pos[1];
    const std::array<bool, 2> swapped{a[0] == kYasenSwap, a[1] == kYasenSwap};
    if (a[0] == kYasenAttack || a[1] == kYasenAttack) {
        const std::array<int, 2> before = front;
        Attack(swapped, confused, false);
        TrackUpdate(before);
        fought = true;
    }
    for (int s = 0; s < 2; ++s)
        if (swapped[s]) SwapLines(s);

    const int surprised = SurprisedSide();
    for (int s = 0; s < 2; ++s) {
        if (front[s] < 0) continue;
        for (int line = front[s]; line < kLines; ++line) {
            if (surprised == s && line == kHeadquarters) continue;
            if (fought && surprised != s && line == front[s]) continue;
            if (swapped[s] && line < kHeadquarters) continue;
            if (confused[s] == line) continue;
            for (int i = 0; i < lineCount[s][line]; ++i)
                if (morale[s][line][i] > 0)
                    morale[s][line][i] =
                        std::min(100, morale[s][line][i] + Round(Between(gs_.rng, 7.0, 17.0)));
        }
    }
    for (int s = 0; s < 2; ++s)
        front[s] = FindFrontLine(s);
    const bool beaten0 = HeadquartersBeaten(0);
    const bool beaten1 = HeadquartersBeaten(1);
    if (beaten0 && beaten1) return 0;
    if (beaten1) {
        CheckUchijini(1);
        return 1;
    }
    if (beaten0) {
        CheckUchijini(2);
        return 2;
    }
    return kOngoing;
}

void CYasen::ApplyRoutLosses(int winner) {
    if (winner != 1 && winner != 2) return;
    const int loser = winner == 1 ? 1 : 0;
    for (int line = 0; line < kLines; ++line)
        for (int i = 0; i < lineCount[loser][line]; ++i)
            ShrinkUnit(gs_, unit[loser][line][i], morale[loser][line][i] <= 0 ? 0.8 : 0.95);
}

void CYasen::CheckUchijini(int winner) {
    if (winner != 1 && winner != 2) return;
    const int w = winner - 1;
    const int loser = 1 - w;
    double p = castle[w] >= 0 ? Troops(castle[w] | kGarrisonBit) : 0;
    for (int i = 0; i < count[w]; ++i)
        p += Strength(generals[w][i]);
    if (p <= 0.0 || gs_.nUchijiniKakuritsu < 1) return;
    const double base = std::pow(0.8, gs_.nUchijiniKakuritsu / 5.0);
    for (int line = 0; line < kLines; ++line)
        for (int i = 0; i < lineCount[loser][line]; ++i) {
            const int u = unit[loser][line][i];
            if (morale[loser][line][i] > 0 || (u & kGarrisonBit) || !IsValidBushou(gs_, u)) continue;
            CBushou& b = BushouAt(gs_, u);
            if (b.daimyou == CBushou::kDaimyouRounin) continue;  // already fallen
            if (gs_.rng.Unit() < 3.0 * (b.cavalry * 3.0 + b.foot) / p + base) continue;
            if (IsValidShiro(gs_, b.shiro)) {
                CShiro& s = ShiroAt(gs_, b.shiro);
                if (b.flags & CBushou::kFlagBesieging)
                    s.RemoveBesieger(u);
                else
                    s.RemoveBushou(u);
            }
            const int h = b.daimyou;
            b.daimyou = CBushou::kDaimyouRounin;
            if (fates) {
                if (IsValidDaimyou(gs_, h))
                    *fates += HouseName(gs_, h) + "の" + b.name + "は討ち死にしました\n";
                else
                    *fates += b.name + "は討ち死にしました\n";
            }
        }
}

// ---------------------------------------------------------------------------------------------
// Sessions

int CYasen::Finish(int result, bool applyRoutLosses) {
    if (applyRoutLosses && (result == 1 || result == 2)) ApplyRoutLosses(result);
    if (result == kOngoing && turn >= kMaxTurns) result = 0;
    return result;
}

int CYasen::AutoStep() {
    PredictTurn();
    const int a0 = ChooseAction(0);
    const int a1 = ChooseAction(1);
    return Finish(ExecuteTurn({a0, a1}));
}

bool CYasen::IsActionAllowed(int side, int action) const {
    switch (action) {
        case kYasenWait:
        case kYasenAdvance: return !Adjacent();
        case kYasenAttack: return Adjacent();
        case kYasenFire: return !rain && !Adjacent() && GetLineTeppou(side, OwnLine(side)) > 0;
        case kYasenSwap: return CanSwapLines(side);
        case kYasenRetreat: return !(SurprisedSide() == side && turn <= confusionTurns);
        default: return false;
    }
}

int CYasen::PlayerStep(int playerSide, int action, bool applyRoutLosses) {
    playerSide = playerSide == 1 ? 1 : 0;
    if (!IsActionAllowed(playerSide, action)) action = Adjacent() ? kYasenAttack : kYasenWait;
    PredictTurn();
    std::array<int, 2> actions{};
    actions[static_cast<std::size_t>(playerSide)] = action;
    actions[static_cast<std::size_t>(1 - playerSide)] = ChooseAction(1 - playerSide);
    if (observer) observer->OnActionsChosen(*this, actions);
    return Finish(ExecuteTurn(actions), applyRoutLosses);
}

}  // namespace rymd
