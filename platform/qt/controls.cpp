#include "platform/qt/controls.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextCursor>
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/qt/app.h"
#include "platform/qt/dc.h"
#include "platform/qt/font.h"
#include "platform/qt/wnd_host.h"

namespace rymd::ui {

namespace {

COLORREF ParentBackground(const Wnd& w) {
    Wnd* p = w.GetParent();
    if (p && p->Host()) return p->Host()->background;
    return GetSysColor(COLOR_BTNFACE);
}

QString ToQ(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// Button

bool Button::Create(std::string_view caption, std::uint32_t style, const Rect& rect, Wnd* parent, int id) {
    return Wnd::Create(style | WS_CHILD, rect, parent, id, caption);
}

std::uint32_t Button::GetButtonStyle() const {
    return GetStyle() & BS_TYPEMASK;
}

bool Button::IsOwnerDraw() const {
    return GetButtonStyle() == BS_OWNERDRAW;
}

int Button::GetState() const {
    int s = checked_;
    if (pushed_) s |= BST_PUSHED;
    if (GetFocus() == this) s |= BST_FOCUS;
    return s;
}

void Button::SetCheck(int check) {
    if (checked_ == check) return;
    checked_ = check;
    Invalidate();
}

void Button::TakeOverFrom(Wnd& placeholder) {
    if (auto* b = dynamic_cast<Button*>(&placeholder)) checked_ = b->checked_;
}

void Button::SetPushed(bool pushed) {
    if (pushed_ == pushed) return;
    pushed_ = pushed;
    Invalidate(false);
    UpdateWindow();
}

void Button::Click() {
    std::uint32_t type = GetButtonStyle();
    if (type == BS_AUTOCHECKBOX) SetCheck(checked_ ? BST_UNCHECKED : BST_CHECKED);
    if (type == BS_AUTORADIOBUTTON) {
        // The other automatic radio buttons of the group are cleared.
        if (Wnd* parent = GetParent()) {
            std::vector<Wnd*> kids = parent->GetChildren();
            auto self = std::find(kids.begin(), kids.end(), this);
            if (self != kids.end()) {
                auto first = self;
                while (first != kids.begin() && !((*first)->GetStyle() & WS_GROUP))
                    --first;
                for (auto it = first; it != kids.end(); ++it) {
                    if (it != first && ((*it)->GetStyle() & WS_GROUP)) break;
                    auto* b = dynamic_cast<Button*>(*it);
                    if (b && b != this && b->GetButtonStyle() == BS_AUTORADIOBUTTON)
                        b->SetCheck(BST_UNCHECKED);
                }
            }
        }
        SetCheck(BST_CHECKED);
    }
    Wnd::SendCommand(GetParent(), GetDlgCtrlID(), BN_CLICKED, this);
}

void Button::OnLButtonDown(unsigned, Point) {
    SetFocus();
    if (!IsLiveWnd(this) || !IsWindow()) return;
    SetCapture();
    tracking_ = true;
    SetPushed(true);
}

void Button::OnLButtonDblClk(unsigned flags, Point point) {
    OnLButtonDown(flags, point);
}

void Button::OnMouseMove(unsigned, Point point) {
    if (tracking_) SetPushed(GetClientRect().PtInRect(point));
}

void Button::OnLButtonUp(unsigned, Point) {
    if (!tracking_) return;
    bool click = pushed_;
    tracking_ = false;
    SetPushed(false);
    if (GetCapture() == this) ReleaseCapture();
    if (click && IsLiveWnd(this) && IsWindow()) Click();
}

void Button::OnCaptureChanged(Wnd* newCapture) {
    if (newCapture != this && tracking_) {
        tracking_ = false;
        SetPushed(false);
    }
}

void Button::OnKeyDown(unsigned key, unsigned, unsigned) {
    if (key == VK_SPACE && !tracking_) {
        spaceDown_ = true;
        SetPushed(true);
    }
}

void Button::OnKeyUp(unsigned key, unsigned, unsigned) {
    if (key == VK_SPACE && spaceDown_) {
        spaceDown_ = false;
        SetPushed(false);
        Click();
    }
}

void Button::OnSetFocus(Wnd*) {
    Invalidate(false);
}

void Button::OnKillFocus(Wnd*) {
    if (spaceDown_) {
        spaceDown_ = false;
        SetPushed(false);
    }
    Invalidate(false);
}

void Button::OnPaint(Dc& dc) {
    if (IsOwnerDraw()) {
        DrawItemStruct dis;
        dis.ctlType = ODT_BUTTON;
        dis.ctlId = GetDlgCtrlID();
        dis.itemAction = ODA_DRAWENTIRE;
        if (pushed_) dis.itemState |= ODS_SELECTED;
        if (GetFocus() == this) dis.itemState |= ODS_FOCUS;
        if (!IsWindowEnabled()) dis.itemState |= ODS_DISABLED;
        dis.hwndItem = this;
        dis.hDC = &dc;
        dis.rcItem = GetClientRect();
        Wnd* parent = GetParent();
        if (parent && parent->OnDrawItem(dis.ctlId, dis)) return;
        if (IsLiveWnd(this) && IsWindow()) DrawItem(dis);
        return;
    }
    DrawStandard(dc);
}

void Button::DrawStandard(Dc& dc) {
    QPainter* p = dc.Painter();
    QWidget* w = GetWidget();
    if (!p || !w) return;
    Rect c = GetClientRect();
    dc.FillSolidRect(c, ParentBackground(*this));
    QStyle* style = QApplication::style();
    std::uint32_t type = GetButtonStyle();
    const QFont& font = GetFont()->QtFont();
    p->save();
    p->setFont(font);
    if (type == BS_GROUPBOX) {
        // An etched frame with the caption in its top edge.
        int half = GetFont()->CellHeight() / 2;
        Rect frame(c.left, c.top + half, c.right, c.bottom);
        dc.Draw3dRect(frame, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        frame.DeflateRect(1, 1);
        dc.Draw3dRect(frame, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        std::string text = GetWindowText();
        if (!text.empty()) {
            dc.SelectFont(GetFont());
            Size ext = dc.GetTextExtent(text);
            Rect t(c.left + 8, c.top, c.left + 8 + ext.cx + 4, c.top + ext.cy);
            dc.FillSolidRect(t, ParentBackground(*this));
            dc.SetBkMode(TRANSPARENT);
            dc.SetTextColor(GetSysColor(IsWindowEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
            t.left += 2;
            dc.DrawText(text, t, DT_LEFT | DT_SINGLELINE);
        }
        p->restore();
        return;
    }
    QStyleOptionButton opt;
    opt.initFrom(w);
    opt.rect = QRect(c.left, c.top, c.Width(), c.Height());
    opt.text = ToQ(GetWindowText());
    opt.fontMetrics = QFontMetrics(font);
    opt.state = QStyle::State_None;
    if (IsWindowEnabled()) opt.state |= QStyle::State_Enabled;
    if (GetFocus() == this) opt.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
    if (pushed_)
        opt.state |= QStyle::State_Sunken;
    else
        opt.state |= QStyle::State_Raised;
    QStyle::ControlElement element = QStyle::CE_PushButton;
    if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX) element = QStyle::CE_CheckBox;
    if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) element = QStyle::CE_RadioButton;
    if (element != QStyle::CE_PushButton) opt.state |= checked_ ? QStyle::State_On : QStyle::State_Off;
    if (type == BS_DEFPUSHBUTTON) opt.features |= QStyleOptionButton::DefaultButton;
    style->drawControl(element, &opt, p, w);
    p->restore();
}

// ---------------------------------------------------------------------------------------------------
// Static

bool Static::Create(std::string_view text, std::uint32_t style, const Rect& rect, Wnd* parent, int id) {
    return Wnd::Create(style | WS_CHILD, rect, parent, id, text);
}

void Static::SetTextColor(COLORREF c) {
    textColor_ = c;
    Invalidate();
}

void Static::OnPaint(Dc& dc) {
    Rect c = GetClientRect();
    dc.FillSolidRect(c, ParentBackground(*this));
    // SS_SUNKEN: a one-pixel sunken edge (shadow above and left, highlight below and right);
    // the text keeps a pixel off it, two on the right for a right-aligned number.
    if (GetStyle() & SS_SUNKEN) {
        dc.Draw3dRect(c, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        c.DeflateRect(1, 1);
        c.right -= 1;
    }
    std::uint32_t type = GetStyle() & SS_TYPEMASK;
    unsigned format = DT_WORDBREAK | DT_EXPANDTABS;
    if (type == SS_CENTER) format |= DT_CENTER;
    if (type == SS_RIGHT) format |= DT_RIGHT;
    dc.SelectFont(GetFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(IsWindowEnabled() ? textColor_ : GetSysColor(COLOR_GRAYTEXT));
    dc.DrawText(GetWindowText(), c, format);
}

// ---------------------------------------------------------------------------------------------------
// Edit

namespace {

// Runs the layer's key and focus handling for a Qt editor inside an Edit window.
class EditorFilter final : public QObject {
public:
    explicit EditorFilter(Wnd* owner, QObject* parent) : QObject(parent), owner_(owner) {}
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (!IsLiveWnd(owner_) || !owner_->IsWindow()) return false;
        if (e->type() == QEvent::KeyPress)
            return WndHost::PreTranslateKey(owner_, static_cast<QKeyEvent*>(e));
        if (e->type() == QEvent::ShortcutOverride) {
            e->accept();
            return false;
        }
        if (e->type() == QEvent::FocusIn) {
            auto reason = static_cast<QFocusEvent*>(e)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                WndHost::NoteFocus(owner_);
        }
        return false;
    }

private:
    Wnd* owner_;
};

}  // namespace

bool Edit::Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id) {
    return Wnd::Create(style | WS_CHILD, rect, parent, id);
}

void Edit::OnHostCreated() {
    WndHost* h = Host();
    std::uint32_t style = h->style;
    QWidget* editor;
    if (style & ES_MULTILINE) {
        multi_ = new QPlainTextEdit(h);
        multi_->setFrameShape(QFrame::NoFrame);
        multi_->setReadOnly(style & ES_READONLY);
        multi_->setLineWrapMode((style & ES_AUTOHSCROLL) ? QPlainTextEdit::NoWrap
                                                         : QPlainTextEdit::WidgetWidth);
        QObject::connect(multi_, &QPlainTextEdit::textChanged, h, [this] {
            if (!settingText_) Wnd::SendCommand(GetParent(), GetDlgCtrlID(), EN_CHANGE, this);
        });
        editor = multi_;
    } else {
        line_ = new QLineEdit(h);
        line_->setFrame(false);
        line_->setReadOnly(style & ES_READONLY);
        if (style & ES_PASSWORD) line_->setEchoMode(QLineEdit::Password);
        if (style & ES_CENTER) line_->setAlignment(Qt::AlignHCenter);
        if (style & ES_RIGHT) line_->setAlignment(Qt::AlignRight);
        QObject::connect(line_, &QLineEdit::textChanged, h, [this] {
            if (!settingText_) Wnd::SendCommand(GetParent(), GetDlgCtrlID(), EN_CHANGE, this);
        });
        editor = line_;
    }
    editor->installEventFilter(new EditorFilter(this, editor));
    editor->setFocusPolicy(Qt::StrongFocus);
    editor->setFont(GetFont()->QtFont());
    h->setFocusProxy(editor);
    QPoint o = h->ClientOrigin();
    Rect c = h->ClientRect();
    editor->setGeometry(o.x(), o.y(), c.Width(), c.Height());
    editor->show();
    // The editor follows the client area.
    struct Resizer final : QObject {
        Resizer(WndHost* host, QWidget* ed) : QObject(host), h(host), e(ed) {
            host->installEventFilter(this);
        }
        bool eventFilter(QObject*, QEvent* ev) override {
            if (ev->type() == QEvent::Resize) {
                QPoint o = h->ClientOrigin();
                Rect c = h->ClientRect();
                e->setGeometry(o.x(), o.y(), c.Width(), c.Height());
            }
            return false;
        }
        WndHost* h;
        QWidget* e;
    };
    new Resizer(h, editor);
}

void Edit::OnFontChanged() {
    QFont f = GetFont()->QtFont();
    if (line_) line_->setFont(f);
    if (multi_) multi_->setFont(f);
}

void Edit::SetWindowText(std::string_view text) {
    Wnd::SetWindowText(text);
    settingText_ = true;
    if (line_) line_->setText(ToQ(text));
    if (multi_) {
        QString t = ToQ(text);
        t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        multi_->setPlainText(t);
    }
    settingText_ = false;
}

std::string Edit::GetWindowText() const {
    if (line_) return line_->text().toStdString();
    if (multi_) return multi_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
    return Wnd::GetWindowText();
}

void Edit::SetReadOnly(bool readOnly) {
    if (line_) line_->setReadOnly(readOnly);
    if (multi_) multi_->setReadOnly(readOnly);
}

void Edit::SetLimitText(int maxChars) {
    if (line_) line_->setMaxLength(maxChars > 0 ? maxChars : 32767);
}

void Edit::SetSel(int start, int end) {
    if (line_) {
        int len = static_cast<int>(line_->text().size());
        int s = std::clamp(start, 0, len);
        int e = end < 0 ? len : std::clamp(end, 0, len);
        line_->setSelection(s, e - s);
    }
    if (multi_) {
        QTextCursor c = multi_->textCursor();
        int len = static_cast<int>(multi_->toPlainText().size());
        c.setPosition(std::clamp(start, 0, len));
        c.setPosition(end < 0 ? len : std::clamp(end, 0, len), QTextCursor::KeepAnchor);
        multi_->setTextCursor(c);
    }
}

void Edit::ReplaceSel(std::string_view text) {
    if (line_) line_->insert(ToQ(text));
    if (multi_) multi_->insertPlainText(ToQ(text));
}

// ---------------------------------------------------------------------------------------------------
// ComboBox

namespace {

class DropDownList final : public QComboBox {
public:
    DropDownList(QWidget* parent, std::function<void()> onShow, std::function<void()> onHide)
        : QComboBox(parent), onShow_(std::move(onShow)), onHide_(std::move(onHide)) {}
    void showPopup() override {
        QComboBox::showPopup();
        onShow_();
    }
    void hidePopup() override {
        QComboBox::hidePopup();
        onHide_();
    }

private:
    std::function<void()> onShow_;
    std::function<void()> onHide_;
};

}  // namespace

bool ComboBox::Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id) {
    return Wnd::Create(style | WS_CHILD, rect, parent, id);
}

void ComboBox::OnHostCreated() {
    WndHost* h = Host();
    // The list may close while the window goes away (its object already gone): the handlers
    // check that the object still lives.
    combo_ = new DropDownList(
        h,
        [this] {
            if (IsLiveWnd(this)) dropped_ = true;
        },
        [this] {
            if (IsLiveWnd(this) && IsWindow()) NoteCloseUp();
        });
    combo_->setFocusPolicy(Qt::StrongFocus);
    combo_->setFont(GetFont()->QtFont());
    combo_->installEventFilter(new EditorFilter(this, combo_));
    QObject::connect(combo_, QOverload<int>::of(&QComboBox::activated), h,
                     [this](int) { Wnd::SendCommand(GetParent(), GetDlgCtrlID(), CBN_SELCHANGE, this); });
    h->setFocusProxy(combo_);
    QPoint o = h->ClientOrigin();
    Rect c = h->ClientRect();
    fieldHeight_ = c.Height();
    combo_->setGeometry(o.x(), o.y(), c.Width(), c.Height());
    combo_->show();
}

void ComboBox::NoteCloseUp() {
    if (!dropped_) return;
    dropped_ = false;
    Wnd::SendCommand(GetParent(), GetDlgCtrlID(), CBN_CLOSEUP, this);
}

void ComboBox::OnFontChanged() {
    if (combo_) combo_->setFont(GetFont()->QtFont());
}

void ComboBox::ResetContent() {
    if (combo_) combo_->clear();
}

int ComboBox::AddString(std::string_view text) {
    if (!combo_) return -1;
    combo_->addItem(ToQ(text));
    return combo_->count() - 1;
}

int ComboBox::GetCount() const {
    return combo_ ? combo_->count() : 0;
}

int ComboBox::GetCurSel() const {
    return combo_ ? combo_->currentIndex() : -1;
}

int ComboBox::SetCurSel(int index) {
    if (!combo_) return -1;
    if (index < 0 || index >= combo_->count()) {
        combo_->setCurrentIndex(-1);
        return -1;
    }
    combo_->setCurrentIndex(index);
    return index;
}

std::string ComboBox::GetLBText(int index) const {
    if (!combo_ || index < 0 || index >= combo_->count()) return {};
    return combo_->itemText(index).toStdString();
}

void ComboBox::ShowDropDown(bool show) {
    if (!combo_) return;
    if (show && !dropped_)
        combo_->showPopup();
    else if (!show && dropped_)
        combo_->hidePopup();
}

void ComboBox::SetItemHeight(int index, int height) {
    if (!combo_ || index >= 0 || height <= 0) return;
    fieldHeight_ = height;
    combo_->setFixedHeight(height + 6);
}

// ---------------------------------------------------------------------------------------------------
// SpinButton

bool SpinButton::Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id) {
    if (!Wnd::Create(style | WS_CHILD, rect, parent, id)) return false;
    if ((style & UDS_AUTOBUDDY) && parent) {
        std::vector<Wnd*> siblings = parent->GetChildren();
        auto self = std::find(siblings.begin(), siblings.end(), this);
        if (self != siblings.begin() && self != siblings.end()) SetBuddy(*(self - 1));
    }
    return true;
}

void SpinButton::SetRange(int lower, int upper) {
    lower_ = static_cast<std::int16_t>(lower);
    upper_ = static_cast<std::int16_t>(upper);
    pos_ = Clamp(pos_);
}

int SpinButton::Clamp(int pos) const {
    return std::clamp(pos, std::min(lower_, upper_), std::max(lower_, upper_));
}

int SpinButton::SetPos(int pos) {
    const int old = pos_;
    pos_ = Clamp(static_cast<std::int16_t>(pos));
    ShowInBuddy();
    return old;
}

int SpinButton::GetPos() const {
    if (buddy_ && IsLiveWnd(buddy_) && (GetStyle() & UDS_SETBUDDYINT)) {
        const std::string t = buddy_->GetWindowText();
        int v = 0;
        auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (ec == std::errc() && end == t.data() + t.size() && Clamp(v) == v) return v;
    }
    return pos_;
}

namespace {

// Up and Down typed in a spin's buddy step the spin (UDS_ARROWKEYS).
class BuddyArrowKeys final : public QObject {
public:
    BuddyArrowKeys(SpinButton* spin, QObject* parent) : QObject(parent), spin_(spin) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress || !IsLiveWnd(spin_) || !spin_->IsWindow() ||
            spin_->GetBuddy() != buddy())
            return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down) return false;
        spin_->Step(key == Qt::Key_Up ? +1 : -1);
        return true;
    }

private:
    Wnd* buddy() const { return WndHost::WndOf(qobject_cast<QWidget*>(parent())); }
    SpinButton* spin_;
};

}  // namespace

