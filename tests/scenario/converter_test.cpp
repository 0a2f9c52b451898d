// The scenario tools: writing enciphered and plain copies, and the command-line front.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include "support/run_cli.h"

#include <cstdio>
#include <string>

#include "game/scenario/cipher.h"
#include "support/cipher_test_util.h"

namespace rymd::test {
namespace {

// A scenario with a value for every scalar the reader keeps and one of each built section.
const char kRichScenario[] =
    "// 試験用シナリオ\n"
    "ScenarioVer : 11\n"
    "Title : \"川中島の戦い\"\n"
    "StartYear : 1561\n"
    "StartMonth : 9\n"
    "HeiUnit : 1\n"
    "ShiroDotSize : 4\n"
    "ShiroHyourouMax : 3000\n"
    "DistanceLimit : 20\n"
    "UchijiniKakuritsu : 7\n"
    "SeppukuKakuritsu : 3\n"
    "JuuzokuJoukenHosei : 2\n"
    "ShinjuuJoukenHosei : 4\n"
    "DokuritsuJoukenHosei : 6\n"
    "MainMapMinimumWidth : 800\n"
    "RoadCostBroad : 1.5\n"
    "RoadCostNarrow : 2.5\n"
    "RoadCostMountain : 4.56\n"
    "RoadCostSea : 0.5\n"
    "ShiroOffset : 3 : -4\n"
    "ShiroNameOffset : 5\n"
    "DaimyouNameOffset : -6\n"
    "BGM : normal.mid battle.mid\n"
    "KouekisenPrice : 1500\n"
    "GunsenPrice : 2500\n"
    "StandardAge : 55\n"
    "BushouHojuu : NO\n"
    "Kishuu : NO\n"
    "Keiryaku : NO\n"
    "TekiJouTsuuka : YES\n"
    "MapFile : default.map\n"
    "KouzanPicture : P1\n"
    "GunsenPicture : 城A\n"
    "TeppouPicture : NORMAL\n"
    "WordAssign {\n"
    "SHIRO : 砦\n"
    "}\n"
    "MainMapKakudai : 1 : 2 : 30 : 40\n"
    "KuniArea {\n"
    "K02 : 3 : 1 : 2 : 50 : 60\n"
    "}\n"
    "ColorPallet {\n"
    "255 : 0 : 0 : 0\n"
    "0 : 255 : 0 : 0\n"
    "}\n"
    "Label {\n"
    "\"越後\" : 10 : 20 : K01 : WHOLE : 1 : 12 : YES : NO\n"
    "}\n"
    "Opening {\n"
    "\"永禄四年、上杉政虎は妻女山に陣を敷いた。\"\n"
    "\"a:b,c\"\n"
    "}\n"
    "Ending {\n"
    "\"%Player%は天下を統一しました。\"\n"
    "}\n";

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// One converter run over files in a scratch folder, with its messages.
struct Converter {
    ReaderRun run;  // state, map and ports for the reader that runs the converter
    bool Encrypt(const std::string& in, const std::string& out, const std::string& password) {
        CScenarioReader reader(*run.gs, run.map, run.ports, run.programFolder);
        return reader.EncryptScenario(in, out, password);
    }
    bool Decrypt(const std::string& in, const std::string& out, const std::string& password) {
        CScenarioReader reader(*run.gs, run.map, run.ports, run.programFolder);
        return reader.DecryptScenario(in, out, password);
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const PortCall& c : run.port.CallsOf(PortCallKind::Inform))
            texts.push_back(c.text);
        return texts;
    }
};

using Messages = std::vector<std::string>;

// --- encryption -------------------------------------------------------------------------------------

TEST(EncryptScenario, TheEncipheredCopyReadsLikeThePlainScenario) {
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"rich scenario", SjisText(kRichScenario)},
        {"CR-LF line ends", WithCrLf(SjisText(kRichScenario))},
        {"last line without a line break", SjisText(std::string(kRichScenario) + "Title : 最後")},
        {"last line a comment without a line break", SjisText(std::string(kRichScenario) + "// 終")},
        {"empty file", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        WriteFile(dir.File("plain.snr"), c.text);
        Converter conv;
        ASSERT_TRUE(conv.Encrypt(dir.File("plain.snr"), dir.File("enc.snr"), "秘密"));
        EXPECT_EQ(conv.Messages(), Messages{});

        ReaderRun plain, enciphered;
        plain.ReadBytes(Bytes(c.text));
        enciphered.ReadBytes(Bytes(ReadFile(dir.File("enc.snr"))));
        ExpectSameReading(plain, enciphered);
        if (std::string(c.name) == "rich scenario") {
            ASSERT_EQ(plain.result, 0) << plain.Message();
            EXPECT_EQ(plain.gs->ScenarioTitle, "川中島の戦い");  // the reading really took place
            EXPECT_EQ(plain.gs->nLabel, 1);
        }
    }
}

