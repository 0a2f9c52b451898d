#include "game/military/appearance.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "game/military/placement.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"

namespace rymd {

namespace {

constexpr std::uint8_t kAppeared = 0x80;  // scenario record: the general has come on stage
constexpr int kPlaceIsKuni = 0x8000;      // place of appearance: a province, not a castle

std::string ShiroName(const GameState& gs, int shiro) {
    return IsValidShiro(gs, shiro) ? ShiroMapAt(gs, shiro).name : std::string();
}

// Off-stage table: closes the gap left by the entry at index.
void EraseMitoujou(GameState& gs, int index) {
    const int n = std::clamp(gs.nMitoujouBushou, 0, GameState::kMaxBushou);
    if (index < 0 || index >= n) return;
    std::move(gs.MitoujouBushouTbl.begin() + index + 1, gs.MitoujouBushouTbl.begin() + n,
              gs.MitoujouBushouTbl.begin() + index);
    gs.MitoujouBushouTbl[static_cast<std::size_t>(n - 1)] = CBushou{};
    gs.nMitoujouBushou = n - 1;
}

}  // namespace

int CopyOnStage(GameState& gs, const CBushou& record, int daimyou) {
    const int g = BushouCount(gs);
    CBushou& b = BushouSlotAt(gs, g);
    b = record;
    b.daimyou = static_cast<std::int16_t>(daimyou);
    b.gundan = -1;
    b.status = CBushou::kStatusKashin;
    b.flags = static_cast<std::uint16_t>(
        b.flags & ~(CBushou::kFlagOrdered | CBushou::kFlagBesieging | CBushou::kFlagWarMark));
    b.moveShiro = -1;
    b.sortieShiro = -1;
    b.shiro = -1;
    gs.nBushou = g + 1;
    return g;
}

void DropLastBushou(GameState& gs) {
    const int n = BushouCount(gs);
    if (n == 0) return;
    gs.BushouTbl[static_cast<std::size_t>(n - 1)] = CBushou{};
    gs.nBushou = n - 1;
}

// Brings an off-stage general on stage (his off-stage entry is left to the caller).
bool AppearOnStage(GameState& gs, const CBushou& record, std::string* text) {
    int h = record.daimyou;
    if (h < -2) {
        h &= 0x7FFF;
        if (!HouseExists(gs, h)) h = CBushou::kDaimyouFree;
    }
    const bool free = h == CBushou::kDaimyouFree;
    const int place = static_cast<std::uint16_t>(record.sortieShiro);
    const bool placeIsKuni = (place & kPlaceIsKuni) != 0;
    const int kuni = place & 0x7FFF;

    if (free) {
        // Whoever holds the place of appearance takes him into service.
        const int c = placeIsKuni ? PickRandomShiroInKuni(gs, kuni, -1) : place;
        if (!IsValidShiro(gs, c)) return false;  // a province without castles, or no castle at all
        h = ShiroAt(gs, c).daimyou;
    }
    if (!IsValidDaimyou(gs, h)) return false;
    if (!HouseExists(gs, h) && CountShiroOfDaimyou(gs, h) == 0) return false;
    if (BushouCount(gs) >= GameState::kMaxBushou) return false;

    const int g = CopyOnStage(gs, record, h);
    int castle = place;
    if (placeIsKuni) {
        castle = PickRandomShiroInKuni(gs, kuni, h);
        if (castle < 0) castle = PickRandomShiroInKuni(gs, kuni, -1);
        if (castle < 0) {
            DropLastBushou(gs);
            return false;
        }
    }
    if (!RelocateBushou(gs, g, castle, false, false)) {
        DropLastBushou(gs);
        return false;
    }

    const int id = record.id;
    if (id >= 0 && id < std::clamp(gs.nBushouEx, 0, GameState::kMaxBushou))
        gs.BushouExTbl[static_cast<std::size_t>(id)].birthMark |= kAppeared;

    if (text) {
        const CBushou& b = gs.BushouTbl[static_cast<std::size_t>(g)];
        if (free)
            *text += b.name + "が" + ShiroName(gs, b.shiro) + "に登場し、" + DaimyouAt(gs, h).name +
                     "に仕官しました\n";
        else
            *text += b.name + "が" + ShiroName(gs, b.shiro) + "に登場しました\n";
    }
    return true;
}

bool AppearBushou(GameState& gs, int index, std::string* text) {
    if (index < 0 || index >= std::clamp(gs.nMitoujouBushou, 0, GameState::kMaxBushou)) return false;
    const CBushou record = gs.MitoujouBushouTbl[static_cast<std::size_t>(index)];
    if (!AppearOnStage(gs, record, text)) return false;
    EraseMitoujou(gs, index);
    return true;
}

}  // namespace rymd
