// The thumbnail of a filter: the test picture run through the filter.
#pragma once

#include <QImage>

#include "framework/Handle.h"

// False when the filter could not run (the image then shows the test
// picture as it is) or the test picture is missing (a null image).
bool MakeFilterThumbnail(const Handle& filter, QImage& outPicture);
