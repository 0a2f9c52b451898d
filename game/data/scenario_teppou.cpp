// Muskets: the musket keywords and sections.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: the musket values are kept with the musket rules; the line is read through.
int CScenarioReader::ReadTeppouCost() {
    return SkipRestOfLine();
}

// Not built yet: the musket values are kept with the musket rules; the line is read through.
int CScenarioReader::ReadTeppouSoubiRitsu() {
    return SkipRestOfLine();
}

// Not built yet: the musket values are kept with the musket rules; the line is read through.
int CScenarioReader::ReadTeppouKouka() {
    return SkipRestOfLine();
}

// Not built yet: musket places and production are kept with the rules that use them; the section is read
// through.
int CScenarioReader::ReadTeppouSeisan() {
    return SkipSection();
}

// Not built yet: musket places and production are kept with the rules that use them; the section is read
// through.
int CScenarioReader::ReadTeppouKounyuu() {
    return SkipSection();
}

// Not built yet: musket places and production are kept with the rules that use them; the section is read
// through.
int CScenarioReader::ReadTeppouKounyuuMonth() {
    return SkipSection();
}

}  // namespace rymd
