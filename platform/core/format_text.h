// printf-style formatting into a std::string of whatever length the result needs. The compiler
// checks the arguments against a literal format.
#pragma once

#include <cstdarg>
#include <string>

namespace rymd {

#if defined(__GNUC__) || defined(__clang__)
#define RYMD_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define RYMD_PRINTF_FORMAT(fmt, args)
#endif

// The text printf would write for the format and arguments; empty on an encoding error.
std::string FormatText(const char* format, ...) RYMD_PRINTF_FORMAT(1, 2);

// As FormatText, with the arguments already gathered (the list is left as it was received).
std::string FormatTextV(const char* format, std::va_list args) RYMD_PRINTF_FORMAT(1, 0);

}  // namespace rymd
