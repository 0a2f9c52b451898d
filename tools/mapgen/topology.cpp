#include "tools/mapgen/topology.h"

#include <cmath>
#include <stdexcept>

#include <nlohmann/json.hpp>

namespace rymd::mapgen {

namespace {

// Objects keep their members in file order ("objects" is read by its first member).
using Json = nlohmann::ordered_json;

// Without a transform, positions are keyed at 1e-7 degree (about a centimetre).
constexpr double kUnquantisedKeyScale = 1e7;
// Quantised positions and deltas beyond this are refused (keeps the sums exact).
constexpr double kMaxQuantised = 1e12;

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what;
    return false;
}

// Parses the whole text. Nesting deeper than kMaxJsonNesting is refused, so that a hostile file
// cannot make the reading or the freeing of the value exhaust the stack.
bool ParseJson(std::string_view text, Json& out, std::string& error) {
    const Json::parser_callback_t limitNesting = [](int depth, Json::parse_event_t, Json&) {
        if (depth > kMaxJsonNesting)
            throw std::length_error("nesting deeper than " + std::to_string(kMaxJsonNesting));
        return true;
    };
    try {
        out = Json::parse(text, limitNesting);
        return true;
    } catch (const Json::exception& e) {
        error = e.what();
    } catch (const std::length_error& e) {
        error = e.what();
    }
    out = Json();
    return false;
}

// The member of an object with this key, or null when there is none or v is not an object.
const Json* Member(const Json& v, const char* key) {
    if (!v.is_object()) return nullptr;
    const auto it = v.find(key);
    return it == v.end() ? nullptr : &*it;
}

bool IsText(const Json* v, std::string_view text) {
    return v && v->is_string() && v->get_ref<const std::string&>() == text;
}

bool ReadNumberPair(const Json& v, double& a, double& b) {
    if (!v.is_array() || v.size() < 2 || !v[0].is_number() || !v[1].is_number()) return false;
    a = v[0].get<double>();
    b = v[1].get<double>();
    return true;
}

bool ReadRing(const Json& v, std::size_t arcCount, TopoRing& out) {
    if (!v.is_array() || v.empty()) return false;
    for (const Json& item : v) {
        if (!item.is_number()) return false;
        const double r = item.get<double>();
        if (r != std::floor(r)) return false;
        double k = r >= 0 ? r : -r - 1;
        if (k >= static_cast<double>(arcCount)) return false;
        out.push_back(static_cast<ArcRef>(r));
    }
    return true;
}

bool ReadPolygon(const Json& v, std::size_t arcCount, TopoPolygon& out) {
    if (!v.is_array() || v.empty()) return false;
    for (const Json& ring : v) {
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

std::string PropertyText(const Json* props, const char* key) {
    const Json* v = props ? Member(*props, key) : nullptr;
    return v && v->is_string() ? v->get<std::string>() : "";
}

}  // namespace

bool ReadTopology(std::string_view json, Topology& out, std::string* error) {
    out = Topology{};
    Json root;
    std::string jsonError;
    if (!ParseJson(json, root, jsonError)) return Fail(error, "not JSON: " + jsonError);
    if (!IsText(Member(root, "type"), "Topology")) return Fail(error, "not a TopoJSON topology");

    bool quantised = false;
    double scale[2] = {1.0, 1.0};
    double translate[2] = {0.0, 0.0};
    if (const Json* tr = Member(root, "transform")) {
        const Json* s = Member(*tr, "scale");
        const Json* t = Member(*tr, "translate");
        if (!s || !t || !ReadNumberPair(*s, scale[0], scale[1]) ||
            !ReadNumberPair(*t, translate[0], translate[1])) {
            return Fail(error, "bad transform");
        }
        quantised = true;
    }

    const Json* arcs = Member(root, "arcs");
    if (!arcs || !arcs->is_array()) return Fail(error, "no arcs");
    for (const Json& arc : *arcs) {
        if (!arc.is_array() || arc.size() < 2) return Fail(error, "an arc with fewer than two points");
        std::vector<TopoPoint> pts;
        pts.reserve(arc.size());
        double qx = 0.0;
        double qy = 0.0;
        for (const Json& p : arc) {
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

    const Json* objects = Member(root, "objects");
    if (!objects || !objects->is_object() || objects->empty()) return Fail(error, "no objects");
    const Json& collection = objects->front();
    const Json* geometries = Member(collection, "geometries");
    if (!geometries || !geometries->is_array()) return Fail(error, "no geometry collection");

    for (const Json& g : *geometries) {
        const Json* gtype = Member(g, "type");
        if (!gtype || !gtype->is_string()) return Fail(error, "geometry without a type");
        const Json* garcs = Member(g, "arcs");
        TopoGeometry geom;
        const Json* props = Member(g, "properties");
        if (const Json* code = props ? Member(*props, "code") : nullptr; code && code->is_number()) {
            const double c = code->get<double>();
            if (c == std::floor(c) && std::fabs(c) < 1e9) geom.code = static_cast<int>(c);
        }
        geom.nameJa = PropertyText(props, "name_ja");
        geom.nameEn = PropertyText(props, "name_en");
        geom.circuitJa = PropertyText(props, "circuit_ja");
        if (IsText(gtype, "Polygon")) {
            if (!garcs) return Fail(error, "polygon without arcs");
            geom.polygons.emplace_back();
            if (!ReadPolygon(*garcs, out.arcs.size(), geom.polygons.back()))
                return Fail(error, "bad polygon");
        } else if (IsText(gtype, "MultiPolygon")) {
            if (!garcs || !garcs->is_array()) return Fail(error, "multipolygon without arcs");
            for (const Json& p : *garcs) {
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
