// The window layer: fonts, dialog units, drawing, text into bitmap objects, dialogs, timers,
// settings and the clipboard.
#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <optional>

#include "gui/gui_test_util.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/draw_small_number.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog.h"
#include "platform/qt/dib_blit.h"
#include "platform/qt/font.h"
#include "platform/qt/menu.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

class LayerTest : public GuiTest {};

TEST_F(LayerTest, JapaneseFacesMapToThePinnedIpaFonts) {
    struct Case {
        const char* face;
        const char* family;
    } cases[] = {{"ＭＳ ゴシック", "IPAGothic"},
                 {"ＭＳ Ｐゴシック", "IPAPGothic"},
                 {"MS Gothic", "IPAGothic"},
                 {"MS PGothic", "IPAPGothic"},
                 {"", "IPAPGothic"},
                 {"Some Face", "Some Face"}};
    for (const Case& c : cases)
        EXPECT_EQ(ui::Font::MapFaceName(c.face), c.family) << c.face;
    for (const char* face : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック"}) {
        ui::Font f;
        ASSERT_TRUE(f.CreateFont(12, 0, 0, 0, 500, false, false, false, 128, 0, 0, 0, 0, face));
        EXPECT_EQ(QFontInfo(f.QtFont()).family().toStdString(), ui::Font::MapFaceName(face));
        EXPECT_EQ(f.CellHeight(), 12);
        EXPECT_GT(f.Ascent(), 6);
        EXPECT_EQ(f.Ascent() + f.Descent(), 12);
    }
    // The fixed-pitch face gives every half-width character the same width.
    ui::Font fixed;
    fixed.CreateFont(14, 0, 0, 0, 500, false, false, false, 128, 0, 0, 0, 0, "ＭＳ ゴシック");
    ui::Dc dc = ui::Dc::ForMeasure();
    dc.SelectFont(&fixed);
    EXPECT_EQ(dc.GetTextExtent("iiii").cx, dc.GetTextExtent("WWWW").cx);
    EXPECT_EQ(dc.GetTextExtent("ああ").cx, 2 * dc.GetTextExtent("a").cx * 2);
}

TEST_F(LayerTest, DialogUnitsRoundEachValueOnItsOwn) {
    ui::DialogBaseUnits u{7, 12};
    EXPECT_EQ(ui::MapDialogRect(u, Rect(67, 24, 117, 38)), Rect(117, 36, 205, 57));
    EXPECT_EQ(ui::MapDialogRect(u, Rect(0, 0, 187, 45)), Rect(0, 0, 327, 68));
    EXPECT_EQ(ui::MapDialogRect(u, Rect(2, 1, 6, 3)), Rect(4, 2, 11, 5));
    ui::Font f;
    f.CreatePointFont(90, "ＭＳ Ｐゴシック");
    ui::DialogBaseUnits b = ui::BaseUnitsOf(f);
    EXPECT_EQ(b.cy, 12);
    EXPECT_GT(b.cx, 3);
}

TEST_F(LayerTest, FillsFramesAndLinesCoverExactlyTheirPixels) {
    ui::Bitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(20, 10));
    ui::Dc dc(bmp);
    dc.FillSolidRect(Rect(0, 0, 20, 10), RGB(255, 255, 255));
    dc.FrameRect(Rect(2, 2, 8, 6), RGB(1, 0, 0));
    dc.SetPenColor(RGB(2, 0, 0));
    dc.MoveTo(10, 1);
    dc.LineTo(15, 1);
    dc.MoveTo(15, 8);
    dc.LineTo(10, 8);
    dc.MoveTo(17, 2);
    dc.LineTo(17, 6);
    struct Px {
        int x, y;
        ui::COLORREF c;
    } pixels[] = {{2, 2, RGB(1, 0, 0)},        {7, 5, RGB(1, 0, 0)},  {8, 5, RGB(255, 255, 255)},
                  {4, 4, RGB(255, 255, 255)},  {10, 1, RGB(2, 0, 0)}, {14, 1, RGB(2, 0, 0)},
                  {15, 1, RGB(255, 255, 255)}, {15, 8, RGB(2, 0, 0)}, {11, 8, RGB(2, 0, 0)},
                  {10, 8, RGB(255, 255, 255)}, {17, 5, RGB(2, 0, 0)}, {17, 6, RGB(255, 255, 255)}};
    for (const Px& p : pixels)
        EXPECT_EQ(Rgb(bmp.GetPixel(p.x, p.y)), Rgb(p.c)) << p.x << "," << p.y;
}

TEST_F(LayerTest, AtTwiceThePixelRatioEveryLogicalPixelIsTwoByTwo) {
    ui::Bitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(10, 10, 2.0));
    EXPECT_EQ(bmp.Image().width(), 20);
    ui::Dc dc(bmp);
    dc.FillSolidRect(Rect(0, 0, 10, 10), RGB(0, 0, 0));
    dc.FillSolidRect(Rect(3, 3, 4, 4), RGB(9, 9, 9));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool in = x / 2 == 3 && y / 2 == 3;
            ASSERT_EQ(bmp.Image().pixel(x, y) == qRgb(9, 9, 9), in) << x << "," << y;
        }
}

