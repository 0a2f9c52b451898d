#include "game/shell/dialogs/events/event_input_dlg.h"

#include <algorithm>

#include "game/ports/event_input.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/app.h"

namespace rymd {

using namespace ui;

const DialogTemplate& CEventInputDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "";
        d.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
        d.cx = 200;
        d.cy = 94;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {kPromptFrameId, ControlKind::Static, "", 7, 7, 186, 60, WS_CHILD | WS_VISIBLE | SS_LEFT, 0},
            {kNumberFieldId, ControlKind::Edit, "", 7, 73, 130, 12,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
            {IDOK, ControlKind::Button, "OK", 143, 72, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

CEventInputDlg::CEventInputDlg(Wnd* parent) : Dialog(Template(), parent) {}

CEventInputDlg::~CEventInputDlg() = default;

void CEventInputDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_OkButton);
}

bool CEventInputDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    CreateTextViewOver(*this, kPromptFrameId, m_PromptView, kPromptViewId, m_strPrompt);
    Rect area = m_PromptView.GetWindowRect();
    ScreenToClient(area);
    Wnd* field = GetDlgItem(kNumberFieldId);
    if (m_nMode == kModeNumber) {
        if (field) field->SetFocus();
        return false;
    }

    if (field) field->ShowWindow(SW_HIDE);
    m_OkButton.ShowWindow(SW_HIDE);
    std::vector<std::string> choices = m_Choices;
    if (choices.empty()) choices.emplace_back(kNoEventChoice);
    m_nButtons = std::min<int>(static_cast<int>(choices.size()), kMaxEventChoices);
    int top = area.bottom + kChoiceGap;
    for (int i = 0; i < m_nButtons; ++i) {
        m_ChoiceButtons[static_cast<std::size_t>(i)].Create(
            choices[static_cast<std::size_t>(i)], WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
            Rect(area.left, top, area.right, top + kChoiceHeight), this, kFirstChoiceId + i);
        top += kChoiceStep;
    }
    // The client area ends where the next button would begin.
    Rect window = GetWindowRect();
    window.bottom += top - GetClientRect().bottom;
    MoveWindow(window, false);
    if (m_nButtons > 0) m_ChoiceButtons[0].SetFocus();
    return false;
}

bool CEventInputDlg::OnCommand(int id, int code, Wnd* from) {
    const int i = id - kFirstChoiceId;
    if (code == BN_CLICKED && i >= 0 && i < m_nButtons) {
        m_nChoice = i;
        EndDialog(0);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

void CEventInputDlg::OnOK() {
    Wnd* field = GetDlgItem(kNumberFieldId);
    const std::string text = field ? field->GetWindowText() : std::string();
    if (m_nMode != kModeNumber) {
        m_strSpare = text;
        EndDialog(IDOK);
        return;
    }
    double value = 0.0;
    if (!ParseEventNumber(text, value)) {
        MbMsgBox(kEnterNumberMessage);
        return;
    }
    m_dNumber = value;
    EndDialog(IDOK);
}

int ShowEventChoiceDlg(Wnd* parent, std::string_view prompt, std::span<const std::string> choices) {
    EnsureApplication();
    CEventInputDlg dlg(parent);
    dlg.m_nMode = CEventInputDlg::kModeChoice;
    dlg.m_strPrompt = std::string(prompt);
    dlg.m_Choices.assign(choices.begin(), choices.end());
    if (dlg.DoModal() == -1) return kSafeChoice;
    return dlg.m_nChoice;
}

double ShowEventNumberDlg(Wnd* parent, std::string_view prompt) {
    EnsureApplication();
    CEventInputDlg dlg(parent);
    dlg.m_nMode = CEventInputDlg::kModeNumber;
    dlg.m_strPrompt = std::string(prompt);
    if (dlg.DoModal() == -1) return kSafeNumber;
    return dlg.m_dNumber;
}

}  // namespace rymd
