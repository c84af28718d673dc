// Drag data by four-character flavour on Qt's drag and drop. The
// application's own flavours travel as MIME types
// "application/x-movelark-XXXX"; files from the desktop ('hfs ') come as
// file URLs and are turned into the 272-byte file record (10-byte prefix
// of file type, creator and finder flags, all zero, then the FSSpec).
#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QPixmap>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "framework/FourCharCode.h"

constexpr OSType kFlavorFile = FourCC("hfs ");
constexpr OSType kFlavorVideoCodec = FourCC("QTcd");
constexpr OSType kFlavorAudioCodec = FourCC("QTac");
constexpr OSType kFlavorEffect = FourCC("QTfx");
constexpr OSType kFlavorThumbnail = FourCC("Vthm");

constexpr size_t kFileRecordPrefixSize = 10;
constexpr size_t kFileRecordSize = 272;

// "application/x-movelark-QTcd", or "text/uri-list" for 'hfs '.
QString MimeTypeForFlavor(OSType flavor);
// The flavour of an application MIME type; 0 for anything else.
OSType FlavorForMimeType(const QString& mimeType);

// The 272-byte record for a file path; none when the path does not fit a
// file record (longer than 255 bytes) or is empty.
std::optional<QByteArray> MakeFileRecord(const std::string& path);

// One item of a drag: the flavours it offers with their bytes, in the
// order they were found.
struct SDragItem {
    std::vector<std::pair<OSType, QByteArray>> flavors;

    bool Offers(OSType flavor) const;
    // The item's data for a flavour; none when not offered.
    const QByteArray* DataFor(OSType flavor) const;
};

// The items of a drag: the application flavours form the first item (with
// the first file when there is one); every further local file is an item
// of its own with the 'hfs ' flavour.
std::vector<SDragItem> DragItemsOf(const QMimeData& data);

// Drag data carrying one flavour.
std::unique_ptr<QMimeData> MakeFlavorMimeData(OSType flavor, const QByteArray& bytes);

// Runs a drag of this data from a widget (QDrag::exec), showing `image`
// under the mouse when there is one; while it runs, IsOwnDragRunning() is
// true, so delayed drops wait until it has returned.
Qt::DropAction RunFlavorDrag(QWidget* source, std::unique_ptr<QMimeData> data,
                             Qt::DropActions actions = Qt::CopyAction, const QPixmap& image = {});
// Runs every drag instead of the window system (tests); null restores it.
using FlavorDragRunner =
    std::function<Qt::DropAction(QWidget* source, std::unique_ptr<QMimeData> data, const QPixmap& image)>;
void SetFlavorDragRunner(FlavorDragRunner runner);
bool IsOwnDragRunning();
