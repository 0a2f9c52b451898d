// Saved form of the trade-partner table (the record's own forms are in scenario_records.h).
#pragma once

#include <span>

#include "game/state/scenario_records.h"

namespace rymd {

// Writes the first count partners in the current form. nDaimyou, nKuni and nShiro are the
// game's counts of houses, provinces and castles, which must be restored before the partners
// when the save is read.
void WriteTradingPartnerTable(ArchiveWriter& out, std::span<const CTradingPartner> table, int count,
                              int nDaimyou, int nKuni, int nShiro, TextEncoding enc);

// Reads count partners into the table: the current form, or the 4280-byte images of saves
// below version 110. A count outside 0..101 (or beyond the table) or any refused partner
// refuses the whole table: false, the reader marked failed and the table left as it was.
bool ReadTradingPartnerTable(ArchiveReader& in, std::span<CTradingPartner> table, int count, int saveVersion,
                             int nDaimyou, int nKuni, int nShiro, TextEncoding enc);

}  // namespace rymd
