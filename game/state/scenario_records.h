// Records that the scenario sections fill and the game keeps for the whole game: castle
// geography and castle types, the generals' and houses' scenario records, trade partners,
// musket places, coalitions, map labels and the warship registry.
//
// Where a record's fields are listed here they are final and keep their names; the records
// marked "Fields arrive with the scenario sections that fill them" are still empty and get
// their fields (and their operations) with the sections and rules that use them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/encoding.h"

// The scheduled and conditional event records (CEventRecord, CConditionalEvent).
#include "game/state/event_records.h"

// The warship registry (GunsenRecord, CGunsenTable) has its own header.
#include "game/state/gunsen_table.h"

namespace rymd {

// ---------------------------------------------------------------------------------------------
// Castle geography: the fixed data of one castle, at the same index as its CShiro.
// Stored form: 114 bytes, no class slot.

struct ShiroConnection {
    std::uint16_t shiro = 0;  // connected castle; 0xFFFF ends the connection list
    std::uint16_t route =
        0;  // 0xFFFF straight from this side, 0xFFFE drawn from the other side, else first route point
    std::uint8_t kind = 0;  // road kind: 0 broad, 1 narrow, 2 mountain, 3 sea
    std::uint8_t drawFlags =
        0;  // bit 0 arcs; bits 2-3 new-game mark; bits 4-5 visibility; bit 6/7 wrap-around
};

struct ShiroMapRecord {
    static constexpr int kMaxConnection = 10;  // the 11th slot always keeps the end mark
    static constexpr std::size_t kStoredSize = 114;
    static constexpr std::uint8_t kFlagPort = 0x01;
    static constexpr std::uint8_t kFlagWaterway = 0x02;

    std::uint16_t textIndex = 0;  // description text in ScenarioTextPool; 0xFFFF none
    std::string name;             // castle name (UTF-8; at most 20 bytes in the file encoding)
    std::uint8_t kuni = 0;        // province index on the province map
    std::uint8_t maxKibo = 0;     // maximum castle size 0..10
    std::int32_t x = 0;           // map position, 1/128 map pixel
    std::int32_t y = 0;
    std::uint32_t maxKokudaka = 0;                              // maximum rice yield
    std::int16_t maxKeizai = 0;                                 // maximum town economy
    std::int16_t maxKouzan = 0;                                 // maximum mine level
    std::array<ShiroConnection, kMaxConnection + 1> connect{};  // ended by shiro == 0xFFFF
    std::int16_t initDaimyou = 0;                               // initial house
    std::uint8_t flags = 0;                                     // kFlagPort, kFlagWaterway
    std::int16_t shiroType = 0;                                 // index into ShiroTypeTbl

