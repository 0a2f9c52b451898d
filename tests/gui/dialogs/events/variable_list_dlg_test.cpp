// The variable list: scalars, array names and the elements of the chosen array, opened through
// the Qt port as the game screen opens it.
#include "game/shell/dialogs/events/variable_list_dlg.h"
#include "game/shell/port/qt_port.h"
#include "game/state/script_variables.h"
#include "gui/gui_test_util.h"
#include "platform/qt/dialog.h"

namespace rymd::gui_test {
namespace {

using rymd::CVariableListDlg;

class VariableListTest : public GuiTest {
protected:
    // Runs the dialog through the port; step sees it once it is shown.
    void Run(const VariableListView& view, std::function<void(CVariableListDlg&)> step) {
        Script().OnDialog([&](ui::Dialog& d) {
            auto* dlg = dynamic_cast<CVariableListDlg*>(&d);
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(d.GetWindowText(), "変数一覧");
            step(*dlg);
            d.EndDialog(ui::IDOK);
        });
        const std::size_t before = Script().DialogsShown().size();
        QtPort port;
        port.AsPorts().view->ShowVariableList(view);
        EXPECT_EQ(Script().DialogsShown().size(), before + 1);
    }
    static void ChooseArray(CVariableListDlg& d, int line) {
        MbWnd::CCellPane& p = d.ArrayGrid().RightPane();
        ui::test::MouseDown(p, p.CellRect(line, 0).CenterPoint());
        ui::test::MouseUp(p, p.CellRect(line, 0).CenterPoint());
    }
    static std::string Label(CVariableListDlg& d) {
        return d.GetDlgItem(CVariableListDlg::kElementLabelId)->GetWindowText();
    }
    static bool LabelShown(CVariableListDlg& d) {
        return d.GetDlgItem(CVariableListDlg::kElementLabelId)->IsWindowVisible();
    }
};

TEST_F(VariableListTest, ShowsScalarsAndTheChosenArraysElements) {
    CScriptVariables vars;
    vars.SetArrayElement("兵糧", 2, 2.5);
    vars.SetArrayElement("兵糧", 0, 300);
    vars.SetArrayElement("flags", 4, 1);
    CScriptVariables::FormulaEvaluator eval = [](std::string_view f, double& v) {
        v = std::stod(std::string(f));
        return 0;
    };
    ASSERT_TRUE(vars.SetVariable("count", 12, eval));
    ASSERT_TRUE(vars.SetVariable("rate", 2.5, eval));
    ASSERT_TRUE(vars.SetVariable("debt", -7, eval));
    Run(vars.ListView(), [&](CVariableListDlg& d) {
        ASSERT_EQ(d.ScalarGrid().GetLineSize(), 3);
        EXPECT_EQ(d.ScalarGrid().GetCellText(0, 0), "count");
        EXPECT_EQ(d.ScalarGrid().GetCellText(0, 1), "12");
        EXPECT_EQ(d.ScalarGrid().GetCellText(1, 1), "2.50000");
        EXPECT_EQ(d.ScalarGrid().GetCellText(2, 1), "-7");
        ASSERT_EQ(d.ArrayGrid().GetLineSize(), 2);
        EXPECT_EQ(d.ArrayGrid().GetCellText(1, 0), "flags");
        EXPECT_FALSE(d.ElementGrid().IsWindowVisible());
        EXPECT_FALSE(LabelShown(d));

        ChooseArray(d, 0);
        EXPECT_TRUE(d.ElementGrid().IsWindowVisible());
        EXPECT_TRUE(LabelShown(d));
        EXPECT_EQ(Label(d), "兵糧 の内容");
        ASSERT_EQ(d.ElementGrid().GetLineSize(), 3);
        EXPECT_EQ(d.ElementGrid().GetCellText(0, 1), "300");
        EXPECT_EQ(d.ElementGrid().GetCellText(1, 0), "1");
        EXPECT_EQ(d.ElementGrid().GetCellText(1, 1), "0");
        EXPECT_EQ(d.ElementGrid().GetCellText(2, 1), "2.50000");
        ui::test::GrabToPng(d, GalleryPath("variable_list"));
        ui::test::GrabToPng(d, GalleryPath("variable_list@2x"), 2.0);

        ChooseArray(d, 1);
        EXPECT_EQ(Label(d), "flags の内容");
        EXPECT_EQ(d.ElementGrid().GetLineSize(), 5);
        // Clearing the selection hides the elements and their label again.
        d.ArrayGrid().SelectCell(-1, -1);
        EXPECT_FALSE(d.ElementGrid().IsWindowVisible());
        EXPECT_FALSE(LabelShown(d));
    });
}

TEST_F(VariableListTest, NoVariablesAndAnEmptyArray) {
    Run(VariableListView{}, [&](CVariableListDlg& d) {
        EXPECT_EQ(d.ScalarGrid().GetLineSize(), 0);
        EXPECT_EQ(d.ArrayGrid().GetLineSize(), 0);
        ChooseArray(d, 0);
        EXPECT_FALSE(d.ElementGrid().IsWindowVisible());
        ui::test::GrabToPng(d, GalleryPath("variable_list_empty"));
    });
    VariableListView view;
    view.arrays.push_back({"空", {}});
    Run(view, [&](CVariableListDlg& d) {
        ChooseArray(d, 0);
        EXPECT_TRUE(d.ElementGrid().IsWindowVisible());
        EXPECT_TRUE(LabelShown(d));
        EXPECT_EQ(d.ElementGrid().GetLineSize(), 0);
    });
}

TEST_F(VariableListTest, AFullArrayFillsTheElementGrid) {
    VariableListView view;
    view.arrays.push_back({"big", std::vector<double>(CScriptVariables::kMaxArrayIndex + 1, 1.0)});
    Run(view, [&](CVariableListDlg& d) {
        ChooseArray(d, 0);
        EXPECT_EQ(d.ElementGrid().GetLineSize(), 30001);
        EXPECT_EQ(d.ElementGrid().GetCellText(30000, 0), "30000");
    });
}

}  // namespace
}  // namespace rymd::gui_test
