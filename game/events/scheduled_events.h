// Scheduled events: the scenario's seasonal happenings (floods, droughts, epidemics, good
// harvests, heavy snow and heavy rain, ...), records CEventRecord of the event table.
//
// Once a month, in the event phase of the month start, every event whose date window holds the
// current date draws province by province (or region by region) whether it strikes. The chance
// of a place is this month's entry of the event's table, x100 (0 never, 10000 certain; larger
// values count as certain). The correlation (percent, 0..100; larger counts as 100) weighs one
// common draw of the event into each place's own draw, so that a correlation of 100 strikes
// the places in order of their chances. An earlier event of the month bears on a later one by
// the earlier event's relation to it: 1 the later one does not happen when the earlier struck
// anywhere, 2 it cannot strike where the earlier struck, 3 it can strike only there.
//
// When an event strikes anywhere, the player sees it (the port's scheduled-event dialog; not
// during the automatic advance), and then its effects change the castles and generals of the
// struck provinces, each change by its own random factor mean ± spread (the fields are x10000;
// the castle size's fields, when both are below 10000 in magnitude, count levels x100). Every
// value stays inside its range: rice yield, economy and mine 0 .. the castle's maximum, harvest
// rate 0..10000, support 0..1000, castle size 1 .. its maximum, garrison and provisions 0 ..
// the limits of the castle's size, foot soldiers and cavalry 0 .. 5000 and 2000 soldiers.
//
// Every draw goes through gs.rng, in this order: for each event the common draw, then one draw
// per place drawn (excluded provinces draw nothing), then the factors of the changes, effect by
// effect, province by province, castle by castle (generals by table order, foot then cavalry).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/ports/ports.h"
#include "game/state/game_context.h"

namespace rymd {

class SuppressionPolicy;
struct CEventRecord;

// Which provinces each scheduled event struck in the current monthly pass: one row per event of
// the table, one mark per province. Later events of the month read the rows of earlier ones.
class EventMarks {
public:
    EventMarks();
    void Clear();
    bool Struck(int event, int kuni) const;
    bool StruckAny(int event) const;
    void Mark(int event, int kuni);
    // The struck provinces of the event, in province order.
    std::vector<int> StruckProvinces(int event) const;

private:
    static bool Inside(int event, int kuni);
    std::vector<std::uint8_t> marks_;
};

// Whether the date lies inside a date window. A side whose month is negative (bit 7 set) is
// open and its year is not looked at either.
bool InDateWindow(int year, int month, int firstYear, int firstMonth, int lastYear, int lastMonth);

// The monthly pass: clears the marks and runs every event whose window holds the current date.
void RunScheduledEvents(GameContext ctx, const SuppressionPolicy& policy);

// Runs one event against the marks of the pass (a fresh, clear table when the event is fired
// by itself). True when it struck any province. An index outside the table does nothing.
bool RunScheduledEvent(GameContext ctx, const SuppressionPolicy& policy, int event, EventMarks& marks);

// Applies one effect entry of the event to the struck provinces (in province order).
void ApplyScheduledEffect(GameContext ctx, const CEventRecord& event, int entry,
                          const std::vector<int>& provinces);

// What the dialog shows for an event that struck the provinces.
ScheduledEventReport MakeScheduledEventReport(const GameContext& ctx, int event,
                                              const std::vector<int>& provinces);

// One effect entry as the dialog writes it, e.g. "石高 -20%（±10%）", "城規模 -1（±0）".
std::string DescribeScheduledEffect(const CEventRecord& event, int entry);

}  // namespace rymd
