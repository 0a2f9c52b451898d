// The four corps commands of the armament phase: formation (179), orders (180), territory (181)
// and assets (183). None needs a province; each refreshes the phase caption after its dialog,
// whatever the dialog ended with, since the corps' funds count in what the caption shows.
#include "game/shell/dialogs/common/command_table.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/corps/gundan_hensei_dlg.h"
#include "game/shell/dialogs/corps/gundan_ryouchi_dlgs.h"
#include "game/shell/dialogs/corps/gundan_shiji_dlg.h"
#include "game/shell/dialogs/corps/gundan_shisan_dlg.h"

namespace rymd::shell {

namespace {

constexpr int kArmamentPhase = 2;
constexpr int kHenseiCommand = 4;
constexpr int kShijiCommand = 5;
constexpr int kRyouchiCommand = 6;
constexpr int kShisanCommand = 7;

template <class Dlg>
void RegisterGundanDialog(MainWindowFace& main, MbKorMap::CCtrlKorMap* map, int command) {
    RegisterCommandDialog(kArmamentPhase, command, [&main, map](int, int, const CommandSituation&) {
        Dlg dlg(main.State(), map, &main.Window());
        const bool ok = dlg.DoModal() == ui::IDOK;
        main.UpdatePhaseCaption();
        return ok;
    });
}

}  // namespace

void RegisterGundanCommands(MainWindowFace& main, MbKorMap::CCtrlKorMap* map) {
    RegisterGundanDialog<CGundanHenseiDlg>(main, map, kHenseiCommand);
    RegisterGundanDialog<CGundanShijiDlg>(main, map, kShijiCommand);
    RegisterGundanDialog<CGundanRyouchiDlg>(main, map, kRyouchiCommand);
    RegisterGundanDialog<CGundanShisanDlg>(main, map, kShisanCommand);
}

}  // namespace rymd::shell
