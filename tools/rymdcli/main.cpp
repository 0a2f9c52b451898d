// rymdcli: the headless front of the game's own functions, for tests, benchmarks and scripts.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "game/ports/headless_port.h"
#include "game/ports/ports.h"
#include "game/save/saved_game.h"
#include "game/save/state_dump.h"
#include "game/scenario/cipher.h"
#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/turn/main_game.h"
#include "game/turn/new_game.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"
#include "platform/core/format_text.h"
#include "tools/rymdcli/arguments.h"
#include "tools/rymdcli/checked_run.h"
#include "tools/rymdcli/run_summary.h"

namespace {

using rymd::cli::ArgReader;
using rymd::cli::InvariantsHold;
using rymd::cli::kExitBrokenInvariant;
using rymd::cli::PlayMonths;
using rymd::cli::UsageError;

// The program folder: where the tool itself lies (the second place to look for map files and
// pictures).
std::string ProgramFolder() {
    std::vector<char> buf(4096);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return "";
    return rymd::DirectoryOf(std::string(buf.data(), static_cast<std::size_t>(n)));
}

// Why the scenario at path was not read, on standard error.
void ReportUnopened(const std::string& path) {
    std::cerr << "rymdcli: cannot open " << path << ": "
              << rymd::WhyUnreadable(path, rymd::kScenarioFileMaxBytes) << '\n';
}

// The game's text while a new game is set up, held until the game stands ready: an error of the
// set-up (a house the scenario does not have) is then the only thing printed. Released, the
// stream writes to standard error.
class HeldOutput {
public:
    HeldOutput() : stream_(&held_) {}
    HeldOutput(const HeldOutput&) = delete;
    HeldOutput& operator=(const HeldOutput&) = delete;
    std::ostream& Stream() { return stream_; }
    void Release() {
        stream_.flush();
        std::cerr << held_.str();
        held_.str("");
        stream_.rdbuf(std::cerr.rdbuf());
    }

private:
    std::stringbuf held_;
    std::ostream stream_;
};

// The start of newgame, run and bench: the scenario read and the new game set up, its text held
// in held until then; what went wrong goes to standard error. An output file (the dump, the draw
// trace; "" and "-" are none) that is the scenario or its map is refused before anything is
// written.
int StartGame(rymd::GameState& gs, MbKorMap::CCtrlKorMap& map, const rymd::Ports& ports,
              const rymd::NewGameRequest& request, HeldOutput& held,
              const std::vector<std::string>& outputs = {}) {
    auto overwrites = [&outputs](const std::string& input, const char* what) {
        for (const std::string& out : outputs)
            if (!out.empty() && out != "-" && !input.empty() && rymd::SameFile(out, input)) {
                std::cerr << "rymdcli: " << out << " would overwrite the " << what << ' ' << input << '\n';
                return true;
            }
        return false;
    };
    if (overwrites(request.scenarioPath, "scenario")) return 2;
    const int result = rymd::StartGameFromScenario(gs, map, ports, request);
    if (result == rymd::kNewGameNoSuchHouse) {
        std::cerr << "rymdcli: --house " << request.house << ": the scenario has no such house\n";
        return 1;
    }
    if (result == rymd::kNewGameHouseRefused) {
        std::cerr
            << "rymdcli: --house " << request.house
            << ": the player cannot take this house (プレイヤーはこの大名家を担当することはできません)\n";
        return 1;
    }
    if (result == 0 && overwrites(map.LoadedPath(), "map")) return 2;
    // The reader's message of a scenario not read is part of what was held.
    held.Release();
    if (result == rymd::kScnFileError) ReportUnopened(request.scenarioPath);
    return result;
}

// Writes a text to the file or, for "-", to standard output (checked when the program ends);
// false, told on standard error, when the file cannot be written.
bool WriteText(const std::string& text, const std::string& path) {
    if (path == "-") {
        std::cout << text;
        return true;
    }
    if (rymd::WriteFileAtomic(path, std::vector<std::uint8_t>(text.begin(), text.end()))) return true;
    std::cerr << "rymdcli: cannot write " << path << '\n';
    return false;
}

// An output file of a command and the option that names it ("" for none).
struct OutputFile {
    const char* option;
    std::string path;
};

// Two outputs naming one file (under any name, also a file not there yet) would write over each
// other, and an output that cannot be written now would be found only after the work: both are
// refused before any work, with a message on standard error (exit code 2 and 1).
int RefusedOutputs(const std::vector<OutputFile>& outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i)
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const OutputFile& a = outputs[i];
            const OutputFile& b = outputs[j];
            if (a.path.empty() || b.path.empty() || !rymd::SamePlace(a.path, b.path)) continue;
            std::cerr << "rymdcli: " << a.option << ' ' << a.path << " and " << b.option << ' ' << b.path
                      << " name one file\n";
            return 2;
        }
    for (const OutputFile& out : outputs) {
        if (out.path.empty()) continue;
        const std::string why =
            rymd::cli::WhyUnwritable(out.path, std::string_view(out.option) == "--trace-rng");
        if (why.empty()) continue;
        std::cerr << "rymdcli: cannot write " << out.path << " (" << out.option << "): " << why << '\n';
        return 1;
    }
    return 0;
}

