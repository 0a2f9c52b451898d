#include "game/shell/maps/kuni_map_wnd.h"

#include <algorithm>
#include <cmath>

#include "game/state/access.h"
#include "mbkormap/kor_map.h"
#include "platform/core/encoding.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"

namespace rymd::shell {

using ui::COLORREF;
using ui::Point;
using ui::Rect;
using ui::RGB;

namespace {

// A relation state of house toward other (low four bits), or -1 when either is no house.
int RelationState(const GameState& gs, int house, int other) {
    if (!IsValidDaimyou(gs, house) || !IsValidDaimyou(gs, other)) return -1;
    return DaimyouAt(gs, house).GetRelationLo(other);
}

COLORREF BrightHalf(COLORREF c) {
    return RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2);
}

}  // namespace

std::string KuniDisplayName(const MbKorMap::CCtrlKorMap* map, int kuni) {
    if (!map || kuni < 0 || kuni >= map->KuniCount()) return {};
    return ToUtf8(map->KuniName(kuni), TextEncoding::ShiftJis);
}

int EffectiveOwner(const GameState& gs, int owner) {
    if (!IsValidDaimyou(gs, owner)) return owner;
    const CDaimyou& d = DaimyouAt(gs, owner);
    return d.bond == CDaimyou::kBondShinjuu ? d.masterDaimyou : owner;
}

COLORREF KuniMapRelationColor(const GameState& gs, int house, int owner) {
    switch (RelationState(gs, house, owner)) {
        case 0: return RGB(150, 0, 0);
        case 1: {
            const int master = EffectiveOwner(gs, owner);
            return RelationState(gs, house, master) != 0 ? RGB(255, 50, 50) : RGB(150, 0, 0);
        }
        case 2: return RGB(50, 255, 50);
        case 3:
        case 4:
        case 5: return RGB(255, 255, 30);
        case 6:
        case 7:
        case 8: return RGB(20, 20, 160);
        case 9:
        case 10: return RGB(255, 160, 30);
        default:  // no house on either side, or a state the game never sets
            return kNeutralShiroColor;
    }
}

void CKuniMapWnd::SetGameState(const GameState* gs) {
    gs_ = gs;
    m_ViewRect.reset();
    m_nMapMinWidth = 600;
    m_nShiroDotSize = 3;
    if (!gs) return;
    if (gs->MainMapKakudai[0] != 0)
        m_ViewRect =
            Rect(gs->MainMapKakudai[1], gs->MainMapKakudai[2], gs->MainMapKakudai[3], gs->MainMapKakudai[4]);
    if (gs->nMainMapMinimumWidth > 0) m_nMapMinWidth = gs->nMainMapMinimumWidth;
    if (gs->nShiroDotSize > 0) m_nShiroDotSize = std::min(gs->nShiroDotSize, 64);
}

void CKuniMapWnd::ResetScrollSizes() {
    SetScrollSizes(m_TotalSize, ui::Size(64, 64), ui::Size(1, 1));
}

int CKuniMapWnd::OnCreate() {
    if (CScrollWnd::OnCreate() != 0) return -1;
    if (map_) FitAndDrawMap(-1);
    ResetScrollSizes();
    SetTimer(kBlinkTimer, 300);
    return 0;
}

