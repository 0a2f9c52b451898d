// What the personnel dialogs' general lists share: the rows of captives, hostages and the
// surrendered generals (their former house, their age, their abilities), the selected generals
// and the removal of handled rows from the highest position down.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

// The styles of the personnel dialogs' labels and lists: one row at a time, or several with
// Ctrl or Shift.
inline constexpr std::uint32_t kPersonnelLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
inline constexpr std::uint32_t kPersonnelOneRowList =
    ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS;
inline constexpr std::uint32_t kPersonnelMultiList = ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SHOWSELALWAYS;

// The cells of a general's row for the columns named by the titles: "名前", "身分", "所属" (the
// house he came from), "地位" ("当主" for the head of a house), "年齢", "武勇", "政治", "智謀",
// "野戦統率", "水軍統率", "意向" ("登用可" or "登用拒否"). A title not named here gives "".
std::vector<std::string> PersonnelCells(const GameState& gs, int bushou,
                                        const std::vector<ListColumn>& columns);
// Fills the list (readied with the columns) with one row per general, in order.
void FillPersonnelList(const GameState& gs, ui::ListCtrl& list, const std::vector<ListColumn>& columns,
                       const std::vector<int>& bushou);
// The generals of the selected rows, top to bottom.
std::vector<int> SelectedBushou(const ui::ListCtrl& list);
// Removes the rows of the generals, from the highest position down.
void RemoveBushouRows(ui::ListCtrl& list, const std::vector<int>& bushou);
// Shows each text in the window's message box, one after another.
void ShowMessages(const std::vector<std::string>& texts);

}  // namespace rymd