// The file a --dump names: none for standard output.
std::string DumpFile(const std::string& dump) {
    return dump == "-" ? std::string() : dump;
}

// Writes the state dump to the file or, for "-", to standard output (checked when the program ends).
int WriteDump(const rymd::GameState& gs, const MbKorMap::CCtrlKorMap& map, const std::string& dump) {
    if (dump.empty()) return 0;
    return WriteText(rymd::DumpStateJson(gs, map, rymd::StateHash(gs)), dump) ? 0 : 1;
}

// The reader's one message goes to standard output as the game shows it; the opening text and
// every other report are not shown by a check.
class CheckPort final : public rymd::InformPort {
public:
    void Inform(std::string_view text) override { std::cout << text << '\n'; }
};

int Check(const std::string& path) {
    auto gs = std::make_unique<rymd::GameState>();
    MbKorMap::CCtrlKorMap map;
    CheckPort inform;
    rymd::Ports ports = rymd::SilentPort::Instance().AsPorts();
    ports.inform = &inform;
    rymd::CScenarioReader reader(*gs, map, ports, ProgramFolder());
    const int result = reader.ReadScenarioFile(path).Code();
    if (result == rymd::kScnFileError) ReportUnopened(path);
    if (result == 0)
        std::cout
            << rymd::FormatText(
                   "シナリオを読み込みました（大名家 %d、城 %d、武将 %d、イベント %d、条件イベント %d）",
                   gs->nScenarioDaimyou, rymd::ShiroCount(*gs), gs->nBushouEx, gs->nEvent,
                   gs->nConditionalEvent)
            << '\n';
    return result;
}

// encrypt / decrypt: the scenario tools' checks and converters, their messages one a line.
int Cipher(const std::string& command, const std::string& input, const std::string& output,
           const std::string& password) {
    std::string refused = rymd::CheckCipherRequest(input, output, password);
    if (!refused.empty()) {
        std::cout << refused << '\n';
        return 2;
    }
    auto gs = std::make_unique<rymd::GameState>();
    MbKorMap::CCtrlKorMap map;
    CheckPort inform;
    rymd::Ports ports = rymd::SilentPort::Instance().AsPorts();
    ports.inform = &inform;
    rymd::CScenarioReader reader(*gs, map, ports, ProgramFolder());
    bool done = command == "encrypt" ? reader.EncryptScenario(input, output, password)
                                     : reader.DecryptScenario(input, output, password);
    return done ? 0 : 1;
}

}  // namespace

