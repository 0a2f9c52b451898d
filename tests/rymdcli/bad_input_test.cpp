// The tool against bad input, as a hostile user would try it: outputs that are inputs under
// other names, FIFOs, devices, symlinks, oversized files, full or closed standard output, long
// names, missing files; then generated cases (truncations, numeric extremes, byte mutations).
// Every run must end (no hang, no signal, no sanitizer report) with the expected exit code and
// message, and leave every file it was not asked to write exactly as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/core/file.h"
#include "support/capacity_scenario.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Outcome {
    int status = -1;
    std::string out, err;
};

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// What a folder holds: for each entry its kind and, for regular files, its bytes.
using Snapshot = std::map<std::string, std::pair<int, Bytes>>;

Snapshot Take(const std::string& dir) {
    Snapshot s;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string name = e.path().lexically_relative(dir).string();
        if (name == "out.txt" || name == "err.txt") continue;
        const fs::file_status st = fs::symlink_status(e.path());
        Bytes bytes;
        // The oversized files are compared by size only.
        if (st.type() == fs::file_type::regular && !rymd::ReadFileBytes(e.path().string(), bytes, 1 << 20))
            bytes = Text("size " + std::to_string(fs::file_size(e.path())));
        s[name] = {static_cast<int>(st.type()), bytes};
    }
    return s;
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs the tool in dir with the arguments (shell words) and the given standard output ("" for a
// file that is read back); a run that does not end within ten minutes is stopped (status 124): a
// hang, as a busy machine only makes the run slow.
Outcome RunTool(const std::string& dir, const std::string& args, const std::string& stdoutTo = "") {
    const std::string cmd = "cd " + Quote(dir) + " && timeout -k 5 600 " + RYMD_CLI + " " + args + " " +
                            (stdoutTo.empty() ? ">out.txt" : stdoutTo) + " 2>err.txt";
    const int st = std::system(cmd.c_str());
    Outcome o;
    o.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    Bytes b;
    rymd::ReadFileBytes(dir + "/out.txt", b);
    o.out.assign(b.begin(), b.end());
    rymd::ReadFileBytes(dir + "/err.txt", b);
    o.err.assign(b.begin(), b.end());
    return o;
}

// The tool ended by itself, without a signal or a sanitizer report.
void ExpectCleanEnd(const Outcome& o, const std::string& what) {
    EXPECT_TRUE(o.status >= 0 && o.status != 124 && o.status < 126) << what << ": status " << o.status;
    EXPECT_EQ(o.err.find("runtime error"), std::string::npos) << what << "\n" << o.err;
    EXPECT_EQ(o.err.find("Sanitizer"), std::string::npos) << what << "\n" << o.err;
}

std::string DeepPath(const std::string& target) {
    std::string up;
    for (int i = 0; i < 24; ++i)
        up += "../";
    return up + target;
}

class CliBadInput : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = (fs::temp_directory_path() / ("rymd_bad_" + std::to_string(::getpid()) + "_" + info->name()))
                   .string();
        fs::remove_all(dir_);
        fs::create_directories(dir_ + "/sub");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void Write(const std::string& name, const Bytes& bytes) {
        ASSERT_TRUE(rymd::WriteFileAtomic(Path(name), bytes));
    }

    // The files every case may be run against.
    void MakeFiles() {
        Bytes minimal;
        ASSERT_TRUE(rymd::ReadFileBytes(std::string(RYMD_FIXTURES) + "/scenario/minimal.snr", minimal));
        Write("m.snr", minimal);
        Bytes world;
        ASSERT_TRUE(rymd::ReadFileBytes(std::string(RYMD_FIXTURES) + "/scenario/world.snr", world));
        std::string why;
        ASSERT_TRUE(
            rymd::test::WriteScenarioFiles(dir_, "world", world, rymd::test::MakeWorldFixtureMap(), &why))
            << why;
        ASSERT_EQ(RunTool(dir_, "encrypt m.snr enc.snr --password pw").status, 0);
        ASSERT_EQ(RunTool(dir_, "run m.snr --months 0 --save game.rsd").status, 0);
        ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0600), 0);
        ASSERT_EQ(::link(Path("m.snr").c_str(), Path("hard.snr").c_str()), 0);
        ASSERT_EQ(::symlink("m.snr", Path("link.snr").c_str()), 0);
        ASSERT_EQ(::symlink("dump.json", Path("dumplink").c_str()), 0);
        // Larger than the limits of a scenario and of a map (sparse: no disk is used).
        for (const auto& [name, size] : {std::pair<const char*, long>{"big.snr", (64L << 20) + 1},
                                         std::pair<const char*, long>{"big.map", (256L << 20) + 1}}) {
            Write(name, {});
            ASSERT_EQ(::truncate(Path(name).c_str(), size), 0);
        }
        // Scenarios naming a device or a FIFO as their map or pictures.
        const std::string head(minimal.begin(), minimal.end());
        Write("zero_map.snr", Text("MapFile : " + DeepPath("dev/zero") + "\n"));
        Write("fifo_map.snr", Text("MapFile : pipe\n"));
        Write("zero_img.snr", Text("OpeningImg : " + DeepPath("dev/zero") + "\n" + head));
        Write("fifo_img.snr", Text("OpeningImg : pipe\nEndingImg : pipe\n" + head));
        // A relief 4 samples wide and 4000 tall: drawn 1280 wide, far beyond any bitmap.
        MbKorMap::KorMapData tall = rymd::test::MakeWorldFixtureMap();
        tall.width = 4;
        tall.height = 4000;
        tall.formatFlag = 1;
        tall.extent = {0, 0, 4, 4000};
        std::string reason;
        ASSERT_TRUE(MbKorMap::SaveKorMapFile(Path("tall.map").c_str(), tall, &reason)) << reason;
    }

    std::string dir_;
};

