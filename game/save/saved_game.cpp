#include "game/save/saved_game.h"

#include <cstdio>
#include <span>
#include <vector>

#include "game/state/event_records.h"
#include "game/state/game_state.h"
#include "game/save/save_int_stream.h"
#include "game/state/trading_partner.h"
#include "game/state/vocabulary.h"
#include "platform/core/archive.h"

namespace rymd {

namespace {

// count records of a table as raw images through the record's codec.
template <class Record, class... Enc>
void WriteRaw(ArchiveWriter& out, const Record* table, int count, Enc... enc) {
    std::vector<std::uint8_t> image(Record::kStoredSize);
    for (int i = 0; i < count; ++i) {
        Encode(table[i], image.data(), enc...);
        out.WriteBytes(image.data(), image.size());
    }
}

void WriteText(ArchiveWriter& out, const std::string& utf8, TextEncoding enc) {
    out.WriteCString(FromUtf8(utf8, enc));
}

}  // namespace

void WriteSavedGameTables(const GameState& gs, ArchiveWriter& out) {
    const TextEncoding enc = gs.Encoding();
    CSaveIntStream keyed(out);
    auto key = [&keyed](int v) { keyed.WriteInt(v); };

    for (std::uint32_t c : gs.ColorPallet)
        out.WriteU32(c);
    key(gs.nLabel);
    WriteRaw(out, gs.LabelTbl.data(), gs.nLabel, enc);
    key(gs.nEvent);
    WriteEventTable(out, std::span<const CEventRecord>(gs.EventTbl.data(), gs.EventTbl.size()), gs.nEvent,
                    enc);
    out.WriteU8(gs.bSpectator ? 1 : 0);
    WriteText(out, gs.ScenarioTitle, enc);
    WriteText(out, gs.EndingText, enc);
    out.WriteU16(static_cast<std::uint16_t>(gs.nLanguage));
    key(gs.nHeiUnit);
    key(gs.nShiroDotSize);
    key(0);  // reserved
    key(0);  // reserved
    key((gs.bStartedAsSpectator ? 1 : 0) | (gs.bViewOnly ? 2 : 0));
    for (const KuniAreaRecord& a : gs.KuniAreaTbl)
        for (std::int32_t v : {a.type, a.left, a.top, a.right, a.bottom})
            out.WriteI32(v);
    for (std::int32_t v : gs.MainMapKakudai)
        out.WriteI32(v);
    key(gs.nScenarioDaimyou);
    key(gs.nDaimyou);
    key(gs.nStartYear);
    key(gs.nStartMonth);
    key(gs.nCurYear);
    key(gs.nCurMonth);
    key(gs.nBushouEx);
    key(gs.nShiroType);
    key(gs.nShiro);
    key(gs.nBushou);
    key(gs.nMitoujouBushou);
    key(gs.nTradingPartner);
    out.WriteI32(gs.nShiroHyourouMax);
    out.WriteI32(gs.nDistanceLimit / 10);
    out.WriteU8(gs.bTekiJouTsuuka ? 1 : 0);
    out.WriteI32(gs.nUchijiniKakuritsu);
    out.WriteI32(gs.nSeppukuKakuritsu);
    out.WriteU8(gs.bBushouHojuu ? 1 : 0);
    out.WriteI32(gs.nRengou);
    out.WriteI32(gs.nTeppouKounyuu);
    out.WriteI32(gs.nKishuu);
    out.WriteU8(gs.bKeiryaku ? 1 : 0);
    out.WriteI32(gs.nJuuzokuJoukenHosei);
    out.WriteI32(gs.nShinjuuJoukenHosei);
    out.WriteI32(gs.nDokuritsuJoukenHosei);
    out.WriteI32(gs.nMainMapMinimumWidth);
    out.WriteI32(gs.nKouekisenPrice);
    out.WriteI32(gs.nGunsenPrice);
    WriteRaw(out, gs.TeppouSeisanTbl.data(), gs.nKuni);
    WriteRaw(out, gs.TeppouKounyuuTbl.data(), gs.nTeppouKounyuu, enc);
    for (double v : gs.TeppouCost)
        out.WriteF64(v);
    for (double v : gs.TeppouSoubiRitsu)
        out.WriteF64(v);
    for (std::uint8_t v : gs.TeppouKouka)
        out.WriteU8(v);
    WriteRaw(out, gs.DaimyouInitTbl.data(), gs.nScenarioDaimyou, enc);
    WriteRaw(out, gs.ShiroTypeTbl.data(), gs.nShiroType);
    WriteRaw(out, gs.ShiroMapTbl.data(), gs.nShiro, enc);
    WriteRaw(out, gs.BushouTbl.data(), gs.nBushou, enc);
    WriteRaw(out, gs.ShiroTbl.data(), gs.nShiro, enc);
    WriteRaw(out, gs.MitoujouBushouTbl.data(), gs.nMitoujouBushou, enc);
    WriteRaw(out, gs.ShiroSnapTbl.data(), gs.nShiro, enc);
    WriteTradingPartnerTable(
        out, std::span<const CTradingPartner>(gs.TradingPartnerTbl.data(), gs.TradingPartnerTbl.size()),
        gs.nTradingPartner, gs.nDaimyou, gs.nKuni, gs.nShiro, enc);
    WriteRaw(out, gs.RengouTbl.data(), gs.nRengou);
    gs.GunsenTable.Save(out);
    WriteRaw(out, gs.BushouExTbl.data(), gs.nBushouEx, enc);
    out.WriteI32(gs.nRoutePoint);
    for (int i = 0; i < gs.nRoutePoint; ++i) {
        out.WriteI32(gs.ShiroRoutePoints[i].x);
        out.WriteI32(gs.ShiroRoutePoints[i].y);
    }
    out.WriteI32(static_cast<std::int32_t>(gs.ShiroRouteRects.size()));
    for (const RouteRect& r : gs.ShiroRouteRects)
        for (std::int32_t v : {r.left, r.top, r.right, r.bottom})
            out.WriteI32(v);
    WriteRaw(out, gs.DaimyouTbl.data(), gs.nScenarioDaimyou, enc);
    WriteRaw(out, gs.GundanTbl.data(), GameState::kMaxGundan, enc);
    key(gs.nPhase);
    key(gs.nPlayerDaimyou);
    for (int v : gs.PlayerChouheiLimits)
        out.WriteI32(v);
    for (std::int32_t v : gs.DaimyouOrder)
        out.WriteI32(v);
    out.WriteBytes(gs.GaikouDealt.data(), gs.GaikouDealt.size());
    out.WriteU8(gs.bGaikouBarred ? 1 : 0);
    out.WriteI32(gs.nPhaseSplit);
    out.WriteBytes(gs.KuniEventFlags.data(), gs.KuniEventFlags.size());
    out.WriteI32(gs.nTextPoolValue);
    out.WriteI32(static_cast<std::int32_t>(gs.ScenarioTextPool.size()));
    for (const std::string& t : gs.ScenarioTextPool)
        WriteText(out, t, enc);
    WriteChangedWords(out, gs.ScenarioWords, enc);
    gs.ScenarioImage.Serialize(out, enc);
    out.WriteI32(gs.nMainMapMinimumWidth);
    for (int v : gs.RoadCost)
        out.WriteI32(v);
    out.WriteI32(gs.nCurDaimyou);
    for (int v : {gs.nKouzanPicture, gs.nKouekisenPicture, gs.nKouekisenReturnPicture, gs.nGunsenPicture,
                  gs.nGunsenCompletePicture, gs.nGunsenLargePicture, gs.nTeppouPicture,
                  gs.nGunsenUnitPictureR, gs.nGunsenUnitPictureL})
        out.WriteI32(v);
    for (int v : {gs.nShiroOffsetX, gs.nShiroOffsetY, gs.nShiroNameOffset, gs.nDaimyouNameOffset})
        out.WriteI32(v);
    WriteConditionalEvents(out, gs.ConditionalEventArray, enc);
    gs.ScriptVariables.Serialize(out, enc);
    gs.NameIndex.Serialize(out);
    WriteText(out, gs.ScenarioBgmNormal, enc);
    WriteText(out, gs.ScenarioBgmBattle, enc);
    WriteText(out, gs.ScenarioFolder, enc);
    out.WriteI32(static_cast<std::int32_t>(gs.ExclusionList.size()));
    for (int v : gs.ExclusionList)
        out.WriteI32(v);
}

std::string StateHash(const GameState& gs) {
    ArchiveWriter out;
    WriteSavedGameTables(gs, out);
    std::uint64_t h = 0xcbf29ce484222325ull;  // FNV-1a
    for (std::uint8_t b : out.Data()) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

}  // namespace rymd
