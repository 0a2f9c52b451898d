#include "platform/qt/wnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <optional>
#include <unordered_set>

#include "platform/qt/app.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"
#include "platform/qt/region.h"
#include "platform/qt/scroll_bar_style.h"
#include "platform/qt/test_seam.h"
#include "platform/qt/wnd_host.h"

namespace rymd::ui {

namespace {

constexpr int kScrollBarThickness = 16;

std::unordered_set<const Wnd*>& LiveSet() {
    static auto* set = new std::unordered_set<const Wnd*>;
    return *set;
}

Wnd* g_focus = nullptr;
Wnd* g_capture = nullptr;

// The frame a top-level window not yet on the screen is taken to have: the last one seen.
QMargins g_lastFrame;
// The test seam's window manager (nothing: the platform's).
std::optional<test::FrameEdges> g_frameSeam;

bool InNormalState(const QWidget* w) {
    return !(w->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

unsigned MouseFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods) {
    unsigned f = 0;
    if (buttons & Qt::LeftButton) f |= MK_LBUTTON;
    if (buttons & Qt::RightButton) f |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) f |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) f |= MK_SHIFT;
    if (mods & Qt::ControlModifier) f |= MK_CONTROL;
    return f;
}

unsigned VirtualKey(const QKeyEvent* e) {
    int k = e->key();
    switch (k) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return VK_RETURN;
        case Qt::Key_Escape: return VK_ESCAPE;
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return VK_TAB;
        case Qt::Key_Backspace: return VK_BACK;
        case Qt::Key_Space: return VK_SPACE;
        case Qt::Key_Left: return VK_LEFT;
        case Qt::Key_Right: return VK_RIGHT;
        case Qt::Key_Up: return VK_UP;
        case Qt::Key_Down: return VK_DOWN;
        case Qt::Key_Home: return VK_HOME;
        case Qt::Key_End: return VK_END;
        case Qt::Key_PageUp: return VK_PRIOR;
        case Qt::Key_PageDown: return VK_NEXT;
        case Qt::Key_Delete: return VK_DELETE;
        case Qt::Key_Insert: return VK_INSERT;
        case Qt::Key_Shift: return VK_SHIFT;
        case Qt::Key_Control: return VK_CONTROL;
        case Qt::Key_Alt: return VK_MENU;
        default: break;
    }
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return VK_F1 + static_cast<unsigned>(k - Qt::Key_F1);
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<unsigned>(k);
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return static_cast<unsigned>(k);
    return static_cast<unsigned>(k & 0xFFFF);
}

// The title bar's text for a top-level window's caption.
QString TitleOf(std::string_view caption) {
    if (caption.empty()) return QString::fromUtf8(kUntitledWindowTitle);
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

// The window PreTranslateMessage walks to after w: its parent, up to the top-level window.
Wnd* PreTranslateParent(Wnd* w) {
    WndHost* h = w->Host();
    if (!h || h->isWindow()) return nullptr;
    return WndHost::WndOf(h->parentWidget());
}

void DeliverOne(Msg& m) {
    Wnd* w = m.wnd;
    switch (m.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: w->OnKeyDown(m.key, 1, 0); break;
        case WM_KEYUP:
        case WM_SYSKEYUP: w->OnKeyUp(m.key, 1, 0); break;
        case WM_CHAR: w->OnChar(m.key, 1, 0); break;
        case WM_LBUTTONDOWN: w->OnLButtonDown(m.flags, m.pt); break;
        case WM_LBUTTONUP: w->OnLButtonUp(m.flags, m.pt); break;
        case WM_LBUTTONDBLCLK: w->OnLButtonDblClk(m.flags, m.pt); break;
        case WM_RBUTTONDOWN: w->OnRButtonDown(m.flags, m.pt); break;
        case WM_RBUTTONUP: w->OnRButtonUp(m.flags, m.pt); break;
        case WM_RBUTTONDBLCLK: w->OnRButtonDblClk(m.flags, m.pt); break;
        case WM_MOUSEMOVE:
            if (g_capture != w && w->Host()) {
                if (!w->OnSetCursor(w, 1, WM_MOUSEMOVE) && IsLiveWnd(w) && w->Host())
                    w->Host()->unsetCursor();
                if (!IsLiveWnd(w)) return;
            }
            w->OnMouseMove(m.flags, m.pt);
            break;
        case WM_MOUSEWHEEL:
            for (Wnd* x = w; x;) {
                if (x->OnMouseWheel(m.flags, m.wheelDelta, m.pt)) break;
                if (!IsLiveWnd(x)) break;
                x = PreTranslateParent(x);
            }
            break;
        default: break;
    }
}

}  // namespace

bool IsLiveWnd(const Wnd* w) {
    return w && LiveSet().count(w) != 0;
}

// ---------------------------------------------------------------------------------------------------
// WndHost

namespace test {
void SetWindowFrame(std::optional<FrameEdges> frame) {
    g_frameSeam = frame;
    g_lastFrame = QMargins();
    if (frame) return;
    // The platform's frame, as the main window teaches it once it is shown.
    EnsureApplication();
    QWidget probe(nullptr, Qt::Window);
    probe.setGeometry(0, 0, 40, 30);
    probe.show();
    if (probe.windowHandle()) g_lastFrame = probe.windowHandle()->frameMargins();
    probe.hide();
}
}  // namespace test

WndHost::WndHost(Wnd* o, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), owner(o) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

WndHost::~WndHost() {
    for (auto& [id, t] : timers)
        delete t.timer;
    timers.clear();
    if (owner) {
        if (g_focus == owner) g_focus = nullptr;
        if (g_capture == owner) g_capture = nullptr;
        owner->host_ = nullptr;
        owner = nullptr;
    }
}

Wnd* WndHost::WndOf(QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (auto* h = dynamic_cast<WndHost*>(w)) return h->owner;
        if (w->isWindow()) break;
    }
    return nullptr;
}

