// Texture button: tiling in line with the parent, bevels of both faces, pushing.
#include "mbwnd/texture_button.h"
#include "gui/gui_test_util.h"

namespace rymd::gui_test {
namespace {

using MbWnd::CTextureButton;
using ui::RGB;

// Exposes the blending helpers.
class OpenTextureButton : public CTextureButton {
public:
    using CTextureButton::ControlLight;
    using CTextureButton::TransparentTexture;
};

class TextureButtonTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(host.Open(200, 100));
        // A 7 x 5 texture with a different colour in every pixel.
        ASSERT_TRUE(texture.CreateBitmap(7, 5));
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                texture.SetPixel(x, y, Tex(x, y));
    }
    static ui::COLORREF Tex(int x, int y) { return RGB(30 + x * 30, 40 + y * 40, 90 + (x + y) * 10); }
    // The parent's own tiling from its origin at a point of its client area.
    static ui::COLORREF Parent(int x, int y) { return Tex(((x % 7) + 7) % 7, ((y % 5) + 5) % 5); }
    void Make(CTextureButton& b, int id, const Rect& r, const char* caption = "") {
        ASSERT_TRUE(b.Create(caption, ui::WS_CHILD | ui::WS_VISIBLE | ui::BS_OWNERDRAW, r, &host, id));
        b.SetTexture(texture);
    }
    HostWindow host;
    ui::Bitmap texture;
};

TEST_F(TextureButtonTest, NeighbouringButtonsContinueTheParentsPattern) {
    CTextureButton a;
    CTextureButton b;
    const Rect ra(13, 9, 53, 31);
    const Rect rb(53, 9, 93, 31);
    Make(a, 1, ra);
    Make(b, 2, rb);
    for (auto [button, r] : {std::pair{&a, ra}, std::pair{&b, rb}}) {
        const ui::Bitmap& face = button->GetNormalFace();
        ASSERT_FALSE(face.IsNull());
        // Inside the bevel the face is the parent's tiling, untouched.
        for (int y = 3; y < r.Height() - 3; ++y)
            for (int x = 3; x < r.Width() - 3; ++x)
                ASSERT_EQ(Rgb(face.GetPixel(x, y)), Rgb(Parent(r.left + x, r.top + y))) << x << "," << y;
        // The pushed face is the same pattern one pixel right and down.
        const ui::Bitmap& pushed = button->GetPushedFace();
        for (int y = 3; y < r.Height() - 2; ++y)
            for (int x = 3; x < r.Width() - 2; ++x)
                ASSERT_EQ(Rgb(pushed.GetPixel(x, y)), Rgb(Parent(r.left + x - 1, r.top + y - 1)))
                    << x << "," << y;
    }
}

TEST_F(TextureButtonTest, TheBevelsBlendTowardsWhiteAndBlack) {
    CTextureButton b;
    const Rect r(20, 20, 60, 40);
    Make(b, 1, r);
    const int w = r.Width();
    const int h = r.Height();
    auto tex = [&](int x, int y, int shift) { return Parent(r.left + x - shift, r.top + y - shift); };
    auto blend = [](ui::COLORREF p, ui::COLORREF c, int pw, int cw) {
        auto ch = [&](int a, int b) { return (a * pw + b * cw) / (pw + cw); };
        return RGB(ch(ui::GetRValue(p), ui::GetRValue(c)), ch(ui::GetGValue(p), ui::GetGValue(c)),
                   ch(ui::GetBValue(p), ui::GetBValue(c)));
    };
    const ui::COLORREF W = RGB(255, 255, 255);
    const ui::COLORREF K = RGB(0, 0, 0);
    const ui::Bitmap& n = b.GetNormalFace();
    struct Px {
        int x, y;
        ui::COLORREF expected;
    };
    const Px normal[] = {
        {0, 0, K},
        {w - 1, 10, K},
        {10, h - 1, K},
        {10, 1, blend(tex(10, 1, 0), W, 2, 1)},
        {10, 2, blend(tex(10, 2, 0), W, 1, 1)},
        {1, 10, blend(tex(1, 10, 0), W, 2, 1)},
        {2, 10, blend(tex(2, 10, 0), W, 1, 1)},
        {10, h - 2, blend(tex(10, h - 2, 0), K, 1, 1)},
        {10, h - 3, blend(tex(10, h - 3, 0), K, 2, 1)},
        {w - 2, 10, blend(tex(w - 2, 10, 0), K, 1, 1)},
        {w - 3, 10, blend(tex(w - 3, 10, 0), K, 2, 1)},
        // The corners are lightened twice.
        {1, 1, blend(blend(tex(1, 1, 0), W, 2, 1), W, 1, 1)},
        {2, 2, blend(blend(tex(2, 2, 0), W, 1, 1), W, 1, 1)},
    };
    for (const Px& p : normal)
        EXPECT_EQ(Rgb(n.GetPixel(p.x, p.y)), Rgb(p.expected)) << "normal " << p.x << "," << p.y;
    const ui::Bitmap& s = b.GetPushedFace();
    const Px pushed[] = {
        {0, 0, K},
        {10, 1, blend(tex(10, 1, 1), K, 1, 1)},
        {10, 2, blend(tex(10, 2, 1), K, 2, 1)},
        {1, 10, blend(tex(1, 10, 1), K, 1, 1)},
        {2, 10, blend(tex(2, 10, 1), K, 2, 1)},
        {10, h - 2, blend(tex(10, h - 2, 1), K, 1, 2)},
        {w - 2, 10, blend(tex(w - 2, 10, 1), K, 1, 2)},
        {10, h - 3, tex(10, h - 3, 1)},
        {w - 3, 10, tex(w - 3, 10, 1)},
    };
    for (const Px& p : pushed)
        EXPECT_EQ(Rgb(s.GetPixel(p.x, p.y)), Rgb(p.expected)) << "pushed " << p.x << "," << p.y;
}

