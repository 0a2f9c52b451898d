// rymdcli: the headless front of the game's own functions, for tests, benchmarks and scripts.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "game/data/game_state.h"
#include "game/data/scenario_cipher.h"
#include "game/data/scenario_reader.h"
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
    "       2 refused before running: OUT is IN, or the password is longer than 20 bytes)\n";

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

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "check") return Check(args[1]);
    if (args.size() == 5 && (args[0] == "encrypt" || args[0] == "decrypt") && args[3] == "--password")
        return Cipher(args[0], args[1], args[2], args[4]);
    std::fputs(kUsage, stderr);
    return 125;
}