TEST_F(LayerTest, DrawTextMeasuresLinesPrefixesAndPlacement) {
    ui::Font f;
    f.CreateFont(12, 0, 0, 0, 500, false, false, false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    ui::Dc dc = ui::Dc::ForMeasure();
    dc.SelectFont(&f);
    Rect r(10, 10, 10, 10);
    EXPECT_EQ(dc.DrawText("一\n二行\n三", r, ui::DT_CALCRECT), 36);
    EXPECT_EQ(r, Rect(10, 10, 10 + dc.GetTextExtent("二行").cx, 46));
    Rect p(0, 0, 0, 0);
    dc.DrawText("&File && more", p, ui::DT_CALCRECT | ui::DT_SINGLELINE);
    EXPECT_EQ(p.Width(), dc.GetTextExtent("File & more").cx);
    Rect q(0, 0, 0, 0);
    dc.DrawText("&File", q, ui::DT_CALCRECT | ui::DT_SINGLELINE | ui::DT_NOPREFIX);
    EXPECT_EQ(q.Width(), dc.GetTextExtent("&File").cx);
    // Word breaking keeps lines inside the rectangle.
    Rect wrap(0, 0, dc.GetTextExtent("あいう").cx, 0);
    EXPECT_EQ(dc.DrawText("あいうえおかき", wrap, ui::DT_CALCRECT | ui::DT_WORDBREAK), 36);

    // Centred single line: the ink lies around the middle of the rectangle.
    ui::Bitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(100, 30));
    ui::Dc d(bmp);
    d.FillSolidRect(Rect(0, 0, 100, 30), RGB(255, 255, 255));
    d.SelectFont(&f);
    d.SetBkMode(ui::TRANSPARENT);
    d.DrawText("■", Rect(0, 0, 100, 30), ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
    EXPECT_EQ(bmp.GetPixel(50, 15), RGB(0, 0, 0));
    EXPECT_EQ(bmp.GetPixel(30, 15), RGB(255, 255, 255));
    // Opaque mode fills the text's cell with the background colour.
    d.SetBkMode(ui::OPAQUE);
    d.SetBkColor(RGB(0, 0, 200));
    d.TextOut(70, 2, " ");
    EXPECT_EQ(bmp.GetPixel(70, 2), RGB(0, 0, 200));
    EXPECT_EQ(bmp.GetPixel(70, 13), RGB(0, 0, 200));
    EXPECT_EQ(bmp.GetPixel(70, 14), RGB(255, 255, 255));
}

TEST_F(LayerTest, TextGoesIntoBitmapObjectsThroughTheInstalledRenderer) {
    ASSERT_NE(MbBmp::CControlBmp::GetTextRenderer(), nullptr);
    ui::Font f;
    f.CreateFont(16, 0, 0, 0, 500, false, false, false, 128, 0, 0, 0, 0, "ＭＳ ゴシック");
    for (int bits : {24, 32}) {
        MbBmp::CControlBmp bmp;
        ASSERT_TRUE(bmp.CreateBitmap(60, 30, bits));
        bmp.FillRect(0, 0, 60, 30, RGB(255, 255, 255));
        MbBmp::RECT rc{10, 5, 30, 25};
        int h = bmp.DrawTextA("■■■", &rc, RGB(200, 0, 0), &f, ui::DT_LEFT | ui::DT_SINGLELINE);
        EXPECT_EQ(h, 16);
        int inside = 0;
        int outside = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 60; ++x) {
                bool hit = bmp.GetPixelColor(x, y) != RGB(255, 255, 255);
                bool in = x >= 10 && x < 30 && y >= 5 && y < 25;
                (in ? inside : outside) += hit;
            }
        EXPECT_GT(inside, 30) << bits;
        EXPECT_EQ(outside, 0) << bits;  // clipped to the rectangle
        EXPECT_EQ(bmp.GetPixelColor(14, 14), RGB(200, 0, 0));
    }
    MbBmp::CControlBmp grey;
    ASSERT_TRUE(grey.CreateBitmap(40, 20, 8));
    MbBmp::RECT rc{0, 0, 40, 20};
    grey.DrawTextA("■", &rc, 7, &f, ui::DT_LEFT | ui::DT_SINGLELINE);
    EXPECT_EQ(grey.GetPixelIndex(6, 8), 7);
    EXPECT_EQ(grey.GetPixelIndex(35, 8), 0);
    // Measuring gives the extent and draws nothing.
    MbBmp::RECT calc{0, 0, 0, 0};
    grey.DrawTextA("ab\ncd", &calc, 1, &f, ui::DT_CALCRECT);
    EXPECT_EQ(calc.bottom, 32);
}

