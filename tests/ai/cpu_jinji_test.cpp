#include "game/ai/cpu_jinji.h"

#include <gtest/gtest.h>

#include "game/diplomacy/horyo.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "support/test_world.h"

namespace rymd {
namespace {

// House 0 (castle 0) is the master of vassal 1 (castle 1); house 2 (castle 2) stands apart.
// House 0's own generals have valour and intellect 5.
struct JinjiWorld : test::TestWorld {
    CCpuJinji jinji{GameContext{gs, map, ports}};

    JinjiWorld() : TestWorld({.castles = 3, .houses = 3}) {
        Own(1, 1);
        Own(2, 2);
        MakeVassal(1, 0);
        gs.nPlayerDaimyou = 1;
        for (int i = 0; i < 2; ++i)
            Add(0, 0);
    }
    int Add(int house, int shiro) { return AddBushou(house, shiro, {.foot = 10, .cavalry = 10}); }
    CBushou& General(int g) { return gs.BushouTbl[static_cast<std::size_t>(g)]; }
    int Stats(int g, int valour, int intellect) {
        General(g).buyuu = static_cast<std::uint8_t>(valour);
        General(g).chibou = static_cast<std::uint8_t>(intellect);
        return g;
    }
    int Hostage(int origin, int age) {
        const int g = Stats(Add(CBushou::kDaimyouHitojichi, 0), 9, 9);
        CBushou& b = General(g);
        b.status = CBushou::kStatusHitojichi;
        b.originDaimyou = static_cast<std::int16_t>(origin);
        b.holderDaimyou = 0;
        b.birthYear = static_cast<std::int16_t>(gs.nCurYear - age);
        return g;
    }
};

TEST(CpuJinji, EmploysTheCaptivesThatMayServe) {
    for (bool autoAdvance : {false, true}) {
        SCOPED_TRACE(autoAdvance);
        JinjiWorld w;
        w.gs.bAutoAdvance = autoAdvance;
        w.gs.nPlayerDaimyou = 2;
        const int ready = w.Add(2, 2);
        const int attached = w.Add(2, 2);
        w.General(attached).chuusei = 9;
        TakeHoryo(w.gs, w.ports, 0, ready);
        TakeHoryo(w.gs, w.ports, 0, attached);
        w.General(ready).counter37 = 0;
        w.General(attached).counter37 = 20;
        w.port.ClearCalls();
        w.jinji.Run(0);
        EXPECT_EQ(w.General(ready).daimyou, 0);
        EXPECT_EQ(w.General(ready).status, CBushou::kStatusKashin);
        EXPECT_EQ(w.General(attached).status, CBushou::kStatusHoryo);
        std::vector<std::string> texts;
        for (const PortCall& c : w.port.CallsOf(PortCallKind::Inform))
            texts.push_back(c.text);
        if (autoAdvance)
            EXPECT_TRUE(texts.empty());
        else
            EXPECT_EQ(texts, (std::vector<std::string>{"将2 が 家0 に登用されました",
                                                       "将2は家0の家臣になりました"}));
    }
}

TEST(CpuJinji, HostagesComeOfAgeAtFifteenWhenThereIsRoom) {
    struct Case {
        const char* name;
        int age;
        bool full;
        bool want;
    };
    const Case cases[] = {
        {"aged 14", 14, false, false},
        {"aged 15", 15, false, true},
        {"aged 15 without a free place", 15, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JinjiWorld w;
        const int g = w.Hostage(1, c.age);
        if (c.full)  // the vassal's castle counts for its master too
            for (int s : {0, 1})
                w.gs.ShiroTbl[static_cast<std::size_t>(s)].nBushou = CShiro::kMaxBushou;
        w.jinji.Run(0);
        const CBushou& b = w.General(g);
        EXPECT_EQ(b.status, c.want ? CBushou::kStatusKyakushou : CBushou::kStatusHitojichi);
        EXPECT_EQ(b.daimyou, c.want ? 1 : CBushou::kDaimyouHitojichi);
        const auto informs = w.port.CallsOf(PortCallKind::Inform);
        ASSERT_EQ(informs.size(), c.want ? 1u : 0u);
        if (c.want) {
            EXPECT_EQ(informs[0].text,
                      "当家から人質に出していた 将2 が 家0 で元服し、客将に取立てられました");
        }
    }
}

TEST(CpuJinji, AVassalGivesAGuestOnlyWhenItsCandidatesAreAlike) {
    struct Case {
        const char* name;
        int secondValour;  // the first candidate has valour 8, intellect 8
        bool guestAlready;
        bool want;
    };
    const Case cases[] = {
        {"equal keys", 8, false, true},
        {"different keys", 9, false, false},
        {"a guest already among them", 8, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JinjiWorld w;
        w.gs.DaimyouTbl[1].toushu = w.Stats(w.Add(1, 1), 10, 10);  // the head is never taken
        const int first = w.Stats(w.Add(1, 1), 8, 8);
        const int second = w.Stats(w.Add(1, 1), c.secondValour, 8);
        w.Stats(w.Add(1, 1), 2, 2);  // below the master's means: no candidate
        if (c.guestAlready) w.General(second).status = CBushou::kStatusKyakushou;
        w.jinji.RunHitojichi(0);
        EXPECT_EQ(w.General(first).status == CBushou::kStatusKyakushou ||
                      w.General(second).status == CBushou::kStatusKyakushou,
                  c.want || c.guestAlready);
        if (c.want) {
            EXPECT_EQ(w.General(first).status, CBushou::kStatusKyakushou);
            EXPECT_EQ(w.General(w.gs.DaimyouTbl[1].toushu).status, CBushou::kStatusKashin);
            ASSERT_EQ(w.port.CallsOf(PortCallKind::Inform).size(), 1u);
            EXPECT_EQ(w.port.CallsOf(PortCallKind::Inform)[0].text,
                      "当家の 将3 が 家0 に客将として招かれました");
        } else {
            EXPECT_EQ(w.General(first).status, CBushou::kStatusKashin);
        }
    }
}

}  // namespace
}  // namespace rymd
