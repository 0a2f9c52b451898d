#include "platform/qt/list_ctrl.h"

#include <algorithm>

#include "platform/qt/app.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"

namespace rymd::ui {

// ---------------------------------------------------------------------------------------------------
// ImageList

bool ImageList::Create(int cx, int cy) {
    if (cx <= 0 || cy <= 0) return false;
    cx_ = cx;
    cy_ = cy;
    images_.clear();
    return true;
}

int ImageList::Add(const Bitmap& bitmap, COLORREF mask) {
    if (bitmap.IsNull()) return -1;
    // The pictures are kept in logical pixels.
    if (bitmap.PixelRatio() != 1.0) return Add(bitmap.Image().scaled(bitmap.Width(), bitmap.Height()), mask);
    return Add(bitmap.Image(), mask);
}

int ImageList::Add(const QImage& image, COLORREF mask) {
    if (cx_ <= 0 || image.isNull() || image.height() < cy_) return -1;
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    const int first = GetImageCount();
    // The mask colour as the source's own format holds it (16-bit pictures round it).
    QImage one(1, 1, image.format() == QImage::Format_Invalid ? QImage::Format_RGB32 : image.format());
    one.setPixelColor(0, 0, QColor(GetRValue(mask), GetGValue(mask), GetBValue(mask)));
    const QRgb maskRgb = one.convertToFormat(QImage::Format_ARGB32).pixel(0, 0);
    for (int x0 = 0; x0 + cx_ <= src.width(); x0 += cx_) {
        QImage pic = src.copy(x0, 0, cx_, cy_);
        for (int y = 0; y < cy_; ++y) {
            auto* row = reinterpret_cast<QRgb*>(pic.scanLine(y));
            for (int x = 0; x < cx_; ++x)
                if ((row[x] & 0xFFFFFF) == (maskRgb & 0xFFFFFF)) row[x] = 0;
        }
        images_.push_back(std::move(pic));
    }
    return GetImageCount() > first ? first : -1;
}

void ImageList::Draw(Dc& dc, int index, Point p) const {
    if (index < 0 || index >= GetImageCount()) return;
    dc.DrawImage(Rect(p, Size(cx_, cy_)), images_[static_cast<std::size_t>(index)], Rect(0, 0, cx_, cy_));
}

// ---------------------------------------------------------------------------------------------------
// ListCtrl: contents

namespace {
constexpr int kCheckSize = 13;
constexpr int kWheelItems = 3;
}  // namespace

bool ListCtrl::Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id) {
    if (!Wnd::Create(style | WS_CHILD | WS_VSCROLL | WS_HSCROLL, rect, parent, id)) return false;
    UpdateBars();
    return true;
}

void ListCtrl::SetExtendedStyle(std::uint32_t exStyle) {
    exStyle_ = exStyle;
    Invalidate(false);
}

ImageList* ListCtrl::SetImageList(ImageList* list, int which) {
    ImageList* old = small_;
    if (which == LVSIL_SMALL) small_ = list;
    Invalidate(false);
    return old;
}

int ListCtrl::InsertColumn(int col, std::string_view title, int format, int width) {
    col = std::clamp(col, 0, GetColumnCount());
    columns_.insert(columns_.begin() + col, Column{std::string(title), format, std::max(0, width)});
    for (Item& it : items_)
        it.texts.insert(it.texts.begin() + col, std::string());
    UpdateBars();
    Invalidate(false);
    return col;
}

int ListCtrl::GetColumnWidth(int col) const {
    return col >= 0 && col < GetColumnCount() ? columns_[static_cast<std::size_t>(col)].width : 0;
}

bool ListCtrl::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= GetColumnCount()) return false;
    columns_[static_cast<std::size_t>(col)].width = std::max(0, width);
    UpdateBars();
    Invalidate(false);
    return true;
}

int ListCtrl::InsertItem(int index, std::string_view text, int image) {
    index = std::clamp(index, 0, GetItemCount());
    Item it;
    it.texts.assign(std::max<std::size_t>(1, columns_.size()), std::string());
    it.texts[0] = std::string(text);
    it.image = image;
    items_.insert(items_.begin() + index, std::move(it));
    if (anchor_ >= index) ++anchor_;
    UpdateBars();
    Invalidate(false);
    return index;
}

