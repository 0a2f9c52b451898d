// The province map: regions and provinces of the country, the polygons and lines that draw them,
// the colour palette, the land texture sets, the named pictures a scenario refers to, and the
// relief under them. One object is shared by the whole program; the scenario reader resolves
// every province and region identifier of a scenario against it, the map windows draw it and
// hit-test it.
//
// Map files
// ---------
// Two formats are read, and the one a map was last loaded from is written back:
//
// - "KorMap" (format flag 0, 128 map units per relief sample): the counted string "KorMap",
//   an int16 version 0..4, then (version >= 1) the named pictures, the relief, the texture sets,
//   nodes, line points, lines, polygon line list, polygons, labels, the palette, (version >= 4)
//   the water colour, regions and provinces. The writer always writes version 4. Older versions
//   are converted on reading: version 0 has no pictures, versions 0 and 1 keep their textures as
//   raw bitmaps, polygons of versions 0 to 2 have their kind byte renumbered, files before
//   version 4 get the standard water colour.
// - "RYUUMONDEN MAP " (format flag 1, 100 map units per relief sample): a 32-byte header with the
//   version text "0.03", (version >= 2) the palette, the counts, an extent rectangle and the
//   geometry, regions and provinces. It holds no relief, textures, pictures or labels: reading it
//   makes an all-sea relief of the extent's size and six texture sets from this library's own
//   pictures, and keeps the named pictures the object had. Polygons of versions 1 and 2 are
//   converted from the old kind numbers. The writer always writes "0.03". Because the relief is
//   all sea, land polygons of such a map need the fill-every-pixel flag to show as land.
//
// Writing a map (tools such as the map generator): fill a KorMapData (formatFlag chooses the
// format; a "KorMap" map needs a relief of at least 1 x 1 samples, a "RYUUMONDEN MAP " map a
// positive extent), check it with CheckKorMapData, then either
//     MbKorMap::SaveKorMapFile("data/default.smp", data);            // whole file, atomically
// or  rymd::ArchiveWriter ar; MbKorMap::WriteKorMap(ar, data);        // into a larger stream
// A map loaded into a CCtrlKorMap is written with CCtrlKorMap::SaveKorMap or Serialize.
//
// Every reader checks every count, index, terminator and size against the bytes left and the
// capacities (100 texture sets, 5000 named pictures, 1000 labels); a bad file is refused with
// "ファイルが異常です" and the object stays exactly as it was.
//
// Coordinates
// -----------
// Map coordinates are the int32 values of nodes and line points: `unit` of them per relief
// sample. Relief coordinates are map coordinates / unit. Display coordinates (pixels of the
// target bitmap) are trunc(map / unit x scale) - origin per axis, computed in double; DrawMap
// sets scale and origin for the view it draws.
//
// Identifiers and names of regions and provinces are the file's bytes (Shift-JIS); the game
// converts them for display.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "mb3dmap/elv_map.h"
#include "mbbmp/control_bmp.h"

namespace rymd {
class ArchiveReader;
class ArchiveWriter;
}  // namespace rymd

