#include "game/turn/auto_advance.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"

namespace rymd {

namespace {

std::int32_t SortKey(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

CAutoAdvance::CAutoAdvance(CMainGame& game)
    : game_(game), entryYear_(game.State().nCurYear), entryMonth_(game.State().nCurMonth) {}

void CAutoAdvance::Open() {
    savedColorDisplay_ = game_.ColorDisplay();
    game_.SetColorDisplay(true);
    game_.SetSkipEventMessages(skipEvents_);
    FillDaimyouList();
}

void CAutoAdvance::Close() {
    game_.SetColorDisplay(savedColorDisplay_);
}

bool CAutoAdvance::Finish() {
    game_.State().bAutoAdvance = false;
    running_ = false;
    return game_.GameEnded();
}

void CAutoAdvance::SetSkipEvents(bool on) {
    skipEvents_ = on;
    game_.SetSkipEventMessages(on);
}

CAutoAdvance::StartResult CAutoAdvance::Start(int year, int month) {
    if (month < 1 || month > 12) return StartResult::kBadMonth;
    GameState& gs = game_.State();
    entryYear_ = year;
    entryMonth_ = month;
    if (year < gs.nCurYear || (year == gs.nCurYear && month <= gs.nCurMonth)) {
        game_.GetPorts().inform->Inform(kNotLaterMessage);
        return StartResult::kNotLater;
    }
    targetYear_ = year;
    targetMonth_ = month;
    gs.bAutoAdvance = true;
    stopRequested_ = false;
    running_ = true;
    return StartResult::kStarted;
}

CAutoAdvance::TickResult CAutoAdvance::Tick() {
    GameState& gs = game_.State();
    if (stopRequested_) {
        gs.bAutoAdvance = false;
        running_ = false;
        return TickResult::kStopped;
    }
    const TurnResult step = game_.EndCurrentPhase();
    if (step == TurnResult::kQuit) {
        running_ = false;
        return TickResult::kQuit;
    }
    if (game_.GameEnded() || step == TurnResult::kRestart) {
        Close();
        running_ = false;
        return TickResult::kGameEnded;
    }
    FillDaimyouList();
    if (gs.bGameOver) {
        Close();
        running_ = false;
        return TickResult::kGameOver;
    }
    // The target is reached at the personnel phase of its month. A target the calendar skips
    // (year 0) counts as reached at the first month after it.
    if (gs.nCurYear > targetYear_ || (gs.nCurYear == targetYear_ && gs.nCurMonth >= targetMonth_)) {
        gs.bAutoAdvance = false;
        running_ = false;
        return TickResult::kReached;
    }
    return TickResult::kContinue;
}

const std::vector<CAutoAdvance::Row>& CAutoAdvance::FillDaimyouList() {
    const GameState& gs = game_.State();
    const int nDaimyou = DaimyouCount(gs);
    std::vector<int> shiro(static_cast<std::size_t>(nDaimyou), 0);
    std::vector<std::int64_t> direct(static_cast<std::size_t>(nDaimyou), 0);
    std::vector<std::int64_t> withShinjuu(static_cast<std::size_t>(nDaimyou), 0);
    const int nShiro = ShiroCount(gs);
    for (int s = 0; s < nShiro; ++s) {
        const CShiro& c = ShiroAt(gs, s);
        const int owner = c.daimyou;
        if (owner < 0 || owner >= nDaimyou) continue;
        ++shiro[static_cast<std::size_t>(owner)];
        direct[static_cast<std::size_t>(owner)] += c.kokudaka;
        withShinjuu[static_cast<std::size_t>(owner)] += c.kokudaka;
        const CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(owner)];
        if (h.bond == CDaimyou::kBondShinjuu && h.masterDaimyou >= 0 && h.masterDaimyou < nDaimyou &&
            h.masterDaimyou != owner)
            withShinjuu[static_cast<std::size_t>(h.masterDaimyou)] += c.kokudaka;
    }

    CSortList list(GameState::kMaxDaimyou);
    list.SetCount(0);
    for (int d = 0; d < nDaimyou; ++d) {
        if (!HouseHasHead(gs, d)) continue;
        std::int64_t key;
        switch (sortIndex_) {
            case kSortByShiro: key = shiro[static_cast<std::size_t>(d)]; break;
            case kSortByKokudakaWithShinjuu: key = withShinjuu[static_cast<std::size_t>(d)]; break;
            default: key = direct[static_cast<std::size_t>(d)]; break;
        }
        list.Append(d, SortKey(key));
    }
    list.SortLarge();

    rows_.clear();
    std::array<int, CMainGame::kMaxColorDaimyou> top{};
    int nTop = 0;
    for (int k = 0; k < list.Count(); ++k) {
        const int d = list.Id(k);
        const CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(d)];
        Row row;
        row.daimyou = d;
        row.image = h.bond == CDaimyou::kBondShinjuu ? kImageShinjuu : std::min(k, kImageOther);
        row.shiro = shiro[static_cast<std::size_t>(d)];
        row.kokudaka = direct[static_cast<std::size_t>(d)];
        row.kokudakaWithShinjuu = withShinjuu[static_cast<std::size_t>(d)];
        row.texts[0] = h.name;
        row.texts[1] = std::to_string(row.shiro);
        row.texts[2] = KokudakaText(row.kokudaka);
        row.texts[3] = KokudakaText(row.kokudakaWithShinjuu);
        rows_.push_back(std::move(row));
        if (nTop < CMainGame::kMaxColorDaimyou) top[static_cast<std::size_t>(nTop++)] = d;
    }
    game_.SetColorDaimyou(top.data(), nTop);
    return rows_;
}

bool CAutoAdvance::SetSortIndex(int index) {
    if (index == sortIndex_) return false;
    sortIndex_ = index;
    FillDaimyouList();
    return true;
}

bool CAutoAdvance::OnColumnClick(int column) {
    if (column < 1 || column > 3) return false;
    sortIndex_ = column - 1;
    FillDaimyouList();
    return true;
}

int CAutoAdvance::OnListClick(int row) const {
    if (game_.State().bAutoAdvance) return -1;
    if (row < 0 || row >= static_cast<int>(rows_.size())) return -1;
    return rows_[static_cast<std::size_t>(row)].daimyou;
}

std::string CAutoAdvance::ListTitle() const {
    return ReplaceWordDaimyouke("大名家一覧", game_.State().ScenarioWords);
}

std::array<std::string, 4> CAutoAdvance::ColumnTitles() const {
    const ScenarioWordArray& words = game_.State().ScenarioWords;
    return {ReplaceWordDaimyouke("大名家", words), ReplaceWordShiro("城数", words),
            ReplaceWordKokudaka("石高(直轄)", words), ReplaceWordKokudaka("石高(臣従込み)", words)};
}

std::string CAutoAdvance::KokudakaText(std::int64_t kokudaka) const {
    return rymd::KokudakaText(kokudaka, game_.State().ScenarioWords);
}

}  // namespace rymd
