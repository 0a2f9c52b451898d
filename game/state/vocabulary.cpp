#include "game/state/vocabulary.h"

#include "platform/core/archive.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace rymd {

const std::array<WordAssign, kWordSlotCount> WordAssignTbl = {{
    {"DAIMYOUKE", "大名家"},
    {"ASHIGARUHEI", "足軽兵"},
    {"KIBAHEI", "騎馬兵"},
    {"TEPPOU", "鉄砲"},
    {"SHIRO", "城"},
    {"JOUSHU", "城主"},
    {"RAKUJOU", "落城"},
    {"KAIJOU", "開城"},
    {"SHIROFUSHIN", "城普請"},
    {"BUSHOU", "武将"},
    {"KOKUDAKA", "石高"},
    {"KOKU", "石"},
    {"KOUEKISEN", "交易船"},
    {"GUNSEN", "軍船"},
    {"TEPPOU_KOUNYUU", "鉄砲購入"},
    {"TEPPOU_SEISAN", "鉄砲生産"},
    {"TEPPOU_HAIBI", "鉄砲配備"},
    {"TEPPOU_SHAGEKI", "鉄砲射撃"},
    {"BC", "B.C."},
    {"ZENKOKU", "全国"},
    {"SHIRO_LEVEL1", "本丸"},
    {"SHIRO_LEVEL2", "二の丸"},
    {"SHIRO_LEVEL3", "三の丸"},
    {"SHIRO_LEVEL4", "西の丸"},
    {"SHIRO_LEVEL5", "北の丸"},
    {"SHIRO_LEVEL6", "東の丸"},
    {"SHIRO_LEVEL7", "南の丸"},
    {"SHIRO_LEVEL8", "外堀"},
    {"SHIRO_LEVEL9", "西出丸"},
    {"SHIRO_LEVEL10", "東出丸"},
    {"HYOUROU", "兵糧"},
    {"ROUTOU", "郎党"},
    {"SEISHI", "世嗣"},
    {"TAISAN", "は蝦夷地の奥深くに退散しました"},
    {"CHOU", "挺"},
    {"SEPPUKU", "切腹"},
    {"HOUROKUHIYA", "焙烙火矢攻撃"},
    {"GENPUKU", "元服"},
    {"SHOKEI", "処刑"},
    {"SHUKAIDOU", "主街道"},
    {"SHOUKAIDOU", "小街道"},
    {"SANRO", "山路"},
    {"SUIRO", "水路"},
    {"RIKURO", "陸路"},
    {"KAIKON", "新田開墾"},
    {"RAKUICHI", "楽市楽座"},
    {"KOUZAN", "鉱山"},
    {"KOUZAN_KAIHATSU", "鉱山開発"},
    {"KEIZAI", "経済"},
    {"NOUHANKI", "農繁期"},
}};

void ResetScenarioWords(ScenarioWordArray& words) {
    for (int i = 0; i < kWordSlotCount; ++i) {
        words[static_cast<std::size_t>(i)] = WordAssignTbl[static_cast<std::size_t>(i)].word;
    }
}

int FindWordKeyword(std::string_view keyword) {
    for (int i = 0; i < kWordSlotCount; ++i) {
        if (keyword == WordAssignTbl[static_cast<std::size_t>(i)].keyword) {
            return i;
        }
    }
    return -1;
}

std::string ReplaceWordInSlot(std::string_view text, int slot, const ScenarioWordArray& words) {
    if (slot < 0 || slot >= kWordSlotCount) {
        return std::string(text);
    }
    const std::string_view from = WordAssignTbl[static_cast<std::size_t>(slot)].word;
    const std::string& to = words[static_cast<std::size_t>(slot)];
    if (from.empty() || from == to) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    return out;
}

#define RYMD_REPLACE_WORD(Name, slot)                                                      \
    std::string ReplaceWord##Name(std::string_view text, const ScenarioWordArray& words) { \
        return ReplaceWordInSlot(text, slot, words);                                       \
    }

