#include "game/turn/kassen_phase.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "game/ai/attack_planner.h"
#include "game/diplomacy/horyo.h"
#include "game/military/battle_runners.h"
#include "game/military/placement.h"
#include "game/military/siege.h"
#include "game/military/siege_session.h"
#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/bushou_table.h"
#include "game/state/game_state.h"
#include "game/state/policy.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/succession.h"
#include "game/state/vocabulary.h"
#include "game/turn/life_events.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

constexpr int kMaxArmy = 20;
constexpr int kMaxHousesAtShiro = 11;
constexpr const char* kDefaultTaisan = "は蝦夷地の奥深くに退散しました";

std::string NameOfHouse(const GameState& gs, int d) {
    return IsValidDaimyou(gs, d) ? DaimyouAt(gs, d).name : std::string();
}
std::string NameOfShiro(const GameState& gs, int c) {
    return IsValidShiro(gs, c) ? ShiroMapAt(gs, c).name : std::string();
}
int KuniOf(const GameState& gs, int c) {
    return IsValidShiro(gs, c) ? ShiroMapAt(gs, c).kuni : -1;
}

int EffectiveHouse(const GameState& gs, int bushou) {
    return GetCountedDaimyou(gs, BushouAt(gs, bushou).daimyou);
}
int EffectiveOwnerOf(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) ? GetCountedDaimyouOfShiro(gs, shiro) : -1;
}

// Whether x holds y as an enemy (arch-enemies or no relation). A house that names nobody is
// nobody's friend.
bool Hostile(const GameState& gs, int x, int y) {
    if (!IsValidDaimyou(gs, x) || !IsValidDaimyou(gs, y)) return true;
    return DaimyouAt(gs, x).GetRelationLo(y) < CDaimyou::kRelFusen;
}

bool HeldCaptive(const CBushou& b) {
    return b.status == CBushou::kStatusHoryo || b.status == CBushou::kStatusHitojichi;
}
bool Has(const CBushou& b, std::uint16_t flag) {
    return (b.flags & flag) != 0;
}
void Clear(CBushou& b, std::uint16_t flag) {
    b.flags = static_cast<std::uint16_t>(b.flags & ~flag);
}

// The castle's besiegers, in list order.
std::vector<int> BesiegersOf(const GameState& gs, const CShiro& s) {
    std::vector<int> list;
    for (int i = 0; i < std::clamp<int>(s.nBesieger, 0, CShiro::kMaxBushou); ++i)
        if (IsValidBushou(gs, s.besieger[static_cast<std::size_t>(i)]))
            list.push_back(s.besieger[static_cast<std::size_t>(i)]);
    return list;
}

// The generals listed in a castle, not excluded from battle, bound for the destination and
// fighting for the house (at most 20).
std::vector<int> ArmyBoundFor(const GameState& gs, int shiro, int destination, int house) {
    std::vector<int> army;
    const CShiro& s = ShiroAt(gs, shiro);
    for (int i = 0; i < std::clamp<int>(s.nBushou, 0, CShiro::kMaxBushou) && army.size() < kMaxArmy; ++i) {
        const int g = s.bushou[static_cast<std::size_t>(i)];
        if (!IsValidBushou(gs, g)) continue;
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || Has(b, CBushou::kFlagNotDefending) || b.sortieShiro != destination) continue;
        if (EffectiveHouse(gs, g) == house) army.push_back(g);
    }
    return army;
}

// The generals of the house standing at the castle with the army mark (at most max), in table
// order, out of the generals given.
template <class Generals>
std::vector<int> ArmyAmong(const GameState& gs, const Generals& generals, int shiro, int house,
                           std::size_t max = kMaxArmy) {
    std::vector<int> army;
    for (int g : generals) {
        if (army.size() >= max) break;
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || b.shiro != shiro || !Has(b, CBushou::kFlagBesieging)) continue;
        if (EffectiveHouse(gs, g) == house) army.push_back(g);
    }
    return army;
}

// ... out of the whole general table.
std::vector<int> ArmyAt(const GameState& gs, int shiro, int house, std::size_t max = kMaxArmy) {
    return ArmyAmong(gs, BushouIndexes(gs), shiro, house, max);
}

