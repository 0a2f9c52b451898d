#include "game/military/siege_session.h"

#include <algorithm>
#include <array>

#include "game/military/battle_common.h"
#include "game/military/battle_runners.h"
#include "game/military/placement.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"

namespace rymd {

using namespace battle;

namespace {

const std::string& Word(const GameState& gs, int slot) {
    const std::string& w = gs.ScenarioWords[static_cast<std::size_t>(slot)];
    static const std::array<std::string, kWordSlotCount> builtIn = [] {
        std::array<std::string, kWordSlotCount> a;
        for (int i = 0; i < kWordSlotCount; ++i)
            a[static_cast<std::size_t>(i)] = WordAssignTbl[static_cast<std::size_t>(i)].word;
        return a;
    }();
    return w.empty() ? builtIn[static_cast<std::size_t>(slot)] : w;
}

std::string Number(long long n) {
    return std::to_string(n);
}

std::vector<int> Listed(const GameState& gs, const std::int32_t* list, int count) {
    std::vector<int> out;
    for (int i = 0; i < std::clamp(count, 0, CShiro::kMaxBushou); ++i)
        if (IsValidBushou(gs, list[i])) out.push_back(list[i]);
    return out;
}

}  // namespace

bool PlayerTakesPartInSiege(const GameState& gs, int castle) {
    if (gs.bAutoAdvance || gs.bAllAutomatic || !IsValidShiro(gs, castle)) return false;
    const int player = gs.nPlayerDaimyou;
    if (!IsValidDaimyou(gs, player)) return false;
    const CShiro& s = ShiroAt(gs, castle);
    const auto direct = [&](int g) { return BushouAt(gs, g).gundan == -1; };
    if (GetCountedDaimyou(gs, s.besiegerDaimyou) == player) {
        const std::vector<int> besiegers = Listed(gs, s.besieger.data(), s.nBesieger);
        if (std::any_of(besiegers.begin(), besiegers.end(), direct)) return true;
    }
    if (EffectiveOwner(gs, castle) != player) return false;
    bool anyDefender = false;
    for (int g : Listed(gs, s.bushou.data(), s.nBushou)) {
        if (BushouAt(gs, g).flags & CBushou::kFlagNotDefending) continue;
        if (direct(g)) return true;
        anyDefender = true;
    }
    if (anyDefender) return false;
    const int kuni = ShiroMap(gs, castle).kuni;
    for (int k : GundanIndexes()) {
        const CGundan& corps = GundanAt(gs, k);
        if (corps.leader < 0 || GetCountedDaimyou(gs, corps.daimyou) != player) continue;
        for (std::int16_t p : corps.tantouKuni)
            if (p >= 0 && p == kuni) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------

KoujousenSession::KoujousenSession(GameState& gs, const Ports& ports, CBattleRunner& runner, int castle,
                                   bool navalBattleDone)
    : gs_(gs), ports_(ports), runner_(runner), castle_(castle), siege_(gs, &ports_) {
    siege_.navalBattleDone = navalBattleDone;
}

void KoujousenSession::Tell(const std::string& text) const {
    ports_.inform->Inform(text);
}

void KoujousenSession::Close() {
    closed_ = true;
    over_ = true;
}

std::vector<int> KoujousenSession::Besiegers() const {
    const CShiro& s = ShiroAt(gs_, castle_);
    return Listed(gs_, s.besieger.data(), s.nBesieger);
}

// The defenders not excluded from the defence, then the garrison row.
std::vector<int> KoujousenSession::DefendersWithGarrison() const {
    std::vector<int> units;
    for (int i = 0; i < siege_.defenderCount && units.size() + 1 < static_cast<std::size_t>(kMaxTroopItems);
         ++i) {
        const int g = siege_.defenders[i];
        if (IsValidBushou(gs_, g) && !(BushouAt(gs_, g).flags & CBushou::kFlagNotDefending))
            units.push_back(g);
    }
    units.push_back(kShiroGarrisonItem + castle_);
    return units;
}

NavySortie KoujousenSession::AutomaticCrews(int ships, const std::vector<int>& candidates) const {
    std::vector<int> items = candidates;
    if (items.size() > static_cast<std::size_t>(kMaxTroopItems)) items.resize(kMaxTroopItems);
    std::array<int, kMaxTroopItems> picked{};
    int n = 0;
    SelectTroopsWithinLimit(gs_, ships, items, n, picked);
    return {ships, std::vector<int>(picked.begin(), picked.begin() + n)};
}

std::optional<NavySortie> KoujousenSession::ChooseNavy(int ships, const std::vector<int>& candidates) const {
    ships = std::min(ships, kNavyShipLimit);
    if (chooseNavy) return chooseNavy(ships, candidates);
    return AutomaticCrews(ships, candidates);
}

void KoujousenSession::Open() {
    if (!IsValidShiro(gs_, castle_)) {
        Close();
        return;
    }
    const CShiro& s = ShiroAt(gs_, castle_);
    playerDefends_ = EffectiveOwner(gs_, castle_) == gs_.nPlayerDaimyou;
    navalPossible_ = HasWaterway() && BlockadeShips() > 0 && OwnShips() > 0;
    siege_.castle = castle_;
    siege_.besiegingHouse = s.besiegerDaimyou;
    siege_.log = &log_;
    siege_.Prepare();
    turn_ = 1;
    siegeResult = kSiegeHolds;
    fieldResult = -1;
    navalResult = -1;
    fieldPossible_ = true;
    Refresh();
}

int KoujousenSession::FightSally() {
    std::vector<int> defenders(siege_.defenders, siege_.defenders + siege_.defenderCount);
    return runner_.RunYasen(castle_, -1, Besiegers(), -1, defenders, castle_, 1,
                            {ShiroMap(gs_, castle_).kuni, -1});
}

void KoujousenSession::OpeningEvents() {
    if (playerDefends_ || over_) return;
    const ScenarioWordArray& words = gs_.ScenarioWords;
    const int attacker = GetCountedDaimyou(gs_, ShiroAt(gs_, castle_).besiegerDaimyou);
    const int owner = EffectiveOwner(gs_, castle_);

    if (siege_.DecideNavalBattle()) {
        navalFought = true;
        Tell(ReplaceWordBushou("敵兵が海戦を挑んできました。応戦武将を選択してください", words));
        if (std::optional<NavySortie> navy = ChooseNavy(BlockadeShips(), Besiegers())) {
            const int ownShips = OwnShips();
            const NavySortie defence = AutomaticCrews(ownShips, DefendersWithGarrison());
            navalResult = runner_.RunKaisen(castle_, -1, attacker, navy->ships, navy->units, owner, ownShips,
                                            defence.units, 1, false);
            if (navalResult != 1) {
                Tell("当家は海戦に勝利できなかったので、水軍は撤退します");
                runner_.WithdrawBushou(attacker, castle_, navy->units, true);
                Refresh();
                if (ShiroAt(gs_, castle_).nBesieger == 0) {
                    brokenOff = true;
                    Tell(ReplaceWordShiro(
                        ReplaceWordBushou("包囲武将が全て撤退したので城攻略を中止します", words), words));
                    Close();
                    return;
                }
            }
        } else {
            Tell(ReplaceWordGunsen("当家の軍船は撤退します", words));
            runner_.EndBlockade(castle_);
            Refresh();
        }
    }
    if (siege_.DecideSortie()) {
        Tell(ReplaceWordShiro("敵兵が城から出てきました", words));
        fieldResult = FightSally();
        if (fieldResult != 1) {
            Refresh();
            brokenOff = true;
            Tell("我軍は野戦に勝利できなかったので撤退します");
            Close();
            return;
        }
    }
    siege_.WithdrawDefenders(true);
    Refresh();
}

void KoujousenSession::PlayTurn(bool assault) {
    if (over_ || turn_ > kLastTurn) return;
    if (playerDefends_) assault = siege_.DecideAssault();
    if (assault && AssaultsUsedUp()) return;  // the button is refused
    int result = siege_.ExecuteTurn(assault);
    const int played = turn_++;
    Refresh();
    if (result == kSiegeHolds) {
        bool done = false;
        result = siege_.RunKeiryaku(assault, true, done, played);
        if (done) Refresh();
    }
    if (turn_ < kLastTurn && !playerDefends_) {
        siege_.WithdrawDefenders(true);
        Refresh();
    }
    if (result == kSiegeHolds && turn_ > kLastTurn && siege_.MusketCounterFire()) {
        Tell(ReplaceWordTeppou("守備軍の鉄砲による反撃で、攻略軍が押し戻されました", gs_.ScenarioWords));
        Refresh();
    }
}

void KoujousenSession::ChallengeYasen() {
    if (!playerDefends_ || over_ || !fieldPossible_) return;
    fieldResult = FightSally();
    if (fieldResult != 1) {
        Refresh();
        brokenOff = true;
        Tell("敵軍は撤退します");
        Close();
    }
    fieldPossible_ = false;
    navalPossible_ = false;
    Refresh();
}

void KoujousenSession::ChallengeKaisen() {
    if (!playerDefends_ || over_ || !navalPossible_) return;
    if (std::optional<NavySortie> navy = ChooseNavy(OwnShips(), DefendersWithGarrison())) {
        navalFought = true;
        const int attacker = GetCountedDaimyou(gs_, ShiroAt(gs_, castle_).besiegerDaimyou);
        const int blockade = BlockadeShips();
        const NavySortie attack = AutomaticCrews(blockade, Besiegers());
        navalResult = runner_.RunKaisen(castle_, -1, attacker, blockade, attack.units,
                                        EffectiveOwner(gs_, castle_), navy->ships, navy->units, 1, false);
        if (navalResult != 1) {
            Tell("敵の水軍は撤退します");
            runner_.WithdrawBushou(attacker, castle_, attack.units, true);
            Refresh();
            if (ShiroAt(gs_, castle_).nBesieger == 0) {
                brokenOff = true;
                Tell(ReplaceWordShiro(ReplaceWordBushou("包囲武将が全て撤退したため、城攻略は中止されました",
                                                        gs_.ScenarioWords),
                                      gs_.ScenarioWords));
                Close();
                fieldPossible_ = false;
            }
        }
    }
    navalPossible_ = false;
    Refresh();
}

void KoujousenSession::AfterRetreat() {
    siege_.CollectDefenders();
    Refresh();
}

void KoujousenSession::Refresh() {
    if (!IsValidShiro(gs_, castle_)) return;
    if (turn_ >= 2) {
        fieldPossible_ = false;
        navalPossible_ = false;
    }
    if (siege_.navalBattleDone) navalPossible_ = false;
    if (closed_) return;
    const CShiro& s = ShiroAt(gs_, castle_);
    const ScenarioWordArray& words = gs_.ScenarioWords;
    over_ = true;
    if (ShiroMap(gs_, castle_).maxKibo == 0 && turn_ != 1) {
        outcome_ = ReplaceWordRakujou("落城しました", words);
        siegeResult = kSiegeFallen;
    } else if (ShiroMap(gs_, castle_).maxKibo != 0 && s.siegeValue >= static_cast<int>(s.kibo) * 100) {
        outcome_ = ReplaceWordRakujou("強襲により落城しました", words);
        siegeResult = kSiegeFallen;
    } else if (s.hyourou < 1 && turn_ != 1) {
        outcome_ = ReplaceWordHyourou(ReplaceWordKaijou("兵糧が尽きたので開城しました", words), words);
        siegeResult = kSiegeStarved;
    } else if (turn_ <= kLastTurn) {
        outcome_ = FormatText("ターン %d/5", turn_);
        over_ = false;
    } else {
        outcome_ = ReplaceWordShiro("城攻略戦終了", words);
    }
}

// --- what the dialog shows --------------------------------------------------------------------

bool KoujousenSession::AssaultsUsedUp() const {
    return siege_.assaultsThisMonth >= siege_.GetMaxAssaults();
}

bool KoujousenSession::CanBeStarved() const {
    return !HasWaterway() || ShiroAt(gs_, castle_).blockadeDaimyou >= 0;
}

bool KoujousenSession::HasWaterway() const {
    return OnWaterway(gs_, castle_);
}
int KoujousenSession::OwnShips() const {
    return gs_.GunsenTable.GetGunsenAtShiro(castle_);
}
int KoujousenSession::BlockadeShips() const {
    return gs_.GunsenTable.GetBlockadeGunsenAtShiro(castle_);
}

std::string KoujousenSession::Title() const {
    return ShiroName(gs_, castle_) + " の攻防";
}

std::string KoujousenSession::WaitLabel() const {
    return CanBeStarved() ? ReplaceWordHyourou("待機（兵糧攻め）", gs_.ScenarioWords) : std::string("待機");
}

std::string KoujousenSession::SupplyRouteText() const {
    if (!IsValidShiro(gs_, siege_.supplyCastle)) return "連絡ルートがありません";
    const int kind = std::clamp(siege_.routeKind, 0, 3);
    return ShiroName(gs_, siege_.supplyCastle) + " → " + ShiroName(gs_, castle_) + " （" +
           Word(gs_, kWordShukaidou + kind) + "）";
}

std::string KoujousenSession::BesiegingHouseName() const {
    return HouseName(gs_, ShiroAt(gs_, castle_).besiegerDaimyou);
}
std::string KoujousenSession::OwnerHouseName() const {
    return HouseName(gs_, ShiroAt(gs_, castle_).daimyou);
}

std::vector<std::pair<std::string, std::string>> KoujousenSession::DamageLines() const {
    std::vector<std::pair<std::string, std::string>> lines;
    const CShiro& s = ShiroAt(gs_, castle_);
    const int size = std::clamp<int>(s.kibo, 0, 10);
    for (int k = 1; k <= size; ++k) {
        const int p = s.siegeValue - (size - k) * 100;
        lines.emplace_back(Word(gs_, kWordShiroLevel1 + k - 1),
                           p < 100 ? FormatText("%d%%", std::max(0, p)) : "陥落");
    }
    return lines;
}

std::string KoujousenSession::ProvisionsWord() const {
    return ReplaceWordHyourou("備蓄兵糧", gs_.ScenarioWords);
}
long long KoujousenSession::Provisions() const {
    return ShiroAt(gs_, castle_).hyourou;
}

SiegeListRow KoujousenSession::RowOf(int g) const {
    const CBushou& b = BushouAt(gs_, g);
    const long long unit = HeiUnit(gs_);
    return {g,
            b.name,
            Number(b.cavalry * unit),
            Number(b.foot * unit),
            Number(b.muskets * unit),
            Number(b.buyuu),
            Number(b.chibou)};
}

std::vector<SiegeListRow> KoujousenSession::BesiegerRows() const {
    std::vector<SiegeListRow> rows;
    for (int g : Besiegers())
        rows.push_back(RowOf(g));
    return rows;
}

std::vector<SiegeListRow> KoujousenSession::DefenderRows() const {
    std::vector<SiegeListRow> rows;
    const CShiro& s = ShiroAt(gs_, castle_);
    rows.push_back({kShiroGarrisonItem + castle_, Word(gs_, kWordShiro) + "守備兵", "",
                    Number(static_cast<long long>(s.shubihei) * HeiUnit(gs_)), "", "3", ""});
    for (int i = 0; i < siege_.defenderCount; ++i)
        if (IsValidBushou(gs_, siege_.defenders[i])) rows.push_back(RowOf(siege_.defenders[i]));
    return rows;
}

long long KoujousenSession::BesiegerTotal() const {
    long long total = 0;
    for (int g : Besiegers())
        total += BushouAt(gs_, g).cavalry + BushouAt(gs_, g).foot;
    return total * HeiUnit(gs_);
}

long long KoujousenSession::DefenderTotal() const {
    long long total = std::max<int>(0, ShiroAt(gs_, castle_).shubihei);
    for (int i = 0; i < siege_.defenderCount; ++i)
        if (IsValidBushou(gs_, siege_.defenders[i]))
            total += BushouAt(gs_, siege_.defenders[i]).cavalry + BushouAt(gs_, siege_.defenders[i]).foot;
    return total * HeiUnit(gs_);
}

// ---------------------------------------------------------------------------------------------

std::vector<ShiroRetreatChoice::Row> ShiroRetreatChoice::Rows() const {
    std::vector<Row> rows;
    if (!IsValidShiro(gs_, castle_)) return rows;
    const CShiro& s = ShiroAt(gs_, castle_);
    const long long unit = HeiUnit(gs_);
    for (int g : Listed(gs_, s.bushou.data(), s.nBushou)) {
        const CBushou& b = BushouAt(gs_, g);
        const bool head = IsValidDaimyou(gs_, b.daimyou) && DaimyouAt(gs_, b.daimyou).toushu == g;
        std::string age = "---";
        if (!(b.flags & CBushou::kFlagDeathType2))
            age = FormatText("%d%s", gs_.nCurYear - b.birthYear,
                             (b.flags & CBushou::kFlagDeathType1) ? "?" : "");
        rows.push_back({g, b.name, head ? "当主" : "", age, Number(b.cavalry * unit), Number(b.foot * unit),
                        Number(b.muskets * unit), Number(b.buyuu), Number(b.chibou)});
    }
    return rows;
}

int ShiroRetreatChoice::Room() const {
    return RetreatRoom(gs_, castle_);
}

bool ShiroRetreatChoice::Retreat(const std::vector<int>& chosen) {
    const int room = Room();
    if (room == 0) {
        ports_.inform->Inform(ReplaceWordShiro("退却できる城がありません", gs_.ScenarioWords));
        return false;
    }
    if (static_cast<int>(chosen.size()) > room) {
        ports_.inform->Inform(FormatText("%d人までしか退却できません", room));
        return false;
    }
    if (!chosen.empty()) RetreatBushouFromShiro(gs_, ports_, castle_, chosen, false);
    return true;
}

}  // namespace rymd
