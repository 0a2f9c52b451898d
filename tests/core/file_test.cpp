#include "platform/core/file.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <thread>

namespace rymd {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class FileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ =
            fs::temp_directory_path() / ("rymd_file_test_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

TEST_F(FileTest, WriteThenReadBack) {
    Bytes data(200000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 31);
    const std::string path = Path("save.rsd");
    ASSERT_TRUE(WriteFileAtomic(path, data));
    Bytes back = {1, 2, 3};
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, data);
    EXPECT_EQ(EntryCount(), 1u);  // no temporary file left behind
}

TEST_F(FileTest, WriteReplacesTheOldContent) {
    const std::string path = Path("a.bin");
    ASSERT_TRUE(WriteFileAtomic(path, Bytes(100, 0xAA)));
    ASSERT_TRUE(WriteFileAtomic(path, Bytes{1, 2}));
    Bytes back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, (Bytes{1, 2}));
    ASSERT_TRUE(WriteFileAtomic(path, Bytes{}));
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_TRUE(back.empty());
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileTest, FailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
    // The target is a folder that is not empty: the rename over it fails.
    const std::string target = Path("busy");
    fs::create_directories(target);
    { std::ofstream(target + "/inside") << "keep"; }
    EXPECT_FALSE(WriteFileAtomic(target, Bytes{1, 2, 3}));
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_TRUE(fs::exists(target + "/inside"));
    EXPECT_EQ(EntryCount(), 1u);

    // A folder that does not exist.
    EXPECT_FALSE(WriteFileAtomic(Path("missing/x.bin"), Bytes{1}));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileTest, ReadFailures) {
    Bytes out = {1, 2, 3};
    EXPECT_FALSE(ReadFileBytes(Path("missing.bin"), out));
    EXPECT_TRUE(out.empty());
    out = {1};
    EXPECT_FALSE(ReadFileBytes(dir_.string(), out));  // a folder
    EXPECT_TRUE(out.empty());
}

TEST_F(FileTest, FileExists) {
    const std::string path = Path("x.txt");
    EXPECT_FALSE(FileExists(path));
    ASSERT_TRUE(WriteFileAtomic(path, Bytes{'x'}));
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(dir_.string()));
    EXPECT_FALSE(FileExists(""));
}

TEST_F(FileTest, ReadTakesRegularFilesWithinTheLimitOnly) {
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big = Path("big.bin");
    ASSERT_TRUE(WriteFileAtomic(big, Bytes(1001, 7)));
    struct Case {
        std::string path;
        std::uint64_t limit;
        ReadFileError error;
    };
    const Case cases[] = {
        {big, 1001, ReadFileError::kNone},
        {big, 1000, ReadFileError::kTooLarge},
        {fifo, 1000, ReadFileError::kNotAFile},  // no writer: must not wait for one
        {"/dev/zero", 1000, ReadFileError::kNotAFile},
        {dir_.string(), 1000, ReadFileError::kNotAFile},
        {Path("missing"), 1000, ReadFileError::kCannotOpen},
    };
    for (const Case& c : cases) {
        Bytes out = {1};
        EXPECT_EQ(ReadFile(c.path, out, c.limit), c.error) << c.path;
        EXPECT_EQ(ProbeReadFile(c.path, c.limit), c.error) << c.path;
        EXPECT_EQ(out.size(), c.error == ReadFileError::kNone ? 1001u : 0u) << c.path;
    }
    EXPECT_EQ(ReadFileErrorText(big, ReadFileError::kTooLarge, 64u << 20), "larger than 64 MB");
    EXPECT_EQ(ReadFileErrorText(Path("missing"), ReadFileError::kCannotOpen, 1), "No such file or directory");
    EXPECT_EQ(WhyUnreadable(fifo, 1000), "not a regular file");
}

TEST_F(FileTest, WriteFollowsASymlinkAndReplacesItsTarget) {
    const std::string target = Path("target.txt");
    ASSERT_TRUE(WriteFileAtomic(target, Bytes{'o', 'l', 'd'}));
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("target.txt", Path("link").c_str()), 0);
    ASSERT_EQ(::symlink("link", Path("link2").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(Path("link2"), Bytes{'n', 'e', 'w'}));
    EXPECT_TRUE(fs::is_symlink(Path("link")));
    EXPECT_TRUE(fs::is_symlink(Path("link2")));
    Bytes back;
    ASSERT_TRUE(ReadFileBytes(target, back));
    EXPECT_EQ(back, (Bytes{'n', 'e', 'w'}));
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);  // the replaced file keeps its permissions
    // A link to nothing yet: the file it names is created.
    ASSERT_EQ(::symlink("later.txt", Path("dangling").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomic(Path("dangling"), Bytes{1}));
    EXPECT_TRUE(fs::is_symlink(Path("dangling")));
    EXPECT_TRUE(fs::is_regular_file(Path("later.txt")));
    // A loop of links is a failure, not a hang.
    ASSERT_EQ(::symlink("loop_b", Path("loop_a").c_str()), 0);
    ASSERT_EQ(::symlink("loop_a", Path("loop_b").c_str()), 0);
    EXPECT_FALSE(WriteFileAtomic(Path("loop_a"), Bytes{1}));
    EXPECT_EQ(EntryCount(), 7u);  // no temporary file left behind
}