// The generals with the army mark at each castle, in table order, taken before the armies
// fight. The fights only take the mark away (moving a general clears it too) and number no
// general anew while the table keeps its count, so ArmyAt of a castle is found among them;
// once the count changes the whole table is read again.
class MarkedArmies {
public:
    explicit MarkedArmies(const GameState& gs)
        : gs_(gs), count_(BushouCount(gs)), atShiro_(static_cast<std::size_t>(ShiroCount(gs))) {
        for (int g : BushouIndexes(gs)) {
            const CBushou& b = BushouAt(gs, g);
            if (Has(b, CBushou::kFlagBesieging) && IsValidShiro(gs, b.shiro))
                atShiro_[static_cast<std::size_t>(b.shiro)].push_back(g);
        }
    }
    std::vector<int> At(int shiro, int house, std::size_t max = kMaxArmy) const {
        if (const std::vector<int>* marked = MarkedAt(shiro))
            return ArmyAmong(gs_, *marked, shiro, house, max);
        return ArmyAt(gs_, shiro, house, max);
    }
    // CBattleRunner::CheckWithdrawn over the same generals.
    void CheckWithdrawn(CBattleRunner& runner, int shiro, int house) const {
        if (const std::vector<int>* marked = MarkedAt(shiro))
            runner.CheckWithdrawn(shiro, house, *marked);
        else
            runner.CheckWithdrawn(shiro, house);
    }

private:
    // The generals marked at the castle when the fights began; null once they may be stale.
    const std::vector<int>* MarkedAt(int shiro) const {
        if (BushouCount(gs_) != count_ || shiro < 0 || static_cast<std::size_t>(shiro) >= atShiro_.size())
            return nullptr;
        return &atShiro_[static_cast<std::size_t>(shiro)];
    }

    const GameState& gs_;
    int count_;
    std::vector<std::vector<int>> atShiro_;
};

}  // namespace

void CKassenPhase::PlanDaimyouAttacks(int daimyou) {
    CAttackPlanner(context_, planIndex_).PlanDaimyouAttacks(daimyou);
}

void CKassenPhase::PlanGundanAttacks(int daimyou, int gundan) {
    CAttackPlanner(context_, planIndex_).PlanGundanAttacks(daimyou, gundan);
}

void CKassenPhase::ResolveKassen() {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    battleText.clear();
    fatesText.clear();
    CHoryoRules horyo(gs, ports);
    CBattleRunner runner(gs, ports, &horyo);

    CrossArmies(runner);
    ChangeTownEconomy();
    {
        // Field battles and withdrawals move generals but no castle changes hands: the armies
        // sent home find their side's castles in one list of the castles by owner.
        const ShiroOwnerIndex owners(gs);
        runner.SetShiroOwners(&owners);
        FightRivalArmies(runner);
        runner.SetShiroOwners(nullptr);
    }
    PlaceArrivals();
    MoveFleets();
    RepairBushouLocations(gs, ports);
    RunSieges(runner);
    AbsorbCastlelessVassals();
    EndFallenHouses();
    MoveMarkedBushouToEnd();

    RepairBushouLocations(gs, ports);
    gs.GunsenTable.CheckGunsen(gs, ports);
    for (int c : ShiroIndexes(gs))
        if (ShiroAt(gs, c).nBesieger == 0) ShiroAt(gs, c).siegeValue = 0;

    fatesText = runner.fatesText;
    const std::vector<std::string> texts = {battleText.empty() ? std::string("なし") : battleText, fatesText};
    PolicyOf(gs).ShowReport(ports, MessageKind::BattleResultsReport, ReportKind::BattleResults, "合戦結果",
                            texts);
}

