#include "game/ports/event_input.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "game/ports/ports.h"

namespace rymd {

EventChoiceText SplitEventChoiceText(std::string_view text) {
    EventChoiceText out;
    std::size_t start = 0;
    bool first = true;
    while (true) {
        const std::size_t slash = text.find('/', start);
        const std::string_view piece =
            text.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        if (first) {
            out.prompt = std::string(piece);
            first = false;
        } else if (static_cast<int>(out.choices.size()) < kMaxEventChoices) {
            out.choices.emplace_back(piece);
        }
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    if (out.choices.empty()) out.choices.emplace_back(kNoEventChoice);
    return out;
}

bool ParseEventNumber(std::string_view text, double& value) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t' || text[pos] == '\n' ||
                                 text[pos] == '\r' || text[pos] == '\v' || text[pos] == '\f'))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Digits or a decimal point must follow: this keeps out "nan", "inf" and a second sign.
    if (pos >= text.size() || !((text[pos] >= '0' && text[pos] <= '9') || text[pos] == '.')) return false;
    double parsed = 0.0;
    const char* first = text.data() + pos;
    const char* last = text.data() + text.size();
    const std::from_chars_result r = std::from_chars(first, last, parsed, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(parsed)) return false;
    value = negative ? -parsed : parsed;
    return true;
}

}  // namespace rymd
