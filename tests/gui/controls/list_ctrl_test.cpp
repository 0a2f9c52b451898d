// The report list view, the image list and the spin button, as controls of dialog templates.
#include "platform/qt/list_ctrl.h"
#include "game/shell/dialogs/common/small_images.h"
#include "gui/gui_test_util.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

// A dialog with a list (1035), an edit with its spin (1188, 1187) and OK; it records what its
// controls tell it.
class ControlsDialog : public ui::Dialog {
public:
    ControlsDialog() : Dialog(Tmpl()) {}
    static ui::DialogTemplate Tmpl() {
        ui::DialogTemplate t;
        t.caption = "鉄砲購入";
        t.cx = 220;
        t.cy = 140;
        t.items = {
            {1035, ui::ControlKind::ListView, "", 7, 7, 206, 90,
             ui::WS_TABSTOP | ui::WS_BORDER | ui::LVS_REPORT | ui::LVS_SINGLESEL | ui::LVS_SHOWSELALWAYS, 0},
            {1188, ui::ControlKind::Edit, "", 7, 104, 50, 12, ui::WS_TABSTOP | ui::ES_READONLY,
             ui::WS_EX_CLIENTEDGE},
            {1187, ui::ControlKind::Spin, "", 57, 104, 10, 12,
             ui::UDS_AUTOBUDDY | ui::UDS_ALIGNRIGHT | ui::UDS_SETBUDDYINT | ui::UDS_ARROWKEYS, 0},
            {ui::IDOK, ui::ControlKind::Button, "OK", 163, 120, 50, 14, ui::WS_TABSTOP | ui::BS_DEFPUSHBUTTON,
             0},
        };
        return t;
    }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        list = dynamic_cast<ui::ListCtrl*>(GetDlgItem(1035));
        spin = dynamic_cast<ui::SpinButton*>(GetDlgItem(1187));
        if (!list || !spin) return false;
        images.Create(9, 11);
        ui::Bitmap strip;
        strip.CreateBitmap(18, 11, 1.0);
        {
            ui::Dc dc(strip);
            dc.FillSolidRect(Rect(0, 0, 18, 11), RGB(0, 0, 128));  // the mask colour
            dc.FillSolidRect(Rect(2, 2, 7, 9), RGB(200, 0, 0));
            dc.FillSolidRect(Rect(11, 1, 16, 10), RGB(0, 150, 0));
        }
        images.Add(strip, RGB(0, 0, 128));
        list->SetImageList(&images);
        list->SetExtendedStyle(ui::LVS_EX_FULLROWSELECT | ui::LVS_EX_CHECKBOXES);
        list->InsertColumn(0, "購入地", ui::LVCFMT_LEFT, 100);
        list->InsertColumn(1, "単価", ui::LVCFMT_RIGHT, 50);
        list->InsertColumn(2, "月数", ui::LVCFMT_RIGHT, 50);
        const char* places[] = {"堺", "国友", "根来", "日野"};
        const int prices[] = {30, 25, 25, 40};
        for (int i = 0; i < 4; ++i) {
            list->InsertItem(i, places[i], i % 2);
            list->SetItemText(i, 1, std::to_string(prices[i]));
            list->SetItemText(i, 2, std::to_string(i + 1));
            list->SetItemData(i, prices[i] * 10 + i);
        }
        list->SetItemColors(3, RGB(128, 128, 128), ui::CLR_DEFAULT);
        spin->SetRange(0, 12);
        spin->SetPos(0);
        return true;
    }
    bool OnNotify(int id, ui::NotifyHeader* h, std::intptr_t* result) override {
        notes.push_back({id, h->code});
        if (h->code == ui::NM_CLICK) clicked = reinterpret_cast<ui::NMItemActivate*>(h)->iItem;
        if (h->code == ui::UDN_DELTAPOS && refuse) {
            *result = 1;
            return true;
        }
        return Dialog::OnNotify(id, h, result);
    }
    bool OnCommand(int id, int code, ui::Wnd* from) override {
        if (id == 1188 && code == ui::EN_CHANGE) changes.push_back(spin ? spin->GetPos() : -99);
        return Dialog::OnCommand(id, code, from);
    }
    ui::ListCtrl* list = nullptr;
    ui::SpinButton* spin = nullptr;
    ui::ImageList images;
    std::vector<std::pair<int, int>> notes;
    std::vector<int> changes;
    int clicked = -2;
    bool refuse = false;
};

