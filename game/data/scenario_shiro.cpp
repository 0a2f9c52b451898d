// Castles of a scenario: the ShiroType and Shiro sections.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: castle types and castles are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadShiroType() {
    return SkipSection();
}

// Not built yet: castle types and castles are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadShiro() {
    return SkipSection();
}

}  // namespace rymd
