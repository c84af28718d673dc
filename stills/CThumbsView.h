// The picture library of the document window: a grid of the image files in
// the thumbnails folder, drawn from the image cache, which the view fills
// ahead of time in idle passes. Pictures come in through Import or by
// dropping files; Delete removes the selected one without asking.
#pragma once

#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "catalogs/CFileListBase.h"
#include "framework/LListener.h"
#include "framework/gui/CDelayedReceiver.h"
#include "model/CObserver.h"

class CImageCache;
class LControl;

constexpr PaneIDT kImportButtonPane = PaneIDT(FourCC("sIMP"));
constexpr PaneIDT kDeleteButtonPane = PaneIDT(FourCC("sDEL"));

class CThumbsView : public CFileListBase, public CDelayedReceiver, public CObserver, public LListener {
    Q_OBJECT

public:
    static constexpr OSType kClassID = FourCC("Vthm");
    // New pictures are read at most one every this many ticks.
    static constexpr uint32_t kPreCacheInterval = 30;

    explicit CThumbsView(QWidget* parent = nullptr);
    ~CThumbsView() override;

    // The application's cache; null draws and caches nothing.
    void SetImageCache(CImageCache* cache);
    CImageCache* GetImageCache() const { return mImageCache; }
    uint32_t GetPreCacheIndex() const { return mPreCacheIndex; }

    // One pre-caching step at this tick count (the idle pass's second half).
    void PreCache(uint32_t now);
    void SpendTime(const EventRecord& event) override;

    // Copies files into the thumbnails folder in order, stopping at the
    // first that fails; the folder is read again at the next idle pass.
    // How many were copied.
    int32_t ImportFiles(const std::vector<FSSpec>& files);

    bool ReceiveDropItem(Handle& data, OSType flavor, QPoint dropPoint, int32_t extra) override;
    void Update(OSType senderKind, int32_t changeCode, void* arg1, int32_t arg2, int32_t arg3,
                int32_t arg4) override;
    void OnMessage(MessageT message, void* parameter) override;

    // The image kinds Import offers, in order.
    static const std::vector<OSType>& ImportTypes();
    // Turns those kinds into dialog filters (the file-type translation);
    // without one the dialog offers the common picture extensions.
    using NameFilterProvider = std::function<QStringList(const std::vector<OSType>&)>;
    static void SetNameFilterProvider(NameFilterProvider provider);
    // Shows the open dialog instead of the window system (tests): returns
    // the chosen paths, empty when cancelled.
    using OpenDialogRunner = std::function<QStringList(QWidget* parent, const QStringList& nameFilters)>;
    static void SetOpenDialogRunner(OpenDialogRunner runner);

protected:
    void FinishCreateSelf() override;
    void AddFileItem(const FSSpec& file, OSType fileType) override;
    void AddFolderItem(const FSSpec&) override {}
    void SelectionChanged() override;
    void PlayItem(const FSSpec&) override {}
    void ShowItemInfo(const FSSpec&) override {}
    void DragItem(const SViewMouse& mouse, const FSSpec& file, const QRect& cell) override;
    std::string FolderName() const override { return mFolderName; }
    void DrawItem(const QRect& content, const FSSpec& file, bool active) override;

private:
    void Import();

    CImageCache* mImageCache = nullptr;
    uint32_t mPreCacheIndex = 0;
    LControl* mImportButton = nullptr;
    LControl* mDeleteButton = nullptr;
    uint32_t mNextPreCache;
    std::string mFolderName;
};
