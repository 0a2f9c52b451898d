// A copy of the bundled scenario and its map in a folder of its own, for the tests that run the
// command-line tool on a changed scenario; the folder goes when the object does.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace rymd::test {

class BundledScenarioCopy {
public:
    BundledScenarioCopy() {
        namespace fs = std::filesystem;
        std::string pattern = (fs::temp_directory_path() / "rymd_bundled_XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        fs::create_directory(dir_ / "scenario");
        fs::copy_file(fs::path(RYMD_SOURCE_DIR) / "data/default.smp", dir_ / "default.smp");
        std::ifstream in(fs::path(RYMD_SOURCE_DIR) / "data/scenario/japan1560.snr", std::ios::binary);
        text_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ~BundledScenarioCopy() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    BundledScenarioCopy(const BundledScenarioCopy&) = delete;
    BundledScenarioCopy& operator=(const BundledScenarioCopy&) = delete;

    // Writes the scenario with the line `from` replaced by `to` (lines without their CR LF, in
    // the file's bytes) and returns its path.
    std::string Write(const std::string& from, const std::string& to) {
        std::string text = text_;
        const std::size_t at = text.find(from + "\r\n");
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        const std::filesystem::path file = dir_ / "scenario" / "x.snr";
        std::ofstream(file, std::ios::binary) << text;
        return file.string();
    }

private:
    std::filesystem::path dir_;
    std::string text_;
};

}  // namespace rymd::test
