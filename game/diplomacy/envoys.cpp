#include "game/diplomacy/envoys.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "game/diplomacy/bonds.h"
#include "game/diplomacy/personnel.h"
#include "game/military/siege.h"
#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/policy.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"
#include "platform/core/encoding.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

constexpr int kMaxHitojichiKouho = 100;
constexpr std::size_t kNameBytes = 20;  // a general's name in the file encoding

std::string NameOf(const GameState& gs, int d) {
    return IsValidDaimyou(gs, d) ? DaimyouAt(gs, d).name : std::string();
}

bool IsPlayer(const GameState& gs, int d) {
    return d >= 0 && d == gs.nPlayerDaimyou;
}

void AddOnce(std::vector<int>& list, int d) {
    if (std::find(list.begin(), list.end(), d) == list.end()) list.push_back(d);
}

// The houses in play that are y's top neighbours (the top owners of castles linked to a castle of
// y's side), each once, when keep(t, linkedCastle) says so.
template <class Keep>
std::vector<int> TopNeighbours(const GameState& gs, int y, const DaimyouSums& sums, Keep keep) {
    std::vector<int> out;
    for (int c : sums.CountedShiro(y)) {
        ForShiroLinks(gs, c, [&](int l, int) {
            const int t = GetCountedDaimyouOfShiro(gs, l);
            if (t != y && HouseExists(gs, t) && keep(t, l)) AddOnce(out, t);
        });
    }
    return out;
}

// The siege estimate of a house's lone castle (of its castles, own) besieged by the other
// house: the months until it falls, or -1 when the house does not hold exactly one castle
// besieged by that house.
int LoneCastleSiegeMonths(GameState& gs, const std::vector<int>& own, int besieger) {
    if (own.size() != 1) return -1;
    const int lone = own.front();
    const CShiro& s = ShiroAt(gs, lone);
    if (s.nBesieger <= 0 || s.besiegerDaimyou != besieger) return -1;
    return EstimateKoujousen(gs, -1, lone, nullptr, nullptr, 0, nullptr);
}

// The two demands differ in these.
struct Demand {
    int mode;         // of the envoy question
    int factor;       // the scenario's correction (5 is neutral)
    double refuseAt;  // fear threshold: refused when base + spread x R < fear
    double refuseSpread;
    bool vassalage;
};

bool SendDemand(GameState& gs, const Ports& ports, int a, int b, const Demand& kind,
                const DaimyouSums* given) {
    if (IsPlayer(gs, b)) {
        if (!AskShishaRaihou(gs, ports, kind.mode, a).accept) return false;
        return kind.vassalage ? MakeShinjuu(gs, a, b) : MakeJuuzoku(gs, ports, a, b, false);
    }

    const DaimyouSums local = given ? DaimyouSums() : DaimyouSums(gs);
    const DaimyouSums& sums = given ? *given : local;

    // The best road between b's own castles and a's side.
    int best = 4;
    for (int c : sums.OwnShiro(b)) {
        ForShiroLinks(gs, c, [&](int l, int kind) {
            if (GetCountedDaimyouOfShiro(gs, l) == a) best = std::min(best, std::clamp(kind, 0, 3));
        });
    }
    if (best == 4) return false;  // no link at all: refused before any draw
    static constexpr double kRoad[4] = {1.0, 0.9, 0.8, 0.5};
    const double f = kind.factor * kRoad[best] / 5.0;

    const double fear = EvaluateShishaTeian(gs, b, a, true, {}, &sums);
    if (kind.refuseAt + kind.refuseSpread * gs.rng.Unit() < fear) return false;

    const bool ainu = DaimyouAt(gs, b).GetKind() == CDaimyou::kKindAinu;
    const double m1 = kind.vassalage ? 0.3 : (ainu ? 0.03 : 0.4);
    const double m2 = kind.vassalage ? 0.3 : (ainu ? 0.03 : 0.5);
    if (static_cast<double>(sums.KS(b)) * (0.8 + 0.4 * gs.rng.Unit()) >
        static_cast<double>(sums.K(a)) * m1 * f)
        return false;
    if (static_cast<double>(sums.SS(b)) * (0.8 + 0.4 * gs.rng.Unit()) >
        static_cast<double>(sums.S(a)) * m2 * f)
        return false;

    // a must not have to fear its own hostile neighbours more than it gains.
    std::int64_t hostile = 0;
    for (int t : TopNeighbours(gs, a, sums, [&](int t, int) {
             return DaimyouAt(gs, t).GetRelationLo(a) < CDaimyou::kRelFusen;
         }))
        hostile += sums.KS(t);
    if (static_cast<double>(hostile) * (0.8 + 0.4 * gs.rng.Unit()) > static_cast<double>(sums.KS(a)) * f)
        return false;

    return kind.vassalage ? MakeShinjuu(gs, a, b) : MakeJuuzoku(gs, ports, a, b, false);
}

