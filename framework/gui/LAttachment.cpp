#include "framework/gui/LAttachment.h"

LAttachment::LAttachment(QWidget* host, MessageT message) : QObject(host), mMessage(message) {}

bool LAttachment::Execute(MessageT message, void* parameter) {
    if (mMessage != 0 && mMessage != message) return true;
    ExecuteSelf(message, parameter);
    return mExecuteHost;
}

bool LAttachment::ExecuteAttachments(QWidget* host, MessageT message, void* parameter) {
    if (host == nullptr) return false;
    bool executeHost = true;
    for (LAttachment* attachment : host->findChildren<LAttachment*>(Qt::FindDirectChildrenOnly))
        executeHost = attachment->Execute(message, parameter) && executeHost;
    return executeHost;
}
