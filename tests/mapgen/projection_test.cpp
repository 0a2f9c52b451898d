// The projection of the bundled map: longitude and latitude to map coordinates and back.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/mapgen/projection.h"

namespace rymd::mapgen {
namespace {

using P = JapanProjection;

TEST(JapanProjection, RoundTripsAcrossTheCountry) {
    const LonLat points[] = {
        {135.7681, 35.0116},  // Kyoto
        {139.7528, 35.6852},  // Edo
        {130.5571, 31.5966},  // Kagoshima
        {145.5800, 43.3300},  // Nemuro, the far east
        {129.2878, 34.2028},  // Tsushima, the far west
        {141.9300, 45.5200},  // Soya, the far north
        {129.7000, 29.7000},  // Tokara, the far south
        {140.3100, 30.4800},  // Torishima
        {137.0, 38.0},        // the origin
    };
    for (const LonLat& p : points) {
        const MapPoint m = P::ToMap(p);
        const LonLat back = P::FromMap(m);
        EXPECT_NEAR(back.lon, p.lon, 1e-9) << p.lon << " " << p.lat;
        EXPECT_NEAR(back.lat, p.lat, 1e-9) << p.lon << " " << p.lat;
        // Every place of the country lies on the map.
        EXPECT_GT(m.x, 0.0);
        EXPECT_GT(m.y, 0.0);
        EXPECT_LT(m.x, P::kWidth);
        EXPECT_LT(m.y, P::kHeight);
        // Rounding to map units moves a point by less than half a unit (about 8 m).
        const MapUnitPoint u = P::ToMapUnits(p);
        const LonLat ub = P::FromMapUnits(u);
        const MapPoint mb = P::ToMap(ub);
        EXPECT_LE(std::fabs(mb.x - m.x) * P::kMapUnit, 0.5 + 1e-6);
        EXPECT_LE(std::fabs(mb.y - m.y) * P::kMapUnit, 0.5 + 1e-6);
    }
}

TEST(JapanProjection, FixedPoints) {
    // The origin lies at (840 km, 870 km) from the top-left corner: 420 and 435 samples.
    const MapUnitPoint o = P::ToMapUnits(LonLat{P::kOriginLon, P::kOriginLat});
    EXPECT_EQ(o.x, 420 * 128);
    EXPECT_EQ(o.y, 435 * 128);
    // The central meridian runs straight up the map; east is to the right, north up.
    const MapPoint south = P::ToMap(LonLat{137.0, 33.0});
    const MapPoint north = P::ToMap(LonLat{137.0, 43.0});
    EXPECT_NEAR(south.x, 420.0, 1e-9);
    EXPECT_NEAR(north.x, 420.0, 1e-9);
    EXPECT_GT(south.y, north.y);
    EXPECT_GT(P::ToMap(LonLat{138.0, 38.0}).x, 420.0);
    // One degree of latitude is about 111 km, 55.6 samples (the scale is exact on the standard
    // parallels and slightly smaller between them).
    const double dy = P::ToMap(LonLat{137.0, 37.5}).y - P::ToMap(LonLat{137.0, 38.5}).y;
    EXPECT_NEAR(dy, 111.2 / P::kKmPerSample, 0.6);
}

// The projection is conformal: a small step east and a small step north of the same length on
// the ground stay equally long and at right angles on the map.
TEST(JapanProjection, KeepsShapes) {
    const LonLat places[] = {{130.5, 31.6}, {135.8, 35.0}, {140.9, 38.3}, {143.0, 43.5}};
    for (const LonLat& p : places) {
        const double d = 1e-4;
        const double kmPerDegLat = 111.195;
        const double dLon = d / std::cos(p.lat * 3.14159265358979323846 / 180.0);
        const MapPoint o = P::ToMap(p);
        const MapPoint e = P::ToMap(LonLat{p.lon + dLon, p.lat});
        const MapPoint n = P::ToMap(LonLat{p.lon, p.lat + d});
        const double ex = e.x - o.x, ey = e.y - o.y, nx = n.x - o.x, ny = n.y - o.y;
        const double le = std::hypot(ex, ey);
        const double ln = std::hypot(nx, ny);
        EXPECT_NEAR(le / ln, 1.0, 1e-4) << p.lon << " " << p.lat;
        EXPECT_NEAR((ex * nx + ey * ny) / (le * ln), 0.0, 1e-4);
        // The scale stays within 2 % of true everywhere in the country.
        EXPECT_NEAR(ln * P::kKmPerSample / (d * kmPerDegLat), 1.0, 0.02);
    }
}

}  // namespace
}  // namespace rymd::mapgen
