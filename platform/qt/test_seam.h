// The test seam of the window layer: run any dialog offscreen and drive it.
//
// A test installs a Script. While it is installed, every modal dialog (and so every message box),
// popup menu and file dialog takes the next step of the script instead of waiting for a person:
// - a modal dialog runs the next dialog step once it is initialised and shown; the step clicks,
//   types, grabs and finally ends the dialog (by a key, a click or Answer). A dialog that a step
//   leaves open, or that finds no step, is an error and ends with -1;
// - a popup menu takes the next menu step (a command id, or 0 for none);
// - a file dialog takes the next file step (a path, or nothing for cancel).
// Errors go to the script's error handler (a test makes it fail the test) and to Errors().
// Timers never fire by themselves while a script is installed: FireTimer runs a running timer.
//
// Input helpers deliver real input events to the windows, so the windows' own handling
// (PreTranslateMessage, focus, capture, buttons) runs as it does for a person.
#pragma once

#include <QImage>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/ui_types.h"

namespace rymd::ui {
class Wnd;
class Dialog;
class Menu;
}  // namespace rymd::ui

namespace rymd::ui::test {

using DialogStep = std::function<void(Dialog&)>;

class Script {
public:
    Script();   // installs itself (scripts nest: the newest one is active)
    ~Script();  // uninstalls; steps left over are an error
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // The next modal dialog runs this step.
    void OnDialog(DialogStep step);
    // Shortcuts: the next dialog gets a key press (on its focused window), a click on a control,
    // or is ended with a result.
    void PressKey(unsigned key);
    void Click(int controlId);
    void Answer(std::intptr_t result);
    // The next popup menu chooses this command (0: none).
    void ChooseMenu(int command);
    // The next file dialog returns this (nothing: cancel).
    void ChooseFile(std::optional<std::string> path);

    std::size_t PendingSteps() const;
    const std::vector<std::string>& Errors() const { return errors_; }
    void SetErrorHandler(std::function<void(const std::string&)> handler) { onError_ = std::move(handler); }

    // What the menus offered: one entry per tracked menu, each item as "text" or "text (greyed)".
    const std::vector<std::vector<std::string>>& MenusShown() const { return menus_; }
    // Captions of the modal dialogs that ran, in order.
    const std::vector<std::string>& DialogsShown() const { return dialogs_; }

    // ---- The layer's side -------------------------------------------------------------------------
    static Script* Active();
    void RunDialog(Dialog& dialog);
    int RunMenu(const Menu& menu);
    std::optional<std::string> RunFileDialog(std::string_view title);
    void Error(std::string message);

private:
    std::deque<DialogStep> dialogSteps_;
    std::deque<int> menuSteps_;
    std::deque<std::optional<std::string>> fileSteps_;
    std::vector<std::string> errors_;
    std::vector<std::vector<std::string>> menus_;
    std::vector<std::string> dialogs_;
    std::function<void(const std::string&)> onError_;
    Script* previous_ = nullptr;
};

// True while a script is installed: timers then wait for FireTimer.
bool ManualTimers();
// Runs the window's timer once if it is running; false otherwise.
bool FireTimer(Wnd& wnd, int id);

// ---- Input ------------------------------------------------------------------------------------------
// A key press and release delivered to the window with the focus; when no window of that
// top-level window has it, to the one the platform sends its keys to (the last one focused in
// it), else to the window itself.
void PressKey(Wnd& window, unsigned key, unsigned modifiers = 0);
// Types text (UTF-8) into the window with the focus, character by character.
void TypeText(Wnd& window, std::string_view text);
// Mouse input in client coordinates of the window.
void MouseDown(Wnd& window, Point p, bool right = false);
void MouseUp(Wnd& window, Point p, bool right = false);
void MouseMove(Wnd& window, Point p, bool leftDown = false);
void DoubleClick(Wnd& window, Point p);
void Wheel(Wnd& window, Point p, int delta);
// A left click in the middle of the window.
void Click(Wnd& window);
// A left click in the middle of the dialog's control; false when there is no such control.
bool ClickControl(Wnd& dialog, int id);
// Types into the control (an edit box takes the text as typed; other windows get characters).
bool TypeIntoControl(Wnd& dialog, int id, std::string_view text);

// Makes the clipboard refuse to open (false) or work again (true).
void SetClipboardAvailable(bool available);
// Makes the screen this size (SM_CXSCREEN, SM_CYSCREEN), as a player's screen of that size would
// be; nothing: the real screen again.
void SetScreenSize(std::optional<Size> size);

// Gives every top-level window a frame of these thicknesses around it, told by the window manager
// only once the window is on the screen, as an X11 window manager tells it; nothing is known of
// frames before, as at the start of the program. Nothing: the frames the platform reports, and
// known as they are once the game's main window has been shown.
struct FrameEdges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};
void SetWindowFrame(std::optional<FrameEdges> frame);

// Runs pending events (posted messages, paints).
void ProcessEvents();

// ---- Pictures -----------------------------------------------------------------------------------------
// The window as shown, children included (32 bits, at the screen's pixel ratio).
QImage Grab(Wnd& window);
// The window drawn at another pixel ratio (2: as on a screen at 200 %). Bitmaps the window
// makes while it is drawn take that ratio too.
QImage GrabAt(Wnd& window, double ratio);
// Grabs the window into a PNG file (at the given ratio); false when it cannot be written.
bool GrabToPng(Wnd& window, const std::string& path, double ratio = 1.0);
// The colour of a pixel of a grabbed picture (logical coordinates).
COLORREF PixelAt(const QImage& image, int x, int y);

}  // namespace rymd::ui::test
