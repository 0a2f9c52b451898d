#include "platform/qt/dialog.h"

#include <QEventLoop>
#include <QWidget>
#include <algorithm>
#include <charconv>
#include <vector>

#include "platform/qt/app.h"
#include "platform/qt/controls.h"
#include "platform/qt/list_ctrl.h"
#include "platform/qt/test_seam.h"
#include "platform/qt/wnd_host.h"

namespace rymd::ui {

namespace {

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    long long n = static_cast<long long>(a) * b;
    long long half = (c > 0 ? c : -c) / 2;
    long long q = n >= 0 ? (n + half) / c : (n - half) / c;
    return static_cast<int>(q);
}

bool IsTabStop(Wnd* w) {
    QWidget* h = w->GetWidget();
    return h && (w->GetStyle() & WS_TABSTOP) && !h->isHidden() && h->isEnabled();
}

// Keeps a top-level window on the screen, its frame included: no larger than the screen, then no
// edge off it.
void FitOnScreen(Wnd& w) {
    const Rect r = w.GetWindowRect();
    const int cx = std::min(r.Width(), GetSystemMetrics(SM_CXSCREEN));
    const int cy = std::min(r.Height(), GetSystemMetrics(SM_CYSCREEN));
    if (cx != r.Width() || cy != r.Height()) w.MoveWindow(r.left, r.top, cx, cy, true);
    const Rect now = w.GetWindowRect();
    const Rect placed = MoveOntoScreen(now);
    if (placed != now) w.MoveWindow(placed, true);
}

// The modal dialogs that run, the innermost last.
std::vector<Dialog*>& RunningModals() {
    static std::vector<Dialog*> running;
    return running;
}

// The window itself when the top-level window it is in is shown, else the nearest owner up the
// line whose top-level window is; null when none is.
Wnd* ShownOwner(Wnd* w) {
    while (w) {
        Wnd* top = w->GetTopLevelParent();
        if (!top) return nullptr;
        if (top->IsWindowVisible()) return w;
        w = top->GetParent();
    }
    return nullptr;
}

// The window a modal dialog stands over: its parent, or without one the innermost modal dialog
// that runs (the main window when none does). A window that is not shown (a dialog still setting
// itself up) hands the dialog on to its own owner, so that the dialog never hangs on a hidden
// window, which a window manager may keep below the main window, and the dialog with it.
Wnd* ModalOwner(Wnd* parent) {
    if (Wnd* o = ShownOwner(parent)) return o;
    const std::vector<Dialog*>& running = RunningModals();
    for (auto it = running.rbegin(); it != running.rend(); ++it)
        if (Wnd* o = ShownOwner(*it)) return o;
    if (Wnd* o = ShownOwner(GetMainWindow())) return o;
    return parent ? parent : GetMainWindow();
}

}  // namespace

DialogBaseUnits BaseUnitsOf(const Font& font) {
    return {font.AverageCharWidth(), font.CellHeight()};
}

Rect MapDialogRect(const DialogBaseUnits& units, const Rect& dlu) {
    return Rect(MulDiv(dlu.left, units.cx, 4), MulDiv(dlu.top, units.cy, 8), MulDiv(dlu.right, units.cx, 4),
                MulDiv(dlu.bottom, units.cy, 8));
}

// ---------------------------------------------------------------------------------------------------
// Control exchange

Rect DialogItemRect(const DialogTemplate& t, int id) {
    for (const DialogItem& i : t.items)
        if (i.id == id) return Rect(i.x, i.y, i.x + i.cx, i.y + i.cy);
    return Rect();
}

void DDX_Control(DataExchange& dx, int id, Wnd& control) {
    if (!dx.dialog || control.IsWindow()) return;
    control.SubclassDlgItem(id, dx.dialog);
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
    Wnd* c = dx.dialog ? dx.dialog->GetDlgItem(id) : nullptr;
    if (!c) return;
    if (dx.saveAndValidate)
        value = c->GetWindowText();
    else
        c->SetWindowText(value);
}

void DDX_Text(DataExchange& dx, int id, int& value) {
    Wnd* c = dx.dialog ? dx.dialog->GetDlgItem(id) : nullptr;
    if (!c) return;
    if (!dx.saveAndValidate) {
        c->SetWindowText(std::to_string(value));
        return;
    }
    std::string text = c->GetWindowText();
    std::size_t b = text.find_first_not_of(" \t");
    std::size_t e = text.find_last_not_of(" \t");
    if (b == std::string::npos) {
        dx.fail = true;
        return;
    }
    const char* first = text.data() + b;
    const char* last = text.data() + e + 1;
    if (*first == '+') ++first;
    int v = 0;
    auto [ptr, ec] = std::from_chars(first, last, v);
    if (ec != std::errc() || ptr != last) {
        dx.fail = true;
        return;
    }
    value = v;
}

