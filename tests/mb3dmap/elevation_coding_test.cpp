// The elevation stream: the four codings, the encoder's exact bytes and refused streams.
#include <gtest/gtest.h>

#include "mb3dmap/elv_coding.h"
#include "support/relief_test_util.h"

namespace rymd::test {
namespace {

using Mb3dMap::CCtrlElvMap;
using Mb3dMap::ElvLoadError;

// The code bytes that the store writes for a W x H raster.
Bytes StoredCode(int w, int h, const std::vector<std::uint16_t>& v) {
    CCtrlElvMap map;
    SetSamples(map, w, h, v);
    const Bytes s = Store(map);
    EXPECT_GE(s.size(), 10u);
    EXPECT_EQ(Bytes(s.begin(), s.begin() + 6),
              ElvHead(2, static_cast<std::int16_t>(w), static_cast<std::int16_t>(h)));
    return Bytes(s.begin() + 10, s.end());
}

struct EncodeCase {
    const char* name;
    int w, h;
    std::vector<std::uint16_t> samples;
    Bytes code;
};

TEST(ElevationCoding, EncoderWritesTheWorkedExamples) {
    const std::vector<EncodeCase> cases = {
        {"sea run then a step", 6, 1, {0, 0, 0, 0, 0, 5}, {0x81, 0x05, 0x00, 0x05}},
        {"three repeats are zero bytes", 4, 1, {7, 7, 7, 7}, {0x07, 0x00, 0x00, 0x00}},
        {"four repeats are a short run", 5, 1, {7, 7, 7, 7, 7}, {0x07, 0x81, 0x04, 0x00}},
        {"jump from 0 to 200 is a literal", 1, 1, {200}, {0x7F, 0xC8, 0x00}},
        {"100 to 226 is the delta 126", 2, 1, {100, 226}, {0x64, 0x7E}},
        {"226 to 100 is the delta -126", 2, 1, {226, 100}, {0x7F, 0xE2, 0x00, 0x82}},
        {"127 up is a literal", 2, 1, {100, 227}, {0x64, 0x7F, 0xE3, 0x00}},
        {"the previous value carries over rows", 2, 2, {5, 6, 7, 8}, {0x05, 0x01, 0x01, 0x01}},
        {"a run at the end is flushed", 3, 2, {9, 0, 0, 0, 0, 0}, {0x09, 0xF7, 0x81, 0x04, 0x00}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StoredCode(c.w, c.h, c.samples), c.code) << c.name;
}

TEST(ElevationCoding, LongRunsUseTheShortCountUpTo65535AndTheLongCountBeyond) {
    std::vector<std::uint16_t> almost(65536, 0);
    almost.back() = 5;
    EXPECT_EQ(StoredCode(256, 256, almost), (Bytes{0x81, 0xFF, 0xFF, 0x05}));
    EXPECT_EQ(StoredCode(256, 256, std::vector<std::uint16_t>(65536, 0)),
              (Bytes{0x80, 0x00, 0x00, 0x01, 0x00}));
    std::vector<std::uint16_t> v(300 * 300, 3);
    EXPECT_EQ(StoredCode(300, 300, v), (Bytes{0x03, 0x80, 0x8F, 0x5F, 0x01, 0x00}));  // 89999 repeats
}

TEST(ElevationCoding, EmptyMapStoresTheHeadOnlyAndLoadsWithoutRaster) {
    CCtrlElvMap map;
    map.CreateNewMap(0, 5);
    const Bytes s = Store(map);
    EXPECT_EQ(s, ElvHead(2, 0, 5));

    CCtrlElvMap loaded;
    SetSamples(loaded, 2, 2, {1, 2, 3, 4});
    ASSERT_TRUE(Load(loaded, s));
    EXPECT_EQ(loaded.GetMapWidth(), 0);
    EXPECT_EQ(loaded.GetMapHeight(), 5);
    EXPECT_EQ(loaded.GetElevationData(), nullptr);
}

TEST(ElevationCoding, CodingTwoRoundTripsRandomRastersByteForByte) {
    Random rnd(11);
    for (int round = 0; round < 20; ++round) {
        const int w = 1 + rnd.Below(70), h = 1 + rnd.Below(40);
        const auto v = RandomRaster(rnd, w, h);
        CCtrlElvMap map;
        SetSamples(map, w, h, v);
        const Bytes s = Store(map);
        CCtrlElvMap loaded;
        ASSERT_TRUE(Load(loaded, s));
        EXPECT_EQ(loaded.GetMapWidth(), w);
        EXPECT_EQ(loaded.GetMapHeight(), h);
        EXPECT_EQ(Samples(loaded), v);
        EXPECT_EQ(Store(loaded), s);
    }
}

TEST(ElevationCoding, CodingZeroReadsRawRows) {
    Random rnd(5);
    const int w = 13, h = 7;
    const auto v = RandomRaster(rnd, w, h);
    ArchiveWriter ar;
    ar.WriteU16(0);
    ar.WriteI16(w);
    ar.WriteI16(h);
    for (auto s : v)
        ar.WriteU16(s);
    CCtrlElvMap map;
    ASSERT_TRUE(Load(map, ar.Data()));
    EXPECT_EQ(Samples(map), v);
    // Guard column and row copy their neighbours.
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(map.GetElevation(w, y), map.GetElevation(w - 1, y));
    for (int x = 0; x <= w; ++x)
        EXPECT_EQ(map.GetElevation(x, h), map.GetElevation(x, h - 1));
    // Stored again as coding 2.
    EXPECT_EQ(Store(map)[0], 2);
}

// Coding 1 written the way a map tool writes it: land as deltas and literals, sea as runs.
Bytes CodingOneCode(const std::vector<std::uint16_t>& v) {
    Bytes code;
    std::uint16_t p = 0;
    for (std::size_t i = 0; i < v.size();) {
        if (v[i] == 0) {
            std::size_t n = 0;
            while (i + n < v.size() && v[i + n] == 0 && n < 0xFFFF)
                ++n;
            code.push_back(0x81);
            code.push_back(static_cast<std::uint8_t>(n));
            code.push_back(static_cast<std::uint8_t>(n >> 8));
            p = 0;
            i += n;
            continue;
        }
        const int d = v[i] - p;
        if (d >= -126 && d <= 126) {
            code.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(d)));
        } else {
            code.push_back(0x7F);
            code.push_back(static_cast<std::uint8_t>(v[i]));
            code.push_back(static_cast<std::uint8_t>(v[i] >> 8));
        }
        p = v[i];
        ++i;
    }
    return code;
}

TEST(ElevationCoding, CodingOneRoundTripsRandomRastersWithSeaRuns) {
    Random rnd(23);
    for (int round = 0; round < 20; ++round) {
        const int w = 1 + rnd.Below(60), h = 1 + rnd.Below(30);
        const auto v = RandomRaster(rnd, w, h);
        CCtrlElvMap map;
        ASSERT_TRUE(Load(map, ElvCodeStream(1, w, h, CodingOneCode(v))));
        EXPECT_EQ(Samples(map), v);
    }
}

TEST(ElevationCoding, CodingOneNeverTurnsLandIntoSea) {
    struct Case {
        const char* name;
        Bytes code;
        std::vector<std::uint16_t> samples;
    };
    const std::vector<Case> cases = {
        {"a delta down to zero gives 1", {0x05, 0xFB, 0x02}, {5, 1, 3}},
        {"a literal zero gives 1", {0x7F, 0x00, 0x00, 0x01}, {1, 2}},
        {"a delta of zero from the start gives 1", {0x00, 0x00}, {1, 1}},
        {"a short run is sea and resets the previous value", {0x09, 0x81, 0x02, 0x00, 0x04}, {9, 0, 0, 4}},
        {"a long run is sea", {0x09, 0x80, 0x01, 0x00, 0x00, 0x00, 0x04}, {9, 0, 4}},
    };
    for (const auto& c : cases) {
        CCtrlElvMap map;
        const int w = static_cast<int>(c.samples.size());
        ASSERT_TRUE(Load(map, ElvCodeStream(1, static_cast<std::int16_t>(w), 1, c.code))) << c.name;
        EXPECT_EQ(Samples(map), c.samples) << c.name;
    }
    // The same bytes in coding 2: zero stays zero and runs repeat the previous value.
    CCtrlElvMap map;
    ASSERT_TRUE(Load(map, ElvCodeStream(2, 4, 1, {0x09, 0x81, 0x02, 0x00, 0xF7})));
    EXPECT_EQ(Samples(map), (std::vector<std::uint16_t>{9, 9, 9, 0}));
    // Random code bytes in coding 1 never produce sea outside runs.
    Random rnd(3);
    for (int round = 0; round < 200; ++round) {
        Bytes code;
        for (int i = 0; i < 40; ++i) {
            int b = rnd.Below(256);
            if (b == 0x7F || b == 0x80 || b == 0x81) b = 0;
            code.push_back(static_cast<std::uint8_t>(b));
        }
        CCtrlElvMap m;
        ASSERT_TRUE(Load(m, ElvCodeStream(1, 40, 1, code)));
        for (auto s : Samples(m))
            EXPECT_NE(s, 0);
    }
}

TEST(ElevationCoding, DeltasWrapAtSixteenBits) {
    CCtrlElvMap map;
    ASSERT_TRUE(Load(map, ElvCodeStream(2, 2, 1, {0x7F, 0xFF, 0xFF, 0x02})));
    EXPECT_EQ(Samples(map), (std::vector<std::uint16_t>{65535, 1}));
}

// A grey JPEG of the raster scaled to 0..255, and the stream of coding 3 around it.
struct JpegRelief {
    Bytes jpeg;
    Bytes stream;
    std::uint16_t max = 0;
};

JpegRelief MakeJpegRelief(int w, int h, int jpegW, int jpegH, std::uint16_t max) {
    MbBmp::CControlBmp grey;
    EXPECT_TRUE(grey.CreateBitmap(jpegW, jpegH, 8));
    for (int y = 0; y < jpegH; ++y)
        for (int x = 0; x < jpegW; ++x)
            grey.GetLinePtr(y)[x] = static_cast<std::uint8_t>((x * 37 + y * 11) % 256);
    JpegRelief r;
    r.max = max;
    std::vector<std::uint8_t> buf(static_cast<std::size_t>(jpegW) * jpegH + 65536);
    int size = 0;
    EXPECT_TRUE(grey.CompressSaveJpeg(buf.data(), static_cast<int>(buf.size()), &size, 90));
    r.jpeg.assign(buf.begin(), buf.begin() + size);
    ArchiveWriter ar;
    ar.WriteU16(3);
    ar.WriteI16(static_cast<std::int16_t>(w));
    ar.WriteI16(static_cast<std::int16_t>(h));
    ar.WriteU16(max);
    ar.WriteU32(static_cast<std::uint32_t>(r.jpeg.size()));
    ar.WriteBytes(r.jpeg.data(), r.jpeg.size());
    r.stream = ar.Take();
    return r;
}

TEST(ElevationCoding, CodingThreeScalesTheGreyImageAndKeepsItsBytes) {
    const int w = 24, h = 16;
    const JpegRelief r = MakeJpegRelief(w, h, w, h, 1000);
    MbBmp::CControlBmp decoded;
    ASSERT_TRUE(decoded.LoadJpegData(r.jpeg.data(), static_cast<int>(r.jpeg.size()), false));
    ASSERT_EQ(decoded.GetBitCount(), 8);

    CCtrlElvMap map;
    ASSERT_TRUE(Load(map, r.stream));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(map.GetElevation(x, y), decoded.GetLinePtr(y)[x] * 1000 / 255) << x << "," << y;
    for (int y = 0; y < h; ++y)
        EXPECT_EQ(map.GetElevation(w, y), map.GetElevation(w - 1, y));
    for (int x = 0; x <= w; ++x)
        EXPECT_EQ(map.GetElevation(x, h), map.GetElevation(x, h - 1));
    EXPECT_EQ(map.GetCompressedData(), r.jpeg);
    EXPECT_EQ(map.GetCompressedMaxElevation(), 1000);

    // Save type 0 stores coding 2; save type 1 stores the kept JPEG bytes unchanged.
    EXPECT_EQ(Store(map)[0], 2);
    map.SetSaveType(1);
    EXPECT_EQ(Store(map), r.stream);

    // Flattening drops the JPEG: coding 2 even with save type 1.
    map.EraseLandTopography();
    EXPECT_EQ(map.GetCompressedDataSize(), 0);
    const Bytes flat = Store(map);
    EXPECT_EQ(flat[0], 2);
    CCtrlElvMap back;
    ASSERT_TRUE(Load(back, flat));
    for (auto s : Samples(back))
        EXPECT_LE(s, 1);
}

TEST(ElevationCoding, LoadingReplacesTheStretchedCopy) {
    CCtrlElvMap map;
    MakeView(map, 8, 8);
    ASSERT_FALSE(map.GetStretchedData().empty());
    CCtrlElvMap other;
    SetSamples(other, 3, 2, {1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(Load(map, Store(other)));
    EXPECT_TRUE(map.GetStretchedData().empty());
    EXPECT_EQ(map.GetCachedView(), (std::array<int, 6>{0, 0, 0, 0, 0, 0}));
}

// ---- Refused streams ------------------------------------------------------------------------------

struct BadCase {
    const char* name;
    Bytes stream;
    ElvLoadError error;
};

TEST(ElevationCoding, BadStreamsAreRefusedAndLeaveTheMapAsItWas) {
    Bytes hugeRun = ElvCodeStream(2, 2, 2, {0x80, 0xFF, 0xFF, 0xFF, 0xFF});
    Bytes lyingCount = ElvCodeStream(2, 2, 2, {0x01, 0x02});
    lyingCount[6] = 200;  // n says 200 code bytes, 2 follow
    const JpegRelief wrongSize = MakeJpegRelief(5, 3, 4, 3, 100);
    JpegRelief garbage = MakeJpegRelief(4, 3, 4, 3, 100);
    for (std::size_t i = 20; i < garbage.stream.size(); ++i)
        garbage.stream[i] = static_cast<std::uint8_t>(i * 7);
    Bytes raw = ElvHead(0, 3, 2);
    raw.insert(raw.end(), 10, 0);  // 12 needed

    const std::vector<BadCase> cases = {
        {"empty", {}, ElvLoadError::kTruncated},
        {"head cut off", {0x02, 0x00, 0x03}, ElvLoadError::kTruncated},
        {"unknown coding", ElvHead(4, 3, 3), ElvLoadError::kBadCoding},
        {"unknown coding of an empty map", ElvHead(9, 0, 0), ElvLoadError::kBadCoding},
        {"negative width", ElvHead(2, -1, 5), ElvLoadError::kBadSize},
        {"negative height", ElvHead(2, 5, -32768), ElvLoadError::kBadSize},
        {"oversized", ElvCodeStream(2, 32767, 32767, {0x80, 0x01, 0x00, 0x00, 0x00}),
         ElvLoadError::kTooLarge},
        {"raw rows cut off", raw, ElvLoadError::kTruncated},
        {"code count beyond the stream", lyingCount, ElvLoadError::kTruncated},
        {"code runs past the raster", ElvCodeStream(2, 2, 2, {0x81, 0x05, 0x00}), ElvLoadError::kBadCode},
        {"huge long run", hugeRun, ElvLoadError::kBadCode},
        {"code too short for the raster", ElvCodeStream(2, 2, 2, {0x05}), ElvLoadError::kBadCode},
        {"literal cut off inside the code", ElvCodeStream(2, 1, 1, {0x7F, 0x01}), ElvLoadError::kBadCode},
        {"run count cut off inside the code", ElvCodeStream(1, 9, 1, {0x80, 0x09, 0x00}),
         ElvLoadError::kBadCode},
        {"jpeg of the wrong size", wrongSize.stream, ElvLoadError::kBadJpeg},
        {"jpeg bytes damaged", garbage.stream, ElvLoadError::kBadJpeg},
        {"not a jpeg", ElvCodeStream(3, 2, 2, {0x00, 0x00, 0x01, 0x02, 0x03}), ElvLoadError::kBadJpeg},
    };
    for (const auto& c : cases) {
        CCtrlElvMap map;
        SetSamples(map, 3, 2, {1, 2, 3, 4, 5, 6});
        map.StretchElevationData(0, 0, 3, 2, 6, 4);
        const auto view = map.GetCachedView();
        const Bytes before = Store(map);
        ArchiveReader ar(c.stream);
        ElvLoadError error = ElvLoadError::kNone;
        EXPECT_FALSE(map.Serialize(ar, &error)) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
        EXPECT_FALSE(ar.Ok()) << c.name;
        EXPECT_STREQ(Mb3dMap::ElvLoadErrorMessage(error), "標高データファイル(.elv)の内容が異常です")
            << c.name;
        EXPECT_EQ(Store(map), before) << c.name;
        EXPECT_EQ(map.GetMapWidth(), 3) << c.name;
        EXPECT_EQ(map.GetCachedView(), view) << c.name;
        EXPECT_FALSE(map.GetStretchedData().empty()) << c.name;
    }
    EXPECT_STREQ(Mb3dMap::ElvLoadErrorMessage(ElvLoadError::kNone), "");
}

TEST(ElevationCoding, EveryCutOfAGoodStreamIsRefused) {
    Random rnd(8);
    const auto v = RandomRaster(rnd, 9, 7);
    CCtrlElvMap src;
    SetSamples(src, 9, 7, v);
    std::vector<Bytes> streams = {Store(src), ElvCodeStream(1, 9, 7, CodingOneCode(v)),
                                  MakeJpegRelief(9, 7, 9, 7, 500).stream};
    ArchiveWriter raw;
    raw.WriteU16(0);
    raw.WriteI16(9);
    raw.WriteI16(7);
    for (auto s : v)
        raw.WriteU16(s);
    streams.push_back(raw.Take());
    for (const Bytes& s : streams) {
        for (std::size_t n = 0; n < s.size(); ++n) {
            CCtrlElvMap map;
            EXPECT_FALSE(Load(map, Bytes(s.begin(), s.begin() + n)))
                << "coding " << int{s[0]} << " cut at " << n;
            EXPECT_EQ(map.GetMapWidth(), 0);
        }
        CCtrlElvMap map;
        EXPECT_TRUE(Load(map, s)) << "coding " << int{s[0]};
    }
}

TEST(ElevationCoding, DecoderNeverWritesPastTheRows) {
    // Decoding into exactly W x H samples with a stride: the samples between rows stay untouched.
    std::vector<std::uint16_t> buf(3 * 4, 0xBEEF);
    ASSERT_TRUE(Mb3dMap::DecodeElevationCode(Bytes{0x81, 0x06, 0x00}.data(), 3, 2, buf.data(), 4, 3, 2));
    EXPECT_EQ(buf,
              (std::vector<std::uint16_t>{0, 0, 0, 0xBEEF, 0, 0, 0, 0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF}));
    EXPECT_FALSE(Mb3dMap::DecodeElevationCode(Bytes{0x81, 0x07, 0x00}.data(), 3, 2, buf.data(), 4, 3, 2));
    EXPECT_EQ(Mb3dMap::CountElevationCode(Bytes{0x81, 0x07, 0x00, 0x01}.data(), 4, 100), 8);
    EXPECT_EQ(Mb3dMap::CountElevationCode(Bytes{0x81, 0x07}.data(), 2, 100), -1);
    EXPECT_EQ(Mb3dMap::CountElevationCode(Bytes{0x80, 0xFF, 0xFF, 0xFF, 0xFF}.data(), 5, 100), 101);
}

}  // namespace
}  // namespace rymd::test
