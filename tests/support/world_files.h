// The world fixture scenario beside a province map file, written into a folder of its own for
// the tests that run the command-line tool on it; the folder goes when the object does.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/file.h"
#include "support/capacity_scenario.h"

namespace rymd::test {

struct WorldFiles {
    std::string dir;
    explicit WorldFiles(const std::string& tag) {
        dir = (std::filesystem::temp_directory_path() / ("rymd_" + tag + "_" + std::to_string(getpid())))
                  .string();
        std::filesystem::create_directories(dir);
        std::vector<std::uint8_t> bytes;
        EXPECT_TRUE(ReadFileBytes(std::string(RYMD_FIXTURES) + "/scenario/world.snr", bytes));
        std::string why;
        EXPECT_TRUE(WriteScenarioFiles(dir, "world", bytes, MakeWorldFixtureMap(), &why)) << why;
    }
    ~WorldFiles() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string Scenario() const { return dir + "/world.snr"; }
};

}  // namespace rymd::test
