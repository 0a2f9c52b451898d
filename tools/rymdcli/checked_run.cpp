#include "tools/rymdcli/checked_run.h"

#include <iostream>
#include <optional>

#include "game/state/invariants.h"

namespace rymd::cli {
namespace {

const char* TurnResultText(TurnResult r) {
    switch (r) {
        case TurnResult::kContinue: return "continue";
        case TurnResult::kGameOver: return "game over";
        case TurnResult::kGameEnded: return "game ended";
        case TurnResult::kRestart: return "game ended (restart)";
        case TurnResult::kQuit: return "the player stopped watching";
    }
    return "?";
}

}  // namespace

bool InvariantsHold(const GameState& gs, const std::string& when) {
    const std::optional<std::string> broken = FindBrokenInvariant(gs);
    if (!broken) return true;
    std::cerr << "rymdcli: broken invariant " << when << " (" << gs.nCurYear << "/" << gs.nCurMonth
              << "): " << *broken << '\n';
    return false;
}

int PlayMonths(CMainGame& game, GameState& gs, TurnResult step, int months, bool check,
               const std::function<void(const std::string&)>& markMonthEnd, int& done, TurnResult& last) {
    while (step == TurnResult::kContinue && done < months && !gs.bGameOver) {
        const int phase = gs.nPhase;
        if (phase < kPhaseJinji || phase > kPhaseShutsujin) break;
        if (phase == kPhaseShutsujin && markMonthEnd)
            markMonthEnd("end of month " + std::to_string(done + 1));
        step = game.EndCurrentPhase();
        if (phase == kPhaseShutsujin && step != TurnResult::kQuit) {
            ++done;
            if (check && !InvariantsHold(gs, "after month " + std::to_string(done)))
                return kExitBrokenInvariant;
        }
    }
    last = step;
    if (step != TurnResult::kContinue || gs.bGameOver)
        std::cerr << "rymdcli: stopped after " << done << " months: "
                  << TurnResultText(step == TurnResult::kContinue ? TurnResult::kGameOver : step) << '\n';
    return 0;
}

}  // namespace rymd::cli