TEST_F(LayerTest, ADeviceContextOverABitmapObjectWritesItsRowsBack) {
    MbBmp::CControlBmp bmp;
    ASSERT_TRUE(bmp.CreateBitmap(5, 4, 24));
    {
        ui::Dc dc(bmp);
        ASSERT_FALSE(dc.IsNull());
        dc.FillSolidRect(Rect(0, 0, 5, 1), RGB(10, 20, 30));
        dc.SetPixel(4, 3, RGB(1, 2, 3));
    }
    EXPECT_EQ(bmp.GetPixelColor(2, 0), RGB(10, 20, 30));
    EXPECT_EQ(bmp.GetPixelColor(4, 3), RGB(1, 2, 3));
    EXPECT_EQ(bmp.GetPixelColor(2, 1), RGB(0, 0, 0));
    MbBmp::CControlBmp pal;
    ASSERT_TRUE(pal.CreateBitmap(5, 4, 8));
    EXPECT_TRUE(ui::Dc(pal).IsNull());
}

TEST_F(LayerTest, SmallNumbersFollowTheirWidthModel) {
    const std::pair<int, int> widths[] = {{0, 6}, {1, 5}, {11, 9}, {123, 15}, {-5, 11}, {1000, 20}};
    for (auto [n, w] : widths)
        EXPECT_EQ(MbMisc::CDrawSmallNumber::NumberWidth(n), w) << n;
    ui::Bitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(30, 12));
    ui::Dc dc(bmp);
    dc.FillSolidRect(Rect(0, 0, 30, 12), RGB(0, 0, 255));
    MbMisc::CDrawSmallNumber num;
    num.SetColor(RGB(255, 255, 255), RGB(0, 0, 0));
    num.DrawNumber(dc, Point(2, 2), 10);
    // Everything drawn lies in the number's box; the '1' has its ink and outline where expected.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 30; ++x) {
            bool in = x >= 2 && x < 2 + 10 && y >= 2 && y < 2 + 8;
            if (!in) {
                ASSERT_EQ(bmp.GetPixel(x, y), RGB(0, 0, 255)) << x << "," << y;
            }
        }
    EXPECT_EQ(bmp.GetPixel(2 + 2, 2 + 1), RGB(255, 255, 255));  // the top of the '1'
    EXPECT_EQ(bmp.GetPixel(2 + 1, 2 + 1), RGB(0, 0, 0));        // its outline
    MbMisc::CDrawSmallNumber copy = num;
    EXPECT_EQ(copy.GetDigitColor(), RGB(255, 255, 255));
    EXPECT_EQ(copy.GetSecondColor(), RGB(0, 0, 0));
}

// A dialog with an edit box, a check box and two push buttons, all from a template.
class FormDialog : public ui::Dialog {
public:
    FormDialog() : Dialog(Template()) {}
    static ui::DialogTemplate Template() {
        ui::DialogTemplate t;
        t.caption = "フォーム";
        t.cx = 160;
        t.cy = 80;
        t.items = {
            {-1, ui::ControlKind::Static, "名前:", 7, 9, 30, 8, ui::SS_LEFT, 0},
            {1001, ui::ControlKind::Edit, "", 40, 7, 100, 12, ui::WS_TABSTOP | ui::ES_AUTOHSCROLL,
             ui::WS_EX_CLIENTEDGE},
            {1002, ui::ControlKind::Button, "毎月", 40, 25, 60, 10, ui::WS_TABSTOP | ui::BS_AUTOCHECKBOX, 0},
            {1003, ui::ControlKind::Edit, "", 40, 40, 40, 12, ui::WS_TABSTOP, ui::WS_EX_CLIENTEDGE},
            {ui::IDOK, ui::ControlKind::Button, "OK", 40, 60, 40, 14, ui::WS_TABSTOP | ui::BS_DEFPUSHBUTTON,
             0},
            {ui::IDCANCEL, ui::ControlKind::Button, "取消", 90, 60, 40, 14, ui::WS_TABSTOP, 0},
        };
        return t;
    }
    void DoDataExchange(ui::DataExchange& dx) override {
        ui::DDX_Text(dx, 1001, name);
        ui::DDX_Check(dx, 1002, monthly);
        ui::DDX_Text(dx, 1003, count);
    }
    std::string name = "初期";
    int monthly = 0;
    int count = 3;
};

