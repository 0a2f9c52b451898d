// The month start: the event phase and everything else that happens once a month before the
// houses act, in its fixed order.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "game/diplomacy/bonds.h"
#include "game/domestic/economy.h"
#include "game/military/placement.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/house_index.h"
#include "game/turn/life_events.h"
#include "game/turn/main_game.h"
#include "game/turn/monthly_tallies.h"
#include "game/turn/uprisings.h"

namespace rymd {

namespace {

// The house a house index counts for: itself, or its master while it is a vassal. Negative
// indexes count as themselves.
int EffectiveDaimyou(const GameState& gs, int daimyou) {
    if (!IsValidDaimyou(gs, daimyou)) return daimyou;
    const CDaimyou& h = DaimyouAt(gs, daimyou);
    return h.bond == CDaimyou::kBondShinjuu ? h.masterDaimyou : daimyou;
}

// The value the unification test compares: the owner, or its master while the owner is bound
// to one (subordinate or vassal).
int UnificationValue(const GameState& gs, int owner) {
    if (!IsValidDaimyou(gs, owner)) return owner;
    const CDaimyou& h = DaimyouAt(gs, owner);
    return h.bond != CDaimyou::kBondDokuritsu ? h.masterDaimyou : owner;
}

// A counter that grows by step each month up to 20 steps.
std::uint8_t GrowCounter(std::uint8_t value, int step) {
    return static_cast<std::uint8_t>(std::clamp(std::min<int>(value + step, 20 * step), 0, 255));
}

}  // namespace

// Monthly upkeep of every general: a general kept out of this month's defence leaves a castle
// that is besieged or not his side's; the monthly counters move. No castle changes hands here:
// the castles of each house, taken when the first general needs them, serve every later one.
void CMainGame::UpkeepBushou() {
    const int nBushou = BushouCount(gs_);
    std::optional<ShiroOwnerIndex> owners;
    for (int b = 0; b < nBushou; ++b) {
        CBushou& g = gs_.BushouTbl[static_cast<std::size_t>(b)];
        if ((g.flags & CBushou::kFlagNotDefending) != 0) {
            g.flags &= static_cast<std::uint16_t>(~CBushou::kFlagNotDefending);
            const int shiro = g.shiro;
            if (IsValidShiro(gs_, shiro)) {
                const CShiro& c = ShiroAt(gs_, shiro);
                if (c.nBesieger != 0 ||
                    EffectiveDaimyou(gs_, c.daimyou) != EffectiveDaimyou(gs_, g.daimyou)) {
                    if (!MoveBushouToAdjacentShiro(gs_, b, g.sortieOrigin, false)) {
                        if (!owners) owners.emplace(gs_);
                        if (!RelocateBushou(gs_, b, shiro, true, false, &*owners))
                            RemoveBushouFromHoui(gs_, b);
                    }
                }
            }
        }
        if (g.counter37 != 0 && g.counter37 != 0x7F) --g.counter37;
        if (g.daimyou >= 0) {
            g.counter33 = GrowCounter(g.counter33, g.chibou);
            g.counter35 = GrowCounter(g.counter35, g.chibou);
            if (g.counter34 > 0) --g.counter34;
            if (g.counter36 > 0) --g.counter36;
        }
    }
}

// Vassals and subordinates whose master house has fallen become independent; houses that
// shared that master become allies, their other alliances stay.
void CMainGame::ReleaseOrphanedDaimyou() {
    const int nDaimyou = DaimyouCount(gs_);
    const int nBushou = BushouCount(gs_);
    // Whether a house is orphaned does not change during this step, so the houses and their
    // generals are gathered first, with one pass over the generals.
    std::vector<int> orphans;
    for (int d = 0; d < nDaimyou; ++d) {
        if (!DaimyouExists(d)) continue;
        const CDaimyou& h = gs_.DaimyouTbl[static_cast<std::size_t>(d)];
        if (h.bond != CDaimyou::kBondJuuzoku && h.bond != CDaimyou::kBondShinjuu) continue;
        if (!DaimyouExists(h.masterDaimyou)) orphans.push_back(d);
    }
    if (orphans.empty()) return;
    std::vector<std::vector<int>> generals(static_cast<std::size_t>(nDaimyou));
    for (int b = 0; b < nBushou; ++b) {
        const int d = gs_.BushouTbl[static_cast<std::size_t>(b)].daimyou;
        if (d >= 0 && d < nDaimyou && std::binary_search(orphans.begin(), orphans.end(), d))
            generals[static_cast<std::size_t>(d)].push_back(b);
    }

    for (int d : orphans) {
        CDaimyou& h = gs_.DaimyouTbl[static_cast<std::size_t>(d)];
        for (int o = 0; o < nDaimyou; ++o) {
            if (o == d || !DaimyouExists(o)) continue;
            const int state = h.GetRelationLo(o);
            if (state == CDaimyou::kRelJuuzokuPeer || state == CDaimyou::kRelShinjuuPeer) {
                h.SetRelationLo(o, CDaimyou::kRelFusen);
                gs_.DaimyouTbl[static_cast<std::size_t>(o)].SetRelationLo(d, CDaimyou::kRelFusen);
            }
        }
        h.bond = CDaimyou::kBondDokuritsu;
        h.masterDaimyou = d;

        for (int b : generals[static_cast<std::size_t>(d)]) {
            CBushou& g = gs_.BushouTbl[static_cast<std::size_t>(b)];
            if (g.daimyou != d) continue;  // moved on meanwhile
            g.status = CBushou::kStatusKashin;
            if ((g.flags & CBushou::kFlagBesieging) != 0) continue;
            const int shiro = IsValidShiro(gs_, g.shiro) ? g.shiro : -1;
            const int owner = shiro >= 0 ? ShiroAt(gs_, shiro).daimyou : -1;
            if (EffectiveDaimyou(gs_, owner) == d) continue;
            if (!RelocateBushou(gs_, b, shiro, true, false)) RemoveBushouFromHoui(gs_, b);
        }

        char buf[512];
        std::snprintf(
            buf, sizeof buf,
            "%sは主家が滅亡したため独立しました\n（謀反による独立ではないため、旧同盟関係はそのまま維持"
            "されます）",
            h.name.c_str());
        Policy().Inform(ports_, MessageKind::IndependenceMessage, buf);
    }
}

// One side holds every castle (a bound house counting as its master): the game is over.
int CMainGame::TestUnification() {
    const int nShiro = ShiroCount(gs_);
    int candidate = -1;
    for (int s = 0; s < nShiro; ++s) {
        const int value = UnificationValue(gs_, ShiroAt(gs_, s).daimyou);
        if (s == 0) {
            candidate = value;
        } else if (value != candidate) {
            gs_.bGameOver = false;
            return -1;
        }
    }
    gs_.bGameOver = true;
    return candidate;
}

// The game has ended with an ending for a house (-2: without its text). The all-automatic run
// only keeps the game-over flag; the automatic advance stops; otherwise the game restarts.
TurnResult CMainGame::EndGame(int daimyou, bool showText) {
    gs_.bGameOver = true;
    if (gs_.bAllAutomatic) return TurnResult::kGameOver;
    if (showText) ShowEnding(daimyou);
    if (gs_.bAutoAdvance) {
        gameEnded_ = true;
        return TurnResult::kGameEnded;
    }
    return TurnResult::kRestart;
}

// Treaty countdowns run down by one a month; 15 means none runs, 0 has run out.
void CMainGame::AgeRelations() {
    const int nDaimyou = DaimyouCount(gs_);
    for (int d = 0; d < nDaimyou; ++d) {
        if (!DaimyouExists(d)) continue;
        // The countdown is the high four bits of each relation byte.
        for (std::uint8_t& relation : gs_.DaimyouTbl[static_cast<std::size_t>(d)].relation) {
            const int countdown = relation >> 4;
            if (countdown != CDaimyou::kNoCountdown && countdown != 0)
                relation = static_cast<std::uint8_t>(relation - 0x10);
        }
    }
}

TurnResult CMainGame::StartMonth() {
    // Music, season and the whole-country map.
    ports_.view->PlayMusic(0);
    SetSeason();
    ports_.view->SwitchMapView(-1);

    UpkeepBushou();
    ports_.view->RefillHouseList();
    ports_.view->BuildCommandMenu(kPhaseEvent);
    gs_.KuniEventFlags.fill(0);
    const int nShiro = ShiroCount(gs_);
    for (int s = 0; s < nShiro; ++s) {
        CShiro& c = ShiroAt(gs_, s);
        if (c.nBesieger == 0) c.siegeValue = 0;
    }
    gs_.GunsenTable.ClearDestinations();
    gs_.nPhase = kPhaseEvent;
    UpdatePhaseCaption();

    // The event phase.
    ReleaseOrphanedDaimyou();
    const int unifier = TestUnification();
    if (!gs_.bGameOver) {
        RunScheduledEvents();
        std::string deaths;
        std::string appearances;
        ProcessByoubotsu(gs_, deaths);
        ProcessBushouAppearance(gs_, ports_, appearances);
        if (Policy().Shows(MessageKind::DeathsAndAppearancesReport))
            ShowBushouDeathAppear(gs_, ports_, deaths, appearances);
    }
    endingResult_ = RunConditionalEvents();
    if (endingResult_ != -1) return EndGame(endingResult_, endingResult_ != -2);
    if (gs_.bGameOver) return EndGame(unifier, true);

    ProcessZantouHouki(gs_, map_, ports_, Policy());
    CheckGundanchouSuccession(gs_, ports_);
    CheckToushuSuccession(gs_, ports_);
    AgeRelations();
    RepairBushouLocations(gs_, ports_);
    gs_.GunsenTable.CheckGunsen(gs_, ports_);
    RecordDaimyouStrength(gs_);
    DecrementShiroCountdowns(gs_);
    DeliverTeppou();
    CompleteGunsen(gs_, map_, ports_, Policy());
    if (gs_.nCurYear != gs_.nStartYear || gs_.nCurMonth != gs_.nStartMonth) DriftScenarioRates();
    RunMonthlyEconomy(gs_, map_, ports_, Policy());

    BeginJinjiPhase();
    return TurnResult::kContinue;
}

}  // namespace rymd