// The three envoys that ask a to take h in.
enum class Application { Kuragae, Juuzoku, Shinjuu };

bool SendApplication(GameState& gs, const Ports& ports, int a, int h, Application kind,
                     const DaimyouSums* given, const PeaceKnown* peace) {
    if (!IsValidDaimyou(gs, a) || !IsValidDaimyou(gs, h) || a == h) return false;
    if (DaimyouAt(gs, a).bond != CDaimyou::kBondDokuritsu) return false;

    bool demand = false;
    if (!IsPlayer(gs, a)) {
        if (DaimyouAt(gs, a).GetRelationHi(h) != 0) return false;
        const DaimyouSums local = given ? DaimyouSums() : DaimyouSums(gs);
        const DaimyouSums& sums = given ? *given : local;
        if (sums.OwnShiro(h).empty()) return false;
        const int months = LoneCastleSiegeMonths(gs, sums.OwnShiro(h), a);
        if (months >= 0) {
            if (months <= 1) return false;
            if (gs.rng.Unit() < std::pow(1.0 / months, 0.3)) return false;
        }
        demand =
            static_cast<double>(sums.KS(h)) < static_cast<double>(sums.KS(a)) * (0.03 + 0.05 * gs.rng.Unit());
    } else {
        const int mode = kind == Application::Kuragae   ? kShishaKuragae
                         : kind == Application::Juuzoku ? kShishaJuuzokuShigan
                                                        : kShishaShinjuuShigan;
        const ShishaAnswer answer = AskShishaRaihou(gs, ports, mode, h);
        if (!answer.accept) return false;
        demand = answer.demandHitojichi;
    }

    if (demand) {
        int hostage = -1;
        const SuppressionPolicy policy = PolicyOf(gs);
        if (!OfferHitojichi(gs, ports, a, h, hostage)) {
            if (!IsPlayer(gs, a)) return false;
            const char* bond = kind == Application::Kuragae   ? "鞍替"
                               : kind == Application::Juuzoku ? "従属"
                                                              : "臣従";
            if (!policy.AskYesNo(ports, MessageKind::EnvoyQuestion,
                                 FormatText("%s は人質の差し出しを拒否しました\nそれでも%sを許可しますか？",
                                            NameOf(gs, h).c_str(), bond),
                                 true))
                return false;
        } else if (IsPlayer(gs, a)) {
            policy.Inform(ports, MessageKind::DiplomacyMessage,
                          FormatText("%s は人質として %s を差し出しました", NameOf(gs, h).c_str(),
                                     BushouAt(gs, hostage).name.c_str()));
        }
    }

    switch (kind) {
        case Application::Kuragae: {
            const int former = DaimyouAt(gs, h).masterDaimyou;
            DeclareDokuritsu(gs, ports, h);
            MakePeace(gs, ports, h, a, true, peace);
            const bool ok = MakeJuuzoku(gs, ports, a, h, false);
            if (ok && IsValidDaimyou(gs, former) && former != h &&
                DaimyouAt(gs, former).GetRelationHi(h) != CDaimyou::kNoCountdown)
                DaimyouAt(gs, former).SetRelationHi(h, 12);
            return ok;
        }
        case Application::Juuzoku:
            if (DaimyouAt(gs, a).GetRelationLo(h) != CDaimyou::kRelFusen)
                MakePeace(gs, ports, h, a, true, peace);
            MakeJuuzoku(gs, ports, a, h, false);
            return true;
        case Application::Shinjuu: {
            const int s = DaimyouAt(gs, a).GetRelationLo(h);
            if (s != CDaimyou::kRelFusen && s != CDaimyou::kRelJuuzokuMaster)
                MakePeace(gs, ports, h, a, true, peace);
            if (s != CDaimyou::kRelJuuzokuMaster) MakeJuuzoku(gs, ports, a, h, false);
            MakeShinjuu(gs, a, h);
            return true;
        }
    }
    return false;
}

