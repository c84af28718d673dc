#include <gtest/gtest.h>

#include <QImage>
#include <thread>
#include <vector>

#include "appearance/StDrawingContext.h"
#include "fourup/CImageCache.h"
#include "model/CObserver.h"
#include "model/SChangeInfo.h"
#include "tests/fourup_gui/FourUpTestSupport.h"

using namespace fouruptest;

namespace {
struct Heard {
    int32_t code;
    FSSpec file;
};

class RecordingObserver : public CObserver {
public:
    void Update(OSType kind, int32_t code, void* arg1, int32_t, int32_t, int32_t) override {
        if (kind == kSenderImageCache && arg1 != nullptr) heard.push_back({code, *static_cast<FSSpec*>(arg1)});
    }
    std::vector<Heard> heard;
};

// Draws one request into a white canvas; returns what DrawImage answered.
bool DrawInto(QImage& canvas, CImageCache& cache, CObserver* observer, const FSSpec& file, const QRect& target,
              FixedScale scale = kScaleOne) {
    StDrawingContext context(&canvas);
    return cache.DrawImage(observer, file, target, QRegion(canvas.rect()), scale);
}

QImage WhiteCanvas(int width, int height) {
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    return canvas;
}

int CountPixels(const QImage& image, const QRect& area, bool (*matches)(QRgb)) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (matches(image.pixel(x, y))) ++count;
    return count;
}
bool IsRed(QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; }
bool IsYellowish(QRgb c) { return qRed(c) > 150 && qGreen(c) > 150 && qBlue(c) < 100; }
}  // namespace

TEST(ImageCacheThumbnails, ALargePictureShrinksToTheBoxAndASmallOneKeepsItsSize) {
    CImageCache cache(100, 100);
    const FSSpec wide = Spec(Picture(400, 200));
    const FSSpec small = Spec(Picture(60, 40, "blue"));
    ASSERT_TRUE(cache.CacheFile(wide));
    ASSERT_TRUE(cache.CacheFile(small));

    const SImageData* entry = cache.FindEntry(wide);
    ASSERT_NE(entry, nullptr);
    ASSERT_TRUE(entry->hasData);
    EXPECT_EQ(entry->picture.width, 100);
    EXPECT_EQ(entry->picture.height, 50);
    EXPECT_EQ(entry->naturalBounds.Width(), 400);
    EXPECT_EQ(entry->naturalBounds.Height(), 200);
    OffscreenWorld decoded;
    ASSERT_TRUE(DecompressImage(entry->picture, decoded));
    EXPECT_EQ(decoded.Width(), 100);
    EXPECT_EQ(decoded.Height(), 50);
    const uint8_t* middle = decoded.Row(25) + 50 * 3;
    EXPECT_GT(middle[0], 200);
    EXPECT_LT(middle[1], 60);

    const SImageData* kept = cache.FindEntry(small);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->picture.width, 60);
    EXPECT_EQ(kept->picture.height, 40);
}

TEST(ImageCacheThumbnails, CachingTheSameUnchangedFileAgainMakesNothingNew) {
    CImageCache cache;
    const FSSpec file = Spec(Picture(120, 90));
    EXPECT_TRUE(cache.CacheFile(file));
    EXPECT_FALSE(cache.CacheFile(file));
    EXPECT_EQ(cache.CountEntries(), 1u);
}

TEST(ImageCacheThumbnails, ANewLastWriteTimeRebuildsTheEntryOnTheNextDraw) {
    CImageCache cache;
    const auto path = ScratchCopy(Picture(400, 200), "touched.png");
    const FSSpec file = Spec(path);
    ASSERT_TRUE(cache.CacheFile(file));
    const uint32_t before = cache.FindEntry(file)->stamp;
    // Same size, new contents and a new time: the next draw must show the new picture.
    std::filesystem::copy_file(Picture(200, 400, "red"), path, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));

    QImage canvas = WhiteCanvas(120, 120);
    EXPECT_TRUE(DrawInto(canvas, cache, nullptr, file, QRect(0, 0, 120, 120)));
    const SImageData* entry = cache.FindEntry(file);
    ASSERT_NE(entry, nullptr);
    EXPECT_NE(entry->stamp, before);
    EXPECT_EQ(entry->picture.width, 50);
    EXPECT_EQ(entry->picture.height, 100);
    EXPECT_EQ(cache.CountEntries(), 1u);
}

TEST(ImageCacheThumbnails, AFileThatIsNotAPictureIsNeverCached) {
    CImageCache cache;
    EXPECT_FALSE(cache.CacheFile(Spec(BrokenPicture())));
    EXPECT_FALSE(cache.CacheFile(Spec(fouruptest::TestDir() / "missing.png")));
    EXPECT_EQ(cache.CountEntries(), 0u);
}