void CKuniMapWnd::FitAndDrawMap(int kuni) {
    m_nSelKuni = kuni;
    if (!map_) return;
    const bool doubled = map_->FormatFlag() != 0;
    Rect view(0, 0, map_->GetMapWidth(), map_->GetMapHeight());
    if (m_ViewRect) {
        view = *m_ViewRect;
        if (doubled) view = Rect(view.left * 2, view.top * 2, view.right * 2, view.bottom * 2);
    }
    const int w = view.Width(), h = view.Height();
    if (w <= 0 || h <= 0) {
        m_BackBmp.FreeBitmap();
        m_TotalSize = ui::Size(100, 100);
        ResetScrollSizes();
        Invalidate();
        return;
    }
    const int minWidth = std::max(1, m_nMapMinWidth);
    double scale = 1.0;
    int dispW = 0, dispH = 0;
    // A second pass when the first one made a scroll bar appear or vanish.
    for (int pass = 0; pass < 2; ++pass) {
        const Rect client = GetClientRect();
        const int availW = client.Width() - 20, availH = client.Height() - 20;
        const double sx = static_cast<double>(availW) / w, sy = static_cast<double>(availH) / h;
        if (sy <= sx) {
            scale = sy;
            dispH = availH;
            dispW = static_cast<int>(w * scale);
        } else {
            scale = sx;
            dispW = availW;
            dispH = static_cast<int>(h * scale);
        }
        if (dispW < minWidth) {
            dispW = minWidth;
            scale = static_cast<double>(dispW) / w;
            dispH = static_cast<int>(h * scale);
        }
        m_TotalSize = ui::Size(dispW + 20, dispH + 20);
        ResetScrollSizes();
        if (GetClientRect() == client) break;
    }
    m_dScale = doubled ? scale * 2 : scale;
    map_->SetExternalBmp(&m_BackBmp);
    map_->SetSelectedKuni(kuni);
    map_->SetBrightType(3, 0);
    map_->DrawMap(view.left, view.top, w, h, dispW, dispH);
    map_->SetInternalBmp();
    m_rcMap = Rect(0, 0, 0, 0);
    DrawLabels(dispW);
    dirty_ = Rect();
    Invalidate();
}

Point CKuniMapWnd::MapPoint(long long x, long long y) const {
    if (m_ViewRect) {
        x -= static_cast<long long>(m_ViewRect->left) * 128;
        y -= static_cast<long long>(m_ViewRect->top) * 128;
    }
    return Point(static_cast<int>(std::trunc(static_cast<double>(x) * m_dScale / 128.0)),
                 static_cast<int>(std::trunc(static_cast<double>(y) * m_dScale / 128.0)));
}

void CKuniMapWnd::DrawLabels(int dispW) {
    if (!gs_ || m_BackBmp.IsEmpty()) return;
    const int minWidth = std::max(1, m_nMapMinWidth);
    const int n = std::clamp(gs_->nLabel, 0, GameState::kMaxLabel);
    for (int i = 0; i < n; ++i) {
        const LabelRecord& l = gs_->LabelTbl[static_cast<std::size_t>(i)];
        if (!(l.flags & LabelRecord::kFlagWhole) || l.text.empty()) continue;
        const Point p = MapPoint(l.x, l.y);
        const int height = KuniMapLabelHeight(l.fontHeight, dispW, minWidth);
        COLORREF c = gs_->ColorPallet[std::min<std::size_t>(l.color, GameState::kColorPalletSize - 1)];
        if (l.kuni != -1 && l.kuni != m_nSelKuni) c = BrightHalf(c);
        DrawMapLabel(m_BackBmp, l, p, height, c);
    }
}

int KuniMapLabelHeight(int size, int dispW, int minWidth) {
    return static_cast<int>(static_cast<long long>(size) * dispW / std::max(1, minWidth));
}

void PaintMapGround(ui::Dc& dc, const Rect& client, const Rect& f) {
    const Rect rightShadow(f.right, f.top + 6, f.right + 6, f.bottom + 6);
    const Rect bottomShadow(f.left + 6, f.bottom, f.right + 6, f.bottom + 6);
    dc.ExcludeClipRect(f);
    dc.ExcludeClipRect(rightShadow);
    dc.ExcludeClipRect(bottomShadow);
    dc.FillSolidRect(client, RGB(128, 128, 128));
    dc.SelectClipRect(nullptr);
    dc.FillSolidRect(rightShadow, RGB(64, 64, 64));
    dc.FillSolidRect(bottomShadow, RGB(64, 64, 64));
    const COLORREF edge = RGB(96, 96, 96);
    dc.FillSolidRect(rightShadow.left, rightShadow.top, rightShadow.Width(), 1, edge);
    dc.FillSolidRect(rightShadow.right - 1, rightShadow.top, 1, rightShadow.Height(), edge);
    dc.FillSolidRect(bottomShadow.left, bottomShadow.top, 1, bottomShadow.Height(), edge);
    dc.FillSolidRect(bottomShadow.left, bottomShadow.bottom - 1, bottomShadow.Width(), 1, edge);
}

