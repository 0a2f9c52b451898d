// The saved game. One field list (TransferTables) names every block after the map in the file's
// order; the writer and the reader walk it, so the two directions cannot drift apart. The
// conversions of the older layouts sit in the reader's own branches beside the blocks they
// belong to.
#include "game/save/saved_game.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "game/save/save_int_stream.h"
#include "game/state/access.h"
#include "game/state/event_records.h"
#include "game/state/game_state.h"
#include "game/state/invariants.h"
#include "game/state/map_limits.h"
#include "game/state/queries.h"
#include "game/state/route.h"
#include "game/state/trading_partner.h"
#include "game/state/vocabulary.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"

namespace rymd {

namespace {

// Most explanation texts and castle exclusion entries a file may hold (the texts are indexed by
// 16-bit fields; the exclusion list names castles in four modes).
constexpr int kMaxTextPool = 65535;
constexpr int kMaxExclusion = 4 * GameState::kMaxShiro;
constexpr int kFirstKeyedReserved = 112;   // block 14 from this version on
constexpr int kSecondKeyedReserved = 115;  // block 15
constexpr int kRouteHeaderVersion = 113;   // route points with separate headers
constexpr int kWideShiroMapVersion = 114;  // 114-byte castle geography; scenario music
constexpr int kWideShiroTypeVersion = 110;
constexpr int kShortShiroTypeVersion = 102;  // below it 12-byte castle types
constexpr std::size_t kOldShiroMapSize = 112;

// ---- The writing side ---------------------------------------------------------------------------

class TableWriter {
public:
    static constexpr bool kLoading = false;
    TableWriter(ArchiveWriter& out, TextEncoding enc) : out_(out), keyed_(out), enc_(enc) {}

    int Version() const { return kSavedGameVersion; }
    TextEncoding Enc() const { return enc_; }
    ArchiveWriter& Archive() { return out_; }
    std::size_t Position() const { return out_.Size(); }
    bool Ok() const { return true; }
    void Fail(const char*) {}

    void Key(const int& v) { keyed_.WriteInt(v); }
    void KeyCount(const int& v, int, const char*) { keyed_.WriteInt(v); }
    void I32(const int& v) { out_.WriteI32(v); }
    void I32Count(const int& v, int, const char*) { out_.WriteI32(v); }
    void Flag8(const bool& v) { out_.WriteU8(v ? 1 : 0); }
    void I16(const std::int16_t& v) { out_.WriteI16(v); }
    void F64(const double& v) { out_.WriteF64(v); }
    void U32(const std::uint32_t& v) { out_.WriteU32(v); }
    template <std::size_t N>
    void Bytes(const std::array<std::uint8_t, N>& v) {
        out_.WriteBytes(v.data(), N);
    }
    void Text(const std::string& utf8) { out_.WriteCString(FromUtf8(utf8, enc_)); }
    void TextBeforeLanguage(const std::string& utf8) { Text(utf8); }

    // count records through the record's codec.
    template <class Record, class... Enc>
    void Records(const Record* table, int count, const char*, Enc... enc) {
        std::vector<std::uint8_t> image(Record::kStoredSize);
        for (int i = 0; i < count; ++i) {
            Encode(table[i], image.data(), enc...);
            out_.WriteBytes(image.data(), image.size());
        }
    }

private:
    ArchiveWriter& out_;
    CSaveIntStream keyed_;
    TextEncoding enc_;
};

// ---- The reading side ---------------------------------------------------------------------------

class TableReader {
public:
    static constexpr bool kLoading = true;
    TableReader(std::span<const std::uint8_t> bytes, ArchiveReader& in, int version)
        : bytes_(bytes), in_(in), keyed_(in), version_(version) {}

    int Version() const { return version_; }
    TextEncoding Enc() const { return enc_; }
    // The language is known: the texts read before it are converted.
    void SetEnc(TextEncoding enc) {
        enc_ = enc;
        for (std::string* t : pending_)
            *t = ToUtf8(*t, enc_);
        pending_.clear();
    }
    // A reader over the file's bytes from offset on (to read a block again).
    ArchiveReader ReaderAt(std::size_t offset) const {
        return ArchiveReader(bytes_.data() + offset, bytes_.size() - offset);
    }
    // count records read earlier at offset, decoded again in the file's language.
    template <class Record>
    void Retext(Record* table, int count, std::size_t offset, const char* what) {
        for (int i = 0; i < count; ++i)
            if (!Decode(bytes_.data() + offset + static_cast<std::size_t>(i) * Record::kStoredSize, table[i],
                        enc_))
                return Fail(what);
    }
    ArchiveReader& Archive() { return in_; }
    std::size_t Position() const { return in_.Position(); }
    bool Ok() const { return in_.Ok() && why_.empty(); }
    const std::string& Why() const { return why_; }
    // The first failure names the block; the stream stops there.
    void Fail(const char* what) {
        if (why_.empty()) why_ = what;
        in_.Fail();
    }
    // A short stream names the block it ended in.
    void Check(const char* what) {
        if (!in_.Ok()) Fail(what);
    }

