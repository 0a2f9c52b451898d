// The projection of the bundled map of Japan: a Lambert conformal conic projection of the
// sphere (conformal, so the islands keep their shapes), followed by a fixed scale and offset
// that turn kilometres into relief samples.
//
//   n   = ln(cos p1 / cos p2) / ln(tan(pi/4 + p2/2) / tan(pi/4 + p1/2))
//   F   = cos p1 * tan(pi/4 + p1/2)^n / n
//   rho = R * F / tan(pi/4 + lat/2)^n,   rho0 = rho(p0)
//   t   = n * (lon - l0)
//   E   = rho * sin t,                    N = rho0 - rho * cos t        (kilometres)
//   x   = (E - kLeftKm) / kKmPerSample,   y = (kTopKm - N) / kKmPerSample   (relief samples)
//
// Map coordinates (node, line and castle positions) are relief samples x 128.
#pragma once

#include <cstdint>

namespace rymd::mapgen {

struct LonLat {
    double lon = 0.0;  // degrees east
    double lat = 0.0;  // degrees north
};

// A point in relief samples: x to the east, y to the south, (0, 0) the map's top-left corner.
struct MapPoint {
    double x = 0.0;
    double y = 0.0;
};

// A point in map coordinates (relief samples x kMapUnit), as the map file and castles store it.
struct MapUnitPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct JapanProjection {
    static constexpr double kEarthRadiusKm = 6371.0;
    static constexpr double kStandardLat1 = 33.0;  // degrees
    static constexpr double kStandardLat2 = 43.0;
    static constexpr double kOriginLat = 38.0;
    static constexpr double kOriginLon = 137.0;
    static constexpr double kKmPerSample = 2.0;
    // Easting of the map's left edge and northing of its top edge, in kilometres.
    static constexpr double kLeftKm = -840.0;
    static constexpr double kTopKm = 870.0;
    // Size of the relief map in samples.
    static constexpr int kWidth = 790;
    static constexpr int kHeight = 900;
    // Map coordinates per relief sample.
    static constexpr int kMapUnit = 128;

    // Cone constant n and the scaled radii, derived from the constants above.
    static double ConeConstant();

    // Longitude and latitude to kilometres east and north of the origin.
    static void ToKm(LonLat p, double& east, double& north);
    static LonLat FromKm(double east, double north);

    static MapPoint ToMap(LonLat p);
    static LonLat FromMap(MapPoint p);
    // Map coordinates rounded to the nearest unit.
    static MapUnitPoint ToMapUnits(LonLat p);
    static LonLat FromMapUnits(MapUnitPoint p);
};

}  // namespace rymd::mapgen
