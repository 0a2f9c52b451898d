#include "tools/mapgen/map_builder.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <set>
#include <utility>

namespace rymd::mapgen {

BuildOptions JapanBuildOptions() {
    BuildOptions o;
    o.regions = {
        {"R_KINAI", "畿内"},        {"R_TOKAIDO", "東海道"},  {"R_TOSANDO", "東山道"},
        {"R_HOKURIKUDO", "北陸道"}, {"R_SANINDO", "山陰道"},  {"R_SANYODO", "山陽道"},
        {"R_NANKAIDO", "南海道"},   {"R_SAIKAIDO", "西海道"}, {"R_EZO", "蝦夷"},
    };
    // The provinces in the traditional order of the circuits.
    o.provinces = {
        {36, "K_YAMASHIRO", "山城", 0}, {34, "K_YAMATO", "大和", 0},   {35, "K_KAWACHI", "河内", 0},
        {37, "K_IZUMI", "和泉", 0},     {38, "K_SETTSU", "摂津", 0},

        {48, "K_IGA", "伊賀", 1},       {47, "K_ISE", "伊勢", 1},      {46, "K_SHIMA", "志摩", 1},
        {49, "K_OWARI", "尾張", 1},     {50, "K_MIKAWA", "三河", 1},   {51, "K_TOTOMI", "遠江", 1},
        {52, "K_SURUGA", "駿河", 1},    {54, "K_KAI", "甲斐", 1},      {53, "K_IZU", "伊豆", 1},
        {55, "K_SAGAMI", "相模", 1},    {56, "K_MUSASHI", "武蔵", 1},  {59, "K_AWA_BOSO", "安房", 1},
        {58, "K_KAZUSA", "上総", 1},    {57, "K_SHIMOSA", "下総", 1},  {60, "K_HITACHI", "常陸", 1},

        {61, "K_OMI", "近江", 2},       {62, "K_MINO", "美濃", 2},     {63, "K_HIDA", "飛騨", 2},
        {64, "K_SHINANO", "信濃", 2},   {65, "K_KOZUKE", "上野", 2},   {66, "K_SHIMOTSUKE", "下野", 2},
        {67, "K_MUTSU", "陸奥", 2},     {68, "K_DEWA", "出羽", 2},

        {39, "K_WAKASA", "若狭", 3},    {40, "K_ECHIZEN", "越前", 3},  {41, "K_KAGA", "加賀", 3},
        {43, "K_NOTO", "能登", 3},      {42, "K_ETCHU", "越中", 3},    {44, "K_ECHIGO", "越後", 3},
        {45, "K_SADO", "佐渡", 3},

        {27, "K_TANBA", "丹波", 4},     {26, "K_TANGO", "丹後", 4},    {25, "K_TAJIMA", "但馬", 4},
        {24, "K_INABA", "因幡", 4},     {22, "K_HOKI", "伯耆", 4},     {21, "K_IZUMO", "出雲", 4},
        {20, "K_IWAMI", "石見", 4},     {23, "K_OKI", "隠岐", 4},

        {19, "K_HARIMA", "播磨", 5},    {17, "K_MIMASAKA", "美作", 5}, {18, "K_BIZEN", "備前", 5},
        {16, "K_BITCHU", "備中", 5},    {15, "K_BINGO", "備後", 5},    {14, "K_AKI", "安芸", 5},
        {13, "K_SUO", "周防", 5},       {12, "K_NAGATO", "長門", 5},

        {33, "K_KII", "紀伊", 6},       {32, "K_AWAJI", "淡路", 6},    {30, "K_AWA", "阿波", 6},
        {31, "K_SANUKI", "讃岐", 6},    {28, "K_IYO", "伊予", 6},      {29, "K_TOSA", "土佐", 6},

        {8, "K_CHIKUZEN", "筑前", 7},   {6, "K_CHIKUGO", "筑後", 7},   {9, "K_BUZEN", "豊前", 7},
        {5, "K_BUNGO", "豊後", 7},      {7, "K_HIZEN", "肥前", 7},     {4, "K_HIGO", "肥後", 7},
        {3, "K_HYUGA", "日向", 7},      {2, "K_OSUMI", "大隅", 7},     {1, "K_SATSUMA", "薩摩", 7},
        {10, "K_IKI", "壱岐", 7},       {11, "K_TSUSHIMA", "対馬", 7},

        {70, "K_EZO", "蝦夷", 8},
    };
    // The north of Mutsu, the Izu islands and the Tokara islands belong to their provinces.
    o.folds = {{69, 67}, {89, 53}, {90, 1}};
    // The Kurils lay beyond the country.
    o.dropped = {71};
    return o;
}

namespace {

using Key = std::pair<std::int64_t, std::int64_t>;

// Pairs of shore and island points weighed at once when an island is joined to its shore.
constexpr std::size_t kMaxBridgeCandidates = std::size_t{1} << 23;
// Candidate lines tried before an island is given up.
constexpr std::size_t kMaxBridgeTries = 20000;

Key KeyOf(const TopoPoint& p) {
    return {p.qx, p.qy};
}

// Sign of the cross product (b - a) x (c - a), exactly.
int Orientation(const TopoPoint& a, const TopoPoint& b, const TopoPoint& c) {
    __int128 v = static_cast<__int128>(b.qx - a.qx) * (c.qy - a.qy) -
                 static_cast<__int128>(b.qy - a.qy) * (c.qx - a.qx);
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

bool OnSegment(const TopoPoint& a, const TopoPoint& b, const TopoPoint& p) {
    return std::min(a.qx, b.qx) <= p.qx && p.qx <= std::max(a.qx, b.qx) && std::min(a.qy, b.qy) <= p.qy &&
           p.qy <= std::max(a.qy, b.qy);
}

// Whether segments ab and cd meet (touching counts).
bool SegmentsMeet(const TopoPoint& a, const TopoPoint& b, const TopoPoint& c, const TopoPoint& d) {
    int o1 = Orientation(a, b, c);
    int o2 = Orientation(a, b, d);
    int o3 = Orientation(c, d, a);
    int o4 = Orientation(c, d, b);
    if (o1 != o2 && o3 != o4) return true;
    if (o1 == 0 && OnSegment(a, b, c)) return true;
    if (o2 == 0 && OnSegment(a, b, d)) return true;
    if (o3 == 0 && OnSegment(c, d, a)) return true;
    if (o4 == 0 && OnSegment(c, d, b)) return true;
    return false;
}

class Builder {
public:
    Builder(const Topology& topo, const BuildOptions& options, MapModel& out, BuildReport& report)
        : options_(options), out_(out), report_(report) {
        arcs_.reserve(topo.arcs.size());
        for (const auto& a : topo.arcs) {
            std::vector<TopoPoint> pts;
            for (const TopoPoint& p : a) {
                if (pts.empty() || !pts.back().SameAs(p)) pts.push_back(p);
            }
            // An arc whose points are all one point stays two points long (a node to itself).
            if (pts.size() == 1) pts.push_back(pts.front());
            arcs_.push_back(std::move(pts));
        }
        geometries_ = &topo.geometries;
    }

    bool Run(std::string* error) {
        error_ = error;
        return CheckTopology() && CollectRings() && ClassifyArcs() && TraceWater() && PlaceBridges() &&
               MakeTours() && Emit();
    }

private:
    struct ProvinceRing {
        TopoRing ring;
        int province = 0;
        bool exterior = false;
    };
    struct Bridge {
        int parent = 0;  // ring index within the face
        int child = 0;
        Key parentKey;
        Key childKey;
        int arc = -1;  // the bridge's own arc, from parentKey to childKey
    };
    struct Face {
        std::vector<TopoRing> rings;  // the shore first, then the islands
        int province = -1;
        std::vector<Bridge> bridges;
        TopoRing tour;
    };
    enum class ArcUse { kUnused, kShore, kInternal, kBorder, kRegionBorder, kBridge };

    bool Fail(const std::string& what) {
        if (error_) *error_ = what;
        return false;
    }

    // ---- Arc helpers --------------------------------------------------------------------------
    const std::vector<TopoPoint>& Arc(ArcRef r) const { return arcs_[static_cast<std::size_t>(ArcIndex(r))]; }
    const TopoPoint& First(ArcRef r) const { return ArcForward(r) ? Arc(r).front() : Arc(r).back(); }
    const TopoPoint& Last(ArcRef r) const { return ArcForward(r) ? Arc(r).back() : Arc(r).front(); }
    // The point next to the first one, and the one before the last one, in the ref's direction.
    const TopoPoint& Second(ArcRef r) const { return ArcForward(r) ? Arc(r)[1] : Arc(r)[Arc(r).size() - 2]; }
    const TopoPoint& BeforeLast(ArcRef r) const {
        return ArcForward(r) ? Arc(r)[Arc(r).size() - 2] : Arc(r)[1];
    }
    bool Closed(int arc) const {
        return arcs_[static_cast<std::size_t>(arc)].front().SameAs(
            arcs_[static_cast<std::size_t>(arc)].back());
    }

    // The ring's points, each once (the closing point is not repeated).
    std::vector<TopoPoint> RingPoints(const TopoRing& ring) const {
        std::vector<TopoPoint> pts;
        for (ArcRef r : ring) {
            const auto& a = Arc(r);
            if (ArcForward(r)) {
                pts.insert(pts.end(), a.begin(), a.end() - 1);
            } else {
                pts.insert(pts.end(), a.rbegin(), a.rend() - 1);
            }
        }
        return pts;
    }

    // Signed area with north up (positive: counter-clockwise), in square degrees.
    static double Area(const std::vector<TopoPoint>& pts) {
        double s = 0.0;
        const std::size_t n = pts.size();
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            s += pts[j].ll.lon * pts[i].ll.lat - pts[i].ll.lon * pts[j].ll.lat;
        }
        return s / 2.0;
    }

    static bool ContainsPoint(const std::vector<TopoPoint>& ring, LonLat p) {
        bool inside = false;
        const std::size_t n = ring.size();
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const LonLat& a = ring[i].ll;
            const LonLat& b = ring[j].ll;
            if ((a.lat > p.lat) != (b.lat > p.lat)) {
                const double x = a.lon + (p.lat - a.lat) * (b.lon - a.lon) / (b.lat - a.lat);
                if (p.lon < x) inside = !inside;
            }
        }
        return inside;
    }