// A general record for a made-up heir of the giver: three in every ability, 1 to 13 years old.
CBushou MakeSeishi(GameState& gs, int giver) {
    CBushou b;
    b.name = MakeSeishiName(gs, giver);
    b.buyuu = b.seiji = b.yashin = b.chuusei = b.chibou = b.yasenTousotsu = b.suigunTousotsu = 3;
    b.birthYear = static_cast<std::int16_t>(gs.nCurYear - 1 - static_cast<int>(gs.rng.Unit() * 12.0));
    b.deathYear = static_cast<std::int16_t>(b.birthYear + 60);
    b.flags = CBushou::kFlagDeathType1;
    b.id = -1;
    b.joinDaimyou.fill(-1);
    b.moveShiro = static_cast<std::int16_t>(b.birthYear + 17);
    std::vector<int> own;
    for (int c : ShiroIndexes(gs))
        if (ShiroAt(gs, c).daimyou == giver) own.push_back(c);
    if (!own.empty()) {
        b.sortieShiro = static_cast<std::int16_t>(
            own[static_cast<std::size_t>(gs.rng.Below(static_cast<int>(own.size())))]);
    } else if (ShiroCount(gs) > 0) {
        b.sortieShiro = static_cast<std::int16_t>(gs.rng.Below(ShiroCount(gs)));
    } else {
        b.sortieShiro = -1;
    }
    return b;
}

}  // namespace

// --- sums -----------------------------------------------------------------------------------

namespace {

// The house a vassal's castles and generals also count for: its master; -1 for any other house.
int SumsMaster(const GameState& gs, int d) {
    const CDaimyou& h = DaimyouAt(gs, d);
    return h.bond == CDaimyou::kBondShinjuu && h.masterDaimyou != d && IsValidDaimyou(gs, h.masterDaimyou)
               ? h.masterDaimyou
               : -1;
}

}  // namespace

void DaimyouSums::Gather(const GameState& gs) {
    gs_ = &gs;
    const std::size_t n = static_cast<std::size_t>(DaimyouCount(gs));
    k_.assign(n, 0);
    own_.resize(n);
    for (std::vector<int>& list : own_)
        list.clear();
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        if (!IsValidDaimyou(gs, s.daimyou)) continue;
        const auto d = static_cast<std::size_t>(s.daimyou);
        k_[d] += s.kokudaka;
        own_[d].push_back(c);
    }
    TakeBonds(gs);
}

void DaimyouSums::FollowBonds(const GameState& gs) {
    if (gs_ != &gs || k_.size() != static_cast<std::size_t>(DaimyouCount(gs))) {
        Gather(gs);
        return;
    }
    TakeBonds(gs);
}

void DaimyouSums::TakeBonds(const GameState& gs) {
    const std::size_t n = k_.size();
    strengths_.gathered = false;
    ks_ = k_;
    vassals_.resize(n);
    for (std::vector<int>& list : vassals_)
        list.clear();
    for (int d : DaimyouIndexes(gs)) {
        if (const int m = SumsMaster(gs, d); m >= 0) {
            ks_[static_cast<std::size_t>(m)] += k_[static_cast<std::size_t>(d)];
            vassals_[static_cast<std::size_t>(m)].push_back(d);
        }
    }
    counted_.resize(n);
    countedTaken_.assign(n, 0);
}

