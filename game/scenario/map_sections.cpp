// Scenario sections that tie a scenario to its province map and set what the player sees:
// MapFile, MainMapKakudai, KuniArea, ColorPallet, Label, Opening, Ending and WordAssign.
#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "game/state/game_state.h"
#include "game/state/map_limits.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"

namespace rymd {

namespace {
// The bounds of a view rectangle (MainMapKakudai, KuniArea) lie within this many map units of 0
// either way, far beyond any map, so that a bound plus 1 and the width and height of a
// rectangle stay in range wherever they are used.
constexpr int kMaxMapCoordinate = 1 << 24;

bool BoundsFit(const int* v, int n) {
    for (int i = 0; i < n; ++i)
        if (v[i] < -kMaxMapCoordinate || v[i] > kMaxMapCoordinate) return false;
    return true;
}
}  // namespace

int CScenarioReader::ReadMapFile(const std::string& name) {
    const std::string file = ToUtf8(name, gs_.Encoding());
    // Regions and provinces index fixed per-place tables: a map with more than they hold is
    // refused before anything of it is taken.
    int result = map_.LoadKorMap((scenarioFolder_ + file).c_str(), MapFitsTables);
    if (result == MbKorMap::CCtrlKorMap::kCannotOpen)
        result = map_.LoadKorMap((programFolder_ + file).c_str(), MapFitsTables);
    switch (result) {
        case MbKorMap::CCtrlKorMap::kLoaded: break;
        case MbKorMap::CCtrlKorMap::kCannotOpen: return kScnMapNotFound;
        case MbKorMap::CCtrlKorMap::kRefused: return kScnMapTooManyKuni;
        default: return kScnMapBad;
    }
    map_.ElvMap().EraseLandTopography();
    map_.TextureSetup();
    gs_.nChiiki = map_.ChiikiCount();
    gs_.nKuni = map_.KuniCount();
    return kScnOk;
}

// Reads the next field of a section line: an integer that must be followed by more on the
// same line (last = false) or end the line (last = true).
int CScenarioReader::ReadIntField(int& value, bool last, std::size_t size) {
    std::string token;
    int end = ReadToken(token, size);
    if (end == kEndOfFile) return kStopAtEof;
    if (!ParseInt(token, value)) return kScnNotInteger;
    if ((end == kEndOfLine) != last) return kScnSyntax;
    return kScnOk;
}

int CScenarioReader::ReadWordField(std::string& token, bool last, std::size_t size) {
    int end = ReadToken(token, size);
    if (end == kEndOfFile) return kStopAtEof;
    if ((end == kEndOfLine) != last) return kScnSyntax;
    return kScnOk;
}

// Reads the first token of a section line. kSectionEnd when it is "}".
int CScenarioReader::ReadLineStart(std::string& token, std::size_t size, bool keepSeparators) {
    int end = ReadToken(token, size, nullptr, keepSeparators);
    if (end == kEndOfFile) return kStopAtEof;
    if (token == "}") return kSectionEnd;
    if (end == kEndOfLine) return kScnSyntax;
    return kScnOk;
}

int CScenarioReader::ReadMainMapKakudai() {
    int v[4];
    for (int i = 0; i < 4; ++i)
        if (int r = ReadIntField(v[i], i == 3); r != kScnOk) return r;
    if (!BoundsFit(v, 4)) return kScnNotInteger;
    mainMapKakudai_[0] = 1;
    mainMapKakudai_[1] = v[0];
    mainMapKakudai_[2] = v[1];
    mainMapKakudai_[3] = v[2] + 1;
    mainMapKakudai_[4] = v[3] + 1;
    if (map_.FormatFlag() == 1 && scenarioVer_ >= 5)
        for (int i = 1; i <= 4; ++i)
            mainMapKakudai_[i] /= 2;
    return kScnOk;
}

int CScenarioReader::ReadKuniArea() {
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, 100);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        int kuni = map_.FindKuni(token);
        if (kuni < 0) return kScnBadKuniId;
        int v[5];
        for (int i = 0; i < 5; ++i)
            if (int e = ReadIntField(v[i], i == 4); e != kScnOk) return e;
        if (!BoundsFit(v + 1, 4)) return kScnNotInteger;
        KuniAreaRecord& area = gs_.KuniAreaTbl[kuni];
        area.type = v[0];
        if (map_.FormatFlag() == 1 && scenarioVer_ >= 5)
            for (int i = 1; i <= 4; ++i)
                v[i] /= 2;
        area.left = v[1];
        area.top = v[2];
        area.right = v[3] + 1;
        area.bottom = v[4] + 1;
    }
}

