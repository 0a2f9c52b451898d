// Compiled on its own by the test "format_text_refuses_a_text_as_format" with the project's
// compiler options: a text that is not a literal (a scenario's word, say) used as the format
// must draw the compiler's warning. Not part of any test program.
#include <string>

#include "platform/core/format_text.h"

std::string Misuse(const std::string& word) {
    return rymd::FormatText(word.c_str(), 5);
}
