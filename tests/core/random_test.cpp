#include "platform/core/random.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rymd {
namespace {

TEST(Random, ClassicSequences) {
    Random r(1);
    for (int expected : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(r.Next(), expected);

    Random zero(0);
    EXPECT_EQ(zero.Next(), 38);

    Random byDefault;
    EXPECT_EQ(byDefault.Next(), 41);

    // Reseeding restarts the sequence; the state can be carried over.
    r.Seed(1);
    EXPECT_EQ(r.Next(), 41);
    Random copy(r.State());
    EXPECT_EQ(copy.Next(), r.Next());
}

// A seed whose first draw is the given value, found by search.
std::uint32_t SeedDrawing(int value) {
    for (std::uint32_t seed = 0;; ++seed) {
        if (Random(seed).Next() == value) return seed;
    }
}

TEST(Random, ScalingsAtTheEnds) {
    const std::uint32_t top = SeedDrawing(32767);
    const std::uint32_t bottom = SeedDrawing(0);

    EXPECT_EQ(Random(top).Unit(), 1.0);
    EXPECT_LT(Random(top).UnitOpen(), 1.0);
    EXPECT_EQ(Random(top).UnitOpen(), 32767.0 / 32768.0);
    EXPECT_EQ(Random(top).Signed(), 1.0);
    EXPECT_EQ(Random(top).Below(10), 9);

    EXPECT_EQ(Random(bottom).Unit(), 0.0);
    EXPECT_EQ(Random(bottom).UnitOpen(), 0.0);
    EXPECT_EQ(Random(bottom).Signed(), -1.0);
    EXPECT_EQ(Random(bottom).Below(10), 0);
}

TEST(Random, ScalingsStayInRange) {
    Random r(12345);
    for (int i = 0; i < 100000; ++i) {
        const int v = r.Next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, Random::kRandMax);
        const double u = r.Unit();
        ASSERT_GE(u, 0.0);
        ASSERT_LE(u, 1.0);
        const double o = r.UnitOpen();
        ASSERT_GE(o, 0.0);
        ASSERT_LT(o, 1.0);
        const double s = r.Signed();
        ASSERT_GE(s, -1.0);
        ASSERT_LE(s, 1.0);
        for (int n : {1, 2, 7, 100, 32768, 100000}) {
            const int b = r.Below(n);
            ASSERT_GE(b, 0);
            ASSERT_LT(b, n);
        }
    }
}

struct Recorder final : RandomTracer {
    std::vector<std::string> draws;  // "line value"
    void OnDraw(const CallSite& where, int value) override {
        EXPECT_NE(std::string(where.file_name()).find("random_test.cpp"), std::string::npos);
        draws.push_back(std::to_string(where.line()) + " " + std::to_string(value));
    }
};

TEST(Random, ATracerSeesEveryDrawAtItsCallSiteAndChangesNone) {
    Random plain(99), traced(99);
    Recorder rec;
    traced.SetTracer(&rec);
    const unsigned line = __LINE__;
    EXPECT_EQ(traced.Next(), plain.Next());
    EXPECT_EQ(traced.Unit(), plain.Unit());
    EXPECT_EQ(traced.UnitOpen(), plain.UnitOpen());
    EXPECT_EQ(traced.Signed(), plain.Signed());
    EXPECT_EQ(traced.Below(7), plain.Below(7));
    ASSERT_EQ(rec.draws.size(), 5u);  // one line a draw, scaled or not
    Random replay(99);
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(rec.draws[i], std::to_string(line + 1 + i) + " " + std::to_string(replay.Next()));

    // A copy does not trace; a new value assigned keeps the tracer; none stops it.
    Random copy = traced;
    copy.Next();
    traced = Random(5);
    EXPECT_EQ(traced.Tracer(), &rec);
    traced.Next();
    traced.SetTracer(nullptr);
    traced.Next();
    EXPECT_EQ(rec.draws.size(), 6u);
}

TEST(Random, ABlockDrawsWhatSingleDrawsDraw) {
    // Every length, from seeds whose states wrap around 2^32 within the block.
    for (std::uint32_t seed : {0u, 1u, 99u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        for (int n = 0; n <= Random::kMaxBlock; ++n) {
            Random single(seed), block(seed);
            std::vector<int> drawn(static_cast<std::size_t>(Random::kMaxBlock), -1);
            block.NextBlock(drawn.data(), n);
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(drawn[static_cast<std::size_t>(i)], single.Next())
                    << "seed " << seed << " draw " << i << " of " << n;
            EXPECT_EQ(block.State(), single.State()) << "seed " << seed << ", " << n << " draws";
            if (n < Random::kMaxBlock) {
                EXPECT_EQ(drawn[static_cast<std::size_t>(n)], -1);  // nothing past the block
            }
        }
    }
}

TEST(Random, ATracerSeesEachDrawOfABlockAtTheBlocksCallSite) {
    Random plain(7), traced(7);
    Recorder rec;
    traced.SetTracer(&rec);
    int drawn[3] = {};
    const unsigned line = __LINE__ + 1;
    traced.NextBlock(drawn, 3);
    ASSERT_EQ(rec.draws.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const int v = plain.Next();
        EXPECT_EQ(drawn[i], v);
        EXPECT_EQ(rec.draws[static_cast<std::size_t>(i)], std::to_string(line) + " " + std::to_string(v));
    }
    EXPECT_EQ(traced.State(), plain.State());
}

}  // namespace
}  // namespace rymd
