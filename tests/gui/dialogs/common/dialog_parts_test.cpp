// The pieces every dialog takes from dialogs/common: the button style, the OK/Cancel pair, the
// setting of a text by id and the columns of a report list.
#include "game/shell/dialogs/common/dialog_parts.h"
#include "gui/gui_test_util.h"
#include "platform/qt/list_ctrl.h"

namespace rymd::gui_test {
namespace {

constexpr int kLineId = 1064;
constexpr int kListId = 1035;

// A dialog built only from the shared pieces: a text line, a list with one column and OK/Cancel.
class PartsDialog : public ui::Dialog {
public:
    PartsDialog() : Dialog(Tmpl()) {}
    static ui::DialogTemplate Tmpl() {
        ui::DialogTemplate t;
        t.caption = "部品";
        t.cx = 200;
        t.cy = 120;
        t.items = {
            {kLineId, ui::ControlKind::Static, "", 7, 7, 186, 10, 0, 0},
            {kListId, ui::ControlKind::ListView, "", 7, 20, 186, 70, ui::WS_BORDER | ui::LVS_REPORT, 0},
            {ui::IDOK, ui::ControlKind::Button, "OK", 87, 99, 50, 14, kDialogButton, 0},
            {ui::IDCANCEL, ui::ControlKind::Button, "キャンセル", 143, 99, 50, 14, kDialogButton, 0},
        };
        return t;
    }
    void DoDataExchange(ui::DataExchange& dx) override {
        Dialog::DoDataExchange(dx);
        buttons.Bind(dx);
    }
    OkCancelButtons buttons;
};

class DialogPartsTest : public GuiTest {};

TEST_F(DialogPartsTest, TheOkCancelPairTakesOverTheTemplatesButtons) {
    PartsDialog dlg;
    Script().OnDialog([&](ui::Dialog&) {
        EXPECT_EQ(dlg.GetDlgItem(ui::IDOK), &dlg.buttons.ok);
        EXPECT_EQ(dlg.GetDlgItem(ui::IDCANCEL), &dlg.buttons.cancel);
        EXPECT_EQ(dlg.buttons.ok.GetWindowText(), "OK");
        EXPECT_EQ(dlg.buttons.cancel.GetWindowText(), "キャンセル");
        // The template adds WS_CHILD | WS_VISIBLE to the button style.
        EXPECT_TRUE(dlg.buttons.cancel.IsWindowVisible());
        dlg.EndDialog(ui::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
}

TEST_F(DialogPartsTest, SetItemTextSetsTheControlsTextAndPassesOverAMissingId) {
    PartsDialog dlg;
    Script().OnDialog([&](ui::Dialog&) {
        SetItemText(dlg, kLineId, "残り資金 1200");
        EXPECT_EQ(dlg.GetDlgItem(kLineId)->GetWindowText(), "残り資金 1200");
        SetItemText(dlg, 4321, "no such control");
        EXPECT_EQ(dlg.GetDlgItem(4321), nullptr);
        dlg.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

TEST_F(DialogPartsTest, ListColumnsGoToTheRightOfThoseThereInOrder) {
    PartsDialog dlg;
    Script().OnDialog([&](ui::Dialog&) {
        auto* list = dynamic_cast<ui::ListCtrl*>(dlg.GetDlgItem(kListId));
        ASSERT_NE(list, nullptr);
        list->InsertColumn(0, "城", ui::LVCFMT_LEFT, 90);
        InsertListColumns(*list, {{"規模", 50, ui::LVCFMT_RIGHT}, {"守備兵", 60}});
        InsertListColumns(*list, {});
        ASSERT_EQ(list->GetColumnCount(), 3);
        EXPECT_EQ(list->GetColumnWidth(0), 90);
        EXPECT_EQ(list->GetColumnWidth(1), 50);
        EXPECT_EQ(list->GetColumnWidth(2), 60);
        const int item = list->InsertItem(0, "清洲城");
        list->SetItemText(item, 2, "3000");
        EXPECT_EQ(list->GetItemText(item, 2), "3000");
        dlg.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

}  // namespace
}  // namespace rymd::gui_test
