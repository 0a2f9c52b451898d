// The house rules of the source tree, checked on the files themselves: the rules' folders
// include one another in one direction only (the order of docs/architecture.md), the libraries
// below the rules never include the rules nor (but the window side) Qt, the rules never include
// the window layer, and every draw of the rules goes through the game's own random source.
//
// Every library reads headers from the project's root, so the compiler accepts any include; the
// linker refuses a call up the order (each floor is its own library), and this test refuses the
// include itself, in whatever spelling the compiler would accept: quotes or angle brackets, a path
// relative to the including file ("../turn/x.h", "./x.h"), doubled slashes, "/./" and "..".
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
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

// The rooms of the screen (game/shell), lowest first. A room may include its own room and the
// rooms of a lower rank; rooms of one rank do not include each other.
const std::map<std::string, int>& Rooms() {
    static const std::map<std::string, int> rooms = {
        {"app", 0},
        {"maps", 1},
        {"dialogs/common", 2},
        {"music", 3},
        {"dialogs/events", 4},
        {"dialogs/info", 5},
        {"dialogs/military", 6},
        {"dialogs/domestic", 6},
        {"dialogs/corps", 6},
        {"dialogs/diplomacy", 6},
        {"port", 7},
        {"dialogs/flow", 8},
        {"window", 9},
        {"start", 10},
    };
    return rooms;
}

// The libraries below the rules and what each may include besides itself: the libraries it links.
// The window side (platform/qt, mbwnd) also includes Qt; none of them includes anything of game/.
struct Library {
    std::set<std::string> uses;
    bool qt;
};
const std::map<std::string, Library>& Libraries() {
    static const std::map<std::string, Library> libraries = {
        {"platform/core", {{}, false}},
        {"mbmisc", {{"platform/core"}, false}},
        {"mbbmp", {{"platform/core"}, false}},
        {"mb3dmap", {{"platform/core", "mbbmp"}, false}},
        {"mbkormap", {{"platform/core", "mbbmp", "mb3dmap"}, false}},
        {"platform/qt", {{"platform/core", "mbbmp"}, true}},
        {"mbwnd", {{"platform/core", "platform/qt", "mbbmp", "mbmisc"}, true}},
    };
    return libraries;
}

// The map libraries, which every rules folder above the ports may use.
const std::set<std::string>& MapLibraries() {
    static const std::set<std::string> libraries = {"platform/core", "mbbmp", "mbmisc", "mb3dmap",
                                                    "mbkormap"};
    return libraries;
}

// One include directive as the preprocessor reads it.
struct Include {
    int line = 0;        // the physical line the directive starts on
    char delimiter = 0;  // '"', '<', or 0 for a computed include (a macro)
    std::string name;    // the header name between the delimiters, as written
    std::string text;    // the directive with comments removed
};

