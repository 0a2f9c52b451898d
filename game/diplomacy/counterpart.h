// The counterpart of the player's diplomacy: which house a diplomatic command may address, and
// what the player is told or asked about a house chosen for it.
//
// The commands choose a house in a mode: 0 non-aggression, 1 demand of subordination, 2 demand
// of vassalage, 3 change of master, 4 application for subordination, 5 application for
// vassalage, 6 exchange of captives, and any other value (-1) breaking a bond. A chosen house is
// refused with a text, or the player is asked whether to address its master instead (the master
// is then checked from the start), or the choice is confirmed with a text (and, for
// non-aggression, the cost the alliance will take from the player's funds).
//
// The houses the player has negotiated with in this diplomacy phase (GameState::GaikouDealt) are
// refused in every mode but the exchange of captives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rymd {

struct GameState;

inline constexpr int kKoushouFusen = 0;
inline constexpr int kKoushouJuuzokuYoukyuu = 1;
inline constexpr int kKoushouShinjuuYoukyuu = 2;
inline constexpr int kKoushouKuragae = 3;
inline constexpr int kKoushouJuuzokuShigan = 4;
inline constexpr int kKoushouShinjuuShigan = 5;
inline constexpr int kKoushouHoryoKoukan = 6;
inline constexpr int kKoushouHaki = -1;

// The caption and the prompt of the counterpart choice in a mode, in the scenario's words.
std::string KoushouAiteCaption(const GameState& gs, int mode);
std::string KoushouAitePrompt(const GameState& gs, int mode);

struct KoushouAiteCheck {
    enum Verdict {
        kRefuse,    // text: why the house cannot be addressed
        kAskShuka,  // text: a Yes/No question; Yes addresses house (the chosen house's master)
        kConfirm,   // text: the OK/Cancel confirmation; house is the one addressed
    };
    Verdict verdict = kRefuse;
    std::string text;
    int house = -1;
    std::int64_t cost = 0;  // non-aggression: what the alliance will cost the player
};

// Checks the house chosen for a command of the player's house in a mode.
KoushouAiteCheck CheckKoushouAite(const GameState& gs, int mode, int player, int chosen);

// The houses that own or besiege a castle of the province, in table order: those the player may
// choose after clicking the province.
std::vector<int> HousesInKuni(const GameState& gs, int kuni);

// The envoy of a proposal leaves from a castle whose owner is the player's house or one of its
// vassals; he is a general of that castle without an order this month (CBushou::kFlagOrdered),
// and once sent he carries that flag, so that he neither goes again nor sorties this month.
bool IsEnvoyShiro(const GameState& gs, int player, int shiro);
std::vector<int> EnvoyBushouOfShiro(const GameState& gs, int shiro);
void MarkEnvoySent(GameState& gs, int bushou);

// The cost of a non-aggression alliance with the house: a tenth of its own rice yield.
std::int64_t FusenDoumeiCost(const GameState& gs, int house);

}  // namespace rymd
