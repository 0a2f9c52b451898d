#include "game/shell/dialogs/events/shikyo_toujou_dlg.h"

#include <utility>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/common/title_board.h"
#include "platform/qt/app.h"

namespace rymd {

using namespace ui;

const DialogTemplate& CBushouDeathAppearDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "武将死去／登場";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 300;
        d.cy = 232;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {kAppearedBoardId, ControlKind::Static, "", 7, 7, 286, 16, SS_LEFT, 0},
            {kAppearedFrameId, ControlKind::Static, "", 7, 26, 286, 80, SS_LEFT, 0},
            {kDiedBoardId, ControlKind::Static, "", 7, 112, 286, 16, SS_LEFT, 0},
            {kDiedFrameId, ControlKind::Static, "", 7, 131, 286, 76, SS_LEFT, 0},
            {IDOK, ControlKind::Button, "閉じる", 125, 212, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

namespace {
DialogTemplate DeathAppearTemplateWithCaption(const std::string& caption) {
    DialogTemplate t = CBushouDeathAppearDlg::Template();
    if (!caption.empty()) t.caption = caption;
    return t;
}
}  // namespace

CBushouDeathAppearDlg::CBushouDeathAppearDlg(DeathAppearView view, Wnd* owner)
    : Dialog(DeathAppearTemplateWithCaption(view.caption), owner), view_(std::move(view)) {}

CBushouDeathAppearDlg::~CBushouDeathAppearDlg() = default;

std::string CBushouDeathAppearDlg::ListText(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

void CBushouDeathAppearDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, close_);
}

bool CBushouDeathAppearDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    CreateTitleBoardFont(boardFont_);
    ShowTitleBoard(*this, kAppearedBoardId, appearedBoard_, boardFont_, view_.appearedTitle);
    ShowTitleBoard(*this, kDiedBoardId, diedBoard_, boardFont_, view_.diedTitle);
    appearedView_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, ChildRect(kAppearedFrameId),
                           this, kAppearedViewId);
    appearedView_.SetText(ListText(view_.appeared));
    diedView_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, ChildRect(kDiedFrameId), this,
                       kDiedViewId);
    diedView_.SetText(ListText(view_.died));
    close_.SetFocus();
    return false;
}

void ShowBushouDeathAppearDlg(Wnd* owner, const DeathAppearView& view) {
    EnsureApplication();
    CBushouDeathAppearDlg dlg(view, owner);
    dlg.DoModal();
}

}  // namespace rymd
