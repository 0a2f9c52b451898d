#include "game/ai/cpu_gaikou.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "game/diplomacy/bonds.h"
#include "game/military/siege.h"
#include "game/ports/suppression_policy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/policy.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "mbmisc/sort_int.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

constexpr int kListCapacity = 1000;

int Key(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

int Trend(const GameState& gs, int d) {
    return static_cast<std::int8_t>(DaimyouAt(gs, d).strengthTrend);
}

int Relation(const GameState& gs, int x, int y) {
    return DaimyouAt(gs, x).GetRelationLo(y);
}

int Find(const MbMisc::CSortInt& list, int item) {
    for (int i = 0; i < list.GetCount(); ++i)
        if (list.GetItem(i) == item) return i;
    return -1;
}

// Whether the castle belongs to the house or to one of its vassals.
bool OwnOrVassal(const GameState& gs, int c, int daimyou) {
    const int owner = ShiroAt(gs, c).daimyou;
    if (owner == daimyou) return true;
    if (!IsValidDaimyou(gs, owner)) return false;
    const CDaimyou& o = DaimyouAt(gs, owner);
    return o.bond == CDaimyou::kBondShinjuu && o.masterDaimyou == daimyou;
}

}  // namespace

void CCpuGaikou::Report(const std::string& line) {
    messageText += line;
    messageText += '\n';
}

void CCpuGaikou::Refresh() {
    view_.FollowBondChange(context_.gs);
    EnsureCurrent();
}

void CCpuGaikou::Prepare(int daimyou) {
    EnsureCurrent();
    shiroList_ = MainShiro(daimyou);
    preparedFor_ = daimyou;
}

void CCpuGaikou::EnsureCurrent() const {
    const GameState& gs = context_.gs;
    view_.Ensure(gs);
    // CollectShiro's marks are kept at -1 between its calls.
    const auto nShiro = static_cast<std::size_t>(ShiroCount(gs));
    if (blockOf_.size() != nShiro) blockOf_.assign(nShiro, -1);
    if (seenBy_.size() != nShiro) seenBy_.assign(nShiro, -1);
}

PeaceKnown CCpuGaikou::KnownForPeace() const {
    return {[this](int d) -> const std::vector<int>& { return view_.Besieged(d); }, &view_.Held(),
            [this](int d) { return view_.Sums().K(d); }};
}

const std::vector<int>& CCpuGaikou::ShiroWithVassals(int daimyou) const {
    withVassals_.clear();
    if (!IsValidDaimyou(context_.gs, daimyou)) return withVassals_;
    withVassals_ = view_.Own(daimyou);
    const std::vector<int>& vassals = view_.Vassals(daimyou);
    if (vassals.empty()) return withVassals_;
    for (int v : vassals)
        withVassals_.insert(withVassals_.end(), view_.Own(v).begin(), view_.Own(v).end());
    std::sort(withVassals_.begin(), withVassals_.end());
    return withVassals_;
}

void CCpuGaikou::Run(int daimyou) {
    GameState& gs = context_.gs;
    if (!HouseExists(gs, daimyou)) return;
    Prepare(daimyou);
    if (DaimyouAt(gs, daimyou).bond == CDaimyou::kBondDokuritsu) {
        const int target = ChooseTarget(daimyou);
        if (target != kSubordinated) {
            ForceJuuzoku(daimyou, target);
            ForceJuuzokuOrBreakDoumei(daimyou, target);
        }
    } else {
        RunMember(daimyou);
    }
    preparedFor_ = -1;
}

std::vector<int> CCpuGaikou::CollectShiro(int daimyou) const {
    if (!IsValidDaimyou(context_.gs, daimyou)) return {};
    EnsureCurrent();
    return MainShiro(daimyou);
}

