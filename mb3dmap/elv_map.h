// Relief map: the elevation raster under the province map, its land textures, the stretched
// copy of the raster for the current view, and the bitmap that all map drawing goes into.
//
// Elevation samples are 16-bit; 0 is sea, every other value is land height. The raster holds
// (map width + 1) x (map height + 1) samples row by row: the last column and the last row are
// guard copies of their neighbours, so that interpolation may read one sample past the map.
//
// Drawing works in display pixels of the current view (set by StretchElevationData): x from the
// left, y from the top. Every drawing member clips to the view and to the target bitmap.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mb3dmap/ctrl_dib.h"
#include "mbbmp/control_bmp.h"

namespace rymd {
class ArchiveReader;
class ArchiveWriter;
}  // namespace rymd

namespace Mb3dMap {

using MbBmp::COLORREF;
using MbBmp::HBITMAP;
using MbBmp::POINT;
using MbBmp::RECT;

// One horizontal run of display pixels: row y, columns x1 to x2 inclusive.
struct tagHorzLine {
    std::int16_t y = 0;
    std::int16_t x1 = 0;
    std::int16_t x2 = 0;
};

// A land texture set as the province map keeps it: per season a low-land texture (first), a
// high-land texture (second) and a sea texture (third), and three heights.
struct tagTEXTURE_SET {
    static constexpr std::int32_t kFourSeasons = 0x01;

    std::int32_t flags = 0;  // bit 0: four seasons; otherwise only season 0 is used
    MbBmp::CControlBmp first[4];
    MbBmp::CControlBmp second[4];
    MbBmp::CControlBmp third[4];
    // Height at which the high-land texture has fully replaced the low-land one.
    std::int32_t firstValue[4] = {1, 1, 1, 1};
    // Snow line at the top edge of the map and at its bottom edge.
    std::int32_t secondValue[4] = {1, 1, 1, 1};
    std::int32_t thirdValue[4] = {1, 1, 1, 1};
    std::string name;  // the file's bytes
};

// Why loading an elevation stream was refused.
enum class ElvLoadError {
    kNone = 0,
    kCannotOpen,  // a stand-alone elevation file that cannot be read (nothing is shown)
    kTruncated,   // the stream ends before the data it announces
    kBadSize,     // a negative width or height
    kTooLarge,    // more samples than a relief map may have
    kBadCoding,   // a coding other than 0 to 3
    kBadCode,     // run/delta code that is malformed or does not give exactly width x height samples
    kBadJpeg,     // JPEG data that cannot be decoded or is not width x height
};

// The message shown to the player for a refused elevation stream ("" for kNone and for a file
// that cannot be opened).
const char* ElvLoadErrorMessage(ElvLoadError error);

inline constexpr char kMsgBadElevationData[] = "標高データファイル(.elv)の内容が異常です";

// Largest stand-alone elevation file LoadElevationFile reads (a coding-2 stream of the largest
// map with a literal for every sample fits).
inline constexpr std::uint64_t kElevationFileMaxBytes = std::uint64_t{64} << 20;
// Largest number of samples (width x height) a relief map may have.
inline constexpr std::int64_t kMaxElevationSamples = std::int64_t{1} << 24;
// Texture sets the relief map can hold.
inline constexpr int kMaxTextureSets = 100;
// Spans that the outline form of DrawPolygonOnBitmapBuffer can produce.
inline constexpr int kMaxPolygonSpans = 20000;

// Textures of one season of one set, prepared for drawing.
struct TextureEntry {
    int width = 0;
    int height = 0;
    int rowLength = 0;  // width x 4 bytes
    int byteSize = 0;   // rowLength x height
    // 3 x byteSize bytes, rows top first: first two thirds the low-land and high-land pixels
    // interleaved by channel (b1 b2 g1 g2 r1 r2 0 0), last third the sea pixels (b g r 0).
    std::vector<std::uint8_t> block;
    std::int32_t firstValue = 1;
    std::int32_t secondValue = 1;
    std::int32_t thirdValue = 1;
    // The same pictures split by channel for painting: per row nine planes (low-land b, g, r,
    // high-land b, g, r, sea b, g, r) of width + kPlanePad bytes, each wrapping around to its
    // row's start so that any run of kPlanePad pixels can be read without a break.
    static constexpr int kPlanePad = 16;
    std::vector<std::uint8_t> planes;

