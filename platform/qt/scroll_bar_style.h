// The look of the windows' own scroll bars (internal to the window layer): the classic bevels of
// the rest of the controls, in the fixed system colours.
//
//   arrow buttons  button face with a raised two-pixel bevel (3D light and highlight above and
//                  left, dark shadow and shadow below and right) and a black arrow (shadow grey
//                  when the bar is disabled); pushed, a one-pixel shadow frame
//   groove         a one-pixel checker of highlight and button face (shadow-dark while a page
//                  area is pushed)
//   thumb          button face with the raised bevel; no thumb while the bar is disabled
#pragma once

class QStyle;

namespace rymd::ui {

// The style every scroll bar of the layer uses (one shared object).
QStyle* ClassicScrollBarStyle();

}  // namespace rymd::ui
