#include "game/shell/dialogs/flow/start_menu_dlg.h"

#include "game/shell/app/picture_store.h"
#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace rymd::shell {

using ui::Rect;

const ui::DialogTemplate& CStartMenuDlg::StartMenuTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "龍門記 スタートメニュー";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 233;
        d.cy = 107;
        return d;
    }();
    return t;
}

const std::array<CStartMenuDlg::ButtonPlace, 5>& CStartMenuDlg::Buttons() {
    static const std::array<ButtonPlace, 5> b = {{
        {kNewGameId, "新規にゲームを開始する", Rect(350, 250, 650, 274)},
        {kLoadId, "プレイ途中のデータをロードしゲームを再開する", Rect(350, 290, 650, 314)},
        {kQuitId, "ゲームを終了する", Rect(350, 330, 650, 354)},
        {kUtilityId, "Utility", Rect(500, 420, 580, 444)},
        {kHelpId, "Help", Rect(600, 420, 680, 444)},
    }};
    return b;
}

CStartMenuDlg::CStartMenuDlg(Hooks hooks, ui::Wnd* parent)
    : Dialog(StartMenuTemplate(), parent), hooks_(std::move(hooks)) {
    for (auto& b : buttons_)
        b = std::make_unique<MbWnd::CTextureButton>();
}

CStartMenuDlg::~CStartMenuDlg() = default;

bool CStartMenuDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    font_.CreateFont(12, 0, 0, 0, 500, false, false, false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    PictureStore().LoadTitle(title_);

    // The client area takes the picture's size, centred on the main window.
    if (!title_.IsEmpty()) {
        Rect w = GetWindowRect();
        const Rect c = GetClientRect();
        w.right = w.left + title_.GetWidth() + (w.Width() - c.Width());
        w.bottom = w.top + title_.GetHeight() + (w.Height() - c.Height());
        MoveWindow(w, false);
        // Over the main window as the player sees it (one still to be maximised covers the
        // screen); without a main window over the owner, or the screen.
        ui::Wnd* main = ui::GetMainWindow();
        CenterWindow(main && main != this && main->IsWindow() ? main : nullptr);
        texture_.CreateFromControlBmp(title_);
    }
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const ButtonPlace& p = Buttons()[i];
        MbWnd::CTextureButton& b = *buttons_[i];
        b.Create(p.text, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::BS_OWNERDRAW, p.rect, this,
                 p.id);
        b.SetFont(&font_);
        if (!texture_.IsNull()) b.SetTexture(texture_);
    }
    return true;
}

void CStartMenuDlg::OnPaint(ui::Dc& dc) {
    dc.FillSolidRect(GetClientRect(), ui::GetSysColor(ui::COLOR_BTNFACE));
    if (!title_.IsEmpty()) dc.DrawControlBmp(0, 0, title_);
}

bool CStartMenuDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (code != ui::BN_CLICKED) return Dialog::OnCommand(id, code, from);
    switch (id) {
        case kNewGameId:
            if (hooks_.readScenario && hooks_.readScenario() == 0) {
                m_nChoice = kNewGame;
                EndDialog(ui::IDOK);
            }
            return true;
        case kLoadId:
            m_nChoice = kLoad;
            EndDialog(ui::IDOK);
            return true;
        case kQuitId:
            m_nChoice = kQuit;
            EndDialog(ui::IDOK);
            return true;
        case kHelpId:
            if (hooks_.openHelp) hooks_.openHelp();
            return true;
        case kUtilityId:
            if (hooks_.runUtility && hooks_.runUtility() && hooks_.readScenario &&
                hooks_.readScenario() == 0) {
                m_nChoice = kBenchmark;
                EndDialog(ui::IDOK);
            }
            return true;
        default: return Dialog::OnCommand(id, code, from);
    }
}

}  // namespace rymd::shell