    static TopoRing Reversed(const TopoRing& ring) {
        TopoRing r(ring.rbegin(), ring.rend());
        for (ArcRef& a : r)
            a = ~a;
        return r;
    }

    // ---- Steps ------------------------------------------------------------------------------
    // Every arc has points, every ring refers to arcs that exist and closes.
    bool CheckTopology() {
        for (const auto& a : arcs_) {
            if (a.size() < 2) return Fail("an empty arc");
        }
        for (const TopoGeometry& g : *geometries_) {
            for (const TopoPolygon& poly : g.polygons) {
                for (const TopoRing& ring : poly) {
                    if (ring.empty()) return Fail("an empty ring");
                    for (ArcRef r : ring) {
                        if (ArcIndex(r) < 0 || static_cast<std::size_t>(ArcIndex(r)) >= arcs_.size()) {
                            return Fail("a ring refers to an arc that does not exist");
                        }
                    }
                    for (std::size_t i = 0; i < ring.size(); ++i) {
                        if (!Last(ring[i]).SameAs(First(ring[(i + 1) % ring.size()]))) {
                            return Fail("a ring that does not close");
                        }
                    }
                }
            }
        }
        return true;
    }

    // Gathers every ring of every province (folded codes included), exteriors clockwise and holes
    // counter-clockwise, so that the province lies to the right of each of its arcs.
    bool CollectRings() {
        std::map<int, int> provinceOfCode;
        for (std::size_t i = 0; i < options_.provinces.size(); ++i) {
            provinceOfCode[options_.provinces[i].code] = static_cast<int>(i);
        }
        for (const auto& f : options_.folds) {
            auto it = provinceOfCode.find(f.second);
            if (it == provinceOfCode.end())
                return Fail("fold into an unknown code " + std::to_string(f.second));
            provinceOfCode[f.first] = it->second;
        }
        std::set<int> dropped(options_.dropped.begin(), options_.dropped.end());
        std::set<int> seen;
        for (const TopoGeometry& g : *geometries_) {
            if (dropped.count(g.code)) continue;
            auto it = provinceOfCode.find(g.code);
            if (it == provinceOfCode.end()) return Fail("unknown province code " + std::to_string(g.code));
            seen.insert(g.code);
            const int province = it->second;
            const ProvinceDef& def = options_.provinces[static_cast<std::size_t>(province)];
            // A name of the data that does not begin with the map's name (蝦夷地 for 蝦夷 does) is
            // worth a look.
            if (g.code == def.code && !g.nameJa.empty() &&
                g.nameJa.compare(0, def.name.size(), def.name) != 0) {
                report_.warnings.push_back("code " + std::to_string(g.code) + " is named " + g.nameJa +
                                           " in the data, " + def.name + " on the map");
            }
            for (const TopoPolygon& poly : g.polygons) {
                for (std::size_t r = 0; r < poly.size(); ++r) {
                    ProvinceRing pr;
                    pr.ring = poly[r];
                    pr.province = province;
                    pr.exterior = r == 0;
                    const double a = Area(RingPoints(pr.ring));
                    if ((pr.exterior && a > 0) || (!pr.exterior && a < 0)) pr.ring = Reversed(pr.ring);
                    rings_.push_back(std::move(pr));
                }
            }
        }
        for (const ProvinceDef& def : options_.provinces) {
            if (!seen.count(def.code)) return Fail("no geometry for province " + def.id);
        }
        return true;
    }

