// The game program: the start-up and the shut-down around the main game window.
#pragma once

#include "game/shell/app/app_context.h"

namespace rymd::shell {

class CGameApp {
public:
    // The whole start-up, the main window's run and the shut-down. Returns the process exit code.
    int InitInstance();
};

}  // namespace rymd::shell
