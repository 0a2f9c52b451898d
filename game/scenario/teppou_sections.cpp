// Muskets: the keywords TeppouCost, TeppouSoubiRitsu and TeppouKouka, the sections
// TeppouKounyuu, TeppouKounyuuMonth and TeppouSeisan, and the stored forms of the musket
// records.
#include <cmath>
#include <cstring>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/state/byte_codec.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"

namespace rymd {

namespace {

constexpr std::size_t kTokenSize = 100;
constexpr std::size_t kMaxIdBytes = 25;
constexpr std::size_t kMaxNameBytes = 20;

constexpr int kErrTooManyPlaces = 52;
constexpr int kErrPlaceIdTooLong = 53;
constexpr int kErrPlaceIdTwice = 54;
constexpr int kErrPlaceNameTooLong = 55;
constexpr int kErrBadPlaceId = 56;
constexpr int kErrBadKouka = 59;

}  // namespace

// A decimal field of a line (no exponent; a value that is not a finite number is refused too).
int CScenarioReader::ReadDecimalField(double& value, bool last, int notNumberCode, std::size_t size) {
    std::string token;
    const int end = ReadToken(token, size);
    if (end == kEndOfFile) return kStopAtEof;
    double v = 0.0;
    if (!ParseFloat(token, v) || !std::isfinite(v)) return notNumberCode;
    if ((end == kEndOfLine) != last) return kScnSyntax;
    value = v;
    return kScnOk;
}

// Initial cost, monthly decrease, floor.
int CScenarioReader::ReadTeppouCost() {
    for (int i = 0; i < 3; ++i)
        if (int e = ReadDecimalField(teppouCost_[i], i == 2, kScnNotReal); e != kScnOk) return e;
    return kScnOk;
}

// Initial ratio, monthly increase, cap.
int CScenarioReader::ReadTeppouSoubiRitsu() {
    for (int i = 0; i < 3; ++i)
        if (int e = ReadDecimalField(teppouSoubiRitsu_[i], i == 2, kScnNotReal); e != kScnOk) return e;
    return kScnOk;
}

// Four effect values 0..100, each kept as soon as it is read.
int CScenarioReader::ReadTeppouKouka() {
    for (int i = 0; i < 4; ++i) {
        int value = 0;
        if (int e = ReadIntField(value, i == 3); e != kScnOk) return e;
        if (value < 0 || value > 100) return kErrBadKouka;
        teppouKouka_[i] = static_cast<std::uint8_t>(value);
    }
    return kScnOk;
}

// Purchase places: identifier, name, start year, price (initial, decrease, floor) and number on
// offer (initial, increase, cap).
int CScenarioReader::ReadTeppouKounyuu() {
    std::string id, name;
    for (;;) {
        int r = ReadLineStart(id, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        if (nTeppouPlace_ >= GameState::kMaxTeppouKounyuu) return kErrTooManyPlaces;
        if (id.size() > kMaxIdBytes) return kErrPlaceIdTooLong;
        if (FindId(teppouPlaceIds_, nTeppouPlace_, id) >= 0) return kErrPlaceIdTwice;
        StoreId(teppouPlaceIds_[static_cast<std::size_t>(nTeppouPlace_)], id);
        if (int e = ReadWordField(name, false); e != kScnOk) return e;
        if (name.size() > kMaxNameBytes) return kErrPlaceNameTooLong;
        int startYear = 0;
        if (int e = ReadIntField(startYear, false); e != kScnOk) return e;
        double v[6];
        for (int i = 0; i < 6; ++i)
            if (int e = ReadDecimalField(v[i], i == 5, kScnNotReal); e != kScnOk) return e;

        TeppouKounyuuRecord& place = gs_.TeppouKounyuuTbl[static_cast<std::size_t>(nTeppouPlace_)];
        place = TeppouKounyuuRecord{};
        place.name = name;  // file bytes until the whole file is read
        place.months.fill(4);
        place.startYear = static_cast<std::int16_t>(startYear);
        place.initPrice = v[0];
        place.priceDecrease = v[1];
        place.priceFloor = v[2];
        place.initOffer = v[3];
        place.offerIncrease = v[4];
        place.offerCap = v[5];
        ++nTeppouPlace_;
    }
}

// Lines of a purchase place, delivery months and the provinces (or K_ALL) they hold for.
int CScenarioReader::ReadTeppouKounyuuMonth() {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        const int place = FindId(teppouPlaceIds_, nTeppouPlace_, token);
        if (place < 0) return kErrBadPlaceId;
        int months = 0;
        if (int e = ReadIntField(months, false); e != kScnOk) return e;
        TeppouKounyuuRecord& p = gs_.TeppouKounyuuTbl[static_cast<std::size_t>(place)];
        if (int e = ReadPlaceList(p.months.data(), nullptr, months, 0); e != kScnOk) return e;
    }
}

// Musket production: province, start year, rate (initial, increase, cap).
int CScenarioReader::ReadTeppouSeisan() {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        const int kuni = map_.FindKuni(token);
        if (kuni < 0 || kuni >= GameState::kMaxKuni) return kScnBadKuniId;
        int startYear = 0;
        if (int e = ReadIntField(startYear, false); e != kScnOk) return e;
        double v[3];
        for (int i = 0; i < 3; ++i)
            if (int e = ReadDecimalField(v[i], i == 2, kScnNotReal); e != kScnOk) return e;
        TeppouSeisanRecord& rec = gs_.TeppouSeisanTbl[static_cast<std::size_t>(kuni)];
        rec.startYear = static_cast<std::int16_t>(startYear);
        rec.initRate = v[0];
        rec.increase = v[1];
        rec.cap = v[2];
    }
}

