// Formulas of the conditional events: the order of operations of the stack machine, its error
// codes, the "#" built-ins over a small world, bad input of every kind and the message that tells
// the scenario author of a failed formula.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/events/formula.h"
#include "game/events/formula_builtins.h"
#include "game/state/access.h"
#include "game/state/game_context.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

constexpr double kUntouched = -12345.0;

struct FormulaCase {
    std::string formula;
    int code;
    double value;  // when the code is kFormulaOk
};

void ExpectCases(GameState& gs, const std::vector<FormulaCase>& cases) {
    for (const FormulaCase& c : cases) {
        SCOPED_TRACE(c.formula);
        double value = kUntouched;
        EXPECT_EQ(EvaluateFormula(gs, c.formula, value), c.code);
        if (c.code == kFormulaOk)
            EXPECT_DOUBLE_EQ(value, c.value);
        else
            EXPECT_EQ(value, kUntouched) << "a failed formula leaves the value as it was";
    }
}

// Store-only formulas need no world: an empty game state.
struct FormulaArithmetic : ::testing::Test {
    std::unique_ptr<GameState> state = std::make_unique<GameState>();
    GameState& gs = *state;
};

TEST_F(FormulaArithmetic, OrderOfOperations) {
    ExpectCases(gs, {
                        {"1-2-3", kFormulaOk, -4},
                        {"1+2*3", kFormulaOk, 7},
                        {"2*(3+4)", kFormulaOk, 14},
                        {"8/(2)/2", kFormulaOk, 2},
                        {"8/(2)*2", kFormulaOk, 8},
                        {"1-2-(3)", kFormulaOk, -4},
                        {"1-2*(3)-4", kFormulaOk, -9},
                        {"10-(5-(2-1))", kFormulaOk, 6},
                        {"-2*3", kFormulaOk, -6},
                        {"-(2+3)", kFormulaOk, -5},
                        {"2*(-3)", kFormulaOk, -6},
                        {"12/4/3", kFormulaOk, 1},
                        {"2*3+4*5-6/2", kFormulaOk, 23},
                        {"(1+2)*(3+4)/(10-3)", kFormulaOk, 3},
                        {"  1 +   2  ", kFormulaOk, 3},
                        {"((((7))))", kFormulaOk, 7},
                        {"1.5*2", kFormulaOk, 3},
                    });
}

TEST_F(FormulaArithmetic, MalformedAndDivisionByZero) {
    ExpectCases(gs, {
                        {"", kFormulaMalformed, 0},
                        {"   ", kFormulaMalformed, 0},
                        {"()", kFormulaMalformed, 0},
                        {"(-)", kFormulaMalformed, 0},
                        {"2*-3", kFormulaMalformed, 0},
                        {"2(3)", kFormulaMalformed, 0},
                        {"(2)(3)", kFormulaMalformed, 0},
                        {"2 3", kFormulaMalformed, 0},
                        {"1+", kFormulaMalformed, 0},
                        {"*2", kFormulaMalformed, 0},
                        {"1++2", kFormulaMalformed, 0},
                        {"(1", kFormulaMalformed, 0},
                        {"1)", kFormulaMalformed, 0},
                        {"#Random(", kFormulaMalformed, 0},
                        {"#Random()", kFormulaMalformed, 0},
                        {"1/0", kFormulaDivisionByZero, 0},
                        {"1/(1-1)", kFormulaDivisionByZero, 0},
                        {"(4+1/0)*2", kFormulaDivisionByZero, 0},
                    });
}