    bool HasBuffers() const { return !block.empty(); }
    const std::uint8_t* Pair() const { return block.data(); }
    const std::uint8_t* Sea() const { return block.data() + 2 * static_cast<std::size_t>(byteSize); }
};

class CCtrlElvMap {
public:
    // Empty raster, one texture set (the library's own defaults), drawing into the own bitmap.
    CCtrlElvMap();
    virtual ~CCtrlElvMap();
    // Copies are whole copies (raster, textures, own bitmap); an external target is shared.
    CCtrlElvMap(const CCtrlElvMap&) = default;
    CCtrlElvMap& operator=(const CCtrlElvMap&) = default;
    CCtrlElvMap(CCtrlElvMap&&) noexcept = default;
    CCtrlElvMap& operator=(CCtrlElvMap&&) noexcept = default;

    // ---- Raster --------------------------------------------------------------------------------
    // A new all-sea map of w x h samples. Negative sizes count as 0 (no raster); a map larger
    // than kMaxElevationSamples is refused (false, the map is then empty).
    bool CreateNewMap(int w, int h);
    // Every sample becomes 0 (sea).
    void ClearElevationData();
    // Flattens the relief to a land/sea mask: every non-zero sample becomes 1, and the kept JPEG
    // form of the relief is dropped.
    void EraseLandTopography();
    // The raster was changed from outside: the next draw rebuilds the stretched copy.
    void ElevationDataModified();
    // Guard column x = W takes column W - 1 of each row, guard row H takes row H - 1.
    void FillGapOfElevationData();

    int GetMapWidth() const { return m_nMapWidth; }
    int GetMapHeight() const { return m_nMapHeight; }
    int GetRasterWidth() const { return m_nRasterWidth; }
    int GetRasterHeight() const { return m_nRasterHeight; }
    int GetRasterRowLength() const { return m_nRasterRowLength; }
    // The raster (null when there is none); sample (x, y) is at y x raster width + x.
    const std::uint16_t* GetElevationData() const {
        return m_Elevation.empty() ? nullptr : m_Elevation.data();
    }
    std::uint16_t* GetElevationData() { return m_Elevation.empty() ? nullptr : m_Elevation.data(); }
    // Sample (x, y), guard column and row included; 0 outside.
    int GetElevation(int x, int y) const;

    // ---- Stream form -----------------------------------------------------------------------------
    // Little-endian: uint16 coding, int16 width, int16 height; then, only when both sizes are
    // non-zero: coding 0, height rows of width uint16 samples; codings 1 and 2, uint32 n and n
    // bytes of the run/delta code (elv_coding.h); coding 3, uint16 maximum elevation M, uint32 n
    // and n bytes of a grey JPEG of width x height whose pixel p stands for p x M / 255.
    // Stores the raster: coding 3 (the kept JPEG bytes) when the save type is 1 and JPEG data is
    // kept, else coding 2.
    void Serialize(rymd::ArchiveWriter& ar) const;
    // Loads a raster in any of the four codings. A refused stream fails the reader, returns
    // false, reports why in *error and leaves the object as it was.
    bool Serialize(rymd::ArchiveReader& ar, ElvLoadError* error = nullptr);
    // Drops the kept JPEG form of the relief.
    void DeleteCompressedData();
    void SetSaveType(int type) { m_nSaveType = type; }
    int GetSaveType() const { return m_nSaveType; }
    const std::vector<std::uint8_t>& GetCompressedData() const { return m_Compressed; }
    int GetCompressedDataSize() const { return static_cast<int>(m_Compressed.size()); }
    std::uint16_t GetCompressedMaxElevation() const { return m_nCompressedMax; }

    // ---- Textures --------------------------------------------------------------------------------
    // Converts and appends a texture set; its index, or -1 when 100 sets are there already.
    int AddTexture(const tagTEXTURE_SET* set);
    // Frees every texture; count, selected set and season become 0.
    void RemoveAllTexture();
    // Appends the library's own default set (low land, high land, sea; heights 2000).
    int LoadDefaultTexture();
    void SelectTexture(int set) { m_nSelectedTexture = set; }
    void SetSeason(int season) { m_nSeason = season; }
    void SetReliefLevel(int level) { m_nReliefLevel = level; }
    int GetTextureCount() const { return m_nTextureCount; }
    int GetSelectedTexture() const { return m_nSelectedTexture; }
    int GetSeason() const { return m_nSeason; }
    int GetReliefLevel() const { return m_nReliefLevel; }
    bool IsFourSeasons(int set) const;
    // Entry of a set and season as stored (null outside the sets in use).
    const TextureEntry* GetTextureEntry(int set, int season) const;

