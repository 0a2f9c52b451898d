// The field battle of the player's troops: the deployment dialog (its rules and looks), the
// field-battle dialog (its field, lists, boards and buttons), a whole battle played by clicks
// through the Qt port with the battle music, and the same battle played by the engine alone.
#include <algorithm>
#include <memory>

#include "game/shell/app/picture_store.h"
#include "game/shell/dialogs/military/yasen_deploy_dlg.h"
#include "game/shell/dialogs/military/yasen_dlg.h"
#include "game/shell/music/music_player.h"
#include "game/shell/port/qt_port.h"
#include "gui/gui_test_util.h"
#include "gui/recording_music_backend.h"
#include "platform/qt/list_ctrl.h"
#include "support/test_world.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

// Two houses: the player's (house 0) holds castle 0 with its head and two retainers, the enemy
// (house 1) castle 1 with three generals. Ten soldiers a unit, no surprise attacks.
struct Battlefield {
    test::TestWorld w{{.castles = 2, .houses = 2, .provinces = 2, .soldierUnit = 10}};
    GameState& gs = w.gs;
    std::vector<int> mine;
    std::vector<int> theirs;
    std::string fates;
    std::unique_ptr<CYasen> battle;
    std::unique_ptr<YasenSession> session;

    explicit Battlefield(bool cavalryAndMuskets = true) {
        w.Own(1, 1);
        gs.nKishuu = 0;
        gs.nUchijiniKakuritsu = 5;
        gs.ShiroTbl[0].shubihei = 30;
        const int c = cavalryAndMuskets ? 1 : 0;
        mine.push_back(w.AddBushou(0, 0, {.name = "織田信長", .foot = 60, .cavalry = 20 * c, .buyuu = 7}));
        mine.push_back(w.AddBushou(0, 0, {.name = "柴田勝家", .foot = 50, .cavalry = 15 * c, .buyuu = 9}));
        mine.push_back(w.AddBushou(0, 0, {.name = "丹羽長秀", .foot = 40, .buyuu = 6}));
        theirs.push_back(w.AddBushou(1, 1, {.name = "今川義元", .foot = 80, .cavalry = 20 * c, .buyuu = 5}));
        theirs.push_back(w.AddBushou(1, 1, {.name = "朝比奈泰朝", .foot = 50, .buyuu = 6}));
        theirs.push_back(w.AddBushou(1, 1, {.name = "岡部元信", .foot = 45, .buyuu = 6}));
        gs.DaimyouTbl[0].toushu = mine[0];
        gs.DaimyouTbl[1].toushu = theirs[0];
        gs.DaimyouTbl[0].name = "織田家";
        gs.DaimyouTbl[1].name = "今川家";
        gs.ShiroMapTbl[0].name = "清洲城";
        gs.ShiroMapTbl[1].name = "沓掛城";
        gs.BushouTbl[mine[0]].yasenTousotsu = 8;
        gs.BushouTbl[mine[1]].muskets = static_cast<std::int16_t>(20 * c);
        gs.BushouTbl[theirs[1]].muskets = static_cast<std::int16_t>(10 * c);
        NewBattle();
    }

    // The engine filled as the runner fills it, the player's army first, his castle's garrison
    // fighting with him.
    void NewBattle() {
        battle = std::make_unique<CYasen>(gs);
        battle->fates = &fates;
        battle->count = {static_cast<int>(mine.size()), static_cast<int>(theirs.size())};
        for (std::size_t i = 0; i < mine.size(); ++i)
            battle->generals[0][i] = mine[i];
        for (std::size_t i = 0; i < theirs.size(); ++i)
            battle->generals[1][i] = theirs[i];
        battle->castle = {0, -1};
        battle->province = {0, -1};
        battle->playerBattle = true;
        session = std::make_unique<YasenSession>(YasenSession{*battle, 0, 1, 0, -1});
    }
};

// A clock that only the dialog's pauses move on; the pauses are written down.
struct FakePacing {
    std::uint32_t now = 1000;
    std::vector<int> pauses;
    std::function<void()> onPause;  // runs inside each pause
    FakePacing() {
        CYasenDlg::SetPacing({[this] { return now; },
                              [this](int ms) {
                                  if (onPause) onPause();
                                  pauses.push_back(ms);
                                  now += static_cast<std::uint32_t>(ms);
                              }});
    }
    ~FakePacing() { CYasenDlg::SetPacing({}); }
};

Rect ChildRect(ui::Wnd& dialog, ui::Wnd& child) {
    Rect r = child.GetWindowRect();
    dialog.ScreenToClient(r);
    return r;
}

// Toggles the selection of a line of the grid as a click does.
void ClickLine(MbWnd::CCellCtrl& grid, int line) {
    MbWnd::CCellPane& pane = grid.PaneOf(0);
    const Point p = pane.CellRect(line, 0).CenterPoint();
    ui::test::MouseDown(pane, p);
    ui::test::MouseUp(pane, p);
}

// The deployment step of a script: every unassigned row goes to the vanguard (the player's head
// is in the headquarters already); the lines are kept for the checks.
std::function<void(ui::Dialog&)> DeployAllToVanguard(YasenDeployment* kept = nullptr) {
    return [kept](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDeployDlg&>(d);
        for (int l = 0; l < dlg.Grid(0).GetLineSize(); ++l)
            ClickLine(dlg.Grid(0), l);
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDeployDlg::kVanguardButtonId));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        EXPECT_TRUE(d.IsEnded());
        if (kept) {
            for (int line = 0; line < 3; ++line) {
                kept->count[static_cast<std::size_t>(line)] = dlg.m_LineCount[static_cast<std::size_t>(line)];
                kept->units[static_cast<std::size_t>(line)] = dlg.m_LineUnits[static_cast<std::size_t>(line)];
            }
        }
    };
}

