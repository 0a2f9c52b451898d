// The player's decisions about generals who are not ordinary retainers: captives held by his
// house (execute, employ, release, or exchange them with another house), hostages held by his
// house (come of age as guest general, or go back to their house) and guest generals taken from
// his vassal houses. The dialogs of the personnel phase and of the surrendered generals work on
// these functions; each leaves every general in exactly one place.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/ports/ports.h"

namespace rymd {

struct CBushou;
struct GameState;

// A general's row as the personnel questions show it (also one not yet in play).
PersonnelRow PersonnelRowOf(const GameState& gs, const CBushou& b);
// His age: "%d%s" (this year minus the birth year, "?" when the year is a guess), "---" when hidden.
std::string PersonnelAgeText(const GameState& gs, const CBushou& b);

// ---- Captives ---------------------------------------------------------------------------------

// The captives a house holds, in table order: status captive, holding house = the house, and a
// house field other than -1 (an executed captive has left play).
std::vector<int> HeldHoryo(const GameState& gs, int holder);

// The employability table of the captive lists, one value per general: 1 when the captive may be
// employed, 0 when he refuses. The lists sort their "意向" column by it.
std::vector<std::int32_t> HoryoEmployability(const GameState& gs);

// The captive leaves play: house -1, his besieging mark cleared. No question, no message.
void ExecuteHoryo(GameState& gs, int bushou);

// What the player does with a captive in the treatment dialogs.
enum class HoryoAction { Employ, Release, Execute, Keep };

// The result of an action on several captives: those handled (to leave the list) and, for each
// captive who refused employment, "%s は登用を拒否しました" (he stays in the list).
struct HoryoActionResult {
    std::vector<int> handled;
    std::vector<std::string> refusals;
};

// Carries the action out on each general in order. Keep changes nothing in the general.
HoryoActionResult ApplyHoryoAction(GameState& gs, const Ports& ports, HoryoAction action,
                                   std::span<const int> bushou);

// ---- The prisoner exchange -------------------------------------------------------------------

// The two sides of an exchange between the player's house and a partner: the player's generals
// the partner holds (they come back) and the partner's generals the player holds (they are
// handed over), each in table order.
struct HoryoKoukanLists {
    std::vector<int> returned;
    std::vector<int> given;
};
HoryoKoukanLists CollectHoryoKoukan(const GameState& gs, int player, int partner);

// The houses with which the player's house could exchange captives: houses still in play, other
// than his own, that hold a captive of his house or whose general his house holds.
std::vector<int> HoryoKoukanPartners(const GameState& gs, int player);

// The worth of a side: the sum over its generals of intellect + valour + politics + 30.
int HoryoKoukanWorth(const GameState& gs, std::span<const int> bushou);

// The partner's answer, which changes nothing yet: it accepts only when it receives strictly
// more worth than it returns. The player hears the answer before the generals are freed, so
// that the messages of their return follow it.
struct HoryoKoukanOutcome {
    bool accepted = false;
    std::string text;  // "%s は捕虜交換を承諾しました" / "%s は捕虜交換を承諾しませんでした"
};
HoryoKoukanOutcome AnswerHoryoKoukan(const GameState& gs, int partner, std::span<const int> returned,
                                     std::span<const int> given);

// The accepted exchange: every general of both sides is released (those coming back first).
void CarryOutHoryoKoukan(GameState& gs, const Ports& ports, std::span<const int> returned,
                         std::span<const int> given);

// ---- Hostages --------------------------------------------------------------------------------

// The hostages a house holds, in table order (house field not -1).
std::vector<int> HeldHitojichi(const GameState& gs, int holder);

// A step the player asks for: refused with a message, or to be confirmed with a question.
struct PersonnelCheck {
    std::string refusal;   // not empty: the step is refused with this message
    std::string question;  // else: the step goes on once the player answers OK
};

// Coming of age (元服) as a guest general: refused for a hostage of a house that is neither
// gone nor the player's vassal, and for one under 15; the question asks for the swap when his
// house already has a guest general.
PersonnelCheck CheckGenpuku(const GameState& gs, int bushou);
// He joins his house with no troops and becomes its guest general (the earlier guest steps
// down); when his house is gone he serves the player's house as an ordinary retainer.
void Genpuku(GameState& gs, int bushou);

// Going back to his house: refused when the house is gone.
PersonnelCheck CheckHitojichiReturn(const GameState& gs, int bushou);
// He leaves play; a copy of him waits among the generals not yet appeared, serving his house,
// unless that table is full.
void ReturnHitojichi(GameState& gs, int bushou);

// ---- Guest generals ----------------------------------------------------------------------------

// The generals the player's house may take as guests, in table order: ordinary retainers of his
// vassal houses who are not their house's head.
std::vector<int> KyakushouKouho(const GameState& gs, int player);
// The guest general currently serving from the house, -1 when none.
int KyakushouOf(const GameState& gs, int house);
// The confirmation: the swap question when the general's house already has a guest general.
std::string KyakushouQuestion(const GameState& gs, int bushou);

}  // namespace rymd
