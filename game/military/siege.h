// The siege of a castle (攻城戦): the state of one siege for one month and its rules. The
// besiegers are the castle's besieger list; the defenders are the generals of its general list
// that defend (not excluded from the defence, not held captive) and its garrison. A month has 5
// turns; the castle falls when its siege damage reaches 100 x its size, and surrenders when its
// provisions run out.
//
// The state owns nothing: every lasting effect is written into the shared tables. The war phase
// builds one per besieged castle and month and plays it with RunAutoSiege; the siege dialog
// drives the same operations turn by turn. Every random draw comes from the game's one source.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace rymd {

struct GameState;
struct Ports;

// The troops of one general as a siege assault sees them (soldier units). The estimates work on
// these copies, so they touch no record and allocate nothing.
struct SiegeTroops {
    int cavalry = 0;
    int foot = 0;
    int muskets = 0;
};

// Outcome codes of a turn and of a month of siege.
enum SiegeResult : int {
    kSiegeHolds = 0,
    kSiegeFallen = 1,   // taken by assault
    kSiegeStarved = 2,  // provisions used up: the castle surrenders
};

class CKoujousen {
public:
    static constexpr int kMaxDefenders = 20;
    static constexpr int kTurnsPerMonth = 5;
    static constexpr int kNoRoute = 32767;

    explicit CKoujousen(GameState& gs, const Ports* ports = nullptr) : gs_(gs), ports_(ports) {}
    virtual ~CKoujousen() = default;

    int castle = -1;
    int besiegingHouse = -1;   // set by the caller
    int routeKind = kNoRoute;  // 0 broad, 1 narrow, 2 mountain road, 3 sea; kNoRoute none
    int supplyCastle = -1;     // the linked castle that supplies the besiegers
    int assaultsThisMonth = 0;
    bool navalBattleDone = false;  // a naval battle was already fought here this month
    int defenderCount = 0;
    std::int32_t defenders[kMaxDefenders] = {};
    std::string* log = nullptr;  // stratagem messages are appended here when set

    // CollectDefenders, then the supply route.
    void Prepare();
    // The defender list from the castle's general list, in list order, without the generals
    // excluded from the defence or held captive.
    void CollectDefenders();
    // Assaults a month by supply route: 4, 3, 2, 5; 2 for any other route.
    int GetMaxAssaults() const;
    static int MaxAssaultsOfRoute(int routeKind);

    // One month of 5 turns with no messages: kSiegeHolds, kSiegeFallen or kSiegeStarved.
    int RunAutoSiege();
    // One turn: the assault (when assault is set) and the provisions eaten.
    int ExecuteTurn(bool assault);
    // At most one stratagem this turn (besiegers first, then defenders). done tells whether one
    // took place. kSiegeStarved when a burning left the castle without provisions, else 0.
    int RunKeiryaku(bool assault, bool messages, bool& done, int turn);
    bool DecideAssault();
    bool DecideSortie();
    bool DecideNavalBattle();
    // The defenders send away the strongest generals that the castle does not need to hold as
    // long as its provisions last; then CollectDefenders.
    void WithdrawDefenders(bool messages);
    // The month-end musket fire of the defenders on the besiegers; whether it fired.
    bool MusketCounterFire();

    // One assault on the given troops: adds to the damage, lowers troops and the garrison.
    static void AssaultCasualties(GameState& gs, std::span<SiegeTroops> attackers,
                                  std::span<SiegeTroops> defenders, int& garrison, int& damage);
    // Lowers the damage by the defenders' musket fire; false, changing nothing, when they have
    // no muskets or there is no damage.
    static bool CalcMusketCounterFire(GameState& gs, std::span<const SiegeTroops> attackers,
                                      std::span<const SiegeTroops> defenders, int& damage);

private:
    bool Valid() const;
    bool CanBeStarved() const;
    void AppendLog(const std::string& text);
    // The besiegers' and defenders' troops as assault records; returns the besieger count.
    int LoadArmies(std::array<SiegeTroops, 20>& atk, std::array<SiegeTroops, 20>& def) const;
    void StoreArmies(int nAttackers, const std::array<SiegeTroops, 20>& atk,
                     const std::array<SiegeTroops, 20>& def);

    GameState& gs_;
    const Ports* ports_;
};

// Months until the castle would fall by assault, played on copies of the first 20 attackers and
// defenders for up to 12 months; 10000 when it would not fall.
int SimulateKoujousen(GameState& gs, bool blockaded, int house, int castle, std::span<const int> attackers,
                      std::span<const int> defenders);

// Months until the castle falls, by assault or by hunger whichever comes first. house -1 takes
// the castle's besieging house; null attackers or defenders take the castle's besieger and
// general lists. navalMode 0: blockaded when the castle has a blockading house; 1 blockaded;
// anything else not. byAssault (may be null) tells which way it falls; ties go to hunger.
int EstimateKoujousen(GameState& gs, int house, int castle, const std::span<const int>* attackers,
                      const std::span<const int>* defenders, int navalMode, bool* byAssault);

}  // namespace rymd
