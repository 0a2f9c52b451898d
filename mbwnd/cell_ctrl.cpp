#include "mbwnd/cell_ctrl.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/core/encoding.h"

namespace MbWnd {

using namespace rymd::ui;

CCellCtrl::CCellCtrl() : m_pParts(std::make_unique<Parts>(*this)) {}

CCellCtrl::~CCellCtrl() {
    // The panes and the separator go first (in reverse order), while the grid is still whole.
    if (m_pParts) {
        m_pParts->separator.DestroyWindow();
        m_pParts->right.DestroyWindow();
        m_pParts->left.DestroyWindow();
    }
    DestroyWindow();
    m_pParts.reset();
    m_CellFont.DeleteObject();
}

int CCellCtrl::RowHeight() const {
    return m_nFontSize == 0 ? 15 : m_nFontSize == 1 ? 17 : 19;
}

// ---------------------------------------------------------------------------------------------------
// Set-up

void CCellCtrl::SetLineNumWidth(int width) {
    m_nLineNumWidth = width;
    if (!(m_dwStyle & kStyleLineNumber)) return;
    (m_nSeparater >= 1 ? LeftPane() : RightPane()).SetLineNumWidth(width);
}

void CCellCtrl::SetColumn(int col, int typeAndFlags, int width, const char* title, int decimals) {
    PaneOf(col).SetColumn(PaneColumn(col), typeAndFlags, width, title ? title : "", decimals);
}

void CCellCtrl::AddItemList(int col, const char* text) {
    if (CCellColumn* c = PaneOf(col).Column(PaneColumn(col))) c->choices.emplace_back(text ? text : "");
}

void CCellCtrl::SetItemList(int col, int index, const char* text) {
    CCellColumn* c = PaneOf(col).Column(PaneColumn(col));
    if (c && index >= 0 && index < static_cast<int>(c->choices.size()))
        c->choices[static_cast<std::size_t>(index)] = text ? text : "";
}

void CCellCtrl::GetItemList(int col, int index, std::string& text) const {
    const CCellColumn* c = PaneOf(col).Column(PaneColumn(col));
    text.clear();
    if (c && index >= 0 && index < static_cast<int>(c->choices.size()))
        text = c->choices[static_cast<std::size_t>(index)];
}

int CCellCtrl::GetItemListCount(int col) const {
    const CCellColumn* c = PaneOf(col).Column(PaneColumn(col));
    return c ? static_cast<int>(c->choices.size()) : 0;
}

void CCellCtrl::DeleteAllItemList(int col) {
    if (CCellColumn* c = PaneOf(col).Column(PaneColumn(col))) c->choices.clear();
}

int CCellCtrl::GetColumnType(int col) const {
    return PaneOf(col).GetColumnType(PaneColumn(col));
}

int CCellCtrl::GetColumnCount() const {
    return RightPane().ColumnCount() + m_nSeparater;
}

// ---------------------------------------------------------------------------------------------------
// Creation and layout

int CCellCtrl::OnCreate() {
    const int height = m_nFontSize == 0 ? 13 : m_nFontSize == 1 ? 15 : 16;
    m_CellFont.CreateFont(height, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                          "ＭＳ ゴシック");
    CCellPane& left = LeftPane();
    CCellPane& right = RightPane();
    ForBothPanes([&](CCellPane& p) {
        p.SetCellFont(&m_CellFont);
        p.SetRowHeight(RowHeight());
    });
    if (m_dwStyle & kStyleLineNumber) (m_nSeparater >= 1 ? left : right).SetLineNumWidth(m_nLineNumWidth);
    m_nLeftWidth = 0;
    if (m_nSeparater >= 1) {
        m_nLeftWidth = 1 + left.LineNumWidth();
        for (int c = 0; c < left.ColumnCount(); ++c)
            m_nLeftWidth += left.Column(c)->width + 1;
    }
    left.SetHorzScrollVerShowMode(1);
    left.SetVertScrollVerShowMode(2);
    right.SetHorzScrollVerShowMode(1);
    right.SetVertScrollVerShowMode(0);
    ForBothPanes([&](CCellPane& p) { p.SetStyle(m_dwStyle); });
    left.SetFirstColumn(0);
    right.SetFirstColumn(m_nSeparater);
    left.SetOther(&right);
    right.SetOther(&left);
    const Rect r(0, 0, 10, 10);
    if (!left.Create(WS_CHILD | WS_VISIBLE | WS_HSCROLL, r, this, kLeftPaneId)) return -1;
    if (!right.Create(WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, r, this, kRightPaneId)) return -1;
    if (!Separator().Create(WS_CHILD | WS_VISIBLE, r, this, kSeparatorId)) return -1;
    return 0;
}

void CCellCtrl::LocateWindow(const Rect& rect) {
    if (!m_pParts || !RightPane().IsWindow()) return;
    if (m_nSeparater == 0) {
        LeftPane().ShowWindow(SW_HIDE);
        Separator().ShowWindow(SW_HIDE);
        RightPane().MoveWindow(rect);
        return;
    }
    m_nLeftWidth = std::min(m_nLeftWidth, rect.Width() - 10);
    m_nLeftWidth = std::max(m_nLeftWidth, 10);
    const int h = rect.Height();
    LeftPane().MoveWindow(Rect(0, rect.top, m_nLeftWidth, rect.top + h));
    Separator().MoveWindow(Rect(m_nLeftWidth, rect.top, m_nLeftWidth + kSeparatorWidth, rect.top + h));
    RightPane().MoveWindow(Rect(m_nLeftWidth + kSeparatorWidth, rect.top,
                                std::max(rect.right, m_nLeftWidth + kSeparatorWidth), rect.top + h));
}

void CCellCtrl::OnSize(int, int cx, int cy) {
    LocateWindow(Rect(0, 0, cx, cy));
}

void CCellCtrl::OnLButtonDown(unsigned, Point point) {
    m_bSepDragging = true;
    m_ptDragStart = point;
    m_nDragStartWidth = m_nLeftWidth;
}

void CCellCtrl::OnMouseMove(unsigned flags, Point point) {
    if (!m_bSepDragging) return;
    if (!(flags & MK_LBUTTON)) {
        m_bSepDragging = false;
        return;
    }
    const int w = m_nDragStartWidth + (point.x - m_ptDragStart.x);
    if (w != m_nLeftWidth) {
        m_nLeftWidth = w;
        LocateWindow(GetClientRect());
    }
}

void CCellCtrl::OnLButtonUp(unsigned, Point) {
    m_bSepDragging = false;
}

void CCellCtrl::OnSetFocus(Wnd* oldWnd) {
    Wnd::OnSetFocus(oldWnd);
    int line = -1;
    int col = -1;
    int state = -1;
    if (GetSelectedCell(&line, &col, &state)) {
        CCellPane& p = col >= m_nSeparater ? RightPane() : LeftPane();
        if (p.IsWindowVisible()) p.SetFocus();
        RedrawWindow();
    }
}

void CCellCtrl::TabWalk(bool backwards) {
    Wnd* parent = GetParent();
    if (!parent) return;
    std::vector<Wnd*> siblings = parent->GetChildren();
    const auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end()) return;
    const int n = static_cast<int>(siblings.size());
    int i = static_cast<int>(self - siblings.begin());
    Wnd* stop = this;
    for (int step = 0; step < 100; ++step) {
        i = (i + (backwards ? n - 1 : 1)) % n;
        Wnd* w = siblings[static_cast<std::size_t>(i)];
        if (w == this) break;
        if ((w->GetStyle() & WS_TABSTOP) && w->IsWindowEnabled()) {
            stop = w;
            break;
        }
    }
    stop->SetFocus();
}