// --- stored forms ------------------------------------------------------------------------------

using namespace bytes;

void Encode(const TeppouSeisanRecord& r, std::uint8_t* out) {
    PutI16(out, 0, r.startYear);
    PutF64(out, 2, r.initRate);
    PutF64(out, 10, r.increase);
    PutF64(out, 18, r.cap);
    PutF64(out, 26, r.current);
}

bool Decode(const std::uint8_t* in, TeppouSeisanRecord& r) {
    TeppouSeisanRecord d;
    d.startYear = GetI16(in, 0);
    d.initRate = GetF64(in, 2);
    d.increase = GetF64(in, 10);
    d.cap = GetF64(in, 18);
    d.current = GetF64(in, 26);
    for (double v : {d.initRate, d.increase, d.cap, d.current})
        if (!std::isfinite(v)) return false;
    r = d;
    return true;
}

void Encode(const TeppouKounyuuRecord& r, std::uint8_t* out, TextEncoding enc) {
    std::memset(out, 0, TeppouKounyuuRecord::kStoredSize);
    PutName(out, 0, r.name, kMaxNameBytes, enc);
    for (std::size_t k = 0; k < r.months.size(); ++k)
        PutI8(out, 21 + k, r.months[k]);
    PutI16(out, 272, r.startYear);
    PutF64(out, 274, r.initPrice);
    PutF64(out, 282, r.priceDecrease);
    PutF64(out, 290, r.priceFloor);
    PutF64(out, 298, r.currentPrice);
    PutF64(out, 306, r.initOffer);
    PutF64(out, 314, r.offerIncrease);
    PutF64(out, 322, r.offerCap);
    PutF64(out, 330, r.currentOffer);
    PutU16(out, 338, r.dialogWork);
}

bool Decode(const std::uint8_t* in, TeppouKounyuuRecord& r, TextEncoding enc) {
    // The name field must hold its terminator.
    if (std::memchr(in, 0, kMaxNameBytes + 1) == nullptr) return false;
    TeppouKounyuuRecord d;
    d.name = GetName(in, 0, kMaxNameBytes, enc);
    for (std::size_t k = 0; k < d.months.size(); ++k)
        d.months[k] = GetI8(in, 21 + k);
    d.startYear = GetI16(in, 272);
    d.initPrice = GetF64(in, 274);
    d.priceDecrease = GetF64(in, 282);
    d.priceFloor = GetF64(in, 290);
    d.currentPrice = GetF64(in, 298);
    d.initOffer = GetF64(in, 306);
    d.offerIncrease = GetF64(in, 314);
    d.offerCap = GetF64(in, 322);
    d.currentOffer = GetF64(in, 330);
    d.dialogWork = GetU16(in, 338);
    for (double v : {d.initPrice, d.priceDecrease, d.priceFloor, d.currentPrice, d.initOffer, d.offerIncrease,
                     d.offerCap, d.currentOffer})
        if (!std::isfinite(v)) return false;
    r = std::move(d);
    return true;
}

}  // namespace rymd
