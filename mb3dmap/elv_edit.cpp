// Editing the relief map for map-making tools: stand-alone elevation files, replacing, growing
// and cutting the raster, and the reshaping transforms (sink, resize, barrel, sector, rotate).
#include <algorithm>
#include <array>
#include <cmath>

#include "mb3dmap/elv_map.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"

namespace Mb3dMap {

namespace {

using i64 = std::int64_t;

constexpr std::uint16_t kCodingJpeg = 3;
constexpr int kMaxSide = 0x7FFF;  // sizes are stored as int16
// The largest outer radius of a bent map, in samples: positions that far out still resolve a
// millionth of a sample.
constexpr double kMaxSectorRadius = 1 << 30;

// Whether a relief map may have w x h samples.
bool FitsMap(i64 w, i64 h) {
    return w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide && w * h <= kMaxElevationSamples;
}

// A fresh raster of w x h samples with its guard column and row, all sea.
std::vector<std::uint16_t> NewRaster(int w, int h) {
    return std::vector<std::uint16_t>(static_cast<std::size_t>(w + 1) * (h + 1), 0);
}

std::uint16_t ToSample(double v) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(v), 0L, 65535L));
}

// Samples of a map without its guards, read as a continuous picture: sample (x, y) covers the
// unit square from (x, y).
struct SourceView {
    const std::uint16_t* data;
    int stride;
    int w;
    int h;

    int At(int x, int y) const { return data[static_cast<std::size_t>(y) * stride + x]; }

    // Mean of the picture over [u0, u1) x [v0, v1) cut to the map, each sample weighted by the
    // area it shares with the rectangle; the sample under the rectangle's middle when the cut
    // rectangle has no area; -1 when the rectangle lies outside the map.
    double AreaMean(double u0, double u1, double v0, double v1) const {
        const double cu0 = std::max(u0, 0.0), cu1 = std::min(u1, static_cast<double>(w));
        const double cv0 = std::max(v0, 0.0), cv1 = std::min(v1, static_cast<double>(h));
        if (cu0 > cu1 || cv0 > cv1 || cu0 >= w || cv0 >= h) return -1;
        if (cu1 - cu0 < 1e-9 || cv1 - cv0 < 1e-9) {
            const int x = std::clamp(static_cast<int>((cu0 + cu1) / 2), 0, w - 1);
            const int y = std::clamp(static_cast<int>((cv0 + cv1) / 2), 0, h - 1);
            return At(x, y);
        }
        const int x0 = static_cast<int>(std::floor(cu0));
        const int x1 = std::min(static_cast<int>(std::ceil(cu1)), w);
        const int y0 = static_cast<int>(std::floor(cv0));
        const int y1 = std::min(static_cast<int>(std::ceil(cv1)), h);
        double sum = 0, area = 0;
        for (int y = y0; y < y1; ++y) {
            const double wy = std::min(cv1, y + 1.0) - std::max(cv0, static_cast<double>(y));
            if (wy <= 0) continue;
            for (int x = x0; x < x1; ++x) {
                const double wx = std::min(cu1, x + 1.0) - std::max(cu0, static_cast<double>(x));
                if (wx <= 0) continue;
                sum += wx * wy * At(x, y);
                area += wx * wy;
            }
        }
        return area > 0 ? sum / area : 0;
    }
};

// Box resampling of one axis in whole numbers: new cell i of n covers old cells [i s / n,
// (i + 1) s / n). weights[i] lists (old index, overlap in units of 1 / n of an old cell); the
// overlaps of a new cell add up to s.
struct AxisWeights {
    std::vector<std::vector<std::pair<int, i64>>> cells;
};

AxisWeights BoxWeights(int s, int n) {
    AxisWeights a;
    a.cells.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const i64 lo = static_cast<i64>(i) * s;  // in units of 1 / n of an old cell
        const i64 hi = lo + s;
        for (i64 j = lo / n; j * n < hi && j < s; ++j) {
            const i64 overlap = std::min(hi, (j + 1) * n) - std::max(lo, j * n);
            if (overlap > 0) a.cells[i].push_back({static_cast<int>(j), overlap});
        }
    }
    return a;
}

// Weights of the rotation filter: the area two circles of radius sqrt(2) share when their
// centres are d apart, for d^2 from 0 to 8 in 256 steps (nothing is shared from d^2 = 8 on).
const std::array<double, 256>& CircleOverlapTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double d = std::sqrt(i * 8.0 / 256.0);
            t[i] = 4.0 * std::acos(d / std::sqrt(8.0)) - d / 2.0 * std::sqrt(std::max(8.0 - d * d, 0.0));
        }
        return t;
    }();
    return table;
}

}  // namespace