std::string CellText(MbWnd::CCellCtrl& grid, int line, int col) {
    return grid.GetCellText(line, col);
}

class YasenDlgTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        pictures.SetFolder(std::string(RYMD_BUILD_DIR) + "/picture/");
        shell::PictureStore().SetFolder(std::string(RYMD_BUILD_DIR) + "/picture/");
    }
    shell::CPictureStore pictures;
    FakePacing pacing;
};

// ---- The deployment dialog ------------------------------------------------------------------

TEST_F(YasenDlgTest, DeploymentPlacesTheHeadFirstAndAsksForEveryOtherUnit) {
    Battlefield b;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDeployDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "野戦発生");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kCaptionId)->GetWindowText(),
                  "清洲城と沓掛城の間で今川家との野戦を行います");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kHouseLabelId)->GetWindowText(), "織田家兵力");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kHouseLabelId + 1)->GetWindowText(), "今川家兵力");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kCavalryLabelId)->GetWindowText(), "騎馬兵 350");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kFootLabelId)->GetWindowText(),
                  "足軽兵 1800");  // the garrison too
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kMusketLabelId + 1)->GetWindowText(), "鉄砲数 100");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kUnassignedLabelId)->GetWindowText(), "未配備武将");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kInstructionId)->GetWindowText(),
                  "武将を各陣に振り分けてください");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kHintCommandId)->GetWindowText(),
                  "総大将の野戦統率値が軍勢全体の戦闘力に影響します");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kHintDragId)->GetWindowText(),
                  "マウスドラッグでまとめて選択可能です");

        // The head is in the headquarters; his two retainers and the garrison wait.
        MbWnd::CCellCtrl& rest = dlg.Grid(0);
        ASSERT_EQ(rest.GetLineSize(), 3);
        EXPECT_EQ(CellText(rest, 0, 0), "柴田勝家");
        EXPECT_EQ(CellText(rest, 0, 2), "150");
        EXPECT_EQ(CellText(rest, 0, 4), "200");
        EXPECT_EQ(CellText(rest, 0, 5), "9");
        EXPECT_EQ(CellText(rest, 2, 0), "清洲城守備兵");
        EXPECT_EQ(CellText(rest, 2, 3), "300");
        EXPECT_EQ(CellText(rest, 2, 5), "3");
        ASSERT_EQ(dlg.Grid(3).GetLineSize(), 1);
        EXPECT_EQ(CellText(dlg.Grid(3), 0, 0), "織田信長");
        EXPECT_EQ(CellText(dlg.Grid(3), 0, 1), "当主");
        EXPECT_EQ(CellText(dlg.Grid(3), 0, 6), "8");
        for (int line = 0; line < 3; ++line)
            EXPECT_FALSE(dlg.LineButton(line).IsWindowEnabled()) << line;
        EXPECT_FALSE(dlg.OkButton().IsWindowEnabled());

        // A column label sorts the waiting rows (valour, the larger first).
        MbWnd::CCellPane& pane = rest.PaneOf(5);
        Rect label = pane.CellRect(0, 5);
        const Point at(label.CenterPoint().x, pane.LabelHeight() / 2);
        ui::test::MouseDown(pane, at);
        ui::test::MouseUp(pane, at);
        EXPECT_EQ(CellText(rest, 0, 0), "柴田勝家");
        EXPECT_EQ(CellText(rest, 2, 0), "清洲城守備兵");

        // One row selected: the headquarters is taken, the lines are open.
        ClickLine(rest, 2);
        EXPECT_TRUE(dlg.LineButton(0).IsWindowEnabled());
        EXPECT_TRUE(dlg.LineButton(1).IsWindowEnabled());
        EXPECT_FALSE(dlg.LineButton(2).IsWindowEnabled());
        // The chosen row is shaded, the others stay white: at the right end of their name cells.
        {
            QImage img = ui::test::Grab(d);
            MbWnd::CCellPane& p = rest.PaneOf(0);
            auto cellPixel = [&](int line) {
                Rect c = p.CellRect(line, 0);
                Point q(c.right - 3, c.CenterPoint().y);
                p.ClientToScreen(q);
                d.ScreenToClient(q);
                return ui::test::PixelAt(img, q.x, q.y);
            };
            EXPECT_EQ(Rgb(cellPixel(2)), Rgb(MbWnd::CCellPane::kSelectedBack));
            EXPECT_EQ(Rgb(cellPixel(0)), Rgb(RGB(255, 255, 255)));
            // The disabled headquarters button is drawn greyed: no black caption pixels.
            Rect hq = ChildRect(d, dlg.LineButton(2));
            int dark = 0;
            for (int y = hq.top + 3; y < hq.bottom - 3; ++y)
                for (int x = hq.left + 3; x < hq.right - 3; ++x)
                    dark += ui::test::PixelAt(img, x, y) == RGB(0, 0, 0);
            EXPECT_EQ(dark, 0);
        }
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("yasen_deploy_dialog")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("yasen_deploy_dialog@2x"), 2.0));
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDeployDlg::kSecondButtonId));
        EXPECT_EQ(CellText(dlg.Grid(2), 0, 0), "清洲城守備兵");
        for (int line = 0; line < 3; ++line)
            EXPECT_FALSE(dlg.LineButton(line).IsWindowEnabled()) << line;

        // OK and Escape do nothing while a row waits.
        ui::test::PressKey(d, ui::VK_ESCAPE);
        ui::test::PressKey(d, ui::VK_RETURN);
        EXPECT_FALSE(d.IsEnded());
        ClickLine(rest, 0);
        ClickLine(rest, 1);
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDeployDlg::kVanguardButtonId));
        EXPECT_EQ(rest.GetLineSize(), 0);
        EXPECT_EQ(dlg.Grid(1).GetLineSize(), 2);
        EXPECT_TRUE(dlg.OkButton().IsWindowEnabled());

        // The grids' label rows are drawn over their places.
        for (int k = 0; k < 4; ++k) {
            Rect g = ChildRect(d, dlg.Grid(k));
            EXPECT_FALSE(g.IsRectEmpty()) << k;
            EXPECT_EQ(g, ChildRect(d, *d.GetDlgItem(CYasenDeployDlg::kUnassignedPlaceId + k))) << k;
        }
        ui::test::PressKey(d, ui::VK_ESCAPE);
        EXPECT_TRUE(d.IsEnded());
    });
    Script().OnDialog([](ui::Dialog& d) { d.EndDialog(ui::IDOK); });  // the battle itself
    CYasenDlg dlg(*b.session, nullptr, nullptr, &pictures);
    dlg.DoModal();
    EXPECT_EQ(b.battle->lineCount[0], (std::array<int, 3>{2, 1, 1}));
    EXPECT_EQ(b.battle->unit[0][2][0], b.mine[0]);
    EXPECT_EQ(b.battle->unit[0][1][0], 0 | CYasen::kGarrisonBit);
}

