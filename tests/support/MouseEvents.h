// Mouse events sent straight to a widget, as a hand on the mouse makes them:
// the left button goes down at the press and up at the release.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <initializer_list>

namespace testsupport {

inline void SendMouse(QWidget* target, QEvent::Type type, QPoint where, Qt::KeyboardModifiers modifiers = {}) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(where), target->mapToGlobal(QPointF(where)), button, buttons, modifiers);
    QApplication::sendEvent(target, &event);
}

// Presses at the first point, moves through the others, releases at the last.
inline void DragThrough(QWidget* target, std::initializer_list<QPoint> path, Qt::KeyboardModifiers modifiers = {}) {
    SendMouse(target, QEvent::MouseButtonPress, *path.begin(), modifiers);
    for (auto it = path.begin() + 1; it != path.end(); ++it) SendMouse(target, QEvent::MouseMove, *it, modifiers);
    SendMouse(target, QEvent::MouseButtonRelease, *(path.end() - 1), modifiers);
}

}  // namespace testsupport
