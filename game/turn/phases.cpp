// The begin and end steps of the six acting phases.
#include <algorithm>
#include <span>
#include <string>

#include "game/ai/cpu_gaikou.h"
#include "game/ai/cpu_gunbi.h"
#include "game/ai/cpu_jinji.h"
#include "game/ai/cpu_naisei.h"
#include "game/ai/cpu_senryaku.h"
#include "game/domestic/castle_economy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/kassen_phase.h"
#include "game/turn/life_events.h"
#include "game/turn/main_game.h"
#include "game/turn/random_order.h"

namespace rymd {

namespace {

// The phases whose end step hands the player's corps to the phase's planner.
bool HasGundanPlanner(int phase) {
    return phase == kPhaseGunbi || phase == kPhaseNaisei || phase == kPhaseSenryaku ||
           phase == kPhaseShutsujin;
}

void ClearOrderedFlags(GameState& gs) {
    const int n = BushouCount(gs);
    for (int b = 0; b < n; ++b)
        gs.BushouTbl[static_cast<std::size_t>(b)].flags &= static_cast<std::uint16_t>(~CBushou::kFlagOrdered);
}

}  // namespace

int CMainGame::ShuffleDaimyouOrder() {
    const int n = DaimyouCount(gs_);
    std::span<std::int32_t> order(gs_.DaimyouOrder.data(), gs_.DaimyouOrder.size());
    if (!gs_.bSpectator) return MakeRandomOrder(gs_.rng, order, n);
    if (n < 1) return 0;
    // The dummy house of a spectator game stays last.
    const int shuffled = MakeRandomOrder(gs_.rng, order, n - 1);
    order[static_cast<std::size_t>(n - 1)] = n - 1;
    return shuffled;
}

void CMainGame::RunDaimyouPlanner(int phase, int daimyou) {
    if (plannerObserver_) plannerObserver_(phase, daimyou, kWholeHouse);
    switch (phase) {
        case kPhaseJinji: cpuJinji_->Run(daimyou); break;
        case kPhaseGunbi: cpuGunbi_->PlanDaimyou(daimyou); break;
        case kPhaseGaikou: RunGaikouWithLog(daimyou); break;
        case kPhaseNaisei: cpuNaisei_->PlanDaimyou(daimyou); break;
        case kPhaseSenryaku: cpuSenryaku_->PlanDaimyou(daimyou); break;
        case kPhaseShutsujin: kassenPhase_->PlanDaimyouAttacks(daimyou); break;
        default: break;
    }
}

void CMainGame::RunGundanPlanner(int phase, int daimyou, int gundan) {
    if (plannerObserver_) plannerObserver_(phase, daimyou, gundan);
    switch (phase) {
        case kPhaseGunbi: cpuGunbi_->PlanGundan(daimyou, gundan); break;
        case kPhaseNaisei: cpuNaisei_->PlanGundan(daimyou, gundan); break;
        case kPhaseSenryaku: cpuSenryaku_->PlanGundan(daimyou, gundan); break;
        case kPhaseShutsujin: kassenPhase_->PlanGundanAttacks(daimyou, gundan); break;
        default: break;
    }
}

// The diplomacy planner's news goes to the log whenever a house's run added to it.
void CMainGame::RunGaikouWithLog(int daimyou) {
    const std::size_t before = cpuGaikou_->messageText.size();
    cpuGaikou_->Run(daimyou);
    if (cpuGaikou_->messageText.size() != before) SetLog(cpuGaikou_->messageText);
}

// A corps whose leader no longer belongs to it gets a successor or is dissolved. Leaders of -1
// (free slot) and -2 (passed over) are left alone.
void CMainGame::CheckGundanLeaders() {
    const int nBushou = BushouCount(gs_);
    for (int c = 0; c < GameState::kMaxGundan; ++c) {
        const int leader = gs_.GundanTbl[static_cast<std::size_t>(c)].leader;
        if (leader == CGundan::kLeaderFree || leader == CGundan::kLeaderPassedOver) continue;
        if (leader >= 0 && leader < nBushou) {
            const CBushou& b = gs_.BushouTbl[static_cast<std::size_t>(leader)];
            if (b.gundan == c) continue;
            const std::string name = b.name;  // the successor search may move the record
            SucceedGundanchou(gs_, ports_, c, name);
        } else {
            SucceedGundanchou(gs_, ports_, c, "");  // a leader index that names nobody
        }
    }
}

// The castles as they stand when the armament and the domestic phase begin: what the phase's
// works are measured against. Only the castles in use are copied (the table has room for ten
// thousand; a scenario uses a few hundred).
void CMainGame::SnapshotCastles() {
    const auto n = static_cast<std::size_t>(ShiroCount(gs_));
    std::copy_n(gs_.ShiroTbl.begin(), n, gs_.ShiroSnapTbl.begin());
}

void CMainGame::BeginPhase(int phase) {
    ports_.view->RefillHouseList();
    ports_.view->BuildCommandMenu(phase);
    if (phase == kPhaseShutsujin) {
        for (int s = 0; s < ShiroCount(gs_); ++s) {
            CShiro& c = ShiroAt(gs_, s);
            if (c.nBesieger == 0) c.siegeValue = 0;
        }
        gs_.GunsenTable.ClearDestinations();
    }
    gs_.nPhase = phase;
    UpdatePhaseCaption();
    ShuffleDaimyouOrder();

    switch (phase) {
        case kPhaseGunbi: SnapshotCastles(); break;
        case kPhaseGaikou:
            ClearOrderedFlags(gs_);
            cpuGaikou_->messageText.clear();
            SetLog(cpuGaikou_->messageText);
            break;
        case kPhaseNaisei:
            SnapshotCastles();
            for (TeppouKounyuuRecord& r : gs_.TeppouKounyuuTbl)
                r.dialogWork = 0;
            break;
        case kPhaseSenryaku:
            for (int s = 0; s < ShiroCount(gs_); ++s)
                ShiroAt(gs_, s).nArrival = 0;
            ClearOrderedFlags(gs_);
            gs_.GunsenTable.ClearDestinations();
            break;
        case kPhaseShutsujin: ClearOrderedFlags(gs_); break;
        default: break;
    }

    // The computer houses before the player.
    const int n = DaimyouCount(gs_);
    int i = 0;
    for (; i < n; ++i) {
        const int d = gs_.DaimyouOrder[static_cast<std::size_t>(i)];
        if (d == gs_.nCurDaimyou) break;
        if (!DaimyouExists(d)) continue;
        RunDaimyouPlanner(phase, d);
    }
    gs_.nPhaseSplit = i;

    if (phase == kPhaseGunbi) {
        int cavalry = 0;
        int foot = 0;
        CalcChouheiLimits(gs_, gs_.nPlayerDaimyou, -1, cavalry, foot);
        gs_.PlayerChouheiLimits = {cavalry, foot, cavalry, foot};
    } else if (phase == kPhaseGaikou) {
        gs_.GaikouDealt.fill(0);
        gs_.bGaikouBarred = false;
        CheckGundanLeaders();
    }
    FinishBegin();
}

void CMainGame::FinishBegin() {
    ports_.view->StartTimer(50);
    ports_.view->EnableCommandEndButton(!gs_.bViewOnly);
    ports_.view->RefillHouseList();
    ports_.view->FocusCommandPanel();
}

void CMainGame::EndPhaseWalk(int phase) {
    if (HasGundanPlanner(phase)) {
        for (int c = 0; c < GameState::kMaxGundan; ++c) {
            const CGundan& g = gs_.GundanTbl[static_cast<std::size_t>(c)];
            if (g.leader == CGundan::kLeaderFree || g.daimyou != gs_.nPlayerDaimyou) continue;
            RunGundanPlanner(phase, gs_.nPlayerDaimyou, c);
        }
    }
    // The computer houses after the player; in a spectator game the house at the split position
    // (the former player's house after a hand-over) is played in its place too. The player's
    // personnel commands may have changed who serves whom.
    if (phase == kPhaseJinji) cpuJinji_->DropIndex();
    const int n = DaimyouCount(gs_);
    const int from = gs_.bSpectator ? gs_.nPhaseSplit : gs_.nPhaseSplit + 1;
    for (int i = std::max(0, from); i < n; ++i) {
        const int d = gs_.DaimyouOrder[static_cast<std::size_t>(i)];
        if (!DaimyouExists(d)) continue;
        RunDaimyouPlanner(phase, d);
    }
}

void CMainGame::BeginJinjiPhase() {
    BeginPhase(kPhaseJinji);
}
void CMainGame::BeginGunbiPhase() {
    BeginPhase(kPhaseGunbi);
}
void CMainGame::BeginGaikouPhase() {
    BeginPhase(kPhaseGaikou);
}
void CMainGame::BeginNaiseiPhase() {
    BeginPhase(kPhaseNaisei);
}
void CMainGame::BeginSenryakuPhase() {
    BeginPhase(kPhaseSenryaku);
}
void CMainGame::BeginShutsujinPhase() {
    BeginPhase(kPhaseShutsujin);
}

TurnResult CMainGame::EndJinjiPhase() {
    EndPhaseWalk(kPhaseJinji);
    BeginGunbiPhase();
    return TurnResult::kContinue;
}

TurnResult CMainGame::EndGunbiPhase() {
    EndPhaseWalk(kPhaseGunbi);
    BeginGaikouPhase();
    return TurnResult::kContinue;
}

TurnResult CMainGame::EndGaikouPhase() {
    EndPhaseWalk(kPhaseGaikou);
    CheckGundanLeaders();
    BeginNaiseiPhase();
    return TurnResult::kContinue;
}

TurnResult CMainGame::EndNaiseiPhase() {
    EndPhaseWalk(kPhaseNaisei);
    BeginSenryakuPhase();
    return TurnResult::kContinue;
}

TurnResult CMainGame::EndSenryakuPhase() {
    EndPhaseWalk(kPhaseSenryaku);
    cpuSenryaku_->ApplyPendingMoves();
    BeginShutsujinPhase();
    return TurnResult::kContinue;
}

TurnResult CMainGame::EndShutsujinPhase() {
    EndPhaseWalk(kPhaseShutsujin);
    kassenPhase_->ResolveKassen();
    SetLog(kassenPhase_->battleText);

    // The player's house has fallen: watch on, or end the program.
    const bool playerGone = !DaimyouExists(gs_.nPlayerDaimyou);
    if (!playerGone) {
        askedFallenHouse_ = false;
    } else if (gs_.bSpectator || askedFallenHouse_) {
        askedFallenHouse_ = true;
    } else {
        if (!ports_.ask->AskYesNo(kFallenHouseQuestion, true)) return TurnResult::kQuit;
        askedFallenHouse_ = true;
    }

    // The date: no year 0 between -1 and 1.
    if (++gs_.nCurMonth > 12) {
        gs_.nCurMonth = 1;
        if (++gs_.nCurYear == 0) gs_.nCurYear = 1;
    }
    return StartMonth();
}

TurnResult CMainGame::EndEventPhase() {
    return TurnResult::kContinue;
}

TurnResult CMainGame::EndCurrentPhase() {
    switch (gs_.nPhase) {
        case kPhaseEvent: return EndEventPhase();
        case kPhaseJinji: return EndJinjiPhase();
        case kPhaseGunbi: return EndGunbiPhase();
        case kPhaseGaikou: return EndGaikouPhase();
        case kPhaseNaisei: return EndNaiseiPhase();
        case kPhaseSenryaku: return EndSenryakuPhase();
        case kPhaseShutsujin: return EndShutsujinPhase();
        default: return TurnResult::kContinue;
    }
}

}  // namespace rymd