bool ListCtrl::DeleteItem(int item) {
    if (item < 0 || item >= GetItemCount()) return false;
    items_.erase(items_.begin() + item);
    if (anchor_ == item) anchor_ = -1;
    if (anchor_ > item) --anchor_;
    top_ = std::clamp(top_, 0, std::max(0, GetItemCount() - 1));
    UpdateBars();
    Invalidate(false);
    return true;
}

bool ListCtrl::DeleteAllItems() {
    items_.clear();
    top_ = 0;
    anchor_ = -1;
    UpdateBars();
    Invalidate(false);
    return true;
}

bool ListCtrl::SetItemText(int item, int col, std::string_view text) {
    if (item < 0 || item >= GetItemCount() || col < 0 || col >= std::max(1, GetColumnCount())) return false;
    Item& it = items_[static_cast<std::size_t>(item)];
    if (static_cast<int>(it.texts.size()) <= col) it.texts.resize(static_cast<std::size_t>(col) + 1);
    it.texts[static_cast<std::size_t>(col)] = std::string(text);
    Invalidate(false);
    return true;
}

std::string ListCtrl::GetItemText(int item, int col) const {
    if (item < 0 || item >= GetItemCount() || col < 0) return {};
    const Item& it = items_[static_cast<std::size_t>(item)];
    return col < static_cast<int>(it.texts.size()) ? it.texts[static_cast<std::size_t>(col)] : std::string();
}

bool ListCtrl::SetItemData(int item, std::intptr_t data) {
    if (item < 0 || item >= GetItemCount()) return false;
    items_[static_cast<std::size_t>(item)].data = data;
    return true;
}

std::intptr_t ListCtrl::GetItemData(int item) const {
    return item >= 0 && item < GetItemCount() ? items_[static_cast<std::size_t>(item)].data : 0;
}

bool ListCtrl::SetItemImage(int item, int image) {
    if (item < 0 || item >= GetItemCount()) return false;
    items_[static_cast<std::size_t>(item)].image = image;
    Invalidate(false);
    return true;
}

int ListCtrl::GetItemImage(int item) const {
    return item >= 0 && item < GetItemCount() ? items_[static_cast<std::size_t>(item)].image : -1;
}

NotifyHeader ListCtrl::HeaderOf(int code) {
    NotifyHeader h;
    h.hwndFrom = this;
    h.idFrom = GetDlgCtrlID();
    h.code = code;
    return h;
}

void ListCtrl::ChangeState(int item, unsigned state, unsigned mask) {
    Item& it = items_[static_cast<std::size_t>(item)];
    const unsigned old = it.state;
    const unsigned now = (old & ~mask) | (state & mask);
    if (now == old) return;
    it.state = now;
    NMListView n;
    n.hdr = HeaderOf(LVN_ITEMCHANGED);
    n.iItem = item;
    n.uOldState = old;
    n.uNewState = now;
    n.uChanged = 0x8;  // the state changed
    n.lParam = it.data;
    Invalidate(false);
    SendNotify(GetParent(), &n.hdr);
}

bool ListCtrl::SetItemState(int item, unsigned state, unsigned mask) {
    if (item == -1) {
        for (int i = 0; i < GetItemCount(); ++i)
            ChangeState(i, state, mask);
        return true;
    }
    if (item < 0 || item >= GetItemCount()) return false;
    if ((mask & LVIS_FOCUSED) && (state & LVIS_FOCUSED))
        for (int i = 0; i < GetItemCount(); ++i)
            if (i != item) ChangeState(i, 0, LVIS_FOCUSED);
    if ((mask & LVIS_SELECTED) && (state & LVIS_SELECTED) && (GetStyle() & LVS_SINGLESEL))
        for (int i = 0; i < GetItemCount(); ++i)
            if (i != item) ChangeState(i, 0, LVIS_SELECTED);
    ChangeState(item, state, mask);
    return true;
}

