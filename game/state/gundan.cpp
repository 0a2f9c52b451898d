#include "game/state/gundan.h"

#include <algorithm>
#include <cstdint>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd {

namespace {

bool IsDirectBushouOf(const GameState& gs, int daimyou, int bushou) {
    if (!IsValidBushou(gs, bushou)) return false;
    const CBushou& b = BushouAt(gs, bushou);
    return b.gundan == -1 && GundanCountedDaimyou(gs, bushou) == daimyou;
}

bool IsHeadOf(const GameState& gs, int daimyou, int bushou) {
    return BushouAt(gs, bushou).daimyou == daimyou && DaimyouAt(gs, daimyou).toushu == bushou;
}

GundanOutcome Refused(std::string message) {
    return {false, std::move(message)};
}

const ScenarioWordArray& Words(const GameState& gs) {
    return gs.ScenarioWords;
}

int TantouKuniAt(const CGundan& corps, std::size_t i) {
    return corps.tantouKuni[i];
}

// Whether the province touches (by a route from one of its castles) any other non-empty entry.
bool TouchesOtherEntry(const GameState& gs, const CGundan& corps, std::size_t self) {
    for (std::size_t j = 0; j < corps.tantouKuni.size(); ++j) {
        if (j == self || TantouKuniAt(corps, j) < 0) continue;
        if (IsKuniAdjacent(gs, TantouKuniAt(corps, self), TantouKuniAt(corps, j))) return true;
    }
    return false;
}

// After a release: from the last entry to the first, an entry that touches none of the others
// (while some other is left) is released and the scan starts again from the last.
void PruneTantouKuni(const GameState& gs, CGundan& corps) {
    bool again = true;
    while (again) {
        again = false;
        const auto filled = std::count_if(corps.tantouKuni.begin(), corps.tantouKuni.end(),
                                          [](std::int16_t k) { return k >= 0; });
        if (filled < 2) return;
        for (std::size_t i = corps.tantouKuni.size(); i-- > 0;) {
            if (TantouKuniAt(corps, i) < 0 || TouchesOtherEntry(gs, corps, i)) continue;
            corps.tantouKuni[i] = -1;
            again = true;
            break;
        }
    }
}

// Moves a non-negative amount, cut to what the giver holds and to what the receiver can still
// hold; the rest stays with the giver.
GundanOutcome MoveStock(std::int32_t& from, std::int32_t& to, int amount) {
    if (amount < 0) return Refused(kGundanNegative);
    const std::int64_t room = std::int64_t{INT32_MAX} - to;
    const std::int32_t moved = static_cast<std::int32_t>(std::min<std::int64_t>({amount, from, room}));
    to += moved;
    from -= moved;
    return {true, ""};
}

}  // namespace

int GundanCountedDaimyou(const GameState& gs, int bushou) {
    if (!IsValidBushou(gs, bushou)) return -1;
    const int house = BushouAt(gs, bushou).daimyou;
    return house >= 0 ? GetCountedDaimyou(gs, house) : house;
}

std::vector<int> ListDirectBushou(const GameState& gs, int daimyou) {
    std::vector<int> out;
    if (daimyou < 0) return out;
    for (int b : BushouIndexes(gs))
        if (IsDirectBushouOf(gs, daimyou, b)) out.push_back(b);
    return out;
}

std::vector<int> ListGundanMembers(const GameState& gs, int daimyou, int gundan) {
    std::vector<int> out;
    if (daimyou < 0 || gundan < 0) return out;
    for (int b : BushouIndexes(gs))
        if (BushouAt(gs, b).gundan == gundan && GundanCountedDaimyou(gs, b) == daimyou) out.push_back(b);
    return out;
}

bool IsGundanOfDaimyou(const GameState& gs, int daimyou, int gundan) {
    if (!IsValidGundan(gundan) || daimyou < 0) return false;
    const CGundan& corps = GundanAt(gs, gundan);
    return !corps.IsFree() && corps.daimyou == daimyou;
}

std::vector<int> ListGundanOfDaimyou(const GameState& gs, int daimyou) {
    std::vector<int> out;
    for (int k : GundanIndexes())
        if (IsGundanOfDaimyou(gs, daimyou, k)) out.push_back(k);
    return out;
}

std::vector<int> ListGundanByLeader(const GameState& gs, int daimyou) {
    std::vector<int> out;
    for (int b : BushouIndexes(gs)) {
        const int k = BushouAt(gs, b).gundan;
        if (GundanCountedDaimyou(gs, b) == daimyou && IsGundanOfDaimyou(gs, daimyou, k) &&
            GundanAt(gs, k).leader == b)
            out.push_back(k);
    }
    return out;
}

int FindFreeGundan(const GameState& gs) {
    for (int k : GundanIndexes())
        if (GundanAt(gs, k).IsFree()) return k;
    return -1;
}

