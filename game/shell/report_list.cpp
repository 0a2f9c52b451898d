#include "game/shell/report_list.h"

#include <algorithm>

#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace rymd::shell {

using ui::Point;
using ui::Rect;

bool CReportList::Create(const Rect& rect, ui::Wnd* parent, int id) {
    font_.CreateFont(12, 0, 0, 0, 400, false, false, false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック");
    if (!CreateEx(ui::WS_EX_CLIENTEDGE, ui::WS_CHILD | ui::WS_VISIBLE | ui::WS_VSCROLL | ui::WS_TABSTOP, rect,
                  parent, id))
        return false;
    UpdateScrollBar();
    return true;
}

void CReportList::InsertColumn(const std::string& title, int width, Align align) {
    columns_.push_back(Column{title, width, align});
    Invalidate();
}

void CReportList::DeleteAllItems() {
    rows_.clear();
    selected_ = -1;
    top_ = 0;
    UpdateScrollBar();
    Invalidate();
}

int CReportList::InsertItem(const std::string& text, std::intptr_t data, int image) {
    Row r;
    r.texts.assign(std::max<std::size_t>(1, columns_.size()), std::string());
    r.texts[0] = text;
    r.data = data;
    r.image = image;
    rows_.push_back(std::move(r));
    UpdateScrollBar();
    Invalidate();
    return static_cast<int>(rows_.size()) - 1;
}

void CReportList::DeleteItem(int row) {
    if (row < 0 || row >= GetItemCount()) return;
    rows_.erase(rows_.begin() + row);
    if (selected_ == row)
        selected_ = -1;
    else if (selected_ > row)
        --selected_;
    top_ = std::max(0, std::min(top_, GetItemCount() - VisibleRows()));
    UpdateScrollBar();
    Invalidate();
}

void CReportList::SetItemText(int row, int column, const std::string& text) {
    if (row < 0 || row >= GetItemCount() || column < 0) return;
    auto& texts = rows_[static_cast<std::size_t>(row)].texts;
    if (static_cast<std::size_t>(column) >= texts.size()) texts.resize(static_cast<std::size_t>(column) + 1);
    texts[static_cast<std::size_t>(column)] = text;
    Invalidate();
}

std::string CReportList::GetItemText(int row, int column) const {
    if (row < 0 || row >= GetItemCount() || column < 0) return {};
    const auto& texts = rows_[static_cast<std::size_t>(row)].texts;
    return static_cast<std::size_t>(column) < texts.size() ? texts[static_cast<std::size_t>(column)] : std::string();
}

void CReportList::SetItemData(int row, std::intptr_t data) {
    if (row >= 0 && row < GetItemCount()) rows_[static_cast<std::size_t>(row)].data = data;
}

std::intptr_t CReportList::GetItemData(int row) const {
    return row >= 0 && row < GetItemCount() ? rows_[static_cast<std::size_t>(row)].data : 0;
}

void CReportList::SetItemImage(int row, int image) {
    if (row < 0 || row >= GetItemCount()) return;
    rows_[static_cast<std::size_t>(row)].image = image;
    Invalidate();
}

int CReportList::GetItemImage(int row) const {
    return row >= 0 && row < GetItemCount() ? rows_[static_cast<std::size_t>(row)].image : -1;
}

void CReportList::SetSelectedItem(int row) {
    selected_ = row >= 0 && row < GetItemCount() ? row : -1;
    Invalidate();
}

int CReportList::VisibleRows() const {
    return std::max(1, (GetClientRect().Height() - kHeaderHeight) / kRowHeight);
}

int CReportList::RowAt(Point p) const {
    if (p.y < kHeaderHeight) return -1;
    const int row = top_ + (p.y - kHeaderHeight) / kRowHeight;
    return row < GetItemCount() ? row : -1;
}

Point CReportList::RowCentre(int row) const {
    return Point(GetClientRect().Width() / 2, kHeaderHeight + (row - top_) * kRowHeight + kRowHeight / 2);
}

void CReportList::UpdateScrollBar() {
    if (!IsWindow()) return;
    SetScrollInfo(ui::SB_VERT, 0, std::max(0, GetItemCount() - 1), VisibleRows());
    SetScrollPos(ui::SB_VERT, top_);
}

void CReportList::Scroll(int top) {
    top = std::max(0, std::min(top, GetItemCount() - VisibleRows()));
    if (top == top_) return;
    top_ = top;
    SetScrollPos(ui::SB_VERT, top_);
    Invalidate();
}

void CReportList::OnSize(int, int, int) {
    UpdateScrollBar();
}

bool CReportList::OnMouseWheel(unsigned, int delta, Point) {
    Scroll(top_ - delta / 40);
    return true;
}

void CReportList::OnVScroll(int code, int pos) {
    switch (code) {
        case ui::SB_LINEUP: Scroll(top_ - 1); break;
        case ui::SB_LINEDOWN: Scroll(top_ + 1); break;
        case ui::SB_PAGEUP: Scroll(top_ - VisibleRows()); break;
        case ui::SB_PAGEDOWN: Scroll(top_ + VisibleRows()); break;
        case ui::SB_THUMBPOSITION:
        case ui::SB_THUMBTRACK: Scroll(pos); break;
        default: break;
    }
}

void CReportList::NotifyParent(int code, int row, int column) {
    Notify n;
    n.hdr.hwndFrom = this;
    n.hdr.idFrom = GetDlgCtrlID();
    n.hdr.code = code;
    n.row = row;
    n.column = column;
    if (ui::Wnd* parent = GetParent()) SendNotify(parent, &n.hdr);
}

void CReportList::OnLButtonDown(unsigned, Point point) {
    SetFocus();
    if (point.y < kHeaderHeight) {
        int x = 0;
        for (int c = 0; c < GetColumnCount(); ++c) {
            const int w = columns_[static_cast<std::size_t>(c)].width +
                          (c == 0 && !imageColours_.empty() ? kSwatchWidth + 2 : 0);
            if (point.x >= x && point.x < x + w) {
                NotifyParent(kColumnClick, -1, c);
                return;
            }
            x += w;
        }
        return;
    }
    const int row = RowAt(point);
    if (row >= 0) SetSelectedItem(row);
    NotifyParent(ui::NM_CLICK, row, -1);
}

void CReportList::OnPaint(ui::Dc& dc) {
    const Rect client = GetClientRect();
    dc.FillSolidRect(client, ui::GetSysColor(ui::COLOR_WINDOW));
    dc.SelectFont(&font_);
    dc.SetBkMode(ui::TRANSPARENT);
    const int swatch = imageColours_.empty() ? 0 : kSwatchWidth + 2;

    // The header: one raised cell per column.
    dc.FillSolidRect(Rect(0, 0, client.right, kHeaderHeight), ui::GetSysColor(ui::COLOR_BTNFACE));
    int x = 0;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        const int w = columns_[c].width + (c == 0 ? swatch : 0);
        const Rect cell(x, 0, x + w, kHeaderHeight);
        dc.Draw3dRect(cell, ui::GetSysColor(ui::COLOR_BTNHIGHLIGHT), ui::GetSysColor(ui::COLOR_BTNSHADOW));
        dc.SetTextColor(ui::GetSysColor(ui::COLOR_BTNTEXT));
        Rect text = cell;
        text.DeflateRect(4, 0);
        dc.DrawText(columns_[c].title, text, ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_NOPREFIX | ui::DT_LEFT);
        x += w;
    }

    // The rows.
    for (int r = top_; r < GetItemCount(); ++r) {
        const int y = kHeaderHeight + (r - top_) * kRowHeight;
        if (y >= client.bottom) break;
        const Row& row = rows_[static_cast<std::size_t>(r)];
        const bool sel = r == selected_;
        if (sel) dc.FillSolidRect(Rect(0, y, std::max(x, 1), y + kRowHeight), ui::GetSysColor(ui::COLOR_HIGHLIGHT));
        dc.SetTextColor(ui::GetSysColor(sel ? ui::COLOR_HIGHLIGHTTEXT : ui::COLOR_WINDOWTEXT));
        if (swatch && row.image >= 0 && row.image < static_cast<int>(imageColours_.size())) {
            const Rect box(2, y + 3, 2 + kSwatchWidth - 2, y + kRowHeight - 4);
            dc.FillSolidRect(box, imageColours_[static_cast<std::size_t>(row.image)]);
            dc.Draw3dRect(box, ui::RGB(0, 0, 0), ui::RGB(0, 0, 0));
        }
        int cx = swatch;
        for (std::size_t c = 0; c < columns_.size(); ++c) {
            const int w = columns_[c].width;
            Rect text(cx + 4, y, cx + w - 4, y + kRowHeight);
            const unsigned align = columns_[c].align == Align::kRight ? ui::DT_RIGHT : ui::DT_LEFT;
            if (c < row.texts.size())
                dc.DrawText(row.texts[c], text, ui::DT_SINGLELINE | ui::DT_VCENTER | ui::DT_NOPREFIX | align);
            cx += w;
        }
    }
    dc.SelectFont(nullptr);
}

}  // namespace rymd::shell
