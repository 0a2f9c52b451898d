// The inside of the grid control (CCellCtrl, cell_ctrl.h): the column and line records, the pane
// that paints and edits one group of columns, the in-place editor, the hint tip and the
// separator between the two panes. None of this is used outside the grid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mbwnd/scroll_wnd.h"
#include "platform/qt/controls.h"
#include "platform/qt/font.h"

namespace MbWnd {

class CCellCtrl;
class CCellPane;
using rymd::ui::COLORREF;

// One cell: numeric kinds use the value, text kinds the text, the choice list the value as index.
struct tagCellListItem {
    double value = 0;
    std::string text;
    bool check = false;  // read by GetCheck; nothing in the grid sets it
    bool mark = false;   // cell marking (style 0x0100)
};

struct tagCellNotify;
struct tagCellChangeNotify;

class CCellColumn {
public:
    virtual ~CCellColumn() = default;
    CCellColumn() = default;
    CCellColumn(const CCellColumn&) = default;
    CCellColumn& operator=(const CCellColumn&) = default;

    int type = 0;  // cell kind 0..6
    int width = 0;
    std::string title;
    bool readOnly = false;
    bool rightAligned = false;
    unsigned char decimals = 0;
    std::vector<std::string> choices;
};

class CCellLine {
public:
    virtual ~CCellLine() = default;
    CCellLine() = default;
    CCellLine(const CCellLine&) = default;
    CCellLine& operator=(const CCellLine&) = default;
    CCellLine(CCellLine&&) noexcept = default;
    CCellLine& operator=(CCellLine&&) noexcept = default;

    int value = 0;     // InsertLine's second argument, kept
    std::string text;  // kept, not set by the grid
    std::vector<tagCellListItem> cells;
    bool selected = false;
    int userData = 0;
    int number = 0;
};

// The in-place editor (id 1234). Hidden, it leaves the keys to its pane, which starts editing on
// a typed key (see CCellPane::OnKeyDown); shown over a cell it takes the typed text.
class CCellEdit : public rymd::ui::Edit {
public:
    explicit CCellEdit(CCellPane& pane) : pane_(pane) {}
    bool PreTranslateMessage(rymd::ui::Msg& msg) override;
    void OnSetFocus(rymd::ui::Wnd* oldWnd) override;
    void OnKillFocus(rymd::ui::Wnd* newWnd) override;
    // Pastes text through the clipboard, keeping what the clipboard held.
    void PasteText(const std::string& text);

protected:
    void OnHostCreated() override;

private:
    CCellPane& pane_;
};

// The hint tip of type-4 columns: up to 19 lines on a pale yellow ground.
class CCellTipWnd : public rymd::ui::Wnd {
public:
    static constexpr int kMaxLines = 19;
    void SetText(const std::string& text);
    void AddLine(const std::string& text);
    rymd::ui::Size Measure(rymd::ui::Dc& dc) const;
    const std::vector<std::string>& Lines() const { return m_Lines; }
    int LineHeight() const { return m_nLineHeight; }
    void OnPaint(rymd::ui::Dc& dc) override;
    bool OnEraseBkgnd(rymd::ui::Dc&) override { return true; }

private:
    std::vector<std::string> m_Lines{"TEST"};
    int m_nLineHeight = 20;
};

// The 7-pixel bar between the panes; dragging it moves the split.
class CCellSeparatorWnd : public rymd::ui::Wnd {
public:
    explicit CCellSeparatorWnd(CCellCtrl& grid) : grid_(grid) {}
    void OnPaint(rymd::ui::Dc& dc) override;
    bool OnEraseBkgnd(rymd::ui::Dc&) override { return true; }
    bool OnSetCursor(rymd::ui::Wnd* wnd, int hitTest, unsigned message) override;
    void OnLButtonDown(unsigned flags, rymd::ui::Point point) override;
    void OnMouseMove(unsigned flags, rymd::ui::Point point) override;
    void OnLButtonUp(unsigned flags, rymd::ui::Point point) override;

private:
    rymd::ui::Point ToGrid(rymd::ui::Point p) const;
    CCellCtrl& grid_;
    bool m_bCapturing = false;
};

// One group of columns with the lines' cells.
class CCellPane : public CScrollWnd {
public:
    static constexpr int kEditId = 1234;
    static constexpr int kListId = 2000;
    static constexpr int kLineNumberLabel = 32767;
    static constexpr COLORREF kSelectedBack = rymd::ui::RGB(200, 230, 255);
    static constexpr COLORREF kMarkedBack = rymd::ui::RGB(216, 216, 255);

    explicit CCellPane(CCellCtrl& grid);
    ~CCellPane() override;

    // ---- Set-up by the grid ----
    void SetStyle(std::uint32_t style) { m_dwStyle = style; }
    void SetOther(CCellPane* other) { m_pOther = other; }
    void SetFirstColumn(int first) { m_nFirstColumn = first; }
    int FirstColumn() const { return m_nFirstColumn; }
    void SetCellFont(rymd::ui::Font* font) { m_pFont = font; }
    void SetRowHeight(int h) {
        m_nLabelHeight = h;
        m_nLineHeight = h;
    }
    void SetLineNumWidth(int w) { m_nLineNumWidth = w; }
    int LineNumWidth() const { return m_nLineNumWidth; }

    // ---- Columns ----
    void SetColumn(int col, int typeAndFlags, int width, const std::string& title, int decimals);
    int ColumnCount() const { return static_cast<int>(m_Columns.size()); }
    const CCellColumn* Column(int col) const;
    CCellColumn* Column(int col);
    int GetColumnType(int col) const;
    // The x where pane column col starts (content coordinates).
    int ColumnLeft(int col) const;