Rect DrawMapLabel(MbBmp::CControlBmp& bmp, const LabelRecord& l, Point p, int height, COLORREF colour) {
    if (l.text.empty() || height <= 0) return Rect();
    ui::Font font;
    const bool italic = (l.flags & LabelRecord::kFlagItalic) != 0;
    if (!font.CreateFont(height, 0, 0, 0, (l.flags & LabelRecord::kFlagBold) ? 700 : 500, italic, false,
                         false, 128, 0, 0, 0, 0, "ＭＳ Ｐゴシック"))
        return Rect();
    ui::Dc measure = ui::Dc::ForMeasure();
    measure.SelectFont(&font);
    ui::Size ext = measure.GetTextExtent(l.text);
    if (italic) ext.cx += ext.cy / 2;
    MbBmp::RECT box{p.x - ext.cx / 2 - 1, p.y - ext.cy / 2 - 1, 0, 0};
    box.right = box.left + ext.cx + 2;
    box.bottom = box.top + ext.cy + 2;
    MbBmp::RECT shadow{box.left + 1, box.top + 1, box.right + 1, box.bottom + 1};
    const unsigned fmt = ui::DT_CENTER | ui::DT_VCENTER | ui::DT_SINGLELINE | ui::DT_NOPREFIX;
    bmp.DrawTextA(l.text.c_str(), &shadow, RGB(0, 0, 0), &font, fmt);
    bmp.DrawTextA(l.text.c_str(), &box, colour, &font, fmt);
    return Rect(box.left, box.top, shadow.right, shadow.bottom);
}

Rect CKuniMapWnd::ShiroDotRect(int shiro) const {
    if (!gs_ || !IsValidShiro(*gs_, shiro)) return Rect();
    const ShiroMapRecord& m = ShiroMapAt(*gs_, shiro);
    const Point p = MapPoint(m.x, m.y);
    const int d = m_nShiroDotSize;
    const int left = p.x - d / 2, top = p.y - d / 2;
    return Rect(left, top, left + d, top + d);
}

void CKuniMapWnd::MarkDirty(const Rect& r) {
    dirty_.UnionRect(dirty_, r);
}

Rect CKuniMapWnd::TakeDirtyRect() {
    lastDirty_ = dirty_;
    dirty_ = Rect();
    return lastDirty_;
}

Rect CKuniMapWnd::BitmapToClient(const Rect& r) const {
    Rect c = r;
    const Rect client = GetClientRect();
    const Point pos = GetScrollPosition();
    const int offX = client.Width() > m_TotalSize.cx ? (client.Width() - m_TotalSize.cx) / 2 : 0;
    const int offY = client.Height() > m_TotalSize.cy ? (client.Height() - m_TotalSize.cy) / 2 : 0;
    c.OffsetRect(offX - pos.x + 10, offY - pos.y + 10);
    return c;
}

void CKuniMapWnd::RaisedDot(int shiro, COLORREF c) {
    const Rect d = ShiroDotRect(shiro);
    if (d.IsRectEmpty()) return;
    const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
    const COLORREF light = RGB(std::min(255, r + r / 2), std::min(255, g + g / 2), std::min(255, b + b / 2));
    const COLORREF dark = RGB(r / 4, g / 4, b / 4);
    auto fill = [&](int l, int t, int rr, int bb, COLORREF col) {
        m_BackBmp.FillRect(l, t, rr - l, bb - t, col);
    };
    fill(d.left - 1, d.top - 1, d.left, d.bottom, light);
    fill(d.left - 1, d.top - 1, d.right, d.top, light);
    fill(d.right, d.top - 1, d.right + 1, d.bottom + 1, dark);
    fill(d.left - 1, d.bottom, d.right + 1, d.bottom + 1, dark);
    fill(d.left, d.top, d.right, d.bottom, c);
    MarkDirty(Rect(d.left - 1, d.top - 1, d.right + 1, d.bottom + 1));
}

