// The application's one thumbnail cache: image files become small
// compressed pictures in idle time, one file at a time, and are drawn back
// on request. Observers hear 'xxIC' 5 when a file is in the cache and 6
// when caching it failed (arg1: the file reference, valid during the call).
#pragma once

#include <QRect>
#include <QRegion>
#include <cstdint>
#include <vector>

#include "framework/LPeriodical.h"
#include "model/CSubject.h"
#include "platform/media/FSSpec.h"
#include "platform/media/Rect.h"
#include "platform/media/encode/StillImageCompressor.h"

class CObserver;

struct SImageData {
    FSSpec file;
    uint32_t stamp = 0;          // low 32 bits of the file's last-write time
    bool hasData = false;        // false when compression failed
    CompressedImage picture;     // the thumbnail and what decoding it needs
    Rect naturalBounds;          // of the source picture
};

// 16.16 fixed point, as the drawing scale.
using FixedScale = int32_t;
constexpr FixedScale kScaleOne = 0x10000;

class CImageCache : public CSubject, public LPeriodical {
public:
    // At most one file every this many ticks.
    static constexpr uint32_t kIdleInterval = 10;

    CImageCache(int32_t maxWidth = 100, int32_t maxHeight = 100);
    ~CImageCache() override;

    // Draws the file's thumbnail fitted into target (image coordinates of
    // the current drawing context), or queues the file and draws
    // "Caching...". False only when the file was cached but could be drawn
    // neither from its entry nor from the file itself.
    bool DrawImage(CObserver* observer, const FSSpec& file, const QRect& target, const QRegion& clip,
                   FixedScale scale = kScaleOne);

    // Caches one file now. True when a new entry was made; false when the
    // file was already cached with the same stamp or could not be cached
    // (then IsCached tells which).
    bool CacheFile(const FSSpec& file);

    // One pass of the idle task at this tick count.
    void RunIdlePass(uint32_t now);
    void SpendTime(const EventRecord& event) override;

    const SImageData* FindEntry(const FSSpec& file) const;
    bool IsCached(const FSSpec& file) const { return FindEntry(file) != nullptr; }
    const std::vector<FSSpec>& PendingFiles() const { return mPending; }
    size_t CountEntries() const { return mEntries.size(); }
    int32_t MaxWidth() const { return mMaxWidth; }
    int32_t MaxHeight() const { return mMaxHeight; }

    // The application's one cache, owned by the application object; null
    // when there is none (tools, tests).
    static CImageCache* GetApplicationCache();
    static void SetApplicationCache(CImageCache* cache);

    // Low 32 bits of the file's last-write time (nanoseconds since the
    // epoch, so that quick successive writes differ); 0 when unreadable.
    static uint32_t ReadStamp(const FSSpec& file);

private:
    void Queue(const FSSpec& file);
    void RemoveEntry(const FSSpec& file);
    static void DrawPlaceholder(const QRect& target, const QRegion& clip);
    static bool DrawFromFile(const FSSpec& file, const QRect& target, const QRegion& clip, FixedScale scale);

    std::vector<FSSpec> mPending;
    std::vector<SImageData> mEntries;
    int32_t mMaxWidth;
    int32_t mMaxHeight;
    uint32_t mNextRun = 0;
};

// The rectangle a picture of these natural bounds takes in target at this
// scale: moved to the origin, right and bottom scaled, fitted into target.
QRect ScaledPictureRect(const Rect& naturalBounds, FixedScale scale, const QRect& target);
