#include "game/turn/life_events.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "game/diplomacy/personnel.h"
#include "game/military/appearance.h"
#include "game/military/placement.h"
#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"
#include "game/state/access.h"
#include "game/state/bushou_table.h"
#include "game/state/game_state.h"
#include "game/state/house_index.h"
#include "game/state/policy.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/succession.h"
#include "game/state/vocabulary.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {

constexpr int kReplenishCap = 50;  // retainers a house recruits up to by itself

std::string ShiroName(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) ? ShiroMapAt(gs, shiro).name : std::string();
}

// The name of a replenished retainer: the house name and the scenario word for retainers, or
// the word alone when both do not fit in a name.
std::string RoutouName(const GameState& gs, const std::string& houseName) {
    const std::string& word = gs.ScenarioWords[kWordRoutou];
    const std::string full = houseName + word;
    if (EncodedLength(full, gs.Encoding()) <= CBushou::kNameBytes) return full;
    return CutUtf8ToEncodedLength(word, CBushou::kNameBytes, gs.Encoding());
}

// Splits a list text into its lines (the last line break ends the list).
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

}  // namespace

// =============================================================================================
// Castle capture

void GainKouzanGijutsuByCapture(GameState& gs, const Ports& ports, int shiro, ShiroOwnerIndex* owners) {
    if (!IsValidShiro(gs, shiro)) return;
    CShiro& s = ShiroAt(gs, shiro);
    const int nBesieger = std::clamp<int>(s.nBesieger, 0, CShiro::kMaxBushou);
    std::vector<int> besiegers;
    for (int i = 0; i < nBesieger; ++i) {
        const int g = s.besieger[static_cast<std::size_t>(i)];
        if (IsValidBushou(gs, g)) besiegers.push_back(g);
    }
    if (besiegers.empty()) return;

    const CBushou& first = gs.BushouTbl[static_cast<std::size_t>(besiegers.front())];
    const int newOwner = GetCountedDaimyou(gs, first.daimyou);
    const int oldOwner = s.daimyou;

    // The corps: the first besieger's corps when it takes its conquests as its own domain and
    // every besieger serves in some corps; otherwise the house's direct domain.
    int corps = -1;
    const bool allInCorps = std::all_of(besiegers.begin(), besiegers.end(), [&](int g) {
        return gs.BushouTbl[static_cast<std::size_t>(g)].gundan != -1;
    });
    if (allInCorps && IsValidGundan(first.gundan) &&
        (gs.GundanTbl[static_cast<std::size_t>(first.gundan)].order & CGundan::kOrderShoryouka))
        corps = first.gundan;

    // Support: halfway between the castle's and the conqueror's average. A conqueror without
    // another castle brings no average of his own; the castle keeps its support then.
    long long sum = 0;
    int held = 0;
    auto add = [&](int c) {
        if (c == shiro) return;
        const CShiro& o = ShiroAt(gs, c);
        if (o.daimyou != newOwner) return;
        sum += o.support;
        ++held;
    };
    if (const std::vector<int>* own = owners ? owners->Of(newOwner) : nullptr) {
        for (int c : *own)
            add(c);
    } else {
        for (int c : ShiroIndexes(gs))
            add(c);
    }
    const double average = held > 0 ? static_cast<double>(sum) / held : static_cast<double>(s.support);
    s.support = static_cast<std::int16_t>(std::trunc((average + s.support) / 2.0));

    s.daimyou = static_cast<std::int16_t>(newOwner);
    if (owners) owners->Move(shiro, oldOwner, newOwner);
    s.gundan = static_cast<std::int16_t>(corps);
    if (corps == -1)
        s.commander =
            static_cast<std::int16_t>(HouseHasHead(gs, newOwner) ? DaimyouAt(gs, newOwner).toushu : -1);
    else
        s.commander = static_cast<std::int16_t>(gs.GundanTbl[static_cast<std::size_t>(corps)].leader);

    // A mine passes on the loser's mining technology when it is better than the conqueror's.
    if (s.kouzan != 0 && IsValidDaimyou(gs, oldOwner) && IsValidDaimyou(gs, newOwner)) {
        const int t = DaimyouAt(gs, oldOwner).kouzanGijutsu - Round(gs.rng.Unit() * 200 + 100);
        if (t > DaimyouAt(gs, newOwner).kouzanGijutsu) {
            DaimyouAt(gs, newOwner).kouzanGijutsu = static_cast<std::int16_t>(t);
            if (newOwner == gs.nPlayerDaimyou) {
                const std::string text = ShiroName(gs, shiro) +
                                         "の攻略により、当家の鉱山技術が上昇しました\n（" +
                                         DaimyouAt(gs, oldOwner).name + "の鉱山技術を手に入れました）";
                PolicyOf(gs).Inform(ports, MessageKind::MiningByCaptureMessage,
                                    ReplaceWordKouzan(text, gs.ScenarioWords));
            }
        }
    }

    // The besiegers hold the castle now.
    for (int g : besiegers) {
        CBushou& b = BushouAt(gs, g);
        b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);
    }
    s.bushou.fill(0);
    for (std::size_t i = 0; i < besiegers.size(); ++i)
        s.bushou[i] = besiegers[i];
    s.nBushou = static_cast<std::int8_t>(besiegers.size());
    s.besieger.fill(0);
    s.nBesieger = 0;
    s.besiegerDaimyou = -1;

    // Fleets: the loser's side sails away, the conqueror's ships are ordinary fleets again.
    CGunsenTable& fleets = gs.GunsenTable;
    const std::uint32_t nRecord = std::min<std::uint32_t>(fleets.count, CGunsenTable::kMaxRecord);
    if (ShiroMapAt(gs, shiro).flags & ShiroMapRecord::kFlagWaterway) {
        const int loser = GetCountedDaimyou(gs, oldOwner);
        for (std::uint32_t i = 0; i < nRecord; ++i) {
            const GunsenRecord& r = fleets.records[i];
            if (r.shiro == shiro && r.ships != 0 && GetCountedDaimyou(gs, r.owner) == loser)
                fleets.RelocateFleet(gs, static_cast<int>(i), shiro);
        }
    }
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(fleets.count, CGunsenTable::kMaxRecord); ++i) {
        GunsenRecord& r = fleets.records[i];
        if (r.shiro == shiro && GetCountedDaimyou(gs, r.owner) == newOwner) r.flags = 0;
    }
}

