// The numbers the views draw with and what they stand for: colour codes,
// theme colours (fills), theme text colours and cursor numbers. Theme
// colours name a role of the system palette, so the views follow the
// desktop's light or dark look; a few are fixed colours.
#pragma once

#include <QColor>
#include <QPalette>
#include <cstdint>
#include <optional>

// Colour codes of the pen and frame operations.
enum : int16_t {
    kColorWhite = 30,
    kColorBlack = 33,
    kColorYellow = 69,
    kColorMagenta = 137,
    kColorRed = 205,
    kColorCyan = 273,
    kColorGreen = 341,
    kColorBlue = 409,
};

// Text colours that are fixed whatever the palette.
constexpr int16_t kTextColorBlack = -1;
constexpr int16_t kTextColorWhite = -2;

// Where a theme colour comes from.
enum class SystemColor {
    ButtonFace,
    WindowBackground,
    Highlight,
    ScrollBar,
    InactiveBorder,
    DarkShadow3D,
    ButtonHighlight,
    ButtonShadow,
    Light3D,
    CaptionText,
    InactiveCaptionText,
    MenuText,
    GrayText,
    ButtonText,
    Fixed,
};

struct ThemeColorSource {
    SystemColor system = SystemColor::Fixed;
    QColor fixed;  // for SystemColor::Fixed
};

// None for a number outside the table.
std::optional<QColor> ColorForCode(int16_t code);
std::optional<ThemeColorSource> ThemeColorSourceFor(int16_t themeColor);
std::optional<ThemeColorSource> ThemeTextColorSourceFor(int16_t textColor);

// The colour of a system colour in a palette.
QColor ResolveSystemColor(const ThemeColorSource& source, const QPalette& palette);

// Cursor shapes of SetThemeCursor.
enum class CursorKind {
    Arrow,
    IBeam,
    Crosshair,
    Busy,
    Resource202,  // the hand that holds the picture (scrolling by hand)
    Resource201,  // the open hand
    ArrowBusy,
    SizeWestEast,
    SizeNorthwestSoutheast,
    SizeNortheastSouthwest,
    SizeNorthSouth,
    Move,
};

std::optional<CursorKind> CursorKindFor(int16_t cursorNumber);
