// The game program: its folders, settings file, picture store, backdrop and main window.
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <set>

#include "game/shell/app/app_context.h"
#include "game/shell/app/backdrop_wnd.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/app/setting_file.h"
#include "game/shell/dialogs/flow/start_menu_dlg.h"
#include "game/shell/window/main_game_dlg.h"
#include "gui/gui_test_util.h"
#include "mbkormap/kor_map.h"
#include "platform/qt/app.h"
#include "support/kor_map_fixture.h"

#include <QWidget>

namespace rymd::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace rymd::shell;

// A fresh folder tree under the temporary folder, removed at the end.
class TempTree {
public:
    TempTree() {
        root_ = fs::temp_directory_path() /
                ("rymd_program_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    ~TempTree() {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string Folder(const std::string& rel) const {
        fs::create_directories(root_ / rel);
        return (root_ / rel).string() + "/";
    }
    std::string Path(const std::string& rel) const { return (root_ / rel).string(); }
    bool Has(const std::string& rel) const { return fs::is_directory(root_ / rel); }

private:
    static inline int counter_ = 0;
    fs::path root_;
};

std::string BuildFolder() {
    return FolderOfPath(RYMD_GALLERY_DIR);
}

// ---- Folders -------------------------------------------------------------------------------------

TEST(ProgramTranslations, AFolderWithoutTheJapaneseTranslationLeavesQtAsItIs) {
    EnsureGuiApp();
    const std::filesystem::path empty =
        std::filesystem::temp_directory_path() / ("rymd_translations_" + std::to_string(getpid()));
    std::filesystem::create_directories(empty);
    EXPECT_FALSE(ui::InstallJapaneseQtTranslations(empty.string()));
    EXPECT_FALSE(ui::InstallJapaneseQtTranslations("/nonexistent/translations"));
    std::filesystem::remove_all(empty);
}

// The desktop's Qt translations (installed with the game's dependencies) make Qt's own dialogs,
// the file dialogs among them, speak Japanese.
TEST(ProgramTranslations, TheDesktopsJapaneseTranslationTurnsQtsDialogsJapanese) {
    EnsureGuiApp();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(folder + "/qtbase_ja.qm"))
        GTEST_SKIP() << "no Japanese Qt translation on this desktop";
    EXPECT_TRUE(ui::InstallJapaneseQtTranslations());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:").toStdString(), "ファイル名(&N):");
}

TEST(ProgramFolders, SaveDataBesideAboveOrCreated) {
    struct Case {
        const char* name;
        bool beside, above;
        const char* expected;  // relative to the tree
    } cases[] = {
        {"both: the one beside wins", true, true, "game/bin/SaveData"},
        {"only above", false, true, "game/bin/../SaveData"},
        {"none: created beside", false, false, "game/bin/SaveData"},
    };
    for (const Case& c : cases) {
        TempTree t;
        const std::string program = t.Folder("game/bin");
        if (c.beside) t.Folder("game/bin/SaveData");
        if (c.above) t.Folder("game/SaveData");
        EXPECT_EQ(FindSaveDataFolder(program, t.Folder("user")), t.Path(c.expected)) << c.name;
        EXPECT_TRUE(t.Has("game/bin/SaveData") || c.above) << c.name;
        EXPECT_EQ(t.Has("game/bin/SaveData"), c.beside || !c.above) << c.name << ": nothing else is created";
    }
}

TEST(ProgramFolders, SavesGoToTheUserFolderWhenNoneCanBeMadeBesideTheProgram) {
    TempTree t;
    // The program's folder lies under a plain file, so no folder can be made beside it (as
    // beside a program in a folder the player cannot write).
    std::ofstream(t.Path("blocked")) << "x";
    const std::string program = t.Path("blocked") + "/bin/";
    EXPECT_EQ(FindSaveDataFolder(program, t.Folder("user")), t.Path("user/SaveData"));
    EXPECT_TRUE(t.Has("user/SaveData"));
    EXPECT_EQ(SettingsFolder(program, t.Folder("user")), t.Path("user") + "/");
}

