// A writer of saved games in the layouts of older versions (100 to 115), written apart from the
// game's own writer so that reading each old layout is tested against bytes the game did not
// make. The records go through their codecs; the block order and every version's differences
// are spelled out here.
//
// Limits: scheduled events and trade partners are written only from version 110 on (an older
// file must be made from a state without them); their older forms are tested with their records.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "game/save/save_int_stream.h"
#include "game/state/event_records.h"
#include "game/state/game_state.h"
#include "game/state/trading_partner.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"

namespace rymd::test {

// The signature field of a version: "RYUUMONDEN LV 1.05" and zero bytes to 32.
inline void PutSignature(ArchiveWriter& out, int version) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "RYUUMONDEN LV %d.%02d", version / 100, version % 100);
    out.WriteBytes(text, sizeof text);
}

template <class Record, class... Enc>
void PutRecords(ArchiveWriter& out, const Record* table, int count, Enc... enc) {
    std::array<std::uint8_t, Record::kStoredSize> image{};
    for (int i = 0; i < count; ++i) {
        Encode(table[i], image.data(), enc...);
        out.WriteBytes(image.data(), image.size());
    }
}

// The route table before version 113: per link two header entries (its rectangle), its points
// and a terminating entry, entry 0 reserved. Returns the old table; oldStart maps each link's
// first point in the current table to its block in the old one.
inline std::vector<RoutePoint> OldRouteTable(const GameState& gs, std::vector<int>& oldStart) {
    std::vector<RoutePoint> old{{-1, -1}};
    oldStart.assign(static_cast<std::size_t>(gs.nRoutePoint), -1);
    int i = 1;
    while (i < gs.nRoutePoint) {
        const int header = gs.ShiroRoutePoints[static_cast<std::size_t>(i - 1)].y;
        const RouteRect r = gs.ShiroRouteRects[static_cast<std::size_t>(header)];
        oldStart[static_cast<std::size_t>(i)] = static_cast<int>(old.size());
        old.push_back({r.left, r.top});
        old.push_back({r.right, r.bottom});
        while (gs.ShiroRoutePoints[static_cast<std::size_t>(i)].x >= 0)
            old.push_back(gs.ShiroRoutePoints[static_cast<std::size_t>(i++)]);
        old.push_back({-1, 0});
        ++i;  // past the terminator
    }
    return old;
}