// The scenario's words are texts: words that look like printf conversions show as written in
// the strength labels.
TEST_F(YasenDlgTest, DeploymentLabelsShowWordsLikeConversionsAsWritten) {
    Battlefield b;
    b.gs.ScenarioWords[2] = "%s%s%s%s%n";  // cavalry
    b.gs.ScenarioWords[1] = "%d兵";        // foot soldiers
    b.gs.ScenarioWords[3] = "%s";          // musket
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kCavalryLabelId)->GetWindowText(), "%s%s%s%s%n 350");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kFootLabelId)->GetWindowText(), "%d兵 1800");
        EXPECT_EQ(d.GetDlgItem(CYasenDeployDlg::kMusketLabelId + 1)->GetWindowText(), "%s数 100");
        DeployAllToVanguard()(d);
    });
    Script().OnDialog([](ui::Dialog& d) { d.EndDialog(ui::IDOK); });  // the battle itself
    CYasenDlg dlg(*b.session, nullptr, nullptr, &pictures);
    dlg.DoModal();
}

TEST_F(YasenDlgTest, TheCommanderIsOneGeneralAndAVassalsGeneralNeedsConsent) {
    Battlefield b;
    b.gs.DaimyouTbl[0].toushu = -2;  // no head of the house in this army
    b.gs.nDaimyou = 3;
    b.gs.DaimyouTbl[2].toushu = -2;
    b.gs.DaimyouTbl[2].bond = CDaimyou::kBondShinjuu;
    b.gs.BushouTbl[b.mine[2]].daimyou = 2;  // a vassal house's general
    b.NewBattle();
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDeployDlg&>(d);
        MbWnd::CCellCtrl& rest = dlg.Grid(0);
        ASSERT_EQ(rest.GetLineSize(), 4);
        EXPECT_EQ(CellText(rest, 2, 1), "臣従");
        // Two rows: one general only.
        ClickLine(rest, 0);
        ClickLine(rest, 1);
        EXPECT_FALSE(dlg.LineButton(0).IsWindowEnabled());
        EXPECT_TRUE(dlg.LineButton(2).IsWindowEnabled());
        Script().OnDialog([](ui::Dialog& box) {
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText,
                      "本陣（大将）は１武将しか配置できません");
            box.EndDialog(ui::IDOK);
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDeployDlg::kHeadquartersButtonId));
        EXPECT_EQ(dlg.m_LineCount[2], 0);
        // The keys are the deployment's again once the message is closed.
        EXPECT_TRUE(ui::Wnd::GetFocus() && d.IsChild(ui::Wnd::GetFocus()));
        // The vassal's general: Cancel keeps him waiting, OK makes him the commander.
        ClickLine(rest, 0);
        ClickLine(rest, 1);
        ClickLine(rest, 2);
        for (std::intptr_t answer : {ui::IDCANCEL, ui::IDOK}) {
            Script().OnDialog([answer](ui::Dialog& box) {
                EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText, CYasenDeployDlg::kVassalCommander);
                box.EndDialog(answer);
            });
            EXPECT_TRUE(ui::test::ClickControl(d, CYasenDeployDlg::kHeadquartersButtonId));
            EXPECT_EQ(dlg.m_LineCount[2], answer == ui::IDOK ? 1 : 0);
        }
        EXPECT_EQ(dlg.m_LineUnits[2][0], b.mine[2]);
        EXPECT_EQ(rest.GetLineSize(), 3);
        for (int l = 0; l < 3; ++l)
            ClickLine(rest, l);
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDeployDlg::kSecondButtonId));
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        EXPECT_TRUE(d.IsEnded());
        Script().OnDialog([](ui::Dialog& battle) { battle.EndDialog(ui::IDOK); });  // the battle itself
    });
    CYasenDlg dlg(*b.session, nullptr, nullptr, &pictures);
    dlg.DoModal();
    EXPECT_EQ(b.battle->lineCount[0], (std::array<int, 3>{0, 3, 1}));
    EXPECT_EQ(b.battle->command[0], 0);  // a vassal's general gives no field command
}

