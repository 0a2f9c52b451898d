// The scenario vocabulary. A scenario may rename the game's key terms (house, foot soldiers,
// castle, koku, musket, ...) so that the same program can play other countries and eras. There
// are 50 word slots; each has a keyword, by which the scenario's WordAssign section replaces it,
// and a built-in word, which is also its start value. Texts shown to the player are written with
// the built-in words and passed through the substitution functions below, each of which replaces
// its slot's built-in word by the slot's current word.
//
// The built-in word of slot 4 (castle) occurs inside those of slots 5 to 8, and that of slot 11
// (koku) inside that of slot 10 (rice yield): the caller runs the compound words first when a text
// holds several terms, since each function replaces only its own word.
//
// All texts and words are UTF-8 inside the program; the save form carries the file encoding.
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/core/encoding.h"
#include "platform/core/format_text.h"

namespace rymd {

class ArchiveReader;
class ArchiveWriter;

inline constexpr int kWordSlotCount = 50;

struct WordAssign {
    const char* keyword;  // the scenario keyword (ASCII)
    const char* word;     // the built-in word (UTF-8)
};

extern const std::array<WordAssign, kWordSlotCount> WordAssignTbl;

using ScenarioWordArray = std::array<std::string, kWordSlotCount>;

// Slot numbers of the words that code reads directly (no substitution function).
enum WordSlot : int {
    kWordDaimyouke = 0,
    kWordShiro = 4,
    kWordKokudaka = 10,
    kWordKoku = 11,
    kWordKouekisen = 12,
    kWordGunsen = 13,
    kWordZenkoku = 19,
    kWordShiroLevel1 = 20,  // castle ring n is slot 19 + n (n = 1..10)
    kWordShiroLevel10 = 29,
    kWordRoutou = 31,
    kWordSeishi = 32,
    kWordTaisan = 33,
    kWordShukaidou = 39,  // road kinds broad, narrow, mountain, sea: slots 39..42
    kWordShoukaidou = 40,
    kWordSanro = 41,
    kWordSuiro = 42,
    kWordKaikon = 44,
    kWordRakuichi = 45,
    kWordKouzanKaihatsu = 47,
};

// Sets every slot back to its built-in word (done before a scenario is read).
void ResetScenarioWords(ScenarioWordArray& words);

// The slot whose keyword equals the bytes given (byte for byte), or -1.
int FindWordKeyword(std::string_view keyword);

// Replace-all of slot's built-in word by its current word, left to right, non-overlapping.
// A slot outside 0..49 gives the text unchanged.
std::string ReplaceWordInSlot(std::string_view text, int slot, const ScenarioWordArray& words);

std::string ReplaceWordDaimyouke(std::string_view text, const ScenarioWordArray& words);    // 0 大名家
std::string ReplaceWordAshigaruhei(std::string_view text, const ScenarioWordArray& words);  // 1 足軽兵
std::string ReplaceWordKibahei(std::string_view text, const ScenarioWordArray& words);      // 2 騎馬兵
std::string ReplaceWordTeppou(std::string_view text, const ScenarioWordArray& words);       // 3 鉄砲
std::string ReplaceWordShiro(std::string_view text, const ScenarioWordArray& words);        // 4 城
std::string ReplaceWordJoushu(std::string_view text, const ScenarioWordArray& words);       // 5 城主
std::string ReplaceWordRakujou(std::string_view text, const ScenarioWordArray& words);      // 6 落城
std::string ReplaceWordKaijou(std::string_view text, const ScenarioWordArray& words);       // 7 開城
std::string ReplaceWordShiroFushin(std::string_view text, const ScenarioWordArray& words);  // 8 城普請
std::string ReplaceWordBushou(std::string_view text, const ScenarioWordArray& words);       // 9 武将
std::string ReplaceWordKokudaka(std::string_view text, const ScenarioWordArray& words);     // 10 石高
std::string ReplaceWordKoku(std::string_view text, const ScenarioWordArray& words);         // 11 石
// A rice yield as "%d万%04d石" (ten-thousands and the rest), in the scenario's word for 石.
std::string KokudakaText(long long kokudaka, const ScenarioWordArray& words);
std::string ReplaceWordKouekisen(std::string_view text, const ScenarioWordArray& words);      // 12 交易船
std::string ReplaceWordGunsen(std::string_view text, const ScenarioWordArray& words);         // 13 軍船
std::string ReplaceWordTeppouKounyuu(std::string_view text, const ScenarioWordArray& words);  // 14 鉄砲購入
std::string ReplaceWordTeppouSeisan(std::string_view text, const ScenarioWordArray& words);  // 15 鉄砲生産
std::string ReplaceWordTeppouHaibi(std::string_view text, const ScenarioWordArray& words);  // 16 鉄砲配備
std::string ReplaceWordTeppouShageki(std::string_view text, const ScenarioWordArray& words);  // 17 鉄砲射撃
std::string ReplaceWordBC(std::string_view text, const ScenarioWordArray& words);             // 18 B.C.
std::string ReplaceWordZenkoku(std::string_view text, const ScenarioWordArray& words);        // 19 全国
std::string ReplaceWordHyourou(std::string_view text, const ScenarioWordArray& words);        // 30 兵糧
std::string ReplaceWordChou(std::string_view text, const ScenarioWordArray& words);           // 34 挺
std::string ReplaceWordSeppuku(std::string_view text, const ScenarioWordArray& words);        // 35 切腹
std::string ReplaceWordHourokuHiya(std::string_view text, const ScenarioWordArray& words);  // 36 焙烙火矢攻撃
std::string ReplaceWordGenpuku(std::string_view text, const ScenarioWordArray& words);   // 37 元服
std::string ReplaceWordShokei(std::string_view text, const ScenarioWordArray& words);    // 38 処刑
std::string ReplaceWordSuiro(std::string_view text, const ScenarioWordArray& words);     // 42 水路
std::string ReplaceWordRikuro(std::string_view text, const ScenarioWordArray& words);    // 43 陸路
std::string ReplaceWordKaikon(std::string_view text, const ScenarioWordArray& words);    // 44 新田開墾
std::string ReplaceWordRakuichi(std::string_view text, const ScenarioWordArray& words);  // 45 楽市楽座
std::string ReplaceWordKouzan(std::string_view text, const ScenarioWordArray& words);    // 46 鉱山
std::string ReplaceWordKouzanKaihatsu(std::string_view text, const ScenarioWordArray& words);  // 47 鉱山開発
std::string ReplaceWordKeizai(std::string_view text, const ScenarioWordArray& words);          // 48 経済
std::string ReplaceWordNouhanki(std::string_view text, const ScenarioWordArray& words);        // 49 農繁期

// One of the substitution functions above.
using WordSubstitution = std::string (*)(std::string_view text, const ScenarioWordArray& words);

// A message written with the built-in words and printf conversions: the format's own words are
// replaced by the substitution functions given, in that order, and the arguments are put in as
// they are. The scenario's words are texts, never conversions: a word holding '%' is shown as
// written; and an argument (a name holding a built-in word, say) is never substituted.
std::string FormatWithWords(const ScenarioWordArray& words,
                            std::initializer_list<WordSubstitution> substitutions, const char* format, ...)
    RYMD_PRINTF_FORMAT(3, 4);

// Saved form of the vocabulary: for each slot whose word differs from its built-in word, the slot
// index (32-bit) and the word (a counted string in the file encoding); then -1.
void WriteChangedWords(ArchiveWriter& out, const ScenarioWordArray& words, TextEncoding encoding);

// Reads the saved form: the words start from the built-in ones and each pair replaces one slot.
// A slot index outside 0..49 or a truncated stream refuses the data: the result is false, the
// reader is marked failed and words are left as they were.
bool ReadChangedWords(ArchiveReader& in, ScenarioWordArray& words, TextEncoding encoding);

}  // namespace rymd
