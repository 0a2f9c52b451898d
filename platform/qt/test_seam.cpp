#include "platform/qt/test_seam.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QWheelEvent>
#include <QWidget>

#include "platform/qt/app.h"
#include "platform/qt/bitmap.h"
#include "platform/qt/controls.h"
#include "platform/qt/dialog.h"
#include "platform/qt/menu.h"
#include "platform/qt/wnd.h"
#include "platform/qt/wnd_host.h"

namespace rymd::ui::test {

namespace {

Script* g_active = nullptr;

struct KeyInfo {
    int qtKey;
    QString text;
};

KeyInfo QtKeyOf(unsigned vk, bool shift) {
    switch (vk) {
        case VK_RETURN: return {Qt::Key_Return, QStringLiteral("\r")};
        case VK_ESCAPE: return {Qt::Key_Escape, QString(QChar(27))};
        case VK_TAB: return {shift ? Qt::Key_Backtab : Qt::Key_Tab, QStringLiteral("\t")};
        case VK_BACK: return {Qt::Key_Backspace, QString(QChar(8))};
        case VK_SPACE: return {Qt::Key_Space, QStringLiteral(" ")};
        case VK_LEFT: return {Qt::Key_Left, {}};
        case VK_RIGHT: return {Qt::Key_Right, {}};
        case VK_UP: return {Qt::Key_Up, {}};
        case VK_DOWN: return {Qt::Key_Down, {}};
        case VK_HOME: return {Qt::Key_Home, {}};
        case VK_END: return {Qt::Key_End, {}};
        case VK_PRIOR: return {Qt::Key_PageUp, {}};
        case VK_NEXT: return {Qt::Key_PageDown, {}};
        case VK_DELETE: return {Qt::Key_Delete, {}};
        case VK_INSERT: return {Qt::Key_Insert, {}};
        default: break;
    }
    if (vk >= VK_F1 && vk < VK_F1 + 24) return {Qt::Key_F1 + static_cast<int>(vk - VK_F1), {}};
    if (vk >= 'A' && vk <= 'Z') {
        QChar c(static_cast<char16_t>(shift ? vk : vk + 32));
        return {static_cast<int>(vk), QString(c)};
    }
    if (vk >= '0' && vk <= '9') return {static_cast<int>(vk), QString(QChar(static_cast<char16_t>(vk)))};
    return {static_cast<int>(vk), {}};
}

// The window that takes keys for `window`: the focus when it is in the same top-level window.
Wnd* KeyTarget(Wnd& window) {
    Wnd* f = Wnd::GetFocus();
    if (f && f->IsWindow() && f->GetTopLevelParent() == window.GetTopLevelParent()) return f;
    // Where the platform sends the keys of the window: the widget that had the focus in it last.
    if (QWidget* top = window.GetWidget() ? window.GetWidget()->window() : nullptr)
        if (QWidget* last = top->focusWidget())
            if (Wnd* w = WndHost::WndOf(last)) return w;
    return &window;
}

QWidget* KeyReceiver(Wnd* w) {
    QWidget* h = w->GetWidget();
    if (!h) return nullptr;
    return h->focusProxy() ? h->focusProxy() : h;
}

void SendMouse(Wnd& window, QEvent::Type type, Point p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    WndHost* h = window.Host();
    if (!h) return;
    QPointF local(p.x + h->ClientOrigin().x(), p.y + h->ClientOrigin().y());
    QPointF global = h->mapToGlobal(local);
    QMouseEvent e(type, local, global, button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(h, &e);
}

}  // namespace

Script::Script() {
    EnsureApplication();
    previous_ = g_active;
    g_active = this;
}

Script::~Script() {
    g_active = previous_;
    if (PendingSteps() != 0) Error(std::to_string(PendingSteps()) + " scripted steps were never used");
}

Script* Script::Active() {
    return g_active;
}

void Script::OnDialog(DialogStep step) {
    dialogSteps_.push_back(std::move(step));
}

void Script::PressKey(unsigned key) {
    OnDialog([key](Dialog& d) { test::PressKey(d, key); });
}

void Script::Click(int controlId) {
    OnDialog([this, controlId](Dialog& d) {
        if (!ClickControl(d, controlId)) Error("no control " + std::to_string(controlId) + " to click");
    });
}

void Script::Answer(std::intptr_t result) {
    OnDialog([result](Dialog& d) { d.EndDialog(result); });
}

void Script::ChooseMenu(int command) {
    menuSteps_.push_back(command);
}

void Script::ChooseFile(std::optional<std::string> path) {
    fileSteps_.push_back(std::move(path));
}

std::size_t Script::PendingSteps() const {
    return dialogSteps_.size() + menuSteps_.size() + fileSteps_.size();
}

void Script::Error(std::string message) {
    errors_.push_back(message);
    if (onError_) onError_(message);
}

void Script::RunDialog(Dialog& dialog) {
    std::string caption = dialog.GetWindowText();
    dialogs_.push_back(caption);
    if (dialogSteps_.empty()) {
        Error("no scripted step for the dialog \"" + caption + "\"");
        dialog.EndDialog(-1);
        return;
    }
    DialogStep step = std::move(dialogSteps_.front());
    dialogSteps_.pop_front();
    ProcessEvents();
    step(dialog);
    if (!dialog.IsEnded()) {
        Error("the dialog \"" + caption + "\" was left open by its step");
        dialog.EndDialog(-1);
    }
}

int Script::RunMenu(const Menu& menu) {
    std::vector<std::string> shown;
    for (const Menu::Item& i : menu.Items()) {
        if (i.flags & MF_SEPARATOR) continue;
        shown.push_back(i.text + ((i.flags & (MF_GRAYED | MF_DISABLED)) ? " (greyed)" : ""));
    }
    menus_.push_back(std::move(shown));
    if (menuSteps_.empty()) {
        Error("no scripted step for a popup menu");
        return 0;
    }
    int c = menuSteps_.front();
    menuSteps_.pop_front();
    return c;
}

std::optional<std::string> Script::RunFileDialog(std::string_view title) {
    if (fileSteps_.empty()) {
        Error("no scripted step for the file dialog \"" + std::string(title) + "\"");
        return std::nullopt;
    }
    auto r = std::move(fileSteps_.front());
    fileSteps_.pop_front();
    return r;
}

bool ManualTimers() {
    return g_active != nullptr;
}

bool FireTimer(Wnd& wnd, int id) {
    if (!wnd.HasTimer(id)) return false;
    wnd.OnTimer(id);
    return true;
}

void PressKey(Wnd& window, unsigned key, unsigned modifiers) {
    Wnd* target = KeyTarget(window);
    QPointer<QWidget> receiver = KeyReceiver(target);
    if (!receiver) return;
    auto mods = static_cast<Qt::KeyboardModifiers>(modifiers);
    KeyInfo k = QtKeyOf(key, mods & Qt::ShiftModifier);
    QKeyEvent press(QEvent::KeyPress, k.qtKey, mods, k.text);
    QCoreApplication::sendEvent(receiver, &press);
    if (!receiver) return;
    QKeyEvent release(QEvent::KeyRelease, k.qtKey, mods, k.text);
    QCoreApplication::sendEvent(receiver, &release);
}

void TypeText(Wnd& window, std::string_view text) {
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (char32_t c : s.toUcs4()) {
        Wnd* target = KeyTarget(window);
        QPointer<QWidget> receiver = KeyReceiver(target);
        if (!receiver) return;
        QString t = QString::fromUcs4(&c, 1);
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, t);
        QCoreApplication::sendEvent(receiver, &press);
        if (!receiver) return;
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, t);
        QCoreApplication::sendEvent(receiver, &release);
    }
}

