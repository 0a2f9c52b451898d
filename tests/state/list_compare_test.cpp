#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "game/state/game_state.h"
#include "game/state/sort_list.h"

namespace rymd {
namespace {

class ListCompare : public ::testing::Test {
protected:
    void SetUp() override {
        gs = std::make_unique<GameState>();
        GameState& g = *gs;
        // House 0 independent, head general 0; house 1 a vassal, head general 2.
        g.nDaimyou = 2;
        g.DaimyouTbl[0].toushu = 0;
        g.DaimyouTbl[0].bond = CDaimyou::kBondDokuritsu;
        g.DaimyouTbl[1].toushu = 2;
        g.DaimyouTbl[1].bond = CDaimyou::kBondShinjuu;
        g.nBushou = 12;
        for (int i = 0; i < 12; ++i) {
            CBushou& b = g.BushouTbl[static_cast<std::size_t>(i)];
            b.gundan = -1;
            b.daimyou = 0;
        }
        g.BushouTbl[2].daimyou = 1;
        // Corps 5 led by general 3; general 1 serves in it.
        g.GundanTbl[5].leader = 3;
        g.BushouTbl[3].gundan = 5;
        g.BushouTbl[1].gundan = 5;
        // Castle 7 of house 0 with a garrison of 250.
        g.nShiro = 8;
        g.ShiroTbl[7].daimyou = 0;
        g.ShiroTbl[7].shubihei = 250;
    }

    int Cmp(int a, int b, int column, BushouListValues reg = {}) const {
        return CompareBushouListItem(*gs, a, b, column, reg);
    }