RYMD_REPLACE_WORD(Daimyouke, 0)
RYMD_REPLACE_WORD(Ashigaruhei, 1)
RYMD_REPLACE_WORD(Kibahei, 2)
RYMD_REPLACE_WORD(Teppou, 3)
RYMD_REPLACE_WORD(Shiro, 4)
RYMD_REPLACE_WORD(Joushu, 5)
RYMD_REPLACE_WORD(Rakujou, 6)
RYMD_REPLACE_WORD(Kaijou, 7)
RYMD_REPLACE_WORD(ShiroFushin, 8)
RYMD_REPLACE_WORD(Bushou, 9)
RYMD_REPLACE_WORD(Kokudaka, 10)
RYMD_REPLACE_WORD(Koku, 11)
RYMD_REPLACE_WORD(Kouekisen, 12)
RYMD_REPLACE_WORD(Gunsen, 13)
RYMD_REPLACE_WORD(TeppouKounyuu, 14)
RYMD_REPLACE_WORD(TeppouSeisan, 15)
RYMD_REPLACE_WORD(TeppouHaibi, 16)
RYMD_REPLACE_WORD(TeppouShageki, 17)
RYMD_REPLACE_WORD(BC, 18)
RYMD_REPLACE_WORD(Zenkoku, 19)
RYMD_REPLACE_WORD(Hyourou, 30)
RYMD_REPLACE_WORD(Chou, 34)
RYMD_REPLACE_WORD(Seppuku, 35)
RYMD_REPLACE_WORD(HourokuHiya, 36)
RYMD_REPLACE_WORD(Genpuku, 37)
RYMD_REPLACE_WORD(Shokei, 38)
RYMD_REPLACE_WORD(Suiro, 42)
RYMD_REPLACE_WORD(Rikuro, 43)
RYMD_REPLACE_WORD(Kaikon, 44)
RYMD_REPLACE_WORD(Rakuichi, 45)
RYMD_REPLACE_WORD(Kouzan, 46)
RYMD_REPLACE_WORD(KouzanKaihatsu, 47)
RYMD_REPLACE_WORD(Keizai, 48)
RYMD_REPLACE_WORD(Nouhanki, 49)

#undef RYMD_REPLACE_WORD

std::string FormatWithWords(const ScenarioWordArray& words,
                            std::initializer_list<WordSubstitution> substitutions, const char* format, ...) {
    // The words go into the literal runs of the format with every '%' doubled, so that printf
    // copies them as plain text; the conversions are copied as they stand, so they stay those of
    // the literal format the compiler checked the arguments against.
    ScenarioWordArray escaped;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        for (char ch : words[i]) {
            escaped[i] += ch;
            if (ch == '%') escaped[i] += '%';
        }
    }
    std::string pattern;
    std::string run;
    const auto endRun = [&] {
        for (WordSubstitution substitute : substitutions)
            run = substitute(run, escaped);
        pattern += run;
        run.clear();
    };
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%' || p[1] == '%') {  // text, or a percent sign written as "%%"
            run += *p;
            if (*p == '%') run += *++p;
            continue;
        }
        endRun();
        pattern += *p;  // '%', then flags, width, precision and length up to the conversion letter
        while (p[1] != '\0' && std::strchr("-+ #0123456789.*'hlLqjzt", p[1]) != nullptr)
            pattern += *++p;
        if (p[1] == '\0') break;
        pattern += *++p;
    }
    endRun();
    std::va_list args;
    va_start(args, format);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::string out = FormatTextV(pattern.c_str(), args);
#pragma GCC diagnostic pop
    va_end(args);
    return out;
}

void WriteChangedWords(ArchiveWriter& out, const ScenarioWordArray& words, TextEncoding encoding) {
    for (int i = 0; i < kWordSlotCount; ++i) {
        const std::string& w = words[static_cast<std::size_t>(i)];
        if (w != WordAssignTbl[static_cast<std::size_t>(i)].word) {
            out.WriteI32(i);
            out.WriteCString(FromUtf8(w, encoding));
        }
    }
    out.WriteI32(-1);
}

bool ReadChangedWords(ArchiveReader& in, ScenarioWordArray& words, TextEncoding encoding) {
    ScenarioWordArray staged;
    ResetScenarioWords(staged);
    for (;;) {
        const std::int32_t slot = in.ReadI32();
        if (!in.Ok()) {
            return false;
        }
        if (slot == -1) {
            break;
        }
        if (slot < 0 || slot >= kWordSlotCount) {
            in.Fail();
            return false;
        }
        const std::string bytes = in.ReadCString();
        if (!in.Ok()) {
            return false;
        }
        staged[static_cast<std::size_t>(slot)] = ToUtf8(bytes, encoding);
    }
    words = std::move(staged);
    return true;
}

std::string KokudakaText(long long kokudaka, const ScenarioWordArray& words) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%lld万%04lld石", kokudaka / 10000, kokudaka % 10000);
    return ReplaceWordKoku(buf, words);
}

}  // namespace rymd
