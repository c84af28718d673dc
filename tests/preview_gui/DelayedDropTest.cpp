// Drops that are taken up after the drag: the copy made at the drop, the
// choice of flavour, delivery on the next repeat pass, and what is left
// behind when nothing could be delivered.
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <vector>

#include "framework/gui/CDelayedDrop.h"
#include "framework/gui/CDelayedReceiver.h"
#include "framework/gui/DragFlavors.h"
#include "framework/gui/LView.h"
#include "support/FileRecords.h"
#include "support/PreviewWindow.h"

using namespace previewtest;

namespace {

struct Delivery {
    OSType flavor;
    QByteArray data;
    QPoint where;
};

class RecordingReceiver : public LView, public CDelayedReceiver {
public:
    explicit RecordingReceiver(std::initializer_list<OSType> accepted) : CDelayedReceiver(this) {
        for (OSType flavor : accepted) AcceptedFlavors().Append(flavor);
        resize(200, 100);
        show();
    }
    bool ReceiveDropItem(Handle& data, OSType flavor, QPoint where, int32_t) override {
        deliveries.push_back({flavor, QByteArray(reinterpret_cast<const char*>(data.Data()), qsizetype(data.Size())),
                              where});
        return keep;
    }
    std::vector<Delivery> deliveries;
    bool keep = true;
};

SDragItem Item(std::initializer_list<std::pair<OSType, QByteArray>> flavors) {
    SDragItem item;
    for (const auto& f : flavors) item.flavors.push_back(f);
    return item;
}

// A Qt drop on the receiver's frame: only the accepted flavour that comes
// first in its list is copied, and it arrives on the next repeat pass, once.
TEST(DelayedDrop, TheEarliestAcceptedFlavourArrivesOnTheNextPassOnce) {
    RecordingReceiver receiver({kFlavorEffect, kFlavorVideoCodec});
    QMimeData data;
    data.setData(MimeTypeForFlavor(kFlavorVideoCodec), "codec");
    data.setData(MimeTypeForFlavor(kFlavorEffect), "effect");
    QDragEnterEvent enter(QPoint(30, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver.viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(30, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(receiver.viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_TRUE(receiver.deliveries.empty()) << "delivered inside the drop";
    EXPECT_EQ(CDelayedDrop::CountPending(), 1);
    RunRepeatTasks();
    ASSERT_EQ(receiver.deliveries.size(), 1u);
    EXPECT_EQ(receiver.deliveries[0].flavor, kFlavorEffect);
    EXPECT_EQ(receiver.deliveries[0].data, "effect");
    EXPECT_EQ(receiver.deliveries[0].where, QPoint(30, 40));
    EXPECT_EQ(CDelayedDrop::CountPending(), 0);
    RunRepeatTasks();
    EXPECT_EQ(receiver.deliveries.size(), 1u) << "delivered twice";
}

// Drags without an accepted flavour are refused and leave nothing; empty,
// refused and orphaned drops go away.
TEST(DelayedDrop, UnacceptedEmptyRefusedAndOrphanedDropsLeaveNothing) {
    RecordingReceiver receiver({kFlavorThumbnail});
    const SDragItem item = Item({{kFlavorVideoCodec, "codec"}});
    EXPECT_FALSE(receiver.HandleDragEnter({item}, QPoint(5, 5)));
    EXPECT_FALSE(receiver.HandleDrop({item}, QPoint(5, 5)));
    EXPECT_EQ(CDelayedDrop::CountPending(), 0);
    // Every item of a drag must be acceptable.
    EXPECT_FALSE(receiver.DragIsAcceptable({Item({{kFlavorThumbnail, "x"}}), item}));

    CDelayedDrop* drop =
        CDelayedDrop::Create(receiver.AcceptedFlavors(), QPoint(), &receiver, Item({{kFlavorThumbnail, ""}}));
    EXPECT_EQ(drop->GetFlavor(), kNoFlavor);  // an item without data delivers nothing
    EXPECT_EQ(drop->GetData(), nullptr);
    RunRepeatTasks();
    EXPECT_TRUE(receiver.deliveries.empty());
    receiver.keep = false;  // a refused block is disposed of
    receiver.HandleDrop({Item({{kFlavorThumbnail, "file"}})}, QPoint(1, 1));
    RunRepeatTasks();
    EXPECT_EQ(receiver.deliveries.size(), 1u);
    EXPECT_EQ(CDelayedDrop::CountPending(), 0);
    // A receiver that goes away takes its pending drops with it.
    auto dying = std::make_unique<RecordingReceiver>(std::initializer_list<OSType>{kFlavorThumbnail});
    dying->HandleDrop({Item({{kFlavorThumbnail, "file"}})}, QPoint(1, 1));
    EXPECT_EQ(CDelayedDrop::CountPending(), 1);
    dying.reset();
    EXPECT_EQ(CDelayedDrop::CountPending(), 0);
    RunRepeatTasks();  // nothing left to deliver to a dead receiver
}

TEST(DragFlavors, FlavoursTravelAsMimeTypesAndFilesBecomeFileRecords) {
    EXPECT_EQ(FlavorForMimeType("application/x-movelark-QTfx"), kFlavorEffect);
    EXPECT_EQ(FlavorForMimeType("application/x-movelark-toolong"), 0u);
    EXPECT_EQ(FlavorForMimeType("text/plain"), 0u);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile("/tmp/a movie.mov"), QUrl("https://example.com/x"),
                  QUrl::fromLocalFile("/tmp/b.mov")});
    const std::vector<SDragItem> items = DragItemsOf(data);
    ASSERT_EQ(items.size(), 2u);  // web addresses are no files
    const QByteArray* record = items[0].DataFor(kFlavorFile);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(testsupport::CarriedFile(*record).Path(), "/tmp/a movie.mov");
    EXPECT_FALSE(MakeFileRecord(std::string(300, 'x')).has_value());
}

}  // namespace
