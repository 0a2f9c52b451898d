#include "game/shell/window/pass_through_wnd.h"

#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace rymd::shell {

namespace {

ui::Point ToParent(const ui::Wnd& self, ui::Wnd& parent, ui::Point p) {
    self.ClientToScreen(p);
    parent.ScreenToClient(p);
    return p;
}

}  // namespace

void CPassThroughWnd::OnPaint(ui::Dc& dc) {
    dc.FillSolidRect(GetClientRect(), ui::GetSysColor(ui::COLOR_BTNFACE));
}

bool CPassThroughWnd::OnSetCursor(ui::Wnd* wnd, int hitTest, unsigned message) {
    ui::SetCursor(this, ui::Cursor::SizeNS);
    return true;
}

void CPassThroughWnd::OnLButtonDown(unsigned flags, ui::Point point) {
    if (ui::Wnd* parent = GetParent()) parent->OnLButtonDown(flags, ToParent(*this, *parent, point));
}

void CPassThroughWnd::OnMouseMove(unsigned flags, ui::Point point) {
    if (ui::Wnd* parent = GetParent()) parent->OnMouseMove(flags, ToParent(*this, *parent, point));
}

}  // namespace rymd::shell
