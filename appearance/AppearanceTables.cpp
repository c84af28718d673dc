#include "appearance/AppearanceTables.h"

#include <algorithm>
#include <initializer_list>

namespace {
bool In(int16_t n, std::initializer_list<int> set) {
    return std::find(set.begin(), set.end(), int(n)) != set.end();
}
bool InRange(int16_t n, int lo, int hi) { return n >= lo && n <= hi; }

ThemeColorSource System(SystemColor c) { return ThemeColorSource{c, QColor()}; }
ThemeColorSource Fixed(int r, int g, int b) { return ThemeColorSource{SystemColor::Fixed, QColor(r, g, b)}; }
}  // namespace

std::optional<QColor> ColorForCode(int16_t code) {
    switch (code) {
        case kColorWhite: return QColor(255, 255, 255);
        case kColorBlack: return QColor(0, 0, 0);
        case kColorYellow: return QColor(128, 128, 0);
        case kColorMagenta: return QColor(128, 0, 128);
        case kColorRed: return QColor(255, 0, 0);
        case kColorCyan: return QColor(0, 128, 128);
        case kColorGreen: return QColor(0, 255, 0);
        case kColorBlue: return QColor(0, 0, 255);
        default: return std::nullopt;
    }
}

std::optional<ThemeColorSource> ThemeColorSourceFor(int16_t n) {
    if (In(n, {1, 2, 4, 6, 8, 25, 26, 27, 29, 30, 31, 44, 46, 47})) return System(SystemColor::ButtonFace);
    if (In(n, {3, 5, 7, 9, 10, 11, 12, 15, 16}) || InRange(n, 19, 24))
        return System(SystemColor::WindowBackground);
    if (n == 13) return Fixed(0, 128, 128);
    if (n == 14) return System(SystemColor::Highlight);
    if (n == 17 || n == 18) return System(SystemColor::ScrollBar);
    if (n == 28) return System(SystemColor::InactiveBorder);
    if (In(n, {32, 36, 40})) return System(SystemColor::DarkShadow3D);
    if (In(n, {33, 37, 41})) return System(SystemColor::ButtonHighlight);
    if (In(n, {34, 38, 42, 45})) return System(SystemColor::ButtonShadow);
    if (In(n, {35, 39, 43})) return System(SystemColor::Light3D);
    if (n == 48) return Fixed(0, 255, 0);
    return std::nullopt;
}

std::optional<ThemeColorSource> ThemeTextColorSourceFor(int16_t n) {
    if (In(n, {1, 3, 5, 21, 23, 25, 27, 29, 47})) return System(SystemColor::CaptionText);
    if (In(n, {2, 4, 6, 24, 26, 28, 30})) return System(SystemColor::InactiveCaptionText);
    if (In(n, {7, 8, 9, 11, 31, 32, 34, 35})) return System(SystemColor::MenuText);
    if (In(n, {10, 19, 33, 36})) return System(SystemColor::GrayText);
    if (InRange(n, 12, 18) || n == 20 || n == 22 || InRange(n, 37, 46)) return System(SystemColor::ButtonText);
    if (n == kTextColorBlack) return Fixed(0, 0, 0);
    if (n == kTextColorWhite) return Fixed(255, 255, 255);
    return std::nullopt;
}

QColor ResolveSystemColor(const ThemeColorSource& source, const QPalette& p) {
    switch (source.system) {
        case SystemColor::ButtonFace: return p.color(QPalette::Active, QPalette::Button);
        case SystemColor::WindowBackground: return p.color(QPalette::Active, QPalette::Base);
        case SystemColor::Highlight: return p.color(QPalette::Active, QPalette::Highlight);
        case SystemColor::ScrollBar: return p.color(QPalette::Active, QPalette::Midlight);
        case SystemColor::InactiveBorder: return p.color(QPalette::Inactive, QPalette::Window);
        case SystemColor::DarkShadow3D: return p.color(QPalette::Active, QPalette::Shadow);
        case SystemColor::ButtonHighlight: return p.color(QPalette::Active, QPalette::Light);
        case SystemColor::ButtonShadow: return p.color(QPalette::Active, QPalette::Dark);
        case SystemColor::Light3D: return p.color(QPalette::Active, QPalette::Midlight);
        case SystemColor::CaptionText: return p.color(QPalette::Active, QPalette::WindowText);
        case SystemColor::InactiveCaptionText: return p.color(QPalette::Inactive, QPalette::PlaceholderText);
        case SystemColor::MenuText: return p.color(QPalette::Active, QPalette::Text);
        case SystemColor::GrayText: return p.color(QPalette::Disabled, QPalette::Text);
        case SystemColor::ButtonText: return p.color(QPalette::Active, QPalette::ButtonText);
        case SystemColor::Fixed: return source.fixed;
    }
    return source.fixed;
}

std::optional<CursorKind> CursorKindFor(int16_t n) {
    if (In(n, {0, 1, 2, 3, 10, 11, 12, 13})) return CursorKind::Arrow;
    switch (n) {
        case 4: return CursorKind::IBeam;
        case 5:
        case 6: return CursorKind::Crosshair;
        case 7: return CursorKind::Busy;
        case 8: return CursorKind::Resource202;
        case 9: return CursorKind::Resource201;
        case 14: return CursorKind::ArrowBusy;
        case 15:
        case 16:
        case 17:
        case 1002: return CursorKind::SizeWestEast;
        case 1000: return CursorKind::SizeNorthwestSoutheast;
        case 1001: return CursorKind::SizeNortheastSouthwest;
        case 1003: return CursorKind::SizeNorthSouth;
        case 1004: return CursorKind::Move;
        default: return std::nullopt;
    }
}
