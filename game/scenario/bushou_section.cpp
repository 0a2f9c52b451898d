// Generals of a scenario: the Bushou section.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/scenario/world_fields.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"

namespace rymd {

namespace {

constexpr std::size_t kTokenSize = 10001;

constexpr int kErrBadDaimyouId = 14;
constexpr int kErrTooManyBushou = 17;
constexpr int kErrNameTooLong = 18;
constexpr int kErrBuyuu = 24;
constexpr int kErrSeiji = 25;
constexpr int kErrChibou = 26;
constexpr int kErrChuusei = 27;
constexpr int kErrYashin = 28;
constexpr int kErrCavalry = 29;
constexpr int kErrFoot = 30;
constexpr int kErrMuskets = 31;
constexpr int kErrBadLocation = 50;
constexpr int kErrYasenTousotsu = 75;
constexpr int kErrSuigunTousotsu = 76;
constexpr int kErrBadDeathType = 102;
constexpr int kErrIdTooLong = 111;

constexpr std::int16_t kDaimyouFree = -2;          // "D_FREE": serves whoever holds his castle
constexpr std::uint16_t kDaimyouMarked = 0x8000;   // the house was written in parentheses
constexpr std::uint16_t kLocationIsKuni = 0x8000;  // the location is a province

std::int16_t Year(long long value) {
    return static_cast<std::int16_t>(value);
}

// The six abilities, 0 to 10 each; scenarios before version 5 give no field and sea command,
// which follow intellect and stand at 3.
int ReadAbilities(world::LineFields& line, int v, BushouExRecord& b) {
    int value = 0;
    auto ability = [&](std::uint8_t& out, int outOfRange) {
        int e = line.IntIn(value, false, 0, 10, outOfRange);
        if (e == kScnOk) out = static_cast<std::uint8_t>(value);
        return e;
    };
    if (int e = ability(b.buyuu, kErrBuyuu); e != kScnOk) return e;
    if (int e = ability(b.seiji, kErrSeiji); e != kScnOk) return e;
    if (int e = ability(b.chibou, kErrChibou); e != kScnOk) return e;
    if (v >= 5) {
        if (int e = ability(b.yasenTousotsu, kErrYasenTousotsu); e != kScnOk) return e;
        if (int e = ability(b.suigunTousotsu, kErrSuigunTousotsu); e != kScnOk) return e;
    } else {
        b.yasenTousotsu = b.chibou;
        b.suigunTousotsu = 3;
    }
    if (int e = ability(b.chuusei, kErrChuusei); e != kScnOk) return e;
    return ability(b.yashin, kErrYashin);
}

// Troops: the oldest scenarios give tens of soldier units, versions 3 to 5 soldier units, later
// ones soldiers. The limits hold for soldiers; the record keeps units.
int ReadTroops(world::LineFields& line, int v, int unit, BushouExRecord& b) {
    auto troops = [&](std::int16_t& out, int limit, int outOfRange) {
        int value = 0;
        if (int e = line.Int(value, false); e != kScnOk) return e;
        long long soldiers = value;
        if (v < 3) soldiers *= 10;
        if (v < 6) soldiers *= unit;
        if (soldiers < 0 || soldiers > limit) return outOfRange;
        out = static_cast<std::int16_t>(soldiers / unit);
        return static_cast<int>(kScnOk);
    };
    if (int e = troops(b.cavalry, 2000, kErrCavalry); e != kScnOk) return e;
    if (int e = troops(b.foot, 5000, kErrFoot); e != kScnOk) return e;
    return troops(b.muskets, 5000, kErrMuskets);
}

// Birth and death years, how he dies, and the year he appears.
int ReadLifeYears(world::LineFields& line, int v, int standardAge, std::string& token, BushouExRecord& b) {
    // Birth year, perhaps marked uncertain ("?") or otherwise noted ("*").
    if (int e = line.Word(token, false); e != kScnOk) return e;
    if (!token.empty() && (token.back() == '?' || token.back() == '*')) {
        b.birthMark = token.back() == '?' ? 1 : 2;
        token.pop_back();
    }
    int birth = 0, death = 0;
    if (!CScenarioReader::ParseInt(token, birth)) return kScnNotInteger;
    if (int e = line.Int(death, false); e != kScnOk) return e;

    // How he dies: a general killed or executed young lives at least to the standard age;
    // an unknown end is set at that age; death by illness keeps the year given.
    long long deathYear = death;
    if (v >= 7) {
        if (int e = line.Word(token, false); e != kScnOk) return e;
        const long long atStandardAge = static_cast<long long>(birth) + standardAge;
        if (token == "SENSHI" || token == "SHOKEI") {
            if (static_cast<long long>(death) - birth < standardAge) deathYear = atStandardAge;
        } else if (token == "UNKNOWN") {
            deathYear = atStandardAge;
        } else if (token != "BYOUSHI") {
            return kErrBadDeathType;
        }
    }
    b.birthYear = Year(birth);
    b.deathYear = Year(deathYear);

    int value = 0;
    if (int e = line.Int(value, false); e != kScnOk) return e;
    b.appearYear = Year(value);
    return kScnOk;
}

}  // namespace

int CScenarioReader::ReadBushou() {
    world::LineFields line(*this, kTokenSize);
    const int v = scenarioVer_;
    const int unit = std::max(1, gs_.nHeiUnit);
    std::string token;
    for (;;) {
        int r = line.Start(token);
        if (r == world::kSectionClosed) return kScnOk;
        if (r != kScnOk) return r;
        if (nBushou_ >= GameState::kMaxBushou) return kErrTooManyBushou;

        // Since version 10 a line starts with the general's identifier; older scenarios number
        // their generals in line order.
        std::string id;
        if (v >= 10) {
            if (token.size() > world::kMaxIdBytes) return kErrIdTooLong;
            id = token;
            if (int e = line.Word(token, false); e != kScnOk) return e;
        } else {
            char made[16];
            std::snprintf(made, sizeof made, "B_%05d", nBushou_);
            id = made;
        }
        StoreId(bushouIds_[static_cast<std::size_t>(nBushou_)], id);

        BushouExRecord b;
        if (token.size() > world::kMaxNameBytes) return kErrNameTooLong;
        b.name = token;  // file bytes until the whole file is read

        if (int e = ReadAbilities(line, v, b); e != kScnOk) return e;
        if (int e = ReadTroops(line, v, unit, b); e != kScnOk) return e;
        if (int e = ReadLifeYears(line, v, standardAge_, token, b); e != kScnOk) return e;

        // House: free, a house, or a house in parentheses.
        if (int e = line.Word(token, false); e != kScnOk) return e;
        if (token == "D_FREE") {
            b.daimyou = kDaimyouFree;
        } else {
            bool marked = false;
            if (token.size() >= 2 && token.front() == '(' && token.back() == ')') {
                token = token.substr(1, token.size() - 2);
                marked = true;
            }
            const int daimyou = token.empty() ? -1 : FindId(daimyouIds_, nDaimyou_, token);
            if (daimyou < 0) return kErrBadDaimyouId;
            b.daimyou = static_cast<std::int16_t>(daimyou | (marked ? kDaimyouMarked : 0));
        }

        int value = 0;
        if (int e = line.Int(value, false); e != kScnOk) return e;
        b.successionRank = static_cast<std::int8_t>(value & 0xFF);

        // Location: a castle, else a province.
        if (int e = line.Word(token, v < 7); e != kScnOk) return e;
        if (int shiro = FindId(shiroIds_, nShiro_, token); shiro >= 0) {
            b.location = static_cast<std::uint16_t>(shiro);
        } else {
            const int kuni = map_.FindKuni(token);
            if (kuni < 0 || kuni >= GameState::kMaxKuni) return kErrBadLocation;
            b.location = static_cast<std::uint16_t>(kuni | kLocationIsKuni);
        }

        b.textIndex = 0xFFFF;
        if (v >= 7) {
            if (int e = line.Description(token); e != kScnOk) return e;
            if (!token.empty()) {
                b.textIndex = static_cast<std::uint16_t>(gs_.ScenarioTextPool.size());
                gs_.ScenarioTextPool.push_back(token);
            }
        }

        gs_.BushouExTbl[static_cast<std::size_t>(nBushou_)] = b;
        ++nBushou_;
    }
}

}  // namespace rymd
