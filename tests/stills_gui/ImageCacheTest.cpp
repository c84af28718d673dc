// The image cache: thumbnails fitted to their box, rebuilt when the file
// changes, never made for what is not a picture; drawing that queues and
// shows the caching text; the idle pass that works one file at a time.
#include <gtest/gtest.h>

#include <QImage>

#include "appearance/StDrawingContext.h"
#include "model/SChangeInfo.h"
#include "stills/CImageCache.h"
#include "support/Pictures.h"
#include "support/PretendDocModel.h"

using namespace pictures;
using testsupport::Spec;
namespace fs = std::filesystem;

namespace {

// Draws one request into a white canvas; returns what DrawImage answered.
bool DrawInto(QImage& canvas, CImageCache& cache, CObserver* observer, const FSSpec& file) {
    canvas.fill(Qt::white);
    StDrawingContext context(&canvas);
    return cache.DrawImage(observer, file, canvas.rect(), QRegion(canvas.rect()), kScaleOne);
}

int Count(const QImage& image, const QRect& area, bool (*matches)(QRgb)) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += matches(image.pixel(x, y));
    return count;
}
bool IsRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
bool IsYellowish(QRgb c) { return qRed(c) > 150 && qGreen(c) > 150 && qBlue(c) < 100; }

// Replaces a file's contents and moves its time on.
void Rewrite(const fs::path& path, const fs::path& with) {
    fs::copy_file(with, path, fs::copy_options::overwrite_existing);
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
}

TEST(ImageCacheThumbnails, LargePicturesShrinkSmallOnesKeepTheirSizeAndChangedFilesAreRebuilt) {
    CImageCache cache(100, 100);
    const FSSpec wide = Spec(Picture(400, 200)), small = Spec(Picture(60, 40, "blue"));
    ASSERT_TRUE(cache.CacheFile(wide));
    ASSERT_TRUE(cache.CacheFile(small));
    EXPECT_FALSE(cache.CacheFile(small));  // unchanged: nothing new
    EXPECT_EQ(cache.CountEntries(), 2u);
    const SImageData* entry = cache.FindEntry(wide);
    ASSERT_TRUE(entry && entry->hasData);
    EXPECT_EQ(std::pair(entry->picture.width, entry->picture.height), std::pair(100, 50));
    EXPECT_EQ(std::pair(entry->naturalBounds.Width(), entry->naturalBounds.Height()), std::pair(400, 200));
    EXPECT_EQ(std::pair(cache.FindEntry(small)->picture.width, cache.FindEntry(small)->picture.height), std::pair(60, 40));
    EXPECT_FALSE(cache.CacheFile(Spec(BrokenPicture())));
    EXPECT_FALSE(cache.CacheFile(Spec(testsupport::ScratchDir() / "missing.png")));
    EXPECT_EQ(cache.CountEntries(), 2u);

    // A new last-write time rebuilds the entry on the next draw, or fails it.
    const fs::path path = testsupport::ScratchCopy(Picture(400, 200), "touched.png");
    const FSSpec file = Spec(path);
    ASSERT_TRUE(cache.CacheFile(file));
    const uint32_t before = cache.FindEntry(file)->stamp;
    Rewrite(path, Picture(200, 400, "red"));
    QImage canvas(120, 120, QImage::Format_RGB32);
    EXPECT_TRUE(DrawInto(canvas, cache, nullptr, file));
    entry = cache.FindEntry(file);
    ASSERT_NE(entry, nullptr);
    EXPECT_NE(entry->stamp, before);
    EXPECT_EQ(std::pair(entry->picture.width, entry->picture.height), std::pair(50, 100));
    EXPECT_EQ(cache.CountEntries(), 3u);
    Rewrite(path, BrokenPicture("garbage.png"));  // a cached file that broke reports failure
    EXPECT_FALSE(DrawInto(canvas, cache, nullptr, file));
    EXPECT_FALSE(cache.IsCached(file));
}

TEST(ImageCacheDrawing, UncachedFilesAreQueuedOnceCachedOnesDrawnFitted) {
    CImageCache cache;
    RecordingObserver observer;
    const FSSpec file = Spec(Picture(400, 200));
    QImage canvas(120, 60, QImage::Format_RGB32);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(DrawInto(canvas, cache, &observer, file));
    ASSERT_EQ(cache.PendingFiles().size(), 1u);
    EXPECT_TRUE(cache.PendingFiles()[0] == file);
    EXPECT_EQ(cache.CountEntries(), 0u) << "drawing must not cache by itself";
    EXPECT_GT(Count(canvas, QRect(5, 15, 100, 30), IsYellowish), 5) << "no \"Caching...\" text";
    EXPECT_EQ(Count(canvas, canvas.rect(), IsRed), 0);

    ASSERT_TRUE(cache.CacheFile(file));
    QImage big(200, 200, QImage::Format_RGB32);
    ASSERT_TRUE(DrawInto(big, cache, nullptr, file));
    // 400 x 200 fitted into 200 x 200: 200 x 100, centred vertically.
    EXPECT_TRUE(IsRed(big.pixel(100, 100)) && IsRed(big.pixel(2, 52)));
    EXPECT_FALSE(IsRed(big.pixel(100, 40)) || IsRed(big.pixel(100, 160)));
}

TEST(ImageCacheIdle, OneFilePerPassAtMostEveryTenTicksWithTheRightNotifications) {
    CImageCache cache;
    std::vector<std::pair<int32_t, std::string>> heard;
    struct Listener : CObserver {
        std::vector<std::pair<int32_t, std::string>>* heard;
        void Update(OSType kind, int32_t code, void* arg1, int32_t, int32_t, int32_t) override {
            if (kind == kSenderImageCache && arg1) heard->emplace_back(code, static_cast<FSSpec*>(arg1)->Path());
        }
    } observer;
    observer.heard = &heard;
    const fs::path good = Picture(400, 200), broken = BrokenPicture();
    const fs::path meanwhile = Picture(120, 90);
    QImage canvas(100, 100, QImage::Format_RGB32);
    for (const fs::path& file : {good, broken, good, meanwhile}) DrawInto(canvas, cache, &observer, Spec(file));
    ASSERT_EQ(cache.PendingFiles().size(), 3u);
    ASSERT_TRUE(cache.CacheFile(Spec(meanwhile)));  // cached meanwhile: reported ready without work

    const uint32_t now = 1000000;
    for (uint32_t tick : {now, now + 9, now + 10, now + 20}) cache.RunIdlePass(tick);  // now + 9: too soon
    using Heard = std::vector<std::pair<int32_t, std::string>>;
    EXPECT_EQ(heard, (Heard{{kChangeImageReady, good.string()},
                            {kChangeImageFailed, broken.string()},
                            {kChangeImageReady, meanwhile.string()}}));
    EXPECT_TRUE(cache.PendingFiles().empty());
    EXPECT_TRUE(cache.IsCached(Spec(good)));
    EXPECT_FALSE(cache.IsCached(Spec(broken)));
    DrawInto(canvas, cache, &observer, Spec(broken));  // a failed file is not remembered
    EXPECT_EQ(cache.PendingFiles().size(), 1u);
}

}  // namespace