std::vector<int> CCpuGaikou::MainShiro(int daimyou) const {
    const GameState& gs = context_.gs;
    std::vector<int> out;
    if (!IsValidDaimyou(gs, daimyou)) return out;
    const bool vassal = DaimyouAt(gs, daimyou).bond == CDaimyou::kBondShinjuu;

    // Blocks of castles that hang together through the house's own castles, numbered in table
    // order of their first castle. A vassal counts its own castles, any other house those of its
    // vassals too.
    const std::vector<int> castles = vassal ? view_.Own(daimyou) : ShiroWithVassals(daimyou);
    if (castles.empty()) return out;
    std::vector<int>& block = blockOf_;
    for (int c : castles)
        block[static_cast<std::size_t>(c)] = -2;  // counted, not yet in a block
    std::vector<std::vector<int>> blocks;
    std::vector<int> stack;
    for (int start : castles) {
        if (block[static_cast<std::size_t>(start)] != -2) continue;
        const int id = static_cast<int>(blocks.size());
        blocks.emplace_back();
        block[static_cast<std::size_t>(start)] = id;
        stack.assign(1, start);
        while (!stack.empty()) {
            const int c = stack.back();
            stack.pop_back();
            blocks.back().push_back(c);
            ForShiroLinks(gs, c, [&](int l, int) {
                if (block[static_cast<std::size_t>(l)] != -2) return;
                block[static_cast<std::size_t>(l)] = id;
                stack.push_back(l);
            });
        }
        std::sort(blocks.back().begin(), blocks.back().end());
    }

    // Strength of each block: its generals, and the house's besiegers of castles next to it.
    std::vector<int>& seenBy = seenBy_;
    std::vector<int> seen;  // the castles marked in seenBy, to clear them afterwards
    std::vector<std::int64_t> strength(blocks.size(), 0);
    for (std::size_t id = 0; id < blocks.size(); ++id) {
        for (int c : blocks[id]) {
            const CShiro& s = ShiroAt(gs, c);
            for (int i = 0; i < std::clamp<int>(s.nBushou, 0, CShiro::kMaxBushou); ++i) {
                const int g = s.bushou[static_cast<std::size_t>(i)];
                if (IsValidBushou(gs, g)) strength[id] += 3 * BushouAt(gs, g).cavalry + BushouAt(gs, g).foot;
            }
            ForShiroLinks(gs, c, [&](int l, int) {
                if (seenBy[static_cast<std::size_t>(l)] == static_cast<int>(id)) return;
                if (seenBy[static_cast<std::size_t>(l)] < 0) seen.push_back(l);
                seenBy[static_cast<std::size_t>(l)] = static_cast<int>(id);
                const CShiro& linked = ShiroAt(gs, l);
                if (linked.besiegerDaimyou >= 0 && GetCountedDaimyou(gs, linked.besiegerDaimyou) == daimyou)
                    strength[id] += linked.GetBesiegerStrength(gs);
            });
        }
    }
    for (int c : castles)
        block[static_cast<std::size_t>(c)] = -1;
    for (int c : seen)
        seenBy[static_cast<std::size_t>(c)] = -1;
    const std::int64_t strongest = *std::max_element(strength.begin(), strength.end());
    for (std::size_t id = 0; id < blocks.size(); ++id)
        if (strength[id] >= strongest / 2) out.insert(out.end(), blocks[id].begin(), blocks[id].end());
    return out;
}

std::vector<int> CCpuGaikou::CollectTekiDaimyou(int daimyou, bool mainCastlesOnly) const {
    const GameState& gs = context_.gs;
    std::vector<int> out;
    if (!IsValidDaimyou(gs, daimyou)) return out;
    const int top = GetCountedDaimyou(gs, daimyou);
    const auto look = [&](int c) {
        if (!OwnOrVassal(gs, c, daimyou)) return;
        ForShiroLinks(gs, c, [&](int l, int) {
            const int t = GetCountedDaimyouOfShiro(gs, l);
            if (t == top || !HouseExists(gs, t) || Relation(gs, daimyou, t) >= CDaimyou::kRelFusen) return;
            if (std::find(out.begin(), out.end(), t) == out.end()) out.push_back(t);
        });
    };
    if (mainCastlesOnly) {
        const std::vector<int> castles = preparedFor_ == daimyou ? shiroList_ : CollectShiro(daimyou);
        for (int c : castles)
            look(c);
    } else {
        // A prepared house's run has changed nothing since its view was checked.
        if (preparedFor_ != daimyou) EnsureCurrent();
        for (int c : ShiroWithVassals(daimyou))
            look(c);
    }
    return out;
}

