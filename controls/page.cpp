#include "controls/page.h"

#include <QChildEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>

#include "controls/fonts.h"
#include "controls/window_messages.h"

namespace {

bool IsEnterKey(const QEvent* event) {
    const auto* key = static_cast<const QKeyEvent*>(event);
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

CPage::CPage(const DialogResource& resource, QWidget* parent) : QWidget(parent) {
    // Every child, including those built below, is watched for Enter (see event()).
    layout_ = DialogLayout::Build(*this, resource, DialogFont());
    for (QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
        KeepFromBeingDefault(*button);
    }
    hide();
}

void CPage::KeepFromBeingDefault(QPushButton& button) {
    // A page has no default button: hosted in a dialog, a button that could become the
    // default would be clicked by Enter pressed anywhere else on the page.
    button.setAutoDefault(false);
    button.setDefault(false);
}

void CPage::SetHost(QObject* host) {
    host_ = host;
}

bool CPage::PostPageSwitch(int code, int argument) const {
    return ::PostPageSwitch(host_.data(), code, argument);
}

bool CPage::event(QEvent* event) {
    if (event->type() == QEvent::ChildPolished) {
        // Buttons a page adds after construction are complete by the time they are polished.
        if (auto* button = qobject_cast<QPushButton*>(static_cast<QChildEvent*>(event)->child())) {
            KeepFromBeingDefault(*button);
        }
    }
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) {
            // The child may still be under construction; its type is checked per key event.
            child->installEventFilter(this);
        }
    }
    return QWidget::event(event);
}

bool CPage::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::ShortcutOverride) && IsEnterKey(event) &&
        IsPageButton(watched)) {
        if (type == QEvent::ShortcutOverride) {
            // Claim the key so that no shortcut of the host takes it before the button does.
            event->accept();
            return true;
        }
        // The key is consumed even when the click is refused (a disabled button).
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CPage::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
}

bool CPage::IsPageButton(const QObject* object) const {
    return qobject_cast<const QPushButton*>(object) != nullptr && object->parent() == this;
}