TEST(ImageCacheDrawing, AnUncachedFileIsQueuedOnceAndShowsTheCachingText) {
    CImageCache cache;
    RecordingObserver observer;
    const FSSpec file = Spec(Picture(400, 200));
    QImage canvas = WhiteCanvas(120, 60);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(DrawInto(canvas, cache, &observer, file, QRect(0, 0, 120, 60)));
    ASSERT_EQ(cache.PendingFiles().size(), 1u);
    EXPECT_TRUE(cache.PendingFiles()[0] == file);
    EXPECT_TRUE(cache.HasObserver(&observer));
    EXPECT_EQ(cache.CountObservers(), 1);
    EXPECT_EQ(cache.CountEntries(), 0u) << "drawing must not cache by itself";
    EXPECT_GT(CountPixels(canvas, QRect(5, 15, 100, 30), IsYellowish), 5) << "no \"Caching...\" text";
    EXPECT_EQ(CountPixels(canvas, canvas.rect(), IsRed), 0);
}

TEST(ImageCacheDrawing, ACachedFileIsDrawnFittedAndScaled) {
    CImageCache cache;
    const FSSpec file = Spec(Picture(400, 200));
    ASSERT_TRUE(cache.CacheFile(file));
    QImage canvas = WhiteCanvas(200, 200);
    ASSERT_TRUE(DrawInto(canvas, cache, nullptr, file, QRect(0, 0, 200, 200)));
    // 400 x 200 fitted into 200 x 200: 200 x 100, centred vertically.
    EXPECT_TRUE(IsRed(canvas.pixel(100, 100)));
    EXPECT_TRUE(IsRed(canvas.pixel(2, 52)));
    EXPECT_FALSE(IsRed(canvas.pixel(100, 40)));
    EXPECT_FALSE(IsRed(canvas.pixel(100, 160)));

    // At half scale the picture is 200 x 100 before fitting: small enough to stay so.
    EXPECT_EQ(ScaledPictureRect(MakeRect(0, 0, 400, 200), kScaleOne / 2, QRect(0, 0, 300, 300)),
              QRect(50, 100, 200, 100));
    EXPECT_TRUE(cache.PendingFiles().empty());
}

TEST(ImageCacheDrawing, ACachedFileThatBrokeReportsFailure) {
    CImageCache cache;
    const auto path = ScratchCopy(Picture(400, 200), "willbreak.png");
    const FSSpec file = Spec(path);
    ASSERT_TRUE(cache.CacheFile(file));
    std::filesystem::copy_file(BrokenPicture("garbage.png"), path, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
    QImage canvas = WhiteCanvas(100, 100);
    EXPECT_FALSE(DrawInto(canvas, cache, nullptr, file, QRect(0, 0, 100, 100)));
    EXPECT_FALSE(cache.IsCached(file));
}

TEST(ImageCacheIdle, OneFilePerPassAtMostEveryTenTicksWithTheRightNotifications) {
    CImageCache cache;
    RecordingObserver observer;
    const FSSpec good = Spec(Picture(400, 200));
    const FSSpec broken = Spec(BrokenPicture());
    QImage canvas = WhiteCanvas(100, 100);
    DrawInto(canvas, cache, &observer, good, QRect(0, 0, 100, 100));
    DrawInto(canvas, cache, &observer, broken, QRect(0, 0, 100, 100));
    DrawInto(canvas, cache, &observer, good, QRect(0, 0, 100, 100));
    ASSERT_EQ(cache.PendingFiles().size(), 2u);

    const uint32_t now = 1000000;
    cache.RunIdlePass(now);
    ASSERT_EQ(observer.heard.size(), 1u);
    EXPECT_EQ(observer.heard[0].code, kChangeImageReady);
    EXPECT_TRUE(observer.heard[0].file == good);
    EXPECT_TRUE(cache.IsCached(good));

    cache.RunIdlePass(now + 9);  // too soon
    EXPECT_EQ(observer.heard.size(), 1u);
    cache.RunIdlePass(now + 10);
    ASSERT_EQ(observer.heard.size(), 2u);
    EXPECT_EQ(observer.heard[1].code, kChangeImageFailed);
    EXPECT_TRUE(observer.heard[1].file == broken);
    EXPECT_TRUE(cache.PendingFiles().empty());
    EXPECT_FALSE(cache.IsCached(broken));

    // A failed file is not remembered: the next draw queues it again.
    DrawInto(canvas, cache, &observer, broken, QRect(0, 0, 100, 100));
    EXPECT_EQ(cache.PendingFiles().size(), 1u);
}

TEST(ImageCacheIdle, AFileCachedMeanwhileIsReportedReadyWithoutWork) {
    CImageCache cache;
    RecordingObserver observer;
    const FSSpec file = Spec(Picture(400, 200));
    QImage canvas = WhiteCanvas(100, 100);
    DrawInto(canvas, cache, &observer, file, QRect(0, 0, 100, 100));
    ASSERT_TRUE(cache.CacheFile(file));
    cache.RunIdlePass(5000000);
    ASSERT_EQ(observer.heard.size(), 1u);
    EXPECT_EQ(observer.heard[0].code, kChangeImageReady);
    EXPECT_EQ(cache.CountEntries(), 1u);
}
