#include "game/shell/game_app.h"

#include "game/shell/main_game_dlg.h"
#include "game/shell/picture_store.h"
#include "game/shell/program_folders.h"
#include "mbkormap/kor_map.h"
#include "mbwnd/gradation_button.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/app.h"

namespace rymd::shell {

AppContext& App() {
    static AppContext context;
    return context;
}

int CGameApp::InitInstance() {
    AppContext& app = App();
    // Every processor this program is built for runs it: no processor question. Nothing here
    // needs COM.
    SetMsgBoxStyle(1);

    // The folders.
    app.programFolder = RunningProgramFolder();
    app.helpPath = app.programFolder + "rymd_mv/01top.html";
    const std::string userFolder = UserDataFolder();
    app.saveDataFolder = FindSaveDataFolder(app.programFolder, userFolder);
    PictureStore().FindPictureFolder(app.programFolder);  // ends the program when there is none
    app.settingsFolder = SettingsFolder(app.programFolder, userFolder);
    app.settings.SetLocation(app.settingsFolder, app.programFolder);

    // Not built yet: the shared 9 x 11 image list of the list views (it comes with them).
    ui::Profile::SetRegistryKey("MiyabeSoft");

    auto map = std::make_unique<MbKorMap::CCtrlKorMap>();
    map->SetMessageHandler([](const char* text) { MbMsgBox(text); });
    app.korMap = map.get();
    MbWnd::CGradationButton::SetFocusDisp(true, ui::RGB(220, 100, 30));

    {
        CMainGameDlg dlg(app);
        ui::SetMainWindow(&dlg);
        dlg.DoModal();
        ui::SetMainWindow(nullptr);
        // The map goes before the window object.
        app.korMap = nullptr;
        map.reset();
    }
    ui::Profile::Flush();
    return 0;
}

}  // namespace rymd::shell
