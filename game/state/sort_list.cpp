#include "game/state/sort_list.h"

#include <utility>

#include "game/ports/ports.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/records.h"
#include "platform/core/clock.h"
#include "platform/core/random.h"

namespace rymd {

// ---------------------------------------------------------------------------------------------
// CSortList

CSortList::CSortList(int capacity, InformPort* inform) {
    if (capacity > kMaxCapacity) {
        if (inform != nullptr) {
            inform->Inform(kMessageTooLarge);
        }
        capacityValid_ = false;
        capacity = 0;
    } else if (capacity < 0) {
        if (inform != nullptr) {
            inform->Inform(kMessageNegative);
        }
        capacityValid_ = false;
        capacity = 0;
    }
    ids_.assign(static_cast<std::size_t>(capacity), 0);
    keys_.assign(static_cast<std::size_t>(capacity), 0);
    count_ = capacity;
}

void CSortList::SetCount(int count) {
    if (count < 0) {
        count = 0;
    }
    if (count > Capacity()) {
        count = Capacity();
    }
    count_ = count;
}

std::int32_t CSortList::Id(int pos) const {
    return (pos >= 0 && pos < Capacity()) ? ids_[static_cast<std::size_t>(pos)] : 0;
}

std::int32_t CSortList::Key(int pos) const {
    return (pos >= 0 && pos < Capacity()) ? keys_[static_cast<std::size_t>(pos)] : 0;
}

void CSortList::SetId(int pos, std::int32_t id) {
    if (pos >= 0 && pos < Capacity()) {
        ids_[static_cast<std::size_t>(pos)] = id;
    }
}

void CSortList::SetKey(int pos, std::int32_t key) {
    if (pos >= 0 && pos < Capacity()) {
        keys_[static_cast<std::size_t>(pos)] = key;
    }
}

void CSortList::Set(int pos, std::int32_t id, std::int32_t key) {
    SetId(pos, id);
    SetKey(pos, key);
}

bool CSortList::Append(std::int32_t id, std::int32_t key) {
    if (count_ >= Capacity()) {
        return false;
    }
    ids_[static_cast<std::size_t>(count_)] = id;
    keys_[static_cast<std::size_t>(count_)] = key;
    ++count_;
    return true;
}

// The plain exchange sort: every later entry that should come before entry i is exchanged
// with it at once. The order in which equal keys end up follows from this exact procedure.
void CSortList::SortSmall() {
    for (int i = 0; i + 1 < count_; ++i) {
        for (int j = i + 1; j < count_; ++j) {
            if (keys_[i] > keys_[j]) {
                std::swap(keys_[i], keys_[j]);
                std::swap(ids_[i], ids_[j]);
            }
        }
    }
}

void CSortList::SortLarge() {
    for (int i = 0; i + 1 < count_; ++i) {
        for (int j = i + 1; j < count_; ++j) {
            if (keys_[i] < keys_[j]) {
                std::swap(keys_[i], keys_[j]);
                std::swap(ids_[i], ids_[j]);
            }
        }
    }
}

int CSortList::GetMin() const {
    int best = 0;
    for (int i = 1; i < count_; ++i) {
        if (keys_[i] < keys_[best]) {
            best = i;
        }
    }
    return best;
}

void CSortList::DeleteData(int pos) {
    if (pos < 0 || pos >= count_) {
        return;
    }
    for (int i = pos; i + 1 < count_; ++i) {
        ids_[i] = ids_[i + 1];
        keys_[i] = keys_[i + 1];
    }
    --count_;
}

void CSortList::Randomize(Random& random) {
    int s = 0;
    while (s < count_) {
        int len = 1;
        while (s + len < count_ && keys_[s + len] == keys_[s]) {
            ++len;
        }
        if (len >= 2) {
            for (int i = 0; i < len; ++i) {
                const int r = static_cast<int>(random.Next() / 32768.0 * (len - i)) + i;
                std::swap(ids_[s + r], ids_[s + i]);
            }
        }
        s += len;
    }
}

// ---------------------------------------------------------------------------------------------
// CStopWatch

CStopWatch::CStopWatch() : ticks_(&TickCountMs) {}

CStopWatch::CStopWatch(TickSource ticks) : ticks_(ticks ? std::move(ticks) : TickSource(&TickCountMs)) {}

std::uint32_t CStopWatch::Start() {
    start_ = ticks_();
    return start_;
}

std::uint32_t CStopWatch::GetElapsed() const {
    return ticks_() - start_;  // unsigned arithmetic wraps at 2^32
}

// ---------------------------------------------------------------------------------------------
// List comparisons

namespace {

// Larger key first: -1 when a's key is greater, 1 when smaller, 0 when equal.
int CompareKeys(std::int64_t a, std::int64_t b) {
    if (a == b) {
        return 0;
    }
    return a > b ? -1 : 1;
}

// The record a general-list item compares as. A garrison row (0x8000 + castle) compares as the
// spare general record as the game blanks it (empty name, status 0, valour 3, other abilities 0,
// no corps, no troops) with the castle's garrison as its foot soldiers; it stands at that castle
// and for the castle's owner, so that it sorts beside the castle's own generals. An item naming
// no table entry compares as the blank spare record.
CBushou ListItemRecord(const GameState& gs, int item, bool& isGeneral) {
    isGeneral = false;
    if (item >= 0 && item < GameState::kMaxBushou) {
        isGeneral = true;
        return gs.BushouTbl[static_cast<std::size_t>(item)];
    }
    CBushou spare;
    spare.buyuu = 3;
    spare.gundan = -1;
    spare.shiro = -1;
    spare.daimyou = -1;
    if (item >= kGarrisonRowFlag && item - kGarrisonRowFlag < GameState::kMaxShiro) {
        const int castle = item - kGarrisonRowFlag;
        const CShiro& s = ShiroAt(gs, castle);
        spare.foot = s.shubihei;
        spare.shiro = static_cast<std::int16_t>(castle);
        spare.daimyou = s.daimyou;
    }
    return spare;
}

bool IsVassalHouse(const GameState& gs, int house) {
    return house >= 0 && house < GameState::kMaxDaimyou &&
           gs.DaimyouTbl[static_cast<std::size_t>(house)].bond == CDaimyou::kBondShinjuu;
}

// Command rank: outside corps 30002 for the head of an independent house, 30001 for the head of
// a subordinate or vassal house, else 30000; in corps k, 2k + 1 for its leader, else 2k.
std::int64_t CommandRank(const GameState& gs, int item, bool isGeneral, const CBushou& b) {
    if (b.gundan < 0) {
        if (isGeneral && b.daimyou >= 0 && b.daimyou < GameState::kMaxDaimyou) {
            const CDaimyou& d = gs.DaimyouTbl[static_cast<std::size_t>(b.daimyou)];
            if (d.toushu == item) {
                return d.bond == CDaimyou::kBondDokuritsu ? 30002 : 30001;
            }
        }
        return 30000;
    }
    const std::int64_t k = b.gundan;
    const bool leads = isGeneral && b.gundan < GameState::kMaxGundan &&
                       gs.GundanTbl[static_cast<std::size_t>(b.gundan)].leader == item;
    return 2 * k + (leads ? 1 : 0);
}

std::int64_t BushouListKey(const GameState& gs, int item, int column, BushouListValues registered) {
    bool isGeneral = false;
    const CBushou b = ListItemRecord(gs, item, isGeneral);
    switch (column) {
        case 0: return -static_cast<std::int64_t>(item) - (IsVassalHouse(gs, b.daimyou) ? 10000 : 0);
        case 1: return CommandRank(gs, item, isGeneral, b);
        case 2: return b.birthYear;
        case 3: return b.cavalry;
        case 4: return b.foot;
        case 5: return b.muskets;
        case 6: return b.buyuu;
        case 7: return b.seiji;
        case 8: return b.chibou;
        case 9: return -static_cast<std::int64_t>(b.shiro);
        case 10: return -static_cast<std::int64_t>(b.daimyou);
        case 11: return b.yasenTousotsu;
        case 12: return b.suigunTousotsu;
        case 13: return b.status;
        case 14:
            if (isGeneral && static_cast<std::size_t>(item) < registered.size()) {
                return registered[static_cast<std::size_t>(item)];
            }
            return 0;
        default: return 0;
    }
}

}  // namespace

int CompareBushouListItem(const GameState& state, int a, int b, int column, BushouListValues registered) {
    if (column < 0 || column > 14) {
        return 0;
    }
    return CompareKeys(BushouListKey(state, a, column, registered),
                       BushouListKey(state, b, column, registered));
}

namespace {

std::int64_t DaimyouListKey(const GameState& gs, DaimyouListValues values, int house, int column) {
    auto value = [&](int k) -> std::int64_t {
        if (house < 0) {
            return 0;
        }
        const std::size_t at =
            static_cast<std::size_t>(house) * kDaimyouListValueColumns + static_cast<std::size_t>(k);
        return at < values.size() ? values[at] : 0;
    };
    const bool valid = house >= 0 && house < GameState::kMaxDaimyou;
    switch (column) {
        case 0: return -static_cast<std::int64_t>(house);
        case 13: return valid ? gs.DaimyouTbl[static_cast<std::size_t>(house)].kouzanGijutsu : 0;
        case 14: return valid ? gs.DaimyouTbl[static_cast<std::size_t>(house)].koukaiGijutsu : 0;
        case 19: return house == gs.nPlayerDaimyou ? 1 : 0;
        default: break;
    }
    if (column >= 1 && column <= 12) {
        return value(column - 1);
    }
    if (column >= 15 && column <= 18) {
        return value(column - 3);
    }
    return 0;
}

}  // namespace

int CompareDaimyouListItem(const GameState& state, DaimyouListValues values, int a, int b, int column) {
    if (column < 0 || column > 19) {
        return 0;
    }
    return CompareKeys(DaimyouListKey(state, values, a, column), DaimyouListKey(state, values, b, column));
}

}  // namespace rymd
