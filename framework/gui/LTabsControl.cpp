#include "framework/gui/LTabsControl.h"

#include "framework/gui/LMultiPanelView.h"

LTabsControl::LTabsControl(QWidget* parent) : QTabBar(parent), LControl(this) {
    setDrawBase(false);
    setExpanding(false);
    setDocumentMode(true);
    connect(this, &QTabBar::currentChanged, this, [this] {
        if (!mSettingTitles) TabChosen();
    });
}

void LTabsControl::SetValue(int32_t value) {
    if (value >= 1 && value <= count()) setCurrentIndex(value - 1);
}

QString LTabsControl::TabTitles() const {
    QStringList titles;
    for (int i = 0; i < count(); ++i) titles << tabText(i);
    return titles.join(QLatin1Char('|'));
}

void LTabsControl::SetTabTitles(const QString& titles) {
    mSettingTitles = true;
    while (count() > 0) removeTab(0);
    for (const QString& title : titles.split(QLatin1Char('|'), Qt::SkipEmptyParts)) addTab(title);
    mSettingTitles = false;
}

void LTabsControl::TabChosen() {
    const int32_t panel = GetValue();
    QWidget* root = window();
    for (const QString& name : mSwitchesPanels.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        for (auto* view : root->findChildren<LMultiPanelView*>(name.trimmed()))
            view->SwitchToPanel(panel);
    }
    BroadcastValueMessage();
}