// The include directives of a source text: backslash-continued lines are joined, comments
// (outside literals and header names) are removed, "%:" counts as "#", and include_next and
// import read like include.
std::vector<Include> ReadIncludes(const std::string& source) {
    // Logical lines with the physical line each starts on.
    std::vector<std::pair<int, std::string>> lines;
    {
        std::string current;
        int start = 1, physical = 1;
        for (std::size_t i = 0; i < source.size(); ++i) {
            const char c = source[i];
            if (c == '\\' && i + 1 < source.size() && source[i + 1] == '\n') {
                ++i;
                ++physical;
                continue;
            }
            if (c == '\n') {
                lines.emplace_back(start, current);
                current.clear();
                start = ++physical;
                continue;
            }
            if (c != '\r') current += c;
        }
        if (!current.empty()) lines.emplace_back(start, current);
    }
    static const std::regex directiveStart(R"re(^\s*(#|%:)\s*(include_next|include|import)\s*$)re");
    static const std::regex directive(R"re(^\s*(#|%:)\s*(include_next|include|import)\b\s*(.*?)\s*$)re");
    std::vector<Include> includes;
    bool inComment = false;
    for (const auto& [number, raw] : lines) {
        std::string code;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const char c = raw[i];
            if (inComment) {
                if (c == '*' && i + 1 < raw.size() && raw[i + 1] == '/') {
                    inComment = false;
                    ++i;
                    code += ' ';
                }
                continue;
            }
            if (c == '/' && i + 1 < raw.size() && raw[i + 1] == '/') break;
            if (c == '/' && i + 1 < raw.size() && raw[i + 1] == '*') {
                inComment = true;
                ++i;
                continue;
            }
            const bool headerName = c == '<' && std::regex_match(code, directiveStart);
            // A quote after a digit separates digits (1'000) and opens no character literal.
            const bool charLiteral =
                c == '\'' && (code.empty() || !std::isalnum(static_cast<unsigned char>(code.back())));
            if (c == '"' || charLiteral || headerName) {
                // A literal or header name is copied whole; a raw string's delimiter is honoured
                // (a raw string that runs over several lines is not followed).
                const char close = headerName ? '>' : c;
                std::string end(1, close);
                if (c == '"' && !code.empty() && code.back() == 'R') {
                    const std::size_t open = raw.find('(', i);
                    if (open != std::string::npos) end = ")" + raw.substr(i + 1, open - i - 1) + "\"";
                }
                std::size_t j = i + 1;
                while (j < raw.size() && raw.compare(j, end.size(), end) != 0)
                    j += (raw[j] == '\\' && end.size() == 1 && !headerName) ? 2 : 1;
                const std::size_t stop = std::min(raw.size(), j + end.size());
                code += raw.substr(i, stop - i);
                i = stop - 1;
                continue;
            }
            code += c;
        }
        std::smatch m;
        if (!std::regex_match(code, m, directive)) continue;
        Include inc;
        inc.line = number;
        inc.text = code;
        const std::string rest = m[3].str();
        static const std::regex quoted(R"re(^"([^"]*)")re"), angled(R"re(^<([^>]*)>)re");
        std::smatch h;
        if (std::regex_search(rest, h, quoted)) {
            inc.delimiter = '"';
            inc.name = h[1].str();
        } else if (std::regex_search(rest, h, angled)) {
            inc.delimiter = '<';
            inc.name = h[1].str();
        }
        includes.push_back(inc);
    }
    return includes;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The file an include names, relative to the source tree with '/' ("game/turn/main_game.h"), or
// the name as written when it lies outside the tree (a system or Qt header). A quoted name is
// looked for beside the including file first, as the compiler does; every name is then taken
// from the project's root, the one include directory of the libraries.
std::string ResolveInclude(const std::string& includingFile, const Include& inc) {
    const fs::path root = fs::path(RYMD_SOURCE_DIR).lexically_normal();
    const auto inTree = [&](const fs::path& full) -> std::string {
        const fs::path rel = full.lexically_normal().lexically_relative(root);
        if (rel.empty() || *rel.begin() == "..") return "";
        const std::string top = rel.begin()->string();
        if (!fs::is_directory(root / top)) return "";
        return rel.generic_string();
    };
    const fs::path fromRoot = root / inc.name;
    if (inc.delimiter == '"') {
        const fs::path beside = root / fs::path(includingFile).parent_path() / inc.name;
        const bool relative = inc.name.rfind("./", 0) == 0 || inc.name.rfind("../", 0) == 0;
        // A name found nowhere (a planted case) is taken where its spelling points.
        if (fs::exists(beside) || (relative && !fs::exists(fromRoot))) {
            const std::string found = inTree(beside);
            return found.empty() ? inc.name : found;
        }
    }
    const std::string found = inTree(fromRoot);
    return found.empty() ? inc.name : found;
}

// The part of the tree a file belongs to: "game/<folder>" (every path under game/shell is
// "game/shell"), "platform/<folder>", the top folder otherwise, or empty outside the tree.
std::string UnitOf(const std::string& treePath) {
    std::vector<std::string> parts;
    for (const auto& part : fs::path(treePath))
        parts.push_back(part.string());
    if (parts.empty()) return "";
    if ((parts[0] == "game" || parts[0] == "platform") && parts.size() >= 3) return parts[0] + "/" + parts[1];
    return parts[0];
}

// The room of a path under game/shell: "dialogs/<room>" under dialogs, else the folder below
// game/shell; empty for a path that lies in no room.
std::string RoomOf(const std::string& treePath) {
    std::vector<std::string> parts;
    for (const auto& part : fs::path(treePath))
        parts.push_back(part.string());
    if (parts.size() < 4 || parts[0] != "game" || parts[1] != "shell") return "";
    if (parts[2] == "dialogs") return parts.size() >= 5 ? "dialogs/" + parts[3] : "";
    return parts[2];
}

// Whether a resolved include lies outside the tree (a system, library or Qt header).
bool IsOutsideTree(const std::string& resolved) {
    const std::string unit = UnitOf(resolved);
    return unit.empty() || !fs::is_directory(fs::path(RYMD_SOURCE_DIR) / unit);
}

bool IsQtHeader(const std::string& name) {
    static const std::regex qt(R"re(^Q[A-Za-z0-9_]*(/|$|\.h$))re");
    return std::regex_search(name, qt);
}

bool IsRandomHeader(const std::string& name) {
    static const std::regex random(R"re((^|/)random(\.h)?$)re");
    return std::regex_search(name, random);
}

// Why an include of `resolved` (a tree path or an outside name) is against the order for a file
// of `unit`, or empty when it is allowed.
std::string Refusal(const std::string& unit, const std::string& resolved) {
    const bool outside = IsOutsideTree(resolved);
    const std::string target = outside ? std::string() : UnitOf(resolved);
    if (unit.rfind("game/", 0) == 0 && unit != "game/shell") {
        const auto own = Floors().find(unit.substr(5));
        if (own == Floors().end()) return unit + " is not a floor of the order";
        if (outside) {
            if (IsQtHeader(resolved)) return unit + " may not include the window layer (" + resolved + ")";
            if (IsRandomHeader(resolved))
                return unit + " draws from the game's random source only, not " + resolved;
            return "";
        }
        if (target.rfind("game/", 0) == 0) {
            const auto floor = Floors().find(target.substr(5));
            if (floor != Floors().end() && floor->second <= own->second) return "";
        } else if (own->second == 0 ? target == "platform/core" : MapLibraries().count(target) > 0) {
            return "";
        }
        return unit + " may not include " + target + " (" + resolved + ")";
    }
    const auto library = Libraries().find(unit);
    if (library == Libraries().end()) return "";  // the shell, the tools and the tests include anything
    if (outside) {
        if (IsQtHeader(resolved) && !library->second.qt)
            return unit + " may not include Qt (" + resolved + ")";
        return "";
    }
    if (target == unit || library->second.uses.count(target)) return "";
    return unit + " may not include " + target + " (" + resolved + ")";
}

// Why an include of `resolved` by the screen's file `path` is against the rooms' order, or empty
// when it is allowed. Only what lies in game/shell is checked here; the rest is Refusal's.
std::string RoomRefusal(const std::string& path, const std::string& resolved) {
    const std::string own = RoomOf(path);
    const auto ownRoom = Rooms().find(own);
    if (ownRoom == Rooms().end()) return path + " lies in no room of the screen's order";
    if (IsOutsideTree(resolved) || UnitOf(resolved) != "game/shell") return "";
    const std::string target = RoomOf(resolved);
    if (target == own) return "";
    const auto room = Rooms().find(target);
    if (room != Rooms().end() && room->second < ownRoom->second) return "";
    return "game/shell/" + own + " may not include game/shell/" + target + " (" + resolved + ")";
}

// Every include of a file against the order, as "path:line: reason: directive".
std::vector<std::string> IncludeFaults(const std::string& path, const std::string& source) {
    std::vector<std::string> faults;
    const std::string unit = UnitOf(path);
    for (const Include& inc : ReadIncludes(source)) {
        const std::string where = path + ":" + std::to_string(inc.line) + ": ";
        if (inc.delimiter == 0) {
            if (unit.rfind("game/", 0) == 0 || Libraries().count(unit))
                faults.push_back(where + "an include through a macro cannot be checked: " + inc.text);
            continue;
        }
        const std::string resolved = ResolveInclude(path, inc);
        std::string why = Refusal(unit, resolved);
        if (why.empty() && unit == "game/shell") why = RoomRefusal(path, resolved);
        if (!why.empty()) faults.push_back(where + why + ": " + inc.text);
    }
    return faults;
}

struct SourceFile {
    std::string path;  // relative to the source tree, with '/'
    std::string unit;
    std::string text;
};

// The sources under the given top folders of the tree.
std::vector<SourceFile> Sources(const std::vector<std::string>& tops) {
    static const std::set<std::string> extensions = {".cpp", ".h", ".hpp", ".cc", ".cxx", ".inl", ".ipp"};
    std::vector<SourceFile> files;
    for (const std::string& top : tops) {
        for (const auto& entry : fs::recursive_directory_iterator(fs::path(RYMD_SOURCE_DIR) / top)) {
            if (!entry.is_regular_file() || !extensions.count(entry.path().extension().string())) continue;
            SourceFile file;
            file.path = fs::relative(entry.path(), RYMD_SOURCE_DIR).generic_string();
            file.unit = UnitOf(file.path);
            file.text = ReadFile(entry.path());
            files.push_back(std::move(file));
        }
    }
    return files;
}

std::vector<SourceFile> GameSources() {
    return Sources({"game"});
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Layering, EveryRulesFolderHasAFloor) {
    for (const SourceFile& f : GameSources()) {
        if (f.unit == "game/shell") continue;
        EXPECT_TRUE(f.unit.rfind("game/", 0) == 0 && Floors().count(f.unit.substr(5)))
            << f.path << ": folder " << f.unit << " is not in the order of docs/architecture.md";
    }
}

TEST(Layering, RulesIncludeOnlyTheirFloorAndBelow) {
    for (const SourceFile& f : GameSources()) {
        if (f.unit == "game/shell") continue;
        for (const std::string& fault : IncludeFaults(f.path, f.text))
            ADD_FAILURE() << fault;
    }
}

TEST(Layering, EveryScreenFileHasARoom) {
    std::size_t checked = 0;
    for (const SourceFile& f : GameSources()) {
        if (f.unit != "game/shell") continue;
        EXPECT_TRUE(Rooms().count(RoomOf(f.path)))
            << f.path << ": room " << RoomOf(f.path) << " is not in the order of docs/architecture.md";
        ++checked;
    }
    EXPECT_GT(checked, 0u);
}

TEST(Layering, ScreenRoomsIncludeOnlyTheirRoomAndBelow) {
    for (const SourceFile& f : GameSources()) {
        if (f.unit != "game/shell") continue;
        for (const std::string& fault : IncludeFaults(f.path, f.text))
            ADD_FAILURE() << fault;
    }
}

// The rows of the folder tables the documents give: the README's layout table ("| `game/x` | ...",
// "| `platform/x` | ...") and the floors and rooms of docs/architecture.md ("| rank | `x` | ...",
// a room's folder given below game/shell). Each row: its folder from the tree's root and its text.
std::vector<std::pair<std::string, std::string>> DocumentedFolders(const std::string& document) {
    static const std::regex readmeRow(R"re(^\| `((?:game|platform)/[a-z/]+)` \|(.*)$)re");
    static const std::regex architectureRow(R"re(^\| [0-9]+ \| `([a-z/]+)` \|(.*)$)re");
    std::vector<std::pair<std::string, std::string>> rows;
    for (const std::string& line : Lines(ReadFile(fs::path(RYMD_SOURCE_DIR) / document))) {
        std::smatch m;
        if (std::regex_match(line, m, readmeRow)) {
            rows.emplace_back(m[1].str(), m[2].str());
        } else if (std::regex_match(line, m, architectureRow)) {
            const std::string folder = m[1].str();
            rows.emplace_back(folder.rfind("game/", 0) == 0 ? folder : "game/shell/" + folder, m[2].str());
        }
    }
    return rows;
}

// The source files a row names: `name.h`, `name.cpp`, `name.*` or a bare `snake_case` stem.
std::vector<std::string> NamedFiles(const std::string& row) {
    static const std::regex named(R"re(`([a-z][a-z0-9]*(?:_[a-z0-9]+)+)(\.h|\.cpp|\.\*)?`)re");
    std::vector<std::string> files;
    for (std::sregex_iterator m(row.begin(), row.end(), named), end; m != end; ++m)
        files.push_back((*m)[1].str() + ((*m)[2].str() == ".*" ? "" : (*m)[2].str()));
    return files;
}

// Whether the folder (or a folder below it) holds the file, or a file of that stem.
bool FolderHolds(const fs::path& folder, const std::string& name) {
    if (!fs::is_directory(folder)) return false;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const fs::path& p = entry.path();
        if (p.filename() == name || p.stem() == name) return true;
    }
    return false;
}

// The README and docs/architecture.md tell a newcomer where each part of the code lives: every
// source file a row names lies in that row's folder, and the README names every room of the
// screen.
TEST(Layering, TheDocumentsPutEachFileInItsFolder) {
    std::size_t named = 0;
    for (const char* document : {"README.md", "docs/architecture.md"}) {
        const auto rows = DocumentedFolders(document);
        EXPECT_GE(rows.size(), 15u) << document;
        for (const auto& [folder, text] : rows) {
            const fs::path path = fs::path(RYMD_SOURCE_DIR) / folder;
            EXPECT_TRUE(fs::is_directory(path)) << document << ": no folder " << folder;
            for (const std::string& file : NamedFiles(text)) {
                ++named;
                EXPECT_TRUE(FolderHolds(path, file))
                    << document << ": the row of " << folder << " names " << file << ", which lies elsewhere";
            }
        }
    }
    EXPECT_GT(named, 20u);
    std::set<std::string> readmeFolders;
    for (const auto& row : DocumentedFolders("README.md"))
        readmeFolders.insert(row.first);
    for (const auto& room : Rooms()) {
        const std::string top = "game/shell/" + room.first.substr(0, room.first.find('/'));
        EXPECT_TRUE(readmeFolders.count(top)) << "README.md: the layout table has no row for " << top;
    }
}

TEST(Layering, LibrariesBelowTheRulesKeepTheirOrder) {
    std::size_t checked = 0;
    for (const SourceFile& f : Sources({"platform", "mbbmp", "mbmisc", "mb3dmap", "mbkormap", "mbwnd"})) {
        EXPECT_TRUE(Libraries().count(f.unit)) << f.path << ": " << f.unit << " has no rule";
        for (const std::string& fault : IncludeFaults(f.path, f.text))
            ADD_FAILURE() << fault;
        ++checked;
    }
    EXPECT_GT(checked, 0u);
}

TEST(Layering, OnlyTheShellUsesTheWindowLayer) {
    static const std::set<std::string> windowSide = {"platform/qt", "mbwnd", "game/shell"};
    for (const SourceFile& f : GameSources()) {
        if (f.unit == "game/shell") continue;
        for (const Include& inc : ReadIncludes(f.text)) {
            const std::string resolved = ResolveInclude(f.path, inc);
            EXPECT_FALSE(IsOutsideTree(resolved) ? IsQtHeader(resolved)
                                                 : windowSide.count(UnitOf(resolved)) > 0)
                << f.path << ":" << inc.line << ": " << inc.text;
        }
    }
}

TEST(Layering, RulesDrawOnlyFromTheGamesRandomSource) {
    static const std::regex foreign(
        R"re(std::rand\b|std::srand\b|std::shuffle\b|std::random_shuffle\b|#\s*include\s*<random>|(^|[^\w.>:])s?rand\s*\()re");
    for (const SourceFile& f : GameSources()) {
        const std::vector<std::string> lines = Lines(f.text);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            const std::string code = line.substr(0, line.find("//"));
            EXPECT_FALSE(std::regex_search(code, foreign)) << f.path << ":" << i + 1 << ": " << line;
        }
        for (const Include& inc : ReadIncludes(f.text))
            EXPECT_FALSE(IsOutsideTree(ResolveInclude(f.path, inc)) &&
                         IsRandomHeader(ResolveInclude(f.path, inc)))
                << f.path << ":" << inc.line << ": " << inc.text;
    }
}

