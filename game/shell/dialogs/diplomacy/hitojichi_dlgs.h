// The hostage dialogs.
//
// The hostage offer (240 "人質差し出し"): another house demands a hostage; the player clicks the
// heir he gives (and confirms), or refuses with "人質の差し出しを拒否". Enter does nothing. The
// hostage treatment (242 "人質処遇"): the hostages the player's house holds; one of a vassal
// house comes of age (元服) as that house's guest general, or any goes back to his house.
#pragma once

#include <cstdint>

#include "game/ports/ports.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

struct GameState;

class CHitojichiSashidashiDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1231;
    static constexpr int kDemandId = 1064;
    static constexpr int kListTitleId = 1093;

    static const ui::DialogTemplate& Template();
    explicit CHitojichiSashidashiDlg(const HitojichiOffer& offer, ui::Wnd* parent = nullptr);

    // After OK: the position of the heir given in the offer.
    int m_nChosen = -1;

    ui::ListCtrl* List() const { return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId)); }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    // Enter does not give a hostage.
    void OnOK() override {}
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    const HitojichiOffer& offer_;
    MbWnd::CGradationButton refuse_;
};

// The offer dialog: the heir's position, or -1 when the player refuses.
int AskHitojichiOfferDlg(const HitojichiOffer& offer, ui::Wnd* owner);

class CHitojichiShoguuDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1007;
    static constexpr int kReturnId = 1236;
    static constexpr int kGenpukuId = 1235;

    static const ui::DialogTemplate& Template();
    explicit CHitojichiShoguuDlg(GameState& gs, ui::Wnd* parent = nullptr);

    ui::ListCtrl* List() const { return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId)); }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    bool OnNotify(int id, ui::NotifyHeader* header, std::intptr_t* result) override;

private:
    void EnableButtons(bool on);
    // The selected hostage after the check and the player's OK, -1 when it stops.
    int ConfirmedHostage(bool genpuku);

    GameState& gs_;
    MbWnd::CGradationButton return_, genpuku_, ok_;
};

}  // namespace rymd
