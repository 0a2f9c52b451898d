// Helpers of the cipher tests: cipher texts made without the converters, scratch files and a
// comparison of two readings.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/scenario/cipher.h"
#include "platform/core/encoding.h"
#include "support/scenario_test_util.h"

namespace rymd::test {

inline std::vector<std::uint8_t> Bytes(const std::string& s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

// Shift-JIS bytes of a UTF-8 text, as a string.
inline std::string SjisText(const std::string& utf8) {
    return FromUtf8(utf8, TextEncoding::ShiftJis);
}

// The cipher text of bytes with fresh counters.
inline std::string Enciphered(const std::string& bytes) {
    std::string out;
    std::uint32_t count = 0, sum = 0;
    ScrambleBytes(out, bytes, count, sum);
    return out;
}

// An enciphered scenario as the scenario tools lay it out: header line, then password, check value
// and text in lines of 60 characters.
inline std::string MakeEncipheredBody(const std::string& password, const std::string& plain) {
    std::string body;
    std::uint32_t count = 0, sum = 0;
    ScrambleBytes(body, plain, count, sum);
    char check[16];
    std::snprintf(check, sizeof check, "%08x", sum);
    std::string all = Enciphered(password + " ") + Enciphered(check) + body;
    std::string file = FromUtf8(kCipherHeaderUtf8, TextEncoding::ShiftJis) + "\n";
    for (std::size_t i = 0; i < all.size(); ++i) {
        file.push_back(all[i]);
        if (i % kCipherLineLength == kCipherLineLength - 1) file.push_back('\n');
    }
    return file;
}

// A scratch folder of the running test, removed afterwards.
class ScratchDir {
public:
    ScratchDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() / ("rymd_cipher_" + std::to_string(::getpid()) + "_" +
                                                          info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::string& path) {
    return std::filesystem::exists(path);
}

// Two readings of a scenario gave the same settings, counts, tables and texts, and showed the
// player the same things.
inline void ExpectSameReading(const ReaderRun& a, const ReaderRun& b) {
    const GameState& x = *a.gs;
    const GameState& y = *b.gs;
    EXPECT_EQ(a.result, b.result);
#define RYMD_SAME(field) EXPECT_EQ(x.field, y.field) << #field
    RYMD_SAME(ScenarioTitle);
    RYMD_SAME(EndingText);
    RYMD_SAME(ScenarioFolder);
    RYMD_SAME(ScenarioBgmNormal);
    RYMD_SAME(ScenarioBgmBattle);
    RYMD_SAME(nStartYear);
    RYMD_SAME(nStartMonth);
    RYMD_SAME(nHeiUnit);
    RYMD_SAME(nShiroDotSize);
    RYMD_SAME(nShiroHyourouMax);
    RYMD_SAME(nDistanceLimit);
    RYMD_SAME(nUchijiniKakuritsu);
    RYMD_SAME(nSeppukuKakuritsu);
    RYMD_SAME(nJuuzokuJoukenHosei);
    RYMD_SAME(nShinjuuJoukenHosei);
    RYMD_SAME(nDokuritsuJoukenHosei);
    RYMD_SAME(nMainMapMinimumWidth);
    RYMD_SAME(nShiroOffsetX);
    RYMD_SAME(nShiroOffsetY);
    RYMD_SAME(nShiroNameOffset);
    RYMD_SAME(nDaimyouNameOffset);
    RYMD_SAME(nKouekisenPrice);
    RYMD_SAME(nGunsenPrice);
    RYMD_SAME(nKishuu);
    RYMD_SAME(RoadCost);
    RYMD_SAME(nKouzanPicture);
    RYMD_SAME(nKouekisenPicture);
    RYMD_SAME(nKouekisenReturnPicture);
    RYMD_SAME(nGunsenPicture);
    RYMD_SAME(nGunsenCompletePicture);
    RYMD_SAME(nGunsenLargePicture);
    RYMD_SAME(nTeppouPicture);
    RYMD_SAME(nGunsenUnitPictureR);
    RYMD_SAME(nGunsenUnitPictureL);
    RYMD_SAME(bBushouHojuu);
    RYMD_SAME(bKeiryaku);
    RYMD_SAME(bTekiJouTsuuka);
    RYMD_SAME(nLanguage);
    RYMD_SAME(TeppouCost);
    RYMD_SAME(TeppouSoubiRitsu);
    RYMD_SAME(TeppouKouka);
    RYMD_SAME(MainMapKakudai);
    RYMD_SAME(ColorPallet);
    RYMD_SAME(ScenarioWords);
    RYMD_SAME(ScenarioTextPool);
    RYMD_SAME(ExclusionList);
    RYMD_SAME(nKuni);
    RYMD_SAME(nChiiki);
    RYMD_SAME(nScenarioDaimyou);
    RYMD_SAME(nBushouEx);
    RYMD_SAME(nShiroType);
    RYMD_SAME(nShiro);
    RYMD_SAME(nScenarioDoumei);
    RYMD_SAME(nTradingPartner);
    RYMD_SAME(nTeppouKounyuu);
    RYMD_SAME(nRoutePoint);
    RYMD_SAME(nEvent);
    RYMD_SAME(nConditionalEvent);
    RYMD_SAME(nLabel);
#undef RYMD_SAME
    for (int i = 0; i < GameState::kMaxKuni; ++i) {
        const KuniAreaRecord& p = x.KuniAreaTbl[i];
        const KuniAreaRecord& q = y.KuniAreaTbl[i];
        EXPECT_TRUE(p.type == q.type && p.left == q.left && p.top == q.top && p.right == q.right &&
                    p.bottom == q.bottom)
            << "province display area " << i;
    }
    for (int i = 0; i < x.nLabel && i < y.nLabel; ++i) {
        std::uint8_t p[LabelRecord::kStoredSize] = {}, q[LabelRecord::kStoredSize] = {};
        Encode(x.LabelTbl[i], p, TextEncoding::ShiftJis);
        Encode(y.LabelTbl[i], q, TextEncoding::ShiftJis);
        EXPECT_EQ(std::string(p, p + sizeof p), std::string(q, q + sizeof q)) << "label " << i;
    }
    // What the player was shown: the opening text, messages.
    const auto& pc = a.port.Calls();
    const auto& qc = b.port.Calls();
    ASSERT_EQ(pc.size(), qc.size());
    for (std::size_t i = 0; i < pc.size(); ++i) {
        EXPECT_EQ(pc[i].kind, qc[i].kind);
        EXPECT_EQ(pc[i].text, qc[i].text);
        EXPECT_EQ(pc[i].details, qc[i].details);
    }
}

}  // namespace rymd::test