    void Key(int& v) {
        std::int32_t x = 0;
        keyed_.ReadInt(x);
        v = x;
    }
    void KeyCount(int& v, int max, const char* what) {
        Key(v);
        Bound(v, max, what);
    }
    void I32(int& v) { v = in_.ReadI32(); }
    void I32Count(int& v, int max, const char* what) {
        v = in_.ReadI32();
        Bound(v, max, what);
    }
    void Flag8(bool& v) {
        const std::uint8_t b = in_.ReadU8();
        if (b > 1) Fail("a flag byte is neither 0 nor 1");
        v = b != 0;
    }
    void I16(std::int16_t& v) { v = in_.ReadI16(); }
    void F64(double& v) { v = in_.ReadF64(); }
    void U32(std::uint32_t& v) { v = in_.ReadU32(); }
    template <std::size_t N>
    void Bytes(std::array<std::uint8_t, N>& v) {
        in_.ReadBytes(v.data(), N);
    }
    void Text(std::string& utf8) { utf8 = ToUtf8(in_.ReadCString(), enc_); }
    void TextBeforeLanguage(std::string& utf8) {
        utf8 = in_.ReadCString();
        pending_.push_back(&utf8);
    }

    template <class Record, class... Enc>
    void Records(Record* table, int count, const char* what, Enc... enc) {
        if (!Ok()) return;
        if (count < 0 || static_cast<std::size_t>(count) > in_.Remaining() / Record::kStoredSize) {
            Fail(what);
            return;
        }
        std::vector<std::uint8_t> image(Record::kStoredSize);
        for (int i = 0; i < count; ++i) {
            in_.ReadBytes(image.data(), image.size());
            if (!Decode(image.data(), table[i], enc...)) {
                Fail(what);
                return;
            }
        }
    }

private:
    void Bound(int v, int max, const char* what) {
        if (v < 0 || v > max) Fail(what);
    }

