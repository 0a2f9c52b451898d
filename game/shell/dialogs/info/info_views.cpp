#include "game/shell/dialogs/info/info_views.h"

#include <algorithm>

#include "game/shell/dialogs/common/small_images.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd {

int EffectiveHouse(const GameState& gs, int house) {
    if (!IsValidDaimyou(gs, house)) return -1;
    const CDaimyou& d = DaimyouAt(gs, house);
    return d.bond == CDaimyou::kBondShinjuu ? d.masterDaimyou : house;
}

std::string HouseNameText(const GameState& gs, int house) {
    return IsValidDaimyou(gs, house) ? DaimyouAt(gs, house).name : std::string("---");
}

std::string BushouAgeText(const GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return {};
    const CBushou& b = BushouAt(gs, bushou);
    if (b.flags & CBushou::kFlagDeathType2) return "---";
    return FormatText("%d%s", gs.nCurYear - b.birthYear, (b.flags & CBushou::kFlagDeathType1) ? "?" : "");
}

bool HasBushouKaisetsu(const GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return false;
    const int id = BushouAt(gs, bushou).id;
    if (id < 0 || id >= gs.nBushouEx) return false;
    const std::uint16_t text = gs.BushouExTbl[static_cast<std::size_t>(id)].textIndex;
    return text != 0xFFFF && text < gs.ScenarioTextPool.size();
}

void ShowKaisetsu(ui::Wnd* parent, const GameState& gs, const std::string& caption,
                  const std::string& heading, int textIndex) {
    if (textIndex < 0 || textIndex >= static_cast<int>(gs.ScenarioTextPool.size())) return;
    CEventMsgDlg dlg(parent);
    dlg.m_strCaption = caption;
    dlg.m_strTitle = heading;
    dlg.m_strText = gs.ScenarioTextPool[static_cast<std::size_t>(textIndex)];
    dlg.DoModal();
}

void ShowBushouKaisetsu(ui::Wnd* parent, const GameState& gs, int bushou) {
    if (!HasBushouKaisetsu(gs, bushou)) return;
    const CBushou& b = BushouAt(gs, bushou);
    ShowKaisetsu(parent, gs, ReplaceWordBushou("武将解説", gs.ScenarioWords), b.name,
                 gs.BushouExTbl[static_cast<std::size_t>(b.id)].textIndex);
}

void PrepareBushouList(ui::ListCtrl& list, const std::vector<ListColumn>& columns) {
    list.SetImageList(&SharedSmallImageList(), ui::LVSIL_SMALL);
    list.SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
    InsertListColumns(list, columns);
}

void AddBushouRow(const GameState& gs, ui::ListCtrl& list, int bushou,
                  const std::vector<std::string>& cells) {
    if (cells.empty()) return;
    const int item = list.InsertItem(list.GetItemCount(), cells[0], HasBushouKaisetsu(gs, bushou) ? 1 : 0);
    const int columns = std::min(static_cast<int>(cells.size()), list.GetColumnCount());
    for (int c = 1; c < columns; ++c)
        list.SetItemText(item, c, cells[static_cast<std::size_t>(c)]);
    list.SetItemData(item, bushou);
}

void SelectFirstRow(ui::ListCtrl& list) {
    if (list.GetItemCount() > 0)
        list.SetItemState(0, ui::LVIS_SELECTED | ui::LVIS_FOCUSED, ui::LVIS_SELECTED | ui::LVIS_FOCUSED);
}

void SortBushouList(const GameState& gs, ui::ListCtrl& list, int column, std::span<const int> keys,
                    std::span<const std::int32_t> registered) {
    if (column < 0 || column >= static_cast<int>(keys.size())) return;
    struct Sort {
        const GameState* gs;
        int key;
        BushouListValues registered;
    } sort{&gs, keys[static_cast<std::size_t>(column)], registered};
    list.SortItems(
        [](std::intptr_t a, std::intptr_t b, std::intptr_t p) {
            const Sort& s = *reinterpret_cast<const Sort*>(p);
            return CompareBushouListItem(*s.gs, static_cast<int>(a), static_cast<int>(b), s.key,
                                         s.registered);
        },
        reinterpret_cast<std::intptr_t>(&sort));
}

}  // namespace rymd
