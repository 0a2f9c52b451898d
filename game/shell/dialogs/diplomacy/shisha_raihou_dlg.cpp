#include "game/shell/dialogs/diplomacy/shisha_raihou_dlg.h"

#include "game/shell/app/help.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/info/daimyou_info_dlg.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "platform/qt/controls.h"

namespace rymd::shell {

namespace {

constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kCheck = ui::WS_TABSTOP | ui::BS_AUTOCHECKBOX;

}  // namespace

// --- the envoy's visit ------------------------------------------------------------------------------

const ui::DialogTemplate& CShishaRaihouDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "使者来訪";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 300;
        d.cy = 100;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            // The answers come first: they take the focus, and Enter answers はい.
            {ui::IDOK, K::Button, "はい", 92, 78, 55, 14, kDialogButton, 0},
            {ui::IDCANCEL, K::Button, "いいえ", 153, 78, 55, 14, kDialogButton, 0},
            {kQuestionId, K::Static, "", 10, 10, 280, 20, kLabel, 0},
            {kInfoId, K::Static, "", 10, 34, 280, 9, kLabel, 0},
            {kSeiryokuId, K::Button, "勢力範囲の確認", 10, 50, 80, 14, kDialogButton, 0},
            {kHitojichiId, K::Button, "人質を差し出すように要求する", 100, 52, 190, 10, kCheck, 0},
        };
        return d;
    }();
    return t;
}

CShishaRaihouDlg::CShishaRaihouDlg(const AskPort::EnvoyVisit& visit, MbKorMap::CCtrlKorMap* map,
                                   ui::Wnd* parent)
    : Dialog(Template(), parent), visit_(visit), korMap_(map) {}

CShishaRaihouDlg::~CShishaRaihouDlg() = default;

void CShishaRaihouDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, yes_);
    ui::DDX_Control(dx, ui::IDCANCEL, no_);
    ui::DDX_Control(dx, kSeiryokuId, seiryoku_);
}

bool CShishaRaihouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetWindowText(visit_.caption);
    SetItemText(*this, kQuestionId, visit_.question);
    SetItemText(*this, kInfoId, visit_.info);
    if (ui::Wnd* box = GetDlgItem(kHitojichiId))
        box->ShowWindow(HostageOffered() ? ui::SW_SHOW : ui::SW_HIDE);
    seiryoku_.EnableWindow(visit_.game && IsValidDaimyou(*visit_.game, visit_.counterpart));
    return true;
}

bool CShishaRaihouDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id == kSeiryokuId) {
        if (visit_.game && IsValidDaimyou(*visit_.game, visit_.counterpart)) {
            CDaimyouInfoDlg info(*visit_.game, korMap_, visit_.counterpart, this);
            info.DoModal();
        }
        return true;
    }
    if (id == ui::IDOK) {
        auto* box = dynamic_cast<ui::Button*>(GetDlgItem(kHitojichiId));
        demandHostage_ = HostageOffered() && box && box->GetCheck() == ui::BST_CHECKED;
    }
    return Dialog::OnCommand(id, code, from);
}

bool CShishaRaihouDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

AskPort::EnvoyReply RunShishaRaihou(ui::Wnd* parent, const AskPort::EnvoyVisit& visit,
                                    MbKorMap::CCtrlKorMap* map) {
    CShishaRaihouDlg dlg(visit, map, parent);
    AskPort::EnvoyReply reply;
    reply.accept = dlg.DoModal() == ui::IDOK;
    reply.demandHostage = reply.accept && dlg.DemandHostage();
    return reply;
}

// --- the vassalage notice ------------------------------------------------------------------------------

const ui::DialogTemplate& CShinjuuSeikouDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "臣従化成功";
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 300;
        d.cy = 96;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            {kTextId, K::Static, "", 10, 10, 280, 9, kLabel, 0},
            {kMoveId, K::Static, "", 10, 30, 280, 9, kLabel, 0},
            {kOrderId, K::Static, "", 10, 44, 280, 18, kLabel, 0},
            {ui::IDOK, K::Button, "OK", 122, 72, 55, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CShinjuuSeikouDlg::CShinjuuSeikouDlg(const ScenarioWordArray& words, std::string text, ui::Wnd* parent)
    : Dialog(Template(), parent), words_(words), text_(std::move(text)) {}

void CShinjuuSeikouDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, ok_);
}

bool CShinjuuSeikouDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    SetItemText(*this, kTextId, text_);
    SetItemText(*this, kMoveId,
                ReplaceWordShiro(
                    ReplaceWordDaimyouke("臣従大名家の城には、自家の城と同様に移動が可能になります", words_),
                    words_));
    SetItemText(*this, kOrderId,
                ReplaceWordBushou(
                    ReplaceWordDaimyouke(
                        "臣従大名家の当主・武将には、移動・外交使者派遣・出陣の指示が可能になります", words_),
                    words_));
    return true;
}

bool CShinjuuSeikouDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

}  // namespace rymd::shell
