// The musket delivery report (dialog 210 "鉄砲入手"), shown to the player at a month start when
// muskets were made or bought muskets arrived: a picture, "鉄砲を入手しました", the lines of what
// arrived in a rich-text view and the undeployed stock it came to. It changes nothing.
//
// The picture 1161 on the left; beside it "鉄砲を入手しました" (1349) over the rich-text view 2004
// in the place of the hidden frame 1277; under them the undeployed stock 1064 and OK.
// The picture is the scenario's musket picture (TeppouPicture) when it names one of the map's
// pictures, else the built-in teppou.jpg; it is stretched over the frame.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "game/shell/dialogs/common/report_picture.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/dialog.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

class CTeppouNyuushuDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 210;
    static constexpr int kPictureId = 1161;
    static constexpr int kLabelId = 1349;
    static constexpr int kFrameId = 1277;
    static constexpr int kTextId = 2004;
    static constexpr int kStockId = 1064;

    static const ui::DialogTemplate& TeppouNyuushuTemplate();

    // lines: the delivery's lines as the month start wrote them, the undeployed stock last.
    CTeppouNyuushuDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, std::string title,
                      std::span<const std::string> lines, ui::Wnd* parent = nullptr);
    ~CTeppouNyuushuDlg() override;

    const MbBmp::CControlBmp& Picture() const { return picture_.Bmp(); }
    MbWnd::CMultiTextCtrl& TextCtrl() { return text_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnPaint(ui::Dc& dc) override;

private:
    const GameState& gs_;
    MbKorMap::CCtrlKorMap* map_;
    std::string title_;
    std::string text_lines_;
    std::string stock_;
    ReportPicture picture_;
    MbWnd::CMultiTextCtrl text_;
    MbWnd::CGradationButton ok_;
};

namespace shell {

// Runs the report modally over the owner.
void ShowTeppouNyuushuDlg(ui::Wnd* owner, const GameState& gs, MbKorMap::CCtrlKorMap* map,
                          std::string_view title, std::span<const std::string> lines);

}  // namespace shell

}  // namespace rymd
