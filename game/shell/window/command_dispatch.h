// The commands of the phases: which of the twelve command buttons carries which command in each
// phase, the captions as the buttons and the command menu show them, and the checks that refuse a
// command with a message before its dialog opens.
//
// The dialogs that carry the commands out belong to the rules' screens (conscription, diplomacy,
// domestic affairs, moves and sorties). Each plugs into the window through RegisterCommandDialog;
// a command without a registered dialog stays disabled.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace rymd {
struct GameState;
}

namespace rymd::shell {

inline constexpr int kCommandCount = 12;
inline constexpr int kCommandPages = 7;  // phases 0..6

// Ids of CMD1..CMD12.
inline constexpr std::array<int, kCommandCount> kCommandIdTbl = {1175, 1060, 1064, 1061, 1176, 1062,
                                                                 1177, 1063, 1178, 1179, 1180, 1181};

// The stored caption of command i (0..11) of a page (phase 0..6); "" for no command.
const char* CommandCaption(int page, int i);
// The caption as the button shows it, re-worded by the scenario's vocabulary.
std::string CommandButtonCaption(int page, int i, const GameState& gs);
// The command index (0..11) of a button id, -1 for none.
int CommandIndexOfId(int id);

// What a command needs to know of the window besides the game.
struct CommandSituation {
    int selectedKuni = -1;  // the province last chosen on a map, -1 none
};

// The message that refuses command i of a phase before its dialog opens, in the order the checks
// run; "" when the command may go on. Questions (independence) are asked by the caller.
std::string RefuseCommand(const GameState& gs, int phase, int i, const CommandSituation& situation);

// The dialog of a command: runs it for the selected province and returns whether it ended with
// OK. Registered by the screens that carry the commands out.
using CommandDialog = std::function<bool(int phase, int i, const CommandSituation& situation)>;
void RegisterCommandDialog(int phase, int i, CommandDialog dialog);
void ClearCommandDialogs();
const CommandDialog* FindCommandDialog(int phase, int i);

// The whole command: refusal message (shown through inform), else the dialog. Returns true when
// a dialog ran. A command's own steps after its dialog (the conscription's cost in yield and
// populace, for one) run in the registered dialog.
bool RunCommand(GameState& gs, int phase, int i, const CommandSituation& situation,
                const std::function<void(const std::string&)>& inform);

}  // namespace rymd::shell
