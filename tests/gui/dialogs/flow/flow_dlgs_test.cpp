// The dialogs of the game's flow: the start menu over the title picture, the house selection,
// the text viewer, the automatic advance and the benchmark's years, the version, the scenario's
// information and the utility and cipher dialogs. Gallery pictures at 100 % and 200 %.
#include <filesystem>
#include <fstream>
#include <memory>

#include "game/scenario/cipher.h"
#include "game/scenario/reader.h"
#include "game/shell/app/app_context.h"
#include "game/shell/app/picture_store.h"
#include "game/shell/app/program_folders.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/shell/dialogs/events/long_text_dlg.h"
#include "game/shell/dialogs/flow/auto_advance_dlg.h"
#include "game/shell/dialogs/flow/daimyou_select_dlg.h"
#include "game/shell/dialogs/flow/start_menu_dlg.h"
#include "game/shell/dialogs/flow/tool_dlgs.h"
#include "game/shell/maps/kuni_map_wnd.h"
#include "game/shell/music/music_dlg.h"
#include "game/shell/port/qt_port.h"
#include "game/state/access.h"
#include "game/state/game_state.h"
#include "game/state/queries.h"
#include "game/turn/new_game.h"
#include "gui/gui_test_util.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/core/file.h"
#include "platform/qt/controls.h"

namespace rymd::gui_test {
namespace {

namespace fs = std::filesystem;
using namespace rymd::shell;

// Empties an edit box as the player would (select all, delete).
void ClearField(ui::Wnd& dialog, int id) {
    auto* edit = dynamic_cast<ui::Edit*>(dialog.GetDlgItem(id));
    ASSERT_NE(edit, nullptr);
    edit->SetSel(0, -1);
    edit->ReplaceSel("");
}

void SaveGallery(ui::Wnd& w, const std::string& name) {
    EXPECT_TRUE(ui::test::GrabToPng(w, GalleryPath(name)));
    EXPECT_TRUE(ui::test::GrabToPng(w, GalleryPath(name + "@2x"), 2.0));
}

// The bundled scenario read and set up as a new game (before the house is chosen).
struct BundledGame {
    std::unique_ptr<GameState> gs = std::make_unique<GameState>();
    MbKorMap::CCtrlKorMap map;
    BundledGame() {
        CScenarioReader reader(*gs, map, Ports(), std::string(RYMD_SOURCE_DIR) + "/");
        EXPECT_EQ(reader.ReadScenarioFile(BundledScenario()).Code(), 0);
        map.ElvMap().EraseLandTopography();
        map.TextureSetup();
        SetupNewGame(*gs, map, Ports());
    }
};

std::string KuniNameOf(BundledGame& g, int kuni) {
    return ToUtf8(g.map.Kuni(kuni).name, g.gs->Encoding());
}

BundledGame& Bundled() {
    static BundledGame game;
    return game;
}

class FlowDlgTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        PictureStore().SetFolder(FolderOfPath(RYMD_GALLERY_DIR) + "picture/");
    }
};

// ---- start menu ------------------------------------------------------------------------------------

TEST_F(FlowDlgTest, StartMenuFitsTheTitlePictureWithItsFiveButtons) {
    MbBmp::CControlBmp title;
    PictureStore().LoadTitle(title);
    ASSERT_FALSE(title.IsEmpty());
    Script().OnDialog([&](ui::Dialog& d) {
        auto& menu = dynamic_cast<CStartMenuDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "龍門記 スタートメニュー");
        EXPECT_EQ(d.GetClientRect(), Rect(0, 0, title.GetWidth(), title.GetHeight()));
        for (const auto& b : CStartMenuDlg::Buttons()) {
            ui::Wnd* w = d.GetDlgItem(b.id);
            ASSERT_NE(w, nullptr) << b.text;
            Rect r = w->GetWindowRect();
            d.ScreenToClient(r);
            EXPECT_EQ(r, b.rect) << b.text;
            EXPECT_EQ(w->GetWindowText(), b.text);
        }
        // The picture shows where no button is; a button shows its own face.
        const QImage shot = ui::test::Grab(menu);
        const int edge = (shot.width() - title.GetWidth()) / 2;
        EXPECT_EQ(Rgb(ui::test::PixelAt(shot, edge + 20, shot.height() - title.GetHeight() - edge + 20)),
                  Rgb(title.GetPixelColor(20, 20)));
        SaveGallery(d, "start_menu");
        ui::test::ClickControl(d, CStartMenuDlg::kQuitId);
    });
    CStartMenuDlg menu({});
    menu.DoModal();
    EXPECT_EQ(menu.m_nChoice, CStartMenuDlg::kQuit);
}

