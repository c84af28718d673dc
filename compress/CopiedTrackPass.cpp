#include "compress/CopiedTrackPass.h"

#include "model/ExcludedSpans.h"
#include "model/SoundPacketPlacement.h"
#include "platform/media/encode/MovieWriter.h"
#include "platform/media/source/CopiedTrackReader.h"

CopiedTrackPass::CopiedTrackPass(const std::string& sourcePath, bool forMp4, const TArray<TimeRange*>* excluded,
                                 const ExactTime& total)
    : mReader(CopiedTrackReader::Open(sourcePath, forMp4, CopiedTrackReader::Selection::OtherThanCompressed)),
      mExcluded(excluded),
      mTotal(total) {}

CopiedTrackPass::~CopiedTrackPass() = default;

bool CopiedTrackPass::HasTracks() const { return !mReader->Tracks().empty(); }

const std::vector<std::string>& CopiedTrackPass::Notes() const { return mReader->LeftOut(); }

void CopiedTrackPass::AddTo(MovieWriter& writer) {
    if (mAdded) return;
    mAdded = true;
    for (CopiedTrack track : mReader->Tracks()) {
        // The sound the settings made is the one played; these are alternatives.
        if (track.parameters.IsAudio()) track.isDefault = false;
        mOutputTrack.push_back(writer.AddCopiedTrack(track));
    }
    MovieDetails details = mReader->Details();
    std::erase_if(details.chapters, [&](MovieChapter& c) {
        const int64_t unit = c.timeBase.num, scale = c.timeBase.den;
        const ExactTime start = ExcludedSpans(mExcluded).OutputTimeOf(ExactTime(c.start * unit, scale));
        const ExactTime end = ExcludedSpans(mExcluded).OutputTimeOf(Earlier(ExactTime(c.end * unit, scale), mTotal));
        c.start = start.RoundedIn(scale) / unit;
        c.end = end.RoundedIn(scale) / unit;
        return c.end <= c.start;  // all of it was cut
    });
    writer.SetDetails(details);
}

void CopiedTrackPass::Copy(MovieWriter& writer, const std::function<bool(const ExactTime&)>& cancelled) {
    std::vector<SoundPacketPlacement> sound;  // per track: copied sound stays with the picture across cuts
    for (const CopiedTrack& track : mReader->Tracks()) {
        const MediaTimeBase tb = track.parameters.TimeBase();
        sound.emplace_back(mExcluded, tb.num, tb.den);
    }
    int track = 0;
    EncodedPacket packet;
    while (mReader->Next(track, packet)) {
        const MediaTimeBase tb = mReader->Tracks()[size_t(track)].parameters.TimeBase();
        const ExactTime at(packet.pts * tb.num, tb.den);
        if (!(at < mTotal)) continue;
        int64_t outputPts = 0;
        if (mReader->Tracks()[size_t(track)].parameters.IsAudio()) {
            if (!sound[size_t(track)].Place(packet.pts, packet.duration, outputPts)) continue;
        } else {
            // A subtitle keeps what is left of it outside the cuts.
            const ExactTime end = ExcludedSpans(mExcluded).OutputTimeOf(Earlier(ExactTime((packet.pts + packet.duration) * tb.num, tb.den), mTotal));
            outputPts = ExcludedSpans(mExcluded).OutputTimeOf(at).RoundedIn(tb.den) / tb.num;
            const int64_t outputEnd = end.RoundedIn(tb.den) / tb.num;
            if (packet.duration > 0 && outputEnd <= outputPts) continue;
            if (packet.duration > 0) packet.duration = outputEnd - outputPts;
        }
        packet.dts += outputPts - packet.pts;
        packet.pts = outputPts;
        writer.WriteCopiedPacket(mOutputTrack[size_t(track)], packet);
        if (cancelled(at)) return;
    }
}