const std::vector<int>& DaimyouSums::CountedShiro(int daimyou) const {
    if (daimyou < 0 || static_cast<std::size_t>(daimyou) >= counted_.size() || gs_ == nullptr)
        return ListOfHouse(counted_, -1);
    const auto d = static_cast<std::size_t>(daimyou);
    std::vector<int>& list = counted_[d];
    if (countedTaken_[d]) return list;
    countedTaken_[d] = 1;
    // The house's own castles unless they count for its master, and its vassals'.
    list.clear();
    if (GetCountedDaimyou(*gs_, daimyou) == daimyou) list = own_[d];
    for (int v : vassals_[d])
        list.insert(list.end(), own_[static_cast<std::size_t>(v)].begin(),
                    own_[static_cast<std::size_t>(v)].end());
    if (!vassals_[d].empty()) std::sort(list.begin(), list.end());
    return list;
}

const DaimyouSums::StrengthSums& DaimyouSums::Strengths() const {
    if (strengths_.gathered || gs_ == nullptr) return strengths_;
    const GameState& gs = *gs_;
    const std::size_t n = static_cast<std::size_t>(DaimyouCount(gs));
    strengths_.s.assign(n, 0);
    strengths_.ss.assign(n, 0);
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (!IsValidDaimyou(gs, b.daimyou)) continue;
        const std::int64_t v = 3 * b.cavalry + b.foot;
        const auto d = static_cast<std::size_t>(b.daimyou);
        strengths_.s[d] += v;
        strengths_.ss[d] += v;
        if (const int m = SumsMaster(gs, b.daimyou); m >= 0) strengths_.ss[static_cast<std::size_t>(m)] += v;
    }
    strengths_.gathered = true;
    return strengths_;
}

// --- the player's envoy question --------------------------------------------------------------

std::string ShishaQuestionText(const GameState& gs, int mode, int counterpart) {
    const std::string name = NameOf(gs, counterpart);
    switch (mode) {
        case kShishaFusen:
            return FormatText("%sから同盟交渉の使者が来ました。不戦同盟を結びますか？", name.c_str());
        case kShishaJuuzokuYoukyuu:
            return FormatText("%sから従属要求の使者が来ました。従属しますか？", name.c_str());
        case kShishaShinjuuYoukyuu:
            return FormatText("%sから臣従要求の使者が来ました。臣従しますか？", name.c_str());
        case kShishaJuuzokuShigan:
            return FormatText("%sが当家に従属を申し出ました。受け入れますか？", name.c_str());
        case kShishaShinjuuShigan:
            return FormatText("%sが当家に臣従を申し出ました。受け入れますか？", name.c_str());
        case kShishaKuragae: {
            const int master =
                IsValidDaimyou(gs, counterpart) ? DaimyouAt(gs, counterpart).masterDaimyou : -1;
            return FormatText("%sが%sから当家に鞍替えを申し出ました。受け入れますか？", name.c_str(),
                              NameOf(gs, master).c_str());
        }
        default: return std::string();
    }
}

std::string ShishaInfoText(const GameState& gs, int counterpart) {
    const std::int64_t k = IsValidDaimyou(gs, counterpart) ? SumKokudakaOfDaimyou(gs, counterpart) : 0;
    const int castles = IsValidDaimyou(gs, counterpart) ? CountShiroOfDaimyou(gs, counterpart) : 0;
    return FormatWithWords(gs.ScenarioWords, {ReplaceWordShiro}, "%s情報 :   %s %d万%04d%s   城数 %d",
                           NameOf(gs, counterpart).c_str(), gs.ScenarioWords[kWordKokudaka].c_str(),
                           static_cast<int>(k / 10000), static_cast<int>(k % 10000),
                           gs.ScenarioWords[kWordKoku].c_str(), castles);
}

std::vector<std::string> ShishaApplicationChoices() {
    return EnvoyApplicationChoices();
}

std::string ShishaCaption(int mode) {
    switch (mode) {
        case kShishaFusen: return "不戦同盟交渉使者来訪";
        case kShishaJuuzokuYoukyuu: return "従属要求使者来訪";
        case kShishaShinjuuYoukyuu: return "臣従要求使者来訪";
        case kShishaJuuzokuShigan: return "従属志願使者来訪";
        case kShishaShinjuuShigan: return "臣従志願使者来訪";
        case kShishaKuragae: return "主家鞍替え使者来訪";
        default: return "使者来訪";
    }
}

