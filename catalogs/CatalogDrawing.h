// Drawing pieces the catalog grids and the filter list share: toolbox
// rectangles, the cell text styles, the selection highlight, and pictures
// fitted into a cell. Everything draws into the drawing context that is
// open (StDrawingContext).
#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <cstdint>

#include "platform/media/OffscreenWorld.h"
#include "platform/media/Rect.h"

// Pictures of the resource file the catalogs use.
constexpr int16_t kTestPicture = 2001;         // test image of dialogs and filter thumbnails
constexpr int16_t kEffectPresetPicture = 2002;
constexpr int16_t kVideoPresetPicture = 2003;
constexpr int16_t kAudioPresetPicture = 2200;

constexpr int16_t kListBackgroundTheme = 3;    // window background
constexpr int16_t kContentThemeActive = 45;
constexpr int16_t kContentThemeInactive = 47;

Rect ToToolboxRect(const QRect& r);

// Text style 9 (active) and 10 (inactive): the small system font, in
// button text or the dimmer inactive caption text.
void UseCellTextStyle(bool active);
int16_t CellTextColor(bool active);

// A cell's background: raised while the window is active, flat and dim
// (still legible) while it is not.
void DrawCellBackground(const QRect& cell, bool active);

// The highlight of a selected cell, drawn over its active part.
void DrawSelectionHighlight(const QRect& active);

// A picture scaled down to fit the box keeping its proportions and centred
// in it; a picture smaller than the box keeps its size.
QRect FitPictureRect(QSize picture, const QRect& box);
// The picture resource fitted into the box.
void DrawFittedPicture(int16_t pictureID, const QRect& box, bool active);
void DrawFittedPixmap(const QPixmap& picture, const QRect& box, bool active);

// A picture resource (":/PICT/<n>.png"); null when missing.
QImage CatalogPicture(int16_t pictureID);

// Conversions between offscreen worlds and images (RGB24 both ways).
OffscreenWorld WorldFromImage(const QImage& image);
QImage ImageFromWorld(const OffscreenWorld& world);
