// Turns a topology of provinces into the map's geometry: each arc of the topology becomes a
// line between two nodes, each outer ring of a province a land polygon, and each body of water
// that the land encloses (a lake, a river reach, a closed bay) a water polygon, with the islands
// inside it cut out by a pair of hidden lines to the shore.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mapgen/map_model.h"
#include "tools/mapgen/topology.h"

namespace rymd::mapgen {

struct RegionDef {
    std::string id;
    std::string name;  // UTF-8
};

struct ProvinceDef {
    int code = 0;  // code of the province in the source data
    std::string id;
    std::string name;  // UTF-8
    int region = 0;    // index into the region list
};

struct BuildOptions {
    std::vector<RegionDef> regions;
    std::vector<ProvinceDef> provinces;  // in the order of the map's province numbers
    // Codes folded into another province: (code, code of the province that takes it).
    std::vector<std::pair<int, int>> folds;
    // Codes left out of the map.
    std::vector<int> dropped;
    // Kind byte of the land polygons (kind 0 and flags).
    std::uint8_t landFlags = kKindLand | kFlagFillAll;
    // Texture set (and drawing level) of the land polygons.
    std::uint8_t landTexture = 0;
};

// The regions, provinces, folds and drops of the bundled map of Japan: the 68 provinces in
// their eight circuits, and Ezo as one province of its own region.
BuildOptions JapanBuildOptions();

struct BuildReport {
    std::vector<std::string> warnings;
    int landPolygons = 0;
    int waterPolygons = 0;
    int islandsInWater = 0;
};

// Builds nodes, lines, polygons, regions and provinces of `out` (relief untouched) from the
// topology, projected with JapanProjection. False with *error set when the topology does not fit
// (unknown codes, an arc used by more than two rings, a broken boundary, a point off the map,
// more nodes or list entries than the file's 16-bit fields hold).
bool BuildGeometry(const Topology& topo, const BuildOptions& options, MapModel& out, BuildReport& report,
                   std::string* error);

}  // namespace rymd::mapgen
