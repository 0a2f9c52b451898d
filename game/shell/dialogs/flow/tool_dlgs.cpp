#include "game/shell/dialogs/flow/tool_dlgs.h"

#include <algorithm>
#include <memory>

#include "game/scenario/cipher.h"
#include "game/scenario/reader.h"
#include "game/shell/app/app_context.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/port/qt_port.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace rymd::shell {

using ui::Rect;

namespace {

constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr std::uint32_t kValue = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_RIGHT;

}  // namespace

// --- version --------------------------------------------------------------------------------------

const ui::DialogTemplate& CAboutDlg::AboutTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "龍門記のﾊﾞｰｼﾞｮﾝ情報";
        d.cx = 200;
        d.cy = 80;
        d.items = {
            {kVersionId, ui::ControlKind::Static, "Version 0.00", 7, 62, 120, 9, kLabel, 0},
            {ui::IDOK, ui::ControlKind::Button, "OK", 143, 59, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CAboutDlg::CAboutDlg(ui::Wnd* parent) : Dialog(AboutTemplate(), parent) {}
CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, ok_);
    ui::DDX_Text(dx, kVersionId, m_strVersion);
}

bool CAboutDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    PictureStore().LoadBanner(banner_);
    const Rect frame = MapDialogRect(Rect(7, 7, 193, 55));
    bannerRect_ = frame;
    if (!banner_.IsEmpty()) {
        // The dialog grows or shrinks around the banner; the version line and OK stay below it.
        const int dx = banner_.GetWidth() - frame.Width(), dy = banner_.GetHeight() - frame.Height();
        bannerRect_ =
            Rect(frame.left, frame.top, frame.left + banner_.GetWidth(), frame.top + banner_.GetHeight());
        Rect w = GetWindowRect();
        w.right += dx;
        w.bottom += dy;
        MoveWindow(w, false);
        for (int id : {kVersionId, static_cast<int>(ui::IDOK)}) {
            ui::Wnd* c = GetDlgItem(id);
            if (!c) continue;
            Rect r = c->GetWindowRect();
            ScreenToClient(r);
            r.OffsetRect(id == ui::IDOK ? dx : 0, dy);
            c->MoveWindow(r);
        }
    }
    char text[64];
    std::snprintf(text, sizeof text, "Version %s", kVersionNumber);
    m_strVersion = text;
    UpdateData(false);
    return true;
}

void CAboutDlg::OnPaint(ui::Dc& dc) {
    dc.FillSolidRect(GetClientRect(), ui::GetSysColor(ui::COLOR_BTNFACE));
    if (!banner_.IsEmpty()) dc.DrawControlBmp(bannerRect_.left, bannerRect_.top, banner_);
}

// --- scenario information -------------------------------------------------------------------------

const ui::DialogTemplate& CScenarioInfoDlg::InfoTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "シナリオ情報";
        d.cx = 200;
        d.cy = 104;
        d.items = {
            {-1, ui::ControlKind::Static, "シナリオ名", 7, 7, 60, 9, kLabel, 0},
            {kTitleId, ui::ControlKind::Static, "", 70, 7, 123, 9, kLabel, 0},
            {kShiroLabelId, ui::ControlKind::Static, "城数", 7, 22, 100, 9, kLabel, 0},
            {kShiroId, ui::ControlKind::Static, "", 133, 22, 60, 9, kValue, 0},
            {kDaimyouLabelId, ui::ControlKind::Static, "daimyou数", 7, 35, 100, 9, kLabel, 0},
            {kDaimyouId, ui::ControlKind::Static, "", 133, 35, 60, 9, kValue, 0},
            {kBushouLabelId, ui::ControlKind::Static, "武将数", 7, 48, 100, 9, kLabel, 0},
            {kBushouId, ui::ControlKind::Static, "", 133, 48, 60, 9, kValue, 0},
            {-1, ui::ControlKind::Static, "交易対象諸外国数", 7, 61, 100, 9, kLabel, 0},
            {kPartnerId, ui::ControlKind::Static, "", 133, 61, 60, 9, kValue, 0},
            {ui::IDOK, ui::ControlKind::Button, "OK", 75, 83, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CScenarioInfoDlg::CScenarioInfoDlg(const GameState& gs, ui::Wnd* parent)
    : Dialog(InfoTemplate(), parent), gs_(gs) {
    m_strTexts = {gs.ScenarioTitle, std::to_string(gs.nShiro),
                  std::to_string(std::max(0, gs.nScenarioDaimyou - 1)), std::to_string(gs.nBushouEx),
                  std::to_string(std::max(0, gs.nTradingPartner - 1))};
}

CScenarioInfoDlg::~CScenarioInfoDlg() = default;

void CScenarioInfoDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDOK, ok_);
    const int ids[] = {kTitleId, kShiroId, kDaimyouId, kBushouId, kPartnerId};
    for (std::size_t i = 0; i < m_strTexts.size(); ++i)
        ui::DDX_Text(dx, ids[i], m_strTexts[i]);
}

