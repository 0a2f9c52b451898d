// Helpers of the relief map tests: stream building, rasters and views.
#pragma once

#include <cstdint>
#include <vector>

#include "mb3dmap/elv_map.h"
#include "platform/core/archive.h"
#include "platform/core/random.h"

namespace rymd::test {

using Bytes = std::vector<std::uint8_t>;

// Head of an elevation stream.
inline Bytes ElvHead(std::uint16_t coding, std::int16_t w, std::int16_t h) {
    ArchiveWriter ar;
    ar.WriteU16(coding);
    ar.WriteI16(w);
    ar.WriteI16(h);
    return ar.Take();
}

// A coding-1 or coding-2 stream with the given code bytes.
inline Bytes ElvCodeStream(std::uint16_t coding, std::int16_t w, std::int16_t h, const Bytes& code) {
    ArchiveWriter ar;
    ar.WriteU16(coding);
    ar.WriteI16(w);
    ar.WriteI16(h);
    ar.WriteU32(static_cast<std::uint32_t>(code.size()));
    ar.WriteBytes(code.data(), code.size());
    return ar.Take();
}

inline Bytes Store(const Mb3dMap::CCtrlElvMap& map) {
    ArchiveWriter ar;
    map.Serialize(ar);
    return ar.Take();
}

inline bool Load(Mb3dMap::CCtrlElvMap& map, const Bytes& bytes, Mb3dMap::ElvLoadError* error = nullptr) {
    ArchiveReader ar(bytes);
    return map.Serialize(ar, error);
}

// The map's W x H samples without the guard column and row.
inline std::vector<std::uint16_t> Samples(const Mb3dMap::CCtrlElvMap& map) {
    std::vector<std::uint16_t> out;
    for (int y = 0; y < map.GetMapHeight(); ++y)
        for (int x = 0; x < map.GetMapWidth(); ++x)
            out.push_back(static_cast<std::uint16_t>(map.GetElevation(x, y)));
    return out;
}

// A random raster of land hills and sea runs (0), row by row.
inline std::vector<std::uint16_t> RandomRaster(Random& rnd, int w, int h) {
    std::vector<std::uint16_t> v(static_cast<std::size_t>(w) * h);
    std::uint16_t cur = 0;
    for (auto& s : v) {
        const int r = rnd.Below(100);
        if (r < 15) {
            cur = 0;  // sea starts
        } else if (r < 25) {
            cur = static_cast<std::uint16_t>(rnd.Below(65535) + 1);  // a jump
        } else if (r < 70 && cur != 0) {
            cur = static_cast<std::uint16_t>(std::max(1, std::min(65535, cur + rnd.Below(253) - 126)));
        } else if (r < 80 && cur == 0) {
            cur = static_cast<std::uint16_t>(rnd.Below(300) + 1);  // land starts
        }
        s = cur;
    }
    return v;
}

// A map whose samples are the given W x H values (guard column and row filled).
inline void SetSamples(Mb3dMap::CCtrlElvMap& map, int w, int h, const std::vector<std::uint16_t>& v) {
    map.CreateNewMap(w, h);
    std::uint16_t* r = map.GetElevationData();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            r[y * (w + 1) + x] = v[static_cast<std::size_t>(y) * w + x];
    map.FillGapOfElevationData();
    map.ElevationDataModified();
}

// A map of w x h samples shown at one pixel per sample (the view used by the drawing tests).
inline void MakeView(Mb3dMap::CCtrlElvMap& map, int w, int h) {
    map.CreateNewMap(w, h);
    map.StretchElevationData(0, 0, w, h, w, h);
}

}  // namespace rymd::test
