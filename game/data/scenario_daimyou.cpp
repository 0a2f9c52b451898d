// Houses of a scenario: the Daimyou section.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: the houses' records are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadDaimyou() {
    return SkipSection();
}

}  // namespace rymd
