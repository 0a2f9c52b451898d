// Conditional events: the ConditionalEvent section.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: conditional events are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadConditionalEvent() {
    return SkipSection();
}

}  // namespace rymd
