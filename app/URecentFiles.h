// The movies opened last, newest first, for File > Open Recent: at most
// ten, kept in the application's settings between runs. A file that has
// gone is dropped from the list when the list is read.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QMenu;

namespace URecentFiles {

constexpr int kMaxFiles = 10;

// The files that still exist, newest first.
QStringList Files();
// Puts the file first (once).
void Add(const QString& path);
void Remove(const QString& path);
void Clear();
// One item per file (choosing it calls open with its path), then Clear Menu.
void FillMenu(QMenu* menu, const std::function<void(const QString& path)>& open);

}  // namespace URecentFiles
