// The four records of the running game: general (CBushou), house (CDaimyou), corps (CGundan)
// and castle (CShiro), with their stored byte forms and the operations on them.
//
// Inside the program the records are plain structs; names are UTF-8 and indexes are -1 for
// none. The stored form of each record is the fixed little-endian layout of saved games,
// beginning with a 4-byte class slot that is written as 0 and ignored on reading. Encode
// writes exactly that many bytes; Decode reads them and refuses a record whose list counts
// cannot be right.
//
// Every field starts at 0, as the tables start zero-filled; the new-game set-up and the
// rules write the real values (-1 where a field names nothing).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/encoding.h"

namespace rymd {

struct GameState;

// =============================================================================================
// General

struct CBushou {
    static constexpr std::size_t kStoredSize = 80;
    static constexpr std::size_t kNameBytes = 20;  // longest name in the file encoding

    // status
    static constexpr std::uint8_t kStatusKashin = 0;     // retainer
    static constexpr std::uint8_t kStatusHoryo = 1;      // captive
    static constexpr std::uint8_t kStatusHitojichi = 2;  // hostage
    static constexpr std::uint8_t kStatusKyakushou = 3;  // guest general

    // house field values below 0
    static constexpr std::int16_t kDaimyouRounin = -1;     // masterless
    static constexpr std::int16_t kDaimyouFree = -2;       // not yet in any service
    static constexpr std::int16_t kDaimyouHitojichi = -3;  // hostage: his house is originDaimyou

    // flags
    static constexpr std::uint16_t kFlagDeathType1 = 0x0001;  // death-year type 1; generals made during play
    static constexpr std::uint16_t kFlagOrdered = 0x0002;     // sortie or move ordered this month
    static constexpr std::uint16_t kFlagBesieging = 0x0004;   // besieging the castle in shiro
    static constexpr std::uint16_t kFlagWarMark = 0x0008;     // marked during the war phase
    static constexpr std::uint16_t kFlagByWater = 0x0020;     // the sortie goes by water
    static constexpr std::uint16_t kFlagNotDefending = 0x0040;  // not counted among the castle's defenders
    static constexpr std::uint16_t kFlagDeathType2 = 0x0080;    // death-year type 2; remnant uprisings

    std::string name;                 // UTF-8; at most 20 bytes in the file encoding
    std::uint8_t status = 0;          // kStatus...
    std::uint8_t buyuu = 0;           // valour 0..10
    std::uint8_t seiji = 0;           // politics 0..10
    std::uint8_t yashin = 0;          // ambition 0..10
    std::uint8_t chuusei = 0;         // loyalty 0..10
    std::uint8_t chibou = 0;          // intellect 0..10
    std::uint8_t yasenTousotsu = 0;   // field command 0..10
    std::uint8_t suigunTousotsu = 0;  // naval command 0..10
    std::uint8_t counter33 = 0;       // grows by intellect each month, at most 20 x intellect
    std::uint8_t counter34 = 0;       // falls by one each month while above 0
    std::uint8_t counter35 = 0;       // as counter33, drawn separately
    std::uint8_t counter36 = 0;       // as counter34
    std::uint8_t counter37 = 0;       // falls by one each month unless 0 or 127
    std::int16_t birthYear = 0;
    std::int16_t deathYear = 0;                 // natural end of life
    std::int16_t shiro = 0;                     // castle he stays in, or besieges (kFlagBesieging)
    std::int16_t id = 0;                        // index of his BushouExRecord; -1 made during play
    std::int16_t gundan = 0;                    // corps; -1 the house's direct command
    std::int16_t daimyou = 0;                   // house; kDaimyouRounin / kDaimyouFree / kDaimyouHitojichi
    std::int16_t holderDaimyou = 0;             // house that holds him as captive or hostage
    std::int16_t originDaimyou = 0;             // house of origin of a hostage
    std::int16_t cavalry = 0;                   // in soldier units
    std::int16_t foot = 0;                      // in soldier units
    std::int16_t muskets = 0;                   // in soldier units
    std::int16_t moveShiro = 0;                 // pending move; not yet appeared: year of appearance
    std::int16_t sortieShiro = 0;               // sortie destination; not yet appeared: place of appearance
    std::int16_t sortieOrigin = 0;              // sortie origin castle
    std::array<std::int16_t, 5> joinDaimyou{};  // houses a masterless general may join
    std::uint16_t flags = 0;                    // kFlag...
    std::uint16_t unused78 = 0;                 // carried unchanged