// 1. Armies whose orders cross meet halfway; the winner marches on, the loser stays home.
void CKassenPhase::CrossArmies(CBattleRunner& runner) {
    GameState& gs = context_.gs;
    for (int g = 0; g < BushouCount(gs); ++g) {
        for (;;) {
            CBushou& b = BushouAt(gs, g);
            if (HeldCaptive(b) || b.daimyou < 0) break;
            const int from = b.shiro;
            const int to = b.sortieShiro;
            if (to == from || !IsValidShiro(gs, to) || !IsValidShiro(gs, from)) break;
            const int house = EffectiveHouse(gs, g);

            int enemy = -1;
            const CShiro& dest = ShiroAt(gs, to);
            for (int i = 0; i < std::clamp<int>(dest.nBushou, 0, CShiro::kMaxBushou); ++i) {
                const int h = dest.bushou[static_cast<std::size_t>(i)];
                if (!IsValidBushou(gs, h)) continue;
                const CBushou& o = BushouAt(gs, h);
                if (o.daimyou < 0 || Has(o, CBushou::kFlagNotDefending) || Has(o, CBushou::kFlagByWater))
                    continue;
                const int other = EffectiveHouse(gs, h);
                if (other != house && Hostile(gs, house, other) && o.sortieShiro == from) {
                    enemy = other;
                    break;
                }
            }
            if (enemy < 0) {
                ShiroAt(gs, from).RemoveBushou(g);
                SetBushouShiro(gs, g, to);
                b.flags = static_cast<std::uint16_t>(b.flags | CBushou::kFlagBesieging);
                break;
            }

            std::vector<int> armyA = ArmyBoundFor(gs, from, to, house);
            if (std::find(armyA.begin(), armyA.end(), g) == armyA.end()) {
                if (armyA.size() >= kMaxArmy) armyA.pop_back();
                armyA.insert(armyA.begin(), g);
            }
            const std::vector<int> armyB = ArmyBoundFor(gs, to, from, enemy);
            const int kuniA = KuniOf(gs, from);
            const int kuniB = KuniOf(gs, to);
            const int result =
                runner.RunYasen(from, to, armyA, -1, armyB, -1, 0, {kuniA, kuniB == kuniA ? -1 : kuniB});
            battleText += NameOfShiro(gs, from) + "と" + NameOfShiro(gs, to) + "間で" +
                          NameOfHouse(gs, house) + "と" + NameOfHouse(gs, enemy) + "が野戦\n";
            if (result == 1 || result == 2)
                battleText += "  → " + NameOfHouse(gs, result == 1 ? house : enemy) + "の勝利\n";
            else
                battleText += "  → 引き分けのため両軍とも退却\n";
            if (result != 1)
                for (int x : armyA)
                    BushouAt(gs, x).sortieShiro = -1;
            if (result != 2)
                for (int x : armyB)
                    BushouAt(gs, x).sortieShiro = -1;
            // g is examined again: a winner marches on.
        }
    }
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (HeldCaptive(b)) continue;
        b.sortieShiro = -1;
        Clear(b, CBushou::kFlagOrdered);
    }
}

// 2. Where armies stand the town economy falls; elsewhere it recovers.
void CKassenPhase::ChangeTownEconomy() {
    GameState& gs = context_.gs;
    std::vector<std::uint8_t> marked(static_cast<std::size_t>(ShiroCount(gs)), 0);
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou >= 0 && Has(b, CBushou::kFlagBesieging) && IsValidShiro(gs, b.shiro))
            marked[static_cast<std::size_t>(b.shiro)] = 1;
    }
    for (int c : ShiroIndexes(gs)) {
        CShiro& s = ShiroAt(gs, c);
        if (marked[static_cast<std::size_t>(c)]) {
            if (s.keizai <= 0) continue;
            const int base = std::min(s.keizai / 50, 20);
            const int loss = static_cast<int>((gs.rng.Unit() * 0.4 + 0.8) * base);
            s.keizai = static_cast<std::int16_t>(std::max(0, s.keizai - loss));
        } else {
            const int max = ShiroMapAt(gs, c).maxKeizai;
            const int gain = static_cast<int>((gs.rng.Unit() * 0.002 + 0.004) * max);
            s.keizai = static_cast<std::int16_t>(std::max<int>(s.keizai, std::min(max, s.keizai + gain)));
        }
    }
}

