// Castles of a scenario: the ShiroType and Shiro sections.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <limits>
#include <string>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/scenario/world_fields.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"

namespace rymd {

namespace {

constexpr std::size_t kTypeTokenSize = 100;
constexpr std::size_t kShiroTokenSize = 10001;

// A province holds at most this many castles.
constexpr int kMaxShiroPerKuni = 100;

constexpr int kErrTooManyShiro = 9;
constexpr int kErrShiroIdTooLong = 10;
constexpr int kErrShiroIdTwice = 11;
constexpr int kErrShiroNameTooLong = 12;
constexpr int kErrBadDaimyouId = 14;
constexpr int kErrKibo = 23;
constexpr int kErrBadPort = 33;
constexpr int kErrKouekisen = 34;
constexpr int kErrGunsen = 35;
constexpr int kErrSupport = 41;
constexpr int kErrTooManyShiroInKuni = 45;
constexpr int kErrBadShiroPicture = 62;
constexpr int kErrMaxKibo = 78;
constexpr int kErrTooManyShiroType = 97;
constexpr int kErrShiroTypeIdTooLong = 98;
constexpr int kErrShiroTypeIdTwice = 99;
constexpr int kErrBadShiroType = 101;

// Picture words of a castle type. A named picture of the province map is stored as its
// position, which must stay below the words' own values.
constexpr std::uint16_t kPictureBuiltIn = 0x8000;
constexpr std::uint16_t kIconBuiltIn = 0xFFFF;

// Castle offsets are given in map pixels by old scenarios and in 1/128 pixel since version 5.
std::int32_t ScalePosition(int value, int version) {
    long long v = version < 5 ? static_cast<long long>(value) * 128 : value;
    v = std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(v);
}

}  // namespace

int CScenarioReader::ReadShiroType() {
    world::LineFields line(*this, kTypeTokenSize);
    const int v = scenarioVer_;

    // A picture field: the built-in word gives builtIn, any other token names a picture of
    // the province map.
    auto picture = [&](const std::string& token, std::uint16_t builtIn, std::uint16_t& out) -> int {
        if (token == "NORMAL") {
            out = builtIn;
            return kScnOk;
        }
        int index = map_.FindPicture(token);
        if (index < 0 || index >= kPictureBuiltIn) return kScnBadPicture;
        out = static_cast<std::uint16_t>(index);
        return kScnOk;
    };

    std::string token;
    for (;;) {
        int r = line.Start(token);
        if (r == world::kSectionClosed) {
            // Castles read before this section named the built-in types by position: each of
            // them must still name a type that exists.
            for (int s = 0; s < nShiro_ && nShiroType_ > 0; ++s)
                if (ShiroMapSlotAt(gs_, s).shiroType >= nShiroType_) return kErrBadShiroType;
            return kScnOk;
        }
        if (r != kScnOk) return r;
        if (nShiroType_ >= GameState::kMaxShiroType) return kErrTooManyShiroType;
        if (token.size() > world::kMaxIdBytes) return kErrShiroTypeIdTooLong;
        if (FindId(shiroTypeIds_, nShiroType_, token) >= 0) return kErrShiroTypeIdTwice;
        StoreId(shiroTypeIds_[static_cast<std::size_t>(nShiroType_)], token);

        ShiroTypeRecord rec;
        auto& w = rec.words;

        // Castle illustration.
        if (int e = line.Word(token, false); e != kScnOk) return e;
        if (token == "CHINA")
            w[0] = 0x8001;
        else if (token == "EUROPE")
            w[0] = 0x8002;
        else if (token == "GENDAI")
            w[0] = 0x8003;
        else if (int e = picture(token, kPictureBuiltIn, w[0]); e != kScnOk)
            return e;

        // Field-battle backgrounds of the four seasons, then the naval-battle background.
        for (int i = 1; i <= 5; ++i) {
            if (int e = line.Word(token, i == 5 && v < 9); e != kScnOk) return e;
            if (int e = picture(token, kPictureBuiltIn, w[static_cast<std::size_t>(i)]); e != kScnOk)
                return e;
        }

        // Castle-map icons, one per display class.
        for (int i = 0; i < 7; ++i) {
            std::uint16_t& icon = w[static_cast<std::size_t>(6 + i)];
            icon = kIconBuiltIn;
            if (v < 9) continue;
            if (int e = line.Word(token, i == 6 && v == 9); e != kScnOk) return e;
            if (int e = picture(token, kIconBuiltIn, icon); e != kScnOk) return e;
        }

        // Drawing offsets of the castle map.
        if (v >= 10) {
            for (int i = 0; i < 20; ++i) {
                int value = 0;
                if (int e = line.Int(value, i == 19); e != kScnOk) return e;
                w[static_cast<std::size_t>(13 + i)] = static_cast<std::uint16_t>(value);
            }
        } else {
            auto word = [](int value) { return static_cast<std::uint16_t>(value); };
            w[13] = word(gs_.nShiroOffsetX);
            w[14] = word(gs_.nShiroOffsetY);
            w[15] = 0;
            w[16] = word(gs_.nShiroNameOffset);
            w[17] = 0;
            w[18] = word(gs_.nDaimyouNameOffset);
            for (int i = 19; i <= 24; ++i)
                w[static_cast<std::size_t>(i)] = 0;
            w[25] = w[26] = word(-10);
            w[27] = w[28] = 10;
            w[29] = w[30] = 0;
            w[31] = 20;
            w[32] = 30;
        }

        gs_.ShiroTypeTbl[static_cast<std::size_t>(nShiroType_)] = rec;
        ++nShiroType_;
    }
}

int CScenarioReader::ReadShiro() {
    world::LineFields line(*this, kShiroTokenSize);
    const int v = scenarioVer_;
    std::string token;
    for (;;) {
        int r = line.Start(token);
        if (r == world::kSectionClosed) return kScnOk;
        if (r != kScnOk) return r;
        if (nShiro_ >= GameState::kMaxShiro) return kErrTooManyShiro;
        if (token.size() > world::kMaxIdBytes) return kErrShiroIdTooLong;
        if (FindId(shiroIds_, nShiro_, token) >= 0) return kErrShiroIdTwice;
        StoreId(shiroIds_[static_cast<std::size_t>(nShiro_)], token);

        ShiroMapRecord m;
        CShiro s;
        int value = 0;

        if (int e = line.Word(token, false); e != kScnOk) return e;
        if (token.size() > world::kMaxNameBytes) return kErrShiroNameTooLong;
        m.name = token;  // file bytes until the whole file is read

        if (int e = line.Word(token, false); e != kScnOk) return e;
        const int kuni = map_.FindKuni(token);
        if (kuni < 0 || kuni >= GameState::kMaxKuni) return kScnBadKuniId;
        if (++shiroPerKuni_[kuni] > kMaxShiroPerKuni) return kErrTooManyShiroInKuni;
        m.kuni = static_cast<std::uint8_t>(kuni);

        // Maximum size 0 is a castle without works (it falls at the first siege turn).
        int maxKibo = 10;
        if (v >= 6)
            if (int e = line.IntIn(maxKibo, false, 0, 10, kErrMaxKibo); e != kScnOk) return e;
        m.maxKibo = static_cast<std::uint8_t>(maxKibo);
        if (int e = line.IntIn(value, false, 0, 10, kErrKibo); e != kScnOk) return e;
        if (value == 0 && maxKibo != 0) value = 1;
        s.kibo = static_cast<std::uint8_t>(value);

        if (int e = line.Int(value, false); e != kScnOk) return e;
        m.x = ScalePosition(value, v);
        if (int e = line.Int(value, false); e != kScnOk) return e;
        m.y = ScalePosition(value, v);

        // Rice yield, economy and mine lie within 0 and their maxima, as every rule keeps them; a
        // value that cannot be stored or played is refused like a value that is not a number.
        if (int e = line.IntIn(value, false, 0, INT_MAX, kScnNotInteger); e != kScnOk) return e;
        m.maxKokudaka = s.kokudaka = static_cast<std::uint32_t>(value);
        if (int e = line.IntIn(value, false, 0, INT16_MAX, kScnNotInteger); e != kScnOk) return e;
        m.maxKeizai = s.keizai = static_cast<std::int16_t>(value);
        if (v >= 2) {
            if (int e = line.IntIn(value, false, 0, INT16_MAX, kScnNotInteger); e != kScnOk) return e;
            m.maxKouzan = static_cast<std::int16_t>(value);
            if (int e = line.IntIn(value, false, 0, m.maxKouzan, kScnNotInteger); e != kScnOk) return e;
            s.kouzan = static_cast<std::int16_t>(value);
        }

        if (int e = line.Word(token, false); e != kScnOk) return e;
        if (token == "YES")
            m.flags |= ShiroMapRecord::kFlagPort;
        else if (token != "NO")
            return kErrBadPort;

        if (int e = line.IntIn(value, false, 0, 100, kErrKouekisen); e != kScnOk) return e;
        s.kouekisen = static_cast<std::uint8_t>(value);
        int gunsen = 0;
        if (int e = line.IntIn(gunsen, false, 0, 200, kErrGunsen); e != kScnOk) return e;

        if (v >= 8)  // a field that the game does not use
            if (int e = line.Word(token, false); e != kScnOk) return e;

        if (int e = line.IntIn(value, false, 0, 100, kErrSupport); e != kScnOk) return e;
        s.support = static_cast<std::int16_t>(value * 10);

        if (v >= 4) {
            if (int e = line.Word(token, false); e != kScnOk) return e;
            int type = -1;
            if (nShiroType_ > 0) {
                type = FindId(shiroTypeIds_, nShiroType_, token);
                if (type < 0) return kErrBadShiroType;
            } else {
                // Without castle types of its own a scenario uses the five built-in ones.
                static const char* const kBuiltIn[] = {"NORMAL", "RYUUKYUU", "CHINA", "EUROPE", "GENDAI"};
                for (int i = 0; i < 5 && type < 0; ++i)
                    if (token == kBuiltIn[i]) type = i;
                if (type < 0) return kErrBadShiroPicture;
            }
            m.shiroType = static_cast<std::int16_t>(type);
        }

        if (int e = line.Word(token, v < 7); e != kScnOk) return e;
        const int daimyou = FindId(daimyouIds_, nDaimyou_, token);
        if (daimyou < 0) return kErrBadDaimyouId;
        m.initDaimyou = static_cast<std::int16_t>(daimyou);

        m.textIndex = 0xFFFF;
        if (v >= 7) {
            if (int e = line.Description(token); e != kScnOk) return e;
            if (!token.empty()) {
                m.textIndex = static_cast<std::uint16_t>(gs_.ScenarioTextPool.size());
                gs_.ScenarioTextPool.push_back(token);
            }
        }

        m.ClearConnections();
        ShiroMapSlotAt(gs_, nShiro_) = m;
        ShiroSlotAt(gs_, nShiro_) = s;
        if (gunsen > 0) gs_.GunsenTable.AddGunsen(daimyou, nShiro_, gunsen);
        ++nShiro_;
    }
}

}  // namespace rymd
