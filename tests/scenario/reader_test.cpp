#include <gtest/gtest.h>

#include <string>

#include "game/scenario/errors.h"
#include "game/state/vocabulary.h"
#include "support/scenario_test_util.h"

namespace rymd::test {
namespace {

// --- errors: code, line and the message as the player sees it ---------------------------------

struct ErrorCase {
    const char* name;
    std::string text;
    int code;
    int line;
};

class ReaderErrors : public ::testing::TestWithParam<ErrorCase> {};

std::string ErrorCaseName(const ::testing::TestParamInfo<ErrorCase>& info) {
    return CaseName(info.param.name);
}

TEST_P(ReaderErrors, ReportTheCodeOnItsLine) {
    const ErrorCase& c = GetParam();
    ReaderRun run;
    EXPECT_EQ(run.Read(c.text), c.code);
    ASSERT_EQ(run.port.CallsOf(PortCallKind::Inform).size(), 1u) << "exactly one message";
    std::string expected = std::string(ScenarioErrorMessage(c.code));
    if (c.code != kScnCipher) expected += "(Line No." + std::to_string(c.line) + ") ";
    EXPECT_EQ(run.Message(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Scenario, ReaderErrors,
    ::testing::Values(
        ErrorCase{"unknown keyword", "Title : a\n\n\n\n\n\n\n\n\n\n\nBogus : 1\n", kScnSyntax, 12},
        ErrorCase{"value not an integer", "StartYear : 15x0\n", kScnNotInteger, 1},
        ErrorCase{"real not a number", "RoadCostBroad : 1e3\n", kScnNotInteger, 1},
        ErrorCase{"negative road cost", "RoadCostSea : -1\n", kScnNotInteger, 1},
        ErrorCase{"bad language on its value's line", "Language :\nCHINESE\n", kScnSyntax, 2},
        ErrorCase{"bad YES/NO", "Keiryaku : yes\n", kScnSyntax, 1},
        ErrorCase{"section without brace", "WordAssign\nSHIRO : X\n", kScnSyntax, 2},
        ErrorCase{"soldier unit neither 1 nor 10", "HeiUnit : 5\n", kScnHeiUnit, 1},
        ErrorCase{"soldier unit 0", "HeiUnit : 0\n", kScnHeiUnit, 1},
        ErrorCase{"distance limit 0", "DistanceLimit : 0\n", kScnNotInteger, 1},
        ErrorCase{"trade-ship price 0", "KouekisenPrice : 0\n", kScnNotInteger, 1},
        ErrorCase{"warship price negative", "GunsenPrice : -5\n", kScnNotInteger, 1},
        ErrorCase{"start month 13", "StartMonth : 13\n", kScnNotInteger, 1},
        ErrorCase{"start month 0", "StartMonth : 0\n", kScnNotInteger, 1},
        ErrorCase{"start year 0", "StartYear : 0\n", kScnNotInteger, 1},
        ErrorCase{"shiro offset on one value", "ShiroOffset : 5\n", kScnSyntax, 1},
        ErrorCase{"shiro offset with a third value", "ShiroOffset : 5 : 6 : 7\n", kScnSyntax, 1},
        ErrorCase{"name offset followed by more", "ShiroNameOffset : 5 : 6\n", kScnSyntax, 1},
        ErrorCase{"picture not on the map", "MapFile : default.map\nKouzanPicture : P9\n", kScnBadPicture, 2},
        ErrorCase{"map file missing", "MapFile : none.map\n", kScnMapNotFound, 1},
        ErrorCase{"word assign unknown keyword", "WordAssign {\nSHIROX : a\n}\n", kScnWordAssign, 2},
        ErrorCase{"word assign keyword alone", "WordAssign {\nSHIRO\n}\n", kScnSyntax, 2},
        ErrorCase{"word assign with extra value", "WordAssign {\nSHIRO : a : b\n}\n", kScnSyntax, 2},
        ErrorCase{"opening with a comma outside quotes", "Opening {\nabc\nde,f\n}\n", kScnSyntax, 3},
        ErrorCase{"kuni area unknown province", "KuniArea {\nK09 : 1 : 0 : 0 : 9 : 9\n}\n", kScnBadKuniId, 2},
        ErrorCase{"kuni area short line", "KuniArea {\nK01 : 1 : 0 : 0 : 9\n}\n", kScnSyntax, 2},
        ErrorCase{"kuni area long line", "KuniArea {\nK01 : 1 : 0 : 0 : 9 : 9 : 9\n}\n", kScnSyntax, 2},
        ErrorCase{"colour with three values", "ColorPallet {\n1 : 2 : 3\n}\n", kScnSyntax, 2},
        ErrorCase{"colour not an integer", "ColorPallet {\n1 : x : 3 : 0\n}\n", kScnNotInteger, 2},
        ErrorCase{"eleven colours",
                  "ColorPallet {\n0:0:0:0\n0:0:0:0\n0:0:0:0\n0:0:0:0\n0:0:0:0\n0:0:0:0\n0:0:0:0\n0:0:0:0\n"
                  "0:0:0:0\n0:0:0:0\n0:0:0:0\n}\n",
                  kScnTooManyColors, 12},
        ErrorCase{"label colour 10", "Label {\nA : 1 : 2 : NONE : WHOLE : 10 : 12 : NO : NO\n}\n",
                  kScnBadColorIndex, 2},
        ErrorCase{"label too long",
                  "Label {\n織田信長織田信長織田信長 : 1 : 2 : NONE : WHOLE : 1 : 12 : NO : NO\n}\n",
                  kScnLabelTooLong, 2},
        ErrorCase{"label bad scope", "Label {\nA : 1 : 2 : NONE : ALL : 1 : 12 : NO : NO\n}\n", kScnSyntax,
                  2},
        ErrorCase{"label bad province", "Label {\nA : 1 : 2 : K77 : PART : 1 : 12 : NO : NO\n}\n",
                  kScnBadKuniId, 2},
        ErrorCase{"label bad italic word", "Label {\nA : 1 : 2 : K01 : PART : 1 : 12 : NO : Y\n}\n",
                  kScnSyntax, 2},
        ErrorCase{"main map view short", "MainMapKakudai : 1 : 2 : 3\nTitle : x\n", kScnSyntax, 1},
        ErrorCase{"enciphered data", "Cipher : LEVEL1\n", kScnCipher, 0}),
    ErrorCaseName);

// Values the game cannot play: every value the reader stores must leave the arithmetic that
// later uses it (a bound plus 1, the dates of the generals' lives, a divisor) in range.
INSTANTIATE_TEST_SUITE_P(
    ExtremeValues, ReaderErrors,
    ::testing::Values(
        ErrorCase{"start year past four digits", "Title : a\nStartYear : 10000\n", kScnNotInteger, 2},
        ErrorCase{"start year at the int maximum", "StartYear : 2147483647\n", kScnNotInteger, 1},
        ErrorCase{"start year at the int minimum", "StartYear : -2147483648\n", kScnNotInteger, 1},
        ErrorCase{"start year below four digits", "StartYear : -10000\n", kScnNotInteger, 1},
        ErrorCase{"provisions per size step 0", "ShiroHyourouMax : 0\n", kScnNotInteger, 1},
        ErrorCase{"provisions per size step negative", "Title : a\nShiroHyourouMax : -2000\n", kScnNotInteger,
                  2},
        ErrorCase{"main map view right at the int maximum", "MainMapKakudai : 0 : 0 : 2147483647 : 10\n",
                  kScnNotInteger, 1},
        ErrorCase{"main map view bottom at the int maximum", "MainMapKakudai : 0 : 0 : 10 : 2147483647\n",
                  kScnNotInteger, 1},
        ErrorCase{"main map view left at the int minimum", "MainMapKakudai : -2147483648 : 0 : 10 : 10\n",
                  kScnNotInteger, 1},
        ErrorCase{"kuni area right at the int maximum", "KuniArea {\nK01 : 1 : 0 : 0 : 2147483647 : 9\n}\n",
                  kScnNotInteger, 2},
        ErrorCase{"kuni area bottom at the int maximum", "KuniArea {\nK01 : 1 : 0 : 0 : 9 : 2147483647\n}\n",
                  kScnNotInteger, 2},
        ErrorCase{"kuni area top past the map bounds", "KuniArea {\nK01 : 1 : 0 : -16777217 : 9 : 9\n}\n",
                  kScnNotInteger, 2}),
    ErrorCaseName);

TEST(Reader, TheLargestPlayableValuesAreKept) {
    ReaderRun run;
    ASSERT_EQ(run.Read("StartYear : 9999\nShiroHyourouMax : 1\n"
                       "MainMapKakudai : -16777216 : 0 : 16777216 : 16777216\n"
                       "KuniArea {\nK01 : 1 : -16777216 : 0 : 16777216 : 16777216\n}\n"),
              kScnOk)
        << run.Message();
    const GameState& gs = *run.gs;
    EXPECT_EQ(gs.nStartYear, 9999);
    EXPECT_EQ(gs.nShiroHyourouMax, 1);
    EXPECT_EQ(gs.MainMapKakudai[1], -16777216);
    EXPECT_EQ(gs.MainMapKakudai[3], 16777217);
    EXPECT_EQ(gs.KuniAreaTbl[0].left, -16777216);
    EXPECT_EQ(gs.KuniAreaTbl[0].bottom, 16777217);
    ReaderRun early;
    ASSERT_EQ(early.Read("StartYear : -9999\n"), kScnOk) << early.Message();
    EXPECT_EQ(early.gs->nStartYear, -9999);
}

TEST(Reader, TheResultCarriesTheCodeAndItsLine) {
    auto gs = std::make_unique<GameState>();
    FakeKorMap map;
    ScriptedPort port;
    Ports ports = port.AsPorts();
    CScenarioReader reader(*gs, map, ports, "/prog/");
    const ScenarioResult bad = reader.ReadScenarioData(Sjis("Title : a\n\nHeiUnit : 5\n"), "/scn/");
    EXPECT_EQ(bad.Code(), kScnHeiUnit);
    EXPECT_EQ(bad.Line(), 3);
    EXPECT_FALSE(bad.Ok());
    const ScenarioResult good = reader.ReadScenarioData(Sjis("Title : a\n"), "/scn/");
    EXPECT_TRUE(good.Ok());
    EXPECT_EQ(good, kScnOk);
    EXPECT_EQ(good.Line(), 0);
    const ScenarioResult missing = reader.ReadScenarioFile("/nonexistent/x.snr");
    EXPECT_EQ(missing.Code(), kScnFileError);
    EXPECT_EQ(missing.Line(), 0);
}

TEST(Reader, TheMaximumSizeMessageNamesTheSizesAccepted) {
    // A castle of maximum size 0 (without works) is accepted, so the message says 0 to 10.
    EXPECT_STREQ(ScenarioErrorMessage(78), "城規模MAXは0～10を指定してください");
}

TEST(Reader, GoodFileShowsNothing) {
    ReaderRun run;
    EXPECT_EQ(run.Read("Title : a\nStartYear : 1560\n"), kScnOk);
    EXPECT_TRUE(run.port.CallsOf(PortCallKind::Inform).empty());
}

// --- defaults and scalar keywords ------------------------------------------------------------

TEST(Reader, EmptyFileKeepsEveryDefaultAndLoadsNoMap) {
    ReaderRun run;
    run.gs->nHeiUnit = 1;  // left over from an earlier scenario
    EXPECT_EQ(run.Read(""), kScnOk);
    EXPECT_TRUE(run.map.opened.empty());
    const GameState& gs = *run.gs;
    EXPECT_EQ(gs.EndingText, "は統一を成し遂げました");
    EXPECT_EQ(gs.nStartYear, 1550);
    EXPECT_EQ(gs.nStartMonth, 4);
    EXPECT_EQ(gs.nHeiUnit, 10);
    EXPECT_EQ(gs.nShiroHyourouMax, 2000);
    EXPECT_EQ(gs.nDistanceLimit, 150);
    EXPECT_EQ(gs.RoadCost, (std::array<int, 4>{20, 30, 50, 10}));
    EXPECT_EQ(gs.nKouzanPicture, -1);
    EXPECT_TRUE(gs.bBushouHojuu);
    EXPECT_FALSE(gs.bTekiJouTsuuka);
    EXPECT_EQ(gs.nShiroType, 5);
    EXPECT_EQ(gs.ShiroTypeTbl[0].words[0], 0x8000);
    EXPECT_EQ(gs.ShiroTypeTbl[4].words[0], 0x8003);
    EXPECT_EQ(gs.ShiroTypeTbl[2].words[25], static_cast<std::uint16_t>(-10));
    EXPECT_EQ(gs.ShiroTypeTbl[2].words[32], 30);
    EXPECT_EQ(gs.NameIndex.FindName2(""), -1);
    EXPECT_EQ(gs.ColorPallet[9], 0xFFFFFFu);
    EXPECT_EQ(gs.KuniAreaTbl[249].type, 6);
    EXPECT_EQ(gs.KuniAreaTbl[249].right, 100);
    EXPECT_EQ(gs.TeppouCost[0], 300.0);
    EXPECT_EQ(gs.TeppouSoubiRitsu[1], 0.1);
    EXPECT_EQ(gs.TeppouKouka[3], 10);
    EXPECT_EQ(gs.nRoutePoint, 1);
}

TEST(Reader, ScalarKeywordsStoreTheirValues) {
    ReaderRun run;
    ASSERT_EQ(run.Read("ScenarioVer : 11\n"
                       "Title : \"天下 統一\"\n"
                       "StartYear : -5\nStartMonth : 12\nHeiUnit : 1\nShiroDotSize : 4\n"
                       "ShiroHyourouMax : 3000\nUchijiniKakuritsu : 7\nSeppukuKakuritsu : 8\n"
                       "JuuzokuJoukenHosei : 1\nShinjuuJoukenHosei : 2\nDokuritsuJoukenHosei : 3\n"
                       "MainMapMinimumWidth : 800\nMapMinWidth : 900\n"
                       "RoadCostMountain : 4.56\nRoadCostSea : 99999\n"
                       "ShiroOffset : -3 : 4\nShiroNameOffset : 5\nDaimyouNameOffset : -6\n"
                       "KouekisenPrice : 1500\nGunsenPrice : 2500\n"
                       "BushouHojuu : NO\nKishuu : NO\nKeiryaku : NO\nTekiJouTsuuka : YES\n"
                       "Secret : whatever\n"),
              kScnOk);
    const GameState& gs = *run.gs;
    EXPECT_EQ(gs.ScenarioTitle, "天下 統一");
    EXPECT_EQ(gs.nStartYear, -5);
    EXPECT_EQ(gs.nStartMonth, 12);
    EXPECT_EQ(gs.nHeiUnit, 1);
    EXPECT_EQ(gs.nShiroDotSize, 4);
    EXPECT_EQ(gs.nShiroHyourouMax, 3000);
    EXPECT_EQ(gs.nUchijiniKakuritsu, 7);
    EXPECT_EQ(gs.nSeppukuKakuritsu, 8);
    EXPECT_EQ(gs.nJuuzokuJoukenHosei, 1);
    EXPECT_EQ(gs.nShinjuuJoukenHosei, 2);
    EXPECT_EQ(gs.nDokuritsuJoukenHosei, 3);
    EXPECT_EQ(gs.nMainMapMinimumWidth, 900);  // the later of the two names wins
    EXPECT_EQ(gs.RoadCost[2], 45);
    EXPECT_EQ(gs.RoadCost[3], 32767);  // beyond reach either way
    EXPECT_EQ(gs.nShiroOffsetX, -3);
    EXPECT_EQ(gs.nShiroOffsetY, 4);
    EXPECT_EQ(gs.nShiroNameOffset, 5);
    EXPECT_EQ(gs.nDaimyouNameOffset, -6);
    EXPECT_EQ(gs.nKouekisenPrice, 1500);
    EXPECT_EQ(gs.nGunsenPrice, 2500);
    EXPECT_FALSE(gs.bBushouHojuu);
    EXPECT_EQ(gs.nKishuu, 0);
    EXPECT_FALSE(gs.bKeiryaku);
    EXPECT_TRUE(gs.bTekiJouTsuuka);
}

TEST(Reader, DistanceLimitDependsOnTheVersionReadSoFar) {
    struct Case {
        const char* text;
        int stored;
    } cases[] = {{"ScenarioVer : 5\nDistanceLimit : 15\n", 150},
                 {"ScenarioVer : 4\nDistanceLimit : 15\n", 300},
                 {"DistanceLimit : 15\nScenarioVer : 5\n", 300}};
    for (const Case& c : cases) {
        ReaderRun run;
        ASSERT_EQ(run.Read(c.text), kScnOk) << c.text;
        EXPECT_EQ(run.gs->nDistanceLimit, c.stored) << c.text;
    }
}

TEST(Reader, EndingValueAndBlock) {
    ReaderRun run;
    ASSERT_EQ(run.Read("Ending : さま\n"), kScnOk);
    EXPECT_EQ(run.gs->EndingText, "%Player%さま");
    ReaderRun block;
    ASSERT_EQ(block.Read("Ending {\n\"一行目: です\"\n二行目\n}\n"), kScnOk);
    EXPECT_EQ(block.gs->EndingText, "一行目: です\n二行目\n");
}

TEST(Reader, OpeningIsShownWithTheTitle) {
    ReaderRun run;
    ASSERT_EQ(run.Read("Title : 桶狭間\nOpening {\n\"永禄三年、\"\n今川義元上洛す\n}\n"), kScnOk);
    auto shown = run.port.CallsOf(PortCallKind::LongText);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "桶狭間");
    ASSERT_FALSE(shown[0].details.empty());
    EXPECT_EQ(shown[0].details[0], "永禄三年、\n今川義元上洛す\n");
}

TEST(Reader, BgmWithOneNameTakesTheNextLinesFirstToken) {
    ReaderRun run;
    ASSERT_EQ(run.Read("BGM : main.mid\nbattle.mid\n"), kScnOk);
    EXPECT_EQ(run.gs->ScenarioBgmNormal, "/scn/main.mid");
    EXPECT_EQ(run.gs->ScenarioBgmBattle, "/scn/battle.mid");
}

TEST(Reader, LanguageDecidesHowTextsAreRead) {
    ReaderRun run;
    std::string title = FromUtf8("中国", TextEncoding::Gb2312);
    std::string text = "Title : " + title + "\nLanguage : CHINESE_GB2312\n";
    ASSERT_EQ(run.ReadBytes(std::vector<std::uint8_t>(text.begin(), text.end())), kScnOk);
    EXPECT_EQ(run.gs->nLanguage, 1);
    EXPECT_EQ(run.gs->ScenarioTitle, "中国");
}

TEST(Reader, ValueMissingAtTheEndOfTheFileIsDropped) {
    ReaderRun run;
    EXPECT_EQ(run.Read("StartYear : 1560\nStartMonth"), kScnOk);
    EXPECT_EQ(run.gs->nStartYear, 1560);
    EXPECT_EQ(run.gs->nStartMonth, 4);
}

TEST(Reader, LastLineWithoutLineBreakKeepsItsValue) {
    ReaderRun run;
    EXPECT_EQ(run.Read("StartYear : 1560\nStartMonth : 5"), kScnOk);
    EXPECT_EQ(run.gs->nStartMonth, 5);
}

// --- the map rule and MapFile ---------------------------------------------------------------

TEST(Reader, FirstSectionNeedingAMapLoadsTheDefaultMap) {
    ReaderRun run;
    run.map.files.clear();
    run.map.files["/prog/default.map"] = FakeKorMap::Make(7, 2);
    ASSERT_EQ(run.Read("Daimyou {\n}\n"), kScnOk);
    EXPECT_EQ(run.map.opened, (std::vector<std::string>{"/scn/default.map", "/prog/default.map"}));
    EXPECT_EQ(run.gs->nKuni, 7);
    EXPECT_EQ(run.gs->nChiiki, 2);
}

TEST(Reader, MapFileIsLoadedEachTimeItIsGiven) {
    ReaderRun run;
    run.map.files["/scn/a.map"] = FakeKorMap::Make(4);
    ASSERT_EQ(run.Read("MapFile : a.map\nMapFile : a.map\nKuniArea {\n}\n"), kScnOk);
    EXPECT_EQ(run.map.opened, (std::vector<std::string>{"/scn/a.map", "/scn/a.map"}));
}

TEST(Reader, MapFileErrors) {
    ReaderRun bad;
    bad.map.files["/scn/b.map"] = FakeKorMap::Make();
    bad.map.bad = {"/scn/b.map"};
    EXPECT_EQ(bad.Read("MapFile : b.map\n"), kScnMapBad);

    ReaderRun missing;
    missing.map.files.clear();
    EXPECT_EQ(missing.Read("Title : x\nDaimyou {\n}\n"), kScnMapNotFound);
    EXPECT_EQ(missing.Message(), "指定されたマップファイルがありません(Line No.2) ");
}

TEST(Reader, MapWithTooManyProvincesOrRegionsIsRefusedAndThePreviousMapStays) {
    struct Case {
        int kuni, chiiki, code;
    } cases[] = {
        {249, 3, kScnOk}, {250, 3, kScnMapTooManyKuni}, {10, 50, kScnOk}, {10, 51, kScnMapTooManyKuni}};
    for (const Case& c : cases) {
        ReaderRun run;
        run.map.files["/scn/big.map"] = FakeKorMap::Make(c.kuni, c.chiiki);
        ASSERT_EQ(run.Read("MapFile : default.map\nMapFile : big.map\n"), c.code)
            << c.kuni << "/" << c.chiiki;
        int expected = c.code == kScnOk ? c.kuni : 3;
        EXPECT_EQ(run.map.KuniCount(), expected);
        EXPECT_EQ(run.gs->nKuni, expected);
    }
}

TEST(Reader, PictureKeywordBeforeMapFileUsesTheMapLoadedBefore) {
    ReaderRun run;
    run.map.files["/scn/first.map"] = FakeKorMap::Make();
    run.map.files["/scn/second.map"] = FakeKorMap::Make();
    run.map.files["/scn/second.map"].pictureNames = {"X"};
    ASSERT_EQ(run.Read("MapFile : first.map\n"), kScnOk);
    ASSERT_EQ(run.Read("TeppouPicture : 城A\nGunsenPicture : NORMAL\nMapFile : second.map\n"), kScnOk);
    EXPECT_EQ(run.gs->nTeppouPicture, 1);
    EXPECT_EQ(run.gs->nGunsenPicture, -1);
}

// --- presentation sections -------------------------------------------------------------------

TEST(Reader, ViewRectanglesAreHalvedOnSignatureMapsFromVersion5) {
    struct Case {
        int format, version;
        std::array<std::int32_t, 5> kakudai;
        std::array<std::int32_t, 4> area;
    } cases[] = {
        {1, 5, {1, 5, 10, 50, 100}, {5, 10, 51, 101}},
        {1, 4, {1, 10, 20, 101, 201}, {10, 20, 101, 201}},
        {0, 11, {1, 10, 20, 101, 201}, {10, 20, 101, 201}},
    };
    for (const Case& c : cases) {
        ReaderRun run;
        run.map.files["/scn/m.map"] = FakeKorMap::Make(3, 3, c.format);
        std::string text = "ScenarioVer : " + std::to_string(c.version) +
                           "\nMapFile : m.map\nMainMapKakudai : 10 : 20 : 100 : 200\n"
                           "KuniArea {\nK02 : 3 : 10 : 20 : 100 : 200\n}\n";
        ASSERT_EQ(run.Read(text), kScnOk);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(run.gs->MainMapKakudai[i], c.kakudai[i]) << i;
        const KuniAreaRecord& a = run.gs->KuniAreaTbl[1];
        EXPECT_EQ(a.type, 3);
        EXPECT_EQ((std::array<std::int32_t, 4>{a.left, a.top, a.right, a.bottom}), c.area);
    }
}

TEST(Reader, ColorPalletStartsAgainInEachSection) {
    ReaderRun run;
    ASSERT_EQ(run.Read("ColorPallet {\n1:2:3:x\n4:5:6:0\n}\nColorPallet {\n300 : 0 : 0 : anything\n}\n"),
              kScnOk);
    EXPECT_EQ(run.gs->ColorPallet[0], 44u);
    EXPECT_EQ(run.gs->ColorPallet[1], 0x060504u);
    EXPECT_EQ(run.gs->ColorPallet[2], 0xFFFFFFu);
}

TEST(Reader, LabelsAreAppendedWithTheirFields) {
    ReaderRun run;
    run.map.files["/scn/sig.map"] = FakeKorMap::Make(3, 3, 1);
    ASSERT_EQ(run.Read("MapFile : sig.map\nLabel {\n"
                       "尾張 : -3 : 9 : K02 : WHOLE : 9 : 300 : YES : NO\n"
                       "\"a b\" : 4 : 5 : NONE : PART : 0 : 12 : NO : YES\n}\n"),
              kScnOk);
    ASSERT_EQ(run.gs->nLabel, 2);
    const LabelRecord& l = run.gs->LabelTbl[0];
    EXPECT_EQ(l.text, "尾張");
    EXPECT_EQ(l.x, -1);
    EXPECT_EQ(l.y, 4);
    EXPECT_EQ(l.kuni, 1);
    EXPECT_EQ(l.color, 9);
    EXPECT_EQ(l.fontHeight, 300 & 0xFF);
    EXPECT_EQ(l.flags, LabelRecord::kFlagWhole | LabelRecord::kFlagBold);
    const LabelRecord& m = run.gs->LabelTbl[1];
    EXPECT_EQ(m.text, "a b");
    EXPECT_EQ(m.kuni, -1);
    EXPECT_EQ(m.flags, LabelRecord::kFlagItalic);
}

TEST(Reader, WordAssignReplacesSlotsAndTheNextScenarioStartsClean) {
    ReaderRun run;
    ASSERT_EQ(run.Read("WordAssign {\nSHIRO : 砦\nSHIRO : 館\nBC : 紀元前\n}\n"), kScnOk);
    EXPECT_EQ(run.gs->ScenarioWords[4], "館");
    EXPECT_EQ(run.gs->ScenarioWords[18], "紀元前");
    EXPECT_EQ(run.gs->ScenarioWords[5], "城主");
    ASSERT_EQ(run.Read("Title : next\n"), kScnOk);
    EXPECT_EQ(run.gs->ScenarioWords[4], "城");
}

TEST(Reader, ErrorStillCopiesCountsAndStopsReading) {
    ReaderRun run;
    EXPECT_EQ(run.Read("Label {\nA : 1 : 2 : NONE : PART : 0 : 12 : NO : NO\n}\nBogus\nTitle : late\n"),
              kScnSyntax);
    EXPECT_EQ(run.gs->nLabel, 1);
    EXPECT_EQ(run.gs->ScenarioTitle, "");
    EXPECT_EQ(run.gs->nShiroType, 5);
}

TEST(Reader, FileThatCannotBeOpenedGivesCode2WithoutMessage) {
    auto gs = std::make_unique<GameState>();
    FakeKorMap map;
    ScriptedPort port;
    Ports ports = port.AsPorts();
    CScenarioReader reader(*gs, map, ports, "/prog/");
    EXPECT_EQ(reader.ReadScenarioFile("/nonexistent/dir/x.snr"), kScnFileError);
    EXPECT_TRUE(port.Calls().empty());
}

TEST(Reader, CancelledFileDialogGivesCode1) {
    auto gs = std::make_unique<GameState>();
    FakeKorMap map;
    ScriptedPort port;
    port.PushFile(std::nullopt);
    Ports ports = port.AsPorts();
    CScenarioReader reader(*gs, map, ports, "/prog/");
    EXPECT_EQ(reader.ReadScenario(), kScnCancelled);
    ASSERT_EQ(port.CallsOf(PortCallKind::AskOpenFile).size(), 1u);
    EXPECT_EQ(port.CallsOf(PortCallKind::AskOpenFile)[0].text, "シナリオデータを選択してください");
}

TEST(Reader, TheFileDialogOpensInTheScenarioFolder) {
    // The bundled data folder has one; a folder without it keeps the program's folder.
    const std::string withFolder = std::string(RYMD_SOURCE_DIR) + "/data/";
    for (const std::string& program : {withFolder, std::string("/nonexistent/prog/")}) {
        auto gs = std::make_unique<GameState>();
        FakeKorMap map;
        ScriptedPort port;
        port.PushFile(std::nullopt);
        Ports ports = port.AsPorts();
        CScenarioReader reader(*gs, map, ports, program);
        EXPECT_EQ(reader.ReadScenario(), kScnCancelled);
        const auto asked = port.CallsOf(PortCallKind::AskOpenFile);
        ASSERT_EQ(asked.size(), 1u);
        ASSERT_EQ(asked[0].details.size(), 2u);
        EXPECT_EQ(asked[0].details[1], program == withFolder ? program + "scenario/" : program);
    }
}

}  // namespace
}  // namespace rymd::test
