#include "game/turn/uprisings.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <vector>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/sort_list.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

std::string DaimyouName(const GameState& gs, int d) {
    return IsValidDaimyou(gs, d) ? DaimyouAt(gs, d).name : std::string();
}

constexpr int kRebelMaxName = 20;  // bytes of a name in the file encoding
constexpr int kMaxDefectors = 19;  // generals who may join one uprising
constexpr std::int32_t kMaxShikin = 1000000000;

}  // namespace

// ---------------------------------------------------------------------------------------------
// Ordering heirs

void SortLargeAsExchange(std::span<std::int32_t> ids, std::span<std::int32_t> keys) {
    const int n = static_cast<int>(std::min(ids.size(), keys.size()));
    if (n < 2) return;
    // The exchange sort puts at place i each later entry that beats the one there, in turn. Place
    // i therefore takes a chain of ever larger keys, each found as the first entry after the
    // previous one whose key beats the current one. A tree of maxima over the places finds each
    // link of that chain directly.
    int size = 1;
    while (size < n)
        size <<= 1;
    const std::int32_t kLow = std::numeric_limits<std::int32_t>::min();
    std::vector<std::int32_t> tree(static_cast<std::size_t>(2 * size), kLow);
    for (int i = 0; i < n; ++i)
        tree[static_cast<std::size_t>(size + i)] = keys[static_cast<std::size_t>(i)];
    for (int i = size - 1; i >= 1; --i)
        tree[static_cast<std::size_t>(i)] =
            std::max(tree[static_cast<std::size_t>(2 * i)], tree[static_cast<std::size_t>(2 * i + 1)]);
    auto update = [&](int pos, std::int32_t key) {
        int i = size + pos;
        tree[static_cast<std::size_t>(i)] = key;
        for (i >>= 1; i >= 1; i >>= 1)
            tree[static_cast<std::size_t>(i)] =
                std::max(tree[static_cast<std::size_t>(2 * i)], tree[static_cast<std::size_t>(2 * i + 1)]);
    };
    // The first place after `after` whose key is greater than v; -1 when none.
    auto firstGreater = [&](int after, std::int32_t v) {
        // Walk up from the leaf, looking into right siblings.
        int i = size + after;
        while (i > 1) {
            if ((i & 1) == 0 && tree[static_cast<std::size_t>(i + 1)] > v) {
                i = i + 1;
                while (i < size) {
                    i = tree[static_cast<std::size_t>(2 * i)] > v ? 2 * i : 2 * i + 1;
                }
                return i - size < n ? i - size : -1;
            }
            i >>= 1;
        }
        return -1;
    };
    for (int i = 0; i + 1 < n; ++i) {
        int p = i;
        for (;;) {
            const int j = firstGreater(p, keys[static_cast<std::size_t>(i)]);
            if (j < 0) break;
            std::swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
            std::swap(ids[static_cast<std::size_t>(i)], ids[static_cast<std::size_t>(j)]);
            update(i, keys[static_cast<std::size_t>(i)]);
            update(j, keys[static_cast<std::size_t>(j)]);
            p = j;
        }
        // Place i is final: it takes no part in later searches.
        update(i, kLow);
    }
}

// ---------------------------------------------------------------------------------------------
// Deaths by illness

double ByoubotsuProbability(int curYear, int curMonth, int deathYear) {
    if (curYear < deathYear - 1) return 0.0;
    if (curYear > deathYear + 1) return 1.0;
    const int denominator = 37 - ((curYear - (deathYear - 1)) * 12 + curMonth);
    return denominator >= 1 ? 1.0 / denominator : 1.0;
}