TEST(EncryptScenario, WritesHeaderThenPasswordCheckAndTextInLinesOfSixty) {
    ScratchDir dir;
    const std::string plain = SjisText(kRichScenario);
    WriteFile(dir.File("plain.snr"), plain);
    Converter conv;
    ASSERT_TRUE(conv.Encrypt(dir.File("plain.snr"), dir.File("enc.snr"), "pass_word"));
    const std::string file = ReadFile(dir.File("enc.snr"));

    const std::string header = SjisText(kCipherHeaderUtf8) + "\n";
    ASSERT_EQ(file.compare(0, header.size(), header), 0);
    std::string cipher;
    std::size_t pos = header.size();
    while (pos < file.size()) {
        std::size_t end = file.find('\n', pos);
        std::string line = file.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        bool last = end == std::string::npos || end + 1 == file.size();
        if (!last) {
            EXPECT_EQ(line.size(), kCipherLineLength);
        }
        EXPECT_LE(line.size(), kCipherLineLength);
        for (char c : line) {
            EXPECT_GE(static_cast<unsigned char>(c), 32);
            EXPECT_LE(static_cast<unsigned char>(c), 123);
        }
        cipher += line;
        if (end == std::string::npos) break;
        pos = end + 1;
    }

    // Password and blank, then the check value, then the text: each with fresh counters.
    std::size_t at = 0;
    auto next = [&] { return at < cipher.size() ? static_cast<unsigned char>(cipher[at++]) : -1; };
    auto take = [&](std::size_t n) {
        std::string s;
        std::uint32_t count = 0, sum = 0;
        for (std::size_t i = 0; i < n; ++i)
            s.push_back(static_cast<char>(DecipherChar(next, count, sum)));
        return s;
    };
    EXPECT_EQ(take(10), "pass_word ");
    const std::string check = take(8);
    std::uint32_t count = 0, sum = 0;
    std::string text;
    for (int v; (v = DecipherChar(next, count, sum)) != -1;)
        text.push_back(static_cast<char>(v));
    EXPECT_EQ(text, plain);
    char expected[16];
    std::snprintf(expected, sizeof expected, "%08x", sum);
    EXPECT_EQ(check, expected);
}

TEST(EncryptScenario, FilesThatCannotBeOpened) {
    ScratchDir dir;
    WriteFile(dir.File("plain.snr"), "Title : a\n");
    WriteFile(dir.File("enc.snr"), MakeEncipheredBody("pw", "Title : a\n"));
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    const struct {
        const char* name;
        bool encrypt;
        std::string in, out;
        const char* message;
    } cases[] = {
        {"encrypt: no scenario", true, dir.File("none.snr"), dir.File("out.snr"),
         kCipherMsgCannotOpenScenario},
        {"encrypt: no output folder", true, dir.File("plain.snr"), dir.File("no/such/out.snr"),
         kCipherMsgCannotOpenOutput},
        {"encrypt: a FIFO as the scenario", true, dir.File("pipe"), dir.File("out.snr"),
         kCipherMsgCannotOpenScenario},
        {"decrypt: no scenario", false, dir.File("none.snr"), dir.File("out.snr"),
         kCipherMsgCannotOpenScenario},
        {"decrypt: no output folder", false, dir.File("enc.snr"), dir.File("no/such/out.snr"),
         kCipherMsgCannotOpenOutput},
    };
    for (const auto& c : cases) {
        Converter conv;
        EXPECT_FALSE(c.encrypt ? conv.Encrypt(c.in, c.out, "pw") : conv.Decrypt(c.in, c.out, "pw")) << c.name;
        EXPECT_EQ(conv.Messages(), Messages{c.message}) << c.name;
        EXPECT_FALSE(Exists(c.out)) << c.name;
    }
}

TEST(EncryptScenario, APasswordWithABlankIsRefusedBeforeWriting) {
    // The stored password ends at its first blank: such a file could never be deciphered.
    ScratchDir dir;
    WriteFile(dir.File("plain.snr"), "Title : a\n");
    for (const char* password : {"p w", " ", "pw "}) {
        Converter conv;
        EXPECT_FALSE(conv.Encrypt(dir.File("plain.snr"), dir.File("out.snr"), password)) << password;
        EXPECT_EQ(conv.Messages(), Messages{kCipherMsgPasswordBlank}) << password;
        EXPECT_FALSE(Exists(dir.File("out.snr"))) << password;
    }
}

// --- decryption -------------------------------------------------------------------------------------

TEST(DecryptScenario, GivesBackThePlainTextWithTheTextBeforeTheHeader) {
    ScratchDir dir;
    const std::string plain = SjisText(kRichScenario);
    WriteFile(dir.File("plain.snr"), plain);
    Converter conv;
    ASSERT_TRUE(conv.Encrypt(dir.File("plain.snr"), dir.File("enc.snr"), "秘密"));
    const std::string before = SjisText("// 前書き\nTitle : 表\n\n");
    WriteFile(dir.File("enc2.snr"), before + ReadFile(dir.File("enc.snr")));

    ASSERT_TRUE(conv.Decrypt(dir.File("enc.snr"), dir.File("dec.snr"), "秘密"));
    EXPECT_EQ(ReadFile(dir.File("dec.snr")), plain);
    ASSERT_TRUE(conv.Decrypt(dir.File("enc2.snr"), dir.File("dec2.snr"), "秘密"));
    EXPECT_EQ(ReadFile(dir.File("dec2.snr")), before + plain);
    EXPECT_EQ(conv.Messages(), Messages{});
}

