// Writing the generated map: the map file itself ("KorMap" format through the province map
// library), and the notes a scenario author needs (provinces with their boxes, the projection).
#pragma once

#include <string>

#include "mbkormap/kor_map.h"
#include "tools/mapgen/map_model.h"

namespace rymd::mapgen {

// The colours of the map's palette: coast, province border and region border lines first, then
// colours for scenario use.
std::array<std::uint32_t, 32> MapPalette();

// The map in the library's form: geometry, regions and provinces (names in Shift-JIS), relief,
// the four-season texture set, palette and water colour. False when the model does not fit the
// file (why says why).
bool MakeKorMapData(const MapModel& m, MbKorMap::KorMapData& out, std::string* why);

// A province's bounding box in map coordinates (right and bottom inclusive), from its land
// polygons (with mainOnly, from its largest land polygon only: the main island of a province with
// outlying islands).
struct ProvinceBox {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};
std::vector<ProvinceBox> ProvinceBoxes(const MapModel& m, bool mainOnly = false);

// The province table: one line per province (id, name, region, boxes, suggested zoom).
std::string ProvincesTsv(const MapModel& m);
// The notes for scenario authors: files, projection, coordinates, ids and credits.
std::string MapReadme(const MapModel& m);

// Writes outDir/default.smp, outDir/default.map (the same map), outDir/map/provinces.tsv and
// outDir/map/README.md. False with why set when a file cannot be written.
bool WriteMapFiles(const MapModel& m, const std::string& outDir, std::string* why);

}  // namespace rymd::mapgen
