#include "tools/mapgen/projection.h"

#include <cmath>
#include <numbers>

namespace rymd::mapgen {

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

struct Cone {
    double n;
    double f;
    double rho0;
};

double TanHalf(double latRad) {
    return std::tan(std::numbers::pi / 4.0 + latRad / 2.0);
}

const Cone& TheCone() {
    static const Cone cone = [] {
        const double p1 = JapanProjection::kStandardLat1 * kDeg;
        const double p2 = JapanProjection::kStandardLat2 * kDeg;
        const double p0 = JapanProjection::kOriginLat * kDeg;
        Cone c{};
        c.n = std::log(std::cos(p1) / std::cos(p2)) / std::log(TanHalf(p2) / TanHalf(p1));
        c.f = std::cos(p1) * std::pow(TanHalf(p1), c.n) / c.n;
        c.rho0 = JapanProjection::kEarthRadiusKm * c.f / std::pow(TanHalf(p0), c.n);
        return c;
    }();
    return cone;
}

}  // namespace

double JapanProjection::ConeConstant() {
    return TheCone().n;
}

void JapanProjection::ToKm(LonLat p, double& east, double& north) {
    const Cone& c = TheCone();
    const double rho = kEarthRadiusKm * c.f / std::pow(TanHalf(p.lat * kDeg), c.n);
    const double t = c.n * (p.lon - kOriginLon) * kDeg;
    east = rho * std::sin(t);
    north = c.rho0 - rho * std::cos(t);
}

LonLat JapanProjection::FromKm(double east, double north) {
    const Cone& c = TheCone();
    const double dy = c.rho0 - north;
    // The cone opens northwards (n > 0), so rho is positive.
    const double rho = std::sqrt(east * east + dy * dy);
    const double t = std::atan2(east, dy);
    LonLat out;
    out.lon = kOriginLon + t / c.n / kDeg;
    const double tanHalf = std::pow(kEarthRadiusKm * c.f / rho, 1.0 / c.n);
    out.lat = (2.0 * std::atan(tanHalf) - std::numbers::pi / 2.0) / kDeg;
    return out;
}

MapPoint JapanProjection::ToMap(LonLat p) {
    double e = 0.0;
    double n = 0.0;
    ToKm(p, e, n);
    return MapPoint{(e - kLeftKm) / kKmPerSample, (kTopKm - n) / kKmPerSample};
}

LonLat JapanProjection::FromMap(MapPoint p) {
    return FromKm(p.x * kKmPerSample + kLeftKm, kTopKm - p.y * kKmPerSample);
}

MapUnitPoint JapanProjection::ToMapUnits(LonLat p) {
    MapPoint m = ToMap(p);
    return MapUnitPoint{static_cast<std::int32_t>(std::lround(m.x * kMapUnit)),
                        static_cast<std::int32_t>(std::lround(m.y * kMapUnit))};
}

LonLat JapanProjection::FromMapUnits(MapUnitPoint p) {
    return FromMap(MapPoint{static_cast<double>(p.x) / kMapUnit, static_cast<double>(p.y) / kMapUnit});
}

}  // namespace rymd::mapgen
