#include "platform/qt/menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "platform/qt/app.h"
#include "platform/qt/test_seam.h"
#include "platform/qt/wnd.h"
#include "platform/qt/wnd_host.h"

namespace rymd::ui {

bool Menu::CreatePopupMenu() {
    items_.clear();
    created_ = true;
    return true;
}

void Menu::DestroyMenu() {
    items_.clear();
    created_ = false;
}

bool Menu::AppendMenu(unsigned flags, int id, std::string_view text) {
    Item item;
    item.flags = flags;
    item.id = (flags & MF_SEPARATOR) ? 0 : id;
    item.text = std::string(text);
    items_.push_back(std::move(item));
    return true;
}

bool Menu::AppendPopup(unsigned flags, std::shared_ptr<Menu> popup, std::string_view text) {
    if (!popup) return false;
    Item item;
    item.flags = flags | MF_POPUP;
    item.text = std::string(text);
    item.popup = std::move(popup);
    items_.push_back(std::move(item));
    return true;
}

void Menu::EnableMenuItem(int id, bool enable) {
    for (Item& i : items_) {
        if (i.id == id && !(i.flags & (MF_SEPARATOR | MF_POPUP))) {
            if (enable)
                i.flags &= ~(MF_GRAYED | MF_DISABLED);
            else
                i.flags |= MF_GRAYED;
        }
    }
}

void Menu::CheckMenuItem(int id, bool check) {
    for (Item& i : items_) {
        if (i.id == id) {
            if (check)
                i.flags |= MF_CHECKED;
            else
                i.flags &= ~MF_CHECKED;
        }
    }
}

const Menu::Item* Menu::FindItem(int id) const {
    for (const Item& i : items_) {
        if (!(i.flags & (MF_SEPARATOR | MF_POPUP)) && i.id == id) return &i;
        if (i.popup)
            if (const Item* sub = i.popup->FindItem(id)) return sub;
    }
    return nullptr;
}

// The Qt menu of a menu: each command's action carries its id. onHover, when given, hears the
// highlighted item of every submenu (the caller connects the menu itself). A menu without items
// gets one blank, greyed line: an empty popup has no size, the display never shows it, and the
// menu bar would wait for it to close for the rest of the run.
void FillQtMenu(QMenu& m, const Menu& src, const std::function<void(QAction*)>& onHover = {}) {
    if (src.Items().empty()) {
        m.addAction(QString())->setEnabled(false);
        return;
    }
    for (const Menu::Item& i : src.Items()) {
        if (i.flags & MF_SEPARATOR) {
            m.addSeparator();
            continue;
        }
        QString text = QString::fromStdString(i.text);
        if (i.popup) {
            QMenu* sub = m.addMenu(text);
            if (onHover) QObject::connect(sub, &QMenu::hovered, sub, onHover);
            FillQtMenu(*sub, *i.popup, onHover);
            sub->setEnabled(!(i.flags & (MF_GRAYED | MF_DISABLED)));
            continue;
        }
        QAction* a = m.addAction(text);
        a->setData(i.id);
        a->setEnabled(!(i.flags & (MF_GRAYED | MF_DISABLED)));
        if (i.flags & MF_CHECKED) {
            a->setCheckable(true);
            a->setChecked(true);
        }
    }
}

void SetMenuBar(Wnd& window, const std::vector<MenuBarItem>& items) {
    auto* host = dynamic_cast<WndHost*>(window.GetWidget());
    if (!host) return;
    if (!host->menuBar) host->menuBar = new QMenuBar(host);
    QMenuBar* bar = host->menuBar;
    bar->clear();
    for (const MenuBarItem& item : items) {
        QMenu* menu = bar->addMenu(QString::fromStdString(item.text));
        std::shared_ptr<Menu> source = item.popup;
        Wnd* target = &window;
        // The highlighted item goes to the window as it moves, and 0 when the menu closes. A
        // submenu's item is heard by its own menu and by the menus above it: the window may hear
        // the same item twice.
        const auto hover = [target](QAction* a) {
            if (IsLiveWnd(target)) target->OnMenuSelect(a ? a->data().toUInt() : 0u);
        };
        QObject::connect(menu, &QMenu::hovered, menu, hover);
        QObject::connect(menu, &QMenu::aboutToHide, menu, [target] {
            if (IsLiveWnd(target)) target->OnMenuSelect(0);
        });
        // Filled as it opens, so the menu shows the items as they stand then. The submenus of the
        // last opening go with their items.
        QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, source, hover] {
            const QList<QMenu*> old = menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
            menu->clear();
            qDeleteAll(old);
            if (source) FillQtMenu(*menu, *source, hover);
        });
        QObject::connect(menu, &QMenu::triggered, menu, [target](QAction* a) {
            const int id = a->data().toInt();
            if (id != 0 && IsLiveWnd(target)) Wnd::SendCommand(target, id, 0, nullptr);
        });
    }
    bar->show();
    host->Relayout();
    host->update();
}

std::vector<std::string> MenuBarTexts(Wnd& window) {
    std::vector<std::string> texts;
    auto* host = dynamic_cast<WndHost*>(window.GetWidget());
    if (!host || !host->menuBar) return texts;
    for (QAction* a : host->menuBar->actions())
        texts.push_back(a->text().toStdString());
    return texts;
}

int Menu::TrackPopupMenu(unsigned flags, int x, int y, Wnd* owner) {
    int command = 0;
    if (test::Script* script = test::Script::Active()) {
        command = script->RunMenu(*this);
        const Item* item = command ? FindItem(command) : nullptr;
        if (command && (!item || (item->flags & (MF_GRAYED | MF_DISABLED)))) {
            script->Error("menu command " + std::to_string(command) + " is not an item that can be chosen");
            command = 0;
        }
    } else {
        EnsureApplication();
        QMenu menu(owner ? owner->GetWidget() : nullptr);
        FillQtMenu(menu, *this);
        QAction* chosen = menu.exec(QPoint(x, y));
        if (chosen) command = chosen->data().toInt();
    }
    if (command && !(flags & TPM_RETURNCMD) && owner) Wnd::SendCommand(owner, command, 0, nullptr);
    return command;
}

}  // namespace rymd::ui
