// Popup menus made at run time.
//
// TrackPopupMenu shows the menu at a screen point and waits for the choice; the chosen item's
// command goes to the owner's OnCommand (or is returned with TPM_RETURNCMD). Greyed items cannot
// be chosen. Tests answer menus from a script (see test_seam.h).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/ui_types.h"

namespace rymd::ui {

class Wnd;

class Menu {
public:
    struct Item {
        unsigned flags = MF_STRING;  // MF_GRAYED, MF_CHECKED, MF_SEPARATOR, MF_POPUP
        int id = 0;
        std::string text;  // '&' marks the access key
        std::shared_ptr<Menu> popup;
    };

    bool CreatePopupMenu();
    void DestroyMenu();
    bool AppendMenu(unsigned flags, int id = 0, std::string_view text = {});
    bool AppendPopup(unsigned flags, std::shared_ptr<Menu> popup, std::string_view text);
    void EnableMenuItem(int id, bool enable);
    void CheckMenuItem(int id, bool check);
    int GetMenuItemCount() const { return static_cast<int>(items_.size()); }
    const std::vector<Item>& Items() const { return items_; }
    const Item* FindItem(int id) const;

    // Returns the chosen command (0 when none was chosen). Without TPM_RETURNCMD the command is
    // also sent to the owner.
    int TrackPopupMenu(unsigned flags, int x, int y, Wnd* owner);

private:
    std::vector<Item> items_;
    bool created_ = false;
};

// A top-level window's menu bar: one top item per entry, each opening its menu as it stands when
// opened; a chosen command goes to the window's OnCommand. The menu bar lies above the window's
// border, so the client area shrinks by its height. Called again, it replaces the items.
struct MenuBarItem {
    std::string text;  // '&' marks the access key
    std::shared_ptr<Menu> popup;
};
void SetMenuBar(Wnd& window, const std::vector<MenuBarItem>& items);
// The top items' texts of the window's menu bar (none without one).
std::vector<std::string> MenuBarTexts(Wnd& window);

}  // namespace rymd::ui
