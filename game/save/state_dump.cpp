#include "game/save/state_dump.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {

// A small JSON writer: objects and arrays on one line each, fields in the order written.
class Json {
public:
    std::string text;

    void Open(char c) {
        Separate();
        text += c;
        first_ = true;
    }
    void Close(char c) {
        text += c;
        first_ = false;
    }
    void Key(std::string_view key) {
        Separate();
        String(key);
        text += ':';
        first_ = true;
    }
    void Int(long long v) {
        Separate();
        text += std::to_string(v);
    }
    void Bool(bool v) {
        Separate();
        text += v ? "true" : "false";
    }
    void Str(std::string_view s) {
        Separate();
        String(s);
    }
    void Field(std::string_view key, long long v) { Key(key), Int(v); }
    void Field(std::string_view key, std::string_view s) { Key(key), Str(s); }
    void Newline() { text += '\n'; }

private:
    void Separate() {
        if (!first_) text += ',';
        first_ = false;
    }
    void String(std::string_view s) {
        text += '"';
        for (unsigned char c : s) {
            switch (c) {
                case '"': text += "\\\""; break;
                case '\\': text += "\\\\"; break;
                case '\n': text += "\\n"; break;
                case '\r': text += "\\r"; break;
                case '\t': text += "\\t"; break;
                default:
                    if (c < 0x20) {
                        char buf[8];
                        std::snprintf(buf, sizeof buf, "\\u%04x", c);
                        text += buf;
                    } else {
                        text += static_cast<char>(c);
                    }
            }
        }
        text += '"';
    }
    bool first_ = true;
};

std::string IdAt(const std::vector<std::string_view>& ids, int i, TextEncoding enc) {
    if (i < 0 || static_cast<std::size_t>(i) >= ids.size()) return "";
    return ToUtf8(ids[static_cast<std::size_t>(i)], enc);
}

}  // namespace

std::string DumpStateJson(const GameState& gs, const MbKorMap::CCtrlKorMap& map,
                          const std::string& stateHash) {
    const TextEncoding enc = gs.Encoding();
    const std::vector<std::string_view> houseIds = gs.NameIndex.Names(1);
    const std::vector<std::string_view> castleIds = gs.NameIndex.Names(3);
    const std::vector<std::string_view> generalIds = gs.NameIndex.Names(4);

    // What each house owns itself (not its vassals).
    std::vector<int> ownCastles(static_cast<std::size_t>(gs.nDaimyou), 0);
    std::vector<long long> ownKokudaka(static_cast<std::size_t>(gs.nDaimyou), 0);
    for (int s = 0; s < gs.nShiro; ++s) {
        int owner = gs.ShiroTbl[s].daimyou;
        if (owner < 0 || owner >= gs.nDaimyou) continue;
        ++ownCastles[static_cast<std::size_t>(owner)];
        ownKokudaka[static_cast<std::size_t>(owner)] += gs.ShiroTbl[s].kokudaka;
    }

    Json j;
    j.Open('{');
    j.Key("date");
    j.Open('{');
    j.Field("year", gs.nCurYear);
    j.Field("month", gs.nCurMonth);
    j.Close('}');
    j.Field("phase", gs.nPhase);
    j.Field("player", gs.nPlayerDaimyou);
    j.Key("spectator");
    j.Bool(gs.bSpectator);
    j.Key("counts");
    j.Open('{');
    j.Field("houses", gs.nDaimyou);
    j.Field("castles", gs.nShiro);
    j.Field("generals", gs.nBushou);
    j.Field("generals_not_appeared", gs.nMitoujouBushou);
    j.Close('}');

    j.Key("houses");
    j.Open('[');
    for (int d = 0; d < gs.nDaimyou; ++d) {
        const CDaimyou& h = gs.DaimyouTbl[d];
        j.Newline();
        j.Open('{');
        j.Field("index", d);
        j.Field("id", IdAt(houseIds, d, enc));
        j.Field("name", h.name);
        j.Field("head", h.toushu);
        j.Field("funds", h.shikin);
        j.Field("bond", h.bond);
        j.Field("master", h.masterDaimyou);
        j.Field("kind", h.GetKind());
        j.Field("castles", ownCastles[static_cast<std::size_t>(d)]);
        j.Field("kokudaka", ownKokudaka[static_cast<std::size_t>(d)]);
        j.Close('}');
    }
    j.Close(']');

    j.Key("castles");
    j.Open('[');
    for (int s = 0; s < gs.nShiro; ++s) {
        const CShiro& c = gs.ShiroTbl[s];
        const ShiroMapRecord& m = gs.ShiroMapTbl[s];
        j.Newline();
        j.Open('{');
        j.Field("index", s);
        j.Field("id", IdAt(castleIds, s, enc));
        j.Field("name", m.name);
        j.Field("province", m.kuni < map.KuniCount() ? ToUtf8(map.Kuni(m.kuni).id, enc) : std::string());
        j.Field("owner", c.daimyou);
        j.Field("corps", c.gundan);
        j.Field("lord", c.commander);
        j.Field("size", c.kibo);
        j.Field("kokudaka", c.kokudaka);
        j.Field("economy", c.keizai);
        j.Field("provisions", c.hyourou);
        j.Field("garrison", c.shubihei);
        j.Field("support", c.support);
        j.Key("generals");
        j.Open('[');
        for (int i = 0; i < c.nBushou && i < CShiro::kMaxBushou; ++i)
            j.Int(c.bushou[static_cast<std::size_t>(i)]);
        j.Close(']');
        j.Close('}');
    }
    j.Close(']');

    j.Key("generals");
    j.Open('[');
    for (int b = 0; b < gs.nBushou; ++b) {
        const CBushou& g = gs.BushouTbl[b];
        j.Newline();
        j.Open('{');
        j.Field("index", b);
        j.Field("id", IdAt(generalIds, g.id, enc));
        j.Field("name", g.name);
        j.Field("house", g.daimyou);
        j.Field("castle", g.shiro);
        j.Field("corps", g.gundan);
        j.Field("status", g.status);
        j.Field("cavalry", g.cavalry);
        j.Field("foot", g.foot);
        j.Field("muskets", g.muskets);
        j.Close('}');
    }
    j.Close(']');
    j.Newline();
    j.Field("state_hash", stateHash);
    j.Close('}');
    j.Newline();
    return std::move(j.text);
}

}  // namespace rymd
