// The command line of rymdcli: its usage texts and the checks of its arguments. A wrong argument
// is told in one line that names it and says why, before any work; the exit code is then 2.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace rymd::cli {

// What rymdcli alone prints: the commands and their options, one command a line or two.
extern const char kSynopsis[];
// What rymdcli --help prints: every command with what it does and its exit codes.
extern const char kUsage[];

// The exit code of a wrong argument (as of an output that is refused).
constexpr int kExitUsage = 2;

// A wrong argument: the one line that names it and says why.
struct UsageError {
    std::string text;
};

// Tells the usage error on standard error, with where to read the usage; kExitUsage.
int ReportUsageError(const UsageError& error);

// A command's arguments read in order (the command's own name at 0 is skipped). Each reader
// throws UsageError for a value that is missing or wrong.
class ArgReader {
public:
    // repeatable: the options that may be given more than once (those the synopsis marks "...").
    explicit ArgReader(const std::vector<std::string>& args, std::vector<std::string> repeatable = {})
        : args_(args), repeatable_(std::move(repeatable)) {}
    bool More() const { return at_ < args_.size(); }
    // The next argument; an option given before (but a repeatable one) is refused.
    const std::string& Next();
    // Whether the option was among the arguments read so far.
    bool Seen(const std::string& option) const;
    // The value that follows the option just read; one that begins with "--" is refused (the
    // value is missing, and the option that follows was taken for it).
    const std::string& Value(const std::string& option);
    // A whole number from min to max, written in digits only.
    int Count(const std::string& option, int min, int max);
    // A seed of the random source: a whole number from 0 to 4294967295.
    std::uint32_t Seed(const std::string& option);
    // A file to write; "-" (standard output) only where allowed. An empty name is refused.
    std::string Output(const std::string& option, bool stdoutAllowed);
    // One of the given words.
    std::string Word(const std::string& option, const std::vector<std::string>& words);
    // Takes a as the next positional argument when slot is still empty; else refuses it (an
    // unknown option, or one argument too many).
    static void Positional(const std::string& a, std::string& slot, const char* what);

private:
    const std::vector<std::string>& args_;
    std::vector<std::string> repeatable_;
    std::vector<std::string> seen_;
    std::size_t at_ = 1;
};

// Refuses a missing positional argument: "what" is what the command wants there.
void Require(const std::string& value, const char* command, const char* what);

// Why the file at path could not be written now ("" when it can): its folder is missing or
// cannot be written, or it is a folder. inPlace: the file is opened and truncated where it is
// (not written beside it and renamed).
std::string WhyUnwritable(const std::string& path, bool inPlace);

}  // namespace rymd::cli
