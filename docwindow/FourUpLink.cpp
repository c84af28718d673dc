#include "docwindow/FourUpLink.h"

#include <QObject>

#include "framework/gui/LPane.h"

#if __has_include("fourup/CImageFilePreview.h")
#include "fourup/CImageCache.h"
#include "fourup/CImageFilePreview.h"
#include "fourup/CSyncronizedFourUp.h"
#include "fourup/CThumbsView.h"
#include "fourup/CodecFourUp.h"
#include "preview/CMoviePreview.h"
#define MOVELARK_HAS_FOURUP 1
#endif

namespace FourUpLink {

#ifdef MOVELARK_HAS_FOURUP
namespace {
CImageFilePreview* ImageWellOf(QWidget* window) {
    return FindPaneByID<CImageFilePreview>(window, PaneIDT(CImageFilePreview::kClassID));
}

// The window's synchroniser lives as long as the window.
class SyncHolder : public QObject {
public:
    explicit SyncHolder(QObject* window) : QObject(window) {}
    CSyncronizedFourUp sync;
};
}  // namespace

void ConnectImageWell(QWidget* window, const FSSpec& watermark, LListener* listener) {
    CImageFilePreview* well = ImageWellOf(window);
    if (well == nullptr) return;
    well->SetImageFile(watermark);
    if (listener != nullptr) well->AddListener(listener);
}

void ShowInImageWell(QWidget* window, const FSSpec& file) {
    if (CImageFilePreview* well = ImageWellOf(window)) well->SetImageFile(file);
}

FSSpec ImageWellFile(QWidget* window) {
    const CImageFilePreview* well = ImageWellOf(window);
    return well != nullptr ? well->GetImageFile() : FSSpec{};
}

bool ConnectThumbnails(QWidget* window) {
    auto* thumbs = FindPaneByID<CThumbsView>(window, PaneIDT(CThumbsView::kClassID));
    if (thumbs == nullptr) return false;
    thumbs->SetImageCache(CImageCache::GetApplicationCache());
    thumbs->Reload();
    return true;
}

void ConnectFourUp(QWidget* window, CTambleVideoDocModel* model, QWidget* moviePreview) {
    auto* preview = dynamic_cast<CMoviePreview*>(moviePreview);
    SyncHolder* holder = nullptr;
    for (PaneIDT id = 1; id <= 4; ++id) {
        auto* pane = FindPaneByID<CodecFourUp>(window, id);
        if (pane == nullptr) continue;
        if (holder == nullptr) holder = new SyncHolder(window);
        pane->SetModel(model);
        pane->SetMoviePreview(preview);
        holder->sync.AttachPane(pane);
    }
}
#else
void ConnectImageWell(QWidget*, const FSSpec&, LListener*) {}
void ShowInImageWell(QWidget*, const FSSpec&) {}
FSSpec ImageWellFile(QWidget*) { return FSSpec{}; }
bool ConnectThumbnails(QWidget*) { return false; }
void ConnectFourUp(QWidget*, CTambleVideoDocModel*, QWidget*) {}
#endif

}  // namespace FourUpLink
