// The automatic advance (dialog 220, "自動進行") and the benchmark's years (dialog 243,
// "龍門記ベンチマーク").
//
// CAutoAdvanceDlg drives the automatic-advance model (game/turn/auto_advance.h): "自動進行スタート"
// checks the target year and month and arms a 10 ms timer; each expiry kills it, runs one phase
// end step and arms it again while the run goes on, so two steps never overlap and the dialog
// stays usable between them; "中断" asks the next tick to stop, and start resumes from the phase
// the game stands at. The house list ranks every house (its colour, castles, both rice yields);
// a click on a column header (castles, direct, with vassals) sorts by it. Each row shows the
// house-mark picture of the main window's house list for its place, so that the list and the
// country map show a house in one colour.
//
// From the top: the list title, the house list 1035, the hint, the year 1201 and month 1202
// fields with the check box 1375, the buttons start 1084, stop 1204 and close 2.
#pragma once

#include <functional>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/turn/auto_advance.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd::shell {

class CKuniMapWnd;

class CAutoAdvanceDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1035;
    static constexpr int kYearId = 1201;
    static constexpr int kMonthId = 1202;
    static constexpr int kSkipId = 1375;
    static constexpr int kSortId = 1207;
    static constexpr int kYearSpinId = 1208;
    static constexpr int kMonthSpinId = 1209;
    static constexpr int kStartId = 1084;
    static constexpr int kStopId = 1204;
    static constexpr int kTitleId = 1206;
    static constexpr int kHintId = 1205;
    static constexpr int kTimerId = 1;
    static constexpr int kTickMs = 10;

    static const ui::DialogTemplate& AutoAdvanceTemplate();

    // houseMarks: the house-mark pictures by place (0..9 the ranks, 10 the rest, 11 a vassal
    // house), the ones the main window's house list shows; they outlive the dialog.
    CAutoAdvanceDlg(CAutoAdvance& model, CKuniMapWnd& map, ui::ImageList* houseMarks,
                    ui::Wnd* parent = nullptr);
    ~CAutoAdvanceDlg() override;

    ui::ListCtrl& List() { return *list_; }
    CAutoAdvance& Model() { return model_; }
    // True when the player's house fell during the run and he stopped watching.
    bool Quit() const { return quit_; }
    // Redraws the country map's castle marks after the list is filled (set by the main window,
    // which draws them in the ranked houses' colours); without it the map is only repainted.
    std::function<void()> m_RefreshMap;

    void OnStart();
    void OnStop();
    void FillDaimyouList();

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;
    void OnTimer(int id) override;
    void OnCancel() override;

private:
    void SetIdle(bool idle);

    CAutoAdvance& model_;
    CKuniMapWnd& map_;
    ui::ListCtrl* list_ = nullptr;  // the template's list view
    ui::ImageList* houseMarks_ = nullptr;
    MbWnd::CGradationButton close_;
    MbWnd::CGradationButton stop_;
    MbWnd::CGradationButton start_;
    bool quit_ = false;
};

class CBenchmarkDlg : public ui::Dialog {
public:
    static constexpr int kYearsId = 1201;
    static constexpr int kYearsSpinId = 1208;
    static constexpr int kMinYears = 1;
    static constexpr int kMaxYears = 1000;

    static const ui::DialogTemplate& BenchmarkTemplate();
    explicit CBenchmarkDlg(ui::Wnd* parent = nullptr);
    ~CBenchmarkDlg() override;

    int m_nYears = 3;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    OkCancelButtons okCancel_;
};

}  // namespace rymd::shell
