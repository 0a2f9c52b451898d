// Scenario reader: defaults, the keyword chain and what happens after the last line.
#include "game/scenario/reader.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>

#include "game/ports/ports.h"
#include "game/scenario/errors.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/name_index.h"
#include "game/state/vocabulary.h"
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

ScenarioResult CScenarioReader::ReadScenario() {
    // The file dialog opens in the program's scenario folder when there is one.
    std::error_code ec;
    const std::string scenarios = programFolder_ + "scenario/";
    const bool hasScenarios = !programFolder_.empty() && std::filesystem::is_directory(scenarios, ec);
    std::optional<std::string> path =
        ports_.ask->AskOpenFile("シナリオデータを選択してください", "Scenario Files (*.snr)|*.snr||",
                                hasScenarios ? scenarios : programFolder_);
    if (!path) return ScenarioResult(kScnCancelled, 0);
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

ScenarioResult CScenarioReader::ReadScenarioFile(const std::string& path) {
    if (!OpenFile(path)) return ScenarioResult(kScnFileError, 0);
    return ReadOpenedScenario(DirectoryOf(path));
}

ScenarioResult CScenarioReader::ReadScenarioData(std::vector<std::uint8_t> bytes, const std::string& folder) {
    OpenBytes(std::move(bytes));
    return ReadOpenedScenario(folder);
}

ScenarioResult CScenarioReader::ReadOpenedScenario(const std::string& folder) {
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
            if (!openingImageName_.empty() &&
                !ReadFileBytes(scenarioFolder_ + openingImageName_, picture, kScenarioPictureMaxBytes))
                ReadFileBytes(programFolder_ + openingImageName_, picture, kScenarioPictureMaxBytes);
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
    const ScenarioResult result(error, error == kScnOk ? 0 : tokenLine_);
    FinishReading();
    return result;
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

// The start year: no year 0, and at most four digits either way, so that the date arithmetic
// of the months and of the generals' lives (years kept in 16 bits) stays in range.
constexpr int kMaxYear = 9999;

// How the value after a keyword is read.
enum class KeywordValue {
    Int,         // an integer in [lo, hi] (outside: outOfRange) into an int of the state
    YesNo,       // "YES" (1) or "NO" (0) into a flag or an int of the state
    Picture,     // "NORMAL" (-1) or a picture name of the map into a picture index of the state
    Section,     // "{", then the section reader
    MapSection,  // as Section; the province map is loaded first (the default one if none was named)
    Handler,     // the reader reads everything after the keyword
};

struct KeywordAction {
    KeywordValue value;
    int (CScenarioReader::*read)() = nullptr;  // Section, MapSection, Handler
    int GameState::*field = nullptr;           // Int, YesNo, Picture
    bool GameState::*flag = nullptr;           // YesNo
    int lo = INT_MIN, hi = INT_MAX;            // Int: the values accepted
    int outOfRange = kScnNotInteger;           // Int: the code of a value outside them
};

constexpr KeywordAction Int(int GameState::*field, int lo = INT_MIN, int hi = INT_MAX) {
    return {KeywordValue::Int, nullptr, field, nullptr, lo, hi};
}
constexpr KeywordAction YesNo(bool GameState::*flag) {
    return {KeywordValue::YesNo, nullptr, nullptr, flag};
}
constexpr KeywordAction YesNo(int GameState::*field) {
    return {KeywordValue::YesNo, nullptr, field};
}
constexpr KeywordAction Picture(std::int32_t GameState::*field) {
    return {KeywordValue::Picture, nullptr, field};
}
constexpr KeywordAction Section(int (CScenarioReader::*read)()) {
    return {KeywordValue::Section, read};
}
constexpr KeywordAction MapSection(int (CScenarioReader::*read)()) {
    return {KeywordValue::MapSection, read};
}
constexpr KeywordAction Handler(int (CScenarioReader::*read)()) {
    return {KeywordValue::Handler, read};
}

}  // namespace

struct CScenarioReader::KeywordRule {
    const char* word;
    KeywordAction action;
};

// Every keyword of the file, in the order they are tested.
const CScenarioReader::KeywordRule CScenarioReader::kKeywords[] = {
    {"Secret", Handler(&CScenarioReader::ReadSecretKeyword)},
    {"Cipher", Handler(&CScenarioReader::ReadCipherKeyword)},
    {"MapFile", Handler(&CScenarioReader::ReadMapFileKeyword)},
    {"ScenarioVer", Handler(&CScenarioReader::ReadScenarioVerKeyword)},
    {"Title", Handler(&CScenarioReader::ReadTitleKeyword)},
    {"Ending", Handler(&CScenarioReader::ReadEndingKeyword)},
    {"StartYear", Handler(&CScenarioReader::ReadStartYearKeyword)},
    {"StartMonth", Int(&GameState::nStartMonth, 1, 12)},
    {"HeiUnit", Handler(&CScenarioReader::ReadHeiUnitKeyword)},
    {"ShiroDotSize", Int(&GameState::nShiroDotSize)},
    {"ShiroHyourouMax", Int(&GameState::nShiroHyourouMax, 1)},  // castles divide it
    {"DistanceLimit", Handler(&CScenarioReader::ReadDistanceLimitKeyword)},
    {"UchijiniKakuritsu", Int(&GameState::nUchijiniKakuritsu)},
    {"SeppukuKakuritsu", Int(&GameState::nSeppukuKakuritsu)},
    {"JuuzokuJoukenHosei", Int(&GameState::nJuuzokuJoukenHosei)},
    {"ShinjuuJoukenHosei", Int(&GameState::nShinjuuJoukenHosei)},
    {"DokuritsuJoukenHosei", Int(&GameState::nDokuritsuJoukenHosei)},
    {"MainMapMinimumWidth", Int(&GameState::nMainMapMinimumWidth)},
    {"RoadCostBroad", Handler(&CScenarioReader::ReadRoadCostBroad)},
    {"RoadCostNarrow", Handler(&CScenarioReader::ReadRoadCostNarrow)},
    {"RoadCostMountain", Handler(&CScenarioReader::ReadRoadCostMountain)},
    {"RoadCostSea", Handler(&CScenarioReader::ReadRoadCostSea)},
    {"ShiroOffset", Handler(&CScenarioReader::ReadShiroOffsetKeyword)},
    {"ShiroNameOffset", Handler(&CScenarioReader::ReadShiroNameOffsetKeyword)},
    {"DaimyouNameOffset", Handler(&CScenarioReader::ReadDaimyouNameOffsetKeyword)},
    {"KouzanPicture", Picture(&GameState::nKouzanPicture)},
    {"KouekisenPicture", Picture(&GameState::nKouekisenPicture)},
    {"KouekisenReturnPicture", Picture(&GameState::nKouekisenReturnPicture)},
    {"GunsenPicture", Picture(&GameState::nGunsenPicture)},
    {"GunsenCompletePicture", Picture(&GameState::nGunsenCompletePicture)},
    {"GunsenLargePicture", Picture(&GameState::nGunsenLargePicture)},
    {"TeppouPicture", Picture(&GameState::nTeppouPicture)},
    {"GunsenUnitPictureR", Picture(&GameState::nGunsenUnitPictureR)},
    {"GunsenUnitPictureL", Picture(&GameState::nGunsenUnitPictureL)},
    {"BGM", Handler(&CScenarioReader::ReadBgmKeyword)},
    {"KouekisenPrice", Int(&GameState::nKouekisenPrice, 1)},  // prices divide later
    {"GunsenPrice", Int(&GameState::nGunsenPrice, 1)},
    {"StandardAge", Handler(&CScenarioReader::ReadStandardAgeKeyword)},
    {"MapMinWidth", Int(&GameState::nMainMapMinimumWidth)},
    {"BushouHojuu", YesNo(&GameState::bBushouHojuu)},
    {"Kishuu", YesNo(&GameState::nKishuu)},
    {"Keiryaku", YesNo(&GameState::bKeiryaku)},
    {"TekiJouTsuuka", YesNo(&GameState::bTekiJouTsuuka)},
    {"Language", Handler(&CScenarioReader::ReadLanguageKeyword)},
    {"Opening", Section(&CScenarioReader::ReadOpening)},
    {"OpeningImg", Handler(&CScenarioReader::ReadOpeningImgKeyword)},
    {"EndingImg", Handler(&CScenarioReader::ReadEndingImgKeyword)},
    {"WordAssign", Section(&CScenarioReader::ReadWordAssign)},
    {"Trading", Section(&CScenarioReader::ReadTrading)},
    {"TradingPartner", Section(&CScenarioReader::ReadTradingPartner)},
    {"MainMapKakudai", Handler(&CScenarioReader::ReadMainMapKakudai)},
    {"TeppouCost", Handler(&CScenarioReader::ReadTeppouCost)},
    {"TeppouSoubiRitsu", Handler(&CScenarioReader::ReadTeppouSoubiRitsu)},
    {"TeppouKouka", Handler(&CScenarioReader::ReadTeppouKouka)},
    {"TeppouSeisan", MapSection(&CScenarioReader::ReadTeppouSeisan)},
    {"TeppouKounyuu", MapSection(&CScenarioReader::ReadTeppouKounyuu)},
    {"TeppouKounyuuMonth", MapSection(&CScenarioReader::ReadTeppouKounyuuMonth)},
    {"TradingMonth", MapSection(&CScenarioReader::ReadTradingMonth)},
    {"TradingKuni", MapSection(&CScenarioReader::ReadTradingKuni)},
    {"TradingPort", MapSection(&CScenarioReader::ReadTradingPort)},
    {"Daimyou", MapSection(&CScenarioReader::ReadDaimyou)},
    {"ShiroType", MapSection(&CScenarioReader::ReadShiroType)},
    {"Shiro", MapSection(&CScenarioReader::ReadShiro)},
    {"ShiroConnect", MapSection(&CScenarioReader::ReadShiroConnect)},
    {"Bushou", MapSection(&CScenarioReader::ReadBushou)},
    {"Doumei", MapSection(&CScenarioReader::ReadDoumei)},
    {"KuniArea", MapSection(&CScenarioReader::ReadKuniArea)},
    {"SnowKakuritsu", MapSection(&CScenarioReader::ReadSnowKakuritsu)},
    {"RainKakuritsu", MapSection(&CScenarioReader::ReadRainKakuritsu)},
    {"Event", MapSection(&CScenarioReader::ReadEvent)},
    {"EventDetail", MapSection(&CScenarioReader::ReadEventDetail)},
    {"ColorPallet", MapSection(&CScenarioReader::ReadColorPallet)},
    {"Label", MapSection(&CScenarioReader::ReadLabel)},
    {"ConditionalEvent", MapSection(&CScenarioReader::ReadConditionalEvent)},
};

int CScenarioReader::ReadIntValue(int& value) {
    std::string token;
    if (ReadToken(token, kValueSize) == kEndOfFile) return kStopAtEof;
    if (!ParseInt(token, value)) return kScnNotInteger;
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

// --- keywords with a reader of their own -------------------------------------------------------

int CScenarioReader::ReadWordKeyword(std::string& value) {
    return ReadToken(value, kValueSize) == kEndOfFile ? kStopAtEof : kScnOk;
}

int CScenarioReader::ReadSecretKeyword() {
    std::string token;
    return ReadWordKeyword(token);
}

int CScenarioReader::ReadCipherKeyword() {
    // The cipher level (any value), then the cipher header: from here on the file is enciphered.
    std::string token;
    if (int r = ReadWordKeyword(token); r != kScnOk) return r;
    return StartCipher();
}

int CScenarioReader::ReadMapFileKeyword() {
    std::string token;
    if (int r = ReadWordKeyword(token); r != kScnOk) return r;
    mapGiven_ = true;
    return ReadMapFile(token);
}

int CScenarioReader::ReadScenarioVerKeyword() {
    return ReadIntValue(scenarioVer_);
}

int CScenarioReader::ReadTitleKeyword() {
    std::string token;
    if (int r = ReadWordKeyword(token); r != kScnOk) return r;
    gs_.ScenarioTitle = token;
    return kScnOk;
}

int CScenarioReader::ReadEndingKeyword() {
    std::string token;
    if (int r = ReadWordKeyword(token); r != kScnOk) return r;
    endingFromFile_ = true;
    if (token == "{") return ReadEnding();
    gs_.EndingText = "%Player%" + token;
    return kScnOk;
}

int CScenarioReader::ReadStartYearKeyword() {
    int value = 0;
    if (int r = ReadIntValue(value); r != kScnOk) return r;
    if (value == 0 || value < -kMaxYear || value > kMaxYear) return kScnNotInteger;
    gs_.nStartYear = value;
    return kScnOk;
}

int CScenarioReader::ReadHeiUnitKeyword() {
    int value = 0;
    if (int r = ReadIntValue(value); r != kScnOk) return r;
    if (value != 1 && value != 10) return kScnHeiUnit;
    gs_.nHeiUnit = value;
    return kScnOk;
}

int CScenarioReader::ReadDistanceLimitKeyword() {
    int value = 0;
    if (int r = ReadIntValue(value); r != kScnOk) return r;
    // Route costs are counted in tenths; old scenarios counted distances double.
    const long long limit = static_cast<long long>(value) * (scenarioVer_ <= 4 ? 2 : 1) * 10;
    if (value < 1 || limit > INT32_MAX) return kScnNotInteger;
    gs_.nDistanceLimit = static_cast<int>(limit);
    return kScnOk;
}

int CScenarioReader::ReadRoadCost(int kind) {
    std::string token;
    if (int r = ReadWordKeyword(token); r != kScnOk) return r;
    double cost = 0.0;
    // A negative cost would let the route search run forever.
    if (!ParseFloat(token, cost) || cost < 0.0) return kScnNotInteger;
    // Costs are kept in tenths. Any cost from 32767 on means "out of reach" to the route search,
    // so larger values are kept at that.
    const double tenths = cost * 10.0;
    gs_.RoadCost[static_cast<std::size_t>(kind)] = tenths >= 32767.0 ? 32767 : static_cast<int>(tenths);
    return kScnOk;
}

int CScenarioReader::ReadRoadCostBroad() {
    return ReadRoadCost(0);
}
int CScenarioReader::ReadRoadCostNarrow() {
    return ReadRoadCost(1);
}
int CScenarioReader::ReadRoadCostMountain() {
    return ReadRoadCost(2);
}
int CScenarioReader::ReadRoadCostSea() {
    return ReadRoadCost(3);
}

int CScenarioReader::ReadShiroOffsetKeyword() {
    int x = 0, y = 0;
    if (int r = ReadIntField(x, false); r != kScnOk) return r;
    if (int r = ReadIntField(y, true); r != kScnOk) return r;
    gs_.nShiroOffsetX = x;
    gs_.nShiroOffsetY = y;
    return kScnOk;
}

// One integer that ends its line.
int CScenarioReader::ReadNameOffset(int& offset) {
    std::string token;
    const int end = ReadToken(token, kValueSize);
    if (end == kEndOfFile) return kStopAtEof;
    int value = 0;
    if (!ParseInt(token, value)) return kScnNotInteger;
    if (end != kEndOfLine) return kScnSyntax;
    offset = value;
    return kScnOk;
}

int CScenarioReader::ReadShiroNameOffsetKeyword() {
    return ReadNameOffset(gs_.nShiroNameOffset);
}

int CScenarioReader::ReadDaimyouNameOffsetKeyword() {
    return ReadNameOffset(gs_.nDaimyouNameOffset);
}

int CScenarioReader::ReadBgmKeyword() {
    if (int r = ReadWordKeyword(bgmNormal_); r != kScnOk) return r;
    return ReadWordKeyword(bgmBattle_);
}

int CScenarioReader::ReadStandardAgeKeyword() {
    return ReadIntValue(standardAge_);
}

int CScenarioReader::ReadLanguageKeyword() {
    std::string token;
    if (int r = ReadWordKeyword(token); r != kScnOk) return r;
    if (token == "JAPANESE")
        gs_.nLanguage = 0;
    else if (token == "CHINESE_GB2312")
        gs_.nLanguage = 1;
    else
        return kScnSyntax;
    return kScnOk;
}

int CScenarioReader::ReadOpeningImgKeyword() {
    return ReadWordKeyword(openingImageName_);
}

int CScenarioReader::ReadEndingImgKeyword() {
    return ReadWordKeyword(endingImageName_);
}

// --- the chain ---------------------------------------------------------------------------------

int CScenarioReader::ReadKeywordValue(const KeywordRule& rule) {
    const KeywordAction& a = rule.action;
    switch (a.value) {
        case KeywordValue::Int: {
            int value = 0;
            if (int r = ReadIntValue(value); r != kScnOk) return r;
            if (value < a.lo || value > a.hi) return a.outOfRange;
            gs_.*a.field = value;
            return kScnOk;
        }
        case KeywordValue::YesNo: {
            int value = 0;
            if (int r = ReadYesNo(value); r != kScnOk) return r;
            if (a.flag)
                gs_.*a.flag = value != 0;
            else
                gs_.*a.field = value;
            return kScnOk;
        }
        case KeywordValue::Picture: return ReadPictureKeyword(gs_.*a.field);
        case KeywordValue::Section:
        case KeywordValue::MapSection:
            if (int r = ExpectBrace(); r != kScnOk) return r;
            return (this->*a.read)();
        case KeywordValue::Handler: return (this->*a.read)();
    }
    return kScnSyntax;
}

int CScenarioReader::ReadKeywords() {
    std::string token;
    for (;;) {
        if (ReadToken(token, kValueSize) == kEndOfFile) return kScnOk;
        const KeywordRule* rule = nullptr;
        for (const KeywordRule& k : kKeywords)
            if (token == k.word) {
                rule = &k;
                break;
            }
        if ((!rule || rule->action.value == KeywordValue::MapSection) && !mapGiven_) {
            // The province map must be there before anything names a province: a scenario
            // that has not named its map gets the default one here (also before an unknown
            // keyword is refused).
            mapGiven_ = true;
            if (int r = ReadMapFile("default.map"); r != kScnOk) return r;
        }
        if (!rule) return kScnSyntax;
        const int r = ReadKeywordValue(*rule);
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
                // The rest of the closing line is a remark; a file that ends in it is found ended
                // by the next read.
                if (end != kEndOfLine) static_cast<void>(SkipRestOfLine());
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
        ShiroMapRecord& m = ShiroMapAt(gs_, s);
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
