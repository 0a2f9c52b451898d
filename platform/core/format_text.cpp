#include "platform/core/format_text.h"

#include <cstdio>

namespace rymd {

std::string FormatTextV(const char* format, std::va_list args) {
    std::va_list measure;
    va_copy(measure, args);
    const int n = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (n < 0) return std::string();
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::va_list write;
    va_copy(write, args);
    std::vsnprintf(out.data(), out.size(), format, write);
    va_end(write);
    out.resize(static_cast<std::size_t>(n));
    return out;
}

std::string FormatText(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::string out = FormatTextV(format, args);
    va_end(args);
    return out;
}

}  // namespace rymd
