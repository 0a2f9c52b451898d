// The scenario cipher: a substitution cipher that keeps a scenario's text from being read or
// edited in a text editor.
//
// Each byte becomes one or two printable characters of a 92-character alphabet (codes 32..123),
// shifted by a key byte that two running counters choose:
//   - bytes 32..119 take one character: (v - 32 + k) mod 88 + 32;
//   - bytes 0..31 and 120..255 take two: 120 + (v >> 6) ("x", "y", "z", "{"), then
//     ((v & 63) + k) mod 88 + 32;
// where k = key[(count + sum) mod 100]; then count goes up by one and sum by v << (count & 7).
// Characters outside the alphabet (line breaks among them) are skipped when deciphering, so the
// cipher text may be broken into lines anywhere.
//
// An enciphered scenario is: any plain text, the header line (kCipherHeaderUtf8 and a line break),
// then the cipher text in lines of 60 characters: the password and one blank, the eight lower-case
// hexadecimal digits of the final sum of the scenario text, and the scenario text itself, each
// part enciphered with fresh counters. Playing such a scenario needs no password; the decryption
// writes a plain copy only when the password matches.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rymd {

// The key table; writing and reading must use the same table.
extern const std::uint8_t g_ScenarioCipherKey[100];

// The header line before the cipher text (without its line break). It is written in Shift-JIS.
inline constexpr char kCipherHeaderUtf8[] = "Cipher : LEVEL1\t// これ以降のデータは暗号化されています";
// Characters of cipher text per line.
inline constexpr std::size_t kCipherLineLength = 60;
// A password is read back up to its blank, at most this many bytes.
inline constexpr int kCipherPasswordReadMax = 99;
// The longest password the scenario tools accept.
inline constexpr std::size_t kCipherPasswordMaxBytes = 20;
// Token buffer of the cipher's copy writers.
inline constexpr std::size_t kCipherTokenSize = 11001;

// Messages of the scenario tools.
inline constexpr char kCipherMsgCannotOpenScenario[] = "シナリオファイルが開けません";
inline constexpr char kCipherMsgCannotOpenOutput[] = "出力ファイルが開けません";
inline constexpr char kCipherMsgWrongPassword[] = "パスワードが違います";
inline constexpr char kCipherMsgBadData[] = "データが異常です";
inline constexpr char kCipherMsgSameFile[] = "出力ファイルは元ファイルとは違う名前にしてください";
inline constexpr char kCipherMsgPasswordTooLong[] = "パスワードは20文字以内で入力してください";
// The stored password ends at its first blank, so a password with a blank could never be given back.
inline constexpr char kCipherMsgPasswordBlank[] = "パスワードに空白は使えません";

// Enciphers one byte, appending its one or two characters to out and advancing the counters.
void ScrambleByte(std::string& out, std::uint8_t v, std::uint32_t& count, std::uint32_t& sum);
// Enciphers every byte of text (zero bytes included), appending to out.
void ScrambleBytes(std::string& out, std::string_view text, std::uint32_t& count, std::uint32_t& sum);

// Deciphers one byte. next() gives the next raw character (0..255) or -1 at the end; first, when
// not 0, is taken as the first raw character instead. Characters outside the alphabet are skipped.
// Returns the value, or -1 when the text ends first (a lead character without its second
// character included). A damaged text can give values up to 279, which no byte enciphers to; the
// caller treats them as damage.
template <class NextChar>
int DecipherChar(NextChar&& next, std::uint32_t& count, std::uint32_t& sum, int first = 0) {
    auto inAlphabet = [](int c) { return c >= 32 && c <= 123; };
    auto reduce = [](int x) {  // into 0..87
        x %= 88;
        return x < 0 ? x + 88 : x;
    };
    int c = first != 0 ? first : next();
    while (c != -1 && !inAlphabet(c))
        c = next();
    if (c == -1) return -1;
    const int k = g_ScenarioCipherKey[(count + sum) % 100u];
    int value;
    if (c >= 120) {
        const int high = (c - 120) * 64;
        int c2 = next();
        while (c2 != -1 && !inAlphabet(c2))
            c2 = next();
        if (c2 == -1) return -1;
        value = high + reduce(c2 - 32 - k);
    } else {
        value = reduce(c - 32 - k) + 32;
    }
    ++count;
    sum += static_cast<std::uint32_t>(value) << (count & 7u);
    return value;
}

// The checks the scenario tools make before a run: the message to show, or "" when the run may
// go ahead (the output must not be the input file, under any name; the password at most 20 bytes
// in Shift-JIS, without a blank).
std::string CheckCipherRequest(const std::string& inputPath, const std::string& outputPath,
                               const std::string& password);

}  // namespace rymd
