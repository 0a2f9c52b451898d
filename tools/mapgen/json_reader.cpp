#include "tools/mapgen/json_reader.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace rymd::mapgen {

const JsonValue* JsonValue::Find(std::string_view key) const {
    if (type != Type::kObject) return nullptr;
    for (const auto& m : members) {
        if (m.first == key) return &m.second;
    }
    return nullptr;
}

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    bool ParseDocument(JsonValue& out) {
        SkipSpace();
        if (!ParseValue(out, 0)) return false;
        SkipSpace();
        if (pos_ != s_.size()) return Fail("text after the value");
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    bool Fail(const char* what) {
        if (error_.empty()) error_ = std::string(what) + " at byte " + std::to_string(pos_);
        return false;
    }

    void SkipSpace() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\n' || s_[pos_] == '\r')) {
            ++pos_;
        }
    }

    bool Literal(std::string_view word) {
        if (s_.substr(pos_, word.size()) != word) return Fail("unknown word");
        pos_ += word.size();
        return true;
    }

    bool ParseValue(JsonValue& out, int depth) {
        if (depth > kMaxJsonDepth) return Fail("nesting too deep");
        if (pos_ >= s_.size()) return Fail("unexpected end");
        char c = s_[pos_];
        switch (c) {
            case '{': return ParseObject(out, depth);
            case '[': return ParseArray(out, depth);
            case '"': out.type = JsonValue::Type::kString; return ParseString(out.text);
            case 't':
                out.type = JsonValue::Type::kBool;
                out.boolean = true;
                return Literal("true");
            case 'f':
                out.type = JsonValue::Type::kBool;
                out.boolean = false;
                return Literal("false");
            case 'n': out.type = JsonValue::Type::kNull; return Literal("null");
            default:
                if (c == '-' || (c >= '0' && c <= '9')) return ParseNumber(out);
                return Fail("unexpected character");
        }
    }

    bool ParseObject(JsonValue& out, int depth) {
        out.type = JsonValue::Type::kObject;
        ++pos_;
        SkipSpace();
        if (pos_ < s_.size() && s_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (pos_ >= s_.size() || s_[pos_] != '"') return Fail("expected a key");
            std::string key;
            if (!ParseString(key)) return false;
            SkipSpace();
            if (pos_ >= s_.size() || s_[pos_] != ':') return Fail("expected ':'");
            ++pos_;
            SkipSpace();
            out.members.push_back(JsonMember{std::move(key), JsonValue{}});
            if (!ParseValue(out.members.back().second, depth + 1)) return false;
            SkipSpace();
            if (pos_ >= s_.size()) return Fail("unexpected end");
            if (s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (s_[pos_] == '}') {
                ++pos_;
                return true;
            }
            return Fail("expected ',' or '}'");
        }
    }

    bool ParseArray(JsonValue& out, int depth) {
        out.type = JsonValue::Type::kArray;
        ++pos_;
        SkipSpace();
        if (pos_ < s_.size() && s_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            out.items.emplace_back();
            if (!ParseValue(out.items.back(), depth + 1)) return false;
            SkipSpace();
            if (pos_ >= s_.size()) return Fail("unexpected end");
            if (s_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (s_[pos_] == ']') {
                ++pos_;
                return true;
            }
            return Fail("expected ',' or ']'");
        }
    }

    bool ParseNumber(JsonValue& out) {
        std::size_t start = pos_;
        if (s_[pos_] == '-') ++pos_;
        auto digits = [&] {
            std::size_t d = pos_;
            while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9')
                ++pos_;
            return pos_ > d;
        };
        if (!digits()) return Fail("bad number");
        if (pos_ < s_.size() && s_[pos_] == '.') {
            ++pos_;
            if (!digits()) return Fail("bad number");
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) ++pos_;
            if (!digits()) return Fail("bad number");
        }
        std::string token(s_.substr(start, pos_ - start));
        errno = 0;
        char* end = nullptr;
        double v = std::strtod(token.c_str(), &end);
        if (end != token.c_str() + token.size() || !std::isfinite(v)) return Fail("bad number");
        out.type = JsonValue::Type::kNumber;
        out.number = v;
        return true;
    }

    static void AppendUtf8(std::string& out, std::uint32_t cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    bool Hex4(std::uint32_t& v) {
        if (pos_ + 4 > s_.size()) return Fail("bad escape");
        v = 0;
        for (int i = 0; i < 4; ++i) {
            char c = s_[pos_++];
            v <<= 4;
            if (c >= '0' && c <= '9') {
                v |= static_cast<std::uint32_t>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                v |= static_cast<std::uint32_t>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                v |= static_cast<std::uint32_t>(c - 'A' + 10);
            } else {
                return Fail("bad escape");
            }
        }
        return true;
    }

    bool ParseString(std::string& out) {
        ++pos_;  // opening quote
        for (;;) {
            if (pos_ >= s_.size()) return Fail("unterminated string");
            unsigned char c = static_cast<unsigned char>(s_[pos_++]);
            if (c == '"') return true;
            if (c < 0x20) return Fail("control character in string");
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (pos_ >= s_.size()) return Fail("unterminated string");
            char e = s_[pos_++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    std::uint32_t cp = 0;
                    if (!Hex4(cp)) return false;
                    if (cp >= 0xD800 && cp < 0xDC00) {
                        std::uint32_t lo = 0;
                        if (pos_ + 2 > s_.size() || s_[pos_] != '\\' || s_[pos_ + 1] != 'u') {
                            return Fail("lone surrogate");
                        }
                        pos_ += 2;
                        if (!Hex4(lo)) return false;
                        if (lo < 0xDC00 || lo >= 0xE000) return Fail("lone surrogate");
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                    } else if (cp >= 0xDC00 && cp < 0xE000) {
                        return Fail("lone surrogate");
                    }
                    AppendUtf8(out, cp);
                    break;
                }
                default: return Fail("bad escape");
            }
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace

bool ParseJson(std::string_view text, JsonValue& out, std::string* error) {
    Parser p(text);
    out = JsonValue{};
    if (p.ParseDocument(out)) return true;
    if (error) *error = p.Error();
    out = JsonValue{};
    return false;
}

}  // namespace rymd::mapgen
