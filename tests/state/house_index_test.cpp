#include "game/state/house_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "game/state/bushou_table.h"
#include "support/test_world.h"

namespace rymd {
namespace {

using test::TestWorld;

// Three castles with two generals each (0, 3 at castle 0; 1, 4 at castle 1; 2, 5 at castle 2)
// and one general nowhere.
struct Spread : TestWorld {
    Spread() : TestWorld({.castles = 3, .houses = 1}) {
        for (int g = 0; g < 6; ++g)
            AddBushou(0, g % 3);
        AddBushou(0, -1);
    }
    // The generals whose castle field is the castle, read from the whole table.
    std::vector<int> Standing(int shiro) const {
        std::vector<int> list;
        for (int g = 0; g < gs.nBushou; ++g)
            if (gs.BushouTbl[static_cast<std::size_t>(g)].shiro == shiro) list.push_back(g);
        return list;
    }
    // The same through the index: its entries, those still at the castle.
    static std::vector<int> Standing(const GameState& gs, const ShiroBushouIndex& index, int shiro) {
        std::vector<int> list;
        for (int g : index.At(shiro))
            if (gs.BushouTbl[static_cast<std::size_t>(g)].shiro == shiro) list.push_back(g);
        return list;
    }
};

TEST(ShiroBushouIndex, FollowsTheMovesOfGeneralsInTableOrder) {
    Spread w;
    const ShiroBushouIndex index(w.gs);
    EXPECT_EQ(w.gs.shiroBushouWatch.get(), &index);
    // Moves out of table order, back and forth, and to no castle.
    for (auto [g, to] : {std::pair{5, 0}, {1, 0}, {3, 2}, {6, 1}, {5, 1}, {0, -1}, {5, 0}})
        SetBushouShiro(w.gs, g, to);
    for (int c = 0; c < 3; ++c) {
        SCOPED_TRACE(c);
        const std::vector<int>& at = index.At(c);
        EXPECT_TRUE(std::is_sorted(at.begin(), at.end()));
        EXPECT_EQ(std::adjacent_find(at.begin(), at.end()), at.end());
        EXPECT_EQ(Spread::Standing(w.gs, index, c), w.Standing(c));
    }
    EXPECT_EQ(w.Standing(0), (std::vector<int>{1, 5}));
    EXPECT_TRUE(index.At(-1).empty());
    EXPECT_TRUE(index.At(3).empty());
    EXPECT_TRUE(index.Current());
}

TEST(ShiroBushouIndex, WatchesOnlyWhileItLivesAndNotThroughACopy) {
    Spread w;
    {
        const ShiroBushouIndex index(w.gs);
        const auto copy = std::make_unique<GameState>(w.gs);
        EXPECT_EQ(copy->shiroBushouWatch.get(), nullptr);
        SetBushouShiro(*copy, 0, 2);  // the copy's moves are its own
        EXPECT_EQ(Spread::Standing(w.gs, index, 2), w.Standing(2));
        EXPECT_EQ(w.gs.shiroBushouWatch.get(), &index);
    }
    EXPECT_EQ(w.gs.shiroBushouWatch.get(), nullptr);
    SetBushouShiro(w.gs, 0, 2);  // nobody watches: only the field changes
    EXPECT_EQ(w.gs.BushouTbl[0].shiro, 2);
}

// Once the general table is renumbered or changes its count the index is stale.
TEST(ShiroBushouIndex, IsStaleAfterTheTableChanges) {
    struct Case {
        const char* name;
        std::function<void(Spread&)> change;
        bool current;
    };
    const Case cases[] = {
        {"a move", [](Spread& w) { SetBushouShiro(w.gs, 0, 1); }, true},
        {"an erased general", [](Spread& w) { EraseBushouRecord(w.gs, 2); }, false},
        {"generals erased together",
         [](Spread& w) {
             EraseBushouRecords(w.gs, std::vector<std::uint8_t>{0, 1});
         },
         false},
        {"a general moved to the end", [](Spread& w) { MoveBushouRecordToEnd(w.gs, 0); }, false},
        {"a new general", [](Spread& w) { w.AddBushou(0, 1); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Spread w;
        const ShiroBushouIndex index(w.gs);
        c.change(w);
        EXPECT_EQ(index.Current(), c.current);
    }
}

}  // namespace
}  // namespace rymd
