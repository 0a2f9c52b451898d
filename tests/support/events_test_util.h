// Helpers of the event, trade and musket section tests: a small world that the sections can
// name, and the error cases with the message the player sees.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "support/scenario_test_util.h"

namespace rymd::test {

// Version v (10 or more): houses D01, D02, D03; castles S01, S02 (province K01, K02); generals
// B01, B02, B03. Their indexes are their positions.
inline ScenarioText World(int v = 11) {
    ScenarioText t;
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

// An error case: the lines after a prefix (World, or only a version line), the line among them
// (1-based) that is reported, and the code.
struct LineErrorCase {
    const char* name;
    std::vector<std::string> lines;
    int failAt;
    int code;
};

// Reads prefix + lines and checks the code and the one message shown.
inline void ExpectLineError(const ScenarioText& prefix, const LineErrorCase& c) {
    ExpectErrorAfter(prefix, c.lines, c.failAt, c.code);
}

// The lines of a section with one block: "section {", "block {", the body, "}", "}".
inline std::vector<std::string> OneBlock(const std::string& section, const std::string& block,
                                         std::initializer_list<std::string> body) {
    std::vector<std::string> l = {section + " {", block + " {"};
    l.insert(l.end(), body.begin(), body.end());
    l.push_back("}");
    l.push_back("}");
    return l;
}

// n two-byte characters (字): 2n bytes in the file encoding.
inline std::string Kanji(int n) {
    std::string s;
    for (int i = 0; i < n; ++i)
        s += "字";
    return s;
}

// Reads a text that must read without error.
inline void ReadOk(ReaderRun& run, const std::string& text) {
    ASSERT_EQ(run.Read(text), kScnOk) << run.Message();
}

}  // namespace rymd::test
