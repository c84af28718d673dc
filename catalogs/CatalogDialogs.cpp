#include "catalogs/CatalogDialogs.h"

#include <QApplication>

namespace {
CatalogDialogs::Runner& TheRunner() {
    static CatalogDialogs::Runner runner;
    return runner;
}
}  // namespace

namespace CatalogDialogs {

void SetRunner(Runner runner) { TheRunner() = std::move(runner); }

int Run(QDialog& dialog) {
    if (TheRunner()) return TheRunner()(dialog);
    if (QWidget* front = QApplication::activeWindow(); front != nullptr && front != &dialog && !dialog.parentWidget())
        dialog.setParent(front, dialog.windowFlags() | Qt::Dialog);
    return dialog.exec();
}

}  // namespace CatalogDialogs