int CScenarioReader::ReadColorPallet() {
    std::string token;
    int index = 0;
    for (;;) {
        int r = ReadToken(token, 200);
        if (r == kEndOfFile) return kStopAtEof;
        if (token == "}") return kScnOk;
        if (index >= GameState::kColorPalletSize) return kScnTooManyColors;
        if (r == kEndOfLine) return kScnSyntax;
        int rgb[3];
        if (!ParseInt(token, rgb[0])) return kScnNotInteger;
        for (int i = 1; i < 3; ++i)
            if (int e = ReadIntField(rgb[i], false, 200); e != kScnOk) return e;
        if (int e = ReadWordField(token, true, 200); e != kScnOk) return e;  // not used
        gs_.ColorPallet[index++] = (rgb[0] & 0xFF) | (rgb[1] & 0xFF) << 8 | (rgb[2] & 0xFF) << 16;
    }
}

int CScenarioReader::ReadLabel() {
    constexpr std::size_t kSize = 1000;
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        if (nLabel_ >= GameState::kMaxLabel) return kScnTooManyLabels;
        if (token.size() > 20) return kScnLabelTooLong;
        LabelRecord label;
        label.text = token;  // file bytes until the whole file is read
        int x, y;
        if (int e = ReadIntField(x, false, kSize); e != kScnOk) return e;
        if (int e = ReadIntField(y, false, kSize); e != kScnOk) return e;
        if (int e = ReadWordField(token, false, kSize); e != kScnOk) return e;
        if (token == "NONE") {
            label.kuni = -1;
        } else {
            int kuni = map_.FindKuni(token);
            if (kuni < 0) return kScnBadKuniId;
            label.kuni = static_cast<std::int16_t>(kuni);
        }
        if (int e = ReadWordField(token, false, kSize); e != kScnOk) return e;
        if (token == "WHOLE")
            label.flags |= LabelRecord::kFlagWhole;
        else if (token != "PART")
            return kScnSyntax;
        int color, height;
        if (int e = ReadIntField(color, false, kSize); e != kScnOk) return e;
        if (color < 0 || color > 9) return kScnBadColorIndex;
        label.color = static_cast<std::uint8_t>(color);
        if (int e = ReadIntField(height, false, kSize); e != kScnOk) return e;
        label.fontHeight = static_cast<std::uint8_t>(height & 0xFF);
        for (int i = 0; i < 2; ++i) {
            if (int e = ReadWordField(token, i == 1, kSize); e != kScnOk) return e;
            if (token == "YES")
                label.flags |= i == 0 ? LabelRecord::kFlagBold : LabelRecord::kFlagItalic;
            else if (token != "NO")
                return kScnSyntax;
        }
        if (map_.FormatFlag() == 1) {
            x /= 2;
            y /= 2;
        }
        label.x = x;
        label.y = y;
        gs_.LabelTbl[nLabel_++] = label;
    }
}

int CScenarioReader::ReadTextBlock(std::string& text) {
    text.clear();
    std::string token;
    for (;;) {
        int end = ReadToken(token, 10001, nullptr, true);
        if (end == kEndOfFile) return kStopAtEof;
        if (token == "}") return kScnOk;
        if (end != kEndOfLine) return kScnSyntax;
        text += token;
        text += '\n';
    }
}

int CScenarioReader::ReadOpening() {
    return ReadTextBlock(openingText_);
}

int CScenarioReader::ReadEnding() {
    return ReadTextBlock(gs_.EndingText);
}

int CScenarioReader::ReadWordAssign() {
    constexpr std::size_t kSize = 1000;
    std::string token;
    for (;;) {
        int r = ReadLineStart(token, kSize);
        if (r == kSectionEnd) return kScnOk;
        if (r != kScnOk) return r;
        int slot = FindWordKeyword(token);
        if (slot < 0) return kScnWordAssign;
        if (int e = ReadWordField(token, true, kSize); e != kScnOk) return e;
        gs_.ScenarioWords[slot] = token;  // file bytes until the whole file is read
        wordAssigned_[slot] = true;
    }
}

}  // namespace rymd