    // ---- Lines and cells ----
    int LineCount() const { return static_cast<int>(m_Lines.size()); }
    void SetLineSize(int n);
    void InsertLine(int line, int value, int number);
    void DeleteLine(int line);
    void DeleteAllLine();
    void SwapLines(int a, int b);
    CCellLine* Line(int line);
    const CCellLine* Line(int line) const;
    tagCellListItem* Cell(int line, int col);
    const tagCellListItem* Cell(int line, int col) const;
    // The cell as shown.
    std::string CellText(int line, int col) const;

    // ---- Selection and editing ----
    int SelectedLine() const { return m_nSelLine; }
    int SelectedColumn() const { return m_nSelColumn; }
    void SetSelectedLine(int line) { m_nSelLine = line; }
    void SetSelectedColumn(int col) { m_nSelColumn = col; }
    bool IsOpen() const { return m_bEditOpen || m_bListOpen || m_bTipOpen; }
    bool IsEditorOpen() const { return m_bEditOpen; }
    void Select(int line, int col, bool scroll, bool clearMarks);
    void Commit();
    void Flush();
    // Closes editor, list and tip without storing anything.
    void CancelEdit();
    void StartEdit(int col, int line, bool loadText);
    void RecalcScrollSizes();
    void ClearMarks(int exceptColumn);
    int FirstMarkedColumn() const;
    bool MarkState(int line, int col) const;
    void SetMarkedCells(int col, double value);
    void SetMarkedCells(int col, const std::string& text);
    // Moves to the vertical position (in lines) as the other pane's scrolling does.
    void FollowVertical(int pos);

    CCellEdit& Editor() { return m_Edit; }
    rymd::ui::ComboBox& List() { return m_List; }
    CCellTipWnd& Tip() { return m_Tip; }
    bool HasFocus() const;

    // Colours.
    COLORREF m_crLabelText;
    COLORREF m_crLabelBack;
    COLORREF m_crText;
    COLORREF m_crBack;
    COLORREF m_crLine;

    // ---- Messages ----
    int OnCreate() override;
    void OnPaint(rymd::ui::Dc& dc) override;
    bool OnEraseBkgnd(rymd::ui::Dc&) override { return true; }
    void OnHScroll(int code, int pos) override;
    void OnVScroll(int code, int pos) override;
    bool OnMouseWheel(unsigned flags, int delta, rymd::ui::Point point) override;
    void OnLButtonDown(unsigned flags, rymd::ui::Point point) override;
    void OnLButtonDblClk(unsigned flags, rymd::ui::Point point) override;
    void OnLButtonUp(unsigned flags, rymd::ui::Point point) override;
    void OnRButtonDown(unsigned flags, rymd::ui::Point point) override;
    void OnRButtonUp(unsigned flags, rymd::ui::Point point) override;
    void OnMouseMove(unsigned flags, rymd::ui::Point point) override;
    bool OnSetCursor(rymd::ui::Wnd* wnd, int hitTest, unsigned message) override;
    void OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override;
    void OnChar(unsigned ch, unsigned repeat, unsigned flags) override;
    void OnSetFocus(rymd::ui::Wnd* oldWnd) override;
    void OnKillFocus(rymd::ui::Wnd* newWnd) override;
    bool OnCommand(int id, int code, rymd::ui::Wnd* from) override;
    bool PreTranslateMessage(rymd::ui::Msg& msg) override;
    void OnCaptureChanged(rymd::ui::Wnd* newCapture) override;

    // Hit tests (client coordinates).
    void HitTest(rymd::ui::Point p, int* line, int* col) const;
    int HitColumnBorder(rymd::ui::Point p) const;
    int HitLabel(rymd::ui::Point p) const;
    // The cell's rectangle in client coordinates.
    rymd::ui::Rect CellRect(int line, int col) const;
    int LabelHeight() const { return m_nLabelHeight; }
    int LineHeight() const { return m_nLineHeight; }
    // Lines painted by the last paint (for the tests of painting only what is seen).
    int LastPaintedLines() const { return m_nLastPainted; }

private:
    void SendCellNotify(int code, int col, int line, rymd::ui::Point p);
    void SendCode5();
    rymd::ui::Point ToGrid(rymd::ui::Point p) const;
    int Rows() const;
    int MaxLine() const;
    bool ValidEditCell(int line, int col) const;
    void SetLineFlag(int line, bool on);
    void ToggleLineFlag(int line);
    void ScrollIntoView(int line, int col);
    void DrawCell(rymd::ui::Dc& dc, const rymd::ui::Rect& r, int line, int col);

    CCellCtrl& grid_;
    std::uint32_t m_dwStyle = 0;
    std::vector<CCellColumn> m_Columns;
    std::vector<CCellLine> m_Lines;
    CCellPane* m_pOther = nullptr;
    int m_nFirstColumn = 0;
    int m_nSelLine = -1;
    int m_nSelColumn = -1;
    CCellEdit m_Edit;
    bool m_bEditOpen = false;
    rymd::ui::ComboBox m_List;
    bool m_bListOpen = false;
    CCellTipWnd m_Tip;
    bool m_bTipOpen = false;
    bool m_bOverBorder = false;
    int m_nResizeColumn = -1;
    rymd::ui::Point m_ptResizeStart;
    int m_nResizeStartWidth = 0;
    int m_nLineNumWidth = 0;
    rymd::ui::Font* m_pFont = nullptr;
    int m_nLabelHeight = 20;
    int m_nLineHeight = 20;
    int m_nDragAnchor = -1;
    bool m_bDragging = false;
    bool m_bChangePending = false;
    int m_nChangeColumn = 0;
    int m_nChangeLine = 0;
    double m_dChangeOldValue = 0;
    std::string m_strChangeOldText;
    int m_nLastPainted = 0;
};

}  // namespace MbWnd