TEST_F(FlowDlgTest, StartMenuChoices) {
    struct Case {
        const char* name;
        std::vector<int> clicks;  // the last one must close the menu
        int readResult;           // what reading a scenario gives
        bool utilityBenchmark;
        int expected;
        int reads;
    } cases[] = {
        {"load", {CStartMenuDlg::kLoadId}, 0, false, CStartMenuDlg::kLoad, 0},
        {"quit", {CStartMenuDlg::kQuitId}, 0, false, CStartMenuDlg::kQuit, 0},
        {"new game read", {CStartMenuDlg::kNewGameId}, 0, false, CStartMenuDlg::kNewGame, 1},
        {"new game not read: the menu stays",
         {CStartMenuDlg::kNewGameId, CStartMenuDlg::kQuitId},
         1,
         false,
         CStartMenuDlg::kQuit,
         1},
        {"utility closed: the menu stays",
         {CStartMenuDlg::kUtilityId, CStartMenuDlg::kQuitId},
         0,
         false,
         CStartMenuDlg::kQuit,
         0},
        {"utility benchmark", {CStartMenuDlg::kUtilityId}, 0, true, CStartMenuDlg::kBenchmark, 1},
    };
    for (const Case& c : cases) {
        int reads = 0;
        CStartMenuDlg::Hooks hooks;
        hooks.readScenario = [&] {
            ++reads;
            return c.readResult;
        };
        hooks.runUtility = [&] { return c.utilityBenchmark; };
        Script().OnDialog([&](ui::Dialog& d) {
            for (int id : c.clicks)
                ui::test::ClickControl(d, id);
            EXPECT_TRUE(d.IsEnded()) << c.name;
        });
        CStartMenuDlg menu(hooks);
        menu.DoModal();
        EXPECT_EQ(menu.m_nChoice, c.expected) << c.name;
        EXPECT_EQ(reads, c.reads) << c.name;
    }
}

// ---- house selection -----------------------------------------------------------------------------

