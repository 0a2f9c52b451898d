#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scenario_test_util.h"

namespace rymd::test {
namespace {

struct Tok {
    std::string text;
    int end;
    int line;
};

std::vector<Tok> Tokenize(const std::string& input, std::size_t size = 100, bool keep = false) {
    GameState* gs = new GameState;
    FakeKorMap map;
    Ports ports = SilentPort::Instance().AsPorts();
    CScenarioReader reader(*gs, map, ports, "");
    reader.OpenBytes(std::vector<std::uint8_t>(input.begin(), input.end()));
    std::vector<Tok> out;
    std::string token;
    for (int guard = 0; guard < 1000; ++guard) {
        int end = reader.ReadToken(token, size, nullptr, keep);
        if (end == CScenarioReader::kEndOfFile) break;
        out.push_back({token, end, reader.TokenLine()});
    }
    delete gs;
    return out;
}

struct TokenCase {
    const char* name;
    std::string input;
    bool keep;
    std::vector<Tok> expected;
};

class TokenizerCases : public ::testing::TestWithParam<TokenCase> {};

TEST_P(TokenizerCases, GivesTokensEndsAndLines) {
    const TokenCase& c = GetParam();
    std::vector<Tok> got = Tokenize(c.input, 100, c.keep);
    ASSERT_EQ(got.size(), c.expected.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].text, c.expected[i].text) << c.name << " token " << i;
        EXPECT_EQ(got[i].end, c.expected[i].end) << c.name << " token " << i;
        EXPECT_EQ(got[i].line, c.expected[i].line) << c.name << " token " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, TokenizerCases,
    ::testing::Values(
        TokenCase{"colon and blanks", "Title : abc\n", false, {{"Title", 0, 1}, {"abc", 1, 1}}},
        TokenCase{"colon without blanks", "Title:abc\n", false, {{"Title", 0, 1}, {"abc", 1, 1}}},
        TokenCase{"blank only", "Title abc\n", false, {{"Title", 0, 1}, {"abc", 1, 1}}},
        TokenCase{"slash inside a token", "Title : abc/def\n", false, {{"Title", 0, 1}, {"abc/def", 1, 1}}},
        TokenCase{"comment after a blank", "Title : abc /def\n", false, {{"Title", 0, 1}, {"abc", 1, 1}}},
        TokenCase{"comment and blank lines count",
                  "// comment\n\n   \nA : 1 // tail\nB : 2\n",
                  false,
                  {{"A", 0, 4}, {"1", 1, 4}, {"B", 0, 5}, {"2", 1, 5}}},
        TokenCase{"quoted blank kept", "T : \"a b\"\n", false, {{"T", 0, 1}, {"a b", 1, 1}}},
        TokenCase{"quoted colon cut", "T : \"a:b\"\n", false, {{"T", 0, 1}, {"a", 0, 1}, {"b", 1, 1}}},
        TokenCase{"quoted colon kept in free text", "T : \"a:b\"\n", true, {{"T", 0, 1}, {"a:b", 1, 1}}},
        TokenCase{"continuation", "AB&+\nCD\nE\n", false, {{"ABCD", 1, 1}, {"E", 1, 3}}},
        TokenCase{"no continuation after a blank", "AB&+ \nCD\n", false, {{"AB&+", 1, 1}, {"CD", 1, 2}}},
        TokenCase{"line of &+ alone", "&+\nX\n", false, {{"X", 1, 2}}},
        TokenCase{"empty tokens between separators", "a,,b\n", false, {{"a", 0, 1}, {"", 0, 1}, {"b", 1, 1}}},
        TokenCase{"comma blank comma", "a, ,b\n", false, {{"a", 0, 1}, {"", 0, 1}, {"b", 1, 1}}},
        TokenCase{"line starting with a colon", ":x\n", false, {{"", 0, 1}, {"x", 1, 1}}},
        TokenCase{"CR-LF like LF",
                  "A : 1\r\nB : 2\r\n",
                  false,
                  {{"A", 0, 1}, {"1", 1, 1}, {"B", 0, 2}, {"2", 1, 2}}},
        TokenCase{"last line without a line break keeps its token",
                  "A : 1\nB : 2",
                  false,
                  {{"A", 0, 1}, {"1", 1, 1}, {"B", 0, 2}, {"2", 1, 2}}},
        TokenCase{"last token ended by a blank at the end", "B : 2  ", false, {{"B", 0, 1}, {"2", 1, 1}}},
        TokenCase{"full-width blank is a character",
                  "A\xE3\x80\x80"
                  "B\n",
                  false,
                  {{"A\xE3\x80\x80"
                    "B",
                    1, 1}}},
        TokenCase{
            "NUL ends the token's text", std::string("ab\0cd e\n", 8), false, {{"ab", 0, 1}, {"e", 1, 1}}}),
    [](const auto& info) { return CaseName(info.param.name); });

TEST(Tokenizer, OverLongTokenIsCutAndTheRestDropped) {
    std::string longToken(500, 'x');
    std::vector<Tok> got = Tokenize(longToken + " y\n", 100);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].text, std::string(99, 'x'));
    EXPECT_EQ(got[1].text, "y");
}

