// The player's corps: forming them, their fief of castles, their standing orders and provinces in
// charge, and the funds and muskets moved between a house and its corps. Each operation checks
// the state as it is when it runs (a general chosen in a list may have died or been captured
// since), changes the tables at once and answers with the message the player is shown, the
// scenario's words already in it; a refused operation changes nothing.
//
// A general's "counted house" is his house, or its master when his house is a vassal house: the
// generals of a vassal house serve the master's corps too, but only the master's own generals
// (and guest generals) may lead one.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace rymd {

struct GameState;

// What an operation did: whether it changed the game, and the message to show ("" none). A
// message may come with a change (a head skipped while others joined the corps).
struct GundanOutcome {
    bool changed = false;
    std::string message;
};

// The refusals, as stored (before the scenario's words are put in).
inline constexpr const char* kGundanOneAtATime = "一人ずつ指定してください";
inline constexpr const char* kGundanHeadNotLeader = "当主は軍団長には任命できません";
inline constexpr const char* kGundanVassalNotLeader = "臣従大名家の武将は軍団長には任命できません";
inline constexpr const char* kGundanTooMany = "軍団数が多すぎます";
inline constexpr const char* kGundanNoneYet = "軍団が作成されていません";
inline constexpr const char* kGundanChooseFirst = "先に軍団を指定しておいてください";
inline constexpr const char* kGundanHeadNotMember = "当主は軍団には編入できません\n（臣従大名家当主は可能）";
inline constexpr const char* kGundanDissolveQuestion =
    "軍団を解体します\n\n（軍団資金は大名家資金に統合されます）\n（軍団所領の城は大名直轄に戻されます）";
inline constexpr const char* kGundanKuniTaken = "既に他の軍団の担当国です（重複指定不可）";
inline constexpr const char* kGundanKuniNotAdjacent = "経路で隣接していない国は指定できません";
inline constexpr const char* kGundanKuniFull = "担当国は４カ国までしか指定できません";
inline constexpr const char* kGundanSelect = "軍団を選択してください";
inline constexpr const char* kGundanHouseNoFunds = "大名家の資金がありません";
inline constexpr const char* kGundanNoFunds = "軍団の資金がありません";
inline constexpr const char* kGundanHouseNoTeppou = "大名家の未配備鉄砲がありません";
inline constexpr const char* kGundanNegative = "マイナス値は無効です";
inline constexpr const char* kGundanMultipleOf = "%dの倍数で指定してください";

// The general's counted house (see above); his house field when it is not a house.
int GundanCountedDaimyou(const GameState& gs, int bushou);

// The generals of the house's direct command (counted house = the house, no corps), in table
// order.
std::vector<int> ListDirectBushou(const GameState& gs, int daimyou);
// The generals of the corps whose counted house is the house, in table order.
std::vector<int> ListGundanMembers(const GameState& gs, int daimyou, int gundan);
// The house's corps (used slots it owns), in slot order.
std::vector<int> ListGundanOfDaimyou(const GameState& gs, int daimyou);
// The house's corps in the order of their leaders' general indexes (the order of the corps
// lists of the territory, orders and assets screens).
std::vector<int> ListGundanByLeader(const GameState& gs, int daimyou);
// Whether the slot is a corps of the house.
bool IsGundanOfDaimyou(const GameState& gs, int daimyou, int gundan);
// The first free slot of the corps table from slot 0, -1 when all are used.
int FindFreeGundan(const GameState& gs);

// --- formation ------------------------------------------------------------------------------

// Appoints the chosen direct general (the rows chosen in the list; only one may be) leader of a
// new corps of the house in the first free slot: funds, muskets and orders 0, no province in
// charge. He stays in his castle and the corps gets no castle. *created is the new slot.
GundanOutcome AppointGundanchou(GameState& gs, int daimyou, std::span<const int> chosen,
                                int* created = nullptr);
// Adds the chosen direct generals to the corps, in the given order; the head of the house is
// skipped with a message (the head of a vassal house may join). Refused when the house has no
// corps at all, or when the corps is not one of the house's (none chosen, or dissolved since).
GundanOutcome AddGundanMembers(GameState& gs, int daimyou, int gundan, std::span<const int> chosen);
// Returns the chosen members to the head's direct command. When the leader is among them the
// player is asked once (confirm gets the question) and the whole corps is dissolved on OK.
GundanOutcome ReturnGundanMembers(GameState& gs, int daimyou, int gundan, std::span<const int> chosen,
                                  const std::function<bool(const std::string&)>& confirm);

// --- fief and provinces in charge -------------------------------------------------------------

// Toggles a castle of the house itself (a vassal's castle does not qualify) into or out of the
// corps' fief: given, its lord becomes the corps leader; taken back, the house head. A castle of
// another corps is left alone. True when it changed.
bool ToggleGundanShoryou(GameState& gs, int daimyou, int gundan, int shiro);

// The orders word: the radio index (0 stand-by, 1 invade, 2 domestic, 3 both) in bits 0-1, the
// other bits kept.
void SetGundanOrderIndex(GameState& gs, int gundan, int index);
// The conquered-land box: the word becomes its low byte plus 0x0100 when ticked.
void SetGundanShoryouka(GameState& gs, int gundan, bool on);

// Releases the province when the corps has it in charge (then prunes entries left touching no
// other, repeatedly, a single one staying); else adds it when it is nobody else's among the
// house's corps, touches one already in charge (any province for the first) and an entry is
// free. changed tells which happened.
GundanOutcome ToggleTantouKuni(GameState& gs, int daimyou, int gundan, int kuni);

// --- assets ---------------------------------------------------------------------------------

// Funds from the house to the corps; an amount above the house funds moves the house funds.
GundanOutcome GiveGundanFunds(GameState& gs, int daimyou, int gundan, int amount);
// Funds from the corps to the house; cut to the corps funds.
GundanOutcome CollectGundanFunds(GameState& gs, int daimyou, int gundan, int amount);
// Undeployed muskets from the house to the corps. The amount is in muskets (as the player sees
// them), a multiple of the soldier unit; moved in units, cut to the house's stock.
GundanOutcome GiveGundanTeppou(GameState& gs, int daimyou, int gundan, int amount);

// --- the corps lists ----------------------------------------------------------------------------

// The texts of a corps row: "%s 軍団", generals, funds, castles of the fief, their rice yield
// "%d万%04d石", the order word, the provinces in charge joined by "・" (kuniName names one).
struct GundanRowTexts {
    std::string name, bushou, funds, teppou, shiro, kokudaka, order, kuni;
};
GundanRowTexts MakeGundanRowTexts(const GameState& gs, int gundan,
                                  const std::function<std::string(int)>& kuniName);

}  // namespace rymd