    // The house he counts for in the event conditions: his house, or his house of origin when he
    // is held as captive or hostage. The planners go by the house field: a held general serves
    // no house for them.
    int GetEffectiveDaimyou() const;
};

// The seven abilities (valour, politics, intellect, field and naval command, ambition,
// loyalty) from another general's record or from a general's scenario record.
template <class From>
void CopyAbilities(CBushou& to, const From& from) {
    to.buyuu = from.buyuu;
    to.seiji = from.seiji;
    to.chibou = from.chibou;
    to.yasenTousotsu = from.yasenTousotsu;
    to.suigunTousotsu = from.suigunTousotsu;
    to.yashin = from.yashin;
    to.chuusei = from.chuusei;
}

void Encode(const CBushou& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, CBushou& r, TextEncoding enc);

// Index in BushouTbl of the first general with the id; -1 when none.
int FindBushouIndexById(const GameState& gs, int id);
// The same over MitoujouBushouTbl.
int FindMitoujouBushouIndexById(const GameState& gs, int id);

// =============================================================================================
// House and corps

struct CGameRecord {};

struct TeppouOrder {
    std::uint16_t count = 0;  // muskets on order
    std::int8_t months = 0;   // months until delivery
};

struct CDaimyou : CGameRecord {
    static constexpr std::size_t kStoredSize = 1132;
    static constexpr std::size_t kNameBytes = 20;
    static constexpr int kRelationCount = 1000;
    static constexpr int kHistoryCount = 12;
    static constexpr int kTeppouOrderCount = 10;

    // bond
    static constexpr std::uint8_t kBondDokuritsu = 0;  // independent
    static constexpr std::uint8_t kBondJuuzoku = 1;    // subordinate
    static constexpr std::uint8_t kBondShinjuu = 2;    // vassal

    // kind byte
    static constexpr int kKindAinu = 0;
    static constexpr int kKindNormal = 1;
    static constexpr int kKindRyuukyuu = 2;
    static constexpr int kBehaviourNormal = 0;
    static constexpr int kBehaviourStatic = 1;
    static constexpr int kBehaviourNoAttack = 2;

    // relation states (low four bits of a relation byte)
    static constexpr int kRelShukuteki = 0;      // arch-enemy
    static constexpr int kRelNothing = 1;        // no particular relation
    static constexpr int kRelFusen = 2;          // non-aggression alliance
    static constexpr int kRelJuuzoku = 3;        // this house is subordinate to the other
    static constexpr int kRelJuuzokuMaster = 4;  // this house is the other's master (subordinate)
    static constexpr int kRelJuuzokuPeer = 5;    // both subordinate to the same master
    static constexpr int kRelShinjuu = 6;        // this house is the other's vassal
    static constexpr int kRelShinjuuMaster = 7;  // this house is the other's master (vassal)
    static constexpr int kRelShinjuuPeer = 8;    // both vassals of the same master
    static constexpr int kRelRengou = 9;         // both in one coalition
    static constexpr int kRelRengouLeader = 10;  // this house leads the other's coalition
    static constexpr int kNoCountdown = 15;      // high four bits: no countdown running

    std::int32_t toushu = 0;        // head general; -1 house gone, -2 no head at the moment
    std::int32_t carried8 = 0;      // -1 at a new game; carried
    std::int32_t shikin = 0;        // funds
    std::int32_t teppou = 0;        // musket stock not yet given to generals
    std::string name;               // UTF-8; at most 20 bytes in the file encoding
    std::uint8_t revivalCount = 0;  // times a remnant uprising revived the fallen house
    std::uint8_t kindByte =
        0;                  // bits 0-2 kind, bit 3 unattackable, bits 4-6 behaviour, bit 7 not for the player
    std::uint8_t bond = 0;  // kBond...
    std::uint8_t strengthTrend = 0;  // 1 rising, 0 level, 255 falling
    std::int32_t carried48 = 0;      // -1 at a new game; carried
    std::int32_t masterDaimyou = 0;  // master house; its own index while independent
    std::array<std::uint8_t, kRelationCount>
        relation{};                  // per house: state low 4 bits, countdown high 4 bits
    std::int16_t koukaiGijutsu = 0;  // navigation skill, at most 10000
    std::int16_t kouzanGijutsu = 0;  // mining technology in tenths
    std::array<std::int16_t, kHistoryCount> strengthHistory{};  // newest first
    std::uint16_t teppouSeisan = 0;  // muskets made this month, added to the stock next month
    std::array<TeppouOrder, kTeppouOrderCount> teppouOrder{};  // one per musket purchase place

    int GetKind() const { return kindByte & 0x07; }
    bool IsUnattackable() const { return (kindByte & 0x08) != 0; }
    int GetBehaviour() const { return (kindByte >> 4) & 0x07; }
    bool IsNotForPlayer() const { return (kindByte & 0x80) != 0; }

    // Relation toward another house. An index outside the table reads as no relation
    // without countdown, and writing one changes nothing.
    void SetRelationLo(int other, int state);      // state 0..15, countdown kept
    void SetRelationHi(int other, int countdown);  // countdown 0..15, state kept
    int GetRelationLo(int other) const {
        return other >= 0 && other < kRelationCount ? relation[static_cast<std::size_t>(other)] & 0x0F
                                                    : kRelNothing;
    }
    int GetRelationHi(int other) const {
        return other >= 0 && other < kRelationCount ? relation[static_cast<std::size_t>(other)] >> 4
                                                    : kNoCountdown;
    }
};

void Encode(const CDaimyou& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, CDaimyou& r, TextEncoding enc);

// The word the house list shows for a relation state; empty above 10.
const char* GetRelationWord(int state);

struct CGundan : CGameRecord {
    static constexpr std::size_t kStoredSize = 28;
    static constexpr int kTantouKuniCount = 4;

