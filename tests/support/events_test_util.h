// Helpers of the event, trade and musket section tests: a small world that the sections can
// name, scenarios built line by line, and the error check with the message the player sees.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <initializer_list>
#include <string>
#include <vector>

#include "game/scenario/errors.h"
#include "support/scenario_test_util.h"

namespace rymd::test {

// A scenario built line by line.
struct Lines {
    std::vector<std::string> lines;

    Lines& Add(std::initializer_list<std::string> more) {
        for (const auto& l : more)
            lines.push_back(l);
        return *this;
    }
    Lines& Add(const std::vector<std::string>& more) {
        lines.insert(lines.end(), more.begin(), more.end());
        return *this;
    }
    int Count() const { return static_cast<int>(lines.size()); }
    std::string Text() const {
        std::string t;
        for (const auto& l : lines)
            t += l + "\n";
        return t;
    }
};

// Version v (10 or more): houses D01, D02, D03; castles S01, S02 (province K01, K02); generals
// B01, B02, B03. Their indexes are their positions.
inline Lines World(int v = 11) {
    Lines t;
    t.Add({"ScenarioVer : " + std::to_string(v)});
    auto daimyou = [](const std::string& id) {
        return id + " : 家 : NORMAL : 0 : 0 : 1000 : 10 : 3 : YES : NORMAL : \"\"";
    };
    auto shiro = [](const std::string& id, const std::string& kuni, const std::string& house) {
        return id + " : 城 : " + kuni +
               " : 10 : 3 : 0 : 0 : 50000 : 300 : 0 : 0 : NO : 0 : 0 : - : 50 : NORMAL : " + house +
               " : \"\"";
    };
    auto bushou = [](const std::string& id, const std::string& house, const std::string& castle) {
        return id + " : 武将 : 5 : 5 : 5 : 5 : 5 : 5 : 5 : 0 : 0 : 0 : 1530 : 1590 : BYOUSHI : 0 : " + house +
               " : -1 : " + castle + " : \"\"";
    };
    t.Add({"Daimyou {", daimyou("D01"), daimyou("D02"), daimyou("D03"), "}"});
    t.Add({"Shiro {", shiro("S01", "K01", "D01"), shiro("S02", "K02", "D02"), "}"});
    t.Add({"Bushou {", bushou("B01", "D01", "S01"), bushou("B02", "D02", "S02"), bushou("B03", "D01", "S01"),
           "}"});
    return t;
}

// The message the player sees for an error code on a line.
inline std::string ErrorText(int code, int line) {
    return std::string(ScenarioErrorMessage(code)) + "(Line No." + std::to_string(line) + ") ";
}

// An error case: the lines after a prefix (World, or only a version line), the line among them
// (1-based) that is reported, and the code.
struct LineErrorCase {
    const char* name;
    std::vector<std::string> lines;
    int failAt;
    int code;
};

// Reads prefix + lines and checks the code and the one message shown.
inline void ExpectLineError(const Lines& prefix, const LineErrorCase& c) {
    Lines t = prefix;
    const int base = t.Count();
    t.Add(c.lines);
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), c.code) << run.Message();
    ASSERT_EQ(run.port.CallsOf(PortCallKind::Inform).size(), 1u);
    EXPECT_EQ(run.Message(), ErrorText(c.code, base + c.failAt));
}

inline std::string CaseName(const char* name) {
    std::string n = name;
    for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return n;
}

// Reads a text that must read without error.
inline void ReadOk(ReaderRun& run, const std::string& text) {
    ASSERT_EQ(run.Read(text), kScnOk) << run.Message();
}

}  // namespace rymd::test