// A subordinate in the list stands for its master: its key goes to the master's entry, or, when
// the master is not listed and is hostile too, the master joins with it; the subordinate leaves.
void CCpuGaikou::MergeSubordinates(int daimyou, MbMisc::CSortInt& list) const {
    const GameState& gs = context_.gs;
    for (int i = 0; i < list.GetCount();) {
        const int t = list.GetItem(i);
        const CDaimyou& h = DaimyouAt(gs, t);
        if (h.bond != CDaimyou::kBondJuuzoku) {
            ++i;
            continue;
        }
        const int master = h.masterDaimyou;
        const int at = Find(list, master);
        if (at >= 0) {
            list.SetSort(at, Key(static_cast<std::int64_t>(list.GetSort(at)) + list.GetSort(i)));
        } else if (HouseExists(gs, master) && master != daimyou &&
                   Relation(gs, daimyou, master) < CDaimyou::kRelFusen) {
            list.AddData(master, list.GetSort(i));
        }
        list.DeleteData(i);
    }
}

// Every hostile neighbour, strongest first (equals in random order), the weakest of the main
// front last. False when no hostile house borders the main castles.
bool CCpuGaikou::ListEnemies(int daimyou, MbMisc::CSortInt& list) {
    GameState& gs = context_.gs;
    // The hostile neighbours of the main castles; the weakest of them.
    const std::vector<int> near = CollectTekiDaimyou(daimyou, true);
    if (near.empty()) return false;
    MbMisc::CSortInt first(kListCapacity);
    for (int t : near)
        first.AddData(t, Key(view_.Sums().KS(t)));
    MergeSubordinates(daimyou, first);
    const int weakest = first.GetCount() > 0 ? first.GetItem(first.GetMin()) : -1;

    for (int t : near)
        list.AddData(t, Key(view_.Sums().KS(t)));
    for (int t : CollectTekiDaimyou(daimyou, false))
        if (Find(list, t) < 0) list.AddData(t, Key(view_.Sums().KS(t)));
    MergeSubordinates(daimyou, list);
    int weakestKey = 0;
    const int at = Find(list, weakest);
    if (at >= 0) {
        weakestKey = list.GetSort(at);
        list.DeleteData(at);
    }
    list.SortTopLarge(-1);
    list.Randomize(gs.rng);
    if (at >= 0) list.AddData(weakest, weakestKey);
    return true;
}

// Non-aggression alliances with the enemies in list order; the house allied with, or kNoTarget.
int CCpuGaikou::SeekFusenDoumei(int daimyou, const MbMisc::CSortInt& list, const PeaceKnown& peace) {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    CDaimyou& h = DaimyouAt(gs, daimyou);
    std::vector<int> besiegedOwners;
    for (int c : view_.Besieged(daimyou))
        besiegedOwners.push_back(ShiroAt(gs, c).daimyou);
    bool projected = false;
    std::int64_t atHarvest = 0;
    for (int i = 0; i < list.GetCount(); ++i) {
        const int t = list.GetItem(i);
        if (Relation(gs, daimyou, t) == CDaimyou::kRelShukuteki) continue;
        const std::int64_t price = static_cast<std::int64_t>(0.1 * static_cast<double>(view_.Sums().K(t)));
        if (h.shikin < price) continue;
        if (gs.rng.Unit() < 0.8) {
            if (!projected) {
                atHarvest = EstimateShikinAtHarvest(gs, daimyou, -1, 1.1, &view_.FundsIndex(gs));
                projected = true;
            }
            if (atHarvest < price) continue;
        }
        if (std::find(besiegedOwners.begin(), besiegedOwners.end(), t) != besiegedOwners.end()) continue;
        bool agreed = false;
        if (t == gs.nPlayerDaimyou) {
            agreed = AskShishaRaihou(gs, ports, kShishaFusen, daimyou).accept;
            if (agreed) MakePeace(gs, ports, daimyou, t, false, &peace);
        } else {
            const FusenDoumeiKnown known{&ShiroWithVassals(t), peace.kokudaka, &peace};
            agreed = NegotiateFusenDoumei(gs, ports, daimyou, t, known);
        }
        if (!agreed) continue;
        Report(FormatText("%sと%sは不戦同盟を結びました", h.name.c_str(), DaimyouAt(gs, t).name.c_str()));
        if ((h.GetKind() == CDaimyou::kKindAinu || DaimyouAt(gs, t).GetKind() == CDaimyou::kKindAinu) &&
            IsDaimyouRinsetsu(gs, daimyou, t))
            Report(FormatText("%sは%sとの交易を開始しました", DaimyouAt(gs, t).name.c_str(), h.name.c_str()));
        Refresh();
        return t;
    }
    return kNoTarget;
}

