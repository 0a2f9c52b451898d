// The gallery: a picture of every control in every state, written to the build folder (at 100 %
// and, for the ones with text, at 200 %) for people to look at.
#include <filesystem>

#include "game/shell/dialogs/events/event_input_dlg.h"
#include "game/shell/dialogs/events/event_msg_dlg.h"
#include "game/shell/dialogs/military/kassen_result_dlg.h"
#include "gui_test_util.h"
#include "mbbmp/control_bmp.h"
#include "mbwnd/cell_ctrl.h"
#include "mbwnd/display_board.h"
#include "mbwnd/draw_small_number.h"
#include "mbwnd/multi_text_ctrl.h"
#include "mbwnd/scroll_wnd.h"
#include "mbwnd/texture_button.h"
#include "platform/qt/controls.h"
#include "platform/qt/font.h"

namespace rymd::gui_test {
namespace {

using ui::RGB;

class GalleryTest : public GuiTest {
protected:
    void Save(ui::Wnd& w, const std::string& name, bool twice = false) {
        std::string path = GalleryPath(name);
        EXPECT_TRUE(ui::test::GrabToPng(w, path)) << path;
        EXPECT_TRUE(std::filesystem::file_size(path) > 0);
        if (twice) {
            EXPECT_TRUE(ui::test::GrabToPng(w, GalleryPath(name + "@2x"), 2.0));
        }
    }
};

TEST_F(GalleryTest, MessageBoxes) {
    const char* text = "城を明け渡しますか？\n兵糧は残り３か月分です。";
    for (int style : {0, 1, 2}) {
        SetMsgBoxStyle(style);
        const std::string s = "msgbox_style" + std::to_string(style);
        Script().OnDialog([&](ui::Dialog& d) {
            Save(d, s + "_ok", style == 1);
            d.EndDialog(ui::IDOK);
        });
        MbMsgBox("合戦に勝利しました。");
        Script().OnDialog([&](ui::Dialog& d) {
            Save(d, s + "_okcancel");
            d.EndDialog(ui::IDOK);
        });
        MbMsgBoxOkCancel(text, false);
        Script().OnDialog([&](ui::Dialog& d) {
            Save(d, s + "_yesno_focus_second", style == 1);
            d.EndDialog(ui::IDNO);
        });
        MbMsgBoxYesNo(text, true);
    }
    SetMsgBoxStyle(1);
    Script().OnDialog([&](ui::Dialog& d) {
        Save(d, "msgbox_style1_empty");
        d.EndDialog(ui::IDOK);
    });
    MbMsgBox("");
}

TEST_F(GalleryTest, GradationButtons) {
    MbWnd::CGradationButton::SetFocusDisp(true, RGB(220, 100, 30));
    HostWindow host;
    ASSERT_TRUE(host.Open(120, 40));
    ui::Font font;
    font.CreatePointFont(90, "ＭＳ Ｐゴシック");
    struct State {
        const char* name;
        int kind;  // 0 normal, 1 pushed, 2 focused, 3 disabled
    } states[] = {{"normal", 0}, {"pushed", 1}, {"focused", 2}, {"disabled", 3}};
    for (const State& st : states) {
        MbWnd::CGradationButton b;
        ASSERT_TRUE(b.Create("出陣", ui::WS_CHILD | ui::WS_VISIBLE | ui::BS_OWNERDRAW, Rect(10, 8, 98, 30),
                             &host, 1));
        b.SetFont(&font);
        if (st.kind == 1) {
            MbWnd::CGradationButton::SetFocusDisp(false, RGB(220, 100, 30));
            ui::test::MouseDown(b, Point(20, 10));
        }
        if (st.kind == 2) {
            b.SetFocusedColor(RGB(255, 245, 225), RGB(225, 170, 110));
            b.SetFocus();
        }
        if (st.kind == 3) b.EnableWindow(false);
        Save(b, std::string("gradation_button_") + st.name, true);
        if (st.kind == 1) {
            ui::test::MouseUp(b, Point(-50, -50));
            MbWnd::CGradationButton::SetFocusDisp(true, RGB(220, 100, 30));
        }
    }
}

TEST_F(GalleryTest, DisplayBoards) {
    HostWindow host;
    ASSERT_TRUE(host.Open(240, 60));
    ui::Font font;
    font.CreateFont(16, 0, 0, 0, 600, false, false, false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    struct Look {
        const char* name;
        int kind;
    } looks[] = {{"fresh", 0},      {"solid_sunken", 1}, {"vertical", 2},      {"vertical_stripes", 3},
                 {"horizontal", 4}, {"inside_frame", 5}, {"caption_shadow", 6}};
    for (const Look& l : looks) {
        for (bool twice : {false, true}) {
            if (twice && l.kind != 6 && l.kind != 2) continue;
            ui::Bitmap::SetScreenPixelRatio(twice ? 2.0 : 0.0);
            MbWnd::CDisplayBoard b;
            ASSERT_TRUE(b.Create(Rect(10, 10, 210, 44), &host));
            b.SetFont(&font);
            switch (l.kind) {
                case 1:
                    b.SetBackColor(RGB(60, 90, 140), true);
                    b.SetSinkMode(true);
                    break;
                case 2: b.SetBackColorVertGradation(RGB(250, 240, 210), RGB(190, 160, 110), true); break;
                case 3:
                    b.SetBackColorVertGradation(RGB(90, 110, 160), RGB(30, 40, 80), true);
                    b.SetStripeMode(true);
                    break;
                case 4: b.SetBackColorHorzGradation(RGB(120, 20, 20), RGB(240, 200, 120), true); break;
                case 5:
                    b.SetBackColor(RGB(230, 225, 210), false);
                    b.SetInsideFrameMode(true);
                    break;
                case 6:
                    b.SetBackColorVertGradation(RGB(70, 40, 20), RGB(150, 100, 60), true);
                    b.SetTextColor(RGB(255, 240, 200));
                    b.SetTextShadowMode(true);
                    b.SetUnderLineMode(true);
                    b.SetUnderLineColor(RGB(230, 200, 120));
                    break;
                default: break;
            }
            b.ClearBoard();
            if (l.kind >= 2) {
                Rect r(8, 2, 192, 32);
                const char* text = l.kind == 6 ? "天文十九年 春 ― 織田家" : "表示板";
                b.DrawTextA(text, &r, ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
            }
            b.Invalidate();
            if (twice)
                EXPECT_TRUE(
                    ui::test::GrabToPng(b, GalleryPath(std::string("display_board_") + l.name + "@2x"), 2.0));
            else
                Save(b, std::string("display_board_") + l.name);
        }
    }
    ui::Bitmap::SetScreenPixelRatio(0);
}

// A parent that tiles the texture from its own origin, as the start menu does.
class TexturedParent : public HostWindow {
public:
    bool OnEraseBkgnd(ui::Dc& dc) override {
        Rect c = GetClientRect();
        for (int y = 0; y < c.bottom; y += texture->Height())
            for (int x = 0; x < c.right; x += texture->Width())
                dc.DrawBitmap(x, y, *texture);
        return true;
    }
    ui::Bitmap* texture = nullptr;
};

TEST_F(GalleryTest, TextureButtons) {
    // A woven texture: diagonal threads of two browns.
    ui::Bitmap texture;
    ASSERT_TRUE(texture.CreateBitmap(16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            int v = ((x + y) % 8 < 4) ? 0 : 1;
            int n = (x * 7 + y * 13) % 9;
            texture.SetPixel(x, y, v ? RGB(120 + n, 80 + n, 40) : RGB(96 + n, 62 + n, 30));
        }
    TexturedParent parent;
    parent.texture = &texture;
    ASSERT_TRUE(parent.Open(260, 60));
    ui::Font font;
    font.CreateFont(16, 0, 0, 0, 600, false, false, false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    MbWnd::CTextureButton a;
    MbWnd::CTextureButton b;
    ASSERT_TRUE(a.Create("新しく始める", ui::WS_CHILD | ui::WS_VISIBLE | ui::BS_OWNERDRAW,
                         Rect(13, 13, 123, 45), &parent, 1));
    ASSERT_TRUE(b.Create("続きから", ui::WS_CHILD | ui::WS_VISIBLE | ui::BS_OWNERDRAW, Rect(123, 13, 233, 45),
                         &parent, 2));
    a.SetFont(&font);
    b.SetFont(&font);
    a.SetTexture(texture);
    b.SetTexture(texture);
    Save(parent, "texture_buttons_on_textured_parent");
    Save(a, "texture_button_normal");
    ui::test::MouseDown(a, Point(20, 10));
    Save(a, "texture_button_pushed");
    Save(parent, "texture_buttons_one_pushed");
    ui::test::MouseUp(a, Point(-50, -50));
}

// A scroll window whose content is a grid of numbered cells.
class GridContent : public MbWnd::CScrollWnd {
public:
    void OnPaint(ui::Dc& dc) override {
        Rect c = GetClientRect();
        Point s = GetScrollPosition();
        int ox = s.x * m_sizeLine.cx;
        int oy = s.y * m_sizeLine.cy;
        dc.FillSolidRect(c, RGB(255, 255, 255));
        dc.SelectFont(&ui::Font::Default());
        dc.SetBkMode(ui::TRANSPARENT);
        for (int row = 0; row * 20 < m_sizeTotal.cy; ++row)
            for (int col = 0; col * 40 < m_sizeTotal.cx; ++col) {
                Rect r(col * 40 - ox, row * 20 - oy, col * 40 + 40 - ox, row * 20 + 20 - oy);
                dc.FillSolidRect(r, (row + col) % 2 ? RGB(235, 240, 250) : RGB(250, 250, 240));
                dc.FrameRect(r, RGB(200, 200, 210));
                dc.DrawText(std::to_string(row) + "-" + std::to_string(col), r,
                            ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE);
            }
    }
    bool OnEraseBkgnd(ui::Dc&) override { return true; }
};

TEST_F(GalleryTest, ScrollWindows) {
    HostWindow host;
    ASSERT_TRUE(host.Open(200, 140));
    struct Case {
        const char* name;
        int horzMode;
        Size total;
        Point pos;
    } cases[] = {{"both_bars_scrolled", 0, Size(400, 300), Point(30, 3)},
                 {"mode1_fits_disabled", 1, Size(120, 60), Point(0, 0)},
                 {"fits_no_bars", 0, Size(120, 60), Point(0, 0)}};
    for (const Case& k : cases) {
        GridContent g;
        g.SetHorzScrollVerShowMode(k.horzMode);
        ASSERT_TRUE(g.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE, Rect(10, 10, 190, 130),
                               &host, 9));
        g.SetScrollSizes(k.total, Size(100, 100), Size(1, 20));
        g.SetScrollPosition(k.pos);
        Save(g, std::string("scroll_wnd_") + k.name);
    }
}

TEST_F(GalleryTest, RichText) {
    HostWindow host;
    ASSERT_TRUE(host.Open(360, 200));
    const std::string text =
        "天文十九年 春\n"
        "$color=0xC00000$織田信秀$color=0$が病に倒れました。\n"
        "家督は$link=1$織田信長$/link$が継ぎます。\n"
        "$color=0x0000A0$今川義元$color=0$の軍勢 $color=0x008000$25,000$color=0$ "
        "が$link=2$尾張$/link$に迫っています。\n"
        "この行はとても長いので、ウィンドウの右端で折り返されて次の行に続きます。折り返しは文字の途中では起き"
        "ません。\n"
        "最後の行";
    struct Case {
        const char* name;
        int kind;  // 0 plain, 1 hover, 2 background picture, 3 no breaking (bars)
    } cases[] = {{"tags_links_breaking", 0},
                 {"link_hovered", 1},
                 {"background_picture", 2},
                 {"no_breaking_scrolls", 3}};
    MbBmp::CControlBmp picture;
    ASSERT_TRUE(picture.CreateBitmap(120, 90, 24));
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            picture.SetPixelColor(x, y, RGB(235 - y / 3, 230 - y / 4, 200 - x / 6));
    for (const Case& k : cases) {
        for (bool twice : {false, true}) {
            if (twice && k.kind != 0) continue;
            ui::Bitmap::SetScreenPixelRatio(twice ? 2.0 : 0.0);
            MbWnd::CMultiTextCtrl c;
            c.SetReturnLineEnd(k.kind != 3);
            if (k.kind == 2) c.SetBackGroundBmp(&picture);
            ASSERT_TRUE(c.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE,
                                   Rect(10, 10, 330, 130), &host, 5));
            c.SetText(text);
            ui::test::Grab(c);  // lays the links out
            if (k.kind == 1 && !c.GetLinks().empty())
                ui::test::MouseMove(c, c.GetLinks()[0].rect.CenterPoint());
            if (twice)
                EXPECT_TRUE(
                    ui::test::GrabToPng(c, GalleryPath(std::string("rich_text_") + k.name + "@2x"), 2.0));
            else
                Save(c, std::string("rich_text_") + k.name);
            if (k.kind == 1) ui::test::MouseMove(c, Point(-10, -10));
        }
    }
    ui::Bitmap::SetScreenPixelRatio(0);
}

TEST_F(GalleryTest, BattleResults) {
    const char* report =
        "春日山城と富山城間で上杉家と神保家が野戦\n"
        "  → 上杉家の勝利\n"
        "富山城（神保家）は上杉家に攻められています\n"
        "  → 富山城は強襲により落城しました\n"
        "岐阜城周辺で城包囲軍(織田家)と城救援軍(斎藤家)が野戦\n"
        "  → 織田家の勝利\n"
        "岐阜城（斎藤家）は織田家に攻められています\n"
        "  → 岐阜城は兵糧が尽きて開城しました\n"
        "斎藤家は滅亡しました\n";
    const char* fates =
        "神保家の神保長職は切腹しました\n"
        "斎藤龍興は織田家の捕虜になりました\n"
        "椎名康胤は上杉家の捕虜になりました\n";
    // At 200 % the board's picture is made at that ratio, as on such a screen.
    for (double ratio : {1.0, 2.0}) {
        ui::Bitmap::SetScreenPixelRatio(ratio == 1.0 ? 0.0 : ratio);
        const std::string suffix = ratio == 1.0 ? "" : "@2x";
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kassen_result" + suffix), ratio));
            d.EndDialog(ui::IDOK);
        });
        ShowKassenResult(nullptr, report, fates);
        Script().OnDialog([&](ui::Dialog& d) {
            EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath("kassen_result_none" + suffix), ratio));
            d.EndDialog(ui::IDOK);
        });
        ShowKassenResult(nullptr, "", "");
    }
    ui::Bitmap::SetScreenPixelRatio(0);
}