// =============================================================================================
// Appearances

namespace {

// A general scheduled to come on stage: not before his year, by chance in his year (the last
// month of the year makes it certain), surely after it. True when he came on stage (he has left
// the table of those yet to appear).
bool ScheduledGeneralAppears(GameState& gs, CBushou& e, int month, std::string& text) {
    const int year = e.moveShiro;
    if (gs.nCurYear < year) return false;
    const double p = gs.nCurYear > year ? 1.0 : 1.0 / (13 - month);
    return gs.rng.Unit() <= p && BushouCount(gs) < GameState::kMaxBushou && AppearOnStage(gs, e, &text);
}

// The house a masterless general turns to among the first listed houses on his list, weighted
// by rice yield.
int ChooseLord(GameState& gs, const CBushou& e, int listed, const std::vector<std::int64_t>& kokudaka) {
    auto kokudakaOf = [&](int d) {
        return IsValidDaimyou(gs, d) ? kokudaka[static_cast<std::size_t>(d)] : 0;
    };
    std::int64_t total = 0;
    for (int k = 0; k < listed; ++k)
        total += kokudakaOf(e.joinDaimyou[static_cast<std::size_t>(k)]);
    const std::int64_t r = static_cast<std::int64_t>(gs.rng.Unit() * static_cast<double>(total));
    int chosen = e.joinDaimyou[static_cast<std::size_t>(listed - 1)];
    std::int64_t running = 0;
    for (int k = 0; k < listed; ++k) {
        running += kokudakaOf(e.joinDaimyou[static_cast<std::size_t>(k)]);
        if (running >= r) {
            chosen = e.joinDaimyou[static_cast<std::size_t>(k)];
            break;
        }
    }
    return chosen;
}

// A masterless general turns to one of the houses on his list; the player's house is asked
// whether to employ him, and when it declines he does not ask it again. He joins the house in its
// head's castle (or one of its castles at random when it has no head). True when he came on stage.
bool MasterlessGeneralJoins(GameState& gs, const Ports& ports, const SuppressionPolicy& policy, CBushou& e,
                            const std::vector<std::int64_t>& kokudaka,
                            const std::vector<std::vector<int>>& castles, std::string& text) {
    int listed = 0;
    while (listed < static_cast<int>(e.joinDaimyou.size()) &&
           e.joinDaimyou[static_cast<std::size_t>(listed)] != -1)
        ++listed;
    if (listed == 0) return false;
    const int chosen = ChooseLord(gs, e, listed, kokudaka);
    if (!HouseExists(gs, chosen)) return false;
    const bool players = chosen == gs.nPlayerDaimyou;
    if (players) {
        const RecruitOffer offer{e.name + "が当家を頼ってきました。家臣に登用しますか？",
                                 PersonnelRowOf(gs, e)};
        const bool employ =
            policy.Shows(MessageKind::RecruitmentQuestion) ? ports.ask->AskRecruit(offer) : kSafeYesNo;
        if (!employ) {
            // He does not ask this house again.
            for (int k = 0; k < listed; ++k) {
                if (e.joinDaimyou[static_cast<std::size_t>(k)] != chosen) continue;
                std::move(e.joinDaimyou.begin() + k + 1, e.joinDaimyou.end(), e.joinDaimyou.begin() + k);
                e.joinDaimyou.back() = -1;
                break;
            }
            return false;
        }
    }
    if (BushouCount(gs) >= GameState::kMaxBushou) return false;  // no room on stage: he waits

    CBushou record = e;
    record.cavalry = 0;
    record.foot = 0;
    record.muskets = 0;
    const int g = CopyOnStage(gs, record, chosen);
    const CDaimyou& house = DaimyouAt(gs, chosen);
    bool placed = false;
    if (house.toushu >= 0) {
        const int head = house.toushu;
        placed = RelocateBushou(gs, g, gs.BushouTbl[static_cast<std::size_t>(head)].shiro, false, false);
    } else {
        const std::vector<int>& own = castles[static_cast<std::size_t>(chosen)];
        if (!own.empty()) {
            const int k =
                std::min(gs.rng.Below(static_cast<int>(own.size())), static_cast<int>(own.size()) - 1);
            placed = RelocateBushou(gs, g, own[static_cast<std::size_t>(k)], false, false);
        }
    }
    if (!placed) {
        if (players && !gs.bAllAutomatic) ports.inform->Inform("配備できる城が無いので、登用できません");
        DropLastBushou(gs);
        return false;
    }
    text += gs.BushouTbl[static_cast<std::size_t>(g)].name + "は" + house.name + "を頼って家臣となりました\n";
    return true;
}

// A retainer a house recruits by itself: of ability 1, loyal, about thirty years old.
CBushou NewRetainer(GameState& gs, int d) {
    const CDaimyou& house = DaimyouAt(gs, d);
    CBushou b;
    b.name = RoutouName(gs, house.name);
    b.status = CBushou::kStatusKashin;
    b.buyuu = 1;
    b.seiji = 1;
    b.yashin = 1;
    b.chuusei = 10;
    b.chibou = 1;
    b.yasenTousotsu = 1;
    b.suigunTousotsu = 1;
    b.birthYear = static_cast<std::int16_t>(gs.nCurYear + static_cast<int>(gs.rng.Unit() * 15) - 40);
    b.deathYear = static_cast<std::int16_t>(b.birthYear + 60);
    b.flags = CBushou::kFlagDeathType1;
    b.shiro = -1;
    b.id = -1;
    b.gundan = -1;
    b.daimyou = static_cast<std::int16_t>(d);
    b.holderDaimyou = -1;
    b.originDaimyou = -1;
    b.moveShiro = -1;
    b.sortieShiro = -1;
    b.sortieOrigin = -1;
    b.joinDaimyou.fill(-1);
    b.counter33 = static_cast<std::uint8_t>(static_cast<int>(gs.rng.Unit() * 20) * b.chibou);
    b.counter35 = static_cast<std::uint8_t>(static_cast<int>(gs.rng.Unit() * 20) * b.chibou);
    return b;
}

// Replenishment: houses with fewer retainers than their castles call for recruit one a month by
// chance. Generals and castles are counted once, before anyone is made.
void ReplenishRetainers(GameState& gs, const std::vector<std::vector<int>>& castles, std::string& text) {
    const int nDaimyou = DaimyouCount(gs);
    std::vector<int> generals(static_cast<std::size_t>(nDaimyou), 0);
    for (int g = 0; g < BushouCount(gs); ++g) {
        const int d = gs.BushouTbl[static_cast<std::size_t>(g)].daimyou;
        if (IsValidDaimyou(gs, d)) ++generals[static_cast<std::size_t>(d)];
    }
    for (int d = 0; d < nDaimyou; ++d) {
        const std::vector<int>& own = castles[static_cast<std::size_t>(d)];
        if (!HouseExists(gs, d) || own.empty()) continue;
        const int count = static_cast<int>(own.size());
        const int limit = std::min(kReplenishCap, static_cast<int>(std::pow(2.0 * count, 0.7)));
        if (generals[static_cast<std::size_t>(d)] >= limit) continue;
        if (BushouCount(gs) >= GameState::kMaxBushou) continue;
        if (gs.rng.Unit() > 0.3) continue;

        const int k = std::min(gs.rng.Below(count), count - 1);
        const int castle = own[static_cast<std::size_t>(k)];
        const CBushou b = NewRetainer(gs, d);

        const int g = BushouCount(gs);
        gs.BushouTbl[static_cast<std::size_t>(g)] = b;
        gs.nBushou = g + 1;
        // He is stationed like every other newcomer: in the chosen castle, or the nearest one
        // of his house with room.
        if (!RelocateBushou(gs, g, castle, false, false)) {
            DropLastBushou(gs);
            continue;
        }
        if (d == gs.nPlayerDaimyou)
            text += ShiroName(gs, gs.BushouTbl[static_cast<std::size_t>(g)].shiro) + "に" + b.name +
                    "が仕官しました\n";
    }
}

}  // namespace

