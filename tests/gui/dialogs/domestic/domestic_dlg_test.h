// What the tests of the domestic and armament dialogs share: reading and typing into controls,
// clicking a list row and answering the message box that must come.
#pragma once

#include <string>

#include "gui/gui_test_util.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/controls.h"
#include "platform/qt/list_ctrl.h"

namespace rymd::gui_test {

class DomesticDlgTest : public GuiTest {
protected:
    // Queues the answer to a message box that must say text.
    void ExpectMessage(const std::string& text) {
        Script().OnDialog([text](ui::Dialog& d) {
            EXPECT_EQ(dynamic_cast<MbWnd::CMsgBoxDlg&>(d).m_strText, text);
            d.EndDialog(ui::IDOK);
        });
    }
    void ExpectShortage() { ExpectMessage("資金が足りません"); }
    static std::string Text(ui::Dialog& d, int id) { return d.GetDlgItem(id)->GetWindowText(); }
    static bool Enabled(ui::Dialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }
    static void ClickRow(ui::ListCtrl& list, int item) {
        const Point p = list.ItemRect(item).CenterPoint();
        ui::test::MouseDown(list, p);
        ui::test::MouseUp(list, p);
    }
    static void Retype(ui::Dialog& d, int id, const std::string& text) {
        auto* edit = dynamic_cast<ui::Edit*>(d.GetDlgItem(id));
        ASSERT_NE(edit, nullptr);
        edit->SetSel(0, -1);
        ASSERT_TRUE(ui::test::TypeIntoControl(d, id, text));
    }
    // Few samples over the place (in dialog units) show the dialog's face: a picture covers it.
    static void ExpectPictureOver(ui::Dialog& d, const ui::Rect& units) {
        const QImage shot = ui::test::Grab(d);
        const ui::Rect place = d.MapDialogRect(units);
        int face = 0, samples = 0;
        for (int y = place.top + 2; y < place.bottom - 2; y += 7)
            for (int x = place.left + 2; x < place.right - 2; x += 7) {
                face += ui::test::PixelAt(shot, x, y) == ui::GetSysColor(ui::COLOR_BTNFACE);
                ++samples;
            }
        EXPECT_LT(face, samples / 10);
    }
    // The spin's upper end.
    static int SpinUpper(ui::Dialog& d, int id) {
        int lo = 0, hi = 0;
        dynamic_cast<ui::SpinButton&>(*d.GetDlgItem(id)).GetRange(lo, hi);
        return hi;
    }
};

}  // namespace rymd::gui_test