namespace MbKorMap {

using MbBmp::COLORREF;
using MbBmp::HBITMAP;
using MbBmp::POINT;
using MbBmp::RECT;

struct CSize {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

// ---- Capacities and constants -------------------------------------------------------------------

inline constexpr int kMaxTextureSets = 100;
inline constexpr int kMaxPictures = 5000;
inline constexpr int kMaxLabels = 1000;
inline constexpr int kPaletteSize = 32;
// Identifier and name fields of region and province records: 31 bytes, zero-terminated when
// shorter (keep them at 30 bytes or less).
inline constexpr int kIdFieldSize = 31;
// Points of one polygon outline; longer outlines are cut.
inline constexpr int kMaxOutlinePoints = 10000;
// The version "KorMap" files are written in.
inline constexpr int kKorMapVersion = 4;
// The version of "RYUUMONDEN MAP " files written ("0.03").
inline constexpr int kRyuumondenVersion = 3;

// Units per relief sample of the two formats.
inline constexpr std::int32_t kKorMapUnit = 128;
inline constexpr std::int32_t kRyuumondenUnit = 100;

inline constexpr COLORREF kDefaultWaterColor = MbBmp::RGB(0, 100, 128);

// The largest map file read, far above any real one; a larger file cannot be opened.
inline constexpr std::uint64_t kKorMapFileMaxBytes = std::uint64_t{256} << 20;

// The message shown when a map file is refused.
inline constexpr char kMsgBadMapFile[] = "ファイルが異常です";

// ---- Records (laid out in the file exactly in this order, little-endian, packed) -----------------

// A province: identifier (the key scenarios name it by), display name and the index of its region
// (two bytes the map carries for the game).
struct KuniRecord {
    std::string id;           // the file's bytes, at most 31 (no zero byte)
    std::string name;         // the file's bytes, at most 31
    std::int16_t chiiki = 0;  // region index
    // The id and name fields as read (62 bytes). The writer starts from them and puts id and name
    // over them, so bytes after a field's terminator survive a load and store.
    std::array<std::uint8_t, 2 * kIdFieldSize> fieldBytes{};
};

// A region (group of provinces).
struct ChiikiRecord {
    std::string id;
    std::string name;
    std::array<std::uint8_t, 2 * kIdFieldSize> fieldBytes{};
};

// End point of lines, in map coordinates.
struct tagMapNode {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Inner point of a line; the pair (-1, -1) ends a line's run.
struct tagMapLinePoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool IsTerminator() const { return x == -1 && y == -1; }
};

// A border or other line: from the start node through the run of inner points beginning at
// firstPoint to the end node.
struct tagMapLine {
    // Colour codes (low 15 bits; bit 15 is a flag the drawing ignores): 0 black, 1 white, 2 not
    // drawn, 20..51 palette entry code - 20. Codes 3..19 and above 51 are drawn black.
    static constexpr std::uint16_t kBlack = 0;
    static constexpr std::uint16_t kWhite = 1;
    static constexpr std::uint16_t kHidden = 2;
    static constexpr std::uint16_t kPaletteBase = 20;
    static constexpr std::uint16_t kCodeMask = 0x7FFF;

    std::int16_t start = 0;
    std::int16_t end = 0;
    std::int32_t firstPoint = 0;
    std::uint16_t color = 0;
};

// A fillable area: the run of line indices beginning at firstList in the polygon line list
// (ending with -1) outlines it.
struct tagMapPolygon {
    // Kind: the low four bits of `kind`.
    static constexpr std::uint8_t kLand = 0;     // textured land; value = level = texture set
    static constexpr std::uint8_t kPalette = 1;  // palette colour; value = level = palette index
    static constexpr std::uint8_t kWater = 2;    // water colour
    static constexpr std::uint8_t kHidden = 3;   // never drawn, still hit-tested
    static constexpr std::uint8_t kKindMask = 0x0F;
    // Flags in the same byte.
    static constexpr std::uint8_t kNoRelief = 0x20;  // no relief shading
    static constexpr std::uint8_t kFillAll = 0x40;   // fill every pixel, also where the relief is sea
    static constexpr std::uint8_t kShadow = 0x80;    // casts a shadow

    std::int16_t firstList = 0;
    std::uint8_t kind = 0;
    std::uint8_t value = 0;
    std::int16_t kuni = -1;  // province number; negative: no province

    int Kind() const { return kind & kKindMask; }
};

// A map label: carried by the "KorMap" format, read by nothing.
struct tagMapLabel {
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::string text;
    std::uint16_t value = 0;
};

// Everything a map file holds. Loading fills a fresh one and commits it only when the whole
// file was good, so a failed load leaves the shared map as it was.
struct KorMapData {
    std::vector<KuniRecord> kuni;
    std::vector<ChiikiRecord> chiiki;
    std::vector<std::string> pictureNames;     // named pictures in stored order, the file's bytes
    std::vector<MbBmp::CControlBmp> pictures;  // the named pictures themselves, one per name
    // Size of the relief in samples (after a load: the relief map's width and height; the writer
    // does not use them).
    std::int32_t width = 0;
    std::int32_t height = 0;
    // 1 when the file had the "RYUUMONDEN MAP " signature, 0 for the "KorMap" form. Also the
    // format the writer writes.
    int formatFlag = 0;
    Mb3dMap::CCtrlElvMap elvMap;  // the relief ("KorMap" only)

