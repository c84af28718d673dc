// Image files (watermarks, thumbnails): whatever the bytes, the reader
// either refuses with a reason or gives a picture within the size limits,
// and never allocates for a size the file only claims.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "platform/media/image/ImageDecoding.h"

FUZZ_STARTS_MEDIA_LAYER

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The name's extension steers the still-image demuxer; the bytes
    // decide the rest, so one name serves every format.
    static const fuzz::ScratchFile file(".png");
    file.Write(data, size);
    OffscreenWorld picture;
    std::string error;
    if (DecodeImageFile(file.Path(), picture, error)) {
        FUZZ_CHECK(error.empty());
        FUZZ_CHECK(picture.Width() > 0 && picture.Height() > 0);
        FUZZ_CHECK(picture.Width() <= kMaxImageSide && picture.Height() <= kMaxImageSide);
        FUZZ_CHECK(int64_t(picture.Width()) * picture.Height() <= kMaxImagePixels);
        OffscreenWorld scaled;
        if (ScaleImage(picture, 7, 5, scaled)) FUZZ_CHECK(scaled.Width() == 7 && scaled.Height() == 5);
    } else {
        FUZZ_CHECK(!error.empty());
    }
    return 0;
}
