#include "mbwnd/msg_box.h"

#include <algorithm>

#include "platform/qt/app.h"
#include "platform/qt/dc.h"

namespace MbWnd {

using namespace rymd::ui;

namespace {

int g_boxStyle = 0;

int RunBox(int kind, const char* text, bool focusSecond) {
    EnsureApplication();
    CMsgBoxDlg box;
    box.m_nKind = kind;
    box.m_nStyle = g_boxStyle;
    box.m_bFocusSecond = focusSecond;
    box.m_strText = text ? text : "";
    return static_cast<int>(box.DoModal());
}

COLORREF Channelwise(COLORREF c, int num, int den, bool cap) {
    auto f = [&](int v) { return cap ? std::min(255, v * num / den) : v * num / den; };
    return RGB(f(GetRValue(c)), f(GetGValue(c)), f(GetBValue(c)));
}

// One channel of the background at row offset y of h rows.
int Mix(int light, int dark, int y, int h) {
    return h <= 0 ? light : light + (dark - light) * y / h;
}

}  // namespace

int GetMsgBoxStyle() {
    return g_boxStyle;
}

const DialogTemplate& MsgBoxTemplate() {
    static const DialogTemplate t = [] {
        DialogTemplate d;
        d.caption = "";
        d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        d.cx = 187;
        d.cy = 45;
        d.fontFace = "ＭＳ Ｐゴシック";
        d.pointSize = 9;
        d.items = {
            {IDOK, ControlKind::Button, "OK", 67, 24, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
            {IDCANCEL, ControlKind::Button, "ｷｬﾝｾﾙ", 120, 24, 50, 14,
             WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, 0},
        };
        return d;
    }();
    return t;
}

CMsgBoxDlg::CMsgBoxDlg() : Dialog(MsgBoxTemplate(), nullptr) {}

CMsgBoxDlg::~CMsgBoxDlg() = default;

void CMsgBoxDlg::DoDataExchange(DataExchange& dx) {
    Dialog::DoDataExchange(dx);
    DDX_Control(dx, IDOK, m_Button1);
    DDX_Control(dx, IDCANCEL, m_Button2);
}

bool CMsgBoxDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    m_Font.CreateFont(12, 0, 0, 0, FW_MEDIUM, false, false, false, SHIFTJIS_CHARSET, 0, 0, 0, 0,
                      "ＭＳ Ｐゴシック");

    // Measure the lines: a trailing line feed adds no line, two in a row give an empty one.
    Dc dc = Dc::ForMeasure();
    dc.SelectFont(&m_Font);
    int lines = 0;
    int lineHeight = 0;
    int widest = 0;
    const std::string& text = m_strText;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::size_t stop = end == std::string::npos ? text.size() : end;
        Size ext = dc.GetTextExtent(std::string_view(text).substr(start, stop - start));
        widest = std::max(widest, ext.cx);
        lineHeight = ext.cy;
        ++lines;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    m_nTextWidth = widest;
    m_nTextHeight = lineHeight * lines;

    Rect c = GetClientRect();
    Rect r = GetWindowRect();
    if (m_nStyle != 0) {
        // The whole window becomes client area.
        r = Rect(r.left, r.top, r.left + c.Width(), r.top + c.Height());
        ModifyStyle(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0);
    }
    Rect b1 = ChildRect(m_Button1.GetDlgCtrlID());
    Rect b2 = ChildRect(m_Button2.GetDlgCtrlID());
    int need = m_nKind == 0 ? b1.Width() + 40 : (b2.right - b1.left) + 40;
    int width = std::max(m_nTextWidth, need);
    int dx = width - (c.Width() - 30);
    int dy = m_nTextHeight - (c.Height() - 60);
    r.right += dx;
    r.bottom += dy;
    MoveWindow(r, false);

    int centre = (c.left + c.right + dx) / 2;
    b1.OffsetRect(0, dy);
    b2.OffsetRect(0, dy);
    if (m_nKind == 0) {
        m_Button2.ShowWindow(SW_HIDE);
        int w = b1.Width();
        b1.left = centre - w / 2;
        b1.right = b1.left + w;
    } else {
        int span = b2.right - b1.left;
        int w1 = b1.Width();
        int w2 = b2.Width();
        b1.left = centre - span / 2;
        b1.right = b1.left + w1;
        b2.right = centre + span / 2;
        b2.left = b2.right - w2;
    }
    m_Button1.MoveWindow(b1);
    m_Button2.MoveWindow(b2);
    if (m_nKind == 2) {
        m_Button1.SetWindowText("はい");
        m_Button2.SetWindowText("いいえ");
    }
    return true;
}

void CMsgBoxDlg::OnOK() {
    if (m_nKind == 2) {
        EndDialog(IDYES);
        return;
    }
    Dialog::OnOK();
}

void CMsgBoxDlg::OnCancel() {
    EndDialog(m_nKind == 2 ? IDNO : IDCANCEL);
}

bool CMsgBoxDlg::OnEraseBkgnd(Dc& dc) {
    // Styles 1 and 2 paint their whole background themselves.
    if (m_nStyle == 1 || m_nStyle == 2) return true;
    return Dialog::OnEraseBkgnd(dc);
}

void CMsgBoxDlg::OnPaint(Dc& dc) {
    Rect c = GetClientRect();
    if (m_nStyle == 1 || m_nStyle == 2) {
        COLORREF face = GetSysColor(COLOR_BTNFACE);
        COLORREF light = Channelwise(face, 10, 9, true);
        COLORREF dark = Channelwise(face, 7, 10, false);
        int h = c.bottom - c.top;
        for (int y = c.top; y < c.bottom; ++y) {
            int k = y - c.top;
            COLORREF col = RGB(Mix(GetRValue(light), GetRValue(dark), k, h),
                               Mix(GetGValue(light), GetGValue(dark), k, h),
                               Mix(GetBValue(light), GetBValue(dark), k, h));
            dc.FillSolidRect(c.left, y, c.Width(), 1, col);
        }
        dc.FrameRect(c, RGB(0, 0, 0));
        dc.SetPenColor(RGB(255, 255, 255));
        dc.MoveTo(c.left + 1, c.top + 1);
        dc.LineTo(c.right - 1, c.top + 1);
        dc.MoveTo(c.left + 1, c.top + 1);
        dc.LineTo(c.left + 1, c.bottom - 1);
        Rect inner = c;
        inner.DeflateRect(2, 2);
        dc.FrameRect(inner, RGB(80, 80, 80));
    }

    int centre = (c.left + c.right) / 2;
    Rect t(centre - m_nTextWidth / 2, 15, 0, 15 + m_nTextHeight);
    t.right = t.left + m_nTextWidth;

    if (m_nStyle == 2) {
        // A sunken panel behind the text.
        Rect p(c.left + 10, 11, c.right - 10, t.bottom + 4);
        dc.FillSolidRect(p, RGB(160, 160, 160));
        dc.SetPenColor(RGB(0, 0, 0));
        dc.MoveTo(p.left, p.top);
        dc.LineTo(p.right, p.top);
        dc.MoveTo(p.left, p.top);
        dc.LineTo(p.left, p.bottom);
        dc.SetPenColor(RGB(255, 255, 255));
        dc.MoveTo(p.right, p.top);
        dc.LineTo(p.right, p.bottom);
        dc.MoveTo(p.left, p.bottom);
        dc.LineTo(p.right + 1, p.bottom);
    }

    dc.SetBkMode(TRANSPARENT);
    dc.SelectFont(&m_Font);
    // The lines' cells add up to the text's height, but the letters that hang below the base
    // line (g, p, y, _) reach past the last cell: the text is not clipped to its rectangle, so
    // the last line keeps them (there is room for them above the buttons and inside the panel).
    if (m_nStyle == 2) {
        Rect shadow = t;
        shadow.OffsetRect(1, 1);
        dc.SetTextColor(RGB(0, 0, 0));
        dc.DrawText(m_strText, shadow, DT_NOCLIP);
        dc.SetTextColor(RGB(255, 255, 255));
        dc.DrawText(m_strText, t, DT_NOCLIP);
    } else {
        dc.SetTextColor(RGB(0, 0, 0));
        dc.DrawText(m_strText, t, DT_NOCLIP);
    }
}

void CMsgBoxDlg::OnShowWindow(bool show, int status) {
    Dialog::OnShowWindow(show, status);
    if (m_bFocusSecond && m_bFirstShow) {
        m_bFirstShow = false;
        m_Button2.SetFocus();
    }
}

void CMsgBoxDlg::OnLButtonDown(unsigned flags, Point point) {
    // Dragging by any point: remember where it began.
    Point screen = point;
    ClientToScreen(screen);
    m_ptDragStart = screen;
    m_rcDragStart = GetWindowRect();
    SetCapture();
    Dialog::OnLButtonDown(flags, point);
}

void CMsgBoxDlg::OnMouseMove(unsigned flags, Point point) {
    if (GetCapture() == this) {
        if (flags & MK_LBUTTON) {
            if (m_ptDragStart.x != -1) {
                Point screen = point;
                ClientToScreen(screen);
                Rect r = m_rcDragStart;
                r.OffsetRect(screen.x - m_ptDragStart.x, screen.y - m_ptDragStart.y);
                MoveWindow(r, true);
            }
        } else {
            ReleaseCapture();
            m_ptDragStart = Point(-1, -1);
        }
    }
    Dialog::OnMouseMove(flags, point);
}

}  // namespace MbWnd

extern "C" {

void SetMsgBoxStyle(int style) {
    MbWnd::g_boxStyle = style;
}

void MbMsgBox(const char* text) {
    MbWnd::RunBox(0, text, false);
}

int MbMsgBoxOkCancel(const char* text, bool focusSecond) {
    return MbWnd::RunBox(1, text, focusSecond);
}

int MbMsgBoxYesNo(const char* text, bool focusSecond) {
    return MbWnd::RunBox(2, text, focusSecond);
}
}
