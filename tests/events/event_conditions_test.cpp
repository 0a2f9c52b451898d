// The condition test of the conditional events: every row of the condition table on one small
// world, the operands taken from script variables with their messages, and how AND and OR join
// the items (which items are tested at all, and which questions are asked).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/events/event_run.h"
#include "game/state/access.h"
#include "game/state/event_records.h"
#include "support/test_world.h"

namespace rymd::test {
namespace {

// Five houses in a row of castles 0-1-2-3-4, house d holding castle d with its head, general d.
// House 1 is a vassal of house 0, house 2 a subordinate of house 0, house 3 independent and the
// arch-enemy of nobody but at "no particular relation" (1) from house 0, house 4 has fallen.
// Generals 0..4 carry the ids 0..4; general 5 (id 5) of house 0 besieges castle 3; id 6 has not
// appeared yet, id 7 appeared and is gone. The player is house 0.
struct ConditionWorld : TestWorld {
    static constexpr int kBesieger = 5;
    static constexpr int kIdNotAppeared = 6;
    static constexpr int kIdDead = 7;

    ConditionWorld() : TestWorld({.houses = 5, .headsInCastles = true}) {
        Start(0);
        MakeVassal(1, 0);
        MakeSubordinate(2, 0);
        gs.DaimyouTbl[0].relation[1] = static_cast<std::uint8_t>(CDaimyou::kRelFusen | 0xF0);
        gs.DaimyouTbl[0].relation[3] = static_cast<std::uint8_t>(CDaimyou::kRelNothing | 0xF0);
        gs.DaimyouTbl[4].toushu = -1;
        Besiege(3, 0);
        for (int g = 0; g <= kBesieger; ++g)
            GiveId(g, true);
        gs.nBushouEx = kIdDead + 1;
        gs.BushouExTbl[kIdDead].birthMark = 0x80;
        gs.ConditionalEventArray.resize(1);
        gs.nConditionalEvent = 1;
        Event().title = "試験";
    }

    void GiveId(int bushou, bool appeared) {
        const int id = bushou;
        gs.BushouTbl[bushou].id = static_cast<std::int16_t>(id);
        gs.BushouExTbl[id].birthMark = appeared ? 0x80 : 0;
    }

    CConditionalEvent& Event() { return gs.ConditionalEventArray[0]; }