    int fileVersion = kKorMapVersion;  // the version read (information only)
    RECT extent{};                     // "RYUUMONDEN MAP ": its size is the relief's
    std::int32_t unit = kKorMapUnit;   // map units per relief sample
    std::int32_t reservedTextureWord = 0;
    std::vector<Mb3dMap::tagTEXTURE_SET> textureSets;  // at most 100
    std::vector<tagMapNode> nodes;
    std::vector<tagMapLinePoint> linePoints;
    std::vector<tagMapLine> lines;
    std::vector<std::int32_t> polygonLineList;
    std::vector<tagMapPolygon> polygons;
    // Bounding rectangle of each polygon in map coordinates (right and bottom exclusive);
    // computed on commit, never stored.
    std::vector<RECT> polygonRects;
    std::array<COLORREF, kPaletteSize> palette{};
    COLORREF waterColor = kDefaultWaterColor;
    std::vector<tagMapLabel> labels;  // at most 1000
    // Set by the "RYUUMONDEN MAP " reader: the file holds no pictures, so committing it keeps the
    // pictures (and names) the map had.
    bool picturesKept = false;
};

// Why a map file was refused.
enum class MapLoadError {
    kNone = 0,
    kCannotOpen,    // the file cannot be read
    kBadSignature,  // neither format's signature
    kBadVersion,    // a version this reader does not know
    kTruncated,     // the file ends before the data it announces
    kTooMany,       // a count above a capacity, or negative
    kBadPicture,    // a named picture that cannot be read
    kBadRelief,     // the relief stream is refused or its size is empty
    kBadTexture,    // a texture set that cannot be read or has no picture
    kBadSize,       // "RYUUMONDEN MAP ": an empty or too large extent
    kBadGeometry,   // an index, terminator or province number out of range
};

// A short English description (for tools and diagnostics).
const char* MapLoadErrorText(MapLoadError error);

// ---- Stream form without the object -------------------------------------------------------------

// Reads a map file image (either format) into out. Refused input: false, the reason in *error,
// the reader failed; out is then unspecified. out.polygonRects is left empty.
bool ReadKorMap(rymd::ArchiveReader& ar, KorMapData& out, MapLoadError* error = nullptr);
// Writes the map in the format of data.formatFlag ("KorMap" version 4, or "RYUUMONDEN MAP "
// "0.03"). The data should pass CheckKorMapData; fields too long are cut to their capacity.
void WriteKorMap(rymd::ArchiveWriter& ar, const KorMapData& data);
// Checks what a reader checks (capacities, indices, terminators, sizes). False with a reason.
bool CheckKorMapData(const KorMapData& data, std::string* why = nullptr);
// CheckKorMapData, then WriteKorMap to the file (written atomically). False when the data fails
// the check (why says why) or the file cannot be written.
bool SaveKorMapFile(const char* path, const KorMapData& data, std::string* why = nullptr);

// This library's own texture pictures (60 x 60, 24 bits), which "RYUUMONDEN MAP " maps use:
// 3000 plains, 3001 sea, 3002 forest, 3003 highland, 3005 sand, 3006 snow, 3007 marsh.
// False for any other id.
bool LoadKorMapTextureBitmap(int id, MbBmp::CControlBmp& out);
// The six texture sets a "RYUUMONDEN MAP " map gets (named "T_INITIAL").
std::vector<Mb3dMap::tagTEXTURE_SET> MakeInitialTextureSets();

// ---- The map object -----------------------------------------------------------------------------

class CCtrlKorMap {
public:
    enum LoadResult { kLoaded = 0, kCannotOpen = 1, kBadContent = 2, kRefused = 3 };

    // Empty: no regions, provinces or geometry, format "KorMap", unit 128, no province selected,
    // brightness types 3 (selected) and 2 (others), scales 1.0, origin 0.
    CCtrlKorMap();
    virtual ~CCtrlKorMap();
    CCtrlKorMap(const CCtrlKorMap&) = delete;
    CCtrlKorMap& operator=(const CCtrlKorMap&) = delete;

