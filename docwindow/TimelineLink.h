// What the document window asks of its timeline pane ('vcST'). A build
// without the timeline leaves a placeholder and nothing to connect.
#pragma once

class CTambleVideoDocModel;
class QWidget;

namespace TimelineLink {

// Gives the window's timeline the model; nothing when there is none.
void ConnectTimeline(QWidget* window, CTambleVideoDocModel* model);

}  // namespace TimelineLink