void DDX_Check(DataExchange& dx, int id, int& value) {
    auto* b = dx.dialog ? dynamic_cast<Button*>(dx.dialog->GetDlgItem(id)) : nullptr;
    if (!b) return;
    if (dx.saveAndValidate)
        value = b->GetCheck();
    else
        b->SetCheck(value);
}

// ---------------------------------------------------------------------------------------------------
// Dialog

Dialog::Dialog(DialogTemplate tmpl, Wnd* parent) : tmpl_(std::move(tmpl)), parent_(parent) {}

Dialog::~Dialog() {
    if (loop_) static_cast<QEventLoop*>(loop_)->exit();
    std::erase(RunningModals(), this);
    DestroyWindow();
}

bool Dialog::Build(Wnd* parent, bool modal) {
    EnsureApplication();
    font_.CreatePointFont(tmpl_.pointSize * 10, tmpl_.fontFace.c_str(), tmpl_.weight);
    units_ = BaseUnitsOf(font_);
    int w = MulDiv(tmpl_.cx, units_.cx, 4);
    int h = MulDiv(tmpl_.cy, units_.cy, 8);
    std::uint32_t style = tmpl_.style & ~WS_VISIBLE;
    if (modal) style &= ~WS_CHILD;
    Rect rect(0, 0, w, h);
    if (style & WS_CHILD) {
        int x = MulDiv(tmpl_.x, units_.cx, 4);
        int y = MulDiv(tmpl_.y, units_.cy, 8);
        rect = Rect(x, y, x + w, y + h);
    } else {
        style |= WS_POPUP;
    }
    if (!CreateEx(tmpl_.exStyle, style, rect, parent, 0, tmpl_.caption)) return false;
    if (!(style & WS_CHILD)) {
        // Never larger than the screen, its frame included.
        FitOnScreen(*this);
    }
    SetBackgroundColor(GetSysColor(COLOR_BTNFACE));
    SetFont(&font_, false);
    CreateControls();
    return IsWindow();
}

void Dialog::CreateControls() {
    for (const DialogItem& item : tmpl_.items) {
        Rect r(MulDiv(item.x, units_.cx, 4), MulDiv(item.y, units_.cy, 8), 0, 0);
        r.right = r.left + MulDiv(item.cx, units_.cx, 4);
        r.bottom = r.top + MulDiv(item.cy, units_.cy, 8);
        std::uint32_t style = item.style | WS_CHILD | WS_VISIBLE;
        std::unique_ptr<Wnd> control;
        bool ok = false;
        switch (item.kind) {
            case ControlKind::Button: {
                auto b = std::make_unique<Button>();
                ok = b->Create(item.text, style, r, this, item.id);
                control = std::move(b);
                break;
            }
            case ControlKind::Static: {
                auto s = std::make_unique<Static>();
                ok = s->Create(item.text, style, r, this, item.id);
                control = std::move(s);
                break;
            }
            case ControlKind::Edit: {
                auto e = std::make_unique<Edit>();
                ok = e->Create(style, r, this, item.id);
                if (ok) e->SetWindowText(item.text);
                control = std::move(e);
                break;
            }
            case ControlKind::ComboBox: {
                // The closed field is one text line high; the template's height is the list's.
                auto c = std::make_unique<ComboBox>();
                Rect field = r;
                field.bottom = field.top + std::min(r.Height(), font_.CellHeight() + 8);
                ok = c->Create(style, field, this, item.id);
                control = std::move(c);
                break;
            }
            case ControlKind::ListView: {
                auto l = std::make_unique<ListCtrl>();
                ok = l->Create(style, r, this, item.id);
                control = std::move(l);
                break;
            }
            case ControlKind::Spin: {
                auto sp = std::make_unique<SpinButton>();
                ok = sp->Create(style, r, this, item.id);
                control = std::move(sp);
                break;
            }
            case ControlKind::Custom: {
                auto c = std::make_unique<Wnd>();
                ok = c->CreateEx(item.exStyle, style, r, this, item.id, item.text);
                control = std::move(c);
                break;
            }
        }
        if (!ok) continue;
        if (item.exStyle && control->Host()) {
            control->Host()->exStyle = item.exStyle;
            control->Host()->Relayout();
        }
        control->SetFont(&font_, false);
        AdoptChild(std::move(control));
    }
}

Wnd* Dialog::FirstTabStop() {
    for (Wnd* w : GetChildren())
        if (IsTabStop(w)) return w;
    return nullptr;
}

void Dialog::NextDlgCtrl(bool previous) {
    std::vector<Wnd*> stops;
    for (Wnd* w : GetChildren())
        if (IsTabStop(w)) stops.push_back(w);
    if (stops.empty()) return;
    Wnd* focus = GetFocus();
    auto it = std::find(stops.begin(), stops.end(), focus);
    std::size_t n = stops.size();
    std::size_t i = it == stops.end()
                        ? (previous ? n - 1 : 0)
                        : (previous ? (it - stops.begin() + n - 1) % n : (it - stops.begin() + 1) % n);
    stops[i]->SetFocus();
}

