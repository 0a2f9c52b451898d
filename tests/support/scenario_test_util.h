// Helpers of the scenario tests: an in-memory province map and a reader over text.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/state/game_state.h"
#include "game/scenario/reader.h"
#include "game/ports/scripted_port.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"

namespace rymd::test {

// A province map whose "files" are kept in memory by path.
class FakeKorMap : public MbKorMap::CCtrlKorMap {
public:
    std::map<std::string, MbKorMap::KorMapData> files;  // path -> content
    std::vector<std::string> bad;                       // paths whose content is faulty
    std::vector<std::string> opened;                    // every path asked for, in order

    // A map of n provinces K01.. (names in Japanese), regions R01..R03, pictures P1 and 城A.
    static MbKorMap::KorMapData Make(int nKuni = 3, int nChiiki = 3, int formatFlag = 0) {
        MbKorMap::KorMapData d;
        for (int i = 0; i < nChiiki; ++i) {
            char id[16];
            std::snprintf(id, sizeof id, "R%02d", i + 1);
            d.chiiki.push_back({id, "地域"});
        }
        for (int i = 0; i < nKuni; ++i) {
            char id[16];
            std::snprintf(id, sizeof id, "K%02d", i + 1);
            d.kuni.push_back({id, "国", static_cast<std::int16_t>(i % (nChiiki > 0 ? nChiiki : 1))});
        }
        d.pictureNames = {"P1", FromUtf8("城A", TextEncoding::ShiftJis)};
        d.width = 100;
        d.height = 80;
        d.formatFlag = formatFlag;
        return d;
    }

protected:
    int ReadKorMapFile(const char* path, MbKorMap::KorMapData& out) override {
        opened.push_back(path);
        for (const auto& b : bad)
            if (b == path) return kBadContent;
        auto it = files.find(path);
        if (it == files.end()) return kCannotOpen;
        const MbKorMap::KorMapData& d = it->second;
        out.kuni = d.kuni;
        out.chiiki = d.chiiki;
        out.pictureNames = d.pictureNames;
        out.width = d.width;
        out.height = d.height;
        out.formatFlag = d.formatFlag;
        return kLoaded;
    }
};

// Shift-JIS bytes of a UTF-8 test text.
inline std::vector<std::uint8_t> Sjis(const std::string& utf8) {
    std::string b = FromUtf8(utf8, TextEncoding::ShiftJis);
    return {b.begin(), b.end()};
}

// One reading of a scenario given as text, with its own state, map and ports.
struct ReaderRun {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    FakeKorMap map;
    ScriptedPort port;
    Ports ports = port.AsPorts();
    std::string scenarioFolder = "/scn/";
    std::string programFolder = "/prog/";
    int result = -1;
    int tokenLine = 0;

    ReaderRun() { map.files[scenarioFolder + "default.map"] = FakeKorMap::Make(); }

    int Read(const std::string& text) { return ReadBytes(Sjis(text)); }
    int ReadBytes(std::vector<std::uint8_t> bytes) {
        CScenarioReader reader(*gs, map, ports, programFolder);
        result = reader.ReadScenarioData(std::move(bytes), scenarioFolder).Code();
        tokenLine = reader.TokenLine();
        return result;
    }
    // The one message the reader showed ("" when none).
    std::string Message() const {
        auto calls = port.CallsOf(PortCallKind::Inform);
        return calls.empty() ? std::string() : calls.back().text;
    }
};

}  // namespace rymd::test
