// The new game: from the tables a scenario filled to the running game's state.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;
struct Ports;

// Turns the scenario records into the running game: route simplification, houses, corps,
// castles, generals, relations, funds, strength history and the dated values. The three general
// table messages go to the player and do not stop the set-up.
void SetupNewGame(GameState& gs, MbKorMap::CCtrlKorMap& map, const Ports& ports);

// Appends the dummy last house and makes the player's choice: a house index, or -1 to watch
// (the dummy house becomes the player's). false, with the player told, when the house table is
// full; nothing changes then.
bool StartNewGame(GameState& gs, const Ports& ports, int playerDaimyou);

// The end of a game, before the start menu is shown again: no player or current house, the
// date back to the scenario's start, the phase 0. The tables stay until the next game
// replaces them.
void ResetForRestart(GameState& gs);

// A spectator who started watching takes a house (or goes on watching, house -1): the player's
// house becomes the chosen one (the dummy last house for watching), the spectator flag follows,
// and the house in turn is the player's. When the player's house changes, the corps of the house
// left behind are disbanded.
void ChangePlayerDaimyou(GameState& gs, int house);

// A new game without the start menu: the scenario file, the seed of the random source and the
// player's house (its scenario identifier or its index; empty to watch).
struct NewGameRequest {
    std::string scenarioPath;
    std::string programFolder;
    std::uint32_t seed = 0;
    std::string house;
};

// Result of StartGameFromScenario beyond the reader's codes.
constexpr int kNewGameNoSuchHouse = -1;
constexpr int kNewGameHouseRefused = -2;

// Reads the scenario, sets up the new game and makes the player's choice. 0 when the game
// stands ready for its first month; the reader's code when the scenario was not read; one of the
// codes above when the house cannot be chosen (the player is told why).
int StartGameFromScenario(GameState& gs, MbKorMap::CCtrlKorMap& map, const Ports& ports,
                          const NewGameRequest& request);

// Gives each castle-map icon picture of the castle types the colour of its bottom-left pixel
// as its transparent colour.
void SetShiroPictureTransparency(const GameState& gs, MbKorMap::CCtrlKorMap& map);

// Strength of every house for its history: 5 per castle it owns, and 1 more to the master of a
// vassal for each castle of the vassal. out holds one entry per house slot (1000).
void TallyDaimyouStrength(const GameState& gs, std::span<int> out);

// Musket values that depend on the date: per-province production, the two drifting rates and
// the purchase places take their start values once their start year has come.
void ApplyDatedValues(GameState& gs);

}  // namespace rymd
