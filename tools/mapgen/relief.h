// The relief of the map: land heights taken from an elevation grid in longitude and latitude,
// on the land the polygons outline (lakes and other water stay 0, sea).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mapgen/map_model.h"

namespace rymd::mapgen {

// An elevation grid in longitude and latitude: cell (col, row) covers longitudes
// lon0 + col x cell .. + cell and latitudes lat0 - row x cell .. - cell. 0 is sea.
struct DemGrid {
    int width = 0;
    int height = 0;
    double lon0 = 0.0;                   // west edge
    double lat0 = 0.0;                   // north edge
    double cell = 1.0;                   // degrees
    std::vector<std::uint16_t> samples;  // width x height, rows from the north

    // Height at a point: the cells around it, weighted by nearness, sea cells left out (so that
    // the coast is not dragged down to sea level); 0 when all four are sea or outside.
    double HeightAt(double lon, double lat) const;
};

// The grid of the project's relief data (GTOPO30 resampled): 1368 x 1019 cells from
// 127.9421598663 E, 50.0207918514 N, 0.0204311112 degrees a cell. Samples are left empty.
DemGrid JapanDemGridFrame();

// Reads a greyscale PNG (16 or 8 bits) into grid.samples; its size must match the grid's.
bool ReadDemPng(const std::string& path, DemGrid& grid, std::string* error);

// Fills m.relief (m.width x m.height): a sample whose centre lies inside a land polygon and not
// inside a water polygon gets the grid's height there, at least 1; every other sample is 0.
void BuildRelief(MapModel& m, const DemGrid& dem);

// Samples covered by each polygon's outline (even-odd, sample centres), as 0/1 rows.
std::vector<std::uint8_t> RasterisePolygons(const MapModel& m, int kind);

}  // namespace rymd::mapgen