// A weak house, or one whose last castle is besieged, applies to a rising neighbour for
// subordination or vassalage; kSubordinated when one took it in, else kNoTarget.
int CCpuGaikou::SeekProtector(int daimyou, const MbMisc::CSortInt& list, const PeaceKnown& peace) {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    CDaimyou& h = DaimyouAt(gs, daimyou);
    if (h.GetKind() == CDaimyou::kKindAinu) return kNoTarget;
    const std::vector<int>& own = view_.Own(daimyou);
    const int owned = static_cast<int>(own.size());
    const int lone = own.empty() ? -1 : own.back();
    const bool falling = Trend(gs, daimyou) < 0;
    bool danger = false;
    if (owned == 0) return kNoTarget;
    if (owned >= 2) {
        if (!falling) return kNoTarget;
    } else if (ShiroAt(gs, lone).nBesieger > 0) {
        danger = true;
    } else if (!falling) {
        return kNoTarget;
    }
    for (int i = 0; i < list.GetCount(); ++i) {
        const int t = list.GetItem(i);
        if (Relation(gs, daimyou, t) == CDaimyou::kRelShukuteki || h.GetRelationHi(t) != 0) continue;
        if (!danger && Trend(gs, t) <= 0) continue;
        const double mine = static_cast<double>(view_.Sums().KS(daimyou));
        const double theirs = static_cast<double>(view_.Sums().KS(t));
        if (!danger) {
            if (theirs * 0.25 * gs.rng.Unit() > mine && gs.rng.Unit() < 0.5 &&
                SendJuuzokuShiganShisha(gs, ports, t, daimyou, &view_.Sums(), &peace)) {
                Report(FormatText("%sは従属志願し%sの傘下に入りました", h.name.c_str(),
                                  DaimyouAt(gs, t).name.c_str()));
                Refresh();
                return kSubordinated;
            }
            continue;
        }
        const double r = 0.25 * gs.rng.Unit();
        if (EstimateKoujousen(gs, -1, lone, nullptr, nullptr, 0, nullptr) > 4) continue;
        if (theirs * r > mine && gs.rng.Unit() < 0.5 &&
            SendShinjuuShiganShisha(gs, ports, t, daimyou, &view_.Sums(), &peace)) {
            Report(FormatText("%sは臣従志願し%sの傘下に入りました", h.name.c_str(),
                              DaimyouAt(gs, t).name.c_str()));
            Refresh();
            return kSubordinated;
        }
    }
    return kNoTarget;
}

int CCpuGaikou::ChooseTarget(int daimyou) {
    GameState& gs = context_.gs;
    if (!IsValidDaimyou(gs, daimyou)) return kNoTarget;
    if (preparedFor_ != daimyou) Prepare(daimyou);

    const PeaceKnown peace = KnownForPeace();
    MbMisc::CSortInt list(kListCapacity);
    if (!ListEnemies(daimyou, list)) return kNoTarget;

    // Non-aggression alliances, when the enemies together weigh enough.
    if (list.GetCount() >= 2) {
        std::int64_t sum = 0;
        for (int i = 0; i < list.GetCount(); ++i)
            sum += list.GetSort(i);
        if (static_cast<double>(sum) <
            static_cast<double>(view_.Sums().KS(daimyou)) * (0.7 + 0.2 * gs.rng.Unit()))
            return kNoTarget;
        const int ally = SeekFusenDoumei(daimyou, list, peace);
        if (ally != kNoTarget) return ally;
    }

    // No alliance: perhaps a protector.
    return SeekProtector(daimyou, list, peace);
}

