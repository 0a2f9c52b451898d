// Text encodings of the files the game reads and writes. Inside the program every text is
// UTF-8; scenario files, saved games and map files carry Shift-JIS (code page 932) or GB2312.
// Conversions never fail: bad input is replaced and the conversion goes on.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rymd {

enum class TextEncoding { ShiftJis, Gb2312 };

// File bytes to UTF-8. Each byte that does not start a valid character (including a lead
// byte cut off at the end) becomes U+FFFD.
std::string ToUtf8(std::string_view bytes, TextEncoding encoding);

// UTF-8 to file bytes. A character with no mapping in the file encoding becomes '?';
// each byte of invalid UTF-8 becomes '?' too.
std::string FromUtf8(std::string_view utf8, TextEncoding encoding);

// Byte length of the text once converted to the file encoding (as FromUtf8 would give it).
std::size_t EncodedLength(std::string_view utf8, TextEncoding encoding);

// True when the byte starts a double-byte character of the encoding.
bool IsLeadByte(unsigned char byte, TextEncoding encoding);

// The largest length <= maxBytes that ends on a character boundary of the encoded text:
// a double-byte character is never split, and a lead byte left alone at the end of the
// text is dropped as well.
std::size_t CharBoundaryCut(std::string_view encodedBytes, std::size_t maxBytes, TextEncoding encoding);

// The longest prefix of the UTF-8 text whose file encoding fits in maxBytes; whole
// characters only.
std::string CutUtf8ToEncodedLength(std::string_view utf8, std::size_t maxBytes, TextEncoding encoding);

}  // namespace rymd
