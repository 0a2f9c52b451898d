// The computer's diplomacy step of a house: alliances, subordination, vassalage, independence
// and broken alliances. Each run appends its news to the planner's message text, one line per
// event, which the diplomacy phase shows in the log.
//
// An independent house seeks non-aggression alliances against its hostile neighbours, applies to
// a strong neighbour for subordination or vassalage when it is weak or its last castle is under
// siege, presses weaker partners into subordination or vassalage and breaks alliances it no
// longer needs. A subordinate or vassal house weighs changing its master or declaring
// independence. Every decision takes effect at once, so later decisions of the same run see the
// changed bonds.
#pragma once

#include <string>
#include <vector>

#include "game/ai/gaikou_view.h"
#include "game/diplomacy/bonds.h"
#include "game/state/game_context.h"

namespace MbMisc {
class CSortInt;
}

namespace rymd {

class CCpuGaikou {
public:
    explicit CCpuGaikou(GameContext context) : context_(context) {}
    virtual ~CCpuGaikou() = default;

    // The diplomacy phase of a computer house.
    void Run(int daimyou);

    // The diplomatic news of the phase; emptied at the start of each diplomacy phase.
    std::string messageText;

    // The house's main castles: its castles (a vassal's own only) split into groups that hang
    // together, keeping the groups at least half as strong as the strongest, in table order
    // within each group.
    std::vector<int> CollectShiro(int daimyou) const;
    // The houses hostile to the house (relation state 0 or 1) whose castles border its main
    // castles, or all its castles; counted as their tops, each once, in the order met.
    std::vector<int> CollectTekiDaimyou(int daimyou, bool mainCastlesOnly) const;
    // Alliances and applications of an independent house: kSubordinated stops the house's step,
    // kNoTarget no particular partner, else the house with which an alliance was just made.
    static constexpr int kNoTarget = -1;
    static constexpr int kSubordinated = -2;
    int ChooseTarget(int daimyou);
    // Presses a subordinate into vassalage and an ally into subordination.
    void ForceJuuzoku(int daimyou, int exclude);
    // With no hostile neighbour: presses weaker subordinates and allies, or breaks an alliance
    // (the former ally is returned; else -1).
    int ForceJuuzokuOrBreakDoumei(int daimyou, int exclude);

private:
    // Master switch or independence of a subordinate or vassal house.
    void RunMember(int daimyou);
    void Report(const std::string& line);
    // The main castles and the houses' sums for a run of the house.
    void Prepare(int daimyou);
    // CollectShiro over the view as it stands.
    std::vector<int> MainShiro(int daimyou) const;
    // Brings the view up to date after a bond this planner changed.
    void Refresh();
    // Hostile neighbours keyed by KS: subordinates are merged into their masters.
    void MergeSubordinates(int daimyou, MbMisc::CSortInt& list) const;
    // The steps of ChooseTarget.
    bool ListEnemies(int daimyou, MbMisc::CSortInt& list);
    int SeekFusenDoumei(int daimyou, const MbMisc::CSortInt& list, const PeaceKnown& peace);
    int SeekProtector(int daimyou, const MbMisc::CSortInt& list, const PeaceKnown& peace);
    // Takes the phase view (gaikou_view.h) again when the date, a table's count or a bond
    // between houses has changed since it was taken.
    void EnsureCurrent() const;
    // What the view holds for the treaties the phase makes (bonds.h).
    PeaceKnown KnownForPeace() const;
    // The castles of the house and of its vassals, in table order.
    const std::vector<int>& ShiroWithVassals(int daimyou) const;

    GameContext context_;
    mutable GaikouView view_;
    mutable std::vector<int> withVassals_;       // ShiroWithVassals' answer
    mutable std::vector<int> blockOf_, seenBy_;  // CollectShiro's marks, one per castle, kept at -1
    std::vector<int> shiroList_;                 // the main castles of the house being run
    int preparedFor_ = -1;                       // the house shiroList_ was gathered for
};

}  // namespace rymd