void MouseDown(Wnd& window, Point p, bool right) {
    Qt::MouseButton b = right ? Qt::RightButton : Qt::LeftButton;
    SendMouse(window, QEvent::MouseButtonPress, p, b, b);
}

void MouseUp(Wnd& window, Point p, bool right) {
    Qt::MouseButton b = right ? Qt::RightButton : Qt::LeftButton;
    SendMouse(window, QEvent::MouseButtonRelease, p, b, Qt::NoButton);
}

void MouseMove(Wnd& window, Point p, bool leftDown) {
    SendMouse(window, QEvent::MouseMove, p, Qt::NoButton, leftDown ? Qt::LeftButton : Qt::NoButton);
}

void DoubleClick(Wnd& window, Point p) {
    MouseDown(window, p);
    MouseUp(window, p);
    SendMouse(window, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    MouseUp(window, p);
}

void Wheel(Wnd& window, Point p, int delta) {
    WndHost* h = window.Host();
    if (!h) return;
    QPointF local(p.x + h->ClientOrigin().x(), p.y + h->ClientOrigin().y());
    QPointF global = h->mapToGlobal(local);
    QWheelEvent e(local, global, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                  false);
    QCoreApplication::sendEvent(h, &e);
}

void Click(Wnd& window) {
    Rect c = window.GetClientRect();
    Point mid = c.CenterPoint();
    MouseDown(window, mid);
    if (window.IsWindow()) MouseUp(window, mid);
}

bool ClickControl(Wnd& dialog, int id) {
    Wnd* c = dialog.GetDlgItem(id);
    if (!c) return false;
    Click(*c);
    return true;
}

bool TypeIntoControl(Wnd& dialog, int id, std::string_view text) {
    Wnd* c = dialog.GetDlgItem(id);
    if (!c) return false;
    c->SetFocus();
    TypeText(*c, text);
    return true;
}

void ProcessEvents() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QImage Grab(Wnd& window) {
    QWidget* w = window.GetWidget();
    if (!w) return QImage();
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage GrabAt(Wnd& window, double ratio) {
    QWidget* w = window.GetWidget();
    if (!w || !(ratio >= 1.0 && ratio <= 4.0)) return QImage();
    double before = Bitmap::PinnedScreenPixelRatio();
    Bitmap::SetScreenPixelRatio(ratio);
    QImage img(static_cast<int>(w->width() * ratio), static_cast<int>(w->height() * ratio),
               QImage::Format_RGB32);
    img.setDevicePixelRatio(ratio);
    img.fill(Qt::white);
    w->render(&img);
    Bitmap::SetScreenPixelRatio(before);
    return img;
}

bool GrabToPng(Wnd& window, const std::string& path, double ratio) {
    QImage img = ratio == 1.0 ? Grab(window) : GrabAt(window, ratio);
    return !img.isNull() && img.save(QString::fromStdString(path), "PNG");
}

COLORREF PixelAt(const QImage& image, int x, int y) {
    double r = image.devicePixelRatio();
    int dx = static_cast<int>(x * r);
    int dy = static_cast<int>(y * r);
    if (dx < 0 || dy < 0 || dx >= image.width() || dy >= image.height()) return 0;
    QRgb p = image.pixel(dx, dy);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

}  // namespace rymd::ui::test