struct Case {
    const char* what;
    std::string args;
    int status;
    std::string message;                // in standard error, or standard output for the cipher tools
    std::string stdoutTo = "";          // "" a file; else a redirection of the shell
    std::set<std::string> writes = {};  // files the run may create or change
    std::function<void(const std::string& dir)> after = {};
};

const std::string kSameFile = "出力ファイルは元ファイルとは違う名前にしてください";
const std::string kNotAFile = "not a regular file";

TEST_F(CliBadInput, EachCaseEndsWithItsCodeAndMessageAndTouchesNothingElse) {
    MakeFiles();
    const std::string longName(240, 'd'), longerName(250, 'e');
    const Case cases[] = {
        // Output over input, under another name.
        {"encrypt onto ./IN", "encrypt m.snr ./m.snr --password pw", 2, kSameFile},
        {"encrypt onto sub/../IN", "encrypt m.snr sub/../m.snr --password pw", 2, kSameFile},
        {"encrypt onto a hard link", "encrypt m.snr hard.snr --password pw", 2, kSameFile},
        {"encrypt onto a symlink", "encrypt m.snr link.snr --password pw", 2, kSameFile},
        {"decrypt onto ./IN", "decrypt enc.snr ./enc.snr --password pw", 2, kSameFile},
        {"dump onto the scenario", "newgame m.snr --dump ./m.snr", 2, "would overwrite the scenario"},
        {"dump onto the map", "run world.snr --months 1 --dump sub/../world.map", 2,
         "would overwrite the map"},
        {"render onto the map", "map-render world.map ./world.map", 2, "would overwrite the map"},
        {"draw trace onto the scenario", "run m.snr --months 1 --trace-rng ./m.snr", 2,
         "would overwrite the scenario"},
        {"draw trace onto the map", "run world.snr --months 1 --trace-rng sub/../world.map", 2,
         "would overwrite the map"},
        {"draw trace into a FIFO without a reader", "run m.snr --months 1 --trace-rng pipe", 1,
         "cannot write pipe"},
        // Two outputs of one command onto one file, under any name, refused before any work.
        {"dump and save onto one file", "run m.snr --months 1 --dump x --save x", 2, "name one file"},
        {"dump and draw trace onto one file", "run m.snr --months 1 --dump x --trace-rng ./x", 2,
         "name one file"},
        {"draw trace and save onto one file", "run m.snr --months 1 --trace-rng sub/../x --save x", 2,
         "name one file"},
        {"save through a symlink onto the dump", "run m.snr --months 1 --dump dump.json --save dumplink", 2,
         "--dump dump.json and --save dumplink name one file"},
        {"summary and save onto one file", "run m.snr --months 1 --summary ./x --save x", 2, "name one file"},
        {"an empty summary name", "run m.snr --months 1 --summary ''", 2, "--summary '': an empty file name"},
        {"summary and dump both to stdout", "run m.snr --months 1 --summary - --dump -", 2, "both would go"},
        {"an empty house", "run m.snr --months 1 --house ''", 2, "--house '': an empty house"},
        {"months with a blank", "run m.snr --months ' 3'", 2, "--months ' 3'"},
        {"summary into a missing folder", "run m.snr --months 1 --summary none/x", 1,
         "its folder none/ does not exist"},
        {"load: dump and save onto one file", "load game.rsd --dump x --save sub/../x", 2, "name one file"},
        {"load: dump and save through a symlink", "load game.rsd --dump dumplink --save dump.json", 2,
         "name one file"},
        // Writing to what is not a regular file.
        {"dump into a FIFO without a reader", "newgame m.snr --dump pipe", 1, "cannot write pipe"},
        {"dump through a symlink",
         "newgame m.snr --dump dumplink",
         0,
         "",
         "",
         {"dump.json"},
         [](const std::string& dir) {
             EXPECT_TRUE(fs::is_symlink(dir + "/dumplink"));
             EXPECT_TRUE(fs::is_regular_file(dir + "/dump.json"));
         }},
        // Unbounded reads.
        {"check /dev/zero", "check /dev/zero", 2, kNotAFile},
        {"check a FIFO", "check pipe", 2, kNotAFile},
        {"check a folder", "check sub", 2, kNotAFile},
        {"check an oversized scenario", "check big.snr", 2, "larger than 64 MB"},
        {"map-info /dev/zero", "map-info /dev/zero", 1, kNotAFile},
        {"map-info a FIFO", "map-info pipe", 1, kNotAFile},
        {"map-info an oversized map", "map-info big.map", 1, "larger than 256 MB"},
        {"map file /dev/zero", "check zero_map.snr", 47, "指定されたマップファイルがありません"},
        {"map file a FIFO", "check fifo_map.snr", 47, "指定されたマップファイルがありません"},
        {"opening picture /dev/zero", "newgame zero_img.snr", 0, ""},
        {"pictures a FIFO", "newgame fifo_img.snr", 0, ""},
        {"encrypt a FIFO", "encrypt pipe x.snr --password pw", 1, "シナリオファイルが開けません"},
        // A password that could never be given back.
        {"password with a blank", "encrypt m.snr x.snr --password 'a b'", 2, "パスワードに空白は使えません"},
        // Lost standard output.
        {"dump to a full stdout", "newgame m.snr --dump -", 1, "cannot write standard output", ">/dev/full"},
        {"dump to a closed stdout", "newgame m.snr --dump -", 1, "cannot write standard output", ">&-"},
        {"map-info to a full stdout", "map-info world.map", 1, "cannot write standard output", ">/dev/full"},
        {"encrypt message to a full stdout", "encrypt m.snr m.snr --password pw", 2,
         "cannot write standard output", ">/dev/full"},
        // Long output names.
        {"dump to a 240-character name", "newgame m.snr --dump " + longName, 0, "", "", {longName}},
        {"dump to a 250-character name", "newgame m.snr --dump " + longerName, 0, "", "", {longerName}},
        // Scenarios that cannot be read.
        {"newgame on a missing scenario", "newgame missing.snr", 2, "cannot open missing.snr: No such file"},
        {"run on a folder", "run sub --months 1", 2, "cannot open sub: " + kNotAFile},
        {"bench on a FIFO", "bench pipe --years 1", 2, "cannot open pipe: " + kNotAFile},
        // A picture too large to draw.
        {"render a tall relief", "map-render tall.map out.png", 1, "pixels is too large"},
    };
    for (const Case& c : cases) {
        const Snapshot before = Take(dir_);
        const Outcome o = RunTool(dir_, c.args, c.stdoutTo);
        ExpectCleanEnd(o, c.what);
        EXPECT_EQ(o.status, c.status) << c.what << "\n" << o.err;
        EXPECT_NE((o.err + o.out).find(c.message), std::string::npos) << c.what << "\n" << o.err << o.out;
        Snapshot after = Take(dir_);
        for (const std::string& name : c.writes) {
            EXPECT_TRUE(after.count(name)) << c.what << ": " << name << " not written";
            after.erase(name);
        }
        for (const auto& [name, entry] : after)
            EXPECT_TRUE(before.count(name) && before.at(name) == entry)
                << c.what << ": " << name << " changed";
        for (const auto& [name, entry] : before)
            EXPECT_TRUE(after.count(name)) << c.what << ": " << name << " removed";
        if (c.after) c.after(dir_);
        for (const std::string& name : c.writes)
            fs::remove(Path(name));
    }
}