inline std::vector<std::uint8_t> WriteOldSavedGame(const GameState& gs, const MbKorMap::CCtrlKorMap& map,
                                                   int version) {
    const TextEncoding enc = gs.Encoding();
    ArchiveWriter out;
    PutSignature(out, version);
    map.Serialize(out);
    CSaveIntStream key(out);
    for (std::uint32_t c : gs.ColorPallet)
        out.WriteU32(c);
    key.WriteInt(gs.nLabel);
    PutRecords(out, gs.LabelTbl.data(), gs.nLabel, enc);
    key.WriteInt(version >= 110 ? gs.nEvent : 0);
    if (version >= 110)
        WriteEventTable(out, std::span<const CEventRecord>(gs.EventTbl.data(), gs.EventTbl.size()), gs.nEvent,
                        enc);
    out.WriteU8(gs.bSpectator ? 1 : 0);
    out.WriteCString(FromUtf8(gs.ScenarioTitle, enc));
    out.WriteCString(FromUtf8(gs.EndingText, enc));
    out.WriteU16(static_cast<std::uint16_t>(gs.nLanguage));
    key.WriteInt(gs.nHeiUnit);
    key.WriteInt(gs.nShiroDotSize);
    if (version >= 112) key.WriteInt(7);
    if (version >= 115) key.WriteInt(9);
    key.WriteInt((gs.bStartedAsSpectator ? 1 : 0) | (gs.bViewOnly ? 2 : 0));
    for (const KuniAreaRecord& a : gs.KuniAreaTbl)
        for (std::int32_t v : {a.type, a.left, a.top, a.right, a.bottom})
            out.WriteI32(v);
    for (std::int32_t v : gs.MainMapKakudai)
        out.WriteI32(v);
    for (int v : {gs.nScenarioDaimyou, gs.nDaimyou, gs.nStartYear, gs.nStartMonth, gs.nCurYear, gs.nCurMonth,
                  gs.nBushouEx, gs.nShiroType, gs.nShiro, gs.nBushou, gs.nMitoujouBushou})
        key.WriteInt(v);
    key.WriteInt(version >= 110 ? gs.nTradingPartner : 0);
    for (int v : {gs.nShiroHyourouMax, gs.nDistanceLimit / 10})
        out.WriteI32(v);
    out.WriteU8(gs.bTekiJouTsuuka);
    out.WriteI32(gs.nUchijiniKakuritsu);
    out.WriteI32(gs.nSeppukuKakuritsu);
    out.WriteU8(gs.bBushouHojuu);
    out.WriteI32(gs.nRengou);
    out.WriteI32(gs.nTeppouKounyuu);
    out.WriteI32(gs.nKishuu);
    out.WriteU8(gs.bKeiryaku);
    for (int v : {gs.nJuuzokuJoukenHosei, gs.nShinjuuJoukenHosei, gs.nDokuritsuJoukenHosei,
                  gs.nMainMapMinimumWidth, gs.nKouekisenPrice, gs.nGunsenPrice})
        out.WriteI32(v);
    PutRecords(out, gs.TeppouSeisanTbl.data(), gs.nKuni);
    PutRecords(out, gs.TeppouKounyuuTbl.data(), gs.nTeppouKounyuu, enc);
    for (double v : gs.TeppouCost)
        out.WriteF64(v);
    for (double v : gs.TeppouSoubiRitsu)
        out.WriteF64(v);
    out.WriteBytes(gs.TeppouKouka.data(), gs.TeppouKouka.size());
    PutRecords(out, gs.DaimyouInitTbl.data(), gs.nScenarioDaimyou, enc);
    // Castle types: 12 bytes below 102 (words 0 to 5), 26 bytes below 110 (words 0 to 12).
    const int typeWords = version < 102 ? 6 : version < 110 ? 13 : ShiroTypeRecord::kWordCount;
    for (int t = 0; t < gs.nShiroType; ++t)
        for (int w = 0; w < typeWords; ++w)
            out.WriteU16(gs.ShiroTypeTbl[t].words[static_cast<std::size_t>(w)]);
    // Castle geography: 112 bytes below 114, the castle type a signed byte at 111.
    std::vector<int> oldStart;
    const std::vector<RoutePoint> oldRoutes = OldRouteTable(gs, oldStart);
    for (int s = 0; s < gs.nShiro; ++s) {
        ShiroMapRecord m = gs.ShiroMapTbl[s];
        if (version < 113)
            for (ShiroConnection& c : m.connect)
                if (c.shiro != 0xFFFF && c.route < 0xFFFE)
                    c.route = static_cast<std::uint16_t>(oldStart[c.route]);
        std::array<std::uint8_t, ShiroMapRecord::kStoredSize> image{};
        Encode(m, image.data(), enc);
        if (version < 114) {
            image[111] = static_cast<std::uint8_t>(static_cast<std::int8_t>(m.shiroType));
            out.WriteBytes(image.data(), 112);
        } else {
            out.WriteBytes(image.data(), image.size());
        }
    }
    PutRecords(out, gs.BushouTbl.data(), gs.nBushou, enc);
    PutRecords(out, gs.ShiroTbl.data(), gs.nShiro, enc);
    PutRecords(out, gs.MitoujouBushouTbl.data(), gs.nMitoujouBushou, enc);
    PutRecords(out, gs.ShiroSnapTbl.data(), gs.nShiro, enc);
    if (version >= 110)
        WriteTradingPartnerTable(out, std::span<const CTradingPartner>(gs.TradingPartnerTbl.data(), 101),
                                 gs.nTradingPartner, gs.nDaimyou, gs.nKuni, gs.nShiro, enc);
    PutRecords(out, gs.RengouTbl.data(), gs.nRengou);
    gs.GunsenTable.Save(out);
    PutRecords(out, gs.BushouExTbl.data(), gs.nBushouEx, enc);
    if (version >= 113) {
        out.WriteI32(gs.nRoutePoint);
        for (int i = 0; i < gs.nRoutePoint; ++i) {
            out.WriteI32(gs.ShiroRoutePoints[i].x);
            out.WriteI32(gs.ShiroRoutePoints[i].y);
        }
        out.WriteI32(static_cast<std::int32_t>(gs.ShiroRouteRects.size()));
        for (const RouteRect& r : gs.ShiroRouteRects)
            for (std::int32_t v : {r.left, r.top, r.right, r.bottom})
                out.WriteI32(v);
    } else {
        out.WriteI32(static_cast<std::int32_t>(oldRoutes.size()));
        for (const RoutePoint& p : oldRoutes) {
            out.WriteI32(p.x);
            out.WriteI32(p.y);
        }
    }
    PutRecords(out, gs.DaimyouTbl.data(), gs.nScenarioDaimyou, enc);
    PutRecords(out, gs.GundanTbl.data(), GameState::kMaxGundan, enc);
    key.WriteInt(gs.nPhase);
    key.WriteInt(gs.nPlayerDaimyou);
    for (int v : gs.PlayerChouheiLimits)
        out.WriteI32(v);
    for (std::int32_t v : gs.DaimyouOrder)
        out.WriteI32(v);
    out.WriteBytes(gs.GaikouDealt.data(), gs.GaikouDealt.size());
    out.WriteU8(gs.bGaikouBarred);
    out.WriteI32(gs.nPhaseSplit);
    out.WriteBytes(gs.KuniEventFlags.data(), gs.KuniEventFlags.size());
    out.WriteI32(gs.nTextPoolValue);
    out.WriteI32(static_cast<std::int32_t>(gs.ScenarioTextPool.size()));
    for (const std::string& t : gs.ScenarioTextPool)
        out.WriteCString(FromUtf8(t, enc));
    WriteChangedWords(out, gs.ScenarioWords, enc);
    gs.ScenarioImage.Serialize(out, enc);
    out.WriteI32(gs.nMainMapMinimumWidth);
    for (int v : gs.RoadCost)
        out.WriteI32(v);
    out.WriteI32(gs.nCurDaimyou);
    for (int v : {gs.nKouzanPicture, gs.nKouekisenPicture, gs.nKouekisenReturnPicture, gs.nGunsenPicture,
                  gs.nGunsenCompletePicture, gs.nGunsenLargePicture, gs.nTeppouPicture,
                  gs.nGunsenUnitPictureR, gs.nGunsenUnitPictureL, gs.nShiroOffsetX, gs.nShiroOffsetY,
                  gs.nShiroNameOffset, gs.nDaimyouNameOffset})
        out.WriteI32(v);
    WriteConditionalEvents(out, gs.ConditionalEventArray, enc);
    gs.ScriptVariables.Serialize(out, enc);
    gs.NameIndex.Serialize(out);
    if (version >= 114) {
        out.WriteCString(FromUtf8(gs.ScenarioBgmNormal, enc));
        out.WriteCString(FromUtf8(gs.ScenarioBgmBattle, enc));
    }
    return out.Take();
}

}  // namespace rymd::test
