#include "game/state/name_index.h"

#include <algorithm>
#include <cstring>

#include "platform/core/archive.h"

namespace rymd {

CNameIndex::~CNameIndex() {
    Clear();
}

void CNameIndex::Clear() {
    for (List& l : lists_) {
        l.count = 0;
        l.buffer.clear();
        l.buffer.shrink_to_fit();
        l.positions.clear();
    }
}

void CNameIndex::Reindex(List& l) {
    l.positions.clear();
    l.positions.reserve(l.count);
    std::string_view rest(l.buffer);
    for (std::uint32_t i = 0; i < l.count && !rest.empty(); ++i) {
        std::size_t end = rest.find('\0');
        if (end == std::string_view::npos) end = rest.size();
        l.positions.emplace(std::string(rest.substr(0, end)), static_cast<int>(i));  // the first one stays
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
}

const CNameIndex::List* CNameIndex::GetList(int list) const {
    if (list < 1 || list > kListCount) {
        return nullptr;
    }
    return &lists_[static_cast<std::size_t>(list - 1)];
}

bool CNameIndex::SetList(int list, int count, const IdSlot* slots) {
    if (list < 1 || list > kListCount) {
        return false;
    }
    List& l = lists_[static_cast<std::size_t>(list - 1)];
    l.count = 0;
    l.buffer.clear();
    l.positions.clear();
    if (count <= 0) {
        l.buffer.shrink_to_fit();
        return true;
    }
    if (slots == nullptr ||
        static_cast<std::uint32_t>(count) > kListCapacity[static_cast<std::size_t>(list - 1)]) {
        l.buffer.shrink_to_fit();
        return false;
    }
    std::string buffer;
    buffer.reserve(static_cast<std::size_t>(count) * kSlotBytes);
    for (int i = 0; i < count; ++i) {
        const IdSlot& slot = slots[i];
        std::size_t len = 0;
        while (len < kMaxNameBytes && slot[len] != '\0') {
            ++len;
        }
        buffer.append(slot.data(), len);
        buffer.push_back('\0');
    }
    buffer.shrink_to_fit();
    l.buffer = std::move(buffer);
    l.count = static_cast<std::uint32_t>(count);
    Reindex(l);
    return true;
}

int CNameIndex::FindInList(int list, std::string_view id) const {
    const List* l = GetList(list);
    if (l == nullptr) {
        return -1;
    }
    const auto it = l->positions.find(id);
    return it == l->positions.end() ? -1 : it->second;
}

std::uint32_t CNameIndex::Count(int list) const {
    const List* l = GetList(list);
    return l ? l->count : 0;
}

std::uint32_t CNameIndex::Size(int list) const {
    const List* l = GetList(list);
    return l ? static_cast<std::uint32_t>(l->buffer.size()) : 0;
}

std::vector<std::string_view> CNameIndex::Names(int list) const {
    std::vector<std::string_view> names;
    const List* l = GetList(list);
    if (l == nullptr) return names;
    names.reserve(l->count);
    std::string_view rest(l->buffer);
    while (names.size() < l->count && !rest.empty()) {
        std::size_t end = rest.find('\0');
        if (end == std::string_view::npos) end = rest.size();
        names.push_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return names;
}

std::string_view CNameIndex::NameAt(int list, int pos) const {
    const List* l = GetList(list);
    if (l == nullptr || pos < 0 || static_cast<std::uint32_t>(pos) >= l->count) {
        return {};
    }
    const std::string& buf = l->buffer;
    std::size_t start = 0;
    for (int i = 0; i <= pos && start <= buf.size(); ++i) {
        const void* zero = std::memchr(buf.data() + start, '\0', buf.size() - start);
        const std::size_t end =
            zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - buf.data()) : buf.size();
        if (i == pos) {
            return std::string_view(buf.data() + start, end - start);
        }
        start = end + 1;
    }
    return {};
}

void CNameIndex::Serialize(ArchiveWriter& out) const {
    for (const List& l : lists_) {
        out.WriteU32(l.count);
    }
    for (const List& l : lists_) {
        out.WriteU32(static_cast<std::uint32_t>(l.buffer.size()));
    }
    for (const List& l : lists_) {
        if (!l.buffer.empty()) {
            out.WriteBytes(l.buffer.data(), l.buffer.size());
        }
    }
}

namespace {

// True when the buffer is exactly count names of at most maxName bytes, each zero-terminated.
bool WellFormed(const std::string& buffer, std::uint32_t count, std::size_t maxName) {
    if (buffer.empty() || buffer.back() != '\0') {
        return false;
    }
    std::uint32_t names = 0;
    std::size_t len = 0;
    for (char c : buffer) {
        if (c == '\0') {
            ++names;
            len = 0;
        } else if (++len > maxName) {
            return false;
        }
    }
    return names == count;
}

}  // namespace

bool CNameIndex::Serialize(ArchiveReader& in) {
    std::array<std::uint32_t, kListCount> counts{};
    std::array<std::uint32_t, kListCount> sizes{};
    for (auto& c : counts) {
        c = in.ReadU32();
    }
    for (auto& s : sizes) {
        s = in.ReadU32();
    }
    if (!in.Ok()) {
        return false;
    }
    // Check every count and size before anything is allocated.
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < kListCount; ++i) {
        const std::uint32_t count = counts[i];
        const std::uint32_t size = sizes[i];
        const bool bad = count > kListCapacity[i] || (count == 0) != (size == 0) ||
                         static_cast<std::uint64_t>(size) > static_cast<std::uint64_t>(count) * kSlotBytes ||
                         size < count;
        if (bad) {
            in.Fail();
            return false;
        }
        total += size;
    }
    if (total > in.Remaining()) {
        in.Fail();
        return false;
    }
    std::array<List, kListCount> staged{};
    for (std::size_t i = 0; i < kListCount; ++i) {
        if (sizes[i] == 0) {
            continue;
        }
        staged[i].buffer.resize(sizes[i]);
        if (!in.ReadBytes(staged[i].buffer.data(), sizes[i]) ||
            !WellFormed(staged[i].buffer, counts[i], kMaxNameBytes)) {
            in.Fail();
            return false;
        }
        staged[i].count = counts[i];
        Reindex(staged[i]);
    }
    lists_ = std::move(staged);
    return true;
}

}  // namespace rymd