void CKuniMapWnd::DrawShiroMarksRelation(int house, COLORREF ownColour) {
    if (!gs_ || m_BackBmp.IsEmpty()) return;
    for (int s : ShiroIndexes(*gs_)) {
        if (gs_->ShiroDisabledBits.test(static_cast<std::size_t>(s))) continue;
        const int owner = ShiroAt(*gs_, s).daimyou;
        const bool own = house == -1 || owner == house;
        RaisedDot(s, own ? ownColour : KuniMapRelationColor(*gs_, house, owner));
    }
}

void CKuniMapWnd::DrawShiroMarksGundan(int house, int gundan, COLORREF colour) {
    if (!gs_ || m_BackBmp.IsEmpty()) return;
    for (int s : ShiroIndexes(*gs_)) {
        const CShiro& c = ShiroAt(*gs_, s);
        COLORREF col;
        if (house != -1 && c.daimyou != house)
            col = KuniMapRelationColor(*gs_, house, c.daimyou);
        else
            col = gundan != -1 && c.gundan == gundan ? colour : RGB(50, 80, 255);
        RaisedDot(s, col);
    }
}

void CKuniMapWnd::DrawShiroMarksColors(const int* houses, const COLORREF* colours, int count) {
    if (!gs_ || m_BackBmp.IsEmpty()) return;
    for (int s : ShiroIndexes(*gs_)) {
        if (gs_->ShiroDisabledBits.test(static_cast<std::size_t>(s))) continue;
        const int owner = ShiroAt(*gs_, s).daimyou;
        COLORREF col = RGB(255, 0, 0);
        if (!IsValidDaimyou(*gs_, owner)) {
            col = kNeutralShiroColor;
        } else {
            const int eff = EffectiveOwner(*gs_, owner);
            for (int i = 0; i < count; ++i)
                if (houses && colours && houses[i] == eff) {
                    col = colours[i];
                    break;
                }
        }
        RaisedDot(s, col);
    }
}

void CKuniMapWnd::FrameBesiegedShiro(int house, int margin, COLORREF colour) {
    if (!gs_ || m_BackBmp.IsEmpty()) return;
    for (int s : ShiroIndexes(*gs_)) {
        const CShiro& c = ShiroAt(*gs_, s);
        if (c.nBesieger == 0 || !IsValidDaimyou(*gs_, c.daimyou) || EffectiveOwner(*gs_, c.daimyou) != house)
            continue;
        Rect f = ShiroDotRect(s);
        f.InflateRect(margin + 2, margin + 2);
        m_BackBmp.FillRect(f.left, f.top, f.Width(), 1, colour);
        m_BackBmp.FillRect(f.left, f.bottom - 1, f.Width(), 1, colour);
        m_BackBmp.FillRect(f.left, f.top, 1, f.Height(), colour);
        m_BackBmp.FillRect(f.right - 1, f.top, 1, f.Height(), colour);
        MarkDirty(f);
    }
}

void CKuniMapWnd::PaintKuni(int kuni, COLORREF colour, bool drawLines, int brightType, bool shade) {
    if (!map_) return;
    map_->SetExternalBmp(&m_BackBmp);
    map_->PaintKuni(kuni, colour, drawLines, brightType, shade);
    map_->SetInternalBmp();
}

void CKuniMapWnd::DrawLine() {
    if (!map_) return;
    map_->SetExternalBmp(&m_BackBmp);
    map_->DrawLine();
    map_->SetInternalBmp();
}

int CKuniMapWnd::FindKuniAt(int x, int y) const {
    if (!map_ || m_dScale <= 0) return -1;
    int mx = static_cast<int>(std::trunc(x / m_dScale)), my = static_cast<int>(std::trunc(y / m_dScale));
    if (m_ViewRect) {
        mx += m_ViewRect->left;
        my += m_ViewRect->top;
    }
    if (map_->FormatFlag() != 0) {
        mx *= 2;
        my *= 2;
    }
    return map_->DetectKuni(MbBmp::POINT{mx, my});
}