Wnd* SpinButton::SetBuddy(Wnd* buddy) {
    Wnd* old = buddy_;
    buddy_ = buddy;
    if (buddy_ && buddy_->IsWindow() && (GetStyle() & UDS_ARROWKEYS)) {
        QWidget* w = buddy_->GetWidget();
        QWidget* keys = w->focusProxy() ? w->focusProxy() : w;
        keys->installEventFilter(new BuddyArrowKeys(this, keys));
    }
    if (buddy_ && buddy_->IsWindow() && IsWindow() && (GetStyle() & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) {
        Rect b = buddy_->GetWindowRect();
        Wnd* parent = GetParent();
        if (parent) parent->ScreenToClient(b);
        const int w = GetWindowRect().Width();
        if (GetStyle() & UDS_ALIGNRIGHT) {
            MoveWindow(Rect(b.right - w, b.top, b.right, b.bottom));
            buddy_->MoveWindow(Rect(b.left, b.top, b.right - w, b.bottom));
        } else {
            MoveWindow(Rect(b.left, b.top, b.left + w, b.bottom));
            buddy_->MoveWindow(Rect(b.left + w, b.top, b.right, b.bottom));
        }
    }
    ShowInBuddy();
    return old;
}

void SpinButton::ShowInBuddy() {
    if (!buddy_ || !IsLiveWnd(buddy_) || !(GetStyle() & UDS_SETBUDDYINT)) return;
    const std::string t = std::to_string(pos_);
    if (buddy_->GetWindowText() == t) return;
    // The buddy tells its parent of the new text, as a change of an edit box's text does.
    buddy_->SetWindowText(t);
    if (IsLiveWnd(buddy_)) SendCommand(buddy_->GetParent(), buddy_->GetDlgCtrlID(), EN_CHANGE, buddy_);
}

void SpinButton::Step(int arrow) {
    const int cur = GetPos();
    const int delta = (upper_ >= lower_ ? 1 : -1) * (arrow > 0 ? 1 : -1);
    const int lo = std::min(lower_, upper_);
    const int hi = std::max(lower_, upper_);
    int next = cur + delta;
    if (next < lo || next > hi) {
        if (!(GetStyle() & UDS_WRAP)) {
            if (Clamp(next) == cur) return;
            next = Clamp(next);
        } else {
            next = next < lo ? hi : lo;
        }
    }
    NMUpDown n;
    n.hdr.hwndFrom = this;
    n.hdr.idFrom = GetDlgCtrlID();
    n.hdr.code = UDN_DELTAPOS;
    n.iPos = cur;
    n.iDelta = next - cur;
    if (SendNotify(GetParent(), &n.hdr) != 0) return;
    pos_ = next;
    ShowInBuddy();
    Invalidate(false);
    if (Wnd* p = GetParent(); p && IsLiveWnd(this)) {
        if (GetStyle() & 0x40)  // UDS_HORZ
            p->OnHScroll(SB_THUMBPOSITION, pos_);
        else
            p->OnVScroll(SB_THUMBPOSITION, pos_);
    }
}

void SpinButton::OnPaint(Dc& dc) {
    const Rect c = GetClientRect();
    const int mid = c.Height() / 2;
    const Rect halves[2] = {Rect(0, 0, c.right, mid), Rect(0, mid, c.right, c.bottom)};
    for (int i = 0; i < 2; ++i) {
        const Rect& r = halves[i];
        const bool down = pushed_ == (i == 0 ? 1 : -1);
        dc.FillSolidRect(r, GetSysColor(COLOR_BTNFACE));
        if (down) {
            dc.FrameRect(r, GetSysColor(COLOR_BTNSHADOW));
        } else {
            dc.Draw3dRect(r, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW));
            Rect in = r;
            in.DeflateRect(1, 1);
            dc.Draw3dRect(in, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        }
        const COLORREF arrow = IsWindowEnabled() ? RGB(0, 0, 0) : GetSysColor(COLOR_BTNSHADOW);
        const int cx = (r.left + r.right) / 2 + (down ? 1 : 0);
        const int cy = (r.top + r.bottom) / 2 + (down ? 1 : 0);
        for (int k = 0; k < 3; ++k) {
            const int y = i == 0 ? cy - 1 + k : cy + 1 - k;
            dc.FillSolidRect(Rect(cx - k, y, cx + k + 1, y + 1), arrow);
        }
    }
}

void SpinButton::OnLButtonDown(unsigned, Point point) {
    pushed_ = point.y < GetClientRect().Height() / 2 ? 1 : -1;
    Invalidate(false);
    Step(pushed_);
}

void SpinButton::OnLButtonUp(unsigned, Point) {
    pushed_ = 0;
    Invalidate(false);
}

// ---- Slider -------------------------------------------------------------------------------------

bool Slider::Create(std::uint32_t style, const Rect& rect, Wnd* parent, int id) {
    return Wnd::Create(style | WS_CHILD, rect, parent, id);
}

void Slider::SetRange(int minimum, int maximum, bool redraw) {
    min_ = minimum;
    max_ = std::max(minimum, maximum);
    pos_ = std::clamp(pos_, min_, max_);
    if (redraw && IsWindow()) Invalidate(false);
}

void Slider::SetPos(int pos) {
    pos_ = std::clamp(pos, min_, max_);
    if (IsWindow()) Invalidate(false);
}

Rect Slider::ThumbRect() const {
    const Rect c = GetClientRect();
    const int span = std::max(0, c.Width() - kThumbWidth);
    const long long range = static_cast<long long>(max_) - min_;
    const int x = range > 0 ? static_cast<int>((static_cast<long long>(pos_) - min_) * span / range) : 0;
    return Rect(x, 2, x + kThumbWidth, std::max(2, c.Height() - 2));
}

int Slider::PosAt(int x) const {
    const int span = std::max(1, GetClientRect().Width() - kThumbWidth);
    const long long range = static_cast<long long>(max_) - min_;
    const long long offset = std::clamp(x - kThumbWidth / 2, 0, span);
    return static_cast<int>(min_ + (offset * range + span / 2) / span);
}

void Slider::MoveTo(int pos, int code) {
    pos = std::clamp(pos, min_, max_);
    if (pos != pos_) {
        pos_ = pos;
        Invalidate(false);
    }
    if (Wnd* p = GetParent(); p && IsLiveWnd(this)) p->OnHScroll(code, pos_);
}

void Slider::OnPaint(Dc& dc) {
    const Rect c = GetClientRect();
    dc.FillSolidRect(c, GetSysColor(COLOR_BTNFACE));
    // The channel: a sunken groove across the middle.
    const int mid = c.Height() / 2;
    const Rect channel(kThumbWidth / 2, mid - 2, c.right - kThumbWidth / 2, mid + 2);
    dc.Draw3dRect(channel, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    Rect in = channel;
    in.DeflateRect(1, 1);
    dc.FillSolidRect(in, IsWindowEnabled() ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE));
    // The thumb: a raised button face.
    const Rect t = ThumbRect();
    dc.FillSolidRect(t, GetSysColor(COLOR_BTNFACE));
    dc.Draw3dRect(t, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    Rect inner = t;
    inner.DeflateRect(1, 1);
    dc.Draw3dRect(inner, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
    if (GetFocus() == this) {
        dc.FrameRect(c, GetSysColor(COLOR_BTNSHADOW));
    }
}

void Slider::OnLButtonDown(unsigned, Point point) {
    if (!IsWindowEnabled()) return;
    SetFocus();
    SetCapture();
    dragging_ = true;
    MoveTo(PosAt(point.x), SB_THUMBTRACK);
}

void Slider::OnMouseMove(unsigned, Point point) {
    if (dragging_) MoveTo(PosAt(point.x), SB_THUMBTRACK);
}

void Slider::OnLButtonUp(unsigned, Point point) {
    if (!dragging_) return;
    dragging_ = false;
    if (GetCapture() == this) ReleaseCapture();
    MoveTo(PosAt(point.x), SB_THUMBPOSITION);
}

void Slider::OnKeyDown(unsigned key, unsigned, unsigned) {
    const int page = std::max(1, static_cast<int>((static_cast<long long>(max_) - min_) / 10));
    switch (key) {
        case VK_LEFT: MoveTo(pos_ - 1, SB_LINEUP); break;
        case VK_RIGHT: MoveTo(pos_ + 1, SB_LINEDOWN); break;
        case VK_PRIOR: MoveTo(pos_ - page, SB_PAGEUP); break;
        case VK_NEXT: MoveTo(pos_ + page, SB_PAGEDOWN); break;
        case VK_HOME: MoveTo(min_, SB_TOP); break;
        case VK_END: MoveTo(max_, SB_BOTTOM); break;
        default: break;
    }
}

}  // namespace rymd::ui
