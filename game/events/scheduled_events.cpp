#include "game/events/scheduled_events.h"

#include <algorithm>
#include <cmath>

#include "game/domestic/castle_economy.h"
#include "game/military/placement.h"
#include "game/ports/suppression_policy.h"
#include "game/state/access.h"
#include "game/state/event_records.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

constexpr int kCertain = 10000;  // a chance of 10000 always strikes
constexpr int kMaxHarvestRate = 10000;
constexpr int kMaxSupport = 1000;        // tenths of a percent
constexpr int kLevelScaleBound = 10000;  // castle-size fields below it in magnitude count levels x100

// Provinces and regions the event tables can address on this map.
int KuniCount(const GameContext& ctx) {
    return std::clamp(std::min(ctx.gs.nKuni, ctx.map.KuniCount()), 0, CEventRecord::kMaxPlace);
}
int ChiikiCount(const GameContext& ctx) {
    return std::clamp(std::min(ctx.gs.nChiiki, ctx.map.ChiikiCount()), 0, CEventRecord::kMaxPlace);
}

// Whether a chance strikes against the place's draw p (0..1).
bool Strikes(int chance, double p) {
    if (chance >= kCertain) return true;
    if (chance <= 0) return false;
    return chance / 10000.0 >= p;
}

// value + trunc(value x f), kept inside lo..hi.
std::int64_t Changed(std::int64_t value, double f, std::int64_t lo, std::int64_t hi) {
    const double delta = std::trunc(static_cast<double>(value) * f);
    const double next = std::clamp(static_cast<double>(value) + delta, static_cast<double>(lo),
                                   static_cast<double>(std::max(lo, hi)));
    return static_cast<std::int64_t>(next);
}

struct Factor {
    double mean = 0.0;
    double spread = 0.0;
};

Factor FactorOf(const CEventRecord& event, int entry) {
    const std::size_t i = static_cast<std::size_t>(entry);
    Factor f{event.effectValue1[i] * 0.0001, event.effectValue2[i] * 0.0001};
    if (event.effectKind[i] == CEventRecord::kEffectShiroLevel &&
        std::abs(event.effectValue1[i]) < kLevelScaleBound &&
        std::abs(event.effectValue2[i]) < kLevelScaleBound) {
        f.mean *= 100.0;
        f.spread *= 100.0;
    }
    return f;
}

// The castles of each province (by the castle's geography), in castle order.
std::vector<std::vector<int>> CastlesByKuni(const GameState& gs) {
    std::vector<std::vector<int>> byKuni(CEventRecord::kMaxPlace);
    for (int s : ShiroIndexes(gs)) {
        const int kuni = ShiroMapAt(gs, s).kuni;
        if (kuni < CEventRecord::kMaxPlace) byKuni[static_cast<std::size_t>(kuni)].push_back(s);
    }
    return byKuni;
}

void ChangeCastle(GameState& gs, int kind, int s, double f) {
    CShiro& c = ShiroAt(gs, s);
    const ShiroMapRecord& geo = ShiroMapAt(gs, s);
    switch (kind) {
        case CEventRecord::kEffectKokudaka:
            c.kokudaka = static_cast<std::uint32_t>(Changed(c.kokudaka, f, 0, geo.maxKokudaka));
            break;
        case CEventRecord::kEffectKeizai:
        case CEventRecord::kEffectMinatoKeizai:
            c.keizai = static_cast<std::int16_t>(Changed(c.keizai, f, 0, geo.maxKeizai));
            break;
        case CEventRecord::kEffectKouzan:
            c.kouzan = static_cast<std::int16_t>(Changed(c.kouzan, f, 0, geo.maxKouzan));
            break;
        case CEventRecord::kEffectShuukakuRitsu:
            c.harvestRate = static_cast<std::int16_t>(Changed(c.harvestRate, f, 0, kMaxHarvestRate));
            break;
        case CEventRecord::kEffectMinshuuShiji:
            c.support = static_cast<std::int16_t>(Changed(c.support, f, 0, kMaxSupport));
            break;
        case CEventRecord::kEffectShubiheiSuu:
            c.shubihei = static_cast<std::int16_t>(
                Changed(c.shubihei, f, 0, std::min<std::int64_t>(ShiroShubiheiLimit(gs, c.kibo), INT16_MAX)));
            break;
        case CEventRecord::kEffectHyourou:
            c.hyourou = static_cast<std::uint32_t>(
                Changed(c.hyourou, f, 0, std::min<std::int64_t>(ShiroHyourouLimit(gs, c.kibo), UINT32_MAX)));
            break;
        case CEventRecord::kEffectShiroLevel: {
            const int maxKibo = std::max(1, static_cast<int>(geo.maxKibo));
            const std::int64_t kibo =
                std::clamp<std::int64_t>(static_cast<std::int64_t>(c.kibo) + Round(f), 1, maxKibo);
            c.kibo = static_cast<std::uint8_t>(kibo);
            c.hyourou =
                static_cast<std::uint32_t>(std::min<std::int64_t>(c.hyourou, ShiroHyourouLimit(gs, c.kibo)));
            c.shubihei = static_cast<std::int16_t>(std::clamp<std::int64_t>(
                c.shubihei, 0, std::min<std::int64_t>(ShiroShubiheiLimit(gs, c.kibo), INT16_MAX)));
            break;
        }
        default: break;
    }
}