// The options newgame and run share: the seed, the house, the dump. True when a was one of them.
bool NewGameOption(ArgReader& in, const std::string& a, rymd::NewGameRequest& request, std::string& dump) {
    if (a == "--seed") {
        request.seed = in.Seed(a);
    } else if (a == "--house" || a == "--spectator") {
        const std::string other = a == "--house" ? "--spectator" : "--house";
        if (in.Seen(other))
            throw UsageError{other + " and " + a + ": give one of them (a house to play, or none to watch)"};
        request.house = a == "--house" ? in.Value(a) : std::string();
        if (a == "--house" && request.house.empty())
            throw UsageError{"--house '': an empty house (--spectator watches without one)"};
    } else if (a == "--dump") {
        dump = in.Output(a, true);
    } else {
        return false;
    }
    return true;
}

// The game's messages and reports go to standard error, one a line.
int NewGame(const std::vector<std::string>& args) {
    rymd::NewGameRequest request;
    request.programFolder = ProgramFolder();
    std::string dump;
    ArgReader in(args);
    while (in.More()) {
        const std::string& a = in.Next();
        if (!NewGameOption(in, a, request, dump)) ArgReader::Positional(a, request.scenarioPath, "scenario");
    }
    rymd::cli::Require(request.scenarioPath, "newgame", "a SCENARIO");
    if (const int refused = RefusedOutputs({{"--dump", DumpFile(dump)}})) return refused;
    auto gs = std::make_unique<rymd::GameState>();
    MbKorMap::CCtrlKorMap map;
    HeldOutput held;
    rymd::HeadlessPort port(held.Stream());
    const rymd::Ports ports = port.AsPorts();
    if (const int result = StartGame(*gs, map, ports, request, held, {dump})) return result;
    return WriteDump(*gs, map, dump);
}

namespace {

// The ask port of run: every question gets its safe answer, but the question asked when the
// player's house has fallen gets the answer of --on-fall.
class RunAskPort final : public rymd::AskPort {
public:
    RunAskPort(rymd::HeadlessPort& base, bool watchOnFall) : base_(base), watch_(watchOnFall) {}
    bool AskYesNo(std::string_view text, bool defaultYes) override {
        if (text != rymd::kFallenHouseQuestion) return base_.AskYesNo(text, defaultYes);
        std::cerr << "[ask:yesno] " << text << " -> " << (watch_ ? "yes" : "no") << '\n';
        return watch_;
    }
    bool AskOkCancel(std::string_view text) override { return base_.AskOkCancel(text); }
    int AskChoice(std::string_view prompt, std::span<const std::string> choices, int defaultChoice) override {
        return base_.AskChoice(prompt, choices, defaultChoice);
    }
    double AskNumber(std::string_view prompt) override { return base_.AskNumber(prompt); }
    std::optional<std::string> AskOpenFile(std::string_view title, std::string_view filter,
                                           std::string_view folder) override {
        return base_.AskOpenFile(title, filter, folder);
    }

private:
    rymd::HeadlessPort& base_;
    bool watch_;
};

// The most months run and load play.
constexpr int kMaxMonths = 1000000;

// The draws of the random source, one a line: "file:line value", the file relative to the
// project's folder so that traces of two checkouts compare.
class RngTraceFile final : public rymd::RandomTracer {
public:
    explicit RngTraceFile(const std::string& path) : path_(path) {
        // The project's folder: what precedes this file's own place in it.
        const std::string_view self = __FILE__;
        const std::string_view tail = "tools/rymdcli/main.cpp";
        if (self.size() >= tail.size() && self.substr(self.size() - tail.size()) == tail)
            root_ = self.substr(0, self.size() - tail.size());
    }
    ~RngTraceFile() override {
        if (file_) std::fclose(file_);
    }
    RngTraceFile(const RngTraceFile&) = delete;
    RngTraceFile& operator=(const RngTraceFile&) = delete;

