#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QTest>
#include <cstring>

#include "fourup/CImageFilePreview.h"
#include "framework/LListener.h"
#include "framework/gui/DragFlavors.h"
#include "tests/fourup_gui/FourUpTestSupport.h"

using namespace fouruptest;

namespace {
class MessageCounter : public LListener {
public:
    void OnMessage(MessageT message, void* parameter) override {
        if (message == msg_ImageFileChanged) {
            ++changes;
            lastParameter = parameter;
        }
    }
    int changes = 0;
    void* lastParameter = reinterpret_cast<void*>(1);
};

Handle FileRecord(const std::filesystem::path& path) {
    const auto record = MakeFileRecord(path.string());
    return record ? Handle(record->constData(), size_t(record->size())) : Handle();
}

struct WellFixture : ::testing::Test {
    void SetUp() override {
        well.resize(160, 120);
        well.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&well));
        well.AddListener(&counter);
    }
    CImageFilePreview well;
    MessageCounter counter;
};
}  // namespace

TEST_F(WellFixture, DroppingAPictureShowsItAndTellsTheListeners) {
    const auto path = Picture(400, 200);
    Handle record = FileRecord(path);
    EXPECT_FALSE(well.ReceiveDropItem(record, kFlavorFile, QPoint(3, 3), 0));
    EXPECT_EQ(well.GetImageFile().Path(), std::filesystem::canonical(path).string());
    EXPECT_EQ(counter.changes, 1);
    EXPECT_EQ(counter.lastParameter, nullptr);
    // Drawn at once: the natural bounds of the picture are known.
    EXPECT_EQ(well.GetNaturalBounds().Width(), 400);
    EXPECT_EQ(well.GetNaturalBounds().Height(), 200);
    const QImage shown = well.viewport()->grab().toImage();
    const QRgb middle = shown.pixel(shown.width() / 2, shown.height() / 2);
    EXPECT_GT(qRed(middle), 200);
    EXPECT_LT(qGreen(middle), 60);
}

TEST_F(WellFixture, OtherFlavoursAndMissingFilesAreRefused) {
    Handle record = FileRecord(Picture(400, 200));
    EXPECT_FALSE(well.ReceiveDropItem(record, kFlavorVideoCodec, QPoint(), 0));
    Handle missing = FileRecord(fouruptest::TestDir() / "gone.png");
    EXPECT_FALSE(well.ReceiveDropItem(missing, kFlavorFile, QPoint(), 0));
    Handle truncated(10);
    EXPECT_FALSE(well.ReceiveDropItem(truncated, kFlavorFile, QPoint(), 0));
    EXPECT_FALSE(well.GetImageFile().IsSet());
    EXPECT_EQ(counter.changes, 0);
}

TEST_F(WellFixture, DeleteEscapeAndBackspaceClearTheFocusedWell) {
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Escape, Qt::Key_Backspace}) {
        well.SetImageFile(Spec(Picture(400, 200)));
        well.setFocus();
        QTest::keyClick(&well, key);
        EXPECT_FALSE(well.GetImageFile().IsSet()) << "key " << key;
    }
    EXPECT_EQ(counter.changes, 3);
    EXPECT_EQ(counter.lastParameter, nullptr);
}

TEST_F(WellFixture, OtherKeysLeaveTheFileAlone) {
    well.SetImageFile(Spec(Picture(400, 200)));
    well.setFocus();
    QTest::keyClick(&well, Qt::Key_A);
    QTest::keyClick(&well, Qt::Key_Return);
    EXPECT_TRUE(well.GetImageFile().IsSet());
    EXPECT_EQ(counter.changes, 0);
}

TEST_F(WellFixture, AFileThatIsNotAPictureLeavesAnEmptyFramedBox) {
    well.SetImageFile(Spec(BrokenPicture()));
    EXPECT_TRUE(well.GetNaturalBounds().IsEmpty());
    const QImage shown = well.viewport()->grab().toImage();
    EXPECT_EQ(QColor(shown.pixel(0, 0)), QColor(Qt::black)) << "no frame";
    EXPECT_EQ(QColor(shown.pixel(shown.width() / 2, shown.height() / 2)), QColor(Qt::white));
    // Setting a file does not count as the user's change.
    EXPECT_EQ(counter.changes, 0);
}
