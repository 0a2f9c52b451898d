// mapgen: builds the bundled map of Japan (data/default.smp and its notes) from the geographic
// data, and converts between longitude/latitude and map coordinates.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/core/file.h"
#include "tools/mapgen/map_builder.h"
#include "tools/mapgen/map_writer.h"
#include "tools/mapgen/projection.h"
#include "tools/mapgen/relief.h"
#include "tools/mapgen/topology.h"

namespace {

using namespace rymd::mapgen;

const char kUsage[] =
    "usage: mapgen GEO_DIR OUT_DIR       build OUT_DIR/default.smp, default.map and map/ from the data in "
    "GEO_DIR\n"
    "       mapgen --project LON LAT     map coordinates (and relief sample) of a longitude and latitude\n"
    "       mapgen --unproject X Y       longitude and latitude of map coordinates\n";

bool ParseNumber(const char* s, double& out) {
    char* end = nullptr;
    out = std::strtod(s, &end);
    return end != s && *end == '\0';
}

int Build(const std::string& geoDir, const std::string& outDir) {
    const std::string dir = geoDir.empty() || geoDir.back() == '/' ? geoDir : geoDir + "/";
    const std::string topoPath = dir + "provinces/kuni_1868.topojson";
    const std::string demPath = dir + "relief/japan_dem_gtopo30_0.0204deg_u16.png";

    std::vector<std::uint8_t> bytes;
    if (!rymd::ReadFileBytes(topoPath, bytes)) {
        std::cerr << "mapgen: cannot read " << topoPath << '\n';
        return 1;
    }
    Topology topo;
    std::string error;
    if (!ReadTopology(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), topo,
                      &error)) {
        std::cerr << "mapgen: " << topoPath << ": " << error << '\n';
        return 1;
    }
    MapModel model;
    BuildReport report;
    if (!BuildGeometry(topo, JapanBuildOptions(), model, report, &error)) {
        std::cerr << "mapgen: " << error << '\n';
        return 1;
    }
    for (const std::string& w : report.warnings)
        std::cerr << "mapgen: note: " << w << '\n';

    DemGrid dem = JapanDemGridFrame();
    if (!ReadDemPng(demPath, dem, &error)) {
        std::cerr << "mapgen: " << error << '\n';
        return 1;
    }
    BuildRelief(model, dem);

    if (!WriteMapFiles(model, outDir, &error)) {
        std::cerr << "mapgen: " << error << '\n';
        return 1;
    }
    std::size_t points = 0;
    for (const MapLine& l : model.lines)
        points += l.inner.size();
    std::cout << "mapgen: " << model.provinces.size() << " provinces in " << model.regions.size()
              << " regions, " << report.landPolygons << " land and " << report.waterPolygons
              << " water polygons (" << report.islandsInWater << " islands in water), " << model.lines.size()
              << " lines, " << model.nodes.size() << " nodes, " << points << " line points, relief "
              << model.width << " x " << model.height << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && (args[0] == "--project" || args[0] == "--unproject")) {
        double a = 0.0;
        double b = 0.0;
        if (!ParseNumber(args[1].c_str(), a) || !ParseNumber(args[2].c_str(), b)) {
            std::cerr << kUsage;
            return 2;
        }
        // Longitudes and latitudes the map can show, or map coordinates of int32 range.
        const bool inRange = args[0] == "--project" ? (a >= 100.0 && a <= 180.0 && b >= 10.0 && b <= 60.0)
                                                    : (a > -2147483648.0 && a < 2147483647.0 &&
                                                       b > -2147483648.0 && b < 2147483647.0);
        if (!inRange) {
            std::cerr << "mapgen: out of range\n";
            return 2;
        }
        if (args[0] == "--project") {
            const MapUnitPoint u = JapanProjection::ToMapUnits(LonLat{a, b});
            std::printf("%d %d (relief sample %d %d)\n", u.x, u.y, u.x / JapanProjection::kMapUnit,
                        u.y / JapanProjection::kMapUnit);
        } else {
            const LonLat ll = JapanProjection::FromMapUnits(
                MapUnitPoint{static_cast<std::int32_t>(a), static_cast<std::int32_t>(b)});
            std::printf("%.6f %.6f\n", ll.lon, ll.lat);
        }
        return 0;
    }
    if (args.size() != 2) {
        std::cerr << kUsage;
        return 2;
    }
    return Build(args[0], args[1]);
}
