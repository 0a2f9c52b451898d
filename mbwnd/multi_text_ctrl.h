// CMultiTextCtrl: a scrolling, read-only view of a multi-line text with a small tag language.
//
// Between two tag separators ('$' unless changed) on one line stands a tag:
//   color=0xRRGGBB  the following text is drawn in that colour
//   link=N          the following text is link N: underlined, in RGB(180, 40, 160)
//   /link           ends the link
// Other tags are ignored; numbers are read in C notation (0x hexadecimal, 0 octal) and anything
// that is not a number counts as 0. A separator without its closing one hides the rest of its
// line. Colour, font and an open link carry over to the following lines.
//
// Lines are 15 pixels apart and start 4 pixels from the left, the first one pixel from the top.
// With breaking on, a line longer than the window continues on the next line (a character is
// never split). A left click tells the parent (a command with the control's id); GetPushedLink
// then gives the link under the click or -1. The link under the mouse is highlighted. A right
// click offers "コピー(&C)", which puts the whole text, tags included, with CR LF line ends, on the
// clipboard.
#pragma once

#include <string>
#include <vector>

#include "mbbmp/control_bmp.h"
#include "mbwnd/scroll_wnd.h"
#include "platform/qt/font.h"
#include "platform/qt/menu.h"

namespace rymd::ui {
class Dc;
}

namespace MbWnd {

using rymd::ui::COLORREF;

class CMultiTextCtrl : public CScrollWnd {
public:
    // A link as laid out: its id and its rectangle in content coordinates.
    struct LinkRecord {
        int id = 0;
        rymd::ui::Rect rect;
    };

    CMultiTextCtrl();
    ~CMultiTextCtrl() override;

    // Replaces the text (UTF-8, lines separated by line feeds) and lays it out.
    void SetText(std::string text, bool redraw = true, bool scrollToEnd = false);
    const std::string& GetText() const { return m_strText; }
    // The size of the laid-out text.
    rymd::ui::Size CalcWindowSize();
    // The id of the link under the last left click, -1 when none.
    int GetPushedLink() const { return m_nPushedLink; }
    void SetTagSeparateChar(char c) { m_cTagSeparate = c; }
    void SetTextColor(COLORREF c) { m_crText = c; }
    void SetBackColor(COLORREF c) { m_crBack = c; }
    void SetReturnLineEnd(bool b) { m_bReturnLineEnd = b; }
    // A picture drawn at the top-left corner under the text (not scrolled); the caller keeps it
    // alive. Null clears it.
    void SetBackGroundBmp(MbBmp::CControlBmp* bmp) { m_pBackGroundBmp = bmp; }

    // The links as last painted, and the hovered link's rectangle (left -1: none).
    const std::vector<LinkRecord>& GetLinks() const { return m_Links; }
    rymd::ui::Rect GetHoverLinkRect() const { return m_rcHoverLink; }
    static constexpr int kLineHeight = 15;
    static constexpr int kCommandCopy = 2001;

    int OnCreate() override;
    void OnPaint(rymd::ui::Dc& dc) override;
    bool OnEraseBkgnd(rymd::ui::Dc& dc) override { return true; }
    void OnLButtonDown(unsigned flags, rymd::ui::Point point) override;
    void OnMouseMove(unsigned flags, rymd::ui::Point point) override;
    bool OnMouseWheel(unsigned flags, int delta, rymd::ui::Point point) override;
    void OnSize(int type, int cx, int cy) override;
    void OnRButtonDown(unsigned flags, rymd::ui::Point point) override;
    void OnVScroll(int code, int pos) override;
    void OnHScroll(int code, int pos) override;
    bool OnCommand(int id, int code, rymd::ui::Wnd* from) override;

private:
    // Lays out (and unless measuring draws) the text; returns its size.
    rymd::ui::Size DrawTextA(rymd::ui::Dc& dc, bool measureOnly, rymd::ui::Point scroll, int visibleHeight);
    // Splits a tag at its first '=' into a name and a value.
    void AnalyzeTag(const std::string& tag, std::string& name, std::string& value);
    rymd::ui::Point ScrollOffset() const;
    rymd::ui::Rect Moved(const rymd::ui::Rect& r) const;

    char m_cTagSeparate = '$';
    rymd::ui::Font m_NormalFont;
    rymd::ui::Font m_LinkFont;
    int m_nLineHeight = kLineHeight;
    std::string m_strText;
    std::vector<LinkRecord> m_Links;
    rymd::ui::Rect m_rcHoverLink{-1, -1, -1, -1};
    int m_nPushedLink = -1;
    COLORREF m_crText;
    COLORREF m_crBack;
    bool m_bReturnLineEnd = false;
    int m_nClientWidth = 0;
    rymd::ui::Menu m_Menu;
    MbBmp::CControlBmp* m_pBackGroundBmp = nullptr;
};

}  // namespace MbWnd
