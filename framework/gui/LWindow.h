// A window built from a layout of the resource file. It is a commander:
// keys its panes pass on go up the commander chain, and closing it asks its
// super-commander first (a document's window closes with its document).
#pragma once

#include <QMainWindow>
#include <cstdint>

#include "framework/gui/LCommander.h"
#include "framework/gui/LPane.h"

class LWindow : public QMainWindow, public LCommander {
    Q_OBJECT

public:
    enum Kind { kDocumentWindow, kDialog };

    explicit LWindow(LCommander* superCommander, Kind kind = kDocumentWindow);
    ~LWindow() override;

    // Builds window layout n (its top widget becomes the window's content;
    // its title and size become the window's) and runs finish-create on its
    // panes. Throws LException when the layout is missing.
    static LWindow* CreateWindow(int16_t layoutNumber, LCommander* superCommander,
                                 Kind kind = kDocumentWindow);

    template <class T = QWidget>
    T* FindPane(PaneIDT id) const {
        return FindPaneByID<T>(this, id);
    }
    QWidget* Content() const { return centralWidget(); }

    // Brings the window to the front and activates it.
    void Select();
    // Puts the window in the middle of the window in front (or the screen).
    void CenterOverFrontWindow();
    // Closes the window when its super-commander allows it.
    void AttemptClose();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool HandleCommand(CommandT command, void* parameter) override;
    bool FindCommandStatus(CommandT command, SCommandStatus& status) override;

private:
    Kind mKind;
};