TEST_F(FlowDlgTest, HouseSelectionListsTheHousesOfAClickedProvince) {
    BundledGame& g = Bundled();
    const GameState& gs = *g.gs;
    const int owari = g.map.FindKuni("K_OWARI");
    ASSERT_GE(owari, 0);
    // A province without castles: the bundled scenario has castles everywhere, so those of one
    // province are moved to another for this test.
    const int empty = owari == 0 ? 1 : 0, other = owari == 2 ? 3 : 2;
    std::vector<int> moved;
    for (int s : ShiroIndexes(gs))
        if (gs.ShiroMapTbl[static_cast<std::size_t>(s)].kuni == empty) {
            moved.push_back(s);
            g.gs->ShiroMapTbl[static_cast<std::size_t>(s)].kuni = static_cast<std::uint8_t>(other);
        }
    ASSERT_EQ(CountShiroInKuni(gs, empty), 0);

    // The expected rows: houses with a castle in Owari, ascending, totals over all their castles.
    std::vector<std::vector<std::string>> expected;
    for (int h : DaimyouIndexes(gs)) {
        int castles = 0;
        long long koku = 0;
        bool here = false;
        for (int s : ShiroIndexes(gs))
            if (ShiroAt(gs, s).daimyou == h) {
                ++castles;
                koku += ShiroAt(gs, s).kokudaka;
                here = here || gs.ShiroMapTbl[static_cast<std::size_t>(s)].kuni == owari;
            }
        if (!here) continue;
        char text[64];
        std::snprintf(text, sizeof text, "%lld万%04lld石", koku / 10000, koku % 10000);
        expected.push_back({DaimyouAt(gs, h).name, std::to_string(castles), text, std::to_string(h)});
    }
    ASSERT_FALSE(expected.empty());

    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CDaimyouSelectDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "大名家選択");
        EXPECT_FALSE(d.GetDlgItem(CDaimyouSelectDlg::kListHintId)->IsWindowVisible());
        // A left click on Owari on the dialog's map.
        ui::Point inOwari(-1, -1);
        const Rect client = dlg.MapWnd().GetClientRect();
        for (int y = 0; y < client.bottom && inOwari.x < 0; y += 2)
            for (int x = 0; x < client.right && inOwari.x < 0; x += 2)
                if (dlg.MapWnd().KuniAt(ui::Point(x, y)) == owari) inOwari = ui::Point(x, y);
        ASSERT_GE(inOwari.x, 0);
        ui::test::MouseDown(dlg.MapWnd(), inOwari);
        ui::test::MouseUp(dlg.MapWnd(), inOwari);
        EXPECT_EQ(dlg.KuniBoardText(), KuniNameOf(g, owari));
        ASSERT_EQ(dlg.List().GetItemCount(), static_cast<int>(expected.size()));
        for (int r = 0; r < dlg.List().GetItemCount(); ++r) {
            const auto& e = expected[static_cast<std::size_t>(r)];
            EXPECT_EQ(dlg.List().GetItemText(r, 0), e[0]);
            EXPECT_EQ(dlg.List().GetItemText(r, 1), e[1]);
            EXPECT_EQ(dlg.List().GetItemText(r, 2), e[2]);
            EXPECT_EQ(std::to_string(dlg.List().GetItemData(r)), e[3]);
        }
        EXPECT_TRUE(d.GetDlgItem(CDaimyouSelectDlg::kListHintId)->IsWindowVisible());
        SaveGallery(d, "house_selection");

        // A province without castles: the message, the list as it was.
        std::string shown;
        Script().OnDialog([&](ui::Dialog& box) {
            shown = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(ui::IDOK);
        });
        dlg.OnKuniClicked(empty);
        EXPECT_EQ(shown, std::string("このシナリオでは、") + KuniNameOf(g, empty) + "のデータはありません");
        EXPECT_EQ(dlg.List().GetItemCount(), static_cast<int>(expected.size()));
        EXPECT_EQ(dlg.KuniBoardText(), KuniNameOf(g, owari));

        // A click on the map itself reaches the same handler.
        dlg.OnKuniClicked(-1);
        EXPECT_EQ(dlg.List().GetItemCount(), static_cast<int>(expected.size()));

        // The first house, confirmation cancelled: the dialog stays; confirmed: it ends.
        Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDCANCEL); });
        ui::test::MouseDown(dlg.List(), dlg.List().ItemRect(0).CenterPoint());
        ui::test::MouseUp(dlg.List(), dlg.List().ItemRect(0).CenterPoint());
        EXPECT_FALSE(d.IsEnded());
        Script().OnDialog([](ui::Dialog& box) { box.EndDialog(ui::IDOK); });
        dlg.OnListClick();
        EXPECT_TRUE(d.IsEnded());
    });
    CDaimyouSelectDlg dlg(gs, &g.map);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(std::to_string(dlg.m_nDaimyou), expected[0][3]);
    for (int s : moved)
        g.gs->ShiroMapTbl[static_cast<std::size_t>(s)].kuni = static_cast<std::uint8_t>(empty);
}

TEST_F(FlowDlgTest, HouseSelectionConfirmsAnIntroducedHouseInTheEventMessagesConfirmingForm) {
    BundledGame& g = Bundled();
    GameState& gs = *g.gs;
    const int owari = g.map.FindKuni("K_OWARI");
    int h = -1;
    std::size_t intro = 0;
    std::uint16_t oldIntro = 0xFFFF;
    struct Seen {
        std::string caption, title, text, cancel;
        bool okShown = false;
    } seen;
    auto confirmStep = [&](std::intptr_t answer) {
        Script().OnDialog([&, answer](ui::Dialog& box) {
            auto& confirm = dynamic_cast<CEventMsgDlg&>(box);
            seen = {box.GetWindowText(), box.GetDlgItem(CEventMsgDlg::kTitleId)->GetWindowText(),
                    confirm.TextView().GetText(), confirm.CloseButton().GetWindowText(),
                    confirm.OkButton().IsWindowVisible()};
            ui::test::ClickControl(box, answer == ui::IDOK ? ui::IDOK : CEventMsgDlg::kCloseId);
        });
    };
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CDaimyouSelectDlg&>(d);
        dlg.OnKuniClicked(owari);
        ASSERT_GT(dlg.List().GetItemCount(), 0);
        h = static_cast<int>(dlg.List().GetItemData(0));
        ASSERT_LT(h, gs.nScenarioDaimyou);
        // The house gets an introduction text.
        intro = gs.ScenarioTextPool.size();
        oldIntro = gs.DaimyouInitTbl[static_cast<std::size_t>(h)].textIndex;
        gs.ScenarioTextPool.push_back("尾張の虎の子、天下布武を掲げる。");
        gs.DaimyouInitTbl[static_cast<std::size_t>(h)].textIndex = static_cast<std::uint16_t>(intro);
        dlg.List().SetItemState(0, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
        confirmStep(ui::IDCANCEL);
        dlg.OnListClick();
        EXPECT_FALSE(d.IsEnded());
        confirmStep(ui::IDOK);
        dlg.OnListClick();
        EXPECT_TRUE(d.IsEnded());
    });
    CDaimyouSelectDlg dlg(gs, &g.map);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(dlg.m_nDaimyou, h);
    gs.DaimyouInitTbl[static_cast<std::size_t>(h)].textIndex = oldIntro;
    gs.ScenarioTextPool.resize(intro);
    EXPECT_EQ(seen.caption, "プレイヤー担当大名家確認");
    EXPECT_EQ(seen.title, gs.DaimyouTbl[static_cast<std::size_t>(h)].name + "を担当します");
    EXPECT_EQ(seen.text, "尾張の虎の子、天下布武を掲げる。");
    EXPECT_TRUE(seen.okShown);
    EXPECT_EQ(seen.cancel, "キャンセル");
}