TEST_F(TextureButtonTest, PushingShowsThePushedFace) {
    CTextureButton b;
    Make(b, 7, Rect(20, 20, 60, 40), "押す");
    QImage up = ui::test::Grab(b);
    ui::test::MouseDown(b, Point(20, 10));
    QImage down = ui::test::Grab(b);
    for (int y = 0; y < 20; y += 3)
        for (int x = 0; x < 40; x += 3) {
            ASSERT_EQ(ui::test::PixelAt(up, x, y), b.GetNormalFace().GetPixel(x, y));
            ASSERT_EQ(ui::test::PixelAt(down, x, y), b.GetPushedFace().GetPixel(x, y));
        }
    ui::test::MouseUp(b, Point(20, 10));
    ASSERT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.commands[0].id, 7);
}

TEST_F(TextureButtonTest, AButtonWithoutTextureDrawsNothing) {
    CTextureButton b;
    ASSERT_TRUE(b.Create("", ui::WS_CHILD | ui::WS_VISIBLE | ui::BS_OWNERDRAW, Rect(0, 0, 30, 10), &host, 1));
    EXPECT_TRUE(b.GetNormalFace().IsNull());
    ui::Bitmap canvas;
    ASSERT_TRUE(canvas.CreateBitmap(30, 10));
    ui::Dc dc(canvas);
    dc.FillSolidRect(Rect(0, 0, 30, 10), RGB(1, 2, 3));
    ui::DrawItemStruct dis;
    dis.hDC = &dc;
    dis.rcItem = Rect(0, 0, 30, 10);
    b.DrawItem(dis);
    EXPECT_EQ(canvas.GetPixel(15, 5), RGB(1, 2, 3));
}

TEST_F(TextureButtonTest, BlendingHelpersFollowTheirFormulas) {
    OpenTextureButton b;
    ui::Bitmap t;
    ui::Bitmap s;
    ASSERT_TRUE(t.CreateBitmap(4, 1));
    ASSERT_TRUE(s.CreateBitmap(4, 1));
    for (int x = 0; x < 4; ++x)
        t.SetPixel(x, 0, RGB(90, 30, 200));
    s.SetPixel(0, 0, RGB(0, 0, 0));
    s.SetPixel(1, 0, RGB(30, 0, 100));
    s.SetPixel(2, 0, RGB(255, 255, 255));
    {
        ui::Dc td(t);
        ui::Dc sd(s);
        b.TransparentTexture(td, sd, 3, 1);
    }
    EXPECT_EQ(Rgb(t.GetPixel(0, 0)), Rgb(RGB(90, 30, 200)));
    EXPECT_EQ(Rgb(t.GetPixel(1, 0)), Rgb(RGB(70, 30, 166)));
    EXPECT_EQ(Rgb(t.GetPixel(2, 0)), Rgb(RGB(145, 105, 218)));
    EXPECT_EQ(Rgb(t.GetPixel(3, 0)), Rgb(RGB(90, 30, 200)));
    {
        ui::Dc td(t);
        b.ControlLight(td, 3, 0, 1, 1, RGB(0, 90, 20), 1, 2);
    }
    EXPECT_EQ(Rgb(t.GetPixel(3, 0)), Rgb(RGB(30, 70, 80)));
}

}  // namespace
}  // namespace rymd::gui_test
