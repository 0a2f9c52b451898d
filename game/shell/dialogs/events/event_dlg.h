// The event dialog (dialog 161): a scheduled event that struck this month. The caption is the
// event's name; a province map shows the whole country with the struck provinces painted in the
// event's colour and the province borders drawn; under it the event's text (as the scenario
// wrote it, no substitution), an empty line and one line per effect; button 1 "閉じる" closes.
//
// The map is window 2001 (both scroll bars, a client edge) in the place of control 1239; the text
// is window 2004 (bordered, a client edge) in the place of control 1277; the button under them.
#pragma once

#include <vector>

#include "game/ports/ports.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/multi_text_ctrl.h"
#include "mbwnd/scroll_wnd.h"
#include "platform/qt/dialog.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

// The dialog's province map: the whole map drawn inside the window, its proportions kept and
// centred, into a picture of its own (a picture larger than the window would scroll).
class CEventMapWnd : public MbWnd::CScrollWnd {
public:
    // Draws the map with the provinces painted. Without a map, or with an empty one, the picture
    // is the window's size in the button-face colour. The shared map draws into the picture and
    // is handed back its own bitmap afterwards.
    void DrawEventMap(MbKorMap::CCtrlKorMap* map, const std::vector<int>& provinces, Colour colour);
    // The same with each province painted in a colour of its own.
    struct PaintedKuni {
        int kuni;
        Colour colour;
    };
    void DrawPaintedMap(MbKorMap::CCtrlKorMap* map, const std::vector<PaintedKuni>& painted);
    const MbBmp::CControlBmp& Picture() const { return picture_; }
    // Where the picture's top-left pixel lies in the client area.
    ui::Point PictureOrigin() const;

    void OnPaint(ui::Dc& dc) override;

private:
    MbBmp::CControlBmp picture_;
};

class CEventDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 161;
    static constexpr int kMapPlaceId = 1239;
    static constexpr int kTextPlaceId = 1277;
    static constexpr int kMapId = 2001;
    static constexpr int kTextId = 2004;
    static constexpr int kCloseId = 1;

    // The template, caption "イベント" (the dialog puts the event's name there).
    static const ui::DialogTemplate& EventTemplate();

    // map: the shared province map (null: the map stays empty).
    CEventDlg(ScheduledEventReport report, MbKorMap::CCtrlKorMap* map, ui::Wnd* owner = nullptr);
    ~CEventDlg() override;

    CEventMapWnd& MapWnd() { return map_; }
    MbWnd::CMultiTextCtrl& TextCtrl() { return text_; }
    const ScheduledEventReport& Report() const { return report_; }
    // The text the text control shows: the message, an empty line, the effects.
    static std::string DialogText(const ScheduledEventReport& report);

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    ScheduledEventReport report_;
    MbKorMap::CCtrlKorMap* korMap_;
    CEventMapWnd map_;
    MbWnd::CMultiTextCtrl text_;
    MbWnd::CGradationButton close_;
};

}  // namespace rymd
