// The month's reports in their dialogs: the September harvest (the country painted by harvest,
// the legend, the tax rates preset to the standard), the income report (rows, aligned figures,
// funds line, notes, corps) and the deaths and appearances; the Qt port shows each of them.
// Gallery pictures at 100 % and 200 %.
#include <QImage>

#include "game/shell/dialogs/events/shikyo_toujou_dlg.h"
#include "game/shell/dialogs/events/shuukaku_dlg.h"
#include "game/shell/dialogs/events/shuushi_houkoku_dlg.h"
#include "game/shell/port/qt_port.h"
#include "gui/gui_test_util.h"
#include "gui/japan_map.h"
#include "platform/qt/controls.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

// Every province normal but Echigo (good) and Mino (bad).
HarvestView MonthReportsHarvest(MbKorMap::CCtrlKorMap& map) {
    HarvestView v;
    for (int k = 0; k < map.KuniCount(); ++k) {
        v.qualities.push_back(0);
        v.provinceNames.push_back("国" + std::to_string(k));
    }
    v.qualities[static_cast<std::size_t>(map.FindKuni("K_ECHIGO"))] = 1;
    v.qualities[static_cast<std::size_t>(map.FindKuni("K_MINO"))] = -1;
    v.choices = {"70%", "65%", "60%", "55%", "50% (標準)", "45%", "40%", "35%", "30%"};
    v.preset = 4;
    return v;
}

IncomeReportView MonthReportsIncome(bool september, bool corps, bool besieged) {
    IncomeReportView v;
    v.title = september ? "1560年  9月  織田家 収支報告" : "1560年  4月  織田家 収支報告";
    v.incomeRows = {{"収穫", september ? "24000" : "0 (収穫は9月のみ)"},
                    {"町収入", "1520"},
                    {"鉱山収入", "80"},
                    {"異民族間交易", "0"},
                    {"交易船収入", "0"},
                    {"収入合計", september ? "25600" : "1600"}};
    v.upkeepRows = {{"待機中騎馬兵維持費(兵数×1.5)", "300"}, {"出陣中騎馬兵維持費(兵数×3)", "0"},
                    {"待機中足軽兵維持費(兵数×0.5)", "410"}, {"出陣中足軽兵維持費(兵数×1)", "0"},
                    {"待機中軍船維持費(軍船数×50)", "0"},    {"出陣中軍船維持費(軍船数×100)", "0"},
                    {"城守備兵維持費(兵数×0.1)", "90"},      {"支出合計", "800"}};
    v.income = september ? 25600 : 1600;
    v.upkeep = 800;
    v.fundsAfter = september ? 27800 : -200;
    v.fundsBefore = v.fundsAfter - (v.income - v.upkeep);
    v.fundsLine = "資金残高　" + std::to_string(v.fundsBefore) + " + " + std::to_string(v.income) +
                  " - 800 → " + std::to_string(v.fundsAfter) +
                  (v.fundsAfter < 0 ? " （不足資金は家臣から借金しました）" : "");
    if (besieged)
        v.besiegedNote =
            "（注意：包囲された城内の兵の維持には城の備蓄兵糧が使用されるので支出には計上されません）";
    if (corps) v.corps = {{"柴田勝家 軍団", 900, 350, 4200}, {"丹羽長秀 軍団", 610, 280, -30}};
    return v;
}

DeathAppearView MonthReportsDeaths() {
    DeathAppearView v;
    v.caption = "武将死去／登場";
    v.appearedTitle = "武将登場";
    v.diedTitle = "武将死去";
    v.appeared = {"前田利家が清洲城に登場し、織田家に仕官しました", "竹中重治が稲葉山城に登場しました"};
    v.died = {"なし"};
    return v;
}

class MonthReportsTest : public GuiTest {};

TEST_F(MonthReportsTest, HarvestColoursAreThoseOfTheThreeHarvests) {
    struct Case {
        int quality;
        ui::COLORREF colour;
    };
    for (const Case c :
         {Case{1, RGB(255, 255, 100)}, Case{0, RGB(200, 200, 20)}, Case{-1, RGB(200, 100, 50)}})
        EXPECT_EQ(Rgb(CHarvestDlg::QualityColour(c.quality)), Rgb(c.colour)) << c.quality;
}