TEST_F(FlowDlgTest, HouseSelectionRefusesForbiddenHousesAndOffersTheSpectatorSeat) {
    BundledGame& g = Bundled();
    GameState& gs = *g.gs;
    const int owari = g.map.FindKuni("K_OWARI");
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CDaimyouSelectDlg&>(d);
        dlg.OnKuniClicked(owari);
        ASSERT_GT(dlg.List().GetItemCount(), 0);
        const int h = static_cast<int>(dlg.List().GetItemData(0));
        CDaimyou& house = gs.DaimyouTbl[static_cast<std::size_t>(h)];
        const std::uint8_t kind = house.kindByte;
        house.kindByte |= 0x80;
        std::string shown;
        Script().OnDialog([&](ui::Dialog& box) {
            shown = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
            box.EndDialog(ui::IDOK);
        });
        dlg.List().SetItemState(0, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
        dlg.OnListClick();
        house.kindByte = kind;
        EXPECT_EQ(shown, "プレイヤーはこの大名家を担当することはできません");
        EXPECT_FALSE(d.IsEnded());
        EXPECT_EQ(dlg.m_nDaimyou, -1);
        ui::test::ClickControl(d, CDaimyouSelectDlg::kSpectatorId);
    });
    CDaimyouSelectDlg spectator(gs, &g.map);
    EXPECT_EQ(spectator.DoModal(), ui::IDOK);
    EXPECT_EQ(spectator.m_nDaimyou, -1);

    Script().PressKey(ui::VK_ESCAPE);
    CDaimyouSelectDlg cancelled(gs, &g.map);
    EXPECT_EQ(cancelled.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(cancelled.m_nDaimyou, -1);
}

// ---- text viewer ---------------------------------------------------------------------------------

TEST_F(FlowDlgTest, TextViewerTakesThePicturesSize) {
    // Without a picture: the template's text area.
    Rect plainWindow;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CLongTextDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "序");
        Rect t = dlg.TextCtrl().GetWindowRect();
        const Rect place = d.MapDialogRect(Rect(7, 7, 293, 167));
        EXPECT_EQ(t.Width(), place.Width());
        EXPECT_EQ(t.Height(), place.Height());
        EXPECT_EQ(dlg.TextCtrl().GetText(), "天下は乱れ");
        plainWindow = d.GetWindowRect();
        d.EndDialog(ui::IDOK);
    });
    CLongTextDlg plain;
    plain.m_strTitle = "序";
    plain.m_strText = "天下は乱れ";
    plain.DoModal();

    // With a 640 x 480 picture: the text area exactly the picture, OK as far from the right edge.
    MbBmp::CControlBmp picture;
    PictureStore().LoadYasenSpring(picture);
    ASSERT_FALSE(picture.IsEmpty());
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CLongTextDlg&>(d);
        const Rect t = dlg.TextCtrl().GetWindowRect();
        EXPECT_EQ(t.Width(), picture.GetWidth());
        EXPECT_EQ(t.Height(), picture.GetHeight());
        const Rect w = d.GetWindowRect();
        const Rect place = d.MapDialogRect(Rect(7, 7, 293, 167));
        EXPECT_EQ(w.Width() - plainWindow.Width(), picture.GetWidth() - place.Width());
        EXPECT_EQ(w.Height() - plainWindow.Height(), picture.GetHeight() - place.Height());
        Rect ok = d.GetDlgItem(ui::IDOK)->GetWindowRect();
        d.ScreenToClient(ok);
        EXPECT_EQ(d.GetClientRect().right - ok.right, d.MapDialogRect(Rect(0, 0, 7, 0)).Width());
        EXPECT_GE(w.left, 0);
        EXPECT_GE(w.top, 0);
        EXPECT_FALSE(d.GetDlgItem(ui::IDCANCEL)->IsWindowVisible());
        SaveGallery(d, "text_viewer");
        d.EndDialog(ui::IDOK);
    });
    CLongTextDlg framed;
    framed.m_strTitle = "戦国の世";
    framed.m_strText =
        "応仁の乱より百年、将軍の威光は地に落ち、諸国の大名は互いに争い合っていた。\n\n"
        "いま、天下統一の夢を胸に、一人の武将が立ち上がる。";
    framed.m_crText = ui::RGB(255, 255, 255);
    framed.m_pPicture = &picture;
    framed.DoModal();
}

