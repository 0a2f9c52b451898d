// Trade partners: the Trading, TradingPartner, TradingPort, TradingKuni and TradingMonth
// sections.
//
// Partner 0 is always the built-in sea training; the first trading section of a file makes it.
// The others are declared by Trading (every castle a port, one sales value everywhere) or by
// TradingPartner (no port yet), then shaped per castle and per province.
#include <algorithm>

#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {

constexpr std::size_t kTokenSize = 100;
constexpr std::size_t kMaxIdBytes = 25;

constexpr int kErrBadShiroId = 15;
constexpr int kErrTooManyPartners = 36;
constexpr int kErrPartnerIdTooLong = 37;
constexpr int kErrPartnerIdTwice = 38;
constexpr int kErrPartnerNameTooLong = 39;
constexpr int kErrBadPartnerId = 40;

constexpr const char* kSeaTrainingName = "航海訓練";

}  // namespace

int CScenarioReader::ReadTrading() {
    return DeclareTradingPartners(true);
}

int CScenarioReader::ReadTradingPartner() {
    return DeclareTradingPartners(false);
}

// Trading lines (identifier, name, sales) or TradingPartner lines (identifier, name).
int CScenarioReader::DeclareTradingPartners(bool trading) {
    if (nTradingPartner_ == 0) {
        // Sea training: one month from anywhere, no sales, every castle may sail.
        CTradingPartner& training = gs_.TradingPartnerTbl[0];
        training.name = kSeaTrainingName;
        training.friendliness.fill(0);
        training.sales.fill(0);
        training.months.fill(1);
        training.ports.fill(1);
        StoreId(tradingPartnerIds_[0], std::string());  // no identifier: never found by a lookup
        nTradingPartner_ = 1;
    }
    std::string id, name;
    for (;;) {
        int r = ReadLineStart(id, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        if (nTradingPartner_ >= GameState::kMaxTradingPartner) return kErrTooManyPartners;
        if (id.size() > kMaxIdBytes) return kErrPartnerIdTooLong;
        if (FindNamedId(tradingPartnerIds_, nTradingPartner_, id) >= 0) return kErrPartnerIdTwice;
        StoreId(tradingPartnerIds_[static_cast<std::size_t>(nTradingPartner_)], id);
        if (int e = ReadWordField(name, !trading, kTokenSize); e != kScnOk) return e;
        if (name.size() > CTradingPartner::kNameBytes) return kErrPartnerNameTooLong;
        int sales = 0;
        if (trading)
            if (int e = ReadIntField(sales, true, kTokenSize); e != kScnOk) return e;

        CTradingPartner& partner = gs_.TradingPartnerTbl[static_cast<std::size_t>(nTradingPartner_)];
        partner.name = name;  // file bytes until the whole file is read
        partner.friendliness.fill(0);
        partner.sales.fill(static_cast<std::uint32_t>(sales));
        partner.months.fill(4);
        partner.ports.fill(trading ? 1 : 0);
        ++nTradingPartner_;
    }
}

// Lines of a partner and the castles that may send ships to it.
int CScenarioReader::ReadTradingPort() {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        const int partner = FindNamedId(tradingPartnerIds_, nTradingPartner_, token);
        if (partner < 0) return kErrBadPartnerId;
        for (;;) {
            const int end = ReadToken(token, kTokenSize);
            if (end == kEndOfFile) return kStopAtEof;
            const int shiro = FindId(shiroIds_, nShiro_, token);
            if (shiro < 0) return kErrBadShiroId;
            gs_.TradingPartnerTbl[static_cast<std::size_t>(partner)].ports[static_cast<std::size_t>(shiro)] =
                1;
            if (end == kEndOfLine) break;
        }
    }
}

// Lines of a partner, voyage months, sales and the provinces they hold for.
int CScenarioReader::ReadTradingKuni() {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        const int partner = FindNamedId(tradingPartnerIds_, nTradingPartner_, token);
        if (partner < 0) return kErrBadPartnerId;
        int months = 0, sales = 0;
        if (int e = ReadIntField(months, false, kTokenSize); e != kScnOk) return e;
        if (int e = ReadIntField(sales, false, kTokenSize); e != kScnOk) return e;
        CTradingPartner& p = gs_.TradingPartnerTbl[static_cast<std::size_t>(partner)];
        if (int e = ReadPlaceList(p.months.data(), p.sales.data(), months, sales); e != kScnOk) return e;
    }
}

// Lines of a partner, voyage months and the provinces they hold for.
int CScenarioReader::ReadTradingMonth() {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kTokenSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        const int partner = FindNamedId(tradingPartnerIds_, nTradingPartner_, token);
        if (partner < 0) return kErrBadPartnerId;
        int months = 0;
        if (int e = ReadIntField(months, false, kTokenSize); e != kScnOk) return e;
        CTradingPartner& p = gs_.TradingPartnerTbl[static_cast<std::size_t>(partner)];
        if (int e = ReadPlaceList(p.months.data(), nullptr, months, 0); e != kScnOk) return e;
    }
}

// Province identifiers (or K_ALL for every province) up to the end of the line: each gets the
// months (kept in a signed byte, modulo 256) and, when sales is given, the sales.
int CScenarioReader::ReadPlaceList(std::int8_t* months, std::uint32_t* sales, int monthValue,
                                   int salesValue) {
    auto set = [&](int kuni) {
        months[kuni] = static_cast<std::int8_t>(monthValue);
        if (sales) sales[kuni] = static_cast<std::uint32_t>(salesValue);
    };
    std::string token;
    for (;;) {
        const int end = ReadToken(token, kTokenSize);
        if (end == kEndOfFile) return kStopAtEof;
        if (token == "K_ALL") {
            const int n = std::min(map_.KuniCount(), GameState::kMaxKuni);
            for (int k = 0; k < n; ++k)
                set(k);
        } else {
            const int kuni = map_.FindKuni(token);
            if (kuni < 0 || kuni >= GameState::kMaxKuni) return kScnBadKuniId;
            set(kuni);
        }
        if (end == kEndOfLine) return kScnOk;
    }
}

// Names of the declared partners and of the musket purchase places: file bytes to UTF-8.
void CScenarioReader::ConvertTradeTexts(TextEncoding enc) {
    for (int i = 1; i < nTradingPartner_; ++i) {  // partner 0 is built in
        CTradingPartner& p = gs_.TradingPartnerTbl[static_cast<std::size_t>(i)];
        p.name = ToUtf8(p.name, enc);
    }
    for (int i = 0; i < nTeppouPlace_; ++i) {
        TeppouKounyuuRecord& place = gs_.TeppouKounyuuTbl[static_cast<std::size_t>(i)];
        place.name = ToUtf8(place.name, enc);
    }
}

}  // namespace rymd