void CCpuGaikou::ForceJuuzoku(int daimyou, int exclude) {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    if (!IsValidDaimyou(gs, daimyou)) return;
    if (preparedFor_ != daimyou) Prepare(daimyou);
    // The houses holding the state of a subordinate and of an ally about this one, in table
    // order, from one pass over the houses.
    std::vector<int> subordinates;
    std::vector<int> allies;
    const auto collect = [&] {
        subordinates.clear();
        allies.clear();
        for (int k : DaimyouIndexes(gs)) {
            if (k == daimyou || k == exclude) continue;
            const int state = Relation(gs, k, daimyou);
            if ((state == CDaimyou::kRelJuuzoku || state == CDaimyou::kRelFusen) && HouseExists(gs, k))
                (state == CDaimyou::kRelJuuzoku ? subordinates : allies).push_back(k);
        }
    };
    // The weakest of the houses, or -1.
    const auto weakest = [&](const std::vector<int>& houses) {
        MbMisc::CSortInt list(kListCapacity);
        for (int k : houses)
            list.AddData(k, Key(view_.Sums().K(k)));
        if (list.GetCount() == 0) return -1;
        list.SortTopSmall(-1);
        return list.GetItem(0);
    };
    const std::string& name = DaimyouAt(gs, daimyou).name;
    collect();

    // 1. A subordinate into vassalage.
    if (const int k = weakest(subordinates); k >= 0) {
        const double x = 0.3 * gs.rng.Unit();
        if (static_cast<double>(view_.Sums().K(daimyou)) * x > static_cast<double>(view_.Sums().K(k)) &&
            SendShinjuuYoukyuuShisha(gs, ports, daimyou, k, &view_.Sums())) {
            Report(FormatText("%sは%sを臣従させました", name.c_str(), DaimyouAt(gs, k).name.c_str()));
            Refresh();
            collect();  // the new vassal's sphere has new relations
        }
    }
    // 2. An ally into subordination.
    if (const int k = weakest(allies); k >= 0) {
        const double x = 0.4 * gs.rng.Unit();
        if (static_cast<double>(view_.Sums().K(daimyou)) * x > static_cast<double>(view_.Sums().K(k)) &&
            SendJuuzokuYoukyuuShisha(gs, ports, daimyou, k, &view_.Sums())) {
            Report(FormatText("%sは%sを従属させました", name.c_str(), DaimyouAt(gs, k).name.c_str()));
            Refresh();
        }
    }
}

int CCpuGaikou::ForceJuuzokuOrBreakDoumei(int daimyou, int exclude) {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    if (!IsValidDaimyou(gs, daimyou)) return -1;
    if (preparedFor_ != daimyou) Prepare(daimyou);
    if (DaimyouAt(gs, daimyou).GetKind() == CDaimyou::kKindAinu) return -1;

    // 2. The houses beyond the main castles: hostile ones, and bound ones counted as the house
    //    they serve (this house's own subordinates and vassals as themselves), keyed by the rice
    //    yield of their side, weighed by its trend.
    bool hostile = false;
    MbMisc::CSortInt bound(kListCapacity);
    for (int c : shiroList_) {
        if (!OwnOrVassal(gs, c, daimyou)) continue;
        ForShiroLinks(gs, c, [&](int l, int) {
            const int o = ShiroAt(gs, l).daimyou;
            if (o == daimyou || !HouseExists(gs, o)) return;
            if (Relation(gs, daimyou, o) < CDaimyou::kRelFusen) {
                hostile = true;
                return;
            }
            const CDaimyou& od = DaimyouAt(gs, o);
            int top = o;
            if (od.bond != CDaimyou::kBondDokuritsu && od.masterDaimyou != daimyou &&
                HouseExists(gs, od.masterDaimyou))
                top = od.masterDaimyou;
            if (Find(bound, top) >= 0) return;
            double key = static_cast<double>(view_.Sums().KS(top));
            if (Trend(gs, top) > 0) key *= 1.3;
            if (Trend(gs, top) < 0) key *= 0.7;
            bound.AddData(top, Key(static_cast<std::int64_t>(key)));
        });
    }
    if (bound.GetCount() == 0) return -1;
    bound.SortTopSmall(-1);
    bound.Randomize(gs.rng);
    if (hostile) return -1;

    const std::string& name = DaimyouAt(gs, daimyou).name;
    const double mine = static_cast<double>(view_.Sums().K(daimyou));
    // 4. A much weaker subordinate into vassalage.
    for (int i = 0; i < bound.GetCount(); ++i) {
        const int t = bound.GetItem(i);
        if (t == exclude || Relation(gs, daimyou, t) != CDaimyou::kRelJuuzokuMaster) continue;
        if (static_cast<double>(view_.Sums().K(t)) * 4.0 < mine &&
            SendShinjuuYoukyuuShisha(gs, ports, daimyou, t, &view_.Sums())) {
            Report(FormatText("%sは%sを臣従させました", name.c_str(), DaimyouAt(gs, t).name.c_str()));
            Refresh();
            return -1;
        }
    }
    // 5. The first ally not at least twice as rich: pressed into subordination when much
    //    weaker, else (or when it refuses) the alliance is broken.
    for (int i = 0; i < bound.GetCount(); ++i) {
        const int t = bound.GetItem(i);
        if (t == exclude || Relation(gs, daimyou, t) != CDaimyou::kRelFusen) continue;
        const double theirs = static_cast<double>(view_.Sums().K(t));
        if (theirs * 3.0 < mine) {
            if (SendJuuzokuYoukyuuShisha(gs, ports, daimyou, t, &view_.Sums())) {
                Report(FormatText("%sは%sを従属させました", name.c_str(), DaimyouAt(gs, t).name.c_str()));
                Refresh();
                return -1;
            }
        } else if (!(theirs * 0.5 < mine)) {
            continue;
        }
        DissolveDaimyouBond(gs, ports, daimyou, t);
        const std::string line =
            FormatText("%sは%sとの不戦同盟を破棄しました", name.c_str(), DaimyouAt(gs, t).name.c_str());
        Report(line);
        if (t == gs.nPlayerDaimyou) PolicyOf(gs).Inform(ports, MessageKind::DiplomacyMessage, line);
        Refresh();
        return t;
    }
    return -1;
}

