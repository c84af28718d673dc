#include "framework/gui/LControl.h"

#include <QVariant>

MessageT LControl::GetValueMessage() const {
    const QVariant message = mSelf->property("message");
    if (message.isValid()) {
        bool ok = false;
        const int number = message.toInt(&ok);
        if (ok) return MessageT(number);
        const QByteArray text = message.toString().toLatin1();
        if (text.size() == 4) {
            uint32_t code = 0;
            for (char c : text) code = (code << 8) | uint8_t(c);
            return MessageT(code);
        }
    }
    return GetPaneID();
}

void LControl::BroadcastValueMessage() {
    int32_t value = GetValue();
    Broadcast(GetValueMessage(), &value);
}
