#include "game/shell/dialogs/common/report_picture.h"

#include "mbkormap/kor_map.h"

namespace rymd {

ui::Rect ChildRectOf(const ui::Wnd& dialog, int id) {
    ui::Wnd* w = dialog.GetDlgItem(id);
    if (!w) return ui::Rect();
    ui::Rect r = w->GetWindowRect();
    dialog.ScreenToClient(r);
    return r;
}

void ReportPicture::Load(MbKorMap::CCtrlKorMap* map, int index, BuiltIn builtIn) {
    if (!shell::CopyScenarioPicture(map, index, bmp_)) (shell::PictureStore().*builtIn)(bmp_);
}

void ReportPicture::Paint(const ui::Wnd& dialog, int id, ui::Dc& dc) const {
    if (bmp_.IsEmpty()) return;
    dc.StretchControlBmp(ChildRectOf(dialog, id), bmp_, ui::Rect(0, 0, bmp_.GetWidth(), bmp_.GetHeight()));
}

}  // namespace rymd
