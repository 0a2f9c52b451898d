// The captive dialogs of the player's house.
//
// The prisoner treatment (238 "捕虜処遇"): the captives the house holds, with whether each would
// serve; the selected ones are executed, released or employed (one who refuses says so and
// stays). The surrendered generals (168 "降伏武将の処遇"): after a battle the player's house won,
// every general who surrendered is employed, released, executed or kept as a captive; the
// dialog closes only when none is left, and Escape does not close it. The prisoner exchange
// (239 "捕虜交換"): the player's generals the partner holds and the partner's generals the
// player holds; the partner accepts only when it gets strictly more worth back, and then all the
// selected generals go home.
//
// Rows are selected with Ctrl or Shift for several at once; handled rows leave the list.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "game/diplomacy/personnel.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;
struct Ports;
class KoufukuBushouSession;

// A list of captives and the buttons that act on the selected ones.
class CHoryoActionDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1007;
    static constexpr int kLabelId = 1064;
    static constexpr int kExecuteId = 1112;
    static constexpr int kReleaseId = 1110;
    static constexpr int kEmployId = 1111;
    static constexpr int kKeepId = 1113;

    ui::ListCtrl* List() const { return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId)); }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

protected:
    CHoryoActionDlg(const ui::DialogTemplate& t, GameState& gs, ui::Wnd* parent)
        : Dialog(t, parent), gs_(gs) {}
    // Readies the caption texts, the columns and the rows.
    void InitList(const std::vector<ListColumn>& columns, const std::vector<int>& bushou);
    virtual HoryoActionResult Act(HoryoAction action, std::span<const int> bushou) = 0;
    virtual void EnableButtons();
    virtual void Sort(int column) = 0;

    GameState& gs_;
    std::vector<ListColumn> columns_;

private:
    MbWnd::CGradationButton execute_, release_, employ_, keep_, ok_;
};

class CHoryoShoguuDlg : public CHoryoActionDlg {
public:
    static const ui::DialogTemplate& Template();
    CHoryoShoguuDlg(GameState& gs, const Ports& ports, ui::Wnd* parent = nullptr);
    bool OnInitDialog() override;

private:
    HoryoActionResult Act(HoryoAction action, std::span<const int> bushou) override;
    void Sort(int column) override;

    const Ports& ports_;
    // Whether each general would serve, by general index: the "意向" column and its sort.
    std::vector<std::int32_t> employable_;
};

class CKoufukuBushouDlg : public CHoryoActionDlg {
public:
    static const ui::DialogTemplate& Template();
    CKoufukuBushouDlg(GameState& gs, KoufukuBushouSession& session, ui::Wnd* parent = nullptr);
    bool OnInitDialog() override;
    // Escape does nothing: every general must be dealt with.
    void OnCancel() override {}

private:
    HoryoActionResult Act(HoryoAction action, std::span<const int> bushou) override;
    void EnableButtons() override;
    void Sort(int column) override;

    KoufukuBushouSession& session_;
};

// The surrendered-generals dialog for the session; true once the player has decided about
// every general.
bool PlayKoufukuBushouDlg(GameState& gs, KoufukuBushouSession& session, ui::Wnd* owner);

class CHoryoKoukanDlg : public ui::Dialog {
public:
    static constexpr int kReturnedListId = 1227;
    static constexpr int kGivenListId = 1228;
    static constexpr int kReturnedLabelId = 1225;
    static constexpr int kGivenLabelId = 1229;

    static const ui::DialogTemplate& Template();
    CHoryoKoukanDlg(GameState& gs, const Ports& ports, int partner, ui::Wnd* parent = nullptr);

    ui::ListCtrl* ReturnedList() const { return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kReturnedListId)); }
    ui::ListCtrl* GivenList() const { return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kGivenListId)); }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    void EnableOk();

    GameState& gs_;
    const Ports& ports_;
    int partner_;
    OkCancelButtons okCancel_;
};

}  // namespace rymd
