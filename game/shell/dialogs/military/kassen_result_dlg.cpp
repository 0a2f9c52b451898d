#include "game/shell/dialogs/military/kassen_result_dlg.h"

#include "game/shell/dialogs/common/title_board.h"
#include "platform/qt/app.h"

namespace rymd {

using namespace ui;

const DialogTemplate& CKassenResultDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "合戦結果";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 320;
        d.cy = 238;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {IDOK, ControlKind::Button, "閉じる", 135, 218, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
            {kReportFrameId, ControlKind::Static, "", 7, 28, 306, 124, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kFatesFrameId, ControlKind::Static, "", 7, 156, 306, 56, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kTitleFrameId, ControlKind::Static, "", 7, 7, 306, 16, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
        };
        return d;
    }();
    return t;
}

CKassenResultDlg::CKassenResultDlg(Wnd* parent) : Dialog(Template(), parent) {}

CKassenResultDlg::~CKassenResultDlg() = default;

void CKassenResultDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_CloseButton);
}

bool CKassenResultDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    CreateTitleBoardFont(m_BoardFont);
    ShowTitleBoard(*this, kTitleFrameId, m_TitleBoard, m_BoardFont, kTitle);

    m_ReportView.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, ChildRect(kReportFrameId),
                          this, kReportViewId);
    m_ReportView.SetText(m_strKassen);
    m_FatesView.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, ChildRect(kFatesFrameId), this,
                         kFatesViewId);
    m_FatesView.SetText(m_strFates);
    return true;
}

std::intptr_t ShowKassenResult(Wnd* parent, std::string_view battleText, std::string_view fatesText) {
    EnsureApplication();
    CKassenResultDlg dlg(parent);
    dlg.m_strKassen = battleText.empty() ? std::string(kNoBattles) : std::string(battleText);
    dlg.m_strFates = std::string(fatesText);
    return dlg.DoModal();
}

}  // namespace rymd