    // Sets the event's conditions (AND unless orMode) and tests them.
    bool Check(const std::vector<EventItem>& items, bool orMode = false) {
        CConditionalEvent& ev = Event();
        ev.conditionCount = static_cast<std::int8_t>(items.size());
        for (std::size_t k = 0; k < items.size(); ++k)
            ev.conditions[k] = items[k];
        ev.flags = orMode ? CConditionalEvent::kFlagOr : 0;
        EventRun run{GameContext{gs, map, ports}};
        return CheckCondition(run, 0);
    }
    double Var(const char* name) const { return gs.ScriptVariables.GetTokenValue(name); }
    void SetVar(const char* name, double v) { ASSERT_TRUE(gs.ScriptVariables.SetVariable(name, v, nullptr)); }
};

EventItem Item(int code, int a = 0, int b = 0, int shiro = 0, int bushou = 0, std::string d1 = "",
               std::string d2 = "") {
    EventItem i;
    i.code = static_cast<std::uint16_t>(code);
    i.daimyou1 = static_cast<std::int16_t>(a);
    i.daimyou2 = static_cast<std::int16_t>(b);
    i.shiro1 = static_cast<std::int16_t>(shiro);
    i.bushou1 = static_cast<std::int16_t>(bushou);
    i.data1 = std::move(d1);
    i.data2 = std::move(d2);
    return i;
}
EventItem Formula(int code, std::string a, std::string b) {
    return Item(code, 0, 0, 0, 0, std::move(a), std::move(b));
}
EventItem House(int code, int a, int b = 0) {
    return Item(code, a, b);
}
EventItem Castle(int code, int shiro, int a = 0) {
    return Item(code, a, 0, shiro);
}
EventItem General(int code, int id, int a = 0, int shiro = 0) {
    return Item(code, a, 0, shiro, id);
}
EventItem True() {
    return House(22, 0);  // house 0 exists
}
EventItem False() {
    return House(22, 4);  // house 4 has fallen
}
EventItem Question(bool yes, const char* text = "攻めますか？") {
    return Item(yes ? 47 : 48, 0, 0, 0, 0, "", text);
}

TEST(EventConditions, EveryRowOfTheTableOnItsMainCases) {
    ConditionWorld w;
    const int besieger = ConditionWorld::kBesieger;
    struct Case {
        const char* name;
        EventItem item;
        bool holds;
    } cases[] = {
        {"equal", Formula(0, "1+1", "2"), true},
        {"not equal", Formula(1, "1+1", "2"), false},
        {"larger", Formula(2, "3", "2"), true},
        {"larger or equal", Formula(3, "2", "2"), true},
        {"smaller", Formula(4, "3", "2"), false},
        {"smaller or equal", Formula(5, "2", "3"), true},
        {"independent", House(7, 3), true},
        {"independent: a vassal", House(7, 1), false},
        {"independent: fallen", House(7, 4), false},
        {"dependant: vassal", House(8, 1), true},
        {"dependant: subordinate", House(8, 2), true},
        {"dependant: independent", House(8, 3), false},
        {"subordinate", House(9, 2), true},
        {"subordinate: a vassal", House(9, 1), false},
        {"vassal", House(10, 1), true},
        {"dependant of 0", House(11, 1, 0), true},
        {"dependant of 0: independent", House(11, 3, 0), false},
        {"subordinate of 0", House(12, 2, 0), true},
        {"subordinate of 0: a vassal", House(12, 1, 0), false},
        {"vassal of 0", House(13, 1, 0), true},
        {"vassal of 0: a subordinate", House(13, 2, 0), false},
        {"not dependant of 0", House(14, 3, 0), true},
        {"not dependant of 0: vassal", House(14, 1, 0), false},
        {"not dependant of 0: fallen", House(14, 4, 0), false},
        {"not subordinate of 0", House(15, 1, 0), true},
        {"not subordinate of 0: subordinate", House(15, 2, 0), false},
        {"not vassal of 0", House(16, 2, 0), true},
        {"not vassal of 0: vassal", House(16, 1, 0), false},
        {"hostile at state 1", House(17, 0, 3), true},
        {"hostile at state 2", House(17, 0, 1), false},
        {"not hostile at state 2", House(18, 0, 1), true},
        {"not hostile at state 1", House(18, 0, 3), false},
        {"hostile with a fallen house", House(17, 0, 4), false},
        {"adjacent through the vassal's castle", House(19, 0, 2), true},
        {"adjacent: the subordinate's castle is not held", House(19, 0, 3), false},
        {"not adjacent", House(20, 0, 3), true},
        {"not adjacent: they are", House(20, 2, 3), false},
        {"fallen", House(21, 4), true},
        {"fallen: exists", House(21, 3), false},
        {"exists", House(22, 3), true},
        {"exists: fallen", House(22, 4), false},
        {"owner 1", Castle(23, 0, 0), true},
        {"owner 1: the vassal's castle", Castle(23, 1, 0), false},
        {"owner 2: the vassal's castle", Castle(24, 1, 0), true},
        {"owner 2: the subordinate's castle", Castle(24, 2, 0), false},
        {"owner 3: the subordinate's castle", Castle(25, 2, 0), true},
        {"owner 3: another's castle", Castle(25, 3, 0), false},
        {"not owner 1: the vassal's castle", Castle(26, 1, 0), true},
        {"not owner 2: the subordinate's castle", Castle(27, 2, 0), true},
        {"not owner 2: the vassal's castle", Castle(27, 1, 0), false},
        {"not owner 3: another's castle", Castle(28, 3, 0), true},
        {"not owner 3: the subordinate's castle", Castle(28, 2, 0), false},
        {"general exists", General(29, 1), true},
        {"general exists: gone", General(29, ConditionWorld::kIdDead), false},
        {"not appeared", General(30, ConditionWorld::kIdNotAppeared), true},
        {"not appeared: on stage", General(30, 1), false},
        {"dead", General(31, ConditionWorld::kIdDead), true},
        {"dead: on stage", General(31, 1), false},
        {"dead: not appeared", General(31, ConditionWorld::kIdNotAppeared), false},
        {"belongs to 1", General(32, 1, 1), true},
        {"belongs to 1: of house 0", General(32, 0, 1), false},
        {"a head", General(33, 1), true},
        {"a head: the besieger", General(33, besieger), false},
        {"head of 1", General(34, 1, 1), true},
        {"head of 0: he heads 1", General(34, 1, 0), false},
        {"in castle 1", General(35, 1, 0, 1), true},
        {"in castle 3: besieging it", General(35, besieger, 0, 3), false},
        {"not the player's house", House(36, 1), true},
        {"not the player's house: it is", House(36, 0), false},
        {"the player's house", House(37, 0), true},
        {"the player's house: it is not", House(37, 2), false},
        {"not the player's general", General(38, 1), true},
        {"not the player's general: he is", General(38, 0), false},
        {"the player's general", General(39, besieger), true},
        {"the player's general: he is not", General(39, 2), false},
        {"besieged", Castle(40, 3), true},
        {"besieged: not", Castle(40, 2), false},
        {"not besieged", Castle(41, 2), true},
        {"not besieged: it is", Castle(41, 3), false},
        {"belongs elsewhere", General(42, 1, 0), true},
        {"belongs elsewhere: he belongs to 1", General(42, 1, 1), false},
        {"not a head", General(43, besieger), true},
        {"not a head: he is", General(43, 2), false},
        {"not head of 0", General(44, 1, 0), true},
        {"not head of 1: he is", General(44, 1, 1), false},
        {"not in castle 3: besieging it", General(45, besieger, 0, 3), true},
        {"not in castle 1: he is", General(45, 1, 0, 1), false},
        {"not exists: gone", General(46, ConditionWorld::kIdDead), true},
        {"not exists: on stage", General(46, 1), false},
        {"code 49", House(49, 0), false},
        {"code 65535", House(65535, 0), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(w.Check({c.item}), c.holds);
    }
    EXPECT_TRUE(w.Informs().empty());
}

TEST(EventConditions, BesiegingGeneralsWithoutAHouseDoNotBesiege) {
    ConditionWorld w;
    w.gs.BushouTbl[ConditionWorld::kBesieger].daimyou = -1;
    EXPECT_FALSE(w.Check({Castle(40, 3)}));
    EXPECT_TRUE(w.Check({Castle(41, 3)}));
}

TEST(EventConditions, OperandsFromVariablesAreTableIndexesPlusOne) {
    ConditionWorld w;
    w.SetVar("DaimyouA", 2.9);  // house 1
    w.SetVar("DaimyouB", 1);    // house 0
    w.SetVar("ShiroA", 4);      // castle 3
    w.SetVar("BushouA", 2);     // general table index 1
    EXPECT_TRUE(w.Check({House(13, -1, -1)}));
    EXPECT_TRUE(w.Check({Castle(40, -1)}));
    EXPECT_TRUE(w.Check({General(32, -1, 1)}));
    // The row of the not-appeared test reads the literal id only.
    EXPECT_FALSE(w.Check({General(30, -1)}));
    EXPECT_TRUE(w.Informs().empty());
}

TEST(EventConditions, AVariableOutOfRangeIsToldAndTheItemFails) {
    struct Case {
        const char* name;
        const char* variable;
        double value;
        EventItem item;
        const char* message;
    } cases[] = {
        {"house A unset", nullptr, 0, House(22, -1), "大名A指定変数(DaimyouA=0)"},
        {"house A is the dummy house", "DaimyouA", 6, House(22, -1), "大名A指定変数(DaimyouA=6)"},
        {"house B", "DaimyouB", -1, House(17, 0, -1), "大名B指定変数(DaimyouB=-1)"},
        {"castle A", "ShiroA", 6, Castle(40, -1), "城A指定変数(ShiroA=6)"},
        {"general A", "BushouA", 0.5, General(29, -1), "武将A指定変数(BushouA=0.50000)"},
        {"general A huge", "BushouA", 1e300, General(29, -1), "武将A指定変数(BushouA="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConditionWorld w;
        if (c.variable) w.SetVar(c.variable, c.value);
        EXPECT_FALSE(w.Check({c.item}));
        ASSERT_EQ(w.Informs().size(), 1u);
        const std::string message = w.Informs()[0];
        EXPECT_EQ(message.rfind("条件イベント(No.1 : 試験)で、", 0), 0u) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_NE(message.find("の値が不適切です"), std::string::npos) << message;
    }
}

TEST(EventConditions, ABadVariableCountsForNothingInOrMode) {
    ConditionWorld w;
    EXPECT_TRUE(w.Check({House(22, -1), True()}, true));
    EXPECT_FALSE(w.Check({House(22, -1)}, true));
    EXPECT_EQ(w.Informs().size(), 2u);
}

// In AND mode a bad variable makes the result false, and the test goes on with the next item:
// that item is tested with its side effects, and then the false result ends the test.
TEST(EventConditions, ABadVariableFailsAnAndTestThatGoesOnWithTheNextItem) {
    struct Case {
        const char* name;
        std::vector<EventItem> items;
        double x;             // the variable x afterwards
        int questions;        // questions asked
        std::size_t informs;  // messages shown
    };
    const Case cases[] = {
        {"an assignment runs", {House(22, -1), Formula(6, "x", "5")}, 5.0, 0, 1},
        {"a question is asked", {House(22, -1), Question(true)}, 0.0, 1, 1},
        {"a second bad variable is told", {House(22, -1), House(17, 0, -1)}, 0.0, 0, 2},
        {"and the one after that is tested too",
         {House(22, -1), House(17, 0, -1), Formula(6, "x", "5")},
         5.0,
         0,
         2},
        {"the test ends after the next item",
         {House(22, -1), True(), Formula(6, "x", "5"), Question(true)},
         0.0,
         0,
         1},
        {"after an assignment as well",
         {House(22, -1), Formula(6, "x", "5"), Formula(6, "x", "7")},
         5.0,
         0,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConditionWorld w;
        w.port.PushYes();
        EXPECT_FALSE(w.Check(c.items));
        EXPECT_EQ(w.Var("x"), c.x);
        EXPECT_EQ(w.Texts(PortCallKind::AskYesNo).size(), static_cast<std::size_t>(c.questions));
        EXPECT_EQ(w.Informs().size(), c.informs);
    }
}

TEST(EventConditions, AndAndOrStopAsSoonAsTheResultIsKnown) {
    ConditionWorld w;
    EXPECT_FALSE(w.Check({False(), Question(true)}));
    EXPECT_TRUE(w.Check({True(), Question(true)}, true));
    EXPECT_TRUE(w.port.Calls().empty());

    w.port.PushYes();
    EXPECT_TRUE(w.Check({True(), Question(true, "出陣しますか？")}));
    w.port.PushYes();
    EXPECT_FALSE(w.Check({True(), Question(false)}));
    w.port.PushNo();
    EXPECT_TRUE(w.Check({False(), Question(false)}, true));
    // Two question rows ask twice; the text is shown as written.
    w.port.PushYes();
    w.port.PushYes();
    EXPECT_TRUE(w.Check({Question(true, "%大名1%"), Question(true)}));
    EXPECT_EQ(w.Texts(PortCallKind::AskYesNo),
              (std::vector<std::string>{"出陣しますか？", "攻めますか？", "攻めますか？", "%大名1%",
                                        "攻めますか？"}));
    EXPECT_EQ(w.port.PendingAnswers(), 0u);
}

TEST(EventConditions, AssignmentsRunInOrderAndAloneTheyHold) {
    ConditionWorld w;
    EXPECT_TRUE(w.Check({}));
    EXPECT_TRUE(w.Check({Formula(6, "x", "2"), Formula(6, "y", "x*3")}));
    EXPECT_EQ(w.Var("y"), 6.0);
    // Between other items they leave the result as it is and see the values before them.
    EXPECT_TRUE(w.Check({Formula(6, "z", "1"), Formula(0, "z", "1"), Formula(6, "z", "z+1")}));
    EXPECT_EQ(w.Var("z"), 2.0);
    // After a failing item in AND mode, or a holding one in OR mode, they do not run.
    EXPECT_FALSE(w.Check({False(), Formula(6, "a", "1")}));
    EXPECT_TRUE(w.Check({True(), Formula(6, "a", "1")}, true));
    EXPECT_EQ(w.Var("a"), 0.0);
    // Only assignments hold even in OR mode, where their running result is false.
    EXPECT_TRUE(w.Check({Formula(6, "b", "1")}, true));
    EXPECT_TRUE(w.Informs().empty());
}

TEST(EventConditions, BadFormulasAndNamesAreToldWithTheEventAndTheItemFails) {
    ConditionWorld w;
    EXPECT_FALSE(w.Check({Formula(2, "3", "2*-3")}));
    EXPECT_FALSE(w.Check({Formula(2, "1/0", "2")}));
    EXPECT_TRUE(w.Check({Formula(6, "1x", "5")}));  // still only an assignment
    const std::vector<std::string> informs = w.Informs();
    ASSERT_EQ(informs.size(), 3u);
    for (const std::string& m : informs)
        EXPECT_EQ(m.rfind("条件イベント(No.1 : 試験)で、", 0), 0u) << m;
    EXPECT_NE(informs[0].find("2*-3"), std::string::npos) << informs[0];
    EXPECT_NE(informs[1].find("1/0"), std::string::npos) << informs[1];
    EXPECT_EQ(informs[2], "条件イベント(No.1 : 試験)で、変数名(1x)が不適切です");
}

TEST(EventConditions, QuestionsGetTheirSafeAnswerInTheAllAutomaticRun) {
    ConditionWorld w;
    w.gs.bAllAutomatic = true;
    w.gs.bAutoAdvance = true;
    EXPECT_TRUE(w.Check({Question(true)}));
    EXPECT_FALSE(w.Check({Question(false)}));
    EXPECT_TRUE(w.port.Calls().empty());
    // The automatic advance alone still asks.
    w.gs.bAllAutomatic = false;
    w.port.PushNo();
    EXPECT_FALSE(w.Check({Question(true)}));
}

}  // namespace
}  // namespace rymd::test
