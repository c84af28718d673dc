// Undo and Redo for one document. Every edit reaches the model's
// observers and a snapshot holds the whole document, so the history keeps
// snapshots: the one before each step on the undo stack, the one after it
// on the redo stack.
//
// A step is everything the model is told between two user actions (a
// click, a key, a drop; the window calls BeginAction for each): a drag is
// one step, and so is a command that sends several changes. Playback and
// time moves are no edits. Reloading the document from its file (Revert)
// starts the history afresh.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "model/CObserver.h"
#include "model/CTambleDocModel.h"

class CEditHistory : public CObserver {
public:
    static constexpr size_t kDefaultDepth = 100;

    explicit CEditHistory(CTambleDocModel& model, size_t depth = kDefaultDepth);
    ~CEditHistory() override;
    CEditHistory(const CEditHistory&) = delete;
    CEditHistory& operator=(const CEditHistory&) = delete;

    // The next edit starts a new step. A change the model was not told
    // of is taken into the step it happened in (or one of its own) first.
    void BeginAction();

    bool CanUndo() const { return !mUndo.empty(); }
    bool CanRedo() const { return !mRedo.empty(); }
    // What Undo (Redo) would take back or do again, e.g. "Crop"; empty
    // when there is nothing.
    std::string UndoName() const { return CanUndo() ? mUndo.back().name : std::string(); }
    std::string RedoName() const { return CanRedo() ? mRedo.back().name : std::string(); }
    void Undo();
    void Redo();

    // Forgets every step: the document as it is now is where Undo stops.
    void Clear();
    // Remembers the document as it is now as the one on disk.
    void MarkSaved() { mSaved = mModel.TakeSnapshot().record; }
    // Whether the document equals the one on disk (undone back to it).
    bool IsAtSavedState() const { return mModel.TakeSnapshot().record == mSaved; }

    void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2, int32_t arg3,
                int32_t arg4) override;

private:
    // What a step's name is worked out from: the document before it.
    struct Outline {
        int32_t rangeCount = 0;
        std::vector<Handle> video;
        std::vector<Handle> audio;
    };
    struct Step {
        CTambleDocModel::SSnapshot state;
        std::string name;
        int rank = 0;
        Outline before;
    };

    void RecordEdit(int32_t changeCode);
    void Restore(const Step& step);
    Outline OutlineOf() const;
    // The edit's name and how much it says about the step (a flip says
    // more than the crop that turned with it).
    std::pair<std::string, int> NameOf(int32_t changeCode, const Outline& before) const;

    CTambleDocModel& mModel;
    size_t mDepth;
    std::deque<Step> mUndo;
    std::vector<Step> mRedo;
    CTambleDocModel::SSnapshot mCurrent;  // the document as the history last saw it
    Outline mCurrentOutline;
    Handle mSaved;
    bool mStepOpen = false;
    bool mRestoring = false;
};
