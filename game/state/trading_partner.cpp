#include "game/state/trading_partner.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "game/state/byte_codec.h"
#include "platform/core/archive.h"

namespace rymd {

namespace {

constexpr int kMaxDaimyou = 1000;
constexpr int kMaxKuni = 250;
constexpr int kMaxShiro = 10000;
constexpr int kMaxTradingPartner = 101;
constexpr int kOldFormVersion = 110;  // saves below it hold each partner as a fixed image
constexpr int kOldFormPorts = 2000;   // the old image has room for this many castles

bool CountsFit(int nDaimyou, int nKuni, int nShiro) {
    return nDaimyou >= 0 && nDaimyou <= kMaxDaimyou && nKuni >= 0 && nKuni <= kMaxKuni && nShiro >= 0 &&
           nShiro <= kMaxShiro;
}

}  // namespace

void CTradingPartner::Write(ArchiveWriter& out, int nDaimyou, int nKuni, int nShiro, TextEncoding enc) const {
    nDaimyou = std::clamp(nDaimyou, 0, kMaxDaimyou);
    nKuni = std::clamp(nKuni, 0, kMaxKuni);
    nShiro = std::clamp(nShiro, 0, kMaxShiro);
    std::uint8_t field[kNameBytes + 1];
    bytes::PutName(field, 0, name, kNameBytes, enc);
    out.WriteBytes(field, sizeof field);
    out.WriteBytes(friendliness.data(), static_cast<std::size_t>(nDaimyou));
    for (int k = 0; k < nKuni; ++k)
        out.WriteU32(sales[static_cast<std::size_t>(k)]);
    out.WriteBytes(months.data(), static_cast<std::size_t>(nKuni));
    out.WriteBytes(ports.data(), static_cast<std::size_t>(nShiro));
}

bool CTradingPartner::Read(ArchiveReader& in, int nDaimyou, int nKuni, int nShiro, TextEncoding enc) {
    if (!CountsFit(nDaimyou, nKuni, nShiro)) {
        in.Fail();
        return false;
    }
    auto staged = std::make_unique<CTradingPartner>();
    std::uint8_t field[kNameBytes + 1];
    in.ReadBytes(field, sizeof field);
    in.ReadBytes(staged->friendliness.data(), static_cast<std::size_t>(nDaimyou));
    for (int k = 0; k < nKuni; ++k)
        staged->sales[static_cast<std::size_t>(k)] = in.ReadU32();
    in.ReadBytes(staged->months.data(), static_cast<std::size_t>(nKuni));
    in.ReadBytes(staged->ports.data(), static_cast<std::size_t>(nShiro));
    if (!in.Ok()) return false;
    if (std::memchr(field, 0, sizeof field) == nullptr) {
        in.Fail();
        return false;
    }
    staged->name = bytes::GetName(field, 0, kNameBytes, enc);
    *this = std::move(*staged);
    return true;
}

bool CTradingPartner::ReadOld(ArchiveReader& in, TextEncoding enc) {
    std::vector<std::uint8_t> image(kOldStoredSize);
    if (!in.ReadBytes(image.data(), image.size())) return false;
    const std::uint8_t* p = image.data();
    // 0 class slot; 4 name; 25 friendliness; 1028 sales; 2028 months; 2278 ports; 4278 padding.
    if (std::memchr(p + 4, 0, kNameBytes + 1) == nullptr) {
        in.Fail();
        return false;
    }
    auto staged = std::make_unique<CTradingPartner>();
    staged->name = bytes::GetName(p, 4, kNameBytes, enc);
    std::memcpy(staged->friendliness.data(), p + 25, staged->friendliness.size());
    for (std::size_t k = 0; k < staged->sales.size(); ++k)
        staged->sales[k] = bytes::GetU32(p, 1028 + 4 * k);
    for (std::size_t k = 0; k < staged->months.size(); ++k)
        staged->months[k] = bytes::GetI8(p, 2028 + k);
    std::memcpy(staged->ports.data(), p + 2278, kOldFormPorts);
    *this = std::move(*staged);
    return true;
}

void WriteTradingPartnerTable(ArchiveWriter& out, std::span<const CTradingPartner> table, int count,
                              int nDaimyou, int nKuni, int nShiro, TextEncoding enc) {
    const std::size_t n = count < 0 ? 0 : std::min(static_cast<std::size_t>(count), table.size());
    for (std::size_t i = 0; i < n; ++i)
        table[i].Write(out, nDaimyou, nKuni, nShiro, enc);
}

bool ReadTradingPartnerTable(ArchiveReader& in, std::span<CTradingPartner> table, int count, int saveVersion,
                             int nDaimyou, int nKuni, int nShiro, TextEncoding enc) {
    if (count < 0 || count > kMaxTradingPartner || static_cast<std::size_t>(count) > table.size()) {
        in.Fail();
        return false;
    }
    std::vector<CTradingPartner> staged(static_cast<std::size_t>(count));
    for (CTradingPartner& p : staged) {
        const bool ok =
            saveVersion < kOldFormVersion ? p.ReadOld(in, enc) : p.Read(in, nDaimyou, nKuni, nShiro, enc);
        if (!ok) return false;
    }
    std::move(staged.begin(), staged.end(), table.begin());
    return true;
}

}  // namespace rymd