TEST(ProgramFolders, UserDataFolderFollowsXdgDataHome) {
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::string saved = old ? old : "";
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    EXPECT_EQ(UserDataFolder(), "/srv/data/Ryuumonden/");
    setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    EXPECT_NE(UserDataFolder().rfind("relative", 0), 0u);
    if (old)
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

TEST(ProgramFolders, PictureFolderBesideThenAbove) {
    TempTree t;
    const std::string program = t.Folder("game/bin");
    EXPECT_FALSE(FindPictureFolder(program));
    t.Folder("game/picture");
    EXPECT_EQ(FindPictureFolder(program), program + "../picture/");
    t.Folder("game/bin/picture");
    EXPECT_EQ(FindPictureFolder(program), program + "picture/");
}

// No picture folder anywhere: the message, then the program ends with exit code 1 (in a child
// process; the box is answered and its text written to standard error).
TEST(ProgramFoldersDeathTest, NoPictureFolderEndsTheProgram) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempTree t;
    const std::string program = t.Folder("game/bin");
    EXPECT_EXIT(
        {
            EnsureGuiApp();
            ui::test::Script script;
            script.OnDialog([](ui::Dialog& d) {
                std::cerr << "box: " << dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText << std::endl;
                d.EndDialog(ui::IDOK);
            });
            CPictureStore store;
            store.FindPictureFolder(program);
            std::cerr << "still running" << std::endl;
            std::exit(3);
        },
        ::testing::ExitedWithCode(kExitStartFailed), "box: pictureフォルダがありません");
}

// ---- Picture store ----------------------------------------------------------------------------------

// The pictures the build painted: every file of the store is there, decodes, and has the size the
// screens expect (the title holds the start menu's buttons, the strip spans a wide window, the
// ship units keep their palette with the see-through entry 0 around the ship).
TEST(PictureStoreFiles, EveryPictureLoadsAtItsSize) {
    CPictureStore store;
    store.SetFolder(BuildFolder() + "picture/");
    struct Case {
        const char* name;
        std::function<void(MbBmp::CControlBmp&)> load;
        int w, h;
    } cases[] = {
        {"TitleLV", [&](auto& b) { store.LoadTitle(b); }, 720, 480},
        {"TitleBar", [&](auto& b) { store.LoadTitleBar(b); }, 2560, 50},
        {"banner", [&](auto& b) { store.LoadBanner(b); }, 400, 100},
        {"YasenSpring", [&](auto& b) { store.LoadYasenSpring(b); }, 540, 230},
        {"YasenSummer", [&](auto& b) { store.LoadYasenSummer(b); }, 540, 230},
        {"YasenAutumn", [&](auto& b) { store.LoadYasenAutumn(b); }, 540, 230},
        {"YasenWinter", [&](auto& b) { store.LoadYasenWinter(b); }, 540, 230},
        {"shiro", [&](auto& b) { store.LoadShiro(b); }, 240, 180},
        {"china", [&](auto& b) { store.LoadChina(b); }, 240, 180},
        {"europe", [&](auto& b) { store.LoadEurope(b); }, 240, 180},
        {"gendai", [&](auto& b) { store.LoadGendai(b); }, 240, 180},
        {"ship", [&](auto& b) { store.LoadShip(b); }, 240, 160},
        {"gunsen", [&](auto& b) { store.LoadGunsen(b); }, 240, 160},
        {"suigun", [&](auto& b) { store.LoadSuigun(b); }, 240, 160},
        {"teppou", [&](auto& b) { store.LoadTeppou(b); }, 240, 160},
        {"Kouzan", [&](auto& b) { store.LoadKouzan(b); }, 52, 40},
        {"KouekisenSmall", [&](auto& b) { store.LoadKouekisenSmall(b); }, 52, 40},
        {"GunsenSmall", [&](auto& b) { store.LoadGunsenSmall(b); }, 52, 40},
    };
    for (const Case& c : cases) {
        MbBmp::CControlBmp b;
        c.load(b);
        EXPECT_EQ(b.GetWidth(), c.w) << c.name;
        EXPECT_EQ(b.GetHeight(), c.h) << c.name;
    }
    MbBmp::CControlBmp bg, left, right;
    store.LoadKaisenPictures(bg, left, right);
    EXPECT_EQ(bg.GetWidth(), 540);
    for (MbBmp::CControlBmp* unit : {&left, &right}) {
        EXPECT_EQ(unit->GetBitCount(), 8);
        EXPECT_EQ(unit->GetPixelIndex(0, 0), 0);
        EXPECT_EQ(unit->GetPixelIndex(unit->GetWidth() - 1, 0), 0);
        int ship = 0;
        for (int y = 0; y < unit->GetHeight(); ++y)
            for (int x = 0; x < unit->GetWidth(); ++x)
                ship += unit->GetPixelIndex(x, y) != 0;
        EXPECT_GT(ship, 100);
    }
    EXPECT_EQ(CPictureStore::FileNames().size(), 21u);
    for (const char* name : CPictureStore::FileNames())
        EXPECT_TRUE(fs::is_regular_file(store.Folder() + name)) << name;
}