    // Opens the file (without waiting on a FIFO that has no reader) and writes the draws made
    // before; until then they are kept in memory.
    bool Open() {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0) return false;
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || !(file_ = ::fdopen(fd, "w"))) {
            ::close(fd);
            return false;
        }
        std::fwrite(early_.data(), 1, early_.size(), file_);
        early_.clear();
        return true;
    }
    void OnDraw(const rymd::CallSite& where, int value) override {
        std::string_view file = where.file_name();
        if (!root_.empty() && file.substr(0, root_.size()) == root_) file.remove_prefix(root_.size());
#ifdef RYMD_PROJECT_DIR
        const std::string_view project = RYMD_PROJECT_DIR;
        if (file.substr(0, project.size()) == project) file.remove_prefix(project.size());
#endif
        // A file the compiler was given relative to a build folder inside the project.
        while (file.substr(0, 3) == "../" || file.substr(0, 2) == "./")
            file.remove_prefix(file[0] == '.' && file[1] == '/' ? 2 : 3);
        char line[600];
        std::snprintf(line, sizeof line, "%.*s:%u %d\n", static_cast<int>(file.size()), file.data(),
                      static_cast<unsigned>(where.line()), value);
        Put(line);
    }
    void Mark(const std::string& text) {
        Put("# " + text + "\n");
    }
    // Flushes and closes the file; false (with the message on standard error) when it was not
    // written whole.
    bool Close() {
        const bool ok = std::ferror(file_) == 0 && std::fclose(file_) == 0;
        file_ = nullptr;
        if (!ok) std::cerr << "rymdcli: cannot write " << path_ << '\n';
        return ok;
    }

private:
    void Put(const std::string& text) {
        if (file_)
            std::fputs(text.c_str(), file_);
        else
            early_ += text;
    }

    std::string path_;
    std::FILE* file_ = nullptr;
    std::string early_;
    std::string_view root_;
};

// Saves the game to path (nothing to do for an empty path); false, told on standard error, when
// the file cannot be written.
bool SaveTo(const rymd::GameState& gs, const MbKorMap::CCtrlKorMap& map, const std::string& path) {
    if (path.empty()) return true;
    std::string message;
    if (rymd::SaveGameFile(path, gs, map, &message)) return true;
    std::cerr << "rymdcli: cannot write " << path << ": " << message << '\n';
    return false;
}

}  // namespace

// run: a new game, its first month start, then end steps until the personnel phase N months on.
int Run(const std::vector<std::string>& args) {
    rymd::NewGameRequest request;
    request.programFolder = ProgramFolder();
    std::string dump;
    int months = -1;
    bool watchOnFall = true;
    bool check = false;
    std::string tracePath;
    std::string savePath;
    std::string summaryPath;
    ArgReader in(args);
    while (in.More()) {
        const std::string& a = in.Next();
        if (NewGameOption(in, a, request, dump)) continue;
        if (a == "--months") {
            months = in.Count(a, 0, kMaxMonths);
        } else if (a == "--summary") {
            summaryPath = in.Output(a, true);
        } else if (a == "--on-fall") {
            watchOnFall = in.Word(a, {"watch", "quit"}) == "watch";
        } else if (a == "--check") {
            check = true;
        } else if (a == "--trace-rng") {
            tracePath = in.Output(a, false);
        } else if (a == "--save") {
            savePath = in.Output(a, false);
        } else {
            ArgReader::Positional(a, request.scenarioPath, "scenario");
        }
    }
    rymd::cli::Require(request.scenarioPath, "run", "a SCENARIO");
    if (months < 0) throw UsageError{"run wants --months N"};
    if (dump == "-" && summaryPath == "-")
        throw UsageError{"--summary - and --dump -: both would go to standard output; name a file for one"};
    if (const int refused = RefusedOutputs({{"--dump", DumpFile(dump)},
                                            {"--trace-rng", tracePath},
                                            {"--save", savePath},
                                            {"--summary", DumpFile(summaryPath)}}))
        return refused;
    auto gs = std::make_unique<rymd::GameState>();
    std::unique_ptr<RngTraceFile> trace;
    if (!tracePath.empty()) {
        trace = std::make_unique<RngTraceFile>(tracePath);
        gs->rng.SetTracer(trace.get());  // kept through the new game's reset of the state
    }
    MbKorMap::CCtrlKorMap map;
    HeldOutput held;
    rymd::HeadlessPort port(held.Stream());
    RunAskPort ask(port, watchOnFall);
    rymd::Ports ports = port.AsPorts();
    ports.ask = &ask;
    if (const int result =
            StartGame(*gs, map, ports, request, held, {dump, tracePath, savePath, summaryPath}))
        return result;
    // The trace file is opened only now that it is known to be none of the inputs.
    if (trace && !trace->Open()) {
        std::cerr << "rymdcli: cannot write " << tracePath << '\n';
        return 1;
    }

    if (check && !InvariantsHold(*gs, "in the new game")) return kExitBrokenInvariant;
    if (trace) trace->Mark("start of month 1");
    rymd::CMainGame game(*gs, map, ports);
    int done = 0;
    rymd::TurnResult last = rymd::TurnResult::kContinue;
    const auto markMonthEnd = [&trace](const std::string& text) {
        if (trace) trace->Mark(text);
    };
    if (PlayMonths(game, *gs, game.StartMonth(), months, check, markMonthEnd, done, last) != 0)
        return kExitBrokenInvariant;
    if (trace) {
        gs->rng.SetTracer(nullptr);
        if (!trace->Close()) return 1;
    }
    if (!SaveTo(*gs, map, savePath)) return 1;
    if (!summaryPath.empty() &&
        !WriteText(rymd::cli::RunSummary(*gs, game, done, last == rymd::TurnResult::kQuit), summaryPath))
        return 1;
    return WriteDump(*gs, map, dump);
}

