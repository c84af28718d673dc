// Everything one document says about turning one source movie into an
// output movie: the file, the picture geometry, the watermark, the filter
// chain, the timeline's video and audio settings segments and the spans
// left out. Every setter stores first and then tells the observers, so an
// observer that reads the model inside Update sees the new state.
//
// The parts that need the movie itself are virtual; CTambleVideoDocModel
// supplies them.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/Handle.h"
#include "framework/TArray.h"
#include "model/BoundaryDrag.h"
#include "model/CDescriptionList.h"
#include "model/CompressionService.h"
#include "model/CSubject.h"
#include "model/TimeRange.h"
#include "model/TimeValue.h"
#include "platform/media/FSSpec.h"
#include "platform/media/OffscreenWorld.h"

using Fixed = int32_t;  // 16.16

class CTambleDocModel : public CSubject {
public:
    static constexpr int32_t kFarEdge = 32000;  // crop edge "as far as the picture goes"
    static constexpr uint32_t kDefaultWatermarkPlacement = 12;

    CTambleDocModel();
    ~CTambleDocModel() override;
    CTambleDocModel(const CTambleDocModel&) = delete;
    CTambleDocModel& operator=(const CTambleDocModel&) = delete;

    // ---- Operations that need the movie (slots 3 to 14) ----
    virtual void ResetSettings();
    virtual void SkipExcludedRange(Fixed rate) {}
    // The frame at the current time; null without a movie.
    virtual std::unique_ptr<OffscreenWorld> GetCurrentFramePicture() { return nullptr; }
    virtual bool CanCompress() = 0;
    virtual bool IsOutputWidthValid() { return true; }
    virtual void SaveSettingsToMovie() = 0;
    virtual OSErr SaveMovieAs(const FSSpec& spec) = 0;
    virtual OSErr Compress(const FSSpec& destination, CompressionService& service) = 0;
    virtual void LoadMovieInfo() = 0;
    virtual bool CanOpen(const FSSpec& spec) = 0;
    virtual void ReadSettingsFromMovie() = 0;
    virtual void OpenMovie() = 0;

    // ---- Document and geometry ----
    bool SetSourceFile(const FSSpec& spec);
    void RefreshFromSource();
    const FSSpec& GetFileSpec() const { return mFileSpec; }
    const FSSpec& GetDestinationFile() const { return mDestinationFile; }
    void SetDestinationFile(const FSSpec& spec) { mDestinationFile = spec; }