TEST(Tokenizer, CRLFAndLFGiveTheSameTokensAndLines) {
    const std::string lf = "A : \"x y\"\n\n// c\nB,C\nD&+\nE\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::vector<Tok> a = Tokenize(lf), b = Tokenize(crlf);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].text, b[i].text);
        EXPECT_EQ(a[i].end, b[i].end);
        EXPECT_EQ(a[i].line, b[i].line);
    }
}

TEST(Tokenizer, ContinuationAdvancesTheLineCounter) {
    GameState* gs = new GameState;
    FakeKorMap map;
    Ports ports = SilentPort::Instance().AsPorts();
    CScenarioReader reader(*gs, map, ports, "");
    std::string in = "AB&+\nCD\n";
    reader.OpenBytes(std::vector<std::uint8_t>(in.begin(), in.end()));
    std::string token;
    EXPECT_EQ(reader.ReadToken(token, 100), CScenarioReader::kEndOfLine);
    EXPECT_EQ(token, "ABCD");
    EXPECT_EQ(reader.LineCounter(), 3);
    delete gs;
}

struct IntCase {
    const char* token;
    bool error;
    int value;
};

TEST(Tokenizer, ParseInt) {
    const IntCase cases[] = {{"+5", false, 5},
                             {"-0", false, 0},
                             {"007", false, 7},
                             {"+", false, 0},
                             {"-", false, 0},
                             {"", true, 0},
                             {"1.5", true, 0},
                             {"5a", true, 0},
                             {" 5", true, 0},
                             {"99999999999", false, 2147483647},
                             {"-99999999999", false, -2147483647 - 1}};
    for (const IntCase& c : cases) {
        int v = 12345;
        EXPECT_EQ(CScenarioReader::ParseInt(c.token, v), !c.error) << c.token;
        EXPECT_EQ(v, c.error ? 12345 : c.value) << c.token;
    }
}

struct FloatCase {
    const char* token;
    bool error;
    double value;
};

TEST(Tokenizer, ParseFloat) {
    const FloatCase cases[] = {{".5", false, 0.5},    {"5.", false, 5.0}, {"-.5", false, -0.5},
                               {"4.56", false, 4.56}, {"+2", false, 2.0}, {"1.2.3", true, 0},
                               {"1e5", true, 0},      {"", true, 0},      {"nan", true, 0},
                               {"1-2", true, 0}};
    for (const FloatCase& c : cases) {
        double v = -7.0;
        EXPECT_EQ(CScenarioReader::ParseFloat(c.token, v), !c.error) << c.token;
        if (!c.error)
            EXPECT_DOUBLE_EQ(v, c.value) << c.token;
        else
            EXPECT_EQ(v, -7.0) << c.token;
    }
}

}  // namespace
}  // namespace rymd::test