void CCtrlElvMap::ReplaceRaster(std::vector<std::uint16_t>&& raster, int w, int h) {
    DeleteCompressedData();
    m_Elevation = std::move(raster);
    m_nMapWidth = w;
    m_nMapHeight = h;
    m_nRasterWidth = w + 1;
    m_nRasterHeight = h + 1;
    m_nRasterRowLength = 2 * (w + 1);
    FillGapOfElevationData();
    ElevationDataModified();
}

// ---- Stand-alone files -----------------------------------------------------------------------------

bool CCtrlElvMap::LoadElevationFile(const std::string& path, ElvLoadError* error) {
    std::vector<std::uint8_t> bytes;
    if (!rymd::ReadFileBytes(path, bytes, kElevationFileMaxBytes)) {
        if (error) *error = ElvLoadError::kCannotOpen;
        return false;
    }
    rymd::ArchiveReader ar(bytes);
    return Serialize(ar, error);
}

bool CCtrlElvMap::Save3djFile(rymd::ArchiveWriter& ar, int quality) const {
    const int w = m_nMapWidth, h = m_nMapHeight;
    if (m_Elevation.empty() || w <= 0 || h <= 0) return false;
    std::uint16_t top = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            top = std::max(top, m_Elevation[static_cast<std::size_t>(y) * m_nRasterWidth + x]);
    // The grey picture: pixel = sample x 256 / (M + 1), 0..255 whatever M is.
    MbBmp::CControlBmp grey;
    if (!grey.CreateBitmap(w, h, 8)) return false;
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = grey.GetLinePtr(y);
        const std::uint16_t* src = m_Elevation.data() + static_cast<std::size_t>(y) * m_nRasterWidth;
        for (int x = 0; x < w; ++x)
            row[x] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(src[x]) * 256 / (top + 1u));
    }
    const i64 capacity = static_cast<i64>(w) * h + 65536;
    std::vector<std::uint8_t> jpeg(static_cast<std::size_t>(capacity));
    int size = 0;
    if (!grey.CompressSaveJpeg(jpeg.data(), static_cast<int>(capacity), &size, quality) || size <= 0)
        return false;
    ar.WriteU16(kCodingJpeg);
    ar.WriteI16(static_cast<std::int16_t>(w));
    ar.WriteI16(static_cast<std::int16_t>(h));
    ar.WriteU16(top);
    ar.WriteU32(static_cast<std::uint32_t>(size));
    ar.WriteBytes(jpeg.data(), static_cast<std::size_t>(size));
    return true;
}

bool CCtrlElvMap::Save3djFile(const std::string& path, int quality) const {
    rymd::ArchiveWriter ar;
    return Save3djFile(ar, quality) && rymd::WriteFileAtomic(path, ar.Data());
}

// ---- Replacing, growing and cutting -----------------------------------------------------------------

bool CCtrlElvMap::SetElevationData(int w, int h, const std::uint16_t* data) {
    if (data == nullptr || !FitsMap(w, h)) return false;
    std::vector<std::uint16_t> raster = NewRaster(w, h);
    for (int y = 0; y < h; ++y)
        std::copy_n(data + static_cast<std::size_t>(y) * w, w,
                    raster.begin() + static_cast<std::size_t>(y) * (w + 1));
    ReplaceRaster(std::move(raster), w, h);
    return true;
}

void CCtrlElvMap::CopyElevationDataToNewBuffer() {
    std::vector<std::uint16_t> copy(m_Elevation);
    m_Elevation = std::move(copy);
}

bool CCtrlElvMap::ChangeCanvasSize(int w, int h) {
    if (!FitsMap(w, h)) return false;
    std::vector<std::uint16_t> raster = NewRaster(w, h);
    if (!m_Elevation.empty()) {
        const int cw = std::min(w, m_nMapWidth), ch = std::min(h, m_nMapHeight);
        for (int y = 0; y < ch; ++y)
            std::copy_n(m_Elevation.begin() + static_cast<std::size_t>(y) * m_nRasterWidth, cw,
                        raster.begin() + static_cast<std::size_t>(y) * (w + 1));
    }
    ReplaceRaster(std::move(raster), w, h);
    return true;
}