// load: a saved game, optionally played on, dumped and saved again.
int Load(const std::vector<std::string>& args) {
    std::string path;
    std::string dump;
    std::string savePath;
    std::uint32_t seed = 0;
    int months = 0;
    bool check = false;
    ArgReader in(args);
    while (in.More()) {
        const std::string& a = in.Next();
        if (a == "--seed") {
            seed = in.Seed(a);
        } else if (a == "--months") {
            months = in.Count(a, 0, kMaxMonths);
        } else if (a == "--dump") {
            dump = in.Output(a, true);
        } else if (a == "--save") {
            savePath = in.Output(a, false);
        } else if (a == "--check") {
            check = true;
        } else {
            ArgReader::Positional(a, path, "saved game");
        }
    }
    rymd::cli::Require(path, "load", "a SAVE.rsd");
    // The dump is never written over the save it comes from (saving over it again is fine).
    if (!dump.empty() && dump != "-" && rymd::SameFile(dump, path)) {
        std::cerr << "rymdcli: " << dump << " would overwrite the saved game " << path << '\n';
        return 2;
    }
    if (const int refused = RefusedOutputs({{"--dump", DumpFile(dump)}, {"--save", savePath}}))
        return refused;
    auto gs = std::make_unique<rymd::GameState>();
    MbKorMap::CCtrlKorMap map;
    const rymd::SavedGameLoad loaded = rymd::LoadSavedGameFile(path, *gs, map, seed);
    if (!loaded.loaded) {
        std::cerr << "rymdcli: " << path << ": " << loaded.message << " (" << loaded.detail << ")\n";
        return 1;
    }
    if (check && !InvariantsHold(*gs, "in the loaded game")) return kExitBrokenInvariant;
    rymd::HeadlessPort port(std::cerr);
    const rymd::Ports ports = port.AsPorts();
    rymd::CMainGame game(*gs, map, ports);
    if (months > 0) {
        // A game saved before its first month start begins with it.
        const rymd::TurnResult step =
            gs->nPhase == rymd::kPhaseEvent ? game.StartMonth() : rymd::TurnResult::kContinue;
        int done = 0;
        rymd::TurnResult last = step;
        if (PlayMonths(game, *gs, step, months, check, {}, done, last) != 0) return kExitBrokenInvariant;
    }
    if (!SaveTo(*gs, map, savePath)) return 1;
    return WriteDump(*gs, map, dump);
}

