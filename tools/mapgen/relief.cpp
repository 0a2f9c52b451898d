#include "tools/mapgen/relief.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace rymd::mapgen {

double DemGrid::HeightAt(double lon, double lat) const {
    if (width <= 0 || height <= 0 || samples.size() != static_cast<std::size_t>(width) * height) return 0.0;
    const double fc = (lon - lon0) / cell - 0.5;
    const double fr = (lat0 - lat) / cell - 0.5;
    const double c0 = std::floor(fc);
    const double r0 = std::floor(fr);
    const double tx = fc - c0;
    const double ty = fr - r0;
    double sum = 0.0;
    double weight = 0.0;
    for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
            const double c = c0 + dx;
            const double r = r0 + dy;
            if (c < 0 || r < 0 || c >= width || r >= height) continue;
            const std::uint16_t v = samples[static_cast<std::size_t>(r) * static_cast<std::size_t>(width) +
                                            static_cast<std::size_t>(c)];
            if (v == 0) continue;
            const double w = (dx ? tx : 1.0 - tx) * (dy ? ty : 1.0 - ty);
            sum += w * v;
            weight += w;
        }
    }
    return weight > 0.0 ? sum / weight : 0.0;
}

DemGrid JapanDemGridFrame() {
    DemGrid g;
    g.width = 1368;
    g.height = 1019;
    g.lon0 = 127.9421598663;
    g.lat0 = 50.0207918514;
    g.cell = 0.0204311112;
    return g;
}

namespace {

struct PngRead {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngRead() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};

}  // namespace

bool ReadDemPng(const std::string& path, DemGrid& grid, std::string* error) {
    auto fail = [&](const char* what) {
        if (error) *error = std::string(what) + ": " + path;
        return false;
    };
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return fail("cannot open");
    png_byte sig[8];
    if (std::fread(sig, 1, 8, file.get()) != 8 || png_sig_cmp(sig, 0, 8) != 0) return fail("not a PNG file");
    PngRead r;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!r.png) return fail("cannot read");
    r.info = png_create_info_struct(r.png);
    if (!r.info) return fail("cannot read");
    std::vector<std::uint16_t> samples;
    std::vector<png_byte> row;
    if (setjmp(png_jmpbuf(r.png))) return fail("bad PNG data");
    png_init_io(r.png, file.get());
    png_set_sig_bytes(r.png, 8);
    png_read_info(r.png, r.info);
    const png_uint_32 w = png_get_image_width(r.png, r.info);
    const png_uint_32 h = png_get_image_height(r.png, r.info);
    const int depth = png_get_bit_depth(r.png, r.info);
    const int colour = png_get_color_type(r.png, r.info);
    if (colour != PNG_COLOR_TYPE_GRAY || (depth != 8 && depth != 16))
        return fail("not an 8- or 16-bit grey PNG");
    if (png_get_interlace_type(r.png, r.info) != PNG_INTERLACE_NONE) return fail("interlaced PNG");
    if (static_cast<int>(w) != grid.width || static_cast<int>(h) != grid.height)
        return fail("PNG of another size");
    png_read_update_info(r.png, r.info);
    const std::size_t rowBytes = png_get_rowbytes(r.png, r.info);
    if (rowBytes < static_cast<std::size_t>(w) * (depth / 8)) return fail("bad PNG rows");
    row.resize(rowBytes);
    samples.resize(static_cast<std::size_t>(w) * h);
    for (png_uint_32 y = 0; y < h; ++y) {
        png_read_row(r.png, row.data(), nullptr);
        for (png_uint_32 x = 0; x < w; ++x) {
            std::uint16_t v =
                depth == 16 ? static_cast<std::uint16_t>((row[2 * x] << 8) | row[2 * x + 1]) : row[x];
            samples[static_cast<std::size_t>(y) * w + x] = v;
        }
    }
    grid.samples = std::move(samples);
    return true;
}

std::vector<std::uint8_t> RasterisePolygons(const MapModel& m, int kind) {
    const int w = m.width;
    const int h = m.height;
    std::vector<std::uint8_t> out(
        static_cast<std::size_t>(std::max(w, 0)) * static_cast<std::size_t>(std::max(h, 0)), 0);
    if (w <= 0 || h <= 0) return out;
    constexpr double unit = JapanProjection::kMapUnit;
    std::vector<double> xs;
    for (std::size_t p = 0; p < m.polygons.size(); ++p) {
        if (m.polygons[p].Kind() != kind) continue;
        const auto outline = PolygonOutline(m, static_cast<int>(p));
        if (outline.size() < 3) continue;
        std::int32_t top = outline[0].y;
        std::int32_t bottom = outline[0].y;
        for (const auto& q : outline) {
            top = std::min(top, q.y);
            bottom = std::max(bottom, q.y);
        }
        const int r0 = std::max(0, static_cast<int>(std::floor(top / unit - 0.5)));
        const int r1 = std::min(h - 1, static_cast<int>(std::ceil(bottom / unit)));
        for (int r = r0; r <= r1; ++r) {
            const double y = (r + 0.5) * unit;
            xs.clear();
            for (std::size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
                const double yi = outline[i].y;
                const double yj = outline[j].y;
                if ((yi <= y) != (yj <= y)) {
                    xs.push_back(outline[i].x + (y - yi) * (outline[j].x - outline[i].x) / (yj - yi));
                }
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
                // Samples whose centre x lies in [xs[k], xs[k + 1]).
                const int c0 = std::max(0, static_cast<int>(std::ceil(xs[k] / unit - 0.5)));
                const int c1 = std::min(w - 1, static_cast<int>(std::ceil(xs[k + 1] / unit - 0.5)) - 1);
                for (int c = c0; c <= c1; ++c)
                    out[static_cast<std::size_t>(r) * w + c] = 1;
            }
        }
    }
    return out;
}

void BuildRelief(MapModel& m, const DemGrid& dem) {
    const auto land = RasterisePolygons(m, kKindLand);
    const auto water = RasterisePolygons(m, kKindWater);
    m.relief.assign(land.size(), 0);
    for (int y = 0; y < m.height; ++y) {
        for (int x = 0; x < m.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * m.width + x;
            if (!land[i] || water[i]) continue;
            const LonLat ll = JapanProjection::FromMap(MapPoint{x + 0.5, y + 0.5});
            const double e = dem.HeightAt(ll.lon, ll.lat);
            m.relief[i] = static_cast<std::uint16_t>(std::clamp(std::lround(e), 1L, 65535L));
        }
    }
}

}  // namespace rymd::mapgen
