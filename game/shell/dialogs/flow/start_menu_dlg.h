// CStartMenuDlg (dialog 154, "龍門記 スタートメニュー"): the title picture with five texture buttons
// over it. The client area takes the picture's size, centred on the main window.
//
//   1087 新規にゲームを開始する   reads a scenario (the caller's ReadScenario); read: choice 0, closed
//   1038 ...ロードしゲームを再開する  choice 1, closed (the load runs after the menu)
//   1039 ゲームを終了する         choice 2, closed
//   1161 Utility                 the utility dialog; when it asks for the benchmark, a scenario is
//                                read as for 1087 and, read, choice 3 closes the menu
//   1160 Help                    the help pages
// Escape and the close box leave the choice at 2 (quit).
#pragma once

#include <array>
#include <functional>
#include <memory>

#include "game/shell/dialogs/common/dialog_help.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/texture_button.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/dialog.h"
#include "platform/qt/font.h"

namespace rymd::shell {

class CStartMenuDlg : public ui::Dialog {
public:
    enum Choice : int { kNewGame = 0, kLoad = 1, kQuit = 2, kBenchmark = 3 };

    static constexpr int kNewGameId = 1087;
    static constexpr int kLoadId = 1038;
    static constexpr int kQuitId = 1039;
    static constexpr int kHelpId = 1160;
    static constexpr int kUtilityId = 1161;
    static constexpr int kPictureId = 65535;

    // What the buttons reach outside the menu.
    struct Hooks {
        std::function<int()> readScenario;  // 0 when a scenario was read
        std::function<bool()> runUtility;   // true when the utility asked for the benchmark
        std::function<void()> openHelp;
    };

    static const ui::DialogTemplate& StartMenuTemplate();
    // The buttons: id, text, pixel rectangle.
    struct ButtonPlace {
        int id;
        const char* text;
        ui::Rect rect;
    };
    static const std::array<ButtonPlace, 5>& Buttons();

    explicit CStartMenuDlg(Hooks hooks, ui::Wnd* parent = nullptr);
    ~CStartMenuDlg() override;

    int m_nChoice = kQuit;
    const MbBmp::CControlBmp& Picture() const { return title_; }
    MbWnd::CTextureButton& Button(int index) { return *buttons_[static_cast<std::size_t>(index)]; }

    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }
    bool OnCommand(int id, int code, ui::Wnd* from) override;
    void OnPaint(ui::Dc& dc) override;

private:
    Hooks hooks_;
    ui::Font font_;
    MbBmp::CControlBmp title_;
    ui::Bitmap texture_;
    std::array<std::unique_ptr<MbWnd::CTextureButton>, 5> buttons_;
};

}  // namespace rymd::shell
