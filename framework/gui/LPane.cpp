#include "framework/gui/LPane.h"

namespace {
bool IsCodeCharacter(uint8_t c) { return c >= 0x20 && c < 0x7F; }
}  // namespace

QString PaneName(PaneIDT id) {
    const uint32_t code = uint32_t(id);
    const char chars[4] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
    bool printable = true;
    for (char c : chars) printable = printable && IsCodeCharacter(uint8_t(c));
    if (printable) return QString::fromLatin1(chars, 4);
    return QString::number(id);
}

PaneIDT PaneIDOf(const QObject* widget) {
    if (widget == nullptr) return 0;
    const QString name = widget->objectName();
    if (name.size() == 4) {
        const QByteArray bytes = name.toLatin1();
        bool printable = true;
        for (char c : bytes) printable = printable && IsCodeCharacter(uint8_t(c));
        if (printable) {
            uint32_t code = 0;
            for (char c : bytes) code = (code << 8) | uint8_t(c);
            return PaneIDT(code);
        }
    }
    bool ok = false;
    const int number = name.toInt(&ok);
    return ok ? PaneIDT(number) : 0;
}
