#include "preview/OutputTransform.h"

MovieMatrix MakeOutputTransform(double width, double height, double scale, bool flipHorizontal,
                                bool flipVertical, int32_t rotation) {
    MovieMatrix m;
    if (flipHorizontal) m.Scale(-1, 1).Translate(width, 0);
    if (flipVertical) m.Scale(1, -1).Translate(0, height);
    if (rotation != 0) {
        m.Rotate(rotation);
        switch (rotation) {
            case 90: m.Translate(height, 0); break;
            case 180: m.Translate(width, height); break;
            case 270: m.Translate(0, width); break;
            default: break;
        }
    }
    if (scale != 1.0) m.Scale(scale, scale);
    return m;
}

QTransform ToQTransform(const MovieMatrix& m) {
    return QTransform(m.At(0, 0), m.At(0, 1), m.At(1, 0), m.At(1, 1), m.At(2, 0), m.At(2, 1));
}
