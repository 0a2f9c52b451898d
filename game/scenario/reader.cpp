// Scenario reader: defaults, the keyword chain and what happens after the last line.
#include "game/scenario/reader.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>

#include "game/state/game_state.h"
#include "game/state/name_index.h"
#include "game/scenario/errors.h"
#include "game/state/vocabulary.h"
#include "game/ports/ports.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"

namespace rymd {

namespace {

constexpr std::size_t kValueSize = 100;  // keywords and scalar values: at most 99 bytes

// Identifier slot buffers of the sections, in slots of kIdSize bytes.
constexpr int kIdSlotsDaimyou = 1000, kIdSlotsShiroType = 1000, kIdSlotsShiro = 10000, kIdSlotsBushou = 30000,
              kIdSlotsTradingPartner = 101, kIdSlotsTeppouPlace = 10, kIdSlotsEvent = 200,
              kIdSlotsConditionalEvent = 2000;

}  // namespace

CScenarioReader::CScenarioReader(GameState& gs, MbKorMap::CCtrlKorMap& map, const Ports& ports,
                                 std::string programFolder)
    : gs_(gs),
      map_(map),
      ports_(ports),
      programFolder_(std::move(programFolder)),
      daimyouIds_(kIdSlotsDaimyou),
      shiroTypeIds_(kIdSlotsShiroType),
      shiroIds_(kIdSlotsShiro),
      bushouIds_(kIdSlotsBushou),
      eventIds_(kIdSlotsEvent),
      conditionalEventIds_(kIdSlotsConditionalEvent),
      tradingPartnerIds_(kIdSlotsTradingPartner),
      teppouPlaceIds_(kIdSlotsTeppouPlace) {}

int CScenarioReader::ReadScenario() {
    std::optional<std::string> path = ports_.ask->AskOpenFile(
        "シナリオデータを選択してください", "Scenario Files (*.snr)|*.snr||", programFolder_);
    if (!path) return kScnCancelled;
    return ReadScenarioFile(*path);
}

void CScenarioReader::ResetOnOpen() {
    gs_.nRoutePoint = 1;
    gs_.ShiroRoutePoints[0] = RoutePoint{-1, -1};
    gs_.ConditionalEventArray.clear();
    gs_.ColorPallet.fill(0xFFFFFF);
}

std::string CScenarioReader::FormatError(int code) const {
    if (code == kScnCipher) return ScenarioErrorMessage(code);
    char line[32];
    std::snprintf(line, sizeof line, "(Line No.%d) ", tokenLine_);
    return std::string(ScenarioErrorMessage(code)) + line + messageDetail_;
}

int CScenarioReader::ReadScenarioFile(const std::string& path) {
    if (OpenFile(path)) return kScnFileError;
    return ReadOpenedScenario(DirectoryOf(path));
}

int CScenarioReader::ReadScenarioData(std::vector<std::uint8_t> bytes, const std::string& folder) {
    OpenBytes(std::move(bytes));
    return ReadOpenedScenario(folder);
}

int CScenarioReader::ReadOpenedScenario(const std::string& folder) {
    scenarioFolder_ = folder;
    if (scenarioFolder_.size() > 200) scenarioFolder_.resize(200);
    gs_.ScenarioFolder = scenarioFolder_;
    ResetDefaults();

    int error = ReadKeywords();
    // An enciphered text that does not fit its check value is refused once it has been read.
    if (error == kScnOk && CipherCheckFails()) error = kScnCipher;
    ConvertTexts();

    if (error != kScnOk) {
        ports_.inform->Inform(FormatError(error));
    } else {
        if (!openingText_.empty()) {
            // The opening picture comes from the scenario's folder, else the program's.
            std::vector<std::uint8_t> picture;
            if (!openingImageName_.empty() && !ReadFileBytes(scenarioFolder_ + openingImageName_, picture))
                ReadFileBytes(programFolder_ + openingImageName_, picture);
            ports_.report->ShowLongText(gs_.ScenarioTitle, openingText_, picture, 0xFFFFFF);
        }
        // The ending picture is kept in memory with the game: from the scenario's folder,
        // else the program's. Without one, a picture of an earlier game is dropped.
        if (!endingImageName_.empty()) {
            if (!gs_.ScenarioImage.Load(scenarioFolder_ + endingImageName_))
                gs_.ScenarioImage.Load(programFolder_ + endingImageName_);
        } else {
            gs_.ScenarioImage.Free();
        }
        gs_.ScenarioBgmNormal = bgmNormal_.empty() ? std::string() : scenarioFolder_ + bgmNormal_;
        gs_.ScenarioBgmBattle = bgmBattle_.empty() ? std::string() : scenarioFolder_ + bgmBattle_;
    }
    FinishReading();
    return error;
}

void CScenarioReader::ResetDefaults() {
    standardAge_ = 60;
    mapGiven_ = false;
    endingFromFile_ = false;
    scenarioVer_ = 1;
    gs_.SetScenarioDefaults();
    gs_.ShiroRouteRects.clear();
    mainMapKakudai_[0] = 0;
    std::fill(std::begin(shiroPerKuni_), std::end(shiroPerKuni_), 0);
    openingText_.clear();
    messageDetail_.clear();
    teppouCost_[0] = 300.0, teppouCost_[1] = 1.0, teppouCost_[2] = 50.0;
    teppouSoubiRitsu_[0] = 0.0, teppouSoubiRitsu_[1] = 0.1, teppouSoubiRitsu_[2] = 50.0;
    std::fill(std::begin(teppouKouka_), std::end(teppouKouka_), 10);
    ResetScenarioWords(gs_.ScenarioWords);
    std::fill(std::begin(wordAssigned_), std::end(wordAssigned_), false);
    openingImageName_.clear();
    endingImageName_.clear();
    bgmNormal_.clear();
    bgmBattle_.clear();
    gs_.ExclusionList.clear();
    gs_.ShiroDisabledBits.reset();
}

// --- keyword chain ----------------------------------------------------------------------------

namespace {

// Keywords tested before the map rule, in the order they are tested.
enum class Kw {
    Secret,
    Cipher,
    MapFile,
    ScenarioVer,
    Title,
    Ending,
    StartYear,
    StartMonth,
    HeiUnit,
    ShiroDotSize,
    ShiroHyourouMax,
    DistanceLimit,
    UchijiniKakuritsu,
    SeppukuKakuritsu,
    JuuzokuJoukenHosei,
    ShinjuuJoukenHosei,
    DokuritsuJoukenHosei,
    MainMapMinimumWidth,
    RoadCostBroad,
    RoadCostNarrow,
    RoadCostMountain,
    RoadCostSea,
    ShiroOffset,
    ShiroNameOffset,
    DaimyouNameOffset,
    KouzanPicture,
    KouekisenPicture,
    KouekisenReturnPicture,
    GunsenPicture,
    GunsenCompletePicture,
    GunsenLargePicture,
    TeppouPicture,
    GunsenUnitPictureR,
    GunsenUnitPictureL,
    BGM,
    KouekisenPrice,
    GunsenPrice,
    StandardAge,
    MapMinWidth,
    BushouHojuu,
    Kishuu,
    Keiryaku,
    TekiJouTsuuka,
    Language,
    Opening,
    OpeningImg,
    EndingImg,
    WordAssign,
    Trading,
    TradingPartner,
    MainMapKakudai,
    TeppouCost,
    TeppouSoubiRitsu,
    TeppouKouka,
    // from here on the map must be loaded
    TeppouSeisan,
    TeppouKounyuu,
    TeppouKounyuuMonth,
    TradingMonth,
    TradingKuni,
    TradingPort,
    Daimyou,
    ShiroType,
    Shiro,
    ShiroConnect,
    Bushou,
    Doumei,
    KuniArea,
    SnowKakuritsu,
    RainKakuritsu,
    Event,
    EventDetail,
    ColorPallet,
    Label,
    ConditionalEvent,
    None
};

struct KeywordEntry {
    const char* word;
    Kw kw;
};

constexpr KeywordEntry kKeywords[] = {
    {"Secret", Kw::Secret},
    {"Cipher", Kw::Cipher},
    {"MapFile", Kw::MapFile},
    {"ScenarioVer", Kw::ScenarioVer},
    {"Title", Kw::Title},
    {"Ending", Kw::Ending},
    {"StartYear", Kw::StartYear},
    {"StartMonth", Kw::StartMonth},
    {"HeiUnit", Kw::HeiUnit},
    {"ShiroDotSize", Kw::ShiroDotSize},
    {"ShiroHyourouMax", Kw::ShiroHyourouMax},
    {"DistanceLimit", Kw::DistanceLimit},
    {"UchijiniKakuritsu", Kw::UchijiniKakuritsu},
    {"SeppukuKakuritsu", Kw::SeppukuKakuritsu},
    {"JuuzokuJoukenHosei", Kw::JuuzokuJoukenHosei},
    {"ShinjuuJoukenHosei", Kw::ShinjuuJoukenHosei},
    {"DokuritsuJoukenHosei", Kw::DokuritsuJoukenHosei},
    {"MainMapMinimumWidth", Kw::MainMapMinimumWidth},
    {"RoadCostBroad", Kw::RoadCostBroad},
    {"RoadCostNarrow", Kw::RoadCostNarrow},
    {"RoadCostMountain", Kw::RoadCostMountain},
    {"RoadCostSea", Kw::RoadCostSea},
    {"ShiroOffset", Kw::ShiroOffset},
    {"ShiroNameOffset", Kw::ShiroNameOffset},
    {"DaimyouNameOffset", Kw::DaimyouNameOffset},
    {"KouzanPicture", Kw::KouzanPicture},
    {"KouekisenPicture", Kw::KouekisenPicture},
    {"KouekisenReturnPicture", Kw::KouekisenReturnPicture},
    {"GunsenPicture", Kw::GunsenPicture},
    {"GunsenCompletePicture", Kw::GunsenCompletePicture},
    {"GunsenLargePicture", Kw::GunsenLargePicture},
    {"TeppouPicture", Kw::TeppouPicture},
    {"GunsenUnitPictureR", Kw::GunsenUnitPictureR},
    {"GunsenUnitPictureL", Kw::GunsenUnitPictureL},
    {"BGM", Kw::BGM},
    {"KouekisenPrice", Kw::KouekisenPrice},
    {"GunsenPrice", Kw::GunsenPrice},
    {"StandardAge", Kw::StandardAge},
    {"MapMinWidth", Kw::MapMinWidth},
    {"BushouHojuu", Kw::BushouHojuu},
    {"Kishuu", Kw::Kishuu},
    {"Keiryaku", Kw::Keiryaku},
    {"TekiJouTsuuka", Kw::TekiJouTsuuka},
    {"Language", Kw::Language},
    {"Opening", Kw::Opening},
    {"OpeningImg", Kw::OpeningImg},
    {"EndingImg", Kw::EndingImg},
    {"WordAssign", Kw::WordAssign},
    {"Trading", Kw::Trading},
    {"TradingPartner", Kw::TradingPartner},
    {"MainMapKakudai", Kw::MainMapKakudai},
    {"TeppouCost", Kw::TeppouCost},
    {"TeppouSoubiRitsu", Kw::TeppouSoubiRitsu},
    {"TeppouKouka", Kw::TeppouKouka},
    {"TeppouSeisan", Kw::TeppouSeisan},
    {"TeppouKounyuu", Kw::TeppouKounyuu},
    {"TeppouKounyuuMonth", Kw::TeppouKounyuuMonth},
    {"TradingMonth", Kw::TradingMonth},
    {"TradingKuni", Kw::TradingKuni},
    {"TradingPort", Kw::TradingPort},
    {"Daimyou", Kw::Daimyou},
    {"ShiroType", Kw::ShiroType},
    {"Shiro", Kw::Shiro},
    {"ShiroConnect", Kw::ShiroConnect},
    {"Bushou", Kw::Bushou},
    {"Doumei", Kw::Doumei},
    {"KuniArea", Kw::KuniArea},
    {"SnowKakuritsu", Kw::SnowKakuritsu},
    {"RainKakuritsu", Kw::RainKakuritsu},
    {"Event", Kw::Event},
    {"EventDetail", Kw::EventDetail},
    {"ColorPallet", Kw::ColorPallet},
    {"Label", Kw::Label},
    {"ConditionalEvent", Kw::ConditionalEvent},
};

Kw FindKeyword(const std::string& token) {
    for (const KeywordEntry& e : kKeywords)
        if (token == e.word) return e.kw;
    return Kw::None;
}

}  // namespace

int CScenarioReader::ReadIntValue(int& value) {
    std::string token;
    if (ReadToken(token, kValueSize) == kEndOfFile) return kStopAtEof;
    if (ParseInt(token, value)) return kScnNotInteger;
    return kScnOk;
}

int CScenarioReader::ReadYesNo(int& value) {
    std::string token;
    if (ReadToken(token, kValueSize) == kEndOfFile) return kStopAtEof;
    if (token == "YES")
        value = 1;
    else if (token == "NO")
        value = 0;
    else
        return kScnSyntax;
    return kScnOk;
}

int CScenarioReader::ReadPictureKeyword(std::int32_t& index) {
    std::string token;
    if (ReadToken(token, kValueSize) == kEndOfFile) return kStopAtEof;
    if (token == "NORMAL") {
        index = -1;
        return kScnOk;
    }
    int found = map_.FindPicture(token);
    if (found < 0) return kScnBadPicture;
    index = found;
    return kScnOk;
}

int CScenarioReader::ExpectBrace() {
    std::string token;
    if (ReadToken(token, kValueSize) == kEndOfFile) return kStopAtEof;
    return token == "{" ? kScnOk : kScnSyntax;
}

int CScenarioReader::ReadKeywords() {
    std::string token;
    for (;;) {
        if (ReadToken(token, kValueSize) == kEndOfFile) return kScnOk;
        Kw kw = FindKeyword(token);
        if (kw >= Kw::TeppouSeisan && !mapGiven_) {
            // The province map must be there before anything names a province: a scenario
            // that has not named its map gets the default one here.
            mapGiven_ = true;
            int r = ReadMapFile("default.map");
            if (r != kScnOk) return r;
        }
        int r = kScnOk;
        int value = 0;
        switch (kw) {
            case Kw::None: return kScnSyntax;
            case Kw::Secret: r = ReadToken(token, kValueSize) == kEndOfFile ? kStopAtEof : kScnOk; break;
            case Kw::Cipher:
                // The cipher level (any value), then the cipher header: from here on the file
                // is enciphered.
                if (ReadToken(token, kValueSize) == kEndOfFile) return kScnOk;
                r = StartCipher();
                break;
            case Kw::MapFile:
                if (ReadToken(token, kValueSize) == kEndOfFile) return kScnOk;
                mapGiven_ = true;
                r = ReadMapFile(token);
                break;
            case Kw::ScenarioVer: r = ReadIntValue(scenarioVer_); break;
            case Kw::Title:
                if (ReadToken(token, kValueSize) == kEndOfFile) return kScnOk;
                gs_.ScenarioTitle = token;
                break;
            case Kw::Ending:
                if (ReadToken(token, kValueSize) == kEndOfFile) return kScnOk;
                endingFromFile_ = true;
                if (token == "{")
                    r = ReadEnding();
                else
                    gs_.EndingText = "%Player%" + token;
                break;
            case Kw::StartYear:
                r = ReadIntValue(value);
                if (r == kScnOk && value == 0) r = kScnNotInteger;  // there is no year 0
                if (r == kScnOk) gs_.nStartYear = value;
                break;
            case Kw::StartMonth:
                r = ReadIntValue(value);
                if (r == kScnOk && (value < 1 || value > 12)) r = kScnNotInteger;
                if (r == kScnOk) gs_.nStartMonth = value;
                break;
            case Kw::HeiUnit:
                r = ReadIntValue(value);
                if (r == kScnOk && value != 1 && value != 10) r = kScnHeiUnit;
                if (r == kScnOk) gs_.nHeiUnit = value;
                break;
            case Kw::ShiroDotSize: r = ReadIntValue(gs_.nShiroDotSize); break;
            case Kw::ShiroHyourouMax: r = ReadIntValue(gs_.nShiroHyourouMax); break;
            case Kw::DistanceLimit:
                r = ReadIntValue(value);
                if (r == kScnOk) {
                    // Route costs are counted in tenths; old scenarios counted distances double.
                    long long limit = static_cast<long long>(value) * (scenarioVer_ <= 4 ? 2 : 1) * 10;
                    if (value < 1 || limit > INT32_MAX)
                        r = kScnNotInteger;
                    else
                        gs_.nDistanceLimit = static_cast<int>(limit);
                }
                break;
            case Kw::UchijiniKakuritsu: r = ReadIntValue(gs_.nUchijiniKakuritsu); break;
            case Kw::SeppukuKakuritsu: r = ReadIntValue(gs_.nSeppukuKakuritsu); break;
            case Kw::JuuzokuJoukenHosei: r = ReadIntValue(gs_.nJuuzokuJoukenHosei); break;
            case Kw::ShinjuuJoukenHosei: r = ReadIntValue(gs_.nShinjuuJoukenHosei); break;
            case Kw::DokuritsuJoukenHosei: r = ReadIntValue(gs_.nDokuritsuJoukenHosei); break;
            case Kw::MainMapMinimumWidth:
            case Kw::MapMinWidth: r = ReadIntValue(gs_.nMainMapMinimumWidth); break;
            case Kw::RoadCostBroad:
            case Kw::RoadCostNarrow:
            case Kw::RoadCostMountain:
            case Kw::RoadCostSea: {
                if (ReadToken(token, kValueSize) == kEndOfFile) return kScnOk;
                double cost = 0.0;
                // A negative cost would let the route search run forever.
                if (ParseFloat(token, cost) || cost < 0.0) return kScnNotInteger;
                // Costs are kept in tenths. Any cost from 32767 on means "out of reach" to the
                // route search, so larger values are kept at that.
                double tenths = cost * 10.0;
                gs_.RoadCost[static_cast<int>(kw) - static_cast<int>(Kw::RoadCostBroad)] =
                    tenths >= 32767.0 ? 32767 : static_cast<int>(tenths);
                break;
            }
            case Kw::ShiroOffset: {
                int x = 0, y = 0;
                r = ReadIntField(x, false);
                if (r == kScnOk) r = ReadIntField(y, true);
                if (r != kScnOk) break;
                gs_.nShiroOffsetX = x;
                gs_.nShiroOffsetY = y;
                break;
            }
            case Kw::ShiroNameOffset:
            case Kw::DaimyouNameOffset: {
                int end = ReadToken(token, kValueSize);
                if (end == kEndOfFile) return kScnOk;
                if (ParseInt(token, value)) return kScnNotInteger;
                if (end != kEndOfLine) return kScnSyntax;
                (kw == Kw::ShiroNameOffset ? gs_.nShiroNameOffset : gs_.nDaimyouNameOffset) = value;
                break;
            }
            case Kw::KouzanPicture: r = ReadPictureKeyword(gs_.nKouzanPicture); break;
            case Kw::KouekisenPicture: r = ReadPictureKeyword(gs_.nKouekisenPicture); break;
            case Kw::KouekisenReturnPicture: r = ReadPictureKeyword(gs_.nKouekisenReturnPicture); break;
            case Kw::GunsenPicture: r = ReadPictureKeyword(gs_.nGunsenPicture); break;
            case Kw::GunsenCompletePicture: r = ReadPictureKeyword(gs_.nGunsenCompletePicture); break;
            case Kw::GunsenLargePicture: r = ReadPictureKeyword(gs_.nGunsenLargePicture); break;
            case Kw::TeppouPicture: r = ReadPictureKeyword(gs_.nTeppouPicture); break;
            case Kw::GunsenUnitPictureR: r = ReadPictureKeyword(gs_.nGunsenUnitPictureR); break;
            case Kw::GunsenUnitPictureL: r = ReadPictureKeyword(gs_.nGunsenUnitPictureL); break;
            case Kw::BGM:
                if (ReadToken(bgmNormal_, kValueSize) == kEndOfFile) return kScnOk;
                if (ReadToken(bgmBattle_, kValueSize) == kEndOfFile) return kScnOk;
                break;
            case Kw::KouekisenPrice:
            case Kw::GunsenPrice:
                r = ReadIntValue(value);
                if (r == kScnOk && value < 1) r = kScnNotInteger;  // prices divide later
                if (r == kScnOk) (kw == Kw::KouekisenPrice ? gs_.nKouekisenPrice : gs_.nGunsenPrice) = value;
                break;
            case Kw::StandardAge: r = ReadIntValue(standardAge_); break;
            case Kw::BushouHojuu:
                r = ReadYesNo(value);
                if (r == kScnOk) gs_.bBushouHojuu = value != 0;
                break;
            case Kw::Kishuu: r = ReadYesNo(gs_.nKishuu); break;
            case Kw::Keiryaku:
                r = ReadYesNo(value);
                if (r == kScnOk) gs_.bKeiryaku = value != 0;
                break;
            case Kw::TekiJouTsuuka:
                r = ReadYesNo(value);
                if (r == kScnOk) gs_.bTekiJouTsuuka = value != 0;
                break;
            case Kw::Language:
                if (ReadToken(token, kValueSize) == kEndOfFile) return kScnOk;
                if (token == "JAPANESE")
                    gs_.nLanguage = 0;
                else if (token == "CHINESE_GB2312")
                    gs_.nLanguage = 1;
                else
                    return kScnSyntax;
                break;
            case Kw::Opening:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadOpening();
                break;
            case Kw::OpeningImg:
                if (ReadToken(openingImageName_, kValueSize) == kEndOfFile) return kScnOk;
                break;
            case Kw::EndingImg:
                if (ReadToken(endingImageName_, kValueSize) == kEndOfFile) return kScnOk;
                break;
            case Kw::WordAssign:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadWordAssign();
                break;
            case Kw::MainMapKakudai: r = ReadMainMapKakudai(); break;
            case Kw::TeppouCost: r = ReadTeppouCost(); break;
            case Kw::TeppouSoubiRitsu: r = ReadTeppouSoubiRitsu(); break;
            case Kw::TeppouKouka: r = ReadTeppouKouka(); break;
            case Kw::KuniArea:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadKuniArea();
                break;
            case Kw::ColorPallet:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadColorPallet();
                break;
            case Kw::Label:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadLabel();
                break;
            case Kw::Trading:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadTrading();
                break;
            case Kw::TradingPartner:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadTradingPartner();
                break;
            case Kw::TeppouSeisan:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadTeppouSeisan();
                break;
            case Kw::TeppouKounyuu:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadTeppouKounyuu();
                break;
            case Kw::TeppouKounyuuMonth:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadTeppouKounyuuMonth();
                break;
            case Kw::TradingMonth:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadTradingMonth();
                break;
            case Kw::TradingKuni:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadTradingKuni();
                break;
            case Kw::TradingPort:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadTradingPort();
                break;
            case Kw::Daimyou:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadDaimyou();
                break;
            case Kw::ShiroType:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadShiroType();
                break;
            case Kw::Shiro:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadShiro();
                break;
            case Kw::ShiroConnect:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadShiroConnect();
                break;
            case Kw::Bushou:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadBushou();
                break;
            case Kw::Doumei:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadDoumei();
                break;
            case Kw::SnowKakuritsu:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadSnowKakuritsu();
                break;
            case Kw::RainKakuritsu:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadRainKakuritsu();
                break;
            case Kw::Event:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadEvent();
                break;
            case Kw::EventDetail:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadEventDetail();
                break;
            case Kw::ConditionalEvent:
                r = ExpectBrace();
                if (r == kScnOk) r = ReadConditionalEvent();
                break;
        }
        if (r == kStopAtEof) return kScnOk;
        if (r != kScnOk) return r;
    }
}

int CScenarioReader::FindId(const std::vector<IdSlot>& slots, int count, const std::string& id) const {
    IdIndex& index = idIndex_[&slots];
    if (count < index.indexed) index = IdIndex{};
    for (; index.indexed < count; ++index.indexed) {
        const char* slot = slots[static_cast<std::size_t>(index.indexed)].data();
        index.first.emplace(std::string(slot, strnlen(slot, kIdSize)), index.indexed);
    }
    if (id.size() >= static_cast<std::size_t>(kIdSize) || id.find('\0') != std::string::npos) return -1;
    const auto it = index.first.find(id);
    return it == index.first.end() ? -1 : it->second;
}

void CScenarioReader::StoreId(IdSlot& slot, const std::string& id) {
    // A slot already indexed is being rewritten: that list is indexed again on its next lookup.
    for (auto& [slots, index] : idIndex_)
        if (&slot >= slots->data() && &slot < slots->data() + index.indexed) index = IdIndex{};
    slot.fill(0);
    std::memcpy(slot.data(), id.data(), std::min(id.size(), static_cast<std::size_t>(kIdSize - 1)));
}

int CScenarioReader::SkipRestOfLine() {
    std::string token;
    for (;;) {
        int end = ReadToken(token, kValueSize);
        if (end == kEndOfFile) return kStopAtEof;
        if (end == kEndOfLine) return kScnOk;
    }
}

int CScenarioReader::SkipSection() {
    // Nested blocks ("id {" ... "}") are counted so that their closing lines do not end the
    // section early.
    std::string token;
    int depth = 0;
    bool lineStart = true;
    for (;;) {
        int end = ReadToken(token, 10001, nullptr, true);
        if (end == kEndOfFile) return kStopAtEof;
        if (lineStart && token == "}") {
            if (depth == 0) {
                if (end != kEndOfLine) SkipRestOfLine();
                return kScnOk;
            }
            --depth;
        } else if (end == kEndOfLine && token == "{") {
            ++depth;
        }
        lineStart = end == kEndOfLine;
    }
}

// --- after the last line ----------------------------------------------------------------------

void CScenarioReader::ConvertTexts() {
    const TextEncoding enc = gs_.Encoding();
    gs_.ScenarioTitle = ToUtf8(gs_.ScenarioTitle, enc);
    if (endingFromFile_) gs_.EndingText = ToUtf8(gs_.EndingText, enc);
    openingText_ = ToUtf8(openingText_, enc);
    // The built-in words are UTF-8 already: only the scenario's own words are file bytes.
    for (int i = 0; i < 50; ++i)
        if (wordAssigned_[i]) gs_.ScenarioWords[i] = ToUtf8(gs_.ScenarioWords[i], enc);
    for (int i = 0; i < nLabel_; ++i)
        gs_.LabelTbl[i].text = ToUtf8(gs_.LabelTbl[i].text, enc);
    ConvertWorldTexts();
    openingImageName_ = ToUtf8(openingImageName_, enc);
    endingImageName_ = ToUtf8(endingImageName_, enc);
    bgmNormal_ = ToUtf8(bgmNormal_, enc);
    bgmBattle_ = ToUtf8(bgmBattle_, enc);
    ConvertEventTexts(enc);
    ConvertTradeTexts(enc);
}

void CScenarioReader::FinishReading() {
    gs_.nScenarioDaimyou = nDaimyou_;
    gs_.nBushouEx = nBushou_;
    gs_.nShiroType = nShiroType_;
    gs_.nShiro = nShiro_;
    gs_.nScenarioDoumei = nDoumei_;
    gs_.nTradingPartner = nTradingPartner_;
    gs_.nTeppouKounyuu = nTeppouPlace_;
    for (int i = 0; i < 3; ++i) {
        gs_.TeppouCost[i] = teppouCost_[i];
        gs_.TeppouSoubiRitsu[i] = teppouSoubiRitsu_[i];
    }
    for (int i = 0; i < 4; ++i)
        gs_.TeppouKouka[i] = teppouKouka_[i];
    for (int i = 0; i < 5; ++i)
        gs_.MainMapKakudai[i] = mainMapKakudai_[i];
    gs_.nRoutePoint = nRoutePoint_;
    gs_.nEvent = nEvent_;
    gs_.nConditionalEvent = nConditionalEvent_;
    gs_.nLabel = nLabel_;
    CloseFile();

    CNameIndex& index = gs_.NameIndex;
    index.SetList1(nDaimyou_, daimyouIds_.data());
    index.SetList2(nShiroType_, shiroTypeIds_.data());
    index.SetList3(nShiro_, shiroIds_.data());
    index.SetList4(nBushou_, bushouIds_.data());
    index.SetList5(nEvent_, eventIds_.data());
    index.SetList6(nConditionalEvent_, conditionalEventIds_.data());
    index.SetList7(nTradingPartner_, tradingPartnerIds_.data());
    index.SetList8(nTeppouPlace_, teppouPlaceIds_.data());

    // A castle with a sea link lies on a waterway.
    for (int s = 0; s < gs_.nShiro; ++s) {
        ShiroMapRecord& m = gs_.ShiroMapTbl[s];
        for (const ShiroConnection& c : m.connect) {
            if (c.shiro == 0xFFFF) break;
            if (c.kind == 3) m.flags |= ShiroMapRecord::kFlagWaterway;
        }
    }

    if (gs_.nShiroType == 0) {
        // Without a castle type section every castle uses the five built-in types.
        static constexpr std::uint16_t kPicture[5] = {0x8000, 0x8001, 0x8001, 0x8002, 0x8003};
        for (int t = 0; t < 5; ++t) {
            auto& w = gs_.ShiroTypeTbl[t].words;
            w[0] = kPicture[t];
            for (int i = 1; i <= 5; ++i)
                w[i] = 0x8000;
            for (int i = 6; i <= 12; ++i)
                w[i] = 0xFFFF;
            for (int i = 13; i <= 24; ++i)
                w[i] = 0;
            w[25] = w[26] = static_cast<std::uint16_t>(-10);
            w[27] = w[28] = 10;
            w[29] = w[30] = 0;
            w[31] = 20;
            w[32] = 30;
        }
        gs_.nShiroType = 5;
    }
}

}  // namespace rymd