    bool ClassifyArcs() {
        users_.assign(arcs_.size(), {});
        for (std::size_t i = 0; i < rings_.size(); ++i) {
            for (ArcRef r : rings_[i].ring) {
                users_[static_cast<std::size_t>(ArcIndex(r))].push_back({rings_[i].province, r});
            }
        }
        use_.assign(arcs_.size(), ArcUse::kUnused);
        for (std::size_t k = 0; k < arcs_.size(); ++k) {
            const auto& u = users_[k];
            if (u.empty()) continue;
            if (u.size() == 1) {
                use_[k] = ArcUse::kShore;
            } else if (u.size() == 2) {
                if (ArcForward(u[0].second) == ArcForward(u[1].second)) {
                    return Fail("arc " + std::to_string(k) + " runs the same way in two rings");
                }
                if (u[0].first == u[1].first) {
                    use_[k] = ArcUse::kInternal;
                } else {
                    const int r0 = options_.provinces[static_cast<std::size_t>(u[0].first)].region;
                    const int r1 = options_.provinces[static_cast<std::size_t>(u[1].first)].region;
                    use_[k] = r0 == r1 ? ArcUse::kBorder : ArcUse::kRegionBorder;
                }
            } else {
                return Fail("arc " + std::to_string(k) + " is used by more than two rings");
            }
        }
        // A hole of one province filled by another would need the other drawn above it.
        for (const ProvinceRing& pr : rings_) {
            if (pr.exterior) continue;
            for (ArcRef r : pr.ring) {
                if (users_[static_cast<std::size_t>(ArcIndex(r))].size() > 1) {
                    report_.warnings.push_back("a hole of " +
                                               options_.provinces[static_cast<std::size_t>(pr.province)].id +
                                               " borders another province");
                    break;
                }
            }
        }
        return true;
    }