// Numbers begin with a digit; anything else is a scalar (0 when there is none), an array element
// or a built-in.
TEST_F(FormulaArithmetic, Operands) {
    const auto eval = FormulaEvaluatorFor(gs);
    ASSERT_TRUE(gs.ScriptVariables.SetVariable("gold", 1500, eval));
    ASSERT_TRUE(gs.ScriptVariables.SetVariable("a[2]", 7, eval));
    ExpectCases(gs, {
                        {".5", kFormulaOk, 0},
                        {"12abc", kFormulaOk, 12},
                        {"1e3", kFormulaOk, 1000},
                        {"gold/100", kFormulaOk, 15},
                        {"nobody+1", kFormulaOk, 1},
                        {"#NotABuiltin", kFormulaOk, 0},
                        {"a[2]", kFormulaOk, 7},
                        {"a[1+1]*a[ (2) ]", kFormulaOk, 49},
                        {"a[2.9]", kFormulaOk, 7},
                        {"a[30000]", kFormulaOk, 0},
                        {"b[3]", kFormulaOk, 0},
                        {"a[-1]", kFormulaBadArgument, 0},
                        {"a[30001]", kFormulaBadArgument, 0},
                        {"a[1/0]", kFormulaDivisionByZero, 0},
                        {"a[2*-1]", kFormulaMalformed, 0},
                        {"a[2", kFormulaMalformed, 0},
                        {"\xff\xfe\x80", kFormulaOk, 0},
                        {std::string("x\0y", 3), kFormulaOk, 0},
                    });
}

// A failure inside a number argument is malformed, whatever it was; a house argument that fails
// is a bad argument.
TEST_F(FormulaArithmetic, NumberArguments) {
    ExpectCases(gs, {
                        {"#Round(2.5)", kFormulaOk, 3},
                        {"#Round(-2.5)", kFormulaOk, -3},
                        {"#Round(2.4)", kFormulaOk, 2},
                        {"#Round(0.5)", kFormulaOk, 1},
                        {"#Round(-0.5)", kFormulaOk, -1},
                        // the largest double below one half: adding 0.5 first would give 1
                        {"#Round(0.49999999999999994)", kFormulaOk, 0},
                        {"#Round(-0.49999999999999994)", kFormulaOk, 0},
                        {"#Round(1e300)", kFormulaOk, 2147483647},
                        {"#Floor(-0.5)", kFormulaOk, -1},
                        {"#Ceil(0.2)", kFormulaOk, 1},
                        {"#Floor (7/2)*2", kFormulaOk, 6},
                        {"#Round(#Floor(2.7)+0.5)", kFormulaOk, 3},
                        {"#Round(1/0)", kFormulaMalformed, 0},
                        {"#Round", kFormulaMalformed, 0},
                        {"#Round(1", kFormulaMalformed, 0},
                        {"#Round()", kFormulaMalformed, 0},
                        {"#大名番号(1/0)", kFormulaBadArgument, 0},
                    });
}

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

// Whatever the text, an error code or a value: no crash, no unbounded recursion.
TEST_F(FormulaArithmetic, BadInputGivesACode) {
    ExpectCases(gs, {
                        {Repeat("(", 10000) + "1" + Repeat(")", 10000), kFormulaOk, 1},
                        {Repeat("(", 10000), kFormulaMalformed, 0},
                        {Repeat(")", 10000), kFormulaMalformed, 0},
                        {Repeat("1+(", 99) + "1" + Repeat(")", 99), kFormulaOk, 100},
                        {Repeat("1+(", 150) + "1" + Repeat(")", 150), kFormulaMalformed, 0},
                        {Repeat("#Floor(", 30) + "1" + Repeat(")", 30), kFormulaOk, 1},
                        {Repeat("#Floor(", 10000) + "1" + Repeat(")", 10000), kFormulaMalformed, 0},
                        {Repeat("a[", 5000) + "1" + Repeat("]", 5000), kFormulaMalformed, 0},
                        {Repeat("1+", 100000) + "1", kFormulaOk, 100001},
                        {std::string(998, '0') + "5", kFormulaOk, 5},
                        {std::string(1000, 'x'), kFormulaMalformed, 0},
                        {"1e999", kFormulaMalformed, 0},
                        {"1e300*1e300", kFormulaMalformed, 0},
                        {"1e300*1e300-1e300*1e300", kFormulaMalformed, 0},
                        {"NaN", kFormulaOk, 0},
                        {"inf", kFormulaOk, 0},
                        {"1e308*10/10", kFormulaMalformed, 0},
                    });
}

