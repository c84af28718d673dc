#include <gtest/gtest.h>

#include <QTest>
#include <QVBoxLayout>
#include <cstring>

#include "catalogs/PresetFolders.h"
#include "framework/gui/DragFlavors.h"
#include "framework/gui/LPushButton.h"
#include "model/SChangeInfo.h"
#include "resources/StringLists.h"
#include "stills/CImageCache.h"
#include "stills/CThumbsView.h"
#include "stills/ThumbNailDragTask.h"
#include "support/FileRecords.h"
#include "support/Pictures.h"

using namespace pictures;
using testsupport::Spec;
namespace fs = std::filesystem;

namespace {
// A window with the view and its two buttons, its folders in a scratch
// application folder.
struct ThumbsFixture : ::testing::Test {
    void SetUp() override {
        appFolder = testsupport::ScratchDir();
        PresetFolders::SetApplicationFolder(appFolder.string());
        folder = appFolder / GetIndString(1002, 4);
        fs::create_directories(folder);
        auto* layout = new QVBoxLayout(&window);
        view = new CThumbsView(&window);
        importButton = new LPushButton(&window);
        importButton->setObjectName(QStringLiteral("sIMP"));
        deleteButton = new LPushButton(&window);
        deleteButton->setObjectName(QStringLiteral("sDEL"));
        layout->addWidget(view);
        layout->addWidget(importButton);
        layout->addWidget(deleteButton);
        window.resize(400, 400);
        view->FinishCreate();
        view->SetImageCache(&cache);
    }
    void TearDown() override {
        CThumbsView::SetOpenDialogRunner(nullptr);
        PresetFolders::SetApplicationFolder("");
    }
    FSSpec InFolder(const std::string& name) const { return Spec(folder / name); }

    fs::path appFolder, folder;
    CImageCache cache;
    QWidget window;
    CThumbsView* view = nullptr;
    LPushButton* importButton = nullptr;
    LPushButton* deleteButton = nullptr;
};
}  // namespace

TEST_F(ThumbsFixture, ABrokenPictureLeavesTheGridButStaysOnDiskAndComesBackOnReload) {
    fs::copy_file(Picture(400, 200), folder / "a.png");
    fs::copy_file(BrokenPicture(), folder / "b.png");
    view->Reload();
    ASSERT_EQ(view->CountItems(), 2);
    // Drawing queues both files; the cache's idle passes report on them.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    view->viewport()->repaint();
    ASSERT_EQ(cache.PendingFiles().size(), 2u);
    cache.RunIdlePass(100);
    cache.RunIdlePass(200);
    EXPECT_EQ(view->CountItems(), 1);
    EXPECT_TRUE(view->GetItem(1) == InFolder("a.png"));
    EXPECT_TRUE(fs::exists(folder / "b.png"));
    view->Reload();
    EXPECT_EQ(view->CountItems(), 2);
}

TEST_F(ThumbsFixture, ImportCopiesTheChosenPicturesUntilOneFails) {
    const fs::path outside = testsupport::ScratchDir() / "outside";
    fs::create_directories(outside);
    fs::copy_file(Picture(400, 200), outside / "one.png");
    fs::copy_file(Picture(120, 90), outside / "three.png");
    CThumbsView::SetOpenDialogRunner([&](QWidget*, const QStringList&) {
        return QStringList{QString::fromStdString((outside / "one.png").string()),
                           QString::fromStdString((outside / "missing.png").string()),
                           QString::fromStdString((outside / "three.png").string())};
    });
    importButton->BroadcastValueMessage();
    EXPECT_TRUE(fs::exists(folder / "one.png"));
    EXPECT_FALSE(fs::exists(folder / "three.png")) << "import went on after a failed copy";
    EXPECT_EQ(view->TicksUntilCheck(), 0u) << "the folder is not read again";
}

// A dropped file is copied into the folder (other flavours are refused); the
// Delete button follows the selection and deletes without asking.
TEST_F(ThumbsFixture, ADroppedFileIsCopiedInAndTheDeleteButtonDeletesTheSelectedWithoutAsking) {
    fs::copy_file(Picture(120, 90), folder / "c.png");
    Handle data = testsupport::FileRecord(Picture(400, 200));
    view->ReceiveDropItem(data, kFlavorFile, QPoint(), 0);
    const fs::path dropped = folder / Picture(400, 200).filename();
    EXPECT_TRUE(fs::exists(dropped));
    Handle other(data);
    view->ReceiveDropItem(other, kFlavorEffect, QPoint(), 0);
    view->Reload();
    ASSERT_EQ(view->CountItems(), 2);

    EXPECT_FALSE(deleteButton->isEnabled());
    view->SelectItem(Spec(dropped));
    EXPECT_TRUE(deleteButton->isEnabled());
    deleteButton->BroadcastValueMessage();  // a modal question would hang here
    EXPECT_FALSE(fs::exists(dropped));
    EXPECT_TRUE(fs::exists(folder / "c.png"));
    EXPECT_EQ(view->IndexOfItem(Spec(dropped)), 0);
}

TEST(ThumbNailDrag, CarriesThePrivateReferenceAndTheFileForOthers) {
    const FSSpec file = Spec(Picture(400, 200));
    ThumbNailDragTask task(nullptr, QPoint(), QRect(), file);
    const auto data = task.MakeDragData();
    ASSERT_TRUE(data);
    const QByteArray reference = data->data(MimeTypeForFlavor(kFlavorThumbnail));
    ASSERT_EQ(reference.size(), 262);
    EXPECT_EQ(std::memcmp(reference.constData(), &file, sizeof file), 0);

    const std::vector<SDragItem> items = DragItemsOf(*data);
    ASSERT_FALSE(items.empty());
    const QByteArray* record = items[0].DataFor(kFlavorFile);
    ASSERT_NE(record, nullptr);
    EXPECT_TRUE(testsupport::CarriedFile(*record) == file);
}
