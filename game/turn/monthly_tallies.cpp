#include "game/turn/monthly_tallies.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

constexpr int kShiroGunsenLimit = CGunsenTable::kShiroLimit;

}  // namespace

int StrengthTrendOf(const std::array<std::int16_t, 12>& history) {
    const int d = (history[0] - history[11]) + (history[0] - history[2]);
    return d >= 1 ? 1 : d < 0 ? 255 : 0;
}

void RecordDaimyouStrength(GameState& gs) {
    std::vector<int> strength(GameState::kMaxDaimyou);
    TallyDaimyouStrength(gs, strength);
    const int nDaimyou = DaimyouCount(gs);
    for (int d = 0; d < nDaimyou; ++d) {
        CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(d)];
        std::copy_backward(h.strengthHistory.begin(), h.strengthHistory.end() - 1, h.strengthHistory.end());
        h.strengthHistory[0] = static_cast<std::int16_t>(strength[static_cast<std::size_t>(d)]);
        h.strengthTrend = static_cast<std::uint8_t>(StrengthTrendOf(h.strengthHistory));
    }
}

void DecrementShiroCountdowns(GameState& gs) {
    const int nShiro = ShiroCount(gs);
    for (int c = 0; c < nShiro; ++c) {
        if ((ShiroMapAt(gs, c).flags & ShiroMapRecord::kFlagPort) == 0) continue;
        for (ShiroOrderSlot& v : ShiroAt(gs, c).voyage) {
            if (v.ships != 0 && v.monthsLeft > 0) --v.monthsLeft;
        }
    }
}

std::string CompleteGunsen(GameState& gs, const MbKorMap::CCtrlKorMap& map, const Ports& ports,
                           const SuppressionPolicy& policy) {
    const int nShiro = ShiroCount(gs);
    const ScenarioWordArray& words = gs.ScenarioWords;
    std::string report;
    std::vector<std::uint16_t> cost;
    for (int c = 0; c < nShiro; ++c) {
        CShiro& s = ShiroAt(gs, c);
        const int n = s.gunsenBuilding & 0x0F;
        if (n == 0) continue;
        const int owner = GetCountedDaimyouOfShiro(gs, c);
        // The work is lost when the castle has passed to another side (or to no house at all).
        if (owner != GetCountedDaimyou(gs, s.gunsenBuilder) || owner < 0 || owner >= GameState::kMaxDaimyou) {
            s.gunsenBuilding = 0;
            continue;
        }
        const int months = (s.gunsenBuilding >> 4) - 1;
        if (months > 0) {
            s.gunsenBuilding = static_cast<std::uint8_t>((months << 4) | n);
            continue;
        }

        // Launched. A castle holds 200 warships; the surplus sails to the nearest castle by sea
        // that can take it and is not blockaded.
        s.gunsenBuilding = 0;
        const int here = gs.GunsenTable.GetGunsenAtShiro(c);
        int surplus = 0;
        int target = -1;
        if (here + n > kShiroGunsenLimit) {
            surplus = std::min(here + n - kShiroGunsenLimit, n);
            cost.assign(static_cast<std::size_t>(nShiro), kRouteUnreachable);
            CalcRoadCost(gs, owner, -1, c, cost, kRouteSea);
            int best = kRouteUnreachable;
            for (int t = 0; t < nShiro; ++t) {
                if (t == c || cost[static_cast<std::size_t>(t)] >= best) continue;
                if (gs.GunsenTable.GetGunsenAtShiro(t) + surplus >= kShiroGunsenLimit + 1) continue;
                if (ShiroAt(gs, t).blockadeDaimyou >= 0) continue;
                best = cost[static_cast<std::size_t>(t)];
                target = t;
            }
            if (target >= 0) gs.GunsenTable.AddGunsen(owner, target, surplus);
        }
        if (n - surplus > 0) gs.GunsenTable.AddGunsen(owner, c, n - surplus);

        if (owner != gs.nPlayerDaimyou) continue;
        const ShiroMapRecord& geo = ShiroMapAt(gs, c);
        const std::string kuni =
            geo.kuni < map.KuniCount() ? ToUtf8(map.Kuni(geo.kuni).name, gs.Encoding()) : std::string();
        if (surplus == 0) {
            report += FormatWithWords(words, {ReplaceWordGunsen}, "%sの%sで%d隻の軍船が完成しました\n",
                                      kuni.c_str(), geo.name.c_str(), n);
        } else if (target >= 0) {
            report += FormatWithWords(words, {ReplaceWordShiro, ReplaceWordGunsen},
                                      "%sの%sで%d隻の軍船が完成しました\n（城の軍船最大数を超えるので%d隻が%"
                                      "sに移動されました）\n",
                                      kuni.c_str(), geo.name.c_str(), n, surplus,
                                      ShiroMapAt(gs, target).name.c_str());
        } else {
            report += FormatWithWords(words, {ReplaceWordShiro, ReplaceWordGunsen},
                                      "%sの%sで%d隻の軍船が完成しました\n（城の軍船最大数を超えるので%"
                                      "d隻が配備できませんでした）\n",
                                      kuni.c_str(), geo.name.c_str(), n, surplus);
        }
    }

    if (!report.empty() && !policy.AutoAdvance()) {
        std::vector<std::string> lines;
        lines.push_back(ReplaceWordGunsen("以下の軍船が完成しました", words));
        std::size_t start = 0;
        while (start < report.size()) {
            std::size_t end = report.find('\n', start);
            if (end == std::string::npos) end = report.size();
            lines.push_back(report.substr(start, end - start));
            start = end + 1;
        }
        ports.report->ShowReport(ReportKind::GunsenComplete, ReplaceWordGunsen("軍船完成", words), lines);
    }
    return report;
}

}  // namespace rymd
