#include "compress/SoundTrackPass.h"

#include <algorithm>

#include "compress/CompressionProgress.h"
#include "compress/StopSignals.h"
#include "model/SoundPacketPlacement.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/encode/SoundSettings.h"
#include "platform/media/source/SoundPacketReader.h"

namespace {

constexpr size_t kAheadBudget = 32 << 20;  // bytes of sound converted ahead
constexpr int kWaitMilliseconds = 100;

int32_t Tenths(const STimeValue& t) { return t.ValueIn(10); }

}  // namespace

SoundTrackPass::SoundTrackPass(const std::string& sourcePath, const Handle* settings, bool forMp4,
                               std::string& note) {
    Handle fallback;
    if (!settings) {
        // Copied sound the destination cannot hold is converted, not dropped.
        mPackets = SoundPacketReader::Open(sourcePath);
        if (MovieWriter::CanHoldCopiedSound(mPackets->Parameters(), forMp4)) return;
        note = "The source's sound (" + mPackets->Parameters().CodecName() + ") cannot be copied into " +
               (forMp4 ? "an MP4 movie" : "a QuickTime movie") + ", so it is converted to AAC at 128 kbit/s.";
        mPackets.reset();
        fallback = DefaultSoundSettings();
        settings = &fallback;
    }
    mConverter = std::make_unique<AheadSoundConverter>(sourcePath, SoundSettings::FromHandle(*settings), kAheadBudget);
}

SoundTrackPass::~SoundTrackPass() = default;

std::unique_ptr<SoundTrackPass> SoundTrackPass::Open(const std::string& sourcePath, const Handle* settings,
                                                     bool forMp4, std::vector<std::string>& notes) {
    std::string note;
    try {
        auto pass = std::make_unique<SoundTrackPass>(sourcePath, settings, forMp4, note);
        if (!note.empty()) notes.push_back(note);
        return pass;
    } catch (const LException& e) {
        if (!note.empty()) notes.push_back(note);
        notes.push_back(std::string("The sound is left out: ") + e.what());
        return nullptr;
    }
}

void SoundTrackPass::AddTo(MovieWriter& writer) {
    if (writer.HasSoundTrack()) return;
    if (mConverter) writer.AddSoundTrack(mConverter->CompressionType(), mConverter->Parameters());
    else writer.AddCopiedSoundTrack(mPackets->Parameters());
}

void SoundTrackPass::Start(std::vector<AheadSoundConverter::Span> spans) {
    if (mConverter) mConverter->Start(std::move(spans));
}

void SoundTrackPass::Stop() {
    if (mConverter) mConverter->Stop();
}

bool SoundTrackPass::ReadableEnd(RationalTime& end) {
    return mConverter ? mConverter->ReadableEnd(end) : mPackets->ReadableEnd(end);
}

bool SoundTrackPass::DamagedSpan(RationalTime& from, RationalTime& to) {
    return mConverter && mConverter->DamagedSpan(from, to);
}

OSErr SoundTrackPass::Write(MovieWriter& writer, CompressionProgress& progress, const TArray<TimeRange*>* excluded,
                            const STimeValue& total, const std::function<bool(const STimeValue&)>& poll,
                            std::string& why) {
    return mConverter ? WriteConverted(writer, progress, total, why) : WriteCopied(writer, excluded, total, poll, why);
}

// What the converter made ahead is written now; while it is still behind,
// the window keeps answering.
OSErr SoundTrackPass::WriteConverted(MovieWriter& writer, CompressionProgress& progress, const STimeValue& total,
                                     std::string& why) {
    SoundPacketQueue& queue = mConverter->Queue();
    SoundPacketQueue::Item item;
    const int32_t totalTenths = Tenths(total);
    int32_t tenthsDone = 0;
    OSErr result = noErr;
    while (result == noErr) {
        if (StopSignals::Received()) {
            result = CompressionProgress::kCancelMessage;
            break;
        }
        const SoundPacketQueue::Next next = queue.Take(item, kWaitMilliseconds);
        if (next == SoundPacketQueue::Next::kDone) break;
        if (next == SoundPacketQueue::Next::kWaiting) {
            if (progress.Poll() == CompressionProgress::kCancelMessage) result = CompressionProgress::kCancelMessage;
        } else if (!item.isPacket) {
            // One block converted: the graph, the bar, and a chance to cancel.
            progress.AddSoundChunk(int32_t(std::min<int64_t>(item.bytes, INT32_MAX)), item.converted.ValueIn(600));
            tenthsDone += Tenths(item.converted);
            const int percent = totalTenths > 0 ? int(int64_t(tenthsDone) * 100 / totalTenths) : 0;
            if (percent != progress.Bar()) {
                progress.SetBar(percent);
                if (progress.Poll() == CompressionProgress::kCancelMessage)
                    result = CompressionProgress::kCancelMessage;
            }
        } else {
            try {
                writer.WriteSoundPacket(item.packet);
            } catch (const LException& e) {
                why = std::string("The sound could not be written: ") + e.what();
                result = OSErr(e.Code());
            }
        }
    }
    mConverter->Stop();
    if (result != noErr || queue.Result() == noErr) return result;
    why = queue.Message().empty() ? "The sound could not be converted (error " + std::to_string(queue.Result()) + ")."
                                  : "The sound could not be converted: " + queue.Message();
    return queue.Result();
}

// Packets inside excluded spans are left out and the later ones move up by
// the time removed before them.
OSErr SoundTrackPass::WriteCopied(MovieWriter& writer, const TArray<TimeRange*>* excluded, const STimeValue& total,
                                  const std::function<bool(const STimeValue&)>& poll, std::string& why) {
    const MediaTimeBase tb = mPackets->TimeBase();
    SoundPacketPlacement placement(excluded, tb.num, tb.den);
    const int64_t totalTicks = ExactTime(total).FloorIn(tb.den) / std::max(1, tb.num);
    EncodedPacket packet;
    try {
        while (mPackets->Next(packet)) {
            if (packet.pts >= totalTicks) break;
            const int64_t sourcePts = packet.pts;
            int64_t outputPts = 0;
            if (!placement.Place(packet.pts, packet.duration, outputPts)) continue;
            packet.dts += outputPts - packet.pts;
            packet.pts = outputPts;
            writer.WriteSoundPacket(packet);
            const STimeValue reached = ExactTime(sourcePts * tb.num, tb.den).ToTimeValue(600);
            if (poll(reached)) return CompressionProgress::kCancelMessage;
        }
    } catch (const LException& e) {
        why = std::string("The sound could not be copied: ") + e.what();
        return OSErr(e.Code());
    }
    return noErr;
}
