// The application's shared small image list: two 9 x 11 pictures in 16-bit colour that the list
// views of generals show before a name. Picture 0 marks a general, picture 1 a general with a
// commentary.
#pragma once

#include "platform/qt/list_ctrl.h"

namespace rymd {

// Made on first use; lives as long as the program.
ui::ImageList& SharedSmallImageList();

// The colour that stands for "no picture here" in the pictures' source.
inline constexpr ui::COLORREF kSmallImageMask = ui::RGB(0, 0, 128);

}  // namespace rymd
