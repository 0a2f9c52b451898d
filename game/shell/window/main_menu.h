// The menu bar of the main game window (menu 170) as menus: the file menu, the command menu of the
// phase, the province menu by region, the castle menu of the shown province, the information,
// settings and help menus. Items past the ninth take letters as access keys, A to Z; from the 36th
// on an item has none.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "platform/qt/menu.h"

namespace rymd {
struct GameState;
}
namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd::shell {

// Command ids of the menu bar.
inline constexpr int kIdFileLoad = 32771;
inline constexpr int kIdFileSave = 32772;
inline constexpr int kIdViewOnlySave = 32784;
inline constexpr int kIdExit = 32773;
inline constexpr int kIdPhaseEnd = 1008;
inline constexpr int kIdDelegateToCpu = 1375;
inline constexpr int kIdZenkoku = 1014;
inline constexpr int kIdKuniBase = 3000;
inline constexpr int kIdShiroBase = 4000;
inline constexpr int kIdKouekisenList = 32777;
inline constexpr int kIdBushouList = 32778;
inline constexpr int kIdDaimyouList = 32774;
inline constexpr int kIdScenarioInfo = 32779;
inline constexpr int kIdVariables = 32785;
inline constexpr int kIdMusic = 32780;
inline constexpr int kIdHelp = 32775;
inline constexpr int kIdVersion = 32776;

// "name(&1)".."name(&9)" for n = 0..8, "name(&A)".."name(&Z)" for n = 9..34, "name" from 35 on.
std::string MnemonicText(std::string_view name, int n);

// The game the menus show.
struct MenuGame {
    const GameState* gs = nullptr;
    const MbKorMap::CCtrlKorMap* map = nullptr;
};

class CMainMenu {
public:
    static constexpr int kMaxRegions = 50;
    enum Top { kFile, kCommand, kKuni, kShiro, kInfo, kSettings, kHelp, kTopCount };

    CMainMenu();

    // The top items with their texts and popups.
    const std::string& TopText(int top) const { return texts_[static_cast<std::size_t>(top)]; }
    ui::Menu& Popup(int top) { return *popups_[static_cast<std::size_t>(top)]; }
    const ui::Menu& Popup(int top) const { return *popups_[static_cast<std::size_t>(top)]; }
    std::shared_ptr<ui::Menu> PopupPtr(int top) const { return popups_[static_cast<std::size_t>(top)]; }

    // Re-words the castle menu's title and the list entries of the information menu.
    void RenameItems(const GameState& gs);
    // One popup per region of the map with its provinces (greyed without castles), then the
    // province menu: the whole-country entry, a separator and the regions.
    void BuildKuniMenu(const MenuGame& game);
    // The castles of province kuni that are in play; empty for -1.
    void UpdateKuniMenu(const MenuGame& game, int kuni);
    // The command menu of a phase page for the player, a spectator or view-only data.
    void BuildCommandMenu(const GameState& gs, int page);

    int RegionCount() const { return nRegions_; }

private:
    std::array<std::string, kTopCount> texts_;
    std::array<std::shared_ptr<ui::Menu>, kTopCount> popups_;
    std::array<std::shared_ptr<ui::Menu>, kMaxRegions> regions_;
    int nRegions_ = 0;
};

}  // namespace rymd::shell