    // Number of connections before the end mark (at most kMaxConnection).
    int ConnectionCount() const;
    // Empties the connection list (every slot back to the end mark).
    void ClearConnections();
};

// ---------------------------------------------------------------------------------------------
// Castle type: picture choices and drawing offsets, 33 sixteen-bit words (66 bytes, no class slot).
// Word 0 castle picture; 1-4 field-battle backgrounds by season; 5 naval background;
// 6-12 castle-map icons; 13.. offset pairs and rectangles of the castle map.

struct ShiroTypeRecord {
    static constexpr int kWordCount = 33;
    static constexpr std::size_t kStoredSize = 66;
    std::array<std::uint16_t, kWordCount> words{};
};

// ---------------------------------------------------------------------------------------------
// A general's scenario record (48 bytes, no class slot); its index is the general's id.

struct BushouExRecord {
    static constexpr std::size_t kStoredSize = 48;
    std::uint16_t textIndex = 0;      // description text in ScenarioTextPool; 0xFFFF none
    std::string name;                 // UTF-8; at most 20 bytes in the file encoding
    std::uint8_t buyuu = 0;           // valour 0..10
    std::uint8_t seiji = 0;           // politics 0..10
    std::uint8_t chibou = 0;          // intellect 0..10
    std::uint8_t yasenTousotsu = 0;   // field command 0..10
    std::uint8_t suigunTousotsu = 0;  // naval command 0..10
    std::uint8_t yashin = 0;          // ambition 0..10
    std::uint8_t chuusei = 0;         // loyalty 0..10
    std::int16_t cavalry = 0;         // in soldier units
    std::int16_t foot = 0;            // in soldier units
    std::int16_t muskets = 0;         // in soldier units
    std::int16_t birthYear = 0;
    std::int16_t deathYear = 0;      // natural end of life
    std::int16_t appearYear = 0;     // 0 = present at the start
    std::int16_t daimyou = 0;        // -2 free; else house index, bit 15 when written in parentheses
    std::uint16_t location = 0;      // castle index, or province index with bit 15 set
    std::int8_t successionRank = 0;  // negative = none; smallest succeeds first
    std::uint8_t birthMark = 0;      // bits 0-6: 0 none, 1 "?", 2 "*"; bit 7 present at the start
};

// The house of a general's line (BushouExRecord::daimyou): a stored value below -2 carries a mark
// in bit 15 and the house in its low 15 bits.
inline int LineDaimyou(std::int16_t stored) {
    return stored < -2 ? (static_cast<std::uint16_t>(stored) & 0x7FFF) : stored;
}

// ---------------------------------------------------------------------------------------------
// A house's scenario record (34 bytes, no class slot).

struct DaimyouInitRecord {
    static constexpr std::size_t kStoredSize = 34;
    std::uint16_t textIndex = 0;      // description text in ScenarioTextPool; 0xFFFF none
    std::string name;                 // UTF-8; at most 20 bytes in the file encoding
    std::uint8_t kindByte = 0;        // kind, unattackable, behaviour, not for the player (as CDaimyou)
    std::int32_t shikin = 0;          // initial funds; -1 = computed by the new-game set-up
    std::uint16_t koukaiGijutsu = 0;  // initial navigation skill
    std::uint16_t kouzanGijutsu = 0;  // mining technology in tenths
    std::uint8_t teppouTendency = 0;  // musket collection tendency 0..100 (10 normal)
    std::uint8_t gunsenTendency = 0;  // warship building tendency 0..10
};

// ---------------------------------------------------------------------------------------------
// Scenario alliance line (not saved; used only by the new-game set-up).

struct DoumeiInitRecord {
    std::int16_t daimyou = 0;  // first house (A)
    std::int16_t other = 0;    // second house (B); -1 every other house
    std::int16_t type =
        0;  // 0 arch-enemy, 1 neutral, 2 non-aggression, 3 B subordinate to A, 6 B vassal of A
};

// ---------------------------------------------------------------------------------------------
// Coalition (92 bytes with the class slot).

struct CRengou {
    static constexpr int kMaxMember = 42;
    static constexpr std::size_t kStoredSize = 92;  // with the 4-byte class slot
    std::int16_t target = 0;                        // the house the coalition stands against
    std::int16_t nMember = 0;                       // 0..42
    std::array<std::int16_t, kMaxMember> member{};  // first nMember entries in use
};

// Stored forms of the castle, castle type, general, house and coalition records (raw
// little-endian images of kStoredSize bytes; names in the file encoding). Decode refuses a
// record whose indexes or counts lie outside the tables they name (capacities; the loader
// checks them against the counts in use) and then leaves the record as it was.
void Encode(const ShiroMapRecord& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, ShiroMapRecord& r, TextEncoding enc);
void Encode(const ShiroTypeRecord& r, std::uint8_t* out);
bool Decode(const std::uint8_t* in, ShiroTypeRecord& r);
void Encode(const BushouExRecord& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, BushouExRecord& r, TextEncoding enc);
void Encode(const DaimyouInitRecord& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, DaimyouInitRecord& r, TextEncoding enc);
void Encode(const CRengou& r, std::uint8_t* out);
bool Decode(const std::uint8_t* in, CRengou& r);

// ---------------------------------------------------------------------------------------------
// Musket production of one province (34 bytes, packed).

struct TeppouSeisanRecord {
    std::int16_t startYear = 0;
    double initRate = 0.0;  // initial monthly production rate; 0 = none
    double increase = 0.0;  // monthly increase of the rate
    double cap = 0.0;       // cap of the rate
    double current = 0.0;   // current rate

