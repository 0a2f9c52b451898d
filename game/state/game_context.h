// What the rules of a month work on: the game state, the shared province map and the ports to
// the player. The main game hands one to each of its planners and phase controllers.
#pragma once

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;
struct Ports;

struct GameContext {
    GameState& gs;
    MbKorMap::CCtrlKorMap& map;
    const Ports& ports;
};

}  // namespace rymd
