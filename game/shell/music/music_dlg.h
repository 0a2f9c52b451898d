// The music settings dialog (234 "BGMの設定"): the standard song, the scenario's music, the
// player's own files, or no music at all.
//
// From the top: the prompt, "BGMを演奏しない" (1230), the group "標準BGM" with
// "標準ＢＧＭを使用する" (1369), the standard song's title and composer and the note 1370 that the
// song is missing (hidden while it exists); "シナリオ設定に従う" (1371); two lines about the
// player's own files, the buttons "通常時音楽設定" (1359) and "合戦時音楽設定" (1361) with their
// sunken path texts 1360 and 1362, "設定クリア" (1368); OK and Cancel (gradation buttons).
// The file buttons, the path texts and the clear button are enabled exactly while the standard
// song is not used.
#pragma once

#include <functional>
#include <string>

#include "game/shell/dialogs/common/dialog_parts.h"
#include "game/shell/music/music_player.h"
#include "platform/qt/dialog.h"

namespace rymd {

class CBgmSettingDlg : public ui::Dialog {
public:
    static constexpr int kDialogId = 234;
    static constexpr int kNoBgmId = 1230;
    static constexpr int kNormalButtonId = 1359;
    static constexpr int kNormalPathId = 1360;
    static constexpr int kBattleButtonId = 1361;
    static constexpr int kBattlePathId = 1362;
    static constexpr int kClearId = 1368;
    static constexpr int kDefaultId = 1369;
    static constexpr int kMissingSongId = 1370;
    static constexpr int kUseScenarioId = 1371;
    // The standard song's title and composer as the group shows them.
    static constexpr const char* kSongTitle = "夕暮れ";
    static constexpr const char* kSongComposer = "龍門記 開発チーム";

    static const ui::DialogTemplate& BgmTemplate();

    // programFolder: where the standard song is looked for ('/'-ended).
    explicit CBgmSettingDlg(std::string programFolder, ui::Wnd* parent = nullptr);

    // Filled by the caller before DoModal; read back after IDOK.
    std::string m_strNormal;
    std::string m_strBattle;
    int m_bNoBgm = 0;
    int m_bDefault = 0;
    int m_bUseScenario = 0;

    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, ui::Wnd* from) override;

private:
    void EnableOwnFileControls();
    void ChooseFile(std::string& path, int pathId);

    std::string programFolder_;
    OkCancelButtons okCancel_;
};

namespace shell {

// The main window's handler of the music settings command: runs the dialog on the player's
// settings and, when OK changed anything, applies them to the player (stop, reopen, replay the
// situation that played), writes the four profile values and hands the no-music switch to
// saveNoMusic (the settings file). Returns whether the settings changed.
bool RunMusicSettings(MusicPlayer& player, ui::Wnd* owner, const std::function<void(bool off)>& saveNoMusic);

// Reads the four profile values of the music settings (the no-music switch comes from the
// settings file and is left as it is).
void LoadMusicProfile(MusicSettings& settings);
void SaveMusicProfile(const MusicSettings& settings);

}  // namespace shell

}  // namespace rymd
