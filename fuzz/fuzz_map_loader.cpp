// Feeds arbitrary bytes to the province map loader. Whatever the bytes: no crash, hang or
// out-of-bounds access; a refused map fails the reader, names its reason and leaves the map
// exactly as it was; an accepted one stores and loads back to the same bytes, and can be drawn,
// painted and hit-tested.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mbkormap/kor_map.h"
#include "platform/core/archive.h"

namespace {

std::vector<std::uint8_t> Store(const MbKorMap::CCtrlKorMap& map) {
    rymd::ArchiveWriter ar;
    map.Serialize(ar);
    return ar.Take();
}

// The map every input starts from: three provinces, one polygon each, a line, one texture set.
std::vector<std::uint8_t> BaseMap() {
    MbKorMap::KorMapData d;
    d.elvMap.CreateNewMap(12, 9);
    for (int i = 0; i < 13 * 10; ++i)
        d.elvMap.GetElevationData()[i] = static_cast<std::uint16_t>(i % 7);
    d.textureSets.resize(1);
    d.textureSets[0].first[0].CreateBitmap(2, 2, 24);
    d.textureSets[0].first[0].FillRect(0, 0, 2, 2, 0x336699);
    for (int k = 0; k < 3; ++k) {
        MbKorMap::KuniRecord r;
        r.id = "K" + std::to_string(k);
        d.kuni.push_back(r);
        const int x = k * 4 * 128;
        d.nodes.push_back({x, 0});
        d.lines.push_back({static_cast<std::int16_t>(k), static_cast<std::int16_t>(k),
                           static_cast<std::int32_t>(d.linePoints.size()), 0});
        d.linePoints.insert(d.linePoints.end(), {{x + 500, 0}, {x + 500, 1100}, {x, 1100}, {-1, -1}});
        d.polygons.push_back({static_cast<std::int16_t>(d.polygonLineList.size()),
                              static_cast<std::uint8_t>(k == 1 ? 0x80 : k), 0, static_cast<std::int16_t>(k)});
        d.polygonLineList.insert(d.polygonLineList.end(), {k, -1});
    }
    rymd::ArchiveWriter ar;
    MbKorMap::WriteKorMap(ar, d);
    return ar.Take();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<std::uint8_t> baseBytes = BaseMap();
    static MbKorMap::CCtrlKorMap map;
    static bool dirty = true;
    if (dirty) {
        rymd::ArchiveReader base(baseBytes);
        if (!map.Serialize(base)) __builtin_trap();
        dirty = false;
    }

    rymd::ArchiveReader ar(data, size);
    if (!map.Serialize(ar)) {
        if (ar.Ok() || map.LastLoadError() == MbKorMap::MapLoadError::kNone || Store(map) != baseBytes)
            __builtin_trap();
        return 0;
    }
    dirty = true;
    if (map.LastLoadError() != MbKorMap::MapLoadError::kNone) __builtin_trap();
    std::string why;
    if (!MbKorMap::CheckKorMapData(map.Data(), &why)) __builtin_trap();

    // Stored and read back: the same bytes again.
    const std::vector<std::uint8_t> bytes = Store(map);
    MbKorMap::CCtrlKorMap back;
    rymd::ArchiveReader again(bytes);
    if (!back.Serialize(again) || Store(back) != bytes) __builtin_trap();

    // Drawn whole and magnified, painted, hit-tested.
    const int w = map.GetMapWidth(), h = map.GetMapHeight();
    if (static_cast<std::int64_t>(w) * h > (1 << 20)) return 0;  // large maps: reading them was the test
    map.ElvMap().EraseLandTopography();
    map.TextureSetup();
    map.DrawMap(0, 0, w, h, 64, 48);
    map.DrawMap(w / 3, h / 3, w / 3 + 1, h / 3 + 1, 70, 50);
    for (int k = -1; k < 3 && k < map.KuniCount(); ++k)
        map.PaintKuni(k, 0x00FF00, true, k & 3, k & 1);
    for (int y = -1; y <= h; y += 1 + h / 7)
        for (int x = -1; x <= w; x += 1 + w / 7) {
            const int kuni = map.DetectKuni({x, y});
            if (kuni < -1 || kuni >= map.KuniCount()) __builtin_trap();
        }
    return 0;
}
