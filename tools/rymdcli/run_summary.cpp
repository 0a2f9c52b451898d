// The summary of a run (rymdcli run --summary): how the run ended, then the largest houses.
#include "tools/rymdcli/run_summary.h"

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "platform/core/format_text.h"

namespace rymd::cli {
namespace {

// The columns a text takes on a terminal: two for every character outside ASCII (the names are
// Japanese), one for the others.
int Columns(const std::string& text) {
    int n = 0;
    for (unsigned char c : text)
        if (c < 0x80)
            ++n;
        else if ((c & 0xC0) != 0xC0)
            continue;  // a continuation byte
        else
            n += 2;
    return n;
}

std::string PadTo(std::string text, int columns) {
    for (int n = Columns(text); n < columns; ++n)
        text += ' ';
    return text;
}

std::string HouseName(const GameState& gs, int d) {
    return IsValidDaimyou(gs, d) ? DaimyouAt(gs, d).name : std::string("?");
}

// The house that holds every castle, counting a house bound to a master as its master.
int Unifier(const GameState& gs) {
    if (ShiroCount(gs) == 0) return -1;
    const int owner = ShiroAt(gs, 0).daimyou;
    if (!IsValidDaimyou(gs, owner)) return owner;
    const CDaimyou& h = DaimyouAt(gs, owner);
    return h.bond != CDaimyou::kBondDokuritsu ? h.masterDaimyou : owner;
}

}  // namespace

std::string RunSummary(const GameState& gs, const CMainGame& game, int months, bool stoppedByPlayer,
                       int shownHouses) {
    std::string out = FormatText("%d年%d月から%d年%d月まで %dか月: ", gs.nStartYear, gs.nStartMonth,
                                 gs.nCurYear, gs.nCurMonth, months);
    std::string ending;
    if (gs.bGameOver) {
        const int byEvent = game.EndingResult();
        const int house = byEvent == -1 ? Unifier(gs) : byEvent;
        if (byEvent == -1 && ScenarioHouseCount(gs) == 0)
            out += "シナリオに大名家がなく、ゲームが終わりました\n";
        else if (byEvent == -1 && !IsValidDaimyou(gs, house))
            out += "大名家の城がなく、ゲームが終わりました\n";
        else if (byEvent == -1)
            out += HouseName(gs, house) + "が統一を成し遂げ、ゲームが終わりました\n";
        else if (IsValidDaimyou(gs, house))
            out += "シナリオのイベントでゲームが終わりました（" + HouseName(gs, house) + "）\n";
        else
            out += "シナリオのイベントでゲームが終わりました\n";
        if (byEvent != -2 && IsValidDaimyou(gs, house)) ending = game.MakeEndingText(house);
    } else if (stoppedByPlayer) {
        out += "プレイヤーが観戦をやめたため打ち切りました\n";
    } else {
        out += "統一した家はなく、ゲームは続いています\n";
    }
    // The ending as the game shows it, each line indented.
    std::size_t at = 0;
    while (at < ending.size()) {
        std::size_t end = ending.find('\n', at);
        if (end == std::string::npos) end = ending.size();
        std::string line = ending.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out += line.empty() ? "\n" : "  " + line + "\n";
        at = end + 1;
    }
    if (!ending.empty()) out += '\n';

    // Each house in play (holding a castle) with what it holds itself (not its vassals).
    const int nDaimyou = DaimyouCount(gs);
    std::vector<int> castles(static_cast<std::size_t>(std::max(nDaimyou, 0)), 0);
    std::vector<long long> kokudaka(castles.size(), 0);
    for (int s = 0; s < ShiroCount(gs); ++s) {
        const CShiro& c = ShiroAt(gs, s);
        if (!IsValidDaimyou(gs, c.daimyou)) continue;
        ++castles[static_cast<std::size_t>(c.daimyou)];
        kokudaka[static_cast<std::size_t>(c.daimyou)] += c.kokudaka;
    }
    std::vector<std::tuple<int, long long, int>> houses;  // castles, rice, house (largest first)
    int independent = 0;
    for (int d = 0; d < nDaimyou; ++d) {
        if (!HouseExists(gs, d) || castles[static_cast<std::size_t>(d)] == 0) continue;
        houses.emplace_back(-castles[static_cast<std::size_t>(d)], -kokudaka[static_cast<std::size_t>(d)], d);
        independent += DaimyouAt(gs, d).bond == CDaimyou::kBondDokuritsu;
    }
    std::sort(houses.begin(), houses.end());
    if (houses.empty())
        return out + (ScenarioHouseCount(gs) == 0 ? "シナリオに大名家はありません\n"
                                                  : "城を持つ大名家はありません\n");
    out += FormatText("残る大名家 %d（独立 %d、従属・臣従 %d）\n", static_cast<int>(houses.size()),
                      independent, static_cast<int>(houses.size()) - independent);
    for (std::size_t i = 0; i < houses.size() && static_cast<int>(i) < shownHouses; ++i) {
        const int d = std::get<2>(houses[i]);
        const CDaimyou& h = DaimyouAt(gs, d);
        out += "  " + PadTo(h.name, 10) +
               FormatText(" 城 %3d  石高 %8lld  資金 %7d", castles[static_cast<std::size_t>(d)],
                          kokudaka[static_cast<std::size_t>(d)], static_cast<int>(h.shikin));
        if (h.bond == CDaimyou::kBondJuuzoku) out += "  （" + HouseName(gs, h.masterDaimyou) + "に従属）";
        if (h.bond == CDaimyou::kBondShinjuu) out += "  （" + HouseName(gs, h.masterDaimyou) + "に臣従）";
        out += '\n';
    }
    return out;
}

}  // namespace rymd::cli