// --- formation ------------------------------------------------------------------------------

GundanOutcome AppointGundanchou(GameState& gs, int daimyou, std::span<const int> chosen, int* created) {
    if (chosen.size() >= 2) return Refused(kGundanOneAtATime);
    if (chosen.empty() || !IsValidDaimyou(gs, daimyou)) return {};
    const int g = chosen.front();
    // Read again: he may have died, been captured or joined a corps since he was chosen.
    if (!IsDirectBushouOf(gs, daimyou, g)) return {};
    const CBushou& b = BushouAt(gs, g);
    if (IsHeadOf(gs, daimyou, g)) return Refused(kGundanHeadNotLeader);
    if (b.status != CBushou::kStatusKyakushou && b.daimyou != daimyou)
        return Refused(ReplaceWordBushou(ReplaceWordDaimyouke(kGundanVassalNotLeader, Words(gs)), Words(gs)));
    const int slot = FindFreeGundan(gs);
    if (slot < 0) return Refused(kGundanTooMany);
    gs.BushouTbl[static_cast<std::size_t>(g)].gundan = static_cast<std::int16_t>(slot);
    CGundan& corps = GundanAt(gs, slot);
    corps.leader = g;
    corps.daimyou = daimyou;
    corps.shikin = 0;
    corps.teppou = 0;
    corps.order = 0;
    corps.tantouKuni.fill(-1);
    if (created) *created = slot;
    return {true, ""};
}

GundanOutcome AddGundanMembers(GameState& gs, int daimyou, int gundan, std::span<const int> chosen) {
    if (chosen.empty() || !IsValidDaimyou(gs, daimyou)) return {};
    if (ListGundanOfDaimyou(gs, daimyou).empty()) return Refused(kGundanNoneYet);
    if (!IsGundanOfDaimyou(gs, daimyou, gundan)) return Refused(kGundanChooseFirst);
    GundanOutcome out;
    for (int g : chosen) {
        if (!IsDirectBushouOf(gs, daimyou, g)) continue;
        if (IsHeadOf(gs, daimyou, g)) {
            out.message = ReplaceWordDaimyouke(kGundanHeadNotMember, Words(gs));
            continue;
        }
        gs.BushouTbl[static_cast<std::size_t>(g)].gundan = static_cast<std::int16_t>(gundan);
        out.changed = true;
    }
    return out;
}

GundanOutcome ReturnGundanMembers(GameState& gs, int daimyou, int gundan, std::span<const int> chosen,
                                  const std::function<bool(const std::string&)>& confirm) {
    if (chosen.empty() || !IsGundanOfDaimyou(gs, daimyou, gundan)) return {};
    const int leader = GundanAt(gs, gundan).leader;
    if (std::find(chosen.begin(), chosen.end(), leader) != chosen.end()) {
        const std::string question =
            ReplaceWordShiro(ReplaceWordDaimyouke(kGundanDissolveQuestion, Words(gs)), Words(gs));
        if (!confirm || !confirm(question)) return {};
        DisbandGundan(gs, gundan);
        return {true, ""};
    }
    GundanOutcome out;
    for (int g : chosen) {
        if (!IsValidBushou(gs, g) || BushouAt(gs, g).gundan != gundan) continue;
        gs.BushouTbl[static_cast<std::size_t>(g)].gundan = -1;
        out.changed = true;
    }
    return out;
}

// --- fief and provinces in charge -------------------------------------------------------------

bool ToggleGundanShoryou(GameState& gs, int daimyou, int gundan, int shiro) {
    if (!IsGundanOfDaimyou(gs, daimyou, gundan) || !IsValidShiro(gs, shiro)) return false;
    CShiro& s = ShiroAt(gs, shiro);
    if (s.daimyou != daimyou) return false;
    if (s.gundan == -1) {
        s.gundan = static_cast<std::int16_t>(gundan);
        s.commander = static_cast<std::int16_t>(GundanAt(gs, gundan).leader);
        return true;
    }
    if (s.gundan == gundan) {
        s.gundan = -1;
        s.commander = static_cast<std::int16_t>(DaimyouAt(gs, daimyou).toushu);
        return true;
    }
    return false;
}

void SetGundanOrderIndex(GameState& gs, int gundan, int index) {
    if (!IsValidGundan(gundan) || index < 0 || index > 3) return;
    CGundan& corps = GundanAt(gs, gundan);
    corps.order = static_cast<std::uint16_t>((corps.order & ~0x0003u) | static_cast<unsigned>(index));
}

void SetGundanShoryouka(GameState& gs, int gundan, bool on) {
    if (!IsValidGundan(gundan)) return;
    CGundan& corps = GundanAt(gs, gundan);
    corps.order = static_cast<std::uint16_t>((corps.order & 0x00FFu) | (on ? CGundan::kOrderShoryouka : 0u));
}

