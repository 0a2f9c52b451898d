// Regions: sets of pixels made of rectangles, for windows shaped by a region and for filling; and
// the layer's rectangles (right and bottom outside) as Qt's (width and height) and back.
#pragma once

#include <QRect>
#include <QRegion>

#include "platform/qt/ui_types.h"

namespace rymd::ui {

inline QRect ToQRect(const Rect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

inline Rect ToRect(const QRect& r) {
    return Rect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height());
}

class Region {
public:
    Region() = default;
    explicit Region(const Rect& r) : r_(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height())) {}
    Region& Add(const Region& o) {
        r_ = r_.united(o.r_);
        return *this;
    }
    Region& Subtract(const Region& o) {
        r_ = r_.subtracted(o.r_);
        return *this;
    }
    void Offset(int dx, int dy) { r_.translate(dx, dy); }
    bool PtInRegion(Point p) const { return r_.contains(QPoint(p.x, p.y)); }
    bool IsEmpty() const { return r_.isEmpty(); }
    bool operator==(const Region& o) const { return r_ == o.r_; }
    Rect Bounds() const { return ToRect(r_.boundingRect()); }
    const QRegion& Q() const { return r_; }

private:
    QRegion r_;
};

}  // namespace rymd::ui