TEST_F(FlowDlgTest, TheOpeningTextOfTheGamesPortShowsOverItsPicture) {
    std::vector<std::uint8_t> jpeg;
    ASSERT_TRUE(ReadFileBytes(PictureStore().Folder() + "TitleLV.jpg", jpeg));
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
        int width, height;  // of the text area (0: the template's)
    } cases[] = {
        {"a JPEG", jpeg, 720, 480},
        {"bytes of no picture", {1, 2, 3, 4, 5}, 0, 0},
        {"none", {}, 0, 0},
    };
    for (const Case& c : cases) {
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CLongTextDlg&>(d);
            EXPECT_EQ(d.GetWindowText(), "桶狭間") << c.name;
            const Rect t = dlg.TextCtrl().GetWindowRect();
            const Rect place = d.MapDialogRect(Rect(7, 7, 293, 167));
            EXPECT_EQ(t.Width(), c.width ? c.width : place.Width()) << c.name;
            EXPECT_EQ(t.Height(), c.height ? c.height : place.Height()) << c.name;
            d.EndDialog(ui::IDOK);
        });
        QtPort port;
        port.ShowLongText("桶狭間", "永禄三年", c.bytes, 0xFFFFFF);
    }
}

// ---- automatic advance and benchmark ------------------------------------------------------------

TEST_F(FlowDlgTest, BenchmarkAsksForOneToAThousandYears) {
    struct Case {
        const char* typed;
        bool accepted;
        int years;
    } cases[] = {{"", true, 3}, {"1", true, 1}, {"1000", true, 1000}, {"0", false, 3}, {"1001", false, 3}};
    for (const Case& c : cases) {
        bool refused = false;
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "龍門記ベンチマーク");
            EXPECT_EQ(d.GetDlgItem(CBenchmarkDlg::kYearsId)->GetWindowText(), "3");
            if (*c.typed) d.GetDlgItem(CBenchmarkDlg::kYearsId)->SetWindowText(c.typed);
            if (!c.accepted)
                Script().OnDialog([&](ui::Dialog& box) {
                    refused = true;
                    box.EndDialog(ui::IDOK);
                });
            ui::test::ClickControl(d, ui::IDOK);
            if (!c.accepted) {
                EXPECT_FALSE(d.IsEnded()) << c.typed;
                ui::test::ClickControl(d, ui::IDCANCEL);
            }
        });
        CBenchmarkDlg dlg;
        EXPECT_EQ(dlg.DoModal(), c.accepted ? ui::IDOK : ui::IDCANCEL) << c.typed;
        EXPECT_EQ(refused, !c.accepted) << c.typed;
        EXPECT_EQ(dlg.m_nYears, c.years) << c.typed;
    }
}

// ---- the product's name -------------------------------------------------------------------------

