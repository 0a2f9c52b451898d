// Feeds arbitrary bytes to the bitmap stream reader: whatever the bytes, reading must refuse or
// succeed without crashing or reading out of bounds, and what it accepts must store and read
// back to the same picture.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mbbmp/control_bmp.h"
#include "platform/core/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rymd::ArchiveReader reader(data, size);
    MbBmp::CControlBmp bmp;
    if (!bmp.Serialize(reader)) return 0;

    rymd::ArchiveWriter writer;
    bmp.Serialize(writer);
    rymd::ArchiveReader again(writer.Data());
    MbBmp::CControlBmp copy;
    if (!copy.Serialize(again) || !again.AtEnd()) __builtin_trap();
    if (copy.GetWidth() != bmp.GetWidth() || copy.GetHeight() != bmp.GetHeight() ||
        copy.GetBitCount() != bmp.GetBitCount() || copy.GetPalletNum() != bmp.GetPalletNum())
        __builtin_trap();
    const std::size_t rowLen = static_cast<std::size_t>(bmp.GetWidth()) * bmp.GetPixelBytes();
    for (int y = 0; y < bmp.GetHeight(); ++y) {
        if (std::memcmp(copy.GetLinePtr(y), bmp.GetLinePtr(y), rowLen) != 0) __builtin_trap();
    }
    // Drawing on what was read stays inside the buffer.
    bmp.SetDrawColor(1);
    bmp.DrawThickLine(-3, -3, bmp.GetWidth() + 3, bmp.GetHeight() + 3, 3);
    MbBmp::CControlBmp target;
    target.CreateBitmap(16, 16, 24);
    target.Impose8BitBmpWithCompress(&bmp, -1, 3);
    return 0;
}
