// Icons drawn in the palette's button text colour: one-colour pictures (the
// transport, zoom and picture buttons) that stay visible on a light or a
// dark desktop, and grey out with the button.
#pragma once

#include <QIcon>
#include <QString>

// The picture file (usually an SVG resource) as such an icon.
QIcon PaletteIcon(const QString& file);
