// CCellCtrl: the grid of the game's dialogs.
//
// A table with a label row, an optional line-number column, fixed columns on the left (left of a
// draggable separator) and horizontally scrolling columns on the right, cells of several kinds,
// cell and line selection, in-place editing, sorting by a caller's compare function, and
// notifications to the parent (WM_NOTIFY records below). The grid is a facade over two panes
// (cell_pane.h): every column or cell call goes to the pane that holds the column, every line
// call to both panes so that their lines stay in step.
//
// Column c lives in the left pane when c < separator, else in the right pane as c - separator.
// Set-up (separator, style, font size, columns) is made before Create; later changes are not
// laid out again.
//
// Column types (low 12 bits of SetColumn's second argument): 0 integer ("%d"), 1 decimal (with
// the column's decimal places), 2 text, 3 choice list (the value is the index), 4 text with a
// hint list shown in a tip, 5 integer with a spin mark, 6 text after a black square. Flags:
// kReadOnly (0x1000) and kRightAlign (0x2000).
//
// Style bits: see the kStyle constants.
//
// Keys: typing on a selected cell opens the editor with the typed character; Enter opens it with
// the old text (or commits an open edit and moves down); Escape closes without storing; Up, Down,
// Left and Right move the selection; Tab moves the focus to the next sibling with WS_TABSTOP.
//
// The editor is a window of its own. While it is hidden the pane holding the selection keeps the
// focus in its place, so that a key typed on a selected cell reaches the pane and starts editing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "mbwnd/cell_pane.h"
#include "platform/qt/wnd.h"

namespace MbWnd {

// Notification codes.
enum CellNotifyCode {
    kCellClick = 0,          // tagCellNotify: column, line (-1 outside), x, y
    kCellSelChange = 1,      // tagCellNotify: column, line
    kCellChanged = 2,        // tagCellChangeNotify
    kCellRButtonDown = 3,    // tagCellNotify: column, line, x, y
    kCellRButtonUp = 4,      // tagCellNotify: selected column and line, x, y
    kCellLineSelChange = 5,  // header only
    kCellLabelClick = 6,     // tagCellNotify: column (32767 + first column: line-number label)
    kCellDblClick = 7,       // tagCellNotify: column, line, x, y
    kCellEditBegin = 8,      // tagCellNotify: column, line
};

struct tagCellNotify {
    rymd::ui::NotifyHeader hdr;
    int column = -1;
    int line = -1;
    int x = 0;  // the grid's client coordinates
    int y = 0;
};

struct tagCellChangeNotify {
    rymd::ui::NotifyHeader hdr;
    int column = -1;
    int line = -1;
    double oldValue = 0;
    std::string oldText;
};

using CellCompare = int (*)(std::intptr_t, std::intptr_t, std::intptr_t);
using CellCompareEx = int (*)(std::intptr_t, std::intptr_t, std::intptr_t, void*);

class CCellCtrl : public rymd::ui::Wnd {
public:
    static constexpr std::uint32_t kStyleLineColor = 0x0001;  // selected line in light blue
    static constexpr std::uint32_t kStyleNoFocusFrame = 0x0002;
    static constexpr std::uint32_t kStyleNoEdit = 0x0004;
    static constexpr std::uint32_t kStylePastEnd = 0x0008;  // the position past the last line
    static constexpr std::uint32_t kStyleLineNumber = 0x0010;
    static constexpr std::uint32_t kStyleNewLineRow = 0x0020;  // an empty row after the last line
    static constexpr std::uint32_t kStyleIgnoreNegative = 0x0040;
    static constexpr std::uint32_t kStyleMultiLine = 0x0080;
    static constexpr std::uint32_t kStyleCellMark = 0x0100;
    static constexpr std::uint32_t kStyleStoredNumber = 0x0200;
    static constexpr std::uint32_t kStyleAlwaysFrame = 0x0400;
    static constexpr int kReadOnly = 0x1000;
    static constexpr int kRightAlign = 0x2000;
    static constexpr int kLeftPaneId = 3000;
    static constexpr int kSeparatorId = 3001;
    static constexpr int kRightPaneId = 3002;
    static constexpr int kSeparatorWidth = 7;

    CCellCtrl();
    ~CCellCtrl() override;

    // ---- Set-up ----
    void SetSeparater(int n) { m_nSeparater = std::max(0, n); }
    int GetSeparater() const { return m_nSeparater; }
    void SetStyle(std::uint32_t style) { m_dwStyle = style; }
    std::uint32_t GetStyle() const { return m_dwStyle; }
    void SetFontSize(int size) { m_nFontSize = size; }
    void SetLineNumWidth(int width);
    void SetColumn(int col, int typeAndFlags, int width, const char* title, int decimals = 0);
    void AddItemList(int col, const char* text);
    void SetItemList(int col, int index, const char* text);
    void GetItemList(int col, int index, std::string& text) const;
    int GetItemListCount(int col) const;
    void DeleteAllItemList(int col);
    int GetColumnType(int col) const;
    int GetColumnCount() const;
    // Row height of the font size (label row and lines).
    int RowHeight() const;