// 3-4. Rival armies at one castle fight pair by pair; of the armies left that are not enemies,
// only the strongest stays.
void CKassenPhase::FightRivalArmies(CBattleRunner& runner) {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    const ScenarioWordArray& words = gs.ScenarioWords;

    // The houses whose armies stand at each castle, in general-table order.
    std::vector<std::array<int, kMaxHousesAtShiro>> present(static_cast<std::size_t>(ShiroCount(gs)));
    for (auto& list : present)
        list.fill(-1);
    std::vector<int> castles;
    std::vector<std::pair<int, int>> turnedAway;  // (castle, house) of a twelfth house
    const MarkedArmies marked(gs);
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || !Has(b, CBushou::kFlagBesieging) || !IsValidShiro(gs, b.shiro)) continue;
        auto& list = present[static_cast<std::size_t>(b.shiro)];
        const int house = EffectiveHouse(gs, g);
        if (std::find(list.begin(), list.end(), house) != list.end()) continue;
        const auto free = std::find(list.begin(), list.end(), -1);
        if (free == list.end()) {
            if (std::find(turnedAway.begin(), turnedAway.end(),
                          std::pair{static_cast<int>(b.shiro), house}) == turnedAway.end())
                turnedAway.emplace_back(b.shiro, house);
            continue;
        }
        if (free == list.begin()) castles.push_back(b.shiro);
        *free = house;
    }
    // A twelfth house at one castle does not fight: it goes home.
    for (const auto& [shiro, house] : turnedAway) {
        if (!gs.bAllAutomatic)
            ports.inform->Inform("Debug Message : " + NameOfShiro(gs, shiro) +
                                 "に集まった大名家が多すぎるため" + NameOfHouse(gs, house) +
                                 "の軍勢は戦いません");
        runner.WithdrawBushou(house, shiro, marked.At(shiro, house), false);
    }
    std::sort(castles.begin(), castles.end());

    auto withdraw = [&](int shiro, int house, const std::vector<int>& army) {
        runner.WithdrawBushou(house, shiro, army, false);
        for (std::uint32_t i = 0; i < gs.GunsenTable.count && i < CGunsenTable::kMaxRecord; ++i) {
            GunsenRecord& r = gs.GunsenTable.records[i];
            if (r.destination == shiro && GetCountedDaimyou(gs, r.owner) == house)
                r.destination = GunsenRecord::kNoDestination;
        }
        marked.CheckWithdrawn(runner, shiro, house);
    };

    for (int c : castles) {
        auto& list = present[static_cast<std::size_t>(c)];
        const int owner = EffectiveOwnerOf(gs, c);
        for (int i = 0; i < kMaxHousesAtShiro - 1; ++i) {
            for (int j = i + 1; j < kMaxHousesAtShiro; ++j) {
                if (list[static_cast<std::size_t>(i)] < 0 || list[static_cast<std::size_t>(j)] < 0) continue;
                int pa = i;
                int pb = j;
                if (list[static_cast<std::size_t>(pa)] == owner) std::swap(pa, pb);
                const int a = list[static_cast<std::size_t>(pa)];
                const int b = list[static_cast<std::size_t>(pb)];
                if (!Hostile(gs, a, b)) continue;
                const std::vector<int> armyA = marked.At(c, a);
                const std::vector<int> armyB = marked.At(c, b);
                const bool relief = b == owner;
                const int result =
                    runner.RunYasen(c, -1, armyA, -1, armyB, -1, relief ? 1 : 0, {KuniOf(gs, c), -1});
                if (relief) {
                    battleText += FormatWithWords(
                        words, {ReplaceWordShiro}, "%s周辺で城包囲軍(%s)と城救援軍(%s)が野戦\n",
                        NameOfShiro(gs, c).c_str(), NameOfHouse(gs, a).c_str(), NameOfHouse(gs, b).c_str());
                    battleText += ReplaceWordShiro(
                        result == 1 ? "  → 城救援軍は撤退しました\n" : "  → 城包囲軍は撤退しました\n", words);
                } else {
                    battleText += FormatWithWords(words, {ReplaceWordShiro}, "%s周辺で%sと%sが野戦\n",
                                                  NameOfShiro(gs, c).c_str(), NameOfHouse(gs, a).c_str(),
                                                  NameOfHouse(gs, b).c_str());
                    battleText += result == 1 || result == 2
                                      ? "  → " + NameOfHouse(gs, result == 1 ? a : b) + "の勝利\n"
                                      : ReplaceWordShiro("  → 引き分けのため両軍とも撤退しました\n", words);
                }
                if (result != 1) {
                    withdraw(c, a, armyA);
                    list[static_cast<std::size_t>(pa)] = -1;
                }
                if (result != 2) {
                    withdraw(c, b, armyB);
                    list[static_cast<std::size_t>(pb)] = -1;
                }
            }
        }

        // Allies at one castle: only the strongest stays (a later equal one replaces).
        int strongest = -1;
        long long best = -1;
        int remaining = 0;
        for (int house : list) {
            if (house < 0) continue;
            ++remaining;
            long long strength = 0;
            for (int g : marked.At(c, house, CShiro::kMaxBushou * 50)) {
                const CBushou& x = BushouAt(gs, g);
                strength += 3LL * x.cavalry + x.foot;
            }
            if (strength >= best) {
                best = strength;
                strongest = house;
            }
        }
        if (remaining < 2) continue;
        for (int& house : list) {
            if (house < 0 || house == strongest) continue;
            runner.WithdrawBushou(house, c, marked.At(c, house, CShiro::kMaxBushou * 50), false);
            house = -1;
        }
    }
}