ShishaAnswer AskShishaRaihou(GameState& gs, const Ports& ports, int mode, int counterpart) {
    ShishaAnswer answer;
    // Nobody to ask: the safe answer, accept without a hostage.
    if (!PolicyOf(gs).Shows(MessageKind::EnvoyQuestion)) {
        answer.accept = true;
        return answer;
    }
    AskPort::EnvoyVisit visit;
    visit.game = &gs;
    visit.caption = ShishaCaption(mode);
    visit.mode = mode;
    visit.counterpart = counterpart;
    visit.question = ShishaQuestionText(gs, mode, counterpart);
    visit.info = ShishaInfoText(gs, counterpart);
    const AskPort::EnvoyReply reply = ports.ask->AskEnvoyVisit(visit);
    answer.accept = reply.accept;
    answer.demandHitojichi = reply.accept && reply.demandHostage && mode >= kShishaJuuzokuShigan;
    return answer;
}

// --- the envoys -------------------------------------------------------------------------------

bool SendJuuzokuYoukyuuShisha(GameState& gs, const Ports& ports, int a, int b, const DaimyouSums* sums) {
    if (!IsValidDaimyou(gs, a) || !IsValidDaimyou(gs, b) || a == b) return false;
    if (DaimyouAt(gs, b).bond != CDaimyou::kBondDokuritsu) return false;
    return SendDemand(gs, ports, a, b, {kShishaJuuzokuYoukyuu, gs.nJuuzokuJoukenHosei, 0.03, 0.02, false},
                      sums);
}

bool SendShinjuuYoukyuuShisha(GameState& gs, const Ports& ports, int a, int b, const DaimyouSums* sums) {
    if (!IsValidDaimyou(gs, a) || !IsValidDaimyou(gs, b) || a == b) return false;
    const CDaimyou& h = DaimyouAt(gs, b);
    if (h.bond != CDaimyou::kBondJuuzoku || h.masterDaimyou != a) return false;
    return SendDemand(gs, ports, a, b, {kShishaShinjuuYoukyuu, gs.nShinjuuJoukenHosei, 0.02, 0.01, true},
                      sums);
}

bool SendKuragaeShisha(GameState& gs, const Ports& ports, int a, int h, const DaimyouSums* sums,
                       const PeaceKnown* peace) {
    return SendApplication(gs, ports, a, h, Application::Kuragae, sums, peace);
}

bool SendJuuzokuShiganShisha(GameState& gs, const Ports& ports, int a, int h, const DaimyouSums* sums,
                             const PeaceKnown* peace) {
    return SendApplication(gs, ports, a, h, Application::Juuzoku, sums, peace);
}

bool SendShinjuuShiganShisha(GameState& gs, const Ports& ports, int a, int h, const DaimyouSums* sums,
                             const PeaceKnown* peace) {
    return SendApplication(gs, ports, a, h, Application::Shinjuu, sums, peace);
}

