// How the houses stand toward each other at the start: the Doumei section.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_set>

#include "game/ports/ports.h"
#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/scenario/world_fields.h"
#include "game/state/game_state.h"

namespace rymd {

namespace {

constexpr std::size_t kTokenSize = 100;

constexpr int kErrBadDaimyouId = 14;
constexpr int kErrTooManyDoumei = 19;
constexpr int kErrBadDoumeiType = 20;

// Relation types of a line.
constexpr int kShukuteki = 0;  // arch-enemies
constexpr int kNothing = 1;    // plain neutrality
constexpr int kFusen = 2;      // non-aggression alliance
constexpr int kJuuzoku = 3;    // the second house becomes the first's subordinate
constexpr int kShinjuu = 6;    // the second house becomes the first's vassal

bool IsBond(int type) {
    return type == kFusen || type == kJuuzoku || type == kShinjuu;
}

// The two houses of a line, in either order (-1, "every other house", included).
std::uint32_t PairKey(int a, int b) {
    const auto lo = static_cast<std::uint32_t>(std::min(a, b) + 1),
               hi = static_cast<std::uint32_t>(std::max(a, b) + 1);
    return lo << 16 | hi;
}

}  // namespace

int CScenarioReader::ReadDoumei() {
    world::LineFields line(*this, kTokenSize);
    std::string token;
    // The pairs already bound by an earlier line (of this section or an earlier one).
    std::unordered_set<std::uint32_t> bound;
    for (int i = 0; i < nDoumei_; ++i) {
        const DoumeiInitRecord& d = gs_.DoumeiInitTbl[static_cast<std::size_t>(i)];
        if (IsBond(d.type)) bound.insert(PairKey(d.daimyou, d.other));
    }
    for (;;) {
        int r = line.Start(token);
        if (r == world::kSectionClosed) return kScnOk;
        if (r != kScnOk) return r;
        if (nDoumei_ >= GameState::kMaxDoumeiInit) return kErrTooManyDoumei;

        const int a = FindId(daimyouIds_, nDaimyou_, token);
        if (a < 0) return kErrBadDaimyouId;

        if (int e = line.Word(token, false); e != kScnOk) return e;
        int type;
        if (token == "FUSEN")
            type = kFusen;
        else if (token == "JUUZOKU")
            type = kJuuzoku;
        else if (token == "SHINJUU")
            type = kShinjuu;
        else if (token == "SHUKUTEKI")
            type = kShukuteki;
        else if (token == "NOTHING")
            type = kNothing;
        else
            return kErrBadDoumeiType;

        if (int e = line.Word(token, true); e != kScnOk) return e;
        int b = -1;  // "D_ALL": every other house
        if (token != "D_ALL") {
            b = FindId(daimyouIds_, nDaimyou_, token);
            if (b < 0) return kErrBadDaimyouId;
        }

        // Two bonds between the same two houses: the author is told once for the line that
        // repeats a pair, and both lines stay (they are applied in order).
        if (IsBond(type) && !bound.insert(PairKey(a, b)).second) {
            char text[96];
            std::snprintf(text, sizeof text, "同盟関係の２重定義があります(Line No.%d)", TokenLine());
            ports_.inform->Inform(text);
        }

        gs_.DoumeiInitTbl[static_cast<std::size_t>(nDoumei_)] = DoumeiInitRecord{
            static_cast<std::int16_t>(a), static_cast<std::int16_t>(b), static_cast<std::int16_t>(type)};
        ++nDoumei_;
    }
}

}  // namespace rymd
