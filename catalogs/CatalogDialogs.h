// How the catalogs' settings and parameter dialogs are run: modally by the
// window system, or by a runner that a test or a script installs (it gets
// the dialog ready to use and answers Accepted or Rejected).
#pragma once

#include <QDialog>
#include <functional>

namespace CatalogDialogs {

using Runner = std::function<int(QDialog& dialog)>;
// Null restores the modal run.
void SetRunner(Runner runner);
// QDialog::Accepted or QDialog::Rejected.
int Run(QDialog& dialog);

}  // namespace CatalogDialogs
