#include "stills/CImageCache.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <filesystem>

#include "appearance/AppearanceTables.h"
#include "appearance/StDrawingContext.h"
#include "framework/Ticks.h"
#include "model/CObserver.h"
#include "model/SChangeInfo.h"
#include "platform/media/image/ImageFileReader.h"
#include "platform/media/image/PictureLayout.h"

namespace {

// A cached or freshly read picture, scaled smoothly into `where` (image
// coordinates) inside the clip.
void DrawPicture(StDrawingContext& context, QPainter& p, const OffscreenWorld& picture, const QRect& where,
                 const QRegion& clip) {
    const QImage::Format format =
        picture.PixelFormat() == OffscreenWorld::Format::RGBA32 ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
    const QImage image(picture.Pixels(), picture.Width(), picture.Height(), picture.Stride(), format);
    p.save();
    p.setClipRegion(context.MapRegion(clip), Qt::IntersectClip);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(context.MapRect(where), image);
    p.restore();
}
constexpr int32_t kNormalQuality = 512;
constexpr int32_t kImportModeCache = 1;

CImageCache* gApplicationCache = nullptr;

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
Rect ToRect(const QRect& r) { return MakeRect(r.left(), r.top(), r.width(), r.height()); }
}  // namespace

QRect ScaledPictureRect(const Rect& naturalBounds, FixedScale scale, const QRect& target) {
    const int64_t width = (int64_t(naturalBounds.Width()) * scale) >> 16;
    const int64_t height = (int64_t(naturalBounds.Height()) * scale) >> 16;
    const Rect picture = MakeRect(0, 0, int(std::clamp<int64_t>(width, 0, 16000)),
                                  int(std::clamp<int64_t>(height, 0, 16000)));
    return ToQRect(FitPictureInBox(picture, ToRect(target)));
}

CImageCache::CImageCache(int32_t maxWidth, int32_t maxHeight)
    : mMaxWidth(maxWidth), mMaxHeight(maxHeight), mNextRun(0) {
    StartIdleTask();
}

CImageCache::~CImageCache() {
    StopIdleTask();
    if (gApplicationCache == this) gApplicationCache = nullptr;
}

CImageCache* CImageCache::GetApplicationCache() { return gApplicationCache; }
void CImageCache::SetApplicationCache(CImageCache* cache) { gApplicationCache = cache; }

uint32_t CImageCache::ReadStamp(const FSSpec& file) {
    if (!file.IsSet()) return 0;
    std::error_code error;
    const auto written = std::filesystem::last_write_time(file.Path(), error);
    if (error) return 0;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
    const uint32_t stamp = uint32_t(uint64_t(ns));
    return stamp == 0 ? 1 : stamp;  // 0 means "could not be read"
}

const SImageData* CImageCache::FindEntry(const FSSpec& file) const {
    for (const SImageData& entry : mEntries)
        if (entry.file == file) return &entry;
    return nullptr;
}

void CImageCache::RemoveEntry(const FSSpec& file) {
    std::erase_if(mEntries, [&](const SImageData& entry) { return entry.file == file; });
}

bool CImageCache::CacheFile(const FSSpec& file) {
    const uint32_t stamp = ReadStamp(file);
    if (const SImageData* entry = FindEntry(file)) {
        if (stamp != 0 && entry->stamp == stamp && entry->hasData) return false;
        RemoveEntry(file);
    }
    if (stamp == 0) return false;

    ImageFileReader reader(file, kImportModeCache);
    if (!reader.HasImporter()) return false;
    const Rect natural = reader.NaturalBounds();
    Rect thumb = FitPictureInBox(natural, MakeRect(0, 0, mMaxWidth, mMaxHeight));
    thumb = MakeRect(0, 0, thumb.Width(), thumb.Height());
    if (thumb.IsEmpty()) return false;

    OffscreenWorld world(thumb.Width(), thumb.Height(), OffscreenWorld::Format::RGB24);
    world.Fill(255, 255, 255);
    reader.SetDrawingWorld(&world);
    reader.SetDestRect(thumb);
    reader.Draw();

    SImageData entry;
    entry.file = file;
    entry.stamp = stamp;
    entry.naturalBounds = natural;
    // The small lossless codec first; this FFmpeg may refuse it, then JPEG.
    entry.hasData = CompressImageOnce(world, FourCC("rpza"), kNormalQuality, entry.picture) ||
                    CompressImageOnce(world, FourCC("jpeg"), kNormalQuality, entry.picture);
    mEntries.push_back(std::move(entry));
    return true;
}

void CImageCache::Queue(const FSSpec& file) {
    if (std::find(mPending.begin(), mPending.end(), file) == mPending.end()) mPending.push_back(file);
}

void CImageCache::RunIdlePass(uint32_t now) {
    if (int32_t(now - mNextRun) < 0) return;
    if (!mPending.empty()) {
        FSSpec file = mPending.front();
        mPending.erase(mPending.begin());
        const bool ready = IsCached(file) || CacheFile(file);
        Notify(kSenderImageCache, ready ? kChangeImageReady : kChangeImageFailed, &file);
    }
    mNextRun = now + kIdleInterval;
}

void CImageCache::SpendTime(const EventRecord&) { RunIdlePass(TickCount()); }

bool CImageCache::DrawImage(CObserver* observer, const FSSpec& file, const QRect& target, const QRegion& clip,
                            FixedScale scale) {
    if (IsCached(file)) {
        CacheFile(file);  // rebuilds the entry when the file changed
        const SImageData* entry = FindEntry(file);
        if (entry != nullptr && entry->hasData) {
            OffscreenWorld pixels;
            StDrawingContext* context = StDrawingContext::GetCurrent();
            QPainter* p = context != nullptr ? context->GetDeviceContext() : nullptr;
            if (!DecompressImage(entry->picture, pixels)) return DrawFromFile(file, target, clip, scale);
            if (p == nullptr) return true;
            DrawPicture(*context, *p, pixels, ScaledPictureRect(entry->naturalBounds, scale, target), clip);
            return true;
        }
        return DrawFromFile(file, target, clip, scale);
    }
    if (observer != nullptr) Attach(observer);
    Queue(file);
    DrawPlaceholder(target, clip);
    return true;
}

bool CImageCache::DrawFromFile(const FSSpec& file, const QRect& target, const QRegion& clip, FixedScale scale) {
    ImageFileReader reader(file, kImportModeCache);
    if (!reader.HasImporter()) return false;
    StDrawingContext* context = StDrawingContext::GetCurrent();
    QPainter* p = context != nullptr ? context->GetDeviceContext() : nullptr;
    if (p == nullptr) return true;
    DrawPicture(*context, *p, reader.Picture(), ScaledPictureRect(reader.NaturalBounds(), scale, target), clip);
    return true;
}

void CImageCache::DrawPlaceholder(const QRect& target, const QRegion& clip) {
    StDrawingContext* context = StDrawingContext::GetCurrent();
    QPainter* p = context != nullptr ? context->GetDeviceContext() : nullptr;
    if (p == nullptr) return;
    p->save();
    p->setClipRegion(context->MapRegion(clip), Qt::IntersectClip);
    QFont font = p->font();
    font.setBold(true);
    p->setFont(font);
    p->setPen(*ColorForCode(kColorYellow));
    p->setBackground(Qt::white);
    const int middle = target.top() + (target.height() + 1) / 2;
    p->drawText(context->MapPoint(target.left() + 5, middle), QStringLiteral("Caching..."));
    p->restore();
    context->SetPenColor(kColorBlack);
}
