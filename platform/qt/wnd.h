// Windows of the window layer.
//
// A Wnd is a C++ object that may or may not have a window on the screen: it is constructed
// empty and gets its window by Create (or by SubclassDlgItem, which takes over a control that a
// dialog template made). The window dies with the object or by DestroyWindow. Child windows have
// a control id; controls tell their parent what happened by calling the parent's OnCommand (a
// command with the control's id and a notification code) or OnNotify (a record that begins with
// a NotifyHeader). The records live only during the call.
//
// Input arrives as virtual handlers (OnLButtonDown, OnKeyDown, OnTimer, ...). Before a key or
// mouse message is handled, PreTranslateMessage runs on the target window and then on each of
// its parents, and any of them may consume the message or change it (a dialog handles Enter,
// Escape and Tab there). A handler that wants the default behaviour calls the base class's
// handler.
//
// Timers repeat until killed; SetTimer with an id that runs re-arms it. Mouse capture sends every
// mouse message to the capturing window. Scroll bars are the window's own (see the scroll-bar
// members): their show state, arrows, range, page and position work as the game's scroll windows
// expect, and a bar shown or hidden changes the client area at once (OnSize runs before the call
// returns).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/ui_types.h"

class QWidget;
class QImage;

namespace rymd::ui {

class Dc;
class Font;
class Region;
class WndHost;

// A key or mouse message on its way to a window.
struct Msg {
    unsigned message = 0;  // WM_KEYDOWN, WM_CHAR, WM_LBUTTONDOWN, ...
    class Wnd* wnd = nullptr;
    unsigned key = 0;    // virtual key (key messages) or character (WM_CHAR)
    unsigned flags = 0;  // MK_* flags (mouse messages; MK_SHIFT and MK_CONTROL also for keys)
    Point pt;            // client coordinates of mouse messages (screen for WM_MOUSEWHEEL)
    int wheelDelta = 0;  // WM_MOUSEWHEEL: 120 per notch away from the user
};

// The start of every notification record.
struct NotifyHeader {
    class Wnd* hwndFrom = nullptr;
    int idFrom = 0;
    int code = 0;
};

// The record an owner-drawn control draws from.
struct DrawItemStruct {
    unsigned ctlType = ODT_BUTTON;
    int ctlId = 0;
    unsigned itemAction = ODA_DRAWENTIRE;
    unsigned itemState = 0;  // ODS_SELECTED, ODS_FOCUS, ODS_DISABLED
    class Wnd* hwndItem = nullptr;
    Dc* hDC = nullptr;
    Rect rcItem;
};

// Scroll-bar state of one bar.
struct ScrollInfo {
    int nMin = 0;
    int nMax = 0;
    int nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

class Wnd {
public:
    Wnd();
    virtual ~Wnd();
    Wnd(const Wnd&) = delete;
    Wnd& operator=(const Wnd&) = delete;

    // ---- Creation ----------------------------------------------------------------------------
    // Creates the window: a child of parent (WS_CHILD) at rect in the parent's client
    // coordinates, or a top-level window (WS_POPUP, or no parent) at rect in screen coordinates
    // owned by parent. OnCreate runs before the window is shown; it may refuse with -1.
    bool CreateEx(std::uint32_t exStyle, std::uint32_t style, const Rect& rect, Wnd* parent, int id,
                  std::string_view text = {});
    bool Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id, std::string_view text = {});
    // Destroys the window (and its children); the object stays.
    void DestroyWindow();
    bool IsWindow() const { return host_ != nullptr; }
    // Takes over the child control with the given id that the parent's template made: this
    // object handles its messages from now on. False when there is no such child.
    bool SubclassDlgItem(int id, Wnd* parent);

    // ---- Identity and family -------------------------------------------------------------------
    int GetDlgCtrlID() const;
    void SetDlgCtrlID(int id);
    // The parent of a child window, the owner of a top-level one.
    Wnd* GetParent() const;
    // The child with the given id (searched among direct children), or null.
    Wnd* GetDlgItem(int id) const;
    // That child's rectangle in this window's client coordinates (empty without such a child):
    // where a dialog places what it makes over a template's placeholder.
    Rect ChildRect(int id) const;
    // Direct children in creation order.
    std::vector<Wnd*> GetChildren() const;
    // The top-level window this window is in.
    Wnd* GetTopLevelParent();
    bool IsChild(const Wnd* other) const;
    // The window at a screen point, or null.
    static Wnd* WindowFromPoint(Point screen);