class ListCtrlTest : public GuiTest {};

int ByData(std::intptr_t a, std::intptr_t b, std::intptr_t descending) {
    const int r = a < b ? -1 : a > b ? 1 : 0;
    return descending ? -r : r;
}

TEST_F(ListCtrlTest, ClicksSelectOneItemAndTellTheParent) {
    ControlsDialog dlg;
    Script().OnDialog([&](ui::Dialog&) {
        ui::ListCtrl& l = *dlg.list;
        EXPECT_EQ(l.GetItemCount(), 4);
        EXPECT_EQ(l.GetItemText(1, 0), "国友");
        ui::test::MouseDown(l, l.ItemRect(2).CenterPoint());
        EXPECT_EQ(dlg.clicked, 2);
        EXPECT_EQ(l.GetFirstSelectedItem(), 2);
        ui::test::MouseDown(l, l.ItemRect(1).CenterPoint());
        EXPECT_EQ(l.GetFirstSelectedItem(), 1);
        EXPECT_EQ(l.GetSelectedCount(), 1);
        EXPECT_EQ(l.GetNextItem(-1, ui::LVNI_FOCUSED), 1);
        // Below the items: no item, the selection goes.
        ui::test::MouseDown(l, Point(20, l.GetClientRect().bottom - 3));
        EXPECT_EQ(dlg.clicked, -1);
        EXPECT_EQ(l.GetFirstSelectedItem(), -1);
        // The check box toggles; Space toggles the focused item's.
        ui::test::MouseDown(l, l.CheckBoxRect(0).CenterPoint());
        EXPECT_TRUE(l.GetCheck(0));
        ui::test::MouseDown(l, l.ItemRect(3).CenterPoint());
        ui::test::PressKey(l, ui::VK_SPACE);
        EXPECT_TRUE(l.GetCheck(3));
        ui::test::PressKey(l, ui::VK_UP);
        EXPECT_EQ(l.GetFirstSelectedItem(), 2);
        bool changed = false;
        for (auto [id, code] : dlg.notes)
            changed |= id == 1035 && code == ui::LVN_ITEMCHANGED;
        EXPECT_TRUE(changed);
        ui::test::GrabToPng(dlg, GalleryPath("list_view_and_spin"));
        ui::test::GrabToPng(dlg, GalleryPath("list_view_and_spin@2x"), 2.0);
        dlg.EndDialog(ui::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

TEST_F(ListCtrlTest, SortingByTheGamesComparisonKeepsEachItemWhole) {
    ControlsDialog dlg;
    Script().OnDialog([&](ui::Dialog&) {
        ui::ListCtrl& l = *dlg.list;
        l.SetItemState(1, ui::LVIS_SELECTED, ui::LVIS_SELECTED);
        l.SortItems(ByData, 1);
        std::vector<std::intptr_t> data;
        for (int i = 0; i < 4; ++i)
            data.push_back(l.GetItemData(i));
        EXPECT_EQ(data, (std::vector<std::intptr_t>{403, 300, 252, 251}));
        EXPECT_EQ(l.GetItemText(0, 0), "日野");
        EXPECT_EQ(l.GetItemImage(0), 1);
        // The selected item went with its record.
        EXPECT_EQ(l.GetItemData(l.GetFirstSelectedItem()), 251);
        // A header click tells the column.
        const int before = static_cast<int>(dlg.notes.size());
        ui::test::MouseDown(l, Point(l.GetColumnWidth(0) + 10, 4));
        ASSERT_GT(static_cast<int>(dlg.notes.size()), before);
        EXPECT_EQ(dlg.notes.back().second, ui::LVN_COLUMNCLICK);
        dlg.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

TEST_F(ListCtrlTest, PixelsOfHeaderImagesSelectionAndColouring) {
    ControlsDialog dlg;
    Script().OnDialog([&](ui::Dialog&) {
        ui::ListCtrl& l = *dlg.list;
        l.SetFocus();
        l.SetItemState(0, ui::LVIS_SELECTED | ui::LVIS_FOCUSED, ui::LVIS_SELECTED | ui::LVIS_FOCUSED);
        QImage img = ui::test::Grab(l).copy(1, 1, l.GetClientRect().Width(), l.GetClientRect().Height());
        // Header: white top-left bevel, face inside.
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, 0, 0)), Rgb(RGB(255, 255, 255)));
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, 60, 3)), Rgb(ui::GetSysColor(ui::COLOR_BTNFACE)));
        // The selected full row in the highlight colour across the columns, right of the texts;
        // beside the columns the list's background.
        const Rect r0 = l.ItemRect(0);
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, 190, r0.top + 3)), Rgb(ui::GetSysColor(ui::COLOR_HIGHLIGHT)));
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, 240, r0.top + 3)), Rgb(RGB(255, 255, 255)));
        // Item 1's image (the green picture) after the check box; the mask colour left out.
        const Rect r1 = l.ItemRect(1);
        const int ix = r1.left + 13 + 4 + 1;
        const int iy = r1.top + (r1.Height() - 11) / 2;
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, ix + 4, iy + 5)), Rgb(RGB(0, 150, 0)));
        EXPECT_EQ(Rgb(ui::test::PixelAt(img, ix + 0, iy + 0)), Rgb(RGB(255, 255, 255)));
        dlg.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