TEST_F(CliBadInput, ADeviceNodeIsWrittenInPlaceNeverReplaced) {
    // Only root may make a device node; ours stands for /dev/null, which a replacing write
    // would turn into a regular file for the whole system.
    if (::mknod(Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "no device nodes here";
    MakeFiles();
    const Outcome o = RunTool(dir_, "newgame m.snr --dump null");
    ExpectCleanEnd(o, "dump into a device");
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(fs::is_character_file(Path("null")));
}

// Generated cases: every run ends cleanly and leaves its input as it was.
TEST_F(CliBadInput, GeneratedDamageEndsCleanlyAndLeavesTheInput) {
    MakeFiles();
    struct Source {
        const char* file;
        const char* command;
    };
    const Source sources[] = {
        {"m.snr", "check"}, {"world.snr", "check"}, {"enc.snr", "check"}, {"world.map", "map-info"}};
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed;
    };
    auto runOn = [&](const Bytes& bytes, const char* command, const std::string& what) {
        Write("case.bin", bytes);
        const Outcome o = RunTool(dir_, std::string(command) + " case.bin");
        ExpectCleanEnd(o, what);
        Bytes back;
        ASSERT_TRUE(rymd::ReadFileBytes(Path("case.bin"), back));
        EXPECT_TRUE(back == bytes) << what << ": the input was changed";
    };
    for (const Source& s : sources) {
        Bytes whole;
        ASSERT_TRUE(rymd::ReadFileBytes(Path(s.file), whole));
        // Truncations at twelve points.
        for (int i = 0; i < 12; ++i) {
            const std::size_t cut = whole.size() * static_cast<std::size_t>(i) / 12;
            runOn(Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)), s.command,
                  std::string(s.file) + " cut at " + std::to_string(cut));
        }
        // Twelve mutations of one to four bytes each.
        for (int i = 0; i < 12; ++i) {
            Bytes damaged = whole;
            for (std::uint32_t n = next() % 4 + 1; n > 0 && !damaged.empty(); --n)
                damaged[next() % damaged.size()] = static_cast<std::uint8_t>(next());
            runOn(damaged, s.command, std::string(s.file) + " mutation " + std::to_string(i));
        }
    }
    // Numeric extremes in every number of the settings-only scenario.
    Bytes plain;
    ASSERT_TRUE(rymd::ReadFileBytes(Path("m.snr"), plain));
    const std::string text(plain.begin(), plain.end());
    const char* extremes[] = {"2147483647", "-2147483648", "4294967296", "99999999999999999999", "-1", "0"};
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] < '0' || text[pos] > '9') {
            ++pos;
            continue;
        }
        std::size_t end = pos;
        while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.'))
            ++end;
        for (const char* value : extremes) {
            const std::string changed = text.substr(0, pos) + value + text.substr(end);
            runOn(Text(changed), "check", "m.snr with " + text.substr(pos, end - pos) + " -> " + value);
        }
        pos = end;
    }
}

}  // namespace