// The one-general message of the deployment stands over the deployment, which stays up over the
// map: the battle dialog is not shown yet, so the deployment stands over what the battle was
// opened from.
TEST_F(YasenDlgTest, TheDeploymentsMessageStandsOverTheDeploymentWhichStaysShown) {
    Battlefield b;
    b.gs.DaimyouTbl[0].toushu = -2;  // the headquarters is the player's to fill
    b.NewBattle();
    HostWindow map;
    ASSERT_TRUE(map.Open(640, 480));
    bool asked = false;
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDeployDlg&>(d);
        EXPECT_TRUE(d.IsWindowVisible());
        EXPECT_TRUE(StandsOver(d, map));
        ClickLine(dlg.Grid(0), 0);
        ClickLine(dlg.Grid(0), 1);
        Script().OnDialog([&](ui::Dialog& box) {
            asked = true;
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText,
                      "本陣（大将）は１武将しか配置できません");
            EXPECT_TRUE(StandsOver(box, d));
            EXPECT_TRUE(d.IsWindowVisible());
            EXPECT_TRUE(StandsOver(d, map));
            box.EndDialog(ui::IDOK);
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDeployDlg::kHeadquartersButtonId));
        EXPECT_TRUE(asked);
        ClickLine(dlg.Grid(0), 1);
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDeployDlg::kHeadquartersButtonId));
        DeployAllToVanguard()(d);
        Script().OnDialog([&](ui::Dialog& battle) {  // the battle itself
            EXPECT_TRUE(StandsOver(battle, map));
            battle.EndDialog(ui::IDOK);
        });
    });
    CYasenDlg dlg(*b.session, nullptr, nullptr, &pictures, &map);
    dlg.DoModal();
    EXPECT_EQ(b.battle->lineCount[0], (std::array<int, 3>{3, 0, 1}));
}

// ---- The field-battle dialog --------------------------------------------------------------------