TEST_F(MonthReportsTest, HarvestPaintsTheCountryAndReturnsTheChosenRate) {
    MbKorMap::CCtrlKorMap& map = JapanMap();
    const HarvestView view = MonthReportsHarvest(map);
    struct Case {
        int click;     // the radio clicked, -1 none
        int expected;  // the index returned
    };
    for (const Case c : {Case{-1, 4}, Case{0, 0}, Case{8, 8}}) {
        bool shown = false;
        Script().OnDialog([&](ui::Dialog& d) {
            shown = true;
            auto& dlg = dynamic_cast<CHarvestDlg&>(d);
            EXPECT_EQ(dlg.GetWindowText(), "収穫");
            for (int i = 0; i < CHarvestDlg::kRateCount; ++i) {
                auto* radio = dynamic_cast<ui::Button*>(d.GetDlgItem(CHarvestDlg::kFirstRateId + i));
                ASSERT_NE(radio, nullptr);
                EXPECT_EQ(radio->GetWindowText(), view.choices[static_cast<std::size_t>(i)]);
                EXPECT_EQ(radio->GetCheck() != 0, i == 4) << i;
            }
            // The stated points: inside Echigo (good), Mino (bad) and Shinano (normal).
            const MbBmp::CControlBmp& picture = dlg.MapWnd().Picture();
            for (const auto& [id, quality] : std::vector<std::pair<const char*, int>>{
                     {"K_ECHIGO", 1}, {"K_MINO", -1}, {"K_SHINANO", 0}}) {
                const Point p =
                    PixelInsideKuni(map, map.FindKuni(id), picture.GetWidth(), picture.GetHeight());
                ASSERT_GE(p.x, 0) << id;
                EXPECT_EQ(Rgb(picture.GetPixelColor(p.x, p.y)), Rgb(CHarvestDlg::QualityColour(quality)))
                    << id;
            }
            // The legend's swatches on screen, good, normal, bad from the top.
            const QImage shot = ui::test::Grab(d);
            for (int i = 0; i < 3; ++i) {
                const Rect r = d.ChildRect(CHarvestDlg::kFirstSwatchId + i);
                EXPECT_EQ(Rgb(ui::test::PixelAt(shot, r.CenterPoint().x, r.CenterPoint().y)),
                          Rgb(CHarvestDlg::QualityColour(1 - i)))
                    << i;
            }
            // Escape does not close it: a rate must be confirmed.
            ui::test::PressKey(d, ui::VK_ESCAPE);
            EXPECT_FALSE(d.IsEnded());
            if (c.click >= 0) {
                EXPECT_TRUE(ui::test::ClickControl(d, CHarvestDlg::kFirstRateId + c.click));
            }
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
            EXPECT_TRUE(d.IsEnded());
        });
        QtPort port;
        port.SetMap(&map);
        EXPECT_EQ(port.AskHarvestTax(view), c.expected);
        EXPECT_TRUE(shown);
    }
}

