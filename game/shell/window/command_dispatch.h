// The commands of the phases: which of the twelve command buttons carries which command in each
// phase, the captions as the buttons and the command menu show them, and the checks that refuse a
// command with a message before its dialog opens.
//
// The dialogs that carry the commands out belong to the rules' screens (conscription, diplomacy,
// domestic affairs, moves and sorties). Each registers in the command table
// (dialogs/common/command_table.h), which the window reads; a command without a registered dialog
// stays disabled.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "game/shell/dialogs/common/command_table.h"

namespace rymd {
struct GameState;
}

namespace rymd::shell {

// Ids of CMD1..CMD12.
inline constexpr std::array<int, kCommandCount> kCommandIdTbl = {1175, 1060, 1064, 1061, 1176, 1062,
                                                                 1177, 1063, 1178, 1179, 1180, 1181};

// The stored caption of command i (0..11) of a page (phase 0..6); "" for no command.
const char* CommandCaption(int page, int i);
// The caption as the button shows it, re-worded by the scenario's vocabulary.
std::string CommandButtonCaption(int page, int i, const GameState& gs);
// The command index (0..11) of a button id, -1 for none.
int CommandIndexOfId(int id);

// The message that refuses command i of a phase before its dialog opens, in the order the checks
// run; "" when the command may go on. Questions (independence) are asked by the caller.
std::string RefuseCommand(const GameState& gs, int phase, int i, const CommandSituation& situation);

// The whole command: refusal message (shown through inform), else the dialog. Returns true when
// a dialog ran. A command's own steps after its dialog (the conscription's cost in yield and
// populace, for one) run in the registered dialog.
bool RunCommand(GameState& gs, int phase, int i, const CommandSituation& situation,
                const std::function<void(const std::string&)>& inform);

}  // namespace rymd::shell
