// Envoys (使者) between houses: demands that another house become subordinate (従属) or vassal
// (臣従), applications to become one, a subordinate's request to change its master, and the
// hostages (人質) that an accepted application may require.
//
// When the receiving house is the player's, the player answers through the ports (the envoy
// question); a computer house decides by the rules below. Every random factor R is one draw of
// gs.rng scaled to 0..1, drawn in the order of the steps and only when the step is reached.
//
// Quantities: K(h) the rice yield of the castles h owns itself, KS(h) with its vassals' castles,
// S(h) the strength (3 x cavalry + foot) of h's generals, SS(h) with its vassals' generals. The
// top of a castle's owner is its master while the owner is a vassal, else the owner.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/state/house_index.h"

namespace rymd {

struct GameState;
struct PeaceKnown;
struct Ports;

// K, KS, S and SS of every house, gathered in one pass over the castles (and, at the first
// strength asked for, one over the generals), with the castles of each house. The envoy rules
// read them many times per decision; a caller that makes several decisions keeps one and
// gathers again after a bond between houses has changed. The game state must outlive the sums.
class DaimyouSums {
public:
    DaimyouSums() = default;
    explicit DaimyouSums(const GameState& gs) { Gather(gs); }
    void Gather(const GameState& gs);
    // After a bond change that moved no castle, changed no rice yield and no count: what
    // depends on the vassal bonds again, in time with the number of houses; the strengths are
    // gathered again when next asked for. The sums read as a new Gather's.
    void FollowBonds(const GameState& gs);

    std::int64_t K(int daimyou) const { return At(k_, daimyou); }
    std::int64_t KS(int daimyou) const { return At(ks_, daimyou); }
    std::int64_t S(int daimyou) const { return At(Strengths().s, daimyou); }
    std::int64_t SS(int daimyou) const { return At(Strengths().ss, daimyou); }
    // Castles whose owner is the house, in table order.
    const std::vector<int>& OwnShiro(int daimyou) const { return ListOfHouse(own_, daimyou); }
    // The house's vassals (vassal bond, another house in play as master), in table order.
    const std::vector<int>& Vassals(int daimyou) const { return ListOfHouse(vassals_, daimyou); }
    // Castles counted for the house (GetCountedDaimyouOfShiro), in table order; taken for a
    // house when first asked for.
    const std::vector<int>& CountedShiro(int daimyou) const;

private:
    struct StrengthSums {
        bool gathered = false;
        std::vector<std::int64_t> s, ss;
    };
    static std::int64_t At(const std::vector<std::int64_t>& v, int d) {
        return d >= 0 && static_cast<std::size_t>(d) < v.size() ? v[static_cast<std::size_t>(d)] : 0;
    }
    const StrengthSums& Strengths() const;
    // KS, the vassals and the counted castles from K, the castles by owner and the bonds.
    void TakeBonds(const GameState& gs);

