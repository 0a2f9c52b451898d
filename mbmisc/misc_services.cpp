// The misc library's small services.
#include "mbmisc/misc_services.h"

#include <locale.h>
#include <stdlib.h>

#include <string>

namespace MbMisc {

double ttof(const char* text) {
    if (text == nullptr) return 0.0;
    // The "C" locale once for the process: the decimal point stays '.' whatever locale the
    // window layer has set.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale == static_cast<locale_t>(nullptr)) return strtod(text, nullptr);
    return strtod_l(text, nullptr, cLocale);
}

unsigned char CheckMMX() {
    return 1;
}

int CheckOS() {
    return kOsCodePosix;
}

int CDrawSmallNumber::NumberWidth(int number) {
    int width = 1;
    for (char c : std::to_string(number))
        width += c == '1' ? 4 : 5;
    return width;
}

}  // namespace MbMisc
