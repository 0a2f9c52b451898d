// The misc library's small services: reading typed numbers, the machine checks of the start-up,
// and the small-digit painter of the castle map.
#pragma once

#include <cstdint>

#include "platform/core/color.h"

namespace rymd::ui {
class Dc;
struct Point;
}  // namespace rymd::ui

namespace MbMisc {

using rymd::COLORREF;  // red in the low byte

// Reads a number typed as text, as the C library's atof does in the "C" locale whatever the
// program's locale: leading white space, a sign, digits with '.' as the decimal point and an
// exponent; reading stops at the first character that does not fit. No number gives 0; a value
// beyond the range of double gives plus or minus infinity. A null text gives 0.
double ttof(const char* text);

// Non-zero when the processor can run the game. Every processor this program builds for can.
unsigned char CheckMMX();

// Code of the operating system, kept by the program; nothing depends on its value.
constexpr int kOsCodePosix = 0x0100;
int CheckOS();

// Paints numbers in small digits (the warship counts beside castle boats): the digit colour and a
// second colour for the digits' outline.
//
// The digits are 4 pixels wide with one pixel of space before each ('1' is 3 pixels wide), so a
// number's width is 1 + 4 for each '1' + 5 for each other character; callers right-align numbers
// with NumberWidth. Painting the digits needs a device context: DrawNumber is built with the
// window layer (mbwnd/draw_small_number.cpp).
class CDrawSmallNumber {
public:
    CDrawSmallNumber() = default;
    virtual ~CDrawSmallNumber() = default;
    CDrawSmallNumber(const CDrawSmallNumber&) = default;
    CDrawSmallNumber& operator=(const CDrawSmallNumber&) = default;

    void SetColor(COLORREF first, COLORREF second) {
        digitColor_ = first;
        secondColor_ = second;
    }
    COLORREF GetDigitColor() const { return digitColor_; }
    COLORREF GetSecondColor() const { return secondColor_; }

    // Width in pixels of number as the digits paint it ("%d"; a minus sign counts as a character).
    static int NumberWidth(int number);

    // Paints number with the top-left corner of its outline at topLeft: the digits in the digit
    // colour inside a one-pixel outline in the second colour, 8 pixels tall. Built with the window
    // layer (in MbWnd, mbwnd/draw_small_number.cpp).
    void DrawNumber(rymd::ui::Dc& dc, rymd::ui::Point topLeft, int number);

private:
    COLORREF digitColor_ = 0;
    COLORREF secondColor_ = 0;
};

}  // namespace MbMisc
