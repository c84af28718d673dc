#include "docwindow/CatalogLink.h"

#include "framework/gui/LPane.h"
#include "model/CTambleVideoDocModel.h"

#if __has_include("catalogs/CFilterList.h")
#include "catalogs/CFilterList.h"
#define MOVELARK_HAS_FILTER_LIST 1
#endif

namespace CatalogLink {

void ConnectFilterList(QWidget* window, CTambleVideoDocModel* model) {
#ifdef MOVELARK_HAS_FILTER_LIST
    if (auto* filters = FindPaneByID<CFilterList>(window, PaneIDT(FourCC("filt")))) filters->SetModel(model);
#else
    (void)window;
    (void)model;
#endif
}

}  // namespace CatalogLink
