#include "game/turn/main_game.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/ai/cpu_gaikou.h"
#include "game/ai/cpu_gunbi.h"
#include "game/ai/cpu_jinji.h"
#include "game/ai/cpu_naisei.h"
#include "game/ai/cpu_senryaku.h"
#include "game/events/event_run.h"
#include "game/events/scheduled_events.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "game/turn/kassen_phase.h"
#include "mbkormap/kor_map.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

// Replaces every occurrence of a placeholder, left to right.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty()) return;
    std::size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
}

// Years run on from -1 to 1: there is no year 0.
int YearIndex(int year) {
    return year > 0 ? year - 1 : year;
}
int YearOfIndex(int index) {
    return index >= 0 ? index + 1 : index;
}

}  // namespace

CMainGame::CMainGame(GameState& gs, MbKorMap::CCtrlKorMap& map, const Ports& ports)
    : gs_(gs),
      map_(map),
      ports_(ports),
      cpuJinji_(std::make_unique<CCpuJinji>(Context())),
      cpuGaikou_(std::make_unique<CCpuGaikou>(Context())),
      cpuGunbi_(std::make_unique<CCpuGunbi>(Context())),
      cpuNaisei_(std::make_unique<CCpuNaisei>(Context())),
      cpuSenryaku_(std::make_unique<CCpuSenryaku>(Context())),
      kassenPhase_(std::make_unique<CKassenPhase>(Context())) {
    // The question of the fallen house is asked once, when the house falls. A game taken up over
    // a state whose player's house is already gone (a saved game loaded after the fall) was
    // watched on when it was saved: it goes on without asking again.
    askedFallenHouse_ = !gs_.bSpectator && !DaimyouExists(gs_.nPlayerDaimyou);
}

CMainGame::~CMainGame() = default;

SuppressionPolicy CMainGame::Policy() const {
    return SuppressionPolicy(gs_.bAutoAdvance, gs_.bAllAutomatic, skipEventMessages_);
}

bool CMainGame::DaimyouExists(int daimyou) const {
    return HouseExists(gs_, daimyou);
}

void CMainGame::SetColorDaimyou(const int* houses, int count) {
    nColorDaimyou_ = std::clamp(count, 0, kMaxColorDaimyou);
    colorDaimyou_.fill(-1);
    for (int i = 0; i < nColorDaimyou_; ++i)
        colorDaimyou_[static_cast<std::size_t>(i)] = houses[i];
}

void CMainGame::UpdatePhaseCaption() {
    if (gs_.bViewOnly) {
        ports_.view->SetCaption("閲覧専用");
        return;
    }
    const int phase = gs_.nPhase;
    const char* name = phase >= 0 && phase < static_cast<int>(kPhaseNameTbl.size())
                           ? kPhaseNameTbl[static_cast<std::size_t>(phase)]
                           : "";
    ports_.view->SetCaption(std::string(name) + "フェイズ");
}

void CMainGame::SetLog(const std::string& text) {
    logText_ = text;
    ports_.view->SetLogText(kMainLog, logText_);
}

// --- month-start helpers ---------------------------------------------------------------------

void CMainGame::DriftScenarioRates() {
    std::array<double, 4>& ritsu = gs_.TeppouSoubiRitsu;  // start, step, cap, current
    ritsu[3] += ritsu[1];
    if (ritsu[3] > ritsu[2]) ritsu[3] = ritsu[2];
    std::array<double, 4>& cost = gs_.TeppouCost;  // start, step, floor, current
    cost[3] -= cost[1];
    if (cost[3] < cost[2]) cost[3] = cost[2];

    const int nKuni = std::clamp(gs_.nKuni, 0, GameState::kMaxKuni);
    for (int k = 0; k < nKuni; ++k) {
        TeppouSeisanRecord& r = gs_.TeppouSeisanTbl[static_cast<std::size_t>(k)];
        if (r.initRate == 0.0 || gs_.nCurYear < r.startYear) continue;
        if (r.current != 0.0) {
            r.current += r.increase;
            if (r.current > r.cap) r.current = r.cap;
        } else {
            r.current = r.initRate;
        }
    }
    const int nPlace = std::clamp(gs_.nTeppouKounyuu, 0, GameState::kMaxTeppouKounyuu);
    for (int p = 0; p < nPlace; ++p) {
        TeppouKounyuuRecord& r = gs_.TeppouKounyuuTbl[static_cast<std::size_t>(p)];
        if (gs_.nCurYear < r.startYear) continue;
        if (r.currentOffer != 0.0) {
            r.currentPrice -= r.priceDecrease;
            if (r.currentPrice < r.priceFloor) r.currentPrice = r.priceFloor;
            r.currentOffer += r.offerIncrease;
            if (r.currentOffer > r.offerCap) r.currentOffer = r.offerCap;
        } else {
            r.currentPrice = r.initPrice;
            r.currentOffer = r.initOffer;
        }
    }
}

int CMainGame::SeasonOfMonth(int month) {
    if (month >= 3 && month <= 5) return 0;
    if (month >= 6 && month <= 8) return 1;
    if (month >= 9 && month <= 11) return 2;
    return 3;
}

void CMainGame::SetSeason() {
    map_.ElvMap().SetSeason(SeasonOfMonth(gs_.nCurMonth));
}

