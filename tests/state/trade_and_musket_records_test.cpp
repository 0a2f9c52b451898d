#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "game/state/byte_codec.h"
#include "game/state/scenario_records.h"
#include "game/state/trading_partner.h"
#include "platform/core/archive.h"

namespace rymd::test {
namespace {

constexpr TextEncoding kSjis = TextEncoding::ShiftJis;

std::unique_ptr<CTradingPartner> SamplePartner() {
    auto p = std::make_unique<CTradingPartner>();
    p->name = "明国";
    for (std::size_t i = 0; i < p->friendliness.size(); ++i)
        p->friendliness[i] = static_cast<std::uint8_t>(i % 101);
    for (std::size_t k = 0; k < 250; ++k) {
        p->sales[k] = static_cast<std::uint32_t>(100000 + k);
        p->months[k] = static_cast<std::int8_t>(static_cast<int>(k % 7) - 1);
    }
    for (std::size_t s = 0; s < p->ports.size(); ++s)
        p->ports[s] = static_cast<std::uint8_t>(s % 2);
    return p;
}

TEST(TradingPartnerRecord, RoundTripWithTheGameCounts) {
    auto p = SamplePartner();
    ArchiveWriter w;
    p->Write(w, 3, 5, 7, kSjis);
    EXPECT_EQ(w.Size(), 21u + 3 + 5 * 4 + 5 + 7);
    const std::vector<std::uint8_t> bytes = w.Take();

    ArchiveReader r(bytes);
    auto back = std::make_unique<CTradingPartner>();
    back->friendliness[3] = 9;  // past the counts: comes back 0
    ASSERT_TRUE(back->Read(r, 3, 5, 7, kSjis));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(back->name, "明国");
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(back->friendliness[i], p->friendliness[i]);
    EXPECT_EQ(back->friendliness[3], 0);
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(back->sales[k], p->sales[k]);
        EXPECT_EQ(back->months[k], p->months[k]);
    }
    EXPECT_EQ(back->sales[5], 0u);
    for (std::size_t s = 0; s < 7; ++s)
        EXPECT_EQ(back->ports[s], p->ports[s]);
    EXPECT_EQ(back->ports[7], 0);
}

TEST(TradingPartnerRecord, NoProvincesAndNoCastlesMoveOnlyNameAndFriendliness) {
    auto p = SamplePartner();
    ArchiveWriter w;
    p->Write(w, 2, 0, 0, kSjis);
    const std::vector<std::uint8_t> bytes = w.Take();
    ASSERT_EQ(bytes.size(), 23u);
    EXPECT_EQ(bytes[21], p->friendliness[0]);
    EXPECT_EQ(bytes[22], p->friendliness[1]);
}

TEST(TradingPartnerRecord, DamagedDataIsRefused) {
    auto p = SamplePartner();
    ArchiveWriter w;
    p->Write(w, 3, 5, 7, kSjis);
    const std::vector<std::uint8_t> good = w.Take();

    auto kept = std::make_unique<CTradingPartner>();
    kept->name = "before";
    for (auto [d, k, s] :
         {std::tuple{1001, 5, 7}, std::tuple{3, 251, 7}, std::tuple{3, 5, 10001}, std::tuple{-1, 5, 7}}) {
        ArchiveReader r(good);
        EXPECT_FALSE(kept->Read(r, d, k, s, kSjis));
        EXPECT_FALSE(r.Ok());
    }
    std::vector<std::uint8_t> noTerminator = good;
    std::memset(noTerminator.data(), 'x', 21);
    ArchiveReader r(noTerminator);
    EXPECT_FALSE(kept->Read(r, 3, 5, 7, kSjis));
    for (std::size_t n = 0; n < good.size(); ++n) {
        ArchiveReader cut(good.data(), n);
        EXPECT_FALSE(kept->Read(cut, 3, 5, 7, kSjis)) << n;
    }
    EXPECT_EQ(kept->name, "before");
}

TEST(TradingPartnerRecord, OldSavesHoldAFixedImage) {
    std::vector<std::uint8_t> image(CTradingPartner::kOldStoredSize, 0);
    const std::string name = FromUtf8("南蛮", kSjis);
    std::memcpy(image.data() + 4, name.data(), name.size());
    image[25] = 30;                                   // friendliness of house 0
    image[25 + 999] = 70;                             // of house 999
    bytes::PutU32(image.data(), 1028 + 4 * 2, 5000);  // sales of province 2
    image[2028 + 249] = 0xFF;                         // months of province 249: -1
    image[2278 + 1999] = 1;                           // port of castle 1999
    image[2278] = 1;

    ArchiveReader r(image);
    auto p = std::make_unique<CTradingPartner>();
    p->ports[2500] = 1;
    ASSERT_TRUE(p->ReadOld(r, kSjis));
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(p->name, "南蛮");
    EXPECT_EQ(p->friendliness[0], 30);
    EXPECT_EQ(p->friendliness[999], 70);
    EXPECT_EQ(p->sales[2], 5000u);
    EXPECT_EQ(p->months[249], -1);
    EXPECT_EQ(p->ports[0], 1);
    EXPECT_EQ(p->ports[1999], 1);
    EXPECT_EQ(p->ports[2500], 0);

    std::vector<std::uint8_t> shortImage(image.begin(), image.end() - 1);
    ArchiveReader cut(shortImage);
    EXPECT_FALSE(p->ReadOld(cut, kSjis));
}

TEST(TradingPartnerRecord, TheTableChecksItsCount) {
    std::vector<CTradingPartner> table(101);
    table[0].name = "航海訓練";
    table[1] = *SamplePartner();
    ArchiveWriter w;
    WriteTradingPartnerTable(w, table, 2, 3, 5, 7, kSjis);
    const std::vector<std::uint8_t> bytes = w.Take();

    std::vector<CTradingPartner> back(101);
    ArchiveReader r(bytes);
    ASSERT_TRUE(ReadTradingPartnerTable(r, back, 2, 110, 3, 5, 7, kSjis));
    EXPECT_EQ(back[0].name, "航海訓練");
    EXPECT_EQ(back[1].sales[4], table[1].sales[4]);

    std::vector<CTradingPartner> untouched(101);
    for (int count : {-1, 102}) {
        ArchiveReader bad(bytes);
        EXPECT_FALSE(ReadTradingPartnerTable(bad, untouched, count, 110, 3, 5, 7, kSjis)) << count;
    }
    ArchiveReader tooFew(bytes);
    EXPECT_FALSE(ReadTradingPartnerTable(tooFew, untouched, 3, 110, 3, 5, 7, kSjis));
    EXPECT_EQ(untouched[0].name, "");
}

// --- musket records ------------------------------------------------------------------------------

TEST(MusketRecords, ProductionImage) {
    TeppouSeisanRecord r{1560, 1.5, 0.25, 30.0, 2.75};
    std::uint8_t image[TeppouSeisanRecord::kStoredSize];
    Encode(r, image);
    EXPECT_EQ(bytes::GetI16(image, 0), 1560);
    EXPECT_EQ(bytes::GetF64(image, 26), 2.75);  // the current rate sits at byte 26
    TeppouSeisanRecord back;
    ASSERT_TRUE(Decode(image, back));
    EXPECT_EQ(back.startYear, 1560);
    EXPECT_EQ(back.initRate, 1.5);
    EXPECT_EQ(back.increase, 0.25);
    EXPECT_EQ(back.cap, 30.0);
    EXPECT_EQ(back.current, 2.75);

    bytes::PutF64(image, 18, std::numeric_limits<double>::quiet_NaN());
    EXPECT_FALSE(Decode(image, back));
    EXPECT_EQ(back.cap, 30.0);
}

TEST(MusketRecords, PurchasePlaceImage) {
    TeppouKounyuuRecord r;
    r.name = "堺";
    for (std::size_t k = 0; k < 250; ++k)
        r.months[k] = static_cast<std::int8_t>(k % 5 - 1);
    r.startYear = 1543;
    r.initPrice = 500;
    r.priceDecrease = 2.5;
    r.priceFloor = 100;
    r.currentPrice = 480;
    r.initOffer = 10;
    r.offerIncrease = 1;
    r.offerCap = 300;
    r.currentOffer = 12;
    r.dialogWork = 40000;  // above the range of a signed 16-bit count
    std::uint8_t image[TeppouKounyuuRecord::kStoredSize];
    Encode(r, image, kSjis);
    EXPECT_EQ(bytes::GetI8(image, 21 + 249), r.months[249]);
    EXPECT_EQ(image[271], 0);  // padding
    EXPECT_EQ(bytes::GetI16(image, 272), 1543);
    EXPECT_EQ(bytes::GetF64(image, 298), 480.0);
    EXPECT_EQ(bytes::GetF64(image, 330), 12.0);
    EXPECT_EQ(bytes::GetU16(image, 338), 40000);

    TeppouKounyuuRecord back;
    ASSERT_TRUE(Decode(image, back, kSjis));
    EXPECT_EQ(back.name, "堺");
    EXPECT_EQ(back.months, r.months);
    EXPECT_EQ(back.startYear, r.startYear);
    EXPECT_EQ(back.initPrice, r.initPrice);
    EXPECT_EQ(back.priceDecrease, r.priceDecrease);
    EXPECT_EQ(back.priceFloor, r.priceFloor);
    EXPECT_EQ(back.currentPrice, r.currentPrice);
    EXPECT_EQ(back.initOffer, r.initOffer);
    EXPECT_EQ(back.offerIncrease, r.offerIncrease);
    EXPECT_EQ(back.offerCap, r.offerCap);
    EXPECT_EQ(back.currentOffer, r.currentOffer);
    EXPECT_EQ(back.dialogWork, r.dialogWork);

    std::uint8_t bad[TeppouKounyuuRecord::kStoredSize];
    std::memcpy(bad, image, sizeof bad);
    std::memset(bad, 'x', 21);  // no terminator
    EXPECT_FALSE(Decode(bad, back, kSjis));
    std::memcpy(bad, image, sizeof bad);
    bytes::PutF64(bad, 314, std::numeric_limits<double>::infinity());
    EXPECT_FALSE(Decode(bad, back, kSjis));
}

}  // namespace
}  // namespace rymd::test
