#include "tools/mapgen/map_model.h"

namespace rymd::mapgen {

std::vector<MapUnitPoint> PolygonOutline(const MapModel& m, int polygon) {
    std::vector<MapUnitPoint> out;
    if (polygon < 0 || static_cast<std::size_t>(polygon) >= m.polygons.size()) return out;
    const MapPolygon& p = m.polygons[static_cast<std::size_t>(polygon)];
    if (p.lines.empty()) return out;
    int current = m.lines[static_cast<std::size_t>(p.lines.front())].start;
    for (int li : p.lines) {
        const MapLine& line = m.lines[static_cast<std::size_t>(li)];
        if (line.start == current) {
            out.push_back(m.nodes[static_cast<std::size_t>(line.start)]);
            out.insert(out.end(), line.inner.begin(), line.inner.end());
            current = line.end;
        } else {
            out.push_back(m.nodes[static_cast<std::size_t>(line.end)]);
            out.insert(out.end(), line.inner.rbegin(), line.inner.rend());
            current = line.start;
        }
    }
    return out;
}

bool OutlineContains(const std::vector<MapUnitPoint>& outline, double x, double y) {
    bool inside = false;
    const std::size_t n = outline.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = outline[i].x;
        const double yi = outline[i].y;
        const double xj = outline[j].x;
        const double yj = outline[j].y;
        if ((yi <= y) != (yj <= y)) {
            const double cx = xi + (y - yi) * (xj - xi) / (yj - yi);
            if (x < cx) inside = !inside;
        }
    }
    return inside;
}

double OutlineArea(const std::vector<MapUnitPoint>& outline) {
    double s = 0.0;
    const std::size_t n = outline.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        s += static_cast<double>(outline[j].x) * outline[i].y -
             static_cast<double>(outline[i].x) * outline[j].y;
    }
    return s / 2.0;
}

}  // namespace rymd::mapgen
