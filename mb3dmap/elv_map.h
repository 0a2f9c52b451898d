// Relief map: the elevation samples under the province map.
#pragma once

#include <cstdint>
#include <vector>

namespace Mb3dMap {

class CCtrlElvMap {
public:
    // Flattens the relief: every non-zero sample becomes 1, zero stays 0; the compressed
    // elevation data is dropped.
    void EraseLandTopography();

    // Elevation samples, row by row (the full relief machinery arrives with the relief library).
    std::vector<std::uint16_t> elevation;
    std::vector<std::uint8_t> compressed;
};

}  // namespace Mb3dMap
