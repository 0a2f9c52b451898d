// The bundled map of Japan for the dialogs that draw the country, and where a province lies in
// the picture such a dialog draws.
#pragma once

#include <string>

#include "gui_test_util.h"
#include "mbkormap/kor_map.h"

namespace rymd::gui_test {

// The bundled map of Japan, loaded once as the game loads it.
inline MbKorMap::CCtrlKorMap& JapanMap() {
    static MbKorMap::CCtrlKorMap map;
    static const bool loaded = [] {
        const std::string path = std::string(RYMD_SOURCE_DIR) + "/data/default.smp";
        if (map.LoadKorMap(path.c_str()) != 0) return false;
        map.ElvMap().EraseLandTopography();
        map.TextureSetup();
        map.SetSeason(0);
        return true;
    }();
    EXPECT_TRUE(loaded);
    return map;
}

// A pixel of the map picture well inside the province (its 3 x 3 neighbourhood all of it), the
// first in row order; (-1, -1) when none. Picture pixels map to relief samples by the scale the
// last drawing set.
inline Point PixelInsideKuni(MbKorMap::CCtrlKorMap& map, int kuni, int width, int height) {
    auto at = [&](int x, int y) {
        return map.DetectKuni(
            MbBmp::POINT{static_cast<int>(x / map.GetScaleX()), static_cast<int>(y / map.GetScaleY())});
    };
    for (int y = 2; y < height - 2; ++y)
        for (int x = 2; x < width - 2; ++x) {
            bool inside = true;
            for (int dy = -1; dy <= 1 && inside; ++dy)
                for (int dx = -1; dx <= 1 && inside; ++dx)
                    inside = at(x + dx, y + dy) == kuni;
            if (inside) return Point(x, y);
        }
    return Point(-1, -1);
}

}  // namespace rymd::gui_test
