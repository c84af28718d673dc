#include "framework/gui/LWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>

#include "framework/gui/LCommandMenus.h"
#include "framework/gui/ULayoutLoader.h"

LWindow::LWindow(LCommander* superCommander, Kind kind)
    : QMainWindow(nullptr, kind == kDialog ? Qt::Dialog : Qt::Window), LCommander(superCommander), mKind(kind) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    if (kind == kDocumentWindow) LCommandMenus::Instance().InstallIn(menuBar());
}

LWindow::~LWindow() = default;

LWindow* LWindow::CreateWindow(int16_t layoutNumber, LCommander* superCommander, Kind kind) {
    auto* window = new LWindow(superCommander, kind);
    try {
        QWidget* content = ULayoutLoader::Load(layoutNumber, window);
        window->setCentralWidget(content);
        if (!content->windowTitle().isEmpty()) window->setWindowTitle(content->windowTitle());
        QSize size = content->size();
        if (kind == kDocumentWindow && window->menuBar() != nullptr)
            size.rheight() += window->menuBar()->sizeHint().height();
        // Never larger than the screen's free area, title bar included.
        if (QScreen* screen = window->screen()) {
            const int titleBar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
            size = size.boundedTo(screen->availableSize() - QSize(0, titleBar));
        }
        window->resize(size.expandedTo(window->minimumSizeHint()));
        if (kind == kDialog) window->CenterOverFrontWindow();
        ULayoutLoader::FinishCreate(content);
    } catch (...) {
        window->SetSuperCommander(nullptr);
        delete window;
        throw;
    }
    return window;
}

void LWindow::CenterOverFrontWindow() {
    // Window managers place dialogs themselves; without one (and before
    // it does) they would sit in the corner.
    QRect area;
    if (QWidget* front = QApplication::activeWindow(); front != nullptr && front != this)
        area = front->frameGeometry();
    else if (QScreen* s = screen())
        area = s->availableGeometry();
    if (area.isEmpty()) return;
    QRect frame(QPoint(0, 0), size());
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

void LWindow::Select() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void LWindow::AttemptClose() {
    LCommander* super = GetSuperCommander();
    if (super != nullptr && !super->AllowSubRemoval(this)) return;
    hide();
    SetSuperCommander(nullptr);
    deleteLater();
}

void LWindow::closeEvent(QCloseEvent* event) {
    // The window system's close box: the same as the Close command, and
    // the window goes away (or not) on its own terms.
    event->ignore();
    AttemptClose();
}

void LWindow::keyPressEvent(QKeyEvent* event) {
    QWidget* focus = QApplication::focusWidget();
    LCommander* target = focus != nullptr && focus->window() == this ? CommanderOf(focus) : nullptr;
    if (target == nullptr) target = this;
    // Keys reach the window only when the focused pane passed them on.
    if (!target->ProcessKeyPress(*event)) QMainWindow::keyPressEvent(event);
}

bool LWindow::HandleCommand(CommandT command, void*) {
    if (command == cmd_Close) {
        AttemptClose();
        return true;
    }
    return false;
}

bool LWindow::FindCommandStatus(CommandT command, SCommandStatus& status) {
    if (command == cmd_Close) {
        status.enabled = true;
        return true;
    }
    return false;
}
