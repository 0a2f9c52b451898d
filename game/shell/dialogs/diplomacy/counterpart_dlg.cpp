#include "game/shell/dialogs/diplomacy/counterpart_dlg.h"

#include <algorithm>

#include "game/diplomacy/counterpart.h"
#include "game/shell/app/help.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/common/main_window_face.h"
#include "game/shell/dialogs/common/screen_texts.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/state/vocabulary.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/msg_box.h"
#include "platform/core/format_text.h"
#include "platform/qt/app.h"
#include "platform/qt/list_ctrl.h"

namespace rymd::shell {

namespace {

constexpr std::uint32_t kLabel = ui::WS_CHILD | ui::WS_VISIBLE | ui::SS_LEFT;
constexpr int kMaxRedirects = 4;
constexpr std::uint32_t kList = ui::WS_TABSTOP | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS;

}  // namespace

const ui::DialogTemplate& CKoushouAiteDlg::Template() {
    static const ui::DialogTemplate t = [] {
        ui::DialogTemplate d;
        d.style = ui::WS_POPUP | ui::WS_CAPTION | ui::WS_SYSMENU | ui::DS_MODALFRAME;
        d.cx = 420;
        d.cy = 236;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        using K = ui::ControlKind;
        d.items = {
            {kPromptId, K::Static, "", 7, 7, 406, 9, kLabel, 0},
            {kMapPlaceId, K::Static, "", 7, 19, 240, 210, kLabel, 0},
            {kKuniNameId, K::Static, "", 254, 19, 159, 9, kLabel, 0},
            {kHouseListId, K::ListView, "", 254, 31, 159, 176, kList, ui::WS_EX_CLIENTEDGE},
            {ui::IDCANCEL, K::Button, "ｷｬﾝｾﾙ", 363, 215, 50, 14, kDialogButton, 0},
        };
        return d;
    }();
    return t;
}

CKoushouAiteDlg::CKoushouAiteDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, int mode, ui::Wnd* parent)
    : Dialog(Template(), parent), gs_(gs), korMap_(map), mode_(mode), map_(map) {}

CKoushouAiteDlg::~CKoushouAiteDlg() = default;

ui::ListCtrl* CKoushouAiteDlg::HouseList() const {
    return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kHouseListId));
}

void CKoushouAiteDlg::DoDataExchange(ui::DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, ui::IDCANCEL, cancel_);
}

bool CKoushouAiteDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const ScenarioWordArray& w = gs_.ScenarioWords;
    SetWindowText(KoushouAiteCaption(gs_, mode_));
    SetItemText(*this, kPromptId, KoushouAitePrompt(gs_, mode_));
    if (ui::ListCtrl* list = HouseList()) {
        list->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT);
        InsertListColumns(*list, {{ReplaceWordDaimyouke("大名家", w), 90},
                                  {ReplaceWordShiro("城数", w), 45, ui::LVCFMT_RIGHT},
                                  {ReplaceWordKokudaka("石高", w), 110, ui::LVCFMT_RIGHT}});
    }
    if (ui::Wnd* place = GetDlgItem(kMapPlaceId)) place->ShowWindow(ui::SW_HIDE);
    if (korMap_) {
        map_.SetGameState(&gs_);
        // The whole country fits the view.
        map_.m_nMapMinWidth = 0;
        map_.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_HSCROLL | ui::WS_VSCROLL,
                      ChildRect(kMapPlaceId), this, kMapId);
        DrawMarks();
        SetTimer(kBlinkTimer, kBlinkMs);
    }
    return true;
}

void CKoushouAiteDlg::DrawMarks() {
    const int level = blinkPhase_ < 4 ? blinkPhase_ : 6 - blinkPhase_;
    map_.DrawShiroMarksRelation(gs_.nPlayerDaimyou,
                                kPulse[static_cast<std::size_t>(std::clamp(level, 0, 3))]);
    map_.RedrawWindow();
}

void CKoushouAiteDlg::OnTimer(int id) {
    if (id != kBlinkTimer || !map_.IsWindow()) {
        Dialog::OnTimer(id);
        return;
    }
    blinkPhase_ = (blinkPhase_ + 1) % 6;
    DrawMarks();
}

bool CKoushouAiteDlg::OnCommand(int id, int code, ui::Wnd* from) {
    if (id == kMapId) {
        OnKuniClicked(map_.m_nClickKuni);
        return true;
    }
    if (id == ui::IDCANCEL) KillTimer(kBlinkTimer);
    return Dialog::OnCommand(id, code, from);
}

bool CKoushouAiteDlg::OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) {
    if (id != kHouseListId || !header || header->code != ui::NM_CLICK)
        return Dialog::OnNotify(id, header, result);
    ui::ListCtrl* list = HouseList();
    const int row = list ? list->GetFirstSelectedItem() : -1;
    if (row >= 0) OnHouseClicked(static_cast<int>(list->GetItemData(row)));
    if (result) *result = 0;
    return true;
}

void CKoushouAiteDlg::OnKuniClicked(int kuni) {
    if (kuni < 0) return;
    const std::string name = korMap_ ? KuniNameText(*korMap_, kuni, &gs_) : std::string();
    if (CountShiroInKuni(gs_, kuni) == 0) {
        MbMsgBox(FormatText("このシナリオでは、%sのデータはありません", name.c_str()).c_str());
        return;
    }
    SetItemText(*this, kKuniNameId, name);
    // The province chosen stands out on the map.
    if (map_.IsWindow()) {
        map_.FitAndDrawMap(kuni);
        DrawMarks();
    }
    ui::ListCtrl* list = HouseList();
    if (!list) return;
    list->DeleteAllItems();
    for (int house : HousesInKuni(gs_, kuni)) {
        const int row = list->InsertItem(list->GetItemCount(), DaimyouAt(gs_, house).name);
        list->SetItemText(row, 1, FormatText("%d", CountShiroOfDaimyou(gs_, house)));
        list->SetItemText(row, 2, KokudakaText(SumKokudakaOfDaimyou(gs_, house), &gs_));
        list->SetItemData(row, house);
    }
}

void CKoushouAiteDlg::OnHouseClicked(int house) {
    // A house that serves another may be exchanged for its master, which is checked in turn.
    // Masters serve nobody, so one exchange is the most; a damaged table stops after a few.
    for (int step = 0; step < kMaxRedirects; ++step) {
        const KoushouAiteCheck check = CheckKoushouAite(gs_, mode_, gs_.nPlayerDaimyou, house);
        switch (check.verdict) {
            case KoushouAiteCheck::kRefuse: MbMsgBox(check.text.c_str()); return;
            case KoushouAiteCheck::kAskShuka:
                if (MbMsgBoxYesNo(check.text.c_str(), false) != ui::IDYES) return;
                house = check.house;
                break;
            case KoushouAiteCheck::kConfirm:
                if (MbMsgBoxOkCancel(check.text.c_str(), false) != ui::IDOK) return;
                selected_ = check.house;
                KillTimer(kBlinkTimer);
                EndDialog(ui::IDOK);
                return;
        }
    }
}

bool CKoushouAiteDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

int ChooseCounterpart(ui::Wnd* parent, GameState& gs, int mode, MbKorMap::CCtrlKorMap* map) {
    if (!map)
        if (auto* main = dynamic_cast<MainWindowFace*>(ui::GetMainWindow())) map = main->KuniMap().Map();
    CKoushouAiteDlg dlg(gs, map, mode, parent);
    return dlg.DoModal() == ui::IDOK ? dlg.SelectedHouse() : -1;
}

}  // namespace rymd::shell
