// Attachments: small objects attached to a pane that get a say in what
// happens to it. A pane's attachments are its direct LAttachment
// children; ExecuteAttachments asks each in turn and answers whether the
// pane should go on with its own handling (all of them must agree).
#pragma once

#include <QObject>
#include <QWidget>
#include <cstdint>

#include "framework/LBroadcaster.h"

// Attachment messages of the framework.
constexpr MessageT msg_Click = 812;
constexpr MessageT msg_KeyPress = 814;

class LAttachment : public QObject {
    Q_OBJECT

public:
    // Attaches itself to host (host owns it).
    explicit LAttachment(QWidget* host, MessageT message = 0);

    QWidget* Host() const { return qobject_cast<QWidget*>(parent()); }
    // 0: every message.
    MessageT Message() const { return mMessage; }
    bool ExecuteHost() const { return mExecuteHost; }
    void SetExecuteHost(bool executeHost) { mExecuteHost = executeHost; }

    // Handles the message when it is this attachment's; returns whether
    // the host should go on.
    bool Execute(MessageT message, void* parameter);

    static bool ExecuteAttachments(QWidget* host, MessageT message, void* parameter);

protected:
    virtual void ExecuteSelf(MessageT message, void* parameter) = 0;

    bool mExecuteHost = true;

private:
    MessageT mMessage;
};
