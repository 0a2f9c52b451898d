// Relief drawing: texture sets, the stretched elevation copy of a view, the sea fill and the
// painting of spans.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "mb3dmap/elv_map.h"
#include "mb3dmap/relief_painter.h"

namespace Mb3dMap {

namespace {

using i64 = std::int64_t;

// 32-bit pixels of a bitmap (b, g, r, 0), rows top first; empty when the bitmap is empty.
std::vector<std::uint8_t> Pixels32(const MbBmp::CControlBmp& src) {
    std::vector<std::uint8_t> out;
    if (src.IsEmpty()) return out;
    const MbBmp::CControlBmp* bmp = &src;
    MbBmp::CControlBmp conv;
    if (src.GetBitCount() != 32) {
        if (!conv.CreateDuplicate(src.GetHbmp(), 32)) return out;
        bmp = &conv;
    }
    const int w = bmp->GetWidth();
    const int h = bmp->GetHeight();
    out.resize(static_cast<std::size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = bmp->GetLinePtr(y);
        std::uint8_t* o = out.data() + static_cast<std::size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x) {
            o[x * 4] = row[x * 4];
            o[x * 4 + 1] = row[x * 4 + 1];
            o[x * 4 + 2] = row[x * 4 + 2];
            o[x * 4 + 3] = 0;
        }
    }
    return out;
}

int PositiveMod(i64 a, int m) {
    i64 r = a % m;
    return static_cast<int>(r < 0 ? r + m : r);
}

}  // namespace

// ---- Texture sets ----------------------------------------------------------------------------

namespace {

// Splits the entry's pictures into the channel planes the painter reads.
void BuildPlanes(TextureEntry& e) {
    const int w = e.width, h = e.height;
    const int stride = w + TextureEntry::kPlanePad;
    e.planes.assign(static_cast<std::size_t>(h) * TexturePlanes::kCount * stride, 0);
    const std::uint8_t* pair = e.Pair();
    const std::uint8_t* sea = e.Sea();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = e.planes.data() + static_cast<std::size_t>(y) * TexturePlanes::kCount * stride;
        for (int i = 0; i < stride; ++i) {
            const std::size_t px = static_cast<std::size_t>(y) * w + i % w;
            for (int ch = 0; ch < 3; ++ch) {
                row[(TexturePlanes::kLowB + ch) * stride + i] = pair[px * 8 + ch * 2];
                row[(TexturePlanes::kHighB + ch) * stride + i] = pair[px * 8 + ch * 2 + 1];
                row[(TexturePlanes::kSeaB + ch) * stride + i] = sea[px * 4 + ch];
            }
        }
    }
}

TexturePlanes PlanesOf(const TextureEntry& e) {
    TexturePlanes t;
    t.base = e.planes.data();
    t.width = e.width;
    t.height = e.height;
    t.stride = e.width + TextureEntry::kPlanePad;
    return t;
}

// A texture entry without pictures: black land and sea, heights 1.
const TextureEntry& EmptyEntry() {
    static const TextureEntry entry = [] {
        TextureEntry e;
        e.width = e.height = 1;
        e.rowLength = 4;
        e.byteSize = 4;
        e.block.assign(12, 0);
        BuildPlanes(e);
        return e;
    }();
    return entry;
}

