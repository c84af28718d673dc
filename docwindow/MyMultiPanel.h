// A multi-panel view whose panels 1, 2 and 3 share one panel: choosing
// among them keeps the same panes and changes only the panel number (the
// panes look at the number to decide what they show). Panel 4 and above
// are ordinary panels.
#pragma once

#include "framework/FourCharCode.h"
#include "framework/gui/LMultiPanelView.h"

class MyMultiPanel : public LMultiPanelView {
    Q_OBJECT

public:
    static constexpr OSType kClassID = FourCC("MyMP");

    explicit MyMultiPanel(QWidget* parent = nullptr) : LMultiPanelView(parent) {}

    void SwitchToPanel(int32_t n, bool deleteOld = false) override;
};
