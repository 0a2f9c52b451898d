// The computer's domestic planner: trade voyages, mine development, free markets, land
// reclamation, trade ships and warships, and muskets for a house as a whole; for a computer
// house, and for the player's corps whose orders include domestic work. Its money tests look
// ahead with the unit's projected monthly balance: a work is started only when it repays itself
// within two years and the projected funds never fall below 0 before it does.
#pragma once

#include <array>
#include <cstdint>

#include "game/ai/plan_unit.h"
#include "game/state/game_context.h"

namespace rymd {

class BestSeijiTable;
class CMonthlyIncome;

class CCpuNaisei {
public:
    static constexpr int kProjectionMonths = 24;

    explicit CCpuNaisei(GameContext context);
    virtual ~CCpuNaisei();
    CCpuNaisei(const CCpuNaisei&) = delete;
    CCpuNaisei& operator=(const CCpuNaisei&) = delete;

    // The domestic phase of a computer house: each of its corps, then its directly held part.
    void PlanDaimyou(int daimyou);
    // The domestic phase of one unit of a house: a corps, or -1 for the directly held part. A
    // corps whose orders lack domestic work is left alone.
    void PlanGundan(int daimyou, int gundan);

    // The passes of PlanGundan, in its order (the balance projection must be filled first).
    void SendKouekisen(int daimyou, int gundan);
    void DoKouzanKaihatsu(int daimyou, int gundan);
    void DoRakuichi(int daimyou, int gundan);
    void DoKaikon(int daimyou, int gundan);
    void BuildShips(int daimyou, int gundan);
    void BuyTeppou(int daimyou);

    // The projected balance of the unit last planned, one entry a coming month.
    const std::array<std::int32_t, kProjectionMonths>& Projection() const { return projection_; }

private:
    enum class Work { kKouzan, kRakuichi, kKaikon };
    void SendKouekisen(PlanUnit& unit);
    void DoWork(Work work, PlanUnit& unit, const BestSeijiTable& seiji);
    void BuildShips(PlanUnit& unit);
    void BuildGunsen(int daimyou);
    GameContext context_;
    std::array<std::int32_t, kProjectionMonths> projection_{};
    // The projection calculator reads which castles and generals each house has, which cannot
    // change within a phase: one serves every house of the phase.
    PhaseCache<CMonthlyIncome, GameState> income_;
    // Who holds what, taken once for the whole phase.
    const HouseIndex& Index() {
        index_.Refresh(context_.gs);
        return index_;
    }
    HouseIndex index_;
};

}  // namespace rymd
