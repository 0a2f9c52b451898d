// Houses of a scenario: the Daimyou section, and the conversion of the world's names and
// descriptions once the whole file is read.
#include <string>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/scenario/world_fields.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {

constexpr std::size_t kTokenSize = 10001;
// A scenario defines at most 999 houses: the last of the 1000 slots stays free for the dummy
// house that a spectator game appends.
constexpr int kMaxScenarioDaimyou = GameState::kMaxDaimyou - 1;

constexpr int kErrTooManyDaimyou = 3;
constexpr int kErrNameTooLong = 5;
constexpr int kErrBadKind = 6;
constexpr int kErrIdTooLong = 7;
constexpr int kErrIdTwice = 8;
constexpr int kErrKouzanGijutsu = 46;
constexpr int kErrTeppouTendency = 58;
constexpr int kErrGunsenTendency = 77;

// File bytes of a description to UTF-8: the two characters "\n" become a line break. The
// backslash is looked for on character boundaries only, since in Shift-JIS it is also the
// second byte of some double-byte characters.
std::string DescriptionToUtf8(const std::string& bytes, TextEncoding enc) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (IsLeadByte(c, enc) && i + 1 < bytes.size()) {
            out += bytes[i];
            out += bytes[++i];
        } else if (c == '\\' && i + 1 < bytes.size() && bytes[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += bytes[i];
        }
    }
    return ToUtf8(out, enc);
}

}  // namespace

int CScenarioReader::ReadDaimyou() {
    world::LineFields line(*this, kTokenSize);
    const int v = scenarioVer_;
    // The field that ends a line depends on the version.
    const int lastField = v < 3 ? 6 : v < 5 ? 7 : v < 7 ? 8 : 11;
    std::string token;
    for (;;) {
        int r = line.Start(token);
        if (r == world::kSectionClosed) return kScnOk;
        if (r != kScnOk) return r;
        if (nDaimyou_ >= kMaxScenarioDaimyou) return kErrTooManyDaimyou;
        if (token.size() > world::kMaxIdBytes) return kErrIdTooLong;
        if (FindId(daimyouIds_, nDaimyou_, token) >= 0) return kErrIdTwice;
        StoreId(daimyouIds_[static_cast<std::size_t>(nDaimyou_)], token);

        DaimyouInitRecord rec;
        if (int e = line.Word(token, false); e != kScnOk) return e;
        if (token.size() > world::kMaxNameBytes) return kErrNameTooLong;
        rec.name = token;  // file bytes until the whole file is read

        if (int e = line.Word(token, false); e != kScnOk) return e;
        int kind;
        if (token == "NORMAL")
            kind = 1;
        else if (token == "AINU")
            kind = 0;
        else if (token == "RYUUKYUU")
            kind = 2;
        else
            return kErrBadKind;

        int value = 0;
        if (int e = line.Int(value, false); e != kScnOk) return e;
        rec.koukaiGijutsu = static_cast<std::uint16_t>(value);  // the game caps it as it grows

        if (v >= 2) {
            if (int e = line.IntIn(value, false, 0, 500, kErrKouzanGijutsu); e != kScnOk) return e;
            rec.kouzanGijutsu = static_cast<std::uint16_t>(value * 10);
        }

        if (int e = line.Int(value, lastField == 6); e != kScnOk) return e;
        rec.shikin = value;  // -1: the new-game set-up works the funds out

        rec.teppouTendency = 10;
        if (v >= 3) {
            if (int e = line.IntIn(value, lastField == 7, 0, 100, kErrTeppouTendency); e != kScnOk) return e;
            rec.teppouTendency = static_cast<std::uint8_t>(value);
        }
        rec.gunsenTendency = 3;
        if (v >= 5) {
            if (int e = line.IntIn(value, lastField == 8, 0, 10, kErrGunsenTendency); e != kScnOk) return e;
            rec.gunsenTendency = static_cast<std::uint8_t>(value);
        }

        int notForPlayer = 0, behaviour = 0;
        if (v >= 10) {
            if (int e = line.Word(token, false); e != kScnOk) return e;
            if (token == "YES")
                notForPlayer = 0;
            else if (token == "NO")
                notForPlayer = 1;
            else
                return kScnSyntax;
            if (int e = line.Word(token, false); e != kScnOk) return e;
            if (token == "NORMAL")
                behaviour = 0;
            else if (token == "STATIC")
                behaviour = 1;
            else if (token == "NOATTACK")
                behaviour = 2;
            else
                return kScnSyntax;
        }
        rec.kindByte = static_cast<std::uint8_t>(kind | notForPlayer << 7 | behaviour << 4);

        rec.textIndex = 0xFFFF;
        if (v >= 7) {
            if (int e = line.Description(token); e != kScnOk) return e;
            if (!token.empty()) {
                rec.textIndex = static_cast<std::uint16_t>(gs_.ScenarioTextPool.size());
                gs_.ScenarioTextPool.push_back(token);
            }
        }

        gs_.DaimyouInitTbl[static_cast<std::size_t>(nDaimyou_)] = rec;
        ++nDaimyou_;
    }
}

void CScenarioReader::ConvertWorldTexts() {
    const TextEncoding enc = gs_.Encoding();
    // Only the world sections add to the text pool, each entry as the file's bytes.
    for (std::string& text : gs_.ScenarioTextPool)
        text = DescriptionToUtf8(text, enc);
    for (int i = 0; i < nDaimyou_; ++i) {
        std::string& name = gs_.DaimyouInitTbl[static_cast<std::size_t>(i)].name;
        name = ToUtf8(name, enc);
    }
    for (int i = 0; i < nShiro_; ++i) {
        std::string& name = ShiroMapSlotAt(gs_, i).name;
        name = ToUtf8(name, enc);
    }
    for (int i = 0; i < nBushou_; ++i) {
        std::string& name = gs_.BushouExTbl[static_cast<std::size_t>(i)].name;
        name = ToUtf8(name, enc);
    }
}

}  // namespace rymd
