// What every dialog of the game builds from: the style of its owner-drawn buttons, the OK and
// Cancel pair of gradation buttons, the setting of a control's text by id and the columns of a
// report list. A new dialog is its template, its model and its handlers; these pieces it takes
// from here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

// The style of an owner-drawn push button in a dialog template (a gradation button takes it
// over). The template adds WS_CHILD | WS_VISIBLE to every item.
inline constexpr std::uint32_t kDialogButton = ui::WS_TABSTOP | ui::BS_OWNERDRAW;

// The OK and Cancel buttons of a dialog as gradation buttons, bound to the template's IDOK and
// IDCANCEL.
struct OkCancelButtons {
    MbWnd::CGradationButton ok;
    MbWnd::CGradationButton cancel;

    void Bind(ui::DataExchange& dx) {
        ui::DDX_Control(dx, ui::IDOK, ok);
        ui::DDX_Control(dx, ui::IDCANCEL, cancel);
    }
};

// Sets the text of the dialog's control with the id (none: nothing).
inline void SetItemText(const ui::Wnd& dialog, int id, const std::string& text) {
    if (ui::Wnd* item = dialog.GetDlgItem(id)) item->SetWindowText(text);
}

// A column of a report list: its title (in the scenario's words where it has them), its width in
// pixels and its alignment.
struct ListColumn {
    std::string title;
    int width = 60;
    int format = ui::LVCFMT_LEFT;
};

// Appends the columns to the list's right, in order.
inline void InsertListColumns(ui::ListCtrl& list, const std::vector<ListColumn>& columns) {
    for (const ListColumn& c : columns)
        list.InsertColumn(list.GetColumnCount(), c.title, c.format, c.width);
}

}  // namespace rymd