TEST_F(GalleryTest, EventMessageAndInput) {
    const char* message =
        "永禄三年五月、今川義元は二万五千の大軍を率いて尾張に攻め入りました。\n"
        "織田信長は桶狭間にて今川本陣を急襲し、義元を討ち取りました。\n"
        "今川家の勢いは衰え、織田家の名は天下に知れ渡りました。";
    const std::vector<std::string> choices = {"清洲にて籠城する", "桶狭間へ出陣する", "今川家に降る"};
    for (double ratio : {1.0, 2.0}) {
        ui::Bitmap::SetScreenPixelRatio(ratio == 1.0 ? 0.0 : ratio);
        const std::string suffix = ratio == 1.0 ? "" : "@2x";
        auto grab = [&](const std::string& name) {
            Script().OnDialog([&, name](ui::Dialog& d) {
                EXPECT_TRUE(ui::test::GrabToPng(d, GalleryPath(name + suffix), ratio));
                d.EndDialog(ui::IDOK);
            });
        };
        grab("event_message");
        ShowEventMessageDlg(nullptr, "桶狭間の戦い", message);
        grab("event_input_choice");
        ShowEventChoiceDlg(nullptr, "今川義元が尾張に迫っています。どうしますか？", choices);
        grab("event_input_number");
        ShowEventNumberDlg(nullptr, "出陣させる兵の数を入力してください");
    }
    ui::Bitmap::SetScreenPixelRatio(0);
}

