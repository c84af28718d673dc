// Panes of a window layout are widgets; a pane ID is the widget's object
// name: the four characters of a code such as 'mvPV', or the number in
// decimal for small IDs (the four-up panes 1 to 4).
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>

#include "framework/FourCharCode.h"
#include "framework/LException.h"

using PaneIDT = int32_t;

// The object name that stands for a pane ID.
QString PaneName(PaneIDT id);
// The pane ID of a widget: the reverse of PaneName; 0 for an unnamed widget.
PaneIDT PaneIDOf(const QObject* widget);

// The pane with this ID inside root (root itself included), or null.
template <class T = QWidget>
T* FindPaneByID(const QWidget* root, PaneIDT id) {
    if (root == nullptr || id == 0) return nullptr;
    const QString name = PaneName(id);
    if (root->objectName() == name) {
        if (auto* self = dynamic_cast<T*>(const_cast<QWidget*>(root))) return self;
    }
    for (QWidget* w : root->findChildren<QWidget*>(name))
        if (auto* found = dynamic_cast<T*>(w)) return found;
    return nullptr;
}

// The same for a pane that must be there: throws the nil-pointer exception.
template <class T = QWidget>
T* FindRequiredPane(const QWidget* root, PaneIDT id) {
    T* pane = FindPaneByID<T>(root, id);
    if (pane == nullptr) throw LException(err_NilPointer, "missing pane " + PaneName(id).toStdString());
    return pane;
}

// Panes that need the rest of their layout (other panes, their window)
// before they can finish setting up. The layout loader calls
// FinishCreateSelf once on every pane it built, after the whole layout (or
// multi-panel panel) is in place. A QObject with an invokable
// FinishCreateSelf() is called the same way.
class LFinishCreate {
public:
    virtual ~LFinishCreate() = default;
    virtual void FinishCreateSelf() = 0;
};