int WndHost::BorderWidth() const {
    if (exStyle & WS_EX_CLIENTEDGE) return 2;
    if ((style & WS_BORDER) && (style & WS_CAPTION) != WS_CAPTION && !isWindow()) return 1;
    if ((style & WS_BORDER) && isWindow() && (windowFlags() & Qt::FramelessWindowHint)) return 1;
    return 0;
}

int WndHost::MenuBarHeight() const {
    return menuBar ? menuBar->sizeHint().height() : 0;
}

Rect WndHost::ClientRect() const {
    int b = BorderWidth();
    int w = width() - 2 * b - (bars[SB_VERT].shown ? kScrollBarThickness : 0);
    int h = height() - 2 * b - MenuBarHeight() - (bars[SB_HORZ].shown ? kScrollBarThickness : 0);
    return Rect(0, 0, std::max(0, w), std::max(0, h));
}

Point WndHost::ToClient(QPointF local) const {
    QPoint p = local.toPoint() - ClientOrigin();
    return Point(p.x(), p.y());
}

QScrollBar* WndHost::EnsureBar(int bar) {
    Bar& b = bars[bar];
    if (!b.widget) {
        b.widget = new QScrollBar(bar == SB_HORZ ? Qt::Horizontal : Qt::Vertical, this);
        b.widget->setFocusPolicy(Qt::NoFocus);
        b.widget->setStyle(ClassicScrollBarStyle());
        b.widget->hide();
        QObject::connect(b.widget, &QAbstractSlider::actionTriggered, this,
                         [this, bar](int action) { OnBarAction(bar, action); });
        QObject::connect(b.widget, &QAbstractSlider::sliderReleased, this,
                         [this, bar] { OnBarReleased(bar); });
        // A wheel turn over a bar belongs to the window (the bar itself takes no wheel).
        b.widget->installEventFilter(this);
    }
    return b.widget;
}

void WndHost::SyncBar(int bar) {
    Bar& b = bars[bar];
    if (!b.widget) return;
    const ScrollInfo& i = b.info;
    int maxPos = std::max(i.nMin, i.nMax - std::max(i.nPage - 1, 0));
    QSignalBlocker block(b.widget);
    b.widget->setRange(i.nMin, maxPos);
    b.widget->setPageStep(std::max(1, i.nPage));
    b.widget->setSingleStep(1);
    b.widget->setValue(i.nPos);
    b.widget->setSliderPosition(i.nPos);
    b.widget->setEnabled(b.enabled && isEnabled());
}

void WndHost::Relayout() {
    int b = BorderWidth();
    const int mh = MenuBarHeight();
    if (menuBar) menuBar->setGeometry(0, 0, width(), mh);
    bool h = bars[SB_HORZ].shown;
    bool v = bars[SB_VERT].shown;
    if (bars[SB_VERT].widget) {
        bars[SB_VERT].widget->setGeometry(width() - b - kScrollBarThickness, b + mh, kScrollBarThickness,
                                          std::max(0, height() - 2 * b - mh - (h ? kScrollBarThickness : 0)));
        bars[SB_VERT].widget->setVisible(v);
        if (v) bars[SB_VERT].widget->raise();
    }
    if (bars[SB_HORZ].widget) {
        bars[SB_HORZ].widget->setGeometry(b, height() - b - kScrollBarThickness,
                                          std::max(0, width() - 2 * b - (v ? kScrollBarThickness : 0)),
                                          kScrollBarThickness);
        bars[SB_HORZ].widget->setVisible(h);
        if (h) bars[SB_HORZ].widget->raise();
    }
    Rect c = ClientRect();
    Size s(c.Width(), c.Height());
    if (s != lastClientSize) {
        lastClientSize = s;
        if (owner) owner->OnSize(SIZE_RESTORED, s.cx, s.cy);
    }
}

void WndHost::OnBarAction(int bar, int action) {
    Bar& b = bars[bar];
    if (!owner || !b.widget) return;
    int code = -1;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: code = SB_LINEUP; break;
        case QAbstractSlider::SliderSingleStepAdd: code = SB_LINEDOWN; break;
        case QAbstractSlider::SliderPageStepSub: code = SB_PAGEUP; break;
        case QAbstractSlider::SliderPageStepAdd: code = SB_PAGEDOWN; break;
        case QAbstractSlider::SliderToMinimum: code = SB_TOP; break;
        case QAbstractSlider::SliderToMaximum: code = SB_BOTTOM; break;
        case QAbstractSlider::SliderMove: code = SB_THUMBTRACK; break;
        default: return;
    }
    int track = b.widget->sliderPosition();
    b.info.nTrackPos = track;
    // The window decides the new position (SetScrollPos); the bar itself does not move.
    if (code != SB_THUMBTRACK) {
        QSignalBlocker block(b.widget);
        b.widget->setSliderPosition(b.info.nPos);
    }
    Wnd* o = owner;
    if (bar == SB_HORZ)
        o->OnHScroll(code, track);
    else
        o->OnVScroll(code, track);
    if (IsLiveWnd(o) && o->Host() == this) {
        QSignalBlocker block(b.widget);
        if (code != SB_THUMBTRACK) b.widget->setSliderPosition(b.info.nPos);
    }
}

void WndHost::OnBarReleased(int bar) {
    Bar& b = bars[bar];
    if (!owner || !b.widget) return;
    Wnd* o = owner;
    int pos = b.widget->sliderPosition();
    if (bar == SB_HORZ)
        o->OnHScroll(SB_THUMBPOSITION, pos);
    else
        o->OnVScroll(SB_THUMBPOSITION, pos);
    if (!IsLiveWnd(o) || o->Host() != this) return;
    if (bar == SB_HORZ)
        o->OnHScroll(SB_ENDSCROLL, 0);
    else
        o->OnVScroll(SB_ENDSCROLL, 0);
    if (IsLiveWnd(o) && o->Host() == this) SyncBar(bar);
}

