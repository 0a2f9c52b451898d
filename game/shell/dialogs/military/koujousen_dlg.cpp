#include "game/shell/dialogs/military/koujousen_dlg.h"

#include <algorithm>

#include "game/military/siege_session.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/dialogs/info/info_views.h"
#include "game/shell/dialogs/military/koujousen_retreat_dlg.h"
#include "game/shell/dialogs/military/suigun_shutsujin_dlg.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/vocabulary.h"
#include "platform/core/format_text.h"
#include "platform/qt/app.h"

namespace rymd {

using namespace ui;

namespace {

constexpr std::uint32_t kLabel = WS_CHILD | WS_VISIBLE | SS_LEFT;
constexpr int kButtonIds[7] = {CKoujousenDlg::kCloseId,  CKoujousenDlg::kDefendId, CKoujousenDlg::kRetreatId,
                               CKoujousenDlg::kKaisenId, CKoujousenDlg::kYasenId,  CKoujousenDlg::kWaitId,
                               CKoujousenDlg::kAssaultId};
// The sort keys of the lists' columns (name, cavalry, foot, muskets, valour, intellect).
constexpr int kSortKeys[6] = {0, 3, 4, 5, 6, 8};

}  // namespace

const DialogTemplate& CKoujousenDlg::Template() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "城攻略戦";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 400;
        d.cy = 316;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        const std::uint32_t list = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
        d.items = {
            {kAssaultId, ControlKind::Button, "強襲", 90, 296, 55, 14, kDialogButton, 0},
            {kWaitId, ControlKind::Button, "待機（兵糧攻め）", 148, 296, 80, 14, kDialogButton, 0},
            {kYasenId, ControlKind::Button, "野戦を挑む", 90, 296, 55, 14, kDialogButton, 0},
            {kKaisenId, ControlKind::Button, "海戦を挑む", 148, 296, 55, 14, kDialogButton, 0},
            {kRetreatId, ControlKind::Button, "城から退却", 206, 296, 55, 14, kDialogButton, 0},
            {kDefendId, ControlKind::Button, "城内で防戦", 264, 296, 55, 14, kDialogButton, 0},
            {kCloseId, ControlKind::Button, "閉じる", 343, 296, 50, 14, kDialogButton, 0},
            {kTitleFrameId, ControlKind::Static, "", 7, 7, 386, 16, kLabel, 0},
            {kPictureFrameId, ControlKind::Static, "", 7, 28, 120, 90, kLabel, 0},
            {kDamageFrameId, ControlKind::Static, "", 7, 122, 120, 100, kLabel, 0},
            {kProvisionsFrameId, ControlKind::Static, "", 7, 226, 120, 20, kLabel, 0},
            {kOwnShipsId, ControlKind::Static, "", 7, 250, 58, 10, kLabel, 0},
            {kBlockadeShipsId, ControlKind::Static, "", 69, 250, 58, 10, kLabel, 0},
            {-1, ControlKind::Static, "攻城軍", 134, 28, 36, 10, kLabel, 0},
            {kBesiegerHouseId, ControlKind::Static, "", 172, 28, 120, 10, kLabel, 0},
            {kBesiegerTotalId, ControlKind::Static, "", 293, 28, 100, 10, WS_CHILD | WS_VISIBLE | SS_RIGHT,
             0},
            {kBesiegerListId, ControlKind::ListView, "", 134, 40, 259, 70, list, WS_EX_CLIENTEDGE},
            {-1, ControlKind::Static, "守備軍", 134, 114, 36, 10, kLabel, 0},
            {kOwnerHouseId, ControlKind::Static, "", 172, 114, 120, 10, kLabel, 0},
            {kDefenderTotalId, ControlKind::Static, "", 293, 114, 100, 10, WS_CHILD | WS_VISIBLE | SS_RIGHT,
             0},
            {kDefenderListId, ControlKind::ListView, "", 134, 126, 259, 70, list, WS_EX_CLIENTEDGE},
            {-1, ControlKind::Static, "攻略軍物資補給ルート", 134, 200, 82, 10, kLabel, 0},
            {kRouteId, ControlKind::Static, "", 218, 200, 175, 10, kLabel, 0},
            {kLogFrameId, ControlKind::Static, "", 134, 212, 259, 46, kLabel, 0},
            {kNoStarveNoteId, ControlKind::Static,
             "水路が封鎖されていないので兵糧攻めはできません\n（水路から城内への物資補給あり）", 7, 262, 386,
             20, kLabel, 0},
            {kNoAssaultNoteId, ControlKind::Static, "補給物資が尽きたので今月はこれ以上の強襲はできません", 7,
             283, 386, 10, kLabel, 0},
            // Two lines: the longest result wraps beside the buttons.
            {kTurnTextId, ControlKind::Static, "", 7, 294, 80, 20, kLabel, 0},
        };
        return d;
    }();
    return t;
}

