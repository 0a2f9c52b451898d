// rymdcli check: the reader's message exactly as the game shows it (for a good file, what it
// holds), and its code as exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include "support/run_cli.h"

#include <cstdio>
#include <string>

namespace {

using Outcome = rymd::test::CliOutcome;
using rymd::test::RunCli;

struct CheckCase {
    const char* file;
    int code;
    const char* output;
};

TEST(CliCheck, PrintsTheReadersMessageAndExitsWithItsCode) {
    const CheckCase cases[] = {
        {"minimal.snr", 0,
         "シナリオを読み込みました（大名家 0、城 0、武将 0、イベント 0、条件イベント 0）\n"},
        {"syntax.snr", 4, "構文エラー(Line No.3) \n"},
        {"not_integer.snr", 22, "整数を指定すべきところに整数以外の文字があります(Line No.3) \n"},
        {"no_map.snr", 47, "指定されたマップファイルがありません(Line No.2) \n"},
        {"badmap/scenario.snr", 48, "指定されたマップファイルの内容に異常があります(Line No.2) \n"},
        {"cipher.snr", 61, "暗号化データに異常があります\n"},
        {"hei_unit.snr", 82, "兵の最小単位は1または10を指定してください(Line No.1) \n"},
        {"picture.snr", 100, "画像IDが異常です(Line No.2) \n"},
        {"word_assign.snr", 103, "単語置き換えのエラーです(Line No.3) \n"},
        {"does_not_exist.snr", 2, ""},
    };
    for (const CheckCase& c : cases) {
        Outcome o = RunCli(std::string("check ") + RYMD_FIXTURES + "/scenario/" + c.file);
        EXPECT_EQ(o.status, c.code) << c.file;
        EXPECT_EQ(o.out, c.output) << c.file;
    }
}

TEST(CliCheck, WrongUsageIsNotAReaderCode) {
    Outcome o = RunCli("check");
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
}

}  // namespace
