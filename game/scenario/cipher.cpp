// Scenario cipher: the cipher itself, the reader's cipher header and check, and the two copy
// writers of the scenario tools.
#include "game/scenario/cipher.h"

#include <cstdio>

#include "game/ports/ports.h"
#include "game/scenario/errors.h"
#include "game/scenario/reader.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"

namespace rymd {

const std::uint8_t g_ScenarioCipherKey[100] = {
    0xA6, 0xCB, 0x51, 0xA2, 0x80, 0xE6, 0x57, 0xBE, 0xFF, 0x5A,  //
    0x94, 0x2B, 0xCE, 0xF8, 0xF5, 0xB6, 0x5F, 0x68, 0x26, 0x5F,  //
    0x01, 0x4C, 0x82, 0xEA, 0x17, 0x95, 0x25, 0x33, 0x57, 0x27,  //
    0x86, 0xF2, 0xFD, 0x85, 0xE8, 0xBF, 0x57, 0x69, 0xC6, 0x3D,  //
    0x20, 0xCB, 0xA1, 0xAE, 0x1B, 0x48, 0x3E, 0x71, 0xCE, 0x26,  //
    0x2C, 0xFF, 0xF8, 0x8E, 0xA5, 0x4B, 0xC5, 0xD5, 0x05, 0x85,  //
    0x46, 0xFF, 0x2E, 0xF2, 0x8B, 0x1E, 0x8D, 0x1C, 0x92, 0xB5,  //
    0xEF, 0xB2, 0x15, 0x8F, 0x07, 0x7E, 0xB6, 0xEB, 0x87, 0xEF,  //
    0xBD, 0x01, 0x8A, 0xEC, 0x74, 0x8C, 0xA0, 0x22, 0x0E, 0xDB,  //
    0x4C, 0xAD, 0x79, 0xD6, 0x4B, 0x98, 0x46, 0xF5, 0x6F, 0x3C,  //
};

void ScrambleByte(std::string& out, std::uint8_t v, std::uint32_t& count, std::uint32_t& sum) {
    const unsigned k = g_ScenarioCipherKey[(count + sum) % 100u];
    if (v < 32 || v >= 120) {
        out.push_back(static_cast<char>(120 + (v >> 6)));
        out.push_back(static_cast<char>(((v & 63u) + k) % 88u + 32u));
    } else {
        out.push_back(static_cast<char>((v - 32u + k) % 88u + 32u));
    }
    ++count;
    sum += static_cast<std::uint32_t>(v) << (count & 7u);
}

void ScrambleBytes(std::string& out, std::string_view text, std::uint32_t& count, std::uint32_t& sum) {
    for (char c : text)
        ScrambleByte(out, static_cast<std::uint8_t>(c), count, sum);
}

namespace {

bool PasswordHasBlank(const std::string& password) {
    return FromUtf8(password, TextEncoding::ShiftJis).find(' ') != std::string::npos;
}

}  // namespace

std::string CheckCipherRequest(const std::string& inputPath, const std::string& outputPath,
                               const std::string& password) {
    if (SameFile(inputPath, outputPath)) return kCipherMsgSameFile;
    if (EncodedLength(password, TextEncoding::ShiftJis) > kCipherPasswordMaxBytes)
        return kCipherMsgPasswordTooLong;
    if (PasswordHasBlank(password)) return kCipherMsgPasswordBlank;
    return "";
}

// --- the reader's side ----------------------------------------------------------------------------

void CScenarioReader::ScrambleString(std::string& out, std::string_view text, std::uint32_t& count,
                                     std::uint32_t& sum) {
    ScrambleBytes(out, text, count, sum);
}

int CScenarioReader::CipherGetc(std::uint32_t& count, std::uint32_t& sum, int first) {
    int v = DecipherChar([this] { return ReadRawChar(); }, count, sum, first);
    if (v > 255) {
        // No byte enciphers to this pair: the text has been tampered with.
        cipherFault_ = true;
        v &= 0xFF;
    }
    return v;
}

namespace {

int HexDigit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

void CScenarioReader::ReadCipherPrefix(int first, std::string& password, std::uint32_t& check,
                                       bool& checkValid) {
    // The password up to its blank, with counters of its own.
    std::uint32_t count = 0, sum = 0;
    password.clear();
    for (int taken = 0; taken < kCipherPasswordReadMax; ++taken) {
        int c = CipherGetc(count, sum, first);
        first = 0;
        if (c == kEof || c == ' ') break;
        password.push_back(static_cast<char>(c));
    }
    // Eight characters of hexadecimal digits, the highest first, again with fresh counters. Any
    // other character leaves no check value that a text could fit; all eight are read all the same.
    count = sum = 0;
    check = 0;
    checkValid = true;
    for (int i = 0; i < 8; ++i) {
        int digit = HexDigit(CipherGetc(count, sum));
        if (digit < 0) {
            checkValid = false;
            digit = 0;
        }
        check = (check << 4) | static_cast<std::uint32_t>(digit);
    }
}

int CScenarioReader::StartCipher() {
    cipherFault_ = false;
    int first = 0;
    if (hasPending_) {
        hasPending_ = false;
        first = pending_;
    }
    std::string password;  // playing needs no password: it is read past
    ReadCipherPrefix(first, password, cipherCheck_, cipherCheckValid_);
    cipherCount_ = cipherSum_ = 0;
    cipher_ = true;
    return kScnOk;
}

bool CScenarioReader::CipherCheckFails() const {
    return cipher_ && (cipherFault_ || !cipherCheckValid_ || cipherCheck_ != cipherSum_);
}

// --- the scenario tools -----------------------------------------------------------------------------

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) {
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

}  // namespace

bool CScenarioReader::EncryptScenario(const std::string& inputPath, const std::string& outputPath,
                                      const std::string& password) {
    if (PasswordHasBlank(password)) {
        ports_.inform->Inform(kCipherMsgPasswordBlank);
        return false;
    }
    if (!OpenFile(inputPath)) {
        ports_.inform->Inform(kCipherMsgCannotOpenScenario);
        return false;
    }

    // The password (kept in the file's encoding) and its blank.
    std::string prefix;
    std::uint32_t count = 0, sum = 0;
    ScrambleString(prefix, FromUtf8(password, TextEncoding::ShiftJis) + " ", count, sum);

    // The whole text, token by token: everything the tokenizer consumed for a token (blanks,
    // comments and line breaks included) is enciphered, so the text comes back unchanged.
    std::string body;
    count = sum = 0;
    std::string token, echo;
    for (;;) {
        echo.clear();
        int end = ReadToken(token, kCipherTokenSize, &echo);
        ScrambleString(body, echo, count, sum);
        if (end == kEndOfFile) break;
    }
    echo_ = nullptr;
    CloseFile();

    // The check value of the text, with fresh counters.
    char check[9];
    std::snprintf(check, sizeof check, "%08x", sum);
    std::uint32_t checkCount = 0, checkSum = 0;
    ScrambleString(prefix, check, checkCount, checkSum);

    std::string out = FromUtf8(kCipherHeaderUtf8, TextEncoding::ShiftJis);
    out.push_back('\n');
    out.reserve(out.size() + (prefix.size() + body.size()) * (kCipherLineLength + 1) / kCipherLineLength + 1);
    std::size_t column = 0;
    for (const std::string* part : {&prefix, &body}) {
        for (char c : *part) {
            out.push_back(c);
            if (++column == kCipherLineLength) {
                out.push_back('\n');
                column = 0;
            }
        }
    }
    if (!WriteFileAtomic(outputPath, Bytes(out))) {
        ports_.inform->Inform(kCipherMsgCannotOpenOutput);
        return false;
    }
    return true;
}

bool CScenarioReader::DecryptScenario(const std::string& inputPath, const std::string& outputPath,
                                      const std::string& password) {
    if (!OpenFile(inputPath)) {
        ports_.inform->Inform(kCipherMsgCannotOpenScenario);
        return false;
    }

    // The plain text before the header is copied as it stands.
    std::string out, token, echo;
    bool headerFound = false;
    for (;;) {
        echo.clear();
        int end = ReadToken(token, kCipherTokenSize, &echo);
        if (end == kEndOfFile) break;
        if (token == "Cipher") {
            std::size_t lineEnd = echo.rfind('\n');
            if (lineEnd != std::string::npos) out.append(echo, 0, lineEnd + 1);
            headerFound = true;
            break;
        }
        out += echo;
    }
    echo_ = nullptr;

    bool passwordMatches = false;
    bool dataSound = false;
    if (headerFound) {
        ReadToken(token, kCipherTokenSize);  // the cipher level; the rest of the line is a remark
        int first = 0;
        if (hasPending_) {
            hasPending_ = false;
            first = pending_;
        }
        cipherFault_ = false;
        std::string stored;
        std::uint32_t check = 0;
        bool checkValid = false;
        ReadCipherPrefix(first, stored, check, checkValid);
        passwordMatches = stored == FromUtf8(password, TextEncoding::ShiftJis);
        if (passwordMatches) {
            std::uint32_t count = 0, sum = 0;
            for (int c; (c = CipherGetc(count, sum)) != kEof;)
                out.push_back(static_cast<char>(c));
            dataSound = checkValid && !cipherFault_ && check == sum;
        }
    }
    CloseFile();

    // Nothing is written unless the whole text came back sound. A file without a cipher header
    // holds no enciphered data to restore.
    if (!headerFound) {
        ports_.inform->Inform(kCipherMsgBadData);
        return false;
    }
    if (!passwordMatches) {
        ports_.inform->Inform(kCipherMsgWrongPassword);
        return false;
    }
    if (!dataSound) {
        ports_.inform->Inform(kCipherMsgBadData);
        return false;
    }
    if (!WriteFileAtomic(outputPath, Bytes(out))) {
        ports_.inform->Inform(kCipherMsgCannotOpenOutput);
        return false;
    }
    return true;
}

}  // namespace rymd
