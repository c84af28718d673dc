#include "platform/media/ColourDescription.h"

namespace {

bool IsStandardFamily(int code) {
    return code == colour::kBt709 || code == colour::kBt470bg || code == colour::kSmpte170m || code == colour::kBt2020;
}

}  // namespace

ColourDescription ColourDescription::WithConventions(int width, int height) const {
    ColourDescription c = *this;
    // A tagged matrix (or failing that, tagged primaries) says which family
    // the untagged rest belongs to; the picture's size decides otherwise.
    int family = IsStandardFamily(matrix) ? matrix : primaries;
    if (!IsStandardFamily(family)) {
        const bool hd = height >= 720 || width >= 1280;
        family = hd ? colour::kBt709 : (height == 576 || height == 288) ? colour::kBt470bg : colour::kSmpte170m;
    }
    if (c.matrix == colour::kUnspecified) c.matrix = family == colour::kBt470bg ? colour::kSmpte170m : family;
    if (c.primaries == colour::kUnspecified) c.primaries = family;
    if (c.transfer == colour::kUnspecified)
        c.transfer = family == colour::kBt709 ? colour::kBt709 : family == colour::kBt2020 ? colour::kBt2020Ten : colour::kSmpte170m;
    return c;
}

ColourDescription ColourDescription::Bt709() {
    return ColourDescription{colour::kBt709, colour::kBt709, colour::kBt709, false, 8};
}

ColourDescription ColourDescription::Bt601() {
    return ColourDescription{colour::kSmpte170m, colour::kSmpte170m, colour::kSmpte170m, false, 8};
}
