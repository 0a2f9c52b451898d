#include "game/shell/music/music_dlg.h"
#include "game/shell/dialogs/common/dialog_parts.h"

#include <utility>

#include "platform/qt/app.h"

namespace rymd {

using namespace ui;

namespace {

constexpr const char* kFileFilter = "midi/mp3/wma Files (*.mid;*.mp3;*.wma)|*.mid;*.mp3;*.wma||";
constexpr const char* kFileTitle = "音楽ファイルを指定してください";

}  // namespace

const DialogTemplate& CBgmSettingDlg::BgmTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "BGMの設定";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 290;
        d.cy = 232;
        const std::uint32_t check = WS_TABSTOP | BS_AUTOCHECKBOX;
        const std::uint32_t push = WS_TABSTOP | BS_PUSHBUTTON;
        d.items = {
            {-1, ControlKind::Static, "ゲーム中のＢＧＭを設定してください", 7, 7, 276, 10, SS_LEFT, 0},
            {kNoBgmId, ControlKind::Button, "BGMを演奏しない", 7, 21, 120, 10, check, 0},
            {-1, ControlKind::Button, "標準BGM", 7, 35, 276, 70, BS_GROUPBOX, 0},
            {kDefaultId, ControlKind::Button, "標準ＢＧＭを使用する", 14, 47, 120, 10, check, 0},
            {-1, ControlKind::Static, "曲名", 14, 61, 34, 9, SS_LEFT, 0},
            {-1, ControlKind::Static, kSongTitle, 50, 61, 226, 9, SS_LEFT, 0},
            {-1, ControlKind::Static, "作曲者", 14, 73, 34, 9, SS_LEFT, 0},
            {-1, ControlKind::Static, kSongComposer, 50, 73, 226, 9, SS_LEFT, 0},
            {kMissingSongId, ControlKind::Static,
             "標準BGMが存在しません（BGM付き版をダウンロードしてインストールしてください）", 14, 88, 262, 10,
             SS_LEFT, 0},
            {kUseScenarioId, ControlKind::Button, "シナリオ設定に従う", 7, 114, 120, 10, check, 0},
            {-1, ControlKind::Static,
             "ユーザーが各自用意した音楽ファイルを演奏させることも可能です\n"
             "（上記の「標準ＢＧＭを使用する」のチェックを外し、以下の設定をしてください）",
             7, 129, 276, 26, SS_LEFT, 0},
            {kNormalButtonId, ControlKind::Button, "通常時音楽設定", 7, 158, 68, 14, push, 0},
            {kNormalPathId, ControlKind::Static, "", 80, 158, 203, 14, SS_LEFT, WS_EX_CLIENTEDGE},
            {kBattleButtonId, ControlKind::Button, "合戦時音楽設定", 7, 176, 68, 14, push, 0},
            {kBattlePathId, ControlKind::Static, "", 80, 176, 203, 14, SS_LEFT, WS_EX_CLIENTEDGE},
            {kClearId, ControlKind::Button, "設定クリア", 7, 194, 68, 14, push, 0},
            {IDOK, ControlKind::Button, "OK", 168, 212, 55, 14, WS_TABSTOP | BS_OWNERDRAW, 0},
            {IDCANCEL, ControlKind::Button, "キャンセル", 228, 212, 55, 14, WS_TABSTOP | BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

CBgmSettingDlg::CBgmSettingDlg(std::string programFolder, Wnd* parent)
    : Dialog(BgmTemplate(), parent), programFolder_(std::move(programFolder)) {}

void CBgmSettingDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Check(dx, kNoBgmId, m_bNoBgm);
    DDX_Check(dx, kDefaultId, m_bDefault);
    DDX_Check(dx, kUseScenarioId, m_bUseScenario);
    okCancel_.Bind(dx);
}

bool CBgmSettingDlg::OnInitDialog() {
    Dialog::OnInitDialog();  // the check boxes from the members
    SetItemText(*this, kNormalPathId, m_strNormal);
    SetItemText(*this, kBattlePathId, m_strBattle);
    EnableOwnFileControls();
    if (Wnd* missing = GetDlgItem(kMissingSongId))
        missing->ShowWindow(shell::MusicFileExists(programFolder_ + shell::kStandardSongName) ? SW_HIDE
                                                                                              : SW_SHOW);
    return true;
}

void CBgmSettingDlg::EnableOwnFileControls() {
    for (int id : {kNormalButtonId, kBattleButtonId, kClearId, kNormalPathId, kBattlePathId})
        if (Wnd* w = GetDlgItem(id)) w->EnableWindow(!m_bDefault);
}

void CBgmSettingDlg::ChooseFile(std::string& path, int pathId) {
    std::optional<std::string> chosen = GetOpenFileName(this, kFileTitle, kFileFilter, "");
    if (!chosen) return;  // cancelled: nothing changes
    path = *chosen;
    SetItemText(*this, pathId, path);
}

bool CBgmSettingDlg::OnCommand(int id, int code, Wnd* from) {
    if (code == BN_CLICKED) {
        switch (id) {
            case kNormalButtonId: ChooseFile(m_strNormal, kNormalPathId); return true;
            case kBattleButtonId: ChooseFile(m_strBattle, kBattlePathId); return true;
            case kClearId:
                m_strNormal.clear();
                m_strBattle.clear();
                SetItemText(*this, kNormalPathId, "");
                SetItemText(*this, kBattlePathId, "");
                return true;
            case kDefaultId:
                UpdateData(true);
                EnableOwnFileControls();
                return true;
            default: break;
        }
    }
    return Dialog::OnCommand(id, code, from);
}

namespace shell {

bool RunMusicSettings(MusicPlayer& player, Wnd* owner, const std::function<void(bool off)>& saveNoMusic) {
    const MusicSettings& now = player.Settings();
    CBgmSettingDlg dlg(player.Places().programFolder, owner);
    dlg.m_strNormal = now.normal;
    dlg.m_strBattle = now.battle;
    dlg.m_bNoBgm = now.off;
    dlg.m_bDefault = now.useDefault;
    dlg.m_bUseScenario = now.useScenario;
    if (dlg.DoModal() != IDOK) return false;

    MusicSettings chosen;
    chosen.normal = dlg.m_strNormal;
    chosen.battle = dlg.m_strBattle;
    chosen.off = dlg.m_bNoBgm != 0;
    chosen.useDefault = dlg.m_bDefault != 0;
    chosen.useScenario = dlg.m_bUseScenario != 0;
    if (!player.ApplySettings(chosen)) return false;  // nothing changed: the music goes on
    if (saveNoMusic) saveNoMusic(chosen.off);
    SaveMusicProfile(chosen);
    return true;
}

void LoadMusicProfile(MusicSettings& s) {
    s.normal = Profile::GetProfileString(kMusicSection, kMusicNormalKey, "");
    s.battle = Profile::GetProfileString(kMusicSection, kMusicBattleKey, "");
    s.useDefault = Profile::GetProfileInt(kMusicSection, kMusicDefaultKey, 1) != 0;
    s.useScenario = Profile::GetProfileInt(kMusicSection, kMusicUseScenarioKey, 1) != 0;
}

void SaveMusicProfile(const MusicSettings& s) {
    Profile::WriteProfileString(kMusicSection, kMusicNormalKey, s.normal);
    Profile::WriteProfileString(kMusicSection, kMusicBattleKey, s.battle);
    Profile::WriteProfileInt(kMusicSection, kMusicDefaultKey, s.useDefault ? 1 : 0);
    Profile::WriteProfileInt(kMusicSection, kMusicUseScenarioKey, s.useScenario ? 1 : 0);
}

}  // namespace shell

}  // namespace rymd
