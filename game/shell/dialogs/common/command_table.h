// The table of the phase commands' dialogs. Each room of dialogs registers the dialogs of its
// commands here (its *_commands.cpp); the main window reads the table to enable its buttons and
// menu items and to run a command. A command without a registered dialog stays disabled.
#pragma once

#include <functional>

namespace rymd::shell {

inline constexpr int kCommandCount = 12;
inline constexpr int kCommandPages = 7;  // phases 0..6

// What a command needs to know of the window besides the game.
struct CommandSituation {
    int selectedKuni = -1;  // the province last chosen on a map, -1 none
};

// The dialog of a command: runs it for the selected province and returns whether it ended with
// OK. Registered by the screens that carry the commands out.
using CommandDialog = std::function<bool(int phase, int i, const CommandSituation& situation)>;
void RegisterCommandDialog(int phase, int i, CommandDialog dialog);
void ClearCommandDialogs();
const CommandDialog* FindCommandDialog(int phase, int i);

}  // namespace rymd::shell
