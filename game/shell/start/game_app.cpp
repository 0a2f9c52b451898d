#include "game/shell/start/game_app.h"

#include <memory>

#include "game/shell/app/help.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/music/gst_music_backend.h"
#include "game/shell/music/music_dlg.h"
#include "game/shell/music/music_player.h"
#include "game/shell/window/main_game_dlg.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/app.h"

namespace rymd::shell {

int CGameApp::InitInstance() {
    AppContext& app = App();
    // Every processor this program is built for runs it: no processor question. Nothing here
    // needs COM.
    SetMsgBoxStyle(1);
    // Qt's own windows (the file dialogs) in Japanese where the desktop has the translation.
    ui::InstallJapaneseQtTranslations();

    // The folders.
    app.programFolder = RunningProgramFolder();
    app.helpPath = HelpAddress(app.programFolder);
    SetProgramHelpAddress(app.helpPath);
    const std::string userFolder = UserDataFolder();
    app.saveDataFolder = FindSaveDataFolder(app.programFolder, userFolder);
    PictureStore().FindPictureFolder(app.programFolder);  // ends the program when there is none
    app.settingsFolder = SettingsFolder(app.programFolder, userFolder);
    app.settings.SetLocation(app.settingsFolder, app.programFolder);

    ui::Profile::SetRegistryKey("MiyabeSoft");

    // The music: the profile's choices now, the settings file's no-music switch once the main
    // window has read it.
    GstMusicBackend musicBackend;
    MusicPlayer music(musicBackend);
    LoadMusicProfile(music.Settings());
    music.Places().programFolder = app.programFolder;
    app.music = &music;

    auto map = std::make_unique<MbKorMap::CCtrlKorMap>();
    map->SetMessageHandler([](const char* text) { MbMsgBox(text); });
    app.korMap = map.get();
    MbWnd::CGradationButton::SetFocusDisp(true, ui::RGB(220, 100, 30));

    app.startMenu = true;
    int exitCode = 0;
    {
        CMainGameDlg dlg(app);
        ui::SetMainWindow(&dlg);
        dlg.DoModal();
        ui::SetMainWindow(nullptr);
        exitCode = ExitCodeAfterMainWindow(dlg.MapFailure());
        // The map goes before the window object.
        app.korMap = nullptr;
        map.reset();
    }
    music.StopBgm();
    music.CloseBgmDevices();
    app.music = nullptr;
    ui::Profile::Flush();
    return exitCode;
}

}  // namespace rymd::shell
