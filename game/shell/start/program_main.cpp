// RyuumondenLV: the game program.
#include "game/shell/start/game_app.h"
#include "platform/qt/app.h"

int main(int argc, char** argv) {
    rymd::ui::StartWindowApplication(
        argc, argv,
        "RyuumondenLV: 龍門記 needs a display to open its window, and none could be opened (neither\n"
        "DISPLAY nor WAYLAND_DISPLAY names one that answers). Without a display, play with rymdcli,\n"
        "beside this program: rymdcli run SCENARIO --months N --house ID --summary - (rymdcli --help).\n",
        rymd::shell::kExitNoDisplay);
    rymd::shell::CGameApp app;
    return app.InitInstance();
}
