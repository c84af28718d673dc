// What the document window asks of the picture panes of its layout: the
// image well 'Prvw' (the watermark picture), the thumbnails 'Vthm' and the
// four comparison panes 1 to 4. Those panes are their own part of the
// program; a build without them leaves placeholders and nothing to
// connect.
#pragma once

#include "platform/media/FSSpec.h"

class CTambleVideoDocModel;
class LListener;
class QWidget;

namespace FourUpLink {

// Shows the watermark file in the window's image well and makes the
// listener hear the well's changes; nothing when there is no well.
void ConnectImageWell(QWidget* window, const FSSpec& watermark, LListener* listener);
// Shows a file in the image well (an empty name clears it).
void ShowInImageWell(QWidget* window, const FSSpec& file);
// The file the image well shows now; an empty record without a well.
FSSpec ImageWellFile(QWidget* window);

// Gives the thumbnails the application's image cache and reads their
// folder; false when the window has no thumbnails.
bool ConnectThumbnails(QWidget* window);

// Gives each comparison pane the model and the movie preview, and makes
// them scroll together.
void ConnectFourUp(QWidget* window, CTambleVideoDocModel* model, QWidget* moviePreview);

}  // namespace FourUpLink