TEST_F(YasenDlgTest, TheFieldListsAndBoardsAtTheirStatedPoints) {
    Battlefield b;
    Script().OnDialog(DeployAllToVanguard());
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "野戦");
        EXPECT_EQ(d.GetDlgItem(CYasenDlg::kTurnTextId)->GetWindowText(), "ターン 1/20");
        EXPECT_EQ(dlg.Button(CYasenDlg::kFireId).GetWindowText(), "鉄砲射撃");
        EXPECT_EQ(dlg.Button(CYasenDlg::kSwapId).GetWindowText(), "先陣／第二陣 交代");
        EXPECT_FALSE(dlg.Button(CYasenDlg::kCloseId).IsWindowVisible());
        EXPECT_EQ(dlg.ActionNames(),
                  (std::array<std::string, 6>{"待機", "前進", "攻撃", "鉄砲", "陣交代", "退却"}));

        // The field is the spring picture (month 4) at its own size.
        MbBmp::CControlBmp spring;
        pictures.LoadYasenSpring(spring);
        ASSERT_FALSE(spring.IsEmpty());
        EXPECT_EQ(dlg.FieldBitmap().Width(), spring.GetWidth());
        EXPECT_EQ(dlg.FieldBitmap().Height(), spring.GetHeight());
        EXPECT_EQ(ChildRect(d, dlg.FieldWnd()).GetSize(), Size(spring.GetWidth(), spring.GetHeight()));

        QImage img = ui::test::Grab(d);
        const Point field = ChildRect(d, dlg.FieldWnd()).TopLeft();
        auto at = [&](Point p) { return ui::test::PixelAt(img, field.x + p.x, field.y + p.y); };
        // A cloud for each army's line at its place on the track: side 0's vanguard at position 2
        // (bluish) with its headquarters at 1, side 1's vanguard at 7 (reddish).
        auto countNear = [&](Point c, auto pred) {
            int n = 0;
            for (int y = c.y - 6; y <= c.y + 6; ++y)
                for (int x = c.x - 6; x <= c.x + 6; ++x)
                    n += pred(at(Point(x, y)));
            return n;
        };
        auto bluish = [](ui::COLORREF c) {
            return std::abs(int(ui::GetRValue(c)) - 130) <= 64 &&
                   std::abs(int(ui::GetGValue(c)) - 160) <= 64 && std::abs(int(ui::GetBValue(c)) - 240) <= 64;
        };
        auto reddish = [](ui::COLORREF c) {
            return std::abs(int(ui::GetRValue(c)) - 230) <= 64 &&
                   std::abs(int(ui::GetGValue(c)) - 130) <= 64 && std::abs(int(ui::GetBValue(c)) - 130) <= 64;
        };
        auto black = [](ui::COLORREF c) { return c == RGB(0, 0, 0); };
        EXPECT_EQ(CYasenDlg::TrackCentre(2), Point(124, 160));
        EXPECT_GT(countNear(CYasenDlg::TrackCentre(2), bluish), 40);
        EXPECT_GT(countNear(CYasenDlg::TrackCentre(2), black), 20);
        EXPECT_GT(countNear(CYasenDlg::TrackCentre(1), bluish), 20);
        EXPECT_GT(countNear(CYasenDlg::TrackCentre(7), reddish), 40);
        // Far from the clouds and texts the picture shows as it is.
        const QImage picture = ui::ImageFromControlBmp(spring);
        for (Point p : {Point(520, 20), Point(30, 215), Point(400, 40)}) {
            const QRgb q = picture.pixel(p.x, p.y);
            EXPECT_EQ(Rgb(at(p)), Rgb(RGB(qRed(q), qGreen(q), qBlue(q)))) << p.x << "," << p.y;
        }
        // The title in white with its black shadow within (6, 5)-(370, 35), the weather (fair)
        // within (270, 196)-(490, 220): written over the picture there.
        auto written = [&](const Rect& r, ui::COLORREF colour) {
            int n = 0;
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) {
                    const QRgb q = picture.pixel(x, y);
                    n += at(Point(x, y)) == colour && RGB(qRed(q), qGreen(q), qBlue(q)) != colour;
                }
            return n;
        };
        EXPECT_GT(written(Rect(6, 5, 370, 35), RGB(255, 255, 255)), 100);
        EXPECT_GT(written(Rect(6, 5, 370, 35), RGB(0, 0, 0)), 10);
        EXPECT_EQ(written(Rect(6, 35, 370, 40), RGB(0, 0, 0)), 0);
        int weather = 0;
        for (int y = 196; y < 220; ++y)
            for (int x = 270; x < 490; ++x) {
                const QRgb q = picture.pixel(x, y);
                const ui::COLORREF c = at(Point(x, y));
                weather += c != RGB(qRed(q), qGreen(q), qBlue(q)) && ui::GetGValue(c) > 200;
            }
        EXPECT_GT(weather, 40);

        // The lists: the front line white, the others grey; the rows of the units.
        ui::ListCtrl* vanguard = dlg.List(0, 0);
        ASSERT_NE(vanguard, nullptr);
        EXPECT_EQ(vanguard->GetItemCount(), 3);
        EXPECT_EQ(vanguard->GetItemText(0, 0), "柴田勝家");
        EXPECT_EQ(vanguard->GetItemText(0, 2), "150");
        EXPECT_EQ(vanguard->GetItemText(0, 4), "200");
        EXPECT_EQ(vanguard->GetItemText(0, 5), "9+8");
        EXPECT_EQ(vanguard->GetItemText(0, 6), "100");
        EXPECT_EQ(vanguard->GetItemText(2, 0), "清洲城守備兵");
        EXPECT_EQ(vanguard->GetItemText(2, 2), "");
        EXPECT_EQ(vanguard->GetItemText(2, 3), "300");
        EXPECT_EQ(vanguard->GetItemText(2, 5), "3+8");
        EXPECT_EQ(dlg.List(0, 2)->GetItemText(0, 1), "当主");
        struct Shade {
            int side, line;
            ui::COLORREF colour;
        } shades[] = {{0, 0, CYasenDlg::kLineFront},
                      {0, 1, CYasenDlg::kLineBroken},
                      {0, 2, CYasenDlg::kLineBehind},
                      {1, 0, CYasenDlg::kLineFront},
                      {1, 2, CYasenDlg::kLineBehind}};
        for (const Shade& s : shades) {
            Rect l = ChildRect(d, *dlg.List(s.side, s.line));
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, l.right - 6, l.bottom - 6)), Rgb(s.colour))
                << s.side << s.line;
        }
        // The boards: each house's name at (8, 4) and its troops at (270, 4).
        for (int s = 0; s < 2; ++s) {
            Rect board = ChildRect(d, dlg.Board(s));
            int left = 0, right = 0;
            for (int y = board.top + 4; y < board.top + 16; ++y) {
                for (int x = board.left + 8; x < board.left + 100; ++x)
                    left += ui::GetRValue(ui::test::PixelAt(img, x, y)) < 100;
                for (int x = board.left + 270; x < std::min(board.right, board.left + 400); ++x)
                    right += ui::GetRValue(ui::test::PixelAt(img, x, y)) < 100;
            }
            EXPECT_GT(left, 20) << s;
            EXPECT_GT(right, 20) << s;
        }
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("yasen_dialog")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("yasen_dialog@2x"), 2.0));
        d.EndDialog(ui::IDOK);
    });
    CYasenDlg dlg(*b.session, nullptr, nullptr, &pictures);
    dlg.DoModal();
    EXPECT_EQ(dlg.MaxTroops(), 65 + 40 + 30);  // side 0's vanguard: two retainers and the garrison
}

