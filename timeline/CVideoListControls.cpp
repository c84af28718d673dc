// The list's commands (Clear) and the settings controls beside it.
#include <QComboBox>
#include <QListView>
#include <QStandardItemModel>
#include <algorithm>
#include <optional>

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

// The video segment the controls act on: the selected one, else the first.
int32_t CVideoList::SettingsSegmentIndex() const {
    if (mModel == nullptr) return 0;
    if (mSelectedKind == kVideo && mSelectedIndex >= 1 && mSelectedIndex <= mModel->VideoSegmentCount())
        return mSelectedIndex;
    return mModel->VideoSegmentCount() > 0 ? 1 : 0;
}

void CVideoList::SetSegmentDepthFromPopup(int32_t value) {
    if (const int32_t index = SettingsSegmentIndex()) mModel->SetSegmentDepth(index, DepthForPopup(value));
}

void CVideoList::SetSegmentQualityFromSlider(int32_t value) {
    if (const int32_t index = SettingsSegmentIndex()) mModel->SetSegmentQuality(index, value);
}

// Shows the settings of that segment without sending them back: the
// popup offers only the depths its codec writes and shows the one it will
// write; the slider moves only for codecs with a quality scale.
void CVideoList::SyncSettingsControls() {
    auto* depth = dynamic_cast<QComboBox*>(mDepthControl.data());
    LControl* quality = ControlOf(mQualityControl);
    if (depth == nullptr && quality == nullptr) return;
    std::optional<VideoSettings> settings;
    if (const int32_t index = SettingsSegmentIndex()) {
        try {
            settings = VideoSettings::FromHandle(*mModel->GetVideoSegment(index));
        } catch (const LException&) {
            // A damaged description: nothing to show or edit.
        }
    }
    const VideoCodecInfo* codec = settings ? VideoCodecTable::Find(settings->codecType) : nullptr;
    if (depth != nullptr) {
        const std::vector<int> writable = codec != nullptr ? VideoCodecTable::WritableDepths(*codec) : std::vector<int>();
        auto* items = qobject_cast<QStandardItemModel*>(depth->model());
        auto* view = qobject_cast<QListView*>(depth->view());
        for (int32_t v = 1; v <= kPopupItems && v <= depth->count(); ++v) {
            const bool offered = std::find(writable.begin(), writable.end(), DepthForPopup(v)) != writable.end();
            if (QStandardItem* item = items != nullptr ? items->item(v - 1) : nullptr) item->setEnabled(offered);
            if (view != nullptr) view->setRowHidden(v - 1, !offered);
        }
        StQuietControl quiet(ControlOf(depth));
        depth->setCurrentIndex(codec != nullptr ? PopupForDepth(int16_t(VideoCodecTable::WrittenDepth(*codec, settings->depth))) - 1
                                                : -1);
        depth->setEnabled(writable.size() > 1);
    }
    if (quality != nullptr) {
        StQuietControl quiet(quality);
        if (settings)
            quality->SetValue(std::clamp(settings->spatialQuality, VideoCodecTable::kMinQuality,
                                         VideoCodecTable::kLosslessQuality));
        quality->Widget()->setEnabled(codec != nullptr && codec->scale != QualityScale::None);
    }
}
