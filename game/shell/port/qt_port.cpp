#include "game/shell/port/qt_port.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "game/diplomacy/horyo.h"
#include "game/shell/dialogs/diplomacy/hitojichi_dlgs.h"
#include "game/shell/dialogs/diplomacy/horyo_dlgs.h"
#include "game/shell/dialogs/diplomacy/recruit_dlg.h"
#include "game/shell/dialogs/events/event_dlg.h"
#include "game/shell/dialogs/events/event_input_dlg.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/shell/dialogs/events/long_text_dlg.h"
#include "game/shell/dialogs/events/shikyo_toujou_dlg.h"
#include "game/shell/dialogs/events/shuukaku_dlg.h"
#include "game/shell/dialogs/events/shuushi_houkoku_dlg.h"
#include "game/shell/dialogs/events/variable_list_dlg.h"
#include "game/shell/dialogs/military/kaisen_dlg.h"
#include "game/shell/dialogs/military/kassen_result_dlg.h"
#include "game/shell/dialogs/military/koujousen_dlg.h"
#include "game/shell/dialogs/military/yasen_dlg.h"
#include "game/shell/music/music_player.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/msg_box.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/app.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog.h"

namespace rymd {

namespace {

using namespace ui;

int CountLines(std::string_view text) {
    if (text.empty()) return 1;
    int n = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    if (text.back() == '\n') --n;
    return std::max(n, 1);
}

DialogItem Item(int id, ControlKind kind, std::string text, int x, int y, int cx, int cy,
                std::uint32_t style) {
    DialogItem i;
    i.id = id;
    i.kind = kind;
    i.text = std::move(text);
    i.x = x;
    i.y = y;
    i.cx = cx;
    i.cy = cy;
    i.style = WS_CHILD | WS_VISIBLE | style;
    return i;
}

// A prompt and one gradient button per choice. Escape and Enter outside a button do nothing: a
// choice must be made.
class ChoiceDialog : public Dialog {
public:
    ChoiceDialog(DialogTemplate t, Wnd* owner, int count) : Dialog(std::move(t), owner), buttons_(count) {
        for (auto& b : buttons_)
            b = std::make_unique<MbWnd::CGradationButton>();
    }
    int choice = -1;
    void DoDataExchange(DataExchange& dx) override {
        for (std::size_t i = 0; i < buttons_.size(); ++i)
            DDX_Control(dx, QtPort::kChoiceFirstId + static_cast<int>(i), *buttons_[i]);
    }
    bool OnCommand(int id, int code, Wnd* from) override {
        int i = id - QtPort::kChoiceFirstId;
        if (code == BN_CLICKED && i >= 0 && i < static_cast<int>(buttons_.size())) {
            choice = i;
            EndDialog(IDOK);
            return true;
        }
        return Dialog::OnCommand(id, code, from);
    }
    void OnOK() override {}
    void OnCancel() override {}

private:
    std::vector<std::unique_ptr<MbWnd::CGradationButton>> buttons_;
};

class NumberDialog : public Dialog {
public:
    using Dialog::Dialog;
    double value = 0.0;
    void DoDataExchange(DataExchange& dx) override { DDX_Control(dx, IDOK, ok_); }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        if (Wnd* field = GetDlgItem(QtPort::kNumberFieldId)) field->SetFocus();
        return false;
    }
    void OnOK() override {
        Wnd* field = GetDlgItem(QtPort::kNumberFieldId);
        std::string text = field ? field->GetWindowText() : std::string();
        char* end = nullptr;
        double v = std::strtod(text.c_str(), &end);
        value = (end && end != text.c_str()) ? v : 0.0;
        EndDialog(IDOK);
    }
    void OnCancel() override {}

private:
    MbWnd::CGradationButton ok_;
};

class TextDialog : public Dialog {
public:
    TextDialog(DialogTemplate t, Wnd* owner, std::string text, Colour colour)
        : Dialog(std::move(t), owner), text_(std::move(text)), colour_(colour) {}
    void DoDataExchange(DataExchange& dx) override { DDX_Control(dx, IDOK, ok_); }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        Rect r = MapDialogRect(Rect(7, 7, 293, 167));
        view_.SetTextColor(colour_);
        view_.SetReturnLineEnd(true);
        view_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, r, this, QtPort::kTextViewId);
        view_.SetText(text_, true, false);
        return true;
    }

private:
    std::string text_;
    Colour colour_;
    MbWnd::CMultiTextCtrl view_;
    MbWnd::CGradationButton ok_;
};

void ShowText(Wnd* owner, std::string_view title, std::string text, Colour colour) {
    DialogTemplate t;
    t.caption = std::string(title);
    t.cx = 300;
    t.cy = 196;
    t.items.push_back(Item(IDOK, ControlKind::Button, "OK", 125, 175, 50, 14, WS_TABSTOP | BS_OWNERDRAW));
    TextDialog dlg(std::move(t), owner, std::move(text), colour);
    dlg.DoModal();
}

}  // namespace

void QtPort::Inform(std::string_view text) {
    MbMsgBox(std::string(text).c_str());
}

bool QtPort::AskYesNo(std::string_view text, bool defaultYes) {
    int r = MbMsgBoxYesNo(std::string(text).c_str(), !defaultYes);
    if (r == -1) return kSafeYesNo;
    return r == IDYES;
}

AskPort::EnvoyReply QtPort::AskEnvoyVisit(const EnvoyVisit& visit) {
    return envoyDialog_ ? envoyDialog_(visit) : AskPort::AskEnvoyVisit(visit);
}