bool CScenarioInfoDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    if (ui::Wnd* w = GetDlgItem(kDaimyouLabelId))
        w->SetWindowText(ReplaceWordDaimyouke("大名家数", gs_.ScenarioWords));
    if (ui::Wnd* w = GetDlgItem(kShiroLabelId)) w->SetWindowText(ReplaceWordShiro("城数", gs_.ScenarioWords));
    if (ui::Wnd* w = GetDlgItem(kBushouLabelId))
        w->SetWindowText(ReplaceWordBushou("武将数", gs_.ScenarioWords));
    return true;
}

// --- utility --------------------------------------------------------------------------------------

const ui::DialogTemplate& CUtilityDlg::UtilityTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "ユーティリティ";
        d.cx = 150;
        d.cy = 92;
        d.items = {
            // "閉じる" first: Enter closes the dialog rather than opening the cipher.
            {ui::IDOK, ui::ControlKind::Button, "閉じる", 50, 71, 50, 14, kDialogButton, 0},
            {kEncryptId, ui::ControlKind::Button, "シナリオ暗号化", 25, 7, 100, 14, kDialogButton, 0},
            {kDecryptId, ui::ControlKind::Button, "シナリオ暗号化解除", 25, 25, 100, 14, kDialogButton, 0},
            {kBenchmarkId, ui::ControlKind::Button, "龍門記ベンチマーク", 25, 43, 100, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CUtilityDlg::CUtilityDlg(ui::Wnd* parent) : Dialog(UtilityTemplate(), parent) {}
CUtilityDlg::~CUtilityDlg() = default;

void CUtilityDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    const int ids[] = {ui::IDOK, kBenchmarkId, kDecryptId, kEncryptId};
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        ui::DDX_Control(dx, ids[i], buttons_[i]);
}

bool CUtilityDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (code == ui::BN_CLICKED && (id == kEncryptId || id == kDecryptId)) {
        CScenarioCipherDlg dlg(App().programFolder, this);
        dlg.m_nMode = id == kDecryptId ? 1 : 0;
        dlg.DoModal();
        return true;
    }
    if (code == ui::BN_CLICKED && id == kBenchmarkId) {
        m_bBenchmark = true;
        EndDialog(ui::IDOK);
        return true;
    }
    return Dialog::OnCommand(id, code, from);
}

// --- scenario cipher ------------------------------------------------------------------------------