unsigned ListCtrl::GetItemState(int item, unsigned mask) const {
    return item >= 0 && item < GetItemCount() ? items_[static_cast<std::size_t>(item)].state & mask : 0;
}

bool ListCtrl::SetCheck(int item, bool check) {
    return SetItemState(item, check ? LVIS_CHECKED : 0, LVIS_CHECKED);
}

bool ListCtrl::GetCheck(int item) const {
    return GetItemState(item, LVIS_CHECKED) != 0;
}

int ListCtrl::GetNextItem(int start, int flags) const {
    for (int i = std::max(0, start + 1); i < GetItemCount(); ++i) {
        const unsigned s = items_[static_cast<std::size_t>(i)].state;
        if ((flags & LVNI_SELECTED) && !(s & LVIS_SELECTED)) continue;
        if ((flags & LVNI_FOCUSED) && !(s & LVIS_FOCUSED)) continue;
        return i;
    }
    return -1;
}

int ListCtrl::GetSelectedCount() const {
    return static_cast<int>(std::count_if(items_.begin(), items_.end(),
                                          [](const Item& it) { return (it.state & LVIS_SELECTED) != 0; }));
}

bool ListCtrl::SetItemColors(int item, COLORREF text, COLORREF back) {
    if (item < 0 || item >= GetItemCount()) return false;
    items_[static_cast<std::size_t>(item)].text = text;
    items_[static_cast<std::size_t>(item)].back = back;
    Invalidate(false);
    return true;
}

bool ListCtrl::SortItems(ListCompare compare, std::intptr_t lParamSort) {
    if (!compare) return false;
    std::stable_sort(items_.begin(), items_.end(),
                     [&](const Item& a, const Item& b) { return compare(a.data, b.data, lParamSort) < 0; });
    anchor_ = -1;
    Invalidate(false);
    return true;
}

// ---------------------------------------------------------------------------------------------------
// ListCtrl: geometry and scrolling

int ListCtrl::RowHeight() const {
    int h = GetFont()->CellHeight() + 3;
    if (small_) h = std::max(h, small_->GetImageSize().cy + 2);
    if (exStyle_ & LVS_EX_CHECKBOXES) h = std::max(h, kCheckSize + 2);
    return h;
}

int ListCtrl::ImageWidth() const {
    int w = 0;
    if (exStyle_ & LVS_EX_CHECKBOXES) w += kCheckSize + 4;
    if (small_) w += small_->GetImageSize().cx + 3;
    return w;
}

int ListCtrl::TotalWidth() const {
    int w = 0;
    for (const Column& c : columns_)
        w += c.width;
    return w;
}

int ListCtrl::GetCountPerPage() const {
    return std::max(0, (GetClientRect().Height() - HeaderHeight()) / RowHeight());
}

Rect ListCtrl::ItemRect(int item) const {
    const int y = HeaderHeight() + (item - top_) * RowHeight();
    return Rect(-left_, y, -left_ + TotalWidth(), y + RowHeight());
}

Rect ListCtrl::CheckBoxRect(int item) const {
    Rect r = ItemRect(item);
    const int top = r.top + (r.Height() - kCheckSize) / 2;
    return Rect(r.left + 2, top, r.left + 2 + kCheckSize, top + kCheckSize);
}

int ListCtrl::HitTest(Point p, int* col) const {
    if (col) *col = -1;
    if (p.y < HeaderHeight()) return -1;
    const int item = top_ + (p.y - HeaderHeight()) / RowHeight();
    if (item < 0 || item >= GetItemCount()) return -1;
    int x = -left_;
    for (int c = 0; c < GetColumnCount(); ++c) {
        const int w = columns_[static_cast<std::size_t>(c)].width;
        if (p.x >= x && p.x < x + w) {
            if (col) *col = c;
            return item;
        }
        x += w;
    }
    // Beside the columns: an item only for full-row selection.
    return (exStyle_ & LVS_EX_FULLROWSELECT) ? item : -1;
}

