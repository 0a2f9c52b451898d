// The ShiroConnect section: connections in both castles' lists, route points, bounding
// rectangles of drawn routes, limits and messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/world_test_util.h"

namespace rymd::test {
namespace {

// Reads World(v) (castles S01 (0, 0), S02 (1000, 0), S03 (0, 1000)) with one ShiroConnect
// section of the given lines.
int ReadConnect(ReaderRun& run, int v, const std::vector<std::string>& lines) {
    ScenarioText t = World(v);
    t.Add("ShiroConnect {");
    for (const auto& l : lines)
        t.Add(l);
    t.Add("}");
    return run.Read(t.Text());
}

void ExpectSlot(const ShiroConnection& c, int shiro, int route, int kind, int flags) {
    EXPECT_EQ(c.shiro, shiro);
    EXPECT_EQ(c.route, route);
    EXPECT_EQ(c.kind, kind);
    EXPECT_EQ(c.drawFlags, flags);
}

void ExpectRect(const RouteRect& r, int left, int top, int right, int bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

// --- one line per connection (version 5 on) ---------------------------------------------------

TEST(ShiroConnect, AStraightLinkIsEnteredOnBothSides) {
    ReaderRun run;
    ASSERT_EQ(ReadConnect(run, 11, {"S01 : S02 : SEA : LINE"}), kScnOk) << run.Message();
    const GameState& gs = *run.gs;
    ExpectSlot(gs.ShiroMapTbl[0].connect[0], 1, 0xFFFF, 3, 0);
    ExpectSlot(gs.ShiroMapTbl[1].connect[0], 0, 0xFFFE, 3, 0);
    EXPECT_EQ(gs.ShiroMapTbl[0].ConnectionCount(), 1);
    EXPECT_EQ(gs.ShiroMapTbl[2].ConnectionCount(), 0);
    EXPECT_EQ(gs.nRoutePoint, 1);
    EXPECT_TRUE(gs.ShiroRouteRects.empty());
    // A sea link puts both castles on a waterway.
    EXPECT_EQ(gs.ShiroMapTbl[0].flags & ShiroMapRecord::kFlagWaterway, ShiroMapRecord::kFlagWaterway);
    EXPECT_EQ(gs.ShiroMapTbl[1].flags & ShiroMapRecord::kFlagWaterway, ShiroMapRecord::kFlagWaterway);
    EXPECT_EQ(gs.ShiroMapTbl[2].flags & ShiroMapRecord::kFlagWaterway, 0);
}

struct WordsCase {
    const char* name;
    std::string line;
    int kind;
    int flags;
};

class ShiroConnectWords : public ::testing::TestWithParam<WordsCase> {};

TEST_P(ShiroConnectWords, OptionalWordsInTheirOrder) {
    const WordsCase& c = GetParam();
    ReaderRun run;
    ASSERT_EQ(ReadConnect(run, 5, {c.line}), kScnOk) << run.Message();
    EXPECT_EQ(run.gs->ShiroMapTbl[0].connect[0].kind, c.kind);
    EXPECT_EQ(run.gs->ShiroMapTbl[0].connect[0].drawFlags, c.flags);
    EXPECT_EQ(run.gs->ShiroMapTbl[1].connect[0].drawFlags, c.flags);
}

INSTANTIATE_TEST_SUITE_P(
    World, ShiroConnectWords,
    ::testing::Values(WordsCase{"broad line", "S01 : S02 : BROAD : LINE", 0, 0x00},
                      WordsCase{"narrow arc", "S01 : S02 : NARROW : ARC", 1, 0x01},
                      WordsCase{"horizontal wrap", "S01 : S02 : HLOOP : MOUNTAIN : LINE", 2, 0x40},
                      WordsCase{"vertical wrap", "S01 : S02 : VLOOP : BROAD : LINE", 0, 0x80},
                      WordsCase{"top invisible", "S01 : S02 : BROAD : TOP_INVISIBLE : LINE", 0, 0x10},
                      WordsCase{"bottom invisible", "S01 : S02 : BROAD : BOTTOM_INVISIBLE : LINE", 0, 0x20},
                      WordsCase{"deleted in a new game", "S01 : S02 : SEA : DELETE_AT_LV : LINE", 3, 0x04},
                      WordsCase{"every word",
                                "S01 : S02 : HVLOOP : SEA : TOP_BOTTOM_INVISIBLE : KEEP_AT_LV : ARC", 3,
                                0xC0 | 0x30 | 0x08 | 0x01}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(ShiroConnect, TheSamePairTwiceTakesTwoSlotsOnEachSide) {
    ReaderRun run;
    ASSERT_EQ(ReadConnect(run, 5, {"S01 : S02 : BROAD : LINE", "S02 : S01 : SEA : LINE"}), kScnOk);
    const GameState& gs = *run.gs;
    ExpectSlot(gs.ShiroMapTbl[0].connect[0], 1, 0xFFFF, 0, 0);
    ExpectSlot(gs.ShiroMapTbl[0].connect[1], 1, 0xFFFE, 3, 0);
    ExpectSlot(gs.ShiroMapTbl[1].connect[0], 0, 0xFFFE, 0, 0);
    ExpectSlot(gs.ShiroMapTbl[1].connect[1], 0, 0xFFFF, 3, 0);
}

TEST(ShiroConnect, TheEleventhConnectionOfACastleIsRefused) {
    std::vector<std::string> lines;
    for (int i = 0; i < 10; ++i)
        lines.push_back("S01 : S02 : BROAD : LINE");
    ReaderRun ok;
    ASSERT_EQ(ReadConnect(ok, 5, lines), kScnOk);
    EXPECT_EQ(ok.gs->ShiroMapTbl[0].ConnectionCount(), 10);
    EXPECT_EQ(ok.gs->ShiroMapTbl[0].connect[10].shiro, 0xFFFF);

    lines.push_back("S03 : S01 : BROAD : LINE");
    ReaderRun run;
    EXPECT_EQ(ReadConnect(run, 5, lines), 16);
    EXPECT_EQ(run.Message(), ErrorText(16, World(5).LineCount() + 12));
    EXPECT_EQ(run.gs->ShiroMapTbl[0].connect[10].shiro, 0xFFFF);
}

TEST(ShiroConnect, LineRoutePointsAndTheirRectangle) {
    ReaderRun run;
    ASSERT_EQ(ReadConnect(run, 11,
                          {"S01 : S02 : BROAD : LINE : 200 : -50 : 700 : 40",
                           "S03 : S01 : NARROW : KEEP_AT_LV : LINE : -30 : 500"}),
              kScnOk)
        << run.Message();
    const GameState& gs = *run.gs;
    // The first route starts at point 1; entry 0 names its rectangle.
    ExpectSlot(gs.ShiroMapTbl[0].connect[0], 1, 1, 0, 0);
    ExpectSlot(gs.ShiroMapTbl[1].connect[0], 0, 0xFFFE, 0, 0);
    EXPECT_EQ(gs.ShiroRoutePoints[0].y, 0);
    EXPECT_EQ(gs.ShiroRoutePoints[1].x, 200);
    EXPECT_EQ(gs.ShiroRoutePoints[1].y, -50);
    EXPECT_EQ(gs.ShiroRoutePoints[2].x, 700);
    EXPECT_EQ(gs.ShiroRoutePoints[2].y, 40);
    EXPECT_EQ(gs.ShiroRoutePoints[3].x, -1);
    // The second route follows; the first one's end entry names the second rectangle.
    ExpectSlot(gs.ShiroMapTbl[2].connect[0], 0, 4, 1, 0x08);
    ExpectSlot(gs.ShiroMapTbl[0].connect[1], 2, 0xFFFE, 1, 0x08);
    EXPECT_EQ(gs.ShiroRoutePoints[3].y, 1);
    EXPECT_EQ(gs.ShiroRoutePoints[4].x, -30);
    EXPECT_EQ(gs.ShiroRoutePoints[5].x, -1);
    EXPECT_EQ(gs.nRoutePoint, 6);
    ASSERT_EQ(gs.ShiroRouteRects.size(), 2u);
    // (0,0) -> (200,-50) -> (700,40) -> (1000,0)
    ExpectRect(gs.ShiroRouteRects[0], 0, -50, 1000, 40);
    // (0,1000) -> (-30,500) -> (0,0)
    ExpectRect(gs.ShiroRouteRects[1], -30, 0, 0, 1000);
}

TEST(ShiroConnect, ArcRoutes) {
    ReaderRun run;
    ASSERT_EQ(ReadConnect(run, 11,
                          {// one arc from S01 through (500, 0) to S02: all on one line
                           "S01 : S02 : BROAD : ARC : 500 : 0",
                           // two arcs: S01 -> (500, 500) -> (1000, 1000), then -> (500, 1500) -> S03
                           "S01 : S03 : BROAD : ARC : 500 : 500 : 1000 : 1000 : 500 : 1500",
                           // a wrapped arc covers the whole map (100 x 80 pixels)
                           "S02 : S03 : HLOOP : BROAD : ARC : 10 : 10"}),
              kScnOk)
        << run.Message();
    const GameState& gs = *run.gs;
    ASSERT_EQ(gs.ShiroRouteRects.size(), 3u);
    ExpectRect(gs.ShiroRouteRects[0], 0, 0, 1000, 0);
    EXPECT_EQ(gs.ShiroRoutePoints[1].x, 500);
    EXPECT_EQ(gs.ShiroRoutePoints[2].x, -1);
    // Second route: points 3, 4, 5, end at 6.
    EXPECT_EQ(gs.ShiroMapTbl[0].connect[1].route, 3);
    EXPECT_EQ(gs.ShiroRoutePoints[5].x, 500);
    EXPECT_EQ(gs.ShiroRoutePoints[5].y, 1500);
    EXPECT_EQ(gs.ShiroRoutePoints[6].x, -1);
    EXPECT_EQ(gs.ShiroRoutePoints[2].y, 1);
    // (0,0) -> (500,500) -> (1000,1000) is straight; (1000,1000) -> (500,1500) -> (0,1000) is
    // a half circle around (500, 1000) of radius 500, bulging down to 1500.
    ExpectRect(gs.ShiroRouteRects[1], 0, 0, 1000, 1500);
    ExpectRect(gs.ShiroRouteRects[2], 0, 0, 100 * 128, 80 * 128);
    EXPECT_EQ(gs.nRoutePoint, 9);
}

struct GeometryCase {
    const char* name;
    int x0, y0, x1, y1, x2, y2;
    int left, top, right, bottom;
};

class ConnectGeometry : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(ConnectGeometry, BoundsTheArc) {
    const GeometryCase& c = GetParam();
    RouteRect r;
    CScenarioReader::CalcConnectGeometry(c.x0, c.y0, c.x1, c.y1, c.x2, c.y2, r);
    ExpectRect(r, c.left, c.top, c.right, c.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    World, ConnectGeometry,
    ::testing::Values(
        GeometryCase{"collinear points give start and end", 10, 50, 20, 40, 30, 30, 10, 30, 30, 50},
        GeometryCase{"half circle to the right", 0, 0, 100, 100, 0, 200, 0, 0, 100, 200},
        GeometryCase{"half circle to the left", 0, 0, -100, 100, 0, 200, -100, 0, 0, 200},
        GeometryCase{"quarter circle", 5, 0, 4, 3, 0, 5, 0, 0, 5, 5},
        GeometryCase{"three quarters of a circle", 100, 0, -100, 0, 0, -100, -100, -100, 100, 100},
        GeometryCase{"short arc inside one quarter", 5, 0, 4, 3, 3, 4, 3, 0, 5, 4},
        GeometryCase{"short arc running back", 3, 4, 4, 3, 5, 0, 3, 0, 5, 4},
        GeometryCase{"nearly the whole circle from one quarter back to it", 3, 4, -5, 0, 5, 0, -5, -5, 5, 5}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(ConnectGeometryLimits, HugeCirclesStayInsideTheCoordinateRange) {
    // Nearly collinear points far apart put the centre very far away.
    const int big = 2000000000;
    struct Case {
        int x0, y0, x1, y1, x2, y2;
    };
    const Case cases[] = {{0, 0, 1000000, 1, 2000000, 0},
                          {-big, 0, 0, 1, big, 0},
                          {-big, -big, big, big - 1, 0, 1},
                          {0, 0, 2000000, 1, 1000000, 0}};
    for (const auto& c : cases) {
        RouteRect r;
        CScenarioReader::CalcConnectGeometry(c.x0, c.y0, c.x1, c.y1, c.x2, c.y2, r);
        EXPECT_LE(r.left, std::min(c.x0, c.x2));
        EXPECT_LE(r.top, std::min(c.y0, c.y2));
        EXPECT_GE(r.right, std::max(c.x0, c.x2));
        EXPECT_GE(r.bottom, std::max(c.y0, c.y2));
    }
}

TEST(ShiroConnect, RoutePointsAreLimited) {
    // 60001 entries: entry 0, the points and one end entry per route.
    std::string points;
    for (int i = 0; i < 59999; ++i)
        points += " : 1 : 2";
    ReaderRun ok;
    ASSERT_EQ(ReadConnect(ok, 11, {"S01 : S02 : BROAD : LINE" + points}), kScnOk) << ok.Message();
    EXPECT_EQ(ok.gs->nRoutePoint, 60001);
    EXPECT_EQ(ok.gs->ShiroRoutePoints[59999].x, 1);
    EXPECT_EQ(ok.gs->ShiroRoutePoints[60000].x, -1);

    ReaderRun over;
    EXPECT_EQ(ReadConnect(over, 11, {"S01 : S02 : BROAD : LINE" + points + " : 1 : 2"}), 65);
    EXPECT_EQ(over.Message(), ErrorText(65, World(11).LineCount() + 2));

    // A route that starts when only the end entry would fit is refused at once.
    std::string almost;
    for (int i = 0; i < 59997; ++i)
        almost += " : 1 : 2";
    ReaderRun full;
    EXPECT_EQ(
        ReadConnect(full, 11, {"S01 : S02 : BROAD : LINE" + almost, "S01 : S03 : BROAD : LINE : 5 : 5"}), 65);
    EXPECT_EQ(full.Message(), ErrorText(65, World(11).LineCount() + 3));
}

class ShiroConnectErrors : public ::testing::TestWithParam<SectionErrorCase> {};

TEST_P(ShiroConnectErrors, ReportTheCodeOnItsLine) {
    ExpectSectionError(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    World, ShiroConnectErrors,
    ::testing::Values(
        SectionErrorCase{
            "first castle unknown", 5, {"ShiroConnect {", "S09 : S02 : BROAD : LINE", "}"}, 2, 15},
        SectionErrorCase{
            "second castle unknown", 5, {"ShiroConnect {", "S01 : S09 : BROAD : LINE", "}"}, 2, 15},
        SectionErrorCase{"same castle twice", 5, {"ShiroConnect {", "S01 : S01 : BROAD : LINE", "}"}, 2, 64},
        SectionErrorCase{"unknown kind", 5, {"ShiroConnect {", "S01 : S02 : ROAD : LINE", "}"}, 2, 66},
        SectionErrorCase{
            "wrap word after the kind", 5, {"ShiroConnect {", "S01 : S02 : SEA : HLOOP : LINE", "}"}, 2, 67},
        SectionErrorCase{"mark before the visibility",
                         5,
                         {"ShiroConnect {", "S01 : S02 : SEA : KEEP_AT_LV : TOP_INVISIBLE : LINE", "}"},
                         2,
                         67},
        SectionErrorCase{"unknown drawing", 5, {"ShiroConnect {", "S01 : S02 : SEA : CURVE", "}"}, 2, 67},
        SectionErrorCase{"kind ends the line", 5, {"ShiroConnect {", "S01 : S02 : SEA", "}"}, 2, 4},
        SectionErrorCase{
            "visibility ends the line", 5, {"ShiroConnect {", "S01 : S02 : SEA : TOP_INVISIBLE", "}"}, 2, 4},
        SectionErrorCase{
            "mark ends the line", 5, {"ShiroConnect {", "S01 : S02 : SEA : DELETE_AT_LV", "}"}, 2, 4},
        SectionErrorCase{"second castle ends the line", 5, {"ShiroConnect {", "S01 : S02", "}"}, 2, 4},
        SectionErrorCase{
            "point without its y", 5, {"ShiroConnect {", "S01 : S02 : SEA : LINE : 5 : 6 : 7", "}"}, 2, 4},
        SectionErrorCase{
            "point not an integer", 5, {"ShiroConnect {", "S01 : S02 : SEA : ARC : 5 : y", "}"}, 2, 22},
        SectionErrorCase{"empty point", 5, {"ShiroConnect {", "S01 : S02 : SEA : LINE : : 1", "}"}, 2, 22},
        SectionErrorCase{
            "cut off by the end of the file", 5, {"ShiroConnect {", "S01 : S02 : SEA : LINE"}, 3, 4},
        SectionErrorCase{"old form: unknown castle", 4, {"ShiroConnect {", "S01 : S02 : S09", "}"}, 2, 15},
        SectionErrorCase{"old form: castle alone", 4, {"ShiroConnect {", "S01", "}"}, 2, 4}),
    [](const auto& info) { return CaseName(info.param.name); });

// --- one line per castle (before version 5) --------------------------------------------------

TEST(ShiroConnectOldForm, EachSideListsTheOtherOnce) {
    ReaderRun run;
    ASSERT_EQ(ReadConnect(run, 4, {"S01 : S02 : S03 : S02 : S01", "S02 : S01", "S03 : S01"}), kScnOk)
        << run.Message();
    const GameState& gs = *run.gs;
    // S01 drew first; S02's and S03's own lines then took over the drawing of their links.
    ASSERT_EQ(gs.ShiroMapTbl[0].ConnectionCount(), 2);
    ExpectSlot(gs.ShiroMapTbl[0].connect[0], 1, 0xFFFE, 0, 0);
    ExpectSlot(gs.ShiroMapTbl[0].connect[1], 2, 0xFFFE, 0, 0);
    ASSERT_EQ(gs.ShiroMapTbl[1].ConnectionCount(), 1);
    ExpectSlot(gs.ShiroMapTbl[1].connect[0], 0, 0xFFFF, 0, 0);
    ASSERT_EQ(gs.ShiroMapTbl[2].ConnectionCount(), 1);
    ExpectSlot(gs.ShiroMapTbl[2].connect[0], 0, 0xFFFF, 0, 0);
}

TEST(ShiroConnectOldForm, ANeighbourThatDoesNotListTheCastleBackIsReportedAtTheEnd) {
    ScenarioText t = World(4);
    t.Add({"ShiroConnect {", "S01 : S02 : S03", "S02 : S01"});
    const int close = t.Add("}");
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 44);
    EXPECT_EQ(run.Message(), ErrorText(44, close) + "S03経路未設定");
}

TEST(ShiroConnectOldForm, TheEleventhNeighbourIsRefused) {
    ScenarioText t = World(4);
    t.Add("Shiro {");
    std::string line = "S01";
    for (int i = 0; i < 11; ++i) {
        t.Add(ShiroLine(4, "N" + std::to_string(i), "K02", "D01"));
        line += " : N" + std::to_string(i);
    }
    t.Add({"}", "ShiroConnect {"});
    const int bad = t.Add(line);
    t.Add("}");
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), 16);
    EXPECT_EQ(run.Message(), ErrorText(16, bad));
    EXPECT_EQ(run.gs->ShiroMapTbl[0].ConnectionCount(), 10);
}

}  // namespace
}  // namespace rymd::test
