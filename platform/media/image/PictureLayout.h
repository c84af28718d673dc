// Where pictures go: fitting one into a box.
#pragma once

#include <cstdint>

#include "platform/media/Rect.h"

// Scales the picture down to fit the box when it is wider or taller than the
// box (keeping its aspect ratio; the limiting side takes the box's size),
// then centres it in the box; offsets are rounded half up.
Rect FitPictureInBox(const Rect& picture, const Rect& box);
