// Roads between castles: the ShiroConnect section.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: castle connections are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadShiroConnect() {
    return SkipSection();
}

}  // namespace rymd