TEST_F(LayerTest, DialogsExchangeValuesAndWalkTheTabStops) {
    FormDialog dlg;
    Script().OnDialog([](ui::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "フォーム");
        EXPECT_EQ(d.GetDlgItem(1001)->GetWindowText(), "初期");
        EXPECT_EQ(ui::Wnd::GetFocus(), d.GetDlgItem(1001));  // the first tab stop
        ui::test::PressKey(d, ui::VK_TAB);
        EXPECT_EQ(ui::Wnd::GetFocus(), d.GetDlgItem(1002));
        ui::test::PressKey(d, ui::VK_TAB, Qt::ShiftModifier);
        EXPECT_EQ(ui::Wnd::GetFocus(), d.GetDlgItem(1001));
        auto* edit = dynamic_cast<ui::Edit*>(d.GetDlgItem(1001));
        ASSERT_NE(edit, nullptr);
        edit->SetSel(0, -1);
        ui::test::TypeText(d, "織田");
        EXPECT_EQ(edit->GetWindowText(), "織田");
        EXPECT_TRUE(ui::test::ClickControl(d, 1002));
        ui::test::TypeIntoControl(d, 1003, "2");
        // Enter in an edit box presses the default button.
        d.GetDlgItem(1001)->SetFocus();
        ui::test::PressKey(d, ui::VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(dlg.name, "織田");
    EXPECT_EQ(dlg.monthly, 1);
    EXPECT_EQ(dlg.count, 32);
}

TEST_F(LayerTest, AModelessDialogCanLiveAsAChildWindow) {
    HostWindow host;
    ASSERT_TRUE(host.Open(400, 300));
    ui::DialogTemplate t = FormDialog::Template();
    t.style = ui::WS_CHILD | ui::WS_VISIBLE;
    t.x = 10;
    t.y = 20;
    ui::Dialog panel(t);
    ASSERT_TRUE(panel.CreateModeless(&host));
    EXPECT_EQ(panel.GetParent(), &host);
    EXPECT_TRUE(panel.IsWindowVisible());
    Rect r = panel.GetWindowRect();
    host.ScreenToClient(r);
    EXPECT_EQ(r.TopLeft(), Point(panel.MapDialogRect(Rect(10, 20, 0, 0)).left,
                                 panel.MapDialogRect(Rect(10, 20, 0, 0)).top));
    ASSERT_NE(panel.GetDlgItem(1001), nullptr);
    // No loop runs: the rest of the program goes on, and Escape only hides the panel.
    ui::test::PressKey(panel, ui::VK_ESCAPE);
    EXPECT_TRUE(panel.IsEnded());
    EXPECT_FALSE(panel.IsWindowVisible());
    EXPECT_TRUE(panel.IsWindow());
}

TEST_F(LayerTest, ABadNumberKeepsTheDialogOpen) {
    FormDialog dlg;
    Script().OnDialog([](ui::Dialog& d) {
        d.GetDlgItem(1003)->SetWindowText("x");
        ui::test::ClickControl(d, ui::IDOK);
        EXPECT_FALSE(d.IsEnded());
        ui::test::ClickControl(d, ui::IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
    EXPECT_EQ(dlg.count, 3);
}

class TimerWnd : public ui::Wnd {
public:
    void OnTimer(int id) override {
        ticks.push_back(id);
        if (id == 1) SetTimer(1, 70);  // a one-shot timer re-armed by its tick
        KillTimer(id == 1 ? 99 : id);
    }
    std::vector<int> ticks;
};

TEST_F(LayerTest, TimersWaitForTheScriptWhileOneIsInstalled) {
    HostWindow host;
    ASSERT_TRUE(host.Open(50, 50));
    TimerWnd w;
    ASSERT_TRUE(w.Create(ui::WS_CHILD | ui::WS_VISIBLE, Rect(0, 0, 10, 10), &host, 3));
    w.SetTimer(1, 50);
    w.SetTimer(2, 10);
    ui::Sleep(30);
    EXPECT_TRUE(w.ticks.empty());
    EXPECT_TRUE(ui::test::FireTimer(w, 1));
    EXPECT_TRUE(w.HasTimer(1));
    EXPECT_TRUE(ui::test::FireTimer(w, 2));
    EXPECT_FALSE(w.HasTimer(2));
    EXPECT_FALSE(ui::test::FireTimer(w, 2));
    EXPECT_EQ(w.ticks, (std::vector<int>{1, 2}));
    w.DestroyWindow();
    EXPECT_FALSE(ui::test::FireTimer(w, 1));
}

TEST_F(LayerTest, WithoutAScriptBoxesWaitInTheirOwnLoopAndTimersRun) {
    script_.reset();  // as with a person at the screen
    bool fallback = false;
    QTimer::singleShot(20, [] {
        if (ui::Wnd* f = ui::Wnd::GetFocus()) ui::test::PressKey(*f, ui::VK_ESCAPE);
    });
    // Should the key not arrive, the box is closed from its frame instead of waiting forever (after
    // ten minutes: a busy machine may be slow to deliver it). The timer ends with the test.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&fallback] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            fallback = true;
            w->close();
        }
    });
    guard.start(600000);
    EXPECT_EQ(MbMsgBoxYesNo("待っています", false), ui::IDNO);
    EXPECT_FALSE(fallback);

    HostWindow host;
    ASSERT_TRUE(host.Open(20, 20));
    TimerWnd w;
    ASSERT_TRUE(w.Create(ui::WS_CHILD | ui::WS_VISIBLE, Rect(0, 0, 10, 10), &host, 3));
    w.SetTimer(2, 5);
    QElapsedTimer clock;
    clock.start();
    while (w.ticks.empty() && clock.elapsed() < 600000)
        ui::Sleep(5);
    EXPECT_EQ(w.ticks, std::vector<int>{2});
    EXPECT_FALSE(w.HasTimer(2));
}

TEST_F(LayerTest, SettingsAreKeptBySectionAndEntry) {
    std::string path = (std::filesystem::temp_directory_path() / "rymd_gui_settings_test.ini").string();
    std::filesystem::remove(path);
    ui::Profile::UseFile(path);
    EXPECT_EQ(ui::Profile::GetProfileInt("Window", "Left", -1), -1);
    EXPECT_TRUE(ui::Profile::WriteProfileInt("Window", "Left", 120));
    EXPECT_TRUE(ui::Profile::WriteProfileString("Settings", "MusicNormal", "夕暮れ.mp3"));
    ui::Profile::Flush();
    ui::Profile::UseFile(path);  // read again from the file
    EXPECT_EQ(ui::Profile::GetProfileInt("Window", "Left", -1), 120);
    EXPECT_EQ(ui::Profile::GetProfileString("Settings", "MusicNormal"), "夕暮れ.mp3");
    EXPECT_EQ(ui::Profile::GetProfileString("Settings", "Missing", "既定"), "既定");
    ui::Profile::UseFile("");
    std::filesystem::remove(path);
}

TEST_F(LayerTest, TheClipboardHoldsUtf8Text) {
    EXPECT_TRUE(ui::SetClipboardText("武将\r\n一覧"));
    EXPECT_EQ(ui::GetClipboardText().value_or(""), "武将\r\n一覧");
    ui::test::SetClipboardAvailable(false);
    EXPECT_FALSE(ui::SetClipboardText("x"));
    EXPECT_FALSE(ui::GetClipboardText().has_value());
}

TEST_F(LayerTest, FileDialogsAreAnsweredFromTheScript) {
    Script().ChooseFile(std::string("/tmp/a.rsd"));
    Script().ChooseFile(std::nullopt);
    EXPECT_EQ(ui::GetOpenFileName(nullptr, "開く", "Save (*.rsd)|*.rsd||", "/tmp").value_or(""),
              "/tmp/a.rsd");
    EXPECT_FALSE(ui::GetSaveFileName(nullptr, "保存", "Save (*.rsd)|*.rsd||", "/tmp", "rsd").has_value());
}

// Each filter shows its patterns once: a label that already ends in them keeps its own.
TEST_F(LayerTest, FileDialogFiltersNameTheirPatternsOnce) {
    const struct {
        const char* filter;
        const char* qt;
    } cases[] = {
        {"Scenario Files (*.snr)|*.snr||", "Scenario Files (*.snr)"},
        {"Ryuumonden Save Data Files (*.rsd)|*.rsd||", "Ryuumonden Save Data Files (*.rsd)"},
        {"Scenario Files|*.snr||", "Scenario Files (*.snr)"},
        {"Pictures (*.bmp;*.jpg)|*.bmp;*.jpg|All (*.*)|*.*||", "Pictures (*.bmp *.jpg);;All (*.*)"},
        {"Pictures (*.bmp)|*.bmp;*.jpg||", "Pictures (*.bmp) (*.bmp *.jpg)"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ui::FileDialogFilters(c.filter), c.qt) << c.filter;
}

// A 2 x 2 bottom-up 8-bit DIB: bottom row red, green; top row blue, white.
std::vector<std::uint8_t> SmallDib(int height = 2) {
    std::vector<std::uint8_t> d(40 + 4 * 4 + 2 * 4, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put32(0, 40);
    put32(4, 2);
    put32(8, static_cast<std::uint32_t>(height));
    d[12] = 1;
    d[14] = 8;
    put32(32, 4);
    const std::uint8_t table[4][4] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
    for (int i = 0; i < 4; ++i)
        std::copy(table[i], table[i] + 4, d.begin() + 40 + 4 * i);
    d[56] = 0;  // first stored row
    d[57] = 1;
    d[60] = 2;  // second stored row
    d[61] = 3;
    return d;
}

TEST_F(LayerTest, DibsAndBitmapObjectsAreBlittedWithTheirRowsInOrder) {
    ui::Bitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(10, 6));
    ui::Dc dc(bmp);
    dc.FillSolidRect(Rect(0, 0, 10, 6), RGB(9, 9, 9));
    const auto dib = SmallDib();
    EXPECT_TRUE(ui::DibBlt(dc, 0, 0, 2, 2, dib, 0, 0));
    EXPECT_EQ(Rgb(bmp.GetPixel(0, 0)), Rgb(RGB(0, 0, 255)));
    EXPECT_EQ(Rgb(bmp.GetPixel(1, 0)), Rgb(RGB(255, 255, 255)));
    EXPECT_EQ(Rgb(bmp.GetPixel(0, 1)), Rgb(RGB(255, 0, 0)));
    EXPECT_EQ(Rgb(bmp.GetPixel(1, 1)), Rgb(RGB(0, 255, 0)));
    // Rows of a bottom-up DIB count from its bottom edge: sy 1 is the top row.
    EXPECT_TRUE(ui::DibBlt(dc, 4, 0, 2, 1, dib, 0, 1));
    EXPECT_EQ(Rgb(bmp.GetPixel(4, 0)), Rgb(RGB(0, 0, 255)));
    // A top-down DIB counts from its top.
    EXPECT_TRUE(ui::DibBlt(dc, 4, 1, 2, 1, SmallDib(-2), 0, 0));
    EXPECT_EQ(Rgb(bmp.GetPixel(4, 1)), Rgb(RGB(255, 0, 0)));
    EXPECT_TRUE(ui::StretchDibBlt(dc, 6, 0, 4, 4, dib, 0, 0, 2, 2));
    EXPECT_EQ(Rgb(bmp.GetPixel(7, 1)), Rgb(RGB(0, 0, 255)));
    EXPECT_EQ(Rgb(bmp.GetPixel(9, 3)), Rgb(RGB(0, 255, 0)));
    EXPECT_TRUE(ui::DibBlt(dc, 0, 4, 3, 2, {}, 0, 0, ui::BLACKNESS));
    EXPECT_EQ(Rgb(bmp.GetPixel(2, 5)), Rgb(RGB(0, 0, 0)));
    auto cut = dib;
    cut.resize(58);
    EXPECT_FALSE(ui::DibBlt(dc, 0, 0, 2, 2, cut, 0, 0));
    EXPECT_FALSE(ui::DibBlt(dc, 0, 0, 2, 2, {1, 2, 3}, 0, 0));
    MbBmp::CControlBmp obj;
    ASSERT_TRUE(obj.CreateBitmap(2, 1, 24));
    obj.SetPixelColor(1, 0, RGB(1, 2, 3));
    EXPECT_TRUE(ui::DrawBitmap(dc, 3, 3, obj.GetHbmp()));
    EXPECT_EQ(Rgb(bmp.GetPixel(4, 3)), Rgb(RGB(1, 2, 3)));
    EXPECT_FALSE(ui::DrawBitmap(dc, 3, 3, nullptr));
}

// A bitmap object drawn whole, from an offset, past its edges and through a clip shows each pixel
// where it belongs and nothing outside the clip; every pixel depth, widths that are no multiple of 4.
TEST_F(LayerTest, BitmapObjectsAreDrawnPixelForPixelInsideTheClip) {
    const MbBmp::RGBQUAD pal[2] = {MbBmp::RGBQUAD{10, 20, 30, 0}, MbBmp::RGBQUAD{200, 100, 50, 0}};
    for (const int bits : {8, 24, 32}) {
        MbBmp::CControlBmp obj;
        ASSERT_TRUE(bits == 8 ? obj.CreateBitmap(7, 5, 8, 2, pal) : obj.CreateBitmap(7, 5, bits));
        auto colourAt = [&](int x, int y) {
            return bits == 8 ? ((x + y) % 2 ? RGB(50, 100, 200) : RGB(30, 20, 10))
                             : RGB(x * 30 + 1, y * 40 + 2, x * 5 + y * 7 + 3);
        };
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                obj.SetPixelColor(x, y, bits == 8 ? static_cast<ui::COLORREF>((x + y) % 2) : colourAt(x, y));
        struct Case {
            int x, y, w, h, sx, sy;
            std::optional<Rect> clip;
        };
        const Case cases[] = {{1, 1, 7, 5, 0, 0, std::nullopt},
                              {0, 0, 6, 4, 1, 1, std::nullopt},
                              {2, 2, 9, 9, -1, -2, std::nullopt},
                              {1, 1, 7, 5, 0, 0, Rect(3, 2, 6, 5)},
                              {1, 1, 7, 5, 0, 0, Rect(20, 20, 25, 25)}};
        for (const Case& c : cases) {
            ui::Bitmap bmp;
            ASSERT_TRUE(bmp.CreateBitmap(12, 10));
            ui::Dc dc(bmp);
            const ui::COLORREF ground = RGB(9, 9, 9);
            dc.FillSolidRect(Rect(0, 0, 12, 10), ground);
            if (c.clip) dc.IntersectClipRect(*c.clip);
            dc.DrawControlBmp(c.x, c.y, c.w, c.h, obj, c.sx, c.sy);
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 12; ++x) {
                    const int ox = x - c.x + c.sx, oy = y - c.y + c.sy;
                    const bool inside = x >= c.x && x < c.x + c.w && y >= c.y && y < c.y + c.h && ox >= 0 &&
                                        ox < 7 && oy >= 0 && oy < 5 &&
                                        (!c.clip || c.clip->PtInRect(Point(x, y)));
                    EXPECT_EQ(Rgb(bmp.GetPixel(x, y)), Rgb(inside ? colourAt(ox, oy) : ground))
                        << bits << " bits, case " << (&c - cases) << " at " << x << "," << y;
                }
        }
    }
}

class NotifyParent : public HostWindow {
public:
    bool OnNotify(int id, ui::NotifyHeader* h, std::intptr_t* result) override {
        codes.push_back(h->code);
        *result = 42;
        return true;
    }
    std::vector<int> codes;
};

TEST_F(LayerTest, NotificationsReachTheParentWithTheirRecord) {
    NotifyParent p;
    ASSERT_TRUE(p.Open(50, 50));
    ui::Wnd child;
    ASSERT_TRUE(child.Create(ui::WS_CHILD | ui::WS_VISIBLE, Rect(0, 0, 10, 10), &p, 2001));
    struct Record {
        ui::NotifyHeader hdr;
        int extra;
    } rec{{&child, 2001, ui::NM_RCLICK}, 5};
    EXPECT_EQ(ui::Wnd::SendNotify(child.GetParent(), &rec.hdr), 42);
    EXPECT_EQ(p.codes, std::vector<int>{ui::NM_RCLICK});
    EXPECT_EQ(p.GetDlgItem(2001), &child);
}

}  // namespace
}  // namespace rymd::gui_test

