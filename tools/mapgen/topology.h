// Reading a TopoJSON topology of provinces: shared arcs and the polygons made of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tools/mapgen/projection.h"

namespace rymd::mapgen {

// One point of an arc: its exact key (the quantised integer position of the topology, so that
// shared points compare equal) and its longitude and latitude.
struct TopoPoint {
    std::int64_t qx = 0;
    std::int64_t qy = 0;
    LonLat ll;

    bool SameAs(const TopoPoint& o) const { return qx == o.qx && qy == o.qy; }
};

// A reference to an arc: k >= 0 is arc k in its stored direction, ~k (negative) arc k reversed.
using ArcRef = int;
inline int ArcIndex(ArcRef r) {
    return r >= 0 ? r : ~r;
}
inline bool ArcForward(ArcRef r) {
    return r >= 0;
}

// A closed ring: arcs joined end to start.
using TopoRing = std::vector<ArcRef>;

// A polygon: its exterior ring first (clockwise with north up), then its holes.
using TopoPolygon = std::vector<TopoRing>;

struct TopoGeometry {
    int code = -1;          // the "code" property
    std::string nameJa;     // "name_ja"
    std::string nameEn;     // "name_en"
    std::string circuitJa;  // "circuit_ja"
    std::vector<TopoPolygon> polygons;
};

struct Topology {
    std::vector<std::vector<TopoPoint>> arcs;
    std::vector<TopoGeometry> geometries;
};

// The deepest nesting of arrays and objects the reader accepts (the top-level value is depth 0).
inline constexpr int kMaxJsonNesting = 64;

// Reads the first geometry collection of a TopoJSON text (quantised with a transform or not).
// Every ring must be closed, every arc index valid and every arc at least two points long;
// geometries other than polygons and multipolygons are skipped. False with *error set when the
// text is not such a topology (not JSON, nested deeper than kMaxJsonNesting, or not a topology).
bool ReadTopology(std::string_view json, Topology& out, std::string* error);

}  // namespace rymd::mapgen
