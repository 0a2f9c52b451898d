// The scenario reader: turns one scenario file into the game's tables.
//
// A scenario is Shift-JIS (or GB2312) text read byte by byte: keywords with values, and
// sections opened by "{" and closed by a line whose first token is "}". The tokenizer below
// is the only way any part of the reader looks at the file, so the syntax is the same
// everywhere.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "game/ports/ports.h"
#include "game/scenario/errors.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;
struct RouteRect;
struct CConditionalEvent;
struct CEventRecord;
enum class TextEncoding;

// The largest scenario file read (enciphered or not), far above any real one; a larger file is
// refused like one that cannot be opened.
inline constexpr std::uint64_t kScenarioFileMaxBytes = std::uint64_t{64} << 20;

class CScenarioReader {
public:
    // Results of ReadToken.
    enum TokenEnd { kMoreOnLine = 0, kEndOfLine = 1, kEndOfFile = 2 };
    static constexpr int kEof = -1;
    // Internal result of a value or section read: the file ended (no error; reading stops).
    static constexpr int kStopAtEof = -1;
    static constexpr int kIdSize = 26;  // identifier slot: at most 25 bytes and a terminator
    using IdSlot = std::array<char, kIdSize>;

    CScenarioReader(GameState& gs, MbKorMap::CCtrlKorMap& map, const Ports& ports, std::string programFolder);

    // Asks the player for a scenario file, then reads it. Code 0 read; 1 cancelled; 2 the file
    // cannot be opened; otherwise the error code (already shown to the player) and its line.
    ScenarioResult ReadScenario();
    // Reads the scenario at path (everything after the file dialog).
    ScenarioResult ReadScenarioFile(const std::string& path);
    // Reads a scenario given as bytes, as if it were a file in folder (which ends in '/').
    ScenarioResult ReadScenarioData(std::vector<std::uint8_t> bytes, const std::string& folder);

    // --- tokenizer ---------------------------------------------------------------------
    // Opens the file (true when it could be read) and resets the reader's counts and line numbers.
    [[nodiscard]] bool OpenFile(const std::string& path);
    // Uses the given bytes as the file (tests and the cipher converters).
    void OpenBytes(std::vector<std::uint8_t> bytes);
    void CloseFile();
    int ReadChar();
    // Reads one token of at most size - 1 bytes into token. Returns kMoreOnLine, kEndOfLine
    // or kEndOfFile (token unusable). echo, when set, receives every character read.
    int ReadToken(std::string& token, std::size_t size, std::string* echo = nullptr,
                  bool keepSeparatorsInQuotes = false);
    // true and the value stored when the token is an integer (optional sign, digits only);
    // false and the value untouched otherwise.
    [[nodiscard]] static bool ParseInt(const std::string& token, int& value);
    // true and the value stored when the token is a decimal number (no exponent).
    [[nodiscard]] static bool ParseFloat(const std::string& token, double& value);
    // Bounding rectangle of the circular arc from (x0, y0) through (x1, y1) to (x2, y2), in
    // map units with y downwards; three points on one line give the rectangle of start and end.
    static void CalcConnectGeometry(int x0, int y0, int x1, int y1, int x2, int y2, RouteRect& out);

    // --- scenario cipher (scenario_cipher.h) --------------------------------------------
    // Enciphers every byte of text, appending the cipher text to out and advancing the counters.
    static void ScrambleString(std::string& out, std::string_view text, std::uint32_t& count,
                               std::uint32_t& sum);
    // Reads and deciphers one character of the file: 0..255, or kEof at the end. first, when not
    // 0, is the first raw character (one the tokenizer read ahead). Counts no lines.
    int CipherGetc(std::uint32_t& count, std::uint32_t& sum, int first = 0);
    // Writes an enciphered copy of a plain scenario under password (UTF-8; stored in Shift-JIS);
    // false (message shown) when a file cannot be opened.
    [[nodiscard]] bool EncryptScenario(const std::string& inputPath, const std::string& outputPath,
                                       const std::string& password);
    // Writes a plain copy of an enciphered scenario when password is the one it was enciphered
    // with; false (message shown, no output file written) otherwise.
    [[nodiscard]] bool DecryptScenario(const std::string& inputPath, const std::string& outputPath,
                                       const std::string& password);

