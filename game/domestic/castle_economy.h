// How a castle grows when it is developed and shrinks when its house conscripts, and the castle's
// ten order slots in which trade voyages are booked. The player's commands and the computer
// planners share these functions; the planners call the development formulas in estimate mode
// to rank castles.
//
// Development draws on the best politician of the castle's owner in the castle's province: the
// greatest politics p among the generals of the owner house who are not besieging and whose own
// castle lies in that province (0 when there is none). Every formula starts from p + 10. Each
// formula comes in two forms: one that finds p itself (a scan of the general table), and one
// that takes p from a BestSeijiTable built once for the house, for callers that rank many
// castles.
//
// A (house, corps) pair names one purse: corps -1 is the house's direct domain (castles whose
// corps field is -1, paid from the house's funds), any other corps its own castles and funds.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace rymd {

struct GameState;
class HouseIndex;  // the phase's house index: the purse functions walk its lists when given one

// Months returned by an estimate when the development would bring nothing.
inline constexpr int kNeverRepaid = 10000;

// The best politics of one house per province, read once from the general table.
class BestSeijiTable {
public:
    BestSeijiTable(const GameState& gs, int daimyou);
    // From a list of generals already known to be the house's (those whose house field is it).
    BestSeijiTable(const GameState& gs, int daimyou, std::span<const int> bushou);
    // p of the province (0 for a province outside the map or without such a general).
    int At(int kuni) const;
    // p for a castle: that of its province.
    int ForShiro(const GameState& gs, int shiro) const;

private:
    void Add(const GameState& gs, int daimyou, int bushou);
    std::array<std::uint8_t, 256> best_{};
};

// Limits of one general's troops in soldier units: 5000 foot soldiers and 2000 cavalry.
int BushouFootLimit(const GameState& gs);
int BushouCavalryLimit(const GameState& gs);

// p for one castle, from a scan of the general table (the castle's owner; 0 without owner).
int FindBestSeiji(const GameState& gs, int shiro);

// Land reclamation: gain (p + 10) x 80 koku (x 0.9..1.1 unless estimating); the new rice yield,
// at most the geography's maximum (also when the yield already stood above it). Applying stores
// it and raises the populace support by gain / 30 x (1500 - support) / 1500 x 0.8..1.2, rounded,
// kept within 0..1000. Estimating changes nothing and draws nothing.
int CalcKaikonKouka(GameState& gs, int shiro, bool estimate);
int CalcKaikonKouka(GameState& gs, int shiro, bool estimate, int seiji);
// Free market: gain p + 10 (x 0.9..1.1 unless estimating); the new town economy, at most the
// maximum. Applying raises the support by gain / 5 x (1500 - support) / 1500 x 0.8..1.2.
int CalcRakuichiKouka(GameState& gs, int shiro, bool estimate);
int CalcRakuichiKouka(GameState& gs, int shiro, bool estimate, int seiji);
// Mine development: gain (p + 10) x 1.5 (x 0.8..1.2 unless estimating); the new mine level, at
// most the maximum. The support does not move.
int CalcKouzanKaihatsuKouka(GameState& gs, int shiro, bool estimate);
int CalcKouzanKaihatsuKouka(GameState& gs, int shiro, bool estimate, int seiji);

// Months until the development repays itself; kNeverRepaid when it brings nothing.
// Reclamation repays 500 over harvests: months to the coming September (1..12) + 12 for each
// further harvest needed. A free market repays 50, a mine 100 at the owner's mining technology
// (per mille; a house without mining technology never repays a mine).
int EstimateKaikonMonths(const GameState& gs, int shiro);
int EstimateKaikonMonths(const GameState& gs, int shiro, int seiji);
int EstimateRakuichiMonths(const GameState& gs, int shiro);
int EstimateRakuichiMonths(const GameState& gs, int shiro, int seiji);
int EstimateKouzanKaihatsuMonths(const GameState& gs, int shiro);
int EstimateKouzanKaihatsuMonths(const GameState& gs, int shiro, int seiji);

// Conscription allowances of a purse, in soldier units: over its castles, cavalry = rounded sum
// of rice yield / 1000 / nHeiUnit x support / 1000, foot = the same with / 100.
void CalcChouheiLimits(const GameState& gs, int daimyou, int gundan, int& cavalry, int& foot,
                       const HouseIndex* index = nullptr);

// Charges soldiers raised (units) to the rice yield of the purse's castles: one koku a soldier,
// spread evenly in table order from the castles' phase-start snapshot; what one castle cannot
// pay passes to the castles after it. Because every call starts from the snapshot, raising the
// same running total twice in one phase charges it once.
void ReduceKokudakaByChouhei(GameState& gs, int daimyou, int gundan, int units,
                             const HouseIndex* index = nullptr);
// Charges soldiers raised to the populace support of the purse's castles: each castle's support
// becomes its snapshot's support less (3 x cavalry + foot) x nHeiUnit x 1000 / the purse's rice
// yield (taken after ReduceKokudakaByChouhei), rounded, never below 0. A castle without rice
// yield keeps its snapshot's support.
void ReduceMinshuuByChouhei(GameState& gs, int daimyou, int gundan, int cavalry, int foot,
                            const HouseIndex* index = nullptr);

// Ships on voyages booked at the castle (the ships of its occupied order slots).
int CountShipsAtSea(const GameState& gs, int shiro);
// Cost of one ship's voyage to the partner: 100 for the sea training (partner 0), else 1000.
int KouekisenVoyageCost(int partner);
// Books a voyage of ships to the partner in the castle's first free order slot, with the months
// the partner's record gives for the castle's province, and pays ships x the voyage cost from the
// purse (funds may go below 0: callers check first). False, and nothing paid, when every slot
// is taken, the castle has fewer ships waiting in port, or the castle, partner or purse does not
// exist.
bool DispatchKouekisen(GameState& gs, int daimyou, int gundan, int shiro, int partner, int ships);

}  // namespace rymd