GundanOutcome ToggleTantouKuni(GameState& gs, int daimyou, int gundan, int kuni) {
    if (kuni < 0 || !IsGundanOfDaimyou(gs, daimyou, gundan)) return {};
    CGundan& corps = GundanAt(gs, gundan);
    const auto own = std::find(corps.tantouKuni.begin(), corps.tantouKuni.end(), kuni);
    if (own != corps.tantouKuni.end()) {
        *own = -1;
        PruneTantouKuni(gs, corps);
        return {true, ""};
    }
    for (int other : ListGundanOfDaimyou(gs, daimyou)) {
        const auto& entries = GundanAt(gs, other).tantouKuni;
        if (std::find(entries.begin(), entries.end(), kuni) != entries.end())
            return Refused(kGundanKuniTaken);
    }
    bool any = false, touches = false;
    for (std::int16_t k : corps.tantouKuni) {
        if (k < 0) continue;
        any = true;
        touches = touches || IsKuniAdjacent(gs, kuni, k);
    }
    if (any && !touches) return Refused(kGundanKuniNotAdjacent);
    const auto empty = std::find(corps.tantouKuni.begin(), corps.tantouKuni.end(), std::int16_t{-1});
    if (empty == corps.tantouKuni.end()) return Refused(kGundanKuniFull);
    *empty = static_cast<std::int16_t>(kuni);
    return {true, ""};
}

// --- assets ---------------------------------------------------------------------------------

GundanOutcome GiveGundanFunds(GameState& gs, int daimyou, int gundan, int amount) {
    if (!IsGundanOfDaimyou(gs, daimyou, gundan)) return Refused(kGundanSelect);
    CDaimyou& house = DaimyouAt(gs, daimyou);
    if (house.shikin <= 0) return Refused(ReplaceWordDaimyouke(kGundanHouseNoFunds, Words(gs)));
    return MoveStock(house.shikin, GundanAt(gs, gundan).shikin, amount);
}

GundanOutcome CollectGundanFunds(GameState& gs, int daimyou, int gundan, int amount) {
    if (!IsGundanOfDaimyou(gs, daimyou, gundan)) return Refused(kGundanSelect);
    CGundan& corps = GundanAt(gs, gundan);
    if (corps.shikin <= 0) return Refused(kGundanNoFunds);
    return MoveStock(corps.shikin, DaimyouAt(gs, daimyou).shikin, amount);
}

GundanOutcome GiveGundanTeppou(GameState& gs, int daimyou, int gundan, int amount) {
    if (!IsGundanOfDaimyou(gs, daimyou, gundan)) return Refused(kGundanSelect);
    CDaimyou& house = DaimyouAt(gs, daimyou);
    if (house.teppou <= 0)
        return Refused(ReplaceWordTeppou(ReplaceWordDaimyouke(kGundanHouseNoTeppou, Words(gs)), Words(gs)));
    if (amount < 0) return Refused(kGundanNegative);
    const int unit = std::max(1, gs.nHeiUnit);
    if (amount % unit != 0) return Refused(FormatText(kGundanMultipleOf, unit));
    return MoveStock(house.teppou, GundanAt(gs, gundan).teppou, amount / unit);
}

// --- the corps lists ----------------------------------------------------------------------------

GundanRowTexts MakeGundanRowTexts(const GameState& gs, int gundan,
                                  const std::function<std::string(int)>& kuniName) {
    GundanRowTexts t;
    if (!IsValidGundan(gundan)) return t;
    const CGundan& corps = GundanAt(gs, gundan);
    const int owner = corps.daimyou;
    const ScenarioWordArray& w = Words(gs);
    t.name = FormatText("%s 軍団",
                        IsValidBushou(gs, corps.leader) ? BushouAt(gs, corps.leader).name.c_str() : "---");
    int members = 0;
    for (int b : BushouIndexes(gs))
        members += BushouAt(gs, b).gundan == gundan;
    t.bushou = FormatText("%d", members);
    t.funds = FormatText("%d", corps.shikin);
    t.teppou = FormatText("%d", static_cast<int>(std::int64_t{corps.teppou} * gs.nHeiUnit));
    t.shiro = FormatText("%d", owner >= 0 ? CountShiroOfGundan(gs, owner, gundan) : 0);
    const std::int64_t koku = owner >= 0 ? SumKokudakaOfGundan(gs, owner, gundan) : 0;
    t.kokudaka = FormatText("%d万%04d", static_cast<int>(koku / 10000), static_cast<int>(koku % 10000)) +
                 ReplaceWordKoku("石", w);
    t.order = GetGundanOrderWord(corps.order);
    for (std::int16_t k : corps.tantouKuni) {
        if (k < 0) continue;
        if (!t.kuni.empty()) t.kuni += "・";
        t.kuni += kuniName ? kuniName(k) : std::to_string(k);
    }
    return t;
}

}  // namespace rymd
