// The pane class registry: each four-character class ID of the window
// layouts is bound to a routine that builds that class. A layout names a
// class by its class name or by its class ID's four characters.
// Attachments (such as hints) are registered the same way and attached to
// every pane whose layout entry carries their property.
#pragma once

#include <QString>
#include <QVariant>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "framework/FourCharCode.h"

using ClassIDT = uint32_t;
using PaneFactory = std::function<QWidget*(QWidget* parent)>;
using AttachmentFactory = std::function<void(QWidget* host, const QVariant& value)>;

class URegistrar {
public:
    struct Entry {
        ClassIDT classID = 0;
        QString className;
        PaneFactory factory;
    };
    struct AttachmentEntry {
        ClassIDT classID = 0;
        QByteArray property;  // the layout property that asks for it
        AttachmentFactory factory;
    };

    // A second registration of an ID replaces the first (in its place).
    static void RegisterClass(ClassIDT classID, const QString& className, PaneFactory factory);
    template <class T>
    static void RegisterClass(ClassIDT classID, const QString& className) {
        RegisterClass(classID, className, [](QWidget* parent) -> QWidget* { return new T(parent); });
    }
    static void Unregister(ClassIDT classID);
    static void RegisterAttachment(ClassIDT classID, const QByteArray& property, AttachmentFactory factory);

    // By class name first, then by the class ID's four characters.
    static const Entry* Find(const QString& classNameOrID);
    static const Entry* Find(ClassIDT classID);
    static const std::vector<Entry>& Entries();  // in registration order
    static const std::vector<AttachmentEntry>& Attachments();
    static void Clear();
};
