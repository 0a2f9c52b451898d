// Roads between castles: the ShiroConnect section and the geometry of drawn routes.
//
// Each castle lists up to ten connections. A connection is entered on both castles' lists;
// one side draws it (from its own position, straight or along route points), the other side
// knows that the line is drawn from over there (route 0xFFFE).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/scenario/world_fields.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {

constexpr std::size_t kTokenSize = 100;

constexpr int kErrBadShiroId = 15;
constexpr int kErrTooManyConnections = 16;
constexpr int kErrNotMutual = 44;
constexpr int kErrSameShiro = 64;
constexpr int kErrTooManyPoints = 65;
constexpr int kErrBadKind = 66;
constexpr int kErrBadDrawing = 67;

constexpr std::uint16_t kEndMark = 0xFFFF;
constexpr std::uint16_t kRouteStraight = 0xFFFF;   // drawn as a straight line from this side
constexpr std::uint16_t kRouteOtherSide = 0xFFFE;  // drawn from the other castle's side

constexpr std::uint8_t kDrawArc = 0x01;
constexpr std::uint8_t kWrapBits = 0xC0;

constexpr int kPointCapacity = GameState::kMaxRoutePoint;

// The first slot among the first ten that is free, or (reuse) already holds the other castle;
// -1 when there is none.
int FindSlot(const ShiroMapRecord& m, int other, bool reuse) {
    for (int i = 0; i < ShiroMapRecord::kMaxConnection; ++i) {
        const std::uint16_t c = m.connect[static_cast<std::size_t>(i)].shiro;
        if (c == kEndMark || (reuse && c == other)) return i;
    }
    return -1;
}

