#include "docwindow/LHintMouseTracker.h"

#include <QApplication>

#include "framework/gui/LAttachment.h"
#include "docwindow/LHintAttachment.h"

namespace {
QPointer<QWidget>& Last() {
    static QPointer<QWidget> last;
    return last;
}

bool IsPane(const QWidget* w) {
    const QString name = w->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}
}  // namespace

LHintMouseTracker::~LHintMouseTracker() = default;

QWidget* LHintMouseTracker::PaneAt(QPoint global) {
    QWidget* w = QApplication::widgetAt(global);
    while (w != nullptr && !IsPane(w) && !w->isWindow()) w = w->parentWidget();
    if (w == nullptr || w->isWindow()) return nullptr;
    return w;
}

QWidget* LHintMouseTracker::LastPane() { return Last().data(); }

void LHintMouseTracker::ForgetLastPane() { Last() = nullptr; }

void LHintMouseTracker::SpendTime(const EventRecord& event) {
    if (event.what == kHighLevelEvent) return;
    QWidget* current = PaneAt(QPoint(event.where.h, event.where.v));
    QWidget* last = Last().data();
    void* parameter = const_cast<EventRecord*>(&event);
    if (current == last) {
        if (current != nullptr) LAttachment::ExecuteAttachments(current, msg_MouseWithin, parameter);
    } else {
        if (last != nullptr) LAttachment::ExecuteAttachments(last, msg_MouseLeft, parameter);
        if (current != nullptr) LAttachment::ExecuteAttachments(current, msg_MouseEntered, parameter);
    }
    Last() = current;
}
