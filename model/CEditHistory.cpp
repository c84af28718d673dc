#include "model/CEditHistory.h"

#include "model/DescriptionTime.h"
#include "model/SChangeInfo.h"
#include "platform/media/AtomContainer.h"

namespace {

// Whether two segment lists hold the same settings, spans aside.
bool SameSettings(const std::vector<Handle>& a, const std::vector<Handle>& b) {
    static const OSType kIgnoreTime[] = {kDescriptionTimeAtom, 0};
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].IsNull() != b[i].IsNull()) return false;
        if (!a[i].IsNull() && !DescriptionsEqual(kIgnoreTime, a[i], b[i])) return false;
    }
    return true;
}

}  // namespace

CEditHistory::CEditHistory(CTambleDocModel& model, size_t depth) : mModel(model), mDepth(depth == 0 ? 1 : depth) {
    Clear();
    MarkSaved();
    Observe(&mModel);
}

CEditHistory::~CEditHistory() { DetachFromAll(); }

void CEditHistory::Clear() {
    mUndo.clear();
    mRedo.clear();
    mCurrent = mModel.TakeSnapshot();
    mCurrentOutline = OutlineOf();
    mStepOpen = false;
}

void CEditHistory::BeginAction() {
    if (!(mModel.TakeSnapshot() == mCurrent)) RecordEdit(0);
    mStepOpen = false;
}

void CEditHistory::Update(OSType senderKind, int32_t changeCode, void*, int32_t, int32_t, int32_t) {
    if (senderKind != kSenderDocModel || mRestoring) return;
    switch (changeCode) {
        case kChangeRefreshFromSource:
        case kChangeSourceFile:
            // The document as read from its file: nothing before it to go back to.
            Clear();
            MarkSaved();
            return;
        case kChangePlay:
        case kChangeStop:
        case kChangeCurrentTime:
        case kChangeMovieReplaced:
            return;
        default:
            RecordEdit(changeCode);
    }
}

void CEditHistory::RecordEdit(int32_t changeCode) {
    CTambleDocModel::SSnapshot now = mModel.TakeSnapshot();
    if (!mStepOpen) {
        if (now == mCurrent) return;  // told of a change that changed nothing
        mUndo.push_back(Step{mCurrent, {}, -1, mCurrentOutline});
        if (mUndo.size() > mDepth) mUndo.pop_front();
        mRedo.clear();
        mStepOpen = true;
    } else if (now == mUndo.back().state) {
        // Dragged back to where it started: no step after all.
        mUndo.pop_back();
        mStepOpen = false;
    }
    if (mStepOpen) {
        auto [name, rank] = NameOf(changeCode, mUndo.back().before);
        if (rank > mUndo.back().rank) {
            mUndo.back().name = std::move(name);
            mUndo.back().rank = rank;
        }
    }
    mCurrent = std::move(now);
    mCurrentOutline = OutlineOf();
}

// The document as it stands goes on the other stack, so that a change the
// model was never told of is not lost by going back and forth.
void CEditHistory::Undo() {
    if (!CanUndo()) return;
    Step step = std::move(mUndo.back());
    mUndo.pop_back();
    mRedo.push_back(Step{mModel.TakeSnapshot(), step.name, step.rank, {}});
    Restore(step);
}

void CEditHistory::Redo() {
    if (!CanRedo()) return;
    Step step = std::move(mRedo.back());
    mRedo.pop_back();
    mUndo.push_back(Step{mModel.TakeSnapshot(), step.name, step.rank, OutlineOf()});
    Restore(step);
}

void CEditHistory::Restore(const Step& step) {
    mStepOpen = false;
    mRestoring = true;
    mModel.RestoreSnapshot(step.state);
    mRestoring = false;
    mCurrent = step.state;
    mCurrentOutline = OutlineOf();
}

CEditHistory::Outline CEditHistory::OutlineOf() const {
    return Outline{mModel.ExcludedRangeCount(), mModel.VideoSegments().Copies(), mModel.AudioSegments().Copies()};
}

std::pair<std::string, int> CEditHistory::NameOf(int32_t changeCode, const Outline& before) const {
    switch (changeCode) {
        case kChangeRotation: return {"Rotate", 2};
        case kChangeFlipHorizontal: return {"Flip Horizontally", 2};
        case kChangeFlipVertical: return {"Flip Vertically", 2};
        case kChangeCrop: return {"Crop", 1};
        case kChangeWatermarkFile: return {"Watermark", 1};
        case kChangeConstrainProportions: return {"Constrain Proportions", 1};
        case kChangeOutputWidth:
        case kChangeOutputHeight: return {"Output Size", 1};
        case kChangeCustomSize: return {"Custom Size", 2};
        case kChangeFilterAdded: return {"Add Filter", 2};
        case kChangeFilterRemoved: return {"Remove Filter", 2};
        case kChangeFilterChanged: return {"Filter Settings", 1};
        case kChangeSegmentAdded:
            return {mModel.AudioSegments().Copies() != before.audio ? "Add Sound Settings" : "Add Video Settings", 2};
        case kChangeVideoSegments: return {"Remove Video Settings", 2};
        case kChangeVideoSegmentChanged:
            return {SameSettings(before.video, mModel.VideoSegments().Copies()) ? "Move Boundary" : "Video Settings", 1};
        case kChangeAudioSegmentRemoved: return {"Remove Sound Settings", 2};
        case kChangeAudioSegmentChanged: return {"Sound Settings", 1};
        case kChangeExcludedRanges: {
            const int32_t now = mModel.ExcludedRangeCount();
            return {now > before.rangeCount ? "Exclude Span" : now < before.rangeCount ? "Restore Span" : "Move Span Edge", 1};
        }
        default: return {"Edit", 0};
    }
}