    // ---- Loading and storing ------------------------------------------------------------------
    // Loads a province map file: 0 loaded, 1 the file cannot be opened, 2 the content is bad
    // ("ファイルが異常です" goes to the message handler), 3 the caller's accept test refused the
    // map. Only a load that returns 0 changes the object.
    int LoadKorMap(const char* path, const std::function<bool(const KorMapData&)>& accept = {});
    // Stores the map in the format it was loaded from ("KorMap" version 4 or "RYUUMONDEN MAP "
    // "0.03"). Always true.
    bool Serialize(rymd::ArchiveWriter& ar) const;
    // Loads a map from the stream (a saved game's map block). A refused map fails the reader,
    // shows "ファイルが異常です" and returns false with the object unchanged.
    bool Serialize(rymd::ArchiveReader& ar);
    // Writes the map to a file (atomically); false when it cannot be written.
    bool SaveKorMap(const char* path) const;
    // Replaces the content by data after CheckKorMapData; false (object unchanged) when it fails.
    bool SetData(KorMapData&& data, std::string* why = nullptr);
    // Frees the geometry, regions and provinces (the relief, textures and pictures stay).
    void DeleteAll();
    // Why the last refused load was refused (kNone after a successful one).
    MapLoadError LastLoadError() const { return lastError_; }
    // The file of the last successful LoadKorMap ("" when the content came from elsewhere).
    const std::string& LoadedPath() const { return loadedPath_; }
    // Where the library's messages go (the game shows them in a message box); none by default.
    void SetMessageHandler(std::function<void(const char*)> handler) { messageHandler_ = std::move(handler); }

    // Hands the map's texture sets to the relief map; a map without any keeps the relief map's
    // own default set. The game calls it after each load.
    void TextureSetup();

    // ---- Drawing and hit testing ----------------------------------------------------------------
    // Draws the map rectangle whose top-left relief sample is (x, y), w x h samples, on dispW x
    // dispH pixels of the target bitmap: relief and sea, shadows, land by level, palette areas by
    // level, water, lines. Sets scale and origin. An empty view (any size 0 or less) draws nothing
    // and changes nothing. The last few pictures are kept: the same view drawn again with the same
    // season, selection, brightness and relief settings over the same map is copied, not drawn.
    void DrawMap(int x, int y, int w, int h, int dispW, int dispH);
    // Fills province kuni in colour (with brightness type brightType, relief shading when shade);
    // its water polygons in the standard water colour; then the lines when drawLines.
    void PaintKuni(int kuni, COLORREF colour, bool drawLines, int brightType, bool shade);
    // Draws every visible line with the current scale and origin.
    void DrawLine();
    // Province at pt (relief coordinates), or -1: the first polygon in array order of a province
    // whose outline holds the point (its edge included).
    int DetectKuni(POINT pt);
    // Map coordinates to display coordinates without the origin.
    POINT ConvertToDispPoint(const POINT& pt) const;
    // The polygon's outline in display coordinates with offset subtracted instead of the origin;
    // the number of points written (at most max).
    int ArrangePolygonPointList(int polygon, POINT* out, const CSize& offset, int max) const;
    // Recomputes every polygon's bounding rectangle (done on every load).
    void CalcPolygonRect();

    // ---- Display state ------------------------------------------------------------------------
    // -1 is kept as -2 (none).
    void SetSelectedKuni(int kuni) { selectedKuni_ = kuni == -1 ? -2 : kuni; }
    void SetBrightType(int selected, int other) {
        selectedBright_ = selected;
        otherBright_ = other;
    }
    void SetSeason(int season) { data_.elvMap.SetSeason(season); }
    void SetExternalBmp(MbBmp::CControlBmp* bmp) { data_.elvMap.SetExternalBmp(bmp); }
    void SetInternalBmp() { data_.elvMap.SetInternalBmp(); }
    HBITMAP GetHbmp() const { return data_.elvMap.GetHbmp(); }
    int GetSelectedKuni() const { return selectedKuni_; }
    int GetSelectedBrightType() const { return selectedBright_; }
    int GetOtherBrightType() const { return otherBright_; }
    int GetSeason() const { return data_.elvMap.GetSeason(); }
    double GetScaleX() const { return scaleX_; }
    double GetScaleY() const { return scaleY_; }
    CSize GetOrigin() const { return origin_; }
    std::int32_t GetUnit() const { return data_.unit; }

    // ---- Tables -------------------------------------------------------------------------------
    Mb3dMap::CCtrlElvMap& ElvMap() { return data_.elvMap; }
    const Mb3dMap::CCtrlElvMap& ElvMap() const { return data_.elvMap; }
    const KorMapData& Data() const { return data_; }

