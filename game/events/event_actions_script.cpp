// The happenings on the script itself (variables, subroutine calls, scheduled events, questions
// to the player) and on what the player sees and may do (music, the scenario title, the view-only
// save, the part of the map shown, castle visibility, castle types, hidden routes,
// non-aggression). What reaches the screen goes through the view port; the screen acts on it.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/events/event_actions.h"
#include "game/events/event_dialogs.h"
#include "game/events/scheduled_events.h"
#include "game/ports/ports.h"
#include "game/ports/suppression_policy.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/format_text.h"

namespace rymd {
namespace happening {

namespace {

constexpr std::uint8_t kFlagNonaggression = 0x08;  // house kind byte: not to be attacked
constexpr int kRouteSlots = ShiroMapRecord::kMaxConnection + 1;
constexpr std::uint16_t kRouteEnd = 0xFFFF;

// An identifier written in a data text, in the bytes of the scenario file.
std::string Identifier(const Happening& h) {
    return FromUtf8(h.item.data1, h.gs.Encoding());
}

// --- subroutines and scheduled events ------------------------------------------------------

int CallSubroutine(const Happening& h) {
    const int target = h.gs.NameIndex.FindConditionalEvent(Identifier(h));
    if (target < 0 || target >= static_cast<int>(h.gs.ConditionalEventArray.size())) {
        h.Tell(FormatText("呼び出し条件イベントID(%s)が不適切です", h.item.data1.c_str()));
        return -1;
    }
    const CConditionalEvent& called = h.gs.ConditionalEventArray[static_cast<std::size_t>(target)];
    if ((called.flags & CConditionalEvent::kFlagSubRoutine) == 0) {
        h.Tell(FormatText("呼び出し条件イベントID(%s)がサブルーチンではありません", h.item.data1.c_str()));
        return -1;
    }
    return target;
}

void RunSeasonEvent(const Happening& h) {
    const int event = h.gs.NameIndex.FindEvent(Identifier(h));
    if (event < 0) return;
    EventMarks marks;  // fresh: this month's marks of the other events play no part
    RunScheduledEvent(h.run.ctx, EventPolicy(h.run), event, marks);
}

// --- questions -----------------------------------------------------------------------------

// The input dialog: the pressed choice (counted from 0) or the number typed goes into the
// variable named by data 1.
void AskQuestion(const Happening& h) {
    if (h.item.code == kQuestionMulti)
        h.StoreVariable(static_cast<double>(AskEventChoice(h.run, h.item.data2)), false);
    else
        h.StoreVariable(AskEventNumber(h.run, h.item.data2), false);
}

// --- map -----------------------------------------------------------------------------------

// Reads up to four integers written "left,top,right,bottom", each with its own leading blanks
// and sign; a number beyond the range of int stands at that end of the range. The values after
// the first that cannot be read stay 0.
void ReadFourNumbers(const std::string& text, int (&v)[4]) {
    const char* p = text.c_str();
    for (int k = 0; k < 4; ++k) {
        if (k > 0 && *p++ != ',') return;
        char* end = nullptr;
        const long long n = std::strtoll(p, &end, 10);
        if (end == p) return;
        v[k] = static_cast<int>(std::clamp<long long>(n, INT_MIN, INT_MAX));
        p = end;
    }
}

void ChangeViewArea(const Happening& h) {
    int v[4] = {0, 0, 0, 0};
    ReadFourNumbers(h.item.data1, v);
    const int w = h.run.ctx.map.Width();
    const int ht = h.run.ctx.map.Height();
    auto& area = h.gs.MainMapKakudai;
    if (v[0] == 0 && v[1] == 0 && v[2] == 0 && v[3] == 0) {
        area = {0, 0, 0, w, ht};
    } else {
        int left = std::min(std::max(v[0], 0), w - 2);
        int top = std::min(std::max(v[1], 0), ht - 2);
        int right = std::min(v[2], w - 1);
        int bottom = std::min(v[3], ht - 1);
        if (right <= left) right = left + 1;
        if (bottom <= top) bottom = top + 1;
        area = {1, left, top, right, bottom};
    }
    h.ports.view->SwitchMapView(-1);
}

void SetShiroInfo(const Happening& h) {
    double value = 0.0;
    if (!h.Evaluate(h.item.data1, value) || !IsValidShiro(h.gs, h.shiro1)) return;
    const int mode = TruncToInt(value);
    std::vector<int>& list = h.gs.ExclusionList;
    const auto entry = std::find_if(list.begin(), list.end(), [&](int e) {
        return static_cast<int>(static_cast<std::uint32_t>(e) & kExclusionShiroMask) == h.shiro1;
    });
    if (mode == 1) {
        if (entry != list.end()) list.erase(entry);
    } else {
        const std::uint32_t e = static_cast<std::uint32_t>(h.shiro1) |
                                ((static_cast<std::uint32_t>(mode) & 0xF) << kExclusionModeShift);
        if (entry != list.end())
            *entry = static_cast<int>(e);
        else
            list.push_back(static_cast<int>(e));
    }
    RebuildShiroDisabledBits(h.gs);
}

// Whether a route slot of castle c joins castles a and b.
bool Joins(int c, int target, int a, int b) {
    return (c == a && target == b) || (c == b && target == a);
}

// Hides the route between castles a and b (moves it behind the end of the visible routes of
// both castles), or brings it back as their first route.
void HideRoute(const Happening& h) {
    double value = 0.0;
    if (!h.Evaluate(h.item.data1, value)) return;
    const int a = h.shiro1;
    const int b = h.shiro2;
    if (!IsValidShiro(h.gs, a) || !IsValidShiro(h.gs, b)) return;
    const bool hide = value != 0.0;
    for (int c : {a, b}) {
        auto& slots = ShiroMapAt(h.gs, c).connect;
        int moves = 0;  // each route moves at most once: the walk stays inside the slots
        if (hide) {
            for (int i = 0; i < kRouteSlots - 1 && slots[static_cast<std::size_t>(i)].shiro != kRouteEnd;) {
                if (Joins(c, slots[static_cast<std::size_t>(i)].shiro, a, b) && moves++ < kRouteSlots) {
                    std::rotate(slots.begin() + i, slots.begin() + i + 1, slots.end());
                } else {
                    ++i;
                }
            }
        } else {
            for (int i = kRouteSlots - 1; i > 0 && slots[static_cast<std::size_t>(i)].shiro != kRouteEnd;) {
                if (Joins(c, slots[static_cast<std::size_t>(i)].shiro, a, b) && moves++ < kRouteSlots) {
                    std::rotate(slots.begin(), slots.begin() + i, slots.begin() + i + 1);
                } else {
                    --i;
                }
            }
        }
        if (a == b) break;
    }
}

void ChangeShiroType(const Happening& h) {
    if (!IsValidShiro(h.gs, h.shiro1)) return;
    const int types = std::clamp(h.gs.nShiroType, 0, GameState::kMaxShiroType);
    ShiroMapRecord& geo = ShiroMapAt(h.gs, h.shiro1);
    const int named = h.gs.NameIndex.FindName2(Identifier(h));
    if (named >= 0 && named < types) {
        geo.shiroType = static_cast<std::int16_t>(named);
        return;
    }
    double value = 0.0;
    if (!h.Evaluate(h.item.data1, value)) return;
    const std::int64_t type = std::int64_t{TruncToInt(value)} - 1;
    if (type >= 0 && type < types)
        geo.shiroType = static_cast<std::int16_t>(type);
    else
        h.Tell(FormatText("城タイプ値(%s)が不適切です", h.item.data1.c_str()));
}

// The main window's view-only save, with its own questions and refusals. While the game runs by
// itself nobody is there to answer them: the save is left out and the log says why.
void SaveViewOnly(const Happening& h) {
    const SuppressionPolicy policy = EventPolicy(h.run);
    if (policy.Shows(MessageKind::ViewOnlySave)) {
        h.ports.view->SaveViewOnly();
        return;
    }
    const char* why = policy.AllAutomatic() ? "全自動モードで実行中" : "自動進行中";
    h.ports.view->AppendLogLine(
        kMainLog, EventErrorText(h.run, h.eventIndex,
                                 FormatText("閲覧専用形式でのセーブは、%sのため行いませんでした", why)));
}

}  // namespace

bool IsScriptHappening(int code) {
    return code == kDainyuu || code == kAdd || code == kSeasonEvent || code == kShiroTypeChange ||
           (code >= kSubroutineCall && code <= kDaimyouNonaggression);
}

int RunScriptHappening(const Happening& h) {
    GameState& gs = h.gs;
    switch (h.item.code) {
        case kDainyuu:
        case kAdd: {
            double value = 0.0;
            if (h.Evaluate(h.item.data2, value)) h.StoreVariable(value, h.item.code == kAdd);
            break;
        }
        case kSubroutineCall: return CallSubroutine(h);
        case kSeasonEvent: RunSeasonEvent(h); break;
        case kQuestionMulti:
        case kInputNumber: AskQuestion(h); break;
        case kChangeNormalBgm:
        case kChangeBattleBgm:
            (h.item.code == kChangeNormalBgm ? gs.ScenarioBgmNormal : gs.ScenarioBgmBattle) =
                gs.ScenarioFolder + h.item.data1;
            h.ports.view->StopMusic();
            h.ports.view->PlayMusic(0);  // the normal music; new battle music waits for the next battle
            break;
        case kChangeTitle:
            gs.ScenarioTitle = h.item.data1;
            h.ports.view->ShowScenarioTitle(gs.ScenarioTitle);
            break;
        case kSaveReadOnlyData: SaveViewOnly(h); break;
        case kChangeViewArea: ChangeViewArea(h); break;
        case kShiroInfoEnable: SetShiroInfo(h); break;
        case kHideRoot: HideRoute(h); break;
        case kShiroTypeChange: ChangeShiroType(h); break;
        case kDaimyouNonaggression: {
            double value = 0.0;
            if (!h.Evaluate(h.item.data1, value) || !IsValidDaimyou(gs, h.daimyou1)) break;
            CDaimyou& house = DaimyouAt(gs, h.daimyou1);
            house.kindByte = static_cast<std::uint8_t>(house.kindByte & ~kFlagNonaggression);
            if (value != 0.0) house.kindByte = static_cast<std::uint8_t>(house.kindByte | kFlagNonaggression);
            break;
        }
        default: break;
    }
    return -1;
}

}  // namespace happening
}  // namespace rymd
