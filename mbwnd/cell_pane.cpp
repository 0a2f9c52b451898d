#include "mbwnd/cell_pane.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "mbmisc/misc_services.h"
#include "mbwnd/cell_ctrl.h"
#include "platform/core/encoding.h"
#include "platform/core/format_text.h"
#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace MbWnd {

using namespace rymd::ui;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFrameBlue = RGB(0, 0, 255);
// The editor hands over at most this many bytes (in the game's Shift-JIS form).
constexpr std::size_t kEditTextBytes = 199;

int FloorDiv(int a, int b) {
    int q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

void VLine(Dc& dc, int x, int top, int bottom, COLORREF c) {
    if (bottom > top) dc.FillSolidRect(Rect(x, top, x + 1, bottom), c);
}

void HLine(Dc& dc, int y, int left, int right, COLORREF c) {
    if (right > left) dc.FillSolidRect(Rect(left, y, right, y + 1), c);
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// CCellEdit

namespace {

// Hands the editor's wheel turns to its pane (the pane scrolls one line per turn).
class EditWheelFilter final : public QObject {
public:
    EditWheelFilter(CCellPane& pane, QObject* parent) : QObject(parent), pane_(pane) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::Wheel || !pane_.IsWindow()) return false;
        QWidget* host = pane_.GetWidget();
        if (host) QCoreApplication::sendEvent(host, e);
        return true;
    }

private:
    CCellPane& pane_;
};

}  // namespace

void CCellEdit::OnHostCreated() {
    Edit::OnHostCreated();
    QWidget* h = GetWidget();
    if (h && h->focusProxy()) {
        h->focusProxy()->installEventFilter(new EditWheelFilter(pane_, h));
        // The text sits where the cell shows it.
        if (auto* pe = qobject_cast<QPlainTextEdit*>(h->focusProxy())) pe->document()->setDocumentMargin(1);
    }
}

bool CCellEdit::PreTranslateMessage(Msg& msg) {
    // Tab goes nowhere while a cell is edited.
    return msg.message == WM_KEYDOWN && msg.key == VK_TAB;
}

void CCellEdit::OnSetFocus(Wnd* oldWnd) {
    Edit::OnSetFocus(oldWnd);
    if (oldWnd != &pane_ && pane_.IsWindow()) pane_.Invalidate(false);
}

void CCellEdit::OnKillFocus(Wnd* newWnd) {
    Edit::OnKillFocus(newWnd);
    if (newWnd != &pane_ && pane_.IsWindow()) pane_.Invalidate(false);
}

void CCellEdit::PasteText(const std::string& text) {
    std::optional<std::string> saved = GetClipboardText();
    if (SetClipboardText(text)) {
        ReplaceSel(text);
    }
    // The clipboard gets back what it held (it is left empty when it held no text).
    SetClipboardText(saved ? *saved : std::string());
}

// ---------------------------------------------------------------------------------------------------
// CCellTipWnd

void CCellTipWnd::SetText(const std::string& text) {
    m_Lines.assign(1, text);
}

void CCellTipWnd::AddLine(const std::string& text) {
    if (static_cast<int>(m_Lines.size()) < kMaxLines) m_Lines.push_back(text);
}

Size CCellTipWnd::Measure(Dc& dc) const {
    int w = 0;
    for (const std::string& l : m_Lines)
        w = std::max(w, dc.GetTextExtent(l).cx);
    return Size(w + 6, static_cast<int>(m_Lines.size()) * m_nLineHeight + 2);
}