void ProcessByoubotsu(GameState& gs, std::string& report) {
    report.clear();
    const int nBushou = BushouCount(gs);
    const int u = HeiUnit(gs);

    // Members of every house, counted (and listed, for the heirs) before anybody dies.
    std::vector<int> count(GameState::kMaxDaimyou, 0);
    std::vector<std::vector<int>> members(GameState::kMaxDaimyou);
    for (int g = 0; g < nBushou; ++g) {
        const int d = gs.BushouTbl[static_cast<std::size_t>(g)].daimyou;
        if (!IsValidDaimyou(gs, d)) continue;
        ++count[static_cast<std::size_t>(d)];
        members[static_cast<std::size_t>(d)].push_back(g);
    }

    std::vector<std::int32_t> ids;
    std::vector<std::int32_t> keys;
    for (int g = 0; g < nBushou; ++g) {
        CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (b.daimyou == CBushou::kDaimyouRounin) continue;
        if (gs.nCurYear < b.deathYear - 1) continue;
        // Only houses 0 and up have a member count; any other house counts as a lone member.
        const bool notAlone = IsValidDaimyou(gs, b.daimyou) && count[static_cast<std::size_t>(b.daimyou)] > 1;
        if (!notAlone && gs.nCurYear - b.birthYear < 80) continue;

        double p = ByoubotsuProbability(gs.nCurYear, gs.nCurMonth, b.deathYear);
        if (p == 1.0) p = 0.9;
        if (gs.rng.Unit() > p) continue;

        const int house = b.daimyou;
        b.daimyou = CBushou::kDaimyouRounin;
        b.flags = static_cast<std::uint16_t>(b.flags & ~CBushou::kFlagBesieging);

        // A retainer's or guest general's troops pass to his house's generals, best in valour
        // first, each filled up to 5000 foot and 2000 cavalry soldiers and muskets for his foot.
        if (b.status == CBushou::kStatusKashin || b.status == CBushou::kStatusKyakushou) {
            int heir = house;
            if (b.status == CBushou::kStatusKyakushou && IsValidDaimyou(gs, house) &&
                gs.DaimyouTbl[static_cast<std::size_t>(house)].bond == CDaimyou::kBondShinjuu)
                heir = gs.DaimyouTbl[static_cast<std::size_t>(house)].masterDaimyou;
            if (IsValidDaimyou(gs, heir)) {
                ids.clear();
                keys.clear();
                for (int m : members[static_cast<std::size_t>(heir)]) {
                    const CBushou& other = gs.BushouTbl[static_cast<std::size_t>(m)];
                    if (other.daimyou != heir) continue;
                    ids.push_back(m);
                    keys.push_back(other.buyuu);
                }
                SortLargeAsExchange(ids, keys);
                int cavalry = b.cavalry;
                int foot = b.foot;
                int muskets = b.muskets;
                for (std::int32_t m : ids) {
                    CBushou& other = gs.BushouTbl[static_cast<std::size_t>(m)];
                    int t = std::clamp(5000 / u - other.foot, 0, std::max(foot, 0));
                    other.foot = static_cast<std::int16_t>(other.foot + t);
                    foot -= t;
                    t = std::clamp(2000 / u - other.cavalry, 0, std::max(cavalry, 0));
                    other.cavalry = static_cast<std::int16_t>(other.cavalry + t);
                    cavalry -= t;
                    t = std::clamp(other.foot - other.muskets, 0, std::max(muskets, 0));
                    other.muskets = static_cast<std::int16_t>(other.muskets + t);
                    muskets -= t;
                }
            }
        }

        if (b.status == CBushou::kStatusHoryo)
            report += FormatText("%sの%s（%s捕虜）が病没しました\n", DaimyouName(gs, b.originDaimyou).c_str(),
                                 b.name.c_str(), DaimyouName(gs, b.holderDaimyou).c_str());
        else if (b.status == CBushou::kStatusHitojichi)
            report += FormatText("%sの%s（%s人質）が病没しました\n", DaimyouName(gs, b.originDaimyou).c_str(),
                                 b.name.c_str(), DaimyouName(gs, b.holderDaimyou).c_str());
        else
            report += FormatText("%s の %s が病没しました\n", DaimyouName(gs, house).c_str(), b.name.c_str());
    }
}

// ---------------------------------------------------------------------------------------------
// Remnant uprisings

namespace {

// The uprising itself, at castle s for the fallen house h with t foot.
void RaiseZantou(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                 const SuppressionPolicy& policy, int s, int h, int t) {
    CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(h)];
    const bool tell = !policy.AutoAdvance();