    static constexpr std::size_t kStoredSize = 34;
};

// One musket purchase place (340 bytes).
struct TeppouKounyuuRecord {
    std::string name;                       // UTF-8; at most 20 bytes in the file encoding
    std::array<std::int8_t, 250> months{};  // delivery months per province; negative = no purchase
    std::int16_t startYear = 0;
    double initPrice = 0.0;
    double priceDecrease = 0.0;
    double priceFloor = 0.0;
    double currentPrice = 0.0;
    double initOffer = 0.0;
    double offerIncrease = 0.0;
    double offerCap = 0.0;
    double currentOffer = 0.0;
    std::uint16_t dialogWork = 0;  // units the player bought here in this domestic phase

    static constexpr std::size_t kStoredSize = 340;
};

// Stored forms of the musket records (raw little-endian images). Decode refuses a record
// holding a value that is not a finite number, or a name without its terminator.
void Encode(const TeppouSeisanRecord& r, std::uint8_t* out);
bool Decode(const std::uint8_t* in, TeppouSeisanRecord& r);
void Encode(const TeppouKounyuuRecord& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, TeppouKounyuuRecord& r, TextEncoding enc);

class ArchiveReader;
class ArchiveWriter;

// ---------------------------------------------------------------------------------------------
// Trade partner (serialises itself field by field).

struct CTradingPartner {
    std::string name;                               // UTF-8; at most 20 bytes in the file encoding
    std::array<std::uint8_t, 1000> friendliness{};  // per house, percent 0..100
    std::array<std::uint32_t, 250> sales{};         // per province: sales per ship of a voyage
    std::array<std::int8_t, 250> months{};          // per province: voyage months; negative = unreachable
    std::array<std::uint8_t, 10000> ports{};        // per castle: 1 = may sail to this partner

    static constexpr std::size_t kNameBytes = 20;
    static constexpr std::size_t kOldStoredSize = 4280;  // one partner in saves below version 110

    // Saved form: the 21-byte name, the friendliness of nDaimyou houses, the sales (u32) and
    // then the months of nKuni provinces, the ports of nShiro castles.
    void Write(ArchiveWriter& out, int nDaimyou, int nKuni, int nShiro, TextEncoding enc) const;
    // Reads that form. Counts beyond the record's capacity, a name without its terminator or a
    // short stream refuse the data: false, the reader marked failed and the record left as it
    // was. Entries past the counts come back 0.
    bool Read(ArchiveReader& in, int nDaimyou, int nKuni, int nShiro, TextEncoding enc);
    // Reads the 4280-byte image of saves below version 110 (ports of the first 2000 castles).
    bool ReadOld(ArchiveReader& in, TextEncoding enc);
};

// ---------------------------------------------------------------------------------------------
// Map presentation records.

// Display area of one province on the castle map view (20 bytes).
struct KuniAreaRecord {
    std::int32_t type = 0;  // magnification number of the castle map view
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;   // right plus 1
    std::int32_t bottom = 0;  // bottom plus 1
};

// Map label (34 bytes, no class slot).
struct LabelRecord {
    static constexpr std::size_t kStoredSize = 34;
    static constexpr std::uint8_t kFlagWhole = 0x01;  // drawn on the whole-country map (else the castle map)
    static constexpr std::uint8_t kFlagBold = 0x04;
    static constexpr std::uint8_t kFlagItalic = 0x08;

    std::string text;        // UTF-8; at most 20 bytes in the file encoding
    std::uint8_t color = 0;  // index into ColorPallet, 0..9
    std::uint8_t flags = 0;  // kFlagWhole, kFlagBold, kFlagItalic
    std::uint8_t fontHeight = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int16_t kuni = 0;  // province; -1 none
};

// Stored form; Decode refuses a colour outside the palette.
void Encode(const LabelRecord& r, std::uint8_t* out, TextEncoding enc);
bool Decode(const std::uint8_t* in, LabelRecord& r, TextEncoding enc);

// ---------------------------------------------------------------------------------------------
// Route geometry of the castle connections.

struct RoutePoint {
    std::int32_t x = 0;  // 1/128 map pixel; -1 in x ends a route's run
    std::int32_t y = 0;
};

struct RouteRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

}  // namespace rymd
