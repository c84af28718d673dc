// A movie matrix as QPainter takes it.
#pragma once

#include <QTransform>

#include "platform/media/source/MovieMatrix.h"

QTransform ToQTransform(const MovieMatrix& matrix);
