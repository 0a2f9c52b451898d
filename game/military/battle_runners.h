// The doors through which the war phase and the siege fight battles and clean up after them:
// RunYasen fights a field battle, RunKaisen a naval battle (in person through the front when
// the player's own troops take part and the front offers it, else automatically in at most 20
// steps); DecideBushouFate settles what becomes of the generals of a fallen castle;
// WithdrawBushou sends an army home with its ships; EndBlockade lifts a sea blockade;
// CheckWithdrawn reports an army that should have left.
//
// Battle results: 1 the first side (A) won, 2 the second side (B) won, 0 a draw.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "game/military/field_battle.h"
#include "game/military/naval_battle.h"
#include "game/ports/ports.h"

namespace rymd {

struct GameState;
class ShiroOwnerIndex;

// A field battle handed to the player's battle dialog. The player's side is side 0 of the
// engine; the dialog runs Setup (the player deploys through the engine's observer) and then
// PlayerStep until a result, which it stores in result.
struct YasenSession {
    CYasen& battle;
    int place = -1;       // the castle at (or beside) which it is fought
    int otherPlace = -1;  // the second castle, -1 at one place
    int modeFlag = 0;     // 1 the player attacks a castle's defenders, 2 the player defends; 0 neither
    int result = -1;
};

// A naval battle handed to the player's battle dialog; the player's side is side 0.
struct KaisenSession {
    CKaisen& battle;
    int shiro = -1;
    int otherShiro = -1;
    std::array<int, 2> houses{-1, -1};
    int modeFlag = 0;
    int result = -1;
};

// What becomes of captives belongs to the personnel rules, a floor above the battles; the war
// phase passes them in.
class HoryoRules {
public:
    virtual ~HoryoRules() = default;
    // The general becomes a captive of the captor house.
    virtual void TakeHoryo(int captor, int bushou) = 0;
    virtual bool CanEmployHoryo(int bushou) = 0;
    // The captive serves his captor; false when he may not or no castle takes him.
    virtual bool EmployHoryo(int bushou) = 0;
    // The player decides about the generals who surrendered to his house.
    virtual void SurrenderedGenerals(std::span<const int> captives) = 0;
};

// Whether a general of the house who flees the country may find refuge with the house refuge: a
// house with a head, not his own, whose relation toward his house is not hostile (arch-enemy and
// no particular relation are both hostile).
bool IsRefugeFor(const GameState& gs, int refuge, int house);

class CBattleRunner {
public:
    static constexpr int kMaxSteps = 20;

    CBattleRunner(GameState& gs, const Ports& ports, HoryoRules* horyo = nullptr)
        : gs_(gs), ports_(ports), horyo_(horyo) {}

    // The lines about fallen, fleeing, captured and surrendered generals (the fates report).
    std::string fatesText;
    // The generals the last DecideBushouFate made captives of the victor.
    std::vector<int> captives;

    // A field battle between army A and army B at place (around it when otherPlace is -1).
    // shiroA / shiroB: the castle whose garrison fights with that side (its owner is the side's
    // house when the side has no generals), -1 none. mode 1: side B defends a castle. provinces:
    // the battlefield's province and a second one (-1 when the same).
    int RunYasen(int place, int otherPlace, std::span<const int> armyA, int shiroA,
                 std::span<const int> armyB, int shiroB, int mode, const std::array<int, 2>& provinces);
    // A naval battle; an id with bit 0x8000 stands for the garrison of that castle.
    int RunKaisen(int shiro, int otherShiro, int houseA, int shipsA, std::span<const int> idsA, int houseB,
                  int shipsB, std::span<const int> idsB, int mode, bool noDialog);
    // The generals of a fallen castle (the first general's castle, already the victor's).
    void DecideBushouFate(std::span<const int> ids);
    void WithdrawBushou(int house, int shiro, std::span<const int> ids, bool bySea);
    void EndBlockade(int shiro);
    void CheckWithdrawn(int shiro, int house);
    // The same over the generals given (in table order), when they hold every general that could
    // still stand there.
    void CheckWithdrawn(int shiro, int house, std::span<const int> candidates);
    // The castles of each house by owner, kept current by the caller while it is set (null: none);
    // the generals this runner moves find their side's castles in it.
    void SetShiroOwners(const ShiroOwnerIndex* owners) { owners_ = owners; }

private:
    void ReportIfLeft(int bushou, int shiro, int house);
    // The general of the house leaves play for the table of absent generals (the houses that may
    // take him in later noted), told in the fates report; a head leaves his house fallen.
    void LeavePlay(int bushou, int house, bool isHead);
    bool PlaysInPerson() const;
    bool OwnTroopsOnLand(int house, std::span<const int> army) const;
    bool OwnTroopsAtSea(int house, std::span<const int> ids) const;

    GameState& gs_;
    Ports ports_;
    HoryoRules* horyo_;
    const ShiroOwnerIndex* owners_ = nullptr;
};

}  // namespace rymd
