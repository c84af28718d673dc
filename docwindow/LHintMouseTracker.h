// Finds the pane under the mouse on every idle pass and tells its
// attachments when the mouse enters it, stays in it and leaves it (950,
// 951, 952). One per application.
#pragma once

#include <QPointer>
#include <QWidget>

#include "framework/EventRecord.h"
#include "framework/LPeriodical.h"

constexpr uint16_t kHighLevelEvent = 23;

class LHintMouseTracker : public LPeriodical {
public:
    LHintMouseTracker() = default;
    ~LHintMouseTracker() override;

    void SpendTime(const EventRecord& event) override;

    // The deepest named pane at a global position, or null outside every
    // window's content.
    static QWidget* PaneAt(QPoint global);
    // The pane last under the mouse (process-wide).
    static QWidget* LastPane();
    static void ForgetLastPane();
};
