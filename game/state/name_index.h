// The name index: the identifiers that a scenario gives its houses, castle types, castles,
// generals, events, trade partners and musket places, kept for the whole game so that the
// conditional events and the formula evaluator can turn an identifier written in the scenario
// into a table index at run time. It is written into saved games.
//
// Eight lists, numbered 1 to 8. Each list packs its names one after the other, each terminated by
// a zero byte, in the order of their definitions: the position of a name is its table index.
// Names are raw bytes of the scenario file (Shift-JIS or GB2312) of at most 25 bytes and are
// compared byte for byte (case and width matter).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rymd {

class ArchiveReader;
class ArchiveWriter;

class CNameIndex {
public:
    static constexpr int kListCount = 8;
    static constexpr std::size_t kSlotBytes = 26;  // the reader's identifier slot
    static constexpr std::size_t kMaxNameBytes = 25;
    // The most names a list may hold (list 1 houses, 2 castle types, 3 castles, 4 generals,
    // 5 scheduled events, 6 conditional events, 7 trade partners, 8 musket places).
    static constexpr std::array<std::uint32_t, kListCount> kListCapacity = {1000, 10000, 10000, 30000,
                                                                            200,  2000,  10000, 10000};

    using IdSlot = std::array<char, kSlotBytes>;

    CNameIndex() = default;
    virtual ~CNameIndex();

    CNameIndex(const CNameIndex&) = default;
    CNameIndex& operator=(const CNameIndex&) = default;

    // Empties all eight lists.
    void Clear();

    // Replaces list 1..8 by count fixed 26-byte slots: each slot gives its bytes up to the first
    // zero byte, at most 25. A count of 0 (or less) leaves the list empty. A count above the
    // list's capacity is refused: the list is left empty and the result is false.
    bool SetList1(int count, const IdSlot* idSlots) { return SetList(1, count, idSlots); }
    bool SetList2(int count, const IdSlot* idSlots) { return SetList(2, count, idSlots); }
    bool SetList3(int count, const IdSlot* idSlots) { return SetList(3, count, idSlots); }
    bool SetList4(int count, const IdSlot* idSlots) { return SetList(4, count, idSlots); }
    bool SetList5(int count, const IdSlot* idSlots) { return SetList(5, count, idSlots); }
    bool SetList6(int count, const IdSlot* idSlots) { return SetList(6, count, idSlots); }
    bool SetList7(int count, const IdSlot* idSlots) { return SetList(7, count, idSlots); }
    bool SetList8(int count, const IdSlot* idSlots) { return SetList(8, count, idSlots); }
    bool SetList(int list, int count, const IdSlot* idSlots);

    // Lookups: the position of the first name equal to the identifier, or -1.
    int FindDaimyou(std::string_view id) const { return FindInList(1, id); }
    int FindName2(std::string_view id) const { return FindInList(2, id); }
    int FindShiro(std::string_view id) const { return FindInList(3, id); }
    int FindBushou(std::string_view id) const { return FindInList(4, id); }
    int FindEvent(std::string_view id) const { return FindInList(5, id); }
    int FindConditionalEvent(std::string_view id) const { return FindInList(6, id); }
    // The shared search over list 1..8: the position of the first name equal to the whole identifier.
    int FindInList(int list, std::string_view id) const;

    // Number of names and packed bytes of list 1..8 (0 for a list number outside 1..8).
    std::uint32_t Count(int list) const;
    std::uint32_t Size(int list) const;
    // The name at a position of a list; empty when there is none.
    std::string_view NameAt(int list, int pos) const;
    // Every name of a list in order (one pass over the packed buffer).
    std::vector<std::string_view> Names(int list) const;

    // Stored form: the eight counts, then the eight sizes (u32, little-endian), then the
    // non-empty buffers in list order (size bytes each). All lists empty: 64 zero bytes.
    void Serialize(ArchiveWriter& out) const;
    // Reads the stored form. Every count and size is checked against the list's capacity and the
    // bytes left, and each buffer must hold exactly count zero-terminated names of at most 25
    // bytes. A bad stream is refused: the result is false, the reader is marked failed and this
    // index is left exactly as it was; on success the index is replaced.
    bool Serialize(ArchiveReader& in);

private:
    // Names looked up by view, without a copy.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    struct List {
        std::uint32_t count = 0;
        std::string buffer;  // packed names, each with its zero terminator; size = buffer.size()
        // The first position of each name, so that a lookup does not walk the buffer.
        std::unordered_map<std::string, int, NameHash, std::equal_to<>> positions;
    };
    const List* GetList(int list) const;
    // Fills the positions of a list from its buffer.
    static void Reindex(List& l);

    std::array<List, kListCount> lists_{};
};

}  // namespace rymd
