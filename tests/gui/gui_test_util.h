// Helpers of the window tests: the offscreen application, a script that fails the test on any
// unanswered dialog, a plain parent window, and the gallery folder.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QWidget>
#include <QWindow>
#include <QtGlobal>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mbwnd/gradation_button.h"
#include "mbwnd/msg_box.h"
#include "platform/qt/app.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"
#include "platform/qt/test_seam.h"
#include "platform/qt/wnd.h"

namespace rymd::gui_test {

namespace ui = rymd::ui;
using ui::Point;
using ui::Rect;
using ui::Size;

inline QtMessageHandler& QtMessagesBeforeTheTests() {
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void EnsureGuiApp() {
    // The tests draw offscreen, whatever display the machine has.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ui::EnsureApplication();
    static const bool quiet = [] {
        QtMessagesBeforeTheTests() = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                // The offscreen platform has no window manager to tell a window's least and
                // greatest size; the tests read what the window asks for instead.
                if (message == QLatin1String("This plugin does not support propagateSizeHints()")) return;
                if (QtMessagesBeforeTheTests()) QtMessagesBeforeTheTests()(type, context, message);
            });
        return true;
    }();
    (void)quiet;
}

// A top-level window without frame that records the commands and notifications of its children.
class HostWindow : public ui::Wnd {
public:
    struct Command {
        int id;
        int code;
        ui::Wnd* from;
    };
    bool Open(int w, int h, int x = 40, int y = 30) {
        if (!CreateEx(0, ui::WS_POPUP | ui::WS_VISIBLE, ui::Rect(x, y, x + w, y + h), nullptr, 0))
            return false;
        SetBackgroundColor(ui::GetSysColor(ui::COLOR_BTNFACE));
        return true;
    }
    bool OnCommand(int id, int code, ui::Wnd* from) override {
        commands.push_back({id, code, from});
        return true;
    }
    std::vector<Command> commands;
};

// Whether the shown top-level window w stands over owner, as a window manager sees it: owned by
// it, its window a child of the owner's window and transient for it.
inline ::testing::AssertionResult StandsOver(ui::Wnd& w, ui::Wnd& owner) {
    QWidget* own = owner.GetWidget();
    QWidget* mine = w.GetWidget();
    if (!own || !mine) return ::testing::AssertionFailure() << "no window";
    if (w.GetParent() != &owner) return ::testing::AssertionFailure() << "owned by another window";
    if (mine->parentWidget() != own->window())
        return ::testing::AssertionFailure() << "a child of another window";
    const QWindow* transient = mine->windowHandle() ? mine->windowHandle()->transientParent() : nullptr;
    if (!transient || transient != own->window()->windowHandle())
        return ::testing::AssertionFailure() << "transient for another window";
    return ::testing::AssertionSuccess();
}

// Every test runs under a script: a dialog, menu or file dialog the test did not answer fails it.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        script_ = std::make_unique<ui::test::Script>();
        script_->SetErrorHandler([](const std::string& m) { ADD_FAILURE() << "script: " << m; });
        SetMsgBoxStyle(0);
        MbWnd::CGradationButton::SetFocusDisp(true, ui::RGB(0, 0, 0));
        ui::Bitmap::SetScreenPixelRatio(0);
        ui::test::SetClipboardAvailable(true);
        // A screen that holds every dialog whole (the offscreen one is 800 x 600); a test of a
        // smaller screen says so.
        ui::test::SetScreenSize(Size(1600, 1200));
        // The platform's frames (offscreen: two pixels each side), known as after the main
        // window is shown; a test of frames gives windows others.
        ui::test::SetWindowFrame(std::nullopt);
    }
    void TearDown() override {
        script_.reset();
        ui::test::ProcessEvents();
        ui::test::SetScreenSize(std::nullopt);
        ui::test::SetWindowFrame(std::nullopt);
    }
    ui::test::Script& Script() { return *script_; }

    std::unique_ptr<ui::test::Script> script_;
};

// The bundled scenario (Japan in 1560).
inline std::string BundledScenario() {
    return std::string(RYMD_SOURCE_DIR) + "/data/scenario/japan1560.snr";
}

inline std::string GalleryPath(const std::string& name) {
    std::filesystem::path dir = RYMD_GALLERY_DIR;
    std::filesystem::create_directories(dir);
    return (dir / (name + ".png")).string();
}

// The width of a text in "ＭＳ Ｐゴシック" of the given height, weight 500 (the game's text fonts).
inline int PGothicTextWidth(int height, const std::string& text) {
    ui::Font f;
    f.CreateFont(height, 0, 0, 0, 500, false, false, false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    ui::Dc dc = ui::Dc::ForMeasure();
    dc.SelectFont(&f);
    return dc.GetTextExtent(text).cx;
}

// The line height of "ＭＳ Ｐゴシック" 12 pixels, weight 500 (tips and small texts).
inline int PGothicTextHeight() {
    ui::Font f;
    f.CreateFont(12, 0, 0, 0, 500, false, false, false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    ui::Dc dc = ui::Dc::ForMeasure();
    dc.SelectFont(&f);
    return dc.GetTextExtent("あ").cy;
}

// Per channel components of a colour, for readable failures.
inline std::string Rgb(ui::COLORREF c) {
    return "(" + std::to_string(ui::GetRValue(c)) + "," + std::to_string(ui::GetGValue(c)) + "," +
           std::to_string(ui::GetBValue(c)) + ")";
}

}  // namespace rymd::gui_test
