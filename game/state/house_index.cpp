#include "game/state/house_index.h"

#include <algorithm>

#include "game/state/game_state.h"
#include "game/state/route.h"

namespace rymd {

void HouseIndex::Refresh(const GameState& gs) {
    const std::array<int, 6> stamp = {gs.nCurYear,    gs.nCurMonth,    gs.nPhase,
                                      ShiroCount(gs), BushouCount(gs), DaimyouCount(gs)};
    if (valid_ && stamp == stamp_) return;
    stamp_ = stamp;
    valid_ = true;
    const auto nDaimyou = static_cast<std::size_t>(DaimyouCount(gs));
    for (auto* lists : {&ownShiro_, &members_, &shiro_, &siege_, &bushou_, &kyakushou_}) {
        lists->resize(nDaimyou);
        for (auto& l : *lists)
            l.clear();
    }
    held_.clear();
    strength_.assign(nDaimyou, 0);
    eff_.resize(static_cast<std::size_t>(ShiroCount(gs)));
    for (int c : ShiroIndexes(gs)) {
        const CShiro& s = ShiroAt(gs, c);
        if (IsValidDaimyou(gs, s.daimyou)) ownShiro_[static_cast<std::size_t>(s.daimyou)].push_back(c);
        const int h = GetCountedDaimyouOfShiro(gs, c);
        eff_[static_cast<std::size_t>(c)] = h;
        if (IsValidDaimyou(gs, h)) shiro_[static_cast<std::size_t>(h)].push_back(c);
        const int b = GetCountedDaimyou(gs, s.besiegerDaimyou);
        if (s.nBesieger != 0 && b != h && IsValidDaimyou(gs, b))
            siege_[static_cast<std::size_t>(b)].push_back(c);
    }
    for (int g : BushouIndexes(gs)) {
        const CBushou& b = BushouAt(gs, g);
        if (IsValidDaimyou(gs, b.daimyou)) members_[static_cast<std::size_t>(b.daimyou)].push_back(g);
        if (b.status == CBushou::kStatusHoryo || b.status == CBushou::kStatusHitojichi) held_.push_back(g);
        // A captive or hostage serves no house while he is held: the house field decides.
        const int h = GetCountedDaimyou(gs, b.daimyou);
        if (IsValidDaimyou(gs, h)) {
            strength_[static_cast<std::size_t>(h)] += 3 * b.cavalry + b.foot;
            bushou_[static_cast<std::size_t>(h)].push_back(g);
        }
        if (b.status == CBushou::kStatusKyakushou && IsValidDaimyou(gs, b.daimyou)) {
            const int counted = GetCountedDaimyou(gs, b.daimyou);
            if (IsValidDaimyou(gs, counted)) kyakushou_[static_cast<std::size_t>(counted)].push_back(g);
        }
    }
}

void HouseIndex::AddFreedMembers(const GameState& gs) {
    if (!valid_) return;
    for (int g : held_) {
        if (!IsValidBushou(gs, g)) continue;
        const int d = BushouAt(gs, g).daimyou;
        if (!IsValidDaimyou(gs, d) || static_cast<std::size_t>(d) >= members_.size()) continue;
        std::vector<int>& list = members_[static_cast<std::size_t>(d)];
        const auto at = std::lower_bound(list.begin(), list.end(), g);
        if (at == list.end() || *at != g) list.insert(at, g);
    }
}

ShiroOwnerIndex::ShiroOwnerIndex(const GameState& gs)
    : lists_(static_cast<std::size_t>(std::max(0, DaimyouCount(gs)))) {
    for (int c : ShiroIndexes(gs)) {
        const int owner = ShiroAt(gs, c).daimyou;
        if (owner >= 0 && static_cast<std::size_t>(owner) < lists_.size())
            lists_[static_cast<std::size_t>(owner)].push_back(c);
    }
}

ShiroBushouIndex::ShiroBushouIndex(GameState& gs)
    : gs_(gs),
      count_(BushouCount(gs)),
      at_(static_cast<std::size_t>(ShiroCount(gs))),
      sorted_(at_.size(), 1) {
    for (int g : BushouIndexes(gs)) {
        const int c = BushouAt(gs, g).shiro;
        if (c >= 0 && static_cast<std::size_t>(c) < at_.size()) at_[static_cast<std::size_t>(c)].push_back(g);
    }
    gs_.shiroBushouWatch.set(this);
}

ShiroBushouIndex::~ShiroBushouIndex() {
    if (gs_.shiroBushouWatch.get() == this) gs_.shiroBushouWatch.set(nullptr);
}

bool ShiroBushouIndex::Current() const {
    return !stale_ && BushouCount(gs_) == count_;
}

const std::vector<int>& ShiroBushouIndex::At(int shiro) const {
    static const std::vector<int> kNone;
    if (shiro < 0 || static_cast<std::size_t>(shiro) >= at_.size()) return kNone;
    const auto c = static_cast<std::size_t>(shiro);
    if (!sorted_[c]) {
        // Moves were appended out of order: put the list in table order once.
        std::vector<int>& list = at_[c];
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
        sorted_[c] = 1;
    }
    return at_[c];
}

void ShiroBushouIndex::Moved(int bushou, int shiro) {
    if (shiro < 0 || static_cast<std::size_t>(shiro) >= at_.size()) return;
    const auto c = static_cast<std::size_t>(shiro);
    std::vector<int>& list = at_[c];
    if (!list.empty() && list.back() >= bushou) sorted_[c] = 0;
    list.push_back(bushou);
}

void ShiroOwnerIndex::Move(int shiro, int from, int to) {
    if (from == to) return;
    if (from >= 0 && static_cast<std::size_t>(from) < lists_.size()) {
        std::vector<int>& list = lists_[static_cast<std::size_t>(from)];
        const auto at = std::lower_bound(list.begin(), list.end(), shiro);
        if (at != list.end() && *at == shiro) list.erase(at);
    }
    if (to >= 0 && static_cast<std::size_t>(to) < lists_.size()) {
        std::vector<int>& list = lists_[static_cast<std::size_t>(to)];
        const auto at = std::lower_bound(list.begin(), list.end(), shiro);
        if (at == list.end() || *at != shiro) list.insert(at, shiro);
    }
}

}  // namespace rymd
