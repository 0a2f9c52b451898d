// The recruitment choice (169 "登用選択"): a masterless general turns to the player's house;
// the dialog shows him and the player takes him as retainer ("家臣に登用する") or not
// ("登用しない").
#pragma once

#include "game/ports/ports.h"
#include "game/shell/dialogs/common/dialog_parts.h"
#include "platform/qt/dialog.h"
#include "platform/qt/list_ctrl.h"

namespace rymd {

class CRecruitDlg : public ui::Dialog {
public:
    static constexpr int kListId = 1007;
    static constexpr int kTextId = 1064;

    static const ui::DialogTemplate& Template();
    explicit CRecruitDlg(const RecruitOffer& offer, ui::Wnd* parent = nullptr);

    ui::ListCtrl* List() const { return dynamic_cast<ui::ListCtrl*>(GetDlgItem(kListId)); }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    const RecruitOffer& offer_;
    OkCancelButtons okCancel_;
};

// The dialog for the offer: true when the player takes him.
bool AskRecruitDlg(const RecruitOffer& offer, ui::Wnd* owner);

}  // namespace rymd