    static constexpr std::uint16_t kOrderShinkou = 0x0001;    // invade
    static constexpr std::uint16_t kOrderNaisei = 0x0002;     // domestic development
    static constexpr std::uint16_t kOrderShoryouka = 0x0100;  // castles it conquers become its own domain
    static constexpr std::int32_t kLeaderFree = -1;           // free slot
    static constexpr std::int32_t kLeaderPassedOver = -2;     // passed over by the succession checks

    std::int32_t leader = 0;                                  // leader general
    std::int32_t daimyou = 0;                                 // owner house
    std::int32_t shikin = 0;                                  // funds
    std::int32_t teppou = 0;                                  // musket stock
    std::uint16_t order = 0;                                  // kOrder... bits
    std::array<std::int16_t, kTantouKuniCount> tantouKuni{};  // provinces in charge; -1 none

    bool IsFree() const { return leader == kLeaderFree; }
    // Whether the castle's province is one of the corps' provinces in charge.
    bool IsShiroInTantouKuni(const GameState& gs, int shiro) const;
};

void Encode(const CGundan& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, CGundan& r, TextEncoding enc);

// The word of a corps order (its two low bits): "待機", "侵攻", "内政", "侵攻・内政".
const char* GetGundanOrderWord(std::uint16_t order);
// The word of the order bit that gives conquered castles to the corps.
inline constexpr const char* kGundanShoryoukaWord = "侵攻地軍団所領化";

// =============================================================================================
// Castle

struct ShiroOrderSlot {
    std::uint8_t ships = 0;        // 0 = slot free
    std::uint8_t destination = 0;  // trade partner; 0 sea training
    std::uint8_t monthsLeft = 0;
    std::uint8_t monthsTotal = 0;  // length of the whole voyage
};

struct CShiro {
    static constexpr std::size_t kStoredSize = 332;
    static constexpr int kMaxBushou = 20;  // each of the three general lists
    static constexpr int kVoyageCount = 10;
    static constexpr int kMaxKibo = 10;        // size and maximum size
    static constexpr int kMaxSupport = 1000;   // populace support, tenths of a percent
    static constexpr int kMaxKouekisen = 100;  // trade ships a scenario may give a port

    std::int16_t daimyou = 0;                         // owner house
    std::int16_t gundan = 0;                          // holding corps; -1 the house's direct domain
    std::int16_t commander = 0;                       // corps leader, or the house head for the direct domain
    std::int16_t besiegerDaimyou = 0;                 // besieging house; -1 none
    std::uint8_t kibo = 0;                            // size 0..10
    std::uint32_t kokudaka = 0;                       // rice yield in koku
    std::int16_t siegeValue = 0;                      // siege state; 0 while unbesieged
    std::uint32_t hyourou = 0;                        // provisions; at most size x nShiroHyourouMax
    std::int16_t keizai = 0;                          // town economy (monthly money income)
    std::int16_t kouzan = 0;                          // mine level
    std::int16_t shubihei = 0;                        // garrison, in soldier units
    std::int8_t nBushou = 0;                          // stationed generals 0..20
    std::int8_t nBesieger = 0;                        // besieging generals 0..20
    std::array<std::int32_t, kMaxBushou> bushou{};    // stationed generals, in order of arrival
    std::array<std::int32_t, kMaxBushou> besieger{};  // besieging generals
    std::int8_t nArrival = 0;                         // pending arrivals 0..20
    std::array<std::int32_t, kMaxBushou> arrival{};   // generals ordered here in the strategy phase
    std::int16_t blockadeDaimyou = 0;                 // house blockading by sea; -1 none
    std::int16_t support = 0;                         // populace support, tenths of a percent
    std::int16_t harvestRate = 0;                     // harvest-rate factor 0..10000
    std::uint8_t kouekisen = 0;                       // trade ships waiting here (ports)
    std::uint8_t gunsenBuilding = 0;                  // warships under construction (low four bits)
    std::int16_t gunsenBuilder = 0;                   // house that ordered them
    std::array<ShiroOrderSlot, kVoyageCount> voyage{};

    // Troop sums over the general table, in soldier units; muskets never count. Entries
    // that name no general on stage are skipped.
    int GetDefenseStrength(const GameState& gs) const;          // garrison + cavalry + foot of defenders
    int GetWeightedDefenseStrength(const GameState& gs) const;  // garrison + 3 x cavalry + foot of defenders
    int GetBushouTroops(const GameState& gs) const;             // cavalry + foot of all stationed
    int GetBushouTroopsOfGundan(const GameState& gs,
                                int gundanIndex) const;  // of the corps (-1 any), unordered
    int GetBesiegerTroops(const GameState& gs) const;    // cavalry + foot of besiegers
    int GetBesiegerStrength(const GameState& gs) const;  // 3 x cavalry + foot of besiegers
    // Take a general off the stationed (besieger) list keeping the order of the rest;
    // false when he was not listed.
    bool RemoveBushou(int bushou);
    bool RemoveBesieger(int bushou);
};

void Encode(const CShiro& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, CShiro& r, TextEncoding enc);

}  // namespace rymd
