// What the document window asks of the movie preview pane ('mvPV'). The
// preview is its own part of the program; when this build does not have
// it, the layout holds a placeholder and the document drives the size
// fields itself.
#pragma once

class CTambleVideoDocModel;
class LControl;
class QWidget;

namespace PreviewLink {

// True when the pane is a real movie preview.
bool IsMoviePreview(QWidget* pane);
void SetModel(QWidget* pane, CTambleVideoDocModel* model);
// Lays the picture out anew and redraws it (after an edit the preview
// did not make itself).
void RecalcAndRefresh(QWidget* pane);
// The preview shows the crop size in these fields from now on; nulls
// stop it.
void SetCropDisplayPanes(QWidget* pane, LControl* width, LControl* height);

}  // namespace PreviewLink
