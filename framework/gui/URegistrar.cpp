#include "framework/gui/URegistrar.h"

namespace {
std::vector<URegistrar::Entry>& Table() {
    static std::vector<URegistrar::Entry> table;
    return table;
}

std::vector<URegistrar::AttachmentEntry>& AttachmentTable() {
    static std::vector<URegistrar::AttachmentEntry> table;
    return table;
}

QString CodeText(ClassIDT id) { return QString::fromLatin1(FourCCToString(id).c_str(), 4); }
}  // namespace

void URegistrar::RegisterClass(ClassIDT classID, const QString& className, PaneFactory factory) {
    for (Entry& entry : Table()) {
        if (entry.classID == classID) {
            entry.className = className;
            entry.factory = std::move(factory);
            return;
        }
    }
    Table().push_back(Entry{classID, className, std::move(factory)});
}

void URegistrar::Unregister(ClassIDT classID) {
    auto& table = Table();
    for (auto it = table.begin(); it != table.end(); ++it) {
        if (it->classID == classID) {
            table.erase(it);
            return;
        }
    }
}

void URegistrar::RegisterAttachment(ClassIDT classID, const QByteArray& property,
                                    AttachmentFactory factory) {
    for (AttachmentEntry& entry : AttachmentTable()) {
        if (entry.classID == classID) {
            entry.property = property;
            entry.factory = std::move(factory);
            return;
        }
    }
    AttachmentTable().push_back(AttachmentEntry{classID, property, std::move(factory)});
}

const URegistrar::Entry* URegistrar::Find(const QString& classNameOrID) {
    for (const Entry& entry : Table())
        if (entry.className == classNameOrID) return &entry;
    for (const Entry& entry : Table())
        if (CodeText(entry.classID) == classNameOrID) return &entry;
    return nullptr;
}

const URegistrar::Entry* URegistrar::Find(ClassIDT classID) {
    for (const Entry& entry : Table())
        if (entry.classID == classID) return &entry;
    return nullptr;
}

const std::vector<URegistrar::Entry>& URegistrar::Entries() { return Table(); }

const std::vector<URegistrar::AttachmentEntry>& URegistrar::Attachments() { return AttachmentTable(); }

void URegistrar::Clear() {
    Table().clear();
    AttachmentTable().clear();
}
