// The transform from a source frame to the output picture: flips, then the
// rotation (with the translation that brings the turned picture back to
// the origin), then a scale. Shared by the movie preview and the four-up
// comparison.
#pragma once

#include <QTransform>
#include <cstdint>

#include "platform/media/source/MovieMatrix.h"

MovieMatrix MakeOutputTransform(double sourceWidth, double sourceHeight, double scale, bool flipHorizontal,
                                bool flipVertical, int32_t rotation);

// The same matrix for QPainter.
QTransform ToQTransform(const MovieMatrix& matrix);
