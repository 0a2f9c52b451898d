// The platform's standard controls: buttons (push, owner-drawn, check, radio, group box), static
// texts and edit boxes.
//
// A button behaves like the game's platform button: a left press takes the focus, captures the
// mouse and shows the button pushed while the mouse is over it; the release over it sends
// BN_CLICKED to the parent. Space pushes it from the keyboard. A double click counts as a press.
// An owner-drawn button (BS_OWNERDRAW) asks its parent's OnDrawItem first and then draws itself
// with DrawItem, from a record whose state has ODS_SELECTED while it is pushed.
#pragma once

#include <string>
#include <string_view>

#include "platform/qt/wnd.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace rymd::ui {

class Button : public Wnd {
public:
    Button() = default;
    // A button window (style: BS_* type plus window styles) at rect in the parent.
    bool Create(std::string_view caption, std::uint32_t style, const Rect& rect, Wnd* parent, int id);

    // BST_PUSHED while pushed, BST_CHECKED when checked, BST_FOCUS when it has the focus.
    int GetState() const;
    int GetCheck() const { return checked_; }
    void SetCheck(int check);
    std::uint32_t GetButtonStyle() const;
    // Sends BN_CLICKED as a click would (auto check boxes and radio buttons change first).
    void Click();

    // Draws an owner-drawn button; the default draws nothing.
    virtual void DrawItem(DrawItemStruct& dis) {}

    void OnPaint(Dc& dc) override;
    bool OnEraseBkgnd(Dc& dc) override { return true; }
    void OnLButtonDown(unsigned flags, Point point) override;
    void OnLButtonDblClk(unsigned flags, Point point) override;
    void OnLButtonUp(unsigned flags, Point point) override;
    void OnMouseMove(unsigned flags, Point point) override;
    void OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override;
    void OnKeyUp(unsigned key, unsigned repeat, unsigned flags) override;
    void OnSetFocus(Wnd* oldWnd) override;
    void OnKillFocus(Wnd* newWnd) override;
    void OnCaptureChanged(Wnd* newCapture) override;

protected:
    void TakeOverFrom(Wnd& placeholder) override;

private:
    void SetPushed(bool pushed);
    bool IsOwnerDraw() const;
    void DrawStandard(Dc& dc);

    bool pushed_ = false;    // shown pushed
    bool tracking_ = false;  // the left button went down on it and the mouse is captured
    bool spaceDown_ = false;
    int checked_ = BST_UNCHECKED;
};

// A static text (SS_LEFT, SS_CENTER, SS_RIGHT), drawn with the parent's background; SS_SUNKEN
// frames it with a sunken edge.
class Static : public Wnd {
public:
    bool Create(std::string_view text, std::uint32_t style, const Rect& rect, Wnd* parent, int id);
    void SetTextColor(COLORREF c);
    void OnPaint(Dc& dc) override;

private:
    COLORREF textColor_ = RGB(0, 0, 0);
};

// An edit box (single line, or ES_MULTILINE), backed by a Qt editor. Text changes made by the
// player send EN_CHANGE to the parent.
class Edit : public Wnd {
public:
    bool Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id);

    void SetWindowText(std::string_view text) override;
    std::string GetWindowText() const override;
    void SetReadOnly(bool readOnly = true);
    void SetLimitText(int maxChars);
    // Selects characters [start, end) (end -1: to the end).
    void SetSel(int start, int end);
    // Replaces the selection with text, as typing would.
    void ReplaceSel(std::string_view text);

protected:
    void OnHostCreated() override;
    void OnFontChanged() override;

private:
    QLineEdit* line_ = nullptr;
    QPlainTextEdit* multi_ = nullptr;
    bool settingText_ = false;
};

// A drop-down list (CBS_DROPDOWNLIST): a closed field showing the current item and a list that
// drops down under it. The parent hears CBN_SELCHANGE when the player picks an item and
// CBN_CLOSEUP when the list closes (picked or not).
class ComboBox : public Wnd {
public:
    bool Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id);

    void ResetContent();
    // Appends an item; returns its index.
    int AddString(std::string_view text);
    int GetCount() const;
    // The current item, -1 for none.
    int GetCurSel() const;
    // Makes index the current item (-1 or an index past the end: none); returns it, or -1.
    int SetCurSel(int index);
    std::string GetLBText(int index) const;
    // Drops the list down (true) or closes it (false).
    void ShowDropDown(bool show = true);
    bool GetDroppedState() const { return dropped_; }
    // Height of the selection field (index -1) in pixels.
    void SetItemHeight(int index, int height);
    int GetItemHeight(int index) const { return index < 0 ? fieldHeight_ : 0; }

protected:
    void OnHostCreated() override;
    void OnFontChanged() override;

private:
    void NoteCloseUp();

    QComboBox* combo_ = nullptr;
    bool dropped_ = false;
    int fieldHeight_ = 0;
};

