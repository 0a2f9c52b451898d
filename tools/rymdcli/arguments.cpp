// The command line of rymdcli: its usage texts and the checks of its arguments.
#include "tools/rymdcli/arguments.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

#include "platform/core/file.h"

namespace rymd::cli {

const char kSynopsis[] =
    "usage: rymdcli COMMAND ...   (rymdcli --help: what each command does, its exit codes)\n"
    "  check SCENARIO                         read a scenario; print the reader's message\n"
    "  encrypt|decrypt IN OUT --password P    the scenario cipher\n"
    "  newgame SCENARIO [--seed S] [--house ID | --spectator] [--dump FILE|-]\n"
    "  run SCENARIO --months N [--seed S] [--house ID | --spectator] [--dump FILE|-]\n"
    "      [--on-fall watch|quit] [--check] [--trace-rng FILE] [--save OUT.rsd] [--summary FILE|-]\n"
    "  load SAVE.rsd [--months N] [--seed S] [--dump FILE|-] [--save OUT.rsd] [--check]\n"
    "  bench SCENARIO --years N [--seed S]    the all-automatic run; prints its speed\n"
    "  map-info MAP\n"
    "  map-render MAP OUT.png [--season N] [--width W] [--paint PROVINCE:RRGGBB]... [--relief]\n";

const char kUsage[] =
    "usage: rymdcli COMMAND ...\n"
    "  check SCENARIO    read a scenario and print the reader's message (for a good file: what it\n"
    "      holds); exit code = result code\n"
    "  encrypt IN OUT --password P   write an enciphered copy of the scenario IN to OUT\n"
    "  decrypt IN OUT --password P   write the plain copy of the enciphered scenario IN to OUT\n"
    "      (messages on standard output; exit code 0 written, 1 not written (the message says why),\n"
    "       2 refused before running: OUT is IN (under any name), the password is longer than 20\n"
    "       bytes or has a blank)\n"
    "  newgame SCENARIO [--seed S] [--house ID | --spectator] [--dump FILE|-]\n"
    "      start a new game (the player's house by identifier or index; watching without one) and\n"
    "      dump its state as JSON; exit code 0, the reader's code, 1 for a house that cannot be taken or\n"
    "      a dump that cannot be written, 2 also for a dump FILE that is the scenario or its map\n"
    "  run SCENARIO --months N [--seed S] [--house ID | --spectator] [--dump FILE|-] [--on-fall watch|quit]\n"
    "      [--check] [--trace-rng FILE] [--save OUT.rsd] [--summary FILE|-]\n"
    "      start a new game and run it to the personnel phase N months later (every house played by the\n"
    "      computer; questions get their safe answers; --on-fall answers the question asked when the\n"
    "      player's house has fallen, default watch); exit codes as newgame, 2 also when two of\n"
    "      --dump, --trace-rng, --save and --summary name one file (under any name)\n"
    "      --check: check the state invariants after the new game and after every month; the first\n"
    "      broken one is told on standard error with its month and the exit code is 123\n"
    "      --trace-rng FILE: write every draw of the random source, one a line (\"file:line value\",\n"
    "      with a \"# month\" line at each month), so that two runs can be compared with diff; on the\n"
    "      bundled scenario about 35 MB for a run of one month, 230 MB for twelve\n"
    "      --save OUT.rsd: save the game at the end of the run (the file is replaced whole or not at all)\n"
    "      --summary FILE|-: write how the run ended (the house that unified the country with the\n"
    "      scenario's ending, or the months played) and the largest houses left, as text\n"
    "  load SAVE.rsd [--months N] [--seed S] [--dump FILE|-] [--save OUT.rsd] [--check]\n"
    "      load a saved game (the random source seeded with S, default 0, as a new game), play N more\n"
    "      months as run does (default 0), dump and save it again; a file that is refused leaves\n"
    "      nothing behind: its message on standard error, exit code 1 (2 when the dump would overwrite\n"
    "      the save or names the file of --save; run refuses a --save over the scenario or its map the\n"
    "      same way)\n"
    "  bench SCENARIO --years N [--seed S]\n"
    "      the all-automatic run of a spectator game (seed 0 unless given) for N years; prints\n"
    "      \"実行速度 %.3f 秒／月\"\n"
    "  map-info MAP      what a province map file holds: format, version, counts, regions and provinces\n"
    "      (identifiers and names), relief size; exit code 0, 1 cannot open, 2 refused\n"
    "  map-render MAP OUT.png [--season N] [--width W] [--paint PROVINCE:RRGGBB]... [--relief]\n"
    "      draw the whole map W pixels wide (default 1280) as the country map shows it, provinces\n"
    "      (identifier or number) painted in the given colours; --relief keeps the heights; exit code 0,\n"
    "      1 cannot open, cannot draw or cannot write, 2 refused (also when OUT.png is MAP)\n"
    "A wrong argument is told in one line that names it, before any work; the exit code is then 2:\n"
    "also --house with --spectator, an option given twice (but --paint) and a value that begins\n"
    "with -- (the value is missing).\n"
    "An output file that cannot be written is told before the game starts (exit code 1).\n"
    "Every command exits non-zero with a message when its standard output cannot be written.\n";

namespace {

// A value as the line shows it: quoted when it is empty or has a blank.
std::string Shown(const std::string& text) {
    return text.empty() || text.find_first_of(" \t") != std::string::npos ? "'" + text + "'" : text;
}

// A whole number written in decimal digits only (no sign, no blank), at most max; false for
// anything else.
bool Digits(const std::string& text, unsigned long long max, unsigned long long& out) {
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    out = std::stoull(text);
    return out <= max;
}

}  // namespace

int ReportUsageError(const UsageError& error) {
    std::cerr << "rymdcli: " << error.text << " (rymdcli --help shows the usage)\n";
    return kExitUsage;
}

const std::string& ArgReader::Next() {
    const std::string& a = args_[at_++];
    if (a.rfind("--", 0) != 0 || std::find(repeatable_.begin(), repeatable_.end(), a) != repeatable_.end())
        return a;
    if (Seen(a)) throw UsageError{a + ": given more than once"};
    seen_.push_back(a);
    return a;
}

bool ArgReader::Seen(const std::string& option) const {
    return std::find(seen_.begin(), seen_.end(), option) != seen_.end();
}

const std::string& ArgReader::Value(const std::string& option) {
    if (!More()) throw UsageError{option + " wants a value after it"};
    const std::string& text = args_[at_++];
    if (text.rfind("--", 0) == 0)
        throw UsageError{option + " " + text + ": the value is missing (a value may not begin with --)"};
    return text;
}

int ArgReader::Count(const std::string& option, int min, int max) {
    const std::string& text = Value(option);
    unsigned long long v = 0;
    if (!Digits(text, static_cast<unsigned long long>(max), v) || v < static_cast<unsigned long long>(min))
        throw UsageError{option + " " + Shown(text) + ": not a whole number from " + std::to_string(min) +
                         " to " + std::to_string(max)};
    return static_cast<int>(v);
}

std::uint32_t ArgReader::Seed(const std::string& option) {
    const std::string& text = Value(option);
    unsigned long long v = 0;
    if (!Digits(text, 4294967295ULL, v))
        throw UsageError{option + " " + Shown(text) + ": not a whole number from 0 to 4294967295"};
    return static_cast<std::uint32_t>(v);
}

std::string ArgReader::Output(const std::string& option, bool stdoutAllowed) {
    const std::string& text = Value(option);
    if (text.empty()) throw UsageError{option + " '': an empty file name"};
    if (text == "-" && !stdoutAllowed)
        throw UsageError{option + " -: this output cannot go to standard output; name a file"};
    return text;
}

std::string ArgReader::Word(const std::string& option, const std::vector<std::string>& words) {
    const std::string& text = Value(option);
    if (std::find(words.begin(), words.end(), text) != words.end()) return text;
    std::string list;
    for (const std::string& w : words)
        list += (list.empty() ? "" : " or ") + w;
    throw UsageError{option + " " + Shown(text) + ": not " + list};
}

void ArgReader::Positional(const std::string& a, std::string& slot, const char* what) {
    if (a.rfind("--", 0) == 0) throw UsageError{a + ": no such option here"};
    if (a.empty()) throw UsageError{std::string("'': an empty ") + what};
    if (!slot.empty()) throw UsageError{a + ": one argument too many"};
    slot = a;
}

void Require(const std::string& value, const char* command, const char* what) {
    if (value.empty()) throw UsageError{std::string(command) + " wants " + what};
}

std::string WhyUnwritable(const std::string& path, bool inPlace) {
    struct stat st {};
    const bool there = ::stat(path.c_str(), &st) == 0;
    if (there && S_ISDIR(st.st_mode)) return "it is a folder";
    if (there && (inPlace || !S_ISREG(st.st_mode)))
        return ::access(path.c_str(), W_OK) == 0 ? "" : "it cannot be written";
    std::string folder = rymd::DirectoryOf(path);
    if (folder.empty()) folder = ".";
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode))
        return "its folder " + folder + " does not exist";
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return "its folder " + folder + " cannot be written";
    return "";
}

}  // namespace rymd::cli
