#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mbbmp/control_bmp.h"
#include "platform/core/archive.h"
#include "support/bitmap_test_util.h"

namespace {

using namespace bmptest;
using Bytes = std::vector<std::uint8_t>;

Bytes Store(const CControlBmp& bmp) {
    rymd::ArchiveWriter w;
    bmp.Serialize(w);
    return w.Take();
}

bool Load(const Bytes& bytes, CControlBmp& bmp) {
    rymd::ArchiveReader r(bytes);
    return bmp.Serialize(r) && r.Ok() && r.AtEnd();
}

TEST(BitmapStream, EveryDepthRoundTrips) {
    const Shape shapes[] = {{1, 1, 8, 1},  {7, 5, 8, 256}, {13, 3, 8, 17}, {1, 1, 24, 0},
                            {5, 7, 24, 0}, {64, 3, 24, 0}, {1, 1, 32, 0},  {9, 4, 32, 0}};
    for (const Shape& s : shapes) {
        SCOPED_TRACE(std::to_string(s.w) + "x" + std::to_string(s.h) + "x" + std::to_string(s.bits));
        CControlBmp src = MakePattern(s.w, s.h, s.bits, s.bits == 8 ? s.pallet : 256);
        CControlBmp back = MakePattern(2, 2, 24);
        ASSERT_TRUE(Load(Store(src), back));
        EXPECT_TRUE(SamePicture(back, src));
        EXPECT_FALSE(back.HasTransparentColor());
    }
}

TEST(BitmapStream, TransparentColourAndEmptyBitmapRoundTrip) {
    CControlBmp src = MakePattern(4, 4, 8, 16);
    src.SetTransparentColor(MbBmp::RGB(255, 0, 255));
    CControlBmp back;
    ASSERT_TRUE(Load(Store(src), back));
    EXPECT_TRUE(back.HasTransparentColor());
    EXPECT_EQ(back.GetTransparentColor(), MbBmp::RGB(255, 0, 255));

    CControlBmp empty;
    const Bytes bytes = Store(empty);
    EXPECT_EQ(bytes, (Bytes{1, 0}));
    ASSERT_TRUE(Load(bytes, back));
    EXPECT_TRUE(back.IsEmpty());
    EXPECT_FALSE(back.HasTransparentColor());
}

TEST(BitmapStream, StreamsFollowEachOtherInOneArchive) {
    CControlBmp a = MakePattern(3, 2, 8, 5), b = MakePattern(6, 6, 32), empty;
    rymd::ArchiveWriter w;
    a.Serialize(w);
    empty.Serialize(w);
    b.Serialize(w);
    w.WriteI32(-77);
    rymd::ArchiveReader r(w.Data());
    CControlBmp ra, re, rb;
    ASSERT_TRUE(ra.Serialize(r));
    ASSERT_TRUE(re.Serialize(r));
    ASSERT_TRUE(rb.Serialize(r));
    EXPECT_EQ(r.ReadI32(), -77);
    EXPECT_TRUE(r.Ok());
    EXPECT_TRUE(SamePicture(ra, a));
    EXPECT_TRUE(re.IsEmpty());
    EXPECT_TRUE(SamePicture(rb, b));
}

TEST(BitmapStream, SmoothPicturesAreStoredCompactly) {
    CControlBmp flat;
    flat.CreateBitmap(256, 256, 24);
    flat.FillRect(0, 0, 256, 256, MbBmp::RGB(10, 120, 30));
    EXPECT_LT(Store(flat).size(), 2000u);  // 196608 pixel bytes
    CControlBmp gradient = MakeGradient(256, 128, 24);
    EXPECT_LT(Store(gradient).size(), 256u * 128 * 3 / 4);
}

TEST(BitmapStream, EveryTruncationIsRefusedAndLeavesTheBitmapAlone) {
    const Bytes full = Store(MakePattern(5, 3, 8, 9));
    const CControlBmp before = MakePattern(2, 2, 24);
    for (size_t n = 0; n < full.size(); ++n) {
        CControlBmp bmp = MakePattern(2, 2, 24);
        rymd::ArchiveReader r(full.data(), n);
        EXPECT_FALSE(bmp.Serialize(r)) << n;
        EXPECT_FALSE(r.Ok());
        EXPECT_TRUE(SamePicture(bmp, before));
    }
}

// Data in the zlib format, as one stored (uncompressed) block.
Bytes ZlibStored(const Bytes& raw) {
    Bytes z = {0x78, 0x01, 0x01};
    const auto len = static_cast<std::uint16_t>(raw.size());
    z.push_back(static_cast<std::uint8_t>(len));
    z.push_back(static_cast<std::uint8_t>(len >> 8));
    z.push_back(static_cast<std::uint8_t>(~len));
    z.push_back(static_cast<std::uint8_t>(~len >> 8));
    z.insert(z.end(), raw.begin(), raw.end());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    const std::uint32_t adler = (b << 16) | a;
    for (int shift = 24; shift >= 0; shift -= 8)
        z.push_back(static_cast<std::uint8_t>(adler >> shift));
    return z;
}

// The head of a valid 2x1 24-bit stream, with fields to spoil.
struct Head {
    std::uint8_t form = 1, bits = 24;
    std::int32_t w = 2, h = 1;
    std::uint16_t pallet = 0;
    std::uint8_t flags = 0;
    std::uint32_t transparent = 0;
    std::uint8_t filter = 0;
    Bytes raw = {1, 2, 3, 4, 5, 6};
    std::int64_t sizeDelta = 0;  // added to the stored zlib length
    bool truncateZlib = false;
};

Bytes Build(const Head& h) {
    rymd::ArchiveWriter w;
    w.WriteU8(h.form);
    w.WriteU8(h.bits);
    w.WriteI32(h.w);
    w.WriteI32(h.h);
    w.WriteU16(h.pallet);
    for (int i = 0; i < h.pallet; ++i) {
        w.WriteU8(0);
        w.WriteU8(0);
        w.WriteU8(0);
    }
    w.WriteU8(h.flags);
    if (h.flags & 1) w.WriteU32(h.transparent);
    w.WriteU8(h.filter);
    Bytes z = ZlibStored(h.raw);
    if (h.truncateZlib) z.resize(z.size() - 3);
    w.WriteU32(static_cast<std::uint32_t>(static_cast<std::int64_t>(z.size()) + h.sizeDelta));
    w.WriteBytes(z.data(), z.size());
    if (h.sizeDelta > 0) w.WriteBytes(Bytes(static_cast<size_t>(h.sizeDelta), 0).data(), h.sizeDelta);
    return w.Take();
}

TEST(BitmapStream, InconsistentStreamsAreRefused) {
    {
        CControlBmp bmp;
        ASSERT_TRUE(Load(Build(Head{}), bmp));  // the unspoilt head is good
        EXPECT_EQ(bmp.GetPixelColor(1, 0), MbBmp::RGB(6, 5, 4));
    }
    struct Case {
        const char* what;
        void (*spoil)(Head&);
    };
    const Case cases[] = {
        {"unknown form", [](Head& h) { h.form = 2; }},
        {"bit count 16", [](Head& h) { h.bits = 16; }},
        {"zero width", [](Head& h) { h.w = 0; }},
        {"negative width", [](Head& h) { h.w = -2; }},
        {"negative height", [](Head& h) { h.h = -1; }},
        {"oversized side", [](Head& h) { h.w = 40000; }},
        {"oversized buffer", [](Head& h) { h.w = h.h = 30000; }},
        {"palette on 24 bits", [](Head& h) { h.pallet = 2; }},
        {"8 bits without palette", [](Head& h) { h.bits = 8; }},
        {"8 bits with 257 entries", [](Head& h) { h.bits = 8, h.pallet = 257; }},
        {"unknown flag", [](Head& h) { h.flags = 2; }},
        {"transparent colour with top byte", [](Head& h) { h.flags = 1, h.transparent = 0x01000000; }},
        {"unknown filter", [](Head& h) { h.filter = 2; }},
        {"too few pixel bytes", [](Head& h) { h.raw.pop_back(); }},
        {"too many pixel bytes", [](Head& h) { h.raw.push_back(0); }},
        {"zlib data cut short", [](Head& h) { h.truncateZlib = true; }},
        {"stored length beyond the zlib data", [](Head& h) { h.sizeDelta = 4; }},
        {"stored length beyond the stream", [](Head& h) { h.sizeDelta = 1 << 20; }},
        {"claim beyond what deflate can pack", [](Head& h) { h.w = h.h = 8000, h.raw.assign(100, 0); }},
    };
    for (const Case& c : cases) {
        Head h;
        c.spoil(h);
        Bytes bytes = Build(h);
        if (h.sizeDelta == (1 << 20)) bytes.resize(bytes.size() - (1 << 20));
        CControlBmp bmp = MakePattern(3, 3, 32);
        const CControlBmp before = MakePattern(3, 3, 32);
        rymd::ArchiveReader r(bytes);
        EXPECT_FALSE(bmp.Serialize(r)) << c.what;
        EXPECT_FALSE(r.Ok()) << c.what;
        EXPECT_TRUE(SamePicture(bmp, before)) << c.what;
    }
}

TEST(BitmapStream, ZlibGarbageIsRefused) {
    Bytes bytes = Build(Head{});
    bytes[bytes.size() - 4] ^= 0x55;  // inside the adler checksum or the deflate data
    CControlBmp bmp;
    rymd::ArchiveReader r(bytes);
    EXPECT_FALSE(bmp.Serialize(r));
}

}  // namespace
