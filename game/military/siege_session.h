// The player's siege, in person: one month of siege at one castle played turn by turn by the
// player's side (the siege dialog renders it), and the retreat of defenders from a besieged
// castle of the player's house (the retreat dialog).
//
// KoujousenSession drives the same operations as the automatic siege (CKoujousen) one button at
// a time. When the player besieges, the buttons assault or wait, and the computer defenders may
// challenge at sea or sally out when the siege opens and withdraw surplus generals before the
// turns 1 to 4. When the player defends, the besiegers decide each assault as in the automatic
// siege, and the player may defend, retreat generals from the castle, or challenge the
// besiegers to a field or naval battle before the first turn. Battles go through the battle
// runners, which hand them to the player's battle dialogs.
//
// The war phase reads the result afterwards: the siege result, the results of a field or naval
// battle fought from the siege, and whether the siege was broken off.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/military/siege.h"
#include "game/ports/ports.h"

namespace rymd {

class CBattleRunner;
struct GameState;

// The ships and crews one side sends into a naval battle of the siege. A unit is a general
// index, or kShiroGarrisonItem + castle for the castle's garrison.
struct NavySortie {
    int ships = 0;
    std::vector<int> units;
};

// One row of the siege dialog's army lists: texts as shown, and the general it stands for
// (kShiroGarrisonItem + castle for the garrison row).
struct SiegeListRow {
    int item = -1;
    std::string name, cavalry, foot, muskets, valour, intellect;
};

class KoujousenSession {
public:
    static constexpr int kLastTurn = CKoujousen::kTurnsPerMonth;
    static constexpr int kNavyShipLimit = 200;

    // The siege of castle for this month. navalBattleDone: a naval battle was already fought at
    // the castle this month. Nothing is read or drawn until Open.
    KoujousenSession(GameState& gs, const Ports& ports, CBattleRunner& runner, int castle,
                     bool navalBattleDone);

    // The player's choice of ships and crews for a naval battle (the navy-sortie dialog): given
    // the side's largest fleet and the units that may sail, the chosen ones, or nothing when the
    // player cancels.
    // The siege dialog gives the navy-sortie dialog as the chooser. Without a chooser the crews
    // are those the automatic siege would send: the largest troops that the side's ships carry.
    using NavyChooser =
        std::function<std::optional<NavySortie>(int ships, const std::vector<int>& candidates)>;
    NavyChooser chooseNavy;

    // The set-up: the siege state with its supply route, turn 1, then Refresh.
    void Open();
    // The events before the first turn when the player besieges: the defenders' challenge at
    // sea, their sally, the withdrawal of surplus defenders. Nothing when the player defends.
    void OpeningEvents();
    // One turn: assault (the player besieges) or the besiegers' own decision (the player
    // defends). Nothing once the siege is over.
    void PlayTurn(bool assault);
    // The player defender's challenges, before the first turn only.
    void ChallengeYasen();
    void ChallengeKaisen();
    // After defenders retreated from the castle (the retreat dialog).
    void AfterRetreat();
    // Reads the records again: the outcome, the availability of the buttons.
    void Refresh();

    // --- what the dialog shows ---
    int Castle() const { return castle_; }
    bool PlayerDefends() const { return playerDefends_; }
    int Turn() const { return turn_; }
    bool Over() const { return over_; }
    // The siege ended in a way that closes the dialog by itself (a lost battle, no besiegers).
    bool Closed() const { return closed_; }
    const std::string& OutcomeText() const { return outcome_; }
    const std::string& LogText() const { return log_; }
    bool FieldBattlePossible() const { return fieldPossible_; }
    bool NavalBattlePossible() const { return navalPossible_; }
    // The month's assaults are used up (the assault button is refused).
    bool AssaultsUsedUp() const;
    bool CanBeStarved() const;
    bool HasWaterway() const;
    int OwnShips() const;
    int BlockadeShips() const;
    std::string Title() const;
    std::string WaitLabel() const;
    std::string SupplyRouteText() const;
    std::string BesiegingHouseName() const;
    std::string OwnerHouseName() const;
    // One line per castle level from the inner ring: the level word and the besiegers' progress
    // there ("%d%%" or "陥落"); the outer rings fall first.
    std::vector<std::pair<std::string, std::string>> DamageLines() const;
    std::string ProvisionsWord() const;
    long long Provisions() const;
    std::vector<SiegeListRow> BesiegerRows() const;
    std::vector<SiegeListRow> DefenderRows() const;
    long long BesiegerTotal() const;
    long long DefenderTotal() const;
    CKoujousen& Siege() { return siege_; }
    GameState& State() { return gs_; }
    const Ports& GamePorts() const { return ports_; }

    // --- what the war phase reads ---
    int siegeResult = kSiegeHolds;
    int fieldResult = -1;
    int navalResult = -1;
    bool brokenOff = false;
    bool navalFought = false;

private:
    void Tell(const std::string& text) const;
    void Close();
    std::vector<int> Besiegers() const;
    std::vector<int> DefendersWithGarrison() const;
    NavySortie AutomaticCrews(int ships, const std::vector<int>& candidates) const;
    std::optional<NavySortie> ChooseNavy(int ships, const std::vector<int>& candidates) const;
    int FightSally();
    SiegeListRow RowOf(int g) const;

    GameState& gs_;
    Ports ports_;
    CBattleRunner& runner_;
    int castle_;
    CKoujousen siege_;
    std::string log_;
    bool playerDefends_ = false;
    int turn_ = 1;
    bool fieldPossible_ = true;
    bool navalPossible_ = false;
    bool over_ = false;
    bool closed_ = false;
    std::string outcome_;
};

// Whether the player's house takes part in the siege of the castle in person: its besiegers
// with a general under its direct command, or the castle its own with a defender under direct
// command, or with no defender at all and in no corps' provinces. Never during the automatic
// advance or the all-automatic run.
bool PlayerTakesPartInSiege(const GameState& gs, int castle);

// The retreat of defenders from a besieged castle of the player's house.
class ShiroRetreatChoice {
public:
    ShiroRetreatChoice(GameState& gs, const Ports& ports, int castle)
        : gs_(gs), ports_(ports), castle_(castle) {}

    struct Row {
        int bushou = -1;
        std::string name, rank, age, cavalry, foot, muskets, valour, intellect;
    };
    // One row per general listed in the castle, in list order.
    std::vector<Row> Rows() const;
    // The places left in the linked castles of the player's house that nobody besieges (each
    // linked castle counted once, as the retreat itself counts them).
    int Room() const;
    // Retreats the chosen generals. A refusal (no room, more than the room) is told to the player
    // and returns false, moving nobody; true closes the dialog.
    bool Retreat(const std::vector<int>& chosen);
    const GameState& State() const { return gs_; }

private:
    GameState& gs_;
    Ports ports_;
    int castle_;
};

}  // namespace rymd
