// Reading JSON and TopoJSON for the map generator.
#include <gtest/gtest.h>

#include <string>

#include "platform/core/random.h"
#include "tools/mapgen/map_builder.h"
#include "tools/mapgen/topology.h"

namespace rymd::mapgen {
namespace {

// Two unit squares side by side, sharing the arc between them; quantised, with deltas.
const char kTwoSquares[] = R"({
  "type": "Topology",
  "transform": {"scale": [0.5, 0.25], "translate": [135, 35]},
  "arcs": [
    [[2, 0], [0, 4]],
    [[2, 4], [-2, 0], [0, -4], [2, 0]],
    [[2, 0], [2, 0], [0, 4], [-2, 0]]
  ],
  "objects": {"k": {"type": "GeometryCollection", "geometries": [
    {"type": "Polygon", "arcs": [[0, 1]], "properties": {"code": 1, "name_ja": "西", "circuit_ja": "道"}},
    {"type": "MultiPolygon", "arcs": [[[2, -1]]], "properties": {"code": 2, "name_en": "East"}},
    {"type": "Point", "coordinates": [0, 0]}
  ]}}
})";

TEST(Topology, ReadsArcsAndPolygons) {
    Topology t;
    std::string error;
    ASSERT_TRUE(ReadTopology(kTwoSquares, t, &error)) << error;
    ASSERT_EQ(t.arcs.size(), 3u);
    // Deltas are summed and scaled: arc 0 runs from (136, 35) to (136, 36).
    EXPECT_EQ(t.arcs[0][0].qx, 2);
    EXPECT_EQ(t.arcs[0][1].qy, 4);
    EXPECT_DOUBLE_EQ(t.arcs[0][0].ll.lon, 136.0);
    EXPECT_DOUBLE_EQ(t.arcs[0][1].ll.lat, 36.0);
    EXPECT_TRUE(t.arcs[1].back().SameAs(t.arcs[0].front()));
    ASSERT_EQ(t.geometries.size(), 2u);  // the point is skipped
    EXPECT_EQ(t.geometries[0].code, 1);
    EXPECT_EQ(t.geometries[0].nameJa, "西");
    EXPECT_EQ(t.geometries[0].circuitJa, "道");
    EXPECT_EQ(t.geometries[1].nameEn, "East");
    ASSERT_EQ(t.geometries[1].polygons.size(), 1u);
    EXPECT_EQ(t.geometries[1].polygons[0][0], (TopoRing{2, ~0}));
}

TEST(Topology, RefusesBrokenTopologies) {
    struct Case {
        const char* what;
        std::string from;
        std::string to;
    };
    const Case cases[] = {
        {"arc index out of range", "[[0, 1]]", "[[0, 7]]"},
        {"ring not closed", "[[0, 1]]", "[[0]]"},
        {"fractional arc index", "[[0, 1]]", "[[0, 1.5]]"},
        {"one-point arc", "[[2, 0], [0, 4]],", "[[2, 0]],"},
        {"fraction in a quantised arc", "[[2, 0], [0, 4]],", "[[2.5, 0], [0, 4]],"},
        {"not a topology", "\"Topology\"", "\"FeatureCollection\""},
        {"bad transform", "\"scale\": [0.5, 0.25]", "\"scale\": [0.5]"},
    };
    for (const Case& c : cases) {
        std::string text = kTwoSquares;
        const auto at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.what;
        text.replace(at, c.from.size(), c.to);
        Topology t;
        std::string error;
        EXPECT_FALSE(ReadTopology(text, t, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

// Text that is not JSON is refused with the parser's message, whatever the fault.
TEST(Topology, RefusesTextThatIsNotJson) {
    const char* bad[] = {
        "",    "{", "[1,]", "{\"a\" 1}",     "[1 2]",      "\"abc",    "\"\\x\"", "tru",
        "01x", "-", "1.",   "[\"\\ud800\"]", "{\"a\":1}x", "\"a\nb\"", "[1e999]", "\"\xff\"",
    };
    for (const char* text : bad) {
        Topology t;
        std::string error;
        EXPECT_FALSE(ReadTopology(text, t, &error)) << text;
        EXPECT_EQ(error.rfind("not JSON: ", 0), 0u) << text << ": " << error;
        EXPECT_GT(error.size(), 10u) << text;
    }
}

// Nesting is limited, so a hostile file cannot exhaust the stack; up to the limit it is only JSON.
TEST(Topology, LimitsNesting) {
    auto nested = [](int depth) { return std::string(depth + 1, '[') + std::string(depth + 1, ']'); };
    Topology t;
    std::string error;
    EXPECT_FALSE(ReadTopology(nested(kMaxJsonNesting), t, &error));
    EXPECT_EQ(error, "not a TopoJSON topology");
    EXPECT_FALSE(ReadTopology(nested(kMaxJsonNesting + 1), t, &error));
    EXPECT_NE(error.find("nesting"), std::string::npos) << error;
    EXPECT_FALSE(ReadTopology(std::string(100000, '['), t, &error));
    EXPECT_EQ(error.rfind("not JSON: ", 0), 0u) << error;
}

// Names are UTF-8 with the escapes of the file decoded; keys and values of other kinds are skipped.
TEST(Topology, DecodesEscapedNames) {
    std::string text = kTwoSquares;
    const std::string from = "\"name_en\": \"East\"";
    text.replace(text.find(from), from.size(),
                 "\"name_en\": \"E\\\"a\\u00e9\\u6771\\ud83d\\ude00\", \"name_ja\": 7, \"extra\": [true, "
                 "false, null]");
    Topology t;
    std::string error;
    ASSERT_TRUE(ReadTopology(text, t, &error)) << error;
    ASSERT_EQ(t.geometries.size(), 2u);
    EXPECT_EQ(t.geometries[1].nameEn, "E\"aé東😀");
    EXPECT_EQ(t.geometries[1].nameJa, "");
}

// Damaged files are refused or read; whatever is read builds a map or is refused, never worse.
TEST(Topology, SurvivesDamagedText) {
    BuildOptions options;
    options.regions = {{"R", "地域"}};
    options.provinces = {{1, "K_1", "一", 0}, {2, "K_2", "二", 0}};
    const std::string original = kTwoSquares;
    const char replacements[] = "0123456789-[],.e\"{}: ";
    Random random(20240601);
    int read = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = original;
        const int changes = 1 + random.Below(4);
        for (int c = 0; c < changes; ++c) {
            const std::size_t at = static_cast<std::size_t>(random.Below(static_cast<int>(text.size())));
            switch (random.Below(3)) {
                case 0:
                    text[at] = replacements[random.Below(static_cast<int>(sizeof replacements - 1))];
                    break;
                case 1: text.erase(at, 1); break;
                default:
                    text.insert(at, 1, replacements[random.Below(static_cast<int>(sizeof replacements - 1))]);
            }
        }
        Topology t;
        std::string error;
        if (!ReadTopology(text, t, &error)) continue;
        ++read;
        MapModel m;
        BuildReport r;
        (void)BuildGeometry(t, options, m, r, &error);
    }
    EXPECT_GT(read, 0);
}

}  // namespace
}  // namespace rymd::mapgen
