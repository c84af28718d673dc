// Tells when the user starts something new anywhere in the program: a
// mouse button goes down, a key is pressed (a held key repeating does not
// start anew) or something is dropped. A document's edit history begins a
// new step there, so that a drag and its moves make one step.
#pragma once

#include <QObject>
#include <functional>

class UserActionWatcher : public QObject {
public:
    // Watches the whole application until destroyed.
    explicit UserActionWatcher(std::function<void()> onAction);
    ~UserActionWatcher() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> mOnAction;
};