    int LineCounter() const { return lineCounter_; }
    int TokenLine() const { return tokenLine_; }
    int ScenarioVersion() const { return scenarioVer_; }
    const std::string& OpeningText() const { return openingText_; }
    // The text shown for an error code, as the player sees it.
    std::string FormatError(int code) const;

private:
    ScenarioResult ReadOpenedScenario(const std::string& folder);
    // The keywords of the file: a table of keyword and how its value is read (reader.cpp).
    struct KeywordRule;
    static const KeywordRule kKeywords[];
    [[nodiscard]] int ReadKeywords();
    [[nodiscard]] int ReadKeywordValue(const KeywordRule& rule);
    // Keywords whose value has a reader of its own.
    [[nodiscard]] int ReadWordKeyword(std::string& value);
    [[nodiscard]] int ReadSecretKeyword();
    [[nodiscard]] int ReadCipherKeyword();
    [[nodiscard]] int ReadMapFileKeyword();
    [[nodiscard]] int ReadScenarioVerKeyword();
    [[nodiscard]] int ReadTitleKeyword();
    [[nodiscard]] int ReadEndingKeyword();
    [[nodiscard]] int ReadStartYearKeyword();
    [[nodiscard]] int ReadHeiUnitKeyword();
    [[nodiscard]] int ReadDistanceLimitKeyword();
    [[nodiscard]] int ReadRoadCost(int kind);
    [[nodiscard]] int ReadRoadCostBroad();
    [[nodiscard]] int ReadRoadCostNarrow();
    [[nodiscard]] int ReadRoadCostMountain();
    [[nodiscard]] int ReadRoadCostSea();
    [[nodiscard]] int ReadShiroOffsetKeyword();
    [[nodiscard]] int ReadNameOffset(int& offset);
    [[nodiscard]] int ReadShiroNameOffsetKeyword();
    [[nodiscard]] int ReadDaimyouNameOffsetKeyword();
    [[nodiscard]] int ReadBgmKeyword();
    [[nodiscard]] int ReadStandardAgeKeyword();
    [[nodiscard]] int ReadLanguageKeyword();
    [[nodiscard]] int ReadOpeningImgKeyword();
    [[nodiscard]] int ReadEndingImgKeyword();
    [[nodiscard]] int ReadIntValue(int& value);
    [[nodiscard]] int ReadYesNo(int& value);
    [[nodiscard]] int ReadPictureKeyword(std::int32_t& index);
    [[nodiscard]] int ExpectBrace();
    void ResetDefaults();
    void ResetOnOpen();
    void FinishReading();
    void ConvertTexts();
    // Names and descriptions of houses, castles and generals: file bytes to UTF-8.
    void ConvertWorldTexts();
    int ReadRawChar();
    int ReadTokenRaw(std::string& token, std::size_t size, std::string* echo, bool keepSeparatorsInQuotes);

    // Map and presentation sections.
    [[nodiscard]] int ReadMapFile(const std::string& name);
    [[nodiscard]] int ReadMainMapKakudai();
    [[nodiscard]] int ReadOpening();
    [[nodiscard]] int ReadEnding();
    [[nodiscard]] int ReadTextBlock(std::string& text);
    [[nodiscard]] int ReadKuniArea();
    [[nodiscard]] int ReadIntField(int& value, bool last, std::size_t size = 100);
    [[nodiscard]] int ReadWordField(std::string& token, bool last, std::size_t size = 100);
    [[nodiscard]] int ReadLineStart(std::string& token, std::size_t size, bool keepSeparators = false);
    static constexpr int kSectionEnd = -2;  // the line's first token was "}"
    [[nodiscard]] int ReadColorPallet();
    [[nodiscard]] int ReadWordAssign();
    [[nodiscard]] int ReadLabel();

    // Houses, castles, generals, routes and alliances.
    [[nodiscard]] int ReadDaimyou();
    [[nodiscard]] int ReadShiroType();
    [[nodiscard]] int ReadShiro();
    [[nodiscard]] int ReadBushou();
    [[nodiscard]] int ReadShiroConnect();
    [[nodiscard]] int ReadShiroConnectLists();  // the older form, one line per castle
    [[nodiscard]] int ReadDoumei();
    // Events.
    [[nodiscard]] int ReadConditionalEvent();
    [[nodiscard]] int ReadSnowKakuritsu();
    [[nodiscard]] int ReadRainKakuritsu();
    [[nodiscard]] int ReadEvent();
    [[nodiscard]] int ReadEventDetail();
    // Trade and muskets.
    [[nodiscard]] int ReadTrading();
    [[nodiscard]] int ReadTradingPartner();
    [[nodiscard]] int ReadTradingMonth();
    [[nodiscard]] int ReadTradingKuni();
    [[nodiscard]] int ReadTradingPort();
    [[nodiscard]] int ReadTeppouCost();
    [[nodiscard]] int ReadTeppouSoubiRitsu();
    [[nodiscard]] int ReadTeppouKouka();
    [[nodiscard]] int ReadTeppouSeisan();
    [[nodiscard]] int ReadTeppouKounyuu();
    [[nodiscard]] int ReadTeppouKounyuuMonth();
    // Helpers of the event, trade and musket sections.
    [[nodiscard]] int ReadConditionalEventBlock(CConditionalEvent& event);
    [[nodiscard]] int ReadEventItemBlock(CConditionalEvent& event, bool happenings);
    [[nodiscard]] int ReadEventOperand(std::int16_t& value, int kind, bool last);
    [[nodiscard]] int ReadEventItemText(std::string& text, bool last);
    [[nodiscard]] int ReadPeriod(std::int16_t& year, std::int8_t& month, std::size_t size);
    [[nodiscard]] int ReadDecimalField(double& value, bool last, int notNumberCode, std::size_t size = 100);
    [[nodiscard]] int ReadEventDetailBlock(CEventRecord& event);
    [[nodiscard]] int ReadProbabilityBlock(CEventRecord& event, bool chiiki);
    [[nodiscard]] int ReadWeatherSection(bool rain);
    [[nodiscard]] int DeclareTradingPartners(bool trading);
    [[nodiscard]] int ReadPlaceList(std::int8_t* months, std::uint32_t* sales, int monthValue,
                                    int salesValue);
    void ConvertEventTexts(TextEncoding enc);
    void ConvertTradeTexts(TextEncoding enc);
    // FindId that passes over empty slots (the built-in events and partner 0 have no identifier).
    static int FindNamedId(const std::vector<IdSlot>& slots, int count, const std::string& id);