// The checks themselves: a directive is read in every form the preprocessor accepts.
TEST(Layering, IncludeParserFindsTheFolder) {
    const auto folder = [](const std::string& file, const std::string& line) {
        const std::vector<Include> incs = ReadIncludes(line);
        return incs.size() == 1 ? UnitOf(ResolveInclude(file, incs[0])) : std::string("(none)");
    };
    EXPECT_EQ(folder("game/state/x.cpp", "#include \"game/turn/main_game.h\""), "game/turn");
    EXPECT_EQ(folder("game/state/x.cpp", "  #  include \"game/state/access.h\""), "game/state");
    EXPECT_EQ(folder("game/state/x.cpp", "#include <vector>"), "vector");
    EXPECT_EQ(folder("game/state/x.cpp", "// #include \"game/turn/x.h\" in a comment"), "(none)");
    EXPECT_EQ(folder("game/state/x.cpp", "/* #include \"game/turn/x.h\" */"), "(none)");
    EXPECT_EQ(folder("game/state/x.cpp", "#include \"access.h\""), "game/state");
    EXPECT_EQ(folder("game/state/x.cpp", "#include <game//turn/main_game.h> // a comment"), "game/turn");
    EXPECT_EQ(folder("game/state/x.cpp", "int n = 1'000; /* a\n#include \"game/turn/x.h\"\n*/"), "(none)");
    EXPECT_EQ(folder("game/state/x.cpp", "const char* s = \"/*\";\n#include \"game/turn/x.h\""), "game/turn");

    const std::vector<Include> incs =
        ReadIncludes("int a;\n/* one\n#include \"game/turn/x.h\"\n*/\n#include \\\n  <game/ai/x.h>\n");
    ASSERT_EQ(incs.size(), 1u);
    EXPECT_EQ(incs[0].line, 5);
    EXPECT_EQ(incs[0].name, "game/ai/x.h");
    EXPECT_EQ(incs[0].delimiter, '<');
}

