// The small-digit painter of the misc library, with its drawing (DrawNumber), which needs the
// window layer and is built into this library.
//
// The digits are 4 pixels wide ('1' 3 pixels) and 6 tall, drawn in the digit colour inside a
// one-pixel outline in the second colour; neighbouring digits share their outline column. A
// number thus covers 1 + 4 pixels for each '1' + 5 for every other character across, and 8
// pixels down, from the top-left point given. A minus sign is as wide as a digit.
#pragma once

#include "mbmisc/misc_services.h"
#include "platform/qt/ui_types.h"

namespace MbMisc {

// Height in pixels of a painted number.
inline constexpr int kSmallNumberHeight = 8;

}  // namespace MbMisc