CKoujousenDlg::CKoujousenDlg(KoujousenSession& session, MbKorMap::CCtrlKorMap* map, Wnd* parent)
    : Dialog(Template(), parent), session_(session), map_(map) {}

CKoujousenDlg::~CKoujousenDlg() = default;

void CKoujousenDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    for (int i = 0; i < 7; ++i)
        DDX_Control(dx, kButtonIds[i], m_Buttons[i]);
}

void CKoujousenDlg::LoadCastlePicture() {
    shell::LoadShiroPicture(session_.State(), session_.Castle(), map_, m_Bmp);
    m_Picture.Create(ChildRect(kPictureFrameId), this);
    m_Picture.SetBackColor(RGB(0, 0, 0), false);
    m_Picture.ClearBoard();
    if (!m_Bmp.IsEmpty() && m_PictureBitmap.CreateFromControlBmp(m_Bmp)) {
        const Rect r = ChildRect(kPictureFrameId);
        m_Picture.DrawBmp(m_PictureBitmap,
                          Point((r.Width() - m_Bmp.GetWidth()) / 2, (r.Height() - m_Bmp.GetHeight()) / 2));
    }
    m_Picture.Invalidate(false);
}

bool CKoujousenDlg::OnHelpInfo() {
    return OpenDialogHelp();
}

bool CKoujousenDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    GameState& gs = session_.State();
    const ScenarioWordArray& words = gs.ScenarioWords;
    GetDlgItem(kRetreatId)->SetWindowText(ReplaceWordShiro("城から退却", words));
    GetDlgItem(kDefendId)->SetWindowText(ReplaceWordShiro("城内で防戦", words));
    GetDlgItem(kNoStarveNoteId)
        ->SetWindowText(ReplaceWordSuiro(
            ReplaceWordShiro(
                ReplaceWordHyourou(
                    "水路が封鎖されていないので兵糧攻めはできません\n（水路から城内への物資補給あり）",
                    words),
                words),
            words));
    m_LargeFont.CreateFont(16, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                           "ＭＳ Ｐゴシック");
    m_SmallFont.CreateFont(12, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                           "ＭＳ Ｐゴシック");
    // Each entry of the log reads whole: long ones wrap inside the box.
    m_Log.SetReturnLineEnd(true);
    m_Log.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER, ChildRect(kLogFrameId), this, kLogId);
    m_TitleBoard.Create(ChildRect(kTitleFrameId), this);
    m_TitleBoard.SetFont(&m_LargeFont);
    m_DamageBoard.Create(ChildRect(kDamageFrameId), this);
    m_DamageBoard.SetFont(&m_SmallFont);
    m_ProvisionsBoard.Create(ChildRect(kProvisionsFrameId), this);
    m_ProvisionsBoard.SetFont(&m_SmallFont);

    session_.Open();
    if (!session_.HasWaterway()) {
        GetDlgItem(kOwnShipsId)->ShowWindow(SW_HIDE);
        GetDlgItem(kBlockadeShipsId)->ShowWindow(SW_HIDE);
    }
    LoadCastlePicture();
    GetDlgItem(kRouteId)->SetWindowText(session_.SupplyRouteText());

    const bool defends = session_.PlayerDefends();
    for (int id : {kAssaultId, kWaitId})
        GetDlgItem(id)->ShowWindow(defends ? SW_HIDE : SW_SHOW);
    for (int id : {kYasenId, kKaisenId, kRetreatId, kDefendId})
        GetDlgItem(id)->ShowWindow(defends ? SW_SHOW : SW_HIDE);
    GetDlgItem(kCloseId)->ShowWindow(SW_HIDE);

    besiegers_ = dynamic_cast<ListCtrl*>(GetDlgItem(kBesiegerListId));
    defenders_ = dynamic_cast<ListCtrl*>(GetDlgItem(kDefenderListId));
    const std::string titles[6] = {"名前",
                                   ReplaceWordKibahei("騎馬兵", words),
                                   ReplaceWordAshigaruhei("足軽兵", words),
                                   ReplaceWordTeppou("鉄砲数", words),
                                   "武勇",
                                   "智謀"};
    const int widths[6] = {72, 50, 50, 50, 42, 42};
    for (ListCtrl* l : {besiegers_, defenders_}) {
        if (!l) continue;
        l->SetExtendedStyle(LVS_EX_FULLROWSELECT);
        for (int c = 0; c < 6; ++c)
            l->InsertColumn(c, titles[c], c == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT, widths[c]);
    }
    GetDlgItem(kBesiegerHouseId)->SetWindowText(session_.BesiegingHouseName());
    GetDlgItem(kOwnerHouseId)->SetWindowText(session_.OwnerHouseName());
    Refresh();
    if (!session_.Over()) GetDlgItem(defends ? kDefendId : kWaitId)->SetFocus();
    if (!defends) SetTimer(kOpeningTimer, 0);
    return false;  // the focus is set
}