TEST(PictureStoreFiles, AMissingPictureIsSilentlyNone) {
    TempTree t;
    const std::string folder = t.Folder("picture");
    fs::copy_file(BuildFolder() + "picture/banner.jpg", folder + "banner.jpg");
    std::ofstream(folder + "shiro.jpg") << "not a picture";
    CPictureStore store;
    store.SetFolder(folder);
    ui::test::Script script;  // any message box would be an unanswered dialog
    script.SetErrorHandler([](const std::string& m) { ADD_FAILURE() << m; });
    MbBmp::CControlBmp banner, shiro, title;
    store.LoadBanner(banner);
    store.LoadShiro(shiro);
    store.LoadTitle(title);
    EXPECT_EQ(banner.GetWidth(), 400);
    EXPECT_TRUE(shiro.IsEmpty());
    EXPECT_TRUE(title.IsEmpty());
}

// ---- Settings file ---------------------------------------------------------------------------------

TEST(SettingFile, DefaultsRoundTripAndCuts) {
    TempTree t;
    const std::string folder = t.Folder("prog");
    SettingFile s;
    s.SetLocation(folder, folder);
    s.Load();  // no file
    EXPECT_EQ(s.SaveFolder(), folder);
    EXPECT_EQ(s.MusicNormal(), "main.mid");
    EXPECT_EQ(s.MusicBattle(), "battle.mid");
    EXPECT_FALSE(s.NoMusic());

    s.SetSaveFolder("/home/player/戦国/");
    s.SetNoMusic(true);
    ASSERT_TRUE(s.Save());
    EXPECT_EQ(fs::file_size(s.Path()), 337u);
    SettingFile back;
    back.SetLocation(folder, folder);
    back.Load();
    EXPECT_EQ(back.Bytes(), s.Bytes());
    EXPECT_EQ(back.SaveFolder(), "/home/player/戦国/");
    EXPECT_TRUE(back.NoMusic());
    EXPECT_EQ(back.Bytes()[256 + 8], 0) << "main.mid ends in a zero";

    // A 300-character folder keeps its first 255 bytes and the terminator; a multi-byte
    // character is never cut in half.
    const std::string longFolder = "/" + std::string(299, 'a');
    back.SetSaveFolder(longFolder);
    EXPECT_EQ(back.SaveFolder(), longFolder.substr(0, 255));
    EXPECT_EQ(back.Bytes()[255], 0);
    back.SetSaveFolder(std::string(254, 'b') + "国");
    EXPECT_EQ(back.SaveFolder(), std::string(254, 'b'));
}

TEST(SettingFile, ShortOrDamagedFilesTakeDefaults) {
    TempTree t;
    const std::string folder = t.Folder("prog");
    struct Case {
        const char* name;
        std::string bytes;
        std::string saveFolder, normal;
    } cases[] = {
        {"empty file", "", folder, "main.mid"},
        {"folder only", "/d/\0", "/d/", "main.mid"},
        {"no terminators anywhere", std::string(337, 'x'), std::string(255, 'x'), std::string(39, 'x')},
    };
    for (const Case& c : cases) {
        std::ofstream(folder + "rymds.dat", std::ios::binary | std::ios::trunc) << c.bytes;
        SettingFile s;
        s.SetLocation(folder, folder);
        s.Load();
        EXPECT_EQ(s.SaveFolder(), c.saveFolder) << c.name;
        EXPECT_EQ(s.MusicNormal(), c.normal) << c.name;
    }
}