void CCtrlElvMap::ClipArea(int x, int y, int w, int h) {
    if (m_Elevation.empty()) return;
    x = std::max(x, 0);
    y = std::max(y, 0);
    const int cw = static_cast<int>(std::min<i64>(w, static_cast<i64>(m_nMapWidth) - x));
    const int ch = static_cast<int>(std::min<i64>(h, static_cast<i64>(m_nMapHeight) - y));
    if (cw <= 0 || ch <= 0) return;  // nothing left: the whole map stays
    std::vector<std::uint16_t> raster = NewRaster(cw, ch);
    for (int r = 0; r < ch; ++r)
        std::copy_n(m_Elevation.begin() + static_cast<std::size_t>(y + r) * m_nRasterWidth + x, cw,
                    raster.begin() + static_cast<std::size_t>(r) * (cw + 1));
    ReplaceRaster(std::move(raster), cw, ch);
}

// ---- Transforms ----------------------------------------------------------------------------------

void CCtrlElvMap::TransSink(int amount, int x, int y, int w, int h, bool keepLand, bool /*freeOld*/) {
    if (m_Elevation.empty()) return;
    const i64 x0 = std::max<i64>(x, 0), y0 = std::max<i64>(y, 0);
    const i64 x1 = std::min<i64>(static_cast<i64>(x) + w, m_nMapWidth);
    const i64 y1 = std::min<i64>(static_cast<i64>(y) + h, m_nMapHeight);
    std::vector<std::uint16_t> raster(m_Elevation);
    for (i64 r = y0; r < y1; ++r)
        for (i64 c = x0; c < x1; ++c) {
            std::uint16_t& v = raster[static_cast<std::size_t>(r * m_nRasterWidth + c)];
            if (v == 0) continue;  // sea stays sea
            const i64 lowered = static_cast<i64>(v) - amount;
            v = static_cast<std::uint16_t>(std::clamp<i64>(lowered, keepLand ? 1 : 0, 65535));
        }
    ReplaceRaster(std::move(raster), m_nMapWidth, m_nMapHeight);
}

bool CCtrlElvMap::TransSize(int w, int h, bool /*freeOld*/) {
    if (m_Elevation.empty() || !FitsMap(w, h)) return false;
    const int sw = m_nMapWidth, sh = m_nMapHeight;
    const AxisWeights cols = BoxWeights(sw, w);
    const AxisWeights rows = BoxWeights(sh, h);
    // Along the rows: each source row becomes w sums in units of 1 / w of a sample. Rows are made
    // when first needed and kept while later new rows still use them.
    std::vector<std::vector<i64>> rowSums(static_cast<std::size_t>(sh));
    auto sumsOf = [&](int r) -> const std::vector<i64>& {
        std::vector<i64>& out = rowSums[static_cast<std::size_t>(r)];
        if (out.empty()) {
            out.assign(static_cast<std::size_t>(w), 0);
            const std::uint16_t* src = m_Elevation.data() + static_cast<std::size_t>(r) * m_nRasterWidth;
            for (int i = 0; i < w; ++i)
                for (const auto& [j, overlap] : cols.cells[i])
                    out[i] += overlap * src[j];
        }
        return out;
    };
    // Then along the columns: the mean of the covered area, rounded to nearest.
    const i64 area = static_cast<i64>(sw) * sh;
    std::vector<std::uint16_t> raster = NewRaster(w, h);
    int released = 0;
    for (int i = 0; i < h; ++i) {
        std::uint16_t* out = raster.data() + static_cast<std::size_t>(i) * (w + 1);
        std::vector<i64> acc(static_cast<std::size_t>(w), 0);
        for (const auto& [r, overlap] : rows.cells[i]) {
            const std::vector<i64>& sums = sumsOf(r);
            for (int c = 0; c < w; ++c)
                acc[c] += overlap * sums[c];
        }
        for (int c = 0; c < w; ++c)
            out[c] = static_cast<std::uint16_t>((acc[c] + area / 2) / area);
        // Source rows before the first one of the next new row are done with.
        const int keepFrom = i + 1 < h ? rows.cells[i + 1].front().first : sh;
        for (; released < keepFrom; ++released) {
            rowSums[static_cast<std::size_t>(released)].clear();
            rowSums[static_cast<std::size_t>(released)].shrink_to_fit();
        }
    }
    ReplaceRaster(std::move(raster), w, h);
    return true;
}