    // ---- Style and text -------------------------------------------------------------------------
    std::uint32_t GetStyle() const;
    std::uint32_t GetExStyle() const;
    // Changes style bits. Removing WS_CAPTION or the frame from a top-level window makes it
    // frameless (its whole area is client area).
    void ModifyStyle(std::uint32_t remove, std::uint32_t add);
    virtual void SetWindowText(std::string_view text);
    virtual std::string GetWindowText() const;
    // The window's big icon (task switcher, minimised window) or small icon (caption); a
    // top-level window shows them. The icon set, or a null image.
    void SetIcon(const QImage& icon, bool big);
    QImage GetIcon(bool big) const;

    // ---- Geometry -------------------------------------------------------------------------------
    Rect GetClientRect() const;
    // The window's rectangle in screen coordinates (the frame included).
    Rect GetWindowRect() const;
    // Moves a child window to rect in its parent's client coordinates, or a top-level window to
    // rect in screen coordinates (its outer frame).
    void MoveWindow(const Rect& rect, bool repaint = true);
    void MoveWindow(int x, int y, int w, int h, bool repaint = true) {
        MoveWindow(Rect(x, y, x + w, y + h), repaint);
    }
    // Centres a top-level window over another window (null: its owner, else the screen).
    void CenterWindow(Wnd* over = nullptr);
    // Where a top-level window lies when it is neither maximised nor minimised (its frame
    // included), and how it is shown: SW_SHOWNORMAL or SW_SHOWMAXIMIZED.
    struct WindowPlacement {
        Rect normal;
        int show = SW_SHOWNORMAL;
    };
    WindowPlacement GetWindowPlacement() const;
    // Gives a top-level window its normal rectangle and shows it normally or maximised.
    void SetWindowPlacement(const WindowPlacement& placement);
    void ClientToScreen(Point& p) const;
    void ClientToScreen(Rect& r) const;
    void ScreenToClient(Point& p) const;
    void ScreenToClient(Rect& r) const;
    bool ShowWindow(int cmd);
    bool IsWindowVisible() const;
    bool EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void BringWindowToTop();
    // Shapes the window: only the region (in window coordinates) belongs to it, for painting and
    // for the mouse. Null gives the window back its whole rectangle.
    void SetWindowRgn(const Region* region, bool redraw = true);

    // ---- Painting ---------------------------------------------------------------------------------
    void Invalidate(bool erase = true);
    void InvalidateRect(const Rect* rect, bool erase = true);
    // Paints what is invalid now.
    void UpdateWindow();
    // Invalidate, erase and paint at once.
    void RedrawWindow();
    // Suspends (false) and resumes (true) drawing of the window.
    void SetRedraw(bool redraw);

    // ---- Focus and capture -------------------------------------------------------------------------
    Wnd* SetFocus();
    static Wnd* GetFocus();
    Wnd* SetCapture();
    static void ReleaseCapture();
    static Wnd* GetCapture();

    // ---- Timers -------------------------------------------------------------------------------------
    int SetTimer(int id, int milliseconds);
    bool KillTimer(int id);
    bool HasTimer(int id) const;

    // ---- Font ---------------------------------------------------------------------------------------
    // The font the window draws its text with; the caller keeps it alive.
    void SetFont(Font* font, bool redraw = true);
    // The window's font, or the default font.
    Font* GetFont() const;

    // ---- Scroll bars ----------------------------------------------------------------------------------
    void ShowScrollBar(int bar, bool show = true);
    bool IsScrollBarVisible(int bar) const;
    // ESB_ENABLE_BOTH or ESB_DISABLE_BOTH.
    bool EnableScrollBar(int bar, int arrows);
    bool IsScrollBarEnabled(int bar) const;
    // Sets range and page (and the position, which is clamped). A bar whose range needs scrolling
    // is shown; one whose page holds the whole range is hidden.
    void SetScrollInfo(int bar, int nMin, int nMax, int nPage, bool redraw = true);
    ScrollInfo GetScrollInfo(int bar) const;
    // Sets the position, clamped to [min, max - page + 1]; returns the old position.
    int SetScrollPos(int bar, int pos, bool redraw = true);
    int GetScrollPos(int bar) const;
    void GetScrollRange(int bar, int* minPos, int* maxPos) const;
    // The client contents moved by (dx, dy): the affected area is invalidated.
    void ScrollWindow(int dx, int dy, const Rect* scrollRect = nullptr, const Rect* clipRect = nullptr);

