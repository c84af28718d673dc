// The image well: a dropped picture is shown and announced; other flavours,
// missing files and keys other than the clearing ones change nothing.
#include <gtest/gtest.h>

#include <QTest>

#include "framework/LListener.h"
#include "framework/gui/DragFlavors.h"
#include "stills/CImageFilePreview.h"
#include "support/FileRecords.h"
#include "support/Pictures.h"

using namespace pictures;
using testsupport::Spec;

namespace {

using testsupport::FileRecord;

struct ImageWell : ::testing::Test, LListener {
    void SetUp() override {
        well.resize(160, 120);
        well.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&well));
        well.AddListener(this);
    }
    void OnMessage(MessageT message, void* parameter) override {
        if (message != msg_ImageFileChanged) return;
        ++changes;
        lastParameter = parameter;
    }
    QRgb Middle() {
        const QImage shown = well.viewport()->grab().toImage();
        return shown.pixel(shown.width() / 2, shown.height() / 2);
    }
    CImageFilePreview well;
    int changes = 0;
    void* lastParameter = reinterpret_cast<void*>(1);
};

// A file that is not a picture leaves the box empty; a dropped picture is
// shown and announced, other drops are refused.
TEST_F(ImageWell, ADroppedPictureIsShownAndAnnouncedOtherDropsAreRefused) {
    well.SetImageFile(Spec(BrokenPicture()));
    EXPECT_TRUE(well.GetNaturalBounds().IsEmpty());
    EXPECT_EQ(changes, 0);  // setting a file is not the user's change
    const auto path = Picture(400, 200);
    Handle record = FileRecord(path), missing = FileRecord(testsupport::ScratchDir() / "gone.png"), truncated(10);
    EXPECT_FALSE(well.ReceiveDropItem(record, kFlavorVideoCodec, QPoint(), 0));
    EXPECT_FALSE(well.ReceiveDropItem(missing, kFlavorFile, QPoint(), 0));
    EXPECT_FALSE(well.ReceiveDropItem(truncated, kFlavorFile, QPoint(), 0));
    EXPECT_TRUE(well.GetImageFile() == Spec(BrokenPicture())) << "a refused drop changed the well";
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(well.ReceiveDropItem(record, kFlavorFile, QPoint(3, 3), 0));
    EXPECT_EQ(well.GetImageFile().Path(), std::filesystem::canonical(path).string());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(lastParameter, nullptr);
    // Drawn at once: the natural bounds of the picture are known.
    EXPECT_EQ(std::pair(well.GetNaturalBounds().Width(), well.GetNaturalBounds().Height()), std::pair(400, 200));
    EXPECT_TRUE(qRed(Middle()) > 200 && qGreen(Middle()) < 60);
}

TEST_F(ImageWell, DeleteEscapeAndBackspaceClearTheFocusedWellOtherKeysDoNot) {
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_Delete, Qt::Key_Escape, Qt::Key_Backspace}) {
        well.SetImageFile(Spec(Picture(400, 200)));
        well.setFocus();
        QTest::keyClick(&well, key);
        EXPECT_EQ(well.GetImageFile().IsSet(), key == Qt::Key_A || key == Qt::Key_Return) << "key " << key;
    }
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(lastParameter, nullptr);
}

}  // namespace