// One season of a set converted for drawing.
TextureEntry BuildEntry(const tagTEXTURE_SET& set, int s) {
    TextureEntry e;
    e.firstValue = std::max(set.firstValue[s], 1);
    e.secondValue = std::max(set.secondValue[s], 1);
    e.thirdValue = std::max(set.thirdValue[s], 1);
    const std::vector<std::uint8_t> first = Pixels32(set.first[s]);
    if (first.empty()) return e;  // no picture: drawn from the empty entry
    const int w = set.first[s].GetWidth();
    const int h = set.first[s].GetHeight();
    e.width = w;
    e.height = h;
    e.rowLength = w * 4;
    e.byteSize = e.rowLength * h;
    e.block.assign(static_cast<std::size_t>(e.byteSize) * 3, 0);
    const MbBmp::CControlBmp& second = set.second[s];
    if (second.GetWidth() == w && second.GetHeight() == h) {
        const std::vector<std::uint8_t> high = Pixels32(second);
        std::uint8_t* pair = e.block.data();
        for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
            pair[i * 8] = first[i * 4];
            pair[i * 8 + 1] = high[i * 4];
            pair[i * 8 + 2] = first[i * 4 + 1];
            pair[i * 8 + 3] = high[i * 4 + 1];
            pair[i * 8 + 4] = first[i * 4 + 2];
            pair[i * 8 + 5] = high[i * 4 + 2];
        }
    }
    const MbBmp::CControlBmp& sea = set.third[s];
    if (sea.GetWidth() == w && sea.GetHeight() == h) {
        const std::vector<std::uint8_t> pixels = Pixels32(sea);
        std::memcpy(e.block.data() + 2 * static_cast<std::size_t>(e.byteSize), pixels.data(), pixels.size());
    }
    BuildPlanes(e);
    return e;
}

// The library's default set, converted once for all relief maps.
const TextureEntry& DefaultEntry() {
    static const TextureEntry entry = [] {
        tagTEXTURE_SET set;
        LoadDefaultTextureBitmap(2000, set.first[0]);
        LoadDefaultTextureBitmap(2001, set.second[0]);
        LoadDefaultTextureBitmap(2002, set.third[0]);
        set.firstValue[0] = set.secondValue[0] = set.thirdValue[0] = 2000;
        return BuildEntry(set, 0);
    }();
    return entry;
}

}  // namespace

int CCtrlElvMap::AddTexture(const tagTEXTURE_SET* set) {
    ++m_nContentGeneration;
    if (m_nTextureCount >= kMaxTextureSets || set == nullptr) return -1;
    const int index = m_nTextureCount;
    const bool four = (set->flags & tagTEXTURE_SET::kFourSeasons) != 0;
    m_FourSeasons[index] = four;
    for (int s = 0; s < 4; ++s) {
        TextureEntry& e = m_Textures[static_cast<std::size_t>(index) * 4 + s];
        e = s == 0 || four ? BuildEntry(*set, s) : TextureEntry{};
    }
    ++m_nTextureCount;
    return index;
}

void CCtrlElvMap::RemoveAllTexture() {
    ++m_nContentGeneration;
    for (auto& e : m_Textures)
        e = TextureEntry{};
    m_FourSeasons.fill(false);
    m_nTextureCount = 0;
    m_nSelectedTexture = 0;
    m_nSeason = 0;
}

// The default set: resources 2000 (low land), 2001 (high land) and 2002 (sea), flags 0, heights
// 2000, no name.
int CCtrlElvMap::LoadDefaultTexture() {
    ++m_nContentGeneration;
    if (m_nTextureCount >= kMaxTextureSets) return -1;
    const int index = m_nTextureCount;
    m_FourSeasons[index] = false;
    m_Textures[static_cast<std::size_t>(index) * 4] = DefaultEntry();
    for (int s = 1; s < 4; ++s)
        m_Textures[static_cast<std::size_t>(index) * 4 + s] = TextureEntry{};
    ++m_nTextureCount;
    return index;
}

bool CCtrlElvMap::IsFourSeasons(int set) const {
    return set >= 0 && set < m_nTextureCount && m_FourSeasons[set];
}

const TextureEntry* CCtrlElvMap::GetTextureEntry(int set, int season) const {
    if (set < 0 || set >= m_nTextureCount || season < 0 || season > 3) return nullptr;
    return &m_Textures[static_cast<std::size_t>(set) * 4 + season];
}

// The entry a drawing uses: the set's entry for the current season (season 0 for a one-season
// set). A set that does not exist falls back to set 0; a season without pictures draws black.
const TextureEntry& CCtrlElvMap::DrawingEntry(int set) const {
    if (set < 0 || set >= m_nTextureCount) set = 0;
    if (m_nTextureCount == 0) return EmptyEntry();
    const int season = m_FourSeasons[set] && m_nSeason >= 0 && m_nSeason <= 3 ? m_nSeason : 0;
    const TextureEntry& e = m_Textures[static_cast<std::size_t>(set) * 4 + season];
    return e.HasBuffers() ? e : EmptyEntry();
}