// 5. Arrivals: at an own castle the army joins it; at a friendly one it goes back; at a hostile
// one it stays as besiegers.
void CKassenPhase::PlaceArrivals() {
    GameState& gs = context_.gs;
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || !Has(b, CBushou::kFlagBesieging)) continue;
        const int shiro = b.shiro;
        const int house = EffectiveHouse(gs, g);
        const int owner = EffectiveOwnerOf(gs, shiro);
        if (!IsValidShiro(gs, shiro)) {
            Clear(b, CBushou::kFlagBesieging);
            if (!RelocateBushou(gs, g, b.sortieOrigin, true, false)) b.daimyou = CBushou::kDaimyouRounin;
            continue;
        }
        if (owner == house) {
            Clear(b, CBushou::kFlagBesieging);
            PlaceBushouInShiro(gs, g, shiro);
        } else if (!Hostile(gs, owner, house)) {
            Clear(b, CBushou::kFlagBesieging);
            if (!RelocateBushou(gs, g, b.sortieOrigin, true, false)) b.daimyou = CBushou::kDaimyouRounin;
        }
    }
}

// 6. Fleets bound for their own side's castles arrive (a castle holds at most 200 ships; the
// surplus goes back); those bound for friendly castles go back; those bound for hostile
// castles keep their order.
void CKassenPhase::MoveFleets() {
    GameState& gs = context_.gs;
    CGunsenTable& table = gs.GunsenTable;
    const std::uint32_t n = std::min<std::uint32_t>(table.count, CGunsenTable::kMaxRecord);
    for (std::uint32_t i = 0; i < n; ++i) {
        GunsenRecord& r = table.records[i];
        if (r.destination == GunsenRecord::kNoDestination) continue;
        const int dest = r.destination;
        if (!IsValidShiro(gs, dest)) {
            r.destination = GunsenRecord::kNoDestination;
            continue;
        }
        const int side = GetCountedDaimyou(gs, r.owner);
        const int owner = EffectiveOwnerOf(gs, dest);
        if (owner == side) {
            const int room =
                CGunsenTable::kShiroLimit - std::min(CGunsenTable::kShiroLimit, table.GetGunsenAtShiro(dest));
            const int from = r.shiro;
            const int surplus = std::max(0, r.ships - room);
            r.destination = GunsenRecord::kNoDestination;
            r.flags = 0;
            r.shiro = static_cast<std::int16_t>(dest);
            if (surplus > 0 && table.count < static_cast<std::uint32_t>(CGunsenTable::kMaxRecord)) {
                r.ships = static_cast<std::int16_t>(r.ships - surplus);
                GunsenRecord back{0, r.owner, static_cast<std::int16_t>(from),
                                  static_cast<std::int16_t>(surplus), GunsenRecord::kNoDestination};
                table.records[table.count++] = back;
                table.RelocateFleet(gs, static_cast<int>(table.count - 1), from);
            }
        } else if (!Hostile(gs, owner, side)) {
            r.destination = GunsenRecord::kNoDestination;
            table.RelocateFleet(gs, static_cast<int>(i), r.shiro);
        }
    }
}