void CKoujousenDlg::OnTimer(int id) {
    if (id != kOpeningTimer) return;
    KillTimer(kOpeningTimer);
    session_.OpeningEvents();
    AfterAction();
}

void CKoujousenDlg::FillList(ListCtrl& list, bool besiegers) {
    list.DeleteAllItems();
    const std::vector<SiegeListRow> rows = besiegers ? session_.BesiegerRows() : session_.DefenderRows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const SiegeListRow& r = rows[static_cast<std::size_t>(i)];
        const int item = list.InsertItem(i, r.name);
        const std::string* cells[5] = {&r.cavalry, &r.foot, &r.muskets, &r.valour, &r.intellect};
        for (int c = 0; c < 5; ++c)
            list.SetItemText(item, c + 1, *cells[c]);
        list.SetItemData(item, r.item);
    }
}

void CKoujousenDlg::DrawBoards() {
    m_TitleBoard.ClearBoard();
    Rect t(0, 0, ChildRect(kTitleFrameId).Width(), ChildRect(kTitleFrameId).Height());
    m_TitleBoard.DrawTextA(session_.Title().c_str(), &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    m_TitleBoard.Invalidate(false);

    m_DamageBoard.ClearBoard();
    const Rect d = ChildRect(kDamageFrameId);
    const int line = 13;
    Rect head(4, 3, d.Width() - 4, 3 + line);
    m_DamageBoard.DrawTextA("攻略軍侵攻度", &head, DT_LEFT | DT_SINGLELINE);
    int y = 3 + line + 2;
    for (const auto& [word, progress] : session_.DamageLines()) {
        Rect w(10, y, d.Width() / 2 + 6, y + line);
        m_DamageBoard.DrawTextA(word.c_str(), &w, DT_LEFT | DT_SINGLELINE);
        Rect p(d.Width() / 2, y, d.Width() - 8, y + line);
        m_DamageBoard.DrawTextA(progress.c_str(), &p, DT_RIGHT | DT_SINGLELINE);
        y += line;
    }
    m_DamageBoard.Invalidate(false);

    m_ProvisionsBoard.ClearBoard();
    const Rect pr = ChildRect(kProvisionsFrameId);
    Rect left(4, 0, pr.Width() - 4, pr.Height());
    m_ProvisionsBoard.DrawTextA(session_.ProvisionsWord().c_str(), &left,
                                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    m_ProvisionsBoard.DrawTextA(FormatText("%lld", session_.Provisions()).c_str(), &left,
                                DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    m_ProvisionsBoard.Invalidate(false);
}

void CKoujousenDlg::Refresh() {
    const ScenarioWordArray& words = session_.State().ScenarioWords;
    m_Log.SetText(session_.LogText(), true, true);
    const bool over = session_.Over();
    const bool usedUp = session_.AssaultsUsedUp();
    GetDlgItem(kNoAssaultNoteId)
        ->ShowWindow(usedUp && session_.Turn() <= KoujousenSession::kLastTurn ? SW_SHOW : SW_HIDE);
    GetDlgItem(kAssaultId)->EnableWindow(!over && !usedUp);
    GetDlgItem(kWaitId)->SetWindowText(session_.WaitLabel());
    GetDlgItem(kNoStarveNoteId)->ShowWindow(session_.CanBeStarved() ? SW_HIDE : SW_SHOW);
    if (session_.HasWaterway()) {
        GetDlgItem(kBlockadeShipsId)
            ->SetWindowText(FormatWithWords(words, {ReplaceWordGunsen}, "軍船 %d", session_.BlockadeShips()));
        GetDlgItem(kOwnShipsId)
            ->SetWindowText(FormatWithWords(words, {ReplaceWordGunsen}, "軍船 %d", session_.OwnShips()));
    }
    const bool defends = session_.PlayerDefends();
    if (defends) {
        GetDlgItem(kYasenId)->EnableWindow(!over && session_.FieldBattlePossible());
        GetDlgItem(kKaisenId)->EnableWindow(!over && session_.NavalBattlePossible());
    }
    GetDlgItem(kTurnTextId)->SetWindowText(session_.OutcomeText());
    if (!over) {
        Wnd* focus = Wnd::GetFocus();
        if (!focus || !focus->IsWindowEnabled()) GetDlgItem(defends ? kDefendId : kWaitId)->SetFocus();
        GetDlgItem(kWaitId)->EnableWindow(true);
        for (int id : {kRetreatId, kDefendId})
            GetDlgItem(id)->EnableWindow(true);
    } else {
        for (int id : {kAssaultId, kWaitId, kYasenId, kKaisenId, kRetreatId, kDefendId})
            GetDlgItem(id)->EnableWindow(false);
        GetDlgItem(kCloseId)->ShowWindow(SW_SHOW);
        GetDlgItem(kCloseId)->SetFocus();
    }
    if (besiegers_) FillList(*besiegers_, true);
    if (defenders_) FillList(*defenders_, false);
    GetDlgItem(kBesiegerTotalId)->SetWindowText(FormatText("総兵数 %lld", session_.BesiegerTotal()));
    GetDlgItem(kDefenderTotalId)->SetWindowText(FormatText("総兵数 %lld", session_.DefenderTotal()));
    DrawBoards();
}

void CKoujousenDlg::AfterAction() {
    if (session_.Closed()) {
        EndDialog(IDOK);
        return;
    }
    Refresh();
}

void CKoujousenDlg::OnRetreat() {
    ShiroRetreatChoice choice(session_.State(), session_.GamePorts(), session_.Castle());
    RunShiroRetreatDlg(this, choice);
    session_.AfterRetreat();
    AfterAction();
}

bool CKoujousenDlg::OnCommand(int id, int code, Wnd* from) {
    switch (id) {
        case kAssaultId: session_.PlayTurn(true); break;
        case kWaitId:
        case kDefendId: session_.PlayTurn(false); break;
        case kYasenId: session_.ChallengeYasen(); break;
        case kKaisenId: session_.ChallengeKaisen(); break;
        case kRetreatId: OnRetreat(); return true;
        case kCloseId: EndDialog(IDOK); return true;
        default: return Dialog::OnCommand(id, code, from);
    }
    AfterAction();
    return true;
}

bool CKoujousenDlg::OnNotify(int id, NotifyHeader* header, std::intptr_t* result) {
    if ((id == kBesiegerListId || id == kDefenderListId) && header && header->code == LVN_COLUMNCLICK) {
        const auto* view = reinterpret_cast<const NMListView*>(header);
        const int column = view->iSubItem;
        if (ListCtrl* list = id == kBesiegerListId ? besiegers_ : defenders_)
            SortBushouList(session_.State(), *list, column, kSortKeys);
        if (result) *result = 0;
        return true;
    }
    return Dialog::OnNotify(id, header, result);
}

std::intptr_t RunKoujousenDlg(Wnd* owner, KoujousenSession& session, MbKorMap::CCtrlKorMap* map) {
    EnsureApplication();
    // The player chooses the ships and crews of a naval battle in the navy-sortie dialog.
    const bool chooser = !session.chooseNavy;
    if (chooser)
        session.chooseNavy = [&session, owner](int ships, const std::vector<int>& candidates) {
            return shell::ChooseSiegeNavy(session.State(), session.Castle(), session.PlayerDefends(), ships,
                                          candidates, owner);
        };
    CKoujousenDlg dlg(session, map, owner);
    const std::intptr_t result = dlg.DoModal();
    if (chooser) session.chooseNavy = nullptr;
    return result;
}

}  // namespace rymd
