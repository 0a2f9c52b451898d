// Feeds arbitrary bytes as a stand-alone elevation file (.elv) to the relief map, then reshapes
// what it accepted. Whatever the bytes: no crash, hang or out-of-bounds access; a refused file
// names its reason and leaves the map as it was; an accepted one exports to JPEG and reads back
// at its size, and every edit leaves a consistent raster (sizes, guard column and row, no stale
// JPEG form) that stores and reads back to the same samples.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mb3dmap/elv_map.h"
#include "platform/core/archive.h"

namespace {

std::vector<std::uint8_t> Store(const Mb3dMap::CCtrlElvMap& map) {
    rymd::ArchiveWriter ar;
    map.Serialize(ar);
    return ar.Take();
}

// The raster agrees with its sizes, the guards copy their neighbours, and storing and reading
// back gives the same samples.
void CheckMap(const Mb3dMap::CCtrlElvMap& map) {
    const int w = map.GetMapWidth(), h = map.GetMapHeight();
    if (static_cast<std::int64_t>(w) * h > Mb3dMap::kMaxElevationSamples) __builtin_trap();
    if (map.GetRasterWidth() != w + 1 || map.GetRasterHeight() != h + 1) __builtin_trap();
    if (map.GetCompressedDataSize() != 0) __builtin_trap();  // edits drop the kept JPEG form
    if (w <= 0 || h <= 0 || map.GetElevationData() == nullptr) __builtin_trap();
    for (int y = 0; y < h; ++y)
        if (map.GetElevation(w, y) != map.GetElevation(w - 1, y)) __builtin_trap();
    for (int x = 0; x <= w; ++x)
        if (map.GetElevation(x, h) != map.GetElevation(x, h - 1)) __builtin_trap();
    Mb3dMap::CCtrlElvMap back;
    const std::vector<std::uint8_t> bytes = Store(map);
    rymd::ArchiveReader ar(bytes);
    if (!back.Serialize(ar) || back.GetMapWidth() != w || back.GetMapHeight() != h) __builtin_trap();
    for (int y = 0; y <= h; ++y)
        for (int x = 0; x <= w; ++x)
            if (back.GetElevation(x, y) != map.GetElevation(x, y)) __builtin_trap();
}

// The file the inputs are written to.
const std::string& InputPath() {
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string p = std::string(dir && *dir ? dir : "/tmp") + "/fuzz_elevation_file_XXXXXX";
        const int fd = mkstemp(p.data());
        if (fd < 0) std::abort();
        close(fd);
        return p;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A map with content, so that a refused file has something to leave alone.
    static const Mb3dMap::CCtrlElvMap base = [] {
        Mb3dMap::CCtrlElvMap m;
        m.CreateNewMap(6, 3);
        for (int i = 0; i < 7 * 4; ++i)
            m.GetElevationData()[i] = static_cast<std::uint16_t>(i * 53 % 17);
        return m;
    }();
    static const std::vector<std::uint8_t> baseBytes = Store(base);

    std::FILE* f = std::fopen(InputPath().c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    Mb3dMap::CCtrlElvMap map = base;
    Mb3dMap::ElvLoadError error = Mb3dMap::ElvLoadError::kNone;
    if (!map.LoadElevationFile(InputPath(), &error)) {
        if (error == Mb3dMap::ElvLoadError::kNone || error == Mb3dMap::ElvLoadError::kCannotOpen ||
            *Mb3dMap::ElvLoadErrorMessage(error) == '\0' || Store(map) != baseBytes)
            __builtin_trap();
        return 0;
    }
    if (error != Mb3dMap::ElvLoadError::kNone) __builtin_trap();
    const int w = map.GetMapWidth(), h = map.GetMapHeight();
    if (static_cast<std::int64_t>(w) * h > (1 << 16) || w == 0 || h == 0) return 0;  // reading was the test

    // Exported as JPEG and read back: the same size.
    std::uint32_t mix = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        mix = (mix ^ data[i]) * 16777619u;
    rymd::ArchiveWriter jpeg;
    if (!map.Save3djFile(jpeg, static_cast<int>(mix % 101))) __builtin_trap();
    {
        Mb3dMap::CCtrlElvMap back;
        rymd::ArchiveReader ar(jpeg.Data());
        if (!back.Serialize(ar) || !ar.AtEnd() || back.GetMapWidth() != w || back.GetMapHeight() != h)
            __builtin_trap();
    }

    // Four quarter turns give the map back.
    {
        Mb3dMap::CCtrlElvMap turned = map;
        turned.DeleteCompressedData();
        const std::vector<std::uint8_t> before = Store(turned);
        for (int i = 0; i < 4; ++i)
            if (!turned.TransRotate(mix & 1 ? 90 : -90, true)) __builtin_trap();
        if (Store(turned) != before) __builtin_trap();
    }

    // A chain of edits with parameters drawn from the input (the first edit drops the kept JPEG
    // form; a refused one leaves it, so drop it here).
    map.DeleteCompressedData();
    auto next = [&mix](int range) {
        mix = mix * 1103515245u + 12345u;
        return static_cast<int>((mix >> 8) % static_cast<std::uint32_t>(range));
    };
    for (int step = 0; step < 4; ++step) {
        const int mw = map.GetMapWidth(), mh = map.GetMapHeight();
        const bool small = static_cast<std::int64_t>(mw) * mh <= 4096;
        switch (next(7)) {
            case 0:
                map.ClipArea(next(mw + 4) - 2, next(mh + 4) - 2, next(mw + 2) - 1, next(mh + 2) - 1);
                break;
            case 1: map.ChangeCanvasSize(next(130) - 1, next(130) - 1); break;
            case 2:
                map.TransSink(next(3000) - 1000, next(mw) - 1, next(mh) - 1, next(mw + 2), next(mh + 2),
                              next(2), true);
                break;
            case 3: map.TransSize(next(129) + (next(3) == 0 ? -1 : 0), next(129), true); break;
            case 4: map.TransRotate(next(1440) - 720, true); break;
            case 5:
                map.TransBarrel((next(200) - 100) / 100.0, (next(200) - 100) / 10.0, next(200) - 50, true);
                break;
            default:
                if (!small) break;
                if (next(4) == 0) {
                    // Now and then a sector at the ends of the numbers: radii that overflow or
                    // lie too far out to draw, which must be refused.
                    static constexpr double kAngles[] = {4.9e-324, 1e-300, 1e-6, 0.0001};
                    static constexpr double kInner[] = {99.999999, 99.99999999, 99.99999999999999, 0};
                    const double angle = kAngles[next(4)];
                    map.TransSector(angle, kInner[next(4)], true);
                } else {
                    map.TransSector(next(400) - 20, next(95), true);
                }
                break;
        }
        CheckMap(map);
    }
    return 0;
}
