#include "framework/gui/UModalAlerts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace UModalAlerts {

namespace {

AlertHook& TheAlertHook() {
    static AlertHook hook;
    return hook;
}
OpenHook& TheOpenHook() {
    static OpenHook hook;
    return hook;
}
SaveHook& TheSaveHook() {
    static SaveHook hook;
    return hook;
}
std::optional<Alert>& Last() {
    static std::optional<Alert> last;
    return last;
}
QString& LastFolder() {
    static QString folder;
    return folder;
}

QMessageBox::Icon BoxIcon(Icon icon) {
    switch (icon) {
        case Icon::Error: return QMessageBox::Critical;
        case Icon::Warning: return QMessageBox::Warning;
        case Icon::Question: return QMessageBox::Question;
        case Icon::Information: return QMessageBox::Information;
        case Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QWidget* Owner() { return QApplication::activeWindow(); }

}  // namespace

Answer Show(const Alert& alert) {
    Last() = alert;
    if (TheAlertHook()) return TheAlertHook()(alert);

    QMessageBox box(BoxIcon(alert.icon), alert.caption, alert.text, QMessageBox::NoButton, Owner());
    switch (alert.buttons) {
        case Buttons::OK:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::OKCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
    }
    box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
        case QMessageBox::Ok: return Answer::OK;
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        default: break;
    }
    // Escape or the window's close button: the safest answer.
    return alert.buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
}

const std::optional<Alert>& LastAlert() { return Last(); }
void ClearLastAlert() { Last().reset(); }
void SetHook(AlertHook hook) { TheAlertHook() = std::move(hook); }
void SetOpenHook(OpenHook hook) { TheOpenHook() = std::move(hook); }
void SetSaveHook(SaveHook hook) { TheSaveHook() = std::move(hook); }

std::vector<QString> AskOpen(const OpenRequest& request) {
    if (TheOpenHook()) return TheOpenHook()(request);
    QFileDialog dialog(Owner(), request.title,
                       LastFolder().isEmpty() ? QDir::homePath() : LastFolder());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setNameFilters(request.nameFilters);
    if (dialog.exec() != QDialog::Accepted) return {};
    LastFolder() = dialog.directory().absolutePath();
    std::vector<QString> files;
    for (const QString& f : dialog.selectedFiles()) files.push_back(f);
    return files;
}

std::optional<QString> AskSave(const SaveRequest& request) {
    if (TheSaveHook()) return TheSaveHook()(request);
    QString folder = request.folder;
    if (folder.isEmpty()) folder = LastFolder().isEmpty() ? QDir::homePath() : LastFolder();
    QFileDialog dialog(Owner(), request.title, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters);
    if (!request.defaultSuffix.isEmpty()) dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.defaultName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    LastFolder() = dialog.directory().absolutePath();
    return dialog.selectedFiles().first();
}

}  // namespace UModalAlerts
