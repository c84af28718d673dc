#include "framework/gui/LGuiEventLoop.h"

#include <QCursor>
#include <QGuiApplication>

#include "framework/Ticks.h"

EventRecord LGuiEventLoop::CurrentEventRecord() const { return MouseEventRecord(); }

EventRecord LGuiEventLoop::MouseEventRecord() {
    EventRecord event;
    event.what = nullEvent;
    event.when = TickCount();
    const QPoint where = QCursor::pos();
    event.where.h = where.x();
    event.where.v = where.y();
    const Qt::KeyboardModifiers keys = QGuiApplication::keyboardModifiers();
    if (keys & Qt::ShiftModifier) event.modifiers |= shiftKey;
    if (keys & Qt::ControlModifier) event.modifiers |= controlKey;
    if (keys & Qt::AltModifier) event.modifiers |= optionKey;
    if (keys & Qt::MetaModifier) event.modifiers |= cmdKey;
    if (QGuiApplication::mouseButtons() & Qt::LeftButton) event.modifiers |= btnState;
    return event;
}
