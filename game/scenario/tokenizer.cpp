// Scenario tokenizer: characters, tokens and the two number checks.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "game/scenario/reader.h"
#include "platform/core/file.h"

namespace rymd {

bool CScenarioReader::OpenFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    const bool opened = ReadFileBytes(path, bytes, kScenarioFileMaxBytes);
    OpenBytes(std::move(bytes));
    if (!opened) {
        data_.clear();
        open_ = false;
    }
    return opened;
}

void CScenarioReader::OpenBytes(std::vector<std::uint8_t> bytes) {
    data_ = std::move(bytes);
    pos_ = 0;
    open_ = true;
    lineCounter_ = tokenLine_ = 1;
    hasPending_ = false;
    pending_ = 0;
    lastChar_ = '\n';
    virtualLineEndGiven_ = false;
    echo_ = nullptr;
    cipher_ = false;
    nDaimyou_ = nShiroType_ = nShiro_ = nBushou_ = nDoumei_ = 0;
    nTradingPartner_ = nTeppouPlace_ = nEvent_ = nConditionalEvent_ = nLabel_ = 0;
    nRoutePoint_ = 1;
    idIndex_.clear();
    ResetOnOpen();
}

void CScenarioReader::CloseFile() {
    data_.clear();
    data_.shrink_to_fit();
    pos_ = 0;
    open_ = false;
}

int CScenarioReader::ReadRawChar() {
    if (pos_ >= data_.size()) return kEof;
    int c = data_[pos_++];
    // The file is read as text: a CR-LF pair arrives as one LF.
    if (c == '\r' && pos_ < data_.size() && data_[pos_] == '\n') c = data_[pos_++];
    return c;
}

int CScenarioReader::ReadChar() {
    int c;
    if (hasPending_) {
        hasPending_ = false;
        return pending_;
    }
    // After the cipher header every character is deciphered.
    c = cipher_ ? CipherGetc(cipherCount_, cipherSum_) : ReadRawChar();
    if (c == kEof) {
        // A last line without a line break still ends as a line: its last token is kept.
        if (lastChar_ != '\n' && !virtualLineEndGiven_) {
            virtualLineEndGiven_ = true;
            lastChar_ = '\n';
            return '\n';
        }
        return kEof;
    }
    lastChar_ = c;
    if (echo_) echo_->push_back(static_cast<char>(c));
    return c;
}

namespace {
inline bool IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\r';
}
}  // namespace

int CScenarioReader::ReadToken(std::string& token, std::size_t size, std::string* echo,
                               bool keepSeparatorsInQuotes) {
    int result = ReadTokenRaw(token, size, echo, keepSeparatorsInQuotes);
    // The token is a C string to every user: a NUL byte ends it.
    std::size_t nul = token.find('\0');
    if (nul != std::string::npos) token.resize(nul);
    return result;
}

int CScenarioReader::ReadTokenRaw(std::string& token, std::size_t size, std::string* echo,
                                  bool keepSeparatorsInQuotes) {
    echo_ = echo;
    const std::size_t maxLength = size > 0 ? size - 1 : 0;
    bool quoting = false;
    int c;

start_token:
    token.clear();
    // Skip blanks, empty lines and comments up to the first character of the token.
    for (;;) {
        tokenLine_ = lineCounter_;
        if (hasPending_) {
            hasPending_ = false;
            c = pending_;
        } else {
            c = ReadChar();
        }
        if (c == kEof) return kEndOfFile;
        if (IsBlank(c)) continue;
        if (c == '\n') {
            ++lineCounter_;
            continue;
        }
        if (c == '/') {
            do {
                c = ReadChar();
                if (c == kEof) return kEndOfFile;
            } while (c != '\n');
            ++lineCounter_;
            continue;
        }
        break;
    }

    // The token itself.
    for (;;) {
        if (c == '\n') {
            ++lineCounter_;
            std::size_t n = token.size();
            if (n >= 2 && token[n - 2] == '&' && token[n - 1] == '+') {
                token.resize(n - 2);
                if (token.empty()) goto start_token;  // a line of "&+" alone is passed over
                c = ReadChar();
                if (c == kEof) return kEndOfFile;
                continue;  // continued on the next line
            }
            return kEndOfLine;
        }
        if (!keepSeparatorsInQuotes && (c == ':' || c == ',')) return kMoreOnLine;
        if (!quoting) {
            if (c == ':' || c == ',') return kMoreOnLine;
            if (IsBlank(c)) break;
        }
        if (c == '"')
            quoting = !quoting;
        else if (token.size() < maxLength)
            token.push_back(static_cast<char>(c));
        c = ReadChar();
        if (c == kEof) return kEndOfFile;
    }

    // The token ended at a blank: find out whether the line goes on.
    for (;;) {
        c = ReadChar();
        if (c == kEof) return kEndOfFile;
        if (IsBlank(c)) continue;
        if (c == ':' || c == ',') return kMoreOnLine;
        if (c == '\n') {
            ++lineCounter_;
            return kEndOfLine;
        }
        if (c == '/') {
            do {
                c = ReadChar();
                if (c == kEof) return kEndOfFile;
            } while (c != '\n');
            ++lineCounter_;
            return kEndOfLine;
        }
        pending_ = c;
        hasPending_ = true;
        return kMoreOnLine;
    }
}

bool CScenarioReader::ParseInt(const std::string& token, int& value) {
    if (token.empty()) return false;
    std::size_t i = (token[0] == '+' || token[0] == '-') ? 1 : 0;
    for (; i < token.size(); ++i)
        if (token[i] < '0' || token[i] > '9') return false;
    // atoi, but an out-of-range number stops at the end of the int range.
    errno = 0;
    long long v = std::strtoll(token.c_str(), nullptr, 10);
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    value = static_cast<int>(v);
    return true;
}

bool CScenarioReader::ParseFloat(const std::string& token, double& value) {
    if (token.empty()) return false;
    char first = token[0];
    if (!(first == '+' || first == '-' || first == '.' || (first >= '0' && first <= '9'))) return false;
    int dots = first == '.' ? 1 : 0;
    for (std::size_t i = 1; i < token.size(); ++i) {
        char c = token[i];
        if (c == '.') {
            if (++dots > 1) return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    value = std::strtod(token.c_str(), nullptr);
    return true;
}

}  // namespace rymd