void ListCtrl::UpdateBars() {
    if (!IsWindow()) return;
    const Rect c = GetClientRect();
    const int page = std::max(1, GetCountPerPage());
    top_ = std::clamp(top_, 0, std::max(0, GetItemCount() - page));
    SetScrollInfo(SB_VERT, 0, std::max(0, GetItemCount() - 1), page);
    SetScrollPos(SB_VERT, top_);
    left_ = std::clamp(left_, 0, std::max(0, TotalWidth() - c.Width()));
    SetScrollInfo(SB_HORZ, 0, std::max(0, TotalWidth() - 1), std::max(1, c.Width()));
    SetScrollPos(SB_HORZ, left_);
}

void ListCtrl::ScrollTo(int top) {
    const int page = std::max(1, GetCountPerPage());
    top = std::clamp(top, 0, std::max(0, GetItemCount() - page));
    if (top == top_) return;
    top_ = top;
    SetScrollPos(SB_VERT, top_);
    Invalidate(false);
}

bool ListCtrl::EnsureVisible(int item) {
    if (item < 0 || item >= GetItemCount()) return false;
    const int page = std::max(1, GetCountPerPage());
    if (item < top_)
        ScrollTo(item);
    else if (item >= top_ + page)
        ScrollTo(item - page + 1);
    return true;
}

void ListCtrl::OnSize(int type, int cx, int cy) {
    Wnd::OnSize(type, cx, cy);
    UpdateBars();
}

void ListCtrl::OnVScroll(int code, int pos) {
    const int page = std::max(1, GetCountPerPage());
    int top = top_;
    switch (code) {
        case SB_LINEUP: --top; break;
        case SB_LINEDOWN: ++top; break;
        case SB_PAGEUP: top -= page; break;
        case SB_PAGEDOWN: top += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: top = pos; break;
        case SB_TOP: top = 0; break;
        case SB_BOTTOM: top = GetItemCount(); break;
        default: return;
    }
    ScrollTo(top);
}

void ListCtrl::OnHScroll(int code, int pos) {
    const int width = GetClientRect().Width();
    int left = left_;
    switch (code) {
        case SB_LINELEFT: left -= 8; break;
        case SB_LINERIGHT: left += 8; break;
        case SB_PAGELEFT: left -= width; break;
        case SB_PAGERIGHT: left += width; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: left = pos; break;
        default: return;
    }
    left = std::clamp(left, 0, std::max(0, TotalWidth() - width));
    if (left == left_) return;
    left_ = left;
    SetScrollPos(SB_HORZ, left_);
    Invalidate(false);
}

bool ListCtrl::OnMouseWheel(unsigned, int delta, Point) {
    const int notches = delta / 120;
    ScrollTo(top_ - notches * kWheelItems);
    return true;
}

// ---------------------------------------------------------------------------------------------------
// ListCtrl: painting

