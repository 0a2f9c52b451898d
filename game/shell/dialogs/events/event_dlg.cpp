#include "game/shell/dialogs/events/event_dlg.h"

#include <algorithm>
#include <utility>

#include "mbkormap/kor_map.h"
#include "platform/qt/app.h"
#include "platform/qt/controls.h"
#include "platform/qt/dc.h"

namespace rymd {

using namespace ui;

// --- the map window -------------------------------------------------------------------------------

void CEventMapWnd::DrawEventMap(MbKorMap::CCtrlKorMap* map, const std::vector<int>& provinces,
                                Colour colour) {
    std::vector<PaintedKuni> painted;
    for (int k : provinces)
        painted.push_back({k, colour});
    DrawPaintedMap(map, painted);
}

void CEventMapWnd::DrawPaintedMap(MbKorMap::CCtrlKorMap* map, const std::vector<PaintedKuni>& painted) {
    const Rect client = GetClientRect();
    const int cw = std::max(1, client.Width());
    const int ch = std::max(1, client.Height());
    const int mapW = map ? map->GetMapWidth() : 0;
    const int mapH = map ? map->GetMapHeight() : 0;
    if (mapW <= 0 || mapH <= 0) {
        picture_.CreateBitmap(cw, ch, 24);
        picture_.FillRect(0, 0, cw, ch, GetSysColor(COLOR_BTNFACE));
    } else {
        // The whole map inside the window, its proportions kept.
        int dispW = cw;
        long long dispH = (static_cast<long long>(cw) * mapH + mapW / 2) / mapW;
        if (dispH > ch) {
            dispH = ch;
            dispW = static_cast<int>(
                std::max<long long>(1, (static_cast<long long>(ch) * mapW + mapH / 2) / mapH));
        }
        map->SetExternalBmp(&picture_);
        map->DrawMap(0, 0, mapW, mapH, dispW, static_cast<int>(std::max<long long>(1, dispH)));
        for (const PaintedKuni& p : painted)
            if (p.kuni >= 0 && p.kuni < map->KuniCount()) map->PaintKuni(p.kuni, p.colour, false, 0, false);
        map->DrawLine();
        map->SetInternalBmp();
    }
    SetScrollSizes(Size(picture_.GetWidth(), picture_.GetHeight()), Size(cw, ch), Size(1, 1));
    Invalidate();
}

Point CEventMapWnd::PictureOrigin() const {
    const Rect c = GetClientRect();
    const Point pos = GetScrollPosition();
    auto axis = [](int client, int picture, int scrolled) {
        return picture < client ? (client - picture) / 2 : -scrolled;
    };
    return Point(axis(c.Width(), picture_.GetWidth(), pos.x * m_sizeLine.cx),
                 axis(c.Height(), picture_.GetHeight(), pos.y * m_sizeLine.cy));
}

void CEventMapWnd::OnPaint(Dc& dc) {
    const Rect c = GetClientRect();
    dc.FillSolidRect(c, GetSysColor(COLOR_BTNFACE));
    if (picture_.IsEmpty()) return;
    const Point at = PictureOrigin();
    const int sx = std::max(0, -at.x), sy = std::max(0, -at.y);
    const int x = std::max(0, at.x), y = std::max(0, at.y);
    const int w = std::min(c.Width() - x, picture_.GetWidth() - sx);
    const int h = std::min(c.Height() - y, picture_.GetHeight() - sy);
    if (w > 0 && h > 0) dc.DrawControlBmp(x, y, w, h, picture_, sx, sy);
}

// --- the dialog -------------------------------------------------------------------------------------

const DialogTemplate& CEventDlg::EventTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "イベント";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 250;
        d.cy = 238;
        d.items = {
            {kMapPlaceId, ControlKind::Custom, "", 7, 7, 236, 130, WS_CHILD | WS_VISIBLE, 0},
            {kTextPlaceId, ControlKind::Custom, "", 7, 142, 236, 70, WS_CHILD | WS_VISIBLE, 0},
            {kCloseId, ControlKind::Button, "閉じる", 100, 218, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

namespace {
DialogTemplate WithCaption(const std::string& caption) {
    DialogTemplate t = CEventDlg::EventTemplate();
    t.caption = caption;
    return t;
}
}  // namespace

CEventDlg::CEventDlg(ScheduledEventReport report, MbKorMap::CCtrlKorMap* map, Wnd* owner)
    : Dialog(WithCaption(report.name), owner), report_(std::move(report)), korMap_(map) {}

CEventDlg::~CEventDlg() = default;

std::string CEventDlg::DialogText(const ScheduledEventReport& report) {
    std::string text = report.message;
    if (!report.effects.empty()) {
        text += "\n\n";
        for (std::size_t i = 0; i < report.effects.size(); ++i) {
            if (i > 0) text += '\n';
            text += report.effects[i];
        }
    }
    return text;
}

void CEventDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, kCloseId, close_);
}

bool CEventDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const DialogTemplate& t = Template();
    for (int place : {kMapPlaceId, kTextPlaceId})
        if (Wnd* w = GetDlgItem(place)) w->ShowWindow(SW_HIDE);

    map_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                  MapDialogRect(DialogItemRect(t, kMapPlaceId)), this, kMapId);
    map_.DrawEventMap(korMap_, report_.provinces, report_.colour);

    text_.SetReturnLineEnd(true);
    text_.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_BORDER,
                   MapDialogRect(DialogItemRect(t, kTextPlaceId)), this, kTextId);
    text_.SetText(DialogText(report_), true, false);
    close_.SetFocus();
    return false;  // the focus is on the close button
}

}  // namespace rymd