TEST_F(MonthReportsTest, IncomeReportRowsFiguresAlignedFundsNotesAndCorps) {
    struct Case {
        bool september;
        bool corps;
        bool besieged;
    };
    for (const Case c : {Case{true, true, false}, Case{false, false, true}}) {
        const IncomeReportView view = MonthReportsIncome(c.september, c.corps, c.besieged);
        Script().OnDialog([&](ui::Dialog& d) {
            auto& dlg = dynamic_cast<CIncomeReportDlg&>(d);
            EXPECT_EQ(d.GetWindowText(), "収支報告");
            EXPECT_EQ(d.GetDlgItem(CIncomeReportDlg::kTitleId)->GetWindowText(), view.title);
            const Rect firstValue = d.ChildRect(CIncomeReportDlg::kFirstIncomeValueId);
            for (int i = 0; i < CIncomeReportDlg::kIncomeRows; ++i) {
                EXPECT_EQ(d.GetDlgItem(CIncomeReportDlg::kFirstIncomeLabelId + i)->GetWindowText(),
                          view.incomeRows[static_cast<std::size_t>(i)].label);
                EXPECT_EQ(d.GetDlgItem(CIncomeReportDlg::kFirstIncomeValueId + i)->GetWindowText(),
                          view.incomeRows[static_cast<std::size_t>(i)].value);
                // Figures right-aligned in one column, each on its label's line.
                const Rect v = d.ChildRect(CIncomeReportDlg::kFirstIncomeValueId + i);
                EXPECT_EQ(v.right, firstValue.right);
                EXPECT_EQ(v.top, d.ChildRect(CIncomeReportDlg::kFirstIncomeLabelId + i).top);
                EXPECT_TRUE(d.GetDlgItem(CIncomeReportDlg::kFirstIncomeValueId + i)->GetStyle() &
                            ui::SS_RIGHT);
            }
            const Rect firstCost = d.ChildRect(CIncomeReportDlg::kFirstUpkeepValueId);
            for (int i = 0; i < CIncomeReportDlg::kUpkeepRows; ++i) {
                EXPECT_EQ(d.GetDlgItem(CIncomeReportDlg::kFirstUpkeepLabelId + i)->GetWindowText(),
                          view.upkeepRows[static_cast<std::size_t>(i)].label);
                EXPECT_EQ(d.ChildRect(CIncomeReportDlg::kFirstUpkeepValueId + i).right, firstCost.right);
                // The longest label fits before its figure.
                const std::string& label = view.upkeepRows[static_cast<std::size_t>(i)].label;
                EXPECT_LE(PGothicTextWidth(12, label),
                          d.ChildRect(CIncomeReportDlg::kFirstUpkeepLabelId + i).Width())
                    << label;
            }
            EXPECT_EQ(d.GetDlgItem(CIncomeReportDlg::kFundsId)->GetWindowText(), view.fundsLine);
            ui::Wnd* note = d.GetDlgItem(CIncomeReportDlg::kNoteId);
            EXPECT_EQ(note != nullptr, c.besieged);
            if (note) {
                EXPECT_EQ(note->GetWindowText(), view.besiegedNote);
            }
            ui::ListCtrl* list = dlg.CorpsList();
            EXPECT_EQ(list != nullptr, c.corps);
            if (list) {
                ASSERT_EQ(list->GetItemCount(), 2);
                EXPECT_EQ(list->GetItemText(1, 0), "丹羽長秀 軍団");
                EXPECT_EQ(list->GetItemText(1, 1), "610");
                EXPECT_EQ(list->GetItemText(1, 2), "280");
                EXPECT_EQ(list->GetItemText(1, 3), "-30");
            }
            // OK sits under the last part shown.
            EXPECT_GT(d.ChildRect(ui::IDOK).top, list ? d.ChildRect(CIncomeReportDlg::kCorpsListId).bottom
                                                      : d.ChildRect(CIncomeReportDlg::kFundsId).bottom);
            EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
        });
        QtPort port;
        port.ShowIncomeReport(view);
    }
}

TEST_F(MonthReportsTest, DeathsAndAppearancesShowsBothListsUnderTheirBoards) {
    const DeathAppearView view = MonthReportsDeaths();
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CBushouDeathAppearDlg&>(d);
        EXPECT_EQ(d.GetWindowText(), "武将死去／登場");
        EXPECT_EQ(dlg.AppearedView().GetText(),
                  "前田利家が清洲城に登場し、織田家に仕官しました\n竹中重治が稲葉山城に登場しました");
        EXPECT_EQ(dlg.DiedView().GetText(), "なし");
        // The boards stand above their lists.
        Rect appeared = dlg.AppearedView().GetWindowRect();
        d.ScreenToClient(appeared);
        EXPECT_LE(d.ChildRect(CBushouDeathAppearDlg::kAppearedBoardId).bottom, appeared.top);
        EXPECT_EQ(d.GetDlgItem(ui::IDOK)->GetWindowText(), "閉じる");
        EXPECT_TRUE(ui::test::ClickControl(d, ui::IDOK));
    });
    QtPort port;
    port.ShowDeathsAndAppearances(view);
}

TEST_F(MonthReportsTest, Gallery) {
    MbKorMap::CCtrlKorMap& map = JapanMap();
    auto shoot = [&](const std::string& name) {
        Script().OnDialog([name](ui::Dialog& d) {
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name)));
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name + "@2x"), 2.0));
            d.EndDialog(ui::IDOK);
        });
    };
    shoot("harvest_dialog");
    ShowHarvestDlg(nullptr, MonthReportsHarvest(map), &map);
    shoot("income_report_september_corps");
    ShowIncomeReportDlg(nullptr, MonthReportsIncome(true, true, false));
    shoot("income_report_april_besieged");
    ShowIncomeReportDlg(nullptr, MonthReportsIncome(false, false, true));
    shoot("deaths_and_appearances");
    ShowBushouDeathAppearDlg(nullptr, MonthReportsDeaths());
}

}  // namespace
}  // namespace rymd::gui_test
