// The harvest dialog (162 "収穫"): in September the player sees how the rice stands in every
// province and sets this year's tax rate. The country map is painted by harvest (good, normal,
// bad) with the province borders drawn, a legend names the three colours, and the group
// "税率設定" holds the nine rates from 70 % to 30 %, the standard 50 % preset. OK closes the
// dialog with the chosen rate; the dialog cannot be cancelled (Escape and the frame keep it).
#pragma once

#include <array>

#include "game/ports/ports.h"
#include "game/shell/dialogs/common/colour_swatch.h"
#include "game/shell/dialogs/events/event_dlg.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

class CHarvestDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 162;
    static constexpr int kMapPlaceId = 1240;
    static constexpr int kMapId = 2002;
    static constexpr int kFirstRateId = 1134;  // rate i is the radio button 1134 + i (i = 0..8)
    static constexpr int kRateCount = 9;
    static constexpr int kFirstSwatchId = 1250;  // good, normal, bad
    static constexpr int kFirstLegendId = 1253;

    // The colours of the three harvests: good, normal, bad.
    static Colour QualityColour(int quality);

    static const ui::DialogTemplate& Template();

    // map: the shared province map (null: the map stays empty).
    CHarvestDlg(HarvestView view, MbKorMap::CCtrlKorMap* map, ui::Wnd* owner = nullptr);
    ~CHarvestDlg() override;

    // The chosen tax-rate index (the view's preset until the player picks another).
    int m_nTaxIndex = 0;

    CEventMapWnd& MapWnd() { return map_; }
    const HarvestView& View() const { return view_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    void OnOK() override;
    void OnCancel() override {}

private:
    HarvestView view_;
    MbKorMap::CCtrlKorMap* korMap_;
    CEventMapWnd map_;
    std::array<CColourSwatch, 3> swatches_;
    MbWnd::CGradationButton ok_;
};

// Shows the harvest dialog modally and returns the chosen tax-rate index (the preset when the
// dialog could not be shown).
int ShowHarvestDlg(ui::Wnd* owner, const HarvestView& view, MbKorMap::CCtrlKorMap* map);

}  // namespace rymd
