#include "game/shell/dialogs/diplomacy/personnel_lists.h"

#include <algorithm>
#include <functional>

#include "game/diplomacy/horyo.h"
#include "game/shell/dialogs/info/info_views.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

constexpr const char* kStatusNames[] = {"通常", "捕虜", "人質", "客将"};

// The house a general came from: for a captive or hostage the house that gave him up.
int FormerHouse(const CBushou& b) {
    return b.status == CBushou::kStatusHoryo || b.status == CBushou::kStatusHitojichi ? b.originDaimyou
                                                                                      : b.daimyou;
}

std::string PersonnelCell(const GameState& gs, int bushou, const std::string& title) {
    const CBushou& b = BushouAt(gs, bushou);
    auto number = [](int v) { return FormatText("%d", v); };
    if (title == "名前") return b.name;
    if (title == "身分") return b.status < 4 ? kStatusNames[b.status] : "";
    if (title == "所属") return IsValidDaimyou(gs, FormerHouse(b)) ? DaimyouAt(gs, FormerHouse(b)).name : "";
    if (title == "地位")
        return IsValidDaimyou(gs, b.daimyou) && DaimyouAt(gs, b.daimyou).toushu == bushou ? "当主" : "";
    if (title == "年齢") return BushouAgeText(gs, bushou);
    if (title == "武勇") return number(b.buyuu);
    if (title == "政治") return number(b.seiji);
    if (title == "智謀") return number(b.chibou);
    if (title == "野戦統率") return number(b.yasenTousotsu);
    if (title == "水軍統率") return number(b.suigunTousotsu);
    if (title == "意向") return CanEmployHoryo(gs, bushou) ? "登用可" : "登用拒否";
    return "";
}

}  // namespace

std::vector<std::string> PersonnelCells(const GameState& gs, int bushou,
                                        const std::vector<ListColumn>& columns) {
    std::vector<std::string> cells;
    if (!IsValidBushou(gs, bushou)) return cells;
    for (const ListColumn& c : columns)
        cells.push_back(PersonnelCell(gs, bushou, c.title));
    return cells;
}

void FillPersonnelList(const GameState& gs, ui::ListCtrl& list, const std::vector<ListColumn>& columns,
                       const std::vector<int>& bushou) {
    for (int g : bushou)
        AddBushouRow(gs, list, g, PersonnelCells(gs, g, columns));
}

std::vector<int> SelectedBushou(const ui::ListCtrl& list) {
    std::vector<int> out;
    for (int item = list.GetNextItem(-1, ui::LVNI_SELECTED); item >= 0;
         item = list.GetNextItem(item, ui::LVNI_SELECTED))
        out.push_back(static_cast<int>(list.GetItemData(item)));
    return out;
}

void RemoveBushouRows(ui::ListCtrl& list, const std::vector<int>& bushou) {
    std::vector<int> positions;
    for (int item = 0; item < list.GetItemCount(); ++item)
        if (std::find(bushou.begin(), bushou.end(), static_cast<int>(list.GetItemData(item))) != bushou.end())
            positions.push_back(item);
    std::sort(positions.begin(), positions.end(), std::greater<>());
    for (int item : positions)
        list.DeleteItem(item);
}

void ShowMessages(const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
        MbMsgBox(text.c_str());
}

}  // namespace rymd
