// Generals of a scenario: the Bushou section.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: the generals' records are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadBushou() {
    return SkipSection();
}

}  // namespace rymd
