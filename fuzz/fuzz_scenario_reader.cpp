// Feeds arbitrary bytes to the scenario reader over a small in-memory map: whatever the bytes,
// the reader must return a code without crashing, hanging or reading out of bounds.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "game/ports/ports.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"

namespace {

class MemoryKorMap : public MbKorMap::CCtrlKorMap {
protected:
    int ReadKorMapFile(const char* path, MbKorMap::KorMapData& out) override {
        out = MbKorMap::KorMapData{};
        for (int i = 0; i < 4; ++i) {
            std::string id = "K0" + std::to_string(i + 1);
            out.kuni.push_back({id, id, static_cast<std::int16_t>(i % 2)});
        }
        out.chiiki = {{"R01", "R01"}, {"R02", "R02"}};
        out.pictureNames = {"P1", "P2"};
        out.formatFlag = path[0] == '/' && path[1] == 's' ? 1 : 0;
        return kLoaded;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto gs = std::make_unique<rymd::GameState>();
    static MemoryKorMap map;
    rymd::Ports ports = rymd::SilentPort::Instance().AsPorts();
    rymd::CScenarioReader reader(*gs, map, ports, "/p/");
    const int code = reader.ReadScenarioData(std::vector<std::uint8_t>(data, data + size), "/s/").Code();
    if (code < 0 || code > 121) __builtin_trap();
    return 0;
}
