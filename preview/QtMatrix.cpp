#include "preview/QtMatrix.h"

QTransform ToQTransform(const MovieMatrix& m) {
    return QTransform(m.At(0, 0), m.At(0, 1), m.At(1, 0), m.At(1, 1), m.At(2, 0), m.At(2, 1));
}