// Only a regular file of at most 337 bytes is read: whatever else stands there under the name
// (a FIFO, which would hold the start waiting for a writer, a device, a folder, a larger file) is
// no settings, told in one line for the log. A missing file is a first start and tells nothing.
TEST(SettingFile, AnythingButASmallRegularFileIsNoSettingsWithALine) {
    TempTree t;
    const std::string folder = t.Folder("prog");
    const std::string path = folder + "rymds.dat";
    struct Case {
        const char* name;
        std::function<void()> make;
        std::string reason;  // "" when nothing is told
    } cases[] = {
        {"missing", [] {}, ""},
        {"regular", [&] { std::ofstream(path, std::ios::binary) << std::string(337, 'x'); }, ""},
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, "not a regular file"},
        {"folder", [&] { fs::create_directory(path); }, "not a regular file"},
        {"link to /dev/zero", [&] { fs::create_symlink("/dev/zero", path); }, "not a regular file"},
        {"larger than the record", [&] { std::ofstream(path, std::ios::binary) << std::string(338, 'x'); },
         "larger than 337 bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(path);
        c.make();
        SettingFile s;
        s.SetLocation(folder, folder);
        const std::string note = s.Load();
        if (c.reason.empty()) {
            EXPECT_EQ(note, "");
            continue;
        }
        EXPECT_EQ(note, "設定ファイル " + path + " を読まずに既定の設定で始めます (" + c.reason + ")");
        EXPECT_EQ(s.SaveFolder(), folder);
        EXPECT_EQ(s.MusicNormal(), "main.mid");
        EXPECT_FALSE(s.NoMusic());
    }
    fs::remove_all(path);
}

// ---- Backdrop ----------------------------------------------------------------------------------------

TEST(Backdrop, BevelAndStripesFollowTheWindowSize) {
    for (int h : {8, 9}) {
        MbBmp::CControlBmp b;
        b.CreateBitmap(20, 20, 24);
        b.FillRect(0, 0, 20, 20, ui::RGB(100, 100, 100));
        ShadeBackdrop(b, 16, h);
        std::vector<int> stripes;
        for (int y = 0; y < 20; ++y)
            if (b.GetPixelColor(10, y) == ui::RGB(85, 85, 85)) stripes.push_back(y);
        const std::vector<int> expected = h == 8 ? std::vector<int>{3} : std::vector<int>{3, 5};
        EXPECT_EQ(stripes, expected) << h;
        EXPECT_EQ(b.GetPixelColor(10, 0), ui::RGB(50, 50, 50));     // top edge × 0.5
        EXPECT_EQ(b.GetPixelColor(10, 2), ui::RGB(200, 200, 200));  // third row × 2.0
        EXPECT_EQ(b.GetPixelColor(10, h - 1), ui::RGB(0, 0, 0));    // bottom edge × 0
        EXPECT_EQ(b.GetPixelColor(15, 5), ui::RGB(0, 0, 0));        // right edge × 0
        EXPECT_EQ(b.GetPixelColor(10, 15), ui::RGB(100, 100, 100)) << "below the window: untouched";
    }
}

// ---- Main window ---------------------------------------------------------------------------------------

TEST(MainWindowPlacement, Table) {
    struct Case {
        const char* name;
        StoredPlacement stored;
        int screenW, screenH;
        ui::Rect rect;
        bool maximized;
        int log;
    } cases[] = {
        {"nothing stored", {}, 1280, 1024, {144, 144, 1136, 880}, false, 50},
        {"wider than the screen", {0, 0, 1300, 700, 1, 50}, 1280, 1024, {144, 144, 1136, 880}, false, 50},
        {"small screen", {}, 800, 600, {16, 16, 784, 584}, false, 50},
        {"partly off the screen", {-30, -20, 970, 680, 0, 50}, 1280, 1024, {0, 0, 1000, 700}, false, 50},
        {"past the right and bottom",
         {900, 800, 1400, 1100, 1, 50},
         1280,
         1024,
         {780, 724, 1280, 1024},
         true,
         50},
        {"log 5 becomes 20", {0, 0, 800, 600, 0, 5}, 1280, 1024, {0, 0, 800, 600}, false, 20},
        {"log cut to height - 200", {0, 0, 800, 600, 0, 500}, 1280, 1024, {0, 0, 800, 600}, false, 400},
        {"window under 220: 20", {0, 0, 800, 210, 0, 100}, 1280, 1024, {0, 0, 800, 210}, false, 20},
    };
    for (const Case& c : cases) {
        const Placement p = ChoosePlacement(c.stored, c.screenW, c.screenH);
        EXPECT_EQ(p.rect, c.rect) << c.name;
        EXPECT_EQ(p.maximized, c.maximized) << c.name;
        EXPECT_EQ(p.logHeight, c.log) << c.name;
    }
}

class MainWindowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ui::Profile::UseFile(tree_.Path("profile.ini"));
        program_ = tree_.Folder("prog");
        app_.programFolder = program_;
        app_.korMap = &map_;
        app_.settings.SetLocation(program_, program_);
        PictureStore().SetFolder(BuildFolder() + "picture/");
    }
    void TearDown() override {
        GuiTest::TearDown();
        ui::Profile::UseFile("");
    }
    void UseBundledMap() {
        fs::copy_file(std::string(RYMD_SOURCE_DIR) + "/data/default.smp", program_ + "default.smp");
    }
    // The placement in the profile's "Window" section, as a closing stores it.
    static void StorePlacement(const StoredPlacement& p) {
        ui::Profile::WriteProfileInt("Window", "Left", p.left);
        ui::Profile::WriteProfileInt("Window", "Top", p.top);
        ui::Profile::WriteProfileInt("Window", "Right", p.right);
        ui::Profile::WriteProfileInt("Window", "Bottom", p.bottom);
        ui::Profile::WriteProfileInt("Window", "Maximized", p.maximized);
    }
    static ui::Rect StoredRect() {
        return ui::Rect(ui::Profile::GetProfileInt("Window", "Left", -1),
                        ui::Profile::GetProfileInt("Window", "Top", -1),
                        ui::Profile::GetProfileInt("Window", "Right", -1),
                        ui::Profile::GetProfileInt("Window", "Bottom", -1));
    }

    TempTree tree_;
    std::string program_;
    MbKorMap::CCtrlKorMap map_;
    AppContext app_;
};