TEST(DecryptScenario, RefusalsShowTheirMessageAndWriteNothing) {
    ScratchDir dir;
    const std::string plain = SjisText("Title : a\n// end\n");
    WriteFile(dir.File("plain.snr"), plain);
    {
        Converter conv;
        ASSERT_TRUE(conv.Encrypt(dir.File("plain.snr"), dir.File("enc.snr"), "pw"));
    }
    // Made elsewhere: the converter refuses such a password.
    WriteFile(dir.File("blank.snr"), MakeEncipheredBody("p w", plain));
    std::string damaged = ReadFile(dir.File("enc.snr"));
    // The last character of the text, the second of the final line break's pair.
    std::size_t last = damaged.find_last_not_of('\n');
    damaged[last] = damaged[last] == 'A' ? 'B' : 'A';
    WriteFile(dir.File("damaged.snr"), damaged);

    const struct {
        const char* name;
        std::string in, password;
        const char* message;
    } cases[] = {
        {"wrong password", "enc.snr", "px", kCipherMsgWrongPassword},
        {"password a prefix of the right one", "enc.snr", "p", kCipherMsgWrongPassword},
        {"empty password", "enc.snr", "", kCipherMsgWrongPassword},
        {"password with a blank never matches", "blank.snr", "p w", kCipherMsgWrongPassword},
        {"damaged text", "damaged.snr", "pw", kCipherMsgBadData},
        {"not enciphered", "plain.snr", "pw", kCipherMsgBadData},
    };
    for (const auto& c : cases) {
        Converter conv;
        EXPECT_FALSE(conv.Decrypt(dir.File(c.in), dir.File("out.snr"), c.password)) << c.name;
        EXPECT_EQ(conv.Messages(), Messages{c.message}) << c.name;
        EXPECT_FALSE(Exists(dir.File("out.snr"))) << c.name;
    }

    // Playing the damaged copy reads it all, then refuses it without a line number.
    ReaderRun run;
    EXPECT_EQ(run.ReadBytes(Bytes(damaged)), 61);
    EXPECT_EQ(run.Message(), "暗号化データに異常があります");
    EXPECT_EQ(run.gs->ScenarioTitle, "a");
}

// --- the command-line tool ------------------------------------------------------------------------

using Outcome = rymd::test::CliOutcome;
using rymd::test::RunCli;

std::string Quoted(const std::string& s) {
    return "'" + s + "'";
}

TEST(CliCipher, RoundTripAndRefusals) {
    ScratchDir dir;
    const std::string fixture = std::string(RYMD_FIXTURES) + "/scenario/minimal.snr";
    const std::string in = Quoted(fixture), enc = Quoted(dir.File("enc.snr")),
                      dec = Quoted(dir.File("dec.snr"));

    Outcome o = RunCli("encrypt " + in + " " + enc + " --password pw");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "");
    o = RunCli("check " + enc);
    EXPECT_EQ(o.status, 0) << o.out;
    EXPECT_EQ(o.out, "シナリオを読み込みました（大名家 0、城 0、武将 0、イベント 0、条件イベント 0）\n");
    o = RunCli("decrypt " + enc + " " + dec + " --password pw");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, "");
    std::string plain = ReadFile(fixture);
    std::erase(plain, '\r');  // the copy is written with plain line breaks
    EXPECT_EQ(ReadFile(dir.File("dec.snr")), plain);

    const struct {
        std::string args;
        int status;
        std::string out;
    } refusals[] = {
        {"decrypt " + enc + " " + Quoted(dir.File("x.snr")) + " --password px", 1, "パスワードが違います\n"},
        {"decrypt " + in + " " + Quoted(dir.File("x.snr")) + " --password pw", 1, "データが異常です\n"},
        {"encrypt " + Quoted(dir.File("none.snr")) + " " + Quoted(dir.File("x.snr")) + " --password pw", 1,
         "シナリオファイルが開けません\n"},
        {"encrypt " + in + " " + in + " --password pw", 2,
         "出力ファイルは元ファイルとは違う名前にしてください\n"},
        {"encrypt " + in + " " + Quoted(dir.File("x.snr")) + " --password 123456789012345678901", 2,
         "パスワードは20文字以内で入力してください\n"},
        {"encrypt " + in + " " + Quoted(dir.File("x.snr")), 2, ""},
        {"decrypt " + in + " " + Quoted(dir.File("x.snr")) + " --pass pw", 2, ""},
    };
    for (const auto& r : refusals) {
        o = RunCli(r.args);
        EXPECT_EQ(o.status, r.status) << r.args;
        EXPECT_EQ(o.out, r.out) << r.args;
        EXPECT_FALSE(Exists(dir.File("x.snr"))) << r.args;
    }
}

}  // namespace
}  // namespace rymd::test