    // ---- Target bitmap ---------------------------------------------------------------------------
    // Draw into the caller's bitmap (the caller keeps it alive) or the own one again.
    void SetExternalBmp(MbBmp::CControlBmp* bmp) { m_pExternalBmp = bmp; }
    void SetInternalBmp() { m_pExternalBmp = nullptr; }
    // Handle of the own bitmap (whatever the target).
    HBITMAP GetHbmp() const { return m_OwnBmp.bmp.GetHbmp(); }
    MbBmp::CControlBmp* GetTargetBmp() { return m_pExternalBmp ? m_pExternalBmp : &m_OwnBmp.bmp; }
    const MbBmp::CControlBmp* GetTargetBmp() const { return m_pExternalBmp ? m_pExternalBmp : &m_OwnBmp.bmp; }
    MbBmp::CControlBmp& GetOwnBmp() { return m_OwnBmp.bmp; }

    // ---- View and drawing ------------------------------------------------------------------------
    // Prepares the view whose top-left sample is (x, y), w x h samples shown on dispW x dispH
    // pixels: rebuilds the stretched copy when the view changed and recreates the target bitmap
    // (24 bits, dispW x dispH), black unless clear is false: then only the bytes past the pixels
    // of each row are cleared and the caller covers every pixel (FillSeaColorOnBitmapBuffer does).
    void StretchElevationData(int x, int y, int w, int h, int dispW, int dispH, bool clear = true);
    // A new stretched copy of stretchW x stretchH samples whose first validW columns and validH
    // rows are filled from the raster (the rest repeats the last filled column and row).
    std::vector<std::int16_t> StretchElevationData(int x, int y, int w, int h, int dispW, int dispH,
                                                   int stretchW, int stretchH, int validW, int validH) const;
    // Tiles the sea texture of set 0 over the whole target, fixed to the map while it scrolls.
    void FillSeaColorOnBitmapBuffer();
    // Paints spans: land blended from the textures (or colour) by height, snow, slope shading
    // and a brightness type (0 as is, 1 half, 2 three quarters, 3 and 4 brighter); sea from the
    // sea texture unless fillAll.
    void DrawPolygonOnBitmapBuffer(const tagHorzLine* spans, int count, int brightType, bool relief,
                                   bool texture, COLORREF colour, bool fillAll);
    // Scan-converts the outline, then paints its spans as above.
    void DrawPolygonOnBitmapBuffer(const POINT* points, int count, int brightType, bool relief, bool texture,
                                   COLORREF colour, bool fillAll);
    // One-pixel line from a to b (both ends included), clipped to the view.
    void DrawLineOnBitmapBuffer(POINT a, POINT b, COLORREF colour);

    // Spans of an outline (closed, even-odd rule, the outline's own pixels included), clipped to
    // the view; the number written, at most max.
    int CalcPolygon(const POINT* points, int count, tagHorzLine* spans, int max) const;
    // Whether pt lies inside the outline or on it (the pixels CalcPolygon would fill).
    static bool PtInPolygon(POINT pt, const POINT* points, int count);

