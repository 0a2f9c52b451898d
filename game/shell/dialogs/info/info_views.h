// What the information views (castle information, general list, house information and list)
// share: the texts of a general's age and house, the commentaries, and the general lists' sorting
// by column.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

// The house a house stands with: its master when it is a vassal, else itself (-1 for no house).
int EffectiveHouse(const GameState& gs, int house);
// The house's name, "---" for no house.
std::string HouseNameText(const GameState& gs, int house);
// "%d%s" (this year minus the birth year, "?" when the year is a guess), "---" when hidden.
std::string BushouAgeText(const GameState& gs, int bushou);
// Whether the general's scenario record names a commentary text.
bool HasBushouKaisetsu(const GameState& gs, int bushou);
// Shows the general's commentary ("武将解説", his name as heading); nothing when he has none.
void ShowBushouKaisetsu(ui::Wnd* parent, const GameState& gs, int bushou);
// Shows a commentary text of the scenario with a caption and a heading; nothing for an index
// that names no text.
void ShowKaisetsu(ui::Wnd* parent, const GameState& gs, const std::string& caption,
                  const std::string& heading, int textIndex);
// Readies an empty list of generals: the small images before the names, full-row selection and
// the columns.
void PrepareBushouList(ui::ListCtrl& list, const std::vector<ListColumn>& columns);
// Appends a general's row: the cells (as many as the list has columns), the commentary mark
// (image 1, else 0) and the general as the item's data.
void AddBushouRow(const GameState& gs, ui::ListCtrl& list, int bushou, const std::vector<std::string>& cells);
// Selects and focuses the first row, when there is one.
void SelectFirstRow(ui::ListCtrl& list);
// Sorts a list whose items are general indexes by the general-list key of the clicked column
// (keys[column]; a column without a key does nothing). Key 14 reads the values the list gives
// for its generals (the captive lists' employability).
void SortBushouList(const GameState& gs, ui::ListCtrl& list, int column, std::span<const int> keys,
                    std::span<const std::int32_t> registered = {});

}  // namespace rymd
