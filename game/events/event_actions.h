// The happenings of the conditional events, as the three files that carry them out share them:
// event_actions.cpp (the argument resolution and the happenings on houses, relations,
// generals and castle ownership), event_actions_castle.cpp (castle and troop values) and
// event_actions_script.cpp (variables, subroutines, questions, music, map and save).
//
// Every happening first resolves its operands: a house, castle or general given as VARIABLE
// (-1) is read from the script variable of its slot (Daimyou1, Daimyou2, Shiro1, Shiro2,
// Bushou1, Bushou2) as value - 1, truncated toward zero, and must name a scenario house (1 to
// the number the scenario defines; the spectator's dummy house is outside), a castle or a
// general table index; a bad value is told to the scenario author and the happening does
// nothing. A general given literally is a general id (the scenario's number), looked up in
// the general table. Indexes given literally are used as stored; a happening whose operand
// names no record does nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/events/event_run.h"
#include "game/state/event_records.h"

namespace rymd {

struct GameState;
struct Ports;

namespace happening {

// Happening codes by the rows of kHappeningTable.
enum Code : int {
    kDainyuu = 0,
    kAdd = 1,
    kBushouKaimei = 2,
    kShiroKaimei = 3,
    kDaimyouKaimei = 4,
    kDokuritsu = 5,
    kSankaDokuritsu = 6,
    kBushouDead = 7,
    kBushouAppear = 8,
    kShukuteki = 9,
    kKyouseiShukuteki = 10,
    kNotShukuteki = 11,
    kShukutekiAll = 12,
    kNotShukutekiAll = 13,
    kFusenDoumei = 14,
    kJuuzoku = 15,
    kShinjuu = 16,
    kHeidon = 17,
    kHeidon2 = 18,
    kBushouAshigaruPlus = 19,
    kBushouKibaPlus = 20,
    kBushouTeppouPlus = 21,
    kDaimyouAshigaruPlus = 22,
    kDaimyouKibaPlus = 23,
    kDaimyouTeppouPlus = 24,
    kBushouParamCopy = 25,
    kShiroMaxLevel = 26,
    kShiroMaxKokudaka = 27,
    kShiroMaxKeizai = 28,
    kShiroMaxKouzan = 29,
    kShiroLevelPlus = 30,
    kShiroKokudakaPlus = 31,
    kShiroKeizaiPlus = 32,
    kShiroKouzanPlus = 33,
    kShiroMinshuuPlus = 34,
    kShiroShubiheiPlus = 35,
    kShiroHyourouPlus = 36,
    kShiroKouekisenPlus = 37,
    kDaimyouShiroLevelPlus = 38,
    kDaimyouKokudakaPlus = 39,
    kDaimyouKeizaiPlus = 40,
    kDaimyouKouzanPlus = 41,
    kDaimyouMinshuuPlus = 42,
    kDaimyouShubiheiPlus = 43,
    kDaimyouHyourouPlus = 44,
    kDaimyouKouekisenPlus = 45,
    kKoudouTypeNormal = 46,
    kKoudouTypeStatic = 47,
    kKoudouTypeNoAttack = 48,
    kBushouShozokuChange = 49,
    kShiroShozokuChange = 50,
    kSeasonEvent = 51,
    kShiroTypeChange = 52,
    kTettai1 = 53,
    kTettai2 = 54,
    kTettai3 = 55,
    kBushouSouzokuDaimyou = 56,
    kBushouInitShiro = 57,
    kBushouKeishou = 58,
    kToushuChange = 59,
    kDaimyouShikin = 60,
    kBushouMove = 61,
    kGameEnd = 62,
    kGameEnd2 = 63,
    kSubroutineCall = 64,
    kSaveReadOnlyData = 65,
    kQuestionMulti = 66,
    kInputNumber = 67,
    kChangeNormalBgm = 68,
    kChangeBattleBgm = 69,
    kChangeViewArea = 70,
    kShiroInfoEnable = 71,
    kChangeTitle = 72,
    kHideRoot = 73,
    kDaimyouNonaggression = 74,
};

// One happening being carried out: the item with its resolved operands.
struct Happening {
    EventRun& run;
    GameState& gs;
    const Ports& ports;
    int eventIndex;
    EventItem item;     // a copy: the happening may not outlive a change of the event array
    int daimyou1 = -1;  // house indexes
    int daimyou2 = -1;
    int shiro1 = -1;  // castle indexes
    int shiro2 = -1;
    int bushou1 = -1;  // general table indexes; -1 when no general of the table is meant
    int bushou2 = -1;

    // Tells the scenario author about this event: "条件イベント(No.%d : %s)で、" and the detail.
    void Tell(std::string_view detail) const;
    // Evaluates a formula of the item; a failure is reported (naming the formula) and gives false.
    bool Evaluate(const std::string& formula, double& value) const;
    // Assigns (or adds) the value to the variable named by data 1; a refused name is told.
    void StoreVariable(double value, bool add) const;
};

// The value truncated toward zero, kept inside the range of int (NaN gives 0).
int TruncToInt(double value);
// The value inside lo..hi (lo wins when hi < lo).
std::int64_t Bounded(std::int64_t value, std::int64_t lo, std::int64_t hi);

// Codes 19-45: troop, castle and castle-maximum values.
bool IsCastleValueHappening(int code);
void RunCastleValueHappening(const Happening& h);

// Codes 0, 1, 51, 52 and 64-74: variables, subroutines, questions, presentation and map.
// Returns the subroutine event to run now, else -1.
bool IsScriptHappening(int code);
int RunScriptHappening(const Happening& h);

}  // namespace happening
}  // namespace rymd