    // Traces the boundaries of the water: the shore arcs, each taken the way its province uses it
    // (water to the left). At a node where several shore arcs meet, the walk turns into the arc
    // that keeps the same body of water on its left.
    bool TraceWater() {
        std::vector<ArcRef> edges;
        for (std::size_t k = 0; k < arcs_.size(); ++k) {
            if (use_[k] == ArcUse::kShore) edges.push_back(users_[k][0].second);
        }
        std::map<Key, std::vector<std::size_t>> outgoing;
        for (std::size_t i = 0; i < edges.size(); ++i)
            outgoing[KeyOf(First(edges[i]))].push_back(i);
        std::vector<bool> used(edges.size(), false);

        std::vector<TopoRing> lakes;
        std::vector<TopoRing> coasts;
        for (std::size_t s = 0; s < edges.size(); ++s) {
            if (used[s]) continue;
            TopoRing ring;
            std::size_t cur = s;
            for (std::size_t guard = 0;; ++guard) {
                if (guard > edges.size()) return Fail("a shore that does not close");
                used[cur] = true;
                ring.push_back(edges[cur]);
                const TopoPoint& at = Last(edges[cur]);
                const auto it = outgoing.find(KeyOf(at));
                if (it == outgoing.end()) return Fail("a shore that does not close");
                const TopoPoint& back = BeforeLast(edges[cur]);
                const double ua =
                    std::atan2(static_cast<double>(back.qy - at.qy), static_cast<double>(back.qx - at.qx));
                std::size_t best = edges.size();
                double bestTurn = 0.0;
                for (std::size_t c : it->second) {
                    const TopoPoint& next = Second(edges[c]);
                    const double va = std::atan2(static_cast<double>(next.qy - at.qy),
                                                 static_cast<double>(next.qx - at.qx));
                    double turn = ua - va;  // clockwise turn from the way back to the way on
                    while (turn <= 0.0)
                        turn += 2.0 * std::numbers::pi;
                    while (turn > 2.0 * std::numbers::pi)
                        turn -= 2.0 * std::numbers::pi;
                    if (best == edges.size() || turn < bestTurn) {
                        best = c;
                        bestTurn = turn;
                    }
                }
                if (best == s) break;
                if (used[best]) return Fail("shores that cross");
                cur = best;
            }
            const double a = Area(RingPoints(ring));
            (a > 0 ? lakes : coasts).push_back(std::move(ring));
        }

        // Each coast that lies inside a lake is an island of the smallest such lake.
        std::vector<std::vector<TopoPoint>> lakePts;
        std::vector<double> lakeArea;
        for (const TopoRing& l : lakes) {
            lakePts.push_back(RingPoints(l));
            lakeArea.push_back(Area(lakePts.back()));
        }
        faces_.resize(lakes.size());
        for (std::size_t i = 0; i < lakes.size(); ++i)
            faces_[i].rings.push_back(lakes[i]);
        for (const TopoRing& c : coasts) {
            // The middle of the coast's first segment: rings of different bodies of water may meet
            // at a node, but their segments never do.
            const TopoPoint& a = First(c.front());
            const TopoPoint& b = Second(c.front());
            const LonLat probe{(a.ll.lon + b.ll.lon) / 2.0, (a.ll.lat + b.ll.lat) / 2.0};
            std::size_t best = lakes.size();
            for (std::size_t i = 0; i < lakes.size(); ++i) {
                if (ContainsPoint(lakePts[i], probe) &&
                    (best == lakes.size() || lakeArea[i] < lakeArea[best])) {
                    best = i;
                }
            }
            if (best < lakes.size()) {
                faces_[best].rings.push_back(c);
                ++report_.islandsInWater;
            }
        }
        // A body of water that touches one province only belongs to it.
        for (Face& f : faces_) {
            std::set<int> provinces;
            for (ArcRef r : f.rings.front())
                provinces.insert(users_[static_cast<std::size_t>(ArcIndex(r))][0].first);
            f.province = provinces.size() == 1 ? *provinces.begin() : -1;
        }
        return true;
    }

