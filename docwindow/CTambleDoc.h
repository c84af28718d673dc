// One open movie: its video document model and the window that shows it
// (layout 2000). Wires the panes to the model, turns the size controls'
// messages into model edits and the model's announcements back into the
// controls, and carries out the document commands: compress, write a
// droplet, flip and rotate, the preview keys, save, save as and revert.
#pragma once

#include <QString>
#include <array>
#include <memory>

#include "framework/FourCharCode.h"
#include "framework/LListener.h"
#include "framework/gui/LControl.h"
#include "framework/gui/LDocument.h"
#include "framework/gui/LWindow.h"
#include "model/CEditHistory.h"
#include "model/CObserver.h"
#include "model/CTambleVideoDocModel.h"

class CImageFilePreview;
class CMoviePreview;
class CSyncronizedFourUp;

// The document's own commands.
// The constructor's error for a file that opens but has no pictures.
constexpr int32_t kMovieWithoutPicturesErr = 10013;

constexpr CommandT cmd_Compress = CommandT(FourCC("EPRT"));
constexpr CommandT cmd_WriteDroplet = CommandT(FourCC("EPT2"));
constexpr CommandT cmd_FlipHorizontal = CommandT(FourCC("FLPH"));
constexpr CommandT cmd_FlipVertical = CommandT(FourCC("FLPV"));
constexpr CommandT cmd_RotateLeft = CommandT(FourCC("ROTL"));
constexpr CommandT cmd_RotateRight = CommandT(FourCC("ROTR"));
// Undo is the framework's command 11; Redo is the document's own.
constexpr CommandT cmd_Redo = CommandT(FourCC("Redo"));

// Pane IDs of layout 2000 that the document uses.
constexpr PaneIDT kCustomSizePane = PaneIDT(FourCC("SCAL"));
constexpr PaneIDT kWidthPane = PaneIDT(FourCC("WIDT"));
constexpr PaneIDT kHeightPane = PaneIDT(FourCC("HIGH"));
constexpr PaneIDT kConstrainPane = PaneIDT(FourCC("ASPC"));
constexpr PaneIDT kSizeTextPane = PaneIDT(FourCC("iSIZ"));
constexpr PaneIDT kMoviePreviewPane = PaneIDT(FourCC("mvPV"));
constexpr PaneIDT kCompressButton = PaneIDT(FourCC("EPRT"));
constexpr PaneIDT kImageFilePreviewPane = PaneIDT(FourCC("Prvw"));
constexpr MessageT msg_ImagePreviewChanged = MessageT(FourCC("IPch"));
// The crop edge fields the preview fills; typing in them moves that edge.
constexpr PaneIDT kCropLeftPane = PaneIDT(FourCC("iLFT"));
constexpr PaneIDT kCropTopPane = PaneIDT(FourCC("iTOP"));
constexpr PaneIDT kCropRightPane = PaneIDT(FourCC("iRGT"));
constexpr PaneIDT kCropBottomPane = PaneIDT(FourCC("iBOT"));

class WindowKeys;
class UserActionWatcher;

class CTambleDoc : public LDocument, public LListener, public CObserver {
public:
    static constexpr int16_t kWindowLayout = 2000;

    // Opens the file in a new window. Throws LException when the file is
    // missing or not a movie the model can open, or when the layout lacks
    // a required pane ('nilP'); no window stays then.
    CTambleDoc(LCommander* superCommander, const FSSpec* file);
    ~CTambleDoc() override;

    CTambleVideoDocModel& Model() { return mModel; }
    CEditHistory& History() { return mHistory; }
    LWindow* GetWindow() const { return mWindow; }

    // ---- The framework's document operations ----
    QString GetDescriptor() const override;
    bool UsesFileSpec(const FSSpec& file) const override;
    void MakeCurrent() override;
    OSType GetFileType() const override { return CTambleVideoDocModel::kMovieFileType; }
    bool AskSaveAs(FSSpec& file) override;
    void DoAESave(const FSSpec& file) override;
    void DoSave() override;
    void DoRevert() override;
    void DoPrint() override {}
    void SetModified(bool modified) override;

    // ---- Document commands ----
    void CompressToMovie();
    void WriteDropletFile();
    // The name the compress dialog proposes: the document's name without
    // its last extension, " new", and the movie extension.
    QString DefaultOutputName() const;

    void OnMessage(MessageT message, void* parameter) override;
    void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2, int32_t arg3,
                int32_t arg4) override;

protected:
    bool HandleCommand(CommandT command, void* parameter) override;
    bool FindCommandStatus(CommandT command, SCommandStatus& status) override;
    bool HandleKeyPress(const QKeyEvent& key) override;

private:
    void BuildWindow();
    void SwitchMultiPanels();
    void FindPanes();
    void ShowModelSize();
    void ConnectPanes();
    void FindWatermarkInThumbnails();
    // The preview shows the crop size in the size fields; or stops doing so.
    void DriveSizeFields(bool drive);
    void SetTitle(const FSSpec& file);
    void SetFieldQuietly(LControl* field, int32_t value);
    void MoveCropEdge(PaneIDT edge, int32_t value);
    void UndoOrRedo(bool redo);

    // The model first: it outlives the window, which the destructor
    // removes before anything else.
    CTambleVideoDocModel mModel;
    CEditHistory mHistory{mModel};
    std::unique_ptr<UserActionWatcher> mActionWatcher;
    LWindow* mWindow = nullptr;
    LControl* mCustomSize = nullptr;
    LControl* mWidthField = nullptr;
    LControl* mHeightField = nullptr;
    LControl* mConstrain = nullptr;
    LControl* mSizeText = nullptr;
    LControl* mCompressButton = nullptr;
    std::array<LControl*, 4> mCropFields{};
    CMoviePreview* mMoviePreview = nullptr;
    CImageFilePreview* mImageWell = nullptr;       // the watermark picture, when the layout has one
    std::unique_ptr<CSyncronizedFourUp> mFourUpSync;  // the comparison panes, when there are any
    bool mPreviewDrivesFields = false;
    std::unique_ptr<WindowKeys> mKeys;  // the preview keys wherever the focus is
};