void ListCtrl::OnPaint(Dc& dc) {
    const Rect client = GetClientRect();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    dc.SelectFont(GetFont());
    dc.SetBkMode(TRANSPARENT);
    dc.FillSolidRect(client, back_);
    const int rh = RowHeight();
    const bool focused = GetFocus() == this;
    const bool showSel = focused || (GetStyle() & LVS_SHOWSELALWAYS);
    const int last = std::min(GetItemCount(), top_ + client.Height() / rh + 2);
    for (int i = top_; i < last; ++i) {
        const Item& it = items_[static_cast<std::size_t>(i)];
        const Rect row = ItemRect(i);
        if (row.top >= client.bottom) break;
        const bool selected = showSel && (it.state & LVIS_SELECTED);
        const COLORREF back = it.back != CLR_DEFAULT ? it.back : back_;
        const COLORREF text = it.text != CLR_DEFAULT ? it.text : text_;
        dc.FillSolidRect(Rect(row.left, row.top, std::max(row.right, client.right), row.bottom), back);
        int x = -left_;
        for (int c = 0; c < GetColumnCount(); ++c) {
            const Column& col = columns_[static_cast<std::size_t>(c)];
            Rect cell(x, row.top, x + col.width, row.bottom);
            Rect tr = cell;
            if (c == 0) {
                if (exStyle_ & LVS_EX_CHECKBOXES) {
                    Rect cb = CheckBoxRect(i);
                    dc.FillSolidRect(cb, RGB(255, 255, 255));
                    dc.Draw3dRect(cb, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
                    Rect inner = cb;
                    inner.DeflateRect(1, 1);
                    dc.Draw3dRect(inner, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
                    if (it.state & LVIS_CHECKED) {
                        // A tick of three-pixel strokes.
                        for (int k = 0; k < 7; ++k) {
                            const int px = cb.left + 3 + k;
                            const int py = k < 3 ? cb.top + 5 + k : cb.top + 7 - (k - 2);
                            dc.FillSolidRect(Rect(px, py, px + 1, py + 3), RGB(0, 0, 0));
                        }
                    }
                    tr.left += kCheckSize + 4;
                }
                if (small_) {
                    const Size is = small_->GetImageSize();
                    small_->Draw(dc, it.image, Point(tr.left + 1, row.top + (rh - is.cy) / 2));
                    tr.left += is.cx + 3;
                }
                if (selected) {
                    Rect hl = (exStyle_ & LVS_EX_FULLROWSELECT)
                                  ? Rect(tr.left, row.top, row.right, row.bottom)
                                  : Rect(tr.left, row.top, cell.right, row.bottom);
                    dc.FillSolidRect(hl, focused ? GetSysColor(COLOR_HIGHLIGHT) : face);
                }
            }
            const bool whiteText = selected && focused && (c == 0 || (exStyle_ & LVS_EX_FULLROWSELECT));
            dc.SetTextColor(whiteText ? GetSysColor(COLOR_HIGHLIGHTTEXT) : text);
            tr.left += 2;
            tr.right -= 2;
            const unsigned align = col.format == LVCFMT_RIGHT    ? DT_RIGHT
                                   : col.format == LVCFMT_CENTER ? DT_CENTER
                                                                 : DT_LEFT;
            dc.DrawText(i < GetItemCount() ? GetItemText(i, c) : std::string(), tr,
                        align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            if (exStyle_ & LVS_EX_GRIDLINES) {
                dc.FillSolidRect(Rect(cell.right - 1, row.top, cell.right, row.bottom),
                                 GetSysColor(COLOR_BTNFACE));
                dc.FillSolidRect(Rect(cell.left, row.bottom - 1, cell.right, row.bottom),
                                 GetSysColor(COLOR_BTNFACE));
            }
            x += col.width;
        }
        if (focused && (it.state & LVIS_FOCUSED)) {
            Rect fr(row.left, row.top,
                    (exStyle_ & LVS_EX_FULLROWSELECT) ? row.right : row.left + GetColumnWidth(0), row.bottom);
            // A dotted focus frame.
            for (int px = fr.left; px < fr.right; px += 2) {
                dc.SetPixel(px, fr.top, RGB(0, 0, 0));
                dc.SetPixel(px, fr.bottom - 1, RGB(0, 0, 0));
            }
            for (int py = fr.top; py < fr.bottom; py += 2) {
                dc.SetPixel(fr.left, py, RGB(0, 0, 0));
                dc.SetPixel(fr.right - 1, py, RGB(0, 0, 0));
            }
        }
    }
    // The header: raised buttons with the titles.
    const int hh = HeaderHeight();
    dc.FillSolidRect(Rect(0, 0, client.right, hh), face);
    dc.SetTextColor(GetSysColor(COLOR_BTNTEXT));
    int x = -left_;
    for (const Column& col : columns_) {
        Rect b(x, 0, x + col.width, hh);
        dc.Draw3dRect(b, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
        Rect in = b;
        in.DeflateRect(1, 1);
        dc.Draw3dRect(in, face, GetSysColor(COLOR_BTNSHADOW));
        Rect tr(b.left + 5, 0, b.right - 5, hh);
        const unsigned align = col.format == LVCFMT_RIGHT    ? DT_RIGHT
                               : col.format == LVCFMT_CENTER ? DT_CENTER
                                                             : DT_LEFT;
        dc.DrawText(col.title, tr, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        x += col.width;
    }
    if (x < client.right) {
        Rect b(x, 0, client.right + 2, hh);
        dc.Draw3dRect(b, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    }
}

// ---------------------------------------------------------------------------------------------------
// ListCtrl: input

void ListCtrl::SendItemNotify(int code, int item, int col, Point p, unsigned flags) {
    NMItemActivate n;
    n.hdr = HeaderOf(code);
    n.iItem = item;
    n.iSubItem = col;
    n.ptAction = p;
    n.uKeyFlags = flags;
    SendNotify(GetParent(), &n.hdr);
}

void ListCtrl::SelectOnly(int item) {
    for (int i = 0; i < GetItemCount(); ++i)
        if (i != item) ChangeState(i, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (item >= 0) ChangeState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    anchor_ = item;
    EnsureVisible(item);
}

void ListCtrl::OnLButtonDown(unsigned flags, Point point) {
    SetFocus();
    if (point.y < HeaderHeight()) {
        int x = -left_;
        for (int c = 0; c < GetColumnCount(); ++c) {
            const int w = columns_[static_cast<std::size_t>(c)].width;
            if (point.x >= x && point.x < x + w) {
                if (!(GetStyle() & LVS_NOSORTHEADER)) {
                    NMListView n;
                    n.hdr = HeaderOf(LVN_COLUMNCLICK);
                    n.iSubItem = c;
                    n.ptAction = point;
                    SendNotify(GetParent(), &n.hdr);
                }
                return;
            }
            x += w;
        }
        return;
    }
    int col = -1;
    int item = HitTest(point, &col);
    if (item >= 0 && (exStyle_ & LVS_EX_CHECKBOXES) && CheckBoxRect(item).PtInRect(point)) {
        SetCheck(item, !GetCheck(item));
    } else if (item < 0) {
        if (!(flags & (MK_CONTROL | MK_SHIFT))) SelectOnly(-1);
    } else if ((GetStyle() & LVS_SINGLESEL) || !(flags & (MK_CONTROL | MK_SHIFT))) {
        SelectOnly(item);
    } else if (flags & MK_SHIFT) {
        const int from = anchor_ >= 0 ? anchor_ : item;
        for (int i = 0; i < GetItemCount(); ++i) {
            const bool in = i >= std::min(from, item) && i <= std::max(from, item);
            ChangeState(i, in ? LVIS_SELECTED : 0, LVIS_SELECTED);
        }
        SetItemState(item, LVIS_FOCUSED, LVIS_FOCUSED);
    } else {
        ChangeState(item, GetItemState(item, LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
        SetItemState(item, LVIS_FOCUSED, LVIS_FOCUSED);
        anchor_ = item;
    }
    if (IsWindow()) SendItemNotify(NM_CLICK, item, item >= 0 ? col : -1, point, flags);
}

void ListCtrl::OnLButtonDblClk(unsigned flags, Point point) {
    int col = -1;
    const int item = HitTest(point, &col);
    SendItemNotify(NM_DBLCLK, item, item >= 0 ? col : -1, point, flags);
}

void ListCtrl::OnRButtonDown(unsigned flags, Point point) {
    SetFocus();
    int col = -1;
    const int item = HitTest(point, &col);
    if (item >= 0 && !GetItemState(item, LVIS_SELECTED)) SelectOnly(item);
    SendItemNotify(NM_RCLICK, item, item >= 0 ? col : -1, point, flags);
}

void ListCtrl::OnKeyDown(unsigned key, unsigned, unsigned) {
    const int count = GetItemCount();
    if (count == 0) return;
    int focus = GetNextItem(-1, LVNI_FOCUSED);
    const int page = std::max(1, GetCountPerPage());
    int to = focus;
    switch (key) {
        case VK_UP: to = focus < 0 ? 0 : focus - 1; break;
        case VK_DOWN: to = focus < 0 ? 0 : focus + 1; break;
        case VK_PRIOR: to = focus - page; break;
        case VK_NEXT: to = focus + page; break;
        case VK_HOME: to = 0; break;
        case VK_END: to = count - 1; break;
        case VK_SPACE:
            if (focus >= 0 && (exStyle_ & LVS_EX_CHECKBOXES)) SetCheck(focus, !GetCheck(focus));
            return;
        default: return;
    }
    to = std::clamp(to, 0, count - 1);
    SelectOnly(to);
}

}  // namespace rymd::ui