// An up-down (spin) button: a range of 16-bit values whose ends may come in either order, a
// position inside it, and optionally a buddy window that shows the position as a number
// (UDS_SETBUDDYINT). The up arrow moves towards the upper end and the down arrow towards the
// lower one, whichever of the two is larger: with the range 0 .. -10 the up arrow counts down.
// Before each step the parent hears UDN_DELTAPOS (NMUpDown; a non-zero result refuses the
// step); after it the buddy's text is set (the buddy then tells its parent EN_CHANGE) and the
// parent's OnVScroll gets SB_THUMBPOSITION with the new position. With UDS_ARROWKEYS the Up and
// Down keys typed in the buddy step the spin.
struct NMUpDown {
    NotifyHeader hdr;
    int iPos = 0;
    int iDelta = 0;
};

inline constexpr std::uint32_t UDS_WRAP = 0x1;
inline constexpr std::uint32_t UDS_SETBUDDYINT = 0x2;
inline constexpr std::uint32_t UDS_ALIGNRIGHT = 0x4;
inline constexpr std::uint32_t UDS_ALIGNLEFT = 0x8;
inline constexpr std::uint32_t UDS_AUTOBUDDY = 0x10;
inline constexpr std::uint32_t UDS_ARROWKEYS = 0x20;
inline constexpr std::uint32_t UDS_NOTHOUSANDS = 0x80;
inline constexpr int UDN_DELTAPOS = -722;

class SpinButton : public Wnd {
public:
    // With UDS_AUTOBUDDY the buddy is the sibling made just before the spin; with
    // UDS_ALIGNRIGHT (UDS_ALIGNLEFT) the spin sits inside the buddy's right (left) edge and
    // the buddy gives up that width.
    bool Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id);

    // Each end is cut to 16 bits, as the platform's control keeps them.
    void SetRange(int lower, int upper);
    void SetRange32(int lower, int upper) { SetRange(lower, upper); }
    void GetRange(int& lower, int& upper) const {
        lower = lower_;
        upper = upper_;
    }
    // The position, held inside the range; returns the one before. The buddy shows it.
    int SetPos(int pos);
    // The position; with a number buddy, the buddy's number when it holds one within the range.
    int GetPos() const;
    Wnd* SetBuddy(Wnd* buddy);
    Wnd* GetBuddy() const { return buddy_; }
    // One step of the up (+1) or down (-1) arrow, as a click does.
    void Step(int arrow);

    void OnPaint(Dc& dc) override;
    bool OnEraseBkgnd(Dc&) override { return true; }
    void OnLButtonDown(unsigned flags, Point point) override;
    void OnLButtonUp(unsigned flags, Point point) override;

private:
    int Clamp(int pos) const;
    void ShowInBuddy();

    int lower_ = 100;  // the platform's default range runs from 100 down to 0
    int upper_ = 0;
    int pos_ = 0;
    Wnd* buddy_ = nullptr;
    int pushed_ = 0;  // +1 up arrow, -1 down arrow
};

// A horizontal slider (track bar): a range of values and a thumb on a sunken channel. A click
// on the channel or a drag of the thumb moves the thumb to the mouse, Left and Right step by one,
// Page Up and Page Down by a tenth of the range, Home and End go to the ends. Each move tells the
// parent's OnHScroll (SB_THUMBTRACK while dragging, SB_THUMBPOSITION when let go, SB_LINEUP and
// the rest for keys) with the new position; SetPos tells nothing.
class Slider : public Wnd {
public:
    bool Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id);

    void SetRange(int minimum, int maximum, bool redraw = true);
    int GetRangeMin() const { return min_; }
    int GetRangeMax() const { return max_; }
    // The position, held inside the range.
    void SetPos(int pos);
    int GetPos() const { return pos_; }
    // The thumb's rectangle in client coordinates.
    Rect ThumbRect() const;
    // The position the thumb takes for a client x.
    int PosAt(int x) const;

    void OnPaint(Dc& dc) override;
    bool OnEraseBkgnd(Dc&) override { return true; }
    void OnLButtonDown(unsigned flags, Point point) override;
    void OnMouseMove(unsigned flags, Point point) override;
    void OnLButtonUp(unsigned flags, Point point) override;
    void OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override;
    void OnSetFocus(Wnd*) override { Invalidate(false); }
    void OnKillFocus(Wnd*) override { Invalidate(false); }

private:
    static constexpr int kThumbWidth = 11;
    void MoveTo(int pos, int code);

    int min_ = 0;
    int max_ = 100;
    int pos_ = 0;
    bool dragging_ = false;
};

inline constexpr int CBN_SELCHANGE = 1;
inline constexpr int CBN_CLOSEUP = 8;
inline constexpr std::uint32_t CBS_DROPDOWNLIST = 0x3;

}  // namespace rymd::ui
