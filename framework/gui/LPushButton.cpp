#include "framework/gui/LPushButton.h"

#include <QVariant>

#include "framework/gui/LCommandMenus.h"
#include "framework/gui/PaletteIcon.h"

namespace {
// The layout's "command" property as a command number; 0 when not given.
CommandT CommandOf(const QWidget* button) {
    const QVariant command = button->property("command");
    if (!command.isValid()) return cmd_Nothing;
    bool ok = false;
    const int number = command.toInt(&ok);
    if (ok) return CommandT(number);
    const QByteArray text = command.toString().toLatin1();
    if (text.size() != 4) return cmd_Nothing;
    uint32_t code = 0;
    for (char c : text) code = (code << 8) | uint8_t(c);
    return CommandT(code);
}
}  // namespace

LPushButton::LPushButton(QWidget* parent) : QPushButton(parent), LControl(this) {
    connect(this, &QPushButton::clicked, this, [this] {
        const CommandT command = CommandOf(this);
        if (command != cmd_Nothing)
            LCommandMenus::Dispatch(command, LCommander::CommanderOf(this));
        else
            BroadcastValueMessage();
    });
}

void LPushButton::SetPaletteIconFile(const QString& file) {
    mPaletteIconFile = file;
    setIcon(file.isEmpty() ? QIcon() : PaletteIcon(file));
}
