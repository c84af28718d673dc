#include "platform/media/source/DecodedFrameCache.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
}

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/media/AVHandles.h"
#include "platform/media/source/Movie.h"
#include "platform/media/source/MovieFrameRenderer.h"

namespace av = media::av;

namespace {

constexpr int64_t kUnknown = -1;
constexpr int64_t kForever = INT64_MAX;
constexpr int kDrawing = 0, kBackground = 1;
constexpr auto kLongestWait = std::chrono::seconds(20);

// Thrown by the background decoder's observer to give up a run that is no
// longer wanted.
struct RunAbandoned {};

size_t PictureBytes(const AVFrame* frame) {
    size_t bytes = 0;
    for (const AVBufferRef* buffer : frame->buf)
        if (buffer != nullptr) bytes += buffer->size;
    if (bytes == 0)
        bytes = size_t(std::max(0, av_image_get_buffer_size(AVPixelFormat(frame->format), frame->width, frame->height, 1)));
    return std::max<size_t>(bytes, 1);
}

}  // namespace

struct DecodedFrameCache::Impl {
    // A picture and the time the next one starts (unknown until the next
    // one has been decoded in the same run; for ever after the last one).
    struct Entry {
        av::Frame frame;
        int64_t until = kUnknown;
    };
    struct Link {
        int64_t time = kUnknown;
        int run = -1;
    };
    // A background run: decode the frames of these sample indexes; keep
    // those between keepFrom and keepTo.
    struct Plan {
        size_t from, to, keepFrom, keepTo;
        bool operator==(const Plan&) const = default;
    };

    Impl(const Movie& movie, int capacity)
        : layout(movie.Layout()), times(movie.VisualSampleTimes()), drawer(movie),
          requestedCapacity(std::max(4, capacity)), capacity(requestedCapacity) {
        stamps.reserve(times.size());
        for (int64_t t : times) stamps.push_back(drawer.StampAt(t));
        drawer.SetFrameObserver(
            [this](const AVFrame* frame, int64_t time, int run) { Keep(kDrawing, frame, time, run); });
    }

    ~Impl() {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        changed.notify_all();
        if (worker.joinable()) worker.join();
    }

    // ---- Which frames: sample indexes around a stamp ----
    // (Pictures are looked up as the renderer picks them: by the stamps of
    // the stream, each movie time turned into the latest stamp it shows.)

    size_t IndexAt(int64_t stamp) const {
        auto after = std::upper_bound(stamps.begin(), stamps.end(), stamp);
        return after == stamps.begin() ? 0 : size_t(after - stamps.begin()) - 1;
    }
    // Stepping back is what is expensive, so most of the cache lies behind.
    // One place is left over for the picture a decoder holds ready past the
    // window's end: it hands that one over only once, when it decodes it.
    size_t Behind() const { return size_t(capacity) * 3 / 4; }
    size_t Ahead() const { return size_t(capacity) - Behind() - 2; }
    size_t WindowStart(size_t index) const { return index - std::min(index, Behind()); }
    size_t WindowEnd(size_t index) const { return std::min(stamps.size() - 1, index + Ahead()); }

    // 0 at the centre, 1 at the edges of the window (and the place past
    // its end), more outside them.
    double Distance(int64_t t) const {
        if (stamps.empty()) return 0;
        const size_t index = IndexAt(center);
        if (t <= center) return double(center - t) / double(std::max<int64_t>(1, center - stamps[WindowStart(index)]));
        const size_t past = std::min(stamps.size() - 1, WindowEnd(index) + 1);
        return double(t - center) / double(std::max<int64_t>(1, stamps[past] - center));
    }

    // ---- The pictures (the mutex held) ----

    const std::pair<const int64_t, Entry>* Holding(int64_t t) const {
        auto it = entries.upper_bound(t);
        if (it == entries.begin()) return nullptr;
        --it;
        const Entry& e = it->second;
        return it->first == t || (e.until != kUnknown && t < e.until) ? &*it : nullptr;
    }

    bool MakeRoomFor(int64_t t) {
        if (int(entries.size()) < capacity) return true;
        auto farthest = std::max_element(entries.begin(), entries.end(), [this](const auto& a, const auto& b) {
            return Distance(a.first) < Distance(b.first);
        });
        if (Distance(farthest->first) <= Distance(t)) return false;
        entries.erase(farthest);
        return true;
    }

    // The observers of both decoders come here. False when a background
    // run is no longer wanted.
    bool Keep(int source, const AVFrame* frame, int64_t time, int run) {
        std::lock_guard lock(mutex);
        Link& link = links[source];
        if (link.run == run) {
            auto previous = entries.find(link.time);
            if (previous != entries.end() && previous->second.until == kUnknown)
                previous->second.until = frame != nullptr ? time : kForever;
        }
        link = frame != nullptr ? Link{time, run} : Link{};
        changed.notify_all();
        if (source == kBackground) {
            if (stop || fillCenter < stamps[keep.first] || fillCenter > stamps[keep.second]) return false;
            // The run from a key frame up to the window is only passed
            // through. (A picture just past it is kept when there is room:
            // the decoder has it ready and will not hand it over again.)
            if (time < stamps[keep.first]) return true;
        }
        if (frame == nullptr || entries.count(time) != 0) return true;
        if (entries.empty()) capacity = int(std::clamp<size_t>(kMemoryBudget / PictureBytes(frame), 4, size_t(requestedCapacity)));
        if (!MakeRoomFor(time)) return true;
        if (av::Frame copy{av_frame_clone(frame)}) entries.emplace(time, Entry{std::move(copy), kUnknown});
        return true;
    }