TEST_F(MainWindowTest, DefaultMapFailuresEndTheWindowBeforeAnyChild) {
    MbKorMap::KorMapData many = kormap_fixture::MakeCountry();
    while (many.kuni.size() < 250)
        many.kuni.push_back(kormap_fixture::Kuni("X" + std::to_string(many.kuni.size()), "x", 0));
    MbKorMap::CCtrlKorMap big;
    std::string why;
    ASSERT_TRUE(big.SetData(std::move(many), &why)) << why;
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
        std::vector<std::string> boxes;
    } cases[] = {
        {"missing", [](const std::string&) {}, {"デフォルトマップファイル(default.smp)が開けません"}},
        {"a FIFO",
         [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         {"デフォルトマップファイル(default.smp)が開けません"}},
        {"bad",
         [](const std::string& p) { std::ofstream(p) << "RYUUMON not a map"; },
         {"ファイルが異常です", "デフォルトマップファイル(default.smp)が異常です"}},
        {"250 provinces",
         [&](const std::string& p) { ASSERT_TRUE(big.SaveKorMap(p.c_str())); },
         {"デフォルトマップファイル(default.smp)の国数が多すぎます"}},
    };
    for (const Case& c : cases) {
        fs::remove(program_ + "default.smp");
        c.make(program_ + "default.smp");
        map_.SetMessageHandler([](const char* text) { MbMsgBox(text); });
        std::vector<std::string> shown;
        for (std::size_t i = 0; i < c.boxes.size(); ++i)
            Script().OnDialog([&](ui::Dialog& d) {
                shown.push_back(dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText);
                d.EndDialog(ui::IDOK);
            });
        CMainGameDlg dlg(app_);
        EXPECT_EQ(dlg.DoModal(), 0) << c.name;
        EXPECT_EQ(shown, c.boxes) << c.name;
        EXPECT_FALSE(dlg.ChildrenReady()) << c.name;
        EXPECT_FALSE(dlg.Backdrop().IsWindow()) << c.name;
        EXPECT_EQ(ExitCodeAfterMainWindow(dlg.MapFailure()), kExitStartFailed) << c.name;
    }
    // 249 provinces are taken.
    MbKorMap::KorMapData most = kormap_fixture::MakeCountry();
    while (most.kuni.size() < 249)
        most.kuni.push_back(kormap_fixture::Kuni("X" + std::to_string(most.kuni.size()), "x", 0));
    ASSERT_TRUE(big.SetData(std::move(most), &why)) << why;
    ASSERT_TRUE(big.SaveKorMap((program_ + "default.smp").c_str()));
    CMainGameDlg dlg(app_);
    Script().OnDialog([](ui::Dialog& d) {
        EXPECT_TRUE(dynamic_cast<CMainGameDlg&>(d).ChildrenReady());
        d.EndDialog(ui::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(map_.KuniCount(), 249);
    EXPECT_EQ(ExitCodeAfterMainWindow(dlg.MapFailure()), 0);
}

TEST_F(MainWindowTest, ASettingsFileThatIsAFifoIsToldInTheLogAndTheWindowOpens) {
    UseBundledMap();
    ASSERT_EQ(::mkfifo((program_ + "rymds.dat").c_str(), 0600), 0);
    CMainGameDlg dlg(app_);
    std::string log;
    Script().OnDialog([&](ui::Dialog& d) {
        log = dynamic_cast<CMainGameDlg&>(d).LogWindow().GetText();
        d.EndDialog(ui::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
    EXPECT_NE(log.find("設定ファイル " + program_ +
                       "rymds.dat を読まずに既定の設定で始めます (not a regular file)\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(app_.settings.MusicNormal(), "main.mid");
}

TEST_F(MainWindowTest, ShowsTheBundledMapAndKeepsItsPlacement) {
    UseBundledMap();
    ui::Profile::WriteProfileInt("Window", "LogWindowHeight", 5);
    CMainGameDlg dlg(app_);
    Script().OnDialog([&](ui::Dialog& d) {
        auto& m = dynamic_cast<CMainGameDlg&>(d);
        ASSERT_TRUE(m.ChildrenReady());
        m.MoveWindow(ui::Rect(0, 0, 1280, 960));
        ui::test::ProcessEvents();
        const ui::Rect client = m.GetClientRect();
        const int mapRight = client.Width() - m.PanelWidth();
        EXPECT_EQ(m.LogWindow().GetWindowRect().Height(), 20);
        // The children as laid out: backdrop on top, map below it, splitter and log at the bottom.
        auto inParent = [&](ui::Wnd& w) {
            ui::Rect r = w.GetWindowRect();
            m.ScreenToClient(r);
            return r;
        };
        EXPECT_EQ(inParent(m.Backdrop()), ui::Rect(0, 0, mapRight, 50));
        EXPECT_EQ(inParent(m.LogWindow()), ui::Rect(0, client.Height() - 20, mapRight, client.Height()));
        EXPECT_EQ(inParent(m.Splitter()), ui::Rect(0, client.Height() - 23, mapRight, client.Height() - 20));
        EXPECT_EQ(inParent(m.KuniMap()), ui::Rect(0, 50, mapRight, client.Height() - 23));
        EXPECT_EQ(m.LogWindow().GetText().rfind("マウスの右ボタンドラッグでもスクロールが可能です\n", 0), 0u);
        EXPECT_EQ(m.Port().AsPorts().view != nullptr, true);

        // The map of Japan is drawn inside its black frame on the grey ground: land and sea.
        const QImage mapShot = ui::test::Grab(m.KuniMap());
        const ui::Rect map = m.KuniMap().m_rcMap;
        ASSERT_GT(map.Width(), 600);
        // (the grab holds the window's sunken edge around the client area)
        const int edge = (mapShot.width() / static_cast<int>(mapShot.devicePixelRatio()) -
                          m.KuniMap().GetClientRect().Width()) /
                         2;
        EXPECT_EQ(ui::test::PixelAt(mapShot, edge + map.left - 1, edge + map.top - 1), ui::RGB(0, 0, 0));
        EXPECT_EQ(ui::test::PixelAt(mapShot, edge + 2, edge + 2), ui::RGB(128, 128, 128));
        std::set<ui::COLORREF> colours;
        for (int y = map.top; y < map.bottom; y += 7)
            for (int x = map.left; x < map.right; x += 7)
                colours.insert(ui::test::PixelAt(mapShot, edge + x, edge + y));
        EXPECT_GT(colours.size(), 50u) << "relief, sea and land textures";
        // The title strip carries the title line in white.
        const QImage strip = ui::test::Grab(m.Backdrop());
        int white = 0;
        for (int y = 6; y < 24; ++y)
            for (int x = 10; x < 200; ++x)
                white += ui::test::PixelAt(strip, x, y) == ui::RGB(255, 255, 255);
        EXPECT_GT(white, 20);
        EXPECT_TRUE(ui::test::GrabToPng(m, GalleryPath("main_window_1280x960")));
        EXPECT_TRUE(ui::test::GrabToPng(m, GalleryPath("main_window_1280x960@2x"), 2.0));

        // Dragging the splitter 100 pixels up makes the log 100 pixels taller and the map shorter;
        // the log is never taller than the client height - 100.
        const int splitterTop = client.Height() - 23;
        ui::test::MouseDown(m.Splitter(), Point(30, 1));
        ui::test::MouseMove(m, Point(30, splitterTop + 1 - 100), true);
        EXPECT_EQ(inParent(m.LogWindow()), ui::Rect(0, client.Height() - 120, mapRight, client.Height()));
        EXPECT_EQ(inParent(m.KuniMap()).bottom, client.Height() - 123);
        ui::test::MouseMove(m, Point(30, -5000), true);
        EXPECT_EQ(m.LogWindow().GetWindowRect().Height(), client.Height() - 100);
        ui::test::MouseMove(m, Point(30, splitterTop + 1 - 100), true);
        ui::test::MouseUp(m, Point(30, splitterTop + 1 - 100));
        ui::test::MouseMove(m, Point(30, 300), false);
        EXPECT_EQ(m.LogWindow().GetWindowRect().Height(), 120) << "the drag ended with the button";
        d.EndDialog(ui::IDCANCEL);
    });
    dlg.DoModal();
    // Closing kept the placement and the log height.
    EXPECT_EQ(
        ui::Profile::GetProfileInt("Window", "Right", -1) - ui::Profile::GetProfileInt("Window", "Left", -1),
        1280);
    EXPECT_EQ(ui::Profile::GetProfileInt("Window", "Left", -1), 0);
    EXPECT_EQ(ui::Profile::GetProfileInt("Window", "Bottom", -1), 960);
    EXPECT_EQ(ui::Profile::GetProfileInt("Window", "Maximized", -1), 0);
    EXPECT_EQ(ui::Profile::GetProfileInt("Window", "LogWindowHeight", -1), 120);
}

TEST_F(MainWindowTest, AMaximisedWindowKeepsItsNormalRectangle) {
    UseBundledMap();
    const StoredPlacement stored{40, 30, 740, 530, 1, 80};
    StorePlacement(stored);
    ui::Profile::WriteProfileInt("Window", "LogWindowHeight", stored.logHeight);
    CMainGameDlg dlg(app_);
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_TRUE(d.GetWidget()->isMaximized());
        EXPECT_EQ(dynamic_cast<CMainGameDlg&>(d).LogWindow().GetWindowRect().Height(), 80);
        d.EndDialog(ui::IDCANCEL);
    });
    dlg.DoModal();
    EXPECT_EQ(ui::Profile::GetProfileInt("Window", "Maximized", -1), 1);
    EXPECT_EQ(StoredRect(), ui::Rect(stored.left, stored.top, stored.right, stored.bottom));
}

// On a 1024 x 768 screen, under a window manager that tells the frame around a window only once
// the window is shown (openbox's: 1, 20, 1, 5), the main window's rectangle is the window's with
// its frame: the one stored on closing is restored at the next start, start after start, and the
// window lies on the screen; maximised stays maximised.
TEST_F(MainWindowTest, ThePlacementWithItsFrameHoldsStartAfterStart) {
    UseBundledMap();
    ui::test::SetScreenSize(Size(1024, 768));
    struct Case {
        const char* name;
        std::optional<StoredPlacement> stored;
        ui::Rect rect;
        bool maximized;
    } cases[] = {
        {"nothing stored", std::nullopt, {16, 16, 1008, 752}, false},
        {"maximised", StoredPlacement{16, 16, 1008, 752, 1, 50}, {16, 16, 1008, 752}, true},
        {"partly below the screen", StoredPlacement{100, 200, 900, 900, 0, 50}, {100, 68, 900, 768}, false},
    };
    int file = 0;
    for (const Case& c : cases) {
        ui::Profile::UseFile(tree_.Path("placement" + std::to_string(++file) + ".ini"));
        if (c.stored) StorePlacement(*c.stored);
        for (int start = 1; start <= 3; ++start) {
            const std::string name = std::string(c.name) + ", start " + std::to_string(start);
            // A new start knows nothing of frames.
            ui::test::SetWindowFrame(ui::test::FrameEdges{1, 20, 1, 5});
            CMainGameDlg dlg(app_);
            ui::Wnd::WindowPlacement shown;
            ui::Rect window;
            Script().OnDialog([&](ui::Dialog& d) {
                ui::test::ProcessEvents();
                ui::test::ProcessEvents();
                shown = d.GetWindowPlacement();
                window = d.GetWindowRect();
                d.EndDialog(ui::IDCANCEL);
            });
            dlg.DoModal();
            EXPECT_EQ(shown.normal, c.rect) << name;
            EXPECT_EQ(shown.show, c.maximized ? ui::SW_SHOWMAXIMIZED : ui::SW_SHOWNORMAL) << name;
            if (!c.maximized) {
                EXPECT_EQ(window, c.rect) << name;
            }
            EXPECT_EQ(StoredRect(), c.rect) << name;
            EXPECT_EQ(ui::Profile::GetProfileInt("Window", "Maximized", -1), c.maximized ? 1 : 0) << name;
        }
    }
}

// The start menu of a start under that window manager stands centred over the main window as
// the player sees it, maximised or not; a quit from it stores the placement where the window
// stands, even partly off the screen (the next start moves it onto the screen).
TEST_F(MainWindowTest, TheStartMenuStandsOverTheWindowAsShownAndItsQuitStoresWhereTheWindowStands) {
    UseBundledMap();
    ui::test::SetScreenSize(Size(1024, 768));
    app_.startMenu = true;
    struct Case {
        const char* name;
        std::optional<StoredPlacement> stored;
        std::optional<ui::Rect> movedTo;  // where the player moves the window while the menu is up
        ui::Point menuCentre;
        ui::Rect storedRect;
        int storedMaximized;
    } cases[] = {
        {"maximised start",
         StoredPlacement{120, 80, 822, 605, 1, 50},
         std::nullopt,
         {512, 384},
         {120, 80, 822, 605},
         1},
        {"normal start",
         StoredPlacement{120, 80, 822, 605, 0, 50},
         std::nullopt,
         {471, 342},
         {120, 80, 822, 605},
         0},
        {"moved partly off the screen",
         std::nullopt,
         ui::Rect(599, 480, 1591, 1216),
         {512, 384},
         {599, 480, 1591, 1216},
         0},
    };
    int file = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui::Profile::UseFile(tree_.Path("menu" + std::to_string(++file) + ".ini"));
        if (c.stored) StorePlacement(*c.stored);
        ui::test::SetWindowFrame(ui::test::FrameEdges{1, 20, 1, 5});
        CMainGameDlg dlg(app_);
        ui::Rect menu;
        Script().OnDialog([&](ui::Dialog& d) {
            ui::test::ProcessEvents();
            ui::test::ProcessEvents();
            menu = d.GetWindowRect();
            if (c.movedTo) dlg.MoveWindow(*c.movedTo);
            ui::test::ClickControl(d, CStartMenuDlg::kQuitId);
        });
        EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
        EXPECT_NEAR(menu.CenterPoint().x, c.menuCentre.x, 1);
        EXPECT_NEAR(menu.CenterPoint().y, c.menuCentre.y, 1);
        EXPECT_EQ(StoredRect(), c.storedRect);
        EXPECT_EQ(ui::Profile::GetProfileInt("Window", "Maximized", -1), c.storedMaximized);
    }
}

TEST_F(MainWindowTest, EnterDoesNothingAndEscapeAsksToQuit) {
    UseBundledMap();
    CMainGameDlg dlg(app_);
    std::string asked;
    Script().OnDialog([&](ui::Dialog& d) {
        ui::test::PressKey(d, ui::VK_RETURN);
        EXPECT_FALSE(d.IsEnded());
        Script().OnDialog([&](ui::Dialog& box) {
            asked = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(ui::IDNO);
        });
        ui::test::PressKey(d, ui::VK_ESCAPE);
        EXPECT_FALSE(d.IsEnded()) << "No keeps the game";
        Script().Answer(ui::IDYES);
        ui::test::PressKey(d, ui::VK_ESCAPE);
        EXPECT_TRUE(d.IsEnded());
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(asked, "ゲームを終了します");
}

}  // namespace
}  // namespace rymd::gui_test
