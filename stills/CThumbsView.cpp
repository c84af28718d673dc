#include "stills/CThumbsView.h"

#include <QFileDialog>
#include <QUrl>
#include <cstring>
#include <filesystem>

#include "appearance/StDrawingContext.h"
#include "framework/Ticks.h"
#include "framework/gui/DragFlavors.h"
#include "framework/gui/LControl.h"
#include "model/SChangeInfo.h"
#include "resources/StringLists.h"
#include "stills/CImageCache.h"
#include "stills/ThumbNailDragTask.h"

namespace {
constexpr int16_t kFolderNameList = 1002;
constexpr int16_t kThumbnailsFolderItem = 4;

CThumbsView::NameFilterProvider& FilterProvider() {
    static CThumbsView::NameFilterProvider provider;
    return provider;
}
CThumbsView::OpenDialogRunner& DialogRunner() {
    static CThumbsView::OpenDialogRunner runner;
    return runner;
}
}  // namespace

CThumbsView::CThumbsView(QWidget* parent)
    : CFileListBase(parent), CDelayedReceiver(this), mNextPreCache(TickCount()),
      mFolderName(GetIndString(kFolderNameList, kThumbnailsFolderItem)) {
    AcceptedFlavors().Append(kFlavorFile);
}

CThumbsView::~CThumbsView() { DetachFromAll(); }

const std::vector<OSType>& CThumbsView::ImportTypes() {
    static const std::vector<OSType> types = {
        FourCC("AllI"), FourCC("PICT"), FourCC("PICS"), FourCC("GIFf"), FourCC("PNGf"),
        FourCC("TIFF"), FourCC("8BPS"), FourCC(".SGI"), FourCC("BMPf"), FourCC("JPEG"),
        FourCC("PNTG"), FourCC("TPIC"), FourCC("qtif"), FourCC("FPix")};
    return types;
}

void CThumbsView::SetNameFilterProvider(NameFilterProvider provider) { FilterProvider() = std::move(provider); }
void CThumbsView::SetOpenDialogRunner(OpenDialogRunner runner) { DialogRunner() = std::move(runner); }

void CThumbsView::SetImageCache(CImageCache* cache) {
    mImageCache = cache;
    Refresh();
}

void CThumbsView::FinishCreateSelf() {
    CFileListBase::FinishCreateSelf();
    QWidget* root = window();
    mImportButton = FindRequiredPane<LControl>(root, kImportButtonPane);
    mDeleteButton = FindRequiredPane<LControl>(root, kDeleteButtonPane);
    mImportButton->AddListener(this);
    mDeleteButton->AddListener(this);
    SelectionChanged();
}

void CThumbsView::AddFileItem(const FSSpec& file, OSType) {
    CFileListBase::AddFileItem(file, 0);
    mPreCacheIndex = 0;
}

void CThumbsView::SelectionChanged() {
    if (mDeleteButton != nullptr) mDeleteButton->Widget()->setEnabled(GetSelection().IsSet());
}

void CThumbsView::DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) {
    ThumbNailDragTask task(viewport(), mouse.whereFrame, cell.translated(-GetScrollPosition()), file);
    task.Run();
}

void CThumbsView::DrawItem(const QRect& content, const FSSpec& file, bool) {
    if (mImageCache == nullptr) return;
    const QRegion clip = GetUpdateRegion().isEmpty() ? QRegion(content) : (GetUpdateRegion() & content);
    if (!mImageCache->DrawImage(this, file, content, clip, kScaleOne)) RemoveFile(file);
}

void CThumbsView::SpendTime(const EventRecord& event) {
    CFileListBase::SpendTime(event);
    PreCache(TickCount());
}

void CThumbsView::PreCache(uint32_t now) {
    if (int32_t(now - mNextPreCache) < 0) return;
    mNextPreCache = now + kPreCacheInterval;
    if (mPreCacheIndex >= uint32_t(CountItems())) return;
    ++mPreCacheIndex;
    const FSSpec file = GetItem(int32_t(mPreCacheIndex));
    // Files already cached (or unreadable) are passed over at once.
    if (mImageCache != nullptr && !mImageCache->CacheFile(file)) mNextPreCache = now - 1;
}

void CThumbsView::Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t, int32_t, int32_t) {
    if (senderKind != kSenderImageCache || arg1 == nullptr) return;
    const FSSpec file = *static_cast<const FSSpec*>(arg1);
    if (changeCode == kChangeImageReady)
        RefreshCell(IndexOfItem(file));
    else if (changeCode == kChangeImageFailed)
        RemoveFile(file);  // the file stays on disk; the next reload tries it again
}

void CThumbsView::OnMessage(MessageT message, void*) {
    if (message == MessageT(kImportButtonPane))
        Import();
    else if (message == MessageT(kDeleteButtonPane))
        DeleteSelection(false);
}

int32_t CThumbsView::ImportFiles(const std::vector<FSSpec>& files) {
    int32_t copied = 0;
    for (const FSSpec& file : files) {
        if (!CopyPreset(file)) break;
        ++copied;
    }
    ReloadSoon();
    return copied;
}

void CThumbsView::Import() {
    QStringList filters;
    if (FilterProvider()) filters = FilterProvider()(ImportTypes());
    if (filters.isEmpty())
        filters << QStringLiteral("Pictures (*.png *.jpg *.jpeg *.gif *.bmp *.tif *.tiff *.tga *.sgi *.psd *.pct *.pict)");
    QStringList chosen;
    if (DialogRunner()) {
        chosen = DialogRunner()(this, filters);
    } else {
        QFileDialog dialog(window());
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setNameFilters(filters);
        if (dialog.exec() == QDialog::Accepted) chosen = dialog.selectedFiles();
    }
    if (chosen.isEmpty()) return;
    std::vector<FSSpec> files;
    for (const QString& path : chosen) {
        FSSpec spec;
        if (FSSpec::FromPath(path.toStdString(), spec) != noErr) break;  // too long: stop there
        files.push_back(spec);
    }
    ImportFiles(files);
}

bool CThumbsView::ReceiveDropItem(Handle& data, OSType flavor, QPoint, int32_t) {
    if (flavor != kFlavorFile || data.Size() != kFileRecordSize) return false;
    FSSpec dropped;
    std::memcpy(&dropped, data.Data() + kFileRecordPrefixSize, sizeof dropped);
    if (!dropped.IsSet()) return false;
    std::error_code error;
    const auto resolved = std::filesystem::canonical(dropped.Path(), error);
    FSSpec file;
    if (error || FSSpec::FromPath(resolved.string(), file) != noErr) return false;
    ImportFiles({file});
    return false;
}