// The buttons each state of the battle offers.
TEST_F(YasenDlgTest, TheButtonsFollowTheStateOfTheBattle) {
    struct Case {
        const char* name;
        std::function<void(Battlefield&)> arrange;  // before the dialog opens
        std::function<void(CYasen&)> move;          // after the set-up
        bool advance, attack, fire, swap, wait;
    } cases[] = {
        {"apart, muskets in the front line", {}, {}, true, false, true, false, true},
        {"apart, in the rain",
         [](Battlefield& b) { b.gs.KuniEventFlags[0] |= kKuniFlagNoTeppou; },
         {},
         true,
         false,
         false,
         false,
         true},
        {"no muskets in the front line",
         [](Battlefield& b) { b.gs.BushouTbl[b.mine[1]].muskets = 0; },
         {},
         true,
         false,
         false,
         false,
         true},
        {"adjacent",
         {},
         [](CYasen& y) {
             y.pos = {4, 5};
         },
         false,
         true,
         false,
         false,
         false},
        {"adjacent, two lines to swap",
         {},
         [](CYasen& y) {
             y.pos = {4, 5};
             y.unit[0][1][0] = y.unit[0][0][2];
             y.morale[0][1][0] = 100;
             y.lineCount[0] = {2, 1, 1};
         },
         false,
         true,
         false,
         true,
         false},
        {"the vanguard routed, muskets behind",
         {},
         [](CYasen& y) {
             y.morale[0][0] = {};
             y.front[0] = 2;
         },
         true,
         false,
         false,
         false,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Battlefield b;
        if (c.arrange) c.arrange(b);
        b.NewBattle();
        Script().OnDialog(DeployAllToVanguard());
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CYasenDlg&>(d);
            if (c.move) {
                c.move(dlg.Battle());
                dlg.RefreshStatus();
            }
            auto enabled = [&](int id) { return dlg.Button(id).IsWindowEnabled(); };
            EXPECT_EQ(enabled(CYasenDlg::kAdvanceId), c.advance);
            EXPECT_EQ(enabled(CYasenDlg::kAttackId), c.attack);
            EXPECT_EQ(enabled(CYasenDlg::kFireId), c.fire);
            EXPECT_EQ(enabled(CYasenDlg::kSwapId), c.swap);
            EXPECT_EQ(enabled(CYasenDlg::kWaitId), c.wait);
            EXPECT_TRUE(enabled(CYasenDlg::kRetreatId));
            EXPECT_FALSE(dlg.Button(CYasenDlg::kCloseId).IsWindowVisible());
            // The focus never rests on a disabled button.
            ui::Wnd* focus = ui::Wnd::GetFocus();
            ASSERT_NE(focus, nullptr);
            EXPECT_TRUE(focus->IsWindowEnabled());
            d.EndDialog(ui::IDOK);
        });
        CYasenDlg dlg(*b.session, nullptr, nullptr, &pictures);
        dlg.DoModal();
    }
}

// The field's picture: the castle type of the first place names one per season; bit 15 means the
// game's own picture of the season, another value the named picture of the province map.
TEST_F(YasenDlgTest, TheSeasonAndTheCastleTypeChooseTheFieldsPicture) {
    struct Case {
        const char* name;
        int month;
        std::uint16_t word;  // the castle type's word for the season
        int width;           // of the field that shows
    } cases[] = {{"the game's summer picture", 7, 0x8000, 540},
                 {"the map's picture 1", 12, 1, 64},
                 {"a picture the map lacks: the game's winter picture", 1, 7, 540}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Battlefield b;
        b.gs.nCurMonth = c.month;
        b.gs.nShiroType = 1;
        b.gs.ShiroMapTbl[0].shiroType = 0;
        const int season = c.month >= 6 && c.month <= 8 ? 2 : c.month >= 3 && c.month <= 5 ? 1 : 4;
        b.gs.ShiroTypeTbl[0].words.fill(0x8000);
        b.gs.ShiroTypeTbl[0].words[static_cast<std::size_t>(season)] = c.word;
        MbKorMap::KorMapData& file = b.w.map.files["world.map"];
        file.pictures.resize(2);
        ASSERT_TRUE(file.pictures[1].CreateBitmap(64, 48, 24));
        file.pictures[1].FillRect(0, 0, 64, 48, RGB(20, 40, 200));
        ASSERT_EQ(b.w.map.LoadKorMap("world.map"), 0);
        Script().OnDialog(DeployAllToVanguard());
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CYasenDlg&>(d);
            EXPECT_EQ(dlg.FieldBitmap().Width(), c.width);
            if (c.width == 64) {
                EXPECT_EQ(Rgb(dlg.FieldBitmap().GetPixel(60, 2)), Rgb(RGB(20, 40, 200)));
            } else {
                MbBmp::CControlBmp expected;
                if (c.month == 7)
                    pictures.LoadYasenSummer(expected);
                else
                    pictures.LoadYasenWinter(expected);
                const QRgb q = ui::ImageFromControlBmp(expected).pixel(520, 20);
                EXPECT_EQ(Rgb(dlg.FieldBitmap().GetPixel(520, 20)), Rgb(RGB(qRed(q), qGreen(q), qBlue(q))));
            }
            d.EndDialog(ui::IDOK);
        });
        CYasenDlg dlg(*b.session, &b.w.map, nullptr, &pictures);
        dlg.DoModal();
    }
}

