#include "docwindow/CTambleDoc.h"

#include <QApplication>
#include <QDir>
#include <algorithm>
#include <QFileInfo>
#include <QKeyEvent>

#include "catalogs/CFilterList.h"
#include "docwindow/CProgressWindow.h"
#include "docwindow/UserActionWatcher.h"
#include "docwindow/WindowKeys.h"
#include "fourup/CSyncronizedFourUp.h"
#include "fourup/CodecFourUp.h"
#include "framework/gui/ErrorMessages.h"
#include "framework/gui/LMultiPanelView.h"
#include "framework/gui/UModalAlerts.h"
#include "model/SChangeInfo.h"
#include "platform/files/ApplicationFolder.h"
#include "platform/files/DropletFile.h"
#include "platform/files/UFileTypeTranslator.h"
#include "platform/media/source/MovieRemux.h"
#include "preview/CMoviePreview.h"
#include "resources/StringLists.h"
#include "stills/CImageCache.h"
#include "stills/CImageFilePreview.h"
#include "stills/CThumbsView.h"
#include "timeline/CVideoList.h"

namespace {

QString IndString(int16_t list, int16_t item) { return QString::fromStdString(GetIndString(list, item)); }

// The file name without its last extension.
QString WithoutExtension(const QString& name) {
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QStringList FiltersForType(OSType type, int16_t descriptionItem) {
    QStringList filters = UFileTypeTranslator::ToQtNameFilters(GetIndString(3000, descriptionItem));
    if (filters.isEmpty()) filters = UFileTypeTranslator::NameFiltersForTypes({type});
    filters << QStringLiteral("All files (*)");
    return filters;
}

std::optional<FSSpec> AskForOutputFile(const QString& title, const QString& defaultName, OSType type,
                                       int16_t descriptionItem, const QString& folder) {
    UModalAlerts::SaveRequest request;
    request.title = title;
    request.defaultName = defaultName;
    request.folder = folder;
    request.nameFilters = FiltersForType(type, descriptionItem);
    request.defaultSuffix = UFileTypeTranslator::DefaultSuffixForType(type);
    const std::optional<QString> chosen = UModalAlerts::AskSave(request);
    if (!chosen) return std::nullopt;
    FSSpec file;
    if (FSSpec::FromPath(chosen->toStdString(), file) != noErr) {
        ShowErrorForCode(bdNamErr);
        return std::nullopt;
    }
    return file;
}

constexpr int16_t kMultiPanelOrder[][5] = {
    // pane ID index, then the panels in the order they are chosen (0 ends)
    {1, 4, 3, 2, 1},
    {2, 2, 1, 0, 0},
    {3, 4, 1, 0, 0},
    {4, 3, 2, 1, 0},
};

}  // namespace

CTambleDoc::CTambleDoc(LCommander* superCommander, const FSSpec* file) : LDocument(superCommander) {
    if (file == nullptr || !file->IsSet()) throw LException(paramErr, "no file to open");
    // A file of a movie type that does not open as a movie is refused too.
    if (!mModel.SetSourceFile(*file) || mModel.GetMovie() == nullptr) {
        if (mModel.GetOpenRefusal() == CTambleVideoDocModel::OpenRefusal::NoPictures)
            throw LException(kMovieWithoutPicturesErr, file->Path() + " has no pictures");
        throw LException(fnfErr, "the model cannot open " + file->Path());
    }
    SetSpecified(mModel.IsMovieDocument());
    try {
        BuildWindow();
    } catch (...) {
        DetachFromAll();
        DetachFromBroadcasters();
        delete mWindow;
        mWindow = nullptr;
        throw;
    }
    if (!mModel.GetSettingsWarning().empty()) ShowWarningText(QString::fromStdString(mModel.GetSettingsWarning()));
}

CTambleDoc::~CTambleDoc() {
    mKeys.reset();
    // The window and its panes go first; they may still look at the model.
    DetachFromAll();
    DetachFromBroadcasters();
    delete mWindow;
    mWindow = nullptr;
}

void CTambleDoc::BuildWindow() {
    try {
        mWindow = LWindow::CreateWindow(kWindowLayout, this);
    } catch (const LException&) {
        throw LException(err_NilPointer, "the document window's layout is missing");
    }
    SetTitle(mModel.GetFileSpec());
    SwitchMultiPanels();
    FindPanes();

    if (mSizeText != nullptr)
        mSizeText->SetDescriptor(QString::number(int64_t(mModel.GetFileSize()) / 1024) + QStringLiteral("K"));

    ShowModelSize();
    ConnectPanes();
    FindWatermarkInThumbnails();

    Observe(&mModel);
    mKeys = std::make_unique<WindowKeys>(mWindow, [this](const QKeyEvent& key) { HandleKeyPress(key); });
    // What the window did to the model while it was built is where Undo stops.
    mHistory.Clear();
    mHistory.MarkSaved();
    mActionWatcher = std::make_unique<UserActionWatcher>([this] { mHistory.BeginAction(); });
    mWindow->Select();
}

// The window system shows the file's name, a mark while it has unsaved
// changes, and the program's name (Qt adds it) in its usual order.
void CTambleDoc::SetTitle(const FSSpec& file) {
    mWindow->setWindowTitle(QString());
    mWindow->setWindowFilePath(QString::fromStdString(file.Path()));
    mWindow->setWindowModified(IsModified());
}

void CTambleDoc::SetModified(bool modified) {
    LDocument::SetModified(modified);
    if (mWindow != nullptr) mWindow->setWindowModified(modified);
}

// Panes inside multi-panels exist only once their panel has been shown;
// every panel the document needs is built now, each view ending on panel 1.
void CTambleDoc::SwitchMultiPanels() {
    static const char* const kNames[] = {"", "mul1", "mul2", "mul3", "mul4"};
    for (const auto& order : kMultiPanelOrder) {
        auto* view = mWindow->findChild<LMultiPanelView*>(QString::fromLatin1(kNames[order[0]]));
        if (view == nullptr) continue;
        for (int i = 1; i < 5 && order[i] != 0; ++i) view->SwitchToPanel(order[i], false);
    }
}

void CTambleDoc::FindPanes() {
    mCustomSize = FindRequiredPane<LControl>(mWindow, kCustomSizePane);
    mWidthField = FindRequiredPane<LControl>(mWindow, kWidthPane);
    mHeightField = FindRequiredPane<LControl>(mWindow, kHeightPane);
    mConstrain = FindRequiredPane<LControl>(mWindow, kConstrainPane);
    mMoviePreview = FindRequiredPane<CMoviePreview>(mWindow, kMoviePreviewPane);
    mImageWell = FindPaneByID<CImageFilePreview>(mWindow, PaneIDT(CImageFilePreview::kClassID));
    mSizeText = FindPaneByID<LControl>(mWindow, kSizeTextPane);
    mCompressButton = FindPaneByID<LControl>(mWindow, kCompressButton);
    const PaneIDT cropIDs[4] = {kCropLeftPane, kCropTopPane, kCropRightPane, kCropBottomPane};
    for (size_t i = 0; i < mCropFields.size(); ++i) mCropFields[i] = FindPaneByID<LControl>(mWindow, cropIDs[i]);
}

// The size controls show what the compressor will do: the custom size
// when the model has one, else the crop size. Quiet: none of this is an
// edit (at construction nobody listens yet anyway).
void CTambleDoc::ShowModelSize() {
    const bool custom = mModel.GetOutputWidth() != 0 && mModel.GetOutputHeight() != 0;
    SetFieldQuietly(mCustomSize, custom ? 1 : 0);
    SetFieldQuietly(mConstrain, custom && mModel.GetConstrainProportions() ? 1 : 0);
    DriveSizeFields(!custom);
    if (!custom) return;
    SetFieldQuietly(mWidthField, mModel.GetOutputWidth());
    SetFieldQuietly(mHeightField, mModel.GetOutputHeight());
}

void CTambleDoc::ConnectPanes() {
    mWidthField->AddListener(this);
    mHeightField->AddListener(this);
    mCustomSize->AddListener(this);
    mConstrain->AddListener(this);
    if (mCompressButton != nullptr) mCompressButton->AddListener(this);
    for (LControl* field : mCropFields)
        if (field != nullptr) field->AddListener(this);
    mMoviePreview->SetModel(&mModel);
    if (auto* filters = FindPaneByID<CFilterList>(mWindow, PaneIDT(FourCC("filt")))) filters->SetModel(&mModel);
    if (auto* list = FindPaneByID<CVideoList>(mWindow, PaneIDT(FourCC("vcST")))) {
        list->FinishCreate();
        list->SetModel(&mModel);
        // The zoom buttons and the settings controls beside the list talk
        // to it directly; the controls also show what the list's model holds.
        for (OSType id : {FourCC("ZMin"), FourCC("ZMot")})
            if (LControl* button = LControl::FindControl(mWindow, PaneIDT(id))) button->Attach(list);
        list->AttachSettingsControls(LControl::FindControl(mWindow, PaneIDT(FourCC("DEPT"))),
                                     LControl::FindControl(mWindow, PaneIDT(FourCC("QUAL"))));
    }
    if (mImageWell != nullptr) {
        mImageWell->SetImageFile(mModel.GetWatermarkFile());
        mImageWell->AddListener(this);
    }
    if (auto* thumbs = FindPaneByID<CThumbsView>(mWindow, PaneIDT(CThumbsView::kClassID))) {
        thumbs->SetImageCache(CImageCache::GetApplicationCache());
        thumbs->Reload();
    }
    // The comparison panes 1 to 4 scroll together.
    for (PaneIDT id = 1; id <= 4; ++id) {
        auto* pane = FindPaneByID<CodecFourUp>(mWindow, id);
        if (pane == nullptr) continue;
        if (!mFourUpSync) mFourUpSync = std::make_unique<CSyncronizedFourUp>();
        pane->SetModel(&mModel);
        pane->SetMoviePreview(mMoviePreview);
        mFourUpSync->AttachPane(pane);
    }
}

void CTambleDoc::FindWatermarkInThumbnails() {
    const FSSpec& watermark = mModel.GetWatermarkFile();
    if (!watermark.IsSet()) return;
    const QString folder = QString::fromStdString(ApplicationFolder()) + QLatin1Char('/') + IndString(1002, 4);
    if (!QFileInfo(folder).isDir()) return;
    FSSpec inFolder;
    const std::string path = (folder + QLatin1Char('/') + QString::fromStdString(watermark.FileName(true))).toStdString();
    if (FSSpec::FromPath(path, inFolder) == noErr) mModel.SetWatermarkFile(inFolder);
}

void CTambleDoc::DriveSizeFields(bool drive) {
    mPreviewDrivesFields = drive;
    mMoviePreview->SetCropDisplayPanes(drive ? mWidthField->Widget() : nullptr, drive ? mHeightField->Widget() : nullptr);
}

void CTambleDoc::SetFieldQuietly(LControl* field, int32_t value) {
    if (field == nullptr || field->GetValue() == value) return;
    StQuietControl quiet(field);
    field->SetValue(value);
}

// ---- The framework's document operations ----

QString CTambleDoc::GetDescriptor() const { return QString::fromStdString(mModel.GetFileSpec().FileName(true)); }

bool CTambleDoc::UsesFileSpec(const FSSpec& file) const {
    if (!IsSpecified()) return false;
    const FSSpec& mine = mModel.GetFileSpec();
    if (!file.IsSet() || !mine.IsSet()) return false;
    return file.vRefNum == mine.vRefNum && file.parID == mine.parID &&
           QString::fromStdString(file.Path()).compare(QString::fromStdString(mine.Path()), Qt::CaseInsensitive) == 0;
}

void CTambleDoc::MakeCurrent() {
    if (mWindow != nullptr) mWindow->Select();
}

bool CTambleDoc::AskSaveAs(FSSpec& file) {
    const QString folder = QFileInfo(QString::fromStdString(mModel.GetFileSpec().Path())).absolutePath();
    // A movie of another kind is saved as a copy that can hold its tracks.
    QString name = GetDescriptor();
    if (!mModel.IsMovieDocument()) {
        try {
            name = WithoutExtension(name) + QLatin1Char('.') +
                   QString::fromStdString(CopyExtensionFor(mModel.GetFileSpec().Path()));
        } catch (const LException&) {
        }
    }
    auto chosen = AskForOutputFile(IndString(1000, 4).isEmpty() ? QStringLiteral("Save the movie as:") : IndString(1000, 4),
                                   name, CTambleVideoDocModel::kMovieFileType, 5, folder);
    if (!chosen) return false;
    file = *chosen;
    return true;
}

void CTambleDoc::DoAESave(const FSSpec& file) {
    const OSErr err = mModel.SaveMovieAs(file);
    if (err != noErr) {
        ShowErrorForCode(err);
        return;
    }
    SetSpecified(true);
    SetModified(false);
    SetTitle(file);
    mHistory.MarkSaved();
}

void CTambleDoc::DoSave() {
    try {
        mModel.SaveSettingsToMovie();
    } catch (const LException& e) {
        ShowErrorMessage(kErrorStringList, 34);
        return;
    }
    SetModified(false);
    mHistory.MarkSaved();
}

void CTambleDoc::DoRevert() {
    mModel.RefreshFromSource();
    SetModified(false);
}

// ---- Document commands ----

QString CTambleDoc::DefaultOutputName() const {
    return WithoutExtension(GetDescriptor()) + QStringLiteral(" new") + IndString(1003, 2);
}

void CTambleDoc::CompressToMovie() {
    if (!mModel.CanCompress()) {
        ShowErrorMessage(kDocumentStringList, mModel.HasAudio() ? 9 : 10);
        return;
    }
    // A size the codec cannot take is refused before the width question,
    // so that a yes never leads to a run that fails.
    std::string why;
    if (!mModel.CanCompressAtOutputSize(why)) {
        ShowErrorText(QString::fromStdString(why));
        return;
    }
    if (!mModel.IsOutputWidthValid() && !AskYesNo(kDocumentStringList, 15)) return;

    const QString folder = QFileInfo(QString::fromStdString(mModel.GetFileSpec().Path())).absolutePath();
    const auto destination = AskForOutputFile(IndString(1000, 2), DefaultOutputName(),
                                              CTambleVideoDocModel::kMovieFileType, 5, folder);
    if (!destination) return;
    WindowedCompression inAProgressWindow(GetSuperCommander());
    const OSErr err = mModel.Compress(*destination, inAProgressWindow);
    if (err == noErr) return;
    // The job's own sentence says more than a bare number would.
    if (!ErrorItemForCode(err) && !mModel.GetCompressMessage().empty())
        ShowErrorText(QString::fromStdString(mModel.GetCompressMessage()) +
                      QStringLiteral(" (error %1)").arg(err));
    else
        ShowErrorForCode(err);
}

void CTambleDoc::WriteDropletFile() {
    const OSType dropletType = FourCC("DExe");
    const QString folder = QFileInfo(QString::fromStdString(mModel.GetFileSpec().Path())).absolutePath();
    const auto destination = AskForOutputFile(IndString(1000, 3), WithoutExtension(GetDescriptor()),
                                              dropletType, 4, folder);
    if (!destination) return;
    bool written = false;
    try {
        written = WriteDroplet(mModel.WriteSettings(), *destination);
    } catch (const std::exception&) {
    }
    if (!written) ShowErrorMessage(kErrorStringList, 35);
}

bool CTambleDoc::HandleCommand(CommandT command, void* parameter) {
    switch (command) {
        case cmd_Compress:
            CompressToMovie();
            return true;
        case cmd_WriteDroplet:
            WriteDropletFile();
            return true;
        case cmd_FlipHorizontal:
            mModel.ToggleFlipHorizontal();
            return true;
        case cmd_FlipVertical:
            mModel.ToggleFlipVertical();
            return true;
        case cmd_RotateLeft:
            mModel.SetRotation((mModel.GetRotation() + 270) % 360);
            return true;
        case cmd_RotateRight:
            mModel.SetRotation((mModel.GetRotation() + 90) % 360);
            return true;
        case cmd_Undo:
        case cmd_Redo:
            UndoOrRedo(command == cmd_Redo);
            return true;
        default:
            return LDocument::HandleCommand(command, parameter);
    }
}

bool CTambleDoc::FindCommandStatus(CommandT command, SCommandStatus& status) {
    switch (command) {
        case cmd_Compress:
        case cmd_WriteDroplet:
        case cmd_FlipHorizontal:
        case cmd_FlipVertical:
        case cmd_RotateLeft:
        case cmd_RotateRight:
            status.enabled = true;
            return true;
        case cmd_Undo:
            status.enabled = mHistory.CanUndo();
            status.name = QStringLiteral("Undo");
            if (status.enabled) status.name += QLatin1Char(' ') + QString::fromStdString(mHistory.UndoName());
            return true;
        case cmd_Redo:
            status.enabled = mHistory.CanRedo();
            status.name = QStringLiteral("Redo");
            if (status.enabled) status.name += QLatin1Char(' ') + QString::fromStdString(mHistory.RedoName());
            return true;
        default:
            return LDocument::FindCommandStatus(command, status);
    }
}

bool CTambleDoc::HandleKeyPress(const QKeyEvent& key) {
    // What a text field lets through (a space in a number) is still typing.
    if (!WindowKeys::IsDocumentKey(key, QApplication::focusWidget())) return false;
    switch (key.key()) {
        case Qt::Key_Home:
            mModel.GoToStart();
            break;
        case Qt::Key_End:
            mModel.GoToEnd();
            break;
        case Qt::Key_Left:
            mModel.StepFrames(-1);
            break;
        case Qt::Key_Right:
            mModel.StepFrames(1);
            break;
        case Qt::Key_Space:
            if (mModel.IsPlaying())
                mModel.Stop();
            else
                mModel.Play();
            break;
        default:
            break;
    }
    // The keys move the preview but are not taken: others may want them.
    return false;
}

void CTambleDoc::UndoOrRedo(bool redo) {
    mModel.Stop();
    if (redo)
        mHistory.Redo();
    else
        mHistory.Undo();
    SetModified(!mHistory.IsAtSavedState());
}

// ---- Messages from the panes ----

void CTambleDoc::OnMessage(MessageT message, void* parameter) {
    const int32_t value = parameter != nullptr ? *static_cast<const int32_t*>(parameter) : 0;
    switch (message) {
        case kWidthPane:
            mModel.SetOutputWidth(value);
            break;
        case kHeightPane:
            mModel.SetOutputHeight(value);
            break;
        case kConstrainPane:
            mModel.SetConstrainProportions(value != 0);
            break;
        case kCustomSizePane:
            if (value == 0) {
                DriveSizeFields(true);
                SetFieldQuietly(mConstrain, 0);
            } else {
                DriveSizeFields(false);
            }
            mModel.SetCustomSize(value != 0);
            break;
        case kCompressButton:
            CompressToMovie();
            break;
        case msg_ImagePreviewChanged:
            if (mImageWell != nullptr) mModel.SetWatermarkFile(mImageWell->GetImageFile());
            break;
        case kCropLeftPane:
        case kCropTopPane:
        case kCropRightPane:
        case kCropBottomPane:
            MoveCropEdge(message, value);
            break;
        default:
            break;
    }
}

// A typed edge stays inside the picture and keeps the crop at least 4
// pixels wide and high, as dragging it in the preview does.
void CTambleDoc::MoveCropEdge(PaneIDT edge, int32_t value) {
    constexpr int32_t kMinimum = 4;
    const int32_t width = mModel.GetDisplayWidth(), height = mModel.GetDisplayHeight();
    int32_t left = mModel.GetCropLeft(), top = mModel.GetCropTop();
    int32_t right = std::min(mModel.GetCropRight(), width), bottom = std::min(mModel.GetCropBottom(), height);
    switch (edge) {
        case kCropLeftPane: left = std::clamp(value, 0, std::max(0, right - kMinimum)); break;
        case kCropTopPane: top = std::clamp(value, 0, std::max(0, bottom - kMinimum)); break;
        case kCropRightPane: right = std::clamp(value, std::min(width, left + kMinimum), width); break;
        case kCropBottomPane: bottom = std::clamp(value, std::min(height, top + kMinimum), height); break;
        default: return;
    }
    mModel.SetCrop(left, top, right, bottom);
    // The field shows what the crop became, also when the value was cut.
    const int32_t shown[4] = {left, top, right, bottom};
    for (size_t i = 0; i < mCropFields.size(); ++i) SetFieldQuietly(mCropFields[i], shown[i]);
    // A crop the preview did not drag itself: it lays the picture out anew
    // (the split halves depend on the crop) and draws it.
    mMoviePreview->RecalcAndRefresh();
}

// ---- The model's announcements ----

void CTambleDoc::Update(OSType senderKind, int32_t changeCode, void*, int32_t, int32_t, int32_t) {
    if (senderKind != kSenderDocModel) return;
    // Playback moves the model's position, which is no edit of the
    // document; everything else is.
    if (changeCode != kChangePlay && changeCode != kChangeStop && changeCode != kChangeCurrentTime)
        SetModified(true);
    switch (changeCode) {
        case kChangeRefreshFromSource:
            if (mImageWell != nullptr) mImageWell->SetImageFile(mModel.GetWatermarkFile());
            ShowModelSize();
            break;
        case kChangeOutputWidth:
            if (!mPreviewDrivesFields) SetFieldQuietly(mWidthField, mModel.GetOutputWidth());
            break;
        case kChangeOutputHeight:
            if (!mPreviewDrivesFields) SetFieldQuietly(mHeightField, mModel.GetOutputHeight());
            break;
        case kChangeCustomSize:
        case kChangeConstrainProportions:
            ShowModelSize();
            break;
        case kChangeWatermarkFile:
            if (mImageWell != nullptr) mImageWell->SetImageFile(mModel.GetWatermarkFile());
            break;
        default:
            break;
    }
}
