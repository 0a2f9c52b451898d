// The main window's own pictures, painted when it starts: its big and small icon, and the twelve
// colour swatches its command panel's house list shows before each house. Swatch k (0..9) is the
// colour the colour display gives the house at place k of the list, 10 marks the houses below
// them (white in a black frame) and 11 a house that serves another (plain white).
#pragma once

#include <QImage>
#include <array>

#include "platform/qt/list_ctrl.h"

namespace rymd::shell {

// The colour display's house colours, place k in colour k; the last two are the swatches' white.
inline constexpr std::array<ui::COLORREF, 12> kDaimyouColorTbl = {
    ui::RGB(255, 255, 255), ui::RGB(255, 255, 0), ui::RGB(0, 255, 255),   ui::RGB(0, 255, 0),
    ui::RGB(255, 128, 64),  ui::RGB(255, 0, 255), ui::RGB(162, 148, 255), ui::RGB(0, 128, 255),
    ui::RGB(64, 128, 64),   ui::RGB(128, 64, 0),  ui::RGB(255, 0, 0),     ui::RGB(255, 255, 255)};
inline constexpr int kDaimyouSwatchSize = 16;
// The colour the image list leaves out (no swatch pixel has it).
inline constexpr ui::COLORREF kDaimyouSwatchMask = ui::RGB(0, 0, 128);

// Swatch i (0..11): 16 x 16 white; a black 12 x 12 square at (2, 2) unless i is 11; a 10 x 10
// square at (3, 3) in colour i.
QImage DaimyouColorSwatch(int i);
// The twelve swatches, in order, into a fresh image list of 16 x 16 pictures.
void MakeDaimyouSwatches(ui::ImageList& list);

// The window's icon, size x size pixels (32 the big icon, 16 the small one): the first character
// of the game's name in white on a deep red ground with a gold rim.
QImage MainWindowIcon(int size);

}  // namespace rymd::shell