// An enemy's surprise attack is told over the battle as it shows; the armies start adjacent.
TEST_F(YasenDlgTest, ASurpriseAttackIsToldWhenTheDialogOpens) {
    Battlefield b;
    b.gs.nKishuu = 1;
    CBushou& leader = b.gs.BushouTbl[b.theirs[1]];
    leader.chibou = 10;
    leader.counter33 = 120;
    leader.counter34 = 0;
    b.NewBattle();
    Script().OnDialog(DeployAllToVanguard());
    CYasenDlg dlg(*b.session, nullptr, nullptr, &pictures);
    Script().OnDialog([&dlg](ui::Dialog& box) {
        EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText,
                  "朝比奈泰朝 の計略により 今川家 の軍勢が奇襲に成功し、織田家 の本陣を急襲しました");
        EXPECT_TRUE(dlg.IsWindowVisible());
        EXPECT_TRUE(StandsOver(box, dlg));
        box.EndDialog(ui::IDOK);
    });
    Script().OnDialog([](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDlg&>(d);
        EXPECT_EQ(dlg.Battle().surprise, 2);
        EXPECT_EQ(dlg.Battle().pos, (std::array<int, 2>{4, 5}));
        EXPECT_TRUE(dlg.Button(CYasenDlg::kAttackId).IsWindowEnabled());
        for (int id : {CYasenDlg::kAdvanceId, CYasenDlg::kFireId, CYasenDlg::kSwapId, CYasenDlg::kWaitId})
            EXPECT_FALSE(dlg.Button(id).IsWindowEnabled()) << id;
        // The surprised side's headquarters is its fighting line: its list is the white one.
        QImage img = ui::test::Grab(d);
        for (int line = 0; line < 3; ++line) {
            Rect l = ChildRect(d, *dlg.List(0, line));
            EXPECT_EQ(Rgb(ui::test::PixelAt(img, l.right - 6, l.bottom - 6)),
                      Rgb(line == 2   ? CYasenDlg::kLineFront
                          : line == 0 ? CYasenDlg::kLineBehind
                                      : CYasenDlg::kLineBroken))
                << line;
        }
        d.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

// A player surprised by the enemy cannot retreat while his army is confused.
TEST_F(YasenDlgTest, RetreatIsRefusedWhileTheEnemysSurpriseLasts) {
    Battlefield b;
    Script().OnDialog(DeployAllToVanguard());
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDlg&>(d);
        CYasen& y = dlg.Battle();
        y.surprise = 2;
        y.confusionTurns = 3;
        y.pos = {4, 5};
        dlg.RefreshStatus();
        Script().OnDialog([](ui::Dialog& box) {
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText, CYasenDlg::kRetreatRefused);
            box.EndDialog(ui::IDOK);
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDlg::kRetreatId));
        EXPECT_EQ(y.turn, 0);
        EXPECT_EQ(dlg.Result(), -1);
        // Once the confusion is over the retreat ends the battle: the enemy wins.
        y.turn = 4;
        // The message comes first: the lists still show the troops before the rout's losses,
        // which they show once the message is closed.
        ui::ListCtrl* vanguard = dlg.List(0, 0);
        ASSERT_NE(vanguard, nullptr);
        ASSERT_GT(vanguard->GetItemCount(), 0);
        std::vector<std::string> before, atMessage;
        for (int col : {2, 3, 4})
            before.push_back(vanguard->GetItemText(0, col));
        Script().OnDialog([&](ui::Dialog& box) {
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText, "織田家の軍勢は退却しました");
            for (int col : {2, 3, 4})
                atMessage.push_back(vanguard->GetItemText(0, col));
            box.EndDialog(ui::IDOK);
        });
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDlg::kRetreatId));
        EXPECT_EQ(atMessage, before);
        std::vector<std::string> after;
        for (int col : {2, 3, 4})
            after.push_back(vanguard->GetItemText(0, col));
        EXPECT_NE(after, before);
        EXPECT_EQ(dlg.Result(), 2);
        EXPECT_EQ(d.GetDlgItem(CYasenDlg::kTurnTextId)->GetWindowText(), "今川家の勝利");
        for (int id : {CYasenDlg::kAdvanceId, CYasenDlg::kAttackId, CYasenDlg::kFireId, CYasenDlg::kSwapId,
                       CYasenDlg::kWaitId, CYasenDlg::kRetreatId})
            EXPECT_FALSE(dlg.Button(id).IsWindowEnabled()) << id;
        EXPECT_TRUE(dlg.Button(CYasenDlg::kCloseId).IsWindowVisible());
        EXPECT_EQ(ui::Wnd::GetFocus(), &dlg.Button(CYasenDlg::kCloseId));
        ui::test::PressKey(d, ui::VK_ESCAPE);  // Escape and Enter do nothing
        EXPECT_FALSE(d.IsEnded());
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDlg::kCloseId));
        EXPECT_TRUE(d.IsEnded());
    });
    CYasenDlg dlg(*b.session, nullptr, nullptr, &pictures);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