int CKuniMapWnd::KuniAt(Point client) const {
    if (!m_rcMap.PtInRect(client)) return -1;
    return FindKuniAt(client.x - m_rcMap.left, client.y - m_rcMap.top);
}

void CKuniMapWnd::OnSize(int type, int cx, int cy) {
    // While the base adjusts its scroll bars the message is left alone entirely.
    if (m_bAdjusting) return;
    if (!m_bOwnerRefits && map_) FitAndDrawMap(m_nSelKuni);
    CScrollWnd::OnSize(type, cx, cy);
    if (!m_bOwnerRefits) RedrawWindow();
}

void CKuniMapWnd::OnLButtonDown(unsigned flags, Point point) {
    const int k = KuniAt(point);
    if (k != -1) {
        m_nClickKuni = k;
        SendCommand(GetParent(), GetDlgCtrlID(), 0, this);
    }
    CScrollWnd::OnLButtonDown(flags, point);
}

void CKuniMapWnd::OnRButtonDown(unsigned flags, Point point) {
    const int k = KuniAt(point);
    if (k != -1) {
        m_nClickKuni = k;
        if (ui::Wnd* parent = GetParent()) {
            ui::NotifyHeader h{this, GetDlgCtrlID(), ui::NM_RCLICK};
            SendNotify(parent, &h);
        }
    }
    m_bRDrag = true;
    m_ptDragStart = point;
    m_ptDragScroll = GetScrollPosition();
    CScrollWnd::OnRButtonDown(flags, point);
}

void CKuniMapWnd::OnRButtonUp(unsigned flags, Point point) {
    m_bRDrag = false;
    CScrollWnd::OnRButtonUp(flags, point);
}

void CKuniMapWnd::OnMouseMove(unsigned flags, Point point) {
    if (!(flags & ui::MK_RBUTTON)) m_bRDrag = false;
    if (m_bRDrag) {
        const Rect c = GetClientRect();
        const int nx = m_ptDragScroll.x + m_ptDragStart.x - point.x;
        const int ny = m_ptDragScroll.y + m_ptDragStart.y - point.y;
        if (c.Width() < m_TotalSize.cx) SetScrollPos(ui::SB_HORZ, nx, true);
        if (c.Height() < m_TotalSize.cy) SetScrollPos(ui::SB_VERT, ny, true);
        RedrawWindow();
    }
    CScrollWnd::OnMouseMove(flags, point);
}

void CKuniMapWnd::OnTimer(int id) {
    if (id == kBlinkTimer && m_bBlink) {
        m_bBlinkOff = !m_bBlinkOff;
        RedrawWindow();
    }
    CScrollWnd::OnTimer(id);
}

void CKuniMapWnd::OnPaint(ui::Dc& dc) {
    const Rect c = GetClientRect();
    const Point pos = GetScrollPosition();
    const int hx = pos.x, vy = pos.y;
    const int offX = c.Width() > m_TotalSize.cx ? (c.Width() - m_TotalSize.cx) / 2 : 0;
    const int offY = c.Height() > m_TotalSize.cy ? (c.Height() - m_TotalSize.cy) / 2 : 0;
    m_rcMap = Rect(offX - hx + 10, offY - vy + 10, offX - hx + 10 + m_TotalSize.cx - 20,
                   offY - vy + 10 + m_TotalSize.cy - 20);
    const Rect f(m_rcMap.left - 1, m_rcMap.top - 1, m_rcMap.right + 1, m_rcMap.bottom + 1);
    PaintMapGround(dc, c, f);
    dc.FrameRect(f, RGB(0, 0, 0));

    const MbBmp::CControlBmp& shown =
        m_bBlink && m_bBlinkOff && !m_CleanBmp.IsEmpty() ? m_CleanBmp : m_BackBmp;
    if (!shown.IsEmpty()) dc.DrawControlBmp(m_rcMap.left, m_rcMap.top, shown);
}

}  // namespace rymd::shell
