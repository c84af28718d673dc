#include "appearance/ColourScheme.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QStyleFactory>

namespace {

// The desktop portal's colour-scheme setting (GNOME, KDE and others set it
// from their appearance settings): 1 prefers dark, 2 prefers light.
ColourScheme PortalColourScheme() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr) return ColourScheme::Unknown;
    const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    if (!bus.interface()->isServiceRegistered(service)) return ColourScheme::Unknown;
    QDBusInterface settings(service, QStringLiteral("/org/freedesktop/portal/desktop"),
                            QStringLiteral("org.freedesktop.portal.Settings"), bus);
    settings.setTimeout(500);
    const QDBusMessage reply = settings.call(QStringLiteral("Read"), QStringLiteral("org.freedesktop.appearance"),
                                             QStringLiteral("color-scheme"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return ColourScheme::Unknown;
    // The value comes wrapped in one or two variants.
    QVariant value = reply.arguments().first();
    while (value.canConvert<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
    switch (value.toUInt()) {
        case 1: return ColourScheme::Dark;
        case 2: return ColourScheme::Light;
        default: return ColourScheme::Unknown;
    }
}

}  // namespace

ColourScheme RequestedColourScheme() {
    const QString own = qEnvironmentVariable("MOVELARK_COLOR_SCHEME").toLower();
    if (own == QLatin1String("dark")) return ColourScheme::Dark;
    if (own == QLatin1String("light")) return ColourScheme::Light;
    const QString gtk = qEnvironmentVariable("GTK_THEME").toLower();
    if (gtk.endsWith(QLatin1String(":dark")) || gtk.endsWith(QLatin1String("-dark"))) return ColourScheme::Dark;
    if (!gtk.isEmpty()) return ColourScheme::Light;
    return PortalColourScheme();
}

bool IsDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < palette.color(QPalette::WindowText).lightness();
}

QPalette DarkPalette() {
    const QColor window(53, 53, 53), base(35, 35, 35), text(230, 230, 230), disabled(128, 128, 128);
    const QColor highlight(42, 130, 218);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(255, 80, 80));
    p.setColor(QPalette::Light, QColor(80, 80, 80));
    p.setColor(QPalette::Midlight, QColor(66, 66, 66));
    p.setColor(QPalette::Mid, QColor(100, 100, 100));
    p.setColor(QPalette::Dark, QColor(30, 30, 30));
    p.setColor(QPalette::Shadow, QColor(10, 10, 10));
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(100, 170, 240));
    p.setColor(QPalette::LinkVisited, QColor(170, 130, 230));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    p.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 80, 80));
    p.setColor(QPalette::Disabled, QPalette::HighlightedText, disabled);
    return p;
}

void FollowDesktopColourScheme() {
    if (RequestedColourScheme() != ColourScheme::Dark || IsDarkPalette(QApplication::palette())) return;
    // The native look of most styles ignores a palette; Fusion draws with it.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    QApplication::setPalette(DarkPalette());
}
