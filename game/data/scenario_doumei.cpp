// Alliances at the start: the Doumei section.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: alliances are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadDoumei() {
    return SkipSection();
}

}  // namespace rymd