TEST_F(GalleryTest, SmallNumbers) {
    class Canvas : public HostWindow {
    public:
        void OnPaint(ui::Dc& dc) override {
            dc.FillSolidRect(GetClientRect(), RGB(70, 110, 150));
            MbMisc::CDrawSmallNumber n;
            int x = 4;
            for (int v : {0, 1, 23, 456, 7890, -5}) {
                n.SetColor(v < 0 ? RGB(192, 192, 192) : RGB(255, 255, 255), RGB(0, 0, 0));
                n.DrawNumber(dc, Point(x, 4), v);
                x += MbMisc::CDrawSmallNumber::NumberWidth(v) + 6;
            }
        }
    };
    Canvas canvas;
    ASSERT_TRUE(canvas.Open(110, 16));
    Save(canvas, "small_numbers");
}

TEST_F(GalleryTest, Grids) {
    using MbWnd::CCellCtrl;
    struct State {
        const char* name;
        std::uint32_t style;
        int separator;
        int fontSize;
        int lines;
        int action;  // 0 none, 1 select, 2 editing, 3 drag multi-select, 4 every column type
    } states[] = {
        {"grid_style7_selected", 7, 1, 0, 12, 1},
        {"grid_style6_linenumbers", 6 | 0x10, 1, 1, 12, 1},
        {"grid_style85_multiselect", 0x85, 1, 0, 12, 3},
        {"grid_editing", 0, 1, 0, 6, 2},
        {"grid_types", 0x10, 0, 1, 4, 4},
        {"grid_empty", 0x10, 1, 0, 0, 0},
    };
    for (const State& st : states) {
        HostWindow host;
        ASSERT_TRUE(host.Open(340, 170));
        CCellCtrl grid;
        grid.SetSeparater(st.separator);
        grid.SetStyle(st.style);
        grid.SetFontSize(st.fontSize);
        grid.SetColumn(0, 2, 70, "武将名", 0);
        if (st.action == 4) {
            grid.SetColumn(1, 0 | CCellCtrl::kRightAlign, 40, "整数", 0);
            grid.SetColumn(2, 1 | CCellCtrl::kRightAlign, 50, "小数", 2);
            grid.SetColumn(3, 3, 40, "選択", 0);
            grid.SetColumn(4, 5, 50, "増減", 0);
            grid.SetColumn(5, 6, 60, "印付", 0);
            grid.AddItemList(3, "足軽");
            grid.AddItemList(3, "騎馬");
        } else {
            grid.SetColumn(1, 0 | CCellCtrl::kRightAlign, 40, "武力", 0);
            grid.SetColumn(2, 0 | CCellCtrl::kRightAlign, 40, "知力", 0);
            grid.SetColumn(3, 1 | CCellCtrl::kRightAlign, 60, "石高", 2);
            grid.SetColumn(4, 2 | CCellCtrl::kReadOnly, 70, "居城", 0);
        }
        ASSERT_TRUE(grid.CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE, Rect(10, 10, 330, 160),
                                  &host, 2006));
        const char* names[] = {"織田信長", "柴田勝家", "丹羽長秀", "羽柴秀吉", "前田利家", "滝川一益"};
        grid.SetLineSize(st.lines);
        for (int i = 0; i < st.lines; ++i) {
            grid.SetLineItem(i, 0, names[i % 6]);
            grid.SetLineItem(i, 1, 60.0 + 7 * i);
            grid.SetLineItem(i, 2, 90.0 - 5 * i);
            grid.SetLineItem(i, 3, st.action == 4 ? i % 3 : 1234.5 + 10 * i);
            grid.SetLineItem(i, 4, st.action == 4 ? "" : "清洲城");
            grid.SetLineItem(i, 4, 3.0 * i);
            grid.SetLineItem(i, 5, "甲");
        }
        if (st.action == 1) grid.SelectCell(2, 1);
        if (st.action == 2) {
            grid.SelectCell(1, 0);
            ui::test::TypeText(grid, "明智光秀");
        }
        if (st.action == 3) {
            MbWnd::CCellPane& p = grid.RightPane();
            ui::test::MouseDown(p, p.CellRect(1, 0).CenterPoint());
            ui::test::MouseMove(p, p.CellRect(3, 0).CenterPoint(), true);
            ui::test::MouseUp(p, p.CellRect(3, 0).CenterPoint());
            grid.MultiLineSelect(6, true);
        }
        if (st.action == 4) grid.SelectCell(1, 2);
        Save(host, st.name, true);
    }
}