// ---------------------------------------------------------------------------------------------
// Built-ins over a world of three houses: house 0 holds castles 0 and 1, house 1 castle 2, house
// 2 (a vassal of house 0) castle 3; house 2 besieges castle 2. Soldier unit 10.
struct FormulaWorld : TestWorld {
    int head0, head1, vassalGeneral, besieger, captive;

    FormulaWorld() : TestWorld({.castles = 4, .houses = 3, .soldierUnit = 10}) {
        Own(2, 1);
        Own(3, 2);
        const int yields[] = {10000, 20000, 50000, 5000};
        for (int c = 0; c < 4; ++c)
            gs.ShiroTbl[static_cast<std::size_t>(c)].kokudaka = static_cast<std::uint32_t>(yields[c]);
        MakeVassal(2, 0);
        head0 = AddBushou(0, 0, {.foot = 100, .cavalry = 10});
        gs.BushouTbl[head0].muskets = 5;
        head1 = AddBushou(1, 2, {.foot = 40});
        vassalGeneral = AddBushou(2, 3, {.foot = 7});
        besieger = Besiege(2, 2, {.foot = 3});
        captive = AddBushou(CBushou::kDaimyouHitojichi, 1);
        gs.BushouTbl[captive].status = CBushou::kStatusHoryo;
        gs.BushouTbl[captive].holderDaimyou = 0;
        gs.BushouTbl[captive].originDaimyou = 1;
        gs.DaimyouTbl[0].toushu = head0;
        gs.DaimyouTbl[1].toushu = head1;
        gs.DaimyouTbl[2].toushu = -2;  // between heads: still in play
        gs.DaimyouTbl[1].shikin = 777;
        gs.DaimyouTbl[0].kouzanGijutsu = 25;
        gs.DaimyouTbl[0].koukaiGijutsu = 300;
        // Castle identifiers S0..S3; general identifiers B0 (general 0 on stage) and B9 (an id no
        // general on stage has).
        std::vector<CNameIndex::IdSlot> castles(4);
        for (int c = 0; c < 4; ++c)
            std::snprintf(castles[static_cast<std::size_t>(c)].data(), CNameIndex::kSlotBytes, "S%d", c);
        gs.NameIndex.SetList3(4, castles.data());
        std::vector<CNameIndex::IdSlot> generals(10);
        for (int i = 0; i < 10; ++i)
            std::snprintf(generals[static_cast<std::size_t>(i)].data(), CNameIndex::kSlotBytes, "B%d", i);
        gs.NameIndex.SetList4(10, generals.data());
        gs.BushouTbl[head0].id = 0;
    }
};

TEST(FormulaBuiltins, EveryBuiltinIsKnownByName) {
    EXPECT_EQ(BuiltinCount(), 55u);
    EXPECT_NE(FindBuiltin("#石高順大名"), nullptr);
    EXPECT_EQ(FindBuiltin("#round"), nullptr) << "names are compared byte for byte";
}