// 8. The month's siege of every besieged castle, in table order. Castles change hands only by
// the captures here, which keep the owners' lists; generals move only through placement, which
// tells the index of generals by castle.
void CKassenPhase::RunSieges(CBattleRunner& runner) {
    GameState& gs = context_.gs;
    ShiroOwnerIndex owners(gs);
    const ShiroBushouIndex generals(gs);
    const SiegeIndexes indexes{owners, generals};
    runner.SetShiroOwners(&owners);
    for (int c : ShiroIndexes(gs))
        if (ShiroAt(gs, c).nBesieger > 0) RunSiege(runner, c, indexes);
    runner.SetShiroOwners(nullptr);
}

void CKassenPhase::RunSiege(CBattleRunner& runner, int c, const SiegeIndexes& indexes) {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    CShiro& s = ShiroAt(gs, c);
    const int owner = EffectiveOwnerOf(gs, c);
    const int attacker = s.besiegerDaimyou;
    auto besiegers = [&] { return BesiegersOf(gs, s); };

    // A siege in which the player's own troops take part is offered to the player first.
    if (PlayerTakesPartInSiege(gs, c)) {
        KoujousenSession session(gs, ports, runner, c, false);
        if (ports.play->PlayKoujousen(session)) {
            if (session.navalResult != -1) ReportSiegeBattle(c, owner, attacker, true, session.navalResult);
            if (session.fieldResult != -1) ReportSiegeBattle(c, owner, attacker, false, session.fieldResult);
            SettleSiege(runner, c, owner, attacker, session.brokenOff, session.siegeResult, indexes);
            return;
        }
    }

    CKoujousen siege(gs, &ports);
    siege.castle = c;
    siege.besiegingHouse = attacker;
    siege.Prepare();
    bool over = false;

    if (siege.DecideNavalBattle()) {
        const int attackShips = gs.GunsenTable.GetBlockadeGunsenAtShiro(c);
        const int defendShips = gs.GunsenTable.GetGunsenAtShiro(c);
        std::vector<int> items = besiegers();
        if (items.size() > static_cast<std::size_t>(kMaxTroopItems)) items.resize(kMaxTroopItems);
        std::array<int, kMaxTroopItems> atk{};
        int nAtk = 0;
        const int atkTroops = SelectTroopsWithinLimit(gs, attackShips, items, nAtk, atk);
        items.clear();
        for (int i = 0;
             i < siege.defenderCount && items.size() + 1 < static_cast<std::size_t>(kMaxTroopItems); ++i)
            items.push_back(siege.defenders[i]);
        items.push_back(kShiroGarrisonItem + c);
        std::array<int, kMaxTroopItems> def{};
        int nDef = 0;
        const int defTroops = SelectTroopsWithinLimit(gs, defendShips, items, nDef, def);
        if (defTroops * 0.8 > atkTroops) nAtk = 0;
        const std::span<const int> atkList(atk.data(), static_cast<std::size_t>(nAtk));
        const int result =
            runner.RunKaisen(c, -1, attacker, attackShips, atkList, owner, defendShips,
                             std::span<const int>(def.data(), static_cast<std::size_t>(nDef)), 1, false);
        ReportSiegeBattle(c, owner, attacker, true, result);
        if (result != 1) {
            runner.WithdrawBushou(attacker, c, std::vector<int>(atkList.begin(), atkList.end()), true);
            over = s.nBesieger == 0;
        }
    }

    int result = kSiegeHolds;
    if (!over) {
        bool fight = true;
        if (siege.DecideSortie()) {
            std::vector<int> defenders;
            for (int i = 0; i < siege.defenderCount; ++i) {
                const int g = siege.defenders[i];
                if (IsValidBushou(gs, g) && !Has(BushouAt(gs, g), CBushou::kFlagNotDefending))
                    defenders.push_back(g);
            }
            const int sally = runner.RunYasen(c, -1, besiegers(), -1, defenders, c, 1, {KuniOf(gs, c), -1});
            ReportSiegeBattle(c, owner, attacker, false, sally);
            fight = sally == 1;
            over = !fight;
        }
        if (fight) {
            siege.CollectDefenders();
            result = siege.RunAutoSiege();
        }
    }

    SettleSiege(runner, c, owner, attacker, over, result, indexes);
}

