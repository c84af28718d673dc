#include "framework/gui/ULayoutLoader.h"

#include <QBuffer>
#include <QFile>
#include <QMetaMethod>
#include <QPointer>
#include <QUiLoader>
#include <vector>

#include "framework/LException.h"
#include "framework/gui/LPane.h"
#include "framework/gui/LPlaceHolder.h"
#include "framework/gui/LView.h"
#include "framework/gui/URegistrar.h"
#include "resources/ResourceFile.h"

namespace {

constexpr const char* kFinishedProperty = "_movelarkFinished";

QString LayoutPath(int16_t n) { return QStringLiteral(":/layouts/%1.ui").arg(n); }

class RegistryUiLoader : public QUiLoader {
public:
    using QUiLoader::QUiLoader;

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        QWidget* widget = nullptr;
        if (const URegistrar::Entry* entry = URegistrar::Find(className)) {
            widget = entry->factory(parent);
        } else {
            // Asking Qt about a class it does not know makes it complain.
            if (availableWidgets().contains(className))
                widget = QUiLoader::createWidget(className, parent, name);
            if (widget == nullptr) {
                auto* placeHolder = new LPlaceHolder(parent);
                placeHolder->SetWantedClass(className);
                widget = placeHolder;
            }
        }
        if (widget != nullptr) {
            widget->setObjectName(name);
            mCreated.push_back(widget);
        }
        return widget;
    }

    const std::vector<QWidget*>& Created() const { return mCreated; }

private:
    std::vector<QWidget*> mCreated;
};

void AttachRegistered(QWidget* widget) {
    for (const URegistrar::AttachmentEntry& entry : URegistrar::Attachments()) {
        const QVariant value = widget->property(entry.property.constData());
        if (value.isValid()) entry.factory(widget, value);
    }
}

void FinishOne(QWidget* widget) {
    if (widget->property(kFinishedProperty).toBool()) return;
    widget->setProperty(kFinishedProperty, true);
    if (auto* view = dynamic_cast<LView*>(widget)) {
        view->FinishCreate();
        return;
    }
    if (auto* pane = dynamic_cast<LFinishCreate*>(widget)) {
        pane->FinishCreateSelf();
        return;
    }
    const QMetaObject* meta = widget->metaObject();
    if (meta->indexOfMethod("FinishCreateSelf()") >= 0)
        QMetaObject::invokeMethod(widget, "FinishCreateSelf", Qt::DirectConnection);
}

}  // namespace

namespace ULayoutLoader {

bool Exists(int16_t layoutNumber) {
    ResourceFile::IsAvailable();  // makes sure the compiled-in resources are registered
    return QFile::exists(LayoutPath(layoutNumber));
}

QWidget* Load(int16_t layoutNumber, QWidget* parent) {
    auto bytes = ResourceFile::Read(LayoutPath(layoutNumber).mid(2).toStdString());
    if (!bytes) throw LException(resNotFound, "missing window layout " + std::to_string(layoutNumber));
    QByteArray data(bytes->data(), qsizetype(bytes->size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    RegistryUiLoader loader;
    QWidget* root = loader.load(&buffer, parent);
    if (root == nullptr)
        throw LException(resNotFound, "unreadable window layout " + std::to_string(layoutNumber) + ": " +
                                          loader.errorString().toStdString());
    for (QWidget* widget : loader.Created()) AttachRegistered(widget);
    return root;
}

void FinishCreate(QWidget* root) {
    if (root == nullptr) return;
    // A pane's finish-create may build or remove others.
    std::vector<QPointer<QWidget>> panes{root};
    for (QWidget* child : root->findChildren<QWidget*>()) panes.emplace_back(child);
    for (const QPointer<QWidget>& pane : panes)
        if (pane) FinishOne(pane);
}

}  // namespace ULayoutLoader