// Every screen names the game alike: the version dialog, the start menu, the benchmark, the main
// window's caption and status line, the music credits and the help pages.
TEST_F(FlowDlgTest, EveryScreenNamesTheGameAlike) {
    const std::string name = "龍門記";
    const auto named = [&](const std::string& text) {
        return text.rfind(name, 0) == 0 && text.find("龍門伝") == std::string::npos;
    };
    EXPECT_TRUE(named(CAboutDlg::AboutTemplate().caption));
    EXPECT_TRUE(named(CStartMenuDlg::StartMenuTemplate().caption));
    EXPECT_TRUE(named(CBenchmarkDlg::BenchmarkTemplate().caption));
    const auto& utility = CUtilityDlg::UtilityTemplate().items;
    const auto bench = std::find_if(utility.begin(), utility.end(),
                                    [](const auto& item) { return item.id == CUtilityDlg::kBenchmarkId; });
    ASSERT_NE(bench, utility.end());
    EXPECT_TRUE(named(bench->text));
    EXPECT_TRUE(named(kProductTitle)) << kProductTitle;
    EXPECT_TRUE(named(CBgmSettingDlg::kSongComposer)) << CBgmSettingDlg::kSongComposer;
    int pages = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(RYMD_BUILD_DIR) / "rymd_mv")) {
        if (entry.path().extension() != ".html") continue;
        ++pages;
        std::ifstream in(entry.path());
        const std::string html((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_NE(html.find(name), std::string::npos) << entry.path();
        EXPECT_EQ(html.find("龍門伝"), std::string::npos) << entry.path();
    }
    EXPECT_GT(pages, 0);
}

// ---- version, scenario information, utility, cipher ----------------------------------------------

TEST_F(FlowDlgTest, VersionAndScenarioInformation) {
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CAboutDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "龍門記のﾊﾞｰｼﾞｮﾝ情報");
        EXPECT_EQ(d.GetDlgItem(CAboutDlg::kVersionId)->GetWindowText(), "Version 1.16d");
        ASSERT_FALSE(dlg.Banner().IsEmpty());
        EXPECT_EQ(dlg.BannerRect().Width(), dlg.Banner().GetWidth());
        SaveGallery(d, "version_dialog");
        d.EndDialog(ui::IDOK);
    });
    CAboutDlg about;
    about.DoModal();

    // Without the banner the dialog still opens.
    PictureStore().SetFolder("/nonexistent/");
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_TRUE(dynamic_cast<CAboutDlg&>(d).Banner().IsEmpty());
        d.EndDialog(ui::IDOK);
    });
    CAboutDlg bare;
    bare.DoModal();

    GameState& gs = *Bundled().gs;
    const std::string castleWord = gs.ScenarioWords[4];
    gs.ScenarioWords[4] = "砦";
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "シナリオ情報");
        EXPECT_EQ(d.GetDlgItem(CScenarioInfoDlg::kTitleId)->GetWindowText(), gs.ScenarioTitle);
        EXPECT_EQ(d.GetDlgItem(CScenarioInfoDlg::kShiroId)->GetWindowText(), std::to_string(gs.nShiro));
        EXPECT_EQ(d.GetDlgItem(CScenarioInfoDlg::kDaimyouId)->GetWindowText(),
                  std::to_string(gs.nScenarioDaimyou - 1));
        EXPECT_EQ(d.GetDlgItem(CScenarioInfoDlg::kBushouId)->GetWindowText(), std::to_string(gs.nBushouEx));
        EXPECT_EQ(d.GetDlgItem(CScenarioInfoDlg::kPartnerId)->GetWindowText(),
                  std::to_string(std::max(0, gs.nTradingPartner - 1)));
        EXPECT_EQ(d.GetDlgItem(CScenarioInfoDlg::kShiroLabelId)->GetWindowText(), "砦数");
        EXPECT_EQ(d.GetDlgItem(CScenarioInfoDlg::kDaimyouLabelId)->GetWindowText(), "大名家数");
        d.EndDialog(ui::IDOK);
    });
    CScenarioInfoDlg info(gs);
    info.DoModal();
    gs.ScenarioWords[4] = castleWord;

    // No trade partners: 0.
    GameState none;
    EXPECT_EQ(CScenarioInfoDlg(none).m_strTexts[4], "0");
}

