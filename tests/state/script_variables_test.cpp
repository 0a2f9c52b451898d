#include "game/state/script_variables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/core/archive.h"

namespace rymd {
namespace {

// An index formula evaluator for the tests: numbers and scalar names only; "bad" fails.
CScriptVariables::FormulaEvaluator Simple(const CScriptVariables& vars) {
    return [&vars](std::string_view formula, double& value) {
        if (formula == "bad") return 1;
        std::size_t pos = 0;
        std::string token;
        CScriptVariables::NextToken(formula, pos, token);
        value = vars.GetTokenValue(token);
        return 0;
    };
}

double Element(const CScriptVariables& vars, std::string_view name, int index) {
    int status = -1;
    const double v = vars.GetArrayValue(name, index, status);
    EXPECT_EQ(status, CScriptVariables::kArrayOk);
    return v;
}

TEST(ScriptVariables, ScalarsAreAssignedAndAddedTo) {
    CScriptVariables vars;
    auto eval = Simple(vars);
    EXPECT_TRUE(vars.SetVariable("x", 5, eval));
    EXPECT_TRUE(vars.AddToVariable("x", 2, eval));
    EXPECT_TRUE(vars.AddToVariable("y", 2, eval));
    EXPECT_TRUE(vars.SetVariable("X", 1, eval));  // names are case-sensitive
    bool notFound = true;
    EXPECT_EQ(vars.GetTokenValue("x", &notFound), 7);
    EXPECT_FALSE(notFound);
    EXPECT_EQ(vars.GetTokenValue("y"), 2);
    EXPECT_EQ(vars.GetTokenValue("X"), 1);
    EXPECT_EQ(vars.GetTokenValue("z", &notFound), 0);
    EXPECT_TRUE(notFound);
    ASSERT_EQ(vars.Scalars().size(), 3u);
    EXPECT_EQ(vars.Scalars()[0].name, "x");
    EXPECT_EQ(vars.Scalars()[2].name, "X");
    // Names are kept as given, blanks included; a Japanese name after a letter is fine.
    EXPECT_TRUE(vars.SetVariable("a 税率", 3, eval));
    EXPECT_EQ(vars.GetTokenValue("a 税率"), 3);
}

TEST(ScriptVariables, NamesMustBeginWithALetter) {
    CScriptVariables vars;
    auto eval = Simple(vars);
    for (const char* name : {"1x", "_x", "税", "", "[x]", " x"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(vars.SetVariable(name, 1, eval));
        EXPECT_FALSE(vars.AddToVariable(name, 1, eval));
    }
    EXPECT_TRUE(vars.Scalars().empty());
    EXPECT_TRUE(vars.Arrays().empty());
}

TEST(ScriptVariables, TokensThatBeginWithADigitAreNumbers) {
    CScriptVariables vars;
    auto eval = Simple(vars);
    vars.SetVariable("x", 9, eval);
    bool notFound = true;
    EXPECT_EQ(vars.GetTokenValue("1x", &notFound), 1);
    EXPECT_FALSE(notFound);
    EXPECT_EQ(vars.GetTokenValue("12abc"), 12);
    EXPECT_EQ(vars.GetTokenValue("2.5"), 2.5);
    EXPECT_EQ(vars.GetTokenValue(".5"), 0);  // a name, and no scalar has it
}

TEST(ScriptVariables, ArrayElements) {
    CScriptVariables vars;
    auto eval = Simple(vars);
    EXPECT_TRUE(vars.SetVariable("a[3]", 7, eval));
    ASSERT_EQ(vars.Arrays().size(), 1u);
    EXPECT_EQ(vars.Arrays()[0].values, (std::vector<double>{0, 0, 0, 7}));
    EXPECT_EQ(Element(vars, "a", 10), 0);  // beyond the length: 0, no error
    EXPECT_TRUE(vars.AddToVariable("a[3]", 1, eval));
    EXPECT_TRUE(vars.AddToVariable("a [5] tail", 2, eval));  // blanks before "[" make a scalar
    EXPECT_TRUE(vars.AddToVariable("a[5] tail", 2, eval));   // anything after "]" is ignored
    EXPECT_EQ(vars.Arrays()[0].values, (std::vector<double>{0, 0, 0, 8, 0, 2}));
    EXPECT_EQ(vars.GetTokenValue("a [5] tail"), 2);
    EXPECT_TRUE(vars.SetVariable("i", 2.9, eval));
    EXPECT_TRUE(vars.SetVariable("a[i]", 4, eval));  // 2.9 writes element 2
    EXPECT_EQ(Element(vars, "a", 2), 4);
    EXPECT_EQ(vars.GetTokenValue("a"), 0);  // scalars and arrays are apart
    EXPECT_TRUE(vars.SetVariable("b[30000]", 1, eval));
    EXPECT_EQ(vars.Arrays()[1].values.size(), 30001u);

    int status = -1;
    EXPECT_EQ(vars.GetArrayValue("none", 0, status), 0);
    EXPECT_EQ(status, CScriptVariables::kArrayMissing);
    EXPECT_EQ(vars.GetArrayValue("a", 30001, status), 0);
    EXPECT_EQ(status, CScriptVariables::kArrayBadIndex);
    EXPECT_EQ(vars.GetArrayValue("a", -1, status), 0);
    EXPECT_EQ(status, CScriptVariables::kArrayBadIndex);
}

TEST(ScriptVariables, BadIndexesChangeNothing) {
    CScriptVariables vars;
    auto eval = Simple(vars);
    vars.SetVariable("nan", std::nan(""), eval);
    vars.SetVariable("inf", std::numeric_limits<double>::infinity(), eval);
    vars.SetVariable("neg", -1, eval);
    const std::size_t scalars = vars.Scalars().size();
    for (const char* name : {"a[30001]", "a[neg]", "a[nan]", "a[inf]", "a[bad]", "a[3"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(vars.SetVariable(name, 1, eval));
        EXPECT_FALSE(vars.AddToVariable(name, 1, eval));
    }
    EXPECT_TRUE(vars.Arrays().empty());
    EXPECT_EQ(vars.Scalars().size(), scalars);
    EXPECT_FALSE(vars.SetVariable("a[1]", 1, nullptr));  // no evaluator: the index cannot be read
    vars.SetArrayElement("a", 30001, 1);
    vars.AddToArrayElement("a", -1, 1);
    EXPECT_TRUE(vars.Arrays().empty());
}

TEST(ScriptVariables, NestedBracketsAreReadWhole) {
    CScriptVariables vars;
    std::string seen;
    auto eval = [&](std::string_view formula, double& value) {
        seen = formula;
        value = 1;
        return 0;
    };
    EXPECT_TRUE(vars.SetVariable("a[b[2]+1]", 5, eval));
    EXPECT_EQ(seen, "b[2]+1");
    EXPECT_TRUE(vars.SetVariable("a[ 税 ]", 5, eval));
    EXPECT_EQ(seen, "税 ");  // blanks after "[" are skipped by the tokenizer
}

TEST(ScriptVariables, Tokenizer) {
    struct Case {
        const char* text;
        std::vector<std::string> tokens;
        std::vector<int> results;
    };
    const Case cases[] = {
        {"1+x*(y-2)", {"1", "+", "x", "*", "(", "y", "-", "2", ")"}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"  a [ 1 ]", {"a", "[", "1", "]"}, {0, 0, 0, 0}},
        {"a[1] /b", {"a", "[", "1", "]", "/", "b"}, {1, 0, 0, 0, 0, 0}},
        {"( [", {"(", "["}, {1, 0}},
        {"#石高(D01)", {"#石高", "(", "D01", ")"}, {0, 0, 0, 0}},
        {"", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::size_t pos = 0;
        std::string token;
        std::vector<std::string> tokens;
        std::vector<int> results;
        for (int r; (r = CScriptVariables::NextToken(c.text, pos, token)) != CScriptVariables::kTokenEnd;) {
            tokens.push_back(token);
            results.push_back(r);
        }
        EXPECT_EQ(tokens, c.tokens);
        EXPECT_EQ(results, c.results);
    }
    std::size_t pos = 0;
    std::string out;
    EXPECT_EQ(CScriptVariables::ReadParenthesized(" (1+(2*3)) rest", pos, out), 0);
    EXPECT_EQ(out, "1+(2*3)");
    EXPECT_EQ(pos, 10u);
    pos = 0;
    EXPECT_EQ(CScriptVariables::ReadParenthesized("(1+(2*3)", pos, out), -1);
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(CScriptVariables::ReadParenthesized("x(1)", pos, out), -1);
}

std::vector<std::uint8_t> Stored(const CScriptVariables& vars) {
    ArchiveWriter w;
    vars.Serialize(w, TextEncoding::ShiftJis);
    return w.Take();
}

TEST(ScriptVariables, SavedFormRoundTrips) {
    CScriptVariables vars;
    auto eval = Simple(vars);
    vars.SetVariable("x", 1.5, eval);
    vars.SetVariable("税率", 0, eval);  // not assignable: refused
    vars.SetVariable("t税", -2, eval);
    vars.SetVariable("a[2]", 3, eval);
    vars.SetVariable("e[0]", 4, eval);
    const std::vector<std::uint8_t> bytes = Stored(vars);
    // marker, version 1, two scalars: "x" then "t" + 税 in Shift-JIS (0x90 0xC5).
    const std::vector<std::uint8_t> head = {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0, 1, 'x'};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
    EXPECT_EQ(bytes.size(), 12u + (2 + 8) + (4 + 8) + 4 + (2 + 4 + 24) + (2 + 4 + 8));

    CScriptVariables back;
    back.SetVariable("old", 1, eval);
    ArchiveReader in(bytes);
    ASSERT_TRUE(back.Serialize(in, TextEncoding::ShiftJis));
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(back.GetTokenValue("x"), 1.5);
    EXPECT_EQ(back.GetTokenValue("t税"), -2);
    EXPECT_EQ(back.GetTokenValue("old"), 0);  // loading replaces everything
    EXPECT_EQ(Element(back, "a", 2), 3);
    EXPECT_EQ(Element(back, "e", 0), 4);
    EXPECT_EQ(Stored(back), bytes);
}

TEST(ScriptVariables, LayoutZeroHasScalarsOnly) {
    ArchiveWriter w;
    w.WriteU32(2);
    w.WriteCString("p");
    w.WriteF64(5);
    w.WriteCString("q");
    w.WriteF64(6);
    CScriptVariables vars;
    ArchiveReader in(w.Data());
    ASSERT_TRUE(vars.Serialize(in, TextEncoding::ShiftJis));
    EXPECT_EQ(vars.GetTokenValue("p"), 5);
    EXPECT_EQ(vars.GetTokenValue("q"), 6);
    EXPECT_TRUE(vars.Arrays().empty());
    EXPECT_TRUE(in.AtEnd());
}

TEST(ScriptVariables, DamagedStreamsAreRefusedAndChangeNothing) {
    auto build = [](auto fill) {
        ArchiveWriter w;
        fill(w);
        return w.Take();
    };
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"huge scalar count", build([](ArchiveWriter& w) { w.WriteU32(0x7FFFFFFF); })},
        {"huge array count", build([](ArchiveWriter& w) {
             w.WriteU32(0xFFFFFFFF);
             w.WriteU32(1);
             w.WriteU32(0);
             w.WriteU32(0x10000000);
         })},
        {"huge array length", build([](ArchiveWriter& w) {
             w.WriteU32(0xFFFFFFFF);
             w.WriteU32(1);
             w.WriteU32(0);
             w.WriteU32(1);
             w.WriteCString("a");
             w.WriteU32(0xFFFFFFF0);
         })},
        {"array longer than any index", build([](ArchiveWriter& w) {
             w.WriteU32(0xFFFFFFFF);
             w.WriteU32(1);
             w.WriteU32(0);
             w.WriteU32(1);
             w.WriteCString("a");
             w.WriteU32(30002);
             for (int i = 0; i < 30002; ++i)
                 w.WriteF64(0);
         })},
        {"unknown layout", build([](ArchiveWriter& w) {
             w.WriteU32(0xFFFFFFFF);
             w.WriteU32(2);
             w.WriteU32(0);
             w.WriteU32(0);
         })},
        {"cut in a value", build([](ArchiveWriter& w) {
             w.WriteU32(1);
             w.WriteCString("x");
             w.WriteU32(0);
         })},
        {"name longer than the stream", build([](ArchiveWriter& w) {
             w.WriteU32(1);
             w.WriteU8(200);
             w.WriteBytes("abcdefgh", 8);
         })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CScriptVariables vars;
        auto eval = Simple(vars);
        vars.SetVariable("keep", 3, eval);
        vars.SetVariable("k[1]", 4, eval);
        ArchiveReader in(c.bytes);
        EXPECT_FALSE(vars.Serialize(in, TextEncoding::ShiftJis));
        EXPECT_FALSE(in.Ok());
        EXPECT_EQ(vars.GetTokenValue("keep"), 3);
        EXPECT_EQ(Element(vars, "k", 1), 4);
    }
}

TEST(ScriptVariables, ClearRemovesEverything) {
    CScriptVariables vars;
    auto eval = Simple(vars);
    vars.SetVariable("x", 1, eval);
    vars.SetVariable("a[1]", 1, eval);
    vars.Clear();
    EXPECT_TRUE(vars.Scalars().empty());
    EXPECT_TRUE(vars.Arrays().empty());
    bool notFound = false;
    vars.GetTokenValue("x", &notFound);
    EXPECT_TRUE(notFound);
}

}  // namespace
}  // namespace rymd
