// The house rules of the source tree, checked on the files themselves: the rules' folders
// include one another in one direction only (the order of docs/architecture.md), the rules never
// include the window layer, and every draw of the rules goes through the game's own random
// source.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The floors of the rules, lowest first. A folder may include its own floor and those below.
const std::map<std::string, int>& Floors() {
    static const std::map<std::string, int> floors = {
        {"ports", 0},    {"state", 1},  {"scenario", 2}, {"military", 3}, {"diplomacy", 4},
        {"domestic", 5}, {"events", 6}, {"ai", 7},       {"turn", 8},     {"save", 9},
    };
    return floors;
}

struct SourceFile {
    std::string path;  // relative to the source tree, with '/'
    std::string folder;
    std::vector<std::string> lines;
};

std::vector<SourceFile> GameSources() {
    const fs::path root = fs::path(RYMD_SOURCE_DIR) / "game";
    std::vector<SourceFile> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file()) continue;
        const std::string ext = entry.path().extension().string();
        if (ext != ".cpp" && ext != ".h") continue;
        SourceFile file;
        file.path = fs::relative(entry.path(), RYMD_SOURCE_DIR).generic_string();
        file.folder = fs::relative(entry.path(), root).begin()->string();
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) file.lines.push_back(line);
        files.push_back(std::move(file));
    }
    return files;
}

// The folder a quoted include of the rules names ("game/<folder>/..."), or empty.
std::string IncludedGameFolder(const std::string& line) {
    static const std::regex include(R"re(^\s*#\s*include\s+"game/([a-z_]+)/)re");
    std::smatch m;
    return std::regex_search(line, m, include) ? m[1].str() : std::string();
}

TEST(Layering, EveryRulesFolderHasAFloor) {
    for (const SourceFile& f : GameSources()) {
        if (f.folder == "shell") continue;
        EXPECT_TRUE(Floors().count(f.folder)) << f.path << ": folder game/" << f.folder
                                              << " is not in the order of docs/architecture.md";
    }
}

TEST(Layering, RulesIncludeOnlyTheirFloorAndBelow) {
    for (const SourceFile& f : GameSources()) {
        const auto own = Floors().find(f.folder);
        if (own == Floors().end()) continue;
        for (std::size_t i = 0; i < f.lines.size(); ++i) {
            const std::string target = IncludedGameFolder(f.lines[i]);
            if (target.empty()) continue;
            const auto floor = Floors().find(target);
            const bool allowed = floor != Floors().end() && floor->second <= own->second;
            EXPECT_TRUE(allowed) << f.path << ":" << i + 1 << ": game/" << f.folder << " may not include game/"
                                 << target;
        }
    }
}

TEST(Layering, OnlyTheShellUsesTheWindowLayer) {
    static const std::regex qt(R"re(^\s*#\s*include\s+[<"](Q[A-Za-z]*[>/]|Qt|platform/qt/|mbwnd/|game/shell/))re");
    for (const SourceFile& f : GameSources()) {
        if (f.folder == "shell") continue;
        for (std::size_t i = 0; i < f.lines.size(); ++i)
            EXPECT_FALSE(std::regex_search(f.lines[i], qt)) << f.path << ":" << i + 1 << ": " << f.lines[i];
    }
}

TEST(Layering, RulesDrawOnlyFromTheGamesRandomSource) {
    static const std::regex foreign(
        R"re(std::rand\b|std::srand\b|std::shuffle\b|std::random_shuffle\b|#\s*include\s*<random>|(^|[^\w.>:])s?rand\s*\()re");
    for (const SourceFile& f : GameSources()) {
        for (std::size_t i = 0; i < f.lines.size(); ++i) {
            const std::string& line = f.lines[i];
            const std::string code = line.substr(0, line.find("//"));
            EXPECT_FALSE(std::regex_search(code, foreign)) << f.path << ":" << i + 1 << ": " << line;
        }
    }
}

// The checks themselves: a line against the order is found.
TEST(Layering, IncludeParserFindsTheFolder) {
    EXPECT_EQ(IncludedGameFolder("#include \"game/turn/main_game.h\""), "turn");
    EXPECT_EQ(IncludedGameFolder("  #  include \"game/state/access.h\""), "state");
    EXPECT_EQ(IncludedGameFolder("#include <vector>"), "");
    EXPECT_EQ(IncludedGameFolder("// #include \"game/turn/x.h\" in a comment"), "");
}

}  // namespace
