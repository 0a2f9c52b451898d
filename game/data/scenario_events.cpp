// Scheduled events: Event, EventDetail and the weather sections.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: scheduled events are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadSnowKakuritsu() {
    return SkipSection();
}

// Not built yet: scheduled events are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadRainKakuritsu() {
    return SkipSection();
}

// Not built yet: scheduled events are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadEvent() {
    return SkipSection();
}

// Not built yet: scheduled events are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadEventDetail() {
    return SkipSection();
}

}  // namespace rymd