    // The leader.
    std::string name = house.name + "残党";
    if (EncodedLength(name, gs.Encoding()) > static_cast<std::size_t>(kRebelMaxName)) name = "残党";
    CBushou leader;
    leader.name = name;
    leader.buyuu = leader.seiji = leader.yashin = leader.chuusei = 3;
    leader.chibou = leader.yasenTousotsu = leader.suigunTousotsu = 3;
    leader.counter33 = static_cast<std::uint8_t>(static_cast<int>(gs.rng.Unit() * 20.0) * leader.chibou);
    leader.counter35 = static_cast<std::uint8_t>(static_cast<int>(gs.rng.Unit() * 20.0) * leader.chibou);
    leader.birthYear = static_cast<std::int16_t>(gs.nCurYear - 40 + static_cast<int>(gs.rng.Unit() * 15.0));
    leader.deathYear = static_cast<std::int16_t>(leader.birthYear + 60);
    leader.flags = CBushou::kFlagDeathType2 | CBushou::kFlagBesieging;
    leader.status = CBushou::kStatusKashin;
    leader.shiro = static_cast<std::int16_t>(s);
    leader.sortieOrigin = static_cast<std::int16_t>(s);
    leader.id = -1;
    leader.gundan = -1;
    leader.daimyou = static_cast<std::int16_t>(h);
    leader.holderDaimyou = -1;
    leader.originDaimyou = -1;
    leader.cavalry = 0;
    leader.foot = static_cast<std::int16_t>(t);
    leader.muskets = 0;
    leader.moveShiro = -1;
    leader.sortieShiro = -1;
    leader.joinDaimyou.fill(-1);
    const int leaderIndex = BushouCount(gs);
    gs.BushouTbl[static_cast<std::size_t>(leaderIndex)] = leader;
    ++gs.nBushou;

    house.toushu = leaderIndex;
    if (static_cast<std::int8_t>(house.revivalCount) < std::numeric_limits<std::int8_t>::max())
        ++house.revivalCount;

    // Hostile to all, and independent.
    const int nDaimyou = DaimyouCount(gs);
    for (int k = 0; k < nDaimyou; ++k) {
        gs.DaimyouTbl[static_cast<std::size_t>(k)].SetRelationLo(h, CDaimyou::kRelNothing);
        house.SetRelationLo(k, CDaimyou::kRelNothing);
    }
    house.bond = CDaimyou::kBondDokuritsu;
    house.masterDaimyou = h;

    const ShiroMapRecord& geo = ShiroMapAt(gs, s);
    const std::string kuni =
        geo.kuni < map.KuniCount() ? ToUtf8(map.Kuni(geo.kuni).name, gs.Encoding()) : std::string();
    if (tell)
        ports.inform->Inform(FormatText("%sの残党が蜂起し、%sの%sを襲撃しています", house.name.c_str(),
                                        kuni.c_str(), geo.name.c_str()));

    // Generals of the house's line defect to the rebels.
    std::int64_t total = t;
    int count = 1;
    int bestRank = 10000;
    int heir = -1;
    const int nBushou = BushouCount(gs);
    const int nShiro = ShiroCount(gs);
    for (int d = 0; d < nBushou; ++d) {
        CBushou& b = gs.BushouTbl[static_cast<std::size_t>(d)];
        if (b.status == CBushou::kStatusHoryo || b.status == CBushou::kStatusHitojichi) continue;
        if (b.daimyou == CBushou::kDaimyouRounin) continue;
        if (b.id < 0 || b.id >= std::min(gs.nBushouEx, GameState::kMaxBushou)) continue;
        if (IsValidDaimyou(gs, b.daimyou) && DaimyouAt(gs, b.daimyou).toushu == d) continue;
        if (IsValidGundan(b.gundan) && GundanAt(gs, b.gundan).leader == d) continue;
        const BushouExRecord& ex = gs.BushouExTbl[static_cast<std::size_t>(b.id)];
        if (LineDaimyou(ex.daimyou) != h || ex.successionRank == -1) continue;

        const int former = b.daimyou;
        // He leaves the castle lists he stood in; the rebels besiege s.
        if (b.shiro >= 0 && b.shiro < nShiro) {
            CShiro& old = ShiroAt(gs, b.shiro);
            old.RemoveBushou(d);
            old.RemoveBesieger(d);
        }
        b.gundan = -1;
        b.daimyou = static_cast<std::int16_t>(h);
        b.shiro = static_cast<std::int16_t>(s);
        b.sortieOrigin = static_cast<std::int16_t>(s);
        b.flags = static_cast<std::uint16_t>(b.flags | CBushou::kFlagBesieging);
        b.status = CBushou::kStatusKashin;
        total += b.foot + 3 * b.cavalry;
        if (ex.successionRank < bestRank) {
            bestRank = ex.successionRank;
            heir = d;
        }
        if (tell) {
            if (former < 0)
                ports.inform->Inform(FormatText("%sは蜂起軍に合流しました", b.name.c_str()));
            else
                ports.inform->Inform(FormatText("%sは%sを離反し、蜂起軍に合流しました", b.name.c_str(),
                                                DaimyouName(gs, former).c_str()));
        }
        if (++count > kMaxDefectors) break;
    }
    if (heir >= 0) house.toushu = heir;

