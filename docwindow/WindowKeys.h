// The document's own keys (Home, End, the left and right arrows, space)
// wherever the focus is in its window: panes that scroll or switch tabs
// with the arrows would otherwise take them first. Text fields keep their
// editing keys, and a focused button keeps the space bar that presses it.
#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

class WindowKeys : public QObject {
public:
    // handler gets each such key pressed inside window.
    WindowKeys(QWidget* window, std::function<void(const QKeyEvent&)> handler);
    ~WindowKeys() override;

    // Whether a key is one of the document's keys when this widget has the focus.
    static bool IsDocumentKey(const QKeyEvent& key, const QWidget* focus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* mWindow;
    std::function<void(const QKeyEvent&)> mHandler;
};