    // Reads a section through to its closing line, keeping nothing (nested blocks counted).
    [[nodiscard]] int SkipSection();
    // Reads the rest of the current line, keeping nothing.
    [[nodiscard]] int SkipRestOfLine();
    // Position of the identifier among the first count slots, or -1 (compared byte for byte).
    int FindId(const std::vector<IdSlot>& slots, int count, const std::string& id) const;
    // Stores an identifier (at most kIdSize - 1 bytes) into a slot.
    void StoreId(IdSlot& slot, const std::string& id);

    GameState& gs_;
    MbKorMap::CCtrlKorMap& map_;
    const Ports ports_;  // the five pointers, kept by value
    std::string programFolder_;
    std::string scenarioFolder_;

    // Input.
    std::vector<std::uint8_t> data_;
    std::size_t pos_ = 0;
    bool open_ = false;
    int lineCounter_ = 1;
    int tokenLine_ = 1;
    int pending_ = 0;
    bool hasPending_ = false;
    int lastChar_ = '\n';
    bool virtualLineEndGiven_ = false;
    std::string* echo_ = nullptr;

    // Scenario cipher: after the Cipher header every character is deciphered with the counters.
    bool cipher_ = false;
    std::uint32_t cipherCount_ = 0, cipherSum_ = 0;
    std::uint32_t cipherCheck_ = 0;  // the check value of the header
    bool cipherCheckValid_ = false;  // the header held eight hexadecimal digits
    bool cipherFault_ = false;       // a character pair deciphered to no byte
    // Reads the cipher header after the Cipher keyword and its level, and turns deciphering on.
    [[nodiscard]] int StartCipher();
    // Reads the password (up to a blank) and the check value that open the cipher text.
    void ReadCipherPrefix(int first, std::string& password, std::uint32_t& check, bool& checkValid);
    // After the whole file: true when deciphering is on and the text does not fit its check value.
    bool CipherCheckFails() const;

    // Reading state.
    int scenarioVer_ = 1;
    int standardAge_ = 60;
    bool mapGiven_ = false;
    bool endingFromFile_ = false;  // the ending text holds the file's bytes
    std::string openingText_;
    std::string messageDetail_;
    std::string openingImageName_;
    std::string endingImageName_;
    std::string bgmNormal_;
    std::string bgmBattle_;
    std::int32_t mainMapKakudai_[5] = {0, 0, 0, 0, 0};
    double teppouCost_[4] = {300.0, 1.0, 50.0, 0.0};
    double teppouSoubiRitsu_[4] = {0.0, 0.1, 50.0, 0.0};
    std::uint8_t teppouKouka_[4] = {10, 10, 10, 10};
    std::int16_t shiroPerKuni_[250] = {};
    bool wordAssigned_[50] = {};
    bool weatherEvent_[200] = {};  // the event's name and message are built in (UTF-8 already)

    // Identifier slots of the sections, kIdSize bytes each, and their counts.
    // Lookup index of each identifier list: the first position of every identifier among the
    // slots indexed so far (a scenario at the capacities looks identifiers up many thousand times).
    struct IdIndex {
        int indexed = 0;
        std::unordered_map<std::string, int> first;
    };
    mutable std::unordered_map<const std::vector<IdSlot>*, IdIndex> idIndex_;
    std::vector<IdSlot> daimyouIds_, shiroTypeIds_, shiroIds_, bushouIds_, eventIds_, conditionalEventIds_,
        tradingPartnerIds_, teppouPlaceIds_;
    int nDaimyou_ = 0, nShiroType_ = 0, nShiro_ = 0, nBushou_ = 0, nDoumei_ = 0, nTradingPartner_ = 0,
        nTeppouPlace_ = 0, nEvent_ = 0, nConditionalEvent_ = 0, nLabel_ = 0, nRoutePoint_ = 1;
};

}  // namespace rymd