const ui::DialogTemplate& CScenarioCipherDlg::CipherTemplate() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.caption = "シナリオ暗号化";
        d.cx = 260;
        d.cy = 122;
        d.items = {
            {kInputButtonId, ui::ControlKind::Button, "暗号化するシナリオを指定する", 7, 7, 130, 14,
             kDialogButton, 0},
            {kInputTextId, ui::ControlKind::Static, "", 7, 24, 246, 9, kLabel, 0},
            {kOutputButtonId, ui::ControlKind::Button, "出力ファイル名を指定する", 7, 38, 130, 14,
             kDialogButton, 0},
            {kOutputTextId, ui::ControlKind::Static, "", 7, 55, 246, 9, kLabel, 0},
            {-1, ui::ControlKind::Static, "パスワード", 7, 73, 50, 9, kLabel, 0},
            {kPasswordId, ui::ControlKind::Edit, "", 60, 71, 100, 12,
             ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_TABSTOP | ui::ES_AUTOHSCROLL, ui::WS_EX_CLIENTEDGE},
            {kRunId, ui::ControlKind::Button, "シナリオ暗号化実行", 7, 101, 110, 14, kDialogButton, 0},
            {ui::IDCANCEL, ui::ControlKind::Button, "ｷｬﾝｾﾙ", 203, 101, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CScenarioCipherDlg::CScenarioCipherDlg(std::string programFolder, ui::Wnd* parent)
    : Dialog(CipherTemplate(), parent), programFolder_(std::move(programFolder)) {}

CScenarioCipherDlg::~CScenarioCipherDlg() = default;

void CScenarioCipherDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    const int ids[] = {kInputButtonId, kOutputButtonId, kRunId, ui::IDCANCEL};
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        ui::DDX_Control(dx, ids[i], buttons_[i]);
    ui::DDX_Text(dx, kPasswordId, m_strPassword);
}

bool CScenarioCipherDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    for (int id : {kInputTextId, kOutputTextId})
        if (ui::Wnd* w = GetDlgItem(id)) w->SetWindowText("");
    if (m_nMode == 1) {
        SetWindowText("シナリオ暗号化解除");
        if (ui::Wnd* w = GetDlgItem(kInputButtonId)) w->SetWindowText("暗号化解除するシナリオを指定する");
        if (ui::Wnd* w = GetDlgItem(kRunId)) w->SetWindowText("シナリオ暗号化解除実行");
    }
    UpdateRunButton();
    return true;
}

void CScenarioCipherDlg::OnSelectInput() {
    const auto path = ui::GetOpenFileName(this, "暗号化するシナリオファイルを選択してください",
                                          "Scenario Files (*.snr)|*.snr||", programFolder_);
    if (!path) return;
    m_strInput = *path;
    if (ui::Wnd* w = GetDlgItem(kInputTextId)) w->SetWindowText(m_strInput);
    UpdateRunButton();
}

void CScenarioCipherDlg::OnSelectOutput() {
    const auto path = ui::GetSaveFileName(this, "出力ファイル名を入力してください",
                                          "Scenario Files (*.snr)|*.snr||", programFolder_, "snr");
    if (!path) return;
    m_strOutput = *path;
    if (ui::Wnd* w = GetDlgItem(kOutputTextId)) w->SetWindowText(m_strOutput);
    UpdateRunButton();
}

void CScenarioCipherDlg::UpdateRunButton() {
    if (ui::Wnd* w = GetDlgItem(kPasswordId)) m_strPassword = w->GetWindowText();
    if (ui::Wnd* run = GetDlgItem(kRunId))
        run->EnableWindow(!m_strInput.empty() && !m_strOutput.empty() && !m_strPassword.empty());
}

void CScenarioCipherDlg::OnRun() {
    UpdateRunButton();
    // The same file under any name, a password over 20 bytes or with a blank.
    const std::string refused = CheckCipherRequest(m_strInput, m_strOutput, m_strPassword);
    if (!refused.empty()) {
        MbMsgBox(refused.c_str());
        return;
    }
    auto gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    QtPort port(this);
    CScenarioReader reader(*gs, map, port.AsPorts(), programFolder_);
    const bool done = m_nMode == 1 ? reader.DecryptScenario(m_strInput, m_strOutput, m_strPassword)
                                   : reader.EncryptScenario(m_strInput, m_strOutput, m_strPassword);
    if (done) EndDialog(ui::IDOK);
}

bool CScenarioCipherDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id == kPasswordId && code == ui::EN_CHANGE) {
        UpdateRunButton();
        return true;
    }
    if (code == ui::BN_CLICKED) {
        switch (id) {
            case kInputButtonId: OnSelectInput(); return true;
            case kOutputButtonId: OnSelectOutput(); return true;
            case kRunId: OnRun(); return true;
            default: break;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

}  // namespace rymd::shell
