#include "docwindow/WindowKeys.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
bool IsTextField(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
        qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w))
        return true;
    const auto* combo = qobject_cast<const QComboBox*>(w);
    return combo != nullptr && combo->isEditable();
}
}  // namespace

// Key events go to the focus widget before its window sees them, so the
// filter watches the whole program and picks out this window's keys.
WindowKeys::WindowKeys(QWidget* window, std::function<void(const QKeyEvent&)> handler)
    : mWindow(window), mHandler(std::move(handler)) {
    qApp->installEventFilter(this);
}

WindowKeys::~WindowKeys() { qApp->removeEventFilter(this); }

bool WindowKeys::IsDocumentKey(const QKeyEvent& key, const QWidget* focus) {
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (key.key()) {
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Left:
        case Qt::Key_Right:
            return !IsTextField(focus);
        case Qt::Key_Space:
            return !IsTextField(focus) && qobject_cast<const QAbstractButton*>(focus) == nullptr;
        default:
            return false;
    }
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != mWindow) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    // A key a text field let pass climbs to its parents: still the field's.
    const QWidget* focus = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : widget;
    if (!IsDocumentKey(key, focus) || !IsDocumentKey(key, widget)) return false;
    mHandler(key);
    return true;
}