double EvaluateShishaTeian(const GameState& gs, int x, int y, bool fromBorder, std::span<const int> friends,
                           const DaimyouSums* given) {
    if (!IsValidDaimyou(gs, x) || !IsValidDaimyou(gs, y) || x == y) return 0.0;
    const DaimyouSums local = given ? DaimyouSums() : DaimyouSums(gs);
    const DaimyouSums& sums = given ? *given : local;

    // 1. The rice yield standing behind y: with fromBorder, the part of y's side that hangs
    //    together with the castles facing x's own (one flood fill from all of them at once).
    std::int64_t bigY = 0;
    if (fromBorder) {
        // Marks kept at 0 between calls; the castles marked are cleared again at the end.
        thread_local std::vector<std::uint8_t> marked;
        if (marked.size() < static_cast<std::size_t>(ShiroCount(gs)))
            marked.resize(static_cast<std::size_t>(ShiroCount(gs)), 0);
        std::vector<int> stack;
        std::vector<int> filled;
        const auto mark = [&](int c) {
            marked[static_cast<std::size_t>(c)] = 1;
            filled.push_back(c);
            stack.push_back(c);
        };
        for (int c : sums.CountedShiro(y)) {
            bool facing = false;
            ForShiroLinks(gs, c, [&](int l, int) { facing = facing || ShiroAt(gs, l).daimyou == x; });
            if (facing && !marked[static_cast<std::size_t>(c)]) mark(c);
        }
        while (!stack.empty()) {
            const int c = stack.back();
            stack.pop_back();
            bigY += ShiroAt(gs, c).kokudaka;
            ForShiroLinks(gs, c, [&](int l, int) {
                if (marked[static_cast<std::size_t>(l)] || GetCountedDaimyouOfShiro(gs, l) != y) return;
                mark(l);
            });
        }
        for (int c : filled)
            marked[static_cast<std::size_t>(c)] = 0;
    } else {
        bigY = sums.KS(y);
    }

    // 2-3.
    const CDaimyou& hx = DaimyouAt(gs, x);
    const std::int64_t bigX = sums.K(x);
    if (hx.bond == CDaimyou::kBondShinjuu && hx.masterDaimyou == y) bigY -= bigX;
    if (fromBorder && bigX >= bigY / 2) return 1.0;

    // 4. y's enemies, but for x itself; bound houses count only when named as friends.
    const auto isFriend = [&](int t) {
        return std::find(friends.begin(), friends.end(), t) != friends.end();
    };
    std::int64_t bigE = 0;
    for (int t : TopNeighbours(gs, y, sums, [&](int t, int l) {
             if (ShiroAt(gs, l).daimyou == x) return false;
             return DaimyouAt(gs, t).GetRelationLo(y) <= CDaimyou::kRelNothing || isFriend(t);
         }))
        bigE += sums.KS(t);

    // 5. The two traits of x's head beside politics: ambition (A) and loyalty (B).
    double traitA = 5.0;
    double traitB = 5.0;
    if (IsValidBushou(gs, hx.toushu)) {
        traitA = BushouAt(gs, hx.toushu).yashin;
        traitB = BushouAt(gs, hx.toushu).chuusei;
    }
    if (fromBorder) traitB = 5.0;

    // 6-8.
    const auto interpolate = [](double v, double n) { return LinearInterpolate(v, 1.0, n, 0.5, n / 5.0); };
    const double yy = static_cast<double>(bigY);
    double p1 = 1.0;
    double p2 = 1.0;
    if (bigE != 0) {
        const double e = static_cast<double>(bigE);
        p1 = interpolate(yy * ((traitB - 5.0) / 2.0 + 5.0), e);
        p2 = interpolate(yy * ((traitB - 5.0) / 2.5 + 3.0), e);
    }
    const int trend = static_cast<std::int8_t>(DaimyouAt(gs, y).strengthTrend);
    if (trend > 0) {
        p1 *= 2.0;
        p2 *= 2.0;
    } else if (trend == 0) {
        p1 *= 1.3;
        p2 *= 1.3;
    }
    double p3 = 1.0;
    if (bigX != 0) p3 = interpolate(yy * ((traitB - traitA) / 10.0 * 1.3 + 2.0), static_cast<double>(bigX));
    const double hosei = gs.nDokuritsuJoukenHosei / 5.0;
    // Not cut to 0..1: values below 0 still order two positions.
    return std::max({1.0 - p1 * hosei, 1.0 - p2 * hosei, 1.0 - p3 * hosei});
}

// --- hostages ---------------------------------------------------------------------------------

std::vector<int> CollectHitojichiKouho(const GameState& gs, int daimyou, int max) {
    std::vector<int> out;
    const int n = std::clamp(gs.nMitoujouBushou, 0, GameState::kMaxBushou);
    const int nEx = std::clamp(gs.nBushouEx, 0, GameState::kMaxBushou);
    for (int i = 0; i < n && static_cast<int>(out.size()) < max; ++i) {
        const CBushou& b = gs.MitoujouBushouTbl[static_cast<std::size_t>(i)];
        const int age = gs.nCurYear - b.birthYear;
        if (b.daimyou != daimyou || age < 1 || age > 18) continue;
        if (b.id < 0 || b.id >= nEx) continue;
        const BushouExRecord& ex = gs.BushouExTbl[static_cast<std::size_t>(b.id)];
        if (LineDaimyou(ex.daimyou) != daimyou || ex.successionRank == -1) continue;
        out.push_back(i);
    }
    return out;
}

