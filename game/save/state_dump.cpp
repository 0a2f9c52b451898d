#include "game/save/state_dump.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/state/access.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {

// Keys keep the order they are written in.
using Json = nlohmann::ordered_json;

// Every number of the dump is an integer, whatever the width of the field it comes from.
template <typename T>
std::int64_t Int(T v) {
    return static_cast<std::int64_t>(v);
}

std::string IdAt(const std::vector<std::string_view>& ids, int i, TextEncoding enc) {
    if (i < 0 || static_cast<std::size_t>(i) >= ids.size()) return "";
    return ToUtf8(ids[static_cast<std::size_t>(i)], enc);
}

Json DumpGenerals(const GameState& gs, const std::vector<std::string_view>& generalIds, TextEncoding enc) {
    Json generals = Json::array();
    for (int b = 0; b < gs.nBushou; ++b) {
        const CBushou& g = gs.BushouTbl[b];
        generals.push_back({{"index", Int(b)},
                            {"id", IdAt(generalIds, g.id, enc)},
                            {"name", g.name},
                            {"house", Int(g.daimyou)},
                            {"castle", Int(g.shiro)},
                            {"corps", Int(g.gundan)},
                            {"status", Int(g.status)},
                            {"holder", Int(g.holderDaimyou)},
                            {"former", Int(g.originDaimyou)},
                            {"cavalry", Int(g.cavalry)},
                            {"foot", Int(g.foot)},
                            {"muskets", Int(g.muskets)},
                            {"ordered", Int((g.flags & CBushou::kFlagOrdered) != 0)},
                            {"move_to", Int(g.moveShiro)},
                            {"sortie_to", Int(g.sortieShiro)},
                            {"by_water", Int((g.flags & CBushou::kFlagByWater) != 0)}});
    }
    return generals;
}

// The fleets: where they lie, how many ships, where they are ordered (-1 none), and whether they
// blockade the castle.
Json DumpFleets(const GameState& gs) {
    Json fleets = Json::array();
    for (std::uint32_t r = 0; r < gs.GunsenTable.count && r < CGunsenTable::kMaxRecord; ++r) {
        const GunsenRecord& f = gs.GunsenTable.records[r];
        fleets.push_back({{"owner", Int(f.owner)},
                          {"castle", Int(f.shiro)},
                          {"ships", Int(f.ships)},
                          {"destination", Int(f.IsFree() ? -1 : f.destination)},
                          {"blockade", Int(f.IsBlockade())}});
    }
    return fleets;
}

