// The Qt widget behind a Wnd (internal to the window layer).
//
// The widget is the whole window: the border (WS_BORDER, WS_EX_CLIENTEDGE), the scroll bars and
// the client area. Client coordinates start inside the border. All window state lives here, so
// that another Wnd object can take the window over (SubclassDlgItem).
#pragma once

#include <QImage>
#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/qt/ui_types.h"
#include "platform/qt/wnd.h"

class QMenuBar;
class QScrollBar;
class QTimer;

namespace rymd::ui {

class WndHost : public QWidget {
public:
    WndHost(Wnd* owner, QWidget* parent, Qt::WindowFlags flags);
    ~WndHost() override;

    struct Bar {
        QScrollBar* widget = nullptr;
        bool shown = false;
        bool enabled = true;
        ScrollInfo info;
    };
    struct Timer {
        QTimer* timer = nullptr;
        int milliseconds = 0;
    };

    Wnd* owner = nullptr;
    Wnd* ownerWindow = nullptr;  // owner of a top-level window
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    int id = 0;
    std::string text;
    Font* font = nullptr;
    COLORREF background = RGB(255, 255, 255);
    Bar bars[2];
    std::map<int, Timer> timers;
    bool noErase = false;
    bool erasePending = false;
    int wheelRemainder = 0;
    int inEvent = 0;
    Size lastClientSize{-1, -1};
    QImage icons[2];              // the small and the big icon (null: none)
    QMenuBar* menuBar = nullptr;  // a top-level window's menu bar, above the border (none: null)

    // ---- A top-level window's frame ----------------------------------------------------------
    // The window manager draws the frame around the widget and tells how thick it is only once
    // the window is on the screen (on X11 some time after it is shown). Until then the frame is
    // taken to be as this window's frame was when last seen, else as the last frame seen of any
    // window; a rectangle placed with such a guess is placed again once the frame is known.
    bool frameKnown = false;              // exposed since it was last shown: the frame is the real one
    std::optional<QMargins> normalFrame;  // the frame last seen around the window in its normal state
    bool placePending = false;            // placedFrame was placed with margins that were a guess
    QRect placedFrame;                    // the outer rectangle the program asked for last
    QMargins placedWith;                  // the frame the widget's geometry was worked out with
    bool maximizeWhenPlaced = false;      // to be maximised once the pending placement is made good
    // What the frame adds around the widget, as well as it is known now (a child: nothing).
    QMargins FrameMargins() const;
    // Sets the widget's geometry so that the frame covers outer (screen coordinates).
    void PlaceFrame(const QRect& outer);
    // Sets a top-level widget's geometry. A window without a sizing frame keeps the size the
    // program gives it: the window manager is told that it has no other (so neither the player
    // nor the window manager resizes or maximises it).
    void SetTopLevelGeometry(const QRect& g);
    // The window is on the screen: the frame is known, and a guessed placement is made good.
    void OnExposed();
    // Places placedFrame again around the frame m: a window the player sizes keeps that outer
    // rectangle, any other window the inside it had.
    void PlaceAgain(const QMargins& m);

    int BorderWidth() const;
    Rect ClientRect() const;
    // Height of the menu bar (0 without one).
    int MenuBarHeight() const;
    QPoint ClientOrigin() const { return QPoint(BorderWidth(), BorderWidth() + MenuBarHeight()); }
    Point ToClient(QPointF local) const;
    // Places the scroll bars; sends OnSize when the client size changed.
    void Relayout();
    void SyncBar(int bar);
    QScrollBar* EnsureBar(int bar);
    // Window flags for a top-level window of the given styles.
    static Qt::WindowFlags TopLevelFlags(std::uint32_t style, std::uint32_t exStyle, bool owned);
    // The Wnd of a widget (itself or its nearest host ancestor).
    static Wnd* WndOf(QWidget* w);

    // Runs PreTranslateMessage for a key press on its way to a Qt editor; true when consumed.
    static bool PreTranslateKey(Wnd* target, QKeyEvent* e);
    // Sends a key event (Qt) through the layer's message path for the given Wnd.
    static bool DeliverKey(Wnd* target, QKeyEvent* e);
    // Runs the layer's handling for focus arriving at target (by a click into a Qt editor).
    static void NoteFocus(Wnd* target);

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void MouseEvent(QMouseEvent* e, unsigned message);
    void OnBarAction(int bar, int action);
    void OnBarReleased(int bar);
};

// Marks of live Wnd objects (a handler may delete a window while its message is handled).
bool IsLiveWnd(const Wnd* w);

}  // namespace rymd::ui
