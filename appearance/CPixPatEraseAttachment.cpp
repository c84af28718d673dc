#include "appearance/CPixPatEraseAttachment.h"

#include <QEvent>

#include "appearance/StDrawingContext.h"

CPixPatEraseAttachment::CPixPatEraseAttachment(QWidget* pane) : QObject(pane), mPane(pane) {
    if (mPane != nullptr) mPane->installEventFilter(this);
}

bool CPixPatEraseAttachment::eventFilter(QObject* watched, QEvent* event) {
    // Runs inside the pane's paint event, before the pane's own drawing.
    if (watched == mPane && event->type() == QEvent::Paint) {
        StDrawingContext context(static_cast<QPaintDevice*>(mPane));
        Erase(context);
    }
    return false;
}

void CPixPatEraseAttachment::Erase(StDrawingContext& context) {
    if (QPainter* p = context.GetDeviceContext())
        p->fillRect(mPane->rect(), context.GetPalette().color(QPalette::Window));
}

CPixPatEraseAttachmentForTabs::CPixPatEraseAttachmentForTabs(QWidget* pane, int16_t themeColor)
    : CPixPatEraseAttachment(pane), mThemeColor(themeColor) {}

void CPixPatEraseAttachmentForTabs::Erase(StDrawingContext& context) {
    QPainter* p = context.GetDeviceContext();
    if (p == nullptr) return;
    context.SetPenTheme(mThemeColor);
    p->fillRect(Pane()->rect(), context.GetPenColor());
    context.NormalPen();
    context.SetPenColor(33);
}