// bench: the all-automatic run of a spectator game.
int Bench(const std::vector<std::string>& args) {
    rymd::NewGameRequest request;
    request.programFolder = ProgramFolder();
    int years = -1;
    ArgReader in(args);
    while (in.More()) {
        const std::string& a = in.Next();
        if (a == "--seed") {
            request.seed = in.Seed(a);
        } else if (a == "--years") {
            years = in.Count(a, 1, 1000);
        } else {
            ArgReader::Positional(a, request.scenarioPath, "scenario");
        }
    }
    rymd::cli::Require(request.scenarioPath, "bench", "a SCENARIO");
    if (years < 0) throw UsageError{"bench wants --years N"};
    auto gs = std::make_unique<rymd::GameState>();
    MbKorMap::CCtrlKorMap map;
    HeldOutput held;
    rymd::HeadlessPort port(held.Stream());
    const rymd::Ports ports = port.AsPorts();
    if (const int result = StartGame(*gs, map, ports, request, held)) return result;
    gs->nTextPoolValue = 0;
    rymd::CMainGame game(*gs, map, ports);
    game.PrepareAllAutomatic();
    game.StartMonth();
    const rymd::AllAutomaticResult run = game.RunAllAutomatic(years);
    std::cout << run.text << '\n';
    return 0;
}

// Province map commands (map_commands.cpp); a wrong argument throws UsageError.
int MapInfo(const std::vector<std::string>& args);
int MapRender(const std::vector<std::string>& args);

namespace {

// A standard stream that was closed when the program started is opened on /dev/null for
// reading only: writing to it fails, as it should, and no file the program opens later takes
// its number and receives the output meant for the stream.
void HoldStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int held = ::open("/dev/null", O_RDONLY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

int Dispatch(const std::vector<std::string>& args) {
    if (args.empty()) {
        std::cerr << rymd::cli::kSynopsis;
        return rymd::cli::kExitUsage;
    }
    const std::string& command = args[0];
    try {
        if (command == "--help" || command == "-h" || command == "help") {
            std::cout << rymd::cli::kUsage;
            return 0;
        }
        if (command == "check") {
            std::string path;
            ArgReader in(args);
            while (in.More())
                ArgReader::Positional(in.Next(), path, "scenario");
            rymd::cli::Require(path, "check", "a SCENARIO");
            return Check(path);
        }
        if (command == "newgame") return NewGame(args);
        if (command == "run") return Run(args);
        if (command == "load") return Load(args);
        if (command == "bench") return Bench(args);
        if (command == "map-info") return MapInfo(args);
        if (command == "map-render") return MapRender(args);
        if (command == "encrypt" || command == "decrypt") {
            std::string input, output, password;
            bool hasPassword = false;
            ArgReader in(args);
            while (in.More()) {
                const std::string& a = in.Next();
                if (a == "--password") {
                    password = in.Value(a);
                    hasPassword = true;
                } else {
                    ArgReader::Positional(a, input.empty() ? input : output,
                                          input.empty() ? "input" : "output");
                }
            }
            rymd::cli::Require(output, command.c_str(), "IN and OUT");
            if (!hasPassword) throw UsageError{command + " wants --password P"};
            return Cipher(command, input, output, password);
        }
        throw UsageError{command + ": no such command"};
    } catch (const UsageError& error) {
        return rymd::cli::ReportUsageError(error);
    }
}

}  // namespace

int main(int argc, char** argv) {
    HoldStandardStreams();
    std::vector<std::string> args(argv + 1, argv + argc);
    const int result = Dispatch(args);
    // Output that never arrived is a failure: every write and the final flush are checked.
    std::cout.flush();
    const bool lost = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
    if (!lost) return result;
    std::cerr << "rymdcli: cannot write standard output\n";
    return result != 0 ? result : 1;
}