// ---- Stretched copy --------------------------------------------------------------------------------

bool CCtrlElvMap::PrepareTarget(int dispW, int dispH, bool clear) {
    MbBmp::CControlBmp* bmp = GetTargetBmp();
    if (bmp->GetWidth() == dispW && bmp->GetHeight() == dispH && bmp->GetBitCount() == 24) {
        if (clear) {
            bmp->ClearBuffer();
            return true;
        }
        // The pixels are the caller's to cover; the row ends past them are cleared as ever.
        const std::size_t used = static_cast<std::size_t>(dispW) * 3;
        const std::size_t pad = static_cast<std::size_t>(bmp->GetWidthBytes()) - used;
        if (pad > 0)
            for (int row = 0; row < dispH; ++row)
                std::memset(bmp->GetLinePtr(row) + used, 0, pad);
        return true;
    }
    return bmp->CreateBitmap(dispW, dispH, 24);
}

void CCtrlElvMap::StretchElevationData(int x, int y, int w, int h, int dispW, int dispH, bool clear) {
    const std::array<int, 6> view = {x, y, w, h, dispW, dispH};
    if (view == m_CachedView && !m_Stretched.empty()) {
        if (!PrepareTarget(dispW, dispH, clear)) m_nViewWidth = m_nViewHeight = 0;
        return;
    }
    if (w <= 0 || h <= 0 || dispW <= 0 || dispH <= 0 || !PrepareTarget(dispW, dispH, clear)) {
        DropStretchedCopy();
        m_nViewWidth = m_nViewHeight = 0;
        return;
    }
    m_dMagnification = static_cast<double>(dispW) / w;
    const int borderX = std::max(dispW / w, 1);
    const int borderY = std::max(dispH / h, 1);
    const int stretchW = dispW + borderX;
    const int stretchH = dispH + borderY;
    // The copy of the view before comes back as it was; the current one is kept in its place.
    const bool previous = view == m_PreviousView && !m_PreviousStretched.empty();
    std::swap(m_Stretched, m_PreviousStretched);
    std::swap(m_CachedView, m_PreviousView);
    if (previous) {
        m_nStretchedWidth = stretchW;
        m_nStretchedHeight = stretchH;
        m_nStretchedRowLength = 2 * stretchW;
        m_nViewWidth = dispW;
        m_nViewHeight = dispH;
        return;
    }
    i64 validW = stretchW;
    i64 validH = stretchH;
    const i64 leftW = static_cast<i64>(m_nMapWidth - static_cast<i64>(x)) * dispW;
    const i64 leftH = static_cast<i64>(m_nMapHeight - static_cast<i64>(y)) * dispH;
    if (static_cast<i64>(stretchW) * w > leftW) validW = leftW / w;
    if (static_cast<i64>(stretchH) * h > leftH) validH = leftH / h;
    validW = std::clamp<i64>(validW, 0, stretchW);
    validH = std::clamp<i64>(validH, 0, stretchH);
    m_Stretched = StretchElevationData(x, y, w, h, dispW, dispH, stretchW, stretchH, static_cast<int>(validW),
                                       static_cast<int>(validH));
    m_CachedView = view;
    m_nStretchedWidth = stretchW;
    m_nStretchedHeight = stretchH;
    m_nStretchedRowLength = 2 * stretchW;
    StretchOverlay(x, y, w, h, dispW, dispH);
    m_nViewWidth = dispW;
    m_nViewHeight = dispH;
}

