#include "game/state/scenario_records.h"

#include <cstring>

#include "game/state/byte_codec.h"

namespace rymd {

using namespace bytes;

int ShiroMapRecord::ConnectionCount() const {
    int n = 0;
    while (n < kMaxConnection && connect[static_cast<std::size_t>(n)].shiro != 0xFFFF)
        ++n;
    return n;
}

void ShiroMapRecord::ClearConnections() {
    for (auto& c : connect)
        c = ShiroConnection{0xFFFF, 0xFFFF, 0, 0};
}

void Encode(const LabelRecord& r, std::uint8_t* out, TextEncoding enc) {
    std::memset(out, 0, LabelRecord::kStoredSize);
    PutName(out, 0, r.text, 20, enc);
    PutU8(out, 21, r.color);
    PutU8(out, 22, r.flags);
    PutU8(out, 23, r.fontHeight);
    PutI32(out, 24, r.x);
    PutI32(out, 28, r.y);
    PutI16(out, 32, r.kuni);
}

bool Decode(const std::uint8_t* in, LabelRecord& r, TextEncoding enc) {
    if (GetU8(in, 21) >= 10) return false;  // the colour must name a palette entry
    r.text = GetName(in, 0, 20, enc);
    r.color = GetU8(in, 21);
    r.flags = GetU8(in, 22);
    r.fontHeight = GetU8(in, 23);
    r.x = GetI32(in, 24);
    r.y = GetI32(in, 28);
    r.kuni = GetI16(in, 32);
    return true;
}

}  // namespace rymd
