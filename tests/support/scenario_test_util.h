// Helpers of the scenario tests: an in-memory province map, scenarios built line by line, a
// reader over text and the check of the one error message the player sees.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/ports/scripted_port.h"
#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
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
        out.pictures.clear();
        for (const MbBmp::CControlBmp& picture : d.pictures) {
            out.pictures.emplace_back();
            out.pictures.back().Duplicate(&picture);
        }
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

// A scenario built line by line.
struct ScenarioText {
    std::vector<std::string> lines;

    // Appends a line and gives its line number.
    int Add(const std::string& line) {
        lines.push_back(line);
        return LineCount();
    }
    ScenarioText& Add(std::initializer_list<std::string> more) {
        lines.insert(lines.end(), more.begin(), more.end());
        return *this;
    }
    ScenarioText& Add(const std::vector<std::string>& more) {
        lines.insert(lines.end(), more.begin(), more.end());
        return *this;
    }
    int LineCount() const { return static_cast<int>(lines.size()); }
    std::string Text() const {
        std::string t;
        for (const auto& l : lines)
            t += l + "\n";
        return t;
    }
};

// The message the player sees for an error code on a line.
inline std::string ErrorText(int code, int line) {
    return std::string(ScenarioErrorMessage(code)) + "(Line No." + std::to_string(line) + ") ";
}

// Reads prefix + lines and checks the code and the one message shown, which names the line
// failAt (1-based among lines).
inline void ExpectErrorAfter(const ScenarioText& prefix, const std::vector<std::string>& lines, int failAt,
                             int code) {
    ScenarioText t = prefix;
    t.Add(lines);
    ReaderRun run;
    EXPECT_EQ(run.Read(t.Text()), code) << run.Message();
    ASSERT_EQ(run.port.CallsOf(PortCallKind::Inform).size(), 1u);
    EXPECT_EQ(run.Message(), ErrorText(code, prefix.LineCount() + failAt));
}

// A case name that GoogleTest accepts: every character but letters and digits becomes '_'.
inline std::string CaseName(const char* name) {
    std::string n = name;
    for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return n;
}

}  // namespace rymd::test