TEST(FormulaBuiltins, QueriesOfTheGame) {
    FormulaWorld w;
    ExpectCases(w.gs, {
                          // no argument
                          {"#Year*100+#Month", kFormulaOk, 156004},
                          {"#Edition", kFormulaOk, 0},
                          {"#生存大名数", kFormulaOk, 3},
                          {"#生存独立大名数", kFormulaOk, 2},
                          {"#プレイヤー大名", kFormulaOk, 1},
                          {"#統一成立", kFormulaOk, 0},
                          // rankings: house 1 50000; house 0 30000 own, 35000 with its vassal
                          {"#石高順大名(1)", kFormulaOk, 2},
                          {"#石高順大名(2.9)", kFormulaOk, 1},
                          {"#石高順大名(3)", kFormulaOk, 3},
                          {"#石高順独立大名(2)", kFormulaOk, 1},
                          {"#直轄石高順大名(2)", kFormulaOk, 1},
                          {"#石高順大名(0)", kFormulaMalformed, 0},
                          {"#石高順大名(4)", kFormulaMalformed, 0},
                          {"#石高順独立大名(3)", kFormulaMalformed, 0},
                          {"#ランダム上位大名(0)", kFormulaMalformed, 0},
                          {"#ランダム上位大名(1)", kFormulaOk, 2},
                          // houses, by number or identifier
                          {"#大名番号(H2)", kFormulaOk, 3},
                          {"#大名番号(2.9)", kFormulaOk, 2},
                          {"#大名番号(0)", kFormulaBadArgument, 0},
                          {"#大名番号(4)", kFormulaBadArgument, 0},
                          {"#大名番号(H9)", kFormulaBadArgument, 0},
                          {"#大名番号", kFormulaMalformed, 0},
                          {"#主家大名(3)", kFormulaOk, 1},
                          {"#主家大名(2)", kFormulaOk, 2},
                          {"#城数(1)", kFormulaOk, 3},
                          {"#直轄城数(1)", kFormulaOk, 2},
                          {"#石高(1)", kFormulaOk, 35000},
                          {"#直轄石高(1)", kFormulaOk, 30000},
                          {"#直轄足軽兵数(1)", kFormulaOk, 1000},
                          {"#直轄騎馬兵数(1)", kFormulaOk, 100},
                          {"#直轄鉄砲数(1)", kFormulaOk, 50},
                          {"#足軽兵数(1)", kFormulaOk, 1100},
                          {"#臣従大名数(1)", kFormulaOk, 1},
                          {"#従属大名数(1)", kFormulaOk, 0},
                          {"#資金(2)", kFormulaOk, 777},
                          {"#鉱山技術(1)", kFormulaOk, 2.5},
                          {"#航海技術(1)", kFormulaOk, 300},
                          {"#当主(2)", kFormulaOk, 2},
                          {"#当主(3)", kFormulaOk, 0},
                          {"#当主城(1)", kFormulaOk, 1},
                          {"#大名家直属武将数(1)", kFormulaOk, 1},
                          {"#大名家武将数(1)", kFormulaOk, 3},
                          {"#大名家武将数(3)", kFormulaOk, 2},
                          // castles
                          {"#城番号(S3)", kFormulaOk, 4},
                          {"#城番号(5)", kFormulaBadArgument, 0},
                          {"#城支配大名(3)", kFormulaOk, 2},
                          {"#城武将数(3)", kFormulaOk, 1},
                          {"#城包囲武将数(3)", kFormulaOk, 1},
                          {"#城包囲大名(3)", kFormulaOk, 1},
                          {"#城包囲大名(1)", kFormulaOk, 0},
                          // generals; B9 names a general who is not on stage
                          {"#武将番号(B0)", kFormulaOk, 1},
                          {"#武将番号(B9)", kFormulaOk, 0},
                          {"#武将番号(6)", kFormulaBadArgument, 0},
                          {"#城(2)", kFormulaOk, 3},
                          {"#包囲中(4)", kFormulaOk, 1},
                          {"#包囲中(1)", kFormulaOk, 0},
                          {"#所属大名(3)", kFormulaOk, 3},
                          {"#所属大名(5)", kFormulaOk, 2},
                          {"#捕虜大名(5)", kFormulaOk, 1},
                          {"#人質大名(5)", kFormulaOk, 0},
                          {"#武将足軽兵数(2)", kFormulaOk, 400},
                          {"#武将騎馬兵数(1)", kFormulaOk, 100},
                          {"#武将鉄砲数(1)", kFormulaOk, 50},
                          // built-ins inside arguments and formulas
                          {"#城支配大名(#当主城(#石高順大名(2)))", kFormulaOk, 1},
                          {"#石高(#城支配大名(S2))/1000", kFormulaOk, 50},
                      });
}

// The dummy house a started game appends is no house of the scenario.
TEST(FormulaBuiltins, TheDummyHouseIsOutsideTheScenarioHouses) {
    FormulaWorld w;
    w.Start(-1);
    ASSERT_EQ(w.gs.nScenarioDaimyou, 4);
    ExpectCases(w.gs, {{"#大名番号(3)", kFormulaOk, 3}, {"#大名番号(4)", kFormulaBadArgument, 0}});
}

