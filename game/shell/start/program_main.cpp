// RyuumondenLV: the game program.
#include "game/shell/start/game_app.h"
#include "platform/qt/app.h"

int main(int argc, char** argv) {
    rymd::ui::EnsureApplication(argc, argv);
    rymd::shell::CGameApp app;
    return app.InitInstance();
}
