// The platform's report list view and image lists.
//
// ListCtrl shows items in rows under a header of columns (the report view, the only view the
// game uses). Each item has a text per column, an optional small image before its first
// column, optional check box, an item value for the caller (item data), a selected and a
// focused state, and optional colours of its own. The list scrolls by whole items; a wheel
// notch moves three items. Clicks select (one item with LVS_SINGLESEL, Ctrl and Shift extend
// otherwise); a click on the check box toggles it; Up, Down, Home, End, Page Up and Page Down
// move the selection and Space toggles the check box.
//
// The parent hears WM_NOTIFY records: NM_CLICK, NM_DBLCLK and NM_RCLICK (NMItemActivate, item
// and column under the mouse, -1 for none), LVN_ITEMCHANGED (NMListView, for each item whose
// selection, focus or check changed), LVN_COLUMNCLICK (NMListView, iSubItem = the column).
//
// SortItems orders the items by a compare function over their item data (the game's
// comparisons); the order of items that compare equal is not promised.
#pragma once

#include <QImage>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qt/wnd.h"

namespace rymd::ui {

class Bitmap;

inline constexpr std::uint32_t LVS_REPORT = 0x0001;
inline constexpr std::uint32_t LVS_SINGLESEL = 0x0004;
inline constexpr std::uint32_t LVS_SHOWSELALWAYS = 0x0008;
inline constexpr std::uint32_t LVS_NOSORTHEADER = 0x8000;
inline constexpr std::uint32_t LVS_EX_GRIDLINES = 0x0001;
inline constexpr std::uint32_t LVS_EX_CHECKBOXES = 0x0004;
inline constexpr std::uint32_t LVS_EX_FULLROWSELECT = 0x0020;
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;
inline constexpr unsigned LVIS_FOCUSED = 0x1;
inline constexpr unsigned LVIS_SELECTED = 0x2;
inline constexpr unsigned LVIS_CHECKED = 0x2000;  // the check box's state image (checked)
inline constexpr int LVNI_ALL = 0x0;
inline constexpr int LVNI_FOCUSED = 0x1;
inline constexpr int LVNI_SELECTED = 0x2;
inline constexpr int LVSIL_SMALL = 1;
inline constexpr int LVN_ITEMCHANGED = -101;
inline constexpr int LVN_COLUMNCLICK = -108;
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

struct NMListView {
    NotifyHeader hdr;
    int iItem = -1;
    int iSubItem = 0;
    unsigned uNewState = 0;
    unsigned uOldState = 0;
    unsigned uChanged = 0;
    Point ptAction;
    std::intptr_t lParam = 0;
};

struct NMItemActivate {
    NotifyHeader hdr;
    int iItem = -1;
    int iSubItem = -1;
    Point ptAction;
    unsigned uKeyFlags = 0;
};

// Pictures of one size, drawn with a mask colour left out.
class ImageList {
public:
    // Pictures of cx x cy pixels.
    bool Create(int cx, int cy);
    // Adds the bitmap's pictures (one per cx pixels of its width); pixels of the mask colour
    // are transparent. Returns the index of the first one added, -1 when none fits.
    int Add(const Bitmap& bitmap, COLORREF mask);
    int Add(const QImage& image, COLORREF mask);
    int GetImageCount() const { return static_cast<int>(images_.size()); }
    Size GetImageSize() const { return Size(cx_, cy_); }
    // Draws picture index with its top-left corner at p; nothing for an index out of range.
    void Draw(Dc& dc, int index, Point p) const;

private:
    int cx_ = 0;
    int cy_ = 0;
    std::vector<QImage> images_;
};

using ListCompare = int (*)(std::intptr_t, std::intptr_t, std::intptr_t);

class ListCtrl : public Wnd {
public:
    bool Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id);

    void SetExtendedStyle(std::uint32_t exStyle);
    std::uint32_t GetExtendedStyle() const { return exStyle_; }
    // The small image list (the caller keeps it alive); returns the one before.
    ImageList* SetImageList(ImageList* list, int which = LVSIL_SMALL);

