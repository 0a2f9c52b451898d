// CReportList: a list of rows under a header of columns, as the house lists of the game's dialogs
// use it: one line per row, full-row selection of one row, an optional colour swatch (the row's
// image) before the first column's text, and a header whose clicks and a row's clicks are told
// to the parent as notifications (NM_CLICK with the row; kColumnClick with the column).
// Rows taller than the window scroll with the wheel or the scroll bar.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/qt/font.h"
#include "platform/qt/wnd.h"

namespace rymd::shell {

class CReportList : public ui::Wnd {
public:
    static constexpr int kHeaderHeight = 18;
    static constexpr int kRowHeight = 16;
    static constexpr int kSwatchWidth = 11;
    // The notification of a header click.
    static constexpr int kColumnClick = -108;

    // The record of both notifications.
    struct Notify {
        ui::NotifyHeader hdr;
        int row = -1;     // NM_CLICK: the clicked row (-1 below the last row)
        int column = -1;  // kColumnClick: the clicked column
    };

    bool Create(const ui::Rect& rect, ui::Wnd* parent, int id);

    enum class Align { kLeft, kRight };
    void InsertColumn(const std::string& title, int width, Align align);
    int GetColumnCount() const { return static_cast<int>(columns_.size()); }
    const std::string& ColumnTitle(int column) const { return columns_.at(static_cast<std::size_t>(column)).title; }

    // The colours of the swatches by image index (none: no swatch column).
    void SetImageColours(std::vector<ui::COLORREF> colours) { imageColours_ = std::move(colours); }

    void DeleteAllItems();
    // Appends a row with the first column's text; returns its index.
    int InsertItem(const std::string& text, std::intptr_t data = 0, int image = -1);
    void DeleteItem(int row);
    void SetItemText(int row, int column, const std::string& text);
    std::string GetItemText(int row, int column) const;
    void SetItemData(int row, std::intptr_t data);
    std::intptr_t GetItemData(int row) const;
    void SetItemImage(int row, int image);
    int GetItemImage(int row) const;
    int GetItemCount() const { return static_cast<int>(rows_.size()); }

    // -1 when no row is selected.
    int GetSelectedItem() const { return selected_; }
    void SetSelectedItem(int row);
    // The row under a client point (-1: the header or below the last row).
    int RowAt(ui::Point p) const;
    // The middle of a row in client coordinates (for tests that click it).
    ui::Point RowCentre(int row) const;

    void OnPaint(ui::Dc& dc) override;
    bool OnEraseBkgnd(ui::Dc& dc) override { return true; }
    void OnLButtonDown(unsigned flags, ui::Point point) override;
    bool OnMouseWheel(unsigned flags, int delta, ui::Point point) override;
    void OnVScroll(int code, int pos) override;
    void OnSize(int type, int cx, int cy) override;

private:
    struct Column {
        std::string title;
        int width = 0;
        Align align = Align::kLeft;
    };
    struct Row {
        std::vector<std::string> texts;
        std::intptr_t data = 0;
        int image = -1;
    };
    int VisibleRows() const;
    void UpdateScrollBar();
    void Scroll(int top);
    void NotifyParent(int code, int row, int column);

    ui::Font font_;
    std::vector<Column> columns_;
    std::vector<Row> rows_;
    std::vector<ui::COLORREF> imageColours_;
    int selected_ = -1;
    int top_ = 0;
};

}  // namespace rymd::shell
