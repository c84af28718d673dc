#include "model/StoredSettingsCheck.h"

#include "framework/LException.h"
#include "model/CTambleDocModel.h"
#include "platform/media/AtomContainer.h"

namespace {

constexpr int32_t kLargestSide = 16384;

std::string Size(int32_t w, int32_t h) { return std::to_string(w) + " x " + std::to_string(h); }

// Every stored codec setting must at least be an atom container.
bool ListIsReadable(const CDescriptionList& list) {
    AtomContainer container;
    for (int32_t i = 1; i <= list.Count(); ++i) {
        const Handle* h = list.Get(i);
        if (h && !AtomContainer::TryParse(*h, container)) return false;
    }
    return true;
}

}  // namespace

std::string FindStoredSettingsProblem(const CTambleDocModel& model) {
    const int32_t rotation = model.GetRotation();
    if (rotation != 0 && rotation != 90 && rotation != 180 && rotation != 270)
        return "a rotation of " + std::to_string(rotation) + " degrees";
    const int32_t w = model.GetOutputWidth(), h = model.GetOutputHeight();
    if (w < 0 || h < 0 || w > kLargestSide || h > kLargestSide) return "an output size of " + Size(w, h);
    const int32_t left = model.GetCropLeft(), top = model.GetCropTop();
    const int32_t right = model.GetCropRight(), bottom = model.GetCropBottom();
    if (left < 0 || top < 0 || right <= left || bottom <= top || right > CTambleDocModel::kFarEdge ||
        bottom > CTambleDocModel::kFarEdge)
        return "a crop from (" + std::to_string(left) + ", " + std::to_string(top) + ") to (" + std::to_string(right) +
               ", " + std::to_string(bottom) + ")";
    if (!ListIsReadable(model.VideoSegments())) return "an unreadable video setting";
    if (!ListIsReadable(model.AudioSegments())) return "an unreadable sound setting";
    for (int32_t i = 1; i <= model.ExcludedRangeCount(); ++i) {
        const TimeRange* r = model.GetExcludedRange(i);
        if (r && (r->start.scale <= 0 || r->end.scale <= 0 || r->start.value < 0))
            return "a left-out span with impossible times";
    }
    return {};
}

std::string DescribeRecordReadFailure(int code, const std::string& what) {
    if (code == eofErr) return "it ends before all its fields";
    return what;
}
