#include "game/state/records.h"

#include <algorithm>
#include <cstring>

#include "game/state/access.h"
#include "game/state/byte_codec.h"
#include "game/state/game_state.h"

namespace rymd {

using namespace bytes;

// =============================================================================================
// General

int CBushou::GetEffectiveDaimyou() const {
    return daimyou == kDaimyouHitojichi ? originDaimyou : daimyou;
}

void Encode(const CBushou& r, std::uint8_t* out, TextEncoding enc) {
    std::memset(out, 0, CBushou::kStoredSize);
    PutName(out, 4, r.name, CBushou::kNameBytes, enc);
    PutU8(out, 25, r.status);
    PutU8(out, 26, r.buyuu);
    PutU8(out, 27, r.seiji);
    PutU8(out, 28, r.yashin);
    PutU8(out, 29, r.chuusei);
    PutU8(out, 30, r.chibou);
    PutU8(out, 31, r.yasenTousotsu);
    PutU8(out, 32, r.suigunTousotsu);
    PutU8(out, 33, r.counter33);
    PutU8(out, 34, r.counter34);
    PutU8(out, 35, r.counter35);
    PutU8(out, 36, r.counter36);
    PutU8(out, 37, r.counter37);
    PutI16(out, 38, r.birthYear);
    PutI16(out, 40, r.deathYear);
    PutI16(out, 42, r.shiro);
    PutI16(out, 44, r.id);
    PutI16(out, 46, r.gundan);
    PutI16(out, 48, r.daimyou);
    PutI16(out, 50, r.holderDaimyou);
    PutI16(out, 52, r.originDaimyou);
    PutI16(out, 54, r.cavalry);
    PutI16(out, 56, r.foot);
    PutI16(out, 58, r.muskets);
    PutI16(out, 60, r.moveShiro);
    PutI16(out, 62, r.sortieShiro);
    PutI16(out, 64, r.sortieOrigin);
    for (std::size_t i = 0; i < r.joinDaimyou.size(); ++i)
        PutI16(out, 66 + 2 * i, r.joinDaimyou[i]);
    PutU16(out, 76, r.flags);
    PutU16(out, 78, r.unused78);
}

bool Decode(const std::uint8_t* in, CBushou& r, TextEncoding enc) {
    CBushou b;
    b.name = GetName(in, 4, CBushou::kNameBytes, enc);
    b.status = GetU8(in, 25);
    b.buyuu = GetU8(in, 26);
    b.seiji = GetU8(in, 27);
    b.yashin = GetU8(in, 28);
    b.chuusei = GetU8(in, 29);
    b.chibou = GetU8(in, 30);
    b.yasenTousotsu = GetU8(in, 31);
    b.suigunTousotsu = GetU8(in, 32);
    b.counter33 = GetU8(in, 33);
    b.counter34 = GetU8(in, 34);
    b.counter35 = GetU8(in, 35);
    b.counter36 = GetU8(in, 36);
    b.counter37 = GetU8(in, 37);
    b.birthYear = GetI16(in, 38);
    b.deathYear = GetI16(in, 40);
    b.shiro = GetI16(in, 42);
    b.id = GetI16(in, 44);
    b.gundan = GetI16(in, 46);
    b.daimyou = GetI16(in, 48);
    b.holderDaimyou = GetI16(in, 50);
    b.originDaimyou = GetI16(in, 52);
    b.cavalry = GetI16(in, 54);
    b.foot = GetI16(in, 56);
    b.muskets = GetI16(in, 58);
    b.moveShiro = GetI16(in, 60);
    b.sortieShiro = GetI16(in, 62);
    b.sortieOrigin = GetI16(in, 64);
    for (std::size_t i = 0; i < b.joinDaimyou.size(); ++i)
        b.joinDaimyou[i] = GetI16(in, 66 + 2 * i);
    b.flags = GetU16(in, 76);
    b.unused78 = GetU16(in, 78);
    r = std::move(b);
    return true;
}

int FindBushouIndexById(const GameState& gs, int id) {
    const int n = BushouCount(gs);
    for (int i = 0; i < n; ++i) {
        if (gs.BushouTbl[i].id == id) return i;
    }
    return -1;
}

int FindMitoujouBushouIndexById(const GameState& gs, int id) {
    const int n = std::clamp(gs.nMitoujouBushou, 0, GameState::kMaxBushou);
    for (int i = 0; i < n; ++i) {
        if (gs.MitoujouBushouTbl[i].id == id) return i;
    }
    return -1;
}

// =============================================================================================
// House

namespace {
bool IsHouseIndex(int other) {
    return other >= 0 && other < CDaimyou::kRelationCount;
}
}  // namespace

void CDaimyou::SetRelationLo(int other, int state) {
    if (!IsHouseIndex(other)) return;
    auto& b = relation[static_cast<std::size_t>(other)];
    b = static_cast<std::uint8_t>((b & 0xF0) | (state & 0x0F));
}

void CDaimyou::SetRelationHi(int other, int countdown) {
    if (!IsHouseIndex(other)) return;
    auto& b = relation[static_cast<std::size_t>(other)];
    b = static_cast<std::uint8_t>((b & 0x0F) | ((countdown & 0x0F) << 4));
}

const char* GetRelationWord(int state) {
    static const char* const kWords[] = {
        "宿敵", "---",        "不戦同盟",     "従属", "主家(従属)", "同主家(従属)",
        "臣従", "主家(臣従)", "同主家(臣従)", "連合", "連合盟主",
    };
    if (state < 0 || state > 10) return "";
    return kWords[state];
}

void Encode(const CDaimyou& r, std::uint8_t* out, TextEncoding enc) {
    std::memset(out, 0, CDaimyou::kStoredSize);
    PutI32(out, 4, r.toushu);
    PutI32(out, 8, r.carried8);
    PutI32(out, 12, r.shikin);
    PutI32(out, 16, r.teppou);
    PutName(out, 20, r.name, CDaimyou::kNameBytes, enc);
    PutU8(out, 41, r.revivalCount);
    PutU8(out, 42, r.kindByte);
    PutU8(out, 43, r.bond);
    PutU8(out, 44, r.strengthTrend);
    PutI32(out, 48, r.carried48);
    PutI32(out, 52, r.masterDaimyou);
    std::memcpy(out + 60, r.relation.data(), r.relation.size());
    PutI16(out, 1060, r.koukaiGijutsu);
    PutI16(out, 1062, r.kouzanGijutsu);
    for (std::size_t i = 0; i < r.strengthHistory.size(); ++i)
        PutI16(out, 1064 + 2 * i, r.strengthHistory[i]);
    PutU16(out, 1088, r.teppouSeisan);
    for (std::size_t i = 0; i < r.teppouOrder.size(); ++i) {
        PutU16(out, 1090 + 4 * i, r.teppouOrder[i].count);
        PutI8(out, 1090 + 4 * i + 2, r.teppouOrder[i].months);
    }
}

bool Decode(const std::uint8_t* in, CDaimyou& r, TextEncoding enc) {
    r.toushu = GetI32(in, 4);
    r.carried8 = GetI32(in, 8);
    r.shikin = GetI32(in, 12);
    r.teppou = GetI32(in, 16);
    r.name = GetName(in, 20, CDaimyou::kNameBytes, enc);
    r.revivalCount = GetU8(in, 41);
    r.kindByte = GetU8(in, 42);
    r.bond = GetU8(in, 43);
    r.strengthTrend = GetU8(in, 44);
    r.carried48 = GetI32(in, 48);
    r.masterDaimyou = GetI32(in, 52);
    std::memcpy(r.relation.data(), in + 60, r.relation.size());
    r.koukaiGijutsu = GetI16(in, 1060);
    r.kouzanGijutsu = GetI16(in, 1062);
    for (std::size_t i = 0; i < r.strengthHistory.size(); ++i)
        r.strengthHistory[i] = GetI16(in, 1064 + 2 * i);
    r.teppouSeisan = GetU16(in, 1088);
    for (std::size_t i = 0; i < r.teppouOrder.size(); ++i) {
        r.teppouOrder[i].count = GetU16(in, 1090 + 4 * i);
        r.teppouOrder[i].months = GetI8(in, 1090 + 4 * i + 2);
    }
    return true;
}

// =============================================================================================
// Corps

bool CGundan::IsShiroInTantouKuni(const GameState& gs, int shiro) const {
    if (!IsValidShiro(gs, shiro)) return false;
    const int kuni = ShiroMapAt(gs, shiro).kuni;
    return std::find(tantouKuni.begin(), tantouKuni.end(), kuni) != tantouKuni.end();
}

const char* GetGundanOrderWord(std::uint16_t order) {
    static const char* const kWords[] = {"待機", "侵攻", "内政", "侵攻・内政"};
    return kWords[order & 3];
}

void Encode(const CGundan& r, std::uint8_t* out, TextEncoding) {
    std::memset(out, 0, CGundan::kStoredSize);
    PutI32(out, 4, r.leader);
    PutI32(out, 8, r.daimyou);
    PutI32(out, 12, r.shikin);
    PutI32(out, 16, r.teppou);
    PutU16(out, 20, r.order);
    for (std::size_t i = 0; i < r.tantouKuni.size(); ++i) {
        const int k = r.tantouKuni[i];
        PutU8(out, 22 + i, (k < 0 || k > 254) ? 255 : static_cast<std::uint8_t>(k));
    }
}

bool Decode(const std::uint8_t* in, CGundan& r, TextEncoding) {
    r.leader = GetI32(in, 4);
    r.daimyou = GetI32(in, 8);
    r.shikin = GetI32(in, 12);
    r.teppou = GetI32(in, 16);
    r.order = GetU16(in, 20);
    for (std::size_t i = 0; i < r.tantouKuni.size(); ++i) {
        const std::uint8_t k = GetU8(in, 22 + i);
        r.tantouKuni[i] = k == 255 ? std::int16_t{-1} : static_cast<std::int16_t>(k);
    }
    return true;
}

// =============================================================================================
// Castle

namespace {

int ListCount(std::int8_t n) {
    return std::clamp<int>(n, 0, CShiro::kMaxBushou);
}

const CBushou* OnStage(const GameState& gs, std::int32_t index) {
    if (!IsValidBushou(gs, index)) return nullptr;
    return &gs.BushouTbl[static_cast<std::size_t>(index)];
}

// Sum over the first n entries of a list of the given term of each general on stage.
template <class Term>
int SumOver(const GameState& gs, const std::array<std::int32_t, CShiro::kMaxBushou>& list, std::int8_t n,
            Term term) {
    int sum = 0;
    const int count = ListCount(n);
    for (int i = 0; i < count; ++i) {
        if (const CBushou* b = OnStage(gs, list[static_cast<std::size_t>(i)])) sum += term(*b);
    }
    return sum;
}

bool Defends(const CBushou& b) {
    return (b.flags & CBushou::kFlagNotDefending) == 0;
}

bool RemoveFromList(std::array<std::int32_t, CShiro::kMaxBushou>& list, std::int8_t& n, int bushou) {
    const int count = ListCount(n);
    auto first = list.begin();
    auto last = list.begin() + count;
    auto it = std::find(first, last, bushou);
    if (it == last) return false;
    std::copy(it + 1, last, it);
    *(last - 1) = 0;
    n = static_cast<std::int8_t>(count - 1);
    return true;
}

}  // namespace

int CShiro::GetDefenseStrength(const GameState& gs) const {
    return shubihei +
           SumOver(gs, bushou, nBushou, [](const CBushou& b) { return Defends(b) ? b.cavalry + b.foot : 0; });
}

int CShiro::GetWeightedDefenseStrength(const GameState& gs) const {
    return shubihei + SumOver(gs, bushou, nBushou,
                              [](const CBushou& b) { return Defends(b) ? 3 * b.cavalry + b.foot : 0; });
}

int CShiro::GetBushouTroops(const GameState& gs) const {
    return SumOver(gs, bushou, nBushou, [](const CBushou& b) { return b.cavalry + b.foot; });
}

int CShiro::GetBushouTroopsOfGundan(const GameState& gs, int gundanIndex) const {
    return SumOver(gs, bushou, nBushou, [gundanIndex](const CBushou& b) {
        if (b.flags & CBushou::kFlagOrdered) return 0;
        if (gundanIndex != -1 && b.gundan != gundanIndex) return 0;
        return b.cavalry + b.foot;
    });
}

int CShiro::GetBesiegerTroops(const GameState& gs) const {
    return SumOver(gs, besieger, nBesieger, [](const CBushou& b) { return b.cavalry + b.foot; });
}

int CShiro::GetBesiegerStrength(const GameState& gs) const {
    return SumOver(gs, besieger, nBesieger, [](const CBushou& b) { return 3 * b.cavalry + b.foot; });
}

bool CShiro::RemoveBushou(int general) {
    return RemoveFromList(bushou, nBushou, general);
}

bool CShiro::RemoveBesieger(int general) {
    return RemoveFromList(besieger, nBesieger, general);
}

void Encode(const CShiro& r, std::uint8_t* out, TextEncoding) {
    std::memset(out, 0, CShiro::kStoredSize);
    PutI16(out, 4, r.daimyou);
    PutI16(out, 6, r.gundan);
    PutI16(out, 8, r.commander);
    PutI16(out, 10, r.besiegerDaimyou);
    PutU8(out, 12, r.kibo);
    PutU32(out, 16, r.kokudaka);
    PutI16(out, 20, r.siegeValue);
    PutU32(out, 24, r.hyourou);
    PutI16(out, 28, r.keizai);
    PutI16(out, 30, r.kouzan);
    PutI16(out, 32, r.shubihei);
    PutI8(out, 34, r.nBushou);
    PutI8(out, 35, r.nBesieger);
    for (std::size_t i = 0; i < CShiro::kMaxBushou; ++i) {
        PutI32(out, 36 + 4 * i, r.bushou[i]);
        PutI32(out, 116 + 4 * i, r.besieger[i]);
        PutI32(out, 200 + 4 * i, r.arrival[i]);
    }
    PutI8(out, 196, r.nArrival);
    PutI16(out, 280, r.blockadeDaimyou);
    PutI16(out, 282, r.support);
    PutI16(out, 284, r.harvestRate);
    PutU8(out, 286, r.kouekisen);
    PutU8(out, 287, r.gunsenBuilding);
    PutI16(out, 288, r.gunsenBuilder);
    for (std::size_t i = 0; i < CShiro::kVoyageCount; ++i) {
        const ShiroOrderSlot& v = r.voyage[i];
        PutU8(out, 290 + 4 * i, v.ships);
        PutU8(out, 291 + 4 * i, v.destination);
        PutU8(out, 292 + 4 * i, v.monthsLeft);
        PutU8(out, 293 + 4 * i, v.monthsTotal);
    }
}

bool Decode(const std::uint8_t* in, CShiro& r, TextEncoding) {
    const std::int8_t nBushou = GetI8(in, 34);
    const std::int8_t nBesieger = GetI8(in, 35);
    const std::int8_t nArrival = GetI8(in, 196);
    auto inRange = [](std::int8_t n) { return n >= 0 && n <= CShiro::kMaxBushou; };
    if (!inRange(nBushou) || !inRange(nBesieger) || !inRange(nArrival)) return false;

    r.daimyou = GetI16(in, 4);
    r.gundan = GetI16(in, 6);
    r.commander = GetI16(in, 8);
    r.besiegerDaimyou = GetI16(in, 10);
    r.kibo = GetU8(in, 12);
    r.kokudaka = GetU32(in, 16);
    r.siegeValue = GetI16(in, 20);
    r.hyourou = GetU32(in, 24);
    r.keizai = GetI16(in, 28);
    r.kouzan = GetI16(in, 30);
    r.shubihei = GetI16(in, 32);
    r.nBushou = nBushou;
    r.nBesieger = nBesieger;
    for (std::size_t i = 0; i < CShiro::kMaxBushou; ++i) {
        r.bushou[i] = GetI32(in, 36 + 4 * i);
        r.besieger[i] = GetI32(in, 116 + 4 * i);
        r.arrival[i] = GetI32(in, 200 + 4 * i);
    }
    r.nArrival = nArrival;
    r.blockadeDaimyou = GetI16(in, 280);
    r.support = GetI16(in, 282);
    r.harvestRate = GetI16(in, 284);
    r.kouekisen = GetU8(in, 286);
    r.gunsenBuilding = GetU8(in, 287);
    r.gunsenBuilder = GetI16(in, 288);
    for (std::size_t i = 0; i < CShiro::kVoyageCount; ++i) {
        ShiroOrderSlot& v = r.voyage[i];
        v.ships = GetU8(in, 290 + 4 * i);
        v.destination = GetU8(in, 291 + 4 * i);
        v.monthsLeft = GetU8(in, 292 + 4 * i);
        v.monthsTotal = GetU8(in, 293 + 4 * i);
    }
    return true;
}

}  // namespace rymd