std::intptr_t Dialog::DoModal() {
    if (IsWindow() || running_) return -1;
    Wnd* owner = ModalOwner(parent_);
    // The window with the focus gets it back when the dialog ends, as the owner's dialog had it.
    Wnd* focusBefore = GetFocus();
    ended_ = false;
    result_ = -1;
    if (!Build(owner, true)) return -1;
    running_ = true;
    RunningModals().push_back(this);
    // Modal from the start: a dialog may show itself while it sets itself up.
    Host()->setWindowModality(Qt::ApplicationModal);
    Rect before = GetWindowRect();
    bool focusFirst = OnInitDialog();
    if (IsWindow() && focusFirst && !ended_) {
        if (Wnd* f = FirstTabStop()) f->SetFocus();
    }
    // A dialog that showed itself while it set itself up was placed then, and the player may
    // have moved it since (the main window, which runs the start menu before it returns): it
    // stays where it stands. Any other is centred over the owner unless it placed itself, and
    // shown on the screen.
    if (IsWindow() && !ended_ && !IsWindowVisible()) {
        if (GetWindowRect().TopLeft() == before.TopLeft())
            CenterWindow(owner);
        else
            MoveWindow(MoveOntoScreen(GetWindowRect()), false);
        ShowWindow(SW_SHOW);
        FitOnScreen(*this);
    }
    if (IsWindow() && !ended_) {
        if (test::Script* script = test::Script::Active()) {
            script->RunDialog(*this);
        } else {
            QEventLoop loop;
            loop_ = &loop;
            if (!ended_) loop.exec(QEventLoop::DialogExec);
            loop_ = nullptr;
        }
    }
    running_ = false;
    std::erase(RunningModals(), this);
    std::intptr_t result = ended_ ? result_ : -1;
    DestroyWindow();
    if (IsLiveWnd(focusBefore) && focusBefore->IsWindow() && focusBefore->IsWindowVisible() &&
        focusBefore->IsWindowEnabled() && !GetFocus())
        focusBefore->SetFocus();
    return result;
}

bool Dialog::CreateModeless(Wnd* parent) {
    if (IsWindow()) return false;
    parent_ = parent;
    ended_ = false;
    if (!Build(parent, false)) return false;
    if (OnInitDialog() && IsWindow()) {
        if (Wnd* f = FirstTabStop()) f->SetFocus();
    }
    if (IsWindow() && (tmpl_.style & WS_VISIBLE)) ShowWindow(SW_SHOW);
    return IsWindow();
}

void Dialog::EndDialog(std::intptr_t result) {
    result_ = result;
    ended_ = true;
    if (loop_) {
        static_cast<QEventLoop*>(loop_)->exit();
    } else if (!running_ && IsWindow()) {
        ShowWindow(SW_HIDE);
    }
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx;
    dx.dialog = this;
    dx.saveAndValidate = saveAndValidate;
    DoDataExchange(dx);
    return !dx.fail;
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool Dialog::OnCommand(int id, int code, Wnd* from) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

void Dialog::OnClose() {
    SendCommand(this, IDCANCEL, BN_CLICKED, nullptr);
}

bool Dialog::PreTranslateMessage(Msg& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wnd != this && !IsChild(msg.wnd)) return false;
    switch (msg.key) {
        case VK_RETURN: {
            Wnd* focus = GetFocus();
            if (focus && IsChild(focus)) {
                if (auto* e = dynamic_cast<Edit*>(focus);
                    e && (e->GetStyle() & ES_MULTILINE) && (e->GetStyle() & ES_WANTRETURN))
                    return false;
                // A focused standard push button is the one Enter presses.
                if (auto* b = dynamic_cast<Button*>(focus)) {
                    std::uint32_t t = b->GetButtonStyle();
                    if (t == BS_PUSHBUTTON || t == BS_DEFPUSHBUTTON) {
                        SendCommand(this, b->GetDlgCtrlID(), BN_CLICKED, b);
                        return true;
                    }
                }
            }
            Wnd* def = GetDlgItem(defId_);
            if (def && !def->IsWindowEnabled()) return true;
            SendCommand(this, defId_, BN_CLICKED, def);
            return true;
        }
        case VK_ESCAPE: SendCommand(this, IDCANCEL, BN_CLICKED, GetDlgItem(IDCANCEL)); return true;
        case VK_TAB: NextDlgCtrl((msg.flags & MK_SHIFT) != 0); return true;
        case VK_F1: return OnHelpInfo();
        default: return false;
    }
}

}  // namespace rymd::ui