std::int32_t ClampToInt(double v) {
    if (!(v >= std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

std::int32_t ClampToInt(long long v) {
    return static_cast<std::int32_t>(std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max()));
}

RouteRect Spanned(int x0, int y0, int x1, int y1) {
    return RouteRect{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

void Unite(RouteRect& into, const RouteRect& r, bool& any) {
    if (!any) {
        into = r;
        any = true;
        return;
    }
    into.left = std::min(into.left, r.left);
    into.top = std::min(into.top, r.top);
    into.right = std::max(into.right, r.right);
    into.bottom = std::max(into.bottom, r.bottom);
}

struct Point {
    int x = 0;
    int y = 0;
};

// The words of one connection line after its two castles, read one at a time.
class ConnectionWords {
public:
    ConnectionWords(world::LineFields& line, std::string& token) : line_(line), token_(token) {}

    // The next word; the end of the file cuts the line short.
    int Next() {
        end_ = line_.Raw(token_);
        return end_ == CScenarioReader::kEndOfFile ? static_cast<int>(kScnSyntax) : static_cast<int>(kScnOk);
    }
    // An optional word must be followed by another.
    int More() const {
        return end_ == CScenarioReader::kMoreOnLine ? static_cast<int>(kScnOk) : static_cast<int>(kScnSyntax);
    }
    bool MoreOnLine() const { return end_ == CScenarioReader::kMoreOnLine; }
    bool EndsLine() const { return end_ == CScenarioReader::kEndOfLine; }
    const std::string& Token() const { return token_; }

    // Reads one coordinate; the x of a pair must be followed by its y.
    int Coordinate(int& value, bool isX) {
        if (int e = Next(); e != kScnOk) return e;
        if (isX && !MoreOnLine()) return static_cast<int>(kScnSyntax);
        return CScenarioReader::ParseInt(token_, value) ? static_cast<int>(kScnOk)
                                                        : static_cast<int>(kScnNotInteger);
    }
    int Pair(Point& p) {
        if (int e = Coordinate(p.x, true); e != kScnOk) return e;
        return Coordinate(p.y, false);
    }

private:
    world::LineFields& line_;
    std::string& token_;
    int end_ = CScenarioReader::kMoreOnLine;
};

// The kind of a connection, perhaps after the wrap word, then its visibility and new-game mark
// when given, and its drawing, which always follows.
int ReadConnectionStyle(ConnectionWords& words, std::uint8_t& kind, std::uint8_t& flags) {
    const std::string& token = words.Token();
    if (int e = words.Next(); e != kScnOk) return e;
    if (int e = words.More(); e != kScnOk) return e;
    if (token == "HLOOP" || token == "VLOOP" || token == "HVLOOP") {
        flags |= token == "HLOOP" ? 0x40 : token == "VLOOP" ? 0x80 : 0xC0;
        if (int e = words.Next(); e != kScnOk) return e;
        if (int e = words.More(); e != kScnOk) return e;
    }
    if (token == "BROAD")
        kind = 0;
    else if (token == "NARROW")
        kind = 1;
    else if (token == "MOUNTAIN")
        kind = 2;
    else if (token == "SEA")
        kind = 3;
    else
        return kErrBadKind;

    if (int e = words.Next(); e != kScnOk) return e;
    if (token == "TOP_INVISIBLE" || token == "BOTTOM_INVISIBLE" || token == "TOP_BOTTOM_INVISIBLE") {
        flags |= (token == "TOP_INVISIBLE" ? 1 : token == "BOTTOM_INVISIBLE" ? 2 : 3) << 4;
        if (int e = words.More(); e != kScnOk) return e;
        if (int e = words.Next(); e != kScnOk) return e;
    }
    if (token == "DELETE_AT_LV" || token == "KEEP_AT_LV") {
        flags |= (token == "DELETE_AT_LV" ? 1 : 2) << 2;
        if (int e = words.More(); e != kScnOk) return e;
        if (int e = words.Next(); e != kScnOk) return e;
    }
    if (token == "ARC")
        flags |= kDrawArc;
    else if (token != "LINE")
        return kErrBadDrawing;
    return kScnOk;
}

// The points of a drawn route and the rectangle its drawing covers. Straight segments run from
// A through the points to B; arcs each run from the previous end through a point to the next,
// and a last group of one point ends its arc at B. store keeps a point (false when the table is
// full).
template <typename Store>
int ReadRoutePoints(ConnectionWords& words, Point posA, Point posB, bool arcs, bool wrapped,
                    const RouteRect& wholeMap, Store&& store, RouteRect& rect) {
    bool any = false;
    Point prev = posA;
    if (!arcs) {
        for (;;) {
            Point p;
            if (int e = words.Pair(p); e != kScnOk) return e;
            if (!store(p)) return kErrTooManyPoints;
            Unite(rect, Spanned(prev.x, prev.y, p.x, p.y), any);
            prev = p;
            if (words.EndsLine()) break;
        }
        Unite(rect, Spanned(prev.x, prev.y, posB.x, posB.y), any);
        return kScnOk;
    }
    auto arc = [&](Point from, Point through, Point to) {
        RouteRect r = wholeMap;
        if (!wrapped)
            CScenarioReader::CalcConnectGeometry(from.x, from.y, through.x, through.y, to.x, to.y, r);
        Unite(rect, r, any);
    };
    for (;;) {
        Point through, to;
        if (int e = words.Pair(through); e != kScnOk) return e;
        if (!store(through)) return kErrTooManyPoints;
        if (words.EndsLine()) {
            arc(prev, through, posB);
            break;
        }
        if (int e = words.Pair(to); e != kScnOk) return e;
        if (!store(to)) return kErrTooManyPoints;
        arc(prev, through, to);
        prev = to;
        if (words.EndsLine()) break;
    }
    return kScnOk;
}

}  // namespace

void CScenarioReader::CalcConnectGeometry(int x0, int y0, int x1, int y1, int x2, int y2, RouteRect& out) {
    const double ax = x0, ay = y0, bx = x1, by = y1, cx2 = x2, cy2 = y2;
    const double d = (bx - ax) * (cy2 - by) - (bx - cx2) * (ay - by);
    if (d == 0.0) {
        out = Spanned(x0, y0, x2, y2);
        return;
    }
    // Centre of the circle through the three points.
    const double s0 = ax * ax + ay * ay, s1 = bx * bx + by * by, s2 = cx2 * cx2 + cy2 * cy2;
    const double cx = (s0 * (by - cy2) + s1 * (cy2 - ay) + s2 * (ay - by)) / (2.0 * d);
    const double cy = (s0 * (cx2 - bx) + s1 * (ax - cx2) + s2 * (bx - ax)) / (2.0 * d);
    const double r = std::hypot(ax - cx, ay - cy);

    const double a0 = NormalizeAngle(std::atan2(ay - cy, ax - cx));
    const double a1 = NormalizeAngle(std::atan2(by - cy, bx - cx));
    const double a2 = NormalizeAngle(std::atan2(cy2 - cy, cx2 - cx));
    const int q0 = std::min(3, static_cast<int>(a0 / 1.570795));
    const int q2 = std::min(3, static_cast<int>(a2 / 1.570795));
    const double d1 = NormalizeAngle(a1 - a0);
    const double d2 = NormalizeAngle(a2 - a0);

    const std::int32_t right = ClampToInt(std::ceil(cx + r));
    const std::int32_t bottom = ClampToInt(std::ceil(cy + r));
    const std::int32_t left = ClampToInt(std::floor(cx - r));
    const std::int32_t top = ClampToInt(std::floor(cy - r));
    const RouteRect circle{left, top, right, bottom};

    out = Spanned(x0, y0, x2, y2);
    // Each quarter boundary the arc crosses pushes the rectangle out to the circle there.
    auto extend = [&](int side) {
        switch (side) {
            case 0: out.right = std::max(out.right, right); break;
            case 1: out.bottom = std::max(out.bottom, bottom); break;
            case 2: out.left = std::min(out.left, left); break;
            default: out.top = std::min(out.top, top); break;
        }
    };
    if (d2 > d1) {  // the arc runs with rising angle
        if (q0 != q2) {
            for (int q = q0; q != q2; q = (q + 1) % 4)
                extend((q + 1) % 4);  // leaving quarter q upwards crosses the boundary of q + 1
        } else if (a0 > a2) {
            out = circle;
        }
    } else {  // falling angle
        if (q0 != q2) {
            for (int q = q0; q != q2; q = (q + 3) % 4)
                extend(q);  // leaving quarter q downwards crosses its own lower boundary
        } else if (a0 < a2) {
            out = circle;
        }
    }
}

// The older form: one line per castle, the castle, then its neighbours. Every neighbour must
// name the castle on its own line as well.
int CScenarioReader::ReadShiroConnectLists() {
    world::LineFields line(*this, kTokenSize);
    std::string token;
    auto shiroOf = [&](const std::string& id) { return FindId(shiroIds_, nShiro_, id); };
    std::vector<std::vector<std::uint16_t>> named(static_cast<std::size_t>(nShiro_));
    for (;;) {
        int r = line.Start(token);
        if (r == world::kSectionClosed) {
            for (int a = 0; a < nShiro_; ++a) {
                for (std::uint16_t b : named[static_cast<std::size_t>(a)]) {
                    const auto& back = named[b];
                    if (std::find(back.begin(), back.end(), a) == back.end()) {
                        messageDetail_ = ToUtf8(shiroIds_[b].data(), gs_.Encoding()) + "経路未設定";
                        return kErrNotMutual;
                    }
                }
            }
            return kScnOk;
        }
        if (r != kScnOk) return r;
        const int a = shiroOf(token);
        if (a < 0) return kErrBadShiroId;
        for (;;) {
            const int end = line.Raw(token);
            if (end == kEndOfFile) return kScnSyntax;
            const int b = shiroOf(token);
            if (b < 0) return kErrBadShiroId;
            if (b != a) {
                ShiroMapRecord& ma = ShiroMapSlotAt(gs_, a);
                ShiroMapRecord& mb = ShiroMapSlotAt(gs_, b);
                const int sa = FindSlot(ma, b, true);
                const int sb = FindSlot(mb, a, true);
                if (sa < 0 || sb < 0) return kErrTooManyConnections;
                ma.connect[static_cast<std::size_t>(sa)] =
                    ShiroConnection{static_cast<std::uint16_t>(b), kRouteStraight, 0, 0};
                mb.connect[static_cast<std::size_t>(sb)] =
                    ShiroConnection{static_cast<std::uint16_t>(a), kRouteOtherSide, 0, 0};
                auto& list = named[static_cast<std::size_t>(a)];
                if (std::find(list.begin(), list.end(), b) == list.end())
                    list.push_back(static_cast<std::uint16_t>(b));
            }
            if (end == kEndOfLine) break;
        }
    }
}

int CScenarioReader::ReadShiroConnect() {
    if (scenarioVer_ < 5) return ReadShiroConnectLists();
    world::LineFields line(*this, kTokenSize);
    std::string token;
    auto shiroOf = [&](const std::string& id) { return FindId(shiroIds_, nShiro_, id); };

    // One line per connection: A, B, [wrap], kind, [visibility], [new-game mark], drawing,
    // [route points].
    for (;;) {
        int r = line.Start(token);
        if (r == world::kSectionClosed) return kScnOk;
        if (r != kScnOk) return r;
        const int a = shiroOf(token);
        if (a < 0) return kErrBadShiroId;
        if (int e = line.Word(token, false); e != kScnOk) return e;
        const int b = shiroOf(token);
        if (b < 0) return kErrBadShiroId;
        if (a == b) return kErrSameShiro;

        ConnectionWords words(line, token);
        std::uint8_t kind = 0;
        std::uint8_t flags = 0;
        if (int e = ReadConnectionStyle(words, kind, flags); e != kScnOk) return e;
        const bool hasPoints = words.MoreOnLine();

        ShiroMapRecord& ma = ShiroMapSlotAt(gs_, a);
        ShiroMapRecord& mb = ShiroMapSlotAt(gs_, b);
        const int sa = FindSlot(ma, b, false);
        const int sb = FindSlot(mb, a, false);
        if (sa < 0 || sb < 0) return kErrTooManyConnections;
        ShiroConnection& ca = ma.connect[static_cast<std::size_t>(sa)];
        ShiroConnection& cb = mb.connect[static_cast<std::size_t>(sb)];
        ca = ShiroConnection{static_cast<std::uint16_t>(b), kRouteStraight, kind, flags};
        cb = ShiroConnection{static_cast<std::uint16_t>(a), kRouteOtherSide, kind, flags};
        if (!hasPoints) continue;

        // A drawn route: its points run from A's side.
        if (nRoutePoint_ >= kPointCapacity - 2) return kErrTooManyPoints;
        const int first = nRoutePoint_;
        ca.route = static_cast<std::uint16_t>(first);
        auto store = [&](Point p) {
            if (nRoutePoint_ >= kPointCapacity - 1) return false;
            gs_.ShiroRoutePoints[static_cast<std::size_t>(nRoutePoint_++)] = RoutePoint{p.x, p.y};
            return true;
        };
        const RouteRect wholeMap{0, 0, ClampToInt(static_cast<long long>(map_.Width()) * 128),
                                 ClampToInt(static_cast<long long>(map_.Height()) * 128)};
        RouteRect rect;
        if (int e = ReadRoutePoints(words, Point{ma.x, ma.y}, Point{mb.x, mb.y}, (flags & kDrawArc) != 0,
                                    (flags & kWrapBits) != 0, wholeMap, store, rect);
            e != kScnOk)
            return e;

        // The run ends with an entry whose x is -1; the entry before the run's first point
        // names the run's bounding rectangle.
        gs_.ShiroRoutePoints[static_cast<std::size_t>(nRoutePoint_)] = RoutePoint{-1, -1};
        gs_.ShiroRoutePoints[static_cast<std::size_t>(first - 1)].y =
            static_cast<std::int32_t>(gs_.ShiroRouteRects.size());
        gs_.ShiroRouteRects.push_back(rect);
        ++nRoutePoint_;
    }
}

}  // namespace rymd