TEST_F(FlowDlgTest, UtilityAndCipher) {
    const fs::path dir = fs::temp_directory_path() / ("rymd_cipher_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string plain = (dir / "plain.snr").string(), secret = (dir / "secret.snr").string(),
                      back = (dir / "back.snr").string();
    fs::copy_file(std::string(RYMD_FIXTURES) + "/scenario/world.snr", plain,
                  fs::copy_options::overwrite_existing);

    // Encryption through the utility: the run button waits for both files and the password.
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "ユーティリティ");
        Script().OnDialog([&](ui::Dialog& c) {
            auto& dlg = dynamic_cast<CScenarioCipherDlg&>(c);
            EXPECT_EQ(c.GetWindowText(), "シナリオ暗号化");
            ui::Wnd* run = c.GetDlgItem(CScenarioCipherDlg::kRunId);
            EXPECT_FALSE(run->IsWindowEnabled());
            Script().ChooseFile(plain);
            dlg.OnSelectInput();
            Script().ChooseFile(plain);
            dlg.OnSelectOutput();
            ui::test::TypeIntoControl(c, CScenarioCipherDlg::kPasswordId, "kagi");
            EXPECT_TRUE(run->IsWindowEnabled());
            // The same file: refused, nothing run.
            std::string shown;
            Script().OnDialog([&](ui::Dialog& box) {
                shown = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
                box.EndDialog(ui::IDOK);
            });
            ui::test::ClickControl(c, CScenarioCipherDlg::kRunId);
            EXPECT_EQ(shown, kCipherMsgSameFile);
            EXPECT_FALSE(c.IsEnded());
            // 21 bytes: refused.
            Script().ChooseFile(secret);
            dlg.OnSelectOutput();
            ClearField(c, CScenarioCipherDlg::kPasswordId);
            EXPECT_FALSE(run->IsWindowEnabled());
            ui::test::TypeIntoControl(c, CScenarioCipherDlg::kPasswordId, "123456789012345678901");
            Script().OnDialog([&](ui::Dialog& box) {
                shown = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
                box.EndDialog(ui::IDOK);
            });
            ui::test::ClickControl(c, CScenarioCipherDlg::kRunId);
            EXPECT_EQ(shown, kCipherMsgPasswordTooLong);
            // 20 bytes: written.
            ClearField(c, CScenarioCipherDlg::kPasswordId);
            ui::test::TypeIntoControl(c, CScenarioCipherDlg::kPasswordId, "12345678901234567890");
            ui::test::ClickControl(c, CScenarioCipherDlg::kRunId);
            EXPECT_TRUE(c.IsEnded());
        });
        ui::test::ClickControl(d, CUtilityDlg::kEncryptId);
        // Decryption with a wrong password: the message, the dialog stays, no output file.
        Script().OnDialog([&](ui::Dialog& c) {
            auto& dlg = dynamic_cast<CScenarioCipherDlg&>(c);
            EXPECT_EQ(c.GetWindowText(), "シナリオ暗号化解除");
            EXPECT_EQ(c.GetDlgItem(CScenarioCipherDlg::kRunId)->GetWindowText(), "シナリオ暗号化解除実行");
            Script().ChooseFile(secret);
            dlg.OnSelectInput();
            Script().ChooseFile(back);
            dlg.OnSelectOutput();
            ui::test::TypeIntoControl(c, CScenarioCipherDlg::kPasswordId, "wrong");
            std::string shown;
            Script().OnDialog([&](ui::Dialog& box) {
                shown = dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText;
                box.EndDialog(ui::IDOK);
            });
            ui::test::ClickControl(c, CScenarioCipherDlg::kRunId);
            EXPECT_EQ(shown, kCipherMsgWrongPassword);
            EXPECT_FALSE(c.IsEnded());
            EXPECT_FALSE(fs::exists(back));
            ClearField(c, CScenarioCipherDlg::kPasswordId);
            ui::test::TypeIntoControl(c, CScenarioCipherDlg::kPasswordId, "12345678901234567890");
            ui::test::ClickControl(c, CScenarioCipherDlg::kRunId);
            EXPECT_TRUE(c.IsEnded());
        });
        ui::test::ClickControl(d, CUtilityDlg::kDecryptId);
        ui::test::ClickControl(d, ui::IDOK);
    });
    CUtilityDlg utility;
    utility.DoModal();
    EXPECT_FALSE(utility.m_bBenchmark);
    std::ifstream a(plain, std::ios::binary), b(back, std::ios::binary);
    const std::string pa((std::istreambuf_iterator<char>(a)), {}),
        pb((std::istreambuf_iterator<char>(b)), {});
    EXPECT_FALSE(pb.empty());
    EXPECT_EQ(pa, pb);

    Script().Click(CUtilityDlg::kBenchmarkId);
    CUtilityDlg bench;
    EXPECT_EQ(bench.DoModal(), ui::IDOK);
    EXPECT_TRUE(bench.m_bBenchmark);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace rymd::gui_test
