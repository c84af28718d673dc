// A view that shows one of several panels, each built from its own layout
// the first time it is shown (a stacked widget underneath). Panels count
// from 1; the layout numbers come from the window layout ("panelLayouts",
// numbers separated by commas; 0 is an empty panel). Nothing is built
// until the first switch, or until the view is first shown.
#pragma once

#include <QStackedWidget>
#include <cstdint>
#include <vector>

class LMultiPanelView : public QStackedWidget {
    Q_OBJECT
    Q_PROPERTY(QString panelLayouts READ PanelLayoutsText WRITE SetPanelLayoutsText)

public:
    struct Panel {
        int16_t layout = 0;
        QWidget* view = nullptr;  // owned by this view once built
    };

    explicit LMultiPanelView(QWidget* parent = nullptr);

    // Hides the shown panel (destroying it when deleteOld is set), makes
    // panel n current and shows it, building it when needed. A number out
    // of range changes nothing.
    virtual void SwitchToPanel(int32_t n, bool deleteOld = false);

    int32_t GetCurrentPanel() const { return mCurrent; }
    int32_t CountPanels() const { return int32_t(mPanels.size()); }
    int16_t GetPanelLayout(int32_t n) const;
    void SetPanelLayout(int32_t n, int16_t layout);
    QWidget* GetPanelView(int32_t n) const;
    // How many panel views have been built so far.
    int32_t BuildCount() const { return mBuildCount; }

    QString PanelLayoutsText() const;
    void SetPanelLayoutsText(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    // The usual switch, without the shortcuts of derived views.
    void SwitchPanelView(int32_t n, bool deleteOld);
    // Builds panel n's view from its layout; finish-create runs on it.
    QWidget* BuildPanel(int32_t n);

    std::vector<Panel> mPanels;
    int32_t mCurrent = 0;
    int32_t mBuildCount = 0;
};
