#include "docwindow/TimelineLink.h"

#include "framework/gui/LControl.h"
#include "framework/gui/LPane.h"
#include "model/CTambleVideoDocModel.h"

#if __has_include("timeline/CVideoList.h")
#include "timeline/CVideoList.h"
#define MOVELARK_HAS_TIMELINE 1
#endif

namespace TimelineLink {

void ConnectTimeline(QWidget* window, CTambleVideoDocModel* model) {
#ifdef MOVELARK_HAS_TIMELINE
    if (auto* list = FindPaneByID<CVideoList>(window, PaneIDT(FourCC("vcST")))) {
        list->FinishCreate();
        list->SetModel(model);
        // The zoom buttons beside the list talk to it directly.
        for (OSType id : {FourCC("ZMin"), FourCC("ZMot")})
            if (LControl* button = LControl::FindControl(window, PaneIDT(id))) button->Attach(list);
    }
#else
    (void)window;
    (void)model;
#endif
}

}  // namespace TimelineLink
