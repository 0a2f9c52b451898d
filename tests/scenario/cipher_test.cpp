// The scenario cipher itself and reading enciphered scenarios for play.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "game/scenario/cipher.h"
#include "game/scenario/errors.h"
#include "platform/core/random.h"
#include "support/cipher_test_util.h"

namespace rymd::test {
namespace {

// Deciphers every byte of a cipher text.
struct Deciphered {
    std::string bytes;
    std::uint32_t count = 0, sum = 0;
};

Deciphered DecipherAll(const std::string& text) {
    Deciphered d;
    std::size_t pos = 0;
    auto next = [&] { return pos < text.size() ? static_cast<unsigned char>(text[pos++]) : -1; };
    for (int v; (v = DecipherChar(next, d.count, d.sum)) != -1;)
        d.bytes.push_back(static_cast<char>(v));
    return d;
}

// --- the cipher -----------------------------------------------------------------------------------

TEST(ScenarioCipher, KnownCipherTextsOfTheFixedKey) {
    // Files written by one build must be read by the next: the key table and the rule are fixed.
    struct Case {
        std::string plain, cipher;
        std::uint32_t count, sum;
    };
    const Case cases[] = {
        {"Title : A\n", "Jnhs+!hkOx1", 10, 0x3f16},
        {std::string("\x00\x1f\x20\x77\x78\xff", 6), "xnxZE[yf{.", 6, 0x57ac},
        {"AAAA", "7+b1", 4, 0x79e},  // the same byte differs with its position
    };
    for (const Case& c : cases) {
        std::string out;
        std::uint32_t count = 0, sum = 0;
        ScrambleBytes(out, c.plain, count, sum);
        EXPECT_EQ(out, c.cipher);
        EXPECT_EQ(count, c.count);
        EXPECT_EQ(sum, c.sum);
    }
}

TEST(ScenarioCipher, PrintableBytesTakeOneCharacterTheOthersTwo) {
    for (int v = 0; v < 256; ++v) {
        // Several counter states, so that every key byte is met.
        for (std::uint32_t start = 0; start < 100; start += 7) {
            std::string out;
            std::uint32_t count = start, sum = start * 31;
            ScrambleByte(out, static_cast<std::uint8_t>(v), count, sum);
            const bool twoChars = v < 32 || v >= 120;
            ASSERT_EQ(out.size(), twoChars ? 2u : 1u) << v;
            if (twoChars) {
                EXPECT_EQ(static_cast<unsigned char>(out[0]), 120 + (v >> 6)) << v;
            }
            unsigned char last = static_cast<unsigned char>(out.back());
            EXPECT_GE(last, 32) << v;
            EXPECT_LE(last, 119) << v;  // 120..123 only lead a pair; 124..126 never occur
            EXPECT_EQ(count, start + 1);
            EXPECT_EQ(sum, start * 31 + (static_cast<std::uint32_t>(v) << ((start + 1) & 7)));
        }
    }
}

TEST(ScenarioCipher, RandomBytesComeBackWithLineBreaksAnywhere) {
    Random rng(12345);
    // Characters a copy of the text may pick up between the cipher characters.
    const std::string strays[] = {"\n", "\r\n", "\r", "\t",   std::string(1, '\0'),
                                  "|",  "}",    "~",  "\x7f", "\xff"};
    for (int round = 0; round < 300; ++round) {
        std::string plain(static_cast<std::size_t>(rng.Below(round < 10 ? 4 : 3000)), '\0');
        for (char& c : plain)
            c = static_cast<char>(rng.Below(256));
        std::string cipher;
        std::uint32_t count = 0, sum = 0;
        ScrambleBytes(cipher, plain, count, sum);

        std::string broken;
        for (char c : cipher) {
            while (rng.Below(8) == 0)
                broken += strays[rng.Below(static_cast<int>(std::size(strays)))];
            broken.push_back(c);
        }
        if (rng.Below(2)) broken += "\n";

        Deciphered d = DecipherAll(broken);
        ASSERT_EQ(d.bytes, plain) << "round " << round;
        EXPECT_EQ(d.count, count);
        EXPECT_EQ(d.sum, sum);
    }
}

TEST(ScenarioCipher, TheReaderDeciphersTheFileWithItsLineEnds) {
    std::string plain;
    for (int v = 0; v < 256; ++v)
        plain.push_back(static_cast<char>(v));
    std::string cipher;
    std::uint32_t count = 0, sum = 0;
    ScrambleBytes(cipher, plain, count, sum);
    std::string file;
    for (std::size_t i = 0; i < cipher.size(); ++i) {
        file.push_back(cipher[i]);
        if (i % 13 == 12) file += "\r\n";
    }

    ReaderRun run;
    CScenarioReader reader(*run.gs, run.map, run.ports, run.programFolder);
    reader.OpenBytes(std::vector<std::uint8_t>(file.begin(), file.end()));
    std::string got;
    std::uint32_t c = 0, s = 0;
    for (int v; (v = reader.CipherGetc(c, s)) != CScenarioReader::kEof;)
        got.push_back(static_cast<char>(v));
    EXPECT_EQ(got, plain);
    EXPECT_EQ(s, sum);
    EXPECT_EQ(reader.LineCounter(), 1) << "characters read by the cipher count no lines";
}

TEST(ScenarioCipher, TextThatEndsInsideAPairOrBeforeAnyCharacterEnds) {
    std::string cipher;
    std::uint32_t count = 0, sum = 0;
    ScrambleBytes(cipher, "ab\n", count, sum);
    const struct {
        std::string text;
        std::size_t bytes;
    } cases[] = {
        {"", 0},
        {"\n\r\n", 0},
        {"x", 0},
        {"{\n", 0},
        {cipher.substr(0, cipher.size() - 1), 2},  // the line break's lead character alone
        {cipher, 3},
    };
    for (const auto& c : cases) {
        Deciphered d = DecipherAll(c.text);
        EXPECT_EQ(d.bytes.size(), c.bytes);
        EXPECT_EQ(d.count, c.bytes) << "a character that was not deciphered counts nothing";
    }
}

TEST(ScenarioCipher, ToolRequestChecks) {
    EXPECT_EQ(CheckCipherRequest("a.snr", "a.snr", "pw"), kCipherMsgSameFile);
    EXPECT_EQ(CheckCipherRequest("a.snr", "b.snr", std::string(20, 'p')), "");
    EXPECT_EQ(CheckCipherRequest("a.snr", "b.snr", std::string(21, 'p')), kCipherMsgPasswordTooLong);
    // Ten full-width characters are twenty bytes in the file; eleven are too many.
    EXPECT_EQ(CheckCipherRequest("a.snr", "b.snr", "あいうえおかきくけこ"), "");
    EXPECT_EQ(CheckCipherRequest("a.snr", "b.snr", "あいうえおかきくけこさ"), kCipherMsgPasswordTooLong);
    // The stored password ends at a blank: one with a blank could never be given back. A
    // full-width blank is an ordinary character.
    EXPECT_EQ(CheckCipherRequest("a.snr", "b.snr", "pass word"), kCipherMsgPasswordBlank);
    EXPECT_EQ(CheckCipherRequest("a.snr", "b.snr", " "), kCipherMsgPasswordBlank);
    EXPECT_EQ(CheckCipherRequest("a.snr", "b.snr", "pass　word"), "");
}

// --- reading enciphered scenarios for play ---------------------------------------------------------

TEST(EncipheredScenario, NeedsNoPasswordAndKeepsTheTextBeforeTheHeader) {
    std::string file = SjisText("// 前書き\nTitle : \"前\"\n") +
                       MakeEncipheredBody("secret", SjisText("StartYear : 1575\nTitle : 長篠\n"));
    ReaderRun run;
    EXPECT_EQ(run.ReadBytes(Bytes(file)), 0) << run.Message();
    EXPECT_EQ(run.gs->nStartYear, 1575);
    EXPECT_EQ(run.gs->ScenarioTitle, "長篠");
    EXPECT_TRUE(run.port.Calls().empty()) << "nothing asked, nothing shown";
}

TEST(EncipheredScenario, TheCheckValueMustFitTheText) {
    const std::string body = SjisText("Title : 本文\n// 終わり\n");
    std::uint32_t count = 0, sum = 0;
    std::string ignored;
    ScrambleBytes(ignored, body, count, sum);
    char lower[16], upper[16], other[16];
    std::snprintf(lower, sizeof lower, "%08x", sum);
    std::snprintf(upper, sizeof upper, "%08X", sum);
    std::snprintf(other, sizeof other, "%08x", sum + 1);
    const struct {
        const char* name;
        std::string check;
        int code;
    } cases[] = {
        {"lower-case digits", lower, 0},
        {"upper-case digits", upper, 0},
        {"another value", other, kScnCipher},
        {"not a hexadecimal digit", std::string(lower).substr(0, 7) + "g", kScnCipher},
        {"a blank among the digits", " " + std::string(lower).substr(1), kScnCipher},
    };
    for (const auto& c : cases) {
        ReaderRun run;
        std::string file = FromUtf8(kCipherHeaderUtf8, TextEncoding::ShiftJis) + "\n" + Enciphered("pw ") +
                           Enciphered(c.check) + Enciphered(body);
        EXPECT_EQ(run.ReadBytes(Bytes(file)), c.code) << c.name;
        if (c.code == kScnCipher) {
            EXPECT_EQ(run.Message(), "暗号化データに異常があります") << c.name;
        }
        EXPECT_EQ(run.gs->ScenarioTitle, "本文") << c.name << ": read to the end first";
    }
}

TEST(EncipheredScenario, AHeaderWithNothingAfterItIsFaulty) {
    const struct {
        const char* name;
        std::string file;
        int code;
    } cases[] = {
        {"file ends after the header", "Cipher : LEVEL1\n", kScnCipher},
        {"file ends inside the check value", "Cipher : LEVEL1\n" + Enciphered("pw ") + Enciphered("0000"),
         kScnCipher},
        {"file ends before the level", "Title : a\nCipher", 0},  // the keyword is dropped
    };
    for (const auto& c : cases) {
        ReaderRun run;
        EXPECT_EQ(run.ReadBytes(Bytes(c.file)), c.code) << c.name;
    }
}

TEST(EncipheredScenario, APairThatDeciphersToNoByteIsFaultyEvenWithAFittingCheck) {
    // The last pair "{" + c deciphers to a value above 255, which no byte enciphers to. The check
    // value is made to fit the deciphered values, so only the damage itself can refuse the file.
    const std::string body = SjisText("Title : 本文\n// 終わり ");
    std::string cipher;
    std::uint32_t count = 0, sum = 0;
    ScrambleBytes(cipher, body, count, sum);
    const int k = g_ScenarioCipherKey[(count + sum) % 100];
    cipher += '{';
    cipher += static_cast<char>((80 + k) % 88 + 32);
    Deciphered d = DecipherAll(cipher);
    ASSERT_EQ(d.count, count + 1);
    char check[16];
    std::snprintf(check, sizeof check, "%08x", d.sum);

    ReaderRun run;
    std::string file = "Cipher : LEVEL1\n" + Enciphered("pw ") + Enciphered(check) + cipher;
    EXPECT_EQ(run.ReadBytes(Bytes(file)), kScnCipher);
    EXPECT_EQ(run.Message(), "暗号化データに異常があります");
}

TEST(EncipheredScenario, StrayCharactersOutsideTheAlphabetAreSkipped) {
    std::string file = MakeEncipheredBody("pw", SjisText("StartYear : 1582\n"));
    std::string stray;
    for (std::size_t i = file.find('\n') + 1; i < file.size(); ++i) {
        stray.push_back(file[i]);
        if (i % 5 == 0) stray += (i % 2 ? "~" : "\x80\t");
    }
    ReaderRun run;
    EXPECT_EQ(run.ReadBytes(Bytes(file.substr(0, file.find('\n') + 1) + stray)), 0) << run.Message();
    EXPECT_EQ(run.gs->nStartYear, 1582);
}

TEST(EncipheredScenario, ErrorsInsideTheCipherTextCountTheDecipheredLines) {
    // The header's line counts, the cipher text's own line breaks do not.
    std::string file = SjisText("// 前\n") +
                       MakeEncipheredBody("pw", SjisText("Title : a\nBogus\n" + std::string(200, '/')));
    ReaderRun run;
    EXPECT_EQ(run.ReadBytes(Bytes(file)), kScnSyntax);
    EXPECT_EQ(run.Message(), "構文エラー(Line No.4) ");
}

}  // namespace
}  // namespace rymd::test
