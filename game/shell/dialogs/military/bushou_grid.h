// What the dialogs that choose generals for a sortie or a move share: the placing over the main
// window, the general grid's nine columns (name, cavalry, foot and muskets in soldiers, valour,
// politics, intellect, field and naval command) and rows, and the sorting by a column.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/sort_list.h"
#include "game/state/vocabulary.h"
#include "mbwnd/cell_ctrl.h"
#include "platform/qt/app.h"
#include "platform/qt/dialog.h"

namespace rymd::shell {

// Centred on the main window (null: where it opens), then moved onto the screen.
inline void CentreOnMainWindow(ui::Wnd& dlg, const ui::Wnd* owner) {
    if (!owner) return;
    const ui::Rect over = owner->GetWindowRect();
    ui::Rect mine = dlg.GetWindowRect();
    mine.OffsetRect(over.left + (over.Width() - mine.Width()) / 2 - mine.left,
                    over.top + (over.Height() - mine.Height()) / 2 - mine.top);
    dlg.MoveWindow(ui::MoveOntoScreen(mine), false);
}

// The grid's columns, titles in the scenario's words; several rows are chosen by dragging.
inline void SetBushouGridColumns(MbWnd::CCellCtrl& grid, const ScenarioWordArray& w) {
    constexpr int kText = 2 | MbWnd::CCellCtrl::kReadOnly;
    constexpr int kNumber = MbWnd::CCellCtrl::kRightAlign | MbWnd::CCellCtrl::kReadOnly;
    grid.SetSeparater(0);
    grid.SetStyle(0x85);
    grid.SetColumn(0, kText, 100, "名前");
    grid.SetColumn(1, kNumber, 50, ReplaceWordKibahei("騎馬兵", w).c_str());
    grid.SetColumn(2, kNumber, 50, ReplaceWordAshigaruhei("足軽兵", w).c_str());
    grid.SetColumn(3, kNumber, 50, ReplaceWordTeppou("鉄砲", w).c_str());
    const char* abilities[] = {"武勇", "政治", "智謀", "野戦統率", "水軍統率"};
    for (int c = 0; c < 5; ++c)
        grid.SetColumn(c + 4, kNumber, c < 3 ? 40 : 60, abilities[c]);
}

// One row: its name, then the eight numbers of the columns; its data is the item.
inline void SetBushouGridRow(MbWnd::CCellCtrl& grid, int line, int item, const char* name,
                             const int (&values)[8]) {
    grid.SetLineData(line, item);
    grid.SetLineItem(line, 0, name);
    for (int c = 0; c < 8; ++c)
        grid.SetLineItem(line, c + 1, static_cast<double>(values[c]));
}

// A general's row: troops in soldiers, abilities as they are.
inline void SetBushouGridRow(MbWnd::CCellCtrl& grid, int line, const GameState& gs, int bushou) {
    const CBushou& b = BushouAt(gs, bushou);
    const int unit = gs.nHeiUnit;
    const int values[8] = {b.cavalry * unit, b.foot * unit, b.muskets * unit, b.buyuu,
                           b.seiji,          b.chibou,      b.yasenTousotsu,  b.suigunTousotsu};
    SetBushouGridRow(grid, line, bushou, b.name.c_str(), values);
}

inline int CompareBushouGridRows(std::intptr_t a, std::intptr_t b, std::intptr_t key, void* gs) {
    return CompareBushouListItem(*static_cast<const GameState*>(gs), static_cast<int>(a), static_cast<int>(b),
                                 static_cast<int>(key));
}

// Sorts the rows by the column clicked (larger values first); a column outside the grid does
// nothing.
inline void SortBushouGrid(MbWnd::CCellCtrl& grid, const GameState& gs, int column) {
    // The general list's comparison key of each grid column.
    constexpr int kSortKey[] = {0, 3, 4, 5, 6, 7, 8, 11, 12};
    if (column < 0 || column >= static_cast<int>(std::size(kSortKey))) return;
    grid.SortItemsEx(CompareBushouGridRows, static_cast<std::uint32_t>(kSortKey[column]),
                     const_cast<GameState*>(&gs));
    grid.Invalidate(false);
}

}  // namespace rymd::shell
