// The panes the movie preview works with, laid out in a plain window: the
// mode tabs and before/after captions above the preview, the transport and
// zoom buttons and the crop fields below it. The preview finds them by
// their IDs when it is finished.
#pragma once

class CMoviePreview;
class QWidget;

// Lays them out in `window` (in a column layout of its own); the preview is
// not finished yet.
CMoviePreview* BuildPreviewWindow(QWidget& window);