void ProcessBushouAppearance(GameState& gs, const Ports& ports, std::string& text) {
    const int nDaimyou = DaimyouCount(gs);
    const int nShiro = ShiroCount(gs);
    const SuppressionPolicy policy = PolicyOf(gs);

    // Rice yield of each house, for the choice of a masterless general's lord. Castles do not
    // change hands during this step.
    std::vector<std::int64_t> kokudaka(static_cast<std::size_t>(nDaimyou), 0);
    for (int c = 0; c < nShiro; ++c) {
        const CShiro& s = ShiroAt(gs, c);
        if (IsValidDaimyou(gs, s.daimyou)) kokudaka[static_cast<std::size_t>(s.daimyou)] += s.kokudaka;
    }
    std::vector<std::vector<int>> castles(static_cast<std::size_t>(nDaimyou));
    for (int c = 0; c < nShiro; ++c) {
        const int d = ShiroAt(gs, c).daimyou;
        if (IsValidDaimyou(gs, d)) castles[static_cast<std::size_t>(d)].push_back(c);
    }

    // The month decides the chance of a general whose year of appearance is this year.
    const int month = std::clamp(gs.nCurMonth, 1, 12);

    // The walk keeps the entries that stay and closes the gaps of those that leave as it goes
    // (write index w trails read index r), so each entry moves at most once.
    const int n = std::clamp(gs.nMitoujouBushou, 0, GameState::kMaxBushou);
    int w = 0;
    for (int i = 0; i < n; ++i) {
        CBushou& e = gs.MitoujouBushouTbl[static_cast<std::size_t>(i)];
        const bool left = e.daimyou != CBushou::kDaimyouRounin
                              ? ScheduledGeneralAppears(gs, e, month, text)
                              : MasterlessGeneralJoins(gs, ports, policy, e, kokudaka, castles, text);
        if (left) continue;  // he has left the table
        if (w != i)
            gs.MitoujouBushouTbl[static_cast<std::size_t>(w)] =
                std::move(gs.MitoujouBushouTbl[static_cast<std::size_t>(i)]);
        ++w;
    }
    for (int i = w; i < n; ++i)
        gs.MitoujouBushouTbl[static_cast<std::size_t>(i)] = CBushou{};
    gs.nMitoujouBushou = w;

    if (gs.bBushouHojuu) ReplenishRetainers(gs, castles, text);
}