HitojichiOffer MakeHitojichiOffer(const GameState& gs, int receiver, int giver,
                                  std::span<const int> candidates) {
    HitojichiOffer offer;
    offer.demand = FormatText("%s は人質の差し出しを要求してきました", NameOf(gs, receiver).c_str());
    offer.listTitle = ReplaceWordGenpuku("人質候補（元服前の世継）", gs.ScenarioWords);
    for (int i : candidates)
        offer.heirs.push_back(PersonnelRowOf(gs, gs.MitoujouBushouTbl[static_cast<std::size_t>(i)]));
    if (candidates.empty()) offer.heirs.push_back({NameOf(gs, giver) + gs.ScenarioWords[kWordSeishi], {}});
    return offer;
}

std::string MakeSeishiName(const GameState& gs, int giver) {
    return CutUtf8ToEncodedLength(NameOf(gs, giver) + gs.ScenarioWords[kWordSeishi], kNameBytes,
                                  gs.Encoding());
}

bool OfferHitojichi(GameState& gs, const Ports& ports, int receiver, int giver, int& bushou) {
    bushou = -1;
    if (!IsValidDaimyou(gs, receiver) || !IsValidDaimyou(gs, giver)) return false;
    const bool room = BushouCount(gs) < GameState::kMaxBushou;
    const std::vector<int> candidates =
        room ? CollectHitojichiKouho(gs, giver, kMaxHitojichiKouho) : std::vector<int>();

    int chosen = -1;  // index among the generals not yet appeared; -1 a made-up heir
    if (IsPlayer(gs, giver)) {
        // The heirs to choose from, or the house's generic heir; -1 refuses.
        const HitojichiOffer offer = MakeHitojichiOffer(gs, receiver, giver, candidates);
        const int answer = PolicyOf(gs).Shows(MessageKind::EnvoyQuestion)
                               ? ports.ask->AskHitojichiOffer(offer)
                               : kSafeChoice;
        if (answer < 0 || answer >= static_cast<int>(offer.heirs.size())) return false;
        if (!candidates.empty()) chosen = candidates[static_cast<std::size_t>(answer)];
    } else if (!candidates.empty()) {
        // The least able heir; the first in table order among equals.
        int best = -1;
        for (int i : candidates) {
            const CBushou& b = gs.MitoujouBushouTbl[static_cast<std::size_t>(i)];
            const int worth = 10 * (b.buyuu + b.chibou) + b.seiji;
            if (best < 0 || worth < best) {
                best = worth;
                chosen = i;
            }
        }
    }
    if (!room) return false;

    const int g = gs.nBushou;
    if (chosen >= 0) {
        gs.BushouTbl[static_cast<std::size_t>(g)] = gs.MitoujouBushouTbl[static_cast<std::size_t>(chosen)];
        const int n = std::clamp(gs.nMitoujouBushou, 0, GameState::kMaxBushou);
        for (int i = chosen; i + 1 < n; ++i)
            gs.MitoujouBushouTbl[static_cast<std::size_t>(i)] =
                gs.MitoujouBushouTbl[static_cast<std::size_t>(i + 1)];
        gs.nMitoujouBushou = n - 1;
    } else {
        gs.BushouTbl[static_cast<std::size_t>(g)] = MakeSeishi(gs, giver);
    }
    gs.nBushou = g + 1;

    CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
    b.gundan = -1;
    b.daimyou = CBushou::kDaimyouHitojichi;
    b.holderDaimyou = static_cast<std::int16_t>(receiver);
    b.originDaimyou = static_cast<std::int16_t>(giver);
    b.status = CBushou::kStatusHitojichi;
    b.flags = static_cast<std::uint16_t>(b.flags & ~(CBushou::kFlagOrdered | CBushou::kFlagBesieging |
                                                     CBushou::kFlagWarMark | CBushou::kFlagNotDefending));
    const int head = DaimyouAt(gs, giver).toushu;
    if (IsValidBushou(gs, head) && head != g)
        b.shiro = BushouAt(gs, head).shiro;
    else
        b.shiro = static_cast<std::int16_t>(ShiroCount(gs) > 0 ? 0 : -1);
    bushou = g;
    return true;
}

}  // namespace rymd
