// Message texts with placeholders: the date, names chosen by formulas and the script variables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/events/formula.h"
#include "game/events/text_substitution.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

// Two houses 家0 and 家1, castles 城0 .. 城2 (castle 2 is house 1's), house 1's head 将0 in castle 2.
struct TextWorld : TestWorld {
    TextWorld() : TestWorld({.castles = 3, .houses = 2}) {
        Own(2, 1);
        gs.DaimyouTbl[1].toushu = AddBushou(1, 2);
        const auto eval = FormulaEvaluatorFor(gs);
        EXPECT_TRUE(gs.ScriptVariables.SetVariable("gold", 1500, eval));
        EXPECT_TRUE(gs.ScriptVariables.SetVariable("rate", 2.5, eval));
        EXPECT_TRUE(gs.ScriptVariables.SetVariable("Year", 7, eval));
        EXPECT_TRUE(gs.ScriptVariables.SetVariable("a[1]", 9, eval));
        EXPECT_TRUE(gs.ScriptVariables.SetVariable("a[2]", -4, eval));
    }
};

TEST(TextSubstitution, EveryKindOfPlaceholder) {
    TextWorld w;
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"%Year%年%Month%月", "1560年4月"},
        {"%大名1%", "家0"},
        {"%大名0%", "???"},
        {"%大名3%と%大名2%", "???と家1"},
        {"%大名#城支配大名(3)%の%城#当主城(2)%", "家1の城2"},
        {"%大名1/0%", "???"},
        {"%大名2", "家1"},
        {"%武将1%", "将0"},
        {"%武将2%", "???"},
        {"%gold%", "1500"},
        {"%rate%", "2.50000"},
        {"%Year%", "1560"},
        {"%a[1]% %a[2]% %a[5]% %a[0]%", "9 -4 0 0"},
        {"%a[gold-1499]%", "9"},
        {"%a[-1]%", "%a[インデックス異常]%"},
        {"%a[1/0]%", "%a[インデックス異常]%"},
        {"%a[30000]%", "0"},
        {"%a[30000.5]%", "%a[インデックス異常]%"},  // only 0..30000 itself, not below 30001
        {"%a[30001]%", "%a[インデックス異常]%"},
        {"%a[1]", "%a[1]"},
        {"%a[1%", "%a[1%"},
        {"%b[1]%", "%b[1]%"},
        {"%nobody%", "%nobody%"},
        {"100%", "100%"},
        {"平穏な月", "平穏な月"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SubstituteText(w.gs, c.text), c.shown) << c.text;
}

// A name put in by a pass is not read again as a placeholder of the same pass.
TEST(TextSubstitution, InsertedNamesAreNotRescanned) {
    TextWorld w;
    w.gs.DaimyouTbl[0].name = "%大名2%";
    EXPECT_EQ(SubstituteText(w.gs, "%大名1%"), "%大名2%");
}

}  // namespace
}  // namespace rymd::test