    // ---- Editing (map-making tools; the game itself calls none of these) ---------------------------
    // Operations that replace the raster drop the kept JPEG form of the relief (it no longer
    // matches), fill the guard column and row and make the next draw rebuild the stretched copy.
    // A size a relief map cannot have (below 1, above 32767 or more than kMaxElevationSamples
    // samples) is refused: false, and the map is left as it was. The rasters of copies of this
    // object are their own, so the freeOld flags (which told whether the old raster was freed or
    // left to a copy kept for undo) need no work: the old raster always goes with the change.
    //
    // Reads a stand-alone elevation file (.elv): one elevation stream (see Serialize). A file that
    // cannot be read gives kCannotOpen; refused content gives its reason (ElvLoadErrorMessage);
    // either way the map is left as it was.
    bool LoadElevationFile(const std::string& path, ElvLoadError* error = nullptr);
    // Writes the relief as coding 3: uint16 3, int16 width, int16 height, uint16 M (the largest
    // sample), uint32 n and n bytes of a grey JPEG at quality (1..100) whose pixel is
    // sample x 256 / (M + 1). Written whole or not at all: false (and nothing written) for a map
    // without raster or when the picture cannot be coded.
    bool Save3djFile(rymd::ArchiveWriter& ar, int quality) const;
    // The same as a stand-alone file, replaced whole or left as it was.
    bool Save3djFile(const std::string& path, int quality) const;
    // Replaces the raster by w x h samples given row by row.
    bool SetElevationData(int w, int h, const std::uint16_t* data);
    // Gives the object its own copy of the raster (guard column and row included). Copies of the
    // object never share rasters here, so this only reallocates.
    void CopyElevationDataToNewBuffer();
    // A canvas of w x h samples, all sea, with the old samples in its top-left corner.
    bool ChangeCanvasSize(int w, int h);
    // Keeps the rectangle only: a negative x or y counts as 0 (w and h stay), w and h are cut
    // to the map; an empty result keeps the whole map.
    void ClipArea(int x, int y, int w, int h);
    // Lowers every land sample (>= 1) of the rectangle (cut to the map) by amount; with keepLand
    // a result below 1 becomes 1 (land stays land), otherwise a negative result becomes 0 (sea).
    // Sea stays sea; a negative amount raises the land (to 65535 at most).
    void TransSink(int amount, int x, int y, int w, int h, bool keepLand, bool freeOld);
    // Resamples the relief to w x h: every new sample is the mean of the source area it covers
    // (along the rows, then along the columns), rounded to nearest. A size kept is a copy.
    bool TransSize(int w, int h, bool freeOld);
    // Barrel: row r (t = r - height / 2, integer halving) is squeezed into the interval of half
    // width |a t^2 + b t + c| (at most width / 2) about the map's middle; each new sample the mean
    // of the source part of its row it covers; outside the interval sea. a = b = 0 and
    // c = width / 2 keep the map. False for parameters that are not finite.
    bool TransBarrel(double a, double b, double c, bool freeOld);
    // Bends the map into a ring sector of angle degrees (0 < angle <= 360) opening upward: outer
    // radius R = width x 360 / angle / 6.28318, inner radius R x innerPercent / 100
    // (0 <= innerPercent < 100), both scaled down so that their difference is at most the height.
    // Columns run along the arc from left to right, the top row lies on the outer arc. The new
    // map is the sector's bounding box (rounded outward); each sample is the mean of the source
    // area its polar cell covers; outside the sector, sea. False, with the map unchanged, for
    // arguments outside those ranges or not finite, and for a sector that cannot be drawn: radii
    // that overflow, a ring whose inner radius rounds to the outer one, an outer radius beyond
    // 2^30 samples or a bounding box larger than a map.
    bool TransSector(double angle, double innerPercent, bool freeOld);
    // Turns the map counter-clockwise (as seen on the screen) by degrees, brought into 0..359
    // first. 0, 90, 180 and 270 move samples exactly (90 and 270 swap width and height); other
    // angles give a map of ceil(|W cos| + |H sin|) x ceil(|W sin| + |H cos|), each sample the
    // mean of the source samples within a distance of 2.83, weighted by the overlap of two
    // circles of radius 1.41 at their distance; outside the source, sea.
    bool TransRotate(int degrees, bool freeOld);

    // ---- Overlay picture -------------------------------------------------------------------------
    // A picture laid over the map, one pixel per sample from the map's top-left; null removes
    // it. The two values are kept and not used otherwise. The next StretchElevationData stretches
    // it for the view as it does the relief (nearest pixel).
    void SetOverlapBitmap(HBITMAP bmp, int value1, int value2);
    // Averages each target pixel with the stretched overlay, (overlay + target) / 2 per channel,
    // from the top-left of the view over the stretched overlay's size.
    void OverlapPictureOnBitmapBuffer();
    // The same for a rectangle of the stretched overlay (cut to it and to the target) as
    // overlay / 2 + target / 2 per channel. Rows are counted from the start of the bitmap's
    // buffer, which holds the bottom row first: overlay row r lands on the target's row r from
    // the bottom.
    void OverlapPictureOnBitmapBuffer(int x, int y, int w, int h);
    // Paints the whole view (every display row, all columns) as one land polygon: brightness
    // type 2 when dark, else 0; sea from the sea texture.
    void DrawAllMapOnBitmapBuffer(bool relief, bool texture, COLORREF colour, bool dark);
    int GetOverlayWidth() const { return m_Overlay.width; }
    int GetOverlayHeight() const { return m_Overlay.height; }
    // Pixels (b, g, r, 0) of the overlay, rows top first; empty without one.
    const std::vector<std::uint8_t>& GetOverlayPixels() const { return m_Overlay.pixels; }
    std::array<int, 2> GetOverlayValues() const { return m_OverlayValues; }
    int GetStretchedOverlayWidth() const { return m_StretchedOverlay.width; }
    int GetStretchedOverlayHeight() const { return m_StretchedOverlay.height; }