    std::span<const std::uint8_t> bytes_;
    ArchiveReader& in_;
    CSaveIntStream keyed_;
    int version_;
    TextEncoding enc_ = TextEncoding::ShiftJis;
    std::string why_;
    std::vector<std::string*> pending_;
};

// ---- Older layouts --------------------------------------------------------------------------------

// Castle types of versions below 110: 12 bytes (below 102) or 26 bytes, widened to the 66-byte
// form with the defaults of the fields they lack.
void ReadOldShiroTypes(TableReader& io, GameState& gs) {
    const std::size_t size = io.Version() < kShortShiroTypeVersion ? 12 : 26;
    ArchiveReader& in = io.Archive();
    if (static_cast<std::size_t>(gs.nShiroType) > in.Remaining() / size) return io.Fail("castle types");
    for (int t = 0; t < gs.nShiroType; ++t) {
        ShiroTypeRecord& r = gs.ShiroTypeTbl[t];
        r = ShiroTypeRecord{};
        for (std::size_t w = 0; w < size / 2; ++w)
            r.words[w] = in.ReadU16();
        if (size == 12)
            for (std::size_t w = 6; w < 13; ++w)
                r.words[w] = 0xFFFF;  // no castle-map icons
        static constexpr std::int16_t kTail[] = {-10, -10, 10, 10, 0, 0, 20, 30};
        for (std::size_t i = 0; i < std::size(kTail); ++i)
            r.words[25 + i] = static_cast<std::uint16_t>(kTail[i]);
    }
}

// After the whole file: the four drawing offsets that older files keep only once go into every
// castle type.
void SpreadOldShiroTypeOffsets(GameState& gs) {
    for (int t = 0; t < gs.nShiroType; ++t) {
        auto& w = gs.ShiroTypeTbl[t].words;
        w[13] = static_cast<std::uint16_t>(gs.nShiroOffsetX);
        w[14] = static_cast<std::uint16_t>(gs.nShiroOffsetY);
        w[16] = static_cast<std::uint16_t>(gs.nShiroNameOffset);
        w[18] = static_cast<std::uint16_t>(gs.nDaimyouNameOffset);
    }
}

// Castle geography below version 114: 112 bytes whose last field is a signed byte at 111; it
// becomes the 16-bit field at 112.
void ReadOldShiroMap(TableReader& io, GameState& gs) {
    ArchiveReader& in = io.Archive();
    if (static_cast<std::size_t>(gs.nShiro) > in.Remaining() / kOldShiroMapSize)
        return io.Fail("castle geography");
    std::array<std::uint8_t, ShiroMapRecord::kStoredSize> image{};
    for (int s = 0; s < gs.nShiro; ++s) {
        in.ReadBytes(image.data(), kOldShiroMapSize);
        const auto last = static_cast<std::int16_t>(static_cast<std::int8_t>(image[111]));
        image[111] = 0;
        image[112] = static_cast<std::uint8_t>(last & 0xFF);
        image[113] = static_cast<std::uint8_t>((last >> 8) & 0xFF);
        if (!Decode(image.data(), ShiroMapAt(gs, s), io.Enc())) return io.Fail("castle geography");
    }
}

// Route points below version 113: each castle link's block is two header entries, its points
// and a terminating entry (first value negative), entry 0 reserved as in every layout. Rebuilt
// into the point table with separate headers; the castles' route indexes follow.
void ConvertOldRoutes(TableReader& io, GameState& gs) {
    const int n = gs.nRoutePoint;
    std::vector<RoutePoint> old(gs.ShiroRoutePoints.begin(), gs.ShiroRoutePoints.begin() + n);
    std::vector<bool> linkStart(static_cast<std::size_t>(n), false);
    std::vector<RoutePoint> fresh{{-1, -1}};
    std::vector<RouteRect> headers;
    int i = n > 0 ? 1 : 0;
    while (i < n) {
        if (i + 1 >= n) return io.Fail("route points");
        const RoutePoint a = old[static_cast<std::size_t>(i)];
        const RoutePoint b = old[static_cast<std::size_t>(i + 1)];
        old[static_cast<std::size_t>(i)].x = static_cast<std::int32_t>(fresh.size());
        linkStart[static_cast<std::size_t>(i)] = true;
        fresh.back().y = static_cast<std::int32_t>(headers.size());
        headers.push_back(RouteRect{a.x, a.y, b.x, b.y});
        int p = i + 2;
        while (p < n && old[static_cast<std::size_t>(p)].x >= 0)
            fresh.push_back(old[static_cast<std::size_t>(p++)]);
        if (p >= n) return io.Fail("route points");  // no terminating entry
        fresh.push_back(RoutePoint{-1, -1});
        if (fresh.size() > static_cast<std::size_t>(GameState::kMaxRoutePoint))
            return io.Fail("route points");
        i = p + 1;
    }
    for (int s = 0; s < gs.nShiro; ++s) {
        for (ShiroConnection& c : ShiroMapAt(gs, s).connect) {
            if (c.shiro == 0xFFFF) break;
            if (c.route == 0xFFFE || c.route == 0xFFFF) continue;
            if (c.route >= n || !linkStart[c.route]) return io.Fail("route points");
            c.route = static_cast<std::uint16_t>(old[c.route].x);
        }
    }
    std::fill(gs.ShiroRoutePoints.begin(), gs.ShiroRoutePoints.end(), RoutePoint{});
    std::copy(fresh.begin(), fresh.end(), gs.ShiroRoutePoints.begin());
    gs.nRoutePoint = static_cast<int>(fresh.size());
    gs.ShiroRouteRects = std::move(headers);
}

// ---- The field list ---------------------------------------------------------------------------------

// The colours, the labels, the scheduled events and the texts read before the language.
template <class Io, class GS>
void TransferLabelsAndEvents(Io& io, GS& gs) {
    constexpr bool kLoading = Io::kLoading;
    for (auto& c : gs.ColorPallet)
        io.U32(c);
    io.KeyCount(gs.nLabel, GameState::kMaxLabel, "label count");
    const std::size_t labelsAt = io.Position();
    io.Records(gs.LabelTbl.data(), gs.nLabel, "labels", io.Enc());
    io.KeyCount(gs.nEvent, GameState::kMaxEvent, "scheduled event count");
    const std::size_t eventsAt = io.Position();
    auto events = [&](auto& archive) {
        if constexpr (kLoading) {
            if (io.Ok() &&
                !ReadEventTable(archive, std::span<CEventRecord>(gs.EventTbl.data(), gs.EventTbl.size()),
                                gs.nEvent, io.Version(), io.Enc()))
                io.Fail("scheduled events");
        } else {
            WriteEventTable(archive, std::span<const CEventRecord>(gs.EventTbl.data(), gs.EventTbl.size()),
                            gs.nEvent, io.Enc());
        }
    };
    events(io.Archive());
    io.Flag8(gs.bSpectator);
    io.TextBeforeLanguage(gs.ScenarioTitle);
    io.TextBeforeLanguage(gs.EndingText);
    io.I16(gs.nLanguage);
    if constexpr (kLoading) {
        if (gs.nLanguage != 0 && gs.nLanguage != 1) io.Fail("language");
        // The texts before the language were taken as Shift-JIS; a Chinese game reads them again.
        io.SetEnc(gs.Encoding());
        if (io.Ok() && gs.nLanguage == 1) {
            io.Retext(gs.LabelTbl.data(), gs.nLabel, labelsAt, "labels");
            ArchiveReader again = io.ReaderAt(eventsAt);
            events(again);
        }
    }
}

// The unit of soldiers, the game's counts and the rules of the scenario.
template <class Io, class GS>
void TransferRulesAndCounts(Io& io, GS& gs) {
    constexpr bool kLoading = Io::kLoading;
    io.Key(gs.nHeiUnit);
    io.Key(gs.nShiroDotSize);
    int reserved = 0;
    if (io.Version() >= kFirstKeyedReserved) io.Key(reserved);
    if (io.Version() >= kSecondKeyedReserved) io.Key(reserved);
    int flags = (gs.bStartedAsSpectator ? 1 : 0) | (gs.bViewOnly ? 2 : 0);
    io.Key(flags);
    if constexpr (kLoading) {
        gs.bStartedAsSpectator = (flags & 1) != 0;
        gs.bViewOnly = (flags & 2) != 0;
    }
    for (auto& a : gs.KuniAreaTbl)
        for (auto* v : {&a.type, &a.left, &a.top, &a.right, &a.bottom})
            io.I32(*v);
    for (auto& v : gs.MainMapKakudai)
        io.I32(v);
    io.KeyCount(gs.nScenarioDaimyou, GameState::kMaxDaimyou, "house count");
    io.KeyCount(gs.nDaimyou, GameState::kMaxDaimyou, "house count");
    io.Key(gs.nStartYear);
    io.Key(gs.nStartMonth);
    io.Key(gs.nCurYear);
    io.Key(gs.nCurMonth);
    io.KeyCount(gs.nBushouEx, GameState::kMaxBushou, "general record count");
    io.KeyCount(gs.nShiroType, GameState::kMaxShiroType, "castle type count");
    io.KeyCount(gs.nShiro, GameState::kMaxShiro, "castle count");
    io.KeyCount(gs.nBushou, GameState::kMaxBushou, "general count");
    io.KeyCount(gs.nMitoujouBushou, GameState::kMaxBushou, "count of generals not yet appeared");
    io.KeyCount(gs.nTradingPartner, GameState::kMaxTradingPartner, "trade partner count");
    io.I32(gs.nShiroHyourouMax);
    int distance = gs.nDistanceLimit / 10;  // kept in tens
    io.I32(distance);
    // A tenfold the game cannot hold is kept at the nearest it can, which the range check of the
    // loaded values then refuses.
    if constexpr (kLoading)
        gs.nDistanceLimit =
            static_cast<int>(std::clamp<long long>(static_cast<long long>(distance) * 10, INT_MIN, INT_MAX));
    io.Flag8(gs.bTekiJouTsuuka);
    io.I32(gs.nUchijiniKakuritsu);
    io.I32(gs.nSeppukuKakuritsu);
    io.Flag8(gs.bBushouHojuu);
    io.I32Count(gs.nRengou, GameState::kMaxRengou, "coalition count");
    io.I32Count(gs.nTeppouKounyuu, GameState::kMaxTeppouKounyuu, "musket source count");
    io.I32(gs.nKishuu);
    io.Flag8(gs.bKeiryaku);
    io.I32(gs.nJuuzokuJoukenHosei);
    io.I32(gs.nShinjuuJoukenHosei);
    io.I32(gs.nDokuritsuJoukenHosei);
    io.I32(gs.nMainMapMinimumWidth);
    io.I32(gs.nKouekisenPrice);
    io.I32(gs.nGunsenPrice);
}

// The musket tables and the records of the world: houses as the scenario made them, castles,
// generals, trade partners, coalitions and warships.
template <class Io, class GS>
void TransferWorldTables(Io& io, GS& gs) {
    constexpr bool kLoading = Io::kLoading;
    io.Records(gs.TeppouSeisanTbl.data(), gs.nKuni, "musket production");
    io.Records(gs.TeppouKounyuuTbl.data(), gs.nTeppouKounyuu, "musket sources", io.Enc());
    for (auto& v : gs.TeppouCost)
        io.F64(v);
    for (auto& v : gs.TeppouSoubiRitsu)
        io.F64(v);
    io.Bytes(gs.TeppouKouka);
    io.Records(gs.DaimyouInitTbl.data(), gs.nScenarioDaimyou, "house scenario records", io.Enc());
    if constexpr (kLoading) {
        if (io.Version() < kWideShiroTypeVersion)
            ReadOldShiroTypes(io, gs);
        else
            io.Records(gs.ShiroTypeTbl.data(), gs.nShiroType, "castle types");
        if (io.Version() < kWideShiroMapVersion)
            ReadOldShiroMap(io, gs);
        else
            io.Records(gs.ShiroMapTbl.data(), gs.nShiro, "castle geography", io.Enc());
    } else {
        io.Records(gs.ShiroTypeTbl.data(), gs.nShiroType, "castle types");
        io.Records(gs.ShiroMapTbl.data(), gs.nShiro, "castle geography", io.Enc());
    }
    io.Records(gs.BushouTbl.data(), gs.nBushou, "generals", io.Enc());
    io.Records(gs.ShiroTbl.data(), gs.nShiro, "castles", io.Enc());
    io.Records(gs.MitoujouBushouTbl.data(), gs.nMitoujouBushou, "generals not yet appeared", io.Enc());
    io.Records(gs.ShiroSnapTbl.data(), gs.nShiro, "castle snapshot", io.Enc());
    const auto partners = std::span(gs.TradingPartnerTbl.data(), gs.TradingPartnerTbl.size());
    if constexpr (kLoading) {
        if (io.Ok() && !ReadTradingPartnerTable(io.Archive(), partners, gs.nTradingPartner, io.Version(),
                                                gs.nDaimyou, gs.nKuni, gs.nShiro, io.Enc()))
            io.Fail("trade partners");
    } else {
        WriteTradingPartnerTable(io.Archive(), partners, gs.nTradingPartner, gs.nDaimyou, gs.nKuni, gs.nShiro,
                                 io.Enc());
    }
    io.Records(gs.RengouTbl.data(), gs.nRengou, "coalitions");
    if constexpr (kLoading) {
        if (io.Ok() && !gs.GunsenTable.Load(io.Archive())) io.Fail("warship registry");
    } else {
        gs.GunsenTable.Save(io.Archive());
    }
    io.Records(gs.BushouExTbl.data(), gs.nBushouEx, "general records", io.Enc());
}

// The points of the drawn routes and, since their headers were kept, the rectangles they cover.
template <class Io, class GS>
void TransferRoutes(Io& io, GS& gs) {
    constexpr bool kLoading = Io::kLoading;
    io.I32Count(gs.nRoutePoint, GameState::kMaxRoutePoint, "route point count");
    if constexpr (kLoading) {
        if (io.Ok() && static_cast<std::size_t>(gs.nRoutePoint) > io.Archive().Remaining() / 8)
            io.Fail("route points");
    }
    for (int i = 0; i < gs.nRoutePoint && io.Ok(); ++i) {
        io.I32(gs.ShiroRoutePoints[i].x);
        io.I32(gs.ShiroRoutePoints[i].y);
    }
    if (io.Version() >= kRouteHeaderVersion) {
        int headers = static_cast<int>(gs.ShiroRouteRects.size());
        io.I32Count(headers, GameState::kMaxRoutePoint, "route header count");
        if constexpr (kLoading) {
            if (!io.Ok() || static_cast<std::size_t>(headers) > io.Archive().Remaining() / 16) {
                io.Fail("route headers");
                headers = 0;
            }
            gs.ShiroRouteRects.assign(static_cast<std::size_t>(headers), RouteRect{});
        }
        for (auto& r : gs.ShiroRouteRects)
            for (auto* v : {&r.left, &r.top, &r.right, &r.bottom})
                io.I32(*v);
    } else if constexpr (kLoading) {
        if (io.Ok()) ConvertOldRoutes(io, gs);
    }
}

// The houses and corps, the turn's phase and player, and the texts of the scenario.
template <class Io, class GS>
void TransferHousesAndTurn(Io& io, GS& gs) {
    constexpr bool kLoading = Io::kLoading;
    if constexpr (kLoading) {
        // Houses past the saved ones stand empty.
        for (CDaimyou& d : gs.DaimyouTbl) {
            d.toushu = -1;
            d.carried8 = -1;
            d.name.clear();
        }
    }
    io.Records(gs.DaimyouTbl.data(), gs.nScenarioDaimyou, "houses", io.Enc());
    io.Records(gs.GundanTbl.data(), GameState::kMaxGundan, "corps", io.Enc());
    io.Key(gs.nPhase);
    io.Key(gs.nPlayerDaimyou);
    for (auto& v : gs.PlayerChouheiLimits)
        io.I32(v);
    for (auto& v : gs.DaimyouOrder)
        io.I32(v);
    io.Bytes(gs.GaikouDealt);
    io.Flag8(gs.bGaikouBarred);
    io.I32(gs.nPhaseSplit);
    io.Bytes(gs.KuniEventFlags);
    io.I32(gs.nTextPoolValue);
    int texts = static_cast<int>(gs.ScenarioTextPool.size());
    io.I32Count(texts, kMaxTextPool, "explanation texts");
    if constexpr (kLoading) {
        if (!io.Ok() || static_cast<std::size_t>(texts) > io.Archive().Remaining()) {
            io.Fail("explanation texts");
            texts = 0;
        }
        gs.ScenarioTextPool.assign(static_cast<std::size_t>(texts), std::string());
    }
    for (auto& t : gs.ScenarioTextPool)
        io.Text(t);
}

// The trailing blocks: vocabulary, picture, pictures and offsets of the map, conditional
// events, script variables, name index, music and the castles excluded.
template <class Io, class GS>
void TransferTrailingBlocks(Io& io, GS& gs) {
    constexpr bool kLoading = Io::kLoading;
    // The trailing blocks.
    if constexpr (kLoading) {
        if (io.Ok() && !ReadChangedWords(io.Archive(), gs.ScenarioWords, io.Enc())) io.Fail("vocabulary");
        if (io.Ok() && !gs.ScenarioImage.Serialize(io.Archive(), io.Enc())) io.Fail("scenario picture");
    } else {
        WriteChangedWords(io.Archive(), gs.ScenarioWords, io.Enc());
        gs.ScenarioImage.Serialize(io.Archive(), io.Enc());
    }
    io.I32(gs.nMainMapMinimumWidth);
    for (auto& v : gs.RoadCost)
        io.I32(v);
    io.I32(gs.nCurDaimyou);
    if constexpr (kLoading) {
        if (!gs.bSpectator) gs.nCurDaimyou = gs.nPlayerDaimyou;
    }
    for (auto* v : {&gs.nKouzanPicture, &gs.nKouekisenPicture, &gs.nKouekisenReturnPicture,
                    &gs.nGunsenPicture, &gs.nGunsenCompletePicture, &gs.nGunsenLargePicture,
                    &gs.nTeppouPicture, &gs.nGunsenUnitPictureR, &gs.nGunsenUnitPictureL})
        io.I32(*v);
    for (auto* v : {&gs.nShiroOffsetX, &gs.nShiroOffsetY, &gs.nShiroNameOffset, &gs.nDaimyouNameOffset})
        io.I32(*v);
    if constexpr (kLoading) {
        if (io.Ok() && !ReadConditionalEvents(io.Archive(), gs.ConditionalEventArray, io.Enc()))
            io.Fail("conditional events");
        gs.nConditionalEvent = static_cast<int>(gs.ConditionalEventArray.size());
        if (io.Ok() && !gs.ScriptVariables.Serialize(io.Archive(), io.Enc())) io.Fail("script variables");
        if (io.Ok() && !gs.NameIndex.Serialize(io.Archive())) io.Fail("name index");
    } else {
        WriteConditionalEvents(io.Archive(), gs.ConditionalEventArray, io.Enc());
        gs.ScriptVariables.Serialize(io.Archive(), io.Enc());
        gs.NameIndex.Serialize(io.Archive());
    }
    if (io.Version() >= kWideShiroMapVersion) {
        io.Text(gs.ScenarioBgmNormal);
        io.Text(gs.ScenarioBgmBattle);
    }
    if (io.Version() >= kSavedGameVersion) {
        io.Text(gs.ScenarioFolder);
        int exclusions = static_cast<int>(gs.ExclusionList.size());
        io.I32Count(exclusions, kMaxExclusion, "castle exclusions");
        if constexpr (kLoading) {
            if (!io.Ok() || static_cast<std::size_t>(exclusions) > io.Archive().Remaining() / 4) {
                io.Fail("castle exclusions");
                exclusions = 0;
            }
            gs.ExclusionList.assign(static_cast<std::size_t>(exclusions), 0);
        }
        for (auto& v : gs.ExclusionList)
            io.I32(v);
    }
}

// Blocks 3 to 84. GS is const GameState for the writer, GameState for the reader.
template <class Io, class GS>
void TransferTables(Io& io, GS& gs) {
    TransferLabelsAndEvents(io, gs);
    TransferRulesAndCounts(io, gs);
    TransferWorldTables(io, gs);
    TransferRoutes(io, gs);
    TransferHousesAndTurn(io, gs);
    TransferTrailingBlocks(io, gs);
}

}  // namespace

void WriteSavedGameTables(const GameState& gs, ArchiveWriter& out) {
    TableWriter io(out, gs.Encoding());
    TransferTables(io, gs);
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

std::vector<std::uint8_t> WriteSavedGame(const GameState& gs, const MbKorMap::CCtrlKorMap& map) {
    ArchiveWriter out;
    std::array<char, kSavedGameSignatureSize> signature{};
    std::memcpy(signature.data(), kSavedGameSignature, sizeof kSavedGameSignature - 1);
    out.WriteBytes(signature.data(), signature.size());
    map.Serialize(out);
    WriteSavedGameTables(gs, out);
    return out.Take();
}

bool SaveGameFile(const std::string& path, const GameState& gs, const MbKorMap::CCtrlKorMap& map,
                  std::string* message) {
    if (WriteFileAtomic(path, WriteSavedGame(gs, map))) return true;
    if (message) *message = kMsgCannotOpenFile;
    return false;
}

bool SaveViewOnlyGameFile(const std::string& path, GameState& gs, const MbKorMap::CCtrlKorMap& map,
                          std::string* message) {
    if (gs.bStartedAsSpectator) {
        if (message) *message = kMsgNoViewOnlyAfterSpectatorStart;
        return false;
    }
    const bool viewOnly = gs.bViewOnly;
    gs.bViewOnly = true;
    const bool saved = SaveGameFile(path, gs, map, message);
    gs.bViewOnly = viewOnly;
    return saved;
}

int SavedGameVersion(const std::uint8_t* field, std::size_t size) {
    static constexpr std::string_view kPrefix = "RYUUMONDEN LV ";
    if (size < kSavedGameSignatureSize) return -1;
    const std::string_view text(reinterpret_cast<const char*>(field), kSavedGameSignatureSize);
    if (text.substr(0, kPrefix.size()) != kPrefix) return -1;
    // The number after the prefix, digits, a point and digits ("1.16": 116), then zero bytes only.
    std::string_view rest = text.substr(kPrefix.size());
    const std::size_t end = rest.find('\0');
    const std::string_view number = rest.substr(0, end);
    if (end != std::string_view::npos && rest.find_first_not_of('\0', end) != std::string_view::npos)
        return -1;
    const std::size_t point = number.find('.');
    if (point == 0 || point == std::string_view::npos || point + 1 == number.size() ||
        number.find_first_not_of("0123456789.") != std::string_view::npos ||
        number.find('.', point + 1) != std::string_view::npos)
        return -1;
    double value = 0;
    const auto [stop, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || stop != number.data() + number.size() || value >= 1e6) return -1;
    return static_cast<int>(value * 100 + 0.5);
}

bool IsReadableSavedGameVersion(int version) {
    return version >= kOldestSavedGameVersion && version <= kSavedGameVersion &&
           version != CEventRecord::kCurrentLayoutSaveVersion;
}

namespace {

// The ranges of the stored values: those the scenario reader takes for the same fields, which
// the rules keep during play.
constexpr int kMaxYear = 9999;                        // a start year has at most four digits either way
constexpr int kMaxDistanceLimit = INT_MAX / 10 * 10;  // in tenths, as the scenario's value x 10
constexpr int kMaxRoadCost = 32767;                   // in tenths; from it on "out of reach"
constexpr int kMaxHarvestRate = 10000;
constexpr int kMaxAbility = 10;
constexpr int kMaxTeppouKouka = 100;
constexpr int kMaxTeppouTendency = 100;
constexpr int kMaxGunsenTendency = 10;
constexpr int kMaxKouzanGijutsu = 5000;  // in tenths
constexpr int kMaxKindOrBehaviour = 2;   // the three kinds of house and the three behaviours

// The first stored value outside its range, named with its record ("castle 3: size 128
// (0..10)"); empty when every value lies in range.
class ValueRangeCheck {
public:
    // The value of a field of record index of the table where (index -1: a setting of the game).
    void operator()(const char* where, int index, const char* field, long long v, long long lo,
                    long long hi) {
        if (!why_.empty() || (v >= lo && v <= hi)) return;
        if (index >= 0) why_ = std::string(where) + " " + std::to_string(index) + ": ";
        why_ += std::string(field) + " " + std::to_string(v) + " (" + std::to_string(lo) + ".." +
                std::to_string(hi) + ")";
    }
    // A value that has no range to name.
    void Note(const char* what) {
        if (why_.empty()) why_ = what;
    }
    const std::string& Why() const { return why_; }

private:
    std::string why_;
};

// The general's abilities; a general on stage or waiting also has a status.
template <class Record>
void CheckAbilities(ValueRangeCheck& check, const char* where, int index, const Record& r) {
    if constexpr (std::is_same_v<Record, CBushou>)
        check(where, index, "status", r.status, CBushou::kStatusKashin, CBushou::kStatusKyakushou);
    const std::pair<const char*, std::uint8_t> abilities[] = {
        {"valour", r.buyuu},
        {"politics", r.seiji},
        {"intellect", r.chibou},
        {"field command", r.yasenTousotsu},
        {"naval command", r.suigunTousotsu},
        {"ambition", r.yashin},
        {"loyalty", r.chuusei},
    };
    for (const auto& [field, v] : abilities)
        check(where, index, field, v, 0, kMaxAbility);
}

void CheckShiro(ValueRangeCheck& check, const char* where, int index, const CShiro& c) {
    check(where, index, "size", c.kibo, 0, CShiro::kMaxKibo);
    check(where, index, "support", c.support, 0, CShiro::kMaxSupport);
    check(where, index, "harvest rate", c.harvestRate, 0, kMaxHarvestRate);
    check(where, index, "trade ships", c.kouekisen, 0, CShiro::kMaxKouekisen);
}

std::string FindValueOutOfRange(const GameState& gs) {
    ValueRangeCheck check;
    if (gs.nStartYear == 0) check.Note("start year 0");
    check("", -1, "start year", gs.nStartYear, -kMaxYear, kMaxYear);
    check("", -1, "provisions per castle size", gs.nShiroHyourouMax, 1, INT_MAX);
    check("", -1, "distance limit", gs.nDistanceLimit, 10, kMaxDistanceLimit);
    check("", -1, "trade ship price", gs.nKouekisenPrice, 1, INT_MAX);
    check("", -1, "warship price", gs.nGunsenPrice, 1, INT_MAX);
    check("", -1, "surprise attacks", gs.nKishuu, 0, 1);
    for (int v : gs.RoadCost)
        check("", -1, "road cost", v, 0, kMaxRoadCost);
    for (std::uint8_t v : gs.TeppouKouka)
        check("", -1, "musket effect", v, 0, kMaxTeppouKouka);
    for (const auto* table : {&gs.TeppouCost, &gs.TeppouSoubiRitsu})
        for (double v : *table)
            if (!std::isfinite(v)) check.Note("musket cost or equipment rate not a number");
    for (int s = 0; s < gs.nShiro; ++s) {
        CheckShiro(check, "castle", s, ShiroAt(gs, s));
        CheckShiro(check, "castle snapshot", s, gs.ShiroSnapTbl[static_cast<std::size_t>(s)]);
    }
    for (int b = 0; b < gs.nBushou; ++b)
        CheckAbilities(check, "general", b, gs.BushouTbl[static_cast<std::size_t>(b)]);
    for (int b = 0; b < gs.nMitoujouBushou; ++b)
        CheckAbilities(check, "general not yet appeared", b,
                       gs.MitoujouBushouTbl[static_cast<std::size_t>(b)]);
    for (int b = 0; b < gs.nBushouEx; ++b)
        CheckAbilities(check, "general record", b, gs.BushouExTbl[static_cast<std::size_t>(b)]);
    for (int d = 0; d < gs.nScenarioDaimyou; ++d) {
        const CDaimyou& h = gs.DaimyouTbl[static_cast<std::size_t>(d)];
        check("house", d, "bond", h.bond, CDaimyou::kBondDokuritsu, CDaimyou::kBondShinjuu);
        check("house", d, "kind", h.GetKind(), 0, kMaxKindOrBehaviour);
        check("house", d, "behaviour", h.GetBehaviour(), 0, kMaxKindOrBehaviour);
        for (int other = 0; other < CDaimyou::kRelationCount && check.Why().empty(); ++other)
            check("house", d, "relation state", h.GetRelationLo(other), CDaimyou::kRelShukuteki,
                  CDaimyou::kRelRengouLeader);
        const DaimyouInitRecord& init = gs.DaimyouInitTbl[static_cast<std::size_t>(d)];
        check("house scenario record", d, "musket tendency", init.teppouTendency, 0, kMaxTeppouTendency);
        check("house scenario record", d, "warship tendency", init.gunsenTendency, 0, kMaxGunsenTendency);
        check("house scenario record", d, "mining technology", init.kouzanGijutsu, 0, kMaxKouzanGijutsu);
    }
    return check.Why();
}

// What the tables must keep beyond each record's own checks before the game may run on them.
std::string FindBadLoadedState(const GameState& gs) {
    if (gs.nPhase < kPhaseEvent || gs.nPhase > kPhaseShutsujin) return "phase";
    if (gs.nCurMonth < 1 || gs.nCurMonth > 12 || gs.nStartMonth < 1 || gs.nStartMonth > 12 ||
        gs.nCurYear == 0)
        return "date";
    if (gs.nDaimyou > gs.nScenarioDaimyou) return "house count";
    if (gs.nPlayerDaimyou < 0 || gs.nPlayerDaimyou >= gs.nScenarioDaimyou) return "player house";
    if (gs.nCurDaimyou < -1 || gs.nCurDaimyou >= gs.nScenarioDaimyou) return "current house";
    if (gs.nHeiUnit != 1 && gs.nHeiUnit != 10) return "soldier unit";
    if (gs.nPhaseSplit < 0 || gs.nPhaseSplit > gs.nDaimyou) return "phase loop position";
    for (int i = 0; i < gs.nDaimyou; ++i)
        if (gs.DaimyouOrder[static_cast<std::size_t>(i)] < 0 ||
            gs.DaimyouOrder[static_cast<std::size_t>(i)] >= gs.nDaimyou)
            return "house order";
    for (int s = 0; s < gs.nShiro; ++s) {
        const ShiroMapRecord& m = ShiroMapAt(gs, s);
        if (m.kuni >= gs.nKuni) return "castle province";
        if (m.shiroType >= gs.nShiroType && gs.nShiroType > 0) return "castle type";
        for (const ShiroConnection& c : m.connect) {
            if (c.shiro == 0xFFFF) break;
            if (c.shiro >= gs.nShiro) return "castle link";
            if (c.route < 0xFFFE && c.route >= gs.nRoutePoint) return "castle route";
        }
    }
    // What the general table names beyond the invariant check (which checks the castles of his
    // orders): his record and the houses that hold him or that he came from.
    for (int b = 0; b < gs.nBushou; ++b) {
        const CBushou& g = gs.BushouTbl[b];
        if (g.id >= gs.nBushouEx) return "general record";
        if (g.holderDaimyou >= gs.nScenarioDaimyou || g.originDaimyou >= gs.nScenarioDaimyou)
            return "general's house";
    }
    for (int b = 0; b < gs.nMitoujouBushou; ++b)
        if (gs.MitoujouBushouTbl[b].id >= gs.nBushouEx) return "general record";
    if (std::optional<std::string> broken = FindBrokenInvariant(gs)) return *broken;
    return {};
}

// The rebuild of what the tables imply, as a new game leaves it.
void RebuildAfterLoad(GameState& gs, MbKorMap::CCtrlKorMap& map, std::uint32_t seed) {
    for (int s = 0; s < gs.nShiro; ++s) {
        ShiroMapRecord& m = ShiroMapAt(gs, s);
        m.flags &= static_cast<std::uint8_t>(~ShiroMapRecord::kFlagWaterway);
        for (ShiroConnection& c : m.connect) {
            if (c.shiro == 0xFFFF) break;
            c.kind = 0;
        }
    }
    gs.nMinatoShiro = CountMinatoShiro(gs);
    RebuildShiroDisabledBits(gs);
    gs.bAutoAdvance = false;
    gs.bGameOver = false;
    gs.bAllAutomatic = false;
    gs.rng.Seed(seed);
    map.TextureSetup();
    map.ElvMap().EraseLandTopography();
    // The relief in the loaded month's season, not in the one of the game that stood before.
    map.ElvMap().SetSeason(CMainGame::SeasonOfMonth(gs.nCurMonth));
    SetShiroPictureTransparency(gs, map);
}

}  // namespace

SavedGameLoad LoadSavedGame(const std::vector<std::uint8_t>& bytes, GameState& gs, MbKorMap::CCtrlKorMap& map,
                            std::uint32_t seed) {
    SavedGameLoad result;
    auto refuse = [&result](const char* message, std::string detail) {
        result.message = message;
        result.detail = std::move(detail);
        return result;
    };
    result.version = SavedGameVersion(bytes.data(), bytes.size());
    if (bytes.size() < kSavedGameSignatureSize) return refuse(kMsgSaveDataBroken, "the file is too short");
    if (result.version < 0) return refuse(kMsgSaveDataBroken, "no saved-game signature");
    if (!IsReadableSavedGameVersion(result.version))
        return refuse(kMsgSaveVersionRefused, "version " + std::to_string(result.version) + " is not read");

    ArchiveReader in(bytes.data() + kSavedGameSignatureSize, bytes.size() - kSavedGameSignatureSize);
    MbKorMap::KorMapData stagedMap;
    MbKorMap::MapLoadError mapError = MbKorMap::MapLoadError::kNone;
    if (!MbKorMap::ReadKorMap(in, stagedMap, &mapError))
        return refuse(kMsgSaveDataBroken, std::string("map: ") + MbKorMap::MapLoadErrorText(mapError));
    if (!MapFitsTables(stagedMap)) return refuse(kMsgSaveDataBroken, "map: too many provinces or regions");

    auto staged = std::make_unique<GameState>();
    staged->nKuni = static_cast<int>(stagedMap.kuni.size());
    staged->nChiiki = static_cast<int>(stagedMap.chiiki.size());
    ResetScenarioWords(staged->ScenarioWords);
    TableReader io(std::span<const std::uint8_t>(bytes.data() + kSavedGameSignatureSize,
                                                 bytes.size() - kSavedGameSignatureSize),
                   in, result.version);
    TransferTables(io, *staged);
    if (!io.Ok())
        return refuse(kMsgSaveDataBroken, "cannot read " + (io.Why().empty() ? "the tables" : io.Why()));
    if (!in.AtEnd()) return refuse(kMsgSaveDataBroken, "bytes after the last block");
    if (result.version < kWideShiroTypeVersion) SpreadOldShiroTypeOffsets(*staged);
    if (std::string bad = FindValueOutOfRange(*staged); !bad.empty())
        return refuse(kMsgSaveDataBroken, "a value out of range: " + bad);
    if (std::string bad = FindBadLoadedState(*staged); !bad.empty())
        return refuse(kMsgSaveDataBroken, "the tables do not hold together: " + bad);

    std::string why;
    if (!map.SetData(std::move(stagedMap), &why)) return refuse(kMsgSaveDataBroken, "map: " + why);
    gs = std::move(*staged);
    RebuildAfterLoad(gs, map, seed);
    result.loaded = true;
    return result;
}

SavedGameLoad LoadSavedGameFile(const std::string& path, GameState& gs, MbKorMap::CCtrlKorMap& map,
                                std::uint32_t seed) {
    std::vector<std::uint8_t> bytes;
    if (const ReadFileError error = ReadFile(path, bytes, kSavedGameFileMaxBytes);
        error != ReadFileError::kNone) {
        SavedGameLoad result;
        result.message = kMsgCannotOpenFile;
        result.detail = ReadFileErrorText(path, error, kSavedGameFileMaxBytes);
        return result;
    }
    SavedGameLoad result = LoadSavedGame(bytes, gs, map, seed);
    if (result.loaded) result.folder = DirectoryOf(path);
    return result;
}

}  // namespace rymd