// Plays a whole battle through the Qt port: deployment, clicks until the battle is decided,
// the battle music, the result in the session; the engine alone gives the same battle.
TEST_F(YasenDlgTest, AWholeBattleThroughThePortMatchesTheEngineAlone) {
    Battlefield played(false);  // no cavalry and no muskets: no message but the last one
    RecordingMusicBackend backend;
    shell::MusicPlayer music(backend);
    music.Settings().useDefault = false;
    music.Settings().useScenario = false;
    music.Settings().normal = "/music/normal.mp3";
    music.Settings().battle = "/music/battle.mp3";
    music.RequestSituation(shell::MusicPlayer::kNormal);
    QtPort port;
    port.SetMusic(&music);

    YasenDeployment deployed;
    std::vector<int> actions;
    std::vector<std::string> messages;
    std::vector<std::string> turnTexts;
    Script().OnDialog(DeployAllToVanguard(&deployed));
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDlg&>(d);
        EXPECT_EQ(music.Situation(), shell::MusicPlayer::kBattle);
        EXPECT_EQ(backend.Plays().back(), "play /music/battle.mp3 stream");
        // During the first turn both actions stand in yellow under the armies' front lines.
        bool seen = false;
        std::array<int, 2> before{};  // the armies' places when the turn began
        pacing.onPause = [&] {
            if (seen || dlg.ShownActions()[0] < 0) return;
            seen = true;
            EXPECT_EQ(dlg.ShownActions()[0], kYasenAdvance);
            QImage img = ui::test::Grab(d);
            const Point field = ChildRect(d, dlg.FieldWnd()).TopLeft();
            for (int s = 0; s < 2; ++s) {
                const int q = before[static_cast<std::size_t>(s)];
                int yellow = 0;
                for (int y = 200 - 10 * q; y < 220 - 10 * q; ++y)
                    for (int x = 49 * q + 3; x < 49 * q + 49; ++x) {
                        const ui::COLORREF c = ui::test::PixelAt(img, field.x + x, field.y + y);
                        yellow += ui::GetRValue(c) > 200 && ui::GetGValue(c) > 200 && ui::GetBValue(c) < 80;
                    }
                EXPECT_GT(yellow, 15) << s;
            }
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("yasen_dialog_turn")));
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("yasen_dialog_turn@2x"), 2.0));
        };
        while (dlg.Result() == -1 && actions.size() < 25) {
            turnTexts.push_back(d.GetDlgItem(CYasenDlg::kTurnTextId)->GetWindowText());
            const bool adjacent = dlg.Battle().Adjacent();
            before = dlg.Battle().pos;
            const int id = adjacent ? CYasenDlg::kAttackId : CYasenDlg::kAdvanceId;
            actions.push_back(adjacent ? kYasenAttack : kYasenAdvance);
            // A turn may end in message boxes: they are answered and kept.
            ui::test::Script boxes;
            boxes.SetErrorHandler([](const std::string&) {});
            for (int i = 0; i < 4; ++i)
                boxes.OnDialog([&](ui::Dialog& box) {
                    messages.push_back(dynamic_cast<MbWnd::CMsgBoxDlg&>(box).m_strText);
                    box.EndDialog(ui::IDOK);
                });
            EXPECT_TRUE(ui::test::ClickControl(d, id));
            // Both actions were on the field during the turn and are cleared after it.
            EXPECT_EQ(dlg.ShownActions(), (std::array<int, 2>{-1, -1}));
        }
        EXPECT_TRUE(seen);
        pacing.onPause = nullptr;
        EXPECT_TRUE(ui::test::ClickControl(d, CYasenDlg::kCloseId));
    });
    ASSERT_TRUE(port.PlayYasen(*played.session));
    ASSERT_FALSE(actions.empty());
    EXPECT_EQ(turnTexts.front(), "ターン 1/20");
    if (turnTexts.size() > 1) {
        EXPECT_EQ(turnTexts[1], "ターン 2/20");
    }
    ASSERT_EQ(messages.size(), 1u);
    const int result = played.session->result;
    ASSERT_TRUE(result == 1 || result == 2) << result;
    EXPECT_EQ(messages[0], result == 1 ? "今川家の軍勢は退却しました" : "織田家の軍勢は退却しました");
    // Every turn lasted 400 ms: the pauses fill what the flashes (100 ms each) left.
    int paced = 0;
    for (int p : pacing.pauses)
        paced += p;
    EXPECT_EQ(paced % 100, 0);
    EXPECT_GE(paced, static_cast<int>(actions.size()) * CYasenDlg::kTurnMilliseconds);

    // The same battle by the engine: the same deployment and actions give the same losses,
    // deaths, fates and random draws.
    Battlefield alone(false);
    struct Deploy : YasenObserver {
        YasenDeployment lines;
        bool DeployPlayerSide(const CYasen&, int, YasenDeployment& out) override {
            out = lines;
            return true;
        }
    } deploy;
    deploy.lines = deployed;
    alone.battle->observer = &deploy;
    alone.battle->Setup();
    int aloneResult = -1;
    for (int a : actions) {
        ASSERT_EQ(aloneResult, -1);
        aloneResult = alone.battle->PlayerStep(0, a);
    }
    EXPECT_EQ(aloneResult, result);
    EXPECT_EQ(alone.fates, played.fates);
    EXPECT_EQ(alone.gs.rng.State(), played.gs.rng.State());
    for (int g = 0; g < played.gs.nBushou; ++g) {
        EXPECT_EQ(alone.gs.BushouTbl[g].cavalry, played.gs.BushouTbl[g].cavalry) << g;
        EXPECT_EQ(alone.gs.BushouTbl[g].foot, played.gs.BushouTbl[g].foot) << g;
        EXPECT_EQ(alone.gs.BushouTbl[g].daimyou, played.gs.BushouTbl[g].daimyou) << g;
    }
    EXPECT_EQ(alone.gs.ShiroTbl[0].shubihei, played.gs.ShiroTbl[0].shubihei);
}

// A battle the dialog leaves undecided is fought on by the computer; the runner swaps the
// result back when the player was the second side.
TEST_F(YasenDlgTest, TheRunnerGetsTheResultOfTheDialog) {
    Battlefield b(false);
    QtPort port;
    Ports ports = port.AsPorts();
    CBattleRunner runner(b.gs, ports);
    Script().OnDialog(DeployAllToVanguard());
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CYasenDlg&>(d);
        EXPECT_EQ(dlg.Battle().generals[0][0], b.mine[0]);  // the player's army is side 0
        d.EndDialog(ui::IDOK);                              // ended before the battle is decided
    });
    const int r = runner.RunYasen(1, -1, b.theirs, 1, b.mine, 0, 1, {0, -1});
    EXPECT_TRUE(r == 0 || r == 1 || r == 2) << r;
    EXPECT_TRUE(Script().Errors().empty());
}

}  // namespace
}  // namespace rymd::gui_test
