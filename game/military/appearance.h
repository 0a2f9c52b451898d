// Generals coming on stage: a general waiting in the table of generals not yet appeared is
// copied into the general table as a retainer of his house (or of whoever holds his place of
// appearance when he serves nobody yet) and placed in a castle of that side.
#pragma once

#include <string>

namespace rymd {

struct GameState;
struct CBushou;

// Brings the general at index of the off-stage table on stage. Lines for the report are
// appended to text when it is given. True when he came on stage (his off-stage entry is then
// gone and the later entries have moved down by one).
bool AppearBushou(GameState& gs, int index, std::string* text);

// Brings an off-stage general's record on stage; his off-stage entry is left to the caller.
// True when he came on stage.
bool AppearOnStage(GameState& gs, const CBushou& record, std::string* text);

// Copies an off-stage general into the next slot of the general table as a retainer of the
// house, without a castle yet; returns his index (the table must have room).
int CopyOnStage(GameState& gs, const CBushou& record, int daimyou);

// Undoes CopyOnStage when the new general could not be placed.
void DropLastBushou(GameState& gs);

}  // namespace rymd