void CMainGame::DeliverTeppou() {
    const int nDaimyou = DaimyouCount(gs_);
    const int nPlace = std::clamp(gs_.nTeppouKounyuu, 0, CDaimyou::kTeppouOrderCount);
    const int unit = HeiUnit(gs_);
    const ScenarioWordArray& words = gs_.ScenarioWords;
    auto wordsOf = [&](const std::string& s) { return ReplaceWordChou(ReplaceWordTeppou(s, words), words); };

    std::vector<std::string> lines;
    bool playerGot = false;
    for (int d = 0; d < nDaimyou; ++d) {
        if (!DaimyouExists(d)) continue;
        CDaimyou& h = gs_.DaimyouTbl[static_cast<std::size_t>(d)];
        const bool player = d == gs_.nPlayerDaimyou;
        h.teppou += h.teppouSeisan;
        if (player && h.teppouSeisan != 0) {
            playerGot = true;
            lines.push_back(wordsOf(FormatText("%d挺の鉄砲を生産しました", h.teppouSeisan * unit)));
        }
        for (int p = 0; p < nPlace; ++p) {
            const TeppouOrder& o = h.teppouOrder[static_cast<std::size_t>(p)];
            if (o.count == 0 || o.months >= 2) continue;
            h.teppou += o.count;
            if (player) {
                playerGot = true;
                char buf[256];
                std::snprintf(buf, sizeof buf, "%sから%d挺の鉄砲を調達しました",
                              gs_.TeppouKounyuuTbl[static_cast<std::size_t>(p)].name.c_str(), o.count * unit);
                lines.push_back(wordsOf(buf));
            }
        }
    }
    if (playerGot) {
        const CDaimyou& h = gs_.DaimyouTbl[static_cast<std::size_t>(gs_.nPlayerDaimyou)];
        lines.push_back(wordsOf(FormatText("未配備鉄砲数が %d挺 になりました", h.teppou * unit)));
        Policy().ShowReport(ports_, MessageKind::MusketDeliveryReport, ReportKind::MusketDelivery,
                            ReplaceWordTeppou("鉄砲入手", words), lines);
    }
    for (int d = 0; d < nDaimyou; ++d) {
        CDaimyou& h = gs_.DaimyouTbl[static_cast<std::size_t>(d)];
        h.teppouSeisan = 0;
        for (int p = 0; p < nPlace; ++p) {
            TeppouOrder& o = h.teppouOrder[static_cast<std::size_t>(p)];
            if (o.count == 0) continue;
            if (o.months > INT8_MIN) --o.months;
            if (o.months < 1) o.count = 0;
        }
    }
}

std::string CMainGame::MakeEndingText(int daimyou) const {
    std::string text = gs_.EndingText;
    const int year = gs_.nCurYear;
    const std::string era = year < 0 ? ReplaceWordBC("B.C.", gs_.ScenarioWords) : std::string();
    const std::string yearText = era + FormatText("%d", std::abs(year));
    const std::string monthText = FormatText("%d", gs_.nCurMonth);
    std::string houseName;
    std::string headName;
    if (IsValidDaimyou(gs_, daimyou)) {
        const CDaimyou& h = DaimyouAt(gs_, daimyou);
        houseName = h.name;
        if (IsValidBushou(gs_, h.toushu))
            headName = BushouAt(gs_, h.toushu).name;
        else
            headName = houseName + "当主";
    }
    ReplaceAll(text, "%Year%", yearText);
    ReplaceAll(text, "%year%", yearText);
    ReplaceAll(text, "%Month%", monthText);
    ReplaceAll(text, "%month%", monthText);
    ReplaceAll(text, "%Player%", houseName);
    ReplaceAll(text, "%Daimyou%", houseName);
    ReplaceAll(text, "%daimyou%", houseName);
    ReplaceAll(text, "%Toushu%", headName);
    ReplaceAll(text, "%toushu%", headName);
    return text;
}

void CMainGame::ShowEnding(int daimyou) {
    // The picture travels as its encoded bytes; the front decodes it (BMP, JPEG or PNG).
    const std::vector<std::uint8_t>& picture = gs_.ScenarioImage.Bytes();
    ports_.report->ShowLongText("エンディング", MakeEndingText(daimyou), picture, 0);
}

void CMainGame::RunScheduledEvents() {
    ::rymd::RunScheduledEvents(Context(), Policy());
}

int CMainGame::RunConditionalEvents() {
    EventRun run{Context(), skipEventMessages_};
    return ::rymd::RunConditionalEvents(run);
}

// --- the all-automatic run ---------------------------------------------------------------------

void CMainGame::PrepareAllAutomatic() {
    gs_.bAllAutomatic = true;
    gs_.bAutoAdvance = true;
    skipEventMessages_ = true;
    colorDisplay_ = true;
}

AllAutomaticResult CMainGame::RunAllAutomatic(int years) {
    AllAutomaticResult result;
    const int startYear = gs_.nCurYear;
    const int startMonth = gs_.nCurMonth;
    // The same month that many years later; the count of years skips the missing year 0.
    const int targetYear = YearOfIndex(YearIndex(startYear) + std::max(0, years));
    CStopWatch watch;
    watch.Start();
    while (!gs_.bGameOver) {
        if (gs_.nPhase < kPhaseJinji || gs_.nPhase > kPhaseShutsujin) break;  // no step to run
        result.last = EndCurrentPhase();
        if (result.last != TurnResult::kContinue) break;
        if (gs_.nPhase == kPhaseJinji && gs_.nCurYear == targetYear && gs_.nCurMonth == startMonth) break;
    }
    result.elapsedMs = watch.GetElapsed();
    result.months = (YearIndex(gs_.nCurYear) - YearIndex(startYear)) * 12 + (gs_.nCurMonth - startMonth);
    // A game over in its first month start has run no month: count one.
    const int divisor = std::max(1, result.months);
    result.secondsPerMonth = result.elapsedMs / 1000.0 / divisor;
    char buf[128];
    std::snprintf(buf, sizeof buf, "実行速度 %.3f 秒／月", result.secondsPerMonth);
    result.text = buf;
    ports_.inform->Inform(result.text);
    return result;
}

}  // namespace rymd