// A naval battle or a sally fought at a besieged castle, in the month's report.
void CKassenPhase::ReportSiegeBattle(int c, int owner, int attacker, bool naval, int result) {
    const GameState& gs = context_.gs;
    const ScenarioWordArray& words = gs.ScenarioWords;
    battleText += FormatWithWords(words, {ReplaceWordShiro}, "%s周囲で城防御軍(%s)と城攻略軍(%s)が%s\n",
                                  NameOfShiro(gs, c).c_str(), NameOfHouse(gs, owner).c_str(),
                                  NameOfHouse(gs, attacker).c_str(), naval ? "海戦" : "野戦");
    const char* line =
        naval ? (result == 1 ? "  → 城攻略側の水軍が勝利しました\n" : "  → 城攻略側の水軍は退却しました\n")
              : (result == 1 ? "  → 城攻略軍の勝利\n" : "  → 城攻略軍は退却しました\n");
    battleText += ReplaceWordShiro(line, words);
}

// The end of a month's siege: the besiegers leave when it was broken off; else the report
// line, and a castle that fell or opened passes to them.
void CKassenPhase::SettleSiege(CBattleRunner& runner, int c, int owner, int attacker, bool over, int result,
                               const SiegeIndexes& indexes) {
    GameState& gs = context_.gs;
    const ScenarioWordArray& words = gs.ScenarioWords;
    CShiro& s = ShiroAt(gs, c);
    if (over) {
        runner.WithdrawBushou(attacker, c, BesiegersOf(gs, s), false);
        // Every general still standing at the castle is in the index's list of it.
        if (indexes.generals.Current())
            runner.CheckWithdrawn(c, attacker, indexes.generals.At(c));
        else
            runner.CheckWithdrawn(c, attacker);
        return;
    }
    battleText += NameOfShiro(gs, c) + "（" + NameOfHouse(gs, owner) + "）は" + NameOfHouse(gs, attacker) +
                  "に攻められています\n";
    if (result == kSiegeFallen) {
        if (s.kibo >= 2) {
            --s.kibo;
            const std::uint64_t cap = static_cast<std::uint64_t>(s.kibo) *
                                      static_cast<std::uint64_t>(std::max(0, gs.nShiroHyourouMax));
            if (s.hyourou > cap) s.hyourou = static_cast<std::uint32_t>(cap);
        }
        battleText += FormatWithWords(words, {ReplaceWordRakujou}, "  → %sは強襲により落城しました\n",
                                      NameOfShiro(gs, c).c_str());
        TakeFallenShiro(runner, c, indexes);
    } else if (result == kSiegeStarved) {
        battleText += FormatWithWords(words, {ReplaceWordKaijou, ReplaceWordHyourou},
                                      "  → %sは兵糧が尽きて開城しました\n", NameOfShiro(gs, c).c_str());
        TakeFallenShiro(runner, c, indexes);
    }
}

// A fallen castle passes to its besiegers; its generals meet their fate.
void CKassenPhase::TakeFallenShiro(CBattleRunner& runner, int c, const SiegeIndexes& indexes) {
    GameState& gs = context_.gs;
    CShiro& s = ShiroAt(gs, c);
    s.siegeValue = 0;
    s.shubihei = 0;
    std::vector<int> defenders;
    std::vector<int> excluded;
    auto take = [&](int g) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || b.shiro != c || Has(b, CBushou::kFlagBesieging)) return;
        std::vector<int>& list = Has(b, CBushou::kFlagNotDefending) ? excluded : defenders;
        if (list.size() < 1000) list.push_back(g);
    };
    if (indexes.generals.Current()) {
        for (int g : indexes.generals.At(c))
            take(g);
    } else {
        for (int g : BushouIndexes(gs))
            take(g);
    }
    GainKouzanGijutsuByCapture(gs, context_.ports, c, &indexes.owners);
    runner.DecideBushouFate(defenders);
    std::vector<int> homeless;
    for (int g : excluded)
        if (!RelocateBushou(gs, g, c, true, false, &indexes.owners)) homeless.push_back(g);
    runner.DecideBushouFate(homeless);
}