bool QtPort::AskOkCancel(std::string_view text) {
    int r = MbMsgBoxOkCancel(std::string(text).c_str(), false);
    if (r == -1) return kSafeOkCancel;
    return r == IDOK;
}

int QtPort::AskChoice(std::string_view prompt, std::span<const std::string> choices, int defaultChoice) {
    if (choices.empty()) return defaultChoice;
    DialogTemplate t;
    t.caption = "";
    int promptHeight = 10 * CountLines(prompt);
    t.cx = 200;
    t.items.push_back(Item(-1, ControlKind::Static, std::string(prompt), 7, 7, 186, promptHeight, SS_LEFT));
    int y = 7 + promptHeight + 6;
    for (std::size_t i = 0; i < choices.size(); ++i) {
        t.items.push_back(Item(kChoiceFirstId + static_cast<int>(i), ControlKind::Button, choices[i], 40, y,
                               120, 14, WS_TABSTOP | BS_OWNERDRAW));
        y += 18;
    }
    t.cy = y + 3;
    ChoiceDialog dlg(std::move(t), owner_, static_cast<int>(choices.size()));
    if (dlg.DoModal() != IDOK || dlg.choice < 0) return kSafeChoice;
    return dlg.choice;
}

double QtPort::AskNumber(std::string_view prompt) {
    DialogTemplate t;
    t.caption = "";
    int promptHeight = 10 * CountLines(prompt);
    t.cx = 180;
    t.items.push_back(Item(-1, ControlKind::Static, std::string(prompt), 7, 7, 166, promptHeight, SS_LEFT));
    int y = 7 + promptHeight + 5;
    DialogItem field =
        Item(kNumberFieldId, ControlKind::Edit, "", 7, y, 166, 12, WS_TABSTOP | ES_AUTOHSCROLL);
    field.exStyle = WS_EX_CLIENTEDGE;
    t.items.push_back(field);
    y += 18;
    t.items.push_back(Item(IDOK, ControlKind::Button, "OK", 65, y, 50, 14, WS_TABSTOP | BS_OWNERDRAW));
    t.cy = y + 21;
    NumberDialog dlg(std::move(t), owner_);
    if (dlg.DoModal() != IDOK) return kSafeNumber;
    return dlg.value;
}

std::optional<std::string> QtPort::AskOpenFile(std::string_view title, std::string_view filter,
                                               std::string_view initialFolder) {
    return GetOpenFileName(owner_, title, filter, initialFolder);
}

int QtPort::AskEventChoice(std::string_view prompt, std::span<const std::string> choices) {
    return ShowEventChoiceDlg(owner_, prompt, choices);
}

double QtPort::AskEventNumber(std::string_view prompt) {
    return ShowEventNumberDlg(owner_, prompt);
}

void QtPort::ShowLongText(std::string_view title, std::string_view body,
                          std::span<const std::uint8_t> picture, Colour colour) {
    shell::ShowLongTextDlg(owner_, std::string(title), std::string(body), picture.data(), picture.size(),
                           colour);
}

void QtPort::ShowReport(ReportKind kind, std::string_view title, std::span<const std::string> lines) {
    // The month's battles have their own dialog: the battle text and the fates text.
    if (kind == ReportKind::BattleResults && lines.size() == 2) {
        ShowKassenResult(owner_, lines[0], lines[1]);
        return;
    }
    if (kind == ReportKind::MusketDelivery && musketReport_) {
        musketReport_(title, lines);
        return;
    }
    if (kind == ReportKind::TradeShipReturn && tradeShipReport_) {
        tradeShipReport_(title, lines);
        return;
    }
    if (kind == ReportKind::GunsenComplete && warshipReport_) {
        warshipReport_(title, lines);
        return;
    }
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    ShowText(owner_, title, std::move(text), 0);
}

void QtPort::ShowVariableList(const VariableListView& variables) {
    ShowVariableListDialog(owner_, variables);
}

void QtPort::ShowScheduledEvent(const ScheduledEventReport& report) {
    CEventDlg dlg(report, map_, owner_);
    dlg.DoModal();
}

void QtPort::PlayMusic(int track) {
    if (music_) music_->RequestSituation(track);
}

void QtPort::StopMusic() {
    if (music_) music_->StopBgm();
}

bool QtPort::PlayKoujousen(KoujousenSession& session) {
    PlayMusic(1);
    return RunKoujousenDlg(owner_, session, map_) != -1;
}

void QtPort::ShowEventMessage(std::string_view title, std::string_view text,
                              const VariableListView& variables) {
    ShowEventMessageDlg(owner_, title, text, &variables);
}

int QtPort::AskHitojichiOffer(const HitojichiOffer& offer) {
    return AskHitojichiOfferDlg(offer, owner_);
}

bool QtPort::AskRecruit(const RecruitOffer& offer) {
    return AskRecruitDlg(offer, owner_);
}

bool QtPort::PlayKoufukuBushou(KoufukuBushouSession& session) {
    return PlayKoufukuBushouDlg(session.State(), session, owner_);
}

bool QtPort::PlayYasen(YasenSession& session) {
    return PlayYasenDlg(session, owner_, map_, music_);
}

bool QtPort::PlayKaisen(KaisenSession& session) {
    return RunKaisenDlg(session, map_, music_, owner_);
}

int QtPort::AskHarvestTax(const HarvestView& view) {
    return ShowHarvestDlg(owner_, view, map_);
}

void QtPort::ShowIncomeReport(const IncomeReportView& view) {
    ShowIncomeReportDlg(owner_, view);
}

void QtPort::ShowDeathsAndAppearances(const DeathAppearView& view) {
    ShowBushouDeathAppearDlg(owner_, view);
}

}  // namespace rymd