DeathAppearView MakeDeathAppearView(const GameState& gs, std::string_view deaths,
                                    std::string_view appearances) {
    const ScenarioWordArray& words = gs.ScenarioWords;
    auto list = [](std::string_view text) {
        std::vector<std::string> items = Lines(text);
        if (items.empty() || (items.size() == 1 && items.front() == "なし")) items = {"なし"};
        return items;
    };
    DeathAppearView view;
    view.caption = ReplaceWordBushou("武将死去／登場", words);
    view.appearedTitle = ReplaceWordBushou("武将登場", words);
    view.diedTitle = ReplaceWordBushou("武将死去", words);
    view.appeared = list(appearances);
    view.died = list(deaths);
    return view;
}

void ShowBushouDeathAppear(const GameState& gs, const Ports& ports, std::string_view deaths,
                           std::string_view appearances) {
    if (!PolicyOf(gs).Shows(MessageKind::DeathsAndAppearancesReport)) return;
    ports.report->ShowDeathsAndAppearances(MakeDeathAppearView(gs, deaths, appearances));
}

// =============================================================================================
// The month start's succession checks

void CheckGundanchouSuccession(GameState& gs, const Ports& ports) {
    for (int k : GundanIndexes()) {
        const int leader = GundanAt(gs, k).leader;
        if (leader == CGundan::kLeaderFree || leader == CGundan::kLeaderPassedOver) continue;
        if (!IsValidBushou(gs, leader)) {
            SucceedGundanchou(gs, ports, k, "");
            continue;
        }
        CBushou& b = BushouAt(gs, leader);
        if (b.status == CBushou::kStatusHoryo) b.gundan = -1;
        if (b.gundan != k) SucceedGundanchou(gs, ports, k, b.name);
    }
}

