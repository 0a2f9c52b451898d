#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/state/scenario_image.h"
#include "platform/core/archive.h"
#include "platform/core/file.h"
#include "support/events_test_util.h"

namespace rymd::test {
namespace {

namespace fs = std::filesystem;
constexpr TextEncoding kSjis = TextEncoding::ShiftJis;

// A fresh folder of its own for each test, removed afterwards.
class ScenarioImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("rymd_image_" + std::to_string(::getpid()) + "_" + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "scn");
        fs::create_directories(dir_ / "prog");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Folder(const char* name) const { return (dir_ / name).string() + "/"; }
    void Put(const std::string& path, const std::vector<std::uint8_t>& bytes) const {
        ASSERT_TRUE(WriteFileAtomic(path, bytes));
    }

    fs::path dir_;
};

const std::vector<std::uint8_t> kPicture = {0xFF, 0xD8, 0x00, 0x01, 0x02, 0xFF, 0xD9};

TEST_F(ScenarioImageTest, LoadWriteAndSaveKeepTheBytes) {
    const std::string path = Folder("scn") + "end.jpg";
    Put(path, kPicture);
    CScenarioImage image;
    ASSERT_TRUE(image.Load(path));
    EXPECT_EQ(image.Bytes(), kPicture);
    EXPECT_EQ(image.Extension(), "jpg");

    // The picture travels in the save and is shown after its file is gone.
    ArchiveWriter w;
    image.Serialize(w, kSjis);
    const std::vector<std::uint8_t> saved = w.Take();
    EXPECT_EQ(saved.size(), 4 + kPicture.size() + 1 + 3);
    fs::remove(path);
    CScenarioImage loaded;
    ArchiveReader r(saved);
    ASSERT_TRUE(loaded.Serialize(r, kSjis));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(loaded, image);
    const std::string tmp = Folder("prog") + "$TmpImg$";
    ASSERT_TRUE(loaded.WriteToFile(tmp));
    std::vector<std::uint8_t> written;
    ASSERT_TRUE(ReadFileBytes(tmp, written));
    EXPECT_EQ(written, kPicture);
}

TEST_F(ScenarioImageTest, NoPictureAndEmptyPictures) {
    CScenarioImage image;
    EXPECT_FALSE(image.Load(Folder("scn") + "missing.png"));
    EXPECT_FALSE(image.HasPicture());
    EXPECT_FALSE(image.WriteToFile(Folder("prog") + "x"));

    // A picture file of 0 bytes is saved like no picture.
    Put(Folder("scn") + "empty.bmp", {});
    ASSERT_TRUE(image.Load(Folder("scn") + "empty.bmp"));
    ArchiveWriter w;
    image.Serialize(w, kSjis);
    EXPECT_EQ(w.Data(), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    CScenarioImage loaded;
    ArchiveReader r(w.Data());
    ASSERT_TRUE(loaded.Serialize(r, kSjis));
    EXPECT_FALSE(loaded.HasPicture());
}

TEST_F(ScenarioImageTest, DamagedDataIsRefused) {
    CScenarioImage image;
    Put(Folder("scn") + "a.png", kPicture);
    ASSERT_TRUE(image.Load(Folder("scn") + "a.png"));
    ArchiveWriter w;
    image.Serialize(w, kSjis);
    std::vector<std::uint8_t> good = w.Take();

    std::vector<std::uint8_t> huge = good;
    huge[3] = 0x7F;  // asks for about 2 GB
    for (std::size_t n = 0; n <= good.size(); ++n) {
        const std::vector<std::uint8_t>& data = n == good.size() ? huge : good;
        ArchiveReader r(data.data(), n == good.size() ? huge.size() : n);
        CScenarioImage loaded;
        EXPECT_FALSE(loaded.Serialize(r, kSjis)) << n;
        EXPECT_FALSE(loaded.HasPicture());
    }
}

TEST_F(ScenarioImageTest, TheReaderLoadsTheEndingPicture) {
    ReaderRun run;
    run.scenarioFolder = Folder("scn");
    run.programFolder = Folder("prog");

    // From the scenario's folder first.
    Put(Folder("scn") + "end.png", kPicture);
    Put(Folder("prog") + "end.png", {1, 2, 3});
    ReadOk(run, "EndingImg : end.png\n");
    EXPECT_EQ(run.gs->ScenarioImage.Bytes(), kPicture);
    EXPECT_EQ(run.gs->ScenarioImage.Extension(), "png");

    // Else from the program's folder.
    fs::remove(Folder("scn") + "end.png");
    ReadOk(run, "EndingImg : end.png\n");
    EXPECT_EQ(run.gs->ScenarioImage.Bytes(), (std::vector<std::uint8_t>{1, 2, 3}));

    // Neither: no picture, no message.
    ReadOk(run, "EndingImg : none.png\n");
    EXPECT_FALSE(run.gs->ScenarioImage.HasPicture());
    EXPECT_TRUE(run.Message().empty());

    // A scenario without an ending picture drops one left from an earlier game.
    ReadOk(run, "EndingImg : end.png\n");
    ASSERT_TRUE(run.gs->ScenarioImage.HasPicture());
    ReadOk(run, "Title : x\n");
    EXPECT_FALSE(run.gs->ScenarioImage.HasPicture());
}

}  // namespace
}  // namespace rymd::test
