// Extreme values in the bundled scenario: what the reader keeps must play for months without
// an arithmetic overflow (the sanitizer build reports one as "runtime error"), and what cannot
// be played is refused by `check` with code 22.
#include <gtest/gtest.h>

#include "support/bundled_scenario_copy.h"
#include "support/run_cli.h"

#include <string>

namespace {

using rymd::test::CliOutcome;

// The tool's standard output and standard error together.
CliOutcome RunCliWithErrors(const std::string& args) {
    return rymd::test::RunCli(args, "2>&1");
}

const std::string kStartYear = "StartYear : 1560";
const std::string kYamashiro = "K_YAMASHIRO : 11 : 356 : 583 : 376 : 617";

struct ValueCase {
    const char* name;
    std::string line;  // replaces `replaced`
    std::string replaced;
};

TEST(CliExtremeValues, TheLargestKeptValuesPlayWithoutOverflow) {
    const ValueCase cases[] = {
        {"start year 9999", "StartYear : 9999", kStartYear},
        {"start year -9999", "StartYear : -9999", kStartYear},
        {"start year -1", "StartYear : -1", kStartYear},
        {"provisions per size step at the int maximum", kStartYear + "\r\nShiroHyourouMax : 2147483647",
         kStartYear},
        {"provisions per size step 1", kStartYear + "\r\nShiroHyourouMax : 1", kStartYear},
        {"main map view at the map bounds",
         kStartYear + "\r\nMainMapKakudai : -16777216 : -16777216 : 16777216 : 16777216", kStartYear},
        {"province area at the map bounds", "K_YAMASHIRO : 11 : -16777216 : -16777216 : 16777216 : 16777216",
         kYamashiro},
    };
    rymd::test::BundledScenarioCopy copy;
    for (const ValueCase& c : cases) {
        const std::string file = copy.Write(c.replaced, c.line);
        const CliOutcome o = RunCliWithErrors("run " + file + " --months 14 --seed 3 --spectator");
        EXPECT_EQ(o.status, 0) << c.name << '\n' << o.out;
        EXPECT_EQ(o.out.find("runtime error"), std::string::npos) << c.name << '\n' << o.out;
    }
}

TEST(CliExtremeValues, ValuesThatCannotBePlayedAreRefusedOnTheirLine) {
    const ValueCase cases[] = {
        {"start year at the int maximum", "StartYear : 2147483647", kStartYear},
        {"start year at the int minimum", "StartYear : -2147483648", kStartYear},
        {"provisions per size step negative", "ShiroHyourouMax : -2000", kStartYear},
        {"main map view right at the int maximum", "MainMapKakudai : 0 : 0 : 2147483647 : 10", kStartYear},
        {"province area bottom at the int maximum", "K_YAMASHIRO : 11 : 356 : 583 : 376 : 2147483647",
         kYamashiro},
    };
    rymd::test::BundledScenarioCopy copy;
    for (const ValueCase& c : cases) {
        const std::string file = copy.Write(c.replaced, c.line);
        const CliOutcome o = RunCliWithErrors("check " + file);
        EXPECT_EQ(o.status, 22) << c.name << '\n' << o.out;
        EXPECT_EQ(o.out.rfind("整数を指定すべきところに整数以外の文字があります(Line No.", 0), 0u)
            << c.name << '\n'
            << o.out;
        // A game is not started on them (before, it ran into the overflow).
        const CliOutcome run = RunCliWithErrors("run " + file + " --months 14 --seed 3 --spectator");
        EXPECT_EQ(run.status, 22) << c.name << '\n' << run.out;
        EXPECT_EQ(run.out.find("runtime error"), std::string::npos) << c.name << '\n' << run.out;
    }
}

// Happenings with values at the ends of the numbers on the bundled scenario, played as 織田 with
// the invariant check: every castle value stays within its bounds (before, a maximum economy of
// -2147483648 left 清洲城 with an economy of -32768, and --check did not see it).
TEST(CliExtremeValues, HappeningsKeepCastleValuesWithinTheirBounds) {
    const char* const happenings[] = {
        "HAPPENING_SHIRO_MAX_KEIZAI : NONE : NONE : S_KIYOSU : NONE : NONE : NONE : \"-2147483648\" : \"\"",
        "HAPPENING_SHIRO_MAX_KOUZAN : NONE : NONE : S_KIYOSU : NONE : NONE : NONE : \"-2147483648\" : \"\"",
        "HAPPENING_SHIRO_MAX_KOKUDAKA : NONE : NONE : S_KIYOSU : NONE : NONE : NONE : \"-2147483648\" : \"\"",
        "HAPPENING_SHIRO_MAX_KOKUDAKA : NONE : NONE : S_KIYOSU : NONE : NONE : NONE : \"1e300\" : \"\"",
        "HAPPENING_DAIMYOU_KEIZAI_PLUS : D_ODA : NONE : NONE : NONE : NONE : NONE : \"-2147483648\" : \"\"",
        "HAPPENING_DAIMYOU_HYOUROU_PLUS : D_ODA : NONE : NONE : NONE : NONE : NONE : \"2147483647\" : \"\"",
    };
    rymd::test::BundledScenarioCopy copy;
    for (const char* happening : happenings) {
        const std::string event = std::string("ConditionalEvent {\r\nE_PROBE {\r\nTitle : \"p\"\r\n") +
                                  "PeriodStart : 1560 : 5\r\nPeriodEnd : 1560 : 12\r\nLogic : AND\r\n" +
                                  "RepeatType : ONCE\r\nSubRoutine : NO\r\nLoopType : NONE\r\n" +
                                  "Condition {\r\n}\r\nHappening {\r\n" + happening + "\r\n}\r\n}";
        const std::string file = copy.Write("ConditionalEvent {", event);
        const CliOutcome o =
            rymd::test::RunCli("run " + file + " --months 1 --seed 3 --house D_ODA --check --dump -");
        EXPECT_EQ(o.status, 0) << happening;
        EXPECT_EQ(o.out.find("\"economy\":-"), std::string::npos) << happening;
        EXPECT_NE(o.out.find("\"id\":\"S_KIYOSU\""), std::string::npos) << happening;
    }
}

}  // namespace
