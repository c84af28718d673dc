#include "catalogs/FilterThumbnail.h"

#include "catalogs/CatalogDrawing.h"
#include "platform/media/effects/EffectRendering.h"

bool MakeFilterThumbnail(const Handle& filter, QImage& outPicture) {
    OffscreenWorld world = WorldFromImage(CatalogPicture(kTestPicture));
    if (world.IsEmpty()) {
        outPicture = QImage();
        return false;
    }
    // Running a filter rewrites its source atoms; the caller's stays as it is.
    Handle copy = filter;
    const bool ok = ApplyFilter(world, copy);
    outPicture = ImageFromWorld(world);
    return ok;
}