TEST_F(ListCtrlTest, AnEmptyListTakesClicksKeysAndTheWheel) {
    HostWindow host;
    ASSERT_TRUE(host.Open(200, 120));
    ui::ListCtrl l;
    ASSERT_TRUE(l.Create(ui::WS_VISIBLE | ui::LVS_REPORT, Rect(0, 0, 180, 100), &host, 7));
    ui::test::MouseDown(l, Point(20, 40));
    ui::test::PressKey(l, ui::VK_DOWN);
    ui::test::Wheel(l, Point(20, 40), -120);
    l.SortItems(ByData, 0);
    EXPECT_EQ(l.GetFirstSelectedItem(), -1);
    EXPECT_EQ(l.GetItemText(3, 1), "");
    EXPECT_FALSE(l.SetItemText(0, 0, "x"));
    for (int i = 0; i < 50; ++i)
        l.InsertItem(i, std::to_string(i));
    ui::test::Wheel(l, Point(20, 40), -120);
    EXPECT_EQ(l.GetTopIndex(), 3);
    l.EnsureVisible(49);
    EXPECT_EQ(l.GetTopIndex() + l.GetCountPerPage() - 1, 49);
}

// ---- Spin -------------------------------------------------------------------------------------------

TEST_F(ListCtrlTest, TheSpinWritesItsBuddyAndTheBuddyTellsTheDialog) {
    ControlsDialog dlg;
    Script().OnDialog([&](ui::Dialog&) {
        ui::SpinButton& s = *dlg.spin;
        ui::Wnd* edit = dlg.GetDlgItem(1188);
        EXPECT_EQ(s.GetBuddy(), edit);
        // Aligned inside the buddy's right edge.
        Rect e = edit->GetWindowRect();
        Rect sp = s.GetWindowRect();
        EXPECT_EQ(e.right, sp.left);
        EXPECT_EQ(edit->GetWindowText(), "0");
        dlg.changes.clear();
        ui::test::MouseDown(s, Point(2, 1));
        ui::test::MouseUp(s, Point(2, 1));
        EXPECT_EQ(s.GetPos(), 1);
        EXPECT_EQ(edit->GetWindowText(), "1");
        EXPECT_EQ(dlg.changes, std::vector<int>{1});
        // The down arrow at 0 stays at 0 and tells nothing.
        s.SetPos(0);
        dlg.changes.clear();
        ui::test::MouseDown(s, Point(2, s.GetClientRect().bottom - 2));
        EXPECT_EQ(s.GetPos(), 0);
        EXPECT_TRUE(dlg.changes.empty());
        // Up and Down typed in the buddy step the spin.
        edit->SetFocus();
        ui::test::PressKey(*edit, ui::VK_UP);
        ui::test::PressKey(*edit, ui::VK_UP);
        ui::test::PressKey(*edit, ui::VK_DOWN);
        EXPECT_EQ(s.GetPos(), 1);
        EXPECT_EQ(edit->GetWindowText(), "1");
        s.SetPos(0);
        // A parent that refuses the step keeps the position.
        dlg.refuse = true;
        s.Step(+1);
        EXPECT_EQ(s.GetPos(), 0);
        dlg.EndDialog(ui::IDOK);
    });
    dlg.DoModal();
}

