// The desktop's light or dark preference. Qt's own platform themes (KDE,
// qt6ct) hand the program a dark palette themselves; where the desktop
// only says "prefer dark" (the desktop portal's colour scheme, as GNOME and
// KDE set it; a GTK theme of the form NAME:dark or NAME-dark; or
// MOVELARK_COLOR_SCHEME=dark|light), the program puts on a dark palette of
// its own, so that its windows do not stay light on a dark desktop.
#pragma once

#include <QPalette>

enum class ColourScheme { Unknown, Light, Dark };

// What the environment asks for: MOVELARK_COLOR_SCHEME, then GTK_THEME,
// then the desktop portal.
ColourScheme RequestedColourScheme();
// True when a palette's window colour is darker than its text.
bool IsDarkPalette(const QPalette& palette);
// A dark palette with every role set, for the Fusion style.
QPalette DarkPalette();
// Puts on the dark palette when dark is asked for and the palette in use
// is light; call once the application object exists.
void FollowDesktopColourScheme();
