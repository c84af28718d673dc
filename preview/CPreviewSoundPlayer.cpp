#include "preview/CPreviewSoundPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

namespace {
constexpr int kChunksPerSecond = 25;  // 40 ms of sound per read
constexpr int kBufferMilliseconds = 200;
}  // namespace

// What the device reads the sound from.
class CPreviewSoundPlayer::Source : public QIODevice {
public:
    explicit Source(CPreviewSoundPlayer& player) : mPlayer(player) {}
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override { return mPlayer.Produce(data, maxSize); }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    CPreviewSoundPlayer& mPlayer;
};

CPreviewSoundPlayer::CPreviewSoundPlayer(std::string moviePath) : mPath(std::move(moviePath)) {}

CPreviewSoundPlayer::~CPreviewSoundPlayer() { Stop(); }

bool CPreviewSoundPlayer::HasOutputDevice() {
    if (QCoreApplication::instance() == nullptr) return false;
    return !QMediaDevices::defaultAudioOutput().isNull();
}

bool CPreviewSoundPlayer::OpenReader() {
    if (mReader) return true;
    if (mReaderFailed) return false;
    try {
        mReader = SoundReader::Open(mPath);
    } catch (const LException&) {
        mReaderFailed = true;  // a movie without sound plays silently
    }
    return mReader != nullptr && mReader->SampleRate() > 0 && mReader->Channels() > 0;
}

bool CPreviewSoundPlayer::Start(int64_t movieTime, int32_t timeScale, ExcludedSpans excluded) {
    Stop();
    if (timeScale <= 0 || !HasOutputDevice() || !OpenReader()) return false;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(mReader->SampleRate());
    format.setChannelCount(std::min(mReader->Channels(), 2));
    format.setSampleFormat(QAudioFormat::Float);
    if (!device.isFormatSupported(format)) {
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) return false;
    }
    mChannels = format.channelCount();
    mFloatSamples = format.sampleFormat() == QAudioFormat::Float;
    mTimeScale = timeScale;
    mExcluded = excluded;
    mFeedTime = SkipExcluded(movieTime);
    mFramesSent = 0;
    mChunks.clear();
    mPending.clear();
    mPendingOffset = 0;
    mLastHeard = -1;

    mSource = std::make_unique<Source>(*this);
    mSource->open(QIODevice::ReadOnly);
    mSink = new QAudioSink(device, format);
    mSink->setBufferSize(format.bytesForDuration(qint64(kBufferMilliseconds) * 1000));
    mSink->start(mSource.get());
    if (mSink->error() != QAudio::NoError) {
        Stop();
        return false;
    }
    return true;
}

void CPreviewSoundPlayer::Stop() {
    if (mSink != nullptr) {
        mSink->stop();
        delete mSink;
        mSink = nullptr;
    }
    mSource.reset();
    mChunks.clear();
}

void CPreviewSoundPlayer::Resync(int64_t movieTime) {
    if (mSink == nullptr) return;
    mFeedTime = SkipExcluded(movieTime);
    mPending.clear();
    mPendingOffset = 0;
}

int64_t CPreviewSoundPlayer::SkipExcluded(int64_t t) const {
    return mExcluded.PlayFrom(MovieTime(t)).RoundedIn(mTimeScale);
}

bool CPreviewSoundPlayer::DecodeChunk() {
    const int rate = mReader->SampleRate();
    const int sourceChannels = mReader->Channels();
    const int bytesPerSample = mFloatSamples ? 4 : 2;
    const int64_t chunkFrames = std::max(1, rate / kChunksPerSecond);
    const int64_t start = SkipExcluded(mFeedTime);
    int64_t end = start + std::max<int64_t>(1, chunkFrames * mTimeScale / rate);
    end = std::max(start + 1, mExcluded.NextStart(MovieTime(start), MovieTime(end)).RoundedIn(mTimeScale));
    if (mReader->Read(start, end, mTimeScale, mDecoded) != noErr || mDecoded.frames <= 0) return false;

    const int64_t frames = mDecoded.frames;
    mPending.resize(size_t(frames * mChannels * bytesPerSample));
    mPendingOffset = 0;
    const float* in = mDecoded.samples.data();
    for (int64_t f = 0; f < frames; ++f, in += sourceChannels) {
        for (int c = 0; c < mChannels; ++c) {
            const float v = std::clamp(in[c], -1.0f, 1.0f);
            char* out = mPending.data() + (f * mChannels + c) * bytesPerSample;
            if (mFloatSamples) {
                std::memcpy(out, &v, 4);
            } else {
                const int16_t s = int16_t(v * 32767.0f);
                std::memcpy(out, &s, 2);
            }
        }
    }
    mChunks.push_back(Chunk{mFramesSent, frames, start});
    mFramesSent += frames;
    mFeedTime = end;
    return true;
}

int64_t CPreviewSoundPlayer::Produce(char* out, int64_t maxBytes) {
    if (!mReader) return 0;
    int64_t given = 0;
    while (given < maxBytes) {
        if (mPendingOffset >= mPending.size() && !DecodeChunk()) break;
        const int64_t n = std::min<int64_t>(maxBytes - given, int64_t(mPending.size() - mPendingOffset));
        std::memcpy(out + given, mPending.data() + mPendingOffset, size_t(n));
        mPendingOffset += size_t(n);
        given += n;
    }
    return given;
}

std::optional<int64_t> CPreviewSoundPlayer::HeardTime() {
    if (mSink == nullptr || mChunks.empty()) return std::nullopt;
    const qint64 heardMicroseconds = mSink->processedUSecs();
    if (heardMicroseconds <= 0) return std::nullopt;
    if (heardMicroseconds != mLastHeard) {
        mLastHeard = heardMicroseconds;
        mLastAdvance = std::chrono::steady_clock::now();
    }
    const int rate = mReader->SampleRate();
    const int64_t frame = heardMicroseconds * rate / 1000000;
    while (mChunks.size() > 1 && frame >= mChunks.front().firstFrame + mChunks.front().frames)
        mChunks.pop_front();
    const Chunk& chunk = mChunks.front();
    const int64_t into = std::clamp<int64_t>(frame - chunk.firstFrame, 0, chunk.frames);
    return chunk.movieStart + into * mTimeScale / rate;
}

bool CPreviewSoundPlayer::IsFlowing() const {
    constexpr auto kStall = std::chrono::milliseconds(150);
    return mSink != nullptr && mLastHeard > 0 && std::chrono::steady_clock::now() - mLastAdvance < kStall;
}