    // Joins each island of a body of water to its shore (or to an island already joined) by the
    // shortest straight line that crosses no shore and no other such line.
    bool PlaceBridges() {
        for (Face& f : faces_) {
            if (f.rings.size() < 2) continue;
            std::vector<std::vector<TopoPoint>> pts;
            for (const TopoRing& r : f.rings)
                pts.push_back(RingPoints(r));
            std::vector<std::pair<TopoPoint, TopoPoint>> segments;
            for (const auto& p : pts) {
                for (std::size_t i = 0; i < p.size(); ++i)
                    segments.emplace_back(p[i], p[(i + 1) % p.size()]);
            }
            std::vector<bool> joined(f.rings.size(), false);
            joined[0] = true;
            for (std::size_t round = 1; round < f.rings.size(); ++round) {
                // Candidate pairs from every joined ring to every island not yet joined, shortest first.
                struct Candidate {
                    double d2;
                    int parent;
                    std::size_t pi;
                    int child;
                    std::size_t ci;
                };
                std::vector<Candidate> cands;
                for (std::size_t a = 0; a < f.rings.size(); ++a) {
                    if (!joined[a]) continue;
                    for (std::size_t b = 0; b < f.rings.size(); ++b) {
                        if (joined[b]) continue;
                        if (cands.size() + pts[a].size() * pts[b].size() > kMaxBridgeCandidates) {
                            return Fail("islands in a lake too detailed to join to the shore");
                        }
                        for (std::size_t i = 0; i < pts[a].size(); ++i) {
                            for (std::size_t j = 0; j < pts[b].size(); ++j) {
                                const double dx = static_cast<double>(pts[a][i].qx - pts[b][j].qx);
                                const double dy = static_cast<double>(pts[a][i].qy - pts[b][j].qy);
                                cands.push_back(
                                    {dx * dx + dy * dy, static_cast<int>(a), i, static_cast<int>(b), j});
                            }
                        }
                    }
                }
                std::sort(cands.begin(), cands.end(), [](const Candidate& x, const Candidate& y) {
                    if (x.d2 != y.d2) return x.d2 < y.d2;
                    if (x.parent != y.parent) return x.parent < y.parent;
                    if (x.child != y.child) return x.child < y.child;
                    if (x.pi != y.pi) return x.pi < y.pi;
                    return x.ci < y.ci;
                });
                bool placed = false;
                std::size_t tried = 0;
                for (const Candidate& c : cands) {
                    // The shortest lines nearly always serve; a lake where thousands do not is refused.
                    if (++tried > kMaxBridgeTries) break;
                    const TopoPoint& p = pts[static_cast<std::size_t>(c.parent)][c.pi];
                    const TopoPoint& q = pts[static_cast<std::size_t>(c.child)][c.ci];
                    bool clear = true;
                    for (const auto& s : segments) {
                        const bool touchesP = s.first.SameAs(p) || s.second.SameAs(p);
                        const bool touchesQ = s.first.SameAs(q) || s.second.SameAs(q);
                        if (touchesP || touchesQ) {
                            // A segment at an end may only meet the bridge at that end.
                            const TopoPoint& other = touchesP ? (s.first.SameAs(p) ? s.second : s.first)
                                                              : (s.first.SameAs(q) ? s.second : s.first);
                            if (Orientation(p, q, other) == 0 && OnSegment(p, q, other)) {
                                clear = false;
                                break;
                            }
                            if (touchesP && touchesQ) continue;
                            const TopoPoint& end = touchesP ? q : p;
                            if (Orientation(s.first, s.second, end) == 0 &&
                                OnSegment(s.first, s.second, end)) {
                                clear = false;
                                break;
                            }
                            continue;
                        }
                        if (SegmentsMeet(p, q, s.first, s.second)) {
                            clear = false;
                            break;
                        }
                    }
                    if (!clear) continue;
                    // The bridge must leave the shore into the water, not into the land.
                    if (!LeavesIntoWater(pts[static_cast<std::size_t>(c.parent)], c.pi, q) ||
                        !LeavesIntoWater(pts[static_cast<std::size_t>(c.child)], c.ci, p)) {
                        continue;
                    }
                    Bridge b;
                    b.parent = c.parent;
                    b.child = c.child;
                    b.parentKey = KeyOf(p);
                    b.childKey = KeyOf(q);
                    b.arc = static_cast<int>(arcs_.size());
                    arcs_.push_back({p, q});
                    use_.push_back(ArcUse::kBridge);
                    users_.push_back({});
                    f.bridges.push_back(b);
                    segments.emplace_back(p, q);
                    joined[static_cast<std::size_t>(c.child)] = true;
                    placed = true;
                    break;
                }
                if (!placed) {
                    const TopoPoint& at = First(f.rings.front().front());
                    return Fail("an island that cannot be joined to its shore (water at " +
                                std::to_string(at.ll.lon) + " " + std::to_string(at.ll.lat) + ")");
                }
            }
        }
        return true;
    }

