// Trade partners: the trading sections.
#include "game/data/scenario_reader.h"

namespace rymd {

// Not built yet: trade partners are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadTrading() {
    return SkipSection();
}

// Not built yet: trade partners are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadTradingPartner() {
    return SkipSection();
}

// Not built yet: trade partners are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadTradingMonth() {
    return SkipSection();
}

// Not built yet: trade partners are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadTradingKuni() {
    return SkipSection();
}

// Not built yet: trade partners are kept with the rules that use them; the section is read through.
int CScenarioReader::ReadTradingPort() {
    return SkipSection();
}

}  // namespace rymd
