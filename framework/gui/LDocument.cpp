#include "framework/gui/LDocument.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "framework/LException.h"
#include "framework/gui/UModalAlerts.h"

namespace {
std::vector<LDocument*>& DocumentList() {
    static std::vector<LDocument*> list;
    return list;
}
}  // namespace

LDocument::LDocument(LCommander* superCommander)
    : LCommander(superCommander), mLife(std::make_unique<QObject>()) {
    DocumentList().push_back(this);
}

LDocument::~LDocument() {
    auto& list = DocumentList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

const std::vector<LDocument*>& LDocument::GetDocumentList() { return DocumentList(); }

bool LDocument::AskSaveAs(FSSpec& file) {
    UModalAlerts::SaveRequest request;
    request.title = QStringLiteral("Save As");
    request.defaultName = GetDescriptor();
    const auto chosen = UModalAlerts::AskSave(request);
    if (!chosen) return false;
    return FSSpec::FromPath(chosen->toStdString(), file) == noErr;
}

bool LDocument::SaveOrSaveAs() {
    if (IsSpecified()) {
        DoSave();
        return !IsModified();
    }
    FSSpec file;
    if (!AskSaveAs(file)) return false;
    DoAESave(file);
    return !IsModified();
}

bool LDocument::AttemptClose(bool quitting) {
    if (mClosing) return true;
    if (IsModified()) {
        UModalAlerts::Alert alert;
        alert.icon = UModalAlerts::Icon::Warning;
        alert.buttons = quitting ? UModalAlerts::Buttons::YesNo : UModalAlerts::Buttons::YesNoCancel;
        alert.caption = QStringLiteral("Save File?");
        alert.text = QStringLiteral("Save changes to ") + GetDescriptor() + QStringLiteral("?");
        MakeCurrent();
        switch (UModalAlerts::Show(alert)) {
            case UModalAlerts::Answer::Yes:
                if (!SaveOrSaveAs()) return false;
                break;
            case UModalAlerts::Answer::No:
                break;
            default:
                return false;
        }
    }
    Close();
    return true;
}

void LDocument::Close() {
    if (mClosing) return;
    mClosing = true;
    for (LCommander* sub : GetSubCommanders())
        if (auto* window = dynamic_cast<QWidget*>(sub)) window->hide();
    // Not now: the close may come from inside one of the document's own
    // panes or menu actions.
    QTimer::singleShot(0, mLife.get(), [this] {
        mLife.release()->deleteLater();
        delete this;
    });
}

bool LDocument::AllowSubRemoval(LCommander*) {
    AttemptClose(false);
    return false;  // the document takes its window with it
}

void LDocument::AskRevert() {
    UModalAlerts::Alert alert;
    alert.icon = UModalAlerts::Icon::Question;
    alert.buttons = UModalAlerts::Buttons::YesNo;
    alert.caption = QStringLiteral("Revert");
    alert.text = QStringLiteral("Revert to the last saved version of the document?");
    if (UModalAlerts::Show(alert) == UModalAlerts::Answer::Yes) DoRevert();
}

bool LDocument::HandleCommand(CommandT command, void*) {
    switch (command) {
        case cmd_Close:
            AttemptClose(false);
            return true;
        case cmd_Save:
            SaveOrSaveAs();
            return true;
        case cmd_SaveAs: {
            FSSpec file;
            if (AskSaveAs(file)) DoAESave(file);
            return true;
        }
        case cmd_Revert:
            AskRevert();
            return true;
        case cmd_Print:
            DoPrint();
            return true;
        default:
            return false;
    }
}

bool LDocument::FindCommandStatus(CommandT command, SCommandStatus& status) {
    switch (command) {
        case cmd_Close:
        case cmd_SaveAs:
            status.enabled = true;
            return true;
        case cmd_Save:
            status.enabled = IsModified() || !IsSpecified();
            return true;
        case cmd_Revert:
            status.enabled = IsModified() && IsSpecified();
            return true;
        default:
            return false;
    }
}
