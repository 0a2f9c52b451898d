#include "mb3dmap/elv_map.h"

namespace Mb3dMap {

void CCtrlElvMap::EraseLandTopography() {
    for (auto& v : elevation)
        v = v != 0 ? 1 : 0;
    compressed.clear();
    compressed.shrink_to_fit();
}

}  // namespace Mb3dMap
