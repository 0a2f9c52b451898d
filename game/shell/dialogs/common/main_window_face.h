// What a dialog may use of the main window it opens over: the window itself (the owner of the
// dialog and where it is placed), the game, the ports through which the rules reach the player,
// the country map, the display timer that rests while a command's dialog is open, and the
// refreshes after a command. The main window implements it; the dialogs see the window through
// it alone.
#pragma once

#include "game/ports/ports.h"

namespace rymd {
struct GameState;
}
namespace rymd::ui {
class Wnd;
}

namespace rymd::shell {

class CKuniMapWnd;

class MainWindowFace {
public:
    // The window the dialogs open over.
    virtual ui::Wnd& Window() = 0;
    virtual GameState& State() = 0;
    virtual Ports GamePorts() = 0;
    virtual CKuniMapWnd& KuniMap() = 0;

    // The display timer: stopped while a command's dialog is open, armed again after it.
    virtual void StopDisplayTimer() = 0;
    virtual void StartTimer(int ms) = 0;

    // The refreshes after a command: the province information and the funds, the phase caption,
    // the house list, and the castle view (drawn anew; the caller asks first whether it is shown).
    virtual void UpdateKuniInfo() = 0;
    virtual void UpdatePhaseCaption() = 0;
    virtual void RefillDaimyouList() = 0;
    virtual bool CastleViewShown() const = 0;
    virtual void RefreshCastleView() = 0;

protected:
    ~MainWindowFace() = default;
};

}  // namespace rymd::shell