    const GameState* gs_ = nullptr;
    std::vector<std::int64_t> k_, ks_;
    std::vector<std::vector<int>> own_, vassals_;
    mutable std::vector<std::vector<int>> counted_;  // taken when first asked for
    mutable std::vector<std::uint8_t> countedTaken_;
    mutable StrengthSums strengths_;  // gathered when first asked for
};

// The envoy question put to the player's house. The mode decides the question; in the modes
// of applications (3 to 5) the player may accept and demand a hostage.
enum ShishaMode : int {
    kShishaFusen = 0,           // a proposal of non-aggression
    kShishaJuuzokuYoukyuu = 1,  // a demand of subordination
    kShishaShinjuuYoukyuu = 2,  // a demand of vassalage
    kShishaJuuzokuShigan = 3,   // an application for subordination
    kShishaShinjuuShigan = 4,   // an application for vassalage
    kShishaKuragae = 5,         // a subordinate asks to change its master to the player's house
};

struct ShishaAnswer {
    bool accept = false;
    bool demandHitojichi = false;  // only in modes 3 to 5
};

// The question of the mode with the counterpart's name (and its master's in mode 5), e.g.
// "%sから従属要求の使者が来ました。従属しますか？".
std::string ShishaQuestionText(const GameState& gs, int mode, int counterpart);
// "%s情報 :   %s %d万%04d%s   城数 %d": the counterpart's rice yield and castles, in the
// scenario's words.
std::string ShishaInfoText(const GameState& gs, int counterpart);
// The answers a player may give in the modes of applications, in the order asked: accept,
// accept and demand a hostage, refuse. The first is the answer when nobody can answer.
std::vector<std::string> ShishaApplicationChoices();
// The caption of the envoy-visit question by mode, e.g. "従属要求使者来訪".
std::string ShishaCaption(int mode);

// Puts an envoy of the counterpart to the player's house through the envoy-visit question of the
// ports (AskPort::AskEnvoyVisit; without a dialog of its own a front asks Yes/No in modes 0 to 2
// and a choice among ShishaApplicationChoices() in modes 3 to 5). The automatic advance asks the
// player too; only the all-automatic run, which has no player's house, asks nobody and takes the
// ports' safe answer (accept, no hostage).
ShishaAnswer AskShishaRaihou(GameState& gs, const Ports& ports, int mode, int counterpart);

// a demands that b become its subordinate; true when b became one. False at once when b is not
// independent; the player's house is asked; a computer house weighs the border between them
// (refusing before any draw when there is none), how much it has to fear (EvaluateShishaTeian),
// the rice yields and strengths of both, and the hostile neighbours of a.
bool SendJuuzokuYoukyuuShisha(GameState& gs, const Ports& ports, int a, int b,
                              const DaimyouSums* sums = nullptr);
// a demands that its subordinate b become its vassal; true when it did.
bool SendShinjuuYoukyuuShisha(GameState& gs, const Ports& ports, int a, int b,
                              const DaimyouSums* sums = nullptr);
// The subordinate h asks a to become its new master; true when h became a's subordinate. h
// first declares independence from its master (the hostages it gave are executed), and the
// former master may not ally with it for 12 months.
// The applications make peace between the two first where needed; a caller may give what it
// knows for that peace (bonds.h).
bool SendKuragaeShisha(GameState& gs, const Ports& ports, int a, int h, const DaimyouSums* sums = nullptr,
                       const PeaceKnown* peace = nullptr);
// h applies to become a's subordinate / vassal; true when it did.
bool SendJuuzokuShiganShisha(GameState& gs, const Ports& ports, int a, int h,
                             const DaimyouSums* sums = nullptr, const PeaceKnown* peace = nullptr);
bool SendShinjuuShiganShisha(GameState& gs, const Ports& ports, int a, int h,
                             const DaimyouSums* sums = nullptr, const PeaceKnown* peace = nullptr);

// How much x has to fear from y's position: 1 when x is strong at the border, else the largest of
// three estimates, which is not cut to 0..1 (two values below 0 still compare, as the planner's
// choice of a new master does). With fromBorder only the part of y's side that reaches x's own
// castles counts, and x's head's loyalty is taken as 5; friends are houses whose
// bonds with y do not keep them from counting as y's enemies. Draws nothing.
double EvaluateShishaTeian(const GameState& gs, int x, int y, bool fromBorder, std::span<const int> friends,
                           const DaimyouSums* sums = nullptr);

// The giver hands a hostage to the receiver: an heir not yet of age from the generals not yet
// in play, or, when it has none, a made-up heir named after the house. The player's house is
// asked which heir to give, or refuses. False when no hostage is given (refusal, or 30000
// generals already in play). The hostage's index in the general table goes to bushou.
bool OfferHitojichi(GameState& gs, const Ports& ports, int receiver, int giver, int& bushou);

// The hostage candidates of a house: generals not yet in play of that house, aged 1 to 18, whose
// scenario record names the house as their line with a succession rank. Indexes into the table
// of generals not yet appeared, in table order, at most max.
std::vector<int> CollectHitojichiKouho(const GameState& gs, int daimyou, int max);

// The hostage demand as the player's house is asked it: the heirs among the candidates, or the
// house's generic heir (its name and the scenario's word for 世嗣) when there are none.
HitojichiOffer MakeHitojichiOffer(const GameState& gs, int receiver, int giver,
                                  std::span<const int> candidates);

// The made-up heir's name: the house's name and the scenario's word for 世嗣, cut on a character
// boundary to at most 20 bytes in the file's encoding.
std::string MakeSeishiName(const GameState& gs, int giver);

}  // namespace rymd