// Foot soldiers and cavalry of every general of a house stationed (or besieging) in the
// province, each by its own factor; muskets never exceed the foot soldiers.
void ChangeTroops(GameState& gs, int kuni, const Factor& factor) {
    const int footLimit = BushouFootLimit(gs);
    const int cavalryLimit = BushouCavalryLimit(gs);
    for (int b : BushouIndexes(gs)) {
        CBushou& g = BushouAt(gs, b);
        if (g.daimyou < 0 || !IsValidShiro(gs, g.shiro)) continue;
        if (ShiroMapAt(gs, g.shiro).kuni != kuni) continue;
        const double footFactor = gs.rng.Signed() * factor.spread + factor.mean;
        g.foot = static_cast<std::int16_t>(Changed(g.foot, footFactor, 0, footLimit));
        const double cavalryFactor = gs.rng.Signed() * factor.spread + factor.mean;
        g.cavalry = static_cast<std::int16_t>(Changed(g.cavalry, cavalryFactor, 0, cavalryLimit));
        g.muskets = static_cast<std::int16_t>(std::clamp<int>(g.muskets, 0, std::max<int>(g.foot, 0)));
    }
}

// Besieging armies withdraw from every castle of the provinces.
void LiftSieges(GameContext ctx, const std::vector<int>& provinces,
                const std::vector<std::vector<int>>& castles) {
    GameState& gs = ctx.gs;
    for (int kuni : provinces)
        for (int s : castles[static_cast<std::size_t>(kuni)])
            LiftShiroHoui(gs, s);
    gs.GunsenTable.CheckGunsen(gs, ctx.ports);
    RepairBushouLocations(gs, ctx.ports);
    for (int s : ShiroIndexes(gs)) {
        CShiro& c = ShiroAt(gs, s);
        if (c.nBesieger == 0) c.siegeValue = 0;
    }
}

const char* EffectLabel(int kind) {
    switch (kind) {
        case CEventRecord::kEffectTettai: return "包囲軍撤退";
        case CEventRecord::kEffectTeppouDisable: return "鉄砲使用不可";
        case CEventRecord::kEffectKokudaka: return "石高";
        case CEventRecord::kEffectKeizai: return "町経済";
        case CEventRecord::kEffectKouzan: return "鉱山";
        case CEventRecord::kEffectShuukakuRitsu: return "収穫率";
        case CEventRecord::kEffectShiroLevel: return "城規模";
        case CEventRecord::kEffectHeiSuu: return "兵数";
        case CEventRecord::kEffectMinatoKeizai: return "港町経済";
        case CEventRecord::kEffectMinshuuShiji: return "民衆支持";
        case CEventRecord::kEffectShubiheiSuu: return "守備兵数";
        case CEventRecord::kEffectHyourou: return "兵糧";
        default: return "";
    }
}

}  // namespace

// --- marks -------------------------------------------------------------------------------------

EventMarks::EventMarks()
    : marks_(static_cast<std::size_t>(CEventRecord::kMaxEvent) * CEventRecord::kMaxPlace, 0) {}

void EventMarks::Clear() {
    std::fill(marks_.begin(), marks_.end(), std::uint8_t{0});
}

bool EventMarks::Inside(int event, int kuni) {
    return event >= 0 && event < CEventRecord::kMaxEvent && kuni >= 0 && kuni < CEventRecord::kMaxPlace;
}