    // Whether the direction from vertex i of a ring toward `to` points into the water. The water
    // lies left of a shore ring (counter-clockwise) and outside an island ring (clockwise), so
    // in both cases it is to the left of the walk: between the way on and the way back, turning
    // counter-clockwise from the way on.
    static bool LeavesIntoWater(const std::vector<TopoPoint>& ring, std::size_t i, const TopoPoint& to) {
        const std::size_t n = ring.size();
        const TopoPoint& at = ring[i];
        const TopoPoint& next = ring[(i + 1) % n];
        const TopoPoint& prev = ring[(i + n - 1) % n];
        const double on =
            std::atan2(static_cast<double>(next.qy - at.qy), static_cast<double>(next.qx - at.qx));
        const double back =
            std::atan2(static_cast<double>(prev.qy - at.qy), static_cast<double>(prev.qx - at.qx));
        const double dir = std::atan2(static_cast<double>(to.qy - at.qy), static_cast<double>(to.qx - at.qx));
        auto ccw = [](double from, double toAngle) {
            double t = toAngle - from;
            while (t < 0.0)
                t += 2.0 * std::numbers::pi;
            while (t >= 2.0 * std::numbers::pi)
                t -= 2.0 * std::numbers::pi;
            return t;
        };
        const double d = ccw(on, dir);
        return d > 0.0 && d < ccw(on, back);
    }

    // Splits arcs at the ends of the bridges, so that every bridge starts and ends at a node,
    // then walks each body of water: its shore, and at each bridge over to the island, round it
    // and back.
    bool MakeTours() {
        std::set<Key> cuts;
        for (const Face& f : faces_) {
            for (const Bridge& b : f.bridges) {
                cuts.insert(b.parentKey);
                cuts.insert(b.childKey);
            }
        }
        const std::size_t original = arcs_.size();
        for (std::size_t k = 0; k < original; ++k) {
            if (use_[k] == ArcUse::kBridge || use_[k] == ArcUse::kUnused) continue;
            std::vector<std::size_t> at;
            for (std::size_t i = 1; i + 1 < arcs_[k].size(); ++i) {
                if (cuts.count(KeyOf(arcs_[k][i]))) at.push_back(i);
            }
            if (!at.empty()) Split(static_cast<int>(k), at);
        }
        for (Face& f : faces_) {
            std::vector<bool> done(f.bridges.size(), false);
            if (!Tour(f, 0, KeyOf(First(f.rings[0].front())), done, f.tour, 0)) return false;
            for (bool d : done) {
                if (!d) return Fail("a bridge left out of its walk");
            }
        }
        return true;
    }