bool CCtrlElvMap::TransBarrel(double a, double b, double c, bool /*freeOld*/) {
    if (m_Elevation.empty() || !std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) return false;
    const int w = m_nMapWidth, h = m_nMapHeight;
    const SourceView src{m_Elevation.data(), m_nRasterWidth, w, h};
    const double middle = w / 2.0;
    std::vector<std::uint16_t> raster = NewRaster(w, h);
    for (int r = 0; r < h; ++r) {
        const double t = r - h / 2;
        const double half = std::min(std::fabs(a * t * t + b * t + c), middle);
        if (!(half > 1e-9)) continue;  // the row shrinks to nothing: sea
        const double left = middle - half, right = middle + half;
        const double scale = w / (2 * half);  // source samples per new sample
        std::uint16_t* out = raster.data() + static_cast<std::size_t>(r) * (w + 1);
        for (int x = 0; x < w; ++x) {
            const double centre = x + 0.5;
            if (centre < left || centre > right) continue;
            const double mean = src.AreaMean((x - left) * scale, (x + 1 - left) * scale, r, r + 1);
            if (mean >= 0) out[x] = ToSample(mean);
        }
    }
    ReplaceRaster(std::move(raster), w, h);
    return true;
}

bool CCtrlElvMap::TransSector(double angle, double innerPercent, bool /*freeOld*/) {
    if (m_Elevation.empty() || !std::isfinite(angle) || !std::isfinite(innerPercent) || angle <= 0 ||
        angle > 360 || innerPercent < 0 || innerPercent >= 100)
        return false;
    const int w = m_nMapWidth, h = m_nMapHeight;
    const SourceView src{m_Elevation.data(), m_nRasterWidth, w, h};
    double outer = w * 360.0 / angle / 6.28318;
    double inner = outer * innerPercent / 100.0;
    if (outer - inner > h) {
        const double k = h / (outer - inner);
        outer *= k;
        inner *= k;
    }
    // A sector that cannot be drawn is refused: radii beyond the numbers (a tiny angle), a ring
    // without depth (an inner radius that rounds to the outer one), or an outer radius so far out
    // that its positions no longer tell one sample from the next.
    if (!std::isfinite(outer) || !std::isfinite(inner) || !(outer - inner > 0) || outer > kMaxSectorRadius)
        return false;
    const double pi = std::acos(-1.0);
    const double span = angle * pi / 180.0;  // radians, centred on straight up
    // A point of the sector at angle phi (from straight up, clockwise) and radius rad.
    auto pointAt = [](double phi, double rad) {
        return std::array<double, 2>{rad * std::sin(phi), -rad * std::cos(phi)};
    };
    // The bounding box: the four corners and the arc's extremes in the four directions.
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool first = true;
    auto extend = [&](double phi) {
        for (double rad : {inner, outer}) {
            const auto p = pointAt(phi, rad);
            if (first) {
                minX = maxX = p[0];
                minY = maxY = p[1];
                first = false;
            }
            minX = std::min(minX, p[0]);
            maxX = std::max(maxX, p[0]);
            minY = std::min(minY, p[1]);
            maxY = std::max(maxY, p[1]);
        }
    };
    extend(-span / 2);
    extend(span / 2);
    for (int k = -2; k <= 2; ++k)
        if (std::fabs(k * pi / 2) <= span / 2) extend(k * pi / 2);
    const double originX = std::floor(minX), originY = std::floor(minY);
    const i64 nw = static_cast<i64>(std::ceil(maxX) - originX);
    const i64 nh = static_cast<i64>(std::ceil(maxY) - originY);
    if (!FitsMap(nw, nh)) return false;

    // Polar position of a point: angle from straight up (clockwise) and radius.
    auto polarOf = [](double px, double py) {
        return std::array<double, 2>{std::atan2(px, -py), std::hypot(px, py)};
    };
    const double depth = outer - inner;
    std::vector<std::uint16_t> raster = NewRaster(static_cast<int>(nw), static_cast<int>(nh));
    for (i64 y = 0; y < nh; ++y) {
        std::uint16_t* out = raster.data() + static_cast<std::size_t>(y * (nw + 1));
        for (i64 x = 0; x < nw; ++x) {
            const double cx = originX + x + 0.5, cy = originY + y + 0.5;
            const auto centre = polarOf(cx, cy);
            if (centre[1] < inner || centre[1] > outer || std::fabs(centre[0]) > span / 2) continue;
            // The cell's corners in polar terms (angles taken on the centre's side of the wrap).
            double phi0 = centre[0], phi1 = centre[0], rad0 = centre[1], rad1 = centre[1];
            for (int corner = 0; corner < 4; ++corner) {
                const auto p = polarOf(originX + x + (corner & 1), originY + y + (corner >> 1));
                double phi = p[0];
                if (phi - centre[0] > pi) phi -= 2 * pi;
                if (centre[0] - phi > pi) phi += 2 * pi;
                phi0 = std::min(phi0, phi);
                phi1 = std::max(phi1, phi);
                rad0 = std::min(rad0, p[1]);
                rad1 = std::max(rad1, p[1]);
            }
            // Angle to column, radius to row (outer arc = top row).
            const double u0 = (phi0 + span / 2) / span * w, u1 = (phi1 + span / 2) / span * w;
            const double v0 = (outer - rad1) / depth * h, v1 = (outer - rad0) / depth * h;
            const double mean = src.AreaMean(u0, u1, v0, v1);
            if (mean >= 0) out[x] = ToSample(mean);
        }
    }
    ReplaceRaster(std::move(raster), static_cast<int>(nw), static_cast<int>(nh));
    return true;
}