Qt::WindowFlags WndHost::TopLevelFlags(std::uint32_t style, std::uint32_t exStyle, bool owned) {
    Qt::WindowFlags f = owned ? Qt::Dialog : Qt::Window;
    if ((style & WS_CAPTION) != WS_CAPTION) {
        f |= Qt::FramelessWindowHint;
    } else {
        f |= Qt::WindowTitleHint | Qt::CustomizeWindowHint;
        if (style & WS_SYSMENU) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (style & WS_MINIMIZEBOX) f |= Qt::WindowMinimizeButtonHint;
        if (style & WS_MAXIMIZEBOX) f |= Qt::WindowMaximizeButtonHint;
    }
    if (exStyle & WS_EX_TOPMOST) f |= Qt::WindowStaysOnTopHint;
    return f;
}

bool WndHost::PreTranslateKey(Wnd* target, QKeyEvent* e) {
    if (!target || e->type() != QEvent::KeyPress) return false;
    Msg m;
    m.wnd = target;
    m.key = VirtualKey(e);
    m.flags = MouseFlags(Qt::NoButton, e->modifiers());
    m.message = (e->modifiers() & Qt::AltModifier) ? WM_SYSKEYDOWN : WM_KEYDOWN;
    for (Wnd* w = target; w; w = PreTranslateParent(w)) {
        if (w->PreTranslateMessage(m)) return true;
        if (!IsLiveWnd(w)) return true;
    }
    return false;
}

bool WndHost::DeliverKey(Wnd* target, QKeyEvent* e) {
    if (!target) return false;
    Msg m;
    m.wnd = target;
    m.key = VirtualKey(e);
    m.flags = MouseFlags(Qt::NoButton, e->modifiers());
    bool alt = e->modifiers() & Qt::AltModifier;
    if (e->type() == QEvent::KeyPress) {
        m.message = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
        // PreTranslate may consume the key; otherwise the key and its characters are handled.
        Wnd* w = target;
        for (; w; w = PreTranslateParent(w)) {
            if (w->PreTranslateMessage(m)) return true;
            if (!IsLiveWnd(w)) return true;
        }
        if (!IsLiveWnd(m.wnd)) return true;
        DeliverOne(m);
        return false;
    }
    m.message = alt ? WM_SYSKEYUP : WM_KEYUP;
    Wnd::DispatchInput(m);
    return false;
}

void WndHost::NoteFocus(Wnd* target) {
    if (!target || g_focus == target) return;
    Wnd* old = g_focus;
    g_focus = target;
    if (old && IsLiveWnd(old)) old->OnKillFocus(target);
    if (IsLiveWnd(target)) target->OnSetFocus(old);
}

void WndHost::MouseEvent(QMouseEvent* e, unsigned message) {
    if (!owner) return;
    Msg m;
    m.message = message;
    m.flags = MouseFlags(e->buttons(), e->modifiers());
    if (message == WM_LBUTTONUP) m.flags &= ~MK_LBUTTON;
    if (message == WM_RBUTTONUP) m.flags &= ~MK_RBUTTON;
    Wnd* target = owner;
    if (g_capture && g_capture != owner && g_capture->Host()) {
        target = g_capture;
        QPoint p =
            target->Host()->mapFromGlobal(e->globalPosition().toPoint()) - target->Host()->ClientOrigin();
        m.pt = Point(p.x(), p.y());
    } else {
        m.pt = ToClient(e->position());
    }
    m.wnd = target;
    Wnd::DispatchInput(m);
}

QMargins WndHost::FrameMargins() const {
    // A child, a frameless window or a popup has no frame of the window manager's.
    if (!isWindow() || (windowFlags() & Qt::FramelessWindowHint) || windowType() == Qt::Popup ||
        windowType() == Qt::ToolTip)
        return QMargins();
    if (!frameKnown || !isVisible()) return normalFrame.value_or(g_lastFrame);
    if (g_frameSeam)
        return QMargins(g_frameSeam->left, g_frameSeam->top, g_frameSeam->right, g_frameSeam->bottom);
    const QRect f = frameGeometry(), g = geometry();
    return QMargins(g.left() - f.left(), g.top() - f.top(), f.right() - g.right(), f.bottom() - g.bottom());
}

void WndHost::PlaceFrame(const QRect& outer) {
    const QMargins m = FrameMargins();
    placedFrame = outer;
    placedWith = m;
    placePending = !(frameKnown && isVisible() && InNormalState(this));
    const QRect inner = outer.marginsRemoved(m);
    SetTopLevelGeometry(
        QRect(inner.left(), inner.top(), std::max(1, inner.width()), std::max(1, inner.height())));
}

void WndHost::SetTopLevelGeometry(const QRect& g) {
    if (style & WS_THICKFRAME) {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(g.size());
    }
    setGeometry(g);
}

void WndHost::OnExposed() {
    frameKnown = true;
    // Only the frame of a window shown normally is the one its normal rectangle is placed with.
    if (!InNormalState(this)) return;
    const QMargins m = FrameMargins();
    normalFrame = m;
    g_lastFrame = m;
    if (placePending) {
        placePending = false;
        if (m != placedWith) PlaceAgain(m);
    }
    if (maximizeWhenPlaced) {
        maximizeWhenPlaced = false;
        showMaximized();
    }
}

void WndHost::PlaceAgain(const QMargins& m) {
    if (style & WS_THICKFRAME) {
        // A window the player sizes keeps the outer rectangle it was given.
        PlaceFrame(placedFrame);
        return;
    }
    // Any other window keeps its inside, whose size comes from what it shows (no larger than
    // the screen), centred where it was placed and on the screen.
    QRect outer = placedFrame.marginsRemoved(placedWith).marginsAdded(m);
    outer.setWidth(std::min(outer.width(), GetSystemMetrics(SM_CXSCREEN)));
    outer.setHeight(std::min(outer.height(), GetSystemMetrics(SM_CYSCREEN)));
    outer.moveCenter(placedFrame.center());
    PlaceFrame(ToQRect(MoveOntoScreen(ToRect(outer))));
}