// Includes against the order in every spelling the compiler accepts: each must be refused.
TEST(Layering, PlantedIncludesAgainstTheOrderAreRefused) {
    const std::string worktree = fs::path(RYMD_SOURCE_DIR).lexically_normal().filename().string();
    struct Planted {
        const char* file;
        std::string line;
    };
    const std::vector<Planted> planted = {
        // a rules floor reaching up, in every spelling
        {"game/state/planted.cpp", "#include \"game/turn/main_game.h\""},
        {"game/state/planted.cpp", "#include <game/turn/main_game.h>"},
        {"game/state/planted.cpp", "#include \"../turn/main_game.h\""},
        {"game/state/planted.cpp", "#include \"./../turn/main_game.h\""},
        {"game/state/planted.cpp", "#include \"game//turn/main_game.h\""},
        {"game/state/planted.cpp", "#include <game//turn//main_game.h>"},
        {"game/state/planted.cpp", "#include \"game/./turn/main_game.h\""},
        {"game/state/planted.cpp", "#include \"./game/turn/main_game.h\""},
        {"game/state/planted.cpp", "#include <game/state/../turn/main_game.h>"},
        {"game/state/planted.cpp", "#include <../" + worktree + "/game/turn/main_game.h>"},
        {"game/state/planted.cpp", "  #  include   \"game/turn/main_game.h\"  // trailing"},
        {"game/state/planted.cpp", "/* lead */ # /* mid */ include \"game/turn/main_game.h\""},
        {"game/state/planted.cpp", "#include \\\n\"game/turn/main_game.h\""},
        {"game/state/planted.cpp", "%:include \"game/turn/main_game.h\""},
        {"game/state/planted.cpp", "#include_next <game/turn/main_game.h>"},
        {"game/state/planted.cpp", "#import \"game/turn/main_game.h\""},
        {"game/state/planted.cpp", "#define PLANTED \"game/turn/main_game.h\"\n#include PLANTED"},
        {"game/military/planted.h", "#include \"../save/saved_game.h\""},
        {"game/ai/planted.cpp", "#include \"../turn/main_game.h\""},
        {"game/save/planted.cpp", "#include \"game/shell/planted.h\""},
        {"game/save/planted.cpp", "#include \"../shell/app/planted.h\""},
        {"game/events/planted.cpp", "#include \"tools/rymdcli/planted.h\""},
        // the ports reach platform/core only
        {"game/ports/planted.cpp", "#include \"mbkormap/kor_map.h\""},
        {"game/ports/planted.cpp", "#include <mbmisc/misc_services.h>"},
        {"game/ports/planted.cpp", "#include \"../state/access.h\""},
        // the window layer and foreign draws under the rules
        {"game/state/planted.cpp", "#include <QWidget>"},
        {"game/turn/planted.cpp", "#include \"QtCore/QString\""},
        {"game/turn/planted.cpp", "#include \"platform/qt/planted.h\""},
        {"game/turn/planted.cpp", "#include <mbwnd/planted.h>"},
        {"game/ai/planted.cpp", "#include <random>"},
        // the libraries below the rules
        {"platform/core/planted.cpp", "#include \"game/state/access.h\""},
        {"platform/core/planted.cpp", "#include \"../../game/state/access.h\""},
        {"platform/core/planted.cpp", "#include <mbbmp/control_bmp.h>"},
        {"platform/core/planted.cpp", "#include <QString>"},
        {"mbkormap/planted.cpp", "#include \"game/turn/main_game.h\""},
        {"mbkormap/planted.cpp", "#include \"../game//state/./access.h\""},
        {"mbkormap/planted.cpp", "#include <QImage>"},
        {"mbkormap/planted.cpp", "#include \"mbwnd/planted.h\""},
        {"mbbmp/planted.cpp", "#include \"mb3dmap/elv_map.h\""},
        {"mbbmp/planted.cpp", "#include \"../mbkormap/kor_map.h\""},
        {"mbmisc/planted.cpp", "#include <mbbmp/control_bmp.h>"},
        {"mb3dmap/planted.cpp", "#include \"mbkormap/kor_map.h\""},
        {"mb3dmap/planted.cpp", "#include \"platform/qt/planted.h\""},
        {"platform/qt/planted.cpp", "#include \"game/ports/planted.h\""},
        {"platform/qt/planted.cpp", "#include \"../../game/state/access.h\""},
        {"mbwnd/planted.cpp", "#include <game/shell/planted.h>"},
        {"mbwnd/planted.cpp", "#include \"../game/ports/planted.h\""},
        // The screen's rooms: a dialog reaches the window through its face only, the services
        // stay below the dialogs, a room does not include a room of its own rank.
        {"game/shell/dialogs/military/planted.cpp", "#include \"game/shell/window/main_game_dlg.h\""},
        {"game/shell/dialogs/diplomacy/planted.cpp", "#include \"../../window/command_dispatch.h\""},
        {"game/shell/dialogs/corps/planted.h", "#include <game/shell/window/status_bar.h>"},
        {"game/shell/app/planted.cpp", "#include \"game/shell/window/main_game_dlg.h\""},
        {"game/shell/app/planted.cpp", "#include \"../music/music_player.h\""},
        {"game/shell/maps/planted.cpp", "#include \"game/shell/dialogs/common/dialog_parts.h\""},
        {"game/shell/dialogs/common/planted.cpp", "#include \"../info/info_views.h\""},
        {"game/shell/dialogs/military/planted.cpp", "#include \"game/shell/dialogs/domestic/chouhei_dlg.h\""},
        {"game/shell/dialogs/events/planted.cpp", "#include \"game/shell/port/qt_port.h\""},
        {"game/shell/port/planted.cpp", "#include \"game/shell/dialogs/flow/tool_dlgs.h\""},
        {"game/shell/window/planted.cpp", "#include \"game/shell/start/game_app.h\""},
        {"game/shell/window/planted.cpp", "#include \"game/shell/planted.h\""},
        {"game/shell/planted.cpp", "#include \"game/shell/app/picture_store.h\""},
    };
    for (const Planted& p : planted)
        EXPECT_EQ(IncludeFaults(p.file, p.line).size(), 1u) << p.file << ": " << p.line;
}

