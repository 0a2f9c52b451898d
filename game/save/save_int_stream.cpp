#include "game/save/save_int_stream.h"

namespace rymd {

bool CSaveIntStream::WriteInt(std::int32_t value) {
    if (writer_ == nullptr) return false;
    state_ = (state_ + static_cast<std::uint32_t>(value) + kAdditiveKey) ^ kXorMask;
    writer_->WriteU32(state_);
    return true;
}

bool CSaveIntStream::ReadInt(std::int32_t& value) {
    value = 0;
    if (reader_ == nullptr || !reader_->Ok() || reader_->Remaining() < 4) {
        if (reader_ != nullptr) reader_->Fail();
        return false;
    }
    const std::uint32_t word = reader_->ReadU32();
    value = static_cast<std::int32_t>((word ^ kXorMask) - state_ - kAdditiveKey);
    state_ = word;
    return true;
}

}  // namespace rymd
