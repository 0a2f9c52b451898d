// Process-wide services of the window layer: the application object, the fixed system colours,
// screen metrics, the settings store (the place of the registry), the clipboard, cursors and the
// file dialogs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/qt/ui_types.h"

namespace rymd::ui {

class Wnd;

// Makes sure a Qt application object exists (creates one with the given arguments when none
// does) and installs the layer's text drawing for bitmaps. Call it once before any window.
void EnsureApplication(int argc = 0, char** argv = nullptr);
// As EnsureApplication, for a program whose windows need a display: when Qt cannot open one
// (no X or Wayland display, or one that does not answer), noDisplay is printed on standard
// error and the process ends with exitCode, instead of Qt's complaints and its abort. Qt's
// warning that XDG_RUNTIME_DIR is not set is not shown (Qt picks a folder of its own).
void StartWindowApplication(int argc, char** argv, const std::string& noDisplay, int exitCode);
// The Japanese translations of Qt's own windows (file dialogs, standard buttons), as the desktop
// ships them, from folder (empty: Qt's translations folder). Returns whether a translation was found and
// installed (without one Qt's windows speak English).
bool InstallJapaneseQtTranslations(const std::string& folder = "");

// The system colours are fixed, whatever the desktop's theme, so that every gradient and bevel
// the game computes from them comes out the same everywhere:
//   COLOR_BTNFACE / COLOR_3DFACE  RGB(212, 208, 200)
//   COLOR_3DLIGHT                 RGB(212, 208, 200)
//   COLOR_BTNHIGHLIGHT            RGB(255, 255, 255)
//   COLOR_BTNSHADOW               RGB(128, 128, 128)
//   COLOR_3DDKSHADOW              RGB(64, 64, 64)
//   COLOR_WINDOW                  RGB(255, 255, 255)
//   COLOR_WINDOWTEXT, BTNTEXT     RGB(0, 0, 0)
//   COLOR_HIGHLIGHT               RGB(10, 36, 106), COLOR_HIGHLIGHTTEXT white
//   COLOR_GRAYTEXT                RGB(128, 128, 128)
COLORREF GetSysColor(int index);

// SM_CXSCREEN / SM_CYSCREEN: the primary screen in logical pixels; SM_CXVSCROLL / SM_CYHSCROLL:
// the thickness of the layer's scroll bars (16).
int GetSystemMetrics(int index);

// The rectangle r moved onto the screen (SM_CXSCREEN x SM_CYSCREEN from (0, 0)), its size kept:
// no edge off the screen when it fits; else its left and top edges on the screen's, so that the
// caption and the top left stay within reach.
Rect MoveOntoScreen(Rect r);

// The title bar of a top-level window whose caption is empty shows the game's name (Qt would
// show the program's file name there); GetWindowText still gives the empty caption.
inline constexpr const char* kUntitledWindowTitle = "龍門記";

// The application's main window: modal dialogs without a parent are owned by it while no other
// modal dialog is up (see dialog.h).
void SetMainWindow(Wnd* wnd);
Wnd* GetMainWindow();

// ---- Settings store ---------------------------------------------------------------------------
// Values by section and entry under the maker's name ("MiyabeSoft") and the program's name.
class Profile {
public:
    // Sets the maker's name (default "MiyabeSoft") and the program's name (default "Ryuumonden").
    static void SetRegistryKey(std::string_view company, std::string_view application = "Ryuumonden");
    // Keeps the settings in the given INI file instead (tests); an empty path goes back to the
    // user's settings.
    static void UseFile(std::string_view path);

    static int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue);
    static bool WriteProfileInt(std::string_view section, std::string_view entry, int value);
    static std::string GetProfileString(std::string_view section, std::string_view entry,
                                        std::string_view defaultValue = {});
    static bool WriteProfileString(std::string_view section, std::string_view entry, std::string_view value);
    // Writes pending changes out.
    static void Flush();
};

// ---- Clipboard ----------------------------------------------------------------------------------
// Empties the clipboard and puts the UTF-8 text on it as plain text. False when the clipboard
// cannot be opened (then nothing changes).
bool SetClipboardText(std::string_view utf8);
// The clipboard's plain text (UTF-8); nothing when it holds none or cannot be opened.
std::optional<std::string> GetClipboardText();

// ---- Cursors ------------------------------------------------------------------------------------
enum class Cursor { Arrow, Wait, SizeNWSE, SizeNESW, SizeWE, SizeNS, SizeAll, IBeam, Hand };
// Sets the cursor of the window under the mouse (call from OnSetCursor or a mouse handler).
void SetCursor(Wnd* over, Cursor cursor);
// The mouse position in screen coordinates, and moving it there.
Point GetCursorPos();
void SetCursorPos(Point screen);

// Shows the wait cursor over the whole application while it lives.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// ---- File dialogs -----------------------------------------------------------------------------
// The filter of a file dialog in Qt's form: each pair of the "Description (*.ext)|*.ext|...||"
// form becomes its label and its patterns in parentheses (named once: a label that already ends in
// its patterns loses them), the patterns separated by spaces, the pairs joined by ";;".
std::string FileDialogFilters(std::string_view filter);
// filter in the "Description (*.ext)|*.ext|...||" form. Returns the chosen path (UTF-8) or nothing
// when the player cancels. Tests answer these from a script (see test_seam.h).
std::optional<std::string> GetOpenFileName(Wnd* owner, std::string_view title, std::string_view filter,
                                           std::string_view initialFolder, std::string_view defaultExt = {});
std::optional<std::string> GetSaveFileName(Wnd* owner, std::string_view title, std::string_view filter,
                                           std::string_view initialFolder, std::string_view defaultExt = {});

// Sleeps while keeping the windows painted.
void Sleep(int milliseconds);

}  // namespace rymd::ui