    std::optional<Plan> PlanAround(int64_t t) const {
        if (stamps.empty()) return std::nullopt;
        const size_t index = IndexAt(t), lo = WindowStart(index), hi = WindowEnd(index);
        auto held = [this](size_t i) { return Holding(stamps[i]) != nullptr; };
        size_t behind = 0;
        while (behind < index - lo && held(index - 1 - behind)) ++behind;
        bool aheadHeld = true;
        for (size_t i = index; i <= hi && aheadHeld; ++i) aheadHeld = held(i);
        // Refilled when half of what lies behind is used up: a run from a
        // key frame then yields many frames, not one.
        if (aheadHeld && (behind == index - lo || behind >= Behind() / 2)) return std::nullopt;
        size_t from = lo, to = hi;
        while (held(from)) ++from;
        while (held(to)) --to;
        return Plan{from, to, lo, hi};
    }

    // ---- The background thread ----

    void Work() {
        std::unique_ptr<MovieFrameRenderer> decoder;
        std::optional<Plan> lastPlan;
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stop || wanted != done; });
            if (stop) return;
            const uint64_t request = wanted;
            const std::optional<Plan> plan = PlanAround(fillCenter);
            // Nothing to do, or the same run again (frames that do not
            // decode): this request is as filled as it gets.
            if (!plan || plan == lastPlan) {
                done = request;
                lastPlan.reset();
                changed.notify_all();
                continue;
            }
            lastPlan = plan;
            keep = {plan->keepFrom, plan->keepTo};
            runFrom = stamps[plan->from];
            runTo = stamps[plan->to];
            running = true;
            lock.unlock();
            bool failed = false;
            try {
                if (!decoder) {
                    decoder = std::make_unique<MovieFrameRenderer>(layout);
                    decoder->SetFrameObserver([this](const AVFrame* frame, int64_t time, int run) {
                        if (!Keep(kBackground, frame, time, run)) throw RunAbandoned();
                    });
                }
                for (size_t i = plan->from; i <= plan->to; ++i)
                    if (!decoder->DecodeFrameAt(times[i])) break;
            } catch (const RunAbandoned&) {
                lastPlan.reset();
            } catch (const std::exception&) {
                failed = true;
            }
            lock.lock();
            running = false;
            if (failed) {
                broken = true;  // the drawing decodes on its own from now on
                done = wanted;
                changed.notify_all();
                return;
            }
            changed.notify_all();
        }
    }

    MovieLayout layout;
    std::vector<int64_t> times;   // the movie's sample times
    std::vector<int64_t> stamps;  // the latest stamp each of them shows
    MovieFrameRenderer drawer;
    const int requestedCapacity;
    int capacity;

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::map<int64_t, Entry> entries;
    Link links[2];
    int64_t center = 0;
    std::thread worker;
    bool stop = false;
    bool broken = false;  // the background decoder could not be made
    uint64_t wanted = 0, done = 0;  // fill requests made and finished
    int64_t fillCenter = 0;
    bool running = false;
    int64_t runFrom = 0, runTo = -1;
    std::pair<size_t, size_t> keep{0, 0};
};

DecodedFrameCache::DecodedFrameCache(const Movie& movie, int capacity)
    : mImpl(std::make_unique<Impl>(movie, capacity)) {}

DecodedFrameCache::~DecodedFrameCache() = default;

OSErr DecodedFrameCache::DrawFrameAt(int64_t movieTime, OffscreenWorld& world) {
    Impl& c = *mImpl;
    const int64_t stamp = c.drawer.StampAt(movieTime);
    av::Frame frame;
    {
        std::unique_lock lock(c.mutex);
        c.center = stamp;
        // The background run on its way there brings it sooner than
        // decoding it a second time here would.
        if (c.Holding(stamp) == nullptr && c.running && c.runFrom <= stamp && stamp <= c.runTo)
            c.changed.wait_for(lock, kLongestWait, [&] {
                return c.Holding(stamp) != nullptr || !c.running || stamp < c.runFrom || stamp > c.runTo;
            });
        if (const auto* held = c.Holding(stamp)) frame.reset(av_frame_clone(held->second.frame.get()));
    }
    if (frame) return c.drawer.DrawDecodedFrame(frame.get(), world);
    return c.drawer.DrawFrameAt(movieTime, world);
}

void DecodedFrameCache::FillAround(int64_t movieTime) {
    Impl& c = *mImpl;
    const int64_t stamp = c.drawer.StampAt(movieTime);
    {
        std::lock_guard lock(c.mutex);
        c.center = stamp;
        if (c.broken || (stamp == c.fillCenter && c.wanted != 0)) return;
        c.fillCenter = stamp;
        ++c.wanted;
        if (!c.worker.joinable()) c.worker = std::thread([&c] { c.Work(); });
    }
    c.changed.notify_all();
}

bool DecodedFrameCache::WaitUntilFilled(std::chrono::milliseconds timeout) {
    Impl& c = *mImpl;
    std::unique_lock lock(c.mutex);
    return c.changed.wait_for(lock, timeout, [&c] { return c.done == c.wanted && !c.running; });
}

int DecodedFrameCache::CachedFrames() const {
    std::lock_guard lock(mImpl->mutex);
    return int(mImpl->entries.size());
}