void CheckToushuSuccession(GameState& gs, const Ports& ports) {
    const int nDaimyou = DaimyouCount(gs);
    // The ranked heir of each house's line, found in one pass. On equal ranks the later general
    // replaces the earlier one unless the earlier one is the head.
    std::vector<int> heir(static_cast<std::size_t>(nDaimyou), -1);
    std::vector<int> heirRank(static_cast<std::size_t>(nDaimyou), 0);
    const int n = BushouCount(gs);
    for (int g = 0; g < n; ++g) {
        const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
        const int d = b.daimyou;
        if (!IsValidDaimyou(gs, d)) continue;
        const int rank = SuccessionRank(gs, b, d);
        if (rank == kNoSuccessionRank) continue;
        int& best = heir[static_cast<std::size_t>(d)];
        int& bestRank = heirRank[static_cast<std::size_t>(d)];
        if (best < 0 || rank < bestRank || (rank == bestRank && best != DaimyouAt(gs, d).toushu)) {
            best = g;
            bestRank = rank;
        }
    }
    // Successions change heads and corps, never who serves which house, so the heirs found
    // above stay right for every later house.
    for (int d = 0; d < nDaimyou; ++d) {
        const int head = DaimyouAt(gs, d).toushu;
        if (head == -1) continue;
        const int best = heir[static_cast<std::size_t>(d)];
        if ((best >= 0 && best != head) || head == -2) SucceedToushu(gs, ports, d, false);
    }
}

}  // namespace rymd
