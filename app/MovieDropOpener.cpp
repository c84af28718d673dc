#include "app/MovieDropOpener.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTimer>

#include <algorithm>

#include "platform/files/FileKinds.h"
#include "framework/gui/DragFlavors.h"
#include "framework/gui/LWindow.h"

MovieDropOpener::MovieDropOpener(Opener open) : mOpen(std::move(open)), mMovieKinds(MovieKindExtensions()) {
    qApp->installEventFilter(this);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (dynamic_cast<LWindow*>(window) != nullptr) window->setAcceptDrops(true);
}

MovieDropOpener::~MovieDropOpener() { qApp->removeEventFilter(this); }

// Movies by the kinds the program claims; whether one really is a movie
// is found out by opening it, as with the open dialog.
QStringList MovieDropOpener::MoviesIn(const QMimeData& data) const {
    QStringList movies;
    for (const QUrl& url : data.urls()) {
        const QFileInfo file(url.toLocalFile());
        const std::string extension = file.suffix().toLower().toStdString();
        if (!url.isLocalFile() || !file.isFile() || std::find(mMovieKinds.begin(), mMovieKinds.end(), extension) == mMovieKinds.end())
            return {};
        movies << file.filePath();
    }
    return movies;
}

// Not while the program's own drags run (they carry presets and pictures),
// nor under a modal window other than the open dialog the drop lands on.
bool MovieDropOpener::TakesDropOn(QWidget* target) const {
    if (IsOwnDragRunning() || target == nullptr) return false;
    QWidget* modal = QApplication::activeModalWidget();
    return modal == nullptr || (qobject_cast<QFileDialog*>(modal) != nullptr && target->window() == modal);
}

bool MovieDropOpener::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
        case QEvent::Show:
            // Every window takes drops, so that a drop anywhere reaches here.
            if (widget != nullptr && widget->isWindow() &&
                (dynamic_cast<LWindow*>(widget) != nullptr || qobject_cast<QFileDialog*>(widget) != nullptr))
                widget->setAcceptDrops(true);
            break;
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QStringList movies = MoviesIn(*drop->mimeData());
            // A copy or a link: a file manager offered a move must not take the file away.
            const Qt::DropActions harmless = drop->possibleActions() & (Qt::CopyAction | Qt::LinkAction);
            if (movies.isEmpty() || harmless == Qt::IgnoreAction || !TakesDropOn(widget)) break;
            drop->setDropAction(harmless & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
            drop->accept();
            if (event->type() == QEvent::Drop) Open(movies, widget);
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

void MovieDropOpener::Open(const QStringList& movies, QWidget* target) {
    QStringList rest = movies;
    if (auto* dialog = qobject_cast<QFileDialog*>(target->window())) {
        // The dialog leaves a name being typed alone: the drop replaces it.
        if (QWidget* typing = dialog->focusWidget()) typing->clearFocus();
        dialog->selectFile(rest.takeFirst());
        static_cast<QDialog*>(dialog)->accept();
    }
    // After the drop has finished: opening may ask questions, and the
    // file manager waits for the drop to end.
    QTimer::singleShot(0, this, [this, rest] {
        for (const QString& path : rest) mOpen(path);
    });
}
