// rymdcli: the headless front of the game's own functions, for tests, benchmarks and scripts.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "game/data/game_state.h"
#include "game/data/scenario_reader.h"
#include "game/ports/headless_port.h"
#include "game/ports/ports.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"

namespace {

const char kUsage[] =
    "usage: rymdcli COMMAND ...\n"
    "  check SCENARIO    read a scenario and print the reader's message; exit code = result code\n";

// The program folder: where the tool itself lies (the second place to look for map files and
// pictures).
std::string ProgramFolder() {
    std::vector<char> buf(4096);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return "";
    return rymd::DirectoryOf(std::string(buf.data(), static_cast<std::size_t>(n)));
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
    int result = reader.ReadScenarioFile(path);
    if (result == 2) std::cerr << "rymdcli: cannot open " << path << '\n';
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "check") return Check(args[1]);
    std::fputs(kUsage, stderr);
    return 125;
}
