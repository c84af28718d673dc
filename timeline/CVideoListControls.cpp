// The list's commands (Clear) and the settings controls beside it.
#include <algorithm>

#include "framework/LException.h"
#include "framework/gui/LControl.h"
#include "model/CTambleVideoDocModel.h"
#include "platform/media/encode/VideoCodecTable.h"
#include "platform/media/encode/VideoSettings.h"
#include "timeline/CVideoList.h"
#include "timeline/TimelineMath.h"

using namespace timeline;

namespace {
LControl* ControlOf(QWidget* widget) { return dynamic_cast<LControl*>(widget); }
}  // namespace

bool CVideoList::CanDeleteSelection() const {
    if (mModel == nullptr) return false;
    auto inList = [this](int32_t count) { return mSelectedIndex >= 1 && mSelectedIndex <= count; };
    switch (mSelectedKind) {
        case kVideo: return inList(mModel->VideoSegmentCount());
        case kAudio: return inList(mModel->AudioSegmentCount());
        case kRange: return inList(mModel->ExcludedRangeCount());
        case kSpan: return mAnchor.value != -1 && mAnchor != mPlayhead;
        default: return false;
    }
}

bool CVideoList::HandleCommand(CommandT command, void*) {
    if (command != cmd_Clear) return false;
    DeleteSelection();
    return true;
}

bool CVideoList::FindCommandStatus(CommandT command, SCommandStatus& status) {
    if (command != cmd_Clear) return false;
    status.enabled = CanDeleteSelection();
    return true;
}

void CVideoList::AttachSettingsControls(LControl* depth, LControl* quality) {
    for (LControl* control : {depth, quality})
        if (control != nullptr) control->Attach(this);
    mDepthControl = depth != nullptr ? depth->Widget() : nullptr;
    mQualityControl = quality != nullptr ? quality->Widget() : nullptr;
    SyncSettingsControls();
}

// Shows segment 1's depth and quality without sending them back.
void CVideoList::SyncSettingsControls() {
    LControl* depth = ControlOf(mDepthControl);
    LControl* quality = ControlOf(mQualityControl);
    if (depth == nullptr && quality == nullptr) return;
    bool readable = false;
    VideoSettings settings;
    const Handle* segment =
        mModel != nullptr && mModel->VideoSegmentCount() > 0 ? mModel->GetVideoSegment(1) : nullptr;
    if (segment != nullptr) {
        try {
            settings = VideoSettings::FromHandle(*segment);
            readable = true;
        } catch (const LException&) {
            // A damaged description: nothing to show or edit.
        }
    }
    if (depth != nullptr) {
        // Only some codecs let the depth choose their pixel format.
        const VideoCodecInfo* codec = readable ? VideoCodecTable::Find(settings.codecType) : nullptr;
        StQuietControl quiet(depth);
        if (readable) depth->SetValue(PopupForDepth(settings.depth));
        depth->Widget()->setEnabled(codec != nullptr && codec->hasDepthChoice);
    }
    if (quality != nullptr) {
        StQuietControl quiet(quality);
        if (readable)
            quality->SetValue(
                std::clamp(settings.spatialQuality, VideoCodecTable::kMinQuality, VideoCodecTable::kLosslessQuality));
        quality->Widget()->setEnabled(readable);
    }
}
