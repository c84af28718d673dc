// A document model over a pretend movie (its size, duration and stored
// settings set by the test), an observer that records every change, and
// video settings segments. Shared by the tests and the fuzz targets.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/CObserver.h"
#include "model/CTambleDocModel.h"
#include "model/DescriptionTime.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/encode/VideoSettings.h"

class PretendDocModel : public CTambleDocModel {
public:
    // What the pretend movie reports when it is "loaded".
    int32_t movieWidth = 320;
    int32_t movieHeight = 240;
    STimeValue movieDuration{6000, 600};
    bool canCompress = true;
    std::function<bool(const FSSpec&)> canOpen = [](const FSSpec&) { return true; };
    Handle storedSettings;                         // null: the movie holds no settings
    std::vector<std::string> calls;

    // Puts the model in the state of a freshly opened movie.
    void Load() {
        mSourceWidth = movieWidth;
        mSourceHeight = movieHeight;
        mDuration = movieDuration;
        CutCropToSource();
        RecomputeAspect();
    }

    bool CanCompress() override { return canCompress; }
    void SaveSettingsToMovie() override { storedSettings = WriteSettings(); }
    OSErr SaveMovieAs(const FSSpec&) override { return noErr; }
    OSErr Compress(const FSSpec&, CompressionService&) override { return noErr; }  // the service is not used
    void LoadMovieInfo() override {
        calls.push_back("LoadMovieInfo");
        mSourceWidth = movieWidth;
        mSourceHeight = movieHeight;
        mDuration = movieDuration;
    }
    bool CanOpen(const FSSpec& spec) override { return canOpen(spec); }
    void ReadSettingsFromMovie() override {
        calls.push_back("ReadSettingsFromMovie");
        if (!storedSettings.IsNull()) ReadSettings(storedSettings);
    }
    void OpenMovie() override { calls.push_back("OpenMovie"); }
};

// A compression service for models that never call one.
struct UnusedCompressionService : CompressionService {
    OSErr CompressMovieFile(const FSSpec&, const FSSpec&, const SCompressSettings&, std::string*) override {
        return -4;  // unimpErr
    }
};

class RecordingObserver : public CObserver {
public:
    std::vector<int32_t> codes;
    void Update(OSType, int32_t changeCode, void*, int32_t, int32_t, int32_t) override { codes.push_back(changeCode); }
    std::vector<int32_t> Take() { return std::exchange(codes, {}); }
};

// A freshly loaded pretend model and an observer that records its changes.
struct WatchedModel {
    PretendDocModel model;
    RecordingObserver observer;
    WatchedModel() {
        model.Load();
        observer.Observe(&model);
    }
};

namespace docsupport {

// A video settings description as the settings dialog writes it,
// optionally with a span in 1/600 s.
inline std::unique_ptr<Handle> MakeSegment(OSType codec = FourCC("avc1"), uint32_t quality = 0x200) {
    return std::make_unique<Handle>(MakeVideoSettings(codec, int32_t(quality)));
}

inline std::unique_ptr<Handle> MakeSegment(int32_t start600, int32_t end600, OSType codec = FourCC("avc1"),
                                           uint32_t quality = 0x200) {
    auto h = MakeSegment(codec, quality);
    SetDescriptionTime(h.get(), STimeValue{start600, 600}, STimeValue{end600, 600});
    return h;
}

// A settings record written field by field, big-endian; by default it starts
// with an empty document's header (version, no crop, size or rotation, no
// flags, no watermark, the default placement) and the caller adds the lists.
class RecordBytes {
public:
    explicit RecordBytes(bool header = true) {
        if (header) U32(0x00010000).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U32(0).U16(0).U32(0).U8(0).U32(12);
    }
    RecordBytes& U32(uint32_t v) { return U16(uint16_t(v >> 16)).U16(uint16_t(v)); }
    RecordBytes& U16(uint16_t v) { return U8(uint8_t(v >> 8)).U8(uint8_t(v)); }
    RecordBytes& U8(uint8_t v) { return Raw(std::string(1, char(v))); }
    RecordBytes& Raw(const std::string& bytes) {
        mBytes += bytes;
        return *this;
    }
    // An empty document's record: the header and four zero counts.
    static std::string Empty() { return RecordBytes().U32(0).U32(0).U32(0).U32(0).Str(); }
    const std::string& Str() const { return mBytes; }
    Handle ToHandle() const { return Handle(mBytes.data(), mBytes.size()); }

private:
    std::string mBytes;
};

inline STimeValue T600(int32_t v) { return STimeValue{v, 600}; }

struct Span600 {
    int32_t start, end;
    friend bool operator==(const Span600&, const Span600&) = default;
    friend std::ostream& operator<<(std::ostream& os, const Span600& s) {
        return os << "[" << s.start << ", " << s.end << "]";
    }
};
using SpanList = std::vector<Span600>;

// Segments over the spans, for a model to lay as a stored record would.
inline std::vector<std::unique_ptr<Handle>> MakeSegments(const SpanList& spans, OSType codec = FourCC("avc1")) {
    std::vector<std::unique_ptr<Handle>> out;
    for (const Span600& s : spans) out.push_back(MakeSegment(s.start, s.end, codec));
    return out;
}

inline Span600 SpanIn600(const Handle* h) {
    STimeValue s, e;
    GetDescriptionTime(h, s, e);
    return Span600{s.ValueIn(600), e.ValueIn(600)};
}

inline SpanList Spans(const CDescriptionList& list) {
    SpanList out;
    for (int32_t i = 1; i <= list.Count(); ++i) out.push_back(SpanIn600(list.Get(i)));
    return out;
}

inline SpanList Ranges(CTambleDocModel& model) {
    SpanList out;
    for (int32_t i = 1; i <= model.ExcludedRangeCount(); ++i) {
        const TimeRange* r = model.GetExcludedRange(i);
        out.push_back(Span600{r->start.ValueIn(600), r->end.ValueIn(600)});
    }
    return out;
}

}  // namespace docsupport
