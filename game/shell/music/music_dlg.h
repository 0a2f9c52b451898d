// The music settings dialog (234 "BGMの設定"): the standard song, the scenario's music, the
// player's own files, or no music at all.
//
// Layout (dialog units, "ＭＳ Ｐゴシック" 9 points, 290 x 232):
//   prompt                                     (7, 7)     276 x 10
//   check 1230 "BGMを演奏しない"               (7, 21)    120 x 10
//   group "標準BGM"                            (7, 35)    276 x 70
//     check 1369 "標準ＢＧＭを使用する"        (14, 47)   120 x 10
//     "曲名" / title, "作曲者" / composer      (14, 61) and (14, 73), the texts at x 50
//     static 1370 (the standard song is missing) (14, 88) 262 x 10, hidden while the song exists
//   check 1371 "シナリオ設定に従う"            (7, 114)   120 x 10
//   the two lines about the player's own files (7, 129)   276 x 26
//   button 1359 "通常時音楽設定", static 1360  (7, 158) 68 x 14; (80, 158) 203 x 14, sunken
//   button 1361 "合戦時音楽設定", static 1362  (7, 176) 68 x 14; (80, 176) 203 x 14, sunken
//   button 1368 "設定クリア"                   (7, 194)   68 x 14
//   OK 1 and Cancel 2 (gradation buttons)      (168, 212) and (228, 212), 55 x 14
// The file buttons, the path texts and the clear button are enabled exactly while the standard
// song is not used.
#pragma once

#include <functional>
#include <string>

#include "game/shell/music/music_player.h"
#include "platform/qt/dialog.h"
#include "game/shell/dialogs/common/dialog_parts.h"

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
