// Stored forms of the records the world sections fill: castle geography, castle types, the
// generals' and houses' scenario records, and coalitions. Saved games keep them as raw
// little-endian images; nothing is copied from memory as it lies.
#include <cstring>

#include "game/state/byte_codec.h"
#include "game/state/game_state.h"
#include "game/state/scenario_records.h"

namespace rymd {

using namespace bytes;

namespace {

constexpr std::size_t kNameBytes = 20;
constexpr std::uint16_t kEndMark = 0xFFFF;
constexpr std::uint16_t kRouteOtherSide = 0xFFFE;

bool IsHouse(int v) {
    return v >= 0 && v < GameState::kMaxDaimyou;
}

}  // namespace

// =============================================================================================
// Castle geography (114 bytes)

void Encode(const ShiroMapRecord& r, std::uint8_t* out, TextEncoding enc) {
    std::memset(out, 0, ShiroMapRecord::kStoredSize);
    PutU16(out, 0, r.textIndex);
    PutName(out, 2, r.name, kNameBytes, enc);
    PutU8(out, 23, r.kuni);
    PutU8(out, 24, r.maxKibo);
    PutI32(out, 26, r.x);
    PutI32(out, 30, r.y);
    PutU32(out, 34, r.maxKokudaka);
    PutI16(out, 38, r.maxKeizai);
    PutI16(out, 40, r.maxKouzan);
    for (std::size_t i = 0; i < r.connect.size(); ++i) {
        PutU16(out, 42 + 2 * i, r.connect[i].shiro);
        PutU16(out, 64 + 2 * i, r.connect[i].route);
        PutU8(out, 86 + i, r.connect[i].kind);
        PutU8(out, 97 + i, r.connect[i].drawFlags);
    }
    PutI16(out, 108, r.initDaimyou);
    PutU8(out, 110, r.flags);
    PutI16(out, 112, r.shiroType);
}

bool Decode(const std::uint8_t* in, ShiroMapRecord& r, TextEncoding enc) {
    ShiroMapRecord m;
    m.textIndex = GetU16(in, 0);
    m.name = GetName(in, 2, kNameBytes, enc);
    m.kuni = GetU8(in, 23);
    m.maxKibo = GetU8(in, 24);
    m.x = GetI32(in, 26);
    m.y = GetI32(in, 30);
    m.maxKokudaka = GetU32(in, 34);
    m.maxKeizai = GetI16(in, 38);
    m.maxKouzan = GetI16(in, 40);
    for (std::size_t i = 0; i < m.connect.size(); ++i) {
        m.connect[i].shiro = GetU16(in, 42 + 2 * i);
        m.connect[i].route = GetU16(in, 64 + 2 * i);
        m.connect[i].kind = GetU8(in, 86 + i);
        m.connect[i].drawFlags = GetU8(in, 97 + i);
    }
    m.initDaimyou = GetI16(in, 108);
    m.flags = GetU8(in, 110);
    m.shiroType = GetI16(in, 112);

    if (m.kuni >= GameState::kMaxKuni || m.maxKibo > 10) return false;
    if (m.initDaimyou != -1 && !IsHouse(m.initDaimyou)) return false;
    if (m.shiroType < 0 || m.shiroType >= GameState::kMaxShiroType) return false;
    // The list ends within its eleven slots (the last always holds the end mark); every
    // connection before the end names a castle, a road kind and a route that can exist.
    if (m.connect[ShiroMapRecord::kMaxConnection].shiro != kEndMark) return false;
    for (const ShiroConnection& c : m.connect) {
        if (c.shiro == kEndMark) break;
        if (c.shiro >= GameState::kMaxShiro || c.kind > 3) return false;
        if (c.route < kRouteOtherSide && c.route >= GameState::kMaxRoutePoint) return false;
    }
    r = std::move(m);
    return true;
}

// =============================================================================================
// Castle type (66 bytes)

void Encode(const ShiroTypeRecord& r, std::uint8_t* out) {
    for (std::size_t i = 0; i < r.words.size(); ++i)
        PutU16(out, 2 * i, r.words[i]);
}

bool Decode(const std::uint8_t* in, ShiroTypeRecord& r) {
    for (std::size_t i = 0; i < r.words.size(); ++i)
        r.words[i] = GetU16(in, 2 * i);
    return true;
}

// =============================================================================================
// A general's scenario record (48 bytes)

void Encode(const BushouExRecord& r, std::uint8_t* out, TextEncoding enc) {
    std::memset(out, 0, BushouExRecord::kStoredSize);
    PutU16(out, 0, r.textIndex);
    PutName(out, 2, r.name, kNameBytes, enc);
    PutU8(out, 23, r.buyuu);
    PutU8(out, 24, r.seiji);
    PutU8(out, 25, r.chibou);
    PutU8(out, 26, r.yasenTousotsu);
    PutU8(out, 27, r.suigunTousotsu);
    PutU8(out, 28, r.yashin);
    PutU8(out, 29, r.chuusei);
    PutI16(out, 30, r.cavalry);
    PutI16(out, 32, r.foot);
    PutI16(out, 34, r.muskets);
    PutI16(out, 36, r.birthYear);
    PutI16(out, 38, r.deathYear);
    PutI16(out, 40, r.appearYear);
    PutI16(out, 42, r.daimyou);
    PutU16(out, 44, r.location);
    PutI8(out, 46, r.successionRank);
    PutU8(out, 47, r.birthMark);
}

bool Decode(const std::uint8_t* in, BushouExRecord& r, TextEncoding enc) {
    BushouExRecord b;
    b.textIndex = GetU16(in, 0);
    b.name = GetName(in, 2, kNameBytes, enc);
    b.buyuu = GetU8(in, 23);
    b.seiji = GetU8(in, 24);
    b.chibou = GetU8(in, 25);
    b.yasenTousotsu = GetU8(in, 26);
    b.suigunTousotsu = GetU8(in, 27);
    b.yashin = GetU8(in, 28);
    b.chuusei = GetU8(in, 29);
    b.cavalry = GetI16(in, 30);
    b.foot = GetI16(in, 32);
    b.muskets = GetI16(in, 34);
    b.birthYear = GetI16(in, 36);
    b.deathYear = GetI16(in, 38);
    b.appearYear = GetI16(in, 40);
    b.daimyou = GetI16(in, 42);
    b.location = GetU16(in, 44);
    b.successionRank = GetI8(in, 46);
    b.birthMark = GetU8(in, 47);

    // House: free (-2), none (-1), or a house, perhaps marked in bit 15.
    const int house = static_cast<std::uint16_t>(b.daimyou) & 0x7FFF;
    if (b.daimyou != -2 && b.daimyou != -1 && !IsHouse(house)) return false;
    // Location: a castle, or a province with bit 15.
    const int place = b.location & 0x7FFF;
    if ((b.location & 0x8000) != 0 ? place >= GameState::kMaxKuni : place >= GameState::kMaxShiro)
        return false;
    r = std::move(b);
    return true;
}

// =============================================================================================
// A house's scenario record (34 bytes)

void Encode(const DaimyouInitRecord& r, std::uint8_t* out, TextEncoding enc) {
    std::memset(out, 0, DaimyouInitRecord::kStoredSize);
    PutU16(out, 0, r.textIndex);
    PutName(out, 2, r.name, kNameBytes, enc);
    PutU8(out, 23, r.kindByte);
    PutI32(out, 24, r.shikin);
    PutU16(out, 28, r.koukaiGijutsu);
    PutU16(out, 30, r.kouzanGijutsu);
    PutU8(out, 32, r.teppouTendency);
    PutU8(out, 33, r.gunsenTendency);
}

bool Decode(const std::uint8_t* in, DaimyouInitRecord& r, TextEncoding enc) {
    const std::uint8_t kindByte = GetU8(in, 23);
    // Kind (bits 0-2) and behaviour (bits 4-6) are one of three each.
    if ((kindByte & 0x07) > 2 || ((kindByte >> 4) & 0x07) > 2) return false;
    DaimyouInitRecord d;
    d.textIndex = GetU16(in, 0);
    d.name = GetName(in, 2, kNameBytes, enc);
    d.kindByte = kindByte;
    d.shikin = GetI32(in, 24);
    d.koukaiGijutsu = GetU16(in, 28);
    d.kouzanGijutsu = GetU16(in, 30);
    d.teppouTendency = GetU8(in, 32);
    d.gunsenTendency = GetU8(in, 33);
    r = std::move(d);
    return true;
}

// =============================================================================================
// Coalition (92 bytes, the first four the class slot)

void Encode(const CRengou& r, std::uint8_t* out) {
    std::memset(out, 0, CRengou::kStoredSize);
    PutI16(out, 4, r.target);
    PutI16(out, 6, r.nMember);
    for (std::size_t i = 0; i < r.member.size(); ++i)
        PutI16(out, 8 + 2 * i, r.member[i]);
}

bool Decode(const std::uint8_t* in, CRengou& r) {
    CRengou c;
    c.target = GetI16(in, 4);
    c.nMember = GetI16(in, 6);
    for (std::size_t i = 0; i < c.member.size(); ++i)
        c.member[i] = GetI16(in, 8 + 2 * i);
    if (!IsHouse(c.target) || c.nMember < 0 || c.nMember > CRengou::kMaxMember) return false;
    for (int i = 0; i < c.nMember; ++i)
        if (!IsHouse(c.member[static_cast<std::size_t>(i)])) return false;
    r = c;
    return true;
}

}  // namespace rymd
