#include "mbwnd/edit_boxes.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QWidget>

namespace MbWnd {

namespace {

// Swallows the paint requests of the box's editor: the client area stays as erased.
class NoPaint final : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override { return e->type() == QEvent::Paint; }
};

}  // namespace

void CExEditBox::OnHostCreated() {
    Edit::OnHostCreated();
    QWidget* h = GetWidget();
    QWidget* editor = h ? h->focusProxy() : nullptr;
    if (!editor) return;
    editor->setAttribute(Qt::WA_NoSystemBackground);
    editor->setAutoFillBackground(false);
    editor->installEventFilter(new NoPaint(editor));
    if (auto* area = qobject_cast<QAbstractScrollArea*>(editor)) {
        area->viewport()->setAutoFillBackground(false);
        area->viewport()->installEventFilter(new NoPaint(area->viewport()));
    }
}

}  // namespace MbWnd