bool WndHost::eventFilter(QObject* watched, QEvent* e) {
    if (watched == windowHandle() && e->type() == QEvent::Expose && windowHandle()->isExposed()) {
        OnExposed();
        return false;
    }
    if (e->type() == QEvent::Wheel && (watched == bars[SB_HORZ].widget || watched == bars[SB_VERT].widget)) {
        event(e);
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

bool WndHost::event(QEvent* e) {
    struct Depth {
        int& d;
        explicit Depth(int& x) : d(x) { ++d; }
        ~Depth() { --d; }
    } depth(inEvent);
    if (!owner) {
        if (e->type() == QEvent::Paint) return true;
        return QWidget::event(e);
    }
    switch (e->type()) {
        case QEvent::MouseButtonPress: {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::LeftButton) MouseEvent(me, WM_LBUTTONDOWN);
            if (me->button() == Qt::RightButton) MouseEvent(me, WM_RBUTTONDOWN);
            if (me->button() == Qt::MiddleButton) MouseEvent(me, WM_MBUTTONDOWN);
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::LeftButton) MouseEvent(me, WM_LBUTTONUP);
            if (me->button() == Qt::RightButton) MouseEvent(me, WM_RBUTTONUP);
            if (me->button() == Qt::MiddleButton) MouseEvent(me, WM_MBUTTONUP);
            return true;
        }
        case QEvent::MouseButtonDblClick: {
            auto* me = static_cast<QMouseEvent*>(e);
            if (me->button() == Qt::LeftButton) MouseEvent(me, WM_LBUTTONDBLCLK);
            if (me->button() == Qt::RightButton) MouseEvent(me, WM_RBUTTONDBLCLK);
            return true;
        }
        case QEvent::MouseMove: MouseEvent(static_cast<QMouseEvent*>(e), WM_MOUSEMOVE); return true;
        case QEvent::Leave:
            // A window holding the capture hears of the mouse leaving it.
            if (g_capture == owner) {
                Msg m;
                m.message = WM_MOUSEMOVE;
                m.wnd = owner;
                QPoint p = mapFromGlobal(QCursor::pos()) - ClientOrigin();
                m.pt = Point(p.x(), p.y());
                if (rect().contains(p + ClientOrigin())) m.pt = Point(-1, -1);
                m.flags = MouseFlags(QApplication::mouseButtons(), QApplication::keyboardModifiers());
                Wnd::DispatchInput(m);
            }
            return QWidget::event(e);
        case QEvent::Wheel: {
            auto* we = static_cast<QWheelEvent*>(e);
            wheelRemainder += we->angleDelta().y();
            Wnd* o = owner;
            // One message per turn of the wheel, with its whole notches (as many as it brought),
            // the way the game's windows expect: a window decides what several notches mean.
            if (IsLiveWnd(o) && o->Host() == this && std::abs(wheelRemainder) >= 120) {
                int delta = wheelRemainder / 120 * 120;
                wheelRemainder -= delta;
                Msg m;
                m.message = WM_MOUSEWHEEL;
                m.wnd = (g_capture && g_capture->Host()) ? g_capture : o;
                m.flags = MouseFlags(we->buttons(), we->modifiers());
                QPoint g = we->globalPosition().toPoint();
                m.pt = Point(g.x(), g.y());
                m.wheelDelta = delta;
                Wnd::DispatchInput(m);
            }
            return true;
        }
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* ke = static_cast<QKeyEvent*>(e);
            Wnd* o = owner;
            bool consumed = DeliverKey(o, ke);
            if (!consumed && e->type() == QEvent::KeyPress && IsLiveWnd(o)) {
                const QString text = ke->text();
                for (char32_t c : text.toUcs4()) {
                    if (!IsLiveWnd(o) || !o->Host()) break;
                    Msg m;
                    m.message = WM_CHAR;
                    m.wnd = o;
                    m.key = static_cast<unsigned>(c);
                    Wnd::DispatchInput(m);
                }
            }
            return true;
        }
        case QEvent::ShortcutOverride: e->accept(); return true;
        case QEvent::Show:
            // Shown before the platform maps it: the window hears when it is on the screen.
            if (isWindow() && windowHandle()) {
                windowHandle()->removeEventFilter(this);
                windowHandle()->installEventFilter(this);
            }
            return QWidget::event(e);
        case QEvent::Hide:
            if (isWindow()) frameKnown = false;
            return QWidget::event(e);
        case QEvent::FocusIn: {
            auto reason = static_cast<QFocusEvent*>(e)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) NoteFocus(owner);
            return QWidget::event(e);
        }
        default: break;
    }
    return QWidget::event(e);
}

void WndHost::paintEvent(QPaintEvent* event) {
    if (!owner) return;
    QPainter p(this);
    int b = BorderWidth();
    // The border and the client area lie below the menu bar.
    const int mh = MenuBarHeight();
    p.translate(0, mh);
    const int h = height() - mh;
    if (b == 1) {
        p.setPen(Qt::NoPen);
        QColor black(0, 0, 0);
        p.fillRect(QRect(0, 0, width(), 1), black);
        p.fillRect(QRect(0, h - 1, width(), 1), black);
        p.fillRect(QRect(0, 0, 1, h), black);
        p.fillRect(QRect(width() - 1, 0, 1, h), black);
    } else if (b == 2) {
        // A sunken edge: shadow and dark shadow on the top and left, highlight and light below.
        Dc edge(p, Rect(0, 0, width(), h));
        edge.Draw3dRect(Rect(0, 0, width(), h), GetSysColor(COLOR_BTNSHADOW),
                        GetSysColor(COLOR_BTNHIGHLIGHT));
        edge.Draw3dRect(Rect(1, 1, width() - 1, h - 1), GetSysColor(COLOR_3DDKSHADOW),
                        GetSysColor(COLOR_3DLIGHT));
    }
    if (bars[SB_HORZ].shown && bars[SB_VERT].shown) {
        p.fillRect(QRect(width() - b - kScrollBarThickness, h - b - kScrollBarThickness, kScrollBarThickness,
                         kScrollBarThickness),
                   ToQColor(GetSysColor(COLOR_BTNFACE)));
    }
    Rect client = ClientRect();
    p.translate(b, b);  // (below the menu bar)
    // The clip is the client area's part of what is to be repainted: the system clip keeps the
    // pixels outside the repainted area anyway, and drawing can skip them.
    const QRect asked = event->rect().translated(-b, -b - mh);
    Rect clip = client;
    clip.IntersectRect(clip, Rect(asked.left(), asked.top(), asked.right() + 1, asked.bottom() + 1));
    p.setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()), Qt::IntersectClip);
    Dc dc(p, clip);
    bool erase = !noErase;
    noErase = false;
    erasePending = false;
    Wnd* o = owner;
    if (erase) o->OnEraseBkgnd(dc);
    if (IsLiveWnd(o) && o->Host() == this) o->OnPaint(dc);
}