bool CCellCtrl::PreTranslateMessage(Msg& msg) {
    if (msg.message == WM_KEYDOWN && msg.key == VK_TAB) {
        TabWalk((msg.flags & MK_SHIFT) != 0);
        // The walk has placed the focus: the dialog does not move it again.
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------
// Lines and cells

void CCellCtrl::LinesChanged(CCellPane& p) {
    if (!p.IsWindow()) return;
    p.RecalcScrollSizes();
    p.Invalidate(false);
}

void CCellCtrl::SetLineSize(int n) {
    StoreEditValue();
    ForBothPanes([&](CCellPane& p) {
        p.SetLineSize(n);
        LinesChanged(p);
    });
}

void CCellCtrl::InsertLine(int line, int value) {
    StoreEditValue();
    const int number = GetLineSize();
    ForBothPanes([&](CCellPane& p) {
        p.InsertLine(line, value, number);
        LinesChanged(p);
    });
}

void CCellCtrl::DeleteLine(int line) {
    StoreEditValue();
    ForBothPanes([&](CCellPane& p) {
        p.DeleteLine(line);
        LinesChanged(p);
    });
}

void CCellCtrl::DeleteAllLine() {
    if (IsWindow()) UnselectCell();
    StoreEditValue();
    ForBothPanes([&](CCellPane& p) {
        p.DeleteAllLine();
        LinesChanged(p);
    });
}

int CCellCtrl::GetLineSize() const {
    return std::max(LeftPane().LineCount(), RightPane().LineCount());
}

void CCellCtrl::SetLineData(int line, int data) {
    ForBothPanes([&](CCellPane& p) {
        if (CCellLine* l = p.Line(line)) l->userData = data;
    });
}

int CCellCtrl::GetLineData(int line) const {
    const CCellLine* l = LeftPane().Line(line);
    return l ? l->userData : 0;
}

void CCellCtrl::SetLineItem(int line, int col, double value) {
    if (tagCellListItem* c = PaneOf(col).Cell(line, PaneColumn(col))) c->value = value;
}

void CCellCtrl::SetLineItem(int line, int col, const char* text) {
    if (tagCellListItem* c = PaneOf(col).Cell(line, PaneColumn(col))) c->text = text ? text : "";
}

void CCellCtrl::GetLineItem(int line, int col, double* value) const {
    const tagCellListItem* c = PaneOf(col).Cell(line, PaneColumn(col));
    *value = c ? c->value : 0;
}

void CCellCtrl::GetLineItem(int line, int col, int* value) const {
    const tagCellListItem* c = PaneOf(col).Cell(line, PaneColumn(col));
    *value = c && std::isfinite(c->value)
                 ? static_cast<int>(std::clamp(c->value, -2147483648.0, 2147483647.0))
                 : 0;
}

void CCellCtrl::GetLineItem(int line, int col, std::string& text) const {
    const tagCellListItem* c = PaneOf(col).Cell(line, PaneColumn(col));
    text = c ? c->text : std::string();
}

std::string CCellCtrl::GetCellText(int line, int col) const {
    if (col < 0) return {};
    return PaneOf(col).CellText(line, PaneColumn(col));
}

void CCellCtrl::GetCellText(int line, int col, char* buffer, int size) const {
    if (!buffer || size <= 0) return;
    const std::string text = GetCellText(line, col);
    // Cut on a character boundary (never half a character).
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

void CCellCtrl::GetCheck(int line, int col, bool* check) const {
    const tagCellListItem* c = PaneOf(col).Cell(line, PaneColumn(col));
    *check = c && c->check;
}

bool CCellCtrl::GetSelectStat(int line) const {
    const CCellLine* l = LeftPane().Line(line);
    return l && l->selected;
}

void CCellCtrl::MultiLineSelect(int line, bool selected) {
    if (line < 0 || line >= GetLineSize()) return;
    ForBothPanes([&](CCellPane& p) {
        if (CCellLine* l = p.Line(line)) l->selected = selected;
    });
}

int CCellCtrl::GetLineNumber(int line) const {
    const CCellLine* l = LeftPane().Line(line);
    return l ? l->number : -1;
}

void CCellCtrl::ResetLineNumber() {
    ForBothPanes([&](CCellPane& p) {
        for (int i = 0; i < p.LineCount(); ++i)
            p.Line(i)->number = i;
    });
}

bool CCellCtrl::CheckLineNumberOrder() const {
    for (int i = 0; i < LeftPane().LineCount(); ++i)
        if (LeftPane().Line(i)->number != i) return false;
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Selection and editing

void CCellCtrl::SelectCell(int line, int col) {
    ForBothPanes([&](CCellPane& p) {
        p.Commit();
        p.Flush();
    });
    if (col < 0) {
        LeftPane().Select(line, col, true, true);
        RightPane().Select(line, col, true, true);
    } else if (col < m_nSeparater) {
        RightPane().Select(line, -1, true, true);
        LeftPane().Select(line, col, true, true);
    } else {
        LeftPane().Select(line, -1, true, true);
        RightPane().Select(line, col - m_nSeparater, true, true);
    }
}

void CCellCtrl::UnselectCell() {
    ForBothPanes([&](CCellPane& p) {
        p.Commit();
        p.Flush();
        p.SetSelectedLine(-1);
        p.SetSelectedColumn(-1);
        p.ClearMarks(-1);
    });
}

bool CCellCtrl::GetSelectedCell(int* line, int* col, int* state) const {
    if (state) *state = -1;
    const CCellPane* p = nullptr;
    if (m_nSeparater >= 1 && LeftPane().SelectedLine() >= 0 && LeftPane().SelectedColumn() >= 0)
        p = &LeftPane();
    else if (RightPane().SelectedLine() >= 0 && RightPane().SelectedColumn() >= 0)
        p = &RightPane();
    if (!p) {
        if (line) *line = -1;
        if (col) *col = -1;
        return false;
    }
    if (line) *line = p->SelectedLine();
    if (col) *col = p->SelectedColumn() + p->FirstColumn();
    if (state) *state = p->IsOpen() ? 1 : 0;
    return true;
}

void CCellCtrl::StoreEditValue() {
    if (!IsWindow()) return;
    ForBothPanes([&](CCellPane& p) {
        if (p.SelectedLine() >= 0 && p.SelectedColumn() >= 0 && p.IsOpen()) {
            p.Commit();
            p.Flush();
        }
    });
}

void CCellCtrl::InsertTextToEditCell(const char* text) {
    const std::string t = text ? text : "";
    if (LeftPane().IsEditorOpen())
        LeftPane().Editor().PasteText(t);
    else if (RightPane().IsEditorOpen())
        RightPane().Editor().PasteText(t);
}

int CCellCtrl::GetMultiSelectedCellColumn() const {
    if (m_nSeparater > 0) {
        const int c = LeftPane().FirstMarkedColumn();
        if (c >= 0) return c;
    }
    const int c = RightPane().FirstMarkedColumn();
    return c >= 0 ? c + m_nSeparater : -1;
}

bool CCellCtrl::GetMultiSelectedCellStat(int line, int col) const {
    if (col < 0) return false;
    return PaneOf(col).MarkState(line, PaneColumn(col));
}

void CCellCtrl::SetMultiSelectedCellItem(int col, int value) {
    SetMultiSelectedCellItem(col, static_cast<double>(value));
}

void CCellCtrl::SetMultiSelectedCellItem(int col, double value) {
    if (col >= 0) PaneOf(col).SetMarkedCells(PaneColumn(col), value);
}

void CCellCtrl::SetMultiSelectedCellItem(int col, const char* text) {
    if (col >= 0) PaneOf(col).SetMarkedCells(PaneColumn(col), text ? text : "");
}

// ---------------------------------------------------------------------------------------------------
// Colours

namespace {

template <typename F>
void Recolour(CCellCtrl& grid, bool redraw, F set) {
    set(grid.LeftPane());
    set(grid.RightPane());
    if (redraw && grid.IsWindow()) {
        grid.LeftPane().RedrawWindow();
        grid.RightPane().RedrawWindow();
    }
}

}  // namespace

void CCellCtrl::SetLabelTextColor(COLORREF c, bool redraw) {
    Recolour(*this, redraw, [c](CCellPane& p) { p.m_crLabelText = c; });
}
void CCellCtrl::SetLabelBackColor(COLORREF c, bool redraw) {
    Recolour(*this, redraw, [c](CCellPane& p) { p.m_crLabelBack = c; });
}
void CCellCtrl::SetTextColor(COLORREF c, bool redraw) {
    Recolour(*this, redraw, [c](CCellPane& p) { p.m_crText = c; });
}
void CCellCtrl::SetBackColor(COLORREF c, bool redraw) {
    Recolour(*this, redraw, [c](CCellPane& p) { p.m_crBack = c; });
}
void CCellCtrl::SetLineColor(COLORREF c, bool redraw) {
    Recolour(*this, redraw, [c](CCellPane& p) { p.m_crLine = c; });
}

// ---------------------------------------------------------------------------------------------------
// Sorting

template <typename Key, typename Cmp>
void CCellCtrl::SortBy(Key key, Cmp cmp, bool clearPastEnd) {
    int line = -1;
    int col = -1;
    int state = -1;
    bool selected = GetSelectedCell(&line, &col, &state);
    const int count = GetLineSize();
    if (clearPastEnd && selected && line >= count) {
        SelectCell(-1, -1);
        selected = false;
        line = -1;
    }
    for (int i = 0; i + 1 < count; ++i) {
        int best = i;
        std::intptr_t bestKey = key(i);
        for (int j = i + 1; j < count; ++j) {
            const std::intptr_t k = key(j);
            if (cmp(bestKey, k) > 0) {
                best = j;
                bestKey = k;
            }
        }
        if (best != i) {
            ForBothPanes([&](CCellPane& p) { p.SwapLines(i, best); });
            if (line == i)
                line = best;
            else if (line == best)
                line = i;
        }
    }
    if (selected) {
        ForBothPanes([&](CCellPane& p) {
            if (p.SelectedLine() >= 0) p.SetSelectedLine(line);
        });
        SelectCell(line, col);
        RedrawWindow();
        ForBothPanes([](CCellPane& p) {
            if (p.IsWindow()) p.RedrawWindow();
        });
    } else if (IsWindow()) {
        ForBothPanes([](CCellPane& p) {
            if (p.IsWindow()) p.Invalidate(false);
        });
    }
}

void CCellCtrl::SortItems(CellCompare compare, std::uint32_t lParamSort) {
    if (!compare) return;
    SortBy([this](int l) { return static_cast<std::intptr_t>(GetLineData(l)); },
           [&](std::intptr_t a, std::intptr_t b) { return compare(a, b, lParamSort); }, true);
}

void CCellCtrl::SortLines(CellCompare compare, std::uint32_t lParamSort) {
    if (!compare) return;
    SortBy([this](int l) { return static_cast<std::intptr_t>(GetLineNumber(l)); },
           [&](std::intptr_t a, std::intptr_t b) { return compare(a, b, lParamSort); }, false);
}

void CCellCtrl::SortItemsEx(CellCompareEx compare, std::uint32_t lParamSort, void* extra) {
    if (!compare) return;
    SortBy([this](int l) { return static_cast<std::intptr_t>(GetLineData(l)); },
           [&](std::intptr_t a, std::intptr_t b) { return compare(a, b, lParamSort, extra); }, false);
}

void CCellCtrl::SortLinesEx(CellCompareEx compare, std::uint32_t lParamSort, void* extra) {
    if (!compare) return;
    SortBy([this](int l) { return static_cast<std::intptr_t>(GetLineNumber(l)); },
           [&](std::intptr_t a, std::intptr_t b) { return compare(a, b, lParamSort, extra); }, false);
}

}  // namespace MbWnd
