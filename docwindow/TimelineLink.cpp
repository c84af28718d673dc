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
        // The zoom buttons and the settings controls beside the list talk
        // to it directly; the controls also show what the list's model holds.
        for (OSType id : {FourCC("ZMin"), FourCC("ZMot")})
            if (LControl* button = LControl::FindControl(window, PaneIDT(id))) button->Attach(list);
        list->AttachSettingsControls(LControl::FindControl(window, PaneIDT(FourCC("DEPT"))),
                                     LControl::FindControl(window, PaneIDT(FourCC("QUAL"))));
    }
#else
    (void)window;
    (void)model;
#endif
}

}  // namespace TimelineLink