void CCellTipWnd::OnPaint(Dc& dc) {
    dc.SelectFont(GetFont());
    Size s = Measure(dc);
    constexpr COLORREF kTipBack = RGB(255, 255, 200);
    dc.FillSolidRect(Rect(0, 0, s.cx, s.cy), kTipBack);
    dc.SetTextColor(kBlack);
    dc.SetBkColor(kTipBack);
    dc.SetBkMode(OPAQUE);
    for (int i = 0; i < static_cast<int>(m_Lines.size()); ++i) {
        Rect r(3, 1 + i * m_nLineHeight, s.cx, 1 + (i + 1) * m_nLineHeight);
        dc.DrawText(m_Lines[i], r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    dc.FrameRect(GetClientRect(), kBlack);
}

// ---------------------------------------------------------------------------------------------------
// CCellSeparatorWnd

void CCellSeparatorWnd::OnPaint(Dc& dc) {
    Rect r = GetClientRect();
    dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
    dc.Draw3dRect(r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    r.DeflateRect(1, 1);
    dc.Draw3dRect(r, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
}

bool CCellSeparatorWnd::OnSetCursor(Wnd*, int, unsigned) {
    SetCursor(this, Cursor::SizeWE);
    return true;
}

Point CCellSeparatorWnd::ToGrid(Point p) const {
    ClientToScreen(p);
    grid_.ScreenToClient(p);
    return p;
}

void CCellSeparatorWnd::OnLButtonDown(unsigned flags, Point point) {
    SetCapture();
    m_bCapturing = true;
    grid_.OnLButtonDown(flags, ToGrid(point));
}

void CCellSeparatorWnd::OnMouseMove(unsigned flags, Point point) {
    grid_.OnMouseMove(flags, ToGrid(point));
    if (!(flags & MK_LBUTTON) && m_bCapturing) {
        m_bCapturing = false;
        ReleaseCapture();
    }
}

void CCellSeparatorWnd::OnLButtonUp(unsigned flags, Point point) {
    grid_.OnLButtonUp(flags, ToGrid(point));
    if (m_bCapturing) {
        m_bCapturing = false;
        ReleaseCapture();
    }
}

// ---------------------------------------------------------------------------------------------------
// CCellPane: records

CCellPane::CCellPane(CCellCtrl& grid)
    : m_crLabelText(kBlack),
      m_crLabelBack(GetSysColor(COLOR_BTNFACE)),
      m_crText(kBlack),
      m_crBack(kWhite),
      m_crLine(RGB(224, 224, 224)),
      grid_(grid),
      m_Edit(*this) {}

CCellPane::~CCellPane() {
    // The windows go while the pane is whole: their focus and capture handlers may call it.
    m_Tip.DestroyWindow();
    m_List.DestroyWindow();
    m_Edit.DestroyWindow();
    DestroyWindow();
}

void CCellPane::SetColumn(int col, int typeAndFlags, int width, const std::string& title, int decimals) {
    CCellColumn c;
    c.type = typeAndFlags & 0xFFF;
    c.readOnly = (typeAndFlags & CCellCtrl::kReadOnly) != 0;
    c.rightAligned = (typeAndFlags & CCellCtrl::kRightAlign) != 0;
    c.width = width;
    c.title = title;
    c.decimals = static_cast<unsigned char>(decimals);
    col = std::clamp(col, 0, ColumnCount());
    m_Columns.insert(m_Columns.begin() + col, c);
    for (CCellLine& l : m_Lines)
        l.cells.insert(l.cells.begin() + col, tagCellListItem{});
}

const CCellColumn* CCellPane::Column(int col) const {
    if (col < 0 || col >= ColumnCount()) return nullptr;
    return &m_Columns[static_cast<std::size_t>(col)];
}

CCellColumn* CCellPane::Column(int col) {
    if (col < 0 || col >= ColumnCount()) return nullptr;
    return &m_Columns[static_cast<std::size_t>(col)];
}

int CCellPane::GetColumnType(int col) const {
    const CCellColumn* c = Column(col);
    if (!c) return 0;
    return c->type | (c->readOnly ? CCellCtrl::kReadOnly : 0) |
           (c->rightAligned ? CCellCtrl::kRightAlign : 0);
}

int CCellPane::ColumnLeft(int col) const {
    int x = m_nLineNumWidth + 1;
    for (int i = 0; i < col && i < ColumnCount(); ++i)
        x += m_Columns[static_cast<std::size_t>(i)].width + 1;
    return x;
}

void CCellPane::SetLineSize(int n) {
    n = std::max(0, n);
    const std::size_t old = m_Lines.size();
    m_Lines.resize(static_cast<std::size_t>(n));
    for (std::size_t i = old; i < m_Lines.size(); ++i) {
        m_Lines[i].cells.assign(m_Columns.size(), tagCellListItem{});
        m_Lines[i].number = static_cast<int>(i);
    }
    if (m_nSelLine >= n && !(m_dwStyle & CCellCtrl::kStylePastEnd)) m_nSelLine = n - 1;
}

void CCellPane::InsertLine(int line, int value, int number) {
    line = std::clamp(line, 0, LineCount());
    CCellLine l;
    l.value = value;
    l.number = number;
    l.cells.assign(m_Columns.size(), tagCellListItem{});
    m_Lines.insert(m_Lines.begin() + line, std::move(l));
}

void CCellPane::DeleteLine(int line) {
    if (line < 0 || line >= LineCount()) return;
    const int removed = m_Lines[static_cast<std::size_t>(line)].number;
    m_Lines.erase(m_Lines.begin() + line);
    for (CCellLine& l : m_Lines)
        if (l.number > removed) --l.number;
    if (m_nSelLine > line) --m_nSelLine;
    if (m_nSelLine >= LineCount()) m_nSelLine = LineCount() - 1;
    if (m_nDragAnchor >= LineCount()) m_nDragAnchor = -1;
}

void CCellPane::DeleteAllLine() {
    m_Lines.clear();
    m_nSelLine = -1;
    m_nDragAnchor = -1;
}

void CCellPane::SwapLines(int a, int b) {
    if (a < 0 || b < 0 || a >= LineCount() || b >= LineCount() || a == b) return;
    std::swap(m_Lines[static_cast<std::size_t>(a)], m_Lines[static_cast<std::size_t>(b)]);
}

CCellLine* CCellPane::Line(int line) {
    if (line < 0 || line >= LineCount()) return nullptr;
    return &m_Lines[static_cast<std::size_t>(line)];
}

const CCellLine* CCellPane::Line(int line) const {
    if (line < 0 || line >= LineCount()) return nullptr;
    return &m_Lines[static_cast<std::size_t>(line)];
}

tagCellListItem* CCellPane::Cell(int line, int col) {
    CCellLine* l = Line(line);
    if (!l || col < 0 || col >= static_cast<int>(l->cells.size())) return nullptr;
    return &l->cells[static_cast<std::size_t>(col)];
}

const tagCellListItem* CCellPane::Cell(int line, int col) const {
    const CCellLine* l = Line(line);
    if (!l || col < 0 || col >= static_cast<int>(l->cells.size())) return nullptr;
    return &l->cells[static_cast<std::size_t>(col)];
}

std::string CCellPane::CellText(int line, int col) const {
    const CCellColumn* c = Column(col);
    const tagCellListItem* cell = Cell(line, col);
    if (!c || !cell) return {};
    switch (c->type) {
        case 0:
        case 5: return rymd::FormatText("%d", static_cast<int>(cell->value));
        case 1: return rymd::FormatText("%.*f", static_cast<int>(c->decimals), cell->value);
        case 3: {
            double v = cell->value;
            if (!(v >= 0) || v >= static_cast<double>(c->choices.size())) return {};
            return c->choices[static_cast<std::size_t>(v)];
        }
        default: return cell->text;
    }
}

// ---------------------------------------------------------------------------------------------------
// CCellPane: geometry and scrolling

int CCellPane::Rows() const {
    return LineCount() + ((m_dwStyle & CCellCtrl::kStylePastEnd) ? 1 : 0);
}

int CCellPane::MaxLine() const {
    return (m_dwStyle & CCellCtrl::kStylePastEnd) ? LineCount() : LineCount() - 1;
}

void CCellPane::RecalcScrollSizes() {
    int w = m_nLineNumWidth > 0 ? m_nLineNumWidth + 2 : 1;
    for (const CCellColumn& c : m_Columns)
        w += c.width + 1;
    const int step = m_nLineHeight + 1;
    const int h = m_nLabelHeight + step * Rows() + 1;
    SetScrollSizes(Size(w, h), Size(80, step * 5), Size(1, step));
}

Rect CCellPane::CellRect(int line, int col) const {
    Point pos = GetScrollPosition();
    const int x0 = pos.x;
    const int y0 = pos.y * (m_nLineHeight + 1);
    const int left = ColumnLeft(col) - x0;
    const int top = m_nLabelHeight + (m_nLineHeight + 1) * line + 1 - y0;
    const int width = col >= 0 && col < ColumnCount() ? m_Columns[static_cast<std::size_t>(col)].width : 0;
    return Rect(left, top, left + width, top + m_nLineHeight);
}

void CCellPane::HitTest(Point p, int* line, int* col) const {
    *line = -1;
    *col = -1;
    if (p.y <= m_nLabelHeight) return;
    Point pos = GetScrollPosition();
    const int x = p.x + pos.x;
    const int y = p.y + pos.y * (m_nLineHeight + 1);
    int c = -1;
    for (int i = 0, start = m_nLineNumWidth + 1; i < ColumnCount(); ++i) {
        const int w = m_Columns[static_cast<std::size_t>(i)].width;
        if (x >= start && x <= start + w) {
            c = i;
            break;
        }
        start += w + 1;
    }
    int l = (y - m_nLabelHeight - 1) / (m_nLineHeight + 1);
    if (l > MaxLine() || l >= Rows()) return;
    *line = l;
    *col = c;
}

int CCellPane::HitColumnBorder(Point p) const {
    if (p.y < 0 || p.y >= m_nLabelHeight) return -1;
    const int x = p.x + GetScrollPosition().x;
    for (int i = 0, start = m_nLineNumWidth + 1; i < ColumnCount(); ++i) {
        const int right = start + m_Columns[static_cast<std::size_t>(i)].width;
        if (std::abs(right - x) <= 2 && p.x >= m_nLineNumWidth) return i;
        start = right + 1;
    }
    return -1;
}

int CCellPane::HitLabel(Point p) const {
    if (p.y < 0 || p.y >= m_nLabelHeight) return -1;
    if (m_nLineNumWidth > 0 && p.x >= 0 && p.x < m_nLineNumWidth) return kLineNumberLabel;
    const int x = p.x + GetScrollPosition().x;
    for (int i = 0, start = m_nLineNumWidth + 1; i < ColumnCount(); ++i) {
        const int w = m_Columns[static_cast<std::size_t>(i)].width;
        if (x >= start && x <= start + w) return i;
        start += w + 1;
    }
    return -1;
}

void CCellPane::ScrollIntoView(int line, int col) {
    Point pos = GetScrollPosition();
    const Rect client = GetClientRect();
    const int step = m_nLineHeight + 1;
    int x0 = pos.x;
    int y0 = pos.y * step;
    if (col >= 0 && col < ColumnCount()) {
        const int left = ColumnLeft(col) - 1;
        const int right = ColumnLeft(col) + m_Columns[static_cast<std::size_t>(col)].width + 1;
        int nx = x0;
        if (x0 + m_nLineNumWidth >= left)
            nx = left - m_nLineNumWidth;
        else if (x0 + client.Width() < right)
            nx = right - client.Width();
        if (nx != x0) {
            Rect sr(m_nLineNumWidth, 0, client.right, client.bottom);
            SetScrollRect(sr);
            SetScrollPosition(Point(nx, pos.y));
            pos = GetScrollPosition();
        }
    }
    if (line >= 0) {
        const int top = m_nLabelHeight + step * line;
        const int bottom = top + m_nLineHeight + 2;
        int ny = y0;
        if (y0 + m_nLabelHeight >= top)
            ny = top - m_nLabelHeight;
        else if (y0 + client.Height() < bottom)
            ny = bottom - client.Height() + m_nLineHeight;
        const int newLine = std::max(0, ny / step);
        if (newLine != pos.y) {
            Rect sr(0, m_nLabelHeight, client.right, client.bottom);
            SetScrollRect(sr);
            SetScrollPosition(Point(pos.x, newLine));
            if (m_pOther) m_pOther->FollowVertical(GetScrollPosition().y);
        }
    }
}

void CCellPane::FollowVertical(int pos) {
    if (!IsWindow()) return;
    Rect c = GetClientRect();
    Rect sr(0, m_nLabelHeight, c.right, c.bottom);
    SetScrollRect(sr);
    SetScrollPosition(Point(GetScrollPosition().x, pos));
}

// ---------------------------------------------------------------------------------------------------
// CCellPane: marks and line flags

void CCellPane::ClearMarks(int exceptColumn) {
    for (CCellLine& l : m_Lines)
        for (int c = 0; c < static_cast<int>(l.cells.size()); ++c)
            if (c != exceptColumn) l.cells[static_cast<std::size_t>(c)].mark = false;
}

int CCellPane::FirstMarkedColumn() const {
    for (const CCellLine& l : m_Lines)
        for (int c = 0; c < static_cast<int>(l.cells.size()); ++c)
            if (l.cells[static_cast<std::size_t>(c)].mark) return c;
    return -1;
}

bool CCellPane::MarkState(int line, int col) const {
    const tagCellListItem* c = Cell(line, col);
    return c && c->mark;
}

void CCellPane::SetMarkedCells(int col, double value) {
    for (CCellLine& l : m_Lines)
        if (col >= 0 && col < static_cast<int>(l.cells.size()) && l.cells[static_cast<std::size_t>(col)].mark)
            l.cells[static_cast<std::size_t>(col)].value = value;
}

void CCellPane::SetMarkedCells(int col, const std::string& text) {
    for (CCellLine& l : m_Lines)
        if (col >= 0 && col < static_cast<int>(l.cells.size()) && l.cells[static_cast<std::size_t>(col)].mark)
            l.cells[static_cast<std::size_t>(col)].text = text;
}

void CCellPane::SetLineFlag(int line, bool on) {
    if (CCellLine* l = Line(line)) l->selected = on;
    if (m_pOther)
        if (CCellLine* o = m_pOther->Line(line)) o->selected = on;
}

void CCellPane::ToggleLineFlag(int line) {
    if (const CCellLine* l = Line(line)) SetLineFlag(line, !l->selected);
}

// ---------------------------------------------------------------------------------------------------
// CCellPane: notifications

Point CCellPane::ToGrid(Point p) const {
    ClientToScreen(p);
    grid_.ScreenToClient(p);
    return p;
}

void CCellPane::SendCellNotify(int code, int col, int line, Point p) {
    tagCellNotify n;
    n.hdr.hwndFrom = &grid_;
    n.hdr.idFrom = grid_.GetDlgCtrlID();
    n.hdr.code = code;
    n.column = col < 0 ? -1 : col + m_nFirstColumn;
    n.line = line;
    n.x = p.x;
    n.y = p.y;
    Wnd::SendNotify(grid_.GetParent(), &n.hdr);
}

void CCellPane::SendCode5() {
    rymd::ui::NotifyHeader h;
    h.hwndFrom = &grid_;
    h.idFrom = grid_.GetDlgCtrlID();
    h.code = kCellLineSelChange;
    Wnd::SendNotify(grid_.GetParent(), &h);
}

void CCellPane::Flush() {
    if (!m_bChangePending) return;
    m_bChangePending = false;
    tagCellChangeNotify n;
    n.hdr.hwndFrom = &grid_;
    n.hdr.idFrom = grid_.GetDlgCtrlID();
    n.hdr.code = kCellChanged;
    n.column = m_nChangeColumn;
    n.line = m_nChangeLine;
    n.oldValue = m_dChangeOldValue;
    n.oldText = m_strChangeOldText;
    Wnd::SendNotify(grid_.GetParent(), &n.hdr);
}

// ---------------------------------------------------------------------------------------------------
// CCellPane: selection and editing

bool CCellPane::HasFocus() const {
    Wnd* f = Wnd::GetFocus();
    return f && (f == this || f == &m_Edit || f == &m_List);
}

void CCellPane::Select(int line, int col, bool scroll, bool clearMarks) {
    if (m_Columns.empty()) return;
    if (m_dwStyle & CCellCtrl::kStyleCellMark) {
        ClearMarks(clearMarks ? -1 : col);
        if (m_pOther) m_pOther->ClearMarks(-1);
    }
    if ((m_dwStyle & CCellCtrl::kStyleIgnoreNegative) && line < 0) return;
    if (col != m_nSelColumn || line != m_nSelLine) {
        SendCellNotify(kCellSelChange, col, line, Point());
        m_nSelColumn = col;
        m_nSelLine = line;
    }
    if (tagCellListItem* c = Cell(line, col)) c->mark = true;
    if (scroll && IsWindow()) ScrollIntoView(line, col);
    if (m_pOther) {
        m_pOther->Commit();
        m_pOther->Flush();
        m_pOther->m_nSelColumn = -1;
        m_pOther->m_nSelLine = line;
        if (m_pOther->IsWindow()) m_pOther->Invalidate(false);
    }
    if (IsWindow()) {
        if (!IsOpen() && IsWindowVisible()) SetFocus();
        Invalidate(false);
    }
}

bool CCellPane::ValidEditCell(int line, int col) const {
    const int limit = LineCount() + ((m_dwStyle & CCellCtrl::kStyleNewLineRow) ? 1 : 0);
    return col >= 0 && col < ColumnCount() && line >= 0 && line < limit;
}

void CCellPane::StartEdit(int col, int line, bool loadText) {
    const CCellColumn* c = Column(col);
    if (!c || (m_dwStyle & CCellCtrl::kStyleNoEdit) || c->readOnly || !IsWindow()) return;
    Select(line, col, true, true);
    Rect r = CellRect(line, col);
    if (c->type == 3) {
        Rect lr = r;
        lr.InflateRect(1, 1);
        lr.bottom = lr.top + 200;
        m_List.MoveWindow(lr);
        m_List.ResetContent();
        for (const std::string& s : c->choices)
            m_List.AddString(s);
        m_List.SetItemHeight(-1, m_nLineHeight - 3);
        const tagCellListItem* cell = Cell(line, col);
        m_List.SetCurSel(cell ? static_cast<int>(cell->value) : -1);
        m_bListOpen = true;
        m_List.ShowWindow(SW_SHOW);
        m_List.SetFocus();
        m_List.ShowDropDown(true);
    } else if (c->type == 4) {
        if (!c->choices.empty()) {
            m_Tip.SetText(c->choices[0]);
            for (std::size_t i = 1; i < c->choices.size(); ++i)
                m_Tip.AddLine(c->choices[i]);
        }
        Dc measure = Dc::ForMeasure();
        measure.SelectFont(m_Tip.GetFont());
        Size s = m_Tip.Measure(measure);
        Point p(r.left - 1, r.top + m_nLineHeight + 2);
        ClientToScreen(p);
        const int deskW = GetSystemMetrics(SM_CXSCREEN);
        const int deskH = GetSystemMetrics(SM_CYSCREEN);
        if (p.x + s.cx > deskW) p.x -= p.x + s.cx - deskW;
        if (p.y + s.cy > deskH) {
            Point top(r.left, r.top);
            ClientToScreen(top);
            p.y = top.y - (m_nLineHeight + 2) - s.cy;
        }
        m_Tip.MoveWindow(Rect(p, s));
        m_Tip.ShowWindow(SW_SHOWNA);
        m_Tip.Invalidate(false);
        m_bTipOpen = true;
    } else {
        m_Edit.MoveWindow(r);
        m_Edit.SetWindowText(loadText ? CellText(line, col) : std::string());
        m_bEditOpen = true;
        m_Edit.ShowWindow(SW_SHOW);
        m_Edit.SetFocus();
        m_Edit.SetSel(0, -1);
        if (!loadText) m_Edit.SetSel(-1, -1);
    }
}

void CCellPane::CancelEdit() {
    m_bEditOpen = m_bListOpen = m_bTipOpen = false;
    const bool focusHere = HasFocus();
    if (m_Edit.IsWindow()) {
        m_Edit.ShowWindow(SW_HIDE);
        m_Edit.SetWindowText("");
    }
    if (m_List.IsWindow()) {
        m_List.ShowDropDown(false);
        m_List.ShowWindow(SW_HIDE);
    }
    if (m_Tip.IsWindow()) m_Tip.ShowWindow(SW_HIDE);
    // The focus stays with the pane (in the hidden editor's place).
    if (focusHere && IsWindow() && IsWindowVisible()) SetFocus();
}

void CCellPane::Commit() {
    if (m_nSelColumn < 0 || m_nSelLine < 0) return;
    const CCellColumn* col = Column(m_nSelColumn);
    if (!col) return;
    const int line = m_nSelLine;
    const int column = m_nSelColumn;
    const bool pastEnd = line >= LineCount();
    bool changed = false;
    double oldValue = 0;
    std::string oldText;
    if (m_bEditOpen) {
        std::string text = rymd::CutUtf8ToEncodedLength(m_Edit.GetWindowText(), kEditTextBytes,
                                                        rymd::TextEncoding::ShiftJis);
        m_bEditOpen = false;
        if (pastEnd) {
            if (text.empty()) {
                CancelEdit();
                return;
            }
            grid_.InsertLine(line, 0);
        }
        tagCellListItem* cell = Cell(line, column);
        if (cell) {
            oldValue = cell->value;
            oldText = cell->text;
            switch (col->type) {
                case 0:
                case 5: cell->value = std::trunc(MbMisc::ttof(text.c_str())); break;
                case 1: cell->value = MbMisc::ttof(text.c_str()); break;
                case 2:
                case 6: cell->text = text; break;
                default: break;
            }
            changed = cell->value != oldValue || cell->text != oldText;
        }
    } else if (m_bListOpen) {
        const int index = m_List.GetCurSel();
        m_bListOpen = false;
        if (pastEnd) {
            if (index < 0) {
                CancelEdit();
                return;
            }
            grid_.InsertLine(line, 0);
        }
        if (tagCellListItem* cell = Cell(line, column)) {
            oldValue = cell->value;
            oldText = cell->text;
            cell->value = index;
            changed = cell->value != oldValue;
        }
    } else if (m_bTipOpen) {
        m_bTipOpen = false;
    } else {
        return;
    }
    CancelEdit();
    if (changed) {
        m_bChangePending = true;
        m_nChangeColumn = column + m_nFirstColumn;
        m_nChangeLine = line;
        m_dChangeOldValue = oldValue;
        m_strChangeOldText = oldText;
    }
    if (IsWindow()) Invalidate(false);
}

// ---------------------------------------------------------------------------------------------------
// CCellPane: messages

int CCellPane::OnCreate() {
    RecalcScrollSizes();
    m_Edit.Create(WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL | ES_WANTRETURN, Rect(0, 0, 10, 10), this,
                  kEditId);
    m_Edit.ShowWindow(SW_HIDE);
    m_Edit.SetFont(m_pFont);
    m_List.Create(WS_CHILD | WS_VSCROLL | CBS_DROPDOWNLIST, Rect(0, 0, 10, 10), this, kListId);
    m_List.ShowWindow(SW_HIDE);
    m_List.SetFont(m_pFont);
    m_Tip.CreateEx(0, WS_POPUP, Rect(0, 0, 50, 50), this, 0);
    m_Tip.SetFont(m_pFont, false);
    return 0;
}

void CCellPane::DrawCell(Dc& dc, const Rect& r, int line, int col) {
    const CCellColumn& c = m_Columns[static_cast<std::size_t>(col)];
    const tagCellListItem* cell = Cell(line, col);
    if ((m_dwStyle & CCellCtrl::kStyleCellMark) && cell && cell->mark) dc.FillSolidRect(r, kMarkedBack);
    Rect tr = r;
    tr.left += 2;
    tr.right -= 2;
    if (c.type == 5) {
        const int bw = m_nLineHeight - 4;
        Rect sb(r.right - bw, r.top, r.right, r.bottom);
        tr.right = sb.left - 2;
        dc.FillSolidRect(sb, RGB(200, 200, 200));
        dc.Draw3dRect(sb, kWhite, kBlack);
        const int mid = (sb.top + sb.bottom) / 2;
        HLine(dc, mid, sb.left, sb.right, kBlack);
        const int cx = (sb.left + sb.right) / 2;
        for (int i = 0; i < 3; ++i) {
            HLine(dc, mid - 4 + i, cx - i, cx + i + 1, kBlack);  // up triangle
            HLine(dc, mid + 4 - i, cx - i, cx + i + 1, kBlack);  // down triangle
        }
    } else if (c.type == 6) {
        const int top = r.top + (r.Height() - 11) / 2;
        dc.FillSolidRect(Rect(r.left + 2, top, r.left + 13, top + 11), kBlack);
        tr.left += 12;
    }
    dc.DrawText(CellText(line, col), tr,
                (c.rightAligned ? DT_RIGHT : DT_LEFT) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CCellPane::OnPaint(Dc& dc) {
    const Rect client = GetClientRect();
    const Point pos = GetScrollPosition();
    const int x0 = pos.x;
    const int step = m_nLineHeight + 1;
    const int y0 = pos.y * step;
    const int right = client.right;
    dc.SelectFont(m_pFont);
    dc.SetBkMode(TRANSPARENT);

    // Label row.
    dc.FillSolidRect(Rect(0, 0, right, m_nLabelHeight - 1), m_crLabelBack);
    HLine(dc, 0, 0, right, kWhite);
    HLine(dc, m_nLabelHeight - 1, 0, right, kBlack);
    HLine(dc, m_nLabelHeight, 0, m_nLineNumWidth, kBlack);
    HLine(dc, m_nLabelHeight, m_nLineNumWidth, right, m_crLine);
    dc.SetTextColor(m_crLabelText);
    if (m_nLineNumWidth > 0) {
        VLine(dc, 0, 0, m_nLabelHeight - 1, kWhite);
        VLine(dc, m_nLineNumWidth - 1, 0, m_nLabelHeight - 1, kBlack);
        dc.ExcludeClipRect(Rect(0, 0, m_nLineNumWidth, client.bottom));
    }
    int x = m_nLineNumWidth - x0;
    VLine(dc, x, 0, m_nLabelHeight - 1, kBlack);
    ++x;
    for (const CCellColumn& c : m_Columns) {
        if (x > right) break;
        VLine(dc, x, 0, m_nLabelHeight - 1, kWhite);
        if (x + c.width >= 0) {
            Rect tr = c.rightAligned ? Rect(x, 0, x + c.width - 3, m_nLabelHeight - 1)
                                     : Rect(x + 3, 0, x + c.width, m_nLabelHeight - 1);
            dc.DrawText(c.title, tr,
                        (c.rightAligned ? DT_RIGHT : DT_LEFT) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        x += c.width;
        VLine(dc, x, 0, m_nLabelHeight - 1, kBlack);
        ++x;
    }
    dc.SelectClipRect(nullptr);

    // Lines (only those in the client area).
    dc.ExcludeClipRect(Rect(0, 0, right, m_nLabelHeight + 1));
    const int last = LineCount() + ((m_dwStyle & CCellCtrl::kStyleNewLineRow) ? 1 : 0);
    const bool focusShown = (m_dwStyle & CCellCtrl::kStyleAlwaysFrame) || HasFocus();
    int line = std::max(y0 / step - 1, 0);
    int y = m_nLabelHeight + step * line + 1 - y0;
    int painted = 0;
    for (; line < last; ++line, y += step) {
        if (y >= client.bottom) break;
        if (y + step <= m_nLabelHeight) continue;
        ++painted;
        const CCellLine* rec = Line(line);
        COLORREF back = m_crBack;
        if ((m_dwStyle & CCellCtrl::kStyleLineColor) && line == m_nSelLine) back = kSelectedBack;
        if ((m_dwStyle & CCellCtrl::kStyleMultiLine)) back = rec && rec->selected ? kSelectedBack : m_crBack;
        if (m_nLineNumWidth > 0) {
            Rect nr(0, y, m_nLineNumWidth, y + m_nLineHeight);
            dc.SelectClipRect(nullptr);
            dc.ExcludeClipRect(Rect(0, 0, right, m_nLabelHeight + 1));
            dc.FillSolidRect(Rect(nr.left, nr.top, nr.right, nr.bottom + 1), m_crLabelBack);
            dc.Draw3dRect(Rect(nr.left, nr.top - 1, nr.right, nr.bottom + 1), kWhite, kBlack);
            if (rec) {
                const int n = (m_dwStyle & CCellCtrl::kStyleStoredNumber) ? rec->number + 1 : line + 1;
                dc.SetTextColor(m_crLabelText);
                dc.DrawText(rymd::FormatText("%d", n), nr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            }
            dc.ExcludeClipRect(Rect(0, 0, m_nLineNumWidth, client.bottom));
        }
        dc.FillSolidRect(Rect(m_nLineNumWidth, y, right, y + m_nLineHeight), back);
        x = m_nLineNumWidth - x0;
        VLine(dc, x, y, y + step, m_crLine);
        ++x;
        dc.SetTextColor(m_crText);
        for (int c = 0; c < ColumnCount() && x < right; ++c) {
            const int w = m_Columns[static_cast<std::size_t>(c)].width;
            Rect cr(x, y, x + w, y + m_nLineHeight);
            if (x + w >= 0) {
                DrawCell(dc, cr, line, c);
                HLine(dc, y + m_nLineHeight, x, x + w + 1, m_crLine);
                VLine(dc, x + w, y, y + step, m_crLine);
            }
            x += w + 1;
        }
        HLine(dc, y + m_nLineHeight, x, right, m_crLine);
        if (line == m_nSelLine && m_nSelColumn >= 0 && m_nSelColumn < ColumnCount() &&
            !(m_dwStyle & CCellCtrl::kStyleNoFocusFrame) && focusShown) {
            Rect fr = CellRect(line, m_nSelColumn);
            fr.InflateRect(1, 1);
            dc.FrameRect(fr, kFrameBlue);
        }
    }
    m_nLastPainted = painted;
    if (line >= last && y < client.bottom) {
        COLORREF back = m_crBack;
        if ((m_dwStyle & CCellCtrl::kStyleLineColor) && line == m_nSelLine) back = kSelectedBack;
        dc.FillSolidRect(Rect(m_nLineNumWidth, y, right, y + m_nLineHeight), back);
        if (line == m_nSelLine && m_nSelColumn >= 0 && !(m_dwStyle & CCellCtrl::kStyleNoFocusFrame) &&
            focusShown) {
            Rect fr = CellRect(line, m_nSelColumn);
            fr.InflateRect(1, 1);
            dc.FrameRect(fr, kFrameBlue);
        }
        dc.FillSolidRect(Rect(0, y + m_nLineHeight, right, client.bottom), kWhite);
        if (m_nLineNumWidth > 0) {
            dc.SelectClipRect(nullptr);
            dc.ExcludeClipRect(Rect(0, 0, right, m_nLabelHeight + 1));
            dc.FillSolidRect(Rect(0, y, m_nLineNumWidth, client.bottom), kWhite);
        }
    }
    dc.SelectClipRect(nullptr);
}

void CCellPane::OnHScroll(int code, int pos) {
    Commit();
    Rect c = GetClientRect();
    Rect sr(m_nLineNumWidth, 0, c.right, c.bottom);
    SetScrollRect(sr);
    Flush();
    CScrollWnd::OnHScroll(code, pos);
}

void CCellPane::OnVScroll(int code, int pos) {
    Commit();
    Rect c = GetClientRect();
    Rect sr(0, m_nLabelHeight, c.right, c.bottom);
    SetScrollRect(sr);
    CScrollWnd::OnVScroll(code, pos);
    if (m_pOther) {
        m_pOther->Commit();
        m_pOther->FollowVertical(GetScrollPosition().y);
    }
    Flush();
    if (m_pOther) m_pOther->Flush();
}

bool CCellPane::OnMouseWheel(unsigned, int delta, Point) {
    if (m_sizeTotal.cy > GetClientRect().Height()) {
        Point pos = GetScrollPosition();
        pos.y += delta < 0 ? 1 : -1;
        Rect c = GetClientRect();
        Rect sr(0, m_nLabelHeight, c.right, c.bottom);
        SetScrollRect(sr);
        SetScrollPosition(pos);
        if (m_pOther) m_pOther->FollowVertical(GetScrollPosition().y);
    }
    return true;
}

void CCellPane::OnLButtonDown(unsigned flags, Point point) {
    const int border = HitColumnBorder(point);
    if (border >= 0) {
        m_nResizeColumn = border;
        m_ptResizeStart = point;
        m_nResizeStartWidth = m_Columns[static_cast<std::size_t>(border)].width;
        SetCapture();
        return;
    }
    const int label = HitLabel(point);
    if (label >= 0) {
        SendCellNotify(kCellLabelClick, label, -1, Point());
        return;
    }
    Commit();
    int line = -1;
    int col = -1;
    HitTest(point, &line, &col);
    if (m_dwStyle & CCellCtrl::kStyleMultiLine) {
        if (m_nResizeColumn >= 0) return;
        if (line < 0 || line >= LineCount()) {
            m_bDragging = true;
            SetCapture();
        } else {
            Select(line, col, false, true);
            if (flags & MK_SHIFT) {
                int from = -1;
                for (int d = 1; from < 0 && (line - d >= 0 || line + d < LineCount()); ++d) {
                    if (const CCellLine* a = Line(line - d); a && a->selected)
                        from = line - d;
                    else if (const CCellLine* b = Line(line + d); b && b->selected)
                        from = line + d;
                }
                if (from < 0) from = line;
                for (int l = std::min(from, line); l <= std::max(from, line); ++l)
                    SetLineFlag(l, true);
            } else {
                ToggleLineFlag(line);
            }
            m_nDragAnchor = line;
            Invalidate(false);
            if (m_pOther) m_pOther->Invalidate(false);
            SendCode5();
            m_bDragging = true;
            SetCapture();
        }
    } else if (!(m_dwStyle & CCellCtrl::kStyleCellMark)) {
        Select(line, col, false, true);
    } else {
        const CCellColumn* c = Column(col);
        if (FirstMarkedColumn() != col) {
            ClearMarks(-1);
            if (m_pOther) m_pOther->ClearMarks(-1);
        }
        if (!c || c->readOnly) {
            Select(line, col, false, true);
        } else if (flags & MK_SHIFT) {
            int from = -1;
            for (int d = 1; from < 0 && (line - d >= 0 || line + d < LineCount()); ++d) {
                if (MarkState(line - d, col))
                    from = line - d;
                else if (MarkState(line + d, col))
                    from = line + d;
            }
            if (from < 0) from = line;
            for (int l = std::min(from, line); l <= std::max(from, line); ++l)
                if (tagCellListItem* cell = Cell(l, col)) cell->mark = true;
            Select(line, col, false, false);
        } else {
            Select(line, col, false, !(flags & MK_CONTROL));
        }
    }
    Flush();
    SendCellNotify(kCellClick, col, line, ToGrid(point));
}

void CCellPane::OnLButtonDblClk(unsigned, Point point) {
    Commit();
    int line = -1;
    int col = -1;
    HitTest(point, &line, &col);
    bool began = false;
    if (!(m_dwStyle & CCellCtrl::kStyleNoEdit) && ValidEditCell(line, col)) {
        StartEdit(col, line, true);
        began = IsOpen();
    }
    Flush();
    SendCellNotify(kCellDblClick, col, line, ToGrid(point));
    if (began) SendCellNotify(kCellEditBegin, col, line, Point());
}

void CCellPane::OnLButtonUp(unsigned, Point) {
    if (m_nResizeColumn >= 0 || m_bDragging) {
        m_nResizeColumn = -1;
        m_bDragging = false;
        m_nDragAnchor = -1;
        if (GetCapture() == this) ReleaseCapture();
    }
}

void CCellPane::OnCaptureChanged(Wnd* newCapture) {
    if (newCapture != this) {
        m_nResizeColumn = -1;
        m_bDragging = false;
    }
}

void CCellPane::OnRButtonDown(unsigned, Point point) {
    Commit();
    int line = -1;
    int col = -1;
    HitTest(point, &line, &col);
    Select(line, col, true, true);
    Flush();
    SendCellNotify(kCellRButtonDown, col, line, ToGrid(point));
}

void CCellPane::OnRButtonUp(unsigned, Point point) {
    SendCellNotify(kCellRButtonUp, m_nSelColumn, m_nSelLine, ToGrid(point));
}

void CCellPane::OnMouseMove(unsigned flags, Point point) {
    if (!(flags & MK_LBUTTON) && m_nResizeColumn >= 0) {
        m_nResizeColumn = -1;
        if (GetCapture() == this) ReleaseCapture();
    }
    if (m_nResizeColumn >= 0) {
        CCellColumn& c = m_Columns[static_cast<std::size_t>(m_nResizeColumn)];
        const int w = std::max(8, m_nResizeStartWidth + (point.x - m_ptResizeStart.x));
        if (w != c.width) {
            c.width = w;
            RecalcScrollSizes();
            Invalidate(false);
        }
    }
    m_bOverBorder = m_nResizeColumn >= 0 || HitColumnBorder(point) >= 0;
    if (m_bDragging && (m_dwStyle & CCellCtrl::kStyleMultiLine) && (flags & MK_LBUTTON)) {
        const int step = m_nLineHeight + 1;
        const int line = FloorDiv(point.y + GetScrollPosition().y * step - m_nLabelHeight - 1, step);
        if (line != m_nDragAnchor) {
            bool changed = false;
            const int dir = line > m_nDragAnchor ? 1 : -1;
            for (int l = m_nDragAnchor + dir;; l += dir) {
                if (l >= 0 && l < LineCount()) {
                    ToggleLineFlag(l);
                    changed = true;
                }
                if (l == line) break;
            }
            m_nDragAnchor = line;
            if (changed) {
                Invalidate(false);
                if (m_pOther) m_pOther->Invalidate(false);
                SendCode5();
            }
        }
    }
}

bool CCellPane::OnSetCursor(Wnd*, int, unsigned) {
    SetCursor(this, m_bOverBorder ? Cursor::SizeWE : Cursor::Arrow);
    return true;
}

void CCellPane::OnKeyDown(unsigned key, unsigned, unsigned) {
    // The key a hidden editor would pass on: typing on a selected cell starts editing it.
    if (IsOpen() || key == VK_SHIFT || key == VK_CONTROL || key == 229) return;
    if (!ValidEditCell(m_nSelLine, m_nSelColumn)) return;
    StartEdit(m_nSelColumn, m_nSelLine, false);
}

void CCellPane::OnChar(unsigned ch, unsigned, unsigned) {
    // The typed character lands in the editor that its key opened.
    if (!m_bEditOpen || ch < 0x20 || ch == 0x7F) return;
    char32_t c = ch;
    std::string utf8;
    if (c < 0x80) {
        utf8 += static_cast<char>(c);
    } else if (c < 0x800) {
        utf8 += static_cast<char>(0xC0 | (c >> 6));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (c >> 12));
        utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | (c >> 18));
        utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
    m_Edit.ReplaceSel(utf8);
}

void CCellPane::OnSetFocus(Wnd* oldWnd) {
    CScrollWnd::OnSetFocus(oldWnd);
    Invalidate(false);
}

void CCellPane::OnKillFocus(Wnd* newWnd) {
    CScrollWnd::OnKillFocus(newWnd);
    if (newWnd != &m_Edit) Invalidate(false);
}

bool CCellPane::OnCommand(int id, int code, Wnd*) {
    if (id == kListId && code == CBN_CLOSEUP) {
        Commit();
        Flush();
        return true;
    }
    return false;
}

bool CCellPane::PreTranslateMessage(Msg& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    const bool shift = (msg.flags & MK_SHIFT) != 0;
    switch (msg.key) {
        case VK_ESCAPE:
            // With nothing open there is nothing to cancel here: the key is the dialog's.
            if (!IsOpen()) return false;
            CancelEdit();
            Invalidate(false);
            return true;
        case VK_RETURN: {
            if (IsOpen()) {
                Commit();
                int line = m_nSelLine;
                if (line >= 0) line = std::min(line + 1, std::max(MaxLine(), 0));
                Select(line, m_nSelColumn, true, true);
                Flush();
                return true;
            }
            // A key that opens no editor and marks no line is the dialog's (its default button).
            bool handled = false;
            if (!(m_dwStyle & CCellCtrl::kStyleNoEdit) && ValidEditCell(m_nSelLine, m_nSelColumn)) {
                StartEdit(m_nSelColumn, m_nSelLine, true);
                if (IsOpen()) {
                    SendCellNotify(kCellEditBegin, m_nSelColumn, m_nSelLine, Point());
                    handled = true;
                }
            }
            if ((m_dwStyle & CCellCtrl::kStyleMultiLine) && m_nSelLine >= 0 && m_nSelLine < LineCount()) {
                ToggleLineFlag(m_nSelLine);
                SendCode5();
                Invalidate(false);
                if (m_pOther) m_pOther->Invalidate(false);
                handled = true;
            }
            return handled;
        }
        case VK_UP:
        case VK_DOWN: {
            if (m_bListOpen || m_nSelLine < 0) return false;
            const bool multi = shift && (m_dwStyle & CCellCtrl::kStyleMultiLine);
            if (multi) SetLineFlag(m_nSelLine, true);
            Commit();
            int line = m_nSelLine + (msg.key == VK_UP ? -1 : 1);
            line = std::clamp(line, 0, std::max(MaxLine(), 0));
            Select(line, m_nSelColumn, true, !shift);
            if (multi) SetLineFlag(line, true);
            Flush();
            if (multi && m_pOther) m_pOther->Invalidate(false);
            return true;
        }
        case VK_LEFT:
        case VK_RIGHT: {
            if (IsOpen() || m_nSelColumn < 0) return false;
            Commit();
            const int col = std::clamp(m_nSelColumn + (msg.key == VK_LEFT ? -1 : 1), 0, ColumnCount() - 1);
            Select(m_nSelLine, col, true, true);
            Flush();
            return true;
        }
        default: return false;
    }
}

}  // namespace MbWnd