// 9. A vassal house that lost every castle joins its master.
void CKassenPhase::AbsorbCastlelessVassals() {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    const ScenarioWordArray& words = gs.ScenarioWords;
    const SuppressionPolicy policy = PolicyOf(gs);
    for (int d : DaimyouIndexes(gs)) {
        CDaimyou& house = DaimyouAt(gs, d);
        if (house.toushu == -1 || house.bond != CDaimyou::kBondShinjuu || CountShiroOfDaimyou(gs, d) != 0)
            continue;
        const int master = house.masterDaimyou;
        if (!IsValidDaimyou(gs, master) || master == d) continue;
        policy.Inform(ports, MessageKind::VassalAbsorbedMessage,
                      FormatWithWords(words, {ReplaceWordShiro},
                                      "%sは全ての城を失ったので、主家である%sの家臣になりました",
                                      house.name.c_str(), NameOfHouse(gs, master).c_str()));
        house.toushu = -2;
        for (int g : BushouIndexes(gs)) {
            CBushou& b = BushouAt(gs, g);
            if (b.daimyou != d) continue;
            if (b.id < 0) {
                if (IsValidShiro(gs, b.shiro)) {
                    ShiroAt(gs, b.shiro).RemoveBushou(g);
                    ShiroAt(gs, b.shiro).RemoveBesieger(g);
                }
                b.daimyou = CBushou::kDaimyouRounin;
            } else {
                b.daimyou = static_cast<std::int16_t>(master);
                b.flags = static_cast<std::uint16_t>(b.flags | CBushou::kFlagWarMark);
                b.status = CBushou::kStatusKashin;
            }
        }
        bool fleets = false;
        for (std::uint32_t i = 0; i < gs.GunsenTable.count && i < CGunsenTable::kMaxRecord; ++i) {
            GunsenRecord& r = gs.GunsenTable.records[i];
            if (r.owner != d) continue;
            r.owner = static_cast<std::int16_t>(master);
            fleets = true;
        }
        if (fleets)
            policy.Inform(
                ports, MessageKind::VassalAbsorbedMessage,
                FormatWithWords(words, {ReplaceWordGunsen}, "%sの軍船は、主家である%sの所属に変更されました",
                                house.name.c_str(), NameOfHouse(gs, master).c_str()));
    }
}

// 10. A house without a head gets a new one, or is gone when it has neither generals nor
// castles.
void CKassenPhase::EndFallenHouses() {
    GameState& gs = context_.gs;
    for (int d : DaimyouIndexes(gs)) {
        if (DaimyouAt(gs, d).toushu != -2) continue;
        if (!SucceedToushu(gs, context_.ports, d, false) || CountShiroOfDaimyou(gs, d) != 0) continue;
        CDaimyou& house = DaimyouAt(gs, d);
        if (house.GetKind() != CDaimyou::kKindAinu) {
            battleText += house.name + "は滅亡しました\n";
        } else {
            const std::string& word = gs.ScenarioWords[static_cast<std::size_t>(kWordTaisan)];
            battleText += house.name + (word.empty() ? std::string(kDefaultTaisan) : word) + "\n";
        }
        house.toushu = -1;
        // Its corps go with it (the player's house may fall with corps whose leaders are held
        // captive or have fled).
        DisbandGundanOfDaimyou(gs, d);
    }
}

// 11. The generals marked during the battles move to the end of the general table, in table
// order.
void CKassenPhase::MoveMarkedBushouToEnd() {
    GameState& gs = context_.gs;
    std::vector<std::uint8_t> marked(static_cast<std::size_t>(BushouCount(gs)), 0);
    for (int g : BushouIndexes(gs)) {
        CBushou& b = BushouAt(gs, g);
        if (!Has(b, CBushou::kFlagWarMark)) continue;
        Clear(b, CBushou::kFlagWarMark);
        marked[static_cast<std::size_t>(g)] = 1;
    }
    MoveBushouRecordsToEnd(gs, marked);
}

}  // namespace rymd