// What the order allows passes, so the refusals above are not a checker that refuses everything.
TEST(Layering, IncludesWithinTheOrderPass) {
    struct Allowed {
        const char* file;
        const char* line;
    };
    const std::vector<Allowed> allowed = {
        {"game/state/planted.cpp", "#include \"access.h\""},
        {"game/state/planted.cpp", "#include \"./access.h\""},
        {"game/state/planted.cpp", "#include \"../ports/ports.h\""},
        {"game/state/planted.cpp", "#include <game//state/./access.h>"},
        {"game/state/planted.cpp", "#include \"mbkormap/kor_map.h\""},
        {"game/state/planted.cpp", "#include <vector>"},
        {"game/ports/planted.cpp", "#include \"platform/core/planted.h\""},
        {"game/save/planted.cpp", "#include \"../turn/main_game.h\""},
        {"game/turn/planted.cpp", "#include \"game/scenario/planted.h\""},
        {"game/shell/app/planted.cpp", "#include <QWidget>"},
        {"game/shell/app/planted.cpp", "#include \"game/save/planted.h\""},
        {"game/shell/dialogs/military/planted.cpp", "#include \"../common/main_window_face.h\""},
        {"game/shell/dialogs/military/planted.cpp", "#include \"game/shell/dialogs/info/info_views.h\""},
        {"game/shell/dialogs/flow/planted.cpp", "#include \"game/shell/port/qt_port.h\""},
        {"game/shell/window/planted.cpp", "#include \"game/shell/dialogs/military/shutsujin_dlg.h\""},
        {"game/shell/start/planted.cpp", "#include \"game/shell/window/main_game_dlg.h\""},
        {"game/shell/music/planted.cpp", "#include \"music_player.h\""},
        {"mbkormap/planted.cpp", "#include \"../mb3dmap/elv_map.h\""},
        {"mbkormap/planted.cpp", "#include \"kor_map.h\""},
        {"mbbmp/planted.cpp", "#include <jpeglib.h>"},
        {"platform/core/planted.cpp", "#include <sys/stat.h>"},
        {"platform/qt/planted.cpp", "#include <QWidget>"},
        {"mbwnd/planted.cpp", "#include \"platform/qt/planted.h\""},
        {"game/state/planted.cpp", "const char* s = \"#include <game/turn/main_game.h>\";"},
    };
    for (const Allowed& a : allowed)
        EXPECT_TRUE(IncludeFaults(a.file, a.line).empty()) << a.file << ": " << a.line;
}

}  // namespace