    // ---- Lines and cells ----
    void SetLineSize(int n);
    void InsertLine(int line, int value = 0);
    void DeleteLine(int line);
    void DeleteAllLine();
    int GetLineSize() const;
    void SetLineData(int line, int data);
    int GetLineData(int line) const;
    void SetLineItem(int line, int col, double value);
    void SetLineItem(int line, int col, const char* text);
    void GetLineItem(int line, int col, double* value) const;
    void GetLineItem(int line, int col, int* value) const;
    void GetLineItem(int line, int col, std::string& text) const;
    // The cell as shown, cut to size - 1 bytes on a character boundary.
    void GetCellText(int line, int col, char* buffer, int size) const;
    std::string GetCellText(int line, int col) const;
    void GetCheck(int line, int col, bool* check) const;
    bool GetSelectStat(int line) const;
    void MultiLineSelect(int line, bool selected);
    int GetLineNumber(int line) const;
    void ResetLineNumber();
    bool CheckLineNumberOrder() const;

    // ---- Selection and editing ----
    void SelectCell(int line, int col);
    void UnselectCell();
    bool GetSelectedCell(int* line, int* col, int* state) const;
    void StoreEditValue();
    void InsertTextToEditCell(const char* text);
    int GetMultiSelectedCellColumn() const;
    bool GetMultiSelectedCellStat(int line, int col) const;
    void SetMultiSelectedCellItem(int col, int value);
    void SetMultiSelectedCellItem(int col, double value);
    void SetMultiSelectedCellItem(int col, const char* text);

    // ---- Colours ----
    void SetLabelTextColor(COLORREF c, bool redraw = false);
    void SetLabelBackColor(COLORREF c, bool redraw = false);
    void SetTextColor(COLORREF c, bool redraw = false);
    void SetBackColor(COLORREF c, bool redraw = false);
    void SetLineColor(COLORREF c, bool redraw = false);

    // ---- Sorting (ascending by the compare function; not stable) ----
    void SortItems(CellCompare compare, std::uint32_t lParamSort);
    void SortLines(CellCompare compare, std::uint32_t lParamSort);
    void SortItemsEx(CellCompareEx compare, std::uint32_t lParamSort, void* extra);
    void SortLinesEx(CellCompareEx compare, std::uint32_t lParamSort, void* extra);

    // ---- Layout ----
    void LocateWindow(const rymd::ui::Rect& rect);
    int GetLeftWidth() const { return m_nLeftWidth; }

    // The parts (for the panes and the tests).
    CCellPane& LeftPane() { return m_pParts->left; }
    CCellPane& RightPane() { return m_pParts->right; }
    CCellSeparatorWnd& Separator() { return m_pParts->separator; }
    const CCellPane& LeftPane() const { return m_pParts->left; }
    const CCellPane& RightPane() const { return m_pParts->right; }
    CCellPane& PaneOf(int col) { return col < m_nSeparater ? LeftPane() : RightPane(); }
    const CCellPane& PaneOf(int col) const { return col < m_nSeparater ? LeftPane() : RightPane(); }
    int PaneColumn(int col) const { return col < m_nSeparater ? col : col - m_nSeparater; }
    rymd::ui::Font& CellFont() { return m_CellFont; }

    // ---- Messages ----
    int OnCreate() override;
    void OnSize(int type, int cx, int cy) override;
    bool OnEraseBkgnd(rymd::ui::Dc&) override { return true; }
    void OnLButtonDown(unsigned flags, rymd::ui::Point point) override;
    void OnMouseMove(unsigned flags, rymd::ui::Point point) override;
    void OnLButtonUp(unsigned flags, rymd::ui::Point point) override;
    void OnSetFocus(rymd::ui::Wnd* oldWnd) override;
    bool PreTranslateMessage(rymd::ui::Msg& msg) override;

private:
    struct Parts {
        explicit Parts(CCellCtrl& grid) : left(grid), right(grid), separator(grid) {}
        CCellPane left;
        CCellPane right;
        CCellSeparatorWnd separator;
    };
    template <typename Key, typename Cmp>
    void SortBy(Key key, Cmp cmp, bool clearPastEnd);
    void TabWalk(bool backwards);
    static void LinesChanged(CCellPane& p);
    template <typename F>
    void ForBothPanes(F f) {
        f(LeftPane());
        f(RightPane());
    }

    std::unique_ptr<Parts> m_pParts;
    rymd::ui::Font m_CellFont;
    int m_nLeftWidth = 0;
    bool m_bSepDragging = false;
    rymd::ui::Point m_ptDragStart;
    int m_nDragStartWidth = 0;
    int m_nSeparater = 0;
    std::uint32_t m_dwStyle = 0;
    int m_nFontSize = 0;
    int m_nLineNumWidth = 40;
};

}  // namespace MbWnd
