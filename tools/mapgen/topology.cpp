#include "tools/mapgen/topology.h"

#include <cmath>

#include "tools/mapgen/json_reader.h"

namespace rymd::mapgen {

namespace {

// Without a transform, positions are keyed at 1e-7 degree (about a centimetre).
constexpr double kUnquantisedKeyScale = 1e7;
// Quantised positions and deltas beyond this are refused (keeps the sums exact).
constexpr double kMaxQuantised = 1e12;

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

bool ReadNumberPair(const JsonValue& v, double& a, double& b) {
    if (!v.IsArray() || v.items.size() < 2 || !v.items[0].IsNumber() || !v.items[1].IsNumber()) return false;
    a = v.items[0].number;
    b = v.items[1].number;
    return true;
}

bool ReadRing(const JsonValue& v, std::size_t arcCount, TopoRing& out) {
    if (!v.IsArray() || v.items.empty()) return false;
    for (const JsonValue& r : v.items) {
        if (!r.IsNumber() || r.number != std::floor(r.number)) return false;
        double k = r.number >= 0 ? r.number : -r.number - 1;
        if (k >= static_cast<double>(arcCount)) return false;
        out.push_back(static_cast<ArcRef>(r.number));
    }
    return true;
}

bool ReadPolygon(const JsonValue& v, std::size_t arcCount, TopoPolygon& out) {
    if (!v.IsArray() || v.items.empty()) return false;
    for (const JsonValue& ring : v.items) {
        out.emplace_back();
        if (!ReadRing(ring, arcCount, out.back())) return false;
    }
    return true;
}

const TopoPoint& RefFirst(const Topology& t, ArcRef r) {
    const auto& a = t.arcs[static_cast<std::size_t>(ArcIndex(r))];
    return ArcForward(r) ? a.front() : a.back();
}

const TopoPoint& RefLast(const Topology& t, ArcRef r) {
    const auto& a = t.arcs[static_cast<std::size_t>(ArcIndex(r))];
    return ArcForward(r) ? a.back() : a.front();
}

std::string PropertyText(const JsonValue* props, std::string_view key) {
    if (!props) return "";
    const JsonValue* v = props->Find(key);
    return v && v->IsString() ? v->text : "";
}

}  // namespace

bool ReadTopology(std::string_view json, Topology& out, std::string* error) {
    out = Topology{};
    JsonValue root;
    std::string jsonError;
    if (!ParseJson(json, root, &jsonError)) return Fail(error, "not JSON: " + jsonError);
    const JsonValue* type = root.Find("type");
    if (!type || !type->IsString() || type->text != "Topology") return Fail(error, "not a TopoJSON topology");

    bool quantised = false;
    double scale[2] = {1.0, 1.0};
    double translate[2] = {0.0, 0.0};
    if (const JsonValue* tr = root.Find("transform")) {
        const JsonValue* s = tr->Find("scale");
        const JsonValue* t = tr->Find("translate");
        if (!s || !t || !ReadNumberPair(*s, scale[0], scale[1]) ||
            !ReadNumberPair(*t, translate[0], translate[1])) {
            return Fail(error, "bad transform");
        }
        quantised = true;
    }

    const JsonValue* arcs = root.Find("arcs");
    if (!arcs || !arcs->IsArray()) return Fail(error, "no arcs");
    for (const JsonValue& arc : arcs->items) {
        if (!arc.IsArray() || arc.items.size() < 2) return Fail(error, "an arc with fewer than two points");
        std::vector<TopoPoint> pts;
        pts.reserve(arc.items.size());
        double qx = 0.0;
        double qy = 0.0;
        for (const JsonValue& p : arc.items) {
            double a = 0.0;
            double b = 0.0;
            if (!ReadNumberPair(p, a, b)) return Fail(error, "bad arc point");
            TopoPoint tp;
            if (quantised) {
                if (a != std::floor(a) || b != std::floor(b))
                    return Fail(error, "quantised arc with fractions");
                qx += a;
                qy += b;
                if (std::fabs(qx) > kMaxQuantised || std::fabs(qy) > kMaxQuantised) {
                    return Fail(error, "arc point out of range");
                }
                tp.qx = static_cast<std::int64_t>(qx);
                tp.qy = static_cast<std::int64_t>(qy);
                tp.ll = LonLat{qx * scale[0] + translate[0], qy * scale[1] + translate[1]};
            } else {
                if (std::fabs(a) > 360.0 || std::fabs(b) > 90.0) return Fail(error, "arc point out of range");
                tp.qx = std::llround(a * kUnquantisedKeyScale);
                tp.qy = std::llround(b * kUnquantisedKeyScale);
                tp.ll = LonLat{a, b};
            }
            pts.push_back(tp);
        }
        out.arcs.push_back(std::move(pts));
    }

    const JsonValue* objects = root.Find("objects");
    if (!objects || !objects->IsObject() || objects->members.empty()) return Fail(error, "no objects");
    const JsonValue& collection = objects->members.front().second;
    const JsonValue* geometries = collection.Find("geometries");
    if (!geometries || !geometries->IsArray()) return Fail(error, "no geometry collection");

    for (const JsonValue& g : geometries->items) {
        const JsonValue* gtype = g.Find("type");
        if (!gtype || !gtype->IsString()) return Fail(error, "geometry without a type");
        const JsonValue* garcs = g.Find("arcs");
        TopoGeometry geom;
        const JsonValue* props = g.Find("properties");
        if (props) {
            const JsonValue* code = props->Find("code");
            if (code && code->IsNumber() && code->number == std::floor(code->number) &&
                std::fabs(code->number) < 1e9) {
                geom.code = static_cast<int>(code->number);
            }
        }
        geom.nameJa = PropertyText(props, "name_ja");
        geom.nameEn = PropertyText(props, "name_en");
        geom.circuitJa = PropertyText(props, "circuit_ja");
        if (gtype->text == "Polygon") {
            if (!garcs) return Fail(error, "polygon without arcs");
            geom.polygons.emplace_back();
            if (!ReadPolygon(*garcs, out.arcs.size(), geom.polygons.back()))
                return Fail(error, "bad polygon");
        } else if (gtype->text == "MultiPolygon") {
            if (!garcs || !garcs->IsArray()) return Fail(error, "multipolygon without arcs");
            for (const JsonValue& p : garcs->items) {
                geom.polygons.emplace_back();
                if (!ReadPolygon(p, out.arcs.size(), geom.polygons.back()))
                    return Fail(error, "bad multipolygon");
            }
        } else {
            continue;
        }
        for (const TopoPolygon& poly : geom.polygons) {
            for (const TopoRing& ring : poly) {
                for (std::size_t i = 0; i < ring.size(); ++i) {
                    const TopoPoint& end = RefLast(out, ring[i]);
                    const TopoPoint& next = RefFirst(out, ring[(i + 1) % ring.size()]);
                    if (!end.SameAs(next)) {
                        return Fail(error, "ring not closed in geometry " + std::to_string(geom.code));
                    }
                }
            }
        }
        out.geometries.push_back(std::move(geom));
    }
    return true;
}

}  // namespace rymd::mapgen
