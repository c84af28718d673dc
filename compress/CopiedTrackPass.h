// The source's other sound tracks, its subtitles, chapters and details,
// copied into the output beside the compressed picture and sound, with
// the excluded spans cut from every one of them and the chapters moved up.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/TArray.h"
#include "model/ExactTime.h"
#include "model/TimeRange.h"

class CopiedTrackReader;
class MovieWriter;

class CopiedTrackPass {
public:
    // Throws the LExceptions of opening the source.
    CopiedTrackPass(const std::string& sourcePath, bool forMp4, const TArray<TimeRange*>* excluded,
                    const ExactTime& total);
    ~CopiedTrackPass();

    // Adds the tracks, the details and the chapters to the writer; only the
    // first call does anything. Before the first sample is written.
    void AddTo(MovieWriter& writer);
    // Copies every packet. `cancelled` hears the source time reached now
    // and then; true stops the copy. Throws LException when the output
    // cannot be written or the source read.
    void Copy(MovieWriter& writer, const std::function<bool(const ExactTime&)>& cancelled);

    bool HasTracks() const;
    // What was left out, one sentence each.
    const std::vector<std::string>& Notes() const;

private:
    std::unique_ptr<CopiedTrackReader> mReader;
    const TArray<TimeRange*>* mExcluded;
    ExactTime mTotal;
    std::vector<int> mOutputTrack;  // writer's number for each reader track
    bool mAdded = false;
};