std::vector<std::int16_t> CCtrlElvMap::StretchElevationData(int x, int y, int w, int h, int dispW, int dispH,
                                                            int stretchW, int stretchH, int validW,
                                                            int validH) const {
    std::vector<std::int16_t> out;
    if (stretchW <= 0 || stretchH <= 0 || w <= 0 || h <= 0 || dispW <= 0 || dispH <= 0) return out;
    out.assign(static_cast<std::size_t>(stretchW) * stretchH, 0);
    validW = std::clamp(validW, 0, stretchW);
    validH = std::clamp(validH, 0, stretchH);
    if (validW == 0 || validH == 0 || m_Elevation.empty()) return out;

    const int rw = m_nRasterWidth;
    const int rh = m_nRasterHeight;
    // Samples outside the raster are read from its nearest edge.
    auto rowPtr = [&](i64 r) {
        return m_Elevation.data() + static_cast<std::size_t>(std::clamp<i64>(r, 0, rh - 1)) * rw;
    };
    auto col = [&](i64 c) { return static_cast<std::size_t>(std::clamp<i64>(c, 0, rw - 1)); };

    if (dispW == w && dispH == h) {
        for (int j = 0; j < validH; ++j) {
            const std::uint16_t* src = rowPtr(static_cast<i64>(y) + j);
            std::int16_t* o = out.data() + static_cast<std::size_t>(j) * stretchW;
            for (int i = 0; i < validW; ++i)
                o[i] = static_cast<std::int16_t>(src[col(static_cast<i64>(x) + i)]);
        }
    } else if (dispW > w && dispH > h) {
        // Bilinear: output = (a (dispW - fx) + b fx) / (dispW dispH), rounded to nearest.
        const i64 den = static_cast<i64>(dispW) * dispH;
        const double inv = 1.0 / static_cast<double>(den);
        std::vector<std::size_t> c0(static_cast<std::size_t>(validW)), c1(static_cast<std::size_t>(validW));
        std::vector<i64> fxs(static_cast<std::size_t>(validW));
        {
            i64 c = x, fx = 0;
            for (int i = 0; i < validW; ++i) {
                c0[i] = col(c);
                c1[i] = col(c + 1);
                fxs[i] = fx;
                fx += w;
                if (fx >= dispW) {
                    fx -= dispW;
                    ++c;
                }
            }
        }
        // The columns read (they only grow): each row blends them vertically once, not once per
        // output pixel.
        const std::size_t colLo = c0.front(), colHi = std::max(c0.back(), c1.back());
        std::vector<i64> blended(colHi - colLo + 1);
        i64 r = y, fy = 0;
        for (int j = 0; j < validH; ++j) {
            const std::uint16_t* s0 = rowPtr(r);
            const std::uint16_t* s1 = rowPtr(r + 1);
            std::int16_t* o = out.data() + static_cast<std::size_t>(j) * stretchW;
            const i64 wy0 = dispH - fy;
            for (std::size_t c = colLo; c <= colHi; ++c)
                blended[c - colLo] = s0[c] * wy0 + s1[c] * fy;
            for (int i = 0; i < validW; ++i) {
                const i64 a = blended[c0[i] - colLo];
                const i64 b = blended[c1[i] - colLo];
                const i64 num = a * (dispW - fxs[i]) + b * fxs[i] + den / 2;
                i64 q = static_cast<i64>(static_cast<double>(num) * inv);
                while (q * den > num)
                    --q;
                while ((q + 1) * den <= num)
                    ++q;
                o[i] = static_cast<std::int16_t>(q);
            }
            fy += h;
            if (fy >= dispH) {
                fy -= dispH;
                ++r;
            }
        }
    } else {
        // Nearest sample.
        std::vector<std::size_t> cols(static_cast<std::size_t>(validW));
        for (int i = 0; i < validW; ++i)
            cols[i] = col(x + static_cast<i64>(i) * w / dispW);
        for (int j = 0; j < validH; ++j) {
            const std::uint16_t* src = rowPtr(y + static_cast<i64>(j) * h / dispH);
            std::int16_t* o = out.data() + static_cast<std::size_t>(j) * stretchW;
            for (int i = 0; i < validW; ++i)
                o[i] = static_cast<std::int16_t>(src[cols[i]]);
        }
    }
    // Columns past the valid ones repeat the last valid column, rows past the valid ones the row
    // above.
    for (int j = 0; j < validH; ++j) {
        std::int16_t* o = out.data() + static_cast<std::size_t>(j) * stretchW;
        std::fill(o + validW, o + stretchW, o[validW - 1]);
    }
    for (int j = validH; j < stretchH; ++j)
        std::copy_n(out.data() + static_cast<std::size_t>(j - 1) * stretchW, stretchW,
                    out.data() + static_cast<std::size_t>(j) * stretchW);
    return out;
}

