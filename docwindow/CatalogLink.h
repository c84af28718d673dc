// What the document window asks of the catalog panes of its layout (the
// filter list 'filt'). Those panes are their own part of the program; a
// build without them leaves placeholders and nothing to connect.
#pragma once

class CTambleVideoDocModel;
class QWidget;

namespace CatalogLink {

// Gives the window's filter list the model; nothing when there is none.
void ConnectFilterList(QWidget* window, CTambleVideoDocModel* model);

}  // namespace CatalogLink