    void Split(int k, const std::vector<std::size_t>& at) {
        std::vector<TopoPoint> whole = arcs_[static_cast<std::size_t>(k)];
        std::vector<int> pieces{k};
        std::size_t from = 0;
        for (std::size_t n = 0; n <= at.size(); ++n) {
            const std::size_t to = n < at.size() ? at[n] : whole.size() - 1;
            std::vector<TopoPoint> part(whole.begin() + static_cast<std::ptrdiff_t>(from),
                                        whole.begin() + static_cast<std::ptrdiff_t>(to) + 1);
            if (n == 0) {
                arcs_[static_cast<std::size_t>(k)] = std::move(part);
            } else {
                pieces.push_back(static_cast<int>(arcs_.size()));
                arcs_.push_back(std::move(part));
                use_.push_back(use_[static_cast<std::size_t>(k)]);
                users_.push_back(users_[static_cast<std::size_t>(k)]);
            }
            from = to;
        }
        auto replace = [&](TopoRing& ring) {
            TopoRing out;
            for (ArcRef r : ring) {
                if (ArcIndex(r) != k) {
                    out.push_back(r);
                } else if (ArcForward(r)) {
                    out.insert(out.end(), pieces.begin(), pieces.end());
                } else {
                    for (auto it = pieces.rbegin(); it != pieces.rend(); ++it)
                        out.push_back(~*it);
                }
            }
            ring = std::move(out);
        };
        for (ProvinceRing& pr : rings_)
            replace(pr.ring);
        for (Face& f : faces_) {
            for (TopoRing& r : f.rings)
                replace(r);
        }
    }

    bool Tour(Face& f, int ringIndex, Key entry, std::vector<bool>& done, TopoRing& out, int depth) {
        if (depth > static_cast<int>(f.rings.size())) return Fail("bridges that loop");
        const TopoRing& ring = f.rings[static_cast<std::size_t>(ringIndex)];
        std::size_t start = ring.size();
        for (std::size_t i = 0; i < ring.size(); ++i) {
            if (KeyOf(First(ring[i])) == entry) {
                start = i;
                break;
            }
        }
        if (start == ring.size()) return Fail("a bridge that ends off its island");
        for (std::size_t n = 0; n < ring.size(); ++n) {
            const ArcRef r = ring[(start + n) % ring.size()];
            const Key at = KeyOf(First(r));
            for (std::size_t b = 0; b < f.bridges.size(); ++b) {
                const Bridge& br = f.bridges[b];
                if (done[b] || br.parent != ringIndex || br.parentKey != at) continue;
                done[b] = true;
                out.push_back(br.arc);
                if (!Tour(f, br.child, br.childKey, done, out, depth + 1)) return false;
                out.push_back(~br.arc);
            }
            out.push_back(r);
        }
        return true;
    }

    // The run of a polygon as the drawing walks it: the first line is always taken forwards,
    // and a line that starts and ends at the same node always forwards too.
    TopoRing WalkOrder(const TopoRing& tour) const {
        TopoRing t = tour;
        for (ArcRef& r : t) {
            if (!ArcForward(r) && Closed(ArcIndex(r))) r = ~r;
        }
        auto first = std::find_if(t.begin(), t.end(), [](ArcRef r) { return ArcForward(r); });
        if (first == t.end()) {
            t = Reversed(t);
            for (ArcRef& r : t) {
                if (!ArcForward(r) && Closed(ArcIndex(r))) r = ~r;
            }
            first = t.begin();
        }
        std::rotate(t.begin(), first, t.end());
        return t;
    }