// ---- Sea ----------------------------------------------------------------------------------------------

void CCtrlElvMap::FillSeaColorOnBitmapBuffer() {
    MbBmp::CControlBmp* bmp = GetTargetBmp();
    const int bpp = bmp->GetPixelBytes();
    if (bmp->GetBufferPtr() == nullptr || (bpp != 3 && bpp != 4)) return;
    const TextureEntry& e = DrawingEntry(0);
    const int tw = e.width;
    const int th = e.height;
    const std::uint8_t* sea = e.Sea();
    const int X = PositiveMod(static_cast<i64>(m_CachedView[0] * m_dMagnification), tw);
    const int Y = PositiveMod(static_cast<i64>(m_CachedView[1] * m_dMagnification), th);
    const int w = bmp->GetWidth();
    const int h = bmp->GetHeight();
    // Each texture row tiled over the target's width once, then copied to every row it falls on.
    const std::size_t lineBytes = static_cast<std::size_t>(w) * bpp;
    const bool cache = th <= h;
    std::vector<std::uint8_t> lines(static_cast<std::size_t>(cache ? th : 1) * lineBytes);
    std::vector<bool> built(static_cast<std::size_t>(th), false);
    for (int py = 0; py < h; ++py) {
        const int ty = (Y + py) % th;
        std::uint8_t* line = lines.data() + (cache ? static_cast<std::size_t>(ty) * lineBytes : 0);
        if (!cache || !built[ty]) {
            const std::uint8_t* src = sea + static_cast<std::size_t>(ty) * tw * 4;
            int tx = X;
            for (int px = 0; px < w; ++px) {
                std::uint8_t* o = line + static_cast<std::size_t>(px) * bpp;
                o[0] = src[tx * 4];
                o[1] = src[tx * 4 + 1];
                o[2] = src[tx * 4 + 2];
                if (bpp == 4) o[3] = 0;
                if (++tx == tw) tx = 0;
            }
            built[ty] = true;
        }
        std::memcpy(bmp->GetLinePtr(py), line, lineBytes);
    }
}

// ---- Spans -----------------------------------------------------------------------------------------------

namespace {
PaintPath g_paintPath = PaintPath::kBest;

int VectorWidthOf(PaintPath path) {
    const int best = BestVectorWidth();
    switch (path) {
        case PaintPath::kPlain: return 0;
        case PaintPath::kGroupsOf8: return std::min(best, 8);
        default: return best;
    }
}
}  // namespace

void SetPaintPath(PaintPath path) {
    g_paintPath = path;
}

PaintPath GetPaintPath() {
    return g_paintPath;
}

