#include "app/URecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {

const QString kKey = QStringLiteral("RecentFiles");

QStringList Stored() { return QSettings().value(kKey).toStringList(); }
void Store(const QStringList& files) { QSettings().setValue(kKey, files); }

}  // namespace

namespace URecentFiles {

QStringList Files() {
    const QStringList stored = Stored();
    QStringList present;
    for (const QString& path : stored)
        if (QFileInfo(path).isFile() && present.size() < kMaxFiles) present << path;
    if (present != stored) Store(present);
    return present;
}

void Add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = Stored();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > kMaxFiles) files.removeLast();
    Store(files);
}

void Remove(const QString& path) {
    QStringList files = Stored();
    if (files.removeAll(QFileInfo(path).absoluteFilePath()) > 0) Store(files);
}

void Clear() { Store({}); }

void FillMenu(QMenu* menu, const std::function<void(const QString&)>& open) {
    const QStringList files = Files();
    for (const QString& path : files) {
        // The name first; the folder tells two movies of one name apart.
        QAction* item = menu->addAction(QFileInfo(path).fileName() + QStringLiteral("  —  ") +
                                        QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
        QObject::connect(item, &QAction::triggered, menu, [open, path] { open(path); });
    }
    if (files.isEmpty()) menu->addAction(QStringLiteral("No Recent Movies"))->setEnabled(false);
    menu->addSeparator();
    QAction* clear = menu->addAction(QStringLiteral("Clear Menu"));
    clear->setEnabled(!files.isEmpty());
    QObject::connect(clear, &QAction::triggered, menu, [] { Clear(); });
}

}  // namespace URecentFiles