namespace rymd::gui_test {
namespace {

// A dialog with a drop-down list in its template.
class ChoiceDialog : public ui::Dialog {
public:
    ChoiceDialog() : Dialog(Tmpl()) {}
    static ui::DialogTemplate Tmpl() {
        ui::DialogTemplate t;
        t.caption = "選択";
        t.cx = 120;
        t.cy = 60;
        t.items = {
            {1100, ui::ControlKind::ComboBox, "", 7, 7, 80, 100, ui::WS_TABSTOP | ui::CBS_DROPDOWNLIST, 0},
            {ui::IDOK, ui::ControlKind::Button, "OK", 7, 40, 40, 14, ui::WS_TABSTOP, 0}};
        return t;
    }
    bool OnInitDialog() override {
        Dialog::OnInitDialog();
        auto* c = dynamic_cast<ui::ComboBox*>(GetDlgItem(1100));
        if (!c) return false;
        for (const char* s : {"足軽", "騎馬", "鉄砲"})
            c->AddString(s);
        c->SetCurSel(1);
        return true;
    }
    bool OnCommand(int id, int code, ui::Wnd* from) override {
        if (id == 1100) codes.push_back(code);
        return Dialog::OnCommand(id, code, from);
    }
    std::vector<int> codes;
};

TEST_F(LayerTest, ATemplatesDropDownListTellsItsCloseUp) {
    ChoiceDialog dlg;
    Script().OnDialog([](ui::Dialog& d) {
        auto* c = dynamic_cast<ui::ComboBox*>(d.GetDlgItem(1100));
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->GetCount(), 3);
        EXPECT_EQ(c->GetCurSel(), 1);
        EXPECT_EQ(c->GetLBText(2), "鉄砲");
        EXPECT_EQ(c->GetLBText(3), "");
        // The closed field is one line high, not the list's height.
        EXPECT_LT(c->GetWindowRect().Height(), 40);
        c->ShowDropDown(true);
        EXPECT_TRUE(c->GetDroppedState());
        c->SetCurSel(2);
        c->ShowDropDown(false);
        EXPECT_FALSE(c->GetDroppedState());
        EXPECT_EQ(c->SetCurSel(7), -1);
        EXPECT_EQ(c->GetCurSel(), -1);
        d.EndDialog(ui::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), ui::IDOK);
    EXPECT_EQ(dlg.codes, std::vector<int>{ui::CBN_CLOSEUP});
}

// A menu bar lies above the client area: the client shrinks by its height, children keep their
// client coordinates, and a chosen item is the window's command; the items are read as the menu
// opens.
TEST_F(GuiTest, MenuBarAboveTheClientAreaSendsItsCommands) {
    HostWindow w;
    ASSERT_TRUE(w.Open(300, 200));
    const ui::Rect before = w.GetClientRect();
    auto menu = std::make_shared<ui::Menu>();
    menu->CreatePopupMenu();
    menu->AppendMenu(ui::MF_STRING, 501, "開く(&O)");
    ui::SetMenuBar(w, {{"ﾌｧｲﾙ(&F)", menu}});
    EXPECT_EQ(ui::MenuBarTexts(w), std::vector<std::string>{"ﾌｧｲﾙ(&F)"});
    auto* bar = w.GetWidget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    const int mh = bar->sizeHint().height();
    ASSERT_GT(mh, 0);
    EXPECT_EQ(w.GetClientRect(), ui::Rect(0, 0, before.Width(), before.Height() - mh));
    ui::Point origin(0, 0);
    w.ClientToScreen(origin);
    EXPECT_EQ(origin.y - w.GetWindowRect().top, mh);

    menu->AppendMenu(ui::MF_STRING | ui::MF_GRAYED, 502, "保存(&S)");
    QMenu* popup = bar->actions()[0]->menu();
    ASSERT_NE(popup, nullptr);
    Q_EMIT popup->aboutToShow();
    ASSERT_EQ(popup->actions().size(), 2);
    EXPECT_FALSE(popup->actions()[1]->isEnabled()) << "greyed when it opens";
    popup->actions()[0]->trigger();
    ASSERT_EQ(w.commands.size(), 1u);
    EXPECT_EQ(w.commands[0].id, 501);
}

// The item under the cursor goes to the window as it moves through the menus, submenus included,
// and 0 when the menu closes; the submenus are made again each time the menu opens.
TEST_F(GuiTest, MenuBarTellsTheWindowTheItemUnderTheCursor) {
    struct HoverWindow : HostWindow {
        void OnMenuSelect(unsigned item) override { hovered.push_back(item); }
        std::vector<unsigned> hovered;
    } w;
    ASSERT_TRUE(w.Open(300, 200));
    auto sub = std::make_shared<ui::Menu>();
    sub->CreatePopupMenu();
    sub->AppendMenu(ui::MF_STRING, 3004, "尾張");
    auto menu = std::make_shared<ui::Menu>();
    menu->CreatePopupMenu();
    menu->AppendMenu(ui::MF_STRING, 4007, "清洲城");
    menu->AppendMenu(ui::MF_SEPARATOR);
    menu->AppendPopup(ui::MF_POPUP, sub, "東海");
    ui::SetMenuBar(w, {{"城", menu}});
    auto* bar = w.GetWidget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QMenu* popup = bar->actions()[0]->menu();
    ASSERT_NE(popup, nullptr);
    for (int opening = 0; opening < 2; ++opening) {
        w.hovered.clear();
        Q_EMIT popup->aboutToShow();
        ASSERT_EQ(popup->actions().size(), 3);
        EXPECT_EQ(popup->findChildren<QMenu*>(Qt::FindDirectChildrenOnly).size(), 1) << "opening " << opening;
        popup->actions()[0]->hover();
        popup->actions()[2]->hover();
        QMenu* region = popup->actions()[2]->menu();
        ASSERT_NE(region, nullptr);
        ASSERT_EQ(region->actions().size(), 1);
        region->actions()[0]->hover();
        Q_EMIT popup->aboutToHide();
        ASSERT_GE(w.hovered.size(), 4u);
        EXPECT_EQ(w.hovered[0], 4007u);
        EXPECT_EQ(w.hovered[1], 0u) << "a submenu's own item has no command";
        EXPECT_EQ(w.hovered[w.hovered.size() - 2], 3004u);
        EXPECT_EQ(w.hovered.back(), 0u) << "closing the menu";
    }
}

// A menu that is empty when it opens (the castle menu on the country map) shows one blank, greyed
// line, so that it has a size to be shown with and closes as any menu does; the next opening shows
// the items it has then.
TEST_F(GuiTest, AMenuOpenedEmptyOpensAgainWithItsItems) {
    HostWindow w;
    ASSERT_TRUE(w.Open(300, 200));
    auto menu = std::make_shared<ui::Menu>();
    menu->CreatePopupMenu();
    ui::SetMenuBar(w, {{"城情報(&C)", menu}});
    auto* bar = w.GetWidget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    QAction* top = bar->actions()[0];
    QMenu* popup = top->menu();
    ASSERT_NE(popup, nullptr);
    bar->setActiveAction(top);
    ui::test::ProcessEvents();
    ASSERT_TRUE(popup->isVisible());
    EXPECT_FALSE(popup->size().isEmpty()) << "an empty popup is never shown and never closes";
    ASSERT_EQ(popup->actions().size(), 1);
    EXPECT_TRUE(popup->actions()[0]->text().isEmpty());
    EXPECT_FALSE(popup->actions()[0]->isEnabled());
    popup->close();
    ui::test::ProcessEvents();

    menu->AppendMenu(ui::MF_STRING, 4001, "清洲城(&1)");
    bar->setActiveAction(top);
    ui::test::ProcessEvents();
    ASSERT_TRUE(popup->isVisible());
    ASSERT_EQ(popup->actions().size(), 1);
    EXPECT_EQ(popup->actions()[0]->text().toStdString(), "清洲城(&1)");
    popup->actions()[0]->trigger();
    ASSERT_EQ(w.commands.size(), 1u);
    EXPECT_EQ(w.commands[0].id, 4001);
    popup->close();
}

}  // namespace
}  // namespace rymd::gui_test
