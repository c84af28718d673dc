#include "docwindow/UserActionWatcher.h"

#include <QCoreApplication>
#include <QKeyEvent>

UserActionWatcher::UserActionWatcher(std::function<void()> onAction) : mOnAction(std::move(onAction)) {
    if (QCoreApplication* app = QCoreApplication::instance()) app->installEventFilter(this);
}

UserActionWatcher::~UserActionWatcher() {
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool UserActionWatcher::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Drop:
            mOnAction();
            break;
        // A shortcut reaches its action without a key press event.
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
            if (!static_cast<QKeyEvent*>(event)->isAutoRepeat()) mOnAction();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}
