// Helpers of the world-section tests: scenario lines in the layout of each version, and a small
// world (two houses, three castles) that the sections under test can name.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scenario_test_util.h"

namespace rymd::test {

// A house line of version v: navigation 0, mining 0, funds 1000, musket collection 10,
// warship building 3, selectable, normal behaviour, no description.
inline std::string DaimyouLine(int v, const std::string& id, const std::string& name = "家") {
    std::string s = id + " : " + name + " : NORMAL : 0";
    if (v >= 2) s += " : 0";
    s += " : 1000";
    if (v >= 3) s += " : 10";
    if (v >= 5) s += " : 3";
    if (v >= 10) s += " : YES : NORMAL";
    if (v >= 7) s += " : \"\"";
    return s;
}

// A castle line of version v: size 3 (maximum 10), rice yield 50000, economy 300, no mine,
// no port, no ships, support 50, type NORMAL, no description. x and y as written.
inline std::string ShiroLine(int v, const std::string& id, const std::string& kuni, const std::string& house,
                             int x = 0, int y = 0) {
    std::string s = id + " : 城 : " + kuni;
    if (v >= 6) s += " : 10";
    s += " : 3 : " + std::to_string(x) + " : " + std::to_string(y) + " : 50000 : 300";
    if (v >= 2) s += " : 0 : 0";
    s += " : NO : 0 : 0";
    if (v >= 8) s += " : -";
    s += " : 50";
    if (v >= 4) s += " : NORMAL";
    s += " : " + house;
    if (v >= 7) s += " : \"\"";
    return s;
}

// Version v; houses D01, D02; castles S01 (K01, D01) at (0, 0), S02 (K02, D02) at (1000, 0) and
// S03 (K01, D02) at (0, 1000), positions as written (old versions scale them by 128).
inline ScenarioText World(int v, bool withCastles = true) {
    ScenarioText t;
    t.Add("ScenarioVer : " + std::to_string(v));
    t.Add({"Daimyou {", DaimyouLine(v, "D01", "織田"), DaimyouLine(v, "D02", "今川"), "}"});
    if (withCastles)
        t.Add({"Shiro {", ShiroLine(v, "S01", "K01", "D01", 0, 0), ShiroLine(v, "S02", "K02", "D02", 1000, 0),
               ShiroLine(v, "S03", "K01", "D02", 0, 1000), "}"});
    return t;
}

// An error case: the section's lines (opening and closing lines included) after World(v), the
// line (1-based within them) that is reported, and the code.
struct SectionErrorCase {
    const char* name;
    int version;
    std::vector<std::string> section;
    int failAt;
    int code;
    bool withCastles = true;
};

// Reads World(version) with the section and checks the one message shown.
inline void ExpectSectionError(const SectionErrorCase& c) {
    ExpectErrorAfter(World(c.version, c.withCastles), c.section, c.failAt, c.code);
}

}  // namespace rymd::test