TEST_F(FileTest, WriteGoesIntoAFifoOrDeviceInPlace) {
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Without a reader the write fails at once.
    EXPECT_FALSE(WriteFileAtomic(fifo, Bytes{1, 2, 3}));
    // With one, the bytes go through the pipe, which stays a pipe.
    Bytes received;
    std::thread reader([&] {
        std::FILE* f = std::fopen(fifo.c_str(), "rb");
        if (!f) return;
        for (int c; (c = std::fgetc(f)) != EOF;)
            received.push_back(static_cast<std::uint8_t>(c));
        std::fclose(f);
    });
    // The write succeeds once the reader has opened its end; a busy machine may be slow to start
    // it (ten minutes at most).
    bool written = false;
    for (int attempt = 0; attempt < 600000 && !written; ++attempt) {
        written = WriteFileAtomic(fifo, Bytes{1, 2, 3});
        if (!written) ::usleep(1000);
    }
    reader.join();
    EXPECT_TRUE(written);
    EXPECT_EQ(received, (Bytes{1, 2, 3}));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(EntryCount(), 1u);
    // A device node of our own (the system's are not put at risk): the null device takes
    // anything and stays a device; the full device takes nothing. Only root may make them.
    const std::string null = Path("null"), full = Path("full");
    if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0 &&
        ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
        EXPECT_TRUE(WriteFileAtomic(null, Bytes{1}));
        EXPECT_TRUE(fs::is_character_file(null));
        EXPECT_FALSE(WriteFileAtomic(full, Bytes{1}));
        EXPECT_TRUE(fs::is_character_file(full));
        EXPECT_EQ(EntryCount(), 3u);
    }
}

TEST_F(FileTest, WriteTakesANameNearTheSystemsLimit) {
    const std::string name(250, 'n');
    ASSERT_TRUE(WriteFileAtomic(Path(name), Bytes{1, 2}));
    Bytes back;
    ASSERT_TRUE(ReadFileBytes(Path(name), back));
    EXPECT_EQ(back, (Bytes{1, 2}));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileTest, SameFileComparesFilesNotNames) {
    const std::string file = Path("m.snr");
    ASSERT_TRUE(WriteFileAtomic(file, Bytes{1}));
    ASSERT_TRUE(WriteFileAtomic(Path("other.snr"), Bytes{1}));
    fs::create_directories(Path("sub"));
    ASSERT_EQ(::link(file.c_str(), Path("hard.snr").c_str()), 0);
    ASSERT_EQ(::symlink("m.snr", Path("soft.snr").c_str()), 0);
    EXPECT_TRUE(SameFile(file, file));
    EXPECT_TRUE(SameFile(file, dir_.string() + "/./m.snr"));
    EXPECT_TRUE(SameFile(file, Path("sub/../m.snr")));
    EXPECT_TRUE(SameFile(file, Path("hard.snr")));
    EXPECT_TRUE(SameFile(Path("soft.snr"), file));
    EXPECT_FALSE(SameFile(file, Path("other.snr")));
    EXPECT_FALSE(SameFile(file, Path("missing.snr")));
    EXPECT_FALSE(SameFile(Path("missing.snr"), Path("missing2.snr")));
}

// Outputs need not exist yet: two names of one place are one file all the same.
TEST_F(FileTest, SamePlaceComparesPlacesOfFilesNotYetThere) {
    fs::create_directories(Path("sub/inner"));
    ASSERT_TRUE(WriteFileAtomic(Path("m.snr"), Bytes{1}));
    ASSERT_EQ(::link(Path("m.snr").c_str(), Path("hard.snr").c_str()), 0);
    ASSERT_EQ(::symlink("out.json", Path("dangling").c_str()), 0);
    ASSERT_EQ(::symlink("sub/inner", Path("inner").c_str()), 0);
    const std::string out = Path("out.json");
    const std::pair<std::string, bool> cases[] = {
        {out, true},
        {dir_.string() + "/./out.json", true},
        {Path("sub/../out.json"), true},
        {Path("missing/../out.json"), true},
        {Path("dangling"), true},  // a symlink whose target is not there yet
        {Path("sub/out.json"), false},
        {Path("inner/../out.json"), false},  // ".." of the folder the link leads to: sub
        {Path("inner/../../out.json"), true},
        {Path("out.json2"), false},
    };
    for (const auto& [other, same] : cases) {
        EXPECT_EQ(SamePlace(out, other), same) << other;
        EXPECT_EQ(SamePlace(other, out), same) << other;
    }
    EXPECT_TRUE(SamePlace(Path("m.snr"), Path("hard.snr")));  // an existing file under two names
    EXPECT_TRUE(SamePlace(Path("inner/x"), Path("sub/inner/x")));
}

TEST(DirectoryOf, Paths) {
    const std::pair<std::string, std::string> cases[] = {
        {"/usr/share/game/map.kmp", "/usr/share/game/"},
        {"data/scen.txt", "data/"},
        {"C:\\Games\\Ryu\\scen.txt", "C:\\Games\\Ryu\\"},
        {"data\\sub/file", "data\\sub/"},
        {"scen.txt", ""},
        {"", ""},
        {"/file", "/"},
        {"dir/", "dir/"},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(DirectoryOf(path), expected) << path;
}

}  // namespace
}  // namespace rymd
