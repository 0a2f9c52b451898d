// rymdcli: the headless front of the game's own functions, for tests, benchmarks and scripts.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "game/data/game_state.h"
#include "game/data/new_game.h"
#include "game/data/saved_game.h"
#include "game/data/scenario_cipher.h"
#include "game/data/scenario_reader.h"
#include "game/data/state_dump.h"
#include "game/ports/headless_port.h"
#include "game/ports/ports.h"
#include "mbkormap/kor_map.h"
#include "platform/core/file.h"

namespace {

const char kUsage[] =
    "usage: rymdcli COMMAND ...\n"
    "  check SCENARIO    read a scenario and print the reader's message; exit code = result code\n"
    "  encrypt IN OUT --password P   write an enciphered copy of the scenario IN to OUT\n"
    "  decrypt IN OUT --password P   write the plain copy of the enciphered scenario IN to OUT\n"
    "      (messages on standard output; exit code 0 written, 1 not written (the message says why),\n"
    "       2 refused before running: OUT is IN, or the password is longer than 20 bytes)\n"
    "  newgame SCENARIO [--seed S] [--house ID | --spectator] [--dump FILE|-]\n"
    "      start a new game (the player's house by identifier or index; watching without one) and\n"
    "      dump its state as JSON; exit code 0, the reader's code, or 1 for a house that cannot be taken\n";

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

// The game's messages and reports go to standard error, one a line.
int NewGame(const std::vector<std::string>& args) {
    rymd::NewGameRequest request;
    request.programFolder = ProgramFolder();
    std::string dump;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--seed" && hasValue) {
            request.seed = static_cast<std::uint32_t>(std::strtoul(args[++i].c_str(), nullptr, 10));
        } else if (a == "--house" && hasValue) {
            request.house = args[++i];
        } else if (a == "--spectator") {
            request.house.clear();
        } else if (a == "--dump" && hasValue) {
            dump = args[++i];
        } else if (request.scenarioPath.empty() && a.rfind("--", 0) != 0) {
            request.scenarioPath = a;
        } else {
            std::fputs(kUsage, stderr);
            return 125;
        }
    }
    if (request.scenarioPath.empty()) {
        std::fputs(kUsage, stderr);
        return 125;
    }
    auto gs = std::make_unique<rymd::GameState>();
    MbKorMap::CCtrlKorMap map;
    rymd::HeadlessPort port(std::cerr);
    const rymd::Ports ports = port.AsPorts();
    const int result = rymd::StartGameFromScenario(*gs, map, ports, request);
    if (result == rymd::kNewGameNoSuchHouse) std::cerr << "rymdcli: no such house: " << request.house << '\n';
    if (result < 0) return 1;
    if (result != 0) return result;
    if (dump.empty()) return 0;
    const std::string json = rymd::DumpStateJson(*gs, map, rymd::StateHash(*gs));
    if (dump == "-") {
        std::cout << json;
        return 0;
    }
    if (!rymd::WriteFileAtomic(dump, std::vector<std::uint8_t>(json.begin(), json.end()))) {
        std::cerr << "rymdcli: cannot write " << dump << '\n';
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "check") return Check(args[1]);
    if (!args.empty() && args[0] == "newgame") return NewGame(args);
    if (args.size() == 5 && (args[0] == "encrypt" || args[0] == "decrypt") && args[3] == "--password")
        return Cipher(args[0], args[1], args[2], args[4]);
    std::fputs(kUsage, stderr);
    return 125;
}
