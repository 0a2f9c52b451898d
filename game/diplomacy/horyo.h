// Captives (捕虜) and the generals who surrendered after a battle.
//
// A general taken in battle becomes a captive of the winning house: status 1, house -3 (he
// serves nobody and still counts for his former house), the captor in his holding house and
// his own house in his former house. His attachment to the former house starts from his
// disposition and wears off by one each month; he may be employed once it is 0, or at once
// when his former house has no castle left. A captured head keeps 127 and leaves his house
// without a head (-2).
//
// Messages go through the suppression policy: the capture and employment messages count as
// the war phase's captive messages, the release messages as the personnel messages; neither
// is shown while the game advances by itself.
#pragma once

#include <span>
#include <vector>

#include "game/military/battle_runners.h"

namespace rymd {

struct GameState;
struct Ports;

// The general becomes a captive of the captor house; his troops are lost. The player is told
// when the general's former house counts for the player's house.
void TakeHoryo(GameState& gs, const Ports& ports, int captor, int bushou);

// Whether the captive may be employed: always when his former house holds no castle, else only
// while his attachment is 0. False for anyone who is not a captive.
bool CanEmployHoryo(const GameState& gs, int bushou);

// The captive becomes a retainer of his captor, placed at the castle of the captor's head (his
// own castle when the captor has no head) or the nearest castle of the captor's side. False,
// changing nothing, when he may not be employed or no castle takes him.
bool EmployHoryo(GameState& gs, const Ports& ports, int bushou);

// The captive is freed and goes back to his former house; byTreaty when the release comes from
// a treaty between the two houses. When no castle of his house takes him he becomes masterless
// (house -2) with up to five refuge houses: the houses bound to his former house, largest rice
// yield first.
void ReleaseHoryo(GameState& gs, const Ports& ports, int bushou, bool byTreaty);

// The generals who surrendered to the player's house after a battle: the player decides, for
// every one of them, to employ, release, execute or keep him as a captive. The front's dialog
// works on this model; the automatic answer keeps them all as captives.
class KoufukuBushouSession {
public:
    KoufukuBushouSession(GameState& gs, const Ports& ports, std::span<const int> captives)
        : gs_(gs), ports_(ports), remaining_(captives.begin(), captives.end()) {}

    // The generals still waiting for a decision, in the order given.
    const std::vector<int>& Remaining() const { return remaining_; }
    GameState& State() const { return gs_; }
    bool Done() const { return remaining_.empty(); }

    // Each returns false, leaving the general in the list, when he is not in it; Employ also
    // when he refuses ("%s は登用を拒否しました" is the dialog's text for that).
    bool Employ(int bushou);
    bool Release(int bushou);
    // He leaves play (house -1).
    bool Execute(int bushou);
    // He stays a captive of the player's house.
    bool Keep(int bushou);

private:
    bool Take(int bushou);

    GameState& gs_;
    const Ports& ports_;
    std::vector<int> remaining_;
};

// The captive rules as the battle runner reaches them.
class CHoryoRules final : public HoryoRules {
public:
    CHoryoRules(GameState& gs, const Ports& ports) : gs_(gs), ports_(ports) {}

    void TakeHoryo(int captor, int bushou) override;
    bool CanEmployHoryo(int bushou) override;
    bool EmployHoryo(int bushou) override;
    // Offered to the front; until the player's dialog exists every front keeps them captive.
    void SurrenderedGenerals(std::span<const int> captives) override;

private:
    GameState& gs_;
    const Ports& ports_;
};

}  // namespace rymd
