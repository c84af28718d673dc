// The output's sound track, made from the source's first sound: converted
// with the document's sound settings on a thread of its own while the
// pictures are compressed, or, without settings, copied packet by packet
// with the excluded spans cut out and the later packets moved up.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "compress/AheadSoundConverter.h"
#include "framework/Handle.h"
#include "framework/TArray.h"
#include "model/ExactTime.h"
#include "model/TimeRange.h"

class CompressionProgress;
class MovieWriter;
class SoundPacketReader;

class SoundTrackPass {
public:
    // Opens the source's sound for `settings`, or to be copied when there
    // are none. Sound the destination cannot hold as it is gets converted
    // to the default settings instead, and `note` says so (set even when
    // the constructor then throws the LException of opening the sound or
    // its encoder).
    SoundTrackPass(const std::string& sourcePath, const Handle* settings, bool forMp4, std::string& note);
    // The same, with what the user must hear in `notes`: null when the
    // sound cannot be read or converted, and so is left out.
    static std::unique_ptr<SoundTrackPass> Open(const std::string& sourcePath, const Handle* settings, bool forMp4,
                                                std::vector<std::string>& notes);
    ~SoundTrackPass();
    SoundTrackPass(const SoundTrackPass&) = delete;
    SoundTrackPass& operator=(const SoundTrackPass&) = delete;

    // Adds the track to the writer; later calls do nothing. Before the
    // first packet of any track. Throws the writer's LException.
    void AddTo(MovieWriter& writer);
    // Starts converting these spans of source time; copied sound waits for Write.
    void Start(std::vector<AheadSoundConverter::Span> spans);

    // Writes the track. Converted sound is taken as it becomes ready,
    // reported block by block to the graph and the bar of `progress` over
    // `total`; copied sound hears `poll` with the source time of each
    // packet. Returns noErr, CompressionProgress::kCancelMessage when the
    // user cancelled or a stop signal came, or an error with a sentence
    // for the user in `why`.
    OSErr Write(MovieWriter& writer, CompressionProgress& progress, const TArray<TimeRange*>* excluded,
                const STimeValue& total, const std::function<bool(const STimeValue&)>& poll, std::string& why);

    // Ends the conversion; the reader is this thread's again.
    void Stop();
    // Where the readable sound ended, when it ended early.
    bool ReadableEnd(RationalTime& end);
    // Where converted sound could not all be decoded cleanly.
    bool DamagedSpan(RationalTime& from, RationalTime& to);

private:
    OSErr WriteConverted(MovieWriter& writer, CompressionProgress& progress, const STimeValue& total,
                         std::string& why);
    OSErr WriteCopied(MovieWriter& writer, const TArray<TimeRange*>* excluded, const STimeValue& total,
                      const std::function<bool(const STimeValue&)>& poll, std::string& why);

    std::unique_ptr<AheadSoundConverter> mConverter;  // converted sound
    std::unique_ptr<SoundPacketReader> mPackets;      // copied sound
    bool mAdded = false;
};
