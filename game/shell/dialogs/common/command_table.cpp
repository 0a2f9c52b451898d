#include "game/shell/dialogs/common/command_table.h"

#include <map>

namespace rymd::shell {

namespace {

std::map<int, CommandDialog>& Dialogs() {
    static std::map<int, CommandDialog> dialogs;
    return dialogs;
}

}  // namespace

void RegisterCommandDialog(int phase, int i, CommandDialog dialog) {
    Dialogs()[phase * kCommandCount + i] = std::move(dialog);
}

void ClearCommandDialogs() {
    Dialogs().clear();
}

const CommandDialog* FindCommandDialog(int phase, int i) {
    const auto it = Dialogs().find(phase * kCommandCount + i);
    return it == Dialogs().end() ? nullptr : &it->second;
}

}  // namespace rymd::shell
