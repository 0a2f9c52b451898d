// The general list of the armament dialogs (conscription and musket deployment): twelve columns
// (name, position, age, cavalry, foot soldiers, muskets, valour, politics, intellect, field and
// naval command, castle), their headers in the scenario's words, the row texts and the sort by a
// clicked column. Item data is the general's index.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/qt/list_ctrl.h"

namespace rymd {
struct GameState;
}

namespace rymd::shell {

inline constexpr int kBushouListColumns = 12;
inline constexpr int kBushouColCavalry = 3;
inline constexpr int kBushouColFoot = 4;
inline constexpr int kBushouColMuskets = 5;

// Full-row selection and the twelve columns.
void InsertBushouListColumns(ui::ListCtrl& list, const GameState& gs);
// The row texts of a general. The position is "当主" for the head of his house, "客将" for a
// guest general when guestWord is set, else two full-width spaces.
std::array<std::string, kBushouListColumns> BushouListTexts(const GameState& gs, int bushou, bool guestWord);
// Appends a row for the general; returns its item.
int AppendBushouRow(ui::ListCtrl& list, const GameState& gs, int bushou, bool guestWord);
// The item whose data is the general, -1 when none.
int FindBushouItem(const ui::ListCtrl& list, int bushou);
// Takes the selection off every item of the list (none: nothing).
void DeselectAll(ui::ListCtrl* list);
// The position of value in rows, -1 when it is not there.
int PositionOf(const std::vector<int>& rows, int value);
// Sorts the list by the clicked column (larger keys first, the game's general comparison).
void SortBushouList(ui::ListCtrl& list, const GameState& gs, int column);
// Soldier units as the lists show them: units x nHeiUnit.
std::string UnitsText(const GameState& gs, long long units);

}  // namespace rymd::shell
