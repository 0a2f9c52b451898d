// Feeds arbitrary bytes to the elevation stream reader of the relief map. Whatever the bytes:
// no crash, hang or out-of-bounds access; a refused stream names its reason, fails the reader and
// leaves the map as it was; an accepted one stores and loads back to the same samples and can be
// drawn.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mb3dmap/elv_map.h"
#include "platform/core/archive.h"

namespace {

std::vector<std::uint8_t> Store(const Mb3dMap::CCtrlElvMap& map) {
    rymd::ArchiveWriter ar;
    map.Serialize(ar);
    return ar.Take();
}

bool SameSamples(const Mb3dMap::CCtrlElvMap& a, const Mb3dMap::CCtrlElvMap& b) {
    if (a.GetMapWidth() != b.GetMapWidth() || a.GetMapHeight() != b.GetMapHeight()) return false;
    for (int y = 0; y <= a.GetMapHeight(); ++y)
        for (int x = 0; x <= a.GetMapWidth(); ++x)
            if (a.GetElevation(x, y) != b.GetElevation(x, y)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A map with content, so that a refused stream has something to leave alone.
    static Mb3dMap::CCtrlElvMap base = [] {
        Mb3dMap::CCtrlElvMap m;
        m.CreateNewMap(5, 4);
        for (int i = 0; i < 6 * 5; ++i)
            m.GetElevationData()[i] = static_cast<std::uint16_t>(i * 37 % 11);
        return m;
    }();
    static const std::vector<std::uint8_t> baseBytes = Store(base);

    Mb3dMap::CCtrlElvMap map = base;
    rymd::ArchiveReader ar(data, size);
    Mb3dMap::ElvLoadError error = Mb3dMap::ElvLoadError::kNone;
    if (!map.Serialize(ar, &error)) {
        if (error == Mb3dMap::ElvLoadError::kNone || ar.Ok() || Store(map) != baseBytes) __builtin_trap();
        return 0;
    }
    if (error != Mb3dMap::ElvLoadError::kNone) __builtin_trap();
    const std::int64_t samples = static_cast<std::int64_t>(map.GetMapWidth()) * map.GetMapHeight();
    if (samples > Mb3dMap::kMaxElevationSamples) __builtin_trap();
    if (samples > (1 << 20)) return 0;  // large maps: reading them was the test

    // Stored again (coding 2, or the kept JPEG) and read back: the same samples.
    map.SetSaveType(static_cast<int>(size & 1));
    const std::vector<std::uint8_t> bytes = Store(map);
    Mb3dMap::CCtrlElvMap back;
    rymd::ArchiveReader again(bytes);
    if (!back.Serialize(again) || !again.AtEnd() || !SameSamples(map, back)) __builtin_trap();

    // The decoded relief can be drawn, magnified and reduced.
    if (samples > 0) {
        const int w = map.GetMapWidth(), h = map.GetMapHeight();
        for (int zoom : {3, 1}) {
            map.StretchElevationData(0, 0, w < 40 ? w : 40, h < 30 ? h : 30, 40 * zoom / 2 + 1,
                                     30 * zoom / 2 + 1);
            map.FillSeaColorOnBitmapBuffer();
            const Mb3dMap::POINT outline[4] = {{-3, -2}, {70, 5}, {30, 50}, {2, 20}};
            map.DrawPolygonOnBitmapBuffer(outline, 4, zoom, true, true, 0x336699, false);
        }
    }
    return 0;
}