    std::unique_ptr<GameState> gs;
};

TEST_F(ListCompare, ListOrderPutsVassalGeneralsLast) {
    EXPECT_EQ(Cmp(0, 1, 0), -1);  // index order
    EXPECT_EQ(Cmp(1, 0, 0), 1);
    EXPECT_EQ(Cmp(4, 4, 0), 0);
    EXPECT_EQ(Cmp(2, 3, 0), 1);  // general 2 serves a vassal house
    EXPECT_EQ(Cmp(2, 11, 0), 1);
}

TEST_F(ListCompare, CommandRank) {
    struct Case {
        int a, b, expected;
    };
    const Case cases[] = {
        {0, 2, -1},  // head of an independent house (30002) before head of a vassal house (30001)
        {2, 4, -1},  // head of a vassal house before a general outside corps (30000)
        {4, 3, -1},  // outside corps before any corps
        {3, 1, -1},  // corps 5 leader (11) before member (10)
        {1, 3, 1},  {4, 5, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Cmp(c.a, c.b, 1), c.expected) << c.a << " " << c.b;
    }
}

TEST_F(ListCompare, EachColumnReadsItsField) {
    struct Case {
        int column;
        std::function<void(CBushou&, int)> set;
        bool minus;  // the key is minus the field
    };
    const Case cases[] = {
        {2, [](CBushou& b, int v) { b.birthYear = static_cast<std::int16_t>(1500 + v); }, false},
        {3, [](CBushou& b, int v) { b.cavalry = static_cast<std::int16_t>(v); }, false},
        {4, [](CBushou& b, int v) { b.foot = static_cast<std::int16_t>(v); }, false},
        {5, [](CBushou& b, int v) { b.muskets = static_cast<std::int16_t>(v); }, false},
        {6, [](CBushou& b, int v) { b.buyuu = static_cast<std::uint8_t>(v); }, false},
        {7, [](CBushou& b, int v) { b.seiji = static_cast<std::uint8_t>(v); }, false},
        {8, [](CBushou& b, int v) { b.chibou = static_cast<std::uint8_t>(v); }, false},
        {9, [](CBushou& b, int v) { b.shiro = static_cast<std::int16_t>(v); }, true},
        {10, [](CBushou& b, int v) { b.daimyou = static_cast<std::int16_t>(v - 1); }, true},
        {11, [](CBushou& b, int v) { b.yasenTousotsu = static_cast<std::uint8_t>(v); }, false},
        {12, [](CBushou& b, int v) { b.suigunTousotsu = static_cast<std::uint8_t>(v); }, false},
        {13, [](CBushou& b, int v) { b.status = static_cast<std::uint8_t>(v % 4); }, false},
    };
    for (const Case& c : cases) {
        SetUp();
        // General 10 gets 2 and general 11 gets 1 in this field; every other column is set the
        // other way round, so a column reading the wrong field gives the opposite result.
        for (const Case& o : cases) {
            if (o.column != c.column) {
                o.set(gs->BushouTbl[10], 1);
                o.set(gs->BushouTbl[11], 2);
            }
        }
        c.set(gs->BushouTbl[10], 2);
        c.set(gs->BushouTbl[11], 1);
        const int larger = c.minus ? 1 : -1;
        EXPECT_EQ(Cmp(10, 11, c.column), larger) << c.column;
        EXPECT_EQ(Cmp(11, 10, c.column), -larger) << c.column;
        EXPECT_EQ(Cmp(10, 10, c.column), 0) << c.column;
    }
}

TEST_F(ListCompare, GarrisonRowsCompareAsTheSpareGeneral) {
    const int garrison = kGarrisonRowFlag + 7;
    gs->BushouTbl[4].foot = 100;
    gs->BushouTbl[4].buyuu = 5;
    gs->BushouTbl[4].cavalry = 1;
    gs->BushouTbl[4].shiro = 7;
    EXPECT_EQ(Cmp(garrison, 4, 4), -1);  // 250 foot against 100
    EXPECT_EQ(Cmp(garrison, 4, 6), 1);   // valour 3 against 5
    EXPECT_EQ(Cmp(garrison, 4, 3), 1);   // no cavalry
    EXPECT_EQ(Cmp(garrison, 5, 3), 0);
    EXPECT_EQ(Cmp(garrison, 4, 1), 0);   // no corps, heads nothing: 30000
    EXPECT_EQ(Cmp(garrison, 4, 9), 0);   // stands at its castle
    EXPECT_EQ(Cmp(garrison, 4, 10), 0);  // for the castle's owner
    EXPECT_EQ(Cmp(garrison, 4, 0), 1);   // list order: after the generals
}

TEST_F(ListCompare, RegisteredValueColumn) {
    std::vector<std::int32_t> reg(30000, 0);
    reg[4] = 1;
    reg[5] = 0;
    EXPECT_EQ(Cmp(4, 5, 14, reg), -1);
    EXPECT_EQ(Cmp(5, 4, 14, reg), 1);
    EXPECT_EQ(Cmp(4, 5, 14), 0);                          // none registered: every key 0
    EXPECT_EQ(Cmp(kGarrisonRowFlag + 7, 5, 14, reg), 0);  // garrison rows 0
    reg[6] = -1;
    EXPECT_EQ(Cmp(kGarrisonRowFlag + 7, 6, 14, reg), -1);
    const std::vector<std::int32_t> shortTable(5, 9);
    EXPECT_EQ(Cmp(4, 5, 14, shortTable), -1);  // 9 against general 5, past the table: 0
}

TEST_F(ListCompare, OtherColumnsAndBadItemsAreHarmless) {
    gs->BushouTbl[4].foot = 100;
    for (int column : {-1, 15, 99}) {
        EXPECT_EQ(Cmp(4, 5, column), 0);
    }
    for (int bad : {-5, 30000, kGarrisonRowFlag + 10000, 1 << 30, -2147483647 - 1, 2147483647}) {
        for (int column = 0; column <= 14; ++column) {
            const int r = Cmp(bad, 4, column);
            EXPECT_TRUE(r >= -1 && r <= 1);
        }
    }
}

TEST_F(ListCompare, HouseListColumns) {
    std::vector<std::int32_t> values(static_cast<std::size_t>(kDaimyouListRows * kDaimyouListValueColumns),
                                     0);
    auto at = [&values](int house, int k) -> std::int32_t& {
        return values[static_cast<std::size_t>(house * kDaimyouListValueColumns + k)];
    };
    // Columns 1-12 are values 0-11, columns 15-18 values 12-15.
    for (int column : {1, 2, 6, 12, 15, 16, 18}) {
        const int k = column <= 12 ? column - 1 : column - 3;
        for (int v = 0; v < kDaimyouListValueColumns; ++v) {
            at(2, v) = (v == k) ? 5 : 1;
            at(3, v) = (v == k) ? 3 : 9;
        }
        EXPECT_EQ(CompareDaimyouListItem(*gs, values, 2, 3, column), -1) << column;
        EXPECT_EQ(CompareDaimyouListItem(*gs, values, 3, 2, column), 1) << column;
    }
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, 2, 3, 0), -1);  // index order
    gs->DaimyouTbl[2].kouzanGijutsu = 10;
    gs->DaimyouTbl[3].kouzanGijutsu = 20;
    gs->DaimyouTbl[2].koukaiGijutsu = 30;
    gs->DaimyouTbl[3].koukaiGijutsu = 30;
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, 2, 3, 13), 1);
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, 2, 3, 14), 0);
    gs->nPlayerDaimyou = 3;
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, 2, 3, 19), 1);  // the player first
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, 3, 2, 19), -1);
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, 2, 3, 20), 0);
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, 2, 3, -1), 0);
    // Houses outside the table or the value table compare with zeros.
    at(2, 0) = 4;
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, 2, 5000, 1), -1);
    EXPECT_EQ(CompareDaimyouListItem(*gs, values, -7, 2, 13), 1);
    EXPECT_EQ(CompareDaimyouListItem(*gs, {}, 2, 3, 1), 0);
}

}  // namespace
}  // namespace rymd