// "#Random" and the random picks draw from the game's random source, one draw each.
TEST(FormulaBuiltins, RandomPicksDrawFromTheGamesSource) {
    TestWorld w({.castles = 12, .houses = 12});
    for (int c = 0; c < 12; ++c) {
        w.Own(c, c);
        w.gs.ShiroTbl[static_cast<std::size_t>(c)].kokudaka = static_cast<std::uint32_t>(1000 * (c + 1));
        w.gs.DaimyouTbl[c].toushu = -2;
    }
    Random expected = w.gs.rng;
    double value = 0;
    ASSERT_EQ(EvaluateFormula(w.gs, "#Random", value), kFormulaOk);
    EXPECT_DOUBLE_EQ(value, expected.Unit());
    EXPECT_EQ(w.gs.rng.State(), expected.State());

    std::set<int> picked;
    for (int i = 0; i < 400; ++i) {
        ASSERT_EQ(EvaluateFormula(w.gs, "#ランダム上位大名(100)", value), kFormulaOk);
        picked.insert(static_cast<int>(value));
        // The largest yield ranks first: the top-1 pick is always house 12.
        ASSERT_EQ(EvaluateFormula(w.gs, "#ランダム上位大名(1)", value), kFormulaOk);
        EXPECT_EQ(value, 12);
    }
    EXPECT_EQ(picked.size(), 12u) << "100 is lowered to the 12 ranked houses";
    EXPECT_EQ(*picked.begin(), 1);
    EXPECT_EQ(*picked.rbegin(), 12);

    w.gs.DaimyouTbl[3].toushu = -1;  // house 4 has fallen
    w.gs.DaimyouTbl[5].bond = CDaimyou::kBondJuuzoku;
    std::set<int> independent;
    for (int i = 0; i < 400; ++i) {
        ASSERT_EQ(EvaluateFormula(w.gs, "#ランダム独立大名", value), kFormulaOk);
        independent.insert(static_cast<int>(value));
    }
    EXPECT_EQ(independent.size(), 10u);
    EXPECT_FALSE(independent.count(4));
    EXPECT_FALSE(independent.count(6));
}

TEST(FormulaBuiltins, AssignmentsIndexArraysWithFormulas) {
    FormulaWorld w;
    CScriptVariables& vars = w.gs.ScriptVariables;
    const auto eval = FormulaEvaluatorFor(w.gs);
    ASSERT_TRUE(vars.SetVariable("a[#大名番号(H2)*2]", 5, eval));
    EXPECT_FALSE(vars.SetVariable("a[#大名番号(0)]", 5, eval));
    EXPECT_FALSE(vars.SetVariable("a[1/0]", 5, eval));
    int status = -1;
    EXPECT_EQ(vars.GetArrayValue("a", 6, status), 5);
    EXPECT_EQ(vars.Arrays().at(0).values.size(), 7u);
}

TEST(FormulaErrors, TheAuthorIsToldTheEventAndTheFormula) {
    TestWorld w({.houses = 1});
    w.gs.ConditionalEventArray.resize(3);
    w.gs.ConditionalEventArray[2].title = "桶狭間";
    const GameContext ctx{w.gs, w.map, w.ports};
    ReportFormulaError(ctx, kFormulaOk, 2, "1");
    ReportFormulaError(ctx, 4, 2, "1");
    EXPECT_TRUE(w.port.Calls().empty());
    ReportFormulaError(ctx, kFormulaMalformed, 2, "2*-3");
    ReportFormulaError(ctx, kFormulaDivisionByZero, 2, "1/0");
    ReportFormulaError(ctx, kFormulaBadArgument, 2, "#大名番号(0)");
    const auto calls = w.port.CallsOf(PortCallKind::Inform);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].text, "条件イベント(No.3 : 桶狭間)で、数式(2*-3)が不適切です");
    EXPECT_EQ(calls[1].text, "条件イベント(No.3 : 桶狭間)で、数式(1/0)にゼロ除算が発生しました");
    EXPECT_EQ(calls[2].text,
              "条件イベント(No.3 : 桶狭間)で、数式(#大名番号(0))内の関数引数に不適切な値が指定されました");
}

}  // namespace
}  // namespace rymd::test