TEST_F(ListCtrlTest, AReversedRangeCountsDownWithTheUpArrowAndRangesAreSixteenBits) {
    HostWindow host;
    ASSERT_TRUE(host.Open(200, 60));
    ui::SpinButton s;
    ASSERT_TRUE(s.Create(ui::WS_VISIBLE, Rect(10, 10, 26, 30), &host, 9));
    struct Case {
        int lower, upper, start, arrow, expected;
    } cases[] = {
        {0, -10, 0, +1, -1},                             // up moves towards the upper end, -10
        {0, -10, -10, +1, -10},                          // held at the upper end
        {0, -10, -3, -1, -2},                            // down towards 0
        {0, 10, 10, +1, 10},    {0, 1000000, 5, +1, 6},  // the upper end is cut to 16 bits: 16960
    };
    for (const Case& c : cases) {
        s.SetRange(c.lower, c.upper);
        s.SetPos(c.start);
        s.Step(c.arrow);
        EXPECT_EQ(s.GetPos(), c.expected) << c.lower << ".." << c.upper << " from " << c.start;
    }
    int lo = 0, hi = 0;
    s.GetRange(lo, hi);
    EXPECT_EQ(hi, 16960);
    s.SetPos(20000);
    EXPECT_EQ(s.GetPos(), 16960);
    s.SetRange(-10, 0);
    EXPECT_EQ(s.GetPos(), 0);
    ui::test::GrabToPng(s, GalleryPath("spin"));
    ui::test::GrabToPng(s, GalleryPath("spin@2x"), 2.0);
}

TEST_F(ListCtrlTest, TheSharedSmallImagesMarkGeneralsWithAndWithoutCommentary) {
    ui::ImageList& images = SharedSmallImageList();
    ASSERT_EQ(images.GetImageCount(), 2);
    EXPECT_EQ(images.GetImageSize(), Size(9, 11));
    HostWindow host;
    ASSERT_TRUE(host.Open(200, 80));
    ui::ListCtrl l;
    ASSERT_TRUE(l.Create(ui::WS_VISIBLE | ui::LVS_REPORT, Rect(0, 0, 180, 70), &host, 7));
    l.SetImageList(&images);
    l.InsertColumn(0, "名前", ui::LVCFMT_LEFT, 100);
    l.InsertItem(0, "織田信長", 1);
    l.InsertItem(1, "柴田勝家", 0);
    QImage img = ui::test::Grab(l);
    const Rect r0 = l.ItemRect(0);
    const int x0 = r0.left + 1;
    const int y0 = r0.top + (r0.Height() - 11) / 2;
    // Picture 1: its red line; picture 0 leaves its mask corner to the list's white.
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, x0 + 4, y0 + 2)), Rgb(RGB(255, 0, 0)));
    const Rect r1 = l.ItemRect(1);
    EXPECT_EQ(Rgb(ui::test::PixelAt(img, r1.left + 1, r1.top + (r1.Height() - 11) / 2)),
              Rgb(RGB(255, 255, 255)));
    ui::test::GrabToPng(l, GalleryPath("list_view_small_images"));
    ui::test::GrabToPng(l, GalleryPath("list_view_small_images@2x"), 2.0);
}

}  // namespace
}  // namespace rymd::gui_test