TEST_F(GalleryTest, GridHintTip) {
    HostWindow host;
    ASSERT_TRUE(host.Open(200, 100));
    MbWnd::CCellCtrl grid;
    grid.SetColumn(0, 4, 100, "候補", 0);
    for (const char* c : {"上杉謙信", "武田信玄", "北条氏康"})
        grid.AddItemList(0, c);
    ASSERT_TRUE(grid.CreateEx(0, ui::WS_CHILD | ui::WS_VISIBLE, Rect(0, 0, 180, 90), &host, 2006));
    grid.SetLineSize(3);
    grid.SelectCell(0, 0);
    ui::test::PressKey(grid, ui::VK_RETURN);
    ASSERT_TRUE(grid.RightPane().Tip().IsWindowVisible());
    Save(grid.RightPane().Tip(), "grid_hint_tip", true);
}

TEST_F(GalleryTest, DropDownLists) {
    HostWindow host;
    ASSERT_TRUE(host.Open(140, 60));
    ui::Font font;
    font.CreatePointFont(90, "ＭＳ Ｐゴシック");
    ui::ComboBox enabled, disabled;
    ASSERT_TRUE(enabled.Create(ui::WS_VISIBLE | ui::CBS_DROPDOWNLIST, Rect(8, 8, 128, 28), &host, 1));
    ASSERT_TRUE(disabled.Create(ui::WS_VISIBLE | ui::CBS_DROPDOWNLIST, Rect(8, 32, 128, 52), &host, 2));
    for (ui::ComboBox* c : {&enabled, &disabled}) {
        c->SetFont(&font);
        c->AddString("足軽");
        c->AddString("騎馬");
        c->SetCurSel(1);
    }
    disabled.EnableWindow(false);
    Save(host, "drop_down_lists", true);
}

}  // namespace
}  // namespace rymd::gui_test
