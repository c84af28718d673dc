// A row of tabs; its value is the chosen tab, counted from 1. The layout
// names the tabs ("tabTitles", separated by "|") and may name multi-panel
// views that follow the tabs ("switchesPanels", pane IDs separated by
// commas): choosing tab n switches each of them to panel n before the
// value message goes out.
#pragma once

#include <QTabBar>

#include "framework/gui/LControl.h"

class LTabsControl : public QTabBar, public LControl {
    Q_OBJECT
    Q_PROPERTY(QString tabTitles READ TabTitles WRITE SetTabTitles)
    Q_PROPERTY(QString switchesPanels READ SwitchesPanels WRITE SetSwitchesPanels)

public:
    explicit LTabsControl(QWidget* parent = nullptr);

    int32_t GetValue() const override { return currentIndex() + 1; }
    void SetValue(int32_t value) override;

    QString TabTitles() const;
    void SetTabTitles(const QString& titles);
    QString SwitchesPanels() const { return mSwitchesPanels; }
    void SetSwitchesPanels(const QString& panes) { mSwitchesPanels = panes; }

private:
    void TabChosen();

    QString mSwitchesPanels;
    bool mSettingTitles = false;
};