    // Funds to live on until the next harvest.
    int months = 9 - gs.nCurMonth;
    if (months < 1) months = 21 - gs.nCurMonth;
    house.shikin = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        total * HeiUnit(gs) * months, std::numeric_limits<std::int32_t>::min(), kMaxShikin));
}

}  // namespace

void ProcessZantouHouki(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                        const SuppressionPolicy& policy) {
    if (BushouCount(gs) >= GameState::kMaxBushou) return;
    const int nShiro = ShiroCount(gs);
    const int nDaimyou = DaimyouCount(gs);

    // What the scan needs, read once: castles each house owns, castles each house held at the
    // start of the scenario, and the rice yield of every owner.
    std::vector<int> owned(GameState::kMaxDaimyou, 0);
    std::vector<std::vector<int>> former(GameState::kMaxDaimyou);
    std::vector<std::int64_t> rice(GameState::kMaxDaimyou, 0);
    std::map<int, std::int64_t> riceOfOthers;  // owners outside the house table
    for (int c = 0; c < nShiro; ++c) {
        const CShiro& s = ShiroAt(gs, c);
        if (IsValidDaimyou(gs, s.daimyou)) {
            ++owned[static_cast<std::size_t>(s.daimyou)];
            rice[static_cast<std::size_t>(s.daimyou)] += s.kokudaka;
        } else {
            riceOfOthers[s.daimyou] += s.kokudaka;
        }
        const int init = ShiroMapAt(gs, c).initDaimyou;
        if (IsValidDaimyou(gs, init)) former[static_cast<std::size_t>(init)].push_back(c);
    }
    auto riceOfOwner = [&](int owner) -> std::int64_t {
        return IsValidDaimyou(gs, owner) ? rice[static_cast<std::size_t>(owner)] : riceOfOthers[owner];
    };

    // Each fallen house that qualifies this month claims its free former castles and offers the
    // one held by the richest owner.
    std::vector<int> claim(static_cast<std::size_t>(nShiro), -1);
    CSortList candidates(nShiro);
    candidates.SetCount(0);
    for (int h = 0; h < nDaimyou && candidates.Count() < nShiro; ++h) {
        const CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(h)];
        if (HouseExists(gs, h)) continue;
        if (!(static_cast<std::int8_t>(house.revivalCount) < static_cast<int>(gs.rng.Unit() * 2.0) + 1))
            continue;
        if (owned[static_cast<std::size_t>(h)] > 0) continue;
        int best = -1;
        std::int64_t bestKey = 0;
        for (int c : former[static_cast<std::size_t>(h)]) {
            if (claim[static_cast<std::size_t>(c)] != -1 || ShiroAt(gs, c).nBesieger != 0) continue;
            claim[static_cast<std::size_t>(c)] = h;
            const std::int64_t key = riceOfOwner(ShiroAt(gs, c).daimyou);
            if (best < 0 || key > bestKey) {
                best = c;
                bestKey = key;
            }
        }
        if (best >= 0)
            candidates.Append(best, static_cast<std::int32_t>(std::min<std::int64_t>(
                                        bestKey, std::numeric_limits<std::int32_t>::max())));
    }
    candidates.SortLarge();
    candidates.Randomize(gs.rng);

    for (int i = 0; i < candidates.Count(); ++i) {
        const int s = candidates.Id(i);
        const int key = candidates.Key(i);
        const int h = claim[static_cast<std::size_t>(s)];
        const int t = static_cast<int>(gs.rng.Unit() * 200.0) + 100;
        const CShiro& shiro = ShiroAt(gs, s);
        const double factor = std::max((500.0 - shiro.support) / 400.0 + 1.0, 0.0);
        const double q = 0.003 * factor;
        if (key < 150000 || shiro.GetDefenseStrength(gs) >= t) continue;
        if (!(gs.rng.Unit() < q)) continue;
        // The general table must have room for the leader.
        if (BushouCount(gs) >= GameState::kMaxBushou) break;
        RaiseZantou(gs, map, ports, policy, s, h, t);
    }
}

}  // namespace rymd