void CCtrlElvMap::DrawPolygonOnBitmapBuffer(const tagHorzLine* spans, int count, int brightType, bool relief,
                                            bool texture, COLORREF colour, bool fillAll) {
    if (m_Stretched.empty() || spans == nullptr || count <= 0) return;
    MbBmp::CControlBmp* bmp = GetTargetBmp();
    const int bpp = bmp->GetPixelBytes();
    if (bmp->GetBufferPtr() == nullptr || (bpp != 3 && bpp != 4)) return;
    const int clipW = std::min(m_nViewWidth, bmp->GetWidth());
    const int clipH = std::min(m_nViewHeight, bmp->GetHeight());
    if (clipW <= 0 || clipH <= 0) return;
    const int type = brightType >= 0 && brightType <= 4 ? brightType : 0;

    const std::uint8_t cb = static_cast<std::uint8_t>(colour >> 16);
    const std::uint8_t cg = static_cast<std::uint8_t>(colour >> 8);
    const std::uint8_t cr = static_cast<std::uint8_t>(colour);

    // One colour for every pixel.
    if (fillAll && !relief && !texture) {
        const auto b = static_cast<std::uint8_t>(ApplyBrightness(type, cb));
        const auto g = static_cast<std::uint8_t>(ApplyBrightness(type, cg));
        const auto r = static_cast<std::uint8_t>(ApplyBrightness(type, cr));
        for (int i = 0; i < count; ++i) {
            const int row = spans[i].y;
            const int x1 = std::max<int>(spans[i].x1, 0);
            const int x2 = std::min<int>(spans[i].x2, clipW - 1);
            if (row < 0 || row >= clipH || x1 > x2) continue;
            std::uint8_t* o = bmp->GetLinePtr(row) + static_cast<std::size_t>(x1) * bpp;
            for (int x = x1; x <= x2; ++x, o += bpp) {
                o[0] = b;
                o[1] = g;
                o[2] = r;
            }
        }
        return;
    }

    const TextureEntry& entry = DrawingEntry(m_nSelectedTexture);
    ReliefPaint paint;
    paint.stretched = m_Stretched.data();
    paint.stretchedWidth = m_nStretchedWidth;
    paint.fillAll = fillAll;
    paint.brightType = type;
    paint.pixelBytes = bpp;
    paint.vectorWidth = VectorWidthOf(g_paintPath);

    // Land source: the texture pair, or the colour standing for both textures; then the sea
    // texture tiles over the same single pixel (its first pixel).
    std::uint8_t single[TexturePlanes::kCount][1 + TextureEntry::kPlanePad];
    if (texture) {
        paint.tex = PlanesOf(entry);
    } else {
        const std::uint8_t values[TexturePlanes::kCount] = {
            cb, cg, cr, cb, cg, cr, entry.Sea()[0], entry.Sea()[1], entry.Sea()[2]};
        for (int p = 0; p < TexturePlanes::kCount; ++p)
            std::memset(single[p], values[p], sizeof single[p]);
        paint.tex.base = &single[0][0];
        paint.tex.width = paint.tex.height = 1;
        paint.tex.stride = 1 + TextureEntry::kPlanePad;
    }
    const double mag = m_dMagnification;
    paint.originX = PositiveMod(static_cast<i64>(m_CachedView[0] * mag), paint.tex.width);
    paint.originY = PositiveMod(static_cast<i64>(m_CachedView[1] * mag), paint.tex.height);

    // Slope shading toward the lower right.
    const int level = m_nReliefLevel >= 1 ? m_nReliefLevel : 1;
    if (relief) {
        if (mag <= 1.0) {
            paint.d = 1;
            paint.k = static_cast<int>(768.0 * mag / level);
        } else {
            paint.d = static_cast<int>(mag);
            paint.k = static_cast<int>(mag / paint.d * 768.0 / level);
        }
    }
    // The neighbour (x + d, y + d) stays inside the stretched copy, whose border is at least d.
    paint.d = std::clamp(paint.d, 0, std::min(m_nStretchedWidth - clipW, m_nStretchedHeight - clipH));
    paint.q = static_cast<int>(std::min<i64>(8388608 / entry.firstValue, 32767));

    // Snow line per display row: from the second value at the map's top edge to the third at its
    // bottom edge. (Limited far beyond any elevation so that nothing overflows.)
    const i64 second = entry.secondValue;
    const i64 third = entry.thirdValue;
    const i64 mapH = m_nMapHeight > 0 ? m_nMapHeight : 1;
    const i64 top =
        std::clamp<i64>((third - second) * m_CachedView[1] / mapH + second, -(i64{1} << 40), i64{1} << 40);
    paint.acc = top * 4096;
    const double inc = static_cast<double>(third - second) / mapH / mag * 4096.0;
    paint.inc = static_cast<i64>(std::clamp(inc, -35184372088832.0, 35184372088832.0));  // 2^45

    for (int i = 0; i < count; ++i) {
        const int row = spans[i].y;
        const int x1 = std::max<int>(spans[i].x1, 0);
        const int x2 = std::min<int>(spans[i].x2, clipW - 1);
        if (row < 0 || row >= clipH || x1 > x2) continue;
        paint.Row(row, x1, x2, bmp->GetLinePtr(row) + static_cast<std::size_t>(x1) * bpp);
    }
}

}  // namespace Mb3dMap