bool CCtrlElvMap::TransRotate(int degrees, bool /*freeOld*/) {
    if (m_Elevation.empty()) return false;
    const int deg = ((degrees % 360) + 360) % 360;
    const int w = m_nMapWidth, h = m_nMapHeight;
    const std::size_t rw = static_cast<std::size_t>(m_nRasterWidth);
    auto at = [&](int x, int y) { return m_Elevation[static_cast<std::size_t>(y) * rw + x]; };
    if (deg % 90 == 0) {
        // Exact quarter turns, counter-clockwise on the screen.
        const int nw = deg == 90 || deg == 270 ? h : w;
        const int nh = deg == 90 || deg == 270 ? w : h;
        std::vector<std::uint16_t> raster = NewRaster(nw, nh);
        for (int y = 0; y < nh; ++y)
            for (int x = 0; x < nw; ++x) {
                std::uint16_t v;
                switch (deg) {
                    case 90: v = at(w - 1 - y, x); break;
                    case 180: v = at(w - 1 - x, h - 1 - y); break;
                    case 270: v = at(y, h - 1 - x); break;
                    default: v = at(x, y); break;
                }
                raster[static_cast<std::size_t>(y) * (nw + 1) + x] = v;
            }
        ReplaceRaster(std::move(raster), nw, nh);
        return true;
    }
    const double theta = -deg * 0.017453292522222223;
    const double cs = std::cos(theta), sn = std::sin(theta);
    const i64 nw = static_cast<i64>(std::ceil(std::fabs(w * cs) + std::fabs(h * sn)));
    const i64 nh = static_cast<i64>(std::ceil(std::fabs(w * sn) + std::fabs(h * cs)));
    if (!FitsMap(nw, nh)) return false;
    const std::array<double, 256>& weights = CircleOverlapTable();
    constexpr double kReach = 2.8284271247461903;  // sqrt(8): circles of radius sqrt(2) no longer meet
    std::vector<std::uint16_t> raster = NewRaster(static_cast<int>(nw), static_cast<int>(nh));
    for (i64 y = 0; y < nh; ++y)
        for (i64 x = 0; x < nw; ++x) {
            // The new sample's centre turned back onto the source.
            const double dx = x + 0.5 - nw / 2.0, dy = y + 0.5 - nh / 2.0;
            const double sx = dx * cs + dy * sn + w / 2.0;
            const double sy = -dx * sn + dy * cs + h / 2.0;
            if (sx < 0 || sy < 0 || sx >= w || sy >= h) continue;  // outside the source: sea
            const int x0 = std::max(static_cast<int>(std::ceil(sx - 0.5 - kReach)), 0);
            const int x1 = std::min(static_cast<int>(std::floor(sx - 0.5 + kReach)), w - 1);
            const int y0 = std::max(static_cast<int>(std::ceil(sy - 0.5 - kReach)), 0);
            const int y1 = std::min(static_cast<int>(std::floor(sy - 0.5 + kReach)), h - 1);
            double sum = 0, total = 0;
            for (int j = y0; j <= y1; ++j)
                for (int i = x0; i <= x1; ++i) {
                    const double ex = i + 0.5 - sx, ey = j + 0.5 - sy;
                    const int index = static_cast<int>((ex * ex + ey * ey) * (256.0 / 8.0));
                    if (index >= 256) continue;
                    sum += weights[index] * at(i, j);
                    total += weights[index];
                }
            if (total > 0) raster[static_cast<std::size_t>(y * (nw + 1) + x)] = ToSample(sum / total);
        }
    ReplaceRaster(std::move(raster), static_cast<int>(nw), static_cast<int>(nh));
    return true;
}

}  // namespace Mb3dMap