    // ---- Messages ------------------------------------------------------------------------------------
    // Calls OnCommand of the window (a WM_COMMAND sent to it). False when it is null.
    static bool SendCommand(Wnd* target, int id, int code, Wnd* from);
    // Calls OnNotify of the window; returns the handler's result (0 when unhandled).
    static std::intptr_t SendNotify(Wnd* target, NotifyHeader* header);
    // Posts a user message: OnUserMessage runs later from the event loop (unless the window is gone).
    void PostUserMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    // Delivers a key or mouse message as if it came from the input (PreTranslateMessage first).
    static void DispatchInput(Msg& msg);

    // ---- Handlers -------------------------------------------------------------------------------------
    virtual int OnCreate() { return 0; }
    virtual void OnDestroy() {}
    virtual void OnPaint(Dc& dc) {}
    // Erases the background; the default fills the client area with the window's background colour.
    virtual bool OnEraseBkgnd(Dc& dc);
    virtual void OnSize(int type, int cx, int cy) {}
    virtual void OnShowWindow(bool show, int status) {}
    virtual void OnClose();
    virtual void OnLButtonDown(unsigned flags, Point point) {}
    virtual void OnLButtonUp(unsigned flags, Point point) {}
    virtual void OnLButtonDblClk(unsigned flags, Point point) {}
    virtual void OnRButtonDown(unsigned flags, Point point) {}
    virtual void OnRButtonUp(unsigned flags, Point point) {}
    virtual void OnRButtonDblClk(unsigned flags, Point point) {}
    virtual void OnMouseMove(unsigned flags, Point point) {}
    // point in screen coordinates; return false to pass the wheel to the parent.
    virtual bool OnMouseWheel(unsigned flags, int delta, Point point) { return false; }
    virtual void OnKeyDown(unsigned key, unsigned repeat, unsigned flags) {}
    virtual void OnKeyUp(unsigned key, unsigned repeat, unsigned flags) {}
    virtual void OnChar(unsigned ch, unsigned repeat, unsigned flags) {}
    virtual void OnSetFocus(Wnd* oldWnd) {}
    virtual void OnKillFocus(Wnd* newWnd) {}
    virtual void OnCaptureChanged(Wnd* newCapture) {}
    // Return true when the cursor was set (otherwise the arrow is shown).
    virtual bool OnSetCursor(Wnd* wnd, int hitTest, unsigned message) { return false; }
    virtual void OnTimer(int id) {}
    virtual void OnHScroll(int code, int pos) {}
    virtual void OnVScroll(int code, int pos) {}
    // A command from a child control or a menu; return true when handled.
    virtual bool OnCommand(int id, int code, Wnd* from) { return false; }
    // The item under the cursor in the window's menu bar menus moved: the command of the item
    // now highlighted, 0 for an item without a command (a separator, a submenu or a top item) and
    // when the menu closes.
    virtual void OnMenuSelect(unsigned item) {}
    // A notification record; store a result in *result and return true when handled.
    virtual bool OnNotify(int id, NotifyHeader* header, std::intptr_t* result) { return false; }
    // An owner-drawn child asks its parent to draw it; return false to let the child draw itself.
    virtual bool OnDrawItem(int id, DrawItemStruct& dis) { return false; }
    virtual void OnUserMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {}
    // Runs before a key or mouse message is handled; return true to consume it.
    virtual bool PreTranslateMessage(Msg& msg) { return false; }

    // ---- Layer internals ------------------------------------------------------------------------------
    // The Qt widget of the window (null when there is none).
    QWidget* GetWidget() const;
    WndHost* Host() const { return host_; }
    // Background colour used by the default OnEraseBkgnd.
    void SetBackgroundColor(COLORREF c);
    // Takes ownership of a child object (the controls a dialog template makes).
    Wnd* AdoptChild(std::unique_ptr<Wnd> child);

protected:
    // Control classes take over their state from the placeholder they replace.
    virtual void TakeOverFrom(Wnd& placeholder) {}
    // Called by CreateEx once the host exists: controls add their Qt parts here.
    virtual void OnHostCreated() {}
    // Called by SetFont after the font changed.
    virtual void OnFontChanged() {}

private:
    friend class WndHost;
    WndHost* host_ = nullptr;
    std::vector<std::unique_ptr<Wnd>> owned_;
};

}  // namespace rymd::ui