void CCpuGaikou::RunMember(int daimyou) {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    const CDaimyou& h = DaimyouAt(gs, daimyou);
    const int master = h.masterDaimyou;
    if (!HouseExists(gs, master) || master == daimyou) return;

    // Candidates for a new master: the strongest houses hostile to the present one that border
    // the house's own main castles.
    std::vector<int> found;
    for (int c : shiroList_) {
        if (ShiroAt(gs, c).daimyou != daimyou) continue;
        ForShiroLinks(gs, c, [&](int l, int) {
            const int o = GetCountedDaimyouOfShiro(gs, l);
            if (o == master || o == daimyou || !HouseExists(gs, o)) return;
            if (Relation(gs, o, master) > CDaimyou::kRelNothing) return;
            if (h.GetRelationHi(o) == CDaimyou::kNoCountdown) return;
            if (std::find(found.begin(), found.end(), o) == found.end()) found.push_back(o);
        });
    }
    CSortList candidates(static_cast<int>(found.size()));
    candidates.SetCount(0);
    for (int o : found)
        candidates.Append(o, Key(view_.Sums().KS(o)));
    candidates.SortLarge();

    const int head = h.toushu;
    const double loyalty = IsValidBushou(gs, head) ? BushouAt(gs, head).chuusei : 5.0;
    const double weight = loyalty / 3.0 + 1.0;
    const double fearOfMaster = EvaluateShishaTeian(gs, daimyou, master, true, {}, &view_.Sums());
    const std::string masterName = DaimyouAt(gs, master).name;
    const PeaceKnown peace = KnownForPeace();
    for (int i = 0; i < candidates.Count(); ++i) {
        const int o = candidates.Id(i);
        const double ks = static_cast<double>(view_.Sums().KS(o));
        if (!(ks >= 1.5 * static_cast<double>(view_.Sums().K(daimyou)))) continue;
        if (!(ks >= static_cast<double>(view_.Sums().KS(master)) * (1.0 + 0.2 * gs.rng.Unit()) * weight))
            continue;
        if (!(static_cast<double>(view_.Sums().SS(o)) >=
              static_cast<double>(view_.Sums().SS(master)) * (1.0 + 0.2 * gs.rng.Unit()) * weight))
            continue;
        if (!(EvaluateShishaTeian(gs, daimyou, o, true, {}, &view_.Sums()) < fearOfMaster)) continue;
        if (SendKuragaeShisha(gs, ports, o, daimyou, &view_.Sums(), &peace)) {
            Report(FormatText("%sは主家を%sから%sに鞍替えしました", DaimyouAt(gs, daimyou).name.c_str(),
                              masterName.c_str(), DaimyouAt(gs, o).name.c_str()));
            Refresh();
            return;
        }
    }

    // No new master: independence, as likely as the house has little to fear from its master.
    const double fear = EvaluateShishaTeian(gs, daimyou, master, false, {}, &view_.Sums());
    if (gs.rng.Unit() < fear) {
        const std::string line =
            FormatText("%sは%sから独立しました", DaimyouAt(gs, daimyou).name.c_str(), masterName.c_str());
        Report(line);
        if (master == gs.nPlayerDaimyou) PolicyOf(gs).Inform(ports, MessageKind::DiplomacyMessage, line);
        DeclareDokuritsu(gs, ports, daimyou);
        Refresh();
    }
}

}  // namespace rymd
