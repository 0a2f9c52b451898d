// The picture of a report dialog (muskets arrived, trade ships home, warships completed): the
// scenario's picture when its keyword names one of the province map's named pictures, else the
// program's built-in one. The template's picture control only marks the place; the dialog hides
// it and paints the picture stretched over it.
#pragma once

#include "game/shell/app/picture_store.h"
#include "mbbmp/control_bmp.h"
#include "platform/qt/dc.h"
#include "platform/qt/wnd.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

// The rectangle of the dialog's control with the id in the dialog's client coordinates (empty
// when there is no such control).
ui::Rect ChildRectOf(const ui::Wnd& dialog, int id);

class ReportPicture {
public:
    using BuiltIn = void (shell::CPictureStore::*)(MbBmp::CControlBmp&) const;

    // index: the scenario's picture index (-1: the built-in picture); map may be null.
    void Load(MbKorMap::CCtrlKorMap* map, int index, BuiltIn builtIn);
    // Paints the picture over the control's place (nothing when there is no picture).
    void Paint(const ui::Wnd& dialog, int id, ui::Dc& dc) const;
    const MbBmp::CControlBmp& Bmp() const { return bmp_; }

private:
    MbBmp::CControlBmp bmp_;
};

}  // namespace rymd
