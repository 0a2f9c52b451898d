// The dialogs' help: F1 in a dialog that offers help opens the program's help at its top page,
// whatever control has the focus (the help pages beside the program, see app/help.h; a missing
// page or a desktop without an HTML viewer is told in a message with the page's path).
//
// A dialog opts in with one line in its class declaration:
//
//     bool OnHelpInfo() override { return OpenDialogHelp(); }
//
// The help goes through the help port: the program's port opens the top page; a test installs
// its own to see which dialogs asked for help.
#pragma once

#include "game/shell/app/help.h"

namespace rymd {

class HelpPort {
public:
    virtual ~HelpPort() = default;
    // Opens the help at its top page; returns whether the request was handled.
    virtual bool OpenHelp() = 0;
};

namespace detail {
inline HelpPort*& InstalledHelpPort() {
    static HelpPort* port = nullptr;
    return port;
}
}  // namespace detail

// Installs the help port (null: the program's own); returns the one installed before.
inline HelpPort* SetHelpPort(HelpPort* port) {
    HelpPort* before = detail::InstalledHelpPort();
    detail::InstalledHelpPort() = port;
    return before;
}

// The shared help handler: the help at its top page through the help port. Always handled.
inline bool OpenDialogHelp() {
    if (HelpPort* port = detail::InstalledHelpPort()) {
        port->OpenHelp();
        return true;
    }
    return shell::OnHelpRequest();
}

}  // namespace rymd
