#include "game/ai/cpu_jinji.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "game/diplomacy/horyo.h"
#include "game/military/placement.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/policy.h"
#include "game/state/route.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd {

const std::vector<int>& CCpuJinji::GeneralsToLookAt(int daimyou) {
    index_.Refresh(context_.gs);
    const std::vector<int>& counted = index_.BushouOf(daimyou);
    const std::vector<int>& held = index_.CaptivesAndHostages();
    look_.clear();
    std::set_union(counted.begin(), counted.end(), held.begin(), held.end(), std::back_inserter(look_));
    return look_;
}

void CCpuJinji::Run(int daimyou) {
    GameState& gs = context_.gs;
    if (!IsValidDaimyou(gs, daimyou)) return;
    // Employment moves no record and sets no general captive.
    index_.Refresh(gs);
    for (int g : index_.CaptivesAndHostages()) {
        const CBushou& b = BushouAt(gs, g);
        if (b.status != CBushou::kStatusHoryo || b.holderDaimyou != daimyou) continue;
        if (!CanEmployHoryo(gs, g) || !EmployHoryo(gs, context_.ports, g)) continue;
        const CBushou& now = BushouAt(gs, g);
        PolicyOf(gs).Inform(context_.ports, MessageKind::PersonnelPlannerMessage,
                            now.name + "は" + DaimyouAt(gs, daimyou).name + "の家臣になりました");
    }
    RunHitojichi(daimyou);
}

void CCpuJinji::RunHitojichi(int daimyou) {
    GameState& gs = context_.gs;
    const Ports& ports = context_.ports;
    if (BushouCount(gs) == 0 || !IsValidDaimyou(gs, daimyou)) return;

    // 1. Free places in the house's castles.
    const std::vector<int>& generals = GeneralsToLookAt(daimyou);
    int freePlaces = 0;
    for (int c : index_.ShiroOf(daimyou))
        if (GetCountedDaimyouOfShiro(gs, c) == daimyou)
            freePlaces += CShiro::kMaxBushou - ShiroAt(gs, c).nBushou;

    // 2. The house's mean valour and intellect.
    double valour = 0.0;
    double intellect = 0.0;
    int members = 0;
    for (int g : generals) {
        const CBushou& b = BushouAt(gs, g);
        if (b.daimyou < 0 || GetCountedDaimyou(gs, b.daimyou) != daimyou) continue;
        valour += b.buyuu;
        intellect += b.chibou;
        ++members;
    }
    if (members > 0) {
        valour /= members;
        intellect /= members;
    }
    auto better = [&](const CBushou& b) { return b.buyuu > valour || b.chibou > intellect; };
    auto underHouse = [&](int v, bool subordinateToo) {
        if (!IsValidDaimyou(gs, v) || v == daimyou) return false;
        const CDaimyou& h = DaimyouAt(gs, v);
        const bool bound =
            h.bond == CDaimyou::kBondShinjuu || (subordinateToo && h.bond == CDaimyou::kBondJuuzoku);
        return bound && h.masterDaimyou == daimyou;
    };

    // 3. Candidates with the house they come from.
    struct Candidate {
        int bushou;
        int house;
        int key;
    };
    std::vector<Candidate> candidates;
    for (int g : generals) {
        const CBushou& b = BushouAt(gs, g);
        const int key = b.buyuu + 2 * b.chibou;
        if (underHouse(b.daimyou, false) && DaimyouAt(gs, b.daimyou).toushu != g && better(b)) {
            candidates.push_back({g, b.daimyou, key});
        } else if (b.status == CBushou::kStatusHitojichi && b.holderDaimyou == daimyou &&
                   gs.nCurYear - b.birthYear >= 15 && underHouse(b.originDaimyou, true) && better(b)) {
            candidates.push_back({g, b.originDaimyou, key});
        }
    }
    if (candidates.empty()) return;

    // 4. By house, largest index first; within a house, largest key first.
    std::stable_sort(candidates.begin(), candidates.end(), [](const Candidate& x, const Candidate& y) {
        return x.house != y.house ? x.house > y.house : x.key > y.key;
    });
    const ScenarioWordArray& words = gs.ScenarioWords;
    for (std::size_t start = 0; start < candidates.size();) {
        std::size_t end = start;
        while (end < candidates.size() && candidates[end].house == candidates[start].house)
            ++end;
        // 5. Served only when every candidate shares the top key and none is a guest already.
        std::size_t walk = start;
        while (walk < end && candidates[walk].key == candidates[start].key &&
               BushouAt(gs, candidates[walk].bushou).status != CBushou::kStatusKyakushou)
            ++walk;
        const Candidate top = candidates[start];
        start = end;
        if (walk != end) continue;

        // 6. The top candidate becomes a guest general.
        CBushou& b = BushouAt(gs, top.bushou);
        if (b.status == CBushou::kStatusKashin) {
            if (b.daimyou == gs.nPlayerDaimyou)
                PolicyOf(gs).Inform(
                    ports, MessageKind::GuestGeneralMessage,
                    FormatWithWords(words, {ReplaceWordBushou}, "当家の %s が %s に客将として招かれました",
                                    b.name.c_str(), DaimyouAt(gs, daimyou).name.c_str()));
            AppointKyakushou(gs, top.bushou);
        } else if (b.status == CBushou::kStatusHitojichi && freePlaces > 0) {
            b.daimyou = b.originDaimyou;
            b.cavalry = 0;
            b.foot = 0;
            b.muskets = 0;
            if (b.daimyou == gs.nPlayerDaimyou)
                PolicyOf(gs).Inform(
                    ports, MessageKind::GuestGeneralMessage,
                    FormatWithWords(words, {ReplaceWordGenpuku},
                                    "当家から人質に出していた %s が %s で元服し、客将に取立てられました",
                                    b.name.c_str(),
                                    DaimyouAt(gs, GetCountedDaimyou(gs, b.daimyou)).name.c_str()));
            AppointKyakushou(gs, top.bushou);
            --freePlaces;
        }
    }
}

}  // namespace rymd
