// The province map as the generator builds it, in the shape of the map file: nodes, lines with
// their inner points, polygons as runs of line indices, regions, provinces and the relief.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/mapgen/projection.h"

namespace rymd::mapgen {

// Polygon kinds and flags of the map file's kind byte.
inline constexpr std::uint8_t kKindLand = 0;     // textured land; value = level = texture set
inline constexpr std::uint8_t kKindPalette = 1;  // palette colour; value = palette index
inline constexpr std::uint8_t kKindWater = 2;    // water colour
inline constexpr std::uint8_t kKindHidden = 3;   // never drawn, still hit-tested
inline constexpr std::uint8_t kFlagNoRelief = 0x20;
inline constexpr std::uint8_t kFlagFillAll = 0x40;
inline constexpr std::uint8_t kFlagShadow = 0x80;

// Line colour codes: 0 black, 1 white, 2 not drawn, 20 + i palette entry i.
inline constexpr std::uint16_t kLineBlack = 0;
inline constexpr std::uint16_t kLineHidden = 2;
inline constexpr std::uint16_t kLinePaletteBase = 20;

// Palette entries the generated map uses for its lines.
inline constexpr int kPaletteCoast = 0;
inline constexpr int kPaletteProvinceBorder = 1;
inline constexpr int kPaletteRegionBorder = 2;

struct MapLine {
    int start = 0;  // node index
    int end = 0;    // node index
    std::vector<MapUnitPoint> inner;
    std::uint16_t colour = kLineBlack;
};

struct MapPolygon {
    std::vector<int> lines;  // the run of line indices, in walking order
    std::uint8_t kindFlags = kKindLand;
    std::uint8_t value = 0;
    std::int16_t province = -1;

    int Kind() const { return kindFlags & 0x0F; }
};

struct MapRegion {
    std::string id;    // ASCII
    std::string name;  // UTF-8
};

struct MapProvince {
    std::string id;    // ASCII
    std::string name;  // UTF-8
    int region = 0;
    std::vector<int> codes;  // codes of the source data folded into this province
};

struct MapModel {
    int width = 0;  // relief samples
    int height = 0;
    std::vector<MapUnitPoint> nodes;
    std::vector<MapLine> lines;
    std::vector<MapPolygon> polygons;
    std::vector<MapRegion> regions;
    std::vector<MapProvince> provinces;
    // width x height elevation samples in metres, row by row from the top; 0 is sea.
    std::vector<std::uint16_t> relief;
};

// The outline of a polygon as the map drawing walks it: starting at the start node of the
// first line, each line is taken forwards when its start node is the current node, else
// backwards; the end node of the last line is not repeated (the outline closes by itself).
std::vector<MapUnitPoint> PolygonOutline(const MapModel& m, int polygon);

// Whether a map point lies inside an outline by the even-odd rule (half-open at the edges).
bool OutlineContains(const std::vector<MapUnitPoint>& outline, double x, double y);

// Signed area of an outline in square map units (positive: clockwise on the map, whose y runs
// downwards).
double OutlineArea(const std::vector<MapUnitPoint>& outline);

}  // namespace rymd::mapgen
