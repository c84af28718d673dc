// Codec presets dropped on the timeline: feedback while a drag moves over
// it and the new segments on the drop.
#include <cstring>
#include <vector>

#include "catalogs/PresetFile.h"
#include "framework/gui/DragFlavors.h"
#include "model/CTambleVideoDocModel.h"
#include "model/DescriptionTime.h"
#include "model/SegmentLookup.h"
#include "platform/media/AtomContainer.h"
#include "platform/media/FSSpec.h"
#include "timeline/CVideoList.h"
#include "timeline/TimelineMath.h"

using namespace timeline;

namespace {
constexpr OSType kDescriptionText = FourCC("Edsc");
}

// The feedback a drag of this flavour gets at an image point: -1 none,
// 1 video (marker x or ringed segment index), 2 the audio row.
int32_t CVideoList::FeedbackAt(OSType flavor, QPoint where, int32_t* markerX, int32_t* ringIndex) const {
    *markerX = 0;
    *ringIndex = 0;
    if (!HasMovie()) return -1;
    if (flavor == kFlavorAudioCodec && where.y() > kVideoBottom) return mModel->HasAudio() ? 2 : -1;
    if (flavor != kFlavorVideoCodec || where.y() < 31 || where.y() > 72 || !mModel->HasVideo()) return -1;
    if (mModel->VideoSegmentCount() == 0) return 1;
    STimeValue t = XToTime(std::max(0, where.x()), mPixelsPerSecond);
    const STimeValue zone = DropEdgeZone(mPixelsPerSecond);
    mModel->SnapToBoundary(mModel->VideoSegments(), t, true, &zone);
    const CDescriptionList& list = mModel->VideoSegments();
    if (mModel->FindDescriptionByEdge(list, &t, nullptr) != nullptr ||
        mModel->FindDescriptionByEdge(list, nullptr, &t) != nullptr) {
        *markerX = TimeToX(t, mPixelsPerSecond);
        return 1;
    }
    if (Handle* under = FindDescriptionAt(list, t)) *ringIndex = list.IndexOf(under);
    return *ringIndex != 0 ? 1 : -1;
}

// The feedback follows what is dragged: a sound preset over the video row
// (or a video preset over the sound row) shows nothing, as it would be
// refused there.
bool CVideoList::TrackDragInside(QPoint imagePoint) {
    int32_t markerX = 0, ring = 0;
    const int32_t indicator = FeedbackAt(DraggedFlavor(), imagePoint, &markerX, &ring);
    if (indicator != mDropIndicator || markerX != mDropMarkerX || ring != mDropRingIndex) {
        mDropIndicator = indicator;
        mDropMarkerX = markerX;
        mDropRingIndex = ring;
        RefreshBelowRuler();
    }
    return indicator != -1;
}

void CVideoList::LeaveDropArea() {
    CDelayedReceiver::LeaveDropArea();
    if (mDropIndicator != -1) {
        mDropIndicator = -1;
        RefreshBelowRuler();
    }
}

bool CVideoList::ReceiveDropItem(Handle& data, OSType flavor, QPoint where, int32_t) {
    mDropIndicator = -1;
    RefreshBelowRuler();
    int32_t markerX = 0, ring = 0;
    if (FeedbackAt(flavor, where, &markerX, &ring) == -1) return false;
    if (data.Size() < kFileRecordSize) return false;
    FSSpec spec;
    std::memcpy(&spec, data.Data() + kFileRecordPrefixSize, sizeof spec);
    if (spec.name[0] == 0) return false;
    Handle settings;
    if (!ReadPresetFile(spec, settings)) return false;
    if (CarriesMarker(settings)) return false;
    AtomContainer container;
    if (!AtomContainer::TryParse(settings, container)) return false;
    while (container.Remove(kDescriptionText)) {
    }
    const std::string name = spec.FileName(false);
    container.Insert(kDescriptionText, 1, name.data(), name.size());
    Handle labelled = container.ToHandle();
    return flavor == kFlavorAudioCodec ? DropAudio(labelled, where) : DropVideo(labelled, where);
}

bool CVideoList::DropAudio(Handle& settings, QPoint where) {
    if (!mModel->HasAudio()) return false;
    mModel->DisposeAllAudioSegments();
    const int32_t index = mModel->AddAudioSegment(std::make_unique<Handle>(std::move(settings)),
                                                  XToTime(std::max(0, where.x()), mPixelsPerSecond));
    Select(index, kAudio);
    return false;
}

bool CVideoList::DropVideo(Handle& settings, QPoint where) {
    if (!mModel->HasVideo()) return false;
    const STimeValue at = XToTime(std::max(0, where.x()), mPixelsPerSecond);
    const STimeValue maxLength = PixelsAsTime(GetFrameSize().width(), mPixelsPerSecond);
    const STimeValue zone = DropEdgeZone(mPixelsPerSecond);
    auto segment = std::make_unique<Handle>(std::move(settings));
    int32_t index = 0;
    if (mModel->ExcludedRangeCount() == 0 || mModel->VideoSegmentCount() > 0) {
        index = mModel->AddVideoSegment(std::move(segment), at, &maxLength, &zone);
    } else {
        // The first segment spans the whole movie; the spans left out are
        // then cut back out of it.
        std::vector<TimeRange> saved;
        for (int32_t i = 1; i <= mModel->ExcludedRangeCount(); ++i)
            if (const TimeRange* r = mModel->GetExcludedRange(i)) saved.push_back(*r);
        mModel->DeleteAllExcludedRanges();
        index = mModel->AddVideoSegment(std::move(segment), STimeValue{0, 600}, &maxLength, &zone);
        for (const TimeRange& r : saved) mModel->AddExcludedRange(r);
        mModel->ExcludedRangesChanged();
        index = 1;
    }
    if (index > 0) Select(index, kVideo);
    return false;
}