    // ---- Columns ----
    int InsertColumn(int col, std::string_view title, int format = LVCFMT_LEFT, int width = 60);
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    int GetColumnWidth(int col) const;
    bool SetColumnWidth(int col, int width);

    // ---- Items ----
    // Inserts an item at index (clamped); returns its index.
    int InsertItem(int index, std::string_view text, int image = -1);
    bool DeleteItem(int item);
    bool DeleteAllItems();
    int GetItemCount() const { return static_cast<int>(items_.size()); }
    bool SetItemText(int item, int col, std::string_view text);
    std::string GetItemText(int item, int col) const;
    bool SetItemData(int item, std::intptr_t data);
    std::intptr_t GetItemData(int item) const;
    bool SetItemImage(int item, int image);
    int GetItemImage(int item) const;
    // LVIS_SELECTED and LVIS_FOCUSED (and LVIS_CHECKED) under mask.
    bool SetItemState(int item, unsigned state, unsigned mask);
    unsigned GetItemState(int item, unsigned mask) const;
    bool SetCheck(int item, bool check = true);
    bool GetCheck(int item) const;
    // The next item after start (-1: from the first) with the flags (LVNI_SELECTED, LVNI_FOCUSED).
    int GetNextItem(int start, int flags) const;
    int GetFirstSelectedItem() const { return GetNextItem(-1, LVNI_SELECTED); }
    int GetSelectedCount() const;
    // Colours of one item's text and background (CLR_DEFAULT: the list's).
    bool SetItemColors(int item, COLORREF text, COLORREF back);
    void SetTextColor(COLORREF c) { text_ = c; }
    void SetBkColor(COLORREF c) { back_ = c; }

    // ---- Order and view ----
    bool SortItems(ListCompare compare, std::intptr_t lParamSort);
    bool EnsureVisible(int item);
    int GetTopIndex() const { return top_; }
    int GetCountPerPage() const;
    // The item (and column) at a client point, -1 for none.
    int HitTest(Point p, int* col = nullptr) const;
    // Geometry.
    int RowHeight() const;
    int HeaderHeight() const { return RowHeight() + 3; }
    Rect ItemRect(int item) const;
    Rect CheckBoxRect(int item) const;

    void OnPaint(Dc& dc) override;
    bool OnEraseBkgnd(Dc&) override { return true; }
    void OnLButtonDown(unsigned flags, Point point) override;
    void OnLButtonDblClk(unsigned flags, Point point) override;
    void OnRButtonDown(unsigned flags, Point point) override;
    void OnKeyDown(unsigned key, unsigned repeat, unsigned flags) override;
    bool OnMouseWheel(unsigned flags, int delta, Point point) override;
    void OnVScroll(int code, int pos) override;
    void OnHScroll(int code, int pos) override;
    void OnSize(int type, int cx, int cy) override;
    void OnSetFocus(Wnd* oldWnd) override { Invalidate(false); }
    void OnKillFocus(Wnd* newWnd) override { Invalidate(false); }

private:
    struct Column {
        std::string title;
        int format = LVCFMT_LEFT;
        int width = 60;
    };
    struct Item {
        std::vector<std::string> texts;
        std::intptr_t data = 0;
        int image = -1;
        unsigned state = 0;
        COLORREF text = CLR_DEFAULT;
        COLORREF back = CLR_DEFAULT;
    };
    NotifyHeader HeaderOf(int code);
    void ChangeState(int item, unsigned state, unsigned mask);
    void SelectOnly(int item);
    void SendItemNotify(int code, int item, int col, Point p, unsigned flags);
    void UpdateBars();
    void ScrollTo(int top);
    int TotalWidth() const;
    int ImageWidth() const;

    std::uint32_t exStyle_ = 0;
    ImageList* small_ = nullptr;
    std::vector<Column> columns_;
    std::vector<Item> items_;
    int top_ = 0;
    int left_ = 0;
    int anchor_ = -1;
    COLORREF text_ = RGB(0, 0, 0);
    COLORREF back_ = RGB(255, 255, 255);
};

}  // namespace rymd::ui
