// The event dialog: the province map with the struck provinces painted in the event's colour,
// the event's text with its effects, the caption, the close button; the Qt port shows it for a
// scheduled event. Gallery pictures at 100 % and 200 %.
#include <QImage>

#include "game/shell/dialogs/events/event_dlg.h"
#include "game/shell/port/qt_port.h"
#include "gui/gui_test_util.h"
#include "gui/japan_map.h"
#include "mbkormap/kor_map.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

MbKorMap::CCtrlKorMap& Japan() {
    return JapanMap();
}

int FindKuniById(MbKorMap::CCtrlKorMap& map, const char* id) {
    return map.FindKuni(id);
}

Point InsideOf(MbKorMap::CCtrlKorMap& map, int kuni, int width, int height) {
    return PixelInsideKuni(map, kuni, width, height);
}

ScheduledEventReport Flood(MbKorMap::CCtrlKorMap& map) {
    ScheduledEventReport r;
    r.event = 4;
    r.name = "大雨";
    r.message = "以下の地域に大雨が降りました\nこれらの地域では、石高・町経済が低下しました";
    r.colour = RGB(50, 200, 255);
    for (const char* id : {"K_OWARI", "K_MINO", "K_ECHIGO"})
        r.provinces.push_back(FindKuniById(map, id));
    r.provinceNames = {"尾張", "美濃", "越後"};
    r.effects = {"鉄砲使用不可", "石高 -4%（±2%）", "町経済 -9%（±5%）"};
    return r;
}

class EventDlgTest : public GuiTest {};

TEST_F(EventDlgTest, PaintsTheStruckProvincesAndShowsTheTextAndEffects) {
    MbKorMap::CCtrlKorMap& map = Japan();
    const ScheduledEventReport report = Flood(map);
    for (int k : report.provinces)
        ASSERT_GE(k, 0);
    const int echigo = report.provinces[2];
    const int shinano = FindKuniById(map, "K_SHINANO");  // not struck
    ASSERT_GE(shinano, 0);

    bool shown = false;
    Script().OnDialog([&](ui::Dialog& d) {
        shown = true;
        auto& dlg = dynamic_cast<CEventDlg&>(d);
        EXPECT_EQ(dlg.GetWindowText(), "大雨");
        ASSERT_NE(dlg.GetDlgItem(CEventDlg::kMapId), nullptr);
        ASSERT_NE(dlg.GetDlgItem(CEventDlg::kTextId), nullptr);
        EXPECT_EQ(dlg.TextCtrl().GetText(),
                  "以下の地域に大雨が降りました\nこれらの地域では、石高・町経済が低下しました\n\n"
                  "鉄砲使用不可\n石高 -4%（±2%）\n町経済 -9%（±5%）");

        CEventMapWnd& mapWnd = dlg.MapWnd();
        const MbBmp::CControlBmp& picture = mapWnd.Picture();
        ASSERT_FALSE(picture.IsEmpty());
        const Rect client = mapWnd.GetClientRect();
        EXPECT_LE(picture.GetWidth(), client.Width());  // the whole map fits
        EXPECT_LE(picture.GetHeight(), client.Height());

        // The stated points: the first pixel inside Echigo (struck) and inside Shinano (not).
        const Point inEchigo = InsideOf(map, echigo, picture.GetWidth(), picture.GetHeight());
        const Point inShinano = InsideOf(map, shinano, picture.GetWidth(), picture.GetHeight());
        ASSERT_GE(inEchigo.x, 0);
        ASSERT_GE(inShinano.x, 0);
        EXPECT_EQ(Rgb(picture.GetPixelColor(inEchigo.x, inEchigo.y)), Rgb(report.colour));
        EXPECT_NE(Rgb(picture.GetPixelColor(inShinano.x, inShinano.y)), Rgb(report.colour));

        // On screen: the picture at its origin inside the client edge.
        const QImage shot = ui::test::Grab(mapWnd);
        const int edge = (shot.width() - client.Width()) / 2;
        const Point o = mapWnd.PictureOrigin();
        EXPECT_EQ(Rgb(ui::test::PixelAt(shot, edge + o.x + inEchigo.x, edge + o.y + inEchigo.y)),
                  Rgb(report.colour));
        EXPECT_NE(Rgb(ui::test::PixelAt(shot, edge + o.x + inShinano.x, edge + o.y + inShinano.y)),
                  Rgb(report.colour));

        EXPECT_TRUE(ui::test::ClickControl(d, CEventDlg::kCloseId));
        EXPECT_TRUE(d.IsEnded());
    });
    QtPort port;
    port.SetMap(&map);
    port.ShowScheduledEvent(report);
    EXPECT_TRUE(shown);
}

TEST_F(EventDlgTest, WithoutAMapTheDialogStillOpens) {
    Script().OnDialog([&](ui::Dialog& d) {
        auto& dlg = dynamic_cast<CEventDlg&>(d);
        EXPECT_FALSE(dlg.MapWnd().Picture().IsEmpty());
        d.EndDialog(ui::IDOK);
    });
    ScheduledEventReport report;
    report.name = "疫病";
    report.provinces = {-3, 0, 900};  // provinces no map has
    CEventDlg dlg(report, nullptr);
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
}

TEST_F(EventDlgTest, Gallery) {
    MbKorMap::CCtrlKorMap& map = Japan();
    Script().OnDialog([&](ui::Dialog& d) {
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("event_dialog")));
        EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("event_dialog@2x"), 2.0));
        d.EndDialog(ui::IDOK);
    });
    CEventDlg dlg(Flood(map), &map);
    dlg.DoModal();
}

}  // namespace
}  // namespace rymd::gui_test
