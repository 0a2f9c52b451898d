// Compiled on its own by the test "format_text_checks_arguments": a call with more arguments than
// its format names must draw the compiler's format warning (FormatText carries the printf format
// attribute). Not part of any test program.
#include "platform/core/format_text.h"

std::string Misuse() {
    return rymd::FormatText("%d : %d", 1, 2, 3);
}
