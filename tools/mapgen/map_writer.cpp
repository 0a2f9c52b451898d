#include "tools/mapgen/map_writer.h"

#include <sys/stat.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "platform/core/format_text.h"
#include "tools/mapgen/textures.h"

namespace rymd::mapgen {

namespace {

// Width and height in pixels that the suggested castle-view zoom fits a province into.
constexpr int kZoomFitWidth = 560;
constexpr int kZoomFitHeight = 400;

bool WriteText(const std::string& path, const std::string& text) {
    return WriteFileAtomic(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::int32_t FloorDiv(std::int32_t a, std::int32_t b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

}  // namespace

std::array<std::uint32_t, 32> MapPalette() {
    using MbBmp::RGB;
    return {
        RGB(24, 44, 64),  // coast and lake shores
        RGB(48, 42, 34),  // province borders
        RGB(0, 0, 0),     // region borders
        RGB(200, 40, 40),   RGB(40, 80, 200),   RGB(230, 200, 40),  RGB(40, 160, 60),   RGB(150, 60, 170),
        RGB(240, 130, 30),  RGB(40, 180, 190),  RGB(230, 90, 150),  RGB(120, 90, 50),   RGB(150, 200, 60),
        RGB(100, 100, 220), RGB(200, 140, 100), RGB(90, 150, 130),  RGB(180, 180, 180), RGB(120, 120, 120),
        RGB(255, 255, 255), RGB(160, 30, 60),   RGB(30, 60, 120),   RGB(200, 170, 110), RGB(60, 110, 40),
        RGB(220, 110, 90),  RGB(110, 60, 140),  RGB(250, 220, 150), RGB(80, 170, 220),  RGB(170, 120, 40),
        RGB(60, 60, 60),    RGB(210, 210, 100), RGB(130, 170, 200), RGB(190, 90, 30),
    };
}

bool MakeKorMapData(const MapModel& m, MbKorMap::KorMapData& out, std::string* why) {
    auto fail = [&](const std::string& what) {
        if (why) *why = what;
        return false;
    };
    out = MbKorMap::KorMapData{};
    out.formatFlag = 0;
    out.unit = MbKorMap::kKorMapUnit;
    out.width = m.width;
    out.height = m.height;
    if (m.relief.size() != static_cast<std::size_t>(m.width) * static_cast<std::size_t>(m.height)) {
        return fail("relief of the wrong size");
    }
    if (!out.elvMap.CreateNewMap(m.width, m.height)) return fail("relief too large");
    std::uint16_t* raster = out.elvMap.GetElevationData();
    if (!raster) return fail("empty relief");
    const int rw = out.elvMap.GetRasterWidth();
    for (int y = 0; y < m.height; ++y) {
        std::copy_n(m.relief.begin() + static_cast<std::ptrdiff_t>(y) * m.width, m.width,
                    raster + static_cast<std::ptrdiff_t>(y) * rw);
    }
    out.elvMap.FillGapOfElevationData();
    out.elvMap.ElevationDataModified();

    out.textureSets.push_back(MakeSeasonTextureSet());
    out.reservedTextureWord = 0;

    for (const MapUnitPoint& n : m.nodes)
        out.nodes.push_back({n.x, n.y});
    for (const MapLine& l : m.lines) {
        MbKorMap::tagMapLine fl;
        if (l.start < 0 || l.end < 0 || l.start > 32767 || l.end > 32767)
            return fail("node index out of range");
        fl.start = static_cast<std::int16_t>(l.start);
        fl.end = static_cast<std::int16_t>(l.end);
        fl.firstPoint = static_cast<std::int32_t>(out.linePoints.size());
        fl.color = l.colour;
        for (const MapUnitPoint& p : l.inner)
            out.linePoints.push_back({p.x, p.y});
        out.linePoints.push_back({-1, -1});
        out.lines.push_back(fl);
    }
    for (const MapPolygon& p : m.polygons) {
        MbKorMap::tagMapPolygon fp;
        if (out.polygonLineList.size() > 32767) return fail("polygon line list too long");
        fp.firstList = static_cast<std::int16_t>(out.polygonLineList.size());
        fp.kind = p.kindFlags;
        fp.value = p.value;
        fp.kuni = p.province;
        for (int li : p.lines)
            out.polygonLineList.push_back(li);
        out.polygonLineList.push_back(-1);
        out.polygons.push_back(fp);
    }
    const auto palette = MapPalette();
    std::copy(palette.begin(), palette.end(), out.palette.begin());
    out.waterColor = WaterColour();

    for (const MapRegion& r : m.regions) {
        MbKorMap::ChiikiRecord c;
        c.id = r.id;
        c.name = FromUtf8(r.name, TextEncoding::ShiftJis);
        if (c.id.size() >= MbKorMap::kIdFieldSize || c.name.size() >= MbKorMap::kIdFieldSize) {
            return fail("region id or name too long: " + r.id);
        }
        out.chiiki.push_back(std::move(c));
    }
    for (const MapProvince& p : m.provinces) {
        MbKorMap::KuniRecord k;
        k.id = p.id;
        k.name = FromUtf8(p.name, TextEncoding::ShiftJis);
        k.chiiki = static_cast<std::int16_t>(p.region);
        if (k.id.size() >= MbKorMap::kIdFieldSize || k.name.size() >= MbKorMap::kIdFieldSize) {
            return fail("province id or name too long: " + p.id);
        }
        out.kuni.push_back(std::move(k));
    }
    std::string check;
    if (!MbKorMap::CheckKorMapData(out, &check)) return fail("map refused by the library's check: " + check);
    return true;
}

std::vector<ProvinceBox> ProvinceBoxes(const MapModel& m, bool mainOnly) {
    const ProvinceBox empty{
        std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
        std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
    std::vector<ProvinceBox> boxes(m.provinces.size(), empty);
    std::vector<double> largest(m.provinces.size(), -1.0);
    for (std::size_t p = 0; p < m.polygons.size(); ++p) {
        const MapPolygon& poly = m.polygons[p];
        if (poly.Kind() != kKindLand || poly.province < 0 ||
            static_cast<std::size_t>(poly.province) >= boxes.size()) {
            continue;
        }
        const auto outline = PolygonOutline(m, static_cast<int>(p));
        ProvinceBox& b = boxes[static_cast<std::size_t>(poly.province)];
        if (mainOnly) {
            const double area = std::fabs(OutlineArea(outline));
            if (area <= largest[static_cast<std::size_t>(poly.province)]) continue;
            largest[static_cast<std::size_t>(poly.province)] = area;
            b = empty;
        }
        for (const MapUnitPoint& q : outline) {
            b.left = std::min(b.left, q.x);
            b.top = std::min(b.top, q.y);
            b.right = std::max(b.right, q.x);
            b.bottom = std::max(b.bottom, q.y);
        }
    }
    for (ProvinceBox& b : boxes) {
        if (b.left > b.right) b = ProvinceBox{};
    }
    return boxes;
}

std::string ProvincesTsv(const MapModel& m) {
    const int unit = JapanProjection::kMapUnit;
    std::string s;
    s += "# Provinces of data/default.smp, in the order of their numbers (generated by tools/mapgen).\n";
    s += "# x_min..y_max: bounding box of all the province's land in map coordinates (1/128 relief sample,\n";
    s += "#   as castle positions).\n";
    s += "# area_*: the same box in relief samples, rounded outwards (as KuniArea rectangles).\n";
    s += "# main_*: the box of the province's largest piece of land (without outlying islands), in relief\n";
    s += "#   samples, rounded outwards.\n";
    s += "# zoom: the largest whole zoom (pixels per sample) that shows the main box in 560 x 400 pixels.\n";
    s += "number\tid\tname\tregion_id\tregion\tx_min\ty_min\tx_max\ty_max\tarea_left\tarea_top\tarea_right\t"
         "area_bottom\tmain_left\tmain_top\tmain_right\tmain_bottom\tzoom\n";
    const auto boxes = ProvinceBoxes(m);
    const auto mains = ProvinceBoxes(m, true);
    auto samples = [&](const ProvinceBox& b) {
        return std::array<std::int32_t, 4>{FloorDiv(b.left, unit), FloorDiv(b.top, unit),
                                           FloorDiv(b.right, unit) + 1, FloorDiv(b.bottom, unit) + 1};
    };
    for (std::size_t i = 0; i < m.provinces.size(); ++i) {
        const MapProvince& p = m.provinces[i];
        const ProvinceBox& b = boxes[i];
        const MapRegion& r = m.regions[static_cast<std::size_t>(p.region)];
        const auto a = samples(b);
        const auto mb = samples(mains[i]);
        const int zoom = std::max(1, std::min(kZoomFitWidth / std::max(1, mb[2] - mb[0]),
                                              kZoomFitHeight / std::max(1, mb[3] - mb[1])));
        s += std::to_string(i) + "\t" + p.id + "\t" + p.name + "\t" + r.id + "\t" + r.name;
        for (std::int32_t v : {b.left, b.top, b.right, b.bottom})
            s += "\t" + std::to_string(v);
        for (std::int32_t v : a)
            s += "\t" + std::to_string(v);
        for (std::int32_t v : mb)
            s += "\t" + std::to_string(v);
        s += "\t" + std::to_string(zoom) + "\n";
    }
    return s;
}

std::string MapReadme(const MapModel& m) {
    using P = JapanProjection;
    const double n = P::ConeConstant();
    const double pi = std::acos(-1.0);
    const double p1 = P::kStandardLat1 * pi / 180.0;
    const double f = std::cos(p1) * std::pow(std::tan(pi / 4 + p1 / 2), n) / n;
    const double rho0 = P::kEarthRadiusKm * f / std::pow(std::tan(pi / 4 + P::kOriginLat * pi / 360.0), n);
    int land = 0;
    int water = 0;
    for (const MapPolygon& p : m.polygons)
        (p.Kind() == kKindWater ? water : land)++;

    std::string s;
    s += "# The bundled map of Japan\n\n";
    s += "Generated by `tools/mapgen` from the geographic data in `../shared/data/geo/`; do not edit these "
         "files by\n";
    s += "hand. To rebuild them all (from the repository folder):\n\n";
    s += "```\ncmake --build build --target mapgen && ./build/mapgen ../shared/data/geo data\n```\n\n";
    s += "| file | what it is |\n|---|---|\n";
    s += "| `data/default.smp` | the province map the program loads at start-up (\"KorMap\" format, version "
         "4) |\n";
    s += "| `data/default.map` | the same map under the name a scenario gets when it names no map |\n";
    s += "| `data/map/provinces.tsv` | every province: number, id, name, region, bounding box, suggested "
         "zoom |\n";
    s += "| `data/map/README.md` | this text |\n\n";

    s += "## What the map holds\n\n";
    s += "- " + std::to_string(m.regions.size()) + " regions: the eight circuits (五畿七道) and 蝦夷.\n";
    s +=
        "- " + std::to_string(m.provinces.size()) +
        " provinces: the 68 classical provinces, numbered in the traditional order of the circuits, and Ezo\n"
        "  (Hokkaido) as one province. The north of Mutsu (data code 69) is part of 陸奥, the Izu islands "
        "(89) of 伊豆,\n"
        "  the Tokara islands (90) of 薩摩; the Kurils are left out. Ryukyu is not on the map (the data stop "
        "at\n"
        "  29.5 degrees north).\n";
    s += "- Borders of 1868 and the coastline before modern land reclamation (see the data's README for the "
         "few\n"
         "  borders that moved after the sixteenth century).\n";
    s += "- " + std::to_string(land) + " land polygons (textured land, filled to their outlines) and " +
         std::to_string(water) +
         " water polygons: every lake, river reach and\n  closed bay the land encloses; a lake inside one "
         "province "
         "carries that province's number.\n";
    s += "- Lines: coasts and lake shores in palette colour 0, province borders in colour 1, borders between "
         "regions\n"
         "  in colour 2 (black).\n";
    s += "- The relief: land heights in metres (GTOPO30), one sample every " +
         FormatText("%.0f", P::kKmPerSample) + " km, " + std::to_string(m.width) + " x " +
         std::to_string(m.height) +
         " samples, stored\n  with the delta/run-length coding; 0 is sea (and lakes).\n";
    s += "- One texture set, \"T_JAPAN\", with pictures for the four seasons (made by the generator).\n\n";

    s += "## Ids\n\n";
    s += "Scenarios name regions and provinces by id (ASCII). Region ids: ";
    for (std::size_t i = 0; i < m.regions.size(); ++i) {
        s += (i ? ", " : "") + std::string("`") + m.regions[i].id + "` " + m.regions[i].name;
    }
    s += ".\nProvince ids are `K_` and the romanised name (`K_YAMASHIRO` 山城, `K_MUSASHI` 武蔵, `K_EZO` "
         "蝦夷, ...); the\n"
         "two provinces read Awa are `K_AWA` (阿波, Shikoku) and `K_AWA_BOSO` (安房). `provinces.tsv` lists "
         "them all.\n\n";

    s += "## Map coordinates\n\n";
    s += "Positions on the map (castles, labels, routes) are map coordinates: int32, 128 to a relief sample, "
         "x to the\n"
         "east and y to the south from the top-left corner. The map is " +
         std::to_string(m.width) + " x " + std::to_string(m.height) + " samples, so x runs from 0 to " +
         std::to_string(m.width * P::kMapUnit) + " and y from 0 to " +
         std::to_string(m.height * P::kMapUnit) +
         ".\nRectangles in relief samples (KuniArea, MainMapKakudai) are map coordinates divided by 128.\n\n";
    s += "Longitude and latitude (degrees, WGS 84 read as a sphere) to map coordinates: a Lambert conformal "
         "conic\n"
         "projection of the sphere, which keeps the islands' shapes.\n\n```\n";
    // Formula on the left, value or note on the right, in two even columns.
    auto row = [&s](const std::string& left, const std::string& right) {
        std::string line = left;
        if (!right.empty()) {
            line.resize(std::max<std::size_t>(line.size() + 2, 72), ' ');
            line += right;
        }
        s += line + "\n";
    };
    row("R    = " + FormatText("%.1f", P::kEarthRadiusKm) + " km", "radius of the sphere");
    row("p1   = " + FormatText("%.0f", P::kStandardLat1) +
            " deg, p2 = " + FormatText("%.0f", P::kStandardLat2) + " deg",
        "standard parallels");
    row("p0   = " + FormatText("%.0f", P::kOriginLat) + " deg, l0 = " + FormatText("%.0f", P::kOriginLon) +
            " deg E",
        "origin");
    row("n    = ln(cos p1 / cos p2) / ln(tan(pi/4 + p2/2) / tan(pi/4 + p1/2))",
        "= " + FormatText("%.12f", n));
    row("F    = cos p1 * tan(pi/4 + p1/2)^n / n", "= " + FormatText("%.12f", f));
    row("rho0 = R * F / tan(pi/4 + p0/2)^n", "= " + FormatText("%.6f", rho0) + " km");
    row("rho  = R * F / tan(pi/4 + lat/2)^n", "");
    row("t    = n * (lon - l0)", "in radians");
    row("E    = rho * sin t", "km east");
    row("N    = rho0 - rho * cos t", "km north");
    row("x    = round((E - (" + FormatText("%.1f", P::kLeftKm) + ")) / " +
            FormatText("%.1f", P::kKmPerSample) + " * 128)",
        "map coordinates");
    row("y    = round((" + FormatText("%.1f", P::kTopKm) + " - N) / " + FormatText("%.1f", P::kKmPerSample) +
            " * 128)",
        "");
    s += "```\n\n";
    s += "Backwards: E = x / 128 * " + FormatText("%.1f", P::kKmPerSample) + " + (" +
         FormatText("%.1f", P::kLeftKm) + "), N = " + FormatText("%.1f", P::kTopKm) + " - y / 128 * " +
         FormatText("%.1f", P::kKmPerSample) +
         ", rho = sqrt(E^2 + (rho0 - N)^2),\nt = atan2(E, rho0 - N), lon = l0 + t / n, lat = 2 atan((R F / "
         "rho)^(1/n)) - pi/2.\n\n";
    s += "The generator prints the conversion: `./build/mapgen --project LON LAT` gives map coordinates and "
         "the relief\n"
         "sample, `./build/mapgen --unproject X Y` the longitude and latitude of map coordinates.\n\n";
    s += "| town | longitude, latitude | map coordinates | province |\n|---|---|---|---|\n";
    struct Town {
        const char* name;
        double lon;
        double lat;
        const char* province;
    };
    const Town towns[] = {{"Kyoto", 135.7681, 35.0116, "山城"},
                          {"Edo (Tokyo)", 139.7528, 35.6852, "武蔵"},
                          {"Osaka (the castle)", 135.5262, 34.6873, "摂津"},
                          {"Kagoshima", 130.5571, 31.5966, "薩摩"}};
    for (const Town& t : towns) {
        const MapUnitPoint u = P::ToMapUnits(LonLat{t.lon, t.lat});
        s += std::string("| ") + t.name + " | " + FormatText("%.4f", t.lon) + ", " +
             FormatText("%.4f", t.lat) + " | " + std::to_string(u.x) + ", " + std::to_string(u.y) + " | " +
             t.province + " |\n";
    }
    s += "\n";

    s += "## Credits\n\n";
    s += "- Province borders (1868) and the province legend: CC0 1.0, derived from the raster of GitHub\n"
         "  Asukana/Ryoseikoku_20230626_TSV (commit 2af72ac9).\n";
    s += "- Relief: \"Japan Digital Elevation Model, Lex Berman (2015), derived from USGS GTOPO30, Harvard "
         "Dataverse\n"
         "  doi:10.7910/DVN/28762\", CC BY 4.0. GTOPO30: \"These data are distributed by the Land Processes\n"
         "  Distributed Active Archive Center (LP DAAC), located at USGS/EROS, Sioux Falls, SD.\n"
         "  http://lpdaac.usgs.gov\".\n";
    s += "- Projection, water bodies, textures and the map file: made by `tools/mapgen` of this project.\n";
    return s;
}

bool WriteMapFiles(const MapModel& m, const std::string& outDir, std::string* why) {
    auto fail = [&](const std::string& what) {
        if (why) *why = what;
        return false;
    };
    MbKorMap::KorMapData data;
    if (!MakeKorMapData(m, data, why)) return false;
    const std::string dir = outDir.empty() || outDir.back() == '/' ? outDir : outDir + "/";
    for (const char* name : {"default.smp", "default.map"}) {
        std::string reason;
        if (!MbKorMap::SaveKorMapFile((dir + name).c_str(), data, &reason)) {
            return fail("cannot write " + dir + name + ": " + reason);
        }
    }
    const std::string mapDir = dir + "map";
    ::mkdir(mapDir.c_str(), 0777);
    if (!WriteText(mapDir + "/provinces.tsv", ProvincesTsv(m)))
        return fail("cannot write " + mapDir + "/provinces.tsv");
    if (!WriteText(mapDir + "/README.md", MapReadme(m))) return fail("cannot write " + mapDir + "/README.md");
    return true;
}

}  // namespace rymd::mapgen
