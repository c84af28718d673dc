#include "platform/media/source/Movie.h"

#include <algorithm>

#include "platform/media/source/MovieFrameRenderer.h"
#include "platform/media/source/MovieProbe.h"

namespace av = media::av;

// The container stays open for the sample index; for containers without a
// complete index the visual sample times come from one pass over the video
// packets (no decoding), made when they are first asked for.
struct Movie::Index {
    av::FormatInput input;
    bool built = false;
    std::vector<int64_t> times;
};

namespace {

std::vector<int64_t> TimesFromIndexEntries(const MovieLayout& layout, AVStream* s) {
    std::vector<int64_t> dts;
    int count = avformat_index_get_entries_count(s);
    dts.reserve(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* e = avformat_index_get_entry(s, i);
        if (!e || (e->flags & AVINDEX_DISCARD_FRAME)) continue;
        dts.push_back(e->timestamp);
    }
    std::vector<int64_t> times;
    if (dts.empty()) return times;
    // The index holds decoding times; with constant frame durations the
    // presentation times are the same set moved so the first frame is at
    // the stream's start, which is movie time 0. Reordered frames of
    // varying durations (phone footage) have other presentation times:
    // those come from the packets instead.
    const bool reordered = s->codecpar->video_delay > 0;
    for (size_t i = 2; reordered && i < dts.size(); ++i)
        if (dts[i] - dts[i - 1] != dts[1] - dts[0]) return times;
    int64_t first = *std::min_element(dts.begin(), dts.end());
    times.reserve(dts.size());
    for (int64_t t : dts)
        times.push_back(av_rescale_q_rnd(t - first, s->time_base, AVRational{1, layout.timeScale}, AV_ROUND_UP));
    return times;
}

std::vector<int64_t> TimesFromPackets(const MovieLayout& layout, AVFormatContext* f) {
    std::vector<int64_t> times;
    AVStream* s = f->streams[layout.videoStream];
    for (unsigned i = 0; i < f->nb_streams; ++i)
        f->streams[i]->discard = int(i) == layout.videoStream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    av::Packet packet = av::MakePacket();
    while (packet && av_read_frame(f, packet.get()) >= 0) {
        if (packet->stream_index == layout.videoStream && !(packet->flags & AV_PKT_FLAG_DISCARD)) {
            int64_t ts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
            if (ts != AV_NOPTS_VALUE) times.push_back(movie_probe::ToMovieTimeCeil(layout, ts, s->time_base));
        }
        av_packet_unref(packet.get());
    }
    return times;
}

}  // namespace

std::unique_ptr<Movie> Movie::Open(const std::string& path) {
    std::unique_ptr<Movie> movie(new Movie());
    movie->mIndex = std::make_unique<Index>();
    movie->mIndex->input = movie_probe::OpenAndDescribe(path, movie->mLayout);
    if (movie->mLayout.videoStream >= 0 && movie->mLayout.isQuickTimeFamily) {
        movie->mIndex->times =
            TimesFromIndexEntries(movie->mLayout, movie->mIndex->input->streams[movie->mLayout.videoStream]);
        movie->mIndex->built = !movie->mIndex->times.empty();
    }
    return movie;
}

Movie::~Movie() = default;

const std::vector<int64_t>& Movie::VisualSampleTimes() const {
    Index& index = *mIndex;
    if (!index.built) {
        index.built = true;
        if (mLayout.videoStream >= 0) index.times = TimesFromPackets(mLayout, index.input.get());
    }
    if (!std::is_sorted(index.times.begin(), index.times.end()) ||
        std::adjacent_find(index.times.begin(), index.times.end()) != index.times.end()) {
        std::sort(index.times.begin(), index.times.end());
        index.times.erase(std::unique(index.times.begin(), index.times.end()), index.times.end());
    }
    return index.times;
}

int64_t Movie::NextVisualSampleTime(int64_t time, int direction) const {
    const auto& times = VisualSampleTimes();
    if (direction > 0) {
        auto it = std::upper_bound(times.begin(), times.end(), time);
        return it == times.end() ? -1 : *it;
    }
    if (direction < 0) {
        auto it = std::lower_bound(times.begin(), times.end(), time);
        return it == times.begin() ? -1 : *(it - 1);
    }
    return -1;
}

void Movie::Anchor() {
    mAnchorClock = mNow();
    mAnchorTime = mCurrentTime;
}

void Movie::SetCurrentTime(int64_t time) {
    mCurrentTime = std::clamp<int64_t>(time, 0, std::max<int64_t>(0, mLayout.duration));
    Anchor();
}

void Movie::SetRate(int32_t rate) {
    Task();  // time played so far counts at the old rate
    mRate = rate;
    Anchor();
}

void Movie::Task() {
    if (mRate == 0) return;
    auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(mNow() - mAnchorClock).count();
    // elapsed seconds x rate x time scale, in 128-bit to stay exact for long runs.
    __int128 advance = __int128(elapsed) * mRate * mLayout.timeScale / (__int128(1000000) * kFixedOne);
    __int128 t = __int128(mAnchorTime) + advance;
    if (mRate > 0 && t >= mLayout.duration) {
        mCurrentTime = mLayout.duration;
        mRate = 0;
        Anchor();
    } else if (t <= 0 && mRate < 0) {
        mCurrentTime = 0;
        mRate = 0;
        Anchor();
    } else {
        mCurrentTime = int64_t(t);
    }
}

OSErr Movie::DrawCurrentFrame(OffscreenWorld& world) {
    if (!HasVideo()) return kTrackNotInMovieErr;
    try {
        if (!mPictureRenderer) {
            mPictureRenderer = std::make_unique<MovieFrameRenderer>(mLayout);
            mPictureRenderer->SetMatrix(MovieMatrix(), mLayout.boxWidth, mLayout.boxHeight);
        }
        return mPictureRenderer->DrawFrameAt(mCurrentTime, world);
    } catch (const LException& e) {
        return OSErr(e.Code());
    }
}