void WndHost::resizeEvent(QResizeEvent*) {
    Relayout();
}

void WndHost::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (owner) owner->OnClose();
}

// ---------------------------------------------------------------------------------------------------
// Wnd

Wnd::Wnd() {
    LiveSet().insert(this);
}

Wnd::~Wnd() {
    DestroyWindow();
    LiveSet().erase(this);
    if (g_focus == this) g_focus = nullptr;
    if (g_capture == this) g_capture = nullptr;
}

bool Wnd::Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id, std::string_view text) {
    return CreateEx(0, style, rect, parent, id, text);
}

bool Wnd::CreateEx(std::uint32_t exStyle, std::uint32_t style, const Rect& rect, Wnd* parent, int id,
                   std::string_view text) {
    if (host_) return false;
    EnsureApplication();
    const bool child = (style & WS_CHILD) && parent && parent->host_;
    if ((style & WS_CHILD) && !child) return false;
    WndHost* host;
    if (child) {
        host = new WndHost(this, parent->host_, Qt::Widget);
    } else {
        QWidget* ownerWidget = parent && parent->host_ ? parent->host_->window() : nullptr;
        host = new WndHost(this, ownerWidget, WndHost::TopLevelFlags(style, exStyle, ownerWidget != nullptr));
        host->ownerWindow = parent;
    }
    host_ = host;
    host->style = style & ~(WS_VISIBLE | WS_DISABLED);
    host->exStyle = exStyle;
    host->id = id;
    host->text = std::string(text);
    if (!child) host->setWindowTitle(TitleOf(text));
    if (style & WS_HSCROLL) {
        host->EnsureBar(SB_HORZ);
        host->bars[SB_HORZ].shown = true;
    }
    if (style & WS_VSCROLL) {
        host->EnsureBar(SB_VERT);
        host->bars[SB_VERT].shown = true;
    }
    if (child) {
        QPoint o = parent->host_->ClientOrigin();
        host->setGeometry(rect.left + o.x(), rect.top + o.y(), std::max(0, rect.Width()),
                          std::max(0, rect.Height()));
    } else {
        host->SetTopLevelGeometry(
            QRect(rect.left, rect.top, std::max(1, rect.Width()), std::max(1, rect.Height())));
    }
    if (style & WS_DISABLED) {
        host->setEnabled(false);
        if (child) host->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    }
    OnHostCreated();
    if (OnCreate() == -1) {
        DestroyWindow();
        return false;
    }
    if (!host_) return false;
    host_->Relayout();
    if (style & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    else
        host_->hide();  // stays hidden when its parent is shown later
    return host_ != nullptr;
}

void Wnd::DestroyWindow() {
    WndHost* h = host_;
    if (!h) return;
    // Every window of the tree hears of its end, the parent first.
    std::vector<WndHost*> tree{h};
    // (WndHost has no meta-object of its own, so the children are told apart by dynamic_cast.)
    for (QWidget* c : h->findChildren<QWidget*>())
        if (auto* ch = dynamic_cast<WndHost*>(c)) tree.push_back(ch);
    bool busy = false;
    for (WndHost* x : tree) {
        if (x->inEvent > 0) busy = true;
        Wnd* o = x->owner;
        if (o && IsLiveWnd(o)) o->OnDestroy();
    }
    for (WndHost* x : tree) {
        for (auto& [id, t] : x->timers)
            delete t.timer;
        x->timers.clear();
        if (x->owner) {
            if (g_focus == x->owner) g_focus = nullptr;
            if (g_capture == x->owner) g_capture = nullptr;
            x->owner->host_ = nullptr;
            x->owner = nullptr;
        }
    }
    owned_.clear();
    h->hide();
    if (busy)
        h->deleteLater();
    else
        delete h;
}

bool Wnd::SubclassDlgItem(int id, Wnd* parent) {
    if (host_ || !parent || !parent->host_) return false;
    Wnd* item = parent->GetDlgItem(id);
    if (!item || item == this) return false;
    WndHost* h = item->host_;
    TakeOverFrom(*item);
    h->owner = this;
    host_ = h;
    item->host_ = nullptr;
    if (g_focus == item) g_focus = this;
    if (g_capture == item) g_capture = this;
    // The placeholder object is dropped when its parent owned it.
    if (auto* p = dynamic_cast<WndHost*>(h->parentWidget()); p && p->owner) {
        auto& owned = p->owner->owned_;
        owned.erase(
            std::remove_if(owned.begin(), owned.end(), [item](const auto& u) { return u.get() == item; }),
            owned.end());
    }
    return true;
}

Wnd* Wnd::AdoptChild(std::unique_ptr<Wnd> child) {
    owned_.push_back(std::move(child));
    return owned_.back().get();
}

int Wnd::GetDlgCtrlID() const {
    return host_ ? host_->id : 0;
}

void Wnd::SetDlgCtrlID(int id) {
    if (host_) host_->id = id;
}

Wnd* Wnd::GetParent() const {
    if (!host_) return nullptr;
    if (host_->isWindow())
        return host_->ownerWindow && IsLiveWnd(host_->ownerWindow) ? host_->ownerWindow : nullptr;
    return WndHost::WndOf(host_->parentWidget());
}

Rect Wnd::ChildRect(int id) const {
    const Wnd* child = GetDlgItem(id);
    if (!child) return Rect();
    Rect r = child->GetWindowRect();
    ScreenToClient(r);
    return r;
}

Wnd* Wnd::GetDlgItem(int id) const {
    if (!host_) return nullptr;
    for (QObject* o : host_->children()) {
        auto* h = dynamic_cast<WndHost*>(o);
        if (h && h->owner && h->id == id && !h->isWindow()) return h->owner;
    }
    return nullptr;
}

std::vector<Wnd*> Wnd::GetChildren() const {
    std::vector<Wnd*> out;
    if (!host_) return out;
    for (QObject* o : host_->children()) {
        auto* h = dynamic_cast<WndHost*>(o);
        if (h && h->owner && !h->isWindow()) out.push_back(h->owner);
    }
    return out;
}

Wnd* Wnd::GetTopLevelParent() {
    if (!host_) return nullptr;
    return WndHost::WndOf(host_->window());
}

bool Wnd::IsChild(const Wnd* other) const {
    if (!host_ || !other || !other->host_) return false;
    for (QWidget* w = other->host_->parentWidget(); w; w = w->parentWidget()) {
        if (w == host_) return true;
        if (w->isWindow()) break;
    }
    return false;
}

Wnd* Wnd::WindowFromPoint(Point screen) {
    QWidget* w = QApplication::widgetAt(QPoint(screen.x, screen.y));
    return w ? WndHost::WndOf(w) : nullptr;
}

std::uint32_t Wnd::GetStyle() const {
    if (!host_) return 0;
    std::uint32_t s = host_->style;
    if (host_->isVisible() || (!host_->isWindow() && !host_->isHidden())) s |= WS_VISIBLE;
    if (!host_->isEnabled()) s |= WS_DISABLED;
    return s;
}

std::uint32_t Wnd::GetExStyle() const {
    return host_ ? host_->exStyle : 0;
}

void Wnd::ModifyStyle(std::uint32_t remove, std::uint32_t add) {
    if (!host_) return;
    std::uint32_t before = host_->style;
    host_->style = (host_->style & ~remove) | add;
    host_->style &= ~(WS_VISIBLE | WS_DISABLED);
    if ((remove | add) & WS_VISIBLE) ShowWindow((add & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
    if ((remove | add) & WS_DISABLED) EnableWindow(!(add & WS_DISABLED));
    if (host_->isWindow() &&
        ((before ^ host_->style) & (WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_THICKFRAME))) {
        bool visible = host_->isVisible();
        QRect g = host_->geometry();
        host_->setWindowFlags(
            WndHost::TopLevelFlags(host_->style, host_->exStyle, host_->parentWidget() != nullptr));
        host_->normalFrame.reset();  // another frame, learnt anew
        host_->SetTopLevelGeometry(g);
        if (visible) host_->show();
    }
    host_->Relayout();
    host_->update();
}

void Wnd::SetWindowText(std::string_view text) {
    if (!host_) return;
    host_->text = std::string(text);
    if (host_->isWindow()) host_->setWindowTitle(TitleOf(text));
    host_->update();
}

void Wnd::SetIcon(const QImage& icon, bool big) {
    if (!host_) return;
    host_->icons[big ? 1 : 0] = icon;
    QIcon shown;
    for (const QImage& i : host_->icons)
        if (!i.isNull()) shown.addPixmap(QPixmap::fromImage(i));
    if (host_->isWindow()) host_->setWindowIcon(shown);
}

QImage Wnd::GetIcon(bool big) const {
    return host_ ? host_->icons[big ? 1 : 0] : QImage();
}

std::string Wnd::GetWindowText() const {
    return host_ ? host_->text : std::string();
}

Rect Wnd::GetClientRect() const {
    return host_ ? host_->ClientRect() : Rect();
}

Rect Wnd::GetWindowRect() const {
    if (!host_) return Rect();
    if (host_->isWindow()) {
        return ToRect(host_->geometry().marginsAdded(host_->FrameMargins()));
    }
    QPoint g = host_->mapToGlobal(QPoint(0, 0));
    return Rect(g.x(), g.y(), g.x() + host_->width(), g.y() + host_->height());
}

void Wnd::MoveWindow(const Rect& rect, bool repaint) {
    if (!host_) return;
    int w = std::max(0, rect.Width());
    int h = std::max(0, rect.Height());
    if (host_->isWindow()) {
        host_->PlaceFrame(QRect(rect.left, rect.top, w, h));
    } else {
        WndHost* p = dynamic_cast<WndHost*>(host_->parentWidget());
        QPoint o = p ? p->ClientOrigin() : QPoint();
        host_->setGeometry(rect.left + o.x(), rect.top + o.y(), w, h);
    }
    host_->Relayout();
    if (repaint) host_->update();
}

void Wnd::CenterWindow(Wnd* over) {
    if (!host_) return;
    Rect r = GetWindowRect();
    // Over the reference window as it is shown, or the screen without one. A window still to be
    // maximised (once the window manager has told its frame) is about to cover the screen.
    Rect area(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    Wnd* ref = over ? over : GetParent();
    if (ref && ref->host_ && ref->host_->isVisible() &&
        !(ref->host_->isWindow() && ref->host_->maximizeWhenPlaced))
        area = ref->GetWindowRect();
    r.OffsetRect(area.left + (area.Width() - r.Width()) / 2 - r.left,
                 area.top + (area.Height() - r.Height()) / 2 - r.top);
    MoveWindow(MoveOntoScreen(r));
}

Wnd::WindowPlacement Wnd::GetWindowPlacement() const {
    WindowPlacement p;
    if (!host_) return p;
    p.show = host_->isMaximized() || host_->maximizeWhenPlaced ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (!host_->isWindow() || InNormalState(host_)) {
        p.normal = GetWindowRect();
        return p;
    }
    // Not shown normally since it was placed: where it was placed.
    p.normal = ToRect(host_->placePending
                          ? host_->placedFrame
                          : host_->normalGeometry().marginsAdded(host_->normalFrame.value_or(g_lastFrame)));
    return p;
}

void Wnd::SetWindowPlacement(const WindowPlacement& placement) {
    if (!host_ || !host_->isWindow()) return;
    host_->maximizeWhenPlaced = false;
    if (!InNormalState(host_)) host_->showNormal();
    MoveWindow(placement.normal, false);
    ShowWindow(SW_SHOW);
    if (placement.show != SW_SHOWMAXIMIZED) return;
    // The window manager keeps the normal rectangle of a window shown maximised as the window
    // had it: the window is maximised once it lies there with its real frame.
    if (host_->placePending)
        host_->maximizeWhenPlaced = true;
    else
        host_->showMaximized();
}

void Wnd::ClientToScreen(Point& p) const {
    if (!host_) return;
    QPoint g = host_->mapToGlobal(QPoint(p.x, p.y) + host_->ClientOrigin());
    p = Point(g.x(), g.y());
}

void Wnd::ClientToScreen(Rect& r) const {
    Point a = r.TopLeft();
    Point b = r.BottomRight();
    ClientToScreen(a);
    ClientToScreen(b);
    r = Rect(a.x, a.y, b.x, b.y);
}

void Wnd::ScreenToClient(Point& p) const {
    if (!host_) return;
    QPoint l = host_->mapFromGlobal(QPoint(p.x, p.y)) - host_->ClientOrigin();
    p = Point(l.x(), l.y());
}

void Wnd::ScreenToClient(Rect& r) const {
    Point a = r.TopLeft();
    Point b = r.BottomRight();
    ScreenToClient(a);
    ScreenToClient(b);
    r = Rect(a.x, a.y, b.x, b.y);
}

bool Wnd::ShowWindow(int cmd) {
    if (!host_) return false;
    bool was = !host_->isHidden();
    bool show = cmd != SW_HIDE;
    if (show == was) return was;
    OnShowWindow(show, 0);
    if (!host_) return was;
    if (show) {
        host_->setAttribute(Qt::WA_ShowWithoutActivating, cmd == SW_SHOWNA);
        if (cmd == SW_SHOWMAXIMIZED && host_->isWindow())
            host_->showMaximized();
        else
            host_->show();
    } else {
        host_->hide();
    }
    return was;
}

void Wnd::SetWindowRgn(const Region* region, bool redraw) {
    if (!host_) return;
    if (region)
        host_->setMask(region->Q());
    else
        host_->clearMask();
    if (redraw) host_->update();
}

bool Wnd::IsWindowVisible() const {
    return host_ && host_->isVisible();
}

bool Wnd::EnableWindow(bool enable) {
    if (!host_) return false;
    bool wasDisabled = !host_->isEnabled();
    host_->setEnabled(enable);
    if (!host_->isWindow()) host_->setAttribute(Qt::WA_TransparentForMouseEvents, !enable);
    for (int b = 0; b < 2; ++b)
        host_->SyncBar(b);
    host_->update();
    return wasDisabled;
}

bool Wnd::IsWindowEnabled() const {
    return host_ && host_->isEnabled();
}

void Wnd::BringWindowToTop() {
    if (host_) host_->raise();
}

void Wnd::Invalidate(bool erase) {
    InvalidateRect(nullptr, erase);
}

void Wnd::InvalidateRect(const Rect* rect, bool erase) {
    if (!host_) return;
    // The next paint erases unless every invalidation since the last paint asked it not to.
    if (erase) {
        host_->erasePending = true;
        host_->noErase = false;
    } else if (!host_->erasePending) {
        host_->noErase = true;
    }
    if (rect) {
        QPoint o = host_->ClientOrigin();
        host_->update(QRect(rect->left + o.x(), rect->top + o.y(), rect->Width(), rect->Height()));
    } else {
        host_->update();
    }
}

void Wnd::UpdateWindow() {
    if (host_ && host_->isVisible() && host_->updatesEnabled()) host_->repaint();
}

void Wnd::RedrawWindow() {
    if (!host_) return;
    host_->noErase = false;
    host_->update();
    UpdateWindow();
}

void Wnd::SetRedraw(bool redraw) {
    if (host_) host_->setUpdatesEnabled(redraw);
}

Wnd* Wnd::SetFocus() {
    Wnd* old = g_focus;
    if (!host_) return old;
    QWidget* target = host_->focusProxy() ? host_->focusProxy() : host_;
    target->setFocus(Qt::OtherFocusReason);
    WndHost::NoteFocus(this);
    return old;
}

Wnd* Wnd::GetFocus() {
    return g_focus;
}

Wnd* Wnd::SetCapture() {
    Wnd* old = g_capture;
    if (!host_) return old;
    g_capture = this;
    if (old && old != this && IsLiveWnd(old)) old->OnCaptureChanged(this);
    return old;
}

void Wnd::ReleaseCapture() {
    Wnd* old = g_capture;
    g_capture = nullptr;
    if (old && IsLiveWnd(old)) old->OnCaptureChanged(nullptr);
}

Wnd* Wnd::GetCapture() {
    return g_capture;
}

int Wnd::SetTimer(int id, int milliseconds) {
    if (!host_) return 0;
    int ms = std::max(milliseconds, 1);
    auto& t = host_->timers[id];
    t.milliseconds = ms;
    if (test::ManualTimers()) {
        if (t.timer) t.timer->stop();
        return id;
    }
    if (!t.timer) {
        t.timer = new QTimer(host_);
        WndHost* h = host_;
        QObject::connect(t.timer, &QTimer::timeout, h, [h, id] {
            // While a test script runs, timers wait for FireTimer.
            if (h->owner && h->timers.count(id) && !test::ManualTimers()) h->owner->OnTimer(id);
        });
    }
    t.timer->start(ms);
    return id;
}

bool Wnd::KillTimer(int id) {
    if (!host_) return false;
    auto it = host_->timers.find(id);
    if (it == host_->timers.end()) return false;
    delete it->second.timer;
    host_->timers.erase(it);
    return true;
}

bool Wnd::HasTimer(int id) const {
    return host_ && host_->timers.count(id) != 0;
}

void Wnd::SetFont(Font* font, bool redraw) {
    if (!host_) return;
    host_->font = font;
    OnFontChanged();
    if (redraw && host_) host_->update();
}

Font* Wnd::GetFont() const {
    if (host_ && host_->font) return host_->font;
    return &Font::Default();
}

void Wnd::ShowScrollBar(int bar, bool show) {
    if (!host_) return;
    for (int b = 0; b < 2; ++b) {
        if (bar != b && bar != SB_BOTH) continue;
        host_->EnsureBar(b);
        host_->bars[b].shown = show;
        host_->SyncBar(b);
    }
    host_->Relayout();
    host_->update();
}

bool Wnd::IsScrollBarVisible(int bar) const {
    return host_ && bar >= 0 && bar < 2 && host_->bars[bar].shown;
}

bool Wnd::EnableScrollBar(int bar, int arrows) {
    if (!host_) return false;
    for (int b = 0; b < 2; ++b) {
        if (bar != b && bar != SB_BOTH) continue;
        host_->EnsureBar(b);
        host_->bars[b].enabled = arrows != ESB_DISABLE_BOTH;
        host_->SyncBar(b);
    }
    return true;
}

bool Wnd::IsScrollBarEnabled(int bar) const {
    return host_ && bar >= 0 && bar < 2 && host_->bars[bar].enabled;
}

void Wnd::SetScrollInfo(int bar, int nMin, int nMax, int nPage, bool redraw) {
    if (!host_ || bar < 0 || bar > 1) return;
    host_->EnsureBar(bar);
    WndHost::Bar& b = host_->bars[bar];
    b.info.nMin = nMin;
    b.info.nMax = std::max(nMin, nMax);
    b.info.nPage = std::clamp(nPage, 0, b.info.nMax - nMin + 1);
    int maxPos = std::max(b.info.nMin, b.info.nMax - std::max(b.info.nPage - 1, 0));
    b.info.nPos = std::clamp(b.info.nPos, b.info.nMin, maxPos);
    // A range that needs scrolling shows the bar; one that does not hides it.
    bool needed = nMax > nMin && b.info.nPage <= b.info.nMax - b.info.nMin;
    bool changed = b.shown != needed;
    b.shown = needed;
    host_->SyncBar(bar);
    if (changed) host_->Relayout();
    if (redraw) host_->update();
}

ScrollInfo Wnd::GetScrollInfo(int bar) const {
    if (!host_ || bar < 0 || bar > 1) return ScrollInfo();
    return host_->bars[bar].info;
}

int Wnd::SetScrollPos(int bar, int pos, bool redraw) {
    if (!host_ || bar < 0 || bar > 1) return 0;
    WndHost::Bar& b = host_->bars[bar];
    int old = b.info.nPos;
    int maxPos = std::max(b.info.nMin, b.info.nMax - std::max(b.info.nPage - 1, 0));
    b.info.nPos = std::clamp(pos, b.info.nMin, maxPos);
    host_->SyncBar(bar);
    return old;
}

int Wnd::GetScrollPos(int bar) const {
    if (!host_ || bar < 0 || bar > 1) return 0;
    return host_->bars[bar].info.nPos;
}

void Wnd::GetScrollRange(int bar, int* minPos, int* maxPos) const {
    ScrollInfo i = GetScrollInfo(bar);
    if (minPos) *minPos = i.nMin;
    if (maxPos) *maxPos = i.nMax;
}

void Wnd::ScrollWindow(int dx, int dy, const Rect* scrollRect, const Rect* clipRect) {
    if (!host_ || (dx == 0 && dy == 0)) return;
    // The contents are painted again from the new position: the whole affected area is invalid.
    Rect area = GetClientRect();
    if (scrollRect) area.IntersectRect(area, *scrollRect);
    if (clipRect) area.IntersectRect(area, *clipRect);
    if (!area.IsRectEmpty()) InvalidateRect(&area, true);
}

bool Wnd::SendCommand(Wnd* target, int id, int code, Wnd* from) {
    if (!target || !IsLiveWnd(target)) return false;
    target->OnCommand(id, code, from);
    return true;
}

std::intptr_t Wnd::SendNotify(Wnd* target, NotifyHeader* header) {
    if (!target || !IsLiveWnd(target) || !header) return 0;
    std::intptr_t result = 0;
    target->OnNotify(header->idFrom, header, &result);
    return result;
}

void Wnd::PostUserMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (!host_) return;
    QPointer<WndHost> h(host_);
    QMetaObject::invokeMethod(
        host_,
        [h, message, wParam, lParam] {
            if (h && h->owner) h->owner->OnUserMessage(message, wParam, lParam);
        },
        Qt::QueuedConnection);
}

void Wnd::DispatchInput(Msg& m) {
    if (!m.wnd || !IsLiveWnd(m.wnd) || !m.wnd->host_) return;
    for (Wnd* w = m.wnd; w; w = PreTranslateParent(w)) {
        if (w->PreTranslateMessage(m)) return;
        if (!IsLiveWnd(w)) return;
    }
    if (!IsLiveWnd(m.wnd) || !m.wnd->host_) return;
    DeliverOne(m);
}

bool Wnd::OnEraseBkgnd(Dc& dc) {
    if (!host_) return false;
    dc.FillSolidRect(GetClientRect(), host_->background);
    return true;
}

void Wnd::OnClose() {
    DestroyWindow();
}

QWidget* Wnd::GetWidget() const {
    return host_;
}

void Wnd::SetBackgroundColor(COLORREF c) {
    if (host_) host_->background = c;
}

}  // namespace rymd::ui
