#include "framework/gui/LMultiPanelView.h"

#include <QShowEvent>

#include "framework/gui/ULayoutLoader.h"

LMultiPanelView::LMultiPanelView(QWidget* parent) : QStackedWidget(parent) {}

int16_t LMultiPanelView::GetPanelLayout(int32_t n) const {
    return n >= 1 && n <= CountPanels() ? mPanels[size_t(n - 1)].layout : int16_t(0);
}

void LMultiPanelView::SetPanelLayout(int32_t n, int16_t layout) {
    if (n >= 1 && n <= CountPanels()) mPanels[size_t(n - 1)].layout = layout;
}

QWidget* LMultiPanelView::GetPanelView(int32_t n) const {
    return n >= 1 && n <= CountPanels() ? mPanels[size_t(n - 1)].view : nullptr;
}

QString LMultiPanelView::PanelLayoutsText() const {
    QStringList numbers;
    for (const Panel& panel : mPanels) numbers << QString::number(panel.layout);
    return numbers.join(QLatin1Char(','));
}

void LMultiPanelView::SetPanelLayoutsText(const QString& text) {
    // Only before anything is built: the table belongs to the layout.
    if (mBuildCount > 0) return;
    mPanels.clear();
    for (const QString& number : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        mPanels.push_back(Panel{int16_t(number.trimmed().toInt()), nullptr});
}

void LMultiPanelView::SwitchToPanel(int32_t n, bool deleteOld) { SwitchPanelView(n, deleteOld); }

void LMultiPanelView::SwitchPanelView(int32_t n, bool deleteOld) {
    if (n < 1 || n > CountPanels() || n == mCurrent) return;
    if (mCurrent >= 1) {
        Panel& old = mPanels[size_t(mCurrent - 1)];
        QWidget* oldView = old.view;
        if (deleteOld && oldView != nullptr) {
            // Another panel may share the view (see MyMultiPanel).
            for (Panel& p : mPanels)
                if (p.view == oldView) p.view = nullptr;
            removeWidget(oldView);
            oldView->deleteLater();
        }
    }
    mCurrent = n;
    QWidget* view = mPanels[size_t(n - 1)].view;
    if (view == nullptr) view = BuildPanel(n);
    // A pane finishing inside the new panel may have switched again.
    if (mCurrent == n) setCurrentWidget(view);
}

QWidget* LMultiPanelView::BuildPanel(int32_t n) {
    Panel& panel = mPanels[size_t(n - 1)];
    QWidget* view = panel.layout != 0 ? ULayoutLoader::Load(panel.layout, this) : new QWidget(this);
    panel.view = view;
    ++mBuildCount;
    addWidget(view);
    // The panel is in place before its panes finish: they may look for
    // each other, and for this view, while doing so.
    ULayoutLoader::FinishCreate(view);
    return view;
}

void LMultiPanelView::showEvent(QShowEvent* event) {
    if (mCurrent == 0 && !mPanels.empty()) SwitchToPanel(1);
    QStackedWidget::showEvent(event);
}