// The used corps slots: leader, owning house, funds, musket stock, the orders word and the
// provinces in charge (province identifiers of the map, in entry order).
Json DumpCorps(const GameState& gs, const MbKorMap::CCtrlKorMap& map, TextEncoding enc) {
    Json corps = Json::array();
    for (int k = 0; k < GameState::kMaxGundan; ++k) {
        const CGundan& c = gs.GundanTbl[static_cast<std::size_t>(k)];
        if (c.IsFree()) continue;
        Json provinces = Json::array();
        for (std::int16_t p : c.tantouKuni)
            if (p >= 0)
                provinces.push_back(p < map.KuniCount() ? ToUtf8(map.Kuni(p).id, enc) : std::to_string(p));
        corps.push_back({{"index", Int(k)},
                         {"leader", Int(c.leader)},
                         {"owner", Int(c.daimyou)},
                         {"funds", Int(c.shikin)},
                         {"muskets", Int(c.teppou)},
                         {"orders", Int(c.order)},
                         {"provinces", std::move(provinces)}});
    }
    return corps;
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
    std::vector<std::int64_t> ownKokudaka(static_cast<std::size_t>(gs.nDaimyou), 0);
    for (int s = 0; s < gs.nShiro; ++s) {
        int owner = ShiroAt(gs, s).daimyou;
        if (owner < 0 || owner >= gs.nDaimyou) continue;
        ++ownCastles[static_cast<std::size_t>(owner)];
        ownKokudaka[static_cast<std::size_t>(owner)] += ShiroAt(gs, s).kokudaka;
    }

    Json j = Json::object();
    j["date"] = {{"year", Int(gs.nCurYear)}, {"month", Int(gs.nCurMonth)}};
    j["phase"] = Int(gs.nPhase);
    j["player"] = Int(gs.nPlayerDaimyou);
    j["spectator"] = static_cast<bool>(gs.bSpectator);
    j["counts"] = {{"houses", Int(gs.nDaimyou)},
                   {"castles", Int(gs.nShiro)},
                   {"generals", Int(gs.nBushou)},
                   {"generals_not_appeared", Int(gs.nMitoujouBushou)}};

    // The player's diplomacy of this phase: whether the house's side changed (no more changes of
    // master, applications or independence), and per house its relation state toward the player
    // and whether the player has dealt with it.
    j["diplomacy_barred"] = static_cast<bool>(gs.bGaikouBarred);
    const bool player = gs.nPlayerDaimyou >= 0 && gs.nPlayerDaimyou < gs.nDaimyou;
    Json& houses = j["houses"] = Json::array();
    for (int d = 0; d < gs.nDaimyou; ++d) {
        const CDaimyou& h = gs.DaimyouTbl[d];
        int ordered = 0;
        for (const TeppouOrder& o : h.teppouOrder)
            ordered += o.count;
        houses.push_back({{"index", Int(d)},
                          {"id", IdAt(houseIds, d, enc)},
                          {"name", h.name},
                          {"head", Int(h.toushu)},
                          {"funds", Int(h.shikin)},
                          {"bond", Int(h.bond)},
                          {"master", Int(h.masterDaimyou)},
                          {"kind", Int(h.GetKind())},
                          {"castles", Int(ownCastles[static_cast<std::size_t>(d)])},
                          {"kokudaka", ownKokudaka[static_cast<std::size_t>(d)]},
                          {"relation_to_player", player ? Int(h.GetRelationLo(gs.nPlayerDaimyou)) : Int(-1)},
                          {"dealt_with", Int(gs.GaikouDealt[static_cast<std::size_t>(d)])},
                          {"muskets", Int(h.teppou)},
                          {"muskets_ordered", Int(ordered)},
                          {"muskets_made", Int(h.teppouSeisan)}});
    }

    Json& castles = j["castles"] = Json::array();
    for (int s = 0; s < gs.nShiro; ++s) {
        const CShiro& c = ShiroAt(gs, s);
        const ShiroMapRecord& m = ShiroMapAt(gs, s);
        Json generals = Json::array();
        for (int i = 0; i < c.nBushou && i < CShiro::kMaxBushou; ++i)
            generals.push_back(Int(c.bushou[static_cast<std::size_t>(i)]));
        castles.push_back(
            {{"index", Int(s)},
             {"id", IdAt(castleIds, s, enc)},
             {"name", m.name},
             {"province", m.kuni < map.KuniCount() ? ToUtf8(map.Kuni(m.kuni).id, enc) : std::string()},
             {"owner", Int(c.daimyou)},
             {"corps", Int(c.gundan)},
             {"lord", Int(c.commander)},
             {"size", Int(c.kibo)},
             {"kokudaka", Int(c.kokudaka)},
             {"economy", Int(c.keizai)},
             {"provisions", Int(c.hyourou)},
             {"garrison", Int(c.shubihei)},
             {"support", Int(c.support)},
             {"trade_ships", Int(c.kouekisen)},
             {"warships", Int(gs.GunsenTable.GetGunsenAtShiro(s))},
             {"warships_building", Int(c.gunsenBuilding & 0x0F)},
             {"generals", std::move(generals)}});
    }

    j["generals"] = DumpGenerals(gs, generalIds, enc);
    j["fleets"] = DumpFleets(gs);
    j["corps"] = DumpCorps(gs, map, enc);

    j["state_hash"] = stateHash;

    // One line; a name that is not valid UTF-8 is written with U+FFFD in place of the bad bytes
    // instead of failing the dump.
    return j.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n';
}

}  // namespace rymd
