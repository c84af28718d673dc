#include "docwindow/PreviewLink.h"

#include "framework/gui/LControl.h"
#include "model/CTambleVideoDocModel.h"

#if __has_include("preview/CMoviePreview.h")
#include "preview/CMoviePreview.h"
#define MOVELARK_HAS_PREVIEW 1
#endif

namespace PreviewLink {

#ifdef MOVELARK_HAS_PREVIEW

bool IsMoviePreview(QWidget* pane) { return dynamic_cast<CMoviePreview*>(pane) != nullptr; }

void SetModel(QWidget* pane, CTambleVideoDocModel* model) {
    if (auto* preview = dynamic_cast<CMoviePreview*>(pane)) preview->SetModel(model);
}

void RecalcAndRefresh(QWidget* pane) {
    if (auto* preview = dynamic_cast<CMoviePreview*>(pane)) preview->RecalcAndRefresh();
}

void SetCropDisplayPanes(QWidget* pane, LControl* width, LControl* height) {
    if (auto* preview = dynamic_cast<CMoviePreview*>(pane)) preview->SetCropDisplayPanes(width != nullptr ? width->Widget() : nullptr,
                                      height != nullptr ? height->Widget() : nullptr);
}

#else

bool IsMoviePreview(QWidget*) { return false; }
void SetModel(QWidget*, CTambleVideoDocModel*) {}
void RecalcAndRefresh(QWidget*) {}
void SetCropDisplayPanes(QWidget*, LControl*, LControl*) {}

#endif

}  // namespace PreviewLink
