// The month start's ship reports to the player: the trade ships home from their voyages (187
// "交易船帰港") with one grid row per voyage, and the warships completed (256 "軍船建造完了") with
// the lines of what was launched where. Both show a picture (the scenario's when it names one, else
// the built-in ship or warship picture), change nothing and close with OK.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "game/shell/dialogs/common/dialog_help.h"
#include "game/shell/dialogs/common/report_picture.h"
#include "mbwnd/cell_ctrl.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/multi_text_ctrl.h"
#include "platform/qt/dialog.h"

namespace MbKorMap {
class CCtrlKorMap;
}

namespace rymd {

struct GameState;

class CKouekisenKikouDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 187;
    static constexpr int kPictureId = 1161;
    static constexpr int kLabelId = 1064;
    static constexpr int kFrameId = 1295;
    static constexpr int kGridId = 2017;

    static const ui::DialogTemplate& KouekisenKikouTemplate();

    // lines: the report's first line, the column titles, then one line per voyage with its cells
    // (destination, port, ships, revenue) separated by tabs.
    CKouekisenKikouDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, std::string title,
                       std::span<const std::string> lines, ui::Wnd* parent = nullptr);
    ~CKouekisenKikouDlg() override;

    const MbBmp::CControlBmp& Picture() const { return picture_.Bmp(); }
    MbWnd::CCellCtrl& Grid() { return grid_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnPaint(ui::Dc& dc) override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }

private:
    const GameState& gs_;
    MbKorMap::CCtrlKorMap* map_;
    std::string title_;
    std::string label_;
    std::vector<std::vector<std::string>> rows_;
    ReportPicture picture_;
    MbWnd::CCellCtrl grid_;
    MbWnd::CGradationButton ok_;
};

class CGunsenCompleteDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 256;
    static constexpr int kPictureId = 1161;
    static constexpr int kLabelId = 1064;
    static constexpr int kFrameId = 1337;
    static constexpr int kTextId = 2004;

    static const ui::DialogTemplate& GunsenCompleteTemplate();

    // lines: the report's first line, then the lines of the ships completed.
    CGunsenCompleteDlg(const GameState& gs, MbKorMap::CCtrlKorMap* map, std::string title,
                       std::span<const std::string> lines, ui::Wnd* parent = nullptr);
    ~CGunsenCompleteDlg() override;

    const MbBmp::CControlBmp& Picture() const { return picture_.Bmp(); }
    MbWnd::CMultiTextCtrl& TextCtrl() { return text_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnPaint(ui::Dc& dc) override;

private:
    const GameState& gs_;
    MbKorMap::CCtrlKorMap* map_;
    std::string title_;
    std::string label_;
    std::string body_;
    ReportPicture picture_;
    MbWnd::CMultiTextCtrl text_;
    MbWnd::CGradationButton ok_;
};

namespace shell {

// Run the reports modally over the owner.
void ShowKouekisenKikouDlg(ui::Wnd* owner, const GameState& gs, MbKorMap::CCtrlKorMap* map,
                           std::string_view title, std::span<const std::string> lines);
void ShowGunsenCompleteDlg(ui::Wnd* owner, const GameState& gs, MbKorMap::CCtrlKorMap* map,
                           std::string_view title, std::span<const std::string> lines);

}  // namespace shell

}  // namespace rymd
