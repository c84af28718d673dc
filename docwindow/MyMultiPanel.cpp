#include "docwindow/MyMultiPanel.h"

void MyMultiPanel::SwitchToPanel(int32_t n, bool deleteOld) {
    if (n < 1 || n > CountPanels()) return;
    if (n == 2 || n == 3) SetPanelLayout(n, GetPanelLayout(1));
    if (n < 4 && mCurrent >= 1 && mCurrent < 4) {
        mCurrent = n;
        return;
    }
    // Coming from panel 4 or above (or from nothing): the shared panel is
    // built only the first time; later it is shown again as it was.
    if (n < 4 && GetPanelView(n) == nullptr) {
        for (int32_t k = 1; k <= 3 && k <= CountPanels(); ++k) {
            if (QWidget* shared = GetPanelView(k)) {
                mPanels[size_t(n - 1)].view = shared;
                break;
            }
        }
    }
    SwitchPanelView(n, deleteOld);
}