    bool Emit() {
        out_.width = JapanProjection::kWidth;
        out_.height = JapanProjection::kHeight;
        out_.nodes.clear();
        out_.lines.clear();
        out_.polygons.clear();
        out_.regions.clear();
        out_.provinces.clear();
        for (const RegionDef& r : options_.regions)
            out_.regions.push_back({r.id, r.name});
        for (const ProvinceDef& p : options_.provinces) {
            MapProvince mp{p.id, p.name, p.region, {p.code}};
            for (const auto& f : options_.folds) {
                if (f.second == p.code) mp.codes.push_back(f.first);
            }
            out_.provinces.push_back(std::move(mp));
        }

        // Polygons in walking order: land by province, then water.
        struct Pending {
            TopoRing run;
            std::uint8_t kind;
            std::uint8_t value;
            int province;
        };
        std::vector<Pending> pending;
        std::vector<const ProvinceRing*> land;
        for (const ProvinceRing& pr : rings_) {
            if (pr.exterior) land.push_back(&pr);
        }
        std::stable_sort(land.begin(), land.end(), [](const ProvinceRing* a, const ProvinceRing* b) {
            return a->province < b->province;
        });
        for (const ProvinceRing* pr : land) {
            pending.push_back({WalkOrder(pr->ring), options_.landFlags, options_.landTexture, pr->province});
        }
        report_.landPolygons = static_cast<int>(pending.size());
        for (const Face& f : faces_) {
            pending.push_back(
                {WalkOrder(f.tour), static_cast<std::uint8_t>(kKindWater | kFlagFillAll), 0, f.province});
        }
        report_.waterPolygons = static_cast<int>(faces_.size());

        // Lines for the arcs the polygons use, in arc order; nodes at their ends.
        std::vector<int> lineOfArc(arcs_.size(), -1);
        std::vector<bool> needed(arcs_.size(), false);
        for (const Pending& p : pending) {
            for (ArcRef r : p.run)
                needed[static_cast<std::size_t>(ArcIndex(r))] = true;
        }
        std::map<Key, int> nodeOf;
        auto node = [&](const TopoPoint& p) -> int {
            auto it = nodeOf.find(KeyOf(p));
            if (it != nodeOf.end()) return it->second;
            const int n = static_cast<int>(out_.nodes.size());
            out_.nodes.push_back(ToUnits(p));
            nodeOf.emplace(KeyOf(p), n);
            return n;
        };
        for (std::size_t k = 0; k < arcs_.size(); ++k) {
            if (!needed[k]) continue;
            MapLine line;
            line.start = node(arcs_[k].front());
            line.end = node(arcs_[k].back());
            for (std::size_t i = 1; i + 1 < arcs_[k].size(); ++i)
                line.inner.push_back(ToUnits(arcs_[k][i]));
            switch (use_[k]) {
                case ArcUse::kShore: line.colour = kLinePaletteBase + kPaletteCoast; break;
                case ArcUse::kBorder: line.colour = kLinePaletteBase + kPaletteProvinceBorder; break;
                case ArcUse::kRegionBorder: line.colour = kLinePaletteBase + kPaletteRegionBorder; break;
                default: line.colour = kLineHidden; break;
            }
            lineOfArc[k] = static_cast<int>(out_.lines.size());
            out_.lines.push_back(std::move(line));
        }
        std::size_t listLength = 0;
        for (const Pending& p : pending) {
            MapPolygon mp;
            for (ArcRef r : p.run)
                mp.lines.push_back(lineOfArc[static_cast<std::size_t>(ArcIndex(r))]);
            mp.kindFlags = p.kind;
            mp.value = p.value;
            mp.province = static_cast<std::int16_t>(p.province);
            listLength += mp.lines.size() + 1;
            out_.polygons.push_back(std::move(mp));

            // The walk the drawing takes must give back the intended outline.
            std::vector<MapUnitPoint> want;
            for (ArcRef r : p.run) {
                const auto& a = Arc(r);
                if (ArcForward(r)) {
                    for (std::size_t i = 0; i + 1 < a.size(); ++i)
                        want.push_back(ToUnits(a[i]));
                } else {
                    for (std::size_t i = a.size() - 1; i > 0; --i)
                        want.push_back(ToUnits(a[i]));
                }
            }
            const auto got = PolygonOutline(out_, static_cast<int>(out_.polygons.size()) - 1);
            bool same = got.size() == want.size();
            for (std::size_t i = 0; same && i < got.size(); ++i)
                same = got[i].x == want[i].x && got[i].y == want[i].y;
            if (!same) return Fail("a polygon whose walk strays from its outline");
        }
        if (out_.nodes.size() > 32767) return Fail("more nodes than the map file can number");
        if (listLength > 32767) return Fail("a polygon line list longer than the map file can index");
        if (out_.polygons.size() > 32767) return Fail("more polygons than the map file can number");

        const std::int64_t maxX = static_cast<std::int64_t>(out_.width) * JapanProjection::kMapUnit;
        const std::int64_t maxY = static_cast<std::int64_t>(out_.height) * JapanProjection::kMapUnit;
        auto inside = [&](const MapUnitPoint& p) { return p.x >= 0 && p.y >= 0 && p.x < maxX && p.y < maxY; };
        for (const MapUnitPoint& p : out_.nodes) {
            if (!inside(p)) return Fail("a point off the map");
        }
        for (const MapLine& l : out_.lines) {
            for (const MapUnitPoint& p : l.inner) {
                if (!inside(p)) return Fail("a point off the map");
            }
        }
        return true;
    }

    static MapUnitPoint ToUnits(const TopoPoint& p) { return JapanProjection::ToMapUnits(p.ll); }

    const BuildOptions& options_;
    MapModel& out_;
    BuildReport& report_;
    std::string* error_ = nullptr;
    const std::vector<TopoGeometry>* geometries_ = nullptr;

    std::vector<std::vector<TopoPoint>> arcs_;
    std::vector<ProvinceRing> rings_;
    std::vector<std::vector<std::pair<int, ArcRef>>> users_;  // per arc: (province, ref as used)
    std::vector<ArcUse> use_;
    std::vector<Face> faces_;
};

}  // namespace

bool BuildGeometry(const Topology& topo, const BuildOptions& options, MapModel& out, BuildReport& report,
                   std::string* error) {
    report = BuildReport{};
    Builder b(topo, options, out, report);
    return b.Run(error);
}

}  // namespace rymd::mapgen