    // Counts every change of what a drawing reads besides the settings (elevation, textures): a
    // picture drawn at one count is drawn the same at the same count with the same settings.
    // Writers through GetElevationData() call ElevationDataModified(), as for the stretched copy.
    std::uint64_t GetContentGeneration() const { return m_nContentGeneration; }

    // The cached view: x, y, w, h, display width, display height.
    std::array<int, 6> GetCachedView() const { return m_CachedView; }
    const std::vector<std::int16_t>& GetStretchedData() const { return m_Stretched; }
    int GetStretchedWidth() const { return m_nStretchedWidth; }
    int GetStretchedHeight() const { return m_nStretchedHeight; }
    double GetMagnification() const { return m_dMagnification; }
    // Size of the view drawing is clipped to (that of the last StretchElevationData).
    int GetViewWidth() const { return m_nViewWidth; }
    int GetViewHeight() const { return m_nViewHeight; }

private:
    // A picture as 32-bit pixels (b, g, r, 0), rows top first.
    struct OverlayPixels {
        std::vector<std::uint8_t> pixels;
        int width = 0;
        int height = 0;
        int rowLength = 0;  // width x 4 bytes
        void Clear() {
            pixels.clear();
            pixels.shrink_to_fit();
            width = height = rowLength = 0;
        }
    };

    // The own bitmap with whole-copy semantics.
    struct OwnBitmap {
        MbBmp::CControlBmp bmp;
        OwnBitmap() = default;
        OwnBitmap(const OwnBitmap& o) { bmp.Duplicate(&o.bmp); }
        OwnBitmap& operator=(const OwnBitmap& o) {
            if (this != &o) bmp.Duplicate(&o.bmp);
            return *this;
        }
        OwnBitmap(OwnBitmap&&) noexcept = default;
        OwnBitmap& operator=(OwnBitmap&&) noexcept = default;
    };

    const TextureEntry& DrawingEntry(int set) const;
    void DropStretchedCopy();
    // Takes a new raster of w x h samples (guard column and row are filled here).
    void ReplaceRaster(std::vector<std::uint16_t>&& raster, int w, int h);
    void StretchOverlay(int x, int y, int w, int h, int dispW, int dispH);
    bool PrepareTarget(int dispW, int dispH);

    bool PrepareTarget(int dispW, int dispH, bool clear);

    CCtrlDib m_Dib;
    std::vector<TextureEntry> m_Textures;  // kMaxTextureSets x 4, set-major
    std::array<bool, kMaxTextureSets> m_FourSeasons{};
    int m_nTextureCount = 0;
    int m_nSelectedTexture = 0;
    int m_nSeason = 0;

    std::vector<std::uint16_t> m_Elevation;
    int m_nMapWidth = 0;
    int m_nMapHeight = 0;
    int m_nRasterWidth = 0;
    int m_nRasterHeight = 0;
    int m_nRasterRowLength = 0;

    std::vector<std::int16_t> m_Stretched;
    std::array<int, 6> m_CachedView{};
    // The stretched copy of the view before (two map windows over one relief take turns).
    std::vector<std::int16_t> m_PreviousStretched;
    std::array<int, 6> m_PreviousView{};
    int m_nStretchedWidth = 0;
    int m_nStretchedHeight = 0;
    int m_nStretchedRowLength = 0;
    double m_dMagnification = 1.0;
    int m_nViewWidth = 0;
    int m_nViewHeight = 0;

    OwnBitmap m_OwnBmp;
    MbBmp::CControlBmp* m_pExternalBmp = nullptr;

    std::array<int, 2> m_OverlayValues{};
    OverlayPixels m_Overlay;           // the picture as set
    OverlayPixels m_StretchedOverlay;  // its part in the current view, one pixel per display pixel

    int m_nReliefLevel = 1;
    std::uint64_t m_nContentGeneration = 0;
    std::vector<std::uint8_t> m_Compressed;
    std::uint16_t m_nCompressedMax = 0;
    int m_nSaveType = 0;
};

// Painting uses the widest vector instructions the processor has. The other paths paint the same
// pixels (tests compare them): the plain per-pixel code, 8-pixel groups, 16-pixel groups.
enum class PaintPath { kBest, kPlain, kGroupsOf8, kGroupsOf16 };
// Chooses the path (a wider path than the processor has falls back to the best it has).
void SetPaintPath(PaintPath path);
PaintPath GetPaintPath();

// Builds the library's default texture pictures (ids 2000 low land, 2001 high land, 2002 sea):
// 60 x 60 pixels, 24 bits. False for any other id.
bool LoadDefaultTextureBitmap(int id, MbBmp::CControlBmp& out);

}  // namespace Mb3dMap