bool EventMarks::Struck(int event, int kuni) const {
    return Inside(event, kuni) && marks_[static_cast<std::size_t>(event) * CEventRecord::kMaxPlace +
                                         static_cast<std::size_t>(kuni)] != 0;
}

bool EventMarks::StruckAny(int event) const {
    for (int k = 0; k < CEventRecord::kMaxPlace; ++k)
        if (Struck(event, k)) return true;
    return false;
}

void EventMarks::Mark(int event, int kuni) {
    if (Inside(event, kuni))
        marks_[static_cast<std::size_t>(event) * CEventRecord::kMaxPlace + static_cast<std::size_t>(kuni)] =
            1;
}

std::vector<int> EventMarks::StruckProvinces(int event) const {
    std::vector<int> out;
    for (int k = 0; k < CEventRecord::kMaxPlace; ++k)
        if (Struck(event, k)) out.push_back(k);
    return out;
}

// --- the date window -------------------------------------------------------------------------------

bool InDateWindow(int year, int month, int firstYear, int firstMonth, int lastYear, int lastMonth) {
    if (firstMonth >= 0 && (year < firstYear || (year == firstYear && month < firstMonth))) return false;
    if (lastMonth >= 0 && (year > lastYear || (year == lastYear && month > lastMonth))) return false;
    return true;
}

// --- the monthly pass ---------------------------------------------------------------------------

void RunScheduledEvents(GameContext ctx, const SuppressionPolicy& policy) {
    EventMarks marks;
    const GameState& gs = ctx.gs;
    const int nEvent = std::clamp(gs.nEvent, 0, GameState::kMaxEvent);
    for (int e = 0; e < nEvent; ++e) {
        const CEventRecord& event = gs.EventTbl[static_cast<std::size_t>(e)];
        if (!InDateWindow(gs.nCurYear, gs.nCurMonth, event.firstYear, event.firstMonth, event.lastYear,
                          event.lastMonth))
            continue;
        RunScheduledEvent(ctx, policy, e, marks);
    }
}

bool RunScheduledEvent(GameContext ctx, const SuppressionPolicy& policy, int e, EventMarks& marks) {
    GameState& gs = ctx.gs;
    if (e < 0 || e >= GameState::kMaxEvent) return false;
    const CEventRecord& event = gs.EventTbl[static_cast<std::size_t>(e)];
    const int nKuni = KuniCount(ctx);

    // The earlier events of the month: skip, or leave provinces out.
    std::vector<bool> excluded(static_cast<std::size_t>(nKuni), false);
    for (int j = 0; j < e; ++j) {
        const int relation = gs.EventTbl[static_cast<std::size_t>(j)].relation[static_cast<std::size_t>(e)];
        if (relation == CEventRecord::kRelationWhole) {
            if (marks.StruckAny(j)) return false;
        } else if (relation == CEventRecord::kRelationPartial || relation == CEventRecord::kRelationRelate) {
            for (int k = 0; k < nKuni; ++k)
                if (marks.Struck(j, k) == (relation == CEventRecord::kRelationPartial))
                    excluded[static_cast<std::size_t>(k)] = true;
        }
    }

    // The draws: one common to the event, weighed in by the correlation, and one per place.
    const int monthRow = std::clamp(gs.nCurMonth, 1, CEventRecord::kMonthCount) - 1;
    const auto& chances = event.probability[static_cast<std::size_t>(monthRow)];
    const double common = gs.rng.Unit();
    const double c = std::min<int>(event.chainRate, 100) / 100.0;
    auto draw = [&]() { return common * c + (1.0 - c) * gs.rng.Unit(); };
    if (event.areaMode == CEventRecord::kAreaChiiki) {
        const int nChiiki = ChiikiCount(ctx);
        for (int region = 0; region < nChiiki; ++region) {
            if (!Strikes(chances[static_cast<std::size_t>(region)], draw())) continue;
            for (int k = 0; k < nKuni; ++k)
                if (ctx.map.Kuni(k).chiiki == region && !excluded[static_cast<std::size_t>(k)])
                    marks.Mark(e, k);
        }
    } else {
        for (int k = 0; k < nKuni; ++k) {
            if (excluded[static_cast<std::size_t>(k)]) continue;
            if (Strikes(chances[static_cast<std::size_t>(k)], draw())) marks.Mark(e, k);
        }
    }
    const std::vector<int> provinces = marks.StruckProvinces(e);
    if (provinces.empty()) return false;

    policy.ShowScheduledEvent(ctx.ports, MakeScheduledEventReport(ctx, e, provinces));

    const int nEffect =
        static_cast<int>(std::min<std::uint32_t>(event.effectCount, CEventRecord::kMaxEffect));
    for (int i = 0; i < nEffect; ++i)
        ApplyScheduledEffect(ctx, event, i, provinces);
    return true;
}

