#include "framework/gui/DragFlavors.h"

#include <QDrag>
#include <QWidget>
#include <QUrl>
#include <cstring>

#include "platform/media/FSSpec.h"

namespace {
const QString kMimePrefix = QStringLiteral("application/x-movelark-");
int gDragDepth = 0;

FlavorDragRunner& Runner() {
    static FlavorDragRunner runner;
    return runner;
}

bool IsCodeText(const QString& s) {
    if (s.size() != 4) return false;
    for (QChar c : s)
        if (c.unicode() < 0x20 || c.unicode() >= 0x7F) return false;
    return true;
}
}  // namespace

QString MimeTypeForFlavor(OSType flavor) {
    if (flavor == kFlavorFile) return QStringLiteral("text/uri-list");
    return kMimePrefix + QString::fromLatin1(FourCCToString(flavor).c_str(), 4);
}

OSType FlavorForMimeType(const QString& mimeType) {
    if (!mimeType.startsWith(kMimePrefix)) return 0;
    const QString code = mimeType.mid(kMimePrefix.size());
    if (!IsCodeText(code)) return 0;
    const QByteArray bytes = code.toLatin1();
    OSType flavor = 0;
    for (char c : bytes) flavor = (flavor << 8) | uint8_t(c);
    return flavor;
}

std::optional<QByteArray> MakeFileRecord(const std::string& path) {
    FSSpec spec;
    if (path.empty() || FSSpec::FromPath(path, spec) != noErr) return std::nullopt;
    QByteArray record(int(kFileRecordSize), '\0');
    std::memcpy(record.data() + kFileRecordPrefixSize, &spec, sizeof spec);
    return record;
}

bool SDragItem::Offers(OSType flavor) const { return DataFor(flavor) != nullptr; }

const QByteArray* SDragItem::DataFor(OSType flavor) const {
    for (const auto& [kind, bytes] : flavors)
        if (kind == flavor) return &bytes;
    return nullptr;
}

std::vector<SDragItem> DragItemsOf(const QMimeData& data) {
    SDragItem first;
    for (const QString& format : data.formats()) {
        const OSType flavor = FlavorForMimeType(format);
        if (flavor != 0 && !first.Offers(flavor)) first.flavors.emplace_back(flavor, data.data(format));
    }
    std::vector<QByteArray> files;
    if (data.hasUrls()) {
        for (const QUrl& url : data.urls()) {
            if (!url.isLocalFile()) continue;
            if (auto record = MakeFileRecord(url.toLocalFile().toStdString())) files.push_back(*record);
        }
    }
    std::vector<SDragItem> items;
    size_t nextFile = 0;
    if (!first.flavors.empty()) {
        if (!files.empty()) first.flavors.emplace_back(kFlavorFile, files[nextFile++]);
        items.push_back(std::move(first));
    }
    for (; nextFile < files.size(); ++nextFile) {
        SDragItem item;
        item.flavors.emplace_back(kFlavorFile, files[nextFile]);
        items.push_back(std::move(item));
    }
    return items;
}

std::unique_ptr<QMimeData> MakeFlavorMimeData(OSType flavor, const QByteArray& bytes) {
    auto data = std::make_unique<QMimeData>();
    data->setData(MimeTypeForFlavor(flavor), bytes);
    return data;
}

void SetFlavorDragRunner(FlavorDragRunner runner) { Runner() = std::move(runner); }

Qt::DropAction RunFlavorDrag(QWidget* source, std::unique_ptr<QMimeData> data, Qt::DropActions actions,
                             const QPixmap& image) {
    if (Runner()) return Runner()(source, std::move(data), image);
    auto* drag = new QDrag(source);
    drag->setMimeData(data.release());
    if (!image.isNull()) {
        drag->setPixmap(image);
        drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
    }
    ++gDragDepth;
    const Qt::DropAction result = drag->exec(actions);
    --gDragDepth;
    return result;
}

bool IsOwnDragRunning() { return gDragDepth > 0; }
