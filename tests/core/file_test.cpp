#include "platform/core/file.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

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
