// The happenings on castle and troop values: troops of one general or of every general of a
// house, values of one castle or of every castle a house owns itself, and a castle's maxima.
// Every changed value stays inside the limits the rest of the game assumes: troops within a
// general's limits (muskets within his foot soldiers), castle values within 0 and their maxima,
// the size within 1 and its maximum with provisions and garrison cut to the new size's limits.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "game/domestic/castle_economy.h"
#include "game/events/event_actions.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"

namespace rymd {
namespace happening {

namespace {

constexpr int kMaxTradeShips = 10;  // a port in play; a scenario may give more

template <class T>
T Stored(std::int64_t value) {
    return static_cast<T>(Bounded(value, std::numeric_limits<T>::min(), std::numeric_limits<T>::max()));
}

// n is the formula's value truncated toward zero; troop changes are n / soldier unit.
void ChangeTroops(GameState& gs, int code, CBushou& b, std::int64_t n) {
    const std::int64_t units = n / HeiUnit(gs);
    switch (code) {
        case kBushouAshigaruPlus:
        case kDaimyouAshigaruPlus:
            b.foot = Stored<std::int16_t>(
                std::max<std::int64_t>(std::min<std::int64_t>(b.foot + units, BushouFootLimit(gs)), 0));
            break;
        case kBushouKibaPlus:
        case kDaimyouKibaPlus:
            b.cavalry = Stored<std::int16_t>(
                std::max<std::int64_t>(std::min<std::int64_t>(b.cavalry + units, BushouCavalryLimit(gs)), 0));
            break;
        default:
            b.muskets = Stored<std::int16_t>(
                std::max<std::int64_t>(std::min<std::int64_t>(b.muskets + units, b.foot), 0));
            break;
    }
}

// Provisions and garrison within the limits of the castle's size.
void CutToSize(const GameState& gs, CShiro& c) {
    c.hyourou = Stored<std::uint32_t>(std::min<std::int64_t>(c.hyourou, ShiroHyourouLimit(gs, c.kibo)));
    c.shubihei = Stored<std::int16_t>(Bounded(c.shubihei, 0, ShiroShubiheiLimit(gs, c.kibo)));
}

// One castle value; value is the formula's value, n its truncation.
void ChangeCastle(GameState& gs, int code, int shiro, double value, std::int64_t n) {
    CShiro& c = ShiroAt(gs, shiro);
    const ShiroMapRecord& geo = ShiroMapAt(gs, shiro);
    switch (code) {
        case kShiroLevelPlus:
        case kDaimyouShiroLevelPlus:
            c.kibo = Stored<std::uint8_t>(Bounded(c.kibo + n, 1, std::max<int>(1, geo.maxKibo)));
            CutToSize(gs, c);
            break;
        case kShiroKokudakaPlus:
        case kDaimyouKokudakaPlus:
            c.kokudaka = Stored<std::uint32_t>(Bounded(c.kokudaka + n, 0, geo.maxKokudaka));
            break;
        case kShiroKeizaiPlus:
        case kDaimyouKeizaiPlus:
            c.keizai = Stored<std::int16_t>(
                std::min<std::int64_t>(std::max<std::int64_t>(c.keizai + n, 0), geo.maxKeizai));
            break;
        case kShiroKouzanPlus:
        case kDaimyouKouzanPlus:
            c.kouzan = Stored<std::int16_t>(
                std::min<std::int64_t>(std::max<std::int64_t>(c.kouzan + n, 0), geo.maxKouzan));
            break;
        case kShiroMinshuuPlus:
        case kDaimyouMinshuuPlus:
            c.support = Stored<std::int16_t>(
                Bounded(c.support + std::int64_t{TruncToInt(value * 10.0)}, 0, CShiro::kMaxSupport));
            break;
        case kShiroShubiheiPlus:
        case kDaimyouShubiheiPlus:
            c.shubihei = Stored<std::int16_t>(
                Bounded(c.shubihei + n / HeiUnit(gs), 0, ShiroShubiheiLimit(gs, c.kibo)));
            break;
        case kShiroHyourouPlus:
        case kDaimyouHyourouPlus:
            c.hyourou = Stored<std::uint32_t>(Bounded(c.hyourou + n, 0, ShiroHyourouLimit(gs, c.kibo)));
            break;
        case kShiroKouekisenPlus:
        case kDaimyouKouekisenPlus:
            if ((geo.flags & ShiroMapRecord::kFlagPort) != 0)
                c.kouekisen = Stored<std::uint8_t>(Bounded(c.kouekisen + n, 0, kMaxTradeShips));
            break;
        default: break;
    }
}

// A castle's maximum; the current value follows it down. A maximum is never below 0 (there is no
// less than nothing to develop), so the current value stays within 0 and it.
void ChangeMaximum(GameState& gs, int code, int shiro, std::int64_t n) {
    CShiro& c = ShiroAt(gs, shiro);
    ShiroMapRecord& geo = ShiroMapAt(gs, shiro);
    switch (code) {
        case kShiroMaxLevel:
            geo.maxKibo = Stored<std::uint8_t>(Bounded(n, 1, CShiro::kMaxKibo));
            if (c.kibo > geo.maxKibo) {
                c.kibo = geo.maxKibo;
                CutToSize(gs, c);
            }
            break;
        case kShiroMaxKokudaka:
            geo.maxKokudaka = Stored<std::int32_t>(std::max<std::int64_t>(n, 0));
            c.kokudaka = std::min(c.kokudaka, geo.maxKokudaka);
            break;
        case kShiroMaxKeizai:
            geo.maxKeizai = Stored<std::int16_t>(std::max<std::int64_t>(n, 0));
            c.keizai = std::min(c.keizai, geo.maxKeizai);
            break;
        case kShiroMaxKouzan:
            geo.maxKouzan = Stored<std::int16_t>(std::max<std::int64_t>(n, 0));
            c.kouzan = std::min(c.kouzan, geo.maxKouzan);
            break;
        default: break;
    }
}

}  // namespace

bool IsCastleValueHappening(int code) {
    return code >= kBushouAshigaruPlus && code <= kDaimyouKouekisenPlus && code != kBushouParamCopy;
}

void RunCastleValueHappening(const Happening& h) {
    GameState& gs = h.gs;
    double value = 0.0;
    if (!h.Evaluate(h.item.data1, value)) return;
    const std::int64_t n = TruncToInt(value);
    const int code = h.item.code;

    if (code >= kBushouAshigaruPlus && code <= kBushouTeppouPlus) {
        if (IsValidBushou(gs, h.bushou1)) ChangeTroops(gs, code, BushouAt(gs, h.bushou1), n);
    } else if (code >= kDaimyouAshigaruPlus && code <= kDaimyouTeppouPlus) {
        if (!IsValidDaimyou(gs, h.daimyou1)) return;
        for (int g : BushouIndexes(gs))
            if (BushouAt(gs, g).daimyou == h.daimyou1) ChangeTroops(gs, code, BushouAt(gs, g), n);
    } else if (code >= kShiroMaxLevel && code <= kShiroMaxKouzan) {
        if (IsValidShiro(gs, h.shiro1)) ChangeMaximum(gs, code, h.shiro1, n);
    } else if (code >= kShiroLevelPlus && code <= kShiroKouekisenPlus) {
        if (IsValidShiro(gs, h.shiro1)) ChangeCastle(gs, code, h.shiro1, value, n);
    } else {
        if (!IsValidDaimyou(gs, h.daimyou1)) return;
        for (int c : ShiroIndexes(gs))
            if (ShiroAt(gs, c).daimyou == h.daimyou1) ChangeCastle(gs, code, c, value, n);
    }
}

}  // namespace happening
}  // namespace rymd
