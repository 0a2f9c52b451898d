// A generated scenario at the game's capacities: 999 houses (the most a game can start with, as
// the spectator needs one more slot), 10000 castles on a 100 x 100 grid of roads, 30000 generals
// (a thirtieth of them appearing in later years) and 244 provinces, with the province map held in
// memory. For the benchmark of whole months and for tests at full tables.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"

namespace rymd::test {

// A province map whose file is the data given, whatever the path (its lists and size; no
// pictures and no relief).
class MemoryKorMap : public MbKorMap::CCtrlKorMap {
public:
    explicit MemoryKorMap(const MbKorMap::KorMapData& data)
        : kuni_(data.kuni),
          chiiki_(data.chiiki),
          pictureNames_(data.pictureNames),
          width_(data.width),
          height_(data.height),
          formatFlag_(data.formatFlag) {}

protected:
    int ReadKorMapFile(const char* /*path*/, MbKorMap::KorMapData& out) override {
        out.kuni = kuni_;
        out.chiiki = chiiki_;
        out.pictureNames = pictureNames_;
        out.width = width_;
        out.height = height_;
        out.formatFlag = formatFlag_;
        return kLoaded;
    }

private:
    std::vector<MbKorMap::KuniRecord> kuni_;
    std::vector<MbKorMap::ChiikiRecord> chiiki_;
    std::vector<std::string> pictureNames_;
    std::int32_t width_;
    std::int32_t height_;
    int formatFlag_;
};

struct CapacityScenario {
    int houses = 999;
    int castles = 10000;
    int generals = 30000;
    int castlesPerKuni = 41;
    int laterEvery = 30;  // every n-th general appears in a later year; 0: all are there at the start
    int regions = 8;
};

// The map of the scenario: provinces K001.., regions R01...
inline MbKorMap::KorMapData MakeCapacityMap(const CapacityScenario& c) {
    MbKorMap::KorMapData d;
    for (int r = 0; r < c.regions; ++r) {
        char id[16];
        std::snprintf(id, sizeof id, "R%02d", r + 1);
        d.chiiki.push_back({id, FromUtf8("地方", TextEncoding::ShiftJis)});
    }
    const int kuni = (c.castles + c.castlesPerKuni - 1) / c.castlesPerKuni;
    for (int k = 0; k < kuni; ++k) {
        char id[16];
        std::snprintf(id, sizeof id, "K%03d", k + 1);
        d.kuni.push_back(
            {id, FromUtf8("国", TextEncoding::ShiftJis), static_cast<std::int16_t>(k % c.regions)});
    }
    d.width = 4000;
    d.height = 4000;
    return d;
}

// The scenario text (UTF-8; convert to Shift-JIS before reading).
inline std::string MakeCapacityScenarioText(const CapacityScenario& c) {
    std::string s;
    s.reserve(8u << 20);
    char line[512];
    s += "ScenarioVer : 11\nTitle : \"全国\"\nStartYear : 1560\nStartMonth : 1\nHeiUnit : 10\n";
    s += "StandardAge : 60\nBushouHojuu : YES\nMapFile : capacity.map\n\nDaimyou {\n";
    for (int h = 0; h < c.houses; ++h) {
        std::snprintf(line, sizeof line,
                      "D%03d : 家%03d : NORMAL : %d : %d : -1 : 10 : 3 : YES : NORMAL : \"\"\n", h, h,
                      10 + h % 50, h % 30);
        s += line;
    }
    s += "}\n\nShiro {\n";
    const auto houseOf = [&](int castle) {
        return static_cast<int>(static_cast<long long>(castle) * c.houses / c.castles);
    };
    for (int k = 0; k < c.castles; ++k) {
        const int x = k % 100;
        const int y = k / 100;
        std::snprintf(
            line, sizeof line,
            "S%05d : 城%05d : K%03d : 10 : %d : %d : %d : %d : %d : %d : %d : NO : 0 : 0 : - : %d : NORMAL : "
            "D%03d : \"\"\n",
            k, k, k / c.castlesPerKuni + 1, 2 + k % 6, 100 + 35 * x, 100 + 35 * y, 5000 + (k * 37) % 60000,
            50 + (k * 13) % 400, (k % 7) * 3, k % 7, 40 + k % 50, houseOf(k));
        s += line;
    }
    s += "}\n\nShiroConnect {\n";
    for (int k = 0; k < c.castles; ++k) {
        if (k % 100 != 99 && k + 1 < c.castles) {
            std::snprintf(line, sizeof line, "S%05d : S%05d : BROAD : LINE\n", k, k + 1);
            s += line;
        }
        if (k + 100 < c.castles) {
            std::snprintf(line, sizeof line, "S%05d : S%05d : %s : LINE\n", k, k + 100,
                          k % 3 == 0 ? "MOUNTAIN" : "NARROW");
            s += line;
        }
    }
    s += "}\n\nBushou {\n";
    std::vector<int> ranks(static_cast<std::size_t>(c.houses), 0);
    for (int g = 0; g < c.generals; ++g) {
        const int castle = static_cast<int>(static_cast<long long>(g) * c.castles / c.generals);
        const int h = houseOf(castle);
        const bool later = c.laterEvery > 0 && g % c.laterEvery == c.laterEvery - 1;
        char house[8];
        std::snprintf(house, sizeof house, "D%03d", h);
        int rank = -1;
        if (!later && ranks[static_cast<std::size_t>(h)] < 3) rank = ++ranks[static_cast<std::size_t>(h)];
        std::snprintf(line, sizeof line,
                      "B%05d : 将%05d : %d : %d : %d : %d : %d : %d : %d : %d : %d : %d : %d : %d : BYOUSHI "
                      ": %d : %s : %d "
                      ": S%05d : \"\"\n",
                      g, g, 1 + g % 10, 1 + (g / 3) % 10, 1 + (g / 7) % 10, 1 + (g / 11) % 10,
                      1 + (g / 13) % 10, 1 + (g / 17) % 10, 1 + (g / 19) % 10, 100 + g % 400,
                      300 + (g * 7) % 1500, (g % 5) * 50, 1510 + g % 45, 1565 + g % 50,
                      later ? 1561 + g % 10 : 0, later && (g / c.laterEvery) % 2 == 1 ? "D_FREE" : house,
                      rank, castle);
        s += line;
    }
    s += "}\n";
    return s;
}

// Writes DIR/NAME.snr (the bytes given) and DIR/NAME.map (the map's lists in the "RYUUMONDEN MAP "
// form, extent = its width and height). False, with the reason, when a file cannot be written.
inline bool WriteScenarioFiles(const std::string& dir, const std::string& name,
                               const std::vector<std::uint8_t>& scenario, const MbKorMap::KorMapData& lists,
                               std::string* why) {
    const std::string folder = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    if (!WriteFileAtomic(folder + name + ".snr", scenario)) {
        if (why) *why = "cannot write " + folder + name + ".snr";
        return false;
    }
    MbKorMap::KorMapData map;
    map.kuni = lists.kuni;
    map.chiiki = lists.chiiki;
    map.width = lists.width;
    map.height = lists.height;
    map.formatFlag = 1;
    map.extent = {0, 0, lists.width, lists.height};
    std::string reason;
    if (!MbKorMap::SaveKorMapFile((folder + name + ".map").c_str(), map, &reason)) {
        if (why) *why = "cannot write " + folder + name + ".map: " + reason;
        return false;
    }
    return true;
}

// The world fixture's map: provinces K01 to K03 in regions R01 to R03.
inline MbKorMap::KorMapData MakeWorldFixtureMap() {
    MbKorMap::KorMapData map;
    for (int k = 0; k < 3; ++k) {
        char id[8];
        std::snprintf(id, sizeof id, "K%02d", k + 1);
        map.kuni.push_back({id, FromUtf8("国", TextEncoding::ShiftJis), static_cast<std::int16_t>(k)});
        std::snprintf(id, sizeof id, "R%02d", k + 1);
        map.chiiki.push_back({id, FromUtf8("地域", TextEncoding::ShiftJis)});
    }
    map.width = 100;
    map.height = 80;
    return map;
}

}  // namespace rymd::test