    int KuniCount() const { return static_cast<int>(data_.kuni.size()); }
    int ChiikiCount() const { return static_cast<int>(data_.chiiki.size()); }
    const KuniRecord& Kuni(int i) const { return data_.kuni[static_cast<std::size_t>(i)]; }
    const ChiikiRecord& Chiiki(int i) const { return data_.chiiki[static_cast<std::size_t>(i)]; }
    // Width and height as loaded (the relief's size in samples).
    int Width() const { return data_.width; }
    int Height() const { return data_.height; }
    // The relief map's size in samples.
    int GetMapWidth() const { return data_.elvMap.GetMapWidth(); }
    int GetMapHeight() const { return data_.elvMap.GetMapHeight(); }
    int FormatFlag() const { return data_.formatFlag; }
    // Position of the first province / region / picture whose identifier equals the given
    // bytes, or -1.
    int FindKuni(const std::string& id) const;
    int FindChiiki(const std::string& id) const;
    int FindPicture(const std::string& name) const;
    int KuniIdToNo(const char* id) const { return id ? FindKuni(id) : -1; }
    int RegionIdToNo(const char* id) const { return id ? FindChiiki(id) : -1; }
    // Fields by index ("" outside the table).
    const char* KuniId(int no) const;
    const char* KuniName(int no) const;
    const char* RegionName(int no) const;
    // The named picture at a position (none: nullptr).
    MbBmp::CControlBmp* Picture(int i) {
        return i >= 0 && static_cast<std::size_t>(i) < data_.pictures.size()
                   ? &data_.pictures[static_cast<std::size_t>(i)]
                   : nullptr;
    }

protected:
    // Reads a map file into out; same results as LoadKorMap (without 3). A bad file has already
    // set LastLoadError.
    virtual int ReadKorMapFile(const char* path, KorMapData& out);

private:
    void Commit(KorMapData&& staged);
    void Refused(MapLoadError error);
    int Arrange(int polygon, POINT* out, CSize offset, int max, double sx, double sy, bool merged) const;
    // Map coordinates scaled to display pixels; then with an offset taken off.
    POINT Scaled(std::int32_t x, std::int32_t y, double sx, double sy) const;
    POINT ToDisplay(std::int32_t x, std::int32_t y, CSize offset, double sx, double sy) const;
    // Fills scaledNodes_ and scaledPoints_ for the current scale unless they are for it already.
    void ConvertPoints();
    // Drops the kept pictures and converted points (the geometry changed).
    void ForgetDrawings();
    int BrightOf(const tagMapPolygon& p) const {
        return p.kuni == selectedKuni_ ? selectedBright_ : otherBright_;
    }
    COLORREF PaletteColor(int index) const;
    void DrawOutline(int polygon, CSize offset, int brightType, bool relief, bool texture, COLORREF colour,
                     bool fillAll);
    void DrawLayers(std::int64_t viewLeft, std::int64_t viewTop, std::int64_t viewRight,
                    std::int64_t viewBottom);

    // A finished DrawMap picture and everything it was drawn with. The same view drawn again with
    // the same settings over the same map is that picture.
    struct DrawnPicture {
        std::array<std::int64_t, 14> key{};
        int textureAfter = 0;  // the texture set the relief map had selected when it was done
        std::vector<std::uint8_t> pixels;
    };
    std::array<std::int64_t, 14> PictureKey(int x, int y, int w, int h, int dispW, int dispH) const;

    KorMapData data_;
    // Drawing order of land and palette polygons: by level, then array order.
    std::vector<int> landOrder_;
    std::vector<int> paletteOrder_;
    std::vector<POINT> outline_;
    // The last few pictures, the latest first (a map window's view in its seasons, a castle view).
    static constexpr std::size_t kKeptPictures = 3;
    std::vector<DrawnPicture> pictures_;
    // Every node and line point scaled to display pixels (origin not taken off) at convertedX_,
    // convertedY_.
    std::vector<POINT> scaledNodes_;
    std::vector<POINT> scaledPoints_;
    bool converted_ = false;
    double convertedX_ = 0.0;
    double convertedY_ = 0.0;

    double scaleX_ = 1.0;
    double scaleY_ = 1.0;
    CSize origin_{};
    int selectedKuni_ = -2;
    int selectedBright_ = 3;
    int otherBright_ = 2;
    MapLoadError lastError_ = MapLoadError::kNone;
    std::string loadedPath_;
    std::function<void(const char*)> messageHandler_;
};

}  // namespace MbKorMap
