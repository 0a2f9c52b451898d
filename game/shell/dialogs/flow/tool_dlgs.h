// The small dialogs around the game: the version (dialog 100), the scenario's information
// (dialog 190), the utility (dialog 232) and the scenario cipher (dialog 264).
#pragma once

#include <array>
#include <string>

#include "game/shell/dialogs/common/dialog_help.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/gradation_button.h"
#include "platform/qt/dialog.h"

namespace rymd {
struct GameState;
}

namespace rymd::shell {

// "龍門記のﾊﾞｰｼﾞｮﾝ情報": the banner picture (its own size, the dialog fitted around it) and the
// version line "Version %s". Without banner.jpg the picture's place stays empty.
class CAboutDlg : public ui::Dialog {
public:
    static constexpr int kPictureId = 1361;
    static constexpr int kVersionId = 1311;
    static constexpr const char* kVersionNumber = "1.16d";

    static const ui::DialogTemplate& AboutTemplate();
    explicit CAboutDlg(ui::Wnd* parent = nullptr);
    ~CAboutDlg() override;

    std::string m_strVersion;
    const MbBmp::CControlBmp& Banner() const { return banner_; }
    // Where the banner is drawn, in client coordinates.
    ui::Rect BannerRect() const { return bannerRect_; }

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnHelpInfo() override { return OpenDialogHelp(); }
    void OnPaint(ui::Dc& dc) override;

private:
    MbBmp::CControlBmp banner_;
    ui::Rect bannerRect_;
    MbWnd::CGradationButton ok_;
};

// "シナリオ情報": the title and the counts of castles, houses, generals and trade partners, the
// labels in the scenario's words.
class CScenarioInfoDlg : public ui::Dialog {
public:
    static constexpr int kTitleId = 1164;
    static constexpr int kShiroId = 1014;
    static constexpr int kDaimyouId = 1005;
    static constexpr int kBushouId = 1167;
    static constexpr int kPartnerId = 1168;
    static constexpr int kShiroLabelId = 1243;
    static constexpr int kDaimyouLabelId = 1336;
    static constexpr int kBushouLabelId = 1353;

    static const ui::DialogTemplate& InfoTemplate();
    // The five texts are filled from the game: the houses without the dummy house, the trade
    // partners without the built-in one.
    CScenarioInfoDlg(const GameState& gs, ui::Wnd* parent = nullptr);
    ~CScenarioInfoDlg() override;

    std::array<std::string, 5> m_strTexts;  // title, castles, houses, generals, trade partners

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    const GameState& gs_;
    MbWnd::CGradationButton ok_;
};

// "ユーティリティ": scenario encryption, decryption and the benchmark (which closes the dialog
// with m_bBenchmark set).
class CUtilityDlg : public ui::Dialog {
public:
    static constexpr int kEncryptId = 1220;
    static constexpr int kDecryptId = 1221;
    static constexpr int kBenchmarkId = 1222;

    static const ui::DialogTemplate& UtilityTemplate();
    explicit CUtilityDlg(ui::Wnd* parent = nullptr);
    ~CUtilityDlg() override;

    bool m_bBenchmark = false;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    std::array<MbWnd::CGradationButton, 4> buttons_;
};

// "シナリオ暗号化" / "シナリオ暗号化解除": the input scenario, the output file and the password;
// the run button is enabled once all three are given.
class CScenarioCipherDlg : public ui::Dialog {
public:
    static constexpr int kInputButtonId = 1354;
    static constexpr int kOutputButtonId = 1355;
    static constexpr int kPasswordId = 1221;
    static constexpr int kRunId = 1357;
    static constexpr int kInputTextId = 1358;
    static constexpr int kOutputTextId = 1359;

    static const ui::DialogTemplate& CipherTemplate();
    // programFolder: where the file dialogs start.
    CScenarioCipherDlg(std::string programFolder, ui::Wnd* parent = nullptr);
    ~CScenarioCipherDlg() override;

    std::string m_strInput;
    std::string m_strOutput;
    std::string m_strPassword;
    int m_nMode = 0;  // 0 encryption, 1 decryption

    void OnSelectInput();
    void OnSelectOutput();
    void UpdateRunButton();
    void OnRun();

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    std::string programFolder_;
    std::array<MbWnd::CGradationButton, 4> buttons_;
};

}  // namespace rymd::shell