    void SetRotation(int32_t degrees);
    void SetFlipHorizontal(bool flip);
    void ToggleFlipHorizontal() { SetFlipHorizontal(!mFlipHorizontal); }
    void SetFlipVertical(bool flip);
    void ToggleFlipVertical() { SetFlipVertical(!mFlipVertical); }
    void SetCrop(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void SetWatermarkFile(const FSSpec& spec);
    void SetWatermarkPlacement(uint32_t placement) { mWatermarkPlacement = placement; }
    void SetConstrainProportions(bool constrain);
    void SetOutputWidth(int32_t width);
    void SetOutputHeight(int32_t height);
    void SetCustomSize(bool custom);

    int32_t GetRotation() const { return mRotation; }
    bool IsRotated() const { return mRotation == 90 || mRotation == 270; }
    bool GetFlipHorizontal() const { return mFlipHorizontal; }
    bool GetFlipVertical() const { return mFlipVertical; }
    int32_t GetCropLeft() const { return mCropLeft; }
    int32_t GetCropRight() const { return mCropRight; }
    int32_t GetCropTop() const { return mCropTop; }
    int32_t GetCropBottom() const { return mCropBottom; }
    const FSSpec& GetWatermarkFile() const { return mWatermarkFile; }
    uint32_t GetWatermarkPlacement() const { return mWatermarkPlacement; }
    bool GetConstrainProportions() const { return mConstrainProportions; }
    bool GetCustomSize() const { return mCustomSize; }
    int32_t GetOutputWidth() const { return mOutputWidth; }
    int32_t GetOutputHeight() const { return mOutputHeight; }
    float GetAspectRatio() const { return mAspectRatio; }
    uint32_t GetFileSize() const { return mFileSize; }
    int32_t GetSourceWidth() const { return mSourceWidth; }
    int32_t GetSourceHeight() const { return mSourceHeight; }
    int32_t GetDisplayWidth() const { return IsRotated() ? mSourceHeight : mSourceWidth; }
    int32_t GetDisplayHeight() const { return IsRotated() ? mSourceWidth : mSourceHeight; }
    bool IsMovieDocument() const { return mIsMovieDocument; }
    const STimeValue& GetDuration() const { return mDuration; }

    // ---- Filters ----
    void AddFilter(std::unique_ptr<Handle> filter);
    void InsertFilter(std::unique_ptr<Handle> filter, int32_t index);
    // The model lets go of the filter; the caller gets it (null out of range).
    std::unique_ptr<Handle> RemoveFilter(int32_t index);
    void FilterChanged();
    int32_t FilterCount() const { return mFilters.Count(); }
    Handle* GetFilter(int32_t index) const { return mFilters.Get(index); }
    void DisposeAllFilters() { mFilters.DisposeAll(); }

    // ---- Video and audio segments ----
    int32_t AddVideoSegment(std::unique_ptr<Handle> segment, const STimeValue& at,
                            const STimeValue* maxLength, const STimeValue* edgeZone);
    int32_t AddAudioSegment(std::unique_ptr<Handle> segment, const STimeValue& at);
    void RemoveVideoSegment(int32_t index);
    void RemoveAllVideoSegments();
    void RemoveAudioSegment(int32_t index);
    void VideoSegmentChanged();
    void AudioSegmentChanged();
    void SetSegmentDepth(int32_t index, int16_t depth);
    void SetSegmentQuality(int32_t index, int32_t quality);
    int32_t VideoSegmentCount() const { return mVideoSegments.Count(); }
    Handle* GetVideoSegment(int32_t index) const { return mVideoSegments.Get(index); }
    int32_t AudioSegmentCount() const { return mAudioSegments.Count(); }
    Handle* GetAudioSegment(int32_t index) const { return mAudioSegments.Get(index); }
    void DisposeAllAudioSegments() { mAudioSegments.DisposeAll(); }
    // Timed segments laid as they come, in place of every segment of their
    // kind, the way a stored record lays them: in order, neither placed nor
    // fitted (a compress run fits them to the movie).
    void LayVideoSegments(std::vector<std::unique_ptr<Handle>> segments);
    void LayAudioSegments(std::vector<std::unique_ptr<Handle>> segments);
    // One segment of these settings over the whole movie, in place of every
    // segment of its kind: what a preset or the default settings mean for a
    // movie compressed without its timeline.
    void UseOneVideoSegment(Handle settings);
    void UseOneAudioSegment(Handle settings);

    const CDescriptionList& Filters() const { return mFilters; }
    const CDescriptionList& VideoSegments() const { return mVideoSegments; }
    const CDescriptionList& AudioSegments() const { return mAudioSegments; }

    // Timeline helpers shared by the segment lists.
    Handle* FindDescriptionByEdge(const CDescriptionList& list, const STimeValue* start,
                                  const STimeValue* end) const;
    void SnapToBoundary(const CDescriptionList& list, STimeValue& t, bool useEdgeZone,
                        const STimeValue* edgeZone) const;

    // Dragging a boundary on the timeline. Begin fills in what moves with
    // the start (or end) of a video segment, or of an excluded range, and
    // the room it has; false when nothing on the other side shares it (the
    // outer edges of the segments stay put). MoveBoundary moves all of it
    // at once without announcing: the caller announces when the drag ends.
    bool BeginSegmentBoundaryDrag(int32_t index, bool end, SBoundaryDrag& drag) const;
    bool BeginExcludedEdgeDrag(int32_t index, bool end, SBoundaryDrag& drag) const;
    void MoveBoundary(SBoundaryDrag& drag, const STimeValue& t);

    // ---- Excluded ranges ----
    void AddExcludedRange(const TimeRange& range);
    void RemoveExcludedRange(int32_t index);
    void ExcludedRangesChanged();
    int32_t ExcludedRangeCount() const { return mExcludedRanges.GetCount(); }
    const TimeRange* GetExcludedRange(int32_t index) const { return mExcludedRanges[index]; }
    const TimeRange* FindExcludedRangeAt(const STimeValue& t) const;
    void SortExcludedRanges();
    void DeleteAllExcludedRanges();
    // Spans laid as they come, in place of the old ones, the way a stored
    // record lays them: neither sorted nor merged, nothing cut.
    void LayExcludedRanges(const std::vector<TimeRange>& ranges);
    const TArray<TimeRange*>& ExcludedRanges() const { return mExcludedRanges; }
    // Cuts the span out of the video segments (no change is announced).
    void CutVideoSegments(const TimeRange& range);

    // ---- The stored settings record ----
    Handle WriteSettings() const;
    // Throws LException(eofErr) when the record ends early or lies about a
    // size; what was read before keeps its new value.
    void ReadSettings(const Handle* record);
    void ReadSettings(const Handle& record) { ReadSettings(&record); }
    // Back to the built-in settings: no filters, segments or left-out spans,
    // the whole picture at its own size.
    void ForgetStoredSettings();

    // ---- Snapshots, for Undo ----
    // The whole document: its settings record, and the proportions held
    // while the output size is edited (rounded sizes drift from them).
    struct SSnapshot {
        Handle record;
        float aspectRatio = 0.0f;
        bool operator==(const SSnapshot&) const = default;
    };
    SSnapshot TakeSnapshot() const { return SSnapshot{WriteSettings(), mAspectRatio}; }
    // Puts a snapshot back and announces each part that it changed.
    void RestoreSnapshot(const SSnapshot& snapshot);

protected:
    void Changed(int32_t changeCode, void* arg1 = nullptr);
    // The list operations behind the segment calls above.
    int32_t PlaceDescription(CDescriptionList& list, std::unique_ptr<Handle> description,
                             const STimeValue& at, const STimeValue* maxLength,
                             const STimeValue* edgeZone);
    void FitDescription(CDescriptionList& list, Handle* description, int32_t index,
                        const STimeValue* maxLength, int32_t side);
    void RemoveDescription(CDescriptionList& list, int32_t index);
    // Appends an owned copy of the range; nothing is kept when the list
    // cannot grow.
    void AppendExcludedRange(const TimeRange& range);
    void ResetStoredFields();
    void RecomputeAspect();
    void CutCropToSource();

    FSSpec mFileSpec;
    FSSpec mDestinationFile;
    CDescriptionList mFilters;
    CDescriptionList mVideoSegments;
    CDescriptionList mAudioSegments;
    TArray<TimeRange*> mExcludedRanges;  // owned
    int32_t mCropLeft = 0;
    int32_t mCropRight = kFarEdge;
    int32_t mCropTop = 0;
    int32_t mCropBottom = kFarEdge;
    int32_t mRotation = 0;
    bool mFlipHorizontal = false;
    bool mFlipVertical = false;
    bool mConstrainProportions = false;
    bool mCustomSize = false;
    FSSpec mWatermarkFile;
    uint32_t mWatermarkPlacement = kDefaultWatermarkPlacement;
    int32_t mOutputWidth = 0;
    int32_t mOutputHeight = 0;
    uint32_t mFileSize = 0;
    int32_t mSourceWidth = 0;
    int32_t mSourceHeight = 0;
    float mAspectRatio = 0.0f;
    bool mIsMovieDocument = false;
    STimeValue mDuration{0, 600};
};