void ApplyScheduledEffect(GameContext ctx, const CEventRecord& event, int entry,
                          const std::vector<int>& provinces) {
    GameState& gs = ctx.gs;
    if (entry < 0 || entry >= CEventRecord::kMaxEffect) return;
    const int kind = event.effectKind[static_cast<std::size_t>(entry)];
    const Factor factor = FactorOf(event, entry);
    std::vector<int> places;
    for (int k : provinces)
        if (k >= 0 && k < CEventRecord::kMaxPlace) places.push_back(k);

    switch (kind) {
        case CEventRecord::kEffectTettai: LiftSieges(ctx, places, CastlesByKuni(gs)); return;
        case CEventRecord::kEffectTeppouDisable:
            for (int k : places)
                gs.KuniEventFlags[static_cast<std::size_t>(k)] |= kKuniFlagNoTeppou;
            return;
        case CEventRecord::kEffectHeiSuu:
            for (int k : places)
                ChangeTroops(gs, k, factor);
            return;
        case CEventRecord::kEffectKokudaka:
        case CEventRecord::kEffectKeizai:
        case CEventRecord::kEffectKouzan:
        case CEventRecord::kEffectShuukakuRitsu:
        case CEventRecord::kEffectShiroLevel:
        case CEventRecord::kEffectMinatoKeizai:
        case CEventRecord::kEffectMinshuuShiji:
        case CEventRecord::kEffectShubiheiSuu:
        case CEventRecord::kEffectHyourou: {
            const std::vector<std::vector<int>> castles = CastlesByKuni(gs);
            for (int k : places) {
                for (int s : castles[static_cast<std::size_t>(k)]) {
                    if (kind == CEventRecord::kEffectMinatoKeizai &&
                        (ShiroMapAt(gs, s).flags & ShiroMapRecord::kFlagPort) == 0)
                        continue;
                    ChangeCastle(gs, kind, s, gs.rng.Signed() * factor.spread + factor.mean);
                }
            }
            return;
        }
        default: return;  // no such kind: nothing
    }
}

// --- what the player sees ------------------------------------------------------------------------

std::string DescribeScheduledEffect(const CEventRecord& event, int entry) {
    if (entry < 0 || entry >= CEventRecord::kMaxEffect) return {};
    const int kind = event.effectKind[static_cast<std::size_t>(entry)];
    const std::string label = EffectLabel(kind);
    if (kind == CEventRecord::kEffectTettai || kind == CEventRecord::kEffectTeppouDisable || label.empty())
        return label;
    const Factor f = FactorOf(event, entry);
    if (kind == CEventRecord::kEffectShiroLevel) return label + FormatText(" %+g（±%g）", f.mean, f.spread);
    return label + FormatText(" %+g%%（±%g%%）", f.mean * 100.0, f.spread * 100.0);
}

ScheduledEventReport MakeScheduledEventReport(const GameContext& ctx, int e,
                                              const std::vector<int>& provinces) {
    ScheduledEventReport report;
    if (e < 0 || e >= GameState::kMaxEvent) return report;
    const CEventRecord& event = ctx.gs.EventTbl[static_cast<std::size_t>(e)];
    report.event = e;
    report.name = event.name;
    report.message = event.message;
    report.colour = event.color;
    report.provinces = provinces;
    for (int k : provinces)
        report.provinceNames.push_back(k >= 0 && k < ctx.map.KuniCount()
                                           ? ToUtf8(ctx.map.Kuni(k).name, ctx.gs.Encoding())
                                           : std::string());
    const int nEffect =
        static_cast<int>(std::min<std::uint32_t>(event.effectCount, CEventRecord::kMaxEffect));
    for (int i = 0; i < nEffect; ++i) {
        std::string line = DescribeScheduledEffect(event, i);
        if (!line.empty()) report.effects.push_back(std::move(line));
    }
    return report;
}

}  // namespace rymd
