// Warship registry: every warship of every house as fleet records. A fleet is a number of
// ships of one house lying at one castle; it may blockade that castle by sea, and it may be
// ordered to move to another castle this month. Warships only lie at castles with a waterway.
//
// A castle holds at most 200 ships of ordinary fleets, and at most 200 ships of blockade fleets
// may lie off it; 200 is the "room" of a castle wherever a move looks for a place.
//
// The "ruling house" of a house is the house itself, or its master while it is a vassal; a
// negative house index rules itself. The ruling house of a castle is that of its owner.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace rymd {

struct GameState;
struct Ports;
class ArchiveWriter;
class ArchiveReader;

// One fleet (10 bytes in the saved game: five 16-bit words in this order).
struct GunsenRecord {
    static constexpr std::uint16_t kFlagBlockade = 0x0001;
    static constexpr std::uint16_t kNoDestination = 0xFFFF;

    std::uint16_t flags = 0;        // bit 0: the fleet blockades the castle where it lies
    std::int16_t owner = 0;         // owner house
    std::int16_t shiro = 0;         // castle where it lies
    std::int16_t ships = 0;         // ship count; 0 = empty record, dropped by the next check
    std::uint16_t destination = 0;  // destination castle; kNoDestination = no move order

    bool IsBlockade() const { return (flags & kFlagBlockade) != 0; }
    bool IsFree() const { return destination == kNoDestination; }
    bool operator==(const GunsenRecord&) const = default;
};

class CGunsenTable {
public:
    static constexpr int kMaxRecord = 5000;
    static constexpr int kShiroLimit = 200;  // ships a castle holds (and blockade ships off it)
    static constexpr std::size_t kStoredRecordSize = 10;

    std::array<GunsenRecord, kMaxRecord> records{};
    std::uint32_t count = 0;  // records 0 .. count-1 are in use

    // --- sums (nothing changes) -------------------------------------------------------------
    // Ordinary ships lying at the castle, ordered away or not.
    int GetGunsenAtShiro(int shiro) const;
    // Ships ordered to the castle whose owner's ruling house is the house (blockade or not).
    int GetGunsenBoundFor(const GameState& gs, int shiro, int daimyou) const;
    // Ordinary ships at the castle with no move order.
    int GetFreeGunsenAtShiro(int shiro) const;
    // Blockade ships off the castle with no move order.
    int GetFreeBlockadeGunsenAtShiro(int shiro) const;
    // Blockade ships off the castle, ordered away or not.
    int GetBlockadeGunsenAtShiro(int shiro) const;
    // Ordinary ships at the castle ordered to the destination.
    int GetGunsenMovingBetween(int shiro, int destination) const;
    // Every ship of the house.
    int GetGunsenOfDaimyou(int daimyou) const;

    // --- changes ----------------------------------------------------------------------------
    // Adds ships of the house at the castle: to its first ordinary fleet there (whatever its
    // order), else as a new free fleet. With a full table and no such fleet nothing happens.
    void AddGunsen(int daimyou, int shiro, int count);
    // Every fleet loses its move order.
    void ClearDestinations();
    // Moves ordinary ships of the house (-1 any house) at once from one castle to another.
    void MoveGunsen(int shiro, int daimyou, int newShiro, int count);
    // Orders free ordinary ships of the house (-1 any house) at the castle to the destination.
    void AssignGunsen(int shiro, int daimyou, int destination, int count);
    // Orders up to count ships away from the castle: to the target first, then to the castles
    // nearest the target by sea. With blockade set the blockade ships off the castle are sent.
    void PlanGunsenMove(const GameState& gs, int shiro, int daimyou, int target, int count, bool blockade);
    // Sends up to count blockade ships of the house (-1 any house) back from a blockaded castle,
    // to the preferred castle (-1 none) while it is the house's and has room, else to the
    // nearest castle of the house with room. Clears the castle's blockading house when no
    // blockade ship is left there.
    void WithdrawBlockade(GameState& gs, int shiro, int daimyou, int preferred, int count);
    // Carries out the month's orders, then checks the registry.
    void ApplyMoves(const GameState& gs, const Ports& ports);
    // Merges fleets of one house and kind at one castle, drops empty records and records of
    // houses that are gone or at castles without a waterway, compacts the table and reports
    // impossible states.
    void CheckGunsen(const GameState& gs, const Ports& ports);
    // Ships per castle that a corps may use (corps -1: every free ordinary ship at a castle
    // not under blockade). out has one entry per castle (nShiro entries).
    void GetFreeGunsenForGundan(const GameState& gs, std::span<std::uint16_t> out, int gundan) const;
    // Moves one whole fleet to a castle of its owner's ruling house: the castle given when it
    // is such a castle with room, else the nearest ones; ships that find no place are lost.
    void RelocateFleet(const GameState& gs, int record, int shiro);
    // Drops every fleet lying at a castle without a waterway, then checks the registry.
    void RemoveGunsenWithoutPort(const GameState& gs, const Ports& ports);

    // --- saved game -------------------------------------------------------------------------
    // u32 count, then the records. Load refuses a count above the capacity or beyond the bytes
    // left and then leaves the registry as it was.
    void Save(ArchiveWriter& ar) const;
    bool Load(ArchiveReader& ar);

private:
    bool Full() const { return count >= static_cast<std::uint32_t>(kMaxRecord); }
    GunsenRecord& Append(const GunsenRecord& r);
    // Destination search of a withdrawal or relocation: the nearest waterway castle of the
    // ruling house with room, by sea costs first, then all costs, then admitting blockaded
    // castles. preferOwner (>= 0) wins ties for castles the house owns itself. -1 none.
    int FindShelter(const GameState& gs, int from, int ruler, int preferOwner) const;
};

}  // namespace rymd
